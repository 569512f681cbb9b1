// The status bar, group box and panel skinners on a colour-coded skin.
#include "platform/controls/ComCtrls.h"
#include "platform/controls/ExtCtrls.h"
#include "platform/controls/StdCtrls.h"
#include "tests/skin/SkinnerFixture.h"

using namespace skintest;

namespace {

TColor edgeFrame(int k) { return RGB(uint8_t(60 * k), 30, 160); }
TColor extraFrame(int k) { return RGB(30, uint8_t(40 * k), 90); }
const TColor face = RGB(90, 90, 90);
const TColor shadow = RGB(20, 40, 60);

// StatusBarEdges: 3 frames of 8 x 8 (2-pixel margins); ExtraImages: 5
// frames of 4 x 4. Without Edges the bar draws bevels.
QByteArray panelSkin(bool Edges)
{
    QByteArray ini = "[Colours]\nButtonFace=90 90 90\nButtonShadow=20 40 60\n"
                     "[ExtraImages]\nImage=extra.bmp\n";
    if (Edges)
        ini += "[StatusBarEdges]\nImage=edges.bmp\nLeftWidth=2\nRightWidth=2\nTopHeight=2\nBottomHeight=2\n";
    return packSkin({{"skin.ini", ini},
                     {"edges.bmp", strip(8, 8, 3, edgeFrame)},
                     {"extra.bmp", strip(4, 4, 5, extraFrame)}});
}

class PanelSkinners : public SkinnerTest {
protected:
    void SetUp() override
    {
        SkinnerTest::SetUp();
        loadSkin(panelSkin(true));
    }
};

}  // namespace

TEST_F(PanelSkinners, StatusBarPanelsBevelsTextAndGrip)
{
    auto* bar = control<TStatusBar>(0, 0, 200, 20);
    bar->SetAlign(alNone);
    bar->SetBounds(10, 200, 200, 20);
    bar->SetSimpleText(QStringLiteral("Ready"));
    show();
    skin<TSkinStatusBar>(bar);
    QApplication::processEvents();
    // Without panels: the simple text in one lowered panel over the bar.
    QImage shot = grab(bar);
    EXPECT_EQ(colourAt(shot, 150, 10), edgeFrame(1));
    EXPECT_EQ(colourAt(shot, 0, 0), edgeFrame(1));
    // The grip: ExtraImages frame 5 with its corner at (199 - 1, 19 - 1).
    EXPECT_EQ(colourAt(shot, 198, 18), extraFrame(5));
    EXPECT_EQ(colourAt(shot, 195, 15), extraFrame(5));
    EXPECT_EQ(colourAt(shot, 199, 19), edgeFrame(1));
    EXPECT_EQ(colourAt(shot, 194, 10), edgeFrame(1));

    // Panels: bevel lowered 1, raised 2, none 3; the last reaches the edge.
    const TStatusPanelBevel bevels[] = {pbLowered, pbRaised, pbNone};
    for (const TStatusPanelBevel b : bevels)
        bar->AddPanel().Bevel = b;
    std::vector<TRect> drawn;
    bar->OnDrawPanel = TDrawPanelEvent::FromFunction(
        [&](TStatusBar*, TStatusPanel*, const TRect& r) { drawn.push_back(r); });
    bar->SetSizeGrip(false);
    QApplication::processEvents();
    shot = grab(bar);
    EXPECT_EQ(colourAt(shot, 25, 10), edgeFrame(1));
    EXPECT_EQ(colourAt(shot, 51, 10), edgeFrame(1));  // 2 pixels past the panel's width
    EXPECT_EQ(colourAt(shot, 80, 10), edgeFrame(2));
    EXPECT_EQ(colourAt(shot, 150, 10), edgeFrame(3));
    EXPECT_EQ(colourAt(shot, 199, 10), edgeFrame(3));
    EXPECT_EQ(colourAt(shot, 198, 18), edgeFrame(3));  // no grip now
    EXPECT_EQ(colourAt(shot, 10, 0), face);            // above the panels
    ASSERT_GE(drawn.size(), 3u);
    EXPECT_EQ(drawn[0], (TRect{2, 4, 48, 18}));  // the panel's rectangle less 2 all round
}

TEST_F(PanelSkinners, StatusBarWithoutEdgesDrawsOnePixelBevels)
{
    loadSkin(panelSkin(false));
    auto* bar = control<TStatusBar>(10, 200, 200, 20);
    bar->SetAlign(alNone);
    bar->SetBounds(10, 200, 200, 20);
    bar->SetSizeGrip(false);
    bar->AddPanel().Bevel = pbLowered;
    bar->AddPanel().Bevel = pbRaised;
    show();
    skin<TSkinStatusBar>(bar);
    QApplication::processEvents();
    const QImage shot = grab(bar);
    // Panel 0 spans (0, 2)-(52, 20), panel 1 the rest.
    EXPECT_EQ(colourAt(shot, 10, 2), ColorToRGB(clBtnShadow));
    EXPECT_EQ(colourAt(shot, 0, 10), ColorToRGB(clBtnShadow));
    EXPECT_EQ(colourAt(shot, 10, 19), ColorToRGB(clBtnHighlight));
    EXPECT_EQ(colourAt(shot, 51, 10), ColorToRGB(clBtnHighlight));
    EXPECT_EQ(colourAt(shot, 100, 2), ColorToRGB(clBtnHighlight));
    EXPECT_EQ(colourAt(shot, 199, 10), ColorToRGB(clBtnShadow));
    EXPECT_EQ(colourAt(shot, 30, 10), face);
}

TEST_F(PanelSkinners, GroupBoxFrameAndCaptionBothDirections)
{
    auto* box = control<TGroupBox>(10, 10, 150, 80);
    box->SetCaption(QStringLiteral("Mm"));
    box->Font()->SetColor(RGB(0, 0, 250));
    auto* label = control<TLabel>(20, 30, 40, 15, box);
    label->SetCaption(QStringLiteral("x"));
    show();
    skin<TSkinGroupBox>(box);
    QApplication::processEvents();
    auto inkColumns = [&](const QImage& shot, int& first, int& last) {
        first = 1000;
        last = -1;
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < shot.width(); ++x)
                if (colourAt(shot, x, y) == RGB(0, 0, 250)) {
                    first = std::min(first, x);
                    last = std::max(last, x);
                }
    };
    QImage shot = grab(box);
    // The rounded frame in the shadow colour, the inside in the face colour.
    EXPECT_EQ(colourAt(shot, 1, 40), shadow);
    EXPECT_EQ(colourAt(shot, 148, 40), shadow);
    EXPECT_EQ(colourAt(shot, 75, 78), shadow);
    EXPECT_EQ(colourAt(shot, 75, 40), face);
    EXPECT_EQ(colourAt(shot, 0, 40), face);
    int first = 0, last = 0;
    inkColumns(shot, first, last);
    EXPECT_GE(first, 8);
    EXPECT_LT(first, 12);
    // The child label is painted over the box.
    bool labelInk = false;
    for (int y = 20; y < 35 && !labelInk; ++y)
        for (int x = 10; x < 30; ++x)
            labelInk |= colourAt(shot, x, y) != face;
    EXPECT_TRUE(labelInk);

    box->Widget()->setLayoutDirection(Qt::RightToLeft);
    box->Invalidate();
    QApplication::processEvents();
    shot = grab(box);
    inkColumns(shot, first, last);
    EXPECT_LT(last, 150 - 8);
    EXPECT_GT(last, 150 - 13);
}

TEST_F(PanelSkinners, PanelWearsTheFaceColourWhileSkinned)
{
    auto* panel = control<TPanel>(10, 10, 100, 50);
    panel->SetColor(RGB(1, 200, 3));
    show();
    auto* s = skin<TSkinBox>(panel, true);
    EXPECT_EQ(panel->Color(), face);
    EXPECT_EQ(formSkinner->FindControlSkinner(panel), s);
    s->Unskin();
    EXPECT_EQ(panel->Color(), RGB(1, 200, 3));
    EXPECT_EQ(s->State, 2);
    // Without the colour replacement (tool bars) the colour stays.
    auto* other = control<TPanel>(10, 70, 100, 50);
    other->SetColor(RGB(4, 5, 6));
    skin<TSkinBox>(other, false);
    EXPECT_EQ(other->Color(), RGB(4, 5, 6));
}

TEST_F(PanelSkinners, RawBoxAndSizerFillWithTheFace)
{
    // A box that leaves its background to the erase, and one painted over.
    auto* a = control<TGroupBox>(10, 10, 40, 40);
    auto* b = control<TPanel>(60, 10, 40, 40);
    show();
    skin<TSkinBoxH>(a);
    skin<TSkinSizer>(b);
    a->Invalidate();
    b->Invalidate();
    QApplication::processEvents();
    EXPECT_EQ(colourAt(grab(a), 20, 20), face);
    EXPECT_EQ(colourAt(grab(b), 20, 20), face);
}
