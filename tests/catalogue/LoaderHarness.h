// A module with a cipher factory and an optional profile key, and a way to load a
// catalogue from plain section texts through an encrypted package.
#pragma once

#include <map>
#include <memory>
#include <string>

#include "core/AppModule.h"
#include "data/catalogue/CatalogueLoader.h"
#include "data/catalogue/PackageBuilder.h"
#include "data/cipher/Cipher.h"
#include "tests/support/NullRegistryKey.h"

namespace lacqueron::test {

inline constexpr SectionKey kTestKey = {
    {0x2b, 0x7e, 0x15, 0x16, 0x28, 0xae, 0xd2, 0xa6, 0xab, 0xf7, 0x15, 0x88, 0x09, 0xcf, 0x4f, 0x3c},
    {0x00, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08, 0x09, 0x0a, 0x0b, 0x0c, 0x0d, 0x0e, 0x0f},
};

// Only the DWORD values the loader reads.
class FakeProfileKey final : public NullRegistryKey<FakeProfileKey> {
public:
    static constexpr Guid kInterfaceIds[] = {iid::RegistryKey};
    std::map<std::u16string, std::int32_t> dwords;

    int GetValueKind(const char16_t* name) noexcept override { return dwords.count(name) ? kValueDword : kValueMissing; }
    int GetDword(const char16_t* name, std::int32_t* out) noexcept override {
        const auto it = dwords.find(name);
        if (it == dwords.end()) return 0;
        *out = it->second;
        return 1;
    }
};

// The program's AppModule with a registered cipher factory, and a profile key when given.
class TestModule {
public:
    explicit TestModule(bool withCipher = true, RefPtr<IRegistryKey> profile = nullptr) {
        if (withCipher) {
            RefPtr<ICipherFactory> factory = CreateCipherFactory();
            module_.RegisterService(factory.get(), iid::CipherFactory, kOwnsReference);
        }
        if (profile) module_.SetProfileKey(std::move(profile));
    }
    ~TestModule() {
        module_.ClearProfileKey();
        module_.ClearServices();
    }
    AppModule& module() noexcept { return module_; }

private:
    AppModule module_;
};

struct Loaded {
    Catalogue catalogue;
    ProfileValues values;
};

inline std::unique_ptr<Loaded> LoadPackage(TestModule& module, const DataPackage& package,
                                           LoadObserver* observer = nullptr) {
    auto loaded = std::make_unique<Loaded>();
    LoadCatalogue(module.module(), package, loaded->catalogue, loaded->values, observer);
    return loaded;
}

// Encrypts the contents into a package and loads it with a fresh module.
inline std::unique_ptr<Loaded> LoadContents(const SectionContents& contents, LoadObserver* observer = nullptr) {
    const std::unique_ptr<OwnedPackage> package = EncryptPackage(contents, kTestKey);
    if (!package) return std::make_unique<Loaded>();
    TestModule module;
    return LoadPackage(module, package->package, observer);
}

inline std::unique_ptr<Loaded> LoadSection(SectionIndex index, const std::string& text, LoadObserver* observer = nullptr) {
    SectionContents contents;
    contents[index] = text;
    return LoadContents(contents, observer);
}

}  // namespace lacqueron::test
