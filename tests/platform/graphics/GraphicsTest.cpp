#include <QFontMetrics>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Graphics.h"
#include "platform/graphics/PngImage.h"

namespace {

struct ChangeCounter : TObject {
    int Count = 0;
    void Changed(TObject*) { ++Count; }
};

TEST(GraphicsTest, FontSizeAndHeightAreTiedAt96Dpi)
{
    struct Case {
        int Size;
        int Height;
    };
    const Case cases[] = {{8, -11}, {9, -12}, {10, -13}, {12, -16}, {18, -24}};
    for (const Case& c : cases) {
        TFont f;
        f.SetSize(c.Size);
        EXPECT_EQ(f.Height(), c.Height) << c.Size;
        f.SetHeight(c.Height);
        EXPECT_EQ(f.Size(), c.Size) << c.Size;
        EXPECT_EQ(f.QtFont().pixelSize(), -c.Height) << c.Size;
    }
    // A positive height is the cell: ascent plus descent.
    TFont cell;
    cell.SetHeight(20);
    EXPECT_NEAR(QFontMetrics(cell.QtFont()).height(), 20, 1);
}

TEST(GraphicsTest, FontDefaultsAndQtFontFollowTheProperties)
{
    TFont f;
    EXPECT_EQ(f.Height(), -11);
    EXPECT_EQ(f.Color(), clWindowText);
    EXPECT_EQ(f.Name(), QStringLiteral("DejaVu Sans"));
    EXPECT_EQ(f.QtFont().styleStrategy() & QFont::NoAntialias, QFont::NoAntialias);
    f.SetStyle(TFontStyles{fsBold, fsUnderline});
    const QFont q = f.QtFont();
    EXPECT_TRUE(q.bold());
    EXPECT_TRUE(q.underline());
    EXPECT_FALSE(q.italic());
    f.SetQuality(fqAntialiased);
    EXPECT_EQ(f.QtFont().styleStrategy() & QFont::NoAntialias, 0);
}

TEST(GraphicsTest, ChangeEventsFireOncePerRealChange)
{
    ChangeCounter counter;
    TFont font;
    font.OnChange = TNotifyEvent(&counter, &ChangeCounter::Changed);
    font.SetSize(8);  // already -11
    EXPECT_EQ(counter.Count, 0);
    font.SetHeight(-20);
    font.SetName(QStringLiteral("DejaVu Sans Mono"));
    font.SetStyle(TFontStyles{fsItalic});
    font.SetColor(clRed);
    font.SetColor(clRed);
    EXPECT_EQ(counter.Count, 4);
    TFont other;
    other.SetHeight(-30);
    font.Assign(&other);
    EXPECT_EQ(counter.Count, 5);
    EXPECT_EQ(font.Height(), -30);
    EXPECT_EQ(font.Color(), clWindowText);

    ChangeCounter brushCount;
    TBrush brush;
    brush.OnChange = TNotifyEvent(&brushCount, &ChangeCounter::Changed);
    brush.SetStyle(bsClear);
    brush.SetColor(clWhite);  // same colour, yet it makes the brush solid again
    EXPECT_EQ(brush.Style(), bsSolid);
    EXPECT_EQ(brushCount.Count, 2);

    ChangeCounter penCount;
    TPen pen;
    pen.OnChange = TNotifyEvent(&penCount, &ChangeCounter::Changed);
    pen.SetWidth(0);  // stored as 1: no change
    EXPECT_EQ(pen.Width(), 1);
    pen.SetMode(pmXor);
    EXPECT_EQ(penCount.Count, 1);
}

TEST(GraphicsTest, FontPropertiesAreReachableByName)
{
    TFont f;
    const TPropInfo* size = TFont::StaticClassInfo().FindProp(QStringLiteral("size"));
    ASSERT_NE(size, nullptr);
    size->Setter(&f, TPropValue(int64_t(10)));
    EXPECT_EQ(f.Height(), -13);
    const TPropInfo* style = TFont::StaticClassInfo().FindProp(QStringLiteral("Style"));
    ASSERT_NE(style, nullptr);
    style->Setter(&f, TPropValue(int64_t(TFontStyles{fsBold}.Bits())));
    EXPECT_TRUE(f.Style().Contains(fsBold));
}

TEST(GraphicsTest, HandlesDescribeTheirObjectAsItIsAndNameNothingOnceItHasGone)
{
    LOGFONTW lf;
    {
        TFont font;
        font.SetName(QStringLiteral("A face name longer than thirty-one characters"));
        font.SetHeight(-13);
        font.SetStyle({fsBold, fsUnderline});
        font.SetOrientation(900);
        font.SetPitch(fpFixed);
        font.SetCharset(204);
        const HFONT handle = font.Handle();
        EXPECT_EQ(font.Handle(), handle);  // one handle for the object's life
        ASSERT_TRUE(GetObject(handle, lf));
        EXPECT_EQ(lf.lfHeight, -13);
        EXPECT_EQ(lf.lfWeight, FW_BOLD);
        EXPECT_EQ(lf.lfItalic, 0);
        EXPECT_EQ(lf.lfUnderline, 1);
        EXPECT_EQ(lf.lfEscapement, 900);
        EXPECT_EQ(lf.lfCharSet, 204);
        EXPECT_EQ(lf.lfPitchAndFamily, FIXED_PITCH);
        EXPECT_EQ(String::fromUtf16(lf.lfFaceName), QStringLiteral("A face name longer than thirty-"));
        font.SetStyle({});
        ASSERT_TRUE(GetObject(handle, lf));  // read when asked, not when made
        EXPECT_EQ(lf.lfWeight, FW_NORMAL);
        // A handle of one kind names nothing of another.
        LOGPEN lp;
        lp.lopnColor = 0x123456;
        EXPECT_FALSE(GetObject(reinterpret_cast<HPEN>(handle), lp));
        EXPECT_EQ(lp.lopnColor, TColor(0x123456));
        // The font goes; its handle names nothing and the record stays.
        lf.lfHeight = 77;
        std::unique_ptr<TFont> gone = std::make_unique<TFont>();
        const HFONT stale = gone->Handle();
        gone.reset();
        EXPECT_FALSE(GetObject(stale, lf));
        EXPECT_EQ(lf.lfHeight, 77);
    }

    TPen pen;
    pen.SetColor(clBtnFace);
    pen.SetWidth(3);
    pen.SetStyle(psDashDot);
    LOGPEN lp;
    ASSERT_TRUE(GetObject(pen.Handle(), lp));
    EXPECT_EQ(lp.lopnStyle, PS_DASHDOT);
    EXPECT_EQ(lp.lopnWidth.X, 3);
    EXPECT_EQ(lp.lopnColor, ColorToRGB(clBtnFace));

    const struct {
        TBrushStyle style;
        uint32_t lbStyle;
        uintptr_t hatch;
    } brushes[] = {
        {bsSolid, BS_SOLID, 0}, {bsClear, BS_NULL, 0}, {bsHorizontal, BS_HATCHED, HS_HORIZONTAL},
        {bsFDiagonal, BS_HATCHED, HS_FDIAGONAL}, {bsDiagCross, BS_HATCHED, HS_DIAGCROSS},
    };
    for (const auto& c : brushes) {
        TBrush brush;
        brush.SetColor(clRed);
        brush.SetStyle(c.style);
        LOGBRUSH lb;
        ASSERT_TRUE(GetObject(brush.Handle(), lb));
        EXPECT_EQ(lb.lbStyle, c.lbStyle) << c.style;
        EXPECT_EQ(lb.lbHatch, c.hatch) << c.style;
        EXPECT_EQ(lb.lbColor, TColor(0x0000FF));
    }
    TBrush patterned;
    TBitmap tile;
    tile.SetSize(8, 8);
    patterned.SetBitmap(&tile);
    LOGBRUSH lb;
    ASSERT_TRUE(GetObject(patterned.Handle(), lb));
    EXPECT_EQ(lb.lbStyle, BS_PATTERN);
}

TEST(GraphicsTest, CanvasWithoutHandleRefusesToDraw)
{
    TCanvas canvas;
    EXPECT_FALSE(canvas.HandleAllocated());
    EXPECT_THROW(canvas.FillRect(Rect(0, 0, 1, 1)), EInvalidOperation);
}

TEST(GraphicsTest, CanvasDrawsWithItsObjectsOnAnAttachedContext)
{
    QImage image(60, 30, QImage::Format_RGB32);
    image.fill(Qt::white);
    TDeviceContext dc(&image);
    TCanvas canvas;
    canvas.SetHandle(&dc);
    canvas.Brush()->SetColor(clYellow);
    canvas.Pen()->SetColor(clBlue);
    canvas.Rectangle(0, 0, 10, 10);
    EXPECT_EQ(image.pixel(0, 0), qRgb(0, 0, 255));
    EXPECT_EQ(image.pixel(5, 5), qRgb(255, 255, 0));
    EXPECT_EQ(image.pixel(10, 10), qRgb(255, 255, 255));
    EXPECT_EQ(canvas.Pixels(5, 5), clYellow);

    // Text is drawn in the font colour over the brush, or over nothing.
    canvas.Font()->SetColor(clRed);
    canvas.Brush()->SetColor(clLime);
    canvas.TextOut(20, 0, QStringLiteral("M"));
    EXPECT_EQ(canvas.Pixels(20, 0), clLime);
    const TSize ext = canvas.TextExtent(QStringLiteral("M"));
    bool red = false;
    for (int y = 0; y < ext.cy; ++y)
        for (int x = 20; x < 20 + ext.cx; ++x)
            red = red || canvas.Pixels(x, y) == clRed;
    EXPECT_TRUE(red);
    canvas.Brush()->SetStyle(bsClear);
    canvas.TextOut(40, 0, QStringLiteral("M"));
    EXPECT_EQ(canvas.Pixels(40, 0), clWhite);

    TRect clip = canvas.ClipRect();
    EXPECT_EQ(clip, Rect(0, 0, 60, 30));
    canvas.SetHandle(nullptr);
    EXPECT_FALSE(canvas.HandleAllocated());
}

TEST(GraphicsTest, CanvasLockIsRecursive)
{
    TCanvas canvas;
    canvas.Lock();
    canvas.Lock();
    EXPECT_EQ(canvas.LockCount(), 2);
    EXPECT_TRUE(canvas.TryLock());
    canvas.Unlock();
    canvas.Unlock();
    canvas.Unlock();
    EXPECT_EQ(canvas.LockCount(), 0);
}

TEST(GraphicsTest, BitmapCanvasDrawsOnTheBitmapAcrossResizes)
{
    TBitmap bitmap;
    bitmap.SetSize(10, 10);
    bitmap.Canvas()->Brush()->SetColor(clRed);
    bitmap.Canvas()->FillRect(Rect(0, 0, 5, 5));
    EXPECT_EQ(bitmap.Pixels(4, 4), clRed);
    EXPECT_EQ(bitmap.Pixels(5, 5), clWhite);
    bitmap.SetSize(20, 20);
    bitmap.Canvas()->FillRect(Rect(15, 15, 20, 20));
    EXPECT_EQ(bitmap.Pixels(19, 19), clRed);
    EXPECT_EQ(bitmap.Pixels(4, 4), clRed);
}

TEST(GraphicsTest, TransparentBitmapLeavesItsTransparentColourOut)
{
    TBitmap sprite;
    sprite.SetSize(4, 4);
    sprite.Canvas()->Brush()->SetColor(clFuchsia);
    sprite.Canvas()->FillRect(Rect(0, 0, 4, 4));
    sprite.SetPixels(1, 1, clBlue);
    EXPECT_EQ(sprite.TransparentColor(), clFuchsia);  // bottom-left pixel
    sprite.SetTransparent(true);

    TBitmap target;
    target.SetSize(8, 8);
    target.Canvas()->Brush()->SetColor(clLime);
    target.Canvas()->FillRect(Rect(0, 0, 8, 8));
    target.Canvas()->Draw(2, 2, &sprite);
    EXPECT_EQ(target.Pixels(3, 3), clBlue);
    EXPECT_EQ(target.Pixels(2, 2), clLime);
    EXPECT_EQ(target.Pixels(5, 5), clLime);

    // Opaque again: every pixel is copied.
    sprite.SetTransparent(false);
    target.Canvas()->Draw(2, 2, &sprite);
    EXPECT_EQ(target.Pixels(2, 2), clFuchsia);

    // A fixed transparent colour.
    sprite.SetTransparentColor(clBlue);
    EXPECT_EQ(sprite.TransparentMode(), tmFixed);
    sprite.SetTransparent(true);
    target.Canvas()->FillRect(Rect(0, 0, 8, 8));
    target.Canvas()->StretchDraw(Rect(0, 0, 8, 8), &sprite);
    EXPECT_EQ(target.Pixels(0, 0), clFuchsia);
    EXPECT_EQ(target.Pixels(2, 2), clLime);  // the stretched blue pixel
}

TEST(GraphicsTest, CopyRectUsesTheCopyMode)
{
    TBitmap a;
    a.SetSize(4, 4);
    a.Canvas()->Brush()->SetColor(RGB(0x0F, 0x0F, 0x0F));
    a.Canvas()->FillRect(Rect(0, 0, 4, 4));
    TBitmap b;
    b.SetSize(4, 4);
    b.Canvas()->Brush()->SetColor(RGB(0xF0, 0x00, 0x00));
    b.Canvas()->FillRect(Rect(0, 0, 4, 4));
    b.Canvas()->SetCopyMode(cmSrcPaint);
    b.Canvas()->CopyRect(Rect(0, 0, 2, 2), a.Canvas(), Rect(0, 0, 2, 2));
    EXPECT_EQ(b.Pixels(0, 0), RGB(0xFF, 0x0F, 0x0F));
    EXPECT_EQ(b.Pixels(3, 3), RGB(0xF0, 0x00, 0x00));
}

TEST(GraphicsTest, PictureLoadsAndSavesBmpAndPngByExtension)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    TBitmap source;
    source.SetPixelFormat(pf24bit);
    source.SetSize(6, 3);
    source.SetPixels(0, 0, clRed);
    source.SetPixels(5, 2, clBlue);

    TPicture picture;
    picture.SetGraphic(&source);
    const String bmp = dir.filePath(QStringLiteral("a.bmp"));
    picture.SaveToFile(bmp);
    TPicture loaded;
    loaded.LoadFromFile(bmp);
    ASSERT_NE(dynamic_cast<TBitmap*>(loaded.Graphic()), nullptr);
    EXPECT_EQ(loaded.Width(), 6);
    EXPECT_EQ(loaded.Bitmap()->PixelFormat(), pf24bit);
    EXPECT_EQ(loaded.Bitmap()->Pixels(0, 0), clRed);
    EXPECT_EQ(loaded.Bitmap()->Pixels(5, 2), clBlue);

    // PNG keeps alpha; the extension picks the class, case-insensitively.
    QImage alpha(3, 2, QImage::Format_ARGB32);
    alpha.fill(qRgba(0, 255, 0, 255));
    alpha.setPixel(1, 1, qRgba(0, 0, 0, 0));
    TPngImage png;
    png.SetImage(alpha);
    const String pngFile = dir.filePath(QStringLiteral("b.PNG"));
    png.SaveToFile(pngFile);
    TPicture p2;
    p2.LoadFromFile(pngFile);
    auto* reread = dynamic_cast<TPngImage*>(p2.Graphic());
    ASSERT_NE(reread, nullptr);
    EXPECT_TRUE(reread->Transparent());
    EXPECT_EQ(qAlpha(reread->ToImage().pixel(1, 1)), 0);
    EXPECT_EQ(reread->ToImage().pixel(0, 0), qRgba(0, 255, 0, 255));

    // Asking for a bitmap converts, keeping the pixels.
    TBitmap* asBitmap = p2.Bitmap();
    EXPECT_EQ(asBitmap->Width(), 3);
    EXPECT_EQ(asBitmap->Pixels(0, 0), clLime);

    try {
        loaded.LoadFromFile(dir.filePath(QStringLiteral("c.xyz")));
        FAIL() << "no exception";
    } catch (const EInvalidGraphic& e) {
        EXPECT_EQ(e.Message(), QStringLiteral("Unknown picture file extension (.xyz)"));
    }
    EXPECT_EQ(loaded.Width(), 6);  // unchanged by the failed load
}

TEST(GraphicsTest, PictureStreamsRecogniseTheFormatAndStopAtItsEnd)
{
    TBitmap bmp;
    bmp.SetSize(2, 2);
    bmp.SetPixels(1, 1, clNavy);
    TPngImage png;
    png.Assign(&bmp);

    TMemoryStream stream;
    bmp.SaveToStream(&stream);
    png.SaveToStream(&stream);
    stream.WriteByte(0x42);  // trailing data that belongs to someone else
    stream.SetPosition(0);

    TPicture picture;
    picture.LoadFromStream(&stream);
    ASSERT_NE(dynamic_cast<TBitmap*>(picture.Graphic()), nullptr);
    EXPECT_EQ(picture.Bitmap()->Pixels(1, 1), clNavy);
    picture.LoadFromStream(&stream);
    ASSERT_NE(dynamic_cast<TPngImage*>(picture.Graphic()), nullptr);
    EXPECT_EQ(picture.Bitmap()->Pixels(1, 1), clNavy);
    EXPECT_EQ(stream.ReadByte(), 0x42);

    TMemoryStream junk;
    junk.WriteAnsiString("hello, world");
    junk.SetPosition(0);
    EXPECT_THROW(picture.LoadFromStream(&junk), EInvalidGraphic);
}

TEST(GraphicsTest, PictureNotifiesWhenItsGraphicChanges)
{
    ChangeCounter counter;
    TPicture picture;
    picture.OnChange = TNotifyEvent(&counter, &ChangeCounter::Changed);
    TBitmap bmp;
    bmp.SetSize(2, 2);
    picture.SetGraphic(&bmp);
    EXPECT_EQ(counter.Count, 1);
    picture.Bitmap()->SetTransparent(true);
    EXPECT_EQ(counter.Count, 2);
    picture.Assign(nullptr);
    EXPECT_EQ(picture.Graphic(), nullptr);
    EXPECT_EQ(counter.Count, 3);
}

// A small scene rendered, stored as PNG and read back: what must be where.
TEST(GraphicsTest, RenderedSceneSurvivesAPngRoundTrip)
{
    TBitmap scene;
    scene.SetSize(100, 40);
    TCanvas* c = scene.Canvas();
    c->Brush()->SetColor(clBtnFace);
    c->FillRect(Rect(0, 0, 100, 40));
    c->Brush()->SetStyle(bsClear);
    c->Font()->SetColor(clBlack);
    TRect r = Rect(0, 0, 100, 40);
    c->TextRect(r, QStringLiteral("OK"), DT_CENTER | DT_VCENTER | DT_SINGLELINE);

    TPngImage png;
    png.Assign(&scene);
    TMemoryStream stream;
    png.SaveToStream(&stream);
    stream.SetPosition(0);
    TPngImage back;
    back.LoadFromStream(&stream);
    const QImage image = back.ToImage();
    ASSERT_EQ(image.size(), QSize(100, 40));
    int minX = 100, maxX = -1, minY = 40, maxY = -1;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 100; ++x)
            if (qGray(image.pixel(x, y)) < 64) {
                minX = std::min(minX, x);
                maxX = std::max(maxX, x);
                minY = std::min(minY, y);
                maxY = std::max(maxY, y);
            }
    ASSERT_GE(maxX, 0);
    EXPECT_NEAR((minX + maxX + 1) / 2, 50, 2);
    EXPECT_NEAR((minY + maxY + 1) / 2, 20, 3);
    const TColor face = ColorToRGB(clBtnFace);
    EXPECT_EQ(image.pixel(0, 0) | 0xFF000000, qRgb(GetRValue(face), GetGValue(face), GetBValue(face)));
}

// A chunk whose length runs past the stream is refused before any memory
// is taken for it.
TEST(GraphicsTest, PngChunkLongerThanTheStreamIsRefused)
{
    TMemoryStream s;
    s.WriteBuffer("\x89PNG\r\n\x1a\n\x7f\xff\xff\x00IHDRjjjj", 20);
    s.SetPosition(0);
    TPngImage png;
    EXPECT_THROW(png.LoadFromStream(&s), EInvalidGraphic);
}

}  // namespace

// An icon keeps one picture per size and draws the size nearest to the target.
TEST(GraphicsTest, IconPicksTheNearestSizeAndStreamsItsLargest)
{
    TIcon icon;
    int changes = 0;
    icon.OnChange = TNotifyEvent::FromFunction([&](TObject*) { ++changes; });
    EXPECT_TRUE(icon.Empty());
    EXPECT_TRUE(icon.ImageForSize(16, 16).isNull());
    QImage big(32, 32, QImage::Format_ARGB32);
    big.fill(0xFF0000FF);
    QImage small(16, 16, QImage::Format_ARGB32);
    small.fill(0xFFFF0000);
    icon.AddImage(big);
    icon.AddImage(small);
    icon.AddImage(small);  // the same size replaces
    EXPECT_EQ(changes, 3);
    EXPECT_EQ(icon.ImageCount(), 2);
    EXPECT_EQ(icon.Width(), 32);
    EXPECT_EQ(icon.ImageForSize(16, 16).pixel(3, 3), 0xFFFF0000u);
    EXPECT_EQ(icon.ImageForSize(24, 24).size(), QSize(24, 24));
    EXPECT_EQ(icon.ImageForSize(24, 24).pixel(12, 12), 0xFF0000FFu);  // from the larger one
    EXPECT_EQ(icon.ImageForSize(48, 48).pixel(1, 1), 0xFF0000FFu);
    EXPECT_THROW(icon.SetWidth(8), EInvalidGraphicOperation);

    TBitmap target;
    target.SetSize(16, 16);
    icon.Draw(target.Canvas(), Rect(0, 0, 16, 16));
    EXPECT_EQ(target.Canvas()->Pixels(8, 8), TColor(0x0000FF));  // the small, red picture

    TMemoryStream stream;
    icon.SaveToStream(&stream);
    stream.SetPosition(0);
    TIcon read;
    read.LoadFromStream(&stream);
    EXPECT_EQ(read.ImageCount(), 1);
    EXPECT_EQ(read.Width(), 32);
    TIcon copy;
    copy.Assign(&icon);
    EXPECT_EQ(copy.ImageCount(), 2);
    copy.Assign(nullptr);
    EXPECT_TRUE(copy.Empty());
}
