#include "skin/SknForm.h"

#include <QRegion>
#include <algorithm>
#include <vector>

#include "platform/controls/Controls.h"
#include "platform/controls/Forms.h"
#include "platform/controls/Messages.h"
#include "platform/graphics/Bitmap.h"
#include "skin/SknData.h"
#include "skin/SknManage.h"

namespace {

struct Frame {
    int x = 0;
    int y = 0;
    int fw = 0;
    int fh = 0;
};

Frame frameOf(const TBitmap* bitmap, bool vertical, int count, int index)
{
    count = std::max(1, count);
    index = std::clamp(index, 1, count);
    Frame f;
    if (vertical) {
        f.fw = bitmap->Width();
        f.fh = bitmap->Height() / count;
        f.y = (index - 1) * f.fh;
    } else {
        f.fw = bitmap->Width() / count;
        f.fh = bitmap->Height();
        f.x = (index - 1) * f.fw;
    }
    return f;
}

bool drawable(const TRect& r, const TBitmap* bitmap)
{
    return r.Right >= r.Left && r.Bottom >= r.Top && bitmap != nullptr && !bitmap->Empty();
}

std::unique_ptr<TBitmap> newBitmap(int width, int height)
{
    auto bitmap = std::make_unique<TBitmap>();
    bitmap->SetPixelFormat(pf24bit);
    bitmap->SetSize(width, height);
    return bitmap;
}

// A stretching copy of a part of the source; parts with no pixels on
// either side are skipped.
void copyPart(TBitmap* dest, const TRect& to, TBitmap* source, const TRect& from)
{
    if (to.Width() <= 0 || to.Height() <= 0 || from.Width() <= 0 || from.Height() <= 0)
        return;
    dest->Canvas()->CopyRect(to, source->Canvas(), from);
}

// Outputs a composed image at R: through the key-colour mask or as a copy.
void output(HDC dc, const TRect& r, TBitmap* image, bool transparent)
{
    if (image == nullptr || image->Empty())
        return;
    if (transparent)
        DrawTransparentBitmap(dc, r, image, SkinKeyColor);
    else
        BitBlt(dc, r.Left, r.Top, image->Width(), image->Height(), image->Canvas()->Handle(), 0, 0, SRCCOPY);
}

std::unique_ptr<TBitmap>& workBitmap()
{
    static std::unique_ptr<TBitmap> bitmap;
    return bitmap;
}

}  // namespace

std::unique_ptr<TBitmap> BuildSkinImage(const TRect& R, TBitmap* Source, const TRect& Margins, bool Vertical,
                                        bool TileCentre, int FrameCount, int FrameIndex)
{
    auto result = std::make_unique<TBitmap>();
    result->SetPixelFormat(pf24bit);
    if (!drawable(R, Source))
        return result;
    const int W = R.Width();
    const int H = R.Height();
    result->SetSize(W, H);
    if (result->Empty())
        return result;
    const Frame f = frameOf(Source, Vertical, FrameCount, FrameIndex);
    int L = std::max(0, Margins.Left), T = std::max(0, Margins.Top);
    int Rm = std::max(0, Margins.Right), B = std::max(0, Margins.Bottom);
    if (L + Rm > W)
        L = Rm = 0;
    if (T + B > H)
        T = B = 0;
    const int fw = f.fw, fh = f.fh;
    auto src = [&f](int l, int t, int r, int b) { return TRect{f.x + l, f.y + t, f.x + r, f.y + b}; };
    TBitmap* out = result.get();

    if (L * T > 0)
        copyPart(out, {0, 0, L, T}, Source, src(0, 0, L, T));
    if (L * B > 0)
        copyPart(out, {0, H - B, L, H}, Source, src(0, fh - B, L, fh));
    if (Rm * T > 0)
        copyPart(out, {W - Rm, 0, W, T}, Source, src(fw - Rm, 0, fw, T));
    if (L > 0)
        copyPart(out, {0, T, L, H - B}, Source, src(0, T, L, fh - B));
    if (T > 0)
        copyPart(out, {L, 0, W - Rm, T}, Source, src(L, 0, fw - Rm, T));
    const TRect centre{L, T, W - Rm, H - B};
    if (TileCentre)
        TileSkinImage(out->Canvas(), centre, Source, src(L, T, fw - Rm, fh - B));
    else
        copyPart(out, centre, Source, src(L, T, fw - Rm, fh - B));
    // The right and bottom pieces go last: they cover centre tiles that ran past.
    if (Rm * B > 0)
        copyPart(out, {W - Rm, H - B, W, H}, Source, src(fw - Rm, fh - B, fw, fh));
    if (Rm > 0)
        copyPart(out, {W - Rm, T, W, H - B}, Source, src(fw - Rm, T, fw, fh - B));
    if (B > 0)
        copyPart(out, {L, H - B, W - Rm, H}, Source, src(L, fh - B, fw - Rm, fh));
    return result;
}

void DrawSkinImage(HDC DC, const TRect& R, TBitmap* Bitmap, const TRect& Margins, bool Vertical, bool TileCentre,
                   bool Transparent, int FrameCount, int FrameIndex)
{
    if (!drawable(R, Bitmap))
        return;
    const std::unique_ptr<TBitmap> image =
        BuildSkinImage(R, Bitmap, Margins, Vertical, TileCentre, FrameCount, FrameIndex);
    output(DC, R, image.get(), Transparent);
}

void DrawSkinBar(TCanvas* Canvas, const TRect& R, TBitmap* Bitmap, const TRect& Margins, bool Vertical,
                 bool Transparent, int FrameCount, int FrameIndex)
{
    if (Canvas == nullptr || !drawable(R, Bitmap) || R.Width() == 0 || R.Height() == 0)
        return;
    const int W = R.Width();
    const int H = R.Height();
    const std::unique_ptr<TBitmap> bar = newBitmap(W, H);
    const Frame f = frameOf(Bitmap, Vertical, FrameCount, FrameIndex);
    const int L = std::max(0, Margins.Left);
    const int Rm = std::max(0, Margins.Right);
    copyPart(bar.get(), {0, 0, L, H}, Bitmap, {f.x, f.y, f.x + L, f.y + f.fh});
    const int m = f.fw - L - Rm;
    if (m > 0)
        for (int x = L; x < W - Rm; x += m)
            copyPart(bar.get(), {x, 0, x + m, H}, Bitmap, {f.x + L, f.y, f.x + L + m, f.y + f.fh});
    copyPart(bar.get(), {W - Rm, 0, W, H}, Bitmap, {f.x + f.fw - Rm, f.y, f.x + f.fw, f.y + f.fh});
    if (Transparent) {
        bar->SetTransparentColor(SkinKeyColor);
        bar->SetTransparent(true);
        Canvas->Draw(R.Left, R.Top, bar.get());
    } else {
        BitBlt(Canvas->Handle(), R.Left, R.Top, W, H, bar->Canvas()->Handle(), 0, 0, SRCCOPY);
    }
}

void DrawSkinImageH(HDC DC, const TRect& R, TBitmap* Bitmap, const TRect& Margins, bool Vertical, int FrameCount,
                    int FrameIndex)
{
    if (!drawable(R, Bitmap))
        return;
    const Frame f = frameOf(Bitmap, Vertical, FrameCount, FrameIndex);
    const int W = R.Width();
    const int H = R.Height();
    HDC src = Bitmap->Canvas()->Handle();
    if (f.fw > W) {
        StretchBlt(DC, R.Left, R.Top, W, H, src, f.x, f.y, f.fw, f.fh, SRCCOPY);
        return;
    }
    const int L = std::max(0, Margins.Left);
    const int Rm = std::max(0, Margins.Right);
    auto piece = [&](int x, int width, int sx, int swidth) {
        if (width > 0 && swidth > 0)
            StretchBlt(DC, x, R.Top, width, H, src, f.x + sx, f.y, swidth, f.fh, SRCCOPY);
    };
    piece(R.Left, L, 0, L);
    piece(R.Left + L, W - L - Rm, L, f.fw - L - Rm);
    piece(R.Right - Rm, Rm, f.fw - Rm, Rm);
}

void DrawSkinFrame(HDC DC, const TRect& R, TBitmap* Bitmap, int FrameCount, int FrameIndex, bool Transparent)
{
    if (!drawable(R, Bitmap))
        return;
    const Frame f = frameOf(Bitmap, false, FrameCount, FrameIndex);
    const std::unique_ptr<TBitmap> image = newBitmap(R.Width(), R.Height());
    copyPart(image.get(), {0, 0, R.Width(), R.Height()}, Bitmap, {f.x, f.y, f.x + f.fw, f.y + f.fh});
    output(DC, R, image.get(), Transparent);
}

void DrawSkinFrameCentred(HDC DC, const TRect& R, TBitmap* Bitmap, int FrameCount, int FrameIndex,
                          bool Transparent)
{
    if (!drawable(R, Bitmap))
        return;
    const Frame f = frameOf(Bitmap, false, FrameCount, FrameIndex);
    const std::unique_ptr<TBitmap> image = newBitmap(f.fw, f.fh);
    copyPart(image.get(), {0, 0, f.fw, f.fh}, Bitmap, {f.x, f.y, f.x + f.fw, f.y + f.fh});
    const int left = R.Left + (R.Width() - f.fw) / 2;
    const int top = R.Top + (R.Height() - f.fh) / 2;
    output(DC, {left, top, left + f.fw, top + f.fh}, image.get(), Transparent);
}

void TileSkinImage(TCanvas* Dest, const TRect& DestRect, TBitmap* Source, const TRect& SourceRect)
{
    const int sw = SourceRect.Width();
    const int sh = SourceRect.Height();
    if (Dest == nullptr || Source == nullptr || sw <= 0 || sh <= 0)
        return;
    const std::unique_ptr<TBitmap> tile = newBitmap(sw, sh);
    copyPart(tile.get(), {0, 0, sw, sh}, Source, SourceRect);
    for (int x = DestRect.Left; x < DestRect.Right; x += sw)
        for (int y = DestRect.Top; y < DestRect.Bottom; y += sh)
            Dest->Draw(x, y, tile.get());
}

void DrawTransparentBitmap(HDC DC, const TRect& R, TBitmap* Bitmap, TColor KeyColor)
{
    if (!drawable(R, Bitmap))
        return;
    // White where the key colour is: there the destination stays.
    const QImage pixels = Bitmap->Image().convertToFormat(QImage::Format_RGB32);
    const TColor key = ColorToRGB(KeyColor);
    const QRgb keyRgb = qRgb(GetRValue(key), GetGValue(key), GetBValue(key));
    QImage mask(pixels.size(), QImage::Format_Mono);
    mask.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
    for (int y = 0; y < pixels.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(pixels.constScanLine(y));
        for (int x = 0; x < pixels.width(); ++x)
            mask.setPixel(x, y, (row[x] & 0xFFFFFF) == (keyRgb & 0xFFFFFF) ? 1 : 0);
    }
    MaskBlt(DC, R.Left, R.Top, R.Width(), R.Height(), Bitmap->Canvas()->Handle(), 0, 0, mask, 0, 0,
            MAKEROP4(0x00AA0029, SRCCOPY));
}

TRegion CreateRegionFromBitmap(TBitmap* Bitmap, int XOffset, int YOffset, int RedTolerance, int GreenTolerance,
                               int BlueTolerance, TColor KeyColor)
{
    TRegion result;
    if (Bitmap == nullptr || Bitmap->Empty())
        return result;
    const QImage pixels = Bitmap->Image().convertToFormat(QImage::Format_RGB32);
    const int keyR = GetRValue(KeyColor), keyG = GetGValue(KeyColor), keyB = GetBValue(KeyColor);
    const int highR = std::min(255, keyR + RedTolerance);
    const int highG = std::min(255, keyG + GreenTolerance);
    const int highB = std::min(255, keyB + BlueTolerance);
    auto isKey = [&](QRgb p) {
        return qRed(p) >= keyR && qRed(p) <= highR && qGreen(p) >= keyG && qGreen(p) <= highG &&
               qBlue(p) >= keyB && qBlue(p) <= highB;
    };
    // Rectangles are turned into a region every 2000, so no single request
    // grows without bound.
    constexpr size_t flushAt = 2000;
    std::vector<QRect> rects;
    rects.reserve(500);
    auto flush = [&]() {
        if (rects.empty())
            return;
        QRegion part;
        part.setRects(rects.data(), int(rects.size()));
        result.Region() = result.Region().united(part);
        rects.clear();
    };
    for (int y = 0; y < pixels.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(pixels.constScanLine(y));
        int x = 0;
        while (x < pixels.width()) {
            while (x < pixels.width() && isKey(row[x]))
                ++x;
            const int x0 = x;
            while (x < pixels.width() && !isKey(row[x]))
                ++x;
            if (x > x0) {
                rects.emplace_back(x0 + XOffset, y + YOffset, x - x0, 1);
                if (rects.size() == flushAt)
                    flush();
            }
        }
    }
    flush();
    return result;
}

void DrawParentBackground(TControl* Control, HDC DC)
{
    if (Control == nullptr || DC == nullptr || Control->Parent() == nullptr)
        return;
    TWinControl* parent = Control->Parent();
    const int saved = SaveDC(DC);
    struct Restore {
        HDC dc;
        int saved;
        ~Restore() { RestoreDC(dc, saved); }
    } restore{DC, saved};
    TPoint origin;
    GetViewportOrgEx(DC, origin);
    SetViewportOrgEx(DC, origin.X - Control->Left(), origin.Y - Control->Top());
    const TRect client = Control->ClientRect();
    IntersectClipRect(DC, Control->Left(), Control->Top(), Control->Left() + client.Width(),
                      Control->Top() + client.Height());
    try {
        parent->Perform(WM_ERASEBKGND, WPARAM(DC), 0);
        parent->Perform(WM_PAINT, WPARAM(DC), 0);
    } catch (...) {
        if (!Control->ComponentState().Contains(csDesigning))
            throw;
    }
}

TBitmap* SkinWorkBitmap()
{
    return workBitmap().get();
}

void SknFormInitialization()
{
    // Stretching on bitmaps is always nearest-neighbour (colour on colour).
    workBitmap() = std::make_unique<TBitmap>();
}

void SknFormFinalization()
{
    workBitmap().reset();
}

// ---- the form skinner -------------------------------------------------------

TSknForm::TSknForm(TComponent* AOwner) : TComponent(AOwner) {}

TSknForm::~TSknForm()
{
    Detach();
    if (TSkinManage* manager = SkinManager())
        manager->RemoveSkinner(this);
}

void TSknForm::AttachForm(TCustomForm* Form, TSkinData* SkinData)
{
    FForm = Form;
    FSkinData = SkinData;
    FOldWndProc = Form->WindowProc;
    Form->WindowProc = TWndMethod(this, &TSknForm::SkinWndProc);
    FAttached = true;
    FState = 1;
}

void TSknForm::SkinWndProc(TMessage& Message)
{
    if (Message.Msg == SKIN_FINISH && FState == 1) {
        Init();
        return;
    }
    FOldWndProc(Message);
}

void TSknForm::Init()
{
    if (FForm == nullptr || FSkinData == nullptr)
        return;
    FOldColor = FForm->Color();
    FState = 2;
    ApplyColours();
    if (FSkinData->OnAfterSkinForm)
        FSkinData->OnAfterSkinForm(FSkinData, reinterpret_cast<intptr_t>(FForm->Handle()), FForm->Name());
}

void TSknForm::ApplyColours()
{
    if (FState == 2 && FForm != nullptr && FSkinData != nullptr && FSkinData->SkinLoaded())
        FForm->SetColor(FSkinData->Colors[scButtonFace].Color);
}

void TSknForm::Unskin(bool Repaint)
{
    if (FState == 2 && FForm != nullptr)
        FForm->SetColor(FOldColor);
    Detach();
    FState = 6;
    if (Repaint && FForm != nullptr)
        FForm->Invalidate();
}

void TSknForm::Detach()
{
    if (!FAttached)
        return;
    FAttached = false;
    // A form that is going away takes its window procedure with it.
    if (FForm != nullptr && !FForm->ComponentState().Contains(csDestroying))
        FForm->WindowProc = FOldWndProc;
}
