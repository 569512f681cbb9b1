#include "platform/rtl/List.h"

#include <algorithm>

#include "platform/rtl/Exception.h"
#include "platform/rtl/ResString.h"

namespace {
VORLANE_RESOURCESTRING(SListCapacityError, "List capacity out of bounds (%d)");

[[noreturn]] void listError(const TResStringRec& text, int data)
{
    throw EListError(LoadResString(text), {data});
}
}  // namespace

std::vector<int> StableSortOrder(int Count, const std::function<bool(int A, int B)>& Less)
{
    // A bottom-up merge sort: every loop is bounded by the run lengths, so
    // an inconsistent Less cannot walk out of the array as the standard
    // sorts are allowed to.
    std::vector<int> order(static_cast<size_t>(std::max(Count, 0)));
    for (int i = 0; i < Count; ++i)
        order[static_cast<size_t>(i)] = i;
    std::vector<int> buffer(order.size());
    const size_t n = order.size();
    for (size_t width = 1; width < n; width *= 2) {
        for (size_t lo = 0; lo < n; lo += 2 * width) {
            const size_t mid = std::min(lo + width, n);
            const size_t hi = std::min(lo + 2 * width, n);
            size_t a = lo, b = mid, out = lo;
            while (a < mid && b < hi)
                buffer[out++] = Less(order[b], order[a]) ? order[b++] : order[a++];
            while (a < mid)
                buffer[out++] = order[a++];
            while (b < hi)
                buffer[out++] = order[b++];
        }
        order.swap(buffer);
    }
    return order;
}

void TList::checkIndex(int Index) const
{
    if (Index < 0 || Index >= Count())
        listError(RtlConsts::SListIndexError, Index);
}

int TList::Add(void* Item)
{
    FList.push_back(Item);
    return Count() - 1;
}

void TList::Insert(int Index, void* Item)
{
    if (Index < 0 || Index > Count())
        listError(RtlConsts::SListIndexError, Index);
    FList.insert(FList.begin() + Index, Item);
}

void TList::Delete(int Index)
{
    checkIndex(Index);
    FList.erase(FList.begin() + Index);
}

int TList::Remove(void* Item)
{
    const int index = IndexOf(Item);
    if (index >= 0)
        Delete(index);
    return index;
}

void* TList::Extract(void* Item)
{
    const int index = IndexOf(Item);
    if (index < 0)
        return nullptr;
    void* result = FList[static_cast<size_t>(index)];
    Delete(index);
    return result;
}

int TList::IndexOf(void* Item) const
{
    const auto it = std::find(FList.begin(), FList.end(), Item);
    return it == FList.end() ? -1 : static_cast<int>(it - FList.begin());
}

void TList::Clear()
{
    std::vector<void*>().swap(FList);
}

void TList::SetCount(int NewCount)
{
    if (NewCount < 0)
        listError(RtlConsts::SListCountError, NewCount);
    FList.resize(static_cast<size_t>(NewCount), nullptr);
}

void TList::SetCapacity(int NewCapacity)
{
    if (NewCapacity < Count())
        listError(SListCapacityError, NewCapacity);
    if (static_cast<size_t>(NewCapacity) > FList.capacity()) {
        FList.reserve(static_cast<size_t>(NewCapacity));
    } else if (static_cast<size_t>(NewCapacity) < FList.capacity()) {
        std::vector<void*> smaller;
        smaller.reserve(static_cast<size_t>(NewCapacity));
        smaller.assign(FList.begin(), FList.end());
        FList.swap(smaller);
    }
}

void* TList::Items(int Index) const
{
    checkIndex(Index);
    return FList[static_cast<size_t>(Index)];
}

void TList::SetItems(int Index, void* Item)
{
    checkIndex(Index);
    FList[static_cast<size_t>(Index)] = Item;
}

void* TList::First() const
{
    return Items(0);
}

void* TList::Last() const
{
    return Items(Count() - 1);
}

void TList::Exchange(int Index1, int Index2)
{
    checkIndex(Index1);
    checkIndex(Index2);
    std::swap(FList[static_cast<size_t>(Index1)], FList[static_cast<size_t>(Index2)]);
}

void TList::Move(int CurIndex, int NewIndex)
{
    if (CurIndex == NewIndex)
        return;
    checkIndex(CurIndex);
    checkIndex(NewIndex);
    void* item = FList[static_cast<size_t>(CurIndex)];
    FList.erase(FList.begin() + CurIndex);
    FList.insert(FList.begin() + NewIndex, item);
}

void TList::Sort(const TListSortCompare& Compare)
{
    if (Count() < 2)
        return;
    const std::vector<int> order =
        StableSortOrder(Count(), [&](int a, int b) { return Compare(FList[size_t(a)], FList[size_t(b)]) < 0; });
    std::vector<void*> sorted;
    sorted.reserve(FList.capacity());
    for (const int i : order)
        sorted.push_back(FList[static_cast<size_t>(i)]);
    FList.swap(sorted);
}

void TList::Pack()
{
    std::erase(FList, nullptr);
}

void TList::Assign(const TList* Source)
{
    if (Source == this)
        return;
    if (Source == nullptr)
        Clear();
    else
        FList = Source->FList;
}
