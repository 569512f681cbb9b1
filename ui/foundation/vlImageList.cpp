#include "ui/foundation/vlImageList.h"

#include <QtEndian>
#include <algorithm>

// ---------------------------------------------------------------- helpers

void CopyBitmapPixels(TBitmap* ADest, TBitmap* ASrc)
{
    if (ADest == nullptr || ASrc == nullptr || ADest->Empty() || ASrc->Empty())
        return;
    DrawBitmapToDC(ADest->Canvas()->Handle(), ASrc, Rect(0, 0, ADest->Width(), ADest->Height()), TPoint{0, 0},
                   SRCCOPY);
}

int CountStripImages(const TBitmap* ABitmap, int AWidth, int AHeight)
{
    if (ABitmap == nullptr || AWidth <= 0 || AHeight <= 0 || ABitmap->Width() % AWidth != 0 ||
        ABitmap->Height() % AHeight != 0)
        return 1;
    return std::max(1, (ABitmap->Width() / AWidth) * (ABitmap->Height() / AHeight));
}

bool ImageListsEqual(const TImageList* AList1, const TImageList* AList2)
{
    if (AList1 == nullptr || AList2 == nullptr)
        return AList1 == AList2;
    if (AList1->Count() != AList2->Count() || AList1->Width() != AList2->Width() ||
        AList1->Height() != AList2->Height())
        return false;
    for (int i = 0; i < AList1->Count(); ++i)
        if (AList1->ImageAt(i) != AList2->ImageAt(i))
            return false;
    return true;
}

// ---------------------------------------------------------------- image information

TvlImageInfo::TvlImageInfo() : FImage(std::make_unique<TvlBitmap>()), FMask(std::make_unique<TvlBitmap>()) {}

TvlImageInfo::~TvlImageInfo() = default;

void TvlImageInfo::Assign(const TPersistent* Source)
{
    if (const auto* info = dynamic_cast<const TvlImageInfo*>(Source)) {
        SetImage(info->Image());
        SetMask(info->Mask());
        FMaskColor = info->FMaskColor;
        return;
    }
    TPersistent::Assign(Source);
}

void TvlImageInfo::SetImage(const TBitmap* Value)
{
    if (Value != FImage.get())
        FImage->Assign(Value);
}

void TvlImageInfo::SetMask(const TBitmap* Value)
{
    if (Value != FMask.get())
        FMask->Assign(Value);
}

TvlImageInfoItem::TvlImageInfoItem(TCollection* Collection)
    : TCollectionItem(Collection), FImageInfo(std::make_unique<TvlImageInfo>())
{
    if (auto* c = dynamic_cast<TvlImageInfoCollection*>(Collection))
        SetCompressData(c->CompressData());
}

TvlImageInfoItem::TvlImageInfoItem(TCollection* Collection, const TBitmap* AImage, const TBitmap* AMask,
                                   TColor AMaskColor)
    : TvlImageInfoItem(Collection)
{
    FImageInfo->SetImage(AImage);
    FImageInfo->SetMask(AMask);
    FImageInfo->SetMaskColor(AMaskColor);
}

const TClassInfo& TvlImageInfoItem::StaticClassInfo()
{
    static const TClassInfo info =
        TClassInfoBuilder<TvlImageInfoItem>("TvlImageInfoItem", &TCollectionItem::StaticClassInfo())
            .Object("Image", &TvlImageInfoItem::Image, &TvlImageInfoItem::SetImage)
            .Object("Mask", &TvlImageInfoItem::Mask, &TvlImageInfoItem::SetMask)
            .Int("MaskColor", &TvlImageInfoItem::MaskColor, &TvlImageInfoItem::SetMaskColor)
            .Build();
    return info;
}

void TvlImageInfoItem::Assign(const TPersistent* Source)
{
    if (const auto* item = dynamic_cast<const TvlImageInfoItem*>(Source)) {
        FImageInfo->Assign(item->ImageInfo());
        return;
    }
    TCollectionItem::Assign(Source);
}

bool TvlImageInfoItem::CompressData() const { return Image()->CompressData() && Mask()->CompressData(); }

void TvlImageInfoItem::SetCompressData(bool Value)
{
    Image()->SetCompressData(Value);
    Mask()->SetCompressData(Value);
}

TvlImageInfoCollection::TvlImageInfoCollection(TPersistent* AOwner)
    : TOwnedCollection(AOwner, ItemClassOf<TvlImageInfoItem>())
{
}

void TvlImageInfoCollection::SetCompressData(bool Value)
{
    FCompressData = Value;
    for (int i = 0; i < Count(); ++i)
        Items(i)->SetCompressData(Value);
}

TvlImageInfoItem* TvlImageInfoCollection::AddImageInfo(const TBitmap* AImage, const TBitmap* AMask,
                                                       TColor AMaskColor)
{
    auto* item = static_cast<TvlImageInfoItem*>(Add());
    item->ImageInfo()->SetImage(AImage);
    item->ImageInfo()->SetMask(AMask);
    item->SetMaskColor(AMaskColor);
    return item;
}

void TvlImageInfoCollection::MoveImageInfo(int ACurIndex, int ANewIndex) { Items(ACurIndex)->SetIndex(ANewIndex); }

void TvlImageInfoCollection::DeleteImageInfo(int AIndex)
{
    if (AIndex == -1)
        TCollection::Clear();
    else
        Delete(AIndex);
}

// ---------------------------------------------------------------- image list

TvlImageList::TvlImageList(TComponent* AOwner)
    : TImageList(AOwner), FImageInfo(std::make_unique<TvlImageInfoCollection>(this))
{
}

TvlImageList::~TvlImageList() = default;

const TClassInfo& TvlImageList::StaticClassInfo()
{
    static const TClassInfo info =
        TClassInfoBuilder<TvlImageList>("TvlImageList", &TComponent::StaticClassInfo())
            .Bool("CompressData", &TvlImageList::CompressData, &TvlImageList::SetCompressData, false)
            .Int("FormatVersion", &TvlImageList::FormatVersion, &TvlImageList::SetFormatVersion)
            .Binary("ImageInfo", &TvlImageList::ImageInfoData, &TvlImageList::SetImageInfoData)
            .Stored([](const TvlImageList& L) { return L.Count() > 0; })
            .Build();
    return info;
}

void TvlImageList::EndUpdate(bool AFireChange)
{
    if (FLockCount <= 0)
        return;
    --FLockCount;
    if (AFireChange)
        Change();
}

void TvlImageList::Change()
{
    if (FLockCount == 0)
        TImageList::Change();
}

void TvlImageList::recordImage(const TBitmap* AImage, const TBitmap* AMask, TColor AMaskColor)
{
    if (FSynchronizing || AImage == nullptr)
        return;
    const bool hasMask = AMask != nullptr && !AMask->Empty();
    const int w = Width(), h = Height();
    const bool strip = AImage->Width() % w == 0 && AImage->Height() % h == 0 &&
                       !(AImage->Width() == w && AImage->Height() == h);
    if (!strip) {
        FImageInfo->AddImageInfo(AImage, hasMask ? AMask : nullptr, AMaskColor);
        return;
    }
    // Cells row by row, left to right, in the source's own pixel format.
    TvlBitmap source, mask;
    source.Assign(AImage);
    if (hasMask)
        mask.Assign(AMask);
    for (int y = 0; y + h <= AImage->Height(); y += h)
        for (int x = 0; x + w <= AImage->Width(); x += w) {
            TvlBitmap cell(w, h, AImage->PixelFormat());
            BitBlt(cell.Canvas()->Handle(), 0, 0, w, h, source.Canvas()->Handle(), x, y, SRCCOPY);
            TvlBitmap maskCell(hasMask ? w : 0, hasMask ? h : 0, hasMask ? AMask->PixelFormat() : pf24bit);
            if (hasMask)
                BitBlt(maskCell.Canvas()->Handle(), 0, 0, w, h, mask.Canvas()->Handle(), x, y, SRCCOPY);
            FImageInfo->AddImageInfo(&cell, hasMask ? &maskCell : nullptr, AMaskColor);
        }
}

int TvlImageList::Add(const TBitmap* Image, const TBitmap* Mask)
{
    const int index = TImageList::Add(Image, Mask);
    if (index >= 0)
        recordImage(Image, Mask, clNone);
    return index;
}

int TvlImageList::AddMasked(const TBitmap* Image, TColor MaskColor)
{
    BeginUpdate();
    int index;
    try {
        if (MaskColor == clNone) {
            index = Add(Image, nullptr);
        } else {
            index = TImageList::AddMasked(Image, ColorToRGB(MaskColor));
            if (index >= 0)
                recordImage(Image, nullptr, MaskColor);
        }
    } catch (...) {
        EndUpdate(false);
        throw;
    }
    EndUpdate();
    return index;
}

void TvlImageList::Insert(int Index, const TBitmap* Image, const TBitmap* Mask)
{
    if (Index < 0 || Index > Count())
        return;
    BeginUpdate();
    const int before = Count();
    Add(Image, Mask);
    for (int k = 0; k < Count() - before; ++k)
        Move(before + k, Index + k);
    EndUpdate();
}

void TvlImageList::Replace(int Index, const TBitmap* Image, const TBitmap* Mask)
{
    BeginUpdate();
    Delete(Index);
    Insert(Index, Image, Mask);
    EndUpdate();
}

void TvlImageList::Move(int CurIndex, int NewIndex)
{
    if (CurIndex == NewIndex)
        return;
    BeginUpdate();
    // The platform list moves by neighbouring swaps as the system's did.
    TImageList::Move(CurIndex, NewIndex);
    if (CurIndex < FImageInfo->Count() && NewIndex < FImageInfo->Count())
        FImageInfo->MoveImageInfo(CurIndex, NewIndex);
    EndUpdate();
}

void TvlImageList::Delete(int Index)
{
    BeginUpdate();
    if (Index == -1)
        TImageList::Clear();
    else
        TImageList::Delete(Index);
    if (Index < FImageInfo->Count())
        FImageInfo->DeleteImageInfo(Index);
    EndUpdate();
}

void TvlImageList::GetItemImageInfo(int Index, TBitmap* AImage, TBitmap* AMask)
{
    if (Index < 0 || Index >= Count())
        return;
    if (Index >= FImageInfo->Count() || GetBitmapBitCount(FImageInfo->Items(Index)->Image()) != 32) {
        GetImageInfo(this, Index, AImage, AMask);
        return;
    }
    TvlImageInfoItem* item = FImageInfo->Items(Index);
    auto copy = [](TBitmap* ADest, TBitmap* ASource) {
        if (ADest == nullptr || ASource->Empty())
            return;
        ADest->SetSize(ASource->Width(), ASource->Height());
        CopyBitmapPixels(ADest, ASource);
    };
    copy(AImage, item->Image());
    copy(AMask, item->Mask());
}

void TvlImageList::GetImageInfo(const TImageList* AHandle, int AIndex, TBitmap* AImage, TBitmap* AMask)
{
    if (AHandle == nullptr)
        return;
    TBitmap image, mask;
    if (!AHandle->GetImageInfo(AIndex, AImage != nullptr ? &image : nullptr, AMask != nullptr ? &mask : nullptr))
        return;
    // Copied by pixels, so bitmaps that keep a depth of their own keep it.
    auto copy = [AIndex](TBitmap* ADest, TBitmap& ASource) {
        if (ADest == nullptr)
            return;
        if (AIndex == -1) {  // the whole strip, as the list keeps it
            ADest->Assign(&ASource);
            return;
        }
        ADest->SetSize(ASource.Width(), ASource.Height());
        BitBlt(ADest->Canvas()->Handle(), 0, 0, ASource.Width(), ASource.Height(), ASource.Canvas()->Handle(), 0, 0,
               SRCCOPY);
    };
    copy(AImage, image);
    copy(AMask, mask);
}

int TvlImageList::GetHandleBitCount(const TImageList* AHandle) { return AHandle != nullptr ? AHandle->BitCount() : 0; }

void TvlImageList::Assign(const TPersistent* Source)
{
    const auto* other = dynamic_cast<const TImageList*>(Source);
    if (other == nullptr || other == this)
        return;
    BeginUpdate();
    TImageList::Assign(Source);
    Clear();
    if (const auto* list = dynamic_cast<const TvlImageList*>(other)) {
        for (int i = 0; i < list->Count(); ++i) {
            if (i >= list->FImageInfo->Count()) {
                AddMasked(nullptr, clNone);
                continue;
            }
            TvlImageInfoItem* item = list->FImageInfo->Items(i);
            if (!item->Mask()->Empty())
                Add(item->Image(), item->Mask());
            else
                AddMasked(item->Image(), item->MaskColor());
        }
    } else {
        for (int i = 0; i < other->Count(); ++i) {
            TvlBitmap32 image(Width(), Height(), true);
            TvlBitmap mask(Width(), Height(), pf1bit);
            GetImageInfo(other, i, &image, &mask);
            Add(&image, &mask);
        }
    }
    EndUpdate();
}

void TvlImageList::DoDraw(int Index, TCanvas* Canvas, int X, int Y, TDrawingStyle, bool Enabled) const
{
    const TRect r = Bounds(X, Y, Width(), Height());
    DrawImage(Canvas->Handle(), r, r, nullptr, const_cast<TvlImageList*>(this), Index,
              Enabled ? idmNormal : idmDisabled, false, nullptr, clNone, true);
}

// ---------------------------------------------------------------- stored form

QByteArray TvlImageList::ImageInfoData() const
{
    TMemoryStream stream;
    stream.WriteInteger(FImageInfo->Count());
    for (int i = 0; i < FImageInfo->Count(); ++i) {
        TvlImageInfoItem* item = FImageInfo->Items(i);
        item->Image()->WriteData(&stream);
        item->Mask()->WriteData(&stream);
        stream.WriteInteger(item->MaskColor());
    }
    return QByteArray(static_cast<const char*>(stream.Memory()), qsizetype(stream.Size()));
}

void TvlImageList::SetImageInfoData(const QByteArray& Value)
{
    TMemoryStream stream;
    stream.WriteBuffer(Value.constData(), Value.size());
    stream.SetPosition(0);
    auto bad = [] { throw EInvalidGraphic(LoadResString(GraphicsConsts::SInvalidBitmap)); };
    if (stream.Size() < 4)
        bad();
    const int32_t count = stream.ReadInteger();
    // Each item takes at least 12 bytes: two empty bitmaps and a colour.
    if (count < 0 || int64_t(count) * 12 > stream.Size() - stream.Position())
        bad();
    TvlImageInfoCollection read(this);
    read.SetCompressData(CompressData());
    for (int i = 0; i < count; ++i) {
        auto* item = static_cast<TvlImageInfoItem*>(read.Add());
        item->Image()->ReadData(&stream);
        item->Mask()->ReadData(&stream);
        if (stream.Size() - stream.Position() < 4)
            bad();
        item->SetMaskColor(stream.ReadInteger());
    }
    FImageInfo->BeginUpdate();
    FImageInfo->Assign(&read);
    FImageInfo->SetCompressData(read.CompressData());
    FImageInfo->EndUpdate();
    rebuildFromImageInfo();
}

void TvlImageList::rebuildFromImageInfo()
{
    BeginUpdate();
    FSynchronizing = true;
    try {
        TImageList::Clear();
        for (int i = 0; i < FImageInfo->Count(); ++i) {
            TvlImageInfoItem* item = FImageInfo->Items(i);
            if (!item->Mask()->Empty())
                TImageList::Add(item->Image(), item->Mask());
            else if (item->MaskColor() == clNone)
                TImageList::Add(item->Image(), nullptr);
            else
                TImageList::AddMasked(item->Image(), ColorToRGB(item->MaskColor()));
        }
    } catch (...) {
        FSynchronizing = false;
        EndUpdate(false);
        throw;
    }
    FSynchronizing = false;
    EndUpdate();
}
