// vlFormats.h - the process-wide source of the locale-derived formats the
// editors need: the currency display format, parsed date and time formats,
// the edit masks for typing dates and the display formats of masked dates.
// It rebuilds them when the application reports a change of the regional
// settings or of the translation, and tells its listeners.
#pragma once
#include <array>
#include <cstdint>
#include <vector>

#include "platform/rtl/String.h"
#include "ui/foundation/vlClasses.h"
#include "ui/foundation/vxCore.h"

struct TFormatSettings;
class TStartupList;

enum TvlDateTimeItemKind : uint8_t {
    dtiLiteral, dtiYear, dtiMonth, dtiDay, dtiHour, dtiMinute, dtiSecond, dtiMillisecond,
    dtiAmPm, dtiDateSeparator, dtiTimeSeparator
};
inline constexpr int vlDateTimeItemKindCount = 11;

struct TvlDateTimeFormatItem {
    TvlDateTimeItemKind Kind = dtiLiteral;
    String Data;
    bool operator==(const TvlDateTimeFormatItem&) const = default;
};

struct TvlDateTimeFormatInfo {
    std::array<bool, vlDateTimeItemKindCount> DefinedItems{};
    std::vector<TvlDateTimeFormatItem> Items;
};

enum TvlAmPmForm { apfLetter, apfTwoLetters, apfLocale };

struct TvlFormatStandardMaskItemInfo {
    TvlDateTimeItemKind Kind = dtiLiteral;
    int Start = 0;   // 1-based position in the masked text
    int Length = 0;
    TvlAmPmForm AmPmForm = apfLetter;  // AM/PM items only
};

// The formats were rebuilt.
class IvlFormatChangeListener {
public:
    virtual ~IvlFormatChangeListener() = default;
    virtual void FormatChanged() = 0;
};

// The system time was changed; heard only by format listeners that also are this.
class IvlTimeChangeListener {
public:
    virtual ~IvlTimeChangeListener() = default;
    virtual void TimeChanged() = 0;
};

// Reads a format text in the runtime's letters into items; nested codes
// ("c", "ddddd", "t", ...) read the settings' other formats. False, with an
// empty result, for a format the editors cannot type (an era "g").
bool ParseDateTimeFormat(const String& AFormat, TvlDateTimeFormatInfo& AInfo, const TFormatSettings& ASettings);
bool ParseDateTimeFormat(const String& AFormat, TvlDateTimeFormatInfo& AInfo);

class TvlFormatController : public TvlIUnknownObject, public IvxResourceStringsListener {
public:
    String ClassName() const override { return String::fromLatin1("TvlFormatController"); }
    TvlFormatController();
    ~TvlFormatController() override;
    TvlFormatController(const TvlFormatController&) = delete;
    TvlFormatController& operator=(const TvlFormatController&) = delete;

    // Adding twice keeps one entry. Listeners are not owned: each removes
    // itself before it dies. While there are listeners the controller
    // watches the application for a change of the regional settings.
    virtual void AddListener(IvlFormatChangeListener* AListener);
    virtual void RemoveListener(IvlFormatChangeListener* AListener);
    int ListenerCount() const { return int(FListeners.size()); }
    bool WatchesLocaleChanges() const { return FLocaleHook != 0; }

    // The application reports a change of the regional settings: unless
    // the application keeps its format settings, the runtime's settings are
    // read again, the formats rebuilt and the listeners told, in order.
    void LocaleChanged();
    // The application reports a change of the system clock.
    void SystemTimeChanged();
    void TranslationChanged() override;

    void RefreshFormats();
    int GetStartOfWeek() const;

    bool GetDateTimeFormatItemStandardMaskInfo(const TvlDateTimeFormatInfo& AFormatInfo, int APos,
                                               TvlFormatStandardMaskItemInfo& AInfo) const;
    int GetDateTimeStandardMaskStringLength(const TvlDateTimeFormatInfo& AFormatInfo) const;

    const String& CurrencyDisplayFormat() const { return FCurrencyDisplayFormat; }
    const String& PaddedShortDateFormat() const { return FPaddedShortDateFormat; }
    const TvlDateTimeFormatInfo& ShortDateItems() const { return FShortDateItems; }
    const TvlDateTimeFormatInfo& LongTimeItems() const { return FLongTimeItems; }
    const TvlDateTimeFormatInfo& DateTimeItems() const { return FDateTimeItems; }
    const String& DateStandardMask() const { return FDateStandardMask; }
    const String& DateTimeStandardMask() const { return FDateTimeStandardMask; }
    const String& DateRegExprMask() const { return FDateRegExprMask; }
    const String& DateTimeRegExprMask() const { return FDateTimeRegExprMask; }
    const String& DateMaskDisplayFormat() const { return FDateMaskDisplayFormat; }
    const String& DateTimeMaskDisplayFormat() const { return FDateTimeMaskDisplayFormat; }
    bool UseRuntimeLibraryFormats() const { return FUseRuntimeLibraryFormats; }
    bool DateTimeStandardMaskAssigned() const { return FDateTimeStandardMaskAssigned; }

    // The pieces of the formats, open for the editors that build their own.
    String BuildCurrencyFormat() const;
    String BuildStandardMask(const TvlDateTimeFormatInfo& AFormatInfo) const;
    String BuildRegExprMask(const TvlDateTimeFormatInfo& AFormatInfo, bool ATimePieces) const;
    String BuildMaskDisplayFormat(const TvlDateTimeFormatInfo& AFormatInfo) const;

private:
    void BuildDateTimeMasks();
    void NotifyFormatChanged();
    int GetFormatItemMaskLength(const TvlDateTimeFormatItem& AItem) const;

    bool FCurrencyDisplayFormatAssigned = false;
    bool FDateRegExprMaskAssigned = false;
    bool FDateTimeRegExprMaskAssigned = false;
    bool FDateStandardMaskAssigned = false;
    bool FDateTimeStandardMaskAssigned = false;
    String FCurrencyDisplayFormat;
    String FPaddedShortDateFormat;
    String FDateStandardMaskAsBuilt;
    TvlDateTimeFormatInfo FShortDateItems;
    TvlDateTimeFormatInfo FDateTimeItems;
    std::vector<IvlFormatChangeListener*> FListeners;  // not owned
    String FDateMaskDisplayFormat;
    String FDateTimeMaskDisplayFormat;
    String FDateRegExprMask;
    String FDateTimeRegExprMask;
    String FDateStandardMask;
    String FDateTimeStandardMask;
    TvlDateTimeFormatInfo FLongTimeItems;
    bool FUseRuntimeLibraryFormats = false;
    int FLocaleHook = 0;  // the application event hook, while there are listeners
};

// The one controller, made on the first call; the unit's finalization frees it.
TvlFormatController* vlFormatController();
// The controller when it exists, without making it: for listeners that
// leave it while the program shuts down.
TvlFormatController* vlFormatControllerAssigned();

// A text as a quoted piece of a regular-expression mask: runs of ordinary
// characters between apostrophes, each apostrophe written as \'.
String vlQuoteRegExprText(const String& AText);

void AddvlFormatsUnit(TStartupList& AList);
