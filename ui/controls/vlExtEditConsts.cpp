#include "ui/controls/vlExtEditConsts.h"

#include "platform/rtl/Startup.h"
#include "ui/foundation/vxCore.h"

const char* const vlExtEditorsProductName = "Vorlane Extended Editors";

void AddExtEditResourceStrings(TvxProductResourceStrings* AProduct)
{
    for (const TResStringRec* rec : vlExtEditConstsTable)
        AProduct->Add(String::fromLatin1(rec->Name), rec);
}

void AddvlExtEditConstsUnit(TStartupList& AList)
{
    AList.Add(
        QStringLiteral("vlExtEditConsts"),
        [] {
            GetResourceStringsRepository()->RegisterProduct(String::fromLatin1(vlExtEditorsProductName),
                                                            &AddExtEditResourceStrings);
        },
        [] { GetResourceStringsRepository()->UnregisterProduct(String::fromLatin1(vlExtEditorsProductName)); });
}
