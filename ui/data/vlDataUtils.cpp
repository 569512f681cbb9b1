#include "ui/data/vlDataUtils.h"

#include <cctype>
#include <cmath>
#include <limits>

#include "platform/rtl/SysUtils.h"
#include "ui/data/vlDataConsts.h"
#include "ui/foundation/vxCore.h"

using namespace vlDataConsts;

namespace {

// Tags of the variant encoding; the numbers are the format.
enum : uint8_t {
    tagNull = 0,
    tagArray = 1,
    tagShortInt = 2,
    tagSmallint = 3,
    tagInteger = 4,
    tagFloat80 = 5,
    tagShortAnsi = 6,
    tagFalse = 8,
    tagTrue = 9,
    tagAnsi = 12,
    tagEmpty = 13,
    tagSingle = 15,
    tagCurrency = 16,
    tagDate = 17,
    tagWide = 18,
    tagInt64 = 19,
};

// Arrays inside arrays deeper than this are a damaged or hostile stream,
// not data: nothing in the system nests more than two levels.
constexpr int maxNesting = 256;

[[noreturn]] void readError()
{
    throw EReadError(LoadResString(vlSDataReadError));
}

[[noreturn]] void writeError()
{
    throw EWriteError(LoadResString(vlSDataWriteError));
}

// Bytes between the position and the end; unknown (as much as asked for)
// on a stream that cannot seek, where reading in pieces still bounds what
// a false count can allocate.
int64_t bytesLeft(TStream* stream)
{
    const int64_t position = stream->Seek(0, soCurrent);
    if (position < 0)
        return std::numeric_limits<int64_t>::max();
    return std::max<int64_t>(0, stream->Size() - position);
}

void checkCount(TStream* stream, int64_t count, int64_t unitSize)
{
    if (count < 0 || count > bytesLeft(stream) / unitSize)
        readError();
}

void writeTaggedInteger(TStream* stream, int64_t value)
{
    if (value >= -128 && value <= 127) {
        StreamWriteByte(stream, tagShortInt);
        StreamWriteByte(stream, uint8_t(int8_t(value)));
    } else if (value >= -32768 && value <= 32767) {
        StreamWriteByte(stream, tagSmallint);
        StreamWriteInt16(stream, int16_t(value));
    } else if (value >= std::numeric_limits<int32_t>::min() && value <= std::numeric_limits<int32_t>::max()) {
        StreamWriteByte(stream, tagInteger);
        StreamWriteInt32(stream, int32_t(value));
    } else {
        StreamWriteByte(stream, tagInt64);
        StreamWriteInt64(stream, value);
    }
}

void writeTaggedAnsi(TStream* stream, const AnsiString& text)
{
    if (text.size() < 256) {
        StreamWriteByte(stream, tagShortAnsi);
        StreamWriteByte(stream, uint8_t(text.size()));
        stream->WriteBytes(text);
    } else {
        StreamWriteByte(stream, tagAnsi);
        StreamWriteAnsi(stream, text);
    }
}

void writeVariant(TStream* stream, const Variant& value)
{
    if (VarIsArray(value)) {
        const int high = VarArrayHighBound(value);
        StreamWriteByte(stream, tagArray);
        writeTaggedInteger(stream, int64_t(high) + 1);
        for (int i = 0; i <= high; ++i)
            writeVariant(stream, VarArrayGet(value, i));
        return;
    }
    const TVarType vt = value.VType();
    if (IsIntegerVarType(vt)) {
        writeTaggedInteger(stream, value.AsInt64());
        return;
    }
    switch (vt) {
    case varEmpty:
        StreamWriteByte(stream, tagEmpty);
        return;
    case varNull:
        StreamWriteByte(stream, tagNull);
        return;
    case varSingle:
        StreamWriteByte(stream, tagSingle);
        stream->WriteSingle(float(value.AsDouble()));
        return;
    case varDouble:
        StreamWriteByte(stream, tagFloat80);
        StreamWriteFloat80(stream, value.AsDouble());
        return;
    case varCurrency:
        StreamWriteByte(stream, tagCurrency);
        StreamWriteCurrency(stream, value.AsCurrency());
        return;
    case varDate:
        StreamWriteByte(stream, tagDate);
        StreamWriteDateTime(stream, value.AsDateTime());
        return;
    case varOleStr:
    case varUString:
        StreamWriteByte(stream, tagWide);
        StreamWriteWide(stream, value.AsString());
        return;
    case varBoolean:
        StreamWriteByte(stream, value.AsBoolean() ? tagTrue : tagFalse);
        return;
    case varString:
        writeTaggedAnsi(stream, value.AsAnsiString());
        return;
    default:
        break;
    }
    // A time stamp travels as a date; every other kind as its text. Both
    // conversions are done before a byte is written.
    if (vt == varSQLTimeStamp) {
        TDateTime date = 0;
        try {
            date = value.AsDateTime();
        } catch (const EVariantError&) {
            writeError();
        }
        StreamWriteByte(stream, tagDate);
        StreamWriteDateTime(stream, date);
        return;
    }
    AnsiString text;
    try {
        text = ansiFromText(value.AsString());
    } catch (const EVariantError&) {
        writeError();
    }
    writeTaggedAnsi(stream, text);
}

Variant readVariant(TStream* stream, int depth)
{
    const uint8_t tag = StreamReadByte(stream);
    switch (tag) {
    case tagNull:
        return Null();
    case tagArray: {
        if (depth >= maxNesting)
            readError();
        // The count is a tagged integer and nothing else.
        const uint8_t countTag = StreamReadByte(stream);
        int64_t count = 0;
        switch (countTag) {
        case tagShortInt:
            count = int8_t(StreamReadByte(stream));
            break;
        case tagSmallint:
            count = StreamReadInt16(stream);
            break;
        case tagInteger:
            count = StreamReadInt32(stream);
            break;
        case tagInt64:
            count = StreamReadInt64(stream);
            break;
        default:
            readError();
        }
        // every element takes at least its tag byte
        checkCount(stream, count, 1);
        if (count > std::numeric_limits<int>::max())
            readError();
        TVariantArray items;
        for (int64_t i = 0; i < count; ++i)
            items.push_back(readVariant(stream, depth + 1));
        return VarArrayOf(items);
    }
    case tagShortInt:
        return Variant(static_cast<signed char>(StreamReadByte(stream)));
    case tagSmallint:
        return Variant(short(StreamReadInt16(stream)));
    case tagInteger:
        return Variant(int(StreamReadInt32(stream)));
    case tagInt64:
        return Variant(static_cast<long long>(StreamReadInt64(stream)));
    case tagFloat80:
        return Variant(StreamReadFloat80(stream));
    case tagSingle:
        return Variant(stream->ReadSingle());
    case tagCurrency:
        return Variant(StreamReadCurrency(stream));
    case tagDate:
        return VarFromDateTime(StreamReadDateTime(stream));
    case tagFalse:
        return Variant(false);
    case tagTrue:
        return Variant(true);
    case tagShortAnsi: {
        const uint8_t length = StreamReadByte(stream);
        return Variant(stream->ReadBytes(length));
    }
    case tagAnsi:
        return Variant(StreamReadAnsi(stream));
    case tagWide:
        return VarAsType(Variant(StreamReadWide(stream)), varOleStr);
    case tagEmpty:
        return Variant();
    default:
        readError();
    }
}

}  // namespace

// ---- variant arrays ---------------------------------------------------

Variant VarBetweenArrayCreate(const Variant& ALow, const Variant& AHigh)
{
    return VarArrayOf({ALow, AHigh});
}

Variant VarListArrayFromValue(const Variant& AValue)
{
    return VarArrayOf({AValue});
}

void VarListArrayAppend(Variant& AArray, const Variant& AValue)
{
    TVariantArray items;
    const int high = VarArrayHighBound(AArray);
    items.reserve(size_t(high + 2));
    for (int i = 0; i <= high; ++i)
        items.push_back(VarArrayGet(AArray, i));
    items.push_back(AValue);
    AArray = VarArrayOf(items);
}

// ---- shared routines ------------------------------------------------------

String BuildCurrencyDisplayFormat()
{
    String number = String::fromLatin1(",0.") + String(FormatSettings.CurrencyDecimals, u'0');
    String symbol;
    for (const QChar c : FormatSettings.CurrencyString) {
        if (c == u',' || c == u'.')
            symbol += u'\'' + String(c) + u'\'';
        else
            symbol += c;
    }
    if (symbol.isEmpty())
        return number;
    switch (FormatSettings.CurrencyFormat) {
    case 0:
        return symbol + number;
    case 1:
        return number + symbol;
    case 2:
        return symbol + u' ' + number;
    default:
        return number + u' ' + symbol;
    }
}

TDateTime DatePart(TDateTime Value)
{
    return std::trunc(Value);
}

TDateTime TimePart(TDateTime Value)
{
    return Value - std::trunc(Value);
}

bool SameTextOrPrefix(const String& AText, const String& ASearchText, bool APartial)
{
    const String text = AText.toUpper();
    const String search = ASearchText.toUpper();
    if (search.isEmpty())
        return text.isEmpty();
    if (!APartial)
        return text == search;
    return text.size() >= search.size() && text.startsWith(search);
}

AnsiString ansiFromText(const String& AText)
{
    return WideToMultiByteString(AText, CP_ACP);
}

String textFromAnsi(const AnsiString& ABytes)
{
    return MultiByteToWideString(ABytes, CP_ACP);
}

// ---- typed stream procedures ------------------------------------------------

uint8_t StreamReadByte(TStream* AStream) { return AStream->ReadByte(); }
bool StreamReadBoolean(TStream* AStream) { return AStream->ReadByte() != 0; }
int16_t StreamReadInt16(TStream* AStream) { return AStream->ReadSmallInt(); }
uint16_t StreamReadWord(TStream* AStream) { return AStream->ReadWord(); }
int32_t StreamReadInt32(TStream* AStream) { return AStream->ReadInteger(); }
int64_t StreamReadInt64(TStream* AStream) { return AStream->ReadInt64(); }
TCurrency StreamReadCurrency(TStream* AStream) { return TCurrency{AStream->ReadInt64()}; }
TDateTime StreamReadDateTime(TStream* AStream) { return AStream->ReadDouble(); }

double StreamReadFloat80(TStream* AStream)
{
    uint8_t bytes[10];
    AStream->ReadBuffer(bytes, sizeof bytes);
    return double(BytesToExtended(bytes));
}

AnsiString StreamReadAnsi(TStream* AStream)
{
    const int32_t length = AStream->ReadInteger();
    checkCount(AStream, length, 1);
    return AStream->ReadBytes(length);
}

String StreamReadWide(TStream* AStream)
{
    return AStream->ReadWideString();
}

Variant StreamReadVariant(TStream* AStream)
{
    return readVariant(AStream, 0);
}

void StreamReadByte(TStream* AStream, uint8_t& AValue) { AValue = StreamReadByte(AStream); }
void StreamReadBoolean(TStream* AStream, bool& AValue) { AValue = StreamReadBoolean(AStream); }
void StreamReadInt16(TStream* AStream, int16_t& AValue) { AValue = StreamReadInt16(AStream); }
void StreamReadWord(TStream* AStream, uint16_t& AValue) { AValue = StreamReadWord(AStream); }
void StreamReadInt32(TStream* AStream, int32_t& AValue) { AValue = StreamReadInt32(AStream); }
void StreamReadInt64(TStream* AStream, int64_t& AValue) { AValue = StreamReadInt64(AStream); }
void StreamReadCurrency(TStream* AStream, TCurrency& AValue) { AValue = StreamReadCurrency(AStream); }
void StreamReadDateTime(TStream* AStream, TDateTime& AValue) { AValue = StreamReadDateTime(AStream); }
void StreamReadFloat80(TStream* AStream, double& AValue) { AValue = StreamReadFloat80(AStream); }
void StreamReadAnsi(TStream* AStream, AnsiString& AValue) { AValue = StreamReadAnsi(AStream); }
void StreamReadWide(TStream* AStream, String& AValue) { AValue = StreamReadWide(AStream); }
void StreamReadVariant(TStream* AStream, Variant& AValue) { AValue = StreamReadVariant(AStream); }

void StreamWriteByte(TStream* AStream, uint8_t AValue) { AStream->WriteByte(AValue); }
void StreamWriteBoolean(TStream* AStream, bool AValue) { AStream->WriteByte(AValue ? 1 : 0); }
void StreamWriteInt16(TStream* AStream, int16_t AValue) { AStream->WriteSmallInt(AValue); }
void StreamWriteWord(TStream* AStream, uint16_t AValue) { AStream->WriteWord(AValue); }
void StreamWriteInt32(TStream* AStream, int32_t AValue) { AStream->WriteInteger(AValue); }
void StreamWriteInt64(TStream* AStream, int64_t AValue) { AStream->WriteInt64(AValue); }
void StreamWriteCurrency(TStream* AStream, TCurrency AValue) { AStream->WriteInt64(AValue.Ticks); }
void StreamWriteDateTime(TStream* AStream, TDateTime AValue) { AStream->WriteDouble(AValue); }

void StreamWriteFloat80(TStream* AStream, double AValue)
{
    uint8_t bytes[10];
    ExtendedToBytes(AValue, bytes);
    AStream->WriteBuffer(bytes, sizeof bytes);
}

void StreamWriteAnsi(TStream* AStream, const AnsiString& AValue) { AStream->WriteAnsiString(AValue); }
void StreamWriteWide(TStream* AStream, const String& AValue) { AStream->WriteWideString(AValue); }

void StreamWriteVariant(TStream* AStream, const Variant& AValue)
{
    writeVariant(AStream, AValue);
}

// ---- TvlFiler, week start, "Hex:" texts ----------------------------------------

TvlFiler::TvlFiler(TStream* AStream) : FStream(AStream), FIsUnicode(ReadStreamFormatSignature(AStream)) {}
AnsiString TvlFiler::ReadAnsiText() { return StreamReadAnsi(FStream); }
int32_t TvlFiler::ReadInt32() { return StreamReadInt32(FStream); }
void TvlFiler::WriteAnsiText(const AnsiString& AText) { StreamWriteAnsi(FStream, AText); }
void TvlFiler::WriteInt32(int32_t AValue) { StreamWriteInt32(FStream, AValue); }

TDateTime GetStartDateOfWeek(TDateTime ADate)
{
    const int first = GetFirstDayOfWeek();
    const int day = DayOfWeek(ADate) - 1;  // 0 = Sunday
    const TDateTime date = DatePart(ADate);
    return day >= first ? date - (day - first) : date - 7 + (first - day);
}

String PropertyStreamToString(TMemoryStream* AStream)
{
    if (AStream == nullptr || AStream->Size() == 0)
        return {};
    AStream->SetPosition(0);
    const AnsiString bytes = AStream->ReadBytes(AStream->Size());
    return String::fromLatin1("Hex:") + String::fromLatin1(AnsiStringToHex(bytes));
}

void PropertyStringToStream(const String& AText, TMemoryStream* AStream)
{
    const AnsiString text = ansiFromText(AText);
    if (AStream == nullptr || text.size() < 6)
        return;
    // Whatever the first four characters are, the rest is pairs of digits;
    // a pair that is not hexadecimal refuses the whole text, so a damaged
    // setting never turns into half a stream.
    AnsiString digits = text.mid(4);
    digits.truncate(digits.size() - digits.size() % 2);
    for (char c : digits)
        if (!std::isxdigit(static_cast<unsigned char>(c)))
            return;
    AStream->WriteBytes(HexToAnsiString(digits));
}

// ---- TvlCustomDataBinding ---------------------------------------------------

TvlCustomDataBinding::TvlCustomDataBinding(TComponent* AOwner, TComponent* ADataComponent)
    : FDataComponent(ADataComponent), FOwner(AOwner)
{
}

void TvlCustomDataBinding::NotifyValueChanged()
{
    if (OnValueChanged)
        OnValueChanged();
}

void TvlCustomDataBinding::NotifySourceChanged()
{
    if (OnSourceChanged)
        OnSourceChanged();
}

bool TvlCustomDataBinding::IsModified() const { return false; }
bool TvlCustomDataBinding::IsReadOnly() const { return FReadOnly; }

void TvlCustomDataBinding::ChangeReadOnly(bool AValue)
{
    if (FReadOnly == AValue)
        return;
    FReadOnly = AValue;
    NotifySourceChanged();
}

void TvlCustomDataBinding::RequestUpdate()
{
    if (OnUpdateRequest)
        OnUpdateRequest();
}

void TvlCustomDataBinding::VisualControlSet() {}
bool TvlCustomDataBinding::CanModify() const { return !IsReadOnly(); }
bool TvlCustomDataBinding::ExecuteAction(TBasicAction*) { return false; }
Variant TvlCustomDataBinding::StoredValue(TvlEditValueSource, bool) { return Null(); }
bool TvlCustomDataBinding::IsControlReadOnly() const { return IsReadOnly(); }
bool TvlCustomDataBinding::HasDataValue() const { return true; }
bool TvlCustomDataBinding::IsEditingData() const { return false; }
void TvlCustomDataBinding::RefreshControl() {}
bool TvlCustomDataBinding::CanModifyByKey() const { return CanModify(); }
void TvlCustomDataBinding::NotifyValueEdited() {}
bool TvlCustomDataBinding::UpdateAction(TBasicAction*) { return false; }
void TvlCustomDataBinding::CommitOnExit() {}

void TvlCustomDataBinding::SetVisualControl(TControl* Value)
{
    if (FVisualControl == Value)
        return;
    FVisualControl = Value;
    VisualControlSet();
}

TPersistent* TvlCustomDataBinding::GetOwner() const
{
    return FOwner;
}

// ---- TvlCollection ----------------------------------------------------------

void TvlCollection::Assign(const TPersistent* Source)
{
    const auto* source = dynamic_cast<const TCollection*>(Source);
    if (source == nullptr) {
        TCollection::Assign(Source);
        return;
    }
    if (source->Count() == 0 && Count() == 0)
        return;
    BeginUpdate();
    try {
        for (int i = 0; i < source->Count(); ++i) {
            TCollectionItem* item = i < Count() ? Items(i) : Add();
            item->Assign(source->Items(i));
        }
        while (Count() > source->Count())
            Delete(Count() - 1);
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

// ---- stored property values -------------------------------------------------

bool PropertyStringToBoolean(const String& AText)
{
    const AnsiString upper = AText.toLatin1().toUpper();
    if (upper == "TRUE")
        return true;
    if (upper == "FALSE")
        return false;
    throw EPropertyConvertError(String());
}
