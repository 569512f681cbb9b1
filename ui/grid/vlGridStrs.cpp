#include "ui/grid/vlGridStrs.h"

#include "platform/rtl/Startup.h"
#include "ui/foundation/vlClasses.h"
#include "ui/foundation/vxCore.h"


namespace {

void addGridResourceStrings(TvxProductResourceStrings* AProduct)
{
    for (const TResStringRec* rec : vlGridStrsTable)
        AProduct->Add(String::fromLatin1(rec->Name), rec);
}

}  // namespace

void AddvlGridStrsUnit(TStartupList& AList)
{
    AList.Add(
        String::fromLatin1("vlGridStrs"),
        [] { GetResourceStringsRepository()->RegisterProduct(String::fromLatin1(vlGridProductName), &addGridResourceStrings); },
        [] { GetResourceStringsRepository()->UnregisterProduct(String::fromLatin1(vlGridProductName)); });
}
