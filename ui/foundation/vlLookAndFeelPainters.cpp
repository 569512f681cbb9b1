#include "ui/foundation/vlLookAndFeelPainters.h"

uint32_t vlAlignmentToDrawTextFlags(TAlignment AHorz, TvlEditVertAlignment AVert)
{
    uint32_t flags = DT_SINGLELINE | DT_NOPREFIX;
    switch (AHorz) {
    case taLeftJustify: flags |= DT_LEFT; break;
    case taRightJustify: flags |= DT_RIGHT; break;
    case taCenter: flags |= DT_CENTER; break;
    }
    switch (AVert) {
    case taTopJustify: flags |= DT_TOP; break;
    case taBottomJustify: flags |= DT_BOTTOM; break;
    case taVCenter: flags |= DT_VCENTER; break;
    }
    return flags;
}

void TvlStandardLookAndFeelPainter::DrawBorder(TvlCanvas* ACanvas, const TRect& R) const
{
    TRect border = R;
    ::DrawEdge(ACanvas->Handle(), border, EDGE_SUNKEN, BF_RECT);
}

void TvlStandardLookAndFeelPainter::DrawHeader(TvlCanvas* ACanvas, const TRect& ABounds, const TRect& ATextAreaBounds,
                                               const String& AText, TAlignment AAlignmentHorz,
                                               TvlEditVertAlignment AAlignmentVert, bool AShowEndEllipsis,
                                               TColor ABkColor, TColor ATextColor, const TBitmap* ABkBitmap) const
{
    ACanvas->SetBrushColor(ABkColor);
    ACanvas->FillRect(ABounds, ABkBitmap);
    TRect edge = ABounds;
    ::DrawEdge(ACanvas->Handle(), edge, EDGE_RAISED, BF_RECT);
    uint32_t flags = vlAlignmentToDrawTextFlags(AAlignmentHorz, AAlignmentVert);
    if (AShowEndEllipsis)
        flags |= DT_END_ELLIPSIS;
    ACanvas->SaveClipRegion();
    ACanvas->IntersectClipRect(ATextAreaBounds);
    TRect textArea = ATextAreaBounds;
    DrawTextOnCanvas(ACanvas->Canvas(), AText, textArea, flags, ATextColor);
    ACanvas->RestoreClipRegion();
}

void TvlStandardLookAndFeelPainter::DrawScrollBarButton(TvlCanvas* ACanvas, const TRect& R, bool AUp,
                                                        bool APressed) const
{
    ::DrawFrameControl(ACanvas->Handle(), R, DFC_SCROLL,
                              (AUp ? DFCS_SCROLLUP : DFCS_SCROLLDOWN) | (APressed ? DFCS_PUSHED | DFCS_FLAT : 0u));
}

void TvlStandardLookAndFeelPainter::DrawScrollBarTrack(TvlCanvas* ACanvas, const TRect& R) const
{
    ACanvas->FillRectByColor(R, clScrollBar);
}

void TvlStandardLookAndFeelPainter::DrawScrollBarThumb(TvlCanvas* ACanvas, const TRect& R) const
{
    TRect thumb = R;
    ::DrawEdge(ACanvas->Handle(), thumb, EDGE_RAISED, BF_RECT | BF_MIDDLE);
}
