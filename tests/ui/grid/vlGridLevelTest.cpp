// Levels: their tree, clamped settings, display captions, view binding and
// tab styles, and the details site that shows a level's active view.
#include "ui/grid/vlGridLevel.h"

#include <gtest/gtest.h>

#include "GridRecorder.h"

using namespace gridtest;

namespace {

TEST(GridLevel, CheckHeightClampsToTheMaximum)
{
    TvlGridLevel* level = TvlGridLevel::Create<TvlGridLevel>(nullptr);
    std::unique_ptr<TvlGridLevel> owner(level);
    struct Case {
        int max, height, expected;
    } cases[] = {{100, 250, 100}, {100, 80, 80}, {100, -5, 0}, {0, 250, 250}};
    for (const Case& c : cases) {
        level->SetMaxDetailHeight(c.max);
        int height = c.height;
        level->CheckHeight(height);
        EXPECT_EQ(height, c.expected) << c.max << " " << c.height;
    }
    level->SetMaxDetailHeight(-3);
    EXPECT_EQ(level->MaxDetailHeight(), 0);
    level->SetImageIndex(-7);
    EXPECT_EQ(level->ImageIndex(), -1);
    level->Options()->SetDetailFrameWidth(-2);
    EXPECT_EQ(level->Options()->DetailFrameWidth(), 0);
}

TEST(GridLevel, DisplayCaptionDropsAcceleratorMarkers)
{
    std::unique_ptr<TvlGridLevel> level(TvlGridLevel::Create<TvlGridLevel>(nullptr));
    const std::pair<const char*, const char*> cases[] = {
        {"&Files", "Files"}, {"Save &As", "Save As"}, {"A&&B", "A&B"}, {"end&", "end"}, {"", ""}, {"plain", "plain"},
    };
    for (const auto& [caption, expected] : cases) {
        level->SetCaption(QString::fromUtf8(caption));
        EXPECT_EQ(level->GetDisplayCaption(), QString::fromUtf8(expected)) << caption;
    }
    level->SetCaption(QString::fromUtf8("&\xF0\x9F\x8E\xAC clips"));
    EXPECT_EQ(level->GetDisplayCaption(), QString::fromUtf8("\xF0\x9F\x8E\xAC clips"));
}

TEST(GridLevel, MoveChildClampsTheIndex)
{
    GridFixture f(3);
    TvlGridRootLevel* root = f.grid->RootLevel();
    root->MoveChild(f.levels[0], 10);
    EXPECT_EQ(root->Items(2), f.levels[0]);
    EXPECT_EQ(f.levels[0]->Index(), 2);
    root->MoveChild(f.levels[0], -4);
    EXPECT_EQ(root->Items(0), f.levels[0]);
    f.levels[1]->SetVisible(false);
    EXPECT_EQ(root->VisibleCount(), 2);
    EXPECT_EQ(root->VisibleItems(1), f.levels[2]);
}

TEST(GridLevel, AViewMovesBetweenLevels)
{
    GridFixture f(2);
    f.levels[1]->SetGridView(f.views[0]);
    EXPECT_EQ(f.levels[0]->GridView(), nullptr);
    EXPECT_EQ(f.levels[1]->GridView(), f.views[0]);
    EXPECT_EQ(f.views[0]->Level(), f.levels[1]);
    EXPECT_EQ(f.views[1]->Level(), nullptr);
    EXPECT_FALSE(f.views[0]->IsPattern());
}

TEST(GridLevel, ChangesReachTheGridAsSizeChanges)
{
    GridFixture f;
    f.grid->BeginUpdate();
    f.levels[0]->SetCaption(QStringLiteral("Jobs"));
    f.levels[0]->Options()->SetDetailFrameColor(clRed);
    EXPECT_EQ(f.grid->PendingChangeCount(), 2);
    f.levels[0]->SetCaption(QStringLiteral("Jobs"));
    EXPECT_EQ(f.grid->PendingChangeCount(), 2);
    f.grid->CancelUpdate();
    EXPECT_EQ(f.grid->RootLevelOptions()->DetailFrameWidth(), 0);
    EXPECT_EQ(f.levels[0]->Options()->DetailFrameWidth(), 1);
    EXPECT_EQ(f.levels[0]->Options()->GetDetailFrameColor(), clRed);
}

TEST(GridLevel, TabStylesResolveWithTheEvents)
{
    GridFixture f(2);
    TvlStyleRepository repository(nullptr);
    auto* red = static_cast<TvlStyle*>(repository.CreateStyle());
    red->SetColor(clRed);
    TvlGridLevelStyles* styles = f.grid->RootLevelStyles();
    TvlViewParams params;
    styles->GetDefaultTabParams(params);
    EXPECT_EQ(params.Color, clBtnFace);
    EXPECT_EQ(params.Font, f.grid->Font());
    styles->OnGetTabStyle = TvlGridLevelGetTabStyleEvent::FromFunction(
        [&](TvlGridLevel*, TvlGridLevel* tab, TvlCustomStyle*& style) { style = tab == f.levels[1] ? red : nullptr; });
    styles->GetTabParams(nullptr, f.levels[1], params);
    EXPECT_EQ(params.Color, clRed);
    styles->GetTabParams(nullptr, f.levels[0], params);
    EXPECT_EQ(params.Color, clBtnFace);
    TvlViewParams background;
    styles->ResolveViewParams(TvlGridLevelStyles::lsTabsBackground, nullptr, nullptr, background);
    EXPECT_EQ(background.Color, clDefault);
}

TEST(GridDetailsSite, TheTopSiteFillsTheGrid)
{
    GridFixture f;
    f.grid->SetBounds(0, 0, 250, 200);
    f.grid->LayoutChanged();
    TvlGridTopDetailsSiteViewInfo* site = f.grid->ViewInfo()->DetailsSiteViewInfo();
    ASSERT_NE(site, nullptr);
    const TRect client = f.grid->GetClientBounds();
    EXPECT_EQ(site->Bounds(), client);
    EXPECT_EQ(site->GetActiveGridView(), f.views[0]);
    EXPECT_EQ(f.views[0]->GetSiteBounds(), client);

    // Without a view the site still covers the grid and reports no view.
    f.levels[0]->SetGridView(nullptr);
    f.grid->LayoutChanged();
    site = f.grid->ViewInfo()->DetailsSiteViewInfo();
    EXPECT_EQ(site->GetActiveGridView(), nullptr);
    TRect siteClient;
    site->GetClientBounds(siteClient);
    EXPECT_EQ(siteClient, client);
    EXPECT_EQ(site->GetHitTest(TPoint{5, 5}), nullptr);
}

TEST(GridDetailsSite, HeightFollowsTheFrameAndTheMaximum)
{
    // A detail-style site of fixed maximum size, with no view.
    class Site : public TvlCustomGridDetailsSiteViewInfo {
    public:
        using TvlCustomGridDetailsSiteViewInfo::TvlCustomGridDetailsSiteViewInfo;
        int GetMaxHeight() const override { return MaxHeight; }
        int GetMaxWidth() const override { return 300; }
        TvlCustomGridView* GetActiveGridViewValue() const override { return nullptr; }
        TvlGridLevel* GetActiveLevel() const override { return nullptr; }
        TvlLookAndFeelPainterClass GetLookAndFeelPainter() const override { return TvlStandardLookAndFeelPainter::Instance(); }
        void ActivateLevel(TvlGridLevel*) override {}
        bool HasData(TvlGridLevel*) const override { return false; }
        TvlCustomGridRecord* GetMasterRecord() const override { return nullptr; }
        int MaxHeight = 500;
    };
    std::unique_ptr<TvlGridLevel> level(TvlGridLevel::Create<TvlGridLevel>(nullptr));
    level->Options()->SetDetailFrameWidth(2);
    Site site(level.get());
    EXPECT_EQ(site.CalculateHeight(), 104);  // empty client 100 plus the frame
    EXPECT_TRUE(site.FullyVisible());
    site.MaxHeight = 50;
    EXPECT_EQ(site.CalculateHeight(), 50);
    EXPECT_EQ(site.NormalHeight(), 104);
    EXPECT_EQ(site.CalculateWidth(), 300);  // at least the minimum width, the maximum here
    site.Calculate(10, 20);
    TRect client;
    site.GetClientBounds(client);
    EXPECT_EQ(client, (TRect{12, 22, 308, 68}));
    EXPECT_FALSE(site.IsTabVisible(level.get()) && !level->Options()->TabsForEmptyDetails());
    level->Options()->SetTabsForEmptyDetails(false);
    EXPECT_FALSE(site.IsTabVisible(level.get()));
}

}  // namespace
