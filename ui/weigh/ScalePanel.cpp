#include "ui/weigh/ScalePanel.h"

#include <algorithm>
#include <string>

#include "port/ComPorts.h"
#include "res/resource.h"
#include "ui/shared/ComboBox.h"
#include "ui/weigh/WeighTexts.h"

namespace lacqueron {
namespace {

constexpr wchar_t kManualText[] = L"вручную";

// The controls that mean something only with a port chosen.
constexpr int kPortControls[] = {IDC_WEIGH_SCALE_BAUD, IDC_WEIGH_SCALE_PROTOCOL, IDC_WEIGH_AUTO_RECORD};

struct CommandControl {
    int id;
    ScaleCommand command;
};
constexpr CommandControl kCommandControls[] = {{IDC_WEIGH_TARE, ScaleCommand::Tare}, {IDC_WEIGH_ZERO, ScaleCommand::Zero}};

// A button is offered when the protocol has its command; a scale chosen as «непрерывно»
// is taken to only print, as it always has been.
bool OffersCommand(ScaleProtocol protocol, ScaleCommand command) noexcept {
    return protocol != ScaleProtocol::Continuous && !ScaleCommandBytes(protocol, command).empty();
}

// Readings kept for auto-record: the hold and one gap before it are enough.
constexpr std::int64_t kHeldSpanMs = kAutoRecordHoldMs + kAutoRecordMaxGapMs;

std::int64_t TickClock() noexcept { return static_cast<std::int64_t>(GetTickCount64()); }

ScalePanel::Clock panelClock = &TickClock;

}  // namespace

void ScalePanel::SetClock(Clock clock) noexcept { panelClock = clock ? clock : &TickClock; }

void ScalePanel::Attach(HWND dialog, ScaleSettings& settings) noexcept {
    dialog_ = dialog;
    settings_ = &settings;
    FillChoices();
    Restart();
}

void ScalePanel::FillChoices() noexcept {
    const ScaleSettings& chosen = *settings_;
    // CBS_SORT is off: items stay in the order added.
    if (HWND ports = GetDlgItem(dialog_, IDC_WEIGH_SCALE_PORT)) {
        AddComboItem(ports, kManualText, kManualEntry, chosen.port == kManualEntry);
        std::vector<std::uint32_t> found = ListComPorts();
        // A remembered port that is unplugged now stays the choice: the reader waits for it.
        try {
            if (chosen.port != kManualEntry && std::find(found.begin(), found.end(), chosen.port) == found.end()) {
                found.push_back(chosen.port);
                std::sort(found.begin(), found.end());
            }
            for (const std::uint32_t port : found)
                AddComboItem(ports, WinText(ScalePortName(port)), port, port == chosen.port);
        } catch (...) {
            // Not enough memory for the list: manual entry stays possible.
        }
    }
    if (HWND bauds = GetDlgItem(dialog_, IDC_WEIGH_SCALE_BAUD)) {
        for (const std::uint32_t baud : kScaleBauds)
            AddComboItem(bauds, std::to_wstring(baud).c_str(), baud, baud == chosen.baud);
    }
    if (HWND protocols = GetDlgItem(dialog_, IDC_WEIGH_SCALE_PROTOCOL)) {
        // In the order of their numbers, so the first three stay where they always were.
        for (auto number = static_cast<std::uint32_t>(ScaleProtocol::Automatic);
             number <= static_cast<std::uint32_t>(kLastScaleProtocol); ++number) {
            const auto protocol = static_cast<ScaleProtocol>(number);
            AddComboItem(protocols, WinText(ScaleProtocolName(protocol)), number, protocol == chosen.protocol);
        }
    }
    CheckDlgButton(dialog_, IDC_WEIGH_AUTO_RECORD, chosen.autoRecord ? BST_CHECKED : BST_UNCHECKED);
}

void ScalePanel::ReadChoices() noexcept {
    ScaleSettings& chosen = *settings_;
    const auto selected = [this](int id) { return SelectedComboData(GetDlgItem(dialog_, id)); };
    chosen.port = selected(IDC_WEIGH_SCALE_PORT).value_or(kManualEntry);
    chosen.baud = selected(IDC_WEIGH_SCALE_BAUD).value_or(kDefaultScaleBaud);
    chosen.protocol = static_cast<ScaleProtocol>(
        selected(IDC_WEIGH_SCALE_PROTOCOL).value_or(static_cast<std::uint32_t>(ScaleProtocol::Automatic)));
    chosen.autoRecord = IsDlgButtonChecked(dialog_, IDC_WEIGH_AUTO_RECORD) == BST_CHECKED;
}

void ScalePanel::Restart() noexcept {
    reader_.reset();
    held_.clear();
    found_ = ScaleProtocol::Automatic;
    ++generation_;
    const ScaleSettings& chosen = *settings_;
    const bool reading = chosen.port != kManualEntry;
    for (const int id : kPortControls) EnableWindow(GetDlgItem(dialog_, id), reading);
    EnableCommands();
    if (!reading) {
        ShowState(ManualEntryText());
        return;
    }
    ScaleReaderOptions options;
    options.port = chosen.port;
    options.baud = chosen.baud;
    options.protocol = chosen.protocol;
    options.window = dialog_;
    options.message = ScaleEventMessage();
    options.generation = generation_;
    reader_ = ScaleReader::Start(options);
    ShowState(reader_ ? WaitingForScaleText() : NoReaderText());
}

bool ScalePanel::OnCommand(WORD code, WORD id) noexcept {
    switch (id) {
    case IDC_WEIGH_SCALE_PORT:
    case IDC_WEIGH_SCALE_BAUD:
    case IDC_WEIGH_SCALE_PROTOCOL:
        if (code != CBN_SELCHANGE) return false;
        ReadChoices();
        Restart();
        return true;
    case IDC_WEIGH_AUTO_RECORD:
        if (code != BN_CLICKED) return false;
        ReadChoices();
        held_.clear();
        return true;
    case IDC_WEIGH_TARE:
    case IDC_WEIGH_ZERO:
        if (code != BN_CLICKED) return false;
        if (reader_) reader_->Send(id == IDC_WEIGH_TARE ? ScaleCommand::Tare : ScaleCommand::Zero);
        return true;
    default: return false;
    }
}

ScalePanel::Update ScalePanel::OnScaleMessage(WPARAM wParam, LPARAM lParam, const PourStep* step,
                                              Hundredths resolution, Hundredths lastRecorded) noexcept {
    Update update;
    const ScaleEvent event = ScaleEventFromMessage(wParam, lParam);
    // Left in the queue by a reader that was stopped or replaced.
    if (!reader_ || event.generation != generation_) return update;
    try {
        if (event.kind == ScaleEventKind::Found) {
            OnFound(event);
            update.notice = ScaleEventText(event);
            return update;
        }
        if (event.kind != ScaleEventKind::Reading) {
            held_.clear();  // a fault breaks the hold
            ShowState(ScaleEventText(event));
            return update;
        }
        ShowState(ScaleReadingText(event.hundredths, event.stable));
        update.reading = event.hundredths;
        if (!settings_->autoRecord || !step) return update;
        const std::int64_t now = panelClock();
        std::erase_if(held_, [now](const TimedReading& held) { return now - held.timeMs > kHeldSpanMs; });
        held_.push_back({now, event.hundredths, event.stable});
        const AutoRecordStep waiting{step->target, Tolerance(step->weight, resolution), lastRecorded, resolution};
        if (const auto record = AutoRecordReading(held_, waiting))
            update.autoRecord = static_cast<Hundredths>(*record);
    } catch (...) {
        held_.clear();  // not enough memory: no auto-record this time
    }
    return update;
}

void ScalePanel::EnableCommands() noexcept {
    const bool reading = settings_->port != kManualEntry;
    const ScaleProtocol protocol = settings_->protocol == ScaleProtocol::Automatic ? found_ : settings_->protocol;
    for (const CommandControl& control : kCommandControls)
        EnableWindow(GetDlgItem(dialog_, control.id), reading && OffersCommand(protocol, control.command));
}

void ScalePanel::OnFound(const ScaleEvent& event) noexcept {
    // The rate is kept, so the next search starts where this one ended; the choice
    // stays automatic, so a scale swapped for another is found again. The reader is not
    // started again: it reads the scale already, and searches by itself should it change.
    found_ = ScaleEventProtocol(event);
    settings_->baud = ScaleEventBaud(event);
    SelectComboData(GetDlgItem(dialog_, IDC_WEIGH_SCALE_BAUD), settings_->baud);
    EnableCommands();
}

void ScalePanel::ShowState(const WideString& text) noexcept {
    SetDlgItemTextW(dialog_, IDC_WEIGH_SCALE_STATE, WinText(text));
}

}  // namespace lacqueron
