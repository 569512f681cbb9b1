// OptionValues.h - the output options dialog's values as a plain record, and the
// window-free operations over them: listing formats, loading a profile, applying a quality preset.
#pragma once
#include <QStringList>

#include "app/profiles_v2.h"
#include "platform/rtl/String.h"

// A combo box as the dialog keeps it.
struct TComboBoxValues {
    String Text;
    QStringList Items;
    bool Enabled = true;
    bool Visible = true;

    void Clear()
    {
        Text.clear();
        Items.clear();
    }
};

// A radio group: its entries and the selected one (-1: none).
struct TRadioGroupValues {
    QStringList Items;
    int ItemIndex = -1;
    bool Enabled = true;
    bool Visible = true;

    String SelectedText() const { return ItemIndex >= 0 && ItemIndex < Items.size() ? Items.at(ItemIndex) : String(); }
};

// A slider: its position always lies within Min..Max.
struct TTrackBarValues {
    int Min = 0;
    int Max = 10;
    int Position = 0;
    bool Enabled = true;
    bool Visible = true;

    void SetPosition(int Value) { Position = Value < Min ? Min : Value > Max ? Max : Value; }
};

// The values of the output options dialog, named as its controls and state
// are named; the design values are the defaults here.
struct TOptionValues {
    TComboBoxValues cmbFormats;
    TComboBoxValues cmbQuality;
    TComboBoxValues cmbFrameSize;
    TComboBoxValues cmbFrameRate;
    TComboBoxValues cmbVideoCodec;
    TComboBoxValues cmbAudioCodec;
    TComboBoxValues cmbAudioSampleRate{QStringLiteral("44100"), {}};
    TComboBoxValues cmbAudioChannels;
    TRadioGroupValues grpAspectRatio;
    TRadioGroupValues grpNorm{{QStringLiteral("PAL"), QStringLiteral("NTSC")}, 0, true, false};
    TTrackBarValues trcBitRate{16, 5000, 200};
    TTrackBarValues trcAudioBitrate{16, 448, 64};
    TTrackBarValues trcVolume{0, 512, 256, false};
    bool chkAudioVolume = false;
    bool chkKeepAspect = false;

    // The chosen profile.
    String ProfileGroup;
    String ProfileDesc;
    String DescExtension;  // "*.mpg"
    String CommandOutput;
    String CommandExtra;
    String VideoTag;
    String VideoPreset;
    String Level = QStringLiteral("31");
    String DisableAudio;
    String DisableVideo;

    // The source and the job.
    int SourceWidth = -1;
    int SourceHeight = -1;
    int TargetWidth = 0;   // kept from the last build: a disabled size box leaves them
    int TargetHeight = 0;
    bool EditMode = false;
    bool JoinMode = false;
    String OutputFileName;

    // The filters dialog's values.
    int Brightness = 0;
    int Contrast = 0;
    int Saturation = 0;
    bool BrightnessOn = false;
    bool ContrastOn = false;
    bool SaturationOn = false;
    String FlipText;
    String RotateText;

    // Letterbox and crop values that the user may set besides keep-aspect.
    bool PadOn = false;
    int PadLeft = 0;
    int PadTop = 0;
    int PadBottom = 0;
    int PadRight = 0;
    String PadFilter;
    bool CropOn = false;
    int CropLeft = 0;
    int CropTop = 0;
    int CropBottom = 0;
    int CropRight = 0;
    String CropFilter;
};

// The first profile whose desc equals Desc exactly; a null node when none does.
TXMLProfileType FindProfileByDesc(const TXMLRootType& ProfileRoot, const String& Desc);

// Lists the descs of the group's profiles in cmbFormats, selects the first,
// and enables the video boxes unless the group is the audio group.
void FillFormatList(TOptionValues& Values, const TXMLRootType& ProfileRoot, const String& Group);

// Fills the values from the profile with that desc (its lists, their
// defaults, the profile's own texts). Every state a profile's attributes
// set is first put back to its default, so nothing leaks from the profile
// loaded before.
void LoadProfile(TOptionValues& Values, const TXMLRootType& ProfileRoot, const String& Desc);

// Applies the video quality option named in cmbQuality (when it is enabled):
// video bit rate, frame rate text, sample rate and audio bit rate.
// "Same as source" changes nothing.
void ApplyQualityPreset(TOptionValues& Values, const TXMLRootType& ProfileRoot);

// The filter, pad and crop values back to off, empty and 0 (a new file starts unfiltered).
void ResetFilterValues(TOptionValues& Values);

// Loads one profile for a source of that picture size (-1 without video):
// the filter values reset, the format list of the group, the profile, then
// its quality preset. The input record is rebuilt apart (ResetInputOptions).
void SelectProfile(TOptionValues& Values, const TXMLRootType& ProfileRoot, const String& Group, const String& Desc,
                   int SourceWidth, int SourceHeight);
