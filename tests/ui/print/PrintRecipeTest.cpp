// Printing through replaced platform steps: cancelling, a print dialog that fails, each
// failing step with what is released (the dialog's device mode, device names and printer
// DC on every path) and which box appears, the page on a memory "printer", and the direct drawing when the
// off-screen page cannot be made, and a drawer's own reason for failing told instead of the
// general one. Wine's real dialog takes the request in print_e2e.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "tests/ui/print/PageCanvas.h"
#include "ui/print/PrintingDetail.h"

namespace lacqueron::testing {
namespace {

HANDLE const kPrinter = reinterpret_cast<HANDLE>(static_cast<INT_PTR>(0x5150));
constexpr wchar_t kDeviceName[] = L"Тестовый принтер";

// How the replaced steps behave in one case.
struct Behaviour {
    HRESULT dialogResult = S_OK;
    DWORD dialogError = 0;  // CommDlgExtendedError after a failed dialog
    DWORD action = PD_RESULT_PRINT;
    bool devMode = true;
    bool devNames = true;
    bool deviceOffsetOutside = false;
    bool dc = true;
    BOOL openResult = TRUE;
    int startDocResult = 1;
    int startPageResult = 1;
    bool offScreenWorks = true;
    bool directWorks = true;
    int endPageResult = 1;
    int endDocResult = 1;
};

// What the replaced steps saw.
struct Record {
    std::vector<std::string> events;
    HGLOBAL devMode = nullptr;
    HGLOBAL devNames = nullptr;
    HDC dc = nullptr;
    std::unique_ptr<PageCanvas> page;
    bool lockedWhileOpen = false;
    bool releasedBeforeBox = false;
    HWND boxOwner = nullptr;
    UINT boxType = 0;
    std::wstring boxText;
};

Behaviour g_behave;
Record* g_record = nullptr;

void Event(const std::string& event) { g_record->events.push_back(event); }

UINT LockCount(HGLOBAL memory) { return GlobalFlags(memory) & GMEM_LOCKCOUNT; }

HGLOBAL MakeDevNames() {
    const wchar_t driver[] = L"winspool";
    const wchar_t output[] = L"LPT1:";
    const std::size_t header = sizeof(DEVNAMES) / sizeof(wchar_t);
    const std::size_t total = header + std::size(driver) + std::size(kDeviceName) + std::size(output);
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, total * sizeof(wchar_t));
    auto* text = static_cast<wchar_t*>(GlobalLock(memory));
    auto* names = reinterpret_cast<DEVNAMES*>(text);
    names->wDriverOffset = static_cast<WORD>(header);
    names->wDeviceOffset = static_cast<WORD>(header + std::size(driver));
    names->wOutputOffset = static_cast<WORD>(names->wDeviceOffset + std::size(kDeviceName));
    std::memcpy(text + names->wDriverOffset, driver, sizeof driver);
    std::memcpy(text + names->wDeviceOffset, kDeviceName, sizeof kDeviceName);
    std::memcpy(text + names->wOutputOffset, output, sizeof output);
    if (g_behave.deviceOffsetOutside) names->wDeviceOffset = static_cast<WORD>(total + 10);
    GlobalUnlock(memory);
    return memory;
}

HRESULT FakeDialog(PRINTDLGEXW* request) noexcept {
    Event("dialog");
    if (g_behave.dialogResult != S_OK) return g_behave.dialogResult;
    request->dwResultAction = g_behave.action;
    if (g_behave.devMode) {
        request->hDevMode = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DEVMODEW));
        static_cast<DEVMODEW*>(GlobalLock(request->hDevMode))->dmSize = sizeof(DEVMODEW);
        GlobalUnlock(request->hDevMode);
    }
    if (g_behave.devNames) request->hDevNames = MakeDevNames();
    if (g_behave.dc) {
        // A memory context stands in for the printer; the code under test deletes it.
        HDC dc = CreateCompatibleDC(nullptr);
        g_record->page = std::make_unique<PageCanvas>(GetDeviceCaps(dc, HORZRES), GetDeviceCaps(dc, VERTRES), dc);
        request->hDC = g_record->page->HandOverDC();
        g_record->dc = request->hDC;
    }
    g_record->devMode = request->hDevMode;
    g_record->devNames = request->hDevNames;
    return S_OK;
}

DWORD FakeDialogError() noexcept { return g_behave.dialogError; }

BOOL FakeOpen(wchar_t* name, HANDLE* printer, PRINTER_DEFAULTSW* defaults) noexcept {
    Event("open " + std::string(std::wstring(name) == kDeviceName ? "device" : "other") +
          (defaults && defaults->DesiredAccess == PRINTER_ACCESS_USE && !defaults->pDatatype &&
                   defaults->pDevMode && defaults->pDevMode->dmSize == sizeof(DEVMODEW)
               ? ""
               : " with wrong defaults"));
    g_record->lockedWhileOpen = LockCount(g_record->devMode) == 1 && LockCount(g_record->devNames) == 1;
    *printer = g_behave.openResult ? kPrinter : nullptr;
    return g_behave.openResult;
}

BOOL FakeClose(HANDLE printer) noexcept {
    Event(printer == kPrinter ? "close" : "close other");
    return TRUE;
}

int FakeStartDoc(HDC, const DOCINFOW* document) noexcept {
    const bool named = document->cbSize == sizeof(DOCINFOW) && std::wstring(document->lpszDocName) == L"Tintaro" &&
                       !document->lpszOutput && !document->lpszDatatype && document->fwType == 0;
    Event(named ? "startdoc" : "startdoc misnamed");
    return g_behave.startDocResult;
}

int Answer(const char* event, int result) {
    Event(event);
    return result;
}
int FakeStartPage(HDC) noexcept { return Answer("startpage", g_behave.startPageResult); }
int FakeEndPage(HDC) noexcept { return Answer("endpage", g_behave.endPageResult); }
int FakeEndDoc(HDC) noexcept { return Answer("enddoc", g_behave.endDocResult); }
int FakeAbortDoc(HDC) noexcept { return Answer("abortdoc", 1); }

bool FakeOffScreen(HDC printer, const PageGeometry& page, const WideString& text) noexcept {
    Event("offscreen");
    return g_behave.offScreenWorks && PlatformPrintOperations().renderOffScreen(printer, page, text);
}
bool FakeDirect(HDC printer, const PageGeometry& page, const WideString& text) noexcept {
    Event("direct");
    return g_behave.directWorks && PlatformPrintOperations().renderDirect(printer, page, text);
}

int FakeBox(HWND owner, const wchar_t* text, const wchar_t* caption, UINT type) noexcept {
    const std::wstring shown = std::wstring(caption) + L"|" + text;
    if (shown == L"Успешно|Документ отправлен на печать") Event("box success");
    else if (shown == L"Ошибка|Не получилось напечатать документ") Event("box failure");
    else if (shown == L"Ошибка|Не удалось открыть окно печати. Документ не напечатан.") Event("box dialog failed");
    else if (shown == L"Ошибка|Не найден ни один принтер. Документ не напечатан.") Event("box no printer");
    else Event("box unknown");
    g_record->boxOwner = owner;
    g_record->boxType = type;
    g_record->boxText = text;
    g_record->releasedBeforeBox = (!g_record->devMode || LockCount(g_record->devMode) == 0) &&
                                  (!g_record->devNames || LockCount(g_record->devNames) == 0);
    return IDOK;
}

const PrintOperations kFakes = {&FakeDialog,    &FakeDialogError, &FakeOpen,   &FakeClose,
                                &FakeStartDoc,  &FakeStartPage,   &FakeEndPage, &FakeEndDoc,
                                &FakeAbortDoc,  &FakeOffScreen,   &FakeDirect, &FakeBox};

HWND const kOwner = reinterpret_cast<HWND>(static_cast<INT_PTR>(0x0F0F));

Record Print(const Behaviour& behave, const WideString& text = u"RAL 1000 Зелёно-бежевый\r\nБаза 100.00 г\r\n") {
    Record record;
    g_behave = behave;
    g_record = &record;
    PrintRecipeWith(kFakes, kOwner, text);
    g_record = nullptr;
    return record;
}

// A page drawn by its caller, as the can label is.
Record PrintDrawn(const PageDrawer& draw) {
    Record record;
    g_behave = {};
    g_record = &record;
    PrintPageWith(kFakes, kOwner, L"Tintaro", draw);
    g_record = nullptr;
    return record;
}

struct PathCase {
    const char* name;
    Behaviour behave;
    std::vector<std::string> events;
    bool pageInked;  // the memory printer got the text
};

void PrintTo(const PathCase& c, std::ostream* os) { *os << c.name; }

class PrintPath : public ::testing::TestWithParam<PathCase> {};

TEST_P(PrintPath, StepsReleasesAndOutcome) {
    const PathCase& c = GetParam();
    const Record record = Print(c.behave);
    EXPECT_EQ(record.events, c.events);
    if (record.page) {
        const RECT ink = record.page->InkBox();
        EXPECT_EQ(ink.right > ink.left, c.pageInked);
        if (c.pageInked) {
            EXPECT_LT(ink.top, 10);
        } else {
            EXPECT_TRUE(record.page->AllPixels(kMarker)) << "nothing reaches a failed page";
        }
    }
    const bool boxed = !c.events.empty() && c.events.back().rfind("box", 0) == 0;
    if (boxed) {
        EXPECT_EQ(record.boxOwner, kOwner);
        EXPECT_EQ(record.boxType & MB_ICONMASK,
                  c.events.back() == "box success" ? UINT{MB_ICONINFORMATION} : UINT{MB_ICONERROR});
        EXPECT_EQ(record.boxType & MB_TYPEMASK, UINT{MB_OK});
        EXPECT_TRUE(record.releasedBeforeBox) << "device mode and names unlocked before the outcome";
    }
    // What the dialog handed over is gone, however the print ended.
    if (record.devMode) EXPECT_EQ(GlobalFlags(record.devMode), UINT{GMEM_INVALID_HANDLE}) << "device mode freed";
    if (record.devNames) EXPECT_EQ(GlobalFlags(record.devNames), UINT{GMEM_INVALID_HANDLE}) << "device names freed";
    if (record.dc) EXPECT_EQ(GetObjectType(record.dc), 0u) << "printer DC deleted";
    if (std::find(c.events.begin(), c.events.end(), "open device") != c.events.end()) {
        EXPECT_TRUE(record.lockedWhileOpen) << "device mode and names stay locked while the printer is opened";
    }
}

using V = std::vector<std::string>;
const V kJobStart = {"dialog", "open device", "startdoc", "startpage"};

V Job(std::initializer_list<const char*> rest) {
    V events = kJobStart;
    events.insert(events.end(), rest.begin(), rest.end());
    return events;
}

const PathCase kPathCases[] = {
    {"Printed", {}, Job({"offscreen", "endpage", "enddoc", "close", "box success"}), true},
    {"Cancelled", {.action = PD_RESULT_CANCEL}, {"dialog"}, false},
    {"AppliedThenCancelled", {.action = PD_RESULT_APPLY}, {"dialog"}, false},
    {"DialogFailed", {.dialogResult = E_FAIL, .dialogError = CDERR_INITIALIZATION}, {"dialog", "box dialog failed"},
     false},
    {"DialogRefusedTheRequest", {.dialogResult = E_INVALIDARG}, {"dialog", "box dialog failed"}, false},
    {"NoPrinterInstalled", {.dialogResult = E_FAIL, .dialogError = PDERR_NODEFAULTPRN}, {"dialog", "box no printer"},
     false},
    {"NoDeviceMode", {.devMode = false}, {"dialog", "box failure"}, false},
    {"NoDeviceNames", {.devNames = false}, {"dialog", "box failure"}, false},
    {"DeviceNameOutsideItsBlock", {.deviceOffsetOutside = true}, {"dialog", "box failure"}, false},
    {"PrinterDoesNotOpen", {.openResult = FALSE}, {"dialog", "open device", "box failure"}, false},
    {"NoDeviceContext", {.dc = false}, {"dialog", "open device", "close", "box failure"}, false},
    {"DocumentDoesNotStart", {.startDocResult = 0}, {"dialog", "open device", "startdoc", "close", "box failure"},
     false},
    {"PageDoesNotStart", {.startPageResult = 0}, Job({"abortdoc", "close", "box failure"}), false},
    {"PageStartReportsAnError", {.startPageResult = -1}, Job({"abortdoc", "close", "box failure"}), false},
    {"OffScreenPageCannotBeMade", {.offScreenWorks = false},
     Job({"offscreen", "direct", "endpage", "enddoc", "close", "box success"}), true},
    {"NeitherWayDraws", {.offScreenWorks = false, .directWorks = false},
     Job({"offscreen", "direct", "abortdoc", "close", "box failure"}), false},
    {"PageDoesNotEnd", {.endPageResult = 0}, Job({"offscreen", "endpage", "abortdoc", "close", "box failure"}),
     true},
    {"DocumentDoesNotEnd", {.endDocResult = 0}, Job({"offscreen", "endpage", "enddoc", "close", "box failure"}),
     true},
};

INSTANTIATE_TEST_SUITE_P(Print, PrintPath, ::testing::ValuesIn(kPathCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(PrintPage, ADrawersReasonReplacesTheGeneralFailure) {
    const std::wstring reason = L"Этикетка не помещается на бумагу 30 × 20 мм. Наименьший размер: 58 × 40 мм.";
    Record record = PrintDrawn([&](HDC, WideString& failure) {
        failure = FromWinText(reason.c_str());
        return false;
    });
    EXPECT_EQ(record.events, Job({"abortdoc", "close", "box unknown"}));
    EXPECT_EQ(record.boxText, reason);
    EXPECT_EQ(record.boxType & MB_ICONMASK, UINT{MB_ICONERROR});

    // Without a reason the painter gets the general text.
    record = PrintDrawn([](HDC, WideString&) { return false; });
    EXPECT_EQ(record.boxText, L"Не получилось напечатать документ");
}

TEST(PrintRecipe, NoRecipePrintsABlankPage) {
    const Record record = Print({}, u"");
    EXPECT_EQ(record.events, Job({"offscreen", "endpage", "enddoc", "close", "box success"}));
    ASSERT_TRUE(record.page);
    EXPECT_TRUE(record.page->AllPixels(kWhitePixel));
}

}  // namespace
}  // namespace lacqueron::testing
