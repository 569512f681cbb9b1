#include "platform/graphics/ImgList.h"

#include <QPainter>
#include <algorithm>

TImageList::TImageList(TComponent* AOwner) : TComponent(AOwner) {}

TImageList::~TImageList()
{
    for (TChangeLink* link : FChangeLinks)
        link->SetSender(nullptr);
}

void TImageList::Change()
{
    const std::vector<TChangeLink*> links = FChangeLinks;
    for (TChangeLink* link : links)
        link->Change();
    if (OnChange.Assigned())
        OnChange(this);
}

void TImageList::RegisterChanges(TChangeLink* Value)
{
    if (Value == nullptr)
        return;
    Value->SetSender(this);
    if (std::find(FChangeLinks.begin(), FChangeLinks.end(), Value) == FChangeLinks.end())
        FChangeLinks.push_back(Value);
}

void TImageList::UnRegisterChanges(TChangeLink* Value)
{
    std::erase(FChangeLinks, Value);
    if (Value != nullptr && Value->Sender() == this)
        Value->SetSender(nullptr);
}

TChangeLink::~TChangeLink()
{
    if (FSender != nullptr)
        FSender->UnRegisterChanges(this);
}

void TChangeLink::Change()
{
    if (OnChange.Assigned())
        OnChange(FSender);
}

void TImageList::Assign(const TPersistent* Source)
{
    if (const auto* other = dynamic_cast<const TImageList*>(Source)) {
        if (other == this)
            return;
        FWidth = other->FWidth;
        FHeight = other->FHeight;
        FMasked = other->FMasked;
        FBkColor = other->FBkColor;
        FDrawingStyle = other->FDrawingStyle;
        FImages = other->FImages;
        Change();
        return;
    }
    TComponent::Assign(Source);
}

void TImageList::SetWidth(int Value)
{
    if (Value < 1)
        throw EInvalidOperation(LoadResString(GraphicsConsts::SInvalidImageSize));
    if (Value == FWidth)
        return;
    FWidth = Value;
    FImages.clear();
    Change();
}

void TImageList::SetHeight(int Value)
{
    if (Value < 1)
        throw EInvalidOperation(LoadResString(GraphicsConsts::SInvalidImageSize));
    if (Value == FHeight)
        return;
    FHeight = Value;
    FImages.clear();
    Change();
}

void TImageList::SetMasked(bool Value)
{
    if (Value == FMasked)
        return;
    FMasked = Value;
    Change();
}

void TImageList::SetBkColor(TColor Value)
{
    if (Value == FBkColor)
        return;
    FBkColor = Value;
    Change();
}

void TImageList::SetDrawingStyle(TDrawingStyle Value)
{
    if (Value == FDrawingStyle)
        return;
    FDrawingStyle = Value;
    Change();
}

void TImageList::checkIndex(int Index, bool AllowEnd) const
{
    if (Index < 0 || Index > Count() || (!AllowEnd && Index == Count()))
        throw EInvalidOperation(LoadResString(GraphicsConsts::SImageIndexError));
}

std::vector<QImage> TImageList::split(const TBitmap* Image, const TBitmap* Mask, TColor MaskColor,
                                      bool UseColor) const
{
    std::vector<QImage> result;
    if (Image == nullptr || Image->Empty())
        return result;
    const QImage source = Image->Image().convertToFormat(QImage::Format_ARGB32);
    QImage mask;
    if (Mask != nullptr && !Mask->Empty())
        mask = Mask->Image().convertToFormat(QImage::Format_RGB32);
    TColor key = ColorToRGB(MaskColor);
    if (UseColor && MaskColor == clDefault)
        key = Image->Pixels(0, Image->Height() - 1);
    const QRgb keyRgb = qRgb(GetRValue(key), GetGValue(key), GetBValue(key)) & 0x00FFFFFF;
    const int count = std::max(1, source.width() / FWidth);
    for (int i = 0; i < count; ++i) {
        QImage cell(FWidth, FHeight, QImage::Format_ARGB32);
        cell.fill(Qt::transparent);
        for (int y = 0; y < std::min(FHeight, source.height()); ++y) {
            for (int x = 0; x < FWidth && i * FWidth + x < source.width(); ++x) {
                const int sx = i * FWidth + x;
                QRgb p = source.pixel(sx, y) | 0xFF000000;
                bool visible = true;
                if (UseColor)
                    visible = (p & 0x00FFFFFF) != keyRgb;
                else if (!mask.isNull())
                    visible = mask.valid(sx, y) && (mask.pixel(sx, y) & 0x00FFFFFF) == 0;
                cell.setPixel(x, y, visible ? p : (p & 0x00FFFFFF));
            }
        }
        result.push_back(std::move(cell));
    }
    return result;
}

int TImageList::Add(const TBitmap* Image, const TBitmap* Mask)
{
    std::vector<QImage> cells = split(Image, Mask, clNone, false);
    if (cells.empty())
        return -1;
    const int first = Count();
    FImages.insert(FImages.end(), cells.begin(), cells.end());
    Change();
    return first;
}

int TImageList::AddMasked(const TBitmap* Image, TColor MaskColor)
{
    std::vector<QImage> cells = split(Image, nullptr, MaskColor, true);
    if (cells.empty())
        return -1;
    const int first = Count();
    FImages.insert(FImages.end(), cells.begin(), cells.end());
    Change();
    return first;
}

void TImageList::AddImages(const TImageList* Value)
{
    if (Value == nullptr || Value->Count() == 0)
        return;
    for (const QImage& image : std::vector<QImage>(Value->FImages))
        FImages.push_back(image.scaled(FWidth, FHeight));
    Change();
}

void TImageList::Insert(int Index, const TBitmap* Image, const TBitmap* Mask)
{
    checkIndex(Index, true);
    std::vector<QImage> cells = split(Image, Mask, clNone, false);
    FImages.insert(FImages.begin() + Index, cells.begin(), cells.end());
    Change();
}

void TImageList::InsertMasked(int Index, const TBitmap* Image, TColor MaskColor)
{
    checkIndex(Index, true);
    std::vector<QImage> cells = split(Image, nullptr, MaskColor, true);
    FImages.insert(FImages.begin() + Index, cells.begin(), cells.end());
    Change();
}

void TImageList::Replace(int Index, const TBitmap* Image, const TBitmap* Mask)
{
    checkIndex(Index, false);
    std::vector<QImage> cells = split(Image, Mask, clNone, false);
    if (cells.empty())
        return;
    FImages[size_t(Index)] = cells.front();
    Change();
}

void TImageList::ReplaceMasked(int Index, const TBitmap* NewImage, TColor MaskColor)
{
    checkIndex(Index, false);
    std::vector<QImage> cells = split(NewImage, nullptr, MaskColor, true);
    if (cells.empty())
        return;
    FImages[size_t(Index)] = cells.front();
    Change();
}

void TImageList::Delete(int Index)
{
    checkIndex(Index, false);
    FImages.erase(FImages.begin() + Index);
    Change();
}

void TImageList::Move(int CurIndex, int NewIndex)
{
    checkIndex(CurIndex, false);
    checkIndex(NewIndex, false);
    if (CurIndex == NewIndex)
        return;
    QImage image = std::move(FImages[size_t(CurIndex)]);
    FImages.erase(FImages.begin() + CurIndex);
    FImages.insert(FImages.begin() + NewIndex, std::move(image));
    Change();
}

void TImageList::Clear()
{
    if (FImages.empty())
        return;
    FImages.clear();
    Change();
}

QImage TImageList::ImageAt(int Index) const
{
    if (Index < 0 || Index >= Count())
        return QImage();
    return FImages[size_t(Index)];
}

void TImageList::Draw(TCanvas* Canvas, int X, int Y, int Index, bool Enabled) const
{
    Draw(Canvas, X, Y, Index, FDrawingStyle, itImage, Enabled);
}

void TImageList::Draw(TCanvas* Canvas, int X, int Y, int Index, TDrawingStyle ADrawingStyle, TImageType AImageType,
                      bool Enabled) const
{
    if (Canvas == nullptr || Index < 0 || Index >= Count())
        return;
    if (AImageType == itImage)
        DoDraw(Index, Canvas, X, Y, ADrawingStyle, Enabled);
    else
        drawCell(Canvas, X, Y, Index, ADrawingStyle, AImageType, Enabled);
}

void TImageList::DoDraw(int Index, TCanvas* Canvas, int X, int Y, TDrawingStyle Style, bool Enabled) const
{
    drawCell(Canvas, X, Y, Index, Style, itImage, Enabled);
}

bool TImageList::GetImageInfo(int Index, TBitmap* Image, TBitmap* Mask) const
{
    if (Index < -1 || Index >= Count() || (Index == -1 && Count() == 0))
        return false;
    const int first = Index < 0 ? 0 : Index;
    const int count = Index < 0 ? Count() : 1;
    QImage colours(FWidth * count, FHeight, QImage::Format_RGB32);
    QImage mask(FWidth * count, FHeight, QImage::Format_RGB32);
    for (int i = 0; i < count; ++i) {
        const QImage& cell = FImages[size_t(first + i)];
        for (int y = 0; y < FHeight; ++y) {
            auto* c = reinterpret_cast<QRgb*>(colours.scanLine(y)) + i * FWidth;
            auto* m = reinterpret_cast<QRgb*>(mask.scanLine(y)) + i * FWidth;
            for (int x = 0; x < FWidth; ++x) {
                const QRgb p = cell.valid(x, y) ? cell.pixel(x, y) : 0;
                const bool drawn = qAlpha(p) != 0;
                c[x] = drawn ? (p & 0x00FFFFFFu) : 0;
                m[x] = drawn ? 0xFF000000u : 0xFFFFFFFFu;
            }
        }
    }
    if (Image != nullptr) {
        Image->SetPixelFormat(pf32bit);
        Image->SetImage(colours);
    }
    if (Mask != nullptr) {
        Mask->SetImage(mask);
        Mask->SetPixelFormat(pf1bit);
    }
    return true;
}

void TImageList::drawCell(TCanvas* Canvas, int X, int Y, int Index, TDrawingStyle ADrawingStyle,
                          TImageType AImageType, bool Enabled) const
{
    const QImage& cell = FImages[size_t(Index)];
    QImage image(cell.size(), QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    const bool useMask = FMasked;
    // dsTransparent ignores BkColor, as if it were clNone.
    const bool withBk = FBkColor != clNone && ADrawingStyle != dsTransparent;
    const TColor bkRgb = ColorToRGB(FBkColor);
    const QRgb bk = withBk ? qRgb(GetRValue(bkRgb), GetGValue(bkRgb), GetBValue(bkRgb)) : 0u;
    const TColor shadow = ColorToRGB(clBtnShadow), highlight = ColorToRGB(clBtnHighlight);
    for (int y = 0; y < cell.height(); ++y) {
        for (int x = 0; x < cell.width(); ++x) {
            const QRgb p = cell.pixel(x, y);
            const bool visible = qAlpha(p) != 0 || !useMask;
            QRgb out;
            if (AImageType == itMask)
                out = qAlpha(p) != 0 ? qRgb(0, 0, 0) : qRgb(255, 255, 255);
            else if (!visible)
                out = bk;
            else if (!Enabled)
                out = qGray(p) < 192 ? qRgb(GetRValue(shadow), GetGValue(shadow), GetBValue(shadow))
                                     : bk;
            else
                out = p | 0xFF000000;
            image.setPixel(x, y, out);
        }
    }
    if (!Enabled && AImageType == itImage) {
        // The embossed look: a highlight copy one pixel down-right under the shadow.
        QImage embossed(image.size(), QImage::Format_ARGB32);
        embossed.fill(Qt::transparent);
        const QRgb hl = qRgb(GetRValue(highlight), GetGValue(highlight), GetBValue(highlight));
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (x > 0 && y > 0 && qAlpha(cell.pixel(x - 1, y - 1)) != 0 && qGray(cell.pixel(x - 1, y - 1)) < 192)
                    embossed.setPixel(x, y, hl);
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (qAlpha(image.pixel(x, y)) != 0)
                    embossed.setPixel(x, y, image.pixel(x, y));
        image = embossed;
    }
    DrawImage(Canvas->Handle(), Bounds(X, Y, FWidth, FHeight), image);
}

bool TImageList::GetBitmap(int Index, TBitmap* Image) const
{
    if (Image == nullptr || Index < 0 || Index >= Count())
        return false;
    QImage out(FWidth, FHeight, QImage::Format_RGB32);
    out.fill(FBkColor == clNone ? QColor(Qt::black) : ColorToQColor(FBkColor));
    {
        QPainter p(&out);
        p.drawImage(0, 0, FImages[size_t(Index)]);
    }
    Image->SetImage(out);
    Image->SetPixelFormat(pf24bit);
    return true;
}

bool TImageList::GetMask(int Index, TBitmap* Mask) const
{
    if (Mask == nullptr || Index < 0 || Index >= Count())
        return false;
    QImage out(FWidth, FHeight, QImage::Format_RGB32);
    const QImage& cell = FImages[size_t(Index)];
    for (int y = 0; y < FHeight; ++y)
        for (int x = 0; x < FWidth; ++x)
            out.setPixel(x, y, qAlpha(cell.pixel(x, y)) != 0 ? qRgb(0, 0, 0) : qRgb(255, 255, 255));
    Mask->SetImage(out);
    Mask->SetPixelFormat(pf1bit);
    return true;
}
