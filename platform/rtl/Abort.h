// Abort.h - the silent exception: it ends an operation without a message
// (the application's handler shows nothing for it).
#pragma once
#include "platform/rtl/Exception.h"

VORLANE_DECLARE_EXCEPTION(EAbort, Exception);
