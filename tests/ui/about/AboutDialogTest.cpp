// The about dialog: the arguments of the version line, the texts and targets of the
// links, clicks reaching the open operation, the hand cursor, the link look, the three
// ways to close it and the window procedures given back on destroy.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "res/resource.h"
#include "tests/ui/shared/ModalDriver.h"
#include "ui/about/AboutDialog.h"
#include "ui/about/AboutDialogDetail.h"

namespace lacqueron::testing {
namespace {

constexpr wchar_t kCaption[] = L"О программе...";

// The line's arguments: two numbers, then the build as a text. How the formatter treats
// each conversion is checked with the formatter itself.
TEST(AboutVersionLine, TakesTwoNumbersThenTheBuildAsText) {
    EXPECT_EQ(FormatAboutVersionLine(u"%s %s %s"), u"%s %s .20");
    EXPECT_EQ(FormatAboutVersionLine(u"%u.%u.%u"), u"1.1.%u");
}

// What an open operation was asked to do.
struct OpenCall {
    HWND owner;
    std::wstring target;
};
std::vector<OpenCall> g_opened;

void RecordOpen(HWND owner, const WideString& target) noexcept {
    try {
        g_opened.push_back({owner, std::wstring(WinText(target))});
    } catch (...) {
    }
}

Catalogue ContactCatalogue(const char16_t* format = u"Подбор красок %u.%u%s") {
    Catalogue catalogue;
    catalogue.settings.Append({u"WWW", u"www.velm.example"});
    catalogue.settings.Append({u"WwwAction", u"http://www.velm.example/ru/"});
    catalogue.settings.Append({u"EMAIL", u"first@velm.example"});
    catalogue.settings.Append({u"email", u"info@velm.example"});
    catalogue.settings.Append({u"EMAILACTION", u"mailto:info@velm.example?subject=Краски"});
    catalogue.settings.Append({u"PHONE", u"Москва, тел. +7 495 000-00-00"});
    catalogue.settings.Append({u"APPNAMEFORMAT", format});
    return catalogue;
}

class AboutDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        g_opened.clear();
        previousOpen_ = SetOpenTargetForTesting(&RecordOpen);
        ForgetVersionLineForTesting();
        owner_ = CreateOwnerWindow(200, 150, 700, 500);
        ASSERT_NE(owner_, nullptr);
    }
    void TearDown() override {
        SetOpenTargetForTesting(previousOpen_);
        DestroyWindow(owner_);
    }

    // Opens the dialog, runs the steps inside it, then closes it with OK.
    bool RunDialog(const Catalogue& catalogue, std::vector<ModalDriver::Step> steps) {
        steps.push_back([] {
            PostMessageW(GetDlgItem(FindDialog(kCaption), IDC_ABOUT_OK), BM_CLICK, 0, 0);
            return true;
        });
        ModalDriver driver(std::move(steps));
        ShowAboutDialog(owner_, catalogue);
        return driver.Finished() && FindDialog(kCaption) == nullptr;
    }

    // A step that copies the dialog's control texts.
    static ModalDriver::Step ReadTexts(std::wstring (&texts)[5]) {
        return [&texts] {
            HWND about = FindDialog(kCaption);
            if (!about) return false;
            const int ids[] = {IDC_VERSION_LINE, IDC_RIGHTS, IDC_SITE_LINK, IDC_CONTACT_LINE, IDC_EMAIL_LINK};
            for (int i = 0; i < 5; ++i) texts[i] = WindowText(GetDlgItem(about, ids[i]));
            return true;
        };
    }

    HWND owner_ = nullptr;
    OpenTargetFunction previousOpen_ = nullptr;
};

TEST_F(AboutDialogTest, ShowsTheConfiguredTexts) {
    std::wstring texts[5];
    ASSERT_TRUE(RunDialog(ContactCatalogue(), {ReadTexts(texts)}));
    EXPECT_EQ(texts[0], L"Подбор красок 1.1.20");
    EXPECT_FALSE(texts[1].empty()) << "rights notice";
    EXPECT_EQ(texts[2], L"www.velm.example");
    EXPECT_EQ(texts[3], L"Москва, тел. +7 495 000-00-00");
    EXPECT_EQ(texts[4], L"info@velm.example") << "the last EMAIL entry, key case ignored";
}

TEST_F(AboutDialogTest, MissingKeysLeaveEmptyTexts) {
    std::wstring texts[5];
    ASSERT_TRUE(RunDialog(Catalogue{}, {ReadTexts(texts)}));
    EXPECT_EQ(texts[0], L"");
    EXPECT_EQ(texts[2], L"");
    EXPECT_EQ(texts[3], L"");
    EXPECT_EQ(texts[4], L"");
}

TEST_F(AboutDialogTest, VersionLineIsFormattedOncePerProcessUnlessEmpty) {
    std::wstring texts[5];
    ASSERT_TRUE(RunDialog(ContactCatalogue(u""), {ReadTexts(texts)}));
    EXPECT_EQ(texts[0], L"");
    ASSERT_TRUE(RunDialog(ContactCatalogue(u"первая %u.%u%s"), {ReadTexts(texts)}));
    EXPECT_EQ(texts[0], L"первая 1.1.20") << "an empty line is formatted again";
    ASSERT_TRUE(RunDialog(ContactCatalogue(u"вторая %u"), {ReadTexts(texts)}));
    EXPECT_EQ(texts[0], L"первая 1.1.20") << "a line once made is reused";
}

// Clicking a control: a button press at its middle, as the mouse would send it.
ModalDriver::Step Press(int id) {
    return [id] {
        HWND control = GetDlgItem(FindDialog(kCaption), id);
        if (!control) return false;
        SendMessageW(control, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
        SendMessageW(control, WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
        return true;
    };
}

TEST_F(AboutDialogTest, LinksOpenTheirTargetsOnPress) {
    HWND about = nullptr;
    ASSERT_TRUE(RunDialog(ContactCatalogue(), {[&about] { return (about = FindDialog(kCaption)) != nullptr; },
                                               Press(IDC_SITE_LINK), Press(IDC_CONTACT_LINE), Press(IDC_EMAIL_LINK)}));
    ASSERT_EQ(g_opened.size(), 2u) << "the contact line opens nothing";
    EXPECT_EQ(g_opened[0].owner, about);
    EXPECT_EQ(g_opened[0].target, L"http://www.velm.example/ru/");
    EXPECT_EQ(g_opened[1].owner, about);
    EXPECT_EQ(g_opened[1].target, L"mailto:info@velm.example?subject=Краски");
}

TEST_F(AboutDialogTest, EmptyTargetStillCallsTheOpenOperation) {
    ASSERT_TRUE(RunDialog(Catalogue{}, {Press(IDC_SITE_LINK)}));
    ASSERT_EQ(g_opened.size(), 1u);
    EXPECT_EQ(g_opened[0].target, L"");
}

// A step that hands the site link, the contact line and the e-mail link, in that
// order, to probe.
ModalDriver::Step ProbeLines(std::function<void(HWND about, HWND line, int index)> probe) {
    return [probe = std::move(probe)] {
        HWND about = FindDialog(kCaption);
        if (!about) return false;
        const int ids[3] = {IDC_SITE_LINK, IDC_CONTACT_LINE, IDC_EMAIL_LINK};
        for (int i = 0; i < 3; ++i) probe(about, GetDlgItem(about, ids[i]), i);
        return true;
    };
}

TEST_F(AboutDialogTest, HandCursorAndMouseOnlyOverLinks) {
    struct Probe {
        LRESULT hit;
        LRESULT setCursor;
        HCURSOR cursor;
    };
    Probe probes[3] = {};
    ASSERT_TRUE(RunDialog(ContactCatalogue(), {ProbeLines([&](HWND, HWND control, int i) {
                              SetCursor(LoadCursorW(nullptr, IDC_WAIT));
                              probes[i].hit = SendMessageW(control, WM_NCHITTEST, 0, 0);
                              probes[i].setCursor = SendMessageW(control, WM_SETCURSOR,
                                                                 reinterpret_cast<WPARAM>(control),
                                                                 MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
                              probes[i].cursor = GetCursor();
                          })}));
    const HCURSOR hand = LoadCursorW(nullptr, IDC_HAND);
    ASSERT_NE(hand, nullptr);
    for (int link : {0, 2}) {
        EXPECT_EQ(probes[link].hit, HTCLIENT);
        EXPECT_EQ(probes[link].setCursor, TRUE);
        EXPECT_EQ(probes[link].cursor, hand);
    }
    EXPECT_NE(probes[1].hit, HTCLIENT) << "the contact line lets the mouse through";
    EXPECT_NE(probes[1].cursor, hand);
}

TEST_F(AboutDialogTest, LinksAreBlueUnderlinedAndTransparent) {
    struct Look {
        INT_PTR brush;
        COLORREF colour;
        int mode;
        BOOL underline;
        BOOL controlFontUnderlined;
    };
    Look looks[3] = {};
    ASSERT_TRUE(RunDialog(ContactCatalogue(), {ProbeLines([&](HWND about, HWND control, int i) {
                              const auto controlFont =
                                  reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0));
                              HDC dc = GetDC(control);
                              SelectObject(dc, controlFont);
                              SetTextColor(dc, 0x123456);
                              looks[i].brush = SendMessageW(about, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                                            reinterpret_cast<LPARAM>(control));
                              looks[i].colour = GetTextColor(dc);
                              looks[i].mode = GetBkMode(dc);
                              LOGFONTW font{};
                              GetObjectW(GetCurrentObject(dc, OBJ_FONT), sizeof font, &font);
                              looks[i].underline = font.lfUnderline;
                              ReleaseDC(control, dc);
                              GetObjectW(controlFont, sizeof font, &font);
                              looks[i].controlFontUnderlined = font.lfUnderline;
                          })}));
    for (int link : {0, 2}) {
        EXPECT_EQ(looks[link].brush, reinterpret_cast<INT_PTR>(GetStockObject(NULL_BRUSH)));
        EXPECT_EQ(looks[link].colour, RGB(0, 0, 255));
        EXPECT_EQ(looks[link].mode, TRANSPARENT);
        EXPECT_TRUE(looks[link].underline);
        EXPECT_TRUE(looks[link].controlFontUnderlined);
    }
    EXPECT_NE(looks[1].colour, RGB(0, 0, 255));
    EXPECT_FALSE(looks[1].underline);
    EXPECT_FALSE(looks[1].controlFontUnderlined);
}

// Watches the dialog's WM_DESTROY: by the time it has been handled the link controls
// must have their class procedure again.
HWND g_watched = nullptr;
bool g_restoredAtDestroy = false;

LRESULT CALLBACK WatchDestroy(int code, WPARAM wParam, LPARAM lParam) noexcept {
    const auto* call = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
    if (code == HC_ACTION && call->hwnd == g_watched && call->message == WM_DESTROY) {
        bool restored = true;
        for (int id : {IDC_SITE_LINK, IDC_EMAIL_LINK}) {
            HWND control = GetDlgItem(g_watched, id);
            restored = restored && control &&
                       GetWindowLongPtrW(control, GWLP_WNDPROC) == static_cast<LONG_PTR>(GetClassLongPtrW(control, GCLP_WNDPROC));
        }
        g_restoredAtDestroy = restored;
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

enum class Closing { OkButton, EscapeKey, CloseBox };

class AboutClosing : public AboutDialogTest, public ::testing::WithParamInterface<Closing> {};

TEST_P(AboutClosing, EndsTheDialogAndGivesTheLinksBack) {
    HHOOK hook = SetWindowsHookExW(WH_CALLWNDPROCRET, &WatchDestroy, nullptr, GetCurrentThreadId());
    ASSERT_NE(hook, nullptr);
    g_watched = nullptr;
    g_restoredAtDestroy = false;
    bool subclassed = false;
    const Closing closing = GetParam();
    ModalDriver driver({[&] {
        HWND about = FindDialog(kCaption);
        if (!about) return false;
        g_watched = about;
        HWND link = GetDlgItem(about, IDC_SITE_LINK);
        subclassed = GetWindowLongPtrW(link, GWLP_WNDPROC) != static_cast<LONG_PTR>(GetClassLongPtrW(link, GCLP_WNDPROC));
        switch (closing) {
        case Closing::OkButton: PostMessageW(GetDlgItem(about, IDC_ABOUT_OK), BM_CLICK, 0, 0); break;
        case Closing::EscapeKey:
            PostMessageW(GetDlgItem(about, IDC_ABOUT_OK), WM_KEYDOWN, VK_ESCAPE, 1);
            break;
        case Closing::CloseBox: PostMessageW(about, WM_SYSCOMMAND, SC_CLOSE, 0); break;
        }
        return true;
    }});
    ShowAboutDialog(owner_, ContactCatalogue());
    UnhookWindowsHookEx(hook);
    EXPECT_TRUE(driver.Finished());
    EXPECT_EQ(FindDialog(kCaption), nullptr);
    EXPECT_TRUE(subclassed);
    EXPECT_TRUE(g_restoredAtDestroy);
}

INSTANTIATE_TEST_SUITE_P(About, AboutClosing,
                         ::testing::Values(Closing::OkButton, Closing::EscapeKey, Closing::CloseBox));

TEST_F(AboutDialogTest, CentredOverItsOwner) {
    RECT dialog{};
    ASSERT_TRUE(RunDialog(ContactCatalogue(), {[&dialog] {
                              HWND about = FindDialog(kCaption);
                              return about && GetWindowRect(about, &dialog);
                          }}));
    RECT owner{};
    GetWindowRect(owner_, &owner);
    EXPECT_NEAR((dialog.left + dialog.right) / 2, (owner.left + owner.right) / 2, 1);
    EXPECT_NEAR((dialog.top + dialog.bottom) / 2, (owner.top + owner.bottom) / 2, 1);
}

}  // namespace
}  // namespace lacqueron::testing
