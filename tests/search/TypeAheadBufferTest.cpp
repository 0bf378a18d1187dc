// The typed text after a run of keys with their times.
#include "search/TypeAheadBuffer.h"

#include <gtest/gtest.h>

#include <vector>

namespace lacqueron {
namespace {

constexpr char16_t kBackspace = u'\b';

struct Key {
    char16_t c;
    std::uint32_t time;
};

struct TypingCase {
    const char* what;
    std::vector<Key> keys;
    WideString text;
};

void PrintTo(const TypingCase& c, std::ostream* out) { *out << c.what; }

class TypeAheadBufferTest : public ::testing::TestWithParam<TypingCase> {};

TEST_P(TypeAheadBufferTest, GathersKeysUntilAPause) {
    TypeAheadBuffer buffer;
    for (const Key& key : GetParam().keys) {
        if (key.c == kBackspace)
            buffer.Backspace(key.time);
        else
            buffer.Type(key.c, key.time);
    }
    EXPECT_EQ(buffer.Text(), GetParam().text);
}

constexpr std::uint32_t kLate = 0xFFFFFF00u;

INSTANTIATE_TEST_SUITE_P(Runs, TypeAheadBufferTest, ::testing::Values(
    TypingCase{"quick keys gather", {{u'3', 0}, {u'0', 100}, {u'2', 200}, {u'0', 300}}, u"3020"},
    TypingCase{"just under a second still gathers", {{u'3', 0}, {u'0', 999}}, u"30"},
    TypingCase{"a second's pause starts anew", {{u'3', 0}, {u'0', 100}, {u'5', 1100}}, u"5"},
    TypingCase{"backspace removes the last", {{u'с', 0}, {u'и', 10}, {kBackspace, 20}, {u'е', 30}}, u"се"},
    TypingCase{"backspace after a pause leaves nothing", {{u'3', 0}, {kBackspace, 5000}}, u""},
    TypingCase{"backspace on nothing", {{kBackspace, 0}, {kBackspace, 10}}, u""},
    TypingCase{"the clock wraps", {{u'a', kLate}, {u'b', kLate + 0x1F0u}}, u"ab"},
    TypingCase{"a surrogate pair goes whole", {{u'a', 0}, {u'\xD83D', 1}, {u'\xDE00', 2}, {kBackspace, 3}}, u"a"}));

}  // namespace
}  // namespace lacqueron
