#include "support/KitCaptionPanel.h"

#include <QPainter>

#include "platform/graphics/SysMetrics.h"
#include "support/BxCommon.h"
#include "support/KitSxUtils.h"

namespace {
// The help glyph has no frame-control kind in the layer: drawn as a face with "?".
constexpr uint32_t captionKind[] = {DFCS_CAPTIONCLOSE, DFCS_CAPTIONMAX, DFCS_CAPTIONMIN, DFCS_CAPTIONRESTORE, 0};
}  // namespace

// ---- caption button -------------------------------------------------------------

TKitCapBtn::TKitCapBtn(TComponent* AOwner) : TKitExGraphicControl(AOwner), FOwnerPanel(AOwner)
{
    const int w = GetSystemMetrics(SM_CYCAPTION) - 3;
    SetBounds(0, 0, w, w - 2);
    SetVisible(false);
}

void TKitCapBtn::SetStyle(TKitCapBtnStyle Value)
{
    if (Value != FStyle) {
        FStyle = Value;
        Invalidate();
    }
}

void TKitCapBtn::SetFlat(bool Value)
{
    if (Value != FFlat) {
        FFlat = Value;
        Invalidate();
    }
}

void TKitCapBtn::Paint()
{
    if (!Visible())
        return;
    TCanvas* c = Canvas();
    HDC dc = c->Handle();
    const TRect r = ClientRect();
    uint32_t state = 0;
    if (!Enabled())
        state |= DFCS_INACTIVE;
    else if (FPushed && FButtonHeld)
        state |= DFCS_PUSHED;
    if (FFlat)
        state |= DFCS_FLAT;
    SetBkMode(dc, TRANSPARENT);
    if (FStyle == capHelp) {
        DrawFrameControl(dc, r, DFC_BUTTON, DFCS_BUTTONPUSH | state);
        c->Brush()->SetStyle(bsClear);
        c->Font()->SetColor(Enabled() ? clBtnText : clBtnShadow);
        c->Font()->SetStyle({fsBold});
        TRect t = r;
        if (state & DFCS_PUSHED)
            OffsetRect(t, 1, 1);
        c->TextRect(t, QStringLiteral("?"), DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    } else
        DrawFrameControl(dc, r, DFC_CAPTION, captionKind[FStyle] | state);
    if (FFlat) {
        const bool pressed = FPushed && FButtonHeld;
        if (pressed)
            DrawEdgeLines(c, r, clBtnShadow, clBtnHighlight);
        else if (FMouseInside)
            DrawEdgeLines(c, r, clBtnHighlight, clBtnShadow);
        else
            DrawEdgeLines(c, r, clBtnFace, clBtnFace);
    }
}

void TKitCapBtn::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (!Enabled())
        return;
    TKitExGraphicControl::MouseDown(Button, Shift, X, Y);
    if (!FButtonHeld) {
        FButtonHeld = true;
        FPushed = true;
        FMouseInside = true;
        Invalidate();
    }
}

void TKitCapBtn::MouseMove(TShiftState Shift, int X, int Y)
{
    TKitExGraphicControl::MouseMove(Shift, X, Y);
    if (!FButtonHeld)
        return;
    const bool inside = ClientRect().Contains(TPoint{X, Y});
    FMouseInside = inside;
    if (inside != FPushed) {
        FPushed = inside;
        Invalidate();
    }
}

void TKitCapBtn::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (!Enabled())
        return;
    TKitExGraphicControl::MouseUp(Button, Shift, X, Y);
    if (FButtonHeld) {
        FButtonHeld = false;
        FPushed = false;
        Invalidate();
    }
}

void TKitCapBtn::Click()
{
    TKitExGraphicControl::Click();
    if (auto* panel = dynamic_cast<TKitCaptionPanel*>(FOwnerPanel))
        panel->ButtonClick(FStyle);
}

void TKitCapBtn::MouseEnter(TControl* Control)
{
    if (FMouseInside)
        return;
    FMouseInside = true;
    if (FFlat)
        Invalidate();
    TKitExGraphicControl::MouseEnter(Control);
}

void TKitCapBtn::MouseLeave(TControl* Control)
{
    if (!FMouseInside)
        return;
    FMouseInside = false;
    if (FFlat)
        Invalidate();
    TKitExGraphicControl::MouseLeave(Control);
}

// ---- caption panel --------------------------------------------------------------

TKitCaptionPanel::TKitCaptionPanel(TComponent* AOwner)
    : TKitCustomPanel(AOwner), FCaptionFont(std::make_unique<TFont>()), FIcon(std::make_unique<TBitmap>())
{
    FCaptionFont->SetSize(10);
    FCaptionFont->SetStyle({fsBold});
    FCaptionFont->SetColor(clWhite);
    FCaptionFont->OnChange = TNotifyEvent(this, &TKitCaptionPanel::captionFontChanged);
    for (TKitCapBtnStyle s : {capClose, capMax, capMin, capRestore, capHelp}) {
        auto button = std::make_unique<TKitCapBtn>(this);
        button->SetParent(this);
        button->SetStyle(s);
        button->SetFlat(FFlatButtons);
        FCaptionButtons[s] = button.release();  // owned by the panel as its component
    }
    SetBevelOuter(bvNone);
}

TKitCaptionPanel::~TKitCaptionPanel() = default;

int TKitCaptionPanel::CaptionSize() const
{
    return FCaptionHeight != 0 ? FCaptionHeight : GetSystemMetrics(SM_CYCAPTION);
}

void TKitCaptionPanel::recreateWnd()
{
    ++FRecreateCount;
    Realign();
    Invalidate();
}

void TKitCaptionPanel::SetButtons(TKitCapBtnStyles Value)
{
    FButtons = Value;
    for (TKitCapBtn* b : FCaptionButtons)
        b->SetVisible(FButtons.Contains(b->Style()));
    Invalidate();
}

void TKitCaptionPanel::SetCaption(const String& Value)
{
    FCaption = Value;
    TKitCustomPanel::SetCaption(String());
    Invalidate();
}

void TKitCaptionPanel::SetCaptionColor(TColor Value)
{
    if (Value != FCaptionColor) {
        FCaptionColor = Value;
        Invalidate();
    }
}

void TKitCaptionPanel::SetCaptionPosition(TKitDrawPosition Value)
{
    if (Value != FCaptionPosition) {
        FCaptionPosition = Value;
        recreateWnd();
    }
}

void TKitCaptionPanel::SetCaptionHeight(int Value)
{
    if (Value != FCaptionHeight) {
        FCaptionHeight = Value;
        Invalidate();
        Realign();
    }
}

void TKitCaptionPanel::SetFlatButtons(bool Value)
{
    if (Value != FFlatButtons) {
        FFlatButtons = Value;
        for (TKitCapBtn* b : FCaptionButtons)
            b->SetFlat(Value);
    }
}

void TKitCaptionPanel::SetIcon(const TBitmap* Value)
{
    if (Value != nullptr)
        FIcon->Assign(Value);
    else
        FIcon = std::make_unique<TBitmap>();
    Invalidate();
}

void TKitCaptionPanel::SetOutlookLook(bool Value)
{
    FOutlookLook = Value;
    FBorderInset = Value ? 0 : 2;
    FButtonTopOffset = Value ? 0 : 3;
    Invalidate();
}

void TKitCaptionPanel::SetResizable(bool Value)
{
    if (Value != FResizable) {
        FResizable = Value;
        recreateWnd();
    }
}

void TKitCaptionPanel::SetBorderStyle(TKitPanelBorderStyle Value)
{
    if (Value != FBorderStyle) {
        FBorderStyle = Value;
        recreateWnd();
    }
}

void TKitCaptionPanel::ButtonClick(TKitCapBtnStyle Button)
{
    if (OnButtonClick)
        OnButtonClick(this, Button);
}

bool TKitCaptionPanel::CanStartAutoDrag()
{
    bool allow = Align() == alNone;
    if (OnStartAutoDrag)
        OnStartAutoDrag(this, allow);
    return allow;
}

void TKitCaptionPanel::EndAutoDrag()
{
    if (OnEndAutoDrag)
        OnEndAutoDrag(this);
}

void TKitCaptionPanel::AdjustClientRect(TRect& R) const
{
    const int band = CaptionSize() + FBorderInset;
    R = Rect(0, 0, Width(), Height());
    switch (FCaptionPosition) {
    case dpLeft: R.Left = band; break;
    case dpTop: R.Top = band; break;
    case dpRight: R.Right = Width() - band; break;
    case dpBottom: R.Bottom = Height() - band; break;
    }
}

void TKitCaptionPanel::Paint()
{
    TCanvas* c = Canvas();
    const int w = Width(), h = Height(), b = FBorderInset;
    c->Brush()->SetColor(Color());
    c->FillRect(Rect(0, 0, w, h));
    c->Brush()->SetColor(FCaptionColor);
    int thickness = CaptionSize();
    if (FOutlookLook) {
        const int cut = FCaptionPosition == dpLeft ? 3 : FCaptionPosition == dpRight ? 4 : 5;
        thickness = thickness + (FFlatButtons ? 1 : 0) - cut;
    }
    switch (FCaptionPosition) {
    case dpLeft: FCaptionRect = Rect(b, b, b + thickness, h - b); break;
    case dpTop: FCaptionRect = Rect(b, b, w - b, b + thickness); break;
    case dpRight: FCaptionRect = Rect(w - thickness - b, b, w - b, h - b); break;
    case dpBottom: FCaptionRect = Rect(b, h - thickness - b, w - b, h - b); break;
    }
    c->FillRect(FCaptionRect);
    if (!FIcon->Empty()) {
        const TRect& r = FCaptionRect;
        const int iw = FIcon->Width(), ih = FIcon->Height();
        if (FCaptionPosition == dpLeft)
            c->Draw((r.Left + r.Right - iw) / 2, r.Bottom - ih - 1, FIcon.get());
        else if (FCaptionPosition == dpRight)
            c->Draw((r.Left + r.Right - iw) / 2, r.Top + 1, FIcon.get());
        else
            c->Draw(r.Left + 1, (r.Top + r.Bottom - ih) / 2, FIcon.get());
    }
    drawCaptionText(c, FCaptionPosition == dpLeft ? 90 : FCaptionPosition == dpRight ? -90 : 0);
    layoutButtons();
}

void TKitCaptionPanel::drawCaptionText(TCanvas* Canvas, int Angle)
{
    if (FCaption.isEmpty())
        return;
    Canvas->Brush()->SetStyle(bsClear);
    Canvas->Font()->Assign(FCaptionFont.get());
    const int textHeight = Canvas->TextHeight(FCaption);
    TRect r = FCaptionRect;
    int v = (r.Height() - textHeight) / 2, u = (r.Width() - textHeight) / 2;
    if (FOutlookLook) {
        --v;
        --u;
    }
    const bool icon = !FIcon->Empty();
    if (Angle == 0) {
        OffsetRect(r, FTextInset, v);
        if (icon)
            r.Left += FIcon->Width() + 2;
        CanvasDrawTextSafe(Canvas, FCaption, -1, r, DT_NOPREFIX | DT_VCENTER);
        return;
    }
    // Text running along a side band: drawn rotated from the band's start
    // point, the text cell's top facing outwards.
    TPoint origin;
    if (Angle > 0) {
        if (icon)
            r.Bottom -= FIcon->Height() + 2;
        origin = {r.Left + u, r.Bottom - FTextInset};
    } else {
        if (icon)
            r.Top += FIcon->Height() + 2;
        origin = {r.Right - u, r.Top + FTextInset};
    }
    HDC dc = Canvas->Handle();
    QImage* image = dc->Image();
    if (image == nullptr)
        return;
    QPainter p(image);
    if (dc->HasClip())
        p.setClipRegion(dc->DeviceClip());
    const TPoint off = dc->Offset();
    const TRect& band = FCaptionRect;
    p.setClipRect(QRect(band.Left + off.X, band.Top + off.Y, band.Width(), band.Height()), Qt::IntersectClip);
    p.translate(origin.X + off.X, origin.Y + off.Y);
    p.rotate(-Angle);
    p.setFont(FCaptionFont->QtFont());
    p.setPen(ColorToQColor(FCaptionFont->Color()));
    p.drawText(QRect(0, 0, 4096, textHeight), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, FCaption);
}

void TKitCaptionPanel::layoutButtons()
{
    if (FButtons.Empty())
        return;
    const int b = FBorderInset;
    const TKitCapBtn* close = FCaptionButtons[capClose];
    const int w = close->Width() + (FFlatButtons ? 1 : 0), h = close->Height() + (FFlatButtons ? 1 : 0);
    const TRect& r = FCaptionRect;
    TPoint p;
    switch (FCaptionPosition) {
    case dpLeft: p = {r.Left + b, r.Top + b}; break;
    case dpTop: case dpBottom: p = {r.Right - w - b, r.Top + FButtonTopOffset}; break;
    case dpRight: p = {r.Left + b, r.Bottom - h - b}; break;
    }
    for (TKitCapBtnStyle s : {capClose, capMax, capRestore, capMin, capHelp}) {
        TKitCapBtn* button = FCaptionButtons[s];
        if (!FButtons.Contains(s)) {
            button->SetVisible(false);
            continue;
        }
        button->SetBounds(p.X, p.Y, button->Width(), button->Height());
        button->SetVisible(true);
        if (s == capHelp)
            continue;
        const int extra = s == capClose ? b : 0;
        switch (FCaptionPosition) {
        case dpLeft: p.Y += h + extra; break;
        case dpTop: case dpBottom: p.X -= w + extra; break;
        case dpRight: p.Y -= h + extra; break;
        }
    }
}

void TKitCaptionPanel::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TKitCustomPanel::MouseDown(Button, Shift, X, Y);
    if (FCaptionRect.Contains(TPoint{X, Y}) && FAutoDrag && CanStartAutoDrag()) {
        BringToFront();
        FDragging = true;
        FDragAnchor = {X, Y};
    }
}

void TKitCaptionPanel::MouseMove(TShiftState Shift, int X, int Y)
{
    TKitCustomPanel::MouseMove(Shift, X, Y);
    if (FDragging)
        SetBounds(Left() + X - FDragAnchor.X, Top() + Y - FDragAnchor.Y, Width(), Height());
}

void TKitCaptionPanel::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TKitCustomPanel::MouseUp(Button, Shift, X, Y);
    if (FDragging)
        EndAutoDrag();
    FDragging = false;
}

void TKitCaptionPanel::WndProc(TMessage& Message)
{
    TKitCustomPanel::WndProc(Message);
    // A release outside the client area still ends a drag.
    if (Message.Msg == WM_NCLBUTTONUP && FDragging) {
        const TPoint p = ScreenToClient(PointFromLParam(Message.LParam));
        MouseUp(mbLeft, TShiftState(), p.X, p.Y);
    }
}

void TKitCaptionPanel::Resize()
{
    TKitCustomPanel::Resize();
    Repaint();
}
