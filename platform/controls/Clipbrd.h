// Clipbrd.h - the system clipboard as plain text.
#pragma once
#include "platform/rtl/String.h"

class TClipboard {
public:
    String AsText() const;
    void SetAsText(const String& Value);
};

// The one clipboard of the application (it holds no state of its own).
TClipboard* Clipboard();
