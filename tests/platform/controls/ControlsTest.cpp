// Tests of the window layer on the offscreen platform: messages through
// WindowProc, alignment, painting, modal forms, posting, exceptions, drops.
#include <QApplication>
#include <QCursor>
#include <QScreen>
#include <QKeyEvent>
#include <QMenu>
#include <QWidget>
#include <QMimeData>
#include <QDropEvent>
#include <QUrl>
#include <gtest/gtest.h>

#include "platform/controls/ComCtrls.h"
#include "platform/controls/Dialogs.h"
#include "platform/controls/ExtCtrls.h"
#include "platform/controls/Forms.h"
#include "platform/controls/Menus.h"
#include "platform/controls/StdCtrls.h"
#include "platform/graphics/Graphics.h"

namespace {

class ControlsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        app = std::make_unique<TApplication>(nullptr);
        app->Initialize();
        form = std::make_unique<TForm>(nullptr);
        form->SetBounds(0, 0, 300, 200);
    }
    void TearDown() override
    {
        form.reset();
        app.reset();
    }
    std::unique_ptr<TApplication> app;
    std::unique_ptr<TForm> form;
};

TEST_F(ControlsTest, ReplacedWindowProcOfButtonSeesPaintAndClickBeforeDefault)
{
    auto* button = new TButton(form.get());
    button->SetParent(form.get());
    button->SetBounds(10, 10, 80, 25);
    std::vector<UINT> seen;
    int clicks = 0;
    bool clickedBeforeDefault = false;
    button->OnClick = TNotifyEvent::FromFunction([&](TObject*) { ++clicks; });
    const TWndMethod old = button->WindowProc;
    button->WindowProc = TWndMethod::FromFunction([&](TMessage& m) {
        seen.push_back(m.Msg);
        if (m.Msg == CN_COMMAND)
            clickedBeforeDefault = clicks == 0;
        old(m);
    });
    form->Show();
    QImage shot = form->Widget()->grab().toImage();
    EXPECT_NE(std::find(seen.begin(), seen.end(), UINT(WM_ERASEBKGND)), seen.end());
    EXPECT_NE(std::find(seen.begin(), seen.end(), UINT(WM_PAINT)), seen.end());
    button->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MakeLParam(5, 5));
    button->Perform(WM_LBUTTONUP, 0, MakeLParam(5, 5));
    EXPECT_EQ(clicks, 1);
    EXPECT_TRUE(clickedBeforeDefault);
    EXPECT_NE(std::find(seen.begin(), seen.end(), UINT(CN_COMMAND)), seen.end());
    button->WindowProc = old;
}

TEST_F(ControlsTest, AlignOrdersTopBottomLeftRightClient)
{
    form->SetBounds(0, 0, 200, 100);
    auto make = [&](TAlign a, int size) {
        auto* p = new TPanel(form.get());
        p->SetBounds(0, 0, size, size);
        p->SetParent(form.get());
        p->SetAlign(a);
        return p;
    };
    TPanel* top = make(alTop, 10);
    TPanel* bottom = make(alBottom, 20);
    TPanel* left = make(alLeft, 30);
    TPanel* client = make(alClient, 5);
    TPanel* right = make(alRight, 40);
    EXPECT_EQ(top->BoundsRect(), Rect(0, 0, 200, 10));
    EXPECT_EQ(bottom->BoundsRect(), Rect(0, 80, 200, 100));
    EXPECT_EQ(left->BoundsRect(), Rect(0, 10, 30, 80));
    EXPECT_EQ(right->BoundsRect(), Rect(160, 10, 200, 80));
    EXPECT_EQ(client->BoundsRect(), Rect(30, 10, 160, 80));
    // A second top panel placed above the first goes first.
    TPanel* top2 = make(alNone, 10);
    top2->SetBounds(0, -5, 200, 6);
    top2->SetAlign(alTop);
    EXPECT_EQ(top2->Top(), 0);
    EXPECT_EQ(top->Top(), 6);
    form->SetBounds(0, 0, 300, 100);
    EXPECT_EQ(client->BoundsRect(), Rect(30, 16, 260, 80));
}

TEST_F(ControlsTest, AnchorsKeepRightDistance)
{
    auto* b = new TButton(form.get());
    b->SetParent(form.get());
    b->SetBounds(200, 10, 80, 25);
    b->SetAnchors({akTop, akRight});
    form->SetWidth(400);
    EXPECT_EQ(b->Left(), 300);
}

TEST_F(ControlsTest, FormRendersControlsWhereTheyBelong)
{
    form->SetColor(clWhite);
    auto* panel = new TPanel(form.get());
    panel->SetParent(form.get());
    panel->SetAlign(alTop);
    panel->SetHeight(40);
    panel->SetColor(clRed);
    panel->SetBevelOuter(bvNone);
    auto* label = new TLabel(form.get());
    label->SetParent(panel);
    label->SetBounds(100, 10, 50, 16);
    label->SetCaption(QStringLiteral("XXXX"));
    label->Font()->SetColor(clBlue);
    auto* shape = new TShape(form.get());
    shape->SetParent(form.get());
    shape->SetBounds(10, 60, 30, 30);
    shape->Brush()->SetColor(clLime);
    auto* progress = new TProgressBar(form.get());
    progress->SetParent(form.get());
    progress->SetBounds(60, 60, 100, 17);
    progress->SetPosition(50);
    auto* status = new TStatusBar(form.get());
    status->SetParent(form.get());
    status->SetSimpleText(QStringLiteral("Ready"));
    for (auto* c : std::initializer_list<TControl*>{new TEdit(form.get()), new TCheckBox(form.get()),
                                                     new TComboBox(form.get()), new TListBox(form.get()),
                                                     new TMemo(form.get()), new TTrackBar(form.get())}) {
        static int x = 0;
        c->SetParent(form.get());
        c->SetBounds(170 + (x % 2) * 60, 50 + (x / 2) * 40, 55, 35);
        ++x;
    }
    form->Show();
    const QImage img = form->Widget()->grab().toImage();
    img.save(QStringLiteral("controls_form.png"));
    EXPECT_EQ(QColor(img.pixel(5, 5)), QColor(255, 0, 0));              // panel, aligned on top
    EXPECT_EQ(QColor(img.pixel(20, 75)), QColor(0, 255, 0));            // shape fill
    EXPECT_EQ(QColor(img.pixel(5, 140)), QColor(255, 255, 255));        // form colour
    EXPECT_EQ(status->Top(), 200 - 19);                                 // status bar at the bottom
    bool blueInLabel = false;
    for (int y = 10; y < 26; ++y)
        for (int x = 100; x < 150; ++x)
            blueInLabel |= QColor(img.pixel(x, y)) == QColor(0, 0, 255);
    EXPECT_TRUE(blueInLabel);
    bool textLeftOfLabel = false;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 100; ++x)
            textLeftOfLabel |= QColor(img.pixel(x, y)) == QColor(0, 0, 255);
    EXPECT_FALSE(textLeftOfLabel);
}

TEST_F(ControlsTest, ProgressChangesPassThroughWindowProc)
{
    auto* p = new TProgressBar(form.get());
    p->SetParent(form.get());
    std::vector<std::pair<UINT, WPARAM>> seen;
    const TWndMethod old = p->WindowProc;
    p->WindowProc = TWndMethod::FromFunction([&](TMessage& m) {
        seen.emplace_back(m.Msg, m.WParam);
        old(m);
    });
    p->SetPosition(150);
    EXPECT_EQ(p->Position(), 100);
    ASSERT_FALSE(seen.empty());
    EXPECT_EQ(seen.back().first, UINT(PBM_SETPOS));
    p->WindowProc = old;
}

TEST_F(ControlsTest, KeysReachHandlersAndKeyPreview)
{
    auto* edit = new TEdit(form.get());
    edit->SetParent(form.get());
    form->SetKeyPreview(true);
    std::vector<QString> order;
    form->OnKeyDown = TKeyEvent::FromFunction([&](TObject*, uint16_t& k, TShiftState) { order.push_back("form" + QString::number(k)); });
    edit->OnKeyDown = TKeyEvent::FromFunction([&](TObject*, uint16_t& k, TShiftState) { order.push_back("edit" + QString::number(k)); });
    edit->OnKeyPress = TKeyPressEvent::FromFunction([&](TObject*, QChar& c) { if (c == QChar('a')) c = QChar('b'); });
    form->Show();
    edit->Perform(WM_KEYDOWN, 'A', 0);
    edit->Perform(WM_CHAR, 'a', 0);
    EXPECT_EQ(order, (std::vector<QString>{"form65", "edit65"}));
    EXPECT_EQ(edit->Text(), QStringLiteral("b"));
}

TEST_F(ControlsTest, ModalDialogEndsWithButtonModalResult)
{
    auto* ok = new TButton(form.get());
    ok->SetParent(form.get());
    ok->SetModalResult(mrOk);
    TTimer timer(nullptr);
    timer.SetInterval(10);
    timer.OnTimer = TNotifyEvent::FromFunction([&](TObject*) {
        timer.SetEnabled(false);
        ok->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MakeLParam(3, 3));
        ok->Perform(WM_LBUTTONUP, 0, MakeLParam(3, 3));
    });
    timer.SetEnabled(true);
    EXPECT_EQ(form->ShowModal(), mrOk);
    EXPECT_FALSE(form->Visible());
}

TEST_F(ControlsTest, MessageBoxIsOurFormClosedByDefaultButton)
{
    auto dlg = CreateMessageDialog(QStringLiteral("Proceed?"), mtConfirmation, {mbYes, mbNo});
    TCustomForm* f = dlg.get();
    PostMessage(f->Handle(), WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_EQ(f->ShowModal(), mrYes);
}

TEST_F(ControlsTest, PostedMessageIsHandledAfterTheCurrentOne)
{
    std::vector<QString> order;
    std::unique_ptr<TMessageWindow> window;
    window = AllocateHWnd(TWndMethod::FromFunction([&](TMessage& m) {
        order.push_back(QString::number(m.Msg - WM_USER));
        if (m.Msg == WM_USER + 44) {
            PostMessage(nullptr, WM_USER + 99, 0, 0);  // no window: dropped
            PostMessage(window->ReceiverHandle(), WM_USER + 45, 0, 0);
            order.push_back(QStringLiteral("end44"));
        }
    }));
    EXPECT_FALSE(PostMessage(nullptr, WM_USER, 0, 0));
    SendMessage(window->ReceiverHandle(), WM_USER + 44, 0, 0);
    app->ProcessMessages();
    EXPECT_EQ(order, (std::vector<QString>{"44", "end44", "45"}));
    const HWND gone = window->ReceiverHandle();
    window.reset();
    EXPECT_FALSE(PostMessage(gone, WM_USER, 0, 0));
}

TEST_F(ControlsTest, ExceptionInClickHandlerReachesOnExceptionAndLoopGoesOn)
{
    auto* b = new TButton(form.get());
    b->SetParent(form.get());
    b->OnClick = TNotifyEvent::FromFunction([](TObject*) { throw EConvertError(QStringLiteral("bad click")); });
    QString caught;
    app->OnException = TExceptionEvent::FromFunction([&](TObject*, const Exception& E) { caught = E.Message(); });
    form->Show();
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(3, 3), QPointF(3, 3), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(3, 3), QPointF(3, 3), Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(b->Widget(), &press);
    QApplication::sendEvent(b->Widget(), &release);
    EXPECT_EQ(caught, QStringLiteral("bad click"));
    bool ran = false;
    auto w = AllocateHWnd(TWndMethod::FromFunction([&](TMessage&) { ran = true; }));
    PostMessage(w->ReceiverHandle(), WM_USER, 0, 0);
    app->ProcessMessages();
    EXPECT_TRUE(ran);
}

TEST_F(ControlsTest, DroppedFilesArriveAsWmDropFiles)
{
    auto* list = new TPanel(form.get());
    list->SetParent(form.get());
    list->SetAcceptFiles(true);
    QStringList got;
    const TWndMethod old = list->WindowProc;
    list->WindowProc = TWndMethod::FromFunction([&](TMessage& m) {
        if (m.Msg == WM_DROPFILES) {
            auto drop = reinterpret_cast<HDROP>(m.WParam);
            for (int i = 0; i < DragQueryFileCount(drop); ++i)
                got.push_back(DragQueryFile(drop, i));
        }
        old(m);
    });
    form->Show();
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(QStringLiteral("/tmp/a.avi")), QUrl::fromLocalFile(QStringLiteral("/tmp/b c.mkv"))});
    // The toolkit delivers a drop only to the widget that accepted the drag
    // when it entered, as a real drag from the desktop does.
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(list->Widget(), &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(list->Widget(), &drop);
    EXPECT_EQ(got, (QStringList{QStringLiteral("/tmp/a.avi"), QStringLiteral("/tmp/b c.mkv")}));
    list->WindowProc = old;
}

TEST(OpenDialogFilter, ParsesNamePatternPairs)
{
    const auto f = TOpenDialog::ParseFilter(QStringLiteral("Video (*.avi;*.mkv)|*.avi;*.mkv|All|*.*|Dangling"));
    ASSERT_EQ(f.size(), 2u);
    EXPECT_EQ(f[0].Patterns, (QStringList{QStringLiteral("*.avi"), QStringLiteral("*.mkv")}));
    EXPECT_EQ(f[1].Name, QStringLiteral("All"));
}

}  // namespace

namespace {

// A windowed child freed by its owner leaves its parent's lists whole: the
// parent never reaches the freed child when the next one arrives.
TEST_F(ControlsTest, AFreedWindowedChildLeavesTheTabOrder)
{
    auto* panel = new TPanel(form.get());
    panel->SetParent(form.get());
    form->Show();
    auto* first = new TButton(form.get());
    first->SetParent(panel);
    auto* second = new TButton(form.get());
    second->SetParent(panel);
    delete first;
    std::vector<TWinControl*> order;
    panel->GetTabOrderList(order);
    EXPECT_EQ(order, (std::vector<TWinControl*>{second}));
    auto* third = new TButton(form.get());
    third->SetParent(panel);
    order.clear();
    panel->GetTabOrderList(order);
    EXPECT_EQ(order, (std::vector<TWinControl*>{second, third}));
}

}  // namespace

namespace {

void click(QWidget* W, QPoint P)
{
    const QPointF global = W->mapToGlobal(QPointF(P));
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(P), global, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(P), global, Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(W, &press);
    QApplication::sendEvent(W, &release);
}

// A popup menu opened by a press takes the mouse: the release goes to the
// menu, never to the tool bar. The next click still reaches the button
// under the pointer, however the menu closed.
TEST_F(ControlsTest, ClickAfterAPopupMenuClosedReachesTheControlUnderThePointer)
{
    auto* bar = new TToolBar(form.get());
    bar->SetParent(form.get());
    bar->SetButtonWidth(60);
    auto* help = new TToolButton(form.get());
    help->SetParent(bar);
    help->SetStyle(tbsDropDown);
    auto* add = new TToolButton(form.get());
    add->SetParent(bar);
    auto* exitButton = new TToolButton(form.get());
    exitButton->SetParent(bar);
    auto* menu = new TPopupMenu(form.get());
    auto* about = new TMenuItem(form.get());
    about->SetCaption(QStringLiteral("About"));
    menu->Items()->Add(about);
    help->SetDropdownMenu(menu);
    int popups = 0, adds = 0, exits = 0, abouts = 0;
    menu->OnPopup = TNotifyEvent::FromFunction([&](TObject*) { ++popups; });
    add->OnClick = TNotifyEvent::FromFunction([&](TObject*) { ++adds; });
    exitButton->OnClick = TNotifyEvent::FromFunction([&](TObject*) { ++exits; });
    about->OnClick = TNotifyEvent::FromFunction([&](TObject*) { ++abouts; });
    form->Show();
    QWidget* w = bar->Widget();
    const QPoint arrow(help->Left() + help->Width() - 4, help->Top() + 5);
    const auto pressArrow = [&] {
        QMouseEvent press(QEvent::MouseButtonPress, QPointF(arrow), w->mapToGlobal(QPointF(arrow)), Qt::LeftButton,
                          Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(w, &press);
        ASSERT_EQ(popups, 1);
        popups = 0;
        ASSERT_NE(QApplication::activePopupWidget(), nullptr);
    };

    // Closed with Escape, then Exit is clicked.
    pressArrow();
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(QApplication::activePopupWidget(), &escape);
    app->ProcessMessages();
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
    click(w, {exitButton->Left() + 5, exitButton->Top() + 5});
    EXPECT_EQ(exits, 1);
    EXPECT_EQ(popups, 0) << "the menu opened again";

    // An item chosen, then Add is clicked.
    pressArrow();
    auto* popup = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    ASSERT_NE(popup, nullptr);
    popup->actions().first()->trigger();
    popup->close();
    app->ProcessMessages();
    EXPECT_EQ(abouts, 1);
    click(w, {add->Left() + 5, add->Top() + 5});
    EXPECT_EQ(adds, 1);
    EXPECT_EQ(popups, 0);
}

// A window's buffer is shown only once painted: a control whose handlers
// draw nothing shows its parent's background, never uninitialised memory.
TEST_F(ControlsTest, ANewBufferStartsAsTheParentsBackground)
{
    form->SetColor(clWhite);
    class TBlank : public TCustomControl {
    public:
        using TCustomControl::TCustomControl;

    protected:
        void EraseBackground(HDC) override {}
        void Paint() override {}
    };
    auto* blank = new TBlank(form.get());
    blank->SetParent(form.get());
    blank->SetBounds(10, 10, 50, 40);
    form->Show();
    for (int round = 0; round < 2; ++round) {
        // A new size, a new buffer.
        blank->SetBounds(10, 10, 50 + round * 31, 40 + round * 17);
        const QImage shot = blank->Widget()->grab().toImage();
        int other = 0;
        for (int y = 0; y < shot.height(); ++y)
            for (int x = 0; x < shot.width(); ++x)
                other += QColor(shot.pixel(x, y)) != QColor(Qt::white);
        EXPECT_EQ(other, 0);
    }
    // The form and a panel paint every pixel of a buffer themselves.
    auto* panel = new TPanel(form.get());
    panel->SetParent(form.get());
    panel->SetBounds(70, 10, 50, 40);
    const QRgb sentinel = qRgb(1, 254, 3);
    for (TWinControl* c : std::initializer_list<TWinControl*>{form.get(), panel}) {
        QImage buffer(c->Width(), c->Height(), QImage::Format_RGB32);
        buffer.fill(sentinel);
        c->PaintTo(buffer);
        int left = 0;
        for (int y = 0; y < buffer.height(); ++y)
            for (int x = 0; x < buffer.width(); ++x)
                left += buffer.pixel(x, y) == sentinel;
        EXPECT_EQ(left, 0) << c->ClassName().toStdString();
    }
}

// Paints itself in the next colour of a list on every paint and keeps what
// each paint saw.
class PaintRecorder : public TCustomControl {
public:
    explicit PaintRecorder(TComponent* AOwner) : TCustomControl(AOwner)
    {
        const TWndMethod old = WindowProc;
        WindowProc = TWndMethod::FromFunction([this, old](TMessage& m) {
            Erases += m.Msg == WM_ERASEBKGND;
            old(m);
        });
    }
    int Paints = 0;
    int Erases = 0;
    TRect ClipBox;  // of the last paint

protected:
    void Paint() override
    {
        static constexpr TColor colours[] = {clRed, clLime, clBlue, clYellow};
        GetClipBox(Canvas()->Handle(), ClipBox);
        Canvas()->Brush()->SetColor(colours[Paints++ % 4]);
        Canvas()->FillRect(ClientRect());
    }
};

TEST_F(ControlsTest, APartOfAWindowMarkedForPaintingIsAllThatIsPainted)
{
    auto* c = new PaintRecorder(form.get());
    c->SetParent(form.get());
    c->SetBounds(10, 10, 60, 40);
    form->Show();
    auto settle = [&] {
        for (int i = 0; i < 5; ++i)
            QApplication::processEvents();
    };
    settle();
    ASSERT_GT(c->Paints, 0);
    auto shown = [&](int x, int y) {
        const QImage shot = QGuiApplication::primaryScreen()->grabWindow(form->Widget()->winId()).toImage();
        return shot.pixel(c->Left() + x, c->Top() + y) | 0xFF000000;
    };
    const auto colourOfPaint = [](int n) {
        static constexpr QRgb colours[] = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFF00};
        return colours[(n - 1) % 4];
    };
    const int before = c->Paints;
    const QRgb old = shown(1, 1);

    // Two marks without erase add up; only their part is painted.
    const TRect a = Rect(5, 5, 15, 15), b = Rect(20, 5, 30, 15);
    c->Erases = 0;
    ASSERT_TRUE(InvalidateRect(c->Handle(), &a, false));
    ASSERT_TRUE(InvalidateRect(c->Handle(), &b, false));
    settle();
    EXPECT_EQ(c->Paints, before + 1);
    EXPECT_EQ(c->Erases, 0);
    EXPECT_EQ(c->ClipBox, Rect(5, 5, 30, 15));
    EXPECT_EQ(shown(6, 6), colourOfPaint(c->Paints));
    EXPECT_EQ(shown(1, 1), old);  // outside the marks: the last paint's pixels

    // One mark that asks for erase erases the whole paint.
    ASSERT_TRUE(InvalidateRect(c->Handle(), &a, false));
    ASSERT_TRUE(InvalidateRect(c->Handle(), &b, true));
    settle();
    EXPECT_EQ(c->Erases, 1);
    // The whole window, with erase; a rectangle past the edge is cut to it.
    const TRect wide = Rect(-10, -10, 500, 500);
    ASSERT_TRUE(InvalidateRect(c->Handle(), &wide, true));
    settle();
    EXPECT_EQ(c->Erases, 2);
    EXPECT_EQ(c->ClipBox, Rect(0, 0, 60, 40));
    EXPECT_EQ(shown(1, 1), colourOfPaint(c->Paints));
    ASSERT_TRUE(InvalidateRect(c->Handle(), nullptr, false));
    settle();
    EXPECT_EQ(c->Erases, 2);
    EXPECT_EQ(c->ClipBox, Rect(0, 0, 60, 40));

    // An empty mark paints nothing; a handle that names no window is refused.
    const int paints = c->Paints;
    const TRect empty = Rect(5, 5, 5, 20);
    ASSERT_TRUE(InvalidateRect(c->Handle(), &empty, true));
    settle();
    EXPECT_EQ(c->Paints, paints);
    HWND stale = nullptr;
    {
        TPanel gone(nullptr);
        stale = gone.Handle();
    }
    EXPECT_FALSE(InvalidateRect(stale, nullptr, true));
}

}  // namespace

// WM_MOUSELEAVE comes once per request: when the pointer leaves, or at once
// for a window it is not over; a cancelled request brings nothing.
TEST_F(ControlsTest, TrackMouseEventReportsTheLeaveOnce)
{
    auto* panel = new TPanel(form.get());
    panel->SetParent(form.get());
    panel->SetBounds(10, 10, 100, 100);
    form->Show();
    int leaves = 0;
    TWndMethod old = panel->WindowProc;
    panel->WindowProc = TWndMethod::FromFunction([&](TMessage& M) {
        if (M.Msg == WM_MOUSELEAVE)
            ++leaves;
        old(M);
    });
    TRACKMOUSEEVENT track;
    track.dwFlags = TME_LEAVE;
    track.hwndTrack = panel->Handle();
    QCursor::setPos(panel->Widget()->mapToGlobal(QPoint(50, 50)));
    ASSERT_TRUE(panel->Widget()->rect().contains(panel->Widget()->mapFromGlobal(QCursor::pos())));
    EXPECT_TRUE(TrackMouseEvent(track));
    QApplication::processEvents();
    EXPECT_EQ(leaves, 0);
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(panel->Widget(), &leave);
    EXPECT_EQ(leaves, 1);
    QApplication::sendEvent(panel->Widget(), &leave);
    EXPECT_EQ(leaves, 1);  // one message per request

    EXPECT_TRUE(TrackMouseEvent(track));
    track.dwFlags = TME_LEAVE | TME_CANCEL;
    EXPECT_TRUE(TrackMouseEvent(track));
    QApplication::sendEvent(panel->Widget(), &leave);
    EXPECT_EQ(leaves, 1);

    QCursor::setPos(panel->Widget()->mapToGlobal(QPoint(250, 150)));
    track.dwFlags = TME_LEAVE;
    EXPECT_TRUE(TrackMouseEvent(track));
    EXPECT_EQ(leaves, 1);  // posted
    QApplication::processEvents();
    EXPECT_EQ(leaves, 2);

    track.hwndTrack = nullptr;
    EXPECT_FALSE(TrackMouseEvent(track));
    panel->WindowProc = old;
}

namespace {

// Records the mouse messages a panel receives, in its client coordinates.
class TRecordingPanel : public TCustomControl {
public:
    using TCustomControl::TCustomControl;
    std::vector<std::pair<UINT, TPoint>> Seen;
    int CaptureChanges = 0;

protected:
    void Dispatch(TMessage& Message) override
    {
        if (Message.Msg >= WM_MOUSEMOVE && Message.Msg <= WM_MBUTTONDBLCLK)
            Seen.emplace_back(Message.Msg, PointFromLParam(Message.LParam));
        if (Message.Msg == WM_CAPTURECHANGED)
            ++CaptureChanges;
        TCustomControl::Dispatch(Message);
    }
};

}  // namespace

TEST_F(ControlsTest, CaptureRoutesEveryPressAndMoveToItsHolderUntilReleased)
{
    auto* holder = new TRecordingPanel(form.get());
    holder->SetParent(form.get());
    holder->SetBounds(10, 10, 50, 50);
    auto* other = new TRecordingPanel(form.get());
    other->SetParent(form.get());
    other->SetBounds(100, 20, 50, 50);
    form->Show();

    SetMouseCapture(holder, true);
    EXPECT_EQ(Mouse->Capture(), holder);
    QWidget* w = other->Widget();
    QMouseEvent move(QEvent::MouseMove, QPointF(5, 6), w->mapToGlobal(QPointF(5, 6)), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(w, &move);
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(5, 6), w->mapToGlobal(QPointF(5, 6)), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w, &press);
    EXPECT_TRUE(other->Seen.empty());
    ASSERT_EQ(holder->Seen.size(), 2u);
    // (105, 26) in the form is (95, 16) in the holder.
    EXPECT_EQ(holder->Seen[1].first, UINT(WM_LBUTTONDOWN));
    EXPECT_EQ(holder->Seen[1].second, (TPoint{95, 16}));

    // Taking it away tells the holder; the input goes where it is aimed again.
    SetMouseCapture(other, true);
    EXPECT_EQ(holder->CaptureChanges, 1);
    SetMouseCapture(holder, false);  // not the holder: nothing changes
    EXPECT_TRUE(HasMouseCapture(other));
    SetMouseCapture(other, false);
    EXPECT_EQ(GetCaptureControl(), nullptr);
    QApplication::sendEvent(w, &move);
    EXPECT_EQ(other->Seen.size(), 1u);

    // A holder whose window goes away loses the capture without a message.
    SetMouseCapture(holder, true);
    delete holder;
    EXPECT_EQ(GetCaptureControl(), nullptr);
}

TEST_F(ControlsTest, RegisteredCursorsStandBesideTheBuiltInShapes)
{
    QPixmap picture(16, 16);
    picture.fill(Qt::black);
    RegisterScreenCursor(2100, QCursor(picture, 1, 2));
    EXPECT_TRUE(IsScreenCursorRegistered(2100));
    EXPECT_EQ(ScreenCursor(2100).hotSpot(), QPoint(1, 2));
    EXPECT_EQ(ScreenCursor(crHourGlass).shape(), Qt::WaitCursor);
    UnregisterScreenCursor(2100);
    EXPECT_EQ(ScreenCursor(2100).shape(), Qt::ArrowCursor);
    EXPECT_EQ(Mouse->WheelScrollLines(), 3);
    const TRect area = GetMonitorWorkArea(TPoint{-5000, -5000});
    EXPECT_FALSE(area.IsEmpty());
}

TEST_F(ControlsTest, ADragFollowsThePointerBeyondItsThresholdAndDropsOnAnAcceptingTarget)
{
    auto* source = new TRecordingPanel(form.get());
    source->SetParent(form.get());
    source->SetBounds(10, 10, 50, 50);
    auto* target = new TRecordingPanel(form.get());
    target->SetParent(form.get());
    target->SetBounds(100, 20, 50, 50);
    form->Show();
    std::vector<TDragState> states;
    target->OnDragOver = TDragOverEvent::FromFunction(
        [&states](TObject*, TObject*, int, int, TDragState State, bool& Accept) {
            states.push_back(State);
            Accept = true;
        });
    std::vector<TObject*> dropped, ended;
    target->OnDragDrop = TDragDropEvent::FromFunction([&dropped](TObject*, TObject* Source, int, int) {
        dropped.push_back(Source);
    });
    source->OnEndDrag = TEndDragEvent::FromFunction([&ended](TObject*, TObject* Target, int, int) {
        ended.push_back(Target);
    });
    QWidget* w = source->Widget();
    auto send = [w](QEvent::Type Type, QPoint P, Qt::MouseButtons Buttons) {
        QMouseEvent e(Type, QPointF(P), w->mapToGlobal(QPointF(P)), Qt::LeftButton, Buttons, Qt::NoModifier);
        QApplication::sendEvent(w, &e);
    };

    Mouse->SetCursorPos(source->ClientToScreen(TPoint{5, 5}));
    source->BeginDrag(false, 5);
    EXPECT_TRUE(source->Dragging());
    send(QEvent::MouseMove, QPoint(7, 7), Qt::LeftButton);  // within the threshold: the source sees it
    EXPECT_EQ(source->Seen.size(), 1u);
    EXPECT_EQ(GetDragObject()->DragTarget(), nullptr);
    // Over the target (in the source's coordinates): the move is the drag's.
    send(QEvent::MouseMove, QPoint(110, 30), Qt::LeftButton);
    EXPECT_EQ(source->Seen.size(), 1u);
    EXPECT_EQ(GetDragObject()->DragTarget(), target);
    EXPECT_EQ(GetDragObject()->DragTargetPos(), (TPoint{20, 20}));
    EXPECT_EQ(states, (std::vector<TDragState>{dsDragEnter, dsDragMove}));
    EXPECT_EQ(Screen->Cursor(), crDrag);
    send(QEvent::MouseButtonRelease, QPoint(110, 30), Qt::NoButton);
    EXPECT_FALSE(source->Dragging());
    EXPECT_EQ(dropped, std::vector<TObject*>{source});
    EXPECT_EQ(ended, std::vector<TObject*>{target});
    EXPECT_EQ(Screen->Cursor(), crDefault);

    // Released before the threshold: no drag, and the source hears of it.
    source->BeginDrag(false, 5);
    send(QEvent::MouseButtonRelease, QPoint(6, 6), Qt::NoButton);
    EXPECT_FALSE(source->Dragging());
    EXPECT_EQ(ended, (std::vector<TObject*>{target, nullptr}));
    EXPECT_EQ(dropped.size(), 1u);

    // A source that goes away ends its drag without being told.
    source->BeginDrag(true);
    DragTo(target->ClientToScreen(TPoint{5, 5}));
    delete source;
    EXPECT_EQ(GetDragObject(), nullptr);
    EXPECT_EQ(ended.size(), 2u);
    EXPECT_EQ(dropped.size(), 1u);
}

namespace {

// A dock site that tells what it hears from its clients.
class TRecordingSite : public TCustomControl {
public:
    using TCustomControl::TCustomControl;
    std::vector<std::string> Heard;

protected:
    void DoAddDockClient(TControl* Client, const TRect& ARect) override
    {
        Heard.push_back("add " + Client->Caption().toStdString());
        TCustomControl::DoAddDockClient(Client, ARect);
    }
    void DoRemoveDockClient(TControl* Client) override
    {
        // The client has its new parent by now.
        Heard.push_back("remove " + Client->Caption().toStdString() + (Client->Parent() == this ? " here" : ""));
    }
    void Dispatch(TMessage& Message) override
    {
        if (Message.Msg == CM_UNDOCKCLIENT)
            Heard.push_back("undock");
        if (Message.Msg == CM_DOCKNOTIFICATION) {
            const auto* notify = reinterpret_cast<const TDockNotifyRec*>(Message.LParam);
            if (notify->ClientMsg == WM_SETTEXT)
                Heard.push_back("text " + reinterpret_cast<const String*>(notify->MsgLParam)->toStdString());
            if (notify->ClientMsg == CM_VISIBLECHANGED)
                Heard.push_back(notify->MsgWParam != 0 ? "shown" : "hidden");
        }
        TCustomControl::Dispatch(Message);
    }
};

}  // namespace

TEST_F(ControlsTest, ControlsDockInCodeAndSitesHearOfTheirClients)
{
    auto* a = new TRecordingSite(form.get());
    a->SetParent(form.get());
    a->SetBounds(0, 0, 100, 100);
    a->SetDockSite(true);
    auto* b = new TRecordingSite(form.get());
    b->SetParent(form.get());
    b->SetBounds(150, 0, 100, 100);
    b->SetDockSite(true);
    auto* client = new TRecordingPanel(form.get());
    client->SetCaption(String::fromLatin1("c"));
    client->SetParent(form.get());
    int drops = 0;
    a->OnDockDrop = TDockDropEvent::FromFunction([&drops](TObject*, TDragDockObject*, int, int) { ++drops; });

    ASSERT_TRUE(client->ManualDock(a));
    EXPECT_EQ(client->Parent(), a);
    EXPECT_EQ(client->HostDockSite(), a);
    ASSERT_EQ(a->DockClientCount(), 1);
    EXPECT_EQ(a->DockClients(0), client);
    EXPECT_EQ(drops, 1);

    client->SetCaption(String::fromLatin1("d"));
    client->Hide();
    EXPECT_EQ(a->Heard, (std::vector<std::string>{"add c", "text d", "hidden"}));

    // The site may keep its client; letting go, it hears the client leave
    // once the client sits in its new site.
    bool allow = false;
    a->OnUnDock = TUnDockEvent::FromFunction(
        [&allow](TObject*, TControl*, TWinControl*, bool& Allow) { Allow = allow; });
    EXPECT_FALSE(client->ManualDock(b));
    EXPECT_EQ(client->HostDockSite(), a);
    allow = true;
    a->Heard.clear();
    ASSERT_TRUE(client->ManualDock(b));
    EXPECT_EQ(a->Heard, (std::vector<std::string>{"undock", "remove d"}));
    EXPECT_EQ(a->DockClientCount(), 0);
    EXPECT_EQ(client->Parent(), b);
    EXPECT_EQ(b->DockClientCount(), 1);

    // Only a form can be a window of its own; nothing docks into itself.
    EXPECT_FALSE(client->ManualDock(nullptr));
    EXPECT_FALSE(b->ManualDock(b));
    EXPECT_EQ(client->HostDockSite(), b);

    // A site going away lets its clients go; a client going away leaves its site.
    delete b;
    EXPECT_EQ(client->HostDockSite(), nullptr);
    client->ManualDock(a);
    delete client;
    EXPECT_EQ(a->DockClientCount(), 0);
}

TEST_F(ControlsTest, ADockDragFindsTheSiteThatTakesTheClientAndAFormFloatsWhereNoneDoes)
{
    auto* site = new TRecordingSite(form.get());
    site->SetParent(form.get());
    site->SetBounds(100, 20, 80, 80);
    site->SetDockSite(true);
    bool canDock = false;
    site->OnGetSiteInfo = TGetSiteInfoEvent::FromFunction(
        [&canDock](TObject*, TControl*, TRect&, TPoint, bool& CanDock) { CanDock = canDock; });
    std::vector<TDragState> states;
    site->OnDockOver = TDockOverEvent::FromFunction(
        [&states](TObject*, TDragDockObject*, int, int, TDragState State, bool&) { states.push_back(State); });
    auto* client = new TRecordingPanel(form.get());
    client->SetParent(form.get());
    client->SetBounds(10, 10, 40, 40);
    client->SetDragKind(dkDock);
    form->Show();
    const TPoint overSite = site->ClientToScreen(TPoint{30, 30});

    // A site that refuses is no target: the plain panel stays where it was.
    client->BeginDrag(true);
    ASSERT_NE(dynamic_cast<TDragDockObject*>(GetDragObject()), nullptr);
    DragTo(overSite);
    EXPECT_EQ(GetDragObject()->DragTarget(), nullptr);
    DragDone(true);
    EXPECT_EQ(client->Parent(), form.get());

    canDock = true;
    client->BeginDrag(true);
    DragTo(overSite);
    EXPECT_EQ(GetDragObject()->DragTarget(), site);
    DragDone(true);
    EXPECT_EQ(client->HostDockSite(), site);
    EXPECT_EQ(client->Parent(), site);
    EXPECT_EQ(states, (std::vector<TDragState>{dsDragEnter, dsDragMove, dsDragLeave}));

    // A docked form dropped where no site takes it floats there.
    TForm docked(nullptr);
    docked.SetCaption(String::fromLatin1("f"));
    docked.SetBounds(0, 0, 60, 50);
    docked.SetDragKind(dkDock);
    ASSERT_TRUE(docked.ManualDock(site));
    docked.Show();
    EXPECT_FALSE(docked.Widget()->isWindow());
    docked.BeginDrag(true);
    DragTo(TPoint{-3000, -3000});
    DragDone(true);
    EXPECT_EQ(docked.HostDockSite(), nullptr);
    EXPECT_EQ(docked.Parent(), nullptr);
    EXPECT_TRUE(docked.Widget()->isWindow());
    EXPECT_TRUE(docked.Widget()->isVisible());
    // At the size it had before it was docked.
    EXPECT_EQ(docked.Width(), 60);
    EXPECT_EQ(docked.Height(), 50);
}
