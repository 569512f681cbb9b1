#include "support/SxRegistry.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class SxRegistry : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(FDir.isValid());
        SetRegistryDirectory(FDir.path());
    }
    void TearDown() override { SetRegistryDirectory(String()); }
    QTemporaryDir FDir;
    const String K = QStringLiteral("Software\\Test");
};

String messageOf(const std::function<void()>& f)
{
    try {
        f();
    } catch (const ESxRegistryError& e) {
        return e.Message();
    }
    return QStringLiteral("(no error)");
}

TEST_F(SxRegistry, ReadsCheckTheKindAndGiveDefaults)
{
    WriteRegInteger(HKEY_CURRENT_USER, K, QStringLiteral("Dword"), 7);
    WriteRegText(HKEY_CURRENT_USER, K, QStringLiteral("Num"), QStringLiteral("42"));
    WriteRegText(HKEY_CURRENT_USER, K, QStringLiteral("Bad"), QStringLiteral("4x"));
    const char twelve[12] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
    WriteRegBinary(HKEY_CURRENT_USER, K, QStringLiteral("Twelve"), 12, twelve);
    WriteRegIntegerTyped(HKEY_CURRENT_USER, K, QStringLiteral("Q"), -2, REG_QWORD);

    EXPECT_EQ(ReadRegTextOr(HKEY_CURRENT_USER, K, QStringLiteral("Dword"), QStringLiteral("def")), QStringLiteral("def"));
    EXPECT_EQ(ReadRegIntegerOr(HKEY_CURRENT_USER, K, QStringLiteral("Num"), -1), 42);
    EXPECT_EQ(ReadRegIntegerOr(HKEY_CURRENT_USER, K, QStringLiteral("Bad"), -1), -1);
    EXPECT_EQ(ReadRegIntegerOr(HKEY_CURRENT_USER, K, QStringLiteral("Q"), 0), -2);
    int v = 99;
    EXPECT_FALSE(TryReadRegInteger(HKEY_CURRENT_USER, K, QStringLiteral("Twelve"), false, v));
    EXPECT_EQ(v, 99);
    EXPECT_EQ(messageOf([&] { TryReadRegInteger(HKEY_CURRENT_USER, K, QStringLiteral("Twelve"), true, v); }),
              QStringLiteral("\"HKEY_CURRENT_USER\\Software\\Test\\Twelve\" is of wrong kind or size"));
    EXPECT_THROW(TryReadRegInteger(HKEY_CURRENT_USER, K, QStringLiteral("Bad"), true, v), EConvertError);
    EXPECT_EQ(messageOf([&] { ReadRegText(HKEY_CURRENT_USER, QStringLiteral("Nope"), QStringLiteral("x")); }),
              QStringLiteral("Unable to open key \"HKEY_CURRENT_USER\\Nope\" for read"));
    EXPECT_EQ(messageOf([&] { ReadRegText(HKEY_CURRENT_USER, K, QStringLiteral("x")); }),
              QStringLiteral("Unable to open key \"HKEY_CURRENT_USER\\Software\\Test\" and access value \"x\""));
    char buf[4];
    EXPECT_EQ(ReadRegBinary(HKEY_CURRENT_USER, K, QStringLiteral("Dword"), 4, buf), 4);
    EXPECT_TRUE(ReadRegBooleanOr(HKEY_CURRENT_USER, K, QStringLiteral("Dword"), false));
}

TEST_F(SxRegistry, RootNamesInKeysMustMatchTheRoot)
{
    WriteRegText(HKEY_CURRENT_USER, QStringLiteral("HKCU\\Software\\A"), QStringLiteral("v"), QStringLiteral("x"));
    EXPECT_EQ(ReadRegText(HKEY_CURRENT_USER, QStringLiteral("\\HKEY_CURRENT_USER\\Software\\A"), QStringLiteral("v")),
              QStringLiteral("x"));
    EXPECT_EQ(messageOf([&] { RegKeyPresent(HKEY_LOCAL_MACHINE, QStringLiteral("HKCU\\Software")); }),
              QStringLiteral("\"HKCU\\Software\" does not match RootKey"));
    EXPECT_EQ(RootKeyName(0x1234), QStringLiteral("0x00001234"));
    EXPECT_EQ(messageOf([&] { WriteRegText(HKEY_LOCAL_MACHINE, QStringLiteral("Software"), QStringLiteral("v"), QStringLiteral("x")); }),
              QStringLiteral("Unable to open key \"HKEY_LOCAL_MACHINE\\Software\" for write"));
    EXPECT_EQ(messageOf([&] { WriteRegIntegerTyped(HKEY_CURRENT_USER, K, QStringLiteral("v"), 1, REG_MULTI_SZ); }),
              QStringLiteral("\"HKEY_CURRENT_USER\\Software\\Test\\v\" is of wrong kind or size"));
}

TEST_F(SxRegistry, IntegersAndTextsOfChosenKinds)
{
    WriteRegIntegerTyped(HKEY_CURRENT_USER, K, QStringLiteral("s"), -5, REG_SZ);
    WriteRegCardinalTyped(HKEY_CURRENT_USER, K, QStringLiteral("u"), 0xFFFFFFFF, REG_SZ);
    WriteRegCardinalTyped(HKEY_CURRENT_USER, K, QStringLiteral("q"), 0xFFFFFFFF, REG_QWORD);
    EXPECT_EQ(ReadRegText(HKEY_CURRENT_USER, K, QStringLiteral("s")), QStringLiteral("-5"));
    EXPECT_EQ(ReadRegText(HKEY_CURRENT_USER, K, QStringLiteral("u")), QStringLiteral("4294967295"));
    uint64_t q = 0;
    EXPECT_EQ(ReadRegBinary(HKEY_CURRENT_USER, K, QStringLiteral("q"), 8, &q), 8);
    EXPECT_EQ(q, 0xFFFFFFFFull);
    WriteRegTextTyped(HKEY_CURRENT_USER, K, QStringLiteral("e"), QStringLiteral("%HOME%"), REG_EXPAND_SZ);
    EXPECT_EQ(ReadRegText(HKEY_CURRENT_USER, K, QStringLiteral("e")), QStringLiteral("%HOME%"));
}

TEST_F(SxRegistry, DeletingValuesAndTrees)
{
    WriteRegInteger(HKEY_CURRENT_USER, K + QStringLiteral("\\A\\B"), QStringLiteral("v"), 1);
    WriteRegInteger(HKEY_CURRENT_USER, K + QStringLiteral("\\C"), QStringLiteral("v"), 1);
    EXPECT_TRUE(DeleteRegValue(HKEY_CURRENT_USER, K + QStringLiteral("\\C"), QStringLiteral("v")));
    EXPECT_EQ(messageOf([&] { DeleteRegValue(HKEY_CURRENT_USER, K + QStringLiteral("\\C"), QStringLiteral("v")); }),
              QStringLiteral("Unable to open key \"HKEY_CURRENT_USER\\Software\\Test\\C\" and access value \"v\""));
    EXPECT_TRUE(DeleteRegKeyTree(HKEY_CURRENT_USER, K));
    EXPECT_FALSE(RegKeyPresent(HKEY_CURRENT_USER, K));
    EXPECT_TRUE(RegKeyPresent(HKEY_CURRENT_USER, QStringLiteral("Software")));
    EXPECT_EQ(messageOf([&] { DeleteRegKeyTree(HKEY_CURRENT_USER, K); }),
              QStringLiteral("Unable to open key \"HKEY_CURRENT_USER\\Software\\Test\" for write"));
}

}  // namespace
