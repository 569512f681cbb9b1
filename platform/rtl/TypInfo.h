// TypInfo.h - property tables in place of run-time type information: each class
// lists its published properties once, and storage code reads and writes them by name.
#pragma once
#include <concepts>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <type_traits>
#include <utility>
#include <variant>
#include <vector>

#include "platform/rtl/Component.h"
#include "platform/rtl/Exception.h"
#include "platform/rtl/Set.h"
#include "platform/rtl/String.h"

// tkBinary is ours: data read and written as bytes (the original kept it as a
// defined binary property beside the published ones).
enum TTypeKind {
    tkUnknown, tkInteger, tkChar, tkEnumeration, tkFloat, tkString, tkSet, tkClass, tkMethod,
    tkWChar, tkLString, tkWString, tkVariant, tkArray, tkRecord, tkInterface, tkInt64,
    tkDynArray, tkUString, tkBinary
};
using TTypeKinds = TSet<TTypeKind>;
inline constexpr TTypeKinds tkAny = TTypeKinds::fromBits((uint64_t{1} << (tkBinary + 1)) - 1);
inline constexpr TTypeKinds tkProperties = tkAny - TTypeKinds{tkMethod};

// An enumeration's names in order; the first name has the value MinValue.
// Constant-initialised, so tables may refer to it from any static.
struct TEnumInfo {
    const char* TypeName;
    std::span<const char* const> Names;
    int MinValue = 0;

    int Count() const { return static_cast<int>(Names.size()); }
    int MaxValue() const { return MinValue + Count() - 1; }
};

inline constexpr const char* BooleanNames[] = {"False", "True"};
inline constexpr TEnumInfo BooleanInfo{"Boolean", BooleanNames};

struct TClassInfo;

// A value as it passes through a getter or setter: ordinals (integers, chars,
// enumerations, Booleans, sets as bits) as int64_t, floats as double.
using TPropValue = std::variant<int64_t, double, String, TObject*, QByteArray>;

struct TPropInfo {
    String Name;
    TTypeKind Kind = tkUnknown;
    const TEnumInfo* EnumInfo = nullptr;  // tkEnumeration; tkSet: the element type
    // tkClass: the declared class's table (the object's own table may be a descendant's).
    const TClassInfo* (*PropClassInfo)() = nullptr;
    bool IsCollection = false;            // tkClass holding a TCollection
    std::optional<TPropValue> Default;    // nullopt: no default, always stored
    std::function<TPropValue(const TObject*)> Getter;
    std::function<void(TObject*, const TPropValue&)> Setter;  // empty: read-only
    std::function<bool(const TObject*)> StoredFn;             // empty: stored

    bool ReadOnly() const { return !Setter; }
    bool HasDefault() const { return Default.has_value(); }
    bool IsBoolean() const { return EnumInfo == &BooleanInfo && Kind == tkEnumeration; }
    const TClassInfo* ClassInfo() const { return PropClassInfo != nullptr ? PropClassInfo() : nullptr; }
};

using TPropList = std::vector<const TPropInfo*>;

struct TClassInfo {
    String ClassName;
    const TClassInfo* Parent = nullptr;
    std::vector<TPropInfo> Props;  // own properties, in declaration order

    // Case-insensitive; the class's own properties hide its parents' ones.
    const TPropInfo* FindProp(const String& Name) const;
    // Parents' properties first; a redeclared property keeps its parent's place.
    TPropList PropList(TTypeKinds Kinds = tkAny) const;
    bool InheritsFrom(const TClassInfo* Ancestor) const;
};

namespace TypInfoDetail {
[[noreturn]] void invalidValue();
[[noreturn]] void wrongInstance(const char* ClassName);

template <class T>
struct IsTSet : std::false_type {};
template <class E, int N>
struct IsTSet<TSet<E, N>> : std::true_type {};

template <class C, class G>
using Result = std::remove_cvref_t<std::invoke_result_t<G, const C&>>;

template <class C>
const C& self(const TObject* obj, const char* ClassName)
{
    const C* p = dynamic_cast<const C*>(obj);
    if (p == nullptr)
        wrongInstance(ClassName);
    return *p;
}

template <class C>
C& self(TObject* obj, const char* ClassName)
{
    C* p = dynamic_cast<C*>(obj);
    if (p == nullptr)
        wrongInstance(ClassName);
    return *p;
}

template <class T>
const TClassInfo* staticClassInfo()
{
    if constexpr (requires { T::StaticClassInfo(); })
        return &T::StaticClassInfo();
    else
        return nullptr;
}

// Ordinal value -> the getter's type, refusing what the type cannot hold.
template <class T>
T ordinalFrom(int64_t v, const TEnumInfo* info)
{
    if constexpr (std::is_same_v<T, bool>) {
        if (v != 0 && v != 1)
            invalidValue();
        return v != 0;
    } else if constexpr (std::is_enum_v<T>) {
        if (info == nullptr || v < info->MinValue || v > info->MaxValue())
            invalidValue();
        return static_cast<T>(v);
    } else if constexpr (IsTSet<T>::value) {
        const int bits = info->MaxValue() + 1;
        if (bits < 64 && (static_cast<uint64_t>(v) >> bits) != 0)
            invalidValue();
        return T::fromBits(static_cast<uint64_t>(v));
    } else if constexpr (std::is_same_v<T, QChar>) {
        if (v < 0 || v > 0xFFFF)
            invalidValue();
        return QChar(static_cast<char16_t>(v));
    } else {
        static_assert(std::is_integral_v<T>, "not an ordinal type");
        if (!std::in_range<T>(v))
            invalidValue();
        return static_cast<T>(v);
    }
}

template <class T>
int64_t ordinalOf(const T& v)
{
    if constexpr (IsTSet<T>::value)
        return static_cast<int64_t>(v.Bits());
    else if constexpr (std::is_same_v<T, QChar>)
        return v.unicode();
    else
        return static_cast<int64_t>(v);
}
}  // namespace TypInfoDetail

// Writes a class's table in a few lines:
//   static const TClassInfo info = TClassInfoBuilder<TFoo>("TFoo", &TParent::StaticClassInfo())
//       .Int("Width", &TFoo::Width, &TFoo::SetWidth, 64).Build();
// Getters are member functions or callables taking const C&; setters take C& and
// the value; nullptr for a read-only property. Defaults are optional.
template <class C>
class TClassInfoBuilder {
public:
    explicit TClassInfoBuilder(const char* ClassName, const TClassInfo* Parent = nullptr)
        : FClassName(ClassName)
    {
        FInfo.ClassName = String::fromLatin1(ClassName);
        FInfo.Parent = Parent;
    }

    template <class G, class S = std::nullptr_t>
    TClassInfoBuilder& Int(const char* Name, G Getter, S Setter = nullptr,
                           std::optional<TypInfoDetail::Result<C, G>> Default = std::nullopt)
    {
        return ordinal(Name, tkInteger, nullptr, Getter, Setter, Default);
    }
    template <class G, class S = std::nullptr_t>
    TClassInfoBuilder& Int64(const char* Name, G Getter, S Setter = nullptr,
                             std::optional<TypInfoDetail::Result<C, G>> Default = std::nullopt)
    {
        return ordinal(Name, tkInt64, nullptr, Getter, Setter, Default);
    }
    // A QChar or char16_t property.
    template <class G, class S = std::nullptr_t>
    TClassInfoBuilder& Char(const char* Name, G Getter, S Setter = nullptr,
                            std::optional<TypInfoDetail::Result<C, G>> Default = std::nullopt)
    {
        return ordinal(Name, tkWChar, nullptr, Getter, Setter, Default);
    }
    template <class G, class S = std::nullptr_t>
    TClassInfoBuilder& Enum(const char* Name, const TEnumInfo& Info, G Getter, S Setter = nullptr,
                            std::optional<TypInfoDetail::Result<C, G>> Default = std::nullopt)
    {
        return ordinal(Name, tkEnumeration, &Info, Getter, Setter, Default);
    }
    template <class G, class S = std::nullptr_t>
    TClassInfoBuilder& Bool(const char* Name, G Getter, S Setter = nullptr, std::optional<bool> Default = std::nullopt)
    {
        return ordinal(Name, tkEnumeration, &BooleanInfo, Getter, Setter, Default);
    }
    // A TSet<E> property; ElementInfo names the element enumeration.
    template <class G, class S = std::nullptr_t>
    TClassInfoBuilder& Set(const char* Name, const TEnumInfo& ElementInfo, G Getter, S Setter = nullptr,
                           std::optional<TypInfoDetail::Result<C, G>> Default = std::nullopt)
    {
        return ordinal(Name, tkSet, &ElementInfo, Getter, Setter, Default);
    }
    // Without a given default, 0 counts as the default.
    template <class G, class S = std::nullptr_t>
    TClassInfoBuilder& Float(const char* Name, G Getter, S Setter = nullptr, double Default = 0.0)
    {
        using T = TypInfoDetail::Result<C, G>;
        TPropInfo& p = add(Name, tkFloat);
        p.Default.emplace(std::in_place_type<double>, Default);
        p.Getter = [Getter, cn = FClassName](const TObject* obj) {
            return TPropValue(static_cast<double>(std::invoke(Getter, TypInfoDetail::self<C>(obj, cn))));
        };
        if constexpr (!std::is_null_pointer_v<S>)
            p.Setter = [Setter, cn = FClassName](TObject* obj, const TPropValue& v) {
                std::invoke(Setter, TypInfoDetail::self<C>(obj, cn), static_cast<T>(std::get<double>(v)));
            };
        return *this;
    }
    // Without a given default, the empty string counts as the default.
    template <class G, class S = std::nullptr_t>
    TClassInfoBuilder& Str(const char* Name, G Getter, S Setter = nullptr, const String& Default = String())
    {
        return simple<String>(Name, tkUString, Getter, Setter, Default);
    }
    // Bytes (QByteArray); empty counts as the default.
    template <class G, class S = std::nullptr_t>
    TClassInfoBuilder& Binary(const char* Name, G Getter, S Setter = nullptr)
    {
        return simple<QByteArray>(Name, tkBinary, Getter, Setter, QByteArray());
    }
    // A nested object (getter returns T*), addressed as "Font.Size". The setter,
    // when there is one, receives a T* (usually it assigns).
    template <class G, class S = std::nullptr_t>
    TClassInfoBuilder& Object(const char* Name, G Getter, S Setter = nullptr)
    {
        using R = TypInfoDetail::Result<C, G>;
        static_assert(std::is_pointer_v<R>, "an object property's getter returns a pointer");
        using T = std::remove_cv_t<std::remove_pointer_t<R>>;
        TPropInfo& p = add(Name, tkClass);
        p.PropClassInfo = &TypInfoDetail::staticClassInfo<T>;
        p.Getter = [Getter, cn = FClassName](const TObject* obj) {
            return TPropValue(static_cast<TObject*>(std::invoke(Getter, TypInfoDetail::self<C>(obj, cn))));
        };
        if constexpr (!std::is_null_pointer_v<S>)
            p.Setter = [Setter, cn = FClassName](TObject* obj, const TPropValue& v) {
                TObject* value = std::get<TObject*>(v);
                T* typed = dynamic_cast<T*>(value);
                if (value != nullptr && typed == nullptr)
                    TypInfoDetail::invalidValue();
                std::invoke(Setter, TypInfoDetail::self<C>(obj, cn), typed);
            };
        return *this;
    }
    // A TCollection (or descendant) property; its items carry their own tables.
    template <class G, class S = std::nullptr_t>
    TClassInfoBuilder& Collection(const char* Name, G Getter, S Setter = nullptr)
    {
        Object(Name, Getter, Setter);
        FInfo.Props.back().IsCollection = true;
        return *this;
    }

    // The "stored" condition of the property added last.
    TClassInfoBuilder& Stored(bool Value)
    {
        FInfo.Props.back().StoredFn = [Value](const TObject*) { return Value; };
        return *this;
    }
    template <class F>
        requires std::invocable<F, const C&>
    TClassInfoBuilder& Stored(F Predicate)
    {
        FInfo.Props.back().StoredFn = [Predicate, cn = FClassName](const TObject* obj) {
            return static_cast<bool>(std::invoke(Predicate, TypInfoDetail::self<C>(obj, cn)));
        };
        return *this;
    }

    TClassInfo Build() { return std::move(FInfo); }

private:
    TPropInfo& add(const char* Name, TTypeKind Kind)
    {
        TPropInfo& p = FInfo.Props.emplace_back();
        p.Name = String::fromLatin1(Name);
        p.Kind = Kind;
        return p;
    }

    template <class G, class S, class D>
    TClassInfoBuilder& ordinal(const char* Name, TTypeKind Kind, const TEnumInfo* Info, G Getter, S Setter,
                               const std::optional<D>& Default)
    {
        using T = TypInfoDetail::Result<C, G>;
        TPropInfo& p = add(Name, Kind);
        p.EnumInfo = Info;
        if (Default)
            p.Default.emplace(std::in_place_type<int64_t>, TypInfoDetail::ordinalOf(static_cast<T>(*Default)));
        p.Getter = [Getter, cn = FClassName](const TObject* obj) {
            return TPropValue(TypInfoDetail::ordinalOf<T>(std::invoke(Getter, TypInfoDetail::self<C>(obj, cn))));
        };
        if constexpr (!std::is_null_pointer_v<S>)
            p.Setter = [Setter, Info, cn = FClassName](TObject* obj, const TPropValue& v) {
                std::invoke(Setter, TypInfoDetail::self<C>(obj, cn),
                            TypInfoDetail::ordinalFrom<T>(std::get<int64_t>(v), Info));
            };
        return *this;
    }

    template <class V, class G, class S>
    TClassInfoBuilder& simple(const char* Name, TTypeKind Kind, G Getter, S Setter, const V& Default)
    {
        TPropInfo& p = add(Name, Kind);
        p.Default.emplace(std::in_place_type<V>, Default);
        p.Getter = [Getter, cn = FClassName](const TObject* obj) {
            return TPropValue(V(std::invoke(Getter, TypInfoDetail::self<C>(obj, cn))));
        };
        if constexpr (!std::is_null_pointer_v<S>)
            p.Setter = [Setter, cn = FClassName](TObject* obj, const TPropValue& v) {
                std::invoke(Setter, TypInfoDetail::self<C>(obj, cn), std::get<V>(v));
            };
        return *this;
    }

    TClassInfo FInfo;
    const char* FClassName;  // a literal; the thunks name it in their errors
};

// ---- lookup ----------------------------------------------------------------

// A property found by path: the object that holds it and its entry.
struct TPropRef {
    TObject* Instance = nullptr;
    const TPropInfo* Info = nullptr;
    explicit operator bool() const { return Info != nullptr; }
};

// Path segments are separated by '.'; a collection property takes an item
// index ("Columns[2].Width"). Missing names or nil objects give an empty result.
TPropRef FindPropRef(const TObject* Instance, const String& Path);
const TPropInfo* GetPropInfo(const TObject* Instance, const String& PropName);
const TPropInfo* GetPropInfo(const TClassInfo* Info, const String& PropName);
TPropList GetPropList(const TObject* Instance, TTypeKinds Kinds = tkAny);
TPropList GetPropList(const TClassInfo* Info, TTypeKinds Kinds = tkAny);
bool IsPublishedProp(const TObject* Instance, const String& PropName);
// These raise EPropertyError for a missing property.
TTypeKind PropType(const TObject* Instance, const String& PropName);
bool PropIsType(const TObject* Instance, const String& PropName, TTypeKind TypeKind);

// ---- enumerations and sets --------------------------------------------------

String GetEnumName(const TEnumInfo& Info, int Value);  // empty when out of range
int GetEnumValue(const TEnumInfo& Info, const String& Name);  // case-insensitive; -1 when missing
String SetToString(const TEnumInfo& ElementInfo, uint64_t Value, bool Brackets = false);
String SetToString(const TPropInfo* PropInfo, uint64_t Value, bool Brackets = false);
// Accepts "[a,b]" or "a, b"; raises EPropertyError for an unknown name.
uint64_t StringToSet(const TEnumInfo& ElementInfo, const String& Value);
uint64_t StringToSet(const TPropInfo* PropInfo, const String& Value);

// ---- reading and writing ------------------------------------------------------
// The PropInfo forms take the object that holds the property; the name forms
// accept a path. A write to a property without a setter raises EPropertyError
// "Property is read-only"; a value the property cannot hold, "Invalid property value".

int64_t GetOrdProp(const TObject* Instance, const TPropInfo* PropInfo);
int64_t GetOrdProp(const TObject* Instance, const String& PropName);
void SetOrdProp(TObject* Instance, const TPropInfo* PropInfo, int64_t Value);
void SetOrdProp(TObject* Instance, const String& PropName, int64_t Value);
int64_t GetInt64Prop(const TObject* Instance, const TPropInfo* PropInfo);
int64_t GetInt64Prop(const TObject* Instance, const String& PropName);
void SetInt64Prop(TObject* Instance, const TPropInfo* PropInfo, int64_t Value);
void SetInt64Prop(TObject* Instance, const String& PropName, int64_t Value);
double GetFloatProp(const TObject* Instance, const TPropInfo* PropInfo);
double GetFloatProp(const TObject* Instance, const String& PropName);
void SetFloatProp(TObject* Instance, const TPropInfo* PropInfo, double Value);
void SetFloatProp(TObject* Instance, const String& PropName, double Value);
String GetStrProp(const TObject* Instance, const TPropInfo* PropInfo);
String GetStrProp(const TObject* Instance, const String& PropName);
void SetStrProp(TObject* Instance, const TPropInfo* PropInfo, const String& Value);
void SetStrProp(TObject* Instance, const String& PropName, const String& Value);
String GetEnumProp(const TObject* Instance, const TPropInfo* PropInfo);
String GetEnumProp(const TObject* Instance, const String& PropName);
void SetEnumProp(TObject* Instance, const TPropInfo* PropInfo, const String& Value);
void SetEnumProp(TObject* Instance, const String& PropName, const String& Value);
String GetSetProp(const TObject* Instance, const TPropInfo* PropInfo, bool Brackets = false);
String GetSetProp(const TObject* Instance, const String& PropName, bool Brackets = false);
void SetSetProp(TObject* Instance, const TPropInfo* PropInfo, const String& Value);
void SetSetProp(TObject* Instance, const String& PropName, const String& Value);
TObject* GetObjectProp(const TObject* Instance, const TPropInfo* PropInfo);
TObject* GetObjectProp(const TObject* Instance, const String& PropName);
void SetObjectProp(TObject* Instance, const TPropInfo* PropInfo, TObject* Value);
void SetObjectProp(TObject* Instance, const String& PropName, TObject* Value);
QByteArray GetBinaryProp(const TObject* Instance, const TPropInfo* PropInfo);
QByteArray GetBinaryProp(const TObject* Instance, const String& PropName);
void SetBinaryProp(TObject* Instance, const TPropInfo* PropInfo, const QByteArray& Value);
void SetBinaryProp(TObject* Instance, const String& PropName, const QByteArray& Value);

// Any property but an object one, as text: integers in decimal ("$1F" is read
// too), enumerations and Booleans by name, sets as "[a,b]", floats with '.' in
// the shortest form that reads back to the same value, chars as themselves,
// binary data as upper-case hex.
String GetPropValue(const TObject* Instance, const TPropInfo* PropInfo);
String GetPropValue(const TObject* Instance, const String& PropName);
void SetPropValue(TObject* Instance, const TPropInfo* PropInfo, const String& Value);
void SetPropValue(TObject* Instance, const String& PropName, const String& Value);

// True when the value equals the property's default (nil objects and empty
// collections count as default).
bool IsDefaultPropertyValue(const TObject* Instance, const TPropInfo* PropInfo);
// Whether storage writes the property: its "stored" condition allows it and
// the value is not the default.
bool IsStoredProp(const TObject* Instance, const TPropInfo* PropInfo);
bool IsStoredProp(const TObject* Instance, const String& PropName);

// Copies every published value that Dest can take from Source, by name and
// kind, except those Source does not store; object properties are copied with
// Assign (collections item by item).
void AssignPublishedProps(TObject* Dest, const TObject* Source);
