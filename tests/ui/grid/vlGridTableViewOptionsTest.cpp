// The table view's option objects: the table's own settings, the cell
// multi-selection coupling, row heights, the main form's option set, the
// special rows and the preview; and the table's style slots.
#include <gtest/gtest.h>

#include "TableViewRecorder.h"
#include "ui/grid/vlGridStrs.h"

using namespace gridtest;

namespace {

using Kinds = std::vector<TvlViewChangeKind>;

TEST(GridTableViewOptions, TableSettingsClampAndReportTheirChange)
{
    TableViewFixture f;
    TvlGridTableOptionsView* o = f.view->OptionsView();
    EXPECT_TRUE(o->Header() && o->GroupByBox() && o->ExpandButtonsForEmptyDetails());
    EXPECT_EQ(o->IndicatorWidth(), 12);
    EXPECT_EQ(o->GridLines(), glBoth);
    EXPECT_EQ(o->GridLineColor(), clDefault);

    struct Case {
        const char* name;
        std::function<void()> set;
        std::function<bool()> readsBack;
        Kinds kinds;
    };
    const std::vector<Case> cases = {
        {"HeaderHeight -1 has no minimum", [&] { o->SetHeaderHeight(-1); }, [&] { return o->HeaderHeight() == 0; }, {}},
        {"HeaderHeight 24", [&] { o->SetHeaderHeight(24); }, [&] { return o->HeaderHeight() == 24; }, {vckSize}},
        {"IndicatorWidth -4", [&] { o->SetIndicatorWidth(-4); }, [&] { return o->IndicatorWidth() == 0; }, {vckSize}},
        {"RowSeparatorWidth -4", [&] { o->SetRowSeparatorWidth(-4); }, [&] { return o->RowSeparatorWidth() == 0; }, {}},
        {"DataRowHeight -3 is automatic", [&] { o->SetDataRowHeight(-3); }, [&] { return o->DataRowHeight() == 0; }, {}},
        {"GridLineColor", [&] { o->SetGridLineColor(clSilver); }, [&] { return o->GetGridLineColor() == clSilver; }, {vckLayout}},
        {"GridLines", [&] { o->SetGridLines(glNone); }, [&] { return o->GridLines() == glNone; }, {vckSize}},
        {"ColumnAutoWidth", [&] { o->SetColumnAutoWidth(true); }, [&] { return o->ColumnAutoWidth(); }, {vckSize}},
        {"GroupFooters", [&] { o->SetGroupFooters(gfAlwaysVisible); }, [&] { return o->GroupFooters() == gfAlwaysVisible; }, {vckSize}},
        {"ColumnHorzSizing", [&] { f.view->OptionsCustomize()->SetColumnHorzSizing(false); },
         [&] { return !f.view->OptionsCustomize()->ColumnHorzSizing(); }, {vckLayout}},
        {"ColumnHeaderHints", [&] { f.view->OptionsBehavior()->SetColumnHeaderHints(false); },
         [&] { return !f.view->OptionsBehavior()->ColumnHeaderHints(); }, {vckProperty}},
        {"FilterRow SeparatorWidth 1 gives 2", [&] { f.view->FilterRow()->SetSeparatorWidth(1); },
         [&] { return f.view->FilterRow()->SeparatorWidth() == 2; }, {vckSize}},
        {"FilterRow ApplyChanges", [&] { f.view->FilterRow()->SetApplyChanges(fracImmediately); },
         [&] { return f.view->FilterRow()->ApplyChanges() == fracImmediately; }, {vckProperty}},
        {"Preview MaxLineCount while hidden relays nothing out", [&] { f.view->Preview()->SetMaxLineCount(5); },
         [&] { return f.view->Preview()->MaxLineCount() == 5; }, {vckProperty}},
        {"Preview LeftIndent -1", [&] { f.view->Preview()->SetLeftIndent(-1); },
         [&] { return f.view->Preview()->LeftIndent() == 0; }, {vckProperty}},
        {"Preview Visible", [&] { f.view->Preview()->SetVisible(true); }, [&] { return f.view->Preview()->Visible(); }, {vckSize}},
        {"Preview RightIndent while visible", [&] { f.view->Preview()->SetRightIndent(9); },
         [&] { return f.view->Preview()->RightIndent() == 9; }, {vckSize}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        f.view->kinds.clear();
        c.set();
        EXPECT_TRUE(c.readsBack());
        EXPECT_EQ(f.view->kinds, c.kinds);
    }
}

TEST(GridTableViewOptions, DataRowHeightIsRaisedToWhatTheRowsNeed)
{
    TableViewFixture f;
    TvlGridTableOptionsView::SetMinDataRowHeightHook([](const TvlGridTableView*) { return 17; });
    f.view->OptionsView()->SetDataRowHeight(5);
    EXPECT_EQ(f.view->OptionsView()->DataRowHeight(), 17);
    f.view->OptionsView()->SetDataRowHeight(24);
    EXPECT_EQ(f.view->OptionsView()->DataRowHeight(), 24);
    f.view->OptionsView()->SetDataRowHeight(-3);
    EXPECT_EQ(f.view->OptionsView()->DataRowHeight(), 0);
    TvlGridTableOptionsView::SetMinDataRowHeightHook(nullptr);
}

TEST(GridTableViewOptions, CellMultiSelectHoldsCellSelectionAndMultiSelection)
{
    TableViewFixture f;
    TvlGridTableOptionsSelection* s = f.view->OptionsSelection();
    s->SetCellSelect(false);
    s->SetCellMultiSelect(true);
    EXPECT_TRUE(s->CellSelect());
    EXPECT_TRUE(s->MultiSelect());
    EXPECT_FALSE(s->InvertSelect());
    s->SetMultiSelect(false);
    s->SetCellSelect(false);
    s->SetInvertSelect(true);
    EXPECT_TRUE(s->MultiSelect());
    EXPECT_TRUE(s->CellSelect());
    EXPECT_FALSE(s->InvertSelect());
    // Implied values are not stored.
    EXPECT_FALSE(s->IsMultiSelectStored() || s->IsInvertSelectStored() || s->IsCellSelectStored());
    s->SetCellMultiSelect(false);
    EXPECT_TRUE(s->InvertSelect());
    EXPECT_FALSE(s->MultiSelect());
}

TEST(GridTableViewOptions, TheMainFormsOptionSetReadsBack)
{
    TableViewFixture f;
    TvlGridTableView* v = f.view;
    auto* c = v->OptionsCustomize();
    c->SetColumnFiltering(false);
    c->SetColumnGrouping(false);
    c->SetColumnHidingOnGrouping(false);
    c->SetColumnMoving(false);
    c->SetColumnSorting(false);
    auto* d = v->OptionsData();
    d->SetCancelOnExit(false);
    d->SetDeleting(false);
    d->SetDeletingConfirmation(false);
    d->SetEditing(false);
    d->SetInserting(false);
    auto* s = v->OptionsSelection();
    s->SetCellSelect(false);
    s->SetHideSelection(true);
    s->SetInvertSelect(false);
    auto* o = v->OptionsView();
    o->SetCellEndEllipsis(true);
    o->SetNoDataToDisplayInfoText(QStringLiteral(" "));
    o->SetColumnAutoWidth(true);
    o->SetDataRowHeight(24);
    o->SetGridLineColor(clSilver);
    o->SetGroupByBox(false);
    o->SetHeaderHeight(24);
    v->FilterBox()->SetCustomizeDialog(false);

    EXPECT_FALSE(c->ColumnFiltering() || c->ColumnGrouping() || c->ColumnHidingOnGrouping() || c->ColumnMoving() ||
                 c->ColumnSorting());
    EXPECT_TRUE(c->ColumnHorzSizing());
    EXPECT_FALSE(d->CancelOnExit() || d->Deleting() || d->DeletingConfirmation() || d->Editing() || d->Inserting());
    EXPECT_FALSE(s->CellSelect() || s->InvertSelect());
    EXPECT_TRUE(s->HideSelection());
    EXPECT_TRUE(o->CellEndEllipsis() && o->ColumnAutoWidth());
    EXPECT_FALSE(o->GroupByBox());
    EXPECT_EQ(o->NoDataToDisplayInfoText(), QStringLiteral(" "));
    EXPECT_EQ(o->DataRowHeight(), 24);
    EXPECT_EQ(o->HeaderHeight(), 24);
    EXPECT_EQ(o->GetGridLineColor(), clSilver);
    EXPECT_FALSE(v->FilterBox()->CustomizeDialog());

    // A second view takes the whole set by assignment.
    TableViewFixture g;
    g.view->OptionsCustomize()->Assign(c);
    g.view->OptionsData()->Assign(d);
    g.view->OptionsSelection()->Assign(s);
    g.view->OptionsView()->Assign(o);
    EXPECT_FALSE(g.view->OptionsCustomize()->ColumnHidingOnGrouping());
    EXPECT_FALSE(g.view->OptionsData()->Inserting());
    EXPECT_FALSE(g.view->OptionsSelection()->InvertSelect());
    EXPECT_EQ(g.view->OptionsView()->DataRowHeight(), 24);
    EXPECT_EQ(g.view->OptionsView()->NoDataToDisplayInfoText(), QStringLiteral(" "));
}

TEST(GridTableViewOptions, OlderNewItemRowNamesReachTheNewItemRow)
{
    TableViewFixture f;
    TvlGridTableOptionsView* o = f.view->OptionsView();
    EXPECT_TRUE(o->ReadOlderProperty(QStringLiteral("NewItemRowSeparatorColor"), Variant(QStringLiteral("clRed"))));
    EXPECT_EQ(f.view->NewItemRow()->SeparatorColor(), clRed);
    EXPECT_TRUE(o->ReadOlderProperty(QStringLiteral("NewItemRowSeparatorColor"), Variant(int(0x123456))));
    EXPECT_EQ(f.view->NewItemRow()->SeparatorColor(), TColor(0x123456));
    EXPECT_TRUE(o->ReadOlderProperty(QStringLiteral("NewItemRowSeparatorWidth"), Variant(1)));
    EXPECT_EQ(f.view->NewItemRow()->SeparatorWidth(), 2);
    EXPECT_THROW(o->ReadOlderProperty(QStringLiteral("NewItemRowSeparatorColor"), Variant(QStringLiteral("clNoSuch"))), EReadError);
    EXPECT_FALSE(o->ReadOlderProperty(QStringLiteral("Footer"), Variant(true)));
}

TEST(GridTableViewOptions, SpecialRowTextsFollowTheLanguageUntilAssigned)
{
    TableViewFixture f;
    TvlGridNewItemRowOptions* row = f.view->NewItemRow();
    EXPECT_EQ(row->InfoText(), QStringLiteral("Click here to add a new row"));
    row->SetInfoText(QStringLiteral("Click here to add a new row"));
    EXPECT_FALSE(row->IsInfoTextStored());
    SetResStringLoader([](const TResStringRec& r) {
        return QLatin1String(r.Name) == QLatin1String("svlGridNewItemRowInfoText") ? QStringLiteral("Neue Zeile") : String();
    });
    EXPECT_EQ(row->InfoText(), QStringLiteral("Neue Zeile"));
    SetResStringLoader({});
    row->SetInfoText(QStringLiteral("Add a job"));
    EXPECT_TRUE(row->IsInfoTextStored());
    EXPECT_EQ(f.view->FilterRow()->GetSeparatorColor(), f.view->GetLookAndFeelPainter()->DefaultHeaderColor());
}

TEST(GridTableViewOptions, TheNewItemRowEditsThroughTheDataControllerWhileVisible)
{
    TableViewFixture f;
    f.view->NewItemRow()->SetVisible(true);
    EXPECT_TRUE(f.view->DataController()->UseNewItemRowForEditing());
    EXPECT_NE(f.view->ViewData()->NewItemRecord(), nullptr);
    f.view->NewItemRow()->SetVisible(false);
    EXPECT_FALSE(f.view->DataController()->UseNewItemRowForEditing());
    EXPECT_EQ(f.view->ViewData()->NewItemRecord(), nullptr);
}

TEST(GridTableViewOptions, ThePreviewColumnLeavesTheHeaderAndComesBack)
{
    TableViewFixture f;
    TvlGridColumn* name = f.addColumn("Name");
    TvlGridColumn* path = f.addColumn("Path");
    f.view->Preview()->SetColumn(path);
    EXPECT_TRUE(path->IsPreview());
    EXPECT_FALSE(path->Visible());
    EXPECT_FALSE(path->VisibleForCustomization());
    EXPECT_FALSE(path->IsVisibleStored());
    EXPECT_EQ(f.view->VisibleItemCount(), 1);
    f.view->Preview()->SetColumn(name);
    EXPECT_TRUE(path->Visible());
    EXPECT_EQ(f.view->VisibleItemCount(), 1);
    EXPECT_EQ(f.view->VisibleItems(0), path);

    // A column of another view is none; a freed preview column leaves none.
    TableViewFixture other;
    TvlGridColumn* foreign = other.addColumn("Foreign");
    f.view->Preview()->SetColumn(foreign);
    EXPECT_EQ(f.view->Preview()->Column(), nullptr);
    f.view->Preview()->SetColumn(name);
    delete name;
    EXPECT_EQ(f.view->Preview()->Column(), nullptr);
}

}  // namespace
