// Framework objects for tests: they log their reference calls and their destruction.
#pragma once

#include <string>
#include <vector>

#include "core/Object.h"

namespace lacqueron::testing {

inline constexpr Guid kThingId = MakeGuid(0x0A1B2C3D, 0x4E5F, 0x6071, {1, 2, 3, 4, 5, 6, 7, 8});
inline constexpr Guid kThingBaseId = MakeGuid(0x0A1B2C3D, 0x4E5F, 0x6071, {1, 2, 3, 4, 5, 6, 7, 9});
inline constexpr Guid kOtherId = MakeGuid(0x0A1B2C3D, 0x4E5F, 0x6071, {1, 2, 3, 4, 5, 6, 7, 10});

class IThing : public IObject {
public:
    virtual const char* Name() noexcept = 0;

protected:
    ~IThing() = default;
};

using CallLog = std::vector<std::string>;

// Counts through ObjectImpl, records "<name>+", "<name>-" and "<name>~" in the log.
class Thing final : public ObjectImpl<IThing, Thing> {
public:
    static constexpr Guid kInterfaceIds[] = {kThingId, kThingBaseId};

    Thing(const char* name, CallLog* log) : name_(name), log_(log) {}
    ~Thing() override { Note("~"); }

    std::uint32_t AddRef() noexcept override {
        Note("+");
        return ObjectImpl::AddRef();
    }
    std::uint32_t Release() noexcept override {
        Note("-");
        return ObjectImpl::Release();
    }
    const char* Name() noexcept override { return name_; }

    // The current count, without leaving a trace in the log.
    std::uint32_t Count() noexcept {
        CallLog* log = std::exchange(log_, nullptr);
        ObjectImpl::AddRef();
        const std::uint32_t count = ObjectImpl::Release();
        log_ = log;
        return count;
    }

private:
    void Note(const char* what) {
        if (log_ != nullptr) log_->push_back(std::string(name_) + what);
    }

    const char* name_;
    CallLog* log_;
};

}  // namespace lacqueron::testing
