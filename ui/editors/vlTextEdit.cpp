#include "ui/editors/vlTextEdit.h"
#include "ui/editors/vlTextEditPublished.h"

#include "platform/rtl/FMTBcd.h"
#include "platform/rtl/SysUtils.h"
#include "platform/rtl/TypInfo.h"
#include "ui/editors/vlEditConsts.h"
#include "ui/editors/vlEditScopes.h"

namespace {

bool isDigit(QChar C) { return C >= u'0' && C <= u'9'; }

// The thousand separator used for number texts: none where it would read as
// the decimal separator.
QChar effectiveThousandSeparator()
{
    const QChar separator = FormatSettings.ThousandSeparator;
    if (separator == FormatSettings.DecimalSeparator)
        return QChar();
    return separator;
}

}  // namespace

// ------------------------------------------------------------ number text

void RemoveThousandSeparators(String& S)
{
    const QChar separator = effectiveThousandSeparator();
    if (!separator.isNull())
        S.remove(separator);
}

void ExtractExponentPart(String& S, String& AExponent)
{
    const int at = int(S.indexOf(u'E', 0, Qt::CaseInsensitive));
    if (at < 0) {
        AExponent.clear();
        return;
    }
    AExponent = S.mid(at);
    S.truncate(at);
}

void AddThousandSeparators(String& S)
{
    const QChar separator = effectiveThousandSeparator();
    int first = 0;
    while (first < S.size() && S[first] == u' ')
        ++first;
    int last = int(S.size());
    while (last > first && S[last - 1] == u' ')
        --last;
    const String leading = S.left(first);
    const String trailing = S.mid(last);
    String number = S.mid(first, last - first);
    String exponent;
    ExtractExponentPart(number, exponent);
    if (separator.isNull()) {
        S = leading + number + exponent + trailing;
        return;
    }
    number.remove(separator);
    int end = int(number.indexOf(FormatSettings.DecimalSeparator));
    if (end < 0)
        end = int(number.size());
    int digits = 0;
    for (int i = end; i > 0 && isDigit(number[i - 1]); --i) {
        // A separator only between two digits: never before the leftmost one.
        if (digits > 0 && digits % 3 == 0)
            number.insert(i, separator);
        ++digits;
    }
    S = leading + number + exponent + trailing;
}

// ------------------------------------------------------------ assigned values

TvlCustomTextEditProperties* TvlTextEditPropertiesValues::textProperties() const
{
    return dynamic_cast<TvlCustomTextEditProperties*>(Properties());
}

void TvlTextEditPropertiesValues::Assign(const TPersistent* Source)
{
    const auto* source = dynamic_cast<const TvlTextEditPropertiesValues*>(Source);
    if (source == nullptr) {
        TvlCustomEditPropertiesValues::Assign(Source);
        return;
    }
    const TvlEditUpdateScope<TvlCustomEditProperties> update(Properties());
    TvlCustomEditPropertiesValues::Assign(Source);
    SetDisplayFormat(source->DisplayFormat());
    SetEditFormat(source->EditFormat());
    SetMaxLength(source->MaxLength());
}

void TvlTextEditPropertiesValues::RestoreDefaults()
{
    const TvlEditUpdateScope<TvlCustomEditProperties> update(Properties());
    TvlCustomEditPropertiesValues::RestoreDefaults();
    SetDisplayFormat(false);
    SetEditFormat(false);
    SetMaxLength(false);
}

void TvlTextEditPropertiesValues::SetDisplayFormat(bool Value)
{
    if (FDisplayFormat == Value)
        return;
    FDisplayFormat = Value;
    if (TvlCustomEditProperties* properties = Properties())
        properties->Changed();
}

void TvlTextEditPropertiesValues::SetEditFormat(bool Value)
{
    if (FEditFormat == Value)
        return;
    FEditFormat = Value;
    if (TvlCustomEditProperties* properties = Properties())
        properties->Changed();
}

void TvlTextEditPropertiesValues::SetMaxLength(bool Value)
{
    if (FMaxLength == Value)
        return;
    FMaxLength = Value;
    if (TvlCustomTextEditProperties* properties = textProperties())
        properties->MaxLengthChanged();
}

bool TvlTextEditPropertiesValues::IsDisplayFormatStored() const
{
    const TvlCustomTextEditProperties* properties = textProperties();
    return FDisplayFormat && properties != nullptr && properties->DisplayFormat().isEmpty() &&
           properties->ClassInfo()->FindProp(String::fromLatin1("DisplayFormat")) != nullptr;
}

bool TvlTextEditPropertiesValues::IsEditFormatStored() const
{
    const TvlCustomTextEditProperties* properties = textProperties();
    return FEditFormat && properties != nullptr && properties->EditFormat().isEmpty() &&
           properties->ClassInfo()->FindProp(String::fromLatin1("EditFormat")) != nullptr;
}

const TClassInfo* TvlTextEditPropertiesValues::ClassInfo() const { return &StaticClassInfo(); }

const TClassInfo& TvlTextEditPropertiesValues::StaticClassInfo()
{
    static const TClassInfo info =
        TClassInfoBuilder<TvlTextEditPropertiesValues>("TvlTextEditPropertiesValues",
                                                       &TvlCustomEditPropertiesValues::StaticClassInfo())
            .Bool("DisplayFormat", &TvlTextEditPropertiesValues::DisplayFormat,
                  &TvlTextEditPropertiesValues::SetDisplayFormat, false)
            .Stored([](const TvlTextEditPropertiesValues& V) { return V.IsDisplayFormatStored(); })
            .Bool("EditFormat", &TvlTextEditPropertiesValues::EditFormat, &TvlTextEditPropertiesValues::SetEditFormat,
                  false)
            .Stored([](const TvlTextEditPropertiesValues& V) { return V.IsEditFormatStored(); })
            .Bool("MaxLength", &TvlTextEditPropertiesValues::MaxLength, &TvlTextEditPropertiesValues::SetMaxLength,
                  false)
            .Stored(false)
            .Bool("MaxValue", &TvlTextEditPropertiesValues::MaxValue, &TvlTextEditPropertiesValues::SetMaxValue, false)
            .Stored([](const TvlTextEditPropertiesValues& V) { return V.IsMaxValueStored(); })
            .Bool("MinValue", &TvlTextEditPropertiesValues::MinValue, &TvlTextEditPropertiesValues::SetMinValue, false)
            .Stored([](const TvlTextEditPropertiesValues& V) { return V.IsMinValueStored(); })
            .Build();
    return info;
}

// ------------------------------------------------------------ properties

TvlCustomTextEditProperties::TvlCustomTextEditProperties(TPersistent* AOwner) : TvlCustomEditProperties(AOwner)
{
    RecreateAssignedValues();
    FLookupItems = std::make_unique<TStringList>(false);
    FLookupItems->SetDuplicates(dupAccept);
    FLookupItems->OnChange = TNotifyEvent(this, &TvlCustomTextEditProperties::lookupItemsChanged);
    vlFormatController()->AddListener(this);
}

TvlCustomTextEditProperties::~TvlCustomTextEditProperties()
{
    // Properties kept in statics may outlive the controller.
    if (TvlFormatController* controller = vlFormatControllerAssigned())
        controller->RemoveListener(this);
    FLookupItems->OnChange = nullptr;
}

std::unique_ptr<TvlCustomEditProperties> TvlCustomTextEditProperties::NewInstance(TPersistent* AOwner) const
{
    return std::make_unique<TvlCustomTextEditProperties>(AOwner);
}

TvlCustomEditPropertiesValuesClass TvlCustomTextEditProperties::GetAssignedValuesClass() const
{
    return [](TPersistent* AOwner) { return std::make_unique<TvlTextEditPropertiesValues>(AOwner); };
}

void TvlCustomTextEditProperties::Assign(const TPersistent* Source)
{
    const auto* source = dynamic_cast<const TvlCustomTextEditProperties*>(Source);
    if (source == nullptr) {
        TvlCustomEditProperties::Assign(Source);
        return;
    }
    const TvlEditUpdateScope<TvlCustomEditProperties> update(*this);
    TvlCustomEditProperties::Assign(Source);
    SetCharCase(source->CharCase());
    SetEchoMode(source->EchoMode());
    SetFixedListTypedSelection(source->FixedListTypedSelection());
    SetHideCursor(source->HideCursor());
    SetHideSelection(source->HideSelection());
    SetImmediateUpdateText(source->ImmediateUpdateText());
    SetIncrementalSearch(source->IncrementalSearch());
    SetExactLookupMatch(source->ExactLookupMatch());
    SetExtraValidChars(source->ExtraValidChars());
    // The items keep the source's order until the list sorts them.
    SetLookupItemsSorted(false);
    FLookupItems->Assign(source->LookupItems());
    SetLookupItemsSorted(source->LookupItemsSorted());
    TvlTextEditPropertiesValues* values = AssignedValues();
    const TvlTextEditPropertiesValues* sourceValues = source->AssignedValues();
    values->SetDisplayFormat(false);
    if (sourceValues->DisplayFormat())
        SetDisplayFormat(source->DisplayFormat());
    values->SetEditFormat(false);
    if (sourceValues->EditFormat())
        SetEditFormat(source->EditFormat());
    values->SetMaxLength(false);
    if (sourceValues->MaxLength())
        SetMaxLength(source->MaxLength());
    SetOEMConvert(source->OEMConvert());
    SetImeMode(source->ImeMode());
    SetImeName(source->ImeName());
    SetPasswordChar(source->PasswordChar());
    SetUseDisplayFormatWhenEditing(source->UseDisplayFormatWhenEditing());
    OnNewLookupDisplayText = source->OnNewLookupDisplayText;
}

String TvlCustomTextEditProperties::DisplayFormat() const
{
    if (AssignedValues()->DisplayFormat())
        return FDisplayFormat;
    if (IvlEditDefaultValuesProvider* provider = DefaultValuesProvider()) {
        const String format = provider->ProvidedDisplayFormat();
        if (!format.isEmpty())
            return format;
    }
    return GetDefaultDisplayFormat();
}

void TvlCustomTextEditProperties::SetDisplayFormat(const String& Value)
{
    if (AssignedValues()->DisplayFormat() && Value == FDisplayFormat)
        return;
    const TvlEditUpdateScope<TvlCustomEditProperties> update(*this);
    AssignedValues()->SetDisplayFormat(true);
    FDisplayFormat = Value;
    Changed();
}

String TvlCustomTextEditProperties::EditFormat() const
{
    bool isCurrency = false;
    bool getTextAssigned = false;
    String format;
    PrepareEditFormat(isCurrency, getTextAssigned, format, nullptr);
    return format;
}

void TvlCustomTextEditProperties::SetEditFormat(const String& Value)
{
    if (AssignedValues()->EditFormat() && Value == FEditFormat)
        return;
    const TvlEditUpdateScope<TvlCustomEditProperties> update(*this);
    AssignedValues()->SetEditFormat(true);
    FEditFormat = Value;
    Changed();
}

int TvlCustomTextEditProperties::MaxLength() const
{
    return AssignedValues()->MaxLength() ? FMaxLength : GetDefaultMaxLength();
}

void TvlCustomTextEditProperties::SetMaxLength(int Value)
{
    Value = std::max(Value, 0);
    if (AssignedValues()->MaxLength() && Value == FMaxLength)
        return;
    AssignedValues()->FMaxLength = true;
    FMaxLength = Value;
    MaxLengthChanged();
}

int TvlCustomTextEditProperties::GetDefaultMaxLength() const
{
    IvlEditDefaultValuesProvider* provider = DefaultValuesProvider();
    return provider != nullptr ? provider->ProvidedMaxLength() : 0;
}

void TvlCustomTextEditProperties::SetFixedListTypedSelection(bool Value)
{
    if (Value == FFixedListTypedSelection)
        return;
    FFixedListTypedSelection = Value;
    if (GetEditingStyle() == esFixedList)
        Changed();
}

TvlTextEditViewStyle TvlCustomTextEditProperties::ViewStyle() const
{
    switch (ButtonsLayout()) {
    case eblButtonsOnly:
        return vsButtonsOnly;
    case eblButtonsAutoWidth:
        return vsButtonsAutoWidth;
    case eblNormal:
        break;
    }
    return FHideCursor ? vsHideCursor : vsNormal;
}

void TvlCustomTextEditProperties::SetViewStyle(TvlTextEditViewStyle Value)
{
    if (Value == ViewStyle())
        return;
    const TvlEditUpdateScope<TvlCustomEditProperties> update(*this);
    switch (Value) {
    case vsButtonsOnly:
        SetButtonsLayout(eblButtonsOnly);
        break;
    case vsButtonsAutoWidth:
        SetButtonsLayout(eblButtonsAutoWidth);
        break;
    case vsNormal:
    case vsHideCursor:
        SetButtonsLayout(eblNormal);
        break;
    }
    SetHideCursor(Value != vsNormal);
}

void TvlCustomTextEditProperties::ReadIsDisplayFormatAssigned(bool Value)
{
    AssignedValues()->SetDisplayFormat(Value);
}

void TvlCustomTextEditProperties::SetCharCase(TEditCharCase Value) { setValue(FCharCase, Value); }

void TvlCustomTextEditProperties::SetAlignmentCore(const TvlEditAlignment* Value)
{
    const TvlEditUpdateScope<TvlCustomEditProperties> update(*this);
    TvlCustomEditProperties::SetAlignmentCore(Value);
}

void TvlCustomTextEditProperties::AlignmentChangedHandler(TObject* Sender)
{
    const TvlEditUpdateScope<TvlCustomEditProperties> update(*this);
    TvlCustomEditProperties::AlignmentChangedHandler(Sender);
}

void TvlCustomTextEditProperties::FormatChanged()
{
    struct TChanging {
        bool& Flag;
        explicit TChanging(bool& AFlag) : Flag(AFlag) { Flag = true; }
        ~TChanging() { Flag = false; }
    } changing(FFormatChanging);
    Changed();
}

bool TvlCustomTextEditProperties::FindLookupText(const String& AText) const
{
    for (int i = 0; i < FLookupItems->Count(); ++i)
        if (InternalCompareString(AText, FLookupItems->Strings(i), false))
            return true;
    return false;
}

String TvlCustomTextEditProperties::ApplyCharCase(const String& AText) const
{
    switch (FCharCase) {
    case ecUpperCase:
        return AnsiUpperCase(AText);
    case ecLowerCase:
        return AnsiLowerCase(AText);
    case ecNormal:
        break;
    }
    return AText;
}

void TvlCustomTextEditProperties::DisplayValueToDisplayText(String& AText) const
{
    if (FEchoMode == eemPassword)
        AText = String(AText.size(), FPasswordChar.isNull() ? QChar(u'*') : FPasswordChar);
    else
        AText = ApplyCharCase(AText);
}

bool TvlCustomTextEditProperties::IsDisplayValueValid(Variant& ADisplayValue, bool) const
{
    const String text = VarToStr(ADisplayValue);
    if (text.isEmpty())
        return true;
    const TvlEditEditingStyle style = GetEditingStyle();
    if ((style == esEditList || style == esFixedList) && UseLookupData() && !FindLookupText(text))
        return false;
    ADisplayValue = Variant(ApplyCharCase(text));
    return true;
}

bool TvlCustomTextEditProperties::IsEditValueValid(Variant& AEditValue, bool AEditFocused) const
{
    if (VarIsNull(AEditValue) || !VarIsStr(AEditValue))
        return true;
    return IsDisplayValueValid(AEditValue, AEditFocused);
}

bool TvlCustomTextEditProperties::IsValueBoundDefined(bool AIsMax) const
{
    const bool minAssigned = AssignedValues()->MinValue();
    const bool maxAssigned = AssignedValues()->MaxValue();
    if (minAssigned != maxAssigned)
        return AIsMax ? maxAssigned : minAssigned;
    return MaxValue() > MinValue();
}

void TvlCustomTextEditProperties::CheckDisplayValueBounds(const Variant& ADisplayValue, String& AErrorText,
                                                          TvlCustomEdit*, bool& AError) const
{
    // The display value as a number: the text editors' edit value is the text.
    Variant value = ADisplayValue;
    if (VarIsStr(value)) {
        double number = 0;
        if (!TryStrToFloat(VarToStr(value), number))
            return;
        value = Variant(number);
    }
    if (!VarIsNumeric(value) && !VarIsDate(value))
        return;
    const double number = value.AsDouble();
    if ((IsValueBoundDefined(false) && number < MinValue()) || (IsValueBoundDefined(true) && number > MaxValue())) {
        AError = true;
        AErrorText = GetValidateErrorText(1);
    }
}

void TvlCustomTextEditProperties::ValidateDisplayValue(Variant& ADisplayValue, String& AErrorText, bool& AError,
                                                       TvlCustomEdit* AEdit) const
{
    if (IsEditValueNumeric() && IsValueBoundsDefined())
        CheckDisplayValueBounds(ADisplayValue, AErrorText, AEdit, AError);
    TvlCustomEditProperties::ValidateDisplayValue(ADisplayValue, AErrorText, AError, AEdit);
}

String TvlCustomTextEditProperties::GetValidateErrorText(int AErrorKind) const
{
    if (AErrorKind == 1)
        return GetResourceString(vlEditConsts::vlSEditValueOutOfBounds);
    return TvlCustomEditProperties::GetValidateErrorText(AErrorKind);
}

void TvlCustomTextEditProperties::PrepareEditFormat(bool& AIsCurrency, bool& AGetTextAssigned, String& AFormat,
                                                    const TvlCustomEdit* AEdit) const
{
    AIsCurrency = false;
    AGetTextAssigned = false;
    AFormat.clear();
    if (AssignedValues()->EditFormat()) {
        AFormat = FEditFormat;
        return;
    }
    IvlEditDefaultValuesProvider* provider = DefaultValuesProvider();
    if (provider != nullptr && (AEdit == nullptr || !AEdit->IsInplace()))
        AGetTextAssigned = provider->IsOnSetTextAssigned();
    if (AssignedValues()->DisplayFormat())
        AFormat = FDisplayFormat;
    if (AFormat.isEmpty() && provider != nullptr)
        AFormat = provider->ProvidedDisplayFormat();
    if (AFormat.isEmpty())
        AFormat = GetDefaultDisplayFormat();
    if (AFormat.isEmpty() && provider != nullptr)
        AIsCurrency = (GetDisplayFormatOptions() & 2u) == 0 && provider->IsCurrency();
    if (!FUseDisplayFormatWhenEditing)
        AFormat.clear();
}

String TvlCustomTextEditProperties::numberText(const Variant& AEditValue, bool AEditFocused) const
{
    if (!AEditFocused) {
        const String format = DisplayFormat();
        if (!format.isEmpty())
            return FormatFloat(format, static_cast<long double>(AEditValue.AsDouble()));
        return VarToStr(AEditValue);
    }
    bool isCurrency = false;
    bool getTextAssigned = false;
    String format;
    PrepareEditFormat(isCurrency, getTextAssigned, format, nullptr);
    IvlEditDefaultValuesProvider* provider = DefaultValuesProvider();
    const int precision = provider != nullptr ? provider->ProvidedPrecision() : 15;
    String text = VarToStr(AEditValue);
    TBcd bcd;
    if (isCurrency)
        return TryStrToBcd(text, bcd) ? BcdToStrF(bcd, ffFixed, precision, FormatSettings.CurrencyDecimals) : text;
    if (!format.isEmpty())
        return FormatFloat(format, static_cast<long double>(AEditValue.AsDouble()));
    if (TryStrToBcd(text, bcd))
        text = BcdToStrF(bcd, ffGeneral, precision, 0);
    if (ThousandSeparatorsWhileEditing(false))
        AddThousandSeparators(text);
    return text;
}

void TvlCustomTextEditProperties::PrepareDisplayValue(const Variant& AEditValue, Variant& DisplayValue,
                                                      bool AEditFocused) const
{
    if (!IsEditValueNumeric()) {
        DisplayValue = Variant(VariantToString(AEditValue));
        return;
    }
    if (VarIsNull(AEditValue) || VarIsEmpty(AEditValue)) {
        DisplayValue = Variant(String());
        return;
    }
    if (!VarIsNumeric(AEditValue) && !VarIsStr(AEditValue) && VarType(AEditValue) != varFMTBcd)
        throw EConvertError(GetResourceString(vlEditConsts::vlSEditNumericValueConvertError));
    DisplayValue = Variant(numberText(AEditValue, AEditFocused));
}

void TvlCustomTextEditProperties::PrepareTextDisplayValue(const Variant& AEditValue, Variant& DisplayValue,
                                                          bool AEditFocused) const
{
    Variant value = AEditValue;
    if (IsEditValueValid(value, AEditFocused))
        PrepareDisplayValue(AEditValue, DisplayValue, AEditFocused);
    else
        DisplayValue = Variant(VarToStr(AEditValue));
}

String TvlCustomTextEditProperties::GetDisplayText(const Variant& AEditValue, bool, bool AIsInplace) const
{
    String text;
    const uint32_t options = GetDisplayFormatOptions();
    IvlEditDefaultValuesProvider* provider = DefaultValuesProvider();
    const bool dataFieldText = (options & 1u) != 0 && GetEditValueSource(true) == 0 &&
                               GetEditValueSource(false) == 1 && provider != nullptr &&
                               provider->DefinesDisplayFormat((options & 2u) == 0);
    try {
        if (dataFieldText) {
            text = VarToStr(AEditValue);
        } else {
            Variant displayValue;
            PrepareTextDisplayValue(AEditValue, displayValue,
                                    !AIsInplace && !IsEditValueConversionDependOnFocused());
            text = VarToStr(displayValue);
        }
    } catch (...) {
        DisplayValueToDisplayText(text);
        throw;
    }
    DisplayValueToDisplayText(text);
    return text;
}

bool TvlCustomTextEditProperties::CompareDisplayValues(const Variant& AEditValue1, const Variant& AEditValue2) const
{
    return GetDisplayText(AEditValue1, true, true) == GetDisplayText(AEditValue2, true, true);
}

uint32_t TvlCustomTextEditProperties::GetSupportedOperations() const
{
    return TvlCustomEditProperties::GetSupportedOperations() | vlesoAutoHeight | vlesoIncSearch | vlesoFiltering |
           vlesoGrouping | vlesoSortingByDisplayText | vlesoSorting;
}

const TClassInfo* TvlCustomTextEditProperties::ClassInfo() const { return &StaticClassInfo(); }

const TClassInfo& TvlCustomTextEditProperties::StaticClassInfo()
{
    static const TClassInfo info = TClassInfoBuilder<TvlCustomTextEditProperties>(
                                       "TvlCustomTextEditProperties", &TvlCustomEditProperties::StaticClassInfo())
                                       .Build();
    return info;
}

// ------------------------------------------------------------ published

std::unique_ptr<TvlCustomEditProperties> TvlTextEditProperties::NewInstance(TPersistent* AOwner) const
{
    return std::make_unique<TvlTextEditProperties>(AOwner);
}

const TClassInfo* TvlTextEditProperties::ClassInfo() const { return &StaticClassInfo(); }

const TClassInfo& TvlTextEditProperties::StaticClassInfo()
{
    using P = TvlTextEditProperties;
    static const TClassInfo info = [] {
        TClassInfoBuilder<P> builder("TvlTextEditProperties", &TvlCustomTextEditProperties::StaticClassInfo());
        return PublishTextEditProperties(builder).Build();
    }();
    return info;
}
