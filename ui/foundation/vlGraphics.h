// vlGraphics.h - the drawing surface of the grid, editors and painters: a
// thin layer over the platform canvas with the fill, edge, text and clip
// operations they share, so every painter draws through one vocabulary.
#pragma once
#include "platform/graphics/Graphics.h"
#include "platform/graphics/ImgList.h"

// The canvas the painters draw on. It never owns the platform canvas: a
// control hands it its paint canvas for the time of a paint.
class TvlCanvas {
public:
    explicit TvlCanvas(TCanvas* ACanvas) : FCanvas(ACanvas) {}
    TvlCanvas(const TvlCanvas&) = delete;
    TvlCanvas& operator=(const TvlCanvas&) = delete;

    TCanvas* Canvas() const { return FCanvas; }
    HDC Handle() const { return FCanvas->Handle(); }
    TFont* Font() const { return FCanvas->Font(); }
    void SetFont(const TFont* Value) { FCanvas->SetFont(Value); }
    TBrush* Brush() const { return FCanvas->Brush(); }

    // Fills R with a solid colour (system colours resolved).
    void FillRect(const TRect& R, TColor AColor);
    // Covers R with copies of ABitmap from R's top-left; an empty bitmap
    // fills with AColor instead.
    void FillRectByBitmap(const TRect& R, const TBitmap* ABitmap, TColor AColor);
    // A one-pixel frame in AColor on the sides given by BF_ flags.
    void FrameRect(const TRect& R, TColor AColor, uint32_t ASides = BF_RECT);
    // The classic 3D edge (BDR_ and BF_ flags as DrawEdge takes them).
    void DrawEdge(TRect R, uint32_t AEdge, uint32_t AFlags);
    void DrawFocusRect(const TRect& R) { FCanvas->DrawFocusRect(R); }
    void DrawFrameControl(const TRect& R, uint32_t AType, uint32_t AState);

    // Text in R with DT_ flags, in AColor, over nothing (the brush is clear).
    void DrawText(const String& AText, TRect R, uint32_t AFlags, TColor AColor);
    int TextWidth(const String& AText) { return FCanvas->TextWidth(AText); }
    int TextHeight(const String& AText) { return FCanvas->TextHeight(AText); }
    TSize TextExtent(const String& AText) { return FCanvas->TextExtent(AText); }

    void DrawImage(const TImageList* AImages, int AIndex, int X, int Y, bool AEnabled = true);

    // A clip stack: SaveClipRegion pushes the clip, IntersectClipRect
    // narrows it, RestoreClipRegion brings the pushed one back.
    void SaveClipRegion();
    void RestoreClipRegion();
    void IntersectClipRect(const TRect& R);
    void ExcludeClipRect(const TRect& R);
    bool RectVisible(const TRect& R) { return ::RectVisible(Handle(), R); }

private:
    TCanvas* FCanvas;
    std::vector<int> FSavedDCs;
};
