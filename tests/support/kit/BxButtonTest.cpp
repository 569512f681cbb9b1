// Owner-drawn buttons rendered offscreen: borders, focus dots, hot rings and
// disabled text probed per state; every kind's caption, glyph and result.
#include <QApplication>
#include <QWidget>
#include <gtest/gtest.h>

#include "support/BxButton.h"
#include "support/BxCommon.h"
#include "support/KitCaptionPanel.h"

namespace {

class BxButtonTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        app = std::make_unique<TApplication>(nullptr);
        app->Initialize();
        form = std::make_unique<TForm>(nullptr);
        form->SetBounds(0, 0, 300, 200);
        form->SetColor(clBtnFace);
        button = new TBxButton(form.get());
        button->SetParent(form.get());
        button->SetBounds(20, 20, 75, 25);
        button->SetCaption(QStringLiteral("Press"));
        other = new TBxButton(form.get());
        other->SetParent(form.get());
        other->SetBounds(120, 20, 75, 25);
        form->Show();
    }
    void TearDown() override
    {
        form.reset();
        app.reset();
    }
    // The button's pixel at (x, y) of its own client area.
    TColor at(TControl* c, int x, int y)
    {
        const QImage img = form->Widget()->grab().toImage();
        const QRgb p = img.pixel(c->Left() + x, c->Top() + y);
        return RGB(qRed(p), qGreen(p), qBlue(p));
    }
    std::unique_ptr<TApplication> app;
    std::unique_ptr<TForm> form;
    TBxButton* button = nullptr;
    TBxButton* other = nullptr;
};

TEST_F(BxButtonTest, StatesDrawTheirBordersAndFocusDots)
{
    const int w = button->Width(), h = button->Height();
    // normal: the raised push border
    EXPECT_EQ(at(button, 0, 0), ColorToRGB(clBtnHighlight));
    EXPECT_EQ(at(button, w - 1, h - 1), ColorToRGB(cl3DDkShadow));
    EXPECT_EQ(at(button, 1, 1), ColorToRGB(cl3DLight));
    EXPECT_EQ(at(button, w - 2, h - 2), ColorToRGB(clBtnShadow));
    // focused: the black outline, the border inside it and the dots of R inset by 4
    QApplication::setActiveWindow(form->Widget());
    button->SetFocus();
    ASSERT_TRUE(button->Focused());
    EXPECT_EQ(at(button, 0, 0), ColorToRGB(clWindowFrame));
    EXPECT_EQ(at(button, 1, 1), ColorToRGB(clBtnHighlight));
    EXPECT_EQ(at(button, 4, 5), clBlack);
    EXPECT_EQ(at(button, 5, 4), clBlack);
    EXPECT_EQ(at(button, 4, 4), ColorToRGB(clBtnFace));
    // pressed: the pressed border, no outline while shown pressed
    button->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MakeLParam(10, 10));
    EXPECT_TRUE(button->ShowPressed());
    EXPECT_EQ(at(button, 0, 0), ColorToRGB(clBtnText));
    EXPECT_EQ(at(button, 1, 1), ColorToRGB(clBtnShadow));
    // moving out removes the pressed look and releasing there does not click
    int clicks = 0;
    button->OnClick = TNotifyEvent::FromFunction([&](TObject*) { ++clicks; });
    button->Perform(WM_MOUSEMOVE, MK_LBUTTON, MakeLParam(200, 10));
    EXPECT_FALSE(button->ShowPressed());
    button->Perform(WM_LBUTTONUP, 0, MakeLParam(200, 10));
    EXPECT_EQ(clicks, 0);
    // hot: outer hot frame and the gradient ring's top colour
    button->SetHotTrack(true);
    button->Perform(CM_MOUSEENTER);
    EXPECT_EQ(at(button, 0, 2), DarkenColor(clBtnFace, 20));
    EXPECT_EQ(at(button, w / 2, 1), ColorToRGB(cl3DDkShadow));
    EXPECT_EQ(at(button, w / 2, 2), MixColors(clWhite, button->HotTrackColor(), 190));
    // disabled on a face close to clGrayText: the caption in cl3DDkShadow
    button->SetHotTrack(false);
    button->SetColor(0x888888);
    button->SetEnabled(false);
    const QImage img = form->Widget()->grab().toImage().copy(button->Left() + 5, button->Top() + 5, w - 10, h - 10);
    bool dark = false;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            dark |= RGB(qRed(img.pixel(x, y)), qGreen(img.pixel(x, y)), qBlue(img.pixel(x, y))) == ColorToRGB(cl3DDkShadow);
    EXPECT_TRUE(dark);
}

TEST_F(BxButtonTest, EveryKindHasItsCaptionGlyphAndResult)
{
    const struct {
        TBitBtnKind kind;
        TModalResult result;
        bool def, cancel;
    } cases[] = {{bkOK, mrOk, true, false},     {bkCancel, mrCancel, false, true}, {bkHelp, mrNone, false, false},
                 {bkYes, mrYes, true, false},   {bkNo, mrNo, false, true},         {bkClose, mrNone, false, false},
                 {bkAbort, mrAbort, false, false}, {bkRetry, mrRetry, false, false}, {bkIgnore, mrIgnore, false, false},
                 {bkAll, mrAll, false, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(int(c.kind));
        auto* b = new TBxBitBtn(form.get());
        b->SetParent(form.get());
        b->SetBounds(20, 100, 90, 30);
        b->SetKind(c.kind);
        EXPECT_EQ(b->Caption(), BitBtnKindCaption(c.kind));
        EXPECT_EQ(b->ModalResult(), c.result);
        EXPECT_EQ(b->Default(), c.def);
        EXPECT_EQ(b->Cancel(), c.cancel);
        EXPECT_EQ(b->NumGlyphs(), 2);
        EXPECT_EQ(b->Kind(), c.kind);
        // the glyph cell sits left of the caption, vertically centred
        const QImage img = form->Widget()->grab().toImage().copy(b->Left() + 7, b->Top() + 7, 16, 16);
        int ink = 0;
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x)
                ink += RGB(qRed(img.pixel(x, y)), qGreen(img.pixel(x, y)), qBlue(img.pixel(x, y))) != ColorToRGB(clBtnFace);
        EXPECT_GT(ink, 4);
        delete b;
    }
    TBxBitBtn ok(form.get());
    ok.SetKind(bkOK);
    ok.SetModalResult(mrCancel);
    EXPECT_EQ(ok.Kind(), bkCustom);
    ok.SetMargin(-5);
    EXPECT_EQ(ok.Margin(), 2);
}

TEST_F(BxButtonTest, DialogKeysGroupsAndClicks)
{
    int okClicks = 0, cancelClicks = 0;
    button->SetDefault(true);
    other->SetCancel(true);
    button->OnClick = TNotifyEvent::FromFunction([&](TObject*) { ++okClicks; });
    other->OnClick = TNotifyEvent::FromFunction([&](TObject*) { ++cancelClicks; });
    button->SetModalResult(mrOk);
    form->Perform(CM_DIALOGKEY, VK_RETURN, 0);
    EXPECT_EQ(okClicks, 1);
    EXPECT_EQ(form->ModalResult(), mrOk);
    form->Perform(CM_DIALOGKEY, VK_ESCAPE, 0);
    EXPECT_EQ(cancelClicks, 1);
    form->Perform(CM_DIALOGKEY, VK_RETURN, KF_ALTDOWN_LPARAM);
    EXPECT_EQ(okClicks, 1);

    button->SetGroupIndex(1);
    other->SetGroupIndex(1);
    button->SetDown(true);
    button->SetDown(false);  // the last one down stays down
    EXPECT_TRUE(button->Down());
    other->SetDown(true);
    EXPECT_TRUE(other->Down());
    EXPECT_FALSE(button->Down());
}

TEST(BxCommon, ColourArithmetic)
{
    const THslColor white = ColorToHsl(clWhite);
    EXPECT_EQ(white.H, 0);
    EXPECT_EQ(white.S, 0);
    EXPECT_EQ(white.L, 240);
    EXPECT_EQ(ColorFromHsl(0, 0, 240), clWhite);
    for (TColor c : {clRed, clNavy, TColor(0x149BF0), clBtnFace})
        EXPECT_EQ(LightenColor(c, 255), clWhite);
    EXPECT_EQ(DarkenColor(clBlack, 40), clBlack);
    EXPECT_TRUE(ColorsAlike(clBtnFace, clBtnFace));
    EXPECT_FALSE(ColorsAlike(clRed, clBlue));
    EXPECT_EQ(MixColors(clWhite, clBlack, 190), RGB(190, 190, 190));
    EXPECT_EQ(StripAccelerators(QStringLiteral("&OK")), QStringLiteral("OK"));
    EXPECT_EQ(StripAccelerators(QStringLiteral("A&&B")), QStringLiteral("A&B"));
    EXPECT_EQ(StripAccelerators(QStringLiteral("end&")), QStringLiteral("end&"));
}

TEST_F(BxButtonTest, CaptionPanelBandButtonsAndDrag)
{
    auto* panel = new TKitCaptionPanel(form.get());
    panel->SetParent(form.get());
    panel->SetBounds(10, 60, 200, 120);
    panel->SetColor(clBtnFace);
    panel->SetCaption(QStringLiteral("Log"));
    panel->SetCaptionColor(clSilver);
    panel->SetButtons({capClose});
    auto* memo = new TMemo(form.get());
    memo->SetParent(panel);
    memo->SetAlign(alClient);
    const int cs = panel->CaptionSize();
    EXPECT_EQ(memo->Left(), cs + 2);
    form->Widget()->grab();
    TKitCapBtn* close = panel->CaptionButton(capClose);
    EXPECT_TRUE(close->Visible());
    EXPECT_EQ(close->Left(), 4);  // the band's corner inset by BorderInset
    EXPECT_EQ(close->Top(), 4);
    EXPECT_FALSE(panel->CaptionButton(capHelp)->Visible());
    EXPECT_EQ(at(panel, 1, 60), ColorToRGB(clBtnFace));  // BorderInset
    EXPECT_EQ(at(panel, 3, 60), clSilver);
    EXPECT_EQ(at(panel, 1 + cs, 60), clSilver);
    // the rotated caption draws white pixels inside the band, below the button
    const QImage band = form->Widget()->grab().toImage().copy(panel->Left() + 2, panel->Top() + 30, cs, 88);
    int white = 0;
    for (int y = 0; y < band.height(); ++y)
        for (int x = 0; x < band.width(); ++x)
            white += band.pixel(x, y) == qRgb(255, 255, 255);
    EXPECT_GT(white, 10);
    // outlook look with flat buttons: a band two pixels narrower than the caption size
    panel->SetOutlookLook(true);
    panel->SetFlatButtons(true);
    form->Widget()->grab();
    EXPECT_EQ(panel->CaptionRect().Width(), cs - 2);
    EXPECT_EQ(at(panel, cs - 3, 60), clSilver);
    EXPECT_EQ(at(panel, cs - 2, 60), ColorToRGB(clBtnFace));
    // the close button reports its style; the pressed look follows the pointer
    std::vector<TKitCapBtnStyle> clicked;
    panel->OnButtonClick = TKitCapBtnEvent::FromFunction([&](TObject*, TKitCapBtnStyle s) { clicked.push_back(s); });
    close->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MakeLParam(3, 3));
    EXPECT_TRUE(close->Pushed());
    close->Perform(WM_MOUSEMOVE, MK_LBUTTON, MakeLParam(40, 3));
    EXPECT_FALSE(close->Pushed());
    close->Perform(WM_MOUSEMOVE, MK_LBUTTON, MakeLParam(3, 3));
    EXPECT_TRUE(close->Pushed());
    close->Perform(WM_LBUTTONUP, 0, MakeLParam(3, 3));
    EXPECT_EQ(clicked, std::vector<TKitCapBtnStyle>{capClose});
    // dragging by the band moves the panel; an aligned panel needs permission
    int ended = 0;
    panel->OnEndAutoDrag = TNotifyEvent::FromFunction([&](TObject*) { ++ended; });
    panel->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MakeLParam(5, 80));
    panel->Perform(WM_MOUSEMOVE, MK_LBUTTON, MakeLParam(15, 85));
    panel->Perform(WM_LBUTTONUP, 0, MakeLParam(15, 85));
    EXPECT_EQ(panel->Left(), 20);
    EXPECT_EQ(panel->Top(), 65);
    EXPECT_EQ(ended, 1);
    panel->SetAlign(alBottom);
    panel->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MakeLParam(5, 80));
    EXPECT_FALSE(panel->Dragging());
    panel->Perform(WM_LBUTTONUP, 0, MakeLParam(5, 80));
    const int before = panel->RecreateCount();
    panel->SetCaptionPosition(dpLeft);
    EXPECT_EQ(panel->RecreateCount(), before);
    panel->SetCaptionPosition(dpTop);
    EXPECT_EQ(panel->RecreateCount(), before + 1);
    panel->SetButtons({});
    EXPECT_FALSE(close->Visible());
}

}  // namespace
