#include "platform/controls/ExtCtrls.h"

#include "platform/graphics/Graphics.h"

// ------------------------------------------------------------------ TPanel

namespace {
int bevelSize(TBevelCut Cut, int Width) { return Cut == bvNone ? 0 : Width; }

void frameBevel(HDC DC, TRect& R, TBevelCut Cut, int Width)
{
    if (Cut == bvNone)
        return;
    for (int i = 0; i < Width; ++i) {
        if (Cut == bvSpace) {
            InflateRect(R, -1, -1);
            continue;
        }
        DrawEdge(DC, R, Cut == bvRaised ? BDR_RAISEDINNER : BDR_SUNKENOUTER, BF_RECT | BF_ADJUST);
    }
}
}  // namespace

TPanel::TPanel(TComponent* AOwner) : TCustomControl(AOwner)
{
    FControlStyle = TControlStyle{csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption, csOpaque,
                                  csDoubleClicks};
    SetColor(clBtnFace);
    SetBounds(0, 0, 185, 41);
}

void TPanel::AdjustClientRect(TRect& R) const
{
    const int b = bevelSize(FBevelOuter, FBevelWidth) + bevelSize(FBevelInner, FBevelWidth);
    InflateRect(R, -b, -b);
}

void TPanel::Paint()
{
    TCanvas* c = Canvas();
    TRect r = ClientRect();
    frameBevel(c->Handle(), r, FBevelOuter, FBevelWidth);
    frameBevel(c->Handle(), r, FBevelInner, FBevelWidth);
    c->Brush()->SetColor(Color());
    c->FillRect(r);
    if (Caption().isEmpty())
        return;
    c->Brush()->SetStyle(bsClear);
    uint32_t flags = DT_SINGLELINE | DT_VCENTER;
    if (FAlignment == taCenter) flags |= DT_CENTER;
    if (FAlignment == taRightJustify) flags |= DT_RIGHT;
    c->TextRect(r, Caption(), flags);
}

// --------------------------------------------------------------- TPaintBox

TPaintBox::TPaintBox(TComponent* AOwner) : TGraphicControl(AOwner) { SetBounds(0, 0, 105, 105); }

void TPaintBox::Paint()
{
    if (OnPaint)
        OnPaint(this);
}

// ------------------------------------------------------------------ TImage

TImage::TImage(TComponent* AOwner) : TGraphicControl(AOwner), FPicture(std::make_unique<TPicture>())
{
    SetBounds(0, 0, 105, 105);
    FPicture->OnChange = TNotifyEvent(this, &TImage::pictureChanged);
}

TImage::~TImage() { FPicture->OnChange = nullptr; }

void TImage::Paint()
{
    const TGraphic* g = FPicture->Graphic();
    if (g == nullptr || g->Empty())
        return;
    TRect r = ClientRect();
    if (!FStretch) {
        r = Bounds(0, 0, g->Width(), g->Height());
        if (FCenter)
            OffsetRect(r, (Width() - g->Width()) / 2, (Height() - g->Height()) / 2);
    }
    Canvas()->StretchDraw(r, g);
}

// ------------------------------------------------------------------ TShape

TShape::TShape(TComponent* AOwner)
    : TGraphicControl(AOwner), FPen(std::make_unique<TPen>()), FBrush(std::make_unique<TBrush>())
{
    SetBounds(0, 0, 65, 65);
    FPen->OnChange = TNotifyEvent(this, &TShape::styleChanged);
    FBrush->OnChange = TNotifyEvent(this, &TShape::styleChanged);
}

TShape::~TShape()
{
    FPen->OnChange = nullptr;
    FBrush->OnChange = nullptr;
}

void TShape::Paint()
{
    TCanvas* c = Canvas();
    c->Pen()->Assign(FPen.get());
    c->Brush()->Assign(FBrush.get());
    const int pw = FPen->Width();
    int x = pw / 2, y = pw / 2;
    int w = Width() - pw + 1, h = Height() - pw + 1;
    if (pw == 0) { --w; --h; }
    if (w < h && (FShape == stSquare || FShape == stRoundSquare || FShape == stCircle)) { y += (h - w) / 2; h = w; }
    else if (h < w && (FShape == stSquare || FShape == stRoundSquare || FShape == stCircle)) { x += (w - h) / 2; w = h; }
    switch (FShape) {
    case stRectangle: case stSquare: c->Rectangle(x, y, x + w, y + h); break;
    case stRoundRect: case stRoundSquare: c->RoundRect(x, y, x + w, y + h, std::min(w, h) / 4, std::min(w, h) / 4); break;
    case stEllipse: case stCircle: c->Ellipse(x, y, x + w, y + h); break;
    }
}

// ------------------------------------------------------------------ TBevel

TBevel::TBevel(TComponent* AOwner) : TGraphicControl(AOwner) { SetBounds(0, 0, 50, 50); }

void TBevel::Paint()
{
    TCanvas* c = Canvas();
    const TColor first = FStyle == bsLowered ? clBtnShadow : clBtnHighlight;
    const TColor second = FStyle == bsLowered ? clBtnHighlight : clBtnShadow;
    auto line = [&](TColor color, int x1, int y1, int x2, int y2) {
        c->Pen()->SetColor(color);
        c->MoveTo(x1, y1);
        c->LineTo(x2, y2);
    };
    const int w = Width(), h = Height();
    switch (FShape) {
    case bsBox:
        line(first, 0, h - 1, 0, 0); line(first, 0, 0, w - 1, 0);
        line(second, w - 1, 0, w - 1, h - 1); line(second, w - 1, h - 1, 0, h - 1);
        break;
    case bsFrame:
        c->Brush()->SetStyle(bsClear);
        c->Pen()->SetColor(first); c->Rectangle(0, 0, w - 1, h - 1);
        c->Pen()->SetColor(second); c->Rectangle(1, 1, w, h);
        break;
    case bsTopLine: line(first, 0, 0, w, 0); line(second, 0, 1, w, 1); break;
    case bsBottomLine: line(first, 0, h - 2, w, h - 2); line(second, 0, h - 1, w, h - 1); break;
    case bsLeftLine: line(first, 0, 0, 0, h); line(second, 1, 0, 1, h); break;
    case bsRightLine: line(first, w - 2, 0, w - 2, h); line(second, w - 1, 0, w - 1, h); break;
    case bsSpacer: break;
    }
}

// --------------------------------------------------------------- TSplitter

TSplitter::TSplitter(TComponent* AOwner) : TGraphicControl(AOwner)
{
    SetAlign(alLeft);
    SetBounds(0, 0, 3, 100);
    SetCursor(crHSplit);
    SetParentColor(true);
}

void TSplitter::Paint()
{
    Canvas()->Brush()->SetColor(Color());
    Canvas()->FillRect(ClientRect());
}

TControl* TSplitter::findControl() const
{
    if (Parent() == nullptr)
        return nullptr;
    TPoint p;
    switch (Align()) {
    case alLeft: p = {Left() - 1, Top()}; break;
    case alRight: p = {Left() + Width(), Top()}; break;
    case alTop: p = {Left(), Top() - 1}; break;
    case alBottom: p = {Left(), Top() + Height()}; break;
    default: return nullptr;
    }
    for (int i = 0; i < Parent()->ControlCount(); ++i) {
        TControl* c = Parent()->Controls(i);
        if (c != this && c->Visible() && c->Align() == Align() && c->BoundsRect().Contains(p))
            return c;
    }
    return nullptr;
}

void TSplitter::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TGraphicControl::MouseDown(Button, Shift, X, Y);
    if (Button != mbLeft)
        return;
    FControl = findControl();
    FDownPos = ClientToScreen({X, Y});
    if (FControl != nullptr)
        FDownSize = (Align() == alLeft || Align() == alRight) ? FControl->Width() : FControl->Height();
}

void TSplitter::MouseMove(TShiftState Shift, int X, int Y)
{
    TGraphicControl::MouseMove(Shift, X, Y);
    if (FControl == nullptr || !Shift.Contains(ssLeft))
        return;
    const TPoint s = ClientToScreen({X, Y});
    int delta = 0;
    switch (Align()) {
    case alLeft: delta = s.X - FDownPos.X; break;
    case alRight: delta = FDownPos.X - s.X; break;
    case alTop: delta = s.Y - FDownPos.Y; break;
    case alBottom: delta = FDownPos.Y - s.Y; break;
    default: break;
    }
    const int size = std::max(FMinSize, FDownSize + delta);
    if (Align() == alLeft || Align() == alRight)
        FControl->SetWidth(size);
    else
        FControl->SetHeight(size);
}

void TSplitter::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TGraphicControl::MouseUp(Button, Shift, X, Y);
    if (FControl != nullptr && OnMoved)
        OnMoved(this);
    FControl = nullptr;
}

// ------------------------------------------------------------------ TTimer

TTimer::TTimer(TComponent* AOwner)
    : TComponent(AOwner), FWindow(AllocateHWnd(TWndMethod(this, &TTimer::wndProc))), FTimer(std::make_unique<QTimer>())
{
    const HWND wnd = FWindow->ReceiverHandle();
    QObject::connect(FTimer.get(), &QTimer::timeout, [wnd] { SafeCall([wnd] { SendMessage(wnd, WM_TIMER, 1, 0); }); });
    update();
}

TTimer::~TTimer()
{
    FTimer.reset();
    FWindow.reset();
}

void TTimer::SetEnabled(bool Value)
{
    FEnabled = Value;
    update();
}

void TTimer::SetInterval(int Value)
{
    FInterval = Value;
    update();
}

void TTimer::update()
{
    FTimer->stop();
    if (FEnabled && FInterval > 0)
        FTimer->start(FInterval);
}

void TTimer::wndProc(TMessage& Message)
{
    if (Message.Msg == WM_TIMER)
        Timer();
}

void TTimer::Timer()
{
    if (OnTimer)
        OnTimer(this);
}
