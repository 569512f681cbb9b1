#include "platform/rtl/TypInfo.h"

#include <algorithm>

#include <QLocale>
#include <QStringList>

#include "platform/rtl/Collection.h"

namespace {
VORLANE_RESOURCESTRING(SInvalidPropertyType, "Invalid property type: %s");
VORLANE_RESOURCESTRING(SWrongInstance, "Object is not a %s");

[[noreturn]] void unknownProperty(const String& name)
{
    throw EPropertyError(LoadResString(RtlConsts::SUnknownProperty), {name});
}

[[noreturn]] void readOnly()
{
    throw EPropertyError(LoadResString(RtlConsts::SReadOnlyProperty));
}

String typeName(const TPropInfo* p)
{
    switch (p->Kind) {
    case tkInteger: return QStringLiteral("Integer");
    case tkInt64: return QStringLiteral("Int64");
    case tkChar:
    case tkWChar: return QStringLiteral("Char");
    case tkFloat: return QStringLiteral("Double");
    case tkString:
    case tkLString:
    case tkWString:
    case tkUString: return QStringLiteral("String");
    case tkBinary: return QStringLiteral("Binary");
    case tkEnumeration:
    case tkSet: return p->EnumInfo != nullptr ? String::fromLatin1(p->EnumInfo->TypeName) : String();
    case tkClass: {
        const TClassInfo* ci = p->ClassInfo();
        return ci != nullptr ? ci->ClassName : QStringLiteral("TObject");
    }
    default: return QStringLiteral("Unknown");
    }
}

[[noreturn]] void wrongType(const TPropInfo* p)
{
    throw EPropertyError(LoadResString(SInvalidPropertyType), {typeName(p)});
}

bool isOrdinal(TTypeKind k)
{
    return k == tkInteger || k == tkChar || k == tkWChar || k == tkEnumeration || k == tkSet || k == tkInt64;
}

bool isString(TTypeKind k)
{
    return k == tkString || k == tkLString || k == tkWString || k == tkUString;
}

void requireKind(const TPropInfo* p, bool ok)
{
    if (!ok)
        wrongType(p);
}

TPropValue read(const TObject* instance, const TPropInfo* p)
{
    return p->Getter(instance);
}

void write(TObject* instance, const TPropInfo* p, const TPropValue& v)
{
    if (p->ReadOnly())
        readOnly();
    p->Setter(instance, v);
}

TPropRef require(const TObject* instance, const String& path)
{
    const TPropRef ref = FindPropRef(instance, path);
    if (!ref)
        unknownProperty(path);
    return ref;
}

// "Items[2]" -> ("Items", 2); a plain name gives index -1, a malformed one -2.
std::pair<String, int> splitIndex(const String& segment)
{
    const qsizetype open = segment.indexOf(u'[');
    if (open < 0)
        return {segment, -1};
    if (!segment.endsWith(u']'))
        return {segment, -2};
    bool ok = false;
    const int index = segment.mid(open + 1, segment.size() - open - 2).trimmed().toInt(&ok);
    if (!ok || index < 0)
        return {segment, -2};
    return {segment.left(open).trimmed(), index};
}

int hexDigit(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (u >= u'a' && u <= u'f')
        return u - u'a' + 10;
    if (u >= u'A' && u <= u'F')
        return u - u'A' + 10;
    return -1;
}

int64_t parseInteger(const String& text)
{
    String t = text.trimmed();
    bool negative = false;
    if (t.startsWith(u'-') || t.startsWith(u'+')) {
        negative = t[0] == u'-';
        t.remove(0, 1);
    }
    bool ok = false;
    qulonglong magnitude = 0;
    if (t.startsWith(u'$'))
        magnitude = t.mid(1).toULongLong(&ok, 16);
    else if (t.startsWith(QLatin1String("0x"), Qt::CaseInsensitive))
        magnitude = t.mid(2).toULongLong(&ok, 16);
    else if (!t.isEmpty() && t[0].isDigit())
        magnitude = t.toULongLong(&ok, 10);
    const qulonglong limit = negative ? qulonglong{1} << 63 : (qulonglong{1} << 63) - 1;
    if (!ok || magnitude > limit)
        TypInfoDetail::invalidValue();
    return negative ? static_cast<int64_t>(0 - magnitude) : static_cast<int64_t>(magnitude);
}

// The original's general float format ("1.5", "1E20", "1E-5"), but with as many
// digits as it takes to read back the same double, so storage loses nothing.
String floatText(double v)
{
    String s = QString::number(v, 'g', QLocale::FloatingPointShortest);
    const qsizetype e = s.indexOf(u'e');
    if (e < 0)
        return s;
    String exponent = s.mid(e + 1);
    const bool negative = exponent.startsWith(u'-');
    if (exponent.startsWith(u'-') || exponent.startsWith(u'+'))
        exponent.remove(0, 1);
    while (exponent.size() > 1 && exponent.startsWith(u'0'))
        exponent.remove(0, 1);
    return s.left(e) + u'E' + (negative ? QStringLiteral("-") : String()) + exponent;
}

double parseFloat(const String& text)
{
    bool ok = false;
    const double v = QLocale::c().toDouble(text.trimmed(), &ok);
    if (!ok)
        TypInfoDetail::invalidValue();
    return v;
}

QByteArray parseHex(const String& text)
{
    const String t = text.trimmed();
    if (t.size() % 2 != 0)
        TypInfoDetail::invalidValue();
    QByteArray bytes;
    bytes.reserve(t.size() / 2);
    for (qsizetype i = 0; i < t.size(); i += 2) {
        const int hi = hexDigit(t[i]);
        const int lo = hexDigit(t[i + 1]);
        if (hi < 0 || lo < 0)
            TypInfoDetail::invalidValue();
        bytes.append(static_cast<char>(hi * 16 + lo));
    }
    return bytes;
}

}  // namespace

namespace TypInfoDetail {
void invalidValue()
{
    throw EPropertyError(LoadResString(RtlConsts::SInvalidPropertyValue));
}

void wrongInstance(const char* ClassName)
{
    throw EPropertyError(LoadResString(SWrongInstance), {ClassName});
}
}  // namespace TypInfoDetail

// ---- TClassInfo ---------------------------------------------------------------

const TPropInfo* TClassInfo::FindProp(const String& Name) const
{
    for (const TClassInfo* ci = this; ci != nullptr; ci = ci->Parent)
        for (const TPropInfo& p : ci->Props)
            if (p.Name.compare(Name, Qt::CaseInsensitive) == 0)
                return &p;
    return nullptr;
}

TPropList TClassInfo::PropList(TTypeKinds Kinds) const
{
    std::vector<const TClassInfo*> chain;
    for (const TClassInfo* ci = this; ci != nullptr; ci = ci->Parent)
        chain.push_back(ci);
    TPropList all;
    for (auto it = chain.rbegin(); it != chain.rend(); ++it)
        for (const TPropInfo& p : (*it)->Props) {
            auto same = std::find_if(all.begin(), all.end(), [&](const TPropInfo* q) {
                return q->Name.compare(p.Name, Qt::CaseInsensitive) == 0;
            });
            if (same != all.end())
                *same = &p;
            else
                all.push_back(&p);
        }
    std::erase_if(all, [&](const TPropInfo* p) { return !Kinds.Contains(p->Kind); });
    return all;
}

bool TClassInfo::InheritsFrom(const TClassInfo* Ancestor) const
{
    for (const TClassInfo* ci = this; ci != nullptr; ci = ci->Parent)
        if (ci == Ancestor)
            return true;
    return false;
}

// ---- lookup ----------------------------------------------------------------------

TPropRef FindPropRef(const TObject* Instance, const String& Path)
{
    // Reading through a getter does not change the object; writes go through
    // the same reference, so the holder is handed out without const.
    TObject* holder = const_cast<TObject*>(Instance);
    const QStringList segments = Path.split(u'.');
    for (qsizetype i = 0; i < segments.size(); ++i) {
        if (holder == nullptr || holder->ClassInfo() == nullptr)
            return {};
        const auto [name, index] = splitIndex(segments[i].trimmed());
        if (index == -2)
            return {};
        const TPropInfo* p = holder->ClassInfo()->FindProp(name);
        if (p == nullptr)
            return {};
        const bool last = i == segments.size() - 1;
        if (last && index == -1)
            return {holder, p};
        if (p->Kind != tkClass || last)
            return {};
        TObject* next = std::get<TObject*>(p->Getter(holder));
        if (index >= 0) {
            const auto* coll = dynamic_cast<const TCollection*>(next);
            if (coll == nullptr || index >= coll->Count())
                return {};
            next = coll->Items(index);
        }
        holder = next;
    }
    return {};
}

const TPropInfo* GetPropInfo(const TObject* Instance, const String& PropName)
{
    return FindPropRef(Instance, PropName).Info;
}

const TPropInfo* GetPropInfo(const TClassInfo* Info, const String& PropName)
{
    return Info != nullptr ? Info->FindProp(PropName) : nullptr;
}

TPropList GetPropList(const TObject* Instance, TTypeKinds Kinds)
{
    return Instance != nullptr ? GetPropList(Instance->ClassInfo(), Kinds) : TPropList();
}

TPropList GetPropList(const TClassInfo* Info, TTypeKinds Kinds)
{
    return Info != nullptr ? Info->PropList(Kinds) : TPropList();
}

bool IsPublishedProp(const TObject* Instance, const String& PropName)
{
    return GetPropInfo(Instance, PropName) != nullptr;
}

TTypeKind PropType(const TObject* Instance, const String& PropName)
{
    return require(Instance, PropName).Info->Kind;
}

bool PropIsType(const TObject* Instance, const String& PropName, TTypeKind TypeKind)
{
    return PropType(Instance, PropName) == TypeKind;
}

// ---- enumerations and sets --------------------------------------------------------

String GetEnumName(const TEnumInfo& Info, int Value)
{
    if (Value < Info.MinValue || Value > Info.MaxValue())
        return String();
    return String::fromLatin1(Info.Names[static_cast<size_t>(Value - Info.MinValue)]);
}

int GetEnumValue(const TEnumInfo& Info, const String& Name)
{
    const String name = Name.trimmed();
    for (int i = 0; i < Info.Count(); ++i)
        if (name.compare(QLatin1String(Info.Names[static_cast<size_t>(i)]), Qt::CaseInsensitive) == 0)
            return Info.MinValue + i;
    return -1;
}

String SetToString(const TEnumInfo& ElementInfo, uint64_t Value, bool Brackets)
{
    QStringList names;
    for (int v = std::max(ElementInfo.MinValue, 0); v <= ElementInfo.MaxValue() && v < 64; ++v)
        if ((Value >> v) & 1)
            names.append(GetEnumName(ElementInfo, v));
    const String text = names.join(u',');
    return Brackets ? QStringLiteral("[") + text + QStringLiteral("]") : text;
}

String SetToString(const TPropInfo* PropInfo, uint64_t Value, bool Brackets)
{
    requireKind(PropInfo, PropInfo->Kind == tkSet && PropInfo->EnumInfo != nullptr);
    return SetToString(*PropInfo->EnumInfo, Value, Brackets);
}

uint64_t StringToSet(const TEnumInfo& ElementInfo, const String& Value)
{
    String text = Value.trimmed();
    if (text.startsWith(u'[')) {
        if (!text.endsWith(u']'))
            TypInfoDetail::invalidValue();
        text = text.mid(1, text.size() - 2);
    }
    uint64_t bits = 0;
    if (text.trimmed().isEmpty())
        return bits;
    for (const String& name : text.split(u',')) {
        const int v = GetEnumValue(ElementInfo, name);
        if (v < 0 || v >= 64)
            TypInfoDetail::invalidValue();
        bits |= uint64_t{1} << v;
    }
    return bits;
}

uint64_t StringToSet(const TPropInfo* PropInfo, const String& Value)
{
    requireKind(PropInfo, PropInfo->Kind == tkSet && PropInfo->EnumInfo != nullptr);
    return StringToSet(*PropInfo->EnumInfo, Value);
}

// ---- reading and writing ----------------------------------------------------------

int64_t GetOrdProp(const TObject* Instance, const TPropInfo* PropInfo)
{
    requireKind(PropInfo, isOrdinal(PropInfo->Kind));
    return std::get<int64_t>(read(Instance, PropInfo));
}

int64_t GetOrdProp(const TObject* Instance, const String& PropName)
{
    const TPropRef r = require(Instance, PropName);
    return GetOrdProp(r.Instance, r.Info);
}

void SetOrdProp(TObject* Instance, const TPropInfo* PropInfo, int64_t Value)
{
    requireKind(PropInfo, isOrdinal(PropInfo->Kind));
    write(Instance, PropInfo, Value);
}

void SetOrdProp(TObject* Instance, const String& PropName, int64_t Value)
{
    const TPropRef r = require(Instance, PropName);
    SetOrdProp(r.Instance, r.Info, Value);
}

int64_t GetInt64Prop(const TObject* Instance, const TPropInfo* PropInfo)
{
    return GetOrdProp(Instance, PropInfo);
}

int64_t GetInt64Prop(const TObject* Instance, const String& PropName)
{
    return GetOrdProp(Instance, PropName);
}

void SetInt64Prop(TObject* Instance, const TPropInfo* PropInfo, int64_t Value)
{
    SetOrdProp(Instance, PropInfo, Value);
}

void SetInt64Prop(TObject* Instance, const String& PropName, int64_t Value)
{
    SetOrdProp(Instance, PropName, Value);
}

double GetFloatProp(const TObject* Instance, const TPropInfo* PropInfo)
{
    requireKind(PropInfo, PropInfo->Kind == tkFloat);
    return std::get<double>(read(Instance, PropInfo));
}

double GetFloatProp(const TObject* Instance, const String& PropName)
{
    const TPropRef r = require(Instance, PropName);
    return GetFloatProp(r.Instance, r.Info);
}

void SetFloatProp(TObject* Instance, const TPropInfo* PropInfo, double Value)
{
    requireKind(PropInfo, PropInfo->Kind == tkFloat);
    write(Instance, PropInfo, Value);
}

void SetFloatProp(TObject* Instance, const String& PropName, double Value)
{
    const TPropRef r = require(Instance, PropName);
    SetFloatProp(r.Instance, r.Info, Value);
}

String GetStrProp(const TObject* Instance, const TPropInfo* PropInfo)
{
    requireKind(PropInfo, isString(PropInfo->Kind));
    return std::get<String>(read(Instance, PropInfo));
}

String GetStrProp(const TObject* Instance, const String& PropName)
{
    const TPropRef r = require(Instance, PropName);
    return GetStrProp(r.Instance, r.Info);
}

void SetStrProp(TObject* Instance, const TPropInfo* PropInfo, const String& Value)
{
    requireKind(PropInfo, isString(PropInfo->Kind));
    write(Instance, PropInfo, Value);
}

void SetStrProp(TObject* Instance, const String& PropName, const String& Value)
{
    const TPropRef r = require(Instance, PropName);
    SetStrProp(r.Instance, r.Info, Value);
}

String GetEnumProp(const TObject* Instance, const TPropInfo* PropInfo)
{
    requireKind(PropInfo, PropInfo->Kind == tkEnumeration && PropInfo->EnumInfo != nullptr);
    const int64_t v = std::get<int64_t>(read(Instance, PropInfo));
    return GetEnumName(*PropInfo->EnumInfo, static_cast<int>(v));
}

String GetEnumProp(const TObject* Instance, const String& PropName)
{
    const TPropRef r = require(Instance, PropName);
    return GetEnumProp(r.Instance, r.Info);
}

void SetEnumProp(TObject* Instance, const TPropInfo* PropInfo, const String& Value)
{
    requireKind(PropInfo, PropInfo->Kind == tkEnumeration && PropInfo->EnumInfo != nullptr);
    const int v = GetEnumValue(*PropInfo->EnumInfo, Value);
    if (v < PropInfo->EnumInfo->MinValue)
        TypInfoDetail::invalidValue();
    write(Instance, PropInfo, int64_t{v});
}

void SetEnumProp(TObject* Instance, const String& PropName, const String& Value)
{
    const TPropRef r = require(Instance, PropName);
    SetEnumProp(r.Instance, r.Info, Value);
}

String GetSetProp(const TObject* Instance, const TPropInfo* PropInfo, bool Brackets)
{
    requireKind(PropInfo, PropInfo->Kind == tkSet && PropInfo->EnumInfo != nullptr);
    return SetToString(PropInfo, static_cast<uint64_t>(std::get<int64_t>(read(Instance, PropInfo))), Brackets);
}

String GetSetProp(const TObject* Instance, const String& PropName, bool Brackets)
{
    const TPropRef r = require(Instance, PropName);
    return GetSetProp(r.Instance, r.Info, Brackets);
}

void SetSetProp(TObject* Instance, const TPropInfo* PropInfo, const String& Value)
{
    const uint64_t bits = StringToSet(PropInfo, Value);
    write(Instance, PropInfo, static_cast<int64_t>(bits));
}

void SetSetProp(TObject* Instance, const String& PropName, const String& Value)
{
    const TPropRef r = require(Instance, PropName);
    SetSetProp(r.Instance, r.Info, Value);
}

TObject* GetObjectProp(const TObject* Instance, const TPropInfo* PropInfo)
{
    requireKind(PropInfo, PropInfo->Kind == tkClass);
    return std::get<TObject*>(read(Instance, PropInfo));
}

TObject* GetObjectProp(const TObject* Instance, const String& PropName)
{
    const TPropRef r = require(Instance, PropName);
    return GetObjectProp(r.Instance, r.Info);
}

void SetObjectProp(TObject* Instance, const TPropInfo* PropInfo, TObject* Value)
{
    requireKind(PropInfo, PropInfo->Kind == tkClass);
    write(Instance, PropInfo, Value);
}

void SetObjectProp(TObject* Instance, const String& PropName, TObject* Value)
{
    const TPropRef r = require(Instance, PropName);
    SetObjectProp(r.Instance, r.Info, Value);
}

QByteArray GetBinaryProp(const TObject* Instance, const TPropInfo* PropInfo)
{
    requireKind(PropInfo, PropInfo->Kind == tkBinary);
    return std::get<QByteArray>(read(Instance, PropInfo));
}

QByteArray GetBinaryProp(const TObject* Instance, const String& PropName)
{
    const TPropRef r = require(Instance, PropName);
    return GetBinaryProp(r.Instance, r.Info);
}

void SetBinaryProp(TObject* Instance, const TPropInfo* PropInfo, const QByteArray& Value)
{
    requireKind(PropInfo, PropInfo->Kind == tkBinary);
    write(Instance, PropInfo, Value);
}

void SetBinaryProp(TObject* Instance, const String& PropName, const QByteArray& Value)
{
    const TPropRef r = require(Instance, PropName);
    SetBinaryProp(r.Instance, r.Info, Value);
}

String GetPropValue(const TObject* Instance, const TPropInfo* PropInfo)
{
    switch (PropInfo->Kind) {
    case tkInteger:
    case tkInt64: return String::number(GetOrdProp(Instance, PropInfo));
    case tkChar:
    case tkWChar: {
        const int64_t c = GetOrdProp(Instance, PropInfo);
        return c == 0 ? String() : String(QChar(static_cast<char16_t>(c)));
    }
    case tkEnumeration: return GetEnumProp(Instance, PropInfo);
    case tkSet: return GetSetProp(Instance, PropInfo, true);
    case tkFloat: return floatText(GetFloatProp(Instance, PropInfo));
    case tkString:
    case tkLString:
    case tkWString:
    case tkUString: return GetStrProp(Instance, PropInfo);
    case tkBinary: return String::fromLatin1(GetBinaryProp(Instance, PropInfo).toHex().toUpper());
    default: wrongType(PropInfo);
    }
}

String GetPropValue(const TObject* Instance, const String& PropName)
{
    const TPropRef r = require(Instance, PropName);
    return GetPropValue(r.Instance, r.Info);
}

void SetPropValue(TObject* Instance, const TPropInfo* PropInfo, const String& Value)
{
    // Read-only is reported before a bad text, as a plain write would.
    if (PropInfo->ReadOnly() && PropInfo->Kind != tkClass)
        readOnly();
    switch (PropInfo->Kind) {
    case tkInteger:
    case tkInt64: SetOrdProp(Instance, PropInfo, parseInteger(Value)); break;
    case tkChar:
    case tkWChar:
        if (Value.size() > 1)
            TypInfoDetail::invalidValue();
        SetOrdProp(Instance, PropInfo, Value.isEmpty() ? 0 : Value[0].unicode());
        break;
    case tkEnumeration: SetEnumProp(Instance, PropInfo, Value); break;
    case tkSet: SetSetProp(Instance, PropInfo, Value); break;
    case tkFloat: SetFloatProp(Instance, PropInfo, parseFloat(Value)); break;
    case tkString:
    case tkLString:
    case tkWString:
    case tkUString: SetStrProp(Instance, PropInfo, Value); break;
    case tkBinary: SetBinaryProp(Instance, PropInfo, parseHex(Value)); break;
    default: wrongType(PropInfo);
    }
}

void SetPropValue(TObject* Instance, const String& PropName, const String& Value)
{
    const TPropRef r = require(Instance, PropName);
    SetPropValue(r.Instance, r.Info, Value);
}

// ---- defaults and storage -------------------------------------------------------------

bool IsDefaultPropertyValue(const TObject* Instance, const TPropInfo* PropInfo)
{
    if (PropInfo->Kind == tkClass) {
        const TObject* obj = GetObjectProp(Instance, PropInfo);
        const auto* coll = dynamic_cast<const TCollection*>(obj);
        return obj == nullptr || (coll != nullptr && coll->Count() == 0);
    }
    if (!PropInfo->HasDefault())
        return false;
    return read(Instance, PropInfo) == *PropInfo->Default;
}

bool IsStoredProp(const TObject* Instance, const TPropInfo* PropInfo)
{
    if (PropInfo->StoredFn && !PropInfo->StoredFn(Instance))
        return false;
    return !IsDefaultPropertyValue(Instance, PropInfo);
}

bool IsStoredProp(const TObject* Instance, const String& PropName)
{
    const TPropRef r = require(Instance, PropName);
    return IsStoredProp(r.Instance, r.Info);
}

void AssignPublishedProps(TObject* Dest, const TObject* Source)
{
    if (Dest == nullptr || Source == nullptr || Source->ClassInfo() == nullptr)
        return;
    for (const TPropInfo* d : GetPropList(Dest)) {
        const TPropInfo* s = Source->ClassInfo()->FindProp(d->Name);
        if (s == nullptr || s->Kind != d->Kind || s->EnumInfo != d->EnumInfo)
            continue;
        // What is not stored is not part of the value (a component's Name).
        if (s->StoredFn && !s->StoredFn(Source))
            continue;
        if (d->Kind == tkClass) {
            auto* to = dynamic_cast<TPersistent*>(GetObjectProp(Dest, d));
            const auto* from = dynamic_cast<const TPersistent*>(GetObjectProp(Source, s));
            if (to != nullptr && from != nullptr && to != from)
                to->Assign(from);
        } else if (!d->ReadOnly()) {
            d->Setter(Dest, s->Getter(Source));
        }
    }
}
