#include <gtest/gtest.h>

#include <QStringList>

#include "app/profiles_v2.h"

namespace {

template <class E, class F>
QString raised(F&& code)
{
    try {
        code();
    } catch (const E& e) {
        return e.Message();
    } catch (const Exception& e) {
        return QStringLiteral("other exception: ") + e.Message();
    }
    return QStringLiteral("<nothing raised>");
}

TEST(ProfilesV2Test, TheCarriedDocument)
{
    const TXMLRootType root = Getroot(LoadProfilesFromResource(QStringLiteral("video")));
    ASSERT_EQ(root.Groups().Count(), 1);
    EXPECT_EQ(root.Groups().Group(0).Name(), QStringLiteral("mpeg_v"));
    EXPECT_EQ(root.Groups().Group(0).Pane(), QStringLiteral("video"));

    const TXMLProfilesType profiles = root.Profiles();
    ASSERT_EQ(profiles.Count(), 8);
    QStringList names;
    for (int i = 0; i < profiles.Count(); ++i) {
        names << profiles.Profile(i).Name();
        EXPECT_EQ(profiles.Profile(i).Groups(), QStringLiteral("mpeg_v"));
        EXPECT_EQ(profiles.Profile(i).Commands().Command(0).Type(), QStringLiteral("transcode"));
        EXPECT_FALSE(profiles.Profile(i).Commands().Command(0).HasAttribute(QStringLiteral("extra")));
    }
    EXPECT_EQ(names, QStringList({"mpeg1", "mpeg2", "mpeg1v", "mpeg2v", "vcd", "svcd", "dvd_ntsc", "dvd_pal"}));

    // mpeg2v preselects 720x480.
    const TXMLSizeType size = profiles.Profile(3).Params().Video().Size();
    for (int i = 0; i < size.Count(); ++i)
        EXPECT_EQ(size.Value(i).Default() == 1, size.Value(i).Text() == QLatin1String("720x480"));

    const TXMLQualityType svcd = profiles.Profile(5).Params().Video().Quality();
    int fours = 0;
    for (int i = 0; i < svcd.Count(); ++i)
        fours += svcd.Option(i).Name().startsWith(QLatin1String("4. "));
    EXPECT_EQ(fours, 4);
    EXPECT_EQ(svcd.Option(1).Name(), QStringLiteral("6. High Quality  Video:2500kbps /Audio:224kbps"));
    EXPECT_EQ(svcd.Option(1).Video().Bitrate(), 2600);
    EXPECT_EQ(svcd.Option(1).Audio().Samplerate(), 44100);
    EXPECT_EQ(svcd.Option(1).Video().Framerate(), QStringLiteral("Auto"));

    for (int i = 0; i < profiles.Count(); ++i)
        EXPECT_EQ(profiles.Profile(i).Params().Video().Framerate().Name(),
                  i == 7 ? QStringLiteral("Frame Rate") : QStringLiteral("Video Framerate"));

    const TXMLBitrateType bitrate = profiles.Profile(0).Params().Video().Bitrate();
    EXPECT_EQ(bitrate.Value(0), 64.0);
    EXPECT_EQ(bitrate.Visible(), 1);
    EXPECT_EQ(profiles.Profile(6).Params().Audio().Samplerate().Value(0), 48000);
    EXPECT_EQ(profiles.Profile(6).Params().Audio().Samplerate().Readonly(), 1);
}

TEST(ProfilesV2Test, MissingChildrenAndAttributesReadEmpty)
{
    const TXMLRootType root =
        Getroot(LoadXMLDocument("<root><profiles><profile desc=\"x\"/></profiles></root>", QStringLiteral("test")));
    const TXMLProfileType profile = root.Profiles().Profile(0);
    EXPECT_TRUE(profile.Name().isEmpty());
    EXPECT_EQ(profile.Params().Video().Codec().Count(), 0);
    EXPECT_EQ(profile.Params().Video().Codec().Visible(), 0);
    EXPECT_TRUE(profile.Params().Video().Videotag().Value().isEmpty());
    EXPECT_TRUE(profile.Params().Video().Level().Value().Text().isEmpty());
    EXPECT_EQ(root.Groups().Count(), 0);
    EXPECT_EQ(profile.Commands().Count(), 0);
}

TEST(ProfilesV2Test, SettersCreateWhatIsMissing)
{
    const QDomDocument document = LoadXMLDocument("<root/>", QStringLiteral("test"));
    const TXMLRootType root = Getroot(document);
    TXMLProfileType profile = root.Profiles().Add();
    profile.SetDesc(QStringLiteral("Mine (*.ts)"));
    TXMLCodecType codec = profile.Params().Video().Codec();
    codec.SetVisible(1);
    codec.Add().SetText(QStringLiteral("mpeg2video"));
    codec.Insert(0).SetText(QStringLiteral("mpeg1video"));
    codec.Value(1).SetDefault(1);
    TXMLBitrateType bitrate = profile.Params().Audio().Bitrate();
    bitrate.Add(128.0);
    bitrate.Insert(0, 96.5);
    profile.Params().Video().Videotag().SetValue(QStringLiteral("xvid"));

    // Read back through fresh bindings of the same document.
    const TXMLProfileType again = Getroot(document).Profiles().Profile(0);
    EXPECT_EQ(again.Desc(), QStringLiteral("Mine (*.ts)"));
    const TXMLCodecType codecAgain = again.Params().Video().Codec();
    ASSERT_EQ(codecAgain.Count(), 2);
    EXPECT_EQ(codecAgain.Value(0).Text(), QStringLiteral("mpeg1video"));
    EXPECT_EQ(codecAgain.Value(1).Default(), 1);
    EXPECT_EQ(codecAgain.Visible(), 1);
    EXPECT_EQ(again.Params().Audio().Bitrate().Value(0), 96.5);
    EXPECT_EQ(again.Params().Audio().Bitrate().Value(1), 128.0);
    EXPECT_EQ(again.Params().Video().Videotag().Value(), QStringLiteral("xvid"));

    codec.Delete(0);
    EXPECT_EQ(codecAgain.Count(), 1);
    codec.Clear();
    EXPECT_EQ(codecAgain.Count(), 0);
}

TEST(ProfilesV2Test, BadDocumentsRaiseClearErrors)
{
    EXPECT_EQ(raised<EResNotFound>([] { LoadProfilesFromResource(QStringLiteral("AUDIO")); }),
              QStringLiteral("Resource AUDIO not found"));
    const QString parse =
        raised<EDOMParseError>([] { LoadXMLDocument("<root>\n<profiles>\n</root>", QStringLiteral("VIDEO")); });
    EXPECT_TRUE(parse.startsWith(QLatin1String("VIDEO: "))) << parse.toStdString();
    EXPECT_TRUE(parse.contains(QLatin1String("line 3"))) << parse.toStdString();
    EXPECT_TRUE(raised<EDOMParseError>([] { LoadXMLDocument("", QStringLiteral("VIDEO")); }).startsWith("VIDEO: "));
    EXPECT_EQ(raised<EXMLDocError>([] { Getroot(LoadXMLDocument("<profiles/>", QStringLiteral("x"))); }),
              QStringLiteral("The document element is \"profiles\", expected \"root\""));

    const TXMLRootType root = Getroot(LoadXMLDocument(
        "<root><profiles><profile><params><video><codec visible=\"yes\"><value>a</value></codec>"
        "<bitrate><value>fast</value></bitrate></video></params></profile></profiles></root>",
        QStringLiteral("x")));
    const TXMLVideoType video = root.Profiles().Profile(0).Params().Video();
    EXPECT_EQ(raised<EConvertError>([&] { (void)video.Codec().Visible(); }),
              QStringLiteral("'yes' is not a valid integer value"));
    EXPECT_EQ(raised<EConvertError>([&] { (void)video.Bitrate().Value(0); }),
              QStringLiteral("'fast' is not a valid floating point value"));
    EXPECT_EQ(raised<EListError>([&] { (void)video.Codec().Value(1); }), QStringLiteral("List index out of bounds (1)"));
    // A missing document element cannot take children.
    EXPECT_TRUE(raised<EXMLDocError>([] { TXMLNode().SetText(QStringLiteral("x")); }).contains("cannot be created"));
}

}  // namespace
