#include "support/KitAppRegistryStorage.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "support/SxRegistry.h"

namespace {

class KitAppStorage : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(FDir.isValid());
        SetRegistryDirectory(FDir.path());
        S.SetRoot(QStringLiteral("Software"));
    }
    void TearDown() override { SetRegistryDirectory(String()); }
    String raw(const String& key, const String& name)
    {
        return ReadRegTextOr(HKEY_CURRENT_USER, QStringLiteral("Software\\") + key, name, QStringLiteral("<none>"));
    }
    QTemporaryDir FDir;
    TKitAppRegistryStorage S{nullptr};
};

TEST(KitAppStoragePaths, JoinPathsNormalises)
{
    const struct {
        QStringList parts;
        const char* joined;
    } cases[] = {
        {{"a\\b\\", ".."}, "a"},      {{"a", "..."}, ""},       {{"\\x", "y"}, "x\\y"},
        {{"a\\.\\b"}, "a\\b"},         {{"a\\\\b"}, "a\\b"},      {{"a\\b", "..\\c"}, "a\\c"},
        {{"a", "\\b"}, "b"},           {{"Vorlane\\", "Options"}, "Vorlane\\Options"},
        {{"a", "\\b", "c", "\\d", "e"}, "d\\e"}, {{"", ""}, ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(TKitCustomAppStorage::JoinPaths(c.parts), QString::fromLatin1(c.joined)) << c.parts.join(u'|').toStdString();
}

TEST_F(KitAppStorage, BooleansAreWordsAndReadManyWays)
{
    S.WriteBoolean(QStringLiteral("Vorlane\\B"), true);
    EXPECT_EQ(raw(QStringLiteral("Vorlane"), QStringLiteral("B")), QStringLiteral("TRUE"));
    const struct {
        const char* stored;
        bool def;
        bool expected;
    } reads[] = {
        {"yes", false, true}, {"Y", false, true}, {"true", false, true}, {"n", true, false}, {"No", true, false},
        {"1", false, true}, {"0", true, false}, {"maybe", true, true}, {"maybe", false, false},
    };
    for (const auto& r : reads) {
        WriteRegText(HKEY_CURRENT_USER, QStringLiteral("Software\\Vorlane"), QStringLiteral("B"), QString::fromLatin1(r.stored));
        EXPECT_EQ(S.ReadBoolean(QStringLiteral("Vorlane\\B"), r.def), r.expected) << r.stored;
    }
    EXPECT_TRUE(S.ReadBoolean(QStringLiteral("Vorlane\\Missing"), true));
    // An empty first word cannot be written: the words give way to numbers.
    S.StorageOptions()->SetBooleanStringTrueValues(QStringLiteral(", ON"));
    EXPECT_FALSE(S.StorageOptions()->BooleanAsString());
    S.WriteBoolean(QStringLiteral("Vorlane\\N"), true);
    EXPECT_EQ(ReadRegIntegerOr(HKEY_CURRENT_USER, QStringLiteral("Software\\Vorlane"), QStringLiteral("N"), -1), 1);
    S.StorageOptions()->SetBooleanAsString(true);
    EXPECT_FALSE(S.StorageOptions()->BooleanAsString());
}

const char* const levelNames[] = {"llQuiet", "llPanic", "llFatal", "llError", "llWarning", "llInfo"};
const TEnumInfo levelInfo{"TLevel", levelNames};

TEST_F(KitAppStorage, EnumerationsByNameOrNumber)
{
    const TKitOrdinalType level{tkEnumeration, &levelInfo};
    S.WriteEnumeration(QStringLiteral("E"), level, 3);
    EXPECT_EQ(raw(QString(), QStringLiteral("E")), QStringLiteral("llError"));
    const struct {
        const char* stored;  // nullptr: a DWORD 4
        int64_t expected;
    } reads[] = {{"llerror", 3}, {"LLINFO", 5}, {"2", 2}, {"unknown", 1}, {nullptr, 4}};
    for (const auto& r : reads) {
        if (r.stored != nullptr)
            WriteRegText(HKEY_CURRENT_USER, QStringLiteral("Software"), QStringLiteral("E"), QString::fromLatin1(r.stored));
        else
            WriteRegInteger(HKEY_CURRENT_USER, QStringLiteral("Software"), QStringLiteral("E"), 4);
        EXPECT_EQ(S.ReadEnumeration(QStringLiteral("E"), level, 1), r.expected) << (r.stored ? r.stored : "dword");
    }
    S.StorageOptions()->SetEnumerationAsString(false);
    S.WriteEnumeration(QStringLiteral("E2"), level, 5);
    EXPECT_EQ(ReadRegIntegerOr(HKEY_CURRENT_USER, QStringLiteral("Software"), QStringLiteral("E2"), -1), 5);
    EXPECT_THROW(S.WriteEnumeration(QStringLiteral("E3"), {tkFloat, nullptr}, 1), EKitAppStorageError);
}

TEST_F(KitAppStorage, SetsAsFolderOrText)
{
    const uint64_t v = (1u << 1) | (1u << 4);
    S.WriteSet(QStringLiteral("Set"), levelInfo, v);
    EXPECT_EQ(raw(QStringLiteral("Set"), QStringLiteral("llPanic")), QStringLiteral("TRUE"));
    EXPECT_EQ(raw(QStringLiteral("Set"), QStringLiteral("llQuiet")), QStringLiteral("FALSE"));
    EXPECT_EQ(S.ReadSet(QStringLiteral("Set"), levelInfo, 0), v);
    S.StorageOptions()->SetSetAsString(true);
    S.WriteSet(QStringLiteral("SetText"), levelInfo, v);
    EXPECT_EQ(raw(QString(), QStringLiteral("SetText")), QStringLiteral("[llPanic,llWarning]"));
    EXPECT_EQ(S.ReadSet(QStringLiteral("SetText"), levelInfo, 0), v);
}

// Records the order in which the primitives are called.
class SpyStorage : public TKitAppRegistryStorage {
public:
    using TKitAppRegistryStorage::TKitAppRegistryStorage;
    QStringList Log;

protected:
    void DoWriteString(const String& Path, const String& Value) override
    {
        Log << QStringLiteral("write ") + Path;
        TKitAppRegistryStorage::DoWriteString(Path, Value);
    }
    void DoWriteInteger(const String& Path, int Value) override
    {
        Log << QStringLiteral("int %1=%2").arg(Path).arg(Value);
        TKitAppRegistryStorage::DoWriteInteger(Path, Value);
    }
    void DoDeleteValue(const String& Path) override
    {
        Log << QStringLiteral("delete ") + Path;
        TKitAppRegistryStorage::DoDeleteValue(Path);
    }
};

TEST_F(KitAppStorage, StringListsShrinkItemsFirstThenCount)
{
    SpyStorage spy(nullptr);
    spy.SetRoot(QStringLiteral("Software"));
    TStringList five;
    five.SetCommaText(QStringLiteral("a,b,c,d,e"));
    spy.WriteStringList(QStringLiteral("L"), &five);
    TStringList three;
    three.SetCommaText(QStringLiteral("x,y,z"));
    spy.Log.clear();
    spy.WriteStringList(QStringLiteral("L"), &three);
    EXPECT_EQ(spy.Log, (QStringList{"write L\\Item0", "write L\\Item1", "write L\\Item2", "delete L\\Item3",
                                    "delete L\\Item4", "int L\\Count=3"}));
    TStringList back;
    back.Add(QStringLiteral("old"));
    EXPECT_EQ(spy.ReadStringList(QStringLiteral("L"), &back), 3);
    EXPECT_EQ(back.CommaText(), QStringLiteral("x,y,z"));
    EXPECT_EQ(raw(QStringLiteral("L"), QStringLiteral("Item3")), QStringLiteral("<none>"));

    // EnumValues reports the list as one unnamed value beside other values.
    spy.WriteInteger(QStringLiteral("L\\Width"), 5);
    TStringList names;
    spy.EnumValues(QStringLiteral("L"), &names, true);
    ASSERT_EQ(names.Count(), 2);
    EXPECT_EQ(names.Strings(0), String());
    EXPECT_EQ(names.Strings(1), QStringLiteral("Width"));
    EXPECT_TRUE(spy.FolderExists(QStringLiteral("L"), true));

    spy.StorageOptions()->SetStoreStringListAsSingleString(true);
    spy.WriteStringList(QStringLiteral("L"), &three);
    EXPECT_FALSE(spy.FolderExists(QStringLiteral("L"), false));
    EXPECT_EQ(raw(QString(), QStringLiteral("L")), QStringLiteral("x\r\ny\r\nz"));
    TStringList single;
    EXPECT_EQ(spy.ReadStringList(QStringLiteral("L"), &single), 3);
}

TEST_F(KitAppStorage, FloatsAreTenByteBinariesAndOtherKindsRaise)
{
    S.WriteFloat(QStringLiteral("F"), 1.5L);
    const String key = QStringLiteral("Software");
    char buf[16];
    EXPECT_EQ(ReadRegBinary(HKEY_CURRENT_USER, key, QStringLiteral("F"), 16, buf), 10);
    EXPECT_EQ(S.ReadFloat(QStringLiteral("F"), 0), 1.5L);
    for (long double v : {0.0L, -2.25L, 1e300L, 3.0e-5L})
        EXPECT_EQ(BytesToExtended(ExtendedToBytes(v)), v);
    WriteRegText(HKEY_CURRENT_USER, key, QStringLiteral("G"), QStringLiteral("2.5"));
    EXPECT_THROW(S.ReadFloat(QStringLiteral("G"), 7), ESxRegistryError);
    S.StorageOptions()->SetDefaultIfReadConvertError(true);
    EXPECT_EQ(S.ReadFloat(QStringLiteral("G"), 7), 7);
}

TEST_F(KitAppStorage, RootsWithMacros)
{
    TKitAppRegistryStorage none(nullptr);
    none.SetRoot(QStringLiteral("%NONE%"));
    none.WriteInteger(QStringLiteral("Top"), 1);
    EXPECT_EQ(ReadRegIntegerOr(HKEY_CURRENT_USER, String(), QStringLiteral("Top"), 0), 1);
    TKitAppRegistryStorage old(nullptr);
    old.SetUseOldDefaultRoot(true);
    EXPECT_EQ(old.Root(), QStringLiteral("Software\\Acme Films\\Reel"));
    // A missing value needs no back end; a missing key is created on write.
    EXPECT_EQ(S.ReadInteger(QStringLiteral("No\\Such"), 9), 9);
    S.WriteInteger(QStringLiteral("New\\Key\\V"), 3);
    EXPECT_TRUE(RegKeyPresent(HKEY_CURRENT_USER, QStringLiteral("Software\\New\\Key")));
}

TEST(KitTranslateString, MacrosTable)
{
    TKitTranslateString t(nullptr);
    const struct {
        const char* in;
        const char* out;
        bool changed;
    } cases[] = {
        {"Software\\%COMPANY_NAME%\\%APPL_NAME%", "Software\\Acme Films\\Reel", true},
        {"plain", "plain", false},
        {"a%FOO%b", "aFOOb", false},
        {"%", "", false},
        {"a%rest", "arest", false},
        {"% fileversion %", "2.0.0.7", true},
        {"%FORMNAME%", "", true},
    };
    for (const auto& c : cases) {
        bool changed = false;
        EXPECT_EQ(t.TranslateString(QString::fromLatin1(c.in), changed), QString::fromLatin1(c.out)) << c.in;
        EXPECT_EQ(changed, c.changed) << c.in;
    }
    bool changed = false;
    EXPECT_EQ(t.TranslateString(QStringLiteral("%date%"), changed).size(), 10);
    t.SetTimeFormat(QStringLiteral("hh:nn"));
    EXPECT_EQ(t.TimeSeparator(), QChar(u'h'));
}

}  // namespace
