#include "core/Object.h"

#include <gtest/gtest.h>

#include "tests/core/TestObjects.h"

namespace lacqueron {
namespace {

using testing::CallLog;
using testing::IThing;
using testing::Thing;

TEST(QueryInterface, NullOutPointerIsRejected) {
    auto thing = RefPtr<Thing>::Adopt(new Thing("a", nullptr));
    EXPECT_EQ(thing->QueryInterface(iid::Unknown, nullptr), static_cast<HResult>(0x80004003u));
    EXPECT_EQ(thing->Count(), 1u);
}

TEST(QueryInterface, AnswersGenericAndOwnIdentifiersWithTheObjectItself) {
    auto thing = RefPtr<Thing>::Adopt(new Thing("a", nullptr));
    std::uint32_t expected = 1;
    for (const Guid& id : {iid::Unknown, testing::kThingId, testing::kThingBaseId}) {
        void* out = nullptr;
        ASSERT_EQ(thing->QueryInterface(id, &out), 0);
        EXPECT_EQ(out, static_cast<IThing*>(thing.get()));
        EXPECT_EQ(thing->Count(), ++expected);
    }
    for (std::uint32_t i = 1; i < expected; ++i) thing->Release();
}

TEST(QueryInterface, OtherIdentifiersLeaveTheOutPointerAlone) {
    auto thing = RefPtr<Thing>::Adopt(new Thing("a", nullptr));
    for (const Guid& id : {testing::kOtherId, iid::Null, iid::ByteBuffer}) {
        int marker = 0;
        void* out = &marker;
        EXPECT_EQ(thing->QueryInterface(id, &out), static_cast<HResult>(0x80004002u));
        EXPECT_EQ(out, &marker);
    }
    EXPECT_EQ(thing->Count(), 1u);
}

TEST(ObjectLifetime, LastReleaseDestroys) {
    CallLog log;
    IThing* thing = new Thing("a", &log);
    EXPECT_EQ(thing->AddRef(), 2u);
    EXPECT_EQ(thing->Release(), 1u);
    EXPECT_EQ(thing->Release(), 0u);
    EXPECT_EQ(log, (CallLog{"a+", "a-", "a-", "a~"}));
}

TEST(RefPtr, AssignmentAddsTheNewReferenceBeforeReleasingTheOld) {
    CallLog log;
    auto held = RefPtr<Thing>::Adopt(new Thing("a", &log));
    auto b = RefPtr<Thing>::Adopt(new Thing("b", &log));
    held.Assign(b.get());
    EXPECT_EQ(log, (CallLog{"b+", "a-", "a~"}));
    EXPECT_EQ(b->Count(), 2u);
}

TEST(RefPtr, SelfAssignmentTouchesNoCount) {
    CallLog log;
    auto held = RefPtr<Thing>::Adopt(new Thing("a", &log));
    held.Assign(held.get());
    RefPtr<Thing>& alias = held;
    held = alias;
    held = std::move(alias);
    EXPECT_TRUE(log.empty());
    ASSERT_TRUE(held);
    EXPECT_EQ(held->Count(), 1u);
}

// Looks at the field that holds it while it is being released.
struct Watcher final : ObjectImpl<IObject, Watcher> {
    static constexpr Guid kInterfaceIds[] = {iid::Null};
    RefPtr<Watcher>* field = nullptr;
    bool sawNull = false;
    std::uint32_t Release() noexcept override {
        if (field != nullptr) sawNull = field->get() == nullptr;
        return ObjectImpl::Release();
    }
};

TEST(RefPtr, ResetClearsTheFieldBeforeReleasing) {
    auto* watcher = new Watcher;
    watcher->AddRef();
    RefPtr<Watcher> field = RefPtr<Watcher>::Adopt(watcher);
    watcher->field = &field;
    field.Reset();
    EXPECT_TRUE(watcher->sawNull);
    watcher->field = nullptr;
    watcher->Release();
}

TEST(RefPtr, BorrowingAddsAndAdoptingDoesNot) {
    CallLog log;
    Thing* raw = new Thing("a", &log);
    {
        auto adopted = RefPtr<Thing>::Adopt(raw);
        RefPtr<Thing> borrowed(raw);
        RefPtr<Thing> copy = borrowed;
        RefPtr<Thing> moved = std::move(copy);
        EXPECT_FALSE(copy);
        EXPECT_EQ(raw->Count(), 3u);
    }
    EXPECT_EQ(log, (CallLog{"a+", "a+", "a-", "a-", "a-", "a~"}));
}

TEST(RefPtr, QueryAsGivesNullForAnUnansweredIdentifier) {
    auto thing = RefPtr<Thing>::Adopt(new Thing("a", nullptr));
    EXPECT_FALSE(QueryAs<IThing>(thing.get(), testing::kOtherId));
    EXPECT_FALSE(QueryAs<IThing>(nullptr, testing::kThingId));
    auto same = QueryAs<IThing>(thing.get(), testing::kThingBaseId);
    EXPECT_EQ(same.get(), static_cast<IThing*>(thing.get()));
    EXPECT_EQ(thing->Count(), 2u);
}

}  // namespace
}  // namespace lacqueron
