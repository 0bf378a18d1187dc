// The search for a scale's rate and protocol against scales modelled on a clock of the
// test's own: each sends its line at one rate, unasked or when asked its poll, and
// anything sent at another rate arrives as noise. The search runs as the reader's
// worker will run it: open, send, read until told.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "scale/ScaleDetection.h"

namespace lacqueron {
namespace {

constexpr std::int64_t kOpenPortMs = 5;         // reconfiguring the port
constexpr std::int64_t kScaleThinksMs = 30;     // a polled scale's time to answer
constexpr std::int64_t kStreamPeriodMs = 100;   // a stream's line every
constexpr std::int64_t kFoundWithinMs = 5000;   // a scale that answers at all
constexpr std::int64_t kBitsPerChar = 10;

struct ModelScale {
    std::uint32_t baud = 0;      // 0: a scale that never sends
    std::string_view line;       // what it sends
    std::string_view poll;       // what it answers; empty for a stream
    std::int64_t firstLineAtMs = 0;
    bool cutFirstLine = false;   // the stream was mid-line when the port opened
};

struct Outcome {
    DetectionStep last;
    std::int64_t elapsedMs = 0;
    std::vector<DetectionAttempt> tried;
};

std::int64_t WireMs(std::size_t chars, std::uint32_t baud) {
    return static_cast<std::int64_t>(chars) * kBitsPerChar * 1000 / baud;
}

// What a line sent at one rate looks like read at another: bytes that read as nothing.
std::string Noise(std::string_view line) {
    std::string noise(line.size(), '\xf8');
    for (std::size_t i = 0; i < line.size(); i += 3) noise[i] = '\x86';
    return noise;
}

Outcome Search(const ModelScale& scale, std::span<const std::uint32_t> bauds = kDetectionBauds) {
    ScaleDetection detection(bauds, kDetectionProtocols);
    Outcome outcome;
    std::int64_t now = 0;
    std::uint32_t portBaud = 0;
    std::vector<std::pair<std::int64_t, std::string>> arriving;  // at, line
    std::int64_t nextStreamMs = scale.firstLineAtMs;
    bool firstStreamLine = true;
    const auto heard = [&](std::string_view line) { return portBaud == scale.baud ? std::string(line) : Noise(line); };

    for (int steps = 0; steps < 10000; ++steps) {
        const DetectionStep step = detection.Next(now);
        outcome.last = step;
        if (step.action == DetectionAction::Found || step.action == DetectionAction::NothingFound) break;
        if (step.action == DetectionAction::OpenPort) {
            portBaud = step.baud;
            arriving.clear();
            now += kOpenPortMs;
        } else if (step.action == DetectionAction::Send) {
            if (scale.baud != 0 && !scale.poll.empty() && step.bytes == scale.poll && portBaud == scale.baud)
                arriving.emplace_back(now + kScaleThinksMs + WireMs(scale.line.size(), scale.baud), scale.line);
        } else {
            EXPECT_GT(step.untilMs, now);
            std::int64_t next = step.untilMs;
            if (!arriving.empty()) next = std::min(next, arriving.front().first);
            const bool streams = scale.baud != 0 && scale.poll.empty();
            if (streams) next = std::min(next, nextStreamMs);
            now = next;
            if (streams && now == nextStreamMs) {
                std::string_view line = scale.line;
                if (firstStreamLine && scale.cutFirstLine) line.remove_prefix(line.size() / 2);
                firstStreamLine = false;
                nextStreamMs += kStreamPeriodMs;
                detection.OnLine(heard(line), now);
            }
            if (!arriving.empty() && arriving.front().first <= now) {
                detection.OnLine(heard(arriving.front().second), now);
                arriving.erase(arriving.begin());
            }
        }
    }
    outcome.elapsedMs = now;
    const auto tried = detection.Tried();
    outcome.tried.assign(tried.begin(), tried.end());
    return outcome;
}

struct FoundCase {
    const char* name;
    ModelScale scale;
    ScaleProtocol protocol;
};

std::ostream& operator<<(std::ostream& out, const FoundCase& c) { return out << c.name; }

class Detection : public testing::TestWithParam<FoundCase> {};

TEST_P(Detection, FindsTheScaleInTime) {
    const FoundCase& c = GetParam();
    const Outcome outcome = Search(c.scale);
    EXPECT_EQ(outcome.last.action, DetectionAction::Found);
    EXPECT_EQ(outcome.last.protocol, c.protocol);
    EXPECT_EQ(outcome.last.baud, c.scale.baud);
    EXPECT_LT(outcome.elapsedMs, kFoundWithinMs);
    ASSERT_FALSE(outcome.tried.empty());
    EXPECT_EQ(outcome.tried.back().baud, c.scale.baud);
    EXPECT_EQ(outcome.tried.back().poll, c.scale.poll);
}

INSTANTIATE_TEST_SUITE_P(
    Scales, Detection,
    testing::Values(
        FoundCase{"headed_stream_9600", {9600, "ST,GS,+00123.45  g", {}}, ScaleProtocol::Continuous},
        FoundCase{"headed_stream_cut_first_line", {9600, "ST,GS,+00123.45  g", {}, 40, true},
                  ScaleProtocol::Continuous},
        FoundCase{"prefixed_stream_2400", {2400, "U      123.45 g", {}, 70}, ScaleProtocol::Prefixed},
        FoundCase{"legend_stream_19200", {19200, "     192.21 g", {}}, ScaleProtocol::Legend},
        FoundCase{"bare_weights_read_as_legend", {4800, "   123.45 g", {}}, ScaleProtocol::Legend},
        FoundCase{"legend_on_command_1200", {1200, "       12.73 g    ?", "IP\r\n"}, ScaleProtocol::Legend},
        FoundCase{"polled_4800", {4800, "S S     123.45 g", "SI\r\n"}, ScaleProtocol::Polled},
        FoundCase{"marked_4800", {4800, "? +   123.45 g  ", "SI\r\n"}, ScaleProtocol::Marked},
        FoundCase{"escp_9600", {9600, "+   123.45 g  ", "\x1bP"}, ScaleProtocol::EscPolled},
        // The last poll at the last rate: the longest search that finds a scale.
        FoundCase{"escp_1200", {1200, "         H    ", "\x1bP"}, ScaleProtocol::EscPolled},
        FoundCase{"marked_overloaded_19200", {19200, "^ +999999999 g  ", "SI\r\n"}, ScaleProtocol::Marked}),
    [](const testing::TestParamInfo<FoundCase>& info) { return std::string(info.param.name); });

// Nothing answers: every rate was listened to and polled with every poll, in order, and
// the search ended within its worst case.
TEST(Detection, SilentScaleListsWhatWasTried) {
    const Outcome outcome = Search(ModelScale{});
    EXPECT_EQ(outcome.last.action, DetectionAction::NothingFound);
    const std::string_view polls[] = {{}, "IP\r\n", "SI\r\n", "\x1bP"};
    ASSERT_EQ(outcome.tried.size(), std::size(kDetectionBauds) * std::size(polls));
    for (std::size_t i = 0; i < outcome.tried.size(); ++i) {
        const DetectionAttempt& attempt = outcome.tried[i];
        EXPECT_EQ(attempt.baud, kDetectionBauds[i / std::size(polls)]);
        EXPECT_EQ(attempt.poll, polls[i % std::size(polls)]);
        EXPECT_EQ(attempt.unreadLines, 0);
    }
    constexpr auto Bit = [](ScaleProtocol p) { return 1u << static_cast<unsigned>(p); };
    EXPECT_EQ(outcome.tried[0].protocols,
              Bit(ScaleProtocol::Legend) | Bit(ScaleProtocol::Continuous) | Bit(ScaleProtocol::Prefixed));
    EXPECT_EQ(outcome.tried[2].protocols, Bit(ScaleProtocol::Polled) | Bit(ScaleProtocol::Marked));
    ScaleDetection detection(kDetectionBauds, kDetectionProtocols);
    EXPECT_LE(outcome.elapsedMs, detection.WorstCaseMs() + static_cast<std::int64_t>(std::size(kDetectionBauds)) * kOpenPortMs);
    EXPECT_LT(detection.WorstCaseMs(), kFoundWithinMs);
}

// A stream at a rate the search does not try: lines come but none reads, which tells
// the painter to look at the rate rather than the cable.
TEST(Detection, StreamAtAnotherRateIsHeardButNotRead) {
    const Outcome outcome = Search(ModelScale{300, "ST,GS,+00123.45  g", {}});
    EXPECT_EQ(outcome.last.action, DetectionAction::NothingFound);
    for (const DetectionAttempt& attempt : outcome.tried)
        if (attempt.poll.empty()) {
            EXPECT_GT(attempt.unreadLines, 0) << attempt.baud;
        }
}

// The rate and protocols are the caller's: one protocol at one rate is a search too, and
// nothing to search is over at once.
TEST(Detection, SearchesOnlyWhatItIsGiven) {
    const std::uint32_t one[] = {4800};
    const ScaleProtocol marked[] = {ScaleProtocol::Marked};
    ScaleDetection detection(one, marked);
    EXPECT_EQ(detection.Next(0), (DetectionStep{DetectionAction::OpenPort, 4800, {}}));
    EXPECT_EQ(detection.Next(1), (DetectionStep{DetectionAction::Send, 0, "SI\r\n"}));
    detection.OnLine("S S     123.45 g", 20);  // another protocol's answer: not this one
    EXPECT_EQ(detection.Next(20).action, DetectionAction::Read);
    detection.OnLine("  +   123.45 g  ", 30);
    EXPECT_EQ(detection.Next(30), (DetectionStep{DetectionAction::Send, 0, "SI\r\n"}));
    detection.OnLine("? +   123.46 g  ", 60);
    EXPECT_EQ(detection.Next(60), (DetectionStep{DetectionAction::Found, 4800, {}, 0, ScaleProtocol::Marked}));
    EXPECT_EQ(detection.Tried().front().unreadLines, 1);

    ScaleDetection nothing(one, std::span<const ScaleProtocol>());
    EXPECT_EQ(nothing.Next(0).action, DetectionAction::NothingFound);
    EXPECT_TRUE(nothing.Tried().empty());
}

// It settles only on two readable lines in a row of one protocol; any other line
// between them, another protocol's or noise, starts the count again.
struct RunCase {
    const char* name;
    std::vector<std::string_view> lines;
    bool found;
};

class DetectionRun : public testing::TestWithParam<RunCase> {};

constexpr std::string_view kMarkedLine = "? +   123.45 g  ";
constexpr std::string_view kPolledLine = "S S     123.45 g";
constexpr std::string_view kNoiseLine = "\x86\xf8\xf8\x86\xf8\xf8";

TEST_P(DetectionRun, SettlesOnTwoReadableLinesInARow) {
    const std::uint32_t one[] = {4800};
    const ScaleProtocol marked[] = {ScaleProtocol::Marked};
    ScaleDetection detection(one, marked);
    std::int64_t now = 0;
    for (const std::string_view line : GetParam().lines) {
        // Each line arrives while the search reads, after it opened the port and polled.
        DetectionAction action = detection.Next(now).action;
        while (action == DetectionAction::OpenPort || action == DetectionAction::Send) action = detection.Next(now).action;
        ASSERT_EQ(action, DetectionAction::Read);
        detection.OnLine(line, ++now);
    }
    EXPECT_EQ(detection.Next(now).action == DetectionAction::Found, GetParam().found);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, DetectionRun,
    testing::Values(RunCase{"two", {kMarkedLine, kMarkedLine}, true}, RunCase{"one", {kMarkedLine}, false},
                    RunCase{"noise_between", {kMarkedLine, kNoiseLine, kMarkedLine}, false},
                    RunCase{"other_protocol_between", {kMarkedLine, kPolledLine, kMarkedLine}, false},
                    RunCase{"two_after_noise", {kMarkedLine, kNoiseLine, kMarkedLine, kMarkedLine}, true},
                    RunCase{"noise_first", {kNoiseLine, kMarkedLine, kMarkedLine}, true}),
    [](const testing::TestParamInfo<RunCase>& info) { return std::string(info.param.name); });

// The reader searches from the rate stored or found last; a rate of the list is not
// tried twice, and one outside it is tried as well.
TEST(Detection, StartsAtTheStoredRate) {
    EXPECT_EQ(DetectionBauds(4800), (DetectionBaudList{4800, 9600, 2400, 19200, 1200, 0}));
    EXPECT_EQ(DetectionBauds(38400), (DetectionBaudList{38400, 9600, 4800, 2400, 19200, 1200}));
    const DetectionBaudList stored = DetectionBauds(4800);
    const Outcome found = Search(ModelScale{4800, "? +   123.45 g  ", "SI\r\n"}, stored);
    EXPECT_EQ(found.last.protocol, ScaleProtocol::Marked);
    EXPECT_EQ(found.tried.front().baud, 4800u);
    const Outcome silent = Search(ModelScale{}, stored);
    const auto listens = std::count_if(silent.tried.begin(), silent.tried.end(),
                                       [](const DetectionAttempt& attempt) { return attempt.poll.empty(); });
    EXPECT_EQ(listens, static_cast<std::ptrdiff_t>(std::size(kDetectionBauds)));
}

}  // namespace
}  // namespace lacqueron
