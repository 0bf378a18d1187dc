// Running the main dialog inside the test process: a catalogue package of the test's
// own, a module with the cipher factory and a throw-away profile key, and helpers that
// act on the controls the way the list, the combos and the spinner report changes.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <memory>
#include <string_view>

#include "core/AppModule.h"
#include "data/catalogue/PackageBuilder.h"
#include "ui/main/MainDialog.h"

namespace lacqueron::testing {

// Section contents for a package: texts in Windows-1251, the picture as a bitmap file.
struct TestCatalogue {
    NarrowString settings;
    NarrowString colours;
    NarrowString recipes;
    NarrowString components;
    NarrowString picture;
};

// Three colours with recipes, a recipe without colour, bases for purposes 1 and 4,
// and a one-pixel picture.
TestCatalogue PaintCatalogue();

// Stored profile values; a missing one is not written.
struct StoredProfile {
    const std::int32_t* targetWeight = nullptr;
    const std::int32_t* weightType = nullptr;
    const std::int32_t* purpose = nullptr;
};

// The process-wide module with the cipher factory registered.
AppModule& TestModule();

// Pumps messages until done() holds or about two seconds of idle waiting pass.
bool PumpUntil(const std::function<bool()>& done);
void PumpPending();

// Posts the characters to the window as a painter types them: every key within
// pauseMs of the one before, by the message times the window reads. On a machine so busy
// that posting took longer, the keys are taken back from the queue, unread, and posted
// again, a few times; false if they never went out at that pace.
bool PostTyped(HWND window, std::wstring_view text, DWORD pauseMs);

// Live GDI objects of this process. Wine answers GetGuiResources with 0, but its
// handle table answers GetObjectType for a bare 16-bit index, so it is counted there.
unsigned LiveGdiObjects();

// One dialog: package, profile and the window, shown only when asked (mapping and
// unmapping windows is what makes Wine slow). Destroys everything in order.
class DialogUnderTest {
public:
    explicit DialogUnderTest(const TestCatalogue& catalogue, const StoredProfile& profile = {}, bool shown = false);
    ~DialogUnderTest();

    MainDialog& Dialog() { return *dialog_; }
    HWND Window() const { return dialog_->Window(); }
    HWND Control(int id) const { return GetDlgItem(dialog_->Window(), id); }
    WideString Text(int id) const;

    void SelectRow(int row);
    void ClearSelection();
    // The list's report when a change concerns no single row (item -1, no parameter).
    void ReportChangeOfNoRow();
    void ChooseComboIndex(int id, int index);
    void TypeAmount(const char16_t* text);
    // Sends the spinner's change report; negative is the up arrow.
    void Spin(int delta);

private:
    std::unique_ptr<OwnedPackage> package_;
    std::unique_ptr<MainDialog> dialog_;
};

}  // namespace lacqueron::testing
