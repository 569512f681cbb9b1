// Menus on the offscreen platform: shortcut and accelerator texts, owner
// drawing and measuring through the menu window, the menu window's own
// procedure around its frame, and a main menu's bar taken off its form.
#include <QApplication>
#include <QFontMetrics>
#include <QMenu>
#include <QMenuBar>
#include <gtest/gtest.h>

#include "platform/controls/Forms.h"
#include "platform/controls/Menus.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Graphics.h"

TEST(MenusText, ShortCutsAndAccelerators)
{
    const struct {
        TShortCut shortcut;
        const char* text;
    } cases[] = {
        {ShortCut('S', false, true, false), "Ctrl+S"}, {ShortCut(VK_DELETE, true, false, false), "Shift+Del"},
        {ShortCut(VK_F1 + 4, false, false, false), "F5"}, {ShortCut('X', true, true, true), "Shift+Ctrl+Alt+X"},
        {ShortCut(0x92, false, true, false), ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ShortCutToText(c.shortcut), QString::fromLatin1(c.text)) << c.text;
    EXPECT_EQ(GetHotkey(QStringLiteral("&File")), QChar(u'F'));
    EXPECT_EQ(GetHotkey(QStringLiteral("Save && E&xit")), QChar(u'x'));
    EXPECT_TRUE(GetHotkey(QStringLiteral("A && B")).isNull());
    EXPECT_TRUE(GetHotkey(QStringLiteral("Trailing&")).isNull());
    EXPECT_TRUE(IsAccel(u'X', QStringLiteral("E&xit")));
    EXPECT_FALSE(IsAccel(u'E', QStringLiteral("E&xit")));
    EXPECT_EQ(StripHotkey(QStringLiteral("Save && E&xit&")), QStringLiteral("Save & Exit"));
}

TEST(MenusText, DitherAlternatesAndCommandsAreUnique)
{
    const auto dither = AllocPatternBitmap(clRed, clBlue);
    EXPECT_EQ(dither->Canvas()->Pixels(0, 0), clRed);
    EXPECT_EQ(dither->Canvas()->Pixels(1, 0), clBlue);
    EXPECT_EQ(dither->Canvas()->Pixels(1, 1), clRed);
    TMenuItem a(nullptr), b(nullptr);
    EXPECT_NE(a.Command(), b.Command());
    auto* child = new TMenuItem(nullptr);
    a.Add(child);
    EXPECT_EQ(a.Find(child->Command()), child);
    EXPECT_EQ(a.Find(b.Command()), nullptr);
}

namespace {

class MenusTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        app = std::make_unique<TApplication>(nullptr);
        app->Initialize();
        menu = std::make_unique<TPopupMenu>(nullptr);
        for (const char* caption : {"One", "-", "Three"}) {
            auto* item = new TMenuItem(nullptr);
            item->SetCaption(QString::fromLatin1(caption));
            menu->Items()->Add(item);
        }
    }
    void TearDown() override
    {
        if (QMenu* m = shown())
            m->close();
        menu.reset();
        app.reset();
    }
    QMenu* shown() const
    {
        return menu->Items()->MenuWindow() != nullptr ? menu->Items()->MenuWindow()->Menu() : nullptr;
    }
    QImage open()
    {
        menu->Popup(100, 100);
        QApplication::processEvents();
        return shown()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    }
    TMenuItem* item(int i) const { return menu->Items()->Items(i); }
    std::unique_ptr<TApplication> app;
    std::unique_ptr<TPopupMenu> menu;
};

}  // namespace

TEST_F(MenusTest, OwnerDrawnItemsAreMeasuredAndDrawnByTheirEvents)
{
    const QImage plain = open();
    shown()->close();

    std::vector<TRect> rects;
    for (int i = 0; i < 3; ++i) {
        item(i)->OnMeasureItem = TMenuMeasureItemEvent::FromFunction([](TObject*, TCanvas*, int& W, int& H) {
            W += 100;
            H = 20;
        });
        item(i)->OnDrawItem = TMenuDrawItemEvent::FromFunction([&rects](TObject*, TCanvas* C, TRect R, bool) {
            rects.push_back(R);
            C->Brush()->SetColor(clLime);
            C->FillRect(R);
        });
    }
    // Events count only while the menu is owner-drawn.
    EXPECT_EQ(open().size(), plain.size());
    EXPECT_TRUE(rects.empty());
    shown()->close();

    menu->SetOwnerDraw(true);
    const QImage drawn = open();
    ASSERT_GE(rects.size(), 3u);
    // Client coordinates: the first item at the top-left of the inside of
    // the 3-pixel frame, one under the other, 20 high, as wide as the
    // inside of the frame and no less than the widest measure.
    EXPECT_EQ(shown()->height(), 60 + 2 * 3);
    EXPECT_EQ(rects[0].Width(), shown()->width() - 2 * 3);
    EXPECT_GE(rects[0].Width(), 100 + QFontMetrics(shown()->font()).horizontalAdvance(QStringLiteral("Three")));
    EXPECT_EQ(rects[0].Left, 0);
    EXPECT_EQ(rects[0].Top, 0);
    EXPECT_EQ(rects[1].Top, 20);
    EXPECT_EQ(rects[2].Height(), 20);
    EXPECT_EQ(QColor(drawn.pixel(3, 3)), QColor(Qt::green));
    EXPECT_EQ(QColor(drawn.pixel(3 + rects[2].Width() - 1, 3 + 59)), QColor(Qt::green));
    EXPECT_NE(QColor(drawn.pixel(1, 1)), QColor(Qt::green));
}

TEST_F(MenusTest, TheWindowProcedurePaintsTheFrameAndHearsTheClose)
{
    const QImage plain = open();
    TMenuWindow* window = menu->Items()->MenuWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(MenuWindowOf(shown()), window);
    std::vector<UINT> seen;
    const TWndMethod previous = window->WindowProc;
    window->WindowProc = TWndMethod::FromFunction([&](TMessage& M) {
        seen.push_back(M.Msg);
        if (M.Msg == WM_NCPAINT && M.WParam == 1) {
            TCanvas c;
            c.SetHandle(reinterpret_cast<HDC>(M.LParam));
            c.Brush()->SetColor(clFuchsia);
            c.FillRect(TRect{0, 0, shown()->width(), shown()->height()});
            c.SetHandle(nullptr);
            return;
        }
        if (M.Msg == WM_ERASEBKGND)
            return;  // the frame's paint stays under the items
        previous(M);
    });
    shown()->update();
    const QImage framed = shown()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(QColor(framed.pixel(0, 0)), QColor(Qt::magenta));
    EXPECT_EQ(QColor(framed.pixel(framed.width() - 1, framed.height() - 1)), QColor(Qt::magenta));
    EXPECT_NE(std::find(seen.begin(), seen.end(), UINT(WM_ERASEBKGND)), seen.end());
    // A print goes the same way.
    QImage printed;
    window->PrintTo(printed);
    EXPECT_EQ(QColor(printed.pixel(0, 0)), QColor(Qt::magenta));
    shown()->close();
    EXPECT_EQ(seen.back(), UINT(WM_DESTROY));
    // The previous procedure back: the toolkit's look, pixel for pixel.
    window->WindowProc = previous;
    EXPECT_EQ(open(), plain);
}

TEST_F(MenusTest, RightToLeftMenusMirrorAndOpenRightAligned)
{
    menu->SetRightToLeft(true);
    EXPECT_TRUE(item(0)->IsRightToLeft());
    menu->Items()->PopupAt(TPoint{500, 100}, true);
    QApplication::processEvents();
    EXPECT_EQ(shown()->layoutDirection(), Qt::RightToLeft);
    EXPECT_EQ(shown()->geometry().right() + 1, 500);
}

TEST(MainMenuBar, DetachesFromItsFormAndReportsChanges)
{
    auto app = std::make_unique<TApplication>(nullptr);
    app->Initialize();
    TForm form(nullptr);
    form.SetBounds(0, 0, 300, 200);
    auto* main = new TMainMenu(&form);
    auto* file = new TMenuItem(nullptr);
    file->SetCaption(QStringLiteral("&File"));
    main->Items()->Add(file);
    int changes = 0;
    const TWndMethod previous = form.WindowProc;
    form.WindowProc = TWndMethod::FromFunction([&](TMessage& M) {
        changes += M.Msg == CM_MENUCHANGED;
        previous(M);
    });
    form.SetMenu(main);
    form.Show();
    EXPECT_EQ(changes, 1);
    EXPECT_GT(main->BarHeight(), 0);
    EXPECT_TRUE(main->MenuBar()->isVisible());
    main->DetachBar();
    EXPECT_FALSE(main->BarAttached());
    EXPECT_EQ(main->BarHeight(), 0);
    EXPECT_FALSE(main->MenuBar()->isVisible());
    main->Rebuild();  // still detached after a change
    EXPECT_EQ(changes, 2);
    EXPECT_FALSE(main->MenuBar()->isVisible());
    main->ReattachBar();
    EXPECT_TRUE(main->MenuBar()->isVisible());
    EXPECT_GT(main->BarHeight(), 0);
    form.WindowProc = previous;
}
