// A table view that records the change kinds its options and styles report,
// for the option and style tests of the table view units.
#pragma once
#include <vector>

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

}  // namespace gridtest
