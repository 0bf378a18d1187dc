// The line of each protocol beyond the first two, read by its own parser: stable,
// unstable, overload, underload, negative, kilograms, another unit, a cut line and
// noise; its commands; and no protocol taking another's line for its own.
#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <utility>

#include "scale/ScaleEvent.h"
#include "scale/ScaleProtocol.h"

namespace lacqueron {
namespace {

using Kind = ScaleLineKind;

struct LineCase {
    const char* name;
    ScaleProtocol protocol;
    std::string_view line;
    Kind kind;
    std::int64_t hundredths = 0;
    bool stable = false;
    ScaleRefusal refusal = ScaleRefusal::None;
    std::string_view unit = {};  // a refused unit
};

std::ostream& operator<<(std::ostream& out, const LineCase& c) { return out << c.name; }

class FormatLine : public testing::TestWithParam<LineCase> {};

TEST_P(FormatLine, ReadsAsExpected) {
    const LineCase& c = GetParam();
    const ScaleLine line = ParseScaleLine(c.protocol, c.line);
    EXPECT_EQ(line.kind, c.kind);
    EXPECT_EQ(line.format, c.kind == Kind::Unrecognised ? ScaleLineFormat::Unknown : ScaleProtocolFormat(c.protocol));
    EXPECT_EQ(line.hundredths, c.hundredths);
    EXPECT_EQ(line.stable, c.stable);
    EXPECT_EQ(line.refusal, c.refusal);
    EXPECT_EQ(std::string(line.unit.data(), c.unit.size()), c.unit);
}

constexpr auto Esc = ScaleProtocol::EscPolled;
constexpr auto Leg = ScaleProtocol::Legend;
constexpr auto Mrk = ScaleProtocol::Marked;
constexpr auto Pre = ScaleProtocol::Prefixed;
constexpr auto Refused = Kind::Refused;
constexpr auto NotGrams = ScaleRefusal::NotGrams;

INSTANTIATE_TEST_SUITE_P(
    Lines, FormatLine,
    testing::Values(
        // ESC P: 14 characters, or 20 with the leading field, before CR LF.
        LineCase{"esc_stable", Esc, "+   123.45 g  ", Kind::Reading, 12345, true},
        LineCase{"esc_unstable", Esc, "+   123.40    ", Kind::Reading, 12340, false},
        LineCase{"esc_long_line", Esc, "N     +    12.5 g   ", Kind::Reading, 1250, true},
        LineCase{"esc_negative", Esc, "-     0.35 g  ", Kind::Reading, -35, true},
        LineCase{"esc_kilograms", Esc, "+   1.2345 kg ", Kind::Reading, 123450, true},
        LineCase{"esc_gr", Esc, "+    12.00 gr ", Kind::Reading, 1200, true},
        LineCase{"esc_ounces", Esc, "+     4.35 oz ", Refused, 0, false, NotGrams, "oz"},
        LineCase{"esc_overload", Esc, "         H    ", Kind::Overload},
        LineCase{"esc_underload", Esc, "-        L    ", Kind::Underload},
        LineCase{"esc_error", Esc, "   Err 021    ", Kind::Busy},
        LineCase{"esc_cut", Esc, "23.45 g  ", Kind::Unrecognised},
        LineCase{"esc_garbage", Esc, "\x1b\xfe\x81~~~~~~~#g  ", Kind::Unrecognised},
        // Weight, unit, stability, legend.
        LineCase{"legend_unstable", Leg, "       12.73 g    ?", Kind::Reading, 1273, false},
        LineCase{"legend_stable", Leg, "     192.21 g", Kind::Reading, 19221, true},
        LineCase{"legend_with_legend", Leg, "     192.21 g      N", Kind::Reading, 19221, true},
        LineCase{"legend_unstable_with_legend", Leg, "  192.21 g ? NET", Kind::Reading, 19221, false},
        LineCase{"legend_negative", Leg, "      -12.70 g", Kind::Reading, -1270, true},
        LineCase{"legend_kilograms", Leg, "     1.500 kg  ?", Kind::Reading, 150000, false},
        LineCase{"legend_G", Leg, "      5.00 G", Kind::Reading, 500, true},
        LineCase{"legend_pennyweight", Leg, "     12.10 dwt", Refused, 0, false, NotGrams, "dwt"},
        LineCase{"legend_long_unit_cut", Leg, "     12.10 ozt.x", Refused, 0, false, NotGrams, "ozt."},
        LineCase{"legend_overload", Leg, "          OL", Kind::Overload},
        LineCase{"legend_underload", Leg, "          UL g", Kind::Underload},
        LineCase{"legend_error", Leg, "   Err 4", Kind::Busy},
        LineCase{"legend_cut", Leg, "     12.7", Refused, 0, false, ScaleRefusal::NoUnit},
        LineCase{"legend_broken_number", Leg, "     12 7 g", Refused, 0, false, ScaleRefusal::BadNumber},
        LineCase{"legend_garbage", Leg, "ES", Kind::Unrecognised},
        // Marker, sign, mass in 9, unit in 3.
        LineCase{"marked_stable", Mrk, "  +   123.45 g  ", Kind::Reading, 12345, true},
        LineCase{"marked_stable_unit_cut_to_its_letters", Mrk, "  +   123.45 g", Kind::Reading, 12345, true},
        LineCase{"marked_unstable", Mrk, "? +   123.40 g  ", Kind::Reading, 12340, false},
        LineCase{"marked_negative", Mrk, "  -     0.35 g  ", Kind::Reading, -35, true},
        LineCase{"marked_kilograms", Mrk, "  +  1.23456 kg ", Kind::Reading, 123456, true},
        LineCase{"marked_carats", Mrk, "  +    12.00 ct ", Refused, 0, false, NotGrams, "ct"},
        LineCase{"marked_overload", Mrk, "^ +999999999 g  ", Kind::Overload},
        LineCase{"marked_underload", Mrk, "v -    12.00 g  ", Kind::Underload},
        LineCase{"marked_cut", Mrk, "+   123.45 g  ", Kind::Unrecognised},
        LineCase{"marked_status", Mrk, "OK", Kind::Unrecognised},
        LineCase{"marked_garbage", Mrk, "x +   123.45 g  ", Kind::Unrecognised},
        // S or U before the weight.
        LineCase{"prefixed_stable", Pre, "S      123.45 g", Kind::Reading, 12345, true},
        LineCase{"prefixed_unstable", Pre, "U      123.40 g", Kind::Reading, 12340, false},
        LineCase{"prefixed_comma", Pre, "U,+  12.00 g", Kind::Reading, 1200, false},
        LineCase{"prefixed_negative", Pre, "S -     2.00 g", Kind::Reading, -200, true},
        LineCase{"prefixed_kilograms", Pre, "S   0.500 kg", Kind::Reading, 50000, true},
        LineCase{"prefixed_pounds", Pre, "S   1.10 lb", Refused, 0, false, NotGrams, "lb"},
        LineCase{"prefixed_overload", Pre, "S         OL", Kind::Overload},
        LineCase{"prefixed_underload", Pre, "U         UL", Kind::Underload},
        LineCase{"prefixed_cut", Pre, "S      123.45", Refused, 0, false, ScaleRefusal::NoUnit},
        LineCase{"prefixed_not_the_polled_reply", Pre, "S S   123.45 g", Kind::Unrecognised},
        LineCase{"prefixed_not_the_headed_stream", Pre, "US,GS,+00123.45  g", Kind::Unrecognised},
        LineCase{"prefixed_garbage", Pre, "\x9f\xa0 S", Kind::Unrecognised},
        // The first two protocols read grams written "gr" too, and name a refused unit.
        LineCase{"polled_gr", ScaleProtocol::Polled, "S S 12.00 gr", Kind::Reading, 1200, true},
        LineCase{"continuous_ounces_named", ScaleProtocol::Continuous, "ST,GS,+0004.35 oz", Refused, 0, false,
                 NotGrams, "oz"}),
    [](const testing::TestParamInfo<LineCase>& info) { return std::string(info.param.name); });

// A line of each protocol, as its scale sends it.
struct Sample {
    ScaleProtocol protocol;
    std::string_view line;
};
constexpr Sample kSamples[] = {
    {ScaleProtocol::Polled, "S S     123.45 g"},  {ScaleProtocol::Continuous, "ST,GS,+00123.45  g"},
    {Esc, "+   123.45 g  "},                        {Leg, "     123.45 g    ?"},
    {Mrk, "  +   123.45 g  "},                      {Pre, "S      123.45 g"},
};

// A line of one protocol never reads as a line of another, but for a bare weight and its
// unit, which the continuous stream and the legend line both read. The search tells them
// apart by how they come: those two stream, the others only answer their poll.
TEST(FormatLine, NoProtocolTakesAnothersLine) {
    for (const Sample& sample : kSamples)
        for (const Sample& other : kSamples) {
            if (other.protocol == sample.protocol) continue;
            SCOPED_TRACE(std::string(sample.line) + " as protocol " +
                         std::to_string(static_cast<int>(other.protocol)));
            const ScaleLine line = ParseScaleLine(other.protocol, sample.line);
            const bool readsBareWeights = other.protocol == ScaleProtocol::Continuous || other.protocol == Leg;
            const bool bareWeight = sample.protocol == Leg || sample.protocol == Mrk || sample.protocol == Esc;
            if (!(readsBareWeights && bareWeight)) {
                EXPECT_NE(line.format, ScaleProtocolFormat(other.protocol));
            }
        }
}

struct CommandCase {
    ScaleProtocol protocol;
    std::string_view poll, tare, zero;
};

TEST(FormatCommands, EachProtocolSendsItsOwn) {
    const CommandCase cases[] = {
        {ScaleProtocol::Automatic, "SI\r\n", "T\r\n", "Z\r\n"},
        {ScaleProtocol::Polled, "SI\r\n", "T\r\n", "Z\r\n"},
        {ScaleProtocol::Continuous, "", "T\r\n", "Z\r\n"},
        {Esc, "\x1bP", "\x1bT", ""},
        {Leg, "IP\r\n", "T\r\n", ""},
        {Mrk, "SI\r\n", "T\r\n", "Z\r\n"},
        {Pre, "", "T\r\n", "Z\r\n"},
        {static_cast<ScaleProtocol>(static_cast<int>(kLastScaleProtocol) + 1), "", "", ""},
    };
    for (const CommandCase& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.protocol));
        EXPECT_EQ(ScaleCommandBytes(c.protocol, ScaleCommand::Poll), c.poll);
        EXPECT_EQ(ScaleCommandBytes(c.protocol, ScaleCommand::Tare), c.tare);
        EXPECT_EQ(ScaleCommandBytes(c.protocol, ScaleCommand::Zero), c.zero);
    }
}

// The unit seen travels with the refusal through the posted message's two words.
TEST(FormatEvent, RefusedUnitSurvivesTheMessage) {
    const std::pair<std::string_view, std::string_view> cases[] = {
        {"  +    12.00 ct ", "ct"}, {"  +    12.00 dwt", "dwt"}, {"  +    12.00 \xff\xfe ", "\xff\xfe"}};
    for (const auto& [text, expected] : cases) {
        ScaleEvent event;
        ASSERT_TRUE(ScaleEventFromLine(ParseScaleLine(Mrk, text), event));
        const ScaleUnit unit = ScaleEventUnit(UnpackScaleEvent(PackScaleEvent(event), event.hundredths));
        EXPECT_EQ(std::string(unit.data(), expected.size()), expected);
        EXPECT_EQ(unit[expected.size()], '\0');
    }
    ScaleEvent reading;
    ASSERT_TRUE(ScaleEventFromLine(ParseScaleLine(Mrk, "  +    12.00 g  "), reading));
    EXPECT_EQ(reading.hundredths, 1200);
    EXPECT_EQ(ScaleEventUnit(reading), ScaleUnit{});
}

}  // namespace
}  // namespace lacqueron
