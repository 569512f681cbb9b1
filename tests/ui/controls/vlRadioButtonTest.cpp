// Tests of the radio button: where the glyph sits, the hot and pressed
// states under a held mouse, checking and its siblings, keyboard entry and
// the menu from the keyboard.
#include <QImage>
#include <gtest/gtest.h>

#include "platform/controls/Menus.h"
#include "tests/ui/editors/EditControlFixture.h"
#include "tests/ui/foundation/ThemedLibrary.h"
#include "ui/controls/vlRadioButton.h"

namespace {

class TestRadio : public TvlRadioButton {
public:
    using TvlRadioButton::TvlRadioButton;
    std::vector<TPoint> MenuAt;

protected:
    bool ShowPopupMenu(TComponent*, int X, int Y) override
    {
        MenuAt.push_back(TPoint{X, Y});
        return true;
    }
};

struct RadioButtonTest : TEditControlFixture {
    TestRadio* make(int ATop, const char* ACaption = "Choice")
    {
        auto* radio = new TestRadio(Form.get());
        radio->SetParent(Form.get());
        radio->SetBounds(10, ATop, 100, 17);
        radio->SetCaption(String::fromUtf8(ACaption));
        radio->OnClick = TNotifyEvent::FromFunction([this, radio](TObject*) { Clicks.push_back(radio); });
        radio->HandleNeeded();
        QApplication::processEvents();
        return radio;
    }
    std::vector<TvlRadioButton*> Clicks;
};

TEST_F(RadioButtonTest, GlyphPlacement)
{
    TestRadio* radio = make(10);
    TSize glyph;
    radio->LookAndFeel()->Painter()->RadioButtonSize(glyph);
    const int top = (17 - glyph.cy) / 2;
    EXPECT_EQ(radio->CalculateButtonRect(), Rect(1, top, 1 + glyph.cx, top + glyph.cy));
    radio->SetAlignment(taLeftJustify);
    EXPECT_EQ(radio->CalculateButtonRect(), Rect(100 - glyph.cx, top, 100, top + glyph.cy));
    radio->SetAlignment(taRightJustify);
    const Themed themed;
    radio->LookAndFeel()->SetNativeStyle(true);
    EXPECT_TRUE(radio->IsNativeStyle());
    EXPECT_EQ(radio->CalculateButtonRect().Left, 0);
    radio->LookAndFeel()->SetNativeStyle(false);
}

TEST_F(RadioButtonTest, CaptionMarginsTable)
{
    EXPECT_EQ(TvlRadioButton::CaptionMargins(true, false, true, taLeftJustify), Rect(5, 0, 1, 0));
    EXPECT_EQ(TvlRadioButton::CaptionMargins(true, true, false, taRightJustify), Rect(3, 0, 0, 0));
    EXPECT_EQ(TvlRadioButton::CaptionMargins(false, false, false, taLeftJustify), Rect(2, -1, 1, 0));
    EXPECT_EQ(TvlRadioButton::CaptionMargins(false, false, true, taRightJustify), Rect(5, -1, 2, 0));
    EXPECT_EQ(TvlRadioButton::CaptionMargins(false, false, true, taLeftJustify), Rect(2, -1, 6, 0));
    EXPECT_EQ(TvlRadioButton::CaptionMargins(false, true, true, taLeftJustify).Right, 3);
}

TEST_F(RadioButtonTest, PressDragOutAndBack)
{
    TestRadio* radio = make(10);
    QWidget* w = radio->Widget();
    Mouse(w, QEvent::MouseMove, QPoint(5, 8), Qt::NoButton, Qt::NoButton);
    EXPECT_EQ(int(radio->State()), rbsHot);
    Mouse(w, QEvent::MouseButtonPress, QPoint(5, 8), Qt::LeftButton, Qt::LeftButton);
    EXPECT_EQ(int(radio->State()), rbsPressed);
    Mouse(w, QEvent::MouseMove, QPoint(300, 8), Qt::NoButton, Qt::LeftButton);
    EXPECT_EQ(int(radio->State()), rbsHot);
    Mouse(w, QEvent::MouseMove, QPoint(6, 8), Qt::NoButton, Qt::LeftButton);
    EXPECT_EQ(int(radio->State()), rbsPressed);
    Mouse(w, QEvent::MouseButtonRelease, QPoint(6, 8), Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(int(radio->State()), rbsHot);
    EXPECT_TRUE(radio->Checked());
    radio->SetEnabled(false);
    EXPECT_EQ(int(radio->State()), rbsDisabled);
}

TEST_F(RadioButtonTest, CheckingOneUnchecksItsSiblings)
{
    TestRadio* a = make(10, "And");
    TestRadio* b = make(30, "Or");
    QWidget* w = b->Widget();
    a->SetChecked(true);
    Clicks.clear();
    Mouse(w, QEvent::MouseButtonPress, QPoint(5, 8), Qt::LeftButton, Qt::LeftButton);
    Mouse(w, QEvent::MouseButtonRelease, QPoint(5, 8), Qt::LeftButton, Qt::NoButton);
    EXPECT_TRUE(b->Checked());
    EXPECT_FALSE(a->Checked());
    EXPECT_EQ(Clicks, (std::vector<TvlRadioButton*>{b}));
    // A release outside does not check.
    Mouse(a->Widget(), QEvent::MouseButtonPress, QPoint(5, 8), Qt::LeftButton, Qt::LeftButton);
    Mouse(a->Widget(), QEvent::MouseButtonRelease, QPoint(300, 8), Qt::LeftButton, Qt::NoButton);
    EXPECT_FALSE(a->Checked());
}

TEST_F(RadioButtonTest, EnteringByKeyboardChecks)
{
    TestRadio* a = make(10);
    Unfocus();
    a->SetFocus();
    EXPECT_TRUE(a->Checked());
    EXPECT_EQ(Clicks.size(), 1u);
}

TEST_F(RadioButtonTest, ShiftF10ShowsTheMenuAtTheClientOrigin)
{
    TestRadio* radio = make(40);
    auto* menu = new TPopupMenu(Form.get());
    radio->SetPopupMenu(menu);
    EXPECT_EQ(radio->PopupMenu(), menu);
    radio->SetFocus();
    Key(radio->Widget(), Qt::Key_F10, Qt::ShiftModifier);
    ASSERT_EQ(radio->MenuAt.size(), 1u);
    EXPECT_EQ(radio->MenuAt[0], radio->ClientToScreen(TPoint{0, 0}));
    auto* notAMenu = new TComponent(Form.get());
    radio->SetPopupMenu(notAMenu);
    EXPECT_EQ(radio->PopupMenu(), nullptr);
}

TEST_F(RadioButtonTest, DisabledCaptionIsDrawnInTheShadowColour)
{
    TestRadio* radio = make(10, "WWWW");
    radio->SetEnabled(false);
    QImage image(radio->Width(), radio->Height(), QImage::Format_RGB32);
    image.fill(Qt::magenta);
    radio->PaintTo(image);
    const TColor v = ColorToRGB(clBtnShadow);
    int shadow = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 20; x < image.width(); ++x)
            shadow += image.pixel(x, y) == qRgb(GetRValue(v), GetGValue(v), GetBValue(v));
    EXPECT_GT(shadow, 10);
}

}  // namespace

namespace {

TEST_F(RadioButtonTest, TransparentShowsTheParentInsteadOfItsColour)
{
    Form->SetColor(clRed);
    TestRadio* radio = make(10, "");
    radio->SetColor(clLime);
    auto paint = [&] {
        QImage image(radio->Width(), radio->Height(), QImage::Format_RGB32);
        image.fill(Qt::magenta);
        radio->PaintTo(image);
        return image.pixel(radio->Width() - 3, 2);
    };
    EXPECT_EQ(paint(), qRgb(0, 255, 0));
    radio->SetTransparent(true);
    EXPECT_EQ(paint(), qRgb(255, 0, 0));
}

}  // namespace
