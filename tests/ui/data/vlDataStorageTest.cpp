// Tests of the value types (captions, conversions, comparisons, stream
// encodings) and the record storage (ids, scratch records, definitions,
// texts, mode switches).
#include "ui/data/vlDataStorage.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

#include "platform/rtl/Stream.h"
#include "platform/rtl/SysUtils.h"
#include "tests/harness/Mutation.h"

namespace {

class vlDataStorageTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        vlDataStorageInitialization();
        saved = FormatSettings;
        FormatSettings = DefaultFormatSettings();
    }
    void TearDown() override
    {
        FormatSettings = saved;
        vlDataStorageFinalization();
    }
    TFormatSettings saved;
};

TEST_F(vlDataStorageTest, CaptionsClassNamesAndTheRegistry)
{
    const char* expected[][2] = {
        {"String", "TvlStringValueType"},     {"WideString", "TvlWideStringValueType"},
        {"Smallint", "TvlSmallintValueType"}, {"Integer", "TvlIntegerValueType"},
        {"Word", "TvlWordValueType"},         {"Boolean", "TvlBooleanValueType"},
        {"Float", "TvlFloatValueType"},       {"Currency", "TvlCurrencyValueType"},
        {"DateTime", "TvlDateTimeValueType"}, {"LargeInt", "TvlLargeIntValueType"},
        {"FMTBcd", "TvlFMTBcdValueType"},     {"SQLTimeStamp", "TvlSQLTimeStampValueType"},
        {"Variant", "TvlVariantValueType"},   {"Object", "TvlObjectValueType"},
    };
    TvlValueTypeClassList* list = GetValueTypeClassList();
    ASSERT_EQ(list->Count(), 14);
    for (int i = 0; i < 14; ++i) {
        EXPECT_EQ(list->Items(i)->TypeCaption(), QString::fromLatin1(expected[i][0]));
        EXPECT_STREQ(list->Items(i)->ClassName(), expected[i][1]);
    }
    EXPECT_EQ(list->ItemByCaption(QStringLiteral("string")), nullptr);
    EXPECT_EQ(list->ItemByCaption(QStringLiteral("Object")), TvlObjectValueType::Instance());
    list->RegisterType(TvlStringValueType::Instance());
    EXPECT_EQ(list->Count(), 14);

    EXPECT_TRUE(IsDateTimeValueTypeClass(TvlDateTimeValueType::Instance()));
    EXPECT_TRUE(IsDateTimeValueTypeClass(TvlSQLTimeStampValueType::Instance()));
    EXPECT_FALSE(IsDateTimeValueTypeClass(TvlFloatValueType::Instance()));

    vlDataStorageFinalization();
    EXPECT_EQ(GetValueTypeClassList()->Count(), 0);  // a new, empty registry
}

// One storage with one definition of the type, one record.
struct OneValue {
    TvlDataStorage storage;
    TvlValueDef* def;
    explicit OneValue(TvlValueTypeClass type, bool keepsText = false)
        : def(storage.ValueDefs()->AddDefinition(type, true, nullptr, keepsText))
    {
        storage.AddRecord();
    }
    Variant put(const Variant& v)
    {
        storage.PutValue(0, def, v);
        return storage.ValueOf(0, def);
    }
};

TEST_F(vlDataStorageTest, StoreAndLoadConvertToTheTypesOwnKind)
{
    const struct {
        TvlValueTypeClass type;
        Variant in;
        TVarType loadedType;
        const char* text;  // the value's default text
    } rows[] = {
        {TvlStringValueType::Instance(), Variant(12), varUString, "12"},
        {TvlStringValueType::Instance(), Variant(""), varUString, ""},
        {TvlWideStringValueType::Instance(), Variant("ab"), varOleStr, "ab"},
        {TvlWideStringValueType::Instance(), Variant(""), varNull, ""},
        {TvlSmallintValueType::Instance(), Variant(70000), varSmallint, "4464"},  // the low 16 bits
        {TvlIntegerValueType::Instance(), Variant("2"), varInteger, "2"},
        {TvlWordValueType::Instance(), Variant(-1), varWord, "65535"},
        {TvlBooleanValueType::Instance(), Variant("true"), varBoolean, "True"},
        {TvlFloatValueType::Instance(), Variant(2.5), varDouble, "2.5"},
        {TvlCurrencyValueType::Instance(), Variant("1.25"), varCurrency, "1.25"},
        {TvlDateTimeValueType::Instance(), Variant(2.25), varDate, "1/1/1900 6:00:00 AM"},
        {TvlLargeIntValueType::Instance(), Variant(int64_t{1} << 40), varInt64, "1099511627776"},
        {TvlFMTBcdValueType::Instance(), Variant("-0.50"), varFMTBcd, "-0.5"},
        {TvlSQLTimeStampValueType::Instance(), VarFromDateTime(2.25), varDate, "1/1/1900 6:00:00 AM"},
        {TvlVariantValueType::Instance(), Variant("x"), varUString, "x"},
        {TvlObjectValueType::Instance(), Variant(int64_t{1} << 40), varInt64, "1099511627776"},
        // Empty is not null: it converts to the type's zero
        {TvlIntegerValueType::Instance(), Variant(), varInteger, "0"},
        {TvlBooleanValueType::Instance(), Variant(), varBoolean, "False"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.type->TypeCaption().toStdString() + " " + VarTypeAsText(row.in.VType()).toStdString());
        OneValue one(row.type);
        const Variant loaded = one.put(row.in);
        EXPECT_EQ(loaded.VType(), row.loadedType);
        EXPECT_EQ(one.storage.TextOf(0, one.def), QString::fromLatin1(row.text));
    }
}

TEST_F(vlDataStorageTest, ValuesThatDoNotConvert)
{
    OneValue one(TvlIntegerValueType::Instance());
    one.put(5);
    EXPECT_THROW(one.put(Variant("abc")), EVariantTypeCastError);
    EXPECT_EQ(one.storage.ValueOf(0, one.def).AsInteger(), 5);  // unchanged

    Variant v("12");
    EXPECT_TRUE(TvlIntegerValueType::Instance()->CheckValue(v));
    EXPECT_EQ(v.VType(), varInteger);
    v = Variant("x");
    EXPECT_FALSE(TvlIntegerValueType::Instance()->CheckValue(v));
    v = Null();
    EXPECT_TRUE(TvlIntegerValueType::Instance()->CheckValue(v));
    v = Variant("x");
    EXPECT_TRUE(TvlVariantValueType::Instance()->CheckValue(v));
}

int compareStored(TvlValueTypeClass type, const Variant& a, const Variant& b)
{
    TvlDataStorage storage;
    TvlValueDef* def = storage.ValueDefs()->AddDefinition(type, true, nullptr, false);
    storage.AddRecord();
    storage.AddRecord();
    storage.PutValue(0, def, a);
    storage.PutValue(1, def, b);
    const int inPlace = storage.CompareRecordValues(0, 1, def);
    const TvlValueData* p1 = nullptr;
    const TvlValueData* p2 = nullptr;
    const bool null1 = storage.CompareInfoOf(0, def, p1);
    const bool null2 = storage.CompareInfoOf(1, def, p2);
    EXPECT_EQ(def->ComparePrepared(null1, null2, p1, p2), inPlace) << "the prepared form agrees";
    return inPlace;
}

TEST_F(vlDataStorageTest, NativeComparisons)
{
    const struct {
        TvlValueTypeClass type;
        Variant a;
        Variant b;
        int expected;
    } rows[] = {
        {TvlIntegerValueType::Instance(), Variant(2147483647), Variant(INT32_MIN), 1},
        {TvlLargeIntValueType::Instance(), Variant(INT64_MIN), Variant(INT64_MAX), -1},
        {TvlStringValueType::Instance(), Variant("B"), Variant("a"), -1},  // code units, not locale
        {TvlStringValueType::Instance(), Variant("a"), Variant("ab"), -1},
        {TvlStringValueType::Instance(), Null(), Variant(""), -1},
        {TvlWideStringValueType::Instance(), Variant("b"), Variant("a"), 1},
        {TvlWideStringValueType::Instance(), Variant("x"), Variant("x"), 0},
        {TvlBooleanValueType::Instance(), Variant(false), Variant(true), -1},
        {TvlFloatValueType::Instance(), Variant(-0.0), Variant(0.0), 0},
        {TvlCurrencyValueType::Instance(), Variant(TCurrency{INT64_MIN}), Variant(TCurrency{1}), -1},
        {TvlFMTBcdValueType::Instance(), Variant("10"), Variant("9.99"), 1},
        {TvlSQLTimeStampValueType::Instance(), VarFromDateTime(3), VarFromDateTime(2.5), 1},
        {TvlVariantValueType::Instance(), Variant(2), Variant("10"), -1},
        {TvlObjectValueType::Instance(), Variant(int64_t{1} << 40), Variant(1), 1},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.type->TypeCaption().toStdString());
        EXPECT_EQ(compareStored(row.type, row.a, row.b), row.expected);
        EXPECT_EQ(compareStored(row.type, row.b, row.a), -row.expected);
    }
}

TEST_F(vlDataStorageTest, RecordIdsAreHandedOutOnceAndStartAgainWhenEmpty)
{
    TvlDataStorage storage;
    storage.ValueDefs()->AddDefinition(TvlIntegerValueType::Instance(), true, nullptr, false);
    storage.SetWithRecordIds(true);
    for (int i = 0; i < 3; ++i)
        storage.AddRecord();
    EXPECT_EQ(storage.RecordIdOf(0), 1);
    EXPECT_EQ(storage.RecordIdOf(1), 2);
    EXPECT_EQ(storage.RecordIdOf(2), 3);
    storage.RemoveRecord(1);
    EXPECT_EQ(storage.RecordIdOf(1), 3);
    EXPECT_EQ(storage.RecordIdOf(storage.AddRecord()), 4);
    storage.InsertRecordAt(0);
    EXPECT_EQ(storage.RecordIdOf(0), 5);
    storage.ResizeRecords(0);
    EXPECT_EQ(storage.RecordIdOf(storage.AddRecord()), 1);
    storage.ClearAll(false);
    EXPECT_EQ(storage.RecordIdOf(storage.AddRecord()), 1);
    EXPECT_THROW(storage.RecordIdOf(5), EListError);
    EXPECT_THROW(storage.InsertRecordAt(3), EListError);
}

TEST_F(vlDataStorageTest, UnwrittenRecordsAndScratchRecords)
{
    TvlDataStorage storage;
    TvlValueDef* def = storage.ValueDefs()->AddDefinition(TvlIntegerValueType::Instance(), true, nullptr, true);
    storage.AddRecord();
    EXPECT_EQ(storage.RecordBuffer(0), nullptr);
    EXPECT_TRUE(VarIsNull(storage.ValueOf(0, def)));
    EXPECT_EQ(storage.TextOf(0, def), QString());
    EXPECT_EQ(storage.RecordBuffer(0), nullptr);  // reading allocates nothing

    // scratch records: -1, -2, then a freed one is taken again
    EXPECT_EQ(storage.NewInternalRecord(), -1);
    EXPECT_EQ(storage.NewInternalRecord(), -2);
    storage.RemoveInternalRecord(-1);
    EXPECT_EQ(storage.NewInternalRecord(), -1);
    EXPECT_EQ(storage.NewInternalRecord(), -3);

    // a public definition reaches a scratch record through its mirror
    storage.PutValue(-2, def, 7);
    storage.PutText(-2, def, QStringLiteral("seven"));
    EXPECT_EQ(storage.ValueOf(-2, def).AsInteger(), 7);
    EXPECT_EQ(storage.TextOf(-2, def), QStringLiteral("seven"));
    EXPECT_TRUE(VarIsNull(storage.ValueOf(0, def)));
    ASSERT_NE(storage.InternalValueDefs()->FindByLinkedItem(def), nullptr);

    int cleared = 0;
    storage.OnInternalRecordsCleared = TNotifyEvent::FromFunction([&](TObject*) { ++cleared; });
    storage.ClearAll(true);
    EXPECT_EQ(cleared, 0);
    EXPECT_EQ(storage.InternalRecordCount(), 3);
    storage.ClearAll(false);
    EXPECT_EQ(cleared, 1);
    EXPECT_EQ(storage.InternalRecordCount(), 0);
}

TEST_F(vlDataStorageTest, DefinitionsComeAndGo)
{
    TvlDataStorage storage;
    TvlValueDefs* defs = storage.ValueDefs();
    TvlValueDef* a = defs->AddDefinition(TvlIntegerValueType::Instance(), true, nullptr, false);
    storage.AddRecord();
    storage.PutValue(0, a, 1);
    TvlValueDef* b = defs->AddDefinition(TvlStringValueType::Instance(), true, nullptr, false);
    EXPECT_TRUE(VarIsNull(storage.ValueOf(0, b)));  // the new value is null
    storage.PutValue(0, b, Variant("x"));
    defs->Delete(a);
    EXPECT_EQ(defs->Count(), 1);
    EXPECT_EQ(storage.ValueOf(0, b).AsString(), QStringLiteral("x"));
    EXPECT_EQ(storage.InternalValueDefs()->Count(), 1);  // the mirror went too
    defs->Delete(b);  // the last kept one: records lose their buffers
    EXPECT_EQ(storage.RecordBuffer(0), nullptr);
}

TEST_F(vlDataStorageTest, ANullKeepsItsText)
{
    OneValue one(TvlStringValueType::Instance(), true);
    one.put(Variant("v"));
    one.storage.PutText(0, one.def, QStringLiteral("shown"));
    one.put(Null());
    EXPECT_TRUE(VarIsNull(one.storage.ValueOf(0, one.def)));
    EXPECT_EQ(one.storage.TextOf(0, one.def), QStringLiteral("shown"));
}

TEST_F(vlDataStorageTest, SwitchingModesWithRecordsKeepsValues)
{
    TvlDataStorage storage;
    TvlValueDef* kept = storage.ValueDefs()->AddDefinition(TvlIntegerValueType::Instance(), true, nullptr, false);
    TvlValueDef* loose = storage.ValueDefs()->AddDefinition(TvlIntegerValueType::Instance(), false, nullptr, false);
    for (int i = 0; i < 3; ++i)
        storage.PutValue(storage.AddRecord(), kept, i * 10);
    storage.PutValue(1, loose, 5);
    storage.SetWithRecordIds(true);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(storage.ValueOf(i, kept).AsInteger(), i * 10);
        EXPECT_EQ(storage.RecordIdOf(i), i + 1);
    }
    EXPECT_EQ(storage.RecordIdOf(storage.AddRecord()), 4);
    storage.SetKeptValuesOnly(true);
    EXPECT_EQ(storage.ValueOf(2, kept).AsInteger(), 20);
    EXPECT_TRUE(VarIsNull(storage.ValueOf(1, loose)));  // no longer kept
    storage.SetWithRecordIds(false);
    EXPECT_EQ(storage.ValueOf(1, kept).AsInteger(), 10);
}

QByteArray recordBytes(TvlDataStorage& storage, int index)
{
    TMemoryStream s;
    storage.WriteRecordToStream(index, &s);
    return QByteArray(static_cast<const char*>(s.Memory()), qsizetype(s.Size()));
}

void readRecord(TvlDataStorage& storage, int index, const QByteArray& bytes)
{
    TMemoryStream s;
    s.WriteBuffer(bytes.constData(), bytes.size());
    s.SetPosition(0);
    storage.ReadRecordFromStream(index, &s);
}

TEST_F(vlDataStorageTest, RecordStreamGoldens)
{
    TvlDataStorage storage;
    TvlValueDef* def = storage.ValueDefs()->AddDefinition(TvlIntegerValueType::Instance(), true, nullptr, false);
    storage.AddRecord();
    EXPECT_EQ(recordBytes(storage, 0), QByteArray("VXUFMT\x01", 7));
    storage.ResizeRecords(0);
    storage.SetWithRecordIds(true);
    storage.AddRecord();
    storage.PutValue(0, def, Null());
    EXPECT_EQ(recordBytes(storage, 0), QByteArray("VXUFMT\x00\x01\x00\x00\x00\x01", 12));

    // a loaded id moves the counter past it
    readRecord(storage, 0, QByteArray("VXUFMT\x00\x09\x00\x00\x00\x00\x05\x00\x00\x00", 16));
    EXPECT_EQ(storage.ValueOf(0, def).AsInteger(), 5);
    EXPECT_EQ(storage.RecordIdOf(storage.AddRecord()), 10);
    // the no-buffer byte frees the record
    readRecord(storage, 0, QByteArray("VXUFMT\x01", 7));
    EXPECT_EQ(storage.RecordBuffer(0), nullptr);
}

TEST_F(vlDataStorageTest, AStampOutsideTheCalendarIsARefusedRecord)
{
    // A stamp is streamed as a date; a date far outside years 1..9999 (or not
    // a number) makes no valid stamp, and such a record was accepted but could
    // not be written back.
    TvlDataStorage stamps;
    TvlValueDef* stampDef = stamps.ValueDefs()->AddDefinition(TvlSQLTimeStampValueType::Instance(), true, nullptr, false);
    stamps.AddRecord();
    stamps.PutValue(0, stampDef, VarFromDateTime(45356.5));
    const QByteArray valid = recordBytes(stamps, 0);
    stamps.PutValue(0, stampDef, VarFromDateTime(45356.25));
    const QByteArray before = recordBytes(stamps, 0);
    for (double date : {1e12, -1e12, std::nan(""), 45356.5}) {
        // the record ends with the date's eight bytes
        QByteArray bytes = valid;
        std::memcpy(bytes.data() + bytes.size() - 8, &date, 8);
        if (date == 45356.5) {
            readRecord(stamps, 0, bytes);
            EXPECT_EQ(recordBytes(stamps, 0), bytes);
        } else {
            EXPECT_THROW(readRecord(stamps, 0, bytes), EReadError) << date;
            EXPECT_EQ(recordBytes(stamps, 0), before);
        }
    }
}

// A storage with one field of every type, texts kept.
struct EveryType {
    TvlDataStorage storage;
    std::vector<TvlValueDef*> defs;
    explicit EveryType(bool ids)
    {
        storage.SetWithRecordIds(ids);
        for (int i = 0; i < GetValueTypeClassList()->Count(); ++i)
            defs.push_back(storage.ValueDefs()->AddDefinition(GetValueTypeClassList()->Items(i), true, nullptr, true));
        storage.AddRecord();
    }
};

TEST_F(vlDataStorageTest, EveryTypeRoundTripsThroughARecordStream)
{
    for (bool ids : {false, true}) {
        EveryType source(ids);
        const Variant values[] = {
            Variant("s\u00E9"), Variant("w"), Variant(-2), Variant(123456), Variant(65535), Variant(true),
            Variant(0.1), Variant(TCurrency{-15000}), VarFromDateTime(45356.5), Variant(int64_t{1} << 50),
            Variant(StrToBcd(QStringLiteral("-12.345"))), VarFromDateTime(45356.25), VarArrayOf({1, Null()}),
            Variant(int64_t{77}),
        };
        for (size_t i = 0; i < source.defs.size(); ++i) {
            source.storage.PutValue(0, source.defs[i], values[i]);
            source.storage.PutText(0, source.defs[i], QStringLiteral("t%1").arg(i));
        }
        source.storage.PutValue(0, source.defs[2], Null());  // a null with a text
        const QByteArray bytes = recordBytes(source.storage, 0);

        EveryType target(ids);
        target.storage.RemoveRecord(0);
        target.storage.AddRecord();
        readRecord(target.storage, 0, bytes);
        for (size_t i = 0; i < source.defs.size(); ++i) {
            SCOPED_TRACE(source.defs[i]->ValueTypeClass()->TypeCaption().toStdString());
            const Variant a = source.storage.ValueOf(0, source.defs[i]);
            const Variant b = target.storage.ValueOf(0, target.defs[i]);
            if (source.defs[i]->ValueTypeClass() == TvlObjectValueType::Instance()) {
                EXPECT_FALSE(VarIsNull(b));  // present, but the handle stays behind
                EXPECT_EQ(b.AsInt64(), 0);
            } else {
                EXPECT_EQ(b.VType(), a.VType());
                EXPECT_EQ(VarCompare(a, b), 0);
            }
            EXPECT_EQ(target.storage.TextOf(0, target.defs[i]), QStringLiteral("t%1").arg(i));
        }
        EXPECT_EQ(target.storage.ValueOf(0, target.defs[6]).AsDouble(), 0.1);  // Float exact through 80 bits
        EXPECT_EQ(target.storage.RecordIdOf(0), source.storage.RecordIdOf(0));
        EXPECT_EQ(recordBytes(target.storage, 0), bytes);
    }
}

TEST_F(vlDataStorageTest, RecordStreamDetails)
{
    OneValue boolean(TvlBooleanValueType::Instance());
    readRecord(boolean.storage, 0, QByteArray("VXUFMT\x00\x00\x02", 9));
    EXPECT_EQ(boolean.storage.ValueOf(0, boolean.def).VType(), varBoolean);
    EXPECT_TRUE(boolean.storage.ValueOf(0, boolean.def).AsBoolean());

    // "VXAFMT" and no signature: 8-bit texts
    OneValue text(TvlStringValueType::Instance(), true);
    readRecord(text.storage, 0, QByteArray("VXAFMT\x00\x00\x02\x00\x00\x00\x61\xE9\x01\x00\x00\x00\x80", 19));
    EXPECT_EQ(text.storage.ValueOf(0, text.def).AsString(), QString::fromUtf8("a\xC3\xA9"));
    EXPECT_EQ(text.storage.TextOf(0, text.def), QString::fromUtf8("\xE2\x82\xAC"));
    readRecord(text.storage, 0, QByteArray("\x00\x00\x01\x00\x00\x00\x62\x00\x00\x00\x00", 11));
    EXPECT_EQ(text.storage.ValueOf(0, text.def).AsString(), QStringLiteral("b"));

    // WideString is UTF-16 under either signature; an empty one writes count 0
    OneValue wide(TvlWideStringValueType::Instance());
    readRecord(wide.storage, 0, QByteArray("VXAFMT\x00\x00\x01\x00\x00\x00\x78\x00", 14));
    EXPECT_EQ(wide.storage.ValueOf(0, wide.def).AsString(), QStringLiteral("x"));
    wide.put(Variant(""));
    EXPECT_EQ(recordBytes(wide.storage, 0), QByteArray("VXUFMT\x00\x00\x00\x00\x00\x00", 12));
}

TEST_F(vlDataStorageTest, DamagedRecordStreamsChangeNothing)
{
    EveryType source(true);
    for (size_t i = 0; i < source.defs.size(); ++i)
        source.storage.PutValue(0, source.defs[i], i == 12 ? VarArrayOf({Variant("a"), 2.5}) : Variant(int(i)));
    const QByteArray golden = recordBytes(source.storage, 0);

    EveryType target(true);
    target.storage.PutValue(0, target.defs[3], 99);
    const QByteArray before = recordBytes(target.storage, 0);
    auto tryRead = [&](const QByteArray& bytes) {
        try {
            readRecord(target.storage, 0, bytes);
            return true;
        } catch (const EReadError&) {
            EXPECT_EQ(recordBytes(target.storage, 0), before);
            return false;
        }
    };
    vorlane::test::ForEachTruncation(golden, [&](const QByteArray& cut) {
        if (cut.size() >= 6) {  // from the signature on, a cut record is refused
            EXPECT_FALSE(tryRead(cut)) << cut.size();
        }
    });
    // the first text's count set to 0x7FFFFFFF
    QByteArray huge = golden.left(11) + QByteArray("\x00\xFF\xFF\xFF\x7F", 5);
    EXPECT_FALSE(tryRead(huge));
    int accepted = 0;
    vorlane::test::ForEachMutation({golden}, 29, 3000, [&](const QByteArray& mutant) {
        EveryType fresh(true);
        try {
            readRecord(fresh.storage, 0, mutant);
            ++accepted;
        } catch (const EReadError&) {
        }
    });
    EXPECT_GT(accepted, 0);
}

}  // namespace
