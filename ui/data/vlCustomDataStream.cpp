// The data controller stream: "DataController1", the value-type names of the
// stored columns, the record count and every record in the storage's record
// layout. Loading reads the whole stream aside before anything is replaced.
#include "platform/rtl/Stream.h"
#include "ui/data/vlCustomData.h"
#include "ui/data/vlCustomDataPrivate.h"
#include "ui/data/vlDataConsts.h"
#include "ui/data/vlDataUtils.h"

using namespace vlCustomDataPrivate;
using namespace vlDataConsts;

namespace {

const char* const signature = "DataController1";

TvlCustomDataField* fieldOf(const TvlValueDef* ADef)
{
    return dynamic_cast<TvlCustomDataField*>(static_cast<TObject*>(ADef->LinkedItem()));
}

// Columns go in the order of their fields: items first, internal fields last.
bool streamsBefore(const TvlValueDef* A, const TvlValueDef* B)
{
    const TvlCustomDataField* a = fieldOf(A);
    const TvlCustomDataField* b = fieldOf(B);
    if (a == nullptr || b == nullptr)
        return a != nullptr;
    return a->FieldList()->IndexOf(a) < b->FieldList()->IndexOf(b);
}

// Marks the definitions of item fields streamed, the rest not; their count.
int markStreamed(TvlDataStorage* AStorage, bool AStorageMode)
{
    int count = 0;
    TvlValueDefs* defs = AStorage->ValueDefs();
    for (int i = 0; i < defs->Count(); ++i) {
        TvlValueDef* def = defs->Item(i);
        const TvlCustomDataField* field = fieldOf(def);
        const bool streamed = AStorageMode && field != nullptr && !field->IsInternal();
        def->SetStreamed(streamed);
        count += streamed ? 1 : 0;
    }
    return count;
}

struct StreamOrder {
    TvlDataStorage* storage;
    explicit StreamOrder(TvlDataStorage* s) : storage(s) { storage->BeginStreamOrder(streamsBefore); }
    ~StreamOrder() { storage->EndStreamOrder(); }
};

}  // namespace

void TvlCustomDataController::SaveToStream(TStream* AStream)
{
    TvlWriter writer(AStream);
    writer.WriteAnsiText(AnsiString(signature));
    TvlDataStorage* storage = DataStorage();
    writer.WriteInt32(markStreamed(storage, !IsProviderMode()));
    StreamOrder order(storage);
    TvlValueDefs* defs = storage->ValueDefs();
    for (int i = 0; i < defs->Count(); ++i)
        if (defs->Item(i)->Streamed())
            writer.WriteAnsiText(AnsiString(defs->Item(i)->ValueTypeClass()->ClassName()));
    const int count = GetRecordCount();
    writer.WriteInt32(count);
    for (int r = 0; r < count; ++r)
        storage->WriteRecordToStream(r, AStream);
}

void TvlCustomDataController::LoadFromStream(TStream* AStream)
{
    if (IsProviderMode())
        raiseError(vlSDataProviderModeError);
    TvlReader reader(AStream);
    if (reader.ReadAnsiText() != AnsiString(signature))
        raiseError(vlSDataInvalidStreamFormat);
    const int32_t columns = reader.ReadInt32();
    TvlDataStorage* storage = DataStorage();
    if (columns != markStreamed(storage, true))
        raiseError(vlSDataInvalidStreamFormat);
    TvlStreamedRecords records;
    {
        StreamOrder order(storage);
        TvlValueDefs* defs = storage->ValueDefs();
        for (int i = 0; i < defs->Count(); ++i)
            if (defs->Item(i)->Streamed() &&
                textFromAnsi(reader.ReadAnsiText()) != String::fromLatin1(defs->Item(i)->ValueTypeClass()->ClassName()))
                raiseError(vlSDataInvalidStreamFormat);
        // Nothing has changed so far, and nothing does unless every record reads.
        const int32_t count = reader.ReadInt32();
        records = storage->ReadRecordsFromStream(AStream, count);
    }
    Update lock(this);
    ClearSelection();
    storage->ReplaceRecords(std::move(records));
    releaseUnreferencedDetails();
    FDataControllerInfo->CheckSelectedRecords();
    CheckBookmarkValid(-1);
    CheckEditingAfterDelete(-1);
    // Every record may be another one now: one change of everything, and
    // the row index rebuilt when the lock ends.
    FDataChangePending = true;
    FPendingKind = dckAll;
    FPendingItemIndex = FPendingRecordIndex = -1;
    FDataControllerInfo->AddChanges(TvlDataControllerInfoChanges{dicFocusing});
    FDataControllerInfo->Refresh();
}
