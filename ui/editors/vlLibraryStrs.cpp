#include "ui/editors/vlLibraryStrs.h"

#include "platform/rtl/Startup.h"
#include "ui/foundation/vxCore.h"

const char* const vlLibraryProductName = "Library";

void AddLibraryResourceStrings(TvxProductResourceStrings* AProduct)
{
    for (const TResStringRec* rec : vlLibraryStrs::vlLibraryStrsTable)
        AProduct->Add(String::fromLatin1(rec->Name), rec);
}

void AddvlLibraryStrsUnit(TStartupList& AList)
{
    AList.Add(
        QStringLiteral("vlLibraryStrs"),
        [] { GetResourceStringsRepository()->RegisterProduct(String::fromLatin1(vlLibraryProductName), &AddLibraryResourceStrings); },
        [] { GetResourceStringsRepository()->UnregisterProduct(String::fromLatin1(vlLibraryProductName)); });
}
