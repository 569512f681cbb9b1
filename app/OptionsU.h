// OptionsU.h - the output options dialog: the profile, quality, codecs, sizes,
// rates and audio values of one job, the filters, and a preview of the source.
#pragma once
#include <QDomDocument>
#include <QStringList>
#include <memory>
#include <vector>

#include "app/OptionString.h"
#include "app/OptionValues.h"
#include "app/profiles_v2.h"
#include "engine/FFDecode.h"
#include "platform/controls/ComCtrls.h"
#include "platform/controls/ExtCtrls.h"
#include "platform/controls/Forms.h"
#include "platform/controls/RadioGroup.h"
#include "platform/controls/StdCtrls.h"

// What the option builder needs of the file the decoder has open; a decoder
// without a file gives a source without a name or video.
TSourceStreamInfo SourceStreamInfoOf(TFFDecoder& Decoder);

// One file's share of the user's choices: the dialog's values with what
// depends on the source recomputed, and the job's two records.
struct TFileJobOptions {
    String FileName;
    bool Loaded = false;
    String LoadError;  // the decoder's LastError when the file did not open
    TOptionValues Values;
    TBuiltInputOptions InputOptions;
    TBuiltOutputOptions OutputOptions;
};

// The choices made once in the dialog, applied to another source: the
// quality, codecs, rates, sizes, aspect and filters stay as the user left
// them; the source's size and rate fill in "Original" size, "Auto" rate and
// "Auto" aspect. The filters are kept (the input record is rebuilt apart).
TFileJobOptions JobOptionsForSource(const TOptionValues& Chosen, const TXMLRootType& ProfileRoot,
                                    const TSourceStreamInfo& Source, const TBuildEnvironment& Environment);

// Adding several files with one dialog: each file is opened with the
// decoder, given the chosen values, and closed again. A file that does not
// open comes back with Loaded false and the decoder's reason.
std::vector<TFileJobOptions> BatchJobOptions(const TOptionValues& Chosen, const TXMLRootType& ProfileRoot,
                                             TFFDecoder& Decoder, const QStringList& Files,
                                             const TBuildEnvironment& Environment);

// "hh:mm:ss.mmm" of a time in microseconds.
String FormatPTS(int64_t Microseconds);
// The largest rectangle of the picture's proportions centred in the box.
TRect FitRect(const TRect& Picture, const TRect& Box);
// Stretches the bitmap into the canvas's clip rectangle keeping its
// proportions; the rest of the canvas is left as it was.
void DrawLetterboxed(TCanvas* Canvas, TBitmap* Bitmap);

class TfrmOption : public TForm {
public:
    // The decoder has the input open (or no file, for a batch whose first
    // file failed); it is not owned and stays open after the dialog.
    TfrmOption(TComponent* AOwner, TFFDecoder* ADecoder);
    ~TfrmOption() override;
    String ClassName() const override { return String::fromLatin1("TfrmOption"); }

    // Main area.
    TLabel* lblFormats;
    TComboBox* cmbFormats;
    TLabel* lblQuality;
    TComboBox* cmbQuality;
    TLabel* lblFrameSize;
    TComboBox* cmbFrameSize;
    TLabel* lblFrameRate;
    TComboBox* cmbFrameRate;
    TLabel* lblVideoCodec;
    TComboBox* cmbVideoCodec;
    TLabel* lblAudioCodec;
    TComboBox* cmbAudioCodec;
    TRadioGroup* grpAspectRatio;
    TRadioGroup* grpNorm;
    TButton* btnAdv;  // a toggle: AdvDown() tells its state
    TButton* btnOk;
    TButton* btnCancel;
    TToolBar* ToolBar1;
    TToolButton* bMpeg;

    // Advanced group.
    TGroupBox* GroupBox2;
    TGroupBox* grpVolume;
    TCheckBox* chkAudioVolume;
    TTrackBar* trcVolume;
    TLabel* labVolume;
    TEdit* edtAudioVolume;
    TGroupBox* grpBitRate;
    TLabel* lblVideoBitrate;
    TTrackBar* trcBitRate;
    TLabel* labVideBit;
    TEdit* edtVideoBitRate;
    TLabel* lblAudioBitrate;
    TTrackBar* trcAudioBitrate;
    TLabel* labAudioBit;
    TEdit* edtAudioBitRate;
    TGroupBox* grpSampleRate;
    TComboBox* cmbAudioSampleRate;
    TGroupBox* grpChannels;
    TComboBox* cmbAudioChannels;
    TGroupBox* grpLetterbox;
    TCheckBox* chkKeepAspect;
    TGroupBox* grpFilters;
    TButton* btnFilters;

    // Preview.
    TGroupBox* grpCutClip;
    TPanel* Panel1;
    TImage* imgPreview;
    TShape* shpPTS;
    TPanel* lblPTS;
    TTrackBar* trcPreview;

    // The dialog's values: the controls show them; the handlers read the
    // controls into them before they act.
    const TOptionValues& Values();
    const TXMLRootType& ProfileRoot() const { return FProfileRoot; }
    const TBuiltInputOptions& InputOptions() const { return FInputOptions; }
    const TBuiltOutputOptions& OutputOptions() const { return FOutputOptions; }
    const TSourceStreamInfo& Source() const { return FSource; }

    bool EditMode() const { return FValues.EditMode; }
    void SetEditMode(bool Value) { FValues.EditMode = Value; }
    bool JoinMode() const { return FValues.JoinMode; }
    void SetJoinMode(bool Value) { FValues.JoinMode = Value; }
    bool AdvDown() const { return FAdvDown; }
    // The main window's output folder: on OK a folder that does not exist
    // becomes the input file's folder (with its separator).
    const String& OutputFolder() const { return FOutputFolder; }
    void SetOutputFolder(const String& Value) { FOutputFolder = Value; }
    // The machine facts the builder uses; tests put fixed ones in.
    void SetBuildEnvironment(const TBuildEnvironment& Value) { FEnvironment = Value; }
    const TBuildEnvironment& BuildEnvironment() const { return FEnvironment; }

    // Editing a job: its profile is loaded, then every value of the job is
    // put back into the controls. Sets the edit mode.
    void LoadJobValues(const TOptionValues& Job);

    void SelectProfile(const String& Group, const String& Desc);
    void FillFormatList(const String& Group);
    void LoadProfile(const String& Desc);
    void ApplyQualityPreset();

    // Preview.
    int64_t FileDuration() const { return FFileDuration; }
    int FrameCount() const { return FFrameCount; }
    int64_t CurrentPTS() const { return FCurrentPTS; }
    TBitmap* PreviewFrame() const { return FPreviewFrame.get(); }
    // The picture the preview box shows.
    TBitmap* PreviewPicture() const;
    void ClearPreview();
    void UpdatePreviewTrackBar();
    void ShowCurrentFrame();
    void ShowNextFrame();
    void ShowPreviousFrame();
    void SeekAndShow(int64_t Time);

    // Handlers.
    void FormShow(TObject* Sender);
    void FormHide(TObject* Sender);
    void FormClose(TObject* Sender, TCloseAction& Action);
    void cmbFormatsChange(TObject* Sender);
    void cmbQualityChange(TObject* Sender);
    void ButtonChoice(TObject* Sender);
    void ComboKeyPress(TObject* Sender, QChar& Key);
    void trcVolumeChange(TObject* Sender);
    void trcBitRateChange(TObject* Sender);
    void trcAudioBitrateChange(TObject* Sender);
    void chkAudioVolumeClick(TObject* Sender);
    void btnAdvClick(TObject* Sender);
    void btnFiltersClick(TObject* Sender);
    void btnOkClick(TObject* Sender);
    void trcPreviewChange(TObject* Sender);
    void imgPreviewClick(TObject* Sender);

private:
    void createControls();
    void createPreviewControls();
    void FormCreate();
    void readControls();
    void writeControls();

    TFFDecoder* FDecoder;
    QDomDocument FProfileDocument;
    TXMLRootType FProfileRoot;
    TOptionValues FValues;
    TSourceStreamInfo FSource;
    TBuiltInputOptions FInputOptions;
    TBuiltOutputOptions FOutputOptions;
    TBuildEnvironment FEnvironment;
    String FOutputFolder;
    bool FAdvDown = false;
    bool FWriting = false;  // the program is filling the controls

    std::unique_ptr<TBitmap> FPreviewFrame;
    int64_t FFileDuration = 0;
    int FFrameCount = 0;
    int64_t FCurrentPTS = 0;
    bool FTrackUpdating = false;
    int FLastTrackPosition = 0;
};
