#include "platform/rtl/String.h"

#include <QStringDecoder>

AnsiString Utf8FileName(const String& fileName)
{
    return fileName.toUtf8();
}

String LibraryText(const char* text)
{
    return text == nullptr ? String() : LibraryText(AnsiString(text));
}

String LibraryText(const AnsiString& text)
{
    // QString::fromUtf8 already maps each invalid sequence to U+FFFD.
    return String::fromUtf8(text);
}

String FromStd(const std::string& text)
{
    return String::fromStdString(text);
}

std::string ToStd(const String& text)
{
    return text.toStdString();
}
