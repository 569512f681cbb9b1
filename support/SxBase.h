// SxBase.h - the exception family of the support units and the replacement
// character of the 8-bit code page.
#pragma once
#include <cstdint>

#include "platform/rtl/Exception.h"
#include "platform/rtl/ResString.h"

namespace SxResources {
VORLANE_RESOURCESTRING(RsWin32Prefix, "Win32 error: %s (%u)%s%s");
VORLANE_RESOURCESTRING(RsSystemError, "System Error.  Code: %d.\n%s");
VORLANE_RESOURCESTRING(RsCannotGetAnsiDefaultChar, "Failed to get ANSI replacement character");
}  // namespace SxResources

VORLANE_DECLARE_EXCEPTION(ESxError, Exception);
VORLANE_DECLARE_EXCEPTION(ESxInternalError, ESxError);

// Keeps the operating system's error code (errno here) and its text beside
// the resource text that says what failed.
class ESxWin32Error : public ESxError {
public:
    // Takes errno as it is now.
    explicit ESxWin32Error(const String& ResourceText);
    ESxWin32Error(const String& ResourceText, uint32_t LastError);
    const char* ClassName() const override { return "ESxWin32Error"; }

    uint32_t LastError() const { return FLastError; }
    const String& LastErrorMsg() const { return FLastErrorMsg; }

private:
    uint32_t FLastError;
    String FLastErrorMsg;
};

class ESxMutexError : public ESxWin32Error {
public:
    using ESxWin32Error::ESxWin32Error;
    const char* ClassName() const override { return "ESxMutexError"; }
};

// The system's text for an error code.
String SxSystemErrorText(int error);
// The platform's last-system-error exception (EOSError) for an error code.
[[noreturn]] void SxRaiseOSError(int error);

// The replacement character of the 8-bit code page; set by LoadAnsiDefaultChar.
char AnsiDefaultChar();
void LoadAnsiDefaultChar();
