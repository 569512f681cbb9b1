// A view whose layout and painting are recorded instead of done, so that
// tests can see how many calculations and repaints a batch of changes cost.
#pragma once
#include <string>
#include <vector>

#include "ui/grid/vlGrid.h"

namespace gridtest {

class RecordingView;

inline std::vector<std::string>& sharedLog()
{
    static std::vector<std::string> log;
    return log;
}

class RecordingViewInfo : public TvlCustomGridViewInfo {
public:
    using TvlCustomGridViewInfo::TvlCustomGridViewInfo;
    void Calculate() override
    {
        TvlCustomGridViewInfo::Calculate();
        sharedLog().push_back("calc " + GridView()->Name().toStdString());
    }
};

class RecordingPainter : public TvlCustomGridPainter {
public:
    using TvlCustomGridPainter::TvlCustomGridPainter;
    void Invalidate() override { sharedLog().push_back("paint " + GridView()->Name().toStdString()); }
    void InvalidateRect(const TRect&) override { sharedLog().push_back("paint part " + GridView()->Name().toStdString()); }
};

class RecordingView : public TvlCustomGridView {
public:
    using TvlCustomGridView::TvlCustomGridView;
    void RecordCountChanged() override { sharedLog().push_back("records " + Name().toStdString()); }
    void FocusedRecordChanged(const TvlGridFocusedRecordChange&) override
    {
        sharedLog().push_back(std::string("focused record ") + (Control()->IsUpdateLocked() ? "locked" : "unlocked"));
    }
    void RecordChanged(TvlCustomGridRecord*, TvlCustomGridTableItem*) override { sharedLog().push_back("record " + Name().toStdString()); }

protected:
    TViewInfoClass GetViewInfoClass() const override
    {
        return &vlGridCreate<RecordingViewInfo, TvlCustomGridViewInfo, TvlCustomGridView*>;
    }
    TPainterClass GetPainterClass() const override
    {
        return &vlGridCreate<RecordingPainter, TvlCustomGridPainter, TvlCustomGridView*>;
    }
};

// A grid on a form with top levels showing recording views.
struct GridFixture {
    explicit GridFixture(int ALevelCount = 1)
    {
        grid = TvlCustomGrid::Create<TvlGrid>(&form);
        grid->SetName(QStringLiteral("lvFiles"));
        for (int i = 0; i < ALevelCount; ++i) {
            auto* level = TvlGridLevel::Create<TvlGridLevel>(&form);
            level->SetName(QStringLiteral("lvFilesLevel%1").arg(i + 1));
            grid->RootLevel()->AddChild(level);
            auto* view = TvlCustomGridView::Create<RecordingView>(&form, grid);
            view->SetName(QStringLiteral("lvFilesView%1").arg(i + 1));
            level->SetGridView(view);
            levels.push_back(level);
            views.push_back(view);
        }
        // One layout places the active view in the grid.
        grid->LayoutChanged();
        sharedLog().clear();
    }
    ~GridFixture() { sharedLog().clear(); }
    std::vector<std::string>& log() { return sharedLog(); }

    TComponent form{nullptr};
    TvlGrid* grid = nullptr;
    std::vector<TvlGridLevel*> levels;
    std::vector<RecordingView*> views;
};

}  // namespace gridtest
