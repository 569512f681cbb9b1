#include "ui/foundation/vlDrawTextUtils.h"

#include <QImage>
#include <algorithm>
#include <cmath>

#include "platform/graphics/Graphics.h"
#include "ui/foundation/vlControls.h"

void TvlTextRows::SetCount(int n)
{
    // Row n must exist before it is cleared: the tail holds rows 32 and up.
    if (n >= 32 && int(FTail.size()) < n - 31)
        FTail.resize(size_t(n - 31 + 4));
    FCount = n;
    if (n < Capacity())
        (*this)[n] = TvlTextRow{};
}

void CalcTextExtents(HDC ADC, const String& AText, int AOffset, int ALength, TSize& ASize, bool AExpandTabs)
{
    const String piece = AText.mid(AOffset, ALength);
    if (AExpandTabs)
        ASize = GetTabbedTextExtent(ADC, piece, {});
    else
        GetTextExtentPoint32(ADC, piece, ASize);
}

void CalculateTextParams(HDC ADC, uint32_t AFlags, TvlTextParams& AParams, double ALineSpacing)
{
    AParams = TvlTextParams{};
    TTextMetric tm;
    if (ADC != nullptr && GetTextMetrics(ADC, tm)) {
        AParams.RowHeight = tm.tmHeight;
        AParams.MaxCharWidth = tm.tmMaxCharWidth;
        AParams.IsBold = ADC->Font().bold();
        if (AFlags & vltoExternalLeading)
            AParams.ExternalLeading = tm.tmExternalLeading;
    }
    AParams.HorzAlignment = int(AFlags & vltoAlignHorzMask);
    AParams.VertAlignment = int((AFlags & vltoAlignVertMask) >> 4);
    AParams.WordBreak = AFlags & vltoWordBreak;
    AParams.SingleLine = AFlags & vltoSingleLine;
    AParams.ExpandTabs = AFlags & vltoExpandTabs;
    AParams.EndEllipsis = AFlags & vltoEndEllipsis;
    AParams.PatternedText = AFlags & vltoPatternedText;
    AParams.EditControl = AFlags & vltoEditControl;
    AParams.NoClip = AFlags & vltoNoClip;
    AParams.AutoIndents = AFlags & vltoAutoIndents;
    AParams.CharBreak = AFlags & vltoCharBreak;  // the system locale is never far-eastern here
    AParams.PreventLeftExceed = AFlags & vltoPreventLeftExceed;
    AParams.PreventTopExceed = AFlags & vltoPreventTopExceed;
    AParams.CalcRect = AFlags & vltoCalcRect;
    AParams.CalcRowCount = AFlags & vltoCalcRowCount;
    AParams.HidePrefix = AFlags & vltoHidePrefix;
    AParams.SkipLeadingBlanks = AFlags & vltoSkipLeadingBlanks;
    AParams.OnePixel = 1;
    AParams.FullRowHeight = int(std::lround((AParams.RowHeight + AParams.ExternalLeading) * ALineSpacing));
    if (AParams.PatternedText && AParams.RowHeight >= 6)
        AParams.PatternedText = false;
    if (AParams.EndEllipsis && ADC != nullptr) {
        TSize s;
        GetTextExtentPoint32(ADC, QStringLiteral("..."), s);
        AParams.EllipsisWidth = s.cx;
    }
}

TRect PrepareTextRect(const TRect& R, const TvlTextParams& AParams, int ALeftIndent, int ARightIndent)
{
    TRect r = R;
    if (AParams.AutoIndents)
        InflateRect(r, -2 * AParams.OnePixel, -2 * AParams.OnePixel);
    r.Left += ALeftIndent * AParams.OnePixel;
    r.Right -= ARightIndent * AParams.OnePixel;
    return r;
}

TRect UnprepareTextRect(const TRect& R, const TvlTextParams& AParams, int ALeftIndent, int ARightIndent)
{
    TRect r = R;
    r.Left -= ALeftIndent * AParams.OnePixel;
    r.Right += ARightIndent * AParams.OnePixel;
    if (AParams.AutoIndents)
        InflateRect(r, 2 * AParams.OnePixel, 2 * AParams.OnePixel);
    return r;
}

namespace {

bool isBlank(QChar c) { return c == u' ' || c == u'\t'; }
bool isLineEnd(QChar c) { return c == u'\r' || c == u'\n'; }

bool isFullWidth(QChar c)
{
    const ushort u = c.unicode();
    return (u >= 0x4E00 && u <= 0x9FFF) || (u >= 0x3040 && u <= 0x309F) || (u >= 0x30A0 && u <= 0x30FF) ||
           (u >= 0xAC00 && u <= 0xD7A3);
}

bool mayNotBeginLine(QChar c)
{
    static constexpr char16_t list[] = {
        u'!', u'%', u')', u',', u'.', u':', u';', u'>', u'?', u']', u'}', 0x00A8, 0x00B0, 0x00B7, 0x02C7, 0x02C9,
        0x2013, 0x2014, 0x2015, 0x2016, 0x2018, 0x2019, 0x201D, 0x2022, 0x2025, 0x2026, 0x2027, 0x2032, 0x2033,
        0x2103, 0x2236, 0x2574, 0x3001, 0x3002, 0x3003, 0x3005, 0x3009, 0x300B, 0x300D, 0x300F, 0x3011, 0x3015,
        0x3017, 0x301E, 0x309B, 0x309C, 0xFE30, 0xFE31, 0xFE33, 0xFE34, 0xFE36, 0xFE38, 0xFE3A, 0xFE3C, 0xFE3E,
        0xFE40, 0xFE42, 0xFE44, 0xFE4F, 0xFE50, 0xFE51, 0xFE52, 0xFE54, 0xFE55, 0xFE56, 0xFE57, 0xFE5A, 0xFE5C,
        0xFE5E, 0xFF01, 0xFF02, 0xFF05, 0xFF07, 0xFF09, 0xFF0C, 0xFF0D, 0xFF0E, 0xFF1A, 0xFF1B, 0xFF1E, 0xFF1F,
        0xFF3D, 0xFF5C, 0xFF5D, 0xFF5E, 0xFF61, 0xFF63, 0xFF64, 0xFF9E, 0xFF9F};
    const char16_t u = c.unicode();
    return u >= 0xFFE0 || std::find(std::begin(list), std::end(list), u) != std::end(list);
}

int nextBreak(const String& t, int p, int end)
{
    const QChar c = t[p];
    if (isBlank(c))
        return p + 1;
    if (isLineEnd(c))
        return p;
    if (isFullWidth(c))
        return (p + 1 < end && mayNotBeginLine(t[p + 1])) ? p + 2 : p + 1;
    for (int q = p + 1; q < end; ++q)
        if (isBlank(t[q]) || isLineEnd(t[q]) || isFullWidth(t[q]))
            return q;
    return end;
}

int nextLineEnd(const String& t, int p, int end)
{
    while (p < end && !isLineEnd(t[p]))
        ++p;
    return p;
}

}  // namespace

bool MakeTextRows(HDC ADC, const String& AText, const TRect& R, const TvlTextParams& AParams, TvlTextRows& ARows,
                  int& ARowCount, int AMaxLineCount, const TvlCalcTextExtentsProc& ACalcExtentsProc)
{
    ARows.SetCount(0);
    ARows.Text = AText;
    ARowCount = 0;
    const int end = int(AText.size());
    if (end == 0)
        return true;
    const bool calc = AParams.CalcRect || AParams.CalcRowCount;
    auto measure = [&](int from, int length) {
        TSize s;
        ACalcExtentsProc(ADC, AText, from, length, s, AParams.ExpandTabs);
        return s;
    };
    if (AParams.CalcRect && AParams.SingleLine) {
        ARows.SetCount(1);
        ARows[0].TextLength = end;
        ARows[0].TextExtents = measure(0, end);
        ARowCount = 1;
        return true;
    }
    const bool byWords = !AParams.SingleLine &&
                         (AParams.WordBreak || AParams.HorzAlignment == vltoJustify ||
                          AParams.HorzAlignment == vltoDistribute);
    const bool byChars = byWords && (AParams.CharBreak || AParams.EditControl);
    const int width = R.Width();
    int height = 0;
    int p = 0;
    bool last = false;
    bool singleTooWide = false;
    while (p < end && !last) {
        const int index = ARowCount;
        ARows.SetCount(++ARowCount);
        height += AParams.FullRowHeight;
        if (AParams.SingleLine)
            last = true;
        else if (AParams.VertAlignment == 0 && !calc)
            last = (AParams.EditControl && !AParams.NoClip) ? height + AParams.FullRowHeight > R.Height()
                                                             : height > R.Height();
        else
            last = AMaxLineCount >= 1 && ARowCount >= AMaxLineCount;
        const bool ellipsisRow = last && AParams.EndEllipsis;

        // One row from p.
        int rowEnd = end, next = end;
        bool wrapped = false;
        int q = p;
        while (q < end) {
            int Q = (!byWords || AParams.CalcRect) ? nextLineEnd(AText, q, end) : nextBreak(AText, q, end);
            if (Q > q && byWords && measure(p, Q - p).cx > width) {
                if (q > p && !ellipsisRow) {
                    rowEnd = next = q;
                    wrapped = true;
                } else if (byChars) {
                    int lo = 1, hi = Q - q;  // the largest count that fits, at least one
                    while (lo < hi) {
                        const int mid = (lo + hi + 1) / 2;
                        if (measure(p, q + mid - p).cx <= width)
                            lo = mid;
                        else
                            hi = mid - 1;
                    }
                    rowEnd = next = q + lo;
                    wrapped = true;
                } else {
                    rowEnd = next = Q;
                    wrapped = true;
                    if (AParams.EndEllipsis && Q < end && isLineEnd(AText[Q])) {
                        next = Q + 1;
                        if (next < end && isLineEnd(AText[next]) && AText[next] != AText[Q])
                            ++next;
                        wrapped = false;
                    }
                }
                break;
            }
            if (Q < end && isLineEnd(AText[Q])) {
                rowEnd = Q;
                next = Q + 1;  // CR, CR LF, LF, LF CR
                if (next < end && isLineEnd(AText[next]) && AText[next] != AText[Q])
                    ++next;
                break;
            }
            if (Q == q)
                ++Q;
            q = Q;
            rowEnd = next = q;
        }
        if (wrapped) {
            const int h = AParams.HorzAlignment;
            if ((h == vltoCenterHorz || h == vltoRight) && rowEnd > p && isBlank(AText[rowEnd - 1]))
                --rowEnd;
            if ((h == vltoLeft || h == vltoCenterHorz) && next < end && isBlank(AText[next]))
                ++next;
            if (AParams.SkipLeadingBlanks)
                while (next < end && AText[next] == u' ')
                    ++next;
        }
        int breaks = 0;
        if (AParams.HorzAlignment == vltoDistribute || (AParams.HorzAlignment == vltoJustify && wrapped)) {
            while (rowEnd > p && isBlank(AText[rowEnd - 1]))
                --rowEnd;
            for (int i = p; i < rowEnd; ++i)
                breaks += isBlank(AText[i]);
        }
        TvlTextRow& row = ARows[index];
        row.Text = p;
        row.StartOffset = p;
        row.TextLength = rowEnd - p;
        row.BreakCount = breaks;
        row.TextExtents = measure(p, rowEnd - p);
        if (AParams.SingleLine && row.TextExtents.cx > width)
            singleTooWide = true;
        p = next;
        if (p >= end)
            last = true;
        if (AMaxLineCount > 0 && ARowCount == AMaxLineCount)
            break;
    }
    if (calc)
        return true;
    return p >= end && !singleTooWide;
}

void PlaceTextRows(HDC ADC, const TRect& R, TvlTextParams& AParams, int ARowCount, TvlTextRows& ARows)
{
    (void)ADC;
    const int n = ARowCount;
    if (n <= 0)
        return;
    int extra = 0;
    if (AParams.VertAlignment == 3 && n > 1) {
        const int h = R.Height() - AParams.RowHeight;
        if (AParams.RowHeight * (n - 1) < h) {
            AParams.FullRowHeight = h / (n - 1);
            extra = h % (n - 1);
        }
    }
    int top;
    switch (AParams.VertAlignment) {
    case 1: top = R.Top + (R.Height() - n * AParams.FullRowHeight) / 2; break;
    case 2: top = R.Bottom - n * AParams.FullRowHeight + AParams.ExternalLeading; break;
    default: top = R.Top; break;
    }
    if (AParams.PreventTopExceed)
        top = std::max(top, R.Top);
    for (int i = 0; i < n; ++i) {
        TvlTextRow& row = ARows[i];
        switch (AParams.HorzAlignment) {
        case vltoCenterHorz: row.TextOriginX = R.Left + (R.Width() - row.TextExtents.cx) / 2; break;
        case vltoRight: row.TextOriginX = R.Right - row.TextExtents.cx; break;
        default: row.TextOriginX = R.Left; break;
        }
        if (AParams.PreventLeftExceed)
            row.TextOriginX = std::max(row.TextOriginX, R.Left);
        row.TextOriginY = top;
        top += AParams.FullRowHeight;
        if (extra > 0) {
            ++top;
            --extra;
        }
    }
}

namespace {

// The 8 x 8 patterns of greyed tiny text: a checkerboard, solid for bold.
QImage patternImage(bool bold, TColor color)
{
    QImage image(8, 8, QImage::Format_RGB32);
    const QRgb ink = ColorToQColor(color).rgb(), paper = ColorToQColor(clWindow).rgb();
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            image.setPixel(x, y, bold || ((x + y) % 2 == 0) ? ink : paper);
    return image;
}

void drawRowText(HDC dc, const TvlTextParams& params, int x, int y, const String& text)
{
    if (params.ExpandTabs)
        TabbedTextOut(dc, x, y, text, {}, x);
    else
        TextOut(dc, x, y, text);
}

}  // namespace

void TextRowsOutHighlight(HDC ADC, const TRect& R, const TvlTextParams& AParams, bool AForceEndEllipsis,
                          TColor ASelTextColor, TColor ASelBkColor, int ASelLength, int ASelStart, int ARowCount,
                          TvlTextRows& ARows)
{
    const int oldMode = SetBkMode(ADC, TRANSPARENT);
    const bool selBrush = ASelLength >= 1 && ASelBkColor != clNone && ASelBkColor != clDefault;
    const bool selText = ASelTextColor != clNone && ASelTextColor != clDefault;
    const String ellipsis = QStringLiteral("...");
    for (int i = 0; i < ARowCount; ++i) {
        TvlTextRow& row = ARows[i];
        const int y = row.TextOriginY;
        const TRect rowRect = Rect(R.Left, y, R.Right, y + AParams.FullRowHeight);
        const bool lastRow = i == ARowCount - 1;
        if (row.TextLength == 0) {
            if (lastRow && AForceEndEllipsis && AParams.EndEllipsis)
                TextOut(ADC, R.Left, y, ellipsis);
            continue;
        }
        if (!RectVisible(ADC, rowRect))
            continue;
        String text = ARows.Text.mid(row.Text, row.TextLength);
        if (AParams.PatternedText) {
            TRect fill = Rect(row.TextOriginX, y + AParams.OnePixel, std::min(row.TextOriginX + row.TextExtents.cx, R.Right),
                              y + AParams.RowHeight - AParams.OnePixel);
            if (fill.IsEmpty())
                fill.Bottom = fill.Top + 1;
            const TDCBrush brush(clWindow, dbsPattern, patternImage(AParams.IsBold, GetTextColor(ADC)));
            FillRect(ADC, fill, &brush);
            continue;
        }
        const bool needsEllipsis =
            AParams.EndEllipsis && lastRow && (AForceEndEllipsis || R.Width() < row.TextExtents.cx);
        const bool justify = (AParams.HorzAlignment == vltoJustify || AParams.HorzAlignment == vltoDistribute) &&
                             !needsEllipsis;
        if (justify && R.Width() - row.TextExtents.cx > 0 && row.BreakCount > 0)
            SetTextJustification(ADC, R.Width() - row.TextExtents.cx, row.BreakCount);
        const int saved = SaveDC(ADC);
        bool rowClipped = false;
        if (!AParams.NoClip &&
            (row.TextExtents.cx > R.Width() || rowRect.Top < R.Top || rowRect.Bottom > R.Bottom)) {
            IntersectClipRect(ADC, R.Left, std::max(rowRect.Top, R.Top), R.Right, std::min(rowRect.Bottom, R.Bottom));
            rowClipped = true;
        }
        if (needsEllipsis) {
            int fit = 0;
            TSize size;
            GetTextExtentExPoint(ADC, text, R.Width() - AParams.EllipsisWidth, &fit, nullptr, size);
            if (fit == 0 && AParams.HorzAlignment == vltoLeft)
                fit = 1;
            text = text.left(fit);
            GetTextExtentPoint32(ADC, text, row.TextExtents);
        }
        // The selection within this row's characters.
        const int selFrom = std::max(ASelStart, row.StartOffset) - row.StartOffset;
        const int selTo = std::min(ASelStart + ASelLength, row.StartOffset + int(text.size())) - row.StartOffset;
        bool ellipsisDone = false;
        if (ASelLength > 0 && selFrom < selTo) {
            std::vector<int> dx;
            TSize size;
            GetTextExtentExPoint(ADC, text, 0, nullptr, &dx, size);
            const int x0 = row.TextOriginX + (selFrom > 0 ? dx[size_t(selFrom - 1)] : 0);
            const int x1 = row.TextOriginX + dx[size_t(selTo - 1)];
            const TRect span = Rect(x0, y, x1, y + AParams.RowHeight);
            const int inner = SaveDC(ADC);
            IntersectClipRect(ADC, span.Left, span.Top, span.Right, span.Bottom);
            if (selBrush) {
                const TDCBrush brush(ColorToRGB(ASelBkColor), dbsSolid);
                FillRect(ADC, span, &brush);
            }
            const TColor old = selText ? SetTextColor(ADC, ASelTextColor) : GetTextColor(ADC);
            drawRowText(ADC, AParams, row.TextOriginX, y, text);
            if (needsEllipsis && selTo == int(text.size())) {
                ExtTextOut(ADC, row.TextOriginX + row.TextExtents.cx, y, 0, nullptr, ellipsis);
                ellipsisDone = true;
            }
            SetTextColor(ADC, old);
            RestoreDC(ADC, inner);
            ExcludeClipRect(ADC, span.Left, span.Top, span.Right, span.Bottom);
        }
        drawRowText(ADC, AParams, row.TextOriginX, y, text);
        if (needsEllipsis && !ellipsisDone) {
            const int x = R.Left + row.TextExtents.cx;
            if (x < R.Right) {
                const TRect rest = Rect(x, y, rowRect.Right, rowRect.Bottom);
                const bool fits = x + AParams.EllipsisWidth <= R.Right;
                ExtTextOut(ADC, x, y, (AParams.NoClip || fits) ? 0u : uint32_t(ETO_CLIPPED), &rest, ellipsis);
            }
        }
        // A row clipped to the rectangle takes its selection exclusion with
        // it; otherwise the exclusion stays for the rows below.
        const TRegion keep = [&] {
            TRegion r;
            GetClipRgn(ADC, r);
            return r;
        }();
        const bool hadClip = ADC->HasClip();
        RestoreDC(ADC, saved);
        if (!rowClipped && hadClip)
            SelectClipRgn(ADC, &keep);
        SetTextJustification(ADC, 0, 0);
    }
    SetBkMode(ADC, oldMode);
}

int GetLongestTextRowWidth(const TvlTextRows& ARows, int ARowCount)
{
    int w = 0;
    for (int i = 0; i < std::min(ARows.Count(), ARowCount); ++i)
        w = std::max(w, ARows[i].TextExtents.cx);
    return w;
}

int DrawFormattedText(HDC ADC, const String& AText, TRect& R, uint32_t AFlags, int ASelStart, int ASelLength,
                      const TFont* AFont, TColor ASelBkColor, TColor ASelTextColor, int AMaxLineCount,
                      int ALeftIndent, int ARightIndent, TColor ATextColor, double ALineSpacing)
{
    if (AText.isEmpty() || ADC == nullptr)
        return 0;
    const QFont oldFont = ADC->Font();
    const int oldEscapement = 0;
    const TColor oldColor = GetTextColor(ADC);
    if (AFont != nullptr) {
        ADC->SetFont(AFont->QtFont());
        SetTextColor(ADC, AFont->Color());
    }
    if (ATextColor != clDefault)
        SetTextColor(ADC, ATextColor);
    auto restore = [&] {
        ADC->SetFont(oldFont);
        ADC->SetEscapement(oldEscapement);
        SetTextColor(ADC, oldColor);
    };
    TvlTextParams params;
    CalculateTextParams(ADC, AFlags, params, ALineSpacing);
    TRect tr = PrepareTextRect(R, params, ALeftIndent, ARightIndent);
    if (params.CalcRect ? tr.Width() <= 0 : (tr.Width() < 1 || tr.Height() < 1)) {
        restore();
        return 0;
    }
    String text = AText;
    if (params.HidePrefix) {
        text = RemoveAccelChars(text);
        if (text.isEmpty()) {
            restore();
            return 0;
        }
    }
    TvlTextRows rows;
    int count = 0;
    const bool fits = MakeTextRows(ADC, text, tr, params, rows, count, AMaxLineCount);
    int height = 0;
    if (count > 0) {
        if (params.CalcRect) {
            if (AMaxLineCount > 0)
                count = std::min(count, AMaxLineCount);
            tr.Right = tr.Left + GetLongestTextRowWidth(rows, count);
            if (!params.SingleLine) {
                MakeTextRows(ADC, text, tr, params, rows, count, AMaxLineCount);
                if (AMaxLineCount > 0)
                    count = std::min(count, AMaxLineCount);
            }
            PlaceTextRows(ADC, tr, params, count, rows);
            tr.Bottom = rows[count - 1].TextOriginY + params.RowHeight;
            R = UnprepareTextRect(tr, params, ALeftIndent, ARightIndent);
        } else {
            PlaceTextRows(ADC, tr, params, count, rows);
            if (ASelStart < 0 || ASelStart > int(text.size()) - 1)
                ASelLength = 0;
            else if (ASelStart + ASelLength > int(text.size()))
                ASelLength = int(text.size()) - ASelStart;
            TextRowsOutHighlight(ADC, tr, params, !fits, ASelTextColor, ASelBkColor, ASelLength, ASelStart, count,
                                 rows);
        }
        height = rows[count - 1].TextOriginY + params.RowHeight - tr.Top;
    }
    restore();
    if (params.CalcRowCount)
        return count;
    return height != 0 ? height : count;
}
