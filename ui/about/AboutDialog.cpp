#include "ui/about/AboutDialog.h"

#include <shellapi.h>

#include "core/Version.h"
#include "data/text/VersionFormat.h"
#include "res/resource.h"
#include "ui/about/AboutDialogDetail.h"
#include "ui/shared/Centring.h"
#include "ui/shared/GdiHandles.h"
#include "ui/shared/DerivedFont.h"
#include "ui/shared/Dialog.h"

namespace lacqueron {
namespace {

constexpr COLORREF kLinkColour = 0xFF0000;  // blue: COLORREF keeps red in the low byte

const wchar_t kRightsNotice[] = L"© VELM. Все права защищены.";

void ShellOpen(HWND owner, const WideString& target) noexcept {
    // Whatever the shell does with the target is not reported.
    ShellExecuteW(owner, L"open", WinText(target), nullptr, nullptr, SW_SHOWNORMAL);
}

OpenTargetFunction g_openTarget = &ShellOpen;
// Formatted at the first opening that gives a non-empty line, then reused.
WideString g_versionLine;
// Loaded on first use and kept for the process.
HCURSOR g_handCursor = nullptr;

// A link control while the dialog is open: its previous window procedure, and the
// private message its press sends to the dialog.
struct LinkSlot {
    int controlId;
    UINT clickMessage;
    WNDPROC previous;
};
LinkSlot g_links[2] = {
    {IDC_SITE_LINK, kSiteLinkClicked, nullptr},
    {IDC_EMAIL_LINK, kEmailLinkClicked, nullptr},
};

LRESULT HandleLinkMessage(const LinkSlot& link, HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    switch (message) {
    case WM_NCHITTEST:
        // Statics are transparent to the mouse otherwise.
        return HTCLIENT;
    case WM_SETCURSOR:
        if (!g_handCursor) g_handCursor = LoadCursorW(nullptr, IDC_HAND);
        if (g_handCursor) {
            SetCursor(g_handCursor);
            return TRUE;
        }
        break;
    case WM_LBUTTONDOWN:
        // The click acts on the press, not on the release.
        SendMessageW(GetParent(window), link.clickMessage, wParam, lParam);
        return 0;
    default:
        break;
    }
    return link.previous ? CallWindowProcW(link.previous, window, message, wParam, lParam)
                         : DefWindowProcW(window, message, wParam, lParam);
}

template <int Index>
LRESULT CALLBACK LinkProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    return HandleLinkMessage(g_links[Index], window, message, wParam, lParam);
}

class AboutDialog final : public Dialog {
public:
    explicit AboutDialog(const Catalogue& catalogue)
        : siteText_(catalogue.setting(u"WWW")),
          siteTarget_(catalogue.setting(u"WWWACTION")),
          emailText_(catalogue.setting(u"EMAIL")),
          emailTarget_(catalogue.setting(u"EMAILACTION")),
          contactText_(catalogue.setting(u"PHONE")),
          versionFormat_(catalogue.setting(u"APPNAMEFORMAT")) {}

    void Run(HWND owner) noexcept { RunModalOrReport(owner, IDD_ABOUT); }

private:
    INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam) noexcept override {
        switch (message) {
        case WM_INITDIALOG:
            return OnInit();
        case WM_COMMAND:
            return OnCommand(HIWORD(wParam), LOWORD(wParam));
        case WM_CTLCOLORSTATIC:
            return OnControlColour(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
        case kSiteLinkClicked:
            g_openTarget(Window(), siteTarget_);
            return TRUE;
        case kEmailLinkClicked:
            g_openTarget(Window(), emailTarget_);
            return TRUE;
        case WM_DESTROY:
            OnDestroy();
            return FALSE;
        default:
            return FALSE;
        }
    }

    INT_PTR OnInit() noexcept {
        CentreWindow(Window());
        SetDlgItemTextW(Window(), IDC_VERSION_LINE, WinText(VersionLine()));
        SetDlgItemTextW(Window(), IDC_RIGHTS, kRightsNotice);
        SetDlgItemTextW(Window(), IDC_CONTACT_LINE, WinText(contactText_));
        Subclass(0, &LinkProcedure<0>, siteText_);
        Subclass(1, &LinkProcedure<1>, emailText_);
        GiveLinksTheirFont();
        return TRUE;
    }

    // Selecting the font while the colours are asked for is not enough where a static
    // selects its own font afterwards (Wine does): the links also get it as their font.
    void GiveLinksTheirFont() noexcept {
        for (const LinkSlot& link : g_links) {
            HWND control = GetDlgItem(Window(), link.controlId);
            if (!control) continue;
            if (!linkFont_) {
                controlFont_ = reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0));
                linkFont_.Reset(CreateDerivedFont(control, {.underline = true}));
            }
            if (linkFont_) SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(linkFont_.get()), FALSE);
        }
    }

    const WideString& VersionLine() noexcept {
        if (g_versionLine.empty()) {
            try {
                g_versionLine = FormatAboutVersionLine(versionFormat_);
            } catch (...) {
                g_versionLine.clear();
            }
        }
        return g_versionLine;
    }

    void Subclass(int index, WNDPROC procedure, const WideString& text) noexcept {
        LinkSlot& link = g_links[index];
        HWND control = GetDlgItem(Window(), link.controlId);
        if (!control) return;
        link.previous = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(procedure)));
        SetWindowTextW(control, WinText(text));
    }

    INT_PTR OnCommand(WORD code, WORD id) noexcept {
        if ((id == IDOK || id == IDCANCEL) && code == 0) {
            EndDialog(Window(), 1);
            return TRUE;
        }
        return FALSE;
    }

    INT_PTR OnControlColour(HDC dc, HWND control) noexcept {
        const int id = GetDlgCtrlID(control);
        if ((id != IDC_SITE_LINK && id != IDC_EMAIL_LINK) || !dc) return FALSE;
        if (!linkFont_) linkFont_.Reset(CreateDerivedFont(control, {.underline = true}));
        if (linkFont_) SelectObject(dc, linkFont_.get());
        SetTextColor(dc, kLinkColour);
        SetBkMode(dc, TRANSPARENT);
        return reinterpret_cast<INT_PTR>(GetStockObject(NULL_BRUSH));
    }

    void OnDestroy() noexcept {
        for (LinkSlot& link : g_links) {
            HWND control = GetDlgItem(Window(), link.controlId);
            // The controls outlive this message: they must not keep the font deleted below.
            if (control && linkFont_) SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(controlFont_), FALSE);
            if (control && link.previous) {
                SetWindowLongPtrW(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(link.previous));
            }
            link.previous = nullptr;
        }
        linkFont_.Reset();
    }

    WideString siteText_;
    WideString siteTarget_;
    WideString emailText_;
    WideString emailTarget_;
    WideString contactText_;
    WideString versionFormat_;
    FontHandle linkFont_;
    HFONT controlFont_ = nullptr;  // the dialog's, not owned
};

}  // namespace

WideString FormatAboutVersionLine(const WideString& format) {
    if (format.empty()) return {};
    const WideString build = FormatVersion(u".%u", {kVersionBuild});
    return FormatVersion(format, {kVersionMajor, kVersionMinor, std::u16string_view(build)});
}

OpenTargetFunction SetOpenTargetForTesting(OpenTargetFunction open) noexcept {
    const OpenTargetFunction previous = g_openTarget;
    g_openTarget = open ? open : &ShellOpen;
    return previous;
}

void ForgetVersionLineForTesting() noexcept { g_versionLine.clear(); }

void ShowAboutDialog(HWND owner, const Catalogue& catalogue) noexcept {
    try {
        AboutDialog dialog(catalogue);
        dialog.Run(owner);
    } catch (...) {
        ReportDialogNotShown(owner);  // not enough memory for the dialog's texts
    }
}

}  // namespace lacqueron
