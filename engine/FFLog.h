// FFLog.h - the one logger of the engine: engine and library messages become
// whole lines that reach the application, by default in its main thread.
#pragma once
#include <atomic>
#include <cstdarg>
#include <cstdint>
#include <memory>

#include "platform/rtl/Component.h"
#include "platform/rtl/Delegate.h"
#include "platform/rtl/Format.h"
#include "platform/rtl/ResString.h"
#include "platform/rtl/Set.h"
#include "platform/rtl/String.h"
#include "platform/rtl/TypInfo.h"

namespace FFLogConsts {
VORLANE_RESOURCESTRING(SOnlyOneLogger, "Allow creating only one instance of TFFLogger.");
VORLANE_RESOURCESTRING(SLastMessageRepeated, "    Last message repeated %d times");
}  // namespace FFLogConsts

enum TLogLevel { llQuiet, llPanic, llFatal, llError, llWarning, llInfo, llVerbose, llDebug };
inline constexpr const char* LogLevelNames[] = {"llQuiet", "llPanic",   "llFatal", "llError",
                                                "llWarning", "llInfo", "llVerbose", "llDebug"};
inline constexpr TEnumInfo LogLevelInfo{"TLogLevel", LogLevelNames};

// ordinal * 8 - 8: llQuiet -8 ... llDebug 48.
int LogLevelToAV(TLogLevel level);
// (level div 8) + 1, truncating toward zero, clamped to llQuiet..llDebug.
TLogLevel AVToLogLevel(int level);

using TLogEvent = TDelegate<void(TObject* Sender, uint32_t AThreadID, TLogLevel ALogLevel, const String& ALogMsg)>;

// One delivery; each delivery has its own copy.
struct TLogInfo {
    TObject* Sender = nullptr;
    uint32_t ThreadID = 0;
    TLogLevel LogLevel = llInfo;
    String LogMsg;
};

// The seek flags, bit for bit the libraries' AVSEEK_FLAG_* word.
enum TSeekFlag { sfBackward, sfByte, sfAny, sfFrame };
using TSeekFlags = TSet<TSeekFlag>;
int SeekFlagsToAV(TSeekFlags flags);

// The common base of the engine's components.
class TFFBaseComponent : public TComponent {
public:
    explicit TFFBaseComponent(TComponent* AOwner);

    String ClassName() const override { return String::fromLatin1("TFFBaseComponent"); }
    const TClassInfo* ClassInfo() const override { return &StaticClassInfo(); }
    static const TClassInfo& StaticClassInfo();

    const String& About() const { return FAbout; }
    void SetAbout(const String& value) { FAbout = value; }
    const String& Version() const { return FVersion; }

    // I/O time-outs in milliseconds for the interrupt call-backs.
    int ReadTimeout() const { return FReadTimeout.load(); }
    void SetReadTimeout(int value) { FReadTimeout.store(value); }
    int WriteTimeout() const { return FWriteTimeout.load(); }
    void SetWriteTimeout(int value) { FWriteTimeout.store(value); }

private:
    String FAbout;
    String FVersion;
    std::atomic<int> FReadTimeout{30000};  // read by conversion threads
    std::atomic<int> FWriteTimeout{30000};
};

// At most one exists. Log and LogFmt may be called from any thread; the
// logger itself is created and freed in the main thread.
class TFFLogger : public TFFBaseComponent {
public:
    // Replaces a logger GetLogger created on demand; raises Exception when
    // another application logger exists.
    explicit TFFLogger(TComponent* AOwner);
    ~TFFLogger() override;

    String ClassName() const override { return String::fromLatin1("TFFLogger"); }
    const TClassInfo* ClassInfo() const override { return &StaticClassInfo(); }
    static const TClassInfo& StaticClassInfo();

    TLogLevel LogLevel() const { return FLogLevel.load(); }
    void SetLogLevel(TLogLevel value);
    bool TriggerEventInMainThread() const { return FTriggerEventInMainThread.load(); }
    void SetTriggerEventInMainThread(bool value) { FTriggerEventInMainThread.store(value); }
    bool AutoCreated() const { return FAutoCreated; }

    void Log(TObject* Sender, TLogLevel level, const String& text);
    // Formats only when the message is delivered.
    void LogFmt(TObject* Sender, TLogLevel level, const String& format, TVarRecs args);

    // Routes the libraries' messages to this logger's level; needs the
    // utility library bound.
    void InstallLogCallback();

    // Assign in the main thread before other threads log.
    TLogEvent OnLog;

private:
    friend struct TFFLoggerAccess;  // the unit's call-back and GetLogger

    void deliver(TLogInfo info);

    std::atomic<TLogLevel> FLogLevel{llInfo};
    std::atomic<bool> FTriggerEventInMainThread{true};
    bool FAutoCreated = false;
    // Cleared when the logger goes; deliveries still queued then see it and
    // do nothing.
    std::shared_ptr<std::atomic<bool>> FAlive = std::make_shared<std::atomic<bool>>(true);
};

// The global logger, created on demand (and freed at unit finalization).
TFFLogger* GetLogger();

// The libraries' log call-back (installed by InstallLogCallback).
extern "C" void LogCallback(void* avcl, int level, const char* format, va_list args);

void FFLogInitialization();
void FFLogFinalization();
