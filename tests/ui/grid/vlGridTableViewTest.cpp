#include "ui/grid/vlGridTableView.h"

#include <gtest/gtest.h>

#include "JobListFixture.h"

namespace {

using gridtest::JobListFixture;

// ---- the job list ---------------------------------------------------------------------------

TEST(vlGridTableViewJobList, ShowsEightColumnsInOrderWithTheirTextsAndIds)
{
    JobListFixture f;
    TvlGridTableView* view = f.view;
    ASSERT_EQ(view->ColumnCount(), 10);
    std::vector<String> visible;
    for (int i = 0; i < view->VisibleColumnCount(); ++i)
        visible.push_back(view->VisibleColumns(i)->Name());
    EXPECT_EQ(visible, (std::vector<String>{QStringLiteral("ColFile"), QStringLiteral("ColTotalTime"),
                                            QStringLiteral("ColFileSize"), QStringLiteral("ColTime"),
                                            QStringLiteral("ColSize"), QStringLiteral("ColFPS"),
                                            QStringLiteral("ColProgress"), QStringLiteral("colStatus")}));
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(view->Columns(i)->ID(), i);
        EXPECT_EQ(view->Columns(i)->Index(), i);
    }

    const int job = f.AddJob(QStringLiteral("holiday.avi"), QStringLiteral("00:01:30"), QStringLiteral("12.5 MB"));
    TvlGridDataController* dc = view->GetDataController();
    EXPECT_EQ(dc->GetDisplayText(job, JobListFixture::colFile), QStringLiteral("holiday.avi"));
    EXPECT_EQ(dc->GetDisplayText(job, JobListFixture::colTotalTime), QStringLiteral("00:01:30"));
    EXPECT_EQ(dc->GetDisplayText(job, JobListFixture::colFileSize), QStringLiteral("12.5 MB"));
    TvlCustomGridRecord* row = view->ViewData()->Records(0);
    EXPECT_EQ(row->GetDisplayText(JobListFixture::colFile), QStringLiteral("holiday.avi"));
    EXPECT_TRUE(dynamic_cast<TvlGridDataRow*>(row) != nullptr);
}

TEST(vlGridTableViewJobList, WidthsFollowTheMinimumAndTheStatusColumnIsFixed)
{
    JobListFixture f;
    TvlGridColumn* file = f.columns[JobListFixture::colFile];
    file->SetWidth(5);
    EXPECT_EQ(file->Width(), 20);
    TvlGridColumn* status = f.columns[JobListFixture::colStatus];
    EXPECT_EQ(status->MinWidth(), 50);
    EXPECT_EQ(status->Width(), 50);
    EXPECT_FALSE(status->CanHorzSize());
    EXPECT_TRUE(status->HasFixedWidth());
}

TEST(vlGridTableViewJobList, AnUnfocusedJobListDrawsNoRowSelected)
{
    JobListFixture f;
    for (int i = 0; i < 3; ++i)
        f.AddJob(QStringLiteral("clip%1.avi").arg(i), QStringLiteral("00:00:10"), QStringLiteral("1 MB"));
    TvlGridTableView* view = f.view;
    f.grid->SetFocusedView(view);
    view->DataController()->ChangeFocusedRowIndex(1);
    ASSERT_TRUE(view->ViewData()->Records(1)->GetSelected());
    ASSERT_FALSE(f.grid->IsFocused());
    for (int row = 0; row < 3; ++row)
        for (int i = 0; i < view->VisibleColumnCount(); ++i)
            EXPECT_FALSE(view->DrawCellSelected(view->ViewData()->Records(row), view->VisibleColumns(i), nullptr, false))
                << "row " << row << " column " << i;
    // Without HideSelection the focused row shows, over the whole row.
    view->OptionsSelection()->SetHideSelection(false);
    for (int i = 0; i < view->VisibleColumnCount(); ++i)
        EXPECT_TRUE(view->DrawCellSelected(view->ViewData()->Records(1), view->VisibleColumns(i), nullptr, false));
    EXPECT_FALSE(view->DrawCellSelected(view->ViewData()->Records(0), view->VisibleColumns(0), nullptr, false));
}

// ---- the table view ------------------------------------------------------------------------------

TEST(vlGridTableView, KeepsOneDataControllerAndRegistersAsTable)
{
    JobListFixture f;
    TvlGridDataController* dc = f.view->GetDataController();
    EXPECT_EQ(f.view->GetDataController(), dc);
    EXPECT_EQ(f.view->DataController(), dc);
    TvlGridRegisteredViews* views = GridRegisteredViews();
    ASSERT_NE(views, nullptr);
    const int index = views->IndexOf(&TvlGridTableView::StaticClassInfo());
    ASSERT_GE(index, 0);
    EXPECT_EQ(views->GetDescription(index), QStringLiteral("Table"));
    EXPECT_EQ(f.view->GetLayoutCustomizationCaption(), QStringLiteral("Columns customization"));
    EXPECT_NE(f.view->FilterRow(), nullptr);
    EXPECT_NE(f.view->NewItemRow(), nullptr);
    EXPECT_NE(f.view->Preview(), nullptr);
    EXPECT_FALSE(f.view->FilterBox()->CustomizeDialog());
}

TEST(vlGridTableView, StoredGroupFootersReadBooleanTextsAndOrdinals)
{
    JobListFixture f;
    TvlGridTableView* view = f.view;
    EXPECT_EQ(view->GetStoredProperties(), (std::vector<String>{QStringLiteral("Footer"), QStringLiteral("GroupByBox"),
                                                                QStringLiteral("GroupFooters"), QStringLiteral("NewItemRow")}));
    struct Case {
        Variant value;
        TvlGridGroupFootersMode expected;
    };
    const Case cases[] = {
        {Variant(QStringLiteral("True")), gfVisibleWhenExpanded},
        {Variant(QStringLiteral("False")), gfInvisible},
        {Variant(2), gfAlwaysVisible},
        {Variant(1), gfVisibleWhenExpanded},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(view->SetStoredPropertyValue(QStringLiteral("GroupFooters"), c.value));
        EXPECT_EQ(view->OptionsView()->GroupFooters(), c.expected) << VarToStr(c.value).toStdString();
        Variant back;
        ASSERT_TRUE(view->GetStoredPropertyValue(QStringLiteral("GroupFooters"), back));
        EXPECT_EQ(back.AsInteger(), int(c.expected));
    }
    EXPECT_TRUE(view->SetStoredPropertyValue(QStringLiteral("NewItemRow"), Variant(true)));
    EXPECT_TRUE(view->NewItemRow()->Visible());
    EXPECT_FALSE(view->SetStoredPropertyValue(QStringLiteral("Unknown"), Variant(1)));
}

TEST(vlGridTableView, CellMergingNeedsNoRowSeparatorAndNoPreview)
{
    JobListFixture f;
    EXPECT_TRUE(f.view->CanCellMerging());
    f.view->OptionsView()->SetRowSeparatorWidth(1);
    EXPECT_FALSE(f.view->CanCellMerging());
    f.view->OptionsView()->SetRowSeparatorWidth(0);
    f.view->Preview()->SetColumn(f.columns[JobListFixture::colFullPath]);
    f.view->Preview()->SetVisible(true);
    EXPECT_FALSE(f.view->CanCellMerging());
}

// ---- rows --------------------------------------------------------------------------------------------

TEST(vlGridViewData, TheNewItemRowStandsOutsideTheRowIndex)
{
    JobListFixture f;
    f.AddJob(QStringLiteral("a.avi"), QString(), QString());
    TvlGridViewData* data = f.view->ViewData();
    EXPECT_EQ(data->NewItemRecord(), nullptr);
    f.view->NewItemRow()->SetVisible(true);
    data->CheckNewItemRecord();
    TvlCustomGridRecord* newRow = data->NewItemRecord();
    ASSERT_NE(newRow, nullptr);
    EXPECT_TRUE(dynamic_cast<TvlGridNewItemRow*>(newRow) != nullptr);
    EXPECT_EQ(newRow->Index(), -1);
    EXPECT_EQ(newRow->Level(), 0);
    EXPECT_EQ(data->GetRecordByRecordIndex(f.view->DataController()->GetNewItemRecordIndex()), newRow);
    EXPECT_EQ(data->GetRecordKind(newRow), 1);
    EXPECT_EQ(data->GetRecordByKind(1, 0), newRow);
    // A rebuild makes it again.
    f.AddJob(QStringLiteral("b.avi"), QString(), QString());
    EXPECT_NE(data->NewItemRecord(), nullptr);
    EXPECT_EQ(data->RecordCount(), 2);
}

TEST(vlGridRows, GroupRowsExpandAndCollapseByArrowKeysUnlessAlwaysExpanded)
{
    JobListFixture f;
    for (const char* size : {"1 MB", "1 MB", "2 MB"})
        f.AddJob(QStringLiteral("x.avi"), QString(), QString::fromLatin1(size));
    TvlGridDataController* dc = f.view->DataController();
    dc->Groups()->ChangeGroupIndex(JobListFixture::colFileSize, 0);
    TvlGridViewData* data = f.view->ViewData();
    ASSERT_EQ(data->RecordCount(), 2);  // two collapsed groups
    auto* group = dynamic_cast<TvlGridGroupRow*>(data->Records(0));
    ASSERT_NE(group, nullptr);
    EXPECT_FALSE(group->IsData());
    EXPECT_TRUE(group->GetHasChildren());

    uint16_t key = 39;  // right arrow
    group->KeyDown(key, TShiftState{});
    EXPECT_EQ(key, 0);
    ASSERT_EQ(data->RecordCount(), 4);
    group = dynamic_cast<TvlGridGroupRow*>(data->Records(0));
    ASSERT_NE(group, nullptr);
    EXPECT_TRUE(group->GetExpanded());
    EXPECT_TRUE(dynamic_cast<TvlGridDataRow*>(data->Records(1)) != nullptr);

    key = 37;  // left arrow
    group->KeyDown(key, TShiftState{});
    EXPECT_EQ(key, 0);
    EXPECT_EQ(data->RecordCount(), 2);

    TvlDataControllerOptions options = dc->Options();
    options.Include(dcoGroupsAlwaysExpanded);
    dc->SetOptions(options);
    group = dynamic_cast<TvlGridGroupRow*>(data->Records(0));
    ASSERT_NE(group, nullptr);
    EXPECT_FALSE(group->GetExpandable());
    key = 37;
    group->KeyDown(key, TShiftState{});
    EXPECT_EQ(key, 37);
}

}  // namespace
