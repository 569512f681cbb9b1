#include "engine/FFLog.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

#include "engine/AVUtilStubs.h"
#include "engine/MyUtilStubs.h"
#include "engine/MyUtils.h"
#include "platform/rtl/Exception.h"
#include "platform/rtl/Thread.h"

namespace {

// The level the call-back filters by, kept equal to the logger's level.
std::atomic<int> engineAVLevel{AV_LOG_INFO};

// The global logger. Recursive: constructing a logger inside GetLogger, and
// freeing the one it replaces, come back here.
struct TLoggerSlot {
    std::recursive_mutex Lock;
    TFFLogger* Logger = nullptr;
    std::unique_ptr<TFFLogger> AutoLogger;
};

TLoggerSlot& loggerSlot()
{
    static TLoggerSlot slot;
    return slot;
}

// What the call-back keeps between calls: the partial line of each thread
// (bytes, decoded once whole so that a character split over two pieces
// survives) and the folding of repeated lines, shared by all threads.
struct TCallbackState {
    std::mutex Lock;
    std::unordered_map<uint32_t, std::string> Pending;
    std::string LastLine;
    int RepeatCount = 0;

    void clear()
    {
        const std::lock_guard guard(Lock);
        Pending.clear();
        LastLine.clear();
        RepeatCount = 0;
    }
};

TCallbackState& callbackState()
{
    static TCallbackState state;
    return state;
}

using TSnprintf = decltype(&::snprintf);
using TVsnprintf = decltype(&::vsnprintf);

// The C library row may be unloaded while the utility library still logs.
TSnprintf cSnprintf()
{
    return ff::snprintf != nullptr ? ff::snprintf : &std::snprintf;
}

TVsnprintf cVsnprintf()
{
    return ff::vsnprintf != nullptr ? ff::vsnprintf : &std::vsnprintf;
}

const char* itemNameOf(const AVClass* cls, void* object)
{
    const char* name = cls->item_name != nullptr ? cls->item_name(object) : cls->class_name;
    return name != nullptr ? name : "NULL";
}

// Appends the result of one snprintf into buffer[used..size).
void advance(size_t& used, int written, size_t size)
{
    if (written > 0)
        used = std::min(used + static_cast<size_t>(written), size - 1);
}

std::string buildPiece(void* avcl, bool lineStart, const char* format, va_list args)
{
    char buffer[2048] = {};
    size_t used = 0;
    if (avcl != nullptr && lineStart) {
        const AVClass* cls = *static_cast<const AVClass* const*>(avcl);
        if (cls != nullptr) {
            if (cls->parent_log_context_offset != 0) {
                void* parent = *reinterpret_cast<void* const*>(static_cast<const char*>(avcl)
                                                               + cls->parent_log_context_offset);
                const AVClass* parentClass = parent != nullptr ? *static_cast<const AVClass* const*>(parent) : nullptr;
                if (parentClass != nullptr)
                    advance(used,
                            cSnprintf()(buffer + used, sizeof buffer - used, "[%s @ %p] ",
                                        itemNameOf(parentClass, parent), parent),
                            sizeof buffer);
            }
            advance(used,
                    cSnprintf()(buffer + used, sizeof buffer - used, "[%s @ %p]", itemNameOf(cls, avcl), avcl),
                    sizeof buffer);
        }
    }
    std::string piece(buffer, used);
    if (format == nullptr)
        return piece;
    if (std::strcmp(format, "%s") == 0) {
        va_list probe;
        va_copy(probe, args);
        const char* text = va_arg(probe, const char*);
        va_end(probe);
        if (text == nullptr)
            return piece;
    }
    const size_t space = sizeof buffer - used;
    va_list first;
    va_copy(first, args);
    const int length = cVsnprintf()(buffer + used, space, format, first);
    va_end(first);
    if (length < 0)  // the library could not format it: keep what it wrote
        return std::string(buffer, used + std::strlen(buffer + used));
    if (static_cast<size_t>(length) < space)
        return piece.append(buffer + used, static_cast<size_t>(length));
    // Too long for the stack buffer: format again at the size it needs.
    std::string message(static_cast<size_t>(length) + 1, '\0');
    va_list second;
    va_copy(second, args);
    cVsnprintf()(message.data(), message.size(), format, second);
    va_end(second);
    message.resize(static_cast<size_t>(length));
    return piece + message;
}

bool inOtherThanMainThread()
{
    const uint32_t mainThread = TThread::MainThreadID();
    // Before start-up nobody would run a queued call: deliver at once.
    return mainThread != 0 && TThread::CurrentThreadID() != mainThread;
}

}  // namespace

struct TFFLoggerAccess {
    static void dispatch(TFFLogger* logger, const std::shared_ptr<std::atomic<bool>>& alive, bool toMainThread,
                         const TLogEvent& handler, TLogInfo info)
    {
        if (toMainThread && inOtherThanMainThread()) {
            // Posted, never awaited: a library thread must not wait for a main
            // thread that may itself be waiting for that library.
            TThread::Queue(nullptr, [logger, alive, info = std::move(info)] {
                if (!alive->load())
                    return;
                const TLogEvent current = logger->OnLog;
                if (current.Assigned())
                    current(info.Sender, info.ThreadID, info.LogLevel, info.LogMsg);
            });
            return;
        }
        SafeCall([&] {
            if (handler.Assigned())
                handler(info.Sender, info.ThreadID, info.LogLevel, info.LogMsg);
        });
    }

    static void deliverFromCallback(uint32_t threadID, TLogLevel level, const String& line)
    {
        TFFLogger* logger = nullptr;
        TLogEvent handler;
        bool toMainThread = true;
        std::shared_ptr<std::atomic<bool>> alive;
        {
            TLoggerSlot& slot = loggerSlot();
            const std::lock_guard guard(slot.Lock);
            logger = slot.Logger;
            if (logger == nullptr || !logger->OnLog.Assigned())
                return;
            handler = logger->OnLog;
            toMainThread = logger->TriggerEventInMainThread();
            alive = logger->FAlive;
        }
        dispatch(logger, alive, toMainThread, handler, TLogInfo{logger, threadID, level, line});
    }

    static TFFLogger* getLogger()
    {
        TLoggerSlot& slot = loggerSlot();
        const std::lock_guard guard(slot.Lock);
        if (slot.Logger == nullptr) {
            auto logger = std::make_unique<TFFLogger>(nullptr);
            logger->FAutoCreated = true;
            slot.AutoLogger = std::move(logger);
        }
        return slot.Logger;
    }
};

int LogLevelToAV(TLogLevel level)
{
    return static_cast<int>(level) * 8 - 8;
}

TLogLevel AVToLogLevel(int level)
{
    const int t = level / 8 + 1;
    if (t < 0)
        return llQuiet;
    if (t >= 7)
        return llDebug;
    return static_cast<TLogLevel>(t);
}

int SeekFlagsToAV(TSeekFlags flags)
{
    return static_cast<int>(flags.Bits() & 0xF);
}

// ---- TFFBaseComponent ------------------------------------------------------

TFFBaseComponent::TFFBaseComponent(TComponent* AOwner)
    : TComponent(AOwner), FVersion(String::fromLatin1("2.3b"))
{
}

const TClassInfo& TFFBaseComponent::StaticClassInfo()
{
    static const TClassInfo info =
        TClassInfoBuilder<TFFBaseComponent>("TFFBaseComponent", &TComponent::StaticClassInfo())
            .Str("About", &TFFBaseComponent::About, &TFFBaseComponent::SetAbout)
            .Str("Version", &TFFBaseComponent::Version)
            .Build();
    return info;
}

// ---- TFFLogger ---------------------------------------------------------------

TFFLogger::TFFLogger(TComponent* AOwner) : TFFBaseComponent(AOwner)
{
    TLoggerSlot& slot = loggerSlot();
    const std::lock_guard guard(slot.Lock);
    // An application's logger takes the place of the one made on demand.
    if (slot.Logger != nullptr && slot.Logger->FAutoCreated)
        slot.AutoLogger.reset();
    if (slot.Logger != nullptr)
        throw Exception(LoadResString(FFLogConsts::SOnlyOneLogger));
    FLogLevel.store(AVToLogLevel(engineAVLevel.load()));
    slot.Logger = this;
}

TFFLogger::~TFFLogger()
{
    FAlive->store(false);
    TLoggerSlot& slot = loggerSlot();
    const std::lock_guard guard(slot.Lock);
    if (slot.Logger == this)
        slot.Logger = nullptr;
}

const TClassInfo& TFFLogger::StaticClassInfo()
{
    static const TClassInfo info =
        TClassInfoBuilder<TFFLogger>("TFFLogger", &TFFBaseComponent::StaticClassInfo())
            .Enum("LogLevel", LogLevelInfo, &TFFLogger::LogLevel, &TFFLogger::SetLogLevel)
            .Bool("TriggerEventInMainThread", &TFFLogger::TriggerEventInMainThread,
                  &TFFLogger::SetTriggerEventInMainThread, true)
            .Build();
    return info;
}

void TFFLogger::SetLogLevel(TLogLevel value)
{
    if (FLogLevel.exchange(value) == value)
        return;
    if (ff::av_log_set_level != nullptr) {
        engineAVLevel.store(LogLevelToAV(value));
        ff::av_log_set_level(LogLevelToAV(value));
    }
}

void TFFLogger::InstallLogCallback()
{
    if (ff::av_log_set_callback == nullptr || ff::av_log_set_level == nullptr)
        AssertionFailure();
    ff::av_log_set_callback(&LogCallback);
    engineAVLevel.store(LogLevelToAV(LogLevel()));
    ff::av_log_set_level(LogLevelToAV(LogLevel()));
}

void TFFLogger::Log(TObject* Sender, TLogLevel level, const String& text)
{
    if (!OnLog.Assigned() || level > LogLevel())
        return;
    deliver(TLogInfo{Sender, TThread::CurrentThreadID(), level, text});
}

void TFFLogger::LogFmt(TObject* Sender, TLogLevel level, const String& format, TVarRecs args)
{
    if (!OnLog.Assigned() || level > LogLevel())
        return;
    deliver(TLogInfo{Sender, TThread::CurrentThreadID(), level, Format(format, args)});
}

void TFFLogger::deliver(TLogInfo info)
{
    TFFLoggerAccess::dispatch(this, FAlive, TriggerEventInMainThread(), OnLog, std::move(info));
}

TFFLogger* GetLogger()
{
    return TFFLoggerAccess::getLogger();
}

// ---- the call-back -----------------------------------------------------------

extern "C" void LogCallback(void* avcl, int level, const char* format, va_list args)
{
    if (level > engineAVLevel.load())
        return;
    // Nothing may unwind into the library's C frames.
    SafeCall([&] {
        const uint32_t threadID = TThread::CurrentThreadID();
        std::vector<String> lines;
        {
            TCallbackState& state = callbackState();
            const std::lock_guard guard(state.Lock);
            const auto found = state.Pending.find(threadID);
            const bool lineStart = found == state.Pending.end() || found->second.empty();
            std::string piece = buildPiece(avcl, lineStart, format, args);
            // Only a whole line folds: a piece that completes this thread's
            // partial line is kept even when another thread just sent the same.
            if (lineStart && !piece.empty() && piece.back() == '\n' && piece == state.LastLine) {
                ++state.RepeatCount;
                return;
            }
            if (state.RepeatCount > 1)
                lines.push_back(LoadResStringFmt(FFLogConsts::SLastMessageRepeated, {state.RepeatCount}));
            state.RepeatCount = 0;
            state.LastLine = piece;
            std::string& text = state.Pending[threadID];
            text += piece;
            for (size_t end = text.find('\n'); end != std::string::npos; end = text.find('\n')) {
                lines.push_back(LibraryText(AnsiString(text.data(), static_cast<qsizetype>(end))));
                text.erase(0, end + 1);
            }
            // A thread that has no partial line needs no entry: ids of ended
            // threads do not pile up.
            if (text.empty())
                state.Pending.erase(threadID);
        }
        const TLogLevel logLevel = AVToLogLevel(level);
        for (const String& line : lines)
            TFFLoggerAccess::deliverFromCallback(threadID, logLevel, line);
    });
}

void FFLogInitialization()
{
    engineAVLevel.store(AV_LOG_INFO);
    callbackState().clear();
}

void FFLogFinalization()
{
    std::unique_ptr<TFFLogger> automatic;
    {
        TLoggerSlot& slot = loggerSlot();
        const std::lock_guard guard(slot.Lock);
        automatic = std::move(slot.AutoLogger);
    }
    automatic.reset();
    callbackState().clear();
}
