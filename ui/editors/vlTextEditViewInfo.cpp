// The text editor's view data and view info: where the text goes inside an
// editor or a cell, with which flags, and its drawing through the canvas
// layout.
#include <climits>

#include "platform/rtl/SysUtils.h"
#include "ui/editors/vlEditPaintUtils.h"
#include "ui/editors/vlTextEdit.h"

namespace {

TRect deflated(const TRect& R, const TRect& AOffsets)
{
    return Rect(R.Left + AOffsets.Left, R.Top + AOffsets.Top, R.Right - AOffsets.Right, R.Bottom - AOffsets.Bottom);
}

uint32_t horzFlag(TAlignment AAlignment)
{
    switch (AAlignment) {
    case taRightJustify:
        return vltoRight;
    case taCenter:
        return vltoCenterHorz;
    case taLeftJustify:
        break;
    }
    return vltoLeft;
}

uint32_t vertFlag(TvlEditVertAlignment AAlignment)
{
    switch (AAlignment) {
    case taBottomJustify:
        return vltoBottom;
    case taVCenter:
        return vltoCenterVert;
    case taTopJustify:
        break;
    }
    return vltoTop;
}

int lineHeight(TvlCanvas* ACanvas) { return ACanvas->TextHeight(QStringLiteral("Zg")); }

TColor inverse(TColor AColor) { return TColor(ColorToRGB(AColor) ^ 0xFFFFFF); }

// The canvas's device context with the canvas's font and text colour in it:
// the layout routines measure and draw with what the context holds.
HDC textDC(TvlCanvas* ACanvas)
{
    HDC dc = ACanvas->Handle();
    dc->SetFont(ACanvas->Font()->QtFont());
    SetTextColor(dc, ACanvas->Font()->Color());
    return dc;
}

// Space between a cell's text and the cell's left and right edges.

}  // namespace

// ------------------------------------------------------------ drawing

void DrawTextEditText(TvlCanvas* ACanvas, const String& AText, TvlTextOutData& AData, uint32_t AFlags,
                      int AMaxLineCount)
{
    HDC dc = ACanvas->Handle();
    const int saved = SaveDC(dc);
    struct TRestore {
        HDC DC;
        int Saved;
        ~TRestore() { RestoreDC(DC, Saved); }
    } restore{dc, saved};
    textDC(ACanvas);
    if (!AData.Initialized) {
        const TRect textRect = AData.TextRect;
        const int selStart = AData.SelStart;
        const int selLength = AData.SelLength;
        const TColor selText = AData.SelTextColor;
        const TColor selBack = AData.SelBackgroundColor;
        AData = TvlTextOutData();
        AData.TextRect = textRect;
        AData.Initialized = true;
        if (AText.isEmpty())
            return;
        CalculateTextParams(dc, AFlags, AData.TextParams, 1.0);
        const TRect r = PrepareTextRect(textRect, AData.TextParams);
        if (r.IsEmpty())
            return;
        AData.ForceEndEllipsis = !MakeTextRows(dc, AText, r, AData.TextParams, AData.TextRows, AData.RowCount,
                                               AMaxLineCount);
        PlaceTextRows(dc, r, AData.TextParams, AData.RowCount, AData.TextRows);
        AData.TextRect = r;
        // A selection outside the text is not drawn; one running past the
        // end stops there.
        const int length = int(AText.size());
        if (selStart < 0 || selStart >= length) {
            AData.SelStart = 0;
            AData.SelLength = 0;
        } else {
            AData.SelStart = selStart;
            AData.SelLength = std::min(selLength, length - selStart);
        }
        AData.SelTextColor = selText;
        AData.SelBackgroundColor = selBack;
    }
    if (AData.RowCount == 0)
        return;
    TextRowsOutHighlight(dc, AData.TextRect, AData.TextParams, AData.ForceEndEllipsis, AData.SelTextColor,
                         AData.SelBackgroundColor, AData.SelLength, AData.SelStart, AData.RowCount, AData.TextRows);
}

// ------------------------------------------------------------ view info

void TvlCustomTextEditViewInfo::Offset(int DX, int DY)
{
    TvlCustomEditViewInfo::Offset(DX, DY);
    OffsetRect(TextRect, DX, DY);
    if (!FTextOutData.Initialized)
        return;
    OffsetRect(FTextOutData.TextRect, DX, DY);
    for (int i = 0; i < FTextOutData.RowCount; ++i) {
        FTextOutData.TextRows[i].TextOriginX += DX;
        FTextOutData.TextRows[i].TextOriginY += DY;
    }
}

void TvlCustomTextEditViewInfo::InternalPaint(TvlCanvas* ACanvas)
{
    DrawCustomEdit(ACanvas, !Transparent && !DrawSelectionBar);
    TRect r = ClientRect;
    if (!IsInplace && !(NativeStyle && !DrawSelectionBar) && !Transparent && EditingStyle != esNoEdit) {
        DrawEditFrameRect(ACanvas, r, BackgroundColor());
    }
    if (IsOwnerDrawing && OnOwnerDraw) {
        OnOwnerDraw(ACanvas, r);
    } else {
        if (DrawSelectionBar)
            ACanvas->FillRectByColor(r, clHighlight);
        if (IsPaintCopyDrawing || !HasInnerEdit || !InnerEditShowsText)
            DrawText(ACanvas);
    }
    if (!IsInplace && Focused && !HasPopupWindow && !InnerEditShowsText) {
        ACanvas->Canvas()->Font()->SetColor(DrawSelectionBar ? clHighlightText : clBtnText);
        ACanvas->SetBrushColor(DrawSelectionBar ? clHighlight : BackgroundColor());
        ACanvas->DrawFocusRect(r);
    }
}

void TvlCustomTextEditViewInfo::DrawText(TvlCanvas* ACanvas)
{
    if (Text.isEmpty())
        return;
    if (Font != nullptr)
        ACanvas->SetFont(Font);
    ACanvas->Canvas()->Font()->SetColor(DrawSelectionBar ? clHighlightText : TextColor);
    PrepareCanvasFont(ACanvas);
    if (!FTextOutData.Initialized) {
        FTextOutData.TextRect = TextRect;
        FTextOutData.SelStart = SelStart;
        FTextOutData.SelLength = SelLength;
        FTextOutData.SelTextColor = SelTextColor;
        FTextOutData.SelBackgroundColor = SelBackgroundColor;
    }
    DrawTextEditText(ACanvas, Text, FTextOutData, DrawTextFlags, MaxLineCount);
}

int TvlCustomTextEditViewInfo::GetTextBaseLine() const
{
    TvlCanvas* canvas = GetScreenCanvas();
    if (Font != nullptr)
        canvas->SetFont(Font);
    TTextMetric metric;
    GetTextMetrics(textDC(canvas), metric);
    switch (DrawTextFlags & vltoAlignVertMask) {
    case vltoBottom:
        return TextRect.Bottom - metric.tmDescent + 1;
    case vltoCenterVert:
        return TextRect.Top + (TextRect.Height() - metric.tmHeight) / 2 + metric.tmAscent + 1;
    default:
        break;
    }
    return TextRect.Top + metric.tmAscent + 1;
}

bool TvlCustomTextEditViewInfo::NeedShowHintInBounds(const TPoint& P, TRect& ATextRect, bool& AIsMultiLine,
                                                     String& AText, const TRect* AVisibleBounds) const
{
    TRect area = TextRect;
    if (AVisibleBounds != nullptr) {
        TRect visible = *AVisibleBounds;
        OffsetRect(visible, -Left, -Top);
        area = Rect(std::max(visible.Left, TextRect.Left), std::max(visible.Top, TextRect.Top),
                    std::min(visible.Right, TextRect.Right), std::min(visible.Bottom, TextRect.Bottom));
    }
    if (!area.Contains(P) || Text.isEmpty())
        return false;
    TvlCanvas* canvas = GetScreenCanvas();
    if (Font != nullptr)
        canvas->SetFont(Font);
    const uint32_t flags = (DrawTextFlags & ~uint32_t(vltoSingleLine | vltoAlignVertMask)) | vltoCalcRect;
    TRect needed = Rect(0, 0, TextRect.Width(), 0);
    DrawFormattedText(textDC(canvas), Text, needed, flags);
    if (needed.Height() <= area.Height() && needed.Width() <= area.Width())
        return false;
    AText = Text;
    AIsMultiLine = (DrawTextFlags & vltoWordBreak) != 0 && (DrawTextFlags & vltoSingleLine) == 0;
    ATextRect = TextRect;
    OffsetRect(ATextRect, Left, Top);
    return true;
}

// ------------------------------------------------------------ view data

TvlEditEditingStyle TvlCustomTextEditViewData::EditingStyle() const { return Properties()->GetEditingStyle(); }

bool TvlCustomTextEditViewData::HasEditableInnerEdit() const { return Edit != nullptr && Edit->IsTextEditable(); }

void TvlCustomTextEditViewData::GetContentOffsets(TRect& AOffsets) const
{
    // In place the content offset is the editor's border: the client area
    // already leaves it out.
    AOffsets = IsInplace ? TRect{} : ContentOffset;
    const TvlEditEditingStyle style = EditingStyle();
    if (!IsInplace && (style == esFixedList || style == esNoEdit)) {
        ++AOffsets.Top;
        --AOffsets.Bottom;
        if (Properties()->Alignment()->Horz() == taRightJustify)
            ++AOffsets.Right;
        else
            ++AOffsets.Left;
    }
}

uint32_t TvlCustomTextEditViewData::GetDrawTextFlags() const
{
    const TvlEditAlignment* alignment = Properties()->Alignment();
    return horzFlag(alignment->Horz()) | vertFlag(alignment->Vert()) | vltoSingleLine | vltoPreventLeftExceed |
           vltoPreventTopExceed;
}

void TvlCustomTextEditViewData::Calculate(TvlCanvas* ACanvas, const TRect& ABounds, const TPoint& AMousePos,
                                          TvlMouseButton AButton, TShiftState AShift, TvlCustomEditViewInfo* AViewInfo,
                                          bool AIsMouseEvent)
{
    TvlCustomEditViewData::Calculate(ACanvas, ABounds, AMousePos, AButton, AShift, AViewInfo, AIsMouseEvent);
    auto* info = static_cast<TvlCustomTextEditViewInfo*>(AViewInfo);
    info->DrawSelectionBar = false;
    info->EditingStyle = EditingStyle();
    info->InnerEditShowsText = HasEditableInnerEdit();
    info->HasPopupWindow = false;
    TRect offsets;
    GetContentOffsets(offsets);
    info->TextRect = deflated(info->ClientRect, offsets);
    if (!IsInplace) {
        // Measured by the font: the editor's canvas draws only while it
        // paints, and the layout is also made outside painting.
        const int h = TextExtentForFont(info->Font != nullptr ? info->Font : ACanvas->Font(), QStringLiteral("Zg")).cy;
        if (info->TextRect.Height() < h)
            info->TextRect.Bottom = std::min(info->TextRect.Top + h, info->ClientRect.Bottom);
    }
    info->MaxLineCount = GetMaxLineCount();
    info->ResetTextOutData();
    PrepareDrawTextFlags(ACanvas, info);
}

void TvlCustomTextEditViewData::PrepareDrawTextFlags(TvlCanvas* ACanvas, TvlCustomTextEditViewInfo* AViewInfo) const
{
    uint32_t flags = GetDrawTextFlags();
    if (!Properties()->IsMultiLine() && (Properties()->GetSupportedOperations() & vlesoAutoHeight) != 0 &&
        (PaintOptions & vlepoAutoHeight) != 0 && !AViewInfo->Text.isEmpty()) {
        if (Style() != nullptr)
            ACanvas->SetFont(Style()->GetVisibleFont());
        const TRect textRect = AViewInfo->TextRect;
        int width = textRect.Width();
        if ((flags & vltoAlignHorzMask) == vltoRight)
            ++width;
        const int h = std::max(lineHeight(ACanvas), 1);
        const int maxRows = (textRect.Height() + h - 1) / h + 1;
        TvlTextParams params;
        const uint32_t layoutFlags = (flags & ~uint32_t(vltoSingleLine)) | vltoWordBreak | vltoEditControl |
                                     vltoCalcRowCount;
        HDC dc = textDC(ACanvas);
        CalculateTextParams(dc, layoutFlags, params);
        TvlTextRows rows;
        int count = 0;
        MakeTextRows(dc, AViewInfo->Text, Rect(0, 0, std::max(width, 1), textRect.Height()), params,
                     rows, count, maxRows);
        if (count > 1) {
            flags = (flags & ~uint32_t(vltoSingleLine)) | vltoWordBreak | vltoEditControl;
            if (count * params.FullRowHeight > textRect.Height())
                flags &= ~uint32_t(vltoAlignVertMask);
        }
    }
    if ((AViewInfo->PaintOptions & vlepoShowEndEllipsis) != 0)
        flags |= vltoEndEllipsis;
    AViewInfo->DrawTextFlags = flags;
    AViewInfo->ComboBoxStyle = IsComboBoxStyle();
}

String TvlCustomTextEditViewData::EditValueToDisplayText(const Variant& AEditValue) const
{
    String text;
    InternalEditValueToDisplayText(AEditValue, text);
    if (OnGetDisplayText)
        OnGetDisplayText(text);
    return text;
}

void TvlCustomTextEditViewData::InternalEditValueToDisplayText(const Variant& AEditValue, String& AText) const
{
    const TvlCustomTextEditProperties* properties = Properties();
    try {
        if (DataFieldText) {
            AText = VarToStr(AEditValue);
        } else {
            Variant displayValue;
            properties->PrepareTextDisplayValue(AEditValue, displayValue,
                                                Focused || !properties->IsEditValueConversionDependOnFocused());
            AText = VarToStr(displayValue);
        }
    } catch (...) {
        properties->DisplayValueToDisplayText(AText);
        throw;
    }
    properties->DisplayValueToDisplayText(AText);
}

void TvlCustomTextEditViewData::DisplayValueToDrawValue(const Variant& ADisplayValue,
                                                        TvlCustomTextEditViewInfo* AViewInfo) const
{
    String text = VarToStr(ADisplayValue);
    Properties()->DisplayValueToDisplayText(text);
    AViewInfo->Text = text;
    AViewInfo->ResetTextOutData();
}

void TvlCustomTextEditViewData::EditValueToDrawValue(const Variant& AEditValue, TvlCustomEditViewInfo* AViewInfo) const
{
    auto* info = static_cast<TvlCustomTextEditViewInfo*>(AViewInfo);
    info->Text = PreviewMode ? String() : EditValueToDisplayText(AEditValue);
    info->ResetTextOutData();
    info->SelStart = SelStart;
    info->SelLength = SelLength;
    if (SelLength == 0)
        return;
    if (SelBackgroundColor == clDefault && SelTextColor != clDefault) {
        info->SelTextColor = SelTextColor;
        info->SelBackgroundColor = inverse(SelTextColor);
    } else if (SelBackgroundColor == clDefault) {
        if (Style() != nullptr && Style()->GetVisibleColor() == clHighlight) {
            info->SelTextColor = clWhite;
            info->SelBackgroundColor = clBlack;
        } else {
            info->SelTextColor = clHighlightText;
            info->SelBackgroundColor = clHighlight;
        }
    } else {
        info->SelBackgroundColor = SelBackgroundColor;
        info->SelTextColor = SelTextColor != clDefault ? SelTextColor : inverse(SelBackgroundColor);
    }
}

TSize TvlCustomTextEditViewData::MeasureContentCore(TvlCanvas* ACanvas, const Variant& AEditValue,
                                                    const TvlEditMeasureParams& AParams) const
{
    return GetTextContentSize(ACanvas, EditValueToDisplayText(AEditValue), AParams, GetDrawTextFlags());
}

TSize TvlCustomTextEditViewData::GetTextContentSize(TvlCanvas* ACanvas, const String& AText,
                                                    const TvlEditMeasureParams& AParams, uint32_t AFlags,
                                                    int ALineCount) const
{
    if (Style() != nullptr)
        ACanvas->SetFont(Style()->GetVisibleFont());
    const int h = lineHeight(ACanvas);
    const TvlEditEditingStyle style = EditingStyle();
    const int alignmentPixel = !IsInplace && (style == esFixedList || style == esNoEdit) && !IsComboBoxStyle() ? 1 : 0;
    const bool zeroHeight = (PaintOptions & vlepoAllowZeroHeight) != 0;
    HDC dc = textDC(ACanvas);
    TSize size{0, 0};
    if (AParams.MaxWidth < 0) {
        const bool multiLine = (AFlags & vltoSingleLine) == 0 ||
                               ((PaintOptions & vlepoAutoHeight) != 0 &&
                                (Properties()->GetSupportedOperations() & vlesoAutoHeight) != 0);
        if (multiLine && !AText.isEmpty()) {
            TRect r = Rect(0, 0, INT_MAX / 2, INT_MAX / 2);
            DrawFormattedText(dc, AText, r,
                              (AFlags & ~uint32_t(vltoSingleLine)) | vltoWordBreak | vltoEditControl | vltoCalcRect,
                              0, 0, nullptr, clHighlight, clHighlightText, AParams.MaxLineCount);
            size.cx = r.Width();
        } else if (!AText.isEmpty()) {
            size.cx = ACanvas->TextWidth(AText);
        }
        size.cy = h;
    } else if (ALineCount > 0) {
        size = TSize{AParams.MaxWidth, ALineCount * h};
    } else {
        const int width = AParams.MaxWidth - (IsInplace ? 2 : 0) - alignmentPixel;
        size.cx = std::max(width, 0);
        if (width > 0) {
            if (AText.isEmpty()) {
                size.cy = zeroHeight ? 0 : h;
            } else {
                TvlTextParams params;
                const uint32_t flags = ((AFlags & ~uint32_t(vltoSingleLine | vltoAlignVertMask)) | vltoWordBreak |
                                        vltoEditControl | vltoCalcRowCount);
                CalculateTextParams(dc, flags, params);
                TvlTextRows rows;
                int count = 0;
                MakeTextRows(dc, AText, Rect(0, 0, width, INT_MAX / 2), params, rows, count, AParams.MaxLineCount);
                size.cy = std::max(count, 1) * h;
            }
        } else {
            size.cx = 0;
            size.cy = AText.isEmpty() && zeroHeight ? 0 : h;
        }
    }
    size.cx += alignmentPixel;
    return size;
}

std::unique_ptr<TvlCustomEditViewInfo> TvlCustomTextEditProperties::CreateViewInfo() const
{
    auto info = std::make_unique<TvlCustomTextEditViewInfo>();
    info->Properties = this;
    return info;
}

std::unique_ptr<TvlCustomEditViewData> TvlCustomTextEditProperties::CreateViewData(TvlCustomEditStyle* AStyle,
                                                                                   bool AIsInplace,
                                                                                   bool APreviewMode) const
{
    auto data = std::make_unique<TvlCustomTextEditViewData>(this, AStyle, AIsInplace);
    data->PreviewMode = APreviewMode;
    return data;
}
