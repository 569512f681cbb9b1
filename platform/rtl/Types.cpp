#include "platform/rtl/Types.h"

#include <algorithm>
#include <limits>

int MulDiv(int nNumber, int nNumerator, int nDenominator)
{
    if (nDenominator == 0)
        return -1;
    const int64_t product = int64_t{nNumber} * nNumerator;
    const bool negative = (product < 0) != (nDenominator < 0);
    // Magnitudes fit: |product| <= 2^62 and |denominator| <= 2^31.
    const uint64_t num = product < 0 ? uint64_t(0) - uint64_t(product) : uint64_t(product);
    const uint64_t den = nDenominator < 0 ? uint64_t(0) - uint64_t(int64_t{nDenominator}) : uint64_t(nDenominator);
    uint64_t quotient = num / den;
    if (2 * (num % den) >= den)
        ++quotient;
    const int64_t result = negative ? -int64_t(quotient) : int64_t(quotient);
    if (result > std::numeric_limits<int>::max() || result < std::numeric_limits<int>::min())
        return -1;
    return static_cast<int>(result);
}

bool SetRect(TRect& R, int ALeft, int ATop, int ARight, int ABottom)
{
    R = {ALeft, ATop, ARight, ABottom};
    return true;
}

bool SetRectEmpty(TRect& R)
{
    R = {};
    return true;
}

bool IsRectEmpty(const TRect& R)
{
    return R.IsEmpty();
}

bool EqualRect(const TRect& A, const TRect& B)
{
    return A == B;
}

bool PtInRect(const TRect& R, const TPoint& P)
{
    return R.Contains(P);
}

bool OffsetRect(TRect& R, int DX, int DY)
{
    R.Left += DX;
    R.Right += DX;
    R.Top += DY;
    R.Bottom += DY;
    return true;
}

bool InflateRect(TRect& R, int DX, int DY)
{
    R.Left -= DX;
    R.Right += DX;
    R.Top -= DY;
    R.Bottom += DY;
    return true;
}

bool IntersectRect(TRect& Dst, const TRect& A, const TRect& B)
{
    const TRect common{std::max(A.Left, B.Left), std::max(A.Top, B.Top),
                       std::min(A.Right, B.Right), std::min(A.Bottom, B.Bottom)};
    if (common.IsEmpty()) {
        Dst = {};
        return false;
    }
    Dst = common;
    return true;
}

bool UnionRect(TRect& Dst, const TRect& A, const TRect& B)
{
    if (A.IsEmpty() && B.IsEmpty()) {
        Dst = {};
        return false;
    }
    if (A.IsEmpty()) {
        Dst = B;
        return true;
    }
    if (B.IsEmpty()) {
        Dst = A;
        return true;
    }
    Dst = {std::min(A.Left, B.Left), std::min(A.Top, B.Top),
           std::max(A.Right, B.Right), std::max(A.Bottom, B.Bottom)};
    return true;
}

bool SubtractRect(TRect& Dst, const TRect& A, const TRect& B)
{
    if (A.IsEmpty()) {
        Dst = {};
        return false;
    }
    TRect result = A;
    TRect common;
    if (IntersectRect(common, A, B)) {
        if (common == A) {
            Dst = {};
            return false;
        }
        const bool fullHeight = common.Top == A.Top && common.Bottom == A.Bottom;
        const bool fullWidth = common.Left == A.Left && common.Right == A.Right;
        // Only a cut through a whole side leaves a rectangle; a bite out of
        // the middle or a corner leaves A as it was.
        if (fullHeight && common.Left == A.Left)
            result.Left = common.Right;
        else if (fullHeight && common.Right == A.Right)
            result.Right = common.Left;
        else if (fullWidth && common.Top == A.Top)
            result.Top = common.Bottom;
        else if (fullWidth && common.Bottom == A.Bottom)
            result.Bottom = common.Top;
    }
    Dst = result;
    return true;
}
