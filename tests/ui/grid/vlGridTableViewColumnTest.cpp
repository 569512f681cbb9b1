// Grid columns: fixed widths, footer alignments, grouping by the user,
// best fit over the records, and the column's styles and options.
#include <gtest/gtest.h>

#include "JobListFixture.h"
#include "TableViewRecorder.h"

using namespace gridtest;

namespace {

using Kinds = std::vector<TvlViewChangeKind>;

using ColumnFixture = EditorFixture;

TEST(GridColumn, AFixedColumnKeepsItsWidthAndReportsItAsTheMinimum)
{
    ColumnFixture f;
    TvlGridColumn* status = f.addColumn("Status");
    EXPECT_TRUE(status->CanHorzSize());
    status->Options()->SetHorzSizing(false);
    EXPECT_EQ(f.view->kinds, (Kinds{vckLayout}));
    EXPECT_FALSE(status->CanHorzSize());
    EXPECT_TRUE(status->IsWidthFixed());
    status->SetWidth(5);  // no minimum for a fixed width
    EXPECT_EQ(status->Width(), 5);
    EXPECT_EQ(status->MinWidth(), 5);
    status->Options()->SetHorzSizing(true);
    EXPECT_EQ(status->MinWidth(), 20);

    // The view can forbid sizing of every column.
    f.view->OptionsCustomize()->SetColumnHorzSizing(false);
    EXPECT_FALSE(status->CanHorzSize());
    // A width forced by the user is held while it is set, then released.
    status->ForceWidth(90);
    EXPECT_EQ(status->Width(), 90);
    EXPECT_FALSE(status->IsWidthFixed());
}

TEST(GridColumn, FooterAlignmentsFollowTheProviderUntilSet)
{
    ColumnFixture f;
    TvlGridColumn* size = f.addColumn("Size");
    EXPECT_EQ(size->FooterAlignmentHorz(), taLeftJustify);
    size->SetFooterAlignmentHorz(taLeftJustify);
    EXPECT_FALSE(size->IsFooterAlignmentHorzStored());
    size->SetFooterAlignmentHorz(taRightJustify);
    EXPECT_TRUE(size->IsFooterAlignmentHorzStored());
    EXPECT_EQ(f.view->kinds, (Kinds{vckLayout}));
    size->SetGroupSummaryAlignment(taCenter);
    EXPECT_EQ(size->GetGroupSummaryAlignment(), taCenter);
    EXPECT_EQ(size->HeaderGlyphAlignmentVert(), vaCenter);
}

TEST(GridColumn, GroupingByTheUserHidesAndShowsAsTheOptionsSay)
{
    ColumnFixture f;
    TvlGridColumn* name = f.addColumn("Name");
    TvlGridColumn* kind = f.addColumn("Kind");
    EXPECT_FALSE(kind->ChangeGroupIndexByUser(0));  // an editor that cannot sort cannot group
    name->SetRepositoryItem(f.repositoryItem());
    kind->SetRepositoryItem(name->RepositoryItem());

    EXPECT_TRUE(kind->ChangeGroupIndexByUser(0));
    EXPECT_EQ(kind->GroupIndex(), 0);
    EXPECT_FALSE(kind->Visible());
    EXPECT_TRUE(kind->ChangeGroupIndexByUser(-1));
    EXPECT_EQ(kind->GroupIndex(), -1);
    EXPECT_TRUE(kind->Visible());

    // A column hidden before grouping stays hidden after it.
    kind->SetVisible(false);
    kind->ChangeGroupIndexByUser(0);
    kind->ChangeGroupIndexByUser(-1);
    EXPECT_FALSE(kind->Visible());

    // Without hiding on grouping the column stays where it is.
    kind->SetVisible(true);
    f.view->OptionsCustomize()->SetColumnHidingOnGrouping(false);
    kind->ChangeGroupIndexByUser(0);
    EXPECT_TRUE(kind->Visible());

    // Switching GroupBySorting ungroups and unsorts the view.
    name->SetSortOrder(soAscending);
    f.view->OptionsCustomize()->SetGroupBySorting(true);
    EXPECT_EQ(kind->GroupIndex(), -1);
    EXPECT_EQ(name->SortOrder(), soNone);
}

TEST(GridColumn, BestFitMeasuresTheRecordsFromTheTop)
{
    ColumnFixture f;
    TvlGridColumn* name = f.addColumn("Name");
    name->SetRepositoryItem(f.repositoryItem());
    const char* texts[] = {"abcd", "a much longer name of a job", "cd"};
    f.view->DataController()->SetRecordCount(3);
    for (int i = 0; i < 3; ++i)
        f.view->DataController()->SetValue(i, 0, Variant(QString::fromLatin1(texts[i])));

    const int all = name->CalculateBestFitWidth();
    f.view->OptionsBehavior()->SetBestFitMaxRecordCount(1);
    const int first = name->CalculateBestFitWidth();
    EXPECT_EQ(all, 7 * 27 + 2);
    EXPECT_EQ(first, 7 * 4 + 2);
    name->SetBestFitMaxWidth(first - 1);
    EXPECT_EQ(name->GetBestFitWidth(), first - 1);

    name->ApplyBestFit();
    EXPECT_EQ(name->Width(), first - 1);
    EXPECT_EQ(name->CellStyleUseCount(), 0);  // the measuring style is given back
}

TEST(GridColumn, OptionsAndStylesReportTheirChangesThroughTheColumn)
{
    ColumnFixture f;
    TvlGridColumn* column = f.addColumn("Name");
    struct Case {
        const char* name;
        std::function<void()> set;
        Kinds kinds;
    };
    const std::vector<Case> cases = {
        {"CellMerging", [&] { column->Options()->SetCellMerging(true); }, {vckLayout}},
        {"GroupFooters", [&] { column->Options()->SetGroupFooters(false); }, {vckSize}},
        {"ShowCaption", [&] { column->Options()->SetShowCaption(false); }, {vckSize}},
        {"Filtering", [&] { column->Options()->SetFiltering(false); }, {vckLayout}},
        {"FilteringPopup", [&] { column->Options()->SetFilteringPopup(false); }, {vckSize}},
        {"Moving", [&] { column->Options()->SetMoving(false); }, {vckProperty}},
        {"SortByDisplayText refreshes only", [&] { column->Options()->SetSortByDisplayText(isbtOff); }, {}},
        {"IgnoreTimeForFiltering refreshes only", [&] { column->Options()->SetIgnoreTimeForFiltering(false); }, {}},
        {"BestFitMaxWidth -3", [&] { column->SetBestFitMaxWidth(-3); }, {}},
        {"HeaderGlyphAlignmentHorz", [&] { column->SetHeaderGlyphAlignmentHorz(taRightJustify); }, {vckLayout}},
        {"header style event", [&] {
             column->Styles()->SetOnGetHeaderStyle(
                 TvlGridGetHeaderStyleEvent::FromFunction([](TvlGridTableView*, TvlGridColumn*, TvlStyle*&) {}));
         }, {vckProperty}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        f.view->kinds.clear();
        c.set();
        EXPECT_EQ(f.view->kinds, c.kinds);
    }
    TvlGridColumn* copy = f.addColumn("Copy");
    copy->Options()->Assign(column->Options());
    EXPECT_TRUE(copy->Options()->CellMerging());
    EXPECT_FALSE(copy->Options()->GroupFooters());
    EXPECT_FALSE(copy->Options()->ShowCaption());
    EXPECT_EQ(copy->Options()->SortByDisplayText(), isbtOff);
}

}  // namespace
