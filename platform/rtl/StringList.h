// StringList.h - TStrings, the abstract list of lines with name=value,
// delimited-text and file helpers, and TStringList, its sortable store.
#pragma once
#include <functional>
#include <vector>

#include "platform/rtl/Component.h"
#include "platform/rtl/Delegate.h"

class TStream;

class TStrings : public TPersistent {
public:
    String ClassName() const override { return String::fromLatin1("TStrings"); }

    int Count() const { return GetCount(); }
    String Strings(int Index) const { return Get(Index); }
    virtual void Put(int Index, const String& S);
    TObject* Objects(int Index) const { return GetObject(Index); }
    virtual void PutObject(int Index, TObject* AObject);

    int Add(const String& S) { return AddObject(S, nullptr); }
    // The index the string went to (a sorted list chooses it).
    virtual int AddObject(const String& S, TObject* AObject);
    void Append(const String& S) { Add(S); }
    virtual void Insert(int Index, const String& S) = 0;
    virtual void InsertObject(int Index, const String& S, TObject* AObject);
    virtual void Delete(int Index) = 0;
    virtual void Clear() = 0;
    void AddStrings(const TStrings* Strings);
    virtual void Exchange(int Index1, int Index2);
    virtual void Move(int CurIndex, int NewIndex);

    // IndexOf and IndexOfName compare as CompareStrings does (without regard
    // to case unless the list says otherwise).
    virtual int IndexOf(const String& S) const;
    int IndexOfName(const String& Name) const;
    int IndexOfObject(const TObject* AObject) const;

    // "name=value" lines. A line without the separator has an empty name.
    String Names(int Index) const;
    String Values(const String& Name) const;
    // An empty value deletes the line; a new name is appended.
    virtual void SetValue(const String& Name, const String& Value);
    String ValueFromIndex(int Index) const;
    QChar NameValueSeparator() const { return FNameValueSeparator; }
    void SetNameValueSeparator(QChar value) { FNameValueSeparator = value; }

    // Every line followed by LineBreak, the last one too. LineBreak is "\n"
    // here (the original platform used CR LF).
    String Text() const;
    // Splits at CR LF, LF or CR (or at LineBreak when that is something else).
    void SetText(const String& Value);
    const String& LineBreak() const { return FLineBreak; }
    void SetLineBreak(const String& value) { FLineBreak = value; }

    // Items joined by Delimiter; an item holding the delimiter, the quote
    // character or (unless StrictDelimiter) a blank or control character is
    // quoted, with its quotes doubled. Parsing treats blanks as separators
    // unless StrictDelimiter.
    String DelimitedText() const;
    void SetDelimitedText(const String& Value);
    // DelimitedText with ',' and '"' whatever Delimiter and QuoteChar are.
    String CommaText() const;
    void SetCommaText(const String& Value);
    QChar Delimiter() const { return FDelimiter; }
    void SetDelimiter(QChar value) { FDelimiter = value; }
    QChar QuoteChar() const { return FQuoteChar; }
    void SetQuoteChar(QChar value) { FQuoteChar = value; }
    bool StrictDelimiter() const { return FStrictDelimiter; }
    void SetStrictDelimiter(bool value) { FStrictDelimiter = value; }

    // Same count and the same strings, case included; objects are ignored.
    bool Equals(const TStrings* Strings) const;
    // From another TStrings: its strings and objects replace ours.
    void Assign(const TPersistent* Source) override;

    // Nested; the list reports one change when the outermost update ends.
    void BeginUpdate();
    void EndUpdate();

    // UTF-8 without a byte-order mark is written. Reading accepts UTF-8
    // with or without the mark and UTF-16 (either order) with the mark,
    // and reads the stream from its position to its end.
    void LoadFromFile(const String& FileName);
    void SaveToFile(const String& FileName) const;
    void LoadFromStream(TStream* Stream);
    void SaveToStream(TStream* Stream) const;

protected:
    virtual String Get(int Index) const = 0;
    virtual int GetCount() const = 0;
    virtual TObject* GetObject(int) const { return nullptr; }
    // Called when the first BeginUpdate starts (true) and the last EndUpdate
    // ends (false).
    virtual void SetUpdateState(bool) {}
    // Locale-aware and, here, without regard to case.
    virtual int CompareStrings(const String& S1, const String& S2) const;
    int UpdateCount() const { return FUpdateCount; }

    // Runs code between BeginUpdate and EndUpdate, ending the update even
    // when the code throws.
    template <class F>
    void withUpdate(F&& code)
    {
        BeginUpdate();
        try {
            std::forward<F>(code)();
        } catch (...) {
            EndUpdate();
            throw;
        }
        EndUpdate();
    }

private:
    String delimitedText(QChar delimiter, QChar quote) const;
    void setDelimitedText(const String& value, QChar delimiter, QChar quote);

    int FUpdateCount = 0;
    QChar FNameValueSeparator = u'=';
    QChar FDelimiter = u',';
    QChar FQuoteChar = u'"';
    bool FStrictDelimiter = false;
    String FLineBreak = String::fromLatin1("\n");
};

enum TDuplicates { dupIgnore, dupAccept, dupError };

class TStringList;
// Negative when the item at Index1 sorts before the one at Index2.
using TStringListSortCompare = std::function<int(TStringList* List, int Index1, int Index2)>;

class TStringList : public TStrings {
public:
    TStringList() = default;
    explicit TStringList(bool OwnsObjects) : FOwnsObjects(OwnsObjects) {}
    // Frees the objects when it owns them; no events fire.
    ~TStringList() override;

    String ClassName() const override { return String::fromLatin1("TStringList"); }

    // Raises EStringListError on a sorted list.
    void Put(int Index, const String& S) override;
    // An owning list frees the object it replaces.
    void PutObject(int Index, TObject* AObject) override;
    // On a sorted list: the string goes to its place; an equal string is
    // ignored (dupIgnore, returning its index), added (dupAccept) or refused
    // with EStringListError (dupError). Unsorted lists accept duplicates.
    int AddObject(const String& S, TObject* AObject) override;
    // Raise EStringListError on a sorted list.
    void Insert(int Index, const String& S) override;
    void InsertObject(int Index, const String& S, TObject* AObject) override;
    void Delete(int Index) override;
    void Clear() override;
    void Exchange(int Index1, int Index2) override;
    // Checks both indexes and the sorted state before anything moves.
    void Move(int CurIndex, int NewIndex) override;
    int IndexOf(const String& S) const override;
    // On a sorted list a changed line moves to its place (and keeps its object).
    void SetValue(const String& Name, const String& Value) override;

    // Binary search; Index is where S is or would go. Meaningful on a sorted list.
    bool Find(const String& S, int& Index) const;
    // Both do nothing on a sorted list, which is in order already. The sort is stable.
    void Sort();
    void CustomSort(const TStringListSortCompare& Compare);

    bool Sorted() const { return FSorted; }
    void SetSorted(bool value);
    TDuplicates Duplicates() const { return FDuplicates; }
    void SetDuplicates(TDuplicates value) { FDuplicates = value; }
    bool CaseSensitive() const { return FCaseSensitive; }
    // A sorted list sorts itself again under the new rule.
    void SetCaseSensitive(bool value);
    bool OwnsObjects() const { return FOwnsObjects; }
    void SetOwnsObjects(bool value) { FOwnsObjects = value; }

    TNotifyEvent OnChange;
    TNotifyEvent OnChanging;

protected:
    String Get(int Index) const override;
    int GetCount() const override { return static_cast<int>(FList.size()); }
    TObject* GetObject(int Index) const override;
    void SetUpdateState(bool Updating) override;
    // Locale-aware; the case rule is CaseSensitive.
    int CompareStrings(const String& S1, const String& S2) const override;
    virtual void Changing();
    virtual void Changed();

private:
    struct TStringItem {
        String FString;
        TObject* FObject = nullptr;  // owned only when FOwnsObjects
    };

    void checkIndex(int Index) const;
    void insertItem(int Index, const String& S, TObject* AObject);
    void freeObject(TObject* AObject) const;

    std::vector<TStringItem> FList;
    bool FSorted = false;
    TDuplicates FDuplicates = dupIgnore;
    bool FCaseSensitive = false;
    bool FOwnsObjects = false;
};
