// The compiled resources read back the way the system reads them: every dialog
// control with its class, rectangle, text, style and tab order, the accelerators,
// the icon sizes and the version.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "res/resource.h"

namespace {

struct Control {
    int id;
    std::wstring className;
    short x, y, cx, cy;
    std::wstring text;
    DWORD style;
};

struct Dialog {
    DWORD style = 0;
    DWORD exStyle = 0;
    short cx = 0, cy = 0;
    std::wstring caption;
    WORD pointSize = 0;
    std::wstring font;
    std::vector<Control> controls;
};

// Reads a DLGTEMPLATEEX and its DLGITEMTEMPLATEEX items.
class TemplateReader {
public:
    explicit TemplateReader(const BYTE* data) : at_(data) {}

    Dialog Read() {
        Dialog dialog;
        Word();  // version
        Word();  // signature
        Dword();  // help id
        dialog.exStyle = Dword();
        dialog.style = Dword();
        const WORD count = Word();
        Word(), Word();
        dialog.cx = static_cast<short>(Word());
        dialog.cy = static_cast<short>(Word());
        NameOrOrdinal();  // menu
        NameOrOrdinal();  // class
        dialog.caption = String();
        if (dialog.style & DS_SETFONT) {
            dialog.pointSize = Word();
            Word();  // weight
            at_ += 2;  // italic, charset
            dialog.font = String();
        }
        for (WORD i = 0; i < count; ++i) {
            Align();
            Control control;
            Dword();  // help id
            Dword();  // extended style
            control.style = Dword();
            control.x = static_cast<short>(Word());
            control.y = static_cast<short>(Word());
            control.cx = static_cast<short>(Word());
            control.cy = static_cast<short>(Word());
            control.id = static_cast<int>(Dword());
            control.className = ClassName(NameOrOrdinal());
            control.text = NameOrOrdinal();
            at_ += Word();  // creation data
            dialog.controls.push_back(control);
        }
        return dialog;
    }

private:
    WORD Word() { WORD v; std::memcpy(&v, at_, 2); at_ += 2; return v; }
    DWORD Dword() { DWORD v; std::memcpy(&v, at_, 4); at_ += 4; return v; }
    void Align() { while (reinterpret_cast<UINT_PTR>(at_) % 4) ++at_; }
    std::wstring String() {
        std::wstring text;
        for (WORD c; (c = Word()) != 0;) text += static_cast<wchar_t>(c);
        return text;
    }
    // An ordinal comes back as "#<number>".
    std::wstring NameOrOrdinal() {
        WORD first;
        std::memcpy(&first, at_, 2);
        if (first != 0xFFFF) return String();
        Word();
        return L"#" + std::to_wstring(Word());
    }
    static std::wstring ClassName(const std::wstring& name) {
        if (name == L"#128") return L"BUTTON";
        if (name == L"#129") return L"EDIT";
        if (name == L"#130") return L"STATIC";
        if (name == L"#133") return L"COMBOBOX";
        std::wstring upper = name;
        for (wchar_t& c : upper) c = static_cast<wchar_t>(towupper(c));
        return upper;
    }

    const BYTE* at_;
};

Dialog LoadDialog(int id) {
    HMODULE module = GetModuleHandleW(nullptr);
    HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(5) /* RT_DIALOG */);
    if (!found) return {};
    return TemplateReader(static_cast<const BYTE*>(LockResource(LoadResource(module, found)))).Read();
}

constexpr DWORD kShown = WS_CHILD | WS_VISIBLE;
constexpr DWORD kLabel = kShown | SS_LEFT | WS_GROUP;
constexpr DWORD kGroupBox = kShown | BS_GROUPBOX;
constexpr DWORD kDropDown = kShown | CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP;
constexpr DWORD kButton = kShown | BS_PUSHBUTTON | WS_TABSTOP;
constexpr DWORD kDefaultButton = kShown | BS_DEFPUSHBUTTON | WS_TABSTOP;

struct DialogCase {
    int id;
    DWORD style;
    DWORD exStyle;
    short cx, cy;
    const wchar_t* caption;
    std::vector<Control> controls;  // in tab order
};

void PrintTo(const DialogCase& c, std::ostream* os) { *os << "dialog " << c.id; }

const DialogCase kDialogs[] = {
    {IDD_MAIN, WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | DS_MODALFRAME | DS_CENTER | DS_SETFONT,
     WS_EX_APPWINDOW | WS_EX_WINDOWEDGE, 631, 333, L"Подбор красок",
     {
         {-1, L"BUTTON", 4, 4, 142, 307, L"Краска", kGroupBox},
         {343, L"SYSLISTVIEW32", 10, 16, 130, 288, L"",
          kShown | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_ALIGNLEFT | LVS_NOCOLUMNHEADER |
              LVS_NOSORTHEADER | WS_BORDER | WS_TABSTOP},
         {-1, L"BUTTON", 150, 4, 477, 92, L"Подробно", kGroupBox},
         {344, L"STATIC", 156, 16, 80, 8, L"Код: ---", kLabel},
         {345, L"STATIC", 156, 28, 212, 8, L"Название: ---", kLabel},
         {347, L"STATIC", 156, 42, 20, 8, L"Цвет:", kLabel},
         {346, L"STATIC", 180, 41, 441, 49, L"", kShown | SS_SUNKEN | WS_GROUP},
         {-1, L"BUTTON", 150, 100, 477, 211, L"Формула краски", kGroupBox},
         {-1, L"STATIC", 156, 112, 60, 8, L"Предназначение:", kLabel},
         {354, L"COMBOBOX", 221, 110, 343, 59, L"", kDropDown},
         {-1, L"STATIC", 156, 128, 81, 8, L"Требуемое количество:", kLabel},
         {148, L"EDIT", 242, 126, 62, 12, L"",
          kShown | ES_NUMBER | ES_CENTER | ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP},
         {149, L"MSCTLS_UPDOWN32", 378, 125, 11, 13, L"", kShown | UDS_AUTOBUDDY | UDS_ALIGNRIGHT | UDS_ARROWKEYS},
         {353, L"COMBOBOX", 307, 126, 65, 59, L"", kDropDown},
         {348, L"STATIC", 156, 142, 471, 163, L"", kShown | SS_SUNKEN},
         {150, L"EDIT", 156, 142, 471, 163, L"", kShown | ES_MULTILINE | ES_READONLY | ES_AUTOHSCROLL | WS_TABSTOP},
         {349, L"STATIC", 156, 142, 471, 163, L"", kShown | SS_SUNKEN},
         {1, L"BUTTON", 195, 315, 51, 14, L"&Закончить", kDefaultButton},
         {2, L"BUTTON", 250, 315, 54, 14, L"&Памятка...", kButton & ~WS_VISIBLE},
         {3, L"BUTTON", 308, 315, 61, 14, L"&Распечатать...", kButton},
         {9, L"BUTTON", 374, 315, 62, 14, L"&О программе...", kButton},
         {361, L"BUTTON", 506, 315, 62, 14, L"&Журнал...", kButton},
     }},
    {IDD_PASSWORD, WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_CENTER | DS_SETFONT, 0, 170, 55,
     L"Введите пароль",
     {
         {128, L"STATIC", 4, 6, 144, 8, L"Для продолжения требуется ввод пароля:", kLabel},
         {103, L"EDIT", 4, 17, 162, 12, L"", kShown | ES_PASSWORD | ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP},
         {1, L"BUTTON", 4, 37, 50, 14, L"&OK", kDefaultButton},
         {2, L"BUTTON", 60, 37, 50, 14, L"О&тмена", kButton},
         {9, L"BUTTON", 116, 37, 50, 14, L"&Справка", kButton | WS_DISABLED},
     }},
    {IDD_ABOUT, WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT, 0, 196, 104, L"О программе...",
     {
         {1, L"BUTTON", 67, 86, 60, 14, L"&OK", kDefaultButton},
         {-1, L"STATIC", 4, 4, 21, 20, L"#100", kShown | SS_ICON | WS_GROUP},
         {113, L"STATIC", 31, 4, 161, 8, L"версия 1.0", kLabel},
         {257, L"STATIC", 31, 17, 161, 8, L"", kLabel},
         {-1, L"STATIC", 4, 31, 188, 1, L"", kShown | SS_ETCHEDHORZ | WS_GROUP},
         {-1, L"STATIC", 4, 37, 68, 8, L"Официальный сайт:", kLabel},
         {350, L"STATIC", 80, 37, 112, 8, L"", kLabel},
         {-1, L"STATIC", 4, 50, 136, 8, L"Контакты представительства в России:", kLabel},
         {351, L"STATIC", 4, 61, 188, 8, L"", kLabel},
         {352, L"STATIC", 4, 72, 188, 8, L"", kLabel},
     }},
};

class DialogTemplateTest : public ::testing::TestWithParam<DialogCase> {};

TEST_P(DialogTemplateTest, MatchesItsTable) {
    const DialogCase& want = GetParam();
    const Dialog got = LoadDialog(want.id);
    EXPECT_EQ(got.style, want.style);
    EXPECT_EQ(got.exStyle, want.exStyle);
    EXPECT_EQ(got.cx, want.cx);
    EXPECT_EQ(got.cy, want.cy);
    EXPECT_EQ(got.caption, want.caption);
    EXPECT_EQ(got.pointSize, 8);
    EXPECT_EQ(got.font, L"MS Sans Serif");
    ASSERT_EQ(got.controls.size(), want.controls.size());
    for (std::size_t i = 0; i < want.controls.size(); ++i) {
        const Control& g = got.controls[i];
        const Control& w = want.controls[i];
        SCOPED_TRACE("control " + std::to_string(i) + " id " + std::to_string(w.id));
        EXPECT_EQ(static_cast<short>(g.id), w.id);
        EXPECT_EQ(g.className, w.className);
        EXPECT_EQ(g.x, w.x);
        EXPECT_EQ(g.y, w.y);
        EXPECT_EQ(g.cx, w.cx);
        EXPECT_EQ(g.cy, w.cy);
        EXPECT_EQ(g.text, w.text);
        EXPECT_EQ(g.style, w.style) << std::hex << g.style << " vs " << w.style;
    }
}

INSTANTIATE_TEST_SUITE_P(Templates, DialogTemplateTest, ::testing::ValuesIn(kDialogs));

TEST(Resources, AcceleratorsAreCtrlXCtrlF1CtrlFF3AndCtrlJ) {
    HACCEL table = LoadAcceleratorsW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDA_MAIN));
    ASSERT_NE(table, nullptr);
    const BYTE ctrl = FVIRTKEY | FCONTROL | FNOINVERT;
    const ACCEL expected[] = {
        {ctrl, 'X', IDM_EXIT}, {ctrl, VK_F1, IDM_ABOUT}, {ctrl, 'F', IDM_FIND}, {FVIRTKEY | FNOINVERT, VK_F3, IDM_FIND_NEXT},
        {ctrl, 'J', IDM_JOURNAL}};
    ACCEL entries[8];
    ASSERT_EQ(CopyAcceleratorTableW(table, entries, 8), static_cast<int>(std::size(expected)));
    for (std::size_t i = 0; i < std::size(expected); ++i) {
        SCOPED_TRACE(i);
        // 0x80 marks the last entry.
        EXPECT_EQ(entries[i].fVirt & ~0x80, expected[i].fVirt);
        EXPECT_EQ(entries[i].key, expected[i].key);
        EXPECT_EQ(entries[i].cmd, expected[i].cmd);
    }
}

TEST(Resources, IconHasThreeSizes) {
    HMODULE module = GetModuleHandleW(nullptr);
    HRSRC group = FindResourceW(module, MAKEINTRESOURCEW(IDI_MAIN), MAKEINTRESOURCEW(14) /* RT_GROUP_ICON */);
    ASSERT_NE(group, nullptr);
    auto* directory = static_cast<BYTE*>(LockResource(LoadResource(module, group)));
    for (int size : {16, 32, 48}) {
        const int id = LookupIconIdFromDirectoryEx(directory, TRUE, size, size, LR_DEFAULTCOLOR);
        HRSRC image = FindResourceW(module, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(3) /* RT_ICON */);
        ASSERT_NE(image, nullptr) << size;
        auto* header = static_cast<const BITMAPINFOHEADER*>(LockResource(LoadResource(module, image)));
        EXPECT_EQ(header->biWidth, size);
        EXPECT_EQ(header->biBitCount, 32);
    }
}

TEST(Resources, VersionIs1_1_20FromVelm) {
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    DWORD ignored = 0;
    std::vector<BYTE> info(GetFileVersionInfoSizeW(path, &ignored));
    ASSERT_FALSE(info.empty());
    ASSERT_TRUE(GetFileVersionInfoW(path, 0, static_cast<DWORD>(info.size()), info.data()));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(info.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwFileVersionMS, MAKELONG(1, 1));
    EXPECT_EQ(HIWORD(fixed->dwFileVersionLS), 20);
    wchar_t* text = nullptr;
    ASSERT_TRUE(VerQueryValueW(info.data(), L"\\StringFileInfo\\041904B0\\CompanyName",
                               reinterpret_cast<void**>(&text), &length));
    EXPECT_STREQ(text, L"VELM");
    ASSERT_TRUE(VerQueryValueW(info.data(), L"\\StringFileInfo\\041904B0\\ProductName",
                               reinterpret_cast<void**>(&text), &length));
    EXPECT_STREQ(text, L"Подбор красок ВЕЛМ");
}

}  // namespace
