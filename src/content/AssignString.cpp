#include "content/AssignString.h"

#include <cstdlib>
#include <cstring>

#include "model/DocumentModel.h"
#include "model/Records.h"
#include "model/Selection.h"

void AssignStringToSelectedObjects(const char* text) {
  if (!text || !text[0] || !gCurDocument) return;
  const size_t length = std::strlen(text);
  for (Layer* layer = gCurDocument->itsLayers; layer; layer = layer->next)
    for (Objex* object = layer->firstObject; object; object = object->next) {
      if (!IsObjectSelected(object)) continue;
      auto* copy = static_cast<char*>(std::calloc(length + 5, 1));
      if (!copy) return;
      std::memcpy(copy, text, length);
      std::free(object->name);
      object->name = copy;
    }
}
