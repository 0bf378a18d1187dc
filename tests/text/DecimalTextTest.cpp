// The one decimal reader, in the units of its three users: scale readings and prices in
// hundredths, recipe amounts in thousandths.
#include "data/text/DecimalText.h"

#include <gtest/gtest.h>

#include "core/Utf8.h"

namespace lacqueron {
namespace {

constexpr DecimalUnit kHundredths = {2, 99'999};  // up to 999.99
constexpr DecimalUnit kThousandths = {3, 1'000'000'000};  // up to a tonne
constexpr std::int64_t kUntouched = 77;

struct DecimalTextCase {
    const char16_t* text;
    DecimalUnit unit;
    DecimalProblem problem;
    std::int64_t value;  // kUntouched unless read
};

class DecimalTextTest : public testing::TestWithParam<DecimalTextCase> {};

TEST_P(DecimalTextTest, ReadsOrSaysWhyNot) {
    const DecimalTextCase& c = GetParam();
    std::int64_t value = kUntouched;
    EXPECT_EQ(ParseDecimalText(c.text, c.unit, value), c.problem) << ToUtf8(c.text);
    EXPECT_EQ(value, c.value) << ToUtf8(c.text);
}

using P = DecimalProblem;
INSTANTIATE_TEST_SUITE_P(
    Cases, DecimalTextTest,
    testing::Values(DecimalTextCase{u"480.77", kHundredths, P::kNone, 48077}, DecimalTextCase{u"480,7", kHundredths, P::kNone, 48070},
                    DecimalTextCase{u" 12\t", kHundredths, P::kNone, 1200}, DecimalTextCase{u"5.", kHundredths, P::kNone, 500},
                    DecimalTextCase{u",5", kHundredths, P::kNone, 50}, DecimalTextCase{u"-3", kHundredths, P::kNone, -300},
                    DecimalTextCase{u"-0", kHundredths, P::kNone, 0}, DecimalTextCase{u"0,05", kHundredths, P::kNone, 5},
                    // groups as a spreadsheet writes them, with a plain or a no-break space
                    DecimalTextCase{u"1 234,5", kThousandths, P::kNone, 1234500},
                    DecimalTextCase{u"\u00A01\u00A0234,5\u00A0", kThousandths, P::kNone, 1234500},
                    DecimalTextCase{u"12,3450", kThousandths, P::kNone, 12345},
                    DecimalTextCase{u"12,345", kThousandths, P::kNone, 12345},
                    DecimalTextCase{u"12,345", kHundredths, P::kTooManyDecimals, kUntouched},
                    DecimalTextCase{u"999,99", kHundredths, P::kNone, 99999},
                    DecimalTextCase{u"1000", kHundredths, P::kTooLarge, kUntouched},
                    DecimalTextCase{u"-1000", kHundredths, P::kTooLarge, kUntouched},
                    DecimalTextCase{u"99999999999999999999999", kHundredths, P::kTooLarge, kUntouched},
                    DecimalTextCase{u"", kHundredths, P::kEmpty, kUntouched},
                    DecimalTextCase{u" \t", kHundredths, P::kEmpty, kUntouched},
                    DecimalTextCase{u",", kHundredths, P::kNotANumber, kUntouched},
                    DecimalTextCase{u"-", kHundredths, P::kNotANumber, kUntouched},
                    DecimalTextCase{u"- 5", kHundredths, P::kNotANumber, kUntouched},
                    DecimalTextCase{u"1,2,3", kHundredths, P::kNotANumber, kUntouched},
                    DecimalTextCase{u"1e3", kHundredths, P::kNotANumber, kUntouched},
                    DecimalTextCase{u"12 g", kHundredths, P::kNotANumber, kUntouched},
                    DecimalTextCase{u"1 ,5", kHundredths, P::kNotANumber, kUntouched},
                    DecimalTextCase{u"1,5 0", kHundredths, P::kNotANumber, kUntouched},
                    DecimalTextCase{u"+5", kHundredths, P::kNotANumber, kUntouched}));

}  // namespace
}  // namespace lacqueron
