// vlPCConsts.h - the texts of the tab control family, registered with the
// library's resource-string repository so that a translation can replace
// them.
#pragma once
#include "platform/rtl/ResString.h"

class TStartupList;
class TvxProductResourceStrings;

namespace vlPCConsts {
VORLANE_RESOURCESTRING(svlPCImageListIndexError, "Index (%d) must be between 0 and %d");
VORLANE_RESOURCESTRING(svlPCNoBaseImages, "BaseImages is not assigned");
VORLANE_RESOURCESTRING(svlPCNoRegisteredStyles, "There are no styles registered");
VORLANE_RESOURCESTRING(svlPCPageIndexError, "%d is an invalid PageIndex value.  PageIndex must be between 0 and %d");
VORLANE_RESOURCESTRING(svlPCPainterClassError, "PCPainterClass is nil");
VORLANE_RESOURCESTRING(svlPCStandardStyleError, "%s is an unsupported standard style");
VORLANE_RESOURCESTRING(svlPCStyleNameError, "%s is an unregistered style name");
VORLANE_RESOURCESTRING(svlPCTabCountEqualsZero, "Tabs.Count = 0");
VORLANE_RESOURCESTRING(svlPCTabIndexError, "Tab's index (%d) out of bounds");
VORLANE_RESOURCESTRING(svlPCTabVisibleIndexOutsOfBounds, "TabVisibleIndex (%d) must be between 0 and %d");
VORLANE_RESOURCESTRING(svlPCVisibleTabListEmpty, "There are no visible tabs");
VORLANE_RESOURCESTRING(svlPCAllowRotateError, "%s style does not support rotation of tabs");

// In registration order.
inline constexpr const TResStringRec* vlPCConstsTable[] = {
    &svlPCImageListIndexError, &svlPCNoBaseImages, &svlPCNoRegisteredStyles, &svlPCPageIndexError,
    &svlPCPainterClassError, &svlPCStandardStyleError, &svlPCStyleNameError, &svlPCTabCountEqualsZero,
    &svlPCTabIndexError, &svlPCTabVisibleIndexOutsOfBounds, &svlPCVisibleTabListEmpty, &svlPCAllowRotateError,
};
}  // namespace vlPCConsts

// The key the tab control's strings are registered under.
extern const char* const vlPCProductName;

void AddPCResourceStrings(TvxProductResourceStrings* AProduct);
void AddvlPCConstsUnit(TStartupList& AList);
