// Record cells and data cells: a data cell measures, lays out and draws its
// value through the item's editor, takes its colours from the view's
// styles, and turns presses into focus moves and editor activations. A
// press may rebuild the layout and free the pressed cell, so every press
// runs under the view info's guard list and a listener link on the view.
#include "ui/editors/vlTextEdit.h"
#include "ui/grid/vlGrid.h"
#include "ui/grid/vlGridCustomTableViewInfo.h"

namespace {

bool shiftOrCtrl(TShiftState AShift) { return AShift.Contains(ssShift) || AShift.Contains(ssCtrl); }

// Keeps a cell on its view info's guard list while a call that may free it
// runs; the list is left only while the view still exists.
class TCellPressGuard {
public:
    TCellPressGuard(TvlCustomGridView* AView, TvlCustomGridViewInfo* AViewInfo, TvlCustomGridCellViewInfo* ACell)
        : FLink(AView->AddListenerLink()), FViewInfo(AViewInfo), FCell(ACell)
    {
        FViewInfo->AddGuardedCell(FCell);
    }
    ~TCellPressGuard()
    {
        if (ViewAlive())
            FViewInfo->RemoveGuardedCell(FCell, false);
    }
    TCellPressGuard(const TCellPressGuard&) = delete;
    TCellPressGuard& operator=(const TCellPressGuard&) = delete;
    bool ViewAlive() const { return FLink->GridView() != nullptr; }
    bool CellAlive() const { return ViewAlive() && FViewInfo->IsCellAlive(FCell); }

private:
    std::unique_ptr<TvlGridListenerLink> FLink;
    TvlCustomGridViewInfo* FViewInfo;       // lives as long as the view
    TvlCustomGridCellViewInfo* FCell;  // compared only, never used
};

}  // namespace

// ---- record cell --------------------------------------------------------------------------------

TvlGridTableCellViewInfo::TvlGridTableCellViewInfo(TvlCustomGridRecordViewInfo* ARecordViewInfo)
    : TvlCustomGridViewCellViewInfo(ARecordViewInfo->RecordGridViewInfo()), FRecordViewInfo(ARecordViewInfo)
{
}

TvlCanvas* TvlGridTableCellViewInfo::GetCanvas() { return GridViewInfo()->Canvas(); }

TvlGridHitTestClass TvlGridTableCellViewInfo::GetHitTestClass() { return vlGridHitTestClass<TvlGridRecordHitTest>(); }

bool TvlGridTableCellViewInfo::IsTransparent() { return FRecordViewInfo->CellUsesRowBitmap(this); }

void TvlGridTableCellViewInfo::InitHitTest(TvlCustomGridHitTest* AHitTest)
{
    TvlCustomGridViewCellViewInfo::InitHitTest(AHitTest);
    if (auto* recordHitTest = dynamic_cast<TvlGridRecordHitTest*>(AHitTest))
        recordHitTest->SetRecord(GridView()->ViewData(), GridRecord());
}

void TvlGridTableCellViewInfo::Calculate(int ALeft, int ATop, int AWidth, int AHeight)
{
    FSelectedCalculated = false;
    TvlCustomGridViewCellViewInfo::Calculate(ALeft, ATop, AWidth, AHeight);
}

bool TvlGridTableCellViewInfo::cellMouseDown(TvlCustomGridHitTest* AHitTest, TMouseButton AButton, TShiftState AShift)
{
    return TvlCustomGridViewCellViewInfo::MouseDown(AHitTest, AButton, AShift);
}

bool TvlGridTableCellViewInfo::MouseDown(TvlCustomGridHitTest* AHitTest, TMouseButton AButton, TShiftState AShift)
{
    const TCellPressGuard guard(GridView(), GridViewInfo(), this);
    const bool result = FRecordViewInfo->MouseDown(AHitTest, AButton, AShift);
    if (!guard.ViewAlive())
        return false;
    // The record may have rebuilt the layout: nothing of this cell is used
    // unless it is still on the guard list, and a press whose cell went
    // reports that it was not taken.
    if (!guard.CellAlive())
        return false;
    if (result)
        cellMouseDown(AHitTest, AButton, AShift);
    return result;
}

bool TvlGridTableCellViewInfo::CalculateSelected() { return GridView()->DrawCellSelected(GridRecord(), nullptr, this, true); }

TvlCustomGridTableViewInfoCacheItem* TvlGridTableCellViewInfo::CacheItem() const { return FRecordViewInfo->CacheItem(); }

TvlCustomGridTableController* TvlGridTableCellViewInfo::Controller() const
{
    return dynamic_cast<TvlCustomGridTableController*>(TvlCustomGridViewCellViewInfo::Controller());
}

TvlCustomGridTableView* TvlGridTableCellViewInfo::GridView() const { return FRecordViewInfo->GridView(); }

TvlCustomGridRecord* TvlGridTableCellViewInfo::GridRecord() const { return FRecordViewInfo->GridRecord(); }

bool TvlGridTableCellViewInfo::IsSelected()
{
    if (!FSelectedCalculated) {
        FSelected = CalculateSelected();
        FSelectedCalculated = true;
    }
    return FSelected;
}

TvlCustomGridTableViewInfo* TvlGridTableCellViewInfo::RecordGridViewInfo() const { return FRecordViewInfo->RecordGridViewInfo(); }

// ---- data cell -----------------------------------------------------------------------------------

TvlGridTableDataCellViewInfo::TvlGridTableDataCellViewInfo(TvlCustomGridRecordViewInfo* ARecordViewInfo,
                                                           TvlCustomGridTableItem* AItem)
    : TvlGridTableCellViewInfo(ARecordViewInfo), FItem(AItem)
{
    FProperties = FItem->GetRecordProperties(GridRecord());
    CreateEditViewInfo();
    FStyle = FItem->GetCellStyle();
}

TvlGridTableDataCellViewInfo::~TvlGridTableDataCellViewInfo()
{
    // A cell freed without its BeforeDestruction still gives its use back.
    if (FStyle != nullptr && !GridView()->IsDestroying())
        FItem->ReleaseCellStyle();
}

void TvlGridTableDataCellViewInfo::BeforeDestruction()
{
    if (TvlCustomGridTableController* controller = Controller())
        if (controller->PressedCellViewInfo() == this)
            controller->SetPressedCellViewInfo(nullptr);
    if (FStyle != nullptr && !GridView()->IsDestroying())
        FItem->ReleaseCellStyle();
    FStyle = nullptr;
    TvlGridTableCellViewInfo::BeforeDestruction();
}

void TvlGridTableDataCellViewInfo::MouseLeave()
{
    TvlGridTableCellViewInfo::MouseLeave();
    if (UsesMouseStates())
        UpdateEditHotTrack(TPoint{Bounds.Right, Bounds.Bottom});
}

void TvlGridTableDataCellViewInfo::ReadParamsFromCanvas(TvlCanvas* ACanvas)
{
    if (FEditViewInfo == nullptr)
        return;
    FEditViewInfo->SetBackgroundColor(ACanvas->Brush()->Color());
    if (dynamic_cast<TvlCustomTextEditViewInfo*>(FEditViewInfo.get()) != nullptr) {
        FEditViewInfo->Font = ACanvas->Font();
        FEditViewInfo->TextColor = ACanvas->Font()->Color();
    }
}

void TvlGridTableDataCellViewInfo::WriteParamsToCanvas(TvlCanvas* ACanvas)
{
    if (FEditViewInfo == nullptr)
        return;
    ACanvas->SetBrushColor(FEditViewInfo->BackgroundColor());
    if (dynamic_cast<TvlCustomTextEditViewInfo*>(FEditViewInfo.get()) != nullptr) {
        if (FEditViewInfo->Font != nullptr)
            ACanvas->SetFont(FEditViewInfo->Font);
        ACanvas->Font()->SetColor(FEditViewInfo->TextColor);
    }
}

int TvlGridTableDataCellViewInfo::CalculateHeight()
{
    CalculateParams();
    TvlCanvas* canvas = GetCanvas();
    TFont* font = const_cast<TFont*>(Params.Font);
    int height = 0;
    if (FItem->CanAutoHeight() && IsAutoHeight()) {
        BeginEditViewData();
        try {
            if (FEditViewData != nullptr) {
                FEditViewData->ContentOffset = TRect();
                FEditViewData->PaintOptions |= vlepoAllowZeroHeight;
                TRect textArea;
                GetTextAreaBounds(textArea);
                const int width = textArea.Width() + 2;
                if (width >= 1) {
                    TvlEditMeasureParams request;
                    request.MaxWidth = width;
                    request.MaxHeight = -1;
                    request.MaxLineCount = GetMaxLineCount();
                    Variant value;
                    GetDisplayValue(value);
                    TSize size{0, 0};
                    FEditViewData->GetEditSize(canvas, value, request, size, nullptr);
                    height = size.cy;
                }
            }
        } catch (...) {
            EndEditViewData();
            throw;
        }
        EndEditViewData();
        if (height != 0)
            height += 2;
        else if (!CanHaveZeroHeight())
            height = FItem->CalculateDefaultCellHeight(canvas, font);
    } else {
        height = FItem->CalculateDefaultCellHeight(canvas, font);
    }
    GridView()->DoGetCellHeight(GridRecord(), FItem, this, height);
    return height;
}

bool TvlGridTableDataCellViewInfo::DoCustomDraw(TvlCanvas* ACanvas)
{
    if (TvlGridTableCellViewInfo::DoCustomDraw(ACanvas))
        return true;
    bool done = false;
    FItem->DoCustomDrawCell(ACanvas, this, done);
    return done || GridView()->DoCustomDrawCell(ACanvas, this);
}

void TvlGridTableDataCellViewInfo::DoCalculateParams()
{
    TvlGridTableCellViewInfo::DoCalculateParams();
    InitStyle();
}

void TvlGridTableDataCellViewInfo::GetVisibleArea(TRect& R) { RecordViewInfo()->RecordsViewInfo()->GetCellVisibleArea(this, R); }

TvlGridHitTestClass TvlGridTableDataCellViewInfo::GetHitTestClass() { return vlGridHitTestClass<TvlGridRecordCellHitTest>(); }

// Editors do not yet tell the grid per item and record that they want
// mouse states; the properties' hot-track flag decides.
bool TvlGridTableDataCellViewInfo::UsesMouseStates()
{
    TvlCustomEditProperties* properties = GetProperties();
    if (properties == nullptr || (properties->GetSupportedOperations() & vlesoAlwaysHotTrack) == 0)
        return false;
    return GridView()->OptionsBehavior()->ImmediateEditor() || IsFocusedCell();
}

bool TvlGridTableDataCellViewInfo::CalculateMultiLine() { return RecordViewInfo()->RecordsViewInfo()->MultiLineOf(FItem); }

TvlGridCellPainterClass TvlGridTableDataCellViewInfo::GetPainterClass()
{
    return &vlGridCreate<TvlGridTableDataCellPainter, TvlCustomGridCellPainter, TvlCanvas*, TvlCustomGridCellViewInfo*>;
}

bool TvlGridTableDataCellViewInfo::ShowEndEllipsis() { return GridView()->OptionsView()->CellEndEllipsis(); }

void TvlGridTableDataCellViewInfo::GetText(String& S)
{
    if (auto* textViewInfo = dynamic_cast<TvlCustomTextEditViewInfo*>(FEditViewInfo.get()))
        S = textViewInfo->Text;
    else
        S.clear();
}

void TvlGridTableDataCellViewInfo::GetViewParams(TvlViewParams& AParams)
{
    GridView()->Styles()->GetCellParams(GridRecord(), FItem, false, this, true, AParams);
}

bool TvlGridTableDataCellViewInfo::HasCustomDraw()
{
    return FItem->HasCustomDrawCell() || GridView()->OnCustomDrawCell().Assigned();
}

void TvlGridTableDataCellViewInfo::InitHitTest(TvlCustomGridHitTest* AHitTest)
{
    TvlGridTableCellViewInfo::InitHitTest(AHitTest);
    if (auto* cellHitTest = dynamic_cast<TvlGridRecordCellHitTest*>(AHitTest))
        cellHitTest->CellItem = FItem;
}

void TvlGridTableDataCellViewInfo::DoOffset(int DX, int DY)
{
    TvlGridTableCellViewInfo::DoOffset(DX, DY);
    if (FEditViewInfo != nullptr)
        FEditViewInfo->Offset(DX, DY);
}

void TvlGridTableDataCellViewInfo::RestoreParams(const TvlViewParams& ASaved)
{
    if (FEditViewInfo == nullptr)
        return;
    FEditViewInfo->SetBackgroundColor(ASaved.Color);
    if (dynamic_cast<TvlCustomTextEditViewInfo*>(FEditViewInfo.get()) != nullptr) {
        FEditViewInfo->Font = ASaved.Font;
        FEditViewInfo->TextColor = ASaved.TextColor;
    }
}

void TvlGridTableDataCellViewInfo::SaveParams(TvlViewParams& ASaved)
{
    if (FEditViewInfo == nullptr)
        return;
    ASaved.Color = FEditViewInfo->BackgroundColor();
    ASaved.Font = const_cast<TFont*>(FEditViewInfo->Font);
    ASaved.TextColor = FEditViewInfo->TextColor;
}

void TvlGridTableDataCellViewInfo::StateChanged(TvlGridCellMouseState APrevState)
{
    TvlGridTableCellViewInfo::StateChanged(APrevState);
    if (State() == gcmsNormal && !IsDestroying())
        UpdateEditorAfterHotTrack();
}

void TvlGridTableDataCellViewInfo::BeforeRecalculation()
{
    RecordGridViewInfo()->UpdateMousePos();
    TvlGridTableCellViewInfo::BeforeRecalculation();
}

void TvlGridTableDataCellViewInfo::Calculate(int ALeft, int ATop, int AWidth, int AHeight)
{
    TvlGridTableCellViewInfo::Calculate(ALeft, ATop, AWidth, AHeight);
    // Laid out under the pointer, so that a hot part shows at once.
    if (FEditViewInfo != nullptr)
        CalculateEditViewInfo(FEditViewInfo.get(), GetMousePos());
    GetText(Text);
    if (!RecordGridViewInfo()->IsInternal() && IsEditing())
        UpdateEditorBounds();
}

bool TvlGridTableDataCellViewInfo::MouseDown(TvlCustomGridHitTest* AHitTest, TMouseButton AButton, TShiftState AShift)
{
    TvlCustomGridTableView* view = GridView();
    TvlCustomGridTableController* controller = Controller();
    TvlCustomGridTableItem* item = FItem;  // items outlive the layout
    const TPoint point = AHitTest->HitPoint;
    FWasFocusedBeforeClick = IsFocusedCell();
    const bool showOnPress = CanShowEditorOnMouseDown(AHitTest, AButton, AShift);
    const bool withMouse = UsesMouseStates();
    const bool allowCheckEdit = controller->AllowCheckEdit;
    controller->AllowCheckEdit = false;
    controller->EditorShowOnMouseUp = false;
    bool postponeCheckEdit = false;
    bool result = false;
    {
        const TCellPressGuard guard(view, RecordGridViewInfo(), this);
        auto restore = [&] {
            if (!guard.ViewAlive())
                return;
            controller->AllowCheckEdit = allowCheckEdit;
            if (postponeCheckEdit)
                controller->PostponeCheckEdit();
        };
        try {
            if (AShift.Contains(ssDouble)) {
                const bool handled = view->DoCellDblClick(this, AButton, AShift);
                if (handled || !guard.CellAlive()) {
                    restore();
                    return false;
                }
            }
            result = TvlGridTableCellViewInfo::MouseDown(AHitTest, AButton, AShift);
            if (result && guard.ViewAlive() && !controller->EditingController()->IsEditShowing()) {
                item->SetFocused(true);
                if (guard.ViewAlive() && item->Focused()) {
                    if (AButton != mbLeft || shiftOrCtrl(AShift) || !showOnPress) {
                        controller->EditorShowOnMouseUp = true;
                    } else if (withMouse) {
                        controller->EditingController()->ShowEditByMouse(item, AShift, point.X, point.Y);
                    } else {
                        controller->EditingController()->ShowEdit(item);
                    }
                } else {
                    postponeCheckEdit = true;
                }
            }
            if (guard.CellAlive() && controller->EditingItem() != item)
                controller->SetPressedCellViewInfo(this);
        } catch (...) {
            restore();
            throw;
        }
        restore();
    }
    return result;
}

bool TvlGridTableDataCellViewInfo::MouseMove(TvlCustomGridHitTest* AHitTest, TShiftState AShift)
{
    const bool result = TvlGridTableCellViewInfo::MouseMove(AHitTest, AShift);
    if (UsesMouseStates())
        UpdateEditHotTrack(AHitTest->HitPoint);
    return result;
}

bool TvlGridTableDataCellViewInfo::MouseUp(TvlCustomGridHitTest* AHitTest, TMouseButton AButton, TShiftState AShift)
{
    TvlCustomGridTableView* view = GridView();
    TvlCustomGridTableController* controller = Controller();
    TvlCustomGridTableItem* item = FItem;
    const TPoint point = AHitTest->HitPoint;
    const TCellPressGuard guard(view, RecordGridViewInfo(), this);
    TvlGridTableCellViewInfo::MouseUp(AHitTest, AButton, AShift);
    if (!guard.CellAlive())
        return false;
    if (controller->PressedCellViewInfo() == this) {
        controller->SetPressedCellViewInfo(nullptr);
        if (view->DoCellClick(this, AButton, AShift))
            return true;
        if (!guard.CellAlive())
            return false;
    }
    if (AButton != mbLeft || shiftOrCtrl(AShift))
        return false;
    if (!IsFocusedCell() || !CanShowEditor())
        return false;
    if (IsEditing())
        return true;
    if (view->OptionsBehavior()->ImmediateEditor()) {
        if (controller->EditorShowOnMouseUp) {
            controller->EditorShowOnMouseUp = false;
            controller->EditingController()->ShowEditByMouse(item, AShift, point.X, point.Y);
        }
    } else if (FWasFocusedBeforeClick && !AShift.Contains(ssDouble)) {
        controller->EditingController()->StartEditShowingTimer(item);
    }
    return true;
}

bool TvlGridTableDataCellViewInfo::HasHint()
{
    if (!HintForEditor() && !HasItemHint())
        return false;
    return !IsEditing();
}

bool TvlGridTableDataCellViewInfo::NeedShowHint(const TPoint& P, String& AText, TRect& ATextRect, bool& AIsMultiLine)
{
    bool result = false;
    if (HintForEditor()) {
        if (UseBaseHint()) {
            result = TvlGridTableCellViewInfo::NeedShowHint(P, AText, ATextRect, AIsMultiLine);
        } else if (FEditViewInfo != nullptr) {
            TRect area;
            GetHintAreaBounds(area);
            result = FEditViewInfo->NeedShowHintInBounds(GetCanvas(), P, ATextRect, AIsMultiLine, AText, area);
        }
    }
    if (!HasItemHint())
        return result;
    if (!result && !IsHintPoint(P))
        return false;
    if (!result) {
        AText.clear();
        AIsMultiLine = false;
        GetHintTextRect(P, ATextRect);
    }
    FItem->OnGetCellHint()(FItem, GridRecord(), this, P, AText, AIsMultiLine, ATextRect);
    return result || !AText.isEmpty();
}

bool TvlGridTableDataCellViewInfo::CalculateSelected() { return GridView()->DrawCellSelected(GridRecord(), FItem, this, true); }

void TvlGridTableDataCellViewInfo::Update() { Update(false); }

void TvlGridTableDataCellViewInfo::Update(bool ARecalculate)
{
    if (IsDestroying())
        return;
    if (ARecalculate)
        Recalculate();
    TvlGridTableCellViewInfo::Update();
}

void TvlGridTableDataCellViewInfo::CalculateEditViewInfo(TvlCustomEditViewInfo* AEditViewInfo, const TPoint& AMousePos)
{
    InitStyle();
    BeginEditViewData();
    // A shared view data is never left taken, whatever the editor raises.
    try {
        if (FEditViewData != nullptr) {
            FEditViewData->PaintOptions = 0;
            GetEditContentOffset(FEditViewData->ContentOffset);
            if (IsAutoHeight() || MultiLine) {
                FEditViewData->PaintOptions |= vlepoAutoHeight;
                FEditViewData->MaxLineCount = GetMaxLineCount();
            }
            if (ShowEndEllipsis())
                FEditViewData->PaintOptions |= vlepoShowEndEllipsis;
            FEditViewData->Selected = IsSelected();
            AEditViewInfo->Transparent = IsTransparent();
            InitIncSearchSelection();
            GetCellPos(FEditViewData->InplaceEditParams);
            Variant value;
            GetDisplayValue(value);
            TRect r;
            GetEditBounds(r);
            FEditViewData->Calculate(GetCanvas(), r, AMousePos, cxmbNone, TShiftState(), AEditViewInfo, false);
            AEditViewInfo->Value = value;
            AEditViewInfo->ShowEndEllipsis = ShowEndEllipsis();
            FEditViewData->EditValueToDrawValue(value, AEditViewInfo);
        }
    } catch (...) {
        EndEditViewData();
        throw;
    }
    EndEditViewData();
}

bool TvlGridTableDataCellViewInfo::CanShowEditorOnMouseDown(TvlCustomGridHitTest* AHitTest, TMouseButton AButton,
                                                            TShiftState AShift)
{
    (void)AShift;
    return CanShowEditor() && AButton == mbLeft && IsEditorHotSpot(AHitTest);
}

bool TvlGridTableDataCellViewInfo::IsEditorHotSpot(TvlCustomGridHitTest* AHitTest)
{
    if (GridView()->OptionsBehavior()->AlwaysShowEditor())
        return true;
    return UsesMouseStates() && FEditViewInfo != nullptr && FEditViewInfo->IsHotTrackAt(AHitTest->HitPoint);
}

bool TvlGridTableDataCellViewInfo::IsAutoHeight() { return RecordViewInfo()->RecordsViewInfo()->CellsAutoHeight(); }

void TvlGridTableDataCellViewInfo::GetDisplayValue(Variant& V)
{
    TvlCustomGridRecord* record = GridRecord();
    TvlCustomEditProperties* properties = GetProperties();
    if (record == nullptr)
        V = Null();
    else if (properties != nullptr && properties->GetEditValueSource(false) != 0)
        V = Variant(record->GetDisplayText(FItem->Index()));
    else
        V = record->GetValue(FItem->Index());
}

void TvlGridTableDataCellViewInfo::GetEditBoundsForHint(TRect& R)
{
    GetEditBounds(R);
    InflateRect(R, -1, -1);
}

bool TvlGridTableDataCellViewInfo::IsFocusedCell()
{
    return FItem->Focused() && GridView()->DrawRecordFocused(GridRecord()) && FItem->GetFocusedCellViewInfo() == this;
}

int TvlGridTableDataCellViewInfo::GetMaxLineCount() { return GridView()->OptionsView()->CellTextMaxLineCount(); }

void TvlGridTableDataCellViewInfo::GetValue(Variant& V)
{
    TvlCustomGridRecord* record = GridRecord();
    V = record != nullptr ? record->GetValue(FItem->Index()) : Null();
}

bool TvlGridTableDataCellViewInfo::ShowFocusRect()
{
    return !GridView()->OptionsSelection()->InvertSelect() && !IsEditing();
}

void TvlGridTableDataCellViewInfo::InitIncSearchSelection()
{
    if (FEditViewData == nullptr)
        return;
    TvlCustomGridTableController* controller = Controller();
    if (controller == nullptr || !IsIncSearchCell()) {
        FEditViewData->SelLength = 0;
        return;
    }
    FEditViewData->SelStart = 0;
    FEditViewData->SelLength = int(controller->IncSearchingText().size());
    TvlViewParams params;
    GridView()->Styles()->ResolveViewParams(TvlCustomGridTableViewStyles::vsIncSearch, GridRecord(), nullptr, params);
    FEditViewData->SelBackgroundColor = params.Color;
    FEditViewData->SelTextColor = params.TextColor;
}

bool TvlGridTableDataCellViewInfo::IsIncSearchCell() { return RecordViewInfo()->RecordsViewInfo()->GetIncSearchingCell() == this; }

bool TvlGridTableDataCellViewInfo::HintForEditor() { return GridView()->OptionsBehavior()->CellHints(); }

bool TvlGridTableDataCellViewInfo::HasItemHint() { return FItem->OnGetCellHint().Assigned(); }

void TvlGridTableDataCellViewInfo::InitStyle()
{
    if (FStyle != nullptr)
        FItem->InitStyle(FStyle, Params, GridView()->DrawRecordFocused(GridRecord()));
}

bool TvlGridTableDataCellViewInfo::IsEditing()
{
    TvlCustomGridTableController* controller = Controller();
    return controller != nullptr && controller->EditingItem() == FItem && IsFocusedCell();
}

TPoint TvlGridTableDataCellViewInfo::GetMousePos() const { return GridViewInfo()->MousePos(); }

TvlCustomEditProperties* TvlGridTableDataCellViewInfo::GetProperties()
{
    FItem->InitProperties(FProperties);
    return FProperties;
}

bool TvlGridTableDataCellViewInfo::IsFocusedRecordCell() { return GridView()->DrawRecordFocused(GridRecord()); }

void TvlGridTableDataCellViewInfo::CreateEditViewInfo()
{
    FEditViewInfo = FProperties != nullptr ? FProperties->CreateViewInfo() : nullptr;
}

void TvlGridTableDataCellViewInfo::BeginEditViewData()
{
    FEditViewData = FItem->GetEditViewData(GetProperties(), FLocalEditViewData);
    FIsLocalCopyOfEditViewData = FLocalEditViewData != nullptr;
}

void TvlGridTableDataCellViewInfo::EndEditViewData()
{
    FEditViewData = nullptr;
    if (FIsLocalCopyOfEditViewData)
        FItem->DestroyEditViewData(FLocalEditViewData);
    FIsLocalCopyOfEditViewData = false;
}

void TvlGridTableDataCellViewInfo::UpdateEditorBounds()
{
    if (RecordGridViewInfo()->IsInternal())
        return;
    if (TvlCustomGridTableController* controller = Controller())
        controller->EditingController()->PlaceEdit();
}

void TvlGridTableDataCellViewInfo::GetCellPos(TvlInplaceEditParams& APos)
{
    APos.Item = FItem;
    APos.RecordIndex = GridRecord() != nullptr ? GridRecord()->RecordIndex() : -1;
}

void TvlGridTableDataCellViewInfo::UpdateEditHotTrack(const TPoint& P)
{
    if (!GridView()->IsVisible() || FEditViewInfo == nullptr || GetProperties() == nullptr)
        return;
    const std::unique_ptr<TvlCustomEditViewInfo> probe = FProperties->CreateViewInfo();
    CalculateEditViewInfo(probe.get(), P);
    if (FEditViewInfo->IsHotTrack() != probe->IsHotTrack())
        UpdateEditorAfterHotTrack();
}

void TvlGridTableDataCellViewInfo::UpdateEditorAfterHotTrack()
{
    Update(true);
    TvlCustomGridTableController* controller = Controller();
    if (controller != nullptr && !controller->EditingController()->IsEditShowing())
        controller->EditingController()->UpdateEdit();
}

// ---- data cell painter -------------------------------------------------------------------------------

TvlGridTableDataCellViewInfo* TvlGridTableDataCellPainter::ViewInfo() const
{
    return static_cast<TvlGridTableDataCellViewInfo*>(TvlCustomGridCellPainter::ViewInfo());
}

void TvlGridTableDataCellPainter::DrawContent()
{
    TvlGridTableDataCellViewInfo* viewInfo = ViewInfo();
    if (viewInfo->IsTransparent() && viewInfo->GetBackgroundBitmap() != nullptr)
        DrawBackground();
    if (viewInfo->EditViewInfo() != nullptr)
        viewInfo->EditViewInfo()->Paint(Canvas());
}

void TvlGridTableDataCellPainter::Paint()
{
    TvlCustomGridCellPainter::Paint();
    DrawFocusRect();
}

void TvlGridTableDataCellPainter::DrawFocusRect()
{
    TvlGridTableDataCellViewInfo* viewInfo = ViewInfo();
    // A copy of the cell on another canvas gets no focus frame.
    if (!IsCellCanvas() || !viewInfo->IsFocusedCell() || !viewInfo->ShowFocusRect())
        return;
    viewInfo->GridView()->Painter()->DrawFocusRect(viewInfo->ContentBounds(),
                                                   viewInfo->GridView()->OptionsSelection()->HideFocusRectOnExit());
}
