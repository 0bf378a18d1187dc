// Which table a draft or a correction uses, and the name it gives it.
#include <gtest/gtest.h>

#include <string>

#include "core/Utf8.h"
#include "tint/OpticsInForce.h"

namespace lacqueron {
namespace {

std::string TableText(const char* code, double falloff) {
    colour::OpticsTable table;
    table.falloff = falloff;
    table.baseK.fill(0.01);
    table.baseS.fill(1);
    colour::PasteOptics paste;
    paste.code = code;
    paste.k.fill(0.5);
    paste.s.fill(0.2);
    table.pastes.push_back(paste);
    return colour::WriteOptics(table);
}

constexpr std::int64_t kEvening = 1796684400;  // 07.12.2026 23:00 UTC
constexpr std::int32_t kMoscow = 180;          // already 08.12 there
constexpr std::int32_t kUtc = 0;

enum class Latest { kNone, kCalibrated, kVendor, kUnreadable };

struct Case {
    const char* name;
    Latest latest;
    std::int32_t offset;
    const char* vendorPaste;  // null: the vendor's table does not read either
    const char* wantPaste;    // null: no table
    const char* wantSource;
    bool wantShop;
};

class OpticsInForceTest : public testing::TestWithParam<Case> {};

TEST_P(OpticsInForceTest, PicksAndNames) {
    const Case& c = GetParam();
    OpticsEntry entry;
    entry.time = {kEvening, c.offset};
    entry.vendor = c.latest == Latest::kVendor;
    if (c.latest == Latest::kCalibrated) entry.optics = TableText("SHOP", 0.3);
    if (c.latest == Latest::kUnreadable) entry.optics = "optics\t1\nsurface\tx\n";
    const std::string vendor = c.vendorPaste ? TableText(c.vendorPaste, 0.1) : std::string("not a table");
    const OpticsInForce chosen = ChooseOptics(c.latest == Latest::kNone ? nullptr : &entry, vendor);
    if (c.wantPaste == nullptr) {
        EXPECT_FALSE(chosen.table);
    } else {
        ASSERT_TRUE(chosen.table);
        ASSERT_EQ(chosen.table->pastes.size(), 1u);
        EXPECT_EQ(chosen.table->pastes.front().code, c.wantPaste);
    }
    EXPECT_EQ(ToUtf8(chosen.source), c.wantSource);
    EXPECT_EQ(chosen.shop, c.wantShop);
}

INSTANTIATE_TEST_SUITE_P(
    Tables, OpticsInForceTest,
    testing::ValuesIn(std::vector<Case>{
        {"NoneKept", Latest::kNone, kMoscow, "VEND", "VEND", "данные поставщика", false},
        {"Calibrated", Latest::kCalibrated, kMoscow, "VEND", "SHOP", "калибровка мастерской от 08.12.2026", true},
        {"CalibratedByUtcDay", Latest::kCalibrated, kUtc, "VEND", "SHOP", "калибровка мастерской от 07.12.2026", true},
        {"BackToVendor", Latest::kVendor, kMoscow, "VEND", "VEND", "данные поставщика", false},
        {"UnreadableGivesWay", Latest::kUnreadable, kMoscow, "VEND", "VEND", "данные поставщика", false},
        {"CalibratedWithoutVendor", Latest::kCalibrated, kMoscow, nullptr, "SHOP",
         "калибровка мастерской от 08.12.2026", true},
        {"NeitherReads", Latest::kUnreadable, kMoscow, nullptr, nullptr, "данные поставщика", false},
    }),
    [](const testing::TestParamInfo<Case>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace lacqueron
