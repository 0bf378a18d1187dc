// The texts the weighing dialog shows for the reader's events, each after the trip
// through the posted message's two words: a refused unit named as the scale wrote it,
// the search's outcome with the protocol and rate found, or what was tried and what to
// check next.
#include <gtest/gtest.h>

#include <string>

#include "scale/ScaleEvent.h"

namespace lacqueron {
namespace {

ScaleEvent Refused(std::string_view line, ScaleProtocol protocol = ScaleProtocol::Marked) {
    ScaleEvent event;
    ScaleEventFromLine(ParseScaleLine(protocol, line), event);
    return event;
}

struct TextCase {
    const char* name;
    ScaleEvent event;
    const char16_t* text;
};

std::ostream& operator<<(std::ostream& out, const TextCase& c) { return out << c.name; }

class ScaleEventTexts : public testing::TestWithParam<TextCase> {};

TEST_P(ScaleEventTexts, SurviveTheMessage) {
    const TextCase& c = GetParam();
    const ScaleEvent posted = UnpackScaleEvent(PackScaleEvent(c.event), c.event.hundredths);
    EXPECT_EQ(ScaleEventText(posted), WideString(c.text));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ScaleEventTexts,
    testing::Values(
        TextCase{"ounces", Refused("  +    12.00 oz "),
                 u"Весы показывают вес не в граммах (oz). Переключите их на граммы или килограммы."},
        TextCase{"pennyweight", Refused("  +    12.00 dwt"),
                 u"Весы показывают вес не в граммах (dwt). Переключите их на граммы или килограммы."},
        TextCase{"four_letters", Refused("S S      12.00 pcsx", ScaleProtocol::Polled),
                 u"Весы показывают вес не в граммах (pcsx). Переключите их на граммы или килограммы."},
        TextCase{"unit_of_noise", Refused("  +    12.00 \xff\xfe "),
                 u"Весы показывают вес не в граммах (\?\?). Переключите их на граммы или килограммы."},
        TextCase{"found", ScaleFoundEvent(ScaleProtocol::Marked, 4800),
                 u"Найдены весы: протокол «SI, метка ?/^/v», 4800 бод."},
        TextCase{"found_fastest", ScaleFoundEvent(ScaleProtocol::Prefixed, 115200),
                 u"Найдены весы: протокол «поток S/U», 115200 бод."},
        TextCase{"nothing_answered", NothingFoundEvent(4800, false),
                 u"Весы не найдены: проверены все протоколы на 4800, 9600, 2400, 19200 и 1200 бод: ответа нет. "
                 u"Проверьте кабель и порт, затем включите передачу в меню интерфейса весов."},
        TextCase{"lines_unread", NothingFoundEvent(38400, true),
                 u"Весы не найдены: проверены все протоколы на 38400, 9600, 4800, 2400, 19200 и 1200 бод: строки "
                 u"приходят, но не читаются. Проверьте скорость и формат строки в меню интерфейса весов."},
        TextCase{"silent", ScaleEvent{ScaleEventKind::Silent},
                 u"Весы молчат. Проверьте, что они включены, и скорость порта."},
        TextCase{"reading", ScaleEvent{}, u""}),
    [](const testing::TestParamInfo<TextCase>& info) { return std::string(info.param.name); });

// The outcome of a search reads back only from a search's event.
TEST(ScaleEventSearch, OnlySearchEventsCarryARate) {
    const ScaleEvent found = ScaleFoundEvent(ScaleProtocol::EscPolled, 1200);
    EXPECT_EQ(ScaleEventProtocol(found), ScaleProtocol::EscPolled);
    EXPECT_EQ(ScaleEventBaud(found), 1200u);
    EXPECT_EQ(ScaleEventBaud(NothingFoundEvent(19200, true)), 19200u);
    EXPECT_EQ(ScaleEventProtocol(NothingFoundEvent(19200, true)), ScaleProtocol::Automatic);
    ScaleEvent reading;
    reading.hundredths = static_cast<std::int32_t>(ScaleFoundEvent(ScaleProtocol::EscPolled, 1200).hundredths);
    EXPECT_EQ(ScaleEventBaud(reading), 0u);
    EXPECT_EQ(ScaleEventProtocol(reading), ScaleProtocol::Automatic);
}

}  // namespace
}  // namespace lacqueron
