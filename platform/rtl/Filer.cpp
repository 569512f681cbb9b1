#include "platform/rtl/Filer.h"

#include <cstring>
#include <memory>
#include <vector>

#include "platform/rtl/Collection.h"
#include "platform/rtl/ResString.h"
#include "platform/rtl/TypInfo.h"

namespace {

constexpr char signature[4] = {'V', 'L', 'C', 'S'};
constexpr uint8_t formatVersion = 1;
// Objects inside objects: no stored form nests this deep.
constexpr int maxNesting = 32;

enum Tag : uint8_t { tagOrdinal = 1, tagFloat, tagText, tagBytes, tagObject, tagCollection };

[[noreturn]] void damaged() { throw EReadError(LoadResString(RtlConsts::SReadError)); }

// ---- writing

void writeProperties(TStream* AStream, const TObject* AInstance);

void writeProperty(TStream* AStream, const TObject* AInstance, const TPropInfo* AProp)
{
    switch (AProp->Kind) {
    case tkClass: {
        TObject* object = GetObjectProp(AInstance, AProp);
        if (object == nullptr || !IsStoredProp(AInstance, AProp))
            return;
        if (auto* collection = dynamic_cast<TCollection*>(object)) {
            if (collection->Count() == 0)
                return;
            AStream->WriteWideString(AProp->Name);
            AStream->WriteByte(tagCollection);
            AStream->WriteInteger(collection->Count());
            for (int i = 0; i < collection->Count(); ++i)
                writeProperties(AStream, collection->Items(i));
            return;
        }
        if (dynamic_cast<TComponent*>(object) != nullptr && AProp->Setter)
            return;  // a reference to another component, not a part of this one
        AStream->WriteWideString(AProp->Name);
        AStream->WriteByte(tagObject);
        writeProperties(AStream, object);
        return;
    }
    case tkMethod:
        return;
    default:
        break;
    }
    if (AProp->ReadOnly() || !IsStoredProp(AInstance, AProp))
        return;
    AStream->WriteWideString(AProp->Name);
    const TPropValue value = AProp->Getter(AInstance);
    if (const auto* i = std::get_if<int64_t>(&value)) {
        AStream->WriteByte(tagOrdinal);
        AStream->WriteInt64(*i);
    } else if (const auto* d = std::get_if<double>(&value)) {
        AStream->WriteByte(tagFloat);
        AStream->WriteDouble(*d);
    } else if (const auto* s = std::get_if<String>(&value)) {
        AStream->WriteByte(tagText);
        AStream->WriteWideString(*s);
    } else if (const auto* b = std::get_if<QByteArray>(&value)) {
        AStream->WriteByte(tagBytes);
        AStream->WriteInteger(int32_t(b->size()));
        AStream->WriteBuffer(b->constData(), b->size());
    }
}

void writeProperties(TStream* AStream, const TObject* AInstance)
{
    for (const TPropInfo* prop : GetPropList(AInstance, tkProperties))
        writeProperty(AStream, AInstance, prop);
    AStream->WriteWideString(String());
}

// ---- reading: the whole stream becomes a tree first

struct Node;
using NodeList = std::vector<std::unique_ptr<Node>>;

struct Node {
    String Name;
    uint8_t Tag = 0;
    TPropValue Value;
    NodeList Children;             // an object's properties
    std::vector<NodeList> Items;   // a collection's items
};

int64_t bytesLeft(TStream* AStream) { return AStream->Size() - AStream->Position(); }

NodeList readProperties(TStream* AStream, int ADepth)
{
    if (ADepth > maxNesting)
        damaged();
    NodeList list;
    for (;;) {
        String name = AStream->ReadWideString();
        if (name.isEmpty())
            return list;
        auto node = std::make_unique<Node>();
        node->Name = std::move(name);
        node->Tag = AStream->ReadByte();
        switch (node->Tag) {
        case tagOrdinal: node->Value = AStream->ReadInt64(); break;
        case tagFloat: node->Value = AStream->ReadDouble(); break;
        case tagText: node->Value = AStream->ReadWideString(); break;
        case tagBytes: {
            const int32_t count = AStream->ReadInteger();
            if (count < 0 || count > bytesLeft(AStream))
                damaged();
            QByteArray bytes(count, Qt::Uninitialized);
            AStream->ReadBuffer(bytes.data(), count);
            node->Value = std::move(bytes);
            break;
        }
        case tagObject: node->Children = readProperties(AStream, ADepth + 1); break;
        case tagCollection: {
            const int32_t count = AStream->ReadInteger();
            // Every item takes at least its 4-byte end marker.
            if (count < 0 || count > bytesLeft(AStream) / 4)
                damaged();
            for (int32_t i = 0; i < count; ++i)
                node->Items.push_back(readProperties(AStream, ADepth + 1));
            break;
        }
        default: damaged();
        }
        list.push_back(std::move(node));
    }
}

// ---- reading: applying the tree

void applyProperties(TObject* AInstance, const NodeList& AList);

void applyProperty(TObject* AInstance, const Node& ANode)
{
    // The instance's own table, never a path into a nested object.
    const TClassInfo* info = AInstance->ClassInfo();
    const TPropInfo* prop = info != nullptr ? info->FindProp(ANode.Name) : nullptr;
    if (prop == nullptr)
        throw EReadError(LoadResStringFmt(RtlConsts::SUnknownProperty, {ANode.Name}));
    const bool ordinal = prop->Kind != tkFloat && prop->Kind != tkClass && prop->Kind != tkBinary &&
                         prop->Kind != tkString && prop->Kind != tkLString && prop->Kind != tkWString &&
                         prop->Kind != tkUString;
    const bool text = prop->Kind == tkString || prop->Kind == tkLString || prop->Kind == tkWString ||
                      prop->Kind == tkUString;
    const bool fits = (ANode.Tag == tagOrdinal && ordinal) || (ANode.Tag == tagFloat && prop->Kind == tkFloat) ||
                      (ANode.Tag == tagText && text) || (ANode.Tag == tagBytes && prop->Kind == tkBinary) ||
                      ((ANode.Tag == tagObject || ANode.Tag == tagCollection) && prop->Kind == tkClass);
    if (!fits)
        throw EReadError(LoadResString(RtlConsts::SInvalidPropertyValue));
    if (prop->Kind == tkClass) {
        TObject* object = GetObjectProp(AInstance, prop);
        if (object == nullptr)
            throw EReadError(LoadResString(RtlConsts::SInvalidPropertyValue));
        if (ANode.Tag == tagObject) {
            applyProperties(object, ANode.Children);
            return;
        }
        auto* collection = dynamic_cast<TCollection*>(object);
        if (collection == nullptr)
            throw EReadError(LoadResString(RtlConsts::SInvalidPropertyValue));
        collection->BeginUpdate();
        try {
            collection->Clear();
            for (const NodeList& item : ANode.Items)
                applyProperties(collection->Add(), item);
        } catch (...) {
            collection->EndUpdate();
            throw;
        }
        collection->EndUpdate();
        return;
    }
    if (prop->ReadOnly())
        throw EReadError(LoadResString(RtlConsts::SReadOnlyProperty));
    try {
        prop->Setter(AInstance, ANode.Value);
    } catch (const EPropertyError&) {
        throw EReadError(LoadResString(RtlConsts::SInvalidPropertyValue));
    }
}

void applyProperties(TObject* AInstance, const NodeList& AList)
{
    for (const auto& node : AList)
        applyProperty(AInstance, *node);
}

}  // namespace

void WriteComponent(TStream* AStream, const TComponent* AInstance)
{
    AStream->WriteBuffer(signature, sizeof signature);
    AStream->WriteByte(formatVersion);
    const TClassInfo* info = AInstance->ClassInfo();
    AStream->WriteWideString(info != nullptr ? info->ClassName : AInstance->ClassName());
    AStream->WriteWideString(AInstance->Name());
    writeProperties(AStream, AInstance);
}

void ReadComponent(TStream* AStream, TComponent* AInstance)
{
    char head[sizeof signature];
    AStream->ReadBuffer(head, sizeof head);
    if (std::memcmp(head, signature, sizeof head) != 0 || AStream->ReadByte() != formatVersion)
        damaged();
    const TClassInfo* info = AInstance->ClassInfo();
    const String className = AStream->ReadWideString();
    if (className.compare(info != nullptr ? info->ClassName : AInstance->ClassName(), Qt::CaseInsensitive) != 0)
        damaged();
    (void)AStream->ReadWideString();  // the name the component had: the instance keeps its own
    const NodeList properties = readProperties(AStream, 0);
    applyProperties(AInstance, properties);
}
