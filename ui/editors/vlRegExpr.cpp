#include "ui/editors/vlRegExpr.h"

#include <QLocale>
#include <algorithm>

#include "platform/rtl/SysUtils.h"
#include "ui/editors/vlEditConsts.h"
#include "ui/foundation/vlClasses.h"

using namespace vlEditConsts;

// ---- errors ------------------------------------------------------------------------

String TvlRegExprError::FullText() const
{
    String result;
    if (LineNo > 0) {
        result = GetResourceString(svlRegExprLine) + String::number(LineNo);
        if (CharNo > 0)
            result += QStringLiteral(", ") + GetResourceString(svlRegExprChar) + String::number(CharNo);
        result += QStringLiteral(": ");
    }
    return result + Text;
}

// ---- matcher items -----------------------------------------------------------------

bool TvlRegExprSymbol::Accepts(QChar& ACh, bool ACaseInsensitive) const
{
    if (ACh == Symbol)
        return true;
    if (!ACaseInsensitive)
        return false;
    const QLocale locale;
    if (locale.toUpper(String(ACh)) != locale.toUpper(String(Symbol)))
        return false;
    ACh = Symbol;
    return true;
}

bool TvlRegExprTimeSeparator::Accepts(QChar& ACh, bool) const { return ACh == FormatSettings.TimeSeparator; }
bool TvlRegExprDateSeparator::Accepts(QChar& ACh, bool) const { return ACh == FormatSettings.DateSeparator; }

bool TvlRegExprSubrange::Accepts(QChar& ACh, bool) const
{
    return First.unicode() <= ACh.unicode() && ACh.unicode() <= Last.unicode();
}

bool TvlRegExprUserEnumeration::Test(QChar& ACh, bool ACaseInsensitive) const
{
    return std::any_of(Members.begin(), Members.end(), [&](const auto& m) { return m->Accepts(ACh, ACaseInsensitive); });
}

namespace {
template <class T>
std::unique_ptr<TvlRegExprItem> duplicateEnumeration(const T& ASource)
{
    auto result = std::make_unique<T>();
    result->Negated = ASource.Negated;
    return result;
}
}  // namespace

std::unique_ptr<TvlRegExprItem> TvlRegExprUserEnumeration::Duplicate() const
{
    auto result = std::make_unique<TvlRegExprUserEnumeration>();
    result->Negated = Negated;
    for (const auto& member : Members)
        result->Members.push_back(member->Duplicate());
    return result;
}

std::unique_ptr<TvlRegExprItem> TvlRegExprDigit::Duplicate() const { return duplicateEnumeration(*this); }
std::unique_ptr<TvlRegExprItem> TvlRegExprIdLetter::Duplicate() const { return duplicateEnumeration(*this); }
std::unique_ptr<TvlRegExprItem> TvlRegExprSpace::Duplicate() const { return duplicateEnumeration(*this); }

bool TvlRegExprIdLetter::Test(QChar& ACh, bool) const
{
    const char16_t u = ACh.unicode();
    return (u >= u'a' && u <= u'z') || (u >= u'A' && u <= u'Z') || (u >= u'0' && u <= u'9') || u == u'_';
}

// ---- the state graph ----------------------------------------------------------------

namespace {

// The graph outgrew its bounds.
struct TTooBig {};

constexpr int MaxEdges = 500'000;
constexpr int MaxClosureEntries = 500'000;
constexpr int MaxNesting = 100;
// Fixed characters inserted at one time: far more than any mask's literal
// run, few enough that a mask forcing thousands of them stays quick.
constexpr int MaxAutoInserts = 256;

struct TState {
    bool Block = false;
    bool Accepting = false;
    // None for block states and the initial state. Items do not change once
    // made, so the copies of a state share their item.
    std::shared_ptr<const TvlRegExprItem> Item;
    std::vector<int> Next;
    std::vector<int> Closure;  // block states: the simple states they stand for
};

// All states of one expression; items of the tree name them by index.
struct TGraph {
    std::vector<TState> States;
    int EdgeCount = 0;

    int Add(std::shared_ptr<const TvlRegExprItem> AItem, bool ABlock)
    {
        if (int(States.size()) >= TvlRegExpr::MaxStates)
            throw TTooBig{};
        TState state;
        state.Block = ABlock;
        state.Item = std::move(AItem);
        States.push_back(std::move(state));
        return int(States.size()) - 1;
    }
    void Link(int AFrom, int ATo)
    {
        if (++EdgeCount > MaxEdges)
            throw TTooBig{};
        States[size_t(AFrom)].Next.push_back(ATo);
    }
};

enum class TQuantifier { Simple, Question, Star, Plus };

struct TParserItem;
using TItemPtr = std::shared_ptr<TParserItem>;

struct TParserAlt {
    std::vector<TItemPtr> Items;
};

// A simple item (one consuming state) or a block (alternatives between an
// entry and an exit state). Shared, so that a group stays valid for the
// references to it after a count has replaced it in the tree.
struct TParserItem {
    TQuantifier Multiplicity = TQuantifier::Simple;
    bool IsBlock = false;
    int MatchState = -1;
    std::vector<TParserAlt> Alternatives;
    int ExitState = -1;
    int EntryState = -1;

    bool AllowsAbsence() const { return Multiplicity == TQuantifier::Question || Multiplicity == TQuantifier::Star; }
    bool AllowsRepeat() const { return Multiplicity == TQuantifier::Star || Multiplicity == TQuantifier::Plus; }
    bool HasPlainQuantifier() const { return Multiplicity == TQuantifier::Simple; }
    int Entry() const { return IsBlock ? EntryState : MatchState; }
    int Exit() const { return IsBlock ? ExitState : MatchState; }

    bool MayBeEmpty() const
    {
        if (AllowsAbsence())
            return true;
        if (!IsBlock)
            return false;
        return std::any_of(Alternatives.begin(), Alternatives.end(), [](const TParserAlt& alt) { return AllMayBeEmpty(alt); });
    }
    static bool AllMayBeEmpty(const TParserAlt& AAlt)
    {
        return std::all_of(AAlt.Items.begin(), AAlt.Items.end(), [](const TItemPtr& item) { return item->MayBeEmpty(); });
    }
    static bool AllAllowAbsence(const TParserAlt& AAlt)
    {
        return std::all_of(AAlt.Items.begin(), AAlt.Items.end(), [](const TItemPtr& item) { return item->AllowsAbsence(); });
    }
};

TItemPtr newSimpleItem(TGraph& AGraph, std::shared_ptr<const TvlRegExprItem> AItem)
{
    auto item = std::make_shared<TParserItem>();
    item->MatchState = AGraph.Add(std::move(AItem), false);
    return item;
}

TItemPtr newBlockItem(TGraph& AGraph, TQuantifier AMultiplicity)
{
    auto item = std::make_shared<TParserItem>();
    item->IsBlock = true;
    item->Multiplicity = AMultiplicity;
    item->ExitState = AGraph.Add(nullptr, true);
    item->EntryState = AGraph.Add(nullptr, true);
    return item;
}

TItemPtr duplicateItem(TGraph& AGraph, const TParserItem& ASource)
{
    if (!ASource.IsBlock) {
        TItemPtr item = newSimpleItem(AGraph, AGraph.States[size_t(ASource.MatchState)].Item);
        item->Multiplicity = ASource.Multiplicity;
        return item;
    }
    TItemPtr block = newBlockItem(AGraph, ASource.Multiplicity);
    for (const TParserAlt& alt : ASource.Alternatives) {
        TParserAlt& copy = block->Alternatives.emplace_back();
        for (const TItemPtr& item : alt.Items)
            copy.Items.push_back(duplicateItem(AGraph, *item));
    }
    return block;
}

// ---- linking ---------------------------------------------------------------------------

// The items from the first up to and including the first that may not be skipped.
template <class F>
void forLeadingItems(const TParserAlt& AAlt, F AVisit)
{
    for (const TItemPtr& item : AAlt.Items) {
        AVisit(*item);
        if (!item->AllowsAbsence())
            break;
    }
}

// From the last backwards up to and including the first that may not be
// skipped; ASkippable decides which may.
template <class S, class F>
void forTrailingItems(const TParserAlt& AAlt, S ASkippable, F AVisit)
{
    for (auto it = AAlt.Items.rbegin(); it != AAlt.Items.rend(); ++it) {
        AVisit(**it);
        if (!ASkippable(**it))
            break;
    }
}

void linkAlt(TGraph& AGraph, const TParserAlt& AAlt);

void linkItem(TGraph& AGraph, const TParserItem& AItem)
{
    if (AItem.AllowsRepeat())
        AGraph.Link(AItem.Exit(), AItem.Entry());
    if (!AItem.IsBlock)
        return;
    for (const TParserAlt& alt : AItem.Alternatives)
        forLeadingItems(alt, [&](const TParserItem& lead) { AGraph.Link(AItem.EntryState, lead.Entry()); });
    if (std::any_of(AItem.Alternatives.begin(), AItem.Alternatives.end(), TParserItem::AllAllowAbsence))
        AGraph.Link(AItem.EntryState, AItem.ExitState);
    for (const TParserAlt& alt : AItem.Alternatives)
        linkAlt(AGraph, alt);
    for (const TParserAlt& alt : AItem.Alternatives)
        forTrailingItems(alt, [](const TParserItem& i) { return i.AllowsAbsence(); },
                         [&](const TParserItem& last) { AGraph.Link(last.Exit(), AItem.ExitState); });
}

void linkAlt(TGraph& AGraph, const TParserAlt& AAlt)
{
    for (size_t i = 0; i < AAlt.Items.size(); ++i) {
        const TParserItem& item = *AAlt.Items[i];
        for (size_t j = i + 1; j < AAlt.Items.size(); ++j) {
            AGraph.Link(item.Exit(), AAlt.Items[j]->Entry());
            if (!AAlt.Items[j]->AllowsAbsence())
                break;
        }
        linkItem(AGraph, item);
    }
}

// A text may end after an item when everything after it may be empty.
void markFinalAlt(TGraph& AGraph, const TParserAlt& AAlt)
{
    forTrailingItems(AAlt, [](const TParserItem& i) { return i.MayBeEmpty(); }, [&](const TParserItem& item) {
        if (!item.IsBlock) {
            AGraph.States[size_t(item.MatchState)].Accepting = true;
            return;
        }
        for (const TParserAlt& alt : item.Alternatives)
            markFinalAlt(AGraph, alt);
    });
}

// The simple states each block state stands for, in first-occurrence order.
// False when block states follow each other in a ring.
bool computeClosures(TGraph& AGraph)
{
    std::vector<TState>& states = AGraph.States;
    enum : uint8_t { White, Grey, Black };
    std::vector<uint8_t> colour(states.size(), White);
    std::vector<int> mark(states.size(), -1);
    int entries = 0;
    for (size_t root = 0; root < states.size(); ++root) {
        if (!states[root].Block || colour[root] != White)
            continue;
        // iterative depth-first walk over block states: a block's closure is
        // made once all the blocks it leads to have theirs
        std::vector<std::pair<int, size_t>> stack{{int(root), 0}};
        colour[root] = Grey;
        while (!stack.empty()) {
            auto& [s, next] = stack.back();
            TState& state = states[size_t(s)];
            if (next < state.Next.size()) {
                const int f = state.Next[next++];
                if (!states[size_t(f)].Block)
                    continue;
                if (colour[size_t(f)] == Grey)
                    return false;
                if (colour[size_t(f)] == White) {
                    colour[size_t(f)] = Grey;
                    stack.push_back({f, 0});
                }
                continue;
            }
            for (const int f : state.Next) {
                const std::vector<int> single{f};
                const std::vector<int>& part = states[size_t(f)].Block ? states[size_t(f)].Closure : single;
                for (const int c : part) {
                    if (mark[size_t(c)] == s)
                        continue;
                    mark[size_t(c)] = s;
                    state.Closure.push_back(c);
                    if (++entries > MaxClosureEntries)
                        throw TTooBig{};
                }
            }
            colour[size_t(s)] = Black;
            stack.pop_back();
        }
    }
    return true;
}

}  // namespace

// ---- the automaton ----------------------------------------------------------------------

class TvlRegExprAutomat {
public:
    using TStates = std::vector<int>;

    TvlRegExprAutomat(TGraph AGraph, std::vector<TParserAlt> ATree, int AInitialState, TvlRegExpr* AHost)
        : InitialState(AInitialState), FGraph(std::move(AGraph)), FTree(std::move(ATree)), FHost(AHost)
    {
        FMark.assign(FGraph.States.size(), 0);
        Restart();
    }

    bool StepForward(QChar& ACh, bool ACaseInsensitive)
    {
        TStates next = Advance(FReached, ACh, ACaseInsensitive);
        if (next.empty())
            return false;
        FTrail.push_back(std::move(FReached));
        FReached = std::move(next);
        return true;
    }
    bool StepBack()
    {
        if (FTrail.empty())
            return false;
        FReached = std::move(FTrail.back());
        FTrail.pop_back();
        return true;
    }
    void Restart()
    {
        FTrail.clear();
        FReached = {InitialState};
    }
    bool AtFinal() const { return HasFinal(FReached); }
    bool AtStart() const { return !FReached.empty() && FReached.front() == InitialState; }

    void InsertFixedChars()
    {
        for (int inserted = 0; !AtFinal() && inserted < MaxAutoInserts; ++inserted) {
            TStates followers = Followers(FReached);
            QChar c;
            if (!FixedChar(followers, c))
                break;
            FHost->DoAutoInsert(c);
            FTrail.push_back(std::move(FReached));
            FReached = std::move(followers);
        }
    }
    void RemoveFixedChars()
    {
        QChar c;
        while (FixedChar(FReached, c) && !FTrail.empty()) {
            const TStates& previous = FTrail.back();
            if (!FixedChar(Followers(previous), c) || HasFinal(previous))
                break;
            FHost->DoAutoRemove();
            FReached = std::move(FTrail.back());
            FTrail.pop_back();
        }
    }

    int StateCount() const { return int(FGraph.States.size()); }
    int ReachedCount() const { return int(FReached.size()); }

    const int InitialState;

private:
    // Every list the automaton keeps holds simple states, each once, in the
    // order they were first reached.
    template <class F>
    void ForEachFollower(const TStates& AStates, F AVisit) const
    {
        for (const int s : AStates)
            for (const int f : FGraph.States[size_t(s)].Next) {
                const TState& state = FGraph.States[size_t(f)];
                if (!state.Block)
                    AVisit(f);
                else
                    for (const int c : state.Closure)
                        AVisit(c);
            }
    }
    TStates Advance(const TStates& AStates, QChar& ACh, bool ACaseInsensitive)
    {
        const int generation = ++FGeneration;
        TStates result;
        ForEachFollower(AStates, [&](int f) {
            // each occurrence is tested, so the character is replaced as a
            // list with repeats would replace it
            if (FGraph.States[size_t(f)].Item->Accepts(ACh, ACaseInsensitive) && FMark[size_t(f)] != generation) {
                FMark[size_t(f)] = generation;
                result.push_back(f);
            }
        });
        return result;
    }
    TStates Followers(const TStates& AStates)
    {
        const int generation = ++FGeneration;
        TStates result;
        ForEachFollower(AStates, [&](int f) {
            if (FMark[size_t(f)] != generation) {
                FMark[size_t(f)] = generation;
                result.push_back(f);
            }
        });
        return result;
    }
    bool HasFinal(const TStates& AStates) const
    {
        return std::any_of(AStates.begin(), AStates.end(), [this](int s) { return FGraph.States[size_t(s)].Accepting; });
    }
    bool FixedChar(const TStates& AStates, QChar& ACh) const
    {
        if (AStates.empty())
            return false;
        for (size_t i = 0; i < AStates.size(); ++i) {
            const TvlRegExprItem* item = FGraph.States[size_t(AStates[i])].Item.get();
            QChar c;
            if (const auto* symbol = dynamic_cast<const TvlRegExprSymbol*>(item))
                c = symbol->Symbol;
            else if (dynamic_cast<const TvlRegExprTimeSeparator*>(item) != nullptr)
                c = FormatSettings.TimeSeparator;
            else if (dynamic_cast<const TvlRegExprDateSeparator*>(item) != nullptr)
                c = FormatSettings.DateSeparator;
            else
                return false;
            if (i > 0 && c != ACh)
                return false;
            ACh = c;
        }
        return true;
    }

    TStates FReached;
    TGraph FGraph;
    std::vector<TParserAlt> FTree;
    std::vector<TStates> FTrail;
    TvlRegExpr* FHost;
    std::vector<int> FMark;
    int FGeneration = 0;
};

// ---- lexer and parser ---------------------------------------------------------------------

enum TvlLexemKind : uint8_t {
    lkLiteral, lkMeta, lkInteger, lkAnyChar, lkWordChar, lkNotWordChar, lkDigit, lkNotDigit, lkSpace, lkNotSpace,
    lkBackReference, lkDateSeparator, lkTimeSeparator
};

struct TvlLexem {
    int CharNo = 0;
    TvlLexemKind LexemKind = lkLiteral;
    int LineNo = 0;
    String Text;
};

// One build: the source, the counters, the lexems, the groups and the tree.
struct TvlRegExprBuild {
    TvlRegExprBuild(const String& ASource, TvlRegExprErrors& AErrors) : Source(ASource), Errors(AErrors) {}

    const String Source;
    TvlRegExprErrors& Errors;
    int ReadIndex = 0;
    int LineNo = 1;
    int CharNo = 0;
    std::vector<TvlLexem> LexemList;
    int LexemCursor = 0;
    std::vector<TItemPtr> Groups;  // owned here too: references outlive a count's rewrite
    TGraph Graph;
    std::vector<TParserAlt> Tree;
    const TvlLexem* Current = nullptr;  // the lexem being parsed

    // ---- source access
    bool PeekChar(QChar& ACh, int AOffset) const
    {
        const int at = ReadIndex + AOffset;
        if (at < 0 || at >= int(Source.size()))
            return false;
        ACh = Source[at];
        return true;
    }
    bool ReadChar(QChar& ACh)
    {
        if (!PeekChar(ACh, 0))
            return false;
        ++ReadIndex;
        if (ACh == QChar(13))
            ++LineNo;
        CharNo = ACh == QChar(10) ? 0 : CharNo + 1;
        return true;
    }
    static bool IsDecimalDigit(QChar C) { return C >= QLatin1Char('0') && C <= QLatin1Char('9'); }
    static bool IsHexDigit(QChar C)
    {
        return IsDecimalDigit(C) || (C >= QLatin1Char('a') && C <= QLatin1Char('f')) || (C >= QLatin1Char('A') && C <= QLatin1Char('F'));
    }

    void AddError(int ALine, int AChar, const String& AText) { Errors.Append(std::make_unique<TvlRegExprError>(ALine, AChar, AText)); }
    void AddError(int ALine, int AChar, const TResStringRec& AText) { AddError(ALine, AChar, GetResourceString(AText)); }
    void AddError(int ALine, int AChar, const TResStringRec& AText, const String& AArg)
    {
        AddError(ALine, AChar, LoadResStringFmt(AText, {AArg}));
    }
    void AddErrorAt(const TvlLexem& ALexem, const TResStringRec& AText) { AddError(ALexem.LineNo, ALexem.CharNo, AText); }
    void AddErrorAt(const TvlLexem& ALexem, const TResStringRec& AText, const String& AArg)
    {
        AddError(ALexem.LineNo, ALexem.CharNo, AText, AArg);
    }
    void AddErrorAtEnd(const TResStringRec& AText, const String& AArg) { AddError(LineNo, CharNo + 1, AText, AArg); }

    void AddLexem(TvlLexemKind AKind, const String& AText, int ALine, int AChar) { LexemList.push_back({AChar, AKind, ALine, AText}); }
    void AddLexem(TvlLexemKind AKind, QChar ACh) { AddLexem(AKind, String(ACh), LineNo, CharNo); }

    static String quoteArg() { return QStringLiteral(" ' "); }

    // ---- lexer
    void ScanSource()
    {
        int parens = 0;
        int depth = 0;
        QChar c;
        while (ReadChar(c)) {
            if (IsBlankChar(c))
                continue;
            switch (c.unicode()) {
            case u'\'': ScanQuoted(); break;
            case u'(':
                AddLexem(lkMeta, c);
                ++parens;
                // deeper groups than any mask needs are refused before they cost stack
                if (++depth > MaxNesting)
                    AddError(LineNo, CharNo, svlRegExprIllegalSymbol, String(c));
                break;
            case u')':
                AddLexem(lkMeta, c);
                --parens;
                depth = std::max(0, depth - 1);
                break;
            case u'*': case u'+': case u'?': case u'|': AddLexem(lkMeta, c); break;
            case u'.': AddLexem(lkAnyChar, c); break;
            case u'/': AddLexem(lkDateSeparator, c); break;
            case u':': AddLexem(lkTimeSeparator, c); break;
            case u'[': AddLexem(lkMeta, c); ScanCharClass(); break;
            case u'\\': ScanEscape(); break;
            case u'{': AddLexem(lkMeta, c); ScanCount(); break;
            default: AddLexem(lkLiteral, c);
            }
        }
        if (parens > 0)
            AddError(0, 0, svlRegExprMissing, QStringLiteral(")"));
        else if (parens < 0)
            AddError(0, 0, svlRegExprUnnecessary, QStringLiteral(")"));
    }

    void ScanQuoted()
    {
        QChar c;
        while (ReadChar(c)) {
            if (c == QLatin1Char('\'')) {
                QChar next;
                if (!PeekChar(next, 0) || next != QLatin1Char('\''))
                    return;
                AddLexem(lkLiteral, c);
                ReadChar(next);
                continue;
            }
            AddLexem(lkLiteral, c);
        }
        AddErrorAtEnd(svlRegExprMissing, quoteArg());
    }

    void ScanEscape()
    {
        const int line = LineNo;
        const int at = CharNo;
        QChar c;
        if (!ReadChar(c))
            return;
        auto add = [&](TvlLexemKind kind, QChar ch) { AddLexem(kind, String(ch), line, at); };
        if (c >= QLatin1Char('1') && c <= QLatin1Char('9')) {
            add(lkBackReference, c);
            return;
        }
        if (IsBlankChar(c)) {
            AddError(LineNo, CharNo, svlRegExprIncorrectSpace);
            return;
        }
        switch (c.unicode()) {
        case u'D': add(lkNotDigit, c); break;
        case u'S': add(lkNotSpace, c); break;
        case u'W': add(lkNotWordChar, c); break;
        case u'd': add(lkDigit, c); break;
        case u's': add(lkSpace, c); break;
        case u'w': add(lkWordChar, c); break;
        case u'a': add(lkLiteral, QChar(7)); break;
        case u'e': add(lkLiteral, QChar(27)); break;
        case u'f': add(lkLiteral, QChar(12)); break;
        case u'n': add(lkLiteral, QChar(10)); break;
        case u'r': add(lkLiteral, QChar(13)); break;
        case u't': add(lkLiteral, QChar(9)); break;
        case u'p': add(lkLiteral, FormatSettings.DecimalSeparator); break;
        case u'x': ScanHexEscape(line, at); break;
        default: add(lkLiteral, c);
        }
    }

    void ScanHexEscape(int ALine, int AChar)
    {
        int value = 0;
        bool ok = true;
        for (int i = 0; i < 2; ++i) {
            QChar c;
            if (!ReadChar(c)) {
                AddError(LineNo, CharNo + 1, svlRegExprHexNumberExpected0);
                return;
            }
            if (!IsHexDigit(c)) {
                AddError(LineNo, CharNo, svlRegExprHexNumberExpected, String(c));
                ok = false;
                continue;
            }
            value = value * 16 + QString(c).toInt(nullptr, 16);
        }
        if (ok)
            AddLexem(lkLiteral, String(QChar(char16_t(value))), ALine, AChar);
    }

    // The characters of a class that read the same first and later.
    bool ScanClassCommon(QChar AC)
    {
        switch (AC.unicode()) {
        case u'\'': ScanQuoted(); return true;
        case u'/': AddLexem(lkDateSeparator, AC); return true;
        case u':': AddLexem(lkTimeSeparator, AC); return true;
        case u'\\': ScanEscape(); return true;
        default: return false;
        }
    }

    void ScanCharClass()
    {
        QChar c;
        bool first = true;
        while (true) {
            if (!ReadChar(c)) {
                AddErrorAtEnd(svlRegExprMissing, QStringLiteral("]"));
                return;
            }
            if (IsBlankChar(c))
                continue;
            if (ScanClassCommon(c)) {
                first = false;
                continue;
            }
            if (c == QLatin1Char(']')) {
                AddLexem(lkMeta, c);
                return;
            }
            if (first) {
                first = false;
                AddLexem(c == QLatin1Char('^') ? lkMeta : lkLiteral, c);
                continue;
            }
            if (c == QLatin1Char('-')) {
                const int line = LineNo;
                const int at = CharNo;
                QChar next;
                bool found = false;
                while (PeekChar(next, 0)) {
                    if (!IsBlankChar(next)) {
                        found = true;
                        break;
                    }
                    ReadChar(next);
                }
                if (!found) {
                    AddLexem(lkMeta, String(c), line, at);
                    AddErrorAtEnd(svlRegExprMissing, QStringLiteral("]"));
                    return;
                }
                AddLexem(next == QLatin1Char(']') ? lkLiteral : lkMeta, String(c), line, at);
                continue;
            }
            AddLexem(lkLiteral, c);
        }
    }

    void ScanCount()
    {
        QChar c;
        while (true) {
            if (!PeekChar(c, 0)) {
                AddErrorAtEnd(svlRegExprMissing, QStringLiteral("}"));
                return;
            }
            if (IsDecimalDigit(c)) {
                if (!ScanNumber())
                    return;
                continue;
            }
            ReadChar(c);
            if (IsBlankChar(c))
                continue;
            if (c == QLatin1Char('\''))
                AddError(LineNo, CharNo, svlRegExprIllegalSymbol, quoteArg());
            else if (c == QLatin1Char(','))
                AddLexem(lkMeta, c);
            else if (c == QLatin1Char('}')) {
                AddLexem(lkMeta, c);
                return;
            } else
                AddError(LineNo, CharNo, svlRegExprIllegalSymbol, String(c));
        }
    }

    // False when the source ends inside the number.
    bool ScanNumber()
    {
        QChar c;
        ReadChar(c);
        const int line = LineNo;
        const int at = CharNo;
        String digits(c);
        while (true) {
            if (!PeekChar(c, 0)) {
                AddLexem(lkInteger, digits, line, at);
                AddErrorAtEnd(svlRegExprMissing, QStringLiteral("}"));
                return false;
            }
            if (!IsDecimalDigit(c))
                break;
            ReadChar(c);
            digits += c;
        }
        AddLexem(lkInteger, digits, line, at);
        return true;
    }

    // ---- parser
    bool NextLexem(const TvlLexem*& ALexem)
    {
        if (LexemCursor >= int(LexemList.size()))
            return false;
        ALexem = &LexemList[size_t(LexemCursor++)];
        Current = ALexem;
        return true;
    }
    const TvlLexem* PeekLexem() const { return LexemCursor < int(LexemList.size()) ? &LexemList[size_t(LexemCursor)] : nullptr; }
    static bool IsMeta(const TvlLexem* ALexem, char16_t AChar)
    {
        return ALexem != nullptr && ALexem->LexemKind == lkMeta && ALexem->Text.size() == 1 && ALexem->Text[0] == QChar(AChar);
    }

    void ParseExpression()
    {
        try {
            for (bool more = true; more;)
                more = ParseAlternative(Tree.emplace_back(), true);
            if (Errors.Count() > 0)
                return;
            for (const TParserAlt& alt : Tree)
                linkAlt(Graph, alt);
            for (const TParserAlt& alt : Tree)
                markFinalAlt(Graph, alt);
        } catch (const TTooBig&) {
            if (Current != nullptr)
                AddErrorAt(*Current, svlRegExprIncorrectParameterQuantifier);
            else
                AddError(0, 0, svlRegExprIncorrectParameterQuantifier);
        }
    }

    // True when another alternative follows.
    bool ParseAlternative(TParserAlt& AAlt, bool ATopLevel)
    {
        const TvlLexem* first = PeekLexem();
        if (first == nullptr) {
            AddError(0, 0, svlRegExprCantCreateEmptyAlt);
            return false;
        }
        if (IsMeta(first, u'|')) {
            NextLexem(first);
            AddErrorAt(*first, svlRegExprCantCreateEmptyAlt);
            return true;
        }
        if (!ATopLevel && IsMeta(first, u')')) {
            NextLexem(first);
            AddErrorAt(*first, svlRegExprCantCreateEmptyBlock);
            return false;
        }
        TParserItem* current = nullptr;
        auto addItem = [&](TItemPtr AItem) {
            AAlt.Items.push_back(std::move(AItem));
            current = AAlt.Items.back().get();
        };
        auto addSimple = [&](std::unique_ptr<TvlRegExprItem> AItem) { addItem(newSimpleItem(Graph, std::move(AItem))); };
        auto enumeration = [](auto item, bool negated) {
            item->Negated = negated;
            return item;
        };
        const TvlLexem* lx = nullptr;
        while (NextLexem(lx)) {
            switch (lx->LexemKind) {
            case lkLiteral: addSimple(std::make_unique<TvlRegExprSymbol>(lx->Text[0])); break;
            case lkAnyChar: addSimple(std::make_unique<TvlRegExprAll>()); break;
            case lkWordChar: addSimple(std::make_unique<TvlRegExprIdLetter>()); break;
            case lkNotWordChar: addSimple(enumeration(std::make_unique<TvlRegExprIdLetter>(), true)); break;
            case lkDigit: addSimple(std::make_unique<TvlRegExprDigit>()); break;
            case lkNotDigit: addSimple(enumeration(std::make_unique<TvlRegExprDigit>(), true)); break;
            case lkSpace: addSimple(std::make_unique<TvlRegExprSpace>()); break;
            case lkNotSpace: addSimple(enumeration(std::make_unique<TvlRegExprSpace>(), true)); break;
            case lkDateSeparator: addSimple(std::make_unique<TvlRegExprDateSeparator>()); break;
            case lkTimeSeparator: addSimple(std::make_unique<TvlRegExprTimeSeparator>()); break;
            case lkBackReference: {
                const int n = lx->Text[0].digitValue();
                if (n <= int(Groups.size()))
                    addItem(duplicateItem(Graph, *Groups[size_t(n - 1)]));
                else
                    AddErrorAt(*lx, svlRegExprTooBigReferenceNumber);
                break;
            }
            case lkInteger: AddErrorAt(*lx, svlRegExprIllegalIntegerValue); break;
            case lkMeta: {
                const QChar m = lx->Text[0];
                switch (m.unicode()) {
                case u'(': addItem(ParseGroup()); break;
                case u')':
                    if (!ATopLevel)
                        return false;
                    AddErrorAt(*lx, svlRegExprIllegalSymbol, String(m));
                    break;
                case u'|': return true;
                case u'*':
                case u'+':
                case u'?':
                    if (current == nullptr) {
                        AddErrorAt(*lx, svlRegExprIllegalQuantifier, String(m));
                    } else if (m != QLatin1Char('?') && current->MayBeEmpty()) {
                        AddErrorAt(*lx, m == QLatin1Char('*') ? svlRegExprCantUseStarQuantifier : svlRegExprCantUsePlusQuantifier);
                    } else {
                        const TQuantifier q = m == QLatin1Char('?')   ? TQuantifier::Question
                                              : m == QLatin1Char('*') ? TQuantifier::Star
                                                                      : TQuantifier::Plus;
                        current = ApplyQuantifier(AAlt, current, q);
                    }
                    break;
                case u'[': addItem(ParseClass()); break;
                case u'{':
                    if (current == nullptr) {
                        AddErrorAt(*lx, svlRegExprIncorrectParameterQuantifier);
                    } else {
                        const TvlLexem* brace = lx;
                        int low = 0, high = 0;
                        if (ParseCount(low, high))
                            current = ApplyCount(AAlt, current, low, high, *brace);
                    }
                    break;
                case u'-':
                case u']':
                case u'}': AddErrorAt(*lx, svlRegExprIllegalSymbol, String(m)); break;
                default: break;
                }
                break;
            }
            }
        }
        return false;
    }

    TItemPtr ParseGroup()
    {
        TItemPtr block = newBlockItem(Graph, TQuantifier::Simple);
        Groups.push_back(block);
        for (bool more = true; more;)
            more = ParseAlternative(block->Alternatives.emplace_back(), false);
        return block;
    }

    TParserItem* ApplyQuantifier(TParserAlt& AAlt, TParserItem* ACurrent, TQuantifier AQuantifier)
    {
        if (ACurrent->HasPlainQuantifier()) {
            ACurrent->Multiplicity = AQuantifier;
            return ACurrent;
        }
        TItemPtr block = newBlockItem(Graph, AQuantifier);
        block->Alternatives.emplace_back().Items.push_back(std::move(AAlt.Items.back()));
        AAlt.Items.back() = block;
        return block.get();
    }

    TItemPtr ParseClass()
    {
        auto enumeration = std::make_unique<TvlRegExprUserEnumeration>();
        const TvlLexem* l1 = nullptr;
        if (!NextLexem(l1))
            return newSimpleItem(Graph, std::move(enumeration));
        if (IsMeta(l1, u'^')) {
            enumeration->Negated = true;
            if (!NextLexem(l1))
                return newSimpleItem(Graph, std::move(enumeration));
        }
        if (IsMeta(l1, u']')) {
            AddErrorAt(*l1, svlRegExprCantCreateEmptyEnum);
            return newSimpleItem(Graph, std::move(enumeration));
        }
        while (!IsMeta(l1, u']')) {
            const TvlLexem* l2 = nullptr;
            if (!NextLexem(l2))
                break;
            if (IsMeta(l2, u'-')) {
                const TvlLexem* l3 = nullptr;
                if (!NextLexem(l3))
                    break;
                if (l1->Text[0].unicode() < l3->Text[0].unicode())
                    enumeration->Members.push_back(std::make_unique<TvlRegExprSubrange>(l1->Text[0], l3->Text[0]));
                else
                    AddErrorAt(*l3, svlRegExprSubrangeOrder);
                if (!NextLexem(l1))
                    break;
                while (IsMeta(l1, u'-')) {
                    AddErrorAt(*l1, svlRegExprIllegalSymbol, QStringLiteral("-"));
                    if (!NextLexem(l1))
                        break;
                }
                continue;
            }
            enumeration->Members.push_back(ClassMember(*l1));
            l1 = l2;
        }
        return newSimpleItem(Graph, std::move(enumeration));
    }

    static std::unique_ptr<TvlRegExprItem> ClassMember(const TvlLexem& ALexem)
    {
        auto negated = [](auto item) {
            item->Negated = true;
            return item;
        };
        switch (ALexem.LexemKind) {
        case lkAnyChar: return std::make_unique<TvlRegExprAll>();
        case lkWordChar: return std::make_unique<TvlRegExprIdLetter>();
        case lkNotWordChar: return negated(std::make_unique<TvlRegExprIdLetter>());
        case lkDigit: return std::make_unique<TvlRegExprDigit>();
        case lkNotDigit: return negated(std::make_unique<TvlRegExprDigit>());
        case lkSpace: return std::make_unique<TvlRegExprSpace>();
        case lkNotSpace: return negated(std::make_unique<TvlRegExprSpace>());
        case lkDateSeparator: return std::make_unique<TvlRegExprDateSeparator>();
        case lkTimeSeparator: return std::make_unique<TvlRegExprTimeSeparator>();
        default: return std::make_unique<TvlRegExprSymbol>(ALexem.Text[0]);
        }
    }

    // A count's number: beyond the bound (or beyond an integer) it is refused.
    bool ReadCountNumber(const TvlLexem* ALexem, int& AValue)
    {
        if (ALexem == nullptr || ALexem->LexemKind != lkInteger)
            return false;
        bool ok = false;
        AValue = ALexem->Text.toInt(&ok);
        return ok && AValue <= TvlRegExpr::MaxCount;
    }

    // After "{": n, "n," or "n,m" (m >= n), then "}"; m = -1 for no bound.
    bool ParseCount(int& AN, int& AM)
    {
        const TvlLexem* lx = nullptr;
        bool ok = NextLexem(lx) && ReadCountNumber(lx, AN);
        if (ok && NextLexem(lx)) {
            if (IsMeta(lx, u'}')) {
                AM = AN;
                return true;
            }
            if (IsMeta(lx, u',') && NextLexem(lx)) {
                if (IsMeta(lx, u'}')) {
                    AM = -1;
                    return true;
                }
                ok = ReadCountNumber(lx, AM) && AM >= AN && NextLexem(lx) && IsMeta(lx, u'}');
                if (ok)
                    return true;
            }
        }
        if (lx != nullptr)
            AddErrorAt(*lx, svlRegExprIncorrectParameterQuantifier);
        else
            AddError(0, 0, svlRegExprIncorrectParameterQuantifier);
        // the rest of these braces says nothing more
        while (!IsMeta(lx, u'}') && NextLexem(lx)) {
        }
        return false;
    }

    TParserItem* ApplyCount(TParserAlt& AAlt, TParserItem* ACurrent, int AN, int AM, const TvlLexem& ABrace)
    {
        if (ACurrent->AllowsAbsence()) {
            AddErrorAt(ABrace, svlRegExprCantUseParameterQuantifier);
            return ACurrent;
        }
        // An open count repeats a copy as "*" would: one that may be empty
        // would loop without consuming anything.
        if (AM < 0 && ACurrent->MayBeEmpty()) {
            AddErrorAt(ABrace, svlRegExprCantUseStarQuantifier);
            return ACurrent;
        }
        const TParserItem& x = *ACurrent;
        TItemPtr block = newBlockItem(Graph, TQuantifier::Simple);
        TParserAlt& alt = block->Alternatives.emplace_back();
        for (int i = 0; i < AN; ++i)
            alt.Items.push_back(duplicateItem(Graph, x));
        if (AM < 0) {
            TItemPtr star = duplicateItem(Graph, x);
            star->Multiplicity = TQuantifier::Star;
            alt.Items.push_back(star);
        } else if (AN < AM) {
            // the optional chain, built from its innermost link outwards
            TItemPtr chain = duplicateItem(Graph, x);
            chain->Multiplicity = TQuantifier::Question;
            for (int d = AM - 2; d >= AN; --d) {
                TItemPtr link = newBlockItem(Graph, TQuantifier::Question);
                TParserAlt& linkAlt = link->Alternatives.emplace_back();
                linkAlt.Items.push_back(duplicateItem(Graph, x));
                linkAlt.Items.push_back(chain);
                chain = link;
            }
            alt.Items.push_back(chain);
        }
        AAlt.Items.back() = block;
        return block.get();
    }
};

// ---- the expression -----------------------------------------------------------------------

TvlRegExpr::TvlRegExpr() = default;

TvlRegExpr::~TvlRegExpr() = default;

void TvlRegExpr::Discard()
{
    FSource.reset();
    FErrorList.Clear();
    FAutomaton.reset();
    FBuilt = false;
}

void TvlRegExpr::RaiseErrors()
{
    throw EvlRegExprError(&FErrorList);
}

void TvlRegExpr::BuildFromStream(TStream* AStream)
{
    if (FFirstBuild)
        FFirstBuild = false;
    else
        Discard();
    FSource = std::make_unique<TMemoryStream>();
    try {
        if (AStream == nullptr)
            throw EStreamError(String());
        const int64_t size = AStream->Size();
        AStream->SetPosition(0);
        QByteArray bytes(qsizetype(size), Qt::Uninitialized);
        AStream->ReadBuffer(bytes.data(), size);
        FSource->WriteBuffer(bytes.constData(), size);
    } catch (const Exception&) {
        FErrorList.Append(std::make_unique<TvlRegExprError>(0, 0, GetResourceString(svlRegExprNotAssignedSourceStream)));
        RaiseErrors();
    }
    QByteArray bytes(qsizetype(FSource->Size()), Qt::Uninitialized);
    FSource->SetPosition(0);
    FSource->ReadBuffer(bytes.data(), bytes.size());
    const String text = String::fromUtf8(bytes);
    if (std::all_of(text.begin(), text.end(), IsBlankChar)) {
        FErrorList.Append(std::make_unique<TvlRegExprError>(0, 0, GetResourceString(svlRegExprEmptySourceStream)));
        RaiseErrors();
    }
    TvlRegExprBuild build(text, FErrorList);
    build.ScanSource();
    if (FErrorList.Count() > 0)
        RaiseErrors();
    build.ParseExpression();
    if (FErrorList.Count() == 0) {
        try {
            if (!computeClosures(build.Graph))
                FErrorList.Append(std::make_unique<TvlRegExprError>(0, 0, GetResourceString(svlRegExprCantUseStarQuantifier)));
        } catch (const TTooBig&) {
            FErrorList.Append(std::make_unique<TvlRegExprError>(0, 0, GetResourceString(svlRegExprIncorrectParameterQuantifier)));
        }
    }
    if (FErrorList.Count() > 0)
        RaiseErrors();
    // The initial state leads to every alternative's beginning; the empty
    // text is complete when some alternative may be empty as a whole.
    TGraph& graph = build.Graph;
    const int initial = int(graph.States.size());
    graph.States.emplace_back();
    for (const TParserAlt& alt : build.Tree)
        forLeadingItems(alt, [&](const TParserItem& lead) { graph.States[size_t(initial)].Next.push_back(lead.Entry()); });
    graph.States[size_t(initial)].Accepting =
        std::any_of(build.Tree.begin(), build.Tree.end(), TParserItem::AllMayBeEmpty);
    FAutomaton = std::make_unique<TvlRegExprAutomat>(std::move(graph), std::move(build.Tree), initial, this);
    FBuilt = true;
    if (FAutoComplete)
        FAutomaton->InsertFixedChars();
}

TStream* TvlRegExpr::SourceStream() const
{
    return FBuilt ? FSource.get() : nullptr;
}

void TvlRegExpr::CheckBuilt() const
{
    if (!FBuilt)
        throw EvlEditError(GetResourceString(svlRegExprNotCompiled));
}

bool TvlRegExpr::StepForward(QChar& ACh)
{
    CheckBuilt();
    const bool accepted = FAutomaton->StepForward(ACh, IgnoreCase);
    if (accepted && !FAutomaton->AtFinal() && FAutoComplete)
        FAutomaton->InsertFixedChars();
    return accepted;
}

void TvlRegExpr::StepText(const String& AText, String& AAccepted)
{
    CheckBuilt();
    AAccepted.clear();
    for (const QChar c : AText) {
        QChar copy = c;
        if (FAutomaton->StepForward(copy, IgnoreCase))
            AAccepted += c;
    }
}

bool TvlRegExpr::StepBack()
{
    CheckBuilt();
    if (FAutoComplete)
        FAutomaton->RemoveFixedChars();
    return FAutomaton->StepBack();
}

void TvlRegExpr::Restart()
{
    CheckBuilt();
    FAutomaton->Restart();
}

bool TvlRegExpr::AtFinal() const
{
    CheckBuilt();
    return FAutomaton->AtFinal();
}

bool TvlRegExpr::AtStart() const
{
    CheckBuilt();
    return FAutomaton->AtStart();
}

void TvlRegExpr::SetAutoComplete(bool AValue)
{
    FAutoComplete = AValue;
    if (FBuilt && AValue)
        FAutomaton->InsertFixedChars();
}

int TvlRegExpr::StateCount() const
{
    return FAutomaton != nullptr ? FAutomaton->StateCount() : 0;
}

int TvlRegExpr::ReachedCount() const
{
    return FAutomaton != nullptr ? FAutomaton->ReachedCount() : 0;
}

void TvlRegExpr::DoAutoInsert(QChar ACh)
{
    if (OnAutoInsert)
        OnAutoInsert(ACh);
}

void TvlRegExpr::DoAutoRemove()
{
    if (OnAutoRemove)
        OnAutoRemove();
}
