// ImgList.h - TImageList: a row of equally sized images with masks, added
// from bitmaps (strips split into images) and drawn by index.
//
// Ownership: a component; the list owns copies of its images (each an
// ARGB32 QImage whose alpha is the mask), never the bitmaps passed in.
#pragma once
#include <QImage>
#include <vector>

#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Graphics.h"

enum TDrawingStyle { dsFocus, dsSelected, dsNormal, dsTransparent };

class TImageList;

// Tells its holder of every change of one image list. The holder owns the
// link; a list that goes away first leaves Sender nullptr.
class TChangeLink : public TObject {
public:
    TChangeLink() = default;
    ~TChangeLink() override;
    String ClassName() const override { return String::fromLatin1("TChangeLink"); }
    TImageList* Sender() const { return FSender; }
    void SetSender(TImageList* Value) { FSender = Value; }
    // Fires OnChange with the list (or nullptr) as sender.
    void Change();
    TNotifyEvent OnChange;

private:
    TImageList* FSender = nullptr;
};
enum TImageType { itImage, itMask };

class TImageList : public TComponent {
public:
    explicit TImageList(TComponent* AOwner);
    ~TImageList() override;
    String ClassName() const override { return String::fromLatin1("TImageList"); }
    void Assign(const TPersistent* Source) override;

    // Default 16 x 16; changing either clears the list. EInvalidOperation
    // ("Invalid image size") for a size below 1.
    int Width() const { return FWidth; }
    void SetWidth(int Value);
    int Height() const { return FHeight; }
    void SetHeight(int Value);
    int Count() const { return static_cast<int>(FImages.size()); }
    // Whether masks are used when drawing (default True).
    bool Masked() const { return FMasked; }
    void SetMasked(bool Value);
    // The colour behind every image when drawing (clNone: none).
    TColor BkColor() const { return FBkColor; }
    void SetBkColor(TColor Value);
    TDrawingStyle DrawingStyle() const { return FDrawingStyle; }
    void SetDrawingStyle(TDrawingStyle Value);

    // Image is split into Width-wide images from the left (a narrower
    // rest is dropped; a bitmap narrower than Width or not Height high is
    // padded/cropped to Width x Height). Mask: black pixels are drawn,
    // white ones are not; nullptr draws every pixel. Returns the index of
    // the first image added, -1 when Image is nullptr or empty.
    virtual int Add(const TBitmap* Image, const TBitmap* Mask);
    // Pixels of MaskColor are left out (clDefault: the bottom-left pixel).
    virtual int AddMasked(const TBitmap* Image, TColor MaskColor);
    // Each of the other list's images, appended.
    void AddImages(const TImageList* Value);
    // Index 0..Count; EInvalidOperation ("Invalid ImageList Index") outside.
    virtual void Insert(int Index, const TBitmap* Image, const TBitmap* Mask);
    void InsertMasked(int Index, const TBitmap* Image, TColor MaskColor);
    virtual void Replace(int Index, const TBitmap* Image, const TBitmap* Mask);
    void ReplaceMasked(int Index, const TBitmap* NewImage, TColor MaskColor);
    virtual void Delete(int Index);
    virtual void Move(int CurIndex, int NewIndex);
    virtual void Clear();

    // Draws image Index at X,Y; an index out of range draws nothing.
    // Disabled images are drawn greyed in the system shadow and highlight
    // colours.
    void Draw(TCanvas* Canvas, int X, int Y, int Index, bool Enabled = true) const;
    void Draw(TCanvas* Canvas, int X, int Y, int Index, TDrawingStyle ADrawingStyle, TImageType AImageType,
              bool Enabled = true) const;
    // The image over BkColor (black when clNone) as a Width x Height
    // pf24bit bitmap; the mask as pf1bit: black drawn, white not.
    // Returns false for an index out of range.
    bool GetBitmap(int Index, TBitmap* Image) const;
    bool GetMask(int Index, TBitmap* Mask) const;
    // The stored image (alpha = mask); a null image out of range.
    QImage ImageAt(int Index) const;
    // Copies image Index out as the system's lists keep it: Image gets the
    // colours as a pf32bit bitmap (fourth byte 0, hidden pixels black),
    // Mask a pf1bit bitmap (white hidden, black drawn); either may be
    // nullptr. Index -1 gives the whole strip, every image side by side.
    // False (nothing copied) for any other index out of range.
    bool GetImageInfo(int Index, TBitmap* Image, TBitmap* Mask) const;
    // Bits per pixel of the stored images: 32, or 0 for an empty list.
    int BitCount() const { return Count() > 0 ? 32 : 0; }

    // Links hear of every Change; registering sets the link's Sender.
    void RegisterChanges(TChangeLink* Value);
    void UnRegisterChanges(TChangeLink* Value);

    TNotifyEvent OnChange;

protected:
    virtual void Change();
    // Draws image Index in the image style (Draw with itImage comes here).
    virtual void DoDraw(int Index, TCanvas* Canvas, int X, int Y, TDrawingStyle Style, bool Enabled) const;

private:
    void drawCell(TCanvas* Canvas, int X, int Y, int Index, TDrawingStyle ADrawingStyle, TImageType AImageType,
                  bool Enabled) const;
    std::vector<QImage> split(const TBitmap* Image, const TBitmap* Mask, TColor MaskColor, bool UseColor) const;
    void checkIndex(int Index, bool AllowEnd) const;

    int FWidth = 16;
    int FHeight = 16;
    bool FMasked = true;
    TColor FBkColor = clNone;
    TDrawingStyle FDrawingStyle = dsNormal;
    std::vector<QImage> FImages;
    std::vector<TChangeLink*> FChangeLinks;  // not owned
};
