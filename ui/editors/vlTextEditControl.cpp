// vlTextEditControl.cpp - the text editor control: text and value in step,
// replacing the selection under the length and lookup rules, the
// clipboard, live thousand separators, the inner edit's layout and the
// drawn value of the list and read-only styles.
#include "ui/editors/vlTextEdit.h"

TvlTextEditLookupDataClass TvlCustomTextEditProperties::GetLookupDataClass() const
{
    return [](IvlTextEditLookupDataOwner* AOwner) { return std::make_unique<TvlCustomTextEditLookupData>(AOwner); };
}
