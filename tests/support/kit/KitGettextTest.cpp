// Catalogues made by msgfmt: resource strings translated in both byte orders
// and without the hash table, damaged files refused, domains and fall-backs.
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "platform/controls/Forms.h"
#include "support/BxButton.h"
#include "support/KitGettext.h"

namespace {

VORLANE_RESOURCESTRING(STestOnlyInKit, "Only the kit knows this");
VORLANE_RESOURCESTRING(STestEmoji, "Smile");
VORLANE_RESOURCESTRING(STestTwoLines, "Line1\r\nLine2");
VORLANE_RESOURCESTRING(STestFilesIn, "%d files in %s");
VORLANE_RESOURCESTRING(STestPercent, "%d%% done");
VORLANE_RESOURCESTRING(STestWidth, "[%5d]");
VORLANE_RESOURCESTRING(STestKinds, "%s: %d");
VORLANE_RESOURCESTRING(STestNotAFormat, "Half of it, 50% off");

const char* const germanPo = R"(msgid ""
msgstr ""
"Content-Type: text/plain; charset=UTF-8\n"

msgid "OK"
msgstr "Gut"

msgid "Cancel"
msgstr "Abbrechen"

msgid "&Help"
msgstr "&Hilfe"

msgid "App"
msgstr "Anwendung"

msgid "Apple"
msgstr "Apfel"

msgid "Smile"
msgstr "L\303\244cheln \360\237\230\200"

msgid "Line1\nLine2"
msgstr "Zeile1\nZeile2"
)";

const char* const kitPo = R"(msgid ""
msgstr ""
"Content-Type: text/plain; charset=UTF-8\n"

msgid "Cancel"
msgstr "Kit-Abbrechen"

msgid "Only the kit knows this"
msgstr "Nur das Kit weiss das"
)";

const char* const latin1Po = "msgid \"\"\nmsgstr \"\"\n\"Content-Type: text/plain; charset=ISO-8859-1\\n\"\n\n"
                             "msgid \"OK\"\nmsgstr \"Fine\"\n";

// Compiles a .po text into a .mo file with msgfmt and the given options.
QByteArray msgfmt(const QTemporaryDir& dir, const char* po, const QStringList& options)
{
    const QString poName = dir.filePath(QStringLiteral("in.po")), moName = dir.filePath(QStringLiteral("out.mo"));
    QFile f(poName);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(po);
    f.close();
    QFile::remove(moName);
    QProcess p;
    p.start(QStringLiteral("msgfmt"), options + QStringList{QStringLiteral("-o"), moName, poName});
    EXPECT_TRUE(p.waitForFinished(30000));
    EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().constData();
    QFile mo(moName);
    EXPECT_TRUE(mo.open(QIODevice::ReadOnly));
    return mo.readAll();
}

void writeFile(const QString& name, const QByteArray& data)
{
    QDir().mkpath(QFileInfo(name).absolutePath());
    QFile f(name);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(data);
}

// One warning line per refusal is what the user sees of a damaged file.
QStringList* warnings = nullptr;
void collect(QtMsgType type, const QMessageLogContext&, const QString& text)
{
    if (warnings != nullptr && type == QtWarningMsg)
        warnings->append(text);
}

class KitGettextTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(tmp.isValid());
        ASSERT_NE(GettextInstance(), nullptr);
        locale = tmp.filePath(QStringLiteral("locale"));
        instance = GettextInstance();
        savedLanguage = instance->LanguageCode();
    }
    void TearDown() override
    {
        instance->SetDomainFolder(QStringLiteral("default"), instance->DefaultCatalogueFolder());
        instance->SetDomainFolder(QStringLiteral("kit"), instance->DefaultCatalogueFolder());
        instance->SelectLanguage(savedLanguage);
        // A catalogue without UTF-8 turns its domain off for good; the next test starts afresh.
        for (const char* name : {"default", "kit"})
            instance->GetDomain(QString::fromLatin1(name), instance->DefaultCatalogueFolder(), savedLanguage)->Active = true;
        BxButtonInitialization();
        qInstallMessageHandler(nullptr);
        warnings = nullptr;
    }
    void useLocale(const QString& language)
    {
        instance->SetDomainFolder(QStringLiteral("default"), locale);
        instance->SetDomainFolder(QStringLiteral("kit"), locale);
        instance->SelectLanguage(language);
    }
    QString moPath(const char* lang, const char* domain)
    {
        return locale + QStringLiteral("/%1/LC_MESSAGES/%2.mo").arg(QLatin1String(lang), QLatin1String(domain));
    }

    QTemporaryDir tmp;
    QString locale;
    TGettextInstance* instance = nullptr;
    String savedLanguage;
};

TEST_F(KitGettextTest, KindCaptionsAreTranslatedWhileFormTextsStay)
{
    writeFile(moPath("de", "default"), msgfmt(tmp, germanPo, {}));
    useLocale(QStringLiteral("de_DE"));  // falls back to "de"
    BxButtonInitialization();            // the captions are loaded at start-up
    EXPECT_EQ(BitBtnKindCaption(bkCancel), QStringLiteral("Abbrechen"));
    EXPECT_EQ(BitBtnKindCaption(bkHelp), QStringLiteral("&Hilfe"));
    EXPECT_EQ(BitBtnKindCaption(bkAbort), QStringLiteral("Abort"));  // not in the catalogue

    TApplication app(nullptr);
    app.Initialize();
    TForm form(nullptr);
    auto* cancel = new TBxBitBtn(&form);
    cancel->SetParent(&form);
    cancel->SetKind(bkCancel);
    auto* plain = new TBxButton(&form);
    plain->SetParent(&form);
    plain->SetCaption(QStringLiteral("OK"));  // a form's own text
    EXPECT_EQ(cancel->Caption(), QStringLiteral("Abbrechen"));
    EXPECT_EQ(plain->Caption(), QStringLiteral("OK"));
    EXPECT_EQ(LoadResString(BxConsts::SOKButton), QStringLiteral("Gut"));
}

TEST_F(KitGettextTest, ByteOrdersAndHashlessCataloguesTranslateTheSame)
{
    const struct {
        const char* name;
        QStringList options;
        bool sameByteOrder;
    } variants[] = {{"little", {QStringLiteral("--endianness=little")}, true},
                    {"big", {QStringLiteral("--endianness=big")}, false},
                    {"no hash", {QStringLiteral("--no-hash")}, true}};
    for (const auto& v : variants) {
        SCOPED_TRACE(v.name);
        const auto mo = TMoFile::FromBytes(msgfmt(tmp, germanPo, v.options), QStringLiteral("x.mo"));
        EXPECT_EQ(mo->SameByteOrder(), v.sameByteOrder);
        bool found = false;
        EXPECT_EQ(mo->LookUp("Cancel", found), QByteArray("Abbrechen"));
        EXPECT_TRUE(found);
        EXPECT_EQ(mo->LookUp("Apple", found), QByteArray("Apfel"));
        EXPECT_EQ(mo->LookUp("App", found), QByteArray("Anwendung"));
        EXPECT_EQ(mo->LookUp("Ap", found), QByteArray("Ap"));  // a prefix of entries is not an entry
        EXPECT_FALSE(found);
        EXPECT_EQ(mo->LookUp("Zzz", found), QByteArray("Zzz"));
        EXPECT_FALSE(found);
    }
    writeFile(moPath("de", "default"), msgfmt(tmp, germanPo, {QStringLiteral("--endianness=big")}));
    useLocale(QStringLiteral("de"));
    EXPECT_EQ(LoadResString(BxConsts::SCancelButton), QStringLiteral("Abbrechen"));
}

TEST_F(KitGettextTest, EveryKeyOfALargeCatalogueIsFound)
{
    QByteArray po = "msgid \"\"\nmsgstr \"Content-Type: text/plain; charset=UTF-8\\n\"\n";
    for (int i = 0; i < 137; ++i)
        po += QStringLiteral("msgid \"key%1\"\nmsgstr \"value%1\"\n").arg(i * 7919 % 1000).toUtf8();
    const auto mo = TMoFile::FromBytes(msgfmt(tmp, po.constData(), {}), QStringLiteral("x.mo"));
    for (int i = 0; i < 137; ++i) {
        bool found = false;
        const QByteArray k = QStringLiteral("key%1").arg(i * 7919 % 1000).toUtf8();
        EXPECT_EQ(mo->LookUp(k, found), QStringLiteral("value%1").arg(i * 7919 % 1000).toUtf8());
        EXPECT_TRUE(found) << k.constData();
    }
    bool found = true;
    mo->LookUp("key", found);
    EXPECT_FALSE(found);
}

TEST_F(KitGettextTest, DamagedCataloguesAreRefusedWithOneLogLine)
{
    const QByteArray good = msgfmt(tmp, germanPo, {});
    QByteArray badTable = good;
    badTable[12] = char(0xF0);  // key table offset far outside the file
    QByteArray zeroEntries(28, '\0');
    const char magic[] = {char(0xDE), char(0x12), char(0x04), char(0x95)};
    zeroEntries.replace(0, 4, QByteArray(magic, 4));
    const struct {
        const char* name;
        QByteArray data;
        bool refused;
    } cases[] = {{"truncated", good.left(good.size() / 2), true},
                 {"header only part", good.left(20), true},
                 {"wrong magic", QByteArray("not a catalogue at all, really"), true},
                 {"table outside", badTable, true},
                 {"zero entries", zeroEntries, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.refused)
            EXPECT_THROW(TMoFile::FromBytes(c.data, QStringLiteral("x.mo")), EGGIOError);
        else {
            const auto mo = TMoFile::FromBytes(c.data, QStringLiteral("x.mo"));
            bool found = true;
            EXPECT_EQ(mo->LookUp("OK", found), QByteArray("OK"));
            EXPECT_FALSE(found);
        }
    }
    writeFile(moPath("de", "default"), good.left(good.size() - 40));
    QStringList lines;
    warnings = &lines;
    qInstallMessageHandler(collect);
    useLocale(QStringLiteral("de"));
    EXPECT_EQ(LoadResString(BxConsts::SCancelButton), QStringLiteral("Cancel"));
    EXPECT_EQ(LoadResString(BxConsts::SHelpButton), QStringLiteral("&Help"));
    ASSERT_EQ(lines.size(), 1);
    EXPECT_TRUE(lines[0].startsWith(QStringLiteral("This file is not a valid GNU gettext mo file: ")));
}

TEST_F(KitGettextTest, CharactersOutsideTheBasicPlaneRoundTrip)
{
    writeFile(moPath("de", "default"), msgfmt(tmp, germanPo, {}));
    useLocale(QStringLiteral("de"));
    const String smile = LoadResString(STestEmoji);
    EXPECT_EQ(smile, QString::fromUtf8("L\xC3\xA4" "cheln \xF0\x9F\x98\x80"));
    EXPECT_EQ(Utf8ToUtf16(Utf16ToUtf8(smile)), smile);
    EXPECT_EQ(Utf16ToUtf8(smile).right(4), QByteArray("\xF0\x9F\x98\x80"));
    EXPECT_THROW(Utf8ToUtf16(QByteArray("\xC3")), Exception);
    EXPECT_THROW(Utf8ToUtf16(QByteArray("a\x80")), Exception);
    EXPECT_THROW(Utf8ToUtf16(QByteArray("\xFF")), Exception);
}

TEST_F(KitGettextTest, DomainsAreAskedInOrderAndLineBreaksMatch)
{
    writeFile(moPath("de", "default"), msgfmt(tmp, germanPo, {}));
    writeFile(moPath("de", "kit"), msgfmt(tmp, kitPo, {}));
    useLocale(QStringLiteral("de_AT.UTF-8"));
    EXPECT_EQ(LoadResString(BxConsts::SCancelButton), QStringLiteral("Abbrechen"));  // "default" first
    EXPECT_EQ(LoadResString(STestOnlyInKit), QStringLiteral("Nur das Kit weiss das"));
    EXPECT_EQ(LoadResString(STestTwoLines), QStringLiteral("Zeile1\nZeile2"));
    EXPECT_EQ(TranslateResourceString(String()), String());  // the header is never handed out
    EXPECT_EQ(AddCarriageReturns("\na\nb\r\nc"), QByteArray("\na\r\nb\r\nc"));
}

TEST_F(KitGettextTest, ACatalogueWithoutUtf8CharsetTurnsTheDomainOff)
{
    writeFile(moPath("xx", "default"), msgfmt(tmp, latin1Po, {}));
    QStringList lines;
    warnings = &lines;
    qInstallMessageHandler(collect);
    useLocale(QStringLiteral("xx"));
    EXPECT_EQ(LoadResString(BxConsts::SOKButton), QStringLiteral("OK"));
    EXPECT_EQ(LoadResString(BxConsts::SOKButton), QStringLiteral("OK"));
    EXPECT_EQ(lines.size(), 1);
    TDomain* domain = instance->GetDomain(QStringLiteral("default"), locale, QStringLiteral("xx"));
    EXPECT_FALSE(domain->Active);
}

// Translations of format strings that would not take the original's
// arguments are passed over; the rest, reordered ones included, are used.
TEST_F(KitGettextTest, TranslationsOfFormatsMustTakeTheOriginalArguments)
{
    const char* const po = R"(msgid ""
msgstr ""
"Content-Type: text/plain; charset=UTF-8\n"

msgid "%d files in %s"
msgstr "%1:s: %0:d Dateien"

msgid "%d%% done"
msgstr "%.999999999d%% fertig"

msgid "[%5d]"
msgstr "[%999999999d]"

msgid "%s: %d"
msgstr "%d: %s"

msgid "Half of it, 50% off"
msgstr "Die Haelfte, 50% weniger"
)";
    writeFile(moPath("de", "default"), msgfmt(tmp, po, {}));
    useLocale(QStringLiteral("de"));
    EXPECT_EQ(LoadResStringFmt(STestFilesIn, {3, QStringLiteral("/tmp")}), QStringLiteral("/tmp: 3 Dateien"));
    EXPECT_EQ(LoadResString(STestPercent), QStringLiteral("%d%% done"));
    EXPECT_EQ(LoadResStringFmt(STestWidth, {42}), QStringLiteral("[   42]"));
    EXPECT_EQ(LoadResString(STestKinds), QStringLiteral("%s: %d"));
    EXPECT_EQ(LoadResString(STestNotAFormat), QStringLiteral("Die Haelfte, 50% weniger"));
}

TEST_F(KitGettextTest, TwoDomainsOnOneFileShareOneCatalogue)
{
    writeFile(moPath("de", "default"), msgfmt(tmp, germanPo, {}));
    TFileLocator locator;
    TDomain a(locator), b(locator);
    for (TDomain* d : {&a, &b}) {
        d->DomainName = QStringLiteral("default");
        d->SetFolder(locale);
        d->SetLanguage(QStringLiteral("de"));
        EXPECT_EQ(d->Translate("OK"), QByteArray("Gut"));
    }
    EXPECT_EQ(a.Catalogue, b.Catalogue);
    EXPECT_EQ(a.Catalogue->UserCount, 2);
    EXPECT_EQ(locator.CatalogueCount(), 1);
    a.CloseCatalogue();
    EXPECT_EQ(locator.CatalogueCount(), 1);
    b.CloseCatalogue();
    EXPECT_EQ(locator.CatalogueCount(), 0);
}

TEST(KitGettextLanguage, EnvironmentChoosesTheLanguage)
{
    const char* names[] = {"LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG"};
    QByteArray saved[4];
    for (int i = 0; i < 4; ++i) {
        saved[i] = qgetenv(names[i]);
        qunsetenv(names[i]);
    }
    const struct {
        const char* language;
        const char* lcAll;
        const char* lang;
        const char* expected;
    } cases[] = {{"", "", "de_DE.UTF-8", "de_DE"},
                 {"", "fr_FR@euro", "de_DE.UTF-8", "fr_FR"},
                 {"pt_BR:pt", "fr_FR", "de_DE", "pt_BR"},
                 {"", "", "", "C"}};
    for (const auto& c : cases) {
        qputenv("LANGUAGE", c.language);
        qputenv("LC_ALL", c.lcAll);
        qputenv("LANG", c.lang);
        EXPECT_EQ(SystemLanguageCode(), QString::fromLatin1(c.expected));
    }
    for (int i = 0; i < 4; ++i)
        if (saved[i].isNull())
            qunsetenv(names[i]);
        else
            qputenv(names[i], saved[i]);
}

}  // namespace
