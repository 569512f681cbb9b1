// Tests of master-detail relations: a master whose link objects each hold a
// child controller (what a grid's detail view would be), a pattern
// controller for the relation, and the detail objects of the master records.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/rtl/Stream.h"
#include "ui/data/vlData.h"

namespace {

int linksAlive = 0;

// A link object: owns the detail controller of one master record.
struct Link : TObject {
    std::unique_ptr<TvlDataController> Detail = std::make_unique<TvlDataController>(nullptr);
    Link() { ++linksAlive; }
    ~Link() override { --linksAlive; }
};

struct Owner : IvlDataControllerOwner {
    std::vector<std::unique_ptr<TObject>> items;
    int layoutChanges = 0;
    int GetDataItemCount() const override { return int(items.size()); }
    TObject* GetDataItem(int AIndex) const override { return items.at(size_t(AIndex)).get(); }
    TComponentState GetDataOwnerState() const override { return {}; }
    void UpdateDataControl(TvlUpdateControlInfo* AInfo) override
    {
        if (dynamic_cast<TvlLayoutChangedInfo*>(AInfo) != nullptr)
            ++layoutChanges;
    }
};

class Master : public TvlDataController {
public:
    using TvlDataController::TvlDataController;
    // Runs inside CreateDetailLinkObject, before the link is made.
    std::function<void(int ARecordIndex)> OnCreating;

    std::unique_ptr<TObject> CreateDetailLinkObject(TvlCustomDataRelation* ARelation, int ARecordIndex) override
    {
        if (OnCreating)
            OnCreating(ARecordIndex);
        auto link = std::make_unique<Link>();
        link->Detail->SetMasterRelation(ARelation, ARecordIndex);
        return link;
    }
    TvlCustomDataController* GetDetailDataController(TObject* ALinkObject) const override
    {
        return ALinkObject != nullptr ? static_cast<Link*>(ALinkObject)->Detail.get() : nullptr;
    }
};

// A master of five records with one relation, served by a pattern unless told otherwise.
struct Fixture {
    Owner owner;
    TObject level;
    std::unique_ptr<Master> master;
    std::unique_ptr<TvlDataController> pattern = std::make_unique<TvlDataController>(nullptr);
    TvlCustomDataRelation* relation = nullptr;

    explicit Fixture(bool AWithPattern = true)
    {
        owner.items.push_back(std::make_unique<TObject>());
        master = std::make_unique<Master>(&owner);
        master->AddItem(owner.items.back().get())->SetValueTypeClass(TvlIntegerValueType::Instance());
        master->UpdateItemIndexes();
        for (int i = 0; i < 5; ++i)
            master->SetValue(master->AppendRecord(), 0, Variant(i * 10));
        relation = master->GetRelations()->Add(&level);
        if (AWithPattern)
            pattern->SetMasterMode(relation, true);
    }
    ~Fixture()
    {
        pattern.reset();
        master.reset();
        EXPECT_EQ(linksAlive, 0);
    }
    std::vector<int> cloneMasterIndexes()
    {
        std::vector<int> result;
        for (int r = 0; r < master->GetRecordCount(); ++r)
            if (master->HasDetailLinkObject(r, 0))
                result.push_back(master->GetDetailDataControllerOf(r, 0)->GetMasterRecordIndex());
        return result;
    }
};

TvlDataDetailExpandingEvent allowing(int& ACount, bool AAllow)
{
    return TvlDataDetailExpandingEvent::FromFunction([&ACount, AAllow](TvlCustomDataController*, int, bool& Allow) {
        ++ACount;
        Allow = AAllow;
    });
}

TEST(vlCustomDataRelations, EdgeCases)
{
    struct Case {
        const char* name;
        bool withPattern;
        std::function<void(Fixture&)> run;
    };
    const std::vector<Case> cases = {
        {"a relation without a detail controller has no details", false,
         [](Fixture& f) {
             for (int r = 0; r < 5; ++r) {
                 EXPECT_EQ(f.master->GetDetailActiveRelationIndex(r), -1);
                 EXPECT_FALSE(f.master->GetDetailExpanding(r));
                 EXPECT_FALSE(f.master->ChangeDetailExpanding(r, true));
             }
             EXPECT_EQ(f.master->GetDetailLinkObject(1, 0), nullptr);
             EXPECT_EQ(f.master->GetRelations()->DetailObjectCount(), 0);
         }},
        {"expanding twice asks once", true,
         [](Fixture& f) {
             int asked = 0, expanded = 0;
             f.master->OnDetailExpanding = allowing(asked, true);
             f.master->OnDetailExpanded = TvlDataDetailExpandedEvent::FromFunction(
                 [&](TvlCustomDataController*, int ARecordIndex) { expanded += ARecordIndex; });
             EXPECT_TRUE(f.master->ChangeDetailExpanding(3, true));
             EXPECT_TRUE(f.master->ChangeDetailExpanding(3, true));
             EXPECT_EQ(asked, 1);
             EXPECT_EQ(expanded, 3);
             EXPECT_TRUE(f.master->GetDetailExpanding(3));
             EXPECT_EQ(f.master->GetDetailActiveRelationIndex(3), 0);
         }},
        {"a refused collapse keeps the details", true,
         [](Fixture& f) {
             int asked = 0, collapsed = 0;
             ASSERT_TRUE(f.master->ChangeDetailExpanding(2, true));
             f.master->OnDetailCollapsing = allowing(asked, false);
             f.master->OnDetailCollapsed =
                 TvlDataDetailExpandedEvent::FromFunction([&](TvlCustomDataController*, int) { ++collapsed; });
             EXPECT_FALSE(f.master->ChangeDetailExpanding(2, false));
             EXPECT_TRUE(f.master->GetDetailExpanding(2));
             EXPECT_EQ(asked, 1);
             EXPECT_EQ(collapsed, 0);
         }},
        {"removing the last relation frees every detail object", true,
         [](Fixture& f) {
             for (int r = 0; r < 5; ++r)
                 ASSERT_NE(f.master->GetDetailLinkObject(r, 0), nullptr);
             EXPECT_EQ(linksAlive, 5);
             EXPECT_EQ(f.master->Fields()->Count(), 2);  // the item and the detail objects' field
             f.master->GetRelations()->Remove(f.relation);
             EXPECT_EQ(linksAlive, 0);
             EXPECT_EQ(f.master->GetRelations()->DataField(), nullptr);
             EXPECT_EQ(f.master->GetRelations()->DetailObjectCount(), 0);
             EXPECT_EQ(f.master->Fields()->Count(), 1);
             EXPECT_FALSE(f.pattern->IsDetailMode());
             EXPECT_TRUE(f.pattern->IsPattern());  // by its own flag, still
         }},
        {"deleting master record 2 of 5 renumbers the later clones", true,
         [](Fixture& f) {
             for (int r = 0; r < 5; ++r)
                 f.master->GetDetailLinkObject(r, 0);
             EXPECT_EQ(f.cloneMasterIndexes(), (std::vector<int>{0, 1, 2, 3, 4}));
             f.master->DeleteRecord(2);
             EXPECT_EQ(f.cloneMasterIndexes(), (std::vector<int>{0, 1, 2, 3}));
             EXPECT_EQ(VarToStr(f.master->GetValue(2, 0)), String::fromLatin1("30"));
             EXPECT_EQ(linksAlive, 4);  // the deleted record's details went with it
             EXPECT_EQ(f.master->GetRelations()->DetailObjectCount(), 4);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Fixture f(c.withPattern);
        c.run(f);
    }
}

TEST(vlCustomDataRelations, PatternAndClones)
{
    Fixture f;
    EXPECT_TRUE(f.pattern->IsPattern());
    EXPECT_TRUE(f.pattern->IsDetailMode());
    EXPECT_EQ(f.pattern->GetMasterDataController(), f.master.get());
    EXPECT_EQ(f.relation->DetailDataController(), f.pattern.get());
    EXPECT_FALSE(f.master->IsPattern());
    EXPECT_EQ(f.master->GetPatternDataController(), f.master.get());

    TvlCustomDataController* clone = f.master->GetDetailDataControllerOf(1, 0);
    ASSERT_NE(clone, nullptr);
    EXPECT_FALSE(clone->IsPattern());
    EXPECT_EQ(clone->GetMasterRecordIndex(), 1);
    EXPECT_EQ(clone->GetMasterRelation(), f.relation);
    EXPECT_EQ(clone->GetPatternDataController(), f.pattern.get());
    EXPECT_EQ(clone->GetRootDataController(), f.master.get());
    EXPECT_EQ(f.master->GetDetailLinkObject(1, 0), f.master->GetDetailLinkObject(1, 0));  // made once

    // Inserting before it moves it up; the details ask the clone for records.
    f.master->InsertRecord(0);
    EXPECT_EQ(clone->GetMasterRecordIndex(), 2);
    EXPECT_FALSE(f.master->GetDetailHasChildren(2, 0));
    clone->AppendRecord();
    EXPECT_TRUE(f.master->GetDetailHasChildren(2, 0));
    EXPECT_FALSE(f.master->GetDetailHasChildren(3, 0));  // storage mode never asks a provider

    // The pattern going away leaves the relation without a detail controller.
    f.pattern.reset();
    EXPECT_EQ(f.relation->DetailDataController(), nullptr);
    EXPECT_EQ(f.master->GetDetailActiveRelationIndex(2), -1);
    EXPECT_EQ(linksAlive, 0);
}

TEST(vlCustomDataRelations, ActiveRelationAndCollapsingAll)
{
    Fixture f;
    TObject level2;
    TvlCustomDataRelation* second = f.master->GetRelations()->Add(&level2);
    TvlDataController pattern2(nullptr);
    pattern2.SetMasterMode(second, true);
    EXPECT_EQ(f.master->GetRelations()->FindByItem(&level2), second);
    EXPECT_EQ(second->GetIndex(), 1);

    f.master->SetDetailActiveRelationIndex(4, 1);
    EXPECT_EQ(f.master->GetDetailActiveRelationIndex(4), 1);
    f.master->GetRelations()->Move(1, 0);
    EXPECT_EQ(second->GetIndex(), 0);

    int collapsed = 0;
    f.master->OnDetailCollapsed = TvlDataDetailExpandedEvent::FromFunction(
        [&](TvlCustomDataController*, int) { ++collapsed; });
    for (int r : {0, 3, 4})
        ASSERT_TRUE(f.master->ChangeDetailExpanding(r, true));
    f.owner.layoutChanges = 0;
    f.master->CollapseDetails();
    EXPECT_EQ(collapsed, 3);
    EXPECT_EQ(f.owner.layoutChanges, 1);  // one change for the lot
    for (int r = 0; r < 5; ++r)
        EXPECT_FALSE(f.master->GetDetailExpanding(r));

    // The relation at the active index losing its pattern moves the
    // detail to the first relation that has one.
    f.master->SetDetailActiveRelationIndex(1, 1);
    f.pattern->SetMasterMode(nullptr, true);
    EXPECT_EQ(f.master->GetDetailActiveRelationIndex(1), 0);
    f.pattern->SetMasterMode(f.master->GetRelations()->GetItem(1), true);
}

TEST(vlCustomDataRelations, DetailObjectsAreFreedExactlyOnce)
{
    {
        // Records dropped by a smaller record count, then the master itself.
        Fixture f;
        for (int r = 0; r < 5; ++r)
            f.master->GetDetailLinkObject(r, 0);
        f.master->SetRecordCount(2);
        EXPECT_EQ(linksAlive, 2);
        EXPECT_EQ(f.master->GetRelations()->DetailObjectCount(), 2);
        f.master->ClearDetailLinkObject(0, 0);
        EXPECT_EQ(linksAlive, 1);
        EXPECT_FALSE(f.master->HasDetailLinkObject(0, -1));
        EXPECT_TRUE(f.master->HasDetailLinkObject(1, -1));
    }
    EXPECT_EQ(linksAlive, 0);
    {
        // The master going first; the pattern outlives its relation.
        Fixture f;
        TvlCustomDataController* clone = f.master->GetDetailDataControllerOf(3, 0);
        ASSERT_NE(clone, nullptr);
        f.master.reset();
        EXPECT_EQ(linksAlive, 0);
        EXPECT_FALSE(f.pattern->IsDetailMode());
    }
    {
        // Loading the master's records from a stream drops every old detail.
        Fixture f;
        for (int r = 0; r < 5; ++r)
            f.master->GetDetailLinkObject(r, 0);
        TMemoryStream stream;
        f.master->SaveToStream(&stream);
        stream.SetPosition(0);
        f.master->LoadFromStream(&stream);
        EXPECT_EQ(linksAlive, 0);
        EXPECT_EQ(f.master->GetRecordCount(), 5);
        EXPECT_NE(f.master->GetDetailLinkObject(4, 0), nullptr);
    }
}

TEST(vlCustomDataRelations, LinkCreationThatChangesTheMaster)
{
    Fixture f;
    // A link asked for again while it is being made is not made twice.
    TObject* inner = reinterpret_cast<TObject*>(1);
    f.master->OnCreating = [&](int ARecordIndex) {
        f.master->OnCreating = nullptr;
        inner = f.master->GetDetailLinkObject(ARecordIndex, 0);
    };
    EXPECT_NE(f.master->GetDetailLinkObject(0, 0), nullptr);
    EXPECT_EQ(inner, nullptr);
    EXPECT_EQ(linksAlive, 1);

    // The record deleted while its link is made: the link is not kept, and
    // the one retry finds no record.
    int calls = 0;
    f.master->OnCreating = [&](int ARecordIndex) {
        if (calls++ == 0)
            f.master->DeleteRecord(ARecordIndex);
    };
    EXPECT_EQ(f.master->GetDetailLinkObject(4, 0), nullptr);
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(linksAlive, 1);
    EXPECT_THROW(f.master->GetDetailLinkObject(4, 0), EvlInvalidDataControllerOperation);
}

TEST(vlCustomDataRelations, NoPatternWhileADataChangeIsDelivered)
{
    Fixture f;
    String refused;
    f.pattern->AddDataChangedListener(TvlDataChangedListener::FromFunction([&](TvlCustomDataController* dc) {
        try {
            dc->SetIsPattern(false);
        } catch (const EvxException& e) {
            refused = e.Message();
        }
    }));
    f.pattern->AppendRecord();
    EXPECT_EQ(refused, String::fromLatin1("!"));
    EXPECT_EQ(f.pattern->DataChangeRefCount(), 0);
    f.pattern->SetIsPattern(false);  // outside a delivery it is allowed
    EXPECT_TRUE(f.pattern->IsPattern());  // still serving the relation without a master record
}

// Records whose handle is also their id, in an order the test can change.
class IdSource : public TvlUserDataSource {
public:
    std::vector<int> handles{0, 1, 2, 3};
    bool IsRecordIdSupported() override { return true; }
    Variant GetRecordId(int AHandle) override { return Variant(AHandle); }
    Variant GetValue(int AHandle, int) override { return Variant(AHandle * 10); }
    void LoadRecordHandles() override
    {
        for (int h : handles)
            CurrentProvider->AddRecordHandle(h);
    }
};

TEST(vlCustomDataRelations, ExpandedDetailsFollowTheirRecordsAcrossAReload)
{
    IdSource source;
    Fixture f;
    f.master->SetCustomDataSource(&source);
    ASSERT_EQ(f.master->GetRecordCount(), 4);
    ASSERT_TRUE(f.master->ChangeDetailExpanding(2, true));
    ASSERT_NE(f.master->GetDetailLinkObject(2, 0), nullptr);
    f.master->SaveKeys();
    source.handles = {2, 3, 0, 1};
    source.CurrentProvider->DataChanged(dckAll, -1, -1);
    EXPECT_EQ(linksAlive, 0);  // the reload dropped every detail
    f.master->RestoreKeys();
    for (int r = 0; r < 4; ++r)
        EXPECT_EQ(f.master->GetDetailExpanding(r), r == 0) << r;
    f.master->SetCustomDataSource(nullptr);
}

}  // namespace
