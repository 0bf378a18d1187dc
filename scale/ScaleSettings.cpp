#include "scale/ScaleSettings.h"

#include <algorithm>
#include <iterator>

#include "core/IntegerText.h"

namespace lacqueron {
namespace {

constexpr const char16_t* kPortValue = u"ScalePort";
constexpr const char16_t* kBaudValue = u"ScaleBaud";
constexpr const char16_t* kProtocolValue = u"ScaleProtocol";
constexpr const char16_t* kAutoRecordValue = u"AutoRecord";

// Room for "COM256" and more, so that a longer stored name is seen as one.
constexpr std::uint32_t kPortNameBuffer = 16;

bool IsDigit(char16_t c) noexcept { return c >= u'0' && c <= u'9'; }
char16_t LatinUpper(char16_t c) noexcept { return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - u'a' + u'A') : c; }

// The stored number when it exists as a REG_DWORD in [0, limit]; else fallback.
std::uint32_t ReadNumber(IRegistryKey* key, const char16_t* name, std::uint32_t limit, std::uint32_t fallback) noexcept {
    std::int32_t stored = 0;
    if (!key->GetDword(name, &stored) || stored < 0 || static_cast<std::uint32_t>(stored) > limit) return fallback;
    return static_cast<std::uint32_t>(stored);
}

}  // namespace

std::uint32_t ParseScalePortName(const char16_t* text) noexcept {
    if (text == nullptr || LatinUpper(text[0]) != u'C' || LatinUpper(text[1]) != u'O' || LatinUpper(text[2]) != u'M')
        return kManualEntry;
    const char16_t* digits = text + 3;
    if (!IsDigit(digits[0]) || digits[0] == u'0') return kManualEntry;
    std::uint32_t port = 0;
    for (const char16_t* p = digits; *p != u'\0'; ++p) {
        if (!IsDigit(*p)) return kManualEntry;
        port = port * 10 + (*p - u'0');
        if (port > kMaxScalePort) return kManualEntry;
    }
    return port;
}

WideString ScalePortName(std::uint32_t port) {
    if (port == kManualEntry || port > kMaxScalePort) return {};
    return u"COM" + IntegerText(port);
}

ScaleSettings ReadScaleSettings(IRegistryKey* key) noexcept {
    ScaleSettings settings;
    if (key == nullptr) return settings;

    char16_t name[kPortNameBuffer] = {};
    const std::int32_t size = key->GetString(kPortValue, nullptr, 0);
    if (size > 0 && static_cast<std::uint32_t>(size) <= sizeof name && key->GetString(kPortValue, name, kPortNameBuffer) >= 0)
        settings.port = ParseScalePortName(name);

    const std::uint32_t baud = ReadNumber(key, kBaudValue, UINT32_MAX, kDefaultScaleBaud);
    if (std::find(std::begin(kScaleBauds), std::end(kScaleBauds), baud) != std::end(kScaleBauds)) settings.baud = baud;
    settings.protocol = static_cast<ScaleProtocol>(
        ReadNumber(key, kProtocolValue, static_cast<std::uint32_t>(kLastScaleProtocol), 0));
    settings.autoRecord = ReadNumber(key, kAutoRecordValue, 1, 0) == 1;
    return settings;
}

void WriteScaleSettings(IRegistryKey* key, const ScaleSettings& settings) noexcept {
    if (key == nullptr) return;
    const ScaleSettings valid = settings.port <= kMaxScalePort ? settings : ScaleSettings{};
    try {
        key->SetString(kPortValue, ScalePortName(valid.port).c_str());
    } catch (...) {
        // No memory for the name: the stored port stays as it was.
    }
    key->SetDword(kBaudValue, static_cast<std::int32_t>(valid.baud));
    key->SetDword(kProtocolValue, static_cast<std::int32_t>(valid.protocol));
    key->SetDword(kAutoRecordValue, valid.autoRecord ? 1 : 0);
}

}  // namespace lacqueron
