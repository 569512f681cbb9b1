// KitComponent.h - the base of the kit's components and the exception family
// of the settings storages.
#pragma once
#include "platform/rtl/Component.h"
#include "platform/rtl/Exception.h"

VORLANE_DECLARE_EXCEPTION(EKitException, Exception);

// A component with the kit's (inert) AboutKit property.
class TKitComponent : public TComponent {
public:
    using TComponent::TComponent;
    String ClassName() const override { return String::fromLatin1("TKitComponent"); }
    const String& AboutKit() const { return FAboutKit; }
    void SetAboutKit(const String&) {}

private:
    String FAboutKit;
};
