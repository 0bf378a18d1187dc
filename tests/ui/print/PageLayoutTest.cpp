// The printed page composed into printer-sized bitmaps: white page, the text from the
// top-left corner in bold Arial 11 point at the page's resolution, wrapped at the page
// width and cut at its edges.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "tests/ui/print/PageCanvas.h"
#include "ui/shared/GdiHandles.h"
#include "ui/print/PageLayout.h"
#include "ui/shared/RecipeFont.h"

namespace lacqueron::testing {
namespace {

// One em of 11 point at dpi, in pixels.
double Em(int dpi) { return 11.0 * dpi / 72.0; }

WideString Repeat(const WideString& piece, int count) {
    WideString text;
    for (int i = 0; i < count; ++i) text += piece;
    return text;
}

class PageAt : public ::testing::TestWithParam<int> {};

TEST_P(PageAt, RecipeFontIsBoldCyrillicElevenPoint) {
    const int dpi = GetParam();
    FontHandle font(CreateRecipeFont(dpi));
    ASSERT_TRUE(font);
    OwnedDC dc(CreateCompatibleDC(nullptr));
    SelectedObject selected(dc.get(), font.get());
    TEXTMETRICW metrics{};
    ASSERT_TRUE(GetTextMetricsW(dc.get(), &metrics));
    EXPECT_GE(metrics.tmWeight, FW_BOLD);
    EXPECT_EQ(metrics.tmCharSet, RUSSIAN_CHARSET);
    // The character height (cell height less internal leading) is the em, give or take
    // the rounding of the realised font: 10 or 12 point would be 9 % off.
    EXPECT_NEAR(metrics.tmHeight - metrics.tmInternalLeading, Em(dpi), std::max(1.0, 0.03 * Em(dpi)));
}

TEST_P(PageAt, CapitalIsElevenPointHighAtThePagesResolution) {
    const int dpi = GetParam();
    const PageGeometry page{dpi * 2, dpi, dpi};
    PageCanvas canvas(page.width, page.height);
    ASSERT_TRUE(ComposePage(canvas.dc(), page, u"Н"));
    const RECT ink = canvas.InkBox();
    // Arial's capitals are 0.716 em high, its metric twin's 0.688 em.
    const double capital = static_cast<double>(ink.bottom - ink.top) / Em(dpi);
    EXPECT_GT(capital, 0.62);
    EXPECT_LT(capital, 0.78);
    // Text from the top-left corner: only the side bearing and the space above capitals.
    EXPECT_LT(ink.left, Em(dpi) * 0.2);
    EXPECT_LT(ink.top, Em(dpi) * 0.5);
}

INSTANTIATE_TEST_SUITE_P(Page, PageAt, ::testing::Values(96, 300, 600));

constexpr int kDpi = 300;

TEST(PageLayout, EmptyTextGivesAWhitePage) {
    const PageGeometry page{600, 800, kDpi};
    PageCanvas canvas(page.width, page.height);
    ASSERT_TRUE(ComposePage(canvas.dc(), page, u""));
    EXPECT_TRUE(canvas.AllPixels(kWhitePixel));
}

TEST(PageLayout, OnlyThePageIsWhitened) {
    const PageGeometry page{300, 200, kDpi};
    PageCanvas canvas(500, 400);
    ASSERT_TRUE(ComposePage(canvas.dc(), page, u"Краска"));
    EXPECT_EQ(canvas.Pixel(299, 199), kWhitePixel);
    EXPECT_EQ(canvas.Pixel(300, 10), kMarker);
    EXPECT_EQ(canvas.Pixel(10, 200), kMarker);
}

TEST(PageLayout, KeepsTheTextsOwnLineBreaks) {
    const PageGeometry page{1200, 800, kDpi};
    PageCanvas canvas(page.width, page.height);
    ASSERT_TRUE(ComposePage(canvas.dc(), page, u"Белила\r\nОхра\r\nСажа\r\n"));
    EXPECT_EQ(canvas.InkBands(), 3);
}

TEST(PageLayout, WrapsALongLineAtThePageWidth) {
    const PageGeometry page{800, 1600, kDpi};
    PageCanvas canvas(1600, page.height);
    ASSERT_TRUE(ComposePage(canvas.dc(), page, Repeat(u"краска ", 40)));
    const RECT ink = canvas.InkBox();
    EXPECT_GE(canvas.InkBands(), 3);
    EXPECT_LE(ink.right, page.width);
    // Wrapped at the page width, not earlier: the lines fill it but for less than a word.
    EXPECT_GT(ink.right, page.width - 4 * Em(kDpi));
}

TEST(PageLayout, AWordWiderThanThePageIsNotSplitButCutAtTheEdge) {
    const PageGeometry page{400, 600, kDpi};
    PageCanvas canvas(4000, page.height);
    ASSERT_TRUE(ComposePage(canvas.dc(), page, Repeat(u"Ж", 60)));
    EXPECT_EQ(canvas.InkBands(), 1);
    EXPECT_LE(canvas.InkBox().right, page.width);
    EXPECT_GT(canvas.InkBox().right, page.width - Em(kDpi));

    PageCanvas followed(4000, page.height);
    ASSERT_TRUE(ComposePage(followed.dc(), page, Repeat(u"Ж", 60) + u" конец"));
    EXPECT_EQ(followed.InkBands(), 2) << "the next word goes to the next line";
}

TEST(PageLayout, ALongRecipeIsCutAtThePagesBottom) {
    const PageGeometry page{1000, 600, kDpi};
    PageCanvas canvas(page.width, 1200);
    ASSERT_TRUE(ComposePage(canvas.dc(), page, Repeat(u"Пигмент жёлтый\r\n", 100)));
    const RECT ink = canvas.InkBox();
    EXPECT_LE(ink.bottom, page.height);
    EXPECT_GT(ink.bottom, page.height - 1.3 * Em(kDpi)) << "lines run down to the bottom edge";
    for (int x = 0; x < canvas.width(); ++x) ASSERT_EQ(canvas.Pixel(x, page.height), kMarker);
}

TEST(PageLayout, OffScreenCopyMatchesDrawingStraightOnThePage) {
    const PageGeometry page{900, 700, kDpi};
    const WideString text = u"RAL 3020 Транспортный красный\r\n" + Repeat(u"База 12.50 г ", 12);
    PageCanvas direct(page.width, page.height);
    PageCanvas copied(page.width, page.height);
    ASSERT_TRUE(ComposePage(direct.dc(), page, text));
    ASSERT_TRUE(RenderPageOffScreen(copied.dc(), page, text));
    EXPECT_FALSE(copied.AllPixels(kWhitePixel));
    EXPECT_TRUE(copied.Same(direct));
}

TEST(PageLayout, APageTooBigForABitmapIsReportedAndLeavesThePrinterUntouched) {
    PageCanvas printer(300, 300);
    // About 14 GB at 32 bits a pixel: no compatible bitmap of this size can be made.
    EXPECT_FALSE(RenderPageOffScreen(printer.dc(), {60000, 60000, 7000}, u"Краска"));
    EXPECT_TRUE(printer.AllPixels(kMarker));
}

TEST(PageLayout, RestoresTheContextsFontAndColours) {
    PageCanvas canvas(200, 200);
    const HGDIOBJ font = GetCurrentObject(canvas.dc(), OBJ_FONT);
    SetTextColor(canvas.dc(), 0x123456);
    ASSERT_TRUE(ComposePage(canvas.dc(), {200, 200, kDpi}, u"x"));
    EXPECT_EQ(GetCurrentObject(canvas.dc(), OBJ_FONT), font);
    EXPECT_EQ(GetTextColor(canvas.dc()), 0x123456u);
}

TEST(PageLayout, RefusesAnUnusablePage) {
    PageCanvas canvas(50, 50);
    EXPECT_FALSE(ComposePage(nullptr, {50, 50, kDpi}, u"x"));
    EXPECT_FALSE(ComposePage(canvas.dc(), {0, 50, kDpi}, u"x"));
    EXPECT_FALSE(ComposePage(canvas.dc(), {50, -1, kDpi}, u"x"));
    EXPECT_FALSE(ComposePage(canvas.dc(), {50, 50, 0}, u"x"));
    EXPECT_FALSE(RenderPageOffScreen(canvas.dc(), {0, 0, kDpi}, u"x"));
    EXPECT_TRUE(canvas.AllPixels(kMarker));
}

}  // namespace
}  // namespace lacqueron::testing
