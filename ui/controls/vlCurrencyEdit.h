// vlCurrencyEdit.h - the money editor: a text editor that takes only number
// characters with at most DecimalPlaces decimals, shows the value in the
// currency format and can show an empty value as a text of its own.
#pragma once
#include "ui/editors/vlFilterControlUtils.h"
#include "ui/editors/vlTextEdit.h"

class TStartupList;
class TvlCurrencyEdit;

class TvlCurrencyEditPropertiesValues : public TvlTextEditPropertiesValues {
public:
    explicit TvlCurrencyEditPropertiesValues(TPersistent* AOwner) : TvlTextEditPropertiesValues(AOwner) {}
    String ClassName() const override { return String::fromLatin1("TvlCurrencyEditPropertiesValues"); }
    const TClassInfo* ClassInfo() const override;
    static const TClassInfo& StaticClassInfo();
    void Assign(const TPersistent* Source) override;
    void RestoreDefaults() override;

    bool DecimalPlaces() const { return FDecimalPlaces; }
    void SetDecimalPlaces(bool Value);

private:
    bool FDecimalPlaces = false;
};

class TvlCustomCurrencyEditProperties : public TvlCustomTextEditProperties {
public:
    explicit TvlCustomCurrencyEditProperties(TPersistent* AOwner);
    String ClassName() const override { return String::fromLatin1("TvlCustomCurrencyEditProperties"); }
    const TClassInfo* ClassInfo() const override;
    static const TClassInfo& StaticClassInfo();
    void Assign(const TPersistent* Source) override;

    TvlCurrencyEditPropertiesValues* AssignedValues() const
    {
        return static_cast<TvlCurrencyEditPropertiesValues*>(TvlCustomTextEditProperties::AssignedValues());
    }
    // The locale's currency decimals until set.
    int DecimalPlaces() const;
    void SetDecimalPlaces(int Value);
    bool IsDecimalPlacesStored() const { return AssignedValues()->DecimalPlaces(); }
    bool Nullable() const { return FNullable; }
    void SetNullable(bool Value);
    const String& NullString() const { return FNullString; }
    void SetNullString(const String& Value);
    bool UseThousandSeparator() const { return FUseThousandSeparator; }
    void SetUseThousandSeparator(bool Value);

    // The text as a number: thousand separators are dropped, and what is
    // left must read as 0 or a magnitude a double holds (5e-324 to 1.7e308).
    // On failure the number is 0 and the answer true only for an empty text.
    bool StrToCurrencyValue(const String& AText, double& AValue) const;
    // The edit value of a text: the number, or for an empty, null-string
    // or invalid text null (Nullable) or 0.
    Variant TextToEditValue(const String& AText) const;

    TvlCustomEditPropertiesValuesClass GetAssignedValuesClass() const override;
    TvlCustomEditClass GetContainerClass() const override;
    uint32_t GetDisplayFormatOptions() const override { return 3; }
    String GetDefaultDisplayFormat() const override;
    bool ThousandSeparatorsWhileEditing(bool ASynchronizing) const override
    {
        return FUseThousandSeparator && !ASynchronizing;
    }
    bool IsEditValueNumeric() const override { return true; }
    int GetEditValueSource(bool AEditFocused) const override;
    void PrepareDisplayValue(const Variant& AEditValue, Variant& DisplayValue, bool AEditFocused) const override;
    bool IsDisplayValueValid(Variant& ADisplayValue, bool AEditFocused) const override;
    void ValidateDisplayValue(Variant& ADisplayValue, String& AErrorText, bool& AError,
                              TvlCustomEdit* AEdit) const override;

protected:
    std::unique_ptr<TvlCustomEditProperties> NewInstance(TPersistent* AOwner) const override;

private:
    bool hasEditFormat() const;
    int FDecimalPlaces = 2;
    bool FNullable = true;
    String FNullString;
    bool FUseThousandSeparator = false;
};

class TvlCurrencyEditProperties : public TvlCustomCurrencyEditProperties {
public:
    explicit TvlCurrencyEditProperties(TPersistent* AOwner) : TvlCustomCurrencyEditProperties(AOwner) {}
    String ClassName() const override { return String::fromLatin1("TvlCurrencyEditProperties"); }
    const TClassInfo* ClassInfo() const override;
    static const TClassInfo& StaticClassInfo();

protected:
    std::unique_ptr<TvlCustomEditProperties> NewInstance(TPersistent* AOwner) const override;
};

class TvlCustomCurrencyEdit : public TvlCustomTextEdit {
public:
    explicit TvlCustomCurrencyEdit(TComponent* AOwner, bool AIsInplace = false);
    String ClassName() const override { return String::fromLatin1("TvlCustomCurrencyEdit"); }
    void Initialize() override;

    TvlCustomCurrencyEditProperties* Properties() const
    {
        return static_cast<TvlCustomCurrencyEditProperties*>(TvlCustomTextEdit::Properties());
    }
    TvlCustomCurrencyEditProperties* ActiveProperties() const
    {
        return static_cast<TvlCustomCurrencyEditProperties*>(TvlCustomTextEdit::ActiveProperties());
    }

    // The typed number while it is being edited, else the edit value; 0
    // for nothing or no number.
    double Value() const;
    // Kept inside the defined bounds.
    void SetValue(double AValue);
    // No more decimals than DecimalPlaces (those of an exponent's mantissa
    // only), and a valid number.
    bool CheckDecimals(const String& AText) const;

    void PasteFromClipboard() override;
    void KeyPress(QChar& Key) override;

protected:
    TvlCustomCurrencyEdit(TComponent* AOwner, bool AIsInplace, TDeferInitialize);
    std::unique_ptr<TvlCustomEditProperties> CreateProperties() override;
    void GetDisplayValue(Variant& V) const override;
    bool IsValidChar(QChar Key) const override;
    void PropertiesChanged(TObject* Sender) override;
    void PrepareEditValue(const Variant& ADisplayValue, Variant& AEditValue, bool AEditFocused) override;
    void InternalCheckEditorValueBounds() override;

private:
    double boundedValue(double AValue) const;
};

class TvlCurrencyEdit : public TvlCustomCurrencyEdit {
public:
    explicit TvlCurrencyEdit(TComponent* AOwner, bool AIsInplace = false);
    String ClassName() const override { return String::fromLatin1("TvlCurrencyEdit"); }
    const TClassInfo* ClassInfo() const override { return &StaticClassInfo(); }
    static const TClassInfo& StaticClassInfo();

    TvlCurrencyEditProperties* Properties() const
    {
        return static_cast<TvlCurrencyEditProperties*>(TvlCustomCurrencyEdit::Properties());
    }

protected:
    std::unique_ptr<TvlCustomEditProperties> CreateProperties() override;
};

// The filter dialog types money amounts into a nullable currency editor
// without bounds, offering the numeric comparisons.
class TvlFilterCurrencyEditHelper : public TvlFilterTextEditHelper {
public:
    const TClassInfo& HelperClass() const override;
    static const TvlFilterCurrencyEditHelper* Instance();
    TvlClass FilterEditClass() const override;
    TvlFilterControlOperators SupportedOperators(const TvlCustomEditProperties* AProperties,
                                                 TvlValueTypeClass AValueTypeClass, bool AExtended) const override;
    void InitializeProperties(TvlCustomEditProperties* AProperties, const TvlCustomEditProperties* ASource,
                              bool AKeepButtons) const override;
};

// Registers the editor ("CurrencyEdit") and its filter helper.
void AddvlCurrencyEditUnit(TStartupList& AList);
