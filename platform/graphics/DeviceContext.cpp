#include "platform/graphics/DeviceContext.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>
#include <QPolygon>
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <utility>

// Grants the free functions below access to a context's state, as the
// Win32 functions reach into a DC.
class TDCAccess {
public:
    static TDeviceContext::TState& state(HDC dc) { return dc->FState; }
    static std::vector<TDeviceContext::TState>& saved(HDC dc) { return dc->FSaved; }
    static bool recording(HDC dc) { return dc != nullptr && dc->FPathOpen; }
    static QPainterPath& path(HDC dc)
    {
        if (dc->FPath == nullptr)
            dc->FPath = std::make_unique<QPainterPath>();
        return *dc->FPath;
    }
    static void setRecording(HDC dc, bool on) { dc->FPathOpen = on; }
    static void dropPath(HDC dc)
    {
        dc->FPath.reset();
        dc->FPathOpen = false;
    }
    static bool hasPath(HDC dc) { return dc->FPath != nullptr; }
};

TDeviceContext::TDeviceContext(QImage* Image) : FImage(Image)
{
    FState.Font = QFont(QStringLiteral("DejaVu Sans"));
    FState.Font.setPixelSize(11);
    FState.Font.setStyleStrategy(QFont::NoAntialias);
}

TDeviceContext::~TDeviceContext() = default;

TPoint TDeviceContext::Offset() const
{
    return {FState.ViewportOrg.X - FState.WindowOrg.X, FState.ViewportOrg.Y - FState.WindowOrg.Y};
}

QRegion TDeviceContext::DeviceClip() const
{
    if (FState.HasClip)
        return FState.Clip;
    if (FImage == nullptr)
        return QRegion();
    return QRegion(FImage->rect());
}

int TRegion::Kind() const
{
    if (FRegion.isEmpty())
        return NULLREGION;
    return FRegion.rectCount() == 1 ? SIMPLEREGION : COMPLEXREGION;
}

namespace {

QRect qrect(const TRect& r)
{
    return QRect(QPoint(r.Left, r.Top), QPoint(r.Right - 1, r.Bottom - 1));
}

TRect trect(const QRect& r)
{
    if (r.isEmpty())
        return TRect{};
    return TRect{r.left(), r.top(), r.right() + 1, r.bottom() + 1};
}

TRect normalized(int l, int t, int r, int b)
{
    return TRect{std::min(l, r), std::min(t, b), std::max(l, r), std::max(t, b)};
}

QColor qcolor(TColor c)
{
    const TColor rgb = ColorToRGB(c);
    return QColor(GetRValue(rgb), GetGValue(rgb), GetBValue(rgb));
}

int kindOf(const QRegion& r)
{
    return TRegion(r).Kind();
}

TDeviceContext::TState& st(HDC dc)
{
    return TDCAccess::state(dc);
}

// Begins a painter on the context's image with its origin and clip. Indexed
// images cannot be painted by Qt: they are painted as RGB32 and converted
// back to their palette afterwards.
class DCPainter {
public:
    explicit DCPainter(HDC dc)
    {
        if (dc == nullptr || dc->Image() == nullptr || dc->Image()->isNull())
            return;
        FImage = dc->Image();
        QImage* target = FImage;
        const QImage::Format f = FImage->format();
        if (f == QImage::Format_Mono || f == QImage::Format_MonoLSB || f == QImage::Format_Indexed8) {
            FTemp = FImage->convertToFormat(QImage::Format_RGB32);
            target = &FTemp;
            FIndexed = true;
        }
        if (dc->ZeroAlpha() && f == QImage::Format_RGB32)
            hideAlpha(dc);
        if (!FPainter.begin(target))
            return;
        FPainter.setRenderHint(QPainter::Antialiasing, false);
        FPainter.setRenderHint(QPainter::SmoothPixmapTransform, false);
        const TPoint o = dc->Offset();
        FPainter.translate(o.X, o.Y);
        if (st(dc).HasClip)
            FPainter.setClipRegion(st(dc).Clip.translated(-o.X, -o.Y));
        FActive = true;
    }
    ~DCPainter()
    {
        if (FPainter.isActive())
            FPainter.end();
        if (!FArea.isEmpty())
            restoreAlpha();
        if (!FActive)
            return;
        if (FIndexed)
            *FImage = FTemp.convertToFormat(FImage->format(), FImage->colorTable(),
                                            Qt::ThresholdDither | Qt::AvoidDither);
    }
    DCPainter(const DCPainter&) = delete;
    DCPainter& operator=(const DCPainter&) = delete;

    bool active() const { return FActive; }
    QPainter* operator->() { return &FPainter; }
    QPainter& painter() { return FPainter; }

private:
    // Zeroes the fourth byte of the paintable area and keeps the old values:
    // Qt writes 0xFF (or a blend of it) wherever it paints an RGB32 image,
    // so afterwards a non-zero byte marks a written pixel. Written pixels
    // get 0, as the device-independent bitmaps' rule wants; the others get
    // their old byte back.
    void hideAlpha(HDC dc)
    {
        QRect area = FImage->rect();
        if (st(dc).HasClip)
            area &= st(dc).Clip.boundingRect();
        FArea = area;
        if (area.isEmpty())
            return;
        FAlpha.resize(size_t(area.width()) * size_t(area.height()));
        size_t i = 0;
        for (int y = area.top(); y <= area.bottom(); ++y) {
            auto* line = reinterpret_cast<QRgb*>(FImage->scanLine(y));
            for (int x = area.left(); x <= area.right(); ++x) {
                FAlpha[i++] = uint8_t(line[x] >> 24);
                line[x] &= 0x00FFFFFFu;
            }
        }
    }
    void restoreAlpha()
    {
        size_t i = 0;
        for (int y = FArea.top(); y <= FArea.bottom(); ++y) {
            auto* line = reinterpret_cast<QRgb*>(FImage->scanLine(y));
            for (int x = FArea.left(); x <= FArea.right(); ++x, ++i)
                line[x] = (line[x] >> 24) != 0 ? (line[x] & 0x00FFFFFFu) : (line[x] | (QRgb(FAlpha[i]) << 24));
        }
    }

    QImage* FImage = nullptr;
    QImage FTemp;
    QPainter FPainter;
    bool FIndexed = false;
    bool FActive = false;
    QRect FArea;
    std::vector<uint8_t> FAlpha;
};

// The composition for a pen or brush raster operation; false for R2_NOP.
// Black and white are drawn as colours in copy mode by the caller.
bool applyRop2(QPainter& p, int rop)
{
    using CM = QPainter::CompositionMode;
    CM mode = QPainter::CompositionMode_SourceOver;
    switch (rop) {
    case R2_NOP:
        return false;
    case R2_NOT: mode = QPainter::RasterOp_NotDestination; break;
    case R2_XORPEN: mode = QPainter::RasterOp_SourceXorDestination; break;
    case R2_NOTXORPEN: mode = QPainter::RasterOp_NotSourceXorDestination; break;
    case R2_MERGEPEN: mode = QPainter::RasterOp_SourceOrDestination; break;
    case R2_MASKPEN: mode = QPainter::RasterOp_SourceAndDestination; break;
    case R2_NOTCOPYPEN: mode = QPainter::RasterOp_NotSource; break;
    case R2_NOTMERGEPEN: mode = QPainter::RasterOp_NotSourceAndNotDestination; break;
    case R2_NOTMASKPEN: mode = QPainter::RasterOp_NotSourceOrNotDestination; break;
    case R2_MASKPENNOT: mode = QPainter::RasterOp_SourceAndNotDestination; break;
    case R2_MASKNOTPEN: mode = QPainter::RasterOp_NotSourceAndDestination; break;
    case R2_MERGEPENNOT: mode = QPainter::RasterOp_SourceOrNotDestination; break;
    case R2_MERGENOTPEN: mode = QPainter::RasterOp_NotSourceOrDestination; break;
    default: break;
    }
    p.setCompositionMode(mode);
    return true;
}

QColor ropColor(int rop, TColor c)
{
    if (rop == R2_BLACK)
        return Qt::black;
    if (rop == R2_WHITE)
        return Qt::white;
    return qcolor(c);
}

Qt::BrushStyle hatchOf(TDCBrushStyle s)
{
    switch (s) {
    case dbsHorizontal: return Qt::HorPattern;
    case dbsVertical: return Qt::VerPattern;
    case dbsFDiagonal: return Qt::BDiagPattern;  // Qt names the slope the other way
    case dbsBDiagonal: return Qt::FDiagPattern;
    case dbsCross: return Qt::CrossPattern;
    case dbsDiagCross: return Qt::DiagCrossPattern;
    default: return Qt::SolidPattern;
    }
}

// Fills a path or rectangle with a brush: hatches over the background colour
// in OPAQUE mode.
template <class Fill>
void fillWith(HDC dc, QPainter& p, const TDCBrush& brush, Fill fill)
{
    if (brush.Style == dbsNull)
        return;
    p.setPen(Qt::NoPen);
    if (brush.Style == dbsPattern) {
        if (brush.Pattern.isNull())
            return;
        // Anchored at device (0, 0): the painter works in logical units.
        const TPoint o = dc->Offset();
        p.setBrushOrigin(-o.X, -o.Y);
        p.setBrush(QBrush(brush.Pattern));
        fill();
        return;
    }
    if (brush.Style != dbsSolid && st(dc).BkMode == OPAQUE) {
        p.setBrush(qcolor(st(dc).BkColor));
        fill();
    }
    p.setBrush(QBrush(qcolor(brush.Color), hatchOf(brush.Style)));
    fill();
}

// The pixels of a one-pixel line from a to b, b excluded (Bresenham).
void linePixels(TPoint a, TPoint b, std::vector<QPoint>& out)
{
    int x = a.X, y = a.Y;
    const int dx = std::abs(b.X - a.X), dy = -std::abs(b.Y - a.Y);
    const int sx = a.X < b.X ? 1 : -1, sy = a.Y < b.Y ? 1 : -1;
    int err = dx + dy;
    while (x != b.X || y != b.Y) {
        out.emplace_back(x, y);
        const int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y += sy;
        }
    }
}

// On/off run lengths of the cosmetic dash styles.
std::vector<int> dashPattern(TDCPenStyle s)
{
    switch (s) {
    case dpsDash: return {18, 6};
    case dpsDot: return {3, 3};
    case dpsDashDot: return {9, 6, 3, 6};
    case dpsDashDotDot: return {9, 3, 3, 3, 3, 3};
    default: return {};
    }
}

// Draws a polyline with the selected pen; the last point is excluded.
void strokePolyline(HDC dc, QPainter& p, std::span<const TPoint> pts, bool closed)
{
    const TDCPen& pen = st(dc).Pen;
    if (pen.Style == dpsNull || pts.empty())
        return;
    const int rop = st(dc).Rop2;
    p.save();
    if (!applyRop2(p, rop)) {
        p.restore();
        return;
    }
    const QColor color = ropColor(rop, pen.Color);
    if (pen.Width > 1) {
        QPolygon poly;
        for (const TPoint& pt : pts)
            poly << QPoint(pt.X, pt.Y);
        p.setPen(QPen(color, pen.Width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(Qt::NoBrush);
        if (closed)
            p.drawPolygon(poly);
        else
            p.drawPolyline(poly);
        p.restore();
        return;
    }
    std::vector<QPoint> pixels;
    for (size_t i = 0; i + 1 < pts.size(); ++i)
        linePixels(pts[i], pts[i + 1], pixels);
    if (closed && pts.size() > 1)
        linePixels(pts.back(), pts.front(), pixels);
    const std::vector<int> dash = dashPattern(pen.Style);
    if (dash.empty()) {
        p.setPen(QPen(color, 0));
        p.drawPoints(pixels.data(), int(pixels.size()));
    } else {
        std::vector<QPoint> on, off;
        int period = 0;
        for (int d : dash)
            period += d;
        for (size_t i = 0; i < pixels.size(); ++i) {
            int phase = int(i % size_t(period));
            size_t k = 0;
            while (phase >= dash[k]) {
                phase -= dash[k];
                ++k;
            }
            (k % 2 == 0 ? on : off).push_back(pixels[i]);
        }
        p.setPen(QPen(color, 0));
        p.drawPoints(on.data(), int(on.size()));
        if (st(dc).BkMode == OPAQUE) {
            p.setPen(QPen(qcolor(st(dc).BkColor), 0));
            p.drawPoints(off.data(), int(off.size()));
        }
    }
    p.restore();
}

// The outline of a rectangle (Right/Bottom exclusive) drawn as a band of the
// pen's width.
void strokeRect(HDC dc, QPainter& p, const TRect& r)
{
    const TDCPen& pen = st(dc).Pen;
    if (pen.Style == dpsNull)
        return;
    if (pen.Width <= 1 && pen.Style != dpsSolid && pen.Style != dpsInsideFrame) {
        const TPoint pts[] = {{r.Left, r.Top}, {r.Right - 1, r.Top}, {r.Right - 1, r.Bottom - 1}, {r.Left, r.Bottom - 1}};
        strokePolyline(dc, p, pts, true);
        return;
    }
    const int w = std::max(1, pen.Width);
    QRect outer = qrect(r);
    if (pen.Style != dpsInsideFrame)
        outer.adjust(-(w - 1) / 2, -(w - 1) / 2, (w - 1) / 2, (w - 1) / 2);
    p.save();
    if (!applyRop2(p, st(dc).Rop2)) {
        p.restore();
        return;
    }
    QRegion band(outer);
    band -= QRegion(outer.adjusted(w, w, -w, -w));
    p.setPen(Qt::NoPen);
    p.setBrush(ropColor(st(dc).Rop2, pen.Color));
    for (const QRect& part : band)
        p.drawRect(part);
    p.restore();
}

QFontMetrics metricsOf(HDC dc)
{
    return QFontMetrics(st(dc).Font);
}

}  // namespace

// ---- regions ---------------------------------------------------------------

TRegion CreateRectRgn(int Left, int Top, int Right, int Bottom)
{
    const TRect r = normalized(Left, Top, Right, Bottom);
    return TRegion(r.IsEmpty() ? QRegion() : QRegion(qrect(r)));
}

TRegion CreateRectRgnIndirect(const TRect& R)
{
    return CreateRectRgn(R.Left, R.Top, R.Right, R.Bottom);
}

TRegion CreateEllipticRgn(int Left, int Top, int Right, int Bottom)
{
    const TRect r = normalized(Left, Top, Right, Bottom);
    if (r.IsEmpty())
        return TRegion();
    return TRegion(QRegion(qrect(r), QRegion::Ellipse));
}

TRegion CreateEllipticRgnIndirect(const TRect& R)
{
    return CreateEllipticRgn(R.Left, R.Top, R.Right, R.Bottom);
}

TRegion CreateRoundRectRgn(int Left, int Top, int Right, int Bottom, int WidthEllipse, int HeightEllipse)
{
    const TRect r = normalized(Left, Top, Right, Bottom);
    if (r.IsEmpty())
        return TRegion();
    QPainterPath path;
    path.addRoundedRect(QRectF(r.Left, r.Top, r.Width(), r.Height()), WidthEllipse / 2.0, HeightEllipse / 2.0);
    return TRegion(QRegion(path.toFillPolygon().toPolygon(), Qt::OddEvenFill));
}

TRegion CreatePolygonRgn(std::span<const TPoint> Points, int FillMode)
{
    QPolygon poly;
    for (const TPoint& pt : Points)
        poly << QPoint(pt.X, pt.Y);
    return TRegion(QRegion(poly, FillMode == WINDING ? Qt::WindingFill : Qt::OddEvenFill));
}

int CombineRgn(TRegion& Dest, const TRegion& Src1, const TRegion& Src2, int Mode)
{
    QRegion r;
    switch (Mode) {
    case RGN_AND: r = Src1.Region() & Src2.Region(); break;
    case RGN_OR: r = Src1.Region() | Src2.Region(); break;
    case RGN_XOR: r = Src1.Region() ^ Src2.Region(); break;
    case RGN_DIFF: r = Src1.Region() - Src2.Region(); break;
    case RGN_COPY: r = Src1.Region(); break;
    default: return RGN_ERROR;
    }
    Dest.Region() = r;
    return Dest.Kind();
}

int OffsetRgn(TRegion& Rgn, int DX, int DY)
{
    Rgn.Region().translate(DX, DY);
    return Rgn.Kind();
}

bool PtInRegion(const TRegion& Rgn, int X, int Y)
{
    return Rgn.Region().contains(QPoint(X, Y));
}

bool RectInRegion(const TRegion& Rgn, const TRect& R)
{
    return !R.IsEmpty() && Rgn.Region().intersects(qrect(R));
}

bool EqualRgn(const TRegion& A, const TRegion& B)
{
    return A == B;
}

int GetRgnBox(const TRegion& Rgn, TRect& R)
{
    R = trect(Rgn.Region().boundingRect());
    return Rgn.Kind();
}

// ---- state -----------------------------------------------------------------

int SaveDC(HDC DC)
{
    if (DC == nullptr)
        return 0;
    TDCAccess::saved(DC).push_back(st(DC));
    return int(TDCAccess::saved(DC).size());
}

bool RestoreDC(HDC DC, int SavedDC)
{
    if (DC == nullptr)
        return false;
    auto& saved = TDCAccess::saved(DC);
    const int depth = int(saved.size());
    const int target = SavedDC < 0 ? depth + SavedDC + 1 : SavedDC;
    if (target < 1 || target > depth)
        return false;
    st(DC) = saved[size_t(target - 1)];
    saved.resize(size_t(target - 1));
    return true;
}

namespace {
QRegion deviceRect(HDC dc, int l, int t, int r, int b)
{
    const TRect n = normalized(l, t, r, b);
    if (n.IsEmpty())
        return QRegion();
    const TPoint o = dc->Offset();
    return QRegion(qrect(n).translated(o.X, o.Y));
}

void setClip(HDC dc, const QRegion& clip)
{
    st(dc).Clip = clip;
    st(dc).HasClip = true;
}
}  // namespace

int ExcludeClipRect(HDC DC, int Left, int Top, int Right, int Bottom)
{
    if (DC == nullptr)
        return RGN_ERROR;
    setClip(DC, DC->DeviceClip() - deviceRect(DC, Left, Top, Right, Bottom));
    return kindOf(st(DC).Clip);
}

int IntersectClipRect(HDC DC, int Left, int Top, int Right, int Bottom)
{
    if (DC == nullptr)
        return RGN_ERROR;
    const QRegion base = st(DC).HasClip ? st(DC).Clip : deviceRect(DC, Left, Top, Right, Bottom);
    setClip(DC, base & deviceRect(DC, Left, Top, Right, Bottom));
    return kindOf(st(DC).Clip);
}

int SelectClipRgn(HDC DC, const TRegion* Rgn)
{
    return ExtSelectClipRgn(DC, Rgn, RGN_COPY);
}

int ExtSelectClipRgn(HDC DC, const TRegion* Rgn, int Mode)
{
    if (DC == nullptr)
        return RGN_ERROR;
    if (Rgn == nullptr) {
        if (Mode != RGN_COPY)
            return RGN_ERROR;
        st(DC).HasClip = false;
        st(DC).Clip = QRegion();
        return DC->Image() != nullptr ? kindOf(QRegion(DC->Image()->rect())) : NULLREGION;
    }
    const QRegion cur = DC->DeviceClip();
    QRegion r;
    switch (Mode) {
    case RGN_COPY: r = Rgn->Region(); break;
    case RGN_AND: r = cur & Rgn->Region(); break;
    case RGN_OR: r = cur | Rgn->Region(); break;
    case RGN_XOR: r = cur ^ Rgn->Region(); break;
    case RGN_DIFF: r = cur - Rgn->Region(); break;
    default: return RGN_ERROR;
    }
    setClip(DC, r);
    return kindOf(r);
}

int GetClipRgn(HDC DC, TRegion& Rgn)
{
    if (DC == nullptr)
        return -1;
    if (!st(DC).HasClip)
        return 0;
    Rgn = TRegion(st(DC).Clip);
    return 1;
}

int GetClipBox(HDC DC, TRect& R)
{
    if (DC == nullptr)
        return RGN_ERROR;
    const QRegion clip = DC->DeviceClip();
    const TPoint o = DC->Offset();
    R = trect(clip.boundingRect());
    if (!clip.isEmpty())
        OffsetRect(R, -o.X, -o.Y);
    return kindOf(clip);
}

bool PtVisible(HDC DC, int X, int Y)
{
    if (DC == nullptr)
        return false;
    const TPoint o = DC->Offset();
    return DC->DeviceClip().contains(QPoint(X + o.X, Y + o.Y));
}

bool RectVisible(HDC DC, const TRect& R)
{
    if (DC == nullptr || R.IsEmpty())
        return false;
    const TPoint o = DC->Offset();
    return DC->DeviceClip().intersects(qrect(R).translated(o.X, o.Y));
}

bool SetViewportOrgEx(HDC DC, int X, int Y, TPoint* Old)
{
    if (DC == nullptr)
        return false;
    if (Old != nullptr)
        *Old = st(DC).ViewportOrg;
    st(DC).ViewportOrg = {X, Y};
    return true;
}

bool GetViewportOrgEx(HDC DC, TPoint& P)
{
    if (DC == nullptr)
        return false;
    P = st(DC).ViewportOrg;
    return true;
}

bool OffsetViewportOrgEx(HDC DC, int DX, int DY, TPoint* Old)
{
    if (DC == nullptr)
        return false;
    const TPoint cur = st(DC).ViewportOrg;
    return SetViewportOrgEx(DC, cur.X + DX, cur.Y + DY, Old);
}

bool SetWindowOrgEx(HDC DC, int X, int Y, TPoint* Old)
{
    if (DC == nullptr)
        return false;
    if (Old != nullptr)
        *Old = st(DC).WindowOrg;
    st(DC).WindowOrg = {X, Y};
    return true;
}

bool GetWindowOrgEx(HDC DC, TPoint& P)
{
    if (DC == nullptr)
        return false;
    P = st(DC).WindowOrg;
    return true;
}

void MoveWindowOrg(HDC DC, int DX, int DY)
{
    if (DC == nullptr)
        return;
    const TPoint cur = st(DC).WindowOrg;
    SetWindowOrgEx(DC, cur.X - DX, cur.Y - DY);
}

bool DPtoLP(HDC DC, TPoint& P)
{
    if (DC == nullptr)
        return false;
    const TPoint o = DC->Offset();
    P = {P.X - o.X, P.Y - o.Y};
    return true;
}

bool LPtoDP(HDC DC, TPoint& P)
{
    if (DC == nullptr)
        return false;
    const TPoint o = DC->Offset();
    P = {P.X + o.X, P.Y + o.Y};
    return true;
}

TColor SetTextColor(HDC DC, TColor Color)
{
    if (DC == nullptr)
        return -1;
    return std::exchange(st(DC).TextColor, ColorToRGB(Color));
}

TColor GetTextColor(HDC DC)
{
    return DC != nullptr ? st(DC).TextColor : -1;
}

TColor SetBkColor(HDC DC, TColor Color)
{
    if (DC == nullptr)
        return -1;
    return std::exchange(st(DC).BkColor, ColorToRGB(Color));
}

TColor GetBkColor(HDC DC)
{
    return DC != nullptr ? st(DC).BkColor : -1;
}

int SetBkMode(HDC DC, int Mode)
{
    if (DC == nullptr || (Mode != TRANSPARENT && Mode != OPAQUE))
        return 0;
    return std::exchange(st(DC).BkMode, Mode);
}

int GetBkMode(HDC DC)
{
    return DC != nullptr ? st(DC).BkMode : 0;
}

int SetROP2(HDC DC, int Mode)
{
    if (DC == nullptr || Mode < R2_BLACK || Mode > R2_WHITE)
        return 0;
    return std::exchange(st(DC).Rop2, Mode);
}

int GetROP2(HDC DC)
{
    return DC != nullptr ? st(DC).Rop2 : 0;
}

uint32_t SetTextAlign(HDC DC, uint32_t Align)
{
    if (DC == nullptr)
        return 0xFFFFFFFF;
    return std::exchange(st(DC).TextAlign, Align);
}

int GetDeviceCaps(HDC DC, int Index)
{
    switch (Index) {
    case LOGPIXELSX:
    case LOGPIXELSY: return 96;
    case BITSPIXEL: return 32;
    case PLANES: return 1;
    case NUMCOLORS: return -1;
    case HORZRES: return DC != nullptr && DC->Image() != nullptr ? DC->Image()->width() : 0;
    case VERTRES: return DC != nullptr && DC->Image() != nullptr ? DC->Image()->height() : 0;
    default: return 0;
    }
}

// ---- pixels and shapes -------------------------------------------------------

TColor GetPixel(HDC DC, int X, int Y)
{
    if (DC == nullptr || DC->Image() == nullptr)
        return -1;
    const TPoint o = DC->Offset();
    const QPoint d(X + o.X, Y + o.Y);
    if (!DC->Image()->valid(d) || !DC->DeviceClip().contains(d))
        return -1;
    const QRgb p = DC->Image()->pixel(d);
    return RGB(uint8_t(qRed(p)), uint8_t(qGreen(p)), uint8_t(qBlue(p)));
}

TColor SetPixel(HDC DC, int X, int Y, TColor Color)
{
    if (DC == nullptr || DC->Image() == nullptr)
        return -1;
    const TPoint o = DC->Offset();
    const QPoint d(X + o.X, Y + o.Y);
    if (!DC->Image()->valid(d) || !DC->DeviceClip().contains(d))
        return -1;
    {
        DCPainter p(DC);
        if (!p.active())
            return -1;
        p->setCompositionMode(QPainter::CompositionMode_Source);
        p->fillRect(QRect(X, Y, 1, 1), qcolor(Color));
    }
    return GetPixel(DC, X, Y);
}

namespace {

QPointF devicePoint(HDC dc, int x, int y)
{
    const TPoint o = dc->Offset();
    return QPointF(x + o.X, y + o.Y);
}

void recordFigure(HDC dc, std::span<const TPoint> pts, bool closed)
{
    QPainterPath& path = TDCAccess::path(dc);
    path.moveTo(devicePoint(dc, pts[0].X, pts[0].Y));
    for (size_t i = 1; i < pts.size(); ++i)
        path.lineTo(devicePoint(dc, pts[i].X, pts[i].Y));
    if (closed)
        path.closeSubpath();
}

}  // namespace

bool BeginPath(HDC DC)
{
    if (DC == nullptr)
        return false;
    TDCAccess::dropPath(DC);
    TDCAccess::path(DC);
    TDCAccess::setRecording(DC, true);
    return true;
}

bool EndPath(HDC DC)
{
    if (!TDCAccess::recording(DC))
        return false;
    TDCAccess::setRecording(DC, false);
    return true;
}

bool AbortPath(HDC DC)
{
    if (DC == nullptr)
        return false;
    TDCAccess::dropPath(DC);
    return true;
}

bool PathToRegion(HDC DC, TRegion& Rgn)
{
    if (DC == nullptr || TDCAccess::recording(DC) || !TDCAccess::hasPath(DC))
        return false;
    QPainterPath path = TDCAccess::path(DC);
    TDCAccess::dropPath(DC);
    path.setFillRule(Qt::OddEvenFill);
    QRegion region;
    for (const QPolygonF& poly : path.toFillPolygons())
        region = region.xored(QRegion(poly.toPolygon(), Qt::OddEvenFill));
    Rgn = TRegion(region);
    return true;
}

bool MoveToEx(HDC DC, int X, int Y, TPoint* Old)
{
    if (DC == nullptr)
        return false;
    if (Old != nullptr)
        *Old = st(DC).PenPos;
    st(DC).PenPos = {X, Y};
    if (TDCAccess::recording(DC))
        TDCAccess::path(DC).moveTo(devicePoint(DC, X, Y));
    return true;
}

bool LineTo(HDC DC, int X, int Y)
{
    if (DC == nullptr)
        return false;
    const TPoint pts[] = {st(DC).PenPos, {X, Y}};
    st(DC).PenPos = {X, Y};
    if (TDCAccess::recording(DC)) {
        QPainterPath& path = TDCAccess::path(DC);
        if (path.elementCount() == 0)
            path.moveTo(devicePoint(DC, pts[0].X, pts[0].Y));
        path.lineTo(devicePoint(DC, X, Y));
        return true;
    }
    DCPainter p(DC);
    if (p.active())
        strokePolyline(DC, p.painter(), pts, false);
    return true;
}

bool Polyline(HDC DC, std::span<const TPoint> Points)
{
    if (DC == nullptr || Points.size() < 2)
        return false;
    if (TDCAccess::recording(DC)) {
        recordFigure(DC, Points, false);
        return true;
    }
    DCPainter p(DC);
    if (p.active())
        strokePolyline(DC, p.painter(), Points, false);
    return true;
}

bool Rectangle(HDC DC, int Left, int Top, int Right, int Bottom)
{
    if (DC == nullptr)
        return false;
    TRect r = normalized(Left, Top, Right, Bottom);
    if (TDCAccess::recording(DC)) {
        const TPoint pts[] = {{r.Left, r.Top}, {r.Right, r.Top}, {r.Right, r.Bottom}, {r.Left, r.Bottom}};
        recordFigure(DC, pts, true);
        return true;
    }
    DCPainter p(DC);
    if (!p.active())
        return true;
    const bool nullPen = st(DC).Pen.Style == dpsNull;
    TRect fill = r;
    if (nullPen) {
        fill.Right -= 1;
        fill.Bottom -= 1;
    }
    if (!fill.IsEmpty())
        fillWith(DC, p.painter(), st(DC).Brush, [&] { p->drawRect(QRect(fill.Left, fill.Top, fill.Width(), fill.Height())); });
    if (!nullPen && !r.IsEmpty())
        strokeRect(DC, p.painter(), r);
    return true;
}

bool Ellipse(HDC DC, int Left, int Top, int Right, int Bottom)
{
    if (DC == nullptr)
        return false;
    TRect r = normalized(Left, Top, Right, Bottom);
    if (TDCAccess::recording(DC)) {
        const TPoint o = DC->Offset();
        TDCAccess::path(DC).addEllipse(QRectF(r.Left + o.X, r.Top + o.Y, r.Width(), r.Height()));
        return true;
    }
    const bool nullPen = st(DC).Pen.Style == dpsNull;
    if (nullPen) {
        r.Right -= 1;
        r.Bottom -= 1;
    }
    if (r.IsEmpty())
        return true;
    DCPainter p(DC);
    if (!p.active())
        return true;
    fillWith(DC, p.painter(), st(DC).Brush, [&] { p->drawEllipse(QRectF(r.Left, r.Top, r.Width(), r.Height())); });
    if (!nullPen) {
        p->save();
        if (applyRop2(p.painter(), st(DC).Rop2)) {
            const int w = std::max(1, st(DC).Pen.Width);
            p->setPen(QPen(ropColor(st(DC).Rop2, st(DC).Pen.Color), w > 1 ? w : 0));
            p->setBrush(Qt::NoBrush);
            p->drawEllipse(QRect(r.Left, r.Top, r.Width() - 1, r.Height() - 1));
        }
        p->restore();
    }
    return true;
}

bool RoundRect(HDC DC, int Left, int Top, int Right, int Bottom, int Width, int Height)
{
    if (DC == nullptr)
        return false;
    TRect r = normalized(Left, Top, Right, Bottom);
    const bool nullPen = st(DC).Pen.Style == dpsNull;
    if (nullPen) {
        r.Right -= 1;
        r.Bottom -= 1;
    }
    if (r.IsEmpty())
        return true;
    DCPainter p(DC);
    if (!p.active())
        return true;
    const qreal rx = Width / 2.0, ry = Height / 2.0;
    fillWith(DC, p.painter(), st(DC).Brush,
             [&] { p->drawRoundedRect(QRectF(r.Left, r.Top, r.Width(), r.Height()), rx, ry); });
    if (!nullPen) {
        p->save();
        if (applyRop2(p.painter(), st(DC).Rop2)) {
            const int w = std::max(1, st(DC).Pen.Width);
            p->setPen(QPen(ropColor(st(DC).Rop2, st(DC).Pen.Color), w > 1 ? w : 0));
            p->setBrush(Qt::NoBrush);
            p->drawRoundedRect(QRect(r.Left, r.Top, r.Width() - 1, r.Height() - 1), rx, ry);
        }
        p->restore();
    }
    return true;
}

bool Polygon(HDC DC, std::span<const TPoint> Points)
{
    if (DC == nullptr || Points.size() < 2)
        return false;
    if (TDCAccess::recording(DC)) {
        recordFigure(DC, Points, true);
        return true;
    }
    DCPainter p(DC);
    if (!p.active())
        return true;
    QPolygon poly;
    for (const TPoint& pt : Points)
        poly << QPoint(pt.X, pt.Y);
    fillWith(DC, p.painter(), st(DC).Brush, [&] { p->drawPolygon(poly, Qt::OddEvenFill); });
    strokePolyline(DC, p.painter(), Points, true);
    return true;
}

bool FillRect(HDC DC, const TRect& R, const TDCBrush* Brush)
{
    if (DC == nullptr)
        return false;
    const TDCBrush& brush = Brush != nullptr ? *Brush : st(DC).Brush;
    if (R.IsEmpty() || brush.Style == dbsNull)
        return true;
    DCPainter p(DC);
    if (p.active())
        fillWith(DC, p.painter(), brush, [&] { p->drawRect(QRect(R.Left, R.Top, R.Width(), R.Height())); });
    return true;
}

bool FrameRect(HDC DC, const TRect& R, const TDCBrush& Brush)
{
    if (DC == nullptr)
        return false;
    if (R.IsEmpty() || Brush.Style == dbsNull)
        return true;
    QRegion band(qrect(R));
    band -= QRegion(qrect(R).adjusted(1, 1, -1, -1));
    DCPainter p(DC);
    if (p.active())
        fillWith(DC, p.painter(), Brush, [&] {
            for (const QRect& part : band)
                p->drawRect(part);
        });
    return true;
}

bool FillRgn(HDC DC, const TRegion& Rgn, const TDCBrush& Brush)
{
    if (DC == nullptr)
        return false;
    DCPainter p(DC);
    if (p.active())
        fillWith(DC, p.painter(), Brush, [&] {
            for (const QRect& part : Rgn.Region())
                p->drawRect(part);
        });
    return true;
}

bool FrameRgn(HDC DC, const TRegion& Rgn, const TDCBrush& Brush, int Width, int Height)
{
    if (DC == nullptr)
        return false;
    // The border is the region minus itself moved inwards from every side.
    QRegion inner = Rgn.Region();
    for (int dx = -Width; dx <= Width; dx += std::max(1, Width))
        for (int dy = -Height; dy <= Height; dy += std::max(1, Height))
            inner &= Rgn.Region().translated(dx, dy);
    return FillRgn(DC, TRegion(Rgn.Region() - inner), Brush);
}

bool DrawFocusRect(HDC DC, const TRect& R)
{
    if (DC == nullptr)
        return false;
    if (R.IsEmpty())
        return true;
    std::vector<QPoint> dots;
    auto add = [&](int x, int y) {
        if (((x + y) & 1) == 0)
            dots.emplace_back(x, y);
    };
    for (int x = R.Left; x < R.Right; ++x) {
        add(x, R.Top);
        if (R.Bottom - 1 > R.Top)
            add(x, R.Bottom - 1);
    }
    for (int y = R.Top + 1; y < R.Bottom - 1; ++y) {
        add(R.Left, y);
        if (R.Right - 1 > R.Left)
            add(R.Right - 1, y);
    }
    DCPainter p(DC);
    if (p.active()) {
        p->setCompositionMode(QPainter::RasterOp_SourceXorDestination);
        p->setPen(QPen(Qt::white, 0));
        p->drawPoints(dots.data(), int(dots.size()));
    }
    return true;
}

bool PatBlt(HDC DC, int X, int Y, int Width, int Height, uint32_t Rop)
{
    if (DC == nullptr)
        return false;
    const TRect r = normalized(X, Y, X + Width, Y + Height);
    if (r.IsEmpty())
        return true;
    DCPainter p(DC);
    if (!p.active())
        return true;
    const QRect q(r.Left, r.Top, r.Width(), r.Height());
    switch (Rop) {
    case BLACKNESS: p->fillRect(q, Qt::black); break;
    case WHITENESS: p->fillRect(q, Qt::white); break;
    case DSTINVERT:
        p->setCompositionMode(QPainter::RasterOp_NotDestination);
        p->fillRect(q, Qt::black);
        break;
    case PATINVERT:
        p->setCompositionMode(QPainter::RasterOp_SourceXorDestination);
        fillWith(DC, p.painter(), st(DC).Brush, [&] { p->drawRect(q); });
        break;
    default: fillWith(DC, p.painter(), st(DC).Brush, [&] { p->drawRect(q); }); break;
    }
    return true;
}

// ---- text --------------------------------------------------------------------

namespace {

// The extra pixels SetTextJustification gives the i-th blank.
int breakExtra(HDC dc, int i)
{
    const TDeviceContext::TState& s = st(dc);
    if (s.BreakExtra <= 0 || s.BreakCount <= 0 || i >= s.BreakCount)
        return 0;
    return s.BreakExtra / s.BreakCount + (i < s.BreakExtra % s.BreakCount ? 1 : 0);
}

int textWidth(HDC dc, const QFontMetrics& fm, const String& text)
{
    int w = fm.horizontalAdvance(text);
    if (st(dc).BreakCount > 0) {
        int blanks = 0;
        for (QChar c : text)
            if (c == u' ')
                w += breakExtra(dc, blanks++);
    }
    return w;
}

void drawTextRun(HDC dc, QPainter& p, int x, int y, const String& text)
{
    const QFontMetrics fm(st(dc).Font);
    p.setFont(st(dc).Font);
    p.setPen(qcolor(st(dc).TextColor));
    p.save();
    p.translate(x, y);
    if (st(dc).Escapement != 0)
        p.rotate(-st(dc).Escapement / 10.0);
    if (st(dc).BreakCount <= 0 || st(dc).BreakExtra <= 0) {
        p.drawText(QPoint(0, fm.ascent()), text);
    } else {
        // Word by word, each blank widened by its share of the extra.
        int pos = 0, blanks = 0, start = 0;
        for (int i = 0; i <= text.size(); ++i) {
            if (i < text.size() && text[i] != u' ')
                continue;
            const String piece = text.mid(start, i - start + (i < text.size() ? 1 : 0));
            p.drawText(QPoint(pos, fm.ascent()), piece);
            pos += fm.horizontalAdvance(piece);
            if (i < text.size())
                pos += breakExtra(dc, blanks++);
            start = i + 1;
        }
    }
    p.restore();
}

}  // namespace

bool ExtTextOut(HDC DC, int X, int Y, uint32_t Options, const TRect* R, const String& Text)
{
    if (DC == nullptr)
        return false;
    const QFontMetrics fm = metricsOf(DC);
    const int w = textWidth(DC, fm, Text);
    const int h = fm.height();
    const uint32_t align = st(DC).TextAlign;
    if (align & TA_UPDATECP) {
        X = st(DC).PenPos.X;
        Y = st(DC).PenPos.Y;
    }
    if ((align & TA_CENTER) == TA_CENTER)
        X -= w / 2;
    else if (align & TA_RIGHT)
        X -= w;
    if ((align & TA_BASELINE) == TA_BASELINE)
        Y -= fm.ascent();
    else if (align & TA_BOTTOM)
        Y -= h;
    if (align & TA_UPDATECP)
        st(DC).PenPos.X = ((align & TA_CENTER) == TA_CENTER) ? st(DC).PenPos.X : (align & TA_RIGHT) ? X : X + w;
    DCPainter p(DC);
    if (!p.active())
        return true;
    if (R != nullptr && (Options & ETO_CLIPPED))
        p->setClipRect(QRect(R->Left, R->Top, R->Width(), R->Height()), Qt::IntersectClip);
    if (R != nullptr && (Options & ETO_OPAQUE) && !R->IsEmpty())
        p->fillRect(QRect(R->Left, R->Top, R->Width(), R->Height()), qcolor(st(DC).BkColor));
    if (st(DC).BkMode == OPAQUE && w > 0 && st(DC).Escapement == 0)
        p->fillRect(QRect(X, Y, w, h), qcolor(st(DC).BkColor));
    drawTextRun(DC, p.painter(), X, Y, Text);
    return true;
}

bool TextOut(HDC DC, int X, int Y, const String& Text)
{
    return ExtTextOut(DC, X, Y, 0, nullptr, Text);
}

bool GetTextExtentPoint32(HDC DC, const String& Text, TSize& Size)
{
    if (DC == nullptr)
        return false;
    const QFontMetrics fm = metricsOf(DC);
    Size = {textWidth(DC, fm, Text), fm.height()};
    return true;
}

bool GetTextExtentExPoint(HDC DC, const String& Text, int MaxExtent, int* Fit, std::vector<int>* Dx, TSize& Size)
{
    if (DC == nullptr)
        return false;
    const QFontMetrics fm = metricsOf(DC);
    if (Dx != nullptr)
        Dx->assign(size_t(Text.size()), 0);
    int fit = 0;
    int blanks = 0;
    int extra = 0;
    for (int i = 1; i <= Text.size(); ++i) {
        if (Text[i - 1] == u' ')
            extra += breakExtra(DC, blanks++);
        const int w = fm.horizontalAdvance(Text.left(i)) + extra;
        if (Dx != nullptr)
            (*Dx)[size_t(i - 1)] = w;
        if (w <= MaxExtent && fit == i - 1)
            fit = i;
    }
    if (Fit != nullptr)
        *Fit = fit;
    Size = {textWidth(DC, fm, Text), fm.height()};
    return true;
}

namespace {

// The x of the next tab stop after x (both relative to the tab origin).
int nextTabStop(int x, std::span<const int> stops, int defaultStep)
{
    for (int stop : stops)
        if (stop > x)
            return stop;
    const int step = !stops.empty() ? std::max(1, stops.back() - (stops.size() > 1 ? stops[stops.size() - 2] : 0))
                                    : std::max(1, defaultStep);
    const int base = stops.empty() ? 0 : stops.back();
    return base + ((x - base) / step + 1) * step;
}

// Lays the tab-separated pieces out from 0; calls out(piece, x) for each.
template <class Out>
int tabbedLayout(HDC dc, const QFontMetrics& fm, const String& text, std::span<const int> stops, int origin,
                 Out out)
{
    const int step = 8 * std::max(1, fm.averageCharWidth());
    int x = 0;
    int start = 0;
    for (int i = 0; i <= text.size(); ++i) {
        if (i < text.size() && text[i] != u'\t')
            continue;
        const String piece = text.mid(start, i - start);
        out(piece, x);
        x += textWidth(dc, fm, piece);
        if (i < text.size())
            x = nextTabStop(x + origin, stops, step) - origin;
        start = i + 1;
    }
    return x;
}

}  // namespace

TSize GetTabbedTextExtent(HDC DC, const String& Text, std::span<const int> TabStops)
{
    if (DC == nullptr)
        return {};
    const QFontMetrics fm = metricsOf(DC);
    const int w = tabbedLayout(DC, fm, Text, TabStops, 0, [](const String&, int) {});
    return {w, fm.height()};
}

TSize TabbedTextOut(HDC DC, int X, int Y, const String& Text, std::span<const int> TabStops, int TabOrigin)
{
    if (DC == nullptr)
        return {};
    const String text = Text.left(4096);
    const QFontMetrics fm = metricsOf(DC);
    const int w = tabbedLayout(DC, fm, text, TabStops, X - TabOrigin, [&](const String& piece, int x) {
        if (!piece.isEmpty())
            ExtTextOut(DC, X + x, Y, 0, nullptr, piece);
    });
    return {w, fm.height()};
}

bool SetTextJustification(HDC DC, int BreakExtra, int BreakCount)
{
    if (DC == nullptr)
        return false;
    st(DC).BreakExtra = BreakCount > 0 ? std::max(0, BreakExtra) : 0;
    st(DC).BreakCount = BreakExtra > 0 ? std::max(0, BreakCount) : 0;
    return true;
}

bool GetTextMetrics(HDC DC, TTextMetric& TM)
{
    if (DC == nullptr)
        return false;
    const QFontMetrics fm = metricsOf(DC);
    TM.tmAscent = fm.ascent();
    TM.tmDescent = fm.descent();
    TM.tmHeight = fm.height();
    const int em = st(DC).Font.pixelSize();
    TM.tmInternalLeading = em > 0 ? std::max(0, TM.tmHeight - em) : 0;
    TM.tmExternalLeading = std::max(0, fm.leading());
    TM.tmAveCharWidth = fm.averageCharWidth();
    TM.tmMaxCharWidth = fm.maxWidth();
    return true;
}

namespace {

struct TextLine {
    String Text;
    std::vector<int> Underline;  // indexes into Text
};

const String ellipsisText = QStringLiteral("...");

class TextLayout {
public:
    // tabChars: the tab stop in average character widths.
    TextLayout(const QFontMetrics& fm, uint32_t fmt, int tabChars) : FM(fm), Fmt(fmt)
    {
        TabWidth = std::max(1, tabChars * fm.averageCharWidth());
    }

    int width(const String& s) const
    {
        if (!(Fmt & DT_EXPANDTABS) || !s.contains(QLatin1Char('\t')))
            return FM.horizontalAdvance(s);
        int x = 0;
        const auto parts = s.split(QLatin1Char('\t'));
        for (qsizetype i = 0; i < parts.size(); ++i) {
            x += FM.horizontalAdvance(parts[i]);
            if (i + 1 < parts.size())
                x = (x / TabWidth + 1) * TabWidth;
        }
        return x;
    }

    // The x of character index i within s.
    int offset(const String& s, int i) const { return width(s.left(i)); }

    const QFontMetrics& FM;
    uint32_t Fmt;
    int TabWidth = 8;
};

TextLine stripPrefix(const String& s, uint32_t fmt)
{
    TextLine line;
    if (fmt & DT_NOPREFIX) {
        line.Text = s;
        return line;
    }
    line.Text.reserve(s.size());
    for (qsizetype i = 0; i < s.size(); ++i) {
        if (s[i] == QLatin1Char('&') && i + 1 < s.size()) {
            ++i;
            if (s[i] != QLatin1Char('&'))
                line.Underline.push_back(int(line.Text.size()));
        } else if (s[i] == QLatin1Char('&')) {
            continue;  // a trailing single '&' shows nothing
        }
        line.Text.append(s[i]);
    }
    return line;
}

TextLine sub(const TextLine& l, int from, int count)
{
    TextLine r;
    r.Text = l.Text.mid(from, count);
    for (int u : l.Underline)
        if (u >= from && u < from + int(r.Text.size()))
            r.Underline.push_back(u - from);
    return r;
}

// Greedy word wrap at spaces; a word wider than the width stays whole
// unless DT_EDITCONTROL, which breaks it between characters.
void wrap(const TextLine& para, int width, const TextLayout& lay, std::vector<TextLine>& out)
{
    const String& t = para.Text;
    const int n = int(t.size());
    if (n == 0) {
        out.push_back(para);
        return;
    }
    int start = 0;
    while (start < n) {
        int end = start;      // end of the text that fits
        int lastBreak = -1;   // index of a space where a break may happen
        while (end < n) {
            if (t[end] == QLatin1Char(' '))
                lastBreak = end;
            if (lay.width(t.mid(start, end - start + 1)) > width && t[end] != QLatin1Char(' '))
                break;
            ++end;
        }
        if (end >= n) {
            out.push_back(sub(para, start, n - start));
            break;
        }
        int lineEnd;
        int next;
        if (lastBreak >= start) {
            lineEnd = lastBreak;
            next = lastBreak + 1;
        } else if (lay.Fmt & DT_EDITCONTROL) {
            lineEnd = std::max(end, start + 1);
            next = lineEnd;
        } else {
            // An over-long word: keep it whole up to the next space.
            lineEnd = end;
            while (lineEnd < n && t[lineEnd] != QLatin1Char(' '))
                ++lineEnd;
            next = lineEnd + 1;
        }
        int trimmed = lineEnd;
        while (trimmed > start && t[trimmed - 1] == QLatin1Char(' '))
            --trimmed;
        out.push_back(sub(para, start, trimmed - start));
        while (next < n && t[next] == QLatin1Char(' '))
            ++next;
        start = next;
    }
}

void endEllipsis(TextLine& l, int width, const TextLayout& lay)
{
    if (lay.width(l.Text) <= width)
        return;
    int keep = int(l.Text.size());
    while (keep > 0 && lay.width(l.Text.left(keep) + ellipsisText) > width)
        --keep;
    l = sub(l, 0, keep);
    l.Text += ellipsisText;
}

void wordEllipsis(TextLine& l, int width, const TextLayout& lay)
{
    if (lay.width(l.Text) <= width)
        return;
    int keep = int(l.Text.size());
    while (keep > 0) {
        const bool atWordEnd = keep == int(l.Text.size()) || l.Text[keep] == QLatin1Char(' ');
        if (atWordEnd && lay.width(l.Text.left(keep) + ellipsisText) <= width)
            break;
        --keep;
    }
    l = sub(l, 0, keep);
    l.Text += ellipsisText;
}

void pathEllipsis(TextLine& l, int width, const TextLayout& lay)
{
    if (lay.width(l.Text) <= width)
        return;
    const int sep = int(std::max(l.Text.lastIndexOf(QLatin1Char('\\')), l.Text.lastIndexOf(QLatin1Char('/'))));
    if (sep < 0) {
        endEllipsis(l, width, lay);
        return;
    }
    const String tail = l.Text.mid(sep);
    int keep = sep;
    while (keep > 0 && lay.width(l.Text.left(keep) + ellipsisText + tail) > width)
        --keep;
    TextLine r = sub(l, 0, keep);
    r.Text += ellipsisText + tail;
    l = r;
    if (keep == 0)
        endEllipsis(l, width, lay);
}

}  // namespace

int DrawText(HDC DC, const String& Text, TRect& R, uint32_t Format, String* Modified)
{
    if (DC == nullptr)
        return 0;
    uint32_t fmt = Format;
    int tabChars = 8;
    if (fmt & DT_TABSTOP) {
        tabChars = int((fmt >> 8) & 0xFF);  // that byte is the tab size, not flags
        fmt &= ~uint32_t(0xFF00);
    }
    const QFontMetrics fm = metricsOf(DC);
    const TextLayout lay(fm, fmt, tabChars);
    const bool single = (fmt & DT_SINGLELINE) != 0;
    const int lineH = fm.height() + ((fmt & DT_EXTERNALLEADING) ? std::max(0, fm.leading()) : 0);

    String text = Text;
    if (!(fmt & DT_EXPANDTABS))
        text.replace(QLatin1Char('\t'), QLatin1Char(' '));
    QStringList paras;
    if (single) {
        text.remove(QLatin1Char('\r'));
        text.remove(QLatin1Char('\n'));
        paras << text;
    } else {
        text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
        paras = text.split(QLatin1Char('\n'));
    }

    const int width = R.Width();
    std::vector<TextLine> lines;
    for (const String& p : paras) {
        const TextLine line = stripPrefix(p, fmt);
        if ((fmt & DT_WORDBREAK) && !single)
            wrap(line, width, lay, lines);
        else
            lines.push_back(line);
    }
    if (Text.isEmpty())
        lines.clear();

    // The last line that fits takes the ellipsis when word-wrapped text of
    // an edit control overflows the rectangle.
    if ((fmt & DT_WORDBREAK) && (fmt & DT_EDITCONTROL) && (fmt & DT_END_ELLIPSIS) && !single && lineH > 0 &&
        !(fmt & DT_CALCRECT)) {
        const size_t fit = size_t(std::max(1, R.Height() / lineH));
        if (lines.size() > fit) {
            lines.resize(fit);
            TextLine& last = lines.back();
            last.Text += ellipsisText;
            while (!last.Text.isEmpty() && lay.width(last.Text) > width && last.Text.size() > ellipsisText.size()) {
                last.Text.remove(last.Text.size() - ellipsisText.size() - 1, 1);
            }
        }
    }
    for (TextLine& l : lines) {
        if (fmt & DT_PATH_ELLIPSIS)
            pathEllipsis(l, width, lay);
        else if (fmt & DT_END_ELLIPSIS)
            endEllipsis(l, width, lay);
        else if (fmt & DT_WORD_ELLIPSIS)
            wordEllipsis(l, width, lay);
    }
    if ((fmt & DT_MODIFYSTRING) && Modified != nullptr && !lines.empty())
        *Modified = lines.front().Text;

    const int total = int(lines.size()) * lineH;
    if (fmt & DT_CALCRECT) {
        int maxW = 0;
        for (const TextLine& l : lines)
            maxW = std::max(maxW, lay.width(l.Text));
        R.Right = R.Left + maxW;
        R.Bottom = R.Top + total;
        return total;
    }

    int y = R.Top;
    if (single && (fmt & DT_VCENTER))
        y = (R.Top + R.Bottom - lineH) / 2;
    else if (single && (fmt & DT_BOTTOM))
        y = R.Bottom - lineH;
    const int result = (single && (fmt & (DT_VCENTER | DT_BOTTOM))) ? y - R.Top + lineH : total;

    DCPainter p(DC);
    if (!p.active())
        return result;
    if (!(fmt & DT_NOCLIP))
        p->setClipRect(QRect(R.Left, R.Top, std::max(0, R.Width()), std::max(0, R.Height())), Qt::IntersectClip);
    p->setFont(st(DC).Font);
    const QColor textColor = qcolor(st(DC).TextColor);
    for (const TextLine& l : lines) {
        const int w = lay.width(l.Text);
        int x = R.Left;
        if (fmt & DT_CENTER)
            x = (R.Left + R.Right - w) / 2;
        else if (fmt & DT_RIGHT)
            x = R.Right - w;
        if (!(fmt & DT_PREFIXONLY)) {
            if (st(DC).BkMode == OPAQUE && w > 0)
                p->fillRect(QRect(x, y, w, lineH), qcolor(st(DC).BkColor));
            p->setPen(textColor);
            if ((fmt & DT_EXPANDTABS) && l.Text.contains(QLatin1Char('\t'))) {
                int from = 0;
                for (int i = 0; i <= int(l.Text.size()); ++i) {
                    if (i == int(l.Text.size()) || l.Text[i] == QLatin1Char('\t')) {
                        p->drawText(QPoint(x + lay.offset(l.Text, from), y + fm.ascent()), l.Text.mid(from, i - from));
                        from = i + 1;
                    }
                }
            } else {
                p->drawText(QPoint(x, y + fm.ascent()), l.Text);
            }
        }
        if (!(fmt & DT_HIDEPREFIX)) {
            const int thickness = std::max(1, fm.lineWidth());
            for (int u : l.Underline) {
                const int ux = x + lay.offset(l.Text, u);
                const int uw = lay.width(l.Text.mid(u, 1));
                p->fillRect(QRect(ux, y + fm.ascent() + std::max(1, fm.underlinePos()), uw, thickness), textColor);
            }
        }
        y += lineH;
    }
    return result;
}

// ---- edges -------------------------------------------------------------------

namespace {

void edgeLines(QPainter& p, TRect& r, uint32_t flags, QColor topLeft, QColor bottomRight)
{
    if (r.IsEmpty())
        return;
    if (flags & BF_BOTTOM)
        p.fillRect(QRect(r.Left, r.Bottom - 1, r.Width(), 1), bottomRight);
    if (flags & BF_RIGHT)
        p.fillRect(QRect(r.Right - 1, r.Top, 1, r.Height()), bottomRight);
    if (flags & BF_TOP)
        p.fillRect(QRect(r.Left, r.Top, r.Width() - ((flags & BF_RIGHT) ? 1 : 0), 1), topLeft);
    if (flags & BF_LEFT)
        p.fillRect(QRect(r.Left, r.Top, 1, r.Height() - ((flags & BF_BOTTOM) ? 1 : 0)), topLeft);
    if (flags & BF_LEFT)
        ++r.Left;
    if (flags & BF_TOP)
        ++r.Top;
    if (flags & BF_RIGHT)
        --r.Right;
    if (flags & BF_BOTTOM)
        --r.Bottom;
}

}  // namespace

bool DrawEdge(HDC DC, TRect& R, uint32_t Edge, uint32_t Flags)
{
    if (DC == nullptr)
        return false;
    TRect r = R;
    {
        DCPainter p(DC);
        QColor outerTL, outerBR, innerTL, innerBR;
        const bool outer = (Edge & BDR_OUTER) != 0, inner = (Edge & BDR_INNER) != 0;
        if (Flags & BF_MONO) {
            outerTL = outerBR = qcolor(clWindowFrame);
            innerTL = innerBR = qcolor(clWindow);
        } else if (Flags & BF_FLAT) {
            outerTL = outerBR = qcolor(clBtnShadow);
            innerTL = innerBR = qcolor(clBtnFace);
        } else {
            outerTL = qcolor((Edge & BDR_RAISEDOUTER) ? cl3DLight : clBtnShadow);
            outerBR = qcolor((Edge & BDR_RAISEDOUTER) ? cl3DDkShadow : clBtnHighlight);
            innerTL = qcolor((Edge & BDR_RAISEDINNER) ? clBtnHighlight : cl3DDkShadow);
            innerBR = qcolor((Edge & BDR_RAISEDINNER) ? clBtnShadow : cl3DLight);
        }
        if (p.active()) {
            if (outer)
                edgeLines(p.painter(), r, Flags, outerTL, outerBR);
            if (inner)
                edgeLines(p.painter(), r, Flags, innerTL, innerBR);
            if ((Flags & BF_MIDDLE) && !r.IsEmpty())
                p->fillRect(QRect(r.Left, r.Top, r.Width(), r.Height()),
                            qcolor((Flags & BF_MONO) ? clWindow : clBtnFace));
        }
    }
    if (Flags & BF_ADJUST) {
        // The interior is what is left inside the edges drawn.
        const int n = ((Edge & BDR_OUTER) ? 1 : 0) + ((Edge & BDR_INNER) ? 1 : 0);
        if (Flags & BF_LEFT)
            R.Left += n;
        if (Flags & BF_TOP)
            R.Top += n;
        if (Flags & BF_RIGHT)
            R.Right -= n;
        if (Flags & BF_BOTTOM)
            R.Bottom -= n;
    }
    return true;
}

namespace {

// Our radio glyph: a 12 x 12 circle given as the first and last column of
// each row.
constexpr int radioSpans[12][2] = {{4, 7}, {2, 9}, {1, 10}, {1, 10}, {0, 11}, {0, 11},
                                   {0, 11}, {0, 11}, {1, 10}, {1, 10}, {2, 9}, {4, 7}};
// The check dot, rows 4 to 7.
constexpr int radioDotSpans[4][2] = {{5, 6}, {4, 7}, {4, 7}, {5, 6}};

bool inRadioCircle(int X, int Y)
{
    return Y >= 0 && Y < 12 && X >= radioSpans[Y][0] && X <= radioSpans[Y][1];
}

void drawRadioGlyph(HDC DC, const TRect& R, uint32_t State)
{
    if (State & DFCS_BUTTONRADIOMASK) {
        for (int y = R.Top; y < R.Bottom; ++y)
            for (int x = R.Left; x < R.Right; ++x)
                SetPixel(DC, x, y, inRadioCircle(x - R.Left, y - R.Top) ? clBlack : clWhite);
        return;
    }
    const TColor face = GetSysColor((State & (DFCS_PUSHED | DFCS_INACTIVE)) ? COLOR_BTNFACE : COLOR_WINDOW);
    const TColor dot = GetSysColor((State & DFCS_INACTIVE) ? COLOR_BTNSHADOW : COLOR_WINDOWTEXT);
    for (int y = 0; y < 12 && R.Top + y < R.Bottom; ++y)
        for (int x = radioSpans[y][0]; x <= radioSpans[y][1] && R.Left + x < R.Right; ++x) {
            const bool edge = !inRadioCircle(x - 1, y) || !inRadioCircle(x + 1, y) || !inRadioCircle(x, y - 1) ||
                              !inRadioCircle(x, y + 1);
            TColor c = edge ? GetSysColor(COLOR_BTNSHADOW) : face;
            if ((State & DFCS_CHECKED) && y >= 4 && y < 8 && x >= radioDotSpans[y - 4][0] &&
                x <= radioDotSpans[y - 4][1])
                c = dot;
            SetPixel(DC, R.Left + x, R.Top + y, c);
        }
}

}  // namespace

bool DrawFrameControl(HDC DC, const TRect& R, uint32_t Type, uint32_t State)
{
    if (DC == nullptr)
        return false;
    TRect r = R;
    const bool pushed = (State & DFCS_PUSHED) != 0;
    const bool flat = (State & DFCS_FLAT) != 0;
    const uint32_t flatFlag = flat ? uint32_t(BF_FLAT) : 0u;
    const QColor glyph = qcolor((State & DFCS_INACTIVE) ? clBtnShadow : clBtnText);
    if (Type == DFC_BUTTON && (State & (DFCS_BUTTONRADIOIMAGE | DFCS_BUTTONRADIOMASK)) != 0) {
        drawRadioGlyph(DC, R, State);
        return true;
    }
    if (Type == DFC_BUTTON && (State & 0xFF) != DFCS_BUTTONPUSH && (State & DFCS_BUTTONRADIO) == 0) {
        // A check box: a sunken white square with a tick. The third state
        // (0x8, the three-state flag) checked is the mixed look: a grey
        // tick on the button face.
        const bool mixed = (State & 0x8) != 0 && (State & DFCS_CHECKED) != 0;
        DrawEdge(DC, r, EDGE_SUNKEN, BF_RECT | BF_ADJUST | flatFlag);
        DCPainter p(DC);
        if (!p.active())
            return true;
        p->fillRect(QRect(r.Left, r.Top, r.Width(), r.Height()),
                    qcolor((mixed || (State & (DFCS_PUSHED | DFCS_INACTIVE))) ? clBtnFace : clWindow));
        if (State & DFCS_CHECKED) {
            const int cx = r.Left + r.Width() / 2, cy = r.Top + r.Height() / 2;
            p->setPen(QPen(mixed ? qcolor(clBtnShadow) : glyph, 0));
            for (int k = 0; k < 3; ++k) {
                p->drawLine(cx - 3, cy - 1 + k, cx - 1, cy + 1 + k);
                p->drawLine(cx - 1, cy + 1 + k, cx + 3, cy - 3 + k);
            }
        }
        return true;
    }
    if (Type == DFC_BUTTON && (State & DFCS_BUTTONRADIO)) {
        DCPainter p(DC);
        if (!p.active())
            return true;
        const QRect q(r.Left, r.Top, r.Width() - 1, r.Height() - 1);
        p->setPen(QPen(qcolor(clBtnShadow), 0));
        p->setBrush(qcolor((State & DFCS_INACTIVE) ? clBtnFace : clWindow));
        p->drawEllipse(q);
        if (State & DFCS_CHECKED) {
            const int d = std::max(2, r.Width() / 3);
            p->setPen(Qt::NoPen);
            p->setBrush(glyph);
            p->drawEllipse(QRect(r.Left + (r.Width() - d) / 2, r.Top + (r.Height() - d) / 2, d, d));
        }
        return true;
    }
    // Push buttons, scroll arrows and caption buttons share the raised face.
    if (Type == DFC_SCROLL && (State & 0xFF) == DFCS_SCROLLSIZEGRIP) {
        DCPainter p(DC);
        if (!p.active())
            return true;
        p->fillRect(QRect(r.Left, r.Top, r.Width(), r.Height()), qcolor(clBtnFace));
        for (int k = 0; k < 3; ++k) {
            const int off = 4 * k + 2;
            p->setPen(QPen(qcolor(clBtnHighlight), 0));
            p->drawLine(r.Right - 1 - off - 2, r.Bottom - 1, r.Right - 1, r.Bottom - 1 - off - 2);
            p->setPen(QPen(qcolor(clBtnShadow), 0));
            p->drawLine(r.Right - 1 - off - 1, r.Bottom - 1, r.Right - 1, r.Bottom - 1 - off - 1);
            p->drawLine(r.Right - 1 - off, r.Bottom - 1, r.Right - 1, r.Bottom - 1 - off);
        }
        return true;
    }
    DrawEdge(DC, r, pushed ? (flat ? BDR_SUNKENOUTER : EDGE_SUNKEN) : EDGE_RAISED,
             BF_RECT | BF_ADJUST | BF_MIDDLE | flatFlag);
    if (Type == DFC_BUTTON)
        return true;
    DCPainter p(DC);
    if (!p.active())
        return true;
    const int shift = pushed ? 1 : 0;
    const int cx = r.Left + r.Width() / 2 + shift, cy = r.Top + r.Height() / 2 + shift;
    const int n = std::max(1, std::min(r.Width(), r.Height()) / 4);
    p->setPen(QPen(glyph, 0));
    if (Type == DFC_SCROLL) {
        const uint32_t dir = State & 0x3;
        for (int k = 0; k < n + 1; ++k) {
            switch (dir) {
            case DFCS_SCROLLUP: p->drawLine(cx - k, cy - n / 2 + k, cx + k, cy - n / 2 + k); break;
            case DFCS_SCROLLDOWN: p->drawLine(cx - k, cy + n / 2 - k, cx + k, cy + n / 2 - k); break;
            case DFCS_SCROLLLEFT: p->drawLine(cx - n / 2 + k, cy - k, cx - n / 2 + k, cy + k); break;
            default: p->drawLine(cx + n / 2 - k, cy - k, cx + n / 2 - k, cy + k); break;
            }
        }
    } else if (Type == DFC_CAPTION) {
        switch (State & 0xFF) {
        case DFCS_CAPTIONCLOSE:
            for (int k = 0; k < 2; ++k) {
                p->drawLine(cx - n + k, cy - n, cx + n - 1 + k, cy + n - 1);
                p->drawLine(cx - n + k, cy + n - 1, cx + n - 1 + k, cy - n);
            }
            break;
        case DFCS_CAPTIONMIN: p->fillRect(QRect(cx - n, cy + n - 2, 2 * n, 2), glyph); break;
        case DFCS_CAPTIONMAX:
            p->drawRect(QRect(cx - n, cy - n, 2 * n, 2 * n));
            p->drawLine(cx - n, cy - n + 1, cx + n, cy - n + 1);
            break;
        default:
            p->drawRect(QRect(cx - n + 2, cy - n, 2 * n - 2, 2 * n - 2));
            p->drawRect(QRect(cx - n, cy - n + 2, 2 * n - 2, 2 * n - 2));
            break;
        }
    }
    return true;
}

// ---- blits ---------------------------------------------------------------------

namespace {

// The composition for a source raster operation; fill colour for the ones
// that ignore the source. False: not drawn.
bool blitMode(uint32_t rop, QPainter::CompositionMode& mode)
{
    switch (rop) {
    case SRCPAINT: mode = QPainter::RasterOp_SourceOrDestination; return true;
    case SRCAND: mode = QPainter::RasterOp_SourceAndDestination; return true;
    case SRCINVERT: mode = QPainter::RasterOp_SourceXorDestination; return true;
    case SRCERASE: mode = QPainter::RasterOp_SourceAndNotDestination; return true;
    case NOTSRCCOPY: mode = QPainter::RasterOp_NotSource; return true;
    case NOTSRCERASE: mode = QPainter::RasterOp_NotSourceAndNotDestination; return true;
    case MERGEPAINT: mode = QPainter::RasterOp_NotSourceOrDestination; return true;
    case 0x00220326: mode = QPainter::RasterOp_NotSourceAndDestination; return true;
    case SRCCOPY: mode = QPainter::CompositionMode_Source; return true;
    default: mode = QPainter::CompositionMode_Source; return false;
    }
}

// A ternary raster operation on whole pixels: bit i of the code (P the
// brush, S the source, D the destination; i = 4P + 2S + D) says whether
// that combination gives 1.
uint32_t rop3(uint32_t rop, uint32_t P, uint32_t S, uint32_t D)
{
    const uint32_t code = (rop >> 16) & 0xFF;
    uint32_t r = 0;
    for (uint32_t i = 0; i < 8; ++i)
        if (code & (1u << i))
            r |= ((i & 4) ? P : ~P) & ((i & 2) ? S : ~S) & ((i & 1) ? D : ~D);
    return r;
}

QRgb brushPixel(const TDCBrush& brush, int deviceX, int deviceY)
{
    if (brush.Style == dbsPattern && !brush.Pattern.isNull()) {
        const int w = brush.Pattern.width(), h = brush.Pattern.height();
        return brush.Pattern.pixel(((deviceX % w) + w) % w, ((deviceY % h) + h) % h);
    }
    if (brush.Style == dbsNull)
        return 0;
    return qcolor(brush.Color).rgb();
}

// The blit computed pixel by pixel, for codes Qt has no composition for.
void softwareBlit(HDC dest, const QRect& dstRect, const QImage& source, uint32_t rop, bool whole = false)
{
    QImage* image = dest->Image();
    const TPoint o = dest->Offset();
    const QRect device = dstRect.translated(o.X, o.Y);
    const QRegion area = dest->DeviceClip() & QRegion(device) & QRegion(image->rect());
    const bool rgb32 = image->format() == QImage::Format_RGB32;
    const QRgb alpha = rgb32 && dest->ZeroAlpha() ? 0 : 0xFF000000u;
    const TDCBrush& brush = st(dest).Brush;
    for (const QRect& part : area) {
        for (int y = part.top(); y <= part.bottom(); ++y) {
            auto* line = reinterpret_cast<QRgb*>(image->scanLine(y));
            const auto* src = reinterpret_cast<const QRgb*>(source.constScanLine(y - device.top()));
            for (int x = part.left(); x <= part.right(); ++x) {
                if (whole) {
                    line[x] = rop3(rop, brushPixel(brush, x, y) & 0x00FFFFFFu, src[x - device.left()], line[x]);
                    continue;
                }
                const uint32_t r = rop3(rop, brushPixel(brush, x, y), src[x - device.left()], line[x]);
                line[x] = (r & 0x00FFFFFFu) | alpha;
            }
        }
    }
}

}  // namespace

bool StretchBlt(HDC Dest, int X, int Y, int Width, int Height, HDC Src, int XSrc, int YSrc, int SrcWidth,
                int SrcHeight, uint32_t Rop)
{
    if (Dest == nullptr)
        return false;
    switch (Rop) {
    case BLACKNESS:
    case WHITENESS:
    case DSTINVERT:
    case PATCOPY:
    case PATINVERT:
        return PatBlt(Dest, X, Y, Width, Height, Rop);
    default: break;
    }
    if (Src == nullptr || Src->Image() == nullptr || Src->Image()->isNull() || Width == 0 || Height == 0 ||
        SrcWidth == 0 || SrcHeight == 0)
        return Src != nullptr;
    const TPoint so = Src->Offset();
    QRect srcRect(XSrc + so.X, YSrc + so.Y, SrcWidth, SrcHeight);
    QRect dstRect(X, Y, Width, Height);
    const bool mirrorX = (SrcWidth < 0) != (Width < 0), mirrorY = (SrcHeight < 0) != (Height < 0);
    srcRect = srcRect.normalized();
    dstRect = dstRect.normalized();
    if (srcRect.size() == dstRect.size() && !mirrorX && !mirrorY) {
        // Unscaled: keep only the part of the source that exists.
        const QRect inside = srcRect & Src->Image()->rect();
        if (inside.isEmpty())
            return true;
        dstRect = QRect(dstRect.topLeft() + (inside.topLeft() - srcRect.topLeft()), inside.size());
        srcRect = inside;
    }
    if (Rop == SRCCOPY && Dest->ZeroAlpha() && Dest->Image() != nullptr && srcRect.size() == dstRect.size() &&
        !mirrorX && !mirrorY && Dest->Image()->format() == QImage::Format_RGB32 &&
        Src->Image()->format() == QImage::Format_RGB32) {
        // Between 32-bit device-independent bitmaps a copy moves whole
        // pixels, the fourth byte included (the alpha of stored glyphs).
        const TPoint o = Dest->Offset();
        const QRect device = dstRect.translated(o.X, o.Y);
        const QRegion area = Dest->DeviceClip() & QRegion(device) & QRegion(Dest->Image()->rect());
        const QImage source = Src->Image()->copy(srcRect);  // Src may be Dest
        for (const QRect& r : area)
            for (int y = r.top(); y <= r.bottom(); ++y)
                std::memcpy(Dest->Image()->scanLine(y) + size_t(r.left()) * 4,
                            source.constScanLine(y - device.top()) + size_t(r.left() - device.left()) * 4,
                            size_t(r.width()) * 4);
        return true;
    }
    QImage part = Src->Image()->copy(srcRect);
    if (part.format() != QImage::Format_ARGB32 && part.format() != QImage::Format_ARGB32_Premultiplied)
        part = part.convertToFormat(QImage::Format_RGB32);
    if (Dest->Image() != nullptr && !Dest->Image()->hasAlphaChannel() && part.hasAlphaChannel())
        part = part.convertToFormat(QImage::Format_RGB32);
    if (mirrorX || mirrorY)
        part = part.mirrored(mirrorX, mirrorY);
    QPainter::CompositionMode mode;
    const bool composed = blitMode(Rop, mode);
    if (Rop != SRCCOPY && Dest->ZeroAlpha() && Dest->Image() != nullptr &&
        Dest->Image()->format() == QImage::Format_RGB32) {
        // Raster operations on a 32-bit device-independent bitmap work on
        // whole pixels: the fourth bytes take part (those of other source
        // formats and of the brush are 0).
        const bool rawSource = Src->Image()->format() == QImage::Format_RGB32;
        QImage source = rawSource ? Src->Image()->copy(srcRect) : part.convertToFormat(QImage::Format_RGB32);
        if (mirrorX || mirrorY)
            source = source.mirrored(mirrorX && rawSource, mirrorY && rawSource);
        if (source.size() != dstRect.size())
            source = source.scaled(dstRect.size());
        if (!rawSource)
            for (int y = 0; y < source.height(); ++y) {
                auto* line = reinterpret_cast<QRgb*>(source.scanLine(y));
                for (int x = 0; x < source.width(); ++x)
                    line[x] &= 0x00FFFFFFu;
            }
        softwareBlit(Dest, dstRect, source, Rop, true);
        return true;
    }
    if (!composed && Dest->Image() != nullptr &&
        (Dest->Image()->format() == QImage::Format_RGB32 || Dest->Image()->format() == QImage::Format_ARGB32)) {
        if (part.size() != dstRect.size())
            part = part.scaled(dstRect.size());
        softwareBlit(Dest, dstRect, part.convertToFormat(QImage::Format_RGB32), Rop);
        return true;
    }
    DCPainter p(Dest);
    if (!p.active())
        return true;
    p->setCompositionMode(mode);
    p->drawImage(dstRect, part);
    return true;
}

bool BitBlt(HDC Dest, int X, int Y, int Width, int Height, HDC Src, int XSrc, int YSrc, uint32_t Rop)
{
    return StretchBlt(Dest, X, Y, Width, Height, Src, XSrc, YSrc, Width, Height, Rop);
}

void DrawImage(HDC DC, const TRect& R, const QImage& Image)
{
    if (DC == nullptr || Image.isNull() || R.IsEmpty())
        return;
    DCPainter p(DC);
    if (p.active())
        p->drawImage(QRect(R.Left, R.Top, R.Width(), R.Height()), Image);
}

bool MaskBlt(HDC Dest, int X, int Y, int Width, int Height, HDC Src, int XSrc, int YSrc, const QImage& Mask,
             int XMask, int YMask, uint32_t Rop)
{
    if (Dest == nullptr || Src == nullptr || Src->Image() == nullptr || Src->Image()->isNull() || Width <= 0 ||
        Height <= 0)
        return Dest != nullptr && Src != nullptr;
    const TPoint so = Src->Offset();
    const QImage source = Src->Image()->copy(XSrc + so.X, YSrc + so.Y, Width, Height).convertToFormat(
        QImage::Format_ARGB32);
    const int codes[2] = {int((Rop >> 24) & 0xFF), int((Rop >> 16) & 0xFF)};  // mask black, mask white
    QImage composed(Width, Height, QImage::Format_ARGB32);
    for (int y = 0; y < Height; ++y) {
        auto* out = reinterpret_cast<QRgb*>(composed.scanLine(y));
        const auto* in = reinterpret_cast<const QRgb*>(source.constScanLine(y));
        for (int x = 0; x < Width; ++x) {
            const bool white = Mask.valid(XMask + x, YMask + y) && qGray(Mask.pixel(XMask + x, YMask + y)) > 127;
            switch (codes[white ? 1 : 0]) {
            case 0xAA: out[x] = 0; break;
            case 0x00: out[x] = qRgb(0, 0, 0); break;
            case 0xFF: out[x] = qRgb(255, 255, 255); break;
            default: out[x] = in[x] | 0xFF000000u; break;
            }
        }
    }
    DCPainter p(Dest);
    if (p.active())
        p->drawImage(X, Y, composed);
    return true;
}
