// SkinUnits.h - the skinning engine's units in start-up order.
#pragma once
#include "platform/rtl/Startup.h"

void AddSkinUnits(TStartupList& list);
