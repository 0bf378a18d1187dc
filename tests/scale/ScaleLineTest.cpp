// Bytes as scales send them, cut into lines and parsed: the polled "SI" replies, the
// continuous stream, line ends of every kind, lines split across reads, and noise.
#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "scale/LineSplitter.h"
#include "scale/ScaleLine.h"

namespace lacqueron {
namespace {

constexpr auto P = ScaleLineFormat::Polled;
constexpr auto C = ScaleLineFormat::Continuous;

ScaleLine Weight(ScaleLineFormat format, std::int64_t hundredths, bool stable) {
    return {ScaleLineKind::Reading, format, hundredths, stable, ScaleRefusal::None};
}
ScaleLine State(ScaleLineFormat format, ScaleLineKind kind) { return {kind, format, 0, false, ScaleRefusal::None}; }
ScaleLine Refused(ScaleLineFormat format, ScaleRefusal reason) {
    return {ScaleLineKind::Refused, format, 0, false, reason};
}
const ScaleLine kNoise{};

struct StreamCase {
    const char* name;
    std::vector<std::string_view> reads;  // the bytes of each read from the port
    std::vector<ScaleLine> expected;      // one per non-empty line
};

std::ostream& operator<<(std::ostream& out, const StreamCase& c) { return out << c.name; }

class ScaleStream : public testing::TestWithParam<StreamCase> {};

TEST_P(ScaleStream, GivesTheExpectedLines) {
    const StreamCase& c = GetParam();
    LineSplitter splitter;
    std::vector<ScaleLine> lines;
    std::vector<std::string> texts;
    for (const std::string_view read : c.reads)
        splitter.Feed(read, [&](std::string_view line) {
            lines.push_back(ParseScaleLine(line));
            texts.emplace_back(line);
        });
    ASSERT_EQ(lines.size(), c.expected.size());
    for (std::size_t i = 0; i < lines.size(); ++i) {
        SCOPED_TRACE(texts[i]);
        EXPECT_EQ(lines[i].kind, c.expected[i].kind);
        EXPECT_EQ(lines[i].format, c.expected[i].format);
        EXPECT_EQ(lines[i].hundredths, c.expected[i].hundredths);
        EXPECT_EQ(lines[i].stable, c.expected[i].stable);
        EXPECT_EQ(lines[i].refusal, c.expected[i].refusal);
    }
}

constexpr char kGarbage[] = "\x00\xff\x7f~#\r\nhello 12 g\r\n\x1b[2J\r\n";
const std::string kOverlong = std::string(LineSplitter::kMaxLineLength + 1, '1') + " g\r\n";

INSTANTIATE_TEST_SUITE_P(
    Lines, ScaleStream,
    testing::Values(
        // Polled replies to "SI".
        StreamCase{"polled_stable", {"S S     123.45 g\r\n"}, {Weight(P, 12345, true)}},
        StreamCase{"polled_unstable", {"S D     123.40 g\r\n"}, {Weight(P, 12340, false)}},
        StreamCase{"polled_states", {"S I\r\nS +\r\nS -\r\n"},
                   {State(P, ScaleLineKind::Busy), State(P, ScaleLineKind::Overload),
                    State(P, ScaleLineKind::Underload)}},
        StreamCase{"polled_negative_and_kg", {"S S    -0.35 g\r\nS S   1.23456 kg\r\n"},
                   {Weight(P, -35, true), Weight(P, 123456, true)}},
        StreamCase{"polled_odd_spaces", {"  S  S 7.5g \r\n\tS\tD\t- 2 g\r\n"},
                   {Weight(P, 750, true), Weight(P, -200, false)}},
        StreamCase{"polled_three_decimals_round_half_away", {"S S  0.125 g\r\nS S -0.125 g\r\nS S 0.124 g\r\n"},
                   {Weight(P, 13, true), Weight(P, -13, true), Weight(P, 12, true)}},
        StreamCase{"polled_without_weight", {"S S\r\nS D   g\r\n"},
                   {Refused(P, ScaleRefusal::BadNumber), Refused(P, ScaleRefusal::BadNumber)}},
        StreamCase{"polled_unknown_status_and_errors", {"S X 1 g\r\nES\r\nEL\r\nSI\r\n"},
                   {kNoise, kNoise, kNoise, kNoise}},
        // The continuous stream.
        StreamCase{"stream_stable_unstable_net", {"ST,GS,+00123.45  g\r\nUS,GS,+00120.10  g\r\nST,NT,-00001.00  g\r\n"},
                   {Weight(C, 12345, true), Weight(C, 12010, false), Weight(C, -100, true)}},
        StreamCase{"stream_overload_with_any_value", {"OL,GS,+9999999E+19\r\nOL\t,GS\r\n"},
                   {State(C, ScaleLineKind::Overload), State(C, ScaleLineKind::Overload)}},
        StreamCase{"stream_kilograms", {"ST,GS,+0.12345 kg\r\nST,GS,+012.5   kg\r\n"},
                   {Weight(C, 12345, true), Weight(C, 1250000, true)}},
        StreamCase{"stream_tare_field_is_no_weight", {"ST,TR,+00050.00  g\r\n"}, {kNoise}},
        StreamCase{"stream_counting_mode", {"QT,+00000012 PC\r\n"}, {Refused(C, ScaleRefusal::NotGrams)}},
        StreamCase{"stream_without_field", {"ST,+00042.00  g\r\n"}, {Weight(C, 4200, true)}},
        StreamCase{"bare_lines", {"   123.45 g\r\n-  0.50 g\r\n+12 g\r\n.5 g\r\n  99.99 g ?\r\n"},
                   {Weight(C, 12345, true), Weight(C, -50, true), Weight(C, 1200, true), Weight(C, 50, true),
                    Weight(C, 9999, false)}},
        StreamCase{"decimal_comma", {"   12,30 g\r\n"}, {Weight(C, 1230, true)}},
        // Units other than grams and kilograms, and numbers that are not.
        StreamCase{"other_units", {"S S 4.35 oz\r\nST,GS,+0001.20 lb\r\n  12.00 ct\r\n  5.00 mg\r\n  5.00 G\r\n"},
                   {Refused(P, ScaleRefusal::NotGrams), Refused(C, ScaleRefusal::NotGrams),
                    Refused(C, ScaleRefusal::NotGrams), Refused(C, ScaleRefusal::NotGrams), Weight(C, 500, true)}},
        StreamCase{"no_unit", {"  123.45\r\n"}, {Refused(C, ScaleRefusal::NoUnit)}},
        StreamCase{"broken_numbers", {"  12.3.4 g\r\n  12 3.4 g\r\nST,GS,+ g\r\n  12. 5 g\r\n"},
                   {Refused(C, ScaleRefusal::BadNumber), Refused(C, ScaleRefusal::BadNumber),
                    Refused(C, ScaleRefusal::BadNumber), Refused(C, ScaleRefusal::BadNumber)}},
        StreamCase{"out_of_range", {"  10000000.01 g\r\n  10000.00001 kg\r\n  123456789012345678 g\r\n"},
                   {Refused(C, ScaleRefusal::OutOfRange), Refused(C, ScaleRefusal::OutOfRange),
                    Refused(C, ScaleRefusal::OutOfRange)}},
        StreamCase{"largest_and_tiny", {"  10000000.00 g\r\n  0.000000000000000000001 kg\r\n  0000000000000000000000007 g\r\n"},
                   {Weight(C, 1000000000, true), Weight(C, 0, true), Weight(C, 700, true)}},
        // Line ends, partial lines and noise.
        StreamCase{"cr_only", {"S S 1.00 g\rS S 2.00 g\r"}, {Weight(P, 100, true), Weight(P, 200, true)}},
        StreamCase{"lf_only", {"S S 1.00 g\nS S 2.00 g\n"}, {Weight(P, 100, true), Weight(P, 200, true)}},
        StreamCase{"line_across_reads", {"ST,GS,+001", "23.45  g\r", "\nS S", " 1 g\r\n"},
                   {Weight(C, 12345, true), Weight(P, 100, true)}},
        StreamCase{"unfinished_line_waits", {"S S 1.00 g\r\nS S 2.0"}, {Weight(P, 100, true)}},
        StreamCase{"blank_lines_passed_over", {"\r\n\r\n\n\r  \r\nS I\r\n"}, {kNoise, State(P, ScaleLineKind::Busy)}},
        StreamCase{"garbage", {std::string_view(kGarbage, sizeof kGarbage - 1)},
                   {kNoise, kNoise, kNoise}},
        StreamCase{"overlong_line_dropped", {kOverlong, "S S 3 g\r\n"}, {Weight(P, 300, true)}}),
    [](const testing::TestParamInfo<StreamCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace lacqueron
