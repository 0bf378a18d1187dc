#include "tests/dpi/LayoutCheck.h"

#include <commctrl.h>

#include <algorithm>
#include <cwchar>
#include <functional>

#include "ui/shared/GdiHandles.h"

namespace lacqueron::testing {
namespace {

// Longest text read from a control or an item.
constexpr int kTextBuffer = 4096;
// Wine draws the templates' "MS Sans Serif" with a substitute whose advances run a
// pixel or two wider than the bitmap font the templates were laid out with (at 96
// DPI "Официальный сайт:" needs 103 of its 102 pixels). A shortfall that small is the
// substitute font; one caused by scaling is many pixels.
constexpr int kSubstituteFontSlack = 2;
// A header keeps this many edge widths free on each side of a column's title when it
// does not say (HDM_GETBITMAPMARGIN).
constexpr int kHeaderMarginEdges = 3;

std::string Utf8(const std::wstring& text) {
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0,
                                         nullptr, nullptr);
    std::string bytes(static_cast<std::size_t>(size > 0 ? size : 0), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), bytes.data(), size, nullptr,
                        nullptr);
    return bytes;
}

std::wstring ClassOf(HWND window) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, static_cast<int>(std::size(name)));
    return name;
}

std::wstring TextOf(HWND window) {
    wchar_t text[kTextBuffer] = {};
    GetWindowTextW(window, text, kTextBuffer);
    return text;
}

bool Is(const std::wstring& className, const wchar_t* expected) { return _wcsicmp(className.c_str(), expected) == 0; }

LONG StyleOf(HWND window) { return GetWindowLongW(window, GWL_STYLE); }

int Width(const RECT& r) { return r.right - r.left; }
int Height(const RECT& r) { return r.bottom - r.top; }

// The visible direct children of the dialog, in z order.
std::vector<HWND> VisibleControls(HWND dialog) {
    std::vector<HWND> controls;
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        if (IsWindowVisible(child)) controls.push_back(child);
    return controls;
}

std::string Describe(HWND control) {
    return "control " + std::to_string(GetDlgCtrlID(control)) + " (" + Utf8(ClassOf(control)) + ")";
}

// Measures texts in the font the control draws them with.
class TextMeter {
public:
    explicit TextMeter(HWND control)
        : dc_(control),
          font_(dc_.get(), ControlFont(control)) {}

    // The rectangle DrawText needs; with wrapWidth > 0 words wrap at that width (and the slack).
    SIZE Measure(const std::wstring& text, UINT format, int wrapWidth = 0) const {
        RECT r{0, 0, wrapWidth + kSubstituteFontSlack, 0};
        UINT flags = format | DT_CALCRECT | DT_EXPANDTABS;
        flags |= wrapWidth > 0 ? DT_WORDBREAK : DT_SINGLELINE;
        DrawTextW(dc_.get(), text.c_str(), static_cast<int>(text.size()), &r, flags);
        return {Width(r), Height(r)};
    }

private:
    static HGDIOBJ ControlFont(HWND control) {
        auto font = reinterpret_cast<HGDIOBJ>(SendMessageW(control, WM_GETFONT, 0, 0));
        return font ? font : GetStockObject(SYSTEM_FONT);
    }

    WindowDC dc_;
    SelectedObject font_;
};

// A text against the room for it; one fault line when it does not fit.
void CheckFit(HWND control, const std::wstring& text, SIZE needed, SIZE room, std::vector<std::string>& faults) {
    if (needed.cx <= room.cx + kSubstituteFontSlack && needed.cy <= room.cy) return;
    faults.push_back(Describe(control) + " \"" + Utf8(text) + "\" needs " + std::to_string(needed.cx) + "x" +
                     std::to_string(needed.cy) + ", has " + std::to_string(room.cx) + "x" + std::to_string(room.cy));
}

SIZE ClientSize(HWND control) {
    RECT client{};
    GetClientRect(control, &client);
    return {Width(client), Height(client)};
}

void CheckButton(HWND control, std::vector<std::string>& faults) {
    const std::wstring text = TextOf(control);
    if (text.empty()) return;
    const LONG style = StyleOf(control);
    const LONG type = style & BS_TYPEMASK;
    const TextMeter meter(control);
    SIZE room = ClientSize(control);
    const SIZE average = meter.Measure(L"x", 0);
    if (type == BS_GROUPBOX) {
        // The caption sits in the frame's top edge, indented from both corners.
        room.cx -= 2 * average.cx;
    } else if (type == BS_CHECKBOX || type == BS_AUTOCHECKBOX || type == BS_RADIOBUTTON ||
               type == BS_AUTORADIOBUTTON || type == BS_3STATE || type == BS_AUTO3STATE) {
        room.cx -= GetSystemMetrics(SM_CXMENUCHECK) + average.cx;
    } else {
        // A push button's text stays inside its raised edge and focus rectangle.
        room.cx -= 4 * GetSystemMetrics(SM_CXEDGE);
        room.cy -= 2 * GetSystemMetrics(SM_CYEDGE);
    }
    const bool wraps = (style & BS_MULTILINE) != 0;
    CheckFit(control, text, meter.Measure(text, 0, wraps ? room.cx : 0), room, faults);
}

void CheckStatic(HWND control, std::vector<std::string>& faults) {
    const LONG style = StyleOf(control);
    const LONG type = style & SS_TYPEMASK;
    if (type != SS_LEFT && type != SS_CENTER && type != SS_RIGHT && type != SS_LEFTNOWORDWRAP && type != SS_SIMPLE)
        return;
    if (style & (SS_ENDELLIPSIS | SS_PATHELLIPSIS | SS_WORDELLIPSIS)) return;  // shortened on purpose
    const std::wstring text = TextOf(control);
    if (text.empty()) return;
    const TextMeter meter(control);
    const SIZE room = ClientSize(control);
    const UINT prefix = (style & SS_NOPREFIX) ? DT_NOPREFIX : 0;
    // Left, centred and right statics wrap their words; the others keep one line.
    const bool wraps = type == SS_LEFT || type == SS_CENTER || type == SS_RIGHT;
    CheckFit(control, text, meter.Measure(text, prefix, wraps ? room.cx : 0), room, faults);
}

void CheckEdit(HWND control, std::vector<std::string>& faults) {
    const std::wstring text = TextOf(control);
    if (text.empty()) return;
    RECT format{};
    SendMessageW(control, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&format));
    const SIZE room{Width(format), Height(format)};
    const TextMeter meter(control);
    const LONG style = StyleOf(control);
    if (!(style & ES_MULTILINE)) {
        CheckFit(control, text, meter.Measure(text, DT_NOPREFIX), room, faults);
        return;
    }
    // Without horizontal scrolling the edit wraps words; with it every line keeps its own.
    if (!(style & ES_AUTOHSCROLL)) {
        CheckFit(control, text, meter.Measure(text, DT_NOPREFIX | DT_EDITCONTROL, room.cx), room, faults);
        return;
    }
    SIZE needed{0, 0};
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t end = std::min(text.find(L"\r\n", start), text.size());
        const SIZE line = meter.Measure(text.substr(start, end - start), DT_NOPREFIX);
        needed.cx = std::max(needed.cx, line.cx);
        needed.cy += line.cy;
        start = end + 2;
    }
    CheckFit(control, text, needed, room, faults);
}

// Every item of a combo box against the item area of its closed field.
void CheckCombo(HWND control, std::vector<std::string>& faults) {
    COMBOBOXINFO info{};
    info.cbSize = sizeof info;
    if (!GetComboBoxInfo(control, &info)) return;
    const SIZE room{Width(info.rcItem), Height(info.rcItem)};
    const TextMeter meter(control);
    const LRESULT count = SendMessageW(control, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        if (SendMessageW(control, CB_GETLBTEXTLEN, static_cast<WPARAM>(i), 0) >= kTextBuffer) continue;
        wchar_t item[kTextBuffer] = {};
        SendMessageW(control, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(item));
        CheckFit(control, item, meter.Measure(item, DT_NOPREFIX), room, faults);
    }
}

// Every column title of a list's header against its item, in the header's font, less
// the margin the header keeps on each side of a title.
void CheckHeader(HWND list, HWND header, int columns, std::vector<std::string>& faults) {
    if (!header || !IsWindowVisible(header)) return;
    const TextMeter meter(header);
    auto margin = static_cast<int>(SendMessageW(header, HDM_GETBITMAPMARGIN, 0, 0));
    if (margin <= 0) margin = kHeaderMarginEdges * GetSystemMetrics(SM_CXEDGE);
    for (int column = 0; column < columns; ++column) {
        wchar_t text[kTextBuffer] = {};
        HDITEMW item{};
        item.mask = HDI_TEXT;
        item.pszText = text;
        item.cchTextMax = kTextBuffer;
        RECT r{};
        if (!SendMessageW(header, HDM_GETITEMW, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&item)) ||
            !SendMessageW(header, HDM_GETITEMRECT, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&r)) ||
            text[0] == L'\0')
            continue;
        const SIZE room{Width(r) - 2 * margin, Height(r)};
        CheckFit(list, L"header " + std::wstring(text), meter.Measure(text, DT_NOPREFIX), room, faults);
    }
}

// Every column title and every cell of a report-view list against its column.
void CheckList(HWND control, std::vector<std::string>& faults) {
    if ((StyleOf(control) & LVS_TYPEMASK) != LVS_REPORT) return;
    HWND header = reinterpret_cast<HWND>(SendMessageW(control, LVM_GETHEADER, 0, 0));
    const int columns = header ? static_cast<int>(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0)) : 0;
    CheckHeader(control, header, columns, faults);
    const int rows = static_cast<int>(SendMessageW(control, LVM_GETITEMCOUNT, 0, 0));
    for (int row = 0; row < rows; ++row) {
        for (int column = 0; column < columns; ++column) {
            wchar_t text[kTextBuffer] = {};
            LVITEMW item{};
            item.iSubItem = column;
            item.pszText = text;
            item.cchTextMax = kTextBuffer;
            SendMessageW(control, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
            if (text[0] == L'\0') continue;
            RECT label{};
            label.top = column;
            label.left = LVIR_LABEL;
            SendMessageW(control, LVM_GETSUBITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&label));
            const int width = static_cast<int>(SendMessageW(control, LVM_GETSTRINGWIDTHW, 0, reinterpret_cast<LPARAM>(text)));
            // The list indents a cell's text by about a character on each side.
            const int indent = static_cast<int>(SendMessageW(control, LVM_GETSTRINGWIDTHW, 0, reinterpret_cast<LPARAM>(L"x")));
            CheckFit(control, text, {width + indent, 0}, {Width(label), Height(label)}, faults);
        }
    }
}

// Group boxes and frames enclose or separate other controls by design.
bool IsEnclosure(HWND control) {
    const std::wstring className = ClassOf(control);
    const LONG style = StyleOf(control);
    if (Is(className, WC_BUTTONW)) return (style & BS_TYPEMASK) == BS_GROUPBOX;
    if (!Is(className, WC_STATICW)) return false;
    switch (style & SS_TYPEMASK) {
    case SS_BLACKFRAME:
    case SS_GRAYFRAME:
    case SS_WHITEFRAME:
    case SS_ETCHEDFRAME:
    case SS_ETCHEDHORZ:
    case SS_ETCHEDVERT:
        return true;
    default:
        return false;
    }
}

// An up-down control attached to its buddy shares the buddy's edge.
bool AttachedUpDown(HWND upDown, HWND other) {
    return Is(ClassOf(upDown), UPDOWN_CLASSW) && (StyleOf(upDown) & (UDS_ALIGNLEFT | UDS_ALIGNRIGHT)) &&
           reinterpret_cast<HWND>(SendMessageW(upDown, UDM_GETBUDDY, 0, 0)) == other;
}

bool Allowed(const OverlapAllowance& allowed, int a, int b) {
    return std::any_of(allowed.begin(), allowed.end(), [&](const std::pair<int, int>& pair) {
        return (pair.first == a && pair.second == b) || (pair.first == b && pair.second == a);
    });
}

std::string RectText(const RECT& r) {
    return std::to_string(r.left) + "," + std::to_string(r.top) + "-" + std::to_string(r.right) + "," +
           std::to_string(r.bottom);
}

}  // namespace

std::vector<std::string> FindCutOffTexts(HWND dialog) {
    static const struct {
        const wchar_t* className;
        void (*check)(HWND, std::vector<std::string>&);
    } kChecks[] = {
        {WC_BUTTONW, CheckButton}, {WC_STATICW, CheckStatic},   {WC_EDITW, CheckEdit},
        {WC_COMBOBOXW, CheckCombo}, {WC_LISTVIEWW, CheckList},
    };
    std::vector<std::string> faults;
    for (HWND control : VisibleControls(dialog)) {
        const std::wstring className = ClassOf(control);
        for (const auto& check : kChecks)
            if (Is(className, check.className)) check.check(control, faults);
    }
    return faults;
}

std::vector<std::string> FindOverlaps(HWND dialog, const OverlapAllowance& allowed) {
    std::vector<std::string> faults;
    RECT client{};
    GetClientRect(dialog, &client);
    std::vector<std::pair<HWND, RECT>> placed;
    for (HWND control : VisibleControls(dialog)) {
        RECT r{};
        GetWindowRect(control, &r);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
        RECT inside{};
        if (!IntersectRect(&inside, &r, &client) || !EqualRect(&inside, &r))
            faults.push_back(Describe(control) + " at " + RectText(r) + " leaves the dialog " + RectText(client));
        if (!IsEnclosure(control)) placed.emplace_back(control, r);
    }
    for (std::size_t i = 0; i < placed.size(); ++i) {
        for (std::size_t j = i + 1; j < placed.size(); ++j) {
            RECT common{};
            if (!IntersectRect(&common, &placed[i].second, &placed[j].second)) continue;
            HWND first = placed[i].first;
            HWND second = placed[j].first;
            if (AttachedUpDown(first, second) || AttachedUpDown(second, first) ||
                Allowed(allowed, GetDlgCtrlID(first), GetDlgCtrlID(second)))
                continue;
            faults.push_back(Describe(first) + " at " + RectText(placed[i].second) + " overlaps " + Describe(second) +
                             " at " + RectText(placed[j].second));
        }
    }
    return faults;
}

}  // namespace lacqueron::testing
