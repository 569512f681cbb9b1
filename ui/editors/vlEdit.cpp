#include "ui/editors/vlEdit.h"

#include <algorithm>

#include <QGuiApplication>

#include "platform/controls/Messages.h"
#include "platform/rtl/Startup.h"
#include "platform/rtl/TypInfo.h"
#include "ui/editors/vlEditConsts.h"
#include "ui/editors/vlEditPaintUtils.h"
#include "ui/editors/vlEditScopes.h"
#include "ui/editors/vlImageComboBox.h"
#include "ui/editors/vlTextEdit.h"

namespace {

// What the unit keeps for the process: made on first use (or by the unit's
// start-up) and freed by its finalization.
struct TEditUnit {
    std::unique_ptr<std::vector<TvlCustomEditProperties*>> PropertiesList;
    std::unique_ptr<TvlRegisteredClasses> RegisteredProperties;
    std::vector<std::pair<TvlClass, TvlEditPropertiesFactory>> Factories;
    std::unique_ptr<TvlEditRepository> DefaultRepository;
    std::unique_ptr<TvlEditStyleController> DefaultStyleController;
    std::unique_ptr<std::vector<TvlInplaceEditList*>> InplaceEditLists;
};

TEditUnit& editUnit()
{
    static TEditUnit unit;
    return unit;
}

std::vector<TvlCustomEditProperties*>& propertiesList()
{
    TEditUnit& unit = editUnit();
    if (!unit.PropertiesList)
        unit.PropertiesList = std::make_unique<std::vector<TvlCustomEditProperties*>>();
    return *unit.PropertiesList;
}

void registerBuiltInProperties();

}  // namespace

// ------------------------------------------------------------ buttons

// The fields start at their defaults; the collection reports the new button
// once.
TvlEditButton::TvlEditButton(TCollection* Collection) : TCollectionItem(Collection) {}

TvlEditButton::~TvlEditButton() = default;

void TvlEditButton::Assign(const TPersistent* Source)
{
    const auto* source = dynamic_cast<const TvlEditButton*>(Source);
    if (source == nullptr) {
        TCollectionItem::Assign(Source);
        return;
    }
    const TvlEditUpdateScope<TCollection> update(Collection());
    SetCaption(source->Caption());
    FVisibleCaption = source->FVisibleCaption;
    SetContentAlignment(source->ContentAlignment());
    SetDefault(source->Default());
    SetEnabled(source->Enabled());
    SetGlyph(const_cast<TvlEditButton*>(source)->Glyph());
    SetKind(source->Kind());
    SetLeftAlignment(source->LeftAlignment());
    SetStretchable(source->Stretchable());
    FTag = source->Tag();
    SetTextColor(source->TextColor());
    SetVisible(source->Visible());
    SetWidth(source->Width());
    FHint = source->Hint();
}

void TvlEditButton::SetCaption(const String& Value)
{
    if (Value == FCaption)
        return;
    FCaption = Value;
    FVisibleCaption = RemoveAccelChars(FCaption, true);
    Changed(false);
}

void TvlEditButton::SetContentAlignment(TAlignment Value) { setValue(FContentAlignment, Value); }

void TvlEditButton::SetDefault(bool Value)
{
    if (Value == FDefault)
        return;
    if (Value)
        if (auto* buttons = dynamic_cast<TvlEditButtons*>(Collection()))
            for (int i = 0; i < buttons->Count(); ++i)
                buttons->Items(i)->FDefault = false;
    FDefault = Value;
    Changed(true);
}

void TvlEditButton::SetEnabled(bool Value) { setValue(FEnabled, Value); }

TBitmap* TvlEditButton::Glyph()
{
    if (!FGlyph)
        FGlyph = std::make_unique<TBitmap>();
    FGlyph->OnChange = TNotifyEvent(this, &TvlEditButton::glyphChanged);
    return FGlyph.get();
}

void TvlEditButton::SetGlyph(const TBitmap* Value)
{
    if (Value == nullptr)
        FGlyph.reset();
    else {
        if (!FGlyph)
            FGlyph = std::make_unique<TBitmap>();
        if (Value != FGlyph.get()) {
            FGlyph->OnChange = nullptr;
            FGlyph->Assign(Value);
        }
    }
    Changed(false);
}

void TvlEditButton::SetKind(TvlEditButtonKind Value) { setValue(FKind, Value); }

void TvlEditButton::SetLeftAlignment(bool Value) { setValue(FLeftAlignment, Value); }

void TvlEditButton::SetStretchable(bool Value) { setValue(FStretchable, Value); }

void TvlEditButton::SetTextColor(TColor Value) { setValue(FTextColor, Value); }

void TvlEditButton::SetVisible(bool Value) { setValue(FVisible, Value); }

void TvlEditButton::SetWidth(int Value)
{
    // A negative width is refused: taking one would lock every later value
    // out, as the width only changes while it is not negative.
    if (Value < 0 || Value == FWidth)
        return;
    FWidth = Value;
    Changed(false);
}

namespace {
const char* const alignmentNames[] = {"taLeftJustify", "taRightJustify", "taCenter"};
const TEnumInfo alignmentInfo{"TAlignment", alignmentNames};
const char* const buttonKindNames[] = {"bkEllipsis", "bkDown", "bkGlyph", "bkText"};
const TEnumInfo buttonKindInfo{"TvlEditButtonKind", buttonKindNames};
const char* const vertAlignmentNames[] = {"taTopJustify", "taBottomJustify", "taVCenter"};
const TEnumInfo vertAlignmentInfo{"TvlEditVertAlignment", vertAlignmentNames};
}  // namespace

const TClassInfo* TvlEditButton::ClassInfo() const { return &StaticClassInfo(); }

const TClassInfo& TvlEditButton::StaticClassInfo()
{
    static const TClassInfo info =
        TClassInfoBuilder<TvlEditButton>("TvlEditButton", &TCollectionItem::StaticClassInfo())
            .Str("Caption", &TvlEditButton::Caption, &TvlEditButton::SetCaption)
            .Enum("ContentAlignment", alignmentInfo, &TvlEditButton::ContentAlignment,
                  &TvlEditButton::SetContentAlignment, taCenter)
            .Bool("Default", &TvlEditButton::Default, &TvlEditButton::SetDefault, false)
            .Bool("Enabled", &TvlEditButton::Enabled, &TvlEditButton::SetEnabled, true)
            .Str("Hint", &TvlEditButton::Hint, &TvlEditButton::SetHint)
            .Enum("Kind", buttonKindInfo, &TvlEditButton::Kind, &TvlEditButton::SetKind, bkDown)
            .Bool("LeftAlignment", &TvlEditButton::LeftAlignment, &TvlEditButton::SetLeftAlignment, false)
            .Bool("Stretchable", &TvlEditButton::Stretchable, &TvlEditButton::SetStretchable, true)
            .Int("Tag", &TvlEditButton::Tag, &TvlEditButton::SetTag, 0)
            .Bool("Visible", &TvlEditButton::Visible, &TvlEditButton::SetVisible, true)
            .Int("Width", &TvlEditButton::Width, &TvlEditButton::SetWidth, 0)
            .Build();
    return info;
}

TvlEditButtons::TvlEditButtons(TPersistent* AOwner, TCollectionItemClass AButtonClass)
    : TCollection(std::move(AButtonClass)), FOwner(AOwner)
{
}

int TvlEditButtons::VisibleButtonCount() const
{
    int result = 0;
    for (int i = 0; i < Count(); ++i)
        if (Items(i)->Visible())
            ++result;
    return result;
}

void TvlEditButtons::Update(TCollectionItem*)
{
    if (OnChange)
        OnChange(this);
}

// ------------------------------------------------------------ button view info

void TvlEditButtonViewInfo::Assign(const TPersistent* Source)
{
    const auto* source = dynamic_cast<const TvlEditButtonViewInfo*>(Source);
    if (source == nullptr) {
        TPersistent::Assign(Source);
        return;
    }
    Data.NativeState = source->Data.NativeState;
    Data.BackgroundColor = source->Data.BackgroundColor;
    Bounds = source->Bounds;
    Data.Style = source->Data.Style;
    Data.State = source->Data.State;
}

bool TvlEditButtonViewInfo::differsFrom(const TvlEditButtonViewInfo* AOld) const
{
    return AOld == nullptr || AOld->Data.Style != Data.Style || AOld->Data.State != Data.State ||
           AOld->Data.BackgroundColor != Data.BackgroundColor || AOld->Data.NativeState != Data.NativeState;
}

TRegion TvlEditButtonViewInfo::GetUpdateRegion(const TvlEditButtonViewInfo* AOldButtonViewInfo) const
{
    if (!differsFrom(AOldButtonViewInfo))
        return TRegion();
    return CreateRectRgnIndirect(Bounds);
}

bool TvlEditButtonViewInfo::Repaint(TWinControl* AControl, const TvlEditButtonViewInfo* AOldButtonViewInfo,
                                    const TPoint& AEditPosition) const
{
    if (!differsFrom(AOldButtonViewInfo) || AControl == nullptr || !AControl->HandleAllocated())
        return false;
    TRect r = Bounds;
    OffsetRect(r, AEditPosition.X, AEditPosition.Y);
    InvalidateRect(AControl->Handle(), &r, HasBackground);
    return true;
}

// ------------------------------------------------------------ alignment

TvlEditAlignment::TvlEditAlignment(TPersistent* AOwner)
    : FHorz(taLeftJustify), FOwner(AOwner), FVert(taTopJustify)
{
}

void TvlEditAlignment::Assign(const TPersistent* Source)
{
    const auto* source = dynamic_cast<const TvlEditAlignment*>(Source);
    if (source == nullptr) {
        TPersistent::Assign(Source);
        return;
    }
    FVert = source->FVert;
    FHorz = source->FHorz;
    FIsHorzAssigned = source->FIsHorzAssigned;
    doChanged();
}

void TvlEditAlignment::Reset()
{
    FIsHorzAssigned = false;
    doChanged();
}

void TvlEditAlignment::SetHorz(TAlignment Value)
{
    if (FIsHorzAssigned && Value == FHorz)
        return;
    FIsHorzAssigned = true;
    FHorz = Value;
    doChanged();
}

void TvlEditAlignment::SetVert(TvlEditVertAlignment Value)
{
    if (Value == FVert)
        return;
    FVert = Value;
    doChanged();
}

bool TvlEditAlignment::IsVertStored() const { return FVert != taTopJustify; }

void TvlEditAlignment::doChanged()
{
    if (OnChanged)
        OnChanged(this);
}

const TClassInfo* TvlEditAlignment::ClassInfo() const { return &StaticClassInfo(); }

const TClassInfo& TvlEditAlignment::StaticClassInfo()
{
    static const TClassInfo info =
        TClassInfoBuilder<TvlEditAlignment>("TvlEditAlignment", nullptr)
            .Enum("Horz", alignmentInfo, &TvlEditAlignment::Horz, &TvlEditAlignment::SetHorz)
            .Stored([](const TvlEditAlignment& A) { return A.IsHorzStored(); })
            .Enum("Vert", vertAlignmentInfo, &TvlEditAlignment::Vert, &TvlEditAlignment::SetVert)
            .Stored([](const TvlEditAlignment& A) { return A.IsVertStored(); })
            .Build();
    return info;
}

// ------------------------------------------------------------ assigned values

TvlCustomEditPropertiesValues::TvlCustomEditPropertiesValues(TPersistent* AOwner) : FOwner(AOwner) {}

TvlCustomEditProperties* TvlCustomEditPropertiesValues::Properties() const
{
    return dynamic_cast<TvlCustomEditProperties*>(FOwner);
}

void TvlCustomEditPropertiesValues::Assign(const TPersistent* Source)
{
    const auto* source = dynamic_cast<const TvlCustomEditPropertiesValues*>(Source);
    if (source == nullptr) {
        TPersistent::Assign(Source);
        return;
    }
    const TvlEditUpdateScope<TvlCustomEditProperties> update(Properties());
    SetMaxValue(source->MaxValue());
    SetMinValue(source->MinValue());
    SetReadOnly(source->ReadOnly());
}

void TvlCustomEditPropertiesValues::RestoreDefaults()
{
    const TvlEditUpdateScope<TvlCustomEditProperties> update(Properties());
    SetMaxValue(false);
    SetMinValue(false);
    SetReadOnly(false);
}

void TvlCustomEditPropertiesValues::setFlag(bool& AFlag, bool Value)
{
    if (AFlag == Value)
        return;
    AFlag = Value;
    if (TvlCustomEditProperties* properties = Properties())
        properties->Changed();
}

void TvlCustomEditPropertiesValues::SetMaxValue(bool Value) { setFlag(FMaxValue, Value); }
void TvlCustomEditPropertiesValues::SetMinValue(bool Value) { setFlag(FMinValue, Value); }
void TvlCustomEditPropertiesValues::SetReadOnly(bool Value) { setFlag(FReadOnly, Value); }

bool TvlCustomEditPropertiesValues::IsMaxValueStored() const
{
    const TvlCustomEditProperties* properties = Properties();
    return FMaxValue && properties != nullptr && properties->GetMaxValue() == 0 &&
           properties->ClassInfo()->FindProp(String::fromLatin1("MaxValue")) != nullptr;
}

bool TvlCustomEditPropertiesValues::IsMinValueStored() const
{
    const TvlCustomEditProperties* properties = Properties();
    return FMinValue && properties != nullptr && properties->GetMinValue() == 0 &&
           properties->ClassInfo()->FindProp(String::fromLatin1("MinValue")) != nullptr;
}

const TClassInfo* TvlCustomEditPropertiesValues::ClassInfo() const { return &StaticClassInfo(); }

const TClassInfo& TvlCustomEditPropertiesValues::StaticClassInfo()
{
    static const TClassInfo info =
        TClassInfoBuilder<TvlCustomEditPropertiesValues>("TvlCustomEditPropertiesValues", nullptr)
            .Bool("ReadOnly", &TvlCustomEditPropertiesValues::ReadOnly, &TvlCustomEditPropertiesValues::SetReadOnly,
                  false)
            .Build();
    return info;
}

// ------------------------------------------------------------ default values provider

TvlCustomEditDefaultValuesProvider::~TvlCustomEditDefaultValuesProvider() { DetachFromProperties(); }

void TvlCustomEditDefaultValuesProvider::DetachFromProperties()
{
    const auto* list = editUnit().PropertiesList.get();
    if (list == nullptr)
        return;
    // Copied: a properties object may react by changing the list.
    const std::vector<TvlCustomEditProperties*> all = *list;
    TObject* self = GetProviderObject();
    for (TvlCustomEditProperties* properties : all) {
        IvlEditDefaultValuesProvider* provider = properties->DefaultValuesProvider();
        if (provider != nullptr && provider->GetProviderObject() == self)
            properties->DefaultValuesProviderDestroyed();
    }
}

// ------------------------------------------------------------ properties

TvlCustomEditProperties::TvlCustomEditProperties(TPersistent* AOwner) : TvlInterfacedPersistent(AOwner)
{
    propertiesList().push_back(this);
    FFreeNotificator = std::make_unique<TvlFreeNotificator>(nullptr);
    FFreeNotificator->OnFreeNotification = TvlFreeNotificationEvent(this, &TvlCustomEditProperties::freeNotification);
    FAlignment = std::make_unique<TvlEditAlignment>(this);
    FAlignment->OnChanged = TNotifyEvent(this, &TvlCustomEditProperties::AlignmentChangedHandler);
    FAssignedValues = std::make_unique<TvlCustomEditPropertiesValues>(this);
    FButtons = std::make_unique<TvlEditButtons>(this, TvlEditButtons::ButtonItemClass());
    FButtons->OnChange = TNotifyEvent(this, &TvlCustomEditProperties::ButtonsChanged);
    FInnerAlignment = std::make_unique<TvlEditAlignment>(this);
}

TvlCustomEditProperties::~TvlCustomEditProperties()
{
    RemovePropertiesFromInplaceEditLists(this);
    FDefaultValuesProvider = nullptr;
    FButtons.reset();
    FInnerAlignment.reset();
    FAssignedValues.reset();
    FAlignment.reset();
    FFreeNotificator.reset();
    if (auto* list = editUnit().PropertiesList.get())
        std::erase(*list, this);
}

std::unique_ptr<TvlCustomEditProperties> TvlCustomEditProperties::NewInstance(TPersistent* AOwner) const
{
    return std::make_unique<TvlCustomEditProperties>(AOwner);
}

std::unique_ptr<TvlCustomEditProperties> TvlCustomEditProperties::CreatePreviewProperties() const
{
    return NewInstance(nullptr);
}

void TvlCustomEditProperties::BeginUpdate()
{
    if (FUpdateCount == 0)
        FChangedOccurred = false;
    ++FUpdateCount;
}

void TvlCustomEditProperties::EndUpdate(bool AInvokeChanged)
{
    if (FUpdateCount <= 0)
        return;
    --FUpdateCount;
    if (FUpdateCount == 0 && AInvokeChanged && FChangedOccurred)
        Changed();
}

void TvlCustomEditProperties::Changed()
{
    const auto* owner = dynamic_cast<const TComponent*>(GetOwner());
    if (IsChangedLocked() || (owner != nullptr && owner->ComponentState().Contains(csDestroying))) {
        FChangedOccurred = true;
        return;
    }
    DoChanged();
}

void TvlCustomEditProperties::DoChanged()
{
    if (!OnPropertiesChanged)
        return;
    ++FIsChangingCount;
    struct TLower {
        int& Count;
        ~TLower() { --Count; }
    } lower{FIsChangingCount};
    OnPropertiesChanged(this);
}

void TvlCustomEditProperties::Assign(const TPersistent* Source)
{
    const auto* source = dynamic_cast<const TvlCustomEditProperties*>(Source);
    if (source == nullptr) {
        TvlInterfacedPersistent::Assign(Source);
        return;
    }
    const TvlEditUpdateScope<TvlCustomEditProperties> update(*this);
    SetAutoSelect(source->AutoSelect());
    FButtons->Assign(source->Buttons());
    SetButtonsLayout(source->ButtonsLayout());
    FBeepOnError = source->FBeepOnError;
    FClearKey = source->FClearKey;
    FClickKey = source->FClickKey;
    FUseLeftAlignmentOnEditing = source->FUseLeftAlignmentOnEditing;
    FDefaultValuesProvider = source->FDefaultValuesProvider;
    SetAlignmentCore(source->Alignment());
    FAssignedValues->SetMaxValue(false);
    if (source->AssignedValues()->MaxValue())
        SetMaxValue(source->GetMaxValue());
    FAssignedValues->SetMinValue(false);
    if (source->AssignedValues()->MinValue())
        SetMinValue(source->GetMinValue());
    FAssignedValues->SetReadOnly(false);
    if (source->AssignedValues()->ReadOnly())
        SetReadOnly(source->GetReadOnly());
    FImmediatePost = source->FImmediatePost;
    SetTransparent(source->Transparent());
    FAllowMouseWheel = source->FAllowMouseWheel;
    FValidateOnEnter = source->FValidateOnEnter;
    OnButtonClick = source->OnButtonClick;
    OnChange = source->OnChange;
    OnEditValueChanged = source->OnEditValueChanged;
    OnValidate = source->OnValidate;
}

TvlEditAlignment* TvlCustomEditProperties::Alignment() const
{
    TvlEditAlignment* alignment = FAlignment.get();
    alignment->OnChanged = nullptr;
    alignment->Assign(FInnerAlignment.get());
    const TComponent* component = GetOwnerComponent(this);
    const bool writing = component != nullptr && component->ComponentState().Contains(csWriting);
    if (!(IsAlignmentStored() && writing) && !FInnerAlignment->IsHorzAssigned())
        alignment->FHorz = GetDefaultHorzAlignment();
    alignment->OnChanged =
        TNotifyEvent(const_cast<TvlCustomEditProperties*>(this), &TvlCustomEditProperties::AlignmentChangedHandler);
    return alignment;
}

void TvlCustomEditProperties::AlignmentChangedHandler(TObject*)
{
    FInnerAlignment->Assign(FAlignment.get());
    Changed();
}

void TvlCustomEditProperties::SetAlignmentCore(const TvlEditAlignment* Value)
{
    FInnerAlignment->Assign(Value);
    Changed();
}

void TvlCustomEditProperties::ButtonsChanged(TObject*) { Changed(); }

void TvlCustomEditProperties::DefaultValuesProviderDestroyed() { FDefaultValuesProvider = nullptr; }

void TvlCustomEditProperties::RecreateAssignedValues() { FAssignedValues = GetAssignedValuesClass()(this); }

TvlCustomEditPropertiesValuesClass TvlCustomEditProperties::GetAssignedValuesClass() const
{
    return [](TPersistent* AOwner) { return std::make_unique<TvlCustomEditPropertiesValues>(AOwner); };
}

TvlEditButtonsClass TvlCustomEditProperties::GetButtonsClass() const
{
    return [](TPersistent* AOwner) {
        return std::make_unique<TvlEditButtons>(AOwner, TvlEditButtons::ButtonItemClass());
    };
}

TAlignment TvlCustomEditProperties::GetDefaultHorzAlignment() const
{
    if (FDefaultValuesProvider != nullptr)
        return FDefaultValuesProvider->ProvidedAlignment();
    return FInnerAlignment->Horz();
}

void TvlCustomEditProperties::SetAutoSelect(bool Value) { setValue(FAutoSelect, Value); }

void TvlCustomEditProperties::SetButtonsLayout(TvlEditButtonsLayout Value) { setValue(FButtonsLayout, Value); }

void TvlCustomEditProperties::SetTransparent(bool Value) { setValue(FTransparent, Value); }

void TvlCustomEditProperties::SetUseLeftAlignmentOnEditing(bool Value) { setValue(FUseLeftAlignmentOnEditing, Value); }

void TvlCustomEditProperties::SetMaxValue(double Value)
{
    if (FAssignedValues->MaxValue() && Value == FMaxValue)
        return;
    const TvlEditUpdateScope<TvlCustomEditProperties> update(*this);
    FAssignedValues->SetMaxValue(true);
    FMaxValue = Value;
    Changed();
}

void TvlCustomEditProperties::SetMinValue(double Value)
{
    if (FAssignedValues->MinValue() && Value == FMinValue)
        return;
    const TvlEditUpdateScope<TvlCustomEditProperties> update(*this);
    FAssignedValues->SetMinValue(true);
    FMinValue = Value;
    Changed();
}

void TvlCustomEditProperties::SetReadOnly(bool Value)
{
    if (FAssignedValues->ReadOnly() && Value == FReadOnly)
        return;
    const TvlEditUpdateScope<TvlCustomEditProperties> update(*this);
    FAssignedValues->SetReadOnly(true);
    FReadOnly = Value;
    Changed();
}

double TvlCustomEditProperties::GetMaxValue() const
{
    if (FAssignedValues->MaxValue())
        return FMaxValue;
    return FDefaultValuesProvider != nullptr ? FDefaultValuesProvider->ProvidedMaxValue() : 0.0;
}

double TvlCustomEditProperties::GetMinValue() const
{
    if (FAssignedValues->MinValue())
        return FMinValue;
    return FDefaultValuesProvider != nullptr ? FDefaultValuesProvider->ProvidedMinValue() : 0.0;
}

bool TvlCustomEditProperties::GetReadOnly() const
{
    if (FAssignedValues->ReadOnly())
        return FReadOnly;
    return FDefaultValuesProvider != nullptr && FDefaultValuesProvider->ProvidedReadOnly();
}

bool TvlCustomEditProperties::IsUseLeftAlignmentOnEditingStored() const
{
    return FUseLeftAlignmentOnEditing != DefaultUseLeftAlignmentOnEditing();
}

bool TvlCustomEditProperties::IsAlignmentStored() const
{
    return FInnerAlignment->IsHorzAssigned() || FInnerAlignment->IsVertStored();
}

void TvlCustomEditProperties::SetDefaultValuesProvider(IvlEditDefaultValuesProvider* AProvider)
{
    FDefaultValuesProvider = AProvider;
    if (auto* edit = dynamic_cast<TvlCustomEdit*>(GetOwner()))
        edit->PropertiesProviderChanged();
}

bool TvlCustomEditProperties::CanModify() const
{
    if (FAssignedValues->ReadOnly() && !FReadOnly)
        return true;
    if (GetReadOnly())
        return false;
    if (FDefaultValuesProvider != nullptr)
        return FDefaultValuesProvider->CanModifyData() && FDefaultValuesProvider->IsDataReady();
    return true;
}

bool TvlCustomEditProperties::IsProviderDisplayFormatUsed(bool AEditFocused) const
{
    const uint32_t options = GetDisplayFormatOptions();
    if ((options & 1u) == 0 || FDefaultValuesProvider == nullptr)
        return false;
    if (GetEditValueSource(AEditFocused) != (AEditFocused ? 0 : 1))
        return false;
    return FDefaultValuesProvider->DefinesDisplayFormat((options & 2u) == 0);
}

bool TvlCustomEditProperties::IsDisplayFormatDefined(bool AFlag) const
{
    const uint32_t options = GetDisplayFormatOptions();
    if (AFlag || (options & 1u) == 0 || FDefaultValuesProvider == nullptr)
        return false;
    return FDefaultValuesProvider->DefinesDisplayFormat((options & 2u) == 0);
}

String TvlCustomEditProperties::GetValidateErrorText(int) const
{
    return GetResourceString(vlEditConsts::vlSEditValidateErrorText);
}

bool TvlCustomEditProperties::CompareDisplayValues(const Variant& AEditValue1, const Variant& AEditValue2) const
{
    Variant v1;
    Variant v2;
    PrepareDisplayValue(AEditValue1, v1, false);
    PrepareDisplayValue(AEditValue2, v2, false);
    return v1 == v2;
}

String TvlCustomEditProperties::GetDisplayText(const Variant&, bool, bool) const { return String(); }

uint32_t TvlCustomEditProperties::GetSupportedOperations() const
{
    return FButtons->Count() > 0 ? vlesoShowingButtons : 0u;
}

void TvlCustomEditProperties::PrepareDisplayValue(const Variant& AEditValue, Variant& DisplayValue, bool) const
{
    DisplayValue = AEditValue;
}

void TvlCustomEditProperties::RestoreDefaults()
{
    FInnerAlignment->Reset();
    const TvlEditUpdateScope<TvlCustomEditProperties> update(*this);
    FAssignedValues->RestoreDefaults();
}

int TvlCustomEditProperties::GetEditValueSource(bool) const { return 0; }

void TvlCustomEditProperties::ValidateDisplayValue(Variant& ADisplayValue, String& AErrorText, bool& AError,
                                                   TvlCustomEdit* AEdit) const
{
    if (!CanValidate())
        return;
    if (AErrorText.isEmpty())
        AErrorText = GetValidateErrorText(0);
    bool isUserErrorDisplayValue = false;
    DoValidate(ADisplayValue, AErrorText, isUserErrorDisplayValue, AEdit, AError);
}

void TvlCustomEditProperties::DoValidate(Variant& ADisplayValue, String& AErrorText,
                                         bool& AIsUserErrorDisplayValue, TvlCustomEdit* AEdit, bool& AError) const
{
    AIsUserErrorDisplayValue = false;
    const TvlCustomEditProperties* own = AEdit != nullptr ? AEdit->Properties() : this;
    const TvlCustomEditProperties* item =
        AEdit != nullptr && AEdit->RepositoryItem() != nullptr ? AEdit->RepositoryItem()->Properties() : nullptr;
    if (AEdit != nullptr ? !AEdit->IsOnValidateEventAssigned() : !OnValidate)
        return;
    TObject* sender = AEdit != nullptr ? static_cast<TObject*>(AEdit) : const_cast<TvlCustomEditProperties*>(this);
    const Variant before = ADisplayValue;
    if (own->OnValidate)
        own->OnValidate(sender, ADisplayValue, AErrorText, AError);
    if (item != nullptr && item->OnValidate)
        item->OnValidate(sender, ADisplayValue, AErrorText, AError);
    if (!AError)
        return;
    if (VarToStr(ADisplayValue) != VarToStr(before))
        AIsUserErrorDisplayValue = true;
    else if (AEdit != nullptr) {
        String text;
        AEdit->GetInnerEditText(text);
        ADisplayValue = Variant(text);
    }
}

std::unique_ptr<TvlCustomEditViewInfo> TvlCustomEditProperties::CreateViewInfo() const
{
    auto info = std::make_unique<TvlCustomEditViewInfo>();
    info->Properties = this;
    return info;
}

const TClassInfo* TvlCustomEditProperties::ClassInfo() const { return &StaticClassInfo(); }

const TClassInfo& TvlCustomEditProperties::StaticClassInfo()
{
    static const TClassInfo info =
        TClassInfoBuilder<TvlCustomEditProperties>("TvlCustomEditProperties", nullptr).Build();
    return info;
}


// ------------------------------------------------------------ registry

namespace {

void registerBuiltInProperties()
{
    RegisterEditProperties(&TvlTextEditProperties::StaticClassInfo(),
                           GetResourceString(vlEditConsts::svlSEditRepositoryTextItem),
                           [](TPersistent* AOwner) { return std::make_unique<TvlTextEditProperties>(AOwner); });
    RegisterEditProperties(&TvlImageComboBoxProperties::StaticClassInfo(),
                           GetResourceString(vlEditConsts::svlSEditRepositoryImageComboBoxItem),
                           [](TPersistent* AOwner) { return std::make_unique<TvlImageComboBoxProperties>(AOwner); });
    RegisterEditProperties(&TvlComboBoxProperties::StaticClassInfo(),
                           GetResourceString(vlEditConsts::svlSEditRepositoryComboBoxItem),
                           [](TPersistent* AOwner) { return std::make_unique<TvlComboBoxProperties>(AOwner); });
    RegisterEditProperties(&TvlPopupEditProperties::StaticClassInfo(),
                           GetResourceString(vlEditConsts::svlSEditRepositoryPopupItem),
                           [](TPersistent* AOwner) { return std::make_unique<TvlPopupEditProperties>(AOwner); });
}

}  // namespace

TvlRegisteredClasses* GetRegisteredEditProperties()
{
    TEditUnit& unit = editUnit();
    if (!unit.RegisteredProperties) {
        unit.RegisteredProperties = std::make_unique<TvlRegisteredClasses>(false);
        unit.RegisteredProperties->SetSorted(true);
        registerBuiltInProperties();
    }
    return unit.RegisteredProperties.get();
}

void RegisterEditProperties(TvlClass AClass, const String& ARegistrationText, TvlEditPropertiesFactory AFactory)
{
    TvlRegisteredClasses* registry = GetRegisteredEditProperties();
    if (registry->IndexOf(AClass) >= 0)
        return;
    registry->Register(AClass, ARegistrationText);
    editUnit().Factories.emplace_back(AClass, std::move(AFactory));
}

void UnregisterEditProperties(TvlClass AClass)
{
    TEditUnit& unit = editUnit();
    if (unit.RegisteredProperties)
        unit.RegisteredProperties->Unregister(AClass);
    std::erase_if(unit.Factories, [AClass](const auto& entry) { return entry.first == AClass; });
}

std::unique_ptr<TvlCustomEditProperties> CreateEditProperties(TvlClass AClass, TPersistent* AOwner)
{
    GetRegisteredEditProperties();
    // Copied out first: a factory may register further classes.
    TvlEditPropertiesFactory factory;
    for (const auto& entry : editUnit().Factories)
        if (entry.first == AClass)
            factory = entry.second;
    return factory ? factory(AOwner) : nullptr;
}

TvlClass FindEditPropertiesClass(const String& AClassName)
{
    return GetRegisteredEditProperties()->FindByClassName(AClassName);
}

// ------------------------------------------------------------ repository

TvlEditRepositoryItem::TvlEditRepositoryItem(TComponent* AOwner) : TComponent(AOwner)
{
    RecreateProperties();
}

TvlEditRepositoryItem::~TvlEditRepositoryItem()
{
    // Copied: an observer may detach itself while it hears of the end.
    const std::vector<IvlEditRepositoryItemObserver*> listeners = FListenerList;
    for (auto it = listeners.rbegin(); it != listeners.rend(); ++it)
        (*it)->RepositoryItemFreed(this);
    FListenerList.clear();
    MoveToRepository(nullptr);
    FProperties.reset();
}

std::unique_ptr<TvlCustomEditProperties> TvlEditRepositoryItem::CreatePropertiesOfItem()
{
    return std::make_unique<TvlCustomEditProperties>(this);
}

void TvlEditRepositoryItem::RecreateProperties()
{
    FProperties = CreatePropertiesOfItem();
    FProperties->OnPropertiesChanged = TNotifyEvent(this, &TvlEditRepositoryItem::PropertiesChanged);
}

void TvlEditRepositoryItem::PropertiesChanged(TObject*)
{
    const std::vector<IvlEditRepositoryItemObserver*> listeners = FListenerList;
    for (auto it = listeners.rbegin(); it != listeners.rend(); ++it)
        (*it)->ItemPropertiesChanged(this);
}

void TvlEditRepositoryItem::AttachObserver(IvlEditRepositoryItemObserver* AObserver)
{
    if (std::find(FListenerList.begin(), FListenerList.end(), AObserver) == FListenerList.end())
        FListenerList.push_back(AObserver);
}

void TvlEditRepositoryItem::DetachObserver(IvlEditRepositoryItemObserver* AObserver)
{
    std::erase(FListenerList, AObserver);
}

String TvlEditRepositoryItem::ProposeItemName() const
{
    const String repositoryName = FRepository != nullptr ? FRepository->Name() : String();
    static const String prefix = String::fromLatin1("TvlEditRepository");
    const String className = ClassName();
    const qsizetype at = className.indexOf(prefix);
    if (at < 0)
        return repositoryName;
    return repositoryName + className.mid(at + prefix.size());
}

bool TvlEditRepositoryItem::ArePropertiesOfClass(TvlClass AClass) const
{
    return FProperties->ClassInfo()->InheritsFrom(AClass);
}

bool TvlEditRepositoryItem::HasParent() const { return FRepository != nullptr; }

TComponent* TvlEditRepositoryItem::GetParentComponent() const { return FRepository; }

void TvlEditRepositoryItem::SetParentComponent(TComponent* AParent)
{
    if (ComponentState().Contains(csLoading))
        return;
    auto* repository = dynamic_cast<TvlEditRepository*>(AParent);
    if (AParent != nullptr && repository == nullptr)
        throw EInvalidCast(LoadResString(RtlConsts::SInvalidCast));
    MoveToRepository(repository);
}

void TvlEditRepositoryItem::MoveToRepository(TvlEditRepository* ARepository)
{
    if (ARepository == FRepository)
        return;
    if (FRepository != nullptr)
        FRepository->DelistItem(this);
    FRepository = ARepository;
    if (FRepository != nullptr)
        FRepository->EnlistItem(this);
}

const TClassInfo* TvlEditRepositoryItem::ClassInfo() const { return &StaticClassInfo(); }

const TClassInfo& TvlEditRepositoryItem::StaticClassInfo()
{
    static const TClassInfo info =
        TClassInfoBuilder<TvlEditRepositoryItem>("TvlEditRepositoryItem", &TComponent::StaticClassInfo()).Build();
    return info;
}

TvlEditRepository::TvlEditRepository(TComponent* AOwner) : TComponent(AOwner) {}

TvlEditRepository::~TvlEditRepository()
{
    FDestroying = true;
    // The items belong to their owners (often the form); the repository
    // frees them all the same, last first.
    while (!FItems.empty()) {
        TvlEditRepositoryItem* item = FItems.back();
        FItems.pop_back();
        if (TComponent* owner = item->Owner())
            owner->RemoveComponent(item);
        item->MoveToRepository(nullptr);
        delete item;
    }
}

TvlEditRepositoryItem* TvlEditRepository::NewItem(const TvlEditRepositoryItemClass& AItemClass)
{
    return NewItemEx(AItemClass, this);
}

TvlEditRepositoryItem* TvlEditRepository::NewItemEx(const TvlEditRepositoryItemClass& AItemClass,
                                                    TComponent* AOwner)
{
    TvlEditRepositoryItem* item = AItemClass(AOwner);
    item->MoveToRepository(this);
    return item;
}

void TvlEditRepository::EnlistItem(TvlEditRepositoryItem* AItem)
{
    if (std::find(FItems.begin(), FItems.end(), AItem) == FItems.end())
        FItems.push_back(AItem);
}

void TvlEditRepository::DelistItem(TvlEditRepositoryItem* AItem) { std::erase(FItems, AItem); }

TvlEditRepository* GetDefaultEditRepository()
{
    TEditUnit& unit = editUnit();
    if (!unit.DefaultRepository)
        unit.DefaultRepository = std::make_unique<TvlEditRepository>(nullptr);
    return unit.DefaultRepository.get();
}

// ------------------------------------------------------------ unit functions

bool EmulateStandardControlDrawing() { return false; }

void DrawEditComplexFrame(TvlCanvas* ACanvas, TRect& R, TColor ALeftTopColor, TColor ARightBottomColor)
{
    DrawButtonBorder(ACanvas, R, vlbbLeft | vlbbTop, ALeftTopColor);
    ++R.Right;
    ++R.Bottom;
    --R.Left;
    --R.Top;
    TRect inner = R;
    DrawButtonBorder(ACanvas, inner, vlbbRight | vlbbBottom, ARightBottomColor);
    InflateRect(R, -1, -1);
}

void DrawEditFrameRect(TvlCanvas* ACanvas, TRect& R, TColor AColor)
{
    DrawButtonBorder(ACanvas, R, vlbbLeft | vlbbTop | vlbbRight | vlbbBottom, AColor);
}

namespace {

// GetOwner is protected; a member pointer taken in a descendant reaches it
// on any persistent.
struct TOwnerAccess : TPersistent {
    static constexpr auto GetOwnerOf = &TOwnerAccess::GetOwner;
};

}  // namespace

TComponent* GetOwnerComponent(const TPersistent* APersistent)
{
    const TPersistent* p = APersistent;
    while (p != nullptr) {
        if (auto* component = dynamic_cast<const TComponent*>(p))
            return const_cast<TComponent*>(component);
        p = (p->*TOwnerAccess::GetOwnerOf)();
    }
    return nullptr;
}

bool SubstituteRepositoryItemProperties(TvlCustomEditProperties* AOwnProperties,
                                        TvlEditRepositoryItem* ARepositoryItem,
                                        TvlCustomEditProperties*& AProperties)
{
    if (AOwnProperties == nullptr || ARepositoryItem == nullptr || AProperties != ARepositoryItem->Properties() ||
        !AProperties->ClassInfo()->InheritsFrom(AOwnProperties->ClassInfo()))
        return false;
    AProperties = AOwnProperties;
    return true;
}

namespace {

WPARAM shiftToKeys(TShiftState AShift)
{
    WPARAM keys = 0;
    if (AShift.Contains(ssShift))
        keys |= MK_SHIFT;
    if (AShift.Contains(ssCtrl))
        keys |= MK_CONTROL;
    if (AShift.Contains(ssLeft))
        keys |= MK_LBUTTON;
    if (AShift.Contains(ssRight))
        keys |= MK_RBUTTON;
    if (AShift.Contains(ssMiddle))
        keys |= MK_MBUTTON;
    return keys;
}

}  // namespace

void SendMouseMessage(TWinControl* AControl, uint32_t AMsg, TShiftState AShift, const TPoint& APoint)
{
    AControl->Perform(AMsg, shiftToKeys(AShift), MakeLParam(APoint.X, APoint.Y));
}

void SendKeyMessage(TWinControl* AEdit, uint32_t AMsg, uint16_t AKey) { AEdit->Perform(AMsg, AKey, 0); }

void SendKeyDownMessage(TWinControl* AEdit, uint16_t AKey, TShiftState) { SendKeyMessage(AEdit, WM_KEYDOWN, AKey); }

void SendCharMessage(TWinControl* AEdit, QChar AChar) { SendKeyMessage(AEdit, WM_CHAR, AChar.unicode()); }

void UniteRegions(TvlRegion* ADest, const TvlRegion* ASource)
{
    CombineRgn(ADest->Handle(), ADest->Handle(), const_cast<TvlRegion*>(ASource)->Handle(), RGN_OR);
}

bool IsRegionEmpty(const TvlRegion* ARegion)
{
    TRect box;
    return GetRgnBox(const_cast<TvlRegion*>(ARegion)->Handle(), box) == NULLREGION;
}

void ExtendSize(TSize& ASize, const TSize& ASize2)
{
    ASize.cx = std::max(ASize.cx, ASize2.cx);
    ASize.cy = std::max(ASize.cy, ASize2.cy);
}

TShiftState MouseButtonToShift(TMouseButton AButton)
{
    switch (AButton) {
    case mbLeft:
        return TShiftState{ssLeft};
    case mbRight:
        return TShiftState{ssRight};
    case mbMiddle:
        break;
    }
    return TShiftState{ssMiddle};
}

TShiftState MouseButtonCodeToShift(int ACode)
{
    switch (ACode) {
    case 1:
        return TShiftState{ssLeft};
    case 2:
        return TShiftState{ssRight};
    case 3:
        return TShiftState{ssMiddle};
    default:
        return TShiftState{};
    }
}

TvlLookAndFeelKind LookAndFeelKindOfButtonStyle(TvlEditButtonStyle AStyle)
{
    switch (AStyle) {
    case btsFlat:
    case btsSimple:
    case btsHotFlat:
        return lfFlat;
    case btsUltraFlat:
        return lfUltraFlat;
    case btsOffice11:
        return lfOffice11;
    default:
        return lfStandard;
    }
}

TvlLookAndFeelKind GetPopupControlsLookAndFeelKind(const TvlCustomEdit* AEdit)
{
    if (AEdit->IsInplace())
        return AEdit->Style()->LookAndFeel()->Kind();
    const auto* viewInfo = dynamic_cast<const TvlCustomEditViewInfo*>(AEdit->ViewInfo());
    if (viewInfo == nullptr || viewInfo->ButtonsInfo.empty())
        return lfStandard;
    return LookAndFeelKindOfButtonStyle(viewInfo->ButtonsInfo[0]->Data.Style);
}

namespace {

bool hasGuiApplication() { return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr; }

}  // namespace

void AddvlEditUnit(TStartupList& AList)
{
    AList.Add(
        QStringLiteral("vlEdit"),
        [] {
            propertiesList();
            TEditUnit& unit = editUnit();
            unit.DefaultStyleController = std::make_unique<TvlEditStyleController>(nullptr);
            SetContainerDefaultStyleController(unit.DefaultStyleController.get());
            if (hasGuiApplication())
                // The framework's vertical scrolling picture: the wheel
                // scrolls up and down.
                RegisterScreenCursor(crvlEditMouseWheel, ScreenCursor(crvlVerScroll));
        },
        [] {
            TEditUnit& unit = editUnit();
            unit.RegisteredProperties.reset();
            unit.Factories.clear();
            unit.DefaultRepository.reset();
            unit.PropertiesList.reset();
            SetContainerDefaultStyleController(nullptr);
            unit.DefaultStyleController.reset();
            if (hasGuiApplication())
                UnregisterScreenCursor(crvlEditMouseWheel);
        });
}

// ------------------------------------------------------------ styles

namespace {

const char* const editStyleValueNames[] = {"ButtonStyle", "ButtonTransparency", "PopupBorderStyle",
                                           "GradientButtons", "Gradient", "GradientDirection"};

// Values 11..15 and the container's own not-published ones.
const TvlContainerStyleValues notPublishedForStates{csvEdges,        csvFont,          csvHotTrack,
                                                    csvShadow,       csvTransparentBorder, svButtonTransparency,
                                                    svPopupBorderStyle, svGradientButtons, svGradient,
                                                    svGradientDirection};

}  // namespace

TvlCustomEditStyle::TvlCustomEditStyle(TPersistent* AOwner, TvlContainerStateItem AState,
                                       TvlContainerStyle* AParentStyle, bool ADirectAccessMode)
    : TvlContainerStyle(AOwner, AState, AParentStyle, ADirectAccessMode)
{
    FPopupCloseButton = true;
    // The container's constructor linked its own default controller; an
    // edit style follows the editors' default instead.
    if (IsBaseStyle() && !ADirectAccessMode)
        TvlContainerStyle::SetStyleController(nullptr);
}

TvlCustomEditStyle* TvlCustomEditStyle::baseEditStyle() const
{
    return static_cast<TvlCustomEditStyle*>(GetBaseStyle());
}

TvlCustomEditStyle* TvlCustomEditStyle::parentEditStyle() const
{
    return static_cast<TvlCustomEditStyle*>(ParentStyle());
}

const TvlCustomEditStyle* TvlCustomEditStyle::holderOf(TvlContainerStyleValue AValue) const
{
    const TvlCustomEditStyle* style = this;
    // A chain of controllers ends at a controller without one of its own.
    for (int depth = 0; style != nullptr && depth < 64; ++depth) {
        if (style->AssignedValues().Contains(AValue))
            return style;
        TvlStyleController* controller = style->GetActiveStyleController();
        if (controller == nullptr)
            return nullptr;
        style = dynamic_cast<const TvlCustomEditStyle*>(controller->GetStyle(style->State()));
    }
    return nullptr;
}

template <class T>
T TvlCustomEditStyle::valueOf(T TvlCustomEditStyle::*AField, TvlContainerStyleValue AValue,
                              T (TvlCustomEditStyle::*AFallback)() const) const
{
    // Direct access reads the own field only; otherwise the lookup runs
    // through the controllers.
    if (DirectAccessMode())
        return AssignedValues().Contains(AValue) ? this->*AField : (this->*AFallback)();
    const TvlCustomEditStyle* holder = holderOf(AValue);
    return holder != nullptr ? holder->*AField : (this->*AFallback)();
}

TvlEditButtonStyle TvlCustomEditStyle::ButtonStyle() const
{
    return valueOf(&TvlCustomEditStyle::FButtonStyle, svButtonStyle, &TvlCustomEditStyle::FallbackButtonStyle);
}

TvlEditButtonTransparency TvlCustomEditStyle::ButtonTransparency() const
{
    return valueOf(&TvlCustomEditStyle::FButtonTransparency, svButtonTransparency,
                   &TvlCustomEditStyle::FallbackButtonTransparency);
}

bool TvlCustomEditStyle::Gradient() const
{
    return valueOf(&TvlCustomEditStyle::FGradient, svGradient, &TvlCustomEditStyle::FallbackGradient);
}

bool TvlCustomEditStyle::GradientButtons() const
{
    return valueOf(&TvlCustomEditStyle::FGradientButtons, svGradientButtons,
                   &TvlCustomEditStyle::FallbackGradientButtons);
}

TvlEditGradientDirection TvlCustomEditStyle::GradientDirection() const
{
    return valueOf(&TvlCustomEditStyle::FGradientDirection, svGradientDirection,
                   &TvlCustomEditStyle::FallbackGradientDirection);
}

TvlEditPopupBorderStyle TvlCustomEditStyle::PopupBorderStyle() const
{
    return valueOf(&TvlCustomEditStyle::FPopupBorderStyle, svPopupBorderStyle,
                   &TvlCustomEditStyle::FallbackPopupBorderStyle);
}

bool TvlCustomEditStyle::PopupCloseButton() const { return baseEditStyle()->FPopupCloseButton; }

TvlEditButtonStyle TvlCustomEditStyle::FallbackButtonStyle() const
{
    return IsBaseStyle() ? btsDefault : parentEditStyle()->ButtonStyle();
}

TvlEditButtonTransparency TvlCustomEditStyle::FallbackButtonTransparency() const
{
    return IsBaseStyle() ? ebtNone : parentEditStyle()->ButtonTransparency();
}

bool TvlCustomEditStyle::FallbackGradient() const { return IsBaseStyle() ? false : parentEditStyle()->Gradient(); }

bool TvlCustomEditStyle::FallbackGradientButtons() const
{
    return IsBaseStyle() ? false : parentEditStyle()->GradientButtons();
}

TvlEditGradientDirection TvlCustomEditStyle::FallbackGradientDirection() const
{
    return IsBaseStyle() ? dirDown : parentEditStyle()->GradientDirection();
}

TvlEditPopupBorderStyle TvlCustomEditStyle::FallbackPopupBorderStyle() const
{
    return IsBaseStyle() ? epbsDefault : parentEditStyle()->PopupBorderStyle();
}

void TvlCustomEditStyle::SetButtonStyle(TvlEditButtonStyle Value)
{
    if (AssignedValues().Contains(svButtonStyle) && Value == FButtonStyle)
        return;
    // One change event for the value and its bit.
    const TvlEditUpdateScope<TvlCustomEditStyle> update(*this);
    FButtonStyle = Value;
    TvlContainerStyleValues values = AssignedValues();
    values.Include(svButtonStyle);
    SetAssignedValues(values);
    Changed();
}

template <class T>
void TvlCustomEditStyle::setBaseValue(T TvlCustomEditStyle::*AField, TvlContainerStyleValue AValue, T Value)
{
    if (!IsBaseStyle()) {
        parentEditStyle()->setBaseValue(AField, AValue, Value);
        return;
    }
    if (AssignedValues().Contains(AValue) && this->*AField == Value)
        return;
    const TvlEditUpdateScope<TvlCustomEditStyle> update(*this);
    this->*AField = Value;
    TvlContainerStyleValues values = AssignedValues();
    values.Include(AValue);
    SetAssignedValues(values);
    Changed();
}

void TvlCustomEditStyle::SetButtonTransparency(TvlEditButtonTransparency Value)
{
    setBaseValue(&TvlCustomEditStyle::FButtonTransparency, svButtonTransparency, Value);
}

void TvlCustomEditStyle::SetGradient(bool Value) { setBaseValue(&TvlCustomEditStyle::FGradient, svGradient, Value); }

void TvlCustomEditStyle::SetGradientDirection(TvlEditGradientDirection Value)
{
    setBaseValue(&TvlCustomEditStyle::FGradientDirection, svGradientDirection, Value);
}

void TvlCustomEditStyle::SetPopupBorderStyle(TvlEditPopupBorderStyle Value)
{
    setBaseValue(&TvlCustomEditStyle::FPopupBorderStyle, svPopupBorderStyle, Value);
}

void TvlCustomEditStyle::SetPopupCloseButton(bool Value)
{
    TvlCustomEditStyle* base = baseEditStyle();
    if (base->FPopupCloseButton == Value)
        return;
    base->FPopupCloseButton = Value;
    base->Changed();
}

TvlEditStyleController* TvlCustomEditStyle::StyleController() const
{
    return dynamic_cast<TvlEditStyleController*>(TvlContainerStyle::StyleController());
}

void TvlCustomEditStyle::SetStyleController(TvlEditStyleController* Value)
{
    TvlContainerStyle::SetStyleController(Value);
}

TvlCustomEdit* TvlCustomEditStyle::Edit() const { return dynamic_cast<TvlCustomEdit*>(Owner()); }

TvlStyleController* TvlCustomEditStyle::GetDefaultStyleController() const
{
    if (DirectAccessMode())
        return nullptr;
    if (const TvlCustomEdit* edit = Edit(); edit != nullptr && edit->IsInplace())
        return nullptr;
    return GetEditorsDefaultStyleController();
}

bool TvlCustomEditStyle::IsValueAssigned(TvlContainerStyleValue AValue) const
{
    if (AValue >= svButtonStyle && AValue <= svGradientDirection)
        return holderOf(AValue) != nullptr;
    return TvlContainerStyle::IsValueAssigned(AValue);
}

bool TvlCustomEditStyle::GetStyleValueName(TvlContainerStyleValue AStyleValue, String& AName) const
{
    if (AStyleValue >= svButtonStyle && AStyleValue <= svGradientDirection) {
        AName = String::fromLatin1(editStyleValueNames[AStyleValue - svButtonStyle]);
        return true;
    }
    return TvlContainerStyle::GetStyleValueName(AStyleValue, AName);
}

bool TvlCustomEditStyle::IsEditValueStored(TvlContainerStyleValue AValue) const
{
    if (!AssignedValues().Contains(AValue))
        return false;
    const TvlCustomEdit* edit = Edit();
    if (edit == nullptr)
        return true;
    String name;
    GetStyleValueName(AValue, name);
    return edit->IsStylePublished(name, State() != csNormal);
}

TvlContainerStyleValues TvlCustomEditStyle::InternalGetNotPublishedExtendedStyleValues() const
{
    return notPublishedForStates;
}

void TvlCustomEditStyle::Assign(const TPersistent* Source)
{
    const auto* source = dynamic_cast<const TvlCustomEditStyle*>(Source);
    if (source == nullptr) {
        TvlContainerStyle::Assign(Source);
        return;
    }
    const TvlEditUpdateScope<TvlCustomEditStyle> update(*this);
    FButtonStyle = source->FButtonStyle;
    FButtonTransparency = source->FButtonTransparency;
    FGradient = source->FGradient;
    FGradientButtons = source->FGradientButtons;
    FGradientDirection = source->FGradientDirection;
    FPopupBorderStyle = source->FPopupBorderStyle;
    FPopupCloseButton = source->FPopupCloseButton;
    TvlContainerStyle::Assign(Source);
    Changed();
}

const TClassInfo& TvlEditStyle::StaticClassInfo()
{
    static const TClassInfo info =
        TClassInfoBuilder<TvlEditStyle>("TvlEditStyle", &TvlContainerStyle::StaticClassInfo()).Build();
    return info;
}

TvlEditStyleController::TvlEditStyleController(TComponent* AOwner)
    : TvlStyleController(AOwner, &vlCreateContainerStyles<TvlContainerStyles>, &vlCreateContainerStyle<TvlEditStyle>)
{
}

TvlEditStyleController* GetEditorsDefaultStyleController() { return editUnit().DefaultStyleController.get(); }

TvlCustomEditClass TvlCustomEditProperties::GetContainerClass() const
{
    return [](TComponent* AOwner, bool AIsInplace) {
        return TvlCustomEdit::CreateInplace<TvlCustomEdit>(AOwner, AIsInplace);
    };
}

// ------------------------------------------------------------ in-place editors

TvlInplaceEditList::TvlInplaceEditList(TComponent* AEditorOwner) : FEditorOwner(AEditorOwner)
{
    TEditUnit& unit = editUnit();
    if (!unit.InplaceEditLists)
        unit.InplaceEditLists = std::make_unique<std::vector<TvlInplaceEditList*>>();
    unit.InplaceEditLists->push_back(this);
}

TvlInplaceEditList::~TvlInplaceEditList()
{
    TEditUnit& unit = editUnit();
    if (unit.InplaceEditLists) {
        std::erase(*unit.InplaceEditLists, this);
        if (unit.InplaceEditLists->empty())
            unit.InplaceEditLists.reset();
    }
    for (const TItem& item : FItems)
        delete item.Edit;
}

TvlCustomEdit* TvlInplaceEditList::createEdit(const TvlCustomEditProperties* AProperties, TvlClass APropertiesClass)
{
    std::unique_ptr<TvlCustomEditProperties> sample;
    if (AProperties == nullptr) {
        sample = CreateEditProperties(APropertiesClass, nullptr);
        if (!sample)
            return nullptr;
        AProperties = sample.get();
    }
    TvlCustomEdit* edit = AProperties->GetContainerClass()(FEditorOwner, true);
    edit->SetVisible(false);
    return edit;
}

TvlCustomEdit* TvlInplaceEditList::FindEdit(TvlCustomEditProperties* AProperties)
{
    for (const TItem& item : FItems)
        if (item.Properties == AProperties)
            return item.Edit;
    for (TItem& item : FItems)
        if (item.Properties == nullptr && item.EditClass == AProperties->ClassInfo()) {
            item.Properties = AProperties;
            return item.Edit;
        }
    return nullptr;
}

TvlCustomEdit* TvlInplaceEditList::FindEditByClass(TvlClass APropertiesClass)
{
    for (const TItem& item : FItems)
        if (item.Properties == nullptr && item.EditClass == APropertiesClass)
            return item.Edit;
    return nullptr;
}

TvlCustomEdit* TvlInplaceEditList::GetEdit(TvlCustomEditProperties* AProperties)
{
    TvlCustomEdit* edit = FindEdit(AProperties);
    if (edit == nullptr) {
        edit = createEdit(AProperties, AProperties->ClassInfo());
        FItems.push_back({edit, AProperties, AProperties->ClassInfo()});
    }
    edit->LockChangeEvents(true);
    struct TUnlock {
        TvlCustomEdit* E;
        ~TUnlock() { E->LockChangeEvents(false, false); }
    } unlock{edit};
    edit->SetProperties(AProperties);
    return edit;
}

TvlCustomEdit* TvlInplaceEditList::GetEditByClass(TvlClass APropertiesClass)
{
    if (TvlCustomEdit* edit = FindEditByClass(APropertiesClass))
        return edit;
    TvlCustomEdit* edit = createEdit(nullptr, APropertiesClass);
    if (edit != nullptr)
        FItems.push_back({edit, nullptr, APropertiesClass});
    return edit;
}

void TvlInplaceEditList::ReleaseProperties(const TvlCustomEditProperties* AProperties)
{
    for (TItem& item : FItems)
        if (item.Properties == AProperties)
            item.Properties = nullptr;
}

void TvlInplaceEditList::RemoveItem(const TvlCustomEditProperties* AProperties)
{
    const auto it = std::find_if(FItems.begin(), FItems.end(),
                                 [AProperties](const TItem& item) { return item.Properties == AProperties; });
    if (it == FItems.end())
        return;
    TvlCustomEdit* edit = it->Edit;
    FItems.erase(it);
    edit->SetParent(nullptr);
    delete edit;
}

void RemovePropertiesFromInplaceEditLists(const TvlCustomEditProperties* AProperties)
{
    if (const auto* lists = editUnit().InplaceEditLists.get())
        for (TvlInplaceEditList* list : *lists)
            list->ReleaseProperties(AProperties);
}
