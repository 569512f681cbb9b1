// What the painters share besides their classes: the registry of skin
// painters, the indicator glyphs, the scroll-bar checker brushes, the check
// box size and the radio glyphs of every look.
#include <QImage>

#include "platform/rtl/Startup.h"
#include "ui/foundation/vlLookAndFeelPainters.h"
#include "ui/foundation/vlLookAndFeels.h"
#include "ui/foundation/vxOffice11.h"

namespace {

constexpr const char* libraryBitmapNames[] = {"VL_ARROWBITMAP",      "VL_EDITBITMAP",       "VL_INSERTBITMAP",
                                              "VL_MULTIDOTBITMAP",   "VL_MULTIARROWBITMAP", "VL_FILTERBITMAP"};

// Rebuilds the radio glyphs before the looks hear of new system colours.
class TSystemPaletteChangedNotifier : public TvlSystemPaletteChangedNotifier {
public:
    TSystemPaletteChangedNotifier() : TvlSystemPaletteChangedNotifier(true) {}
    void NotifyChanged() override;
};

// The unit's process-wide state (main thread only).
struct TPaintersUnit {
    std::unique_ptr<TvlExtendedStylePainters> Registry;
    std::unique_ptr<TImageList> LibraryImages;
    std::unique_ptr<TBitmap> Checker;
    std::unique_ptr<TBitmap> PressedChecker;
    std::unique_ptr<TSystemPaletteChangedNotifier> PaletteNotifier;
    std::unique_ptr<TvlRadioButtonImageList> RadioButtons;
    // Map index (state, kind, flags) -> image index of the radio list.
    std::vector<int> RadioImageIndexes;
};

TPaintersUnit& unit()
{
    static TPaintersUnit u;
    return u;
}

void TSystemPaletteChangedNotifier::NotifyChanged()
{
    if (unit().RadioButtons != nullptr)
        unit().RadioButtons->Reset();
    TvlSystemPaletteChangedNotifier::NotifyChanged();
}

std::unique_ptr<TBitmap> loadLibraryBitmap(const char* AName)
{
    const QImage image(QStringLiteral(":/painters/%1.xpm").arg(QLatin1String(AName)));
    if (image.isNull())
        throw EResNotFound(LoadResStringFmt(SResNotFound, {String::fromLatin1(AName)}));
    auto bitmap = std::make_unique<TBitmap>();
    bitmap->SetImage(image.convertToFormat(QImage::Format_RGB32));
    return bitmap;
}

std::unique_ptr<TImageList> loadLibraryImages()
{
    std::unique_ptr<TImageList> list;
    for (const char* name : libraryBitmapNames) {
        const auto bitmap = loadLibraryBitmap(name);
        if (list == nullptr) {
            list = std::make_unique<TImageList>(nullptr);
            list->SetWidth(bitmap->Width());
            list->SetHeight(bitmap->Height());
        }
        list->AddMasked(bitmap.get(), clWhite);
    }
    return list;
}

std::unique_ptr<TBitmap> makeCheckerBitmap()
{
    auto bitmap = std::make_unique<TBitmap>();
    bitmap->SetPixelFormat(pf24bit);
    bitmap->SetSize(8, 8);
    return bitmap;
}

void fillCheckerBitmap(TBitmap* ABitmap, TColor AOddColor, TColor AEvenColor)
{
    if (ABitmap == nullptr)
        return;
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            ABitmap->SetPixels(x, y, ColorToRGB((x + y) % 2 != 0 ? AOddColor : AEvenColor));
}

bool isBlack(const TBitmap& ABitmap, int X, int Y) { return (ABitmap.Pixels(X, Y) & 0xFFFFFF) == 0; }

}  // namespace

// ---------------------------------------------------------------- skin painters

bool TvlExtendedStylePainters::FindPainterByName(const String& AName,
                                                 const TvlCustomLookAndFeelPainter*& APainter) const
{
    APainter = nullptr;
    for (int i = 0; i < Count(); ++i)
        if (Items(i)->Name.compare(AName, Qt::CaseInsensitive) == 0) {
            APainter = Items(i)->Painter;
            return true;
        }
    return false;
}

void TvlExtendedStylePainters::AddObserver(IvlSkinRegistryObserver* AObserver)
{
    if (std::find(FObservers.begin(), FObservers.end(), AObserver) == FObservers.end())
        FObservers.push_back(AObserver);
}

void TvlExtendedStylePainters::RemoveObserver(IvlSkinRegistryObserver* AObserver) { std::erase(FObservers, AObserver); }

TvlExtendedStylePainters* GetSkinPainterRegistry() { return unit().Registry.get(); }

TImageList* GetLibraryImageList() { return unit().LibraryImages.get(); }

TBitmap* GetScrollBarCheckerBitmap(bool APressed)
{
    return APressed ? unit().PressedChecker.get() : unit().Checker.get();
}

void RefillCheckerBitmaps()
{
    fillCheckerBitmap(unit().Checker.get(), clBtnHighlight, clBtnFace);
    fillCheckerBitmap(unit().PressedChecker.get(), cl3DDkShadow, clBlack);
}

// ---------------------------------------------------------------- radio glyphs

TvlRadioButtonImageList* GetRadioButtonImageList()
{
    if (unit().RadioButtons == nullptr)
        unit().RadioButtons = std::make_unique<TvlRadioButtonImageList>();
    return unit().RadioButtons.get();
}

TvlRadioButtonImageList::TvlRadioButtonImageList()
{
    calculateGeometry();
    calculatePattern();
    const TSize size = GetSize();
    FImageList = std::make_unique<TImageList>(nullptr);
    FImageList->SetWidth(size.cx);
    FImageList->SetHeight(size.cy);
    // Drawn inside the circle, nowhere else.
    FMaskBitmap = std::make_unique<TBitmap>();
    FMaskBitmap->SetPixelFormat(pf1bit);
    FMaskBitmap->SetSize(size.cx, size.cy);
    for (int y = 0; y < size.cy; ++y)
        for (int x = 0; x < size.cx; ++x)
            FMaskBitmap->SetPixels(x, y, PatternCode(x, y) == 0 ? clWhite : clBlack);
    buildImages();
}

TvlRadioButtonImageList::~TvlRadioButtonImageList() = default;

TSize TvlRadioButtonImageList::GetSize() const { return TSize{FGlyphRect.Width(), FGlyphRect.Height()}; }

void TvlRadioButtonImageList::calculateGeometry()
{
    // The glyph is what the system's radio mask covers in its cell.
    const int cell = FrameControlCheckCellSize;
    TBitmap bitmap;
    bitmap.SetPixelFormat(pf24bit);
    bitmap.SetSize(cell, cell);
    TCanvas* canvas = bitmap.Canvas();
    canvas->Brush()->SetColor(clBlack);
    canvas->FillRect(Rect(0, 0, cell, cell));
    DrawFrameControl(canvas->Handle(), Rect(0, 0, cell, cell), DFC_BUTTON, DFCS_BUTTONRADIOMASK | DFCS_FLAT);
    int left = -1, width = 0, top = -1, height = 0;
    for (int x = 0; x < cell; ++x)
        for (int y = 0; y < cell; ++y)
            if (isBlack(bitmap, x, y)) {
                if (left < 0)
                    left = x;
                ++width;
                break;
            }
    for (int y = 0; y < cell; ++y)
        for (int x = 0; x < cell; ++x)
            if (isBlack(bitmap, x, y)) {
                if (top < 0)
                    top = y;
                ++height;
                break;
            }
    FGlyphRect = Rect(left, top, left + width, top + height);
    FCircle.assign(size_t(height), std::vector<bool>(size_t(width), false));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            FCircle[size_t(y)][size_t(x)] = isBlack(bitmap, left + x, top + y);

    // The check dot: the unbroken run of window-text pixels about the centre.
    canvas->FillRect(Rect(0, 0, cell, cell));
    DrawFrameControl(canvas->Handle(), Rect(0, 0, cell, cell), DFC_BUTTON,
                     DFCS_BUTTONRADIOIMAGE | DFCS_CHECKED | DFCS_FLAT);
    const TColor text = ColorToRGB(clWindowText);
    auto isText = [&](int X, int Y) { return X >= 0 && Y >= 0 && X < cell && Y < cell && bitmap.Pixels(X, Y) == text; };
    const int column = left + width / 2 - 1;
    int dotTop = top + height / 2 - 2;
    while (isText(column, dotTop - 1))
        --dotTop;
    int dotBottom = dotTop;
    while (isText(column, dotBottom))
        ++dotBottom;
    const int row = top + height / 2 - 1;
    int dotLeft = left + width / 2 - 2;
    while (isText(dotLeft - 1, row))
        --dotLeft;
    int dotRight = dotLeft;
    while (isText(dotRight, row))
        ++dotRight;
    FCheckRect = Rect(dotLeft, dotTop, dotRight, dotBottom);
    for (int y = 0; y < cell; ++y)
        for (int x = 0; x < cell; ++x)
            if (isText(x, y) && PtInRect(FCheckRect, TPoint{x, y}))
                FDotPixels.emplace_back(x - left, y - top);
}

void TvlRadioButtonImageList::calculatePattern()
{
    const int w = FGlyphRect.Width();
    const int h = FGlyphRect.Height();
    FPattern.assign(size_t(std::max(h, 0)), std::vector<int>(size_t(std::max(w, 0)), 0));
    if (w <= 2 || h <= 2)
        return;
    auto code = [&](int X, int Y) -> int& { return FPattern[size_t(Y)][size_t(X)]; };
    const auto belowAntiDiagonal = [&](int I, int J) { return (h - 1) * (w - J - 1) < I * (w - 1); };
    const auto onAntiDiagonal = [&](int I, int J) { return (h - 1) * (w - J - 1) == I * (w - 1); };

    // The outer ring: the outline of the circle our frame control's mask
    // covers (the pixels of it next to one outside it).
    const auto inCircle = [&](int X, int Y) {
        return X >= 0 && Y >= 0 && X < w && Y < h && FCircle[size_t(Y)][size_t(X)];
    };
    for (int i = 0; i < h; ++i)
        for (int j = 0; j < w; ++j)
            if (inCircle(j, i) &&
                (!inCircle(j - 1, i) || !inCircle(j + 1, i) || !inCircle(j, i - 1) || !inCircle(j, i + 1)))
                code(j, i) = belowAntiDiagonal(i, j) ? 2 : 1;

    // The face, outward from the centre until the outline.
    const int cx = w / 2;
    const int cy = h / 2;
    for (int i = 1; i <= h - 2; ++i) {
        for (int j = cx; j < w && code(j, i) == 0; ++j)
            code(j, i) = 5;
        for (int j = cx - 1; j >= 0 && code(j, i) == 0; --j)
            code(j, i) = 5;
    }

    // The inner ring: the last face pixel before the outline, walking out
    // along each row and each column (every walked pixel in the first and
    // last of them).
    std::vector<std::pair<int, int>> ring;
    const auto walk = [&](int AFirst, int AStep, int ALimit, bool AAlongRow, int ALine, bool AWhole) {
        int last = -1;
        for (int k = AFirst; k != ALimit; k += AStep) {
            const int x = AAlongRow ? k : ALine;
            const int y = AAlongRow ? ALine : k;
            if (code(x, y) <= 2)
                break;
            if (AWhole)
                ring.emplace_back(x, y);
            last = k;
        }
        if (last >= 0)
            ring.emplace_back(AAlongRow ? last : ALine, AAlongRow ? ALine : last);
    };
    for (int i = 1; i <= h - 2; ++i) {
        const bool whole = i == 1 || i == h - 2;
        walk(cx, 1, w, true, i, whole);
        walk(cx - 1, -1, -1, true, i, whole);
    }
    for (int j = 1; j <= w - 2; ++j) {
        const bool whole = j == 1 || j == w - 2;
        walk(cy, 1, h, false, j, whole);
        walk(cy - 1, -1, -1, false, j, whole);
    }
    for (const auto& [x, y] : ring)
        code(x, y) = belowAntiDiagonal(y, x) || (onAntiDiagonal(y, x) && x > cx) ? 4 : 3;

    // The check dot as our frame control paints it.
    for (const auto& [x, y] : FDotPixels)
        if (x >= 0 && y >= 0 && x < w && y < h)
            code(x, y) = 6;
}

namespace {

TColor radioFaceColor(TvlLookAndFeelKind AKind, TvlButtonState AState)
{
    if (AKind == lfOffice11)
        return AState == vlbsNormal ? clWindow : TvlOffice11LookAndFeelPainter::Instance()->ButtonFaceColor(AState);
    if (AState == vlbsDisabled)
        return clBtnFace;
    if (AKind == lfUltraFlat) {
        if (AState == vlbsHot)
            return LightHotColor();
        if (AState == vlbsPressed)
            return LightDownColor();
        return clWindow;
    }
    return AState == vlbsPressed ? clBtnFace : clWindow;
}

TColor radioFrameColor(TvlLookAndFeelKind AKind, TvlButtonState AState, bool AEmphasised, bool AFocused)
{
    const bool active = AState == vlbsHot || AState == vlbsPressed;
    if (AKind == lfOffice11) {
        if (AState == vlbsDisabled)
            return Office11DisabledGlyphColor;
        return AEmphasised || AFocused || active ? Office11HotBorderColor : clBtnText;
    }
    return AEmphasised || active || (AFocused && AState != vlbsDisabled) ? clHighlight : clBtnShadow;
}

// The colour of each pattern code, 0 unused.
std::array<TColor, 7> radioColors(TvlLookAndFeelKind AKind, TvlButtonState AState, bool AIsChecked,
                                  bool AEmphasised, bool AFocused)
{
    const TColor face = radioFaceColor(AKind, AState);
    TColor dot = face;
    if (AIsChecked)
        dot = AState != vlbsDisabled ? clWindowText : AKind == lfOffice11 ? Office11DisabledGlyphColor : clBtnShadow;
    switch (AKind) {
    case lfFlat: return {clNone, clBtnShadow, clBtnHighlight, cl3DLight, cl3DLight, face, dot};
    case lfStandard: return {clNone, clBtnShadow, clBtnHighlight, cl3DDkShadow, cl3DLight, face, dot};
    case lfUltraFlat:
    case lfOffice11: break;
    }
    const TColor frame = radioFrameColor(AKind, AState, AEmphasised, AFocused);
    return {clNone, frame, frame, face, face, face, dot};
}

int radioMapIndex(TvlLookAndFeelKind AKind, TvlButtonState AState, bool AIsChecked, bool AEmphasised,
                  bool AFocused)
{
    return int(AState) + int(AKind) * 8 + int(AFocused) * 32 + int(AEmphasised) * 64 + int(AIsChecked) * 4 - 1;
}

}  // namespace

void TvlRadioButtonImageList::buildImages()
{
    const TSize size = GetSize();
    auto& indexes = unit().RadioImageIndexes;
    for (bool emphasised : {false, true})
        for (bool focused : {false, true})
            for (TvlLookAndFeelKind kind : {lfFlat, lfStandard, lfUltraFlat, lfOffice11})
                for (bool checked : {false, true})
                    for (TvlButtonState state : {vlbsNormal, vlbsHot, vlbsPressed, vlbsDisabled}) {
                        const auto colors = radioColors(kind, state, checked, emphasised, focused);
                        TBitmap glyph;
                        glyph.SetPixelFormat(pf32bit);
                        glyph.SetSize(size.cx, size.cy);
                        for (int y = 0; y < size.cy; ++y)
                            for (int x = 0; x < size.cx; ++x) {
                                const int c = PatternCode(x, y);
                                glyph.SetPixels(x, y, c == 0 ? clBlack : ColorToRGB(colors[size_t(c)]));
                            }
                        const int mapIndex = radioMapIndex(kind, state, checked, emphasised, focused);
                        if (int(indexes.size()) <= mapIndex)
                            indexes.resize(size_t(mapIndex) + 1, -1);
                        indexes[size_t(mapIndex)] = FImageList->Add(&glyph, FMaskBitmap.get());
                    }
}

void TvlRadioButtonImageList::Reset()
{
    FImageList->Clear();
    unit().RadioImageIndexes.clear();
    buildImages();
}

void TvlRadioButtonImageList::Draw(TvlCanvas* ACanvas, int X, int Y, TColor ABrushColor, TvlLookAndFeelKind AKind,
                                   TvlButtonState AState, bool AIsChecked, bool AEmphasised, bool AFocused) const
{
    if (AState == vlbsDefault)
        AState = vlbsNormal;
    const auto& indexes = unit().RadioImageIndexes;
    const int mapIndex = radioMapIndex(AKind, AState, AIsChecked, AEmphasised, AFocused);
    if (mapIndex < 0 || mapIndex >= int(indexes.size()))
        return;
    const int index = indexes[size_t(mapIndex)];
    if (ABrushColor == clDefault) {
        FImageList->Draw(ACanvas->Canvas(), X, Y, index);
        return;
    }
    const TSize size = GetSize();
    TBitmap bitmap;
    bitmap.SetPixelFormat(pf24bit);
    bitmap.SetSize(size.cx, size.cy);
    bitmap.Canvas()->Brush()->SetColor(ABrushColor);
    bitmap.Canvas()->FillRect(Rect(0, 0, size.cx, size.cy));
    FImageList->Draw(bitmap.Canvas(), 0, 0, index);
    ACanvas->Draw(X, Y, &bitmap);
}

// ---------------------------------------------------------------- the base painter's share

void TvlCustomLookAndFeelPainter::CheckButtonSize(TSize& ASize) const
{
    // The cell of the system's check-box glyphs.
    ASize = TSize{FrameControlCheckCellSize, FrameControlCheckCellSize};
}

void TvlCustomLookAndFeelPainter::DrawRadioButton(TvlCanvas* ACanvas, int X, int Y, TvlButtonState AState,
                                                  bool AIsChecked, bool AEmphasised, TColor ABrushColor,
                                                  bool AFocused) const
{
    GetRadioButtonImageList()->Draw(ACanvas, X, Y, ABrushColor, KindOfLookAndFeelStyle(LookAndFeelStyle()), AState,
                                    AIsChecked, AEmphasised, AFocused);
}

void TvlCustomLookAndFeelPainter::RadioButtonSize(TSize& ASize) const { ASize = GetRadioButtonImageList()->GetSize(); }

// ---------------------------------------------------------------- unit

void AddvlLookAndFeelPaintersUnit(TStartupList& AList)
{
    AList.Add(
        QStringLiteral("vlLookAndFeelPainters"),
        [] {
            TPaintersUnit& u = unit();
            u.Registry = std::make_unique<TvlExtendedStylePainters>();
            u.LibraryImages = loadLibraryImages();
            u.Checker = makeCheckerBitmap();
            u.PressedChecker = makeCheckerBitmap();
            RefillCheckerBitmaps();
            u.PaletteNotifier = std::make_unique<TSystemPaletteChangedNotifier>();
        },
        [] {
            TPaintersUnit& u = unit();
            u.PaletteNotifier.reset();
            u.Checker.reset();
            u.PressedChecker.reset();
            u.LibraryImages.reset();
            u.RadioButtons.reset();
            u.Registry.reset();
            u.RadioImageIndexes.clear();
        });
}
