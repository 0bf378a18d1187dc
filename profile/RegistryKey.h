// The registry key object, always below HKEY_CURRENT_USER: the profile values and the
// bench settings go through it. Two accesses do not: the recent colours' string list
// (ui/find/RecentColourStore.cpp), a REG_MULTI_SZ the object has no value kind for,
// read and written on its handle; and the list of COM ports (port/ComPorts.cpp), read
// from HKEY_LOCAL_MACHINE.
#pragma once

#include <windows.h>

#include <utility>

#include "core/RegistryKeyInterface.h"
#include "core/WideString.h"
#include "win32/Handles.h"

namespace lacqueron {

class RegistryKey final : public ObjectImpl<IRegistryKey, RegistryKey> {
public:
    static constexpr Guid kInterfaceIds[] = {iid::RegistryKey, iid::RegistryKeyBase};

    // Takes over the handle.
    RegistryKey(RegistryHandle handle, WideString path, bool readOnly) noexcept
        : handle_(std::move(handle)), path_(std::move(path)), readOnly_(readOnly) {}
    ~RegistryKey() override;

    const char16_t* GetName() noexcept override;
    RefPtr<IRegistryKey> OpenSubKey(const char16_t* name, int flags) noexcept override;
    int DeleteSubKey(const char16_t* name) noexcept override;
    int DeleteAllSubKeys() noexcept override;
    RefPtr<IKeyNameEnumerator> EnumSubKeys() noexcept override;
    int GetValueKind(const char16_t* valueName) noexcept override;
    int GetTagged8(const char16_t* valueName, std::uint8_t out[8]) noexcept override;
    std::int32_t GetString(const char16_t* valueName, char16_t* buffer, std::uint32_t size) noexcept override;
    int GetDword(const char16_t* valueName, std::int32_t* out) noexcept override;
    int GetTagged4(const char16_t* valueName, std::uint8_t out[4]) noexcept override;
    std::int32_t GetBinary(const char16_t* valueName, std::uint8_t* buffer, std::uint32_t size) noexcept override;
    int SetTagged8(const char16_t* valueName, const std::uint8_t value[8]) noexcept override;
    int SetString(const char16_t* valueName, const char16_t* text) noexcept override;
    int SetDword(const char16_t* valueName, std::int32_t value) noexcept override;
    int SetTagged4(const char16_t* valueName, const std::uint8_t value[4]) noexcept override;
    int SetBinary(const char16_t* valueName, const std::uint8_t* bytes, std::uint32_t length) noexcept override;
    int DeleteValue(const char16_t* valueName) noexcept override;
    int DeleteAllValues() noexcept override;
    RefPtr<IKeyNameEnumerator> EnumValues() noexcept override;
    int Attach(Handle handle, const char16_t* path) noexcept override;
    Handle GetHandle() noexcept override { return handle_.get(); }
    const char16_t* GetPath() noexcept override { return path_.c_str(); }

private:
    // The tagged value of exactly `size` bytes starting with `tag`, payload into out.
    bool ReadTagged(const char16_t* valueName, std::uint8_t tag, std::uint8_t* out, std::uint32_t size) noexcept;
    bool WriteTagged(const char16_t* valueName, std::uint8_t tag, const std::uint8_t* value, std::uint32_t size) noexcept;

    RegistryHandle handle_;
    WideString name_;  // cached by GetName
    WideString path_;
    bool readOnly_;
};

// Opens the key at path below HKEY_CURRENT_USER, creating missing components; "\" and
// "/" both separate. An empty path wraps HKEY_CURRENT_USER itself. Null on failure.
RefPtr<IRegistryKey> OpenRegistryPath(const char16_t* path) noexcept;

// Software\VELM\Lacqueron\1.0\Profile, built once; the string lives until exit.
const WideString& GetProfileKeyPath() noexcept;

}  // namespace lacqueron
