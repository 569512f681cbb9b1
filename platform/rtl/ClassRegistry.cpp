#include "platform/rtl/ClassRegistry.h"

#include <vector>

#include "platform/rtl/TypInfo.h"

namespace {

struct TRegisteredClass {
    const TClassInfo* Class;
    TClassFactory Factory;
};

// Main thread only, as the original registry was.
std::vector<TRegisteredClass>& registry()
{
    static std::vector<TRegisteredClass> classes;
    return classes;
}

TRegisteredClass* findByName(const String& name)
{
    for (TRegisteredClass& c : registry())
        if (c.Class->ClassName.compare(name, Qt::CaseInsensitive) == 0)
            return &c;
    return nullptr;
}

}  // namespace

void RegisterClass(const TClassInfo* AClass, TClassFactory Factory)
{
    if (AClass == nullptr)
        return;
    if (TRegisteredClass* known = findByName(AClass->ClassName)) {
        if (known->Class != AClass)
            throw EComponentError(LoadResStringFmt(RtlConsts::SDuplicateClass, {AClass->ClassName}));
        return;
    }
    registry().push_back({AClass, std::move(Factory)});
}

void UnRegisterClass(const TClassInfo* AClass)
{
    auto& classes = registry();
    std::erase_if(classes, [&](const TRegisteredClass& c) { return c.Class == AClass; });
}

const TClassInfo* GetClass(const String& ClassName)
{
    const TRegisteredClass* c = findByName(ClassName);
    return c != nullptr ? c->Class : nullptr;
}

const TClassInfo* FindClass(const String& ClassName)
{
    const TClassInfo* c = GetClass(ClassName);
    if (c == nullptr)
        throw EClassNotFound(LoadResStringFmt(RtlConsts::SClassNotFound, {ClassName}));
    return c;
}

TClassFactory GetClassFactory(const TClassInfo* AClass)
{
    for (const TRegisteredClass& c : registry())
        if (c.Class == AClass)
            return c.Factory;
    return {};
}
