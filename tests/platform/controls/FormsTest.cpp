// Tests of forms and the application: what a window tells the window system
// (its title, its size limits) and the end of the program on a termination
// signal. The FormsX11 tests read the window's properties from a real X
// server and are skipped on other platforms.
#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <QWindow>
#include <csignal>
#include <gtest/gtest.h>

#ifdef VORLANE_HAVE_XCB
#include <QGuiApplication>
#include <xcb/xcb.h>
#endif

#include <QThread>

#include "platform/controls/ExtCtrls.h"
#include "platform/controls/Forms.h"
#include "platform/graphics/Graphics.h"

namespace {

class FormsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        app = std::make_unique<TApplication>(nullptr);
        app->Initialize();
    }
    void TearDown() override { app.reset(); }
    std::unique_ptr<TApplication> app;
};

TEST_F(FormsTest, ConstraintsAreTheWindowsSizeLimits)
{
    TForm form(nullptr);
    form.SetBounds(0, 0, 900, 500);
    form.SetConstraints(TSizeConstraints{820, 400, 0, 0});
    form.Show();
    QWindow* window = form.Widget()->windowHandle();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->minimumSize(), QSize(820, 400));
    EXPECT_EQ(window->maximumSize(), QSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX));
    form.SetConstraints(TSizeConstraints{300, 200, 1000, 700});
    EXPECT_EQ(window->minimumSize(), QSize(300, 200));
    EXPECT_EQ(window->maximumSize(), QSize(1000, 700));
}

// SIGTERM, SIGINT and SIGHUP while the program runs: the main form closes
// through its close query and close handlers, then the loop ends.
TEST_F(FormsTest, TerminationSignalClosesTheMainFormAndEndsTheLoop)
{
    for (const int signal : {SIGTERM, SIGINT, SIGHUP}) {
        SCOPED_TRACE(signal);
        app.reset();
        app = std::make_unique<TApplication>(nullptr);
        TForm* form = nullptr;
        app->CreateForm(form);
        std::vector<std::string> steps;
        form->OnCloseQuery = TCloseQueryEvent::FromFunction([&](TObject*, bool& CanClose) {
            steps.push_back("query");
            CanClose = true;
        });
        form->OnClose = TCloseEvent::FromFunction([&](TObject*, TCloseAction&) { steps.push_back("close"); });
        QTimer::singleShot(0, [signal] { std::raise(signal); });
        app->Run();
        EXPECT_TRUE(app->Terminated());
        EXPECT_EQ(steps, (std::vector<std::string>{"query", "close"}));
        EXPECT_FALSE(form->Visible());
    }
}

// A form that refuses to close still ends the program: the session is over.
TEST_F(FormsTest, TerminationSignalEndsTheLoopEvenWhenTheFormRefuses)
{
    TForm* form = nullptr;
    app->CreateForm(form);
    form->OnCloseQuery = TCloseQueryEvent::FromFunction([](TObject*, bool& CanClose) { CanClose = false; });
    QTimer::singleShot(0, [] { std::raise(SIGTERM); });
    app->Run();
    EXPECT_TRUE(app->Terminated());
}

// ---- hints ------------------------------------------------------------------

class HintTest : public FormsTest {
protected:
    void SetUp() override
    {
        FormsTest::SetUp();
        form = std::make_unique<TForm>(nullptr);
        form->SetBounds(100, 100, 300, 200);
        form->SetShowHint(true);  // the children follow it
        left = new TPanel(form.get());
        left->SetParent(form.get());
        left->SetBounds(10, 10, 100, 100);
        left->SetHint(QStringLiteral("Left side|Shown in the status line"));
        right = new TPanel(form.get());
        right->SetParent(form.get());
        right->SetBounds(150, 10, 100, 100);
        right->SetHint(QStringLiteral("Right side"));
        form->Show();
        app->SetHintPause(0);
        app->SetHintHidePause(0);
    }
    void TearDown() override
    {
        form.reset();
        FormsTest::TearDown();
    }
    static void move(TControl* c, int x, int y) { c->Perform(WM_MOUSEMOVE, 0, MakeLParam(x, y)); }
    bool hintShowing() const
    {
        const THintWindow* w = app->HintWindow();
        return w != nullptr && w->HandleAllocated() && const_cast<THintWindow*>(w)->Widget()->isVisible();
    }
    std::unique_ptr<TForm> form;
    TPanel* left = nullptr;
    TPanel* right = nullptr;
};

TEST_F(HintTest, ShortHintShowsUnderThePointerAfterThePause)
{
    std::vector<TControl*> asked;
    app->OnShowHint = TShowHintEvent::FromFunction([&](String& HintStr, bool& CanShow, THintInfo& Info) {
        asked.push_back(Info.HintControl);
        EXPECT_TRUE(CanShow);
        EXPECT_EQ(Info.HideTimeout, 0);
        if (asked.size() == 1) {
            EXPECT_EQ(Info.CursorPos, (TPoint{5, 7}));
            EXPECT_EQ(Info.CursorRect, left->ClientRect());
        }
        HintStr += QStringLiteral("!");
    });
    move(left, 5, 7);
    EXPECT_FALSE(hintShowing());  // only once the pause is over
    app->ProcessMessages();
    ASSERT_TRUE(hintShowing());
    EXPECT_EQ(asked, std::vector<TControl*>{left});
    THintWindow* w = app->HintWindow();
    EXPECT_EQ(w->Caption(), QStringLiteral("Left side!"));
    const TPoint screen = left->ClientToScreen(TPoint{5, 7});
    EXPECT_EQ(w->Left(), screen.X);
    EXPECT_EQ(w->Top(), screen.Y + 20);
    EXPECT_FALSE(w->Widget()->isActiveWindow());

    // Moving inside the control keeps it; a click hides it for good there.
    move(left, 50, 50);
    app->ProcessMessages();
    EXPECT_EQ(asked.size(), 1u);
    left->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MakeLParam(50, 50));
    EXPECT_FALSE(hintShowing());
    move(left, 51, 50);
    app->ProcessMessages();
    EXPECT_FALSE(hintShowing());
    move(right, 5, 5);
    app->ProcessMessages();
    EXPECT_TRUE(hintShowing());
    EXPECT_EQ(app->HintWindow()->Caption(), QStringLiteral("Right side!"));
}

TEST_F(HintTest, NextControlTakesTheShortPauseWhileAHintShows)
{
    move(left, 5, 5);
    app->ProcessMessages();
    ASSERT_TRUE(hintShowing());
    app->SetHintPause(3600000);  // never, within this test
    app->SetHintShortPause(0);
    move(right, 5, 5);
    app->ProcessMessages();
    ASSERT_TRUE(hintShowing());
    EXPECT_EQ(app->HintWindow()->Caption(), QStringLiteral("Right side"));
    // Off every hinted control the hint goes; back on one, the long pause.
    form->SetShowHint(false);
    move(form.get(), 120, 150);
    EXPECT_FALSE(hintShowing());
    EXPECT_EQ(app->HintControl(), nullptr);
    form->SetShowHint(true);
    move(left, 5, 5);
    app->ProcessMessages();
    EXPECT_FALSE(hintShowing());
}

TEST_F(HintTest, RefusedOrEmptyHintsShowNothing)
{
    app->OnShowHint = TShowHintEvent::FromFunction([](String&, bool& CanShow, THintInfo&) { CanShow = false; });
    move(left, 5, 5);
    app->ProcessMessages();
    EXPECT_FALSE(hintShowing());
    app->OnShowHint = nullptr;
    left->SetHint(String());
    form->SetHint(QStringLiteral("The form|long"));
    move(left, 6, 5);  // same control, same area: not asked again
    app->CancelHint();
    move(left, 6, 5);
    app->ProcessMessages();
    ASSERT_TRUE(hintShowing());
    EXPECT_EQ(app->HintWindow()->Caption(), QStringLiteral("The form"));  // the parent's hint
    app->SetShowHint(false);
    EXPECT_EQ(app->HintWindow(), nullptr);
    move(right, 5, 5);
    app->ProcessMessages();
    EXPECT_EQ(app->HintWindow(), nullptr);
}

TEST_F(HintTest, HidePauseEndsTheHintAndAFreedControlIsForgotten)
{
    app->SetHintHidePause(1);
    move(left, 5, 5);
    app->ProcessMessages();
    ASSERT_TRUE(hintShowing());
    for (int i = 0; i < 200 && hintShowing(); ++i) {
        QThread::msleep(5);
        app->ProcessMessages();
    }
    EXPECT_FALSE(hintShowing());
    app->SetHintPause(3600000);
    move(right, 5, 5);
    EXPECT_EQ(app->HintControl(), right);
    delete right;
    EXPECT_EQ(app->HintControl(), nullptr);
    app->ProcessMessages();
}

TEST_F(HintTest, HintWindowWrapsAndStaysOnTheScreen)
{
    THintWindow hint(nullptr);
    const TRect one = hint.CalcHintRect(1000, QStringLiteral("word"), nullptr);
    const TRect wrapped = hint.CalcHintRect(60, QStringLiteral("word word word word"), nullptr);
    EXPECT_EQ(one.Left, 0);
    EXPECT_EQ(one.Top, 0);
    EXPECT_LE(wrapped.Width(), 60 + 8);
    EXPECT_GE(wrapped.Height(), 2 * (one.Height() - 4));
    TRect r = one;
    OffsetRect(r, Screen->Width() - 2, Screen->Height() - 2);
    hint.ActivateHint(r, QStringLiteral("word"));
    EXPECT_EQ(hint.Left() + hint.Width(), Screen->DesktopLeft() + Screen->DesktopWidth());
    EXPECT_EQ(hint.Top() + hint.Height(), Screen->DesktopTop() + Screen->DesktopHeight());
    EXPECT_EQ(hint.Width(), one.Width());

    // Our own drawing: a frame round the hint colour.
    hint.SetColor(TColor(0x80FFFF));
    const QImage shot = hint.Widget()->grab().toImage();
    EXPECT_EQ(QColor(shot.pixel(0, 0)), ColorToQColor(clWindowFrame));
    EXPECT_EQ(QColor(shot.pixel(shot.width() - 1, shot.height() / 2)), ColorToQColor(clWindowFrame));
    EXPECT_EQ(QColor(shot.pixel(1, shot.height() - 2)), ColorToQColor(TColor(0x80FFFF)));
    hint.ReleaseHandle();
    EXPECT_FALSE(hint.HandleAllocated());
}

TEST(HintText, ShortAndLongParts)
{
    EXPECT_EQ(GetShortHint(QStringLiteral("Open|Opens a file")), QStringLiteral("Open"));
    EXPECT_EQ(GetLongHint(QStringLiteral("Open|Opens a file")), QStringLiteral("Opens a file"));
    EXPECT_EQ(GetShortHint(QStringLiteral("Open")), QStringLiteral("Open"));
    EXPECT_EQ(GetLongHint(QStringLiteral("Open")), QStringLiteral("Open"));
    EXPECT_EQ(GetLongHint(QStringLiteral("a|b|c")), QStringLiteral("b|c"));
}

// ---- icons ------------------------------------------------------------------

QImage filled(int size, QRgb colour)
{
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(colour);
    return image;
}

TEST_F(FormsTest, WindowIconIsTheFormsOwnOrTheProgramsAndChangesReachTheWindow)
{
    TForm form(nullptr);
    EXPECT_EQ(form.Perform(WM_GETICON, ICON_SMALL), 0);
    TIcon program;
    program.AddImage(filled(32, 0xFF0000FF));
    app->SetIcon(&program);
    EXPECT_EQ(form.Perform(WM_GETICON, ICON_SMALL), LRESULT(app->Icon()));

    std::vector<LPARAM> seen;
    TWndMethod old = form.WindowProc;
    form.WindowProc = TWndMethod::FromFunction([&](TMessage& M) {
        if (M.Msg == WM_SETICON)
            seen.push_back(M.LParam);
        old(M);
    });
    form.Show();
    TIcon own;
    own.AddImage(filled(16, 0xFF00FF00));
    form.SetIcon(&own);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0], LPARAM(form.Icon()));
    EXPECT_EQ(form.Perform(WM_GETICON, ICON_BIG), LRESULT(form.Icon()));
    EXPECT_FALSE(form.Widget()->windowIcon().isNull());
    form.Icon()->Clear();
    EXPECT_EQ(seen.back(), 0);
    EXPECT_EQ(form.Perform(WM_GETICON, ICON_BIG), LRESULT(app->Icon()));
    form.WindowProc = old;
}

#ifdef VORLANE_HAVE_XCB

// A property of a window on the X server, as raw bytes.
QByteArray windowProperty(xcb_connection_t* Connection, xcb_window_t Window, const char* Name)
{
    const xcb_intern_atom_cookie_t atomCookie = xcb_intern_atom(Connection, 1, uint16_t(strlen(Name)), Name);
    xcb_intern_atom_reply_t* atom = xcb_intern_atom_reply(Connection, atomCookie, nullptr);
    if (atom == nullptr)
        return {};
    const xcb_atom_t id = atom->atom;
    free(atom);
    const xcb_get_property_cookie_t cookie = xcb_get_property(Connection, 0, Window, id, XCB_GET_PROPERTY_TYPE_ANY, 0, 1024);
    xcb_get_property_reply_t* reply = xcb_get_property_reply(Connection, cookie, nullptr);
    if (reply == nullptr)
        return {};
    // The length is in bytes already.
    const QByteArray bytes(static_cast<const char*>(xcb_get_property_value(reply)), xcb_get_property_value_length(reply));
    free(reply);
    return bytes;
}

class FormsX11 : public FormsTest {
protected:
    void SetUp() override
    {
        FormsTest::SetUp();
        if (QGuiApplication::platformName() != QStringLiteral("xcb"))
            GTEST_SKIP() << "needs an X server";
        auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
        ASSERT_NE(x11, nullptr);
        connection = x11->connection();
    }
    QByteArray property(TForm& Form, const char* Name)
    {
        app->ProcessMessages();
        xcb_flush(connection);
        return windowProperty(connection, xcb_window_t(Form.Widget()->winId()), Name);
    }
    xcb_connection_t* connection = nullptr;
};

TEST_F(FormsX11, TitleIsExactlyTheCaption)
{
    app->SetTitle(QStringLiteral("Vorlane"));
    TForm form(nullptr);
    form.SetCaption(QStringLiteral("Vorlane v3.5"));
    form.Show();
    EXPECT_EQ(QString::fromUtf8(property(form, "_NET_WM_NAME")), QStringLiteral("Vorlane v3.5"));
    form.SetCaption(QStringLiteral("Settings"));
    EXPECT_EQ(QString::fromUtf8(property(form, "_NET_WM_NAME")), QStringLiteral("Settings"));
}

TEST_F(FormsX11, SizeHintsAreTheFormsConstraints)
{
    TForm form(nullptr);
    form.SetBounds(0, 0, 900, 500);
    form.SetConstraints(TSizeConstraints{820, 400, 1200, 900});
    form.Show();
    // WM_NORMAL_HINTS: flags, x, y, width, height, min width/height, max width/height, ...
    const QByteArray hints = property(form, "WM_NORMAL_HINTS");
    ASSERT_GE(hints.size(), int(9 * sizeof(uint32_t)));
    const auto* v = reinterpret_cast<const uint32_t*>(hints.constData());
    constexpr uint32_t minSize = 1u << 4, maxSize = 1u << 5;
    EXPECT_TRUE(v[0] & minSize);
    EXPECT_TRUE(v[0] & maxSize);
    EXPECT_EQ(v[5], 820u);
    EXPECT_EQ(v[6], 400u);
    EXPECT_EQ(v[7], 1200u);
    EXPECT_EQ(v[8], 900u);
}

#endif

}  // namespace
