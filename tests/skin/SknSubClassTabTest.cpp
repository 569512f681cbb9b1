// The tab skinners: page controls with their pages, close squares, and
// tabs on the left of a small tab control of the test's own.
#include "platform/controls/ComCtrls.h"
#include "platform/controls/StdCtrls.h"
#include "platform/rtl/TypInfo.h"
#include "tests/skin/SkinnerFixture.h"

using namespace skintest;

namespace {

TColor tabFrame(int k) { return RGB(uint8_t(40 * k), 180, 60); }
const TColor paneColour = RGB(120, 20, 160);
const TColor face = RGB(90, 90, 90);

QByteArray tabSkin()
{
    const QByteArray ini = "[Colours]\nButtonFace=90 90 90\n"
                           "[Tabs]\nImage=tabs.bmp\nBorder=pane.bmp\nNormalColour2=0 0 0\nMouseOverColour2=0 0 0\n";
    return packSkin({{"skin.ini", ini},
                     {"tabs.bmp", strip(10, 10, 5, tabFrame)},
                     {"pane.bmp", strip(12, 12, 1, [](int) { return paneColour; })}});
}

constexpr const char* tabPositionNames[] = {"tpTop", "tpBottom", "tpLeft", "tpRight"};
constexpr TEnumInfo tabPositionInfo{"TTabPosition", tabPositionNames};

// Two tabs down the left side, answering as a tab control does.
class TLeftTabs : public TCustomControl {
public:
    explicit TLeftTabs(TComponent* AOwner) : TCustomControl(AOwner) {}
    String ClassName() const override { return String::fromLatin1("TLeftTabs"); }
    const TClassInfo* ClassInfo() const override
    {
        static const TClassInfo info = TClassInfoBuilder<TLeftTabs>("TLeftTabs", &TControl::StaticClassInfo())
                                           .Enum("TabPosition", tabPositionInfo, [](const TLeftTabs&) { return 2; })
                                           .Build();
        return &info;
    }

protected:
    void Dispatch(TMessage& Message) override
    {
        switch (Message.Msg) {
        case TCM_GETITEMCOUNT: Message.Result = 2; return;
        case TCM_GETCURFOCUS: Message.Result = 0; return;
        case TCM_GETITEMRECT:
            *reinterpret_cast<TRect*>(Message.LParam) = TRect{0, 10 + 50 * int(Message.WParam), 24,
                                                              60 + 50 * int(Message.WParam)};
            Message.Result = 1;
            return;
        case TCM_GETITEM: reinterpret_cast<TCITEM*>(Message.LParam)->Text = QStringLiteral("Mmmm"); return;
        case TCM_ADJUSTRECT:
            *reinterpret_cast<TRect*>(Message.LParam) = TRect{28, 4, Width() - 4, Height() - 4};
            return;
        default: TCustomControl::Dispatch(Message);
        }
    }
};

class TabSkinners : public SkinnerTest {
protected:
    void SetUp() override
    {
        SkinnerTest::SetUp();
        loadSkin(tabSkin());
    }
    TPageControl* pages(int count)
    {
        auto* p = control<TPageControl>(10, 10, 260, 160);
        for (int i = 0; i < count; ++i) {
            auto* sheet = new TTabSheet(form.get());  // the form owns it
            sheet->SetPageControl(p);
            sheet->SetCaption(QStringLiteral("Page %1").arg(i));
        }
        p->SetActivePageIndex(0);
        return p;
    }
};

}  // namespace

TEST_F(TabSkinners, FocusedTabFrameTwoPaneAndFaceColouredSheets)
{
    auto* p = pages(3);
    auto* label = control<TLabel>(10, 10, 50, 15, p->Pages(0));
    label->SetCaption(QStringLiteral("on the page"));
    show();
    skin<TSkinTab>(p);
    for (int i = 0; i < p->PageCount(); ++i)
        skin<TSkinTabSheet>(p->Pages(i));
    p->Repaint();
    p->Pages(0)->Repaint();
    const QImage shot = grab(p);
    const TRect first = p->TabRect(0), second = p->TabRect(1);
    EXPECT_EQ(colourAt(shot, first.Left + 3, first.Top + 4), tabFrame(2));
    EXPECT_EQ(colourAt(shot, second.Left + 3, second.Top + 4), tabFrame(1));
    const TRect page = p->DisplayRect();
    EXPECT_EQ(colourAt(shot, page.Left - 2, page.Top + 20), paneColour);
    // The sheet: the face colour, its label on top.
    const QImage sheet = grab(p->Pages(0));
    EXPECT_EQ(colourAt(sheet, 100, 100), face);
    bool ink = false;
    for (int y = 10; y < 25; ++y)
        for (int x = 10; x < 60; ++x)
            ink |= colourAt(sheet, x, y) != face;
    EXPECT_TRUE(ink);
    // A selection change repaints the frames.
    p->SetActivePageIndex(1);
    p->Repaint();
    EXPECT_EQ(colourAt(grab(p), second.Left + 3, second.Top + 4), tabFrame(2));
}

TEST_F(TabSkinners, LeftTabsAreTurnedToReadUpwards)
{
    auto* tabs = control<TLeftTabs>(10, 10, 200, 150);
    show();
    skin<TSkinTab>(tabs);
    tabs->Repaint();
    const QImage shot = grab(tabs);
    EXPECT_EQ(colourAt(shot, 2, 12), tabFrame(2));
    EXPECT_EQ(colourAt(shot, 2, 62), tabFrame(1));
    EXPECT_EQ(colourAt(shot, 100, 75), paneColour);
    // The caption of the second tab stands upright: taller than wide.
    int left = 1000, right = -1, top = 1000, bottom = -1;
    for (int y = 60; y < 110; ++y)
        for (int x = 0; x < 24; ++x)
            if (colourAt(shot, x, y) == RGB(0, 0, 0)) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
    ASSERT_GE(right, 0);
    EXPECT_GT(bottom - top, right - left);
}

TEST_F(TabSkinners, CloseSquaresAskTheFormFirst)
{
    auto* p = pages(3);
    p->SetTag(7777);
    show();
    formSkinner->AttachForm(form.get(), data.get());
    int asked = 0;
    LRESULT answer = 1;
    const TWndMethod formProc = form->WindowProc;
    form->WindowProc = TWndMethod::FromFunction([&](TMessage& m) {
        if (m.Msg == SKIN_CLOSE_TAB) {
            ++asked;
            m.Result = answer;
            return;
        }
        formProc(m);
    });
    auto* s = skin<TSkinTab>(p);
    ASSERT_TRUE(s->ShowClose);
    show();
    grab(p);
    ASSERT_EQ(s->CloseRects.size(), 3u);
    const TRect close = s->CloseRects[1];
    ASSERT_GT(close.Width(), 0);
    // Page 1's square: the form says no, the page stays.
    p->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MakeLParam(close.Left + 2, close.Top + 2));
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(p->PageCount(), 3);
    answer = 0;
    p->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MakeLParam(close.Left + 2, close.Top + 2));
    EXPECT_EQ(asked, 2);
    EXPECT_EQ(p->PageCount(), 2);
    // A press beside the squares selects as before.
    const TRect tab = p->TabRect(1);
    p->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MakeLParam(tab.Left + 3, tab.Bottom - 3));
    EXPECT_EQ(asked, 2);
    form->WindowProc = formProc;
}
