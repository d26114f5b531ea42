// The font chosen in a sheet, kept as the sheet's selected font: made from a design's font
// record and turned back into one.
#pragma once
#include <QFont>

#include "model/Types.h"

// The named face at the record's size (12 when it gives none), else the system font at that
// size, with the record's bold and italic traits.
QFont SelectedFontForRecord(const LOGFONT& font);
// The font's size, weight, italic and family into the record (underline and strike-out kept).
void StoreFontInRecord(const QFont& font, LOGFONT* record);
