#include "app/profiles_v2.h"

#include <QDir>
#include <QFile>

#include "platform/rtl/SysUtils.h"

using namespace ProfilesConsts;

QDomDocument LoadXMLDocument(const AnsiString& Data, const String& Source)
{
    QDomDocument document;
    String message;
    int line = 0;
    int column = 0;
    if (!document.setContent(Data, &message, &line, &column))
        throw EDOMParseError(LoadResStringFmt(SDOMParseError, {Source, message, line, column}));
    return document;
}

QDomDocument LoadProfilesFromResource(const String& ResourceName)
{
    const QDir resources(QStringLiteral(":/"));
    for (const String& entry : resources.entryList(QDir::Files)) {
        if (entry.compare(ResourceName, Qt::CaseInsensitive) != 0)
            continue;
        QFile file(resources.filePath(entry));
        if (!file.open(QIODevice::ReadOnly))
            break;
        return LoadXMLDocument(file.readAll(), ResourceName);
    }
    throw EResNotFound(LoadResStringFmt(SResNotFound, {ResourceName}));
}

TXMLRootType Getroot(const QDomDocument& Document)
{
    const QDomElement element = Document.documentElement();
    const String root = QStringLiteral("root");
    if (element.isNull() || element.tagName() != root)
        throw EXMLDocError(LoadResStringFmt(SDocElementMissing, {element.tagName(), root}));
    return TXMLRootType(TXMLNode(Document, element, nullptr, root));
}

// ---- TXMLNode ------------------------------------------------------------------

TXMLNode::TXMLNode(const QDomDocument& Document, const QDomElement& Element, std::shared_ptr<const TXMLNode> Parent,
                   const String& TagName)
    : FDocument(Document), FElement(Element), FParent(std::move(Parent)), FTagName(TagName)
{
}

String TXMLNode::Text() const
{
    return FElement.text();
}

void TXMLNode::SetText(const String& Value)
{
    QDomElement element = Materialize();
    while (!element.firstChild().isNull())
        element.removeChild(element.firstChild());
    element.appendChild(FDocument.createTextNode(Value));
}

bool TXMLNode::HasAttribute(const String& Name) const
{
    return FElement.hasAttribute(Name);
}

String TXMLNode::AttributeText(const String& Name) const
{
    return FElement.attribute(Name);
}

static int toInteger(const String& text)
{
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    if (!ok)
        throw EConvertError(LoadResStringFmt(RtlConsts::SInvalidInteger, {text}));
    return value;
}

int TXMLNode::AttributeInt(const String& Name) const
{
    return HasAttribute(Name) ? toInteger(AttributeText(Name)) : 0;
}

void TXMLNode::SetAttribute(const String& Name, const String& Value)
{
    Materialize().setAttribute(Name, Value);
}

void TXMLNode::SetAttribute(const String& Name, int Value)
{
    Materialize().setAttribute(Name, String::number(Value));
}

TXMLNode TXMLNode::ChildNode(const String& TagName) const
{
    const QDomElement child = FElement.isNull() ? QDomElement() : FElement.firstChildElement(TagName);
    return TXMLNode(FDocument, child, std::make_shared<const TXMLNode>(*this), TagName);
}

QDomElement TXMLNode::Materialize() const
{
    if (!FElement.isNull())
        return FElement;
    if (!FParent)
        throw EXMLDocError(LoadResStringFmt(SNodeNotCreated, {FTagName}));
    QDomElement parent = FParent->Materialize();
    FElement = parent.firstChildElement(FTagName);
    if (FElement.isNull())
        FElement = parent.appendChild(OwnerDocument().createElement(FTagName)).toElement();
    return FElement;
}

// ---- TXMLNodeCollection ----------------------------------------------------------

int TXMLNodeCollection::Count() const
{
    int count = 0;
    for (QDomElement e = DOMElement().firstChildElement(FItemTag); !e.isNull(); e = e.nextSiblingElement(FItemTag))
        ++count;
    return count;
}

TXMLNode TXMLNodeCollection::ItemNode(int Index) const
{
    if (Index >= 0) {
        int i = 0;
        for (QDomElement e = DOMElement().firstChildElement(FItemTag); !e.isNull();
             e = e.nextSiblingElement(FItemTag), ++i) {
            if (i == Index)
                return TXMLNode(OwnerDocument(), e, std::make_shared<const TXMLNode>(*this), FItemTag);
        }
    }
    throw EListError(LoadResStringFmt(RtlConsts::SListIndexError, {Index}));
}

void TXMLNodeCollection::Delete(int Index)
{
    QDomElement item = ItemNode(Index).DOMElement();
    item.parentNode().removeChild(item);
}

void TXMLNodeCollection::Clear()
{
    for (int i = Count() - 1; i >= 0; --i)
        Delete(i);
}

TXMLNode TXMLNodeCollection::AddItem()
{
    QDomElement parent = Materialize();
    const QDomElement item = parent.appendChild(OwnerDocument().createElement(FItemTag)).toElement();
    return TXMLNode(OwnerDocument(), item, std::make_shared<const TXMLNode>(*this), FItemTag);
}

TXMLNode TXMLNodeCollection::InsertItem(int Index)
{
    if (Index >= Count())
        return AddItem();
    QDomElement parent = Materialize();
    const QDomElement before = ItemNode(Index).DOMElement();
    const QDomElement item = parent.insertBefore(OwnerDocument().createElement(FItemTag), before).toElement();
    return TXMLNode(OwnerDocument(), item, std::make_shared<const TXMLNode>(*this), FItemTag);
}

int TXMLNodeCollection::ItemInt(int Index) const
{
    return toInteger(ItemText(Index));
}

double TXMLNodeCollection::ItemFloat(int Index) const
{
    const String text = ItemText(Index);
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);  // the document writes "." whatever the locale
    if (!ok)
        throw EConvertError(LoadResStringFmt(RtlConsts::SInvalidFloat, {text}));
    return value;
}

TXMLNode TXMLTextList::Add(const String& Value)
{
    TXMLNode item = AddItem();
    item.SetText(Value);
    return item;
}

TXMLNode TXMLTextList::Insert(int Index, const String& Value)
{
    TXMLNode item = InsertItem(Index);
    item.SetText(Value);
    return item;
}

TXMLNode TXMLIntList::Add(int Value)
{
    TXMLNode item = AddItem();
    item.SetText(String::number(Value));
    return item;
}

TXMLNode TXMLIntList::Insert(int Index, int Value)
{
    TXMLNode item = InsertItem(Index);
    item.SetText(String::number(Value));
    return item;
}

TXMLNode TXMLFloatList::Add(double Value)
{
    TXMLNode item = AddItem();
    item.SetText(String::number(Value, 'g', 15));
    return item;
}

TXMLNode TXMLFloatList::Insert(int Index, double Value)
{
    TXMLNode item = InsertItem(Index);
    item.SetText(String::number(Value, 'g', 15));
    return item;
}
