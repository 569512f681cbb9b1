#include "platform/controls/Clipbrd.h"

#include <QClipboard>
#include <QGuiApplication>

String TClipboard::AsText() const
{
    QClipboard* clipboard = QGuiApplication::clipboard();
    return clipboard != nullptr ? clipboard->text() : String();
}

void TClipboard::SetAsText(const String& Value)
{
    if (QClipboard* clipboard = QGuiApplication::clipboard())
        clipboard->setText(Value);
}

TClipboard* Clipboard()
{
    static TClipboard clipboard;
    return &clipboard;
}
