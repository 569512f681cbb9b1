#include "app/OptionsU.h"

#include <QDir>
#include <QFileInfo>

#include "app/filters_u.h"

namespace {

const String MpegGroup = QStringLiteral("mpeg_v");
const String DefaultProfile = QStringLiteral("MPEG-I Movie (*.mpg)");
constexpr int CollapsedHeight = 318;
constexpr int ExpandedHeight = 570;

template <class T>
T* make(TComponent* owner, TWinControl* parent, const char* name, int l, int t, int w, int h)
{
    auto c = std::make_unique<T>(owner);
    c->SetName(String::fromLatin1(name));
    c->SetParent(parent);
    c->SetBounds(l, t, w, h);
    return c.release();  // owned by the form as its component
}

TLabel* makeLabel(TComponent* owner, TWinControl* parent, const char* name, int l, int t, const char* caption)
{
    TLabel* label = make<TLabel>(owner, parent, name, l, t, 120, 13);
    label->SetCaption(String::fromLatin1(caption));
    return label;
}

TGroupBox* makeGroup(TComponent* owner, TWinControl* parent, const char* name, int l, int t, int w, int h,
                     const char* caption)
{
    TGroupBox* group = make<TGroupBox>(owner, parent, name, l, t, w, h);
    group->SetCaption(String::fromLatin1(caption));
    return group;
}

// The text is selected as an item when it is one; otherwise the box shows
// it as its text with no item selected ("N/A", or a rate a preset names).
void setComboText(TComboBox* box, const String& text)
{
    for (int i = 0; i < box->Items()->Count(); ++i)
        if (box->Items()->Strings(i) == text) {
            box->SetItemIndex(i);
            return;
        }
    box->SetItemIndex(-1);
    box->SetText(text);
}

void setItems(TStrings* strings, const QStringList& items)
{
    QStringList current;
    for (int i = 0; i < strings->Count(); ++i)
        current << strings->Strings(i);
    if (current == items)
        return;
    strings->BeginUpdate();
    strings->Clear();
    for (const String& item : items)
        strings->Add(item);
    strings->EndUpdate();
}

void writeCombo(TComboBox* box, const TComboBoxValues& values)
{
    setItems(box->Items(), values.Items);
    setComboText(box, values.Text);
    box->SetEnabled(values.Enabled);
    box->SetVisible(values.Visible);
}

void writeTrackBar(TTrackBar* bar, const TTrackBarValues& values)
{
    bar->SetMin(values.Min);
    bar->SetMax(values.Max);
    bar->SetPosition(values.Position);
    bar->SetEnabled(values.Enabled);
    bar->SetVisible(values.Visible);
}

void writeRadioGroup(TRadioGroup* group, const TRadioGroupValues& values)
{
    setItems(group->Items(), values.Items);
    group->SetItemIndex(values.ItemIndex);
    group->SetEnabled(values.Enabled);
    group->SetVisible(values.Visible);
}

}  // namespace

TSourceStreamInfo SourceStreamInfoOf(TFFDecoder& Decoder)
{
    TSourceStreamInfo source;
    if (!Decoder.Loaded())
        return source;
    source.FileName = Decoder.GetFileName();
    source.ForcedFormat = Decoder.ForcedFormat();
    if (Decoder.VideoStreamCount() > 0) {
        TVideoStreamInfo video;
        Decoder.GetVideoStreamInfo(video);
        source.FirstVideoStream = Decoder.FirstVideoStream();
        source.Width = video.Width;
        source.Height = video.Height;
        source.FrameRateNum = video.FrameRateNum;
        source.FrameRateDen = video.FrameRateDen;
    }
    return source;
}

TFileJobOptions JobOptionsForSource(const TOptionValues& Chosen, const TXMLRootType& ProfileRoot,
                                    const TSourceStreamInfo& Source, const TBuildEnvironment& Environment)
{
    TFileJobOptions job;
    job.FileName = Source.FileName;
    job.Loaded = true;
    job.Values = Chosen;
    job.Values.SourceWidth = Source.Width;
    job.Values.SourceHeight = Source.Height;
    // Rebuilding the input record also switches the filters off; the
    // batch keeps the user's, so that happens on a copy.
    TOptionValues scratch = Chosen;
    job.InputOptions = ResetInputOptions(scratch, Source);
    job.OutputOptions = BuildOutputOptions(job.Values, ProfileRoot, Source, Environment);
    job.Values.TargetWidth = job.OutputOptions.TargetWidth;
    job.Values.TargetHeight = job.OutputOptions.TargetHeight;
    return job;
}

std::vector<TFileJobOptions> BatchJobOptions(const TOptionValues& Chosen, const TXMLRootType& ProfileRoot,
                                             TFFDecoder& Decoder, const QStringList& Files,
                                             const TBuildEnvironment& Environment)
{
    std::vector<TFileJobOptions> jobs;
    for (const String& file : Files) {
        if (!Decoder.LoadFile(file)) {
            TFileJobOptions failed;
            failed.FileName = file;
            failed.LoadError = Decoder.LastError();
            jobs.push_back(std::move(failed));
            continue;
        }
        jobs.push_back(JobOptionsForSource(Chosen, ProfileRoot, SourceStreamInfoOf(Decoder), Environment));
        Decoder.CloseFile();
    }
    return jobs;
}

TfrmOption::TfrmOption(TComponent* AOwner, TFFDecoder* ADecoder) : TForm(AOwner), FDecoder(ADecoder)
{
    FEnvironment = SystemBuildEnvironment();
    createControls();
    createPreviewControls();
    OnShow = TNotifyEvent(this, &TfrmOption::FormShow);
    OnHide = TNotifyEvent(this, &TfrmOption::FormHide);
    OnClose = TCloseEvent(this, &TfrmOption::FormClose);
    FormCreate();
}

TfrmOption::~TfrmOption()
{
    // The handlers must not run while the controls go away.
    OnShow = nullptr;
    OnHide = nullptr;
    OnClose = nullptr;
    trcPreview->OnChange = nullptr;
}

void TfrmOption::createControls()
{
    SetName(QStringLiteral("frmOption"));
    SetCaption(QStringLiteral("Output Options"));
    SetBorderStyle(bsDialog);
    SetClientWidth(730);
    SetClientHeight(517);
    SetPosition(poMainFormCenter);
    Font()->SetName(QStringLiteral("Tahoma"));
    Font()->SetSize(8);

    lblFormats = makeLabel(this, this, "lblFormats", 8, 8, "Output Format");
    cmbFormats = make<TComboBox>(this, this, "cmbFormats", 8, 24, 465, 21);
    lblQuality = makeLabel(this, this, "lblQuality", 8, 52, "Output Quality");
    cmbQuality = make<TComboBox>(this, this, "cmbQuality", 8, 68, 465, 21);
    lblFrameSize = makeLabel(this, this, "lblFrameSize", 8, 96, "Video Size");
    cmbFrameSize = make<TComboBox>(this, this, "cmbFrameSize", 8, 112, 150, 21);
    lblFrameRate = makeLabel(this, this, "lblFrameRate", 165, 96, "Frame Rate");
    cmbFrameRate = make<TComboBox>(this, this, "cmbFrameRate", 165, 112, 150, 21);
    lblVideoCodec = makeLabel(this, this, "lblVideoCodec", 322, 96, "Video Codec");
    cmbVideoCodec = make<TComboBox>(this, this, "cmbVideoCodec", 322, 112, 151, 21);
    lblAudioCodec = makeLabel(this, this, "lblAudioCodec", 8, 140, "Audio Codec");
    cmbAudioCodec = make<TComboBox>(this, this, "cmbAudioCodec", 8, 156, 150, 21);
    grpAspectRatio = make<TRadioGroup>(this, this, "grpAspectRatio", 165, 140, 150, 80);
    grpAspectRatio->SetCaption(QStringLiteral("Aspect Ratio"));
    grpNorm = make<TRadioGroup>(this, this, "grpNorm", 322, 140, 151, 45);
    grpNorm->SetCaption(QStringLiteral("TV Type"));
    grpNorm->SetColumns(3);
    grpNorm->Items()->Add(QStringLiteral("PAL"));
    grpNorm->Items()->Add(QStringLiteral("NTSC"));
    grpNorm->SetItemIndex(0);
    grpNorm->SetVisible(false);

    btnAdv = make<TButton>(this, this, "btnAdv", 8, 250, 90, 25);
    btnAdv->SetCaption(QStringLiteral("Advanced..."));
    btnOk = make<TButton>(this, this, "btnOk", 318, 250, 75, 25);
    btnOk->SetCaption(QStringLiteral("OK"));
    btnOk->SetModalResult(mrOk);
    btnOk->SetDefault(true);
    btnCancel = make<TButton>(this, this, "btnCancel", 398, 250, 75, 25);
    btnCancel->SetCaption(QStringLiteral("Cancel"));
    btnCancel->SetModalResult(mrCancel);
    btnCancel->SetCancel(true);

    ToolBar1 = make<TToolBar>(this, this, "ToolBar1", 0, 0, 730, 29);
    ToolBar1->SetVisible(false);
    bMpeg = make<TToolButton>(this, ToolBar1, "bMpeg", 0, 2, 23, 22);
    bMpeg->SetStyle(tbsCheck);
    bMpeg->SetTag(0);

    GroupBox2 = makeGroup(this, this, "GroupBox2", 8, 290, 715, 220, " Advanced Options ");
    grpVolume = makeGroup(this, GroupBox2, "grpVolume", 8, 18, 170, 95, "Audio Volume");
    chkAudioVolume = make<TCheckBox>(this, grpVolume, "chkAudioVolume", 8, 18, 150, 17);
    chkAudioVolume->SetCaption(QStringLiteral("Adjust Volume"));
    trcVolume = make<TTrackBar>(this, grpVolume, "trcVolume", 4, 38, 162, 30);
    trcVolume->SetMax(512);
    trcVolume->SetPosition(256);
    trcVolume->SetFrequency(16);
    trcVolume->SetLineSize(2);
    trcVolume->SetEnabled(false);
    labVolume = makeLabel(this, grpVolume, "labVolume", 8, 72, "Volume: 0 - Normal");
    edtAudioVolume = make<TEdit>(this, grpVolume, "edtAudioVolume", 120, 70, 40, 21);
    edtAudioVolume->SetVisible(false);
    edtAudioVolume->SetEnabled(false);

    grpBitRate = makeGroup(this, GroupBox2, "grpBitRate", 185, 18, 340, 95, "Bit Rate (Kbps)");
    lblVideoBitrate = makeLabel(this, grpBitRate, "lblVideoBitrate", 8, 22, "Video Bitrate");
    trcBitRate = make<TTrackBar>(this, grpBitRate, "trcBitRate", 90, 16, 180, 30);
    trcBitRate->SetMin(16);
    trcBitRate->SetMax(5000);
    trcBitRate->SetPosition(200);
    trcBitRate->SetFrequency(250);
    labVideBit = makeLabel(this, grpBitRate, "labVideBit", 275, 22, "200 kbps");
    edtVideoBitRate = make<TEdit>(this, grpBitRate, "edtVideoBitRate", 275, 40, 50, 21);
    edtVideoBitRate->SetVisible(false);
    lblAudioBitrate = makeLabel(this, grpBitRate, "lblAudioBitrate", 8, 60, "Audio Bitrate");
    trcAudioBitrate = make<TTrackBar>(this, grpBitRate, "trcAudioBitrate", 90, 54, 180, 30);
    trcAudioBitrate->SetMin(16);
    trcAudioBitrate->SetMax(448);
    trcAudioBitrate->SetPosition(64);
    trcAudioBitrate->SetFrequency(24);
    labAudioBit = makeLabel(this, grpBitRate, "labAudioBit", 275, 60, "64 kbps");
    edtAudioBitRate = make<TEdit>(this, grpBitRate, "edtAudioBitRate", 275, 70, 50, 21);
    edtAudioBitRate->SetVisible(false);

    grpSampleRate = makeGroup(this, GroupBox2, "grpSampleRate", 532, 18, 175, 46, "Audio Sample Rate (Hz)");
    cmbAudioSampleRate = make<TComboBox>(this, grpSampleRate, "cmbAudioSampleRate", 8, 18, 159, 21);
    cmbAudioSampleRate->SetText(QStringLiteral("44100"));
    grpChannels = makeGroup(this, GroupBox2, "grpChannels", 532, 67, 175, 46, "Audio Channel");
    cmbAudioChannels = make<TComboBox>(this, grpChannels, "cmbAudioChannels", 8, 18, 159, 21);
    grpLetterbox = makeGroup(this, GroupBox2, "grpLetterbox", 8, 120, 170, 46, "Letterbox ");
    chkKeepAspect = make<TCheckBox>(this, grpLetterbox, "chkKeepAspect", 8, 20, 150, 17);
    chkKeepAspect->SetCaption(QStringLiteral("Keep Aspect Ratio"));
    grpFilters = makeGroup(this, GroupBox2, "grpFilters", 185, 120, 120, 46, " Filters ");
    btnFilters = make<TButton>(this, grpFilters, "btnFilters", 8, 16, 40, 23);
    btnFilters->SetCaption(QStringLiteral("..."));

    // The boxes take no typed text: every value comes from a list.
    for (TComboBox* box : {cmbFormats, cmbQuality, cmbFrameSize, cmbFrameRate, cmbVideoCodec, cmbAudioCodec,
                           cmbAudioSampleRate, cmbAudioChannels})
        box->SetStyle(csDropDownList);
    for (TComboBox* box : {cmbFormats, cmbQuality, cmbFrameSize, cmbFrameRate, cmbVideoCodec, cmbAudioCodec})
        box->OnKeyPress = TKeyPressEvent(this, &TfrmOption::ComboKeyPress);

    cmbFormats->OnChange = TNotifyEvent(this, &TfrmOption::cmbFormatsChange);
    cmbQuality->OnChange = TNotifyEvent(this, &TfrmOption::cmbQualityChange);
    bMpeg->OnClick = TNotifyEvent(this, &TfrmOption::ButtonChoice);
    trcVolume->OnChange = TNotifyEvent(this, &TfrmOption::trcVolumeChange);
    trcBitRate->OnChange = TNotifyEvent(this, &TfrmOption::trcBitRateChange);
    trcAudioBitrate->OnChange = TNotifyEvent(this, &TfrmOption::trcAudioBitrateChange);
    chkAudioVolume->OnClick = TNotifyEvent(this, &TfrmOption::chkAudioVolumeClick);
    btnAdv->OnClick = TNotifyEvent(this, &TfrmOption::btnAdvClick);
    btnFilters->OnClick = TNotifyEvent(this, &TfrmOption::btnFiltersClick);
    btnOk->OnClick = TNotifyEvent(this, &TfrmOption::btnOkClick);
}

void TfrmOption::createPreviewControls()
{
    grpCutClip = makeGroup(this, this, "grpCutClip", 484, 8, 239, 236, " Preview ");
    Panel1 = make<TPanel>(this, grpCutClip, "Panel1", 3, 16, 233, 168);
    Panel1->SetColor(clBlack);
    Panel1->SetBevelOuter(bvNone);
    imgPreview = make<TImage>(this, Panel1, "imgPreview", 2, 5, 228, 159);
    imgPreview->OnClick = TNotifyEvent(this, &TfrmOption::imgPreviewClick);
    shpPTS = make<TShape>(this, grpCutClip, "shpPTS", 134, 186, 102, 19);
    shpPTS->Pen()->SetColor(clWhite);
    shpPTS->Brush()->SetColor(clBlack);
    lblPTS = make<TPanel>(this, grpCutClip, "lblPTS", 135, 187, 100, 17);
    lblPTS->SetBevelOuter(bvNone);
    lblPTS->SetColor(clBlack);
    lblPTS->SetAlignment(taRightJustify);
    lblPTS->Font()->SetColor(clWhite);
    lblPTS->SetCaption(QStringLiteral("0.000 sec "));
    trcPreview = make<TTrackBar>(this, grpCutClip, "trcPreview", 3, 206, 233, 28);
    trcPreview->SetTickMarks(tmTopLeft);
    trcPreview->OnChange = TNotifyEvent(this, &TfrmOption::trcPreviewChange);
}

void TfrmOption::FormCreate()
{
    FPreviewFrame = std::make_unique<TBitmap>();
    FSource = FDecoder != nullptr ? SourceStreamInfoOf(*FDecoder) : TSourceStreamInfo();
    FInputOptions = ResetInputOptions(FValues, FSource);
    ClearPreview();
    imgPreview->SetHint(String());
    SetShowHint(true);
    FProfileDocument = LoadProfilesFromResource(QStringLiteral("video"));
    FProfileRoot = Getroot(FProfileDocument);

    const bool loaded = FDecoder != nullptr && FDecoder->Loaded();
    const bool hasVideo = loaded && FDecoder->VideoStreamCount() > 0;
    // A single picture has nothing to move through; the media libraries now
    // name its format after the picture's codec ("png_pipe") as well as "image2".
    const String format = loaded ? FDecoder->GetFormatName() : String();
    const bool still = format == QLatin1String("image2") || format == QLatin1String("image2pipe") ||
                       format.endsWith(QLatin1String("_pipe"));
    trcPreview->SetEnabled(hasVideo && !still);
    TFileStreamInfo file;
    if (loaded)
        FDecoder->GetFileStreamInfo(file);
    FFileDuration = file.Duration;
    if (hasVideo) {
        TVideoStreamInfo video;
        FDecoder->GetVideoStreamInfo(video);
        if (video.FrameRateDen > 0) {
            const int64_t d = video.Duration > 0 ? video.Duration : FFileDuration;
            FFrameCount = std::max(0, int(std::nearbyint(double(d) / 1000000.0 * video.FrameRateNum /
                                                           video.FrameRateDen)));
        }
        ShowNextFrame();
    }
    UpdatePreviewTrackBar();
}

const TOptionValues& TfrmOption::Values()
{
    readControls();
    return FValues;
}

void TfrmOption::readControls()
{
    if (FWriting)
        return;
    TOptionValues& v = FValues;
    const std::pair<TComboBoxValues*, TComboBox*> combos[] = {
        {&v.cmbFormats, cmbFormats},       {&v.cmbQuality, cmbQuality},
        {&v.cmbFrameSize, cmbFrameSize},   {&v.cmbFrameRate, cmbFrameRate},
        {&v.cmbVideoCodec, cmbVideoCodec}, {&v.cmbAudioCodec, cmbAudioCodec},
        {&v.cmbAudioSampleRate, cmbAudioSampleRate}, {&v.cmbAudioChannels, cmbAudioChannels}};
    for (const auto& [values, box] : combos)
        values->Text = box->Text();
    v.grpAspectRatio.ItemIndex = grpAspectRatio->ItemIndex();
    v.grpNorm.ItemIndex = grpNorm->ItemIndex();
    v.trcBitRate.Position = trcBitRate->Position();
    v.trcAudioBitrate.Position = trcAudioBitrate->Position();
    v.trcVolume.Position = trcVolume->Position();
    v.trcVolume.Enabled = trcVolume->Enabled();
    v.chkAudioVolume = chkAudioVolume->Checked();
    v.chkKeepAspect = chkKeepAspect->Checked();
}

void TfrmOption::writeControls()
{
    FWriting = true;
    try {
        const TOptionValues& v = FValues;
        writeCombo(cmbFormats, v.cmbFormats);
        writeCombo(cmbQuality, v.cmbQuality);
        writeCombo(cmbFrameSize, v.cmbFrameSize);
        writeCombo(cmbFrameRate, v.cmbFrameRate);
        writeCombo(cmbVideoCodec, v.cmbVideoCodec);
        writeCombo(cmbAudioCodec, v.cmbAudioCodec);
        writeCombo(cmbAudioSampleRate, v.cmbAudioSampleRate);
        writeCombo(cmbAudioChannels, v.cmbAudioChannels);
        writeRadioGroup(grpAspectRatio, v.grpAspectRatio);
        writeRadioGroup(grpNorm, v.grpNorm);
        writeTrackBar(trcBitRate, v.trcBitRate);
        writeTrackBar(trcAudioBitrate, v.trcAudioBitrate);
        writeTrackBar(trcVolume, v.trcVolume);
        edtAudioVolume->SetEnabled(v.trcVolume.Enabled);
        chkAudioVolume->SetChecked(v.chkAudioVolume);
        chkKeepAspect->SetChecked(v.chkKeepAspect);
    } catch (...) {
        FWriting = false;
        throw;
    }
    FWriting = false;
}

void TfrmOption::LoadJobValues(const TOptionValues& Job)
{
    SetEditMode(true);
    SelectProfile(Job.ProfileGroup, Job.ProfileDesc);
    FValues = Job;
    FValues.EditMode = true;
    writeControls();
}

void TfrmOption::SelectProfile(const String& Group, const String& Desc)
{
    readControls();
    FSource = FDecoder != nullptr ? SourceStreamInfoOf(*FDecoder) : TSourceStreamInfo();
    FInputOptions = ResetInputOptions(FValues, FSource);
    ::SelectProfile(FValues, FProfileRoot, Group, Desc, FSource.Width, FSource.Height);
    bMpeg->SetDown(Group == MpegGroup);
    writeControls();
}

void TfrmOption::FillFormatList(const String& Group)
{
    readControls();
    ::FillFormatList(FValues, FProfileRoot, Group);
    writeControls();
}

void TfrmOption::LoadProfile(const String& Desc)
{
    readControls();
    ::LoadProfile(FValues, FProfileRoot, Desc);
    writeControls();
}

void TfrmOption::ApplyQualityPreset()
{
    readControls();
    ::ApplyQualityPreset(FValues, FProfileRoot);
    writeControls();
}

void TfrmOption::FormShow(TObject*)
{
    SetHeight(CollapsedHeight);
    if (!EditMode())
        SelectProfile(MpegGroup, DefaultProfile);
}

void TfrmOption::FormHide(TObject*)
{
    trcPreview->SetMax(0);
}

void TfrmOption::FormClose(TObject*, TCloseAction&)
{
    FAdvDown = false;
    SetHeight(CollapsedHeight);
}

void TfrmOption::cmbFormatsChange(TObject*)
{
    LoadProfile(cmbFormats->Text());
}

void TfrmOption::cmbQualityChange(TObject*)
{
    ApplyQualityPreset();
}

void TfrmOption::ButtonChoice(TObject* Sender)
{
    const auto* button = dynamic_cast<TComponent*>(Sender);
    if (button != nullptr && button->Tag() == 0) {
        FillFormatList(MpegGroup);
        LoadProfile(DefaultProfile);
    }
    ApplyQualityPreset();
}

void TfrmOption::ComboKeyPress(TObject*, QChar& Key)
{
    Key = QChar(0);
}

void TfrmOption::trcVolumeChange(TObject*)
{
    const int p = trcVolume->Position();
    edtAudioVolume->SetText(String::number(p));
    if (p == 256)
        labVolume->SetCaption(QStringLiteral("Volume: 0 - Normal"));
    else
        labVolume->SetCaption(QStringLiteral("Volume: ") + (p > 256 ? QStringLiteral("+") : String()) +
                              String::number(p - 256));
}

void TfrmOption::trcBitRateChange(TObject*)
{
    edtVideoBitRate->SetText(String::number(trcBitRate->Position()));
    labVideBit->SetCaption(String::number(trcBitRate->Position()) + QStringLiteral(" kbps"));
}

void TfrmOption::trcAudioBitrateChange(TObject*)
{
    edtAudioBitRate->SetText(String::number(trcAudioBitrate->Position()));
    labAudioBit->SetCaption(String::number(trcAudioBitrate->Position()) + QStringLiteral(" kbps"));
}

void TfrmOption::chkAudioVolumeClick(TObject*)
{
    trcVolume->SetEnabled(chkAudioVolume->Checked());
    edtAudioVolume->SetEnabled(chkAudioVolume->Checked());
    if (!FWriting)
        FValues.trcVolume.Enabled = chkAudioVolume->Checked();
}

void TfrmOption::btnAdvClick(TObject*)
{
    FAdvDown = !FAdvDown;
    SetHeight(FAdvDown ? ExpandedHeight : CollapsedHeight);
}

void TfrmOption::btnFiltersClick(TObject*)
{
    auto filters = std::make_unique<TfrmFilters>(this);
    TOptionValues& v = FValues;
    filters->chkBrightness->SetChecked(v.BrightnessOn);
    filters->chkContrast->SetChecked(v.ContrastOn);
    filters->chkSaturation->SetChecked(v.SaturationOn);
    filters->trbBrightness->SetPosition(v.Brightness);
    filters->trbContrast->SetPosition(v.Contrast);
    filters->trbSaturation->SetPosition(v.Saturation);
    TfrmFilters::SetChoice(filters->cboFlip, v.FlipText);
    TfrmFilters::SetChoice(filters->cboRotate, v.RotateText);
    if (filters->ShowModal() == mrOk) {
        v.BrightnessOn = filters->chkBrightness->Checked();
        v.ContrastOn = filters->chkContrast->Checked();
        v.SaturationOn = filters->chkSaturation->Checked();
        v.Brightness = filters->trbBrightness->Position();
        v.Contrast = filters->trbContrast->Position();
        v.Saturation = filters->trbSaturation->Position();
        v.FlipText = filters->cboFlip->Text();
        v.RotateText = filters->cboRotate->Text();
    }
}

void TfrmOption::btnOkClick(TObject*)
{
    readControls();
    if (FOutputFolder.isEmpty() || !QFileInfo(FOutputFolder).isDir()) {
        const String folder = QFileInfo(FSource.FileName).absolutePath();
        FOutputFolder = FSource.FileName.isEmpty() ? String() : folder + (folder.endsWith(u'/') ? "" : "/");
    }
    FOutputOptions = BuildOutputOptions(FValues, FProfileRoot, FSource, FEnvironment);
    FValues.TargetWidth = FOutputOptions.TargetWidth;
    FValues.TargetHeight = FOutputOptions.TargetHeight;
}
