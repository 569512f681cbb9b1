#include "platform/rtl/StringList.h"

#include <QStringDecoder>
#include <algorithm>
#include <utility>

#include "platform/rtl/Exception.h"
#include "platform/rtl/List.h"
#include "platform/rtl/ResString.h"
#include "platform/rtl/Stream.h"

namespace {

[[noreturn]] void stringListError(const TResStringRec& text, int data = 0)
{
    throw EStringListError(LoadResString(text), {data});
}

int sign(int value)
{
    return (value > 0) - (value < 0);
}

// Collation alone may call different strings equal (ignorable characters,
// canonically equivalent forms); the code-point order breaks such ties so
// that sorting and binary search see one consistent order.
int compareLocale(const String& S1, const String& S2, bool caseSensitive)
{
    if (caseSensitive) {
        const int result = String::localeAwareCompare(S1, S2);
        return sign(result != 0 ? result : S1.compare(S2));
    }
    const String folded1 = S1.toCaseFolded();
    const String folded2 = S2.toCaseFolded();
    const int result = String::localeAwareCompare(folded1, folded2);
    return sign(result != 0 ? result : folded1.compare(folded2));
}

String quotedString(const String& S, QChar quote)
{
    String result(quote);
    for (const QChar c : S) {
        result += c;
        if (c == quote)
            result += c;
    }
    result += quote;
    return result;
}

// From an opening quote at pos to its closing quote; doubled quotes stand
// for one. An unclosed string keeps the rest of the text.
String extractQuoted(const String& value, qsizetype& pos, QChar quote)
{
    String result;
    ++pos;
    while (pos < value.size()) {
        const QChar c = value[pos];
        if (c == quote) {
            if (pos + 1 < value.size() && value[pos + 1] == quote) {
                result += quote;
                pos += 2;
                continue;
            }
            ++pos;
            return result;
        }
        result += c;
        ++pos;
    }
    return result;
}

String decodeText(const QByteArray& bytes)
{
    const auto startsWith = [&](std::initializer_list<unsigned char> mark) {
        if (bytes.size() < static_cast<qsizetype>(mark.size()))
            return false;
        qsizetype i = 0;
        for (const unsigned char b : mark)
            if (static_cast<unsigned char>(bytes[i++]) != b)
                return false;
        return true;
    };
    if (startsWith({0xEF, 0xBB, 0xBF}))
        return String::fromUtf8(bytes.mid(3));
    if (startsWith({0xFF, 0xFE}))
        return QStringDecoder(QStringConverter::Utf16LE)(bytes.mid(2));
    if (startsWith({0xFE, 0xFF}))
        return QStringDecoder(QStringConverter::Utf16BE)(bytes.mid(2));
    return String::fromUtf8(bytes);
}

}  // namespace

// TStrings --------------------------------------------------------------

void TStrings::Put(int Index, const String& S)
{
    withUpdate([&] {
        TObject* object = GetObject(Index);
        Delete(Index);
        InsertObject(Index, S, object);
    });
}

void TStrings::PutObject(int, TObject*)
{
}

int TStrings::AddObject(const String& S, TObject* AObject)
{
    const int result = Count();
    InsertObject(result, S, AObject);
    return result;
}

void TStrings::InsertObject(int Index, const String& S, TObject* AObject)
{
    withUpdate([&] {
        Insert(Index, S);
        PutObject(Index, AObject);
    });
}

void TStrings::AddStrings(const TStrings* Strings)
{
    // A snapshot first: Strings may be this list.
    std::vector<std::pair<String, TObject*>> items;
    items.reserve(static_cast<size_t>(Strings->Count()));
    for (int i = 0; i < Strings->Count(); ++i)
        items.emplace_back(Strings->Get(i), Strings->GetObject(i));
    withUpdate([&] {
        for (const auto& [text, object] : items)
            AddObject(text, object);
    });
}

void TStrings::Exchange(int Index1, int Index2)
{
    withUpdate([&] {
        const String text = Get(Index1);
        TObject* object = GetObject(Index1);
        Put(Index1, Get(Index2));
        PutObject(Index1, GetObject(Index2));
        Put(Index2, text);
        PutObject(Index2, object);
    });
}

void TStrings::Move(int CurIndex, int NewIndex)
{
    if (CurIndex == NewIndex)
        return;
    withUpdate([&] {
        const String text = Get(CurIndex);
        TObject* object = GetObject(CurIndex);
        PutObject(CurIndex, nullptr);  // an owning list must not free it
        Delete(CurIndex);
        InsertObject(NewIndex, text, object);
    });
}

int TStrings::IndexOf(const String& S) const
{
    for (int i = 0; i < Count(); ++i)
        if (CompareStrings(Get(i), S) == 0)
            return i;
    return -1;
}

int TStrings::IndexOfName(const String& Name) const
{
    for (int i = 0; i < Count(); ++i) {
        const String line = Get(i);
        const qsizetype separator = line.indexOf(FNameValueSeparator);
        if (separator >= 0 && CompareStrings(line.left(separator), Name) == 0)
            return i;
    }
    return -1;
}

int TStrings::IndexOfObject(const TObject* AObject) const
{
    for (int i = 0; i < Count(); ++i)
        if (GetObject(i) == AObject)
            return i;
    return -1;
}

String TStrings::Names(int Index) const
{
    const String line = Get(Index);
    const qsizetype separator = line.indexOf(FNameValueSeparator);
    return separator >= 0 ? line.left(separator) : String();
}

String TStrings::Values(const String& Name) const
{
    const int index = IndexOfName(Name);
    return index >= 0 ? ValueFromIndex(index) : String();
}

void TStrings::SetValue(const String& Name, const String& Value)
{
    const int index = IndexOfName(Name);
    if (!Value.isEmpty()) {
        const String line = Name + FNameValueSeparator + Value;
        if (index < 0)
            Add(line);
        else
            Put(index, line);
    } else if (index >= 0) {
        Delete(index);
    }
}

String TStrings::ValueFromIndex(int Index) const
{
    if (Index < 0)
        return String();
    const String line = Get(Index);
    const qsizetype separator = line.indexOf(FNameValueSeparator);
    return separator >= 0 ? line.mid(separator + 1) : String();
}

String TStrings::Text() const
{
    String result;
    for (int i = 0; i < Count(); ++i) {
        result += Get(i);
        result += FLineBreak;
    }
    return result;
}

void TStrings::SetText(const String& Value)
{
    const bool anyBreak = FLineBreak.isEmpty() || FLineBreak == u"\n" || FLineBreak == u"\r\n" || FLineBreak == u"\r";
    withUpdate([&] {
        Clear();
        const qsizetype n = Value.size();
        qsizetype pos = 0;
        while (pos < n) {
            if (!anyBreak) {
                const qsizetype next = Value.indexOf(FLineBreak, pos);
                if (next < 0) {
                    Add(Value.mid(pos));
                    break;
                }
                Add(Value.mid(pos, next - pos));
                pos = next + FLineBreak.size();
                continue;
            }
            const qsizetype start = pos;
            while (pos < n && Value[pos] != u'\n' && Value[pos] != u'\r')
                ++pos;
            Add(Value.mid(start, pos - start));
            if (pos < n && Value[pos] == u'\r')
                ++pos;
            if (pos < n && Value[pos] == u'\n')
                ++pos;
        }
    });
}

String TStrings::delimitedText(QChar delimiter, QChar quote) const
{
    const int count = Count();
    if (count == 1 && Get(0).isEmpty())
        return String(2, quote);
    String result;
    for (int i = 0; i < count; ++i) {
        const String item = Get(i);
        const bool needsQuotes = std::any_of(item.begin(), item.end(), [&](QChar c) {
            return c == quote || c == delimiter || (!FStrictDelimiter && c.unicode() <= u' ');
        });
        if (i > 0)
            result += delimiter;
        result += needsQuotes ? quotedString(item, quote) : item;
    }
    return result;
}

void TStrings::setDelimitedText(const String& value, QChar delimiter, QChar quote)
{
    const qsizetype n = value.size();
    qsizetype pos = 0;
    const auto isBlank = [&](qsizetype i) { return !FStrictDelimiter && value[i].unicode() <= u' '; };
    const auto skipBlanks = [&] {
        while (pos < n && isBlank(pos))
            ++pos;
    };
    withUpdate([&] {
        Clear();
        skipBlanks();
        while (pos < n) {
            const qsizetype start = pos;
            if (value[pos] == quote) {
                Add(extractQuoted(value, pos, quote));
            } else {
                while (pos < n && !isBlank(pos) && value[pos] != delimiter)
                    ++pos;
                Add(value.mid(start, pos - start));
            }
            skipBlanks();
            if (pos < n && value[pos] == delimiter) {
                // Only a delimiter that ends the text stands for a last,
                // empty item; "a, " is one item.
                if (pos + 1 == n)
                    Add(String());
                ++pos;
                skipBlanks();
            }
            if (pos == start)
                ++pos;
        }
    });
}

String TStrings::DelimitedText() const
{
    return delimitedText(FDelimiter, FQuoteChar);
}

void TStrings::SetDelimitedText(const String& Value)
{
    setDelimitedText(Value, FDelimiter, FQuoteChar);
}

String TStrings::CommaText() const
{
    return delimitedText(u',', u'"');
}

void TStrings::SetCommaText(const String& Value)
{
    setDelimitedText(Value, u',', u'"');
}

bool TStrings::Equals(const TStrings* Strings) const
{
    if (Strings == nullptr || Strings->Count() != Count())
        return false;
    for (int i = 0; i < Count(); ++i)
        if (Get(i) != Strings->Get(i))
            return false;
    return true;
}

void TStrings::Assign(const TPersistent* Source)
{
    if (const auto* source = dynamic_cast<const TStrings*>(Source)) {
        if (source == this)
            return;
        withUpdate([&] {
            Clear();
            AddStrings(source);
        });
        return;
    }
    TPersistent::Assign(Source);
}

void TStrings::BeginUpdate()
{
    if (FUpdateCount == 0)
        SetUpdateState(true);
    ++FUpdateCount;
}

void TStrings::EndUpdate()
{
    if (FUpdateCount == 0)
        return;
    --FUpdateCount;
    if (FUpdateCount == 0)
        SetUpdateState(false);
}

int TStrings::CompareStrings(const String& S1, const String& S2) const
{
    return compareLocale(S1, S2, false);
}

void TStrings::LoadFromFile(const String& FileName)
{
    TFileStream stream(FileName, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(&stream);
}

void TStrings::SaveToFile(const String& FileName) const
{
    TFileStream stream(FileName, fmCreate);
    SaveToStream(&stream);
}

void TStrings::LoadFromStream(TStream* Stream)
{
    // Read to the end rather than trusting Size: not every stream knows it.
    QByteArray bytes;
    constexpr qsizetype chunk = 64 * 1024;
    for (;;) {
        const qsizetype done = bytes.size();
        bytes.resize(done + chunk);
        const int64_t n = Stream->Read(bytes.data() + done, chunk);
        bytes.resize(done + static_cast<qsizetype>(std::max<int64_t>(n, 0)));
        if (n <= 0)
            break;
    }
    SetText(decodeText(bytes));
}

void TStrings::SaveToStream(TStream* Stream) const
{
    const QByteArray bytes = Text().toUtf8();
    Stream->WriteBuffer(bytes.constData(), bytes.size());
}

// TStringList -----------------------------------------------------------

TStringList::~TStringList()
{
    OnChange = nullptr;
    OnChanging = nullptr;
    if (FOwnsObjects)
        for (const TStringItem& item : FList)
            freeObject(item.FObject);
}

void TStringList::checkIndex(int Index) const
{
    if (Index < 0 || Index >= Count())
        stringListError(RtlConsts::SListIndexError, Index);
}

void TStringList::freeObject(TObject* AObject) const
{
    delete AObject;  // the list was told it owns its objects
}

String TStringList::Get(int Index) const
{
    checkIndex(Index);
    return FList[static_cast<size_t>(Index)].FString;
}

TObject* TStringList::GetObject(int Index) const
{
    checkIndex(Index);
    return FList[static_cast<size_t>(Index)].FObject;
}

void TStringList::Put(int Index, const String& S)
{
    if (FSorted)
        stringListError(RtlConsts::SSortedListError);
    checkIndex(Index);
    Changing();
    FList[static_cast<size_t>(Index)].FString = S;
    Changed();
}

void TStringList::PutObject(int Index, TObject* AObject)
{
    checkIndex(Index);
    Changing();
    TObject* old = std::exchange(FList[static_cast<size_t>(Index)].FObject, AObject);
    if (FOwnsObjects && old != AObject)
        freeObject(old);
    Changed();
}

int TStringList::AddObject(const String& S, TObject* AObject)
{
    int index = Count();
    if (FSorted && Find(S, index)) {
        switch (FDuplicates) {
        case dupIgnore: return index;
        case dupError: stringListError(RtlConsts::SDuplicateString);
        case dupAccept: break;
        }
    }
    insertItem(index, S, AObject);
    return index;
}

void TStringList::Insert(int Index, const String& S)
{
    InsertObject(Index, S, nullptr);
}

void TStringList::InsertObject(int Index, const String& S, TObject* AObject)
{
    if (FSorted)
        stringListError(RtlConsts::SSortedListError);
    if (Index < 0 || Index > Count())
        stringListError(RtlConsts::SListIndexError, Index);
    insertItem(Index, S, AObject);
}

void TStringList::insertItem(int Index, const String& S, TObject* AObject)
{
    Changing();
    FList.insert(FList.begin() + Index, TStringItem{S, AObject});
    Changed();
}

void TStringList::Delete(int Index)
{
    checkIndex(Index);
    Changing();
    TObject* object = FList[static_cast<size_t>(Index)].FObject;
    FList.erase(FList.begin() + Index);
    if (FOwnsObjects)
        freeObject(object);
    Changed();
}

void TStringList::Clear()
{
    if (FList.empty())
        return;
    Changing();
    std::vector<TStringItem> items;
    items.swap(FList);
    if (FOwnsObjects)
        for (const TStringItem& item : items)
            freeObject(item.FObject);
    Changed();
}

void TStringList::Exchange(int Index1, int Index2)
{
    checkIndex(Index1);
    checkIndex(Index2);
    Changing();
    std::swap(FList[static_cast<size_t>(Index1)], FList[static_cast<size_t>(Index2)]);
    Changed();
}

void TStringList::Move(int CurIndex, int NewIndex)
{
    if (CurIndex == NewIndex)
        return;
    if (FSorted)
        stringListError(RtlConsts::SSortedListError);
    checkIndex(CurIndex);
    checkIndex(NewIndex);
    Changing();
    TStringItem item = std::move(FList[static_cast<size_t>(CurIndex)]);
    FList.erase(FList.begin() + CurIndex);
    FList.insert(FList.begin() + NewIndex, std::move(item));
    Changed();
}

int TStringList::IndexOf(const String& S) const
{
    if (!FSorted)
        return TStrings::IndexOf(S);
    int index = -1;
    return Find(S, index) ? index : -1;
}

void TStringList::SetValue(const String& Name, const String& Value)
{
    const int index = IndexOfName(Name);
    if (!FSorted || index < 0 || Value.isEmpty()) {
        TStrings::SetValue(Name, Value);
        return;
    }
    withUpdate([&] {
        TObject* object = std::exchange(FList[static_cast<size_t>(index)].FObject, nullptr);
        Delete(index);
        AddObject(Name + NameValueSeparator() + Value, object);
    });
}

bool TStringList::Find(const String& S, int& Index) const
{
    // The first position whose string is not before S.
    int low = 0;
    int high = Count();
    while (low < high) {
        const int middle = low + (high - low) / 2;
        if (CompareStrings(FList[static_cast<size_t>(middle)].FString, S) < 0)
            low = middle + 1;
        else
            high = middle;
    }
    Index = low;
    return low < Count() && CompareStrings(FList[static_cast<size_t>(low)].FString, S) == 0;
}

void TStringList::Sort()
{
    CustomSort([](TStringList* List, int Index1, int Index2) {
        return List->CompareStrings(List->FList[static_cast<size_t>(Index1)].FString,
                                    List->FList[static_cast<size_t>(Index2)].FString);
    });
}

void TStringList::CustomSort(const TStringListSortCompare& Compare)
{
    if (FSorted || Count() < 2)
        return;
    Changing();
    const size_t count = FList.size();
    const std::vector<int> order =
        StableSortOrder(Count(), [&](int a, int b) { return Compare(this, a, b) < 0; });
    // A compare function that changed the list leaves it as it made it.
    if (FList.size() == count) {
        std::vector<TStringItem> sorted;
        sorted.reserve(count);
        for (const int i : order)
            sorted.push_back(std::move(FList[static_cast<size_t>(i)]));
        FList.swap(sorted);
    }
    Changed();
}

void TStringList::SetSorted(bool value)
{
    if (value == FSorted)
        return;
    if (value)
        Sort();
    FSorted = value;
}

void TStringList::SetCaseSensitive(bool value)
{
    if (value == FCaseSensitive)
        return;
    FCaseSensitive = value;
    if (FSorted) {
        FSorted = false;
        Sort();
        FSorted = true;
    }
}

int TStringList::CompareStrings(const String& S1, const String& S2) const
{
    return compareLocale(S1, S2, FCaseSensitive);
}

void TStringList::SetUpdateState(bool Updating)
{
    if (Updating)
        Changing();
    else
        Changed();
}

void TStringList::Changing()
{
    if (UpdateCount() == 0 && OnChanging)
        OnChanging(this);
}

void TStringList::Changed()
{
    if (UpdateCount() == 0 && OnChange)
        OnChange(this);
}
