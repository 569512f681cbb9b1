// Types.h - points, sizes and rectangles with the Win32 conventions the
// drawing code relies on: a rectangle excludes its right and bottom edges.
#pragma once
#include <cstdint>

struct TPoint {
    int X = 0;
    int Y = 0;

    constexpr bool operator==(const TPoint&) const = default;
};

struct TSize {
    int cx = 0;
    int cy = 0;

    constexpr bool operator==(const TSize&) const = default;
};

struct TRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;

    constexpr int Width() const { return Right - Left; }
    constexpr int Height() const { return Bottom - Top; }
    constexpr TPoint TopLeft() const { return {Left, Top}; }
    constexpr TPoint BottomRight() const { return {Right, Bottom}; }
    // Rounds towards the top-left, as integer halving of the extent does.
    constexpr TPoint CenterPoint() const { return {Left + (Right - Left) / 2, Top + (Bottom - Top) / 2}; }
    constexpr bool IsEmpty() const { return Right <= Left || Bottom <= Top; }
    constexpr bool Contains(TPoint P) const { return P.X >= Left && P.X < Right && P.Y >= Top && P.Y < Bottom; }

    constexpr bool operator==(const TRect&) const = default;
};

constexpr TPoint Point(int AX, int AY) { return {AX, AY}; }
constexpr TRect Rect(int ALeft, int ATop, int ARight, int ABottom) { return {ALeft, ATop, ARight, ABottom}; }
constexpr TRect Rect(TPoint ATopLeft, TPoint ABottomRight)
{
    return {ATopLeft.X, ATopLeft.Y, ABottomRight.X, ABottomRight.Y};
}
constexpr TRect Bounds(int ALeft, int ATop, int AWidth, int AHeight)
{
    return {ALeft, ATop, ALeft + AWidth, ATop + AHeight};
}
constexpr TPoint CenterPoint(const TRect& R) { return R.CenterPoint(); }

// nNumber * nNumerator / nDenominator through a 64-bit product, the exact
// quotient rounded to nearest with halves away from zero; -1 when the
// divisor is zero or the result does not fit in 32 bits.
int MulDiv(int nNumber, int nNumerator, int nDenominator);

// Win32-style rectangle helpers. Empty means Right <= Left or Bottom <= Top.
bool SetRect(TRect& R, int ALeft, int ATop, int ARight, int ABottom);
bool SetRectEmpty(TRect& R);  // all four fields zero
bool IsRectEmpty(const TRect& R);
bool EqualRect(const TRect& A, const TRect& B);
bool PtInRect(const TRect& R, const TPoint& P);
bool OffsetRect(TRect& R, int DX, int DY);
// Grows every side outwards by DX / DY; negative values shrink.
bool InflateRect(TRect& R, int DX, int DY);
// The common part of A and B; when it is empty Dst becomes all zeros and
// the result is false.
bool IntersectRect(TRect& Dst, const TRect& A, const TRect& B);
// The smallest rectangle holding both; an empty one is ignored. Both empty:
// Dst becomes all zeros and the result is false.
bool UnionRect(TRect& Dst, const TRect& A, const TRect& B);
// A without B when the remainder is still a rectangle (B covers a whole
// side of A), otherwise A itself. A fully covered: all zeros and false.
bool SubtractRect(TRect& Dst, const TRect& A, const TRect& B);
