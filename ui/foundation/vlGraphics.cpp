#include "ui/foundation/vlGraphics.h"

#include <QFontInfo>
#include <algorithm>

#include "platform/graphics/Bitmap.h"
#include "platform/rtl/ClassRegistry.h"
#include "platform/rtl/Startup.h"
#include "ui/foundation/vxCore.h"

// ---- text flags ------------------------------------------------------------------

uint32_t TextFlagsToDrawTextFlags(int AFlags)
{
    uint32_t r = DT_NOPREFIX;
    if (AFlags & vltfRight)
        r |= DT_RIGHT;
    if (AFlags & vltfHCenter)
        r |= DT_CENTER;
    if (AFlags & vltfBottom)
        r |= DT_BOTTOM;
    if (AFlags & vltfVCenter)
        r |= DT_VCENTER;
    if (AFlags & vltfSingleLine)
        r |= DT_SINGLELINE;
    if (AFlags & vltfNoClip)
        r |= DT_NOCLIP;
    if (AFlags & vltfExpandTabs)
        r |= DT_EXPANDTABS;
    if (AFlags & vltfShowPrefix)
        r &= ~uint32_t(DT_NOPREFIX);
    if (AFlags & vltfWordBreak) {
        r |= DT_WORDBREAK;
        if (!(AFlags & vltfNoCharBreak))
            r |= DT_EDITCONTROL;
        else if (AFlags & vltfNoFullWidthCharBreak)
            r |= DT_NOFULLWIDTHCHARBREAK;
    }
    if (AFlags & vltfEndEllipsis)
        r |= DT_END_ELLIPSIS;
    if (AFlags & vltfCalcRect)
        r |= DT_CALCRECT;
    if (AFlags & vltfPathEllipsis)
        r |= DT_PATH_ELLIPSIS;
    return r;
}

// ---- regions ------------------------------------------------------------------

TvlRegion::TvlRegion(const TRect& R) : FHandle(CreateRectRgnIndirect(R)) {}

TvlRegion::TvlRegion(int ALeft, int ATop, int ARight, int ABottom)
    : FHandle(CreateRectRgn(ALeft, ATop, ARight, ABottom))
{
}

std::unique_ptr<TvlRegion> TvlRegion::CreateRoundCorners(const TRect& R, int AWidthEllipse, int AHeightEllipse)
{
    return std::make_unique<TvlRegion>(
        CreateRoundRectRgn(R.Left + 1, R.Top + 1, R.Right, R.Bottom, AWidthEllipse, AHeightEllipse));
}

bool TvlRegion::IsEmpty() const
{
    TRect box;
    return GetRgnBox(FHandle, box) == NULLREGION;
}

void TvlRegion::Combine(const TvlRegion& ARegion, TvlRegionOperation AOperation)
{
    static constexpr int modes[] = {RGN_COPY, RGN_OR, RGN_DIFF, RGN_AND};
    if (AOperation == roSet)
        FHandle = ARegion.FHandle;
    else
        CombineRgn(FHandle, FHandle, ARegion.FHandle, modes[AOperation]);
}

bool TvlRegion::IsEqual(const TvlRegion* ARegion) const
{
    if (ARegion == nullptr)
        return false;
    return (IsEmpty() && ARegion->IsEmpty()) || EqualRgn(FHandle, ARegion->FHandle);
}

void TvlRegion::Offset(int DX, int DY) { OffsetRgn(FHandle, DX, DY); }

bool TvlRegion::PtInRegion(int X, int Y) const { return ::PtInRegion(FHandle, X, Y); }

// ---- canvas -------------------------------------------------------------------

TvlCanvas::TvlCanvas(TCanvas* ACanvas) : FCanvas(ACanvas) {}

TvlCanvas::~TvlCanvas() = default;

TPoint TvlCanvas::GetWindowOrg() const
{
    TPoint p;
    GetWindowOrgEx(Handle(), p);
    return p;
}

TPoint TvlCanvas::GetViewportOrg() const
{
    TPoint p;
    GetViewportOrgEx(Handle(), p);
    return p;
}

void TvlCanvas::SetWindowOrg(const TPoint& P) { SetWindowOrgEx(Handle(), P.X, P.Y); }

TPoint TvlCanvas::GetDCOrigin() const
{
    const TPoint w = GetWindowOrg(), v = GetViewportOrg();
    return {v.X - w.X, v.Y - w.Y};
}

void TvlCanvas::SetBrushColor(TColor Value)
{
    if (Brush()->Color() != Value)
        Brush()->SetColor(Value);
}

void TvlCanvas::GetParams(TvlViewParams& AParams) const
{
    AParams.Color = Brush()->Color();
    AParams.Font = Font();
    AParams.TextColor = Font()->Color();
}

void TvlCanvas::SetParams(const TvlViewParams& AParams)
{
    SetBrushColor(AParams.Color);
    if (AParams.Font != nullptr)
        SetFont(AParams.Font);
    Font()->SetColor(AParams.TextColor);
}

void TvlCanvas::FillRectByColor(const TRect& R, TColor AColor)
{
    if (AColor == clNone)
        return;
    if (AColor != clDefault)
        SetBrushColor(AColor);
    FillRect(R);
}

namespace {

// Floor division: tile cells left of and above the origin count too.
int floorDiv(int a, int b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0)) ? 1 : 0); }

}  // namespace

void TvlCanvas::FillRect(const TRect& R, const TBitmap* ABitmap, bool AExcludeRect)
{
    if (R.IsEmpty())
        return;
    if (ABitmap != nullptr && !ABitmap->Empty()) {
        const int w = ABitmap->Width(), h = ABitmap->Height();
        QImage tile = ABitmap->Image();
        TDeviceContext source(&tile);
        for (int row = floorDiv(R.Top, h); row * h < R.Bottom; ++row)
            for (int col = floorDiv(R.Left, w); col * w < R.Right; ++col) {
                const TRect cell = Bounds(col * w, row * h, w, h);
                TRect part;
                if (!IntersectRect(part, cell, R))
                    continue;
                TRect sourceRect = part;
                OffsetRect(sourceRect, -cell.Left, -cell.Top);
                StretchBlt(Handle(), part.Left, part.Top, part.Width(), part.Height(), &source, sourceRect.Left,
                           sourceRect.Top, sourceRect.Width(), sourceRect.Height(), CopyMode());
            }
    } else {
        FCanvas->FillRect(R);
    }
    if (AExcludeRect)
        SetClipRegion(std::make_unique<TvlRegion>(R), roSubtract);
}

void TvlCanvas::FrameRect(const TRect& R, TColor AColor, int ALineWidth, TvlBorders ABorders, bool AExcludeFrame)
{
    if (R.IsEmpty())
        return;
    if (AColor != clDefault)
        SetBrushColor(AColor);
    if (ABorders.Contains(bLeft))
        FillRect(Rect(R.Left, R.Top, std::min(R.Left + ALineWidth, R.Right), R.Bottom), nullptr, AExcludeFrame);
    if (ABorders.Contains(bRight))
        FillRect(Rect(std::max(R.Right - ALineWidth, R.Left), R.Top, R.Right, R.Bottom), nullptr, AExcludeFrame);
    if (ABorders.Contains(bTop))
        FillRect(Rect(R.Left, R.Top, R.Right, std::min(R.Top + ALineWidth, R.Bottom)), nullptr, AExcludeFrame);
    if (ABorders.Contains(bBottom))
        FillRect(Rect(R.Left, std::max(R.Bottom - ALineWidth, R.Top), R.Right, R.Bottom), nullptr, AExcludeFrame);
}

void TvlCanvas::DrawComplexFrame(const TRect& R, TColor ALeftTopColor, TColor ARightBottomColor, TvlBorders ABorders,
                                 int ABorderWidth)
{
    if (ABorders.Contains(bLeft))
        FillRectByColor(Rect(R.Left, R.Top, R.Left + ABorderWidth, R.Bottom), ALeftTopColor);
    if (ABorders.Contains(bTop))
        FillRectByColor(Rect(R.Left, R.Top, R.Right, R.Top + ABorderWidth), ALeftTopColor);
    if (ABorders.Contains(bRight))
        FillRectByColor(Rect(R.Right - ABorderWidth, R.Top, R.Right, R.Bottom), ARightBottomColor);
    if (ABorders.Contains(bBottom))
        FillRectByColor(Rect(R.Left, R.Bottom - ABorderWidth, R.Right, R.Bottom), ARightBottomColor);
}

void TvlCanvas::DrawEdge(const TRect& R, bool ASunken, bool AOuter, TvlBorders ABorders)
{
    TColor lt, rb;
    if (ASunken) {
        lt = AOuter ? clBtnShadow : cl3DDkShadow;
        rb = AOuter ? clBtnHighlight : cl3DLight;
    } else {
        lt = AOuter ? cl3DLight : clBtnHighlight;
        rb = AOuter ? cl3DDkShadow : clBtnShadow;
    }
    DrawComplexFrame(R, lt, rb, ABorders, 1);
}

void TvlCanvas::FillRectWithParams(const TRect& R, const TvlViewParams& AParams, TvlBorders ABorders,
                                   TColor ABorderColor, int ABorderWidth, bool AExcludeRect)
{
    FrameRect(R, ABorderColor, ABorderWidth, ABorders, AExcludeRect);
    TRect r = R;
    if (ABorders.Contains(bLeft))
        r.Left += ABorderWidth;
    if (ABorders.Contains(bTop))
        r.Top += ABorderWidth;
    if (ABorders.Contains(bRight))
        r.Right -= ABorderWidth;
    if (ABorders.Contains(bBottom))
        r.Bottom -= ABorderWidth;
    SetBrushColor(AParams.Color);
    FillRect(r, AParams.Bitmap, AExcludeRect);
}

void TvlCanvas::DrawFocusRect(const TRect& R)
{
    SetBrushColor(clWhite);
    Font()->SetColor(clBlack);
    ::DrawFocusRect(textHandle(), R);
}

void TvlCanvas::DrawFocusRectOfWidth(const TRect& R, int AWidth)
{
    TRect r = R;
    for (int i = 0; i < AWidth; ++i) {
        DrawFocusRect(r);
        InflateRect(r, -1, -1);
    }
}

void TvlCanvas::InvertRect(const TRect& R)
{
    SetCopyMode(DSTINVERT);
    CopyRect(R, FCanvas, R);
    SetCopyMode(SRCCOPY);
}

void TvlCanvas::FillRegion(const TRegion& ARegion, TColor AColor)
{
    SetBrushColor(AColor);
    FillRgn(Handle(), ARegion, Brush()->DCBrush());
}

void TvlCanvas::FrameRegion(const TRegion& ARegion, TColor AColor, int ABorderWidth, int ABorderHeight)
{
    SetBrushColor(AColor);
    FrameRgn(Handle(), ARegion, Brush()->DCBrush(), ABorderWidth, ABorderHeight);
}

void TvlCanvas::DrawRegion(const TvlRegion& ARegion, TColor AContentColor, TColor ABorderColor, int ABorderWidth,
                           int ABorderHeight)
{
    FillRegion(ARegion.Handle(), AContentColor);
    FrameRegion(ARegion.Handle(), ABorderColor, ABorderWidth, ABorderHeight);
}

HDC TvlCanvas::textHandle() const
{
    HDC dc = Handle();
    dc->SetFont(Font()->QtFont());
    dc->SetEscapement(Font()->Orientation());
    ::SetTextColor(dc, Font()->Color());
    return dc;
}

TSize TvlCanvas::TextExtent(const String& AText)
{
    TSize size;
    GetTextExtentPoint32(textHandle(), AText, size);
    return size;
}

int TvlCanvas::FontHeight(const TFont* AFont)
{
    SetFont(AFont);
    return TextHeight(QStringLiteral("Qq"));
}

void TvlCanvas::TextExtentInRect(const String& AText, TRect& R, int AFlags)
{
    const int w0 = R.Width(), h0 = R.Height();
    const uint32_t flags = (TextFlagsToDrawTextFlags(AFlags) & ~uint32_t(DT_VCENTER)) | DT_CALCRECT;
    if (w0 <= 0 && !AText.isEmpty())
        R.Right = R.Left + 1;
    if (DrawTextOnDC(textHandle(), AText, R, flags) == 0 && !AText.isEmpty()) {
        R = Rect(R.Left, R.Top, R.Left, R.Top);
        return;
    }
    const int w = R.Width(), h = R.Height();
    int dx = 0, dy = 0;
    if (AFlags & vltfHCenter)
        dx = (w0 - w) / 2;
    else if (AFlags & vltfRight)
        dx = w0 - w;
    if (AFlags & vltfVCenter)
        dy = (h0 - h) / 2;
    else if (AFlags & vltfBottom)
        dy = h0 - h;
    OffsetRect(R, dx, dy);
}

void TvlCanvas::DrawText(const String& AText, const TRect& R, int AFlags, bool AEnabled)
{
    DrawTextWithAngle(AText, R, AFlags, AEnabled, ra0);
}

void TvlCanvas::DrawTextWithAngle(const String& AText, const TRect& R, int AFlags, bool AEnabled,
                                  TvlRotationAngle AAngle)
{
    if (AText.isEmpty())
        return;
    TRect r = R;
    const bool useDrawText = !(AFlags & vltfSingleLine) || AAngle != ra0 ||
                             (AFlags & (vltfShowPrefix | vltfEndEllipsis | vltfPathEllipsis));
    const TSize extent = TextExtent(AText);
    if (extent.cx <= r.Width() && extent.cy <= r.Height())
        AFlags |= vltfNoClip;
    uint32_t format = 0;
    TPoint at{r.Left, r.Top};
    const int d = AEnabled ? 0 : 1;
    if (useDrawText) {
        const bool multiLine = !(AFlags & vltfSingleLine);
        if (multiLine && (AFlags & (vltfBottom | vltfVCenter)))
            AlignMultiLineTextRectVertically(r, AText, AFlags & vltfBottom, AFlags & vltfWordBreak,
                                             AFlags & vltfShowPrefix, AEnabled, AFlags & vltfEndEllipsis,
                                             AFlags & vltfNoCharBreak);
        format = TextFlagsToDrawTextFlags(AFlags);
    } else {
        if (extent.cx < r.Width()) {
            if (AFlags & vltfRight)
                at.X = r.Right - extent.cx - d;
            else if (AFlags & vltfHCenter)
                at.X = (r.Left + r.Right - extent.cx) / 2;
        }
        if (extent.cy < r.Height()) {
            if (AFlags & vltfBottom)
                at.Y = r.Bottom - extent.cy - d;
            else if (AFlags & vltfVCenter)
                at.Y = (r.Top + r.Bottom - extent.cy) / 2;
        }
    }
    const TBrushStyle oldStyle = Brush()->Style();
    const TColor oldColor = Font()->Color();
    auto draw = [&](const TRect& where, TPoint point) {
        if (useDrawText) {
            DrawRotatedText(this, AText, where, format, clDefault, AAngle);
        } else {
            HDC dc = textHandle();
            const bool clear = Brush()->Style() == bsClear;
            const int oldMode = SetBkMode(dc, clear ? TRANSPARENT : OPAQUE);
            const TColor oldBk = SetBkColor(dc, Brush()->Color());
            const TRect clip{point.X, point.Y, where.Right, where.Bottom};
            ExtTextOut(dc, point.X, point.Y, (AFlags & vltfNoClip) ? 0u : uint32_t(ETO_CLIPPED), &clip, AText);
            SetBkColor(dc, oldBk);
            SetBkMode(dc, oldMode);
        }
    };
    if (!AEnabled) {
        Brush()->SetStyle(bsClear);
        Font()->SetColor(clBtnHighlight);
        TRect shifted = r;
        OffsetRect(shifted, 1, 1);
        draw(shifted, TPoint{at.X + 1, at.Y + 1});
        Font()->SetColor(clBtnShadow);
    }
    draw(r, at);
    if (Brush()->Style() != oldStyle)
        Brush()->SetStyle(oldStyle);
    Font()->SetColor(oldColor);
}

void TvlCanvas::SetFontAngle(int ADegrees) { Font()->SetOrientation(ADegrees * 10); }

void TvlCanvas::AlignMultiLineTextRectVertically(TRect& R, const String& AText, bool AAlignBottom, bool AWordBreak,
                                                 bool AShowPrefix, bool AEnabled, bool AEndEllipsis,
                                                 bool ANoCharBreak)
{
    const int d = AEnabled ? 0 : 1;
    int h;
    if (AEndEllipsis && AWordBreak) {
        const int row = TextHeight(QStringLiteral("Wg"));
        h = std::max(1, (R.Height() - d) / std::max(1, row)) * row;
    } else {
        TRect r0 = Rect(0, 0, R.Width() - d, 0);
        int flags = vltfLeft | vltfTop;
        if (AWordBreak)
            flags |= vltfWordBreak;
        if (AShowPrefix)
            flags |= vltfShowPrefix;
        if (ANoCharBreak)
            flags |= vltfNoCharBreak;
        TextExtentInRect(AText, r0, flags);
        h = r0.Height();
    }
    if (AAlignBottom)
        R.Top = R.Bottom - (h + d);
    else
        R.Top = (R.Top + R.Bottom - h) / 2;
}

void TvlCanvas::RotateBitmap(TBitmap* ABitmap, TvlRotationAngle AAngle, bool AMirror)
{
    if (ABitmap == nullptr || (AAngle == ra0 && !AMirror))
        return;
    TRGBColors src;
    if (!ReadBitmapColors(ABitmap, src, true))
        return;
    const int w = ABitmap->Width(), h = ABitmap->Height();
    const bool turned = AAngle == raPlus90 || AAngle == raMinus90;
    const int nw = turned ? h : w;
    TRGBColors dst(src.size());
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            int tx = x, ty = y;
            switch (AAngle) {
            case ra0: ty = h - 1 - y; break;  // only with mirror
            case raPlus90: tx = y; ty = AMirror ? x : w - 1 - x; break;
            case raMinus90: tx = h - 1 - y; ty = AMirror ? w - 1 - x : x; break;
            case ra180: tx = w - 1 - x; ty = AMirror ? y : h - 1 - y; break;
            }
            dst[size_t(ty) * size_t(nw) + size_t(tx)] = src[size_t(y) * size_t(w) + size_t(x)];
        }
    if (turned)
        ABitmap->SetSize(h, w);
    WriteBitmapColors(ABitmap, dst, true);
}

void TvlCanvas::ExcludeClipRect(const TRect& R) { ::ExcludeClipRect(Handle(), R.Left, R.Top, R.Right, R.Bottom); }

void TvlCanvas::IntersectClipRect(const TRect& R) { ::IntersectClipRect(Handle(), R.Left, R.Top, R.Right, R.Bottom); }

std::unique_ptr<TvlRegion> TvlCanvas::GetClipRegion(bool AConsiderOrigin) const
{
    auto region = std::make_unique<TvlRegion>();
    if (GetClipRgn(Handle(), region->Handle()) != 1)
        region->Handle() = CreateRectRgn(0, 0, 30000, 30000);
    if (AConsiderOrigin) {
        const TPoint o = GetDCOrigin();
        region->Offset(-o.X, -o.Y);
    }
    return region;
}

void TvlCanvas::setClip(TvlRegion& ARegion, TvlRegionOperation AOperation, bool AConsiderOrigin)
{
    if (AOperation != roSet) {
        auto combined = GetClipRegion(AConsiderOrigin);
        combined->Combine(ARegion, AOperation);
        setClip(*combined, roSet, AConsiderOrigin);
        return;
    }
    TRegion device = ARegion.Handle();
    if (AConsiderOrigin) {
        const TPoint o = GetDCOrigin();
        OffsetRgn(device, o.X, o.Y);
    }
    SelectClipRgn(Handle(), &device);
}

void TvlCanvas::SetClipRegion(std::unique_ptr<TvlRegion> ARegion, TvlRegionOperation AOperation,
                              bool AConsiderOrigin)
{
    if (ARegion != nullptr)
        setClip(*ARegion, AOperation, AConsiderOrigin);
}

void TvlCanvas::SetClipRegion(TvlRegion& ARegion, TvlRegionOperation AOperation, bool AConsiderOrigin)
{
    setClip(ARegion, AOperation, AConsiderOrigin);
}

void TvlCanvas::SaveClipRegion() { FSavedRegions.push_back(GetClipRegion(true)); }

void TvlCanvas::RestoreClipRegion()
{
    if (FSavedRegions.empty())
        return;
    std::unique_ptr<TvlRegion> region = std::move(FSavedRegions.back());
    FSavedRegions.pop_back();
    SetClipRegion(std::move(region), roSet, true);
}

std::unique_ptr<TvlRegion> TvlCanvas::PathToRegion(bool AConsiderOrigin)
{
    TRegion rgn;
    if (!::PathToRegion(Handle(), rgn))
        return nullptr;
    auto region = std::make_unique<TvlRegion>(rgn);
    if (AConsiderOrigin) {
        const TPoint o = GetDCOrigin();
        region->Offset(-o.X, -o.Y);
    }
    return region;
}

void TvlCanvas::SaveDC()
{
    FCanvas->Lock();
    HDC h = Handle();
    FDCStates.push_back({h, ::SaveDC(h)});
}

void TvlCanvas::RestoreDC()
{
    if (FDCStates.empty())
        return;
    const TDCState s = FDCStates.back();
    if (FCanvas->HandleAllocated() ? FCanvas->Handle() != s.Handle : true)
        FCanvas->SetHandle(s.Handle);
    ::RestoreDC(s.Handle, s.SavedIndex);
    FDCStates.pop_back();
    FCanvas->Unlock();
}

void TvlCanvas::SaveState()
{
    // Our canvases select their objects into the context as they draw, so
    // the context is brought up to the canvas, not the other way round.
    HDC dc = textHandle();
    dc->SetBrush(Brush()->DCBrush());
    dc->SetPen(Pen()->DCPen());
    SaveDC();
    TObjectsState s{std::make_unique<TFont>(), std::make_unique<TBrush>(), std::make_unique<TPen>()};
    s.Font->Assign(Font());
    s.Brush->Assign(Brush());
    s.Pen->Assign(Pen());
    FStates.push_back(std::move(s));
}

void TvlCanvas::RestoreState()
{
    if (FStates.empty())
        return;
    TObjectsState s = std::move(FStates.back());
    FStates.pop_back();
    Font()->Assign(s.Font.get());
    Brush()->Assign(s.Brush.get());
    Pen()->Assign(s.Pen.get());
    RestoreDC();
}

void TvlCanvas::SynchronizeObjects(HDC ADC)
{
    if (ADC == nullptr)
        return;
    const QFont& f = ADC->Font();
    TFont font;
    font.SetName(f.family());
    if (f.pixelSize() > 0)
        font.SetHeight(-f.pixelSize());
    TFontStyles style;
    if (f.bold())
        style.Include(fsBold);
    if (f.italic())
        style.Include(fsItalic);
    if (f.underline())
        style.Include(fsUnderline);
    if (f.strikeOut())
        style.Include(fsStrikeOut);
    font.SetStyle(style);
    font.SetColor(GetTextColor(ADC));
    Font()->Assign(&font);

    const TDCBrush& b = ADC->Brush();
    static constexpr TBrushStyle brushStyles[] = {bsSolid, bsClear, bsHorizontal, bsVertical, bsFDiagonal,
                                                  bsBDiagonal, bsCross, bsDiagCross, bsSolid};
    Brush()->SetColor(b.Color);
    Brush()->SetStyle(brushStyles[b.Style]);

    const TDCPen& p = ADC->Pen();
    static constexpr TPenStyle penStyles[] = {psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear,
                                              psInsideFrame};
    Pen()->SetColor(p.Color);
    Pen()->SetStyle(penStyles[p.Style]);
    Pen()->SetWidth(p.Width);
    static constexpr int rops[] = {R2_BLACK, R2_WHITE, R2_NOP, R2_NOT, R2_COPYPEN, R2_NOTCOPYPEN,
                                   R2_MERGEPENNOT, R2_MASKPENNOT, R2_MERGENOTPEN, R2_MASKNOTPEN,
                                   R2_MERGEPEN, R2_NOTMERGEPEN, R2_MASKPEN, R2_NOTMASKPEN, R2_XORPEN,
                                   R2_NOTXORPEN};
    const int rop = GetROP2(ADC);
    TPenMode mode = pmCopy;
    for (int i = 0; i < 16; ++i)
        if (rops[i] == rop)
            mode = TPenMode(i);
    Pen()->SetMode(mode);
}

// ---- screen and paint canvases --------------------------------------------------------

namespace {

// A canvas over a context the screen canvas makes on demand.
class TScreenCanvas : public TCanvas {
public:
    explicit TScreenCanvas(std::unique_ptr<TDeviceContext>& dc) : FDC(dc) {}

protected:
    void CreateHandle() override
    {
        if (FDC == nullptr)
            FDC = std::make_unique<TDeviceContext>(nullptr);
        SetHandle(FDC.get());
    }

private:
    std::unique_ptr<TDeviceContext>& FDC;
};

struct TGlobalCanvases {
    std::unique_ptr<TvlScreenCanvas> Screen;
    std::unique_ptr<TvlPaintCanvas> Paint;
    bool Finalized = false;
    TSize PixelsPerInch{96, 96};
};

// The unit's process-wide canvases (main thread only).
TGlobalCanvases& globals()
{
    static TGlobalCanvases g;
    return g;
}

}  // namespace

TvlScreenCanvas::TvlScreenCanvas() : TvlCanvas(nullptr)
{
    FScreenCanvas = std::make_unique<TScreenCanvas>(FDC);
    SetCanvas(FScreenCanvas.get());
}

TvlScreenCanvas::~TvlScreenCanvas() { Dormant(); }

void TvlScreenCanvas::Dormant()
{
    FScreenCanvas->SetHandle(nullptr);
    FDC.reset();
}

TvlPaintCanvas::TvlPaintCanvas() : TvlCanvas(nullptr)
{
    FPaintCanvas = std::make_unique<TCanvas>();
    SetCanvas(FPaintCanvas.get());
}

TvlPaintCanvas::~TvlPaintCanvas()
{
    while (!FStates.empty())
        EndPaint();
}

void TvlPaintCanvas::BeginPaint(HDC ADC)
{
    TPaintState s{nullptr, ADC, 0};
    if (FPaintCanvas->HandleAllocated()) {
        SaveState();
        s.PrevHandle = FPaintCanvas->Handle();
    }
    s.SavedIndex = ::SaveDC(ADC);
    FStates.push_back(s);
    SynchronizeObjects(ADC);
    FPaintCanvas->SetHandle(ADC);
}

void TvlPaintCanvas::EndPaint()
{
    if (FStates.empty())
        return;
    const TPaintState s = FStates.back();
    FStates.pop_back();
    FPaintCanvas->SetHandle(s.PrevHandle);
    ::RestoreDC(s.DC, s.SavedIndex);
    if (FPaintCanvas->HandleAllocated())
        RestoreState();
}

TvlScreenCanvas* GetScreenCanvas()
{
    TGlobalCanvases& g = globals();
    if (g.Finalized)
        return nullptr;
    if (g.Screen == nullptr)
        g.Screen = std::make_unique<TvlScreenCanvas>();
    return g.Screen.get();
}

TvlPaintCanvas* GetPaintCanvas()
{
    TGlobalCanvases& g = globals();
    if (g.Finalized)
        return nullptr;
    if (g.Paint == nullptr)
        g.Paint = std::make_unique<TvlPaintCanvas>();
    return g.Paint.get();
}

bool IsvlGraphicsFinalized() { return globals().Finalized; }

void AddvlGraphicsUnit(TStartupList& AList)
{
    AList.Add(
        QStringLiteral("vlGraphics"),
        [] {
            TGlobalCanvases& g = globals();
            g.Finalized = false;
            TDeviceContext screen(nullptr);
            g.PixelsPerInch = {GetDeviceCaps(&screen, LOGPIXELSX), GetDeviceCaps(&screen, LOGPIXELSY)};
            RegisterClass(&TvlBitmap::StaticClassInfo(), [](TComponent*) { return new TvlBitmap; });
            RegisterClass(&TvlBitmap32::StaticClassInfo(), [](TComponent*) { return new TvlBitmap32; });
        },
        [] {
            TGlobalCanvases& g = globals();
            g.Finalized = true;
            g.Screen.reset();
            g.Paint.reset();
            FreeImageDrawingCache();
            UnRegisterClass(&TvlBitmap32::StaticClassInfo());
            UnRegisterClass(&TvlBitmap::StaticClassInfo());
        });
}

TSize GetScreenPixelsPerInch() { return globals().PixelsPerInch; }

// ---- text on a DC -----------------------------------------------------------------

int DrawTextOnDC(HDC ADC, const String& AText, TRect& R, uint32_t AFormat, int ACount, TColor ATextColor,
                 int ABkMode)
{
    TColor oldColor = clDefault;
    if (ATextColor != clDefault)
        oldColor = SetTextColor(ADC, ColorToRGB(ATextColor));
    const int oldMode = SetBkMode(ADC, ABkMode);
    const int result = ::DrawText(ADC, ACount < 0 ? AText : AText.left(ACount), R, AFormat);
    SetBkMode(ADC, oldMode);
    if (ATextColor != clDefault)
        SetTextColor(ADC, oldColor);
    return result;
}

int DrawTextOnCanvas(TCanvas* ACanvas, const String& AText, TRect& R, uint32_t AFormat, TColor ATextColor)
{
    HDC dc = ACanvas->Handle();
    dc->SetFont(ACanvas->Font()->QtFont());
    dc->SetEscapement(ACanvas->Font()->Orientation());
    SetTextColor(dc, ACanvas->Font()->Color());
    return DrawTextOnDC(dc, AText, R, AFormat, -1, ATextColor, TRANSPARENT);
}

int DrawRotatedText(TvlCanvas* ACanvas, const String& AText, TRect R, uint32_t AFormat, TColor ATextColor,
                    TvlRotationAngle AAngle)
{
    if (AAngle == ra0)
        return DrawTextOnCanvas(ACanvas->Canvas(), AText, R, AFormat, ATextColor);
    // Drawn upright on a copy of the pixels turned back, then turned into place.
    TvlBitmap bitmap(R.Width(), R.Height(), pf32bit);
    if (bitmap.Empty())
        return 0;
    BitBlt(bitmap.Canvas()->Handle(), 0, 0, R.Width(), R.Height(), ACanvas->Handle(), R.Left, R.Top, SRCCOPY);
    static constexpr TvlRotationAngle inverse[] = {ra0, raMinus90, raPlus90, ra180};
    TvlCanvas::RotateBitmap(&bitmap, inverse[AAngle]);
    bitmap.Canvas()->SetFont(ACanvas->Font());
    TRect client = Rect(0, 0, bitmap.Width(), bitmap.Height());
    const int result = DrawTextOnCanvas(bitmap.Canvas(), AText, client, AFormat, ATextColor);
    TvlCanvas::RotateBitmap(&bitmap, AAngle);
    BitBlt(ACanvas->Handle(), R.Left, R.Top, R.Width(), R.Height(), bitmap.Canvas()->Handle(), 0, 0, SRCCOPY);
    return result;
}
