#include "ui/controls/vlPCConsts.h"

#include "platform/rtl/Startup.h"
#include "ui/foundation/vxCore.h"

const char* const vlPCProductName = "Tab Control";

void AddPCResourceStrings(TvxProductResourceStrings* AProduct)
{
    for (const TResStringRec* rec : vlPCConsts::vlPCConstsTable)
        AProduct->Add(String::fromLatin1(rec->Name), rec);
}

void AddvlPCConstsUnit(TStartupList& AList)
{
    AList.Add(
        QStringLiteral("vlPCConsts"),
        [] { GetResourceStringsRepository()->RegisterProduct(String::fromLatin1(vlPCProductName), &AddPCResourceStrings); },
        [] { GetResourceStringsRepository()->UnregisterProduct(String::fromLatin1(vlPCProductName)); });
}
