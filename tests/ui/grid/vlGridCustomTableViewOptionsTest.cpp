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

namespace {

// A table view with three records and one column, and a style repository.
struct StyledView : TableViewFixture {
    StyledView()
    {
        column = addColumn("Name");
        view->DataController()->SetRecordCount(3);
        for (int i = 0; i < 3; ++i)
            view->DataController()->SetValue(i, 0, Variant(QStringLiteral("job %1").arg(i)));
    }
    TvlStyle* style(TColor AColor)
    {
        auto* result = static_cast<TvlStyle*>(repository.CreateStyle());
        result->SetColor(AColor);
        return result;
    }
    TvlCustomGridRecord* record(int AIndex) { return view->ViewData()->GetRecordByIndex(AIndex); }
    TColor contentColor(int ARecord)
    {
        TvlViewParams params;
        view->Styles()->GetContentParams(record(ARecord), column, params);
        return params.Color;
    }
    TvlStyleRepository repository{nullptr};
    TvlGridColumn* column = nullptr;
};

TEST(GridTableViewStyles, EventStyleWinsOverEvenOddWhichWinsOverContent)
{
    const TColor window = StyledView().contentColor(0);
    struct Case {
        const char* name;
        bool content, even, event;
        TColor record0, record1;
    };
    // Content red, ContentEven green, the event's style blue for record 1.
    const Case cases[] = {
        {"nothing set", false, false, false, window, window},
        {"content only", true, false, false, clRed, clRed},
        {"even over content; odd falls back to content", true, true, false, clGreen, clRed},
        {"even without content", false, true, false, clGreen, window},
        {"event over both", true, true, true, clGreen, clBlue},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        StyledView v;
        if (c.content)
            v.view->Styles()->SetContent(v.style(clRed));
        if (c.even)
            v.view->Styles()->SetContentEven(v.style(clGreen));
        TvlStyle* blue = v.style(clBlue);
        if (c.event)
            v.view->Styles()->SetOnGetContentStyle(TvlGridGetCellStyleEvent::FromFunction(
                [blue](TvlCustomGridTableView*, TvlCustomGridRecord* ARecord, TvlCustomGridTableItem*, TvlStyle*& AStyle) {
                    if (ARecord->Index() == 1)
                        AStyle = blue;
                }));
        EXPECT_EQ(v.contentColor(0), c.record0);
        EXPECT_EQ(v.contentColor(1), c.record1);
    }
}

TEST(GridTableViewStyles, AnEventStyleKeepsTheSlotsValuesItDoesNotAssign)
{
    StyledView v;
    TvlStyle* content = v.style(clRed);
    content->SetTextColor(clYellow);
    v.view->Styles()->SetContent(content);
    TvlStyle* textOnly = static_cast<TvlStyle*>(v.repository.CreateStyle());
    textOnly->SetTextColor(clNavy);
    v.view->Styles()->SetOnGetContentStyle(TvlGridGetCellStyleEvent::FromFunction(
        [textOnly](TvlCustomGridTableView*, TvlCustomGridRecord*, TvlCustomGridTableItem*, TvlStyle*& AStyle) { AStyle = textOnly; }));
    TvlViewParams params;
    v.view->Styles()->GetContentParams(v.record(0), v.column, params);
    EXPECT_EQ(params.Color, clRed);
    EXPECT_EQ(params.TextColor, clNavy);
}

TEST(GridTableViewStyles, AnItemsContentStyleWinsForItsCells)
{
    StyledView v;
    v.view->Styles()->SetContent(v.style(clRed));
    v.column->Styles()->SetContent(v.style(clLime));
    TvlViewParams params;
    v.view->Styles()->GetDataCellContentParams(v.record(0), v.column, params);
    EXPECT_EQ(params.Color, clLime);
    v.view->Styles()->GetDataCellContentParams(v.record(0), nullptr, params);
    EXPECT_EQ(params.Color, clRed);
}

TEST(GridTableViewStyles, UnfocusedSelectionTakesInactiveColoursWithTheContentFont)
{
    StyledView v;
    TvlStyle* content = v.style(clWhite);
    TFont font;
    font.SetSize(14);
    content->SetFont(&font);
    v.view->Styles()->SetContent(content);
    TvlViewParams params;
    v.view->Styles()->GetSelectionParams(v.record(0), v.column, params);
    const TvlLookAndFeelPainterClass painter = v.view->GetLookAndFeelPainter();
    EXPECT_EQ(params.Color, painter->DefaultInactiveColor());
    EXPECT_EQ(params.TextColor, painter->DefaultInactiveTextColor());
    ASSERT_NE(params.Font, nullptr);
    EXPECT_EQ(params.Font->Size(), 14);
    EXPECT_EQ(params.Bitmap, nullptr);

    // A Selection style does not reach an unfocused view.
    v.view->Styles()->SetSelection(v.style(clFuchsia));
    v.view->Styles()->GetSelectionParams(v.record(0), v.column, params);
    EXPECT_EQ(params.Color, painter->DefaultInactiveColor());
}

TEST(GridTableViewStyles, WithTheJobListsOptionsAnUnfocusedViewDrawsNoRowSelected)
{
    StyledView v;
    v.view->OptionsSelection()->SetCellSelect(false);
    v.view->OptionsSelection()->SetHideSelection(true);
    v.view->OptionsSelection()->SetInvertSelect(false);
    v.view->DataController()->SetFocusedRowIndex(1);
    v.view->DataController()->ChangeRowSelection(1, true);
    TvlViewParams content;
    v.view->Styles()->GetDataCellContentParams(v.record(1), v.column, content);
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        TvlViewParams params;
        v.view->Styles()->GetCellParams(v.record(i), v.column, false, nullptr, false, params);
        EXPECT_EQ(params.Color, content.Color);
        EXPECT_EQ(params.TextColor, content.TextColor);
    }
}

TEST(GridTableViewStyles, PaintersDefaultsFillTheEmptySlots)
{
    StyledView v;
    TvlGridTableViewStyles* styles = v.view->Styles();
    const TvlLookAndFeelPainterClass painter = v.view->GetLookAndFeelPainter();
    TvlViewParams params;
    styles->GetHeaderParams(v.column, params);
    EXPECT_EQ(params.Color, painter->DefaultHeaderColor());
    EXPECT_EQ(params.TextColor, painter->DefaultHeaderTextColor());
    styles->GetFooterParams(nullptr, v.column, -1, nullptr, params);
    EXPECT_EQ(params.Color, painter->DefaultFooterColor());
    params = {};
    styles->ResolveViewParams(TvlCustomGridTableViewStyles::vsIncSearch, nullptr, nullptr, params);
    EXPECT_EQ(params.Color, clDefault);
    EXPECT_EQ(params.TextColor, clDefault);

    // The preview: blue text on the record's content background.
    styles->SetContent(v.style(clYellow));
    v.view->Preview()->SetColumn(v.addColumn("Path"));
    styles->GetContentParams(v.record(0), v.view->Preview()->Column(), params);
    EXPECT_EQ(params.Color, clYellow);
    EXPECT_EQ(params.TextColor, painter->DefaultPreviewTextColor());

    // Group rows in the other row style take that style's painter colours.
    params = {};
    styles->ResolveViewParams(TvlGridTableViewStyles::vsGroup, nullptr, nullptr, params);
    EXPECT_EQ(params.Color, painter->DefaultGroupColor());
    v.view->OptionsView()->SetGroupRowStyle(grsOffice11);
    styles->ResolveViewParams(TvlGridTableViewStyles::vsGroup, nullptr, nullptr, params);
    EXPECT_EQ(params.Color, painter->DefaultGroupPanelColorA(false));
}

TEST(GridTableViewStyles, TheMainFormsHeaderStyleAndAStyleSheet)
{
    StyledView v;
    TvlStyle* header = v.style(TColor(0xF3F3F3));
    TBitmap tile;
    tile.SetSize(4, 4);
    header->SetBitmap(&tile);
    v.view->Styles()->SetHeader(header);
    TvlViewParams params;
    v.column->Styles()->GetHeaderParams(params);
    EXPECT_EQ(params.Color, TColor(0xF3F3F3));
    // Without a header bitmap of its own the view shows the style's.
    const TBitmap* headerBitmap = v.view->BackgroundBitmaps()->GetBitmap(4);
    ASSERT_NE(headerBitmap, nullptr);
    EXPECT_EQ(headerBitmap->Width(), 4);

    // A column's own Header style wins over the view's.
    v.column->Styles()->SetHeader(v.style(clAqua));
    v.column->Styles()->GetHeaderParams(params);
    EXPECT_EQ(params.Color, clAqua);

    auto* sheet = static_cast<TvlGridTableViewStyleSheet*>(v.repository.CreateSheet(&TvlGridTableViewStyleSheet::SheetClass));
    sheet->Styles()->SetFooter(v.style(clMaroon));
    v.view->Styles()->SetStyleSheet(sheet);
    EXPECT_EQ(v.view->Styles()->StyleSheet(), sheet);
    v.view->Styles()->GetFooterParams(nullptr, v.column, -1, nullptr, params);
    EXPECT_EQ(params.Color, clMaroon);
}

}  // namespace
