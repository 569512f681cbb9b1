// Tests of the record navigator: the button model and its notifications,
// enabling from a fake data side, the click protocol with the delete
// question, the layout, the press repeat on a driven clock and painting.
#include <QImage>
#include <gtest/gtest.h>

#include "platform/controls/Dialogs.h"
#include "tests/ui/foundation/ControlFixtures.h"
#include "ui/controls/vlNavigator.h"
#include "ui/editors/vlEditConsts.h"
#include "ui/foundation/vxCore.h"

namespace {

class FakeData : public IvlNavigator {
public:
    bool CanAppend() const override { return Append; }
    bool CanDelete() const override { return Delete; }
    bool CanEdit() const override { return Edit; }
    bool CanInsert() const override { return Insert; }
    bool IsActive() const override { return Active; }
    bool IsBof() const override { return Bof; }
    bool IsBookmarkAvailable() const override { return Bookmark; }
    bool IsEditing() const override { return Editing; }
    bool IsEof() const override { return Eof; }
    void ClearBookmark() override { Bookmark = false; }
    void DoAction(int AButtonIndex) override { Actions.push_back(AButtonIndex); }
    TvlNavigatorControlNotifier* GetNotifier() const override { return nullptr; }
    bool IsEnabled() const override { return true; }

    bool Append = true, Delete = true, Edit = true, Insert = true, Active = true, Bof = false, Bookmark = false,
         Editing = false, Eof = false;
    std::vector<int> Actions;
};

// Answers the delete question with a set result and counts it.
class FakeDialogs : public IDialogService {
public:
    bool ExecuteOpen(TOpenDialog&) override { return false; }
    bool BrowseForFolder(const String&, String&) override { return false; }
    int MessageBox(const String&, const String&, UINT) override { return IDCANCEL; }
    TModalResult MessageDlg(const String& Msg, TMsgDlgType Type, TMsgDlgButtons Buttons) override
    {
        ++Asked;
        LastText = Msg;
        EXPECT_EQ(Type, mtConfirmation);
        EXPECT_EQ(Buttons, (TMsgDlgButtons{mbOK, mbCancel}));
        return Answer;
    }
    int Asked = 0;
    String LastText;
    TModalResult Answer = mrOk;
};

// A host with a window, a canvas over an image and counters of what it hears.
class Host : public IvlNavigatorOwner {
public:
    explicit Host(TWinControl* AParent) : Control(std::make_unique<TCustomControl>(nullptr)), Image(400, 40, QImage::Format_RGB32)
    {
        Control->SetParent(AParent);
        Control->SetBounds(0, 0, 400, 40);
        Control->HandleNeeded();
        Image.fill(Qt::magenta);
        Canvas.SetHandle(&DC);
        Buttons = std::make_unique<TvlNavigatorControlButtons>(this);
        Buttons->OnGetControl = TvlNavigatorGetControlEvent::FromFunction([this] { return Data; });
    }
    ~Host() override { Canvas.SetHandle(nullptr); }

    void NavigatorChanged(int AChangeType) override { Kinds.push_back(AChangeType); }
    TRect GetNavigatorBounds() const override { return NavBounds; }
    TvlCustomNavigatorButtons* GetNavigatorButtons() const override { return Buttons.get(); }
    TCanvas* GetNavigatorCanvas() const override { return const_cast<TCanvas*>(&Canvas); }
    TWinControl* GetNavigatorControl() const override { return Control.get(); }
    bool GetNavigatorFocused() const override { return false; }
    TvlLookAndFeel* GetNavigatorLookAndFeel() const override { return const_cast<TvlLookAndFeel*>(&Look); }
    TComponent* GetNavigatorOwner() const override { return Control.get(); }
    bool GetNavigatorShowHint() const override { return false; }
    bool GetNavigatorTabStop() const override { return false; }
    void RefreshNavigator() override { ++Refreshes; }
    void NavigatorStateChanged() override { ++StateChanges; }

    std::unique_ptr<TCustomControl> Control;
    QImage Image;
    TDeviceContext DC{&Image};
    TCanvas Canvas;
    TvlLookAndFeel Look{nullptr};
    std::unique_ptr<TvlNavigatorControlButtons> Buttons;
    IvlNavigator* Data = nullptr;
    TRect NavBounds = Rect(0, 0, 400, 24);
    std::vector<int> Kinds;
    int StateChanges = 0;
    int Refreshes = 0;
};

class TestViewInfo : public TvlNavigatorViewInfo {
public:
    using TvlNavigatorViewInfo::TvlNavigatorViewInfo;
    TShiftState Shift;

protected:
    TShiftState GetShiftState() const override { return Shift; }
};

struct NavigatorTest : TControlUnitFixture {
    NavigatorTest()
    {
        AddvlNavigatorUnit(More);
        More.Initialize();
        App->SetDialogService(&Dialogs);
        host = std::make_unique<Host>(Form.get());
        host->Data = &data;
    }
    ~NavigatorTest() override
    {
        host.reset();
        App->SetDialogService(nullptr);
        More.Finalize();
    }
    std::vector<bool> enabled() const
    {
        std::vector<bool> r;
        for (int i = 0; i < NavigatorButtonCount; ++i)
            r.push_back(host->Buttons->Buttons(i)->IsEnabled());
        return r;
    }
    TStartupList More;
    FakeDialogs Dialogs;
    FakeData data;
    std::unique_ptr<Host> host;
};

TEST_F(NavigatorTest, ModelShowsFifteenButtonsAndReportsChangesByKind)
{
    TvlNavigatorControlButtons* b = host->Buttons.get();
    int visible = 0;
    for (int i = 0; i < NavigatorButtonCount; ++i)
        visible += b->Buttons(i)->Visible();
    EXPECT_EQ(visible, 15);
    EXPECT_FALSE(b->Append()->Visible());
    EXPECT_FALSE(b->Append()->VisibleNeedsStoring());
    EXPECT_EQ(b->Next()->GetHint(), String::fromLatin1("Next record"));
    EXPECT_EQ(b->Filter()->GetHint(), String::fromLatin1("Filter data"));

    b->Append()->SetVisible(true);
    EXPECT_TRUE(b->Append()->VisibleNeedsStoring());
    b->Next()->SetHint(String::fromLatin1("Onward|Moves to the next record"));
    b->Next()->SetHint(String::fromLatin1("Onward|Moves to the next record"));
    b->Append()->SetEnabled(false);
    b->Insert()->SetImageIndex(3);
    b->SetConfirmDelete(false);
    EXPECT_EQ(host->Kinds, (std::vector<int>{1, 0, 2, 2, 0}));
    // Visibility and the enabling or image of a visible button change the state.
    EXPECT_EQ(host->StateChanges, 3);
    EXPECT_EQ(GetShortHint(b->Next()->GetHint()), String::fromLatin1("Onward"));

    TvlNavigatorControlButtons copy(host.get());
    copy.Assign(b);
    EXPECT_TRUE(copy.Append()->Visible());
    EXPECT_TRUE(copy.Append()->VisibleNeedsStoring());
    EXPECT_FALSE(copy.ConfirmDelete());
}

TEST_F(NavigatorTest, EnablingFollowsTheDataSide)
{
    using V = std::vector<bool>;
    // 0-2 back, 3-5 forward, insert, append, delete, edit, post, cancel, refresh, save, goto, filter
    data.Active = false;
    EXPECT_EQ(enabled(), V({0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1}));
    data.Active = true;
    data.Bof = true;
    EXPECT_EQ(enabled(), V({0, 0, 0, 1, 1, 1, 1, 1, 1, 1, 0, 0, 1, 1, 0, 1}));
    data.Bof = false;
    data.Eof = true;
    data.Editing = true;
    data.Bookmark = true;
    data.Insert = false;
    EXPECT_EQ(enabled(), V({1, 1, 1, 0, 0, 0, 0, 1, 1, 0, 1, 1, 1, 1, 1, 1}));
    // A button's own Enabled wins; no data side or a disabled host: nothing.
    host->Buttons->Refresh()->SetEnabled(false);
    EXPECT_FALSE(host->Buttons->Refresh()->IsEnabled());
    host->Control->SetEnabled(false);
    EXPECT_EQ(enabled(), V(16, false));
    host->Control->SetEnabled(true);
    host->Data = nullptr;
    EXPECT_EQ(enabled(), V(16, false));
    host->Buttons->Next()->Click();
    EXPECT_EQ(host->Refreshes, 1);
}

TEST_F(NavigatorTest, ClickProtocolAndTheDeleteQuestion)
{
    TvlNavigatorControlButtons* b = host->Buttons.get();
    b->Next()->Click();
    EXPECT_EQ(data.Actions, std::vector<int>{NBDI_NEXT});
    // OnButtonClick setting ADone keeps the default action back.
    std::vector<int> seen;
    b->SetOnButtonClick(TvlNavigatorButtonClickEvent::FromFunction([&](TObject* Sender, int AIndex, bool& ADone) {
        EXPECT_EQ(Sender, b);
        seen.push_back(AIndex);
        ADone = AIndex == NBDI_LAST;
    }));
    b->Last()->Click();
    b->First()->Click();
    EXPECT_EQ(seen, (std::vector<int>{NBDI_LAST, NBDI_FIRST}));
    EXPECT_EQ(data.Actions, (std::vector<int>{NBDI_NEXT, NBDI_FIRST}));
    // A button's own OnClick replaces both.
    int own = 0;
    b->Prior()->SetOnClick(TNotifyEvent::FromFunction([&](TObject* Sender) {
        EXPECT_EQ(Sender, b->Prior());
        ++own;
    }));
    b->Prior()->Click();
    EXPECT_EQ(own, 1);
    EXPECT_EQ(seen.size(), 2u);
    b->SetOnButtonClick(TvlNavigatorButtonClickEvent());

    data.Actions.clear();
    const int refreshes = host->Refreshes;
    Dialogs.Answer = mrCancel;
    b->Delete()->Click();
    EXPECT_EQ(Dialogs.Asked, 1);
    EXPECT_EQ(Dialogs.LastText, String::fromLatin1("Delete record?"));
    EXPECT_TRUE(data.Actions.empty());
    Dialogs.Answer = mrOk;
    b->Delete()->Click();
    EXPECT_EQ(data.Actions, std::vector<int>{NBDI_DELETE});
    b->SetConfirmDelete(false);
    b->Delete()->Click();
    EXPECT_EQ(Dialogs.Asked, 2);
    EXPECT_EQ(data.Actions.size(), 2u);
    EXPECT_EQ(host->Refreshes, refreshes + 3);

    data.Bookmark = true;
    b->ReleaseBookmark();
    EXPECT_FALSE(data.Bookmark);
}

TEST_F(NavigatorTest, SpareWidthIsSharedAndTheRemainderDropped)
{
    // Three buttons whose natural width is 20.
    TRect borders;
    host->Look.GetAvailablePainterForType(totButton)->GetButtonGroupBorders(3, 1, borders);
    TImageList images(nullptr);
    images.SetWidth(19 - borders.Left - borders.Right);
    images.SetHeight(10);
    host->Buttons->SetImages(&images);
    for (int i = 0; i < NavigatorButtonCount; ++i) {
        host->Buttons->Buttons(i)->SetVisible(i < 3);
        host->Buttons->Buttons(i)->SetImageIndex(0);
    }
    TvlNavigatorViewInfo v(host.get(), true);
    ASSERT_EQ(v.Count(), 0);
    int w = 100, h = 0;
    v.CalculateBounds(w, h, false);
    EXPECT_EQ(w, 99);
    EXPECT_EQ(h, borders.Top + borders.Bottom + 1);
    ASSERT_EQ(v.Count(), 3);
    for (int k = 0; k < 3; ++k)
        EXPECT_EQ(v.Items(k)->Bounds, Rect(33 * k, 0, 33 * (k + 1), h)) << k;
    w = 50;
    v.CalculateBounds(w, h, false);
    EXPECT_EQ(w, 60);
    EXPECT_EQ(v.Items(2)->Bounds.Right, 60);
    host->Buttons->SetImages(nullptr);
}

TEST_F(NavigatorTest, PriorAndNextRepeatAt400ThenEvery100Ms)
{
    TestViewInfo v(host.get(), true);
    v.Calculate();
    auto centre = [&](int AIndex) {
        for (int k = 0; k < v.Count(); ++k)
            if (v.Items(k)->Button->Index() == AIndex) {
                const TRect r = v.Items(k)->Bounds;
                return Point((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2);
            }
        return Point(-1, -1);
    };
    const TPoint next = centre(NBDI_NEXT);
    v.Shift = {ssLeft};
    v.MouseMove(next.X, next.Y);
    v.MouseDown(next.X, next.Y);
    EXPECT_TRUE(data.Actions.empty());
    Clock.Advance(399);
    EXPECT_TRUE(data.Actions.empty());
    Clock.Advance(1);
    EXPECT_EQ(data.Actions.size(), 1u);
    Clock.Advance(200);
    EXPECT_EQ(data.Actions.size(), 3u);
    // Off the button the repeat pauses; back on it resumes.
    v.MouseMove(-1, -1);
    Clock.Advance(300);
    EXPECT_EQ(data.Actions.size(), 3u);
    v.MouseMove(next.X, next.Y);
    Clock.Advance(100);
    EXPECT_EQ(data.Actions.size(), 4u);
    v.MouseUp(next.X, next.Y);
    EXPECT_EQ(data.Actions.size(), 5u);  // the release clicks once more
    EXPECT_EQ(data.Actions, std::vector<int>(5, NBDI_NEXT));
    Clock.Advance(1000);
    EXPECT_EQ(data.Actions.size(), 5u);

    // Other buttons do not repeat; a release outside does not click.
    data.Actions.clear();
    const TPoint insert = centre(NBDI_INSERT);
    v.MouseMove(insert.X, insert.Y);
    v.MouseDown(insert.X, insert.Y);
    Clock.Advance(1000);
    EXPECT_TRUE(data.Actions.empty());
    v.MouseMove(-1, -1);
    v.MouseUp(-1, -1);
    EXPECT_TRUE(data.Actions.empty());
    // The left button found released ends the press without a click.
    v.MouseMove(next.X, next.Y);
    v.MouseDown(next.X, next.Y);
    v.Shift = {};
    Clock.Advance(400);
    EXPECT_TRUE(data.Actions.empty());
    EXPECT_EQ(v.PressedButton(), nullptr);
}

TEST_F(NavigatorTest, ModelAndViewInfoBuildAndFreeWithoutLayout)
{
    for (int i = 0; i < 3; ++i) {
        auto buttons = std::make_unique<TvlNavigatorControlButtons>(host.get());
        auto view = std::make_unique<TvlNavigatorViewInfo>(host.get(), false);
        EXPECT_TRUE(view->IsDirty());
        EXPECT_EQ(view->Count(), 0);
    }
}

TEST_F(NavigatorTest, PaintsGlyphsInEnabledAndDisabledButtons)
{
    ASSERT_NE(GetNavigatorDefaultGlyphs(), nullptr);
    EXPECT_EQ(GetNavigatorDefaultGlyphs()->Count(), 22);
    data.Bof = true;
    TvlNavigatorViewInfo v(host.get(), true);
    v.Paint();
    ASSERT_EQ(v.Count(), 15);
    auto count = [&](const TRect& R, QRgb AColor) {
        int n = 0;
        for (int y = R.Top; y < R.Bottom; ++y)
            for (int x = R.Left; x < R.Right; ++x)
                n += (host->Image.pixel(x, y) & 0xFFFFFF) == (AColor & 0xFFFFFF);
        return n;
    };
    const QRgb black = qRgb(0, 0, 0), olive = qRgb(128, 128, 0), magenta = qRgb(255, 0, 255);
    // Next is enabled: its black glyph shows, without the mask colour.
    EXPECT_GT(count(v.Items(NBDI_NEXT)->Bounds, black), 10);
    EXPECT_EQ(count(v.Items(NBDI_NEXT)->Bounds, olive), 0);
    // First is disabled at the first record: no black glyph.
    EXPECT_EQ(count(v.Items(NBDI_FIRST)->Bounds, black), 0);
    // Every button is painted over its whole rectangle.
    for (int k = 0; k < v.Count(); ++k)
        EXPECT_EQ(count(v.Items(k)->Bounds, magenta), 0) << k;
}

}  // namespace
