// SupportUnits.h - the support units in their start-up order; a program runs
// them after the platform's and the engine's lists.
#pragma once
#include "platform/rtl/Startup.h"

void AddSupportUnits(TStartupList& list);
