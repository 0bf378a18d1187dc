// What a person sees: the colour bars of the list and the swatch, read from the
// screen; and the dialog's GDI objects, which must not pile up or outlive the window.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include "res/resource.h"
#include "tests/ui/shared/DialogHarness.h"

namespace lacqueron::testing {
namespace {

COLORREF ScreenPixel(POINT point) {
    HDC screen = GetDC(nullptr);
    const COLORREF colour = GetPixel(screen, point.x, point.y);
    ReleaseDC(nullptr, screen);
    return colour;
}

// The middle of column 1 of a row, in screen coordinates.
POINT ColourCellCentre(HWND list, int row) {
    RECT cell{};
    cell.top = 1;
    cell.left = LVIR_BOUNDS;
    SendMessageW(list, LVM_GETSUBITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&cell));
    POINT centre{(cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2};
    ClientToScreen(list, &centre);
    return centre;
}

POINT ClientCentre(HWND control) {
    RECT client{};
    GetClientRect(control, &client);
    POINT centre{client.right / 2, client.bottom / 2};
    ClientToScreen(control, &centre);
    return centre;
}

// Waits until the screen shows expected at point; returns what it shows last.
COLORREF AwaitPixel(POINT point, COLORREF expected) {
    COLORREF seen = CLR_INVALID;
    PumpUntil([&] {
        seen = ScreenPixel(point);
        return seen == expected;
    });
    return seen;
}

TEST(ColourPaint, EveryRowShowsItsColourBar) {
    DialogUnderTest ui(PaintCatalogue(), {}, true);
    SetForegroundWindow(ui.Window());
    const Catalogue& catalogue = ui.Dialog().GetCatalogue();
    HWND list = ui.Control(IDC_PAINT_LIST);
    for (int row = 0; row < 4; ++row) {
        const ColourEntry* colour = catalogue.findColour(catalogue.recipes[static_cast<std::size_t>(row)].number);
        const COLORREF expected =
            colour ? colour->rgb : static_cast<COLORREF>(SendMessageW(list, LVM_GETTEXTBKCOLOR, 0, 0));
        const COLORREF normal = static_cast<COLORREF>(SendMessageW(list, LVM_GETBKCOLOR, 0, 0));
        const COLORREF seen = AwaitPixel(ColourCellCentre(list, row), expected);
        if (colour) {
            EXPECT_EQ(seen, colour->rgb) << "row " << row;
        } else {
            EXPECT_TRUE(seen == expected || seen == normal) << "row " << row << " shows " << std::hex << seen;
        }
    }
}

TEST(ColourPaint, SwatchShowsTheSelectedColour) {
    DialogUnderTest ui(PaintCatalogue(), {}, true);
    SetForegroundWindow(ui.Window());
    const Catalogue& catalogue = ui.Dialog().GetCatalogue();
    for (const int row : {1, 0}) {
        ui.SelectRow(row);
        const COLORREF expected = catalogue.findColour(catalogue.recipes[static_cast<std::size_t>(row)].number)->rgb;
        EXPECT_EQ(AwaitPixel(ClientCentre(ui.Control(IDC_SWATCH)), expected), expected) << "row " << row;
    }
}

HGDIOBJ SwatchBrush(DialogUnderTest& ui) {
    return reinterpret_cast<HGDIOBJ>(
        SendMessageW(ui.Window(), WM_CTLCOLORSTATIC, 0, reinterpret_cast<LPARAM>(ui.Control(IDC_SWATCH))));
}

TEST(DialogGdiObjects, SwatchBrushIsReplacedAndDeleted) {
    DialogUnderTest ui(PaintCatalogue());
    ui.SelectRow(0);
    HGDIOBJ first = SwatchBrush(ui);
    LOGBRUSH brush{};
    ASSERT_EQ(GetObjectW(first, sizeof brush, &brush), static_cast<int>(sizeof brush));
    EXPECT_EQ(brush.lbColor, ui.Dialog().GetCatalogue().colours[0].rgb);

    ui.SelectRow(1);
    HGDIOBJ second = SwatchBrush(ui);
    EXPECT_NE(second, nullptr);
    EXPECT_EQ(GetObjectType(first), 0u) << "the old swatch brush still exists";

    // Other statics, and the swatch without a colour, get the default answer.
    const auto defaultAnswer = reinterpret_cast<HGDIOBJ>(
        SendMessageW(ui.Window(), WM_CTLCOLORSTATIC, 0, reinterpret_cast<LPARAM>(ui.Control(IDC_COLOUR_CODE))));
    EXPECT_NE(defaultAnswer, second);
    ui.SelectRow(2);
    EXPECT_EQ(SwatchBrush(ui), defaultAnswer);
    EXPECT_EQ(GetObjectType(second), 0u);
}

TEST(DialogGdiObjects, AreDeletedWithTheWindow) {
    TestCatalogue catalogue = PaintCatalogue();
    DialogUnderTest ui(catalogue);
    ui.SelectRow(0);
    HGDIOBJ brush = SwatchBrush(ui);
    auto recipeFont = reinterpret_cast<HGDIOBJ>(SendMessageW(ui.Control(IDC_RECIPE), WM_GETFONT, 0, 0));
    auto buttonFont = reinterpret_cast<HGDIOBJ>(SendMessageW(ui.Control(IDC_MAIN_MEMO), WM_GETFONT, 0, 0));
    for (HGDIOBJ object : {brush, recipeFont, buttonFont}) ASSERT_NE(GetObjectType(object), 0u);

    const CataloguePicture& picture = ui.Dialog().GetCatalogue().picture;
    ASSERT_FALSE(picture.empty());
    EXPECT_GE(picture.header.size(), 40u);
    const std::uint32_t pixelOffset = picture.pixelOffset;

    ui.Dialog().DestroyWindowIfAny();
    EXPECT_EQ(ui.Dialog().Window(), nullptr);
    for (HGDIOBJ object : {brush, recipeFont, buttonFont}) EXPECT_EQ(GetObjectType(object), 0u);
    // The picture keeps its buffer and pixel offset; only the prepared header goes.
    EXPECT_TRUE(picture.header.empty());
    EXPECT_FALSE(picture.empty());
    EXPECT_EQ(picture.pixelOffset, pixelOffset);
    EXPECT_EQ(ui.Dialog().GetCatalogue().recipes.size(), 4u);
}

TEST(DialogGdiObjects, CountStaysFlatOverManyRowChanges) {
    DialogUnderTest ui(PaintCatalogue());
    auto changeRows = [&](int times) {
        for (int i = 0; i < times; ++i) ui.SelectRow(i % 4);
        PumpPending();
    };
    changeRows(10);
    const unsigned afterTen = LiveGdiObjects();
    changeRows(1000);
    EXPECT_GT(afterTen, 0u);
    EXPECT_EQ(LiveGdiObjects(), afterTen);
}

}  // namespace
}  // namespace lacqueron::testing
