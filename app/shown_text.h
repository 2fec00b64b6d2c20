// Names, paths and tag texts as the main window shows them: literally, whatever they hold.
#pragma once

#include <QString>

#include <string_view>

namespace app {

// The bytes of a name or a tag as display text (the program's one text rule), with each control
// character shown as its visible symbol (a line feed as "␊", a tab as "␉"), so that a name never
// breaks a list entry or a field into lines nor hides a part of itself.
QString ShownText(std::string_view bytes);

// A window caption showing `text` literally: a window title takes "[*]" as the place of its
// "modified" mark and would drop it.
QString LiteralWindowTitle(const QString& text);

}  // namespace app
