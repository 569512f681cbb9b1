// Feeds arbitrary bytes to the component stream reader: it must accept or
// refuse with a read error, never crash or allocate beyond the input, and
// whatever it accepts must write again.
#include <cstddef>
#include <cstdint>

#include "platform/rtl/Collection.h"
#include "platform/rtl/Filer.h"
#include "platform/rtl/TypInfo.h"

namespace {

class Item : public TCollectionItem {
public:
    using TCollectionItem::TCollectionItem;
    const TClassInfo* ClassInfo() const override { return &StaticClassInfo(); }
    static const TClassInfo& StaticClassInfo()
    {
        static const TClassInfo info = TClassInfoBuilder<Item>("TItem", &TCollectionItem::StaticClassInfo())
                                           .Str("Text", [](const Item& i) { return i.Text; },
                                                [](Item& i, const String& v) { i.Text = v; })
                                           .Build();
        return info;
    }
    String Text;
};

class Holder : public TComponent {
public:
    Holder() : TComponent(nullptr), Items(ItemClassOf<Item>()) {}
    String ClassName() const override { return String::fromLatin1("THolder"); }
    const TClassInfo* ClassInfo() const override { return &StaticClassInfo(); }
    static const TClassInfo& StaticClassInfo()
    {
        static const TClassInfo info =
            TClassInfoBuilder<Holder>("THolder", &TComponent::StaticClassInfo())
                .Int("Count", [](const Holder& h) { return h.Count; }, [](Holder& h, int v) { h.Count = v; }, 0)
                .Float("Scale", [](const Holder& h) { return h.Scale; }, [](Holder& h, double v) { h.Scale = v; })
                .Bool("On", [](const Holder& h) { return h.On; }, [](Holder& h, bool v) { h.On = v; }, false)
                .Binary("Data", [](const Holder& h) { return h.Data; },
                        [](Holder& h, const QByteArray& v) { h.Data = v; })
                .Collection("Items", [](const Holder& h) { return const_cast<TCollection*>(&h.Items); })
                .Build();
        return info;
    }
    int Count = 0;
    double Scale = 0;
    bool On = false;
    QByteArray Data;
    TCollection Items;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Holder holder;
    TMemoryStream stream;
    stream.WriteBuffer(data, int64_t(size));
    stream.SetPosition(0);
    try {
        ReadComponent(&stream, &holder);
    } catch (const EReadError&) {
        return 0;
    }
    TMemoryStream out;
    WriteComponent(&out, &holder);
    return 0;
}
