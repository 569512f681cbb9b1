// The window of a view, the controller's handling of what the window hands
// it, and the drop-down popups the cells of a view open.
#include "ui/grid/vlGrid.h"
#include "ui/grid/vlGridCustomView.h"
#include "ui/grid/vlGridLevel.h"

namespace {

// The size-change handler of a view: the view and, for a detail, its
// master are laid out again.
void viewSizeChanged(TvlCustomGridView* AView, bool AUpdateGridViewOnly, bool AKeepMaster)
{
    AView->PostSizeChange(AUpdateGridViewOnly, AKeepMaster);
}

}  // namespace

// ---- controller -----------------------------------------------------------------------------

TvlCustomGridController::~TvlCustomGridController() { HideHint(); }

TCursor TvlCustomGridController::GetCursor(int X, int Y)
{
    const std::unique_ptr<TvlCustomGridHitTest> hitTest = hitTestAt(X, Y);
    return hitTest != nullptr && CanHandleHitTest(hitTest.get()) ? hitTest->Cursor() : crDefault;
}

bool TvlCustomGridController::CanHandleHitTest(const TvlCustomGridHitTest* AHitTest) const
{
    const auto* viewHitTest = dynamic_cast<const TvlCustomGridViewHitTest*>(AHitTest);
    return viewHitTest == nullptr || viewHitTest->View == GridView();
}

std::unique_ptr<TvlCustomGridHitTest> TvlCustomGridController::hitTestAt(int X, int Y) const
{
    TvlCustomGridViewInfo* viewInfo = GridView()->ViewInfo();
    return viewInfo != nullptr ? viewInfo->GetHitTestXY(X, Y) : nullptr;
}

void TvlCustomGridController::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    std::unique_ptr<TvlCustomGridHitTest> hitTest = hitTestAt(X, Y);
    if (hitTest != nullptr && hitTest->CellViewInfo() != nullptr)
        hitTest->CellViewInfo()->MouseDown(hitTest.get(), Button, Shift);
}

void TvlCustomGridController::MouseMove(TShiftState Shift, int X, int Y)
{
    std::unique_ptr<TvlCustomGridHitTest> hitTest = hitTestAt(X, Y);
    if (TvlCustomGridCellViewInfo* captured = MouseCaptureCellViewInfo())
        captured->MouseMove(hitTest.get(), Shift);
    else if (hitTest != nullptr && hitTest->CellViewInfo() != nullptr)
        hitTest->CellViewInfo()->MouseMove(hitTest.get(), Shift);
}

void TvlCustomGridController::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    std::unique_ptr<TvlCustomGridHitTest> hitTest = hitTestAt(X, Y);
    if (TvlCustomGridCellViewInfo* captured = MouseCaptureCellViewInfo())
        captured->MouseUp(hitTest.get(), Button, Shift);
    else if (hitTest != nullptr && hitTest->CellViewInfo() != nullptr)
        hitTest->CellViewInfo()->MouseUp(hitTest.get(), Button, Shift);
}

void TvlCustomGridController::UpdateScrollBars(bool AForced)
{
    TvlCustomGridViewInfo* viewInfo = GridView()->ViewInfo();
    TvlGridSite* site = viewInfo != nullptr ? viewInfo->Site() : nullptr;
    if (site == nullptr)
        return;
    const bool saved = site->ForceUpdateScrollBars;
    site->ForceUpdateScrollBars = AForced;
    try {
        site->UpdateScrollBars();
    } catch (...) {
        site->ForceUpdateScrollBars = saved;
        throw;
    }
    site->ForceUpdateScrollBars = saved;
}

void TvlCustomGridController::CheckCoordinates()
{
    const bool saved = FCheckingCoordinates;
    FCheckingCoordinates = true;
    try {
        DoCheckCoordinates();
    } catch (...) {
        FCheckingCoordinates = saved;
        throw;
    }
    FCheckingCoordinates = saved;
}

TvlCustomGridCellViewInfo* TvlCustomGridController::MouseCaptureCellViewInfo() const
{
    TvlCustomGridViewInfo* viewInfo = GridView()->ViewInfo();
    TvlGridSite* site = viewInfo != nullptr ? viewInfo->Site() : nullptr;
    return site != nullptr ? dynamic_cast<TvlCustomGridCellViewInfo*>(site->MouseCaptureObject()) : nullptr;
}

void TvlCustomGridController::ShowHint(const TRect& AHintArea, const TRect& ATextArea, TvlCustomGridViewCellViewInfo* ACell,
                                       TFont* AFont, bool AMultiLine, const String& AText)
{
    (void)AFont;
    (void)AMultiLine;
    FHintArea = AHintArea;
    FHintTextArea = ATextArea;
    FHintCellViewInfo = ACell;
    FHintText = AText;
}

void TvlCustomGridController::HideHint()
{
    FHintCellViewInfo = nullptr;
    FHintArea = TRect();
    FHintTextArea = TRect();
    FHintText.clear();
}

// ---- popup ----------------------------------------------------------------------------------

namespace {

TWinControl* popupOwnerControl(TvlCustomGridView* AGridView)
{
    if (AGridView->ViewInfo() != nullptr && AGridView->ViewInfo()->Site() != nullptr)
        return AGridView->ViewInfo()->Site();
    return AGridView->Control();
}

}  // namespace

TvlCustomGridPopup::TvlCustomGridPopup(TvlCustomGridView* AGridView)
    : TvlCustomPopupWindow(popupOwnerControl(AGridView)), FGridView(AGridView)
{
}

TvlCustomGridPopup::~TvlCustomGridPopup() { FPopupOwner = nullptr; }

void TvlCustomGridPopup::SetPopupOwner(IvlCustomGridPopupOwner* Value)
{
    if (Value == FPopupOwner)
        return;
    IvlCustomGridPopupOwner* previous = FPopupOwner;
    FPopupOwner = Value;
    if (Value == nullptr && previous != nullptr && previous->ClosePopupWhenNilOwner())
        CloseUp();
}

void TvlCustomGridPopup::GetOwnerBounds(TRect& R)
{
    if (FPopupOwner != nullptr)
        FPopupOwner->GetOwnerBounds(R);
    else
        R = TRect();
}

void TvlCustomGridPopup::ShowPopup()
{
    GetOwnerBounds(OwnerBounds);
    OwnerParent = popupOwnerControl(FGridView);
    PopupWithFocus(nullptr);
}

void TvlCustomGridPopup::CloseUp()
{
    const bool wasOpen = IsVisible();
    TvlCustomPopupWindow::CloseUp();
    if (wasOpen && FPopupOwner != nullptr)
        FPopupOwner->PopupClosed();
}

// ---- site -----------------------------------------------------------------------------------

TvlGridSite::TvlGridSite(TvlCustomGridViewInfo* AViewInfo) : TvlControl(nullptr), FViewInfo(AViewInfo)
{
    SetControlStyle(ControlStyle() + TControlStyle{csNoDesignVisible});
    SetKeys(TvlControlKeys{kArrows, kChars});
    SetParentColor(false);
}

TvlGridSite::~TvlGridSite() { FreeSizeChangeTimer(); }

TvlCustomGridView* TvlGridSite::GridView() const { return FViewInfo->GridView(); }
TvlCustomGridController* TvlGridSite::Controller() const { return GridView()->Controller(); }
TvlCustomGridPainter* TvlGridSite::Painter() const { return GridView()->Painter(); }
TvlCustomGrid* TvlGridSite::GridControl() const { return GridView()->Control(); }

void TvlGridSite::SetParent(TWinControl* AParent)
{
    if (AParent == Parent())
        return;
    if (AParent != nullptr)
        LookAndFeel()->SetMasterLookAndFeel(GridView()->Control() != nullptr ? GridView()->Control()->LookAndFeel() : nullptr);
    UpdateTabStop(AParent);
    TvlCustomGrid* grid = GridControl();
    if (AParent == nullptr && grid != nullptr && grid->FocusedView() == GridView()) {
        // The focus must not leave with the window.
        TWinControl* oldParent = Parent();
        if (oldParent != nullptr && !oldParent->ComponentState().Contains(csDestroying) && oldParent->CanFocus())
            oldParent->SetFocus();
    }
    TvlControl::SetParent(AParent);
}

void TvlGridSite::WndProc(TMessage& Message)
{
    if (TvlCustomGridController* controller = Controller())
        controller->WndProc(Message);
    TvlControl::WndProc(Message);
}

void TvlGridSite::SetBounds(int ALeft, int ATop, int AWidth, int AHeight)
{
    const bool resized = AWidth != Width() || AHeight != Height();
    TvlControl::SetBounds(ALeft, ATop, AWidth, AHeight);
    if (resized)
        UpdateLastClientSize();
}

void TvlGridSite::SetFocus()
{
    TvlCustomGrid* grid = GridControl();
    const TvlObjectGuard guard(this);
    if (grid != nullptr && grid->FocusedView() != GridView())
        if (TvlCustomGridView* focused = grid->FocusedView())
            if (focused->Controller() != nullptr)
                focused->Controller()->BeforeKillFocus();
    if (!guard.Destroyed())
        TvlControl::SetFocus();
}

TRect TvlGridSite::GetClientBounds() const
{
    TRect r = TvlControl::GetClientBounds();
    FViewInfo->AdjustClientBounds(r);
    return r;
}

TRect TvlGridSite::GetHScrollBarBounds() const
{
    TRect r = TvlControl::GetHScrollBarBounds();
    FViewInfo->AdjustHScrollBarBounds(r);
    return r;
}

void TvlGridSite::UpdateScrollBars()
{
    if (FViewInfo->IsCalculating() || !GridView()->IsVisible())
        return;
    TvlCustomGrid* grid = GridControl();
    // While the grid is locked the bars wait for the forced update that
    // follows every layout.
    if (ForceUpdateScrollBars || (grid != nullptr && !grid->IsUpdateLocked()))
        TvlControl::UpdateScrollBars();
}

bool TvlGridSite::IsFocused() const
{
    if (TvlControl::IsFocused())
        return true;
    TvlCustomGridController* controller = Controller();
    return controller != nullptr && controller->HasFocusedControls();
}

bool TvlGridSite::IsDesigning() const
{
    if (TvlCustomGrid* grid = GridControl())
        return grid->ComponentState().Contains(csDesigning);
    return GridView()->ComponentState().Contains(csDesigning);
}

bool TvlGridSite::MayFocus() const
{
    TvlCustomGridController* controller = Controller();
    return Parent() == nullptr || controller == nullptr || controller->MayFocus();
}

void TvlGridSite::Paint()
{
    if (GridView()->IsUpdateLocked() || FViewInfo->IsCalculating() || IsParked())
        return;
    TvlControl::Paint();
    if (TvlCustomGridPainter* painter = Painter())
        painter->Paint(nullptr, nullptr);
}

void TvlGridSite::BeforeMouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TvlControl::BeforeMouseDown(Button, Shift, X, Y);
    if (HandleAllocated())
        if (TvlCustomGridController* controller = Controller())
            controller->MouseDown(Button, Shift, X, Y);
}

TCursor TvlGridSite::GetCurrentCursor(int X, int Y) const
{
    TvlCustomGridController* controller = Controller();
    const TCursor cursor = controller != nullptr ? controller->GetCursor(X, Y) : crDefault;
    return cursor != crDefault ? cursor : TvlControl::GetCurrentCursor(X, Y);
}

TvlMouseWheelScrollingKind TvlGridSite::GetMouseWheelScrollingKind() const
{
    TvlCustomGridController* controller = Controller();
    return controller != nullptr ? controller->GetMouseWheelScrollingKind() : mwskNone;
}

bool TvlGridSite::CanFocusOnClick() const
{
    // The point of the click is where the pointer is now.
    if (!TvlControl::CanFocusOnClick())
        return false;
    TvlCustomGridController* controller = Controller();
    if (controller == nullptr)
        return true;
    const TPoint p = HandleAllocated() ? ScreenToClient(Mouse->CursorPos()) : TPoint{0, 0};
    return controller->CanFocusOnClick(p.X, p.Y);
}

void TvlGridSite::InitScrollBarsParameters()
{
    if (TvlCustomGridController* controller = Controller())
        controller->InitScrollBarsParameters();
}

bool TvlGridSite::IsPixelScrollBar(TScrollBarKind AKind) const
{
    TvlCustomGridController* controller = Controller();
    return controller != nullptr && controller->IsPixelScrollBar(AKind);
}

void TvlGridSite::Scroll(TScrollBarKind AScrollBarKind, TScrollCode AScrollCode, int& AScrollPos)
{
    if (TvlCustomGridController* controller = Controller())
        controller->Scroll(AScrollBarKind, AScrollCode, AScrollPos);
}

bool TvlGridSite::AllowAutoDragAndDropAtDesignTime(int X, int Y, TShiftState Shift) const
{
    (void)X;
    (void)Y;
    (void)Shift;
    return false;
}

void TvlGridSite::DrawDragImage(TvlCanvas* ACanvas, const TRect& R)
{
    if (TvlCustomGridController* controller = Controller())
        controller->DrawDragImage(ACanvas, R);
}

TPoint TvlGridSite::GetDragImagesSize() const
{
    TvlCustomGridController* controller = Controller();
    return controller != nullptr ? controller->GetDragImagesSize() : TPoint{0, 0};
}

bool TvlGridSite::HasDragImages() const
{
    TvlCustomGridController* controller = Controller();
    return controller != nullptr && controller->HasDragImages();
}

bool TvlGridSite::AllowMouseDownWithoutFocus() const { return TvlControl::AllowMouseDownWithoutFocus(); }

void TvlGridSite::BoundsChanged()
{
    const int prevWidth = FLastClientWidth, prevHeight = FLastClientHeight;
    UpdateLastClientSize();
    if (!FViewInfo->IsUpdatingSiteVisibility()) {
        const bool wasEmpty = prevWidth == 0 && prevHeight == 0;
        if (!wasEmpty && (prevWidth != FLastClientWidth || prevHeight != FLastClientHeight)) {
            bool canCalculate = true;
            for (TvlCustomGridView* view = GridView(); view != nullptr && canCalculate; view = view->MasterGridView())
                canCalculate = view->ViewInfo() == nullptr || view->ViewInfo()->CanCalculateNow();
            if (canCalculate)
                viewSizeChanged(GridView(), true, false);
            else if (IsUpdatingScrollBars())
                StartSizeChangeTimer();
        }
    }
    TvlControl::BoundsChanged();
}

bool TvlGridSite::CanDrag(int X, int Y) const
{
    TvlCustomGridController* controller = Controller();
    return TvlControl::CanDrag(X, Y) && (controller == nullptr || controller->CanDrag(X, Y));
}

void TvlGridSite::CancelMouseOperations()
{
    TvlControl::CancelMouseOperations();
    if (TvlCustomGridController* controller = Controller())
        controller->CancelMouseOperations();
}

void TvlGridSite::DoEnter()
{
    TvlControl::DoEnter();
    if (TvlCustomGridController* controller = Controller())
        controller->DoEnter();
}

void TvlGridSite::DoExit()
{
    if (!GridView()->IsDestroying())
        if (TvlCustomGridController* controller = Controller())
            controller->DoExit();
    TvlControl::DoExit();
}

void TvlGridSite::FocusChanged()
{
    const TvlObjectGuard guard(this);
    TvlControl::FocusChanged();
    if (guard.Destroyed())
        return;
    if (IsFocused())
        GridView()->SetFocused(true);
    if (guard.Destroyed())
        return;
    if (TvlCustomGrid* grid = GridControl())
        grid->SetSiteFocused(IsFocused());
}

void TvlGridSite::KeyDown(uint16_t& Key, TShiftState Shift)
{
    TvlControl::KeyDown(Key, Shift);
    if (TvlCustomGridController* controller = Controller())
        controller->KeyDown(Key, Shift);
}

void TvlGridSite::KeyPress(QChar& Key)
{
    TvlControl::KeyPress(Key);
    if (TvlCustomGridController* controller = Controller())
        controller->KeyPress(Key);
}

void TvlGridSite::KeyUp(uint16_t& Key, TShiftState Shift)
{
    TvlControl::KeyUp(Key, Shift);
    if (TvlCustomGridController* controller = Controller())
        controller->KeyUp(Key, Shift);
}

void TvlGridSite::MouseLeave(TControl* AControl)
{
    TvlControl::MouseLeave(AControl);
    if (TvlCustomGridController* controller = Controller())
        controller->MouseLeave();
}

void TvlGridSite::MouseMove(TShiftState Shift, int X, int Y)
{
    TvlControl::MouseMove(Shift, X, Y);
    if (DragAndDropState() != ddsRunning)
        if (TvlCustomGridController* controller = Controller())
            controller->MouseMove(Shift, X, Y);
}

void TvlGridSite::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    const TvlObjectGuard guard(this);
    if (DragAndDropState() == ddsRunning) {
        TvlControl::MouseUp(Button, Shift, X, Y);
        if (!guard.Destroyed())
            if (TvlCustomGridController* controller = Controller())
                controller->MouseUp(Button, Shift, X, Y);
    } else {
        if (TvlCustomGridController* controller = Controller())
            controller->MouseUp(Button, Shift, X, Y);
        if (!guard.Destroyed())
            TvlControl::MouseUp(Button, Shift, X, Y);
    }
}

void TvlGridSite::DoEndDrag(TObject* Target, int X, int Y)
{
    if (TvlCustomGridController* controller = Controller())
        controller->EndDrag(Target, X, Y);
    TvlControl::DoEndDrag(Target, X, Y);
}

void TvlGridSite::DoStartDrag(TDragObject*& DragObject)
{
    TvlCustomGridController* controller = Controller();
    if (controller != nullptr)
        controller->BeforeStartDrag();
    TvlControl::DoStartDrag(DragObject);
    if (controller != nullptr)
        controller->StartDrag(DragObject);
}

void TvlGridSite::DragOver(TObject* Source, int X, int Y, TDragState State, bool& Accept)
{
    TvlControl::DragOver(Source, X, Y, State, Accept);
    if (TvlCustomGridController* controller = Controller())
        controller->DragOver(Source, X, Y, State, Accept);
}

void TvlGridSite::DragDrop(TObject* Source, int X, int Y)
{
    if (TvlCustomGridController* controller = Controller())
        controller->DragDrop(Source, X, Y);
    TvlControl::DragDrop(Source, X, Y);
}

void TvlGridSite::BeginDragAndDrop()
{
    if (TvlCustomGridController* controller = Controller())
        controller->BeginDragAndDrop();
    TvlControl::BeginDragAndDrop();
}

void TvlGridSite::DragAndDrop(const TPoint& P, bool& Accepted)
{
    TvlControl::DragAndDrop(P, Accepted);
    if (TvlCustomGridController* controller = Controller())
        controller->DragAndDrop(P, Accepted);
}

void TvlGridSite::EndDragAndDrop(bool Accepted)
{
    if (TvlCustomGridController* controller = Controller())
        controller->EndDragAndDrop(Accepted);
    TvlControl::EndDragAndDrop(Accepted);
}

bool TvlGridSite::StartDragAndDrop(const TPoint& P)
{
    TvlCustomGridController* controller = Controller();
    return controller != nullptr && controller->StartDragAndDrop(P);
}

void TvlGridSite::DestroyWidget()
{
    GridView()->CommitEditing();
    TvlControl::DestroyWidget();
}

void TvlGridSite::RetrySizeChange(TObject* Sender)
{
    (void)Sender;
    FreeSizeChangeTimer();
    viewSizeChanged(GridView(), false, false);
}

void TvlGridSite::UpdateTabStop(TWinControl* AParent)
{
    if (AParent == nullptr || GridView()->Level() == nullptr)
        return;
    // Only top-level views are reached by Tab.
    GridView()->SetSiteTabStop(GridView()->Level()->IsTop());
}

void TvlGridSite::StartSizeChangeTimer()
{
    if (FSizeChangeTimer != nullptr)
        return;
    FSizeChangeTimer = std::make_unique<TvlTimer>(nullptr);
    FSizeChangeTimer->SetInterval(1);
    FSizeChangeTimer->SetOnTimer(TNotifyEvent(this, &TvlGridSite::RetrySizeChange));
}

void TvlGridSite::UpdateLastClientSize()
{
    const TRect r = GetClientBounds();
    FLastClientWidth = r.Right;
    FLastClientHeight = r.Bottom;
}
