// The skinned menu bar: its buttons from the form's main menu, their
// layout and painting, opening their menus, moving between them with the
// arrow keys and the pointer while one is open, and the menu keys.
#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <algorithm>

#include "platform/controls/AppEventHooks.h"
#include "platform/controls/Forms.h"
#include "platform/controls/Menus.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Graphics.h"
#include "platform/graphics/SysMetrics.h"
#include "skin/SknData.h"
#include "skin/SknForm.h"
#include "skin/SknManage.h"
#include "skin/SknSubClass.h"

// ---- buttons -------------------------------------------------------------------

void TMenuBtn::MouseDown()
{
    TNCObject::MouseDown();
    if (Visible && FOwner->Form() != nullptr)
        PostMessage(FOwner->Form()->Handle(), SKIN_MENU_CLICK, 0,
                    MakeLParam(Rect.Left + Rect.Width() / 2, Rect.Top + Rect.Height() / 2));
}

void TMenuBtn::Paint()
{
    FOwner->PaintMenuButton(this);
}

// ---- the bar ---------------------------------------------------------------------

TSknMenu::TSknMenu(TSknForm* Owner) : TComponent(Owner), FSkinner(Owner) {}

TSknMenu::~TSknMenu() = default;

void TSknMenu::Build()
{
    TCustomForm* form = FSkinner->Form();
    if (form != nullptr && form->Menu() != nullptr)
        FMenu = form->Menu();
    if (FMenu == nullptr)
        return;
    if (FSkinner->MouseObject() != nullptr && dynamic_cast<TMenuBtn*>(FSkinner->MouseObject()) != nullptr)
        FSkinner->SetMouseObject(nullptr);
    FButtons.clear();
    // One menu model: the buttons come straight from the menu's items.
    TMenuItem* root = FMenu->Items();
    for (int i = 0; i < root->Count(); ++i) {
        TMenuItem* item = root->Items(i);
        auto button = std::make_unique<TMenuBtn>(FSkinner);
        button->Item = item;
        button->Caption = item->Caption();
        button->Visible = item->Visible();
        button->Enabled = item->Enabled();
        button->Command = item->Command();
        button->HasSubmenu = item->Count() > 0;
        FButtons.push_back(std::move(button));
    }
    FMenu->DetachBar();
    Layout();
}

int TSknMenu::Margin(int BarWidth) const
{
    const TSkinData* data = FSkinner->SkinData();
    const TDataSkinObject* bar = data != nullptr ? data->MenuBar.get() : nullptr;
    if (bar == nullptr)
        return 6;
    const int margin = FSkinner->RightToLeft() ? bar->RightWidth + 8 : bar->LeftWidth + 4;
    return BarWidth < margin ? 12 : margin;
}

void TSknMenu::Layout()
{
    TCustomForm* form = FSkinner->Form();
    if (form == nullptr)
        return;
    FBarRect = TRect{FSkinner->LeftWidth(), FSkinner->TopHeight(), form->Width() - FSkinner->RightWidth(),
                     FSkinner->TopHeight() + FSkinner->MenuHeight()};
    TBitmap measure;
    measure.SetSize(1, 1);
    const bool rtl = FSkinner->RightToLeft();
    const int margin = Margin(FBarRect.Width());
    int x = rtl ? FBarRect.Right - margin : FBarRect.Left + margin;
    for (const auto& button : FButtons) {
        if (!button->Visible) {
            button->Rect = TRect{0, 0, 0, 0};
            continue;
        }
        TRect text{0, 0, 0, 0};
        measure.Canvas()->TextRect(text, button->Caption, DT_SINGLELINE | DT_CALCRECT);
        const int w = text.Width() > 0 ? text.Width() + 10 : 0;
        const int bottom = FBarRect.Top + FBarRect.Height() - 1;
        if (rtl) {
            button->Rect = TRect{x - w, FBarRect.Top, x, bottom};
            x -= w;
        } else {
            button->Rect = TRect{x, FBarRect.Top, x + w, bottom};
            x += w;
        }
    }
}

void TSknMenu::Paint(TCanvas* Canvas, const TRect& Bar)
{
    TSkinData* data = FSkinner->SkinData();
    if (Canvas == nullptr || data == nullptr || Bar.Width() <= 0 || Bar.Height() <= 0)
        return;
    // The shared work bitmap while the unit runs, else one of our own.
    TBitmap own;
    TBitmap* work = SkinWorkBitmap() != nullptr ? SkinWorkBitmap() : &own;
    const int w = Bar.Width(), h = Bar.Height();
    const TRect local{0, 0, w, h};
    work->SetPixelFormat(pf24bit);
    work->SetSize(w, h);
    TCanvas* c = work->Canvas();
    c->Brush()->SetColor(data->Colors[scMenubar].Color);
    c->FillRect(local);
    if (const TDataSkinObject* bar = data->MenuBar.get(); bar != nullptr && !bar->Bitmap->Empty()) {
        const int frame = FSkinner->Active() ? 1 : 2;
        const int frames = std::max(1, bar->Frame);
        if (bar->Tile == 1)
            DrawSkinImage(c->Handle(), local, bar->Bitmap.get(), bar->Margins(), false, true, true, frames, frame);
        else
            DrawSkinBar(c, local, bar->Bitmap.get(), bar->Margins(), false, true, frames, frame);
    }
    FBarRect = Bar;
    if (!FSnapshot)
        FSnapshot = std::make_unique<TBitmap>();
    FSnapshot->Assign(work);
    Layout();
    for (const auto& button : FButtons)
        paintButton(c, button.get());
    Canvas->CopyRect(Bar, c, local);
}

void TSknMenu::paintButton(TCanvas* Canvas, const TMenuBtn* Button)
{
    if (!Button->Visible || Button->Rect.Width() <= 0)
        return;
    const TSkinData* data = FSkinner->SkinData();
    TRect r = Button->Rect;
    OffsetRect(r, -FBarRect.Left, -FBarRect.Top);
    if (Button->State == 2 || Button->State == 3) {
        Canvas->Brush()->SetColor(data->Colors[scButtonHilight].Color);
        Canvas->FrameRect(r);
    }
    const TFont menuFont;  // the screen's menu font
    Canvas->Font()->Assign(&menuFont);
    Canvas->Font()->SetColor(data->Colors[Button->Enabled ? scMenuBarText : scButtonShadow].Color);
    DrawCentredCaption(Canvas, r, Button->Caption, caCentre, true);
}

TMenuBtn* TSknMenu::ButtonAt(TPoint P) const
{
    for (const auto& button : FButtons)
        if (button->Visible && !button->Caption.isEmpty() && button->Rect.Contains(P))
            return button.get();
    return nullptr;
}

int TSknMenu::IndexOf(const TMenuBtn* Button) const
{
    for (size_t i = 0; i < FButtons.size(); ++i)
        if (FButtons[i].get() == Button)
            return int(i);
    return -1;
}

// ---- opening and switching -------------------------------------------------------

void TSknForm::PaintMenuButton(TMenuBtn*)
{
    FButtonPaintPending = true;
    InvalidateFrame();
}

QMenu* TSknForm::TrackedMenu() const
{
    return FTrackedMenu.data();
}

bool TSknForm::ShowMenuButton(TMenuBtn* Button)
{
    if (Button == nullptr || FForm == nullptr || !FMenuBar || FBarMenuOpen)
        return false;  // one bar menu at a time
    // The item's click first: it may fill its submenu.
    if (Button->Item != nullptr)
        SafeCall([&] { Button->Item->Click(); });
    if (!Button->HasSubmenu || Button->Item == nullptr || Button->Item->Count() == 0)
        return false;
    // The bar's menus are drawn from the skin, whatever SkinControls says
    // of main menus elsewhere.
    SkinMainMenu(FMenuBar->Menu());
    FTrackIndex = FMenuBar->IndexOf(Button);
    FBarMenuOpen = true;
    TSkinManage* manager = SkinManager();
    if (manager != nullptr) {
        manager->SetMenuKind(1);
        manager->SetMenuBarOpen(true);
    }
    if (!Button->Enabled) {
        FBarMenuOpen = false;
        FTrackIndex = -1;
        if (manager != nullptr)
            manager->SetMenuBarOpen(false);
        return true;
    }
    const bool rtl = FRightToLeft;
    const TPoint at = windowToScreen(TPoint{rtl ? Button->Rect.Right : Button->Rect.Left, Button->Rect.Bottom});
    Button->Item->PopupAt(at, rtl);
    QMenu* menu = Button->Item->BuildMenu();
    startMenuTracking(menu);
    // The first item is selected, as when the menu opens from the keyboard.
    for (QAction* action : menu->actions())
        if (action->isVisible() && action->isEnabled() && !action->isSeparator()) {
            menu->setActiveAction(action);
            break;
        }
    return true;
}

void TSknForm::SwitchToMenuButton(TMenuBtn* Button)
{
    if (Button == nullptr || !FMenuBar || FForm == nullptr)
        return;
    const int index = FMenuBar->IndexOf(Button);
    if (index < 0)
        return;
    if (!FBarMenuOpen || !FTrackedMenu) {
        PostMessage(FForm->Handle(), SKIN_MENU_CLICK, WPARAM(index + 1), 0);
        return;
    }
    // Closing the open menu opens the next: one request, however many
    // switches arrive before it closes.
    FSwitching = true;
    const bool closing = FPendingIndex >= 0;
    FPendingIndex = index;
    if (!closing)
        FTrackedMenu->close();
}

TMenuBtn* TSknForm::FindMenuButtonByAccel(QChar Key) const
{
    if (!FMenuBar)
        return nullptr;
    for (int i = 0; i < FMenuBar->ButtonCount(); ++i) {
        TMenuBtn* button = FMenuBar->Buttons(i);
        if (button->Enabled && button->Visible && IsAccel(Key, button->Caption))
            return button;
    }
    return nullptr;
}

void TSknForm::startMenuTracking(QMenu* Menu)
{
    FSwitching = false;
    FPendingIndex = -1;
    const QPoint p = QCursor::pos();
    FLastMouse = TPoint{p.x(), p.y()};
    FTrackedMenu = Menu;
    QObject::disconnect(FHideConnection);
    FHideConnection = QObject::connect(Menu, &QMenu::aboutToHide, [this] {
        const int pending = FPendingIndex;
        const bool switching = FSwitching;
        stopMenuTracking();
        FBarMenuOpen = false;
        if (TSkinManage* manager = SkinManager(); manager != nullptr && !switching)
            manager->SetMenuBarOpen(false);
        if (FMenuBar && FMouseObject != nullptr && dynamic_cast<TMenuBtn*>(FMouseObject) != nullptr)
            FMouseObject->MouseLeave();
        if (pending >= 0 && FForm != nullptr)
            PostMessage(FForm->Handle(), SKIN_MENU_CLICK, WPARAM(pending + 1), 0);
    });
    if (FTrackHook == 0)
        FTrackHook = AddAppEventHook([this](QObject* Receiver, QEvent* Event) { return trackEvent(Receiver, Event); });
}

void TSknForm::stopMenuTracking()
{
    RemoveAppEventHook(FTrackHook);
    FTrackHook = 0;
    QObject::disconnect(FHideConnection);
    FTrackedMenu = nullptr;
    FTrackIndex = -1;
    FPendingIndex = -1;
    FSwitching = false;
}

bool TSknForm::trackEvent(QObject* Receiver, QEvent* Event)
{
    auto* menu = qobject_cast<QMenu*>(Receiver);
    if (menu == nullptr || !FMenuBar || FTrackIndex < 0)
        return false;
    const int count = FMenuBar->ButtonCount();
    if (Event->type() == QEvent::KeyPress) {
        int key = static_cast<QKeyEvent*>(Event)->key();
        if (FRightToLeft && (key == Qt::Key_Left || key == Qt::Key_Right))
            key = key == Qt::Key_Left ? Qt::Key_Right : Qt::Key_Left;
        switch (key) {
        case Qt::Key_Return: case Qt::Key_Enter: case Qt::Key_Escape:
            FSwitching = false;
            return false;
        case Qt::Key_Alt:
            if (TSkinManage* manager = SkinManager())
                manager->SetMenuBarOpen(false);
            return false;
        case Qt::Key_Left:
            // Only from the bar's own menu; in a submenu Left goes back up.
            if (menu != FTrackedMenu.data() || count == 0)
                return false;
            SwitchToMenuButton(FMenuBar->Buttons((FTrackIndex + count - 1) % count));
            return true;
        case Qt::Key_Right: {
            const TMenuWindow* window = MenuWindowOf(menu);
            const TMenuItem* current = window != nullptr ? window->SelectedItem() : nullptr;
            if ((current != nullptr && current->Count() > 0) || count == 0)
                return false;  // Right opens the item's submenu
            SwitchToMenuButton(FMenuBar->Buttons((FTrackIndex + 1) % count));
            return true;
        }
        default: return false;
        }
    }
    if (Event->type() == QEvent::MouseMove) {
        const QPoint g = static_cast<QMouseEvent*>(Event)->globalPosition().toPoint();
        const TPoint p{g.x(), g.y()};
        if (p.X == FLastMouse.X && p.Y == FLastMouse.Y)
            return false;
        FLastMouse = p;
        TMenuBtn* button = FMenuBar->ButtonAt(ScreenToWindow(p));
        if (button != nullptr && FMenuBar->IndexOf(button) != FTrackIndex && FPendingIndex != FMenuBar->IndexOf(button))
            SwitchToMenuButton(button);
    }
    return false;
}

// ---- the form's menu messages ----------------------------------------------------

void TSknForm::menuMessage(TMessage& Message)
{
    switch (Message.Msg) {
    case SKIN_MENU_CLICK: {
        Message.Result = 0;
        if (!FMenuBar)
            return;
        TMenuBtn* button = nullptr;
        if (Message.WParam > 0 && int(Message.WParam) <= FMenuBar->ButtonCount())
            button = FMenuBar->Buttons(int(Message.WParam) - 1);
        else if (Message.WParam == 0)
            button = FMenuBar->ButtonAt(PointFromLParam(Message.LParam));
        if (button != nullptr)
            ShowMenuButton(button);
        return;
    }
    case CM_DIALOGCHAR: {
        FOldWndProc(Message);
        if (Message.Result != 0)
            return;
        const TShiftState shift = KeyDataToShiftState(Message.LParam);
        if (shift == TShiftState{ssAlt})
            if (TMenuBtn* button = FindMenuButtonByAccel(QChar(char16_t(Message.WParam)))) {
                SwitchToMenuButton(button);
                Message.Result = 1;
                return;
            }
        // A secondary form lets the main form try the key.
        if (Application != nullptr && Application->MainForm() != nullptr && Application->MainForm() != FForm
            && !FForm->Modal())
            Application->MainForm()->Perform(CM_DIALOGCHAR, Message.WParam, Message.LParam);
        Message.Result = 0;
        return;
    }
    case CM_MENUCHANGED: {
        if (FSkinData != nullptr)
            FSkinData->AllowNCPaint = false;
        FOldWndProc(Message);
        if (FSkinData != nullptr)
            FSkinData->AllowNCPaint = true;
        if (FMenuBar && FForm->Menu() != nullptr && FSkinData != nullptr && FSkinData->MenuUpdate()) {
            FMenuBar->Build();
            InvalidateFrame();
        }
        return;
    }
    default: break;
    }
}

// The menu keys of WM_SYSCOMMAND: true when consumed.
bool TSknForm::menuKey(TMessage& Message)
{
    if ((Message.WParam & 0xFFF0) != SC_KEYMENU)
        return false;
    const QChar key(char16_t(Message.LParam & 0xFFFF));
    if (key == u' ') {
        // The skinned system menu at the client area's top-left corner.
        if (FFrameSkinning && (FCaptionButtonFlags & cbSysMenu) != 0)
            ShowSystemMenu(FForm->ClientToScreen(TPoint{0, 0}));
        return false;
    }
    if (!FMenuBar || FBarMenuOpen || QWidget::mouseGrabber() != nullptr || key == u'-')
        return false;
    TMenuBtn* button = nullptr;
    if (key.isNull()) {
        for (int i = 0; i < FMenuBar->ButtonCount() && button == nullptr; ++i)
            if (FMenuBar->Buttons(i)->Visible)
                button = FMenuBar->Buttons(i);
    } else {
        button = FindMenuButtonByAccel(key);
    }
    if (button != nullptr)
        SwitchToMenuButton(button);
    return button != nullptr || key.isNull();
}
