#include "support/SxRTTI.h"

#include <QStringList>
#include <map>
#include <mutex>

#include "platform/rtl/SysUtils.h"
#include "support/SxLogic.h"
#include "support/SxStrings.h"

namespace {

// ---- descriptors of our types -----------------------------------------------

struct TDescriptorStore {
    std::recursive_mutex Lock;
    std::map<const void*, std::unique_ptr<TTypeDescriptor>> Made;
    std::map<String, String> Units{{QStringLiteral("TObject"), QStringLiteral("System")},
                                   {QStringLiteral("Boolean"), QStringLiteral("System")},
                                   {QStringLiteral("TPersistent"), QStringLiteral("Classes")},
                                   {QStringLiteral("TComponent"), QStringLiteral("Classes")}};
};

TDescriptorStore& store()
{
    static TDescriptorStore s;
    return s;
}

String unitOf(const String& typeName)
{
    TDescriptorStore& s = store();
    const std::lock_guard<std::recursive_mutex> lock(s.Lock);
    const auto it = s.Units.find(typeName);
    return it == s.Units.end() ? String() : it->second;
}

TOrdType ordTypeForCount(int count)
{
    return count <= 256 ? otUByte : count <= 65536 ? otUWord : otULong;
}

std::unique_ptr<TTypeDescriptor> makeOrdinal(TTypeKind kind, const char* name, TOrdType ord, int32_t lo, int32_t hi)
{
    auto d = std::make_unique<TTypeDescriptor>();
    d->Kind = kind;
    d->Name = String::fromLatin1(name);
    d->OrdType = ord;
    d->MinValue = lo;
    d->MaxValue = hi;
    return d;
}

const TTypeDescriptor* builtin(TTypeKind kind)
{
    static const auto integer = makeOrdinal(tkInteger, "Integer", otSLong, INT32_MIN, INT32_MAX);
    static const auto wideChar = makeOrdinal(tkWChar, "WideChar", otUWord, 0, 65535);
    static const auto byte = makeOrdinal(tkInteger, "Byte", otUByte, 0, 255);
    static const auto int64 = [] {
        auto d = std::make_unique<TTypeDescriptor>();
        d->Kind = tkInt64;
        d->Name = QStringLiteral("Int64");
        d->MinInt64Value = INT64_MIN;
        d->MaxInt64Value = INT64_MAX;
        return d;
    }();
    static const auto dbl = [] {
        auto d = std::make_unique<TTypeDescriptor>();
        d->Kind = tkFloat;
        d->Name = QStringLiteral("Double");
        d->FloatType = ftDouble;
        return d;
    }();
    static const auto ustr = [] {
        auto d = std::make_unique<TTypeDescriptor>();
        d->Kind = tkUString;
        d->Name = QStringLiteral("UnicodeString");
        return d;
    }();
    static const auto bytes = [] {
        auto d = std::make_unique<TTypeDescriptor>();
        d->Kind = tkDynArray;
        d->Name = QStringLiteral("TBytes");
        d->ElSize = 1;
        d->ElType2 = byte.get();
        d->VarType = 0x11;
        d->UnitName = QStringLiteral("SysUtils");
        return d;
    }();
    switch (kind) {
    case tkInteger: return integer.get();
    case tkWChar: return wideChar.get();
    case tkInt64: return int64.get();
    case tkFloat: return dbl.get();
    case tkUString: return ustr.get();
    case tkBinary: return bytes.get();
    default: return nullptr;
    }
}

const TTypeDescriptor* propertyType(const TPropInfo& p)
{
    switch (p.Kind) {
    case tkEnumeration:
        return p.EnumInfo != nullptr ? EnumTypeDescriptor(*p.EnumInfo) : builtin(tkInteger);
    case tkSet:
        return p.EnumInfo != nullptr ? SetTypeDescriptor(*p.EnumInfo) : nullptr;
    case tkClass: {
        static const TClassInfo objectInfo{QStringLiteral("TObject"), nullptr, {}};
        const TClassInfo* info = p.ClassInfo();
        return ClassTypeDescriptor(info != nullptr ? info : &objectInfo);
    }
    default:
        return builtin(p.Kind);
    }
}

// The address of an accessor stands for a method; 0 and 1 are constants.
uint64_t specOf(const void* accessor, bool present)
{
    return present ? reinterpret_cast<uintptr_t>(accessor) : 0;
}

// ---- helpers ---------------------------------------------------------------------

bool isAnonymous(const TTypeDescriptor* d)
{
    return d->Name.startsWith(u'.');
}

String kindName(TTypeKind k)
{
    const TTypeDescriptor* d = TypeKindDescriptor();
    const int v = static_cast<int>(k);
    return v <= d->MaxValue ? d->NameList[static_cast<size_t>(v)] : String::number(v);
}

template <class E>
String nameIn(const TTypeDescriptor* d, E value)
{
    const int32_t v = static_cast<int32_t>(value);
    return OrdinalValueName(d, &v);
}

String num(int64_t v)
{
    return String::number(v);
}

struct TIndented {
    TypeWriter& W;
    explicit TIndented(TypeWriter& w) : W(w) { W.Indent(); }
    ~TIndented() { W.Outdent(); }
};

template <class S>
String flagSetText(const TTypeDescriptor* setType, S flags)
{
    const uint64_t bits = flags.Bits();
    return SetValueToText(setType, &bits, true, false);
}

String boolText(bool b)
{
    return b ? QStringLiteral("True") : QStringLiteral("False");
}

TSxPropSpecKind specKind(uint64_t spec)
{
    if (spec <= 1)
        return pskConstant;
    if (spec > 0xFFFFFF && (spec >> 24) == 0xFF)
        return pskField;
    if (spec > 0xFFFFFF && (spec >> 24) == 0xFE)
        return pskVirtualMethod;
    if (spec > 0xFFFFFFFFull && (spec >> 56) == 0xFF)
        return pskField;
    if (spec > 0xFFFFFFFFull && (spec >> 56) == 0xFE)
        return pskVirtualMethod;
    return pskStaticMethod;
}

uint64_t specTarget(uint64_t spec)
{
    switch (specKind(spec)) {
    case pskField: return spec & 0xFFFFFF;
    case pskVirtualMethod: return spec & 0xFFFF;
    default: return spec;
    }
}

String specKindText(TSxPropSpecKind k)
{
    switch (k) {
    case pskStaticMethod: return QStringLiteral("static method");
    case pskVirtualMethod: return QStringLiteral("virtual method");
    case pskField: return QStringLiteral("field");
    default: return QStringLiteral("constant");
    }
}

String pointerText(uint64_t v)
{
    return Format(QStringLiteral("%p"), {reinterpret_cast<const void*>(static_cast<uintptr_t>(v))});
}

}  // namespace

void RegisterTypeUnit(const String& TypeName, const String& UnitName)
{
    TDescriptorStore& s = store();
    const std::lock_guard<std::recursive_mutex> lock(s.Lock);
    s.Units[TypeName] = UnitName;
}

const TTypeDescriptor* EnumTypeDescriptor(const TEnumInfo& Info)
{
    TDescriptorStore& s = store();
    const std::lock_guard<std::recursive_mutex> lock(s.Lock);
    auto& slot = s.Made[&Info];
    if (!slot) {
        auto d = std::make_unique<TTypeDescriptor>();
        d->Kind = tkEnumeration;
        d->Name = String::fromLatin1(Info.TypeName);
        d->OrdType = ordTypeForCount(Info.Count());
        d->MinValue = Info.MinValue;
        d->MaxValue = Info.MaxValue();
        d->BaseType = d.get();
        for (const char* name : Info.Names)
            d->NameList.push_back(String::fromLatin1(name));
        d->UnitName = unitOf(d->Name);
        slot = std::move(d);
    }
    return slot.get();
}

const TTypeDescriptor* SetTypeDescriptor(const TEnumInfo& ElementInfo)
{
    const TTypeDescriptor* element = EnumTypeDescriptor(ElementInfo);
    TDescriptorStore& s = store();
    const std::lock_guard<std::recursive_mutex> lock(s.Lock);
    auto& slot = s.Made[reinterpret_cast<const char*>(&ElementInfo) + 1];
    if (!slot) {
        auto d = std::make_unique<TTypeDescriptor>();
        d->Kind = tkSet;
        d->Name = QStringLiteral(".set of ") + element->Name;
        d->OrdType = ordTypeForCount(element->MaxValue + 1);
        d->CompType = element;
        slot = std::move(d);
    }
    return slot.get();
}

const TTypeDescriptor* ClassTypeDescriptor(const TClassInfo* Info)
{
    if (Info == nullptr)
        return nullptr;
    TDescriptorStore& s = store();
    const std::lock_guard<std::recursive_mutex> lock(s.Lock);
    if (auto it = s.Made.find(Info); it != s.Made.end())
        return it->second.get();
    auto d = std::make_unique<TTypeDescriptor>();
    d->Kind = tkClass;
    d->Name = Info->ClassName;
    d->ClassRef = Info;
    d->ParentInfo = ClassTypeDescriptor(Info->Parent);
    d->PropCount = static_cast<int>(Info->PropList().size());
    d->UnitName = unitOf(d->Name);
    const int inherited = d->PropCount - static_cast<int>(Info->Props.size());
    for (size_t i = 0; i < Info->Props.size(); ++i) {
        const TPropInfo& p = Info->Props[i];
        TPropDescriptor r;
        r.PropType = propertyType(p);
        r.GetProc = specOf(&p.Getter, static_cast<bool>(p.Getter));
        r.SetProc = specOf(&p.Setter, static_cast<bool>(p.Setter));
        r.StoredProc = p.StoredFn ? specOf(&p.StoredFn, true) : 1;
        if (p.Default && std::holds_alternative<int64_t>(*p.Default)) {
            const int64_t v = std::get<int64_t>(*p.Default);
            if (v >= INT32_MIN + 1 && v <= INT32_MAX)  // 0x80000000 itself means "none"
                r.Default = static_cast<int32_t>(v);
        }
        r.NameIndex = static_cast<int16_t>(std::max(inherited, 0) + static_cast<int>(i));
        r.Name = p.Name;
        r.Info = &p;
        d->Props.push_back(std::move(r));
    }
    const TTypeDescriptor* result = d.get();
    s.Made[Info] = std::move(d);
    return result;
}

namespace {
const TTypeDescriptor* enumDescriptor(const char* name, std::initializer_list<const char*> names, const char* unit)
{
    auto d = std::make_unique<TTypeDescriptor>();
    d->Kind = tkEnumeration;
    d->Name = String::fromLatin1(name);
    d->OrdType = otUByte;
    d->MinValue = 0;
    d->MaxValue = static_cast<int32_t>(names.size()) - 1;
    d->BaseType = d.get();
    for (const char* n : names)
        d->NameList.push_back(String::fromLatin1(n));
    d->UnitName = String::fromLatin1(unit);
    return d.release();  // kept for the process, like every descriptor
}
const TTypeDescriptor* setDescriptor(const char* name, const TTypeDescriptor* element)
{
    auto d = std::make_unique<TTypeDescriptor>();
    d->Kind = tkSet;
    d->Name = String::fromLatin1(name);
    d->OrdType = otUByte;
    d->CompType = element;
    return d.release();
}
}  // namespace

const TTypeDescriptor* TypeKindDescriptor()
{
    static const TTypeDescriptor* const d = enumDescriptor(
        "TTypeKind",
        {"tkUnknown", "tkInteger", "tkChar", "tkEnumeration", "tkFloat", "tkString", "tkSet", "tkClass", "tkMethod",
         "tkWChar", "tkLString", "tkWString", "tkVariant", "tkArray", "tkRecord", "tkInterface", "tkInt64",
         "tkDynArray", "tkUString"},
        "System");
    return d;
}

const TTypeDescriptor* OrdTypeDescriptor()
{
    static const TTypeDescriptor* const d =
        enumDescriptor("TOrdType", {"otSByte", "otUByte", "otSWord", "otUWord", "otSLong", "otULong"}, "TypInfo");
    return d;
}

const TTypeDescriptor* FloatTypeDescriptor()
{
    static const TTypeDescriptor* const d =
        enumDescriptor("TFloatType", {"ftSingle", "ftDouble", "ftExtended", "ftComp", "ftCurr"}, "TypInfo");
    return d;
}

const TTypeDescriptor* MethodKindDescriptor()
{
    static const TTypeDescriptor* const d = enumDescriptor(
        "TMethodKind",
        {"mkProcedure", "mkFunction", "mkConstructor", "mkDestructor", "mkClassProcedure", "mkClassFunction",
         "mkClassConstructor", "mkOperatorOverload", "mkSafeProcedure", "mkSafeFunction"},
        "TypInfo");
    return d;
}

const TTypeDescriptor* ParamFlagsDescriptor()
{
    static const TTypeDescriptor* const d = setDescriptor(
        "TParamFlags",
        enumDescriptor("TParamFlag", {"pfVar", "pfConst", "pfArray", "pfAddress", "pfReference", "pfOut"}, "TypInfo"));
    return d;
}

const TTypeDescriptor* IntfFlagsDescriptor()
{
    static const TTypeDescriptor* const d = setDescriptor(
        "TIntfFlags", enumDescriptor("TIntfFlag", {"ifHasGuid", "ifDispInterface", "ifDispatch"}, "TypInfo"));
    return d;
}

// ---- writer --------------------------------------------------------------------------

void TSxStringTypeWriter::Write(const String& Text)
{
    if (Text.isEmpty())
        return;  // an empty line stays empty
    if (FLineStart && FLevel > 0)
        FText += String(2 * FLevel, u' ');
    FLineStart = false;
    FText += Text;
}

void TSxStringTypeWriter::WriteLine(const String& Text)
{
    Write(Text);
    FText += u'\n';
    FLineStart = true;
}

String OrdinalValueName(const TTypeDescriptor* Descriptor, const void* Address)
{
    int64_t v = 0;
    switch (Descriptor->OrdType) {
    case otSByte: v = *static_cast<const int8_t*>(Address); break;
    case otUByte: v = *static_cast<const uint8_t*>(Address); break;
    case otSWord: v = *static_cast<const int16_t*>(Address); break;
    case otUWord: v = *static_cast<const uint16_t*>(Address); break;
    case otSLong: v = *static_cast<const int32_t*>(Address); break;
    case otULong: v = *static_cast<const uint32_t*>(Address); break;
    }
    const TTypeDescriptor* base = Descriptor->BaseType != nullptr ? Descriptor->BaseType : Descriptor;
    if (v >= Descriptor->MinValue && v <= Descriptor->MaxValue && v - base->MinValue >= 0
        && v - base->MinValue < static_cast<int64_t>(base->NameList.size()))
        return base->NameList[static_cast<size_t>(v - base->MinValue)];
    return LoadResStringFmt(SxResources::RsRTTIValueOutOfRange, {QStringLiteral("ordinal=") + num(v)});
}

// ---- description classes ------------------------------------------------------------

namespace {

class TSxTypeInfo : public virtual ISxTypeInfo, public std::enable_shared_from_this<TSxTypeInfo> {
public:
    explicit TSxTypeInfo(const TTypeDescriptor* d) : D(d) {}
    String TypeName() const override { return D->Name; }
    const TTypeDescriptor* Descriptor() const override { return D; }
    TTypeKind Kind() const override { return D->Kind; }

    void DescribeTo(TypeWriter& W) const override
    {
        W.WriteLine(QStringLiteral("Name: ") + D->Name);
        W.WriteLine(QStringLiteral("Type kind: ") + kindName(D->Kind));
        W.WriteLine(Format(QStringLiteral("Type info: %p"), {static_cast<const void*>(D)}));
    }
    void DeclareTo(TypeWriter& W) const override
    {
        W.WriteLine(LoadResStringFmt(SxResources::RsDeclarationCannotBeMade, {D->Name}));
    }

protected:
    // "name = " unless the type is anonymous.
    void header(TypeWriter& W) const
    {
        if (!isAnonymous(D))
            W.Write(D->Name + QStringLiteral(" = "));
    }
    void trailer(TypeWriter& W, const String& text) const
    {
        if (!isAnonymous(D))
            W.WriteLine(text);
    }
    const TTypeDescriptor* D;
};

class TSxOrdinalTypeInfo : public TSxTypeInfo, public virtual ISxOrdinalTypeInfo {
public:
    using TSxTypeInfo::TSxTypeInfo;
    TOrdType StorageKind() const override { return D->OrdType; }
    String PropertyText(const TObject* Instance, const String& PropName) const override
    {
        return num(GetOrdProp(Instance, PropName));
    }
    void SetPropertyText(TObject* Instance, const String& PropName, const String& Value) const override
    {
        SetOrdProp(Instance, PropName, StrToInt64(Value));
    }
    void DescribeTo(TypeWriter& W) const override
    {
        TSxTypeInfo::DescribeTo(W);
        W.WriteLine(QStringLiteral("Ordinal type: ") + nameIn(OrdTypeDescriptor(), D->OrdType));
    }
    using TSxTypeInfo::DeclareTo;
};

class TSxOrdinalRangeTypeInfo : public TSxOrdinalTypeInfo, public virtual ISxOrdinalRangeTypeInfo {
public:
    using TSxOrdinalTypeInfo::TSxOrdinalTypeInfo;
    int64_t LowBound() const override
    {
        return D->OrdType == otULong ? int64_t{static_cast<uint32_t>(D->MinValue)} : int64_t{D->MinValue};
    }
    int64_t HighBound() const override
    {
        return D->OrdType == otULong ? int64_t{static_cast<uint32_t>(D->MaxValue)} : int64_t{D->MaxValue};
    }
    void DescribeTo(TypeWriter& W) const override
    {
        TSxOrdinalTypeInfo::DescribeTo(W);
        W.WriteLine(QStringLiteral("Min value: ") + num(LowBound()));
        W.WriteLine(QStringLiteral("Max value: ") + num(HighBound()));
    }
    void DeclareTo(TypeWriter& W) const override
    {
        header(W);
        const bool chars = D->Kind == tkChar || D->Kind == tkWChar;
        auto bound = [&](int64_t v) {
            if (!chars)
                return num(v);
            if (v >= 32 && v <= 126)
                return QStringLiteral("'") + QChar(static_cast<char16_t>(v)) + QStringLiteral("'");
            return QStringLiteral("#") + num(v);
        };
        W.Write(bound(LowBound()) + QStringLiteral("..") + bound(HighBound()));
        trailer(W, QStringLiteral("; // ") + nameIn(OrdTypeDescriptor(), D->OrdType));
    }
};

class TSxEnumerationTypeInfo : public TSxOrdinalRangeTypeInfo, public virtual ISxEnumerationTypeInfo {
public:
    using TSxOrdinalRangeTypeInfo::TSxOrdinalRangeTypeInfo;
    const TTypeDescriptor* base() const { return D->BaseType != nullptr ? D->BaseType : D; }
    bool isSubRange() const { return base() != D; }

    std::shared_ptr<ISxEnumerationTypeInfo> BaseEnumeration() const override
    {
        if (!isSubRange())
            return std::dynamic_pointer_cast<ISxEnumerationTypeInfo>(
                std::const_pointer_cast<TSxTypeInfo>(shared_from_this()));
        return std::make_shared<TSxEnumerationTypeInfo>(base());
    }
    String ValueName(int64_t Value) const override
    {
        const int64_t i = Value - base()->MinValue;
        if (i < 0 || i >= static_cast<int64_t>(base()->NameList.size()))
            return String();
        return base()->NameList[static_cast<size_t>(i)];
    }
    String DeclaringUnit() const override { return D->UnitName; }
    int64_t ValueIndex(const String& Name) const override
    {
        for (int64_t v = HighBound(); v >= LowBound(); --v)
            if (String::compare(Name, ValueName(v), Qt::CaseInsensitive) == 0)
                return v;
        return -1;
    }
    String PropertyText(const TObject* Instance, const String& PropName) const override
    {
        return GetEnumProp(Instance, PropName);
    }
    void SetPropertyText(TObject* Instance, const String& PropName, const String& Value) const override
    {
        SetEnumProp(Instance, PropName, Value);
    }
    QStringList names() const
    {
        QStringList out;
        for (int64_t v = LowBound(); v <= HighBound(); ++v)
            out << ValueName(v);
        return out;
    }
    void DescribeTo(TypeWriter& W) const override
    {
        TSxOrdinalRangeTypeInfo::DescribeTo(W);
        W.WriteLine(QStringLiteral("Unit name: ") + DeclaringUnit());
        W.WriteLine(QStringLiteral("Names: (") + names().join(QStringLiteral(", ")) + u')');
    }
    void DeclareTo(TypeWriter& W) const override
    {
        header(W);
        if (isSubRange())
            W.Write(ValueName(LowBound()) + QStringLiteral(" .. ") + ValueName(HighBound()));
        else
            W.Write(u'(' + names().join(QStringLiteral(", ")) + u')');
        trailer(W, QStringLiteral("; // ") + nameIn(OrdTypeDescriptor(), D->OrdType));
    }
};

class TSxSetTypeInfo : public TSxOrdinalTypeInfo, public virtual ISxSetTypeInfo {
public:
    using TSxOrdinalTypeInfo::TSxOrdinalTypeInfo;
    std::shared_ptr<ISxOrdinalRangeTypeInfo> range() const
    {
        return std::dynamic_pointer_cast<ISxOrdinalRangeTypeInfo>(WrapTypeDescriptor(D->CompType));
    }
    std::shared_ptr<ISxOrdinalTypeInfo> MemberType() const override
    {
        return std::dynamic_pointer_cast<ISxOrdinalTypeInfo>(WrapTypeDescriptor(D->CompType));
    }
    int StorageSize() const override
    {
        const auto e = range();
        const int64_t lo = e->LowBound();
        return static_cast<int>((e->HighBound() - lo + 1 + (lo % 8 + 8) % 8 + 7) / 8);
    }
    void ListSetMembers(const void* Value, bool WantRanges, TStrings* List) const override
    {
        const auto e = range();
        const auto en = std::dynamic_pointer_cast<ISxEnumerationTypeInfo>(e);
        const int64_t lo = e->LowBound();
        const int64_t first = (lo % 8 + 8) % 8;
        const int64_t last = e->HighBound() - lo + first;
        auto text = [&](int64_t v) { return en && e->Kind() == tkEnumeration ? en->ValueName(v) : num(v); };
        auto close = [&](int64_t s, int64_t end) {
            const int64_t a = lo + s - first;
            const int64_t b = lo + end - first;
            if (WantRanges && a != b)
                List->Add(text(a) + QStringLiteral(" .. ") + text(b));
            else
                for (int64_t v = a; v <= b; ++v)
                    List->Add(text(v));
        };
        List->BeginUpdate();
        const TIndentlessEnd end{List};
        int64_t runStart = -1;
        for (int64_t bit = first; bit <= last; ++bit) {
            const bool set = TestBufferBit(Value, static_cast<uint32_t>(bit));
            if (set && runStart < 0)
                runStart = bit;
            else if (!set && runStart >= 0) {
                close(runStart, bit - 1);
                runStart = -1;
            }
        }
        if (runStart >= 0)
            close(runStart, last);
    }
    void ParseSetMembers(void* Value, const TStrings* List) const override
    {
        const auto e = range();
        const auto en = std::dynamic_pointer_cast<ISxEnumerationTypeInfo>(e);
        const bool isEnum = en && e->Kind() == tkEnumeration;
        const int64_t lo = e->LowBound();
        const int64_t hi = e->HighBound();
        const int64_t first = (lo % 8 + 8) % 8;
        ZeroBlock(Value, StorageSize());
        auto valueOf = [&](const String& text) -> int64_t {
            if (!isEnum)
                return StrToInt64(text);
            const int64_t v = en->ValueIndex(text);
            if (v < 0)
                throw ESxRTTIError(LoadResString(SxResources::RsRTTIUnknownIdentifier), {text});
            return v;
        };
        for (int i = 0; i < List->Count(); ++i) {
            const String item = Trim(List->Strings(i));
            if (item.isEmpty())
                continue;
            String loText = item;
            String hiText = item;
            if (const qsizetype dots = item.indexOf(QStringLiteral("..")); dots >= 0) {
                loText = Trim(item.left(dots));
                hiText = Trim(item.mid(dots + 2));
            }
            const int64_t a = valueOf(loText);
            const int64_t b = valueOf(hiText);
            // Members outside the element range have no bit in the storage.
            for (int64_t v = std::max(a, lo); v <= std::min(b, hi); ++v)
                SetBufferBit(Value, static_cast<uint32_t>(v - lo + first));
        }
    }
    String PropertyText(const TObject* Instance, const String& PropName) const override
    {
        return GetSetProp(Instance, PropName, false);
    }
    void SetPropertyText(TObject* Instance, const String& PropName, const String& Value) const override
    {
        SetSetProp(Instance, PropName, Value);
    }
    void DescribeTo(TypeWriter& W) const override
    {
        TSxOrdinalTypeInfo::DescribeTo(W);
        W.WriteLine(QStringLiteral("Based on: "));
        const TIndented indented(W);
        WrapTypeDescriptor(D->CompType)->DescribeTo(W);
    }
    void DeclareTo(TypeWriter& W) const override
    {
        if (!isAnonymous(D))
            W.Write(D->Name + QStringLiteral(" = set of "));
        const TTypeDescriptor* e = D->CompType;
        if (!isAnonymous(e))
            W.Write(e->Name);
        else if (e->Kind == tkEnumeration)
            WrapTypeDescriptor(e)->DeclareTo(W);
        else
            W.Write(QStringLiteral("???"));
        trailer(W, QStringLiteral("; // ") + nameIn(OrdTypeDescriptor(), D->OrdType));
    }

private:
    struct TIndentlessEnd {
        TStrings* L;
        ~TIndentlessEnd() { L->EndUpdate(); }
    };
};

class TSxFloatTypeInfo : public TSxTypeInfo, public virtual ISxFloatTypeInfo {
public:
    using TSxTypeInfo::TSxTypeInfo;
    TFloatType FloatKind() const override { return D->FloatType; }
    String PropertyText(const TObject* Instance, const String& PropName) const override
    {
        return FloatToStr(GetFloatProp(Instance, PropName));
    }
    void SetPropertyText(TObject* Instance, const String& PropName, const String& Value) const override
    {
        SetFloatProp(Instance, PropName, static_cast<double>(StrToFloat(Value)));
    }
    void DescribeTo(TypeWriter& W) const override
    {
        TSxTypeInfo::DescribeTo(W);
        W.WriteLine(QStringLiteral("Float type: ") + nameIn(FloatTypeDescriptor(), D->FloatType));
    }
    void DeclareTo(TypeWriter& W) const override
    {
        header(W);
        W.Write(QStringLiteral("type ") + nameIn(FloatTypeDescriptor(), D->FloatType).mid(2));
        trailer(W, QStringLiteral(";"));
    }
};

class TSxStringTypeInfo : public TSxTypeInfo, public virtual ISxStringTypeInfo {
public:
    using TSxTypeInfo::TSxTypeInfo;
    int ShortStringLimit() const override { return D->Kind == tkString ? D->MaxLength : 0; }
    String PropertyText(const TObject* Instance, const String& PropName) const override
    {
        return GetStrProp(Instance, PropName);
    }
    void SetPropertyText(TObject* Instance, const String& PropName, const String& Value) const override
    {
        SetStrProp(Instance, PropName, Value);
    }
    void DescribeTo(TypeWriter& W) const override
    {
        TSxTypeInfo::DescribeTo(W);
        if (D->Kind == tkString)
            W.WriteLine(QStringLiteral("Max length: ") + num(D->MaxLength));
    }
    void DeclareTo(TypeWriter& W) const override
    {
        header(W);
        switch (D->Kind) {
        case tkLString: W.Write(QStringLiteral("AnsiString")); break;
        case tkWString: W.Write(QStringLiteral("WideString")); break;
        case tkString: W.Write(QStringLiteral("string[") + num(D->MaxLength) + u']'); break;
        default: W.Write(QStringLiteral("UnicodeString")); break;
        }
        trailer(W, QStringLiteral(";"));
    }
};

class TSxPropInfo : public virtual ISxPropInfo {
public:
    explicit TSxPropInfo(const TPropDescriptor* r) : R(r) {}
    const TPropDescriptor* Record() const override { return R; }
    std::shared_ptr<ISxTypeInfo> PropertyType() const override { return WrapTypeDescriptor(R->PropType); }
    uint64_t ReaderSpec() const override { return R->GetProc; }
    uint64_t WriterSpec() const override { return R->SetProc; }
    uint64_t StoredSpec() const override { return R->StoredProc; }
    int32_t IndexValue() const override { return R->Index; }
    int32_t DefaultValue() const override { return R->Default; }
    int16_t NameOrdinal() const override { return R->NameIndex; }
    String PropertyName() const override { return R->Name; }
    TSxPropSpecKind ReaderKind() const override { return specKind(R->GetProc); }
    TSxPropSpecKind WriterKind() const override { return specKind(R->SetProc); }
    TSxPropSpecKind StoredKind() const override { return specKind(R->StoredProc); }
    uint64_t ReaderTarget() const override { return specTarget(R->GetProc); }
    uint64_t WriterTarget() const override { return specTarget(R->SetProc); }
    uint64_t StoredTarget() const override { return specTarget(R->StoredProc); }
    bool IsStoredIn(const TObject* Instance) const override
    {
        if (R->Info != nullptr && R->Info->StoredFn)
            return R->Info->StoredFn(Instance);
        return specKind(R->StoredProc) != pskConstant || R->StoredProc != 0;
    }
    bool HasDefaultValue() const override { return R->Default != INT32_MIN; }
    bool HasIndexValue() const override { return R->Index != INT32_MIN; }
    String ValueText(const TObject* Instance) const override { return valueType()->PropertyText(Instance, R->Name); }
    void SetValueText(TObject* Instance, const String& Value) const override
    {
        valueType()->SetPropertyText(Instance, R->Name, Value);
    }
    void DescribeTo(TypeWriter& W) const override
    {
        W.WriteLine(R->Name + QStringLiteral(": ") + (R->PropType != nullptr ? R->PropType->Name : String()));
    }
    void DeclareTo(TypeWriter& W) const override { DescribeTo(W); }

private:
    std::shared_ptr<ISxValueTypeInfo> valueType() const
    {
        auto v = std::dynamic_pointer_cast<ISxValueTypeInfo>(PropertyType());
        if (!v)
            throw ESxRTTIError(LoadResString(SxResources::RsRTTINoStringValue),
                               {R->Name, R->PropType != nullptr ? R->PropType->Name : String()});
        return v;
    }
    const TPropDescriptor* R;
};

class TSxClassTypeInfo : public TSxTypeInfo, public virtual ISxClassTypeInfo {
public:
    using TSxTypeInfo::TSxTypeInfo;
    const TClassInfo* DescribedClass() const override { return D->ClassRef; }
    std::shared_ptr<ISxClassTypeInfo> ParentClassType() const override
    {
        if (D->ParentInfo == nullptr)
            return nullptr;
        return std::dynamic_pointer_cast<ISxClassTypeInfo>(WrapTypeDescriptor(D->ParentInfo));
    }
    int AllPropertyCount() const override { return D->PropCount; }
    int OwnPropertyCount() const override { return static_cast<int>(D->Props.size()); }
    std::shared_ptr<ISxPropInfo> PropertyAt(int Index) const override
    {
        if (Index < 0 || Index >= AllPropertyCount())
            return nullptr;
        if (Index >= OwnPropertyCount()) {
            const auto parent = ParentClassType();
            return parent ? parent->PropertyAt(Index - OwnPropertyCount()) : nullptr;
        }
        return std::make_shared<TSxPropInfo>(&D->Props[static_cast<size_t>(Index)]);
    }
    std::shared_ptr<ISxPropInfo> PropertyByName(const String& Name) const override
    {
        for (const TPropDescriptor& p : D->Props)
            if (SameText(p.Name, Name))
                return std::make_shared<TSxPropInfo>(&p);
        const auto parent = ParentClassType();
        return parent ? parent->PropertyByName(Name) : nullptr;
    }
    String DeclaringUnit() const override { return D->UnitName; }

    // A dotted path names a property of an object property ("Font.Size");
    // a class-typed property itself has no text.
    String PropertyText(const TObject* Instance, const String& PropName) const override
    {
        if (!PropName.contains(u'.'))
            throw ESxRTTIError(LoadResString(SxResources::RsRTTINoStringValue), {PropName, D->Name});
        return GetPropValue(Instance, PropName);
    }
    void SetPropertyText(TObject* Instance, const String& PropName, const String& Value) const override
    {
        if (!PropName.contains(u'.'))
            throw ESxRTTIError(LoadResString(SxResources::RsRTTINoStringValue), {PropName, D->Name});
        SetPropValue(Instance, PropName, Value);
    }

    void DescribeTo(TypeWriter& W) const override
    {
        TSxTypeInfo::DescribeTo(W);
        W.WriteLine(QStringLiteral("Class name: ") + D->Name);
        W.WriteLine(QStringLiteral("Parent: ") + parentName());
        W.WriteLine(QStringLiteral("Unit name: ") + D->UnitName);
        W.WriteLine(QStringLiteral("Property count: ") + num(OwnPropertyCount()) + QStringLiteral(" (")
                    + num(AllPropertyCount()) + u')');
        const TIndented indented(W);
        for (const TPropDescriptor& p : D->Props) {
            W.WriteLine(p.Name + QStringLiteral(": ") + (p.PropType != nullptr ? p.PropType->Name : String()));
            const TIndented more(W);
            const TSxPropInfo info(&p);
            if (info.HasIndexValue())
                W.WriteLine(Format(QStringLiteral("[%s %d]"), {QStringLiteral("index"), p.Index}));
            if (info.HasDefaultValue())
                W.WriteLine(Format(QStringLiteral("[%s %d]"), {QStringLiteral("default"), p.Default}));
            if (p.GetProc != 0)
                W.WriteLine(Format(QStringLiteral("[%s %s $%s]"), {QStringLiteral("read"), specKindText(info.ReaderKind()),
                                                                   pointerText(info.ReaderTarget())}));
            if (p.SetProc != 0)
                W.WriteLine(Format(QStringLiteral("[%s %s $%s]"), {QStringLiteral("write"), specKindText(info.WriterKind()),
                                                                   pointerText(info.WriterTarget())}));
            if (info.StoredKind() == pskConstant)
                W.WriteLine(Format(QStringLiteral("[%s=%s]"), {QStringLiteral("stored"), boolText(p.StoredProc != 0)}));
            else
                W.WriteLine(Format(QStringLiteral("[%s=%s $%s]"), {QStringLiteral("stored"), specKindText(info.StoredKind()),
                                                                   pointerText(info.StoredTarget())}));
        }
    }
    void DeclareTo(TypeWriter& W) const override
    {
        const String parent = parentName();
        if (parent.isEmpty() || SameText(parent, QStringLiteral("TObject"))) {
            W.WriteLine(D->Name + QStringLiteral(" = class // unit ") + D->UnitName);
        } else {
            String line = D->Name + QStringLiteral(" = class(") + parent;
            for (const TGUID& g : D->ImplementedInterfaces)
                line += QStringLiteral(", ['") + GuidToBraceText(g) + QStringLiteral("']");
            W.WriteLine(line + QStringLiteral(") // unit ") + D->UnitName);
        }
        if (!D->Props.empty()) {
            W.WriteLine(QStringLiteral("published"));
            const TIndented indented(W);
            for (const TPropDescriptor& p : D->Props) {
                const TSxPropInfo info(&p);
                String line = QStringLiteral("property ") + p.Name + QStringLiteral(": ")
                    + (p.PropType != nullptr ? p.PropType->Name : String());
                if (info.HasIndexValue())
                    line += Format(QStringLiteral(" index %d"), {p.Index});
                if (p.GetProc != 0)
                    line += QStringLiteral(" read [") + specKindText(info.ReaderKind()) + QStringLiteral(" $")
                        + pointerText(info.ReaderTarget()) + u']';
                if (p.SetProc != 0)
                    line += QStringLiteral(" write [") + specKindText(info.WriterKind()) + QStringLiteral(" $")
                        + pointerText(info.WriterTarget()) + u']';
                if (info.StoredKind() == pskConstant)
                    line += QStringLiteral(" stored = ") + boolText(p.StoredProc != 0);
                else
                    line += QStringLiteral(" stored = [") + specKindText(info.StoredKind()) + QStringLiteral(" $")
                        + pointerText(info.StoredTarget()) + u']';
                if (info.HasDefaultValue())
                    line += QStringLiteral(" default ") + num(p.Default);
                W.WriteLine(line + u';');
            }
        }
        W.WriteLine(QStringLiteral("end;"));
    }

private:
    String parentName() const { return D->ParentInfo != nullptr ? D->ParentInfo->Name : String(); }
};

class TSxEventParamInfo : public virtual ISxEventParamInfo {
public:
    explicit TSxEventParamInfo(const TParamDescriptor* r) : R(r) {}
    TParamFlags ParamFlags() const override { return R->Flags; }
    String ParamName() const override { return R->ParamName; }
    int RecordSize() const override
    {
        return static_cast<int>(R->ParamName.toUtf8().size() + R->TypeName.toUtf8().size() + 3);
    }
    String ParamTypeName() const override { return R->TypeName; }
    const TParamDescriptor* Record() const override { return R; }
    void DescribeTo(TypeWriter& W) const override
    {
        W.WriteLine(QStringLiteral("Name: ") + R->ParamName);
        W.WriteLine(QStringLiteral("Type: ") + R->TypeName);
        W.WriteLine(QStringLiteral("Flags: ") + flagSetText(ParamFlagsDescriptor(), R->Flags));
    }
    void DeclareTo(TypeWriter& W) const override
    {
        String text;
        if (R->Flags.Contains(pfVar))
            text += QStringLiteral("var ");
        else if (R->Flags.Contains(pfConst))
            text += QStringLiteral("const ");
        else if (R->Flags.Contains(pfOut))
            text += QStringLiteral("out ");
        text += R->ParamName;
        if (!R->TypeName.isEmpty()) {
            text += QStringLiteral(": ");
            if (R->Flags.Contains(pfArray))
                text += QStringLiteral("array of ")
                    + (SameText(R->TypeName, QStringLiteral("TVarRec")) ? QStringLiteral("const") : R->TypeName);
            else
                text += R->TypeName;
        }
        W.Write(text);
    }

private:
    const TParamDescriptor* R;
};

class TSxEventTypeInfo : public TSxTypeInfo, public virtual ISxEventTypeInfo {
public:
    using TSxTypeInfo::TSxTypeInfo;
    TMethodKind CallKind() const override { return D->MethodKind; }
    int ParamTotal() const override { return static_cast<int>(D->Params.size()); }
    std::shared_ptr<ISxEventParamInfo> ParamAt(int Index) const override
    {
        if (Index < 0 || Index >= ParamTotal())
            return nullptr;
        return std::make_shared<TSxEventParamInfo>(&D->Params[static_cast<size_t>(Index)]);
    }
    String ReturnTypeName() const override { return D->MethodKind == mkFunction ? D->ResultType : String(); }
    void DescribeTo(TypeWriter& W) const override
    {
        TSxTypeInfo::DescribeTo(W);
        W.WriteLine(QStringLiteral("Method kind: ") + nameIn(MethodKindDescriptor(), D->MethodKind));
        W.WriteLine(QStringLiteral("Parameter count: ") + num(ParamTotal()));
        {
            const TIndented indented(W);
            for (int i = 0; i < ParamTotal(); ++i) {
                if (i > 0)
                    W.WriteLine(String());
                ParamAt(i)->DescribeTo(W);
            }
        }
        if (D->MethodKind == mkFunction)
            W.WriteLine(QStringLiteral("Return type: ") + D->ResultType);
    }
    void DeclareTo(TypeWriter& W) const override
    {
        header(W);
        W.Write(D->MethodKind == mkFunction ? QStringLiteral("function") : QStringLiteral("procedure"));
        if (ParamTotal() > 0) {
            W.Write(QStringLiteral("("));
            for (int i = 0; i < ParamTotal(); ++i) {
                if (i > 0)
                    W.Write(QStringLiteral("; "));
                ParamAt(i)->DeclareTo(W);
            }
            W.Write(QStringLiteral(")"));
        }
        if (D->MethodKind == mkFunction)
            W.Write(QStringLiteral(": ") + D->ResultType);
        trailer(W, QStringLiteral(" of object;"));
    }
};

class TSxInterfaceTypeInfo : public TSxTypeInfo, public virtual ISxInterfaceTypeInfo {
public:
    using TSxTypeInfo::TSxTypeInfo;
    std::shared_ptr<ISxInterfaceTypeInfo> ParentInterface() const override
    {
        if (D->ParentInfo == nullptr)
            return nullptr;
        return std::dynamic_pointer_cast<ISxInterfaceTypeInfo>(WrapTypeDescriptor(D->ParentInfo));
    }
    TIntfFlags InterfaceFlags() const override { return D->IntfFlags; }
    TGUID InterfaceGuid() const override { return D->IntfFlags.Contains(ifHasGuid) ? D->Guid : TGUID{}; }
    int MethodCount() const override { return D->MethodCount; }
    String DeclaringUnit() const override { return D->UnitName; }
    void DescribeTo(TypeWriter& W) const override
    {
        TSxTypeInfo::DescribeTo(W);
        if (D->IntfFlags.Contains(ifHasGuid))
            W.WriteLine(QStringLiteral("GUID: ") + GuidToBraceText(D->Guid));
        W.WriteLine(QStringLiteral("Flags: ") + flagSetText(IntfFlagsDescriptor(), D->IntfFlags));
        W.WriteLine(QStringLiteral("Unit name: ") + D->UnitName);
        if (D->ParentInfo != nullptr)
            W.WriteLine(QStringLiteral("Parent: ") + D->ParentInfo->Name);
        W.WriteLine(QStringLiteral("Property count: ") + num(D->MethodCount));
    }
    void DeclareTo(TypeWriter& W) const override
    {
        const bool disp = D->IntfFlags.Contains(ifDispInterface);
        String line = D->Name + QStringLiteral(" = ") + (disp ? QStringLiteral("dispinterface") : QStringLiteral("interface"));
        if (!disp && D->ParentInfo != nullptr && !SameText(D->ParentInfo->Name, QStringLiteral("IUnknown")))
            line += u'(' + D->ParentInfo->Name + u')';
        W.WriteLine(line + QStringLiteral(" // unit ") + D->UnitName);
        if (D->IntfFlags.Contains(ifHasGuid)) {
            const TIndented indented(W);
            W.WriteLine(QStringLiteral("['") + GuidToBraceText(D->Guid) + QStringLiteral("']"));
        }
        W.WriteLine(QStringLiteral("end;"));
    }
};

class TSxInt64TypeInfo : public TSxTypeInfo, public virtual ISxInt64TypeInfo {
public:
    using TSxTypeInfo::TSxTypeInfo;
    int64_t LowBound() const override { return D->MinInt64Value; }
    int64_t HighBound() const override { return D->MaxInt64Value; }
    String PropertyText(const TObject* Instance, const String& PropName) const override
    {
        return num(GetInt64Prop(Instance, PropName));
    }
    void SetPropertyText(TObject* Instance, const String& PropName, const String& Value) const override
    {
        SetInt64Prop(Instance, PropName, StrToInt64(Value));
    }
    void DescribeTo(TypeWriter& W) const override
    {
        TSxTypeInfo::DescribeTo(W);
        W.WriteLine(QStringLiteral("Min value: ") + num(LowBound()));
        W.WriteLine(QStringLiteral("Max value: ") + num(HighBound()));
    }
    void DeclareTo(TypeWriter& W) const override
    {
        header(W);
        W.Write(num(LowBound()) + QStringLiteral(" .. ") + num(HighBound()));
        trailer(W, QStringLiteral(";"));
    }
};

class TSxDynArrayTypeInfo : public TSxTypeInfo, public virtual ISxDynArrayTypeInfo {
public:
    using TSxTypeInfo::TSxTypeInfo;
    int ItemSize() const override { return D->ElSize; }
    const TTypeDescriptor* element() const { return D->ElType != nullptr ? D->ElType : D->ElType2; }
    std::shared_ptr<ISxTypeInfo> ItemType() const override
    {
        return element() != nullptr ? WrapTypeDescriptor(element()) : nullptr;
    }
    bool ItemsNeedCleanup() const override { return D->ElType != nullptr; }
    int ItemVarType() const override { return D->VarType; }
    String DeclaringUnit() const override { return D->UnitName; }
    void DescribeTo(TypeWriter& W) const override
    {
        TSxTypeInfo::DescribeTo(W);
        W.WriteLine(QStringLiteral("Element size: ") + num(D->ElSize));
        if (element() == nullptr) {
            W.WriteLine(QStringLiteral("Element type: ???"));
        } else if (isAnonymous(element())) {
            W.WriteLine(QStringLiteral("Element type: "));
            const TIndented indented(W);
            ItemType()->DescribeTo(W);
        } else {
            W.WriteLine(QStringLiteral("Element type: ") + element()->Name);
        }
        W.WriteLine(QStringLiteral("Elements need clean up: ") + boolText(ItemsNeedCleanup()));
        W.WriteLine(QStringLiteral("Variant type: ") + num(D->VarType));
        W.WriteLine(QStringLiteral("Unit name: ") + D->UnitName);
    }
    void DeclareTo(TypeWriter& W) const override
    {
        header(W);
        W.Write(QStringLiteral("array of "));
        if (element() == nullptr)
            W.Write(QStringLiteral("???"));
        else if (isAnonymous(element()))
            ItemType()->DeclareTo(W);
        else
            W.Write(element()->Name);
        trailer(W, QStringLiteral("; // Unit ") + D->UnitName);
    }
};

}  // namespace

std::shared_ptr<ISxTypeInfo> WrapTypeDescriptor(const TTypeDescriptor* Descriptor)
{
    if (Descriptor == nullptr)
        return nullptr;
    switch (Descriptor->Kind) {
    case tkInteger: case tkChar: case tkWChar:
        return std::make_shared<TSxOrdinalRangeTypeInfo>(Descriptor);
    case tkEnumeration: return std::make_shared<TSxEnumerationTypeInfo>(Descriptor);
    case tkSet: return std::make_shared<TSxSetTypeInfo>(Descriptor);
    case tkFloat: return std::make_shared<TSxFloatTypeInfo>(Descriptor);
    case tkString: case tkLString: case tkWString: case tkUString:
        return std::make_shared<TSxStringTypeInfo>(Descriptor);
    case tkClass: return std::make_shared<TSxClassTypeInfo>(Descriptor);
    case tkMethod: return std::make_shared<TSxEventTypeInfo>(Descriptor);
    case tkInterface: return std::make_shared<TSxInterfaceTypeInfo>(Descriptor);
    case tkInt64: return std::make_shared<TSxInt64TypeInfo>(Descriptor);
    case tkDynArray: return std::make_shared<TSxDynArrayTypeInfo>(Descriptor);
    default: return std::make_shared<TSxTypeInfo>(Descriptor);
    }
}

String SetValueToText(const TTypeDescriptor* SetType, const void* Value, TStrings* List, bool WantRanges)
{
    const auto set = std::dynamic_pointer_cast<ISxSetTypeInfo>(WrapTypeDescriptor(SetType));
    const int before = List->Count();
    set->ListSetMembers(Value, WantRanges, List);
    QStringList items;
    for (int i = before; i < List->Count(); ++i)
        items << List->Strings(i);
    return items.join(QStringLiteral(", "));
}

String SetValueToText(const TTypeDescriptor* SetType, const void* Value, bool WantBrackets, bool WantRanges)
{
    TStringList list;
    const String text = SetValueToText(SetType, Value, &list, WantRanges);
    return WantBrackets ? u'[' + text + u']' : text;
}

void SetValueFromText(const TTypeDescriptor* SetType, void* Value, const String& Text)
{
    TStringList list;
    SplitToList(Text, QStringLiteral(","), &list, true);
    if (list.Count() > 0 && list.Strings(0).startsWith(u'[')) {
        list.Put(0, list.Strings(0).mid(1));
        const String last = list.Strings(list.Count() - 1);
        list.Put(list.Count() - 1, last.left(last.size() - 1));
    }
    const auto set = std::dynamic_pointer_cast<ISxSetTypeInfo>(WrapTypeDescriptor(SetType));
    set->ParseSetMembers(Value, &list);
}
