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

#include "platform/controls/Forms.h"

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
