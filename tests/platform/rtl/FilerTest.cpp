// Tests of component streaming: a component with every kind of stored
// value, a nested object and a collection written and read back; damaged
// streams refused before anything is set.
#include <gtest/gtest.h>

#include <memory>

#include "platform/rtl/Collection.h"
#include "platform/rtl/Filer.h"
#include "platform/rtl/TypInfo.h"
#include "tests/harness/Mutation.h"

namespace {

class Part : public TCollectionItem {
public:
    using TCollectionItem::TCollectionItem;
    const TClassInfo* ClassInfo() const override { return &StaticClassInfo(); }
    static const TClassInfo& StaticClassInfo()
    {
        static const TClassInfo info = TClassInfoBuilder<Part>("TPart", &TCollectionItem::StaticClassInfo())
                                           .Int("Value", [](const Part& p) { return p.Value; },
                                                [](Part& p, int v) { p.Value = v; }, 0)
                                           .Build();
        return info;
    }
    int Value = 0;
};

class Inner : public TPersistent {
public:
    const TClassInfo* ClassInfo() const override { return &StaticClassInfo(); }
    static const TClassInfo& StaticClassInfo()
    {
        static const TClassInfo info = TClassInfoBuilder<Inner>("TInner")
                                           .Str("Text", [](const Inner& i) { return i.Text; },
                                                [](Inner& i, const String& v) { i.Text = v; })
                                           .Build();
        return info;
    }
    String Text;
};

enum TColour : uint8_t { Red, Green, Blue };
constexpr const char* colourNames[] = {"Red", "Green", "Blue"};
constexpr TEnumInfo colourInfo{"TColour", colourNames};

class Box : public TComponent {
public:
    explicit Box(TComponent* AOwner) : TComponent(AOwner), Parts(ItemClassOf<Part>()) {}
    String ClassName() const override { return String::fromLatin1("TBox"); }
    const TClassInfo* ClassInfo() const override { return &StaticClassInfo(); }
    static const TClassInfo& StaticClassInfo()
    {
        static const TClassInfo info =
            TClassInfoBuilder<Box>("TBox", &TComponent::StaticClassInfo())
                .Int("Width", [](const Box& b) { return b.Width; }, [](Box& b, int v) { b.Width = v; }, 64)
                .Float("Ratio", [](const Box& b) { return b.Ratio; }, [](Box& b, double v) { b.Ratio = v; })
                .Bool("Shown", [](const Box& b) { return b.Shown; }, [](Box& b, bool v) { b.Shown = v; }, false)
                .Enum("Colour", colourInfo, [](const Box& b) { return b.Colour; },
                      [](Box& b, TColour v) { b.Colour = v; }, Red)
                .Binary("Data", [](const Box& b) { return b.Data; }, [](Box& b, const QByteArray& v) { b.Data = v; })
                .Object("Inner", [](const Box& b) { return const_cast<Inner*>(&b.In); })
                .Collection("Parts", [](const Box& b) { return const_cast<TCollection*>(&b.Parts); })
                .Build();
        return info;
    }
    int Width = 64;
    double Ratio = 0;
    bool Shown = false;
    TColour Colour = Red;
    QByteArray Data;
    Inner In;
    TCollection Parts;
};

QByteArray written(const Box& ABox)
{
    TMemoryStream s;
    WriteComponent(&s, &ABox);
    return QByteArray(static_cast<const char*>(s.Memory()), qsizetype(s.Size()));
}

void readInto(const QByteArray& ABytes, Box& ABox)
{
    TMemoryStream s;
    s.WriteBuffer(ABytes.constData(), ABytes.size());
    s.SetPosition(0);
    ReadComponent(&s, &ABox);
}

std::unique_ptr<Box> sample()
{
    auto b = std::make_unique<Box>(nullptr);
    b->Width = 7;
    b->Ratio = 2.5;
    b->Shown = true;
    b->Colour = Blue;
    b->Data = QByteArray("\x00\x01\xFF", 3);
    b->In.Text = String::fromLatin1("inside");
    for (int v : {3, 4})
        static_cast<Part*>(b->Parts.Add())->Value = v;
    return b;
}

std::string readError(const QByteArray& ABytes)
{
    Box b(nullptr);
    try {
        readInto(ABytes, b);
    } catch (const EReadError& e) {
        return e.Message().toStdString();
    }
    return "";
}

}  // namespace

TEST(Filer, RoundTripOfEveryKind)
{
    const auto source = sample();
    const QByteArray bytes = written(*source);
    EXPECT_TRUE(bytes.startsWith("VLCS\x01"));
    Box copy(nullptr);
    readInto(bytes, copy);
    EXPECT_EQ(copy.Width, 7);
    EXPECT_EQ(copy.Ratio, 2.5);
    EXPECT_TRUE(copy.Shown);
    EXPECT_EQ(copy.Colour, Blue);
    EXPECT_EQ(copy.Data, source->Data);
    EXPECT_EQ(copy.In.Text, String::fromLatin1("inside"));
    ASSERT_EQ(copy.Parts.Count(), 2);
    EXPECT_EQ(static_cast<Part*>(copy.Parts.Items(1))->Value, 4);
    EXPECT_EQ(written(copy), bytes);

    // Defaults are not written, so they read back as the instance has them.
    Box plain(nullptr), other(nullptr);
    other.Width = 99;
    readInto(written(plain), other);
    EXPECT_EQ(other.Width, 99);
}

TEST(Filer, DamageIsRefusedBeforeAnythingIsSet)
{
    const QByteArray bytes = written(*sample());
    vorlane::test::ForEachTruncation(bytes, [](const QByteArray& cut) {
        Box b(nullptr);
        EXPECT_THROW(readInto(cut, b), EReadError);
        EXPECT_EQ(b.Width, 64);  // the tree was never applied
    });
    EXPECT_EQ(readError(QByteArray("XXXX\x01", 5) + bytes.mid(5)), "Stream read error");

    auto name = [](const char* AName) {
        QByteArray r;
        const String s = String::fromLatin1(AName);
        const int32_t n = int32_t(s.size());
        r.append(reinterpret_cast<const char*>(&n), 4);
        r.append(reinterpret_cast<const char*>(s.utf16()), n * 2);
        return r;
    };
    const QByteArray head = QByteArray("VLCS\x01", 5) + name("TBox") + name("");
    const QByteArray end(4, '\0');
    EXPECT_EQ(readError(head + name("Width") + "\x01" + QByteArray(8, '\0') + end), "");
    EXPECT_EQ(readError(head + name("Nothing") + "\x01" + QByteArray(8, '\0') + end),
              "Property Nothing does not exist");
    EXPECT_EQ(readError(head + name("Width") + "\x03" + name("x") + end), "Invalid property value");
    EXPECT_EQ(readError(head + name("Colour") + "\x01" + QByteArray("\x07\0\0\0\0\0\0\0", 8) + end),
              "Invalid property value");
    EXPECT_EQ(readError(head + name("Inner.Text") + "\x03" + name("x") + end), "Property Inner.Text does not exist");
    EXPECT_EQ(readError(head + name("Width") + "\x09" + end), "Stream read error");
    EXPECT_EQ(readError(name("TBox")), "Stream read error");
    EXPECT_EQ(readError(QByteArray("VLCS\x01", 5) + name("TOther") + name("") + end), "Stream read error");
    // A count far beyond the data takes no memory for it.
    EXPECT_EQ(readError(head + name("Data") + "\x04" + QByteArray("\xFF\xFF\xFF\x7F", 4) + end),
              "Stream read error");
    EXPECT_EQ(readError(head + name("Parts") + "\x06" + QByteArray("\xFF\xFF\xFF\x7F", 4) + end),
              "Stream read error");
    // Nesting deeper than any stored form.
    QByteArray deep = head;
    for (int i = 0; i < 40; ++i)
        deep += name("Inner") + "\x05";
    EXPECT_EQ(readError(deep + end), "Stream read error");
}

TEST(Filer, FixedSeedMutationsNeverCrash)
{
    int accepted = 0;
    vorlane::test::ForEachMutation({written(*sample())}, 29, 3000, [&](const QByteArray& mutant) {
        Box b(nullptr);
        try {
            readInto(mutant, b);
            ++accepted;
        } catch (const EReadError&) {
        }
    });
    EXPECT_GT(accepted, 0);
}
