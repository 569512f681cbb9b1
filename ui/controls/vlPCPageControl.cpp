// vlPCPageControl.cpp - the page control: one page window per tab, the
// active page in step with the selected tab, and the keyboard focus moved
// out of a page that is hidden.
#include <algorithm>

#include "platform/controls/Forms.h"
#include "platform/rtl/Exception.h"
#include "ui/controls/vlPC.h"
#include "ui/controls/vlPCConsts.h"
#include "ui/foundation/vlClasses.h"

// ---- TvlTabSheet -------------------------------------------------------------------

TvlTabSheet::TvlTabSheet(TComponent* AOwner) : TCustomControl(AOwner)
{
    SetAlign(alClient);
    FControlStyle += TControlStyle{csAcceptsControls, csNoDesignVisible};
    SetVisible(false);
    SetTabStop(false);
}

TvlTabSheet::~TvlTabSheet()
{
    if (FPageControl != nullptr)
        FPageControl->removePage(this);
}

void TvlTabSheet::SetParent(TWinControl* AParent)
{
    auto* pageControl = dynamic_cast<TvlPageControl*>(AParent);
    if (AParent != nullptr && pageControl == nullptr)
        throw EAbort(String());
    if (pageControl != nullptr && pageControl == FPageControl) {
        TCustomControl::SetParent(AParent);
        return;
    }
    if (FPageControl != nullptr)
        FPageControl->removePage(this);
    TCustomControl::SetParent(AParent);
    if (pageControl != nullptr)
        pageControl->insertPage(this);
}

void TvlTabSheet::SetPageControl(TvlPageControl* Value)
{
    SetParent(Value);
}

int TvlTabSheet::PageIndex() const
{
    if (FPageControl == nullptr)
        return -1;
    const auto& pages = FPageControl->FPages;
    const auto it = std::find(pages.begin(), pages.end(), this);
    return it == pages.end() ? -1 : int(it - pages.begin());
}

void TvlTabSheet::SetPageIndex(int Value)
{
    if (FPageControl == nullptr)
        return;
    const int last = FPageControl->PageCount() - 1;
    if (Value > last)
        throw EListError(Format(GetResourceString(vlPCConsts::svlPCPageIndexError), {Value, last}));
    if (Value < 0)
        throw EListError(Format(String::fromLatin1("List index out of bounds (%d)"), {Value}));
    FPageControl->movePage(this, Value);
}

void TvlTabSheet::SetTabVisible(bool Value)
{
    if (FTabVisible == Value)
        return;
    FTabVisible = Value;
    updateTab();
    if (Value && FPageControl != nullptr && FPageControl->PageCount() == 1 && FPageControl->ActivePage() == nullptr)
        FPageControl->SetActivePage(this);
}

void TvlTabSheet::SetHighlighted(bool Value)
{
    if (FHighlighted == Value)
        return;
    FHighlighted = Value;
    updateTab();
}

void TvlTabSheet::SetImageIndex(int Value)
{
    if (FImageIndex == Value)
        return;
    FImageIndex = Value;
    updateTab();
}

void TvlTabSheet::updateTab()
{
    if (FPageControl != nullptr)
        FPageControl->updateTab(this);
}

void TvlTabSheet::Dispatch(TMessage& Message)
{
    switch (Message.Msg) {
    case CM_TEXTCHANGED: case CM_ENABLEDCHANGED:
        TCustomControl::Dispatch(Message);
        updateTab();
        return;
    case CM_VISIBLECHANGED: {
        TCustomControl::Dispatch(Message);
        const TNotifyEvent& handler = Message.WParam != 0 ? OnShow : OnHide;
        if (handler) {
            try {
                handler(this);
            } catch (...) {
                if (Application != nullptr)
                    Application->HandleException(this);
            }
        }
        return;
    }
    case CM_COLORCHANGED: case CM_PARENTCOLORCHANGED:
        TCustomControl::Dispatch(Message);
        // Tab colours may follow the page colour.
        if (FTab != nullptr)
            FTab->NotifyChanged(tckLayout);
        Invalidate();
        return;
    default: break;
    }
    TCustomControl::Dispatch(Message);
}

void TvlTabSheet::EraseBackground(HDC DC)
{
    // The page shows exactly the page control's background behind it.
    if (FPageControl == nullptr) {
        TCustomControl::EraseBackground(DC);
        return;
    }
    TPoint old;
    SetWindowOrgEx(DC, Left(), Top(), &old);
    FPageControl->PaintOnDC(DC);
    SetWindowOrgEx(DC, old.X, old.Y, nullptr);
}

// ---- TvlPageControl ----------------------------------------------------------------

TvlPageControl::TvlPageControl(TComponent* AOwner) : TvlCustomTabControl(AOwner) {}

TvlPageControl::~TvlPageControl()
{
    Destroying();
    for (TvlTabSheet* page : FPages) {
        page->FPageControl = nullptr;
        page->FTab = nullptr;
    }
    FPages.clear();
    FActivePage = nullptr;
}

TControl* TvlPageControl::GetTabPage(int ATabIndex) const
{
    return ATabIndex >= 0 && ATabIndex < PageCount() ? FPages[size_t(ATabIndex)] : nullptr;
}

bool TvlPageControl::pageSelectable(const TvlTabSheet* APage) const
{
    return IsDesigning() || (APage->TabVisible() && APage->Enabled());
}

void TvlPageControl::insertPage(TvlTabSheet* APage)
{
    FInserting = true;
    try {
        FPages.push_back(APage);
        APage->FPageControl = this;
        Tabs()->Add(APage->Caption());
        APage->FTab = Tabs()->GetTab(Tabs()->Count() - 1);
    } catch (...) {
        FInserting = false;
        throw;
    }
    FInserting = false;
    updateTab(APage);
    if (!IsLoading() && FActivePage == nullptr && APage->TabVisible())
        SetActivePage(APage);
}

TvlTabSheet* TvlPageControl::findNextPageNoWrap(TvlTabSheet* APage, bool AGoForward) const
{
    const auto it = std::find(FPages.begin(), FPages.end(), APage);
    if (it == FPages.end())
        return nullptr;
    const int step = AGoForward ? 1 : -1;
    for (int i = int(it - FPages.begin()) + step; i >= 0 && i < PageCount(); i += step)
        if (pageSelectable(FPages[size_t(i)]))
            return FPages[size_t(i)];
    return nullptr;
}

void TvlPageControl::removePage(TvlTabSheet* APage)
{
    if (FUndockingPage == APage)
        FUndockingPage = nullptr;
    if (IsDestroying()) {
        // Going down with its owner: the pages are only let go.
        std::erase(FPages, APage);
        if (FActivePage == APage)
            FActivePage = nullptr;
        APage->FTab = nullptr;
        APage->FPageControl = nullptr;
        return;
    }
    TvlTabSheet* next = findNextPageNoWrap(APage, true);
    if (next == nullptr)
        next = findNextPageNoWrap(APage, false);
    const auto it = std::find(FPages.begin(), FPages.end(), APage);
    if (it == FPages.end())
        return;
    const int index = int(it - FPages.begin());
    FPages.erase(it);
    if (APage->FTab != nullptr)
        Tabs()->Delete(index);
    APage->FTab = nullptr;
    SetTabIndexDirect(-1);
    SetMainTabDirect(-1);
    if (FActivePage == APage) {
        // The removed page is hidden with no events of its own.
        FActivePage = nullptr;
        APage->SetVisible(false);
    }
    SetActivePage(next);
    // Removing a page behind the active one keeps that page selected.
    if (FActivePage != nullptr && FActivePage->TabVisible() && TabIndex() == -1) {
        FChanging = true;
        LockChangeEvents(true);
        SetTabIndex(FActivePage->FTab->Index());
        LockChangeEvents(false);
        FChanging = false;
    }
    APage->FPageControl = nullptr;
}

void TvlPageControl::movePage(TvlTabSheet* APage, int ANewIndex)
{
    const int current = APage->PageIndex();
    if (current == ANewIndex)
        return;
    FPages.erase(FPages.begin() + current);
    FPages.insert(FPages.begin() + ANewIndex, APage);
    Tabs()->Move(current, ANewIndex);
    APage->FTab = Tabs()->GetTab(ANewIndex);
    updateTab(APage);
    LockChangeEvents(true);
    SetTabIndex(FActivePage != nullptr && FActivePage->TabVisible() ? FActivePage->PageIndex() : -1);
    LockChangeEvents(false);
}

void TvlPageControl::updateTab(TvlTabSheet* APage)
{
    if (IsLoading() || IsDestroying() || APage->FTab == nullptr || FInserting)
        return;
    TvlTab* tab = APage->FTab;
    tab->SetCaption(APage->Caption());
    tab->SetEnabled(APage->Enabled());
    tab->SetImageIndex(APage->ImageIndex());
    tab->SetHighlighted(APage->Highlighted());
    tab->SetVisible(APage->TabVisible());
    if (APage == FActivePage) {
        FChanging = true;
        LockChangeEvents(true);
        SetTabIndex(APage->TabVisible() ? APage->FTab->Index() : -1);
        LockChangeEvents(false);
        FChanging = false;
    }
}

TvlTabSheet* TvlPageControl::FindNextPage(TvlTabSheet* ACurrentPage, bool AGoForward, bool ACheckTabVisible) const
{
    const int n = PageCount();
    if (n == 0)
        return nullptr;
    const auto it = std::find(FPages.begin(), FPages.end(), ACurrentPage);
    int start;
    if (it == FPages.end())
        start = AGoForward ? 0 : n - 1;
    else
        start = (int(it - FPages.begin()) + (AGoForward ? 1 : -1) + n) % n;
    int i = start;
    for (int tries = 0; tries < n; ++tries) {
        TvlTabSheet* p = FPages[size_t(i)];
        if (!ACheckTabVisible || (p->TabVisible() && p->Enabled()))
            return p;
        i = (i + (AGoForward ? 1 : -1) + n) % n;
    }
    return nullptr;
}

void TvlPageControl::SelectNextPage(bool AGoForward, bool ACheckTabVisible)
{
    TvlTabSheet* page = FindNextPage(FActivePage, AGoForward, ACheckTabVisible);
    if (page != nullptr && page != FActivePage)
        SetActivePage(page);
}

bool TvlPageControl::CanChangePage(TvlTabSheet* ANewPage)
{
    bool allow = true;
    if (!ChangeEventsLocked() && !IsLoading() && OnPageChanging.Assigned())
        OnPageChanging(this, ANewPage, allow);
    return allow;
}

void TvlPageControl::PageChanged()
{
    if (!ChangeEventsLocked() && !IsLoading() && OnChange)
        OnChange(this);
}

void TvlPageControl::SetActivePage(TvlTabSheet* Value)
{
    if (FChanging || IsDestroying() || (Value != nullptr && Value->FPageControl != this))
        return;
    changeActivePage(Value);
    if (Value == FActivePage) {
        FChanging = true;
        LockChangeEvents(true);
        SetTabIndex(Value != nullptr && Value->TabVisible() ? Value->FTab->Index() : -1);
        LockChangeEvents(false);
        FChanging = false;
    }
}

void TvlPageControl::changeActivePage(TvlTabSheet* APage)
{
    if (FActivePage == APage || !CanChangePage(APage))
        return;
    TCustomForm* form = GetParentForm(this);
    auto inside = [](const TControl* AControl, const TControl* AParent) {
        for (const TControl* c = AControl; c != nullptr; c = c->Parent())
            if (c == AParent)
                return true;
        return false;
    };
    if (form != nullptr && FActivePage != nullptr && form->ActiveControl() != nullptr &&
        inside(form->ActiveControl(), FActivePage)) {
        form->SetActiveControl(FActivePage);
        if (form->ActiveControl() != FActivePage) {
            FChanging = true;
            LockChangeEvents(true);
            SetTabIndex(FActivePage->FTab != nullptr ? FActivePage->FTab->Index() : -1);
            LockChangeEvents(false);
            FChanging = false;
            return;
        }
    }
    TWinControl* focusTo = nullptr;
    if (APage != nullptr && form != nullptr && FActivePage != nullptr && form->ActiveControl() == FActivePage)
        focusTo = APage->Enabled() && Visible() && Enabled() && Parent() != nullptr && Parent()->CanFocus()
                      ? static_cast<TWinControl*>(APage)
                      : this;
    if (FActivePage != nullptr)
        FActivePage->SetVisible(false);
    if (APage != nullptr) {
        APage->BringToFront();
        APage->SetVisible(true);
        APage->Invalidate();
    }
    if (focusTo != nullptr)
        form->SetActiveControl(focusTo);
    FActivePage = APage;
    PageChanged();
    if (form != nullptr && APage != nullptr && form->ActiveControl() == APage) {
        std::vector<TWinControl*> list;
        APage->GetTabOrderList(list);
        for (TWinControl* c : list)
            if (c->TabStop() && c->CanFocus()) {
                form->SetActiveControl(c);
                break;
            }
    }
}

bool TvlPageControl::CanChange(int ANewTabIndex)
{
    return TvlCustomTabControl::CanChange(ANewTabIndex) &&
           (ANewTabIndex == -1 || CanChangePage(FPages.at(size_t(ANewTabIndex))));
}

void TvlPageControl::UpdateActivePage()
{
    SetActivePage(TabIndex() == -1 ? nullptr : FPages.at(size_t(TabIndex())));
}

void TvlPageControl::Change()
{
    LockChangeEvents(true);
    UpdateActivePage();
    LockChangeEvents(false);
    TvlCustomTabControl::Change();
}

void TvlPageControl::DoClose()
{
    // Closing a page destroys it; its removal activates the next page.
    if (FActivePage != nullptr)
        std::unique_ptr<TvlTabSheet>(FActivePage).reset();
}

void TvlPageControl::ImageListChanged()
{
    if (!FInserting && !IsDestroying())
        for (TvlTabSheet* page : FPages)
            if (page->FTab != nullptr)
                page->FTab->SetImageIndex(page->ImageIndex());
    TvlCustomTabControl::ImageListChanged();
}

void TvlPageControl::Loaded()
{
    TvlCustomTabControl::Loaded();
    for (TvlTabSheet* page : FPages)
        updateTab(page);
    if (!IsDesigning() && FActivePage != nullptr && !FActivePage->Enabled())
        SetActivePage(nullptr);
}

// ---- docking -----------------------------------------------------------------------

TvlTabSheet* TvlPageControl::dockPageOf(const TControl* Client) const
{
    if (Client == nullptr || Client->HostDockSite() != this)
        return nullptr;
    auto* page = dynamic_cast<TvlTabSheet*>(Client->Parent());
    return page != nullptr && page->FPageControl == this ? page : nullptr;
}

TControl* TvlPageControl::dockClientAt(int X, int Y)
{
    const int visibleIndex = GetTabVisibleIndexAt(X, Y);
    if (visibleIndex < 0)
        return nullptr;
    auto* page = dynamic_cast<TvlTabSheet*>(GetTabPage(VisibleTab(visibleIndex)->Index()));
    if (page == nullptr || page->ControlCount() == 0)
        return nullptr;
    TControl* client = page->Controls(0);
    return dockPageOf(client) == page ? client : nullptr;
}

void TvlPageControl::GetSiteInfo(TControl* Client, TRect& InfluenceRect, TPoint MousePos, bool& CanDock)
{
    CanDock = dockPageOf(Client) == nullptr;
    TvlCustomTabControl::GetSiteInfo(Client, InfluenceRect, MousePos, CanDock);
}

void TvlPageControl::DockOver(TDragDockObject* Source, int X, int Y, TDragState State, bool& Accept)
{
    const TPoint origin = ClientToScreen(TPoint{0, 0});
    Source->SetDockRect(Bounds(origin.X, origin.Y, Width(), Height()));
    TvlCustomTabControl::DockOver(Source, X, Y, State, Accept);
}

void TvlPageControl::DockDrop(TDragDockObject* Source, int X, int Y)
{
    DoDockDrop(Source);
    if (OnDockDrop)
        OnDockDrop(this, Source, X, Y);
}

int TvlPageControl::DoDockDrop(TDragDockObject* Source)
{
    TControl* client = Source->Control();
    if (client == nullptr)
        return 0;
    auto* holder = dynamic_cast<TvlTabSheet*>(client->Parent());
    if (holder != nullptr && holder->FPageControl == this) {
        holder->SetPageIndex(PageCount() - 1);
        return 0;
    }
    // Owned by the page control, so it goes with it at the latest.
    auto* page = new TvlTabSheet(this);
    FNewDockSheet = page;
    try {
        page->SetPageControl(this);
        if (auto* form = dynamic_cast<TCustomForm*>(client))
            page->SetCaption(form->Caption());
        client->Dock(this, Source->DockRect());
    } catch (...) {
        FNewDockSheet = nullptr;
        delete page;
        throw;
    }
    FNewDockSheet = nullptr;
    page->SetTabVisible(client->Visible());
    if (client->Visible())
        SetActivePage(page);
    client->SetAlign(alClient);
    return 1;
}

void TvlPageControl::DoAddDockClient(TControl* Client, const TRect& ARect)
{
    if (FNewDockSheet != nullptr)
        Client->SetParent(FNewDockSheet);
    else
        TvlCustomTabControl::DoAddDockClient(Client, ARect);
}

bool TvlPageControl::DoUnDock(TWinControl* NewTarget, TControl* Client)
{
    const bool allow = TvlCustomTabControl::DoUnDock(NewTarget, Client);
    if (allow)
        DoUnDockClient(NewTarget, Client);
    return allow;
}

bool TvlPageControl::DoUnDockClient(TWinControl*, TControl* Client)
{
    FUndockingPage = dockPageOf(Client);
    Client->SetAlign(alNone);
    return true;
}

void TvlPageControl::DoRemoveDockClient(TControl*)
{
    if (IsDestroying())
        return;
    SelectNextPage(true);
    if (FUndockingPage != nullptr) {
        TvlTabSheet* page = FUndockingPage;
        FUndockingPage = nullptr;
        delete page;
    }
}

void TvlPageControl::Dispatch(TMessage& Message)
{
    switch (Message.Msg) {
    case CM_DOCKNOTIFICATION: {
        const auto* client = reinterpret_cast<const TControl*>(Message.WParam);
        const auto* notify = reinterpret_cast<const TDockNotifyRec*>(Message.LParam);
        TvlTabSheet* page = dockPageOf(client);
        if (page == nullptr || notify == nullptr)
            break;
        if (notify->ClientMsg == WM_SETTEXT && notify->MsgLParam != 0) {
            // A tab shows one line of the docked window's caption.
            String text = *reinterpret_cast<const String*>(notify->MsgLParam);
            for (qsizetype i = 0; i < text.size(); ++i)
                if (text[i] == QChar(u'\r') || text[i] == QChar(u'\n')) {
                    text.truncate(i);
                    break;
                }
            page->SetCaption(text);
        } else if (notify->ClientMsg == CM_VISIBLECHANGED)
            page->SetTabVisible(notify->MsgWParam != 0);
        break;
    }
    case CM_UNDOCKCLIENT:
        DoUnDockClient(reinterpret_cast<TWinControl*>(Message.WParam), reinterpret_cast<TControl*>(Message.LParam));
        break;
    case WM_LBUTTONDOWN: case WM_LBUTTONDBLCLK: {
        // The press may select a page whose handlers free this control.
        const TvlObjectGuard guard(this);
        TvlCustomTabControl::Dispatch(Message);
        if (guard.Destroyed())
            return;
        const TPoint p = PointFromLParam(Message.LParam);
        TControl* client = dockClientAt(p.X, p.Y);
        if (client == nullptr)
            return;
        // Pressing the tab of a docked window starts dragging the window; a
        // double click sets it free.
        if (Message.Msg == WM_LBUTTONDOWN)
            client->BeginDrag(false, -1);
        else
            client->ManualDock(nullptr, nullptr, alNone);
        return;
    }
    default: break;
    }
    TvlCustomTabControl::Dispatch(Message);
}
