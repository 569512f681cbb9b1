#include <gtest/gtest.h>

#include "platform/rtl/ClassRegistry.h"
#include "platform/rtl/TypInfo.h"

namespace {

class TRegThing : public TPersistent {
public:
    String ClassName() const override { return String::fromLatin1("TRegThing"); }
};

TEST(ClassRegistry, NamesFindTheirClassAndFactory)
{
    static const TClassInfo thing{String::fromLatin1("TRegThing"), nullptr, {}};
    static const TClassInfo other{String::fromLatin1("tregthing"), nullptr, {}};
    EXPECT_EQ(GetClass(QStringLiteral("TRegThing")), nullptr);
    EXPECT_THROW(FindClass(QStringLiteral("TRegThing")), EClassNotFound);
    RegisterClass(&thing, [](TComponent*) -> TPersistent* { return new TRegThing; });
    RegisterClass(&thing, {});  // again: nothing changes
    EXPECT_THROW(RegisterClass(&other, {}), EComponentError);
    EXPECT_EQ(FindClass(QStringLiteral("TREGTHING")), &thing);
    const std::unique_ptr<TPersistent> made(GetClassFactory(&thing)(nullptr));
    EXPECT_EQ(made->ClassName(), QStringLiteral("TRegThing"));
    UnRegisterClass(&thing);
    EXPECT_EQ(GetClass(QStringLiteral("TRegThing")), nullptr);
    EXPECT_FALSE(GetClassFactory(&thing));
}

}  // namespace
