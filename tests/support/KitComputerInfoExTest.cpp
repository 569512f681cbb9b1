#include "support/KitComputerInfoEx.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <functional>
#include <optional>
#include <set>

#include "platform/graphics/SysMetrics.h"
#include "platform/rtl/DateTime.h"
#include "support/SxShell.h"

namespace {

const QString readOnlyText = QStringLiteral("This value is read-only and cannot be changed.");

// Sets environment variables for one test and puts the old values back.
class EnvGuard {
public:
    void Set(const char* name, const QString& value)
    {
        remember(name);
        qputenv(name, value.toLocal8Bit());
    }
    void Unset(const char* name)
    {
        remember(name);
        qunsetenv(name);
    }
    ~EnvGuard()
    {
        for (const auto& [name, value] : FSaved) {
            if (value)
                qputenv(name.c_str(), *value);
            else
                qunsetenv(name.c_str());
        }
    }

private:
    void remember(const char* name)
    {
        for (const auto& saved : FSaved)
            if (saved.first == name)
                return;
        FSaved.emplace_back(name, qEnvironmentVariableIsSet(name) ? std::optional(qgetenv(name)) : std::nullopt);
    }
    std::vector<std::pair<std::string, std::optional<QByteArray>>> FSaved;
};

void writeFile(const QString& path, const QByteArray& text)
{
    QDir().mkpath(path.section(u'/', 0, -2));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << path.toStdString();
    f.write(text);
}

template <class F>
void expectRefused(F&& write)
{
    try {
        write();
        ADD_FAILURE() << "the write was not refused";
    } catch (const EKitComputerInfoEx& e) {
        EXPECT_EQ(e.Message(), readOnlyText);
    }
}

TEST(KitComputerInfoEx, PersonalFolderFollowsUserDirsInATemporaryHome)
{
    QTemporaryDir home;
    ASSERT_TRUE(home.isValid());
    EnvGuard env;
    env.Set("HOME", home.path());
    env.Unset("XDG_CONFIG_HOME");
    writeFile(home.filePath(".config/user-dirs.dirs"),
              "# written by xdg-user-dirs-update\n"
              "XDG_DESKTOP_DIR=\"$HOME/Schreibtisch\"\n"
              "XDG_DOCUMENTS_DIR=\"$HOME/Meine Dokumente/\"\n");

    TKitComputerInfoEx info(nullptr);
    TKitSystemFolders* folders = info.Folders();
    EXPECT_EQ(folders->Personal(), home.path() + QStringLiteral("/Meine Dokumente"));
    EXPECT_EQ(folders->Desktop(), home.path() + QStringLiteral("/Schreibtisch"));
    EXPECT_EQ(folders->Templates(), home.path() + QStringLiteral("/Templates"));  // the XDG default
    EXPECT_EQ(folders->Profile(), home.path());

    folders->SetTrailingPathDelimiter(true);
    EXPECT_EQ(folders->Personal(), home.path() + QStringLiteral("/Meine Dokumente/"));
    // A folder without a counterpart stays empty instead of becoming the root.
    EXPECT_EQ(folders->Windows(), QString());
    EXPECT_EQ(folders->Cookies(), QString());

    // XDG_CONFIG_HOME names where the file lives.
    QTemporaryDir config;
    writeFile(config.filePath("user-dirs.dirs"), "XDG_DOCUMENTS_DIR=\"/srv/docs\"\n");
    env.Set("XDG_CONFIG_HOME", config.path());
    folders->SetTrailingPathDelimiter(false);
    EXPECT_EQ(GetStrProp(&info, QStringLiteral("Folders.Personal")), QStringLiteral("/srv/docs"));
}

TEST(KitComputerInfoEx, UserDirsParsing)
{
    const QString home = QStringLiteral("/home/u");
    const struct {
        const char* text;
        const char* expected;
    } cases[] = {
        {"XDG_DOCUMENTS_DIR=\"$HOME/Documents\"", "/home/u/Documents"},
        {"  XDG_DOCUMENTS_DIR=\"/data/docs/\"  ", "/data/docs"},
        {"XDG_DOCUMENTS_DIR=\"$HOME/a \\\"b\\\"\"", "/home/u/a \"b\""},
        {"#XDG_DOCUMENTS_DIR=\"$HOME/x\"", ""},
        {"XDG_DOCUMENTS_DIR=\"relative/path\"", ""},
        {"XDG_DOCUMENTS_DIR=$HOME/unquoted", ""},
        {"XDG_DOCUMENTS_DIR_OLD=\"$HOME/x\"\nXDG_DOCUMENTS_DIR=\"$HOME\"", "/home/u"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ParseUserDirs(QByteArray(c.text), "XDG_DOCUMENTS_DIR", home), QString::fromUtf8(c.expected)) << c.text;
}

TEST(KitComputerInfoEx, TempFollowsTheVariablesInOrder)
{
    EnvGuard env;
    env.Set("TMPDIR", QStringLiteral("/t/dir/"));
    env.Set("TMP", QStringLiteral("/t/tmp"));
    env.Set("TEMP", QStringLiteral("/t/temp"));
    TKitComputerInfoEx info(nullptr);
    EXPECT_EQ(info.Folders()->Temp(), QStringLiteral("/t/dir"));
    env.Unset("TMPDIR");
    EXPECT_EQ(info.Folders()->Temp(), QStringLiteral("/t/tmp"));
    env.Set("TMP", QString());
    EXPECT_EQ(info.Folders()->Temp(), QStringLiteral("/t/temp"));
    env.Unset("TEMP");
    env.Unset("TMP");
    EXPECT_EQ(info.Folders()->Temp(), QDir::currentPath());
    EXPECT_EQ(ExpandToLongPath(QStringLiteral("/no/such/PROGRA~1")), QStringLiteral("/no/such/PROGRA~1"));
}

TEST(KitComputerInfoEx, CurrentFolderIsWritableOnlyWhenNotReadOnly)
{
    QTemporaryDir target;
    ASSERT_TRUE(target.isValid());
    const QString before = QDir::currentPath();
    TKitComputerInfoEx info(nullptr);
    TKitSystemFolders* folders = info.Folders();
    expectRefused([&] { folders->SetCurrent(target.path()); });
    EXPECT_EQ(QDir::currentPath(), before);

    info.SetReadOnly(false);  // after the first read: copied into the sub-object
    SetStrProp(&info, QStringLiteral("Folders.Current"), target.path());
    EXPECT_EQ(QDir(QDir::currentPath()).canonicalPath(), QDir(target.path()).canonicalPath());
    QDir::setCurrent(before);

    // Read-only properties refuse whatever ReadOnly says.
    expectRefused([&] { SetStrProp(&info, QStringLiteral("Folders.Windows"), QStringLiteral("/x")); });
    expectRefused([&] { SetOrdProp(&info, QStringLiteral("OS.VersionMajor"), 5); });
    expectRefused([&] { SetOrdProp(&info, QStringLiteral("Metrics.MouseButtons"), 3); });
    expectRefused([&] { SetEnumProp(&info, QStringLiteral("System.ScreenSaverRunning"), QStringLiteral("True")); });
    // Facts that exist here but cannot be written refuse like a read-only value.
    expectRefused([&] { SetStrProp(&info, QStringLiteral("Identification.LocalComputerName"), QStringLiteral("x")); });
    expectRefused([&] { SetEnumProp(&info, QStringLiteral("Keyboard.CapsLock"), QStringLiteral("True")); });
    // Ignored setters.
    EXPECT_NO_THROW(SetEnumProp(&info, QStringLiteral("System.WindowsExtensions"), QStringLiteral("True")));
    EXPECT_NO_THROW(SetOrdProp(&info, QStringLiteral("Metrics.DoubleClickTime"), 1));
}

TEST(KitComputerInfoEx, ReadOnlyReachesSubObjectsCreatedLater)
{
    TKitComputerInfoEx info(nullptr);
    EXPECT_TRUE(info.ReadOnly());
    EXPECT_TRUE(info.Metrics()->ReadOnly());
    info.SetReadOnly(false);
    EXPECT_FALSE(info.Metrics()->ReadOnly());
    EXPECT_FALSE(info.Screen()->ReadOnly());  // created after the change
    EXPECT_TRUE(info.FileInfo()->ReadOnly());  // keeps its own
    info.SetReadOnly(true);
    EXPECT_TRUE(info.Screen()->ReadOnly());
}

TEST(KitComputerInfoEx, WritesAreDroppedWhileDesigning)
{
    TComponent form(nullptr);
    form.SetDesigning(true);
    auto* designed = new TKitComputerInfoEx(&form);  // owned by the form
    EXPECT_TRUE(KitComputerInfoDesigning());
    const QString before = QDir::currentPath();
    EXPECT_NO_THROW(SetOrdProp(designed, QStringLiteral("OS.VersionMajor"), 5));
    designed->SetReadOnly(false);
    EXPECT_NO_THROW(designed->Folders()->SetCurrent(QStringLiteral("/")));
    EXPECT_EQ(QDir::currentPath(), before);
    EXPECT_THROW(RefuseReadOnlyWrite(true), EKitComputerInfoEx);

    TKitComputerInfoEx running(nullptr);  // the last constructed one decides
    EXPECT_FALSE(KitComputerInfoDesigning());
}

TEST(KitComputerInfoEx, ProcessorCountEqualsNproc)
{
    QProcess nproc;
    nproc.start(QStringLiteral("nproc"), {});
    ASSERT_TRUE(nproc.waitForFinished(30000));
    const int expected = QString::fromLatin1(nproc.readAllStandardOutput()).trimmed().toInt();
    ASSERT_GT(expected, 0);
    TKitComputerInfoEx info(nullptr);
    EXPECT_EQ(info.CPU()->ProcessorCount(), expected);
    EXPECT_EQ(GetOrdProp(&info, QStringLiteral("CPU.ProcessorCount")), expected);
}

// Every published property of the component and of each object below it.
void readAll(const TObject* object, const QString& path, std::set<const TObject*>& seen, int& count)
{
    if (object == nullptr || !seen.insert(object).second)
        return;
    for (const TPropInfo* prop : GetPropList(object, tkProperties)) {
        const QString name = path + prop->Name;
        SCOPED_TRACE(name.toStdString());
        if (prop->Kind == tkClass) {
            TObject* child = nullptr;
            EXPECT_NO_THROW(child = GetObjectProp(object, prop));
            readAll(child, name + u'.', seen, count);
        } else {
            EXPECT_NO_THROW(GetPropValue(object, prop));
            ++count;
        }
    }
}

TEST(KitComputerInfoEx, PublishedPropertiesReadWithoutException)
{
    TKitComputerInfoEx info(nullptr);
    std::set<const TObject*> seen;
    int count = 0;
    readAll(&info, QString(), seen, count);
    EXPECT_GT(count, 300);
    for (const char* sub : {"APM", "BIOS", "Colors", "CPU", "FileInfo", "Folders", "Identification", "Keyboard",
                            "Memory", "Metrics", "Misc", "OS", "Screen", "System", "System.SoundSentry",
                            "Misc.Versions", "System.WorkArea"})
        EXPECT_NE(GetObjectProp(&info, QString::fromLatin1(sub)), nullptr) << sub;
}

TEST(KitComputerInfoEx, OnlyTheOriginalsStoredPropertiesAreStored)
{
    TKitComputerInfoEx info(nullptr);
    QStringList stored;
    for (const TPropInfo& prop : TKitComputerInfoEx::StaticClassInfo().Props)
        if (!prop.StoredFn || prop.StoredFn(&info))
            stored << prop.Name;
    EXPECT_EQ(stored, (QStringList{QStringLiteral("Folders"), QStringLiteral("Metrics"), QStringLiteral("ReadOnly")}));
    EXPECT_FALSE(IsStoredProp(&info, QStringLiteral("ReadOnly")));  // at its default
    EXPECT_FALSE(IsStoredProp(info.Folders(), QStringLiteral("TrailingPathDelimiter")));
    info.Folders()->SetTrailingPathDelimiter(true);
    EXPECT_TRUE(IsStoredProp(info.Folders(), QStringLiteral("TrailingPathDelimiter")));
    EXPECT_FALSE(IsStoredProp(info.Folders(), QStringLiteral("Personal")));
}

TEST(KitComputerInfoEx, MetricsAndColoursComeFromTheDrawingLayersTables)
{
    TKitComputerInfoEx info(nullptr);
    const struct {
        const char* name;
        int index;
    } metrics[] = {{"ScrollWidth", SM_CXVSCROLL}, {"WindowCaptionHeight", SM_CYCAPTION}, {"ScreenWidth", SM_CXSCREEN},
                   {"SmallIconWidth", SM_CXSMICON}, {"FixedFrameWidth", SM_CXDLGFRAME},
                   {"DialogFrameWidth", SM_CXDLGFRAME}, {"ResizeBorderHeight", SM_CYFRAME}};
    for (const auto& m : metrics)
        EXPECT_EQ(GetOrdProp(&info, QStringLiteral("Metrics.") + QLatin1String(m.name)), GetSystemMetrics(m.index))
            << m.name;
    EXPECT_EQ(GetOrdProp(&info, QStringLiteral("Colors.ColorBtnFace")), GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(GetOrdProp(&info, QStringLiteral("Colors.Color3DFace")), GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(GetOrdProp(&info, QStringLiteral("Colors.ColorMenuBar")), GetSysColor(COLOR_MENUBAR));
    EXPECT_EQ(info.Screen()->Width(), static_cast<uint32_t>(GetSystemMetrics(SM_CXSCREEN)));
    EXPECT_EQ(info.Screen()->Hz(), 60u);  // no graphical screen in this program
    EXPECT_EQ(info.Metrics()->CursorX(), -1);
    const TKitRect* area = info.System()->WorkArea();
    EXPECT_EQ(area->Right() - area->Left(), GetSystemMetrics(SM_CXSCREEN));
}

TEST(KitComputerInfoEx, ArrangeConversion)
{
    EXPECT_EQ(ArrangeFromPlatform(0), (TKitWindowsArrange{waBottomLeft, waRight}));
    EXPECT_EQ(ArrangeFromPlatform(6), (TKitWindowsArrange{waTopLeft, waDown}));
    EXPECT_EQ(ArrangeFromPlatform(9), (TKitWindowsArrange{waHide}));
    EXPECT_EQ(ArrangeFromPlatform(1), (TKitWindowsArrange{waBottomRight, waLeft}));
    EXPECT_EQ(ArrangeFromPlatform(5), (TKitWindowsArrange{waBottomRight, waUp}));
    for (int v = 0; v < 8; ++v)
        EXPECT_EQ(ArrangeToPlatform(ArrangeFromPlatform(v)), v) << v;
}

TEST(KitComputerInfoEx, DeviceNotices)
{
    TKitComputerInfoEx info(nullptr);
    QString added, removed;
    int deviceEvents = 0;
    info.OnDeviceAdded = TKitDriveChangeEvent::FromFunction([&](TObject*, QChar d) { added += d; });
    info.OnDeviceRemoved = TKitDriveChangeEvent::FromFunction([&](TObject*, QChar d) { removed += d; });
    info.OnDeviceChange = TKitDeviceChangeEvent::FromFunction([&](TObject*, uint32_t, void*) { ++deviceEvents; });
    const auto send = [&](uintptr_t event, uint32_t type, uint32_t mask, uint16_t flags) {
        TDevBroadcastVolume v{{sizeof(TDevBroadcastVolume), type, 0}, mask, flags};
        info.NotificationProc(0x219, event, reinterpret_cast<intptr_t>(&v));
    };
    send(0x8000, 2, 0x10, 1);
    send(0x8000, 2, 0x10, 0);  // no media bit
    send(0x8000, 5, 0x10, 1);  // not a volume
    send(0x8000, 2, 0x00, 1);  // no unit
    send(0x8004, 2, 0x06, 1);
    EXPECT_EQ(added, QStringLiteral("E"));
    EXPECT_EQ(removed, QStringLiteral("B"));
    EXPECT_EQ(deviceEvents, 0);
    info.NotificationProc(0x219, 0x0007, 0);
    EXPECT_EQ(deviceEvents, 1);

    int bpp = 0, w = 0, h = 0;
    info.OnDisplayChange = TKitDisplayChangeEvent::FromFunction([&](TObject*, int b, int x, int y) {
        bpp = b;
        w = x;
        h = y;
    });
    info.NotificationProc(0x7E, 32, (768 << 16) | 1024);
    EXPECT_EQ(bpp, 32);
    EXPECT_EQ(w, 1024);
    EXPECT_EQ(h, 768);

    QString section = QStringLiteral("unset");
    info.OnSettingChange = TKitSettingChangeEvent::FromFunction([&](TObject*, int, const String& s) { section = s; });
    const char16_t text[] = u"intl";
    info.NotificationProc(0x1A, 0, reinterpret_cast<intptr_t>(text));
    EXPECT_EQ(section, QStringLiteral("intl"));
    info.NotificationProc(0x1A, 0, 0);
    EXPECT_EQ(section, QString());
}

TEST(KitComputerInfoEx, MiscAndFileInfo)
{
    EXPECT_EQ(FormatTimeRunning(((24 + 2) * 3600 + 3 * 60 + 4) * 1000LL),
              QStringLiteral("1 ") + TimeToStr(EncodeTime(2, 3, 4, 0)));
    EXPECT_EQ(FormatTimeRunning(0), QStringLiteral("0 ") + TimeToStr(0));

    TKitComputerInfoEx info(nullptr);
    EXPECT_GT(info.Misc()->TimeRunning(), 0);
    EXPECT_EQ(info.Misc()->DVDRegion(), -1);

    TKitFileInfo* file = info.FileInfo();
    file->SetFileName(QStringLiteral("/nowhere/x.zqx"));
    EXPECT_EQ(file->TypeString(), QStringLiteral("ZQX file"));
    EXPECT_EQ(file->AttrString(), QString());

    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString hidden = dir.filePath(".hidden.txt");
    writeFile(hidden, "x");
    QFile::setPermissions(hidden, QFileDevice::ReadOwner | QFileDevice::ReadGroup);
    file->SetFileName(hidden);
    EXPECT_EQ(file->AttrString(), QStringLiteral("HR"));
    EXPECT_EQ(file->DisplayName(), QStringLiteral(".hidden.txt"));
    EXPECT_FALSE(file->TypeString().isEmpty());
    file->SetFileName(dir.path());
    EXPECT_EQ(file->AttrString(), QStringLiteral("D"));

    file->SetModifiers(TKitIconModifiers{imSmall});
    EXPECT_EQ(file->Modifiers(), (TKitIconModifiers{imNormal, imSmall}));
}

}  // namespace
