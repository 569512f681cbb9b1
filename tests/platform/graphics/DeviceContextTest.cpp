#include <QFontMetrics>
#include <QImage>
#include <gtest/gtest.h>

#include "platform/graphics/DeviceContext.h"

namespace {

constexpr QRgb white = 0xFFFFFFFF;

// A white surface with a context and a black, non-antialiased 11-pixel font.
struct Surface {
    explicit Surface(int w = 200, int h = 60) : Image(w, h, QImage::Format_RGB32), DC(&Image)
    {
        Image.fill(Qt::white);
        QFont f(QStringLiteral("DejaVu Sans"));
        f.setPixelSize(11);
        f.setStyleStrategy(QFont::NoAntialias);
        DC.SetFont(f);
        SetBkMode(&DC, TRANSPARENT);
    }
    QRgb at(int x, int y) const { return Image.pixel(x, y) | 0xFF000000; }
    bool dark(int x, int y) const { return qGray(Image.pixel(x, y)) < 128; }
    // The bounding box of the dark pixels in area (empty when none).
    TRect darkBox(const TRect& area) const
    {
        TRect box{area.Right, area.Bottom, area.Left, area.Top};
        for (int y = std::max(0, area.Top); y < std::min(Image.height(), area.Bottom); ++y)
            for (int x = std::max(0, area.Left); x < std::min(Image.width(), area.Right); ++x)
                if (dark(x, y)) {
                    box.Left = std::min(box.Left, x);
                    box.Top = std::min(box.Top, y);
                    box.Right = std::max(box.Right, x + 1);
                    box.Bottom = std::max(box.Bottom, y + 1);
                }
        return box.IsEmpty() ? TRect{} : box;
    }
    TRect darkBox() const { return darkBox({0, 0, Image.width(), Image.height()}); }
    int lineHeight() const { return QFontMetrics(DC.Font()).height(); }

    QImage Image;
    TDeviceContext DC;
};

const TDCBrush redBrush{clRed, dbsSolid};
const TDCBrush blueBrush{clBlue, dbsSolid};

TEST(DeviceContextTest, ShapesExcludeRightAndBottomEdges)
{
    Surface s(20, 20);
    FillRect(&s.DC, Rect(2, 3, 7, 9), &redBrush);
    EXPECT_EQ(s.at(2, 3), qRgb(255, 0, 0));
    EXPECT_EQ(s.at(6, 8), qRgb(255, 0, 0));
    EXPECT_EQ(s.at(7, 8), white);
    EXPECT_EQ(s.at(6, 9), white);
    EXPECT_EQ(s.at(1, 3), white);

    // Outline on the outermost pixels, brush inside, nothing at Right/Bottom.
    Surface r(20, 20);
    r.DC.SetPen({clRed, 1, dpsSolid});
    r.DC.SetBrush(blueBrush);
    Rectangle(&r.DC, 2, 2, 8, 8);
    EXPECT_EQ(r.at(2, 2), qRgb(255, 0, 0));
    EXPECT_EQ(r.at(7, 7), qRgb(255, 0, 0));
    EXPECT_EQ(r.at(7, 4), qRgb(255, 0, 0));
    EXPECT_EQ(r.at(3, 3), qRgb(0, 0, 255));
    EXPECT_EQ(r.at(6, 6), qRgb(0, 0, 255));
    EXPECT_EQ(r.at(8, 8), white);
    EXPECT_EQ(r.at(8, 4), white);

    // A polygon's outline covers its vertices; its fill the inside.
    Surface g(20, 20);
    g.DC.SetBrush(blueBrush);
    const TPoint tri[] = {{2, 2}, {16, 2}, {2, 16}};
    Polygon(&g.DC, tri);
    EXPECT_TRUE(g.dark(16, 2));
    EXPECT_TRUE(g.dark(2, 16));
    EXPECT_EQ(g.at(5, 5), qRgb(0, 0, 255));
    EXPECT_EQ(g.at(12, 12), white);

    // A null pen fills one pixel less each way.
    Surface n(20, 20);
    n.DC.SetPen({clBlack, 1, dpsNull});
    n.DC.SetBrush(blueBrush);
    Rectangle(&n.DC, 2, 2, 8, 8);
    EXPECT_EQ(n.at(6, 6), qRgb(0, 0, 255));
    EXPECT_EQ(n.at(7, 7), white);
    EXPECT_EQ(n.at(7, 3), white);
}

TEST(DeviceContextTest, LinesExcludeTheirEndPointAndMoveThePen)
{
    Surface s(20, 20);
    MoveToEx(&s.DC, 0, 5);
    LineTo(&s.DC, 10, 5);
    EXPECT_TRUE(s.dark(0, 5));
    EXPECT_TRUE(s.dark(9, 5));
    EXPECT_FALSE(s.dark(10, 5));
    LineTo(&s.DC, 10, 15);  // continues from the end point, which it now covers
    EXPECT_TRUE(s.dark(10, 5));
    EXPECT_TRUE(s.dark(10, 14));
    EXPECT_FALSE(s.dark(10, 15));
    EXPECT_EQ(s.DC.PenPos(), Point(10, 15));

    Surface d(20, 20);
    MoveToEx(&d.DC, 0, 0);
    LineTo(&d.DC, 6, 6);
    EXPECT_TRUE(d.dark(5, 5));
    EXPECT_FALSE(d.dark(6, 6));
    EXPECT_EQ(d.darkBox(), Rect(0, 0, 6, 6));
}

TEST(DeviceContextTest, SaveAndRestoreTheClip)
{
    Surface s(20, 20);
    EXPECT_EQ(SaveDC(&s.DC), 1);
    EXPECT_EQ(IntersectClipRect(&s.DC, 0, 0, 5, 5), SIMPLEREGION);
    EXPECT_EQ(SaveDC(&s.DC), 2);
    EXPECT_EQ(ExcludeClipRect(&s.DC, 0, 0, 2, 2), COMPLEXREGION);
    FillRect(&s.DC, Rect(0, 0, 20, 20), &redBrush);
    EXPECT_EQ(s.at(1, 1), white);
    EXPECT_EQ(s.at(4, 4), qRgb(255, 0, 0));
    EXPECT_EQ(s.at(5, 5), white);

    EXPECT_TRUE(RestoreDC(&s.DC, -1));  // back to the 5x5 clip
    TRect box;
    EXPECT_EQ(GetClipBox(&s.DC, box), SIMPLEREGION);
    EXPECT_EQ(box, Rect(0, 0, 5, 5));
    FillRect(&s.DC, Rect(0, 0, 20, 20), &blueBrush);
    EXPECT_EQ(s.at(1, 1), qRgb(0, 0, 255));
    EXPECT_EQ(s.at(5, 5), white);

    EXPECT_FALSE(RestoreDC(&s.DC, 2));  // that level is gone
    EXPECT_TRUE(RestoreDC(&s.DC, 1));   // no clip at all
    TRegion rgn;
    EXPECT_EQ(GetClipRgn(&s.DC, rgn), 0);
    FillRect(&s.DC, Rect(0, 0, 20, 20), &redBrush);
    EXPECT_EQ(s.at(19, 19), qRgb(255, 0, 0));
    EXPECT_FALSE(RestoreDC(&s.DC, -1));
}

TEST(DeviceContextTest, ExcludedHoleStaysUntouchedByEveryKindOfDrawing)
{
    Surface s(30, 30);
    ExcludeClipRect(&s.DC, 10, 10, 20, 20);
    s.DC.SetBrush(redBrush);
    s.DC.SetPen({clBlack, 1, dpsSolid});
    FillRect(&s.DC, Rect(0, 0, 30, 30));
    Rectangle(&s.DC, 5, 5, 25, 25);
    Ellipse(&s.DC, 0, 0, 30, 30);
    MoveToEx(&s.DC, 0, 15);
    LineTo(&s.DC, 30, 15);
    SetBkMode(&s.DC, OPAQUE);
    SetBkColor(&s.DC, clLime);
    TextOut(&s.DC, 8, 8, QStringLiteral("WWW"));
    SetPixel(&s.DC, 15, 15, clBlack);
    for (int y = 10; y < 20; ++y)
        for (int x = 10; x < 20; ++x)
            ASSERT_EQ(s.at(x, y), white) << x << "," << y;
    EXPECT_NE(s.at(9, 9), white);
    EXPECT_NE(s.at(20, 20), white);
    EXPECT_EQ(GetPixel(&s.DC, 15, 15), -1);  // outside the clip reads as invalid
    EXPECT_FALSE(PtVisible(&s.DC, 15, 15));
    EXPECT_TRUE(PtVisible(&s.DC, 20, 15));
}

TEST(DeviceContextTest, ClipStaysInDeviceSpaceWhenTheOriginMoves)
{
    Surface s(40, 40);
    IntersectClipRect(&s.DC, 0, 0, 10, 10);
    MoveWindowOrg(&s.DC, 20, 20);  // logical (0,0) is now device (20,20)
    FillRect(&s.DC, Rect(0, 0, 10, 10), &redBrush);
    EXPECT_EQ(s.darkBox(), TRect{});
    EXPECT_EQ(s.at(25, 25), white);
    FillRect(&s.DC, Rect(-20, -20, -15, -15), &redBrush);
    EXPECT_EQ(s.at(0, 0), qRgb(255, 0, 0));
    EXPECT_EQ(s.at(5, 5), white);
    TRect box;
    GetClipBox(&s.DC, box);
    EXPECT_EQ(box, Rect(-20, -20, -10, -10));

    // A region selected in device coordinates, then removed.
    Surface r(40, 40);
    TRegion rgn = CreateRectRgn(0, 0, 10, 10);
    CombineRgn(rgn, rgn, CreateRectRgn(30, 30, 40, 40), RGN_OR);
    EXPECT_EQ(SelectClipRgn(&r.DC, &rgn), COMPLEXREGION);
    FillRect(&r.DC, Rect(0, 0, 40, 40), &redBrush);
    EXPECT_EQ(r.at(5, 5), qRgb(255, 0, 0));
    EXPECT_EQ(r.at(35, 35), qRgb(255, 0, 0));
    EXPECT_EQ(r.at(20, 20), white);
    SelectClipRgn(&r.DC, nullptr);
    FillRect(&r.DC, Rect(0, 0, 40, 40), &blueBrush);
    EXPECT_EQ(r.at(20, 20), qRgb(0, 0, 255));
}

TEST(DeviceContextTest, RegionsCombineAndTestPoints)
{
    TRegion a = CreateRectRgn(0, 0, 10, 10);
    EXPECT_TRUE(PtInRegion(a, 9, 9));
    EXPECT_FALSE(PtInRegion(a, 10, 9));
    struct Case {
        int Mode;
        int Kind;
        TRect Box;
    };
    const Case cases[] = {
        {RGN_AND, SIMPLEREGION, Rect(5, 5, 10, 10)},  {RGN_OR, COMPLEXREGION, Rect(0, 0, 15, 15)},
        {RGN_XOR, COMPLEXREGION, Rect(0, 0, 15, 15)}, {RGN_DIFF, COMPLEXREGION, Rect(0, 0, 10, 10)},
        {RGN_COPY, SIMPLEREGION, Rect(0, 0, 10, 10)},
    };
    for (const Case& c : cases) {
        TRegion d;
        EXPECT_EQ(CombineRgn(d, a, CreateRectRgn(5, 5, 15, 15), c.Mode), c.Kind) << c.Mode;
        TRect box;
        GetRgnBox(d, box);
        EXPECT_EQ(box, c.Box) << c.Mode;
    }
    TRegion d;
    EXPECT_EQ(CombineRgn(d, a, a, 99), RGN_ERROR);
    EXPECT_EQ(CombineRgn(d, a, a, RGN_DIFF), NULLREGION);
    OffsetRgn(a, 100, 50);
    EXPECT_TRUE(PtInRegion(a, 100, 50));
    EXPECT_FALSE(PtInRegion(a, 99, 50));
    EXPECT_TRUE(EqualRgn(a, CreateRectRgn(110, 60, 100, 50)));  // corners in any order
    TRegion ellipse = CreateEllipticRgn(0, 0, 20, 20);
    EXPECT_TRUE(PtInRegion(ellipse, 10, 10));
    EXPECT_FALSE(PtInRegion(ellipse, 0, 0));
    TRegion round = CreateRoundRectRgn(0, 0, 20, 20, 8, 8);
    EXPECT_FALSE(PtInRegion(round, 0, 0));
    EXPECT_TRUE(PtInRegion(round, 0, 10));
}

TEST(DeviceContextTest, DrawTextAlignsWithinTheRectangle)
{
    const TRect R = Rect(10, 5, 190, 55);
    struct Case {
        uint32_t Flags;
        int ExpectLeft;    // -1: do not check
        int ExpectRight;   // -1: do not check
        int ExpectCenterX; // -1: do not check
        bool VCenter;
        bool Bottom;
    };
    const Case cases[] = {
        {DT_LEFT | DT_SINGLELINE, 10, -1, -1, false, false},
        {DT_RIGHT | DT_SINGLELINE, -1, 190, -1, false, false},
        {DT_CENTER | DT_SINGLELINE, -1, -1, 100, false, false},
        {DT_CENTER | DT_VCENTER | DT_SINGLELINE, -1, -1, 100, true, false},
        {DT_RIGHT | DT_BOTTOM | DT_SINGLELINE, -1, 190, -1, false, true},
    };
    for (const Case& c : cases) {
        Surface s;
        TRect r = R;
        const int h = DrawText(&s.DC, QStringLiteral("HHHH"), r, c.Flags);
        const TRect box = s.darkBox();
        ASSERT_FALSE(box.IsEmpty()) << c.Flags;
        // The glyph "H" has at most a pixel or two of side bearing.
        if (c.ExpectLeft >= 0) {
            EXPECT_NEAR(box.Left, c.ExpectLeft, 2) << c.Flags;
        }
        if (c.ExpectRight >= 0) {
            EXPECT_NEAR(box.Right, c.ExpectRight, 2) << c.Flags;
        }
        if (c.ExpectCenterX >= 0) {
            EXPECT_NEAR((box.Left + box.Right) / 2, c.ExpectCenterX, 2) << c.Flags;
        }
        const int lh = s.lineHeight();
        if (c.VCenter) {
            EXPECT_GT(box.Top, R.Top + (R.Height() - lh) / 2 - 1) << c.Flags;
            EXPECT_LT(box.Bottom, R.Top + (R.Height() + lh) / 2 + 1) << c.Flags;
            EXPECT_EQ(h, (R.Top + R.Bottom - lh) / 2 - R.Top + lh);
        } else if (c.Bottom) {
            EXPECT_GE(box.Top, R.Bottom - lh) << c.Flags;
            EXPECT_EQ(h, R.Height());
        } else {
            EXPECT_LT(box.Bottom, R.Top + lh + 1) << c.Flags;
            EXPECT_EQ(h, lh);
        }
    }
}

TEST(DeviceContextTest, DrawTextCalcRectMeasuresWithoutDrawing)
{
    Surface s;
    const int lh = s.lineHeight();
    TSize ext;
    GetTextExtentPoint32(&s.DC, QStringLiteral("Hello"), ext);

    TRect r = Rect(5, 5, 6, 6);
    EXPECT_EQ(DrawText(&s.DC, QStringLiteral("Hello"), r, DT_CALCRECT | DT_SINGLELINE), lh);
    EXPECT_EQ(r, Rect(5, 5, 5 + ext.cx, 5 + lh));

    r = Rect(0, 0, 1, 1);
    DrawText(&s.DC, QStringLiteral("a\r\nHello\nb"), r, DT_CALCRECT);
    EXPECT_EQ(r, Rect(0, 0, ext.cx, 3 * lh));

    // Word break keeps the width and grows the height line by line.
    TSize word;
    GetTextExtentPoint32(&s.DC, QStringLiteral("Hello Hello"), word);
    r = Rect(0, 0, word.cx - 1, 0);
    DrawText(&s.DC, QStringLiteral("Hello Hello Hello"), r, DT_CALCRECT | DT_WORDBREAK);
    EXPECT_EQ(r.Bottom, 3 * lh);
    EXPECT_EQ(r.Right, ext.cx);

    r = Rect(3, 3, 50, 50);
    EXPECT_EQ(DrawText(&s.DC, String(), r, DT_CALCRECT), 0);
    EXPECT_EQ(r, Rect(3, 3, 3, 3));
    EXPECT_EQ(s.darkBox(), TRect{});
}

TEST(DeviceContextTest, DrawTextExpandsTabsToStops)
{
    Surface s;
    const QFontMetrics fm(s.DC.Font());
    const int stop = 8 * fm.averageCharWidth();
    TRect r = Rect(0, 0, 1, 1);
    DrawText(&s.DC, QStringLiteral("ab\tc"), r, DT_CALCRECT | DT_SINGLELINE | DT_EXPANDTABS);
    EXPECT_EQ(r.Width(), stop + fm.horizontalAdvance(QLatin1Char('c')));
    // DT_TABSTOP takes the stop in characters from the second byte (which
    // is why it cannot be combined with the flags living there).
    Surface t;
    r = Rect(0, 0, 200, 20);
    DrawText(&t.DC, QStringLiteral("\tH"), r, DT_SINGLELINE | DT_EXPANDTABS | DT_TABSTOP | (4u << 8));
    EXPECT_NEAR(t.darkBox().Left, 4 * fm.averageCharWidth(), 2);
    Surface u;
    r = Rect(0, 0, 200, 20);
    DrawText(&u.DC, QStringLiteral("\tH"), r, DT_SINGLELINE | DT_EXPANDTABS);
    EXPECT_NEAR(u.darkBox().Left, stop, 2);
    // Without the flag a tab is a space.
    r = Rect(0, 0, 1, 1);
    DrawText(&s.DC, QStringLiteral("ab\tc"), r, DT_CALCRECT | DT_SINGLELINE);
    EXPECT_EQ(r.Width(), fm.horizontalAdvance(QStringLiteral("ab c")));
}

TEST(DeviceContextTest, DrawTextWordBreakPutsWordsOnNewLines)
{
    Surface s(200, 80);
    const int lh = s.lineHeight();
    TSize one;
    GetTextExtentPoint32(&s.DC, QStringLiteral("MMM"), one);
    TRect r = Rect(0, 0, one.cx + 4, 80);
    EXPECT_EQ(DrawText(&s.DC, QStringLiteral("MMM MMM"), r, DT_WORDBREAK), 2 * lh);
    EXPECT_FALSE(s.darkBox(Rect(0, 0, 200, lh)).IsEmpty());
    EXPECT_FALSE(s.darkBox(Rect(0, lh, 200, 2 * lh)).IsEmpty());
    EXPECT_TRUE(s.darkBox(Rect(one.cx + 4, 0, 200, 80)).IsEmpty());

    // Without the flag the second word runs past the rectangle and is clipped.
    Surface t(200, 80);
    r = Rect(0, 0, one.cx + 4, 80);
    EXPECT_EQ(DrawText(&t.DC, QStringLiteral("MMM MMM"), r, 0), lh);
    EXPECT_TRUE(t.darkBox(Rect(0, lh, 200, 80)).IsEmpty());
}

TEST(DeviceContextTest, DrawTextEllipsesShortenToTheWidth)
{
    const String longText = QStringLiteral("A rather long caption that cannot fit");
    {
        Surface s;
        TRect r = Rect(0, 0, 80, 20);
        String shown;
        DrawText(&s.DC, longText, r, DT_SINGLELINE | DT_END_ELLIPSIS | DT_NOCLIP | DT_MODIFYSTRING, &shown);
        EXPECT_TRUE(shown.endsWith(QStringLiteral("...")));
        EXPECT_TRUE(longText.startsWith(shown.left(shown.size() - 3)));
        EXPECT_LE(s.darkBox().Right, 80);  // drawn unclipped, yet inside
    }
    {
        Surface s;
        TRect r = Rect(0, 0, 80, 20);
        DrawText(&s.DC, longText, r, DT_SINGLELINE | DT_NOCLIP);
        EXPECT_GT(s.darkBox().Right, 80);
    }
    {
        Surface s;
        const String path = QStringLiteral("/home/user/videos/holiday/file.avi");
        TRect r = Rect(0, 0, 120, 20);
        String shown;
        DrawText(&s.DC, path, r, DT_SINGLELINE | DT_PATH_ELLIPSIS | DT_MODIFYSTRING, &shown);
        EXPECT_TRUE(shown.endsWith(QStringLiteral(".../file.avi"))) << shown.toStdString();
        EXPECT_TRUE(shown.startsWith(QStringLiteral("/h")));
        TSize ext;
        GetTextExtentPoint32(&s.DC, shown, ext);
        EXPECT_LE(ext.cx, 120);
        // Short enough: unchanged.
        DrawText(&s.DC, QStringLiteral("/a/b.avi"), r, DT_SINGLELINE | DT_PATH_ELLIPSIS | DT_MODIFYSTRING, &shown);
        EXPECT_EQ(shown, QStringLiteral("/a/b.avi"));
    }
}

TEST(DeviceContextTest, DrawTextPrefixUnderlinesTheMarkedCharacter)
{
    Surface s;
    const QFontMetrics fm(s.DC.Font());
    TRect r = Rect(10, 10, 190, 50);
    DrawText(&s.DC, QStringLiteral("&File"), r, DT_SINGLELINE);
    const int underlineY = 10 + fm.ascent() + std::max(1, fm.underlinePos());
    const int fWidth = fm.horizontalAdvance(QLatin1Char('F'));
    const TRect under = s.darkBox(Rect(0, underlineY, 200, underlineY + 1));
    EXPECT_EQ(under, Rect(10, underlineY, 10 + fWidth, underlineY + 1));

    // "&&" is a literal ampersand, DT_NOPREFIX shows the '&', DT_HIDEPREFIX hides the line.
    struct Case {
        const char* Text;
        uint32_t Flags;
        const char* Measured;
    };
    const Case cases[] = {
        {"&File", DT_SINGLELINE, "File"},
        {"&File", DT_SINGLELINE | DT_NOPREFIX, "&File"},
        {"A&&B", DT_SINGLELINE, "A&B"},
        {"AB&", DT_SINGLELINE, "AB"},
    };
    for (const Case& c : cases) {
        TRect m = Rect(0, 0, 1, 1);
        DrawText(&s.DC, QString::fromLatin1(c.Text), m, c.Flags | DT_CALCRECT);
        EXPECT_EQ(m.Width(), fm.horizontalAdvance(QString::fromLatin1(c.Measured))) << c.Text;
    }
    Surface h;
    r = Rect(10, 10, 190, 50);
    DrawText(&h.DC, QStringLiteral("&File"), r, DT_SINGLELINE | DT_HIDEPREFIX);
    EXPECT_TRUE(h.darkBox(Rect(0, underlineY, 200, underlineY + 1)).IsEmpty());
}

TEST(DeviceContextTest, TextBackgroundFollowsTheMode)
{
    Surface s;
    SetBkColor(&s.DC, clLime);
    SetBkMode(&s.DC, OPAQUE);
    TextOut(&s.DC, 0, 0, QStringLiteral("x"));
    EXPECT_EQ(s.at(0, 0), qRgb(0, 255, 0));
    Surface t;
    SetBkColor(&t.DC, clLime);
    TextOut(&t.DC, 0, 0, QStringLiteral("x"));
    EXPECT_EQ(t.at(0, 0), white);
    EXPECT_FALSE(t.darkBox().IsEmpty());
}

TEST(DeviceContextTest, XorOperationsUndoThemselves)
{
    Surface s(40, 40);
    s.DC.SetBrush(redBrush);
    Ellipse(&s.DC, 5, 5, 30, 30);
    const QImage before = s.Image.copy();
    DrawFocusRect(&s.DC, Rect(2, 2, 35, 35));
    EXPECT_NE(s.Image, before);
    DrawFocusRect(&s.DC, Rect(2, 2, 35, 35));
    EXPECT_EQ(s.Image, before);

    Surface src(40, 40);
    FillRect(&src.DC, Rect(0, 0, 20, 40), &blueBrush);
    BitBlt(&s.DC, 0, 0, 40, 40, &src.DC, 0, 0, SRCINVERT);
    EXPECT_NE(s.Image, before);
    BitBlt(&s.DC, 0, 0, 40, 40, &src.DC, 0, 0, SRCINVERT);
    EXPECT_EQ(s.Image, before);

    SetROP2(&s.DC, R2_NOT);
    MoveToEx(&s.DC, 0, 0);
    LineTo(&s.DC, 40, 0);
    EXPECT_EQ(s.at(3, 0), qRgb(0, 0, 0));
    MoveToEx(&s.DC, 0, 0);
    LineTo(&s.DC, 40, 0);
    EXPECT_EQ(s.Image, before);
}

TEST(DeviceContextTest, BlitsCopyWithinOneSurfaceAndStretch)
{
    Surface s(40, 20);
    FillRect(&s.DC, Rect(0, 0, 10, 10), &redBrush);
    FillRect(&s.DC, Rect(0, 10, 10, 20), &blueBrush);
    // Overlapping source and destination on the same surface.
    BitBlt(&s.DC, 5, 0, 10, 20, &s.DC, 0, 0, SRCCOPY);
    EXPECT_EQ(s.at(14, 0), qRgb(255, 0, 0));
    EXPECT_EQ(s.at(14, 19), qRgb(0, 0, 255));
    EXPECT_EQ(s.at(15, 0), white);

    StretchBlt(&s.DC, 20, 0, 20, 10, &s.DC, 0, 0, 10, 20, SRCCOPY);
    EXPECT_EQ(s.at(30, 2), qRgb(255, 0, 0));
    EXPECT_EQ(s.at(30, 8), qRgb(0, 0, 255));
    EXPECT_EQ(s.at(30, 12), white);

    // A source partly outside its image draws only what exists.
    Surface d(20, 20);
    BitBlt(&d.DC, 0, 0, 20, 20, &s.DC, 30, 0, SRCCOPY);
    EXPECT_EQ(d.at(5, 2), qRgb(255, 0, 0));
    EXPECT_EQ(d.at(15, 2), white);
}

TEST(DeviceContextTest, EdgesUseTheSystemColoursAndAdjust)
{
    Surface s(20, 20);
    TRect r = Rect(0, 0, 20, 20);
    DrawEdge(&s.DC, r, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
    EXPECT_EQ(r, Rect(2, 2, 18, 18));
    const auto rgbOf = [](TColor c) {
        const TColor v = ColorToRGB(c);
        return qRgb(GetRValue(v), GetGValue(v), GetBValue(v));
    };
    EXPECT_EQ(s.at(0, 0), rgbOf(clBtnShadow));
    EXPECT_EQ(s.at(19, 19), rgbOf(clBtnHighlight));
    EXPECT_EQ(s.at(1, 1), rgbOf(cl3DDkShadow));
    EXPECT_EQ(s.at(18, 18), rgbOf(cl3DLight));
    EXPECT_EQ(s.at(10, 10), white);
}

TEST(DeviceContextTest, DrawingOnAnIndexedImageKeepsItsPalette)
{
    QImage image(10, 10, QImage::Format_Indexed8);
    QList<QRgb> table;
    for (int i = 0; i < 256; ++i)
        table << qRgb(i, i, i);
    image.setColorTable(table);
    image.fill(255);
    TDeviceContext dc(&image);
    const TDCBrush grey{RGB(100, 100, 100), dbsSolid};
    FillRect(&dc, Rect(0, 0, 5, 5), &grey);
    EXPECT_EQ(image.format(), QImage::Format_Indexed8);
    EXPECT_EQ(image.pixelIndex(2, 2), 100);
    EXPECT_EQ(image.pixelIndex(7, 7), 255);
}

TEST(DeviceContextTest, NoImageMeansNoDrawingButMeasuring)
{
    TDeviceContext dc(nullptr);
    EXPECT_TRUE(FillRect(&dc, Rect(0, 0, 5, 5), &redBrush));
    TSize ext;
    EXPECT_TRUE(GetTextExtentPoint32(&dc, QStringLiteral("abc"), ext));
    EXPECT_GT(ext.cx, 0);
    EXPECT_EQ(GetPixel(&dc, 0, 0), -1);
    EXPECT_EQ(GetDeviceCaps(&dc, LOGPIXELSY), 96);
}

}  // namespace

// ---- software raster operations, pattern brushes, paths, text extents ----------

namespace {

// Every ternary code computed on whole pixels: the brush-mixing DPSnaa
// (D and P and not S), which Qt has no composition for, against the formula.
TEST(DeviceContextRop3, BrushMixingCodesFollowTheirTruthTable)
{
    QImage src(2, 2, QImage::Format_RGB32), dst(2, 2, QImage::Format_RGB32);
    const QRgb s[] = {0xFF0F0F0F, 0xFFFFFFFF, 0xFF000000, 0xFF336699};
    const QRgb d[] = {0xFFFFFFFF, 0xFFF0F0F0, 0xFF123456, 0xFFFF00FF};
    for (int i = 0; i < 4; ++i) {
        src.setPixel(i % 2, i / 2, s[i]);
        dst.setPixel(i % 2, i / 2, d[i]);
    }
    struct Case { uint32_t rop; QRgb (*f)(QRgb P, QRgb S, QRgb D); };
    const Case cases[] = {
        {0x00200F09, [](QRgb P, QRgb S, QRgb D) { return D & P & ~S; }},
        {MERGECOPY, [](QRgb P, QRgb S, QRgb) { return P & S; }},
        {PATPAINT, [](QRgb P, QRgb S, QRgb D) { return P | ~S | D; }},
    };
    for (const Case& c : cases) {
        QImage target = dst.copy();
        TDeviceContext dest(&target), source(&src);
        TDCBrush brush{RGB(0xAA, 0x55, 0xCC), dbsSolid, QImage()};
        dest.SetBrush(brush);
        BitBlt(&dest, 0, 0, 2, 2, &source, 0, 0, c.rop);
        const QRgb P = qRgb(0xAA, 0x55, 0xCC);
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(target.pixel(i % 2, i / 2) & 0xFFFFFF, c.f(P, s[i], d[i]) & 0xFFFFFF)
                << std::hex << c.rop << " pixel " << i;
    }
}

TEST(DeviceContextBrush, PatternIsAnchoredAtTheDeviceOrigin)
{
    QImage pattern(2, 2, QImage::Format_RGB32);
    pattern.fill(Qt::white);
    pattern.setPixel(0, 0, qRgb(255, 0, 0));
    QImage image(8, 8, QImage::Format_RGB32);
    image.fill(Qt::black);
    TDeviceContext dc(&image);
    SetWindowOrgEx(&dc, 3, 5);  // logical (3,5) is device (0,0)
    const TDCBrush brush{clWhite, dbsPattern, pattern};
    FillRect(&dc, Rect(4, 6, 10, 12), &brush);  // device (1,1)-(7,7)
    // The red cells sit at even device coordinates, whatever the origin.
    EXPECT_EQ(image.pixel(2, 2), qRgb(255, 0, 0));
    EXPECT_EQ(image.pixel(4, 6), qRgb(255, 0, 0));
    EXPECT_EQ(image.pixel(3, 2), qRgb(255, 255, 255));
    EXPECT_EQ(image.pixel(1, 1), qRgb(255, 255, 255));
    EXPECT_EQ(image.pixel(0, 0), qRgb(0, 0, 0));
}

TEST(DeviceContextAlpha, DrawingZeroesTheFourthByteOnlyWhereItWrites)
{
    QImage image(4, 1, QImage::Format_RGB32);
    std::fill_n(reinterpret_cast<QRgb*>(image.scanLine(0)), 4, QRgb(0x7F102030u));
    TDeviceContext dc(&image);
    dc.SetZeroAlpha(true);
    const TDCBrush brush{clRed, dbsSolid, QImage()};
    FillRect(&dc, Rect(1, 0, 3, 1), &brush);
    const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(0));
    EXPECT_EQ(line[0], 0x7F102030u);
    EXPECT_EQ(line[1], 0x00FF0000u);
    EXPECT_EQ(line[2], 0x00FF0000u);
    EXPECT_EQ(line[3], 0x7F102030u);
}

TEST(DeviceContextPath, ClosedFiguresBecomeARegionInDeviceCoordinates)
{
    QImage image(20, 20, QImage::Format_RGB32);
    image.fill(Qt::white);
    TDeviceContext dc(&image);
    SetWindowOrgEx(&dc, -2, 0);
    TRegion rgn;
    EXPECT_FALSE(PathToRegion(&dc, rgn));  // no path yet
    BeginPath(&dc);
    Rectangle(&dc, 0, 0, 4, 3);
    EXPECT_FALSE(PathToRegion(&dc, rgn));  // still open
    EndPath(&dc);
    ASSERT_TRUE(PathToRegion(&dc, rgn));
    EXPECT_EQ(rgn.Region(), QRegion(2, 0, 4, 3));
    EXPECT_EQ(image.pixel(3, 1), qRgb(255, 255, 255));  // nothing was drawn
    EXPECT_FALSE(PathToRegion(&dc, rgn));               // the path is used up
}

TEST(DeviceContextText, PartialExtentsTabsAndJustification)
{
    Surface s;
    const QFontMetrics fm(s.DC.Font());
    std::vector<int> dx;
    int fit = -1;
    TSize size;
    const String text = QStringLiteral("abc de");
    ASSERT_TRUE(GetTextExtentExPoint(&s.DC, text, fm.horizontalAdvance(QStringLiteral("abc")), &fit, &dx, size));
    ASSERT_EQ(dx.size(), 6u);
    EXPECT_EQ(fit, 3);
    EXPECT_EQ(dx[2], fm.horizontalAdvance(QStringLiteral("abc")));
    EXPECT_EQ(dx[5], size.cx);

    // Default stops every 8 average widths; explicit stops repeat their last step.
    const int step = 8 * fm.averageCharWidth();
    EXPECT_EQ(GetTabbedTextExtent(&s.DC, QStringLiteral("a\tb"), {}).cx, step + fm.horizontalAdvance(u'b'));
    const int stops[] = {30};
    EXPECT_EQ(GetTabbedTextExtent(&s.DC, QStringLiteral("a\t\tb"), stops).cx, 60 + fm.horizontalAdvance(u'b'));

    // Seven extra pixels over two blanks: 4 then 3.
    const TSize plain = [&] { TSize t; GetTextExtentPoint32(&s.DC, QStringLiteral("a b c"), t); return t; }();
    SetTextJustification(&s.DC, 7, 2);
    TSize wide;
    GetTextExtentPoint32(&s.DC, QStringLiteral("a b c"), wide);
    EXPECT_EQ(wide.cx, plain.cx + 7);
    GetTextExtentExPoint(&s.DC, QStringLiteral("a b c"), 1000, nullptr, &dx, size);
    EXPECT_EQ(dx[1], fm.horizontalAdvance(QStringLiteral("a ")) + 4);
    EXPECT_EQ(dx[3], fm.horizontalAdvance(QStringLiteral("a b ")) + 7);
    SetTextJustification(&s.DC, 0, 0);
    GetTextExtentPoint32(&s.DC, QStringLiteral("a b c"), wide);
    EXPECT_EQ(wide.cx, plain.cx);
}

TEST(DeviceContextText, EscapementTurnsTheTextCounterClockwise)
{
    Surface s(60, 60);
    s.DC.SetEscapement(900);
    TextOut(&s.DC, 20, 50, QStringLiteral("WWWW"));
    const TRect box = s.darkBox();
    ASSERT_FALSE(box.IsEmpty());
    EXPECT_GT(box.Height(), box.Width());  // drawn upwards
    EXPECT_LE(box.Bottom, 51);
}

}  // namespace
