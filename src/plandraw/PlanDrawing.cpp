// The plan drawing pipeline: layers, objects and their children in order and colour, the
// exterior-space, deck and foundation passes.
#include "plandraw/PlanDrawing.h"

#include <algorithm>
#include <memory>

#include "model/Attachments.h"
#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/Grouping.h"
#include "model/HitTest.h"
#include "model/PendingServices.h"
#include "model/PlanarTransforms.h"
#include "model/Records.h"
#include "model/Selection.h"
#include "plandraw/Base2DView.h"
#include "plandraw/DrawContext.h"
#include "plandraw/DrawFlags.h"
#include "plandraw/HSVColor.h"
#include "plandraw/LinePrimitives.h"
#include "plandraw/BuildingSymbols.h"
#include "plandraw/DetailDrawing.h"
#include "plandraw/RoofDrawing.h"
#include "plandraw/SlopeArrows.h"
#include "plandraw/SymbolDrawing.h"
#include "plandraw/TextObjects.h"
#include "plandraw/WallSegmentDimensions.h"
#include "plandraw/PerimeterDimensions.h"
#include "plandraw/SmallPlanObjects.h"
#include "plandraw/WallsAndDoors.h"
#include "plandraw/PlanDrawSettings.h"
#include "plandraw/PlanViewHooks.h"
#include "plandraw/PlatformAdapters.h"
#include "plandraw/RegionFills.h"
#include "plandraw/VirtualRuler.h"
#include "plandraw/ZLKDynamicDrawEngine.h"

namespace {

constexpr int16_t kObjType106 = 106;
constexpr int32_t kSubWall2DCopy = 140;
constexpr RGBColor kDefaultPlanColor{0, 16448, 34952};

// Restores the pen colour when the scope ends.
struct PenColorScope {
  RGBColor saved = gPlanDrawSettings.penColor;
  ~PenColorScope() { gPlanDrawSettings.penColor = saved; }
};

bool IsWall(const Objex* o) { return o && o->type == kObjWall; }

// The wall a 2D view copy shows, when its source is one. A photo view's source is its image
// path, never an object.
Objex* WallSourceOf(const Objex* object) {
  if (object->subtype != kSubWall2DCopy || object->type == kObjPhotoView) return nullptr;
  auto* source = static_cast<Objex*>(object->sourceObject);
  return IsWall(source) ? source : nullptr;
}

// The deck plan colour lightened: a tenth of the saturation, value half way to full.
RGBColor CurrentFloorDeckHatchColor(const DocState* ds) {
  const RGBColor& deck = ds->planColors[kPlanDeck];
  const uint16_t rgb[3] = {deck.red, deck.green, deck.blue};
  uint16_t hsv[3];
  RGBtoHSV(rgb, hsv);
  hsv[1] = static_cast<uint16_t>(hsv[1] / 10);
  hsv[2] = static_cast<uint16_t>(65535 - (65535 - hsv[2]) / 2);
  uint16_t out[3];
  HSVtoRGB(hsv, out);
  return {out[0], out[1], out[2]};
}

// A group or plant is skipped when the main window's view does not redraw its rectangle.
bool CulledByView(const Objex* object, bool clampSize) {
  if (gPrinting) return false;
  Base2DView* view = MainDocumentView();
  // Without a plan view nothing is being redrawn selectively: draw it.
  if (!view) return false;
  const Float3DRect& b = object->bounds3D;
  float width = b.floatRight - b.floatLeft, height = b.floatFront - b.floatBack;
  if (clampSize) {
    width = std::max(width, 1.0f);
    height = std::max(height, 1.0f);
  }
  const NSRect rect = NSMakeRect(ZoomF(b.floatLeft), ZoomF(b.floatBack), ZoomF(width), ZoomF(height));
  return !view->needsToDrawRect(rect);
}

void StrokeLineBufferDashed(DrawContext* handle) {
  DrawContext* ctx = ResolveDrawContext(handle);
  if (ctx && gAcclLineBuffer && gAcclLinePointCount >= 2) {
    static const float kDash[] = {3, 3};
    ctx->saveGraphicsState();
    StrokeStyle style = ctx->currentStroke();
    style.setDash(kDash, 2, 0);
    ctx->strokeLines(gAcclLineBuffer, static_cast<size_t>(gAcclLinePointCount), style);
    ctx->restoreGraphicsState();
  }
}

// The objects a wall, path, edging, staircase or deck keeps as its type data, drawn before it.
void DrawTypeDataObjects(DrawContext* handle, Objex* object, const RECT* rect, int32_t flags) {
  auto* head = static_cast<Objex*>(object->typeData);
  if (!head) return;
  switch (object->type) {
    case kObjWall:
      DrawObject(handle, head, rect, flags, nullptr);
      break;
    case kObjPath:
    case kObjEdging:
      for (Objex* o = head; o; o = o->next) DrawObject(handle, o, rect, flags, nullptr);
      break;
    case kObjStaircase:
    case kObjDeck:
      for (Objex* o = head; o; o = o->next)
        if (o->type == kObjStairTread) DrawObject(handle, o, rect, flags, nullptr);
      break;
    default:
      break;
  }
}

bool IsDetailShape(const Objex* object) {
  return object->type == kObjDetail && object->subtype >= 1 && object->subtype <= 9;
}

bool NeedsOutlineDimensions(const Objex* object) {
  if (IsDetailShape(object)) return !gRealTimeDraw && !gDynamicDrawing;
  switch (object->type) {
    case kObjFloor: case kObjPropertyLine: case kObjFence: case kObjGroundFill: case kObjDetail:
    case kObjRailing: case kObjCutout: case kObjDeck: case kObjRoofPanel: case kObjPhotoView:
      return object->subtype != kSubSwitchConnector && !gDynamicDrawing;
    default:
      return false;
  }
}

// The object's segments from its own points, level by level with the links between levels.
void DrawSegments(DrawContext* handle, Objex* object, int32_t flags, const DragTransformInfo* transform,
                  int32_t viewID) {
  // A wall's 2D copy is the wall's own drawing in the top view and on several levels.
  if (Objex* wall = WallSourceOf(object); wall && (viewID == kCmdViewTop || object->levels != 1)) {
    Draw2DWall(handle, object, wall);
    return;
  }
  Poinz* first = object->firstPoint;
  if (!first) return;
  if (object->levels == 1) {
    const bool quickWall = object->type == kObjQuickWall;
    const int32_t skipped = object->pointCount / 2;
    int32_t number = 1;
    Poinz* p = first;
    for (; p->next; p = p->next, ++number)
      if (!(quickWall && number == skipped)) DrawObjectSegment(handle, object, p, p->next, flags, transform);
    if (object->closed && !quickWall && p != first) DrawObjectSegment(handle, object, p, first, flags, transform);
  } else {
    const int32_t k = object->levels > 0 ? object->pointCount / object->levels : 0;
    if (k <= 0) return;
    // Each level's ring, joined point by point to the level below.
    Poinz* below = nullptr;
    Poinz* ring = first;
    for (int32_t level = 0; level < object->levels && ring; ++level) {
      Poinz* p = ring;
      Poinz* q = below;
      Poinz* last = ring;
      int32_t i = 0;
      for (; i < k && p; ++i) {
        last = p;
        if (i + 1 < k && p->next) DrawObjectSegment(handle, object, p, p->next, flags, transform);
        if (q) {
          DrawLinkSegment(handle, object, q, p, flags, transform);
          q = q->next;
        }
        p = p->next;
      }
      if (object->closed && last != ring) DrawObjectSegment(handle, object, last, ring, flags, transform);
      if (i < k) break;  // the list ended early
      below = ring;
      ring = p;
    }
  }
  ZLKDocumentModel* doc = gCurDocument;
  if (object->type == kObjTopography && doc && object->layer == doc->itsTopoLayer) {
    int32_t number = 1;
    Poinz* p = first;
    for (; p; p = p->next, ++number) {
      const bool lastOfOdd = !p->next && object->pointCount % 2 == 1;
      if (number % 2 == 0 || lastOfOdd) DrawTopoLineElevation(handle, object, p);
    }
  }
}

// Kinds drawn whole by their own routine: nothing else of the object is drawn.
bool DrawWholeObjectByKind(DrawContext* handle, Objex* object, const RECT* rect, int32_t flags,
                           const DragTransformInfo* transform) {
  switch (object->type) {
    case kObjDimensionInfo:
      return true;
    case kObjDoor:
      DrawDoor(handle, object, rect, flags, transform);
      return true;
    case kObjWindow:
      DrawWindow(handle, object);
      return true;
    case kObjPlant:
      DrawPlant(handle, object);
      return true;
    case kObjComponent:
      if (object->subtype == kSubDimensionAttachment) DrawDimensionAttachment(handle, object);
      else DrawComponent(handle, object, rect, flags, transform, object->subtype);
      return true;
    case kObjRoofSlopeArrow:
      DrawRoofSlopeDirectionArrow(handle, object);
      return true;
    case kObjAccessory:
      DrawAccessory(handle, object);
      return true;
    default:
      return false;
  }
}

// The kinds' own routines while nothing is moved or rubber-banded; true when the object's
// segments follow.
bool DrawOwnRoutineByKind(DrawContext* handle, Objex* object) {
  switch (object->type) {
    case kObjPath:
      DrawPathObject(handle, object);
      return true;
    case kObjDeck:
      DrawDeck(handle, object);
      return true;
    case kObjSprinkler:
      DrawSprinkler(handle, object);
      return true;
    case kObjRoof:
      DrawRoof(handle, object);
      return false;
    case kObjStaircase:
      DrawStaircase(handle, object);
      return false;
    case kObjEntireLot:
      DrawTopoSlopeDirectionArrow(handle, object);
      return true;
    case kObjSlopeLotSection:
      DrawTopoMultiSlopeDirectionArrow(handle, object);
      return true;
    case kObjFoundationBeam:
      DrawFoundationBeam(handle, object);
      return false;
    case kObjFoundationPier:
      DrawFoundationPier(handle, object);
      return false;
    case kObjFoundationStrand:
      DrawFoundationTensionCable(handle, object);
      return false;
    case kObjAirDuct:
      DrawHVACDuct(handle, object);
      return false;
    case kObjFoundationSlope:
      DrawFoundationSlope(handle, object);
      return false;
    case kObjDynamicText:
      DrawTextDynamicObject(handle, object);
      return false;
    case kObjText:
      DrawTextStandardObject(handle, object);
      return false;
    case kObjDiameterDim:
    case kObjType106:
      DrawDiameterDimension(handle, object);
      return false;
    case kObjLeaderDim:
      DrawLeaderDimension(handle, object);
      return false;
    case kObjDimLine:
      DrawObjectPerimeter(handle, object);
      return false;
    case kObjOffsetDim:
    case kObjOffsetDimHorizontal:
    case kObjLengthDim:
      DrawDimensionPerimeter(handle, object);
      return false;
    default:
      return true;
  }
}

void DrawChildren(DrawContext* handle, Objex* object, const RECT* rect, int32_t flags,
                  const DragTransformInfo* transform, const DocState* ds) {
  for (Objex* child = object->firstChild; child; child = child->next) {
    switch (child->type) {
      case kObjComponent: case kObjDoor: case kObjWindow: case kObjAccessory:
        if (IsObjectOnCurrentPlan(child, ds->currentPlanMask)) DrawObject(handle, child, rect, flags, transform);
        break;
      case kObjSkylight: {
        auto* data = static_cast<RoofAttachmentData*>(child->typeData);
        if (!data) break;
        if (data->subtype != kSkylightCustom) {
          DrawObject(handle, child, rect, flags, transform);
          break;
        }
        const bool carried = (flags & (kDrawFlagRotate | kDrawFlagTranslate)) && IsObjectSelected(child);
        for (Objex* list : {data->parts, data->outlineParts})
          for (Objex* part = list; part; part = part->next) {
            if (part->type != kObjSkylightOutline) continue;
            if (carried) SelectObj(part, 1, 0);
            DrawObject(handle, part, rect, flags, transform);
            if (carried) SelectObj(part, 2, 0);
          }
        break;
      }
      default:
        DrawObject(handle, child, rect, flags, transform);
        break;
    }
  }
}

}  // namespace

void GetObjectPlanColor(const Objex* object, RGBColor* out) {
  if (!gCurDocument || !out) return;
  const RGBColor penColor = gPlanDrawSettings.penColor;  // out may be the pen colour itself
  *out = kDefaultPlanColor;
  const DocState* ds = CurDocState();
  if (!ds || !object) return;
  if (object->type == kObjWall && object->planMask != 128) {
    *out = ds->planColors[kPlanFloor];
    return;
  }
  for (int k = 0; k < kPlanKindCount; ++k)
    if (object->planMask == (1 << k)) {
      *out = ds->planColors[k];
      return;
    }
  *out = penColor;
}

bool CanObjectBeDrawn(const Objex* object, int32_t drawFlags) {
  if (!object) return false;
  if (drawFlags & kDrawFlagAll) return true;
  if (drawFlags & kDrawFlagSelected) {
    if (object->type == kObjRoof || object->type == kObjRoofPanel) return IsRootObjectSelected(object);
    return IsObjectSelected(object);
  }
  return false;
}

void DrawObject(DrawContext* handle, Objex* object, const RECT* updateRect, int32_t drawFlags,
                const DragTransformInfo* transform) {
  ZLKDocumentModel* doc = gCurDocument;
  DocState* ds = CurDocState();
  if (!doc || !ds || !object) return;
  int32_t viewID = 0;
  if (!gRealTimeDraw) {
    if (!CanObjectBeDrawn(object, drawFlags)) return;
    viewID = GetCurrentView();
  }

  if (object->visible) {
    PenColorScope penScope;
    const Objex* root = GetRootObject(object);
    if (IsWall(root) && root->layer == doc->itsCurLayer) {
      RGBColor color;
      GetObjectPlanColor(object, &color);
      gPlanDrawSettings.penColor = color;
    }
    if (DrawContext* ctx = ResolveDrawContext(handle))
      ctx->setColor((drawFlags & (kDrawFlagRed | kDrawFlagRedAlt)) ? kDrawRed
                                                                    : DrawColorFromRGB(gPlanDrawSettings.penColor));
    if (gTransformationDrawing) {
      if (ZLKDynamicDrawEngine* engine = MainViewDynamicDrawEngine()) {
        auto element = std::make_unique<ZLKDynamicTransformElement>();
        element->setLineStyleForObject(object);
        engine->addDynamicTransformElement(std::move(element));
      }
    }

    if (!DrawWholeObjectByKind(handle, object, updateRect, drawFlags, transform)) {
      // A wall is drawn by its outline (its type data) unless it is being moved. A wall
      // whose outline has not been built yet is drawn from its own points.
      if (object->type == kObjWall && !transform) {
        if (!object->typeData) DrawWallFromPoints(handle, object);
      } else {
        const bool perimeter = NeedsOutlineDimensions(object);
        if (perimeter && !IsDetailShape(object)) DrawObjectPerimeter(handle, object);
        if (IsDetailShape(object)) ApplePortDrawDetailObject(object, drawFlags, transform);
        else if (transform || gDynamicDrawing || DrawOwnRoutineByKind(handle, object))
          DrawSegments(handle, object, drawFlags, transform, viewID);
        if (perimeter && IsDetailShape(object)) DrawObjectPerimeter(handle, object);
      }
    }
  }

  DrawChildren(handle, object, updateRect, drawFlags, transform, ds);
}

int32_t DrawLayer(DrawContext* handle, Layer* layer, const RECT* updateRect, int32_t drawFlags,
                  const DragTransformInfo* transform) {
  ZLKDocumentModel* doc = gCurDocument;
  DocState* ds = CurDocState();
  if (!layer || !doc || !ds || !layer->visible) return 0;
  for (Objex* object = layer->firstObject; object; object = object->next) {
    if (!IsObjectOnCurrentPlan(object, ds->currentPlanMask)) continue;
    {
      PenColorScope penScope;
      if (layer == doc->itsCurLayer) {
        RGBColor color;
        GetObjectPlanColor(object, &color);
        gPlanDrawSettings.penColor = color;
      } else if (layer == doc->itsTopoLayer) {
        gPlanDrawSettings.penColor = TopographyColor(ds);
      }
      if (!transform) DrawTypeDataObjects(handle, object, updateRect, drawFlags);
      switch (object->type) {
        case kObjGroup:
          if (CulledByView(object, true)) break;
          DrawObject(handle, object, updateRect, drawFlags, transform);
          StrokeAcclLineBuffer(handle);
          break;
        case kObjPlant:
          if (CulledByView(object, false)) break;
          DrawObject(handle, object, updateRect, drawFlags, transform);
          break;
        case kObjEdging:
          DrawObject(handle, object, updateRect, drawFlags, transform);
          StrokeLineBufferDashed(handle);
          break;
        default:
          DrawObject(handle, object, updateRect, drawFlags, transform);
          break;
      }
    }
    gAcclLinePointCount = 0;
  }
  return 0;
}

void DrawAllLayers(DrawContext* handle, Layer* layers, const RECT* updateRect, int32_t drawFlags,
                   const DragTransformInfo* transform) {
  ZLKDocumentModel* doc = gCurDocument;
  DocState* ds = CurDocState();
  if (!doc || !ds) return;

  if (!transform && !gPrinting && !ds->traceImageVisible) FillAllExteriorPerimeterSpaces(handle, doc->itsCurLayer);

  {
    PenColorScope penScope;
    const RGBColor inactive = InactiveFloorColor(ds);
    gPlanDrawSettings.penColor = inactive;
    if (!transform) {
      const RGBColor currentDeckFill = CurrentFloorDeckHatchColor(ds);
      for (Layer* layer = layers; layer; layer = layer->next) {
        if (!layer->visible) continue;
        for (Objex* object = layer->firstObject; object; object = object->next) {
          if (object->type != kObjDeck || !IsObjectOnCurrentPlan(object, ds->currentPlanMask)) continue;
          const RGBColor fill = layer == doc->itsCurLayer ? currentDeckFill : inactive;
          Draw2DCurvedFillRegion(handle, object, kPenRegionNone, 0, &inactive, &fill, kBrushForwardDiagonal);
        }
      }
    }
    for (Layer* layer = layers; layer; layer = layer->next) {
      if (layer == doc->itsCurLayer || layer == doc->itsCur2DLayer) continue;
      if (DrawLayer(handle, layer, updateRect, drawFlags, transform)) break;
    }
  }
  DrawLayer(handle, doc->itsCurLayer, updateRect, drawFlags, transform);

  if (!transform && !gPrinting && (gCurTool == kToolExteriorWall || gCurTool == kToolExteriorWallKeyEntry))
    DrawAllFoundationPerimeters(handle, layers);
  DrawVirtualRuler(handle);
}

void FillAllExteriorPerimeterSpaces(DrawContext* handle, Layer* layer) {
  ZLKDocumentModel* doc = gCurDocument;
  DocState* ds = CurDocState();
  if (gPrinting || !layer || !doc || !ds || !doc->itsCurLayer) return;
  const RGBColor black{};
  const RGBColor fill = ExteriorFillColor(ds);
  for (Objex* object = doc->itsCurLayer->firstObject; object; object = object->next)
    if (object->type == kObjWall && object->subtype == kSubExteriorWall &&
        IsObjectOnCurrentPlan(object, ds->currentPlanMask))
      Draw2DFillRegion(handle, object, kPenRegionNone, 0, &black, &fill, kBrushSolid);
}

void DrawAllFoundationPerimeters(DrawContext* handle, Layer* layers) {
  ZLKDocumentModel* doc = gCurDocument;
  DocState* ds = CurDocState();
  if (gPrinting || !doc || !ds || !doc->itsCurLayer) return;
  if (gCurTool != kToolExteriorWall && gCurTool != kToolExteriorWallKeyEntry) return;
  const RGBColor stroke = ds->planColors[kPlanFoundation];
  const RGBColor fill = InactiveFloorColor(ds);
  for (Objex* object = doc->itsCurLayer->firstObject; object; object = object->next)
    if (object->type == kObjWall && object->subtype == kSubExteriorWall &&
        IsObjectOnCurrentPlan(object, ds->currentPlanMask))
      Draw2DFillRegion(handle, object, kPenRegionDotted, 1, &stroke, &fill, kBrushHollow);
}
