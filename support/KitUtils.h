// KitUtils.h - small pieces the settings storages share: persistent points
// and rectangles, the window placement values, hidden utility windows, a clock.
#pragma once
#include <cstdint>
#include <memory>

#include "platform/controls/Forms.h"
#include "platform/rtl/Component.h"
#include "platform/rtl/Delegate.h"
#include "platform/rtl/Set.h"
#include "platform/rtl/TypInfo.h"

class TKitCustomAppStorage;

// A point whose change notification fires only for a real change.
class TKitPoint : public TPersistent {
public:
    String ClassName() const override { return String::fromLatin1("TKitPoint"); }
    const TClassInfo* ClassInfo() const override;
    static const TClassInfo& StaticClassInfo();
    void Assign(const TPersistent* Source) override;

    int X() const { return FX; }
    void SetX(int Value);
    int Y() const { return FY; }
    void SetY(int Value);

    TNotifyEvent OnChange;

private:
    void changed();
    int FX = 0, FY = 0;
};

// A rectangle made of two points; a change of either reaches OnChange once.
class TKitRect : public TPersistent {
public:
    TKitRect();
    ~TKitRect() override;
    String ClassName() const override { return String::fromLatin1("TKitRect"); }
    const TClassInfo* ClassInfo() const override;
    static const TClassInfo& StaticClassInfo();
    void Assign(const TPersistent* Source) override;

    TKitPoint* TopLeft() const { return FTopLeft.get(); }
    TKitPoint* BottomRight() const { return FBottomRight.get(); }
    int Left() const { return FTopLeft->X(); }
    void SetLeft(int Value) { FTopLeft->SetX(Value); }
    int Top() const { return FTopLeft->Y(); }
    void SetTop(int Value) { FTopLeft->SetY(Value); }
    int Right() const { return FBottomRight->X(); }
    void SetRight(int Value) { FBottomRight->SetX(Value); }
    int Bottom() const { return FBottomRight->Y(); }
    void SetBottom(int Value) { FBottomRight->SetY(Value); }

    TNotifyEvent OnChange;

private:
    void pointChanged(TObject* Sender);
    std::unique_ptr<TKitPoint> FTopLeft, FBottomRight;
};

// ---- window placement values -------------------------------------------------

enum TPlacementOption { fpState, fpSize, fpLocation, fpActiveControl };
using TPlacementOptions = TSet<TPlacementOption>;
extern const TEnumInfo TPlacementOptionInfo;

// "(width x height)" of the desktop, appended to the placement texts' names
// so that each desktop size keeps its own placement.
String ResolutionSuffix();
String ReadPlacementText(TKitCustomAppStorage* Storage, const String& Path);
void WritePlacementText(TKitCustomAppStorage* Storage, const String& Path, const String& Text);
// Our forms never move when Position changes; the call is kept so the
// restore reads as the placement rules say.
void SetPositionQuietly(TCustomForm* Form, TPosition Position);
bool RectOnMonitors(const TRect& R);
void StoreWindowPlacement(TCustomForm* Form, TKitCustomAppStorage* Storage, const String& Path,
                          TPlacementOptions Options);
void LoadWindowPlacement(TCustomForm* Form, TKitCustomAppStorage* Storage, const String& Path,
                         TPlacementOptions Options);

// ---- utilities -----------------------------------------------------------------

// A hidden window whose messages go to Method; without a method every message
// gets the default answer (Result 0). Freed by DeallocateUtilityWindow or the pointer.
std::unique_ptr<TMessageWindow> AllocateUtilityWindow(TWndMethod Method, const String& ClassName = String());
void DeallocateUtilityWindow(std::unique_ptr<TMessageWindow>& Window);
// Milliseconds of a monotonic clock.
int64_t TimeRunning();
bool ApplicationMinimized();

// Moves This's free notification from the old reference to the new one.
// False, and nothing changes, when This is missing or the reference is unchanged.
bool ReplaceComponentReference(TComponent* This, TComponent* NewReference, TComponent*& Reference);
template <class T>
bool ReplaceComponentReference(TComponent* This, T* NewReference, T*& Reference)
{
    TComponent* r = Reference;
    if (!ReplaceComponentReference(This, NewReference, r))
        return false;
    Reference = NewReference;
    return true;
}
