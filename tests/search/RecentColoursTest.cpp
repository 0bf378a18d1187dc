// The recent-colour list: what noting a colour does, and the stored content read
// back, damaged content refused.
#include "search/RecentColours.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

namespace lacqueron {
namespace {

using Titles = std::vector<WideString>;

TEST(RecentColoursTest, KeepsTenDistinctNewestFirstAndReadsBackWhatItWrites) {
    RecentColours recent;
    for (int i = 0; i < 12; ++i) recent.Note(u"RAL 10" + WideString(1, static_cast<char16_t>(u'A' + i)));
    EXPECT_TRUE(recent.Note(u"RAL 10E"));
    EXPECT_FALSE(recent.Note(u"RAL 10E"));
    EXPECT_FALSE(recent.Note(u" "));
    const Titles expected = {u"RAL 10E", u"RAL 10L", u"RAL 10K", u"RAL 10J", u"RAL 10I",
                             u"RAL 10H", u"RAL 10G", u"RAL 10F", u"RAL 10D", u"RAL 10C"};
    EXPECT_EQ(recent.Titles(), expected);
    const std::optional<RecentColours> back = RecentColours::Parse(recent.Serialise());
    ASSERT_TRUE(back);
    EXPECT_EQ(back->Titles(), expected);
}

struct StoredCase {
    std::u16string_view content;
    std::optional<Titles> titles;  // nullopt: damaged
};

class RecentColoursParseTest : public ::testing::TestWithParam<StoredCase> {};

TEST_P(RecentColoursParseTest, ReadsTheStringList) {
    const std::optional<RecentColours> parsed = RecentColours::Parse(GetParam().content);
    ASSERT_EQ(parsed.has_value(), GetParam().titles.has_value());
    if (parsed) {
        EXPECT_EQ(parsed->Titles(), *GetParam().titles);
    }
}

using namespace std::string_view_literals;

INSTANTIATE_TEST_SUITE_P(Contents, RecentColoursParseTest, ::testing::Values(
    StoredCase{u""sv, Titles{}}, StoredCase{u"\0"sv, Titles{}}, StoredCase{u"\0\0"sv, Titles{}},
    StoredCase{u"RAL 3020\0RAL 1000\0\0"sv, Titles{u"RAL 3020", u"RAL 1000"}},
    StoredCase{u"RAL 3020\0RAL 1000\0"sv, Titles{u"RAL 3020", u"RAL 1000"}},
    StoredCase{u"RAL 3020\0RAL 3020\0\0"sv, Titles{u"RAL 3020"}},
    StoredCase{u"RAL 3020"sv, std::nullopt}, StoredCase{u"RAL 3020\0\0\0"sv, std::nullopt},
    StoredCase{u"\0RAL 3020\0\0"sv, std::nullopt}, StoredCase{u"RAL\t3020\0\0"sv, std::nullopt},
    StoredCase{u"RAL 3020_RAL 3020_RAL 3020_RAL 3020_RAL 3020_RAL 3020_RAL 3020_RAL 3020_\0\0"sv,
               std::nullopt}));

}  // namespace
}  // namespace lacqueron
