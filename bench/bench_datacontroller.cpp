// Sorting and grouping 100,000 rows of the data controller: integers,
// texts (ordinal, case-insensitive and by the locale's collation) and a
// two-level grouping, with the time of each step. A measurement by hand.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <cstdio>
#include <memory>
#include <random>
#include <vector>

#include "ui/data/vlData.h"

namespace {

struct Owner : IvlDataControllerOwner {
    std::vector<std::unique_ptr<TObject>> items;
    int descriptions = 0;
    int GetDataItemCount() const override { return int(items.size()); }
    TObject* GetDataItem(int AIndex) const override { return items.at(size_t(AIndex)).get(); }
    TComponentState GetDataOwnerState() const override { return {}; }
    void UpdateDataControl(TvlUpdateControlInfo*) override { ++descriptions; }
};

template <class F>
void step(const char* name, F&& f)
{
    QElapsedTimer t;
    t.start();
    f();
    std::printf("%-44s %8.1f ms\n", name, double(t.nsecsElapsed()) / 1e6);
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int rows = argc > 1 ? std::atoi(argv[1]) : 100000;
    Owner owner;
    TvlDataController dc(&owner);
    const TvlValueTypeClass types[] = {TvlIntegerValueType::Instance(), TvlStringValueType::Instance(),
                                       TvlIntegerValueType::Instance()};
    for (TvlValueTypeClass type : types) {
        owner.items.push_back(std::make_unique<TObject>());
        dc.AddItem(owner.items.back().get())->SetValueTypeClass(type);
    }
    dc.UpdateItemIndexes();

    std::mt19937 random(12345);
    step("append and fill (one lock)", [&] {
        dc.BeginUpdate();
        for (int i = 0; i < rows; ++i) {
            const int r = dc.AppendRecord();
            dc.SetValue(r, 0, Variant(int(random() % 1000000)));
            dc.SetValue(r, 1, Variant(String::fromLatin1("Name %1").arg(random() % 1000)));
            dc.SetValue(r, 2, Variant(int(random() % 10)));
        }
        dc.EndUpdate();
    });
    step("sort by integer", [&] { dc.SetItemSortOrder(0, soAscending); });
    step("sort by integer, descending", [&] { dc.SetItemSortOrder(0, soDescending); });
    dc.ClearSorting(false);
    step("sort by text (ordinal)", [&] { dc.SetItemSortOrder(1, soAscending); });
    step("sort by text (case-insensitive)",
         [&] { dc.SetOptions(dc.Options() + TvlDataControllerOptions{dcoCaseInsensitive}); });
    step("sort by text (locale collation)", [&] { dc.SetOptions(dc.Options() + TvlDataControllerOptions{dcoAnsiSort}); });
    dc.SetOptions(dc.Options() - TvlDataControllerOptions{dcoAnsiSort, dcoCaseInsensitive});
    dc.ClearSorting(false);
    step("group by text (1,000 groups)", [&] { dc.Groups()->ChangeGroupIndex(1, 0); });
    step("group by a second item (10 each)", [&] { dc.Groups()->ChangeGroupIndex(2, 1); });
    step("expand all", [&] { dc.Groups()->FullExpand(); });
    step("focus the last row", [&] { dc.SetFocusedRowIndex(dc.GetRowCount() - 1); });
    step("collapse all", [&] { dc.Groups()->FullCollapse(); });
    step("refresh with the groups expanded", [&] {
        dc.Groups()->FullExpand();
        dc.Refresh();
    });
    step("ungroup", [&] { dc.Groups()->ClearGrouping(); });
    std::printf("rows %d, descriptions delivered %d\n", dc.GetRowCount(), owner.descriptions);
    return 0;
}
