#include "platform/controls/ComCtrls.h"

#include <QApplication>
#include <QPainter>
#include <QProgressBar>
#include <QSlider>
#include <QStyle>
#include <QStyleOptionSlider>
#include <algorithm>

#include "platform/controls/Menus.h"
#include "platform/controls/ToolkitWidget.h"
#include "platform/graphics/Graphics.h"
#include "platform/graphics/ImgList.h"

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

namespace {

// What the slider's own paint would draw, with no part chosen yet.
void sliderOption(const QSlider* W, QStyleOptionSlider& Option)
{
    Option.initFrom(W);
    Option.subControls = QStyle::SC_None;
    Option.activeSubControls = QStyle::SC_None;
    Option.orientation = W->orientation();
    Option.minimum = W->minimum();
    Option.maximum = W->maximum();
    Option.tickPosition = W->tickPosition();
    Option.tickInterval = W->tickInterval();
    Option.upsideDown = W->orientation() == Qt::Horizontal
                            ? W->invertedAppearance() != (Option.direction == Qt::RightToLeft)
                            : !W->invertedAppearance();
    Option.sliderPosition = W->sliderPosition();
    Option.sliderValue = W->value();
    Option.singleStep = W->singleStep();
    Option.pageStep = W->pageStep();
    if (W->orientation() == Qt::Horizontal)
        Option.state |= QStyle::State_Horizontal;
}

QStyle::SubControl sliderPart(uintptr_t Part)
{
    return Part == TBCD_THUMB ? QStyle::SC_SliderHandle
           : Part == TBCD_CHANNEL ? QStyle::SC_SliderGroove
                                  : QStyle::SC_SliderTickmarks;
}

}  // namespace

TRect TTrackBar::partRect(int Part)
{
    auto* w = static_cast<QSlider*>(Widget());
    QStyleOptionSlider option;
    sliderOption(w, option);
    const QRect r = w->style()->subControlRect(QStyle::CC_Slider, &option, sliderPart(uintptr_t(Part)), w);
    return TRect{r.left(), r.top(), r.right() + 1, r.bottom() + 1};
}

void TTrackBar::PaintWindow(HDC DC)
{
    NMCUSTOMDRAW draw;
    draw.hdr.hwndFrom = Handle();
    draw.hdr.code = NM_CUSTOMDRAW;
    draw.dwDrawStage = CDDS_PREPAINT;
    draw.hdc = DC;
    draw.rc = ClientRect();
    const LRESULT answer = Perform(CN_NOTIFY, 0, reinterpret_cast<LPARAM>(&draw));
    if ((answer & CDRF_SKIPDEFAULT) != 0)
        return;
    if ((answer & CDRF_NOTIFYITEMDRAW) == 0) {
        TWinControl::PaintWindow(DC);
        return;
    }
    // Part by part: the background first, then ticks, channel and thumb,
    // each drawn by the toolkit unless the handler drew it.
    const TDCBrush background{ColorToRGB(Color()), dbsSolid};
    ::FillRect(DC, ClientRect(), &background);
    auto* w = static_cast<QSlider*>(Widget());
    for (const uintptr_t part : {TBCD_TICS, TBCD_CHANNEL, TBCD_THUMB}) {
        draw.dwDrawStage = CDDS_ITEMPREPAINT;
        draw.dwItemSpec = part;
        draw.rc = partRect(int(part));
        if ((Perform(CN_NOTIFY, 0, reinterpret_cast<LPARAM>(&draw)) & CDRF_SKIPDEFAULT) != 0)
            continue;
        QImage image(Width(), Height(), QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        {
            QPainter painter(&image);
            QStyleOptionSlider option;
            sliderOption(w, option);
            option.subControls = sliderPart(part);
            w->style()->drawComplexControl(QStyle::CC_Slider, &option, &painter, w);
        }
        DrawImage(DC, ClientRect(), image);
    }
}

void TTrackBar::Dispatch(TMessage& Message)
{
    switch (Message.Msg) {
    case TBM_GETCHANNELRECT: case TBM_GETTHUMBRECT:
        if (auto* r = reinterpret_cast<TRect*>(Message.LParam)) {
            *r = partRect(Message.Msg == TBM_GETTHUMBRECT ? TBCD_THUMB : TBCD_CHANNEL);
            if (Message.Msg == TBM_GETCHANNELRECT && FOrientation == trVertical)
                *r = TRect{r->Top, r->Left, r->Bottom, r->Right};
        }
        return;
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
    w->setOrientation(FOrientation == pbVertical ? Qt::Vertical : Qt::Horizontal);
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
    case PBM_GETPOS:
        Message.Result = FPosition;
        return;
    case PBM_GETRANGE:
        // WParam non-zero asks for the low limit.
        Message.Result = Message.WParam != 0 ? FMin : FMax;
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
    if (FOrientation == udHorizontal) {
        const int half = Width() / 2;
        DrawFrameControl(dc, Rect(0, 0, half, Height()), DFC_SCROLL, DFCS_SCROLLLEFT | (FPressed == 1 ? uint32_t(DFCS_PUSHED) : 0u));
        DrawFrameControl(dc, Rect(half, 0, Width(), Height()), DFC_SCROLL, DFCS_SCROLLRIGHT | (FPressed == 0 ? uint32_t(DFCS_PUSHED) : 0u));
        return;
    }
    const int half = Height() / 2;
    DrawFrameControl(dc, Rect(0, 0, Width(), half), DFC_SCROLL, DFCS_SCROLLUP | (FPressed == 0 ? uint32_t(DFCS_PUSHED) : 0u));
    DrawFrameControl(dc, Rect(0, half, Width(), Height()), DFC_SCROLL, DFCS_SCROLLDOWN | (FPressed == 1 ? uint32_t(DFCS_PUSHED) : 0u));
}

void TUpDown::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TCustomControl::MouseDown(Button, Shift, X, Y);
    if (Button != mbLeft)
        return;
    const TUDBtnType which = FOrientation == udHorizontal ? (X < Width() / 2 ? btPrev : btNext)
                                                         : (Y < Height() / 2 ? btNext : btPrev);
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
        const TStatusPanel& panel = FPanels[size_t(i)];
        if (panel.Bevel != pbNone)
            DrawEdge(c->Handle(), r, panel.Bevel == pbRaised ? BDR_RAISEDINNER : BDR_SUNKENOUTER, BF_RECT | BF_ADJUST);
        else
            InflateRect(r, -1, -1);
        if (panel.Style == psOwnerDraw) {
            if (OnDrawPanel)
                OnDrawPanel(this, &FPanels[size_t(i)], r);
            continue;
        }
        InflateRect(r, -1, 0);
        uint32_t flags = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS;
        if (FPanels[size_t(i)].Alignment == taCenter) flags |= DT_CENTER;
        if (FPanels[size_t(i)].Alignment == taRightJustify) flags |= DT_RIGHT;
        c->TextRect(r, FPanels[size_t(i)].Text, flags);
    }
}

// ------------------------------------------------------ TToolBar / buttons

namespace {

constexpr uint32_t captionFlags = DT_SINGLELINE | DT_CENTER | DT_TOP;
constexpr int captionMargin = 6;  // on each side of the caption
constexpr int imageMargin = 3;    // left and right of the picture

// The size of a caption drawn in Font (with "&&" shown as "&").
TSize captionExtent(const TFont* Font, const String& Caption)
{
    QImage scratch(1, 1, QImage::Format_RGB32);
    TDeviceContext dc(&scratch);
    TCanvas canvas;
    canvas.SetHandle(&dc);
    canvas.Font()->Assign(Font);
    TRect r = Rect(0, 0, 0, 0);
    canvas.TextRect(r, Caption, DT_SINGLELINE | DT_CALCRECT);
    canvas.SetHandle(nullptr);
    return {r.Width(), r.Height()};
}

// The checked look: every other pixel in the highlight colour.
QImage ditherImage(int Width, int Height)
{
    QImage image(std::max(Width, 0), std::max(Height, 0), QImage::Format_RGB32);
    const TColor face = ColorToRGB(clBtnFace), light = ColorToRGB(clBtnHighlight);
    const QRgb a = qRgb(GetRValue(face), GetGValue(face), GetBValue(face));
    const QRgb b = qRgb(GetRValue(light), GetGValue(light), GetBValue(light));
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            image.setPixel(x, y, ((x + y) & 1) != 0 ? b : a);
    return image;
}

}  // namespace

TToolButton::TToolButton(TComponent* AOwner) : TGraphicControl(AOwner)
{
    SetParentColor(true);
    SetBounds(0, 0, 23, 22);
}

TToolBar* TToolButton::ToolBar() const { return dynamic_cast<TToolBar*>(Parent()); }

void TToolButton::SetStyle(TToolButtonStyle Value)
{
    FStyle = Value;
    if (Parent() != nullptr)
        Parent()->Realign();
}

int TToolButton::NeededWidth() const
{
    int need = 0;
    const TToolBar* bar = ToolBar();
    if (bar != nullptr && bar->Images() != nullptr && FImageIndex >= 0)
        need = bar->Images()->Width() + 2 * imageMargin;
    if (bar == nullptr || bar->ShowCaptions())
        need = std::max(need, captionExtent(Font(), Caption()).cx + 2 * captionMargin);
    return need;
}

void TToolButton::Dispatch(TMessage& Message)
{
    switch (Message.Msg) {
    case CM_MOUSEENTER: case CM_MOUSELEAVE:
        FHot = Message.Msg == CM_MOUSEENTER;
        Invalidate();
        break;
    case WM_CAPTURECHANGED:
        FPressed = false;
        Invalidate();
        break;
    case CM_TEXTCHANGED: case CM_FONTCHANGED:
        if (Parent() != nullptr)
            Parent()->Realign();
        break;
    default: break;
    }
    TGraphicControl::Dispatch(Message);
}

TCustomDrawState TToolButton::DrawState() const
{
    TCustomDrawState state;
    if (!Enabled()) {
        state.Include(cdsDisabled).Include(cdsGrayed);
        return state;
    }
    if (FDown || Pressed())
        state.Include(cdsSelected);
    if (FDown)
        state.Include(cdsChecked);
    if (FHot)
        state.Include(cdsHot);
    return state;
}

void TToolButton::SetMenuItem(TMenuItem* Value)
{
    FMenuItem = Value;
    if (Value != nullptr)
        SetCaption(Value->Caption());
}

void TToolButton::Paint()
{
    TCanvas* c = Canvas();
    const TRect r = ClientRect();
    if (TToolBar* bar = ToolBar(); bar != nullptr && bar->OnCustomDrawButton && FStyle != tbsSeparator
                                   && FStyle != tbsDivider) {
        // The tool bar's handler draws in the tool bar's coordinates.
        bool defaultDraw = true;
        HDC dc = c->Handle();
        const int saved = SaveDC(dc);
        MoveWindowOrg(dc, -Left(), -Top());
        bar->Canvas()->SetHandle(dc);
        bar->Canvas()->Font()->Assign(Font());
        bar->OnCustomDrawButton(bar, this, DrawState(), defaultDraw);
        c->Font()->SetColor(bar->Canvas()->Font()->Color());
        bar->Canvas()->SetHandle(nullptr);
        RestoreDC(dc, saved);
        if (!defaultDraw)
            return;
    } else {
        c->Font()->SetColor(Font()->Color());
    }
    if (FStyle == tbsSeparator || FStyle == tbsDivider) {
        if (FStyle == tbsDivider) {
            TRect line = Rect(r.Width() / 2 - 1, 0, r.Width() / 2 + 1, r.Height());
            DrawEdge(c->Handle(), line, EDGE_ETCHED, BF_LEFT);
        }
        return;
    }
    const bool enabled = Enabled();
    const bool pressed = enabled && Pressed();
    const bool hot = enabled && FHot;
    TRect button = r;
    if (FStyle == tbsDropDown)
        button.Right -= DropDownWidth;
    // The frame: sunken when down or pressed, raised under the pointer.
    if (FDown) {
        TRect inner = button;
        InflateRect(inner, -1, -1);
        DrawImage(c->Handle(), inner, ditherImage(inner.Width(), inner.Height()));
    }
    const TToolBar* owner = ToolBar();
    if (FDown || pressed)
        DrawEdge(c->Handle(), button, BDR_SUNKENOUTER, BF_RECT);
    else if (hot || (owner != nullptr && !owner->Flat()))
        DrawEdge(c->Handle(), button, BDR_RAISEDINNER, BF_RECT);
    if (FStyle == tbsDropDown) {
        TRect arrow = Rect(button.Right, 0, r.Right, r.Bottom);
        if (hot)
            DrawEdge(c->Handle(), arrow, BDR_RAISEDINNER, BF_RECT);
        const TPoint m = arrow.CenterPoint();
        const TColor arrowColor = enabled ? clBtnText : clBtnShadow;
        const TPoint tri[] = {{m.X - 3, m.Y - 1}, {m.X + 3, m.Y - 1}, {m.X, m.Y + 2}};
        c->Brush()->SetStyle(bsSolid);
        c->Brush()->SetColor(arrowColor);
        c->Pen()->SetColor(arrowColor);
        c->Polygon(tri);
    }
    // The content moves one pixel down-right while pressed or down.
    const int shift = FDown || pressed ? 1 : 0;
    const TToolBar* bar = ToolBar();
    const TImageList* images = bar != nullptr ? bar->Images() : nullptr;
    const bool showCaption = bar == nullptr || bar->ShowCaptions();
    const TSize text = showCaption ? captionExtent(Font(), Caption()) : TSize{0, 0};
    int top = shift;
    if (images != nullptr && FImageIndex >= 0 && FImageIndex < images->Count()) {
        // The picture over the caption, the two centred together.
        const int gap = showCaption ? 1 : 0;
        const int contentHeight = images->Height() + (showCaption ? gap + text.cy : 0);
        top = std::max(0, (button.Height() - contentHeight) / 2) + shift;
        images->Draw(c, button.Left + (button.Width() - images->Width()) / 2 + shift, top, FImageIndex, enabled);
        top += images->Height() + gap;
    } else {
        top = (button.Height() - text.cy) / 2 + shift;
    }
    if (!showCaption)
        return;
    c->Brush()->SetStyle(bsClear);
    TRect caption = Rect(button.Left + shift, top, button.Right + shift, top + text.cy);
    if (enabled) {
        // The font colour a custom-draw handler chose stands.
        c->TextRect(caption, Caption(), captionFlags);
        return;
    }
    // Greyed: the caption in the shadow colour over a highlight copy.
    TRect light = caption;
    OffsetRect(light, 1, 1);
    c->Font()->SetColor(clBtnHighlight);
    c->TextRect(light, Caption(), captionFlags);
    c->Font()->SetColor(clBtnShadow);
    c->TextRect(caption, Caption(), captionFlags);
}

void TToolButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TGraphicControl::MouseDown(Button, Shift, X, Y);
    if (Button != mbLeft || !Enabled())
        return;
    if (FStyle == tbsDropDown && X >= Width() - DropDownWidth && FDropdownMenu != nullptr) {
        FControlState.Exclude(csClicked);
        const TPoint s = ClientToScreen({0, Height()});
        FDropdownMenu->SetPopupComponent(this);
        FDropdownMenu->Popup(s.X, s.Y);
        return;
    }
    FPressed = true;
    FHot = true;
    Invalidate();
}

void TToolButton::MouseMove(TShiftState Shift, int X, int Y)
{
    // While held, the button shows pressed only with the pointer over it.
    if (FPressed) {
        const bool inside = ClientRect().Contains(TPoint{X, Y});
        if (inside != FHot) {
            FHot = inside;
            Invalidate();
        }
    }
    TGraphicControl::MouseMove(Shift, X, Y);
}

void TToolButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    FPressed = false;
    Invalidate();
    TGraphicControl::MouseUp(Button, Shift, X, Y);
}

void TToolButton::Click()
{
    if (!Enabled())
        return;
    if (FStyle == tbsCheck)
        SetDown(!FDown);
    TGraphicControl::Click();
    if (FMenuItem != nullptr) {
        if (FMenuItem->Count() > 0)
            FMenuItem->PopupAt(ClientToScreen({0, Height()}), false);
        else
            FMenuItem->Click();
    }
}

TToolBar::TToolBar(TComponent* AOwner) : TCustomControl(AOwner)
{
    SetColor(clBtnFace);
    SetBounds(0, 0, 150, 29);
    SetAlign(alTop);
}

void TToolBar::SetImages(TImageList* Value)
{
    if (FImages != nullptr)
        FImages->RemoveFreeNotification(this);
    FImages = Value;
    if (Value != nullptr)
        Value->FreeNotification(this);
    Realign();
    Invalidate();
}

void TToolBar::Notification(TComponent* AComponent, TOperation Operation)
{
    TCustomControl::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FImages)
        FImages = nullptr;
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
        else {
            w = std::max(w, b->NeededWidth());
            if (b->Style() == tbsDropDown)
                w += TToolButton::DropDownWidth;
        }
        b->SetBounds(x, 2, w, FButtonHeight);
        x += w;
    }
}

void TToolBar::Paint()
{
    bool defaultDraw = true;
    if (OnCustomDraw)
        OnCustomDraw(this, ClientRect(), defaultDraw);
    if (!defaultDraw)
        return;
    Canvas()->Brush()->SetColor(Color());
    Canvas()->FillRect(ClientRect());
}

// ----------------------------------------------------- TTabSheet / TPageControl

namespace {

constexpr int tabPadding = 6;     // left and right of a tab's caption
constexpr int selectedRise = 2;   // the selected tab stands out by this much
constexpr int frameInset = 4;     // the sheets' distance from the frame

// The page control a focused widget lies in, if any.
const char* const pageControlMark = "vorlanePageControl";

}  // namespace

TTabSheet::TTabSheet(TComponent* AOwner) : TWinControl(AOwner)
{
    FControlStyle = TControlStyle{csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks};
    SetParentColor(true);
    SetVisible(false);
}

TTabSheet::~TTabSheet()
{
    if (FPageControl != nullptr)
        FPageControl->removePage(this);
}

void TTabSheet::SetPageControl(TPageControl* AValue)
{
    if (FPageControl == AValue)
        return;
    if (FPageControl != nullptr)
        FPageControl->removePage(this);
    if (AValue != nullptr)
        AValue->insertPage(this);
}

int TTabSheet::PageIndex() const
{
    if (FPageControl == nullptr)
        return -1;
    const auto& pages = FPageControl->FPages;
    return int(std::find(pages.begin(), pages.end(), this) - pages.begin());
}

void TTabSheet::SetPageIndex(int Value)
{
    if (FPageControl == nullptr)
        return;
    auto& pages = FPageControl->FPages;
    std::erase(pages, this);
    Value = std::clamp(Value, 0, int(pages.size()));
    pages.insert(pages.begin() + Value, this);
    FPageControl->Invalidate();
}

void TTabSheet::SetTabVisible(bool Value)
{
    if (FTabVisible == Value)
        return;
    FTabVisible = Value;
    if (FPageControl == nullptr)
        return;
    if (!Value && FPageControl->FActivePage == this)
        FPageControl->SetActivePage(FPageControl->FindNextPage(this, true, true));
    FPageControl->Invalidate();
}

int TTabSheet::TabIndex() const
{
    if (FPageControl == nullptr || !FTabVisible)
        return -1;
    const auto tabs = FPageControl->visibleTabs();
    return int(std::find(tabs.begin(), tabs.end(), this) - tabs.begin());
}

void TTabSheet::Dispatch(TMessage& Message)
{
    TWinControl::Dispatch(Message);
    if (Message.Msg == CM_TEXTCHANGED && FPageControl != nullptr)
        FPageControl->Invalidate();
}

TPageControl::TPageControl(TComponent* AOwner) : TCustomControl(AOwner)
{
    FControlStyle = TControlStyle{csAcceptsControls, csCaptureMouse, csClickEvents, csDoubleClicks};
    SetTabStop(true);
    SetColor(clBtnFace);
    SetBounds(0, 0, 289, 193);
}

TPageControl::~TPageControl()
{
    for (TTabSheet* page : FPages)
        page->FPageControl = nullptr;
    FPages.clear();
    FActivePage = nullptr;
}

std::unique_ptr<QWidget> TPageControl::CreateWidget(QWidget* ParentWidget)
{
    auto w = TCustomControl::CreateWidget(ParentWidget);
    w->setFocusPolicy(Qt::StrongFocus);
    w->setProperty(pageControlMark, true);
    return w;
}

void TPageControl::insertPage(TTabSheet* Page)
{
    FPages.push_back(Page);
    Page->FPageControl = this;
    Page->SetParent(this);
    if (FActivePage == nullptr && Page->TabVisible())
        SetActivePage(Page);
    else
        Page->SetVisible(Page == FActivePage);
    Realign();
    Invalidate();
}

void TPageControl::removePage(TTabSheet* Page)
{
    TTabSheet* next = FActivePage == Page ? FindNextPage(Page, true, true) : FActivePage;
    std::erase(FPages, Page);
    Page->FPageControl = nullptr;
    if (next == Page)
        next = nullptr;
    if (FActivePage == Page) {
        FActivePage = nullptr;
        if (!ComponentState().Contains(csDestroying))
            SetActivePage(next);
    }
    if (Page->Parent() == this && !Page->ComponentState().Contains(csDestroying))
        Page->SetParent(nullptr);
    Invalidate();
}

std::vector<TTabSheet*> TPageControl::visibleTabs() const
{
    std::vector<TTabSheet*> tabs;
    for (TTabSheet* page : FPages)
        if (page->TabVisible())
            tabs.push_back(page);
    return tabs;
}

void TPageControl::SetActivePage(TTabSheet* Page)
{
    if (Page != nullptr && Page->FPageControl != this)
        return;
    if (Page == FActivePage)
        return;
    // A focused control on the page that goes away hands the focus to the tabs.
    const bool hadFocus = FActivePage != nullptr && FActivePage->HandleAllocated()
                          && FActivePage->Widget()->isAncestorOf(QApplication::focusWidget());
    TTabSheet* old = FActivePage;
    FActivePage = Page;
    if (Page != nullptr) {
        Page->SetBoundsRect(DisplayRect());
        Page->SetVisible(true);
        Page->BringToFront();
    }
    if (old != nullptr)
        old->SetVisible(false);
    if (hadFocus && CanFocus() && HandleAllocated() && Widget()->isVisible())
        SetFocus();
    Invalidate();
}

void TPageControl::SetActivePageIndex(int Value)
{
    SetActivePage(Value >= 0 && Value < PageCount() ? Pages(Value) : nullptr);
}

TTabSheet* TPageControl::FindNextPage(TTabSheet* CurPage, bool GoForward, bool CheckTabVisible) const
{
    const int count = PageCount();
    if (count == 0)
        return nullptr;
    auto it = std::find(FPages.begin(), FPages.end(), CurPage);
    int start = it == FPages.end() ? (GoForward ? count - 1 : 0) : int(it - FPages.begin());
    int i = start;
    for (int n = 0; n < count; ++n) {
        i = GoForward ? (i + 1) % count : (i + count - 1) % count;
        TTabSheet* page = FPages[size_t(i)];
        if (!CheckTabVisible || page->TabVisible())
            return page;
    }
    return nullptr;
}

bool TPageControl::ChangeActivePage(TTabSheet* Page)
{
    if (Page == nullptr || Page == FActivePage)
        return false;
    bool allow = true;
    if (OnChanging)
        OnChanging(this, allow);
    if (!allow)
        return false;
    SetActivePage(Page);
    if (OnChange)
        OnChange(this);
    return true;
}

void TPageControl::SelectNextPage(bool GoForward, bool CheckTabVisible)
{
    ChangeActivePage(FindNextPage(FActivePage, GoForward, CheckTabVisible));
}

void TPageControl::SetTabHeight(int Value)
{
    FTabHeight = std::max(Value, 0);
    Realign();
    Invalidate();
}

void TPageControl::SetTabWidth(int Value)
{
    FTabWidth = std::max(Value, 0);
    Invalidate();
}

int TPageControl::tabRowHeight() const
{
    if (FTabHeight > 0)
        return FTabHeight + selectedRise;
    TDeviceContext dc(nullptr);
    dc.SetFont(Font()->QtFont());
    TTextMetric tm;
    GetTextMetrics(&dc, tm);
    return tm.tmHeight + 6 + selectedRise;
}

TRect TPageControl::TabRect(int Index)
{
    const auto tabs = visibleTabs();
    if (Index < 0 || Index >= int(tabs.size()))
        return Rect(0, 0, 0, 0);
    int x = selectedRise;
    const int bottom = tabRowHeight();
    for (int i = 0;; ++i) {
        const int w = FTabWidth > 0 ? FTabWidth : captionExtent(Font(), tabs[size_t(i)]->Caption()).cx + 2 * tabPadding;
        if (i == Index)
            return Rect(x, selectedRise, x + w, bottom);
        x += w;
    }
}

int TPageControl::IndexOfTabAt(int X, int Y)
{
    const int count = int(visibleTabs().size());
    for (int i = 0; i < count; ++i) {
        TRect r = TabRect(i);
        if (i == TabIndex()) {
            InflateRect(r, selectedRise, 0);
            r.Top -= selectedRise;
        }
        if (r.Contains(TPoint{X, Y}))
            return i;
    }
    return -1;
}

TRect TPageControl::DisplayRect()
{
    TRect r = ClientRect();
    AdjustClientRect(r);
    return r;
}

void TPageControl::AdjustClientRect(TRect& R) const
{
    R = Rect(R.Left + frameInset, R.Top + tabRowHeight() + frameInset, R.Right - frameInset, R.Bottom - frameInset);
    if (R.Right < R.Left) R.Right = R.Left;
    if (R.Bottom < R.Top) R.Bottom = R.Top;
}

void TPageControl::AlignControls(TControl* AControl)
{
    TCustomControl::AlignControls(AControl);
    const TRect r = DisplayRect();
    for (TTabSheet* page : FPages)
        page->SetBoundsRect(r);
}

void TPageControl::Paint()
{
    TCanvas* c = Canvas();
    HDC dc = c->Handle();
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(Color());
    c->FillRect(ClientRect());
    const int row = tabRowHeight();
    TRect frame = Rect(0, row, Width(), Height());
    DrawEdge(dc, frame, EDGE_RAISED, BF_RECT);
    const auto tabs = visibleTabs();
    const int selected = TabIndex();
    const auto line = [&](TColor Color, int L, int T, int R, int B) {
        c->Brush()->SetColor(Color);
        c->FillRect(Rect(L, T, R, B));
    };
    // Unselected tabs first; the selected one overlaps them and the frame.
    for (int pass = 0; pass < 2; ++pass) {
        for (int i = 0; i < int(tabs.size()); ++i) {
            const bool isSelected = i == selected;
            if (isSelected != (pass == 1))
                continue;
            TRect r = TabRect(i);
            if (isSelected) {
                r.Left -= selectedRise;
                r.Right += selectedRise;
                r.Top -= selectedRise;
                r.Bottom += 1;  // over the frame's top line
            }
            line(Color(), r.Left, r.Top, r.Right, r.Bottom);
            line(clBtnHighlight, r.Left, r.Top + 2, r.Left + 1, r.Bottom);         // left
            line(clBtnHighlight, r.Left + 1, r.Top + 1, r.Left + 2, r.Top + 2);    // rounded corner
            line(clBtnHighlight, r.Left + 2, r.Top, r.Right - 2, r.Top + 1);       // top
            line(clBtnShadow, r.Right - 2, r.Top + 1, r.Right - 1, r.Bottom);      // right, inner
            line(cl3DDkShadow, r.Right - 1, r.Top + 2, r.Right, r.Bottom);         // right, outer
            if (isSelected)
                line(Color(), r.Left + 1, r.Bottom - 1, r.Right - 2, r.Bottom + 1);  // open into the page
            TRect text = r;
            if (isSelected)
                OffsetRect(text, 0, -1);
            c->Brush()->SetStyle(bsClear);
            c->Font()->SetColor(Enabled() ? Font()->Color() : clGrayText);
            c->TextRect(text, tabs[size_t(i)]->Caption(), DT_SINGLELINE | DT_CENTER | DT_VCENTER);
            c->Brush()->SetStyle(bsSolid);
            if (isSelected && Focused()) {
                TRect focus = text;
                InflateRect(focus, -3, -3);
                DrawFocusRect(dc, focus);
            }
        }
    }
}

bool TPageControl::focusIsInside() const
{
    const QWidget* focus = QApplication::focusWidget();
    if (focus == nullptr || !HandleAllocated())
        return false;
    const QWidget* own = const_cast<TPageControl*>(this)->Widget();
    return focus == own || own->isAncestorOf(focus);
}

void TPageControl::Dispatch(TMessage& Message)
{
    switch (Message.Msg) {
    case TCM_GETITEMCOUNT:
        Message.Result = LRESULT(visibleTabs().size());
        return;
    case TCM_GETCURSEL: case TCM_GETCURFOCUS:
        Message.Result = TabIndex();
        return;
    case TCM_GETITEMRECT: {
        const int index = int(Message.WParam);
        auto* r = reinterpret_cast<TRect*>(Message.LParam);
        Message.Result = r != nullptr && index >= 0 && index < int(visibleTabs().size());
        if (Message.Result != 0)
            *r = TabRect(index);
        return;
    }
    case TCM_GETITEM: {
        const auto tabs = visibleTabs();
        const int index = int(Message.WParam);
        auto* item = reinterpret_cast<TCITEM*>(Message.LParam);
        Message.Result = item != nullptr && index >= 0 && index < int(tabs.size());
        if (Message.Result != 0)
            item->Text = tabs[size_t(index)]->Caption();
        return;
    }
    case TCM_ADJUSTRECT:
        if (auto* r = reinterpret_cast<TRect*>(Message.LParam))
            AdjustClientRect(*r);
        return;
    case CM_DIALOGKEY: {
        const TShiftState shift = KeyDataToShiftState(Message.LParam);
        if (Message.WParam == VK_TAB && shift.Contains(ssCtrl) && Visible() && Enabled()) {
            // A page control inside ours, holding the focus, switches its own pages.
            TCustomControl::Dispatch(Message);
            if (Message.Result != 0)
                return;
            // Ours when the focus is in it, or in none of the window's page controls.
            bool mine = focusIsInside();
            if (!mine) {
                mine = true;
                for (const QWidget* w = QApplication::focusWidget(); w != nullptr; w = w->parentWidget())
                    if (w->property(pageControlMark).toBool())
                        mine = false;
            }
            if (mine) {
                SelectNextPage(!shift.Contains(ssShift));
                Message.Result = 1;
            }
            return;
        }
        TCustomControl::Dispatch(Message);
        return;
    }
    case WM_SETFOCUS: case WM_KILLFOCUS:
        TCustomControl::Dispatch(Message);
        Invalidate();
        return;
    case CM_FONTCHANGED:
        TCustomControl::Dispatch(Message);
        Realign();
        return;
    default:
        TCustomControl::Dispatch(Message);
    }
}

void TPageControl::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (Button == mbLeft) {
        const int index = IndexOfTabAt(X, Y);
        if (index >= 0) {
            if (CanFocus())
                SetFocus();
            ChangeActivePage(visibleTabs()[size_t(index)]);
        }
    }
    TCustomControl::MouseDown(Button, Shift, X, Y);
}

void TPageControl::KeyDown(uint16_t& Key, TShiftState Shift)
{
    TCustomControl::KeyDown(Key, Shift);
    if (Key == VK_LEFT || Key == VK_RIGHT) {
        SelectNextPage(Key == VK_RIGHT);
        Key = 0;
    }
}
