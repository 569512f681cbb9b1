#include <dlfcn.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "engine/AVCodecStubs.h"
#include "engine/AVDeviceStubs.h"
#include "engine/AVFilterStubs.h"
#include "engine/AVFormatStubs.h"
#include "engine/AVUtilStubs.h"
#include "engine/FFLoad.h"
#include "engine/FFLog.h"
#include "engine/MyUtilStubs.h"
#include "engine/MyUtils.h"
#include "engine/SwResampleStubs.h"
#include "engine/SwScaleStubs.h"

namespace {

constexpr TFFLibrary everyLibrary[] = {libAVCodec, libAVDevice, libAVFilter, libAVFormat,
                                       libAVUtil, libSwResample, libSwScale, libCRuntime};

class FFLoadTest : public ::testing::Test {
protected:
    TFFLoader& loader = *FFLoader();

    void TearDown() override
    {
        loader.UnloadLibs(AllLibraries);
        loader.SetLibraryPath(String());
    }

    void expectNothingLoaded()
    {
        for (TFFLibrary lib : everyLibrary)
            EXPECT_FALSE(loader.IsLoaded(lib)) << LibraryItem(lib).Name;
        EXPECT_EQ(ff::avutil_version, nullptr);
        EXPECT_EQ(ff::av_log, nullptr);
        EXPECT_TRUE(loader.LoadedFrom().isEmpty());
    }

    // The file the system loaded for one library (resolving symbolic links).
    static QString systemFileOf(void* entryPoint)
    {
        Dl_info info{};
        if (dladdr(entryPoint, &info) == 0 || info.dli_fname == nullptr)
            return QString();
        return QFileInfo(QString::fromUtf8(info.dli_fname)).canonicalFilePath();
    }

    String exceptionText(const std::function<void()>& code)
    {
        try {
            code();
        } catch (const Exception& e) {
            return e.Message();
        }
        return String::fromLatin1("<no exception>");
    }
};

TEST_F(FFLoadTest, FileNamesFollowTheInstalledGeneration)
{
    const struct {
        TFFLibrary lib;
        const char* fileName;
    } cases[] = {
        {libAVCodec, "libavcodec.so.59"},   {libAVDevice, "libavdevice.so.59"},
        {libAVFilter, "libavfilter.so.8"},  {libAVFormat, "libavformat.so.59"},
        {libAVUtil, "libavutil.so.57"},     {libSwResample, "libswresample.so.4"},
        {libSwScale, "libswscale.so.6"},    {libCRuntime, "libc.so.6"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(loader.GetLibraryFileName(c.lib), QString::fromLatin1(c.fileName));
    EXPECT_TRUE(LibraryItem(libCRuntime).IsSystem);
    EXPECT_FALSE(LibraryItem(libAVUtil).IsSystem);
}

TEST_F(FFLoadTest, SetsKeepTheirBits)
{
    EXPECT_EQ(AllLibraries.Bits(), 0xFFu);
    EXPECT_EQ(EncoderLibraries, AllLibraries);
    EXPECT_EQ(DecoderLibraries, (TFFLibraries{libAVCodec, libAVFormat, libAVUtil, libSwResample, libSwScale, libCRuntime}));
}

TEST_F(FFLoadTest, LoadsBindsAndUnloadsTheWholeSet)
{
    ASSERT_TRUE(loader.LoadLibs(AllLibraries)) << loader.LastError().toStdString();
    EXPECT_TRUE(loader.AreLoaded(AllLibraries));
    EXPECT_TRUE(loader.LoadedFrom().isEmpty());  // the system's copies
    EXPECT_EQ(ff::avutil_version() >> 16, unsigned{LIBAVUTIL_VERSION_MAJOR});
    EXPECT_EQ(ff::avcodec_version() >> 16, unsigned{LIBAVCODEC_VERSION_MAJOR});
    EXPECT_EQ(ff::avformat_version() >> 16, unsigned{LIBAVFORMAT_VERSION_MAJOR});
    char buffer[8];
    EXPECT_EQ(ff::snprintf(buffer, sizeof buffer, "%d", 42), 2);
    EXPECT_STREQ(buffer, "42");
    EXPECT_NE(GetLogger(), nullptr);  // loading the utility library made one

    // A second load binds nothing anew and still succeeds.
    auto* const avLog = ff::av_log;
    ASSERT_TRUE(loader.LoadLibs(AllLibraries));
    EXPECT_EQ(ff::av_log, avLog);
    EXPECT_TRUE(loader.AreLoaded(DecoderLibraries));

    loader.UnloadLibs(DecoderLibraries);
    EXPECT_FALSE(loader.IsLoaded(libAVCodec));
    EXPECT_TRUE(loader.IsLoaded(libAVDevice));
    EXPECT_TRUE(loader.IsLoaded(libAVFilter));
    EXPECT_FALSE(loader.AreLoaded(AllLibraries));
    loader.UnloadLibs(AllLibraries);
    expectNothingLoaded();
}

TEST_F(FFLoadTest, CheckLoadedNamesTheFirstMissingLibrary)
{
    EXPECT_EQ(exceptionText([&] { loader.CheckLoaded(DecoderLibraries); }),
              QStringLiteral("Library avcodec not loaded."));
    ASSERT_TRUE(loader.LoadLib(libAVUtil));
    EXPECT_NO_THROW(loader.CheckLoaded({libAVUtil}));
    EXPECT_EQ(exceptionText([&] { loader.CheckLoaded({libAVUtil, libSwScale, libCRuntime}); }),
              QStringLiteral("Library swscale not loaded."));
}

TEST_F(FFLoadTest, AnEmptySetIsAnAssertionFailure)
{
    EXPECT_THROW(loader.LoadLibs({}), EAssertionFailed);
    EXPECT_THROW(loader.AreLoaded({}), EAssertionFailed);
    EXPECT_EQ(exceptionText([&] { loader.UnloadLibs({}); }), QStringLiteral("Assertion failure"));
}

TEST_F(FFLoadTest, ABrokenCopyInTheLibraryFolderFailsWithItsText)
{
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    QFile broken(folder.filePath(QStringLiteral("libavutil.so.57")));
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write("not a library\n");
    broken.close();

    loader.SetLibraryPath(folder.path());
    EXPECT_FALSE(loader.LoadLibs(DecoderLibraries));
    const String prefix = QStringLiteral("Load library %1/libavutil.so.57 error: ").arg(folder.path());
    EXPECT_TRUE(loader.LastError().startsWith(prefix)) << loader.LastError().toStdString();
    EXPECT_GT(loader.LastError().size(), prefix.size());  // the loader's own reason follows
    expectNothingLoaded();
}

TEST_F(FFLoadTest, AFolderWithoutTheUtilityLibraryLeavesTheSetToTheSystem)
{
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    loader.SetLibraryPath(folder.path());
    ASSERT_TRUE(loader.LoadLibs(DecoderLibraries)) << loader.LastError().toStdString();
    EXPECT_TRUE(loader.LoadedFrom().isEmpty());
}

TEST_F(FFLoadTest, TheWholeSetComesFromTheFolderThatHoldsIt)
{
    // Find the system's files, then offer them (linked) from a folder.
    ASSERT_TRUE(loader.LoadLibs(AllLibraries));
    const std::pair<TFFLibrary, void*> probes[] = {
        {libAVUtil, reinterpret_cast<void*>(ff::avutil_version)},
        {libSwResample, reinterpret_cast<void*>(ff::swresample_version)},
        {libSwScale, reinterpret_cast<void*>(ff::swscale_version)},
        {libAVCodec, reinterpret_cast<void*>(ff::avcodec_version)},
        {libAVFormat, reinterpret_cast<void*>(ff::avformat_version)},
        {libAVFilter, reinterpret_cast<void*>(ff::avfilter_version)},
        {libAVDevice, reinterpret_cast<void*>(ff::avdevice_version)},
    };
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    for (const auto& [lib, entry] : probes) {
        const QString file = systemFileOf(entry);
        ASSERT_FALSE(file.isEmpty());
        ASSERT_TRUE(QFile::link(file, folder.filePath(loader.GetLibraryFileName(lib))));
    }
    loader.UnloadLibs(AllLibraries);

    loader.SetLibraryPath(folder.path());
    ASSERT_TRUE(loader.LoadLibs(AllLibraries)) << loader.LastError().toStdString();
    EXPECT_EQ(loader.LoadedFrom(), folder.path() + QLatin1Char('/'));
    loader.UnloadLibs(AllLibraries);

    // A folder holding only part of the set is an error, never a mix with
    // the system's copies.
    ASSERT_TRUE(QFile::remove(folder.filePath(QStringLiteral("libswscale.so.6"))));
    EXPECT_FALSE(loader.LoadLibs(DecoderLibraries));
    EXPECT_EQ(loader.LastError(),
              QStringLiteral("Load library %1/libswscale.so.6 error: No such file or directory").arg(folder.path()));
    expectNothingLoaded();
}

TEST_F(FFLoadTest, AMissingEntryPointFailsTheWholeSet)
{
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    ASSERT_TRUE(QFile::copy(QStringLiteral(FAKE_AVUTIL_LACKING), folder.filePath(QStringLiteral("libavutil.so.57"))));
    loader.SetLibraryPath(folder.path());
    EXPECT_FALSE(loader.LoadLibs(AllLibraries));
    EXPECT_TRUE(loader.LastError().startsWith(QStringLiteral("Load function av_log@libavutil.so.57 error: ")))
        << loader.LastError().toStdString();
    EXPECT_TRUE(loader.LastError().contains(QStringLiteral("av_log")));
    expectNothingLoaded();
    EXPECT_EQ(ff::av_log_set_callback, nullptr);  // nothing bound before the failure stays bound
}

TEST_F(FFLoadTest, AnotherMajorVersionIsRefused)
{
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    ASSERT_TRUE(QFile::copy(QStringLiteral(FAKE_AVUTIL_MAJOR), folder.filePath(QStringLiteral("libavutil.so.57"))));
    loader.SetLibraryPath(folder.path());
    EXPECT_FALSE(loader.LoadLib(libAVUtil));
    EXPECT_EQ(loader.LastError(),
              QStringLiteral("Load library %1/libavutil.so.57 error: major version 58 found, 57 expected").arg(folder.path()));
    expectNothingLoaded();
}

TEST_F(FFLoadTest, BindingByNameReportsTheMissingName)
{
    String error;
    void* handle = LoadLibraryFromFolder(String(), QStringLiteral("libavutil.so.57"), error);
    ASSERT_NE(handle, nullptr) << error.toStdString();
    void* address = nullptr;
    BindFunction(QStringLiteral("libavutil.so.57"), handle, "av_log", false, &address);
    EXPECT_NE(address, nullptr);

    const String text = exceptionText([&] {
        BindFunction(QStringLiteral("libavutil.so.57"), handle, "no_such_entry", false, &address);
    });
    EXPECT_TRUE(text.startsWith(QStringLiteral("Load function no_such_entry@libavutil.so.57 error: "))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("undefined symbol")));
    EXPECT_EQ(address, nullptr);

    EXPECT_TRUE(exceptionText([&] {
                    BindVariable(QStringLiteral("libavutil.so.57"), handle, "no_such_table", false, &address);
                }).startsWith(QStringLiteral("Load variable no_such_table@libavutil.so.57 error: ")));
    address = &error;
    EXPECT_NO_THROW(BindFunction(QStringLiteral("libavutil.so.57"), handle, "no_such_entry", true, &address));
    EXPECT_EQ(address, nullptr);
    dlclose(handle);
}

TEST_F(FFLoadTest, AMissingSystemLibraryIsAnErrorNotACrash)
{
    String error;
    EXPECT_EQ(LoadLibraryFromFolder(QStringLiteral("/nonexistent"), QStringLiteral("libvorlane-missing.so.1"), error),
              nullptr);
    EXPECT_TRUE(error.contains(QStringLiteral("libvorlane-missing.so.1"))) << error.toStdString();
}

}  // namespace
