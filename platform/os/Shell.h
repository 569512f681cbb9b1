// Shell.h - the desktop's shell: opening a file or folder with its default
// program, and showing a file selected in the file manager.
#pragma once
#include "platform/rtl/String.h"

// Opens a file or folder (or a URL) with the desktop's default program.
// False when the desktop has nothing to open it with.
bool ShellOpen(const String& FileOrFolder);

// Shows the file selected in its folder through the file manager's D-Bus
// interface (org.freedesktop.FileManager1.ShowItems); where no file manager
// answers, opens the folder instead.
bool ShellShowInFolder(const String& FileName);
