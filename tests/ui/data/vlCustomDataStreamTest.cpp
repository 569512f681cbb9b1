// Tests of the data controller stream: the exact bytes written, round trips,
// refused streams that change nothing, and loads that fail half-way leaving
// records, focus and selection as they were.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/rtl/Stream.h"
#include "tests/harness/Mutation.h"
#include "ui/data/vlData.h"

namespace {

struct Owner : IvlDataControllerOwner {
    std::vector<std::unique_ptr<TObject>> items;
    int GetDataItemCount() const override { return int(items.size()); }
    TObject* GetDataItem(int AIndex) const override { return items.at(size_t(AIndex)).get(); }
    TComponentState GetDataOwnerState() const override { return {}; }
    void UpdateDataControl(TvlUpdateControlInfo*) override {}
};

struct Column {
    TvlValueTypeClass type;
    bool texts = false;
};

// A controller over the given columns.
struct Table {
    Owner owner;
    std::unique_ptr<TvlDataController> dc;

    explicit Table(const std::vector<Column>& AColumns, bool AIds = false)
    {
        dc = std::make_unique<TvlDataController>(&owner);
        for (const Column& c : AColumns) {
            owner.items.push_back(std::make_unique<TObject>());
            TvlCustomDataField* field = dc->AddItem(owner.items.back().get());
            field->SetValueTypeClass(c.type);
            field->SetTextStored(c.texts);
        }
        dc->UpdateItemIndexes();
        dc->DataStorage()->SetWithRecordIds(AIds);
    }
    QByteArray save() const
    {
        TMemoryStream s;
        dc->SaveToStream(&s);
        QByteArray bytes(int(s.Size()), '\0');
        s.SetPosition(0);
        s.ReadBuffer(bytes.data(), bytes.size());
        return bytes;
    }
    void load(const QByteArray& ABytes) const
    {
        TMemoryStream s;
        s.WriteBuffer(ABytes.constData(), ABytes.size());
        s.SetPosition(0);
        dc->LoadFromStream(&s);
    }
    // Every value and text, record by record.
    std::vector<String> dump() const
    {
        std::vector<String> result;
        for (int r = 0; r < dc->GetRecordCount(); ++r)
            for (int i = 0; i < dc->GetItemCount(); ++i) {
                const Variant v = dc->GetValue(r, i);
                result.push_back(VarIsNull(v) ? String::fromLatin1("<null>") : VarToStr(v));
                result.push_back(dc->GetDisplayText(r, i));
            }
        return result;
    }
};

const std::vector<Column> threeColumns = {
    {TvlStringValueType::Instance(), true}, {TvlIntegerValueType::Instance()}, {TvlFloatValueType::Instance()}};

QByteArray int32Bytes(int32_t v) { return QByteArray(reinterpret_cast<const char*>(&v), 4); }
QByteArray ansi(const char* s) { return int32Bytes(int32_t(strlen(s))) + QByteArray(s); }
const QByteArray header = ansi("DataController1");

void fillThree(Table& t)
{
    TvlCustomDataController* dc = t.dc.get();
    const struct {
        const char* text;
        Variant number;
        double real;
    } rows[] = {{"first", Variant(1), 0.1}, {"", Null(), -2.5e300}, {"Ünïcode ✓", Variant(-7), 1.0 / 3}};
    for (const auto& row : rows) {
        const int r = dc->AppendRecord();
        dc->SetValue(r, 0, Variant(String::fromUtf8(row.text)));
        dc->SetDisplayText(r, 0, String::fromUtf8(row.text) + String::fromLatin1(" shown"));
        dc->SetValue(r, 1, row.number);
        dc->SetValue(r, 2, Variant(row.real));
    }
    dc->AppendRecord();  // never given a value
}

std::string errorOf(const std::function<void()>& f)
{
    try {
        f();
    } catch (const EvlInvalidDataControllerOperation& e) {
        return e.Message().toStdString();
    } catch (const EReadError&) {
        return "read error";
    }
    return "";
}

TEST(vlCustomDataStream, Goldens)
{
    Table empty({});
    EXPECT_EQ(empty.save(), header + int32Bytes(0) + int32Bytes(0));
    EXPECT_EQ(empty.save().size(), 27);

    Table one({{TvlStringValueType::Instance()}});
    one.dc->AppendRecord();
    EXPECT_EQ(one.save(), header + int32Bytes(1) + ansi("TvlStringValueType") + int32Bytes(1) + QByteArray("VXUFMT\x01"));

    // Columns in item order whatever the storage's order; the detail
    // objects' internal field is never written.
    Table two({{TvlIntegerValueType::Instance()}, {TvlSmallintValueType::Instance()}});
    TObject level;
    two.dc->GetRelations()->Add(&level);
    std::swap(two.owner.items[0], two.owner.items[1]);
    two.dc->UpdateItemIndexes();
    const int r = two.dc->AppendRecord();
    two.dc->SetValue(r, 0, Variant(short(-2)));
    EXPECT_EQ(two.save(), header + int32Bytes(2) + ansi("TvlSmallintValueType") + ansi("TvlIntegerValueType") +
                              int32Bytes(1) + QByteArray("VXUFMT\x00\x00\xFE\xFF\x01", 11));
}

TEST(vlCustomDataStream, RoundTripsExactlyWithAndWithoutIds)
{
    for (bool ids : {false, true}) {
        SCOPED_TRACE(ids);
        Table source(threeColumns, ids);
        fillThree(source);
        const QByteArray bytes = source.save();
        Table target(threeColumns, ids);
        target.load(bytes);
        EXPECT_EQ(target.dump(), source.dump());
        EXPECT_EQ(target.save(), bytes);
        EXPECT_EQ(target.dc->GetValue(2, 0).VType(), varUString);
        EXPECT_EQ(target.dc->GetValue(2, 2).AsDouble(), 1.0 / 3);
        if (ids) {
            EXPECT_EQ(VarToStr(target.dc->GetRecordId(2)), String::fromLatin1("3"));
            EXPECT_EQ(target.dc->DataStorage()->NextRecordId(), 5);
        }
    }
}

TEST(vlCustomDataStream, RefusedStreamsChangeNothing)
{
    Table source(threeColumns);
    fillThree(source);
    const QByteArray good = source.save();
    const QByteArray names = ansi("TvlStringValueType") + ansi("TvlIntegerValueType") + ansi("TvlFloatValueType");
    const QByteArray records = good.mid(header.size() + 4 + names.size());

    const struct {
        const char* name;
        QByteArray bytes;
        std::string error;
    } rows[] = {
        {"signature", ansi("DataController2") + good.mid(header.size()), "Invalid stream format"},
        {"column count", header + int32Bytes(2) + good.mid(header.size() + 4), "Invalid stream format"},
        {"swapped types",
         header + int32Bytes(3) + ansi("TvlIntegerValueType") + ansi("TvlStringValueType") +
             ansi("TvlFloatValueType") + records,
         "Invalid stream format"},
        {"class name case", header + int32Bytes(3) + ansi("TvlStringValueType") + ansi("tvlIntegerValueType") +
                                ansi("TvlFloatValueType") + records,
         "Invalid stream format"},
        {"huge record count", header + int32Bytes(3) + names + int32Bytes(0x7FFFFFFF) + records, "read error"},
        {"negative record count", header + int32Bytes(3) + names + int32Bytes(-1), "read error"},
        {"empty flag 2", header + int32Bytes(3) + names + int32Bytes(1) + QByteArray("VXUFMT\x02"), "read error"},
        {"huge text length",
         header + int32Bytes(3) + names + int32Bytes(1) + QByteArray("VXUFMT\x00\x00", 8) + int32Bytes(0x7FFFFFFF),
         "read error"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        Table target(threeColumns);
        for (int i = 0; i < 10; ++i)
            target.dc->SetValue(target.dc->AppendRecord(), 1, Variant(i));
        target.dc->SetFocusedRecordIndex(6);
        target.dc->ChangeRowSelection(6, true);
        ASSERT_EQ(target.dc->GetSelectedCount(), 1);
        const std::vector<String> before = target.dump();
        EXPECT_EQ(errorOf([&] { target.load(row.bytes); }), row.error);
        EXPECT_EQ(target.dump(), before);
        EXPECT_EQ(target.dc->GetFocusedRecordIndex(), 6);
        EXPECT_EQ(target.dc->GetSelectedCount(), 1);
    }

    // Other items of the same types, in the same order, take it.
    Table other(threeColumns);
    other.load(good);
    EXPECT_EQ(other.dump(), source.dump());
}

TEST(vlCustomDataStream, LoadsReplaceEveryRecordOrNone)
{
    Table source(threeColumns);
    fillThree(source);
    source.dc->DeleteRecord(3);
    const QByteArray good = source.save();

    Table target(threeColumns);
    for (int i = 0; i < 10; ++i)
        target.dc->SetValue(target.dc->AppendRecord(), 1, Variant(i));
    target.dc->SetMultiSelect(true);
    target.dc->SetFocusedRecordIndex(8);
    target.dc->ChangeRowSelection(8, true);
    target.dc->ChangeRowSelection(9, true);
    ASSERT_EQ(target.dc->GetSelectedCount(), 2);
    const std::vector<String> before = target.dump();
    vorlane::test::ForEachTruncation(good, [&](const QByteArray& cut) {
        EXPECT_EQ(errorOf([&] { target.load(cut); }), "read error") << cut.size();
        EXPECT_EQ(target.dump(), before) << cut.size();
        EXPECT_EQ(target.dc->GetFocusedRecordIndex(), 8);
        EXPECT_EQ(target.dc->GetSelectedCount(), 2);
    });

    target.load(good);
    EXPECT_EQ(target.dc->GetRecordCount(), 3);
    EXPECT_EQ(target.dump(), source.dump());
    EXPECT_EQ(target.dc->GetSelectedCount(), 0);
    EXPECT_EQ(target.dc->GetRowCount(), 3);

    // A stream of older 8-bit records, without signatures, still reads.
    Table legacy({{TvlStringValueType::Instance()}});
    legacy.load(header + int32Bytes(1) + ansi("TvlStringValueType") + int32Bytes(2) + QByteArray("\x00\x00", 2) +
                 ansi("abc") + QByteArray("VXAFMT\x01"));
    EXPECT_EQ(legacy.dump(),
              (std::vector<String>{String::fromLatin1("abc"), String::fromLatin1("abc"), String::fromLatin1("<null>"),
                                   String()}));
}

TEST(vlCustomDataStream, WriterNeverReadsItsTarget)
{
    Table t(threeColumns);
    fillThree(t);
    const QByteArray expected = t.save();
    for (int64_t at : {0, 3}) {
        TMemoryStream s;
        const QByteArray stale = QByteArray("VXUFMT") + QByteArray(200, 'x');
        s.WriteBuffer(stale.constData(), stale.size());
        s.SetPosition(at);
        t.dc->SaveToStream(&s);
        EXPECT_EQ(s.Position(), at + expected.size());
        QByteArray written(int(expected.size()), '\0');
        s.SetPosition(at);
        s.ReadBuffer(written.data(), written.size());
        EXPECT_EQ(written, expected);
        QByteArray front(int(at), '\0');
        s.SetPosition(0);
        s.ReadBuffer(front.data(), front.size());
        EXPECT_EQ(front, stale.left(int(at)));
    }
}

// A source of two records, for provider mode.
class TwoRecords : public TvlUserDataSource {
public:
    void LoadRecordHandles() override
    {
        CurrentProvider->AddRecordHandle(10);
        CurrentProvider->AddRecordHandle(11);
    }
};

TEST(vlCustomDataStream, ProviderMode)
{
    TwoRecords source;
    Table t(threeColumns);
    t.dc->SetCustomDataSource(&source);
    ASSERT_TRUE(t.dc->IsProviderMode());
    ASSERT_EQ(t.dc->GetRecordCount(), 2);
    const QByteArray bytes = t.save();
    EXPECT_EQ(bytes, header + int32Bytes(0) + int32Bytes(2) + QByteArray("VXUFMT\x00VXUFMT\x00", 14));
    EXPECT_EQ(errorOf([&] { t.load(bytes); }), "This operation is not supported in provider mode");
    EXPECT_EQ(t.dc->GetRecordCount(), 2);
    t.dc->SetCustomDataSource(nullptr);
}

TEST(vlCustomDataStream, FixedSeedMutationsNeverCrash)
{
    Table source(threeColumns);
    fillThree(source);
    const QByteArray golden = source.save();
    int accepted = 0;
    vorlane::test::ForEachMutation({golden}, 29, 3000, [&](const QByteArray& mutant) {
        Table target(threeColumns);
        target.dc->AppendRecord();
        const std::string error = errorOf([&] { target.load(mutant); });
        if (error.empty()) {
            ++accepted;
            (void)target.dump();
            (void)target.save();
        } else {
            EXPECT_EQ(target.dc->GetRecordCount(), 1);
        }
    });
    EXPECT_GT(accepted, 0);
}

}  // namespace
