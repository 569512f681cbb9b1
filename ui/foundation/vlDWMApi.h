// vlDWMApi.h - desktop composition: there is none to ask about here.
#pragma once

inline bool IsCompositionEnabled() { return false; }
