#include "scale/ScaleEvent.h"

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
constexpr int kBitsPerChar = 8;
constexpr std::uint32_t kCharMask = 0xFF;
static_assert(kScaleUnitChars * kBitsPerChar <= 32, "a refused unit travels in the weight's word");

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
        case ScaleRefusal::NotGrams: return u"Весы показывают вес не в граммах. Переключите их на граммы или килограммы.";
        case ScaleRefusal::BadNumber: return u"Весы прислали показание, которое нельзя прочитать.";
        case ScaleRefusal::OutOfRange: return u"Показание весов вне допустимого диапазона.";
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
                               << (i * kBitsPerChar);
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
        unit[i] = static_cast<char>(letters >> (i * kBitsPerChar) & kCharMask);
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

const char16_t* ScaleEventText(const ScaleEvent& event) noexcept {
    switch (event.kind) {
        case ScaleEventKind::Reading: return nullptr;
        case ScaleEventKind::ScaleState: return StateText(event.line);
        case ScaleEventKind::LineRefused: return RefusalText(event.refusal);
        case ScaleEventKind::PortMissing: return u"Порт весов не найден. Подключите весы или выберите другой порт.";
        case ScaleEventKind::PortBusy: return u"Порт весов занят другой программой.";
        case ScaleEventKind::PortLost: return u"Весы отключились. Подключите их снова: показания продолжатся сами.";
        case ScaleEventKind::Silent: return u"Весы молчат. Проверьте, что они включены, и скорость порта.";
    }
    return nullptr;
}

}  // namespace lacqueron
