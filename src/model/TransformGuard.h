// The plan coordinates a design can hold, and the checks that keep the moving commands
// (move, move plan, nudge, rotate, rotate plan, resize, shear) inside them. The command
// walkers run the checks over everything a command would reach before it changes anything.
#pragma once
#include <cstdint>

struct CommandArg;
struct DocState;
struct Objex;

// A saved point beyond +-1e6 plan units on any axis (or not a number) is refused by the
// readers, so every point a command writes stays strictly inside.
constexpr float kPlanCoordinateLimit = 1.0e6f;
// Finite and strictly inside +-kPlanCoordinateLimit.
bool IsPlanCoordinateValid(float value);
// kPlanCoordinateLimit as a length of the design (inches at its plan scale), as its readouts and
// typed lengths give it; kPlanCoordinateLimit itself without a DocState or a usable scale.
float PlanCoordinateLimitLength(const DocState* ds);

// True for the command codes the guard checks.
bool IsGuardedTransformCommand(int32_t cmd);
// The plan distance of one nudge: one screen pixel, or the grid snap spacing while snapping.
float NudgeDistance(const DocState* ds, int32_t cmd);
// Whether the command's own numbers (offset, angle, centre, shear points, nudge distance) are
// finite.
bool TransformArgumentsFinite(int32_t cmd, const CommandArg& arg);
// Whether every point of the object and of its subtree that the command would move stays
// valid afterwards (the plan commands move every point, the others the selected ones).
bool ObjectFitsAfterTransform(const Objex* obj, int32_t cmd, const CommandArg& arg);
// The alert of a refused command: nothing was changed.
void AlertRefusedTransform(int32_t cmd);
