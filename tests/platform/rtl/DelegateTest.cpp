#include <gtest/gtest.h>

#include "platform/rtl/Component.h"
#include "platform/rtl/Delegate.h"

namespace {

struct TBase : TObject {
    int calls = 0;
    TObject* last = nullptr;
    void Click(TObject* Sender) { ++calls; last = Sender; }
    void Other(TObject*) { calls += 10; }
    int Twice(int v) const { return 2 * v; }
};
struct TDerived : TBase {
    void Own(TObject*) { calls += 100; }
};

}  // namespace

TEST(Delegate, CallsTheMemberWithItsArguments)
{
    TBase target;
    TObject sender;
    TNotifyEvent event(&target, &TBase::Click);
    ASSERT_TRUE(event.Assigned());
    event(&sender);
    EXPECT_EQ(target.calls, 1);
    EXPECT_EQ(target.last, &sender);
    EXPECT_EQ(event.Data(), &target);

    const TBase& constTarget = target;
    TDelegate<int(int)> twice(&constTarget, &TBase::Twice);
    EXPECT_EQ(twice(21), 42);
}

TEST(Delegate, EqualityIsObjectAndMember)
{
    TBase a, b;
    TDerived d;
    const TNotifyEvent empty;
    EXPECT_FALSE(empty.Assigned());
    EXPECT_TRUE(empty == nullptr);
    EXPECT_EQ(TNotifyEvent(&a, &TBase::Click), TNotifyEvent(&a, &TBase::Click));
    EXPECT_FALSE(TNotifyEvent(&a, &TBase::Click) == TNotifyEvent(&b, &TBase::Click));
    EXPECT_FALSE(TNotifyEvent(&a, &TBase::Click) == TNotifyEvent(&a, &TBase::Other));
    EXPECT_FALSE(TNotifyEvent(&a, &TBase::Click) == empty);

    TNotifyEvent inherited(&d, &TBase::Click);
    TNotifyEvent own(&d, &TDerived::Own);
    inherited(nullptr);
    own(nullptr);
    EXPECT_EQ(d.calls, 101);
    EXPECT_FALSE(inherited == own);
}

TEST(Delegate, FunctionsAreEqualOnlyToTheirCopies)
{
    int hits = 0;
    auto f = TNotifyEvent::FromFunction([&](TObject*) { ++hits; });
    auto g = TNotifyEvent::FromFunction([&](TObject*) { ++hits; });
    const TNotifyEvent copy = f;
    copy(nullptr);
    EXPECT_EQ(hits, 1);
    EXPECT_EQ(copy, f);
    EXPECT_FALSE(f == g);
    EXPECT_EQ(f.Data(), nullptr);
}
