// ControlsDock.cpp - docking controls into dock sites inside the program:
// a site takes clients dropped on it (or docked in code), may refuse to let
// one go, and hears what happens to the clients it holds.
#include <algorithm>

#include "platform/controls/Controls.h"
#include "platform/controls/Forms.h"

TDragDockObject::TDragDockObject(TControl* AControl) : TBaseDragControlObject(AControl)
{
    if (AControl != nullptr) {
        const TPoint origin = AControl->ClientToScreen(TPoint{0, 0});
        FDockRect = Bounds(origin.X, origin.Y, AControl->Width(), AControl->Height());
    }
}

namespace {

bool isInside(const TControl* Control, const TControl* Ancestor)
{
    for (const TControl* c = Control; c != nullptr; c = c->Parent())
        if (c == Ancestor)
            return true;
    return false;
}

TRect screenRect(const TControl* Control)
{
    const TPoint origin = Control->ClientToScreen(TPoint{0, 0});
    return Bounds(origin.X, origin.Y, Control->Width(), Control->Height());
}

}  // namespace

TWinControl* FindDockSite(TControl* Client, TPoint P)
{
    TControl* under = FindDragTarget(P, false);
    for (TControl* c = under; c != nullptr; c = c->Parent()) {
        auto* site = dynamic_cast<TWinControl*>(c);
        if (site == nullptr || !site->DockSite() || isInside(site, Client))
            continue;
        TRect influence = screenRect(site);
        influence = Rect(influence.Left - 10, influence.Top - 10, influence.Right + 10, influence.Bottom + 10);
        bool canDock = true;
        site->GetSiteInfo(Client, influence, P, canDock);
        if (canDock && influence.Contains(P))
            return site;
    }
    return nullptr;
}

bool TControl::ManualDock(TWinControl* NewDockSite, TControl* DropControl, TAlign ControlSide)
{
    if (NewDockSite == nullptr && dynamic_cast<TCustomForm*>(this) == nullptr)
        return false;  // nothing to float in but a window of its own
    if (NewDockSite != nullptr && isInside(NewDockSite, this))
        return false;
    // Moving within the same site is the site's business, not a leaving.
    if (FHostDockSite != nullptr && FHostDockSite != NewDockSite && !FHostDockSite->DoUnDock(NewDockSite, this))
        return false;
    TDragDockObject object(this);
    object.FDropAlign = ControlSide;
    object.FDropOnControl = DropControl;
    if (NewDockSite == nullptr) {
        const TRect r = object.DockRect();
        Dock(nullptr, Bounds(r.Left, r.Top, FUndockWidth, FUndockHeight));
        return true;
    }
    // Its own size, at the site's client origin.
    const TPoint origin = NewDockSite->ClientToScreen(TPoint{0, 0});
    object.SetDockRect(Bounds(origin.X, origin.Y, Width(), Height()));
    NewDockSite->DockDrop(&object, 0, 0);
    return true;
}

void TControl::Dock(TWinControl* NewDockSite, const TRect& ARect)
{
    TWinControl* old = FHostDockSite;
    const bool wasDocking = FControlState.Contains(csDocking);
    FControlState.Include(csDocking);
    try {
        if (old != nullptr && old != NewDockSite) {
            old->Perform(CM_UNDOCKCLIENT, reinterpret_cast<WPARAM>(NewDockSite), reinterpret_cast<LPARAM>(this));
            std::erase(old->FDockClients, this);
        }
        if (old == nullptr && NewDockSite != nullptr) {
            FUndockWidth = Width();
            FUndockHeight = Height();
        }
        FHostDockSite = NewDockSite;
        if (NewDockSite != nullptr) {
            if (std::find(NewDockSite->FDockClients.begin(), NewDockSite->FDockClients.end(), this)
                == NewDockSite->FDockClients.end())
                NewDockSite->FDockClients.push_back(this);
            NewDockSite->DoAddDockClient(this, ARect);
        } else {
            SetParent(nullptr);
            SetBounds(ARect.Left, ARect.Top, ARect.Width(), ARect.Height());
        }
        // The old site hears of it once the client has its new parent, so
        // whatever held the client there can go.
        if (old != nullptr && old != NewDockSite)
            old->DoRemoveDockClient(this);
    } catch (...) {
        if (!wasDocking)
            FControlState.Exclude(csDocking);
        throw;
    }
    if (!wasDocking)
        FControlState.Exclude(csDocking);
}

void TWinControl::GetSiteInfo(TControl* Client, TRect& InfluenceRect, TPoint MousePos, bool& CanDock)
{
    if (OnGetSiteInfo)
        OnGetSiteInfo(this, Client, InfluenceRect, MousePos, CanDock);
}

void TWinControl::DockOver(TDragDockObject* Source, int X, int Y, TDragState State, bool& Accept)
{
    if (OnDockOver)
        OnDockOver(this, Source, X, Y, State, Accept);
}

void TWinControl::DockDrop(TDragDockObject* Source, int X, int Y)
{
    if (Source->Control() != nullptr)
        Source->Control()->Dock(this, Source->DockRect());
    if (OnDockDrop)
        OnDockDrop(this, Source, X, Y);
}

bool TWinControl::DoUnDock(TWinControl* NewTarget, TControl* Client)
{
    bool allow = true;
    if (OnUnDock)
        OnUnDock(this, Client, NewTarget, allow);
    return allow;
}

void TWinControl::DoAddDockClient(TControl* Client, const TRect& ARect)
{
    Client->SetParent(this);
    const TPoint origin = ScreenToClient(TPoint{ARect.Left, ARect.Top});
    Client->SetBounds(origin.X, origin.Y, ARect.Width(), ARect.Height());
}

void TWinControl::DoRemoveDockClient(TControl*) {}
