// The compiled resources read back the way the system reads them: each dialog's
// caption and controls in tab order with their ids, classes and texts, which of them
// the Tab key stops at, the accelerators, the icon sizes and the version.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "res/resource.h"

namespace {

struct Control {
    int id;
    std::wstring className;
    std::wstring text;
    bool operator==(const Control&) const = default;
};

void PrintTo(const Control& c, std::ostream* os) {
    *os << c.id << " " << std::string(c.className.begin(), c.className.end());
}

struct Dialog {
    std::wstring caption;
    std::vector<Control> controls;  // in tab order
    std::vector<int> tabStops;      // ids, in tab order
};

// Reads a DLGTEMPLATEEX and its DLGITEMTEMPLATEEX items.
class TemplateReader {
public:
    explicit TemplateReader(const BYTE* data) : at_(data) {}

    Dialog Read() {
        Dialog dialog;
        at_ += 2 * sizeof(WORD) + 2 * sizeof(DWORD);  // version, signature, help id, extended style
        const DWORD style = Dword();
        const WORD count = Word();
        at_ += 4 * sizeof(WORD);  // position and size
        NameOrOrdinal();  // menu
        NameOrOrdinal();  // class
        dialog.caption = String();
        if (style & DS_SETFONT) {
            at_ += 2 * sizeof(WORD) + 2;  // point size, weight, italic, charset
            String();
        }
        for (WORD i = 0; i < count; ++i) {
            Align();
            at_ += 2 * sizeof(DWORD);  // help id, extended style
            const DWORD controlStyle = Dword();
            at_ += 4 * sizeof(WORD);  // position and size
            Control control;
            control.id = static_cast<short>(Dword());
            control.className = ClassName(NameOrOrdinal());
            control.text = NameOrOrdinal();
            at_ += Word();  // creation data
            if (controlStyle & WS_TABSTOP) dialog.tabStops.push_back(control.id);
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

struct DialogCase {
    int id;
    Dialog want;
};

void PrintTo(const DialogCase& c, std::ostream* os) { *os << "dialog " << c.id; }

const DialogCase kDialogs[] = {
    {IDD_MAIN,
     {L"Подбор красок",
      {
          {-1, L"BUTTON", L"Краска"},
          {343, L"SYSLISTVIEW32", L""},
          {-1, L"BUTTON", L"Подробно"},
          {344, L"STATIC", L"Код: ---"},
          {345, L"STATIC", L"Название: ---"},
          {347, L"STATIC", L"Цвет:"},
          {346, L"STATIC", L""},
          {-1, L"BUTTON", L"Формула краски"},
          {-1, L"STATIC", L"Предназначение:"},
          {354, L"COMBOBOX", L""},
          {-1, L"STATIC", L"Требуемое количество:"},
          {148, L"EDIT", L""},
          {149, L"MSCTLS_UPDOWN32", L""},
          {353, L"COMBOBOX", L""},
          {348, L"STATIC", L""},
          {150, L"EDIT", L""},
          {349, L"STATIC", L""},
          {1, L"BUTTON", L"&Закончить"},
          {2, L"BUTTON", L"&Памятка..."},
          {3, L"BUTTON", L"&Распечатать..."},
          {9, L"BUTTON", L"&О программе..."},
          {360, L"BUTTON", L"&Взвесить..."},
          {361, L"BUTTON", L"&Журнал..."},
          {362, L"BUTTON", L"&Рецепты..."},
          {363, L"STATIC", L""},
          {364, L"STATIC", L""},
          {3751, L"BUTTON", L"По&добрать..."},
      },
      {343, 354, 148, 353, 150, 1, 2, 3, 9, 360, 361, 362, 3751}}},
    {IDD_PASSWORD,
     {L"Введите пароль",
      {
          {128, L"STATIC", L"Для продолжения требуется ввод пароля:"},
          {103, L"EDIT", L""},
          {1, L"BUTTON", L"&OK"},
          {2, L"BUTTON", L"О&тмена"},
          {9, L"BUTTON", L"&Справка"},
      },
      {103, 1, 2, 9}}},
    {IDD_ABOUT,
     {L"О программе...",
      {
          {1, L"BUTTON", L"&OK"},
          {-1, L"STATIC", L"#100"},
          {113, L"STATIC", L"версия 1.0"},
          {257, L"STATIC", L""},
          {-1, L"STATIC", L""},
          {-1, L"STATIC", L"Официальный сайт:"},
          {350, L"STATIC", L""},
          {-1, L"STATIC", L"Контакты представительства в России:"},
          {351, L"STATIC", L""},
          {352, L"STATIC", L""},
      },
      {1}}},
};

class DialogTemplateTest : public ::testing::TestWithParam<DialogCase> {};

TEST_P(DialogTemplateTest, HoldsItsControlsInTabOrder) {
    const Dialog& want = GetParam().want;
    const Dialog got = LoadDialog(GetParam().id);
    EXPECT_EQ(got.caption, want.caption);
    EXPECT_EQ(got.controls, want.controls);
    EXPECT_EQ(got.tabStops, want.tabStops);
}

INSTANTIATE_TEST_SUITE_P(Templates, DialogTemplateTest, ::testing::ValuesIn(kDialogs));

TEST(Resources, AcceleratorsAreCtrlXCtrlF1CtrlFF3CtrlJAndF5) {
    HACCEL table = LoadAcceleratorsW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDA_MAIN));
    ASSERT_NE(table, nullptr);
    const BYTE ctrl = FVIRTKEY | FCONTROL | FNOINVERT;
    const ACCEL expected[] = {
        {ctrl, 'X', IDM_EXIT}, {ctrl, VK_F1, IDM_ABOUT}, {ctrl, 'F', IDM_FIND}, {FVIRTKEY | FNOINVERT, VK_F3, IDM_FIND_NEXT},
        {ctrl, 'J', IDM_JOURNAL}, {FVIRTKEY | FNOINVERT, VK_F5, IDM_REFRESH}};
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

TEST(Resources, IconHasTheSizeOfEveryScaling) {
    HMODULE module = GetModuleHandleW(nullptr);
    HRSRC group = FindResourceW(module, MAKEINTRESOURCEW(IDI_MAIN), MAKEINTRESOURCEW(14) /* RT_GROUP_ICON */);
    ASSERT_NE(group, nullptr);
    auto* directory = static_cast<BYTE*>(LockResource(LoadResource(module, group)));
    for (int size : {16, 20, 24, 32, 40, 48, 64}) {
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
