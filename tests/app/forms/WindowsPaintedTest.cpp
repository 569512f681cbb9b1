// Every window of the program is fully painted: rendered on an image filled
// with a sentinel colour, as the screen shows it and control by control, no
// sentinel pixel is left. A pixel nobody paints would show whatever memory
// held before (noise at a dialog's edges).
#include <QTemporaryDir>
#include <QWidget>

#include "app/aboutU.h"
#include "app/filters_u.h"
#include "app/mainU.h"
#include "ui/controls/vlProgressBar.h"
#include "app/settingsU.h"
#include "engine/preview/PreviewForm.h"
#include "platform/os/Registry.h"
#include "tests/app/forms/DialogTestSupport.h"

namespace {

using namespace vorlane::test;

constexpr QRgb sentinel = qRgb(3, 251, 7);

// Pixels outside a shaped window's region are not part of it.
int sentinelPixels(const QImage& Image, const QRegion& Shape = QRegion())
{
    int n = 0;
    for (int y = 0; y < Image.height(); ++y)
        for (int x = 0; x < Image.width(); ++x)
            n += Image.pixel(x, y) == sentinel && (Shape.isEmpty() || Shape.contains(QPoint(x, y)));
    return n;
}

void eachWindowedControl(TWinControl* Control, const std::function<void(TWinControl*)>& Fn)
{
    Fn(Control);
    for (int i = 0; i < Control->ControlCount(); ++i)
        if (auto* w = dynamic_cast<TWinControl*>(Control->Controls(i)))
            eachWindowedControl(w, Fn);
}

// The form as the screen shows it (the toolkit's render of the window and
// its children, nothing drawn beforehand), then each windowed control's own
// buffer: every one on a sentinel-filled image.
void ExpectFullyPainted(TCustomForm* Form)
{
    SCOPED_TRACE(Form->Name().toStdString());
    if (Application != nullptr)
        Application->ProcessMessages();
    QWidget* window = Form->Widget();
    ASSERT_TRUE(window->isVisible());
    QImage shot(window->size(), QImage::Format_RGB32);
    shot.fill(sentinel);
    window->render(&shot, QPoint(), QRegion(), QWidget::DrawChildren);
    EXPECT_EQ(sentinelPixels(shot, window->mask()), 0) << "in the window as shown";
    eachWindowedControl(Form, [](TWinControl* c) {
        if (c->Width() <= 0 || c->Height() <= 0)
            return;
        QImage buffer(c->Width(), c->Height(), QImage::Format_RGB32);
        buffer.fill(sentinel);
        c->PaintTo(buffer);
        EXPECT_EQ(sentinelPixels(buffer), 0) << c->Name().toStdString() << " (" << c->ClassName().toStdString() << ")";
    });
}

class WindowsPainted : public DialogTest {};

TEST_F(WindowsPainted, OptionsDialogOpenedTwice)
{
    auto dialog = Open("preview640.avi");
    ExpectFullyPainted(dialog.get());
    dialog->Hide();
    app->ProcessMessages();
    dialog->Show();
    ExpectFullyPainted(dialog.get());
}

TEST_F(WindowsPainted, FiltersSettingsAboutAndPreview)
{
    TfrmFilters filters(nullptr);
    filters.Show();
    ExpectFullyPainted(&filters);

    TfrmSettings settings(nullptr, nullptr);
    settings.Show();
    ExpectFullyPainted(&settings);
    for (int i = 1; i < settings.PageControl1->PageCount(); ++i) {
        settings.PageControl1->SetActivePageIndex(i);
        ExpectFullyPainted(&settings);
    }

    TfrmAbout about(nullptr);
    about.AfterConstruction();
    about.Show();
    ExpectFullyPainted(&about);

    TPreviewForm preview([] {});
    QImage frame(96, 64, QImage::Format_RGB32);
    frame.fill(qRgb(10, 20, 30));
    preview.PaintFrame(frame, 1, 0);
    preview.Show();
    ExpectFullyPainted(&preview);
}

TEST_F(WindowsPainted, MainWindow)
{
    // A home of its own: the window's start-up makes an output folder there.
    QTemporaryDir home;
    ASSERT_TRUE(home.isValid());
    const QByteArray savedHome = qgetenv("HOME"), savedConfig = qgetenv("XDG_CONFIG_HOME");
    qputenv("HOME", home.path().toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", (home.path() + QStringLiteral("/.config")).toLocal8Bit());
    SetRegistryDirectory(home.path() + QStringLiteral("/registry"));
    TfrmMain* main = nullptr;
    RegisterProgressBarProperties();  // the progress bar unit's start-up
    app->CreateForm(main);
    main->Show();
    ExpectFullyPainted(main);
    main->ShowLog1->Click();  // the log panel shown
    ExpectFullyPainted(main);
    delete main;
    SetRegistryDirectory(String());
    qputenv("HOME", savedHome);
    if (savedConfig.isEmpty())
        qunsetenv("XDG_CONFIG_HOME");
    else
        qputenv("XDG_CONFIG_HOME", savedConfig);
}

}  // namespace
