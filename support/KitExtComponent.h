// KitExtComponent.h - the panel base of the library's own panels (the
// caption panel stands on it).
#pragma once
#include "support/KitExExtCtrls.h"

class TKitCustomPanel : public TKitExCustomPanel {
public:
    explicit TKitCustomPanel(TComponent* AOwner) : TKitExCustomPanel(AOwner) {}
    String ClassName() const override { return String::fromLatin1("TKitCustomPanel"); }
};
