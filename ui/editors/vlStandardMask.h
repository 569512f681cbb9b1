// vlStandardMask.h - the classic position-based edit mask: a mask text
// names a fixed number of input positions, each taking one kind of
// character or holding a literal; typed text is fitted into them.
#pragma once
#include <memory>
#include <vector>

#include <QChar>

#include "platform/rtl/String.h"

class TvlStandardMaskCustomItem {
public:
    virtual ~TvlStandardMaskCustomItem() = default;
    // May change the character's letter case when it accepts it.
    virtual bool AcceptChar(QChar& C) const = 0;
};

class TvlStandardMaskLiteralItem : public TvlStandardMaskCustomItem {
public:
    explicit TvlStandardMaskLiteralItem(QChar ALiteralChar) : LiteralChar(ALiteralChar) {}
    bool AcceptChar(QChar& C) const override { return C == LiteralChar; }
    QChar LiteralChar;
};

// The letter case an input position gives what it accepts: 0 upper, 1 lower, 2 as typed.
class TvlStandardMaskManyItem : public TvlStandardMaskCustomItem {
public:
    TvlStandardMaskManyItem(int ALetterCase, bool AIsOptional) : LetterCase(ALetterCase), IsOptional(AIsOptional) {}
    bool AcceptChar(QChar& C) const override;
    void ApplyLetterCase(QChar& C) const;
    int LetterCase;
    bool IsOptional;

protected:
    virtual bool Test(QChar C) const = 0;
};

class TvlStandardMaskAlphaItem : public TvlStandardMaskManyItem {
public:
    using TvlStandardMaskManyItem::TvlStandardMaskManyItem;

protected:
    bool Test(QChar C) const override;
};

class TvlStandardMaskAlphaNumericItem : public TvlStandardMaskManyItem {
public:
    using TvlStandardMaskManyItem::TvlStandardMaskManyItem;

protected:
    bool Test(QChar C) const override;
};

class TvlStandardMaskASCIIItem : public TvlStandardMaskManyItem {
public:
    using TvlStandardMaskManyItem::TvlStandardMaskManyItem;

protected:
    bool Test(QChar) const override { return true; }
};

class TvlStandardMaskNumericItem : public TvlStandardMaskManyItem {
public:
    using TvlStandardMaskManyItem::TvlStandardMaskManyItem;

protected:
    bool Test(QChar C) const override;
};

// Digits and the signs; always optional.
class TvlStandardMaskNumericSymbolItem : public TvlStandardMaskManyItem {
public:
    explicit TvlStandardMaskNumericSymbolItem(int ALetterCase) : TvlStandardMaskManyItem(ALetterCase, true) {}

protected:
    bool Test(QChar C) const override;
};

class TvlStandardMask {
public:
    TvlStandardMask() = default;
    TvlStandardMask(const TvlStandardMask&) = delete;
    TvlStandardMask& operator=(const TvlStandardMask&) = delete;

    const String& MaskText() const { return FMaskText; }
    void SetMaskText(const String& AText);
    void Clear();

    int ItemCount() const { return int(FItemList.size()); }
    TvlStandardMaskCustomItem* Item(int AIndex) const { return FItemList.at(size_t(AIndex)).get(); }
    QChar BlankChar() const { return FBlankChar; }
    bool LeadingBlanks() const { return FLeadingBlanks; }
    bool SaveLiterals() const { return FSaveLiterals; }

    // The empty display text: literals and BlankChar.
    String BlankText() const;
    // A blank per input position, and the literals when they are saved.
    String SpaceText() const;
    void FitText(String& AText, bool AKeepConvertedCase, bool ATextHasLiterals) const;
    void ValueText(String& AText) const;
    // Accepted characters are left in their position's letter case.
    bool IsTextComplete(String& AText) const;

private:
    void ReadLeadingBlanks(String& AText);
    void ParseMask(const String& AText);

    QChar FBlankChar = QLatin1Char('_');
    std::vector<std::unique_ptr<TvlStandardMaskCustomItem>> FItemList;
    bool FLeadingBlanks = false;
    bool FSaveLiterals = true;
    String FMaskText;
};
