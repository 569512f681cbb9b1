// A table view that records the change kinds its options and styles report,
// for the option and style tests of the table view units.
#pragma once
#include <vector>

#include "JobListFixture.h"
#include "ui/editors/vlTextEdit.h"
#include "ui/grid/vlGridTableView.h"

namespace gridtest {

class KindRecordingTableView : public TvlGridTableView {
public:
    using TvlGridTableView::TvlGridTableView;
    void NotifyController(TvlViewChangeKind AChangeKind) override
    {
        kinds.push_back(AChangeKind);
        TvlGridTableView::NotifyController(AChangeKind);
    }
    std::vector<TvlViewChangeKind> kinds;
};

// Measures a text as 7 pixels a character, so that widths are known.
class FixedPitchViewData : public TvlCustomEditViewData {
public:
    using TvlCustomEditViewData::TvlCustomEditViewData;
    TSize MeasureContentCore(TvlCanvas*, const Variant& AValue, const TvlEditMeasureParams&) const override
    {
        return TSize{7 * int(VarToStr(AValue).size()), 13};
    }
};

// Text editor properties that let a grid sort, group, filter and search.
class SortableTextProperties : public TvlTextEditProperties {
public:
    using TvlTextEditProperties::TvlTextEditProperties;
    uint32_t GetSupportedOperations() const override
    {
        return TvlTextEditProperties::GetSupportedOperations() | vlesoSorting | vlesoFiltering | vlesoIncSearch;
    }
    std::unique_ptr<TvlCustomEditViewData> CreateViewData(TvlCustomEditStyle* AStyle, bool AIsInplace,
                                                          bool APreviewMode = false) const override
    {
        auto data = std::make_unique<FixedPitchViewData>(this, AStyle, AIsInplace);
        data->PreviewMode = APreviewMode;
        return data;
    }
};

class TextRepositoryItem : public TvlEditRepositoryItem {
public:
    explicit TextRepositoryItem(TComponent* AOwner) : TvlEditRepositoryItem(AOwner) { RecreateProperties(); }

protected:
    std::unique_ptr<TvlCustomEditProperties> CreatePropertiesOfItem() override
    {
        return std::make_unique<SortableTextProperties>(this);
    }
};

// A table view without a grid, owned by a form.
struct TableViewFixture {
    TableViewFixture() { view = TvlCustomGridView::Create<KindRecordingTableView>(&form); }
    TvlGridColumn* addColumn(const char* ACaption)
    {
        auto* column = static_cast<TvlGridColumn*>(view->CreateItem());
        column->SetCaption(QString::fromLatin1(ACaption));
        view->kinds.clear();
        return column;
    }
    TComponent form{nullptr};
    KindRecordingTableView* view = nullptr;
};

// A table view with the editors' units started and an editor repository
// whose items let the grid sort and measure.
struct EditorFixture : TableViewFixture {
    GridTableUnits units;
    TvlEditRepository repository{nullptr};
    TvlEditRepositoryItem* repositoryItem()
    {
        auto* item = new TextRepositoryItem(&form);  // owned by the form
        item->SetRepository(&repository);
        return item;
    }
};

}  // namespace gridtest
