#include "support/SxBase.h"

#include <atomic>
#include <cerrno>
#include <cstring>
#include <system_error>

namespace {
// The 8-bit code pages of the original all replace with '?'; the byte
// strings here are UTF-8 or Latin-1, whose converters use the same.
std::atomic<char> ansiDefaultChar{'\0'};
}  // namespace

String SxSystemErrorText(int error)
{
    return String::fromLocal8Bit(std::generic_category().message(error));
}

void SxRaiseOSError(int error)
{
    throw EOSError(LoadResString(SxResources::RsSystemError), {error, SxSystemErrorText(error)});
}

ESxWin32Error::ESxWin32Error(const String& ResourceText) : ESxWin32Error(ResourceText, static_cast<uint32_t>(errno)) {}

ESxWin32Error::ESxWin32Error(const String& ResourceText, uint32_t LastError)
    : ESxError(LoadResString(SxResources::RsWin32Prefix),
               {SxSystemErrorText(static_cast<int>(LastError)), LastError, String::fromLatin1("\r\n"), ResourceText}),
      FLastError(LastError),
      FLastErrorMsg(SxSystemErrorText(static_cast<int>(LastError)))
{
}

char AnsiDefaultChar()
{
    return ansiDefaultChar.load();
}

void LoadAnsiDefaultChar()
{
    const QByteArray replaced = String(QChar(0xFFFF)).toLatin1();
    if (replaced.size() != 1)
        throw ESxInternalError(LoadResString(SxResources::RsCannotGetAnsiDefaultChar));
    ansiDefaultChar.store(replaced[0]);
}
