// The grid control: its change queue (merging, covering, batches, locks and
// failures), activation of top levels, the focused view and renaming.
#include "ui/grid/vlGrid.h"

#include <gtest/gtest.h>

#include "GridRecorder.h"
#include "platform/controls/ExtCtrls.h"
#include "platform/controls/Forms.h"
#include "platform/rtl/Exception.h"

using namespace gridtest;

namespace {

using Log = std::vector<std::string>;

// A change that records its run and counts the live objects of its kind.
class CountedChange : public TvlCustomGridChange {
public:
    explicit CountedChange(int AId, bool AThrows = false) : FId(AId), FThrows(AThrows) { ++Live; }
    ~CountedChange() override { --Live; }
    void Execute() override
    {
        sharedLog().push_back("run " + std::to_string(FId));
        if (FThrows)
            throw EInvalidOperation(QStringLiteral("failed"));
    }
    bool SameAs(const TvlCustomGridChange* AChange) const override
    {
        const auto* other = dynamic_cast<const CountedChange*>(AChange);
        return other != nullptr && other->FId == FId;
    }
    static inline int Live = 0;

private:
    int FId;
    bool FThrows;
};

TEST(GridChangeQueue, ABatchCostsOneCalculationAndOneRepaint)
{
    GridFixture f;
    RecordingView* view = f.views[0];
    TvlStyleRepository repository(nullptr);
    view->BeginUpdate();
    view->LayoutChanged();
    for (int i = 0; i < 10; ++i)
        view->Invalidate();
    view->Styles()->SetBackground(repository.CreateStyle());
    EXPECT_TRUE(f.log().empty());
    view->EndUpdate();
    EXPECT_EQ(f.log(), (Log{"calc lvFilesView1", "paint lvFilesView1"}));
    EXPECT_EQ(f.grid->PendingChangeCount(), 0);
}

TEST(GridChangeQueue, NestedLocksWaitForTheLastEndUpdate)
{
    GridFixture f;
    RecordingView* view = f.views[0];
    view->BeginUpdate();
    view->BeginUpdate();
    view->LayoutChanged();
    view->EndUpdate();
    EXPECT_TRUE(f.log().empty());
    view->EndUpdate();
    EXPECT_EQ(f.log(), (Log{"calc lvFilesView1", "paint lvFilesView1"}));
}

TEST(GridChangeQueue, Scenarios)
{
    struct Scenario {
        const char* name;
        void (*post)(GridFixture& f);
        Log expected;
    } scenarios[] = {
        {"repaints merge",
         [](GridFixture& f) {
             for (int i = 0; i < 3; ++i)
                 f.views[0]->Invalidate();
         },
         {"paint lvFilesView1"}},
        {"a view's layout gives way to the grid's",
         [](GridFixture& f) {
             f.views[0]->LayoutChanged(true);
             f.grid->LayoutChanged();
         },
         {"calc lvFilesView1", "paint lvFilesView1"}},
        {"a repaint of a part is covered by the layout",
         [](GridFixture& f) {
             f.views[0]->InvalidateRect(TRect{0, 0, 5, 5});
             f.views[0]->LayoutChanged(true);
         },
         {"calc lvFilesView1", "paint lvFilesView1"}},
        {"a data change runs at once",
         [](GridFixture& f) {
             f.views[0]->Changed(std::make_unique<TvlGridDataChange>(f.views[0]));
             f.log().push_back("still locked");
         },
         {"records lvFilesView1", "still locked"}},
        {"the focused record runs unlocked after the layouts before it",
         [](GridFixture& f) {
             f.views[0]->LayoutChanged(true);
             f.views[0]->Changed(std::make_unique<TvlGridFocusedRecordChange>(f.views[0], false, 1, 0, 1, 0));
             f.views[0]->InvalidateRect(TRect{0, 0, 5, 5});
         },
         {"calc lvFilesView1", "paint lvFilesView1", "focused record unlocked"}},
        {"record changes merge per record and item, a layout covers them",
         [](GridFixture& f) {
             auto* item = reinterpret_cast<TvlCustomGridTableItem*>(&f.form);
             f.views[0]->Changed(std::make_unique<TvlGridRecordChange>(f.views[0], nullptr, 3, nullptr));
             f.views[0]->Changed(std::make_unique<TvlGridRecordChange>(f.views[0], nullptr, 3, nullptr));
             f.views[0]->Changed(std::make_unique<TvlGridRecordChange>(f.views[0], item, 3, nullptr));
         },
         {"record lvFilesView1", "record lvFilesView1"}},
    };
    for (const Scenario& s : scenarios) {
        GridFixture f;
        f.grid->BeginUpdate();
        s.post(f);
        f.grid->EndUpdate();
        EXPECT_EQ(f.log(), s.expected) << s.name;
    }
}

TEST(GridChangeQueue, CancelUpdateDropsTheQueueAndAnExtraEndUpdateDoesNothing)
{
    GridFixture f;
    RecordingView* view = f.views[0];
    view->BeginUpdate();
    view->LayoutChanged();
    view->Invalidate();
    view->CancelUpdate();
    EXPECT_TRUE(f.log().empty());
    EXPECT_EQ(f.grid->PendingChangeCount(), 0);
    EXPECT_FALSE(view->IsUpdateLocked());

    // Unbalanced: nothing moves, and the data controller's lock stays even,
    // so the next balanced pair still reaches it.
    view->EndUpdate();
    f.grid->EndUpdate();
    EXPECT_EQ(view->LockCount(), 0);
    EXPECT_EQ(f.grid->UpdateLockCount(), 0);
    EXPECT_EQ(view->DataController()->GetUpdateLockCount(), 0);
    view->BeginUpdate();
    EXPECT_EQ(view->DataController()->GetUpdateLockCount(), 1);
    view->EndUpdate();
    EXPECT_EQ(view->DataController()->GetUpdateLockCount(), 0);
}

TEST(GridChangeQueue, AThrowingChangeFreesTheRestAndLaysTheGridOutAgain)
{
    GridFixture f;
    const int calculations = f.grid->ViewInfo()->CalculationCount();
    f.grid->BeginUpdate();
    f.grid->AddChange(std::make_unique<CountedChange>(1));
    f.grid->AddChange(std::make_unique<CountedChange>(2, true));
    f.grid->AddChange(std::make_unique<CountedChange>(3));
    f.grid->AddChange(std::make_unique<CountedChange>(4));
    EXPECT_EQ(CountedChange::Live, 4);
    EXPECT_THROW(f.grid->EndUpdate(), EInvalidOperation);
    EXPECT_EQ(CountedChange::Live, 0);
    EXPECT_EQ(f.grid->UpdateLockCount(), 0);
    EXPECT_EQ((Log{f.log().begin(), f.log().begin() + 2}), (Log{"run 1", "run 2"}));
    EXPECT_EQ(f.grid->ViewInfo()->CalculationCount(), calculations + 1);
    // The grid takes changes as before.
    f.log().clear();
    f.views[0]->Invalidate();
    EXPECT_EQ(f.log(), Log{"paint lvFilesView1"});
}

TEST(GridChangeQueue, ChangesOfAViewThatLeavesAreDropped)
{
    GridFixture f(2);
    f.grid->BeginUpdate();
    f.views[1]->Changed(std::make_unique<TvlGridViewChange>(f.views[1]));
    f.views[0]->Invalidate();
    EXPECT_EQ(f.grid->PendingChangeCount(), 2);
    delete f.views[1];
    EXPECT_EQ(f.grid->PendingChangeCount(), 1);
    f.grid->EndUpdate();
    EXPECT_EQ(f.log(), Log{"paint lvFilesView1"});
    EXPECT_EQ(f.grid->ViewCount(), 1);
}

TEST(GridChanges, CoveringRules)
{
    GridFixture f(2);
    TvlCustomGridView *a = f.views[0], *b = f.views[1];
    TvlGridLayoutChange layoutA(a), layoutB(b), layoutGrid(nullptr);
    TvlGridSizeChange sizeA(a, false, false), sizeAOnly(a, true, false), sizeAKeep(a, false, true), sizeGrid(nullptr, false, false);
    TvlGridViewChange paintA(a), partA(a, TRect{0, 0, 5, 5});
    TvlGridDataChange dataA(a);
    TvlGridRecordChange recordA(a, nullptr, 1, nullptr);
    struct Case {
        const TvlCustomGridChange* change;
        const TvlCustomGridChange* by;
        bool covered;
    } cases[] = {
        {&layoutA, &layoutGrid, true},   {&layoutGrid, &layoutA, false}, {&layoutA, &layoutB, false},
        {&layoutA, &sizeA, true},        {&layoutA, &sizeGrid, true},    {&layoutGrid, &sizeA, false},
        {&sizeAOnly, &sizeA, true},      {&sizeA, &sizeAOnly, false},    {&sizeAOnly, &sizeAKeep, false},
        {&sizeA, &dataA, true},          {&paintA, &layoutA, true},      {&partA, &sizeA, true},
        {&paintA, &layoutB, false},      {&recordA, &layoutA, true},     {&recordA, &dataA, true},
        {&recordA, &layoutB, false},
    };
    for (size_t i = 0; i < std::size(cases); ++i)
        EXPECT_EQ(cases[i].change->IsCoveredBy(cases[i].by), cases[i].covered) << "case " << i;
    EXPECT_FALSE(dataA.CanQueue());
    EXPECT_FALSE(TvlGridFocusedRecordChange(a, false, 0, 0, 0, 0).CanRunLocked());
    EXPECT_TRUE(partA.SameAs(std::make_unique<TvlGridViewChange>(a, TRect{0, 0, 5, 5}).get()));
    EXPECT_FALSE(partA.SameAs(&paintA));
}

TEST(GridLevels, HidingTheActiveTopLevelActivatesTheNext)
{
    GridFixture f(2);
    EXPECT_EQ(f.grid->ActiveLevel(), f.levels[0]);
    EXPECT_EQ(f.grid->FocusedView(), f.views[0]);
    TvlGridLevel* activated = nullptr;
    f.grid->OnActiveTabChanged = TvlGridActiveTabChangedEvent::FromFunction([&](TvlCustomGrid*, TvlGridLevel* l) { activated = l; });
    f.levels[0]->SetVisible(false);
    EXPECT_EQ(f.grid->ActiveLevel(), f.levels[1]);
    EXPECT_EQ(activated, f.levels[1]);
    EXPECT_EQ(f.grid->FocusedView(), f.views[1]);
    EXPECT_FALSE(f.views[0]->CanFocus());
    f.views[0]->SetFocused(true);
    EXPECT_EQ(f.grid->FocusedView(), f.views[1]);

    f.levels[1]->SetVisible(false);
    EXPECT_EQ(f.grid->ActiveLevel(), nullptr);
    EXPECT_EQ(f.grid->FocusedView(), nullptr);
    f.levels[0]->SetVisible(true);
    EXPECT_EQ(f.grid->ActiveLevel(), f.levels[0]);
}

TEST(GridLevels, AViewNoLevelShowsCannotTakeTheFocus)
{
    GridFixture f;
    auto* loose = TvlCustomGridView::Create<RecordingView>(&f.form, f.grid);
    EXPECT_FALSE(loose->CanFocus());
    loose->SetFocused(true);
    EXPECT_EQ(f.grid->FocusedView(), f.views[0]);
}

TEST(Grid, LoadedLaysOutOnce)
{
    GridFixture f;
    const int calculations = f.grid->ViewInfo()->CalculationCount();
    f.grid->Loading();
    f.grid->SizeChanged();
    f.grid->LayoutChanged();
    EXPECT_EQ(f.grid->ViewInfo()->CalculationCount(), calculations);
    f.grid->Loaded();
    EXPECT_EQ(f.grid->ViewInfo()->CalculationCount(), calculations + 1);
}

TEST(Grid, RenamingTheGridRenamesItsViewsAndLevelsByPrefix)
{
    GridFixture f;
    auto* other = TvlGridLevel::Create<TvlGridLevel>(&f.form);
    other->SetName(QStringLiteral("Details"));
    f.levels[0]->AddChild(other);
    f.grid->SetName(QStringLiteral("Grid1"));
    EXPECT_EQ(f.views[0]->Name(), QStringLiteral("Grid1View1"));
    EXPECT_EQ(f.levels[0]->Name(), QStringLiteral("Grid1Level1"));
    EXPECT_EQ(other->Name(), QStringLiteral("Details"));
}

TEST(Grid, HitTestsAreOwnedByTheirCaller)
{
    GridFixture f;
    f.grid->SetBounds(0, 0, 250, 200);
    f.grid->LayoutChanged();
    std::unique_ptr<TvlCustomGridHitTest> first = f.grid->ViewInfo()->GetHitTest(10, 20);
    std::unique_ptr<TvlCustomGridHitTest> second = f.grid->ViewInfo()->GetHitTest(30, 40);
    // Points come back in the coordinates of the view's site.
    const TRect site = f.views[0]->GetSiteBounds();
    EXPECT_EQ(first->HitPoint.X, 10 - site.Left);
    EXPECT_EQ(first->HitPoint.Y, 20 - site.Top);
    EXPECT_EQ(second->HitPoint.X, 30 - site.Left);
    auto* viewHit = dynamic_cast<TvlCustomGridViewHitTest*>(first.get());
    ASSERT_NE(viewHit, nullptr);
    EXPECT_EQ(viewHit->View, f.views[0]);
}

TEST(Grid, DestroyingTheGridFreesViewsAndLevels)
{
    TComponent form(nullptr);
    auto* grid = TvlCustomGrid::Create<TvlGrid>(&form);
    auto* level = TvlGridLevel::Create<TvlGridLevel>(&form);
    grid->RootLevel()->AddChild(level);
    auto* view = TvlCustomGridView::Create<RecordingView>(&form, grid);
    level->SetGridView(view);
    std::unique_ptr<TvlGridListenerLink> link = view->AddListenerLink();
    EXPECT_EQ(form.ComponentCount(), 3);
    delete grid;
    EXPECT_EQ(link->GridView(), nullptr);
    EXPECT_EQ(form.ComponentCount(), 0);
}

}  // namespace

namespace {

TEST(GridLevelTabs, ChangesResizeTheGridAndClamp)
{
    GridFixture f;
    TvlGridLevelTabs* tabs = f.grid->LevelTabs();
    f.grid->BeginUpdate();
    tabs->SetImageBorder(-4);
    EXPECT_EQ(tabs->ImageBorder(), 0);
    EXPECT_EQ(f.grid->PendingChangeCount(), 0);
    tabs->Slants()->SetKind(tabs->Slants()->Kind() == skSlant ? skCutCorner : skSlant);
    tabs->SetCaptionAlignment(taLeftJustify);
    EXPECT_EQ(f.grid->PendingChangeCount(), 2);
    f.grid->CancelUpdate();
    {
        TComponent images(nullptr);
        tabs->SetImages(&images);
        EXPECT_EQ(tabs->Images(), &images);
    }
    EXPECT_EQ(tabs->Images(), nullptr);
    f.grid->SetDragOpeningWaitTime(-10);
    EXPECT_EQ(f.grid->DragOpeningWaitTime(), 0);
}

}  // namespace

namespace {

TEST(GridController, DragOpeningWaitsOnOneTabAndRestartsOnAnother)
{
    GridFixture f(3);
    TvlGridController* controller = f.grid->Controller();
    auto openLevel = [&] { return static_cast<const TvlGridDragOpenInfoTab*>(controller->DragOpenInfo())->Level; };
    controller->StartDragOpen(std::make_unique<TvlGridDragOpenInfoTab>(f.levels[1]));
    TvlTimer* timer = controller->DragOpenTimer();
    ASSERT_NE(timer, nullptr);
    EXPECT_TRUE(timer->Enabled());
    EXPECT_EQ(timer->Interval(), 800u);
    controller->StartDragOpen(std::make_unique<TvlGridDragOpenInfoTab>(f.levels[1]));
    EXPECT_EQ(openLevel(), f.levels[1]);
    controller->StartDragOpen(std::make_unique<TvlGridDragOpenInfoTab>(f.levels[2]));
    EXPECT_EQ(openLevel(), f.levels[2]);
    EXPECT_EQ(controller->DragOpenTimer(), timer);
    EXPECT_EQ(f.grid->ActiveLevel(), f.levels[0]);

    // The tick opens the tab once; the timer is not freed inside its own tick.
    timer->TimeOut();
    EXPECT_EQ(f.grid->ActiveLevel(), f.levels[2]);
    EXPECT_EQ(f.grid->FocusedView(), f.views[2]);
    EXPECT_EQ(controller->DragOpenInfo(), nullptr);
    ASSERT_EQ(controller->DragOpenTimer(), timer);
    EXPECT_FALSE(timer->Enabled());
    controller->StopDragOpen();
    EXPECT_EQ(controller->DragOpenTimer(), nullptr);

    // A drag leaving the grid, or ending, stops a wait.
    for (const bool ending : {false, true}) {
        controller->StartDragOpen(std::make_unique<TvlGridDragOpenInfoTab>(f.levels[0]));
        bool accept = false;
        if (ending)
            f.grid->DoEndDrag(nullptr, 5, 5);
        else
            f.grid->DragOver(nullptr, 5, 5, dsDragLeave, accept);
        EXPECT_EQ(controller->DragOpenInfo(), nullptr);
        EXPECT_EQ(controller->DragOpenTimer(), nullptr);
    }
}

// A controller with a cursor of its own over the first ten columns of pixels.
class CursorController : public TvlGridController {
public:
    using TvlGridController::TvlGridController;
    TCursor GetCursor(int X, int) const override { return X < 10 ? crHandPoint : crDefault; }
};

class CursorGrid : public TvlGrid {
public:
    using TvlGrid::TvlGrid;
    TCursor CursorAt(int X, int Y) const { return GetCurrentCursor(X, Y); }

protected:
    TControllerClass GetControllerClass() const override
    {
        return &vlGridCreate<CursorController, TvlGridController, TvlCustomGrid*>;
    }
};

TEST(GridController, ItsCursorWinsWhereItHasOneAndTheGridsElsewhere)
{
    TComponent owner(nullptr);
    auto* grid = TvlCustomGrid::Create<CursorGrid>(&owner);
    grid->SetCursor(crCross);
    EXPECT_EQ(grid->CursorAt(5, 5), crHandPoint);
    EXPECT_EQ(grid->CursorAt(50, 5), crCross);
}

TEST(GridViews, FollowTheGridTheyAreAttachedTo)
{
    GridFixture f;
    RecordingView* view = f.views[0];
    TvlGrid* other = TvlCustomGrid::Create<TvlGrid>(&f.form);
    // Attaching through the other grid, as streaming a child does, moves
    // the view from one list to the other.
    view->SetParentComponent(other);
    EXPECT_EQ(view->Control(), other);
    EXPECT_EQ(f.grid->ViewCount(), 0);
    ASSERT_EQ(other->ViewCount(), 1);
    EXPECT_EQ(other->Views(0), view);
    EXPECT_EQ(view->StorageControl(), f.grid);

    view->SetControl(f.grid);
    EXPECT_EQ(other->ViewCount(), 0);
    EXPECT_EQ(f.grid->ViewCount(), 1);
    // Only a grid shows a view.
    TvlControl plain(nullptr);
    plain.AddChildComponent(view);
    EXPECT_EQ(view->Control(), f.grid);

    other->RemoveChildComponent(view);  // not its grid: nothing moves
    EXPECT_EQ(view->Control(), f.grid);
    f.grid->RemoveChildComponent(view);
    EXPECT_EQ(view->Control(), nullptr);
    EXPECT_EQ(f.grid->ViewCount(), 0);
    // A view made without its options still leaves the list as it goes.
    auto bare = std::make_unique<RecordingView>(nullptr);
    f.grid->AddChildComponent(bare.get());
    EXPECT_EQ(f.grid->ViewCount(), 1);
    bare.reset();
    EXPECT_EQ(f.grid->ViewCount(), 0);
}

// Tab and Enter in a view move on from the grid through its form.
TEST(GridFocus, NextControlMovesFromTheGridToTheFormsNeighbours)
{
    TApplication app(nullptr);
    app.Initialize();
    TForm form(nullptr);
    form.SetBounds(0, 0, 400, 300);
    auto makeStop = [&](int ATop) {
        auto* c = new TPanel(&form);  // owned by the form
        c->SetParent(&form);
        c->SetBounds(0, ATop, 50, 20);
        c->SetTabStop(true);
        return c;
    };
    TPanel* before = makeStop(0);
    TvlGrid* grid = TvlCustomGrid::Create<TvlGrid>(&form);
    grid->SetParent(&form);
    grid->SetTop(30);
    TPanel* after = makeStop(240);
    form.Show();

    form.SetActiveControl(before);
    grid->FocusNextControl(true);  // the focus is elsewhere: nothing moves
    app.ProcessMessages();
    EXPECT_EQ(form.ActiveControl(), before);

    struct Case {
        bool forward;
        TWinControl* expected;
    } cases[] = {{true, after}, {false, before}};
    for (const Case& c : cases) {
        form.SetActiveControl(grid);
        grid->FocusNextControl(c.forward);
        EXPECT_EQ(form.ActiveControl(), grid);  // posted, not sent
        app.ProcessMessages();
        EXPECT_EQ(form.ActiveControl(), c.expected) << c.forward;
    }
}

}  // namespace
