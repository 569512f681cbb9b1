// vlEditControl.cpp - the editor control's value model: edit, display and
// editing values, the modified flags, change events and their locks,
// validation, posting, editing permission, keys, focus, the repository link
// and the data binding.
#include <QApplication>
#include <QPointer>
#include <QWidget>
#include <QTimer>

#include "platform/controls/Forms.h"
#include "platform/controls/Menus.h"
#include "platform/rtl/SysUtils.h"
#include "ui/editors/vlEdit.h"
#include "ui/editors/vlEditScopes.h"
#include "ui/editors/vlEditConsts.h"

namespace {

class TChangeEventsLock {
public:
    explicit TChangeEventsLock(TvlCustomEdit* AEdit, bool AInvoke = true) : FEdit(AEdit), FInvoke(AInvoke)
    {
        AEdit->LockChangeEvents(true);
    }
    ~TChangeEventsLock()
    {
        if (!FDone)
            FEdit->LockChangeEvents(false, FInvoke && std::uncaught_exceptions() == 0);
    }
    // Unlocks now (firing what is pending); the destructor then does nothing.
    void Unlock()
    {
        FDone = true;
        FEdit->LockChangeEvents(false, FInvoke);
    }
    TChangeEventsLock(const TChangeEventsLock&) = delete;
    TChangeEventsLock& operator=(const TChangeEventsLock&) = delete;

private:
    TvlCustomEdit* FEdit;
    bool FInvoke;
    bool FDone = false;
};

void beep() { QApplication::beep(); }

}  // namespace

// ------------------------------------------------------------ data binding

TvlEditDataBinding::TvlEditDataBinding(TvlCustomEdit* AEdit) : FEdit(AEdit)
{
    FDefaultValuesProvider = CreateProvider();
}

TvlEditDataBinding::~TvlEditDataBinding() = default;

std::unique_ptr<TvlCustomEditDefaultValuesProvider> TvlEditDataBinding::CreateProvider()
{
    return std::make_unique<TvlCustomEditDefaultValuesProvider>(nullptr);
}

void TvlEditDataBinding::RecreateProvider() { FDefaultValuesProvider = CreateProvider(); }

TPersistent* TvlEditDataBinding::GetOwner() const { return FEdit; }

IvlEditDefaultValuesProvider* TvlEditDataBinding::GetProviderIntf() const { return FDefaultValuesProvider.get(); }

void TvlEditDataBinding::ProviderDefaultsChanged()
{
    TvlCustomEditProperties* properties = FEdit->ActiveProperties();
    if (FEdit->RepositoryItem() == nullptr) {
        properties->Changed();
        return;
    }
    {
        const TvlEditUpdateScope<TvlCustomEditProperties> update(properties, false);
        properties->Changed();
    }
    FEdit->PropertiesChanged(properties);
}

void TvlEditDataBinding::ReadDisplayValue(Variant& V) const
{
    String text;
    FEdit->GetInnerEditText(text);
    V = Variant(text);
}

bool TvlEditDataBinding::IsValueModified() const { return FEdit->ModifiedAfterEnter(); }
bool TvlEditDataBinding::IsInEditMode() const { return FEdit->ModifiedAfterEnter(); }
void TvlEditDataBinding::ReadStoredValue(Variant& V) const { V = FEdit->EditValue(); }
bool TvlEditDataBinding::IsDataReadOnly() const { return !GetIsDataAvailable(); }
void TvlEditDataBinding::ResetValue() { FEdit->DoReset(); }
void TvlEditDataBinding::WriteDisplayValue(const Variant& V) { FEdit->SetInnerEditDisplayValue(V); }

bool TvlEditDataBinding::EnterEditMode()
{
    FEdit->SetModifiedAfterEnter(true);
    return true;
}

bool TvlEditDataBinding::CanRefreshFromData() const
{
    return FEdit->ComponentState().Contains(csDesigning) || !FEdit->ModifiedAfterEnter();
}

bool TvlEditDataBinding::GetIsDataAvailable() const { return GetProviderIntf()->HasDataAvailable(); }

void TvlEditDataBinding::MarkModified()
{
    if (FEdit->Focused())
        FEdit->SetModifiedAfterEnter(true);
}

void TvlEditDataBinding::RefreshDisplay() { FEdit->SynchronizeDisplayValue(); }

// ------------------------------------------------------------ edit data

TvlCustomEditData::TvlCustomEditData(TvlCustomEdit* AEdit) : FEdit(AEdit) { Clear(); }

TvlCustomEditData::~TvlCustomEditData()
{
    if (FEdit != nullptr && FEdit->FEditData == this)
        FEdit->FEditData = nullptr;
}

void TvlCustomEditData::Clear()
{
    FCleared = true;
    if (FEdit != nullptr && FEdit->FEditData == this)
        FEdit->applyEditData();
}

// ------------------------------------------------------------ editor: making

TvlCustomEdit::TvlCustomEdit(TComponent* AOwner, bool AIsInplace) : TvlCustomEdit(AOwner, AIsInplace, TDeferInitialize{})
{
    Initialize();
}

TvlCustomEdit::TvlCustomEdit(TComponent* AOwner, bool AIsInplace, TDeferInitialize)
    : TvlContainer(AOwner, &vlCreateContainerStyles<TvlContainerStyles>, &vlCreateContainerStyle<TvlEditStyle>,
                   &vlCreateContainerViewInfo<TvlCustomEditViewInfo>),
      FAnchorX(std::numeric_limits<int>::max()),
      FAnchorY(std::numeric_limits<int>::max()),
      FChangeEventsCatcher(std::make_unique<TvlEditChangeEventsCatcher>(this)),
      FIsInplace(AIsInplace)
{
    // The styles were made before the in-place flag could be read.
    if (FIsInplace)
        GetStyle()->SetStyleController(nullptr);
}

const TClassInfo& TvlCustomEdit::StaticClassInfo()
{
    using C = TvlCustomEdit;
    // The measured extent is not written: it is measured again on reading.
    static const TClassInfo info =
        TClassInfoBuilder<C>("TvlCustomEdit", &TvlContainer::StaticClassInfo())
            .Int("Height", &C::Height, &C::SetHeight)
            .Stored([](const C& E) { return !E.IsAutoSizeActive(); })
            .Int("Width", &C::Width, &C::SetWidth)
            .Stored([](const C& E) {
                return !(E.IsAutoSizeActive() && E.CanAutoWidth() && !E.IsHeightDependOnWidth());
            })
            .Int("AnchorX", &C::AnchorX, &C::SetAnchorX)
            .Stored([](const C& E) { return E.UseAnchorX(); })
            .Int("AnchorY", &C::AnchorY, &C::SetAnchorY)
            .Stored([](const C& E) { return E.UseAnchorY(); })
            .Build();
    return info;
}

void TvlCustomEdit::Initialize()
{
    if (FInitialized)
        return;
    FInitialized = true;
    const TvlEditRestore<bool> creating(FIsCreating, true);
    FProperties = CreateProperties();
    SetViewInfo(FProperties->CreateViewInfo());
    EditViewInfo()->Edit = this;
    FControlStyle.Include(csCaptureMouse);
    FControlStyle.Include(csSetCaption);
    FControlStyle.Include(csReplicatable);
    SetTabStop(true);
    if (TvlInnerEditClass innerClass = GetInnerEditClass()) {
        FInnerEditControl = innerClass(this);
        FInnerEdit = dynamic_cast<IvlCustomInnerEdit*>(FInnerEditControl.get());
        if (FInnerEdit == nullptr)
            FInnerEditControl.reset();
        else {
            InitializeInnerEdit();
            SetInnerControl(FInnerEdit->GetControl());
        }
    }
    if (TvlEditDataBindingClass bindingClass = GetDataBindingClass())
        FDataBinding = bindingClass(this);
    else
        FDataBinding = std::make_unique<TvlEditDataBinding>(this);
    FAutoSize = !FIsInplace;
    FCaptureButtonVisibleIndex = -1;
    FEditValue = Null();
    FValidationSuppressionCount = 0;
    attachPropertiesHandler(true);
    if (FIsInplace) {
        TvlControlKeys keys = Keys();
        keys.Include(kAll);
        keys.Include(kArrows);
        if (!GetInnerEditClass())
            keys.Include(kTab);
        SetKeys(keys);
    }
    FDblClickTimer = std::make_unique<TvlTimer>(nullptr);
    FDblClickTimer->SetEnabled(false);
    FDblClickTimer->SetInterval(unsigned(std::max(1, QApplication::doubleClickInterval())));
    FDblClickTimer->SetOnTimer(TNotifyEvent(this, &TvlCustomEdit::tickDblClickTimer));
    if (!FIsInplace)
        FProperties->SetDefaultValuesProvider(FDataBinding->GetProviderIntf());
    FIsFirstSetParent = true;
}

TvlCustomEdit::~TvlCustomEdit()
{
    Destroying();
    FDblClickTimer.reset();
    if (FRepositoryItem != nullptr)
        FRepositoryItem->DetachObserver(this);
    if (FEditData != nullptr)
        FEditData->FEdit = nullptr;
    SetInnerControl(nullptr);
    FInnerEdit = nullptr;
    FInnerEditControl.reset();
    if (FProperties) {
        attachPropertiesHandler(false);
        if (!FIsInplace)
            FProperties->SetDefaultValuesProvider(nullptr);
    }
    FDataBinding.reset();
    FProperties.reset();
}

std::unique_ptr<TvlCustomEditProperties> TvlCustomEdit::CreateProperties()
{
    return std::make_unique<TvlCustomEditProperties>(this);
}

TvlEditDataBindingClass TvlCustomEdit::GetDataBindingClass() const
{
    return [](TvlCustomEdit* AEdit) { return std::make_unique<TvlEditDataBinding>(AEdit); };
}

void TvlCustomEdit::attachPropertiesHandler(bool AAttach)
{
    FProperties->OnPropertiesChanged =
        AAttach ? TNotifyEvent(this, &TvlCustomEdit::PropertiesChanged) : TNotifyEvent();
}

TvlCustomEditViewInfo* TvlCustomEdit::EditViewInfo() const
{
    return static_cast<TvlCustomEditViewInfo*>(ViewInfo());
}

void TvlCustomEdit::SetProperties(const TvlCustomEditProperties* Value) { FProperties->Assign(Value); }

TvlCustomEditProperties* TvlCustomEdit::InternalGetActiveProperties() const
{
    if (FRepositoryItem == nullptr)
        return FProperties.get();
    TvlCustomEditProperties* properties = FRepositoryItem->Properties();
    properties->SetDefaultValuesProvider(FDataBinding->GetProviderIntf());
    return properties;
}

TvlContainerStyleValues TvlCustomEdit::GetNotPublishedStyleValues() const
{
    return TvlContainerStyleValues{svButtonStyle, svButtonTransparency, svPopupBorderStyle, svGradientButtons,
                                   svGradient, svGradientDirection};
}

// ------------------------------------------------------------ modified flags

void TvlCustomEdit::SetEditModified(bool Value)
{
    FEditModified = Value;
    if (!Value)
        FModifiedAfterEnter = false;
}

void TvlCustomEdit::SetModifiedAfterEnter(bool Value)
{
    FModifiedAfterEnter = Value;
    if (Value) {
        FEditModified = true;
        FValidated = false;
    }
}

void TvlCustomEdit::SaveModified() { FModifiedStack.emplace_back(FEditModified, FModifiedAfterEnter); }

void TvlCustomEdit::RestoreModified()
{
    if (FModifiedStack.empty())
        return;
    const auto [editModified, modifiedAfterEnter] = FModifiedStack.back();
    FModifiedStack.pop_back();
    FEditModified = editModified;
    FModifiedAfterEnter = modifiedAfterEnter;
}

// ------------------------------------------------------------ values

void TvlCustomEdit::GetEditingValue(Variant& V) const
{
    if (Focused() && !FValidated && FModifiedAfterEnter)
        GetDisplayValue(V);
    else
        GetEditValue(V);
}

void TvlCustomEdit::SetEditValue(const Variant& V)
{
    if (FEditValueChangingLockCount > 0)
        return;
    LockClick(true);
    try {
        if (!FUserAction || DoEditing())
            InternalSetEditValue(V, true);
    } catch (...) {
        LockClick(false);
        throw;
    }
    LockClick(false);
}

void TvlCustomEdit::SetInternalEditValue(const Variant& V)
{
    if (FEditValueChangingLockCount > 0)
        return;
    if (!FUserAction || DoEditing())
        InternalSetEditValue(V, true);
}

void TvlCustomEdit::SetEditValueNoValidate(const Variant& V) { InternalSetEditValue(V, false); }

void TvlCustomEdit::InternalSetEditValue(const Variant& AValue, bool AValidateEditValue)
{
    (void)AValidateEditValue;
    if (FUserAction && !DoEditing())
        return;
    const TvlCustomEditProperties* properties = ActiveProperties();
    const bool changed = properties->HasDisplayValue() && !EditValueVarEquals(AValue, FEditValue);
    FEditValue = AValue;
    SynchronizeDisplayValue();
    if (FUserAction)
        SetModifiedAfterEnter(true);
    else
        SetEditModified(false);
    if (changed) {
        DoEditValueChanged();
        if (!ActiveProperties()->UsesInnerEditChangeEvent())
            DoChange();
    }
}

void TvlCustomEdit::SetDisplayValue(const Variant& V)
{
    SaveModified();
    try {
        SetInternalDisplayValue(V);
    } catch (...) {
        RestoreModified();
        throw;
    }
    RestoreModified();
}

void TvlCustomEdit::PrepareDisplayValue(const Variant& AEditValue, Variant& DisplayValue, bool AEditFocused) const
{
    ActiveProperties()->PrepareDisplayValue(AEditValue, DisplayValue, AEditFocused);
}

void TvlCustomEdit::Clear()
{
    Variant v;
    GetClearValue(v);
    SetEditValue(v);
}

void TvlCustomEdit::Reset() { FDataBinding->ResetValue(); }

void TvlCustomEdit::DoReset()
{
    if (!FModifiedAfterEnter || !ActiveProperties()->IsResetEditClass())
        return;
    TChangeEventsLock lock(this);
    FModifiedAfterEnter = false;
    Variant value = FPrevEditValue;
    if (FDataBinding->IsDataAware())
        FDataBinding->ReadStoredValue(value);
    SetInternalEditValue(value);
    SetEditModified(true);
    SelectAll();
    if (ActiveProperties()->ImmediatePost() && CanPostEditValue())
        InternalPostEditValue(false);
}

void TvlCustomEdit::GetInnerEditText(String& AText) const
{
    AText = FInnerEdit != nullptr ? VarToStr(FInnerEdit->GetEditValue()) : String();
}

// ------------------------------------------------------------ change events

void TvlCustomEdit::LockChangeEvents(bool ALock, bool AInvokeChangedOnUnlock)
{
    TvlEditChangeEventsCatcher& catcher = *FChangeEventsCatcher;
    if (ALock) {
        if (catcher.LockCount == 0) {
            catcher.OnChangeEvent = false;
            catcher.OnEditValueChangedEvent = false;
        }
        ++catcher.LockCount;
        return;
    }
    if (catcher.LockCount == 0)
        return;
    if (--catcher.LockCount > 0 || !AInvokeChangedOnUnlock)
        return;
    if (ComponentState().Contains(csLoading) || ComponentState().Contains(csDestroying))
        return;
    const TvlCustomEditProperties* own = FProperties.get();
    const TvlCustomEditProperties* item = FRepositoryItem != nullptr ? FRepositoryItem->Properties() : nullptr;
    if (catcher.OnChangeEvent && (own->OnChange || (item != nullptr && item->OnChange))) {
        catcher.OnChangeEvent = false;
        DoOnChange();
    }
    if (catcher.OnEditValueChangedEvent
        && (own->OnEditValueChanged || (item != nullptr && item->OnEditValueChanged))) {
        catcher.OnEditValueChangedEvent = false;
        DoOnEditValueChanged();
    }
}

void TvlCustomEdit::LockClick(bool ALock)
{
    if (ALock)
        ++FClickLockCount;
    else if (FClickLockCount > 0)
        --FClickLockCount;
}

bool TvlCustomEdit::IsClickLocked() const
{
    const TComponentState state = ComponentState();
    return FClickLockCount > 0 || state.Contains(csDestroying)
           || (state.Contains(csLoading) && !IsClickEnabledDuringLoading());
}

void TvlCustomEdit::LockEditValueChanging(bool ALock)
{
    if (ALock)
        ++FEditValueChangingLockCount;
    else if (FEditValueChangingLockCount > 0)
        --FEditValueChangingLockCount;
}

void TvlCustomEdit::Click()
{
    if (!IsClickLocked())
        TvlContainer::Click();
}

void TvlCustomEdit::NotifyUserModification()
{
    SetModifiedAfterEnter(true);
    if (!IsClickLocked())
        Click();
}

namespace {

// Runs AHandlers with the in-place editor marked modified, as a grid
// handler expects to see a cell being changed.
template <class F>
void withInplaceModified(TvlCustomEdit* AEdit, bool AInplace, bool& AEditModified, bool& AModifiedAfterEnter,
                         F&& AHandlers)
{
    if (!AInplace) {
        AHandlers();
        return;
    }
    const TvlEditRestore<bool> editModified(AEditModified, true);
    const TvlEditRestore<bool> modifiedAfterEnter(AModifiedAfterEnter, true);
    (void)AEdit;
    AHandlers();
}

}  // namespace

void TvlCustomEdit::DoChange()
{
    if (ComponentState().Contains(csLoading) || ComponentState().Contains(csDestroying))
        return;
    const TvlCustomEditProperties* item = FRepositoryItem != nullptr ? FRepositoryItem->Properties() : nullptr;
    if (FProperties->OnChange || (item != nullptr && item->OnChange)) {
        if (AreChangeEventsLocked())
            FChangeEventsCatcher->OnChangeEvent = true;
        else
            withInplaceModified(this, FIsInplace, FEditModified, FModifiedAfterEnter, [this] { DoOnChange(); });
    }
    const TvlCustomEditProperties* active = ActiveProperties();
    if (!active->UsesInnerEditChangeEvent() && !active->HasDisplayValue())
        DoEditValueChanged();
}

void TvlCustomEdit::DoEditValueChanged()
{
    if (ComponentState().Contains(csLoading) || ComponentState().Contains(csDestroying))
        return;
    const TvlCustomEditProperties* item = FRepositoryItem != nullptr ? FRepositoryItem->Properties() : nullptr;
    if (!FProperties->OnEditValueChanged && !(item != nullptr && item->OnEditValueChanged))
        return;
    if (AreChangeEventsLocked())
        FChangeEventsCatcher->OnEditValueChangedEvent = true;
    else
        withInplaceModified(this, FIsInplace, FEditModified, FModifiedAfterEnter,
                            [this] { DoOnEditValueChanged(); });
}

void TvlCustomEdit::DoOnChange()
{
    if (FProperties->OnChange)
        FProperties->OnChange(this);
    if (FRepositoryItem != nullptr && FRepositoryItem->Properties()->OnChange)
        FRepositoryItem->Properties()->OnChange(this);
}

void TvlCustomEdit::DoOnEditValueChanged()
{
    if (FProperties->OnEditValueChanged)
        FProperties->OnEditValueChanged(this);
    if (FRepositoryItem != nullptr && FRepositoryItem->Properties()->OnEditValueChanged)
        FRepositoryItem->Properties()->OnEditValueChanged(this);
}

void TvlCustomEdit::DoButtonClick(int AButtonVisibleIndex)
{
    const TvlCustomEditViewInfo* vi = EditViewInfo();
    if (AButtonVisibleIndex < 0 || size_t(AButtonVisibleIndex) >= vi->ButtonsInfo.size())
        return;
    const int index = vi->ButtonsInfo[size_t(AButtonVisibleIndex)]->Index;
    if (FProperties->OnButtonClick)
        FProperties->OnButtonClick(this, index);
    if (FRepositoryItem != nullptr && FRepositoryItem->Properties()->OnButtonClick)
        FRepositoryItem->Properties()->OnButtonClick(this, index);
}

void TvlCustomEdit::DoClosePopup(int AReason)
{
    if (FProperties->OnPopupClose)
        FProperties->OnPopupClose(this, AReason);
    if (FRepositoryItem != nullptr && FRepositoryItem->Properties()->OnPopupClose)
        FRepositoryItem->Properties()->OnPopupClose(this, AReason);
}

void TvlCustomEdit::ChangeHandler(TObject*)
{
    if (Focused())
        SetModifiedAfterEnter(true);
    else if (!ActiveProperties()->IsChanging())
        FDataBinding->MarkModified();
    DoChange();
}

// ------------------------------------------------------------ validation

bool TvlCustomEdit::IsOnValidateEventAssigned() const
{
    return bool(FProperties->OnValidate)
           || (FRepositoryItem != nullptr && bool(FRepositoryItem->Properties()->OnValidate));
}

void TvlCustomEdit::DoValidateDisplayValue(Variant& ADisplayValue, String& AErrorText, bool& AError)
{
    TvlCustomEditProperties* properties = ActiveProperties();
    if (properties->CanValidate())
        properties->ValidateDisplayValue(ADisplayValue, AErrorText, AError, this);
}

bool TvlCustomEdit::ValidateEdit(bool ARaiseExceptionOnError)
{
    if (!FModifiedAfterEnter || FValidated || FValidationSuppressionCount > 0)
        return true;
    const TvlEditRestore<bool> validating(FValidating, true);
    String text;
    GetInnerEditText(text);
    Variant displayValue(text);
    String errorText;
    bool error = false;
    DoValidateDisplayValue(displayValue, errorText, error);
    if (error) {
        // The handler's value goes into the editor whether the error is
        // raised or not.
        const auto putBack = [&] {
            String current;
            GetInnerEditText(current);
            if (current != VarToStr(displayValue)) {
                SetInnerEditDisplayValue(displayValue);
                if (Visible()) {
                    SelectAll();
                    if (!IsTextEditable())
                        UpdateDrawValue();
                }
            }
        };
        if (ARaiseExceptionOnError) {
            try {
                HandleValidationError(errorText, true);
            } catch (...) {
                putBack();
                throw;
            }
        }
        putBack();
        return false;
    }
    if (FUserAction && !DoEditing())
        return true;
    SetDisplayValue(displayValue);
    if (!FIsInplace && !Focused())
        FModifiedAfterEnter = false;
    FValidated = true;
    return true;
}

void TvlCustomEdit::refocusAfterError()
{
    // The focus may be leaving right now (a validation on exit): taking it
    // back inside the focus change is not safe, so it happens once the
    // change is over.
    if (FRefocusPending)
        return;
    FRefocusPending = true;
    QPointer<QObject> guard(HandleAllocated() ? Widget() : nullptr);
    QTimer::singleShot(0, [this, guard] {
        if (guard.isNull())
            return;
        FRefocusPending = false;
        if (!CanFocus() || Focused())
            return;
        const TvlEditRestore<bool> focusing(FFocusingAfterError, true);
        SafeCall([this] {
            SetFocus();
            SelectAll();
        });
    });
}

void TvlCustomEdit::HandleValidationError(const String& AErrorText, bool ACanAbortExecution)
{
    if (!CanFocus())
        FValidated = true;
    else if (Visible()) {
        if (Focused()) {
            SelectAll();
        } else {
            refocusAfterError();
        }
    }
    if (ActiveProperties()->BeepOnError())
        beep();
    if (!AErrorText.isEmpty())
        throw EvlEditValidationError(AErrorText);
    if (ACanAbortExecution)
        throw EAbort(String());
}

bool TvlCustomEdit::CanPostEditValue() const
{
    return !ComponentState().Contains(csDesigning) && FDataBinding->CanPostValue();
}

void TvlCustomEdit::InternalPostEditValue(bool AValidateEdit)
{
    if (AValidateEdit) {
        bool valid = false;
        {
            const TUserActionScope noUserAction(this, false);
            valid = ValidateEdit(true);
        }
        if (!valid)
            return;
    }
    BeforePosting();
    try {
        if (FIsInplace) {
            if (OnValuePosted)
                OnValuePosted(this);
            SetEditModified(false);
        } else if (FDataBinding->IsInEditMode()) {
            FDataBinding->WriteStoredValue(FEditValue);
        }
    } catch (...) {
        AfterPosting();
        // A posting error is the caller's to see, in place too: the editor
        // keeps its value and stays open for the user to correct it.
        if (FIsInplace)
            throw;
        try {
            HandleValidationError(String(), false);
        } catch (...) {
        }
        throw;
    }
    AfterPosting();
}

// ------------------------------------------------------------ editing permission

bool TvlCustomEdit::DoEditing()
{
    if (!CanStartEditing())
        return false;
    if (FDataBinding->IsInEditMode())
        return true;
    bool canEdit = CanModify();
    if (!canEdit)
        return false;
    const TvlEditRestore<bool> checking(FInEditingCheck, true);
    if (FIsInplace) {
        LockEditValueChanging(true);
        try {
            if (OnEditing)
                OnEditing(this, canEdit);
        } catch (...) {
            LockEditValueChanging(false);
            throw;
        }
        LockEditValueChanging(false);
        return canEdit;
    }
    if (OnEditing)
        OnEditing(this, canEdit);
    if (canEdit && !FEditModified) {
        LockEditValueChanging(true);
        try {
            canEdit = FDataBinding->EnterEditMode();
        } catch (...) {
            LockEditValueChanging(false);
            throw;
        }
        LockEditValueChanging(false);
    }
    return canEdit;
}

bool TvlCustomEdit::CanModify() const
{
    const TvlCustomEditProperties* properties = ActiveProperties();
    if (FIsInplace)
        return properties->CanModify();
    if (properties->AssignedValues()->ReadOnly())
        return !properties->ReadOnly();
    const IvlEditDefaultValuesProvider* provider = FDataBinding->GetProviderIntf();
    return provider->CanModifyData() && provider->IsDataReady();
}

bool TvlCustomEdit::IsEditReadOnly() const
{
    return ActiveProperties()->ReadOnly() || FDataBinding->IsDataReadOnly();
}

bool TvlCustomEdit::ValidateKeyDown(uint16_t& Key, TShiftState Shift)
{
    return FDataBinding->IsInEditMode() || !CanKeyDownModifyEdit(Key, Shift) || DoEditing();
}

bool TvlCustomEdit::ValidateKeyPress(QChar& Key)
{
    const bool textChar = Key.unicode() >= 32 || Key == QChar('\t');
    if (textChar && !IsValidChar(Key)) {
        Key = QChar(0);
        beep();
        return false;
    }
    if (!FDataBinding->IsInEditMode() && CanKeyPressModifyEdit(Key) && !DoEditing()) {
        Key = QChar(0);
        return false;
    }
    return true;
}

bool TvlCustomEdit::IsValidChar(QChar Key) const
{
    const IvlEditDefaultValuesProvider* provider = ActiveProperties()->DefaultValuesProvider();
    return provider == nullptr || provider->AcceptsChar(Key);
}

// ------------------------------------------------------------ keyboard

void TvlCustomEdit::DoAfterKeyDown(uint16_t& Key, TShiftState Shift)
{
    if (OnAfterKeyDown)
        OnAfterKeyDown(this, Key, Shift);
}

bool TvlCustomEdit::IsClickKey(uint16_t Key, TShiftState Shift) const
{
    const TvlCustomEditProperties* properties = ActiveProperties();
    bool hasDefault = false;
    for (int i = 0; i < properties->Buttons()->Count(); ++i)
        hasDefault = hasDefault || properties->Buttons()->Items(i)->Default();
    return hasDefault
           && ShortCut(Key, Shift.Contains(ssShift), Shift.Contains(ssCtrl), Shift.Contains(ssAlt))
                  == properties->ClickKey();
}

bool TvlCustomEdit::ClickDefaultButton()
{
    const TvlCustomEditProperties* properties = ActiveProperties();
    int visibleIndex = 0;
    for (int i = 0; i < properties->Buttons()->Count(); ++i) {
        const TvlEditButton* button = properties->Buttons()->Items(i);
        if (button->Default()) {
            if (!button->Visible())
                return false;
            DoButtonClick(visibleIndex);
            return true;
        }
        if (button->Visible())
            ++visibleIndex;
    }
    return false;
}

void TvlCustomEdit::KeyDown(uint16_t& Key, TShiftState Shift)
{
    FEscapeHandled = false;
    const TvlEditRestore<bool> escapeDown(FEscapeDown, Key == VK_ESCAPE);
    if (!IsClickKey(Key, Shift) && OnKeyDown)
        OnKeyDown(this, Key, Shift);
    if (Key == 0)
        return;
    DoEditKeyDown(Key, Shift);
    if (Key != 0 && NeedsInvokeAfterKeyDown(Key, Shift))
        DoAfterKeyDown(Key, Shift);
}

void TvlCustomEdit::DoEditKeyDown(uint16_t& Key, TShiftState Shift)
{
    if (Key == 0)
        return;
    TvlCustomEditProperties* properties = ActiveProperties();
    const TShortCut shortCut = ShortCut(Key, Shift.Contains(ssShift), Shift.Contains(ssCtrl), Shift.Contains(ssAlt));
    if (properties->ClearKey() != 0 && shortCut == properties->ClearKey()) {
        TChangeEventsLock lock(this);
        {
            const TUserActionScope userAction(this);
            Variant v;
            GetClearValue(v);
            SetInternalEditValue(v);
        }
        if (properties->ImmediatePost() && CanPostEditValue())
            InternalPostEditValue(false);
        FValidated = true;
        Key = 0;
        return;
    }
    if (IsClickKey(Key, Shift)) {
        // The character the click key would type next is not wanted.
        if (HandleAllocated())
            KillMessages(Handle(), WM_CHAR);
        ClickDefaultButton();
        Key = 0;
        return;
    }
    if (!ValidateKeyDown(Key, Shift)) {
        DoAfterKeyDown(Key, Shift);
        Key = 0;
        return;
    }
    switch (Key) {
    case VK_TAB:
        if (Focused() && !Shift.Contains(ssAlt) && !Shift.Contains(ssCtrl) && !properties->HandlesTabKey()) {
            TabKeyPressed(Shift);
            DoAfterKeyDown(Key, Shift);
            if (Key == 0)
                return;
            Key = 0;
            if (TCustomForm* form = GetParentForm(this))
                form->Perform(WM_NEXTDLGCTL, Shift.Contains(ssShift) ? 1 : 0, 0);
            if (TvlControl::Focused() && InnerControl() != nullptr)
                FocusInnerControl();
            return;
        }
        break;
    case VK_RETURN:
        if (properties->ValidateOnEnter()) {
            Key = 0;
            TChangeEventsLock lock(this);
            if (ValidateEdit(true) && CanPostEditValue())
                InternalPostEditValue(false);
            return;
        }
        break;
    case VK_ESCAPE:
        if (FModifiedAfterEnter && (FDataBinding->IsDataAware() || properties->IsResetEditClass())) {
            {
                TChangeEventsLock lock(this);
                FDataBinding->ResetValue();
                SetEditModified(true);
            }
            FEscapeHandled = true;
            Key = 0;
            return;
        }
        break;
    default:
        break;
    }
    if (!WantNavigationKeys()) {
        switch (Key) {
        case VK_PRIOR: case VK_NEXT: case VK_END: case VK_HOME:
        case VK_LEFT: case VK_UP: case VK_RIGHT: case VK_DOWN:
            DoAfterKeyDown(Key, Shift);
            Key = 0;
            break;
        default:
            break;
        }
    }
}

void TvlCustomEdit::KeyPress(QChar& Key)
{
    if (Key == QChar(char16_t(27)) && FEscapeHandled) {
        FEscapeHandled = false;
        Key = QChar(0);
        return;
    }
    if (OnKeyPress)
        OnKeyPress(this, Key);
    if (Key != QChar(0))
        DoEditKeyPress(Key);
}

void TvlCustomEdit::KeyUp(uint16_t& Key, TShiftState Shift)
{
    TvlContainer::KeyUp(Key, Shift);
    if (Key != 0)
        DoEditKeyUp(Key, Shift);
}

// ------------------------------------------------------------ focus

bool TvlCustomEdit::IsActiveControl() const
{
    if (Focused())
        return true;
    const TCustomForm* form = GetParentForm(this);
    if (form == nullptr)
        return false;
    const TWinControl* active = form->ActiveControl();
    return active != nullptr
           && (active == this || (FInnerEdit != nullptr && active == FInnerEdit->GetControl()));
}

void TvlCustomEdit::InnerEditFocusEntered()
{
    if (!FEnterDone)
        DoEnter();
    FocusChanged();
}

void TvlCustomEdit::InnerEditFocusLeft()
{
    QWidget* focus = QApplication::focusWidget();
    const bool inside =
        focus != nullptr && HandleAllocated() && (focus == Widget() || Widget()->isAncestorOf(focus));
    FocusChanged();
    if (!inside)
        DoExit();
}

void TvlCustomEdit::DoEnter()
{
    if (ComponentState().Contains(csDestroying))
        return;
    FEnterDone = true;
    if (!FFocusingAfterError)
        InternalDoEnter();
    ShortRefreshContainer(false);
}

void TvlCustomEdit::InternalDoEnter()
{
    SaveModified();
    try {
        TvlContainer::DoEnter();
        if (NeedsDataBindingUpdateOnFocus())
            FDataBinding->RefreshDisplay();
        if (ActiveProperties()->IsResetEditClass())
            FPrevEditValue = FEditValue;
        if (NeedsDataBindingUpdateOnFocus())
            SynchronizeDisplayValue();
    } catch (...) {
        RestoreModified();
        throw;
    }
    RestoreModified();
    FModifiedAfterEnter = false;
    if (FInnerEdit != nullptr && FDataBinding->GetIsDataAvailable() && !ActiveProperties()->ReadOnly())
        FInnerEdit->SetReadOnly(false);
}

void TvlCustomEdit::DoExit()
{
    FEnterDone = false;
    if (ComponentState().Contains(csDestroying) || FFocusingAfterError)
        return;
    const TUserActionScope noUserAction(this, false);
    SaveModified();
    TChangeEventsLock lock(this);
    bool valid = false;
    try {
        valid = ValidateEdit(true);
    } catch (...) {
        lock.Unlock();
        RestoreModified();
        throw;
    }
    if (!valid) {
        lock.Unlock();
        RestoreModified();
        return;
    }
    if (!FIsInplace && CanPostEditValue())
        InternalPostEditValue(false);
    lock.Unlock();
    if (NeedsDataBindingUpdateOnFocus())
        FDataBinding->RefreshDisplay();
    UpdateDrawValue();
    ShortRefreshContainer(false);
    RestoreModified();
    TvlContainer::DoExit();
    FModifiedAfterEnter = false;
}

void TvlCustomEdit::FocusChanged()
{
    if (ComponentState().Contains(csDestroying) || FFocusingAfterError)
        return;
    const bool effective = Focused() && QApplication::applicationState() == Qt::ApplicationActive;
    if (effective == FEffectiveFocus)
        return;
    FEffectiveFocus = effective;
    TvlContainer::FocusChanged();
    DoFocusChanged();
}

void TvlCustomEdit::DoFocusChanged()
{
    UpdateDrawValue();
    const TCustomForm* form = GetParentForm(this);
    if (form != nullptr && form->Modal() && !form->Visible() && form->ModalResult() != mrNone
        && form->ModalResult() != mrCancel)
        ValidateEdit(false);
}

// ------------------------------------------------------------ repository

bool TvlCustomEdit::IsRepositoryItemAcceptable(TvlEditRepositoryItem* AItem) const
{
    return AItem == nullptr || AItem->ArePropertiesOfClass(FProperties->ClassInfo());
}

void TvlCustomEdit::SetRepositoryItem(TvlEditRepositoryItem* Value)
{
    if (Value == FRepositoryItem)
        return;
    if (!IsRepositoryItemAcceptable(Value))
        throw EvlEditError(GetResourceString(vlEditConsts::vlSEditInvalidRepositoryItem));
    RepositoryItemAssigning();
    if (FRepositoryItem != nullptr) {
        FRepositoryItem->DetachObserver(this);
        FRepositoryItem->RemoveFreeNotification(this);
    }
    FRepositoryItem = Value;
    if (FRepositoryItem != nullptr) {
        FRepositoryItem->AttachObserver(this);
        FRepositoryItem->FreeNotification(this);
        FProperties->SetDefaultValuesProvider(nullptr);
        ItemPropertiesChanged(FRepositoryItem);
        attachPropertiesHandler(false);
    } else {
        if (!ComponentState().Contains(csLoading) && !ComponentState().Contains(csDestroying))
            attachPropertiesHandler(true);
        FProperties->SetDefaultValuesProvider(FDataBinding->GetProviderIntf());
    }
    RepositoryItemAssigned();
}

void TvlCustomEdit::RepositoryItemFreed(TvlEditRepositoryItem* AItem)
{
    if (AItem == FRepositoryItem)
        FRepositoryItem = nullptr;
}

void TvlCustomEdit::ItemPropertiesChanged(TvlEditRepositoryItem* AItem)
{
    if (!ComponentState().Contains(csLoading) && !ComponentState().Contains(csDestroying))
        PropertiesChanged(AItem->Properties());
}

void TvlCustomEdit::PropertiesChanged(TObject*)
{
    if (ComponentState().Contains(csDestroying) || !FInitialized)
        return;
    FValidated = false;
    UpdateInnerEditReadOnly();
    if (FModifiedAfterEnter && IsEditReadOnly())
        FModifiedAfterEnter = false;
    if (ActiveProperties()->Transparent())
        SetTransparent(true);
    CalculateAnchors();
    ShortRefreshContainer(false);
}

void TvlCustomEdit::Notification(TComponent* AComponent, TOperation Operation)
{
    TvlContainer::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FRepositoryItem)
        SetRepositoryItem(nullptr);
}
