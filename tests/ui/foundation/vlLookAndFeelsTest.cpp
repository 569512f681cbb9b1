// Tests of the look-and-feel tree: a chain root -> A -> B with inherited
// and assigned values, master removal, controllers, the stored empty skin
// name, the palette broadcast order and observers leaving mid-notification.
#include <gtest/gtest.h>

#include "platform/rtl/Startup.h"
#include "ui/foundation/vlLookAndFeels.h"
#include "ui/foundation/vxOffice11.h"

namespace {

struct Chain : ::testing::Test {
    Chain()
    {
        AddvlLookAndFeelsUnit(Units);
        Units.Initialize();
        A = std::make_unique<TvlLookAndFeel>(nullptr);
        B = std::make_unique<TvlLookAndFeel>(nullptr);
        B->SetMasterLookAndFeel(A.get());
        for (auto* l : {A.get(), B.get()})
            l->OnChanged = TvlLookAndFeelNotifyEvent(this, &Chain::changed);
    }
    ~Chain() override
    {
        B.reset();
        A.reset();
        Units.Finalize();
    }
    void changed(TvlLookAndFeel* Sender, TvlLookAndFeelValues Values)
    {
        Log.push_back({Sender == A.get() ? 'A' : 'B', Values});
    }
    TvlLookAndFeel* root() const { return GetRootLookAndFeel(); }

    TStartupList Units;
    std::unique_ptr<TvlLookAndFeel> A, B;
    std::vector<std::pair<char, TvlLookAndFeelValues>> Log;
};

TEST_F(Chain, ValuesFlowDownUnlessAssigned)
{
    EXPECT_EQ(B->Kind(), lfUltraFlat);
    EXPECT_FALSE(B->NativeStyle());
    EXPECT_TRUE(B->SkinName().isEmpty());
    EXPECT_NE(B->Painter(), nullptr);
    EXPECT_EQ(B->GetEffectiveMaster(), A.get());
    EXPECT_EQ(A->GetEffectiveMaster(), root());

    root()->SetKind(lfOffice11);
    EXPECT_EQ(B->Kind(), lfOffice11);
    // Observers hear before the look's own owner does.
    ASSERT_EQ(Log.size(), 2u);
    EXPECT_EQ(Log[0].first, 'B');
    EXPECT_EQ(Log[1].first, 'A');
    EXPECT_EQ(Log[0].second, TvlLookAndFeelValues{lfvKind});

    // An assigned Kind stays and is not passed on.
    Log.clear();
    A->SetKind(lfFlat);
    root()->SetKind(lfStandard);
    EXPECT_EQ(A->Kind(), lfFlat);
    EXPECT_EQ(B->Kind(), lfFlat);
    ASSERT_EQ(Log.size(), 2u);  // both from A's own change, none from the root's
    Log.clear();

    // The value in effect marks it assigned, without a notification.
    B->SetKind(lfFlat);
    EXPECT_TRUE(B->AssignedValues().Contains(lfvKind));
    EXPECT_TRUE(Log.empty());

    // Native style without visual styles keeps the kind's painter.
    B->SetNativeStyle(true);
    EXPECT_EQ(B->Painter(), GetLookAndFeelPainterClass(lfFlat));
}

TEST_F(Chain, DestroyedMasterLeavesItsObserversWithTheRoot)
{
    A->SetKind(lfFlat);
    root()->SetKind(lfOffice11);
    Log.clear();
    A.reset();
    EXPECT_EQ(B->GetEffectiveMaster(), root());
    EXPECT_EQ(B->Kind(), lfOffice11);
    ASSERT_EQ(Log.size(), 1u);
    EXPECT_EQ(Log[0].second, TvlLookAndFeelValues{lfvKind});  // only what differs
}

TEST_F(Chain, LastControllerResetsTheRoot)
{
    auto c1 = std::make_unique<TvlLookAndFeelController>(nullptr);
    auto c2 = std::make_unique<TvlLookAndFeelController>(nullptr);
    EXPECT_EQ(LookAndFeelControllerCount(), 2);
    c1->SetKind(lfStandard);
    c2->SetNativeStyle(true);
    EXPECT_EQ(B->Kind(), lfStandard);
    A->AddObserver(c1.get());  // a controller only observes the root
    EXPECT_EQ(A->ObserverCount(), 1);
    c1.reset();
    EXPECT_EQ(root()->Kind(), lfStandard);
    c2.reset();
    EXPECT_TRUE(root()->AssignedValues().Empty());
    EXPECT_EQ(B->Kind(), lfUltraFlat);
    EXPECT_FALSE(B->NativeStyle());
}

TEST_F(Chain, AssignedEmptySkinNameIsStored)
{
    const TPropInfo* skin = GetPropInfo(B.get(), QStringLiteral("SkinName"));
    ASSERT_NE(skin, nullptr);
    EXPECT_FALSE(skin->StoredFn(B.get()));
    B->SetSkinName(String());
    EXPECT_TRUE(skin->StoredFn(B.get()));
    EXPECT_FALSE(IsDefaultPropertyValue(B.get(), skin));
    TvlLookAndFeel read(nullptr);
    SetStrProp(&read, QStringLiteral("SkinName"), GetStrProp(B.get(), QStringLiteral("SkinName")));
    EXPECT_TRUE(read.AssignedValues().Contains(lfvSkinName));
    EXPECT_TRUE(read.SkinName().isEmpty());
    TvlLookAndFeel copy(nullptr);
    copy.Assign(B.get());
    EXPECT_EQ(copy.GetEffectiveMaster(), A.get());
    EXPECT_TRUE(copy.AssignedValues().Contains(lfvSkinName));
}

TEST_F(Chain, PaletteBroadcastReachesPrimaryNotifiersFirst)
{
    std::vector<String> order;
    struct Recorder {
        std::vector<String>* Order;
        String Name;
        void Changed(TObject*) { Order->push_back(Name); }
    } cache{&order, QStringLiteral("cache")};
    TvlSystemPaletteChangedNotifier primary(true);
    primary.OnSysColorsChanged = TNotifyEvent(&cache, &Recorder::Changed);
    EXPECT_GT(vxOffice11::Office11SchemeReferenceCount(), 0);
    struct LogOrder {
        std::vector<String>* Order;
        void Changed(TvlLookAndFeel*, TvlLookAndFeelValues v)
        {
            if (v == TvlLookAndFeelValues{lfvNativeStyle})
                Order->push_back(QStringLiteral("look"));
        }
    } looks{&order};
    B->OnChanged = TvlLookAndFeelNotifyEvent(&looks, &LogOrder::Changed);
    BroadcastSystemPaletteChange();
    ASSERT_FALSE(order.empty());
    EXPECT_EQ(order.front(), QStringLiteral("cache"));
    EXPECT_NE(std::find(order.begin(), order.end(), QStringLiteral("look")), order.end());
}

// An observer that leaves while being told: the next one is still told.
struct Leaver : TObject, IvlLookAndFeelObserver {
    explicit Leaver(TvlLookAndFeel* AMaster, bool ALeave) : Master(AMaster), Leave(ALeave) {}
    TObject* GetObserverObject() override { return this; }
    void MasterLookAndFeelChanged(TvlLookAndFeel*, TvlLookAndFeelValues) override
    {
        ++Told;
        if (Leave)
            Master->RemoveObserver(this);
    }
    void MasterLookAndFeelRemoved(TvlLookAndFeel*) override {}
    TvlLookAndFeel* Master;
    bool Leave;
    int Told = 0;
};

TEST_F(Chain, ObserverLeavingDuringNotificationSkipsNoOne)
{
    Leaver first(A.get(), true), second(A.get(), false);
    A->AddObserver(&first);
    A->AddObserver(&second);
    A->SetKind(lfOffice11);
    EXPECT_EQ(first.Told, 1);
    EXPECT_EQ(second.Told, 1);
    EXPECT_EQ(B->Kind(), lfOffice11);
    A->RemoveObserver(&second);
}

}  // namespace
