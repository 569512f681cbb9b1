// vlDataConsts.h - the data controller's user-visible texts, as named
// resource strings a translation can replace.
#pragma once
#include "platform/rtl/ResString.h"

namespace vlDataConsts {
VORLANE_RESOURCESTRING(vlSDataReadError, "Stream read error");
VORLANE_RESOURCESTRING(vlSDataWriteError, "Stream write error");
VORLANE_RESOURCESTRING(vlSDataItemExistError, "Item already exists");
VORLANE_RESOURCESTRING(vlSDataRecordIndexError, "RecordIndex out of range");
VORLANE_RESOURCESTRING(vlSDataItemIndexError, "ItemIndex out of range");
VORLANE_RESOURCESTRING(vlSDataProviderModeError, "This operation is not supported in provider mode");
VORLANE_RESOURCESTRING(vlSDataInvalidStreamFormat, "Invalid stream format");
VORLANE_RESOURCESTRING(vlSDataRowIndexError, "RowIndex out of range");
VORLANE_RESOURCESTRING(vlSDataCustomDataSourceInvalidCompare, "GetInfoForCompare not implemented");
VORLANE_RESOURCESTRING(vlSDBDetailFilterControllerNotFound, "DetailFilterController not found");
VORLANE_RESOURCESTRING(vlSDBNotInGridMode, "DataController not in GridMode");
VORLANE_RESOURCESTRING(vlSDBKeyFieldNotFound, "Key Field not found");

// The table in its registration order, for the string repository.
inline constexpr const TResStringRec* vlDataConstsTable[] = {
    &vlSDataReadError,         &vlSDataWriteError,
    &vlSDataItemExistError,    &vlSDataRecordIndexError,
    &vlSDataItemIndexError,    &vlSDataProviderModeError,
    &vlSDataInvalidStreamFormat, &vlSDataRowIndexError,
    &vlSDataCustomDataSourceInvalidCompare, &vlSDBDetailFilterControllerNotFound,
    &vlSDBNotInGridMode,       &vlSDBKeyFieldNotFound,
};
}  // namespace vlDataConsts
