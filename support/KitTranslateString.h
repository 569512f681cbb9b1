// KitTranslateString.h - expands macros such as %APPL_NAME% in a text; the
// storages expand their roots with it and may take their date formats from it.
#pragma once
#include <QChar>

#include "platform/rtl/Delegate.h"
#include "support/KitComponent.h"

namespace KitResources {
VORLANE_RESOURCESTRING(RsDefaultRootValueReplaced,
                       "The Default Root Value \"%0:s\" has been replaced with \"%1:s\".\r\n"
                       "Please change the value in the FileVersionInfo Project Properties.");
}  // namespace KitResources

using TProcessCommandEvent =
    TDelegate<void(TObject* Sender, const String& Command, String& CommandResult, bool& Changed)>;

class TKitTranslateString : public TKitComponent {
public:
    explicit TKitTranslateString(TComponent* AOwner);
    String ClassName() const override { return String::fromLatin1("TKitTranslateString"); }

    // The separators' "not yet set" value.
    static constexpr QChar NoSeparator = QChar(char16_t(255));

    const String& LeftDelimiter() const { return FLeftDelimiter; }
    void SetLeftDelimiter(const String& Value) { FLeftDelimiter = Value; }
    const String& RightDelimiter() const { return FRightDelimiter; }
    void SetRightDelimiter(const String& Value) { FRightDelimiter = Value; }
    const String& DateFormat() const { return FDateFormat; }
    void SetDateFormat(const String& Value);
    const String& TimeFormat() const { return FTimeFormat; }
    void SetTimeFormat(const String& Value);
    const String& DateTimeFormat() const { return FDateTimeFormat; }
    void SetDateTimeFormat(const String& Value) { FDateTimeFormat = Value; }
    QChar DateSeparator() const { return FDateSeparator; }
    void SetDateSeparator(QChar Value) { FDateSeparator = Value; }
    QChar TimeSeparator() const { return FTimeSeparator; }
    void SetTimeSeparator(QChar Value) { FTimeSeparator = Value; }

    String TranslateString(const String& Text, bool& Changed);
    String TranslateString(const String& Text)
    {
        bool changed = false;
        return TranslateString(Text, changed);
    }
    bool ProcessCommand(const String& Command, String& CommandResult);

    TProcessCommandEvent OnProcessCommand;

    // The program file whose version texts the macros read; the running
    // program's by default. Tests point it elsewhere.
    void SetProgramFileName(const String& Value);

private:
    String versionText(int Slot, const char* Key, const char* Fallback, const char* Macro);

    String FLeftDelimiter = QStringLiteral("%");
    String FRightDelimiter = QStringLiteral("%");
    String FDateFormat = QStringLiteral("dd_mm_yyyy");
    String FTimeFormat = QStringLiteral("hh_nn_ss");
    String FDateTimeFormat = QStringLiteral("dd_mm_yyyy hh_nn_ss");
    QChar FDateSeparator = NoSeparator;
    QChar FTimeSeparator = NoSeparator;
    String FProgramFileName;
    String FCached[4];
    bool FCachedSet[4] = {false, false, false, false};
};
