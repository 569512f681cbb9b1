// The view base: option objects and background bitmaps reporting to their
// view, styles without a grid, hit tests, assignment, links and the
// registry of view classes.
#include "ui/grid/vlGridCustomView.h"

#include <gtest/gtest.h>

#include "GridRecorder.h"
#include "platform/rtl/TypInfo.h"

using namespace gridtest;

namespace {

using Log = std::vector<std::string>;

TEST(GridViewOptions, ScrollBarsLayOutOnlyOnAChange)
{
    GridFixture f;
    TvlCustomGridOptionsView* options = f.views[0]->OptionsView();
    options->SetScrollBars(options->ScrollBars());
    EXPECT_TRUE(f.log().empty());
    options->SetScrollBars(ssVertical);
    EXPECT_EQ(options->ScrollBars(), ssVertical);
    EXPECT_EQ(f.log(), (Log{"calc lvFilesView1", "paint lvFilesView1"}));
}

TEST(GridViewOptions, BackgroundBitmapsAreMadeQuietlyAndFallBackToTheStyle)
{
    GridFixture f;
    TvlCustomGridBackgroundBitmaps* bitmaps = f.views[0]->BackgroundBitmaps();
    TBitmap* background = bitmaps->Background();
    ASSERT_NE(background, nullptr);
    EXPECT_TRUE(background->Empty());
    EXPECT_TRUE(f.log().empty());
    EXPECT_EQ(bitmaps->GetBitmap(1), nullptr);

    TvlStyleRepository repository(nullptr);
    auto* style = static_cast<TvlStyle*>(repository.CreateStyle());
    TBitmap picture;
    picture.SetSize(4, 4);
    style->SetBitmap(&picture);
    f.views[0]->Styles()->SetBackground(style);
    EXPECT_EQ(bitmaps->GetBitmap(0), style->Bitmap());
    f.log().clear();

    bitmaps->SetBackground(&picture);
    EXPECT_EQ(f.log(), (Log{"calc lvFilesView1", "paint lvFilesView1"}));
    EXPECT_EQ(bitmaps->GetBitmap(0), bitmaps->Background());
}

TEST(GridViewOptions, NotificationsReachTheOptions)
{
    class Watching : public TvlCustomGridOptions {
    public:
        using TvlCustomGridOptions::TvlCustomGridOptions;
        void Notification(TComponent* AComponent, TOperation Operation) override
        {
            if (Operation == opRemove)
                Removed = AComponent;
        }
        TComponent* Removed = nullptr;
    };
    GridFixture f;
    Watching options(f.views[0]);
    auto* menu = new TComponent(&f.form);
    menu->FreeNotification(f.views[0]);
    delete menu;
    EXPECT_EQ(options.Removed, menu);
}

TEST(GridViewStyles, HearTheGridsFontOnlyWhileAttached)
{
    GridFixture f;
    auto fontChange = [&] {
        f.log().clear();
        f.grid->Font()->SetSize(f.grid->Font()->Size() + 1);
        return !f.log().empty();
    };
    RecordingView* view = f.views[0];
    TvlViewParams params;
    view->Styles()->ResolveViewParams(TvlCustomGridViewStyles::vsBackground, nullptr, nullptr, params);
    EXPECT_EQ(params.Font, f.grid->Font());
    EXPECT_TRUE(fontChange());
    view->SetControl(nullptr);
    EXPECT_FALSE(fontChange());
    view->SetControl(f.grid);
    EXPECT_TRUE(fontChange());
    delete view;  // its style set stops listening as it goes
    EXPECT_FALSE(fontChange());
}

TEST(GridViewStyles, AViewWithoutAGridTakesThePaintersFont)
{
    std::unique_ptr<RecordingView> view(TvlCustomGridView::Create<RecordingView>(nullptr));
    TvlViewParams params;
    view->Styles()->ResolveViewParams(TvlCustomGridViewStyles::vsBackground, nullptr, nullptr, params);
    EXPECT_EQ(params.Font, view->Painter()->CanvasFont());
    EXPECT_EQ(params.Color, clWindow);
    EXPECT_EQ(params.TextColor, clGrayText);
}

TEST(GridView, AssignCopiesOptionsAndRefusesForeignClasses)
{
    GridFixture f(2);
    TvlStyleRepository repository(nullptr);
    TvlCustomStyle* style = repository.CreateStyle();
    f.views[0]->Styles()->SetBackground(style);
    f.views[0]->OptionsBehavior()->SetPostponedSynchronization(false);
    f.views[1]->Assign(f.views[0]);
    EXPECT_EQ(f.views[1]->Styles()->Background(), style);
    EXPECT_FALSE(f.views[1]->OptionsBehavior()->PostponedSynchronization());
    EXPECT_THROW(f.views[1]->Assign(f.grid->RootLevelOptions()), EConvertError);
}

TEST(GridView, ListenerLinksOutliveTheView)
{
    std::unique_ptr<TvlGridListenerLink> link;
    {
        std::unique_ptr<RecordingView> view(TvlCustomGridView::Create<RecordingView>(nullptr));
        link = view->AddListenerLink();
        EXPECT_EQ(link->GridView(), view.get());
        std::unique_ptr<TvlGridListenerLink> other = view->AddListenerLink();
        EXPECT_EQ(view->ListenerLinkCount(), 2);
        other.reset();
        EXPECT_EQ(view->ListenerLinkCount(), 1);
    }
    EXPECT_EQ(link->GridView(), nullptr);
}

TEST(GridView, WithoutAGridChangesRunAtOnce)
{
    std::unique_ptr<RecordingView> view(TvlCustomGridView::Create<RecordingView>(nullptr));
    view->SetName(QStringLiteral("Alone"));
    view->BeginUpdate();
    view->Invalidate();
    EXPECT_EQ(sharedLog(), Log{"paint Alone"});
    view->EndUpdate();
    sharedLog().clear();
}

TEST(GridHitTests, CodesAndAssignment)
{
    const std::pair<std::unique_ptr<TvlCustomGridHitTest>, int> codes[] = {
        {std::make_unique<TvlGridNoneHitTest>(), 0},
        {std::make_unique<TvlGridViewNoneHitTest>(), 0},
        {std::make_unique<TvlGridNavigatorHitTest>(), 1},
        {std::make_unique<TvlGridCustomizationFormHitTest>(), 2},
        {std::make_unique<TvlGridFilterHitTest>(), 101},
        {std::make_unique<TvlGridFilterCustomizeButtonHitTest>(), 105},
        {std::make_unique<TvlGridRecordHitTest>(), 106},
        {std::make_unique<TvlGridRecordCellHitTest>(), 107},
        {std::make_unique<TvlGridExpandButtonHitTest>(), 108},
    };
    for (const auto& [hitTest, code] : codes)
        EXPECT_EQ(hitTest->HitTestCode(), code) << hitTest->ClassName().toStdString();
    EXPECT_FALSE(TvlGridExpandButtonHitTest().ActsOnRecord());
    EXPECT_TRUE(TvlGridRecordCellHitTest().ActsOnRecord());

    GridFixture f;
    auto viewHit = vlGridHitTest<TvlGridViewNoneHitTest>(TPoint{3, 4});
    viewHit->View = f.views[0];
    auto record = vlGridHitTest<TvlGridRecordHitTest>(TPoint{9, 9});
    record->RecordIndex = 5;
    record->RecordKind = 0;
    record->Assign(viewHit.get());
    EXPECT_EQ(record->HitPoint, (TPoint{3, 4}));
    EXPECT_EQ(record->View, f.views[0]);
    EXPECT_EQ(record->RecordIndex, 5);
    record->SetRecord(nullptr, nullptr);
    EXPECT_EQ(record->RecordIndex, -1);
    EXPECT_EQ(record->RecordKind, -1);
    EXPECT_EQ(record->GetRecord(), nullptr);

    // A copy is a hit test of its own: moving one leaves the other.
    std::unique_ptr<TvlCustomGridHitTest> copy = record->Clone();
    record->HitPoint = TPoint{50, 50};
    EXPECT_EQ(copy->HitPoint, (TPoint{3, 4}));
    EXPECT_EQ(copy->HitTestCode(), 106);
}

TEST(GridRegisteredViews, DescriptionsStartingWithDBComeLast)
{
    TClassInfo base{QStringLiteral("TvlCustomGridView"), nullptr, {}};
    TClassInfo table{QStringLiteral("TvlGridTableView"), &base, {}};
    TClassInfo dbTable{QStringLiteral("TvlGridDBTableView"), &base, {}};
    TClassInfo zeta{QStringLiteral("TvlGridZetaView"), &base, {}};
    TvlGridRegisteredViews views;
    views.Register(&dbTable, QStringLiteral("DB Table"));
    views.Register(&zeta, QStringLiteral("Zeta"));
    views.Register(&table, QStringLiteral("Table"));
    ASSERT_EQ(views.Count(), 3);
    EXPECT_EQ(views.Items(0), &table);
    EXPECT_EQ(views.Items(1), &zeta);
    EXPECT_EQ(views.Items(2), &dbTable);
}

}  // namespace
