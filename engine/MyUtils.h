// MyUtils.h - small support routines of the engine: opening and binding the
// media libraries by name, file sizes, cutting texts, and the main thread.
#pragma once
#include <cstdint>

#include "platform/rtl/Exception.h"
#include "platform/rtl/ResString.h"
#include "platform/rtl/String.h"
#include "platform/rtl/Thread.h"

namespace MyUtilsConsts {
VORLANE_RESOURCESTRING(SLoadFunctionError, "Load function %s@%s error: %s");
VORLANE_RESOURCESTRING(SLoadVariableError, "Load variable %s@%s error: %s");
VORLANE_RESOURCESTRING(SAssertionFailed, "Assertion failure");
}  // namespace MyUtilsConsts

// Raises EAssertionFailed ("Assertion failure").
[[noreturn]] void AssertionFailure();

// Opens folder + fileName when the folder is given and holds the file (its
// own dependencies then resolve by soname against what is already loaded),
// else fileName by the system's search order. Returns nullptr on failure with
// the loader's text in error. Never changes the current directory or the
// environment: other threads may be opening files meanwhile.
void* LoadLibraryFromFolder(const String& folder, const String& fileName, String& error);

// Looks name up in the module and stores its address (nullptr when missing).
// A missing name that is not optional raises Exception with
// "Load function %s@%s error: %s" / "Load variable %s@%s error: %s".
void BindFunction(const String& fileName, void* handle, const char* name, bool optional, void** proc);
void BindVariable(const String& fileName, void* handle, const char* name, bool optional, void** data);

// The size in bytes of an existing file (a directory counts as 0), -1 when
// there is none.
int64_t FileSizeByName(const String& fileName);

// head := the text before the first separator (case-sensitive); with remove,
// text := what follows it. Without the separator (an empty one never
// occurs) head is the whole text and, with remove, the text becomes empty.
void CutAtSeparator(String& text, const String& separator, bool remove, String& head);

// Runs one round of the calls workers queued for the main thread and of the
// toolkit's pending events; true when anything ran. Only the main thread
// pumps: elsewhere it does nothing and returns false.
bool ProcessOneMessage();
// Pumps until nothing is waiting.
void ProcessMessages();

// Runs method in the main thread and waits for it (directly when called
// there). Only for callers that hold no lock the main thread may need.
void CallInMainThread(const TThreadMethod& method);
