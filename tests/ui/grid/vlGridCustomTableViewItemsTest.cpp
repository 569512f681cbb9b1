// Table items: caption rules, width rules, editor properties (own,
// repository), stored layout, edit buttons, focus, capabilities and
// assignment.
#include <gtest/gtest.h>

#include "JobListFixture.h"
#include "TableViewRecorder.h"
#include "platform/rtl/StringList.h"
#include "ui/editors/vlTextEdit.h"

using namespace gridtest;

namespace {

using Kinds = std::vector<TvlViewChangeKind>;

using ItemFixture = EditorFixture;

TEST(GridTableItem, CaptionIsAssignedOnlyWhenItDiffersFromTheDefault)
{
    ItemFixture f;
    auto* item = static_cast<TvlGridColumn*>(f.view->CreateItem());
    item->SetCaption(QString());  // the default caption is empty
    EXPECT_FALSE(item->IsCaptionAssigned());
    item->SetCaption(QStringLiteral("File"));
    EXPECT_TRUE(item->IsCaptionStored());
    item->SetCaption(QString());
    EXPECT_TRUE(item->IsCaptionAssigned());
    EXPECT_TRUE(item->WriteIsCaptionAssigned());  // an empty caption survives a save
    EXPECT_EQ(item->GetAlternateCaption(), QString());
    item->SetAlternateCaption(QStringLiteral("Input file"));
    EXPECT_EQ(item->GetFilterCaption(), QStringLiteral("Input file"));
    item->ReadHidden(true);  // older forms
    EXPECT_FALSE(item->VisibleForCustomization());
    EXPECT_TRUE(item->IsVisibleForCustomizationStored());
}

TEST(GridTableItem, WidthsKeepTheirMinimum)
{
    ItemFixture f;
    TvlGridColumn* item = f.addColumn("Name");
    EXPECT_EQ(item->Width(), 64);
    EXPECT_FALSE(item->IsWidthStored());
    item->SetWidth(80);
    EXPECT_EQ(f.view->kinds, (Kinds{vckSize}));
    f.view->kinds.clear();
    item->SetMinWidth(100);
    EXPECT_EQ(item->Width(), 100);
    EXPECT_EQ(f.view->kinds, (Kinds{vckSize}));
    item->SetMinWidth(-5);
    EXPECT_EQ(item->MinWidth(), 0);

    // While loading the minimum is only stored, and every width is kept.
    item->SetMinWidth(20);
    item->SetWidth(30);
    item->Loading();
    f.view->kinds.clear();
    item->SetMinWidth(50);
    item->SetWidth(30);
    EXPECT_EQ(item->Width(), 50);  // still raised to the minimum
    EXPECT_TRUE(f.view->kinds.empty());
    item->Loaded();
}

TEST(GridTableItem, ARepositoryItemWinsOverTheOwnPropertiesUntilItGoes)
{
    ItemFixture f;
    TvlGridColumn* item = f.addColumn("Name");
    EXPECT_EQ(item->GetProperties(), nullptr);
    item->SetPropertiesClassName(QStringLiteral("TvlNoSuchProperties"));
    EXPECT_EQ(item->Properties(), nullptr);
    item->SetPropertiesClassName(QStringLiteral("TvlTextEditProperties"));
    ASSERT_NE(item->Properties(), nullptr);
    EXPECT_EQ(item->PropertiesClassName(), QStringLiteral("TvlTextEditProperties"));
    EXPECT_EQ(item->GetProperties(), item->Properties());
    // The binding's provider answers the editor's default questions.
    EXPECT_EQ(item->Properties()->DefaultValuesProvider(), item->DataBinding()->GetDefaultValuesProvider());

    TvlEditRepositoryItem* shared = f.repositoryItem();
    item->SetRepositoryItem(shared);
    EXPECT_EQ(shared->ObserverCount(), 1);
    EXPECT_EQ(item->GetProperties(), shared->Properties());
    item->SetRepositoryItem(nullptr);
    EXPECT_EQ(item->GetProperties(), item->Properties());
    EXPECT_EQ(shared->ObserverCount(), 0);

    item->SetRepositoryItem(shared);
    delete shared;
    EXPECT_EQ(item->RepositoryItem(), nullptr);
    EXPECT_EQ(item->GetProperties(), item->Properties());
}

TEST(GridTableItem, RestoringAnAlignmentNeverChangesASharedEditor)
{
    ItemFixture f;
    TvlGridColumn* item = f.addColumn("Name");
    TvlEditRepositoryItem* shared = f.repositoryItem();
    item->SetRepositoryItem(shared);
    auto* plain = new TvlGridColumn(&f.form);  // owned by the form
    f.view->AddItem(plain);

    TStringList names;
    item->GetStoredProperties(&names);
    EXPECT_EQ(names.Count(), 8);
    EXPECT_EQ(names.Strings(0), QStringLiteral("GroupIndex"));
    EXPECT_EQ(names.Strings(2), QStringLiteral("AlignmentHorz"));
    names.Clear();
    plain->GetStoredProperties(&names);  // no editor: no alignment
    EXPECT_EQ(names.IndexOf(QStringLiteral("AlignmentHorz")), -1);

    Variant value;
    item->GetStoredPropertyValue(QStringLiteral("AlignmentHorz"), value);
    EXPECT_EQ(value.AsInteger(), int(taLeftJustify));
    item->SetStoredPropertyValue(QStringLiteral("AlignmentHorz"), Variant(static_cast<unsigned char>(taRightJustify)));
    EXPECT_EQ(shared->Properties()->Alignment()->Horz(), taLeftJustify);
    item->SetRepositoryItem(nullptr);
    ASSERT_NE(item->Properties(), nullptr);
    EXPECT_EQ(item->Properties()->Alignment()->Horz(), taRightJustify);

    item->SetStoredPropertyValue(QStringLiteral("Width"), Variant(140));
    item->GetStoredPropertyValue(QStringLiteral("Width"), value);
    EXPECT_EQ(value.AsInteger(), 140);
}

TEST(GridTableItem, EditButtonsFollowTheItemThenTheView)
{
    ItemFixture f;
    TvlGridColumn* item = f.addColumn("Name");
    struct Case {
        TvlGridItemShowEditButtons item;
        TvlGridShowEditButtons view;
        bool focused, other;
    };
    const Case cases[] = {
        {isebDefault, gsebNever, false, false},       {isebDefault, gsebForFocusedRecord, true, false},
        {isebDefault, gsebAlways, true, true},        {isebNever, gsebAlways, false, false},
        {isebAlways, gsebNever, true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(int(c.item) * 10 + int(c.view));
        item->Options()->SetShowEditButtons(c.item);
        f.view->OptionsView()->SetShowEditButtons(c.view);
        EXPECT_EQ(item->ShowButtons(true), c.focused);
        EXPECT_EQ(item->ShowButtons(false), c.other);
    }
}

TEST(GridTableItem, TurningFocusingOffMovesTheFocusOn)
{
    ItemFixture f;
    TvlGridColumn* a = f.addColumn("A");
    TvlGridColumn* b = f.addColumn("B");
    TvlGridColumn* c = f.addColumn("C");
    b->SetFocused(true);
    EXPECT_TRUE(b->Focused());
    b->Options()->SetFocusing(false);
    EXPECT_TRUE(c->Focused());
    c->Options()->SetFocusing(false);
    EXPECT_TRUE(a->Focused());  // the search cycles
    a->Options()->SetFocusing(false);
    EXPECT_EQ(f.view->FocusedItem(), nullptr);

    b->Options()->SetFocusing(true);
    f.view->OptionsSelection()->SetCellSelect(false);
    EXPECT_FALSE(b->CanFocus(nullptr));
    f.view->OptionsSelection()->SetCellSelect(true);
    EXPECT_TRUE(b->Focused());  // the first item that takes the focus
}

TEST(GridTableItem, CapabilitiesNeedTheEditorTheViewAndTheItem)
{
    ItemFixture f;
    TvlGridColumn* item = f.addColumn("Name");
    EXPECT_FALSE(item->CanSort());  // no editor
    item->SetRepositoryItem(f.repositoryItem());
    EXPECT_TRUE(item->CanSort() && item->CanGroup() && item->CanFilter(true));
    EXPECT_FALSE(item->CanHide());  // the only visible item
    f.addColumn("Other");
    EXPECT_TRUE(item->CanHide());
    f.view->OptionsCustomize()->SetColumnSorting(false);
    EXPECT_FALSE(item->CanSort());
    f.view->OptionsCustomize()->SetColumnFiltering(false);
    EXPECT_FALSE(item->CanFilter(true));
    EXPECT_TRUE(item->CanFilter(false));
    item->Options()->SetGrouping(false);
    EXPECT_FALSE(item->CanGroup());
    EXPECT_TRUE(item->IsEditingAllowed());
    f.view->OptionsData()->SetEditing(false);
    EXPECT_FALSE(item->IsEditingAllowed());
    EXPECT_FALSE(item->IsSortingByDisplayText(false));
    item->Options()->SetSortByDisplayText(isbtOn);
    EXPECT_TRUE(item->IsSortingByDisplayText(false));
}

TEST(GridTableItem, AssignCopiesTheItemsSettings)
{
    ItemFixture f;
    TvlGridColumn* source = f.addColumn("Source");
    source->SetWidth(120);
    source->SetMinWidth(40);
    source->SetTag(7);
    source->SetHeaderAlignmentHorz(taCenter);
    source->Options()->SetHorzSizing(false);
    source->Options()->SetSorting(false);
    source->SetPropertiesClassName(QStringLiteral("TvlTextEditProperties"));
    TvlGridColumn* target = f.addColumn("Target");
    target->Assign(source);
    EXPECT_EQ(target->Caption(), QStringLiteral("Source"));
    EXPECT_EQ(target->Width(), 120);
    EXPECT_EQ(target->Tag(), 7);
    EXPECT_EQ(target->HeaderAlignmentHorz(), taCenter);
    EXPECT_TRUE(target->IsHeaderAlignmentHorzStored());
    EXPECT_FALSE(target->Options()->HorzSizing());
    EXPECT_FALSE(target->Options()->Sorting());
    ASSERT_NE(target->Properties(), nullptr);
    EXPECT_NE(target->Properties(), source->Properties());
    TComponent other(nullptr);
    EXPECT_THROW(target->Assign(&other), EConvertError);
}

}  // namespace
