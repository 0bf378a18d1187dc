#include "profile/RegistryKey.h"

#include <cstring>
#include <cwchar>
#include <string>
#include <new>
#include <vector>

namespace lacqueron {
namespace {

constexpr REGSAM kReadWriteAccess = KEY_READ | KEY_SET_VALUE | KEY_CREATE_SUB_KEY;
constexpr std::uint8_t kTag8 = 0x04;
constexpr std::uint8_t kTag4 = 0x05;
constexpr DWORD kFallbackNameLength = 512;

const wchar_t* W(const char16_t* text) noexcept { return reinterpret_cast<const wchar_t*>(text); }
const wchar_t* WOrEmpty(const char16_t* text) noexcept { return text ? W(text) : L""; }

bool IsSeparator(char16_t c) noexcept { return c == u'\\' || c == u'/'; }

// A snapshot of names: one copy of the joined names, cut at "\", and pointers into it.
class KeyNameEnumerator final : public ObjectImpl<IKeyNameEnumerator, KeyNameEnumerator> {
public:
    static constexpr Guid kInterfaceIds[] = {iid::Null};

    explicit KeyNameEnumerator(WideString joined) : text_(std::move(joined)) {
        std::size_t start = 0;
        for (std::size_t i = 0; i <= text_.size(); ++i) {
            if (i < text_.size() && text_[i] != u'\\') continue;
            if (i < text_.size()) text_[i] = u'\0';
            if (i > start) starts_.push_back(start);
            start = i + 1;
        }
        for (std::size_t s : starts_) names_.push_back(text_.c_str() + s);
    }

    int Next(std::uint32_t count, const char16_t** names, std::uint32_t* fetched) noexcept override {
        std::uint32_t copied = 0;
        while (copied < count && index_ < names_.size()) names[copied++] = names_[index_++];
        if (fetched) *fetched = copied;
        return copied > 0 ? 1 : 0;
    }
    // Past the end the index just stays there: Next then finds nothing.
    int Skip(std::uint32_t count) noexcept override {
        index_ = count >= names_.size() - index_ ? names_.size() : index_ + count;
        return 1;
    }
    void Reset() noexcept override { index_ = 0; }

private:
    WideString text_;
    std::vector<std::size_t> starts_;
    std::vector<const char16_t*> names_;
    std::size_t index_ = 0;
};

// Joins the names that `enumerate(index, buffer, length)` yields until it fails.
template <class Enumerate>
RefPtr<IKeyNameEnumerator> Snapshot(DWORD longest, Enumerate enumerate) noexcept {
    try {
        std::vector<wchar_t> buffer(longest + 1);
        WideString joined;
        bool any = false;
        for (DWORD index = 0;; ++index) {
            DWORD length = static_cast<DWORD>(buffer.size());
            if (enumerate(index, buffer.data(), &length) != ERROR_SUCCESS) break;
            any = true;
            if (length == 0) continue;  // the unnamed default value
            if (!joined.empty()) joined += u'\\';
            joined += FromWinText(buffer.data(), length);
        }
        auto* enumerator = NewObject<KeyNameEnumerator>(any ? std::move(joined) : WideString());
        return RefPtr<IKeyNameEnumerator>::Adopt(enumerator);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

}  // namespace

RegistryKey::~RegistryKey() { Attach(nullptr, nullptr); }

const char16_t* RegistryKey::GetName() noexcept {
    if (name_.empty()) {
        std::size_t cut = path_.find_last_of(u"\\/");
        name_ = cut == WideString::npos ? path_ : path_.substr(cut + 1);
    }
    return name_.c_str();
}

RefPtr<IRegistryKey> RegistryKey::OpenSubKey(const char16_t* name, int flags) noexcept {
    const REGSAM access = readOnly_ ? KEY_READ : kReadWriteAccess;
    HKEY opened = nullptr;
    LONG status = (flags & kCreateIfMissing)
        ? RegCreateKeyExW(handle_.get(), WOrEmpty(name), 0, const_cast<wchar_t*>(L""), 0, access, nullptr,
                          &opened, nullptr)
        : RegOpenKeyExW(handle_.get(), WOrEmpty(name), 0, access, &opened);
    if (status != ERROR_SUCCESS) return nullptr;
    RegistryHandle owned(opened);
    try {
        WideString path = path_ + u'\\' + (name ? WideString(name) : WideString());
        return RefPtr<IRegistryKey>::Adopt(NewObject<RegistryKey>(std::move(owned), std::move(path), readOnly_));
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

int RegistryKey::DeleteSubKey(const char16_t* name) noexcept {
    {
        RefPtr<IRegistryKey> child = OpenSubKey(name, kOpenExisting);
        if (!child) return 1;
        child->DeleteAllSubKeys();
        child->DeleteAllValues();
    }
    return RegDeleteKeyW(handle_.get(), WOrEmpty(name)) == ERROR_SUCCESS ? 1 : 0;
}

int RegistryKey::DeleteAllSubKeys() noexcept {
    RefPtr<IKeyNameEnumerator> names = EnumSubKeys();
    if (!names) return 0;
    // Goes on past a failure, so as much as possible is gone either way.
    int all = 1;
    const char16_t* name = nullptr;
    while (names->Next(1, &name, nullptr))
        if (!DeleteSubKey(name)) all = 0;
    return all;
}

RefPtr<IKeyNameEnumerator> RegistryKey::EnumSubKeys() noexcept {
    DWORD longest = 0;
    if (RegQueryInfoKeyW(handle_.get(), nullptr, nullptr, nullptr, nullptr, &longest, nullptr, nullptr, nullptr,
                         nullptr, nullptr, nullptr) != ERROR_SUCCESS)
        longest = kFallbackNameLength;
    HKEY key = handle_.get();
    return Snapshot(longest, [key](DWORD index, wchar_t* buffer, DWORD* length) {
        return RegEnumKeyExW(key, index, buffer, length, nullptr, nullptr, nullptr, nullptr);
    });
}

RefPtr<IKeyNameEnumerator> RegistryKey::EnumValues() noexcept {
    DWORD longest = 0;
    if (RegQueryInfoKeyW(handle_.get(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &longest,
                         nullptr, nullptr, nullptr) != ERROR_SUCCESS)
        longest = kFallbackNameLength;
    HKEY key = handle_.get();
    return Snapshot(longest, [key](DWORD index, wchar_t* buffer, DWORD* length) {
        return RegEnumValueW(key, index, buffer, length, nullptr, nullptr, nullptr, nullptr);
    });
}

int RegistryKey::GetValueKind(const char16_t* valueName) noexcept {
    DWORD type = 0;
    if (RegQueryValueExW(handle_.get(), WOrEmpty(valueName), nullptr, &type, nullptr, nullptr) != ERROR_SUCCESS)
        return kValueMissing;
    switch (type) {
    case REG_DWORD: return kValueDword;
    case REG_SZ:
    case REG_MULTI_SZ: return kValueString;
    case REG_BINARY: {
        std::uint8_t probe[8];
        if (GetTagged8(valueName, probe)) return kValueTagged8;
        if (GetTagged4(valueName, probe)) return kValueTagged4;
        return kValueBinary;
    }
    default: return kValueMissing;
    }
}

bool RegistryKey::ReadTagged(const char16_t* valueName, std::uint8_t tag, std::uint8_t* out,
                             std::uint32_t size) noexcept {
    DWORD type = 0;
    std::uint8_t bytes[9] = {};
    DWORD length = sizeof bytes;
    if (RegQueryValueExW(handle_.get(), WOrEmpty(valueName), nullptr, &type, bytes, &length) != ERROR_SUCCESS)
        return false;
    if (type != REG_BINARY || length != size + 1 || bytes[0] != tag) return false;
    std::memcpy(out, bytes + 1, size);
    return true;
}

int RegistryKey::GetTagged8(const char16_t* valueName, std::uint8_t out[8]) noexcept {
    return ReadTagged(valueName, kTag8, out, 8) ? 1 : 0;
}

int RegistryKey::GetTagged4(const char16_t* valueName, std::uint8_t out[4]) noexcept {
    return ReadTagged(valueName, kTag4, out, 4) ? 1 : 0;
}

// Returns the number of characters copied, terminator excluded.
std::int32_t RegistryKey::GetString(const char16_t* valueName, char16_t* buffer, std::uint32_t size) noexcept {
    DWORD type = 0;
    DWORD bytes = 0;
    if (RegQueryValueExW(handle_.get(), WOrEmpty(valueName), nullptr, &type, nullptr, &bytes) != ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_MULTI_SZ))
        return -1;
    if (buffer == nullptr) return static_cast<std::int32_t>(bytes);
    if (size == 0) return 0;
    try {
        std::vector<wchar_t> whole(bytes / sizeof(wchar_t) + 1, L'\0');
        DWORD read = static_cast<DWORD>(whole.size() * sizeof(wchar_t));
        if (RegQueryValueExW(handle_.get(), WOrEmpty(valueName), nullptr, &type,
                             reinterpret_cast<BYTE*>(whole.data()), &read) != ERROR_SUCCESS)
            return -1;
        std::uint32_t count = 0;
        const std::uint32_t stored = read / sizeof(wchar_t);
        while (count + 1 < size && count < stored && whole[count] != L'\0') {
            buffer[count] = static_cast<char16_t>(whole[count]);
            ++count;
        }
        buffer[count] = u'\0';
        return static_cast<std::int32_t>(count);
    } catch (const std::bad_alloc&) {
        return -1;
    }
}

int RegistryKey::GetDword(const char16_t* valueName, std::int32_t* out) noexcept {
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExW(handle_.get(), WOrEmpty(valueName), nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
        type != REG_DWORD || size != sizeof(DWORD) || out == nullptr)
        return 0;
    DWORD value = 0;
    size = sizeof value;
    if (RegQueryValueExW(handle_.get(), WOrEmpty(valueName), nullptr, &type, reinterpret_cast<BYTE*>(&value),
                         &size) != ERROR_SUCCESS ||
        type != REG_DWORD)
        return 0;
    *out = static_cast<std::int32_t>(value);
    return 1;
}

std::int32_t RegistryKey::GetBinary(const char16_t* valueName, std::uint8_t* buffer, std::uint32_t size) noexcept {
    DWORD type = 0;
    DWORD stored = 0;
    if (RegQueryValueExW(handle_.get(), WOrEmpty(valueName), nullptr, &type, nullptr, &stored) != ERROR_SUCCESS ||
        type != REG_BINARY)
        return -1;
    if (buffer == nullptr) return static_cast<std::int32_t>(stored);
    try {
        std::vector<std::uint8_t> whole(stored);
        DWORD read = stored;
        if (RegQueryValueExW(handle_.get(), WOrEmpty(valueName), nullptr, &type, whole.data(), &read) !=
            ERROR_SUCCESS)
            return -1;
        const std::uint32_t count = read < size ? read : size;
        if (count > 0) std::memcpy(buffer, whole.data(), count);
        return static_cast<std::int32_t>(count);
    } catch (const std::bad_alloc&) {
        return -1;
    }
}

bool RegistryKey::WriteTagged(const char16_t* valueName, std::uint8_t tag, const std::uint8_t* value,
                              std::uint32_t size) noexcept {
    std::uint8_t bytes[9];
    bytes[0] = tag;
    std::memcpy(bytes + 1, value, size);
    return SetBinary(valueName, bytes, size + 1) == 1;
}

int RegistryKey::SetTagged8(const char16_t* valueName, const std::uint8_t value[8]) noexcept {
    return WriteTagged(valueName, kTag8, value, 8) ? 1 : 0;
}

int RegistryKey::SetTagged4(const char16_t* valueName, const std::uint8_t value[4]) noexcept {
    return WriteTagged(valueName, kTag4, value, 4) ? 1 : 0;
}

int RegistryKey::SetString(const char16_t* valueName, const char16_t* text) noexcept {
    const wchar_t* value = WOrEmpty(text);
    const DWORD bytes = static_cast<DWORD>((std::wcslen(value) + 1) * sizeof(wchar_t));
    return RegSetValueExW(handle_.get(), WOrEmpty(valueName), 0, REG_SZ, reinterpret_cast<const BYTE*>(value),
                          bytes) == ERROR_SUCCESS ? 1 : 0;
}

int RegistryKey::SetDword(const char16_t* valueName, std::int32_t value) noexcept {
    const DWORD stored = static_cast<DWORD>(value);
    return RegSetValueExW(handle_.get(), WOrEmpty(valueName), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&stored),
                          sizeof stored) == ERROR_SUCCESS ? 1 : 0;
}

int RegistryKey::SetBinary(const char16_t* valueName, const std::uint8_t* bytes, std::uint32_t length) noexcept {
    return RegSetValueExW(handle_.get(), WOrEmpty(valueName), 0, REG_BINARY, bytes, length) == ERROR_SUCCESS ? 1
                                                                                                           : 0;
}

int RegistryKey::DeleteValue(const char16_t* valueName) noexcept {
    return RegDeleteValueW(handle_.get(), WOrEmpty(valueName)) == ERROR_SUCCESS ? 1 : 0;
}

int RegistryKey::DeleteAllValues() noexcept {
    RefPtr<IKeyNameEnumerator> names = EnumValues();
    if (!names) return 0;
    int all = 1;
    const char16_t* name = nullptr;
    while (names->Next(1, &name, nullptr))
        if (!DeleteValue(name)) all = 0;
    return all;
}

int RegistryKey::Attach(Handle handle, const char16_t* path) noexcept {
    // The key held may be attached again: it must not be closed under itself.
    if (static_cast<HKEY>(handle) != handle_.get()) handle_.reset(static_cast<HKEY>(handle));
    try {
        path_ = path ? WideString(path) : WideString();
    } catch (const std::bad_alloc&) {
        path_.clear();
    }
    name_.clear();
    return 1;
}

RefPtr<IRegistryKey> OpenRegistryPath(const char16_t* path) noexcept {
    const char16_t* text = path ? path : u"";
    try {
        RegistryHandle current(HKEY_CURRENT_USER);
        const char16_t* at = text;
        while (*at != u'\0') {
            const char16_t* end = at;
            while (*end != u'\0' && !IsSeparator(*end)) ++end;
            const std::wstring component(W(at), static_cast<std::size_t>(end - at));
            HKEY next = nullptr;
            if (RegOpenKeyExW(current.get(), component.c_str(), 0, kReadWriteAccess, &next) != ERROR_SUCCESS &&
                RegCreateKeyExW(current.get(), component.c_str(), 0, const_cast<wchar_t*>(L""), 0,
                                kReadWriteAccess, nullptr, &next, nullptr) != ERROR_SUCCESS)
                return nullptr;
            current.reset(next);
            at = *end == u'\0' ? end : end + 1;
        }
        return RefPtr<IRegistryKey>::Adopt(NewObject<RegistryKey>(std::move(current), WideString(text), false));
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

const WideString& GetProfileKeyPath() noexcept {
    static const WideString path = u"Software\\VELM\\Lacqueron\\1.0\\Profile";
    return path;
}

}  // namespace lacqueron
