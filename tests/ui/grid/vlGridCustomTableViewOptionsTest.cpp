// The record view's option objects: defaults, clamps and the change each
// setting reports; and its style set's content, even/odd and selection rules.
#include <gtest/gtest.h>

#include <functional>

#include "TableViewRecorder.h"
#include "ui/grid/vlGridStrs.h"

using namespace gridtest;

namespace {

// One setting: set it to a value, read it back, and the one change kind it
// reports (none when it reports nothing).
struct OptionCase {
    const char* name;
    std::function<void(TvlGridTableView*)> set;
    std::function<bool(TvlGridTableView*)> readsBack;
    int kind;  // -1: no change report
};

constexpr int none = -1;

void runCases(const std::vector<OptionCase>& cases)
{
    for (const OptionCase& c : cases) {
        SCOPED_TRACE(c.name);
        TableViewFixture f;
        f.view->kinds.clear();
        c.set(f.view);
        EXPECT_TRUE(c.readsBack(f.view));
        if (c.kind == none)
            EXPECT_TRUE(f.view->kinds.empty());
        else
            EXPECT_EQ(f.view->kinds, (std::vector<TvlViewChangeKind>{TvlViewChangeKind(c.kind)}));
        // Setting the same value again reports nothing.
        f.view->kinds.clear();
        c.set(f.view);
        EXPECT_TRUE(f.view->kinds.empty());
    }
}

TEST(GridTableOptions, DefaultsOfTheRecordViewOptions)
{
    TableViewFixture f;
    TvlGridTableView* v = f.view;
    auto* b = v->OptionsBehavior();
    EXPECT_TRUE(b->CopyCaptionsToClipboard() && b->DragHighlighting() && b->DragOpening() && b->DragScrolling() &&
                b->ImmediateEditor());
    EXPECT_FALSE(b->AlwaysShowEditor() || b->CellHints() || b->IncSearch() || b->FocusCellOnTab());
    EXPECT_EQ(b->DragFocusing(), dfNone);
    EXPECT_EQ(b->BestFitMaxRecordCount(), 0);
    auto* d = v->OptionsData();
    EXPECT_TRUE(d->CancelOnExit() && d->Deleting() && d->DeletingConfirmation() && d->Editing() && d->Inserting());
    EXPECT_FALSE(d->Appending());
    auto* s = v->OptionsSelection();
    EXPECT_TRUE(s->CellSelect() && s->HideFocusRectOnExit() && s->InvertSelect() && s->UnselectFocusedRecordOnExit());
    EXPECT_FALSE(s->HideSelection() || s->MultiSelect() || s->IsInvertSelectStored() || s->IsMultiSelectStored());
    auto* o = v->OptionsView();
    EXPECT_EQ(o->NavigatorOffset(), 50);
    EXPECT_EQ(o->ShowEditButtons(), gsebNever);
    EXPECT_EQ(o->ShowColumnFilterButtons(), sfbWhenSelected);
    EXPECT_EQ(o->NoDataToDisplayInfoText(), QStringLiteral("<No data to display>"));
    EXPECT_TRUE(o->FocusRect());
    EXPECT_EQ(v->FilterBox()->Visible(), fvNonEmpty);
    EXPECT_EQ(v->FilterBox()->Position(), fpBottom);
    EXPECT_TRUE(v->FilterBox()->CustomizeDialog());
    EXPECT_EQ(v->Filtering()->ItemPopup()->MaxDropDownItemCount(), 15);
    EXPECT_TRUE(v->Filtering()->ItemPopup()->MultiSelect());
    EXPECT_EQ(v->Filtering()->ItemMRUItemsListCount(), 5);
    EXPECT_EQ(v->Filtering()->MRUItemsListCount(), 10);
    EXPECT_EQ(v->DateTimeHandling()->Grouping(), dtgByDateAndTime);
    EXPECT_TRUE(v->DateTimeHandling()->UseLongDateFormat());
    EXPECT_EQ(v->DateTimeHandling()->GetMonthFormat(), QStringLiteral("mmmm yyyy"));
}

TEST(GridTableOptions, SettingsReadBackWithTheirClampsAndChangeKinds)
{
    runCases({
        {"BestFitMaxRecordCount -5", [](auto* v) { v->OptionsBehavior()->SetBestFitMaxRecordCount(-5); },
         [](auto* v) { return v->OptionsBehavior()->BestFitMaxRecordCount() == 0; }, none},
        {"BestFitMaxRecordCount 10", [](auto* v) { v->OptionsBehavior()->SetBestFitMaxRecordCount(10); },
         [](auto* v) { return v->OptionsBehavior()->BestFitMaxRecordCount() == 10; }, vckProperty},
        {"DragFocusing", [](auto* v) { v->OptionsBehavior()->SetDragFocusing(dfDragDrop); },
         [](auto* v) { return v->OptionsBehavior()->DragFocusing() == dfDragDrop; }, vckProperty},
        {"ColumnFiltering", [](auto* v) { v->OptionsCustomize()->SetColumnFiltering(false); },
         [](auto* v) { return !v->OptionsCustomize()->ItemFiltering(); }, vckSize},
        {"ColumnsQuickCustomizationMaxDropDownCount -1",
         [](auto* v) { v->OptionsCustomize()->SetColumnsQuickCustomizationMaxDropDownCount(-1); },
         [](auto* v) { return v->OptionsCustomize()->ItemsQuickCustomizationMaxDropDownCount() == 0; }, none},
        {"Data Editing", [](auto* v) { v->OptionsData()->SetEditing(false); }, [](auto* v) { return !v->OptionsData()->Editing(); },
         vckLayout},
        {"Data Deleting", [](auto* v) { v->OptionsData()->SetDeleting(false); }, [](auto* v) { return !v->OptionsData()->Deleting(); },
         vckProperty},
        {"HideSelection", [](auto* v) { v->OptionsSelection()->SetHideSelection(true); },
         [](auto* v) { return v->OptionsSelection()->HideSelection(); }, vckLayout},
        {"HideFocusRect is the older name", [](auto* v) { v->OptionsSelection()->SetHideFocusRect(false); },
         [](auto* v) { return !v->OptionsSelection()->HideFocusRectOnExit(); }, vckLayout},
        {"InvertSelect", [](auto* v) { v->OptionsSelection()->SetInvertSelect(false); },
         [](auto* v) { return !v->OptionsSelection()->InvertSelect() && v->OptionsSelection()->IsInvertSelectStored(); },
         vckLayout},
        {"MultiSelect lives in the data controller", [](auto* v) { v->OptionsSelection()->SetMultiSelect(true); },
         [](auto* v) { return v->DataController()->MultiSelect() && v->OptionsSelection()->IsMultiSelectStored(); },
         vckProperty},
        {"CellTextMaxLineCount -2", [](auto* v) { v->OptionsView()->SetCellTextMaxLineCount(-2); },
         [](auto* v) { return v->OptionsView()->CellTextMaxLineCount() == 0; }, none},
        {"CellEndEllipsis", [](auto* v) { v->OptionsView()->SetCellEndEllipsis(true); },
         [](auto* v) { return v->OptionsView()->CellEndEllipsis(); }, vckLayout},
        {"NavigatorOffset -1", [](auto* v) { v->OptionsView()->SetNavigatorOffset(-1); },
         [](auto* v) { return v->OptionsView()->NavigatorOffset() == 0; }, vckSize},
        {"ShowEditButtons", [](auto* v) { v->OptionsView()->SetShowEditButtons(gsebAlways); },
         [](auto* v) { return v->OptionsView()->ShowEditButtons() == gsebAlways; }, vckSize},
        {"HeaderAutoHeight is a layout change in the table", [](auto* v) { v->OptionsView()->SetHeaderAutoHeight(true); },
         [](auto* v) { return v->OptionsView()->ItemCaptionAutoHeight(); }, vckLayout},
        {"DateTimeHandling Grouping dtgDefault", [](auto* v) { v->DateTimeHandling()->SetGrouping(dtgDefault); },
         [](auto* v) { return v->DateTimeHandling()->Grouping() == dtgByDateAndTime; }, none},
        {"DateTimeHandling Grouping by month", [](auto* v) { v->DateTimeHandling()->SetGrouping(dtgByMonth); },
         [](auto* v) { return v->DateTimeHandling()->Grouping() == dtgByMonth; }, vckProperty},
        {"DateTimeHandling IgnoreTimeForFiltering refreshes only",
         [](auto* v) { v->DateTimeHandling()->SetIgnoreTimeForFiltering(true); },
         [](auto* v) { return v->DateTimeHandling()->IgnoreTimeForFiltering(); }, none},
        {"DateTimeHandling Filters", [](auto* v) { v->DateTimeHandling()->SetFilters(TvlGridDateTimeFilters{dtfMonths}); },
         [](auto* v) { return v->DateTimeHandling()->Filters() == TvlGridDateTimeFilters{dtfMonths}; }, vckProperty},
        {"FilterBox Visible", [](auto* v) { v->FilterBox()->SetVisible(fvAlways); },
         [](auto* v) { return v->FilterBox()->Visible() == fvAlways; }, vckSize},
        {"FilterBox CustomizeDialog", [](auto* v) { v->FilterBox()->SetCustomizeDialog(false); },
         [](auto* v) { return !v->FilterBox()->CustomizeDialog(); }, vckLayout},
        {"ColumnPopup MaxDropDownItemCount -3", [](auto* v) { v->Filtering()->ItemPopup()->SetMaxDropDownItemCount(-3); },
         [](auto* v) { return v->Filtering()->ItemPopup()->MaxDropDownItemCount() == 0; }, vckProperty},
        {"Filtering MRUItemsList", [](auto* v) { v->Filtering()->SetMRUItemsList(false); },
         [](auto* v) { return !v->Filtering()->MRUItemsList(); }, vckSize},
    });
}

TEST(GridTableOptions, NoDataTextFollowsTheResourceUntilOneOfItsOwnIsSet)
{
    TableViewFixture f;
    TvlGridTableOptionsView* o = f.view->OptionsView();
    o->SetNoDataToDisplayInfoText(QStringLiteral(" "));
    EXPECT_EQ(o->NoDataToDisplayInfoText(), QStringLiteral(" "));
    EXPECT_TRUE(o->IsNoDataToDisplayInfoTextStored());
    o->SetNoDataToDisplayInfoText(LoadResString(svlGridNoDataInfoText));
    EXPECT_FALSE(o->IsNoDataToDisplayInfoTextStored());

    SetResStringLoader([](const TResStringRec& r) {
        return QLatin1String(r.Name) == QLatin1String("svlGridNoDataInfoText") ? QStringLiteral("<Keine Daten>") : String();
    });
    EXPECT_EQ(o->NoDataToDisplayInfoText(), QStringLiteral("<Keine Daten>"));
    SetResStringLoader({});
}

TEST(GridTableOptions, OlderFilteringNamesReachTheFilterBoxAndThePopup)
{
    TableViewFixture f;
    TvlCustomGridTableFiltering* filtering = f.view->Filtering();
    EXPECT_TRUE(filtering->ReadOlderProperty(QStringLiteral("Visible"), Variant(QStringLiteral("fvAlways"))));
    EXPECT_TRUE(filtering->ReadOlderProperty(QStringLiteral("CustomizeDialog"), Variant(false)));
    EXPECT_TRUE(filtering->ReadOlderProperty(QStringLiteral("MaxDropDownCount"), Variant(7)));
    EXPECT_TRUE(filtering->ReadOlderProperty(QStringLiteral("ColumnPopupDropDownWidth"), Variant(120)));
    EXPECT_FALSE(filtering->ReadOlderProperty(QStringLiteral("Colour"), Variant(1)));
    EXPECT_EQ(f.view->FilterBox()->Visible(), fvAlways);
    EXPECT_FALSE(f.view->FilterBox()->CustomizeDialog());
    EXPECT_EQ(filtering->ItemPopup()->MaxDropDownItemCount(), 7);
    EXPECT_EQ(filtering->ItemPopup()->DropDownWidth(), 120);
    // An identifier that names no value is refused, not taken as the first.
    EXPECT_THROW(filtering->ReadOlderProperty(QStringLiteral("Position"), Variant(QStringLiteral("fpLeft"))), EReadError);
    EXPECT_EQ(f.view->FilterBox()->Position(), fpBottom);
}

TEST(GridTableOptions, AssignCopiesEverySettingOfTheSameClass)
{
    TableViewFixture a;
    TableViewFixture b;
    a.view->OptionsBehavior()->SetCellHints(true);
    a.view->OptionsData()->SetAppending(true);
    a.view->OptionsSelection()->SetHideSelection(true);
    a.view->OptionsView()->SetGridLineColor(clSilver);
    a.view->DateTimeHandling()->SetYearFormat(QStringLiteral("yy"));
    a.view->Filtering()->ItemPopup()->SetDropDownWidth(99);
    b.view->OptionsBehavior()->Assign(a.view->OptionsBehavior());
    b.view->OptionsData()->Assign(a.view->OptionsData());
    b.view->OptionsSelection()->Assign(a.view->OptionsSelection());
    b.view->OptionsView()->Assign(a.view->OptionsView());
    b.view->DateTimeHandling()->Assign(a.view->DateTimeHandling());
    b.view->Filtering()->Assign(a.view->Filtering());
    EXPECT_TRUE(b.view->OptionsBehavior()->CellHints());
    EXPECT_TRUE(b.view->OptionsData()->Appending());
    EXPECT_TRUE(b.view->OptionsSelection()->HideSelection());
    EXPECT_EQ(b.view->OptionsView()->GridLineColor(), clSilver);
    EXPECT_EQ(b.view->DateTimeHandling()->GetYearFormat(), QStringLiteral("yy"));
    EXPECT_EQ(b.view->Filtering()->ItemPopup()->DropDownWidth(), 99);
}

}  // namespace
