// The form skinner's frame: the window's facts read from the form, the
// border sizes, the client placement and hit test, painting the borders,
// the caption and its buttons, the window's shape, and the caption
// buttons' states and actions.
#include <QApplication>
#include <algorithm>
#include <chrono>

#include "platform/controls/Forms.h"
#include "platform/controls/Menus.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Graphics.h"
#include "platform/graphics/SysMetrics.h"
#include "skin/SknData.h"
#include "skin/SknForm.h"
#include "skin/SknManage.h"

namespace {

TDataSkinBorder* border(TSkinData* data, int which)
{
    switch (which) {
    case 1: return data->Left.get();
    case 2: return data->Right.get();
    case 3: return data->Top.get();
    case 4: return data->Bottom.get();
    default: return nullptr;
    }
}

bool usable(const TDataSkinObject* object)
{
    return object != nullptr && !object->Bitmap->Empty();
}

}  // namespace

// ---- non-client objects ------------------------------------------------------

void TNCObject::MouseDown()
{
    if (TNCObject* other = FOwner->MouseObject(); other != nullptr && other != this)
        other->MouseLeave();
    if (!Visible)
        return;
    FOwner->SetMouseObject(this);
    State = 2;
    Paint();
}

void TNCObject::MouseUp()
{
    if (!Visible)
        return;
    State = 3;
    Paint();
}

void TNCObject::MouseMove()
{
    if (FOwner->MouseObject() == this)
        return;
    if (TNCObject* other = FOwner->MouseObject())
        other->MouseLeave();
    if (!Visible)
        return;
    FOwner->SetMouseObject(this);
    State = 3;
    Paint();
}

void TNCObject::MouseLeave()
{
    if (!Visible)
        return;
    FOwner->SetMouseObject(nullptr);
    State = 1;
    Paint();
    if (TSkinData* data = FOwner->SkinData()) {
        data->HideCaptionHint();
        data->HintTime = 0;
    }
}

void TWinSysButton::Paint()
{
    FOwner->PaintCaptionButton(this, State);
}

// ---- the window's facts ----------------------------------------------------------

void TSknForm::ReadStyles()
{
    if (FForm == nullptr || FSkinData == nullptr)
        return;
    FFrameSkinning = FSkinData->SkinControls().Contains(xcMainMenu);
    const String className = FForm->ClassName();
    FDialogBox = className == QLatin1String("TMessageForm");
    switch (FForm->BorderStyle()) {
    case bsSizeable: case bsSizeToolWin: FBorderKind = bkSizeable; break;
    case bsSingle: case bsToolWindow: FBorderKind = bkFixed; break;
    case bsNone: FBorderKind = bkNoCaption; break;
    case bsDialog: FBorderKind = bkDialog; break;
    }
    if (FDialogBox)
        FBorderKind = bkDialog;
    const TBorderIcons icons = FForm->BorderIcons();
    FCaptionButtonFlags = 0;
    // Dialog frames carry no minimise or maximise box, whatever the icons say.
    if (icons.Contains(biMaximize) && FBorderKind != bkDialog)
        FCaptionButtonFlags |= cbMaximize;
    if (icons.Contains(biMinimize) && FBorderKind != bkDialog)
        FCaptionButtonFlags |= cbMinimize;
    if (icons.Contains(biHelp))
        FCaptionButtonFlags |= cbHelp;
    if (icons.Contains(biSystemMenu) && FBorderKind != bkNoCaption)
        FCaptionButtonFlags |= cbSysMenu;
    FPopupWindow = FForm->Owner() != nullptr && dynamic_cast<TCustomForm*>(FForm->Owner()) != nullptr;
    switch (FForm->WindowState()) {
    case wsMaximized: FWindowState = wkMaximized; break;
    case wsMinimized: FWindowState = wkMinimized; break;
    default: FWindowState = wkNormal; break;
    }
}

// ---- metrics, client and hit test ------------------------------------------------

void TSknForm::ComputeFrameMetrics()
{
    if (FSkinData == nullptr || !FSkinData->SkinLoaded())
        return;
    FLeftWidth = FTopHeight = FRightWidth = FBottomHeight = FMenuHeight = 0;
    if (FBorderKind != bkNoCaption) {
        // Frame counts are at least 1 once a skin is parsed; an empty image gives 0.
        auto part = [](const TDataSkinBorder* b, bool vertical) {
            if (!usable(b))
                return 0;
            const int count = std::max(1, b->Frame);
            return (vertical ? b->Bitmap->Height() : b->Bitmap->Width()) / count;
        };
        FTopHeight = part(FSkinData->Top.get(), true);
        FBottomHeight = part(FSkinData->Bottom.get(), true);
        FLeftWidth = part(FSkinData->Left.get(), false);
        FRightWidth = part(FSkinData->Right.get(), false);
        if (FMenuBar)
            FMenuHeight = GetSystemMetrics(SM_CYMENU);
    }
    BuildCaptionButtons();
}

TRect TSknForm::ClientInWindow(const TRect& Window) const
{
    if (FBorderKind == bkNoCaption)
        return Window;
    return TRect{Window.Left + FLeftWidth, Window.Top + FTopHeight + FMenuHeight, Window.Right - FRightWidth,
                 Window.Bottom - FBottomHeight};
}

LRESULT TSknForm::HitTest(TPoint P, LRESULT Previous) const
{
    if (Previous != HTNOWHERE && Previous != HTCAPTION)
        return Previous;
    LRESULT result = Previous;
    if (P.Y > 3)
        result = HTCAPTION;
    if (P.Y >= FTopHeight && FMenuHeight > 0)
        result = HTMENU;
    return result;
}

TPoint TSknForm::ScreenToWindow(TPoint P) const
{
    if (FForm == nullptr)
        return P;
    const TPoint origin = FForm->ClientToScreen(TPoint{0, 0});
    return TPoint{P.X - origin.X + FLeftWidth, P.Y - origin.Y + FTopHeight + FMenuHeight};
}

// ---- painting ----------------------------------------------------------------

void TSknForm::PaintBorder(int Which, const TRect& R, TCanvas* Canvas)
{
    TDataSkinBorder* b = FSkinData != nullptr ? border(FSkinData, Which) : nullptr;
    if (!usable(b) || R.Width() <= 0 || R.Height() <= 0 || Canvas == nullptr)
        return;
    const int frames = std::max(1, b->Frame);
    const int frame = FActive || frames == 1 ? 1 : 2;
    const bool vertical = Which == 3 || Which == 4;
    const std::unique_ptr<TBitmap> image = BuildSkinImage(TRect{0, 0, R.Width(), R.Height()}, b->Bitmap.get(),
                                                          b->Margins(), vertical, b->Tile != 1, frames, frame);
    if (image)
        Canvas->CopyRect(R, image->Canvas(), TRect{0, 0, R.Width(), R.Height()});
}

void TSknForm::PaintNC(TCanvas* Canvas, int W, int H)
{
    if (Canvas == nullptr || FSkinData == nullptr || FBorderKind == bkNoCaption)
        return;
    try {
        if (FWindowState == wkMinimized) {
            PaintCaption(Canvas, W);
            return;
        }
        PaintBorder(1, TRect{0, 0, FLeftWidth, H}, Canvas);
        PaintBorder(2, TRect{W - FRightWidth, 0, W, H}, Canvas);
        PaintBorder(4, TRect{FLeftWidth, H - FBottomHeight, W - FRightWidth, H}, Canvas);
        PaintCaption(Canvas, W);
        const TRect bar{FLeftWidth, FTopHeight, W - FRightWidth, FTopHeight + FMenuHeight};
        if (FMenuBar) {
            FMenuBar->Paint(Canvas, bar);
        } else if (FMenuHeight > 0) {
            Canvas->Brush()->Assign(FSkinData->ButtonFaceBrush.get());
            Canvas->FillRect(bar);
        }
        // A paint of the whole frame forgets the object under the mouse;
        // one asked for by a button's change of state keeps it.
        if (!FButtonPaintPending)
            FMouseObject = nullptr;
        FButtonPaintPending = false;
    } catch (const Exception&) {
        // A broken skin never stops the window's messages.
    }
}

void TSknForm::PaintCaption(TCanvas* Canvas, int W)
{
    const TRect caption{0, 0, W, FTopHeight};
    if (caption.Width() <= 0 || caption.Height() <= 0)
        return;
    TBitmap buffer;
    buffer.SetPixelFormat(pf24bit);
    buffer.SetSize(caption.Width(), caption.Height());
    buffer.Canvas()->CopyRect(caption, Canvas, caption);
    if (FWindowState == wkMinimized) {
        buffer.Canvas()->Brush()->Assign(FSkinData->ButtonFaceBrush.get());
        buffer.Canvas()->FillRect(caption);
        PaintBorder(3, caption, buffer.Canvas());
    } else {
        PaintBorder(3, TRect{FLeftWidth, 0, W - FRightWidth, FTopHeight}, buffer.Canvas());
    }
    PaintCaptionText(buffer.Canvas(), caption);
    LayoutCaptionButtons(W);
    PaintCaptionButtons(buffer.Canvas());
    Canvas->CopyRect(caption, buffer.Canvas(), caption);
}

void TSknForm::PaintCaptionText(TCanvas* Canvas, const TRect& R)
{
    const TDataSkinTitle* title = FSkinData->Title.get();
    if (title == nullptr || FForm == nullptr)
        return;
    const String text = String::fromLatin1("  ") + FForm->Caption() + u' ';
    int b = 0;
    for (size_t i = 0; i < FCaptionButtons.size(); ++i) {
        const TDataSkinSysButton* sb = FCaptionButtons[i]->SkinButton;
        if (sb->Align == 1 && FCaptionButtons[i]->Visible && !sb->Bitmap->Empty())
            b = std::max(b, sb->XCoord);
    }
    if (FSkinData->CaptionFont() != nullptr)
        Canvas->Font()->Assign(FSkinData->CaptionFont());
    Canvas->Font()->SetColor(FSkinData->Colors[FActive ? scTitleTextActive : scTitleTextNoActive].Color);
    Canvas->Brush()->SetStyle(bsClear);
    TRect measure{0, 0, 0, 0};
    Canvas->TextRect(measure, text, DT_SINGLELINE | DT_NOPREFIX | DT_CALCRECT);
    const int w = measure.Width(), h = measure.Height();
    const int textShift = title->LeftWidth, shiftVert = title->TopHeight, rightClip = title->RightWidth;
    const int a = title->TXTBackleft + title->TXTBackRight + R.Left + w;
    int c = 0;
    if (!FRightToLeft) {
        switch (title->TextAlignment) {
        case 1: c = (R.Right - a) / 2; break;
        case 2: c = R.Right - rightClip - a; break;
        default: c = textShift; break;
        }
    } else {
        switch (title->TextAlignment) {
        case 1: c = (R.Right - b - a) / 2; break;
        case 2: c = textShift; break;
        default: c = R.Right - b - a; break;
        }
    }
    TRect t;
    t.Left = R.Left + c;
    t.Top = R.Top + (R.Height() - h) / 2 + shiftVert / 2;
    t.Right = t.Left + w;
    t.Bottom = t.Top + h;
    if (FRightToLeft && c < 1) {
        const int width = t.Width();
        t.Left = textShift;
        t.Right = t.Left + width;
    }
    if (FRightToLeft) {
        OffsetRect(t, 10, 0);
    } else if (FPopupWindow) {
        if (b > 5)
            t.Right = std::min(t.Right, R.Right - b - 5);
    } else {
        t.Right = std::min(t.Right, R.Right - rightClip);
    }
    if (FBorderKind == bkDialog && title->TextAlignment == 0)
        t.Left -= 16;
    FCaptionTextRect = t;
    if (!title->Bitmap->Empty())
        DrawSkinBar(Canvas, TRect{t.Left, R.Top, t.Right, R.Bottom}, title->Bitmap.get(),
                    TRect{title->TXTBackleft, 0, title->TXTBackRight, 0}, false, true, 2, FActive ? 1 : 2);
    TRect inner{t.Left + title->TXTBackleft, t.Top, t.Right - title->TXTBackRight, t.Bottom};
    uint32_t flags = DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS;
    if (FRightToLeft)
        flags |= DT_RIGHT | DT_RTLREADING;
    if (inner.Right > inner.Left)
        Canvas->TextRect(inner, text, flags);
    Canvas->Brush()->SetStyle(bsSolid);
}

TRegion TSknForm::WindowRegion(int W, int H)
{
    if (FSkinData == nullptr || W <= 0 || H <= 0)
        return TRegion();
    bool anyTrans = false;
    for (int which = 1; which <= 4; ++which)
        if (TDataSkinBorder* b = border(FSkinData, which); b != nullptr && b->Trans == 1 && usable(b))
            anyTrans = true;
    if (!anyTrans)
        return TRegion();
    QRegion region(FLeftWidth, FTopHeight, W - FLeftWidth - FRightWidth, H - FTopHeight - FBottomHeight);
    if (FBorderKind != bkNoCaption) {
        auto add = [&](int which, const TRect& r, bool plain) {
            if (r.Width() <= 0 || r.Height() <= 0)
                return;
            TDataSkinBorder* b = border(FSkinData, which);
            if (plain || !usable(b) || b->Trans != 1) {
                region = region.united(QRect(r.Left, r.Top, r.Width(), r.Height()));
                return;
            }
            TBitmap part;
            part.SetPixelFormat(pf24bit);
            part.SetSize(r.Width(), r.Height());
            PaintBorder(which, TRect{0, 0, r.Width(), r.Height()}, part.Canvas());
            region = region.united(
                CreateRegionFromBitmap(&part, r.Left, r.Top, 0, 0, 0, SkinKeyColor).Region());
        };
        if (H > 1) {
            add(1, TRect{0, 0, FLeftWidth, H}, false);
            add(2, TRect{W - FRightWidth, 0, W, H}, false);
        }
        if (FTopHeight > 1)
            add(3, TRect{FLeftWidth, 0, W - FRightWidth, FTopHeight}, false);
        add(4, TRect{FLeftWidth, H - FBottomHeight, W - FRightWidth, H}, FBottomHeight < 2);
    }
    return TRegion(region);
}

// ---- caption buttons -----------------------------------------------------------

void TSknForm::BuildCaptionButtons()
{
    FMouseObject = nullptr;
    FCaptionButtons.clear();
    if (FSkinData == nullptr)
        return;
    for (const auto& sb : FSkinData->CaptionButtons) {
        if (sb->Action == 3 || sb->Action == 11) {
            BuildWindowIcon();
            if (sb->Bitmap->Empty() && FWindowIcon && !FWindowIcon->Empty()) {
                sb->Bitmap->Assign(FWindowIcon.get());
                sb->Frame = 1;
                if (FSkinData->AppIconBitmap()->Empty())
                    FSkinData->AppIconBitmap()->Assign(FWindowIcon.get());
            }
        }
        FCaptionButtons.push_back(std::make_unique<TWinSysButton>(this, sb.get()));
    }
}

void TSknForm::BuildWindowIcon()
{
    const int w = GetSystemMetrics(SM_CXSMICON), h = GetSystemMetrics(SM_CYSMICON);
    if (!FWindowIcon)
        FWindowIcon = std::make_unique<TBitmap>();
    FWindowIcon->SetPixelFormat(pf16bit);
    FWindowIcon->SetSize(w, h);
    FWindowIcon->Canvas()->Brush()->SetColor(SkinKeyColor);
    FWindowIcon->Canvas()->FillRect(TRect{0, 0, w, h});
    if (FForm == nullptr)
        return;
    LRESULT icon = FForm->Perform(WM_GETICON, ICON_SMALL);
    if (icon == 0)
        icon = FForm->Perform(WM_GETICON, ICON_BIG);
    if (icon != 0)
        reinterpret_cast<const TIcon*>(icon)->Draw(FWindowIcon->Canvas(), TRect{0, 0, w, h});
}

bool TSknForm::visibilityHolds(int Code, bool Second, int Action) const
{
    const bool max = (FCaptionButtonFlags & cbMaximize) != 0;
    const bool min = (FCaptionButtonFlags & cbMinimize) != 0;
    const bool help = (FCaptionButtonFlags & cbHelp) != 0;
    const bool sys = (FCaptionButtonFlags & cbSysMenu) != 0;
    if (Code >= 201 && Code <= 999)
        return true;
    if (Code >= 1000 && Code <= 2000) {
        if (Second)
            return true;
        return FForm != nullptr && FForm->Perform(SKIN_BUTTON_VISIBLE, WPARAM(Code), LPARAM(Action)) > 0;
    }
    switch (Code) {
    case 0: return true;
    case 1: return FWindowState == wkMaximized;
    case 2: return FWindowState != wkMaximized;
    case 3: return FActive;
    case 4: return !FActive;
    case 6: case 8: return Second ? (min || max) : (min || max) && sys;
    case 7: return !max;
    case 9: return !min;
    case 10: return Second ? help : help && !min && !max;
    case 100: return false;  // an MDI frame's maximised child: there is none here
    case 200: return FBorderKind == bkDialog && !FDialogBox;
    default: return false;   // -1 (not defined), 5 and unknown codes: never
    }
}

bool TSknForm::IsCaptionButtonVisible(int Index) const
{
    if (Index < 0 || Index >= int(FCaptionButtons.size()))
        return false;
    TWinSysButton* button = FCaptionButtons[size_t(Index)].get();
    const TDataSkinSysButton* sb = button->SkinButton;
    const bool sys = (FCaptionButtonFlags & cbSysMenu) != 0;
    bool visible = visibilityHolds(sb->Visibility, false, sb->Action);
    visible = visible && (sb->Visibility1 == 100 ? visible : visibilityHolds(sb->Visibility1, true, sb->Action));
    switch (sb->Action) {
    case 0:
        if (!sys)
            visible = false;
        break;
    case 1: button->Enabled = (FCaptionButtonFlags & cbMaximize) != 0 && sys; break;
    case 2: button->Enabled = (FCaptionButtonFlags & cbMinimize) != 0 && sys; break;
    case 3: case 11: case 12:
        if (FBorderKind == bkDialog)
            visible = false;
        break;
    default: break;
    }
    return visible;
}

void TSknForm::LayoutCaptionButtons(int WindowWidth)
{
    for (size_t i = 0; i < FCaptionButtons.size(); ++i) {
        TWinSysButton* button = FCaptionButtons[i].get();
        button->Visible = IsCaptionButtonVisible(int(i));
        const TDataSkinSysButton* sb = button->SkinButton;
        if (!button->Visible || sb->Bitmap->Empty())
            continue;
        const int bw = sb->Bitmap->Width() / std::max(1, sb->Frame);
        const int bh = sb->Bitmap->Height();
        int x = 0, y = 0;
        switch (sb->Align) {
        case 0: x = sb->XCoord; y = sb->YCoord; break;
        case 1: x = WindowWidth - sb->XCoord; y = sb->YCoord; break;
        case 2: case 8: x = FCaptionTextRect.Left - bw - sb->XCoord; y = sb->YCoord; break;
        case 3: case 9: x = FCaptionTextRect.Right + sb->XCoord; y = sb->YCoord; break;
        case 100: {
            const int barLeft = FSkinData->MenuBar ? FSkinData->MenuBar->LeftWidth : 0;
            x = WindowWidth - sb->XCoord - FRightWidth - barLeft;
            y = FTopHeight + (FMenuHeight - bh) / 2;
            break;
        }
        default: break;
        }
        button->Rect = TRect{x, y, x + bw, y + bh};
    }
}

void TSknForm::PaintCaptionButtons(TCanvas* Canvas)
{
    for (const auto& button : FCaptionButtons) {
        const TDataSkinSysButton* sb = button->SkinButton;
        if (!button->Visible || sb->Bitmap->Empty() || sb->Visibility == 100)
            continue;
        const int frames = std::max(1, sb->Frame);
        if (sb->Action == 3 || sb->Action == 11) {
            TBitmap* icon = FWindowIcon ? FWindowIcon.get() : sb->Bitmap.get();
            const TRect r{button->Rect.Left, button->Rect.Top, button->Rect.Left + icon->Width(),
                          button->Rect.Top + icon->Height()};
            DrawTransparentBitmap(Canvas->Handle(), r, icon, SkinKeyColor);
            continue;
        }
        int frame = frames < 4 || (FActive && button->Enabled) ? 1 : 4;
        if (button->State != 1) {
            // A pressed or hot button: the frame of its state.
            frame = button->State;
            if (!button->Enabled)
                frame = frames > 3 ? 4 : 1;
            else if (sb->Visibility == 100 && button->State == 3)
                frame = 4;
        }
        DrawSkinFrame(Canvas->Handle(), button->Rect, sb->Bitmap.get(), frames, frame, true);
    }
}

void TSknForm::PaintCaptionButton(TWinSysButton* Button, int State)
{
    if (Button == nullptr)
        return;
    Button->State = State;
    // Drawn by the window's next paint, which draws every button in the
    // frame of its state.
    FButtonPaintPending = true;
    InvalidateFrame();
}

TNCObject* TSknForm::CaptionButtonAt(TPoint P) const
{
    for (const auto& button : FCaptionButtons)
        if (button->Visible && button->SkinButton->Action >= 0 && button->Rect.Contains(P))
            return button.get();
    return FMenuBar ? FMenuBar->ButtonAt(P) : nullptr;
}

String TSknForm::CaptionButtonHint(int Action)
{
    switch (Action) {
    case 0: case 9: case 62: return String::fromLatin1("Close");
    case 1: case 22: return String::fromLatin1("Maximize");
    case 2: case 7: case 23: case 60: return String::fromLatin1("Minimize");
    case 8: case 61: return String::fromLatin1("Restore");
    default: return String();
    }
}

void TSknForm::ExecuteCaptionButton(int X, int Y)
{
    auto* button = dynamic_cast<TWinSysButton*>(FMouseObject);
    if (button == nullptr || FForm == nullptr)
        return;
    const HWND wnd = FForm->Handle();
    const int action = button->SkinButton->Action;
    switch (action) {
    case 0:
        stopHoverTimer();
        PostMessage(wnd, WM_SYSCOMMAND, SC_CLOSE, 0);
        break;
    case 1: case 22:
        if (!button->Enabled)
            break;
        if (FWindowState == wkMaximized) {
            FWindowState = wkNormal;
            PostMessage(wnd, WM_SYSCOMMAND, SC_RESTORE, 0);
        } else {
            FWindowState = wkMaximized;
            PostMessage(wnd, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
            FMouseObject = nullptr;
        }
        break;
    case 2: case 23:
        if (!button->Enabled)
            break;
        if (FWindowState == wkMinimized) {
            FWindowState = wkNormal;
            PostMessage(wnd, WM_SYSCOMMAND, SC_RESTORE, 0);
        } else {
            FWindowState = wkMinimized;
            PostMessage(wnd, WM_SYSCOMMAND, SC_MINIMIZE, 0);
        }
        FMouseObject = nullptr;
        break;
    case 3: case 11: case 12:
        ShowSystemMenu(windowToScreen(TPoint{X + 1, Y + 1}));
        break;
    case 4:
        PostMessage(wnd, WM_SYSCOMMAND, SC_CONTEXTHELP, 0);
        break;
    case 7: case 60: case 8: case 61: case 9: case 62:
        break;  // MDI children: none here
    default:
        PostMessage(wnd, SKIN_CUSTOM_ACTION, WPARAM(action), 0);
        break;
    }
}

void TSknForm::InvalidateFrame()
{
    if (FForm != nullptr && FForm->HandleAllocated())
        FForm->Invalidate();
}

TPoint TSknForm::windowToScreen(TPoint P) const
{
    if (FForm == nullptr)
        return P;
    const TPoint origin = FForm->ClientToScreen(TPoint{0, 0});
    return TPoint{P.X + origin.X - FLeftWidth, P.Y + origin.Y - FTopHeight - FMenuHeight};
}

void TSknForm::UpdateWindowRegion()
{
    if (!FFrameSkinning || FForm == nullptr || FState == 6 || FState == 4)
        return;
    const int w = FForm->Width(), h = FForm->Height();
    if (w <= 0 || h <= 0)
        return;
    if (FRegionSet && w == FRegionWidth && h == FRegionHeight && FState != 3)
        return;
    const TRegion region = WindowRegion(w, h);
    FForm->SetWindowRegion(&region);
    FRegionWidth = w;
    FRegionHeight = h;
    FRegionSet = true;
}

void TSknForm::RemoveWindowRegion()
{
    if (!FRegionSet)
        return;
    if (FForm != nullptr)
        FForm->SetWindowRegion(nullptr);
    FRegionSet = false;
    FRegionWidth = FRegionHeight = 0;
}

namespace {

int64_t steadyMilliseconds()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

}  // namespace

void TSknForm::ShowSystemMenu(TPoint P)
{
    if (FForm == nullptr)
        return;
    const int64_t now = steadyMilliseconds();
    if (FSystemMenuShown < 0 || now - FSystemMenuShown > QApplication::doubleClickInterval()) {
        FSystemMenuShown = now;
        if (TSkinManage* manager = SkinManager())
            manager->SetMenuKind(2);
        BuildSystemMenu();
        FSystemMenu->Popup(P.X, P.Y);
    } else if (FMouseObject != nullptr) {
        // A double click on the icon closes the window.
        stopHoverTimer();
        PostMessage(FForm->Handle(), WM_CLOSE, 0, 0);
    }
}

void TSknForm::BuildSystemMenu()
{
    FSystemMenu = std::make_unique<TPopupMenu>(nullptr);
    FSystemMenu->SetTag(SystemMenuTag);
    if (FSkinData != nullptr)
        FSystemMenu->SetImages(FSkinData->MenuImages());
    if (FForm == nullptr)
        return;
    const HWND wnd = FForm->Handle();
    const bool max = (FCaptionButtonFlags & cbMaximize) != 0, min = (FCaptionButtonFlags & cbMinimize) != 0;
    for (const TSystemMenuItem& entry : FForm->SystemMenu()) {
        auto* item = new TMenuItem(FSystemMenu.get());  // owned by the menu
        item->SetCaption(entry.Text.isEmpty() ? String::fromLatin1("-") : entry.Text);
        item->SetTag(intptr_t(entry.Command));
        bool enabled = (entry.State & (MF_GRAYED | MF_DISABLED)) != (MF_GRAYED | MF_DISABLED);
        switch (entry.Command) {
        case SC_SIZE: case SC_MOVE: enabled = FWindowState != wkMaximized; break;
        case SC_MINIMIZE: enabled = FWindowState != wkMinimized && min; item->SetImageIndex(2); break;
        case SC_MAXIMIZE: enabled = FWindowState != wkMaximized && max; item->SetImageIndex(1); break;
        case SC_CLOSE: item->SetImageIndex(3); break;
        case SC_RESTORE: enabled = FWindowState != wkNormal; item->SetImageIndex(0); break;
        default: break;
        }
        item->SetEnabled(enabled);
        item->SetChecked((entry.State & MF_CHECKED) != 0);
        const WPARAM command = entry.Command;
        if (command != 0)
            item->OnClick = TNotifyEvent::FromFunction(
                [wnd, command](TObject*) { PostMessage(wnd, WM_SYSCOMMAND, command, 0); });
        FSystemMenu->Items()->Add(item);
    }
    // Drawn as the skinned menus are, measured as a popup's items.
    if (FSkinData != nullptr && FSkinData->SkinControls().Contains(xcSystemMenu)) {
        FSystemMenu->SetOwnerDraw(true);
        for (int i = 0; i < FSystemMenu->Items()->Count(); ++i) {
            TMenuItem* item = FSystemMenu->Items()->Items(i);
            item->OnDrawItem = TMenuDrawItemEvent(this, &TSknForm::DrawMenuItemHandler);
            item->OnMeasureItem = TMenuMeasureItemEvent(this, &TSknForm::MeasurePopupMenuItem);
        }
    }
}
