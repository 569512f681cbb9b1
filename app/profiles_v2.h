// profiles_v2.h - the typed view of the output profile document: one class per
// element kind, whose accessors read and write attributes, children and list items by name.
#pragma once
#include <memory>

#include <QDomDocument>
#include <QDomElement>

#include "platform/rtl/Exception.h"
#include "platform/rtl/ResString.h"
#include "platform/rtl/String.h"

namespace ProfilesConsts {
VORLANE_RESOURCESTRING(SDOMParseError, "%s: %s (line %d, column %d)");
VORLANE_RESOURCESTRING(SDocElementMissing, "The document element is \"%s\", expected \"%s\"");
VORLANE_RESOURCESTRING(SNodeNotCreated, "Node \"%s\" cannot be created: its parent does not exist");
}  // namespace ProfilesConsts

VORLANE_DECLARE_EXCEPTION(EXMLDocError, Exception);
VORLANE_DECLARE_EXCEPTION(EDOMParseError, EXMLDocError);

// Parses an XML text; a text that is not well-formed raises EDOMParseError
// naming Source, the parser's message and the place.
QDomDocument LoadXMLDocument(const AnsiString& Data, const String& Source);
// The document carried in the program under a resource name (found ignoring
// case, so "video" finds "VIDEO"); a missing one raises EResNotFound.
QDomDocument LoadProfilesFromResource(const String& ResourceName);

// One element of the document, or the place of one that is missing: a missing
// element reads as empty (no text, no attributes, no items) and is created
// under its parent when something is written to it.
class TXMLNode {
public:
    TXMLNode() = default;
    TXMLNode(const QDomDocument& Document, const QDomElement& Element, std::shared_ptr<const TXMLNode> Parent,
             const String& TagName);

    bool IsNull() const { return FElement.isNull(); }
    const String& NodeName() const { return FTagName; }
    QDomElement DOMElement() const { return FElement; }
    QDomDocument OwnerDocument() const { return FDocument; }

    String Text() const;
    void SetText(const String& Value);

    bool HasAttribute(const String& Name) const;
    // The attribute's text; empty when it is missing.
    String AttributeText(const String& Name) const;
    // The attribute converted to an integer; 0 when missing, EConvertError
    // when it holds no integer.
    int AttributeInt(const String& Name) const;
    // Creates the attribute (and the element, when missing).
    void SetAttribute(const String& Name, const String& Value);
    void SetAttribute(const String& Name, int Value);

    // The first child element of that name (possibly missing).
    TXMLNode ChildNode(const String& TagName) const;

protected:
    // The element, created (with its missing ancestors) when it does not exist.
    QDomElement Materialize() const;

private:
    QDomDocument FDocument;  // keeps the document alive while a node of it is held
    mutable QDomElement FElement;
    std::shared_ptr<const TXMLNode> FParent;  // where a missing element is created
    String FTagName;
};

// An element whose children of one tag are its items, in document order.
class TXMLNodeCollection : public TXMLNode {
public:
    TXMLNodeCollection() = default;
    TXMLNodeCollection(const TXMLNode& Node, const String& ItemTag) : TXMLNode(Node), FItemTag(ItemTag) {}

    const String& ItemTag() const { return FItemTag; }
    int Count() const;
    // The item at Index; EListError outside 0..Count-1.
    TXMLNode ItemNode(int Index) const;
    void Delete(int Index);
    void Clear();

protected:
    TXMLNode AddItem();
    TXMLNode InsertItem(int Index);
    // Plain items: their text read as a value.
    String ItemText(int Index) const { return ItemNode(Index).Text(); }
    int ItemInt(int Index) const;
    double ItemFloat(int Index) const;

private:
    String FItemTag;
};

// Attribute accessors of the binding: a text attribute reads as text, an int
// attribute as an integer; each has its setter.
#define VORLANE_XML_TEXT_ATTR(Prop, attr)                                   \
    String Prop() const { return AttributeText(QStringLiteral(attr)); }    \
    void Set##Prop(const String& Value) { SetAttribute(QStringLiteral(attr), Value); }
#define VORLANE_XML_INT_ATTR(Prop, attr)                                    \
    int Prop() const { return AttributeInt(QStringLiteral(attr)); }        \
    void Set##Prop(int Value) { SetAttribute(QStringLiteral(attr), Value); }
#define VORLANE_XML_CHILD(Type, Prop, tag) \
    Type Prop() const { return Type(ChildNode(QStringLiteral(tag))); }

// Constructors shared by every binding class.
#define VORLANE_XML_NODE_CLASS(Class)                                      \
    Class() = default;                                                   \
    explicit Class(const TXMLNode& Node) : TXMLNode(Node) {}
#define VORLANE_XML_LIST_CLASS(Class, Base, itemTag)                       \
    Class() = default;                                                   \
    explicit Class(const TXMLNode& Node) : Base(Node, QStringLiteral(itemTag)) {}

// A "value" element: its text, and default "1" for the preselected item.
class TXMLValueType : public TXMLNode {
public:
    VORLANE_XML_NODE_CLASS(TXMLValueType)
    VORLANE_XML_INT_ATTR(Default, "default")
};

// A list whose items are value elements.
class TXMLValueList : public TXMLNodeCollection {
public:
    using TXMLNodeCollection::TXMLNodeCollection;
    TXMLValueType Value(int Index) const { return TXMLValueType(ItemNode(Index)); }
    TXMLValueType Add() { return TXMLValueType(AddItem()); }
    TXMLValueType Insert(int Index) { return TXMLValueType(InsertItem(Index)); }
};

// Lists of plain items read as text, integers or floating-point numbers.
class TXMLTextList : public TXMLNodeCollection {
public:
    using TXMLNodeCollection::TXMLNodeCollection;
    String Value(int Index) const { return ItemText(Index); }
    TXMLNode Add(const String& Value);
    TXMLNode Insert(int Index, const String& Value);
};
class TXMLIntList : public TXMLNodeCollection {
public:
    using TXMLNodeCollection::TXMLNodeCollection;
    int Value(int Index) const { return ItemInt(Index); }
    TXMLNode Add(int Value);
    TXMLNode Insert(int Index, int Value);
};
class TXMLFloatList : public TXMLNodeCollection {
public:
    using TXMLNodeCollection::TXMLNodeCollection;
    double Value(int Index) const { return ItemFloat(Index); }
    TXMLNode Add(double Value);
    TXMLNode Insert(int Index, double Value);
};

class TXMLCodecType : public TXMLValueList {
public:
    VORLANE_XML_LIST_CLASS(TXMLCodecType, TXMLValueList, "value")
    VORLANE_XML_TEXT_ATTR(Name, "name")
    VORLANE_XML_INT_ATTR(Visible, "visible")
    VORLANE_XML_INT_ATTR(Readonly, "readonly")
    VORLANE_XML_TEXT_ATTR(Desc, "desc")
};

class TXMLSizeType : public TXMLValueList {
public:
    VORLANE_XML_LIST_CLASS(TXMLSizeType, TXMLValueList, "value")
    VORLANE_XML_TEXT_ATTR(Name, "name")
    VORLANE_XML_INT_ATTR(Visible, "visible")
    VORLANE_XML_INT_ATTR(Editable, "editable")
    VORLANE_XML_INT_ATTR(Validchar, "validchar")
    VORLANE_XML_INT_ATTR(Readonly, "readonly")
    VORLANE_XML_TEXT_ATTR(Desc, "desc")
    VORLANE_XML_TEXT_ATTR(Editmask, "editmask")
};

class TXMLBitrateType : public TXMLFloatList {
public:
    VORLANE_XML_LIST_CLASS(TXMLBitrateType, TXMLFloatList, "value")
    VORLANE_XML_TEXT_ATTR(Name, "name")
    VORLANE_XML_INT_ATTR(Editable, "editable")
    VORLANE_XML_INT_ATTR(Validchar, "validchar")
    VORLANE_XML_INT_ATTR(Visible, "visible")
    VORLANE_XML_INT_ATTR(Maxchar, "maxchar")
    VORLANE_XML_TEXT_ATTR(Desc, "desc")
};

class TXMLFramerateType : public TXMLTextList {
public:
    VORLANE_XML_LIST_CLASS(TXMLFramerateType, TXMLTextList, "value")
    VORLANE_XML_TEXT_ATTR(Name, "name")
    VORLANE_XML_INT_ATTR(Editable, "editable")
    VORLANE_XML_INT_ATTR(Validchar, "validchar")
    VORLANE_XML_INT_ATTR(Visible, "visible")
    VORLANE_XML_INT_ATTR(Readonly, "readonly")
    VORLANE_XML_INT_ATTR(Enabled, "enabled")
};

class TXMLAspectType : public TXMLTextList {
public:
    VORLANE_XML_LIST_CLASS(TXMLAspectType, TXMLTextList, "value")
    VORLANE_XML_TEXT_ATTR(Name, "name")
    VORLANE_XML_INT_ATTR(Visible, "visible")
};

class TXMLVideotagType : public TXMLNode {
public:
    VORLANE_XML_NODE_CLASS(TXMLVideotagType)
    VORLANE_XML_TEXT_ATTR(Name, "name")
    VORLANE_XML_INT_ATTR(Visible, "visible")
    String Value() const { return ChildNode(QStringLiteral("value")).Text(); }
    void SetValue(const String& Value) { ChildNode(QStringLiteral("value")).SetText(Value); }
};

class TXMLVideopresetType : public TXMLTextList {
public:
    VORLANE_XML_LIST_CLASS(TXMLVideopresetType, TXMLTextList, "value")
    VORLANE_XML_TEXT_ATTR(Name, "name")
    VORLANE_XML_INT_ATTR(Editable, "editable")
    VORLANE_XML_INT_ATTR(Visible, "visible")
};

class TXMLLevelType : public TXMLNode {
public:
    VORLANE_XML_NODE_CLASS(TXMLLevelType)
    VORLANE_XML_TEXT_ATTR(Name, "name")
    VORLANE_XML_INT_ATTR(Visible, "visible")
    VORLANE_XML_CHILD(TXMLValueType, Value, "value")
};

class TXMLTvtypeType : public TXMLTextList {
public:
    VORLANE_XML_LIST_CLASS(TXMLTvtypeType, TXMLTextList, "value")
    VORLANE_XML_TEXT_ATTR(Name, "name")
    VORLANE_XML_TEXT_ATTR(Desc, "desc")
    VORLANE_XML_INT_ATTR(Visible, "visible")
    VORLANE_XML_INT_ATTR(Enabled, "enabled")
};

class TXMLPixelformatType : public TXMLTextList {
public:
    VORLANE_XML_LIST_CLASS(TXMLPixelformatType, TXMLTextList, "value")
    VORLANE_XML_TEXT_ATTR(Name, "name")
    VORLANE_XML_TEXT_ATTR(Desc, "desc")
    VORLANE_XML_INT_ATTR(Visible, "visible")
};

class TXMLInterlacedType : public TXMLTextList {
public:
    VORLANE_XML_LIST_CLASS(TXMLInterlacedType, TXMLTextList, "value")
    VORLANE_XML_TEXT_ATTR(Name, "name")
    VORLANE_XML_INT_ATTR(Visible, "visible")
    VORLANE_XML_INT_ATTR(Editable, "editable")
};

class TXMLAuthorType : public TXMLValueList {
public:
    VORLANE_XML_LIST_CLASS(TXMLAuthorType, TXMLValueList, "value")
    VORLANE_XML_TEXT_ATTR(Name, "name")
    VORLANE_XML_INT_ATTR(Visible, "visible")
};

// option/video: the preset's frame rate text and video bit rate.
class TXMLVideoType2 : public TXMLNode {
public:
    VORLANE_XML_NODE_CLASS(TXMLVideoType2)
    VORLANE_XML_TEXT_ATTR(Framerate, "framerate")
    VORLANE_XML_INT_ATTR(Bitrate, "bitrate")
};

// option/audio.
class TXMLAudioType : public TXMLNode {
public:
    VORLANE_XML_NODE_CLASS(TXMLAudioType)
    VORLANE_XML_INT_ATTR(Bitrate, "bitrate")
    VORLANE_XML_INT_ATTR(Samplerate, "samplerate")
    VORLANE_XML_INT_ATTR(Channels, "channels")
};

class TXMLOptionType : public TXMLNode {
public:
    VORLANE_XML_NODE_CLASS(TXMLOptionType)
    VORLANE_XML_TEXT_ATTR(Name, "name")
    VORLANE_XML_INT_ATTR(Default, "default")
    VORLANE_XML_CHILD(TXMLVideoType2, Video, "video")
    VORLANE_XML_CHILD(TXMLAudioType, Audio, "audio")
};

class TXMLQualityType : public TXMLNodeCollection {
public:
    VORLANE_XML_LIST_CLASS(TXMLQualityType, TXMLNodeCollection, "option")
    VORLANE_XML_TEXT_ATTR(Name, "name")
    VORLANE_XML_INT_ATTR(Visible, "visible")
    TXMLOptionType Option(int Index) const { return TXMLOptionType(ItemNode(Index)); }
    TXMLOptionType Add() { return TXMLOptionType(AddItem()); }
    TXMLOptionType Insert(int Index) { return TXMLOptionType(InsertItem(Index)); }
};

// params/video.
class TXMLVideoType : public TXMLNode {
public:
    VORLANE_XML_NODE_CLASS(TXMLVideoType)
    VORLANE_XML_CHILD(TXMLQualityType, Quality, "quality")
    VORLANE_XML_CHILD(TXMLCodecType, Codec, "codec")
    VORLANE_XML_CHILD(TXMLSizeType, Size, "size")
    VORLANE_XML_CHILD(TXMLBitrateType, Bitrate, "bitrate")
    VORLANE_XML_CHILD(TXMLFramerateType, Framerate, "framerate")
    VORLANE_XML_CHILD(TXMLAspectType, Aspect, "aspect")
    VORLANE_XML_CHILD(TXMLVideotagType, Videotag, "videotag")
    VORLANE_XML_CHILD(TXMLVideopresetType, Videopreset, "videopreset")
    VORLANE_XML_CHILD(TXMLLevelType, Level, "level")
    VORLANE_XML_CHILD(TXMLTvtypeType, Tvtype, "tvtype")
    VORLANE_XML_CHILD(TXMLPixelformatType, Pixelformat, "pixelformat")
    VORLANE_XML_CHILD(TXMLInterlacedType, Interlaced, "interlaced")
    VORLANE_XML_CHILD(TXMLAuthorType, Author, "author")
};

class TXMLSamplerateType : public TXMLIntList {
public:
    VORLANE_XML_LIST_CLASS(TXMLSamplerateType, TXMLIntList, "value")
    VORLANE_XML_TEXT_ATTR(Name, "name")
    VORLANE_XML_INT_ATTR(Visible, "visible")
    VORLANE_XML_INT_ATTR(Readonly, "readonly")
};

class TXMLChannelType : public TXMLIntList {
public:
    VORLANE_XML_LIST_CLASS(TXMLChannelType, TXMLIntList, "value")
    VORLANE_XML_TEXT_ATTR(Name, "name")
    VORLANE_XML_INT_ATTR(Visible, "visible")
    VORLANE_XML_INT_ATTR(Editable, "editable")
    VORLANE_XML_INT_ATTR(Readonly, "readonly")
};

class TXMLDisable_streamType : public TXMLTextList {
public:
    VORLANE_XML_LIST_CLASS(TXMLDisable_streamType, TXMLTextList, "value")
    VORLANE_XML_TEXT_ATTR(Name, "name")
    VORLANE_XML_INT_ATTR(Visible, "visible")
    VORLANE_XML_INT_ATTR(Readonly, "readonly")
};

class TXMLAv_syncType : public TXMLTextList {
public:
    VORLANE_XML_LIST_CLASS(TXMLAv_syncType, TXMLTextList, "value")
    VORLANE_XML_TEXT_ATTR(Name, "name")
    VORLANE_XML_INT_ATTR(Visible, "visible")
};

class TXMLDelayaudioType : public TXMLTextList {
public:
    VORLANE_XML_LIST_CLASS(TXMLDelayaudioType, TXMLTextList, "value")
    VORLANE_XML_TEXT_ATTR(Name, "name")
    VORLANE_XML_INT_ATTR(Visible, "visible")
};

class TXMLDisable_streamvideoType : public TXMLValueList {
public:
    VORLANE_XML_LIST_CLASS(TXMLDisable_streamvideoType, TXMLValueList, "value")
    VORLANE_XML_TEXT_ATTR(Name, "name")
    VORLANE_XML_INT_ATTR(Visible, "visible")
};

// params/audio.
class TXMLAudioType2 : public TXMLNode {
public:
    VORLANE_XML_NODE_CLASS(TXMLAudioType2)
    VORLANE_XML_CHILD(TXMLCodecType, Codec, "codec")
    VORLANE_XML_CHILD(TXMLBitrateType, Bitrate, "bitrate")
    VORLANE_XML_CHILD(TXMLSamplerateType, Samplerate, "samplerate")
    VORLANE_XML_CHILD(TXMLChannelType, Channel, "channel")
    VORLANE_XML_CHILD(TXMLDisable_streamType, Disable_stream, "disable_stream")
    VORLANE_XML_CHILD(TXMLAv_syncType, Av_sync, "av_sync")
    VORLANE_XML_CHILD(TXMLDelayaudioType, Delayaudio, "delayaudio")
    VORLANE_XML_CHILD(TXMLQualityType, Quality, "quality")
    VORLANE_XML_CHILD(TXMLDisable_streamvideoType, Disable_streamvideo, "disable_streamvideo")
};

class TXMLParamsType : public TXMLNode {
public:
    VORLANE_XML_NODE_CLASS(TXMLParamsType)
    VORLANE_XML_CHILD(TXMLVideoType, Video, "video")
    VORLANE_XML_CHILD(TXMLAudioType2, Audio, "audio")
};

class TXMLCommandType : public TXMLNode {
public:
    VORLANE_XML_NODE_CLASS(TXMLCommandType)
    VORLANE_XML_TEXT_ATTR(Type, "type")
    VORLANE_XML_TEXT_ATTR(Name, "name")
    VORLANE_XML_TEXT_ATTR(Output, "output")
    VORLANE_XML_TEXT_ATTR(Extra, "extra")
};

class TXMLCommandsType : public TXMLNodeCollection {
public:
    VORLANE_XML_LIST_CLASS(TXMLCommandsType, TXMLNodeCollection, "command")
    TXMLCommandType Command(int Index) const { return TXMLCommandType(ItemNode(Index)); }
    TXMLCommandType Add() { return TXMLCommandType(AddItem()); }
    TXMLCommandType Insert(int Index) { return TXMLCommandType(InsertItem(Index)); }
};

class TXMLProfileType : public TXMLNode {
public:
    VORLANE_XML_NODE_CLASS(TXMLProfileType)
    VORLANE_XML_TEXT_ATTR(Name, "name")
    VORLANE_XML_TEXT_ATTR(Groups, "groups")
    VORLANE_XML_TEXT_ATTR(Target_device, "target_device")
    VORLANE_XML_TEXT_ATTR(File_ext, "file_ext")
    VORLANE_XML_TEXT_ATTR(Desc, "desc")
    VORLANE_XML_TEXT_ATTR(Folder, "folder")
    VORLANE_XML_CHILD(TXMLParamsType, Params, "params")
    VORLANE_XML_CHILD(TXMLCommandsType, Commands, "commands")
};

class TXMLProfilesType : public TXMLNodeCollection {
public:
    VORLANE_XML_LIST_CLASS(TXMLProfilesType, TXMLNodeCollection, "profile")
    TXMLProfileType Profile(int Index) const { return TXMLProfileType(ItemNode(Index)); }
    TXMLProfileType Add() { return TXMLProfileType(AddItem()); }
    TXMLProfileType Insert(int Index) { return TXMLProfileType(InsertItem(Index)); }
};

class TXMLGroupType : public TXMLNode {
public:
    VORLANE_XML_NODE_CLASS(TXMLGroupType)
    VORLANE_XML_TEXT_ATTR(Name, "name")
    VORLANE_XML_TEXT_ATTR(Icon, "icon")
    VORLANE_XML_TEXT_ATTR(Desc, "desc")
    VORLANE_XML_TEXT_ATTR(Pane, "pane")
};

class TXMLGroupsType : public TXMLNodeCollection {
public:
    VORLANE_XML_LIST_CLASS(TXMLGroupsType, TXMLNodeCollection, "group")
    TXMLGroupType Group(int Index) const { return TXMLGroupType(ItemNode(Index)); }
    TXMLGroupType Add() { return TXMLGroupType(AddItem()); }
    TXMLGroupType Insert(int Index) { return TXMLGroupType(InsertItem(Index)); }
};

class TXMLRootType : public TXMLNode {
public:
    VORLANE_XML_NODE_CLASS(TXMLRootType)
    VORLANE_XML_CHILD(TXMLGroupsType, Groups, "groups")
    VORLANE_XML_CHILD(TXMLProfilesType, Profiles, "profiles")
};

// Binds the document element "root"; a document whose element has another
// name (or none) raises EXMLDocError.
TXMLRootType Getroot(const QDomDocument& Document);
