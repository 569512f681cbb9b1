// Tests of the tab control's window: selection and its events, keys, the
// arrows' repeat on a driven clock, the close button, the go dialog, and an
// offscreen render of a three-tab control.
#include <QImage>
#include <gtest/gtest.h>

#include "tests/ui/foundation/ControlFixtures.h"
#include "ui/controls/vlPC.h"
#include "ui/controls/vlPCConsts.h"
#include "ui/controls/vlPCPainters.h"
#include "ui/foundation/vxCore.h"

namespace {

// The pointer, the mouse buttons and a pending press are the test's to set.
class TestTabControl : public TvlTabControl {
public:
    using TvlTabControl::TvlTabControl;
    using TvlTabControl::MouseDown;
    using TvlTabControl::MouseMove;
    using TvlTabControl::MouseUp;
    using TvlTabControl::DoMouseWheel;
    TPoint Cursor{-100, -100};
    TShiftState Buttons;
    bool PressPending = false;

    void addTabs(std::initializer_list<const char*> ACaptions)
    {
        Tabs()->BeginUpdate();
        for (const char* c : ACaptions)
            Tabs()->Add(String::fromLatin1(c));
        Tabs()->EndUpdate();
    }
    // A point of a navigator button (the painter's own hit test).
    TPoint buttonPoint(TvlPCNavigatorButton AButton)
    {
        for (int y = 0; y < Height(); ++y)
            for (int x = 0; x < Width(); ++x) {
                TvlPCNavigatorButton b;
                if (Painter()->GetNavigatorButtonAt(x, y, b) && b == AButton)
                    return Point(x + 2, y + 2);
            }
        ADD_FAILURE() << "no such button";
        return Point(-1, -1);
    }
    TPoint tabPoint(int AVisibleIndex) const
    {
        const TRect r = VisibleTab(AVisibleIndex)->VisibleBounds();
        return Point((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2);
    }
    void click(TPoint P)
    {
        MouseDown(mbLeft, {ssLeft}, P.X, P.Y);
        MouseUp(mbLeft, {}, P.X, P.Y);
    }

protected:
    TPoint GetMouseCursorClientPos() override { return Cursor; }
    TShiftState GetShiftState() const override { return Buttons; }
    bool IsClosingPressPending() override { return PressPending; }
};

struct TabControlTest : TControlUnitFixture {
    TabControlTest()
    {
        // The painters' units run for the whole program (see the painters' tests).
        AddvlPCUnit(More);
        More.Initialize();
    }
    ~TabControlTest() override
    {
        controls.clear();
        More.Finalize();
    }
    TestTabControl* make(int AWidth = 240, int AHeight = 120, TvlPCStyleID AStyle = 1)
    {
        controls.push_back(std::make_unique<TestTabControl>(nullptr));
        TestTabControl* c = controls.back().get();
        c->SetParent(Form.get());
        c->SetBounds(0, 0, AWidth, AHeight);
        c->Font()->SetName(String::fromLatin1("DejaVu Sans"));
        c->Font()->SetHeight(-11);
        c->HandleNeeded();
        c->SetStyle(AStyle);
        c->OnChanging = TvlTabChangingEvent::FromFunction([this](TObject*, bool& Allow) {
            ++changing;
            Allow = allow;
        });
        c->OnChange = TNotifyEvent::FromFunction([this](TObject*) { ++changes; });
        return c;
    }
    TStartupList More;
    std::vector<std::unique_ptr<TestTabControl>> controls;
    int changing = 0;
    int changes = 0;
    bool allow = true;
};

TEST_F(TabControlTest, SelectionFiresItsEventsOnlyForARealChange)
{
    TestTabControl* c = make();
    c->Tabs()->Add(String::fromLatin1("One"));
    // The first tab of an empty control is selected silently.
    EXPECT_EQ(c->TabIndex(), 0);
    c->addTabs({"Two", "Three"});
    EXPECT_EQ(changing + changes, 0);

    struct Case { int value; bool veto; int index; int changing; int changes; };
    for (const Case k : {Case{0, false, 0, 0, 0}, Case{2, true, 0, 1, 0}, Case{-2, false, 0, 0, 0},
                         Case{3, false, 0, 0, 0}, Case{2, false, 2, 1, 1}, Case{-1, false, -1, 1, 1}}) {
        changing = changes = 0;
        allow = !k.veto;
        c->SetTabIndex(k.value);
        EXPECT_EQ(c->TabIndex(), k.index) << k.value;
        EXPECT_EQ(changing, k.changing) << k.value;
        EXPECT_EQ(changes, k.changes) << k.value;
    }
    allow = true;
    c->SetTabIndex(1);
    EXPECT_EQ(c->MainTabVisibleIndex(), 1);

    // A streamed index selects its tab after loading without events.
    TestTabControl* loaded = make();
    changing = changes = 0;
    loaded->Loading();
    loaded->addTabs({"A", "B", "C"});
    loaded->SetTabIndex(2);
    loaded->Loaded();
    EXPECT_EQ(loaded->TabIndex(), 2);
    EXPECT_EQ(loaded->MainTabVisibleIndex(), 2);
    EXPECT_EQ(changing + changes, 0);
}

TEST_F(TabControlTest, KeysFollowTheRowSkippingDisabledTabs)
{
    TestTabControl* c = make(400);
    c->addTabs({"A", "B", "C", "D"});
    c->Tabs()->GetTab(2)->SetEnabled(false);
    struct Case { uint16_t key; TShiftState shift; int from; int to; bool handled; };
    for (const Case k : {Case{VK_TAB, {ssCtrl}, 3, 0, true}, Case{VK_TAB, {ssCtrl, ssShift}, 0, 3, true},
                         Case{VK_RIGHT, {}, 3, 3, true}, Case{VK_LEFT, {}, 0, 0, true},
                         Case{VK_RIGHT, {}, 1, 3, true}, Case{VK_LEFT, {}, 3, 1, true},
                         Case{VK_END, {}, 0, 3, true}, Case{VK_HOME, {}, 3, 0, true},
                         Case{VK_TAB, {}, 1, 1, false}, Case{VK_RIGHT, {ssAlt}, 1, 1, false}}) {
        c->SetTabIndex(k.from);
        uint16_t key = k.key;
        EXPECT_EQ(c->HandleNavigationKey(key, k.shift), k.handled) << k.key << " from " << k.from;
        EXPECT_EQ(c->TabIndex(), k.to) << k.key << " from " << k.from;
    }
    // An accelerator selects its tab (the control must be able to take the focus).
    Form->Show();
    c->Tabs()->Put(1, String::fromLatin1("&Bee"));
    c->SetTabIndex(0);
    EXPECT_NE(c->Perform(CM_DIALOGCHAR, 'b', 0), 0);
    EXPECT_EQ(c->TabIndex(), 1);
}

TEST_F(TabControlTest, ArrowRepeatsAt300ThenEvery150MsUntilTheEnd)
{
    TestTabControl* c = make(200);
    c->addTabs({"First tab", "Second tab", "Third tab", "Fourth tab", "Fifth tab", "Sixth tab"});
    ASSERT_TRUE(c->NavigatorButtons().Contains(nbBottomRight));
    EXPECT_EQ(c->NavigatorButtonState(nbTopLeft), nbsDisabled);
    const TPoint p = c->buttonPoint(nbBottomRight);
    c->Cursor = p;
    c->Buttons = {ssLeft};
    c->MouseDown(mbLeft, {ssLeft}, p.X, p.Y);
    EXPECT_EQ(c->FirstVisibleTab(), 1);  // one step at once
    EXPECT_EQ(c->NavigatorButtonState(nbTopLeft), nbsNormal);
    Clock.Advance(299);
    EXPECT_EQ(c->FirstVisibleTab(), 1);
    Clock.Advance(1);
    EXPECT_EQ(c->FirstVisibleTab(), 2);
    Clock.Advance(149);
    EXPECT_EQ(c->FirstVisibleTab(), 2);
    Clock.Advance(1);
    EXPECT_EQ(c->FirstVisibleTab(), 3);
    // On to the end: the arrow is disabled and the repetition ends.
    Clock.Advance(150 * 10);
    EXPECT_EQ(c->NavigatorButtonState(nbBottomRight), nbsDisabled);
    EXPECT_EQ(c->LastVisibleTab(), 5);
    EXPECT_FALSE(c->Timer()->Enabled());
    const int first = c->FirstVisibleTab();
    Clock.Advance(1000);
    EXPECT_EQ(c->FirstVisibleTab(), first);

    // Leaving the pressed arrow stops the repeat.
    const TPoint back = c->buttonPoint(nbTopLeft);
    c->MouseDown(mbLeft, {ssLeft}, back.X, back.Y);
    EXPECT_EQ(c->FirstVisibleTab(), first - 1);
    c->MouseMove({ssLeft}, 5, c->Height() - 5);
    EXPECT_EQ(c->NavigatorButtonState(nbTopLeft), nbsNormal);
    Clock.Advance(1000);
    EXPECT_EQ(c->FirstVisibleTab(), first - 1);

    // The wheel over the row scrolls one step.
    c->Buttons = {};
    const TPoint tab = c->tabPoint(c->FirstVisibleTab());
    EXPECT_TRUE(c->DoMouseWheel({}, -120, c->ClientToScreen(tab)));
    EXPECT_EQ(c->FirstVisibleTab(), first);
    EXPECT_FALSE(c->DoMouseWheel({}, -120, c->ClientToScreen(Point(5, c->Height() - 5))));
}

TEST_F(TabControlTest, CloseButtonAsksAndClosesOnlyOnARelease)
{
    TestTabControl* c = make(300);
    c->SetOptions(c->Options() + TvlPCOptions{pcoCloseButton});
    c->addTabs({"One", "Two", "Three"});
    c->SetTabIndex(1);
    bool canClose = false;
    int asked = 0;
    c->OnCanClose = TvlPCCanCloseEvent::FromFunction([&](TObject*, bool& ACanClose) {
        ++asked;
        ACanClose = canClose;
    });
    const TPoint p = c->buttonPoint(nbClose);
    c->click(p);
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(c->Tabs()->Count(), 3);
    // Released elsewhere: nothing is asked or closed.
    canClose = true;
    c->MouseDown(mbLeft, {ssLeft}, p.X, p.Y);
    c->MouseUp(mbLeft, {}, 5, c->Height() - 5);
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(c->NavigatorButtonState(nbClose), nbsNormal);
    c->click(p);
    EXPECT_EQ(asked, 2);
    ASSERT_EQ(c->Tabs()->Count(), 2);
    EXPECT_EQ(c->Tabs()->Strings(0), String::fromLatin1("One"));
    EXPECT_EQ(c->Tabs()->Strings(1), String::fromLatin1("Three"));
}

TEST_F(TabControlTest, MultiSelectInButtonStyles)
{
    TestTabControl* c = make(300, 120, 2);
    c->SetMultiSelect(true);
    c->addTabs({"One", "Two", "Three"});
    c->SetTabIndex(0);
    const TPoint second = c->tabPoint(1);
    c->MouseDown(mbLeft, {ssLeft, ssCtrl}, second.X, second.Y);
    c->MouseUp(mbLeft, {ssCtrl}, second.X, second.Y);
    EXPECT_TRUE(c->Tabs()->GetTab(1)->Selected());
    EXPECT_EQ(c->TabIndex(), 0);
    const TPoint main = c->tabPoint(0);
    c->MouseDown(mbLeft, {ssLeft, ssCtrl}, main.X, main.Y);
    c->MouseUp(mbLeft, {ssCtrl}, main.X, main.Y);
    EXPECT_EQ(c->TabIndex(), -1);
    // A plain click selects.
    c->click(c->tabPoint(2));
    EXPECT_EQ(c->TabIndex(), 2);
}

TEST_F(TabControlTest, AClickStopsWhenOnChangeFreedTheControl)
{
    TestTabControl* c = make(300, 120, 2);  // a button style clicks on release
    c->addTabs({"One", "Two"});
    c->OnChange = TNotifyEvent::FromFunction([this](TObject*) { controls.back().reset(); });
    const TPoint p = c->tabPoint(1);
    c->MouseDown(mbLeft, {ssLeft}, p.X, p.Y);
    c->MouseUp(mbLeft, {}, p.X, p.Y);
    EXPECT_EQ(controls.back(), nullptr);
}

TEST_F(TabControlTest, GoDialogListsVisibleEnabledTabs)
{
    TestTabControl* c = make(300);
    c->addTabs({"hidden", "b", "&A", "off", "c"});
    c->Tabs()->GetTab(0)->SetVisible(false);
    c->Tabs()->GetTab(3)->SetEnabled(false);
    c->SetTabIndex(4);
    auto captions = [](const std::vector<TvlTab*>& ATabs) {
        String s;
        for (const TvlTab* t : ATabs)
            s += t->Caption() + u' ';
        return s.trimmed();
    };
    EXPECT_EQ(captions(c->GoDialog()->FillTabList(false)), String::fromLatin1("b &A c"));
    EXPECT_EQ(captions(c->GoDialog()->FillTabList(true)), String::fromLatin1("&A b c"));
    c->GoDialog()->BuildItems(true);
    TMenuItem* items = c->GoDialog()->Items();
    ASSERT_EQ(items->Count(), 3);
    struct Case { int tag; bool checked; };
    const Case expected[] = {{2, false}, {1, false}, {4, true}};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(items->Items(i)->Tag(), expected[i].tag) << i;
        EXPECT_EQ(items->Items(i)->Checked(), expected[i].checked) << i;
        EXPECT_EQ(items->Items(i)->Default(), expected[i].checked) << i;
    }
    items->Items(0)->Click();
    EXPECT_EQ(c->TabIndex(), 2);
    c->SetEnabled(false);
    EXPECT_TRUE(c->GoDialog()->FillTabList(false).empty());
}

TEST_F(TabControlTest, ThePressThatClosedTheMenuDoesNotReopenIt)
{
    TestTabControl* c = make(300);
    c->SetOptions(c->Options() + TvlPCOptions{pcoGoDialog});
    c->addTabs({"One", "Two"});
    int popups = 0;
    c->GoDialog()->OnPopup = TNotifyEvent::FromFunction([&](TObject*) { ++popups; });
    const TPoint p = c->buttonPoint(nbGoDialog);
    c->click(p);
    EXPECT_EQ(popups, 1);
    EXPECT_TRUE(c->GoDialogShowing());
    ASSERT_NE(c->GoDialog()->Menu(), nullptr);
    // A press on the button closes the menu, then reaches the control.
    c->PressPending = true;
    c->GoDialog()->Menu()->hide();
    c->PressPending = false;
    EXPECT_FALSE(c->GoDialogShowing());
    c->click(p);
    EXPECT_EQ(popups, 1);
    EXPECT_EQ(c->NavigatorButtonState(nbGoDialog), nbsNormal);
    // The next press opens it again.
    c->click(p);
    EXPECT_EQ(popups, 2);
    c->GoDialog()->Menu()->hide();
}

TEST_F(TabControlTest, RotateAndStyleAndOptions)
{
    TestTabControl* c = make();
    c->addTabs({"One", "Two"});
    c->SetStyle(10);  // the notebook style cannot rotate
    EXPECT_EQ(c->Painter()->GetStyleID(), 10);
    const String message = [&] {
        try {
            c->SetRotate(true);
        } catch (const Exception& e) {
            return e.Message();
        }
        return String();
    }();
    EXPECT_EQ(message, c->Painter()->PainterClass()->GetStyleName() +
                           String::fromLatin1(" style does not support rotation of tabs"));
    EXPECT_FALSE(c->Rotate());
    c->SetStyle(1);
    c->SetRotate(true);
    c->SetStyle(10);
    EXPECT_FALSE(c->Rotate());
    // The default style follows the look.
    c->SetStyle(0);
    EXPECT_EQ(c->Style(), 0);
    EXPECT_EQ(c->Painter()->GetStyleID(), PaintersFactory()->GetStyleIDByLookAndFeel(c->LookAndFeel()));
    // pcoSort alone neither relayouts nor repaints.
    const int first = c->VisibleTab(1)->NormalPosition().X;
    c->SetOptions(c->Options() + TvlPCOptions{pcoSort});
    EXPECT_EQ(c->VisibleTab(1)->NormalPosition().X, first);
    // The page rectangle in the property table.
    const TPropInfo* top = c->ClassInfo()->FindProp(String::fromLatin1("ClientRectTop"));
    ASSERT_NE(top, nullptr);
    EXPECT_EQ(std::get<int64_t>(top->Getter(c)), c->GetDisplayRect().Top);
}

TEST_F(TabControlTest, ThreeTabsRenderWithTheirFrameAndTheHotTab)
{
    TestTabControl* c = make(240, 120, 1);
    c->addTabs({"One", "Two", "Three"});
    c->SetHotTrack(true);
    c->SetTabIndex(0);
    c->Cursor = c->tabPoint(2);
    c->MouseMove({}, c->Cursor.X, c->Cursor.Y);
    EXPECT_EQ(c->HotTab(), 2);
    QImage image(c->Width(), c->Height(), QImage::Format_RGB32);
    image.fill(Qt::magenta);
    c->PaintTo(image);
    auto rgb = [](TColor AColor) {
        const TColor v = ColorToRGB(AColor);
        return qRgb(GetRValue(v), GetGValue(v), GetBValue(v));
    };
    TRect f;
    c->Painter()->GetFrameArea(f);
    const int y = (f.Top + f.Bottom) / 2;
    EXPECT_EQ(image.pixel(f.Left, y), rgb(clBtnHighlight));
    EXPECT_EQ(image.pixel(f.Right - 1, y), rgb(cl3DDkShadow));
    EXPECT_EQ(image.pixel(f.Right - 2, y), rgb(clBtnShadow));
    auto count = [&](const TRect& R, QRgb AColor) {
        int n = 0;
        for (int yy = R.Top; yy < R.Bottom; ++yy)
            for (int xx = R.Left; xx < R.Right; ++xx)
                n += image.pixel(xx, yy) == AColor;
        return n;
    };
    // The hot tab's caption takes the hot colour; the others do not.
    EXPECT_GT(count(c->VisibleTab(2)->VisibleBounds(), rgb(clHotLight)), 0);
    EXPECT_EQ(count(c->VisibleTab(1)->VisibleBounds(), rgb(clHotLight)), 0);
    EXPECT_GT(count(c->VisibleTab(1)->VisibleBounds(), rgb(clBtnText)), 0);
}

}  // namespace
