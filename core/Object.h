// Reference-counted framework objects: the common operations 0-2, the shared
// implementation of them, and RefPtr, which holds one reference.
#pragma once

#include <atomic>
#include <cstdint>
#include <initializer_list>
#include <new>
#include <utility>

#include "core/Guid.h"

namespace lacqueron {

using HResult = std::int32_t;
inline constexpr HResult kResultOk = 0;                                           // S_OK
inline constexpr HResult kResultNoInterface = static_cast<HResult>(0x80004002u);  // E_NOINTERFACE
inline constexpr HResult kResultPointer = static_cast<HResult>(0x80004003u);      // E_POINTER

// Operations 0-2 of every interface. Interfaces derive from it in a single chain,
// so every interface pointer of one object is the same address.
class IObject {
public:
    virtual HResult QueryInterface(const Guid& iid, void** out) noexcept = 0;
    virtual std::uint32_t AddRef() noexcept = 0;
    virtual std::uint32_t Release() noexcept = 0;

protected:
    ~IObject() = default;
};

// Reference count and QueryInterface, written once. Derived lists its identifiers,
// most derived class first, as `static constexpr Guid kInterfaceIds[]`.
// The object starts with one reference, owned by whoever created it.
template <class Interface, class Derived>
class ObjectImpl : public Interface {
public:
    HResult QueryInterface(const Guid& iid, void** out) noexcept override {
        if (out == nullptr) return kResultPointer;
        if (!Answers(iid)) return kResultNoInterface;
        *out = static_cast<Interface*>(this);
        AddRef();
        return kResultOk;
    }
    std::uint32_t AddRef() noexcept override { return refCount_.fetch_add(1, std::memory_order_relaxed) + 1; }
    std::uint32_t Release() noexcept override {
        const std::uint32_t left = refCount_.fetch_sub(1, std::memory_order_acq_rel) - 1;
        if (left == 0) delete static_cast<Derived*>(this);
        return left;
    }

protected:
    ObjectImpl() = default;
    virtual ~ObjectImpl() = default;
    ObjectImpl(const ObjectImpl&) = delete;
    ObjectImpl& operator=(const ObjectImpl&) = delete;

    static bool Answers(const Guid& iid) noexcept {
        if (iid == iid::Unknown) return true;
        for (const Guid& own : Derived::kInterfaceIds)
            if (own != iid::Null && own == iid) return true;
        return false;
    }

private:
    std::atomic<std::uint32_t> refCount_{1};
};

// Holds one reference. Assigning adds the new reference before releasing the old
// one, so assigning an object to the field that already holds it is safe.
template <class T>
class RefPtr {
public:
    RefPtr() noexcept = default;
    RefPtr(std::nullptr_t) noexcept {}
    // Borrows: adds a reference of its own.
    explicit RefPtr(T* object) noexcept : p_(object) { if (p_) p_->AddRef(); }
    RefPtr(const RefPtr& other) noexcept : RefPtr(other.p_) {}
    RefPtr(RefPtr&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
    template <class U>
    RefPtr(RefPtr<U>&& other) noexcept : p_(other.Detach()) {}
    ~RefPtr() { Reset(); }

    // Takes over a reference the caller already owns (from a creating function).
    static RefPtr Adopt(T* object) noexcept {
        RefPtr r;
        r.p_ = object;
        return r;
    }

    RefPtr& operator=(const RefPtr& other) noexcept { Assign(other.p_); return *this; }
    RefPtr& operator=(RefPtr&& other) noexcept {
        if (this != &other) {
            T* old = std::exchange(p_, std::exchange(other.p_, nullptr));
            if (old) old->Release();
        }
        return *this;
    }
    RefPtr& operator=(std::nullptr_t) noexcept { Reset(); return *this; }

    void Assign(T* object) noexcept {
        if (object == p_) return;
        T* old = p_;
        p_ = object;
        if (p_) p_->AddRef();
        if (old) old->Release();
    }
    // Clears the field first, then releases.
    void Reset() noexcept {
        if (T* old = std::exchange(p_, nullptr)) old->Release();
    }
    // Hands the reference to the caller.
    [[nodiscard]] T* Detach() noexcept { return std::exchange(p_, nullptr); }

    T* get() const noexcept { return p_; }
    T* operator->() const noexcept { return p_; }
    T& operator*() const noexcept { return *p_; }
    explicit operator bool() const noexcept { return p_ != nullptr; }

private:
    T* p_ = nullptr;
};

// QueryInterface into a RefPtr of the requested interface; null when not answered.
template <class Target>
RefPtr<Target> QueryAs(IObject* object, const Guid& iid) noexcept {
    void* out = nullptr;
    if (object == nullptr || object->QueryInterface(iid, &out) != kResultOk) return nullptr;
    return RefPtr<Target>::Adopt(static_cast<Target*>(static_cast<IObject*>(out)));
}

// Allocates a framework object without throwing; null when memory runs out.
template <class T, class... Args>
T* NewObject(Args&&... args) noexcept {
    return new (std::nothrow) T(std::forward<Args>(args)...);
}

}  // namespace lacqueron
