// vlDataUtils.h - the bytes every data stream is made of (fixed-width
// little-endian numbers, counted strings, one self-describing variant
// encoding), the variant arrays of BETWEEN and IN conditions, and small
// routines shared by the data layer and the editors.
#pragma once
#include <cstdint>

#include "platform/rtl/Collection.h"
#include "platform/rtl/Component.h"
#include "platform/rtl/Delegate.h"
#include "platform/rtl/Stream.h"
#include "platform/rtl/Variant.h"

class TMemoryStream;
class TControl;
class TBasicAction;  // the control layer's actions; only passed through

// ---- variant arrays ---------------------------------------------------

Variant VarBetweenArrayCreate(const Variant& ALow, const Variant& AHigh);
Variant VarListArrayFromValue(const Variant& AValue);
// Replaces AArray by a copy one element longer that ends with AValue.
void VarListArrayAppend(Variant& AArray, const Variant& AValue);

// ---- shared routines ------------------------------------------------------

// A number format for currency values from the locale settings, e.g. "$,0.00".
String BuildCurrencyDisplayFormat();
// The day (truncated towards zero) and the time of day (the fraction, with
// the value's sign) of a date-time.
TDateTime DatePart(TDateTime Value);
TDateTime TimePart(TDateTime Value);
// The first day (by the locale's first day of the week) of ADate's week.
TDateTime GetStartDateOfWeek(TDateTime ADate);
// Whole match, or with APartial a prefix match, ignoring case; an empty
// search text matches only an empty text.
bool SameTextOrPrefix(const String& AText, const String& ASearchText, bool APartial);

// Texts in the 8-bit form streams without the Unicode signature carry (the
// ANSI code page).
AnsiString ansiFromText(const String& AText);
String textFromAnsi(const AnsiString& ABytes);

// ---- typed stream procedures ------------------------------------------------
// Each reads or writes exactly its bytes at the stream's position and raises
// EReadError when the stream ends inside a value. Counted strings check the
// count against the bytes left before anything is allocated.

uint8_t StreamReadByte(TStream* AStream);
bool StreamReadBoolean(TStream* AStream);  // any non-zero byte is True
int16_t StreamReadInt16(TStream* AStream);
uint16_t StreamReadWord(TStream* AStream);
int32_t StreamReadInt32(TStream* AStream);
int64_t StreamReadInt64(TStream* AStream);
TCurrency StreamReadCurrency(TStream* AStream);
TDateTime StreamReadDateTime(TStream* AStream);
// 10-byte x87 extended, rounded to the nearest double (beyond the double
// range: an infinity or zero).
double StreamReadFloat80(TStream* AStream);
AnsiString StreamReadAnsi(TStream* AStream);  // int32 byte count, the bytes
String StreamReadWide(TStream* AStream);      // int32 unit count, UTF-16LE
// One tagged variant. On any error AValue is left as it was.
Variant StreamReadVariant(TStream* AStream);

void StreamReadByte(TStream* AStream, uint8_t& AValue);
void StreamReadBoolean(TStream* AStream, bool& AValue);
void StreamReadInt16(TStream* AStream, int16_t& AValue);
void StreamReadWord(TStream* AStream, uint16_t& AValue);
void StreamReadInt32(TStream* AStream, int32_t& AValue);
void StreamReadInt64(TStream* AStream, int64_t& AValue);
void StreamReadCurrency(TStream* AStream, TCurrency& AValue);
void StreamReadDateTime(TStream* AStream, TDateTime& AValue);
void StreamReadFloat80(TStream* AStream, double& AValue);
void StreamReadAnsi(TStream* AStream, AnsiString& AValue);
void StreamReadWide(TStream* AStream, String& AValue);
void StreamReadVariant(TStream* AStream, Variant& AValue);

void StreamWriteByte(TStream* AStream, uint8_t AValue);
void StreamWriteBoolean(TStream* AStream, bool AValue);  // 0 or 1
void StreamWriteInt16(TStream* AStream, int16_t AValue);
void StreamWriteWord(TStream* AStream, uint16_t AValue);
void StreamWriteInt32(TStream* AStream, int32_t AValue);
void StreamWriteInt64(TStream* AStream, int64_t AValue);
void StreamWriteCurrency(TStream* AStream, TCurrency AValue);
void StreamWriteDateTime(TStream* AStream, TDateTime AValue);
void StreamWriteFloat80(TStream* AStream, double AValue);  // exact
void StreamWriteAnsi(TStream* AStream, const AnsiString& AValue);
void StreamWriteWide(TStream* AStream, const String& AValue);
// Raises EWriteError "Stream write error" for a value that has no encoding.
void StreamWriteVariant(TStream* AStream, const Variant& AValue);

// The data controller's stream: the wrapped stream and whether its strings
// are UTF-16. Made at the start of a record, it consumes a "VXUFMT" (UTF-16)
// or "VXAFMT" (8-bit) signature there; anything else stays unread (8-bit).
class TvlFiler : public TObject {
public:
    explicit TvlFiler(TStream* AStream);
    String ClassName() const override { return String::fromLatin1("TvlFiler"); }
    TStream* Stream() const { return FStream; }
    bool IsUnicode() const { return FIsUnicode; }
    AnsiString ReadAnsiText();
    int32_t ReadInt32();
    void WriteAnsiText(const AnsiString& AText);
    void WriteInt32(int32_t AValue);

protected:
    TvlFiler(TStream* AStream, bool AIsUnicode) : FStream(AStream), FIsUnicode(AIsUnicode) {}

private:
    TStream* FStream;
    bool FIsUnicode;
};

class TvlReader : public TvlFiler {
public:
    using TvlFiler::TvlFiler;
    String ClassName() const override { return String::fromLatin1("TvlReader"); }
};

// Never reads its stream: what is already there is overwritten, not parsed.
class TvlWriter : public TvlFiler {
public:
    explicit TvlWriter(TStream* AStream) : TvlFiler(AStream, false) {}
    String ClassName() const override { return String::fromLatin1("TvlWriter"); }
};

// ---- data binding of data-aware controls ------------------------------------

// The value a control asks its binding for: the stored value or its text.
using TvlEditValueSource = int;
using TvlDataBindingEvent = TDelegate<void()>;

class TvlCustomDataBinding : public TPersistent {
public:
    TvlCustomDataBinding(TComponent* AOwner, TComponent* ADataComponent);
    ~TvlCustomDataBinding() override = default;
    String ClassName() const override { return String::fromLatin1("TvlCustomDataBinding"); }

    virtual void NotifyValueChanged();
    virtual void NotifySourceChanged();
    virtual bool IsModified() const;
    virtual bool IsReadOnly() const;
    // Stores the flag and reports a source change when it differs.
    virtual void ChangeReadOnly(bool AValue);
    virtual void RequestUpdate();
    // Hook after the visual control changed.
    virtual void VisualControlSet();
    virtual bool CanModify() const;
    // The control offers the actions its own component did not handle.
    virtual bool ExecuteAction(TBasicAction* Action);
    virtual Variant StoredValue(TvlEditValueSource AValueSource, bool AFocused);
    virtual bool IsControlReadOnly() const;
    // Asked before a value is taken from the binding.
    virtual bool HasDataValue() const;
    virtual bool IsEditingData() const;
    // On Escape, after loading and when the display mode changes.
    virtual void RefreshControl();
    // False makes the control discard editing keys.
    virtual bool CanModifyByKey() const;
    virtual void NotifyValueEdited();
    virtual bool UpdateAction(TBasicAction* Action);
    // When the control loses the focus.
    virtual void CommitOnExit();

    TComponent* DataComponent() const { return FDataComponent; }
    TComponent* OwnerComponent() const { return FOwner; }
    TControl* VisualControl() const { return FVisualControl; }
    void SetVisualControl(TControl* Value);

    // Set by the owning control.
    TvlDataBindingEvent OnValueChanged;
    TvlDataBindingEvent OnSourceChanged;
    TvlDataBindingEvent OnUpdateRequest;

protected:
    TPersistent* GetOwner() const override;

private:
    TComponent* FDataComponent;
    TComponent* FOwner;
    bool FReadOnly = false;
    TControl* FVisualControl = nullptr;
};

// A collection that assigns item by item in place, so that items keep their
// identity (and whatever refers to them) when the same list is assigned again.
class TvlCollection : public TCollection {
public:
    using TCollection::TCollection;
    String ClassName() const override { return String::fromLatin1("TvlCollection"); }
    void Assign(const TPersistent* Source) override;
};

// ---- stored property values -------------------------------------------------

// "Hex:" and two upper-case hexadecimal digits per byte of the whole
// stream; empty for no stream or an empty one.
String PropertyStreamToString(TMemoryStream* AStream);
// Writes the bytes of a "Hex:" text at the stream's position. Texts shorter
// than 6 characters, and texts with a pair that is not hexadecimal, write
// nothing; an odd last digit is ignored.
void PropertyStringToStream(const String& AText, TMemoryStream* AStream);
// True or False from "TRUE"/"FALSE" in any ASCII case; anything else raises
// EPropertyConvertError.
bool PropertyStringToBoolean(const String& AText);
