// Filer.h - component streaming: a component's published properties (the
// property tables), nested objects and collections written to a binary
// stream and read back onto an instance of the same class.
//
// Layout (little-endian): the 4 bytes "VLCS", a version byte (1), the class
// name and the component name (wide strings: int32 count, UTF-16 units),
// then the property list. A property list is a sequence of (wide name, tag
// byte, payload) ended by an empty name. Tags: 1 ordinal (int64), 2 float
// (double), 3 text (wide string), 4 bytes (int32 count, bytes), 5 object
// (a nested property list), 6 collection (int32 count, then one property
// list per item).
#pragma once
#include "platform/rtl/Component.h"
#include "platform/rtl/Stream.h"

// Writes AInstance's stored properties.
void WriteComponent(TStream* AStream, const TComponent* AInstance);

// Reads a stream written by WriteComponent onto AInstance (of the class it
// names). The whole stream is checked before any property is set: damage
// (a wrong header or class, a count or length beyond the data, nesting
// deeper than 32, an unknown tag) raises EReadError "Stream read error", an
// unknown property EReadError "Property X does not exist", and a value the
// property cannot take EReadError "Invalid property value".
void ReadComponent(TStream* AStream, TComponent* AInstance);
