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

// A shown 400 x 300 form with the units up to the container's.
struct TContainerUnitFixture : ::testing::Test {
    TContainerUnitFixture()
    {
        AddvlLookAndFeelsUnit(Units);
        AddvlControlsUnit(Units);
        AddvlContainerUnit(Units);
        Units.Initialize();
        App = std::make_unique<TApplication>(nullptr);
        App->Initialize();
        Form = std::make_unique<TForm>(nullptr);
        Form->SetBounds(0, 0, 400, 300);
        Form->Show();
    }
    ~TContainerUnitFixture() override
    {
        Form.reset();
        App.reset();
        Units.Finalize();
    }

    TStartupList Units;
    TFakeTimerClock Clock;
    std::unique_ptr<TApplication> App;
    std::unique_ptr<TForm> Form;
};

