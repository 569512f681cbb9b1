// vlCheckBoxDrawing.cpp - the check element: glyph strips, the skin's and
// the theme's check box, and our own frame and content in each border style.
#include <QImage>
#include <algorithm>

#include "platform/graphics/DeviceContext.h"
#include "platform/rtl/Exception.h"
#include "platform/rtl/ResString.h"
#include "platform/rtl/SysUtils.h"
#include "ui/controls/vlCheckBox.h"
#include "ui/editors/vlEditPaintUtils.h"
#include "ui/foundation/vxThemeManager.h"
#include "ui/foundation/vxUxTheme.h"

namespace {

// The third state of the classic check box (drawn with a grey mark).
constexpr uint32_t DFCS_BUTTON3STATE = 0x8;
// The themed check box part of the button class.
constexpr int BP_CHECKBOX = 3;

std::unique_ptr<TBitmap>& checkMarkBitmap()
{
    static std::unique_ptr<TBitmap> bitmap;
    return bitmap;
}

TvlButtonState buttonStateOf(TvlCheckMarkState AState)
{
    switch (AState) {
    case cmsNormal:
        break;
    case cmsHot:
        return vlbsHot;
    case cmsPressed:
        return vlbsPressed;
    case cmsDisabled:
        return vlbsDisabled;
    }
    return vlbsNormal;
}

void drawGlyphCell(TvlCanvas* ACanvas, const TRect& R, TvlCheckBoxState AState, TvlCheckMarkState AMarkState,
                   TBitmap* AGlyph, int AGlyphCount, bool AGrayedSupported, TColor ABackgroundColor)
{
    const int index = GetCheckGlyphIndex(AState, AMarkState, AGrayedSupported, AGlyphCount);
    TBitmap cell;
    cell.Assign(AGlyph);
    cell.SetSize(R.Width(), R.Height());
    const int cellWidth = AGlyph->Width() / AGlyphCount;
    const TRect source = Bounds(index * cellWidth, (AGlyph->Height() - R.Height()) / 2, cell.Width(), R.Height());
    cell.Canvas()->CopyRect(Rect(0, 0, cell.Width(), cell.Height()), AGlyph->Canvas(), source);
    const TColor background = ABackgroundColor == clNone ? clNone : ColorToRGB(ABackgroundColor);
    DrawGlyphOnCxCanvas(ACanvas, R.Left, R.Top, &cell, AMarkState != cmsDisabled, background);
}

void drawThemed(TvlCanvas* ACanvas, const TRect& R, TvlCheckBoxState AState, TvlCheckMarkState AMarkState)
{
    const HTHEME theme = OpenTheme(totButton);
    if (theme != 0)
        ThemeLibrary()->DrawThemeBackground(theme, ACanvas->Handle(), BP_CHECKBOX,
                                            GetCheckThemeStateId(AState, AMarkState), R);
}

TColor flatFrameColor(TvlEditBorderStyle ABorderStyle, TvlCheckMarkState AMarkState, bool AIsDesigning,
                      bool AFocused)
{
    const bool office11 = ABorderStyle == ebsOffice11;
    if (office11 && AMarkState == cmsNormal && !AIsDesigning && !AFocused)
        return clBtnText;
    if (AMarkState == cmsHot || AMarkState == cmsPressed)
        return GetEditBorderHighlightColor(office11);
    if (AIsDesigning && AMarkState != cmsDisabled)
        return GetEditBorderHighlightColor(office11);
    if (AMarkState == cmsNormal && AFocused)
        return GetEditBorderHighlightColor(office11);
    return clBtnShadow;
}

void drawFrame(TvlCanvas* ACanvas, TRect R, TvlEditBorderStyle ABorderStyle, TvlCheckMarkState AMarkState,
               TColor ABorderColor, bool AIsDesigning, bool AFocused)
{
    switch (ABorderStyle) {
    case ebsNone:
        break;
    case ebsSingle:
        ACanvas->FrameRect(R, ABorderColor);
        break;
    case ebsThick:
        ACanvas->FrameRect(R, ABorderColor, 2);
        break;
    case ebsFlat:
        ACanvas->DrawEdge(R, true, true);
        InflateRect(R, -1, -1);
        ACanvas->FrameRect(R, clBtnFace);
        break;
    case ebs3D:
        ACanvas->DrawEdge(R, true, true);
        InflateRect(R, -1, -1);
        ACanvas->DrawComplexFrame(R, cl3DDkShadow, cl3DLight);
        break;
    case ebsUltraFlat:
    case ebsOffice11:
        ACanvas->FrameRect(R, flatFrameColor(ABorderStyle, AMarkState, AIsDesigning, AFocused));
        break;
    }
}

// The mask's set pixels in the brush colour, from R's top-left, only
// inside AContent.
void drawMark(TvlCanvas* ACanvas, const TRect& R, const TRect& AContent, TColor AColor)
{
    const TBitmap* mask = CheckMarkBitmap();
    if (mask == nullptr)
        return;
    const QImage& image = mask->Image();
    ACanvas->SaveClipRegion();
    ACanvas->IntersectClipRect(AContent);
    ACanvas->SetBrushColor(AColor);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qGray(image.pixel(x, y)) < 128)
                ACanvas->FillRectByColor(Bounds(R.Left + x, R.Top + y, 1, 1), clDefault);
    ACanvas->RestoreClipRegion();
}

void drawFlatContent(TvlCanvas* ACanvas, const TRect& R, const TRect& AContent, TvlCheckBoxState AState,
                     TvlCheckMarkState AMarkState, TvlEditBorderStyle ABorderStyle,
                     TvlCheckBoxNullValueShowingStyle ANullStyle)
{
    TColor fill = clWindow;
    switch (AMarkState) {
    case cmsNormal:
        fill = AState == cbsGrayed && ANullStyle == nssInactive ? clBtnFace : clWindow;
        break;
    case cmsHot:
    case cmsPressed:
        fill = GetEditButtonHighlightColor(AMarkState == cmsPressed, ABorderStyle == ebsOffice11);
        break;
    case cmsDisabled:
        fill = clBtnFace;
        break;
    }
    ACanvas->FillRectByColor(AContent, fill);
    if (AState == cbsChecked || (AState == cbsGrayed && ANullStyle == nssGrayedChecked))
        drawMark(ACanvas, R, AContent,
                 AState == cbsChecked && AMarkState != cmsDisabled ? clBtnText : clBtnShadow);
}

void drawSystemContent(TvlCanvas* ACanvas, const TRect& R, const TRect& AContent, TvlCheckBoxState AState,
                       TvlCheckMarkState AMarkState, TvlEditBorderStyle ABorderStyle,
                       TvlCheckBoxNullValueShowingStyle ANullStyle)
{
    uint32_t flags = DFCS_BUTTONCHECK;
    if (AMarkState == cmsDisabled) {
        flags |= DFCS_BUTTON3STATE | DFCS_PUSHED;
        if (AState == cbsUnchecked || (AState == cbsGrayed && ANullStyle != nssGrayedChecked))
            flags |= DFCS_INACTIVE;
        else
            flags |= DFCS_CHECKED;
    } else {
        if (AState == cbsChecked)
            flags |= DFCS_CHECKED;
        else if (AState == cbsGrayed) {
            flags |= DFCS_BUTTON3STATE;
            if (ANullStyle == nssInactive)
                flags |= DFCS_INACTIVE;
            else if (ANullStyle == nssGrayedChecked)
                flags |= DFCS_CHECKED;
        }
        if (AMarkState == cmsPressed)
            flags |= DFCS_PUSHED;
    }
    if (ABorderStyle != ebs3D)
        flags |= DFCS_FLAT;
    // Only the inside of the system's box shows: its own edge is clipped.
    ACanvas->SaveClipRegion();
    ACanvas->IntersectClipRect(AContent);
    DrawFrameControl(ACanvas->Handle(), R, DFC_BUTTON, flags);
    ACanvas->RestoreClipRegion();
}

}  // namespace

int GetCheckGlyphIndex(TvlCheckBoxState ACheckState, TvlCheckMarkState AMarkState, bool AGrayedSupported,
                       int AGlyphCount)
{
    const int statesPerGroup = AGrayedSupported || AGlyphCount % 3 == 0 || AGlyphCount % 2 == 1 ? 3 : 2;
    int index = int(ACheckState);
    if (AMarkState == cmsPressed)
        index += statesPerGroup;
    if (index >= AGlyphCount && index > statesPerGroup - 1)
        index %= statesPerGroup;
    return index;
}

int GetCheckThemeStateId(TvlCheckBoxState ACheckState, TvlCheckMarkState AMarkState)
{
    return int(ACheckState) * 4 + int(AMarkState) + 1;
}

int GetCheckElementBorderOffset(TvlEditBorderStyle ABorderStyle, bool ANativeStyle, bool AHasGlyph,
                                TvlCheckSkinPainter ASkinPainter)
{
    if (ANativeStyle || AHasGlyph || ASkinPainter != nullptr)
        return 0;
    return 2 - GetContainerBorderWidth(TvlContainerBorderStyle(ABorderStyle));
}

int GetCheckElementBorderOffsetByKind(TvlLookAndFeelKind AKind, bool ANativeStyle, bool AHasGlyph,
                                      TvlCheckSkinPainter ASkinPainter)
{
    if (ANativeStyle || AHasGlyph || ASkinPainter != nullptr)
        return 0;
    return 2 - GetLookAndFeelBorderWidth(AKind);
}

void GetCheckElementSize(TvlCanvas*, bool ANativeStyle, const TBitmap* AGlyph, TSize& ASize,
                         TvlCheckSkinPainter ASkinPainter, int AGlyphCount)
{
    if (IsGlyphValid(AGlyph) && AGlyphCount > 0)
        ASize = TSize{AGlyph->Width() / AGlyphCount, AGlyph->Height()};
    else if (ASkinPainter != nullptr)
        ASkinPainter->CheckButtonSize(ASize);
    else if (AreVisualStylesMustBeUsed(ANativeStyle, totButton))
        TvlWinXPLookAndFeelPainter::Instance()->CheckButtonSize(ASize);
    else
        TvlCustomLookAndFeelPainter::Instance()->CheckButtonSize(ASize);
}

void DrawCheckElement(TvlCanvas* ACanvas, const TRect& R, TvlCheckBoxState ACheckState, TvlCheckMarkState AMarkState,
                      TBitmap* AGlyph, int AGlyphCount, TvlEditBorderStyle ABorderStyle, bool ANativeStyle,
                      TColor ABorderColor, TColor ABackgroundColor, bool ADrawBackground, bool AIsDesigning,
                      bool AFocused, bool AGrayedSupported, TvlCheckSkinPainter ASkinPainter,
                      TvlCheckBoxNullValueShowingStyle ANullValueShowingStyle)
{
    const TColor background = ADrawBackground ? ABackgroundColor : clNone;
    const TvlCheckBoxState state =
        ACheckState == cbsGrayed && ANullValueShowingStyle == nssUnchecked ? cbsUnchecked : ACheckState;
    if (IsGlyphValid(AGlyph) && AGlyphCount > 0) {
        drawGlyphCell(ACanvas, R, state, AMarkState, AGlyph, AGlyphCount, AGrayedSupported, background);
        return;
    }
    if (ASkinPainter != nullptr) {
        if (ADrawBackground)
            ACanvas->FillRectByColor(R, background);
        ASkinPainter->DrawCheckButton(ACanvas, R, buttonStateOf(AMarkState), state);
        return;
    }
    if (ANativeStyle) {
        drawThemed(ACanvas, R, state, AMarkState);
        return;
    }
    const int offset = GetCheckElementBorderOffset(ABorderStyle, false, false, ASkinPainter);
    TRect frame = R;
    if (ADrawBackground && offset > 0) {
        ACanvas->FillRectByColor(Rect(R.Left, R.Top, R.Right, R.Top + offset), background);
        ACanvas->FillRectByColor(Rect(R.Left, R.Bottom - offset, R.Right, R.Bottom), background);
        ACanvas->FillRectByColor(Rect(R.Left, R.Top + offset, R.Left + offset, R.Bottom - offset), background);
        ACanvas->FillRectByColor(Rect(R.Right - offset, R.Top + offset, R.Right, R.Bottom - offset), background);
    }
    InflateRect(frame, -offset, -offset);
    drawFrame(ACanvas, frame, ABorderStyle, AMarkState, ABorderColor, AIsDesigning, AFocused);
    TRect content = R;
    InflateRect(content, -2, -2);
    if (ABorderStyle == ebsUltraFlat || ABorderStyle == ebsOffice11)
        drawFlatContent(ACanvas, R, content, state, AMarkState, ABorderStyle, ANullValueShowingStyle);
    else
        drawSystemContent(ACanvas, R, content, state, AMarkState, ABorderStyle, ANullValueShowingStyle);
}

TBitmap* CheckMarkBitmap() { return checkMarkBitmap().get(); }

void InitCheckMarkBitmap()
{
    // Our own mark, drawn for this library (black on white), in a cell of
    // the standard check element's size.
    TSize size;
    TvlCustomLookAndFeelPainter::Instance()->CheckButtonSize(size);
    const QImage source(QStringLiteral(":/painters/VLCHECKMARK.xpm"));
    if (source.isNull())
        throw EResNotFound(LoadResStringFmt(SResNotFound, {String::fromLatin1("VLCHECKMARK")}));
    QImage mask(size.cx, size.cy, QImage::Format_RGB32);
    mask.fill(Qt::white);
    for (int y = 0; y < std::min(size.cy, source.height()); ++y)
        for (int x = 0; x < std::min(size.cx, source.width()); ++x)
            if (qGray(source.pixel(x, y)) < 128)
                mask.setPixel(x, y, qRgb(0, 0, 0));
    auto bitmap = std::make_unique<TBitmap>();
    bitmap->SetImage(mask);
    checkMarkBitmap() = std::move(bitmap);
}

void FreeCheckMarkBitmap() { checkMarkBitmap().reset(); }
