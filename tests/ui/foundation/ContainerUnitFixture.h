// ContainerUnitFixture.h - a shown form with the units up to the
// container's running (the look-and-feels, the controls on a timer clock
// advanced by hand, and the container with its popup hook).
#pragma once
#include <gtest/gtest.h>
#include <memory>

#include "ControlFixtures.h"
#include "platform/controls/Forms.h"
#include "platform/rtl/Startup.h"
#include "ui/foundation/vlContainer.h"

// The control unit's fixture with the container unit running too and the
// form shown.
struct TContainerUnitFixture : TControlUnitFixture {
    TContainerUnitFixture()
    {
        AddvlContainerUnit(ContainerUnits);
        ContainerUnits.Initialize();
        Form->Show();
    }
    ~TContainerUnitFixture() override { ContainerUnits.Finalize(); }

    TStartupList ContainerUnits;
};
