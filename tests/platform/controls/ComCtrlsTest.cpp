// Tests of the tool bar on the offscreen platform: the states a button shows
// (disabled, hot, pressed, down) and the width its caption and picture need.
#include <QApplication>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QWidget>
#include <gtest/gtest.h>

#include <map>

#include "platform/controls/ComCtrls.h"
#include "platform/controls/Menus.h"
#include "platform/controls/Forms.h"
#include "platform/controls/StdCtrls.h"
#include "platform/rtl/TypInfo.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Graphics.h"
#include "platform/graphics/ImgList.h"

namespace {

QColor rgb(TColor C) { return ColorToQColor(ColorToRGB(C)); }

class ComCtrlsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        app = std::make_unique<TApplication>(nullptr);
        app->Initialize();
        form = std::make_unique<TForm>(nullptr);
        form->SetBounds(0, 0, 400, 120);
        bar = new TToolBar(form.get());
        bar->SetParent(form.get());
        bar->SetHeight(66);
        bar->SetButtonWidth(80);
        bar->SetButtonHeight(62);
        bar->SetShowCaptions(true);
        bar->Font()->SetName(QStringLiteral("DejaVu Sans"));
        bar->Font()->SetQuality(fqNonAntialiased);
        // One picture: a black 16x16 square.
        images = new TImageList(form.get());
        images->SetWidth(16);
        images->SetHeight(16);
        TBitmap square;
        square.SetSize(16, 16);
        square.Canvas()->Brush()->SetColor(clBlack);
        square.Canvas()->FillRect(Rect(0, 0, 16, 16));
        images->AddMasked(&square, clWhite);
        bar->SetImages(images);
    }
    void TearDown() override
    {
        form.reset();
        app.reset();
    }
    TToolButton* addButton(const char* caption)
    {
        auto* b = new TToolButton(form.get());
        b->SetParent(bar);
        b->SetCaption(QString::fromLatin1(caption));
        b->SetImageIndex(0);
        return b;
    }
    QImage shot() { return form->Widget()->grab().toImage(); }
    // The button's area in a shot of the form.
    static QImage area(const QImage& Shot, const TControl* C)
    {
        return Shot.copy(C->Left(), C->Top(), C->Width(), C->Height());
    }
    static int count(const QImage& Image, const QColor& Color)
    {
        int n = 0;
        for (int y = 0; y < Image.height(); ++y)
            for (int x = 0; x < Image.width(); ++x)
                n += QColor(Image.pixel(x, y)) == Color;
        return n;
    }
    void send(QEvent::Type Type, QPoint P, Qt::MouseButton Button, Qt::MouseButtons Buttons)
    {
        QMouseEvent e(Type, QPointF(P), bar->Widget()->mapToGlobal(QPointF(P)), Button, Buttons, Qt::NoModifier);
        QApplication::sendEvent(bar->Widget(), &e);
    }
    static QPoint centre(const TControl* C) { return {C->Left() + C->Width() / 2, C->Top() + C->Height() / 2}; }

    std::unique_ptr<TApplication> app;
    std::unique_ptr<TForm> form;
    TToolBar* bar = nullptr;
    TImageList* images = nullptr;
};

TEST_F(ComCtrlsTest, DisabledButtonGreysItsCaptionAndPicture)
{
    TToolButton* on = addButton("Add");
    TToolButton* off = addButton("Add");
    off->SetEnabled(false);
    form->Show();
    const QImage s = shot();
    const QImage enabled = area(s, on), disabled = area(s, off);
    // Enabled: black picture and caption; disabled: nothing black, both in
    // the shadow colour over a highlight copy.
    EXPECT_GT(count(enabled, rgb(clBtnText)), 16 * 16);
    EXPECT_EQ(count(disabled, rgb(clBtnText)), 0);
    EXPECT_GT(count(disabled, rgb(clBtnShadow)), 16 * 16);
    EXPECT_GT(count(disabled, rgb(clBtnHighlight)), 0);
    EXPECT_EQ(count(enabled, rgb(clBtnShadow)), 0);
    // A click on a disabled button does nothing.
    int clicks = 0;
    off->OnClick = TNotifyEvent::FromFunction([&](TObject*) { ++clicks; });
    send(QEvent::MouseButtonPress, centre(off), Qt::LeftButton, Qt::LeftButton);
    send(QEvent::MouseButtonRelease, centre(off), Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(clicks, 0);
}

TEST_F(ComCtrlsTest, HotPressedAndDownStatesShowInTheFrame)
{
    TToolButton* b = addButton("Go");
    TToolButton* other = addButton("Other");
    form->Show();
    const QPoint edge(b->Left(), b->Top() + b->Height() / 2);  // the left edge, half way down
    const QPoint inner(b->Left() + 2, b->Top() + 2);
    EXPECT_EQ(QColor(shot().pixel(edge)), rgb(clBtnFace)) << "flat when idle";

    send(QEvent::MouseMove, centre(b), Qt::NoButton, Qt::NoButton);
    EXPECT_TRUE(b->Hot());
    EXPECT_EQ(QColor(shot().pixel(edge)), rgb(clBtnHighlight)) << "raised under the pointer";

    send(QEvent::MouseButtonPress, centre(b), Qt::LeftButton, Qt::LeftButton);
    EXPECT_TRUE(b->Pressed());
    EXPECT_EQ(QColor(shot().pixel(edge)), rgb(clBtnShadow)) << "sunken while pressed";
    // Dragged off while held: shown released, and no click on release.
    int clicks = 0;
    b->OnClick = TNotifyEvent::FromFunction([&](TObject*) { ++clicks; });
    send(QEvent::MouseMove, centre(other), Qt::NoButton, Qt::LeftButton);
    EXPECT_FALSE(b->Pressed());
    send(QEvent::MouseButtonRelease, centre(other), Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(clicks, 0);

    // Moving to the other button moves the hot state with it.
    send(QEvent::MouseMove, centre(other), Qt::NoButton, Qt::NoButton);
    EXPECT_FALSE(b->Hot());
    EXPECT_TRUE(other->Hot());
    EXPECT_EQ(QColor(shot().pixel(edge)), rgb(clBtnFace));
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(bar->Widget(), &leave);
    EXPECT_FALSE(other->Hot());

    // Down (a checked button): sunken over a dither of face and highlight.
    b->SetStyle(tbsCheck);
    send(QEvent::MouseButtonPress, centre(b), Qt::LeftButton, Qt::LeftButton);
    send(QEvent::MouseButtonRelease, centre(b), Qt::LeftButton, Qt::NoButton);
    send(QEvent::MouseMove, centre(other), Qt::NoButton, Qt::NoButton);
    EXPECT_TRUE(b->Down());
    const QImage down = shot();
    EXPECT_EQ(QColor(down.pixel(edge)), rgb(clBtnShadow));
    const QColor a(down.pixel(inner)), c(down.pixel(inner + QPoint(1, 0)));
    EXPECT_NE(a, c);
    EXPECT_TRUE((a == rgb(clBtnHighlight) && c == rgb(clBtnFace)) || (a == rgb(clBtnFace) && c == rgb(clBtnHighlight)));
}

TEST_F(ComCtrlsTest, ButtonIsAsWideAsItsCaptionNeeds)
{
    TToolButton* narrow = addButton("Exit");
    TToolButton* wide = addButton("Help && Settings && Everything Else");
    TToolButton* drop = addButton("Help && Settings && Everything Else");
    drop->SetStyle(tbsDropDown);
    form->Show();
    const int textWidth = QFontMetrics(wide->Font()->QtFont()).horizontalAdvance(QStringLiteral("Help & Settings & Everything Else"));
    EXPECT_EQ(narrow->Width(), 80);
    EXPECT_GE(wide->Width(), textWidth + 4);
    EXPECT_EQ(wide->Left(), narrow->Left() + narrow->Width());
    EXPECT_EQ(drop->Width(), wide->Width() + TToolButton::DropDownWidth);
    // The whole caption is drawn inside the button: its first and last
    // columns of text lie within the button, clear of its edges.
    const QImage s = area(shot(), wide);
    int first = -1, last = -1;
    for (int x = 0; x < s.width(); ++x)
        for (int y = 16 + 4; y < s.height(); ++y)
            if (QColor(s.pixel(x, y)) == rgb(clBtnText)) {
                if (first < 0)
                    first = x;
                last = x;
            }
    EXPECT_GT(first, 1);
    EXPECT_LT(last, s.width() - 2);
    EXPECT_GE(last - first + 1, textWidth - 4);
}

// ------------------------------------------------------------ page control

class PageControlTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        app = std::make_unique<TApplication>(nullptr);
        app->Initialize();
        form = std::make_unique<TForm>(nullptr);
        form->SetBounds(0, 0, 360, 260);
        pages = new TPageControl(form.get());
        pages->SetParent(form.get());
        pages->SetBounds(8, 8, 340, 200);
        for (const char* caption : {"Program", "Log Level", "Thread Priority"}) {
            auto* sheet = new TTabSheet(form.get());
            sheet->SetPageControl(pages);
            sheet->SetCaption(QString::fromLatin1(caption));
            auto* edit = new TEdit(form.get());
            edit->SetParent(sheet);
            edit->SetBounds(10, 10, 100, 21);
            edits.push_back(edit);
        }
        outside = new TButton(form.get());
        outside->SetParent(form.get());
        outside->SetBounds(270, 220, 75, 25);
        pages->OnChange = TNotifyEvent::FromFunction([this](TObject*) { ++changes; });
        form->Show();
    }
    void TearDown() override
    {
        form.reset();
        app.reset();
    }
    void key(TWinControl* Target, Qt::Key Key, Qt::KeyboardModifiers Mods)
    {
        Target->SetFocus();
        QKeyEvent e(QEvent::KeyPress, Key, Mods);
        QApplication::sendEvent(Target->Widget(), &e);
    }
    void clickTab(int Index)
    {
        const TRect r = pages->TabRect(Index);
        const QPointF p(r.Left + r.Width() / 2, r.Top + r.Height() / 2);
        QMouseEvent press(QEvent::MouseButtonPress, p, pages->Widget()->mapToGlobal(p), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QMouseEvent release(QEvent::MouseButtonRelease, p, pages->Widget()->mapToGlobal(p), Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(pages->Widget(), &press);
        QApplication::sendEvent(pages->Widget(), &release);
    }
    std::vector<bool> shown() const
    {
        std::vector<bool> v;
        for (int i = 0; i < pages->PageCount(); ++i)
            v.push_back(pages->Pages(i)->Visible());
        return v;
    }

    std::unique_ptr<TApplication> app;
    std::unique_ptr<TForm> form;
    TPageControl* pages = nullptr;
    std::vector<TEdit*> edits;
    TButton* outside = nullptr;
    int changes = 0;
};

TEST_F(PageControlTest, ShowsOnePageInsideTheFrameUnderTheTabs)
{
    ASSERT_EQ(pages->PageCount(), 3);
    EXPECT_EQ(pages->ActivePageIndex(), 0);
    EXPECT_EQ(shown(), (std::vector<bool>{true, false, false}));
    const TRect display = pages->DisplayRect();
    EXPECT_EQ(display.Left, 4);
    EXPECT_EQ(display.Right, 340 - 4);
    EXPECT_EQ(display.Bottom, 200 - 4);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(pages->Pages(i)->BoundsRect(), display);
        EXPECT_EQ(pages->Pages(i)->PageIndex(), i);
        // Tabs side by side above the sheets, each as wide as its caption needs.
        const TRect tab = pages->TabRect(i);
        EXPECT_LE(tab.Bottom, display.Top);
        EXPECT_GE(tab.Width(), QFontMetrics(pages->Font()->QtFont()).horizontalAdvance(pages->Pages(i)->Caption()));
        if (i > 0) {
            EXPECT_EQ(tab.Left, pages->TabRect(i - 1).Right);
        }
    }
    // The shown page is painted where the sheet lies; the tabs carry captions.
    const QImage shot = form->Widget()->grab().toImage();
    const TRect tab = pages->TabRect(1);
    int dark = 0;
    for (int y = tab.Top; y < tab.Bottom; ++y)
        for (int x = tab.Left + 2; x < tab.Right - 2; ++x)
            dark += QColor(shot.pixel(8 + x, 8 + y)) == QColor(Qt::black);
    EXPECT_GT(dark, 10);
}

TEST_F(PageControlTest, ClickOnATabSelectsItsPageUnlessOnChangingRefuses)
{
    clickTab(2);
    EXPECT_EQ(pages->ActivePageIndex(), 2);
    EXPECT_EQ(shown(), (std::vector<bool>{false, false, true}));
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(pages->IndexOfTabAt(pages->Width() - 3, 3), -1);  // beside the last tab
    bool allow = false;
    pages->OnChanging = TTabChangingEvent::FromFunction([&](TObject*, bool& Allow) { Allow = allow; });
    clickTab(0);
    EXPECT_EQ(pages->ActivePageIndex(), 2);
    allow = true;
    clickTab(0);
    EXPECT_EQ(pages->ActivePageIndex(), 0);
    EXPECT_EQ(changes, 2);
}

TEST_F(PageControlTest, CtrlTabSwitchesPagesFromAnywhereInTheWindow)
{
    key(edits[0], Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(pages->ActivePageIndex(), 1);
    EXPECT_EQ(changes, 1);
    key(edits[1], Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(pages->ActivePageIndex(), 2);
    key(edits[2], Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(pages->ActivePageIndex(), 0) << "wraps round";
    key(edits[0], Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(pages->ActivePageIndex(), 2) << "Ctrl+Shift+Tab goes back";
    // From a control outside the page control, and skipping a hidden tab.
    pages->Pages(0)->SetTabVisible(false);
    key(outside, Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(pages->ActivePageIndex(), 1);
    EXPECT_EQ(pages->Pages(1)->TabIndex(), 0);
    // Arrow keys when the tabs have the focus.
    key(pages, Qt::Key_Right, Qt::NoModifier);
    EXPECT_EQ(pages->ActivePageIndex(), 2);
    key(pages, Qt::Key_Left, Qt::NoModifier);
    EXPECT_EQ(pages->ActivePageIndex(), 1);
    EXPECT_EQ(changes, 7);
}

TEST_F(PageControlTest, PagesLeaveAndAreFreedCleanly)
{
    TTabSheet* first = pages->Pages(0);
    first->SetPageControl(nullptr);
    EXPECT_EQ(pages->PageCount(), 2);
    EXPECT_EQ(pages->ActivePage(), pages->Pages(0));
    EXPECT_TRUE(pages->ActivePage()->Visible());
    delete pages->ActivePage();
    EXPECT_EQ(pages->PageCount(), 1);
    EXPECT_EQ(pages->ActivePageIndex(), 0);
    first->SetPageControl(pages);
    first->SetPageIndex(0);
    EXPECT_EQ(pages->Pages(0), first);
    EXPECT_EQ(first->PageIndex(), 0);
    delete pages;  // the sheets outlive it
    EXPECT_EQ(first->PageControl(), nullptr);
}

TEST_F(PageControlTest, PropertiesAreReadAndWrittenByName)
{
    EXPECT_TRUE(IsPublishedProp(pages, QStringLiteral("ActivePageIndex")));
    SetOrdProp(pages, QStringLiteral("ActivePageIndex"), 2);
    EXPECT_EQ(pages->ActivePageIndex(), 2);
    EXPECT_EQ(GetOrdProp(pages, QStringLiteral("ActivePageIndex")), 2);
    EXPECT_EQ(GetStrProp(pages->Pages(1), QStringLiteral("Caption")), QStringLiteral("Log Level"));
    SetOrdProp(pages->Pages(1), QStringLiteral("TabVisible"), 0);
    EXPECT_FALSE(pages->Pages(1)->TabVisible());
    EXPECT_FALSE(IsStoredProp(pages->Pages(1), QStringLiteral("PageIndex")));
}

}  // namespace

TEST_F(ComCtrlsTest, CustomDrawSeesEachButtonsStateInToolBarCoordinates)
{
    TToolButton* plain = addButton("A");
    TToolButton* off = addButton("B");
    off->SetEnabled(false);
    TToolButton* down = addButton("C");
    down->SetStyle(tbsCheck);
    down->SetDown(true);
    std::map<TToolButton*, TCustomDrawState> seen;
    bool backgroundAsked = false;
    bar->OnCustomDraw = TTBCustomDrawEvent::FromFunction([&](TToolBar*, const TRect& R, bool&) {
        backgroundAsked = R.Width() == bar->Width();
    });
    bar->OnCustomDrawButton =
        TTBCustomDrawBtnEvent::FromFunction([&](TToolBar* Sender, TToolButton* Button, TCustomDrawState S, bool& Def) {
            seen[Button] = S;
            // A red square over the button's bounds, given in the bar's coordinates.
            Sender->Canvas()->Brush()->SetColor(clRed);
            Sender->Canvas()->FillRect(Button->BoundsRect());
            Def = Button != plain;
        });
    form->Show();
    QImage s = shot();
    EXPECT_TRUE(backgroundAsked);
    EXPECT_TRUE(seen[plain].Empty());
    EXPECT_TRUE(seen[off].Contains(cdsDisabled) && seen[off].Contains(cdsGrayed));
    EXPECT_TRUE(seen[down].Contains(cdsSelected) && seen[down].Contains(cdsChecked));
    // Without the default drawing the button is only what the handler drew;
    // with it, its picture and caption come over.
    EXPECT_EQ(count(area(s, plain), rgb(clRed)), plain->Width() * plain->Height());
    EXPECT_GT(count(area(s, down), rgb(clBtnText)), 16 * 16);
    send(QEvent::MouseMove, centre(plain), Qt::NoButton, Qt::NoButton);
    shot();
    EXPECT_EQ(seen[plain], TCustomDrawState{cdsHot});
    send(QEvent::MouseButtonPress, centre(plain), Qt::LeftButton, Qt::LeftButton);
    shot();
    EXPECT_TRUE(seen[plain].Contains(cdsSelected));
    send(QEvent::MouseButtonRelease, centre(plain), Qt::LeftButton, Qt::NoButton);
}

TEST_F(ComCtrlsTest, NonFlatButtonsStandRaisedAndMenuItemsOpenOrClick)
{
    TToolButton* b = addButton("Go");
    form->Show();
    const QPoint edge(b->Left(), b->Top() + b->Height() / 2);
    EXPECT_EQ(QColor(shot().pixel(edge)), rgb(clBtnFace));
    bar->SetFlat(false);
    EXPECT_EQ(QColor(shot().pixel(edge)), rgb(clBtnHighlight));

    TMenuItem item(nullptr);
    item.SetCaption(QStringLiteral("&File"));
    int clicks = 0;
    item.OnClick = TNotifyEvent::FromFunction([&](TObject*) { ++clicks; });
    b->SetMenuItem(&item);
    EXPECT_EQ(b->Caption(), QStringLiteral("&File"));
    send(QEvent::MouseButtonPress, centre(b), Qt::LeftButton, Qt::LeftButton);
    send(QEvent::MouseButtonRelease, centre(b), Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(clicks, 1);
    // With sub-items the click opens them instead, below the button.
    auto* sub = new TMenuItem(nullptr);
    sub->SetCaption(QStringLiteral("Open"));
    item.Add(sub);
    send(QEvent::MouseButtonPress, centre(b), Qt::LeftButton, Qt::LeftButton);
    send(QEvent::MouseButtonRelease, centre(b), Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(clicks, 1);
    ASSERT_NE(item.MenuWindow(), nullptr);
    QMenu* menu = item.MenuWindow()->Menu();
    EXPECT_TRUE(menu->isVisible());
    const TPoint below = b->ClientToScreen({0, b->Height()});
    EXPECT_EQ(menu->pos(), QPoint(below.X, below.Y));
    menu->close();
}
