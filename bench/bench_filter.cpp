// Refiltering 100,000 rows of the data controller through its filter: a
// comparison, a LIKE pattern, a group of two conditions, an IN list, and
// the value list of a column, with the time of each step and the rows
// kept. A measurement by hand.
//
// Usage: vorlane_bench_filter [row count]
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
    int GetDataItemCount() const override { return int(items.size()); }
    TObject* GetDataItem(int AIndex) const override { return items.at(size_t(AIndex)).get(); }
    TComponentState GetDataOwnerState() const override { return {}; }
    void UpdateDataControl(TvlUpdateControlInfo*) override {}
};

template <class F>
void step(const char* name, TvlDataController& dc, F&& f)
{
    QElapsedTimer t;
    t.start();
    f();
    std::printf("%-40s %8.1f ms  %d rows\n", name, double(t.nsecsElapsed()) / 1e6, dc.GetRowCount());
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int rows = argc > 1 ? std::max(1, std::atoi(argv[1])) : 100000;
    Owner owner;
    TvlDataController dc(&owner);
    for (int i = 0; i < 2; ++i)
        owner.items.push_back(std::make_unique<TObject>());
    dc.AddItem(owner.items[0].get())->SetValueTypeClass(TvlIntegerValueType::Instance());
    dc.AddItem(owner.items[1].get())->SetValueTypeClass(TvlStringValueType::Instance());
    dc.UpdateItemIndexes();
    std::mt19937 random(12345);
    dc.BeginUpdate();
    for (int r = 0; r < rows; ++r) {
        const int record = dc.AppendRecord();
        dc.SetValue(record, 0, Variant(int(random() % 1000)));
        String text;
        for (int j = 0, n = 6 + int(random() % 10); j < n; ++j)
            text += QChar(u'a' + char16_t(random() % 6));
        dc.SetValue(record, 1, Variant(text));
    }
    dc.EndUpdate();

    TvlDataFilterCriteria* filter = dc.Filter();
    TObject* number = owner.items[0].get();
    TObject* text = owner.items[1].get();
    step("Active: number > 500", dc, [&] {
        filter->AddItem(nullptr, number, foGreater, Variant(500), String());
        filter->SetActive(true);
    });
    step("value 500 -> 900", dc, [&] {
        static_cast<TvlFilterCriteriaItem*>(filter->Root()->GetItem(0))->ChangeValue(Variant(900));
    });
    step("text LIKE '%abc%'", dc, [&] {
        filter->Clear();
        filter->AddItem(nullptr, text, foLike, Variant("%abc%"), String());
    });
    step("case-insensitive LIKE 'A%F'", dc, [&] {
        filter->BeginUpdate();
        filter->SetOptions(fcoCaseInsensitive);
        static_cast<TvlFilterCriteriaItem*>(filter->Root()->GetItem(0))->ChangeValue(Variant("A%F"));
        filter->EndUpdate();
    });
    step("(number < 100) OR (text LIKE 'b%')", dc, [&] {
        filter->BeginUpdate();
        filter->Clear();
        filter->SetOptions(0);
        filter->Root()->SetBoolOperator(fboOr);
        filter->AddItem(nullptr, number, foLess, Variant(100), String());
        filter->AddItem(nullptr, text, foLike, Variant("b%"), String());
        filter->EndUpdate();
    });
    step("number IN (1, 2, ..., 50)", dc, [&] {
        TVariantArray values;
        for (int i = 1; i <= 50; ++i)
            values.push_back(Variant(i));
        filter->BeginUpdate();
        filter->Clear();
        filter->AddItem(nullptr, number, foInList, VarArrayOf(values), String());
        filter->EndUpdate();
    });
    step("inactive", dc, [&] { filter->SetActive(false); });
    auto list = filter->CreateValueList();
    step("value list of the text column", dc, [&] { static_cast<TvlDataFilterValueList*>(list.get())->Load(1); });
    std::printf("%d entries in the value list\n", list->GetCount());
    return 0;
}
