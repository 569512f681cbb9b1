// The free graphics services of vlGraphics: measuring, image-list
// properties, the light colours of the flat looks and transparent
// backgrounds.
#include <QImage>
#include <algorithm>

#include "platform/controls/Controls.h"
#include "platform/controls/Forms.h"
#include "platform/graphics/ImgList.h"
#include "platform/graphics/SysMetrics.h"
#include "ui/foundation/vlGraphics.h"
#include "ui/foundation/vxUxTheme.h"

void DeflateRectByMargins(TRect& R, const TRect& AMargins)
{
    R.Left += AMargins.Left;
    R.Top += AMargins.Top;
    R.Right -= AMargins.Right;
    R.Bottom -= AMargins.Bottom;
}

bool IsGlyphAssigned(const TBitmap* ABitmap) { return ABitmap != nullptr && !ABitmap->Empty(); }

bool IsImageAssigned(const TImageList* AImageList, int AIndex)
{
    return AImageList != nullptr && AIndex >= 0 && AIndex < AImageList->Count();
}

void AssignImageList(TImageList* AValue, TImageList*& AField, TChangeLink* AChangeLink, TComponent* AOwner)
{
    if (AValue == AField)
        return;
    if (AField != nullptr) {
        if (AOwner != nullptr)
            AField->RemoveFreeNotification(AOwner);
        if (AChangeLink != nullptr)
            AField->UnRegisterChanges(AChangeLink);
    }
    AField = AValue;
    if (AField != nullptr) {
        if (AChangeLink != nullptr)
            AField->RegisterChanges(AChangeLink);
        if (AOwner != nullptr)
            AField->FreeNotification(AOwner);
    }
    if (AChangeLink != nullptr)
        AChangeLink->Change();
}

// True colour everywhere: every colour is its own nearest.
TColor GetNearestScreenColor(TColor AColor) { return ColorToRGB(AColor); }

bool BitBltRect(HDC ADestDC, HDC ASrcDC, const TRect& ADestRect, uint32_t ARop, const TPoint& ASrcTopLeft)
{
    return BitBlt(ADestDC, ADestRect.Left, ADestRect.Top, ADestRect.Width(), ADestRect.Height(), ASrcDC,
                  ASrcTopLeft.X, ASrcTopLeft.Y, ARop);
}

std::unique_ptr<TBitmap> MakeBitmap(int AWidth, int AHeight, TPixelFormat APixelFormat)
{
    auto bitmap = std::make_unique<TBitmap>();
    bitmap->SetPixelFormat(APixelFormat);
    bitmap->SetWidth(AWidth);
    bitmap->SetHeight(AHeight);
    return bitmap;
}

void InvalidateWindowRect(HWND AHandle, const TRect& R, bool AEraseBackground)
{
    InvalidateRect(AHandle, &R, AEraseBackground);
}

void InvalidateWindow(HWND AHandle, bool AEraseBackground) { InvalidateRect(AHandle, nullptr, AEraseBackground); }

bool QueryBitmapData(HBITMAP ABitmap, BITMAP& AData) { return GetObject(ABitmap, AData); }
bool QueryBrushData(HBRUSH ABrush, LOGBRUSH& AData) { return GetObject(ABrush, AData); }
bool GetLogFontData(HFONT AFont, LOGFONTW& ALogFont) { return GetObject(AFont, ALogFont); }
bool QueryPenData(HPEN APen, LOGPEN& AData) { return GetObject(APen, AData); }

TSize TextExtentForFont(const TFont* AFont, const String& AText, int AFontSize)
{
    TvlScreenCanvas* canvas = GetScreenCanvas();
    if (canvas == nullptr)
        return {};
    canvas->SetFont(AFont);
    if (AFontSize != 0)
        canvas->Font()->SetSize(AFontSize);
    const TSize size = canvas->TextExtent(AText);
    canvas->Dormant();
    return size;
}

int TextWidthForFont(const TFont* AFont, const String& AText, int AFontSize)
{
    return TextExtentForFont(AFont, AText, AFontSize).cx;
}

int TextHeightForFont(const TFont* AFont, const String& AText, int AFontSize)
{
    return TextExtentForFont(AFont, AText, AFontSize).cy;
}

TSize TextSizeOnDC(HDC ADC, const String& AText)
{
    const TRect r = GetTextRectOnDC(ADC, AText, 1);
    return {r.Right, r.Bottom};
}

namespace {

TRect wrapped(HDC dc, const String& text, int width)
{
    TRect r = Rect(0, 0, width, 1);
    DrawTextOnDC(dc, text, r, DT_CALCRECT | DT_WORDBREAK | DT_NOFULLWIDTHCHARBREAK);
    return r;
}

}  // namespace

TRect GetTextRectOnDC(HDC ADC, const String& AText, int ARows, bool ASetBottomToRowsHeight)
{
    TRect r;
    if (ARows == 1) {
        DrawTextOnDC(ADC, AText, r, DT_CALCRECT | DT_SINGLELINE);
        return r;
    }
    const int maxHeight = ARows > 0 ? ARows * TextSizeOnDC(ADC, QStringLiteral("Wg")).cy : 32000;
    int lo = wrapped(ADC, AText, 1).Right;
    TRect line;
    DrawTextOnDC(ADC, AText, line, DT_CALCRECT | DT_SINGLELINE);
    int hi = line.Right;
    while (hi - lo > 1) {
        const int mid = (lo + hi) / 2;
        if (wrapped(ADC, AText, mid).Bottom > maxHeight)
            lo = mid;
        else
            hi = mid;
    }
    r = wrapped(ADC, AText, lo);
    if (r.Bottom > maxHeight)
        r = wrapped(ADC, AText, hi);
    if (ASetBottomToRowsHeight)
        r.Bottom = maxHeight;
    return r;
}

bool IsSpecialCharsetText(TFontCharset ACharset, const String& AText)
{
    constexpr TFontCharset GB2312_CHARSET = 134, CHINESEBIG5_CHARSET = 136, ARABIC_CHARSET = 178;
    if (ACharset == DEFAULT_CHARSET)
        ACharset = ANSI_CHARSET;  // the system's own character set here
    if (AText.isEmpty() || AText[0].unicode() < 128)
        return false;
    return ACharset == GB2312_CHARSET || ACharset == CHINESEBIG5_CHARSET || ACharset == ARABIC_CHARSET;
}

namespace {

// Our cursors, drawn by the windowing layer: the hot spot's row and the
// last row of the shape that is not see-through, by cursor.
struct TCursorShape {
    TCursor Cursor;
    int HotSpotY;
    int LastVisibleRow;
};
constexpr TCursorShape cursorShapes[] = {
    {crDefault, 0, 20}, {crArrow, 0, 20}, {crUpArrow, 0, 20}, {crDrag, 0, 20}, {crIBeam, 8, 17},
    {crCross, 10, 20}, {crSizeNS, 10, 20}, {crSizeWE, 10, 20}, {crSizeNESW, 10, 20}, {crSizeNWSE, 10, 20},
    {crHourGlass, 0, 20},
};

}  // namespace

TSize GetCursorSize()
{
    TSize size{GetSystemMetrics(SM_CXCURSOR), GetSystemMetrics(SM_CYCURSOR)};
    const TCursor cursor = Screen != nullptr ? Screen->Cursor() : crDefault;
    for (const TCursorShape& shape : cursorShapes)
        if (shape.Cursor == cursor) {
            size.cy = shape.LastVisibleRow + 1 - shape.HotSpotY;
            return size;
        }
    return size;
}

namespace {

TColor lightColor(int wFace, int wHighlight, int wWindow)
{
    const TColor face = ColorToRGB(clBtnFace);
    if (face == 0 || face == 0xFFFFFF)
        return GetNearestScreenColor(ColorToRGB(clHighlight));
    const TColor hl = ColorToRGB(clHighlight), win = ColorToRGB(clWindow);
    auto mix = [&](uint8_t (*part)(TColor)) {
        const int v = MulDiv(part(face), wFace, 100) + MulDiv(part(hl), wHighlight, 100) + MulDiv(part(win), wWindow, 100);
        return uint8_t(std::clamp(v, 0, 255));
    };
    return GetNearestScreenColor(RGB(mix([](TColor c) { return GetRValue(c); }), mix([](TColor c) { return GetGValue(c); }),
                                     mix([](TColor c) { return GetBValue(c); })));
}

}  // namespace

TColor LightHotColor() { return lightColor(-2, 30, 72); }
TColor LightDownColor() { return lightColor(14, 44, 40); }

namespace {

bool isDestroying(const TControl* c) { return c->ComponentState().Contains(csDestroying); }

// The context's state around one control's paint, given back also when a
// paint handler throws.
class TSavedDC {
public:
    explicit TSavedDC(HDC dc) : FDC(dc), FSaved(SaveDC(dc)) {}
    ~TSavedDC() { RestoreDC(FDC, FSaved); }
    TSavedDC(const TSavedDC&) = delete;
    TSavedDC& operator=(const TSavedDC&) = delete;

private:
    HDC FDC;
    int FSaved;
};

// csPaintCopy while a control paints for someone else. Only the flag this
// scope added is taken away again: other state the paint changes stays, and
// a control already painting as a copy keeps its flag.
class TPaintCopyScope {
public:
    explicit TPaintCopyScope(TControl* c) : FControl(c), FAdded(!c->ControlState().Contains(csPaintCopy))
    {
        if (FAdded)
            FControl->SetControlState(FControl->ControlState().Include(csPaintCopy));
    }
    ~TPaintCopyScope()
    {
        if (FAdded)
            FControl->SetControlState(FControl->ControlState().Exclude(csPaintCopy));
    }
    TPaintCopyScope(const TPaintCopyScope&) = delete;
    TPaintCopyScope& operator=(const TPaintCopyScope&) = delete;

private:
    TControl* FControl;
    bool FAdded;
};

// Paints C as it shows itself, through its own messages, with the logical
// origin at AOrigin and the clip narrowed to AClip (C's client coordinates).
// Borders and window regions are part of a control's own paint here (no
// control has a non-client frame or a window region), so its WM_PAINT
// shows all of it.
void paintControl(TWinControl* c, HDC dc, TPoint origin, const TRect& clip, bool paintChildren,
                  const std::vector<const TControl*>& stopList)
{
    if (isDestroying(c))
        return;
    const TSavedDC saved(dc);
    MoveWindowOrg(dc, origin.X, origin.Y);
    if (RectVisible(dc, clip)) {
        const TPaintCopyScope copy(c);
        IntersectClipRect(dc, clip.Left, clip.Top, clip.Right, clip.Bottom);
        c->Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(dc));
        c->Perform(WM_PAINT, reinterpret_cast<WPARAM>(dc));
        if (paintChildren)
            for (int i = 0; i < c->ControlCount(); ++i) {
                TControl* child = c->Controls(i);
                if (std::find(stopList.begin(), stopList.end(), child) != stopList.end())
                    break;
                auto* win = dynamic_cast<TWinControl*>(child);
                if (win == nullptr || !win->Visible())
                    continue;
                paintControl(win, dc, win->BoundsRect().TopLeft(), Rect(0, 0, win->Width(), win->Height()),
                             paintChildren, stopList);
            }
    }
}

}  // namespace

void DrawTransparentControlBackground(TWinControl* AControl, TvlCanvas* ACanvas, const TRect& R,
                                      bool APaintParentChildren)
{
    if (AControl == nullptr || AControl->Parent() == nullptr || ACanvas == nullptr)
        return;
    TWinControl* parent = AControl->Parent();
    TRect r = R;
    OffsetRect(r, AControl->Left(), AControl->Top());
    ACanvas->SaveDC();
    paintControl(parent, ACanvas->Handle(), TPoint{-r.Left + R.Left, -r.Top + R.Top}, r, APaintParentChildren,
                 {AControl});
    ACanvas->RestoreDC();
}

void vlDrawThemeParentBackground(TWinControl* AControl, TvlCanvas* ACanvas, const TRect& R)
{
    // Without a theme library the parent paints itself (there are no
    // double-buffered parents here to ask about).
    if (!IsUxThemeLoaded() || AControl == nullptr || ACanvas == nullptr) {
        DrawTransparentControlBackground(AControl, ACanvas, R, false);
        return;
    }
    ThemeLibrary()->DrawThemeParentBackground(AControl, ACanvas->Handle(), R);
}
