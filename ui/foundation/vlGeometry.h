// vlGeometry.h - rectangle and point helpers (Right and Bottom exclusive)
// and TvlRect, a rectangle property that reports its changes.
#pragma once
#include "platform/rtl/Component.h"
#include "platform/rtl/Delegate.h"
#include "platform/rtl/Types.h"

TRect RectInflate(const TRect& R, int DX1, int DY1, int DX2, int DY2);
bool RectsEqual(const TRect& A, const TRect& B);
TRect RectOffsetBy(const TRect& R, int DX, int DY, bool APositive = true);
TRect RectTranspose(const TRect& R);
TRect RectFromPoints(const TPoint& ATopLeft, const TPoint& ABottomRight);
TRect RectSetHorzPosition(const TRect& R, int ALeft, int AWidth);
// Division truncates towards zero, also for negative bounds.
TRect CenterRect(const TRect& ABounds, int AWidth, int AHeight);
TPoint PointOffset(const TPoint& P, int DX, int DY, bool APositive = true);
TPoint MakePoint(int X, int Y);

class TvlRect : public TPersistent {
public:
    explicit TvlRect(TPersistent* AOwner);
    String ClassName() const override { return String::fromLatin1("TvlRect"); }
    const TClassInfo* ClassInfo() const override;
    static const TClassInfo& StaticClassInfo();

    // Only another TvlRect is taken; anything else is ignored.
    void Assign(const TPersistent* Source) override;

    const TRect& Rect() const { return FRect; }
    // Adjusts, then stores and reports only when the value changed.
    void SetRect(const TRect& Value);
    int Left() const { return FRect.Left; }
    int Top() const { return FRect.Top; }
    int Right() const { return FRect.Right; }
    int Bottom() const { return FRect.Bottom; }
    void SetLeft(int Value) { setSide(0, Value); }
    void SetTop(int Value) { setSide(1, Value); }
    void SetRight(int Value) { setSide(2, Value); }
    void SetBottom(int Value) { setSide(3, Value); }

    TNotifyEvent OnChange;

protected:
    // Sees every new value before it is compared and stored.
    virtual void DoAdjust(TRect& R) { (void)R; }
    TPersistent* GetOwner() const override { return FOwner; }

private:
    void setSide(int Index, int Value);

    TPersistent* FOwner;
    TRect FRect;
};

// Registers TvlRect with the streaming class registry for the unit's lifetime.
class TStartupList;
void AddvlGeometryUnit(TStartupList& AList);
