// Variant.h - the one value type that data cells, filters and editors pass
// around: the original runtime's type codes, conversions and comparison order.
#pragma once
#include <compare>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <variant>
#include <vector>

#include "platform/rtl/DateTime.h"
#include "platform/rtl/Exception.h"
#include "platform/rtl/FMTBcd.h"
#include "platform/rtl/SqlTimSt.h"
#include "platform/rtl/String.h"

// Type codes. Values are part of stored data (streams, settings), keep them.
using TVarType = uint16_t;
constexpr TVarType varEmpty = 0x0000;
constexpr TVarType varNull = 0x0001;
constexpr TVarType varSmallint = 0x0002;
constexpr TVarType varInteger = 0x0003;
constexpr TVarType varSingle = 0x0004;
constexpr TVarType varDouble = 0x0005;
constexpr TVarType varCurrency = 0x0006;
constexpr TVarType varDate = 0x0007;
constexpr TVarType varOleStr = 0x0008;
constexpr TVarType varDispatch = 0x0009;
constexpr TVarType varError = 0x000A;
constexpr TVarType varBoolean = 0x000B;
constexpr TVarType varVariant = 0x000C;
constexpr TVarType varUnknown = 0x000D;
constexpr TVarType varShortInt = 0x0010;
constexpr TVarType varByte = 0x0011;
constexpr TVarType varWord = 0x0012;
constexpr TVarType varLongWord = 0x0013;
constexpr TVarType varInt64 = 0x0014;
constexpr TVarType varString = 0x0100;   // 8-bit text
constexpr TVarType varUString = 0x0102;  // UTF-16 text, as varOleStr
// The two database kinds. Their codes are ours and fixed; streams never
// carry them (a decimal goes as text, a time stamp as a date).
constexpr TVarType varFMTBcd = 0x0F00;
constexpr TVarType varSQLTimeStamp = 0x0F01;
constexpr TVarType varTypeMask = 0x0FFF;
constexpr TVarType varArray = 0x2000;

VORLANE_DECLARE_EXCEPTION(EVariantTypeCastError, EVariantError);
VORLANE_DECLARE_EXCEPTION(EVariantOverflowError, EVariantError);
VORLANE_DECLARE_EXCEPTION(EVariantBadIndexError, EVariantError);

namespace RtlConsts {
VORLANE_RESOURCESTRING(SVarTypeCouldNotConvert, "Could not convert variant of type (%s) into type (%s)");
VORLANE_RESOURCESTRING(SVarTypeConvertOverflow, "Overflow while converting variant of type (%s) into type (%s)");
VORLANE_RESOURCESTRING(SVarArrayCreate, "Error creating variant or safe array");
VORLANE_RESOURCESTRING(SVarArrayBounds, "Variant or safe array index out of bounds");
VORLANE_RESOURCESTRING(SVarNotArray, "Variant is not an array");
}  // namespace RtlConsts

// A money amount as a count of 1/10000 units, so that sums and comparisons
// of amounts are exact.
struct TCurrency {
    int64_t Ticks = 0;

    friend constexpr auto operator<=>(TCurrency, TCurrency) = default;
};

class Variant;
using TVariantArray = std::vector<Variant>;

class Variant {
public:
    Variant() = default;  // Empty
    Variant(bool v) : FVType(varBoolean), FData(v) {}
    Variant(int v) : FVType(varInteger), FData(int64_t{v}) {}
    Variant(short v) : FVType(varSmallint), FData(int64_t{v}) {}
    Variant(signed char v) : FVType(varShortInt), FData(int64_t{v}) {}
    Variant(unsigned char v) : FVType(varByte), FData(int64_t{v}) {}
    Variant(unsigned short v) : FVType(varWord), FData(int64_t{v}) {}
    Variant(unsigned int v) : FVType(varLongWord), FData(int64_t{v}) {}
    Variant(long v) : FVType(varInt64), FData(int64_t{v}) {}
    Variant(long long v) : FVType(varInt64), FData(int64_t{v}) {}
    Variant(float v) : FVType(varSingle), FData(v) {}
    Variant(double v) : FVType(varDouble), FData(v) {}
    Variant(TCurrency v) : FVType(varCurrency), FData(v) {}
    Variant(const String& v) : FVType(varUString), FData(v) {}
    Variant(const char* utf8) : FVType(varUString), FData(String::fromUtf8(utf8)) {}
    Variant(const AnsiString& v) : FVType(varString), FData(v) {}
    Variant(const TBcd& v) : FVType(varFMTBcd), FData(v) {}
    Variant(const TSQLTimeStamp& v) : FVType(varSQLTimeStamp), FData(v) {}
    // A char is neither a number nor a text here, and a pointer would
    // silently become a Boolean.
    Variant(char) = delete;
    Variant(char16_t) = delete;
    template <class T>
    Variant(T*) = delete;

    TVarType VType() const { return FVType; }

    // Conversions by the runtime's rules. Null and values that do not
    // convert raise EVariantTypeCastError; values out of the target's range
    // raise EVariantOverflowError. Empty gives the target's zero.
    int AsInteger() const;
    int64_t AsInt64() const;
    double AsDouble() const;  // a date gives its day count
    TCurrency AsCurrency() const;
    bool AsBoolean() const;
    String AsString() const;
    AnsiString AsAnsiString() const;
    TDateTime AsDateTime() const;
    TBcd AsBcd() const;
    TSQLTimeStamp AsSQLTimeStamp() const;

private:
    using TArrayRef = std::shared_ptr<TVariantArray>;
    // Integer kinds and the error code share int64_t, Double and Date share
    // double, the two UTF-16 kinds share String, varString and byte arrays
    // share AnsiString; the type code tells them apart.
    using TData = std::variant<std::monostate, int64_t, float, double, TCurrency, bool, String, AnsiString, TArrayRef,
                               TBcd, TSQLTimeStamp>;

    TVarType FVType = varEmpty;
    TData FData;

    friend struct VariantAccess;
};

Variant Null();
Variant Unassigned();
Variant VarFromDateTime(TDateTime value);
Variant VarAsError(int32_t code);

TVarType VarType(const Variant& V);
// "Integer", "UnicodeString", "Array Byte", "$0F00" ...
String VarTypeAsText(TVarType VType);

bool VarIsEmpty(const Variant& V);
bool VarIsNull(const Variant& V);
bool VarIsClear(const Variant& V);
bool VarIsStr(const Variant& V);
bool VarIsOrdinal(const Variant& V);  // the integer kinds and Boolean
bool VarIsFloat(const Variant& V);    // Single, Double, Currency
bool VarIsNumeric(const Variant& V);  // ordinal or float; a date is neither
bool VarIsArray(const Variant& V);
bool VarIsSoftNull(const Variant& V);  // Null, or a text equal to ''
bool VarIsNumericOrBcd(const Variant& V);
bool VarIsDate(const Variant& V);      // a date or a time stamp
bool IsDateVarType(TVarType VType);    // varDate or varSQLTimeStamp
bool IsCurrencyVarType(TVarType VType);  // varCurrency or varFMTBcd
bool IsIntegerVarType(TVarType VType);   // the integer kinds, Boolean not among them

// The value converted to another type code, keeping that exact code.
Variant VarAsType(const Variant& V, TVarType VType);
String VarToStr(const Variant& V);  // Null gives ''
String VarToStrDef(const Variant& V, const String& ADefault);  // Null gives ADefault

// The runtime's relation between two scalars. Null equals only Null and is
// otherwise vrNotEqual (so neither less nor greater). Raises the conversion
// errors when the kinds do not compare (the text "abc" and a number) and
// EVariantError for arrays.
enum TVariantRelationship { vrEqual, vrLessThan, vrGreaterThan, vrNotEqual };
TVariantRelationship VarCompareValue(const Variant& A, const Variant& B);

bool operator==(const Variant& A, const Variant& B);
std::partial_ordering operator<=>(const Variant& A, const Variant& B);

// Sorting order for data: Empty first, then Null, then scalars, then arrays;
// never raises a conversion error. Pairs that do not convert ("abc" and 5)
// give -1 both ways: the data layer's sort expects exactly that, but it is
// not a strict weak ordering, so VarCompare must never feed std::sort or any
// other standard algorithm that needs one.
int VarCompareScalars(const Variant& V1, const Variant& V2);
int VarCompareArrays(const Variant& V1, const Variant& V2);
int VarCompare(const Variant& V1, const Variant& V2);
bool VarCompareEqual(const Variant& V1, const Variant& V2);
// As VarCompareEqual, except that a Boolean compares by its text, so True
// equals "True" but not -1.
bool VarEqualsExact(const Variant& V1, const Variant& V2);
// Both numeric, both texts or the same type code, and exactly equal.
bool EditValueVarEquals(const Variant& V1, const Variant& V2);
// The same type code and equal.
bool InternalVarEqualsExact(const Variant& V1, const Variant& V2);

// One-dimensional arrays with lower bound 0, of element type varVariant or
// varByte. Copies share the elements until one of them is changed.
Variant VarArrayCreate(int LowBound, int HighBound, TVarType VarType);
Variant VarArrayOf(std::initializer_list<Variant> Values);
Variant VarArrayOf(const TVariantArray& Values);
int VarArrayLowBound(const Variant& A, int Dim = 1);
int VarArrayHighBound(const Variant& A, int Dim = 1);
Variant VarArrayGet(const Variant& A, int Index);
void VarArrayPut(Variant& A, const Variant& Value, int Index);

// varByte | varArray from and to bytes. VarArrayToBytes also takes a
// variant array of small numbers, which is what a byte array becomes after a
// trip through the tagged stream.
Variant VarArrayFromBytes(const QByteArray& Bytes);
QByteArray VarArrayToBytes(const Variant& A);
