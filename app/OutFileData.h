// OutFileData.h - one job of the converter's list: what the options dialog
// chose for a file, the records handed to the encoder, and the texts and
// output names the list shows and the run writes.
#pragma once
#include <QSet>
#include <QStringList>
#include <array>
#include <memory>
#include <optional>

#include "app/OptionValues.h"
#include "engine/FFEncode.h"
#include "platform/rtl/StringList.h"

// One job. The dialog's values are kept whole so that editing the job puts
// the dialog back into the state it had; the named accessors read them.
class TOutFileData : public TObject {
public:
    TOutFileData(const TOutputOptions& AOutputOptions, const TInputOptions& AInputOptions);
    ~TOutFileData() override;
    String ClassName() const override { return String::fromLatin1("TOutFileData"); }

    TOutputOptions OutputOptions;
    TInputOptions InputOptions;
    uint8_t State = 0;  // 0 added, 2 its task ended without a stop
    std::unique_ptr<TStringList> InputFiles;
    bool Join = false;
    String OutputFileName;

    // The options dialog's values when the job was added or last edited.
    TOptionValues Values;
    // Copies the dialog's values in; the source size only when asked (an
    // edit keeps the size the job was added with).
    void SetValues(const TOptionValues& AValues, bool KeepSourceSize);

    int VideoBitRate() const { return Values.trcBitRate.Position; }
    String FrameSizeText() const { return Values.cmbFrameSize.Text; }
    String FrameRateText() const { return Values.cmbFrameRate.Text; }
    String VideoCodecText() const { return Values.cmbVideoCodec.Text; }
    String AspectIndex() const { return String::number(Values.grpAspectRatio.ItemIndex); }
    String VideoTag() const { return Values.VideoTag; }
    String VideoPreset() const { return Values.VideoPreset; }
    // "0" PAL, "1" NTSC.
    String TvTypeIndex() const { return String::number(Values.grpNorm.ItemIndex); }
    String AudioCodecText() const { return Values.cmbAudioCodec.Text; }
    String SampleRateText() const { return Values.cmbAudioSampleRate.Text; }
    String ChannelsText() const { return Values.cmbAudioChannels.Text; }
    int AudioBitRate() const { return Values.trcAudioBitrate.Position; }
    String DisableAudio() const { return Values.DisableAudio; }
    int Volume() const { return Values.trcVolume.Position; }
    String CommandOutput() const { return Values.CommandOutput; }
    String CommandExtra() const { return Values.CommandExtra; }
    String QualityText() const { return Values.cmbQuality.Text; }
    String ProfileGroup() const { return Values.ProfileGroup; }
    String ProfileDesc() const { return Values.ProfileDesc; }
    String Level() const { return Values.Level; }
    bool KeepAspect() const { return Values.chkKeepAspect; }
    bool AdjustVolume() const { return Values.chkAudioVolume; }
    String RotateText() const { return Values.RotateText; }
    String FlipText() const { return Values.FlipText; }
    int Brightness() const { return Values.Brightness; }
    int Contrast() const { return Values.Contrast; }
    int Saturation() const { return Values.Saturation; }
    // Brightness, contrast and saturation on, then padding, cropping and keep-aspect.
    std::array<bool, 6> FilterSwitches() const;
    // Padding left, top, right, bottom, then cropping in the same order.
    std::array<int, 8> PadCrop() const;
    int SourceWidth() const { return Values.SourceWidth; }
    int SourceHeight() const { return Values.SourceHeight; }
    int TargetWidth = 0;
    int TargetHeight = 0;
    double SourceAspect = 0.0;
    double TargetAspect = 0.0;
    // The output file extension with its dot.
    String Extension;
};

// The files chosen in the open dialog or dropped on the list, on their way
// to the add routine.
class TPassData : public TObject {
public:
    TPassData();
    ~TPassData() override;
    String ClassName() const override { return String::fromLatin1("TPassData"); }
    TStringList* Files() const { return FFiles.get(); }
    void ResetFileSelection();

private:
    std::unique_ptr<TStringList> FFiles;
};

// "hh:mm:ss"; a part longer than two digits is kept whole.
String FormatSeconds(int64_t Seconds);
// "1.5 KB", "3 GB", " b" for nothing: at most two decimals, no trailing zeros.
String FormatFileSize(int64_t Bytes);

// The output names of one run. Every name handed out is reserved, so two
// jobs with the same base name never share an output, and no output may
// name an input of the run (it would destroy it).
class TOutputNamer {
public:
    // Inputs: every input file of the run.
    TOutputNamer(const QStringList& Inputs, bool OverwriteFiles);
    // Folder (with its separator) + Base + the TV suffix for "vcd", "svcd"
    // and "dvd" jobs + Extension; numbered "_(n)" when that name is taken:
    // reserved in this run, an input of the run, or (without overwriting) an
    // existing file.
    String MakeOutputFileName(const String& Folder, const String& InputFile, const String& CommandOutput,
                              const String& TvTypeIndex, const String& Extension);

    // Gives back a name handed out for a job that was not converted.
    void Release(const String& FileName);

private:
    struct TFileId {
        uint64_t Device = 0, Inode = 0;
        bool operator==(const TFileId&) const = default;
        friend size_t qHash(const TFileId& Id, size_t Seed = 0) { return qHashMulti(Seed, Id.Device, Id.Inode); }
    };
    static std::optional<TFileId> fileId(const String& FileName);
    bool taken(const String& FileName) const;
    static String canonical(const String& FileName);
    QSet<String> FInputs;
    QSet<TFileId> FInputIds;
    QSet<String> FReserved;
    bool FOverwriteFiles;
};
