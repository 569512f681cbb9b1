// vlEditActivation.cpp - the editor control in a grid cell and on a form:
// in-place activation by key and mouse, the double-click timer, buttons
// under the mouse, view info refresh and painting, the inner edit window,
// auto size and anchors, hints, accelerators and clipboard messages.
#include <QApplication>
#include <QWidget>

#include "platform/controls/Forms.h"
#include "ui/editors/vlEdit.h"
#include "ui/editors/vlEditScopes.h"
#include "ui/foundation/vlGraphics.h"

namespace {

bool isLeftDown() { return QApplication::mouseButtons().testFlag(Qt::LeftButton); }

// Accelerator character of a caption ('&x'), lower-cased; 0 when none.
QChar acceleratorOf(const String& ACaption)
{
    for (int i = 0; i + 1 < ACaption.size(); ++i) {
        if (ACaption[i] != QChar('&'))
            continue;
        if (ACaption[i + 1] == QChar('&')) {
            ++i;
            continue;
        }
        return ACaption[i + 1].toLower();
    }
    return QChar(0);
}

}  // namespace

// ------------------------------------------------------------ in place

void TvlCustomEdit::applyEditData()
{
    if (FEditData == nullptr || !FEditData->Cleared())
        return;
    InitializeEditData();
    FEditData->SetCleared(false);
}

void TvlCustomEdit::Activate(TvlCustomEditData*& AEditData)
{
    if (AEditData == nullptr) {
        if (TvlEditDataClass dataClass = GetEditDataClass()) {
            // The caller (the grid's column) keeps what it is handed.
            AEditData = dataClass(this).release();
        }
    }
    FEditData = AEditData;
    if (FEditData != nullptr) {
        FEditData->FEdit = this;
        applyEditData();
    }
    SetVisible(true);
    if (HandleAllocated() && CanFocus()) {
        SetFocus();
        if (ActiveProperties()->AutoSelect())
            SelectAll();
    }
    SynchronizeDisplayValue();
    SetEditModified(false);
    FActivated = true;
}

void TvlCustomEdit::ActivateByKey(QChar AKey, TvlCustomEditData*& AEditData)
{
    LockInnerEditRepainting();
    try {
        Activate(AEditData);
        if (CanSendActivationKey(AKey)) {
            // The key goes where the typing goes: the inner edit when there
            // is one.
            TWinControl* target = FInnerEdit != nullptr ? FInnerEdit->GetControl() : this;
            SendCharMessage(target, AKey);
        }
    } catch (...) {
        UnlockInnerEditRepainting();
        throw;
    }
    UnlockInnerEditRepainting();
}

void TvlCustomEdit::ActivateByMouse(TShiftState AShift, int AX, int AY, TvlCustomEditData*& AEditData)
{
    Activate(AEditData);
    TPoint p{AX - Left(), AY - Top()};
    if (Parent() == nullptr)
        p = TPoint{AX, AY};
    if (AShift.Contains(ssLeft)) {
        SendMouseMessage(this, WM_MOUSEMOVE, TShiftState{}, p);
        SendMouseMessage(this, WM_LBUTTONDOWN, AShift, p);
        // The real press went to the grid: the editor takes the mouse so
        // that the real release comes here. When the button is up already,
        // the release is replayed at once, so that no press stays without
        // its release and no capture is left behind.
        if (isLeftDown())
            SetMouseCapture(this, true);
        else {
            SendMouseMessage(this, WM_LBUTTONUP, AShift - TShiftState{ssLeft}, p);
            if (HasMouseCapture(this))
                SetMouseCapture(this, false);
        }
    } else {
        SendMouseMessage(this, WM_LBUTTONUP, AShift, p);
    }
    FDblClickTimer->SetEnabled(true);
}

bool TvlCustomEdit::Deactivate()
{
    FDblClickTimer->SetEnabled(false);
    FUserAction = false;
    const bool result = ValidateEdit(true);
    if (result) {
        SynchronizeDisplayValue();
        FValidated = true;
    }
    return result;
}

// ------------------------------------------------------------ mouse and buttons

int TvlCustomEdit::ButtonVisibleIndexAt(const TPoint& P) const
{
    const auto& buttons = EditViewInfo()->ButtonsInfo;
    for (size_t i = 0; i < buttons.size(); ++i)
        if (buttons[i]->Bounds.Contains(P))
            return int(i);
    return -1;
}

void TvlCustomEdit::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (Button == mbLeft && FDblClickTimer->Enabled()) {
        FDblClickTimer->SetEnabled(false);
        if (ButtonVisibleIndexAt(TPoint{X, Y}) == -1) {
            DblClick();
            return;
        }
    }
    // The pressed look of a button lasts while the press that began on it
    // is held.
    if (Button == mbLeft && ButtonVisibleIndexAt(TPoint{X, Y}) >= 0)
        FMouseButtonPressed |= 1;
    TvlContainer::MouseDown(Button, Shift, X, Y);
    if (Button == mbLeft) {
        const int index = ButtonVisibleIndexAt(TPoint{X, Y});
        if (index >= 0 && EditViewInfo()->ButtonsInfo[size_t(index)]->Data.State == bdsPressed)
            FCaptureButtonVisibleIndex = index;
    }
}

void TvlCustomEdit::DblClick()
{
    TPoint p = HandleAllocated() ? ScreenToClient(Mouse->CursorPos()) : TPoint{-1, -1};
    const int index = ButtonVisibleIndexAt(p);
    if (index >= 0) {
        MouseDown(mbLeft, InternalGetShiftState() + TShiftState{ssLeft}, p.X, p.Y);
        Click();
        return;
    }
    TvlContainer::DblClick();
}

void TvlCustomEdit::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (Button == mbLeft)
        FMouseButtonPressed &= ~1;
    TvlContainer::MouseUp(Button, Shift, X, Y);
    if (Button == mbLeft && HasMouseCapture(this))
        SetMouseCapture(this, false);
}

bool TvlCustomEdit::RefreshContainer(const TPoint& P, TvlMouseButton Button, TShiftState Shift, bool IsMouseEvent)
{
    // The toolkit's implicit grab keeps the mouse with the editor while the
    // press that began on it is held: that stands for holding the capture.
    if (!HasMouseCapture(this) && !Shift.Contains(ssLeft))
        FCaptureButtonVisibleIndex = -1;
    TvlCustomEditViewInfo* vi = EditViewInfo();
    // A mouse event repaints only what it changed.
    std::unique_ptr<TvlCustomEditViewInfo> old;
    if (IsMouseEvent) {
        old = ActiveProperties()->CreateViewInfo();
        old->Assign(vi);
        old->HasBackground = vi->HasBackground;
    }
    vi->SaveButtonsState();
    CalculateEditViewInfo(P, Button, Shift, IsMouseEvent);
    TRect innerEditRect;
    if (FInnerEdit != nullptr && IsTextEditable())
        innerEditRect = FInnerEdit->GetControl()->BoundsRect();
    const bool changed = vi->RepaintExceptInnerEdit(this, innerEditRect, old.get());
    if (changed || !IsMouseEvent) {
        AdjustInnerControlBounds();
        AdjustInnerControl();
        CalculateEditViewInfo(P, Button, Shift, IsMouseEvent);
        UpdateWindowRegion();
    }
    return true;
}

void TvlCustomEdit::CalculateViewInfo(const TPoint& P, bool AIsMouseEvent)
{
    CalculateEditViewInfo(P, cxmbNone, InternalGetShiftState(), AIsMouseEvent);
}

void TvlCustomEdit::CalculateEditViewInfo(const TPoint& P, TvlMouseButton AButton, TShiftState AShift,
                                          bool AIsMouseEvent)
{
    std::unique_ptr<TvlCustomEditViewData> viewData = CreateViewData();
    TvlCustomEditViewInfo* vi = EditViewInfo();
    vi->Edit = this;
    viewData->Calculate(Canvas(), TRect{0, 0, Width(), Height()}, P, AButton, AShift, vi, AIsMouseEvent);
}

void TvlCustomEdit::CalculateViewInfoAtCursor()
{
    const TPoint p = HandleAllocated() ? ScreenToClient(Mouse->CursorPos()) : TPoint{-1, -1};
    CalculateEditViewInfo(p, cxmbNone, InternalGetShiftState(), false);
}

void TvlCustomEdit::ProcessViewInfoChanges()
{
    TvlCustomEditViewInfo* vi = EditViewInfo();
    if (vi->PressedButton == vi->LastPressedButton && vi->SelectedButton == vi->LastSelectedButton)
        return;
    const int lastPressed = vi->LastPressedButton;
    const int pressed = vi->PressedButton;
    const int selected = vi->SelectedButton;
    vi->LastPressedButton = pressed;
    vi->LastSelectedButton = selected;
    if (lastPressed != -1 && pressed != lastPressed) {
        DoButtonUp(lastPressed);
        if (lastPressed == selected)
            DoButtonClick(lastPressed);
    }
    if (pressed != -1 && lastPressed == -1)
        DoButtonDown(pressed);
}

bool TvlCustomEdit::CanProcessMouseWheel(TShiftState AShift) const
{
    return !FIsInplace || ActiveProperties()->AllowMouseWheel() || AShift.Contains(ssCtrl);
}

void TvlCustomEdit::handleHint(TMessage& Message)
{
    auto* info = reinterpret_cast<THintInfo*>(Message.LParam);
    if (info == nullptr)
        return;
    const TvlCustomEditViewInfo* vi = EditViewInfo();
    const int part = vi->GetPart(info->CursorPos);
    if (part == -2) {
        Message.Result = 1;
        return;
    }
    String hint;
    if (part >= 0 && size_t(part) < vi->ButtonsInfo.size())
        hint = vi->ButtonsInfo[size_t(part)]->Data.Hint;
    if (hint.isEmpty() && ShowHint())
        hint = Hint();
    info->HintStr = hint.section(QChar('|'), 0, 0);
    info->CursorRect = vi->GetPartRect(part);
    if (info->HintStr.isEmpty())
        Message.Result = 1;
}

bool TvlCustomEdit::handleDialogChar(TMessage& Message)
{
    const QChar key = QChar(char16_t(Message.WParam)).toLower();
    const TvlCustomEditViewInfo* vi = EditViewInfo();
    const TvlEditButtons* buttons = ActiveProperties()->Buttons();
    for (size_t i = 0; i < vi->ButtonsInfo.size(); ++i) {
        const int index = vi->ButtonsInfo[i]->Index;
        if (index < 0 || index >= buttons->Count())
            continue;
        const TvlEditButton* button = buttons->Items(index);
        if (button->Enabled() && button->Kind() == bkText && acceleratorOf(button->Caption()) == key) {
            DoButtonClick(int(i));
            Message.Result = 1;
            return true;
        }
    }
    return false;
}

void TvlCustomEdit::handleClipboard(TMessage& Message)
{
    const bool noData = IsEditReadOnly() || !FDataBinding->GetIsDataAvailable();
    switch (Message.Msg) {
    case WM_CUT: {
        const TUserActionScope userAction(this);
        if (noData)
            CopyToClipboard();
        else
            CutToClipboard();
        break;
    }
    case WM_COPY:
        CopyToClipboard();
        break;
    case WM_PASTE:
        if (!noData) {
            const TUserActionScope userAction(this);
            PasteFromClipboard();
        }
        break;
    default:
        break;
    }
}

void TvlCustomEdit::Dispatch(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_CUT: case WM_COPY: case WM_PASTE:
        handleClipboard(Message);
        return;
    case CM_HINTSHOW:
        handleHint(Message);
        return;
    case CM_DIALOGCHAR:
        if (handleDialogChar(Message))
            return;
        break;
    case WM_CONTEXTMENU:
        // The editor's own window shows the menu, also for a request that
        // came from the inner control.
        if (reinterpret_cast<HWND>(Message.WParam) != nullptr && HandleAllocated()
            && reinterpret_cast<HWND>(Message.WParam) != Handle()) {
            if (CanFocus() && !Focused())
                SetFocus();
            Message.WParam = reinterpret_cast<WPARAM>(Handle());
        }
        break;
    default:
        break;
    }
    TvlContainer::Dispatch(Message);
}

bool TvlCustomEdit::DoInnerControlDefaultHandler(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_CUT: {
        const TUserActionScope userAction(this);
        if (FInnerEdit != nullptr && FInnerEdit->GetReadOnly())
            return true;
        if (DoEditing())
            return false;  // the inner edit cuts
        FInnerEdit->CallDefWndProc(WM_COPY, 0, 0);
        return true;
    }
    case WM_PASTE: case WM_UNDO: {
        // Undoing is editing too: it must not bring back text the editor
        // would refuse.
        const TUserActionScope userAction(this);
        return (FInnerEdit != nullptr && FInnerEdit->GetReadOnly()) || !DoEditing();
    }
    case WM_CLEAR: {
        const TUserActionScope userAction(this);
        DoEditing();
        return false;
    }
    default:
        return false;
    }
}

// ------------------------------------------------------------ inner edit

void TvlCustomEdit::InitializeInnerEdit()
{
    FInnerEdit->SetParent(this);
    if (ActiveProperties()->UsesInnerEditChangeEvent())
        FInnerEdit->SetOnChange(TNotifyEvent(this, &TvlCustomEdit::ChangeHandler));
    FInnerEdit->GetControl()->SetShowHint(false);
}

void TvlCustomEdit::FocusInnerControl()
{
    if (FInnerEdit != nullptr && FInnerEdit->GetControl()->CanFocus())
        FInnerEdit->SafelySetFocus();
}

bool TvlCustomEdit::IsInnerEditPending() const
{
    return ComponentState().Contains(csDestroying) || (GetInnerEditClass() && FInnerEdit == nullptr);
}

void TvlCustomEdit::UpdateInnerEditReadOnly()
{
    if (!IsInnerEditPending() && FInnerEdit != nullptr)
        FInnerEdit->SetReadOnly(IsEditReadOnly());
}

void TvlCustomEdit::AdjustInnerEditPosition()
{
    if (FInnerEdit == nullptr)
        return;
    FInnerEdit->GetControl()->SetBoundsRect(EditViewInfo()->ClientRect);
    TvlContainer::AdjustInnerControlBounds();
}

// The inner edit stops painting while locked: an activation that types a
// key does not show the old text for a moment.
void TvlCustomEdit::LockInnerEditRepainting()
{
    if (FInnerEdit == nullptr || FInnerRepaintLocked)
        return;
    FInnerRepaintLocked = true;
    if (FInnerEdit->GetControl()->HandleAllocated())
        FInnerEdit->GetControl()->Widget()->setUpdatesEnabled(false);
}

void TvlCustomEdit::UnlockInnerEditRepainting()
{
    if (!FInnerRepaintLocked)
        return;
    FInnerRepaintLocked = false;
    if (FInnerEdit != nullptr && FInnerEdit->GetControl()->HandleAllocated())
        FInnerEdit->GetControl()->Widget()->setUpdatesEnabled(true);
}

// ------------------------------------------------------------ layout

bool TvlCustomEdit::IsAutoSizeActive() const { return !FIsInplace && FAutoSize; }

bool TvlCustomEdit::CanAutoWidth() const { return ActiveProperties()->ButtonsLayout() == eblButtonsAutoWidth; }

namespace {

bool autoWidthApplies(const TvlCustomEdit* AEdit)
{
    const TAlign align = AEdit->Align();
    return AEdit->IsAutoSizeActive() && AEdit->CanAutoWidth()
           && (align == alNone || align == alLeft || align == alRight);
}

bool autoHeightApplies(const TvlCustomEdit* AEdit)
{
    const TAlign align = AEdit->Align();
    return AEdit->IsAutoSizeActive() && (align == alNone || align == alTop || align == alBottom);
}

}  // namespace

void TvlCustomEdit::GetEditSizeProperties(TvlEditSizeProperties& AMeasureParams) const
{
    AMeasureParams = TvlEditSizeProperties{};
    AMeasureParams.MaxLineCount = 1;
    AMeasureParams.Width = autoWidthApplies(this) && !IsHeightDependOnWidth() ? std::numeric_limits<int>::max()
                                                                                : Width();
}

TSize TvlCustomEdit::CalculateEditSize()
{
    TvlEditSizeProperties sizeProperties;
    GetEditSizeProperties(sizeProperties);
    TvlEditMeasureParams params;
    params.MaxHeight = sizeProperties.Height;
    params.MaxLineCount = sizeProperties.MaxLineCount;
    params.MaxWidth = sizeProperties.Width;
    std::unique_ptr<TvlCustomEditViewData> viewData = CreateViewData();
    std::unique_ptr<TvlCustomEditViewInfo> viewInfo = ActiveProperties()->CreateViewInfo();
    TSize size{Width(), Height()};
    viewData->GetEditSize(GetScreenCanvas(), FEditValue, params, size, viewInfo.get());
    TSize result{Width(), Height()};
    if (autoWidthApplies(this))
        result.cx = size.cx;
    if (autoHeightApplies(this))
        result.cy = size.cy;
    return result;
}

void TvlCustomEdit::SetAutoSize(bool Value)
{
    if (FIsInplace || Value == FAutoSize)
        return;
    FAutoSize = Value;
    AutoSizeChanged();
    if (Value) {
        HandleNeeded();
        AdjustInnerControlBounds();
        ShortRefreshContainer(false);
    }
}

void TvlCustomEdit::SetBounds(int ALeft, int ATop, int AWidth, int AHeight)
{
    // Under auto size the measured extent wins over a requested one.
    if (FInitialized && IsAutoSizeActive() && !ComponentState().Contains(csLoading)
        && !ComponentState().Contains(csDestroying) && !FInternalSetting) {
        const int savedWidth = Width(), savedHeight = Height();
        (void)savedWidth; (void)savedHeight;
        TvlContainer::SetBounds(ALeft, ATop, AWidth, AHeight);
        AdjustInnerControlBounds();
        return;
    }
    TvlContainer::SetBounds(ALeft, ATop, AWidth, AHeight);
}

void TvlCustomEdit::AdjustInnerControlBounds()
{
    if (!FInitialized || ComponentState().Contains(csDestroying)) {
        TvlContainer::AdjustInnerControlBounds();
        return;
    }
    if (IsAutoSizeActive() && !FInternalSetting) {
        const TSize size = CalculateEditSize();
        int left = Left(), top = Top();
        if (UseAnchors() && autoWidthApplies(this) && !IsHeightDependOnWidth()) {
            CalculateAnchors();
            if (UseAnchorX() && FAnchorX != std::numeric_limits<int>::max())
                left = FAnchorX - size.cx;
            if (UseAnchorY() && FAnchorY != std::numeric_limits<int>::max())
                top = FAnchorY - size.cy;
        }
        if (size.cx != Width() || size.cy != Height() || left != Left() || top != Top()) {
            const TvlEditRestore<bool> setting(FInternalSetting, true);
            TvlContainer::SetBounds(left, top, size.cx, size.cy);
        }
    }
    if (FInnerEdit != nullptr)
        AdjustInnerEditPosition();
    else
        TvlContainer::AdjustInnerControlBounds();
}

void TvlCustomEdit::CalculateAnchors()
{
    if (ComponentState().Contains(csLoading) || ComponentState().Contains(csReading) || !UseAnchors())
        return;
    const TvlCustomEditProperties* properties = ActiveProperties();
    const TAlignment horz = properties->Alignment()->Horz();
    FAnchorX = horz == taCenter ? Left() + Width() / 2 + Width() % 2 : Left() + Width();
    const TvlEditVertAlignment vert = properties->Alignment()->Vert();
    FAnchorY = vert == taVCenter ? Top() + Height() / 2 + Height() % 2 : Top() + Height();
}

// A stored anchor places the measured editor when it is read.
void TvlCustomEdit::SetAnchorX(int Value)
{
    FAnchorX = Value;
    AdjustInnerControlBounds();
}

void TvlCustomEdit::SetAnchorY(int Value)
{
    FAnchorY = Value;
    AdjustInnerControlBounds();
}

void TvlCustomEdit::GetBorderExtent(TRect& R)
{
    const TvlCustomEditViewInfo* vi = EditViewInfo();
    R = TRect{vi->ClientRect.Left - vi->Bounds.Left, vi->ClientRect.Top - vi->Bounds.Top,
              vi->Bounds.Right - vi->ClientRect.Right, vi->Bounds.Bottom - vi->ClientRect.Bottom};
}

// ------------------------------------------------------------ painting and state

std::unique_ptr<TvlCustomEditViewData> TvlCustomEdit::CreateViewData()
{
    auto* style = static_cast<TvlCustomEditStyle*>(GetActiveStyle());
    std::unique_ptr<TvlCustomEditViewData> viewData = ActiveProperties()->CreateViewData(style, FIsInplace);
    viewData->Edit = IsInnerEditPending() ? nullptr : this;
    if (HandleAllocated())
        viewData->WindowHandle = Handle();
    InitializeViewData(viewData.get());
    return viewData;
}

void TvlCustomEdit::InitializeViewData(TvlCustomEditViewData* AViewData)
{
    AViewData->Enabled = Enabled();
    AViewData->Focused = Focused();
    AViewData->HScrollBar = IsHScrollBarVisible() ? HScrollBar() : nullptr;
    AViewData->VScrollBar = IsVScrollBarVisible() ? VScrollBar() : nullptr;
    AViewData->InnerEdit = FInnerEdit;
    AViewData->IsDesigning = ComponentState().Contains(csDesigning);
}

TvlEditStateColorKind TvlCustomEdit::GetEditStateColorKind() const
{
    const TvlEditStateColorKind kind = TvlContainer::GetEditStateColorKind();
    if (IsEditReadOnly() && !EditViewInfo()->ContainerState.Contains(csNormal))
        return TvlEditStateColorKind(3);
    return kind;
}

void TvlCustomEdit::SetTransparent(bool Value)
{
    if (Value == FTransparent)
        return;
    FTransparent = Value;
    if (Value)
        FControlStyle.Exclude(csOpaque);
    else
        FControlStyle.Include(csOpaque);
    ShortRefreshContainer(false);
}

void TvlCustomEdit::Loaded()
{
    LockChangeEvents(true);
    LockClick(true);
    try {
        TvlContainer::Loaded();
        FDataBinding->RefreshUnboundDisplay();
        ShortRefreshContainer(false);
        if (FRepositoryItem == nullptr)
            attachPropertiesHandler(true);
        PropertiesChanged(ActiveProperties());
        EditViewInfo()->Shadow = false;
        ContainerStyleChanged(GetStyle());
    } catch (...) {
        LockClick(false);
        LockChangeEvents(false);
        throw;
    }
    LockClick(false);
    LockChangeEvents(false);
}

// ------------------------------------------------------------ data-aware painting

bool TvlCustomEdit::IsDBEdit() const { return FDataBinding != nullptr && FDataBinding->IsDataAware(); }

bool TvlCustomEdit::IsDBEditPaintCopyDrawing() const
{
    return IsDBEdit() && ControlState().Contains(csPaintCopy);
}

void TvlCustomEdit::Paint()
{
    if (IsDBEditPaintCopyDrawing())
        PaintCopyDraw();
    else
        TvlContainer::Paint();
}

void TvlCustomEdit::PaintCopyDraw()
{
    ClipToShadowRegion();
    std::unique_ptr<TvlCustomEditViewInfo> viewInfo = ActiveProperties()->CreateViewInfo();
    viewInfo->Edit = this;
    std::unique_ptr<TvlCustomEditViewData> viewData = CreateViewData();
    Variant stored;
    FDataBinding->ReadStoredValue(stored);
    viewData->EditValueToDrawValue(stored, viewInfo.get());
    const TRect bounds = GetControlRect(this);
    viewData->Calculate(Canvas(), bounds, TPoint{-1, -1}, cxmbNone, TShiftState{}, viewInfo.get(), false);
    viewInfo->Paint(Canvas());
    Canvas()->ExcludeClipRect(bounds);
}

// ------------------------------------------------------------ streaming and the control tree

void TvlCustomEdit::Loading()
{
    // Properties read from the stream report nothing; Loaded applies them
    // once.
    if (FProperties)
        attachPropertiesHandler(false);
    TvlContainer::Loading();
}

void TvlCustomEdit::SetParent(TWinControl* AParent)
{
    if (AParent != nullptr && FIsFirstSetParent && FInitialized) {
        FIsFirstSetParent = false;
        FDataBinding->RefreshUnboundDisplay();
        PropertiesChanged(FProperties.get());
        FDataBinding->RefreshDisplay();
    }
    TvlContainer::SetParent(AParent);
}

void TvlCustomEdit::SetName(const String& NewName)
{
    TvlContainer::SetName(NewName);
    if (FDataBinding)
        FDataBinding->RefreshUnboundDisplay();
}

void TvlCustomEdit::RequestAlign()
{
    TvlContainer::RequestAlign();
    if (FInitialized)
        ShortRefreshContainer(false);
}

void TvlCustomEdit::GetTabOrderList(std::vector<TWinControl*>& List) const
{
    TvlContainer::GetTabOrderList(List);
    if (FIsInplace && Visible() && Parent() != nullptr)
        std::erase(List, Parent());
}

bool TvlCustomEdit::ExecuteAction(TBasicAction* Action)
{
    return TvlContainer::ExecuteAction(Action) || (FDataBinding && FDataBinding->ExecuteAction(Action));
}

bool TvlCustomEdit::UpdateAction(TBasicAction* Action)
{
    return TvlContainer::UpdateAction(Action) || (FDataBinding && FDataBinding->UpdateAction(Action));
}
