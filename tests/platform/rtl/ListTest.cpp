#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "platform/rtl/Exception.h"
#include "platform/rtl/List.h"

namespace {

// A list of pointers into a fixed array, so items can be told apart by value.
class ListFixture : public ::testing::Test {
protected:
    int values[8] = {0, 1, 2, 3, 4, 5, 6, 7};
    void* p(int i) { return &values[i]; }

    // The values the list points at, nullptr as -1.
    std::vector<int> contents(const TList& list)
    {
        std::vector<int> result;
        for (int i = 0; i < list.Count(); ++i)
            result.push_back(list.Items(i) ? *static_cast<int*>(list.Items(i)) : -1);
        return result;
    }

    TList list;
};

TEST_F(ListFixture, AddInsertRemoveExtractAndIndexes)
{
    EXPECT_EQ(list.Add(p(1)), 0);
    EXPECT_EQ(list.Add(p(3)), 1);
    list.Insert(1, p(2));
    list.Insert(0, p(0));
    list.Insert(4, p(4));  // Insert at Count appends
    EXPECT_EQ(contents(list), (std::vector<int>{0, 1, 2, 3, 4}));
    EXPECT_EQ(list.IndexOf(p(3)), 3);
    EXPECT_EQ(list.IndexOf(p(7)), -1);

    EXPECT_EQ(list.Remove(p(2)), 2);
    EXPECT_EQ(list.Remove(p(2)), -1);
    EXPECT_EQ(list.Extract(p(0)), p(0));
    EXPECT_EQ(list.Extract(p(7)), nullptr);
    EXPECT_EQ(contents(list), (std::vector<int>{1, 3, 4}));
    EXPECT_EQ(list.First(), p(1));
    EXPECT_EQ(list.Last(), p(4));

    list.Exchange(0, 2);
    EXPECT_EQ(contents(list), (std::vector<int>{4, 3, 1}));
    list.Move(0, 2);
    EXPECT_EQ(contents(list), (std::vector<int>{3, 1, 4}));
    list.Move(2, 0);
    EXPECT_EQ(contents(list), (std::vector<int>{4, 3, 1}));
    list.Put(1, p(6));
    EXPECT_EQ(contents(list), (std::vector<int>{4, 6, 1}));
}

TEST_F(ListFixture, RemoveTakesOnlyTheFirstOccurrence)
{
    for (int i : {5, 6, 5})
        list.Add(p(i));
    EXPECT_EQ(list.Remove(p(5)), 0);
    EXPECT_EQ(contents(list), (std::vector<int>{6, 5}));
}

TEST_F(ListFixture, BadIndexesRaiseWithTheOriginalTexts)
{
    list.Add(p(0));
    list.Add(p(1));
    const struct {
        const char* what;
        std::function<void()> call;
        const char* message;
    } cases[] = {
        {"Items(-1)", [&] { list.Items(-1); }, "List index out of bounds (-1)"},
        {"Items(Count)", [&] { list.Items(2); }, "List index out of bounds (2)"},
        {"SetItems", [&] { list.SetItems(5, nullptr); }, "List index out of bounds (5)"},
        {"Insert past Count", [&] { list.Insert(3, nullptr); }, "List index out of bounds (3)"},
        {"Delete", [&] { list.Delete(2); }, "List index out of bounds (2)"},
        {"Exchange", [&] { list.Exchange(0, 9); }, "List index out of bounds (9)"},
        {"Move to Count", [&] { list.Move(0, 2); }, "List index out of bounds (2)"},
        {"Move from -1", [&] { list.Move(-1, 0); }, "List index out of bounds (-1)"},
        {"SetCount(-1)", [&] { list.SetCount(-1); }, "List count out of bounds (-1)"},
        {"SetCapacity below Count", [&] { list.SetCapacity(1); }, "List capacity out of bounds (1)"},
    };
    for (const auto& c : cases) {
        try {
            c.call();
            ADD_FAILURE() << c.what << " did not raise";
        } catch (const EListError& e) {
            EXPECT_EQ(e.Message().toStdString(), c.message) << c.what;
        }
    }
    EXPECT_EQ(contents(list), (std::vector<int>{0, 1})) << "a refused call must change nothing";
}

TEST_F(ListFixture, FirstAndLastOfAnEmptyListRaise)
{
    EXPECT_THROW(list.First(), EListError);
    try {
        list.Last();
        FAIL();
    } catch (const EListError& e) {
        EXPECT_EQ(e.Message().toStdString(), "List index out of bounds (-1)");
    }
}

TEST_F(ListFixture, CountAndCapacity)
{
    list.Add(p(1));
    list.SetCount(3);
    EXPECT_EQ(contents(list), (std::vector<int>{1, -1, -1}));
    list.SetCapacity(50);
    EXPECT_GE(list.Capacity(), 50);
    list.SetCapacity(3);
    EXPECT_EQ(list.Capacity(), 3);
    EXPECT_EQ(contents(list), (std::vector<int>{1, -1, -1}));
    list.SetCount(1);
    EXPECT_EQ(contents(list), (std::vector<int>{1}));
    list.Clear();
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(list.Capacity(), 0);
}

TEST_F(ListFixture, PackDropsOnlyNullEntries)
{
    for (void* item : std::vector<void*>{nullptr, p(1), nullptr, nullptr, p(2), nullptr})
        list.Add(item);
    list.Pack();
    EXPECT_EQ(contents(list), (std::vector<int>{1, 2}));
}

int compareByValue(void* a, void* b)
{
    return *static_cast<int*>(a) - *static_cast<int*>(b);
}

TEST_F(ListFixture, SortWithFunctionOrLambdaIsStable)
{
    for (int i : {5, 1, 4, 2, 3})
        list.Add(p(i));
    list.Sort(compareByValue);
    EXPECT_EQ(contents(list), (std::vector<int>{1, 2, 3, 4, 5}));

    // Equal keys (value / 2) keep their order.
    list.Clear();
    for (int i : {3, 2, 5, 4, 1, 0})
        list.Add(p(i));
    list.Sort([](void* a, void* b) { return *static_cast<int*>(a) / 2 - *static_cast<int*>(b) / 2; });
    EXPECT_EQ(contents(list), (std::vector<int>{1, 0, 3, 2, 5, 4}));
}

TEST_F(ListFixture, SortSurvivesAnInconsistentCompare)
{
    std::vector<int> many(300);
    for (int i = 0; i < 300; ++i) {
        many[size_t(i)] = i % 8;
        list.Add(&many[size_t(i)]);
    }
    std::mt19937 random(42);
    list.Sort([&](void*, void*) { return int(random() % 3) - 1; });
    ASSERT_EQ(list.Count(), 300);
    std::vector<void*> seen;
    for (int i = 0; i < list.Count(); ++i)
        seen.push_back(list.Items(i));
    std::sort(seen.begin(), seen.end());
    EXPECT_EQ(std::adjacent_find(seen.begin(), seen.end()), seen.end()) << "every item exactly once";
}

TEST_F(ListFixture, AssignCopiesPointersAndNullClears)
{
    TList other;
    other.Add(p(7));
    other.Add(nullptr);
    list.Add(p(1));
    list.Assign(&other);
    EXPECT_EQ(contents(list), (std::vector<int>{7, -1}));
    list.Assign(&list);
    EXPECT_EQ(list.Count(), 2);
    list.Assign(nullptr);
    EXPECT_EQ(list.Count(), 0);
}

}  // namespace
