// Feeds arbitrary bytes to the criteria stream reader: it must accept or
// refuse with a read error, never crash, and whatever it accepts must
// write again and give its filter text.
#include <cstddef>
#include <cstdint>

#include "platform/rtl/Stream.h"
#include "ui/data/vlFilter.h"

namespace {
// Ids 0-3 and the names "A" to "D" name items; anything else is unknown.
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
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzCriteria criteria;
    TMemoryStream stream;
    stream.WriteBuffer(data, int64_t(size));
    stream.SetPosition(0);
    try {
        criteria.ReadData(&stream);
    } catch (const EReadError&) {
        return 0;
    }
    try {
        TMemoryStream out;
        criteria.SetStreamVersion(3);
        criteria.WriteData(&out);
        (void)criteria.GetFilterText();
        (void)criteria.GetFilterCaption();
    } catch (const EVariantError&) {
    } catch (const EWriteError&) {
    }
    return 0;
}
