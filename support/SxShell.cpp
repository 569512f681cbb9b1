#include "support/SxShell.h"

#include <QFile>

#include <pwd.h>
#include <unistd.h>

#include <array>

String HomeFolder()
{
    const String home = qEnvironmentVariable("HOME");
    if (!home.isEmpty())
        return home;
    std::array<char, 4096> buffer{};
    passwd pw{};
    passwd* result = nullptr;
    if (getpwuid_r(geteuid(), &pw, buffer.data(), buffer.size(), &result) != 0 || result == nullptr)
        return {};
    return String::fromUtf8(result->pw_dir);
}

namespace {

String trimmedFolder(String path)
{
    while (path.size() > 1 && path.endsWith(u'/'))
        path.chop(1);
    return path;
}

// Relative values are ignored, as the XDG base directory rules say.
String xdgBase(const char* variable, const char* fallback)
{
    const String value = qEnvironmentVariable(variable);
    if (value.startsWith(u'/'))
        return trimmedFolder(value);
    const String home = HomeFolder();
    return home.isEmpty() ? String() : trimmedFolder(home) + u'/' + String::fromLatin1(fallback);
}

}  // namespace

String XdgConfigHome() { return xdgBase("XDG_CONFIG_HOME", ".config"); }
String XdgDataHome() { return xdgBase("XDG_DATA_HOME", ".local/share"); }

String ParseUserDirs(const QByteArray& Text, const char* Key, const String& Home)
{
    const QByteArray key(Key);
    for (const QByteArray& raw : Text.split('\n')) {
        const QByteArray line = raw.trimmed();
        if (line.startsWith('#') || !line.startsWith(key + '='))
            continue;
        QByteArray value = line.mid(key.size() + 1).trimmed();
        if (value.size() < 2 || value.front() != '"' || value.back() != '"')
            continue;
        value = value.mid(1, value.size() - 2);
        // The format escapes quotes, backslashes and dollars with a backslash.
        QByteArray unescaped;
        for (qsizetype i = 0; i < value.size(); ++i) {
            if (value[i] == '\\' && i + 1 < value.size())
                ++i;
            unescaped += value[i];
        }
        String path;
        if (value.startsWith("$HOME/") || value == "$HOME")
            path = trimmedFolder(Home) + String::fromUtf8(unescaped.mid(5));
        else if (value.startsWith('/'))
            path = String::fromUtf8(unescaped);
        else
            continue;
        return trimmedFolder(path);
    }
    return {};
}

String XdgUserDir(const char* Key, const char* Fallback)
{
    const String home = HomeFolder();
    const String config = XdgConfigHome();
    if (!config.isEmpty()) {
        QFile f(config + QLatin1String("/user-dirs.dirs"));
        if (f.open(QIODevice::ReadOnly)) {
            const String value = ParseUserDirs(f.read(256 * 1024), Key, home);
            if (!value.isEmpty())
                return value;
        }
    }
    if (home.isEmpty())
        return {};
    return trimmedFolder(home) + u'/' + String::fromLatin1(Fallback);
}

String SpecialFolderPath(int FolderId)
{
    switch (FolderId) {
    case CSIDL_DESKTOP:
    case CSIDL_DESKTOPDIRECTORY: return XdgUserDir("XDG_DESKTOP_DIR", "Desktop");
    case CSIDL_PERSONAL: return XdgUserDir("XDG_DOCUMENTS_DIR", "Documents");
    case CSIDL_TEMPLATES: return XdgUserDir("XDG_TEMPLATES_DIR", "Templates");
    case CSIDL_APPDATA: return XdgDataHome();
    case CSIDL_FONTS: {
        const String data = XdgDataHome();
        return data.isEmpty() ? String() : data + QLatin1String("/fonts");
    }
    case CSIDL_PROFILE: {
        const String home = HomeFolder();
        return home.isEmpty() ? String() : trimmedFolder(home);
    }
    default: return {};
    }
}

String ExpandToLongPath(const String& Path)
{
    return Path;
}
