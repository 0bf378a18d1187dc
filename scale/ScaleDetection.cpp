#include "scale/ScaleDetection.h"

#include <algorithm>

namespace lacqueron {
namespace {

// Two lines in a row of one protocol: one could be noise that happens to read.
constexpr int kLinesToSettle = 2;
constexpr std::int64_t kLineBitsPerChar = 10;  // start, 8 data, stop
constexpr std::int64_t kMsPerSecond = 1000;
constexpr std::size_t kListenStage = 0;
constexpr std::size_t kProtocolCount = static_cast<std::size_t>(kLastScaleProtocol) + 1;

std::uint32_t ProtocolBit(ScaleProtocol protocol) noexcept { return 1u << static_cast<std::uint32_t>(protocol); }

}  // namespace

DetectionBaudList DetectionBauds(std::uint32_t first) noexcept {
    DetectionBaudList bauds{first};
    std::size_t next = 1;
    for (const std::uint32_t baud : kDetectionBauds)
        if (baud != first) bauds[next++] = baud;
    return bauds;
}

ScaleDetection::ScaleDetection(std::span<const std::uint32_t> bauds, std::span<const ScaleProtocol> protocols,
                               DetectionTiming timing)
    : timing_(timing), inRow_(kProtocolCount, 0) {
    for (const std::uint32_t baud : bauds)
        if (baud != 0) bauds_.push_back(baud);
    for (const ScaleProtocol protocol : protocols) {
        if (protocol == ScaleProtocol::Automatic || protocol > kLastScaleProtocol) continue;
        if (ScaleProtocolStreams(protocol) && std::find(listened_.begin(), listened_.end(), protocol) == listened_.end())
            listened_.push_back(protocol);
        const std::string_view poll = ScaleCommandBytes(protocol, ScaleCommand::Poll);
        if (poll.empty()) continue;
        const auto group = std::find_if(groups_.begin(), groups_.end(), [&](const PollGroup& g) { return g.poll == poll; });
        if (group == groups_.end())
            groups_.push_back({poll, {protocol}});
        else if (std::find(group->protocols.begin(), group->protocols.end(), protocol) == group->protocols.end())
            group->protocols.push_back(protocol);
    }
    // Every attempt has its place already, so that the steps never allocate.
    tried_.reserve(bauds_.size() * (groups_.size() + 1));
    if (bauds_.empty() || (listened_.empty() && groups_.empty())) phase_ = Phase::NothingFound;
    stage_ = listened_.empty() ? kListenStage + 1 : kListenStage;
}

const std::vector<ScaleProtocol>& ScaleDetection::StageProtocols() const noexcept {
    return stage_ == kListenStage ? listened_ : groups_[stage_ - 1].protocols;
}

std::string_view ScaleDetection::StagePoll() const noexcept {
    return stage_ == kListenStage ? std::string_view() : groups_[stage_ - 1].poll;
}

std::int64_t ScaleDetection::LineMs(std::uint32_t baud) const noexcept {
    return (timing_.lineChars * kLineBitsPerChar * kMsPerSecond + baud - 1) / baud;
}

std::int64_t ScaleDetection::StageWaitMs() const noexcept {
    const std::int64_t wait = stage_ == kListenStage ? timing_.listenMs : timing_.answerMs;
    return wait + LineMs(bauds_[baud_]);
}

bool ScaleDetection::Advance() noexcept {
    if (++stage_ <= groups_.size()) {
        phase_ = Phase::Start;
        return true;
    }
    stage_ = listened_.empty() ? kListenStage + 1 : kListenStage;
    if (++baud_ >= bauds_.size()) return false;
    phase_ = Phase::Open;
    return true;
}

DetectionStep ScaleDetection::Next(std::int64_t nowMs) noexcept {
    for (;;) {
        DetectionStep step;
        switch (phase_) {
            case Phase::Open:
                phase_ = Phase::Start;
                step.action = DetectionAction::OpenPort;
                step.baud = bauds_[baud_];
                return step;
            case Phase::Start: {
                std::fill(inRow_.begin(), inRow_.end(), 0);
                DetectionAttempt attempt{bauds_[baud_], StagePoll(), 0, 0};
                for (const ScaleProtocol protocol : StageProtocols()) attempt.protocols |= ProtocolBit(protocol);
                tried_.push_back(attempt);
                [[fallthrough]];
            }
            case Phase::Resend:
                untilMs_ = nowMs + StageWaitMs();
                phase_ = Phase::Reading;
                if (stage_ == kListenStage) continue;
                step.action = DetectionAction::Send;
                step.bytes = StagePoll();
                return step;
            case Phase::Reading:
                if (nowMs < untilMs_) {
                    step.action = DetectionAction::Read;
                    step.untilMs = untilMs_;
                    return step;
                }
                if (!Advance()) phase_ = Phase::NothingFound;
                continue;
            case Phase::Found:
                step.action = DetectionAction::Found;
                step.baud = bauds_[baud_];
                step.protocol = found_;
                return step;
            case Phase::NothingFound:
                step.action = DetectionAction::NothingFound;
                return step;
        }
        return step;
    }
}

void ScaleDetection::OnLine(std::string_view line, std::int64_t nowMs) noexcept {
    if (phase_ != Phase::Reading) return;
    bool read = false;
    for (const ScaleProtocol protocol : StageProtocols()) {
        const ScaleLine parsed = ParseScaleLine(protocol, line);
        int& run = inRow_[static_cast<std::size_t>(protocol)];
        // A line a protocol cannot read breaks its run: noise between two lines that
        // happen to read is no scale.
        const bool readable = parsed.kind != ScaleLineKind::Unrecognised && parsed.format == ScaleProtocolFormat(protocol);
        run = readable ? run + 1 : 0;
        read = read || readable;
    }
    if (!read) {
        ++tried_.back().unreadLines;
        return;
    }
    for (const ScaleProtocol protocol : StageProtocols()) {
        if (inRow_[static_cast<std::size_t>(protocol)] < kLinesToSettle) continue;
        found_ = protocol;
        phase_ = Phase::Found;
        return;
    }
    if (stage_ == kListenStage)
        untilMs_ = std::max(untilMs_, nowMs + timing_.secondLineMs);
    else
        phase_ = Phase::Resend;  // ask again at once rather than wait out the answer time
}

std::int64_t ScaleDetection::WorstCaseMs() const noexcept {
    std::int64_t total = 0;
    for (const std::uint32_t baud : bauds_) {
        if (!listened_.empty()) total += timing_.listenMs + LineMs(baud);
        total += static_cast<std::int64_t>(groups_.size()) * (timing_.answerMs + LineMs(baud));
    }
    return total;
}

}  // namespace lacqueron
