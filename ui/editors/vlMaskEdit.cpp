// vlMaskEdit.cpp - the masked editor's settings: the effective mask, the
// mode class of each kind, masked display values and their validation,
// the published settings, the filter helper and the unit's registrations.
#include "ui/editors/vlMaskEdit.h"

#include "platform/rtl/Startup.h"
#include "ui/editors/vlEditConsts.h"
#include "ui/editors/vlTextEditPublished.h"

namespace {

// BeginUpdate for a scope, EndUpdate on the way out.
class TPropertiesUpdate {
public:
    explicit TPropertiesUpdate(TvlCustomEditProperties* AProperties) : FProperties(AProperties)
    {
        FProperties->BeginUpdate();
    }
    ~TPropertiesUpdate() { FProperties->EndUpdate(); }
    TPropertiesUpdate(const TPropertiesUpdate&) = delete;
    TPropertiesUpdate& operator=(const TPropertiesUpdate&) = delete;

private:
    TvlCustomEditProperties* FProperties;
};

}  // namespace

bool IsBlankMask(const String& AMask)
{
    for (const QChar c : AMask)
        if (!IsBlankChar(c))
            return false;
    return true;
}

// ------------------------------------------------------------ properties

TvlCustomMaskEditProperties::TvlCustomMaskEditProperties(TPersistent* AOwner) : TvlCustomTextEditProperties(AOwner)
{
    SetValidateOnEnter(true);
}

TvlCustomMaskEditProperties::~TvlCustomMaskEditProperties() = default;

std::unique_ptr<TvlCustomEditProperties> TvlCustomMaskEditProperties::NewInstance(TPersistent* AOwner) const
{
    return std::make_unique<TvlCustomMaskEditProperties>(AOwner);
}

void TvlCustomMaskEditProperties::Assign(const TPersistent* Source)
{
    const auto* source = dynamic_cast<const TvlCustomMaskEditProperties*>(Source);
    if (source == nullptr) {
        TvlCustomTextEditProperties::Assign(Source);
        return;
    }
    TPropertiesUpdate update(this);
    TvlCustomTextEditProperties::Assign(Source);
    SetMaskKind(source->MaskKind());
    SetEditMask(source->GetEditMask());
    SetCaseInsensitive(source->CaseInsensitive());
    SetIgnoreMaskBlank(source->IgnoreMaskBlank());
    SetAlwaysShowBlanksAndLiterals(source->AlwaysShowBlanksAndLiterals());
}

TvlEditMask TvlCustomMaskEditProperties::GetEditMask() const
{
    if (FMaskKind == emkStandard && IsBlankMask(FEditMask) && DefaultValuesProvider() != nullptr)
        return DefaultValuesProvider()->ProvidedEditMask();
    return IsBlankMask(FEditMask) ? TvlEditMask() : FEditMask;
}

void TvlCustomMaskEditProperties::SetEditMask(const TvlEditMask& Value)
{
    if (Value == GetEditMask()) {
        FEditMask = Value;
        return;
    }
    // Compiled before it is stored: a mask that does not compile leaves the
    // old one in place.
    CreateMode(nullptr, FMaskKind)->CompileMask(Value);
    FEditMask = Value;
    Changed();
}

void TvlCustomMaskEditProperties::SetMaskKind(TvlEditMaskKind Value)
{
    if (Value == FMaskKind)
        return;
    FMaskKind = Value;
    Changed();
}

void TvlCustomMaskEditProperties::SetAlwaysShowBlanksAndLiterals(bool Value)
{
    if (Value == FAlwaysShowBlanksAndLiterals)
        return;
    FAlwaysShowBlanksAndLiterals = Value;
    Changed();
}

void TvlCustomMaskEditProperties::SetCaseInsensitive(bool Value)
{
    FCaseInsensitive = CharCase() != ecNormal ? true : Value;
    Changed();
}

void TvlCustomMaskEditProperties::SetCharCase(TEditCharCase Value)
{
    if (Value != ecNormal)
        FCaseInsensitive = true;
    TvlCustomTextEditProperties::SetCharCase(Value);
}

TvlMaskEditModeClass TvlCustomMaskEditProperties::GetModeClass(TvlEditMaskKind AKind) const
{
    switch (AKind) {
    case emkStandard:
        return [](TvlCustomMaskEdit* AEdit, TvlCustomMaskEditProperties* AProperties) {
            return std::make_unique<TvlMaskEditStandardMode>(AEdit, AProperties);
        };
    case emkRegExpr:
    case emkRegExprEx:
        break;
    }
    return nullptr;
}

std::unique_ptr<TvlMaskEditCustomMode> TvlCustomMaskEditProperties::CreateMode(TvlCustomMaskEdit* AEdit,
                                                                               TvlEditMaskKind AKind)
{
    TvlMaskEditModeClass modeClass = GetModeClass(AKind);
    if (!modeClass)
        modeClass = GetModeClass(emkStandard);
    return modeClass(AEdit, this);
}

TvlMaskEditCustomMode* TvlCustomMaskEditProperties::displayMode() const
{
    const TvlEditMask mask = GetEditMask();
    if (FDisplayMode == nullptr || FDisplayModeKind != FMaskKind || FDisplayMode->CompiledMask() != mask) {
        FDisplayMode = const_cast<TvlCustomMaskEditProperties*>(this)->CreateMode(nullptr, FMaskKind);
        FDisplayModeKind = FMaskKind;
        FDisplayMode->CompileMask(mask);
    }
    return FDisplayMode.get();
}

void TvlCustomMaskEditProperties::DoChanged()
{
    FDisplayMode.reset();
    TvlCustomTextEditProperties::DoChanged();
}

uint32_t TvlCustomMaskEditProperties::GetDisplayFormatOptions() const
{
    return IsMasked() ? 0 : TvlCustomTextEditProperties::GetDisplayFormatOptions();
}

TvlCustomEditClass TvlCustomMaskEditProperties::GetContainerClass() const
{
    return [](TComponent* AOwner, bool AIsInplace) -> TvlCustomEdit* {
        return TvlCustomEdit::CreateInplace<TvlMaskEdit>(AOwner, AIsInplace);
    };
}

bool TvlCustomMaskEditProperties::IsEditValueValid(Variant& AEditValue, bool AEditFocused) const
{
    return IsMasked() || TvlCustomTextEditProperties::IsEditValueValid(AEditValue, AEditFocused);
}

bool TvlCustomMaskEditProperties::HasLookupData() const
{
    return !IsMasked() && TvlCustomTextEditProperties::HasLookupData();
}

void TvlCustomMaskEditProperties::PrepareDisplayValue(const Variant& AEditValue, Variant& DisplayValue,
                                                      bool AEditFocused) const
{
    if (!IsMasked() || (!AEditFocused && DefaultValuesProvider() != nullptr
                        && DefaultValuesProvider()->DefinesDisplayFormat(false))) {
        TvlCustomTextEditProperties::PrepareDisplayValue(AEditValue, DisplayValue, AEditFocused);
        return;
    }
    const String text = VariantToString(AEditValue);
    const TvlMaskEditCustomMode* mode = displayMode();
    if (AEditFocused || FMaskKind != emkStandard || FAlwaysShowBlanksAndLiterals)
        DisplayValue = Variant(mode->FormatText(text, false));
    else
        DisplayValue = Variant(mode->StripText(text, false));
}

void TvlCustomMaskEditProperties::ValidateMaskedText(const Variant& ADisplayValue, String& AErrorText, bool& AError,
                                                     const TvlCustomEdit* AEdit) const
{
    if (AError || !IsMasked())
        return;
    // Without an editor the properties' own mode judges.
    const auto* edit = dynamic_cast<const TvlCustomMaskEdit*>(AEdit);
    const TvlMaskEditCustomMode* mode =
        edit != nullptr && edit->MaskMode() != nullptr ? edit->MaskMode() : displayMode();
    if (!mode->IsTextComplete(VarToStr(ADisplayValue))) {
        AError = true;
        AErrorText = GetResourceString(vlEditConsts::svlMaskEditInvalidEditValue);
    }
}

void TvlCustomMaskEditProperties::ValidateDisplayValue(Variant& ADisplayValue, String& AErrorText, bool& AError,
                                                       TvlCustomEdit* AEdit) const
{
    ValidateMaskedText(ADisplayValue, AErrorText, AError, AEdit);
    TvlCustomTextEditProperties::ValidateDisplayValue(ADisplayValue, AErrorText, AError, AEdit);
}

void TvlCustomMaskEditProperties::MaxLengthChanged()
{
    if (!IsMasked()) {
        TvlCustomTextEditProperties::MaxLengthChanged();
        return;
    }
    if (FMaxLengthGuard)
        return;
    FMaxLengthGuard = true;
    try {
        TPropertiesUpdate update(this);
        SetMaxLength(0);
    } catch (...) {
        FMaxLengthGuard = false;
        throw;
    }
    FMaxLengthGuard = false;
}

const TClassInfo* TvlCustomMaskEditProperties::ClassInfo() const { return &StaticClassInfo(); }

const TClassInfo& TvlCustomMaskEditProperties::StaticClassInfo()
{
    static const TClassInfo info = TClassInfoBuilder<TvlCustomMaskEditProperties>(
                                       "TvlCustomMaskEditProperties", &TvlCustomTextEditProperties::StaticClassInfo())
                                       .Build();
    return info;
}

// ------------------------------------------------------------ published

namespace {

const char* const maskKindNames[] = {"emkStandard", "emkRegExpr", "emkRegExprEx"};
const TEnumInfo maskKindInfo{"TvlEditMaskKind", maskKindNames};

}  // namespace

std::unique_ptr<TvlCustomEditProperties> TvlMaskEditProperties::NewInstance(TPersistent* AOwner) const
{
    return std::make_unique<TvlMaskEditProperties>(AOwner);
}

const TClassInfo* TvlMaskEditProperties::ClassInfo() const { return &StaticClassInfo(); }

const TClassInfo& TvlMaskEditProperties::StaticClassInfo()
{
    using P = TvlMaskEditProperties;
    // What the text editor's published settings hold, and the mask's.
    static const TClassInfo info = [] {
        TClassInfoBuilder<P> builder("TvlMaskEditProperties", &TvlCustomMaskEditProperties::StaticClassInfo());
        return PublishTextEditProperties(builder, true)
            .Bool("AlwaysShowBlanksAndLiterals", &P::AlwaysShowBlanksAndLiterals, &P::SetAlwaysShowBlanksAndLiterals,
                  false)
            .Bool("CaseInsensitive", &P::CaseInsensitive, &P::SetCaseInsensitive, true)
            .Bool("IgnoreMaskBlank", &P::IgnoreMaskBlank, &P::SetIgnoreMaskBlank, false)
            .Enum("MaskKind", maskKindInfo, &P::MaskKind, &P::SetMaskKind, emkStandard)
            .Str("EditMask", &P::StoredEditMask, &P::SetEditMask)
            .Build();
    }();
    return info;
}
