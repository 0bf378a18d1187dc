// A registry key whose every operation reports failure, for fakes to override the few
// operations their test needs. Derived lists its interface ids as ObjectImpl expects.
#pragma once

#include "core/Object.h"
#include "core/RegistryKeyInterface.h"

namespace lacqueron::test {

template <class Derived>
class NullRegistryKey : public ObjectImpl<IRegistryKey, Derived> {
public:
    const char16_t* GetName() noexcept override { return u""; }
    RefPtr<IRegistryKey> OpenSubKey(const char16_t*, int) noexcept override { return nullptr; }
    int DeleteSubKey(const char16_t*) noexcept override { return 0; }
    int DeleteAllSubKeys() noexcept override { return 0; }
    RefPtr<IKeyNameEnumerator> EnumSubKeys() noexcept override { return nullptr; }
    int GetValueKind(const char16_t*) noexcept override { return kValueMissing; }
    int GetTagged8(const char16_t*, std::uint8_t*) noexcept override { return 0; }
    std::int32_t GetString(const char16_t*, char16_t*, std::uint32_t) noexcept override { return -1; }
    int GetDword(const char16_t*, std::int32_t*) noexcept override { return 0; }
    int GetTagged4(const char16_t*, std::uint8_t*) noexcept override { return 0; }
    std::int32_t GetBinary(const char16_t*, std::uint8_t*, std::uint32_t) noexcept override { return -1; }
    int SetTagged8(const char16_t*, const std::uint8_t*) noexcept override { return 0; }
    int SetString(const char16_t*, const char16_t*) noexcept override { return 0; }
    int SetDword(const char16_t*, std::int32_t) noexcept override { return 0; }
    int SetTagged4(const char16_t*, const std::uint8_t*) noexcept override { return 0; }
    int SetBinary(const char16_t*, const std::uint8_t*, std::uint32_t) noexcept override { return 0; }
    int DeleteValue(const char16_t*) noexcept override { return 0; }
    int DeleteAllValues() noexcept override { return 0; }
    RefPtr<IKeyNameEnumerator> EnumValues() noexcept override { return nullptr; }
    int Attach(IRegistryKey::Handle, const char16_t*) noexcept override { return 0; }
    IRegistryKey::Handle GetHandle() noexcept override { return nullptr; }
    const char16_t* GetPath() noexcept override { return u""; }
};

}  // namespace lacqueron::test
