// SknSubClass.h - what the control skinners share: reading and writing
// published properties by name (so that controls of any class can be
// skinned without knowing it), and a caption centred in a rectangle.
#pragma once
#include <cstdint>

#include "platform/rtl/String.h"
#include "platform/rtl/Types.h"

class TCanvas;
class TComponent;
class TObject;

// Every routine answers the empty value, or does nothing, for a nil object
// or an object without such a published property.

// An integer property's value; -1 for any other kind.
int GetIntPropByName(const TComponent* Component, const String& Name);
// The value as text: an enumeration's value name ("tsTabs", "True").
String GetEnumPropByName(const TComponent* Component, const String& Name);
// A text property as it stands; any other kind as its text, narrowed to
// single-byte characters (others become '?').
String GetWideStrPropByName(const TObject* Object, const String& Name);
// The object of an object property; the second form only when it is a T.
TObject* GetObjectPropByName(const TComponent* Component, const String& Name);
template <class T>
T* GetObjectPropByName(const TComponent* Component, const String& Name)
{
    return dynamic_cast<T*>(GetObjectPropByName(Component, Name));
}
// Integers from decimal text, enumerations by value name, text as text;
// other kinds and read-only properties stay as they are.
void SetPropByName(TComponent* Component, const String& Name, const String& Value);

// Alignment of DrawCentredCaption (DrawText's).
enum TCaptionAlignment : uint32_t { caLeft = 0x0, caCentre = 0x1, caRight = 0x2 };
// One line of Text centred in R both ways, in the canvas's font (regular
// style) over a clear background; the button-shadow colour when disabled.
void DrawCentredCaption(TCanvas* Canvas, const TRect& R, const String& Text, TCaptionAlignment Alignment,
                        bool Enabled);
