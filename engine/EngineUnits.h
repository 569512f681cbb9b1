// EngineUnits.h - the engine's units in their start-up order; a program runs
// them after the platform's own list.
#pragma once
#include "platform/rtl/Startup.h"

void AddEngineUnits(TStartupList& list);
