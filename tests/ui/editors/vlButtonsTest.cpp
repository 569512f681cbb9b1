// Tests of the look-and-feel button: colour fallbacks, glyph strips and the
// shared image cache, the glyph and caption layout, the painted states, the
// drop-down menu, button groups, and the dialog keys through the form.
#include <gtest/gtest.h>

#include <QApplication>
#include <QMenu>
#include <QMouseEvent>
#include <QTimer>
#include <memory>

#include "platform/controls/Forms.h"
#include "platform/rtl/TypInfo.h"
#include "ui/editors/vlButtons.h"

namespace {

QRgb rgbOf(TColor AColor)
{
    const TColor c = ColorToRGB(AColor);
    return qRgb(GetRValue(c), GetGValue(c), GetBValue(c));
}

// A bitmap strip of AWidth x AHeight whose images (AHeight wide) are filled
// with the given colours in turn, on a white corner pixel (the transparent one).
std::unique_ptr<TBitmap> strip(int AWidth, int AHeight, const std::vector<TColor>& AColors = {})
{
    auto b = std::make_unique<TBitmap>();
    b->SetPixelFormat(pf24bit);
    b->SetSize(AWidth, AHeight);
    b->Canvas()->Brush()->SetColor(clWhite);
    b->Canvas()->FillRect(Rect(0, 0, AWidth, AHeight));
    for (size_t i = 0; i < AColors.size(); ++i) {
        b->Canvas()->Brush()->SetColor(AColors[i]);
        b->Canvas()->FillRect(Rect(int(i) * AHeight + 2, 2, int(i + 1) * AHeight - 2, AHeight - 2));
    }
    return b;
}

void processEvents()
{
    for (int i = 0; i < 3; ++i)
        Application->ProcessMessages();
}

struct FormFixture : ::testing::Test {
    void SetUp() override
    {
        form = std::make_unique<TForm>(nullptr);
        form->SetBounds(50, 50, 320, 200);
        form->Show();
        QApplication::setActiveWindow(form->Widget());
    }
    TvlButton* button(int ALeft = 10, int AWidth = 75)
    {
        auto* b = new TvlButton(form.get());
        b->SetParent(form.get());
        b->SetBounds(ALeft, 10, AWidth, 23);
        b->SetCaption(QStringLiteral("OK"));
        return b;
    }
    // The button painted alone, as its window would be.
    static QImage paint(TvlButton* AButton)
    {
        QImage image(AButton->Width(), AButton->Height(), QImage::Format_RGB32);
        image.fill(0xFF123456);
        AButton->PaintTo(image);
        return image;
    }
    static void mouse(TvlButton* AButton, UINT AMsg, int X, WPARAM AKeys = 0)
    {
        AButton->Perform(AMsg, AKeys, MakeLParam(X, 10));
    }
    static void click(TvlButton* AButton, int X)
    {
        mouse(AButton, WM_MOUSEMOVE, X);
        mouse(AButton, WM_LBUTTONDOWN, X, MK_LBUTTON);
        mouse(AButton, WM_LBUTTONUP, X);
    }
    std::unique_ptr<TForm> form;
};

}  // namespace

// ---------------------------------------------------------------- colours

TEST(vlButtonColors, UnassignedStatesFallBackOnDefaultOrNormal)
{
    TvlButton b(nullptr);
    TvlButtonColors* colors = b.Colors();
    colors->SetDefault(clRed);
    // Only Default: the normal state shows it, the others the (unset) Normal colour.
    EXPECT_EQ(colors->GetColor(vlbsNormal), clRed);
    EXPECT_EQ(colors->GetColor(vlbsDefault), clRed);
    EXPECT_EQ(colors->GetColor(vlbsHot), clDefault);
    EXPECT_EQ(colors->GetColor(vlbsPressed), clDefault);
    colors->SetNormal(clBlue);
    colors->SetHot(clLime);
    EXPECT_EQ(colors->GetColor(vlbsNormal), clBlue);
    EXPECT_EQ(colors->GetColor(vlbsHot), clLime);
    EXPECT_EQ(colors->GetColor(vlbsDisabled), clBlue);
    colors->SetDefaultText(clYellow);
    EXPECT_EQ(colors->GetTextColor(vlbsNormal), clYellow);
    colors->SetNormalText(clNavy);
    EXPECT_EQ(colors->GetTextColor(vlbsNormal), clNavy);
    EXPECT_EQ(colors->GetTextColor(vlbsPressed), clNavy);
    EXPECT_EQ(colors->GetTextColor(vlbsDefault), clYellow);

    // clNone forgets a colour; the assigned set cannot be changed at run time.
    colors->SetHot(clNone);
    EXPECT_FALSE(colors->AssignedColors().Contains(vlbcHot));
    EXPECT_EQ(colors->GetColor(vlbsHot), clBlue);
    colors->SetAssignedColors({});
    EXPECT_TRUE(colors->AssignedColors().Contains(vlbcNormal));
    EXPECT_EQ(colors->Normal(), clBlue);

    TvlButton other(nullptr);
    other.SetColors(colors);
    EXPECT_EQ(other.Colors()->AssignedColors(), colors->AssignedColors());
    EXPECT_EQ(other.Colors()->GetTextColor(vlbsHot), clNavy);
}

TEST(vlButtonColors, OnlyAssignedColoursAreStored)
{
    TvlButton b(nullptr);
    const auto stored = [](const TObject* AObject, const char* AName) {
        const TPropInfo* p = GetPropInfo(AObject, String::fromLatin1(AName));
        return p != nullptr && (!p->StoredFn || p->StoredFn(AObject));
    };
    EXPECT_FALSE(stored(&b, "Colors"));
    SetOrdProp(b.Colors(), QStringLiteral("HotText"), clRed);
    EXPECT_EQ(b.Colors()->HotText(), clRed);
    EXPECT_TRUE(stored(b.Colors(), "HotText"));
    EXPECT_FALSE(stored(b.Colors(), "Hot"));
    EXPECT_FALSE(stored(b.Colors(), "AssignedColors"));
    EXPECT_TRUE(stored(&b, "Colors"));
    EXPECT_FALSE(stored(&b, "Down"));
}

// ------------------------------------------------------------------ glyph

TEST(vlButtonGlyph, NumGlyphsFollowsTheStrip)
{
    struct Case {
        int width, height, numGlyphs;
    } cases[] = {{64, 16, 4}, {80, 16, 1}, {48, 20, 1}, {32, 16, 2}, {48, 16, 3}, {16, 16, 1}, {8, 16, 1}};
    TvlButton b(nullptr);
    for (const Case& c : cases) {
        b.SetGlyph(strip(c.width, c.height).get());
        EXPECT_EQ(b.NumGlyphs(), c.numGlyphs) << c.width << "x" << c.height;
    }
    b.SetNumGlyphs(0);
    EXPECT_EQ(b.NumGlyphs(), 1);
    b.SetNumGlyphs(9);
    EXPECT_EQ(b.NumGlyphs(), 4);
}

TEST(vlButtonGlyph, StateImagesComeFromTheirPlaceInTheStrip)
{
    TvlButton b(nullptr);
    TvlButtonGlyph* glyph = b.ButtonGlyph();
    const auto centre = [&](TvlButtonState AState) {
        const int index = glyph->CreateButtonGlyph(AState);
        return glyph->GlyphList()->ImageAt(index).pixel(8, 8) | 0xFF000000;
    };

    b.SetGlyph(strip(32, 16, {clRed, clBlue}).get());
    EXPECT_EQ(centre(vlbsNormal), rgbOf(clRed));
    EXPECT_EQ(centre(vlbsPressed), rgbOf(clRed)) << "two images: pressed uses the up image";
    EXPECT_EQ(centre(vlbsDisabled), rgbOf(clBlue));
    EXPECT_EQ(glyph->CreateButtonGlyph(vlbsHot), glyph->CreateButtonGlyph(vlbsNormal));

    b.SetGlyph(strip(48, 16, {clRed, clBlue, clLime}).get());
    EXPECT_EQ(centre(vlbsPressed), rgbOf(clLime));

    // One image: the disabled look is made from it.
    b.SetGlyph(strip(16, 16, {clRed}).get());
    EXPECT_EQ(centre(vlbsNormal), rgbOf(clRed));
    EXPECT_NE(centre(vlbsDisabled), rgbOf(clRed));
    // The white corner is transparent in the mask.
    EXPECT_EQ(qAlpha(glyph->GlyphList()->ImageAt(glyph->CreateButtonGlyph(vlbsNormal)).pixel(0, 0)), 0);
}

TEST(vlButtonGlyph, GlyphsOfOneSizeShareOneListUntilTheLastGoes)
{
    {
        auto a = std::make_unique<TvlButton>(nullptr);
        auto b = std::make_unique<TvlButton>(nullptr);
        a->SetGlyph(strip(16, 16, {clRed}).get());
        b->SetGlyph(strip(16, 16, {clBlue}).get());
        const int ia = a->ButtonGlyph()->CreateButtonGlyph(vlbsNormal);
        const int ib = b->ButtonGlyph()->CreateButtonGlyph(vlbsNormal);
        ASSERT_NE(a->ButtonGlyph()->GlyphList(), nullptr);
        EXPECT_EQ(a->ButtonGlyph()->GlyphList(), b->ButtonGlyph()->GlyphList());
        EXPECT_NE(ia, ib);
        ASSERT_NE(GetGlyphCache(), nullptr);
        EXPECT_EQ(GetGlyphCache()->Count(), 1);

        // A changed glyph frees its place, which the next image takes.
        a->SetGlyph(strip(16, 16, {clLime}).get());
        EXPECT_EQ(b->ButtonGlyph()->GlyphList()->UsedCount(), 1);
        EXPECT_EQ(a->ButtonGlyph()->CreateButtonGlyph(vlbsNormal), ia);
        a.reset();
        EXPECT_EQ(GetGlyphCache()->Count(), 1);
    }
    EXPECT_EQ(GetGlyphCache(), nullptr);
}

// The glyph and caption layout in a 75 x 23 client with a 16 x 16 glyph:
// margin and spacing as measured from the result, against the rules for
// automatic values.
TEST(vlButtonGlyph, CalcButtonLayoutPlacesGlyphAndCaption)
{
    TvlButton b(nullptr);
    b.SetCaption(QStringLiteral("OK"));
    b.SetGlyph(strip(16, 16, {clRed}).get());
    TvlScreenCanvas screen;
    TCanvas* canvas = screen.Canvas();
    const TSize text = canvas->TextExtent(QStringLiteral("OK"));
    const int W = 75, H = 23, g = 16;
    const TRect client = Rect(2, 1, 2 + W, 1 + H);

    struct Case {
        TButtonLayout layout;
        int margin, spacing;
        uint32_t bidi;
        TButtonLayout effective;
    } cases[] = {
        {blGlyphLeft, -1, -1, 0, blGlyphLeft},     {blGlyphLeft, -1, 4, 0, blGlyphLeft},
        {blGlyphLeft, 3, -1, 0, blGlyphLeft},      {blGlyphLeft, 3, 2, 0, blGlyphLeft},
        {blGlyphRight, -1, -1, 0, blGlyphRight},   {blGlyphRight, -1, 4, 0, blGlyphRight},
        {blGlyphRight, 3, -1, 0, blGlyphRight},    {blGlyphTop, -1, -1, 0, blGlyphTop},
        {blGlyphTop, -1, 1, 0, blGlyphTop},        {blGlyphTop, 0, -1, 0, blGlyphTop},
        {blGlyphBottom, -1, 1, 0, blGlyphBottom},  {blGlyphBottom, 0, 0, 0, blGlyphBottom},
        {blGlyphLeft, -1, 4, DT_RIGHT, blGlyphRight}, {blGlyphRight, 3, 2, DT_RIGHT, blGlyphLeft},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "layout " << c.layout << " margin " << c.margin << " spacing "
                                        << c.spacing << " bidi " << c.bidi);
        TPoint glyph;
        TRect bounds;
        b.ButtonGlyph()->CalcButtonLayout(canvas, client, TPoint{1, 1}, b.Caption(), c.layout, c.margin,
                                          c.spacing, glyph, bounds, c.bidi, false);
        glyph.X -= client.Left + 1;
        glyph.Y -= client.Top + 1;
        OffsetRect(bounds, -(client.Left + 1), -(client.Top + 1));
        EXPECT_EQ(bounds.Width(), text.cx);
        const bool horizontal = c.effective == blGlyphLeft || c.effective == blGlyphRight;
        const int room = horizontal ? W : H;
        const int gs = g, ts = horizontal ? text.cx : text.cy;
        int margin = c.margin, spacing = c.spacing;
        if (margin == -1 && spacing == -1)
            margin = spacing = (room - gs - ts) / 3;
        else if (margin == -1)
            margin = (room - gs - spacing - ts) / 2;
        else if (spacing == -1)
            spacing = (room - margin - gs - ts) / 2;
        switch (c.effective) {
        case blGlyphLeft:
            EXPECT_EQ(glyph.X, margin);
            EXPECT_EQ(bounds.Left, margin + g + spacing);
            break;
        case blGlyphRight:
            EXPECT_EQ(glyph.X, W - margin - g);
            EXPECT_EQ(bounds.Right, W - margin - g - spacing);
            break;
        case blGlyphTop:
            EXPECT_EQ(glyph.Y, margin);
            EXPECT_EQ(bounds.Top, margin + g + spacing);
            break;
        case blGlyphBottom:
            EXPECT_EQ(glyph.Y, H - margin - g);
            EXPECT_EQ(bounds.Bottom, H - margin - g - spacing);
            break;
        }
        if (horizontal)
            EXPECT_EQ(glyph.Y, (H - g) / 2);
        else
            EXPECT_EQ(glyph.X, (W - g) / 2);
    }

    // Without glyph the caption is measured with one pixel before it and
    // two after it, and centred with them.
    b.SetPaintStyle(bpsCaption);
    TPoint glyph;
    TRect bounds;
    b.ButtonGlyph()->CalcButtonLayout(canvas, Rect(0, 0, W, H), TPoint{0, 0}, b.Caption(), blGlyphLeft, -1, 4,
                                      glyph, bounds, 0, false);
    EXPECT_EQ(bounds.Left, (W - (text.cx + 3)) / 2 + 1);
    EXPECT_EQ(bounds.Width(), text.cx);
}

// ------------------------------------------------------------- the button

TEST_F(FormFixture, EachStatePaintsItsFaceColour)
{
    TvlButton* b = button();
    const TvlLookAndFeelPainterClass painter = b->GetPainter();
    const auto face = [&] { return paint(b).pixel(2, 11) | 0xFF000000; };

    EXPECT_EQ(face(), rgbOf(painter->ButtonFaceColor(vlbsNormal)));
    b->Perform(CM_MOUSEENTER);
    ASSERT_TRUE(painter->IsButtonHotTrack());
    EXPECT_EQ(face(), rgbOf(painter->ButtonFaceColor(vlbsHot)));
    mouse(b, WM_LBUTTONDOWN, 20, MK_LBUTTON);
    EXPECT_EQ(face(), rgbOf(painter->ButtonFaceColor(vlbsPressed)));
    EXPECT_NE(painter->ButtonFaceColor(vlbsPressed), painter->ButtonFaceColor(vlbsHot));
    mouse(b, WM_LBUTTONUP, 20);
    EXPECT_FALSE(HasMouseCapture(b));
    b->Perform(CM_MOUSELEAVE);
    b->SetEnabled(false);
    EXPECT_EQ(face(), rgbOf(painter->ButtonFaceColor(vlbsDisabled)));
    b->SetEnabled(true);

    // Own colours: only Default shows in the normal state; hot takes Normal.
    b->Colors()->SetDefault(clRed);
    EXPECT_EQ(face(), rgbOf(clRed));
    b->Colors()->SetNormal(clBlue);
    b->Perform(CM_MOUSEENTER);
    EXPECT_EQ(face(), rgbOf(clBlue));
    b->Perform(CM_MOUSELEAVE);

    // A draw-parameters handler has the last word.
    b->OnGetDrawParams = TvlButtonGetDrawParamsEvent::FromFunction(
        [](TvlCustomButton*, TvlButtonState, TColor& AColor, TFont*) { AColor = clLime; });
    EXPECT_EQ(face(), rgbOf(clLime));
}

TEST_F(FormFixture, AFlatSpeedButtonShowsItsBorderOnlyWhileHot)
{
    TvlButton* b = button();
    b->SetCanBeFocused(false);
    b->SpeedButtonOptions()->SetFlat(true);
    const auto corner = [&] { return paint(b).pixel(0, 0) | 0xFF000000; };
    const auto inside = [&] { return paint(b).pixel(2, 11) | 0xFF000000; };
    EXPECT_EQ(corner(), inside());
    b->Perform(CM_MOUSEENTER);
    EXPECT_NE(corner(), inside());
    b->Perform(CM_MOUSELEAVE);
    EXPECT_EQ(corner(), inside());
    int clicks = 0;
    b->OnClick = TNotifyEvent::FromFunction([&](TObject*) { ++clicks; });
    click(b, 20);
    EXPECT_EQ(clicks, 1);
    EXPECT_FALSE(b->Focused());
}

TEST_F(FormFixture, TheDefaultButtonIsTheOneReturnClicks)
{
    auto* edit = new TEdit(form.get());
    edit->SetParent(form.get());
    edit->SetBounds(10, 60, 100, 21);
    TvlButton* ok = button(10);
    ok->SetDefault(true);
    ok->SetModalResult(mrOk);
    TvlButton* cancel = button(100);
    cancel->SetCancel(true);
    cancel->SetModalResult(mrCancel);
    TvlButton* other = button(190);
    int otherClicks = 0;
    other->OnClick = TNotifyEvent::FromFunction([&](TObject*) { ++otherClicks; });

    const auto stateOf = [](TvlButton* B) {
        B->Invalidate();
        paint(B);
        return B->GetButtonState();
    };
    edit->SetFocus();
    EXPECT_EQ(stateOf(ok), vlbsDefault);
    edit->Perform(WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_EQ(form->ModalResult(), mrOk);
    form->SetModalResult(mrNone);
    edit->Perform(WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_EQ(form->ModalResult(), mrCancel);
    form->SetModalResult(mrNone);

    // Another button with the focus takes Return, and the default look.
    other->SetFocus();
    EXPECT_EQ(stateOf(ok), vlbsNormal);
    EXPECT_EQ(stateOf(other), vlbsDefault);
    other->Perform(WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_EQ(otherClicks, 1);
    EXPECT_EQ(form->ModalResult(), mrNone);
    edit->SetFocus();
    EXPECT_EQ(stateOf(ok), vlbsDefault);
}

TEST_F(FormFixture, TheAcceleratorClicksWithoutToggling)
{
    TvlButton* b = button();
    b->SetCaption(QStringLiteral("&Open"));
    b->SetGroupIndex(1);
    int clicks = 0;
    b->OnClick = TNotifyEvent::FromFunction([&](TObject*) { ++clicks; });
    auto* edit = new TEdit(form.get());
    edit->SetParent(form.get());
    edit->SetBounds(10, 60, 100, 21);
    edit->SetFocus();
    edit->Perform(WM_SYSKEYDOWN, 'O', KF_ALTDOWN_LPARAM);
    EXPECT_EQ(clicks, 1);
    EXPECT_FALSE(b->Down());
    click(b, 20);  // a click of a focusable grouped button toggles it
    EXPECT_EQ(clicks, 2);
    EXPECT_TRUE(b->Down());
}

TEST_F(FormFixture, ArrowPartOpensTheMenuAndTheClosingClickDoesNotReopenIt)
{
    TvlButton* b = button(10, 75);
    b->SetKind(vlbkDropDownButton);
    auto* menu = new TPopupMenu(form.get());
    auto* item = new TMenuItem(form.get());
    item->SetCaption(QStringLiteral("Item"));
    menu->Items()->Add(item);
    b->SetDropDownMenu(menu);
    int clicks = 0, popups = 0;
    bool openWhileShown = false;
    b->OnClick = TNotifyEvent::FromFunction([&](TObject*) { ++clicks; });
    // Once shown, the menu is closed by a press on the arrow, as the next
    // click of the user would do.
    menu->OnPopup = TNotifyEvent::FromFunction([&](TObject*) {
        ++popups;
        QTimer::singleShot(0, [&] {
            QWidget* popup = QApplication::activePopupWidget();
            ASSERT_NE(popup, nullptr);
            openWhileShown = b->IsMenuOpen();
            const QPointF global = b->Widget()->mapToGlobal(QPointF(68, 10));
            QMouseEvent press(QEvent::MouseButtonPress, popup->mapFromGlobal(global), global, Qt::LeftButton,
                              Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(popup, &press);
        });
    });

    for (int x : {60, 74}) {
        SCOPED_TRACE(x);
        popups = 0;
        click(b, x);
        processEvents();
        EXPECT_EQ(popups, 1);
        EXPECT_TRUE(openWhileShown);
        EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
        EXPECT_FALSE(b->IsMenuOpen());
        // The closing click's release reaches the button: nothing opens.
        mouse(b, WM_LBUTTONUP, 68);
        processEvents();
        EXPECT_EQ(popups, 1);
        EXPECT_EQ(clicks, 0);
    }

    // The main part clicks; Alt+Down opens the menu from the keyboard.
    click(b, 59);
    processEvents();
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(popups, 1);
    b->SetFocus();
    b->Perform(WM_SYSKEYDOWN, VK_DOWN, KF_ALTDOWN_LPARAM);
    processEvents();
    EXPECT_EQ(popups, 2);

    // A handler that takes the menu away suppresses it.
    b->OnDropDownMenuPopup = TvlButtonDropDownMenuPopupEvent::FromFunction(
        [](TObject*, TPopupMenu*& AMenu, bool&) { AMenu = nullptr; });
    click(b, 65);
    processEvents();
    EXPECT_EQ(popups, 2);
}

TEST_F(FormFixture, AMenuWithoutRoomBelowOpensAbove)
{
    TvlButton* b = button();
    b->SetKind(vlbkDropDown);
    auto* menu = new TPopupMenu(form.get());
    for (int i = 0; i < 3; ++i) {
        auto* item = new TMenuItem(form.get());
        item->SetCaption(QStringLiteral("Item"));
        menu->Items()->Add(item);
    }
    b->SetDropDownMenu(menu);
    int menuTop = 0;
    menu->OnPopup = TNotifyEvent::FromFunction([&](TObject*) {
        QTimer::singleShot(0, [&] {
            QWidget* popup = QApplication::activePopupWidget();
            ASSERT_NE(popup, nullptr);
            menuTop = popup->geometry().top();
            popup->hide();
        });
    });
    TRect work;
    GetDesktopWorkArea(b->ClientToScreen(TPoint{0, 0}), work);
    form->SetTop(work.Bottom - form->Height() + 10);
    b->SetTop(form->ClientHeight() - b->Height());
    const TPoint top = b->ClientToScreen(TPoint{0, 0});
    ASSERT_LT(work.Bottom, top.Y + b->Height() + GetPopupMenuHeight(menu));
    click(b, 20);
    processEvents();
    EXPECT_LT(menuTop, top.Y);
    EXPECT_FALSE(b->IsMenuOpen());
}

// A menu handler that frees the button: nothing touches it afterwards.
TEST_F(FormFixture, AMenuHandlerMayFreeTheButton)
{
    TvlButton* b = button();
    b->SetKind(vlbkDropDown);
    auto* menu = new TPopupMenu(form.get());
    auto* item = new TMenuItem(form.get());
    item->SetCaption(QStringLiteral("Close"));
    menu->Items()->Add(item);
    b->SetDropDownMenu(menu);
    bool freed = false;
    item->OnClick = TNotifyEvent::FromFunction([&](TObject*) {
        delete b;
        freed = true;
    });
    menu->OnPopup = TNotifyEvent::FromFunction([&](TObject*) {
        QTimer::singleShot(0, [&] {
            auto* popup = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            ASSERT_NE(popup, nullptr);
            popup->hide();
            popup->actions().first()->trigger();
        });
    });
    click(b, 20);
    processEvents();
    EXPECT_TRUE(freed);
    EXPECT_EQ(form->ControlCount(), 0);
}

TEST_F(FormFixture, AGroupKeepsAtMostOneButtonDown)
{
    TvlButton* b[3] = {button(10), button(90), button(170)};
    for (TvlButton* x : b) {
        x->SetCanBeFocused(false);
        x->SetGroupIndex(1);
    }
    const auto downs = [&] { return std::string{b[0]->Down() ? 'D' : '-', b[1]->Down() ? 'D' : '-', b[2]->Down() ? 'D' : '-'}; };

    click(b[0], 20);
    EXPECT_EQ(downs(), "D--");
    click(b[2], 20);
    EXPECT_EQ(downs(), "--D");
    click(b[2], 20);
    EXPECT_EQ(downs(), "--D") << "the down button stays down without AllowAllUp";
    EXPECT_FALSE(b[2]->Focused());
    b[2]->SetAllowAllUp(true);  // the group follows
    EXPECT_TRUE(b[0]->AllowAllUp());
    click(b[2], 20);
    EXPECT_EQ(downs(), "---");

    b[1]->SetDown(true);
    b[1]->SetGroupIndex(0);
    EXPECT_EQ(downs(), "---");
    b[1]->SetDown(true);
    EXPECT_FALSE(b[1]->Down());

    // Assigning options copies them all, through their setters.
    TvlButton copy(nullptr);
    copy.SpeedButtonOptions()->SetFlat(false);
    b[0]->SpeedButtonOptions()->SetFlat(true);
    b[0]->SpeedButtonOptions()->SetTransparent(true);
    b[0]->SetDown(true);
    copy.SetSpeedButtonOptions(b[0]->SpeedButtonOptions());
    EXPECT_EQ(copy.GroupIndex(), 1);
    EXPECT_TRUE(copy.AllowAllUp());
    EXPECT_FALSE(copy.CanBeFocused());
    EXPECT_TRUE(copy.Down());
    EXPECT_TRUE(copy.SpeedButtonOptions()->Flat());
    EXPECT_TRUE(copy.SpeedButtonOptions()->Transparent());
}

TEST_F(FormFixture, AutoSizeFitsTheCaptionWithoutItsAccelerator)
{
    TvlButton* b = button();
    b->SetCaption(QStringLiteral("&Open"));
    b->SetAutoSize(true);
    TvlScreenCanvas screen;
    screen.SetFont(b->Font());
    TCanvas* c = screen.Canvas();
    EXPECT_EQ(b->Width(), c->TextWidth(QStringLiteral("Open")) + 3 * c->TextWidth(QStringLiteral("R")));
    EXPECT_EQ(b->Height(), MulDiv(c->TextHeight(QStringLiteral("Wg")), 14, 8));
    b->SetBounds(0, 0, 200, 200);
    EXPECT_EQ(b->Width(), c->TextWidth(QStringLiteral("Open")) + 3 * c->TextWidth(QStringLiteral("R")));

    // Only menus are taken as the popup menu.
    TComponent notAMenu(nullptr);
    b->SetPopupMenu(&notAMenu);
    EXPECT_EQ(b->PopupMenu(), nullptr);
    {
        TPopupMenu menu(nullptr);
        b->SetPopupMenu(&menu);
        EXPECT_EQ(b->PopupMenu(), &menu);
    }
    EXPECT_EQ(b->PopupMenu(), nullptr);
}

TEST_F(FormFixture, TheLinkedActionGivesItsCaptionImageAndHandler)
{
    TvlButton* b = button();
    auto* images = new TImageList(form.get());
    auto* list = new TActionList(form.get());
    list->SetImages(images);
    auto* action = new TAction(form.get());
    action->SetActionList(list);
    action->SetCaption(QStringLiteral("Go"));
    action->SetImageIndex(2);
    int executed = 0;
    action->OnExecute = TNotifyEvent::FromFunction([&](TObject*) { ++executed; });
    b->SetAction(action);
    EXPECT_EQ(b->Caption(), QStringLiteral("Go"));
    EXPECT_EQ(b->ButtonGlyph()->Images(), images);
    EXPECT_EQ(b->ButtonGlyph()->ImageIndex(), 2);
    action->SetImageIndex(3);
    EXPECT_EQ(b->ButtonGlyph()->ImageIndex(), 3);
    click(b, 20);
    EXPECT_EQ(executed, 1);

    // A group that releases the button unchecks its action.
    TvlButton* other = button(90);
    for (TvlButton* x : {b, other}) {
        x->SetCanBeFocused(false);
        x->SetGroupIndex(1);
    }
    action->SetChecked(true);
    b->SetDown(true);
    other->SetDown(true);
    EXPECT_FALSE(b->Down());
    EXPECT_FALSE(action->Checked());

    // Unlinked, the glyph shows nothing of the action's.
    b->SetAction(nullptr);
    EXPECT_EQ(b->ButtonGlyph()->Images(), nullptr);
    EXPECT_EQ(b->ButtonGlyph()->ImageIndex(), -1);
}
