#include "ui/data/vlDataStorage.h"

#include <algorithm>
#include <array>
#include <limits>

#include "platform/rtl/Stream.h"
#include "platform/rtl/SysUtils.h"
#include "ui/data/vlDataConsts.h"
#include "ui/data/vlDataUtils.h"
#include "ui/foundation/vxCore.h"

namespace {

int sign(int64_t a, int64_t b)
{
    return a < b ? -1 : a > b ? 1 : 0;
}

int64_t intOf(const TvlValueData& d)
{
    const auto* p = std::get_if<int64_t>(&d.V);
    return p != nullptr ? *p : 0;
}

double doubleOf(const TvlValueData& d)
{
    const auto* p = std::get_if<double>(&d.V);
    return p != nullptr ? *p : 0.0;
}

const String* textOf(const TvlValueData& d)
{
    return std::get_if<String>(&d.V);
}

int compareTexts(const String& a, const String& b)
{
    const int c = a.compare(b, Qt::CaseSensitive);  // UTF-16 code units
    return c < 0 ? -1 : c > 0 ? 1 : 0;
}

// Only what the variant conversions raise counts as "does not convert".
template <class F>
bool converts(F&& f)
{
    try {
        f();
        return true;
    } catch (const EVariantTypeCastError&) {
    } catch (const EVariantOverflowError&) {
    }
    return false;
}

String caption(const char* text)
{
    return String::fromLatin1(text);
}

}  // namespace

// ---- TvlValueType -----------------------------------------------------------

int TvlValueType::CompareData(const TvlValueData& AData1, const TvlValueData& AData2) const
{
    return ComparePrepared(&AData1, &AData2);
}

void TvlValueType::FreeData(TvlValueData& AData) const
{
    AData.V = std::monostate{};
}

Variant TvlValueType::LoadValue(const TvlValueData&) const
{
    return Null();
}

String TvlValueType::DefaultText(const TvlValueData& AData) const
{
    String text;
    if (!converts([&] { text = VarToStr(LoadValue(AData)); }))
        return {};
    return text;
}

String TvlValueType::LoadText(const std::optional<String>& ATextSlot) const
{
    return ATextSlot.value_or(String());
}

void TvlValueType::ReadValueFromStream(TvlValueData& AData, TStream* AStream, bool) const
{
    StoreValue(AData, StreamReadVariant(AStream));
}

void TvlValueType::ReadTextFromStream(std::optional<String>& ATextSlot, TStream* AStream, bool AUnicode) const
{
    StoreText(ATextSlot, AUnicode ? StreamReadWide(AStream) : textFromAnsi(StreamReadAnsi(AStream)));
}

void TvlValueType::StoreValue(TvlValueData&, const Variant&) const
{
}

void TvlValueType::StoreText(std::optional<String>& ATextSlot, const String& AText) const
{
    ATextSlot = AText;
}

void TvlValueType::WriteValueToStream(const TvlValueData& AData, TStream* AStream, bool) const
{
    StreamWriteVariant(AStream, LoadValue(AData));
}

void TvlValueType::WriteTextToStream(const std::optional<String>& ATextSlot, TStream* AStream, bool AUnicode) const
{
    if (AUnicode)
        StreamWriteWide(AStream, LoadText(ATextSlot));
    else
        StreamWriteAnsi(AStream, ansiFromText(LoadText(ATextSlot)));
}

int TvlValueType::ComparePrepared(const TvlValueData* AData1, const TvlValueData* AData2) const
{
    return VarCompare(LoadValue(*AData1), LoadValue(*AData2));
}

Variant TvlValueType::LoadPreparedValue(const TvlValueData* AData) const
{
    return LoadValue(*AData);
}

bool TvlValueType::CheckValue(Variant& AValue) const
{
    if (VarIsNull(AValue) || ValueVarType() == varVariant)
        return true;
    return converts([&] { AValue = VarAsType(AValue, ValueVarType()); });
}

// ---- String and WideString --------------------------------------------------

const TvlStringValueType* TvlStringValueType::Instance()
{
    static const TvlStringValueType instance;
    return &instance;
}

String TvlStringValueType::TypeCaption() const { return caption("String"); }

int TvlStringValueType::CompareData(const TvlValueData& AData1, const TvlValueData& AData2) const
{
    return ComparePrepared(&AData1, &AData2);
}

void TvlStringValueType::FreeData(TvlValueData& AData) const
{
    AData.V = std::monostate{};
}

Variant TvlStringValueType::LoadValue(const TvlValueData& AData) const
{
    const String* text = textOf(AData);
    return text != nullptr ? Variant(*text) : Null();
}

void TvlStringValueType::ReadValueFromStream(TvlValueData& AData, TStream* AStream, bool AUnicode) const
{
    AData.V = AUnicode ? StreamReadWide(AStream) : textFromAnsi(StreamReadAnsi(AStream));
}

void TvlStringValueType::StoreValue(TvlValueData& AData, const Variant& AValue) const
{
    AData.V = AValue.AsString();
}

void TvlStringValueType::WriteValueToStream(const TvlValueData& AData, TStream* AStream, bool AUnicode) const
{
    const String* text = textOf(AData);
    const String value = text != nullptr ? *text : String();
    if (AUnicode)
        StreamWriteWide(AStream, value);
    else
        StreamWriteAnsi(AStream, ansiFromText(value));
}

int TvlStringValueType::ComparePrepared(const TvlValueData* AData1, const TvlValueData* AData2) const
{
    // no text (never stored) first, two of them equal
    const String* a = AData1 != nullptr ? textOf(*AData1) : nullptr;
    const String* b = AData2 != nullptr ? textOf(*AData2) : nullptr;
    if (a == nullptr || b == nullptr)
        return (a == nullptr ? 0 : 1) - (b == nullptr ? 0 : 1);
    return compareTexts(*a, *b);
}

const TvlWideStringValueType* TvlWideStringValueType::Instance()
{
    static const TvlWideStringValueType instance;
    return &instance;
}

String TvlWideStringValueType::TypeCaption() const { return caption("WideString"); }

int TvlWideStringValueType::CompareData(const TvlValueData& AData1, const TvlValueData& AData2) const
{
    return ComparePrepared(&AData1, &AData2);
}

Variant TvlWideStringValueType::LoadValue(const TvlValueData& AData) const
{
    const String* text = textOf(AData);
    if (text == nullptr || text->isEmpty())
        return Null();
    return VarAsType(Variant(*text), varOleStr);
}

void TvlWideStringValueType::ReadValueFromStream(TvlValueData& AData, TStream* AStream, bool) const
{
    StoreValue(AData, Variant(StreamReadWide(AStream)));
}

void TvlWideStringValueType::StoreValue(TvlValueData& AData, const Variant& AValue) const
{
    const String text = AValue.AsString();
    if (text.isEmpty())
        AData.V = std::monostate{};
    else
        AData.V = text;
}

void TvlWideStringValueType::WriteValueToStream(const TvlValueData& AData, TStream* AStream, bool) const
{
    const String* text = textOf(AData);
    StreamWriteWide(AStream, text != nullptr ? *text : String());
}

int TvlWideStringValueType::ComparePrepared(const TvlValueData* AData1, const TvlValueData* AData2) const
{
    if (AData1 == nullptr || AData2 == nullptr)
        return (AData1 == nullptr ? 0 : 1) - (AData2 == nullptr ? 0 : 1);
    // an empty text and no text are the same value here
    const String* a = textOf(*AData1);
    const String* b = textOf(*AData2);
    return compareTexts(a != nullptr ? *a : String(), b != nullptr ? *b : String());
}

// ---- integers -----------------------------------------------------------------

int TvlIntegerKindValueType::CompareData(const TvlValueData& AData1, const TvlValueData& AData2) const
{
    return sign(intOf(AData1), intOf(AData2));
}

Variant TvlIntegerKindValueType::LoadValue(const TvlValueData& AData) const
{
    const int64_t v = intOf(AData);
    switch (ValueVarType()) {
    case varSmallint:
        return Variant(short(v));
    case varWord:
        return Variant(static_cast<unsigned short>(v));
    case varInteger:
        return Variant(int(v));
    default:
        return Variant(static_cast<long long>(v));
    }
}

void TvlIntegerKindValueType::ReadValueFromStream(TvlValueData& AData, TStream* AStream, bool) const
{
    switch (ValueVarType()) {
    case varSmallint:
        StoreValue(AData, Variant(short(StreamReadInt16(AStream))));
        break;
    case varWord:
        StoreValue(AData, Variant(static_cast<unsigned short>(StreamReadWord(AStream))));
        break;
    case varInteger:
        StoreValue(AData, Variant(int(StreamReadInt32(AStream))));
        break;
    default:
        StoreValue(AData, Variant(static_cast<long long>(StreamReadInt64(AStream))));
        break;
    }
}

void TvlIntegerKindValueType::StoreValue(TvlValueData& AData, const Variant& AValue) const
{
    switch (ValueVarType()) {
    case varSmallint:
        AData.V = int64_t(int16_t(AValue.AsInteger()));  // the low 16 bits
        break;
    case varWord:
        AData.V = int64_t(uint16_t(AValue.AsInteger()));
        break;
    case varInteger:
        AData.V = int64_t(AValue.AsInteger());
        break;
    default:
        AData.V = AValue.AsInt64();
        break;
    }
}

void TvlIntegerKindValueType::WriteValueToStream(const TvlValueData& AData, TStream* AStream, bool) const
{
    const int64_t v = intOf(AData);
    switch (ValueVarType()) {
    case varSmallint:
        StreamWriteInt16(AStream, int16_t(v));
        break;
    case varWord:
        StreamWriteWord(AStream, uint16_t(v));
        break;
    case varInteger:
        StreamWriteInt32(AStream, int32_t(v));
        break;
    default:
        StreamWriteInt64(AStream, v);
        break;
    }
}

int TvlIntegerKindValueType::ComparePrepared(const TvlValueData* AData1, const TvlValueData* AData2) const
{
    return CompareData(*AData1, *AData2);
}

const TvlSmallintValueType* TvlSmallintValueType::Instance()
{
    static const TvlSmallintValueType instance;
    return &instance;
}
String TvlSmallintValueType::TypeCaption() const { return caption("Smallint"); }

const TvlIntegerValueType* TvlIntegerValueType::Instance()
{
    static const TvlIntegerValueType instance;
    return &instance;
}
String TvlIntegerValueType::TypeCaption() const { return caption("Integer"); }

const TvlWordValueType* TvlWordValueType::Instance()
{
    static const TvlWordValueType instance;
    return &instance;
}
String TvlWordValueType::TypeCaption() const { return caption("Word"); }

const TvlLargeIntValueType* TvlLargeIntValueType::Instance()
{
    static const TvlLargeIntValueType instance;
    return &instance;
}
String TvlLargeIntValueType::TypeCaption() const { return caption("LargeInt"); }

const TvlObjectValueType* TvlObjectValueType::Instance()
{
    static const TvlObjectValueType instance;
    return &instance;
}
String TvlObjectValueType::TypeCaption() const { return caption("Object"); }
void TvlObjectValueType::ReadValueFromStream(TvlValueData&, TStream*, bool) const {}
void TvlObjectValueType::WriteValueToStream(const TvlValueData&, TStream*, bool) const {}

// ---- Boolean ------------------------------------------------------------------

const TvlBooleanValueType* TvlBooleanValueType::Instance()
{
    static const TvlBooleanValueType instance;
    return &instance;
}

String TvlBooleanValueType::TypeCaption() const { return caption("Boolean"); }

int TvlBooleanValueType::CompareData(const TvlValueData& AData1, const TvlValueData& AData2) const
{
    return sign(intOf(AData1) != 0, intOf(AData2) != 0);
}

Variant TvlBooleanValueType::LoadValue(const TvlValueData& AData) const
{
    return Variant(intOf(AData) != 0);
}

String TvlBooleanValueType::DefaultText(const TvlValueData& AData) const
{
    return caption(intOf(AData) != 0 ? "True" : "False");
}

void TvlBooleanValueType::ReadValueFromStream(TvlValueData& AData, TStream* AStream, bool) const
{
    StoreValue(AData, Variant(StreamReadBoolean(AStream)));
}

void TvlBooleanValueType::StoreValue(TvlValueData& AData, const Variant& AValue) const
{
    AData.V = int64_t(AValue.AsBoolean() ? 1 : 0);
}

void TvlBooleanValueType::WriteValueToStream(const TvlValueData& AData, TStream* AStream, bool) const
{
    StreamWriteBoolean(AStream, intOf(AData) != 0);
}

int TvlBooleanValueType::ComparePrepared(const TvlValueData* AData1, const TvlValueData* AData2) const
{
    return CompareData(*AData1, *AData2);
}

// ---- doubles ------------------------------------------------------------------

int TvlDoubleKindValueType::CompareData(const TvlValueData& AData1, const TvlValueData& AData2) const
{
    const double a = doubleOf(AData1);
    const double b = doubleOf(AData2);
    return a < b ? -1 : b < a ? 1 : 0;
}

void TvlDoubleKindValueType::StoreValue(TvlValueData& AData, const Variant& AValue) const
{
    AData.V = ValueVarType() == varDate ? AValue.AsDateTime() : AValue.AsDouble();
}

int TvlDoubleKindValueType::ComparePrepared(const TvlValueData* AData1, const TvlValueData* AData2) const
{
    return CompareData(*AData1, *AData2);
}

const TvlFloatValueType* TvlFloatValueType::Instance()
{
    static const TvlFloatValueType instance;
    return &instance;
}

String TvlFloatValueType::TypeCaption() const { return caption("Float"); }

Variant TvlFloatValueType::LoadValue(const TvlValueData& AData) const
{
    return Variant(doubleOf(AData));
}

void TvlFloatValueType::ReadValueFromStream(TvlValueData& AData, TStream* AStream, bool) const
{
    AData.V = StreamReadFloat80(AStream);
}

void TvlFloatValueType::WriteValueToStream(const TvlValueData& AData, TStream* AStream, bool) const
{
    StreamWriteFloat80(AStream, doubleOf(AData));
}

const TvlDateTimeValueType* TvlDateTimeValueType::Instance()
{
    static const TvlDateTimeValueType instance;
    return &instance;
}

String TvlDateTimeValueType::TypeCaption() const { return caption("DateTime"); }

Variant TvlDateTimeValueType::LoadValue(const TvlValueData& AData) const
{
    return VarFromDateTime(doubleOf(AData));
}

String TvlDateTimeValueType::DefaultText(const TvlValueData& AData) const
{
    String text;
    if (converts([&] { text = VarToStr(LoadValue(AData)); }))
        return text;
    try {
        return FormatDateTime(String(), doubleOf(AData));
    } catch (const Exception&) {
        return {};
    }
}

void TvlDateTimeValueType::ReadValueFromStream(TvlValueData& AData, TStream* AStream, bool) const
{
    StoreValue(AData, VarFromDateTime(StreamReadDateTime(AStream)));
}

void TvlDateTimeValueType::WriteValueToStream(const TvlValueData& AData, TStream* AStream, bool) const
{
    StreamWriteDateTime(AStream, doubleOf(AData));
}

// ---- Currency -------------------------------------------------------------------

const TvlCurrencyValueType* TvlCurrencyValueType::Instance()
{
    static const TvlCurrencyValueType instance;
    return &instance;
}

String TvlCurrencyValueType::TypeCaption() const { return caption("Currency"); }

int TvlCurrencyValueType::CompareData(const TvlValueData& AData1, const TvlValueData& AData2) const
{
    return sign(intOf(AData1), intOf(AData2));
}

Variant TvlCurrencyValueType::LoadValue(const TvlValueData& AData) const
{
    return Variant(TCurrency{intOf(AData)});
}

void TvlCurrencyValueType::ReadValueFromStream(TvlValueData& AData, TStream* AStream, bool) const
{
    StoreValue(AData, Variant(StreamReadCurrency(AStream)));
}

void TvlCurrencyValueType::StoreValue(TvlValueData& AData, const Variant& AValue) const
{
    AData.V = AValue.AsCurrency().Ticks;
}

void TvlCurrencyValueType::WriteValueToStream(const TvlValueData& AData, TStream* AStream, bool) const
{
    StreamWriteCurrency(AStream, TCurrency{intOf(AData)});
}

int TvlCurrencyValueType::ComparePrepared(const TvlValueData* AData1, const TvlValueData* AData2) const
{
    return CompareData(*AData1, *AData2);
}

// ---- FMTBcd and SQLTimeStamp ------------------------------------------------

namespace {

TBcd bcdOf(const TvlValueData& d)
{
    const auto* p = std::get_if<TBcd>(&d.V);
    return p != nullptr ? *p : TBcd{};
}

TSQLTimeStamp stampOf(const TvlValueData& d)
{
    const auto* p = std::get_if<TSQLTimeStamp>(&d.V);
    return p != nullptr ? *p : TSQLTimeStamp{};
}

}  // namespace

const TvlFMTBcdValueType* TvlFMTBcdValueType::Instance()
{
    static const TvlFMTBcdValueType instance;
    return &instance;
}

String TvlFMTBcdValueType::TypeCaption() const { return caption("FMTBcd"); }

int TvlFMTBcdValueType::CompareData(const TvlValueData& AData1, const TvlValueData& AData2) const
{
    return BcdCompare(bcdOf(AData1), bcdOf(AData2));
}

Variant TvlFMTBcdValueType::LoadValue(const TvlValueData& AData) const
{
    return Variant(bcdOf(AData));
}

String TvlFMTBcdValueType::DefaultText(const TvlValueData& AData) const
{
    return BcdToStr(bcdOf(AData));
}

void TvlFMTBcdValueType::StoreValue(TvlValueData& AData, const Variant& AValue) const
{
    AData.V = AValue.AsBcd();
}

int TvlFMTBcdValueType::ComparePrepared(const TvlValueData* AData1, const TvlValueData* AData2) const
{
    return CompareData(*AData1, *AData2);
}

const TvlSQLTimeStampValueType* TvlSQLTimeStampValueType::Instance()
{
    static const TvlSQLTimeStampValueType instance;
    return &instance;
}

String TvlSQLTimeStampValueType::TypeCaption() const { return caption("SQLTimeStamp"); }

int TvlSQLTimeStampValueType::CompareData(const TvlValueData& AData1, const TvlValueData& AData2) const
{
    return SQLTimeStampCompare(stampOf(AData1), stampOf(AData2));
}

Variant TvlSQLTimeStampValueType::LoadValue(const TvlValueData& AData) const
{
    return VarFromDateTime(Variant(stampOf(AData)).AsDateTime());
}

void TvlSQLTimeStampValueType::StoreValue(TvlValueData& AData, const Variant& AValue) const
{
    const TSQLTimeStamp stamp = AValue.AsSQLTimeStamp();
    // A stamp that names no real moment could never be read back as a date
    // (nor written to a stream): refuse it here with the cast error.
    [[maybe_unused]] const TDateTime check = Variant(stamp).AsDateTime();
    AData.V = stamp;
}

int TvlSQLTimeStampValueType::ComparePrepared(const TvlValueData* AData1, const TvlValueData* AData2) const
{
    return CompareData(*AData1, *AData2);
}

// ---- Variant ------------------------------------------------------------------

const TvlVariantValueType* TvlVariantValueType::Instance()
{
    static const TvlVariantValueType instance;
    return &instance;
}

String TvlVariantValueType::TypeCaption() const { return caption("Variant"); }

int TvlVariantValueType::CompareData(const TvlValueData& AData1, const TvlValueData& AData2) const
{
    return ComparePrepared(&AData1, &AData2);
}

void TvlVariantValueType::FreeData(TvlValueData& AData) const
{
    AData.V = std::monostate{};
}

Variant TvlVariantValueType::LoadValue(const TvlValueData& AData) const
{
    const auto* v = std::get_if<Variant>(&AData.V);
    return v != nullptr ? *v : Variant();
}

void TvlVariantValueType::StoreValue(TvlValueData& AData, const Variant& AValue) const
{
    AData.V = AValue;
}

int TvlVariantValueType::ComparePrepared(const TvlValueData* AData1, const TvlValueData* AData2) const
{
    const Variant* a = AData1 != nullptr ? std::get_if<Variant>(&AData1->V) : nullptr;
    const Variant* b = AData2 != nullptr ? std::get_if<Variant>(&AData2->V) : nullptr;
    if (a == nullptr || b == nullptr)
        return (a == nullptr ? 0 : 1) - (b == nullptr ? 0 : 1);
    return VarCompare(*a, *b);
}

// ---- registry -----------------------------------------------------------------

bool IsDateTimeValueTypeClass(TvlValueTypeClass AValueTypeClass)
{
    return AValueTypeClass == TvlDateTimeValueType::Instance() || AValueTypeClass == TvlSQLTimeStampValueType::Instance();
}

void TvlValueTypeClassList::RegisterType(TvlValueTypeClass AValueTypeClass)
{
    if (std::find(FItems.begin(), FItems.end(), AValueTypeClass) == FItems.end())
        FItems.push_back(AValueTypeClass);
}

void TvlValueTypeClassList::UnregisterType(TvlValueTypeClass AValueTypeClass)
{
    FItems.erase(std::remove(FItems.begin(), FItems.end(), AValueTypeClass), FItems.end());
}

TvlValueTypeClass TvlValueTypeClassList::ItemByCaption(const String& ACaption) const
{
    for (TvlValueTypeClass item : FItems)
        if (item->TypeCaption() == ACaption)
            return item;
    return nullptr;
}

namespace {
std::unique_ptr<TvlValueTypeClassList> valueTypeClassList;

std::array<TvlValueTypeClass, 14> registrationOrder()
{
    return {TvlStringValueType::Instance(),   TvlWideStringValueType::Instance(), TvlSmallintValueType::Instance(),
            TvlIntegerValueType::Instance(),  TvlWordValueType::Instance(),       TvlBooleanValueType::Instance(),
            TvlFloatValueType::Instance(),    TvlCurrencyValueType::Instance(),   TvlDateTimeValueType::Instance(),
            TvlLargeIntValueType::Instance(), TvlFMTBcdValueType::Instance(),     TvlSQLTimeStampValueType::Instance(),
            TvlVariantValueType::Instance(),  TvlObjectValueType::Instance()};
}
}  // namespace

TvlValueTypeClassList* GetValueTypeClassList()
{
    if (!valueTypeClassList)
        valueTypeClassList = std::make_unique<TvlValueTypeClassList>();
    return valueTypeClassList.get();
}

void vlDataStorageInitialization()
{
    for (TvlValueTypeClass type : registrationOrder())
        GetValueTypeClassList()->RegisterType(type);
}

void vlDataStorageFinalization()
{
    if (!valueTypeClassList)
        return;
    const auto order = registrationOrder();
    for (auto it = order.rbegin(); it != order.rend(); ++it)
        valueTypeClassList->UnregisterType(*it);
    valueTypeClassList.reset();
}

// ---- definitions --------------------------------------------------------------

TvlValueDef::TvlValueDef(TvlValueDefs* AOwner, TvlValueTypeClass AValueTypeClass)
    : FOwner(AOwner), FValueTypeClass(AValueTypeClass)
{
}

bool TvlValueDef::Kept() const
{
    return FKept || !FOwner->Storage()->KeptValuesOnly();
}

void TvlValueDef::Assign(const TvlValueDef* Source)
{
    SetKept(Source->Kept());
    SetKeepsText(Source->IsTextKept());
}

void TvlValueDef::SetKept(bool Value)
{
    if (FKept == Value)
        return;
    FKept = Value;
    NotifyChanged(false);
}

void TvlValueDef::SetKeepsText(bool Value)
{
    if (FKeepsText == Value)
        return;
    FKeepsText = Value;
    NotifyChanged(true);
}

int TvlValueDef::Index() const
{
    return FOwner->IndexOf(this);
}

int TvlValueDef::ComparePrepared(bool ANull1, bool ANull2, const TvlValueData* AData1, const TvlValueData* AData2) const
{
    if (ANull1 || ANull2)
        return (ANull1 ? 0 : 1) - (ANull2 ? 0 : 1);
    return FValueTypeClass->ComparePrepared(AData1, AData2);
}

void TvlValueDef::NotifyChanged(bool ALayoutChanged)
{
    FOwner->DefinitionChanged(this, ALayoutChanged);
}

void* TvlInternalValueDef::LinkedItem() const
{
    const TvlValueDef* publicDef = PublicDefinition();
    return publicDef != nullptr ? publicDef->LinkedItem() : nullptr;
}

TvlValueDefs::~TvlValueDefs()
{
    RemoveAll();
}

std::unique_ptr<TvlValueDef> TvlValueDefs::CreateDefinition(TvlValueTypeClass AValueTypeClass)
{
    return std::make_unique<TvlValueDef>(this, AValueTypeClass);
}

TvlValueDef* TvlValueDefs::AddDefinition(TvlValueTypeClass AValueTypeClass, bool AKept, void* ALinkedItem,
                                         bool AKeepsText)
{
    std::unique_ptr<TvlValueDef> def = CreateDefinition(AValueTypeClass);
    def->SetLinkedItem(ALinkedItem);
    def->FKept = AKept;
    def->FKeepsText = AKeepsText;
    TvlValueDef* result = def.get();
    FItems.push_back(std::move(def));
    FStorage->growRecordsFor(result);
    return result;
}

void TvlValueDefs::Delete(TvlValueDef* ADef)
{
    const int index = IndexOf(ADef);
    if (index < 0)
        return;
    FStorage->shrinkRecordsFor(ADef);
    if (FStorage->FStreamOrder) {
        auto& order = *FStorage->FStreamOrder;
        order.erase(std::remove(order.begin(), order.end(), ADef), order.end());
    }
    FItems.erase(FItems.begin() + index);
}

void TvlValueDefs::RemoveAll()
{
    while (!FItems.empty())
        Delete(FItems.back().get());
}

TvlValueDef* TvlValueDefs::Item(int AIndex) const
{
    if (!FInternal && FStorage->FStreamOrder)
        return FStorage->FStreamOrder->at(size_t(AIndex));
    return FItems.at(size_t(AIndex)).get();
}

int TvlValueDefs::KeptCount() const
{
    return int(std::count_if(FItems.begin(), FItems.end(), [](const auto& def) { return def->Kept(); }));
}

int TvlValueDefs::IndexOf(const TvlValueDef* ADef) const
{
    for (size_t i = 0; i < FItems.size(); ++i)
        if (FItems[i].get() == ADef)
            return int(i);
    return -1;
}

void TvlValueDefs::DefinitionChanged(TvlValueDef* ADef, bool ALayoutChanged)
{
    FStorage->DefinitionsChanged(ADef, ALayoutChanged);
}

std::unique_ptr<TvlValueDef> TvlInternalValueDefs::CreateDefinition(TvlValueTypeClass AValueTypeClass)
{
    return std::make_unique<TvlInternalValueDef>(this, AValueTypeClass);
}

TvlInternalValueDef* TvlInternalValueDefs::FindByLinkedItem(const TvlValueDef* ALinkedItem) const
{
    for (int i = Count() - 1; i >= 0; --i) {
        auto* def = static_cast<TvlInternalValueDef*>(Item(i));
        if (def->PublicDefinition() == ALinkedItem)
            return def;
    }
    return nullptr;
}

void TvlInternalValueDefs::RemoveByLinkedItem(const TvlValueDef* ALinkedItem)
{
    if (TvlInternalValueDef* def = FindByLinkedItem(ALinkedItem))
        Delete(def);
}

// ---- TvlDataStorage -----------------------------------------------------------

TvlDataStorage::TvlDataStorage()
    : FInternalValueDefs(std::make_unique<TvlInternalValueDefs>(this)),
      FValueDefs(std::make_unique<TvlValueDefs>(this))
{
}

TvlDataStorage::~TvlDataStorage()
{
    ClearAll(false);
    FStreamOrder.reset();
    FValueDefs->RemoveAll();
    FInternalValueDefs->RemoveAll();
}

TvlValueDefs* TvlDataStorage::DefinitionsFor(int ARecordIndex) const
{
    if (ARecordIndex < 0)
        return FInternalValueDefs.get();
    return FValueDefs.get();
}

TvlDataStorage::TBufferPtr& TvlDataStorage::entry(int AIndex)
{
    return const_cast<TBufferPtr&>(static_cast<const TvlDataStorage*>(this)->entry(AIndex));
}

const TvlDataStorage::TBufferPtr& TvlDataStorage::entry(int AIndex) const
{
    if (AIndex >= 0 && AIndex < RecordCount())
        return FRecords[size_t(AIndex)];
    if (AIndex < 0 && int64_t(-int64_t(AIndex)) <= InternalRecordCount())
        return FInternalRecords[size_t(-int64_t(AIndex) - 1)];
    throw EListError(LoadResStringFmt(RtlConsts::SListIndexError, {AIndex}));
}

const TvlRecordBuffer* TvlDataStorage::RecordBuffer(int AIndex) const
{
    return entry(AIndex).get();
}

TvlRecordBuffer* TvlDataStorage::EnsureRecordBuffer(int AIndex)
{
    TBufferPtr& buffer = entry(AIndex);
    if (!buffer) {
        buffer = std::make_unique<TvlRecordBuffer>();
        buffer->Slots.resize(size_t(DefinitionsFor(AIndex)->Count()));
    }
    return buffer.get();
}

int TvlDataStorage::AddRecord()
{
    FRecords.emplace_back();
    const int index = RecordCount() - 1;
    if (FWithRecordIds)
        EnsureRecordBuffer(index)->Id = FNextRecordId++;
    return index;
}

void TvlDataStorage::InsertRecordAt(int AIndex)
{
    if (AIndex < 0 || AIndex > RecordCount())
        throw EListError(LoadResStringFmt(RtlConsts::SListIndexError, {AIndex}));
    FRecords.insert(FRecords.begin() + AIndex, TBufferPtr());
    if (FWithRecordIds)
        EnsureRecordBuffer(AIndex)->Id = FNextRecordId++;
}

void TvlDataStorage::RemoveRecord(int AIndex)
{
    if (AIndex < 0) {
        RemoveInternalRecord(AIndex);
        return;
    }
    entry(AIndex);  // index check
    FRecords.erase(FRecords.begin() + AIndex);
    if (FRecords.empty())
        FNextRecordId = 1;
}

void TvlDataStorage::ResizeRecords(int ACount)
{
    ACount = std::max(0, ACount);
    while (RecordCount() < ACount)
        AddRecord();
    while (RecordCount() > ACount)
        RemoveRecord(RecordCount() - 1);
}

int TvlDataStorage::NewInternalRecord()
{
    size_t i = 0;
    while (i < FInternalRecords.size() && FInternalRecords[i] && FInternalRecords[i]->InUse)
        ++i;
    if (i == FInternalRecords.size())
        FInternalRecords.emplace_back();
    const int index = -int(i) - 1;
    EnsureRecordBuffer(index)->InUse = true;
    return index;
}

void TvlDataStorage::RemoveInternalRecord(int AIndex)
{
    entry(AIndex).reset();
}

void TvlDataStorage::ClearAll(bool AKeepInternal)
{
    if (!AKeepInternal)
        DropInternalRecords();
    DropRecords(true);
}

void TvlDataStorage::DropRecords(bool ADeleteSlots)
{
    for (TBufferPtr& buffer : FRecords)
        buffer.reset();
    if (ADeleteSlots)
        FRecords.clear();
    if (FRecords.empty())
        FNextRecordId = 1;
    if (FWithRecordIds)
        assignIds();
}

void TvlDataStorage::DropInternalRecords()
{
    FInternalRecords.clear();
    if (OnInternalRecordsCleared)
        OnInternalRecordsCleared(this);
}

void TvlDataStorage::assignIds()
{
    for (int i = 0; i < RecordCount(); ++i) {
        TvlRecordBuffer* buffer = EnsureRecordBuffer(i);
        if (buffer->Id == 0)
            buffer->Id = FNextRecordId++;
    }
}

TvlValueDef* TvlDataStorage::resolve(int AIndex, TvlValueDef* ADef) const
{
    if (ADef == nullptr)
        return nullptr;
    if (AIndex < 0 && !ADef->Owner()->IsInternal())
        return FInternalValueDefs->FindByLinkedItem(ADef);
    return ADef;
}

TvlRecordSlot* TvlDataStorage::slotOf(TvlRecordBuffer* buffer, TvlValueDef* def) const
{
    const int index = def->Index();
    if (buffer == nullptr || index < 0)
        return nullptr;
    if (buffer->Slots.size() <= size_t(index))
        buffer->Slots.resize(size_t(index) + 1);
    return &buffer->Slots[size_t(index)];
}

const TvlRecordSlot* TvlDataStorage::slotOf(const TvlRecordBuffer* buffer, const TvlValueDef* def) const
{
    const int index = def->Index();
    if (buffer == nullptr || index < 0 || buffer->Slots.size() <= size_t(index))
        return nullptr;
    return &buffer->Slots[size_t(index)];
}

void TvlDataStorage::growRecordsFor(TvlValueDef* ADef)
{
    // The new value is null in every record that has a buffer.
    const bool internal = ADef->Owner()->IsInternal();
    if (!internal)
        FInternalValueDefs->AddDefinition(ADef->ValueTypeClass(), true, ADef, ADef->KeepsText());
    auto& records = internal ? FInternalRecords : FRecords;
    const auto count = size_t(ADef->Owner()->Count());
    for (TBufferPtr& buffer : records)
        if (buffer && buffer->Slots.size() < count)
            buffer->Slots.resize(count);
}

void TvlDataStorage::shrinkRecordsFor(TvlValueDef* ADef)
{
    const bool internal = ADef->Owner()->IsInternal();
    if (!internal)
        FInternalValueDefs->RemoveByLinkedItem(ADef);
    auto& records = internal ? FInternalRecords : FRecords;
    const bool lastKept = ADef->Kept() && ADef->Owner()->KeptCount() == 1;
    const int index = ADef->Index();
    for (TBufferPtr& buffer : records) {
        if (!buffer)
            continue;
        if (lastKept) {
            // nothing is left to keep: the record goes back to "no buffer"
            buffer.reset();
        } else if (size_t(index) < buffer->Slots.size()) {
            buffer->Slots.erase(buffer->Slots.begin() + index);
        }
    }
}

Variant TvlDataStorage::ValueOf(int AIndex, TvlValueDef* ADef) const
{
    const TvlRecordBuffer* buffer = RecordBuffer(AIndex);
    const TvlValueDef* def = resolve(AIndex, ADef);
    if (buffer == nullptr || def == nullptr)
        return Null();
    const TvlRecordSlot* slot = slotOf(buffer, def);
    if (slot == nullptr || !slot->Present)
        return Null();
    return def->ValueTypeClass()->LoadValue(slot->Data);
}

void TvlDataStorage::PutValue(int AIndex, TvlValueDef* ADef, const Variant& AValue)
{
    TvlRecordBuffer* buffer = EnsureRecordBuffer(AIndex);
    TvlValueDef* def = resolve(AIndex, ADef);
    if (def == nullptr)
        return;
    TvlRecordSlot* slot = slotOf(buffer, def);
    if (VarIsNull(AValue)) {
        def->ValueTypeClass()->FreeData(slot->Data);
        slot->Present = false;
        return;
    }
    // Converted aside first: a value that does not convert changes nothing.
    TvlValueData data;
    def->ValueTypeClass()->StoreValue(data, AValue);
    slot->Data = std::move(data);
    slot->Present = true;
}

String TvlDataStorage::TextOf(int AIndex, TvlValueDef* ADef) const
{
    const TvlRecordBuffer* buffer = RecordBuffer(AIndex);
    const TvlValueDef* def = resolve(AIndex, ADef);
    if (buffer == nullptr || def == nullptr)
        return {};
    const TvlRecordSlot* slot = slotOf(buffer, def);
    if (slot == nullptr)
        return {};
    if (def->IsTextKept())
        return def->ValueTypeClass()->LoadText(slot->Text);
    return slot->Present ? def->ValueTypeClass()->DefaultText(slot->Data) : String();
}

void TvlDataStorage::PutText(int AIndex, TvlValueDef* ADef, const String& AText)
{
    TvlRecordBuffer* buffer = EnsureRecordBuffer(AIndex);
    TvlValueDef* def = resolve(AIndex, ADef);
    if (def != nullptr && def->IsTextKept())
        def->ValueTypeClass()->StoreText(slotOf(buffer, def)->Text, AText);
}

int32_t TvlDataStorage::RecordIdOf(int AIndex)
{
    return EnsureRecordBuffer(AIndex)->Id;
}

void TvlDataStorage::PutRecordId(int AIndex, int32_t AId)
{
    EnsureRecordBuffer(AIndex)->Id = AId;
}

int TvlDataStorage::CompareRecordValues(int AIndex1, int AIndex2, TvlValueDef* ADef) const
{
    const TvlRecordSlot* slot1 = slotOf(RecordBuffer(AIndex1), ADef);
    const TvlRecordSlot* slot2 = slotOf(RecordBuffer(AIndex2), ADef);
    const bool null1 = slot1 == nullptr || !slot1->Present;
    const bool null2 = slot2 == nullptr || !slot2->Present;
    if (null1 || null2)
        return (null1 ? 0 : 1) - (null2 ? 0 : 1);
    return ADef->ValueTypeClass()->CompareData(slot1->Data, slot2->Data);
}

bool TvlDataStorage::CompareInfoOf(int AIndex, TvlValueDef* ADef, const TvlValueData*& APrepared) const
{
    const TvlRecordSlot* slot = slotOf(RecordBuffer(AIndex), ADef);
    if (slot == nullptr || !slot->Present)
        return true;
    APrepared = ADef->ValueTypeClass()->PrepareData(&slot->Data);
    return false;
}

void TvlDataStorage::FillRecord(int AIndex, TvlValueDefReader* AReader)
{
    EnsureRecordBuffer(AIndex);
    TvlValueDefs* defs = DefinitionsFor(AIndex);
    for (int i = 0; i < defs->Count(); ++i) {
        TvlValueDef* def = defs->FItems[size_t(i)].get();
        if (AReader->SkipsDefinition(def))
            continue;
        PutValue(AIndex, def, AReader->ValueFor(def));
        if (def->IsTextKept())
            PutText(AIndex, def, AReader->TextFor(def));
    }
}

void TvlDataStorage::CopyRecordWith(int ASrcIndex, int ADestIndex, TvlValueDefReader* AReader,
                                    const TvlCopyRecordProc& AProc)
{
    TvlValueDefs* defs = DefinitionsFor(ASrcIndex);
    for (int i = 0; i < defs->Count(); ++i)
        AProc(defs->FItems[size_t(i)].get(), ASrcIndex, ADestIndex, AReader);
}

void TvlDataStorage::SetKeptValuesOnly(bool Value)
{
    if (FKeptValuesOnly == Value)
        return;
    FKeptValuesOnly = Value;
    // A definition that is no longer kept has no values any more; every
    // other value stays where it is.
    for (int i = 0; i < FValueDefs->Count(); ++i) {
        TvlValueDef* def = FValueDefs->FItems[size_t(i)].get();
        if (def->Kept())
            continue;
        for (TBufferPtr& buffer : FRecords)
            if (buffer && size_t(i) < buffer->Slots.size())
                buffer->Slots[size_t(i)] = TvlRecordSlot();
    }
}

void TvlDataStorage::SetWithRecordIds(bool Value)
{
    if (FWithRecordIds == Value)
        return;
    FWithRecordIds = Value;
    // The values stay; the ids are handed out afresh, in record order.
    for (TBufferPtr& buffer : FRecords)
        if (buffer)
            buffer->Id = 0;
    FNextRecordId = 1;
    if (FWithRecordIds)
        assignIds();
}

void TvlDataStorage::BeginStreamOrder(TvlCompareDefsFunc ACompare)
{
    std::vector<TvlValueDef*> order;
    for (const auto& def : FValueDefs->FItems)
        order.push_back(def.get());
    std::stable_sort(order.begin(), order.end(), ACompare);
    FStreamOrder = std::move(order);
}

void TvlDataStorage::EndStreamOrder()
{
    FStreamOrder.reset();
}

void TvlDataStorage::writeRecordBody(int AIndex, TStream* AStream, bool AUnicode)
{
    const TvlRecordBuffer* buffer = RecordBuffer(AIndex);
    StreamWriteByte(AStream, buffer == nullptr ? 1 : 0);
    if (buffer == nullptr)
        return;
    if (FWithRecordIds)
        StreamWriteInt32(AStream, buffer->Id);
    TvlValueDefs* defs = DefinitionsFor(AIndex);
    for (int i = 0; i < defs->Count(); ++i) {
        TvlValueDef* def = defs->Item(i);
        if (!def->Streamed())
            continue;
        const TvlRecordSlot* slot = slotOf(buffer, def);
        const bool present = slot != nullptr && slot->Present;
        StreamWriteByte(AStream, present ? 0 : 1);
        if (present)
            def->ValueTypeClass()->WriteValueToStream(slot->Data, AStream, AUnicode);
        if (def->IsTextKept())
            def->ValueTypeClass()->WriteTextToStream(slot != nullptr ? slot->Text : std::nullopt, AStream, AUnicode);
    }
}

void TvlDataStorage::readRecordBody(int AIndex, TStream* AStream, bool AUnicode)
{
    readRecordInto(entry(AIndex), DefinitionsFor(AIndex), AStream, AUnicode, FNextRecordId);
}

void TvlDataStorage::readRecordInto(TBufferPtr& target, TvlValueDefs* defs, TStream* AStream, bool AUnicode,
                                    int32_t& ANextRecordId)
{
    try {
        // The writer puts 0 or 1 here; anything else is not a record (a
        // record cut inside its signature would otherwise read as empty).
        const uint8_t empty = StreamReadByte(AStream);
        if (empty > 1)
            throw EReadError(LoadResString(vlDataConsts::vlSDataReadError));
        if (empty != 0) {
            target.reset();
            return;
        }
        // Read into a copy: the record changes only when the whole of it read.
        auto buffer = target ? std::make_unique<TvlRecordBuffer>(*target) : std::make_unique<TvlRecordBuffer>();
        if (buffer->Slots.size() < size_t(defs->Count()))
            buffer->Slots.resize(size_t(defs->Count()));
        if (FWithRecordIds)
            buffer->Id = StreamReadInt32(AStream);
        for (int i = 0; i < defs->Count(); ++i) {
            TvlValueDef* def = defs->Item(i);
            if (!def->Streamed())
                continue;
            TvlRecordSlot& slot = *slotOf(buffer.get(), def);
            if (StreamReadByte(AStream) != 0) {
                def->ValueTypeClass()->FreeData(slot.Data);
                slot.Present = false;
            } else {
                TvlValueData data;
                def->ValueTypeClass()->ReadValueFromStream(data, AStream, AUnicode);
                slot.Data = std::move(data);
                slot.Present = true;
            }
            if (def->IsTextKept())
                def->ValueTypeClass()->ReadTextFromStream(slot.Text, AStream, AUnicode);
        }
        if (FWithRecordIds && buffer->Id >= ANextRecordId)
            ANextRecordId = buffer->Id == std::numeric_limits<int32_t>::max() ? buffer->Id : buffer->Id + 1;
        target = std::move(buffer);
    } catch (const EVariantError&) {
        // a value of the wrong kind for its field: the stream is damaged
        throw EReadError(LoadResString(vlDataConsts::vlSDataReadError));
    }
}

void TvlDataStorage::WriteRecordToStream(int AIndex, TStream* AStream)
{
    // The signature goes first and is read back through the wrapper, as
    // every reader of these records does.
    // The signature says the texts that follow are UTF-16; the stream is
    // only ever written, never read back.
    WriteStreamFormatSignature(AStream);
    writeRecordBody(AIndex, AStream, true);
}

void TvlDataStorage::ReadRecordFromStream(int AIndex, TStream* AStream)
{
    TvxStream wrapper(AStream);
    readRecordBody(AIndex, &wrapper, wrapper.IsUnicode());
}

TvlStreamedRecords TvlDataStorage::ReadRecordsFromStream(TStream* AStream, int ACount)
{
    // Every record takes at least its empty flag: a count beyond the bytes
    // left is refused before anything is allocated.
    const int64_t left = AStream->Size() - AStream->Position();
    if (ACount < 0 || ACount > left)
        throw EReadError(LoadResString(vlDataConsts::vlSDataReadError));
    TvlStreamedRecords result;
    for (int i = 0; i < ACount; ++i) {
        TvxStream wrapper(AStream);
        TBufferPtr buffer;
        readRecordInto(buffer, FValueDefs.get(), &wrapper, wrapper.IsUnicode(), result.NextRecordId);
        result.Records.push_back(std::move(buffer));
    }
    return result;
}

void TvlDataStorage::ReplaceRecords(TvlStreamedRecords&& ARecords)
{
    FRecords = std::move(ARecords.Records);
    FNextRecordId = ARecords.NextRecordId;
}
