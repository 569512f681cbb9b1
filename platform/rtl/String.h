// String.h - the text types of the codebase: String is UTF-16 text (shared
// on copy), AnsiString the 8-bit strings of option texts and library calls.
#pragma once
#include <QByteArray>
#include <QString>
#include <string>

using String = QString;
using AnsiString = QByteArray;

// File names go to the media libraries as UTF-8.
AnsiString Utf8FileName(const String& fileName);

// Texts that come from the libraries are meant to be UTF-8 but may be
// Latin-1 or broken: invalid sequences become U+FFFD, nothing is dropped.
String LibraryText(const char* text);
String LibraryText(const AnsiString& text);

// std::string bridges for code that talks to the standard library.
String FromStd(const std::string& text);
std::string ToStd(const String& text);
