// vlGroupBox.cpp - the group box's caption layout, frame painting and the
// control that hosts the child controls below (or beside) its caption.
#include "ui/controls/vlGroupBox.h"

#include <algorithm>

#include "platform/controls/Menus.h"
#include "platform/controls/Messages.h"
#include "platform/graphics/DeviceContext.h"
#include "ui/editors/vlEditPaintUtils.h"
#include "ui/foundation/vxOffice11.h"

namespace {

int textHeightOf(const TFont* AFont, const char* ASample)
{
    TvlScreenCanvas* canvas = GetScreenCanvas();
    if (AFont != nullptr)
        canvas->SetFont(AFont);
    return canvas->TextHeight(String::fromLatin1(ASample));
}

TRect deflated(TRect R, int D)
{
    InflateRect(R, -D, -D);
    return R;
}

}  // namespace

int GroupBoxCaptionSide(TvlCaptionAlignment AAlignment)
{
    switch (AAlignment) {
    case alTopLeft: case alTopCenter: case alTopRight:
        return 0;
    case alBottomLeft: case alBottomCenter: case alBottomRight:
        return 1;
    case alLeftTop: case alLeftCenter: case alLeftBottom:
        return 2;
    case alRightTop: case alRightCenter: case alRightBottom:
        return 3;
    case alCenterCenter:
        break;
    }
    return 4;
}

TRect CalculateGroupBoxCaptionRect(TvlCaptionAlignment AAlignment, int AWidth, int AHeight, int AShadowSize,
                                   const TSize& ATextSize)
{
    const int cx = ATextSize.cx, cy = ATextSize.cy;
    if (cx <= 0 || cy <= 0)
        return TRect{};
    // The shadow lies right of and below the box only for top and left captions.
    const int side = GroupBoxCaptionSide(AAlignment);
    const int s = side == 0 || side == 2 ? AShadowSize : 0;
    const int W = AWidth, H = AHeight;
    TRect r{8, 0, 8 + cx, cy};
    switch (AAlignment) {
    case alTopCenter: case alBottomCenter: case alCenterCenter:
        OffsetRect(r, (W - s - cx) / 2 - r.Left, 0);
        break;
    case alTopRight: case alBottomRight:
        OffsetRect(r, W - 8 - s - r.Right, 0);
        break;
    default:
        break;
    }
    switch (AAlignment) {
    case alBottomLeft: case alBottomCenter: case alBottomRight:
        r.Top = H - cy;
        r.Bottom = H;
        break;
    case alCenterCenter:
        r.Top = (H - s - cy) / 2;
        r.Bottom = r.Top + cy;
        break;
    case alLeftTop:
        r = TRect{0, 8, cy, 9 + cx};
        break;
    case alLeftCenter:
        r.Bottom = (H - s) - (H - s - cx) / 2;
        r.Top = r.Bottom - cx - 1;
        r.Left = 0;
        r.Right = cy;
        break;
    case alLeftBottom:
        r.Bottom = H - s - 8;
        r.Top = r.Bottom - cx - 1;
        r.Left = 0;
        r.Right = cy;
        break;
    case alRightTop:
        r = TRect{W - cy, 8, W, 8 + cx};
        break;
    case alRightCenter:
        r.Top = (H - cx) / 2;
        r.Bottom = r.Top + cx;
        r.Left = W - cy;
        r.Right = W;
        break;
    case alRightBottom:
        r = TRect{W - cy, H - 8 - cx, W, H - 8};
        break;
    default:
        break;
    }
    return r;
}

// ---- panel style -------------------------------------------------------------------------

TPersistent* TvlPanelStyle::GetOwner() const { return FOwner; }

void TvlPanelStyle::changed(bool AOnlyWhenActive)
{
    if (FOwner != nullptr && (!AOnlyWhenActive || FActive))
        FOwner->LayoutChanged();
}

void TvlPanelStyle::Assign(const TPersistent* Source)
{
    if (const auto* source = dynamic_cast<const TvlPanelStyle*>(Source)) {
        SetActive(source->Active());
        SetCaptionIndent(source->CaptionIndent());
        SetWordWrap(source->WordWrap());
        SetOfficeBackgroundKind(source->OfficeBackgroundKind());
    } else
        TPersistent::Assign(Source);
}

void TvlPanelStyle::SetActive(bool Value)
{
    if (Value == FActive)
        return;
    FActive = Value;
    changed(false);
}

void TvlPanelStyle::SetBorderWidth(int Value)
{
    if (Value == FBorderWidth)
        return;
    FBorderWidth = Value;
    changed(true);
}

void TvlPanelStyle::SetCaptionIndent(int Value)
{
    Value = std::max(Value, 2);
    if (Value == FCaptionIndent)
        return;
    FCaptionIndent = Value;
    changed(true);
}

void TvlPanelStyle::SetOfficeBackgroundKind(TvlPanelOffice11BackgroundKind Value)
{
    if (Value == FOfficeBackgroundKind)
        return;
    FOfficeBackgroundKind = Value;
    if (FOwner != nullptr && FActive && FOwner->Style()->LookAndFeel()->Kind() == lfOffice11)
        FOwner->LayoutChanged();
}

void TvlPanelStyle::SetWordWrap(bool Value)
{
    if (Value == FWordWrap)
        return;
    FWordWrap = Value;
    changed(true);
}

// ---- properties --------------------------------------------------------------------------

TvlCustomEditClass TvlCustomGroupBoxProperties::GetContainerClass() const
{
    return [](TComponent* AOwner, bool AIsInplace) -> TvlCustomEdit* {
        return TvlCustomEdit::CreateInplace<TvlCustomGroupBox>(AOwner, AIsInplace);
    };
}

std::unique_ptr<TvlCustomEditViewInfo> TvlCustomGroupBoxProperties::CreateViewInfo() const
{
    auto info = std::make_unique<TvlGroupBoxViewInfo>();
    info->Properties = this;
    return info;
}

std::unique_ptr<TvlCustomEditViewData> TvlCustomGroupBoxProperties::CreateViewData(TvlCustomEditStyle* AStyle,
                                                                                   bool AIsInplace,
                                                                                   bool APreviewMode) const
{
    auto data = std::make_unique<TvlGroupBoxViewData>(this, AStyle, AIsInplace);
    data->PreviewMode = APreviewMode;
    return data;
}

std::unique_ptr<TvlCustomEditProperties> TvlCustomGroupBoxProperties::NewInstance(TPersistent* AOwner) const
{
    return std::make_unique<TvlCustomGroupBoxProperties>(AOwner);
}

// ---- view data ---------------------------------------------------------------------------

TvlCustomGroupBox* TvlGroupBoxViewData::GroupBox() const { return dynamic_cast<TvlCustomGroupBox*>(Edit); }

int TvlGroupBoxViewData::captionTextHeight() const
{
    const TvlCustomGroupBox* box = GroupBox();
    return textHeightOf(box != nullptr ? box->CaptionFont() : Style()->GetVisibleFont(), "Wg");
}

TvlContainerState TvlGroupBoxViewData::ComputeContainerState(const TRect&, const TPoint&, TvlMouseButton, TShiftState,
                                                             bool) const
{
    return Enabled ? TvlContainerState{csNormal} : TvlContainerState{csDisabled};
}

TColor TvlGroupBoxViewData::ComputeBorderColor() const
{
    const TvlEditBorderStyle style = Style()->GetBorderStyle();
    if (style == ebsUltraFlat || style == ebsOffice11)
        return Enabled ? GetEditBorderHighlightColor(style == ebsOffice11) : clBtnShadow;
    return Style()->BorderColor();
}

bool TvlGroupBoxViewData::HasShadow() const
{
    TvlCustomGroupBox* box = GroupBox();
    return (box == nullptr || box->HasShadow()) && TvlCustomEditViewData::HasShadow();
}

void TvlGroupBoxViewData::GetBorderExtent(TRect& AExtent) const
{
    TvlCustomEditViewData::GetBorderExtent(AExtent);
    const TvlCustomGroupBox* box = GroupBox();
    if (IsInplace || box == nullptr || box->IsPanelMode() || box->Alignment() == alCenterCenter)
        return;
    const int h = captionTextHeight();
    switch (GroupBoxCaptionSide(box->Alignment())) {
    case 0:
        AExtent.Top = h / 2 + 1;
        break;
    case 1:
        AExtent.Bottom = h / 2 + 1;
        break;
    case 2:
        AExtent.Left = h / 2;
        break;
    case 3:
        AExtent.Right = h / 2;
        break;
    default:
        break;
    }
}

void TvlGroupBoxViewData::GetClientExtent(TRect& AExtent) const
{
    TvlCustomEditViewData::GetBorderExtent(AExtent);
    const TvlCustomGroupBox* box = GroupBox();
    if (IsInplace || box == nullptr || box->IsPanelMode() || box->Alignment() == alCenterCenter)
        return;
    const int band = captionTextHeight() + 3;
    switch (GroupBoxCaptionSide(box->Alignment())) {
    case 0:
        AExtent.Top += band;
        break;
    case 1:
        AExtent.Bottom += band;
        break;
    case 2:
        AExtent.Left += band;
        break;
    case 3:
        AExtent.Right += band;
        break;
    default:
        break;
    }
}

void TvlGroupBoxViewData::ClientMargins(TvlCanvas*, const TvlCustomEditViewInfo*, TRect& AExtent) const
{
    GetClientExtent(AExtent);
}

void TvlGroupBoxViewData::Calculate(TvlCanvas* ACanvas, const TRect& ABounds, const TPoint& AMousePos,
                                    TvlMouseButton AButton, TShiftState AShift, TvlCustomEditViewInfo* AViewInfo,
                                    bool AIsMouseEvent)
{
    auto* vi = static_cast<TvlGroupBoxViewInfo*>(AViewInfo);
    vi->IsDesigning = IsDesigning;
    TvlCustomEditViewData::Calculate(ACanvas, ABounds, AMousePos, AButton, AShift, AViewInfo, AIsMouseEvent);
    TvlCustomGroupBox* box = GroupBox();
    vi->GroupBox = box;
    vi->CaptionRect = vi->TextRect = TRect{};
    if (IsInplace || box == nullptr)
        return;
    box->UpdateCaptionFont();
    vi->Alignment = box->Alignment();
    vi->PanelMode = box->IsPanelMode();
    vi->Text = box->Caption();
    vi->CaptionFont = box->CaptionFont();
    vi->CaptionColor = box->CaptionFont()->Color();
    vi->CaptionTextFlags = box->GetCaptionTextFlags();
    // Measured on the screen canvas: the control's own has no surface
    // outside painting.
    TvlScreenCanvas* measure = GetScreenCanvas();
    measure->SetFont(box->CaptionFont());
    if (vi->PanelMode)
        layoutPanelCaption(measure, vi);
    else
        layoutStandardCaption(measure, vi);
}

void TvlGroupBoxViewData::layoutStandardCaption(TvlCanvas* ACanvas, TvlGroupBoxViewInfo* AViewInfo)
{
    if (AViewInfo->Text.isEmpty())
        return;
    TRect calc{0, 0, 1, 1};
    DrawTextOnDC(ACanvas->Handle(), AViewInfo->Text, calc, DT_CALCRECT | AViewInfo->CaptionTextFlags);
    const int s = HasShadow() ? 3 : 0;
    const TRect r = CalculateGroupBoxCaptionRect(AViewInfo->Alignment, Bounds.Width(), Bounds.Height(), s,
                                                 TSize{calc.Width(), calc.Height()});
    AViewInfo->TextRect = AViewInfo->CaptionRect = r;
}

void TvlGroupBoxViewData::layoutPanelCaption(TvlCanvas* ACanvas, TvlGroupBoxViewInfo* AViewInfo)
{
    const TvlCustomGroupBox* box = GroupBox();
    const int a = int(AViewInfo->Alignment);
    TRect p = AViewInfo->Bounds;
    if (!NativeStyle && AViewInfo->Painter == nullptr && HasShadow()) {
        p.Right -= 3;
        p.Bottom -= 3;
    }
    AViewInfo->PanelRect = p;
    p = deflated(p, GetContainerBorderWidth(AViewInfo->GetContainerBorderStyle()));
    const int indent = box->PanelStyle()->CaptionIndent();
    auto in = [a](std::initializer_list<int> AList) { return std::find(AList.begin(), AList.end(), a) != AList.end(); };
    if (in({0, 3, 6, 7, 8}))
        p.Left += indent;
    if (in({2, 5, 9, 10, 11}))
        p.Right -= indent;
    if (in({0, 1, 2, 6, 9}))
        p.Top += indent;
    if (in({3, 4, 5, 8, 11}))
        p.Bottom -= indent;
    if (AViewInfo->Text.isEmpty())
        return;
    TRect t = p;
    DrawTextOnDC(ACanvas->Handle(), AViewInfo->Text, t, DT_CALCRECT | AViewInfo->CaptionTextFlags);
    const int w = t.Width(), h = t.Height();
    t = ::Bounds(p.Left, p.Top, w, h);
    if (in({1, 4, 12}))
        OffsetRect(t, (p.Right - p.Left - w) / 2, 0);
    else if (in({2, 5, 9, 10, 11}))
        OffsetRect(t, p.Right - t.Right, 0);
    if (in({7, 10, 12}))
        OffsetRect(t, 0, (p.Bottom - p.Top - h) / 2);
    else if (in({3, 4, 5, 8, 11}))
        OffsetRect(t, 0, p.Bottom - t.Bottom);
    IntersectRect(t, t, p);
    AViewInfo->TextRect = AViewInfo->CaptionRect = t;
}

// ---- view info ---------------------------------------------------------------------------

void TvlGroupBoxViewInfo::Offset(int DX, int DY)
{
    TvlCustomTextEditViewInfo::Offset(DX, DY);
    OffsetRect(CaptionRect, DX, DY);
    OffsetRect(PanelRect, DX, DY);
}

TRect TvlGroupBoxViewInfo::GetFrameRect() const
{
    if (PanelMode)
        return PanelRect;
    TRect r = BorderRect;
    const int w = GetContainerBorderWidth(GetContainerBorderStyle());
    if (Edges.Contains(bLeft))
        r.Left -= w;
    if (Edges.Contains(bTop))
        r.Top -= w;
    if (Edges.Contains(bRight))
        r.Right += w;
    if (Edges.Contains(bBottom))
        r.Bottom += w;
    return r;
}

void TvlGroupBoxViewInfo::DrawCaption(TvlCanvas* ACanvas)
{
    ACanvas->SaveClipRegion();
    ACanvas->IntersectClipRect(CaptionRect);
    if (!Text.isEmpty() &&
        (GroupBox == nullptr || !GroupBox->DoCustomDrawCaption(ACanvas, CaptionRect, Painter))) {
        if (CaptionFont != nullptr)
            ACanvas->SetFont(CaptionFont);
        ACanvas->Font()->SetColor(Enabled ? CaptionColor : clBtnShadow);
        ACanvas->Brush()->SetStyle(bsClear);
        const int side = GroupBoxCaptionSide(Alignment);
        if (!PanelMode && (side == 2 || side == 3)) {
            DrawRotatedText(ACanvas, Text, TextRect, DT_VCENTER, clDefault, side == 2 ? raPlus90 : raMinus90);
        } else {
            TRect r = TextRect;
            DrawTextOnDC(ACanvas->Handle(), Text, r, CaptionTextFlags, -1, clDefault, TRANSPARENT);
        }
        ACanvas->Brush()->SetStyle(bsSolid);
    }
    ACanvas->RestoreClipRegion();
}

void TvlGroupBoxViewInfo::InternalPaint(TvlCanvas* ACanvas)
{
    if (IsInplace) {
        if (!DrawCustomBackground(ACanvas))
            vlEditFillRect(ACanvas, Bounds, BackgroundColor());
        return;
    }
    const TRect frame = GetFrameRect();
    ACanvas->SaveClipRegion();
    if (Shadow && !PanelMode)
        DrawContainerShadow(ACanvas, frame);
    if (!Transparent) {
        if (GroupBox != nullptr && GroupBox->IsTransparent())
            DrawEditBackground(ACanvas, Bounds, TRect{}, false);
        else
            ACanvas->FillRectByColor(Bounds, BackgroundColor());
    }
    ACanvas->RestoreClipRegion();

    ACanvas->SaveClipRegion();
    DrawCaption(ACanvas);
    if (!PanelMode && !IsRectEmpty(CaptionRect))
        ACanvas->ExcludeClipRect(CaptionRect);
    const bool enabled = Enabled;
    switch (EditBorderStyle) {
    case ebsSingle:
        ACanvas->FrameRect(frame, BorderColor, 1, Edges, true);
        break;
    case ebsThick:
        ACanvas->FrameRect(frame, BorderColor, 2, Edges, true);
        break;
    case ebsFlat:
        TvlFlatLookAndFeelPainter::Instance()->DrawGroupBoxFrame(ACanvas, frame, enabled, 4, Edges);
        break;
    case ebs3D:
        TvlStandardLookAndFeelPainter::Instance()->DrawGroupBoxFrame(ACanvas, frame, enabled, 4, Edges);
        break;
    default:
        break;
    }
    ACanvas->RestoreClipRegion();
}

// ---- control -------------------------------------------------------------------------------

TvlCustomGroupBox::~TvlCustomGroupBox() = default;

std::unique_ptr<TvlCustomEditProperties> TvlCustomGroupBox::CreateProperties()
{
    return std::make_unique<TvlCustomGroupBoxProperties>(this);
}

std::unique_ptr<TvlPanelStyle> TvlCustomGroupBox::CreatePanelStyle() { return std::make_unique<TvlPanelStyle>(this); }

void TvlCustomGroupBox::Initialize()
{
    FCaptionFont = std::make_unique<TFont>();
    TvlCustomEdit::Initialize();
    FControlStyle.Include(csAcceptsControls);
    FControlStyle.Include(csCaptureMouse);
    FControlStyle.Include(csClickEvents);
    SetBounds(Left(), Top(), 185, 105);
    UpdateCaptionFont();
    SetTabStop(false);
    FPanelStyle = CreatePanelStyle();
}

void TvlCustomGroupBox::SetAlignment(TvlCaptionAlignment Value)
{
    if (Value == FAlignment)
        return;
    FAlignment = Value;
    LayoutChanged();
}

void TvlCustomGroupBox::LayoutChanged()
{
    UpdateCaptionFont();
    ShortRefreshContainer(false);
    Realign();
    Invalidate();
}

void TvlCustomGroupBox::UpdateCaptionFont()
{
    if (!IsInplace() && FCaptionFont != nullptr)
        FCaptionFont->Assign(GetVisibleFont());
}

uint32_t TvlCustomGroupBox::GetCaptionTextFlags() const
{
    if (!IsPanelMode())
        return DT_SINGLELINE;
    const int a = int(FAlignment);
    auto in = [a](std::initializer_list<int> AList) { return std::find(AList.begin(), AList.end(), a) != AList.end(); };
    uint32_t flags = in({1, 4, 12}) ? DT_CENTER : (in({2, 5, 9, 10, 11}) ? DT_RIGHT : DT_LEFT);
    flags |= in({7, 10, 12}) ? DT_VCENTER : (in({3, 4, 5, 8, 11}) ? DT_BOTTOM : DT_TOP);
    flags |= FPanelStyle->WordWrap() ? DT_WORDBREAK : DT_SINGLELINE;
    return flags;
}

bool TvlCustomGroupBox::DoCustomDrawCaption(TvlCanvas* ACanvas, const TRect& R,
                                            const TvlCustomLookAndFeelPainter* APainter)
{
    bool done = false;
    if (OnCustomDrawCaption)
        OnCustomDrawCaption(this, ACanvas->Canvas(), R, APainter, done);
    return done;
}

bool TvlCustomGroupBox::DoCustomDrawContentBackground(TvlCanvas* ACanvas, const TRect& R,
                                                      const TvlCustomLookAndFeelPainter* APainter)
{
    bool done = false;
    if (OnCustomDrawContentBackground)
        OnCustomDrawContentBackground(this, ACanvas->Canvas(), R, APainter, done);
    return done;
}

bool TvlCustomGroupBox::HasNonClientCaption() const
{
    return !IsPanelMode() && IsNonClientCaptionAllowed() &&
           GetLookAndFeelSkinPainter(Style()->LookAndFeel()) != nullptr && !Caption().isEmpty() &&
           FAlignment != alCenterCenter;
}

bool TvlCustomGroupBox::HasShadow()
{
    const int side = GroupBoxCaptionSide(FAlignment);
    return TvlCustomEdit::HasShadow() && (IsPanelMode() || side == 0 || side == 2) &&
           !EditViewInfo()->NativeStyle && GetLookAndFeelSkinPainter(Style()->LookAndFeel()) == nullptr;
}

void TvlCustomGroupBox::AdjustClientRect(TRect& R) const
{
    if (ComponentState().Contains(csDestroying) || !Initialized())
        return;
    auto* self = const_cast<TvlCustomGroupBox*>(this);
    std::unique_ptr<TvlCustomEditViewData> data = self->CreateViewData();
    TRect extent;
    static_cast<TvlGroupBoxViewData*>(data.get())->GetClientExtent(extent);
    R = Rect(extent.Left, extent.Top, Width() - extent.Right, Height() - extent.Bottom);
    if (IsPanelMode())
        InflateRect(R, -FPanelStyle->BorderWidth(), -FPanelStyle->BorderWidth());
}

TvlContainerStyle* TvlCustomGroupBox::InternalGetActiveStyle()
{
    return EditViewInfo()->ContainerState.Contains(csDisabled) ? GetStyleDisabled() : GetStyle();
}

void TvlCustomGroupBox::TextChanged()
{
    TvlCustomEdit::TextChanged();
    ShortRefreshContainer(false);
    Invalidate();
}

void TvlCustomGroupBox::Paint()
{
    bool done = false;
    if (OnCustomDraw)
        OnCustomDraw(this, done);
    if (!done)
        TvlCustomEdit::Paint();
}

void TvlCustomGroupBox::SelectFirstChild()
{
    std::vector<TWinControl*> list;
    GetTabOrderList(list);
    for (TWinControl* c : list)
        if (c != this && c->CanFocus()) {
            c->SetFocus();
            return;
        }
}

void TvlCustomGroupBox::Dispatch(TMessage& Message)
{
    switch (Message.Msg) {
    case CM_DIALOGCHAR:
        if (IsAccel(QChar(char16_t(Message.WParam)), Caption()) && CanFocus()) {
            FSelectingFirstChild = true;
            try {
                SelectFirstChild();
            } catch (...) {
                FSelectingFirstChild = false;
                throw;
            }
            FSelectingFirstChild = false;
            Message.Result = 1;
            return;
        }
        break;
    case CM_FONTCHANGED:
        TvlCustomEdit::Dispatch(Message);
        LayoutChanged();
        return;
    default:
        break;
    }
    TvlCustomEdit::Dispatch(Message);
}
