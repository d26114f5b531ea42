// Template files: design files whose objects are inserted, selected, into the open design,
// or into the definition layer while a custom door, window, skylight or trim is read.
#pragma once
#include <cstdint>
#include <functional>
#include <string>

struct Layer;
struct Objex;

// Ends a template's object stream while an attachment definition is read.
constexpr int16_t kTagDefinitionEnd = 1999;

// Set by the attachment definition readers around TemplateFileRead; the objects then go to
// gAttachmentTempLayer ("AttachDefLayer"), which those readers create and delete.
extern uint8_t gReadingAttachmentDefinition;
extern Layer* gAttachmentTempLayer;

// Reads the template at path into the current document. 1 when its objects were read; 0 when
// there is no current document or the file cannot be opened (silently), or when the version
// is not accepted or the stream is damaged (an alert; nothing is added).
int TemplateFileRead(const char* path);

// Reads the object stream of the loaded input (positioned after the DocState block) into
// the current layer, or the definition layer. False when the stream is damaged; the objects
// read from it are then removed again.
bool DoReadTemplateObjects();

// Skips one layer record; templates never add layers. Always null.
Layer* ReadATemplateLayer();

// Reads one object record into `layer` (appended when `append` is set) and completes it with
// the defaults a template object takes: walls the layer height and the wall thickness, roofs
// the look of the design's first roof, paths, edgings and fills the default textures, fences
// the standard rails (and, from files before 10800, the fence settings). Selected while
// gOpenSymbol is set. Nothing is left out for its points; null without a layer or a current
// document, when the object cannot be made or the stream fails inside it.
Objex* ReadATemplateObject(Layer* layer, uint8_t append);

// The definition layer for one read: created, handed to the template reader, deleted with
// whatever it holds. One read at a time: while another is under way it is not ready.
class DefinitionLayer {
 public:
  DefinitionLayer();
  ~DefinitionLayer();
  DefinitionLayer(const DefinitionLayer&) = delete;
  DefinitionLayer& operator=(const DefinitionLayer&) = delete;

  bool ready() const { return layer_ != nullptr; }
  Objex* first() const;

  enum class Result { kRead, kMissing, kRefused };
  // kMissing: the file is not there or cannot be opened (nothing was said);
  // kRefused: the template reader refused it and said why.
  Result read(const std::string& path);

 private:
  Layer* layer_ = nullptr;
};

// Reads the custom trim definition the content palette has selected and hands `use` its
// profile, ready to be copied into a trim (unlocked, detectable and selected; mirrored across
// its middle for a crown), with the definition's path, while the definition layer holds it.
// False, without calling `use`, when no profile was read (nothing selected, another definition
// read under way, the file missing or refused: the reader's own alert says why).
bool ReadSelectedTrimDefinition(bool crown, const std::function<void(Objex* profile, const std::string& path)>& use);
