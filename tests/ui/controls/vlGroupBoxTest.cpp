// Tests of the group box: the caption's place for every alignment, the band
// its children leave free, the frames and the caption's gap in them, the
// disabled style and the accelerator.
#include <QImage>
#include <gtest/gtest.h>

#include "platform/controls/StdCtrls.h"
#include "tests/ui/editors/EditControlFixture.h"
#include "ui/controls/vlGroupBox.h"

namespace {

TEST(GroupBoxCaption, RectanglesForAllAlignments)
{
    // A 185 x 105 box with a 3-pixel shadow and a 40 x 13 caption.
    const TSize text{40, 13};
    struct Case {
        TvlCaptionAlignment Alignment;
        TRect Expected;
    } cases[] = {
        {alTopLeft, {8, 0, 48, 13}},
        {alTopCenter, {(185 - 3 - 40) / 2, 0, (185 - 3 - 40) / 2 + 40, 13}},
        {alTopRight, {185 - 8 - 3 - 40, 0, 185 - 8 - 3, 13}},
        {alBottomLeft, {8, 105 - 13, 48, 105}},
        {alBottomCenter, {(185 - 40) / 2, 92, (185 - 40) / 2 + 40, 105}},  // no shadow below
        {alBottomRight, {185 - 8 - 40, 92, 185 - 8, 105}},
        {alLeftTop, {0, 8, 13, 49}},
        {alLeftCenter, {0, 102 - (102 - 40) / 2 - 41, 13, 102 - (102 - 40) / 2}},
        {alLeftBottom, {0, 105 - 3 - 8 - 41, 13, 105 - 3 - 8}},
        {alRightTop, {185 - 13, 8, 185, 48}},
        {alRightCenter, {185 - 13, (105 - 40) / 2, 185, (105 - 40) / 2 + 40}},
        {alRightBottom, {185 - 13, 105 - 8 - 40, 185, 105 - 8}},
        {alCenterCenter, {(185 - 40) / 2, (105 - 13) / 2, (185 - 40) / 2 + 40, (105 - 13) / 2 + 13}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CalculateGroupBoxCaptionRect(c.Alignment, 185, 105, 3, text), c.Expected) << int(c.Alignment);
    }
    EXPECT_TRUE(IsRectEmpty(CalculateGroupBoxCaptionRect(alTopLeft, 185, 105, 0, TSize{0, 13})));
    EXPECT_EQ(GroupBoxCaptionSide(alRightBottom), 3);
    EXPECT_EQ(GroupBoxCaptionSide(alCenterCenter), 4);
}

struct GroupBoxControl : TEditControlFixture {
    TvlCustomGroupBox* make(const char* ACaption = "Options")
    {
        auto* box = TvlCustomEdit::Create<TvlCustomGroupBox>(Form.get());
        box->SetParent(Form.get());
        box->SetBounds(10, 10, 185, 105);
        box->SetCaption(String::fromUtf8(ACaption));
        box->HandleNeeded();
        QApplication::processEvents();
        return box;
    }
    QImage render(TvlCustomGroupBox* ABox)
    {
        QImage image(ABox->Width(), ABox->Height(), QImage::Format_RGB32);
        image.fill(Qt::magenta);
        ABox->PaintTo(image);
        return image;
    }
    static QRgb rgb(TColor AColor)
    {
        const TColor v = ColorToRGB(AColor);
        return qRgb(GetRValue(v), GetGValue(v), GetBValue(v));
    }
    int wgHeight(TvlCustomGroupBox* ABox)
    {
        GetScreenCanvas()->SetFont(ABox->CaptionFont());
        return GetScreenCanvas()->TextHeight(String::fromLatin1("Wg"));
    }
};

TEST_F(GroupBoxControl, ChildrenStartBelowTheCaptionBand)
{
    TvlCustomGroupBox* box = make();
    const int topBefore = [&] {
        TRect r;
        box->AdjustClientRect(r);
        return r.Top;
    }();
    auto* child = new TEdit(box);
    child->SetParent(box);
    child->SetAlign(alClient);
    box->Realign();
    EXPECT_EQ(child->Top(), topBefore);
    // The base border extent plus the caption's text height and 3.
    box->SetAlignment(alCenterCenter);
    TRect centre;
    box->AdjustClientRect(centre);
    EXPECT_EQ(topBefore - centre.Top, wgHeight(box) + 3);
    EXPECT_EQ(child->Top(), centre.Top);
    box->SetAlignment(alLeftTop);
    TRect left;
    box->AdjustClientRect(left);
    EXPECT_EQ(left.Left - centre.Left, wgHeight(box) + 3);
    EXPECT_EQ(left.Top, centre.Top);
}

TEST_F(GroupBoxControl, FramesBreakAtTheCaption)
{
    TvlCustomGroupBox* box = make();
    box->Style()->SetBorderStyle(ebsSingle);
    box->Style()->SetBorderColor(clRed);
    box->Style()->SetShadow(false);
    QApplication::processEvents();
    auto* vi = static_cast<TvlGroupBoxViewInfo*>(box->EditViewInfo());
    const TRect frame = vi->GetFrameRect();
    EXPECT_EQ(frame.Top, wgHeight(box) / 2 + 1 - 1);
    QImage img = render(box);
    const int midY = (frame.Top + frame.Bottom) / 2;
    EXPECT_EQ(img.pixel(frame.Left, midY), rgb(clRed));
    EXPECT_EQ(img.pixel(frame.Right - 1, midY), rgb(clRed));
    EXPECT_EQ(img.pixel(frame.Right - 5, frame.Top), rgb(clRed));
    EXPECT_EQ(vi->CaptionRect.Left, 8);
    EXPECT_EQ(vi->CaptionRect.Top, 0);
    // The gap: no frame pixel across the caption.
    for (int x = vi->CaptionRect.Left; x < vi->CaptionRect.Right; ++x)
        ASSERT_NE(img.pixel(x, frame.Top), rgb(clRed)) << x;

    box->Style()->SetBorderStyle(ebs3D);
    QApplication::processEvents();
    const TRect frame3D = vi->GetFrameRect();
    EXPECT_EQ(frame3D.Top, wgHeight(box) / 2 + 1 - 2);
    img = render(box);
    const int y3 = (frame3D.Top + frame3D.Bottom) / 2;
    EXPECT_EQ(img.pixel(frame3D.Left, y3), rgb(clBtnShadow));
    EXPECT_EQ(img.pixel(frame3D.Left + 1, y3), rgb(clBtnHighlight));
    EXPECT_NE(img.pixel(vi->CaptionRect.Left + 2, frame3D.Top), rgb(clBtnShadow));

    box->Style()->SetBorderStyle(ebsFlat);
    QApplication::processEvents();
    img = render(box);
    const TRect flat = vi->GetFrameRect();
    EXPECT_EQ(img.pixel(flat.Left, (flat.Top + flat.Bottom) / 2), rgb(clBtnShadow));
    EXPECT_EQ(img.pixel(flat.Left + 1, (flat.Top + flat.Bottom) / 2), rgb(clBtnHighlight));
}

TEST_F(GroupBoxControl, ShadowOnlyForTopAndLeftCaptions)
{
    TvlCustomGroupBox* box = make();
    box->Style()->SetShadow(true);
    QApplication::processEvents();
    EXPECT_TRUE(box->HasShadow());
    box->SetAlignment(alBottomRight);
    EXPECT_FALSE(box->HasShadow());
    auto* vi = static_cast<TvlGroupBoxViewInfo*>(box->EditViewInfo());
    EXPECT_EQ(vi->CaptionRect.Right, 185 - 8);
    box->SetAlignment(alLeftCenter);
    EXPECT_TRUE(box->HasShadow());
}

TEST_F(GroupBoxControl, PanelModePlacesTheCaptionInside)
{
    TvlCustomGroupBox* box = make();
    box->Style()->SetBorderStyle(ebsSingle);
    box->Style()->SetShadow(false);
    box->PanelStyle()->SetActive(true);
    box->PanelStyle()->SetCaptionIndent(10);
    QApplication::processEvents();
    auto* vi = static_cast<TvlGroupBoxViewInfo*>(box->EditViewInfo());
    EXPECT_EQ(vi->CaptionRect.Left, 10 + 1);
    EXPECT_EQ(vi->CaptionRect.Top, 10 + 1);
    box->PanelStyle()->SetCaptionIndent(0);
    EXPECT_EQ(box->PanelStyle()->CaptionIndent(), 2);
    box->SetAlignment(alBottomRight);
    EXPECT_EQ(box->GetCaptionTextFlags(), uint32_t(DT_RIGHT | DT_BOTTOM | DT_SINGLELINE));
}

TEST_F(GroupBoxControl, DisabledUsesTheDisabledStyleEvenWhenHot)
{
    TvlCustomGroupBox* box = make();
    box->SetEnabled(false);
    QWidget* w = box->Widget();
    Mouse(w, QEvent::MouseMove, QPoint(50, 50), Qt::NoButton, Qt::NoButton);
    EXPECT_EQ(box->GetActiveStyle(), box->GetStyleDisabled());
    box->SetEnabled(true);
    Mouse(w, QEvent::MouseMove, QPoint(50, 50), Qt::NoButton, Qt::NoButton);
    EXPECT_EQ(box->GetActiveStyle(), box->GetStyle());
}

TEST_F(GroupBoxControl, AcceleratorFocusesTheFirstChild)
{
    TvlCustomGroupBox* box = make("&Group");
    auto* first = new TEdit(box);
    first->SetParent(box);
    first->SetBounds(10, 30, 60, 21);
    auto* second = new TEdit(box);
    second->SetParent(box);
    second->SetBounds(10, 60, 60, 21);
    Unfocus();
    EXPECT_EQ(box->Perform(CM_DIALOGCHAR, WPARAM(u'g'), 0), 1);
    EXPECT_TRUE(first->Focused());
    EXPECT_FALSE(box->Focused());
    EXPECT_EQ(box->Perform(CM_DIALOGCHAR, WPARAM(u'x'), 0), 0);
}

}  // namespace
