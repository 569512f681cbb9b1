#include <QStringList>
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "platform/rtl/Collection.h"
#include "platform/rtl/Exception.h"
#include "platform/rtl/TypInfo.h"

namespace {

int liveColumns = 0;  // single-threaded tests only

class TColumn : public TCollectionItem {
public:
    explicit TColumn(TCollection* Collection) : TCollectionItem(Collection) { ++liveColumns; }
    ~TColumn() override { --liveColumns; }
    String ClassName() const override { return "TColumn"; }
    const TClassInfo* ClassInfo() const override { return &StaticClassInfo(); }
    static const TClassInfo& StaticClassInfo()
    {
        static const TClassInfo info =
            TClassInfoBuilder<TColumn>("TColumn", &TCollectionItem::StaticClassInfo())
                .Str("Caption", &TColumn::Caption, &TColumn::SetCaption)
                .Int("Width", &TColumn::Width, &TColumn::SetWidth, 64)
                .Build();
        return info;
    }
    String DisplayName() const override { return FCaption.isEmpty() ? TCollectionItem::DisplayName() : FCaption; }

    const String& Caption() const { return FCaption; }
    void SetCaption(const String& v) { FCaption = v; Changed(false); }
    int Width() const { return FWidth; }
    void SetWidth(int v) { FWidth = v; Changed(false); }

private:
    String FCaption;
    int FWidth = 64;
};

// An item of another line, which a column cannot be assigned from.
class TPanel : public TCollectionItem {
public:
    using TCollectionItem::TCollectionItem;
    const TClassInfo* ClassInfo() const override { return &StaticClassInfo(); }
    static const TClassInfo& StaticClassInfo()
    {
        static const TClassInfo info = TClassInfoBuilder<TPanel>("TPanel", &TCollectionItem::StaticClassInfo())
                                           .Str("Caption", &TPanel::Caption, &TPanel::SetCaption)
                                           .Build();
        return info;
    }
    const String& Caption() const { return FCaption; }
    void SetCaption(const String& v) { FCaption = v; }

private:
    String FCaption;
};

// Records what each Update reported: an item's caption, or "*" for the whole list.
class TLoggedColumns : public TOwnedCollection {
public:
    using TOwnedCollection::TOwnedCollection;
    std::vector<String> Log;

protected:
    void Update(TCollectionItem* Item) override
    {
        Log.push_back(Item == nullptr ? String("*") : static_cast<TColumn*>(Item)->Caption());
    }
};

class TGrid : public TComponent {
public:
    explicit TGrid(TComponent* AOwner) : TComponent(AOwner) {}
    const TClassInfo* ClassInfo() const override { return &StaticClassInfo(); }
    static const TClassInfo& StaticClassInfo()
    {
        static const TClassInfo info = TClassInfoBuilder<TGrid>("TGrid", &TComponent::StaticClassInfo())
                                           .Collection("Columns", &TGrid::Columns, &TGrid::SetColumns)
                                           .Build();
        return info;
    }
    TLoggedColumns* Columns() const { return FColumns.get(); }
    void SetColumns(TLoggedColumns* v) { FColumns->Assign(v); }

private:
    std::unique_ptr<TLoggedColumns> FColumns = std::make_unique<TLoggedColumns>(this, ItemClassOf<TColumn>());
};

TColumn* col(const TCollection* c, int i)
{
    return static_cast<TColumn*>(c->Items(i));
}

String captions(const TCollection* c)
{
    QStringList list;
    for (int i = 0; i < c->Count(); ++i)
        list.append(col(c, i)->Caption());
    return list.join(',');
}

TColumn* addColumn(TCollection* c, const char* caption)
{
    auto* item = static_cast<TColumn*>(c->Add());
    item->SetCaption(caption);
    return item;
}

}  // namespace

TEST(Collection, AddInsertDeleteKeepOrderAndIDs)
{
    TGrid grid(nullptr);
    TLoggedColumns* c = grid.Columns();
    addColumn(c, "a");
    addColumn(c, "c");
    auto* b = static_cast<TColumn*>(c->Insert(1));
    b->SetCaption("b");
    EXPECT_EQ(captions(c), "a,b,c");
    EXPECT_EQ(b->Index(), 1);
    EXPECT_EQ(b->Collection(), c);
    EXPECT_EQ(b->ID(), 2);  // IDs follow creation, not position
    EXPECT_EQ(liveColumns, 3);

    c->Delete(0);
    EXPECT_EQ(captions(c), "b,c");
    EXPECT_EQ(liveColumns, 2);
    EXPECT_EQ(addColumn(c, "d")->ID(), 3) << "an ID is never reused";
    EXPECT_EQ(c->FindItemID(2), b);
    EXPECT_EQ(c->FindItemID(0), nullptr);

    for (int bad : {-1, 3})
        EXPECT_THROW(c->Items(bad), EListError) << bad;
    EXPECT_THROW(c->Delete(3), EListError);
    EXPECT_THROW(c->Insert(4), EListError);

    c->Clear();
    EXPECT_EQ(c->Count(), 0);
    EXPECT_EQ(liveColumns, 0);
}

TEST(Collection, SetIndexMovesTheItem)
{
    TGrid grid(nullptr);
    TLoggedColumns* c = grid.Columns();
    for (const char* name : {"a", "b", "c", "d"})
        addColumn(c, name);
    col(c, 0)->SetIndex(2);
    EXPECT_EQ(captions(c), "b,c,a,d");
    col(c, 3)->SetIndex(0);
    EXPECT_EQ(captions(c), "d,b,c,a");
    EXPECT_THROW(col(c, 0)->SetIndex(4), EListError);
    EXPECT_THROW(col(c, 0)->SetIndex(-1), EListError);
    EXPECT_EQ(captions(c), "d,b,c,a");
}

TEST(Collection, UpdateReportsItemsAndWaitsForTheLastEndUpdate)
{
    TGrid grid(nullptr);
    TLoggedColumns* c = grid.Columns();
    TColumn* a = addColumn(c, "a");
    EXPECT_EQ(c->Log, (std::vector<String>{"*", "a"}));  // the add, then the caption

    c->Log.clear();
    a->SetWidth(10);
    EXPECT_EQ(c->Log, std::vector<String>{"a"});

    c->Log.clear();
    c->BeginUpdate();
    c->BeginUpdate();
    addColumn(c, "b");
    a->SetIndex(1);
    c->Delete(0);
    c->EndUpdate();
    EXPECT_TRUE(c->Log.empty());
    c->EndUpdate();
    EXPECT_EQ(c->Log, std::vector<String>{"*"});

    c->Log.clear();
    c->Clear();
    EXPECT_EQ(c->Log, std::vector<String>{"*"});
}

TEST(Collection, AssignCopiesItemsThroughTheirTables)
{
    TGrid source(nullptr), dest(nullptr);
    addColumn(source.Columns(), "Name")->SetWidth(120);
    addColumn(source.Columns(), "Size");
    addColumn(dest.Columns(), "old");
    dest.Columns()->Log.clear();

    SetObjectProp(&dest, "Columns", source.Columns());
    EXPECT_EQ(captions(dest.Columns()), "Name,Size");
    EXPECT_EQ(col(dest.Columns(), 0)->Width(), 120);
    EXPECT_NE(col(dest.Columns(), 0), col(source.Columns(), 0));
    EXPECT_EQ(dest.Columns()->Log, std::vector<String>{"*"}) << "one update for the whole copy";

    col(source.Columns(), 0)->SetCaption("changed");
    EXPECT_EQ(col(dest.Columns(), 0)->Caption(), "Name");

    TOwnedCollection panels(nullptr, ItemClassOf<TPanel>());
    panels.Add();
    EXPECT_THROW(col(dest.Columns(), 0)->Assign(panels.Items(0)), EConvertError);
    EXPECT_THROW(dest.Columns()->Assign(&source), EConvertError);
}

TEST(Collection, ItemsAreReachedByPathAndNamedByOwner)
{
    TGrid grid(nullptr);
    grid.SetName("Grid1");
    addColumn(grid.Columns(), "a");
    addColumn(grid.Columns(), "b");
    EXPECT_EQ(grid.Columns()->Owner(), &grid);
    EXPECT_EQ(grid.Columns()->GetNamePath(), "Grid1.Columns");
    EXPECT_EQ(col(grid.Columns(), 1)->GetNamePath(), "Grid1.Columns[1]");

    SetOrdProp(&grid, "Columns[1].Width", 7);
    EXPECT_EQ(col(grid.Columns(), 1)->Width(), 7);
    QStringList names;
    for (const TPropInfo* p : GetPropList(grid.Columns()->Items(0)))
        names.append(p->Name);
    EXPECT_EQ(names.join(','), "Caption,Width");

    TCollection loose(ItemClassOf<TColumn>());
    EXPECT_EQ(loose.Owner(), nullptr);
    EXPECT_EQ(loose.Add()->GetNamePath(), "TCollection[0]");
    EXPECT_EQ(loose.Items(0)->DisplayName(), "TColumn");
}
