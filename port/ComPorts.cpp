#include "port/ComPorts.h"

#include <windows.h>

#include <algorithm>
#include <new>

#include "core/WideString.h"
#include "profile/RegistryKey.h"
#include "scale/ScaleSettings.h"

namespace lacqueron {
namespace {

// QueryDosDeviceW answers ERROR_INSUFFICIENT_BUFFER without saying how much it needs.
constexpr DWORD kFirstDeviceListSize = 16 * 1024;
constexpr DWORD kMaxDeviceListSize = 1024 * 1024;
constexpr DWORD kValueBufferSize = 256;

void AddPort(std::vector<std::uint32_t>& ports, const wchar_t* name) {
    const std::uint32_t port = ParseScalePortName(reinterpret_cast<const char16_t*>(name));
    if (port != kManualEntry) ports.push_back(port);
}

void AddDosDevicePorts(std::vector<std::uint32_t>& ports) {
    std::vector<wchar_t> names(kFirstDeviceListSize);
    DWORD length = 0;
    while ((length = QueryDosDeviceW(nullptr, names.data(), static_cast<DWORD>(names.size()))) == 0) {
        if (GetLastError() != ERROR_INSUFFICIENT_BUFFER || names.size() >= kMaxDeviceListSize) return;
        names.resize(names.size() * 2);
    }
    // Names separated by NULs, the list ended by a second one.
    for (const wchar_t* name = names.data(); name < names.data() + length && *name != L'\0'; name += wcslen(name) + 1)
        AddPort(ports, name);
}

void AddSerialCommPorts(std::vector<std::uint32_t>& ports) {
    HKEY opened = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, KEY_QUERY_VALUE, &opened) != ERROR_SUCCESS)
        return;
    const RegistryHandle key(opened);
    for (DWORD index = 0;; ++index) {
        wchar_t valueName[kValueBufferSize];
        DWORD nameLength = kValueBufferSize;
        wchar_t data[kValueBufferSize] = {};
        DWORD dataSize = sizeof data - sizeof(wchar_t);  // room for a terminator the value may lack
        DWORD type = 0;
        const LONG result = RegEnumValueW(key.get(), index, valueName, &nameLength, nullptr, &type,
                                          reinterpret_cast<BYTE*>(data), &dataSize);
        if (result == ERROR_MORE_DATA) continue;  // not a port name: far too long
        if (result != ERROR_SUCCESS) return;      // the end of the list, or the key is gone
        if (type == REG_SZ) AddPort(ports, data);
    }
}

}  // namespace

std::vector<std::uint32_t> ListComPorts() noexcept {
    try {
        std::vector<std::uint32_t> ports;
        AddDosDevicePorts(ports);
        AddSerialCommPorts(ports);
        std::sort(ports.begin(), ports.end());
        ports.erase(std::unique(ports.begin(), ports.end()), ports.end());
        return ports;
    } catch (const std::bad_alloc&) {
        return {};
    }
}

}  // namespace lacqueron
