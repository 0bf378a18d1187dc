// The scale settings as stored in the bench key: every value missing, of another type
// or out of range falls back, and writing stores all four, each of its own type.
#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <variant>

#include "scale/ScaleSettings.h"
#include "tests/support/NullRegistryKey.h"

namespace lacqueron {
namespace {

// Values by name: a number (REG_DWORD) or a text (REG_SZ).
using Stored = std::variant<std::int32_t, WideString>;

class MapKey final : public test::NullRegistryKey<MapKey> {
public:
    static constexpr Guid kInterfaceIds[] = {iid::RegistryKey};
    std::map<WideString, Stored> values;

    std::int32_t GetString(const char16_t* name, char16_t* buffer, std::uint32_t size) noexcept override {
        const auto it = values.find(name);
        if (it == values.end() || !std::holds_alternative<WideString>(it->second)) return -1;
        const WideString& text = std::get<WideString>(it->second);
        const auto bytes = static_cast<std::int32_t>((text.size() + 1) * sizeof(char16_t));
        if (buffer == nullptr) return bytes;
        const std::size_t copied = std::min<std::size_t>(text.size(), size - 1);
        text.copy(buffer, copied);
        buffer[copied] = u'\0';
        return bytes;
    }
    int GetDword(const char16_t* name, std::int32_t* out) noexcept override {
        const auto it = values.find(name);
        if (it == values.end() || !std::holds_alternative<std::int32_t>(it->second)) return 0;
        *out = std::get<std::int32_t>(it->second);
        return 1;
    }
    int SetString(const char16_t* name, const char16_t* text) noexcept override {
        values[name] = WideString(text);
        return 1;
    }
    int SetDword(const char16_t* name, std::int32_t value) noexcept override {
        values[name] = value;
        return 1;
    }
};

struct SettingsCase {
    const char* name;
    std::map<WideString, Stored> stored;
    ScaleSettings expected;
};

std::ostream& operator<<(std::ostream& out, const SettingsCase& c) { return out << c.name; }

class StoredScaleSettings : public testing::TestWithParam<SettingsCase> {};

TEST_P(StoredScaleSettings, ReadWithFallbacks) {
    const SettingsCase& c = GetParam();
    auto key = RefPtr<MapKey>::Adopt(new MapKey);
    key->values = c.stored;
    EXPECT_EQ(ReadScaleSettings(key.get()), c.expected);
}

constexpr ScaleSettings kDefaults{};
constexpr ScaleSettings kCom5Polled{5, 19200, ScaleProtocol::Polled, true};

INSTANTIATE_TEST_SUITE_P(
    Cases, StoredScaleSettings,
    testing::Values(
        SettingsCase{"nothing_stored", {}, kDefaults},
        SettingsCase{"all_valid",
                     {{u"ScalePort", WideString(u"COM5")}, {u"ScaleBaud", 19200}, {u"ScaleProtocol", 1},
                      {u"AutoRecord", 1}},
                     kCom5Polled},
        SettingsCase{"extremes", {{u"ScalePort", WideString(u"com256")}, {u"ScaleBaud", 115200}, {u"ScaleProtocol", 6}},
                     {256, 115200, ScaleProtocol::Prefixed, false}},
        SettingsCase{"empty_port_is_manual", {{u"ScalePort", WideString()}, {u"ScaleBaud", 1200}},
                     {kManualEntry, 1200, ScaleProtocol::Automatic, false}},
        SettingsCase{"out_of_range",
                     {{u"ScalePort", WideString(u"COM257")}, {u"ScaleBaud", 9601}, {u"ScaleProtocol", 7},
                      {u"AutoRecord", 2}},
                     kDefaults},
        SettingsCase{"negative_numbers", {{u"ScaleBaud", -9600}, {u"ScaleProtocol", -1}, {u"AutoRecord", -1}},
                     kDefaults},
        SettingsCase{"wrong_types",
                     {{u"ScalePort", 5}, {u"ScaleBaud", WideString(u"19200")}, {u"AutoRecord", WideString(u"1")}},
                     kDefaults},
        SettingsCase{"bad_port_names", {{u"ScalePort", WideString(u"COM0")}}, kDefaults},
        SettingsCase{"leading_zero", {{u"ScalePort", WideString(u"COM05")}}, kDefaults},
        SettingsCase{"trailing_text", {{u"ScalePort", WideString(u"COM5 ")}}, kDefaults},
        SettingsCase{"device_path", {{u"ScalePort", WideString(u"\\\\.\\COM5")}}, kDefaults},
        SettingsCase{"long_name_cut_to_a_valid_one", {{u"ScalePort", WideString(u"COM1") + WideString(40, u'0')}},
                     kDefaults}),
    [](const testing::TestParamInfo<SettingsCase>& info) { return std::string(info.param.name); });

struct WrittenCase {
    const char* name;
    ScaleSettings settings;
    std::map<WideString, Stored> written;
};

std::ostream& operator<<(std::ostream& out, const WrittenCase& c) { return out << c.name; }

class WrittenScaleSettings : public testing::TestWithParam<WrittenCase> {};

// Writing mends whatever was stored badly: all four values, each of its own type.
TEST_P(WrittenScaleSettings, WritesAllFourValues) {
    const WrittenCase& c = GetParam();
    auto key = RefPtr<MapKey>::Adopt(new MapKey);
    key->values = {{u"ScalePort", 5}, {u"ScaleBaud", WideString(u"19200")}, {u"Other", 1}};
    WriteScaleSettings(key.get(), c.settings);
    std::map<WideString, Stored> expected = c.written;
    expected[u"Other"] = 1;
    EXPECT_EQ(key->values, expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, WrittenScaleSettings,
    testing::Values(
        WrittenCase{"manual_entry",
                    kDefaults,
                    {{u"ScalePort", WideString()}, {u"ScaleBaud", 9600}, {u"ScaleProtocol", 0}, {u"AutoRecord", 0}}},
        WrittenCase{"com5_polled",
                    kCom5Polled,
                    {{u"ScalePort", WideString(u"COM5")}, {u"ScaleBaud", 19200}, {u"ScaleProtocol", 1},
                     {u"AutoRecord", 1}}},
        WrittenCase{"com256_continuous",
                    {256, 115200, ScaleProtocol::Continuous, false},
                    {{u"ScalePort", WideString(u"COM256")}, {u"ScaleBaud", 115200}, {u"ScaleProtocol", 2},
                     {u"AutoRecord", 0}}},
        WrittenCase{"port_out_of_range_writes_the_defaults",
                    {257, 19200, ScaleProtocol::Polled, true},
                    {{u"ScalePort", WideString()}, {u"ScaleBaud", 9600}, {u"ScaleProtocol", 0}, {u"AutoRecord", 0}}}),
    [](const testing::TestParamInfo<WrittenCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace lacqueron
