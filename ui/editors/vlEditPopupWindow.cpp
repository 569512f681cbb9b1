// vlEditPopupWindow.cpp - the drop-down editors' popup: frame geometry and
// painting, size and placement against the work area, resizing by the
// border or the grip, the close button and forwarded characters.
#include "ui/editors/vlEditPopupWindow.h"

#include <QApplication>
#include <QWidget>

#include "platform/controls/ToolkitWidget.h"
#include "platform/graphics/SysMetrics.h"
#include "ui/editors/vlEditScopes.h"

namespace {

int panelButtonSize() { return std::max(GetSystemMetrics(SM_CYHSCROLL), GetSystemMetrics(SM_CYSIZE)); }

// The control behind a focused widget, or nullptr.
TWinControl* controlOfWidget(QWidget* W)
{
    for (; W != nullptr; W = W->parentWidget())
        if (auto* bridge = dynamic_cast<IToolkitWidget*>(W))
            return bridge->OwnerControl();
    return nullptr;
}

bool liesInside(const TControl* AControl, const TControl* AContainer)
{
    for (const TControl* c = AControl; c != nullptr; c = c->Parent())
        if (c == AContainer)
            return true;
    return false;
}

}  // namespace

// ------------------------------------------------------------ view info

int TvlCustomEditPopupWindowViewInfo::borderWidth() const
{
    if (NativeStyle || SkinPainter != nullptr)
        return 1;
    switch (PopupBorderStyle) {
    case epbsSingle: return 1;
    case epbsFrame3D: return 4;
    case epbsFlat: return 2;
    default: return 0;
    }
}

int TvlCustomEditPopupWindowViewInfo::clientEdgeWidth() const
{
    if (!ClientEdge)
        return 0;
    if (NativeStyle || SkinPainter != nullptr)
        return 2;
    switch (PopupBorderStyle) {
    case epbsSingle: case epbsFrame3D: return 2;
    case epbsFlat: return 1;
    default: return 0;
    }
}

int TvlCustomEditPopupWindowViewInfo::GetSysPanelHeight() const
{
    int result = panelButtonSize();
    if (MinSysPanelHeight > 0)
        result = std::max(result, MinSysPanelHeight);
    return result;
}

void TvlCustomEditPopupWindowViewInfo::CalculateClientExtent(TRect& AExtent) const
{
    int border = borderWidth();
    if (OnCustomDrawBorder) {
        // Asked for its width only: nothing is drawn without a canvas.
        bool handled = false;
        int width = border;
        auto* self = const_cast<TvlCustomEditPopupWindowViewInfo*>(this);
        OnCustomDrawBorder(self, nullptr, Bounds, width, handled);
        if (handled)
            border = width;
    }
    const int edge = clientEdgeWidth();
    AExtent = Rect(border + edge, border + edge, border + edge, border + edge);
    if (Shadow) {
        AExtent.Right += 3;
        AExtent.Bottom += 3;
    }
    if (SysPanelVisible) {
        const int panel = SysPanelHeight
                          + (NativeStyle || PopupBorderStyle == epbsSingle || SkinPainter != nullptr ? 1 : 0);
        if (panelAtTop())
            AExtent.Top += panel;
        else
            AExtent.Bottom += panel;
    }
}

TRect TvlCustomEditPopupWindowViewInfo::panelRect() const
{
    TRect r = ContentRect;
    if (panelAtTop())
        r.Bottom = r.Top + SysPanelHeight;
    else
        r.Top = r.Bottom - SysPanelHeight;
    return r;
}

void TvlCustomEditPopupWindowViewInfo::Calculate()
{
    SizingMargin = std::max(GetSystemMetrics(SM_CYHSCROLL), GetSystemMetrics(SM_CYSIZE));
    SysPanelHeight = SysPanelVisible ? GetSysPanelHeight() : 0;
    TRect extent;
    CalculateClientExtent(extent);
    ClientRect = Rect(Bounds.Left + extent.Left, Bounds.Top + extent.Top, Bounds.Right - extent.Right,
                      Bounds.Bottom - extent.Bottom);
    const int border = borderWidth();
    const int inner = SysPanelVisible ? border : border + clientEdgeWidth();
    ContentRect = Rect(Bounds.Left + inner, Bounds.Top + inner, Bounds.Right - inner, Bounds.Bottom - inner);
    if (Shadow) {
        ContentRect.Right -= 3;
        ContentRect.Bottom -= 3;
    }
    BorderWidth = border;
    GripHitRect = TRect{};
    GripRect = TRect{};
    CloseButtonRect = TRect{};
    CloseButtonThemeState = 0;
    if (!SysPanelVisible)
        return;
    const int button = panelButtonSize();
    if (Sizeable) {
        const int side = button - 2;
        const int left = gripAtLeft() ? ContentRect.Left : ContentRect.Right - side;
        const int top = panelAtTop() ? ContentRect.Top : ContentRect.Bottom - side;
        GripHitRect = Rect(left, top, left + side, top + side);
        GripRect = GripHitRect;
        // Two pixels off the sides that meet in the corner.
        if (gripAtLeft())
            GripRect.Left += 2;
        else
            GripRect.Right -= 2;
        if (panelAtTop())
            GripRect.Top += 2;
        else
            GripRect.Bottom -= 2;
    }
    if (ShowCloseButton) {
        const int side = button - 4;
        const int left = gripAtLeft() ? ContentRect.Right - 3 - side : ContentRect.Left + 3;
        const int top = panelAtTop() ? ContentRect.Top + 2 : ContentRect.Bottom - 2 - side;
        CloseButtonRect = Rect(left, top, left + side, top + side);
    }
}

bool TvlCustomEditPopupWindowViewInfo::IsSizingPlace(int X, int Y)
{
    SizingDirectionX = 0;
    SizingDirectionY = 0;
    const TPoint p{X, Y};
    if (!Sizeable || !Bounds.Contains(p) || (ContentRect.Contains(p) && !GripHitRect.Contains(p)))
        return false;
    if (GripHitRect.Contains(p)) {
        SizingDirectionX = gripAtLeft() ? -1 : 1;
        SizingDirectionY = panelAtTop() ? -1 : 1;
        return true;
    }
    // Only the edges away from the editor resize.
    if (gripAtLeft() && X < Bounds.Left + SizingMargin)
        SizingDirectionX = -1;
    else if (!gripAtLeft() && X >= Bounds.Right - SizingMargin)
        SizingDirectionX = 1;
    if (panelAtTop() && Y < Bounds.Top + SizingMargin)
        SizingDirectionY = -1;
    else if (!panelAtTop() && Y >= Bounds.Bottom - SizingMargin)
        SizingDirectionY = 1;
    return true;
}

void TvlCustomEditPopupWindowViewInfo::DrawPopupBorder(TvlCanvas* ACanvas, TRect& R)
{
    if (OnCustomDrawBorder) {
        bool handled = false;
        int width = borderWidth();
        OnCustomDrawBorder(this, ACanvas, R, width, handled);
        if (handled) {
            InflateRect(R, -width, -width);
            return;
        }
    }
    if (NativeStyle || PopupBorderStyle == epbsSingle) {
        ACanvas->FrameRect(R, clBtnText);
        InflateRect(R, -1, -1);
        return;
    }
    if (SkinPainter != nullptr) {
        ACanvas->FrameRect(R, BorderColor == clDefault ? clBtnShadow : BorderColor);
        InflateRect(R, -1, -1);
        return;
    }
    if (PopupBorderStyle != epbsFrame3D && PopupBorderStyle != epbsFlat)
        return;
    ACanvas->DrawEdge(R, false, true);
    InflateRect(R, -1, -1);
    ACanvas->DrawEdge(R, false, false);
    InflateRect(R, -1, -1);
    if (PopupBorderStyle == epbsFrame3D) {
        ACanvas->FrameRect(R, ClientEdge ? clInactiveBorder : clBtnFace);
        InflateRect(R, -1, -1);
        if (ClientEdge) {
            ACanvas->FrameRect(R, clBtnFace);
        } else {
            ACanvas->DrawEdge(R, true, true);
        }
        InflateRect(R, -1, -1);
    }
}

void TvlPopupEditPopupWindowViewInfo::DrawPopupBorder(TvlCanvas* ACanvas, TRect& R)
{
    if (PopupBorderStyle != epbsFrame3D || NativeStyle || SkinPainter != nullptr || OnCustomDrawBorder) {
        TvlCustomEditPopupWindowViewInfo::DrawPopupBorder(ACanvas, R);
        return;
    }
    ACanvas->DrawEdge(R, false, true);
    InflateRect(R, -1, -1);
    ACanvas->DrawEdge(R, false, false);
    InflateRect(R, -1, -1);
    ACanvas->FrameRect(R, clInactiveBorder);
    InflateRect(R, -1, -1);
    ACanvas->FrameRect(R, clBtnFace);
    InflateRect(R, -1, -1);
}

void TvlCustomEditPopupWindowViewInfo::drawGrip(TvlCanvas* ACanvas)
{
    ACanvas->FillRectByColor(GripRect, clBtnFace);
    // The grip square, drawn pointing to the bottom-right and mirrored so
    // that its ridges always point into the corner.
    const int w = GetSystemMetrics(SM_CXVSCROLL), h = GetSystemMetrics(SM_CYHSCROLL);
    TRect square = Rect(0, 0, w, h);
    TBitmap bitmap;
    bitmap.SetWidth(w);
    bitmap.SetHeight(h);
    bitmap.Canvas()->Brush()->SetColor(clBtnFace);
    bitmap.Canvas()->FillRect(square);
    DrawFrameControl(bitmap.Canvas()->Handle(), square, DFC_SCROLL, DFCS_SCROLLSIZEGRIP);
    TRect target = GripRect;
    if (gripAtLeft())
        target.Right = target.Left + w;
    else
        target.Left = target.Right - w;
    if (panelAtTop())
        target.Bottom = target.Top + h;
    else
        target.Top = target.Bottom - h;
    TRect source = square;
    if (gripAtLeft())
        std::swap(source.Left, source.Right);
    if (panelAtTop())
        std::swap(source.Top, source.Bottom);
    // Only what lies inside the grip rectangle shows.
    const TRect visible = [&] {
        TRect r;
        IntersectRect(r, target, GripRect);
        return r;
    }();
    ACanvas->SaveClipRegion();
    ACanvas->IntersectClipRect(visible);
    StretchBlt(ACanvas->Handle(), target.Left, target.Top, target.Width(), target.Height(),
               bitmap.Canvas()->Handle(), source.Left, source.Top, source.Right - source.Left,
               source.Bottom - source.Top, SRCCOPY);
    ACanvas->RestoreClipRegion();
    ACanvas->ExcludeClipRect(GripRect);
}

void TvlCustomEditPopupWindowViewInfo::InternalPaint(TvlCanvas* ACanvas)
{
    TRect r = Bounds;
    if (Shadow) {
        DrawContainerShadow(ACanvas, r);
        r.Right -= 3;
        r.Bottom -= 3;
    }
    DrawPopupBorder(ACanvas, r);
    if (SysPanelVisible && (PopupBorderStyle == epbsSingle || NativeStyle || SkinPainter != nullptr)) {
        // The line between the panel and the client area.
        const TRect panel = panelRect();
        const int y = panelAtTop() ? panel.Bottom : panel.Top - 1;
        ACanvas->FillRectByColor(Rect(ContentRect.Left, y, ContentRect.Right, y + 1),
                                 SkinPainter != nullptr && BorderColor != clDefault ? BorderColor : clBtnText);
    }
    if (ClientEdge) {
        TRect edge = ClientRect;
        const int width = clientEdgeWidth();
        InflateRect(edge, width, width);
        ACanvas->DrawEdge(edge, true, true);
        if (width > 1) {
            InflateRect(edge, -1, -1);
            ACanvas->DrawEdge(edge, true, false);
        }
    }
    if (SysPanelVisible && Sizeable)
        drawGrip(ACanvas);
    if (SysPanelVisible && ShowCloseButton) {
        const TvlButtonState state = CloseButtonState == 3 ? vlbsPressed : CloseButtonState == 2 ? vlbsHot : vlbsNormal;
        if (Painter != nullptr)
            Painter->DrawFilterPanelCloseButton(ACanvas, CloseButtonRect, state);
        ACanvas->ExcludeClipRect(CloseButtonRect);
    }
    // The client area and the panel, the line between them left as drawn.
    ACanvas->FillRectByColor(ClientRect, clBtnFace);
    if (SysPanelVisible)
        ACanvas->FillRectByColor(panelRect(), clBtnFace);
}

// ------------------------------------------------------------ the window

TvlCustomEditPopupWindow::TvlCustomEditPopupWindow(TWinControl* AOwnerControl, IvlEditPopupWindowOwner* AEdit)
    : TvlCustomPopupWindow(AOwnerControl), FEdit(AEdit), FViewInfo(CreateEditViewInfo())
{
}

TvlCustomEditPopupWindow::~TvlCustomEditPopupWindow() = default;

void TvlCustomEditPopupWindow::RecreateEditViewInfo()
{
    std::unique_ptr<TvlCustomEditPopupWindowViewInfo> next = CreateEditViewInfo();
    // The settings copied into the view info stay.
    next->PopupBorderStyle = FViewInfo->PopupBorderStyle;
    next->ClientEdge = FViewInfo->ClientEdge;
    next->ShowCloseButton = FViewInfo->ShowCloseButton;
    next->MinSysPanelHeight = FViewInfo->MinSysPanelHeight;
    next->NativeStyle = FViewInfo->NativeStyle;
    next->Shadow = FViewInfo->Shadow;
    next->Sizeable = FViewInfo->Sizeable;
    next->SysPanelVisible = FViewInfo->SysPanelVisible;
    next->GripCorner = FViewInfo->GripCorner;
    FViewInfo = std::move(next);
}

void TvlCustomEditPopupWindow::CalculateViewInfo()
{
    FViewInfo->Bounds = Rect(0, 0, Width(), Height());
    if (FEdit != nullptr) {
        FViewInfo->LookAndFeelKind = FEdit->GetPopupLookAndFeelKind();
        FViewInfo->SkinPainter = FEdit->GetPopupSkinPainter();
        FViewInfo->Painter = FEdit->GetPopupPainter();
    }
    FViewInfo->Calculate();
}

void TvlCustomEditPopupWindow::AdjustClientRect(TRect& R) const { R = FViewInfo->ClientRect; }

void TvlCustomEditPopupWindow::GetMinSize(TSize& ASize)
{
    TRect extent;
    FViewInfo->GetClientExtent(extent);
    ASize.cx = extent.Left + extent.Right;
    ASize.cy = extent.Top + extent.Bottom;
    if (Sizeable() && SysPanelVisible())
        ASize.cx += FViewInfo->CloseButtonRect.Width() + FViewInfo->GripHitRect.Width() + 10;
}

void TvlCustomEditPopupWindow::GetOwnerScreenBounds(TRect& R) const
{
    if (FEdit != nullptr)
        R = FEdit->GetPopupOwnerScreenBounds();
    else
        TvlCustomPopupWindow::GetOwnerScreenBounds(R);
}

void TvlCustomEditPopupWindow::CalculateSize()
{
    FViewInfo->GripCorner = 3;
    CalculateViewInfo();
    TRect owner;
    GetOwnerScreenBounds(owner);
    TRect extent;
    FViewInfo->GetClientExtent(extent);
    TSize minSize;
    GetMinSize(minSize);
    const TSize preferred = FPopupAutoSize && FEdit != nullptr ? FEdit->GetPopupWindowClientPreferredSize() : TSize{};
    int w = 0, h = 0;
    if (FPopupAutoSize)
        w = extent.Left + extent.Right + preferred.cx;
    else
        w = FPopupWidth != 0 ? FPopupWidth : owner.Width();
    if (Sizeable() && FMinWidth > 0)
        w = std::max(w, FMinWidth);
    if (FPopupAutoSize)
        h = extent.Top + extent.Bottom + preferred.cy;
    else
        h = FPopupHeight > 0 ? FPopupHeight : std::max(minSize.cy, FMinHeight);
    if (Sizeable() && FMinHeight > 0)
        h = std::max(h, FMinHeight);
    const TvlEditRestore<bool> calculating(FViewInfoCalculating, true);
    SetBounds(Left(), Top(), std::max(w, int(minSize.cx)), std::max(h, int(minSize.cy)));
}

void TvlCustomEditPopupWindow::CalculatePosition(TPoint& P)
{
    TRect owner;
    GetOwnerScreenBounds(owner);
    AlignHorz = FEdit != nullptr ? FEdit->GetPopupHorzAlignment() : phaLeft;
    AlignVert = pvaBottom;
    Direction = podVertical;
    TvlCustomPopupWindow::CalculatePosition(P);
    TRect wa;
    GetDesktopWorkArea(TPoint{owner.Left, owner.Bottom}, wa);
    const int right = P.X + Width(), bottom = P.Y + Height();
    const bool growsLeft = (AlignHorz == phaRight && right == owner.Right && P.X != wa.Left) || right == owner.Left
                           || (right == wa.Right && P.X < owner.Right);
    const bool growsUp = bottom == owner.Top || (bottom == wa.Bottom && P.Y < owner.Bottom);
    FViewInfo->GripCorner = growsLeft ? (growsUp ? 0 : 2) : (growsUp ? 1 : 3);
    if (Shadow() && growsUp)
        P.Y += 3;
    CalculateViewInfo();
}

bool TvlCustomEditPopupWindow::CanFitToWorkArea() const
{
    return FEdit == nullptr || FEdit->PopupCanFitToWorkArea();
}

bool TvlCustomEditPopupWindow::CanResize(int& AWidth, int& AHeight)
{
    if (!Sizeable() || FViewInfoCalculating || (AWidth == Width() && AHeight == Height()))
        return true;
    TSize minSize;
    GetMinSize(minSize);
    const int minWidth = std::max(int(minSize.cx), FMinWidth), minHeight = std::max(int(minSize.cy), FMinHeight);
    AWidth = std::max(AWidth, minWidth);
    AHeight = std::max(AHeight, minHeight);
    TRect extent;
    FViewInfo->GetClientExtent(extent);
    TSize client{AWidth - extent.Left - extent.Right, AHeight - extent.Top - extent.Bottom};
    if (FEdit != nullptr && !FEdit->CanResizePopupClient(client)) {
        AWidth = Width();
        AHeight = Height();
        return false;
    }
    AWidth = std::max(int(client.cx) + extent.Left + extent.Right, minWidth);
    AHeight = std::max(int(client.cy) + extent.Top + extent.Bottom, minHeight);
    return true;
}

void TvlCustomEditPopupWindow::ModalResultCloseUp()
{
    int reason = vlpcrOther;
    if (ModalResult() == mrOk)
        reason = vlpcrAccept;
    else if (ModalResult() == mrCancel)
        reason = vlpcrCancel;
    if (FEdit != nullptr)
        FEdit->PopupCloseUp(reason);
    else
        CloseUp();
}

void TvlCustomEditPopupWindow::PopupWithFocus(TWinControl* AFocusedControl)
{
    if (FEdit != nullptr && !IsOwnerControlVisible())
        FEdit->DoFinalizePopup();
    TvlCustomPopupWindow::PopupWithFocus(AFocusedControl);
}

void TvlCustomEditPopupWindow::DoClosed()
{
    FSizing = false;
    FSizingX = FSizingY = 0;
    TvlCustomPopupWindow::DoClosed();
}

void TvlCustomEditPopupWindow::DoClosing()
{
    // Sizing is live: there is no frame to hide.
    TvlCustomPopupWindow::DoClosing();
}

void TvlCustomEditPopupWindow::Resize()
{
    TvlCustomPopupWindow::Resize();
    CalculateViewInfo();
}

void TvlCustomEditPopupWindow::PaintWindow(HDC DC)
{
    TCanvas base;
    base.SetHandle(DC);
    TvlCanvas canvas(&base);
    FViewInfo->Paint(&canvas);
    base.SetHandle(nullptr);
    PaintControls(DC);
}

// ------------------------------------------------------------ mouse

void TvlCustomEditPopupWindow::setCloseButtonState(uint8_t AState)
{
    if (FViewInfo->CloseButtonState == AState)
        return;
    FViewInfo->CloseButtonState = AState;
    if (HandleAllocated())
        Invalidate();
}

void TvlCustomEditPopupWindow::updateSizingCursor(int X, int Y)
{
    TCursor cursor = crDefault;
    if (FViewInfo->IsSizingPlace(X, Y)) {
        const int dx = FViewInfo->SizingDirectionX, dy = FViewInfo->SizingDirectionY;
        if (dx != 0 && dy != 0)
            cursor = dx == dy ? crSizeNWSE : crSizeNESW;
        else if (dx != 0)
            cursor = crSizeWE;
        else if (dy != 0)
            cursor = crSizeNS;
    }
    SetCursor(cursor);
}

void TvlCustomEditPopupWindow::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TvlCustomPopupWindow::MouseDown(Button, Shift, X, Y);
    if (Button != mbLeft)
        return;
    const TPoint p{X, Y};
    if (FViewInfo->SysPanelVisible && FViewInfo->CloseButtonRect.Contains(p)) {
        setCloseButtonState(3);
        return;
    }
    if (FViewInfo->IsSizingPlace(X, Y)) {
        FSizing = true;
        FSizingX = FViewInfo->SizingDirectionX;
        FSizingY = FViewInfo->SizingDirectionY;
        FSizingStartBounds = BoundsRect();
        const TPoint screen = ClientToScreen(p);
        // The grab offset from the moving edges.
        FGrabOffset.X = FSizingX > 0 ? screen.X - FSizingStartBounds.Right : screen.X - FSizingStartBounds.Left;
        FGrabOffset.Y = FSizingY > 0 ? screen.Y - FSizingStartBounds.Bottom : screen.Y - FSizingStartBounds.Top;
    }
}

void TvlCustomEditPopupWindow::resizeTo(const TPoint& AScreenPoint)
{
    TRect r = FSizingStartBounds;
    if (FSizingX > 0)
        r.Right = AScreenPoint.X - FGrabOffset.X;
    else if (FSizingX < 0)
        r.Left = AScreenPoint.X - FGrabOffset.X;
    if (FSizingY > 0)
        r.Bottom = AScreenPoint.Y - FGrabOffset.Y;
    else if (FSizingY < 0)
        r.Top = AScreenPoint.Y - FGrabOffset.Y;
    // Inside the work area at the mouse.
    TRect wa;
    GetDesktopWorkArea(AScreenPoint, wa);
    r.Left = std::max(r.Left, wa.Left);
    r.Top = std::max(r.Top, wa.Top);
    r.Right = std::min(r.Right, wa.Right);
    r.Bottom = std::min(r.Bottom, wa.Bottom);
    // At least one pixel of it stays beside the editor.
    TRect owner;
    GetOwnerScreenBounds(owner);
    if (FSizingX < 0)
        r.Left = std::min(r.Left, owner.Right - 1);
    if (FSizingX > 0)
        r.Right = std::max(r.Right, owner.Left + 1);
    int w = r.Width(), h = r.Height();
    CanResize(w, h);
    // Anchored at the edges that do not move.
    if (FSizingX < 0)
        r.Left = FSizingStartBounds.Right - w;
    else
        r.Right = r.Left + w;
    if (FSizingY < 0)
        r.Top = FSizingStartBounds.Bottom - h;
    else
        r.Bottom = r.Top + h;
    if (r != BoundsRect())
        SetBoundsRect(r);
}

void TvlCustomEditPopupWindow::MouseMove(TShiftState Shift, int X, int Y)
{
    TvlCustomPopupWindow::MouseMove(Shift, X, Y);
    const TPoint p{X, Y};
    if (FSizing) {
        if (Shift.Contains(ssLeft))
            resizeTo(ClientToScreen(p));
        return;
    }
    if (!Shift.Contains(ssLeft) && !Shift.Contains(ssRight) && !Shift.Contains(ssMiddle) && FViewInfo->SysPanelVisible
        && !FViewInfo->CloseButtonRect.IsEmpty())
        setCloseButtonState(FViewInfo->CloseButtonRect.Contains(p) ? 2 : 1);
    updateSizingCursor(X, Y);
}

void TvlCustomEditPopupWindow::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TvlCustomPopupWindow::MouseUp(Button, Shift, X, Y);
    if (Button != mbLeft)
        return;
    if (FSizing) {
        FSizing = false;
        CalculateViewInfo();
        if (FEdit != nullptr) {
            FEdit->PopupSizeChangedByUser();
            FEdit->PositionPopupWindowChildren(FViewInfo->ClientRect);
            FEdit->StorePopupSize();
        }
        return;
    }
    if (FViewInfo->CloseButtonState != 3)
        return;
    // Released outside the button: it only lets go.
    if (!FViewInfo->CloseButtonRect.Contains(TPoint{X, Y})) {
        setCloseButtonState(1);
        return;
    }
    if (CloseQuery()) {
        if (FEdit != nullptr)
            FEdit->PopupCloseUp(vlpcrOther);
        else
            CloseUp();
    }
    setCloseButtonState(IsVisible() ? 2 : 1);
}

void TvlCustomEditPopupWindow::MouseLeave(TControl* AControl)
{
    TvlCustomPopupWindow::MouseLeave(AControl);
    if (AControl != this)
        return;
    setCloseButtonState(1);
    SetCursor(crDefault);
}

// ------------------------------------------------------------ characters

void TvlCustomEditPopupWindow::SendCharToFocusedControl(QChar AChar)
{
    // Only a control inside the popup gets it: sent back to the editor, the
    // character would be forwarded here again without end.
    TWinControl* focused = controlOfWidget(QApplication::focusWidget());
    if (focused == nullptr || focused == this || !liesInside(focused, this))
        return;
    focused->Perform(WM_CHAR, AChar.unicode(), 0);
}

void TvlCustomEditPopupWindow::Dispatch(TMessage& Message)
{
    if (Message.Msg == VLM_EDITPOPUPKEYCHAR) {
        if (IsVisible())
            SendCharToFocusedControl(QChar(char16_t(Message.WParam)));
        return;
    }
    TvlCustomPopupWindow::Dispatch(Message);
}
