// Naming the objects just placed from a content entry.
#pragma once

// Gives every selected top-level object of every layer of the current design its own copy of
// text as its name; nothing for null or empty text or without a design. Children keep theirs.
void AssignStringToSelectedObjects(const char* text);
