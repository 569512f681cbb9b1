// Feeds arbitrary bytes to the data controller stream reader of a controller
// with a String column keeping texts, an Integer and a Float column: load or
// refuse with "Invalid stream format" or a read error, never crash; a load
// that fails leaves the records it had.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>

#include "platform/rtl/Stream.h"
#include "ui/data/vlData.h"

namespace {

struct Owner : IvlDataControllerOwner {
    std::vector<std::unique_ptr<TObject>> items;
    int GetDataItemCount() const override { return int(items.size()); }
    TObject* GetDataItem(int AIndex) const override { return items.at(size_t(AIndex)).get(); }
    TComponentState GetDataOwnerState() const override { return {}; }
    void UpdateDataControl(TvlUpdateControlInfo*) override {}
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Owner owner;
    TvlDataController dc(&owner);
    const TvlValueTypeClass types[] = {TvlStringValueType::Instance(), TvlIntegerValueType::Instance(),
                                       TvlFloatValueType::Instance()};
    for (TvlValueTypeClass type : types) {
        owner.items.push_back(std::make_unique<TObject>());
        TvlCustomDataField* field = dc.AddItem(owner.items.back().get());
        field->SetValueTypeClass(type);
        field->SetTextStored(type == TvlStringValueType::Instance());
    }
    dc.UpdateItemIndexes();
    dc.DataStorage()->SetWithRecordIds(size > 0 && (data[size - 1] & 1) != 0);
    dc.AppendRecord();
    TMemoryStream stream;
    stream.WriteBuffer(data, int64_t(size));
    stream.SetPosition(0);
    try {
        dc.LoadFromStream(&stream);
    } catch (const EReadError&) {
        if (dc.GetRecordCount() != 1)
            std::abort();
        return 0;
    } catch (const EvlInvalidDataControllerOperation&) {
        if (dc.GetRecordCount() != 1)
            std::abort();
        return 0;
    }
    for (int r = 0; r < dc.GetRecordCount(); ++r)
        for (int i = 0; i < dc.GetItemCount(); ++i)
            (void)dc.GetDisplayText(r, i);
    TMemoryStream out;
    dc.SaveToStream(&out);
    return 0;
}
