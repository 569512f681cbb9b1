// vlRegExpr.h - the regular-expression masks of the mask editor: a small
// language made for masks (no anchors, no captures, the whole text always),
// compiled into a state graph that checks typed text one character at a
// time, steps back exactly, and can insert the characters that are the only
// possible continuation.
#pragma once
#include <QChar>
#include <memory>
#include <vector>

#include "platform/rtl/Delegate.h"
#include "platform/rtl/Stream.h"
#include "platform/rtl/String.h"
#include "ui/editors/vlEdit.h"

// ---- errors ------------------------------------------------------------------------

class TvlRegExprError {
public:
    TvlRegExprError(int ALineNo, int ACharNo, const String& AText) : CharNo(ACharNo), LineNo(ALineNo), Text(AText) {}
    // "Line1, Char4: " and the text; the bare text without a position.
    String FullText() const;

    int CharNo;
    int LineNo;
    String Text;
};

class TvlRegExprErrors {
public:
    void Append(std::unique_ptr<TvlRegExprError> AError) { FItems.push_back(std::move(AError)); }
    void Clear() { FItems.clear(); }
    int Count() const { return int(FItems.size()); }
    const TvlRegExprError* Items(int AIndex) const { return FItems.at(size_t(AIndex)).get(); }

private:
    std::vector<std::unique_ptr<TvlRegExprError>> FItems;
};

// A failed build. The list belongs to the expression that failed and lives
// until it is built again or destroyed.
class EvlRegExprError : public EvlEditError {
public:
    explicit EvlRegExprError(const TvlRegExprErrors* AErrorList) : EvlEditError(String()), ErrorList(AErrorList) {}
    const char* ClassName() const override { return "EvlRegExprError"; }
    const TvlRegExprErrors* ErrorList;
};

// ---- what one position accepts ------------------------------------------------------

class TvlRegExprItem {
public:
    virtual ~TvlRegExprItem() = default;
    // May replace the character by the item's own when it matches only by case.
    virtual bool Accepts(QChar& ACh, bool ACaseInsensitive) const = 0;
    virtual std::unique_ptr<TvlRegExprItem> Duplicate() const = 0;
};

class TvlRegExprSymbol : public TvlRegExprItem {
public:
    explicit TvlRegExprSymbol(QChar ASymbol) : Symbol(ASymbol) {}
    bool Accepts(QChar& ACh, bool ACaseInsensitive) const override;
    std::unique_ptr<TvlRegExprItem> Duplicate() const override { return std::make_unique<TvlRegExprSymbol>(Symbol); }
    QChar Symbol;
};

// The runtime's separators as they are when a character is tested.
class TvlRegExprTimeSeparator : public TvlRegExprItem {
public:
    bool Accepts(QChar& ACh, bool ACaseInsensitive) const override;
    std::unique_ptr<TvlRegExprItem> Duplicate() const override { return std::make_unique<TvlRegExprTimeSeparator>(); }
};

class TvlRegExprDateSeparator : public TvlRegExprItem {
public:
    bool Accepts(QChar& ACh, bool ACaseInsensitive) const override;
    std::unique_ptr<TvlRegExprItem> Duplicate() const override { return std::make_unique<TvlRegExprDateSeparator>(); }
};

class TvlRegExprSubrange : public TvlRegExprItem {
public:
    TvlRegExprSubrange(QChar AFirst, QChar ALast) : First(AFirst), Last(ALast) {}
    bool Accepts(QChar& ACh, bool ACaseInsensitive) const override;
    std::unique_ptr<TvlRegExprItem> Duplicate() const override { return std::make_unique<TvlRegExprSubrange>(First, Last); }
    QChar First;
    QChar Last;
};

class TvlRegExprEnumeration : public TvlRegExprItem {
public:
    bool Accepts(QChar& ACh, bool ACaseInsensitive) const override { return Test(ACh, ACaseInsensitive) != Negated; }
    bool Negated = false;

protected:
    virtual bool Test(QChar& ACh, bool ACaseInsensitive) const = 0;
};

class TvlRegExprUserEnumeration : public TvlRegExprEnumeration {
public:
    std::unique_ptr<TvlRegExprItem> Duplicate() const override;
    std::vector<std::unique_ptr<TvlRegExprItem>> Members;

protected:
    bool Test(QChar& ACh, bool ACaseInsensitive) const override;
};

class TvlRegExprDigit : public TvlRegExprEnumeration {
public:
    std::unique_ptr<TvlRegExprItem> Duplicate() const override;

protected:
    bool Test(QChar& ACh, bool) const override { return ACh >= QLatin1Char('0') && ACh <= QLatin1Char('9'); }
};

class TvlRegExprIdLetter : public TvlRegExprEnumeration {
public:
    std::unique_ptr<TvlRegExprItem> Duplicate() const override;

protected:
    bool Test(QChar& ACh, bool) const override;
};

class TvlRegExprSpace : public TvlRegExprEnumeration {
public:
    std::unique_ptr<TvlRegExprItem> Duplicate() const override;

protected:
    bool Test(QChar& ACh, bool) const override { return IsBlankChar(ACh); }
};

class TvlRegExprAll : public TvlRegExprItem {
public:
    bool Accepts(QChar&, bool) const override { return true; }
    std::unique_ptr<TvlRegExprItem> Duplicate() const override { return std::make_unique<TvlRegExprAll>(); }
};

// ---- the expression --------------------------------------------------------------

class TvlRegExprAutomat;

class TvlRegExpr {
public:
    // Bounds of what a mask may make: a count above this many copies, or a
    // graph above that many states, is a build error.
    static constexpr int MaxCount = 1000;
    static constexpr int MaxStates = 20000;

    TvlRegExpr();
    ~TvlRegExpr();
    TvlRegExpr(const TvlRegExpr&) = delete;
    TvlRegExpr& operator=(const TvlRegExpr&) = delete;

    // Compiles the whole content of the stream, read as UTF-8. Raises
    // EvlRegExprError, whose list holds every error found, on failure.
    void BuildFromStream(TStream* AStream);
    bool IsBuilt() const { return FBuilt; }
    // The mask text while built; nullptr otherwise.
    TStream* SourceStream() const;
    const TvlRegExprErrors& ErrorList() const { return FErrorList; }

    // These raise EvlEditError while the expression is not built.
    bool StepForward(QChar& ACh);
    void StepText(const String& AText, String& AAccepted);
    bool StepBack();
    void Restart();
    bool AtFinal() const;
    bool AtStart() const;

    bool AutoComplete() const { return FAutoComplete; }
    void SetAutoComplete(bool AValue);

    bool IgnoreCase = false;
    TDelegate<void()> OnAutoRemove;
    TDelegate<void(QChar)> OnAutoInsert;

    // Sizes of the compiled graph, for the curious and the tests.
    int StateCount() const;
    int ReachedCount() const;

private:
    friend class TvlRegExprAutomat;
    void CheckBuilt() const;
    void Discard();
    void DoAutoInsert(QChar ACh);
    void DoAutoRemove();
    [[noreturn]] void RaiseErrors();

    std::unique_ptr<TvlRegExprAutomat> FAutomaton;
    bool FBuilt = false;
    TvlRegExprErrors FErrorList;
    bool FFirstBuild = true;
    std::unique_ptr<TMemoryStream> FSource;
    bool FAutoComplete = false;
};
