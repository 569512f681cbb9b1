#include "engine/MyUtils.h"

#include <dlfcn.h>

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QFileInfo>
#include <QThread>

#include "platform/rtl/SysUtils.h"

namespace {

String lastDlError()
{
    const char* text = dlerror();
    return text != nullptr ? LibraryText(text) : String();
}

void* openLibrary(const String& path, String& error)
{
    dlerror();
    void* handle = dlopen(Utf8FileName(path).constData(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr)
        error = lastDlError();
    return handle;
}

void bindSymbol(const TResStringRec& text, const String& fileName, void* handle, const char* name, bool optional,
                void** target)
{
    dlerror();
    void* address = handle != nullptr ? dlsym(handle, name) : nullptr;
    *target = address;
    if (address == nullptr && !optional) {
        String reason = lastDlError();
        if (reason.isEmpty())
            reason = String::fromLatin1("symbol not found");
        throw Exception(LoadResString(text), {name, fileName, reason});
    }
}

}  // namespace

void AssertionFailure()
{
    throw EAssertionFailed(LoadResString(MyUtilsConsts::SAssertionFailed));
}

void* LoadLibraryFromFolder(const String& folder, const String& fileName, String& error)
{
    if (!folder.isEmpty()) {
        const String path = IncludeTrailingPathDelimiter(folder) + fileName;
        if (FileExists(path))
            return openLibrary(path, error);
    }
    return openLibrary(fileName, error);
}

void BindFunction(const String& fileName, void* handle, const char* name, bool optional, void** proc)
{
    bindSymbol(MyUtilsConsts::SLoadFunctionError, fileName, handle, name, optional, proc);
}

void BindVariable(const String& fileName, void* handle, const char* name, bool optional, void** data)
{
    bindSymbol(MyUtilsConsts::SLoadVariableError, fileName, handle, name, optional, data);
}

int64_t FileSizeByName(const String& fileName)
{
    if (fileName.isEmpty())
        return -1;
    const QFileInfo info(QFileInfo(fileName).absoluteFilePath());
    if (!info.exists())
        return -1;
    return info.isDir() ? 0 : info.size();
}

void CutAtSeparator(String& text, const String& separator, bool remove, String& head)
{
    const qsizetype at = separator.isEmpty() ? -1 : text.indexOf(separator, 0, Qt::CaseSensitive);
    if (at < 0) {
        head = text;
        if (remove)
            text.clear();
        return;
    }
    head = text.left(at);
    if (remove)
        text = text.mid(at + separator.size());
}

bool ProcessOneMessage()
{
    if (TThread::MainThreadID() == 0 || TThread::CurrentThreadID() != TThread::MainThreadID())
        return false;
    bool ran = CheckSynchronize();
    if (QCoreApplication::instance() != nullptr) {
        if (QAbstractEventDispatcher* dispatcher = QThread::currentThread()->eventDispatcher())
            ran = dispatcher->processEvents(QEventLoop::AllEvents) || ran;
    }
    return ran;
}

void ProcessMessages()
{
    while (ProcessOneMessage()) {
    }
}

void CallInMainThread(const TThreadMethod& method)
{
    TThread::Synchronize(nullptr, method);
}
