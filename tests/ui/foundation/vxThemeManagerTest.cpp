// Tests of the theme manager with the default library (no visual styles)
// and with the recording fake: the handle cache, reopening after a theme
// change, the standard themes and the notificators.
#include <gtest/gtest.h>

#include "platform/rtl/Startup.h"
#include "platform/controls/Controls.h"
#include "ui/foundation/vlDWMApi.h"
#include "ui/foundation/vlGraphics.h"
#include "ui/foundation/vxThemeManager.h"
#include "tests/ui/foundation/ThemedLibrary.h"

namespace {

TEST(vxThemeManager, WithoutVisualStylesEverythingFallsBack)
{
    const Themed themed(std::make_unique<TvxNoThemeLibrary>());
    EXPECT_FALSE(AreVisualStylesAvailable());
    EXPECT_FALSE(AreVisualStylesAvailable({totButton, totEdit}));
    EXPECT_EQ(OpenTheme(totButton), 0u);
    EXPECT_EQ(ReleaseThemeHandle(totButton), 1);
    EXPECT_FALSE(IsStandardTheme());
    const TvxThemeChangedNotificator n;
    EXPECT_EQ(ThemeChangedNotificatorCount(), 0);
    EXPECT_FALSE(IsCompositionEnabled());
}

TEST(vxThemeManager, HandleCache)
{
    const Themed themed(std::make_unique<TvxRecordingThemeLibrary>());
    TvxRecordingThemeLibrary* fake = themed.fake();
    const HTHEME button = OpenTheme(totButton);
    ASSERT_NE(button, 0u);
    EXPECT_EQ(OpenTheme(totButton), button);
    EXPECT_EQ(OpenTheme(totButton, QStringLiteral("button")), button);  // the class list compares without case
    EXPECT_EQ(fake->Opened, std::vector<String>{QStringLiteral("Button")});
    const HTHEME edit = OpenTheme(totButton, QStringLiteral("Edit"));
    EXPECT_NE(edit, button);
    EXPECT_EQ(fake->Closed, std::vector<HTHEME>{button});
    EXPECT_EQ(OpenTheme(totButton), edit);

    // A theme change closes everything; reopening uses the remembered list.
    ThemeChanged();
    EXPECT_EQ(fake->Closed.back(), edit);
    const HTHEME reopened = OpenTheme(totButton);
    EXPECT_NE(reopened, edit);
    EXPECT_EQ(fake->Opened.back(), QStringLiteral("Edit"));

    // A failed open forgets the class list; the set asks for each kind.
    fake->Refused = {QStringLiteral("HEADER")};
    EXPECT_EQ(OpenTheme(totHeader), 0u);
    EXPECT_FALSE(AreVisualStylesAvailable({totButton, totHeader}));
    EXPECT_TRUE(AreVisualStylesAvailable({totButton, totEdit}));
    EXPECT_EQ(ReleaseThemeHandle(totHeader), 0);
    EXPECT_EQ(ReleaseThemeHandle(totButton), 0);  // closed: S_OK
}

TEST(vxThemeManager, StandardThemesAndNotificators)
{
    const Themed themed(std::make_unique<TvxRecordingThemeLibrary>());
    TvxRecordingThemeLibrary* fake = themed.fake();
    const struct {
        const char* path;
        bool standard;
    } cases[] = {
        {"C:\\WINDOWS\\Resources\\Themes\\Luna\\Luna.msstyles", true},
        {"C:\\Themes\\royale.MSSTYLES", true},
        {"C:\\Themes\\Aero.msstyles", false},
        {"LUNA.MSSTYLES.bak", false},
    };
    for (const auto& c : cases) {
        fake->ThemeFileName = QString::fromLatin1(c.path);
        EXPECT_EQ(IsStandardTheme(), c.standard) << c.path;
    }

    int told = 0;
    struct Listener {
        int* N;
        void Changed() { ++*N; }
    } listener{&told};
    auto first = std::make_unique<TvxThemeChangedNotificator>();
    TvxThemeChangedNotificator second;
    first->OnThemeChanged = TDelegate<void()>(&listener, &Listener::Changed);
    second.OnThemeChanged = TDelegate<void()>(&listener, &Listener::Changed);
    EXPECT_EQ(ThemeChangedNotificatorCount(), 2);
    fake->Active = false;
    ThemeChanged();
    EXPECT_EQ(told, 2);
    EXPECT_FALSE(AreVisualStylesAvailable());
    first.reset();
    EXPECT_EQ(ThemeChangedNotificatorCount(), 1);
}

class RedParent : public TCustomControl {
public:
    using TCustomControl::TCustomControl;

protected:
    void Paint() override
    {
        Canvas()->Brush()->SetColor(clRed);
        Canvas()->FillRect(Rect(0, 0, Width(), Height()));
    }
};

// The parent's background comes from the theme library when there is one,
// else the parent paints itself.
TEST(vxThemeManager, ParentBackgroundThroughTheThemeLibrary)
{
    for (bool themed : {false, true}) {
        SCOPED_TRACE(themed);
        const Themed library(themed ? std::unique_ptr<IvxThemeLibrary>(std::make_unique<TvxRecordingThemeLibrary>())
                                    : std::make_unique<TvxNoThemeLibrary>());
        RedParent parent(nullptr);
        parent.SetBounds(0, 0, 20, 20);
        auto* child = new RedParent(&parent);
        child->SetParent(&parent);
        child->SetBounds(5, 5, 8, 8);
        QImage buffer(8, 8, QImage::Format_RGB32);
        buffer.fill(0xFF123456);
        TDeviceContext dc(&buffer);
        TCanvas canvas;
        canvas.SetHandle(&dc);
        TvlCanvas vl(&canvas);
        vlDrawThemeParentBackground(child, &vl, Rect(0, 0, 8, 8));
        canvas.SetHandle(nullptr);
        if (themed) {
            EXPECT_EQ(library.fake()->Calls, std::vector<String>{QStringLiteral("DrawThemeParentBackground")});
            EXPECT_EQ(buffer.pixel(3, 3), 0xFF123456u);
        } else {
            EXPECT_EQ(buffer.pixel(3, 3), qRgb(255, 0, 0));
        }
    }
}

}  // namespace
