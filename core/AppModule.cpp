#include "core/AppModule.h"

#include <new>

#include "core/Version.h"

namespace lacqueron {

AppModule::~AppModule() {
    ClearServices();
}

HResult AppModule::QueryInterface(const Guid& iid, void** out) noexcept {
    if (out == nullptr) return kResultPointer;
    if (iid == iid::Unknown || iid == iid::AppModule || iid == iid::AppModuleBase) {
        *out = static_cast<IAppModule*>(this);
        AddRef();
        return kResultOk;
    }
    for (std::uint32_t i = 0; i < serviceCount_; ++i) {
        if (services_[i]->iid == iid) {
            IObject* object = services_[i]->object;
            object->AddRef();
            *out = object;
            return kResultOk;
        }
    }
    return kResultNoInterface;
}

std::uint32_t AppModule::AddRef() noexcept {
    return refCount_.fetch_add(1, std::memory_order_relaxed) + 1;
}

std::uint32_t AppModule::Release() noexcept {
    return refCount_.fetch_sub(1, std::memory_order_acq_rel) - 1;
}

int AppModule::RegisterService(IObject* object, const Guid& iid, int ownsReference) noexcept {
    bool removed = false;
    for (std::uint32_t i = 0; i < serviceCount_; ++i) {
        if (services_[i]->iid != iid) continue;
        ServiceEntry* entry = services_[i];
        for (std::uint32_t j = i + 1; j < serviceCount_; ++j) services_[j - 1] = services_[j];
        --serviceCount_;
        if (entry->ownsReference != kBorrowsReference) entry->object->Release();
        delete entry;
        removed = true;
        break;
    }
    if (object == nullptr) return removed ? 1 : 0;

    // Room first, so that a table that cannot grow never holds a reference for the entry.
    if (serviceCount_ == serviceCapacity_) {
        const std::uint32_t capacity = serviceCapacity_ == 0 ? 1 : serviceCapacity_ * 2;
        if (capacity <= serviceCapacity_) return 0;
        auto** grown = new (std::nothrow) ServiceEntry*[capacity];
        if (grown == nullptr) return 0;
        for (std::uint32_t i = 0; i < serviceCount_; ++i) grown[i] = services_[i];
        delete[] services_;
        services_ = grown;
        serviceCapacity_ = capacity;
    }
    auto* entry = new (std::nothrow) ServiceEntry{object, ownsReference, iid};
    if (entry == nullptr) return 0;
    if (ownsReference != kBorrowsReference) object->AddRef();
    services_[serviceCount_++] = entry;
    return 1;
}

const char16_t* AppModule::GetProductKeyName() noexcept { return u"Lacqueron"; }
const char16_t* AppModule::GetTitle() noexcept { return u"Подбор красок ВЕЛМ"; }
std::uint32_t AppModule::GetVersionMajor() noexcept { return kVersionMajor; }
std::uint32_t AppModule::GetVersionMinor() noexcept { return kVersionMinor; }
std::uint32_t AppModule::GetVersionBuild() noexcept { return kVersionBuild; }
const char16_t* AppModule::GetInfoText() noexcept { return u""; }

const char16_t* AppModule::GetModuleDirectory() noexcept {
    if (moduleDirectory_.empty()) {
        try {
            moduleDirectory_ = DirectoryOfPath(ProgramFilePath());
        } catch (const std::bad_alloc&) {
            moduleDirectory_.clear();
        }
    }
    return moduleDirectory_.c_str();
}

const char16_t* AppModule::GetDataDirectory() noexcept { return GetModuleDirectory(); }

IRegistryKey* AppModule::GetProfileKey(int mode) noexcept {
    IRegistryKey* key = profileKey_.get();
    if (key != nullptr && mode >= 0) key->AddRef();
    return key;
}

IObject* AppModule::GetAuxObject() noexcept { return nullptr; }

const char16_t* AppModule::GetDirectory(int) noexcept { return GetDataDirectory(); }

void AppModule::SetProfileKey(RefPtr<IRegistryKey> key) noexcept {
    profileKey_ = std::move(key);
}

void AppModule::ClearProfileKey() noexcept {
    profileKey_.Reset();
}

void AppModule::ClearServices() noexcept {
    for (std::uint32_t i = 0; i < serviceCount_; ++i) {
        ServiceEntry* entry = services_[i];
        if (entry->ownsReference != kBorrowsReference) entry->object->Release();
        delete entry;
    }
    delete[] services_;
    services_ = nullptr;
    serviceCount_ = 0;
    serviceCapacity_ = 0;
}

}  // namespace lacqueron
