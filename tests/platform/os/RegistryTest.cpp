#include "platform/os/Registry.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>
#include <iostream>

namespace {

class RegistryStore : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(FDir.isValid());
        SetRegistryDirectory(FDir.path());
    }
    void TearDown() override { SetRegistryDirectory(String()); }

    String file() const { return RegistryFileName(HKEY_CURRENT_USER); }
    void writeFile(const QByteArray& bytes) const
    {
        QFile f(file());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
    }
    QByteArray readFile() const
    {
        QFile f(file());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    QStringList setAside() const
    {
        return QDir(FDir.path()).entryList({QStringLiteral("HKEY_CURRENT_USER.reg.bad-*")}, QDir::Files);
    }

    // Memory-backed when the machine has it: the writers flush every change.
    QTemporaryDir FDir{QDir(QStringLiteral("/dev/shm")).exists() ? QStringLiteral("/dev/shm/vorlane-reg-XXXXXX")
                                                                  : QDir::tempPath() + QStringLiteral("/vorlane-reg-XXXXXX")};
};

HKEY createKey(const String& path)
{
    HKEY h = 0;
    EXPECT_EQ(RegCreateKeyEx(HKEY_CURRENT_USER, path, KEY_ALL_ACCESS, &h), ERROR_SUCCESS);
    return h;
}

TEST_F(RegistryStore, EveryKindSurvivesTheFileByteForByte)
{
    const HKEY h = createKey(QStringLiteral("Software\\Vorlane"));
    const QByteArray multi = RegStringBytes(QStringLiteral("a")) + RegStringBytes(QStringLiteral("b")) + QByteArray(2, 0);
    const struct {
        const char* name;
        uint32_t kind;
        QByteArray data;
    } values[] = {
        {"Text", REG_SZ, RegStringBytes(QStringLiteral("C:\\out \"q\" \u00e9"))},
        {"", REG_SZ, RegStringBytes(QStringLiteral("default"))},
        {"Lines", REG_SZ, RegStringBytes(QStringLiteral("one\r\ntwo"))},
        {"NoTerminator", REG_SZ, QByteArray("x\0", 2)},
        {"Count", REG_DWORD, RegDWordBytes(0xDEADBEEF)},
        {"ShortDword", REG_DWORD, QByteArray("\x01\x02", 2)},
        {"Blob", REG_BINARY, QByteArray("\x00\xff\x10", 3)},
        {"Empty", REG_BINARY, QByteArray()},
        {"Expand", REG_EXPAND_SZ, RegStringBytes(QStringLiteral("%HOME%/x"))},
        {"Multi", REG_MULTI_SZ, multi},
        {"Big", REG_QWORD, RegQWordBytes(0x0123456789ABCDEFull)},
        {"Quote\"And\\Slash\nName", REG_DWORD, RegDWordBytes(7)},
        // Lone surrogates have no UTF-8 form; a whole pair does.
        {"LoneHigh", REG_SZ, RegStringBytes(String(QChar(0xD800)) + QStringLiteral("A"))},
        {"LoneLow", REG_SZ, RegStringBytes(QStringLiteral("A") + QChar(0xDC00) + QStringLiteral("B"))},
        {"HighAtEnd", REG_SZ, RegStringBytes(QStringLiteral("AB") + QChar(0xDBFF))},
        {"Swapped", REG_SZ, RegStringBytes(String(QChar(0xDE00)) + QChar(0xD83D))},
        {"Pair", REG_SZ, RegStringBytes(QString::fromUtf8("smile \xF0\x9F\x98\x80"))},
    };
    for (const auto& v : values)
        ASSERT_EQ(RegSetValueEx(h, String::fromUtf8(v.name), v.kind, v.data), ERROR_SUCCESS) << v.name;
    RegCloseKey(h);

    // Another writer's identical copy forces a fresh parse of the text.
    const QByteArray text = readFile();
    ASSERT_FALSE(text.isEmpty());
    QFile::remove(file());
    writeFile(text);

    HKEY r = 0;
    ASSERT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, QStringLiteral("SOFTWARE\\vorlane"), 0, KEY_READ, &r), ERROR_SUCCESS);
    for (const auto& v : values) {
        uint32_t kind = 0;
        QByteArray data;
        ASSERT_EQ(RegQueryValueEx(r, String::fromUtf8(v.name), &kind, &data), ERROR_SUCCESS) << v.name;
        EXPECT_EQ(kind, v.kind) << v.name;
        EXPECT_EQ(data, v.data) << v.name;
    }
    RegCloseKey(r);
    EXPECT_TRUE(setAside().isEmpty());
    EXPECT_TRUE(text.contains("\"Count\"=dword:deadbeef\n"));
    EXPECT_TRUE(text.contains("@=\"default\"\n"));
    EXPECT_TRUE(text.contains("\"Blob\"=hex:00,ff,10\n"));
    EXPECT_TRUE(text.contains("\"Big\"=hex(b):ef,cd,ab,89,67,45,23,01\n"));
    EXPECT_TRUE(text.contains("\"LoneHigh\"=hex(1):00,d8,41,00,00,00\n"));
    EXPECT_TRUE(text.contains("\"Pair\"=\"smile \xF0\x9F\x98\x80\"\n"));
}

TEST_F(RegistryStore, KeysAndValuesAreCaseInsensitiveAndKeepTheirCase)
{
    RegCloseKey(createKey(QStringLiteral("Software\\Vorlane\\Options")));
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey(QStringLiteral("\\SOFTWARE"), false));
    EXPECT_EQ(reg.GetKeyNames(), QStringList{QStringLiteral("Vorlane")});
    ASSERT_TRUE(reg.OpenKey(QStringLiteral("vorlane\\OPTIONS"), false));
    reg.WriteString(QStringLiteral("edtOutPath_Text"), QStringLiteral("/tmp/a"));
    reg.WriteString(QStringLiteral("EDTOUTPATH_TEXT"), QStringLiteral("/tmp/b"));
    EXPECT_EQ(reg.GetValueNames(), QStringList{QStringLiteral("edtOutPath_Text")});
    EXPECT_EQ(reg.ReadString(QStringLiteral("EdtOutPath_text")), QStringLiteral("/tmp/b"));
    EXPECT_TRUE(readFile().contains("[HKEY_CURRENT_USER\\Software\\Vorlane\\Options]\n\"edtOutPath_Text\"=\"/tmp/b\""));
}

TEST_F(RegistryStore, DeletingKeysAndValues)
{
    RegCloseKey(createKey(QStringLiteral("A\\B\\C")));
    RegCloseKey(createKey(QStringLiteral("A\\D")));
    EXPECT_EQ(RegDeleteKey(HKEY_CURRENT_USER, QStringLiteral("A")), ERROR_ACCESS_DENIED);
    EXPECT_EQ(RegDeleteKey(HKEY_CURRENT_USER, QStringLiteral("A\\D")), ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteKey(HKEY_CURRENT_USER, QStringLiteral("A\\D")), ERROR_FILE_NOT_FOUND);
    const HKEY h = createKey(QStringLiteral("A"));
    EXPECT_EQ(RegSetValueEx(h, QStringLiteral("v"), REG_DWORD, RegDWordBytes(1)), ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteValue(h, QStringLiteral("V")), ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteValue(h, QStringLiteral("V")), ERROR_FILE_NOT_FOUND);
    RegCloseKey(h);
    TRegistry reg;
    EXPECT_TRUE(reg.DeleteKey(QStringLiteral("A")));
    EXPECT_FALSE(reg.KeyExists(QStringLiteral("A")));
    // A handle whose key went away reports it instead of resurrecting it.
    const HKEY gone = createKey(QStringLiteral("X"));
    EXPECT_EQ(RegDeleteKey(HKEY_CURRENT_USER, QStringLiteral("X")), ERROR_SUCCESS);
    EXPECT_EQ(RegSetValueEx(gone, QStringLiteral("v"), REG_SZ, RegStringBytes(QStringLiteral("x"))), ERROR_KEY_DELETED);
    RegCloseKey(gone);
}

TEST_F(RegistryStore, OtherRootsAreEmptyAndRefuseWrites)
{
    HKEY h = 0;
    EXPECT_EQ(RegOpenKeyEx(HKEY_LOCAL_MACHINE, QStringLiteral("Software"), 0, KEY_READ, &h), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegCreateKeyEx(HKEY_LOCAL_MACHINE, QStringLiteral("Software"), KEY_ALL_ACCESS, &h), ERROR_ACCESS_DENIED);
    EXPECT_EQ(RegSetValueEx(HKEY_LOCAL_MACHINE, QStringLiteral("v"), REG_SZ, RegStringBytes(QStringLiteral("x"))),
              ERROR_ACCESS_DENIED);
    EXPECT_EQ(RegEnumKeyEx(HKEY_USERS, 0, nullptr), ERROR_NO_MORE_ITEMS);
}

TEST_F(RegistryStore, ADamagedFileIsSetAsideAndNeverOverwritten)
{
    const char* damaged[] = {
        "\"v\"=\"value before any key\"\n",
        "[HKEY_LOCAL_MACHINE\\Software]\n",
        "[HKEY_CURRENT_USER\\Software]\n\"v\"=dword:123\n",
        "[HKEY_CURRENT_USER\\Software]\n\"v\"=\"unterminated\n",
        "[HKEY_CURRENT_USER\\Software]\n\"v\"=hex:1,zz\n",
        "[HKEY_CURRENT_USER\\Software\n",
        "[HKEY_CURRENT_USER\\\\Software]\n",
        "[HKEY_CURRENT_USER\\Software]\ngarbage\n",
        "[HKEY_CURRENT_USER\\Software]\n\"v\"=\"\xff\xfe\"\n",
        "[HKEY_CURRENT_USER\\Software]\n\"v\"=\"bad \\q escape\"\n",
    };
    for (const char* content : damaged) {
        for (const auto& f : setAside())
            QFile::remove(FDir.path() + u'/' + f);
        writeFile(QByteArray(content));
        HKEY h = 0;
        EXPECT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, QStringLiteral("Software"), 0, KEY_READ, &h), ERROR_FILE_NOT_FOUND)
            << content;
        const QStringList aside = setAside();
        ASSERT_EQ(aside.size(), 1) << content;
        QFile bad(FDir.path() + u'/' + aside[0]);
        ASSERT_TRUE(bad.open(QIODevice::ReadOnly));
        EXPECT_EQ(bad.readAll(), QByteArray(content));
        EXPECT_FALSE(QFile::exists(file())) << content;
    }
    // The program goes on with an empty store and writes a new file.
    const HKEY h = createKey(QStringLiteral("Software"));
    EXPECT_EQ(RegSetValueEx(h, QStringLiteral("v"), REG_DWORD, RegDWordBytes(3)), ERROR_SUCCESS);
    RegCloseKey(h);
    EXPECT_TRUE(readFile().contains("\"v\"=dword:00000003"));
    EXPECT_EQ(setAside().size(), 1);
}

TEST_F(RegistryStore, AWriteKeepsWhatAnotherWriterChangedMeanwhile)
{
    const HKEY h = createKey(QStringLiteral("Software"));
    EXPECT_EQ(RegSetValueEx(h, QStringLiteral("mine"), REG_DWORD, RegDWordBytes(1)), ERROR_SUCCESS);
    // Another process replaced the file since our last read.
    const QByteArray theirs = readFile().replace("\"mine\"=dword:00000001", "\"mine\"=dword:00000001\n\"theirs\"=\"t\"");
    QFile::remove(file());
    writeFile(theirs);
    EXPECT_EQ(RegSetValueEx(h, QStringLiteral("mine2"), REG_DWORD, RegDWordBytes(2)), ERROR_SUCCESS);
    RegCloseKey(h);
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey(QStringLiteral("Software"), false));
    EXPECT_EQ(reg.GetValueNames(), (QStringList{"mine", "theirs", "mine2"}));
}

// ---- several processes ----------------------------------------------------------

QString payload(int n) { return QStringLiteral("%1:").arg(n) + QString(2000, QChar(u'a' + n % 26)); }
constexpr int kSlots = 40;

// The child side: runs only when a parent test starts this binary for it.
TEST(RegistryChild, Run)
{
    const QByteArray mode = qgetenv("VORLANE_REG_CHILD");
    if (mode.isEmpty())
        GTEST_SKIP() << "started only by the multi-process tests";
    SetRegistryDirectory(qEnvironmentVariable("VORLANE_REG_DIR"));
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey(QStringLiteral("Software\\Test"), true));
    if (mode == "writer") {
        const String tag = qEnvironmentVariable("VORLANE_REG_TAG");
        for (int i = 0; i < 500; ++i) {
            reg.WriteInteger(tag + QString::number(i), i);
            if (i % 25 == 24)
                QThread::usleep(500);
        }
        return;
    }
    // Appender: continues the sequence the slots hold and never stops.
    int next = 0;
    for (const auto& name : reg.GetValueNames())
        next = std::max(next, reg.ReadString(name).section(u':', 0, 0).toInt() + 1);
    for (bool first = true;; first = false) {
        reg.WriteString(QStringLiteral("Slot%1").arg(next % kSlots), payload(next));
        ++next;
        if (first)
            std::cout << "ready" << std::endl;
    }
}

QProcess* startChild(QObject* parent, const QByteArray& mode, const String& dir, const String& tag = String())
{
    auto* p = new QProcess(parent);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("VORLANE_REG_CHILD"), QString::fromLatin1(mode));
    env.insert(QStringLiteral("VORLANE_REG_DIR"), dir);
    env.insert(QStringLiteral("VORLANE_REG_TAG"), tag);
    p->setProcessEnvironment(env);
    p->setProcessChannelMode(QProcess::MergedChannels);
    p->start(QCoreApplication::applicationFilePath(), {QStringLiteral("--gtest_filter=RegistryChild.Run")});
    return p;
}

TEST_F(RegistryStore, TwoProcessesWritingInterleavedKeepAllTheirValues)
{
    QObject owner;
    QProcess* a = startChild(&owner, "writer", FDir.path(), QStringLiteral("A"));
    QProcess* b = startChild(&owner, "writer", FDir.path(), QStringLiteral("B"));
    ASSERT_TRUE(a->waitForFinished(60000));
    ASSERT_TRUE(b->waitForFinished(60000));
    ASSERT_EQ(a->exitCode(), 0) << a->readAll().constData();
    ASSERT_EQ(b->exitCode(), 0) << b->readAll().constData();
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey(QStringLiteral("Software\\Test"), false));
    const QStringList names = reg.GetValueNames();
    EXPECT_EQ(names.size(), 1000);
    for (int i = 0; i < 500; ++i)
        for (const char* tag : {"A", "B"}) {
            const String name = String::fromLatin1(tag) + QString::number(i);
            ASSERT_TRUE(reg.ValueExists(name)) << name.toStdString();
            EXPECT_EQ(reg.ReadInteger(name), i);
        }
    EXPECT_TRUE(setAside().isEmpty());
}

TEST_F(RegistryStore, AWriterKilledAtRandomLeavesTheStateBeforeOrAfterItsLastWrite)
{
    QRandomGenerator rng(12345);
    int lastNewest = -1;
    for (int round = 0; round < 100; ++round) {
        QObject owner;
        QProcess* p = startChild(&owner, "appender", FDir.path());
        QByteArray out;
        while (!out.contains("ready") && p->waitForReadyRead(10000))
            out += p->readAll();
        ASSERT_TRUE(out.contains("ready")) << out.constData();
        QThread::usleep(rng.bounded(20000));
        p->kill();
        ASSERT_TRUE(p->waitForFinished(10000));

        // The slots hold the last kSlots writes of one unbroken sequence.
        SetRegistryDirectory(FDir.path());
        TRegistry reg;
        ASSERT_TRUE(reg.OpenKey(QStringLiteral("Software\\Test"), false)) << "round " << round;
        std::vector<int> seen;
        for (const auto& name : reg.GetValueNames()) {
            const String v = reg.ReadString(name);
            const int n = v.section(u':', 0, 0).toInt();
            ASSERT_EQ(v, payload(n)) << "round " << round;
            ASSERT_EQ(name, QStringLiteral("Slot%1").arg(n % kSlots));
            seen.push_back(n);
        }
        ASSERT_FALSE(seen.empty());
        const int newest = *std::max_element(seen.begin(), seen.end());
        const int oldest = *std::min_element(seen.begin(), seen.end());
        EXPECT_GT(newest, lastNewest);
        EXPECT_EQ(newest - oldest + 1, std::min<int>(newest + 1, kSlots)) << "round " << round;
        EXPECT_EQ(int(seen.size()), std::min<int>(newest + 1, kSlots));
        lastNewest = newest;
    }
    EXPECT_TRUE(setAside().isEmpty());
    EXPECT_TRUE(QDir(FDir.path()).entryList({QStringLiteral("*.tmp.*")}, QDir::Files).size() <= 1);
}

}  // namespace
