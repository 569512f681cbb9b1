#include <QStringList>
#include <gtest/gtest.h>

#include "support/SxRTTI.h"

// Readable texts in failure messages.
inline void PrintTo(const QString& s, std::ostream* os)
{
    *os << '"' << s.toStdString() << '"';
}

namespace {

enum TShade { shAlpha, shBeta, shGamma, shDelta };
inline constexpr const char* ShadeNames[] = {"Alpha", "Beta", "Gamma", "Delta"};
inline constexpr TEnumInfo ShadeInfo{"TShade", ShadeNames};
using TShades = TSet<TShade>;

// A small component of ours with one property of each kind.
class TSwatch : public TComponent {
public:
    using TComponent::TComponent;
    String ClassName() const override { return QStringLiteral("TSwatch"); }
    const TClassInfo* ClassInfo() const override { return &StaticClassInfo(); }
    static const TClassInfo& StaticClassInfo()
    {
        static const TClassInfo info = TClassInfoBuilder<TSwatch>("TSwatch", &TComponent::StaticClassInfo())
                                           .Int("Width", &TSwatch::Width, &TSwatch::SetWidth, 64)
                                           .Int64("Size", &TSwatch::Size, &TSwatch::SetSize)
                                           .Enum("Shade", ShadeInfo, &TSwatch::Shade, &TSwatch::SetShade, shBeta)
                                           .Set("Shades", ShadeInfo, &TSwatch::Shades, &TSwatch::SetShades)
                                           .Float("Gamma", &TSwatch::Gamma, &TSwatch::SetGamma)
                                           .Str("Caption", &TSwatch::Caption, &TSwatch::SetCaption)
                                           .Object("Owned", &TSwatch::Owned)
                                           .Build();
        return info;
    }
    int Width() const { return FWidth; }
    void SetWidth(int v) { FWidth = v; }
    int64_t Size() const { return FSize; }
    void SetSize(int64_t v) { FSize = v; }
    TShade Shade() const { return FShade; }
    void SetShade(TShade v) { FShade = v; }
    TShades Shades() const { return FShades; }
    void SetShades(TShades v) { FShades = v; }
    double Gamma() const { return FGamma; }
    void SetGamma(double v) { FGamma = v; }
    const String& Caption() const { return FCaption; }
    void SetCaption(const String& v) { FCaption = v; }
    TComponent* Owned() const { return nullptr; }

private:
    int FWidth = 64;
    int64_t FSize = 0;
    TShade FShade = shBeta;
    TShades FShades;
    double FGamma = 0;
    String FCaption;
};

std::shared_ptr<ISxClassTypeInfo> swatchType()
{
    return SxSupports<ISxClassTypeInfo>(WrapTypeDescriptor(ClassTypeDescriptor(&TSwatch::StaticClassInfo())));
}

TEST(SxRTTI, PropertiesByNameReadAndWriteAComponent)
{
    TSwatch swatch(nullptr);
    const auto type = swatchType();
    ASSERT_TRUE(type);
    struct { const char* name; const char* written; } cases[] = {
        {"Width", "120"}, {"Size", "8589934597"}, {"Shade", "Gamma"}, {"Shades", "Alpha,Delta"},
        {"Gamma", "2.5"}, {"Caption", "Blue, light"}, {"Tag", "-3"}, {"Name", "Swatch1"}};
    for (const auto& c : cases) {
        const auto prop = type->PropertyByName(String::fromLatin1(c.name).toLower());  // found without case
        ASSERT_TRUE(prop) << c.name;
        prop->SetValueText(&swatch, String::fromLatin1(c.written));
        EXPECT_EQ(prop->ValueText(&swatch), String::fromLatin1(c.written)) << c.name;
    }
    EXPECT_EQ(swatch.Size(), int64_t{8589934597});
    EXPECT_EQ(swatch.Shades(), (TShades{shAlpha, shDelta}));
    EXPECT_EQ(swatch.Name(), QStringLiteral("Swatch1"));

    try {
        type->PropertyByName(QStringLiteral("Owned"))->ValueText(&swatch);
        FAIL();
    } catch (const ESxRTTIError& e) {
        EXPECT_EQ(e.Message(), QStringLiteral("The property Owned of type TComponent has no string value"));
    }
    EXPECT_THROW(type->PropertyByName(QStringLiteral("Width"))->SetValueText(&swatch, QStringLiteral("wide")),
                 EConvertError);
    EXPECT_FALSE(type->PropertyByName(QStringLiteral("Missing")));
}

TEST(SxRTTI, OwnPropertiesComeFirstThenTheParents)
{
    const auto type = swatchType();
    EXPECT_EQ(type->OwnPropertyCount(), 7);
    EXPECT_EQ(type->AllPropertyCount(), 9);
    QStringList names;
    for (int i = 0; i < type->AllPropertyCount(); ++i)
        names << type->PropertyAt(i)->PropertyName();
    EXPECT_EQ(names.join(u','), QStringLiteral("Width,Size,Shade,Shades,Gamma,Caption,Owned,Name,Tag"));
    EXPECT_FALSE(type->PropertyAt(9));
    EXPECT_EQ(type->ParentClassType()->TypeName(), QStringLiteral("TComponent"));
    EXPECT_EQ(type->DeclaringUnit(), String());

    const auto width = type->PropertyAt(0);
    EXPECT_TRUE(width->HasDefaultValue());
    EXPECT_EQ(width->DefaultValue(), 64);
    EXPECT_FALSE(width->HasIndexValue());
    EXPECT_EQ(width->ReaderKind(), pskStaticMethod);
    EXPECT_EQ(width->StoredKind(), pskConstant);
    EXPECT_EQ(type->PropertyAt(6)->WriterKind(), pskConstant);  // read-only: no writer
    TSwatch swatch(nullptr);
    EXPECT_FALSE(type->PropertyAt(7)->IsStoredIn(&swatch));  // Name is not stored
    EXPECT_TRUE(width->IsStoredIn(&swatch));
}

TEST(SxRTTI, InterfacesAreFoundByAsking)
{
    const auto shades = WrapTypeDescriptor(SetTypeDescriptor(ShadeInfo));
    const auto set = SxSupports<ISxSetTypeInfo>(shades);
    ASSERT_TRUE(set);
    const auto member = set->MemberType();
    EXPECT_EQ(member->Kind(), tkEnumeration);
    const auto en = SxSupports<ISxEnumerationTypeInfo>(member);
    ASSERT_TRUE(en);
    EXPECT_EQ(en->LowBound(), 0);
    EXPECT_EQ(en->HighBound(), 3);
    EXPECT_EQ(en->ValueName(2), QStringLiteral("Gamma"));
    EXPECT_EQ(en->ValueIndex(QStringLiteral("gAMMA")), 2);
    EXPECT_EQ(en->ValueIndex(QStringLiteral("Omega")), -1);
    EXPECT_EQ(en->BaseEnumeration(), en);
    EXPECT_FALSE(SxSupports<ISxEnumerationTypeInfo>(shades));
    EXPECT_FALSE(SxSupports<ISxValueTypeInfo>(WrapTypeDescriptor(MethodKindDescriptor()->BaseType)) == nullptr);
}

// Hand-made descriptors for the element ranges the property tables do not have.
TTypeDescriptor range(const char* name, TTypeKind kind, TOrdType ord, int32_t lo, int32_t hi)
{
    TTypeDescriptor d;
    d.Kind = kind;
    d.Name = String::fromLatin1(name);
    d.OrdType = ord;
    d.MinValue = lo;
    d.MaxValue = hi;
    return d;
}

TTypeDescriptor setOf(const char* name, const TTypeDescriptor* element)
{
    TTypeDescriptor d;
    d.Kind = tkSet;
    d.Name = String::fromLatin1(name);
    d.OrdType = otUByte;
    d.CompType = element;
    return d;
}

TEST(SxRTTI, SetTextsOfAnEnumeration)
{
    const TTypeDescriptor* set = SetTypeDescriptor(ShadeInfo);
    auto bits = [](TShades s) { return s.Bits(); };
    uint64_t v = bits({shAlpha, shGamma});
    EXPECT_EQ(SetValueToText(set, &v, true), QStringLiteral("[Alpha, Gamma]"));
    v = bits({shAlpha, shBeta, shGamma});
    EXPECT_EQ(SetValueToText(set, &v, true, true), QStringLiteral("[Alpha .. Gamma]"));
    v = bits({shBeta, shDelta});
    EXPECT_EQ(SetValueToText(set, &v, false, true), QStringLiteral("Beta, Delta"));  // single members stay single
    v = 0;
    EXPECT_EQ(SetValueToText(set, &v, true), QStringLiteral("[]"));
    EXPECT_EQ(SetValueToText(set, &v, false), String());

    struct { const char* text; TShades result; } parses[] = {
        {"", {}}, {"[]", {}}, {"[ ]", {}}, {"[Alpha,,Gamma]", {shAlpha, shGamma}},
        {"Alpha .. Gamma", {shAlpha, shBeta, shGamma}}, {"Gamma..Alpha", {}}, {"[ALPHA]", {shAlpha}},
        {"[Alpha, B", {shAlpha}}};
    for (const auto& c : parses) {
        uint64_t value = ~uint64_t{0};
        SetValueFromText(set, &value, String::fromLatin1(c.text));
        EXPECT_EQ(value & 0xF, c.result.Bits()) << c.text;
    }
    uint64_t value = 0;
    try {
        SetValueFromText(set, &value, QStringLiteral("[Beta, Omega, Gamma]"));
        FAIL();
    } catch (const ESxRTTIError& e) {
        EXPECT_EQ(e.Message(), QStringLiteral("Unknown identifier 'Omega'."));
    }
    EXPECT_EQ(value, bits({shBeta}));  // the members before the failing one stay
}

TEST(SxRTTI, SetStorageFollowsTheElementRange)
{
    const TTypeDescriptor digits = range("TDigit", tkInteger, otUByte, 5, 9);
    const TTypeDescriptor digitSet = setOf("TDigits", &digits);
    EXPECT_EQ(SxSupports<ISxSetTypeInfo>(WrapTypeDescriptor(&digitSet))->StorageSize(), 2);
    uint8_t storage[2] = {0, 0};
    SetValueFromText(&digitSet, storage, QStringLiteral("[9]"));
    EXPECT_EQ(storage[1], 0x02);  // value 9 is bit 9: 9 - 5 + 5
    SetValueFromText(&digitSet, storage, QStringLiteral("[5, 12]"));  // 12 has no bit and is left out
    EXPECT_EQ(storage[0], 0x20);
    EXPECT_EQ(storage[1], 0x00);
    EXPECT_EQ(SetValueToText(&digitSet, storage, true), QStringLiteral("[5]"));

    const TTypeDescriptor bytes = range("Byte", tkInteger, otUByte, 0, 255);
    const TTypeDescriptor byteSet = setOf("TByteSet", &bytes);
    uint8_t all[32];
    std::fill(std::begin(all), std::end(all), 0xFF);
    TStringList list;
    SetValueToText(&byteSet, all, &list, false);
    ASSERT_EQ(list.Count(), 256);
    EXPECT_EQ(list.Strings(255), QStringLiteral("255"));
    EXPECT_EQ(SetValueToText(&byteSet, all, false, true), QStringLiteral("0 .. 255"));

    // A second form appends and joins only what it appended.
    TStringList existing;
    existing.Add(QStringLiteral("before"));
    uint8_t few[32] = {0x03};
    EXPECT_EQ(SetValueToText(&byteSet, few, &existing), QStringLiteral("0, 1"));
    EXPECT_EQ(existing.Count(), 3);
}

TEST(SxRTTI, BoundsOfUnsignedRanges)
{
    const TTypeDescriptor cardinal = range("Cardinal", tkInteger, otULong, 0, -1);
    const auto r = SxSupports<ISxOrdinalRangeTypeInfo>(WrapTypeDescriptor(&cardinal));
    EXPECT_EQ(r->HighBound(), int64_t{0xFFFFFFFF});
    const TTypeDescriptor integer = range("Integer", tkInteger, otSLong, INT32_MIN, INT32_MAX);
    EXPECT_EQ(SxSupports<ISxOrdinalRangeTypeInfo>(WrapTypeDescriptor(&integer))->LowBound(), INT32_MIN);
}

// ---- texts ---------------------------------------------------------------------

String describe(const TTypeDescriptor* d)
{
    TSxStringTypeWriter w;
    WrapTypeDescriptor(d)->DescribeTo(w);
    return w.Text();
}

String declare(const TTypeDescriptor* d)
{
    TSxStringTypeWriter w;
    WrapTypeDescriptor(d)->DeclareTo(w);
    return w.Text();
}

String address(const void* p)
{
    return Format(QStringLiteral("%p"), {p});
}

TEST(SxRTTIText, DescribesAComponentOfOurs)
{
    RegisterTypeUnit(QStringLiteral("TSwatchProbe"), QStringLiteral("Swatches"));
    const TTypeDescriptor* comp = ClassTypeDescriptor(&TComponent::StaticClassInfo());
    const TPropDescriptor& name = comp->Props[0];
    const TPropDescriptor& tag = comp->Props[1];
    const String expected = QStringLiteral("Name: TComponent\n"
                                           "Type kind: tkClass\n"
                                           "Type info: ") + address(comp) + QStringLiteral("\n"
                                           "Class name: TComponent\n"
                                           "Parent: \n"
                                           "Unit name: Classes\n"
                                           "Property count: 2 (2)\n"
                                           "  Name: UnicodeString\n"
                                           "    [read static method $") + address(reinterpret_cast<const void*>(name.GetProc)) + QStringLiteral("]\n"
                                           "    [write static method $") + address(reinterpret_cast<const void*>(name.SetProc)) + QStringLiteral("]\n"
                                           "    [stored=static method $") + address(reinterpret_cast<const void*>(name.StoredProc)) + QStringLiteral("]\n"
                                           "  Tag: Integer\n"
                                           "    [default 0]\n"
                                           "    [read static method $") + address(reinterpret_cast<const void*>(tag.GetProc)) + QStringLiteral("]\n"
                                           "    [write static method $") + address(reinterpret_cast<const void*>(tag.SetProc)) + QStringLiteral("]\n"
                                           "    [stored=True]\n");
    EXPECT_EQ(describe(comp), expected);

    const String declared = declare(comp);
    EXPECT_TRUE(declared.startsWith(QStringLiteral("TComponent = class // unit Classes\npublished\n  property Name: UnicodeString read [static method $")));
    EXPECT_TRUE(declared.contains(QStringLiteral(" stored = True default 0;\nend;\n")));
    EXPECT_TRUE(declare(ClassTypeDescriptor(&TSwatch::StaticClassInfo()))
                    .startsWith(QStringLiteral("TSwatch = class(TComponent) // unit \n")));
}

TEST(SxRTTIText, Declarations)
{
    const TTypeDescriptor* shade = EnumTypeDescriptor(ShadeInfo);
    EXPECT_EQ(declare(shade), QStringLiteral("TShade = (Alpha, Beta, Gamma, Delta); // otUByte\n"));
    TTypeDescriptor sub = range("TMiddle", tkEnumeration, otUByte, 1, 2);
    sub.BaseType = shade;
    EXPECT_EQ(declare(&sub), QStringLiteral("TMiddle = Beta .. Gamma; // otUByte\n"));
    EXPECT_EQ(SxSupports<ISxEnumerationTypeInfo>(WrapTypeDescriptor(&sub))->BaseEnumeration()->TypeName(),
              QStringLiteral("TShade"));

    const TTypeDescriptor printable = range("TPrintable", tkChar, otUByte, 32, 126);
    EXPECT_EQ(declare(&printable), QStringLiteral("TPrintable = ' '..'~'; // otUByte\n"));
    const TTypeDescriptor anyChar = range("TAnyChar", tkChar, otUByte, 0, 255);
    EXPECT_EQ(declare(&anyChar), QStringLiteral("TAnyChar = #0..#255; // otUByte\n"));

    TTypeDescriptor anonEnum = *shade;
    anonEnum.Name = QStringLiteral(".anon");
    anonEnum.BaseType = &anonEnum;
    const TTypeDescriptor namedSet = setOf("TShades", &anonEnum);
    EXPECT_EQ(declare(&namedSet), QStringLiteral("TShades = set of (Alpha, Beta, Gamma, Delta); // otUByte\n"));
    const TTypeDescriptor anonSet = setOf(".set", shade);
    EXPECT_EQ(declare(&anonSet), QStringLiteral("TShade"));
    const TTypeDescriptor anonRange = range(".r", tkInteger, otUByte, 1, 3);
    const TTypeDescriptor rangeSet = setOf("TSmall", &anonRange);
    EXPECT_EQ(declare(&rangeSet), QStringLiteral("TSmall = set of ???; // otUByte\n"));

    TTypeDescriptor proc;
    proc.Kind = tkMethod;
    proc.Name = QStringLiteral("TNotifyEvent");
    EXPECT_EQ(declare(&proc), QStringLiteral("TNotifyEvent = procedure of object;\n"));
    TTypeDescriptor func = proc;
    func.Name = QStringLiteral("TCheck");
    func.MethodKind = mkFunction;
    func.ResultType = QStringLiteral("Boolean");
    func.Params = {{TParamFlags{pfVar}, QStringLiteral("Value"), QStringLiteral("Integer")},
                   {TParamFlags{pfConst, pfArray}, QStringLiteral("Args"), QStringLiteral("TVarRec")}};
    EXPECT_EQ(declare(&func),
              QStringLiteral("TCheck = function(var Value: Integer; const Args: array of const): Boolean of object;\n"));

    TTypeDescriptor dbl;
    dbl.Kind = tkFloat;
    dbl.Name = QStringLiteral("TReal");
    dbl.FloatType = ftExtended;
    EXPECT_EQ(declare(&dbl), QStringLiteral("TReal = type Extended;\n"));
    TTypeDescriptor shortStr;
    shortStr.Kind = tkString;
    shortStr.Name = QStringLiteral("TName");
    shortStr.MaxLength = 31;
    EXPECT_EQ(declare(&shortStr), QStringLiteral("TName = string[31];\n"));
    TTypeDescriptor i64;
    i64.Kind = tkInt64;
    i64.Name = QStringLiteral("TBig");
    i64.MinInt64Value = -5;
    i64.MaxInt64Value = int64_t{1} << 40;
    EXPECT_EQ(declare(&i64), QStringLiteral("TBig = -5 .. 1099511627776;\n"));
    TTypeDescriptor arr;
    arr.Kind = tkDynArray;
    arr.Name = QStringLiteral("TList");
    arr.UnitName = QStringLiteral("Lists");
    EXPECT_EQ(declare(&arr), QStringLiteral("TList = array of ???; // Unit Lists\n"));

    TTypeDescriptor unknown;
    unknown.Kind = tkRecord;
    unknown.Name = QStringLiteral("TPoint");
    EXPECT_EQ(declare(&unknown), QStringLiteral("// Declaration for 'TPoint' not supported.\n"));

    TTypeDescriptor unk;
    unk.Kind = tkInterface;
    unk.Name = QStringLiteral("IUnknown");
    TTypeDescriptor intf;
    intf.Kind = tkInterface;
    intf.Name = QStringLiteral("ISxThing");
    intf.ParentInfo = &unk;
    intf.IntfFlags = TIntfFlags{ifHasGuid};
    intf.Guid = ISxBaseInfo::IID;
    intf.UnitName = QStringLiteral("Things");
    EXPECT_EQ(declare(&intf),
              QStringLiteral("ISxThing = interface // unit Things\n  ['{e86cad93-0dbd-5fe3-b0ea-1e989d795a73}']\nend;\n"));
}

TEST(SxRTTIText, Descriptions)
{
    TTypeDescriptor func;
    func.Kind = tkMethod;
    func.Name = QStringLiteral("TCheck");
    func.MethodKind = mkFunction;
    func.ResultType = QStringLiteral("Boolean");
    func.Params = {{TParamFlags{pfVar}, QStringLiteral("A"), QStringLiteral("Integer")},
                   {TParamFlags{}, QStringLiteral("B"), QStringLiteral("String")}};
    EXPECT_EQ(describe(&func), QStringLiteral("Name: TCheck\nType kind: tkMethod\nType info: ") + address(&func)
                                   + QStringLiteral("\nMethod kind: mkFunction\nParameter count: 2\n"
                                                    "  Name: A\n  Type: Integer\n  Flags: [pfVar]\n\n"
                                                    "  Name: B\n  Type: String\n  Flags: []\n"
                                                    "Return type: Boolean\n"));

    const TTypeDescriptor* set = SetTypeDescriptor(ShadeInfo);
    const TTypeDescriptor* shade = EnumTypeDescriptor(ShadeInfo);
    EXPECT_EQ(describe(set), QStringLiteral("Name: .set of TShade\nType kind: tkSet\nType info: ") + address(set)
                                 + QStringLiteral("\nOrdinal type: otUByte\nBased on: \n  Name: TShade\n"
                                                  "  Type kind: tkEnumeration\n  Type info: ") + address(shade)
                                 + QStringLiteral("\n  Ordinal type: otUByte\n  Min value: 0\n  Max value: 3\n"
                                                  "  Unit name: \n  Names: (Alpha, Beta, Gamma, Delta)\n"));
}

TEST(SxRTTIText, OrdinalValueNames)
{
    const TTypeDescriptor* kinds = TypeKindDescriptor();
    const uint8_t ok = tkUString;
    const uint8_t bad = 40;
    EXPECT_EQ(OrdinalValueName(kinds, &ok), QStringLiteral("tkUString"));
    EXPECT_EQ(OrdinalValueName(kinds, &bad), QStringLiteral("Value out of range (ordinal=40)."));
}

}  // namespace
