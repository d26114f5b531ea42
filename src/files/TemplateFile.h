// Template files: design files whose objects are inserted, selected, into the open design,
// or into the definition layer while a custom door, window, skylight or trim is read.
#pragma once
#include <cstdint>

struct Layer;

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
