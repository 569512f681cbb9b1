// FFStubs.h - how the engine binds the media libraries: each stub unit lists
// the entry points it uses once, and that list makes both the table of
// function pointers (typed from the library's own declarations) and the code
// that fills it by name.
#pragma once
#include "platform/rtl/String.h"

// Declares one pointer per entry point, named like the entry point, in
// namespace ff: code calls ff::av_log(...) and can never reach a library
// symbol that the loader did not bind.
#define VORLANE_FF_DECLARE_POINTER(name) inline decltype(&::name) name = nullptr;

// Binds every entry point of a list from a loaded module (see MyUtils.h).
#define VORLANE_FF_BIND_POINTER(name) BindFunction(fileName, handle, #name, false, reinterpret_cast<void**>(&ff::name));
#define VORLANE_FF_UNBIND_POINTER(name) ff::name = nullptr;
