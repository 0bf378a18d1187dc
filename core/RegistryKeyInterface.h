// The registry key interface. It is portable so that the catalogue loader reads the
// profile through it on every platform; the Windows implementation is in profile/.
#pragma once

#include <cstdint>

#include "core/Object.h"

namespace lacqueron {

// A snapshot of key or value names.
class IKeyNameEnumerator : public IObject {
public:
    virtual int Next(std::uint32_t count, const char16_t** names, std::uint32_t* fetched) noexcept = 0;
    virtual int Skip(std::uint32_t count) noexcept = 0;
    virtual void Reset() noexcept = 0;

protected:
    ~IKeyNameEnumerator() = default;
};

// Kind codes of GetValueKind.
enum RegistryValueKind : int {
    kValueMissing = 0,
    kValueDword = 1,
    kValueString = 2,
    kValueBinary = 3,
    kValueTagged8 = 4,
    kValueTagged4 = 5,
};

// Bits of OpenSubKey's flags.
enum OpenSubKeyFlags : int {
    kOpenExisting = 0,
    kCreateIfMissing = 1,
};

// Operations 3 to 24. Handles are the platform's HKEY, carried as an opaque pointer.
class IRegistryKey : public IObject {
public:
    using Handle = void*;

    virtual const char16_t* GetName() noexcept = 0;
    virtual RefPtr<IRegistryKey> OpenSubKey(const char16_t* name, int flags) noexcept = 0;
    virtual int DeleteSubKey(const char16_t* name) noexcept = 0;
    virtual int DeleteAllSubKeys() noexcept = 0;
    virtual RefPtr<IKeyNameEnumerator> EnumSubKeys() noexcept = 0;
    virtual int GetValueKind(const char16_t* valueName) noexcept = 0;
    virtual int GetTagged8(const char16_t* valueName, std::uint8_t out[8]) noexcept = 0;
    virtual std::int32_t GetString(const char16_t* valueName, char16_t* buffer, std::uint32_t size) noexcept = 0;
    // 1 and the value when it exists as a 32-bit number; otherwise 0 and *out untouched.
    virtual int GetDword(const char16_t* valueName, std::int32_t* out) noexcept = 0;
    virtual int GetTagged4(const char16_t* valueName, std::uint8_t out[4]) noexcept = 0;
    virtual std::int32_t GetBinary(const char16_t* valueName, std::uint8_t* buffer, std::uint32_t size) noexcept = 0;
    virtual int SetTagged8(const char16_t* valueName, const std::uint8_t value[8]) noexcept = 0;
    virtual int SetString(const char16_t* valueName, const char16_t* text) noexcept = 0;
    virtual int SetDword(const char16_t* valueName, std::int32_t value) noexcept = 0;
    virtual int SetTagged4(const char16_t* valueName, const std::uint8_t value[4]) noexcept = 0;
    virtual int SetBinary(const char16_t* valueName, const std::uint8_t* bytes, std::uint32_t length) noexcept = 0;
    virtual int DeleteValue(const char16_t* valueName) noexcept = 0;
    virtual int DeleteAllValues() noexcept = 0;
    virtual RefPtr<IKeyNameEnumerator> EnumValues() noexcept = 0;
    virtual int Attach(Handle handle, const char16_t* path) noexcept = 0;
    virtual Handle GetHandle() noexcept = 0;
    virtual const char16_t* GetPath() noexcept = 0;

protected:
    ~IRegistryKey() = default;
};

}  // namespace lacqueron
