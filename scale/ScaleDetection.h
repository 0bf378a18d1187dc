// The search for a scale's baud rate and protocol, as a state machine without I/O: it
// tells the reader's worker what to do next (open the port at a rate, send a poll, read
// until a time), takes the lines the worker reads, and settles on the first rate and
// protocol that gave two well-formed lines in a row. At each rate it first listens for a stream,
// then sends each poll in turn. Times are milliseconds on any steady clock the worker
// passes in.
#pragma once

#include <array>
#include <cstdint>
#include <iterator>
#include <span>
#include <string_view>
#include <vector>

#include "scale/ScaleProtocol.h"

namespace lacqueron {

// The rates searched, commonest first.
inline constexpr std::uint32_t kDetectionBauds[] = {9600, 4800, 2400, 19200, 1200};
// The rates a reader searches: `first` (the rate stored or found last) and then the
// rest of kDetectionBauds in their order; 0 where `first` was one of them (passed over
// by ScaleDetection).
using DetectionBaudList = std::array<std::uint32_t, std::size(kDetectionBauds) + 1>;
DetectionBaudList DetectionBauds(std::uint32_t first) noexcept;

// The protocols searched. Order decides between protocols that read the same line:
// the legend line reads every bare weight of the continuous stream and more, so it
// comes first; the polled "SI" and the marked one share their poll.
inline constexpr ScaleProtocol kDetectionProtocols[] = {
    ScaleProtocol::Legend, ScaleProtocol::Continuous, ScaleProtocol::Prefixed,
    ScaleProtocol::Polled, ScaleProtocol::Marked,     ScaleProtocol::EscPolled};

struct DetectionTiming {
    std::int64_t listenMs = 250;      // a stream at 5 lines a second shows a line in this
    std::int64_t answerMs = 120;      // a polled scale answers within this
    std::int64_t secondLineMs = 600;  // a stream that sent one good line, for its next
    int lineChars = 20;               // a scale line's length, for its time on the wire
};

enum class DetectionAction : std::uint8_t {
    OpenPort,  // (re)open or reconfigure the port at `baud`, dropping bytes and any partial line
    Send,      // write `bytes`
    Read,      // read, handing every line to OnLine, until `untilMs` or until a line came
    Found,     // `protocol` at `baud`; the port stays open as it is
    NothingFound,  // Tried() lists what was tried
};

struct DetectionStep {
    DetectionAction action = DetectionAction::Read;
    std::uint32_t baud = 0;
    std::string_view bytes;
    std::int64_t untilMs = 0;
    ScaleProtocol protocol = ScaleProtocol::Automatic;

    bool operator==(const DetectionStep&) const = default;
};

// One listen or one poll at one rate.
struct DetectionAttempt {
    std::uint32_t baud = 0;
    std::string_view poll;        // empty when listening for a stream
    std::uint32_t protocols = 0;  // bit 1 << ScaleProtocol for each protocol it could find
    int unreadLines = 0;          // lines that came and none of them read: a wrong rate or format

    bool operator==(const DetectionAttempt&) const = default;
};

class ScaleDetection {
public:
    // Searches the rates in the order given and, at each, the protocols in the order
    // given (Automatic is passed over). Throws std::bad_alloc.
    ScaleDetection(std::span<const std::uint32_t> bauds, std::span<const ScaleProtocol> protocols,
                   DetectionTiming timing = {});

    // What to do now. Call it again after each step is done, and after every read.
    DetectionStep Next(std::int64_t nowMs) noexcept;
    // A line read since the last step, without its line end.
    void OnLine(std::string_view line, std::int64_t nowMs) noexcept;

    // The attempts made so far, in order; the last one is the one that found the scale.
    std::span<const DetectionAttempt> Tried() const noexcept { return tried_; }

    // The longest a search for nothing takes with these rates and protocols.
    std::int64_t WorstCaseMs() const noexcept;

private:
    enum class Phase : std::uint8_t { Open, Start, Resend, Reading, Found, NothingFound };
    struct PollGroup {
        std::string_view poll;
        std::vector<ScaleProtocol> protocols;
    };

    // The stage's protocols; the listening stage is number 0, then each poll group.
    const std::vector<ScaleProtocol>& StageProtocols() const noexcept;
    std::string_view StagePoll() const noexcept;
    std::int64_t LineMs(std::uint32_t baud) const noexcept;
    std::int64_t StageWaitMs() const noexcept;
    // On to the next stage or rate; false when none is left.
    bool Advance() noexcept;

    std::vector<std::uint32_t> bauds_;
    std::vector<ScaleProtocol> listened_;
    std::vector<PollGroup> groups_;
    DetectionTiming timing_;
    std::vector<DetectionAttempt> tried_;

    Phase phase_ = Phase::Open;
    std::size_t baud_ = 0;
    std::size_t stage_ = 0;
    std::int64_t untilMs_ = 0;
    std::vector<int> inRow_;  // per protocol number: its readable lines in a row, in this attempt
    ScaleProtocol found_ = ScaleProtocol::Automatic;
};

}  // namespace lacqueron
