// The options dialog driven through its controls, offscreen, on a generated
// 640x480 25 fps clip: control states and option lines for every profile,
// the faults it mends, the batch rule and the filters it hands on.
#include <QKeyEvent>

#include "app/filters_u.h"
#include "tests/app/ProfileLineCases.h"
#include "tests/app/forms/DialogTestSupport.h"

namespace {

using namespace vorlane::test;

void ExpectComboShows(TComboBox* box, const TComboBoxValues& v)
{
    SCOPED_TRACE(box->Name().toStdString());
    EXPECT_EQ(box->Text(), v.Text);
    QStringList items;
    for (int i = 0; i < box->Items()->Count(); ++i)
        items << box->Items()->Strings(i);
    EXPECT_EQ(items, v.Items);
    EXPECT_EQ(box->Enabled(), v.Enabled);
    EXPECT_EQ(box->Visible(), v.Visible);
}

void ExpectDialogShows(TfrmOption& d, const TOptionValues& v)
{
    ExpectComboShows(d.cmbFormats, v.cmbFormats);
    ExpectComboShows(d.cmbQuality, v.cmbQuality);
    ExpectComboShows(d.cmbFrameSize, v.cmbFrameSize);
    ExpectComboShows(d.cmbFrameRate, v.cmbFrameRate);
    ExpectComboShows(d.cmbVideoCodec, v.cmbVideoCodec);
    ExpectComboShows(d.cmbAudioCodec, v.cmbAudioCodec);
    ExpectComboShows(d.cmbAudioSampleRate, v.cmbAudioSampleRate);
    ExpectComboShows(d.cmbAudioChannels, v.cmbAudioChannels);
    for (auto [group, values] : {std::pair{d.grpAspectRatio, &v.grpAspectRatio}, std::pair{d.grpNorm, &v.grpNorm}}) {
        SCOPED_TRACE(group->Name().toStdString());
        EXPECT_EQ(group->ItemIndex(), values->ItemIndex);
        EXPECT_EQ(group->ButtonCount(), values->Items.size());
        EXPECT_EQ(group->Enabled(), values->Enabled);
        EXPECT_EQ(group->Visible(), values->Visible);
    }
    for (auto [bar, values] : {std::pair{d.trcBitRate, &v.trcBitRate}, std::pair{d.trcAudioBitrate, &v.trcAudioBitrate}}) {
        SCOPED_TRACE(bar->Name().toStdString());
        EXPECT_EQ(bar->Position(), values->Position);
        EXPECT_EQ(bar->Max(), values->Max);
        EXPECT_EQ(bar->Enabled(), values->Enabled);
    }
}

class OptionsDialogTest : public DialogTest {
protected:
    static void SetUpTestSuite() { FDocument = LoadProfilesFromResource(QStringLiteral("VIDEO")); }
    static void TearDownTestSuite() { FDocument = QDomDocument(); }
    static TXMLRootType Root() { return Getroot(FDocument); }
    static inline QDomDocument FDocument;
};

TEST_F(OptionsDialogTest, EveryProfileShowsItsStatesAndBuildsItsLine)
{
    for (const TProfileLineCase& c : ProfileLineCases()) {
        if (c.SourceWidth != 640)
            continue;  // the clip is 640x480
        SCOPED_TRACE(testing::Message() << c.Desc << (c.Path == ppCombo ? " combo" : " preset"));
        auto dialog = Open("preview640.avi");
        const QString desc = QString::fromUtf8(c.Desc);
        if (c.Path == ppCombo)
            ChooseItem(dialog->cmbFormats, desc);
        else
            dialog->SelectProfile(QStringLiteral("mpeg_v"), desc);
        ExpectDialogShows(*dialog, ValuesFor(Root(), desc, SourceOf(640, 480), c.Path));
        dialog->btnOk->Click();
        EXPECT_EQ(dialog->ModalResult(), mrOk);
        EXPECT_EQ(dialog->OutputOptions().Options.toStdString(), c.Line);
        EXPECT_EQ(dialog->OutputOptions().Extension.toStdString(), c.Extension);
        EXPECT_EQ(dialog->InputOptions().FileName, FixtureFile("preview640.avi"));
    }
}

TEST_F(OptionsDialogTest, DvdNtscAndTheProfileChosenAfterIt)
{
    auto dialog = Open("preview640.avi");
    ChooseItem(dialog->cmbFormats, QStringLiteral("DVD Video NTSC Movie (*.mpg)"));
    ChooseItem(dialog->cmbQuality, QStringLiteral("3. High"));
    EXPECT_EQ(dialog->grpAspectRatio->Items()->Strings(0), QStringLiteral("4:3"));
    EXPECT_EQ(dialog->grpAspectRatio->Buttons(1)->Caption(), QStringLiteral("16:9"));
    EXPECT_TRUE(dialog->grpAspectRatio->Buttons(1)->Checked());
    EXPECT_TRUE(dialog->grpNorm->Visible());
    EXPECT_FALSE(dialog->grpNorm->Enabled());
    EXPECT_EQ(dialog->grpNorm->ItemIndex(), 1);
    EXPECT_FALSE(dialog->cmbFrameRate->Enabled());
    EXPECT_EQ(dialog->cmbFrameRate->Text(), QStringLiteral("Auto"));
    // The slider reaches the profile's 8000 kbit/s.
    EXPECT_EQ(dialog->trcBitRate->Position(), 8000);
    EXPECT_EQ(dialog->labVideBit->Caption(), QStringLiteral("8000 kbps"));
    ChooseItem(dialog->cmbQuality, QStringLiteral("2. Medium"));
    EXPECT_EQ(dialog->trcBitRate->Position(), 5000);

    // Another profile switches the rate box back on, and the line has its rate.
    ChooseItem(dialog->cmbFormats, QStringLiteral("MPEG-II Movie (*.mpg)"));
    EXPECT_TRUE(dialog->cmbFrameRate->Enabled());
    EXPECT_FALSE(dialog->grpNorm->Visible());
    dialog->btnOk->Click();
    EXPECT_NE(dialog->OutputOptions().Options.indexOf(" -r 25 "), -1) << dialog->OutputOptions().Options.constData();
}

TEST_F(OptionsDialogTest, SmallHandlers)
{
    auto dialog = Open("preview640.avi");
    EXPECT_EQ(dialog->Height(), 318);
    dialog->btnAdv->Click();
    EXPECT_EQ(dialog->Height(), 570);
    dialog->btnAdv->Click();
    EXPECT_EQ(dialog->Height(), 318);

    EXPECT_FALSE(dialog->trcVolume->Enabled());
    dialog->chkAudioVolume->SetChecked(true);
    EXPECT_TRUE(dialog->trcVolume->Enabled());
    const std::pair<int, const char*> volumes[] = {{0, "Volume: -256"}, {512, "Volume: +256"}, {300, "Volume: +44"},
                                                   {200, "Volume: -56"}, {256, "Volume: 0 - Normal"}};
    for (const auto& [position, text] : volumes) {
        dialog->trcVolume->SetPosition(position);
        EXPECT_EQ(dialog->labVolume->Caption(), QString::fromLatin1(text));
    }

    // Typed letters do not reach the format box.
    const QString before = dialog->cmbFormats->Text();
    QKeyEvent press(QEvent::KeyPress, Qt::Key_V, Qt::NoModifier, QStringLiteral("V"));
    QApplication::sendEvent(dialog->cmbFormats->Widget(), &press);
    EXPECT_EQ(dialog->cmbFormats->Text(), before);
    EXPECT_EQ(static_cast<QComboBox*>(dialog->cmbFormats->Widget())->currentText(), before);

    // The audio-only text of a profile without a video quality list.
    ChooseItem(dialog->cmbFormats, QStringLiteral("M1V Format no audio (*.m1v)"));
    EXPECT_EQ(dialog->cmbAudioCodec->Text(), QStringLiteral("None"));
    EXPECT_EQ(dialog->cmbAudioSampleRate->Text(), QString());
    EXPECT_EQ(dialog->cmbAudioChannels->Items()->Count(), 0);
}

TEST_F(OptionsDialogTest, ABatchKeepsTheUsersChoicesAndTakesEachSourcesSize)
{
    auto dialog = Open("preview640.avi");
    const QString quality = dialog->cmbQuality->Items()->Strings(dialog->cmbQuality->Items()->Count() - 1);
    ChooseItem(dialog->cmbQuality, quality);
    dialog->trcBitRate->SetPosition(3000);
    dialog->chkKeepAspect->SetChecked(true);
    dialog->btnOk->Click();
    const TOptionValues chosen = dialog->Values();
    ASSERT_EQ(chosen.cmbQuality.Text, quality);

    TFFDecoder batchDecoder(nullptr);
    const QStringList files = {FixtureFile("preview640.avi"), FixtureFile("mpeg4_mp3.avi"),
                               FixtureFile("h264_aac.mp4"), FixtureFile("no-such-file.avi")};
    const std::vector<TFileJobOptions> jobs =
        BatchJobOptions(chosen, dialog->ProfileRoot(), batchDecoder, files, dialog->BuildEnvironment());
    ASSERT_EQ(jobs.size(), 4u);
    const char* scales[] = {"scale=640:480\"", "scale=352:288\"", "scale=320:240\""};
    const char* aspects[] = {"setdar=1.333", "setdar=1.222", "setdar=1.333"};
    for (int i = 0; i < 3; ++i) {
        const TFileJobOptions& job = jobs[size_t(i)];
        SCOPED_TRACE(job.FileName.toStdString());
        ASSERT_TRUE(job.Loaded);
        EXPECT_EQ(job.InputOptions.FileName, files[i]);
        EXPECT_EQ(job.Values.cmbQuality.Text, quality);
        EXPECT_TRUE(job.Values.chkKeepAspect);
        const std::string line = job.OutputOptions.Options.toStdString();
        EXPECT_NE(line.find(" -b:v 3000k "), std::string::npos) << line;
        EXPECT_NE(line.find(scales[i]), std::string::npos) << line;
        EXPECT_NE(line.find(aspects[i]), std::string::npos) << line;
    }
    EXPECT_EQ(jobs[1].Values.SourceWidth, 352);
    EXPECT_EQ(jobs[2].Values.TargetHeight, 240);
    EXPECT_FALSE(jobs[3].Loaded);
    EXPECT_FALSE(jobs[3].LoadError.isEmpty());
    EXPECT_FALSE(batchDecoder.Loaded());
}

TEST_F(OptionsDialogTest, FiltersChosenInTheFiltersDialogEndTheChain)
{
    auto dialog = Open("preview640.avi");
    TTimer timer(nullptr);
    timer.SetInterval(10);
    timer.OnTimer = TNotifyEvent::FromFunction([&](TObject*) {
        for (int i = 0; i < Screen->FormCount(); ++i)
            if (auto* filters = dynamic_cast<TfrmFilters*>(Screen->Forms(i)); filters != nullptr && filters->Modal()) {
                timer.SetEnabled(false);
                filters->chkBrightness->SetChecked(true);
                filters->trbBrightness->SetPosition(30);
                filters->chkSaturation->SetChecked(true);
                filters->trbSaturation->SetPosition(-20);
                ChooseItem(filters->cboRotate, QStringLiteral("Right"));
                ChooseItem(filters->cboFlip, QStringLiteral("Vertical Flip"));
                filters->btnOk->Click();
            }
    });
    timer.SetEnabled(true);
    dialog->btnFilters->Click();
    const TOptionValues& v = dialog->Values();
    EXPECT_TRUE(v.BrightnessOn);
    EXPECT_EQ(v.Brightness, 30);
    EXPECT_EQ(v.RotateText, QStringLiteral("Right"));
    dialog->btnOk->Click();
    EXPECT_EQ(dialog->OutputOptions().VideoFilters,
              QStringLiteral("setdar=1.333,scale=640:480,vflip,rotate=90,nativeeq=30:0,nativehue=0:-20"));

    // Opened again, the filters dialog shows what was chosen; Cancel keeps it.
    timer.OnTimer = TNotifyEvent::FromFunction([&](TObject*) {
        for (int i = 0; i < Screen->FormCount(); ++i)
            if (auto* filters = dynamic_cast<TfrmFilters*>(Screen->Forms(i)); filters != nullptr && filters->Modal()) {
                timer.SetEnabled(false);
                EXPECT_TRUE(filters->trbBrightness->Enabled());
                EXPECT_EQ(filters->trbBrightness->Position(), 30);
                EXPECT_EQ(filters->cboRotate->Text(), QStringLiteral("Right"));
                filters->chkBrightness->SetChecked(false);
                filters->btnCancel->Click();
            }
    });
    timer.SetEnabled(true);
    dialog->btnFilters->Click();
    EXPECT_TRUE(dialog->Values().BrightnessOn);
}

TEST_F(OptionsDialogTest, EditingPutsTheJobsValuesBack)
{
    auto first = Open("preview640.avi");
    ChooseItem(first->cmbFormats, QStringLiteral("SVCD Video (*.mpg)"));
    first->grpNorm->Buttons(0)->SetChecked(true);  // PAL
    first->trcAudioBitrate->SetPosition(192);
    first->btnOk->Click();
    const TOptionValues job = first->Values();
    const AnsiString line = first->OutputOptions().Options;
    first.reset();
    decoder->CloseFile();

    ASSERT_TRUE(decoder->LoadFile(FixtureFile("preview640.avi")));
    TfrmOption edit(nullptr, decoder.get());
    edit.SetBuildEnvironment(TBuildEnvironment{4, QStringLiteral("aac"), [](const QString&) { return false; }});
    edit.LoadJobValues(job);
    edit.Show();  // loads nothing in edit mode
    EXPECT_EQ(edit.cmbFormats->Text(), QStringLiteral("SVCD Video (*.mpg)"));
    EXPECT_EQ(edit.grpNorm->ItemIndex(), 0);
    EXPECT_EQ(edit.trcAudioBitrate->Position(), 192);
    edit.btnOk->Click();
    EXPECT_EQ(edit.OutputOptions().Options, line);
    EXPECT_NE(line.indexOf("-target pal-svcd"), -1);
}

}  // namespace
