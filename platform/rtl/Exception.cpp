#include "platform/rtl/Exception.h"

#include <cstdio>
#include <mutex>

Exception::Exception(const String& Msg)
    : FMessage(Msg), FWhat(Msg.toStdString())
{
}

Exception::Exception(const String& Msg, TVarRecs Args)
    : Exception(Format(Msg, Args))
{
}

Exception Exception::CreateRes(const TResStringRec& ResString)
{
    return Exception(LoadResString(ResString));
}

Exception Exception::CreateResFmt(const TResStringRec& ResString, TVarRecs Args)
{
    return Exception(LoadResStringFmt(ResString, Args));
}

void Exception::SetMessage(const String& value)
{
    FMessage = value;
    FWhat = value.toStdString();
}

namespace {

struct HandlerSlot {
    std::mutex lock;
    TExceptionHandler handler;
};

HandlerSlot& handlerSlot()
{
    static HandlerSlot instance;
    return instance;
}

void writeToStderr(const Exception& E)
{
    std::fprintf(stderr, "%s: %s\n", E.ClassName(), E.what());
}

}  // namespace

void SetApplicationExceptionHandler(TExceptionHandler handler)
{
    const std::lock_guard guard(handlerSlot().lock);
    handlerSlot().handler = std::move(handler);
}

void HandleCurrentException() noexcept
{
    TExceptionHandler handler;
    {
        const std::lock_guard guard(handlerSlot().lock);
        handler = handlerSlot().handler;
    }
    auto deliver = [&](const Exception& E) {
        try {
            if (handler)
                handler(E);
            else
                writeToStderr(E);
        } catch (...) {
            // A handler that fails must not take the dispatch point down.
            writeToStderr(E);
        }
    };
    try {
        throw;
    } catch (const EAbort&) {
    } catch (const Exception& E) {
        deliver(E);
    } catch (const std::exception& e) {
        deliver(Exception(String::fromLocal8Bit(e.what())));
    } catch (...) {
        deliver(Exception(String::fromLatin1("Unknown exception")));
    }
}
