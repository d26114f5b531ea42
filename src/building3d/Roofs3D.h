// The generated parts of a gable or hip roof: sloped roof planes with their plane equations,
// fascia strips and undersides, and the hip or gable ends chosen by the roof style. The parts
// live in a list headed by the roof's type data; skylights and dormer cut-outs look for their
// owner plane among them.
#pragma once
#include <cstdint>

struct Objex;
struct Layer;

// The roof slab is this many plan units thick; attachments sit this far below a roof plane's
// top surface (the fifth plane parameter is its negative).
constexpr float kRoofSlabThickness = 12.0f;

// Panel ids of the roof planes (subtypes of type 32 and 41 parts).
enum : int32_t { kRoofPanelSlopeC3C2 = 10, kRoofPanelSlopeC0C1 = 11, kRoofPanelHipA = 12, kRoofPanelHipB = 13 };

// Builds the parts of a roof of four corners onto its part list (nothing is freed first).
void Construct3DRoof(Objex* roof);
// Only for roofs (type 14): frees the old parts, builds them again and re-fits the roof's
// skylights and dormer cut-outs. The caller renders the roof.
namespace building3d { void Update3DRoof(Objex* roof); }
// Update3DRoof on every top-level object of a visible layer / of every layer of a list.
void Update3DRoofLayer(Layer* layer);
void Update3DRoofAllLayers(Layer* firstLayer);
// Closes a built part, gives it texture coordinates and point lengths, takes it off its
// layer and appends it to the roof's part list.
void Setup3DRoofObject(Objex* part, Objex* roof);

// What the end builders work from: the four corners, the two ridge points, the ridge and
// span angles, whether the faces are listed backwards, and the layer parts are built on.
struct RoofFrame {
  Objex* roof;
  Layer* layer;
  float c[4][3];
  float ridgeA[3], ridgeB[3];
  float ridgeAngle, spanAngle;
  bool reverse;
};
void BuildLeftGable(const RoofFrame& frame);
void BuildRightGable(const RoofFrame& frame);
// With `fasciaOnly` only the end's fascia is built, grey.
void BuildLeftHip(const RoofFrame& frame, uint8_t fasciaOnly);
void BuildRightHip(const RoofFrame& frame, uint8_t fasciaOnly);

// y of a roof plane's equation (a x + b z + c y = d in params) at (x, z); 0 when it is level
// in y (c is 0).
float RoofPlaneY(const Objex* plane, float x, float z);
