#include "platform/controls/ComCtrls.h"

#include "platform/graphics/ImgList.h"

#include <QProgressBar>
#include <QSlider>

#include "platform/controls/Menus.h"
#include "platform/controls/ToolkitWidget.h"
#include "platform/graphics/Graphics.h"

// --------------------------------------------------------------- TTrackBar

TTrackBar::TTrackBar(TComponent* AOwner) : TWinControl(AOwner)
{
    SetTabStop(true);
    SetColor(clBtnFace);
    SetBounds(0, 0, 150, 45);
}

std::unique_ptr<QWidget> TTrackBar::CreateWidget(QWidget* ParentWidget)
{
    auto w = std::make_unique<TToolkitWidget<QSlider>>(this, ParentWidget);
    QObject::connect(w.get(), &QSlider::valueChanged, [this](int v) {
        SafeCall([&] { Perform(CN_HSCROLL, 0, v); });
    });
    return w;
}

void TTrackBar::UpdateWidget()
{
    TWinControl::UpdateWidget();
    if (!HandleAllocated())
        return;
    auto* w = static_cast<QSlider*>(Widget());
    WithSignalsBlocked([&] {
        w->setOrientation(FOrientation == trHorizontal ? Qt::Horizontal : Qt::Vertical);
        w->setRange(FMin, FMax);
        w->setValue(FPosition);
        w->setTickInterval(std::max(FFrequency, 0));
        w->setSingleStep(FLineSize);
        w->setPageStep(FPageSize);
        w->setTickPosition(FTickStyle == tsNone ? QSlider::NoTicks
                           : FTickMarks == tmBoth ? QSlider::TicksBothSides
                           : FTickMarks == tmTopLeft ? QSlider::TicksAbove
                                                     : QSlider::TicksBelow);
    });
}

void TTrackBar::SetMin(int Value) { FMin = Value; SetPosition(std::max(FPosition, FMin)); UpdateWidget(); }
void TTrackBar::SetMax(int Value) { FMax = Value; SetPosition(std::min(FPosition, FMax)); UpdateWidget(); }

void TTrackBar::SetPosition(int Value)
{
    Perform(TBM_SETPOS, 1, std::clamp(Value, FMin, std::max(FMin, FMax)));
}

void TTrackBar::Dispatch(TMessage& Message)
{
    switch (Message.Msg) {
    case TBM_SETPOS:
    case CN_HSCROLL: case CN_VSCROLL: {
        const int value = std::clamp(int(Message.LParam), FMin, std::max(FMin, FMax));
        if (value == FPosition)
            return;
        FPosition = value;
        UpdateWidget();
        if (OnChange)
            OnChange(this);
        return;
    }
    default:
        TWinControl::Dispatch(Message);
    }
}

// ------------------------------------------------------------ TProgressBar

TProgressBar::TProgressBar(TComponent* AOwner) : TWinControl(AOwner) { SetBounds(0, 0, 150, 17); }

std::unique_ptr<QWidget> TProgressBar::CreateWidget(QWidget* ParentWidget)
{
    auto w = std::make_unique<TToolkitWidget<QProgressBar>>(this, ParentWidget);
    w->setTextVisible(false);
    return w;
}

void TProgressBar::UpdateWidget()
{
    TWinControl::UpdateWidget();
    if (!HandleAllocated())
        return;
    auto* w = static_cast<QProgressBar*>(Widget());
    w->setRange(FMin, FMax);
    w->setValue(FPosition);
}

void TProgressBar::SetRange(int AMin, int AMax) { Perform(PBM_SETRANGE32, WPARAM(intptr_t(AMin)), AMax); }

void TProgressBar::SetPosition(int Value) { Perform(PBM_SETPOS, WPARAM(intptr_t(Value))); }

void TProgressBar::Dispatch(TMessage& Message)
{
    switch (Message.Msg) {
    case PBM_SETPOS:
        Message.Result = FPosition;
        FPosition = std::clamp(int(intptr_t(Message.WParam)), FMin, std::max(FMin, FMax));
        UpdateWidget();
        return;
    case PBM_SETRANGE32:
        FMin = int(intptr_t(Message.WParam));
        FMax = std::max(FMin, int(Message.LParam));
        FPosition = std::clamp(FPosition, FMin, FMax);
        UpdateWidget();
        return;
    default:
        TWinControl::Dispatch(Message);
    }
}

// ----------------------------------------------------------------- TUpDown

TUpDown::TUpDown(TComponent* AOwner) : TCustomControl(AOwner)
{
    SetColor(clBtnFace);
    SetBounds(0, 0, 17, 21);
}

void TUpDown::SetPosition(int Value)
{
    FPosition = std::clamp(Value, FMin, std::max(FMin, FMax));
    if (FAssociate != nullptr)
        FAssociate->SetText(String::number(FPosition));
}

void TUpDown::SetAssociate(TWinControl* Value)
{
    FAssociate = Value;
    if (Value != nullptr) {
        SetBounds(Value->Left() + Value->Width(), Value->Top(), Width(), Value->Height());
        SetPosition(FPosition);
    }
}

void TUpDown::Paint()
{
    HDC dc = Canvas()->Handle();
    const int half = Height() / 2;
    DrawFrameControl(dc, Rect(0, 0, Width(), half), DFC_SCROLL, DFCS_SCROLLUP | (FPressed == 0 ? uint32_t(DFCS_PUSHED) : 0u));
    DrawFrameControl(dc, Rect(0, half, Width(), Height()), DFC_SCROLL, DFCS_SCROLLDOWN | (FPressed == 1 ? uint32_t(DFCS_PUSHED) : 0u));
}

void TUpDown::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TCustomControl::MouseDown(Button, Shift, X, Y);
    if (Button != mbLeft)
        return;
    const TUDBtnType which = Y < Height() / 2 ? btNext : btPrev;
    SetPosition(FPosition + (which == btNext ? FIncrement : -FIncrement));
    if (OnClick)
        OnClick(this, which);
}

// -------------------------------------------------------------- TStatusBar

TStatusBar::TStatusBar(TComponent* AOwner) : TCustomControl(AOwner)
{
    SetColor(clBtnFace);
    SetBounds(0, 0, 200, 19);
    SetAlign(alBottom);
}

TStatusPanel& TStatusBar::AddPanel()
{
    FPanels.emplace_back();
    Invalidate();
    return FPanels.back();
}

TRect TStatusBar::PanelRect(int Index) const
{
    int left = 0;
    for (int i = 0; i < Index; ++i)
        left += FPanels[size_t(i)].Width + 2;
    // The last panel takes what is left, as the original's did.
    const bool last = Index == int(FPanels.size()) - 1;
    const int right = last ? Width() : left + FPanels[size_t(Index)].Width;
    return Rect(left, 2, right, Height());
}

void TStatusBar::Paint()
{
    TCanvas* c = Canvas();
    c->Brush()->SetColor(Color());
    c->FillRect(ClientRect());
    c->Brush()->SetStyle(bsClear);
    if (FSimplePanel || FPanels.empty()) {
        TRect r = Rect(2, 2, Width(), Height());
        c->TextRect(r, FSimpleText, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
        return;
    }
    for (int i = 0; i < PanelCount(); ++i) {
        TRect r = PanelRect(i);
        DrawEdge(c->Handle(), r, BDR_SUNKENOUTER, BF_RECT | BF_ADJUST);
        InflateRect(r, -1, 0);
        uint32_t flags = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS;
        if (FPanels[size_t(i)].Alignment == taCenter) flags |= DT_CENTER;
        if (FPanels[size_t(i)].Alignment == taRightJustify) flags |= DT_RIGHT;
        c->TextRect(r, FPanels[size_t(i)].Text, flags);
    }
}

// ------------------------------------------------------ TToolBar / buttons

TToolButton::TToolButton(TComponent* AOwner) : TGraphicControl(AOwner)
{
    SetParentColor(true);
    SetBounds(0, 0, 23, 22);
}

void TToolButton::SetStyle(TToolButtonStyle Value)
{
    FStyle = Value;
    if (Parent() != nullptr)
        Parent()->Realign();
}

void TToolButton::Paint()
{
    TCanvas* c = Canvas();
    TRect r = ClientRect();
    if (FStyle == tbsSeparator || FStyle == tbsDivider) {
        if (FStyle == tbsDivider) {
            TRect line = Rect(r.Width() / 2 - 1, 0, r.Width() / 2 + 1, r.Height());
            DrawEdge(c->Handle(), line, EDGE_ETCHED, BF_LEFT);
        }
        return;
    }
    if (FDown || FPressed)
        DrawEdge(c->Handle(), r, BDR_SUNKENOUTER, BF_RECT);
    TRect text = r;
    if (FStyle == tbsDropDown) {
        text.Right -= DropDownWidth;
        TRect arrow = Rect(text.Right, 0, r.Right, r.Bottom);
        const TPoint m = arrow.CenterPoint();
        const TPoint tri[] = {{m.X - 3, m.Y - 1}, {m.X + 3, m.Y - 1}, {m.X, m.Y + 2}};
        c->Brush()->SetColor(clBtnText);
        c->Pen()->SetColor(clBtnText);
        c->Polygon(tri);
    }
    // The picture on top, the caption below it (or the caption alone).
    const auto* bar = dynamic_cast<const TToolBar*>(Parent());
    const TImageList* images = bar != nullptr ? bar->Images() : nullptr;
    if (images != nullptr && FImageIndex >= 0 && FImageIndex < images->Count()) {
        const bool captions = bar->ShowCaptions();
        const int x = text.Left + (text.Width() - images->Width()) / 2;
        const int y = captions ? 2 : (r.Height() - images->Height()) / 2;
        images->Draw(c, x, y, FImageIndex, Enabled());
        if (!captions)
            return;
        text.Top = y + images->Height();
    }
    c->Brush()->SetStyle(bsClear);
    c->TextRect(text, Caption(), DT_SINGLELINE | DT_CENTER | DT_VCENTER);
}

void TToolButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TGraphicControl::MouseDown(Button, Shift, X, Y);
    if (Button != mbLeft)
        return;
    if (FStyle == tbsDropDown && X >= Width() - DropDownWidth && FDropdownMenu != nullptr) {
        FControlState.Exclude(csClicked);
        const TPoint s = ClientToScreen({0, Height()});
        FDropdownMenu->SetPopupComponent(this);
        FDropdownMenu->Popup(s.X, s.Y);
        return;
    }
    FPressed = true;
    Invalidate();
}

void TToolButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    FPressed = false;
    Invalidate();
    TGraphicControl::MouseUp(Button, Shift, X, Y);
}

void TToolButton::Click()
{
    if (FStyle == tbsCheck)
        SetDown(!FDown);
    TGraphicControl::Click();
}

TToolBar::TToolBar(TComponent* AOwner) : TCustomControl(AOwner)
{
    SetColor(clBtnFace);
    SetBounds(0, 0, 150, 29);
    SetAlign(alTop);
}

void TToolBar::AlignControls(TControl* AControl)
{
    TCustomControl::AlignControls(AControl);
    int x = 0;
    for (int i = 0; i < ControlCount(); ++i) {
        auto* b = dynamic_cast<TToolButton*>(Controls(i));
        if (b == nullptr || !b->Visible())
            continue;
        int w = FButtonWidth;
        if (b->Style() == tbsSeparator || b->Style() == tbsDivider)
            w = 8;
        else if (b->Style() == tbsDropDown)
            w += TToolButton::DropDownWidth;
        b->SetBounds(x, 2, w, FButtonHeight);
        x += w;
    }
}

void TToolBar::SetImages(TImageList* Value)
{
    if (FImages == Value)
        return;
    if (FImages != nullptr)
        FImages->RemoveFreeNotification(this);
    FImages = Value;
    if (FImages != nullptr)
        FImages->FreeNotification(this);
    Invalidate();
    for (int i = 0; i < ControlCount(); ++i)
        Controls(i)->Invalidate();
}

void TToolBar::Notification(TComponent* AComponent, TOperation Operation)
{
    TCustomControl::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FImages)
        FImages = nullptr;
}

void TToolBar::Paint()
{
    Canvas()->Brush()->SetColor(Color());
    Canvas()->FillRect(ClientRect());
}
