// Texts of this system shown as menu titles and menu items. Qt reads '&' in a menu text as
// the mark of a keyboard mnemonic, so every '&' of such a text is doubled to show as itself.
#pragma once
#include <QString>
#include <string>

// The text as a menu shows it verbatim.
QString MenuText(const std::string& text);
// The localized text of the key, as a menu shows it verbatim.
QString LocalizedMenuText(const char* key);
