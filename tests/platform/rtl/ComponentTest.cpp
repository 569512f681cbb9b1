#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "platform/rtl/Component.h"
#include "platform/rtl/Exception.h"

namespace {

// Records every destruction and notification, in order, in a shared log.
struct Journal {
    std::vector<std::string> lines;
};

class TProbe : public TComponent {
public:
    TProbe(TComponent* AOwner, Journal& journal, const char* name)
        : TComponent(AOwner), FJournal(journal), FTitle(name)
    {
    }
    ~TProbe() override
    {
        FJournal.lines.push_back("free " + FTitle);
        // Free owned components while this object is still a TProbe, so
        // that they can still reach it through notifications.
        DestroyComponents();
    }

    TComponent* Peer = nullptr;  // a link that must be dropped when the peer goes

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override
    {
        TComponent::Notification(AComponent, Operation);
        if (Operation == opRemove && AComponent == Peer) {
            FJournal.lines.push_back(FTitle + " forgets peer");
            Peer = nullptr;
        }
    }

private:
    Journal& FJournal;
    std::string FTitle;
};

}  // namespace

TEST(Component, OwnerFreesChildrenLastCreatedFirstAndExactlyOnce)
{
    Journal j;
    {
        auto owner = std::make_unique<TProbe>(nullptr, j, "owner");
        new TProbe(owner.get(), j, "a");
        auto* b = new TProbe(owner.get(), j, "b");
        new TProbe(b, j, "b1");
        new TProbe(owner.get(), j, "c");
        EXPECT_EQ(owner->ComponentCount(), 3);
        EXPECT_EQ(b->Owner(), owner.get());
        EXPECT_EQ(b->ComponentIndex(), 1);
    }
    EXPECT_EQ(j.lines, (std::vector<std::string>{"free owner", "free c", "free b", "free b1", "free a"}));
}

TEST(Component, ChildDestroyedFirstLeavesItsOwner)
{
    Journal j;
    auto owner = std::make_unique<TProbe>(nullptr, j, "owner");
    auto* a = new TProbe(owner.get(), j, "a");
    new TProbe(owner.get(), j, "b");
    delete a;
    ASSERT_EQ(owner->ComponentCount(), 1);
    owner.reset();
    EXPECT_EQ(j.lines, (std::vector<std::string>{"free a", "free owner", "free b"}));
}

TEST(Component, FreeNotificationTellsTheOtherSideWhicheverGoesFirst)
{
    Journal j;
    auto owner = std::make_unique<TProbe>(nullptr, j, "owner");
    auto* a = new TProbe(owner.get(), j, "a");
    auto other = std::make_unique<TProbe>(nullptr, j, "other");  // not owned by the same owner
    other->Peer = a;
    a->FreeNotification(other.get());
    EXPECT_TRUE(a->ComponentState().Contains(csFreeNotification));

    delete a;
    EXPECT_EQ(other->Peer, nullptr);
    EXPECT_EQ(j.lines, (std::vector<std::string>{"free a", "other forgets peer"}));

    // The other way round: the listener goes first, then the source; no
    // call may reach the freed listener.
    auto* source = new TProbe(owner.get(), j, "source");
    auto listener = std::make_unique<TProbe>(nullptr, j, "listener");
    listener->Peer = source;
    source->FreeNotification(listener.get());
    listener.reset();
    j.lines.clear();
    delete source;
    EXPECT_EQ(j.lines, (std::vector<std::string>{"free source"}));
}

TEST(Component, SiblingsHearOfARemovalThroughTheirOwner)
{
    Journal j;
    auto owner = std::make_unique<TProbe>(nullptr, j, "owner");
    auto* a = new TProbe(owner.get(), j, "a");
    auto* b = new TProbe(owner.get(), j, "b");
    b->Peer = a;
    delete a;
    EXPECT_EQ(b->Peer, nullptr);
}

TEST(Component, NamesAreUniquePerOwnerAndFoundWithoutCase)
{
    TComponent owner(nullptr);
    auto* a = new TComponent(&owner);
    a->SetName(QStringLiteral("edtOutPath"));
    EXPECT_EQ(owner.FindComponent(QStringLiteral("EDTOUTPATH")), a);
    EXPECT_EQ(owner.FindComponent(QStringLiteral("missing")), nullptr);
    EXPECT_EQ(owner.FindComponent(QString()), nullptr);

    auto* b = new TComponent(&owner);
    EXPECT_THROW(b->SetName(QStringLiteral("EdtOutPath")), EComponentError);
    a->SetName(QStringLiteral("EDTOUTPATH"));  // renaming to itself in another case is fine
    for (const char* bad : {"1abc", "a b", "a-b", "é"})
        EXPECT_THROW(b->SetName(QString::fromUtf8(bad)), EComponentError) << bad;
    b->SetName(QStringLiteral("_b2"));
    EXPECT_EQ(b->Name(), QStringLiteral("_b2"));
    try {
        b->SetName(QStringLiteral("edtOutPath"));
        FAIL();
    } catch (const EComponentError& e) {
        EXPECT_EQ(e.Message(), QStringLiteral("A component named edtOutPath already exists"));
    }
}

TEST(Component, MovingToAnotherOwnerAndStateFlags)
{
    TComponent first(nullptr);
    TComponent second(nullptr);
    auto* c = new TComponent(&first);
    second.InsertComponent(c);
    EXPECT_EQ(first.ComponentCount(), 0);
    EXPECT_EQ(second.Components(0), c);
    EXPECT_THROW(second.Components(1), EListError);

    c->Loading();
    EXPECT_TRUE(c->ComponentState().Contains(csLoading));
    c->Loaded();
    EXPECT_FALSE(c->ComponentState().Contains(csLoading));
    second.SetDesigning(true);
    EXPECT_TRUE(c->ComponentState().Contains(csDesigning));
}

namespace {
class TDestroyWatcher : public TComponent {
public:
    TDestroyWatcher(TComponent* AOwner, bool& ownerWasDestroying) : TComponent(AOwner), FSeen(ownerWasDestroying) {}
    ~TDestroyWatcher() override { FSeen = Owner() != nullptr && Owner()->ComponentState().Contains(csDestroying); }

private:
    bool& FSeen;
};
}  // namespace

TEST(Component, ChildrenSeeTheirOwnerDestroying)
{
    bool seen = false;
    {
        TComponent owner(nullptr);
        new TDestroyWatcher(&owner, seen);
    }
    EXPECT_TRUE(seen);
}
