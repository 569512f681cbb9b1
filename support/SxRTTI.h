// SxRTTI.h - description objects over the type descriptors of published
// types: names, bounds, value names, properties, set texts, and the texts
// that describe or declare a type. Descriptors of our classes are made from
// the property tables of platform/rtl.
#pragma once
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/rtl/StringList.h"
#include "platform/rtl/TypInfo.h"
#include "support/SxBase.h"
#include "support/SxSysUtils.h"

namespace SxResources {
VORLANE_RESOURCESTRING(RsRTTIUnknownIdentifier, "Unknown identifier '%s'.");
VORLANE_RESOURCESTRING(RsRTTINoStringValue, "The property %s of type %s has no string value");
VORLANE_RESOURCESTRING(RsRTTIValueOutOfRange, "Value out of range (%s).");
VORLANE_RESOURCESTRING(RsDeclarationCannotBeMade, "// Declaration for '%s' not supported.");
}  // namespace SxResources

VORLANE_DECLARE_EXCEPTION(ESxRTTIError, ESxError);

enum TOrdType { otSByte, otUByte, otSWord, otUWord, otSLong, otULong };
enum TFloatType { ftSingle, ftDouble, ftExtended, ftComp, ftCurr };
enum TMethodKind {
    mkProcedure, mkFunction, mkConstructor, mkDestructor, mkClassProcedure, mkClassFunction,
    mkClassConstructor, mkOperatorOverload, mkSafeProcedure, mkSafeFunction
};
enum TParamFlag { pfVar, pfConst, pfArray, pfAddress, pfReference, pfOut };
using TParamFlags = TSet<TParamFlag>;
enum TIntfFlag { ifHasGuid, ifDispInterface, ifDispatch };
using TIntfFlags = TSet<TIntfFlag>;

// How a property names its reader, writer or stored test.
enum TSxPropSpecKind { pskStaticMethod = 1, pskVirtualMethod = 2, pskField = 3, pskConstant = 4 };

struct TTypeDescriptor;

// One published property. Its reader, writer and stored test are 0 or 1 for a constant, a
// value with top byte 0xFF for a field (offset in the low 24 bits), top
// byte 0xFE for a virtual method (slot offset in the low 16 bits), and any
// other value names a method (the address of its accessor here).
struct TPropDescriptor {
    const TTypeDescriptor* PropType = nullptr;
    uint64_t GetProc = 0;
    uint64_t SetProc = 0;
    uint64_t StoredProc = 1;
    int32_t Index = INT32_MIN;    // 0x80000000: no index
    int32_t Default = INT32_MIN;  // 0x80000000: no default
    int16_t NameIndex = 0;
    String Name;
    const TPropInfo* Info = nullptr;  // the platform's entry, when made from a property table
};

struct TParamDescriptor {
    TParamFlags Flags;
    String ParamName;
    String TypeName;
};

// What the description classes read of a type. Only the fields of the
// type's kind are meaningful. Descriptors live as long as the process.
struct TTypeDescriptor {
    TTypeKind Kind = tkUnknown;
    String Name;  // a leading "." marks an anonymous type
    // integer, char, wide char, enumeration, set
    TOrdType OrdType = otSLong;
    int32_t MinValue = 0;
    int32_t MaxValue = 0;
    // enumeration: itself for a declared one, the full enumeration for a sub-range
    const TTypeDescriptor* BaseType = nullptr;
    std::vector<String> NameList;
    String UnitName;  // enumeration, class, interface, dynamic array
    // set
    const TTypeDescriptor* CompType = nullptr;
    // float, short string
    TFloatType FloatType = ftDouble;
    uint8_t MaxLength = 0;
    // class (ParentInfo also serves interfaces)
    const TClassInfo* ClassRef = nullptr;
    const TTypeDescriptor* ParentInfo = nullptr;
    int PropCount = 0;
    std::vector<TPropDescriptor> Props;
    std::vector<TGUID> ImplementedInterfaces;
    // method type
    TMethodKind MethodKind = mkProcedure;
    std::vector<TParamDescriptor> Params;
    String ResultType;
    // interface
    TIntfFlags IntfFlags;
    TGUID Guid;
    int MethodCount = 0;
    // 64-bit integer
    int64_t MinInt64Value = 0;
    int64_t MaxInt64Value = 0;
    // dynamic array
    int32_t ElSize = 0;
    const TTypeDescriptor* ElType = nullptr;   // element type that needs clean-up
    int32_t VarType = 0;
    const TTypeDescriptor* ElType2 = nullptr;  // element type without clean-up
};

// ---- descriptors of our types -------------------------------------------------

// Made once per table and kept for the process.
const TTypeDescriptor* ClassTypeDescriptor(const TClassInfo* Info);
const TTypeDescriptor* EnumTypeDescriptor(const TEnumInfo& Info);
const TTypeDescriptor* SetTypeDescriptor(const TEnumInfo& ElementInfo);
// The declaring unit that descriptors made from now on carry for a type name
// (the platform's tables do not say).
void RegisterTypeUnit(const String& TypeName, const String& UnitName);

// The platform enumerations whose names the texts show.
const TTypeDescriptor* TypeKindDescriptor();
const TTypeDescriptor* OrdTypeDescriptor();
const TTypeDescriptor* FloatTypeDescriptor();
const TTypeDescriptor* MethodKindDescriptor();
const TTypeDescriptor* ParamFlagsDescriptor();  // a set
const TTypeDescriptor* IntfFlagsDescriptor();   // a set

// ---- the writer of texts ---------------------------------------------------------

class TypeWriter {
public:
    virtual ~TypeWriter() = default;
    virtual void Write(const String& Text) = 0;
    virtual void WriteLine(const String& Text) = 0;
    virtual void Indent() = 0;
    virtual void Outdent() = 0;
};

// Collects the text; each level of indentation is two blanks, lines end in "\n".
class TSxStringTypeWriter : public TypeWriter {
public:
    void Write(const String& Text) override;
    void WriteLine(const String& Text) override;
    void Indent() override { ++FLevel; }
    void Outdent() override { --FLevel; }
    const String& Text() const { return FText; }

private:
    String FText;
    int FLevel = 0;
    bool FLineStart = true;
};

// ---- interfaces ---------------------------------------------------------------------
// Each interface carries its identity; ask an object for another of its
// interfaces with SxSupports<I>(object).

class ISxBaseInfo {
public:
    static constexpr TGUID IID{0xE86CAD93, 0x0DBD, 0x5FE3, {0xB0, 0xEA, 0x1E, 0x98, 0x9D, 0x79, 0x5A, 0x73}};
    virtual ~ISxBaseInfo() = default;
    virtual void DescribeTo(TypeWriter& Writer) const = 0;
    virtual void DeclareTo(TypeWriter& Writer) const = 0;
};

class ISxTypeInfo : public virtual ISxBaseInfo {
public:
    static constexpr TGUID IID{0x20B2CCB8, 0x4D64, 0x557E, {0xA4, 0xC3, 0x49, 0x1C, 0xCD, 0xAB, 0xF4, 0xB1}};
    virtual String TypeName() const = 0;
    virtual const TTypeDescriptor* Descriptor() const = 0;
    virtual TTypeKind Kind() const = 0;
};

class ISxValueTypeInfo : public virtual ISxTypeInfo {
public:
    static constexpr TGUID IID{0x68BC45BD, 0x04AC, 0x5694, {0xB5, 0x15, 0x94, 0xB5, 0x0B, 0x75, 0x28, 0x04}};
    virtual String PropertyText(const TObject* Instance, const String& PropName) const = 0;
    virtual void SetPropertyText(TObject* Instance, const String& PropName, const String& Value) const = 0;
};

class ISxOrdinalTypeInfo : public virtual ISxValueTypeInfo {
public:
    static constexpr TGUID IID{0xEF6AD349, 0xE4FD, 0x508F, {0xBA, 0x16, 0x71, 0x0C, 0x6C, 0x37, 0x79, 0xC1}};
    virtual TOrdType StorageKind() const = 0;
};

class ISxOrdinalRangeTypeInfo : public virtual ISxOrdinalTypeInfo {
public:
    static constexpr TGUID IID{0x881B6FF7, 0x12D8, 0x540A, {0xBD, 0x08, 0x32, 0x04, 0x19, 0x65, 0x41, 0x7B}};
    virtual int64_t LowBound() const = 0;
    virtual int64_t HighBound() const = 0;
};

class ISxEnumerationTypeInfo : public virtual ISxOrdinalRangeTypeInfo {
public:
    static constexpr TGUID IID{0x8803A8BB, 0x5ADB, 0x5BCD, {0x8D, 0x05, 0x6F, 0xC0, 0x3F, 0x42, 0x8C, 0xB2}};
    virtual std::shared_ptr<ISxEnumerationTypeInfo> BaseEnumeration() const = 0;
    virtual String ValueName(int64_t Value) const = 0;
    virtual String DeclaringUnit() const = 0;
    virtual int64_t ValueIndex(const String& Name) const = 0;
};

class ISxSetTypeInfo : public virtual ISxOrdinalTypeInfo {
public:
    static constexpr TGUID IID{0xF97905B8, 0xB6A7, 0x59B1, {0xBF, 0x4F, 0x94, 0xBD, 0x1F, 0x7A, 0x04, 0xC9}};
    virtual std::shared_ptr<ISxOrdinalTypeInfo> MemberType() const = 0;
    // Value points at the set's storage (StorageSize bytes).
    virtual void ListSetMembers(const void* Value, bool WantRanges, TStrings* List) const = 0;
    virtual void ParseSetMembers(void* Value, const TStrings* List) const = 0;
    virtual int StorageSize() const = 0;
};

class ISxFloatTypeInfo : public virtual ISxValueTypeInfo {
public:
    static constexpr TGUID IID{0xD61203C1, 0xA013, 0x5906, {0xB8, 0x9D, 0xF2, 0x8C, 0xCF, 0xD6, 0x3E, 0x08}};
    virtual TFloatType FloatKind() const = 0;
};

class ISxStringTypeInfo : public virtual ISxValueTypeInfo {
public:
    static constexpr TGUID IID{0x26CB9B04, 0x866F, 0x526F, {0x89, 0x6A, 0x9A, 0xEB, 0x6C, 0x47, 0xAB, 0x86}};
    virtual int ShortStringLimit() const = 0;
};

class ISxTypeInfo;
class ISxPropInfo : public virtual ISxBaseInfo {
public:
    static constexpr TGUID IID{0x1ED6DDBA, 0xFE2C, 0x5660, {0xA1, 0x92, 0x03, 0x8F, 0xDC, 0x1C, 0x05, 0xE9}};
    virtual const TPropDescriptor* Record() const = 0;
    virtual std::shared_ptr<ISxTypeInfo> PropertyType() const = 0;
    virtual uint64_t ReaderSpec() const = 0;
    virtual uint64_t WriterSpec() const = 0;
    virtual uint64_t StoredSpec() const = 0;
    virtual int32_t IndexValue() const = 0;
    virtual int32_t DefaultValue() const = 0;
    virtual int16_t NameOrdinal() const = 0;
    virtual String PropertyName() const = 0;
    virtual TSxPropSpecKind ReaderKind() const = 0;
    virtual TSxPropSpecKind WriterKind() const = 0;
    virtual TSxPropSpecKind StoredKind() const = 0;
    virtual uint64_t ReaderTarget() const = 0;
    virtual uint64_t WriterTarget() const = 0;
    virtual uint64_t StoredTarget() const = 0;
    virtual bool IsStoredIn(const TObject* Instance) const = 0;
    virtual bool HasDefaultValue() const = 0;
    virtual bool HasIndexValue() const = 0;
    virtual String ValueText(const TObject* Instance) const = 0;
    virtual void SetValueText(TObject* Instance, const String& Value) const = 0;
};

class ISxClassTypeInfo : public virtual ISxValueTypeInfo {
public:
    static constexpr TGUID IID{0xD28C54EC, 0x525A, 0x5F00, {0x96, 0x4E, 0xBB, 0xDF, 0xBB, 0xF0, 0xAE, 0xB1}};
    virtual const TClassInfo* DescribedClass() const = 0;
    virtual std::shared_ptr<ISxClassTypeInfo> ParentClassType() const = 0;
    virtual int AllPropertyCount() const = 0;
    virtual int OwnPropertyCount() const = 0;
    // nullptr at or beyond AllPropertyCount.
    virtual std::shared_ptr<ISxPropInfo> PropertyAt(int Index) const = 0;
    virtual std::shared_ptr<ISxPropInfo> PropertyByName(const String& Name) const = 0;
    virtual String DeclaringUnit() const = 0;
};

class ISxEventParamInfo : public virtual ISxBaseInfo {
public:
    static constexpr TGUID IID{0xA726B12E, 0x9E07, 0x5D5C, {0x87, 0xF3, 0x66, 0x8C, 0x92, 0x79, 0x3F, 0x20}};
    virtual TParamFlags ParamFlags() const = 0;
    virtual String ParamName() const = 0;
    virtual int RecordSize() const = 0;
    virtual String ParamTypeName() const = 0;
    virtual const TParamDescriptor* Record() const = 0;
};

class ISxEventTypeInfo : public virtual ISxTypeInfo {
public:
    static constexpr TGUID IID{0xF1BAD1C5, 0x9B6E, 0x5322, {0xA6, 0x84, 0x83, 0xFC, 0xA1, 0x54, 0x72, 0x75}};
    virtual TMethodKind CallKind() const = 0;
    virtual int ParamTotal() const = 0;
    virtual std::shared_ptr<ISxEventParamInfo> ParamAt(int Index) const = 0;
    virtual String ReturnTypeName() const = 0;
};

class ISxInterfaceTypeInfo : public virtual ISxTypeInfo {
public:
    static constexpr TGUID IID{0xFCC6C987, 0xE5D3, 0x5FB7, {0x87, 0x10, 0xA0, 0xF6, 0x53, 0x2C, 0xB4, 0xEA}};
    virtual std::shared_ptr<ISxInterfaceTypeInfo> ParentInterface() const = 0;
    virtual TIntfFlags InterfaceFlags() const = 0;
    virtual TGUID InterfaceGuid() const = 0;
    virtual int MethodCount() const = 0;
    virtual String DeclaringUnit() const = 0;
};

class ISxInt64TypeInfo : public virtual ISxValueTypeInfo {
public:
    static constexpr TGUID IID{0xE635A407, 0x6754, 0x5806, {0x9D, 0x95, 0x85, 0x52, 0x94, 0xCB, 0x4A, 0x84}};
    virtual int64_t LowBound() const = 0;
    virtual int64_t HighBound() const = 0;
};

class ISxDynArrayTypeInfo : public virtual ISxTypeInfo {
public:
    static constexpr TGUID IID{0x5FA9107F, 0x2A74, 0x5808, {0x9D, 0xEB, 0x1F, 0x46, 0x3B, 0xD5, 0xC4, 0xE0}};
    virtual int ItemSize() const = 0;
    virtual std::shared_ptr<ISxTypeInfo> ItemType() const = 0;
    virtual bool ItemsNeedCleanup() const = 0;
    virtual int ItemVarType() const = 0;
    virtual String DeclaringUnit() const = 0;
};

template <class I, class From>
std::shared_ptr<I> SxSupports(const std::shared_ptr<From>& Object)
{
    return std::dynamic_pointer_cast<I>(Object);
}

// A new description object for the descriptor, chosen by its kind.
std::shared_ptr<ISxTypeInfo> WrapTypeDescriptor(const TTypeDescriptor* Descriptor);

// Set values are bit arrays: value v of L..H is bit v - L + L mod 8.
String SetValueToText(const TTypeDescriptor* SetType, const void* Value, bool WantBrackets, bool WantRanges = false);
// Appends the members to List; returns the appended items joined by ", ".
String SetValueToText(const TTypeDescriptor* SetType, const void* Value, TStrings* List, bool WantRanges = false);
void SetValueFromText(const TTypeDescriptor* SetType, void* Value, const String& Text);

// The name of a stored value of an enumeration, or "Value out of range (ordinal=n).".
String OrdinalValueName(const TTypeDescriptor* Descriptor, const void* Address);
