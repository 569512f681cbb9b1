#include <gtest/gtest.h>
#include <unistd.h>

#include "support/Sx8087.h"
#include "support/SxLogic.h"
#include "support/SxSysUtils.h"

namespace {

String uniqueName(const char* stem)
{
    return String::fromLatin1(stem) + String::number(::getpid());
}

TEST(SxSysUtils, SharedBlockIsCountedPerModule)
{
    const String name = uniqueName("VLTestBlock_");
    UnlinkSharedBlock(name);
    void* first = nullptr;
    void* second = nullptr;
    ASSERT_EQ(OpenSharedBlock(first, name, 64), 0);
    static_cast<char*>(first)[0] = 'x';
    EXPECT_EQ(OpenSharedBlock(second, name.toUpper(), 64), SxAlreadyExists);  // case-blind list
    EXPECT_EQ(second, first);
    void* keep = first;
    ASSERT_TRUE(ReleaseSharedBlock(first));
    EXPECT_EQ(first, nullptr);
    EXPECT_EQ(static_cast<char*>(keep)[0], 'x');  // still mapped for the second user
    ASSERT_TRUE(ReleaseSharedBlock(second));

    // Another module (another mapping of the same object) sees the same bytes.
    void* again = nullptr;
    EXPECT_EQ(OpenSharedBlock(again, name, 64), SxAlreadyExists);
    EXPECT_EQ(static_cast<char*>(again)[0], 'x');
    ReleaseSharedBlock(again);
    UnlinkSharedBlock(name);
}

TEST(SxSysUtils, SharedBlockRefusals)
{
    int local = 0;
    void* foreign = &local;
    EXPECT_FALSE(ReleaseSharedBlock(foreign));
    EXPECT_EQ(foreign, &local);
    void* none = nullptr;
    EXPECT_TRUE(ReleaseSharedBlock(none));
    void* view = nullptr;
    EXPECT_THROW(OpenSharedBlock(view, QStringLiteral("a/b"), 4), ESharedMemError);
    EXPECT_THROW(OpenSharedBlock(view, String(), 4), ESharedMemError);
    try {
        OpenSharedBlock(view, uniqueName("VLTestEmpty_"), 0);
        FAIL();
    } catch (const ESharedMemError& e) {
        EXPECT_TRUE(e.Message().contains(QStringLiteral("cannot be created empty")));
    }
}

TEST(SxSysUtils, GuidAndZeroFill)
{
    EXPECT_EQ(GuidToBraceText(TGUID{}), QStringLiteral("{00000000-0000-0000-0000-000000000000}"));
    EXPECT_EQ(GuidToBraceText(TGUID{0xE86CAD93, 0x0DBD, 0x5FE3, {0xB0, 0xEA, 0x1E, 0x98, 0x9D, 0x79, 0x5A, 0x73}}),
              QStringLiteral("{e86cad93-0dbd-5fe3-b0ea-1e989d795a73}"));
    char bytes[4] = {1, 2, 3, 4};
    ZeroBlock(bytes, -1);
    EXPECT_EQ(bytes[0], 1);
    ZeroBlock(bytes, 3);
    EXPECT_EQ(bytes[2], 0);
    EXPECT_EQ(bytes[3], 4);
}

TEST(SxSysUtils, Win32ErrorMessageHasResourceTextOnItsOwnLine)
{
    const ESxWin32Error e(QStringLiteral("Failed to create mutex"), 2);
    EXPECT_EQ(e.LastError(), 2u);
    EXPECT_EQ(e.Message(), QStringLiteral("Win32 error: ") + e.LastErrorMsg() + QStringLiteral(" (2)\r\nFailed to create mutex"));
}

TEST(SxSysUtils, WaitResultCodes)
{
    struct { uint32_t code; TSxWaitResult result; } cases[] = {
        {0, WaitSignaled}, {128, WaitAbandoned}, {192, WaitIoCompletion}, {258, WaitTimedOut}, {1, WaitFailed}, {0xFFFFFFFF, WaitFailed}};
    for (const auto& c : cases)
        EXPECT_EQ(WaitResultFromCode(c.code), c.result) << c.code;
}

TEST(SxSysUtils, NamedMutexExcludesAnotherHolderAndReenters)
{
    const String name = uniqueName("VLTestMutex_");
    TSxMutex a(name);
    TSxMutex b(name);  // another module's object of the same name
    EXPECT_TRUE(b.Existed());
    ASSERT_EQ(a.WaitSignal(-1), WaitSignaled);
    EXPECT_EQ(a.WaitSignal(0), WaitSignaled);  // the holder may wait again
    EXPECT_EQ(b.WaitSignal(20), WaitTimedOut);
    EXPECT_TRUE(a.ReleaseOwnership());
    EXPECT_EQ(b.WaitSignal(20), WaitTimedOut);  // still held once
    EXPECT_TRUE(a.ReleaseOwnership());
    EXPECT_FALSE(a.ReleaseOwnership());
    EXPECT_EQ(b.WaitSignal(20), WaitSignaled);
    EXPECT_TRUE(b.ReleaseOwnership());
    a.Unlink();
}

TEST(SxSysUtils, Libraries)
{
    TSxLibHandle lib = nullptr;
    ASSERT_TRUE(EnsureLibraryLoaded(lib, QStringLiteral("libm.so.6")));
    EXPECT_NE(LibrarySymbol(lib, "cos"), nullptr);
    EXPECT_EQ(LibrarySymbol(lib, "no_such_symbol_here"), nullptr);
    EXPECT_EQ(LibrarySymbol(nullptr, "cos"), nullptr);
    UnloadLibraryHandle(lib);
    EXPECT_EQ(lib, nullptr);
    TSxLibHandle missing = nullptr;
    EXPECT_FALSE(EnsureLibraryLoaded(missing, QStringLiteral("libvorlane-none.so")));

    void* entry = nullptr;
    ResolveDelayedImport(entry, QStringLiteral("libm.so.6"), "sin");
    EXPECT_NE(entry, nullptr);
    try {
        void* none = nullptr;
        ResolveDelayedImport(none, QStringLiteral("libm.so.6"), "nope");
        FAIL();
    } catch (const ESxError& e) {
        EXPECT_EQ(e.Message(), QStringLiteral("Function not found: libm.so.6.nope"));
    }
    try {
        void* none = nullptr;
        ResolveDelayedImport(none, QStringLiteral("libvorlane-none.so"), "x");
        FAIL();
    } catch (const ESxError& e) {
        EXPECT_EQ(e.Message(), QStringLiteral("Library not found: libvorlane-none.so"));
    }
}

TEST(SxSysUtils, AnsiDefaultCharIsLoadedAtStartUp)
{
    EXPECT_EQ(AnsiDefaultChar(), '?');
}

TEST(SxLogic, BitBufferUsesWordsOfThirtyTwoBits)
{
    uint32_t words[2] = {0, 0};
    SetBufferBit(words, 33);
    EXPECT_TRUE(TestBufferBit(words, 33));
    EXPECT_FALSE(TestBufferBit(words, 32));
    EXPECT_EQ(words[0], 0u);
    EXPECT_EQ(words[1], 2u);
}

TEST(Sx8087, ControlWordIsTheDefaultOne)
{
#if defined(__x86_64__)
    ASSERT_TRUE(ReadFpuControlWord().has_value());
    EXPECT_EQ(*ReadFpuControlWord() & 0x3F, 0x3F);  // every exception masked, as Linux starts
#else
    EXPECT_FALSE(ReadFpuControlWord().has_value());
#endif
}

}  // namespace
