// The 3D scene as the renderer sees it: plane objects (one surface or billboard each, built
// from one plan object or one generated part of it), their planes and vertices, the scene
// list and the globals naming the object being converted.
#pragma once
#include <cstdint>
#include <vector>

#include "model/PlaneObjectRecords.h"

struct TrimSlot;

// The scene list. Appends go to the tail, which gGLPlaneObjectsTail names so that building a
// scene stays linear. Whoever unlinks a plane object from the scene list must keep the tail
// right: use UnlinkPlaneObject, or clear both globals when emptying the list.
extern PlaneObject* gGLPlaneObjects;
extern PlaneObject* gGLPlaneObjectsTail;
extern PlaneObject* gCurPlaneObject;   // the plane object being filled
extern Objex* gBase2DObject;           // plan object being rebuilt
extern Objex* gActual3DObject;         // its part being converted
extern uint8_t gDisableRenderInterrupt;  // set by every append
extern uint8_t gRenderDirty;             // set whenever a plane object is freed

// A zeroed plane object with texture scales 100, texture and billboard sizes 1.0 and alpha
// 255; null when memory is short.
PlaneObject* CreatePlaneObject();
// A plane owning `vertices` (malloc'd). A normal whose largest component reaches 1 in
// magnitude is scaled so that it is 0.99. Null without vertices or memory.
Plane* CreatePlane(PlaneVertex* vertices, int32_t count, float nx, float ny, float nz);
// Creates the plane and links it last in the plane object's planes. The array is handed over
// in every case: when no plane is made (no plane object, no memory) it is freed.
Plane* AppendPlane(PlaneVertex* vertices, int32_t count, float nx, float ny, float nz,
                   PlaneObject* planeObject);
// A plane with room for `count` vertices (zeroed) in its own block; null with count < 1 or
// without memory. Such vertices are never freed or grown on their own: ReleasePlaneVertices
// lets go of any plane's vertices.
Plane* CreatePlaneWithRoom(int32_t count, float nx, float ny, float nz);
// Like AppendPlane, for `count` vertices (zeroed) that the caller fills: the plane and its
// vertices are one allocation (CreatePlaneWithRoom). Null without a plane object, with
// count < 1 or without memory.
Plane* AppendPlaneWithRoom(int32_t count, float nx, float ny, float nz, PlaneObject* planeObject);
// Frees the plane's vertex array (unless it lives in the plane's own block) and leaves the
// plane without vertices.
void ReleasePlaneVertices(Plane* plane);
// Finishes the plane object (links to the plan, elevation, class, triangles) and links it
// last in the scene list. Nothing without both arguments or without a current DocState.
void AppendPlaneObject(PlaneObject* planeObject, Objex* sourceObject);
// Adds a cut-out or a trim (elevated, class 2) at the end of the parent's lists.
void AppendPlaneObjectChild(PlaneObject* child, PlaneObject* parent);
void AppendPlaneObjectAttachment(PlaneObject* attachment, PlaneObject* parent);
// Takes a plane object out of the scene list, keeping head and tail right.
void UnlinkPlaneObject(PlaneObject* planeObject);
// The first plane object in the scene list built for the plan object (base2DObject); the
// others follow through sameBaseNext, in scene order. Takes time in their number, not the
// scene's (a list linked or replaced from outside is indexed again once).
PlaneObject* FirstScenePlaneObjectOf(const Objex* base2DObject);
// The plan objects (base2DObject) whose plane objects joined or left the scene list since the
// last call, in the order of the changes (a plan object may come more than once), for whoever
// keeps compiled drawings of the list. False, with `bases` empty, when the changes are not
// known one by one (the list was linked or freed from outside, indexed again or emptied, or
// changed in too many places): anything may have changed since.
bool TakeSceneListChanges(std::vector<const Objex*>& bases);
void DeletePlane(Plane* plane);
void DeletePlaneList(Plane* first);
// Frees the plane object with its planes, cut-outs and trims; sets gRenderDirty. It does not
// unlink it: a plane object in the scene list is unlinked first (UnlinkPlaneObject).
void DeletePlaneObject(PlaneObject* planeObject);

// Both sides of a trim face take the trim slot's material, linked back to the slot's fields.
void TakeTrimSlot(PlaneObject* po, TrimSlot& slot);
