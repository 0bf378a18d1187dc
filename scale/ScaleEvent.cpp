#include "scale/ScaleEvent.h"

#include <algorithm>
#include <string>

#include "core/IntegerText.h"
#include "scale/ScaleDetection.h"

namespace lacqueron {
namespace {

// Word layout: kind in bits 0-3, line kind in 4-7, refusal in 8-11, stable in bit 12,
// generation in 16-31. Every enum has fewer than 16 values.
constexpr int kLineShift = 4;
constexpr int kRefusalShift = 8;
constexpr int kStableShift = 12;
constexpr int kGenerationShift = 16;
constexpr std::uint32_t kFieldMask = 0xF;
constexpr std::uint32_t kGenerationMask = 0xFFFF;
constexpr int kUnitBitsPerChar = 8;
constexpr std::uint32_t kCharMask = 0xFF;
static_assert(kScaleUnitChars * kUnitBitsPerChar <= 32, "a refused unit travels in the weight's word");
// A search's outcome in the weight's word: the rate below bit 24 (115200 needs 17 bits),
// the protocol found or whether lines came above it.
constexpr int kTagShift = 24;
constexpr std::uint32_t kBaudMask = (1u << kTagShift) - 1;
constexpr char16_t kUnprintable = u'?';

ScaleEvent SearchEvent(ScaleEventKind kind, std::uint32_t baud, std::uint32_t tag) noexcept {
    ScaleEvent event;
    event.kind = kind;
    event.hundredths = static_cast<std::int32_t>((baud & kBaudMask) | tag << kTagShift);
    return event;
}

std::uint32_t SearchTag(const ScaleEvent& event) noexcept {
    return static_cast<std::uint32_t>(event.hundredths) >> kTagShift;
}

// Letters and digits a scale sent, as the painter can read them: anything but printable
// ASCII becomes a question mark.
WideString Printable(std::string_view text) {
    WideString printable;
    for (const char c : text)
        printable.push_back(c >= '!' && c <= '~' ? static_cast<char16_t>(c) : kUnprintable);
    return printable;
}

WideString NotGramsText(const ScaleEvent& event) {
    const ScaleUnit unit = ScaleEventUnit(event);
    const std::string_view padded(unit.data(), unit.size());
    const std::string_view letters = padded.substr(0, padded.find('\0'));  // all four when none is zero
    WideString text = u"Весы показывают вес не в граммах";
    if (!letters.empty()) text += u" (" + Printable(letters) + u")";
    return text + u". Переключите их на граммы или килограммы.";
}

WideString FoundText(const ScaleEvent& event) {
    const char16_t* name = ScaleProtocolName(ScaleEventProtocol(event));
    return WideString(u"Найдены весы: протокол «") + (name ? name : u"") + u"», " +
           IntegerText(ScaleEventBaud(event)) + u" бод.";
}

// What was tried, in order, and the next thing to check.
WideString NothingFoundText(const ScaleEvent& event) {
    WideString text = u"Весы не найдены: проверены все протоколы на ";
    const DetectionBaudList bauds = DetectionBauds(ScaleEventBaud(event));
    auto left = std::count_if(bauds.begin(), bauds.end(), [](std::uint32_t baud) { return baud != 0; });
    for (const std::uint32_t baud : bauds) {
        if (baud == 0) continue;
        text += IntegerText(baud);
        --left;
        if (left > 1) text += u", ";
        if (left == 1) text += u" и ";
    }
    return text + (SearchTag(event) != 0
                       ? u" бод: строки приходят, но не читаются. Проверьте скорость и формат строки в меню "
                         u"интерфейса весов."
                       : u" бод: ответа нет. Проверьте кабель и порт, затем включите передачу в меню интерфейса "
                         u"весов.");
}

const char16_t* StateText(ScaleLineKind kind) noexcept {
    switch (kind) {
        case ScaleLineKind::Busy: return u"Весы заняты и не дают показание.";
        case ScaleLineKind::Overload: return u"Перегрузка весов: снимите лишний груз.";
        case ScaleLineKind::Underload: return u"Показание весов ниже нуля: проверьте тару и обнулите весы.";
        default: return nullptr;
    }
}

const char16_t* RefusalText(ScaleRefusal refusal) noexcept {
    switch (refusal) {
        case ScaleRefusal::NoUnit: return u"Весы не сообщают единицу веса. Переключите их на граммы.";
        case ScaleRefusal::BadNumber: return u"Весы прислали показание, которое нельзя прочитать.";
        case ScaleRefusal::OutOfRange: return u"Показание весов вне допустимого диапазона.";
        case ScaleRefusal::NotGrams:  // the unit is named: NotGramsText
        case ScaleRefusal::None: return nullptr;
    }
    return nullptr;
}

}  // namespace

bool ScaleEventFromLine(const ScaleLine& line, ScaleEvent& event) noexcept {
    event = ScaleEvent{};
    event.line = line.kind;
    switch (line.kind) {
        case ScaleLineKind::Reading:
            event.kind = ScaleEventKind::Reading;
            event.hundredths = static_cast<std::int32_t>(line.hundredths);
            event.stable = line.stable;
            return true;
        case ScaleLineKind::Busy:
        case ScaleLineKind::Overload:
        case ScaleLineKind::Underload:
            event.kind = ScaleEventKind::ScaleState;
            return true;
        case ScaleLineKind::Refused:
            event.kind = ScaleEventKind::LineRefused;
            event.refusal = line.refusal;
            if (line.refusal == ScaleRefusal::NotGrams) {
                std::uint32_t letters = 0;
                for (std::size_t i = 0; i < kScaleUnitChars; ++i)
                    letters |= (static_cast<std::uint32_t>(static_cast<unsigned char>(line.unit[i])) & kCharMask)
                               << (i * kUnitBitsPerChar);
                event.hundredths = static_cast<std::int32_t>(letters);
            }
            return true;
        case ScaleLineKind::Unrecognised:
            return false;
    }
    return false;
}

ScaleUnit ScaleEventUnit(const ScaleEvent& event) noexcept {
    ScaleUnit unit{};
    if (event.kind != ScaleEventKind::LineRefused || event.refusal != ScaleRefusal::NotGrams) return unit;
    const auto letters = static_cast<std::uint32_t>(event.hundredths);
    for (std::size_t i = 0; i < kScaleUnitChars; ++i)
        unit[i] = static_cast<char>(letters >> (i * kUnitBitsPerChar) & kCharMask);
    return unit;
}

std::uint32_t PackScaleEvent(const ScaleEvent& event) noexcept {
    return static_cast<std::uint32_t>(event.kind) | static_cast<std::uint32_t>(event.line) << kLineShift |
           static_cast<std::uint32_t>(event.refusal) << kRefusalShift |
           static_cast<std::uint32_t>(event.stable ? 1 : 0) << kStableShift |
           static_cast<std::uint32_t>(event.generation) << kGenerationShift;
}

ScaleEvent UnpackScaleEvent(std::uint32_t word, std::int32_t hundredths) noexcept {
    ScaleEvent event;
    event.kind = static_cast<ScaleEventKind>(word & kFieldMask);
    event.line = static_cast<ScaleLineKind>(word >> kLineShift & kFieldMask);
    event.refusal = static_cast<ScaleRefusal>(word >> kRefusalShift & kFieldMask);
    event.stable = (word >> kStableShift & 1) != 0;
    event.generation = static_cast<ScaleGeneration>(word >> kGenerationShift & kGenerationMask);
    event.hundredths = hundredths;
    return event;
}

ScaleEvent ScaleFoundEvent(ScaleProtocol protocol, std::uint32_t baud) noexcept {
    return SearchEvent(ScaleEventKind::Found, baud, static_cast<std::uint32_t>(protocol));
}

ScaleEvent NothingFoundEvent(std::uint32_t firstBaud, bool linesCame) noexcept {
    return SearchEvent(ScaleEventKind::NothingFound, firstBaud, linesCame ? 1 : 0);
}

ScaleProtocol ScaleEventProtocol(const ScaleEvent& event) noexcept {
    return event.kind == ScaleEventKind::Found ? static_cast<ScaleProtocol>(SearchTag(event)) : ScaleProtocol::Automatic;
}

std::uint32_t ScaleEventBaud(const ScaleEvent& event) noexcept {
    const bool search = event.kind == ScaleEventKind::Found || event.kind == ScaleEventKind::NothingFound;
    return search ? static_cast<std::uint32_t>(event.hundredths) & kBaudMask : 0;
}

WideString ScaleEventText(const ScaleEvent& event) {
    const auto fixed = [](const char16_t* text) { return text ? WideString(text) : WideString(); };
    switch (event.kind) {
        case ScaleEventKind::Reading: return {};
        case ScaleEventKind::ScaleState: return fixed(StateText(event.line));
        case ScaleEventKind::LineRefused:
            return event.refusal == ScaleRefusal::NotGrams ? NotGramsText(event) : fixed(RefusalText(event.refusal));
        case ScaleEventKind::Found: return FoundText(event);
        case ScaleEventKind::NothingFound: return NothingFoundText(event);
        case ScaleEventKind::PortMissing: return u"Порт весов не найден. Подключите весы или выберите другой порт.";
        case ScaleEventKind::PortBusy: return u"Порт весов занят другой программой.";
        case ScaleEventKind::PortLost: return u"Весы отключились. Подключите их снова: показания продолжатся сами.";
        case ScaleEventKind::Silent: return u"Весы молчат. Проверьте, что они включены, и скорость порта.";
    }
    return {};
}

}  // namespace lacqueron
