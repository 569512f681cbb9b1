#include <QStringList>
#include <gtest/gtest.h>

#include <memory>

#include "platform/rtl/Collection.h"
#include "platform/rtl/Exception.h"
#include "platform/rtl/TypInfo.h"

namespace {

enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };
constexpr const char* AlignNames[] = {"alNone", "alTop", "alBottom", "alLeft", "alRight", "alClient"};
constexpr TEnumInfo AlignInfo{"TAlign", AlignNames};

enum TFontStyle { fsBold, fsItalic, fsUnderline, fsStrikeOut };
using TFontStyles = TSet<TFontStyle>;
constexpr const char* FontStyleNames[] = {"fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"};
constexpr TEnumInfo FontStyleInfo{"TFontStyle", FontStyleNames};

class TFont : public TPersistent {
public:
    String ClassName() const override { return "TFont"; }
    const TClassInfo* ClassInfo() const override { return &StaticClassInfo(); }
    static const TClassInfo& StaticClassInfo()
    {
        static const TClassInfo info = TClassInfoBuilder<TFont>("TFont")
                                           .Int("Size", &TFont::Size, &TFont::SetSize, 8)
                                           .Str("Name", &TFont::Name, &TFont::SetName, "DejaVu Sans")
                                           .Set("Style", FontStyleInfo, &TFont::Style, &TFont::SetStyle, TFontStyles{})
                                           .Build();
        return info;
    }
    void Assign(const TPersistent* Source) override
    {
        if (dynamic_cast<const TFont*>(Source) == nullptr)
            return TPersistent::Assign(Source);
        AssignPublishedProps(this, Source);
    }

    int Size() const { return FSize; }
    void SetSize(int v) { FSize = v; }
    const String& Name() const { return FName; }
    void SetName(const String& v) { FName = v; }
    TFontStyles Style() const { return FStyle; }
    void SetStyle(TFontStyles v) { FStyle = v; }

private:
    int FSize = 8;
    String FName = "DejaVu Sans";
    TFontStyles FStyle;
};

class TColumn : public TCollectionItem {
public:
    using TCollectionItem::TCollectionItem;
    String ClassName() const override { return "TColumn"; }
    const TClassInfo* ClassInfo() const override { return &StaticClassInfo(); }
    static const TClassInfo& StaticClassInfo()
    {
        static const TClassInfo info =
            TClassInfoBuilder<TColumn>("TColumn", &TCollectionItem::StaticClassInfo())
                .Str("Caption", &TColumn::Caption, &TColumn::SetCaption)
                .Int("Width", &TColumn::Width, &TColumn::SetWidth, 64)
                .Build();
        return info;
    }
    const String& Caption() const { return FCaption; }
    void SetCaption(const String& v) { FCaption = v; }
    int Width() const { return FWidth; }
    void SetWidth(int v) { FWidth = v; }

private:
    String FCaption;
    int FWidth = 64;
};

class TWidget : public TComponent {
public:
    explicit TWidget(TComponent* AOwner) : TComponent(AOwner) {}
    String ClassName() const override { return "TWidget"; }
    const TClassInfo* ClassInfo() const override { return &StaticClassInfo(); }
    static const TClassInfo& StaticClassInfo()
    {
        static const TClassInfo info =
            TClassInfoBuilder<TWidget>("TWidget", &TComponent::StaticClassInfo())
                .Int("Width", &TWidget::Width, &TWidget::SetWidth, 64)
                .Int64("Big", &TWidget::Big, &TWidget::SetBig)
                .Float("Ratio", &TWidget::Ratio, &TWidget::SetRatio, 1.5)
                .Str("Caption", &TWidget::Caption, &TWidget::SetCaption)
                .Stored([](const TWidget& w) { return !w.CaptionFromAction; })
                .Char("PasswordChar", &TWidget::PasswordChar, &TWidget::SetPasswordChar, QChar())
                .Enum("Align", AlignInfo, &TWidget::Align, &TWidget::SetAlign, alNone)
                .Bool("Visible", &TWidget::Visible, &TWidget::SetVisible, true)
                .Set("Styles", FontStyleInfo, &TWidget::Styles, &TWidget::SetStyles, TFontStyles{})
                .Object("Font", &TWidget::Font, &TWidget::SetFont)
                .Collection("Columns", &TWidget::Columns)
                .Binary("Data", &TWidget::Data, &TWidget::SetData)
                .Int("Area", [](const TWidget& w) { return w.Width() * 10; })
                .Build();
        return info;
    }

    int Width() const { return FWidth; }
    void SetWidth(int v) { FWidth = v; }
    int64_t Big() const { return FBig; }
    void SetBig(int64_t v) { FBig = v; }
    double Ratio() const { return FRatio; }
    void SetRatio(double v) { FRatio = v; }
    const String& Caption() const { return FCaption; }
    void SetCaption(const String& v) { FCaption = v; }
    QChar PasswordChar() const { return FPasswordChar; }
    void SetPasswordChar(QChar v) { FPasswordChar = v; }
    TAlign Align() const { return FAlign; }
    void SetAlign(TAlign v) { FAlign = v; }
    bool Visible() const { return FVisible; }
    void SetVisible(bool v) { FVisible = v; }
    TFontStyles Styles() const { return FStyles; }
    void SetStyles(TFontStyles v) { FStyles = v; }
    TFont* Font() const { return FFont.get(); }
    void SetFont(TFont* v) { FFont->Assign(v); }
    TOwnedCollection* Columns() const { return FColumns.get(); }
    const QByteArray& Data() const { return FData; }
    void SetData(const QByteArray& v) { FData = v; }

    bool CaptionFromAction = false;

private:
    int FWidth = 64;
    int64_t FBig = 0;
    double FRatio = 1.5;
    String FCaption;
    QChar FPasswordChar;
    TAlign FAlign = alNone;
    bool FVisible = true;
    TFontStyles FStyles;
    std::unique_ptr<TFont> FFont = std::make_unique<TFont>();
    std::unique_ptr<TOwnedCollection> FColumns =
        std::make_unique<TOwnedCollection>(this, ItemClassOf<TColumn>());
    QByteArray FData;
};

// Redeclares Width with another default and adds a property of its own.
class TWideWidget : public TWidget {
public:
    using TWidget::TWidget;
    String ClassName() const override { return "TWideWidget"; }
    const TClassInfo* ClassInfo() const override { return &StaticClassInfo(); }
    static const TClassInfo& StaticClassInfo()
    {
        static const TClassInfo info = TClassInfoBuilder<TWideWidget>("TWideWidget", &TWidget::StaticClassInfo())
                                           .Str("Extra", &TWideWidget::Extra, &TWideWidget::SetExtra)
                                           .Int("Width", &TWideWidget::Width, &TWideWidget::SetWidth, 100)
                                           .Build();
        return info;
    }
    const String& Extra() const { return FExtra; }
    void SetExtra(const String& v) { FExtra = v; }

private:
    String FExtra;
};

String propertyErrorOf(const std::function<void()>& action)
{
    try {
        action();
    } catch (const EPropertyError& e) {
        return e.Message();
    }
    return "no EPropertyError";
}

class TypInfoTest : public ::testing::Test {
protected:
    TypInfoTest()
    {
        w.Columns()->Add();
        w.Columns()->Add();
    }
    TWidget w{nullptr};
};

}  // namespace

TEST_F(TypInfoTest, EveryKindRoundTripsAsTextByName)
{
    const struct {
        const char* path;
        String text;
    } cases[] = {
        {"Width", "120"},
        {"Big", "-9000000000"},
        {"Ratio", "0.1"},
        {"Ratio", "1E20"},
        {"Ratio", "-2.5E-7"},
        {"Caption", QString::fromUtf8("Grüße, 世界")},
        {"PasswordChar", "*"},
        {"PasswordChar", ""},
        {"Align", "alClient"},
        {"Visible", "False"},
        {"Styles", "[fsBold,fsUnderline]"},
        {"Styles", "[]"},
        {"Font.Size", "12"},
        {"Font.Name", "Mono"},
        {"Font.Style", "[fsItalic]"},
        {"Columns[1].Caption", "Size"},
        {"Columns[0].Width", "33"},
        {"Data", "00FF10"},
        {"Tag", "-7"},
        {"Name", "Widget1"},
    };
    for (const auto& c : cases) {
        SetPropValue(&w, c.path, c.text);
        EXPECT_EQ(GetPropValue(&w, c.path), c.text) << c.path;
    }
    // The writes reached the objects themselves.
    EXPECT_EQ(w.Font()->Size(), 12);
    EXPECT_EQ(static_cast<TColumn*>(w.Columns()->Items(1))->Caption(), "Size");
    EXPECT_EQ(static_cast<TColumn*>(w.Columns()->Items(0))->Width(), 33);
    EXPECT_EQ(w.Data(), QByteArray("\x00\xff\x10", 3));
    EXPECT_EQ(w.Name(), "Widget1");
    EXPECT_EQ(w.Tag(), -7);
}

TEST_F(TypInfoTest, TypedAccessorsReadAndWriteTheObject)
{
    SetOrdProp(&w, "Width", 300);
    EXPECT_EQ(w.Width(), 300);
    EXPECT_EQ(GetOrdProp(&w, "Area"), 3000);  // a getter written as a lambda

    SetInt64Prop(&w, "Big", int64_t{1} << 40);
    EXPECT_EQ(w.Big(), int64_t{1} << 40);
    EXPECT_EQ(GetInt64Prop(&w, "Big"), int64_t{1} << 40);

    SetFloatProp(&w, "Ratio", 0.3);
    EXPECT_EQ(GetFloatProp(&w, "Ratio"), 0.3);

    SetStrProp(&w, "Caption", "Open");
    EXPECT_EQ(w.Caption(), "Open");

    SetOrdProp(&w, "PasswordChar", u'#');
    EXPECT_EQ(w.PasswordChar(), QChar(u'#'));

    SetEnumProp(&w, "Align", "ALLEFT");  // names are case-insensitive
    EXPECT_EQ(w.Align(), alLeft);
    EXPECT_EQ(GetEnumProp(&w, "Align"), "alLeft");
    SetOrdProp(&w, "Align", alTop);
    EXPECT_EQ(GetOrdProp(&w, "Align"), alTop);

    SetEnumProp(&w, "Visible", "false");
    EXPECT_FALSE(w.Visible());
    EXPECT_EQ(GetOrdProp(&w, "Visible"), 0);
    EXPECT_EQ(GetEnumProp(&w, "Visible"), "False");
    SetOrdProp(&w, "Visible", 1);
    EXPECT_TRUE(w.Visible());

    SetOrdProp(&w, "Styles", (1 << fsItalic) | (1 << fsStrikeOut));
    EXPECT_EQ(w.Styles(), (TFontStyles{fsItalic, fsStrikeOut}));
    EXPECT_EQ(GetSetProp(&w, "Styles"), "fsItalic,fsStrikeOut");
    EXPECT_EQ(GetSetProp(&w, "Styles", true), "[fsItalic,fsStrikeOut]");
    SetSetProp(&w, "Styles", "fsBold");
    EXPECT_EQ(w.Styles(), TFontStyles{fsBold});

    const QByteArray bytes("a\0b\xff", 4);
    SetBinaryProp(&w, "Data", bytes);
    EXPECT_EQ(GetBinaryProp(&w, "Data"), bytes);

    EXPECT_EQ(GetObjectProp(&w, "Font"), w.Font());
    TFont other;
    other.SetSize(20);
    SetObjectProp(&w, "Font", &other);  // the setter assigns, the widget keeps its own font
    EXPECT_EQ(w.Font()->Size(), 20);
    EXPECT_NE(w.Font(), &other);
    EXPECT_EQ(GetOrdProp(&w, "font.SIZE"), 20);

    TColumn* col = static_cast<TColumn*>(w.Columns()->Items(1));
    SetStrProp(col, "Caption", "Direct");
    EXPECT_EQ(GetStrProp(&w, "Columns[1].Caption"), "Direct");
}

TEST_F(TypInfoTest, LookupFollowsPathsAndReportsMissingOnes)
{
    EXPECT_EQ(GetPropInfo(&w, "Font.Size"), GetPropInfo(&TFont::StaticClassInfo(), "Size"));
    EXPECT_EQ(FindPropRef(&w, "Font.Size").Instance, w.Font());
    EXPECT_EQ(FindPropRef(&w, "Columns[1].Width").Instance, w.Columns()->Items(1));
    for (const char* missing : {"Nope", "Font.Nope", "Width.Size", "Font.", "Columns[2].Width", "Columns[x].Width",
                                "Columns[0]", "Font[0].Size", ""})
        EXPECT_EQ(GetPropInfo(&w, missing), nullptr) << missing;
    EXPECT_TRUE(IsPublishedProp(&w, "caption"));
    EXPECT_FALSE(IsPublishedProp(&w, "Nope"));
    EXPECT_TRUE(PropIsType(&w, "Big", tkInt64));
    EXPECT_TRUE(PropIsType(&w, "Visible", tkEnumeration));
    EXPECT_TRUE(GetPropInfo(&w, "Visible")->IsBoolean());
    EXPECT_EQ(PropType(&w, "Data"), tkBinary);
    EXPECT_EQ(PropType(&w, "Columns"), tkClass);
    EXPECT_TRUE(GetPropInfo(&w, "Columns")->IsCollection);
    EXPECT_EQ(GetPropInfo(&w, "Font")->ClassInfo(), &TFont::StaticClassInfo());

    TComponent plain(nullptr);
    SetPropValue(&plain, "Name", "Plain");
    EXPECT_EQ(plain.Name(), "Plain");
    EXPECT_THROW(SetPropValue(&plain, "Name", "not valid"), EComponentError);  // the setter's own check
}

TEST_F(TypInfoTest, ErrorsNameTheFault)
{
    const String missing = "Property %1 does not exist";
    const String readOnly = "Property is read-only";
    const String invalid = "Invalid property value";
    const struct {
        const char* what;
        std::function<void()> action;
        String message;
    } cases[] = {
        {"missing", [&] { GetOrdProp(&w, "Nope"); }, missing.arg("Nope")},
        {"missing nested", [&] { SetPropValue(&w, "Font.Nope", "1"); }, missing.arg("Font.Nope")},
        {"missing item", [&] { GetStrProp(&w, "Columns[9].Caption"); }, missing.arg("Columns[9].Caption")},
        {"PropIsType on missing", [&] { PropIsType(&w, "Nope", tkInteger); }, missing.arg("Nope")},
        {"read-only ordinal", [&] { SetOrdProp(&w, "Area", 1); }, readOnly},
        {"read-only text", [&] { SetPropValue(&w, "Area", "x"); }, readOnly},
        {"read-only object", [&] { SetObjectProp(&w, "Columns", nullptr); }, readOnly},
        {"not a number", [&] { SetPropValue(&w, "Width", "12a"); }, invalid},
        {"empty number", [&] { SetPropValue(&w, "Width", ""); }, invalid},
        {"beyond int", [&] { SetPropValue(&w, "Width", "99999999999"); }, invalid},
        {"beyond int64", [&] { SetPropValue(&w, "Big", "9223372036854775808"); }, invalid},
        {"ordinal beyond int", [&] { SetOrdProp(&w, "Width", int64_t{1} << 40); }, invalid},
        {"unknown enum name", [&] { SetEnumProp(&w, "Align", "alMiddle"); }, invalid},
        {"enum out of range", [&] { SetOrdProp(&w, "Align", 6); }, invalid},
        {"not a Boolean", [&] { SetPropValue(&w, "Visible", "maybe"); }, invalid},
        {"Boolean beyond 1", [&] { SetOrdProp(&w, "Visible", 2); }, invalid},
        {"unknown set element", [&] { SetSetProp(&w, "Styles", "[fsBold,fsGhost]"); }, invalid},
        {"set bit outside the type", [&] { SetOrdProp(&w, "Styles", 1 << 4); }, invalid},
        {"decimal comma", [&] { SetPropValue(&w, "Ratio", "1,5"); }, invalid},
        {"two chars", [&] { SetPropValue(&w, "PasswordChar", "ab"); }, invalid},
        {"odd hex", [&] { SetPropValue(&w, "Data", "ABC"); }, invalid},
        {"bad hex", [&] { SetPropValue(&w, "Data", "0G"); }, invalid},
        {"object of another class", [&] { TComponent c(nullptr); SetObjectProp(&w, "Font", &c); }, invalid},
        {"wrong kind", [&] { GetStrProp(&w, "Width"); }, "Invalid property type: Integer"},
        {"object as text", [&] { GetPropValue(&w, "Font"); }, "Invalid property type: TFont"},
        {"entry of another class", [&] { GetOrdProp(w.Font(), GetPropInfo(&w, "Width")); }, "Object is not a TWidget"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(propertyErrorOf(c.action), c.message) << c.what;
    // Nothing was half-written by a refused value.
    EXPECT_EQ(w.Width(), 64);
    EXPECT_EQ(w.Align(), alNone);
    EXPECT_TRUE(w.Styles().Empty());
    EXPECT_TRUE(w.Data().isEmpty());
}

TEST_F(TypInfoTest, IntegerTextAcceptsHexAndSigns)
{
    for (const auto& [text, value] : std::initializer_list<std::pair<const char*, int>>{
             {"$1F", 31}, {"0x10", 16}, {" -5 ", -5}, {"+8", 8}, {"-$10", -16}}) {
        SetPropValue(&w, "Width", text);
        EXPECT_EQ(w.Width(), value) << text;
    }
    SetPropValue(&w, "Big", "-9223372036854775808");
    EXPECT_EQ(w.Big(), INT64_MIN);
}

TEST(TypInfo, EnumerationNamesAndValues)
{
    EXPECT_EQ(GetEnumName(AlignInfo, alBottom), "alBottom");
    EXPECT_EQ(GetEnumName(AlignInfo, 6), "");
    EXPECT_EQ(GetEnumName(AlignInfo, -1), "");
    EXPECT_EQ(GetEnumValue(AlignInfo, "ALCLIENT"), alClient);
    EXPECT_EQ(GetEnumValue(AlignInfo, "alMiddle"), -1);
    EXPECT_EQ(GetEnumValue(BooleanInfo, "true"), 1);

    static constexpr const char* levelNames[] = {"lvLow", "lvMid", "lvHigh"};
    static constexpr TEnumInfo levels{"TLevel", levelNames, 2};
    EXPECT_EQ(GetEnumValue(levels, "lvLow"), 2);
    EXPECT_EQ(GetEnumValue(levels, "lvHigh"), 4);
    EXPECT_EQ(GetEnumName(levels, 3), "lvMid");
    EXPECT_EQ(GetEnumName(levels, 0), "");
}

TEST(TypInfo, SetsAndText)
{
    const uint64_t boldUnderline = (1 << fsBold) | (1 << fsUnderline);
    EXPECT_EQ(SetToString(FontStyleInfo, boldUnderline), "fsBold,fsUnderline");
    EXPECT_EQ(SetToString(FontStyleInfo, boldUnderline, true), "[fsBold,fsUnderline]");
    EXPECT_EQ(SetToString(FontStyleInfo, 0, true), "[]");
    EXPECT_EQ(SetToString(FontStyleInfo, 0), "");
    EXPECT_EQ(StringToSet(FontStyleInfo, "[ fsunderline , FSBOLD ]"), boldUnderline);
    EXPECT_EQ(StringToSet(FontStyleInfo, "fsBold,fsUnderline"), boldUnderline);
    EXPECT_EQ(StringToSet(FontStyleInfo, "[]"), 0u);
    EXPECT_EQ(StringToSet(FontStyleInfo, ""), 0u);
    for (const char* bad : {"[fsBold", "fsBold,", "fsGhost", "[fsBold,,fsItalic]"})
        EXPECT_THROW(StringToSet(FontStyleInfo, bad), EPropertyError) << bad;
}

TEST_F(TypInfoTest, DefaultValuesAreNotStored)
{
    auto stored = [&](const char* name) { return IsStoredProp(&w, name); };
    // A fresh object: everything at its default except what has none.
    for (const char* name : {"Width", "Ratio", "Caption", "PasswordChar", "Align", "Visible", "Styles", "Data", "Tag"})
        EXPECT_FALSE(stored(name)) << name;
    EXPECT_TRUE(stored("Big"));      // no default: always written
    EXPECT_TRUE(stored("Font"));     // an object is written through its own table
    EXPECT_TRUE(stored("Columns"));  // two items
    EXPECT_FALSE(stored("Font.Size"));

    w.SetWidth(65);
    w.SetVisible(false);
    w.SetCaption("x");
    w.SetRatio(0);
    w.Font()->SetName("Mono");
    for (const char* name : {"Width", "Visible", "Caption", "Ratio", "Font.Name"})
        EXPECT_TRUE(stored(name)) << name;

    w.CaptionFromAction = true;  // the "stored" condition wins over the value
    EXPECT_FALSE(stored("Caption"));
    EXPECT_FALSE(IsDefaultPropertyValue(&w, GetPropInfo(&w, "Caption")));

    w.SetName("W1");
    EXPECT_FALSE(stored("Name"));  // storage writes a component's name on its own

    w.Columns()->Clear();
    EXPECT_FALSE(stored("Columns"));

    TWideWidget wide(nullptr);  // the redeclared default (100) applies, not the parent's 64
    EXPECT_TRUE(IsStoredProp(&wide, "Width"));
    wide.SetWidth(100);
    EXPECT_FALSE(IsStoredProp(&wide, "Width"));
}

TEST(TypInfo, PropListPutsParentsFirstAndFilters)
{
    TWideWidget wide(nullptr);
    QStringList names;
    for (const TPropInfo* p : GetPropList(&wide))
        names.append(p->Name);
    EXPECT_EQ(names.join(','), "Name,Tag,Width,Big,Ratio,Caption,PasswordChar,Align,Visible,Styles,Font,Columns,Data,"
                               "Area,Extra");
    // The redeclared Width keeps its parent's place and the descendant's entry.
    EXPECT_EQ(GetPropList(&wide)[2], GetPropInfo(&wide, "Width"));
    EXPECT_EQ(std::get<int64_t>(*GetPropInfo(&wide, "Width")->Default), 100);

    QStringList classes;
    for (const TPropInfo* p : GetPropList(&wide, TTypeKinds{tkClass}))
        classes.append(p->Name);
    EXPECT_EQ(classes.join(','), "Font,Columns");
    EXPECT_EQ(GetPropList(&TComponent::StaticClassInfo(), tkProperties).size(), 2u);
    EXPECT_TRUE(GetPropList(static_cast<const TObject*>(nullptr)).empty());
}

TEST_F(TypInfoTest, AssignPublishedPropsCopiesValuesAndNestedObjects)
{
    TWidget source(nullptr);
    source.SetWidth(10);
    source.SetCaption("c");
    source.SetAlign(alRight);
    source.SetStyles({fsBold});
    source.SetData("xy");
    source.Font()->SetSize(30);
    source.Columns()->Add();
    SetStrProp(source.Columns()->Items(0), "Caption", "only");
    source.SetName("Src");

    AssignPublishedProps(&w, &source);
    EXPECT_EQ(w.Width(), 10);
    EXPECT_EQ(w.Caption(), "c");
    EXPECT_EQ(w.Align(), alRight);
    EXPECT_EQ(w.Styles(), TFontStyles{fsBold});
    EXPECT_EQ(w.Data(), "xy");
    EXPECT_EQ(w.Font()->Size(), 30);
    EXPECT_NE(w.Font(), source.Font());
    ASSERT_EQ(w.Columns()->Count(), 1);
    EXPECT_EQ(GetStrProp(&w, "Columns[0].Caption"), "only");
    EXPECT_EQ(w.Name(), "") << "a name is not stored, so not copied";
}
