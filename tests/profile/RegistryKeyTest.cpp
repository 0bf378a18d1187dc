// RegistryKey against the real registry: every result is read back both through the
// key object and through the Win32 registry functions.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "profile/RegistryKey.h"

namespace lacqueron {
namespace {

std::wstring Wide(const WideString& text) { return std::wstring(WinText(text)); }
const char16_t* U(const wchar_t* text) { return reinterpret_cast<const char16_t*>(text); }

// A throw-away key below HKEY_CURRENT_USER, removed with everything under it.
class RegistryKeyTest : public ::testing::Test {
protected:
    void SetUp() override {
        root_ = L"Software\\LacqueronTests\\RegistryKey" + std::to_wstring(GetCurrentProcessId());
        key_ = OpenRegistryPath(U(root_.c_str()));
        ASSERT_TRUE(key_);
    }
    void TearDown() override {
        key_ = nullptr;
        RegDeleteTreeW(HKEY_CURRENT_USER, root_.c_str());
        RegDeleteKeyW(HKEY_CURRENT_USER, root_.c_str());
    }

    // The key at root\relative opened with Win32, or null.
    HKEY OpenRaw(const std::wstring& relative) const {
        HKEY key = nullptr;
        const std::wstring path = relative.empty() ? root_ : root_ + L"\\" + relative;
        return RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) == ERROR_SUCCESS ? key : nullptr;
    }
    bool Exists(const std::wstring& relative) const {
        HKEY key = OpenRaw(relative);
        if (key) RegCloseKey(key);
        return key != nullptr;
    }
    void RawSet(const wchar_t* name, DWORD type, const void* data, DWORD size) {
        ASSERT_EQ(RegSetValueExW(static_cast<HKEY>(key_->GetHandle()), name, 0, type,
                                 static_cast<const BYTE*>(data), size),
                  ERROR_SUCCESS);
    }
    // Type and bytes of a value as Win32 reads them; type 0 when missing.
    std::pair<DWORD, std::vector<BYTE>> RawGet(const wchar_t* name) {
        DWORD type = 0;
        DWORD size = 0;
        HKEY key = static_cast<HKEY>(key_->GetHandle());
        if (RegQueryValueExW(key, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return {0, {}};
        std::vector<BYTE> bytes(size);
        RegQueryValueExW(key, name, nullptr, &type, bytes.data(), &size);
        return {type, bytes};
    }
    std::vector<WideString> Names(RefPtr<IKeyNameEnumerator> enumerator) {
        std::vector<WideString> names;
        const char16_t* name = nullptr;
        while (enumerator && enumerator->Next(1, &name, nullptr)) names.emplace_back(name);
        return names;
    }

    std::wstring root_;
    RefPtr<IRegistryKey> key_;
};

struct PathCase {
    const wchar_t* relative;  // passed after root_ and a "/"
    const wchar_t* rawPath;   // the key it must reach, below root_
    const char16_t* name;
};

class OpenPathTest : public RegistryKeyTest, public ::testing::WithParamInterface<PathCase> {};

TEST_P(OpenPathTest, OpensOrCreatesEveryComponent) {
    const PathCase& c = GetParam();
    const std::wstring path = root_ + L"/" + c.relative;
    RefPtr<IRegistryKey> key = OpenRegistryPath(U(path.c_str()));
    ASSERT_TRUE(key);
    EXPECT_EQ(Wide(key->GetPath()), path);
    EXPECT_EQ(WideString(key->GetName()), c.name);
    EXPECT_TRUE(Exists(c.rawPath));
    // The key object writes into the key Win32 finds at the expected place.
    ASSERT_EQ(key->SetDword(u"Probe", 7), 1);
    HKEY raw = OpenRaw(c.rawPath);
    ASSERT_NE(raw, nullptr);
    DWORD value = 0, size = sizeof value, type = 0;
    EXPECT_EQ(RegQueryValueExW(raw, L"Probe", nullptr, &type, reinterpret_cast<BYTE*>(&value), &size), ERROR_SUCCESS);
    EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(value, 7u);
    RegCloseKey(raw);
    // Opening the same path again finds what the first call created.
    RefPtr<IRegistryKey> again = OpenRegistryPath(U(path.c_str()));
    ASSERT_TRUE(again);
    std::int32_t read = 0;
    EXPECT_EQ(again->GetDword(u"Probe", &read), 1);
    EXPECT_EQ(read, 7);
}

INSTANTIATE_TEST_SUITE_P(Separators, OpenPathTest,
                         ::testing::Values(PathCase{L"A/B\\C", L"A\\B\\C", u"C"},
                                           PathCase{L"A//B", L"A\\B", u"B"},
                                           PathCase{L"A\\B\\", L"A\\B", u""},
                                           PathCase{L"Одна/Две", L"Одна\\Две", u"Две"}));

TEST_F(RegistryKeyTest, EmptyPathWrapsCurrentUserItself) {
    RefPtr<IRegistryKey> key = OpenRegistryPath(u"");
    ASSERT_TRUE(key);
    EXPECT_EQ(key->GetHandle(), static_cast<void*>(HKEY_CURRENT_USER));
    EXPECT_EQ(WideString(key->GetPath()), u"");
    EXPECT_EQ(WideString(key->GetName()), u"");
    // Releasing it must not close HKEY_CURRENT_USER.
    key = nullptr;
    HKEY software = nullptr;
    EXPECT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, L"Software", 0, KEY_READ, &software), ERROR_SUCCESS);
    if (software) RegCloseKey(software);
}

TEST_F(RegistryKeyTest, ProfilePathIsTheVersionsProfileKey) {
    EXPECT_EQ(GetProfileKeyPath(), u"Software\\VELM\\Lacqueron\\1.0\\Profile");
}

TEST_F(RegistryKeyTest, DwordIsReadOnlyFromDwordValues) {
    RawSet(L"TargetWeight", REG_SZ, L"250", sizeof L"250");
    std::int32_t value = 100;
    EXPECT_EQ(key_->GetDword(u"TargetWeight", &value), 0);
    EXPECT_EQ(value, 100);
    EXPECT_EQ(key_->GetValueKind(u"TargetWeight"), kValueString);
    EXPECT_EQ(key_->GetDword(u"Missing", &value), 0);
    EXPECT_EQ(value, 100);
    const std::uint64_t wide = 5;
    RawSet(L"Qword", REG_QWORD, &wide, sizeof wide);
    EXPECT_EQ(key_->GetDword(u"Qword", &value), 0);
    EXPECT_EQ(value, 100);

    ASSERT_EQ(key_->SetDword(u"TargetWeight", -250), 1);
    auto [type, bytes] = RawGet(L"TargetWeight");
    EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
    ASSERT_EQ(bytes.size(), 4u);
    EXPECT_EQ(bytes, (std::vector<BYTE>{0x06, 0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(key_->GetDword(u"TargetWeight", &value), 1);
    EXPECT_EQ(value, -250);
    EXPECT_EQ(key_->GetValueKind(u"TargetWeight"), kValueDword);
}

struct BinaryCase {
    std::vector<BYTE> bytes;
    int kind;
    int tagged4;
    int tagged8;
};

class BinaryKindTest : public RegistryKeyTest, public ::testing::WithParamInterface<BinaryCase> {};

TEST_P(BinaryKindTest, TagAndSizeDecideTheKind) {
    const BinaryCase& c = GetParam();
    RawSet(L"Value", REG_BINARY, c.bytes.data(), static_cast<DWORD>(c.bytes.size()));
    EXPECT_EQ(key_->GetValueKind(u"Value"), c.kind);
    std::uint8_t four[4] = {0xEE, 0xEE, 0xEE, 0xEE};
    std::uint8_t eight[8] = {};
    EXPECT_EQ(key_->GetTagged4(u"Value", four), c.tagged4);
    EXPECT_EQ(key_->GetTagged8(u"Value", eight), c.tagged8);
    const std::vector<BYTE> payload(c.bytes.empty() ? c.bytes.end() : c.bytes.begin() + 1, c.bytes.end());
    if (c.tagged4) {
        EXPECT_EQ(std::vector<BYTE>(four, four + 4), payload);
    }
    if (c.tagged8) {
        EXPECT_EQ(std::vector<BYTE>(eight, eight + 8), payload);
    }
    EXPECT_EQ(key_->GetBinary(u"Value", nullptr, 0), static_cast<std::int32_t>(c.bytes.size()));
}

INSTANTIATE_TEST_SUITE_P(
    Forms, BinaryKindTest,
    ::testing::Values(BinaryCase{{0x05, 1, 2, 3, 4}, kValueTagged4, 1, 0},
                      BinaryCase{{0x06, 1, 2, 3, 4}, kValueBinary, 0, 0},
                      BinaryCase{{0x04, 1, 2, 3, 4}, kValueBinary, 0, 0},
                      BinaryCase{{0x04, 1, 2, 3, 4, 5, 6, 7, 8}, kValueTagged8, 0, 1},
                      BinaryCase{{0x05, 1, 2, 3, 4, 5, 6, 7, 8}, kValueBinary, 0, 0},
                      BinaryCase{{}, kValueBinary, 0, 0}));

TEST_F(RegistryKeyTest, StringsAndBinariesAreCutToTheBuffer) {
    ASSERT_EQ(key_->SetString(u"Name", u"Подбор"), 1);
    auto raw = RawGet(L"Name");
    EXPECT_EQ(raw.first, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(raw.second.size(), 14u);
    EXPECT_EQ(key_->GetString(u"Name", nullptr, 0), 14);
    char16_t small[4] = {u'x', u'x', u'x', u'x'};
    key_->GetString(u"Name", small, 4);
    EXPECT_EQ(WideString(small), u"Под");
    char16_t whole[16] = {};
    key_->GetString(u"Name", whole, 16);
    EXPECT_EQ(WideString(whole), u"Подбор");
    EXPECT_EQ(key_->GetString(u"Missing", whole, 16), -1);
    EXPECT_EQ(key_->GetBinary(u"Name", nullptr, 0), -1);

    const std::uint8_t bytes[6] = {9, 8, 7, 6, 5, 4};
    ASSERT_EQ(key_->SetBinary(u"Blob", bytes, 6), 1);
    std::uint8_t cut[3] = {};
    EXPECT_EQ(key_->GetBinary(u"Blob", cut, 3), 3);
    EXPECT_EQ(std::vector<BYTE>(cut, cut + 3), (std::vector<BYTE>{9, 8, 7}));
    EXPECT_EQ(key_->GetString(u"Blob", nullptr, 0), -1);
}

TEST_F(RegistryKeyTest, OnlyTheDefaultValueEnumeratesNothing) {
    RawSet(L"", REG_SZ, L"x", sizeof L"x");
    RefPtr<IKeyNameEnumerator> values = key_->EnumValues();
    ASSERT_TRUE(values);
    const char16_t* name = nullptr;
    std::uint32_t fetched = 99;
    EXPECT_EQ(values->Next(1, &name, &fetched), 0);
    EXPECT_EQ(fetched, 0u);
}

TEST_F(RegistryKeyTest, EnumerationIsASnapshotSplitAtBackslash) {
    key_->SetDword(u"One", 1);
    key_->SetDword(u"Two\\Three", 2);
    RefPtr<IKeyNameEnumerator> values = key_->EnumValues();
    ASSERT_TRUE(values);
    const char16_t* names[8] = {};
    std::uint32_t fetched = 0;
    EXPECT_EQ(values->Next(8, names, &fetched), 1);
    ASSERT_EQ(fetched, 3u);
    std::vector<WideString> got(names, names + 3);
    std::sort(got.begin(), got.end());
    EXPECT_EQ(got, (std::vector<WideString>{u"One", u"Three", u"Two"}));
    EXPECT_EQ(values->Next(1, names, &fetched), 0);
    values->Reset();
    EXPECT_EQ(values->Skip(100), 1);
    EXPECT_EQ(values->Next(1, names, nullptr), 0);
    values->Reset();
    EXPECT_EQ(values->Skip(1), 1);
    EXPECT_EQ(values->Next(8, names, &fetched), 1);
    EXPECT_EQ(fetched, 2u);

    // Deleting while walking the snapshot is safe; "Two\Three", named only by its parts,
    // stays, and the result says that not everything went.
    RefPtr<IKeyNameEnumerator> again = key_->EnumValues();
    EXPECT_EQ(key_->DeleteAllValues(), 0);
    EXPECT_EQ(Names(again).size(), 3u);
    EXPECT_EQ(RawGet(L"One").first, 0u);
    EXPECT_EQ(RawGet(L"Two\\Three").first, static_cast<DWORD>(REG_DWORD));  // reached only by its parts
}

TEST_F(RegistryKeyTest, OpenSubKeyCreatesOnlyWhenAsked) {
    EXPECT_FALSE(key_->OpenSubKey(u"Absent", kOpenExisting));
    EXPECT_FALSE(Exists(L"Absent"));
    RefPtr<IRegistryKey> made = key_->OpenSubKey(u"Made", kCreateIfMissing);
    ASSERT_TRUE(made);
    EXPECT_TRUE(Exists(L"Made"));
    EXPECT_EQ(Wide(made->GetPath()), root_ + L"\\Made");
    EXPECT_EQ(WideString(made->GetName()), u"Made");
    RefPtr<IRegistryKey> opened = key_->OpenSubKey(u"Made", kOpenExisting);
    ASSERT_TRUE(opened);
    EXPECT_EQ(opened->SetDword(u"V", 3), 1);
    std::int32_t value = 0;
    EXPECT_EQ(made->GetDword(u"V", &value), 1);
    EXPECT_EQ(value, 3);
}

TEST_F(RegistryKeyTest, DeleteSubKeyRemovesTheWholeTree) {
    for (const wchar_t* path : {L"Tree\\A\\B\\C", L"Tree\\A\\D", L"Tree\\E", L"Keep"}) {
        HKEY made = nullptr;
        const std::wstring full = root_ + L"\\" + path;
        ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, full.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &made,
                                  nullptr),
                  ERROR_SUCCESS);
        const DWORD one = 1;
        RegSetValueExW(made, L"V", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&one), sizeof one);
        RegCloseKey(made);
    }
    EXPECT_EQ(key_->DeleteSubKey(u"Tree"), 1);
    EXPECT_FALSE(Exists(L"Tree"));
    EXPECT_TRUE(Exists(L"Keep"));
    EXPECT_EQ(key_->DeleteSubKey(u"Tree"), 1);  // nothing left to delete
    std::vector<WideString> left = Names(key_->EnumSubKeys());
    EXPECT_EQ(left, std::vector<WideString>{u"Keep"});
    EXPECT_EQ(key_->DeleteAllSubKeys(), 1);
    EXPECT_FALSE(Exists(L"Keep"));
    EXPECT_TRUE(Names(key_->EnumSubKeys()).empty());
}

// A handle opened only for reading cannot remove values: the key says so and keeps them.
TEST_F(RegistryKeyTest, DeleteAllValuesReportsValuesItCouldNotDelete) {
    const DWORD one = 1;
    RawSet(L"V", REG_DWORD, &one, sizeof one);
    RawSet(L"W", REG_DWORD, &one, sizeof one);
    HKEY readable = OpenRaw(L"");
    ASSERT_NE(readable, nullptr);
    RefPtr<IRegistryKey> reader = RefPtr<IRegistryKey>::Adopt(
        NewObject<RegistryKey>(RegistryHandle(readable), WideString(U(root_.c_str())), true));

    EXPECT_EQ(reader->DeleteAllValues(), 0);
    EXPECT_EQ(RawGet(L"V").first, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(RawGet(L"W").first, static_cast<DWORD>(REG_DWORD));

    EXPECT_EQ(key_->DeleteAllValues(), 1);
    EXPECT_EQ(reader->DeleteAllValues(), 1) << "nothing left to delete is no failure";
}

// A closed handle is one the registry no longer answers for.
bool IsOpen(HKEY key) {
    return RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                            nullptr, nullptr) == ERROR_SUCCESS;
}

TEST_F(RegistryKeyTest, AttachClosesTheOldHandleAndTakesTheNew) {
    RefPtr<IRegistryKey> key = OpenRegistryPath(U(root_.c_str()));
    ASSERT_TRUE(key);
    HKEY old = static_cast<HKEY>(key->GetHandle());
    ASSERT_TRUE(IsOpen(old));
    HKEY other = OpenRaw(L"");
    ASSERT_NE(other, nullptr);
    EXPECT_EQ(key->Attach(other, u"Other\\Name"), 1);
    EXPECT_FALSE(IsOpen(old));
    EXPECT_EQ(key->GetHandle(), static_cast<void*>(other));
    EXPECT_EQ(WideString(key->GetPath()), u"Other\\Name");
    EXPECT_EQ(WideString(key->GetName()), u"Name");
    EXPECT_EQ(key->Attach(nullptr, nullptr), 1);
    EXPECT_FALSE(IsOpen(other));
    EXPECT_EQ(WideString(key->GetPath()), u"");
    EXPECT_EQ(key->GetValueKind(u"Anything"), kValueMissing);
}

}  // namespace
}  // namespace lacqueron
