// The converter's job list built as its main form builds it: a grid with
// one table view of ten columns (two hidden), the form's option set and its
// three styles. Grid tests start from it and append jobs.
#pragma once
#include <memory>
#include <vector>

#include "platform/graphics/Bitmap.h"
#include "platform/rtl/Startup.h"
#include "ui/controls/vlProgressBar.h"
#include "ui/data/vlDataStorage.h"
#include "ui/editors/vlEdit.h"
#include "ui/editors/vlFilterControlUtils.h"
#include "ui/editors/vlImageComboBox.h"
#include "ui/grid/vlGrid.h"
#include "ui/grid/vlGridTableView.h"

namespace gridtest {

// The units the job list's grid needs, started for one test.
struct GridTableUnits {
    GridTableUnits()
    {
        units.Add(String::fromLatin1("vlDataStorage"), &vlDataStorageInitialization, &vlDataStorageFinalization);
        AddvlEditUnit(units);
        AddvlFilterControlUtilsUnit(units);
        AddvlProgressBarUnit(units);
        AddvlGridCustomViewUnit(units);
        AddvlGridTableViewUnit(units);
        units.Initialize();
    }
    ~GridTableUnits() { units.Finalize(); }
    TStartupList units;
};

struct JobListFixture {
    // The main form's columns, in their order.
    struct ColumnDesign {
        const char* Name;
        const char* Caption;
        const char* Properties;
        int Width;
        bool Visible;
        TAlignment Header;
    };
    static constexpr ColumnDesign Design[10] = {
        {"ColFile", " File", "TvlTextEditProperties", 252, true, taLeftJustify},
        {"ColTotalTime", "Total Time", "TvlTextEditProperties", 77, true, taCenter},
        {"ColFileSize", "File Size", "TvlTextEditProperties", 78, true, taCenter},
        {"ColOutput", "Output File", "TvlTextEditProperties", 64, false, taLeftJustify},
        {"ColTime", "Current Time", "TvlTextEditProperties", 77, true, taCenter},
        {"ColSize", "File Size", "TvlTextEditProperties", 79, true, taCenter},
        {"ColFPS", "FPS", "TvlTextEditProperties", 45, true, taCenter},
        {"ColProgress", " Progress", "TvlProgressBarProperties", 187, true, taLeftJustify},
        {"colFulPath", "", "", 64, false, taLeftJustify},
        {"colStatus", " Status", "TvlImageComboBoxProperties", 50, true, taCenter},
    };
    enum { colFile, colTotalTime, colFileSize, colOutput, colTime, colSize, colFPS, colProgress, colFullPath, colStatus };

    JobListFixture()
    {
        repository = new TvlStyleRepository(&form);
        background = static_cast<TvlStyle*>(repository->CreateStyle());
        background->SetColor(TColor(0xDDDDDD));
        selection = static_cast<TvlStyle*>(repository->CreateStyle());
        selection->SetColor(TColor(0xEBEBEB));
        selection->SetTextColor(clBlack);
        TFont font;
        font.SetName(QStringLiteral("DejaVu Sans"));
        font.SetSize(8);
        font.SetColor(clBlack);
        selection->SetFont(&font);
        header = static_cast<TvlStyle*>(repository->CreateStyle());
        header->SetColor(TColor(0xF3F3F3));
        TBitmap tile;
        tile.SetSize(8, 24);
        header->SetBitmap(&tile);

        grid = TvlCustomGrid::Create<TvlGrid>(&form);
        grid->SetName(QStringLiteral("lvFiles"));
        level = TvlGridLevel::Create<TvlGridLevel>(&form);
        grid->RootLevel()->AddChild(level);
        view = TvlCustomGridView::Create<TvlGridTableView>(&form, grid);
        view->SetName(QStringLiteral("lvFilesTableView1"));
        level->SetGridView(view);

        for (const ColumnDesign& d : Design) {
            TvlGridColumn* column = view->CreateColumn();
            column->SetName(QString::fromLatin1(d.Name));
            column->SetCaption(QString::fromLatin1(d.Caption));
            column->SetPropertiesClassName(QString::fromLatin1(d.Properties));
            column->SetWidth(d.Width);
            column->SetVisible(d.Visible);
            column->SetHeaderAlignmentHorz(d.Header);
            column->Options()->SetEditing(false);
            columns.push_back(column);
        }
        TvlGridColumn* status = columns[colStatus];
        status->SetMinWidth(50);
        status->Options()->SetHorzSizing(false);
        status->Options()->SetMoving(false);
        if (auto* combo = dynamic_cast<TvlImageComboBoxProperties*>(status->Properties())) {
            combo->SetReadOnly(true);
            combo->SetShowDescriptions(false);
            for (int i = 0; i < 4; ++i) {
                TvlImageComboBoxItem* item = combo->Items()->Add();
                item->SetImageIndex(i);
                item->SetValue(Variant(String::number(i)));
            }
        }

        TvlGridTableOptionsData* data = view->OptionsData();
        data->SetEditing(false);
        data->SetInserting(false);
        data->SetDeleting(false);
        data->SetDeletingConfirmation(false);
        data->SetCancelOnExit(false);
        TvlGridTableOptionsCustomize* customize = view->OptionsCustomize();
        customize->SetColumnFiltering(false);
        customize->SetColumnGrouping(false);
        customize->SetColumnHidingOnGrouping(false);
        customize->SetColumnMoving(false);
        customize->SetColumnSorting(false);
        TvlGridTableOptionsSelection* select = view->OptionsSelection();
        select->SetCellSelect(false);
        select->SetHideSelection(true);
        select->SetInvertSelect(false);
        TvlGridTableOptionsView* options = view->OptionsView();
        options->SetCellEndEllipsis(true);
        options->SetColumnAutoWidth(true);
        options->SetDataRowHeight(24);
        options->SetHeaderHeight(24);
        options->SetGridLineColor(clSilver);
        options->SetGroupByBox(false);
        options->SetNoDataToDisplayInfoText(QStringLiteral(" "));
        view->FilterBox()->SetCustomizeDialog(false);
        view->Styles()->SetBackground(background);
        view->Styles()->SetSelection(selection);
        view->Styles()->SetHeader(header);
        grid->LayoutChanged();
    }

    // Appends one job as the application does: a record, then its cells.
    int AddJob(const String& AFile, const String& ATotalTime, const String& AFileSize)
    {
        TvlGridDataController* controller = view->DataController();
        view->BeginUpdate();
        const int record = controller->AppendRecord();
        controller->SetValue(record, colFile, Variant(AFile));
        controller->SetValue(record, colTotalTime, Variant(ATotalTime));
        controller->SetValue(record, colFileSize, Variant(AFileSize));
        controller->SetValue(record, colProgress, Variant(0));
        controller->SetValue(record, colStatus, Variant(String::fromLatin1("0")));
        view->EndUpdate();
        return record;
    }

    GridTableUnits units;
    TComponent form{nullptr};
    TvlStyleRepository* repository = nullptr;
    TvlStyle* background = nullptr;
    TvlStyle* selection = nullptr;
    TvlStyle* header = nullptr;
    TvlGrid* grid = nullptr;
    TvlGridLevel* level = nullptr;
    TvlGridTableView* view = nullptr;
    std::vector<TvlGridColumn*> columns;
};

}  // namespace gridtest
