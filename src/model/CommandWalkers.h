// The command walkers: apply a command code to the selected objects of every visible
// layer (with their subtrees) or to the selected top-level objects only.
#pragma once
#include <cstddef>
#include <cstdint>

#include "model/CommandCodes.h"
#include "model/Types.h"

struct Objex;
struct Layer;
struct DocState;
struct TransformInfo;
struct DragTransformInfo;

// The argument of a command; which member a command reads depends on its code.
struct CommandArg {
  DocState* docState = nullptr;
  TransformInfo* transform = nullptr;
  const LOGFONT* font = nullptr;
  DragTransformInfo* drag = nullptr;  // revolving
  int32_t value = 0;

  // Any one of the kinds converts to an argument, so a caller can pass it as it is.
  CommandArg() = default;
  CommandArg(std::nullptr_t) {}
  CommandArg(DocState* ds) : docState(ds) {}
  CommandArg(TransformInfo* t) : transform(t) {}
  CommandArg(const LOGFONT* f) : font(f) {}
  CommandArg(DragTransformInfo* d) : drag(d) {}
  CommandArg(int32_t v) : value(v) {}

  static CommandArg None() { return {}; }
  static CommandArg Doc(DocState* ds) { CommandArg a; a.docState = ds; return a; }
  static CommandArg Transform(TransformInfo* t) { CommandArg a; a.transform = t; return a; }
  static CommandArg Font(const LOGFONT* f) { CommandArg a; a.font = f; return a; }
  static CommandArg Drag(DragTransformInfo* d) { CommandArg a; a.drag = d; return a; }
  static CommandArg Value(int32_t v) { CommandArg a; a.value = v; return a; }
};

extern int32_t gObjectCount;
// Set by kCmdCountGroups when a selected tree holds more than kMaxGroupsToGroup groups (itself
// counted): Plan > Group and the groupings after placing and reading objects then group
// nothing. A tree it lets through, grouped, stays within kMaxGroupNesting (Grouping.h).
extern uint8_t gOverload;
constexpr int32_t kMaxGroupsToGroup = 25;
extern uint8_t gCommandHappened;
extern float gBaseElevation;  // feet
extern uint8_t gTopoFloatNA;
extern uint8_t gSymbarObjectDrop;

// Object Elevation on a root that is neither a wall nor a roof, alone or grouped: one rule for
// what the sheet shows and for what a typed elevation does.
// An object stands on the terrain by its own flag; an ordinary group stands on it when each of
// its members does, at any depth of ordinary groups.
bool StandsOnTheTerrain(const Objex* root);
// What the sheet shows for the root (world inches): the ground under what stands on the
// terrain, otherwise its base elevation.
float ShownElevation(const Objex* root);
// The root stands at `e` (world inches), the height ShownElevation reads back, and an ordinary
// group's members move by its change. What stands on the terrain given the ground under it is
// left as it is; another elevation takes it, or its members, off the terrain to stand that
// high. The kinds laid on the ground stand on the terrain again when brought to it. False
// when nothing changed.
bool SetElevation(Objex* root, float e);

// The moving commands (see TransformGuard.h) are checked first over everything the walk would
// reach: one that would put a point outside the plan, or that carries a number that is not
// finite, is refused whole with an alert and changes nothing. False when refused.
bool SelectedObjectAllLayers(Layer* firstLayer, uint8_t selectedOnly, int32_t cmd, const CommandArg& arg);
bool SelectedObjectLayer(Layer* layer, uint8_t selectedOnly, int32_t cmd, const CommandArg& arg);
// SelectedObjectAllLayers for a selection known to lie within one top-level object (a point
// drag selects its one point): the object is checked and walked as the layer walk would, on
// its own, without going over the rest of the design. Nothing when its layer is hidden.
bool SelectedTopLevelObject(Objex* root, uint8_t selectedOnly, int32_t cmd, const CommandArg& arg);
// SelectedObjectAllLayers(known->firstLayer, 1, cmd, arg) when only the known top-level
// objects (in design order) may hold selected points on shown floors: they alone are checked
// and walked. A known object the command deletes leaves the list.
struct KnownSelection;
bool SelectedKnownObjects(KnownSelection* known, int32_t cmd, const CommandArg& arg);
bool SelectedObject(Objex* obj, uint8_t selectedOnly, int32_t cmd, const CommandArg& arg);
void TopLevelObjectAllLayers(Layer* firstLayer, int32_t cmd, const CommandArg& arg);
void TopLevelObjectLayer(Layer* layer, int32_t cmd, const CommandArg& arg);
void TopLevelObject(Objex* obj, int32_t cmd, const CommandArg& arg);

// Which optional rows of the object rebuild table apply.
enum RebuildRows : uint8_t {
  kRebuildBasic = 0,
  kRebuildLot = 1,         // topography, entire lot and slope lot sections
  kRebuildExcavation = 2,  // topography excavations
  kRebuildNoRoofRefresh = 4,
};
// Rebuilds the object's generated 3D parts by its type; true when its type has a rebuild.
bool RebuildObject(Objex* obj, uint8_t rows);
