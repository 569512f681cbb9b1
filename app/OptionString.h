// OptionString.h - turns the options dialog's values and the source's stream
// facts into the job's input and output option lines, in the command-line tool's syntax.
#pragma once
#include <functional>

#include "app/OptionValues.h"
#include "app/profiles_v2.h"
#include "platform/rtl/String.h"

// What the builder needs of the file the decoder has open; -1 where the file
// has no such value (no video stream, an unknown rate).
struct TSourceStreamInfo {
    String FileName;
    String ForcedFormat;        // the container format the decoder was told to use, or empty
    int FirstVideoStream = -1;  // -1: no video stream
    int Width = -1;
    int Height = -1;
    int FrameRateNum = -1;
    int FrameRateDen = -1;
};

// The input record of a job: its file and options.
struct TBuiltInputOptions {
    String FileName;
    AnsiString Options;
    AnsiString Presets;
};

// The output record of a job and the values the dialog keeps with it.
struct TBuiltOutputOptions {
    String FileName;
    AnsiString Options;  // begins with a blank: every option is a blank and the option
    AnsiString Presets;
    bool Join = false;
    String VideoFilters;  // the comma-separated chain that ends the line as one "-vf"
    String Extension;     // with its dot
    int TargetWidth = 0;
    int TargetHeight = 0;
    double SourceAspect = 0.0;
    double TargetAspect = 0.0;
    String PadFilter;  // the user's own padding, when it applied

    void AddOutputOption(const String& Option);
    // An empty filter adds nothing.
    void AddVideoFilter(const String& Filter);
};

// The machine facts the builder asks for; tests pass their own.
struct TBuildEnvironment {
    int ProcessorCount = 1;
    String AacEncoderName = QStringLiteral("aac");
    std::function<bool(const String& FileName)> FileExists;
};
// This machine's processors, the codec library's AAC encoder, the file system.
TBuildEnvironment SystemBuildEnvironment();

// The input record of the open file; the filter values start again from off.
TBuiltInputOptions ResetInputOptions(TOptionValues& Values, const TSourceStreamInfo& Source);

// The output record for the chosen profile (the one whose desc is
// cmbFormats.Text). Values the source does not have (the size and rate of a
// file without video) are left out of the line rather than written as -1.
TBuiltOutputOptions BuildOutputOptions(const TOptionValues& Values, const TXMLRootType& ProfileRoot,
                                       const TSourceStreamInfo& Source, const TBuildEnvironment& Environment);

// "pad=W:H:left:top:black" for a W x H frame ("original" is the source's
// size); empty when no side is padded.
String BuildPadFilter(int Top, int Bottom, int Left, int Right, const String& SizeText, int SourceWidth,
                      int SourceHeight);
// "WxH" less the cuts, as "w:h".
String BuildScaleSize(const String& SizeText, int WidthCut, int HeightCut);
// a / b of "a:b"; 0 when b reads 0.
double AspectRatioValue(const String& Text);
int ProcessorCount();
// "libfaac" when the loaded codec library has an encoder of that name, else "aac".
String AacEncoderName();
