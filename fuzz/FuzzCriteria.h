// FuzzCriteria.h - the criteria the filter fuzz targets read into: ids 0-3
// and the names "A" to "D" name items; anything else is unknown.
#pragma once
#include <memory>

#include "ui/data/vlFilter.h"

class FuzzCriteria : public TvlFilterCriteria {
public:
    FuzzCriteria()
    {
        for (int i = 0; i < 4; ++i)
            FItems[i] = std::make_unique<TObject>();
    }
    int GetIDByItemLink(TObject* AItemLink) override { return indexOf(AItemLink); }
    String GetNameByItemLink(TObject* AItemLink) override { return String(QChar(u'A' + indexOf(AItemLink))); }
    TObject* GetItemLinkByID(int AID) override { return AID >= 0 && AID < 4 ? FItems[AID].get() : nullptr; }
    TObject* GetItemLinkByName(const String& AName) override
    {
        return AName.size() == 1 ? GetItemLinkByID(AName[0].unicode() - u'A') : nullptr;
    }

private:
    int indexOf(TObject* AItemLink) const
    {
        for (int i = 0; i < 4; ++i)
            if (FItems[i].get() == AItemLink)
                return i;
        return -1;
    }
    std::unique_ptr<TObject> FItems[4];
};
