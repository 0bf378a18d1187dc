// The password gate against packages of its own, with the prompt answered from inside
// its modal loop by real messages: typing, buttons, Enter, Escape and the close box.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cwchar>

#include "app/PasswordGate.h"
#include "res/resource.h"
#include "tests/ui/shared/ModalDriver.h"
#include "tests/ui/shared/DialogHarness.h"

namespace lacqueron::testing {
namespace {

constexpr wchar_t kPromptCaption[] = L"Введите пароль";
constexpr wchar_t kRefusal[] = L"Неправильный пароль. В доступе отказано.";

enum class Ending { OkButton, EnterKey, CancelButton, EscapeKey, CloseBox };

struct GateCase {
    const char* name;
    const char* settings;           // Windows-1251
    std::vector<const wchar_t*> typing;  // successive contents of the field; none: left untouched
    Ending ending;
    int expected;
    bool refusalBox;
};

// What the script saw of the prompt while it was open.
struct SeenPrompt {
    bool appeared = false;
    HWND owner = nullptr;
    bool ownerVisible = false;
    bool ownerEnabled = true;
    bool helpEnabled = true;
    bool passwordStyle = false;
    bool editFocused = false;
};

void PostKey(HWND window, UINT key) {
    PostMessageW(window, WM_KEYDOWN, key, 1);
    PostMessageW(window, WM_KEYUP, key, 0xC0000001);
}

std::vector<ModalDriver::Step> AnswerPrompt(const GateCase& c, SeenPrompt& seen, SeenBox& box) {
    std::vector<ModalDriver::Step> steps;
    steps.push_back([&seen] {
        HWND prompt = FindDialog(kPromptCaption);
        if (!prompt) return false;
        seen.appeared = true;
        seen.owner = GetWindow(prompt, GW_OWNER);
        seen.ownerVisible = IsWindowVisible(seen.owner) != FALSE;
        seen.ownerEnabled = IsWindowEnabled(seen.owner) != FALSE;
        seen.helpEnabled = IsWindowEnabled(GetDlgItem(prompt, IDC_PASSWORD_HELP)) != FALSE;
        seen.passwordStyle = (GetWindowLongW(GetDlgItem(prompt, IDC_PASSWORD_EDIT), GWL_STYLE) & ES_PASSWORD) != 0;
        seen.editFocused = GetFocus() == GetDlgItem(prompt, IDC_PASSWORD_EDIT);
        return true;
    });
    for (const wchar_t* text : c.typing) {
        steps.push_back([text] {
            // WM_SETTEXT makes the field report EN_CHANGE, as typing does.
            SetDlgItemTextW(FindDialog(kPromptCaption), IDC_PASSWORD_EDIT, text);
            return true;
        });
    }
    steps.push_back([ending = c.ending] {
        HWND prompt = FindDialog(kPromptCaption);
        HWND edit = GetDlgItem(prompt, IDC_PASSWORD_EDIT);
        switch (ending) {
        case Ending::OkButton: PostMessageW(GetDlgItem(prompt, IDC_PASSWORD_OK), BM_CLICK, 0, 0); break;
        case Ending::CancelButton: PostMessageW(GetDlgItem(prompt, IDC_PASSWORD_CANCEL), BM_CLICK, 0, 0); break;
        case Ending::EnterKey: PostKey(edit, VK_RETURN); break;
        case Ending::EscapeKey: PostKey(edit, VK_ESCAPE); break;
        case Ending::CloseBox: PostMessageW(prompt, WM_SYSCOMMAND, SC_CLOSE, 0); break;
        }
        return true;
    });
    if (c.refusalBox) steps.push_back(AnswerBox(L"Ошибка", IDOK, box));
    return steps;
}

class PasswordGateTest : public ::testing::TestWithParam<GateCase> {};

TEST_P(PasswordGateTest, AnswersThePromptOnce) {
    const GateCase& c = GetParam();
    TestCatalogue catalogue = PaintCatalogue();
    catalogue.settings = c.settings;
    DialogUnderTest dialog(catalogue, {}, /*shown=*/true);
    ASSERT_NE(dialog.Window(), nullptr);

    SeenPrompt prompt;
    SeenBox box;
    int result = -1;
    {
        ModalDriver driver(AnswerPrompt(c, prompt, box));
        result = PasswordGate(dialog.Dialog());
        EXPECT_TRUE(driver.Finished()) << "the script did not run to its end";
    }
    EXPECT_EQ(result, c.expected);

    EXPECT_TRUE(prompt.appeared);
    EXPECT_EQ(prompt.owner, dialog.Window());
    EXPECT_TRUE(prompt.ownerVisible) << "the filled main dialog stays visible behind the prompt";
    EXPECT_FALSE(prompt.ownerEnabled) << "the modal prompt disables its owner";
    EXPECT_FALSE(prompt.helpEnabled);
    EXPECT_TRUE(prompt.passwordStyle);
    EXPECT_TRUE(prompt.editFocused) << "the focus starts in the edit field";

    if (c.refusalBox) {
        EXPECT_EQ(box.caption, L"Ошибка");
        EXPECT_NE(std::find(box.texts.begin(), box.texts.end(), kRefusal), box.texts.end());
        EXPECT_EQ(box.owner, dialog.Window());
    }
    EXPECT_EQ(FindDialog(kPromptCaption), nullptr);
    EXPECT_EQ(FindDialog(L"Ошибка"), nullptr) << "a box that the script did not expect";
    EXPECT_TRUE(IsWindowEnabled(dialog.Window()));
}

// "Секрет 1" and "Пароль" in Windows-1251.
#define SECRET "\xD1\xE5\xEA\xF0\xE5\xF2 1"

const GateCase kGateCases[] = {
    {"RightPassword", "PASSWORD\t" SECRET "\r\n", {L"Секрет 1"}, Ending::OkButton, 1, false},
    {"EnterActsAsOk", "PASSWORD\t" SECRET "\r\n", {L"Секрет 1"}, Ending::EnterKey, 1, false},
    {"LatinCaseDiffers", "PASSWORD\tOpenSesame\r\n", {L"opensesame"}, Ending::OkButton, 0, true},
    {"TrailingSpaceCounts", "PASSWORD\t" SECRET "\r\n", {L"Секрет 1 "}, Ending::OkButton, 0, true},
    {"LeadingSpaceInPasswordCounts", "PASSWORD\t abc\r\n", {L"abc"}, Ending::EnterKey, 0, true},
    {"EmptyField", "PASSWORD\t" SECRET "\r\n", {}, Ending::OkButton, 0, true},
    {"FieldClearedAgain", "PASSWORD\tabc\r\n", {L"abc", L""}, Ending::OkButton, 0, true},
    {"LastChangeCounts", "PASSWORD\tabc\r\n", {L"wrong", L"abc"}, Ending::OkButton, 1, false},
    {"CancelButton", "PASSWORD\tabc\r\n", {L"abc"}, Ending::CancelButton, 0, false},
    {"EscapeKey", "PASSWORD\tabc\r\n", {L"abc"}, Ending::EscapeKey, 0, false},
    {"CloseBox", "PASSWORD\tabc\r\n", {L"abc"}, Ending::CloseBox, 0, false},
    {"EarlierEntryRefused", "PASSWORD\tfirst\r\nPASSWORD\tsecond\r\n", {L"first"}, Ending::OkButton, 0, true},
    {"KeyCaseIgnored", "PASSWORD\tfirst\r\npassWord\tXyZ\r\n", {L"XyZ"}, Ending::OkButton, 1, false},
    {"OtherKeysIgnored", "PASSWORD\tabc\r\nAPPNAME\tx\r\n", {L"abc"}, Ending::OkButton, 1, false},
};

INSTANTIATE_TEST_SUITE_P(Gate, PasswordGateTest, ::testing::ValuesIn(kGateCases),
                         [](const auto& info) { return std::string(info.param.name); });

// Refuses, through a thread hook, to create any window with the caption: the way a
// prompt fails that the system cannot show.
class RefusedWindow {
public:
    explicit RefusedWindow(const wchar_t* caption)
        : hook_(SetWindowsHookExW(WH_CBT, &Hook, nullptr, GetCurrentThreadId())) {
        caption_ = caption;
    }
    ~RefusedWindow() {
        if (hook_) UnhookWindowsHookEx(hook_);
        caption_ = nullptr;
    }
    RefusedWindow(const RefusedWindow&) = delete;
    RefusedWindow& operator=(const RefusedWindow&) = delete;
    bool Installed() const { return hook_ != nullptr; }

private:
    static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam) {
        if (code == HCBT_CREATEWND && caption_) {
            const CREATESTRUCTW* create = reinterpret_cast<CBT_CREATEWNDW*>(lParam)->lpcs;
            if (create->lpszName && !IS_INTRESOURCE(create->lpszName) && std::wcscmp(create->lpszName, caption_) == 0)
                return 1;
        }
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }

    static inline const wchar_t* caption_ = nullptr;
    HHOOK hook_;
};

TEST(PasswordGateFailure, APromptThatCannotBeShownIsToldAndEndsTheProgram) {
    TestCatalogue catalogue = PaintCatalogue();
    catalogue.settings = "PASSWORD\tabc\r\n";
    DialogUnderTest dialog(catalogue, {}, /*shown=*/true);
    ASSERT_NE(dialog.Window(), nullptr);

    SeenBox box;
    int result = -1;
    {
        RefusedWindow refused(kPromptCaption);
        ASSERT_TRUE(refused.Installed());
        ModalDriver driver({AnswerBox(L"Ошибка", IDOK, box)});
        result = PasswordGate(dialog.Dialog());
        EXPECT_TRUE(driver.Finished()) << "no error box";
    }
    EXPECT_EQ(result, 0);
    EXPECT_NE(std::find(box.texts.begin(), box.texts.end(), L"Не удалось открыть окно."), box.texts.end());
    EXPECT_EQ(box.owner, dialog.Window());
    EXPECT_EQ(FindDialog(L"Ошибка"), nullptr) << "one box only";
}

struct SilentCase {
    const char* name;
    const char* settings;
};

class PasswordGateSilent : public ::testing::TestWithParam<SilentCase> {};

TEST_P(PasswordGateSilent, LetsThroughWithoutAsking) {
    TestCatalogue catalogue = PaintCatalogue();
    catalogue.settings = GetParam().settings;
    DialogUnderTest dialog(catalogue);
    ASSERT_NE(dialog.Window(), nullptr);

    bool asked = false;
    ModalDriver driver({[&asked] {
        if (HWND prompt = FindDialog(kPromptCaption)) {
            asked = true;
            PostMessageW(prompt, WM_COMMAND, IDCANCEL, 0);
        }
        return false;
    }});
    EXPECT_EQ(PasswordGate(dialog.Dialog()), 1);
    PumpPending();
    EXPECT_FALSE(asked);
}

const SilentCase kSilentCases[] = {
    {"NoEntry", "APPNAME\tx\r\n"},
    {"EmptyValue", "PASSWORD\t\r\n"},
    {"LastEntryEmpty", "PASSWORD\tabc\r\npassword\t\r\n"},
};

INSTANTIATE_TEST_SUITE_P(Gate, PasswordGateSilent, ::testing::ValuesIn(kSilentCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace lacqueron::testing
