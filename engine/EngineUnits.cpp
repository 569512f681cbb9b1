#include "engine/EngineUnits.h"

#include "engine/FFLoad.h"
#include "engine/FFLog.h"

// The loader installs the logger's call-back, so the logger comes first and
// goes last.
void AddEngineUnits(TStartupList& list)
{
    list.Add(String::fromLatin1("FFLog"), &FFLogInitialization, &FFLogFinalization);
    list.Add(String::fromLatin1("FFLoad"), &FFLoadInitialization, &FFLoadFinalization);
}
