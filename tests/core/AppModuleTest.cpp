#include "core/AppModule.h"

#include <gtest/gtest.h>

#include <memory>

#include "tests/support/NullRegistryKey.h"
#include "tests/core/TestObjects.h"

namespace lacqueron {
namespace {

using testing::CallLog;
using testing::Thing;

constexpr HResult kNoInterface = static_cast<HResult>(0x80004002u);

Guid ServiceId(std::uint8_t n) { return MakeGuid(0x5E000000u | n, 1, 2, {3, 4, 5, 6, 7, 8, 9, 10}); }

class AppModuleTest : public ::testing::Test {
protected:
    // Looks a service up and drops the reference the lookup added.
    IObject* Lookup(const Guid& id) {
        void* out = nullptr;
        if (module.QueryInterface(id, &out) != kResultOk) return nullptr;
        auto* object = static_cast<IObject*>(out);
        object->Release();
        return object;
    }
    RefPtr<Thing> MakeThing(const char* name) { return RefPtr<Thing>::Adopt(new Thing(name, &log)); }

    CallLog log;
    AppModule module;
};

TEST_F(AppModuleTest, AnswersItsOwnIdentifiersWithTheModuleInterface) {
    for (const Guid& id : {iid::Unknown, iid::AppModule, iid::AppModuleBase}) {
        void* out = nullptr;
        ASSERT_EQ(module.QueryInterface(id, &out), kResultOk);
        EXPECT_EQ(out, static_cast<IAppModule*>(&module));
    }
    EXPECT_EQ(module.AddRef(), 5u);
    EXPECT_EQ(module.QueryInterface(iid::AppModule, nullptr), static_cast<HResult>(0x80004003u));
}

TEST_F(AppModuleTest, ReleaseNeverFreesTheModule) {
    EXPECT_EQ(module.Release(), 0u);
    EXPECT_EQ(module.AddRef(), 1u);
}

TEST_F(AppModuleTest, UnknownServiceIsNoInterface) {
    int marker = 0;
    void* out = &marker;
    EXPECT_EQ(module.QueryInterface(ServiceId(1), &out), kNoInterface);
    EXPECT_EQ(out, &marker);
}

TEST_F(AppModuleTest, OwningRegistrationHoldsAReferenceAndLookupAddsOne) {
    auto a = MakeThing("a");
    ASSERT_EQ(module.RegisterService(a.get(), ServiceId(1), kOwnsReference), 1);
    EXPECT_EQ(a->Count(), 2u);
    void* out = nullptr;
    ASSERT_EQ(module.QueryInterface(ServiceId(1), &out), kResultOk);
    EXPECT_EQ(out, static_cast<IObject*>(a.get()));
    EXPECT_EQ(a->Count(), 3u);
    a->Release();
}

TEST_F(AppModuleTest, SecondRegistrationReplacesAndReleasesTheOwnedFirst) {
    auto a = MakeThing("a");
    auto b = MakeThing("b");
    module.RegisterService(a.get(), ServiceId(1), kOwnsReference);
    log.clear();
    EXPECT_EQ(module.RegisterService(b.get(), ServiceId(1), kOwnsReference), 1);
    EXPECT_EQ(log, (CallLog{"a-", "b+"}));
    EXPECT_EQ(Lookup(ServiceId(1)), b.get());
    EXPECT_EQ(module.ServiceCount(), 1u);
}

TEST_F(AppModuleTest, BorrowedEntriesAreNeitherAddedNorReleased) {
    auto a = MakeThing("a");
    auto b = MakeThing("b");
    log.clear();
    module.RegisterService(a.get(), ServiceId(1), kBorrowsReference);
    module.RegisterService(b.get(), ServiceId(1), kBorrowsReference);
    module.RegisterService(nullptr, ServiceId(1), kBorrowsReference);
    module.ClearServices();
    EXPECT_TRUE(log.empty());
}

TEST_F(AppModuleTest, RegisteringNullUnregisters) {
    auto a = MakeThing("a");
    module.RegisterService(a.get(), ServiceId(1), kOwnsReference);
    EXPECT_EQ(module.RegisterService(nullptr, ServiceId(1), kOwnsReference), 1);
    EXPECT_EQ(a->Count(), 1u);
    EXPECT_EQ(Lookup(ServiceId(1)), nullptr);
    EXPECT_EQ(module.RegisterService(nullptr, ServiceId(1), kOwnsReference), 0);
    EXPECT_EQ(module.RegisterService(nullptr, ServiceId(2), kBorrowsReference), 0);
}

TEST_F(AppModuleTest, RemovalClosesTheGapAndKeepsTheOrder) {
    RefPtr<Thing> things[4] = {MakeThing("0"), MakeThing("1"), MakeThing("2"), MakeThing("3")};
    for (std::uint8_t i = 0; i < 4; ++i) module.RegisterService(things[i].get(), ServiceId(i), kOwnsReference);
    module.RegisterService(nullptr, ServiceId(1), kBorrowsReference);
    ASSERT_EQ(module.ServiceCount(), 3u);
    for (std::uint8_t i : {0, 2, 3}) EXPECT_EQ(Lookup(ServiceId(i)), things[i].get());
    EXPECT_EQ(Lookup(ServiceId(1)), nullptr);
    // A replaced entry moves to the end; the others keep answering.
    module.RegisterService(things[1].get(), ServiceId(0), kOwnsReference);
    EXPECT_EQ(Lookup(ServiceId(0)), things[1].get());
    EXPECT_EQ(things[0]->Count(), 1u);
    // The table's order shows in the order the entries are released.
    log.clear();
    module.ClearServices();
    EXPECT_EQ(log, (CallLog{"2-", "3-", "1-"}));
}

TEST_F(AppModuleTest, TableGrowsFromOneByDoubling) {
    const std::uint32_t expected[] = {1, 2, 4, 4, 8, 8, 8, 8, 16};
    auto a = MakeThing("a");
    EXPECT_EQ(module.ServiceCapacity(), 0u);
    for (std::uint8_t i = 0; i < std::size(expected); ++i) {
        module.RegisterService(a.get(), ServiceId(i), kOwnsReference);
        EXPECT_EQ(module.ServiceCount(), i + 1u);
        EXPECT_EQ(module.ServiceCapacity(), expected[i]) << "after " << i + 1 << " registrations";
    }
    EXPECT_EQ(a->Count(), 1u + std::size(expected));
}

TEST_F(AppModuleTest, ClearingReleasesOwnedEntriesInOrderAndCanRepeat) {
    auto a = MakeThing("a");
    auto b = MakeThing("b");
    module.RegisterService(a.get(), ServiceId(1), kOwnsReference);
    module.RegisterService(b.get(), ServiceId(2), kOwnsReference);
    log.clear();
    module.ClearServices();
    EXPECT_EQ(log, (CallLog{"a-", "b-"}));
    EXPECT_EQ(module.ServiceCount(), 0u);
    EXPECT_EQ(module.ServiceCapacity(), 0u);
    module.ClearServices();
    EXPECT_EQ(Lookup(ServiceId(1)), nullptr);
}

TEST(AppModuleLifetime, DestroyingTheModuleReleasesOwnedServices) {
    CallLog log;
    auto a = RefPtr<Thing>::Adopt(new Thing("a", &log));
    {
        AppModule module;
        module.RegisterService(a.get(), ServiceId(1), kBorrowsReference);
        auto* b = new Thing("b", &log);
        module.RegisterService(b, ServiceId(2), kOwnsReference);
        b->Release();  // the table's reference is the last one
        log.clear();
    }
    EXPECT_EQ(log, (CallLog{"b-", "b~"}));
    EXPECT_EQ(a->Count(), 1u);
}

// A profile key that only counts; its other operations are never called here.
class CountingKey final : public test::NullRegistryKey<CountingKey> {
public:
    static constexpr Guid kInterfaceIds[] = {iid::RegistryKey, iid::RegistryKeyBase};
    std::uint32_t Count() noexcept {
        AddRef();
        return Release();
    }
};

TEST_F(AppModuleTest, ProfileKeyIsHandedOutWithAReferenceUnlessModeIsNegative) {
    EXPECT_EQ(module.GetProfileKey(0), nullptr);
    auto key = RefPtr<CountingKey>::Adopt(new CountingKey);
    module.SetProfileKey(RefPtr<IRegistryKey>(key.get()));
    EXPECT_EQ(key->Count(), 2u);
    EXPECT_EQ(module.GetProfileKey(-1), key.get());
    EXPECT_EQ(key->Count(), 2u);
    EXPECT_EQ(module.GetProfileKey(0), key.get());
    EXPECT_EQ(key->Count(), 3u);
    key->Release();
    module.ClearProfileKey();
    EXPECT_EQ(key->Count(), 1u);
    EXPECT_EQ(module.GetProfileKey(-1), nullptr);
}

// The module directory itself is ModuleDirectory's test (ModulePathTest.cpp).
TEST_F(AppModuleTest, DirectoriesAllReportTheModuleDirectory) {
    const WideString expected = module.GetModuleDirectory();
    ASSERT_FALSE(expected.empty());
    EXPECT_EQ(module.GetDataDirectory(), expected);
    for (int kind : {0, 1, 7}) EXPECT_EQ(module.GetDirectory(kind), expected) << kind;
}

}  // namespace
}  // namespace lacqueron
