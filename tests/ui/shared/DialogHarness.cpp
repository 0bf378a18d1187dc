#include "tests/ui/shared/DialogHarness.h"

#include <gtest/gtest.h>

#include <utility>

#include "data/cipher/Cipher.h"
#include "profile/RegistryKey.h"
#include "res/resource.h"

namespace lacqueron::testing {
namespace {

constexpr SectionKey kKey = {
    {0x3C, 0x51, 0x07, 0xA2, 0x9E, 0x44, 0x18, 0xD0, 0x6B, 0x2F, 0x83, 0x11, 0xC5, 0x7A, 0xE9, 0x02},
    {0x90, 0x1D, 0x66, 0x4B, 0x0C, 0xF3, 0x27, 0x58, 0xA1, 0xBE, 0x35, 0x7C, 0x42, 0xD8, 0x09, 0x6E},
};

// A 24-bit bitmap file of one pixel, as little-endian fields of the given byte widths.
NarrowString OnePixelBitmap() {
    const std::pair<std::uint32_t, int> fields[] = {
        {'B' | 'M' << 8, 2}, {58, 4}, {0, 4}, {54, 4},                      // file header
        {40, 4}, {1, 4}, {1, 4}, {1, 2}, {24, 2}, {0, 4}, {4, 4}, {0, 4},   // information header
        {0, 4}, {0, 4}, {0, 4},
        {0x00336699, 4},                                                    // one padded row
    };
    NarrowString file;
    for (const auto& [value, bytes] : fields)
        for (int i = 0; i < bytes; ++i) file.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
    return file;
}

constexpr char16_t kProfilePath[] = u"Software\\VELM\\LacqueronTests\\MainDialog";

}  // namespace

TestCatalogue PaintCatalogue() {
    TestCatalogue c;
    c.settings = "APPNAME\tTest %u.%u build %u\r\n";
    c.colours =
        "RAL 1000\t200-30-40\tx\tGreen beige\r\n"
        "RAL 3020\t20-180-60\tx\tTraffic red\r\n"
        "RAL 5005\t10-40-220\tx\tSignal blue\r\n";
    c.recipes =
        "RAL 1000\r\nB1\t100\r\nP1\t3\r\nP2\t1\r\n\r\n"
        "RAL 3020\r\nB1\t80\r\nP2\t20\r\n\r\n"
        "RAL 9999\r\nB1\t50\r\nP1\t50\r\n\r\n"
        "RAL 5005\r\nP1\t1\r\n";
    c.components =
        "B4\t\tB1\t1,25\r\n"
        "B1\tFirst base\tB1\t0.8\r\n"
        "P\tYel\tP1\t1.5\r\n"
        "P\tRed\tP2\t2.0\tN\r\n";
    c.picture = OnePixelBitmap();
    return c;
}

AppModule& TestModule() {
    static AppModule module;
    static const bool registered = [] {
        RefPtr<ICipherFactory> factory = CreateCipherFactory();
        return module.RegisterService(factory.get(), iid::CipherFactory, kOwnsReference) == 1;
    }();
    EXPECT_TRUE(registered);
    return module;
}

void PumpPending() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

bool PumpUntil(const std::function<bool()>& done) {
    const ULONGLONG deadline = GetTickCount64() + 2000;
    for (;;) {
        PumpPending();
        if (done()) return true;
        if (GetTickCount64() > deadline) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
}

bool PostTyped(HWND window, std::wstring_view text, DWORD pauseMs) {
    constexpr int kAttempts = 3;
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        // The clock GetMessageTime reads.
        const DWORD started = GetTickCount();
        for (const wchar_t c : text) PostMessageW(window, WM_CHAR, c, 1);
        if (GetTickCount() - started < pauseMs) return true;
        MSG unread;
        while (PeekMessageW(&unread, window, WM_CHAR, WM_CHAR, PM_REMOVE)) {
        }
    }
    return false;
}

unsigned LiveGdiObjects() {
    const DWORD counted = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    if (counted != 0) return counted;
    unsigned live = 0;
    for (ULONG_PTR index = 1; index <= 0xFFFF; ++index)
        if (GetObjectType(reinterpret_cast<HGDIOBJ>(index)) != 0) ++live;
    return live;
}

DialogUnderTest::DialogUnderTest(const TestCatalogue& catalogue, const StoredProfile& profile, bool shown) {
    package_ = EncryptPackage({catalogue.settings, catalogue.colours, catalogue.recipes, catalogue.components,
                               catalogue.picture},
                              kKey);
    EXPECT_NE(package_, nullptr);

    RefPtr<IRegistryKey> key = OpenRegistryPath(kProfilePath);
    EXPECT_TRUE(key);
    if (key) {
        key->DeleteAllValues();
        if (profile.targetWeight) key->SetDword(u"TargetWeight", *profile.targetWeight);
        if (profile.weightType) key->SetDword(u"WeightType", *profile.weightType);
        if (profile.purpose) key->SetDword(u"Purpose", *profile.purpose);
    }
    AppModule& module = TestModule();
    module.SetProfileKey(key);
    dialog_ = std::make_unique<MainDialog>(module, package_->package);
    module.ClearProfileKey();
    if (key) key->DeleteAllValues();

    EXPECT_NE(dialog_->Create(), nullptr);
    if (shown) {
        // Above any other test's window on a shared display, so the screen shows this one.
        SetWindowPos(dialog_->Window(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        ShowWindow(dialog_->Window(), SW_SHOWNORMAL);
        UpdateWindow(dialog_->Window());
    }
    PumpPending();
}

DialogUnderTest::~DialogUnderTest() {
    dialog_->DestroyWindowIfAny();
    PumpPending();
    // Button 1 and the close box post a quit request that a test may leave behind.
    MSG message;
    while (PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
}

WideString DialogUnderTest::Text(int id) const {
    wchar_t buffer[4096] = {};
    GetDlgItemTextW(Window(), id, buffer, 4096);
    return FromWinText(buffer);
}

void DialogUnderTest::SelectRow(int row) {
    LVITEMW state{};
    state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    state.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(Control(IDC_PAINT_LIST), LVM_SETITEMSTATE, static_cast<WPARAM>(row),
                 reinterpret_cast<LPARAM>(&state));
}

void DialogUnderTest::ClearSelection() {
    LVITEMW state{};
    state.stateMask = LVIS_SELECTED;
    SendMessageW(Control(IDC_PAINT_LIST), LVM_SETITEMSTATE, static_cast<WPARAM>(-1),
                 reinterpret_cast<LPARAM>(&state));
}

void DialogUnderTest::ReportChangeOfNoRow() {
    NMLISTVIEW change{};
    change.hdr.hwndFrom = Control(IDC_PAINT_LIST);
    change.hdr.idFrom = IDC_PAINT_LIST;
    change.hdr.code = LVN_ITEMCHANGED;
    change.iItem = -1;
    change.uChanged = LVIF_STATE;
    change.uOldState = LVIS_SELECTED;
    SendMessageW(Window(), WM_NOTIFY, IDC_PAINT_LIST, reinterpret_cast<LPARAM>(&change));
}

void DialogUnderTest::ChooseComboIndex(int id, int index) {
    HWND combo = Control(id);
    SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    SendMessageW(Window(), WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
}

void DialogUnderTest::TypeAmount(const char16_t* text) {
    SendMessageW(Control(IDC_AMOUNT), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
}

void DialogUnderTest::Spin(int delta) {
    NMUPDOWN change{};
    change.hdr.hwndFrom = Control(IDC_AMOUNT_SPIN);
    change.hdr.idFrom = IDC_AMOUNT_SPIN;
    change.hdr.code = UDN_DELTAPOS;
    change.iDelta = delta;
    SendMessageW(Window(), WM_NOTIFY, IDC_AMOUNT_SPIN, reinterpret_cast<LPARAM>(&change));
}

}  // namespace lacqueron::testing
