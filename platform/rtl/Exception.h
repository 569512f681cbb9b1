// Exception.h - the base of every failure the codebase raises, and the one
// place where an exception that reached an event dispatch is handed to the
// application instead of crossing the toolkit.
#pragma once
#include <exception>
#include <functional>
#include <string>

#include "platform/rtl/Format.h"
#include "platform/rtl/ResString.h"
#include "platform/rtl/String.h"

class Exception : public std::exception {
public:
    explicit Exception(const String& Msg);
    Exception(const String& Msg, TVarRecs Args);  // the formatted form

    // From the resource-string table (see ResString.h).
    static Exception CreateRes(const TResStringRec& ResString);
    static Exception CreateResFmt(const TResStringRec& ResString, TVarRecs Args);

    ~Exception() override = default;

    const String& Message() const { return FMessage; }
    void SetMessage(const String& value);

    // The class name shown by the default handler ("Exception", "EConvertError" ...).
    virtual const char* ClassName() const { return "Exception"; }

    const char* what() const noexcept override { return FWhat.c_str(); }

private:
    String FMessage;
    std::string FWhat;
};

// Subclasses share this shape; each names itself.
#define VORLANE_DECLARE_EXCEPTION(Name, Base)                       \
    class Name : public Base {                                      \
    public:                                                         \
        using Base::Base;                                           \
        const char* ClassName() const override { return #Name; }   \
    }

VORLANE_DECLARE_EXCEPTION(EConvertError, Exception);
VORLANE_DECLARE_EXCEPTION(EListError, Exception);
VORLANE_DECLARE_EXCEPTION(EStringListError, Exception);
VORLANE_DECLARE_EXCEPTION(EComponentError, Exception);
VORLANE_DECLARE_EXCEPTION(EStreamError, Exception);
VORLANE_DECLARE_EXCEPTION(EReadError, EStreamError);
VORLANE_DECLARE_EXCEPTION(EWriteError, EStreamError);
VORLANE_DECLARE_EXCEPTION(EFOpenError, EStreamError);
VORLANE_DECLARE_EXCEPTION(EFCreateError, EStreamError);
VORLANE_DECLARE_EXCEPTION(EPropertyError, Exception);
VORLANE_DECLARE_EXCEPTION(EPropertyConvertError, EPropertyError);
VORLANE_DECLARE_EXCEPTION(EVariantError, Exception);
VORLANE_DECLARE_EXCEPTION(EInvalidOperation, Exception);
VORLANE_DECLARE_EXCEPTION(EInvalidCast, Exception);
VORLANE_DECLARE_EXCEPTION(EThread, Exception);
VORLANE_DECLARE_EXCEPTION(EOSError, Exception);
// Data the program carries (a picture, a document) is missing.
VORLANE_DECLARE_EXCEPTION(EResNotFound, Exception);
VORLANE_RESOURCESTRING(SResNotFound, "Resource %s not found");
// A programming error found at run time (a call the caller must not make);
// raised as an exception so that the program can report it instead of ending.
VORLANE_DECLARE_EXCEPTION(EAssertionFailed, Exception);
// A silent exception: it ends the operation under way and is reported to
// nobody when it reaches a dispatch point.
VORLANE_DECLARE_EXCEPTION(EAbort, Exception);

// The application's handler of exceptions that reached a dispatch point.
// Until one is installed, the text goes to standard error.
using TExceptionHandler = std::function<void(const Exception& E)>;
void SetApplicationExceptionHandler(TExceptionHandler handler);

// Hands the exception in flight to the application's handler. Call only
// inside a catch block; never throws.
void HandleCurrentException() noexcept;

// Runs code at a dispatch point (an event handler, a queued call, a thread's
// body): an exception never leaves it.
template <class F>
void SafeCall(F&& code) noexcept
{
    try {
        std::forward<F>(code)();
    } catch (...) {
        HandleCurrentException();
    }
}
