// vlCurrencyEdit.cpp - the money editor.
#include "ui/controls/vlCurrencyEdit.h"

#include <cmath>

#include <QApplication>
#include <QClipboard>

#include "platform/rtl/Startup.h"
#include "platform/rtl/SysUtils.h"
#include "ui/editors/vlEditConsts.h"
#include "ui/editors/vlEditScopes.h"
#include "ui/editors/vlFormats.h"

// ---------------------------------------------------------------- assigned values

void TvlCurrencyEditPropertiesValues::SetDecimalPlaces(bool Value)
{
    if (FDecimalPlaces == Value)
        return;
    FDecimalPlaces = Value;
    if (TvlCustomEditProperties* properties = Properties())
        properties->Changed();
}

void TvlCurrencyEditPropertiesValues::Assign(const TPersistent* Source)
{
    const TvlEditUpdateScope<TvlCustomEditProperties> update(Properties());
    TvlTextEditPropertiesValues::Assign(Source);
    if (const auto* source = dynamic_cast<const TvlCurrencyEditPropertiesValues*>(Source))
        SetDecimalPlaces(source->DecimalPlaces());
}

void TvlCurrencyEditPropertiesValues::RestoreDefaults()
{
    const TvlEditUpdateScope<TvlCustomEditProperties> update(Properties());
    TvlTextEditPropertiesValues::RestoreDefaults();
    SetDecimalPlaces(false);
}

const TClassInfo* TvlCurrencyEditPropertiesValues::ClassInfo() const { return &StaticClassInfo(); }

const TClassInfo& TvlCurrencyEditPropertiesValues::StaticClassInfo()
{
    using V = TvlCurrencyEditPropertiesValues;
    static const TClassInfo info =
        TClassInfoBuilder<V>("TvlCurrencyEditPropertiesValues", &TvlTextEditPropertiesValues::StaticClassInfo())
            .Bool("DecimalPlaces", &V::DecimalPlaces, &V::SetDecimalPlaces, false)
            .Stored(false)
            .Build();
    return info;
}

// ---------------------------------------------------------------- properties

TvlCustomCurrencyEditProperties::TvlCustomCurrencyEditProperties(TPersistent* AOwner)
    : TvlCustomTextEditProperties(AOwner)
{
    // The base made its own kind of assigned values before this class existed.
    RecreateAssignedValues();
    SetValidateOnEnter(true);
}

std::unique_ptr<TvlCustomEditProperties> TvlCustomCurrencyEditProperties::NewInstance(TPersistent* AOwner) const
{
    return std::make_unique<TvlCustomCurrencyEditProperties>(AOwner);
}

TvlCustomEditPropertiesValuesClass TvlCustomCurrencyEditProperties::GetAssignedValuesClass() const
{
    return [](TPersistent* AOwner) { return std::make_unique<TvlCurrencyEditPropertiesValues>(AOwner); };
}

TvlCustomEditClass TvlCustomCurrencyEditProperties::GetContainerClass() const
{
    return [](TComponent* AOwner, bool AIsInplace) -> TvlCustomEdit* {
        return TvlCustomEdit::CreateInplace<TvlCurrencyEdit>(AOwner, AIsInplace);
    };
}

void TvlCustomCurrencyEditProperties::Assign(const TPersistent* Source)
{
    const auto* source = dynamic_cast<const TvlCustomCurrencyEditProperties*>(Source);
    if (source == nullptr) {
        TvlCustomTextEditProperties::Assign(Source);
        return;
    }
    const TvlEditUpdateScope<TvlCustomEditProperties> update(*this);
    TvlCustomTextEditProperties::Assign(Source);
    AssignedValues()->SetDecimalPlaces(false);
    if (source->IsDecimalPlacesStored())
        SetDecimalPlaces(source->DecimalPlaces());
    SetNullable(source->Nullable());
    SetNullString(source->NullString());
    SetUseThousandSeparator(source->UseThousandSeparator());
}

int TvlCustomCurrencyEditProperties::DecimalPlaces() const
{
    return AssignedValues()->DecimalPlaces() ? FDecimalPlaces : FormatSettings.CurrencyDecimals;
}

void TvlCustomCurrencyEditProperties::SetDecimalPlaces(int Value)
{
    if (AssignedValues()->DecimalPlaces() && Value == FDecimalPlaces)
        return;
    const TvlEditUpdateScope<TvlCustomEditProperties> update(*this);
    AssignedValues()->SetDecimalPlaces(true);
    FDecimalPlaces = Value;
    Changed();
}

void TvlCustomCurrencyEditProperties::SetNullable(bool Value)
{
    if (FNullable == Value)
        return;
    FNullable = Value;
    Changed();
}

void TvlCustomCurrencyEditProperties::SetNullString(const String& Value)
{
    if (FNullString == Value)
        return;
    FNullString = Value;
    Changed();
}

void TvlCustomCurrencyEditProperties::SetUseThousandSeparator(bool Value)
{
    if (FUseThousandSeparator == Value)
        return;
    FUseThousandSeparator = Value;
    Changed();
}

String TvlCustomCurrencyEditProperties::GetDefaultDisplayFormat() const
{
    return vlFormatController()->CurrencyDisplayFormat();
}

int TvlCustomCurrencyEditProperties::GetEditValueSource(bool AEditFocused) const
{
    if (AEditFocused)
        return 0;
    IvlEditDefaultValuesProvider* provider = DefaultValuesProvider();
    return provider != nullptr && provider->DefinesDisplayFormat(false) ? 1 : 0;
}

bool TvlCustomCurrencyEditProperties::StrToCurrencyValue(const String& AText, double& AValue) const
{
    String text = AText;
    if (!FormatSettings.ThousandSeparator.isNull())
        text.remove(FormatSettings.ThousandSeparator);
    long double value = 0;
    if (TryStrToFloat(text, value)) {
        const long double magnitude = std::fabs(value);
        if (value == 0 || (magnitude >= 5e-324L && magnitude <= 1.7e308L)) {
            AValue = static_cast<double>(value);
            return true;
        }
    }
    AValue = 0;
    return AText.isEmpty();
}

Variant TvlCustomCurrencyEditProperties::TextToEditValue(const String& AText) const
{
    double value = 0;
    if (!AText.isEmpty() && AText != FNullString && StrToCurrencyValue(AText, value))
        return Variant(value);
    // An empty value is a double 0 like every other value: a currency 0
    // would compare unequal to the double 0 and report a change.
    return FNullable ? Null() : Variant(0.0);
}

bool TvlCustomCurrencyEditProperties::hasEditFormat() const
{
    bool isCurrency = false;
    bool getTextAssigned = false;
    String format;
    PrepareEditFormat(isCurrency, getTextAssigned, format, nullptr);
    return !format.isEmpty();
}

void TvlCustomCurrencyEditProperties::PrepareDisplayValue(const Variant& AEditValue, Variant& DisplayValue,
                                                          bool AEditFocused) const
{
    try {
        if (VarIsNull(AEditValue) || VarIsEmpty(AEditValue)) {
            if (AEditFocused)
                DisplayValue = Variant(String());
            else if (FNullable)
                DisplayValue = Variant(FNullString);
            else
                TvlCustomTextEditProperties::PrepareDisplayValue(Variant(0.0), DisplayValue, false);
            return;
        }
        TvlCustomTextEditProperties::PrepareDisplayValue(AEditValue, DisplayValue, AEditFocused);
    } catch (const EConvertError&) {
        DisplayValue = Variant(AEditFocused ? String() : VarToStr(AEditValue));
    } catch (const EVariantError&) {
        DisplayValue = Variant(AEditFocused ? String() : VarToStr(AEditValue));
    }
}

bool TvlCustomCurrencyEditProperties::IsDisplayValueValid(Variant& ADisplayValue, bool AEditFocused) const
{
    if (!AEditFocused || hasEditFormat())
        return true;
    const String text = Trim(VarToStr(ADisplayValue));
    double value = 0;
    if (!StrToCurrencyValue(text, value))
        return false;
    ADisplayValue = Variant(text);
    return true;
}

void TvlCustomCurrencyEditProperties::ValidateDisplayValue(Variant& ADisplayValue, String& AErrorText, bool& AError,
                                                           TvlCustomEdit* AEdit) const
{
    double value = 0;
    if (!StrToCurrencyValue(VarToStr(ADisplayValue), value))
        AError = true;
    TvlCustomTextEditProperties::ValidateDisplayValue(ADisplayValue, AErrorText, AError, AEdit);
}

const TClassInfo* TvlCustomCurrencyEditProperties::ClassInfo() const { return &StaticClassInfo(); }

const TClassInfo& TvlCustomCurrencyEditProperties::StaticClassInfo()
{
    static const TClassInfo info = TClassInfoBuilder<TvlCustomCurrencyEditProperties>(
                                       "TvlCustomCurrencyEditProperties",
                                       &TvlCustomTextEditProperties::StaticClassInfo())
                                       .Build();
    return info;
}

std::unique_ptr<TvlCustomEditProperties> TvlCurrencyEditProperties::NewInstance(TPersistent* AOwner) const
{
    return std::make_unique<TvlCurrencyEditProperties>(AOwner);
}

const TClassInfo* TvlCurrencyEditProperties::ClassInfo() const { return &StaticClassInfo(); }

const TClassInfo& TvlCurrencyEditProperties::StaticClassInfo()
{
    using P = TvlCurrencyEditProperties;
    static const TClassInfo info =
        TClassInfoBuilder<P>("TvlCurrencyEditProperties", &TvlCustomCurrencyEditProperties::StaticClassInfo())
            .Object("Alignment", &P::Alignment, &P::SetAlignment)
            .Stored([](const P& p) { return p.IsAlignmentStored(); })
            .Object("AssignedValues", &P::AssignedValues, &P::SetAssignedValues)
            .Bool("AutoSelect", &P::AutoSelect, &P::SetAutoSelect, true)
            .Int("ClearKey", &P::ClearKey, &P::SetClearKey, TShortCut(0))
            .Int("DecimalPlaces", &P::DecimalPlaces, &P::SetDecimalPlaces)
            .Stored([](const P& p) { return p.IsDecimalPlacesStored(); })
            .Str("DisplayFormat", &P::DisplayFormat, &P::SetDisplayFormat)
            .Stored([](const P& p) { return p.IsDisplayFormatStored(); })
            .Str("EditFormat", &P::EditFormat, &P::SetEditFormat)
            .Stored([](const P& p) { return p.IsEditFormatStored(); })
            .Bool("HideSelection", &P::HideSelection, &P::SetHideSelection, true)
            .Str("ImeName", &P::ImeName, &P::SetImeName)
            .Int("MaxLength", &P::MaxLength, &P::SetMaxLength)
            .Stored([](const P& p) { return p.IsMaxLengthStored(); })
            .Float("MaxValue", &P::MaxValue, &P::SetMaxValue)
            .Stored([](const P& p) { return p.IsMaxValueStored(); })
            .Float("MinValue", &P::MinValue, &P::SetMinValue)
            .Stored([](const P& p) { return p.IsMinValueStored(); })
            .Bool("Nullable", &P::Nullable, &P::SetNullable, true)
            .Str("NullString", &P::NullString, &P::SetNullString)
            .Char("PasswordChar", &P::PasswordChar, &P::SetPasswordChar, QChar(0))
            .Bool("ReadOnly", &P::ReadOnly, &P::SetReadOnly)
            .Stored([](const P& p) { return p.IsReadOnlyStored(); })
            .Bool("UseDisplayFormatWhenEditing", &P::UseDisplayFormatWhenEditing,
                  &P::SetUseDisplayFormatWhenEditing, false)
            .Bool("UseLeftAlignmentOnEditing", &P::UseLeftAlignmentOnEditing, &P::SetUseLeftAlignmentOnEditing)
            .Stored([](const P& p) { return p.IsUseLeftAlignmentOnEditingStored(); })
            .Bool("UseThousandSeparator", &P::UseThousandSeparator, &P::SetUseThousandSeparator, false)
            .Bool("ValidateOnEnter", &P::ValidateOnEnter, &P::SetValidateOnEnter, true)
            .Build();
    return info;
}

// ---------------------------------------------------------------- editor

TvlCustomCurrencyEdit::TvlCustomCurrencyEdit(TComponent* AOwner, bool AIsInplace)
    : TvlCustomCurrencyEdit(AOwner, AIsInplace, TDeferInitialize{})
{
    Initialize();
}

TvlCustomCurrencyEdit::TvlCustomCurrencyEdit(TComponent* AOwner, bool AIsInplace, TDeferInitialize)
    : TvlCustomTextEdit(AOwner, AIsInplace, TDeferInitialize{})
{
}

void TvlCustomCurrencyEdit::Initialize()
{
    if (Initialized())
        return;
    TvlCustomTextEdit::Initialize();
    FControlStyle.Exclude(csSetCaption);
}

std::unique_ptr<TvlCustomEditProperties> TvlCustomCurrencyEdit::CreateProperties()
{
    return std::make_unique<TvlCustomCurrencyEditProperties>(this);
}

void TvlCustomCurrencyEdit::GetDisplayValue(Variant& V) const
{
    V = ActiveProperties()->TextToEditValue(Text());
}

void TvlCustomCurrencyEdit::PrepareEditValue(const Variant& ADisplayValue, Variant& AEditValue, bool)
{
    AEditValue = ActiveProperties()->TextToEditValue(VarToStr(ADisplayValue));
}

bool TvlCustomCurrencyEdit::CheckDecimals(const String& AText) const
{
    const qsizetype p = AText.indexOf(FormatSettings.DecimalSeparator);
    if (p >= 0) {
        qsizetype end = AText.size();
        for (qsizetype i = p + 1; i < AText.size(); ++i)
            if (AText[i] == u'E' || AText[i] == u'e') {
                end = i;
                break;
            }
        if (end - p - 1 > ActiveProperties()->DecimalPlaces())
            return false;
    }
    double value = 0;
    return ActiveProperties()->StrToCurrencyValue(AText, value);
}

bool TvlCustomCurrencyEdit::IsValidChar(QChar Key) const
{
    const TvlCustomCurrencyEditProperties* properties = ActiveProperties();
    const bool thousand = properties->UseThousandSeparator() && Key == FormatSettings.ThousandSeparator;
    if (!thousand && !IsNumericChar(Key, 2) && Key != FormatSettings.DecimalSeparator)
        return false;
    const String text = Text();
    bool isCurrency = false;
    bool getTextAssigned = false;
    String format;
    properties->PrepareEditFormat(isCurrency, getTextAssigned, format, this);
    if (!format.isEmpty() && !CheckDecimals(text))
        return true;
    const int start = std::clamp(SelStart(), 0, int(text.size()));
    const int length = std::clamp(SelLength(), 0, int(text.size()) - start);
    const String result = text.left(start) + Key + text.mid(start + length);
    if (result == QStringLiteral("-"))
        return true;
    return CheckDecimals(result);
}

void TvlCustomCurrencyEdit::KeyPress(QChar& Key)
{
    const bool thousand = ActiveProperties()->UseThousandSeparator() && Key == FormatSettings.ThousandSeparator;
    if (!thousand && (Key == u'.' || Key == u','))
        Key = FormatSettings.DecimalSeparator;
    TvlCustomTextEdit::KeyPress(Key);
}

void TvlCustomCurrencyEdit::PropertiesChanged(TObject* Sender)
{
    if (!ComponentState().Contains(csDestroying) && Initialized() && !Focused())
        DataBinding()->RefreshDisplay();
    TvlCustomTextEdit::PropertiesChanged(Sender);
}

void TvlCustomCurrencyEdit::PasteFromClipboard()
{
    if (CanModify())
        TvlCustomTextEdit::PasteFromClipboard();
}

double TvlCustomCurrencyEdit::Value() const
{
    if (Focused() && ModifiedAfterEnter() && !IsValidated()) {
        const Variant v = ActiveProperties()->TextToEditValue(Text());
        return VarIsNumeric(v) ? v.AsDouble() : 0.0;
    }
    const Variant v = EditValue();
    if (VarIsNull(v) || VarIsEmpty(v))
        return 0;
    if (VarIsStr(v)) {
        double value = 0;
        return ActiveProperties()->StrToCurrencyValue(VarToStr(v), value) ? value : 0.0;
    }
    try {
        return v.AsDouble();
    } catch (const EVariantError&) {
        return 0;
    }
}

double TvlCustomCurrencyEdit::boundedValue(double AValue) const
{
    const TvlCustomCurrencyEditProperties* properties = ActiveProperties();
    if (properties->IsValueBoundDefined(false) && AValue < properties->MinValue())
        return properties->MinValue();
    if (properties->IsValueBoundDefined(true) && AValue > properties->MaxValue())
        return properties->MaxValue();
    return AValue;
}

void TvlCustomCurrencyEdit::SetValue(double AValue)
{
    SetInternalEditValue(Variant(boundedValue(AValue)));
}

void TvlCustomCurrencyEdit::InternalCheckEditorValueBounds()
{
    const TUserActionScope userAction(this, ModifiedAfterEnter());
    const double value = Value();
    const double bounded = boundedValue(value);
    if (bounded != value)
        SetValue(bounded);
}

TvlCurrencyEdit::TvlCurrencyEdit(TComponent* AOwner, bool AIsInplace)
    : TvlCustomCurrencyEdit(AOwner, AIsInplace, TDeferInitialize{})
{
    Initialize();
}

std::unique_ptr<TvlCustomEditProperties> TvlCurrencyEdit::CreateProperties()
{
    return std::make_unique<TvlCurrencyEditProperties>(this);
}

const TClassInfo& TvlCurrencyEdit::StaticClassInfo()
{
    using C = TvlCurrencyEdit;
    static const TClassInfo info =
        TClassInfoBuilder<C>("TvlCurrencyEdit", &TvlCustomEdit::StaticClassInfo())
            .Float("Value", &C::Value, &C::SetValue)
            .Stored(false)
            .Build();
    return info;
}

// ---------------------------------------------------------------- filter helper

const TClassInfo& TvlFilterCurrencyEditHelper::HelperClass() const
{
    static const TClassInfo info{String::fromLatin1("TvlFilterCurrencyEditHelper"),
                                 &TvlFilterTextEditHelper::StaticClassInfo(), {}};
    return info;
}

const TvlFilterCurrencyEditHelper* TvlFilterCurrencyEditHelper::Instance()
{
    static const TvlFilterCurrencyEditHelper instance;
    return &instance;
}

TvlClass TvlFilterCurrencyEditHelper::FilterEditClass() const { return &TvlCurrencyEditProperties::StaticClassInfo(); }

TvlFilterControlOperators TvlFilterCurrencyEditHelper::SupportedOperators(const TvlCustomEditProperties*,
                                                                          TvlValueTypeClass, bool AExtended) const
{
    // The comparisons, blanks and non-blanks; extended also the ranges and lists.
    TvlFilterControlOperators result = 0;
    for (TvlFilterControlOperator op = 1; op <= (AExtended ? 14 : 10); ++op)
        if (op != 7 && op != 8)
            result |= FilterControlOperatorBit(op);
    return result;
}

void TvlFilterCurrencyEditHelper::InitializeProperties(TvlCustomEditProperties* AProperties,
                                                       const TvlCustomEditProperties* ASource,
                                                       bool AKeepButtons) const
{
    TvlFilterTextEditHelper::InitializeProperties(AProperties, ASource, AKeepButtons);
    if (auto* currency = dynamic_cast<TvlCustomCurrencyEditProperties*>(AProperties)) {
        currency->SetMinValue(0);
        currency->SetMaxValue(0);
        currency->SetNullable(true);
        currency->SetNullString(String());
    }
}

void AddvlCurrencyEditUnit(TStartupList& AList)
{
    AList.Add(
        QStringLiteral("vlCurrencyEdit"),
        [] {
            RegisterEditProperties(&TvlCurrencyEditProperties::StaticClassInfo(),
                                   GetResourceString(vlEditConsts::svlSEditRepositoryCurrencyItem),
                                   [](TPersistent* AOwner) { return std::make_unique<TvlCurrencyEditProperties>(AOwner); });
            GetFilterEditsController()->Register(&TvlCurrencyEditProperties::StaticClassInfo(),
                                                 TvlFilterCurrencyEditHelper::Instance());
        },
        [] {
            GetFilterEditsController()->Unregister(&TvlCurrencyEditProperties::StaticClassInfo(),
                                                   TvlFilterCurrencyEditHelper::Instance());
            UnregisterEditProperties(&TvlCurrencyEditProperties::StaticClassInfo());
        });
}
