#include "platform/rtl/ResString.h"

#include <mutex>

namespace {

// The one translation hook of the process; set at start-up, read anywhere.
struct LoaderSlot {
    std::mutex lock;
    TResStringLoader loader;
};

LoaderSlot& slot()
{
    static LoaderSlot instance;
    return instance;
}

}  // namespace

String LoadResString(const TResStringRec& ResString)
{
    TResStringLoader loader;
    {
        const std::lock_guard guard(slot().lock);
        loader = slot().loader;
    }
    if (loader) {
        String translated = loader(ResString);
        if (!translated.isEmpty())
            return translated;
    }
    return String::fromUtf8(ResString.Text);
}

String LoadResStringFmt(const TResStringRec& ResString, TVarRecs Args)
{
    return Format(LoadResString(ResString), Args);
}

void SetResStringLoader(TResStringLoader loader)
{
    const std::lock_guard guard(slot().lock);
    slot().loader = std::move(loader);
}
