// Tests of the container popups on shown offscreen windows: which presses,
// hides, keys and activations close open popups, and which reach the
// windows behind them.
#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTimer>
#include <QWidget>
#include <gtest/gtest.h>
#include <set>

#include "ContainerUnitFixture.h"
#include "platform/controls/ExtCtrls.h"
#include "platform/controls/StdCtrls.h"
#include "ui/foundation/vlContainer.h"

namespace {

void press(QWidget* W, QPoint P = QPoint(3, 3), Qt::KeyboardModifiers Modifiers = {})
{
    QMouseEvent down(QEvent::MouseButtonPress, P, W->mapToGlobal(P), Qt::LeftButton, Qt::LeftButton, Modifiers);
    QApplication::sendEvent(W, &down);
    QMouseEvent up(QEvent::MouseButtonRelease, P, W->mapToGlobal(P), Qt::LeftButton, Qt::NoButton, Modifiers);
    QApplication::sendEvent(W, &up);
}

void key(QWidget* W, int Key, Qt::KeyboardModifiers Modifiers, const QString& Text = {})
{
    QKeyEvent down(QEvent::KeyPress, Key, Modifiers, Text);
    QApplication::sendEvent(W, &down);
    QKeyEvent up(QEvent::KeyRelease, Key, Modifiers, Text);
    QApplication::sendEvent(W, &up);
}

// A popup that may withhold the press that closes it.
class TTestPopup : public TvlCustomPopupWindow {
public:
    using TvlCustomPopupWindow::TvlCustomPopupWindow;
    bool Absorbs = false;
    bool AbsorbsClosingClick(QWidget*, UINT, const TPoint&, TShiftState) override { return Absorbs; }
};

// A drop-down button: a press opens its popup unless that press just
// closed it.
class TDropDownButton : public TCustomControl {
public:
    using TCustomControl::TCustomControl;
    TvlCustomPopupWindow* Popup = nullptr;
    int Presses = 0;

protected:
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override
    {
        TCustomControl::MouseDown(Button, Shift, X, Y);
        ++Presses;
        if (Popup->ClosedByOwnerClick())
            Popup->SetClosedByOwnerClick(false);
        else
            Popup->PopupWithFocus(nullptr);
    }
};

struct Popups : TContainerUnitFixture {
    ~Popups() override { Popups_.clear(); }
    template <class T>
    T* add(TWinControl* Parent, TRect Bounds)
    {
        auto* c = new T(Form.get());
        c->SetParent(Parent);
        c->SetBoundsRect(Bounds);
        return c;
    }
    // A 100 x 80 popup below its owner; modeless, and by default never
    // taking the focus.
    TTestPopup* popup(TWinControl* Owner, bool CaptureFocus = false)
    {
        auto p = std::make_unique<TTestPopup>(Owner);
        p->SetCaptureFocus(CaptureFocus);
        p->SetModalMode(false);
        p->OwnerParent = Owner;
        p->OwnerBounds = Owner->ClientRect();
        p->Adjustable = false;
        p->SetBounds(0, 0, 100, 80);
        Popups_.push_back(std::move(p));
        return static_cast<TTestPopup*>(Popups_.back().get());
    }
    void clicked(TObject*) { ++Clicks; }

    std::vector<std::unique_ptr<TvlCustomPopupWindow>> Popups_;
    int Clicks = 0;
};

TEST_F(Popups, TheClosingPressReachesTheWindowBehindUnlessThePopupAbsorbsIt)
{
    auto* owner = add<TEdit>(Form.get(), Bounds(10, 10, 120, 21));
    auto* button = add<TButton>(Form.get(), Bounds(10, 200, 75, 25));
    button->OnClick = TNotifyEvent(this, &Popups::clicked);
    TTestPopup* p = popup(owner);
    for (bool absorbs : {false, true}) {
        SCOPED_TRACE(absorbs);
        Clicks = 0;
        p->Absorbs = absorbs;
        p->PopupWithFocus(nullptr);
        ASSERT_TRUE(p->IsVisible());
        ASSERT_TRUE(p->Widget()->isVisible());
        press(button->Widget());
        EXPECT_FALSE(p->IsVisible());
        EXPECT_FALSE(p->Widget()->isVisible());
        EXPECT_EQ(OpenPopupCount(), 0);
        EXPECT_EQ(Clicks, absorbs ? 0 : 1);
    }
    // A press inside the popup closes nothing.
    p->PopupWithFocus(nullptr);
    press(p->Widget());
    EXPECT_TRUE(p->IsVisible());
}

TEST_F(Popups, APressOnTheOwnersButtonClosesThePopupWithoutOpeningItAgain)
{
    auto* dropDown = add<TDropDownButton>(Form.get(), Bounds(10, 10, 20, 20));
    TTestPopup* p = popup(dropDown);
    p->Absorbs = true;
    dropDown->Popup = p;
    int closed = 0;
    p->OnClosed = TNotifyEvent::FromFunction([&](TObject*) { ++closed; });

    press(dropDown->Widget());
    ASSERT_TRUE(p->IsVisible());
    press(dropDown->Widget());
    EXPECT_EQ(dropDown->Presses, 2);  // the press still reached the button
    EXPECT_FALSE(p->IsVisible());
    EXPECT_EQ(closed, 1);
    EXPECT_FALSE(p->ClosedByOwnerClick());  // read and cleared by the button
    press(dropDown->Widget());
    EXPECT_TRUE(p->IsVisible());

    // Without absorbing, the same press closes and opens it again.
    p->Absorbs = false;
    press(dropDown->Widget());
    EXPECT_TRUE(p->IsVisible());
    EXPECT_EQ(closed, 2);
}

TEST_F(Popups, APopupOpenedFromAPopupKeepsBoth)
{
    auto* owner = add<TEdit>(Form.get(), Bounds(10, 10, 120, 21));
    TTestPopup* first = popup(owner, true);
    first->SetBounds(0, 0, 150, 100);
    auto* inner = new TEdit(first);
    inner->SetParent(first);
    inner->SetBounds(5, 5, 100, 21);
    first->PopupWithFocus(nullptr);
    ASSERT_TRUE(first->IsVisible());
    TTestPopup* second = popup(inner, true);
    second->PopupWithFocus(nullptr);
    ASSERT_EQ(OpenPopupCount(), 2);
    QApplication::processEvents();

    press(second->Widget());
    EXPECT_TRUE(first->IsVisible());
    EXPECT_TRUE(second->IsVisible());
    EXPECT_EQ(OpenPopup(1), second);

    // Another window of the program taking the activation closes both.
    Form->Widget()->activateWindow();
    QApplication::setActiveWindow(Form->Widget());
    QApplication::processEvents();
    EXPECT_EQ(OpenPopupCount(), 0);
}

TEST_F(Popups, HidingTheOwnerClosesItsPopupAndEveryLaterOne)
{
    std::vector<TEdit*> owners;
    std::vector<TTestPopup*> popups;
    for (int i = 0; i < 3; ++i) {
        owners.push_back(add<TEdit>(Form.get(), Bounds(10, 10 + 30 * i, 120, 21)));
        popups.push_back(popup(owners.back()));
        popups.back()->PopupWithFocus(nullptr);
    }
    ASSERT_EQ(OpenPopupCount(), 3);
    owners[1]->Hide();
    EXPECT_TRUE(popups[0]->IsVisible());
    EXPECT_FALSE(popups[1]->IsVisible());
    EXPECT_FALSE(popups[2]->IsVisible());
    // Hiding the form hides the last owner with it.
    Form->Hide();
    EXPECT_EQ(OpenPopupCount(), 0);
}

TEST_F(Popups, AltKeysAreWithheldFromTheOwnersFormWhileAModelessPopupIsOpen)
{
    auto* owner = add<TEdit>(Form.get(), Bounds(10, 10, 120, 21));
    std::set<uint16_t> keys;
    Form->SetKeyPreview(true);
    Form->OnKeyDown = TKeyEvent::FromFunction([&](TObject*, uint16_t& Key, TShiftState Shift) {
        if (Shift.Contains(ssAlt))
            keys.insert(Key);
    });
    TTestPopup* p = popup(owner);
    p->PopupWithFocus(owner);
    key(owner->Widget(), Qt::Key_F, Qt::AltModifier, QStringLiteral("f"));
    key(owner->Widget(), Qt::Key_Down, Qt::AltModifier);
    EXPECT_EQ(keys, std::set<uint16_t>{VK_DOWN});
    p->CloseUp();
    key(owner->Widget(), Qt::Key_F, Qt::AltModifier, QStringLiteral("f"));
    EXPECT_EQ(keys, (std::set<uint16_t>{VK_DOWN, uint16_t('F')}));
}

TEST_F(Popups, TheModalLoopEndsWithAModalResultOrAPostedClose)
{
    auto* owner = add<TEdit>(Form.get(), Bounds(10, 10, 120, 21));
    TTestPopup* p = popup(owner, true);
    p->SetModalMode(true);
    for (bool posted : {false, true}) {
        SCOPED_TRACE(posted);
        QTimer::singleShot(0, [&] {
            EXPECT_TRUE(p->IsVisible());
            if (posted)
                p->ClosePopup();
            else
                p->SetModalResult(mrOk);
        });
        p->PopupWithFocus(nullptr);  // returns once closed
        EXPECT_FALSE(p->IsVisible());
        EXPECT_EQ(p->DeactivateLockCount(), 0);
    }
}

TEST_F(Popups, ListingTwiceAndInstallingTheHookTwiceAreProgrammingErrors)
{
    auto* owner = add<TEdit>(Form.get(), Bounds(10, 10, 120, 21));
    TTestPopup* p = popup(owner);
    p->PopupWithFocus(nullptr);
    auto message = [](auto&& Fn) {
        try {
            Fn();
        } catch (const Exception& E) {
            return E.Message();
        }
        return String();
    };
    EXPECT_TRUE(message([&] { AddOpenPopup(p); }).startsWith(QStringLiteral("Assertion failure")));
    p->CloseUp();
    EXPECT_TRUE(message([&] { RemoveOpenPopup(p); }).startsWith(QStringLiteral("Assertion failure")));
    ASSERT_TRUE(ArePopupHooksInstalled());
    EXPECT_TRUE(message([] { InstallPopupHooks(); }).startsWith(QStringLiteral("Assertion failure")));
    EXPECT_TRUE(ArePopupHooksInstalled());
}

TEST_F(Popups, DestroyingAnOpenPopupOnlyUnlistsIt)
{
    auto* owner = add<TEdit>(Form.get(), Bounds(10, 10, 120, 21));
    TTestPopup* p = popup(owner);
    int closed = 0;
    p->OnClosed = TNotifyEvent::FromFunction([&](TObject*) { ++closed; });
    p->PopupWithFocus(nullptr);
    Popups_.clear();
    EXPECT_EQ(OpenPopupCount(), 0);
    EXPECT_EQ(closed, 0);
}

TEST_F(Popups, AnOpenDropDownCountsAsPartOfTheControlItWasOpenedFrom)
{
    auto* panel = add<TPanel>(Form.get(), Bounds(10, 10, 200, 60));
    auto* owner = add<TEdit>(panel, Bounds(5, 5, 120, 21));
    auto* other = add<TEdit>(Form.get(), Bounds(10, 100, 120, 21));
    TTestPopup* first = popup(owner, true);
    first->SetBounds(0, 0, 150, 100);
    auto* inner = new TEdit(first);
    inner->SetParent(first);
    inner->SetBounds(5, 5, 100, 21);
    TTestPopup* second = popup(inner, true);

    EXPECT_FALSE(IsChildWindow(owner, first->Handle()));  // closed popups are not searched
    first->PopupWithFocus(nullptr);
    second->PopupWithFocus(nullptr);
    ASSERT_EQ(OpenPopupCount(), 2);
    EXPECT_TRUE(IsChildWindow(owner, first->Handle()));
    EXPECT_TRUE(IsChildWindow(owner, inner->Handle()));
    EXPECT_TRUE(IsChildWindow(owner, second->Handle()));  // opened from inside the drop-down
    EXPECT_TRUE(IsChildWindow(panel, first->Handle()));   // through the panel's child
    EXPECT_TRUE(IsChildWindow(first, second->Handle()));
    EXPECT_FALSE(IsChildWindow(owner, owner->Handle()));
    EXPECT_FALSE(IsChildWindow(other, first->Handle()));
    EXPECT_FALSE(IsChildWindow(second, first->Handle()));
}

}  // namespace
