// Adding a point on a segment and removing one, keeping the object valid for its type,
// its segment attributes and its wall or deck attachments.
#pragma once
#include <cstdint>

struct Objex;
struct Poinz;
struct DocState;
struct ClickInfo;

// The point count an object must have for one of its points to be removed (needs) and the
// count the refusal names (shown); false when the object cannot lose points.
bool GetRemovePointMinimum(const Objex* object, int32_t* needs, int32_t* shown);

// Adds a point on the straight segment that starts at `point`, on the segment's line at
// the click's plan distance from `point`; the new point, or null when refused.
Poinz* AddPoint(Objex* object, Poinz* point, DocState* docState, const ClickInfo* click);
// Adds a point after `point` at (x, y, z), whatever the segment's shape; null when refused.
Poinz* AddPointAtPosition(Objex* object, Poinz* point, DocState* docState, float x, float y, float z);

// Removes a selected point; 1 when removed now, 0 when refused or when the attachment
// sheet was opened (its end finishes the removal).
int RemovePoint(Objex* object, Poinz* point, DocState* docState);
// Unlinks and frees the point (a wall point with its trim records) and counts it off.
void RemovePointInObject(Objex* object, Poinz* point);

// The return code of the attachment sheet's "Delete Point" button.
constexpr int kRemovePointSheetConfirmed = 1;
// The pending removal the attachment sheet asks about, by ID: written when the sheet opens.
extern uint32_t gRemovePtTargetObjectID;
extern uint32_t gRemovePtTargetPointID;
extern uint32_t gRemovePtTargetPrevPointID;
// The same by address, as they stood when the sheet opened; only to look at: the sheet's end
// goes by the IDs, since the design may change while the sheet is open.
extern Objex* gRemovePtTargetObject;
extern Poinz* gRemovePtTargetPoint;
extern Poinz* gRemovePtTargetPrevPoint;
// End of the attachment sheet: with "Delete Point" the object and points are looked up again
// and, when they still stand as they did, the attachments at both points and the point are
// removed, the object rebuilt and "Remove Point" stored for undo. Anything else: nothing.
void RemovePointSheetDidEnd(int returnCode, uint32_t objectID, uint32_t pointID, uint32_t prevPointID);
