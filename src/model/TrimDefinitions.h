// The custom trim definition the content palette has selected, and the preparing of a trim
// profile read from one, shared by the readers of definitions and the 3D window's drops.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

struct Objex;

// The custom trim file of the selected entry (entry type 12 with a file name inside the trim
// folder, links resolved): true and its path (names matched without regard to case); false,
// with no message, otherwise.
bool GetCurrentTrimDefinitionFilePath(std::string* path);
// The same into a path buffer of kPathBufferSize characters: 1 and the path, else 0 and an
// empty buffer (also when the path would not fit).
int16_t GetCurrentTrimDefinitionFilePath(char* path);

// Every point of the object: unlocked, detectable and selected as the flags ask.
void UnLockDetectAndSelectObject(Objex* object, bool unlock, bool detect, bool select);

// A crown trim hangs from the top of its wall: the profile is mirrored across its own middle
// in plan (the flip's centre and view plane are put back afterwards).
void MirrorTrimProfileForCrown(Objex* profile);
