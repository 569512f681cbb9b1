// SxShell.h - special folders by their shell folder ids, answered from the
// XDG base and user directories, and the long form of a path.
#pragma once
#include <QByteArray>

#include "platform/rtl/String.h"

// The shell folder ids that have a counterpart here.
enum : int {
    CSIDL_DESKTOP = 0, CSIDL_PROGRAMS = 2, CSIDL_PERSONAL = 5, CSIDL_FAVORITES = 6, CSIDL_STARTUP = 7,
    CSIDL_RECENT = 8, CSIDL_SENDTO = 9, CSIDL_STARTMENU = 11, CSIDL_DESKTOPDIRECTORY = 16,
    CSIDL_NETHOOD = 19, CSIDL_FONTS = 20, CSIDL_TEMPLATES = 21, CSIDL_COMMON_STARTMENU = 22,
    CSIDL_COMMON_PROGRAMS = 23, CSIDL_COMMON_STARTUP = 24, CSIDL_COMMON_DESKTOPDIRECTORY = 25,
    CSIDL_APPDATA = 26, CSIDL_PRINTHOOD = 27, CSIDL_COMMON_FAVORITES = 31, CSIDL_INTERNET_CACHE = 32,
    CSIDL_COOKIES = 33, CSIDL_HISTORY = 34, CSIDL_COMMON_APPDATA = 35, CSIDL_PROFILE = 40
};

// The folder's path without a trailing delimiter; empty for an id that has
// no counterpart or when the home folder is unknown.
String SpecialFolderPath(int FolderId);

// $HOME, else the password database's home folder.
String HomeFolder();
// $XDG_CONFIG_HOME, else ~/.config (likewise ~/.local/share for data).
String XdgConfigHome();
String XdgDataHome();
// A key of user-dirs.dirs ("XDG_DOCUMENTS_DIR"): the file's value with
// $HOME expanded, else Home + "/" + Fallback.
String XdgUserDir(const char* Key, const char* Fallback);
// The value of Key in the text of a user-dirs.dirs file; empty when absent
// or not of the accepted forms ("$HOME/..." or an absolute path).
String ParseUserDirs(const QByteArray& Text, const char* Key, const String& Home);

// Names here have no short forms: a path comes back as it is.
String ExpandToLongPath(const String& Path);
