// ClassRegistry.h - the streaming class registry: class names mapped to their
// class information and a factory, so that stored data can name a class and
// get an instance back.
#pragma once
#include <functional>

#include "platform/rtl/Component.h"
#include "platform/rtl/Exception.h"
#include "platform/rtl/ResString.h"

namespace RtlConsts {
VORLANE_RESOURCESTRING(SClassNotFound, "Class %s not found");
VORLANE_RESOURCESTRING(SDuplicateClass, "A class named %s already exists");
}  // namespace RtlConsts

VORLANE_DECLARE_EXCEPTION(EClassNotFound, Exception);

// Makes an instance. A component is made with AOwner, which then owns and
// frees it; anything else belongs to the caller.
using TClassFactory = std::function<TPersistent*(TComponent* AOwner)>;

// Registering the same class again changes nothing; another class under a
// registered name raises EComponentError ("A class named X already exists").
// Names are compared without regard to case.
void RegisterClass(const TClassInfo* AClass, TClassFactory Factory);
void UnRegisterClass(const TClassInfo* AClass);
// nullptr when no class of that name is registered.
const TClassInfo* GetClass(const String& ClassName);
// EClassNotFound ("Class X not found") when none is registered.
const TClassInfo* FindClass(const String& ClassName);
// The factory of a registered class; empty for an unregistered one.
TClassFactory GetClassFactory(const TClassInfo* AClass);
