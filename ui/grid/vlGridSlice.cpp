#include "ui/grid/vlGridSlice.h"

#include <algorithm>

#include "ui/controls/vlEditRepositoryItems.h"
#include "ui/controls/vlProgressBar.h"
#include "ui/editors/vlTextEdit.h"

namespace vlslice {

namespace {

const TvlTextEditProperties& plainTextProperties()
{
    static const TvlTextEditProperties properties(nullptr);
    return properties;
}

TColor styleColor(const TvlStyle* AStyle, TColor ADefault)
{
    return AStyle != nullptr && AStyle->AssignedValues().Contains(svColor) ? AStyle->Color() : ADefault;
}

TColor styleTextColor(const TvlStyle* AStyle, TColor ADefault)
{
    return AStyle != nullptr && AStyle->AssignedValues().Contains(svTextColor) ? AStyle->TextColor() : ADefault;
}

TFont* styleFont(const TvlStyle* AStyle, TFont* ADefault)
{
    return AStyle != nullptr && AStyle->AssignedValues().Contains(svFont) ? AStyle->Font() : ADefault;
}

const TBitmap* styleBitmap(const TvlStyle* AStyle)
{
    return AStyle != nullptr && AStyle->AssignedValues().Contains(svBitmap) ? AStyle->Bitmap() : nullptr;
}

int fontRowHeight(const TFont* AFont)
{
    const int h = AFont->Height() < 0 ? -AFont->Height() : AFont->Height();
    return h + h / 4 + 8;
}

}  // namespace

// ================================================================ column

TvlGridColumn::TvlGridColumn(TvlCustomGridTableView* AGridView) : TComponent(nullptr), FGridView(AGridView) {}

TvlGridColumn::~TvlGridColumn() = default;

int TvlGridColumn::Index() const { return FGridView->IndexOfColumn(this); }

void TvlGridColumn::SetCaption(const String& Value)
{
    if (Value == FCaption)
        return;
    FCaption = Value;
    FGridView->OptionsChanged();
}

void TvlGridColumn::SetVisible(bool Value)
{
    if (Value == FVisible)
        return;
    FVisible = Value;
    FGridView->OptionsChanged();
}

void TvlGridColumn::SetWidth(int Value)
{
    Value = std::max(Value, FMinWidth);
    if (Value == FWidth)
        return;
    FWidth = Value;
    FGridView->OptionsChanged();
}

void TvlGridColumn::SetMinWidth(int Value)
{
    FMinWidth = std::max(0, Value);
    if (FWidth < FMinWidth)
        FWidth = FMinWidth;
    FGridView->OptionsChanged();
}

void TvlGridColumn::SetHeaderAlignmentHorz(TAlignment Value)
{
    if (Value == FHeaderAlignmentHorz)
        return;
    FHeaderAlignmentHorz = Value;
    FGridView->OptionsChanged();
}

void TvlGridColumn::SetPropertiesClassName(const String& Value)
{
    if (Value == FPropertiesClassName)
        return;
    FPropertiesClassName = Value;
    FProperties = nullptr;
    if (!Value.isEmpty())
        if (TvlClass propertiesClass = FindEditPropertiesClass(Value))
            FProperties = CreateEditProperties(propertiesClass, this);
    if (FProperties)
        FProperties->OnPropertiesChanged = TNotifyEvent(this, &TvlGridColumn::propertiesChanged);
    FGridView->OptionsChanged();
}

const TvlCustomEditProperties* TvlGridColumn::GetProperties() const
{
    if (FProperties)
        return FProperties.get();
    // A column that names no editor gets the default one of its value type.
    if (TvlEditDataRegisteredRepositoryItems* registry = GetEditDataRegisteredRepositoryItems())
        if (TvlEditRepositoryItem* item =
                registry->GetItem(FGridView->DataController()->GetItemValueTypeClass(Index())))
            return item->Properties();
    return &plainTextProperties();
}

void TvlGridColumn::propertiesChanged(TObject*) { FGridView->OptionsChanged(); }

// ================================================================ view

TvlCustomGridView::TvlCustomGridView(TvlGrid* AControl)
    : TComponent(nullptr), FControl(AControl), FDataController(std::make_unique<TvlDataController>(this))
{
}

TvlCustomGridView::~TvlCustomGridView()
{
    Destroying();
    FDataController.reset();
}

void TvlCustomGridView::BeginUpdate()
{
    ++FLockCount;
    FDataController->BeginUpdate();
}

void TvlCustomGridView::EndUpdate()
{
    if (FLockCount == 0)
        return;
    --FLockCount;
    FDataController->EndUpdate();
    if (FLockCount == 0 && FChangedInLock) {
        FChangedInLock = false;
        Changed();
    }
}

void TvlCustomGridView::Changed()
{
    if (FLockCount > 0) {
        FChangedInLock = true;
        return;
    }
    DoChanged();
}

void TvlCustomGridView::UpdateDataControl(TvlUpdateControlInfo* AInfo)
{
    if (dynamic_cast<TvlGroupingChangingInfo*>(AInfo) != nullptr)
        return;
    Changed();
    if (auto* focus = dynamic_cast<TvlFocusedRecordChangedInfo*>(AInfo))
        FocusedRecordChanged(focus->FocusedRowIndex);
}

// ================================================================ table view

TvlCustomGridTableView::TvlCustomGridTableView(TvlGrid* AControl) : TvlCustomGridView(AControl) {}

TvlCustomGridTableView::~TvlCustomGridTableView() = default;

TvlGridColumn* TvlCustomGridTableView::CreateColumn()
{
    FColumns.push_back(std::make_unique<TvlGridColumn>(this));
    TvlGridColumn* column = FColumns.back().get();
    // Until columns carry value types, a cell keeps the variant it was given.
    DataController()->AddItem(column)->SetValueTypeClass(TvlVariantValueType::Instance());
    DataController()->UpdateItemIndexes();
    return column;
}

int TvlCustomGridTableView::IndexOfColumn(const TvlGridColumn* AColumn) const
{
    for (int i = 0; i < ColumnCount(); ++i)
        if (FColumns[size_t(i)].get() == AColumn)
            return i;
    return -1;
}

void TvlCustomGridTableView::OptionsChanged()
{
    DataController()->SetMultiSelect(FOptionsSelection.MultiSelect);
    Changed();
}

void TvlCustomGridTableView::DoChanged()
{
    updateScrollBar();
    Control()->Invalidate();
}

void TvlCustomGridTableView::FocusedRecordChanged(int AFocusedRowIndex) { MakeRecordVisible(AFocusedRowIndex); }

int TvlCustomGridTableView::HeaderHeight() const
{
    if (!FOptionsView.Header)
        return 0;
    return FOptionsView.HeaderHeight > 0 ? FOptionsView.HeaderHeight : fontRowHeight(Control()->Font());
}

int TvlCustomGridTableView::DataRowHeight() const
{
    return FOptionsView.DataRowHeight > 0 ? FOptionsView.DataRowHeight : fontRowHeight(Control()->Font());
}

int TvlCustomGridTableView::VisibleRowCount() const
{
    const TRect cb = Control()->GetClientBounds();
    return std::max(0, (cb.Height() - HeaderHeight()) / DataRowHeight());
}

void TvlCustomGridTableView::SetTopRecordIndex(int Value)
{
    const int maxTop = std::max(0, DataController()->GetRecordCount() - VisibleRowCount());
    Value = std::clamp(Value, 0, maxTop);
    if (Value == FTopRecordIndex)
        return;
    FTopRecordIndex = Value;
    updateScrollBar();
    Control()->Invalidate();
}

void TvlCustomGridTableView::MakeRecordVisible(int ARecordIndex)
{
    if (ARecordIndex < 0)
        return;
    if (ARecordIndex < FTopRecordIndex)
        SetTopRecordIndex(ARecordIndex);
    else if (const int rows = std::max(1, VisibleRowCount()); ARecordIndex >= FTopRecordIndex + rows)
        SetTopRecordIndex(ARecordIndex - rows + 1);
}

void TvlCustomGridTableView::updateScrollBar() { Control()->UpdateScrollBars(); }

void TvlCustomGridTableView::initScrollBarsParameters()
{
    TvlGrid* grid = Control();
    const int count = DataController()->GetRecordCount();
    // A page of the rows that fit: the bar shows while some do not.
    const int rows = std::max(1, VisibleRowCount());
    FTopRecordIndex = std::clamp(FTopRecordIndex, 0, std::max(0, count - rows));
    grid->SetScrollBarInfo(sbHorizontal, 0, -1, 1, 0, 0, true, true);
    grid->SetScrollBarInfo(sbVertical, 0, count - 1, 1, rows, FTopRecordIndex, true, true);
}

std::vector<int> TvlCustomGridTableView::ColumnDrawWidths() const
{
    std::vector<int> widths(FColumns.size(), 0);
    int fixed = 0, sizable = 0;
    for (size_t i = 0; i < FColumns.size(); ++i) {
        const TvlGridColumn* c = FColumns[i].get();
        if (!c->Visible())
            continue;
        widths[i] = c->Width();
        (c->Options().HorzSizing ? sizable : fixed) += c->Width();
    }
    const int available = Control()->GetClientBounds().Width() - fixed;
    if (!FOptionsView.ColumnAutoWidth || sizable <= 0 || available <= 0)
        return widths;
    // Sizable columns share the room in proportion to their widths; the
    // running remainder makes the parts add up to the room exactly.
    int64_t done = 0;
    int given = 0;
    for (size_t i = 0; i < FColumns.size(); ++i) {
        const TvlGridColumn* c = FColumns[i].get();
        if (!c->Visible() || !c->Options().HorzSizing)
            continue;
        done += c->Width();
        const int upTo = int(done * available / sizable);
        widths[i] = std::max(c->MinWidth(), upTo - given);
        given += widths[i];
    }
    return widths;
}

TRect TvlCustomGridTableView::HeaderCellBounds(int AColumnIndex) const
{
    const TRect cb = Control()->GetClientBounds();
    const std::vector<int> widths = ColumnDrawWidths();
    int x = cb.Left;
    for (int i = 0; i < AColumnIndex; ++i)
        x += widths[size_t(i)];
    return Rect(x, cb.Top, x + widths[size_t(AColumnIndex)], cb.Top + HeaderHeight());
}

TRect TvlCustomGridTableView::DataCellBounds(int ARecordIndex, int AColumnIndex) const
{
    TRect r = HeaderCellBounds(AColumnIndex);
    r.Top = r.Bottom + (ARecordIndex - FTopRecordIndex) * DataRowHeight();
    r.Bottom = r.Top + DataRowHeight();
    return r;
}

bool TvlCustomGridTableView::DataCellAt(TPoint P, int& ARecordIndex, int& AColumnIndex) const
{
    const TRect cb = Control()->GetClientBounds();
    const int top = cb.Top + HeaderHeight();
    if (!cb.Contains(P) || P.Y < top)
        return false;
    const int record = FTopRecordIndex + (P.Y - top) / DataRowHeight();
    if (record >= DataController()->GetRecordCount())
        return false;
    const std::vector<int> widths = ColumnDrawWidths();
    int x = cb.Left;
    for (size_t i = 0; i < widths.size(); ++i) {
        if (widths[i] > 0 && P.X >= x && P.X < x + widths[i]) {
            ARecordIndex = record;
            AColumnIndex = int(i);
            return true;
        }
        x += widths[i];
    }
    return false;
}

bool TvlCustomGridTableView::drawSelected(int ARecordIndex) const
{
    if (!DataController()->IsRowSelected(ARecordIndex))
        return false;
    return Control()->IsFocused() || !FOptionsSelection.HideSelection;
}

void TvlCustomGridTableView::Paint(TvlCanvas* ACanvas)
{
    TvlGrid* grid = Control();
    const TvlCustomLookAndFeelPainter* painter = grid->LookAndFeelPainter();
    const TRect cb = grid->GetClientBounds();
    const std::vector<int> widths = ColumnDrawWidths();
    const TColor gridLineColor =
        FOptionsView.GridLineColor == clDefault ? painter->DefaultGridLineColor() : FOptionsView.GridLineColor;
    const bool horzLines = FOptionsView.GridLines == glBoth || FOptionsView.GridLines == glHorizontal;
    const bool vertLines = FOptionsView.GridLines == glBoth || FOptionsView.GridLines == glVertical;
    int right = cb.Left;
    for (int w : widths)
        right += w;

    // Header.
    const int headerHeight = HeaderHeight();
    if (headerHeight > 0) {
        const TvlStyle* hs = FStyles.Header;
        const TFont* headerFont = styleFont(hs, grid->Font());
        const TColor headerColor = styleColor(hs, painter->DefaultHeaderColor());
        // A style's bitmap is tiled under the caption in place of the colour.
        const TBitmap* headerBitmap = styleBitmap(hs);
        const TvlDrawBackgroundEvent headerBackground =
            headerBitmap == nullptr ? TvlDrawBackgroundEvent()
                                    : TvlDrawBackgroundEvent::FromFunction([headerBitmap](TvlCanvas* c, const TRect& r) {
                                          c->FillRect(r, headerBitmap);
                                          return true;
                                      });
        int lastShown = -1;
        for (int i = 0; i < ColumnCount(); ++i)
            if (widths[size_t(i)] != 0)
                lastShown = i;
        for (int i = 0; i < ColumnCount(); ++i) {
            if (widths[size_t(i)] == 0)
                continue;
            const TRect r = HeaderCellBounds(i);
            TvlBorders neighbors;
            if (r.Left > cb.Left)
                neighbors += TvlBorders{bLeft};
            if (i != lastShown || right < cb.Right)
                neighbors += TvlBorders{bRight};
            TRect text;
            painter->GetHeaderContentBounds(r, vlBordersAll, text);
            InflateRect(text, -3, -1);
            painter->DrawHeader(ACanvas, r, text, neighbors, vlBordersAll, vlbsNormal, Columns(i)->HeaderAlignmentHorz(),
                                vaCenter, false, true, Columns(i)->Caption(), headerFont,
                                styleTextColor(hs, painter->DefaultHeaderTextColor()), headerColor, headerBackground);
        }
        if (right < cb.Right)
            painter->DrawHeader(ACanvas, Rect(right, cb.Top, cb.Right, cb.Top + headerHeight), {},
                                right > cb.Left ? TvlBorders{bLeft} : TvlBorders{}, vlBordersAll, vlbsNormal,
                                taLeftJustify, vaCenter, false, false, String(), headerFont, clBtnText, headerColor,
                                headerBackground);
    }

    // Rows. Each column's cells are measured by a view data of the column's
    // properties in a cell style (a plain record of the row's colours and
    // font) and painted by one view info.
    TvlEditStyle cellStyle(nullptr, csNormal, nullptr, true);
    cellStyle.LookAndFeel()->SetMasterLookAndFeel(grid->LookAndFeel());
    // The grid shows no edit buttons in its cells.
    cellStyle.SetButtonTransparency(ebtHideInactive);
    struct TCellPainter {
        std::unique_ptr<TvlCustomEditViewData> Data;
        std::unique_ptr<TvlCustomEditViewInfo> Info;
    };
    std::vector<TCellPainter> cellPainters(static_cast<size_t>(ColumnCount()));
    for (int i = 0; i < ColumnCount(); ++i) {
        if (widths[size_t(i)] == 0)
            continue;
        const TvlCustomEditProperties* properties = Columns(i)->GetProperties();
        cellPainters[size_t(i)] = {properties->CreateViewData(&cellStyle, true), properties->CreateViewInfo()};
        // Cell text keeps two pixels from the cell's sides.
        cellPainters[size_t(i)].Data->ContentOffset = Rect(2, 0, 2, 0);
    }
    const int rowHeight = DataRowHeight();
    const int count = DataController()->GetRecordCount();
    int y = cb.Top + headerHeight;
    for (int record = FTopRecordIndex; record < count && y < cb.Bottom; ++record, y += rowHeight) {
        const bool selected = drawSelected(record);
        const TvlStyle* style = selected ? FStyles.Selection : FStyles.Content;
        const TColor bk = styleColor(style, selected ? painter->DefaultSelectionColor() : painter->DefaultContentColor());
        const TColor fg = styleTextColor(style, selected ? painter->DefaultSelectionTextColor()
                                                         : painter->DefaultContentTextColor());
        cellStyle.SetColor(bk);
        cellStyle.SetTextColor(fg);
        cellStyle.SetFont(styleFont(style, grid->Font()));
        int x = cb.Left;
        for (int i = 0; i < ColumnCount(); ++i) {
            const int w = widths[size_t(i)];
            if (w == 0)
                continue;
            TRect cell = Rect(x, y, x + w, y + rowHeight);
            x += w;
            if (vertLines) {
                ACanvas->FillRectByColor(Rect(cell.Right - 1, cell.Top, cell.Right, cell.Bottom), gridLineColor);
                --cell.Right;
            }
            if (horzLines) {
                ACanvas->FillRectByColor(Rect(cell.Left, cell.Bottom - 1, cell.Right + (vertLines ? 1 : 0), cell.Bottom),
                                         gridLineColor);
                --cell.Bottom;
            }
            TCellPainter& painter = cellPainters[size_t(i)];
            TvlCustomEditViewInfo* info = painter.Info.get();
            // The value first: the layout of some editors depends on it.
            info->Value = DataController()->GetValue(record, i);
            painter.Data->EditValueToDrawValue(info->Value, info);
            painter.Data->Calculate(ACanvas, cell, TPoint{-1, -1}, cxmbNone, TShiftState{}, info, false);
            info->ShowEndEllipsis = FOptionsView.CellEndEllipsis;
            info->Paint(ACanvas);
        }
        if (right < cb.Right)
            ACanvas->FillRectByColor(Rect(right, y, cb.Right, y + rowHeight),
                                     styleColor(FStyles.Background, painter->DefaultContentColor()));
        if (FOptionsView.FocusRect && grid->IsFocused() && record == DataController()->GetFocusedRecordIndex())
            ACanvas->DrawFocusRect(Rect(cb.Left, y, right, y + rowHeight - (horzLines ? 1 : 0)));
    }

    // Below the rows.
    if (y < cb.Bottom) {
        const TRect rest = Rect(cb.Left, y, cb.Right, cb.Bottom);
        ACanvas->SetBrushColor(styleColor(FStyles.Background, painter->DefaultContentColor()));
        ACanvas->FillRect(rest, styleBitmap(FStyles.Background));
        if (count == 0) {
            ACanvas->SetFont(grid->Font());
            TRect info = Rect(cb.Left, y, cb.Right, y + rowHeight);
            DrawTextOnCanvas(ACanvas->Canvas(), FOptionsView.NoDataToDisplayInfoText, info,
                             DT_SINGLELINE | DT_NOPREFIX | DT_CENTER | DT_VCENTER,
                             styleTextColor(FStyles.Background, clWindowText));
        }
    }
}

void TvlCustomGridTableView::focusRecord(int ARecordIndex)
{
    if (ARecordIndex < 0 || ARecordIndex >= DataController()->GetRecordCount())
        return;
    DataController()->ChangeFocusedRowIndex(ARecordIndex);
    MakeRecordVisible(ARecordIndex);
}

void TvlCustomGridTableView::mouseDown(TMouseButton AButton, TShiftState AShift, TPoint P)
{
    int record = -1, column = -1;
    if (!DataCellAt(P, record, column))
        return;
    if (AButton == mbLeft || AButton == mbRight) {
        if (DataController()->MultiSelect() && AButton == mbLeft) {
            if (AShift.Contains(ssCtrl)) {
                DataController()->ChangeRowSelection(record, !DataController()->IsRowSelected(record));
            } else {
                DataController()->BeginUpdate();
                DataController()->ClearSelection();
                DataController()->ChangeRowSelection(record, true);
                DataController()->EndUpdate();
            }
        } else if (DataController()->MultiSelect() && !DataController()->IsRowSelected(record)) {
            DataController()->ClearSelection();
            DataController()->ChangeRowSelection(record, true);
        }
        focusRecord(record);
    }
    if (AButton == mbLeft && AShift.Contains(ssDouble) && OnCellDblClick) {
        TvlGridTableDataCellViewInfo info;
        info.RecordIndex = record;
        info.Item = Columns(column);
        info.Bounds = DataCellBounds(record, column);
        info.Value = DataController()->GetValue(record, column);
        bool handled = false;
        OnCellDblClick(this, &info, AButton, AShift, handled);
    }
}

void TvlCustomGridTableView::mouseUp(TMouseButton AButton, TShiftState, TPoint P)
{
    if (AButton != mbRight || PopupMenu() == nullptr)
        return;
    const TPoint s = Control()->ClientToScreen(P);
    PopupMenu()->SetPopupComponent(Control());
    PopupMenu()->Popup(s.X, s.Y);
}

bool TvlCustomGridTableView::keyDown(uint16_t AKey, TShiftState)
{
    const int count = DataController()->GetRecordCount();
    if (count == 0)
        return false;
    const int focused = DataController()->GetFocusedRecordIndex();
    const int page = std::max(1, VisibleRowCount());
    int target = focused;
    switch (AKey) {
    case VK_UP: target = focused < 0 ? 0 : focused - 1; break;
    case VK_DOWN: target = focused + 1; break;
    case VK_HOME: target = 0; break;
    case VK_END: target = count - 1; break;
    case VK_PRIOR: target = focused - page; break;
    case VK_NEXT: target = focused + page; break;
    default: return false;
    }
    focusRecord(std::clamp(target, 0, count - 1));
    return true;
}

void TvlCustomGridTableView::scrolled(TScrollCode AScrollCode, int APos)
{
    const int page = std::max(1, VisibleRowCount());
    switch (AScrollCode) {
    case scLineUp: SetTopRecordIndex(FTopRecordIndex - 1); break;
    case scLineDown: SetTopRecordIndex(FTopRecordIndex + 1); break;
    case scPageUp: SetTopRecordIndex(FTopRecordIndex - page); break;
    case scPageDown: SetTopRecordIndex(FTopRecordIndex + page); break;
    case scTrack: case scPosition: SetTopRecordIndex(APos); break;
    case scTop: SetTopRecordIndex(0); break;
    case scBottom: SetTopRecordIndex(DataController()->GetRecordCount()); break;
    case scEndScroll: break;
    }
}

// ================================================================ level

TvlGridLevel::TvlGridLevel(TvlGrid* AControl) : TComponent(nullptr), FControl(AControl) {}
TvlGridLevel::~TvlGridLevel() = default;

void TvlGridLevel::SetGridView(TvlCustomGridView* Value)
{
    if (Value == FGridView)
        return;
    FGridView = Value;
    FControl->LayoutChanged();
}

// ================================================================ grid

TvlGrid::TvlGrid(TComponent* AOwner) : TvlControl(AOwner)
{
    SetColor(clWindow);
    SetBorderStyle(vlcbsDefault);
}

TvlGrid::~TvlGrid()
{
    // Levels point at views; both go before the control's own parts.
    FLevels.clear();
    FViews.clear();
}

TvlGridTableView* TvlGrid::CreateTableView()
{
    auto view = std::make_unique<TvlGridTableView>(this);
    TvlGridTableView* result = view.get();
    FViews.push_back(std::move(view));
    return result;
}

TvlGridLevel* TvlGrid::AddLevel()
{
    FLevels.push_back(std::make_unique<TvlGridLevel>(this));
    return FLevels.back().get();
}

TvlCustomGridView* TvlGrid::ActiveView() const
{
    return FLevels.empty() ? nullptr : FLevels.front()->GridView();
}

TvlCustomGridTableView* TvlGrid::activeTableView() const
{
    return dynamic_cast<TvlCustomGridTableView*>(ActiveView());
}

void TvlGrid::LayoutChanged()
{
    if (TvlCustomGridTableView* view = activeTableView())
        view->updateScrollBar();
    Invalidate();
}

void TvlGrid::BoundsChanged(bool Moved, bool Resized)
{
    TvlControl::BoundsChanged(Moved, Resized);
    if (Resized)
        LayoutChanged();
}

void TvlGrid::InitScrollBarsParameters()
{
    if (TvlCustomGridTableView* view = activeTableView())
        view->initScrollBarsParameters();
}

void TvlGrid::Paint()
{
    TvlControl::Paint();
    TvlCustomGridTableView* view = activeTableView();
    if (view != nullptr && view->IsUpdateLocked())
        return;  // the last picture stays until EndUpdate repaints
    if (view == nullptr) {
        Canvas()->FillRectByColor(GetClientBounds(), Color());
        return;
    }
    view->Paint(Canvas());
}

void TvlGrid::Dispatch(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_SETFOCUS: case WM_KILLFOCUS:
        TvlControl::Dispatch(Message);
        Invalidate();
        return;
    default:
        TvlControl::Dispatch(Message);
        return;
    }
}

void TvlGrid::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (CanFocus() && !Focused())
        SetFocus();
    if (TvlCustomGridTableView* view = activeTableView())
        view->mouseDown(Button, Shift, Point(X, Y));
    TvlControl::MouseDown(Button, Shift, X, Y);
}

void TvlGrid::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TvlControl::MouseUp(Button, Shift, X, Y);
    if (TvlCustomGridTableView* view = activeTableView())
        view->mouseUp(Button, Shift, Point(X, Y));
}

void TvlGrid::KeyDown(uint16_t& Key, TShiftState Shift)
{
    TvlControl::KeyDown(Key, Shift);
    if (Key == 0)
        return;
    if (TvlCustomGridTableView* view = activeTableView(); view != nullptr && view->keyDown(Key, Shift))
        Key = 0;
}

bool TvlGrid::WantsKey(uint16_t Key) const
{
    switch (Key) {
    case VK_UP: case VK_DOWN: case VK_HOME: case VK_END: case VK_PRIOR: case VK_NEXT: return true;
    default: return false;
    }
}

void TvlGrid::Scroll(TScrollBarKind AScrollBarKind, TScrollCode AScrollCode, int& AScrollPos)
{
    if (AScrollBarKind != sbVertical)
        return;
    if (TvlCustomGridTableView* view = activeTableView())
        view->scrolled(AScrollCode, AScrollPos);
}

}  // namespace vlslice
