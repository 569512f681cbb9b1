#include "ui/foundation/vlGeometry.h"

#include "platform/rtl/ClassRegistry.h"
#include "platform/rtl/Startup.h"
#include "platform/rtl/TypInfo.h"

TRect RectInflate(const TRect& R, int DX1, int DY1, int DX2, int DY2)
{
    return {R.Left - DX1, R.Top - DY1, R.Right + DX2, R.Bottom + DY2};
}

bool RectsEqual(const TRect& A, const TRect& B) { return A == B; }

TPoint PointOffset(const TPoint& P, int DX, int DY, bool APositive)
{
    return APositive ? TPoint{P.X + DX, P.Y + DY} : TPoint{P.X - DX, P.Y - DY};
}

TRect RectOffsetBy(const TRect& R, int DX, int DY, bool APositive)
{
    return RectFromPoints(PointOffset(R.TopLeft(), DX, DY, APositive), PointOffset(R.BottomRight(), DX, DY, APositive));
}

TRect RectTranspose(const TRect& R) { return {R.Top, R.Left, R.Bottom, R.Right}; }

TRect RectFromPoints(const TPoint& ATopLeft, const TPoint& ABottomRight)
{
    return {ATopLeft.X, ATopLeft.Y, ABottomRight.X, ABottomRight.Y};
}

TRect RectSetHorzPosition(const TRect& R, int ALeft, int AWidth)
{
    return {ALeft, R.Top, ALeft + AWidth, R.Bottom};
}

TRect CenterRect(const TRect& ABounds, int AWidth, int AHeight)
{
    // C++ division truncates towards zero, as the original's div does.
    const int left = (ABounds.Left + ABounds.Right - AWidth) / 2;
    const int top = (ABounds.Top + ABounds.Bottom - AHeight) / 2;
    return {left, top, left + AWidth, top + AHeight};
}

TPoint MakePoint(int X, int Y) { return {X, Y}; }

TvlRect::TvlRect(TPersistent* AOwner) : FOwner(AOwner) {}

const TClassInfo* TvlRect::ClassInfo() const { return &StaticClassInfo(); }

const TClassInfo& TvlRect::StaticClassInfo()
{
    static const TClassInfo info = TClassInfoBuilder<TvlRect>("TvlRect")
                                       .Int("Left", &TvlRect::Left, &TvlRect::SetLeft, 0)
                                       .Int("Top", &TvlRect::Top, &TvlRect::SetTop, 0)
                                       .Int("Right", &TvlRect::Right, &TvlRect::SetRight, 0)
                                       .Int("Bottom", &TvlRect::Bottom, &TvlRect::SetBottom, 0)
                                       .Build();
    return info;
}

void TvlRect::Assign(const TPersistent* Source)
{
    if (const auto* r = dynamic_cast<const TvlRect*>(Source))
        SetRect(r->Rect());
}

void TvlRect::SetRect(const TRect& Value)
{
    TRect r = Value;
    DoAdjust(r);
    if (r == FRect)
        return;
    FRect = r;
    if (OnChange.Assigned())
        OnChange(this);
}

void TvlRect::setSide(int Index, int Value)
{
    TRect r = FRect;
    (Index == 0 ? r.Left : Index == 1 ? r.Top : Index == 2 ? r.Right : r.Bottom) = Value;
    SetRect(r);
}

void AddvlGeometryUnit(TStartupList& AList)
{
    AList.Add(
        QStringLiteral("vlGeometry"),
        [] { RegisterClass(&TvlRect::StaticClassInfo(), [](TComponent*) -> TPersistent* { return new TvlRect(nullptr); }); },
        [] { UnRegisterClass(&TvlRect::StaticClassInfo()); });
}
