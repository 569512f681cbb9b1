// The library's building blocks: registry order on a class tree, auto-width
// shares, MRU lists, weak links, thread hooks and the numeric helpers.
#include <QCoreApplication>
#include <QEvent>
#include <gtest/gtest.h>

#include "platform/rtl/ClassRegistry.h"
#include "platform/rtl/TypInfo.h"
#include "ui/foundation/vlClasses.h"

namespace {

// A control tree of the usual shape.
struct ClassTree {
    TClassInfo Object{QStringLiteral("TObject"), nullptr, {}};
    TClassInfo Control{QStringLiteral("TControl"), &Object, {}};
    TClassInfo WinControl{QStringLiteral("TWinControl"), &Control, {}};
    TClassInfo Button{QStringLiteral("TButton"), &WinControl, {}};
    TClassInfo GraphicControl{QStringLiteral("TGraphicControl"), &Control, {}};
    TClassInfo Label{QStringLiteral("TLabel"), &GraphicControl, {}};
    TClassInfo A{QStringLiteral("A"), nullptr, {}}, B{QStringLiteral("B"), nullptr, {}},
        C{QStringLiteral("C"), nullptr, {}};
};

TEST(vlIUnknownObject, AnswersForItsInterfacesAndCountsNoReferences)
{
    class IFirst {
    public:
        virtual ~IFirst() = default;
        virtual int First() = 0;
    };
    class ISecond {
    public:
        virtual ~ISecond() = default;
    };
    class TBoth : public TvlIUnknownObject, public IFirst {
    public:
        int First() override { return 7; }
    };
    TBoth object;
    IFirst* first = object.QueryInterface<IFirst>();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->First(), 7);
    EXPECT_EQ(object.QueryInterface<ISecond>(), nullptr);
    // Releasing more often than anyone added frees nothing: the owner does.
    EXPECT_EQ(object.AddRef(), -1);
    EXPECT_EQ(object.Release(), -1);
    EXPECT_EQ(object.Release(), -1);
    EXPECT_EQ(object.QueryInterface<IFirst>()->First(), 7);
}

TEST(vlRegisteredClassList, NearestRegisteredAncestorWins)
{
    ClassTree t;
    TvlRegisteredClassList list;
    list.Register(&t.Control, &t.A);
    list.Register(&t.WinControl, &t.B);
    EXPECT_EQ(list.FindClass(&t.Button), &t.B);
    EXPECT_EQ(list.FindClass(&t.GraphicControl), &t.A);
    EXPECT_EQ(list.FindClass(&t.Object), nullptr);
    list.Register(&t.Control, &t.C);  // right after A
    EXPECT_EQ(list.RegisteredClasses(1), &t.C);
    EXPECT_EQ(list.FindClass(&t.Label), &t.C);
    EXPECT_EQ(list.FindClass(&t.Button), &t.B);
    list.Unregister(&t.Control, &t.C);
    EXPECT_EQ(list.FindClass(&t.Label), &t.A);

    // The ancestor registered second goes before its descendant.
    TvlRegisteredClassList reversed;
    reversed.Register(&t.WinControl, &t.B);
    reversed.Register(&t.Control, &t.A);
    EXPECT_EQ(reversed.RegisteredClasses(0), &t.A);
    EXPECT_EQ(reversed.FindClass(&t.Button), &t.B);
}

TEST(vlRegisteredClasses, DescriptionsSortingAndStreamingRegistry)
{
    ClassTree t;
    TvlRegisteredClasses classes(true);
    classes.Register(&t.Label, QStringLiteral("zeta|a label"), [](TComponent*) -> TPersistent* { return nullptr; });
    classes.Register(&t.Button, QStringLiteral("Alpha"));
    classes.Register(&t.Button, QStringLiteral("again"));  // ignored
    EXPECT_EQ(classes.Count(), 2);
    EXPECT_EQ(classes.GetDescription(0), QStringLiteral("zeta"));
    EXPECT_EQ(GetClass(QStringLiteral("TLabel")), &t.Label);
    classes.SetSorted(true);
    EXPECT_EQ(classes.Items(0), &t.Button);
    EXPECT_EQ(classes.FindByClassName(QStringLiteral("TLabel")), &t.Label);
    EXPECT_EQ(classes.FindByClassName(QStringLiteral("tlabel")), nullptr);
    UnRegisterClass(&t.Label);
    UnRegisterClass(&t.Button);
}

TEST(vlAutoWidthObject, SharesTable)
{
    struct Item { int width, min; bool fixed; int expected; };
    struct Case { const char* name; int available; std::vector<Item> items; };
    const Case cases[] = {
        {"proportional", 100, {{10, 0, false, 17}, {20, 0, false, 33}, {30, 0, false, 50}}},
        {"minimum first", 100, {{10, 40, false, 40}, {20, 0, false, 24}, {30, 0, false, 36}}},
        {"share equals minimum", 100, {{10, 17, false, 17}, {20, 0, false, 33}, {30, 0, false, 50}}},
        {"all fixed", 7, {{10, 0, true, 10}, {20, 0, true, 20}}},
        // No width to share by: MulDiv's -1 for a zero divisor, no crash.
        {"all zero", 100, {{0, 0, false, 0}, {0, 0, false, 0}}},
    };
    for (const Case& c : cases) {
        TvlAutoWidthObject o(int(c.items.size()));
        o.SetAvailableWidth(c.available);
        for (const Item& i : c.items) {
            TvlAutoWidthItem* it = o.AddItem();
            it->Width = i.width;
            it->MinWidth = i.min;
            it->Fixed = i.fixed;
        }
        o.Calculate();
        for (int k = 0; k < o.Count(); ++k)
            EXPECT_EQ(o.Items(k)->AutoWidth, c.items[size_t(k)].expected) << c.name << " item " << k;
    }
    EXPECT_EQ(MulDiv(5, 3, 0), -1);
}

struct TextItem : TvlMRUItem {
    explicit TextItem(const char* t) : Text(QString::fromLatin1(t)) {}
    bool Equals(const TvlMRUItem* AItem) const override
    {
        return static_cast<const TextItem*>(AItem)->Text == Text;
    }
    String Text;
};

TEST(vlMRUItems, NewestFirstTrimmedAndTheEarlierObjectKept)
{
    TvlMRUItems mru;
    mru.SetMaxCount(3);
    for (const char* s : {"a", "b", "c", "d"})
        mru.Add(std::make_unique<TextItem>(s));
    auto text = [&](int i) { return static_cast<TextItem*>(mru.Items(i))->Text; };
    ASSERT_EQ(mru.Count(), 3);
    EXPECT_EQ(text(0) + text(1) + text(2), QStringLiteral("dcb"));
    TvlMRUItem* oldB = mru.Items(2);
    mru.Add(std::make_unique<TextItem>("b"));
    EXPECT_EQ(text(0) + text(1) + text(2), QStringLiteral("bdc"));
    EXPECT_EQ(mru.Items(0), oldB);
    mru.SetMaxCount(-5);
    EXPECT_EQ(mru.MaxCount(), 0);
    EXPECT_EQ(mru.Count(), 3);
}

TEST(vlClassesRoutines, NumericHelpersAndLists)
{
    struct Case { int a, b, ceil; };
    // RoundDiv is a true ceiling for every sign (-7/2 is -3, not -2).
    for (const Case& c : {Case{7, 2, 4}, Case{6, 2, 3}, Case{-7, 2, -3}, Case{7, -2, -3}, Case{-7, -2, 4}, Case{0, 5, 0}})
        EXPECT_EQ(RoundDiv(c.a, c.b), c.ceil) << c.a << "/" << c.b;
    EXPECT_EQ(GetRangeCenter(-3, 0), -2);
    EXPECT_EQ(GetRangeCenter(3, 0), 1);
    EXPECT_EQ(GetSign(0.0), 1);
    EXPECT_EQ(GetSign(-0.5), -1);
    EXPECT_EQ(CharSizeAt(QString::fromUtf8("a\xF0\x9F\x98\x80"), 2), 2);

    TvlOpenList open;
    int x = 0;
    open.SetItems(5, &x);
    ASSERT_EQ(open.Count(), 6);
    EXPECT_EQ(open.Items(4), nullptr);
    EXPECT_EQ(open.Items(5), &x);

    TMemoryStream s1, s2;
    s1.WriteInteger(7);
    s2.WriteInteger(7);
    EXPECT_TRUE(StreamsEqual(&s1, &s2));
    s2.WriteByte(0);
    EXPECT_FALSE(StreamsEqual(&s1, &s2));
}

TEST(vlObjectLinks, LinksClearWhenTheirObjectGoesAndTheControllerFollowsTheHolders)
{
    auto component = std::make_unique<TvlComponent>(nullptr);
    TvlObjectLink* link = AddObjectLink(component.get());
    TvlObjectLink* other = AddObjectLink(component.get());
    EXPECT_EQ(AddObjectLink(nullptr), nullptr);
    EXPECT_EQ(ObjectLinkCount(), 2);
    component.reset();
    EXPECT_EQ(link->Ref, nullptr);
    EXPECT_EQ(other->Ref, nullptr);
    RemoveObjectLink(link);
    RemoveObjectLink(other);
    RemoveObjectLink(nullptr);
    EXPECT_EQ(ObjectLinkCount(), 0);
}

TEST(vlFreeNotificator, ReportsComponentsThatGoAway)
{
    struct Catcher : TObject {
        TComponent* Gone = nullptr;
        void gone(TComponent* C) { Gone = C; }
    } catcher;
    TvlFreeNotificator relay(nullptr);
    relay.OnFreeNotification = TvlFreeNotificationEvent(&catcher, &Catcher::gone);
    auto watched = std::make_unique<TComponent>(nullptr);
    TComponent* address = watched.get();
    relay.AddSender(watched.get());
    relay.AddSender(nullptr);
    watched.reset();
    EXPECT_EQ(catcher.Gone, address);
}

TEST(vlClassesRoutines, RenameSubComponentsSkipsRefusedNames)
{
    TComponent owner(nullptr);
    auto* a = new TComponent(&owner);
    a->SetName(QStringLiteral("Grid1Column1"));
    auto* b = new TComponent(&owner);
    b->SetName(QStringLiteral("GRID1Column2"));
    auto* taken = new TComponent(&owner);
    taken->SetName(QStringLiteral("ViewColumn2"));
    TComponent host(nullptr);
    RenameSubComponents(&host, &owner, QStringLiteral("View"),
                        [&](TComponent*, int i) { return owner.Components(i); }, 2,
                        QStringLiteral("Grid1"));
    EXPECT_EQ(a->Name(), QStringLiteral("ViewColumn1"));
    EXPECT_EQ(b->Name(), QStringLiteral("GRID1Column2"));  // would duplicate
}

TEST(vlClassesRoutines, ThreadHookJoinsTheApplicationHooks)
{
    int hook = 0;
    int seen = 0;
    InstallThreadHook(hook, 3, [&](QObject*, QEvent* e) {
        seen += e->type() == QEvent::User;
        return false;
    });
    ASSERT_NE(hook, 0);
    const int held = hook;
    EXPECT_THROW(InstallThreadHook(hook, 3, {}), Exception);
    EXPECT_EQ(hook, held);
    QObject receiver;
    QEvent e(QEvent::User);
    QCoreApplication::sendEvent(&receiver, &e);
    EXPECT_EQ(seen, 1);
    RemoveThreadHook(hook);
    EXPECT_EQ(hook, 0);
    QCoreApplication::sendEvent(&receiver, &e);
    EXPECT_EQ(seen, 1);
}

}  // namespace
