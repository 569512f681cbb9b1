// The text layout engine with a fixed-width measurer (7 pixels a character,
// rows 13 high), so the cases are exact; then a few renders on a real font.
#include <QImage>
#include <gtest/gtest.h>

#include "platform/graphics/Graphics.h"
#include "ui/foundation/vlDrawTextUtils.h"

namespace {

void fixedWidth(HDC, const String&, int, int ALength, TSize& ASize, bool) { ASize = {7 * ALength, 13}; }

TvlTextParams paramsFor(uint32_t flags)
{
    TvlTextParams p;
    CalculateTextParams(nullptr, flags, p);
    p.RowHeight = p.FullRowHeight = 13;
    return p;
}

std::vector<String> rowTexts(const TvlTextRows& rows, int count)
{
    std::vector<String> out;
    for (int i = 0; i < count; ++i)
        out.push_back(rows.Text.mid(rows[i].Text, rows[i].TextLength));
    return out;
}

TEST(vlDrawTextUtils, RowBreakingTable)
{
    using V = std::vector<String>;
    struct Case { const char* name; String text; uint32_t flags; int width, height; V rows; };
    const Case cases[] = {
        {"two words, left", QStringLiteral("abc def"), vltoWordBreak, 30, 100, V{"abc ", "def"}},
        {"two words, right", QStringLiteral("abc def"), vltoWordBreak | vltoRight, 30, 100, V{"abc", "def"}},
        {"character break", QStringLiteral("abcdefgh"), vltoWordBreak | vltoCharBreak, 30, 100, V{"abcd", "efgh"}},
        {"no character break", QStringLiteral("abcdefgh"), vltoWordBreak, 30, 100, V{"abcdefgh"}},
        {"full width keeps U+3002", QString::fromUtf16(u"abc\u4E2D\u3002"), vltoWordBreak, 28, 100,
         V{"abc", QString::fromUtf16(u"\u4E2D\u3002")}},
        {"every line end once", QStringLiteral("a\r\nb\n\rc\rd\ne"), 0, 200, 100, V{"a", "b", "c", "d", "e"}},
        {"edit control, 2.5 rows", QStringLiteral("a\nb\nc\nd"), vltoEditControl, 200, 32, V{"a", "b"}},
        {"plain, 2.5 rows", QStringLiteral("a\nb\nc\nd"), 0, 200, 32, V{"a", "b", "c"}},
        {"single line", QStringLiteral("a\nb"), vltoSingleLine, 200, 100, V{"a"}},
    };
    for (const Case& c : cases) {
        TvlTextRows rows;
        int count = 0;
        MakeTextRows(nullptr, c.text, Rect(0, 0, c.width, c.height), paramsFor(c.flags), rows, count, 0, fixedWidth);
        EXPECT_EQ(rowTexts(rows, count), c.rows) << c.name;
    }
}

TEST(vlDrawTextUtils, DistributedRowsSpreadTheRemainderFromTheTop)
{
    TvlTextParams p = paramsFor(vltoDistributeVert);
    p.RowHeight = p.FullRowHeight = 10;
    TvlTextRows rows;
    int count = 0;
    MakeTextRows(nullptr, QStringLiteral("a\nb\nc"), Rect(0, 0, 100, 45), p, rows, count, 0, fixedWidth);
    ASSERT_EQ(count, 3);
    PlaceTextRows(nullptr, Rect(0, 0, 100, 45), p, count, rows);
    EXPECT_EQ(rows[0].TextOriginY, 0);
    EXPECT_EQ(rows[1].TextOriginY, 18);
    EXPECT_EQ(rows[2].TextOriginY, 35);
}

// More rows than the 32 held in place: every row lands in storage that exists.
TEST(vlDrawTextUtils, FortyRowsGrowTheTail)
{
    String text;
    for (int i = 0; i < 40; ++i)
        text += QStringLiteral("r%1\n").arg(i);
    TvlTextRows rows;
    int count = 0;
    EXPECT_TRUE(MakeTextRows(nullptr, text, Rect(0, 0, 100, 10000), paramsFor(0), rows, count, 0, fixedWidth));
    ASSERT_EQ(count, 40);
    EXPECT_GE(rows.Capacity(), 41);
    EXPECT_EQ(rowTexts(rows, count)[39], QStringLiteral("r39"));
    for (int n = 30; n < 45; ++n) {
        rows.SetCount(n);
        EXPECT_GT(rows.Capacity(), n) << n;
    }
}

struct Surface {
    Surface() : Image(120, 60, QImage::Format_RGB32), DC(&Image)
    {
        Image.fill(Qt::white);
        QFont f(QStringLiteral("DejaVu Sans"));
        f.setPixelSize(11);
        f.setStyleStrategy(QFont::NoAntialias);
        DC.SetFont(f);
    }
    QImage Image;
    TDeviceContext DC;
};

TEST(vlDrawTextUtils, CalcRectWithTwoLinesMeasuresTheWiderOfThem)
{
    Surface s;
    TRect r = Rect(0, 0, 100, 100);
    const int h = DrawFormattedText(&s.DC, QStringLiteral("ab\nabcdef\nx\ny\nz"), r, vltoCalcRect, 0, 0, nullptr,
                                    clHighlight, clHighlightText, 2);
    TSize wide, row;
    GetTextExtentPoint32(&s.DC, QStringLiteral("abcdef"), wide);
    TTextMetric tm;
    GetTextMetrics(&s.DC, tm);
    EXPECT_EQ(r, Rect(0, 0, wide.cx, 2 * tm.tmHeight));
    EXPECT_EQ(h, 2 * tm.tmHeight);
    EXPECT_EQ(s.Image.pixel(1, 1), qRgb(255, 255, 255));  // nothing drawn
}

TEST(vlDrawTextUtils, SelectionColourOnlyInsideTheSelectedSpan)
{
    Surface s;
    const String text = QStringLiteral("abcdefgh");
    TRect r = Rect(0, 0, 120, 20);
    DrawFormattedText(&s.DC, text, r, 0, 2, 3, nullptr, clRed, clWhite);
    std::vector<int> dx;
    TSize size;
    GetTextExtentExPoint(&s.DC, text, 0, nullptr, &dx, size);
    int minX = 999, maxX = -1;
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 120; ++x)
            if (s.Image.pixel(x, y) == qRgb(255, 0, 0)) {
                minX = std::min(minX, x);
                maxX = std::max(maxX, x);
            }
    EXPECT_EQ(minX, dx[1]);
    EXPECT_EQ(maxX, dx[4] - 1);

    Surface past;
    r = Rect(0, 0, 120, 20);
    DrawFormattedText(&past.DC, text, r, 0, 20, 3, nullptr, clRed, clWhite);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 120; ++x)
            ASSERT_NE(past.Image.pixel(x, y), qRgb(255, 0, 0));
}

}  // namespace
