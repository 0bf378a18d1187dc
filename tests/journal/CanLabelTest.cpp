// The can label on papers from a 58 × 40 mm label to A4: what stays on it, and that
// every line lies inside the sheet's printable area, clear of its edges.
#include <gtest/gtest.h>

#include <algorithm>

#include "journal/CanLabel.h"
#include "tests/support/SampleBatch.h"

namespace lacqueron {
namespace {

constexpr int kMmPerInchTenths = 254;
constexpr int kMarginTenthsOfMm = 20;
constexpr int kTenthsOfPointPerInch = 720;
constexpr char16_t kPurpose[] = u"пластик (Polira Matt) матовая - насыщенный оттенок, +10% пасты";

// A sheet of width × height mm at dpi, its printable area inset by `unprintable` mm.
LabelPage Sheet(int widthMm, int heightMm, int dpi, int unprintableMm) {
    const auto pixels = [dpi](int mm) { return mm * 10 * dpi / kMmPerInchTenths; };
    return {pixels(widthMm),      pixels(heightMm),      pixels(unprintableMm),         pixels(unprintableMm),
            pixels(widthMm - 2 * unprintableMm), pixels(heightMm - 2 * unprintableMm), dpi, dpi};
}

// The sample batch with a recipe as long as the shop's longest.
BatchRecord LongRecipeBatch() {
    BatchRecord batch = test::SampleBatch(3);
    for (const char16_t* name : {u"Белый", u"Жёлтый", u"Синий", u"Зелёный", u"Матирующая паста"})
        batch.components.push_back({name, 150, 150});
    return batch;
}

struct LabelCase {
    const char* name;
    LabelPage page;
    bool keepsRecipe;
    int smallestBodyTenthsOfPoint;  // the amount's size at least: how well the page was used
};

void PrintTo(const LabelCase& c, std::ostream* os) { *os << c.name; }

class CanLabelTest : public testing::TestWithParam<LabelCase> {};

TEST_P(CanLabelTest, KeepsWhatFitsInsideTheSheet) {
    const LabelCase& c = GetParam();
    const BatchRecord batch = LongRecipeBatch();
    const std::vector<LabelLine> lines = LayOutCanLabel(batch, kPurpose, c.page);
    ASSERT_FALSE(lines.empty());

    const auto count = [&](LabelPart part) {
        return std::count_if(lines.begin(), lines.end(), [part](const LabelLine& l) { return l.part == part; });
    };
    EXPECT_GE(count(LabelPart::Title), 1);
    const auto amount = std::find_if(lines.begin(), lines.end(),
                                     [](const LabelLine& l) { return l.part == LabelPart::AmountAndDate; });
    ASSERT_NE(amount, lines.end());
    EXPECT_GE(amount->fontHeight * kTenthsOfPointPerInch / c.page.dpiY, c.smallestBodyTenthsOfPoint);
    EXPECT_GE(count(LabelPart::Purpose), 1);
    EXPECT_GE(count(LabelPart::Note), 1);
    EXPECT_EQ(count(LabelPart::Recipe), c.keepsRecipe ? static_cast<long>(batch.components.size()) : 0);

    // In printable-area coordinates, clear of the sheet's edges by the margin.
    const int marginX = kMarginTenthsOfMm * c.page.dpiX / kMmPerInchTenths;
    const int marginY = kMarginTenthsOfMm * c.page.dpiY / kMmPerInchTenths;
    const int right = std::min(c.page.printableWidth, c.page.physicalWidth - marginX - c.page.offsetX);
    const int bottom = std::min(c.page.printableHeight, c.page.physicalHeight - marginY - c.page.offsetY);
    // Heights by the font's own height; whether the text's real width fits its row is
    // seen on a printed label (tests/printing/label-e2e.sh), not estimated here.
    int previousBottom = 0;
    for (const LabelLine& line : lines) {
        SCOPED_TRACE(testing::Message() << "line at " << line.top);
        EXPECT_GE(line.left + c.page.offsetX, marginX);
        EXPECT_GE(line.top + c.page.offsetY, marginY);
        EXPECT_GE(line.top, previousBottom);  // no row overlaps the one before
        EXPECT_LE(line.left + line.maxWidth, right);
        EXPECT_LE(line.top + line.fontHeight, bottom);
        previousBottom = line.top + line.fontHeight;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Papers, CanLabelTest,
    // The smallest label the layout claims, as its failure message names it.
    testing::Values(LabelCase{"label 58x40 mm, 203 dpi thermal",
                              Sheet(kSmallestLabelWidthMm, kSmallestLabelHeightMm, 203, 0), false, 80},
                    LabelCase{"label 58x40 mm, 300 dpi, 1 mm unprintable",
                              Sheet(kSmallestLabelWidthMm, kSmallestLabelHeightMm, 300, 1), false, 80},
                    LabelCase{"label 100x150 mm, 203 dpi", Sheet(100, 150, 203, 0), true, 120},
                    LabelCase{"A4, 600 dpi, 5 mm unprintable", Sheet(210, 297, 600, 5), true, 120}),
    [](const testing::TestParamInfo<LabelCase>& info) { return "Paper" + std::to_string(info.index); });

TEST(CanLabel, BreaksAWordLongerThanARowBetweenWholeCharacters) {
    // With and without a leading single unit, the pairs straddle a row's end whatever its length.
    for (const char16_t* lead : {u"", u"№"}) {
        BatchRecord batch = test::SampleBatch(1);
        batch.note = lead;
        for (int i = 0; i < 40; ++i) batch.note += u"🚗";
        WideString note;
        for (const LabelLine& line : LayOutCanLabel(batch, kPurpose, Sheet(58, 40, 203, 0))) {
            if (line.part != LabelPart::Note) continue;
            ASSERT_FALSE(line.text.empty());
            EXPECT_FALSE(line.text.back() >= 0xD800 && line.text.back() <= 0xDBFF) << "a character cut in two";
            note += line.text;
        }
        EXPECT_EQ(note, batch.note);
    }
}

TEST(CanLabel, APageTooSmallForTheTitleGetsNothingAndTheSmallestSize) {
    EXPECT_TRUE(LayOutCanLabel(LongRecipeBatch(), kPurpose, Sheet(8, 5, 203, 0)).empty());
    EXPECT_EQ(LabelTooSmallMessage(Sheet(8, 5, 203, 0)),
              u"Этикетка не помещается на бумагу 8 × 5 мм. Наименьший размер: 58 × 40 мм.");
    // A sheet whose size the printer does not report, as far as its printable area reaches.
    LabelPage unreported = Sheet(30, 20, 300, 1);
    unreported.physicalWidth = unreported.physicalHeight = 0;
    EXPECT_EQ(LabelTooSmallMessage(unreported),
              u"Этикетка не помещается на бумагу 29 × 19 мм. Наименьший размер: 58 × 40 мм.");
    EXPECT_EQ(LabelTooSmallMessage(LabelPage{}), u"") << "no size is a printer's failure, not small paper";
}

// The label states what is in the can: the amount ordered, or once a correction made the
// batch larger the scale's last reading, in millilitres by the recipe's own density.
struct AmountCase {
    const char* name;
    std::uint32_t unit;
    std::int32_t amount;
    std::vector<BatchCorrection> corrections;
    Hundredths finalTotal;
    const char16_t* shown;
};

TEST(CanLabel, StatesWhatIsInTheCan) {
    // The sample recipe weighs 250,00 g.
    const AmountCase cases[] = {
        {"grams as ordered", 1, 250, {}, 25003, u"250 г"},
        {"grams after a correction", 1, 250, {{10167, 25417}}, 25419, u"254 г"},
        {"millilitres after a correction", 2, 200, {{10500, 26250}}, 26250, u"210 мл"},
        {"millilitres as ordered", 2, 200, {}, 24990, u"200 мл"},
        {"a correction with nothing read", 1, 250, {{10167, 25417}}, 0, u"250 г"},
        {"a damaged reading", 2, 200, {{10167, 25417}}, INT64_MAX, u"200 мл"},
    };
    for (const AmountCase& c : cases) {
        SCOPED_TRACE(c.name);
        BatchRecord batch = test::SampleBatch(1);
        batch.weightType = c.unit;
        batch.amount = c.amount;
        batch.corrections = c.corrections;
        batch.finalTotal = c.finalTotal;
        const std::vector<LabelLine> lines = LayOutCanLabel(batch, kPurpose, Sheet(100, 150, 203, 0));
        const auto amount = std::find_if(lines.begin(), lines.end(),
                                         [](const LabelLine& l) { return l.part == LabelPart::AmountAndDate; });
        ASSERT_NE(amount, lines.end());
        EXPECT_EQ(amount->text, c.shown + WideString(u" 07.12.2026 03:01"));  // the sample's time, one row
    }
}

}  // namespace
}  // namespace lacqueron
