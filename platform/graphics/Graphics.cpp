#include "platform/graphics/Graphics.h"

#include <QFileInfo>
#include <QFontMetrics>
#include <algorithm>
#include <cmath>
#include <functional>
#include <unordered_map>
#include <vector>

#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Jpeg.h"
#include "platform/graphics/PngImage.h"
#include "platform/rtl/Format.h"

namespace {
constexpr const char* fontStyleNames[] = {"fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"};
constexpr const char* fontPitchNames[] = {"fpDefault", "fpVariable", "fpFixed"};
constexpr const char* fontQualityNames[] = {"fqDefault", "fqDraft", "fqProof", "fqNonAntialiased",
                                            "fqAntialiased", "fqClearType", "fqClearTypeNatural"};
constexpr const char* penStyleNames[] = {"psSolid", "psDash", "psDot", "psDashDot", "psDashDotDot", "psClear",
                                         "psInsideFrame"};
constexpr const char* penModeNames[] = {"pmBlack", "pmWhite", "pmNop", "pmNot", "pmCopy", "pmNotCopy",
                                        "pmMergePenNot", "pmMaskPenNot", "pmMergeNotPen", "pmMaskNotPen",
                                        "pmMerge", "pmNotMerge", "pmMask", "pmNotMask", "pmXor", "pmNotXor"};
constexpr const char* brushStyleNames[] = {"bsSolid", "bsClear", "bsHorizontal", "bsVertical",
                                           "bsFDiagonal", "bsBDiagonal", "bsCross", "bsDiagCross"};
}  // namespace

const TEnumInfo TFontStyleInfo{"TFontStyle", fontStyleNames};
const TEnumInfo TFontPitchInfo{"TFontPitch", fontPitchNames};
const TEnumInfo TFontQualityInfo{"TFontQuality", fontQualityNames};
const TEnumInfo TPenStyleInfo{"TPenStyle", penStyleNames};
const TEnumInfo TPenModeInfo{"TPenMode", penModeNames};
const TEnumInfo TBrushStyleInfo{"TBrushStyle", brushStyleNames};

void TGraphicsObject::Changed()
{
    if (OnChange.Assigned())
        OnChange(this);
}

// ---- handles --------------------------------------------------------------------

namespace {

// The live handles of graphics objects. Bitmaps are made and freed in the
// engine's threads too, so the table is locked.
struct TGdiHandleTable {
    std::mutex Lock;
    std::unordered_map<uintptr_t, const TPersistent*> Objects;
    uintptr_t NextId = 0x2000;
};

TGdiHandleTable& gdiHandles()
{
    static TGdiHandleTable instance;
    return instance;
}

}  // namespace

TGdiHandle::~TGdiHandle()
{
    // Most objects are never asked for a handle: they take no lock. (Asking
    // while another thread frees the object is the caller's fault anyway.)
    if (FId == 0)
        return;
    auto& t = gdiHandles();
    const std::lock_guard guard(t.Lock);
    t.Objects.erase(FId);
}

uintptr_t TGdiHandle::Get() const
{
    auto& t = gdiHandles();
    const std::lock_guard guard(t.Lock);
    if (FId == 0) {
        t.NextId += 4;
        FId = t.NextId;
        t.Objects.emplace(FId, FObject);
    }
    return FId;
}

bool WithGdiObject(uintptr_t AHandle, const std::function<bool(const TPersistent&)>& AFill)
{
    auto& t = gdiHandles();
    const std::lock_guard guard(t.Lock);
    const auto it = t.Objects.find(AHandle);
    return it != t.Objects.end() && AFill(*it->second);
}

namespace {

// Fill with the object the handle names when it is a T.
template <class T, class F>
bool withObjectOf(const void* handle, F fill)
{
    return WithGdiObject(reinterpret_cast<uintptr_t>(handle), [&](const TPersistent& object) {
        const auto* typed = dynamic_cast<const T*>(&object);
        if (typed == nullptr)
            return false;
        fill(*typed);
        return true;
    });
}

}  // namespace

bool GetObject(HFONT Font, LOGFONTW& LogFont)
{
    return withObjectOf<TFont>(Font, [&](const TFont& f) {
        const TFont* font = &f;
        LOGFONTW lf;
        lf.lfHeight = font->Height();
        lf.lfEscapement = font->Orientation();
        lf.lfOrientation = font->Orientation();
        lf.lfWeight = font->Style().Contains(fsBold) ? FW_BOLD : FW_NORMAL;
        lf.lfItalic = font->Style().Contains(fsItalic) ? 1 : 0;
        lf.lfUnderline = font->Style().Contains(fsUnderline) ? 1 : 0;
        lf.lfStrikeOut = font->Style().Contains(fsStrikeOut) ? 1 : 0;
        lf.lfCharSet = font->Charset();
        lf.lfOutPrecision = OUT_DEFAULT_PRECIS;
        lf.lfQuality = uint8_t(font->Quality());  // the same order as the QUALITY values
        static constexpr uint8_t pitches[] = {DEFAULT_PITCH, VARIABLE_PITCH, FIXED_PITCH};
        lf.lfPitchAndFamily = pitches[font->Pitch()];
        const String& name = font->Name();
        const qsizetype n = std::min<qsizetype>(name.size(), std::size(lf.lfFaceName) - 1);
        for (qsizetype i = 0; i < n; ++i)
            lf.lfFaceName[i] = name[i].unicode();
        LogFont = lf;
    });
}

bool GetObject(HPEN Pen, LOGPEN& LogPen)
{
    return withObjectOf<TPen>(Pen, [&](const TPen& pen) {
        LogPen.lopnStyle = uint32_t(pen.Style());  // the same order as the PS_ values
        LogPen.lopnWidth = TPoint{pen.Width(), 0};
        LogPen.lopnColor = ColorToRGB(pen.Color());
    });
}

bool GetObject(HBRUSH Brush, LOGBRUSH& LogBrush)
{
    return withObjectOf<TBrush>(Brush, [&](const TBrush& b) {
        const TBrush* brush = &b;
        LOGBRUSH lb;
        lb.lbColor = ColorToRGB(brush->Color());
        if (brush->HasBitmap())
            lb.lbStyle = BS_PATTERN;
        else if (brush->Style() == bsSolid)
            lb.lbStyle = BS_SOLID;
        else if (brush->Style() == bsClear)
            lb.lbStyle = BS_NULL;
        else {
            lb.lbStyle = BS_HATCHED;
            lb.lbHatch = uintptr_t(brush->Style() - bsHorizontal);
        }
        LogBrush = lb;
    });
}

// ---- TFont -------------------------------------------------------------------

const TClassInfo* TFont::ClassInfo() const
{
    return &StaticClassInfo();
}

const TClassInfo& TFont::StaticClassInfo()
{
    static const TClassInfo info = TClassInfoBuilder<TFont>("TFont")
                                       .Int("Charset", &TFont::Charset, &TFont::SetCharset, DEFAULT_CHARSET)
                                       .Int("Color", &TFont::Color, &TFont::SetColor, clWindowText)
                                       .Int("Height", &TFont::Height, &TFont::SetHeight)
                                       .Str("Name", &TFont::Name, &TFont::SetName)
                                       .Int("Orientation", &TFont::Orientation, &TFont::SetOrientation, 0)
                                       .Enum("Pitch", TFontPitchInfo, &TFont::Pitch, &TFont::SetPitch, fpDefault)
                                       .Enum("Quality", TFontQualityInfo, &TFont::Quality, &TFont::SetQuality,
                                             fqDefault)
                                       .Int("Size", &TFont::Size, &TFont::SetSize)
                                       .Set("Style", TFontStyleInfo, &TFont::Style, &TFont::SetStyle,
                                            TFontStyles{})
                                       .Build();
    return info;
}

void TFont::Assign(const TPersistent* Source)
{
    if (const auto* f = dynamic_cast<const TFont*>(Source)) {
        if (f == this)
            return;
        FName = f->FName;
        FHeight = f->FHeight;
        FStyle = f->FStyle;
        FColor = f->FColor;
        FPitch = f->FPitch;
        FCharset = f->FCharset;
        FQuality = f->FQuality;
        FOrientation = f->FOrientation;
        Changed();
        return;
    }
    TGraphicsObject::Assign(Source);
}

void TFont::SetHeight(int Value)
{
    if (Value == FHeight)
        return;
    FHeight = Value;
    Changed();
}

int TFont::Size() const
{
    return -MulDiv(FHeight, 72, PixelsPerInch());
}

void TFont::SetSize(int Value)
{
    SetHeight(-MulDiv(Value, PixelsPerInch(), 72));
}

void TFont::SetName(const String& Value)
{
    if (Value == FName || Value.isEmpty())
        return;
    FName = Value;
    Changed();
}

void TFont::SetStyle(TFontStyles Value)
{
    if (Value == FStyle)
        return;
    FStyle = Value;
    Changed();
}

void TFont::SetColor(TColor Value)
{
    if (Value == FColor)
        return;
    FColor = Value;
    Changed();
}

void TFont::SetPitch(TFontPitch Value)
{
    if (Value == FPitch)
        return;
    FPitch = Value;
    Changed();
}

void TFont::SetCharset(TFontCharset Value)
{
    if (Value == FCharset)
        return;
    FCharset = Value;
    Changed();
}

void TFont::SetQuality(TFontQuality Value)
{
    if (Value == FQuality)
        return;
    FQuality = Value;
    Changed();
}

void TFont::SetOrientation(int Value)
{
    if (Value == FOrientation)
        return;
    FOrientation = Value;
    Changed();
}

QFont TFont::QtFont() const
{
    QFont f(FName);
    f.setBold(FStyle.Contains(fsBold));
    f.setItalic(FStyle.Contains(fsItalic));
    f.setUnderline(FStyle.Contains(fsUnderline));
    f.setStrikeOut(FStyle.Contains(fsStrikeOut));
    if (FPitch == fpFixed) {
        f.setFixedPitch(true);
        f.setStyleHint(QFont::TypeWriter);
    }
    const bool smooth = FQuality == fqAntialiased || FQuality == fqClearType || FQuality == fqClearTypeNatural ||
                        FQuality == fqProof;
    f.setStyleStrategy(smooth ? QFont::PreferAntialias : QFont::NoAntialias);
    int px = 11;
    if (FHeight < 0) {
        px = -FHeight;
    } else if (FHeight > 0) {
        // A cell height: scale the em size so that ascent + descent match.
        f.setPixelSize(FHeight);
        const int cell = QFontMetrics(f).height();
        px = cell > 0 ? int(std::lround(double(FHeight) * FHeight / cell)) : FHeight;
    }
    f.setPixelSize(std::max(1, px));
    return f;
}

// ---- TPen / TBrush -------------------------------------------------------------

const TClassInfo* TPen::ClassInfo() const
{
    return &StaticClassInfo();
}

const TClassInfo& TPen::StaticClassInfo()
{
    static const TClassInfo info = TClassInfoBuilder<TPen>("TPen")
                                       .Int("Color", &TPen::Color, &TPen::SetColor, clBlack)
                                       .Enum("Mode", TPenModeInfo, &TPen::Mode, &TPen::SetMode, pmCopy)
                                       .Enum("Style", TPenStyleInfo, &TPen::Style, &TPen::SetStyle, psSolid)
                                       .Int("Width", &TPen::Width, &TPen::SetWidth, 1)
                                       .Build();
    return info;
}

void TPen::Assign(const TPersistent* Source)
{
    if (const auto* p = dynamic_cast<const TPen*>(Source)) {
        if (p == this)
            return;
        FColor = p->FColor;
        FWidth = p->FWidth;
        FStyle = p->FStyle;
        FMode = p->FMode;
        Changed();
        return;
    }
    TGraphicsObject::Assign(Source);
}

void TPen::SetColor(TColor Value)
{
    if (Value == FColor)
        return;
    FColor = Value;
    Changed();
}

void TPen::SetWidth(int Value)
{
    Value = std::max(1, Value);
    if (Value == FWidth)
        return;
    FWidth = Value;
    Changed();
}

void TPen::SetStyle(TPenStyle Value)
{
    if (Value == FStyle)
        return;
    FStyle = Value;
    Changed();
}

void TPen::SetMode(TPenMode Value)
{
    if (Value == FMode)
        return;
    FMode = Value;
    Changed();
}

TDCPen TPen::DCPen() const
{
    static constexpr TDCPenStyle styles[] = {dpsSolid, dpsDash, dpsDot, dpsDashDot, dpsDashDotDot, dpsNull,
                                             dpsInsideFrame};
    return TDCPen{ColorToRGB(FColor), FWidth, styles[FStyle]};
}

const TClassInfo* TBrush::ClassInfo() const
{
    return &StaticClassInfo();
}

const TClassInfo& TBrush::StaticClassInfo()
{
    static const TClassInfo info = TClassInfoBuilder<TBrush>("TBrush")
                                       .Int("Color", &TBrush::Color, &TBrush::SetColor, clWhite)
                                       .Enum("Style", TBrushStyleInfo, &TBrush::Style, &TBrush::SetStyle, bsSolid)
                                       .Build();
    return info;
}

void TBrush::Assign(const TPersistent* Source)
{
    if (const auto* b = dynamic_cast<const TBrush*>(Source)) {
        if (b == this)
            return;
        FColor = b->FColor;
        FStyle = b->FStyle;
        FPattern = b->FPattern;
        Changed();
        return;
    }
    TGraphicsObject::Assign(Source);
}

void TBrush::SetBitmap(const TBitmap* Value)
{
    FPattern = Value == nullptr || Value->Empty() ? QImage() : Value->ToImage().convertToFormat(QImage::Format_RGB32);
    Changed();
}

void TBrush::SetColor(TColor Value)
{
    if (Value == FColor && FStyle != bsClear)
        return;
    FColor = Value;
    if (FStyle == bsClear)
        FStyle = bsSolid;
    Changed();
}

void TBrush::SetStyle(TBrushStyle Value)
{
    if (Value == FStyle)
        return;
    FStyle = Value;
    Changed();
}

TDCBrush TBrush::DCBrush() const
{
    static constexpr TDCBrushStyle styles[] = {dbsSolid, dbsNull, dbsHorizontal, dbsVertical,
                                               dbsFDiagonal, dbsBDiagonal, dbsCross, dbsDiagCross};
    if (!FPattern.isNull())
        return TDCBrush{ColorToRGB(FColor), dbsPattern, FPattern};
    return TDCBrush{ColorToRGB(FColor), styles[FStyle], QImage()};
}

// ---- TCanvas -------------------------------------------------------------------

TCanvas::TCanvas()
    : FFont(std::make_unique<TFont>()), FPen(std::make_unique<TPen>()), FBrush(std::make_unique<TBrush>())
{
}

TCanvas::~TCanvas() = default;

HDC TCanvas::Handle()
{
    if (FHandle == nullptr)
        CreateHandle();
    if (FHandle == nullptr)
        throw EInvalidOperation(LoadResString(GraphicsConsts::SNoCanvasHandle));
    return FHandle;
}

void TCanvas::SetHandle(HDC Value)
{
    FHandle = Value;
}

HDC TCanvas::requireHandle(bool ForText)
{
    HDC dc = Handle();
    dc->SetFont(FFont->QtFont());
    dc->SetEscapement(FFont->Orientation());
    dc->SetPen(FPen->DCPen());
    dc->SetBrush(FBrush->DCBrush());
    static constexpr int rops[] = {R2_BLACK, R2_WHITE, R2_NOP, R2_NOT, R2_COPYPEN, R2_NOTCOPYPEN,
                                   R2_MERGEPENNOT, R2_MASKPENNOT, R2_MERGENOTPEN, R2_MASKNOTPEN,
                                   R2_MERGEPEN, R2_NOTMERGEPEN, R2_MASKPEN, R2_NOTMASKPEN, R2_XORPEN,
                                   R2_NOTXORPEN};
    SetROP2(dc, rops[FPen->Mode()]);
    if (ForText) {
        SetTextColor(dc, FFont->Color());
        SetBkColor(dc, FBrush->Color());
        SetBkMode(dc, FBrush->Style() == bsClear ? TRANSPARENT : OPAQUE);
    }
    return dc;
}

void TCanvas::Changing()
{
    if (OnChanging.Assigned())
        OnChanging(this);
}

void TCanvas::Changed()
{
    if (OnChange.Assigned())
        OnChange(this);
}

TPoint TCanvas::PenPos()
{
    return Handle()->PenPos();
}

void TCanvas::SetPenPos(TPoint Value)
{
    MoveTo(Value.X, Value.Y);
}

TRect TCanvas::ClipRect()
{
    TRect r;
    GetClipBox(Handle(), r);
    return r;
}

TColor TCanvas::Pixels(int X, int Y)
{
    return GetPixel(Handle(), X, Y);
}

void TCanvas::SetPixels(int X, int Y, TColor Value)
{
    Changing();
    SetPixel(Handle(), X, Y, Value);
    Changed();
}

void TCanvas::Lock()
{
    FLock.lock();
    ++FLockCount;
}

void TCanvas::Unlock()
{
    --FLockCount;
    FLock.unlock();
}

bool TCanvas::TryLock()
{
    if (!FLock.try_lock())
        return false;
    ++FLockCount;
    return true;
}

void TCanvas::MoveTo(int X, int Y)
{
    MoveToEx(Handle(), X, Y);
}

void TCanvas::LineTo(int X, int Y)
{
    Changing();
    ::LineTo(requireHandle(), X, Y);
    Changed();
}

void TCanvas::Polyline(std::span<const TPoint> Points)
{
    Changing();
    ::Polyline(requireHandle(), Points);
    Changed();
}

void TCanvas::Polygon(std::span<const TPoint> Points)
{
    Changing();
    ::Polygon(requireHandle(), Points);
    Changed();
}

void TCanvas::Rectangle(int X1, int Y1, int X2, int Y2)
{
    Changing();
    ::Rectangle(requireHandle(), X1, Y1, X2, Y2);
    Changed();
}

void TCanvas::RoundRect(int X1, int Y1, int X2, int Y2, int X3, int Y3)
{
    Changing();
    ::RoundRect(requireHandle(), X1, Y1, X2, Y2, X3, Y3);
    Changed();
}

void TCanvas::Ellipse(int X1, int Y1, int X2, int Y2)
{
    Changing();
    ::Ellipse(requireHandle(), X1, Y1, X2, Y2);
    Changed();
}

void TCanvas::FillRect(const TRect& R)
{
    Changing();
    ::FillRect(requireHandle(), R);
    Changed();
}

void TCanvas::FrameRect(const TRect& R)
{
    Changing();
    HDC dc = requireHandle();
    ::FrameRect(dc, R, dc->Brush());
    Changed();
}

void TCanvas::DrawFocusRect(const TRect& R)
{
    Changing();
    ::DrawFocusRect(requireHandle(), R);
    Changed();
}

void TCanvas::TextOut(int X, int Y, const String& Text)
{
    Changing();
    ::ExtTextOut(requireHandle(true), X, Y, 0, nullptr, Text);
    Changed();
}

void TCanvas::TextRect(const TRect& Rect, int X, int Y, const String& Text)
{
    Changing();
    HDC dc = requireHandle(true);
    const uint32_t options = ETO_CLIPPED | (FBrush->Style() != bsClear ? uint32_t(ETO_OPAQUE) : 0u);
    ::ExtTextOut(dc, X, Y, options, &Rect, Text);
    Changed();
}

int TCanvas::TextRect(TRect& Rect, const String& Text, uint32_t DTFlags)
{
    const bool draws = (DTFlags & DT_CALCRECT) == 0;
    if (draws)
        Changing();
    const int result = ::DrawText(requireHandle(true), Text, Rect, DTFlags);
    if (draws)
        Changed();
    return result;
}

TSize TCanvas::TextExtent(const String& Text)
{
    TSize size;
    GetTextExtentPoint32(requireHandle(), Text, size);
    return size;
}

void TCanvas::Draw(int X, int Y, const TGraphic* Graphic)
{
    if (Graphic == nullptr || Graphic->Empty())
        return;
    StretchDraw(Bounds(X, Y, Graphic->Width(), Graphic->Height()), Graphic);
}

void TCanvas::StretchDraw(const TRect& Rect, const TGraphic* Graphic)
{
    if (Graphic == nullptr || Graphic->Empty())
        return;
    Changing();
    Graphic->Draw(this, Rect);
    Changed();
}

void TCanvas::CopyRect(const TRect& Dest, TCanvas* Canvas, const TRect& Source)
{
    if (Canvas == nullptr)
        return;
    Changing();
    HDC src = Canvas->Handle();
    StretchBlt(requireHandle(), Dest.Left, Dest.Top, Dest.Width(), Dest.Height(), src, Source.Left, Source.Top,
               Source.Width(), Source.Height(), FCopyMode);
    Changed();
}

// ---- TGraphic ------------------------------------------------------------------

void TGraphic::SetTransparent(bool Value)
{
    if (Value == FTransparent)
        return;
    FTransparent = Value;
    Changed();
}

void TGraphic::SetModified(bool Value)
{
    FModified = Value;
    if (Value && OnChange.Assigned())
        OnChange(this);
}

void TGraphic::Changed()
{
    FModified = true;
    if (OnChange.Assigned())
        OnChange(this);
}

void TGraphic::LoadFromFile(const String& FileName)
{
    TFileStream stream(FileName, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(&stream);
}

void TGraphic::SaveToFile(const String& FileName) const
{
    TFileStream stream(FileName, fmCreate);
    SaveToStream(&stream);
}

// ---- TPicture ------------------------------------------------------------------

namespace {

enum class Kind { None, Bmp, Png, Jpeg };

struct TFileFormat {
    String Extension;
    String Description;
    TPicture::TGraphicFactory Factory;
};

// The registered formats (main thread, like all picture loading).
std::vector<TFileFormat>& fileFormats()
{
    static std::vector<TFileFormat> formats;
    return formats;
}

std::unique_ptr<TGraphic> registered(const String& extension)
{
    for (const TFileFormat& f : fileFormats())
        if (f.Extension.compare(extension, Qt::CaseInsensitive) == 0)
            return f.Factory();
    return nullptr;
}

std::unique_ptr<TGraphic> make(Kind k)
{
    if (k == Kind::Png)
        if (auto g = registered(QStringLiteral("png")))
            return g;
    switch (k) {
    case Kind::Bmp: return std::make_unique<TBitmap>();
    case Kind::Png: return std::make_unique<TPngImage>();
    case Kind::Jpeg: return std::make_unique<TJPEGImage>();
    default: return nullptr;
    }
}

Kind kindOfExtension(const String& ext)
{
    const String e = ext.toLower();
    if (e == QLatin1String("bmp"))
        return Kind::Bmp;
    if (e == QLatin1String("png"))
        return Kind::Png;
    if (e == QLatin1String("jpg") || e == QLatin1String("jpeg") || e == QLatin1String("jpe") ||
        e == QLatin1String("jfif"))
        return Kind::Jpeg;
    return Kind::None;
}

}  // namespace

TPicture::TPicture() = default;
TPicture::~TPicture() = default;

void TPicture::graphicChanged(TObject*)
{
    if (OnChange.Assigned())
        OnChange(this);
}

void TPicture::setOwned(std::unique_ptr<TGraphic> Graphic)
{
    FGraphic = std::move(Graphic);
    if (FGraphic != nullptr)
        FGraphic->OnChange = TNotifyEvent(this, &TPicture::graphicChanged);
    if (OnChange.Assigned())
        OnChange(this);
}

void TPicture::Assign(const TPersistent* Source)
{
    if (Source == nullptr) {
        setOwned(nullptr);
    } else if (const auto* p = dynamic_cast<const TPicture*>(Source)) {
        if (p != this)
            SetGraphic(p->Graphic());
    } else if (const auto* g = dynamic_cast<const TGraphic*>(Source)) {
        SetGraphic(g);
    } else {
        TPersistent::Assign(Source);
    }
}

void TPicture::SetGraphic(const TGraphic* Value)
{
    if (Value == FGraphic.get() && Value != nullptr)
        return;
    setOwned(Value != nullptr ? Value->clone() : nullptr);
}

TBitmap* TPicture::Bitmap()
{
    if (auto* b = dynamic_cast<TBitmap*>(FGraphic.get()))
        return b;
    auto bitmap = std::make_unique<TBitmap>();
    if (FGraphic != nullptr)
        bitmap->Assign(FGraphic.get());
    TBitmap* result = bitmap.get();
    setOwned(std::move(bitmap));
    return result;
}

void TPicture::SetBitmap(const TBitmap* Value)
{
    SetGraphic(Value);
}

int TPicture::Width() const
{
    return FGraphic != nullptr ? FGraphic->Width() : 0;
}

int TPicture::Height() const
{
    return FGraphic != nullptr ? FGraphic->Height() : 0;
}

void TPicture::RegisterFileFormat(const String& AExtension, const String& ADescription, TGraphicFactory AFactory)
{
    UnregisterFileFormat(AExtension);
    fileFormats().push_back({AExtension, ADescription, std::move(AFactory)});
}

void TPicture::UnregisterFileFormat(const String& AExtension)
{
    std::erase_if(fileFormats(), [&](const TFileFormat& f) {
        return f.Extension.compare(AExtension, Qt::CaseInsensitive) == 0;
    });
}

void TPicture::LoadFromFile(const String& FileName)
{
    const String ext = QFileInfo(FileName).suffix();
    std::unique_ptr<TGraphic> g = registered(ext);
    if (g == nullptr)
        g = make(kindOfExtension(ext));
    if (g == nullptr)
        throw EInvalidGraphic(LoadResString(GraphicsConsts::SUnknownExtension), {ext});
    g->LoadFromFile(FileName);
    setOwned(std::move(g));
}

void TPicture::SaveToFile(const String& FileName) const
{
    if (FGraphic != nullptr)
        FGraphic->SaveToFile(FileName);
}

void TPicture::LoadFromStream(TStream* Stream)
{
    const int64_t start = Stream->Position();
    uint8_t sig[8] = {};
    const int64_t got = Stream->Read(sig, sizeof sig);
    Stream->SetPosition(start);
    Kind k = Kind::None;
    if (got >= 2 && sig[0] == 'B' && sig[1] == 'M')
        k = Kind::Bmp;
    else if (got >= 8 && sig[0] == 0x89 && sig[1] == 'P' && sig[2] == 'N' && sig[3] == 'G')
        k = Kind::Png;
    else if (got >= 3 && sig[0] == 0xFF && sig[1] == 0xD8 && sig[2] == 0xFF)
        k = Kind::Jpeg;
    std::unique_ptr<TGraphic> g = make(k);
    if (g == nullptr)
        throw EInvalidGraphic(LoadResString(GraphicsConsts::SInvalidImage));
    g->LoadFromStream(Stream);
    setOwned(std::move(g));
}

void TPicture::SaveToStream(TStream* Stream) const
{
    if (FGraphic != nullptr)
        FGraphic->SaveToStream(Stream);
}

String TPicture::GraphicFilter()
{
    return QStringLiteral(
        "All (*.bmp;*.png;*.jpg;*.jpeg;*.jpe;*.jfif)|*.bmp;*.png;*.jpg;*.jpeg;*.jpe;*.jfif|"
        "Bitmaps (*.bmp)|*.bmp|Portable Network Graphics (*.png)|*.png|"
        "JPEG Image File (*.jpg;*.jpeg;*.jpe;*.jfif)|*.jpg;*.jpeg;*.jpe;*.jfif");
}

// -------------------------------------------------------------------- TIcon

void TIcon::Assign(const TPersistent* Source)
{
    if (Source == nullptr) {
        Clear();
        return;
    }
    if (const auto* icon = dynamic_cast<const TIcon*>(Source)) {
        if (icon != this) {
            FImages = icon->FImages;
            Changed();
        }
        return;
    }
    if (const auto* graphic = dynamic_cast<const TGraphic*>(Source)) {
        FImages.clear();
        if (!graphic->Empty())
            FImages.push_back(graphic->ToImage().convertToFormat(QImage::Format_ARGB32));
        Changed();
        return;
    }
    TGraphic::Assign(Source);
}

int TIcon::Width() const
{
    return FImages.empty() ? 0 : FImages.back().width();
}

int TIcon::Height() const
{
    return FImages.empty() ? 0 : FImages.back().height();
}

void TIcon::SetWidth(int)
{
    throw EInvalidGraphicOperation(LoadResString(GraphicsConsts::SChangeIconSize));
}

void TIcon::SetHeight(int)
{
    throw EInvalidGraphicOperation(LoadResString(GraphicsConsts::SChangeIconSize));
}

void TIcon::LoadFromStream(TStream* Stream)
{
    TPngImage png;
    png.LoadFromStream(Stream);
    FImages.clear();
    if (!png.Empty())
        FImages.push_back(png.ToImage().convertToFormat(QImage::Format_ARGB32));
    Changed();
}

void TIcon::SaveToStream(TStream* Stream) const
{
    if (FImages.empty())
        return;
    TPngImage png;
    png.SetImage(FImages.back());
    png.SaveToStream(Stream);
}

void TIcon::Draw(TCanvas* ACanvas, const TRect& Rect) const
{
    if (ACanvas == nullptr || FImages.empty() || Rect.Width() <= 0 || Rect.Height() <= 0)
        return;
    DrawImage(ACanvas->Handle(), Rect, ImageForSize(Rect.Width(), Rect.Height()));
}

QImage TIcon::ToImage() const
{
    return FImages.empty() ? QImage() : FImages.back();
}

std::unique_ptr<TGraphic> TIcon::clone() const
{
    auto copy = std::make_unique<TIcon>();
    copy->FImages = FImages;
    return copy;
}

void TIcon::AddImage(const QImage& Image)
{
    if (Image.isNull())
        return;
    const QImage image = Image.convertToFormat(QImage::Format_ARGB32);
    std::erase_if(FImages, [&](const QImage& i) { return i.size() == image.size(); });
    const auto at = std::find_if(FImages.begin(), FImages.end(), [&](const QImage& i) {
        return i.width() * i.height() > image.width() * image.height();
    });
    FImages.insert(at, image);
    Changed();
}

void TIcon::Clear()
{
    if (FImages.empty())
        return;
    FImages.clear();
    Changed();
}

QImage TIcon::ImageForSize(int AWidth, int AHeight) const
{
    if (FImages.empty() || AWidth <= 0 || AHeight <= 0)
        return QImage();
    const QImage* pick = &FImages.back();
    for (const QImage& image : FImages)
        if (image.width() >= AWidth && image.height() >= AHeight) {
            pick = &image;
            break;
        }
    if (pick->width() == AWidth && pick->height() == AHeight)
        return *pick;
    return pick->scaled(AWidth, AHeight, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}
