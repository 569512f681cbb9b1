#include "ui/controls/vlPCPainters.h"

#include <algorithm>
#include <cmath>

#include "platform/rtl/Startup.h"
#include "ui/foundation/vxOffice11.h"

using vxOffice11::DarkenColor;
using vxOffice11::MixColors;

namespace {

TColor GExtraFlatRowColor = clBtnFace;

// The rectangle, in top-tab form, that MapPointsToTabPosition turns into P
// on ASide.
TRect topFormRect(const TRect& P, TvlTabPosition ASide)
{
    switch (ASide) {
    case tpLeft: return Rect(P.Right - P.Height(), P.Bottom - P.Width(), P.Right, P.Bottom);
    case tpRight: return Rect(P.Left, P.Bottom - P.Width(), P.Left + P.Height(), P.Bottom);
    default: return P;
    }
}

// R moved by ADelta towards the page of a tab on ASide.
TRect extendTowardsPage(TRect R, TvlTabPosition ASide, int ADelta)
{
    switch (ASide) {
    case tpTop: R.Bottom += ADelta; break;
    case tpBottom: R.Top -= ADelta; break;
    case tpLeft: R.Right += ADelta; break;
    case tpRight: R.Left -= ADelta; break;
    }
    return R;
}

// The strip of R, AWidth thick, on the page side of a tab on ASide.
TRect pageSideStrip(const TRect& R, TvlTabPosition ASide, int AWidth)
{
    switch (ASide) {
    case tpTop: return Rect(R.Left, R.Bottom - AWidth, R.Right, R.Bottom);
    case tpBottom: return Rect(R.Left, R.Top, R.Right, R.Top + AWidth);
    case tpLeft: return Rect(R.Right - AWidth, R.Top, R.Right, R.Bottom);
    default: return Rect(R.Left, R.Top, R.Left + AWidth, R.Bottom);
    }
}

// Whether a segment of the top-tab form (left side, top, right side) faces
// left or up once it is turned to ASide.
bool facesLeftOrUp(int ASegment, TvlTabPosition ASide)
{
    static constexpr bool table[4][3] = {
        {true, true, false},    // top
        {true, false, false},   // bottom
        {false, true, true},    // left
        {false, false, true}};  // right
    return table[ASide][ASegment];
}

}  // namespace

TColor ExtraFlatRowColor()
{
    return GExtraFlatRowColor;
}

void PrepareExtraFlatRowColor()
{
    const TColor c = ColorToRGB(clBtnFace);
    auto up = [](int v) { return uint8_t(std::min(v + 20, 255)); };
    GExtraFlatRowColor = RGB(up(GetRValue(c)), up(GetGValue(c)), up(GetBValue(c)));
}

TColor BrightenColor(TColor AColor, int APercent)
{
    const TColor c = ColorToRGB(AColor);
    const double r = GetRValue(c), g = GetGValue(c), b = GetBValue(c);
    const double mx = std::max({r, g, b}), mn = std::min({r, g, b});
    if (mx == 0)
        return c;
    double v = mx * 100.0 / 255.0;
    const double s = 100.0 - mn * 100.0 / mx;
    double h = 0;
    if (mx != mn) {
        if (mx == r)
            h = 60.0 * (g - b) / (mx - mn);
        else if (mx == g)
            h = 60.0 * (b - r) / (mx - mn) + 120.0;
        else
            h = 60.0 * (r - g) / (mx - mn) + 240.0;
        if (h < 0)
            h += 360.0;
    }
    v = std::min(100.0, v * (100.0 + APercent) / 100.0);
    // Back with the same hue and saturation.
    const double V = v * 255.0 / 100.0, S = s / 100.0;
    const double C = V * S;
    const double X = C * (1 - std::fabs(std::fmod(h / 60.0, 2.0) - 1));
    const double m = V - C;
    double rr = 0, gg = 0, bb = 0;
    switch (int(h / 60.0) % 6) {
    case 0: rr = C; gg = X; break;
    case 1: rr = X; gg = C; break;
    case 2: gg = C; bb = X; break;
    case 3: gg = X; bb = C; break;
    case 4: rr = X; bb = C; break;
    default: rr = C; bb = X; break;
    }
    auto ch = [&](double x) { return uint8_t(std::clamp(std::lround(x + m), 0L, 255L)); };
    return RGB(ch(rr), ch(gg), ch(bb));
}

// ---- TvlPCStandardPainter ----------------------------------------------------------

int TvlPCStandardPainter::GetTabContentWOffset(int AVisibleIndex)
{
    if (!HasImages() || (AVisibleIndex != -1 && !ShowsImage(AVisibleIndex) && !rotate()))
        return 12;
    return GetImageSize().cx + 2 * ParentControl()->ImageBorder() + 18;
}

int TvlPCStandardPainter::GetMinTabWidth(int AVisibleIndex)
{
    return std::max(GetTabContentWOffset(AVisibleIndex), GetMinTabNormalWidth());
}

int TvlPCStandardPainter::CalculateTabNormalWidth(TvlTab* ATab)
{
    if (ParentControl()->TabWidth() > 0)
        return ParentControl()->TabWidth();
    const int v = ATab->VisibleIndex();
    int w = GetTabContentWOffset(v);
    if (!ATab->Caption().isEmpty()) {
        ParentControl()->PrepareTabCanvasFont(ATab, canvas());
        w += canvas()->TextWidth(ATab->Caption());
    }
    return std::max(w, GetMinTabWidth(v));
}

int TvlPCStandardPainter::GetTabContentHeight()
{
    int h = GetMaxCaptionHeight() + 8;
    if (HasImages())
        h = std::max(h, GetImageSize().cy + 2 * ParentControl()->ImageBorder() + 6);
    return h;
}

int TvlPCStandardPainter::GetMinTabNormalHeight()
{
    return GetStandardStyle() == tsTabs ? 18 : 20;
}

int TvlPCStandardPainter::CalculateTabNormalHeight()
{
    int h = std::max(GetTabContentHeight(), GetMinTabNormalHeight());
    if (rotate() && HasImages() && (h - GetImageSize().cy) % 2 != 0)
        ++h;
    return std::max(h, ParentControl()->TabHeight());
}

void TvlPCStandardPainter::GetTabsDistance(TPoint& ADistance)
{
    switch (GetStandardStyle()) {
    case tsButtons: ADistance = Point(3, 3); break;
    case tsFlatButtons: ADistance = Point(10, 3); break;
    default: ADistance = Point(0, 0); break;
    }
}

void TvlPCStandardPainter::GetTabImageOffsets(int AVisibleIndex, std::array<int, 4>& AOffsets)
{
    const bool main = IsMainTab(AVisibleIndex);
    if (GetStandardStyle() == tsTabs)
        AOffsets = main ? std::array<int, 4>{8, 1, 0, 3} : std::array<int, 4>{6, 1, 0, 0};
    else
        AOffsets = main ? std::array<int, 4>{7, -1, 0, 1} : std::array<int, 4>{6, -1, 0, 1};
}

void TvlPCStandardPainter::GetTabTextOffsets(int AVisibleIndex, std::array<int, 4>& AOffsets)
{
    if (GetStandardStyle() == tsTabs)
        AOffsets = IsMainTab(AVisibleIndex) ? std::array<int, 4>{5, 1, 5, 2} : std::array<int, 4>{5, 1, 5, -1};
    else
        AOffsets = {6, 0, 4, 1};
}

void TvlPCStandardPainter::GetTabTextMargins(int AVisibleIndex, std::array<int, 2>& AMargins)
{
    const bool main = IsMainTab(AVisibleIndex);
    switch (GetStandardStyle()) {
    case tsButtons: AMargins = {3, 3}; break;
    case tsFlatButtons: AMargins = main ? std::array<int, 2>{4, 2} : std::array<int, 2>{2, 2}; break;
    default: AMargins = main ? std::array<int, 2>{4, 4} : std::array<int, 2>{2, 2}; break;
    }
}

void TvlPCStandardPainter::GetCompactTabTextMargins(int AVisibleIndex, std::array<int, 2>& AMargins)
{
    if (GetStandardStyle() == tsFlatButtons)
        AMargins = IsMainTab(AVisibleIndex) ? std::array<int, 2>{3, 2} : std::array<int, 2>{2, 2};
    else
        GetTabTextMargins(AVisibleIndex, AMargins);
}

TColor TvlPCStandardPainter::GetTabBodyColor(int AVisibleIndex)
{
    if (tab(AVisibleIndex)->Highlighted())
        return clHighlight;
    const TColor c = GetTabColor(AVisibleIndex);
    return c == clDefault ? clBtnFace : c;
}

TColor TvlPCStandardPainter::GetTabsAreaColor()
{
    return ParentControl()->Color();
}

TColor TvlPCStandardPainter::GetNavigatorButtonGlyphColor(TvlPCNavigatorButtonState AState)
{
    return AState == nbsHot ? clHotLight : clBtnText;
}

int TvlPCStandardPainter::GetNavigatorButtonWidth(TvlPCNavigatorButton AButton)
{
    if (AButton == nbGoDialog)
        return sideTabs() ? 13 : 12;
    return 20;
}

std::vector<TvlPCNavigatorButton> TvlPCStandardPainter::GetNavigatorButtonsOrder()
{
    const TvlPCNavigatorPosition p = ParentControl()->NavigatorPosition();
    const bool closeFirst = sideTabs() ? (p == npLeftTop || p == npRightTop) : (p == npLeftTop || p == npLeftBottom);
    std::vector<TvlPCNavigatorButton> order = closeFirst
                                                  ? std::vector<TvlPCNavigatorButton>{nbClose, nbTopLeft, nbBottomRight, nbGoDialog}
                                                  : std::vector<TvlPCNavigatorButton>{nbGoDialog, nbTopLeft, nbBottomRight, nbClose};
    const TvlPCNavigatorButtons shown = ParentControl()->NavigatorButtons();
    std::erase_if(order, [&](TvlPCNavigatorButton b) { return !shown.Contains(b); });
    return order;
}

void TvlPCStandardPainter::CalculateNavigatorButtonsRect()
{
    const std::vector<TvlPCNavigatorButton> order = GetNavigatorButtonsOrder();
    const int h = GetNavigatorButtonHeight();
    int len = 0;
    for (size_t i = 0; i < order.size(); ++i) {
        len += GetNavigatorButtonWidth(order[i]);
        if (i + 1 < order.size())
            len += GetNavigatorButtonsDistance(order[i], order[i + 1]);
    }
    const TvlPCNavigatorPosition p = ParentControl()->NavigatorPosition();
    const int W = ParentControl()->Width(), H = ParentControl()->Height();
    if (!sideTabs()) {
        const int left = (p == npRightTop || p == npRightBottom) ? W - len - GetNavigatorEdgeOffset()
                                                                 : GetNavigatorEdgeOffset();
        const int top = tabPosition() == tpBottom ? H - h - GetNavigatorRowOffset() : GetNavigatorRowOffset();
        FNavigatorButtonsRect = Bounds(left, top, len, h);
    } else {
        const int left = tabPosition() == tpLeft ? GetNavigatorRowOffset() : W - h - GetNavigatorRowOffset();
        const int top = (p == npLeftBottom || p == npRightBottom) ? H - len - GetNavigatorEdgeOffset()
                                                                  : GetNavigatorEdgeOffset();
        FNavigatorButtonsRect = Bounds(left, top, h, len);
    }
}

void TvlPCStandardPainter::CalculateNavigatorButtonPositions()
{
    FNavigatorButtonPositions.clear();
    const std::vector<TvlPCNavigatorButton> order = GetNavigatorButtonsOrder();
    if (order.empty())
        return;
    CalculateNavigatorButtonsRect();
    const int h = GetNavigatorButtonHeight();
    int pos = sideTabs() ? FNavigatorButtonsRect.Top : FNavigatorButtonsRect.Left;
    for (size_t i = 0; i < order.size(); ++i) {
        const int w = GetNavigatorButtonWidth(order[i]);
        const TRect r = sideTabs() ? Bounds(FNavigatorButtonsRect.Left, pos, h, w)
                                   : Bounds(pos, FNavigatorButtonsRect.Top, w, h);
        FNavigatorButtonPositions.push_back({order[i], r});
        pos += w;
        if (i + 1 < order.size())
            pos += GetNavigatorButtonsDistance(order[i], order[i + 1]);
    }
}

int TvlPCStandardPainter::GetNavigatorButtonsAreaWidth()
{
    const std::vector<TvlPCNavigatorButton> order = GetNavigatorButtonsOrder();
    if (order.empty())
        return 0;
    int len = 0;
    for (size_t i = 0; i < order.size(); ++i) {
        len += GetNavigatorButtonWidth(order[i]);
        if (i + 1 < order.size())
            len += GetNavigatorButtonsDistance(order[i], order[i + 1]);
    }
    return len + GetNavigatorEdgeOffset() + GetNavigatorTabsIndent();
}

bool TvlPCStandardPainter::navigatorAtRowEnd() const
{
    const TvlPCNavigatorPosition p = ParentControl()->NavigatorPosition();
    return sideTabs() ? (p == npLeftBottom || p == npRightBottom) : (p == npRightTop || p == npRightBottom);
}

void TvlPCStandardPainter::applyTabsAreaInsets(TRect& R, int ALeading, int ATabSide, int ATrailing, int AOpposite)
{
    switch (tabPosition()) {
    case tpTop: R = Rect(R.Left + ALeading, R.Top + ATabSide, R.Right - ATrailing, R.Bottom - AOpposite); break;
    case tpBottom: R = Rect(R.Left + ALeading, R.Top + AOpposite, R.Right - ATrailing, R.Bottom - ATabSide); break;
    case tpLeft: R = Rect(R.Left + ATabSide, R.Top + ALeading, R.Right - AOpposite, R.Bottom - ATrailing); break;
    case tpRight: R = Rect(R.Left + AOpposite, R.Top + ALeading, R.Right - ATabSide, R.Bottom - ATrailing); break;
    }
}

void TvlPCStandardPainter::CalculateTabsArea(TvlPCNavigatorButtons AButtons, TvlPCTabsArea& AArea)
{
    TRect r = Rect(0, 0, ParentControl()->Width(), ParentControl()->Height());
    TRect m;
    GetTabsAreaMargins(m);
    applyTabsAreaInsets(r, m.Left, m.Top, m.Right, m.Bottom);
    TRect o;
    if (isTabsContainer())
        GetTabsContainerOffsets(o);
    if (!AButtons.Empty()) {
        const int nav = GetNavigatorButtonsAreaWidth();
        if (navigatorAtRowEnd())
            applyTabsAreaInsets(r, o.Left, o.Top, nav, 0);
        else
            applyTabsAreaInsets(r, nav, o.Top, o.Right, 0);
    } else
        applyTabsAreaInsets(r, o.Left, o.Top, o.Right, o.Bottom);
    AArea.BandsRect = r;
    AArea.RowsRect = r;
    AArea.RowLength = sideTabs() ? r.Height() : r.Width();
    AArea.LeadingBandInnerOffset = 0;
    AArea.TrailingBandInnerOffset = 0;
    TPoint d;
    GetTabsDistance(d);
    AArea.MinBandsDistance = d.Y;
    CalculateNavigatorButtonPositions();
}

TPoint TvlPCStandardPainter::GetGoDialogPopupPosition(const TSize& ASize)
{
    TRect r;
    GetGoDialogButtonBounds(r);
    return Point(r.Left, tabPosition() == tpBottom ? r.Top - ASize.cy : r.Bottom);
}

bool TvlPCStandardPainter::GetNavigatorButtonAt(int X, int Y, TvlPCNavigatorButton& AButton)
{
    for (const auto& p : FNavigatorButtonPositions)
        if (PtInRect(p.Bounds, Point(X, Y))) {
            AButton = p.Button;
            return true;
        }
    return false;
}

void TvlPCStandardPainter::GetGoDialogButtonBounds(TRect& R)
{
    R = TRect();
    for (const auto& p : FNavigatorButtonPositions)
        if (p.Button == nbGoDialog)
            R = p.Bounds;
}

bool TvlPCStandardPainter::IsMainTab(int AVisibleIndex)
{
    return tab(AVisibleIndex)->IsMain();
}

void TvlPCStandardPainter::SetTabContentRects(int AVisibleIndex, const TRect& AImageRect, const TRect& ATextRect)
{
    FContentLayout.VisibleIndex = AVisibleIndex;
    FContentLayout.ImageRect = AImageRect;
    FContentLayout.TextRect = ATextRect;
}

void TvlPCStandardPainter::Paint()
{
    TvlPCCustomPainter::Paint();
    canvas()->FillRectByColor(Rect(0, 0, ParentControl()->Width(), ParentControl()->Height()), GetTabsAreaColor());
}

void TvlPCStandardPainter::PaintNavigatorButtons()
{
    for (const auto& p : FNavigatorButtonPositions) {
        if (!ClipToRect(p.Bounds))
            continue;
        DrawNavigatorButton(p.Button, p.Bounds);
        RestoreClipRegion();
        canvas()->ExcludeClipRect(p.Bounds);
    }
}

void TvlPCStandardPainter::PaintFrame()
{
    TRect r;
    GetPageArea(r);
    // The frame area is what the frame goes round.
    GetFrameArea(r);
    const int minSize = GetMinPageAreaSize();
    r.Right = std::max(r.Right, r.Left + minSize);
    r.Bottom = std::max(r.Bottom, r.Top + minSize);
    DrawPageFrame(r);
}

void TvlPCStandardPainter::PaintTabs()
{
    const int n = ParentControl()->VisibleTabList()->Count();
    for (int v = 0; v < n; ++v)
        if (ParentControl()->MultiLine() || ParentControl()->IsTabVisibleInRange(v))
            PaintTab(v);
}

void TvlPCStandardPainter::PaintTab(int AVisibleIndex)
{
    TvlTab* t = tab(AVisibleIndex);
    SaveClipRegion();
    {
        std::unique_ptr<TvlRegion> region = GetTabClipRegion(AVisibleIndex);
        canvas()->SetClipRegion(*region, GetTabClipOperation(AVisibleIndex));
    }
    bool drawnByHandler = false;
    if (IsOwnerDrawTab())
        drawnByHandler = DoDrawTab(AVisibleIndex);
    if (!drawnByHandler) {
        t->CreatePaintBitmap();
        if (IsNativePainting())
            DrawNativeTab(t, AVisibleIndex);
        DrawTabContent(t, AVisibleIndex);
        DrawTab(t, AVisibleIndex);
        t->DestroyPaintBitmap();
    }
    RestoreClipRegion();
    if (drawnByHandler || !ExcludesOnlyTabContent(AVisibleIndex)) {
        DoAfterPaintTab(AVisibleIndex);
        std::unique_ptr<TvlRegion> region = GetTabClipRegion(AVisibleIndex);
        canvas()->SetClipRegion(*region, roSubtract);
    } else
        ExcludeTabContent(AVisibleIndex);
}

void TvlPCStandardPainter::RepaintNavigatorButton(TvlPCNavigatorButton AButton, TvlPCNavigatorButtonState)
{
    for (const auto& p : FNavigatorButtonPositions)
        if (p.Button == AButton)
            InvalidateRect(p.Bounds);
}

void TvlPCStandardPainter::RepaintNavigatorButtons()
{
    if (!FNavigatorButtonPositions.empty())
        InvalidateRect(FNavigatorButtonsRect);
}

void TvlPCStandardPainter::RepaintTab(int AVisibleIndex, TvlPCTabChangeKind)
{
    if (isVerticalText())
        tab(AVisibleIndex)->DropCaptionBitmap();
    InvalidateTab(AVisibleIndex);
}

void TvlPCStandardPainter::DrawTabFocusRect(int AVisibleIndex, const TRect& R)
{
    TvlTab* t = tab(AVisibleIndex);
    if (!t->IsMain() || !t->IsEnabled() || !ParentControl()->Focused())
        return;
    const TRect visible = t->VisibleBounds();
    if (visible.IsEmpty())
        return;
    SaveClipRegion();
    TvlRegion region(visible);
    canvas()->SetClipRegion(region, roSet);
    TRect r = R;
    InflateRect(r, -1, -1);
    canvas()->DrawFocusRect(r);
    RestoreClipRegion();
}

void TvlPCStandardPainter::DrawButtonFrame(TRect R, bool APressed, bool AFlat)
{
    const int L = R.Left, T = R.Top, Rr = R.Right, B = R.Bottom;
    if (AFlat) {
        const TColor lt = APressed ? cl3DDkShadow : cl3DLight, rb = APressed ? cl3DLight : cl3DDkShadow;
        DrawPolyline({Point(L, B - 2), Point(L, T), Point(Rr - 2, T)}, nullptr, lt);
        DrawPolyline({Point(L, B - 1), Point(Rr - 1, B - 1), Point(Rr - 1, T)}, nullptr, rb);
        return;
    }
    const TColor c[4] = {APressed ? clBtnShadow : cl3DLight, APressed ? cl3DDkShadow : clBtnHighlight,
                         APressed ? clBtnHighlight : cl3DDkShadow, APressed ? cl3DLight : clBtnShadow};
    DrawPolyline({Point(L, B - 2), Point(L, T), Point(Rr - 2, T)}, nullptr, c[0]);
    DrawPolyline({Point(L + 1, B - 3), Point(L + 1, T + 1), Point(Rr - 3, T + 1)}, nullptr, c[1]);
    DrawPolyline({Point(L, B - 1), Point(Rr - 1, B - 1), Point(Rr - 1, T)}, nullptr, c[2]);
    DrawPolyline({Point(L + 1, B - 2), Point(Rr - 2, B - 2), Point(Rr - 2, T + 1)}, nullptr, c[3]);
}

void TvlPCStandardPainter::DrawNavigatorButtonBorder(TRect& R, TvlPCNavigatorButtonState AState)
{
    DrawButtonFrame(R, AState == nbsPressed, false);
    InflateRect(R, -2, -2);
}

void TvlPCStandardPainter::FillNavigatorButton(TRect& R, TvlPCNavigatorButtonState AState)
{
    canvas()->FillRectByColor(R, GetNavigatorButtonColor(AState));
}

void TvlPCStandardPainter::GetNavigatorButtonGlyphInfo(TvlPCNavigatorButton, TvlPCNavigatorButtonState AState,
                                                       TvlPCNavigatorButtonGlyphInfo& AInfo)
{
    AInfo.BrushColor = AInfo.PenColor = GetNavigatorButtonGlyphColor(AState);
    AInfo.Enabled = ParentControl()->Enabled() && AState != nbsDisabled;
    AInfo.SmallCross = false;
}

TPoint TvlPCStandardPainter::GetNavigatorButtonGlyphOffset(TvlPCNavigatorButton AButton,
                                                           TvlPCNavigatorButtonState AState)
{
    TSize glyph = AButton == nbClose ? TSize{8, 7} : AButton == nbGoDialog ? TSize{7, 4} : TSize{5, 9};
    if (sideTabs() && (AButton == nbTopLeft || AButton == nbBottomRight))
        glyph = TSize{9, 5};
    TSize button{GetNavigatorButtonWidth(AButton), GetNavigatorButtonHeight()};
    if (sideTabs())
        std::swap(button.cx, button.cy);
    TPoint p = Point((button.cx - glyph.cx) / 2, (button.cy - glyph.cy) / 2);
    if (AButton == nbGoDialog)
        ++p.Y;
    if (AState == nbsPressed) {
        if (AButton != nbGoDialog)
            ++p.X;
        ++p.Y;
    }
    return p;
}

TPoint TvlPCStandardPainter::GetGlyphOffsetByTable(TvlPCNavigatorButton AButton, TvlPCNavigatorButtonState AState)
{
    TPoint p;
    switch (AButton) {
    case nbTopLeft: p = sideTabs() ? Point(5, 7) : Point(6, 5); break;
    case nbBottomRight: p = sideTabs() ? Point(5, 7) : Point(8, 5); break;
    case nbGoDialog: p = sideTabs() ? Point(6, 4) : Point(2, 8); break;
    case nbClose: p = Point(5, 5); break;
    }
    if (AState == nbsPressed) {
        ++p.X;
        ++p.Y;
    }
    return p;
}

void TvlPCStandardPainter::drawGlyph(TvlPCNavigatorButton AButton, const TPoint& AAt, TColor AColor, bool ASmallCross,
                                     TColor ABrushColor)
{
    TvlCanvas* cv = canvas();
    if (AButton == nbClose) {
        cv->Pen()->SetColor(AColor);
        auto line = [&](int x1, int y1, int x2, int y2) {
            cv->MoveTo(AAt.X + x1, AAt.Y + y1);
            cv->LineTo(AAt.X + x2, AAt.Y + y2);
        };
        // A line's end pixel is left out, as the system's lines do: each
        // diagonal is drawn one pixel further.
        if (!ASmallCross) {
            line(1, 0, 9, 8); line(0, 0, 9, 9); line(0, 1, 8, 9);
            line(0, 7, 8, -1); line(0, 8, 9, -1); line(1, 8, 9, 0);
        } else if (!sideTabs()) {
            line(1, 0, 8, 7); line(0, 0, 7, 7); line(0, 6, 7, -1); line(1, 6, 8, -1);
        } else {
            line(0, 0, 7, 7); line(0, 1, 7, 8); line(0, 6, 7, -1); line(0, 7, 7, 0);
        }
        return;
    }
    enum { up, down, left, right } dir;
    if (AButton == nbGoDialog)
        dir = down;
    else if (AButton == nbTopLeft)
        dir = sideTabs() ? up : left;
    else
        dir = sideTabs() ? down : right;
    const int k = (AButton == nbGoDialog ? 4 : 5) - 1;
    static constexpr TPoint unit[4][3] = {{{0, 1}, {1, 0}, {2, 1}},
                                          {{0, 0}, {2, 0}, {1, 1}},
                                          {{0, 1}, {1, 0}, {1, 2}},
                                          {{0, 0}, {1, 1}, {0, 2}}};
    std::array<TPoint, 3> pts;
    for (int i = 0; i < 3; ++i)
        pts[size_t(i)] = Point(AAt.X + unit[dir][i].X * k, AAt.Y + unit[dir][i].Y * k);
    cv->Pen()->SetColor(AColor);
    cv->Brush()->SetColor(ABrushColor == clDefault ? AColor : ABrushColor);
    cv->Polygon(pts);
}

void TvlPCStandardPainter::DrawNavigatorButton(TvlPCNavigatorButton AButton, const TRect& ABounds)
{
    const TvlPCNavigatorButtonState state = ParentControl()->NavigatorButtonState(AButton);
    TRect r = ABounds;
    DrawNavigatorButtonBorder(r, state);
    FillNavigatorButton(r, state);
    TvlPCNavigatorButtonGlyphInfo info;
    GetNavigatorButtonGlyphInfo(AButton, state, info);
    const TPoint offset = GetNavigatorButtonGlyphOffset(AButton, state);
    const TPoint at = Point(ABounds.Left + offset.X, ABounds.Top + offset.Y);
    if (!info.Enabled) {
        drawGlyph(AButton, Point(at.X + 1, at.Y + 1), clBtnHighlight, info.SmallCross);
        drawGlyph(AButton, at, clBtnShadow, info.SmallCross);
    } else
        drawGlyph(AButton, at, info.PenColor, info.SmallCross, info.BrushColor);
}

void TvlPCStandardPainter::solidGlyphInfo(TvlPCNavigatorButton AButton, TvlPCNavigatorButtonState AState,
                                          TvlPCNavigatorButtonGlyphInfo& AInfo)
{
    AInfo.BrushColor = AInfo.PenColor = GetNavigatorButtonGlyphColor(AState);
    AInfo.Enabled = true;
    AInfo.SmallCross = AButton == nbClose;
}

void TvlPCStandardPainter::darkWhenActiveBorder(TRect& R, TvlPCNavigatorButtonState AState)
{
    canvas()->FrameRect(R, (AState == nbsPressed || AState == nbsHot) ? clBlack : clBtnShadow);
    InflateRect(R, -1, -1);
}

void TvlPCStandardPainter::DrawPageFrame(const TRect& R)
{
    canvas()->DrawComplexFrame(R, clBtnHighlight, cl3DDkShadow);
    TRect r = R;
    InflateRect(r, -1, -1);
    canvas()->DrawComplexFrame(r, cl3DLight, clBtnShadow);
}

// ---- button styles -----------------------------------------------------------------

void TvlPCButtonedPainter::GetTabsAreaExtents(TRect& AExtents)
{
    TvlPCStandardPainter::GetTabsAreaExtents(AExtents);
    if (ParentControl()->RowCount() > 0 && !ParentControl()->HideTabs())
        AExtents.Top += 2;
}

TColor TvlPCButtonedPainter::GetTabBodyColor(int AVisibleIndex)
{
    if (tab(AVisibleIndex)->Highlighted())
        return clHighlight;
    const TColor c = GetTabColor(AVisibleIndex);
    if (c != clDefault)
        return c;
    return IsMainTab(AVisibleIndex) ? clBtnHighlight : clBtnFace;
}

void TvlPCButtonedPainter::GetTabTextMargins(int, std::array<int, 2>& AMargins)
{
    AMargins = HasImages() ? std::array<int, 2>{3, 4} : std::array<int, 2>{4, 4};
}

void TvlPCButtonedPainter::GetCompactTabTextMargins(int AVisibleIndex, std::array<int, 2>& AMargins)
{
    GetTabTextMargins(AVisibleIndex, AMargins);
}

bool TvlPCButtonedPainter::IsMainTab(int AVisibleIndex)
{
    const TvlTab* t = tab(AVisibleIndex);
    return !t->IsTracking() && (t->IsPressed() || t->Selected() || t->IsMain());
}

const TvlPCButtonsPainter::ClassInfo& TvlPCButtonsPainter::Class()
{
    static const ClassInfo c;
    return c;
}

void TvlPCButtonsPainter::DrawTab(TvlTab* ATab, int AVisibleIndex)
{
    // The tracked tab counts as pressed in this style.
    const bool pressed = IsMainTab(AVisibleIndex) || ATab->IsTracking();
    TRect r = ATab->Bounds();
    if (pressed) {
        canvas()->DrawComplexFrame(r, cl3DDkShadow, clBtnHighlight);
        InflateRect(r, -1, -1);
        canvas()->DrawComplexFrame(r, clBtnShadow, cl3DLight);
    } else {
        canvas()->DrawComplexFrame(r, clBtnHighlight, cl3DDkShadow);
        InflateRect(r, -1, -1);
        canvas()->DrawComplexFrame(r, cl3DLight, clBtnShadow);
    }
    InflateRect(r, -1, -1);
    canvas()->FillRectByColor(r, GetTabBodyColor(AVisibleIndex));
    TRect focus = ATab->Bounds();
    InflateRect(focus, -1, -1);
    DrawTabFocusRect(AVisibleIndex, focus);
}

const TvlPCFlatButtonsPainter::ClassInfo& TvlPCFlatButtonsPainter::Class()
{
    static const ClassInfo c;
    return c;
}

bool TvlPCFlatButtonsPainter::IsMainTab(int AVisibleIndex)
{
    return TvlPCButtonedPainter::IsMainTab(AVisibleIndex);
}

void TvlPCFlatButtonsPainter::DrawTab(TvlTab* ATab, int AVisibleIndex)
{
    TRect r = ATab->Bounds();
    if (IsMainTab(AVisibleIndex)) {
        DrawButtonFrame(r, true, false);
        InflateRect(r, -2, -2);
    } else if (ATab->IsHot() || ATab->IsTracking()) {
        canvas()->DrawComplexFrame(r, clBtnHighlight, clBtnShadow);
        InflateRect(r, -1, -1);
    }
    canvas()->FillRectByColor(r, GetTabBodyColor(AVisibleIndex));
    TRect focus = ATab->Bounds();
    InflateRect(focus, -1, -1);
    DrawTabFocusRect(AVisibleIndex, focus);
}

void TvlPCFlatButtonsPainter::PaintTab(int AVisibleIndex)
{
    TvlPCButtonedPainter::PaintTab(AVisibleIndex);
    const int n = ParentControl()->VisibleTabList()->Count();
    if (AVisibleIndex + 1 >= n)
        return;
    TvlTab* t = tab(AVisibleIndex);
    TvlTab* next = tab(AVisibleIndex + 1);
    if (next->Row() != t->Row())
        return;
    TPoint d;
    GetTabsDistance(d);
    const int gap = rotate() ? d.Y : d.X;
    const TRect b = t->Bounds();
    const bool reversed = ParentControl()->isReversedRow();
    TRect strip;
    if (!isVerticalText())
        strip = reversed ? Rect(b.Left - gap, b.Top, b.Left, b.Bottom) : Rect(b.Right, b.Top, b.Right + gap, b.Bottom);
    else
        strip = reversed ? Rect(b.Left, b.Top - gap, b.Right, b.Top) : Rect(b.Left, b.Bottom, b.Right, b.Bottom + gap);
    canvas()->FillRectByColor(strip, ParentControl()->Color());
    if (!isVerticalText()) {
        const int x = strip.Left + (gap - 2) / 2;
        DrawPolyline({Point(x, b.Top + 1), Point(x, b.Bottom - 3)}, nullptr, clBtnShadow);
        DrawPolyline({Point(x + 1, b.Top + 1), Point(x + 1, b.Bottom - 3)}, nullptr, clBtnHighlight);
    } else {
        const int y = strip.Top + (gap - 2) / 2;
        DrawPolyline({Point(b.Left + 1, y), Point(b.Right - 3, y)}, nullptr, clBtnShadow);
        DrawPolyline({Point(b.Left + 1, y + 1), Point(b.Right - 3, y + 1)}, nullptr, clBtnHighlight);
    }
    canvas()->ExcludeClipRect(strip);
}

// ---- "Tabs" ----------------------------------------------------------------------

const TvlPCTabsPainter::ClassInfo& TvlPCTabsPainter::Class()
{
    static const ClassInfo c;
    return c;
}

bool TvlPCTabsPainter::ClassInfo::HasLookAndFeel(const TvlLookAndFeel* ALookAndFeel) const
{
    if (HasSkinTabPainter(ALookAndFeel))
        return false;
    const TvlLookAndFeelStyle s = GetTabLookAndFeelStyle(ALookAndFeel);
    return s == lfsStandard || s == lfsNative;
}

bool TvlPCTabsPainter::ClassInfo::IsDefault(const TvlLookAndFeel* ALookAndFeel) const
{
    return ALookAndFeel->NativeStyle();
}

void TvlPCTabsPainter::GetTabCorrection(int AVisibleIndex, TvlPCTabBoundsCorrection& C)
{
    C = TvlPCTabBoundsCorrection();
    if (!IsMainTab(AVisibleIndex))
        return;
    switch (tab(AVisibleIndex)->Side()) {
    case tpTop: C = {-2, -2, 2, 1}; break;
    case tpBottom: C = {-2, -1, 2, 2}; break;
    case tpLeft: C = {-2, -2, 1, 2}; break;
    case tpRight: C = {-1, -2, 2, 2}; break;
    }
}

void TvlPCTabsPainter::GetPageAreaExtents(TRect& AExtents)
{
    TvlPCStandardPainter::GetPageAreaExtents(AExtents);
    if (isTabsContainer())
        AExtents.Top += 3 - GetFrameWidth();
}

void TvlPCTabsPainter::GetTabsAreaExtents(TRect& AExtents)
{
    TvlPCStandardPainter::GetTabsAreaExtents(AExtents);
    if (!ParentControl()->HideTabs() && ParentControl()->RowCount() > 0)
        --AExtents.Top;
}

void TvlPCTabsPainter::GetTabImageOffsets(int AVisibleIndex, std::array<int, 4>& AOffsets)
{
    TvlPCStandardPainter::GetTabImageOffsets(AVisibleIndex, AOffsets);
    const int o = tab(AVisibleIndex)->Orientation();
    if (o == 5 || o == 7 || o == 10)
        ++AOffsets[3];
}

void TvlPCTabsPainter::GetTabTextOffsets(int AVisibleIndex, std::array<int, 4>& AOffsets)
{
    TvlPCStandardPainter::GetTabTextOffsets(AVisibleIndex, AOffsets);
    const int o = tab(AVisibleIndex)->Orientation();
    if (o == 5 || o == 7 || o == 10)
        ++AOffsets[3];
    if (IsMainTab(AVisibleIndex) && !HasImages())
        AOffsets[0] += 2;
}

void TvlPCTabsPainter::GetTabImageOnlyOffsets(int AVisibleIndex, std::array<int, 2>& AOffsets)
{
    if (rotate() && IsMainTab(AVisibleIndex)) {
        const int o = tab(AVisibleIndex)->Orientation();
        AOffsets = (o == 3 || o == 6 || o == 11) ? std::array<int, 2>{2, 1} : std::array<int, 2>{1, 2};
    } else
        TvlPCStandardPainter::GetTabImageOnlyOffsets(AVisibleIndex, AOffsets);
}

void TvlPCTabsPainter::GetTabTextMargins(int AVisibleIndex, std::array<int, 2>& AMargins)
{
    if (IsMainTab(AVisibleIndex))
        AMargins = rotate() ? std::array<int, 2>{4, 5} : std::array<int, 2>{5, 5};
    else
        AMargins = rotate() ? std::array<int, 2>{3, 3} : std::array<int, 2>{3, 2};
    const int o = tab(AVisibleIndex)->Orientation();
    if (o == 3 || o == 6 || o == 11)
        std::swap(AMargins[0], AMargins[1]);
}

TColor TvlPCTabsPainter::GetTabBodyColor(int AVisibleIndex)
{
    return TvlPCStandardPainter::GetTabBodyColor(AVisibleIndex);
}

std::unique_ptr<TvlRegion> TvlPCTabsPainter::GetTabClipRegion(int AVisibleIndex)
{
    TvlTab* t = tab(AVisibleIndex);
    TRect r = t->VisibleBounds();
    if (IsMainTab(AVisibleIndex) && !r.IsEmpty())
        r = extendTowardsPage(r, t->Side(), 1);
    return std::make_unique<TvlRegion>(r);
}

TvlRegionOperation TvlPCTabsPainter::GetTabClipOperation(int AVisibleIndex)
{
    return IsMainTab(AVisibleIndex) ? roSet : roIntersect;
}

void TvlPCTabsPainter::GetTabThemeState(int AVisibleIndex, int& APart, int& AState)
{
    TvlTab* t = tab(AVisibleIndex);
    const bool main = IsMainTab(AVisibleIndex);
    int place = 1;  // 0 left edge, 1 middle, 2 right edge
    if (!isTabsContainer()) {
        const int n = ParentControl()->VisibleTabList()->Count();
        const bool firstInRow = AVisibleIndex == 0 || tab(AVisibleIndex - 1)->Row() != t->Row();
        const bool lastInRow = AVisibleIndex == n - 1 || tab(AVisibleIndex + 1)->Row() != t->Row();
        if (!ParentControl()->MultiLine() || ParentControl()->RaggedRight()) {
            place = firstInRow ? 0 : (AVisibleIndex == n - 1 ? 2 : 1);
            if (main && place == 2)
                place = 1;
        } else
            place = lastInRow ? 2 : (firstInRow ? 0 : 1);
    }
    static constexpr int parts[2][3] = {{2, 1, 3}, {6, 5, 7}};
    APart = parts[main ? 1 : 0][place];
    AState = main ? 3 : (t->IsHot() ? 2 : 1);
}

void TvlPCTabsPainter::CalculateTabsArea(TvlPCNavigatorButtons AButtons, TvlPCTabsArea& AArea)
{
    TvlPCStandardPainter::CalculateTabsArea(AButtons, AArea);
    // Room for the main tab, which grows by two at each end and on the tab side.
    applyTabsAreaInsets(AArea.RowsRect, 2, 2, 2, 0);
    AArea.RowLength = sideTabs() ? AArea.RowsRect.Height() : AArea.RowsRect.Width();
    AArea.LeadingBandInnerOffset = (tabPosition() == tpTop || tabPosition() == tpLeft) ? 1 : 0;
    AArea.TrailingBandInnerOffset = (tabPosition() == tpBottom || tabPosition() == tpRight) ? -1 : 0;
    AArea.MinBandsDistance = 0;
}

int TvlPCTabsPainter::GetTabContentHeight()
{
    return TvlPCStandardPainter::GetTabContentHeight() - 2 - (rotate() ? 0 : 1);
}

int TvlPCTabsPainter::GetMinPageAreaSize()
{
    return isTabsContainer() ? GetFrameWidth() + 3 : TvlPCStandardPainter::GetMinPageAreaSize();
}

void TvlPCTabsPainter::InvalidateTab(int AVisibleIndex)
{
    TvlTab* t = tab(AVisibleIndex);
    InvalidateRect(extendTowardsPage(t->VisibleBounds(), t->Side(), 1));
}

void TvlPCTabsPainter::PaintTabs()
{
    const int main = ParentControl()->MainTabVisibleIndex();
    const bool multi = ParentControl()->MultiLine();
    if (main != -1 && (multi || ParentControl()->IsTabVisibleInRange(main)))
        PaintTab(main);
    const int n = ParentControl()->VisibleTabList()->Count();
    for (int v = 0; v < n; ++v)
        if (v != main && (multi || ParentControl()->IsTabVisibleInRange(v)))
            PaintTab(v);
}

void TvlPCTabsPainter::PaintFrame()
{
    TvlPCStandardPainter::PaintFrame();
    if (isTabsContainer()) {
        TRect r;
        GetPageArea(r);
        canvas()->FillRectByColor(r, clBtnFace);
    }
}

void TvlPCTabsPainter::RepaintTab(int AVisibleIndex, TvlPCTabChangeKind AKind)
{
    if (AKind == tckMainTab && !IsMainTab(AVisibleIndex))
        InvalidateRect(tab(AVisibleIndex)->Bounds());
    else
        TvlPCStandardPainter::RepaintTab(AVisibleIndex, AKind);
}

TRect TvlPCTabsPainter::GetFocusFrameRect(int AVisibleIndex)
{
    TRect r = tab(AVisibleIndex)->Bounds();
    InflateRect(r, -2, -2);
    return r;
}

TRect TvlPCTabsPainter::bodyRect(int AVisibleIndex)
{
    TvlTab* t = tab(AVisibleIndex);
    TRect r = t->Bounds();
    InflateRect(r, -2, -2);
    return extendTowardsPage(r, t->Side(), 2);
}

void TvlPCTabsPainter::drawOutlineRing(const TRect& P, TvlTabPosition ASide, int AInset, TColor ALeadColor,
                                       TColor ATrailColor)
{
    const TRect R = topFormRect(P, ASide);
    const int L = R.Left, T = R.Top, Rr = R.Right, B = R.Bottom;
    // Left side with its corner, the top, and the right side with its corner;
    // the inner ring's corners are one pixel shorter.
    const std::vector<TPoint> outer[3] = {{Point(L, B - 1), Point(L, T + 2), Point(L + 1, T + 1)},
                                          {Point(L + 2, T), Point(Rr - 3, T)},
                                          {Point(Rr - 2, T + 1), Point(Rr - 1, T + 2), Point(Rr - 1, B - 1)}};
    const std::vector<TPoint> inner[3] = {{Point(L + 1, B - 1), Point(L + 1, T + 2)},
                                          {Point(L + 2, T + 1), Point(Rr - 3, T + 1)},
                                          {Point(Rr - 2, T + 2), Point(Rr - 2, B - 1)}};
    const auto& segments = AInset == 0 ? outer : inner;
    for (int s = 0; s < 3; ++s)
        DrawMappedPolyline(R, segments[s], facesLeftOrUp(s, ASide) ? ALeadColor : ATrailColor, ASide);
}

void TvlPCTabsPainter::DrawTabOutline(int AVisibleIndex, const TRect& R)
{
    const TvlTabPosition side = tab(AVisibleIndex)->Side();
    drawOutlineRing(R, side, 0, clBtnHighlight, cl3DDkShadow);
    drawOutlineRing(R, side, 1, cl3DLight, clBtnShadow);
}

void TvlPCTabsPainter::GetTabCornerColors(int AVisibleIndex, TColor& ALeading, TColor& ATrailing)
{
    TvlTab* t = tab(AVisibleIndex);
    const bool outerRow = ParentControl()->RowCount() == 1 ? true
                          : (t->Side() == tpTop || t->Side() == tpLeft) ? t->VisibleRow() == 0
                                                                        : t->VisibleRow() == ParentControl()->RowCount() - 1;
    ALeading = ATrailing = outerRow ? ParentControl()->Color() : clBtnFace;
    const int main = ParentControl()->MainTabVisibleIndex();
    if (!rotate() && main != -1 && t->Row() == tab(main)->Row()) {
        const int n = ParentControl()->VisibleTabList()->Count();
        if (AVisibleIndex == 0 || tab(AVisibleIndex - 1)->Row() != t->Row())
            ALeading = ParentControl()->Color();
        if (AVisibleIndex == n - 1 || tab(AVisibleIndex + 1)->Row() != t->Row())
            ATrailing = ParentControl()->Color();
    }
}

void TvlPCTabsPainter::DrawTabCorners(int AVisibleIndex, const TRect& P)
{
    TColor lead, trail;
    GetTabCornerColors(AVisibleIndex, lead, trail);
    const TvlTabPosition side = tab(AVisibleIndex)->Side();
    const TRect R = topFormRect(P, side);
    const int L = R.Left, T = R.Top, Rr = R.Right;
    std::vector<TPoint> left{Point(L, T), Point(L + 1, T), Point(L, T + 1)};
    std::vector<TPoint> right{Point(Rr - 2, T), Point(Rr - 1, T), Point(Rr - 1, T + 1)};
    MapPointsToTabPosition(R, left, side);
    MapPointsToTabPosition(R, right, side);
    for (const TPoint& p : left)
        canvas()->SetPixel(p.X, p.Y, lead);
    for (const TPoint& p : right)
        canvas()->SetPixel(p.X, p.Y, trail);
}

void TvlPCTabsPainter::DrawTab(TvlTab* ATab, int AVisibleIndex)
{
    const TvlTabPosition side = ATab->Side();
    const TRect body = bodyRect(AVisibleIndex);
    const TColor bodyColor = GetTabBodyColor(AVisibleIndex);
    canvas()->FillRectByColor(body, bodyColor);
    const bool main = IsMainTab(AVisibleIndex);
    if (main) {
        // Open towards the page: the row beyond the tab takes the body colour.
        canvas()->FillRectByColor(pageSideStrip(extendTowardsPage(body, side, 1), side, 1), bodyColor);
        DrawTabFocusRect(AVisibleIndex, extendTowardsPage(body, side, 1));
    } else
        canvas()->FillRectByColor(pageSideStrip(ATab->Bounds(), side, 2), ParentControl()->Color());
    // The selected tab's sides run on into the frame below it.
    DrawTabOutline(AVisibleIndex, main ? extendTowardsPage(ATab->Bounds(), side, 1) : ATab->Bounds());
    DrawTabCorners(AVisibleIndex, ATab->Bounds());
}

// ---- "Flat" ----------------------------------------------------------------------

const TvlPCFlatPainter::ClassInfo& TvlPCFlatPainter::Class()
{
    static const ClassInfo c;
    return c;
}

bool TvlPCFlatPainter::ClassInfo::HasLookAndFeel(const TvlLookAndFeel* ALookAndFeel) const
{
    return !HasSkinTabPainter(ALookAndFeel) && GetTabLookAndFeelStyle(ALookAndFeel) == lfsFlat;
}

TPoint TvlPCFlatPainter::GetNavigatorButtonGlyphOffset(TvlPCNavigatorButton AButton, TvlPCNavigatorButtonState AState)
{
    TPoint p = GetGlyphOffsetByTable(AButton, AState);
    return Point(p.X - 1, p.Y - 1);
}

void TvlPCFlatPainter::DrawNavigatorButtonBorder(TRect& R, TvlPCNavigatorButtonState AState)
{
    const bool pressed = AState == nbsPressed;
    canvas()->DrawComplexFrame(R, pressed ? clBtnShadow : clBtnHighlight, pressed ? clBtnHighlight : clBtnShadow);
    InflateRect(R, -1, -1);
}

void TvlPCFlatPainter::DrawPageFrame(const TRect& R)
{
    canvas()->DrawComplexFrame(R, clBtnHighlight, clBtnShadow);
}

std::unique_ptr<TvlRegion> TvlPCFlatPainter::GetTabClipRegion(int AVisibleIndex)
{
    return std::make_unique<TvlRegion>(tab(AVisibleIndex)->VisibleBounds());
}

void TvlPCFlatPainter::DrawTabOutline(int AVisibleIndex, const TRect& P)
{
    const TvlTabPosition side = tab(AVisibleIndex)->Side();
    drawOutlineRing(P, side, 0, clBtnHighlight, clBtnShadow);
    const TColor light = BrightenColor(GetTabBodyColor(AVisibleIndex), 85);
    drawOutlineRing(P, side, 1, light, side == tpBottom ? clBtnFace : light);
}

// ---- "ExtraFlat" -------------------------------------------------------------------

namespace {

// The shown tabs, row by row, in visible-index order.
std::vector<std::vector<int>> shownRows(TvlPCTabControlCore* c)
{
    std::vector<std::vector<int>> rows(size_t(std::max(c->RowCount(), 0)));
    const int n = c->VisibleTabList()->Count();
    for (int v = 0; v < n; ++v) {
        if (!c->MultiLine() && !c->IsTabVisibleInRange(v))
            continue;
        const int r = c->VisibleTab(v)->Row();
        if (r >= 0 && r < int(rows.size()))
            rows[size_t(r)].push_back(v);
    }
    std::erase_if(rows, [](const std::vector<int>& r) { return r.empty(); });
    return rows;
}

// Lines one pixel wide on the page side of R (a tab on ASide), the first on
// the edge; R loses each line.
void takeLine(TRect& R, TvlTabPosition ASide, TRect& ALine)
{
    switch (ASide) {
    case tpTop: ALine = Rect(R.Left, R.Bottom - 1, R.Right, R.Bottom); --R.Bottom; break;
    case tpBottom: ALine = Rect(R.Left, R.Top, R.Right, R.Top + 1); ++R.Top; break;
    case tpLeft: ALine = Rect(R.Right - 1, R.Top, R.Right, R.Bottom); --R.Right; break;
    case tpRight: ALine = Rect(R.Left, R.Top, R.Left + 1, R.Bottom); ++R.Left; break;
    }
}

// R less AAway on the side away from the page and ATowards on the page side.
TRect insetAcross(TRect R, TvlTabPosition ASide, int AAway, int ATowards)
{
    switch (ASide) {
    case tpTop: R.Top += AAway; R.Bottom -= ATowards; break;
    case tpBottom: R.Bottom -= AAway; R.Top += ATowards; break;
    case tpLeft: R.Left += AAway; R.Right -= ATowards; break;
    case tpRight: R.Right -= AAway; R.Left += ATowards; break;
    }
    return R;
}

}  // namespace

const TvlPCExtraFlatPainter::ClassInfo& TvlPCExtraFlatPainter::Class()
{
    static const ClassInfo c;
    return c;
}

void TvlPCExtraFlatPainter::GetTabCorrection(int AVisibleIndex, TvlPCTabBoundsCorrection& C)
{
    C = IsMainTab(AVisibleIndex) ? TvlPCTabBoundsCorrection{-1, -1, 1, 1} : TvlPCTabBoundsCorrection();
}

void TvlPCExtraFlatPainter::GetTabImageOffsets(int AVisibleIndex, std::array<int, 4>& AOffsets)
{
    AOffsets = IsMainTab(AVisibleIndex) ? std::array<int, 4>{3, 0, 0, 0} : std::array<int, 4>{2, 0, 0, 0};
}

void TvlPCExtraFlatPainter::GetTabTextOffsets(int AVisibleIndex, std::array<int, 4>& AOffsets)
{
    const bool main = IsMainTab(AVisibleIndex);
    AOffsets = main ? std::array<int, 4>{6, 2, 3, 0} : std::array<int, 4>{5, 2, 3, 0};
    const int o = tab(AVisibleIndex)->Orientation();
    if (o == 5 || o == 7 || o == 10)
        AOffsets[1] = AOffsets[3] = 0;
    if (HasImages())
        AOffsets[0] += main ? 1 : 2;
}

void TvlPCExtraFlatPainter::GetTabTextMargins(int AVisibleIndex, std::array<int, 2>& AMargins)
{
    AMargins = IsMainTab(AVisibleIndex) ? std::array<int, 2>{3, 3} : std::array<int, 2>{2, 2};
}

void TvlPCExtraFlatPainter::GetTabsDistance(TPoint& ADistance)
{
    ADistance = Point(GetTabSeparatorWidth(), GetRowBorderWidth() + 3);
    if (rotate())
        std::swap(ADistance.X, ADistance.Y);
}

int TvlPCExtraFlatPainter::GetTabContentWOffset(int AVisibleIndex)
{
    if (!HasImages() || (AVisibleIndex != -1 && !ShowsImage(AVisibleIndex) && !rotate()))
        return 0;
    return GetImageSize().cx + 2 * ParentControl()->ImageBorder() + 4;
}

int TvlPCExtraFlatPainter::GetNavigatorButtonsDistance(TvlPCNavigatorButton A, TvlPCNavigatorButton B)
{
    const bool arrow = A == nbTopLeft || A == nbBottomRight || B == nbTopLeft || B == nbBottomRight;
    return ((A == nbGoDialog || B == nbGoDialog) && arrow) ? 0 : 3;
}

TPoint TvlPCExtraFlatPainter::GetNavigatorButtonGlyphOffset(TvlPCNavigatorButton AButton,
                                                            TvlPCNavigatorButtonState AState)
{
    switch (AButton) {
    case nbTopLeft: return sideTabs() ? Point(2, 5) : Point(5, 2);
    case nbBottomRight: return sideTabs() ? Point(2, 3) : Point(3, 2);
    case nbClose: return sideTabs() ? Point(3, 2) : Point(2, 3);
    default: return Point(3, AState == nbsPressed ? 5 : 4);
    }
}

TColor TvlPCExtraFlatPainter::GetNavigatorButtonColor(TvlPCNavigatorButtonState AState)
{
    return (AState == nbsPressed || AState == nbsHot) ? clBtnFace : GetRowColor();
}

TColor TvlPCExtraFlatPainter::GetNavigatorButtonGlyphColor(TvlPCNavigatorButtonState AState)
{
    if (ParentControl()->Enabled() && AState != nbsDisabled)
        return AState == nbsPressed ? clBtnHighlight : clBtnText;
    return clBtnShadow;
}

void TvlPCExtraFlatPainter::GetNavigatorButtonGlyphInfo(TvlPCNavigatorButton AButton,
                                                        TvlPCNavigatorButtonState AState,
                                                        TvlPCNavigatorButtonGlyphInfo& AInfo)
{
    AInfo.BrushColor = AInfo.PenColor = GetNavigatorButtonGlyphColor(AState);
    AInfo.Enabled = true;
    AInfo.SmallCross = false;
    const bool disabled = !ParentControl()->Enabled() || AState == nbsDisabled;
    if (AButton == nbClose || disabled) {
        AInfo.SmallCross = true;
        if (disabled)
            AInfo.BrushColor = ExtraFlatRowColor();
    }
}

void TvlPCExtraFlatPainter::DrawNavigatorButtonBorder(TRect& R, TvlPCNavigatorButtonState AState)
{
    if (AState != nbsPressed && AState != nbsHot)
        return;
    DrawButtonFrame(R, AState == nbsPressed, true);
    InflateRect(R, -1, -1);
}

int TvlPCExtraFlatPainter::CalculateTabNormalWidth(TvlTab* ATab)
{
    if (ParentControl()->TabWidth() >= 1)
        return ParentControl()->TabWidth();
    const int v = ATab->VisibleIndex();
    int w = GetTabContentWOffset(v);
    if (ATab->Caption().isEmpty())
        w += 12;
    else {
        ParentControl()->PrepareTabCanvasFont(ATab, canvas());
        w += canvas()->TextWidth(ATab->Caption()) + 9;
    }
    return std::max(w, GetMinTabWidth(v));
}

int TvlPCExtraFlatPainter::CalculateTabNormalHeight()
{
    int h = std::max(GetTabContentHeight(), 17);
    if (rotate() && HasImages() && (h - GetImageSize().cy) % 2 != 0)
        ++h;
    const int asked = ParentControl()->TabHeight() - 4;
    if (asked >= 17)
        h = std::max(h, asked);
    return h;
}

void TvlPCExtraFlatPainter::CorrectPageAreaExtents(TRect& AExtents)
{
    if (HasFrame() && ParentControl()->RowCount() > 0 && !ParentControl()->HideTabs())
        --AExtents.Top;
}

void TvlPCExtraFlatPainter::GetPageAreaExtents(TRect& AExtents)
{
    TvlPCStandardPainter::GetPageAreaExtents(AExtents);
    if (!ParentControl()->HideTabs() && ParentControl()->RowCount() > 0)
        AExtents.Top += 2;
    CorrectPageAreaExtents(AExtents);
}

TColor TvlPCExtraFlatPainter::GetDefaultPageColor()
{
    return ParentControl()->ActivePage() != nullptr ? ParentControl()->Color() : GetTabsAreaColor();
}

void TvlPCExtraFlatPainter::GetTabsAreaExtents(TRect& AExtents)
{
    TvlPCStandardPainter::GetTabsAreaExtents(AExtents);
    if (ParentControl()->HasOppositeRows() && ParentControl()->LeadingRowCount() > 0)
        AExtents.Bottom += 3;
}

TColor TvlPCExtraFlatPainter::GetTabBodyColor(int AVisibleIndex)
{
    if (tab(AVisibleIndex)->Highlighted())
        return clHighlight;
    const TColor c = GetTabColor(AVisibleIndex);
    if (c != clDefault)
        return c;
    if (IsMainTab(AVisibleIndex))
        return clBtnFace;
    return isTabsContainer() ? ParentControl()->Color() : ExtraFlatRowColor();
}

std::unique_ptr<TvlRegion> TvlPCExtraFlatPainter::GetTabClipRegion(int AVisibleIndex)
{
    TRect r = tab(AVisibleIndex)->VisibleBounds();
    if (!IsMainTab(AVisibleIndex) && !IntersectRect(r, r, GetTabBodyRect(AVisibleIndex, false)))
        r = TRect();
    return std::make_unique<TvlRegion>(r);
}

TColor TvlPCExtraFlatPainter::GetRowColor()
{
    return isTabsContainer() ? ParentControl()->Color() : ExtraFlatRowColor();
}

void TvlPCExtraFlatPainter::CalculateTabsArea(TvlPCNavigatorButtons AButtons, TvlPCTabsArea& AArea)
{
    TRect r = Rect(0, 0, ParentControl()->Width(), ParentControl()->Height());
    const int tabSide = 3 + (HasRowFrame() ? GetFrameWidth() : 0);
    applyTabsAreaInsets(r, 6, tabSide, 6, 0);
    const int nav = AButtons.Empty() ? 0 : GetNavigatorButtonsAreaWidth();
    if (navigatorAtRowEnd())
        applyTabsAreaInsets(r, 0, 0, nav, 0);
    else
        applyTabsAreaInsets(r, nav, 0, 0, 0);
    AArea.RowsRect = r;
    AArea.RowLength = (sideTabs() ? ParentControl()->Height() : ParentControl()->Width()) - nav - 12;
    applyTabsAreaInsets(r, -1, -1, -1, 0);
    AArea.BandsRect = r;
    AArea.LeadingBandInnerOffset = (tabPosition() == tpTop || tabPosition() == tpLeft) ? 1 : 0;
    AArea.TrailingBandInnerOffset = (tabPosition() == tpBottom || tabPosition() == tpRight) ? -1 : 0;
    TPoint d;
    GetTabsDistance(d);
    AArea.MinBandsDistance = d.Y - 1;
    CalculateNavigatorButtonPositions();
}

TRect TvlPCExtraFlatPainter::GetPageStripRect()
{
    if (ParentControl()->RowCount() == 0 || ParentControl()->HideTabs())
        return TRect();
    TRect f;
    GetFrameArea(f);
    switch (tabPosition()) {
    case tpTop: return Rect(f.Left, f.Top, f.Right, f.Top + 2);
    case tpBottom: return Rect(f.Left, f.Bottom - 2, f.Right, f.Bottom);
    case tpLeft: return Rect(f.Left, f.Top, f.Left + 2, f.Bottom);
    default: return Rect(f.Right - 2, f.Top, f.Right, f.Bottom);
    }
}

TColor TvlPCExtraFlatPainter::GetPageStripColor()
{
    const int main = ParentControl()->MainTabVisibleIndex();
    if (main != -1) {
        const TColor c = GetTabColor(main);
        if (c != clDefault)
            return c;
    }
    return clBtnFace;
}

void TvlPCExtraFlatPainter::fillPageStrip()
{
    const TRect r = GetPageStripRect();
    if (!r.IsEmpty())
        canvas()->FillRectByColor(r, GetPageStripColor());
}

void TvlPCExtraFlatPainter::PaintParts()
{
    PaintPageArea();
    if (!ParentControl()->HideTabs()) {
        PaintNavigatorButtons();
        PaintTabs();
    }
}

void TvlPCExtraFlatPainter::PaintPageArea()
{
    fillPageStrip();
    TvlPCStandardPainter::PaintPageArea();
}

void TvlPCExtraFlatPainter::drawPageFrameLines(TColor ALeftTop, TColor ARightBottom)
{
    TRect r;
    GetFrameArea(r);
    if (ParentControl()->HideTabs() || ParentControl()->RowCount() == 0) {
        canvas()->DrawComplexFrame(r, ALeftTop, ARightBottom);
        return;
    }
    TvlBorders sides = vlBordersAll;
    switch (tabPosition()) {
    case tpTop: sides -= TvlBorders{bTop}; break;
    case tpBottom: sides -= TvlBorders{bBottom}; break;
    case tpLeft: sides -= TvlBorders{bLeft}; break;
    case tpRight: sides -= TvlBorders{bRight}; break;
    }
    canvas()->DrawComplexFrame(r, ALeftTop, ARightBottom, sides);
}

void TvlPCExtraFlatPainter::PaintFrame()
{
    drawPageFrameLines(clBtnHighlight, clBtnShadow);
}

TRect TvlPCExtraFlatPainter::GetTabBodyRect(int AVisibleIndex, bool AWholeRow)
{
    TvlTab* t = tab(AVisibleIndex);
    const TvlTabPosition side = t->Side();
    if (AWholeRow || !IsMainTab(AVisibleIndex))
        return insetAcross(t->NormalBounds(), side, 3, GetRowBorderWidth());
    TRect r = t->Bounds();
    switch (side) {
    case tpTop: r = Rect(r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom); break;
    case tpBottom: r = Rect(r.Left + 1, r.Top, r.Right - 1, r.Bottom - 1); break;
    case tpLeft: r = Rect(r.Left + 1, r.Top + 1, r.Right, r.Bottom - 1); break;
    case tpRight: r = Rect(r.Left, r.Top + 1, r.Right - 1, r.Bottom - 1); break;
    }
    return r;
}

TRect TvlPCExtraFlatPainter::GetMainTabFocusRect(int AVisibleIndex)
{
    TRect r = tab(AVisibleIndex)->Bounds();
    switch (tab(AVisibleIndex)->Side()) {
    case tpTop: r.Right -= 1; r.Bottom += 1; break;
    case tpBottom: r.Left += 1; r.Top -= 1; r.Right -= 1; r.Bottom -= 1; break;
    case tpLeft: r.Right += 1; r.Bottom -= 1; break;
    case tpRight: r.Left -= 1; r.Top += 1; r.Right -= 1; r.Bottom -= 1; break;
    }
    return r;
}

TRect TvlPCExtraFlatPainter::getRowRect(int AFirstVisibleIndex)
{
    // The body less its border, with the border's strip back on the page side.
    TvlTab* t = tab(AFirstVisibleIndex);
    TRect r = insetAcross(t->NormalBounds(), t->Side(), 3, 0);
    const int extra = HasRowFrame() ? 1 : 0;
    if (sideTabs()) {
        r.Top = -extra;
        r.Bottom = ParentControl()->Height() + extra;
    } else {
        r.Left = -extra;
        r.Right = ParentControl()->Width() + extra;
    }
    return r;
}

void TvlPCExtraFlatPainter::drawRowBorderLines(TRect R, TvlTabPosition ASide, std::initializer_list<TColor> AColors)
{
    for (TColor c : AColors) {
        TRect line;
        takeLine(R, ASide, line);
        canvas()->FillRectByColor(line, c);
    }
}

void TvlPCExtraFlatPainter::DrawRowBorder(TRect R, int ARowVisibleRow)
{
    const TvlTabPosition side = (ARowVisibleRow < ParentControl()->LeadingRowCount())
                                    ? (sideTabs() ? tpLeft : tpTop)
                                    : (sideTabs() ? tpRight : tpBottom);
    const TColor last = (side == tpTop || side == tpLeft) ? clWhite : clBlack;
    drawRowBorderLines(R, side, {clBtnFace, clBtnFace, last});
}

void TvlPCExtraFlatPainter::DrawTabBackground(const TRect& R, int AVisibleIndex)
{
    if (AVisibleIndex == -1) {
        canvas()->FillRectByColor(R, GetRowColor());
        return;
    }
    TRect r = R;
    if (!IsMainTab(AVisibleIndex)) {
        canvas()->FrameRect(r, GetRowColor());
        InflateRect(r, -1, -1);
    }
    canvas()->FillRectByColor(r, GetTabBodyColor(AVisibleIndex));
}

void TvlPCExtraFlatPainter::drawMainTabFrame(TRect& R, TvlTabPosition ASide, TColor AFirst, TColor ASecond)
{
    TvlBorders sides = vlBordersAll;
    switch (ASide) {
    case tpTop: sides -= TvlBorders{bBottom}; break;
    case tpBottom: sides -= TvlBorders{bTop}; break;
    case tpLeft: sides -= TvlBorders{bRight}; break;
    case tpRight: sides -= TvlBorders{bLeft}; break;
    }
    canvas()->DrawComplexFrame(R, AFirst, ASecond, sides);
    if (ASide == tpBottom)
        canvas()->SetPixel(R.Left - 1, R.Top, ASecond);
    else if (ASide == tpRight)
        canvas()->SetPixel(R.Left, R.Top - 1, ASecond);
    if (sides.Contains(bLeft)) ++R.Left;
    if (sides.Contains(bTop)) ++R.Top;
    if (sides.Contains(bRight)) --R.Right;
    if (sides.Contains(bBottom)) --R.Bottom;
}

void TvlPCExtraFlatPainter::DrawMainTabFrame(int AVisibleIndex, TRect& R)
{
    drawMainTabFrame(R, tab(AVisibleIndex)->Side(), clWhite, clBlack);
}

void TvlPCExtraFlatPainter::DrawTab(TvlTab* ATab, int AVisibleIndex)
{
    const bool main = IsMainTab(AVisibleIndex);
    if (main) {
        TRect r = ATab->Bounds();
        DrawMainTabFrame(AVisibleIndex, r);
    }
    if (ExcludesOnlyTabContent(AVisibleIndex))
        return;
    DrawTabBackground(GetTabBodyRect(AVisibleIndex, false), AVisibleIndex);
    if (main)
        DrawTabFocusRect(AVisibleIndex, GetMainTabFocusRect(AVisibleIndex));
}

void TvlPCExtraFlatPainter::DrawTabSeparator(const TRect& R)
{
    canvas()->FillRectByColor(R, clBtnShadow);
    canvas()->ExcludeClipRect(R);
}

void TvlPCExtraFlatPainter::PaintTabs()
{
    for (const std::vector<int>& row : shownRows(ParentControl())) {
        SaveClipRegion();
        std::vector<std::pair<int, TvlPCTabContentLayout>> layouts;
        for (size_t i = 0; i < row.size(); ++i) {
            const int v = row[i];
            PaintTab(v);
            layouts.emplace_back(v, FContentLayout);
            if (i + 1 < row.size() && !IsMainTab(v) && !IsMainTab(row[i + 1])) {
                int start, end;
                GetTabSeparatorInsets(start, end);
                const TRect b = tab(v)->NormalBounds();
                const int w = GetTabSeparatorWidth();
                const bool reversed = ParentControl()->isReversedRow();
                TRect sep;
                if (!isVerticalText())
                    sep = reversed ? Rect(b.Left - w, b.Top + start, b.Left, b.Bottom - end)
                                   : Rect(b.Right, b.Top + start, b.Right + w, b.Bottom - end);
                else
                    sep = reversed ? Rect(b.Left + start, b.Top - w, b.Right - end, b.Top)
                                   : Rect(b.Left + start, b.Bottom, b.Right - end, b.Bottom + w);
                DrawTabSeparator(sep);
            }
        }
        const TRect rowRect = getRowRect(row.front());
        DrawRowBorder(rowRect, tab(row.front())->VisibleRow());
        TRect rest = rowRect;
        const TvlTabPosition side = tab(row.front())->Side();
        for (int i = 0; i < GetRowBorderWidth(); ++i) {
            TRect line;
            takeLine(rest, side, line);
        }
        DrawTabBackground(rest, -1);
        RestoreClipRegion();
        for (const auto& [v, layout] : layouts)
            if (ExcludesOnlyTabContent(v)) {
                FContentLayout = layout;
                DoAfterPaintTab(v);
            }
        canvas()->ExcludeClipRect(rowRect);
    }
}

void TvlPCExtraFlatPainter::RepaintTab(int AVisibleIndex, TvlPCTabChangeKind AKind)
{
    if (isVerticalText())
        tab(AVisibleIndex)->DropCaptionBitmap();
    if (AKind == tckMainTab && !IsMainTab(AVisibleIndex))
        InvalidateRect(tab(AVisibleIndex)->Bounds());
    else
        InvalidateTab(AVisibleIndex);
    if (IsMainTab(AVisibleIndex))
        InvalidateRect(GetPageStripRect());
}

// ---- "UltraFlat" ----------------------------------------------------------------------

const TvlPCUltraFlatPainter::ClassInfo& TvlPCUltraFlatPainter::Class()
{
    static const ClassInfo c;
    return c;
}

bool TvlPCUltraFlatPainter::ClassInfo::HasLookAndFeel(const TvlLookAndFeel* ALookAndFeel) const
{
    return !HasSkinTabPainter(ALookAndFeel) && GetTabLookAndFeelStyle(ALookAndFeel) == lfsUltraFlat;
}

int TvlPCUltraFlatPainter::GetNavigatorButtonWidth(TvlPCNavigatorButton AButton)
{
    switch (AButton) {
    case nbGoDialog: return 11;
    case nbClose: return 14;
    default: return 15;
    }
}

int TvlPCUltraFlatPainter::GetNavigatorButtonsDistance(TvlPCNavigatorButton A, TvlPCNavigatorButton B)
{
    return (A == nbClose || B == nbClose) ? 3 : 1;
}

TColor TvlPCUltraFlatPainter::GetNavigatorButtonColor(TvlPCNavigatorButtonState AState)
{
    switch (AState) {
    case nbsHot: return clBtnFace;
    case nbsPressed: return clBtnShadow;
    default: return ExtraFlatRowColor();
    }
}

TRect TvlPCUltraFlatPainter::GetMainTabFocusRect(int AVisibleIndex)
{
    return GetTabBodyRect(AVisibleIndex, false);
}

void TvlPCUltraFlatPainter::DrawMainTabFrame(int AVisibleIndex, TRect& R)
{
    drawMainTabFrame(R, tab(AVisibleIndex)->Side(), clBlack, clBlack);
}

void TvlPCUltraFlatPainter::DrawRowBorder(TRect R, int ARowVisibleRow)
{
    const TvlPCTabControlCore* c = ParentControl();
    const bool leading = ARowVisibleRow < c->LeadingRowCount();
    const TvlTabPosition side = leading ? (sideTabs() ? tpLeft : tpTop) : (sideTabs() ? tpRight : tpBottom);
    // The row next to the page: the main tab's, else the innermost of its band.
    bool nextToPage;
    const int main = c->MainTabVisibleIndex();
    if (main != -1)
        nextToPage = tab(main)->VisibleRow() == ARowVisibleRow;
    else
        nextToPage = leading ? ARowVisibleRow == c->LeadingRowCount() - 1 : ARowVisibleRow == c->LeadingRowCount();
    if (nextToPage)
        drawRowBorderLines(R, side, {clBtnFace, clBtnFace, clBlack});
    else
        drawRowBorderLines(R, side, {clBtnFace, clBlack, clBtnFace});
}

// ---- "Office11" ----------------------------------------------------------------------

const TvlPCOffice11Painter::ClassInfo& TvlPCOffice11Painter::Class()
{
    static const ClassInfo c;
    return c;
}

bool TvlPCOffice11Painter::ClassInfo::HasLookAndFeel(const TvlLookAndFeel* ALookAndFeel) const
{
    return !HasSkinTabPainter(ALookAndFeel) && GetTabLookAndFeelStyle(ALookAndFeel) == lfsOffice11;
}

TColor TvlPCOffice11Painter::GetBorderColor()
{
    return Office11BorderColor;
}

void TvlPCOffice11Painter::GetTabSeparatorInsets(int& AStart, int& AEnd)
{
    if (tabPosition() == tpTop || tabPosition() == tpLeft) {
        AStart = 0;
        AEnd = 2;
    } else {
        AStart = 3;
        AEnd = -1;
    }
}

TColor TvlPCOffice11Painter::GetTabBodyColor(int AVisibleIndex)
{
    if (tab(AVisibleIndex)->Highlighted())
        return clHighlight;
    return GetTabColor(AVisibleIndex);
}

void TvlPCOffice11Painter::fillPair(HDC ADC, const TRect& R, TColor AFirst, TColor ASecond)
{
    if (options().Contains(pcoGradient))
        vxOffice11::FillGradientRect(ADC, R, AFirst, ASecond, sideTabs());
    else
        vxOffice11::FillRectByColor(ADC, R, MixColors(AFirst, ASecond, 50));
}

void TvlPCOffice11Painter::fillTabGradient(HDC ADC, const TRect& R, int AVisibleIndex)
{
    TColor a = Office11GradientLightColor, b = Office11GradientDarkColor;
    if (AVisibleIndex != -1 && IsMainTab(AVisibleIndex)) {
        a = Office11HotFaceColor;
        b = Office11HotFaceDarkColor;
    }
    const TvlTabPosition side = AVisibleIndex != -1 ? tab(AVisibleIndex)->Side() : tabPosition();
    if (options().Contains(pcoGradient) && (side == tpBottom || side == tpRight))
        std::swap(a, b);
    fillPair(ADC, R, a, b);
}

void TvlPCOffice11Painter::DrawTabBackground(const TRect& R, int AVisibleIndex)
{
    if (AVisibleIndex == -1 || GetTabBodyColor(AVisibleIndex) == clDefault) {
        fillTabGradient(canvas()->Handle(), R, AVisibleIndex);
        return;
    }
    // A tab of its own colour keeps one line of the pair on its outer side.
    TRect r = R;
    TRect line;
    takeLine(r, tab(AVisibleIndex)->Side() == tpTop ? tpBottom
                : tab(AVisibleIndex)->Side() == tpBottom ? tpTop
                : tab(AVisibleIndex)->Side() == tpLeft ? tpRight : tpLeft, line);
    fillTabGradient(canvas()->Handle(), line, AVisibleIndex);
    canvas()->FillRectByColor(r, GetTabBodyColor(AVisibleIndex));
}

bool TvlPCOffice11Painter::ExcludesOnlyTabContent(int AVisibleIndex)
{
    return !IsMainTab(AVisibleIndex) && GetTabBodyColor(AVisibleIndex) == clDefault;
}

bool TvlPCOffice11Painter::NeedRedrawOnResize()
{
    return options().Contains(pcoGradient) && options().Contains(pcoGradientClientArea);
}

void TvlPCOffice11Painter::FillPageArea()
{
    TRect r;
    GetPageArea(r);
    TControl* page = ParentControl()->ActivePage();
    if (page != nullptr && !page->ParentColor()) {
        canvas()->FillRectByColor(r, page->Color());
        return;
    }
    if (options().Contains(pcoGradient) && options().Contains(pcoGradientClientArea))
        vxOffice11::FillGradientRect(canvas()->Handle(), r, Office11GradientLightColor, Office11GradientDarkColor,
                                     sideTabs());
    else
        canvas()->FillRectByColor(r, MixColors(Office11GradientLightColor, Office11GradientDarkColor, 50));
}

TColor TvlPCOffice11Painter::GetPageStripColor()
{
    const int main = ParentControl()->MainTabVisibleIndex();
    if (main != -1 && GetTabColor(main) != clDefault)
        return GetTabColor(main);
    if (!options().Contains(pcoGradient))
        return MixColors(Office11HotFaceColor, Office11HotFaceDarkColor, 50);
    return (tabPosition() == tpBottom || tabPosition() == tpRight) ? Office11HotFaceColor : Office11HotFaceDarkColor;
}

void TvlPCOffice11Painter::PaintFrame()
{
    TRect r;
    GetPageArea(r);
    InflateRect(r, 1, 1);
    canvas()->FrameRect(r, GetBorderColor());
}

void TvlPCOffice11Painter::DrawMainTabFrame(int AVisibleIndex, TRect& R)
{
    drawMainTabFrame(R, tab(AVisibleIndex)->Side(), GetBorderColor(), GetBorderColor());
}

void TvlPCOffice11Painter::DrawRowBorder(TRect R, int ARowVisibleRow)
{
    const TvlTabPosition side = (ARowVisibleRow < ParentControl()->LeadingRowCount())
                                    ? (sideTabs() ? tpLeft : tpTop)
                                    : (sideTabs() ? tpRight : tpBottom);
    drawRowBorderLines(R, side, {GetBorderColor()});
}

void TvlPCOffice11Painter::DrawTabSeparator(const TRect& R)
{
    TRect a = R;
    --a.Right;
    --a.Bottom;
    canvas()->FillRectByColor(a, Office11SeparatorDarkColor);
    canvas()->ExcludeClipRect(a);
    OffsetRect(a, 1, 1);
    canvas()->FillRectByColor(a, Office11SeparatorLightColor);
    // The two corners the lines leave free show the row behind them.
    canvas()->ExcludeClipRect(a);
}

void TvlPCOffice11Painter::PaintPageArea()
{
    if (!HasFrame() && ParentControl()->HasOppositeRows() && ParentControl()->LeadingRowCount() > 0) {
        TRect r;
        GetPageArea(r);
        TRect line;
        takeLine(r, tabPosition() == tpTop ? tpTop : tabPosition() == tpBottom ? tpBottom
                    : tabPosition() == tpLeft ? tpLeft : tpRight, line);
        canvas()->FillRectByColor(line, GetBorderColor());
    }
    TvlPCUltraFlatPainter::PaintPageArea();
}

void TvlPCOffice11Painter::GetPageAreaExtents(TRect& AExtents)
{
    TvlPCStandardPainter::GetPageAreaExtents(AExtents);
    if (!ParentControl()->HideTabs() && ParentControl()->RowCount() > 0)
        AExtents.Top += 2;
    if (!HasFrame() && ParentControl()->HasOppositeRows() && ParentControl()->LeadingRowCount() > 0)
        ++AExtents.Bottom;
}

void TvlPCOffice11Painter::FillNavigatorButton(TRect& R, TvlPCNavigatorButtonState AState)
{
    // The row's background continues under the button.
    SaveClipRegion();
    TvlRegion clip(R);
    canvas()->SetClipRegion(clip, roIntersect);
    TRect row = R;
    if (sideTabs()) {
        row.Top = 0;
        row.Bottom = ParentControl()->Height();
    } else {
        row.Left = 0;
        row.Right = ParentControl()->Width();
    }
    if (AState == nbsPressed)
        fillPair(canvas()->Handle(), row, Office11PressedFaceColor, Office11PressedFaceDarkColor);
    else if (AState == nbsHot)
        fillPair(canvas()->Handle(), row, Office11HotFaceColor, Office11HotFaceDarkColor);
    else
        fillTabGradient(canvas()->Handle(), row, -1);
    RestoreClipRegion();
}

void TvlPCOffice11Painter::DrawNavigatorButtonBorder(TRect& R, TvlPCNavigatorButtonState AState)
{
    const bool disabled = AState == nbsDisabled || !ParentControl()->Enabled();
    canvas()->FrameRect(R, disabled ? Office11DisabledGlyphColor : GetBorderColor());
    InflateRect(R, -1, -1);
}

TColor TvlPCOffice11Painter::GetNavigatorButtonGlyphColor(TvlPCNavigatorButtonState AState)
{
    return (AState == nbsDisabled || !ParentControl()->Enabled()) ? Office11DisabledGlyphColor : Office11GlyphColor;
}

void TvlPCOffice11Painter::PrepareTabContentBitmap(TBitmap* ABitmap, const TRect& R, int AVisibleIndex)
{
    // The tab's gradient, lined up with where the content sits on the tab.
    auto* b = dynamic_cast<TvlBitmap*>(ABitmap);
    if (b == nullptr || GetTabBodyColor(AVisibleIndex) != clDefault)
        return;
    TRect body = GetTabBodyRect(AVisibleIndex, false);
    OffsetRect(body, -R.Left, -R.Top);
    if (captionKind() != 0 && !R.IsEmpty() && b->Width() == R.Height()) {
        // Drawn unrotated first: the caption bitmap is turned afterwards.
        body = Rect(0, 0, b->Width(), b->Height());
    }
    fillTabGradient(b->vlCanvas()->Handle(), body, AVisibleIndex);
}

// ---- slanted outlines ---------------------------------------------------------------

TRegion GetOutlineRegion(TPoints P, const TLinePositions& LP, bool AInner)
{
    auto has = [&](TLinePosition p) { return std::find(LP.begin(), LP.end(), p) != LP.end(); };
    for (size_t i = 0; i < LP.size() && i + 1 < P.size(); ++i) {
        const TLinePosition pos = LP[i];
        const bool moves = AInner ? (pos == lpL || pos == lpLT || pos == lpT || pos == lpLB)
                                  : (pos == lpRT || pos == lpR || pos == lpRB || pos == lpB);
        if (!moves)
            continue;
        TPoint& S = P[i];
        TPoint& E = P[i + 1];
        switch (pos) {
        case lpL:
            ++S.X; ++E.X;
            if (has(lpLB)) ++S.Y;
            if (has(lpLT)) --E.Y;
            break;
        case lpLT:
            if (has(lpL)) ++S.Y; else ++S.X;
            if (has(lpT)) ++E.X; else ++E.Y;
            break;
        case lpT:
            ++S.Y; ++E.Y;
            if (has(lpLT)) --S.X;
            if (has(lpRT)) ++E.X;
            break;
        case lpLB:
            if (has(lpB)) ++S.X; else --S.Y;
            if (has(lpL)) --E.Y; else ++E.X;
            break;
        case lpRT:
            if (has(lpT)) ++S.X; else --S.Y;
            if (has(lpR)) --E.Y; else ++E.X;
            break;
        case lpR:
            ++S.X; ++E.X;
            if (has(lpRT)) ++S.Y;
            if (has(lpRB)) --E.Y;
            break;
        case lpRB:
            if (has(lpR)) ++S.Y; else ++S.X;
            if (has(lpB)) ++E.X; else ++E.Y;
            break;
        case lpB:
            ++S.Y; ++E.Y;
            if (has(lpRB)) --S.X;
            if (has(lpLB)) ++E.X;
            break;
        }
    }
    return CreatePolygonRgn(P, WINDING);
}

namespace {
std::array<TColor, 6> GOneNoteColors{};
std::unique_ptr<TvlSystemPaletteChangedNotifier> GPaletteChangedNotifier;
}  // namespace

TColor OneNoteColor(int AIndex)
{
    return GOneNoteColors.at(size_t(AIndex - 1));
}

void PrepareOneNoteColors()
{
    // Colours 3 and 5 belong to other users of the set; this style reads 1, 2, 4 and 6.
    switch (vxOffice11::GetOffice11Scheme()) {
    case 1:
        GOneNoteColors = {RGB(59, 97, 156), RGB(0, 53, 154), clBtnShadow, RGB(0, 0, 128), clBtnShadow,
                          RGB(117, 166, 241)};
        break;
    case 2:
        GOneNoteColors = {RGB(96, 128, 88), RGB(96, 119, 107), clBtnShadow, RGB(63, 93, 56), clBtnShadow,
                          RGB(176, 194, 140)};
        break;
    case 3:
        GOneNoteColors = {RGB(124, 124, 148), RGB(118, 116, 146), clBtnShadow, RGB(75, 75, 111), clBtnShadow,
                          RGB(186, 185, 206)};
        break;
    default:
        GOneNoteColors = {clBtnShadow, clBtnShadow, clBtnShadow, RGB(10, 36, 106), clBtnShadow, clBtnFace};
        break;
    }
}

const TvlPCSlantedPainter::ClassInfo& TvlPCSlantedPainter::Class()
{
    static const ClassInfo c;
    return c;
}

TvlTabSlantPositions TvlPCSlantedPainter::GetSlantedSides()
{
    const TvlTabSlants* s = ParentControl()->TabSlants();
    return (s->Kind() == skSlant && !rotate()) ? s->Positions() : TvlTabSlantPositions();
}

int TvlPCSlantedPainter::slantedSideCount()
{
    const TvlTabSlantPositions p = GetSlantedSides();
    return int(p.Contains(spLeft)) + int(p.Contains(spRight));
}

int TvlPCSlantedPainter::CalculateCutValue()
{
    return ParentControl()->TabSlants()->Kind() == skSlant ? CalculateTabNormalHeight() - 1 : 6;
}

void TvlPCSlantedPainter::GetTabImageOffsets(int, std::array<int, 4>& AOffsets)
{
    const int fw = GetFrameWidth();
    if (!rotate()) {
        AOffsets = {0, fw + 3, 0, 1};
        return;
    }
    const TvlTabSlants* s = ParentControl()->TabSlants();
    const int v = (s->Kind() == skCutCorner && !s->Positions().Empty()) ? fw + 2 : fw + 1;
    AOffsets = {0, v, 0, v};
}

void TvlPCSlantedPainter::GetTabTextOffsets(int, std::array<int, 4>& AOffsets)
{
    const int fw = GetFrameWidth();
    AOffsets = rotate() ? std::array<int, 4>{0, fw + 3, 0, fw + 1} : std::array<int, 4>{0, fw + 4, 0, 1};
}

void TvlPCSlantedPainter::GetTabTextMargins(int AVisibleIndex, std::array<int, 2>& AMargins)
{
    const int fw = GetFrameWidth();
    const TvlTabSlants* s = ParentControl()->TabSlants();
    const int kind = captionKind();
    if (!rotate()) {
        const int slanted = s->Kind() == skSlant ? FCutValue : 6;
        AMargins = {s->Positions().Contains(spLeft) ? slanted : fw + 2,
                    s->Positions().Contains(spRight) ? slanted : fw + 2};
        if (kind == 2)
            std::swap(AMargins[0], AMargins[1]);
        return;
    }
    AMargins = {2, fw + 5 + ((s->Kind() == skCutCorner && !s->Positions().Empty()) ? 1 : 0)};
    const TvlTabPosition side = AVisibleIndex >= 0 ? tab(AVisibleIndex)->Side() : tabPosition();
    if ((side == tpTop && kind == 2) || (side == tpBottom && kind == 1) || side == tpLeft)
        std::swap(AMargins[0], AMargins[1]);
}

void TvlPCSlantedPainter::GetTabsDistance(TPoint& ADistance)
{
    const int sides = slantedSideCount();
    ADistance = Point(sides > 0 ? -(FCutValue / 2) * sides : 1, -3);
    if (rotate())
        std::swap(ADistance.X, ADistance.Y);
}

void TvlPCSlantedPainter::GetTabsAreaMargins(TRect& AMargins)
{
    const TvlTabSlantPositions p = GetSlantedSides();
    AMargins = Rect(p.Contains(spLeft) ? 1 : 0, 0, p.Contains(spRight) ? 1 : 0, 0);
}

void TvlPCSlantedPainter::GetTabsContainerOffsets(TRect& AOffsets)
{
    if (!isTabsContainer()) {
        AOffsets = TRect();
        return;
    }
    const TvlTabSlantPositions p = GetSlantedSides();
    AOffsets = Rect(p.Contains(spLeft) ? 1 : 2, 2, p.Contains(spRight) ? 1 : 2, 0);
}

int TvlPCSlantedPainter::GetMinTabContentWidth()
{
    if (rotate())
        return 0;
    const TvlTabSlants* s = ParentControl()->TabSlants();
    const int sides = int(s->Positions().Contains(spLeft)) + int(s->Positions().Contains(spRight));
    if (sides == 0)
        return 8;
    if (s->Kind() == skSlant)
        return FCutValue * sides - 2 * sides + 8;
    return FCutValue * sides + GetFrameWidth() * (2 - sides) + 4;
}

int TvlPCSlantedPainter::GetImageSizeWithBorders()
{
    return GetImageSize().cx + 2 * ParentControl()->ImageBorder();
}

int TvlPCSlantedPainter::GetTabContentWOffset(int AVisibleIndex)
{
    std::array<int, 2> m{};
    GetTabTextMargins(AVisibleIndex, m);
    int w = m[0] + m[1];
    if (HasImages() && (AVisibleIndex == -1 || ShowsImage(AVisibleIndex) || rotate()))
        w += GetImageSizeWithBorders();
    return std::max(GetMinTabContentWidth(), w);
}

int TvlPCSlantedPainter::CalculateTabNormalWidth(TvlTab* ATab)
{
    if (!ATab->Visible())
        return 0;
    if (ParentControl()->TabWidth() >= 1)
        return ParentControl()->TabWidth();
    const int v = ATab->VisibleIndex();
    int w = GetTabContentWOffset(v);
    if (!ATab->Caption().isEmpty()) {
        ParentControl()->PrepareTabCanvasFont(ATab, canvas());
        w += canvas()->TextWidth(ATab->Caption());
    }
    if (ShowsImage(v) || (HasImages() && rotate()))
        w += GetImageTextDistance(v);
    return std::max(w, GetMinTabWidth(v));
}

int TvlPCSlantedPainter::GetTabContentHeight()
{
    std::array<int, 4> t{}, i{};
    GetTabTextOffsets(-1, t);
    GetTabImageOffsets(-1, i);
    int h = GetMaxCaptionHeight() + t[1] + t[3];
    if (HasImages())
        h = std::max(h, GetImageSize().cy + 2 * ParentControl()->ImageBorder() + i[1] + i[3]);
    return h;
}

int TvlPCSlantedPainter::GetNavigatorButtonWidth(TvlPCNavigatorButton AButton)
{
    switch (AButton) {
    case nbGoDialog: return 13;
    case nbClose: return 16;
    default: return 17;
    }
}

TColor TvlPCSlantedPainter::GetNavigatorButtonColor(TvlPCNavigatorButtonState AState)
{
    switch (AState) {
    case nbsHot: return MixColors(clBtnFace, clWhite, 35);
    case nbsPressed: return MixColors(clBtnFace, clBlack, 90);
    default: return clBtnFace;
    }
}

TColor TvlPCSlantedPainter::GetNavigatorButtonGlyphColor(TvlPCNavigatorButtonState AState)
{
    if (AState == nbsDisabled || !ParentControl()->Enabled())
        return clBtnShadow;
    return AState == nbsPressed ? MixColors(ParentControl()->Color(), clWhite, 10) : clBtnText;
}

TColor TvlPCSlantedPainter::GetTabBodyColor(int AVisibleIndex)
{
    if (tab(AVisibleIndex)->Highlighted())
        return clHighlight;
    const TColor c = GetTabColor(AVisibleIndex);
    if (c != clDefault)
        return c;
    return isTabsContainer() ? clBtnFace : ParentControl()->Color();
}

TColor TvlPCSlantedPainter::GetPageColor()
{
    const int main = ParentControl()->MainTabVisibleIndex();
    if (isTabsContainer() && main != -1) {
        const TColor c = GetTabColor(main);
        return c == clDefault ? clBtnFace : c;
    }
    return TvlPCStandardPainter::GetPageColor();
}

void TvlPCSlantedPainter::FillPageArea()
{
    TRect r;
    GetPageArea(r);
    if (isTabsContainer())
        r = extendTowardsPage(r, tabPosition(), -2);
    canvas()->FillRectByColor(r, GetPageColor());
}

void TvlPCSlantedPainter::GetPageAreaExtents(TRect& AExtents)
{
    TvlPCStandardPainter::GetPageAreaExtents(AExtents);
    const bool rows = ParentControl()->RowCount() > 0 && !ParentControl()->HideTabs();
    if (isTabsContainer() && rows)
        AExtents.Top += 2;
    if (!HasFrame() && rows) {
        AExtents.Top += 1;
        if (ParentControl()->HasOppositeRows() && ParentControl()->LeadingRowCount() > 0)
            AExtents.Bottom += 1;
    }
}

void TvlPCSlantedPainter::PaintFrame()
{
    TRect r;
    GetPageArea(r);
    InflateRect(r, 1, 1);
    if (isTabsContainer())
        r = extendTowardsPage(r, tabPosition(), -2);
    canvas()->FrameRect(r, GetOutlineColor());
}

void TvlPCSlantedPainter::GetTabOutlinePoints(int AVisibleIndex, TPoints& P, TLinePositions& LP)
{
    TvlTab* t = tab(AVisibleIndex);
    const TvlTabPosition side = t->Side();
    const TRect R = topFormRect(t->Bounds(), side);
    const TvlTabSlants* s = ParentControl()->TabSlants();
    const bool cutCorner = s->Kind() == skCutCorner;
    const bool anyPosition = !s->Positions().Empty();
    const bool slantAllowed = !(rotate() && s->Kind() == skSlant);
    const bool leftSlanted = s->Positions().Contains(spLeft) && slantAllowed;
    const bool rightSlanted = s->Positions().Contains(spRight) && slantAllowed;
    const int L = R.Left, B = R.Bottom, W = R.Width(), H = R.Height(), T = B - H;
    P = {Point(L, B - 1)};
    LP.clear();
    if (leftSlanted && !cutCorner) {
        P.push_back(Point(L + H - 1, T));
        LP.push_back(lpLT);
    } else if (leftSlanted) {
        P.insert(P.end(), {Point(L, T + 6), Point(L + 6, T)});
        LP.insert(LP.end(), {lpL, lpLT});
    } else if (cutCorner && anyPosition) {
        P.push_back(Point(L, T));
        LP.push_back(lpL);
    } else {
        P.insert(P.end(), {Point(L, T + 2), Point(L + 2, T)});
        LP.insert(LP.end(), {lpL, lpLT});
    }
    if (rightSlanted && !cutCorner) {
        P.insert(P.end(), {Point(L + W - H, T), Point(L + W - 1, B - 1)});
        LP.insert(LP.end(), {lpT, lpRT});
    } else if (rightSlanted) {
        P.insert(P.end(), {Point(L + W - 7, T), Point(L + W - 1, T + 6), Point(L + W - 1, B - 1)});
        LP.insert(LP.end(), {lpT, lpRT, lpR});
    } else if (cutCorner && anyPosition) {
        P.insert(P.end(), {Point(L + W - 1, T), Point(L + W - 1, B - 1)});
        LP.insert(LP.end(), {lpT, lpR});
    } else {
        P.insert(P.end(), {Point(L + W - 3, T), Point(L + W - 1, T + 2), Point(L + W - 1, B - 1)});
        LP.insert(LP.end(), {lpT, lpRT, lpR});
    }
    MapPointsToTabPosition(R, P, side);
    if (side == tpBottom || side == tpRight) {
        std::reverse(P.begin(), P.end());
        std::reverse(LP.begin(), LP.end());
    }
    for (TLinePosition& lp : LP) {
        switch (side) {
        case tpBottom:
            lp = lp == lpLT ? lpLB : lp == lpT ? lpB : lp == lpRT ? lpRB : lp;
            break;
        case tpLeft:
            lp = lp == lpL ? lpB : lp == lpLT ? lpLB : lp == lpT ? lpL : lp == lpRT ? lpLT : lp == lpR ? lpT : lp;
            break;
        case tpRight:
            lp = lp == lpL ? lpB : lp == lpLT ? lpRB : lp == lpT ? lpR : lp == lpR ? lpT : lp;
            break;
        default: break;
        }
    }
}

std::unique_ptr<TvlRegion> TvlPCSlantedPainter::GetTabRegion(int AVisibleIndex, bool AInner)
{
    TPoints p;
    TLinePositions lp;
    GetTabOutlinePoints(AVisibleIndex, p, lp);
    return std::make_unique<TvlRegion>(GetOutlineRegion(p, lp, AInner));
}

TRect TvlPCSlantedPainter::pageJoinRect(int AVisibleIndex)
{
    TvlTab* t = tab(AVisibleIndex);
    return pageSideStrip(extendTowardsPage(t->Bounds(), t->Side(), 1), t->Side(), 1);
}

std::unique_ptr<TvlRegion> TvlPCSlantedPainter::GetTabClipRegion(int AVisibleIndex)
{
    std::unique_ptr<TvlRegion> r = GetTabRegion(AVisibleIndex, false);
    r->Combine(TvlRegion(tab(AVisibleIndex)->VisibleBounds()), roIntersect);
    if (tab(AVisibleIndex)->IsMain())
        r->Combine(TvlRegion(pageJoinRect(AVisibleIndex)), roAdd);
    return r;
}

bool TvlPCSlantedPainter::IsPointInTab(int AVisibleIndex, int X, int Y)
{
    if (!GetTabRegion(AVisibleIndex, false)->PtInRegion(X, Y))
        return false;
    // The selected tab owns the overlap with its left neighbour.
    const int next = AVisibleIndex + 1;
    if (next < ParentControl()->VisibleTabList()->Count() && tab(next)->IsMain())
        return !GetTabRegion(next, false)->PtInRegion(X, Y);
    return true;
}

void TvlPCSlantedPainter::GetTabGradientColors(int AVisibleIndex, TColor& AFirst, TColor& ASecond)
{
    const TColor c = GetTabBodyColor(AVisibleIndex);
    if (tab(AVisibleIndex)->IsHot()) {
        AFirst = BrightenColor(c, 20);
        ASecond = c;
    } else {
        AFirst = BrightenColor(c, 13);
        ASecond = DarkenColor(c, 90);
    }
}

void TvlPCSlantedPainter::FillTabBackground(TvlCanvas* ACanvas, const TRect& R, bool AMirrored, bool AHorizontal,
                                            int AVisibleIndex)
{
    TvlTab* t = tab(AVisibleIndex);
    const bool hotMain = t->IsMain() && t->IsHot() && HotTrackMainTab();
    if ((!t->IsMain() || hotMain) && options().Contains(pcoGradient)) {
        TColor a, b;
        GetTabGradientColors(AVisibleIndex, a, b);
        if (hotMain && (t->Side() == tpBottom || t->Side() == tpRight))
            std::swap(a, b);
        if (AMirrored)
            std::swap(a, b);
        vxOffice11::FillGradientRect(ACanvas->Handle(), R, a, b, AHorizontal);
    } else
        ACanvas->FillRectByColor(R, GetTabBodyColor(AVisibleIndex));
}

void TvlPCSlantedPainter::PrepareTabContentBitmap(TBitmap* ABitmap, const TRect& R, int AVisibleIndex)
{
    auto* b = dynamic_cast<TvlBitmap*>(ABitmap);
    if (b == nullptr || AVisibleIndex < 0)
        return;
    TvlTab* t = tab(AVisibleIndex);
    TRect body = t->Bounds();
    if (captionKind() == 0) {
        OffsetRect(body, -R.Left, -R.Top);
        FillTabBackground(b->vlCanvas(), body, t->Side() == tpBottom || t->Side() == tpRight, sideTabs(),
                          AVisibleIndex);
    } else
        b->vlCanvas()->FillRectByColor(b->GetClientRect(), GetTabBodyColor(AVisibleIndex));
}

void TvlPCSlantedPainter::DrawTabOutline(int AVisibleIndex, const TRect&)
{
    TPoints p;
    TLinePositions lp;
    GetTabOutlinePoints(AVisibleIndex, p, lp);
    DrawPolyline(p, nullptr, GetOutlineColor());
}

void TvlPCSlantedPainter::DrawTabMark(int AVisibleIndex)
{
    TvlTab* t = tab(AVisibleIndex);
    if (!t->IsHot() && !t->IsMain())
        return;
    const int w = GetFrameWidth() + 3;
    const TRect b = t->Bounds();
    TRect bar;
    switch (t->Side()) {
    case tpTop: bar = Rect(b.Left, b.Top, b.Right, b.Top + w); break;
    case tpBottom: bar = Rect(b.Left, b.Bottom - w, b.Right, b.Bottom); break;
    case tpLeft: bar = Rect(b.Left, b.Top, b.Left + w, b.Bottom); break;
    case tpRight: bar = Rect(b.Right - w, b.Top, b.Right, b.Bottom); break;
    }
    canvas()->FillRectByColor(bar, clHighlight);
    canvas()->ExcludeClipRect(bar);
}

void TvlPCSlantedPainter::DrawPageJoin(int AVisibleIndex)
{
    const TRect r = pageJoinRect(AVisibleIndex);
    canvas()->FillRectByColor(r, GetTabBodyColor(AVisibleIndex));
    const TvlTabSlantPositions slanted = GetSlantedSides();
    const bool along = !sideTabs();
    if (!slanted.Contains(spLeft)) {
        const TPoint p = along ? Point(r.Left, r.Top) : Point(r.Left, r.Bottom - 1);
        canvas()->SetPixel(p.X, p.Y, GetOutlineColor());
    }
    if (!slanted.Contains(spRight)) {
        const TPoint p = along ? Point(r.Right - 1, r.Top) : Point(r.Left, r.Top);
        canvas()->SetPixel(p.X, p.Y, GetOutlineColor());
    }
}

void TvlPCSlantedPainter::DrawTab(TvlTab* ATab, int AVisibleIndex)
{
    SaveClipRegion();
    DrawTabOutline(AVisibleIndex, ATab->Bounds());
    {
        std::unique_ptr<TvlRegion> inner = GetTabRegion(AVisibleIndex, true);
        canvas()->SetClipRegion(*inner, roIntersect);
    }
    DrawTabMark(AVisibleIndex);
    FillTabBackground(canvas(), ATab->Bounds(), ATab->Side() == tpBottom || ATab->Side() == tpRight, sideTabs(),
                      AVisibleIndex);
    RestoreClipRegion();
    if (ATab->IsMain())
        DrawPageJoin(AVisibleIndex);
    TRect focus = FContentLayout.TextRect;
    if (!focus.IsEmpty()) {
        if (isVerticalText())
            InflateRect(focus, 2, 3);
        else
            InflateRect(focus, 3, 2);
        DrawTabFocusRect(AVisibleIndex, focus);
    }
}

void TvlPCSlantedPainter::PaintTabs()
{
    TvlPCTabControlCore* c = ParentControl();
    const int n = c->VisibleTabList()->Count();
    const int main = c->MainTabVisibleIndex();
    auto shown = [&](int v) { return c->MultiLine() || c->IsTabVisibleInRange(v); };
    if (main != -1 && shown(main))
        PaintTab(main);
    const int rows = c->RowCount(), k = c->LeadingRowCount();
    // The first and last shown tab of every row.
    std::vector<std::pair<int, int>> ends(std::max(rows, 0), {-1, -1});
    for (int v = 0; v < n; ++v) {
        const int vr = tab(v)->VisibleRow();
        if (!shown(v) || vr < 0 || vr >= rows)
            continue;
        if (ends[vr].first == -1)
            ends[vr].first = v;
        ends[vr].second = v;
    }
    const bool sides = sideTabs();
    const int along = sides ? c->Height() : c->Width();
    // Along a side the spLeft end of a row is its lower one.
    const TvlTabSlantPositions slanted = GetSlantedSides();
    const bool lowSlanted = slanted.Contains(sides ? spRight : spLeft);
    const bool highSlanted = slanted.Contains(sides ? spLeft : spRight);
    // A row's base line lies one pixel beyond the row on its page side.
    auto baseLine = [&](int vr) {
        const TRect a = tab(ends[vr].first)->NormalBounds();
        if (vr < k)
            return sides ? a.Right : a.Bottom;
        return (sides ? a.Left : a.Top) - 1;
    };
    auto drawLine = [&](int alongFrom, int alongTo, int acrossFrom, int acrossTo) {
        const TRect r = sides ? Rect(acrossFrom, alongFrom, acrossTo, alongTo) : Rect(alongFrom, acrossFrom, alongTo, acrossTo);
        canvas()->FillRectByColor(r, GetOutlineColor());
        canvas()->ExcludeClipRect(r);
    };
    std::vector<int> order;
    for (int r = k - 1; r >= 0; --r)
        order.push_back(r);
    for (int r = k; r < rows; ++r)
        order.push_back(r);
    for (int vr : order) {
        const auto [first, last] = ends[vr];
        if (first == -1)
            continue;
        for (int v = first; v <= last; ++v)
            if (v != main && shown(v) && tab(v)->VisibleRow() == vr)
                PaintTab(v);
        const TRect a = tab(first)->NormalBounds(), b = tab(last)->NormalBounds();
        const bool nextToPage = vr == k - 1 || vr == k;
        int from = sides ? std::min(a.Top, b.Top) : std::min(a.Left, b.Left);
        int to = sides ? std::max(a.Bottom, b.Bottom) : std::max(a.Right, b.Right);
        if (nextToPage || lowSlanted)
            from = 0;
        if (nextToPage || highSlanted)
            to = along;
        const int base = baseLine(vr);
        drawLine(from, to, base, base + 1);
        // A row with another one outside it: at each slanted end the control's edge is closed
        // from this row's base line to the outer row's, so the rows stack like sheets.
        const int outer = vr < k ? vr - 1 : vr + 1;
        if (outer < 0 || outer >= rows || ends[outer].first == -1)
            continue;
        const int outerBase = baseLine(outer);
        const int lo = std::min(base, outerBase), hi = std::max(base, outerBase) + 1;
        if (lowSlanted)
            drawLine(0, 1, lo, hi);
        if (highSlanted)
            drawLine(along - 1, along, lo, hi);
    }
}

// ---- "OneNote" --------------------------------------------------------------------------

const TvlPCOneNotePainter::ClassInfo& TvlPCOneNotePainter::Class()
{
    static const ClassInfo c;
    return c;
}

void TvlPCOneNotePainter::GetTabsDistance(TPoint& ADistance)
{
    ADistance = Point(5 - FCutValue, -3);
}

void TvlPCOneNotePainter::GetTabTextMargins(int, std::array<int, 2>& AMargins)
{
    AMargins = {FCutValue, 4};
    if (captionKind() == 1)
        std::swap(AMargins[0], AMargins[1]);
}

std::unique_ptr<TvlRegion> TvlPCOneNotePainter::GetTabRegion(int AVisibleIndex, bool AInner)
{
    TvlTab* t = tab(AVisibleIndex);
    const TvlTabPosition side = t->Side();
    TRect phys = t->Bounds();
    TPoints p;
    TRect R;
    if (!AInner) {
        InflateRect(phys, 1, 1);
        R = topFormRect(phys, side);
        const int L = R.Left, B = R.Bottom, W = R.Width(), H = R.Height();
        if (side == tpRight)
            p = {Point(L - 1, B - 1), Point(L - 1, B - 3), Point(L + 2, B - 3), Point(L + H - 2, B - H + 2),
                 Point(L + H + 2, B - H), Point(L + W - 4, B - H), Point(L + W - 1, B - H + 3), Point(L + W - 1, B - 1)};
        else if (side == tpLeft)
            p = {Point(L, B - 2), Point(L + 1, B - 2), Point(L + H - 3, B - H + 3), Point(L + H + 2, B - H),
                 Point(L + W - 5, B - H), Point(L + W - 1, B - H + 4), Point(L + W - 1, B - 1)};
        else
            p = {Point(L, B - 2), Point(L + 1, B - 2), Point(L + H - 3, B - H + 3), Point(L + H + 2, B - H),
                 Point(L + W - 4, B - H), Point(L + W - 1, B - H + 3), Point(L + W - 1, B - 1)};
    } else {
        switch (side) {
        case tpTop: OffsetRect(phys, 0, 1); break;
        case tpBottom: ++phys.Left; break;
        case tpLeft: OffsetRect(phys, 1, 0); ++phys.Top; break;
        case tpRight: ++phys.Top; break;
        }
        R = topFormRect(phys, side);
        const int L = R.Left, T = R.Top, Rr = R.Right, B = R.Bottom, W = R.Width(), H = R.Height();
        switch (side) {
        case tpTop:
            p = {Point(L + 2, B - 1), Point(L + H - 2, T + 3), Point(L + H + 2, T + 1), Point(Rr - 2, T + 1), Point(Rr - 2, B - 1)};
            break;
        case tpBottom:
            p = {Point(L + 2, B - 1), Point(L + H - 3, T + 4), Point(L + H + 2, T + 1), Point(Rr - 2, T + 1), Point(Rr - 2, B - 1)};
            break;
        case tpLeft:
            p = {Point(L + 2, B - 1), Point(L + H - 2, B - H + 3), Point(L + H + 2, B - H + 1), Point(L + W - 2, B - H + 1),
                 Point(L + W - 2, B - 1)};
            break;
        case tpRight:
            p = {Point(L + 2, B - 1), Point(L + H - 1, B - H + 3), Point(L + H + 3, B - H + 1), Point(L + W - 2, B - H + 1),
                 Point(L + W - 2, B - 1)};
            break;
        }
    }
    MapPointsToTabPosition(R, p, side);
    // The closed path's region: the polygon with the winding rule.
    return std::make_unique<TvlRegion>(CreatePolygonRgn(p, WINDING));
}

TColor TvlPCOneNotePainter::colourBehind(const TPoint& P)
{
    const int n = ParentControl()->VisibleTabList()->Count();
    for (int v = 0; v < n; ++v)
        if (PtInRect(tab(v)->VisibleBounds(), P))
            return GetTabBodyColor(v);
    return ParentControl()->Color();
}

void TvlPCOneNotePainter::DrawTabOutline(int AVisibleIndex, const TRect&)
{
    TvlTab* t = tab(AVisibleIndex);
    const TvlTabPosition side = t->Side();
    const TRect R = topFormRect(t->Bounds(), side);
    const TColor body = GetTabBodyColor(AVisibleIndex);
    TColor outline, highlight, inner;
    if (t->IsHot())
        outline = highlight = inner = OneNoteColor(4);
    else if (t->IsMain()) {
        outline = OneNoteColor(1);
        highlight = MixColors(clWhite, body, 60);
        inner = MixColors(highlight, body, 70);
    } else {
        outline = OneNoteColor(2);
        highlight = MixColors(MixColors(clWhite, OneNoteColor(6), 50), body, 50);
        inner = MixColors(OneNoteColor(6), body, 50);
    }
    const int L = R.Left, T = R.Top, B = R.Bottom, W = R.Width(), H = R.Height();
    auto mapped = [&](TPoint p) {
        MapPointToTabPosition(R, p, side);
        return p;
    };
    auto pixel = [&](TPoint p, TColor c) {
        p = mapped(p);
        canvas()->SetPixel(p.X, p.Y, c);
    };
    pixel(Point(L, B - 1), MixColors(outline, colourBehind(mapped(Point(L - 1, B - 1))), 25));
    DrawMappedPolyline(R, {Point(L + 1, B - 1), Point(L + H - 3, B - H + 3), Point(L + H + 2, B - H), Point(L + W - 3, B - H),
                           Point(L + W - 1, B - H + 2), Point(L + W - 1, B - 1)},
                       outline, side);
    pixel(Point(L + H + 2, T), MixColors(outline, colourBehind(mapped(Point(L + H + 1, T))), 60));
    DrawMappedPolyline(R, {Point(L + 2, B - 1), Point(L + H - 3, B - H + 4), Point(L + H + 2, B - H + 1), Point(L + W - 4, B - H + 1)},
                       highlight, side);
    DrawMappedPolyline(R, {Point(L + W - 3, B - H + 1), Point(L + W - 2, B - H + 2), Point(L + W - 2, B - 1)}, inner, side);
}

void TvlPCOneNotePainter::DrawPageJoin(int AVisibleIndex)
{
    TvlTab* t = tab(AVisibleIndex);
    const TColor c = t->IsMain() ? GetTabBodyColor(AVisibleIndex) : GetOutlineColor();
    const TRect r = pageJoinRect(AVisibleIndex);
    canvas()->FillRectByColor(r, c);
    const TPoint first = sideTabs() ? Point(r.Left, r.Bottom - 1) : Point(r.Left, r.Top);
    canvas()->SetPixel(first.X, first.Y, MixColors(GetOutlineColor(), c, 50));
}

// ---- registration ---------------------------------------------------------------

namespace {
std::vector<TvlPCPainterClass> builtInPainters()
{
    return {&TvlPCTabsPainter::Class(),        &TvlPCButtonsPainter::Class(), &TvlPCFlatButtonsPainter::Class(),
            &TvlPCExtraFlatPainter::Class(),   &TvlPCUltraFlatPainter::Class(), &TvlPCFlatPainter::Class(),
            &TvlPCOffice11Painter::Class(),    &TvlPCSlantedPainter::Class(), &TvlPCOneNotePainter::Class()};
}
}  // namespace

void RegisterPCPainters()
{
    PrepareExtraFlatRowColor();
    PrepareOneNoteColors();
    GPaletteChangedNotifier = std::make_unique<TvlSystemPaletteChangedNotifier>(true);
    GPaletteChangedNotifier->OnSysColorsChanged = TNotifyEvent::FromFunction([](TObject*) { PrepareOneNoteColors(); });
    for (TvlPCPainterClass c : builtInPainters())
        RegisterPCPainterClass(c);
}

void UnregisterPCPainters()
{
    for (TvlPCPainterClass c : builtInPainters())
        UnregisterPCPainterClass(c);
    FreePaintersFactory();
    GPaletteChangedNotifier.reset();
}

void AddvlPCPaintersUnit(TStartupList& AList)
{
    AList.Add(QStringLiteral("vlPCPainters"), &RegisterPCPainters, &UnregisterPCPainters);
}
