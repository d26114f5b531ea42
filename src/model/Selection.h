// Selection predicates over the point flags, the hide/show/lock changes of single
// points, point-oriented tools, and moving the selection onto the grid.
#pragma once
#include <cstdint>

struct Objex;
struct Poinz;
struct ClickInfo;

extern uint8_t gPointOrientation;  // point-orientation mode of the editing tools
extern uint8_t gTrackingMouse;     // set while a tracking loop runs
// The object or child that made the last IsAnyObjectSelected true, else null.
extern Objex* gIsAnyObjectSelectedObject;

// Any point selected; else, except for walls, decks, roofs and roof panels, any child
// selected (roofs and roof panels do count children while the mouse is tracking).
bool IsObjectSelected(const Objex* obj);
// Any point of the object itself selected.
bool IsRootObjectSelected(const Objex* obj);
bool IsRoofObjectSelected(const Objex* obj);
// Every point selected (true without points).
bool IsEntireRoofObjectSelected(const Objex* obj);
// Every point selected and, except for walls and decks, every child entirely selected.
bool IsEntireObjectSelected(const Objex* obj);
// Any point of the object or of its children (at any depth) selected: when false, no selection
// predicate holds for the object or anything in it (a wall's outline, its type data, is built
// unselected and never selected).
bool HasSelectedPointInTree(const Objex* obj);
// Any point selected, or any child selected; remembers which in gIsAnyObjectSelectedObject.
bool IsAnyObjectSelected(Objex* obj);

// The point part of the hide, unhide, lock and unlock modes.
void SpecialSelectPoint(Poinz* point, int8_t mode, uint8_t keepSelected);
// Whether the tool edits single points of the object.
bool ToolIsPointOriented(int32_t tool, const Objex* obj);
// The object ID of the first selected object of the current layer.
bool FindFirstSelectedObjectID(uint32_t* outID);
// Moves the selection so that one corner of its bounds lies on the grid.
void AlignSelectedToGrid(int32_t cmd);
// Whether the click lies within 5 screen units of the projected model point.
bool Test3DHit(float x, float y, float z, const ClickInfo* click);
