// Red walls for the 3D window's pixel tests: red on both sides in every slot, 96 high.
#pragma once
#include <cstdint>
#include <cstdlib>
#include <initializer_list>
#include <utility>

#include "building3d/Walls3D.h"
#include "model/Attachments.h"
#include "model/Bounds.h"
#include "model/DocumentModel.h"
#include "model/Grouping.h"
#include "model/HitTest.h"
#include "model/Records.h"
#include "model/Services.h"
#include "model/ToolCodes.h"
#include "model/WallFields.h"
#include "tools/Tracking.h"
#include "tools/TrackingState.h"

namespace red_walls {

constexpr RGBColor kWallRed{65535, 0, 0};

inline WallSideData* RedSide() {
  auto* side = static_cast<WallSideData*>(calloc(1, sizeof(WallSideData)));
  for (int i = 0; i < 5; ++i) {
    side->slotColors[i] = kWallRed;
    side->slotTextureScales[i] = {100, 100};
  }
  return side;
}

// A wall 8 inches thick, red in the plan, through the points, 96 high, on the current layer.
inline Objex* AddRedWall(ZLKDocumentModel* model, std::initializer_list<std::pair<float, float>> pts) {
  RGBColor red = kWallRed;
  Objex* wall = CreateObject(kObjWall, 0, 1, &red, &red, 1, 6, 0, nullptr, nullptr, nullptr, nullptr, nullptr,
                             nullptr);
  for (auto [x, z] : pts)
    AppendPointToObject(CreatePoint(1, 0, 0, 0, 0, 0, x, 0, z, 0, 0, 0, 0, 0, 0, wall), wall);
  AppendObjectToLayer(wall, model->itsCurLayer);
  wall->width = 8;
  wall->levels = 1;
  wall->textureID = 0;
  FloorDepthOf(wall) = 0.5f;
  FoundationWidthOf(wall) = 12.0f;
  for (Poinz* p = wall->firstPoint; p; p = p->next) {
    WallHeightOf(p) = 96;
    p->trim1 = RedSide();
    p->trim2 = RedSide();
    for (int side = 0; side < 2; ++side) p->color[side] = kWallRed;
  }
  UpdateObjectBounds(wall);
  Update3DWall(wall);
  return wall;
}

// A press of the door or window tool on the wall's first segment, `x` along it; the selection
// tool is current again after it.
inline void PressOpeningTool(int32_t tool, Objex* wall, int32_t x) {
  gCurTool = static_cast<uint16_t>(tool);
  gClickInfo = ClickInfo{};
  gClickInfo.hitMode = 1;
  gClickInfo.hitObject = wall;
  gClickInfo.segmentHit = 1;
  gClickInfo.hitPoint = wall->firstPoint;
  gClickInfo.segmentEnd = wall->firstPoint->next;
  const auto z = static_cast<int32_t>(wall->firstPoint->position[2]);
  gClickInfo.where = {x, z};
  gMouseCaptured = 1;
  BeginTracking(x, z);
  EndTracking(x, z, x, z);
  FinishTracking();
  gCurTool = kToolSelection;
}

}  // namespace red_walls
