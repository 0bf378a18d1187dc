// The process-wide module object: a service table keyed by identifier, the product's
// constants and the profile key.
#pragma once

#include <cstdint>
#include <atomic>

#include "core/Object.h"
#include "core/RegistryKeyInterface.h"
#include "core/WideString.h"

namespace lacqueron {

class IAppModuleBase : public IObject {
protected:
    ~IAppModuleBase() = default;
};

// RegisterService's owns-reference flag: an owned service is released when its entry goes.
enum ServiceReference : int {
    kBorrowsReference = 0,
    kOwnsReference = 1,
};

// Operations 3 to 14. Returned strings belong to the module.
class IAppModule : public IAppModuleBase {
public:
    // 1 when registered or removed, 0 when there was nothing to remove (or no room).
    virtual int RegisterService(IObject* object, const Guid& iid, int ownsReference) noexcept = 0;
    virtual const char16_t* GetProductKeyName() noexcept = 0;
    virtual const char16_t* GetTitle() noexcept = 0;
    virtual std::uint32_t GetVersionMajor() noexcept = 0;
    virtual std::uint32_t GetVersionMinor() noexcept = 0;
    virtual std::uint32_t GetVersionBuild() noexcept = 0;
    virtual const char16_t* GetInfoText() noexcept = 0;
    virtual const char16_t* GetModuleDirectory() noexcept = 0;
    virtual const char16_t* GetDataDirectory() noexcept = 0;
    // The profile key, with an added reference unless mode < 0; null when none is open.
    virtual IRegistryKey* GetProfileKey(int mode) noexcept = 0;
    virtual IObject* GetAuxObject() noexcept = 0;
    virtual const char16_t* GetDirectory(int kind) noexcept = 0;

protected:
    ~IAppModule() = default;
};

// Directory part of a program path, ending in "\" (empty when the path has no
// separator): C:\A\b.exe -> C:\A\ ; C:/A/b.exe -> C:/A\ ; C:b.exe -> C:\ .
WideString DirectoryOfPath(const WideString& programPath);

// The full path of the running program file (GetModuleFileNameW on Windows,
// /proc/self/exe natively).
WideString ProgramFilePath();

class AppModule final : public IAppModule {
public:
    AppModule() noexcept = default;
    ~AppModule();
    AppModule(const AppModule&) = delete;
    AppModule& operator=(const AppModule&) = delete;

    HResult QueryInterface(const Guid& iid, void** out) noexcept override;
    std::uint32_t AddRef() noexcept override;
    std::uint32_t Release() noexcept override;  // never frees the module

    int RegisterService(IObject* object, const Guid& iid, int ownsReference) noexcept override;
    const char16_t* GetProductKeyName() noexcept override;
    const char16_t* GetTitle() noexcept override;
    std::uint32_t GetVersionMajor() noexcept override;
    std::uint32_t GetVersionMinor() noexcept override;
    std::uint32_t GetVersionBuild() noexcept override;
    const char16_t* GetInfoText() noexcept override;
    const char16_t* GetModuleDirectory() noexcept override;
    const char16_t* GetDataDirectory() noexcept override;
    IRegistryKey* GetProfileKey(int mode) noexcept override;
    IObject* GetAuxObject() noexcept override;
    const char16_t* GetDirectory(int kind) noexcept override;

    // Start-up stores the opened profile key here (taking over the caller's reference);
    // teardown clears it.
    void SetProfileKey(RefPtr<IRegistryKey> key) noexcept;
    void ClearProfileKey() noexcept;
    // Releases owned entries and frees the table. Safe to repeat.
    void ClearServices() noexcept;
    std::uint32_t ServiceCount() const noexcept { return serviceCount_; }
    std::uint32_t ServiceCapacity() const noexcept { return serviceCapacity_; }

    // Native builds and tests may set the directory a module reports.
    void SetModuleDirectoryForTesting(WideString directory) { moduleDirectory_ = std::move(directory); }

private:
    struct ServiceEntry {
        IObject* object;
        int ownsReference;
        Guid iid;
    };

    std::atomic<std::uint32_t> refCount_{1};
    ServiceEntry** services_ = nullptr;
    std::uint32_t serviceCount_ = 0;
    std::uint32_t serviceCapacity_ = 0;
    WideString moduleDirectory_;
    RefPtr<IRegistryKey> profileKey_;
};

}  // namespace lacqueron
