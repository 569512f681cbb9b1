// SknForm.h - painting from skin images: one frame cut out of a strip of
// frames and composed at any size (9-slice, three-part bars, stretched or
// centred), key-colour transparency, window regions from the opaque pixels
// of a bitmap, painting a parent under a control, and the shared work
// bitmap of the skinned menu bar and status bar.
#pragma once
#include <memory>

#include "platform/controls/Controls.h"
#include "platform/graphics/Color.h"
#include "platform/graphics/DeviceContext.h"
#include "platform/rtl/Types.h"

class TBitmap;
class TCanvas;
class TControl;

// Pixels of this colour are see-through when an image is drawn transparent.
constexpr TColor SkinKeyColor = 0xFF00FF;

// Frames are numbered from 1; a count below 1 counts as 1 and an index
// outside 1..count is brought to the nearest end. A vertical strip stacks
// its frames. Margins hold the fixed left, top, right and bottom edges of a
// frame in source pixels. Stretching is nearest-neighbour throughout.
// Every routine draws nothing for an inverted target rectangle or an
// empty bitmap.

// A new bitmap of the target's size holding the composed frame: corners
// kept, edges and centre stretched (the centre tiled when TileCentre).
// Margins that do not fit the target (left + right wider, or top + bottom
// taller) are dropped in that direction.
std::unique_ptr<TBitmap> BuildSkinImage(const TRect& R, TBitmap* Source, const TRect& Margins, bool Vertical,
                                        bool TileCentre, int FrameCount, int FrameIndex);
void DrawSkinImage(HDC DC, const TRect& R, TBitmap* Bitmap, const TRect& Margins, bool Vertical, bool TileCentre,
                   bool Transparent, int FrameCount, int FrameIndex);
// Left cap, tiled middle, right cap (Margins.Left and .Right); a frame
// whose caps leave no middle draws the caps only.
void DrawSkinBar(TCanvas* Canvas, const TRect& R, TBitmap* Bitmap, const TRect& Margins, bool Vertical,
                 bool Transparent, int FrameCount, int FrameIndex);
// Left cap, stretched middle, right cap straight to the DC; a frame wider
// than the target is squeezed whole into it.
void DrawSkinImageH(HDC DC, const TRect& R, TBitmap* Bitmap, const TRect& Margins, bool Vertical, int FrameCount,
                    int FrameIndex);
// A frame of a horizontal strip, stretched to R / unscaled and centred in R.
void DrawSkinFrame(HDC DC, const TRect& R, TBitmap* Bitmap, int FrameCount, int FrameIndex, bool Transparent);
void DrawSkinFrameCentred(HDC DC, const TRect& R, TBitmap* Bitmap, int FrameCount, int FrameIndex,
                          bool Transparent);
// Fills DestRect with whole copies of SourceRect; the last row and column
// may reach past DestRect.
void TileSkinImage(TCanvas* Dest, const TRect& DestRect, TBitmap* Source, const TRect& SourceRect);
// The top-left of Bitmap (R's size) copied to R except its KeyColor pixels.
void DrawTransparentBitmap(HDC DC, const TRect& R, TBitmap* Bitmap, TColor KeyColor);
// Every pixel of Bitmap outside the key colour (each channel from the
// key's value up to that plus its tolerance), shifted by the offsets.
TRegion CreateRegionFromBitmap(TBitmap* Bitmap, int XOffset, int YOffset, int RedTolerance, int GreenTolerance,
                               int BlueTolerance, TColor KeyColor);
// Paints the control's parent (background erase, then paint) into DC,
// shifted and clipped so that DC shows what lies under the control. A
// failure of the parent's painting propagates, except at design time.
void DrawParentBackground(TControl* Control, HDC DC);

// The process-wide scratch bitmap (exists between the unit's start and end).
TBitmap* SkinWorkBitmap();
void SknFormInitialization();
void SknFormFinalization();

// ---- the form skinner -------------------------------------------------------

class TCustomForm;
class TSkinData;

// Skins one form: it takes the form's window procedure, finishes skinning
// when the manager's "finish" message arrives, and gives everything back
// when unskinned. States: 0 new, 1 attached, 2 skinned, 6 unskinned (done
// with; the manager drops it).
class TSknForm : public TComponent {
public:
    explicit TSknForm(TComponent* AOwner);
    ~TSknForm() override;
    String ClassName() const override { return String::fromLatin1("TSknForm"); }

    void AttachForm(TCustomForm* Form, TSkinData* SkinData);
    // Without frame skinning: the form takes the skin's face colour.
    void Init();
    // Gives the form its colour and window procedure back; state 6.
    void Unskin(bool Repaint);
    void Detach();
    // Applies the skin's colours again (after a skin change).
    void ApplyColours();

    int State() const { return FState; }
    TCustomForm* Form() const { return FForm; }
    TSkinData* SkinData() const { return FSkinData; }

private:
    void SkinWndProc(TMessage& Message);

    TCustomForm* FForm = nullptr;
    TSkinData* FSkinData = nullptr;
    TWndMethod FOldWndProc;
    TColor FOldColor = clBtnFace;
    bool FAttached = false;
    int FState = 0;
};
