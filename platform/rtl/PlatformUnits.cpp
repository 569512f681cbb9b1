// The platform's own units in start-up order. Each layer above has a list of
// its own that the program appends after this one.
#include "platform/rtl/Startup.h"
#include "platform/rtl/SysUtils.h"
#include "platform/rtl/Thread.h"

void AddPlatformUnits(TStartupList& list)
{
    list.Add(String::fromLatin1("SysUtils"), &SysUtilsInitialization);
    list.Add(String::fromLatin1("Classes"), &ClassesInitialization, &ClassesFinalization);
}
