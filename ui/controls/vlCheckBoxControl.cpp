// vlCheckBoxControl.cpp - the check box's layout (view data), painting
// (view info) and the control: cycling by mouse, Space and accelerator.
#include <algorithm>

#include "platform/controls/Menus.h"
#include "platform/controls/Messages.h"
#include "ui/controls/vlCheckBox.h"
#include "ui/editors/vlEditPaintUtils.h"
#include "ui/foundation/vxThemeManager.h"

namespace {

TRect deflated(TRect R, int D)
{
    InflateRect(R, -D, -D);
    return R;
}

// The caption without its accelerator marks.
String visibleCaption(const String& AText)
{
    String result;
    for (qsizetype i = 0; i < AText.size(); ++i) {
        if (AText.at(i) == QLatin1Char('&')) {
            ++i;
            if (i >= AText.size())
                break;
        }
        result += AText.at(i);
    }
    return result;
}

}  // namespace

// ---- properties' classes ---------------------------------------------------------------

TvlCustomEditClass TvlCustomCheckBoxProperties::GetContainerClass() const
{
    return [](TComponent* AOwner, bool AIsInplace) -> TvlCustomEdit* {
        return TvlCustomEdit::CreateInplace<TvlCheckBox>(AOwner, AIsInplace);
    };
}

std::unique_ptr<TvlCustomEditViewInfo> TvlCustomCheckBoxProperties::CreateViewInfo() const
{
    auto info = std::make_unique<TvlCustomCheckBoxViewInfo>();
    info->Properties = this;
    return info;
}

std::unique_ptr<TvlCustomEditViewData> TvlCustomCheckBoxProperties::CreateViewData(TvlCustomEditStyle* AStyle,
                                                                                   bool AIsInplace,
                                                                                   bool APreviewMode) const
{
    auto data = std::make_unique<TvlCustomCheckBoxViewData>(this, AStyle, AIsInplace);
    data->PreviewMode = APreviewMode;
    return data;
}

// ---- view info ------------------------------------------------------------------------

void TvlCustomCheckBoxViewInfo::Assign(const TObject* Source)
{
    if (const auto* source = dynamic_cast<const TvlCustomCheckBoxViewInfo*>(Source)) {
        State = source->State;
        MarkState = source->MarkState;
    }
    TvlCustomTextEditViewInfo::Assign(Source);
}

void TvlCustomCheckBoxViewInfo::Offset(int DX, int DY)
{
    TvlCustomTextEditViewInfo::Offset(DX, DY);
    OffsetRect(CheckRect, DX, DY);
    OffsetRect(FocusRect, DX, DY);
}

std::unique_ptr<TvlRegion> TvlCustomCheckBoxViewInfo::GetUpdateRegion(const TvlContainerViewInfo* AOldViewInfo) const
{
    std::unique_ptr<TvlRegion> region = TvlCustomTextEditViewInfo::GetUpdateRegion(AOldViewInfo);
    const auto* old = dynamic_cast<const TvlCustomCheckBoxViewInfo*>(AOldViewInfo);
    if (old != nullptr && (old->MarkState != MarkState || old->State != State)) {
        const TvlRegion check(CheckRect);
        UniteRegions(region.get(), &check);
    }
    return region;
}

void TvlCustomCheckBoxViewInfo::DrawText(TvlCanvas* ACanvas)
{
    ACanvas->Font()->Assign(Font);
    ACanvas->Font()->SetColor(TextColor);
    ACanvas->Brush()->SetStyle(bsClear);
    const bool enabledLook = IsContainerInnerControl || Enabled || IsTextColorForced || NativeStyle;
    ACanvas->DrawText(Text, TextRect, int(DrawTextFlags), enabledLook);
    ACanvas->Brush()->SetStyle(bsSolid);
}

void TvlCustomCheckBoxViewInfo::InternalPaint(TvlCanvas* ACanvas)
{
    const bool transparent = IsBackgroundTransparent();
    const TRect inner = deflated(CheckRect, CheckBorderOffset);
    const bool keepInner = transparent && (Painter != nullptr || HasGlyph || NativeStyle);
    DrawEditBackground(ACanvas, Bounds, keepInner ? TRect{} : inner, false);
    DrawCheckElement(ACanvas, CheckRect, State, MarkState, Glyph, GlyphCount, CheckBorderStyle, NativeStyle,
                     BorderColor, BackgroundColor(), !transparent, IsDesigning, Focused, true, Painter, NullStyle);
    if (CheckPosition != taCenter)
        DrawText(ACanvas);
    if (!IsRectEmpty(FocusRect))
        ACanvas->DrawFocusRect(FocusRect);
}

// ---- view data ------------------------------------------------------------------------

int TvlCustomCheckBoxViewData::GetCaptionTextFlags() const
{
    const TvlCustomCheckBoxProperties* p = Properties();
    int flags = p->Alignment()->Horz() == taCenter ? vltfHCenter : vltfLeft;
    flags |= vltfShowPrefix;
    if (p->MultiLine())
        flags |= vltfNoClip | vltfWordBreak;
    else
        flags |= vltfSingleLine;
    flags |= IsInplace || !p->MultiLine() ? vltfVCenter : vltfTop;
    return flags;
}

TvlEditBorderStyle TvlCustomCheckBoxViewData::GetCheckElementBorderStyle(bool APressed) const
{
    const TvlEditBorderStyle style = Style()->GetBorderStyle();
    if (!APressed)
        return style;
    switch (style) {
    case ebsNone:
        return ebsFlat;
    case ebsSingle:
    case ebsThick:
        return ebsThick;
    case ebsFlat:
    case ebs3D:
        return ebs3D;
    default:
        return style;
    }
}

void TvlCustomCheckBoxViewData::Calculate(TvlCanvas* ACanvas, const TRect& ABounds, const TPoint& AMousePos,
                                          TvlMouseButton AButton, TShiftState AShift,
                                          TvlCustomEditViewInfo* AViewInfo, bool AIsMouseEvent)
{
    TvlCustomEditViewData::Calculate(ACanvas, ABounds, AMousePos, AButton, AShift, AViewInfo, AIsMouseEvent);
    auto* vi = static_cast<TvlCustomCheckBoxViewInfo*>(AViewInfo);
    const TvlCustomCheckBoxProperties* p = Properties();
    vi->DrawSelectionBar = false;
    vi->HasPopupWindow = false;
    vi->DrawTextFlags = uint32_t(GetCaptionTextFlags());
    InitViewInfoColorsAndBorders(vi);
    const auto* edit = dynamic_cast<const TvlCustomCheckBox*>(Edit);
    if (edit != nullptr)
        vi->Text = edit->Caption();
    vi->SpaceHeld = edit != nullptr && edit->IsSpaceHeld();

    const TAlignment alignment = p->Alignment()->Horz();
    vi->CheckPosition = !IsInplace || p->UseAlignmentWhenInplace() || !vi->Text.isEmpty() || p->IsInplaceLayout()
                            ? alignment
                            : taCenter;
    const TvlCheckMarkState oldMark = vi->MarkState;
    vi->CheckBorderStyle = GetCheckElementBorderStyle(oldMark == cmsPressed);
    vi->Glyph = const_cast<TvlCustomCheckBoxProperties*>(p)->GlyphIfAny();
    vi->GlyphCount = p->GlyphCount();
    vi->NullStyle = p->NullStyle();
    vi->HasGlyph = IsGlyphValid(vi->Glyph) && vi->GlyphCount > 0;
    vi->CheckBorderOffset = GetCheckElementBorderOffset(vi->CheckBorderStyle, NativeStyle, vi->HasGlyph, vi->Painter);
    vi->IsTextColorForced = Style()->IsValueAssigned(csvTextColor) ||
                            (vi->Painter != nullptr && vi->Painter->DefaultEditorTextColor(true) != clDefault);
    TSize element;
    GetCheckElementSize(ACanvas, NativeStyle, vi->Glyph, element, vi->Painter, vi->GlyphCount);

    // The element.
    const TRect client = vi->ClientRect;
    TRect area = client;
    if (IsInplace) {
        if (vi->CheckPosition == taLeftJustify)
            area.Left += 2;
        else if (vi->CheckPosition == taRightJustify)
            area.Right -= 2;
    } else
        area = deflated(area, 2);
    const int width = std::min(element.cx, area.Width());
    TRect check = ::Bounds(area.Left + (area.Width() - width) / 2, area.Top + (area.Height() - element.cy) / 2, width,
                         element.cy);
    if (width < area.Width()) {
        if (vi->CheckPosition == taLeftJustify)
            OffsetRect(check, area.Left - check.Left, 0);
        else if (vi->CheckPosition == taRightJustify)
            OffsetRect(check, area.Right - check.Right, 0);
    }
    vi->CheckRect = check;

    // The caption.
    TRect text = client;
    if (IsInplace) {
        if (vi->CheckPosition == taLeftJustify)
            text.Right -= 2;
        else if (vi->CheckPosition == taRightJustify)
            text.Left += 2;
        text.Top += ContentOffset.Top;
        text.Bottom -= ContentOffset.Bottom;
    } else {
        text = deflated(text, 2);
        if (!(EmulateStandardControlDrawing() && (NativeStyle || vi->Painter != nullptr)))
            text.Top -= 1;
    }
    if (check.Width() >= client.Width())
        text.Right = text.Left;
    else if (vi->CheckPosition == taLeftJustify)
        text.Left = check.Right + 3;
    else if (vi->CheckPosition == taRightJustify)
        text.Right = check.Left - 3;
    const bool disabledLook = !(vi->IsContainerInnerControl || Enabled || vi->IsTextColorForced || NativeStyle);
    if (disabledLook && vi->Painter == nullptr) {
        text.Right += 1;
        text.Bottom += 1;
    }
    vi->TextRect = text;

    // The mark state.
    TvlCheckMarkState mark = cmsNormal;
    if (!Enabled)
        mark = cmsDisabled;
    else if (vi->SpaceHeld || IsDesigning || !vi->BorderRect.Contains(AMousePos))
        mark = vi->SpaceHeld ? cmsPressed : cmsNormal;
    else if (!AShift.Contains(ssLeft) && !AShift.Contains(ssRight) && !AShift.Contains(ssMiddle))
        mark = cmsHot;
    else if (AShift == TShiftState{ssLeft} || AShift == TShiftState{ssLeft, ssDouble})
        mark = AButton == cxmbLeft || oldMark == cmsPressed ? cmsPressed : cmsNormal;
    vi->MarkState = mark;
    vi->CheckBorderStyle = GetCheckElementBorderStyle(mark == cmsPressed);
    vi->CheckBorderOffset = GetCheckElementBorderOffset(vi->CheckBorderStyle, NativeStyle, vi->HasGlyph, vi->Painter);

    if (IsInplace && vi->CheckBorderStyle == ebsSingle)
        vi->BorderColor = mark == cmsHot || (IsDesigning && Enabled) ? clHighlight : clBtnShadow;
    if (edit != nullptr)
        EditValueToDrawValue(edit->EditValue(), vi);
    else
        CalculateFocusRect(vi);
}

void TvlCustomCheckBoxViewData::EditValueToDrawValue(const Variant& AEditValue, TvlCustomEditViewInfo* AViewInfo) const
{
    auto* vi = static_cast<TvlCustomCheckBoxViewInfo*>(AViewInfo);
    vi->State = PreviewMode ? cbsChecked : EditValueToCheckState(Properties(), AEditValue);
    if (IsInplace && !Properties()->IsInplaceLayout())
        vi->Text.clear();
    CalculateFocusRect(vi);
}

void TvlCustomCheckBoxViewData::CalculateFocusRect(TvlCustomCheckBoxViewInfo* AViewInfo) const
{
    AViewInfo->SetBackgroundColor(Style()->GetVisibleColor());
    AViewInfo->FocusRect = TRect{};
    const bool layoutAsStandalone = !IsInplace || Properties()->IsInplaceLayout();
    const bool wanted = AViewInfo->Focused &&
                        ((layoutAsStandalone && AViewInfo->CheckPosition != taCenter) ||
                         (IsInplace && AViewInfo->CheckPosition == taCenter &&
                          (AViewInfo->PaintOptions & vlepoShowFocusRectWhenInplace) != 0));
    if (!wanted)
        return;
    TRect r;
    if (AViewInfo->CheckPosition == taCenter)
        r = deflated(AViewInfo->ClientRect, 1);
    else {
        if (AViewInfo->Text.isEmpty())
            return;
        r = AViewInfo->TextRect;
        if (!Properties()->FullFocusRect()) {
            TvlScreenCanvas* canvas = GetScreenCanvas();
            if (AViewInfo->Font != nullptr)
                canvas->SetFont(AViewInfo->Font);
            canvas->TextExtentInRect(AViewInfo->Text, r, int(AViewInfo->DrawTextFlags));
        }
        InflateRect(r, 1, 1);
        r.Bottom += 1;
    }
    if (IsRectEmpty(r))
        return;
    TRect bound;
    if (AViewInfo->CheckPosition == taCenter)
        bound = TRect{r.Left, AViewInfo->ClientRect.Top, r.Right, AViewInfo->ClientRect.Bottom};
    else {
        bound = AViewInfo->TextRect;
        InflateRect(bound, 1, 1);
        if (IsInplace) {
            bound.Top += 2;
            bound.Bottom -= 2;
        }
        bound.Right = std::min(bound.Right, AViewInfo->BorderRect.Right - 1);
    }
    IntersectRect(AViewInfo->FocusRect, r, bound);
}

void TvlCustomCheckBoxViewData::InternalGetEditConstantPartSize(TvlCanvas* ACanvas, bool AIsInplace,
                                                                const TvlEditMeasureParams& AMeasureParams,
                                                                TSize& ASize, TSize& AMinContentSize,
                                                                TvlCustomEditViewInfo* AViewInfo)
{
    TvlCustomEditViewData::InternalGetEditConstantPartSize(ACanvas, AIsInplace, AMeasureParams, ASize,
                                                           AMinContentSize, AViewInfo);
    auto* vi = static_cast<TvlCustomCheckBoxViewInfo*>(AViewInfo);
    TSize size{vi->CheckRect.Width(), vi->CheckRect.Height()};
    ACanvas->SetFont(Style()->GetVisibleFont());
    const String caption = Edit != nullptr ? visibleCaption(static_cast<const TvlCustomCheckBox*>(Edit)->Caption())
                                           : String();
    if (AIsInplace && vi->CheckPosition != taCenter && !caption.isEmpty())
        size.cx = ACanvas->TextWidth(caption) + (vi->TextRect.Left - vi->ClientRect.Left) +
                  (vi->ClientRect.Right - vi->TextRect.Right);
    else
        size.cx += 4;
    size.cy += AIsInplace ? 2 * (1 - vi->CheckBorderOffset) : 4;
    const String sample = Properties()->Alignment()->Horz() == taCenter || AIsInplace
                              ? String::fromLatin1("Gg")
                              : caption;
    const TSize text = sample.isEmpty() ? TSize{0, ACanvas->TextHeight(String::fromLatin1("Gg"))}
                                        : ACanvas->TextExtent(sample);
    size.cy = std::max(size.cy, text.cy);
    if (!(AIsInplace && vi->CheckPosition != taCenter && !caption.isEmpty()) && vi->CheckPosition != taCenter)
        size.cx += text.cx + 3;
    ASize = size;
    AMinContentSize = TSize{0, 0};
}

// ---- control --------------------------------------------------------------------------

std::unique_ptr<TvlCustomEditProperties> TvlCustomCheckBox::CreateProperties()
{
    return std::make_unique<TvlCustomCheckBoxProperties>(this);
}

std::unique_ptr<TvlCustomEditProperties> TvlCheckBox::CreateProperties()
{
    return std::make_unique<TvlCheckBoxProperties>(this);
}

void TvlCustomCheckBox::Initialize()
{
    TvlCustomEdit::Initialize();
    FControlStyle.Exclude(csDoubleClicks);
    SetWidth(121);
    StoreEditValue(Null());
    Variant value;
    PrepareEditValue(Variant(int(cbsUnchecked)), value, false);
    StoreEditValue(value);
    ShortRefreshContainer(false);
}

TvlCheckBoxState TvlCustomCheckBox::State() const { return EditValueToCheckState(ActiveProperties(), EditValue()); }

void TvlCustomCheckBox::SetState(TvlCheckBoxState Value)
{
    if (ComponentState().Contains(csLoading)) {
        FStateAssignedWhileLoading = true;
        FLoadingState = Value;
        return;
    }
    if (Value == State())
        return;
    Variant value;
    PrepareEditValue(Variant(int(Value)), value, Focused());
    SetInternalEditValue(value);
}

void TvlCustomCheckBox::PrepareEditValue(const Variant& ADisplayValue, Variant& AEditValue, bool)
{
    const TvlCustomCheckBoxProperties* p = ActiveProperties();
    switch (ADisplayValue.AsInteger()) {
    case 0:
        AEditValue = p->ValueUnchecked();
        break;
    case 1:
        AEditValue = p->ValueChecked();
        break;
    case 2:
        AEditValue = p->ValueGrayed();
        break;
    default:
        break;
    }
}

void TvlCustomCheckBox::InternalSetEditValue(const Variant& AValue, bool AValidateEditValue)
{
    const TvlCheckBoxState old = State();
    TvlCustomEdit::InternalSetEditValue(AValue, AValidateEditValue);
    const TvlCheckBoxState now = State();
    if (now != old) {
        ViewInfo()->State = now;
        Click();
        DoChange();
    }
    ShortRefreshContainer(false);
}

void TvlCustomCheckBox::Loaded()
{
    FInLoaded = true;
    LockChangeEvents(true);
    LockClick(true);
    try {
        TvlCustomEdit::Loaded();
        if (FStateAssignedWhileLoading)
            SetState(FLoadingState);
        else if (!DataBinding()->IsDataAware())
            SetState(cbsUnchecked);
    } catch (...) {
        LockClick(false);
        LockChangeEvents(false, false);
        FInLoaded = false;
        throw;
    }
    LockClick(false);
    LockChangeEvents(false, false);
    FInLoaded = false;
}

void TvlCustomCheckBox::PropertiesChanged(TObject* Sender)
{
    TvlCustomCheckBoxProperties* p = ActiveProperties();
    if (p->IsCaptionAssigned()) {
        SetCaption(p->Caption());
        p->ClearCaptionAssigned();
    }
    if (Initialized() && ViewInfo()->State != State()) {
        ViewInfo()->State = State();
        invalidateCheckRect();
        if (!AreChangeEventsLocked()) {
            Click();
            DoChange();
        }
    }
    TvlCustomEdit::PropertiesChanged(Sender);
}

void TvlCustomCheckBox::CycleState()
{
    {
        LockChangeEvents(true);
        const TUserActionScope userAction(this);
        try {
            switch (State()) {
            case cbsUnchecked:
                SetState(ActiveProperties()->AllowGrayed() ? cbsGrayed : cbsChecked);
                break;
            case cbsGrayed:
                SetState(cbsChecked);
                break;
            case cbsChecked:
                SetState(cbsUnchecked);
                break;
            }
        } catch (...) {
            LockChangeEvents(false);
            throw;
        }
    }
    LockChangeEvents(false);
    if (ActiveProperties()->ImmediatePost() && CanPostEditValue() && ValidateEdit(false))
        InternalPostEditValue(true);
}

void TvlCustomCheckBox::SetCheckedFromAction(bool Value)
{
    LockClick(true);
    LockChangeEvents(true);
    try {
        SetChecked(Value);
    } catch (...) {
        LockChangeEvents(false, false);
        LockClick(false);
        throw;
    }
    LockChangeEvents(false, false);
    LockClick(false);
}

bool TvlCustomCheckBox::RefreshContainer(const TPoint& P, TvlMouseButton Button, TShiftState Shift, bool IsMouseEvent)
{
    ViewInfo()->PrevMarkState = ViewInfo()->MarkState;
    return TvlCustomEdit::RefreshContainer(P, Button, Shift, IsMouseEvent);
}

void TvlCustomCheckBox::ProcessViewInfoChanges()
{
    TvlCustomEdit::ProcessViewInfoChanges();
    TvlCustomCheckBoxViewInfo* vi = ViewInfo();
    if (vi->PrevMarkState == cmsPressed && vi->MarkState == cmsHot) {
        vi->PrevMarkState = cmsHot;
        CycleState();
    }
}

void TvlCustomCheckBox::invalidateCheckRect()
{
    if (HandleAllocated())
        InvalidateRect(ViewInfo()->CheckRect, false);
}

void TvlCustomCheckBox::DoEditKeyDown(uint16_t& Key, TShiftState Shift)
{
    TvlCustomEdit::DoEditKeyDown(Key, Shift);
    if (Key == VK_SPACE && (ViewInfo()->MarkState == cmsNormal || ViewInfo()->MarkState == cmsHot)) {
        FSpaceHeld = true;
        ShortRefreshContainer(false);
        Key = 0;
    }
}

void TvlCustomCheckBox::DoEditKeyUp(uint16_t& Key, TShiftState Shift)
{
    TvlCustomEdit::DoEditKeyUp(Key, Shift);
    if (Key == VK_SPACE && ViewInfo()->MarkState == cmsPressed && FSpaceHeld) {
        FSpaceHeld = false;
        ShortRefreshContainer(false);
        invalidateCheckRect();
        CycleState();
    }
}

void TvlCustomCheckBox::DoEditKeyPress(QChar& Key)
{
    TvlCustomEdit::DoEditKeyPress(Key);
    if (IsInplace() && Key == QLatin1Char(' ') && ViewInfo()->MarkState < cmsPressed) {
        CycleState();
        Key = QChar(0);
    }
}

void TvlCustomCheckBox::DoExit()
{
    // A Space released elsewhere must not leave the element held.
    FSpaceHeld = false;
    TvlCustomEdit::DoExit();
    ShortRefreshContainer(false);
}

void TvlCustomCheckBox::GetEditSizeProperties(TvlEditSizeProperties& AMeasureParams) const
{
    AMeasureParams = TvlEditSizeProperties{};
    AMeasureParams.MaxLineCount = ActiveProperties()->MultiLine() ? 0 : 1;
    AMeasureParams.Width = ViewInfo()->TextRect.Width();
}

TvlEditStateColorKind TvlCustomCheckBox::GetEditStateColorKind() const
{
    return Enabled() ? esckNormal : esckDisabled;
}

bool TvlCustomCheckBox::IsNativeBackground() const
{
    return ViewInfo()->NativeStyle && ControlStyle().Contains(csParentBackground) && !IsInplace() && !Transparent();
}

void TvlCustomCheckBox::InitializeViewData(TvlCustomEditViewData* AViewData)
{
    TvlCustomEdit::InitializeViewData(AViewData);
}

void TvlCustomCheckBox::TextChanged()
{
    TvlCustomEdit::TextChanged();
    ViewInfo()->Text = Caption();
    ShortRefreshContainer(false);
    Invalidate();
}

void TvlCustomCheckBox::Dispatch(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_LBUTTONUP:
        // Our click comes from the state change alone.
        FControlState.Exclude(csClicked);
        break;
    case CM_DIALOGCHAR:
        if (IsAccel(QChar(char16_t(Message.WParam)), Caption()) && CanFocus()) {
            SetFocus();
            if (Focused())
                CycleState();
            Message.Result = 1;
            return;
        }
        break;
    default:
        break;
    }
    TvlCustomEdit::Dispatch(Message);
}
