// Custom door, window, skylight and trim definitions: template files in the shared
// components folders, chosen in the content palette, read into an opening's part lists or a
// trim slot, and the custom door and window parts fitted into their opening.
#pragma once
#include <cstdint>
#include <string>

#include "model/TrimDefinitions.h"

struct Objex;
struct TrimData;
struct DoorWindowData;

// Content palette categories whose selected entry names a door or window definition.
constexpr int16_t kCustomDoorCategory = 7;
constexpr int16_t kCustomWindowCategory = 8;
// Longest name a side file gives an object (the buffer it is read into holds 250 characters).
constexpr uint32_t kDefinitionNameBuffer = 250;
// Side files larger than this are not read (they name an object, nothing more).
constexpr size_t kMaxSideFileBytes = 64 * 1024;
// Skylight definition parts kept in the record's last list.
constexpr int16_t kObjSkylightExtraPart = 165;

// The definition file of the content palette's selected door or window entry (categories 7
// and 8): true and the path when an entry with a file name is selected. Without one, an
// alert for categories 7 and 8, and false. A name that leads out of the category's folder (a
// ".." part, an absolute path, a link to elsewhere) gives false without an alert.
bool GetCurrentDefinitionFilePath(std::string* path);
// The same into a path buffer of kPathBufferSize characters: 1 and the path, else 0 and an
// empty buffer (also when the path would not fit).
int16_t GetCurrentDefinitionFilePath(char* path);

// The three readers below serve the model's table (model/Services.h); callers outside this
// library reach them through it.
namespace openings {

// Replaces the custom part lists and the name of a door or window with those of the current
// definition (an empty definition leaves the lists empty). True when the definition was read;
// otherwise the opening keeps its lists (a missing or refused definition is reported).
bool ReadCustomWindowDoorDefinition(Objex* attachment);
void ReadCustomWindowDoorFile(Objex* attachment);
// The same for a custom skylight's five definition lists (copies flattened into x/z).
bool ReadCustomSkylightDefinition(Objex* skylight);
void ReadCustomSkylightFile(Objex* skylight);
// Puts a copy of the current trim profile into a wall side's trim record (when wallTrim is
// given: crown or base as gApplyTrimAsBase says) or into a door's or window's trim slot A or
// B. Nothing changes without a profile.
void ReadCustomTrimFile(Objex* target, bool slotA, TrimData* wallTrim);
}  // namespace openings

// The x and y extents of the record's outline list; 0 and 0 without outlines.
void GetCustomAttachmentWidthAndHeight(const DoorWindowData* record, float* width, float* height);

// Rebuilds the faces of a custom door or window from its part lists, fitted into its opening.
void UpdateCustomAttachment(Objex* attachment);

// Applies the content palette's current door or window definition to the selected custom
// doors, windows (and, for windows, skylights) of the current layer, with one undo step.
void ApplyCurCustAttachToSelectedWinAndDoor();
