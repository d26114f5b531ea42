// Symbol files and symbol objects: one fixed electrical, plumbing or HVAC symbol read into a
// chain of parts, and the two process-wide lists of the fixed 2D and 3D symbols.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

struct Layer;
struct Objex;

// ---- Symbol objects ----
// Reads the symbol file at path into `symbol` (a zeroed Objex whose type is the symbol kind)
// and centres its parts. The file is read into a private scratch design, so neither the
// current document nor its ID counters are involved. 1 when the file was read (a stream cut
// short keeps the parts read before the cut); 0 for a missing argument, a file that cannot be
// opened, a version that is not accepted or a file that ends before its object stream.
int Symbol2DFileRead(const char* path, Objex* symbol);
// Reads the object stream of the loaded input into the symbol's part list (the current
// document must be the design the parts are made in).
void DoReadSymbol2DObjects(Objex* symbol);
// Reads one object record as a part of the symbol (appended when `append` is set). Returns
// the part, a group record (linked nowhere; the caller frees it), or null when the record
// is damaged or its points are not numbers within +-1e6.
Objex* ReadASymbol2DObject(Layer* layer, uint8_t append, Objex* symbol);
// Moves the parts (and their children) so that the symbol's origin is its insertion point:
// centred in x; centred in z for the fixed-centre kinds, else the smallest z at 0.
void Initialize2DSymbolObject(Objex* symbol);
// Gives the part the symbol's type and appends it to the symbol's part list.
void Append2DSymbolToParent(Objex* part, Objex* symbol);
// Appends the part to the object's symbol3D list; its type is left alone.
void Append3DSymbolToParent(Objex* part, Objex* object);
// Frees a symbol object and its parts (it must be on no list).
void DeleteSymbolObject(Objex* symbol);
// Kinds whose symbol is centred on the object's centre (ceiling fans, floor outlets ...).
inline constexpr int16_t kFixtureKinds[] = {68,  69,  71,  72,  79,  80,  81,  82,  88,
                                            98,  110, 117, 118, 119, 120, 121, 122, 123,
                                            146, 147, 148, 149, 150, 151, 152};
bool IsFixedCentreSymbolKind(int16_t kind);

// ---- The fixed symbol lists ----
// Process-wide chains of symbol objects (through prev/next), null until loaded.
extern Objex* gSymbol2DList;
extern Objex* gSymbol3DList;
// Build the list from the stock symbol folder, once per process. A missing folder or file
// leaves its entry without parts.
void Load2DSymbolList();
void Load3DSymbolList();
// The first entry of the list whose type is the kind, or null.
Objex* FindSymbolEntry(Objex* list, int16_t kind);

// One fixed symbol: its kind, the stem of its file names and its place in the 3D list (1-51).
struct FixedSymbolFile {
  int16_t kind;
  const char* stem;
  int16_t order3D;
};
// The 51 fixed symbols in the order of the 2D list.
const FixedSymbolFile* FixedSymbolFiles(size_t* count);
// The file name of a fixed symbol: stem, "2D" or "3D", ".QTM" (".qtm" for kinds 146-152).
std::string FixedSymbolFileName(const FixedSymbolFile& entry, bool threeD);
