// Feeds arbitrary text to the "Hex:" form of the criteria stream, as stored
// settings keep a filter: the text must decode or be refused, and the
// bytes must read as criteria or be refused with a read error.
#include <cstddef>
#include <cstdint>

#include "platform/rtl/Stream.h"
#include "ui/data/vlDataUtils.h"
#include "ui/data/vlFilter.h"

namespace {
// Ids 0-3 and the names "A" to "D" name items.
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
    const String text = String::fromLatin1(reinterpret_cast<const char*>(data), qsizetype(size));
    TMemoryStream stream;
    PropertyStringToStream(text, &stream);
    stream.SetPosition(0);
    FuzzCriteria criteria;
    try {
        criteria.ReadData(&stream);
        (void)criteria.GetFilterText();
    } catch (const EReadError&) {
    } catch (const EVariantError&) {
    }
    return 0;
}
