#include "support/KitTranslateString.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>

#include "platform/controls/Dialogs.h"
#include "platform/controls/Forms.h"
#include "platform/rtl/DateTime.h"
#include "support/SxFileUtils.h"

TKitTranslateString::TKitTranslateString(TComponent* AOwner) : TKitComponent(AOwner) {}

namespace {
QChar firstNonDigit(const String& s)
{
    for (QChar c : s)
        if (!c.isDigit())
            return c;
    return TKitTranslateString::NoSeparator;
}
}  // namespace

void TKitTranslateString::SetDateFormat(const String& Value)
{
    FDateFormat = Value;
    if (FDateSeparator == NoSeparator)
        FDateSeparator = firstNonDigit(Value);
}

void TKitTranslateString::SetTimeFormat(const String& Value)
{
    FTimeFormat = Value;
    if (FTimeSeparator == NoSeparator)
        FTimeSeparator = firstNonDigit(Value);
}

void TKitTranslateString::SetProgramFileName(const String& Value)
{
    FProgramFileName = Value;
    for (bool& set : FCachedSet)
        set = false;
}

String TKitTranslateString::TranslateString(const String& Text, bool& Changed)
{
    String result;
    Changed = false;
    String rest = Text;
    while (!rest.isEmpty()) {
        const qsizetype left = FLeftDelimiter.isEmpty() ? -1 : rest.indexOf(FLeftDelimiter);
        if (left < 0) {
            result += rest;
            break;
        }
        result += rest.left(left);
        rest.remove(0, left + 1);
        const qsizetype p = FRightDelimiter.isEmpty() ? -1 : rest.indexOf(FRightDelimiter);  // 0-based
        const String command = p < 0 ? String() : rest.left(p);
        String commandResult;
        if (ProcessCommand(command, commandResult)) {
            result += commandResult;
            rest.remove(0, p + 1);
            Changed = true;
        } else {
            result += command;
            rest.remove(0, command.size());
        }
    }
    return result;
}

String TKitTranslateString::versionText(int Slot, const char* Key, const char* Fallback, const char* Macro)
{
    if (!FCachedSet[Slot]) {
        const String file =
            FProgramFileName.isEmpty() ? QCoreApplication::applicationFilePath() : FProgramFileName;
        try {
            TSxFileVersionInfo info(file);
            FCached[Slot] = info.ChosenEntries().Values(String::fromLatin1(Key));
        } catch (const ESxFileVersionInfoError&) {
            FCached[Slot] = String::fromLatin1(Fallback);
            MessageDlg(LoadResStringFmt(KitResources::RsDefaultRootValueReplaced,
                                        {String::fromLatin1(Macro), FCached[Slot]}),
                       mtInformation, {mbOK});
        }
        FCachedSet[Slot] = true;
    }
    return FCached[Slot];
}

bool TKitTranslateString::ProcessCommand(const String& Command, String& CommandResult)
{
    const String name = Command.toUpper().trimmed();
    bool handled = true;
    const String exe =
        FProgramFileName.isEmpty() ? QCoreApplication::applicationFilePath() : FProgramFileName;
    auto ownerForm = [this]() -> TCustomForm* {
        for (TComponent* c = Owner(); c != nullptr; c = c->Owner())
            if (auto* f = dynamic_cast<TCustomForm*>(c))
                return f;
        return nullptr;
    };
    if (name == u"APPL_NAME") {
        CommandResult = versionText(0, "ProductName", "MyKitApplication", "APPL_NAME");
        if (CommandResult.isEmpty())
            CommandResult = QFileInfo(exe).completeBaseName();
    } else if (name == u"COMPANY_NAME")
        CommandResult = versionText(1, "CompanyName", "MyCompany", "COMPANY_NAME");
    else if (name == u"FILEVERSION")
        CommandResult = versionText(2, "FileVersion", "0.0.0.0", "FILEVERSION");
    else if (name == u"PRODUCTVERSION")
        CommandResult = versionText(3, "ProductVersion", "0.0.0.0", "PRODUCTVERSION");
    else if (name == u"DATE")
        CommandResult = FormatDateTime(FDateFormat, Now());
    else if (name == u"TIME")
        CommandResult = FormatDateTime(FTimeFormat, Now());
    else if (name == u"DATETIME")
        CommandResult = FormatDateTime(FDateTimeFormat, Now());
    else if (name == u"EXENAME")
        CommandResult = exe;
    else if (name == u"FILENAME")
        CommandResult = QFileInfo(exe).completeBaseName();
    else if (name == u"FULLDIREXE")
        CommandResult = QFileInfo(exe).absolutePath();
    else if (name == u"FORMNAME") {
        TCustomForm* f = ownerForm();
        CommandResult = f != nullptr ? f->Name() : String();
    } else if (name == u"FORMCAPTION") {
        TCustomForm* f = ownerForm();
        CommandResult = f != nullptr ? f->Caption() : String();
    } else if (name == u"SCREENSIZE" || name == u"DESKTOPSIZE") {
        QScreen* s = QGuiApplication::primaryScreen();
        const QRect r = s == nullptr ? QRect() : name == u"SCREENSIZE" ? s->geometry() : s->virtualGeometry();
        CommandResult = QStringLiteral("%1x%2").arg(r.width()).arg(r.height());
    } else
        handled = false;
    if (OnProcessCommand.Assigned())
        OnProcessCommand(this, name, CommandResult, handled);
    return handled;
}
