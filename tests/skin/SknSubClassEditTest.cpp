// The edit and combo box skinners on a colour-coded skin.
#include "platform/controls/StdCtrls.h"
#include "platform/graphics/SysMetrics.h"
#include "tests/skin/SkinnerFixture.h"

using namespace skintest;

namespace {

TColor comboFrame(int k) { return RGB(uint8_t(50 * k), 10, 200); }
TColor sunkFrame(int k) { return RGB(10, uint8_t(50 * k), 10); }
const TColor shadow = RGB(20, 40, 60);

// With a SunkEdge the loader composes the whole box into one image
// (Style 2) and the edge image into its mirror.
QByteArray editSkin(int ComboStyle, bool SunkEdge)
{
    QByteArray ini = "[Colours]\nButtonFace=90 90 90\nButtonShadow=20 40 60\n"
                     "[ComboButton]\nImage=combo.bmp\nStyle=" + QByteArray::number(ComboStyle) + "\n";
    if (SunkEdge)
        ini += "[SunkEdge]\nImage=sunk.bmp\nLeftWidth=2\nRightWidth=2\nTopHeight=2\nBottomHeight=2\n";
    return packSkin({{"skin.ini", ini},
                     {"combo.bmp", strip(8, 8, 4, comboFrame)},
                     {"sunk.bmp", strip(8, 8, 4, sunkFrame)}});
}

class EditSkinners : public SkinnerTest {
protected:
    void SetUp() override
    {
        SkinnerTest::SetUp();
        loadSkin(editSkin(2, true));
    }
};

}  // namespace

TEST_F(EditSkinners, FlatBorderAndNoneForABorderlessEdit)
{
    auto* edit = control<TEdit>(10, 10, 120, 21);
    auto* bare = control<TEdit>(10, 40, 120, 21);
    bare->SetHasBorder(false);
    EXPECT_EQ(GetEnumPropByName(bare, QStringLiteral("BorderStyle")), QStringLiteral("bsNone"));
    show();
    const QImage plainBare = grab(bare);
    skin<TSkinEdit>(edit);
    skin<TSkinEdit>(bare);
    edit->Repaint();
    bare->Repaint();
    const QImage shot = grab(edit);
    EXPECT_EQ(colourAt(shot, 0, 10), shadow);
    EXPECT_EQ(colourAt(shot, 119, 10), shadow);
    EXPECT_EQ(colourAt(shot, 60, 0), shadow);
    EXPECT_EQ(colourAt(shot, 1, 10), ColorToRGB(clWhite));
    EXPECT_EQ(colourAt(shot, 2, 10), ColorToRGB(clWhite));
    EXPECT_EQ(colourAt(shot, 60, 19), ColorToRGB(clWhite));
    EXPECT_EQ(grab(bare), plainBare);
}

TEST_F(EditSkinners, ComboWholeBoxFramesHotAndMirrored)
{
    auto* edit = control<TEdit>(10, 100, 60, 21);
    auto* combo = control<TComboBox>(10, 10, 145, 21);
    combo->SetStyle(csDropDownList);
    show();
    edit->SetFocus();
    const QImage plain = grab(combo);
    auto* s = skin<TSkinComBox>(combo);
    combo->Repaint();
    auto at = [&](int x, int y) { return colourAt(grab(combo), x, y); };
    // The box: the edge round the text (whose middle stays the box's own),
    // the button at the right.
    EXPECT_EQ(at(0, 10), sunkFrame(1));
    EXPECT_EQ(at(60, 0), sunkFrame(1));
    EXPECT_EQ(at(135, 10), comboFrame(1));
    EXPECT_EQ(at(60, 10), colourAt(plain, 60, 10));
    // Onto the button: hot (frame 4) until the pointer leaves the box.
    const TRect button = s->ButtonRect;
    ASSERT_GT(button.Width(), 4);
    const LPARAM inside = MakeLParam((button.Left + button.Right) / 2, 10);
    combo->Perform(WM_MOUSEMOVE, 0, inside);
    EXPECT_EQ(at(135, 10), comboFrame(4));
    EXPECT_EQ(at(0, 10), sunkFrame(4));
    combo->Perform(WM_MOUSEMOVE, 0, MakeLParam(30, 10));
    EXPECT_EQ(at(135, 10), comboFrame(1));
    combo->Perform(WM_MOUSEMOVE, 0, inside);
    combo->Perform(CM_MOUSELEAVE);
    EXPECT_EQ(at(135, 10), comboFrame(1));
    combo->Perform(WM_LBUTTONDOWN, MK_LBUTTON, inside);
    EXPECT_EQ(at(135, 10), comboFrame(2));
    combo->Perform(WM_LBUTTONUP, 0, inside);
    combo->SetDroppedDown(false);
    EXPECT_FALSE(s->DroppedDown);
    combo->SetEnabled(false);
    combo->Repaint();
    EXPECT_EQ(at(135, 10), comboFrame(3));
    combo->SetEnabled(true);

    // Right to left: the mirrored box, its button on the left, in the
    // frame the state asks for.
    combo->Widget()->setLayoutDirection(Qt::RightToLeft);
    combo->Repaint();
    EXPECT_EQ(at(8, 10), comboFrame(1));
    EXPECT_EQ(at(144, 10), sunkFrame(1));
}

TEST_F(EditSkinners, ComboEdgeAndFlatStyles)
{
    auto* edit = control<TEdit>(10, 100, 60, 21);
    auto* combo = control<TComboBox>(10, 10, 145, 21);
    auto* flat = control<TComboBox>(10, 50, 145, 21);
    combo->SetStyle(csDropDownList);
    flat->SetStyle(csDropDownList);
    show();
    edit->SetFocus();
    const int b = GetSystemMetrics(SM_CXHSCROLL);
    // Style 0 without an edge image: the button b + 2 wide at the edge.
    loadSkin(editSkin(0, false));
    auto* s = skin<TSkinComBox>(combo);
    combo->Repaint();
    EXPECT_EQ(s->ButtonRect, (TRect{145 - b - 2, 0, 145, 21}));
    EXPECT_EQ(colourAt(grab(combo), 145 - b, 10), comboFrame(1));
    combo->Widget()->setLayoutDirection(Qt::RightToLeft);
    combo->Repaint();
    EXPECT_EQ(s->ButtonRect, (TRect{0, 0, b + 2, 21}));
    EXPECT_EQ(colourAt(grab(combo), 3, 10), comboFrame(1));
    s->Unskin();

    // Style 1: a shadow ring and the button frame inside the right edge.
    loadSkin(editSkin(1, false));
    auto* f = skin<TSkinComBox>(flat);
    flat->Repaint();
    const QImage shot = grab(flat);
    EXPECT_EQ(colourAt(shot, 0, 10), shadow);
    EXPECT_EQ(f->ButtonRect, (TRect{145 - 2 - 8, 2, 145 - 2, 10}));
    EXPECT_EQ(colourAt(shot, 145 - 5, 5), comboFrame(1));
}
