// The electrical, plumbing and HVAC tools: components hung on a wall segment, and fixed
// components dropped at the click point as a grouped copy of the stock 2D symbol carrying a
// copy of its 3D symbol.
#pragma once
#include <cstdint>

struct Layer;
struct Objex;
struct FloatPoint;

// Component kind and plan bit of a wall component tool.
struct ComponentToolInfo {
  int32_t kind;
  int32_t planMask;
};
ComponentToolInfo WallComponentForTool(uint16_t tool);
// Symbol type, plan bit and the elevation added to the base elevation of a fixed component
// tool (inches).
struct FixedComponentInfo {
  int32_t symbolType;
  int32_t planMask;
  float elevation;
};
FixedComponentInfo FixedComponentForTool(uint16_t tool);

Objex* TrackComponent(float x, float y, float z, int16_t phase, uint16_t tool);
void TrackComponentFixed(float x, float y, float z, int16_t phase, uint16_t tool);
// A grouped copy of the 2D symbol at (x, z) on the current layer: the group, or null when
// the symbol is missing.
Objex* Place2DSymbol(float x, float z, int32_t symbolType);
// Hangs a copy of the 3D symbol's parts on the object, moved by (offsetX, offsetZ).
namespace tools { void Attach3DSymbol(Objex* object, int32_t symbolType, float offsetX, float offsetZ); }
// The same with the offset as one plan point (floatH = x, floatV = z).
void Attach3DSymbol(Objex* object, int32_t symbolType, const FloatPoint& offset);
// Rebuilds the 3D symbol of one fixed component / of a visible layer / of every visible layer.
// The model and the file reader reach it through the tools table (model/Services.h).
namespace tools { void UpdateFixedComponent(Objex* object); }
void UpdateFixedComponentLayer(Layer* layer);
void UpdateFixedComponentAllLayers(Layer* firstLayer);
