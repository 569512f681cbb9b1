// List.h - TList, a growable list of untyped pointers that owns nothing,
// with the index checks and error texts of the original class library.
#pragma once
#include <functional>
#include <vector>

#include "platform/rtl/Component.h"

// Negative when Item1 sorts before Item2, zero when equal, positive after.
using TListSortCompare = std::function<int(void* Item1, void* Item2)>;

class TList : public TObject {
public:
    TList() = default;
    ~TList() override = default;

    String ClassName() const override { return String::fromLatin1("TList"); }

    int Add(void* Item);
    void Insert(int Index, void* Item);
    void Delete(int Index);
    // The index the item had, or -1 when it was not in the list.
    int Remove(void* Item);
    // Takes the first occurrence out; returns it, or nullptr when absent.
    void* Extract(void* Item);
    int IndexOf(void* Item) const;
    void Clear();

    int Count() const { return static_cast<int>(FList.size()); }
    // Growing appends nullptr entries.
    void SetCount(int NewCount);
    int Capacity() const { return static_cast<int>(FList.capacity()); }
    // Raises EListError when below Count.
    void SetCapacity(int NewCapacity);

    void* Items(int Index) const;
    void SetItems(int Index, void* Item);
    void Put(int Index, void* Item) { SetItems(Index, Item); }

    // Raise EListError on an empty list, as Items(0) / Items(Count - 1) do.
    void* First() const;
    void* Last() const;

    void Exchange(int Index1, int Index2);
    void Move(int CurIndex, int NewIndex);
    // Stable, and safe with a compare function that is not a consistent
    // order (the result is then some permutation, never a crash).
    void Sort(const TListSortCompare& Compare);
    // Removes every nullptr entry.
    void Pack();
    // Copies the pointers of Source (nullptr clears).
    void Assign(const TList* Source);

private:
    void checkIndex(int Index) const;

    std::vector<void*> FList;
};

// The permutation that stably sorts Count items, given "a before b" on
// their indexes: result[k] is the index of the item that goes to place k.
// Terminates and stays in bounds for any Less, consistent or not.
std::vector<int> StableSortOrder(int Count, const std::function<bool(int A, int B)>& Less);
