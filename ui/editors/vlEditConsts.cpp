#include "ui/editors/vlEditConsts.h"

#include "platform/rtl/Startup.h"
#include "ui/foundation/vxCore.h"

const char* const vlEditorsProductName = "Vorlane Editors";

void AddEditorResourceStrings(TvxProductResourceStrings* AProduct)
{
    for (const TResStringRec* rec : vlEditConsts::vlEditConstsTable)
        AProduct->Add(String::fromLatin1(rec->Name), rec);
}

void AddvlEditConstsUnit(TStartupList& AList)
{
    AList.Add(
        QStringLiteral("vlEditConsts"),
        [] { GetResourceStringsRepository()->RegisterProduct(String::fromLatin1(vlEditorsProductName), &AddEditorResourceStrings); },
        [] { GetResourceStringsRepository()->UnregisterProduct(String::fromLatin1(vlEditorsProductName)); });
}
