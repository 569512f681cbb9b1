// vlCustomDataPrivate.h - brackets shared by the source files of the data
// controller unit; not for users of the controller.
#pragma once
#include "platform/rtl/ResString.h"
#include "ui/data/vlCustomData.h"

namespace vlCustomDataPrivate {

[[noreturn]] inline void raiseError(const TResStringRec& AText)
{
    throw EvlInvalidDataControllerOperation(LoadResString(AText));
}

// Runs the closing half of a bracket however the block is left.
template <class F>
struct Finally {
    F f;
    ~Finally() { f(); }
};
template <class F>
Finally(F) -> Finally<F>;

struct FullUpdate {
    TvlCustomDataController* dc;
    explicit FullUpdate(TvlCustomDataController* c) : dc(c) { dc->BeginFullUpdate(); }
    ~FullUpdate() { dc->EndFullUpdate(); }
};

struct Update {
    TvlCustomDataController* dc;
    explicit Update(TvlCustomDataController* c) : dc(c) { dc->BeginUpdate(); }
    ~Update() { dc->EndUpdate(); }
};

}  // namespace vlCustomDataPrivate
