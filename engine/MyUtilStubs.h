// MyUtilStubs.h - the entry points of the system C library that the engine uses.
#pragma once
#include <cstdarg>
#include <cstdio>

#include "engine/FFStubs.h"

#define VORLANE_MYUTIL_ENTRY_POINTS(X) \
    X(snprintf) \
    X(vsnprintf)

namespace ff {
VORLANE_MYUTIL_ENTRY_POINTS(VORLANE_FF_DECLARE_POINTER)
}

void MyUtilBind(const String& fileName, void* handle);
void MyUtilUnbind();
