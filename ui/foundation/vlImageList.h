// vlImageList.h - the library's image list: the platform list for drawing
// and, beside it, each image's original bitmap, mask and mask colour, so
// 32-bit images keep their alpha channel; drawing goes through DrawImage.
//
// Ownership: the list owns its image-information collection; each item owns
// copies of the bitmaps given to it.
#pragma once
#include <memory>

#include "platform/graphics/ImgList.h"
#include "platform/rtl/Collection.h"
#include "ui/foundation/vlGraphics.h"

class TvlImageInfo : public TPersistent {
public:
    TvlImageInfo();
    ~TvlImageInfo() override;
    String ClassName() const override { return String::fromLatin1("TvlImageInfo"); }
    // From another TvlImageInfo: image, mask and mask colour.
    void Assign(const TPersistent* Source) override;

    TvlBitmap* Image() const { return FImage.get(); }
    TvlBitmap* Mask() const { return FMask.get(); }
    // Copies (nullptr empties).
    virtual void SetImage(const TBitmap* Value);
    virtual void SetMask(const TBitmap* Value);
    // clNone when the mask bitmap is used.
    TColor MaskColor() const { return FMaskColor; }
    void SetMaskColor(TColor Value) { FMaskColor = Value; }

private:
    std::unique_ptr<TvlBitmap> FImage;
    std::unique_ptr<TvlBitmap> FMask;
    TColor FMaskColor = clNone;
};

class TvlImageInfoItem : public TCollectionItem {
public:
    explicit TvlImageInfoItem(TCollection* Collection);
    TvlImageInfoItem(TCollection* Collection, const TBitmap* AImage, const TBitmap* AMask, TColor AMaskColor);
    String ClassName() const override { return String::fromLatin1("TvlImageInfoItem"); }
    const TClassInfo* ClassInfo() const override { return &StaticClassInfo(); }
    static const TClassInfo& StaticClassInfo();
    void Assign(const TPersistent* Source) override;

    TvlImageInfo* ImageInfo() const { return FImageInfo.get(); }
    TvlBitmap* Image() const { return FImageInfo->Image(); }
    void SetImage(TBitmap* Value) { FImageInfo->SetImage(Value); }
    TvlBitmap* Mask() const { return FImageInfo->Mask(); }
    void SetMask(TBitmap* Value) { FImageInfo->SetMask(Value); }
    TColor MaskColor() const { return FImageInfo->MaskColor(); }
    void SetMaskColor(TColor Value) { FImageInfo->SetMaskColor(Value); }
    // True only when both bitmaps compress.
    bool CompressData() const;
    void SetCompressData(bool Value);

private:
    std::unique_ptr<TvlImageInfo> FImageInfo;
};

class TvlImageInfoCollection : public TOwnedCollection {
public:
    explicit TvlImageInfoCollection(TPersistent* AOwner);
    String ClassName() const override { return String::fromLatin1("TvlImageInfoCollection"); }
    TvlImageInfoItem* Items(int Index) const { return static_cast<TvlImageInfoItem*>(TCollection::Items(Index)); }
    bool CompressData() const { return FCompressData; }
    void SetCompressData(bool Value);

    TvlImageInfoItem* AddImageInfo(const TBitmap* AImage, const TBitmap* AMask, TColor AMaskColor);
    void MoveImageInfo(int ACurIndex, int ANewIndex);
    // -1 clears all.
    void DeleteImageInfo(int AIndex);

private:
    bool FCompressData = false;
};

class TvlImageList : public TImageList {
public:
    explicit TvlImageList(TComponent* AOwner);
    ~TvlImageList() override;
    String ClassName() const override { return String::fromLatin1("TvlImageList"); }
    const TClassInfo* ClassInfo() const override { return &StaticClassInfo(); }
    static const TClassInfo& StaticClassInfo();

    // Another TvlImageList's stored images, or any image list's images
    // copied out; other sources are ignored.
    void Assign(const TPersistent* Source) override;

    void BeginUpdate() { ++FLockCount; }
    void EndUpdate(bool AFireChange = true);

    int Add(const TBitmap* Image, const TBitmap* Mask) override;
    int AddMasked(const TBitmap* Image, TColor MaskColor) override;
    // Ignored for Index < 0 or Index > Count.
    void Insert(int Index, const TBitmap* Image, const TBitmap* Mask) override;
    void Replace(int Index, const TBitmap* Image, const TBitmap* Mask) override;
    void Move(int CurIndex, int NewIndex) override;
    // -1 deletes all.
    void Delete(int Index) override;
    void Clear() override { Delete(-1); }

    TvlImageInfoCollection* ImageInfo() const { return FImageInfo.get(); }
    bool CompressData() const { return FImageInfo->CompressData(); }
    void SetCompressData(bool Value) { FImageInfo->SetCompressData(Value); }

    // The stored image with its alpha when it has 32 bits, else what the
    // list draws; an index out of range does nothing.
    void GetItemImageInfo(int Index, TBitmap* AImage, TBitmap* AMask);
    // Any list's image Index (-1: the whole strip) into AImage and AMask.
    static void GetImageInfo(const TImageList* AHandle, int AIndex, TBitmap* AImage, TBitmap* AMask);
    static int GetHandleBitCount(const TImageList* AHandle);

    // The stored form: "FormatVersion" (always 1) and "ImageInfo" (when
    // there are images): an item count, then per item the image's and the
    // mask's stored data (see TvlBitmap) and the mask colour, integers
    // 32-bit little-endian. Damaged data raises EInvalidGraphic and changes
    // nothing.
    int FormatVersion() const { return 1; }
    void SetFormatVersion(int Value) { FFormatVersion = Value; }
    QByteArray ImageInfoData() const;
    void SetImageInfoData(const QByteArray& Value);

protected:
    void Change() override;
    void DoDraw(int Index, TCanvas* Canvas, int X, int Y, TDrawingStyle Style, bool Enabled) const override;

private:
    void recordImage(const TBitmap* AImage, const TBitmap* AMask, TColor AMaskColor);
    void rebuildFromImageInfo();

    std::unique_ptr<TvlImageInfoCollection> FImageInfo;
    int FLockCount = 0;
    bool FSynchronizing = false;
    int FFormatVersion = 1;
};

// Src drawn over the whole of Dest.
void CopyBitmapPixels(TBitmap* ADest, TBitmap* ASrc);
// (W div Width) x (H div Height) when both divide exactly, else 1.
int CountStripImages(const TBitmap* ABitmap, int AWidth, int AHeight);
// Same images (pixels and masks) in the same order.
bool ImageListsEqual(const TImageList* AList1, const TImageList* AList2);
