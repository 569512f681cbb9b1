// ProfileLineCases.h - the option lines of the eight shipped profiles with their
// defaults, derived by hand, shared by the builder's test and the parse test.
#pragma once
#include <QString>
#include <vector>

#include "app/OptionString.h"

namespace vorlane::test {

enum TProfilePath {
    ppCombo,   // the format picked from the list: the profile is loaded, its preset is not applied
    ppPreset,  // the profile selected for a file: its default quality preset is applied
};

struct TProfileLineCase {
    const char* Desc;
    int SourceWidth;
    int SourceHeight;
    TProfilePath Path;
    const char* Extension;
    const char* Line;
};

// A 25 fps source with video of that size.
inline TSourceStreamInfo SourceOf(int width, int height, int rateNum = 25, int rateDen = 1)
{
    TSourceStreamInfo source;
    source.FileName = QStringLiteral("/videos/in.avi");
    source.FirstVideoStream = 0;
    source.Width = width;
    source.Height = height;
    source.FrameRateNum = rateNum;
    source.FrameRateDen = rateDen;
    return source;
}

// The dialog as a file add leaves it: MPEG-I is selected first, then the case's path.
inline TOptionValues ValuesFor(const TXMLRootType& root, const QString& desc, const TSourceStreamInfo& source,
                               TProfilePath path)
{
    TOptionValues values;
    const QString group = QStringLiteral("mpeg_v");
    SelectProfile(values, root, group, QStringLiteral("MPEG-I Movie (*.mpg)"), source.Width, source.Height);
    if (path == ppPreset) {
        SelectProfile(values, root, group, desc, source.Width, source.Height);
    } else {
        values.cmbFormats.Text = desc;
        LoadProfile(values, root, desc);
    }
    return values;
}

inline TBuildEnvironment TestEnvironment()
{
    TBuildEnvironment environment;
    environment.ProcessorCount = 4;
    environment.AacEncoderName = QStringLiteral("aac");
    environment.FileExists = [](const QString&) { return false; };
    return environment;
}

inline const std::vector<TProfileLineCase>& ProfileLineCases()
{
    static const std::vector<TProfileLineCase> cases = [] {
        std::vector<TProfileLineCase> list;
        for (TProfilePath path : {ppCombo, ppPreset}) {
            // Quality "Same as source" is these profiles' default: the preset changes nothing.
            list.push_back({"MPEG-I Movie (*.mpg)", 640, 480, path, ".mpg",
                            " -f mpeg -c:v mpeg1video -aspect 1.333 -r 25 -b:v 1024k -c:a mp2 -ac 2 -ar 44100"
                            " -b:a 128k -sameq -vf \"setdar=1.333,scale=640:480\""});
            list.push_back({"MPEG-I Movie (*.mpg)", 720, 576, path, ".mpg",
                            " -f mpeg -c:v mpeg1video -aspect 1.250 -r 25 -b:v 1024k -c:a mp2 -ac 2 -ar 44100"
                            " -b:a 128k -sameq -vf \"setdar=1.250,scale=720:576\""});
            list.push_back({"MPEG-II Movie (*.mpg)", 640, 480, path, ".mpg",
                            " -f mpeg -c:v mpeg2video -aspect 1.333 -r 25 -b:v 2000k -c:a mp2 -ac 2 -ar 44100"
                            " -b:a 128k -sameq -vf \"setdar=1.333,scale=640:480\""});
            list.push_back({"MPEG-II Movie (*.mpg)", 720, 576, path, ".mpg",
                            " -f mpeg -c:v mpeg2video -aspect 1.250 -r 25 -b:v 2000k -c:a mp2 -ac 2 -ar 44100"
                            " -b:a 128k -sameq -vf \"setdar=1.250,scale=720:576\""});
            // Video-only elementary streams: no audio option but -an.
            list.push_back({"M1V Format no audio (*.m1v)", 640, 480, path, ".m1v",
                            " -f mpeg1video -c:v mpeg1video -aspect 1.333 -r 25 -b:v 1024k -an -sameq"
                            " -vf \"setdar=1.333,scale=640:480\""});
            list.push_back({"M1V Format no audio (*.m1v)", 720, 576, path, ".m1v",
                            " -f mpeg1video -c:v mpeg1video -aspect 1.250 -r 25 -b:v 1024k -an -sameq"
                            " -vf \"setdar=1.250,scale=720:576\""});
            // 720x480 is the M2V profile's own default size, whatever the source.
            for (int w : {640, 720})
                list.push_back({"M2V Format no audio (*.m2v)", w, w == 640 ? 480 : 576, path, ".m2v",
                                " -f mpeg2video -c:v mpeg2video -aspect 1.500 -r 25 -b:v 2000k -an -sameq"
                                " -vf \"setdar=1.500,scale=720:480\""});
            // The DVD rate box is disabled (no -r); "3. High" sets what the lists set.
            for (int w : {640, 720}) {
                const int h = w == 640 ? 480 : 576;
                list.push_back({"DVD Video NTSC Movie (*.mpg)", w, h, path, ".mpg",
                                " -target ntsc-dvd -f dvd -c:v mpeg2video -aspect 16:9 -b:v 8000k -c:a ac3 -ac 2"
                                " -ar 48000 -b:a 448k -vf \"setdar=16:9,scale=720:480\""});
                list.push_back({"DVD Video PAL Movie (*.mpg)", w, h, path, ".mpg",
                                " -target pal-dvd -f dvd -c:v mpeg2video -aspect 16:9 -b:v 8000k -c:a ac3 -ac 2"
                                " -ar 48000 -b:a 448k -vf \"setdar=16:9,scale=720:576\""});
            }
        }
        for (int w : {640, 720}) {
            const int h = w == 640 ? 480 : 576;
            // From the list: the profile's own rate and bit rates.
            list.push_back({"VCD Video (*.mpg)", w, h, ppCombo, ".mpg",
                            " -target ntsc-vcd -f vcd -c:v mpeg1video -aspect 4:3 -r 29.97 -b:v 1150k -c:a mp2"
                            " -ac 2 -ar 44100 -b:a 224k -vf \"setdar=4:3,scale=352:240\""});
            list.push_back({"SVCD Video (*.mpg)", w, h, ppCombo, ".mpg",
                            " -target ntsc-svcd -f svcd -c:v mpeg2video -aspect 4:3 -r 29.97 -b:v 2000k -c:a mp2"
                            " -ac 2 -ar 44100 -b:a 224k -vf \"setdar=4:3,scale=704:480\""});
            // With the preset: its "Auto" rate is the norm's, which the target sets;
            // the SVCD preset's 2600 kbit/s is cut to the target's maximum.
            list.push_back({"VCD Video (*.mpg)", w, h, ppPreset, ".mpg",
                            " -target ntsc-vcd -f vcd -c:v mpeg1video -aspect 4:3 -b:v 1150k -c:a mp2"
                            " -ac 2 -ar 44100 -b:a 224k -vf \"setdar=4:3,scale=352:240\""});
            list.push_back({"SVCD Video (*.mpg)", w, h, ppPreset, ".mpg",
                            " -target ntsc-svcd -f svcd -c:v mpeg2video -aspect 4:3 -b:v 2516k -c:a mp2"
                            " -ac 2 -ar 44100 -b:a 224k -vf \"setdar=4:3,scale=704:480\""});
        }
        return list;
    }();
    return cases;
}

}  // namespace vorlane::test
