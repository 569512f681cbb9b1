// Feeds arbitrary bytes to the record reader of a storage with one field of
// every value type, texts kept and ids on: accept or refuse with a read
// error, never crash.
#include <cstddef>
#include <cstdint>

#include "platform/rtl/Stream.h"
#include "ui/data/vlDataStorage.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    TvlDataStorage storage;
    const TvlValueTypeClass types[] = {
        TvlStringValueType::Instance(),   TvlWideStringValueType::Instance(), TvlSmallintValueType::Instance(),
        TvlIntegerValueType::Instance(),  TvlWordValueType::Instance(),       TvlBooleanValueType::Instance(),
        TvlFloatValueType::Instance(),    TvlCurrencyValueType::Instance(),   TvlDateTimeValueType::Instance(),
        TvlLargeIntValueType::Instance(), TvlFMTBcdValueType::Instance(),     TvlSQLTimeStampValueType::Instance(),
        TvlVariantValueType::Instance(),  TvlObjectValueType::Instance(),
    };
    for (TvlValueTypeClass type : types)
        storage.ValueDefs()->AddDefinition(type, true, nullptr, true);
    storage.SetWithRecordIds(size > 0 && (data[0] & 1) != 0);
    storage.AddRecord();
    TMemoryStream stream;
    stream.WriteBuffer(data, int64_t(size));
    stream.SetPosition(0);
    try {
        storage.ReadRecordFromStream(0, &stream);
        TMemoryStream out;
        storage.WriteRecordToStream(0, &out);
    } catch (const EReadError&) {
    }
    return 0;
}
