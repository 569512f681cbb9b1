// vlDataStorage.h - the typed table under every data controller: value
// types that say how one column's values are kept, compared and streamed,
// and the storage of records built from them (values, optional display
// texts, optional record ids, scratch records), with the record stream.
#pragma once
#include <memory>
#include <optional>
#include <variant>
#include <vector>

#include "platform/rtl/Component.h"
#include "platform/rtl/Delegate.h"
#include "platform/rtl/Variant.h"

class TStream;

// ---- value types --------------------------------------------------------

// One value's data inside a record: what a type stores is up to the type
// (an integer, a double, a decimal, a time stamp, a text, a variant);
// monostate is the zero-filled state of a value never written, and the
// absent text or variant reference of the types that keep one.
struct TvlValueData {
    std::variant<std::monostate, int64_t, double, TBcd, TSQLTimeStamp, String, Variant> V;
};

// How one column's values are kept. The fourteen types are immutable
// single instances; a field refers to its type by pointer (the type's
// "class"). Stream operations take the stream and whether its strings are
// UTF-16 (the "VXUFMT" signature) or 8-bit.
class TvlValueType {
public:
    virtual ~TvlValueType() = default;
    // The type's class name, as the data controller's stream stores it.
    virtual const char* ClassName() const = 0;
    // The registry and grid columns name a type by this; see the table.
    virtual String TypeCaption() const = 0;

    virtual int CompareData(const TvlValueData& AData1, const TvlValueData& AData2) const;
    virtual void FreeData(TvlValueData& AData) const;
    // Bytes of the value in the stored layout of other implementations; it
    // says how wide a value is, nothing here depends on it.
    virtual int DataSize() const { return 0; }
    virtual Variant LoadValue(const TvlValueData& AData) const;
    // The value's text; never raises for a value that does not convert.
    virtual String DefaultText(const TvlValueData& AData) const;
    virtual String LoadText(const std::optional<String>& ATextSlot) const;
    virtual void ReadValueFromStream(TvlValueData& AData, TStream* AStream, bool AUnicode) const;
    virtual void ReadTextFromStream(std::optional<String>& ATextSlot, TStream* AStream, bool AUnicode) const;
    // Raises the variant conversion errors for a value that does not convert.
    virtual void StoreValue(TvlValueData& AData, const Variant& AValue) const;
    virtual void StoreText(std::optional<String>& ATextSlot, const String& AText) const;
    virtual void WriteValueToStream(const TvlValueData& AData, TStream* AStream, bool AUnicode) const;
    virtual void WriteTextToStream(const std::optional<String>& ATextSlot, TStream* AStream, bool AUnicode) const;
    // The prepared form of a value is the address of its data for every
    // type: one form, compared by ComparePrepared, for sorting in place.
    virtual int ComparePrepared(const TvlValueData* AData1, const TvlValueData* AData2) const;
    virtual Variant LoadPreparedValue(const TvlValueData* AData) const;
    virtual TVarType ValueVarType() const { return varVariant; }
    // Converts AValue in place to ValueVarType; False when it does not convert.
    virtual bool CheckValue(Variant& AValue) const;
    virtual bool IsStringType() const { return false; }
    virtual const TvlValueData* PrepareData(const TvlValueData* AData) const { return AData; }
};

using TvlValueTypeClass = const TvlValueType*;

// The fourteen types. Each Instance() is the type's one object.
class TvlStringValueType : public TvlValueType {
public:
    static const TvlStringValueType* Instance();
    const char* ClassName() const override { return "TvlStringValueType"; }
    String TypeCaption() const override;
    int CompareData(const TvlValueData& AData1, const TvlValueData& AData2) const override;
    void FreeData(TvlValueData& AData) const override;
    int DataSize() const override { return 4; }
    Variant LoadValue(const TvlValueData& AData) const override;
    void ReadValueFromStream(TvlValueData& AData, TStream* AStream, bool AUnicode) const override;
    void StoreValue(TvlValueData& AData, const Variant& AValue) const override;
    void WriteValueToStream(const TvlValueData& AData, TStream* AStream, bool AUnicode) const override;
    int ComparePrepared(const TvlValueData* AData1, const TvlValueData* AData2) const override;
    TVarType ValueVarType() const override { return varUString; }
    bool IsStringType() const override { return true; }
};

class TvlWideStringValueType : public TvlStringValueType {
public:
    static const TvlWideStringValueType* Instance();
    const char* ClassName() const override { return "TvlWideStringValueType"; }
    String TypeCaption() const override;
    int CompareData(const TvlValueData& AData1, const TvlValueData& AData2) const override;
    Variant LoadValue(const TvlValueData& AData) const override;
    void ReadValueFromStream(TvlValueData& AData, TStream* AStream, bool AUnicode) const override;
    void StoreValue(TvlValueData& AData, const Variant& AValue) const override;
    void WriteValueToStream(const TvlValueData& AData, TStream* AStream, bool AUnicode) const override;
    int ComparePrepared(const TvlValueData* AData1, const TvlValueData* AData2) const override;
    TVarType ValueVarType() const override { return varOleStr; }
};

// Integers of one width, kept as int64_t: Smallint, Integer, Word, LargeInt.
class TvlIntegerKindValueType : public TvlValueType {
public:
    int CompareData(const TvlValueData& AData1, const TvlValueData& AData2) const override;
    Variant LoadValue(const TvlValueData& AData) const override;
    void ReadValueFromStream(TvlValueData& AData, TStream* AStream, bool AUnicode) const override;
    void StoreValue(TvlValueData& AData, const Variant& AValue) const override;
    void WriteValueToStream(const TvlValueData& AData, TStream* AStream, bool AUnicode) const override;
    int ComparePrepared(const TvlValueData* AData1, const TvlValueData* AData2) const override;
};

class TvlSmallintValueType : public TvlIntegerKindValueType {
public:
    static const TvlSmallintValueType* Instance();
    const char* ClassName() const override { return "TvlSmallintValueType"; }
    String TypeCaption() const override;
    int DataSize() const override { return 2; }
    TVarType ValueVarType() const override { return varSmallint; }
};

class TvlIntegerValueType : public TvlIntegerKindValueType {
public:
    static const TvlIntegerValueType* Instance();
    const char* ClassName() const override { return "TvlIntegerValueType"; }
    String TypeCaption() const override;
    int DataSize() const override { return 4; }
    TVarType ValueVarType() const override { return varInteger; }
};

class TvlWordValueType : public TvlIntegerKindValueType {
public:
    static const TvlWordValueType* Instance();
    const char* ClassName() const override { return "TvlWordValueType"; }
    String TypeCaption() const override;
    int DataSize() const override { return 2; }
    TVarType ValueVarType() const override { return varWord; }
};

class TvlBooleanValueType : public TvlValueType {
public:
    static const TvlBooleanValueType* Instance();
    const char* ClassName() const override { return "TvlBooleanValueType"; }
    String TypeCaption() const override;
    int CompareData(const TvlValueData& AData1, const TvlValueData& AData2) const override;
    int DataSize() const override { return 1; }
    Variant LoadValue(const TvlValueData& AData) const override;
    String DefaultText(const TvlValueData& AData) const override;
    void ReadValueFromStream(TvlValueData& AData, TStream* AStream, bool AUnicode) const override;
    void StoreValue(TvlValueData& AData, const Variant& AValue) const override;
    void WriteValueToStream(const TvlValueData& AData, TStream* AStream, bool AUnicode) const override;
    int ComparePrepared(const TvlValueData* AData1, const TvlValueData* AData2) const override;
    TVarType ValueVarType() const override { return varBoolean; }
};

// Doubles: Float and DateTime.
class TvlDoubleKindValueType : public TvlValueType {
public:
    int CompareData(const TvlValueData& AData1, const TvlValueData& AData2) const override;
    int DataSize() const override { return 8; }
    void StoreValue(TvlValueData& AData, const Variant& AValue) const override;
    int ComparePrepared(const TvlValueData* AData1, const TvlValueData* AData2) const override;
};

class TvlFloatValueType : public TvlDoubleKindValueType {
public:
    static const TvlFloatValueType* Instance();
    const char* ClassName() const override { return "TvlFloatValueType"; }
    String TypeCaption() const override;
    Variant LoadValue(const TvlValueData& AData) const override;
    // 80-bit extended on the stream; every double goes there and back exactly.
    void ReadValueFromStream(TvlValueData& AData, TStream* AStream, bool AUnicode) const override;
    void WriteValueToStream(const TvlValueData& AData, TStream* AStream, bool AUnicode) const override;
    TVarType ValueVarType() const override { return varDouble; }
};

class TvlCurrencyValueType : public TvlValueType {
public:
    static const TvlCurrencyValueType* Instance();
    const char* ClassName() const override { return "TvlCurrencyValueType"; }
    String TypeCaption() const override;
    int CompareData(const TvlValueData& AData1, const TvlValueData& AData2) const override;
    int DataSize() const override { return 8; }
    Variant LoadValue(const TvlValueData& AData) const override;
    void ReadValueFromStream(TvlValueData& AData, TStream* AStream, bool AUnicode) const override;
    void StoreValue(TvlValueData& AData, const Variant& AValue) const override;
    void WriteValueToStream(const TvlValueData& AData, TStream* AStream, bool AUnicode) const override;
    int ComparePrepared(const TvlValueData* AData1, const TvlValueData* AData2) const override;
    TVarType ValueVarType() const override { return varCurrency; }
};

class TvlDateTimeValueType : public TvlDoubleKindValueType {
public:
    static const TvlDateTimeValueType* Instance();
    const char* ClassName() const override { return "TvlDateTimeValueType"; }
    String TypeCaption() const override;
    Variant LoadValue(const TvlValueData& AData) const override;
    String DefaultText(const TvlValueData& AData) const override;
    void ReadValueFromStream(TvlValueData& AData, TStream* AStream, bool AUnicode) const override;
    void WriteValueToStream(const TvlValueData& AData, TStream* AStream, bool AUnicode) const override;
    TVarType ValueVarType() const override { return varDate; }
};

class TvlLargeIntValueType : public TvlIntegerKindValueType {
public:
    static const TvlLargeIntValueType* Instance();
    const char* ClassName() const override { return "TvlLargeIntValueType"; }
    String TypeCaption() const override;
    int DataSize() const override { return 8; }
    TVarType ValueVarType() const override { return varInt64; }
};

class TvlFMTBcdValueType : public TvlValueType {
public:
    static const TvlFMTBcdValueType* Instance();
    const char* ClassName() const override { return "TvlFMTBcdValueType"; }
    String TypeCaption() const override;
    int CompareData(const TvlValueData& AData1, const TvlValueData& AData2) const override;
    int DataSize() const override { return 34; }
    Variant LoadValue(const TvlValueData& AData) const override;
    String DefaultText(const TvlValueData& AData) const override;
    void StoreValue(TvlValueData& AData, const Variant& AValue) const override;
    int ComparePrepared(const TvlValueData* AData1, const TvlValueData* AData2) const override;
    TVarType ValueVarType() const override { return varFMTBcd; }
};

class TvlSQLTimeStampValueType : public TvlValueType {
public:
    static const TvlSQLTimeStampValueType* Instance();
    const char* ClassName() const override { return "TvlSQLTimeStampValueType"; }
    String TypeCaption() const override;
    int CompareData(const TvlValueData& AData1, const TvlValueData& AData2) const override;
    int DataSize() const override { return 16; }
    Variant LoadValue(const TvlValueData& AData) const override;
    void StoreValue(TvlValueData& AData, const Variant& AValue) const override;
    int ComparePrepared(const TvlValueData* AData1, const TvlValueData* AData2) const override;
    TVarType ValueVarType() const override { return varSQLTimeStamp; }
};

class TvlVariantValueType : public TvlValueType {
public:
    static const TvlVariantValueType* Instance();
    const char* ClassName() const override { return "TvlVariantValueType"; }
    String TypeCaption() const override;
    int CompareData(const TvlValueData& AData1, const TvlValueData& AData2) const override;
    void FreeData(TvlValueData& AData) const override;
    int DataSize() const override { return 4; }
    Variant LoadValue(const TvlValueData& AData) const override;
    void StoreValue(TvlValueData& AData, const Variant& AValue) const override;
    int ComparePrepared(const TvlValueData* AData1, const TvlValueData* AData2) const override;
};

// An object's 64-bit handle. The storage does not own the object; its
// handle never goes to a stream (a read leaves it present and 0).
class TvlObjectValueType : public TvlIntegerValueType {
public:
    static const TvlObjectValueType* Instance();
    const char* ClassName() const override { return "TvlObjectValueType"; }
    String TypeCaption() const override;
    int DataSize() const override { return 8; }
    void ReadValueFromStream(TvlValueData& AData, TStream* AStream, bool AUnicode) const override;
    void WriteValueToStream(const TvlValueData& AData, TStream* AStream, bool AUnicode) const override;
    TVarType ValueVarType() const override { return varInt64; }
};

// True for the DateTime and SQLTimeStamp types themselves.
bool IsDateTimeValueTypeClass(TvlValueTypeClass AValueTypeClass);

// The registered types, in registration order, found by caption.
class TvlValueTypeClassList {
public:
    void RegisterType(TvlValueTypeClass AValueTypeClass);
    void UnregisterType(TvlValueTypeClass AValueTypeClass);
    // Exact, case-sensitive; nullptr when none.
    TvlValueTypeClass ItemByCaption(const String& ACaption) const;
    int Count() const { return int(FItems.size()); }
    TvlValueTypeClass Items(int AIndex) const { return FItems.at(size_t(AIndex)); }

private:
    std::vector<TvlValueTypeClass> FItems;
};

// The one registry, made on first use.
TvlValueTypeClassList* GetValueTypeClassList();

// The unit's start-up: registers the fourteen types in their order; the
// finalization unregisters them and frees the registry.
void vlDataStorageInitialization();
void vlDataStorageFinalization();

// ---- definitions --------------------------------------------------------

class TvlDataStorage;
class TvlValueDefs;

// One field of the storage.
class TvlValueDef {
public:
    TvlValueDef(TvlValueDefs* AOwner, TvlValueTypeClass AValueTypeClass);
    virtual ~TvlValueDef() = default;
    TvlValueDef(const TvlValueDef&) = delete;
    TvlValueDef& operator=(const TvlValueDef&) = delete;

    virtual void* LinkedItem() const { return FLinkedItem; }
    // Whether the definition has values: its own flag, or always while the
    // storage keeps every value.
    virtual bool Kept() const;
    virtual void SetLinkedItem(void* Value) { FLinkedItem = Value; }
    virtual void Assign(const TvlValueDef* Source);

    bool IsTextKept() const { return Kept() && FKeepsText; }
    bool KeptFlag() const { return FKept; }
    void SetKept(bool Value);
    bool KeepsText() const { return FKeepsText; }
    void SetKeepsText(bool Value);
    bool Streamed() const { return FStreamed; }
    void SetStreamed(bool Value) { FStreamed = Value; }
    int DataSize() const { return FValueTypeClass->DataSize(); }
    TvlValueDefs* Owner() const { return FOwner; }
    TvlValueTypeClass ValueTypeClass() const { return FValueTypeClass; }
    // The position in the owner list, which is also the slot of its value
    // in every record of that list.
    int Index() const;

    bool NeedsTextConversion() const { return FValueTypeClass->IsStringType(); }
    // Null (or an unwritten record) before a value, two of them equal.
    int ComparePrepared(bool ANull1, bool ANull2, const TvlValueData* AData1, const TvlValueData* AData2) const;

protected:
    void NotifyChanged(bool ALayoutChanged);

private:
    friend class TvlValueDefs;
    TvlValueDefs* FOwner;
    TvlValueTypeClass FValueTypeClass;
    void* FLinkedItem = nullptr;
    bool FKept = true;
    bool FStreamed = true;
    bool FKeepsText = false;
};

// The scratch records' mirror of a public definition.
class TvlInternalValueDef : public TvlValueDef {
public:
    using TvlValueDef::TvlValueDef;
    void* LinkedItem() const override;
    bool Kept() const override { return true; }
    TvlValueDef* PublicDefinition() const { return static_cast<TvlValueDef*>(TvlValueDef::LinkedItem()); }
};

class TvlValueDefs {
public:
    explicit TvlValueDefs(TvlDataStorage* AStorage) : FStorage(AStorage) {}
    virtual ~TvlValueDefs();
    TvlValueDefs(const TvlValueDefs&) = delete;
    TvlValueDefs& operator=(const TvlValueDefs&) = delete;

    TvlValueDef* AddDefinition(TvlValueTypeClass AValueTypeClass, bool AKept, void* ALinkedItem, bool AKeepsText);
    // Frees a definition: its values leave every record (with it the
    // mirror of a public definition); when it was the last kept one the
    // records lose their buffers, ids included.
    void Delete(TvlValueDef* ADef);
    // Frees the definitions from the last to the first.
    void RemoveAll();
    int Count() const { return int(FItems.size()); }
    // While the storage streams in an order of its own, the items come in that order.
    TvlValueDef* Item(int AIndex) const;
    int KeptCount() const;
    int IndexOf(const TvlValueDef* ADef) const;
    TvlDataStorage* Storage() const { return FStorage; }
    bool IsInternal() const { return FInternal; }

protected:
    virtual void DefinitionChanged(TvlValueDef* ADef, bool ALayoutChanged);
    virtual std::unique_ptr<TvlValueDef> CreateDefinition(TvlValueTypeClass AValueTypeClass);
    bool FInternal = false;

private:
    friend class TvlValueDef;
    friend class TvlDataStorage;

    TvlDataStorage* FStorage;
    std::vector<std::unique_ptr<TvlValueDef>> FItems;
};

class TvlInternalValueDefs : public TvlValueDefs {
public:
    explicit TvlInternalValueDefs(TvlDataStorage* AStorage) : TvlValueDefs(AStorage) { FInternal = true; }
    // The last mirror of ALinkedItem (a public definition), or nullptr.
    TvlInternalValueDef* FindByLinkedItem(const TvlValueDef* ALinkedItem) const;
    void RemoveByLinkedItem(const TvlValueDef* ALinkedItem);

protected:
    std::unique_ptr<TvlValueDef> CreateDefinition(TvlValueTypeClass AValueTypeClass) override;
};

// Supplies the values of a record being filled.
class TvlValueDefReader {
public:
    virtual ~TvlValueDefReader() = default;
    virtual String TextFor(TvlValueDef* AValueDef) { (void)AValueDef; return {}; }
    virtual Variant ValueFor(TvlValueDef* AValueDef) { (void)AValueDef; return Null(); }
    virtual bool SkipsDefinition(TvlValueDef* AValueDef) { (void)AValueDef; return false; }
};

// ---- the storage ------------------------------------------------------

// One value of a record: present or null, its data, and the display text
// (absent until one is stored; it outlives the value turning null).
struct TvlRecordSlot {
    bool Present = false;
    TvlValueData Data;
    std::optional<String> Text;
};

// A record buffer. A record that has never been written has none and
// reads as every value null and id 0.
struct TvlRecordBuffer {
    bool InUse = false;  // internal records only
    int32_t Id = 0;
    std::vector<TvlRecordSlot> Slots;  // by definition index
};

// Records read from a stream aside from the storage, to replace its
// ordinary records in one step.
struct TvlStreamedRecords {
    std::vector<std::unique_ptr<TvlRecordBuffer>> Records;
    int32_t NextRecordId = 1;
};

using TvlCopyRecordProc = TDelegate<void(TvlValueDef* ADef, int ASrcIndex, int ADestIndex, TvlValueDefReader* AReader)>;
using TvlCompareDefsFunc = bool (*)(const TvlValueDef* A, const TvlValueDef* B);

class TvlDataStorage : public TObject {
public:
    TvlDataStorage();
    ~TvlDataStorage() override;
    String ClassName() const override { return String::fromLatin1("TvlDataStorage"); }

    TvlValueDefs* ValueDefs() const { return FValueDefs.get(); }
    TvlInternalValueDefs* InternalValueDefs() const { return FInternalValueDefs.get(); }
    // The internal definitions for a negative (internal) index, else the value definitions.
    virtual TvlValueDefs* DefinitionsFor(int ARecordIndex) const;

    // Records. Ordinary indexes are 0 .. RecordCount-1, internal ones -1, -2 ...
    // An index outside them raises EListError.
    int RecordCount() const { return int(FRecords.size()); }
    int InternalRecordCount() const { return int(FInternalRecords.size()); }
    const TvlRecordBuffer* RecordBuffer(int AIndex) const;
    TvlRecordBuffer* EnsureRecordBuffer(int AIndex);
    int AddRecord();
    void InsertRecordAt(int AIndex);
    void RemoveRecord(int AIndex);
    void ResizeRecords(int ACount);
    int NewInternalRecord();
    void RemoveInternalRecord(int AIndex);
    void ClearAll(bool AKeepInternal);
    void DropRecords(bool ADeleteSlots);
    void DropInternalRecords();
    void StartLoading() {}
    void FinishLoading() {}

    // Values. A public definition used with an internal index stands for
    // its internal mirror; with none, reads give Null or '' and writes do nothing.
    Variant ValueOf(int AIndex, TvlValueDef* ADef) const;
    // Null marks the value null and keeps its text; a value that does not
    // convert raises the variant conversion error and leaves the record as it was.
    void PutValue(int AIndex, TvlValueDef* ADef, const Variant& AValue);
    String TextOf(int AIndex, TvlValueDef* ADef) const;
    void PutText(int AIndex, TvlValueDef* ADef, const String& AText);
    int32_t RecordIdOf(int AIndex);
    void PutRecordId(int AIndex, int32_t AId);
    int CompareRecordValues(int AIndex1, int AIndex2, TvlValueDef* ADef) const;
    // True (null) when the record has no buffer or the value is null; else
    // APrepared is the value's prepared form.
    bool CompareInfoOf(int AIndex, TvlValueDef* ADef, const TvlValueData*& APrepared) const;
    void FillRecord(int AIndex, TvlValueDefReader* AReader);
    void CopyRecordWith(int ASrcIndex, int ADestIndex, TvlValueDefReader* AReader, const TvlCopyRecordProc& AProc);

    // Modes. Switching either with records present keeps their values
    // (a definition that stops being kept loses its own); ids switched on
    // are handed out to the ordinary records in order.
    bool KeptValuesOnly() const { return FKeptValuesOnly; }
    void SetKeptValuesOnly(bool Value);
    bool WithRecordIds() const { return FWithRecordIds; }
    void SetWithRecordIds(bool Value);
    int32_t NextRecordId() const { return FNextRecordId; }

    // Streaming order for the data controller's stream.
    void BeginStreamOrder(TvlCompareDefsFunc ACompare);
    void EndStreamOrder();
    bool HasStreamOrder() const { return FStreamOrder.has_value(); }

    // The record stream: "VXUFMT", the no-buffer byte, the id when ids are
    // on, then per streamed definition its null flag (1 = null), the value
    // and the text when texts are kept.
    void WriteRecordToStream(int AIndex, TStream* AStream);
    // Reads a record written by WriteRecordToStream ("VXAFMT" or no
    // signature: 8-bit texts). A refused stream (damaged, cut short)
    // raises EReadError and leaves the record as it was.
    void ReadRecordFromStream(int AIndex, TStream* AStream);
    // Reads ACount records as ReadRecordFromStream would read them into
    // records without buffers, changing nothing here; a count larger than
    // the bytes left is refused at once.
    TvlStreamedRecords ReadRecordsFromStream(TStream* AStream, int ACount);
    // The records read become the ordinary records (ids included).
    void ReplaceRecords(TvlStreamedRecords&& ARecords);

    TNotifyEvent OnInternalRecordsCleared;

protected:
    virtual void DefinitionsChanged(TvlValueDef* ADef, bool ALayoutChanged) { (void)ADef; (void)ALayoutChanged; }

private:
    friend class TvlValueDefs;
    friend class TvlValueDef;
    using TBufferPtr = std::unique_ptr<TvlRecordBuffer>;

    TBufferPtr& entry(int AIndex);
    const TBufferPtr& entry(int AIndex) const;
    // The definition to use for AIndex and its slot, or nullptr.
    TvlValueDef* resolve(int AIndex, TvlValueDef* ADef) const;
    TvlRecordSlot* slotOf(TvlRecordBuffer* buffer, TvlValueDef* def) const;
    const TvlRecordSlot* slotOf(const TvlRecordBuffer* buffer, const TvlValueDef* def) const;
    void growRecordsFor(TvlValueDef* ADef);
    void shrinkRecordsFor(TvlValueDef* ADef);
    void assignIds();
    void writeRecordBody(int AIndex, TStream* AStream, bool AUnicode);
    void readRecordBody(int AIndex, TStream* AStream, bool AUnicode);
    void readRecordInto(TBufferPtr& target, TvlValueDefs* defs, TStream* AStream, bool AUnicode,
                        int32_t& ANextRecordId);

    std::vector<TBufferPtr> FInternalRecords;
    std::unique_ptr<TvlInternalValueDefs> FInternalValueDefs;
    bool FKeptValuesOnly = false;
    std::vector<TBufferPtr> FRecords;
    int32_t FNextRecordId = 1;
    bool FWithRecordIds = false;
    std::unique_ptr<TvlValueDefs> FValueDefs;
    std::optional<std::vector<TvlValueDef*>> FStreamOrder;
};
