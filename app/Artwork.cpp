#include "app/Artwork.h"

#include <QPainter>
#include <QSvgRenderer>

#include "platform/controls/ExtCtrls.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/ImgList.h"

namespace {

QColor toQColor(TColor Color)
{
    const TColor rgb = ColorToRGB(Color);
    return QColor(GetRValue(rgb), GetGValue(rgb), GetBValue(rgb));
}

// Soft edges over the background; what is nearly transparent stays out.
QImage flatten(const QImage& Picture, const QColor& Background)
{
    QImage out(Picture.size(), QImage::Format_ARGB32);
    for (int y = 0; y < Picture.height(); ++y) {
        for (int x = 0; x < Picture.width(); ++x) {
            const QRgb p = Picture.pixel(x, y);
            const int a = qAlpha(p);
            if (a < 48) {
                out.setPixel(x, y, 0);
                continue;
            }
            const auto mix = [a](int c, int b) { return (c * a + b * (255 - a)) / 255; };
            out.setPixel(x, y, qRgb(mix(qRed(p), Background.red()), mix(qGreen(p), Background.green()),
                                    mix(qBlue(p), Background.blue())));
        }
    }
    return out;
}

}  // namespace

QImage RenderArtwork(const char* Name, int Width, int Height)
{
    QSvgRenderer renderer(QStringLiteral(":/artwork/%1.svg").arg(QString::fromLatin1(Name)));
    if (!renderer.isValid() || Width < 1 || Height < 1)
        return QImage();
    QImage image(Width, Height, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    renderer.render(&painter, QRectF(0, 0, Width, Height));
    painter.end();
    return image.convertToFormat(QImage::Format_ARGB32);
}

void AddArtwork(TImageList* List, std::initializer_list<const char*> Names, TColor Background)
{
    const QColor background = toQColor(Background);
    for (const char* name : Names) {
        const QImage picture = flatten(RenderArtwork(name, List->Width(), List->Height()), background);
        TBitmap image, mask;
        image.SetImage(picture.convertToFormat(QImage::Format_RGB32));
        QImage bits(picture.size(), QImage::Format_RGB32);
        for (int y = 0; y < picture.height(); ++y)
            for (int x = 0; x < picture.width(); ++x)
                bits.setPixel(x, y, qAlpha(picture.pixel(x, y)) != 0 ? qRgb(0, 0, 0) : qRgb(255, 255, 255));
        mask.SetImage(bits);
        List->Add(&image, &mask);
    }
}

void LoadArtwork(TImage* Image, const char* Name, TColor Background)
{
    QImage picture(Image->Width(), Image->Height(), QImage::Format_RGB32);
    picture.fill(toQColor(Background));
    QPainter painter(&picture);
    painter.drawImage(0, 0, RenderArtwork(Name, Image->Width(), Image->Height()));
    painter.end();
    TBitmap bitmap;
    bitmap.SetImage(picture);
    Image->Picture()->SetBitmap(&bitmap);
}

void LoadProgramIcon(TIcon* Icon)
{
    Icon->Clear();
    for (const int size : {16, 32, 48})
        Icon->AddImage(RenderArtwork("logo", size, size));
}
