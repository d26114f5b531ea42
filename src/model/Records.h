// The records that hold a design in memory: layers of objects made of points,
// with the object type and subtype codes.
#pragma once
#include <cstdint>
#include <cstring>
#include "model/Types.h"

struct Objex;
struct Poinz;
struct PlantInfo;
struct DocState;

// Records are allocated zeroed (calloc) and freed by the routine that unlinks them.
struct Layer {
  Layer* prev;
  char name[256];
  uint8_t visible;
  uint8_t selectable;
  Objex* firstObject;
  float height;  // floor height, world units
  Layer* next;
  // In memory only, never stored: the last object of the list when the list routines
  // last knew it. A hint: LastObjectOfLayer checks it before use.
  Objex* lastObject;
};

struct Objex {
  // The links and the fields every walk of a floor reads come first, in one cache line.
  Objex* prev;
  Objex* next;
  Poinz* firstPoint;
  Objex* firstChild;
  void* typeData;
  int16_t type;
  uint8_t closed;
  uint8_t visible;
  int32_t planMask;
  int32_t subtype;
  float width;
  RGBColor penColor;
  uint16_t options[3];  // no automatic floor, casts shadows, intersects topography cut-out
  RGBColor fillColor;
  int16_t penStyle;
  int16_t fillPattern;
  FloatRect bounds;
  Float3DRect bounds3D;
  Objex* parent;
  Objex* symbol3D;
  Layer* layer;
  int16_t levels;
  int32_t pointCount;
  uint8_t capped;
  int16_t direction;
  int32_t textureID;
  FloatRect textureRect;
  FloatRect textureRect2;
  int16_t auxShort;  // texture projection plane: 1 x/y, 2 x/z, 3 z/y
  uint8_t needsRender;
  float plantAge;
  void* sourceObject;  // photo views: owned NUL-terminated image path
  void* auxPointer;
  // On groups a small marker value (123 symbol editor, 117 section detail);
  // kept as a number since it is never dereferenced.
  intptr_t groupMarker;
  PlantInfo* plantInfo;
  int32_t textureID1;
  int32_t textureID2;
  RGBColor color1;
  RGBColor color2;
  float baseElevation;
  uint8_t auxFlag;
  int32_t textureID3;
  RGBColor color3;
  int32_t textureID4;
  RGBColor color4;
  ShortPoint textureScale1, textureScale2, textureScale3, textureScale4, textureScale;
  float params[5];
  int32_t extraLong;
  // Text objects own a LOGFONT here; converted stairs, railings, edging and
  // paths keep a flag word in extraFlags instead (never in the pointer).
  void* extraData;
  int32_t extraFlags;
  char* name;
  void* cocoaObject;
  uint32_t objectID;
  // In memory only, never stored: the last child when the list routines last knew it.
  // A hint: LastChildOfObject checks it before use.
  Objex* lastChild;

  // Roof panels: 0 when the lowest corner sits at the base elevation, 1 the highest.
  int16_t& slopeAnchor() { return direction; }
  int16_t slopeAnchor() const { return direction; }
};

struct Poinz {
  // The links, the flags and the position with its handles share the first cache line.
  Poinz* prev;
  Poinz* next;
  int16_t pointType;
  uint8_t selected;
  uint8_t detectable;
  uint8_t locked;
  float inHandle[3];
  float position[3];
  float outHandle[3];
  float linkVector[3];
  Objex* owner;
  int32_t textureID[2];
  float texU, texV;
  float pathLength;
  float ringLength;
  RGBColor color[2];
  float segmentElevation;
  int32_t segmentLong1;
  int16_t segmentShort1;
  int16_t segmentShort2;
  int32_t segmentFlags;
  void* trim1;
  void* trim2;
  float segmentFloats[5];
  int32_t segmentLong3;
  int16_t keyEntryMark;
  ShortPoint textureScale[2];
  uint32_t pointID;
  // The side trim words of a point that is not a wall's (walls keep TrimData in trim1/trim2).
  int32_t trimWord1;
  int32_t trimWord2;
};

// Object type codes.
enum : int16_t {
  kObjRect = 1, kObjOval = 2, kObjMultigon = 4, kObjArc = 5, kObjLine = 6, kObjClosedPoly = 8,
  kObjOpenPoly = 9, kObjWallFace = 10, kObjWallEdge = 11, kObjWall = 12, kObjFloor = 13,
  kObjRoof = 14, kObjSymbolPart3D = 15, kObjDoor = 16, kObjWindow = 17, kObjAccessoryFace = 18,
  kObjSeparatorFace = 19, kObjFace = 20, kObjPropertyLine = 21, kObjPath = 22,
  kObjPathSurface = 23, kObjEdging = 24, kObjFence = 25, kObjFill = 26, kObjGroundFill = 27,
  kObjPlant = 28, kObjDetail = 29, kObjTopography = 30, kObjSymbolPart2D = 31,
  kObjRoofPlane = 32, kObjRoofGablePart = 35, kObjWallFloorPass = 36, kObjStaircase = 38,
  kObjRailPart = 39, kObjStairStepPart = 40, kObjRoofHipPart = 41, kObjStairLandingPart = 42,
  kObjStairTread = 43, kObjSpindle = 44, kObjRailing = 45, kObjWallCeilingPass = 46,
  kObjFloorSecondPass = 47, kObjCutout = 48, kObjDeck = 51, kObjSkirting = 52,
  kObjDeckSteps = 53, kObjComponent = 56, kObjRoofPanel = 57, kObjRoofSlopeArrow = 58,
  kObjRoofPanelFace = 59, kObjSkylightOutline = 61, kObjEntireLot = 62, kObjAngleDim = 103,
  kObjDiameterDim = 104, kObjLeaderDim = 108, kObjAttachedSymbolPart = 111,
  kObjQuickWall = 113, kObjFoundationBeam = 114, kObjFoundationPier = 115,
  kObjFoundationStrand = 116, kObjAirDuct = 117, kObjSprinkler = 125,
  kObjCutoutFirstPass = 127, kObjDoorLeafFace = 128, kObjFoundationSlope = 129,
  kObjPhotoView = 130, kObjPhotoSurface = 131, kObjSlopeLotSection = 133,
  kObjTopoExcavation = 134, kObjExcavationPass = 135, kObjCabinet = 136, kObjDimLine = 137,
  kObjCabinetPass = 139, kObjWall3DChild = 140, kObjOffsetDim = 141, kObjOffsetDimHorizontal = 142, kObjLengthDim = 143,
  kObjDynamicText = 144, kObjText = 145, kObjAccessory = 157,
  kObjCustomAttachmentPart = 158, kObjSkylight = 160, kObjDormerCutout = 166,
  kObjDimensionInfo = 201, kObjFrameFace = 900, kObjGroup = 1000
};

// Subtype codes.
enum : int32_t {
  kSubDetailRect = 1, kSubDetailOval = 2, kSubDetailPolygon = 3, kSubDetailArc = 5,
  kSubDetailLine = 6, kSubDetailCurve = 7, kSubDeckCutout = 51, kSubExteriorWall = 54,
  kSubFixedSymbolMember = 89, kSubSwitchConnector = 112, kSubCabinet = 136, kSubDimensionAttachment = 138,
  kSubUserPlant = 153, kSubStraightStair = 800, kSubCurvedStair = 801,
  kSubStraightRail = 802, kSubCurvedRail = 803
};

// View command codes answered by GetCurrentView.
enum : int32_t {
  kCmdViewTop = 5149, kCmdViewLeft = 5151, kCmdViewRight = 5152, kCmdViewFront = 5153,
  kCmdViewBack = 5154, kCmdViewPerspectiveFar = 5155, kCmdViewOther = 5162,
  kCmdViewPerspectiveNear = 5179
};

// Creation and linking, on the current document.
Layer* CreateLayer(const char* name, uint8_t visible, uint8_t selectable, Objex* firstObject);
void AppendLayerToDocument(Layer* layer);
void UnlinkLayer(Layer* layer);
Layer* GetLayerFromName(const char* name);
float GetLayerAbsBaseHeight(const Layer* layer);
Objex* CreateObject(int16_t type, uint8_t closed, uint8_t visible, const RGBColor* pen,
                    const RGBColor* fill, float width, int16_t penStyle, int16_t fillPattern,
                    const FloatRect* bounds, Poinz* firstPoint, Objex* firstChild, Objex* parent,
                    Layer* layer, void* typeData);
Poinz* CreatePoint(int16_t pointType, uint8_t selected, uint8_t locked, float ix, float iy, float iz,
                   float x, float y, float z, float ox, float oy, float oz, float lx, float ly,
                   float lz, Objex* owner);
// Appends at the end of the layer's list in constant time (the tail hint).
void AppendObjectToLayer(Objex* object, Layer* layer);
// Links an unlinked object into the list of a layer's top-level object `before`, just ahead of it.
void InsertObjectBefore(Objex* object, Objex* before);
// Appends a child at the end of the parent's child list in constant time; sets its parent.
void AppendChildToObject(Objex* child, Objex* parent);
// The last object of the layer's list / the last child of the object: the kept tail when it
// still holds, else found by walking (and kept again).
Objex* LastObjectOfLayer(Layer* layer);
// Whether `layer` is in the list of floors that starts at `first`.
bool FloorListHolds(const Layer* first, const Layer* layer);
Objex* LastChildOfObject(Objex* parent);
// Keeps the tail hints right when `object` leaves its list or gets a new next sibling;
// the list routines call these, code relinking objects by hand must too.
void ForgetObjectAsTail(Objex* object);
void NoteObjectLinkedAfter(Objex* object, Objex* after);
void AppendPointToObject(Poinz* point, Objex* object);
void InsertPointInObject(Poinz* point, Objex* object, Poinz* after);
void InsertPointInObjectAndUpdatePointInfo(Poinz* point, Objex* object, Poinz* after);
// Copies what a point carries for the segment it starts and for its surface (texture, colours,
// the segment's values, the side trim words) from `from` to `to`. Not copied: the links, type,
// flags, place and handles, owner, ID and the trim records, whose ownership differs by caller.
inline void CopyPointSegmentValues(const Poinz* from, Poinz* to) {
  for (int i = 0; i < 2; ++i) {
    to->textureID[i] = from->textureID[i];
    to->textureScale[i] = from->textureScale[i];
    to->color[i] = from->color[i];
  }
  to->texU = from->texU;
  to->texV = from->texV;
  to->pathLength = from->pathLength;
  to->ringLength = from->ringLength;
  to->segmentElevation = from->segmentElevation;
  to->segmentLong1 = from->segmentLong1;
  to->segmentShort1 = from->segmentShort1;
  to->segmentShort2 = from->segmentShort2;
  to->segmentFlags = from->segmentFlags;
  std::memcpy(to->segmentFloats, from->segmentFloats, sizeof(to->segmentFloats));
  to->segmentLong3 = from->segmentLong3;
  to->keyEntryMark = from->keyEntryMark;
  to->trimWord1 = from->trimWord1;
  to->trimWord2 = from->trimWord2;
}
Objex* UnlinkObject(Objex* object);

// Lookups and queries.
Objex* GetObjectFromObjectID(uint32_t id);
Objex* GetObjectFromPointID(uint32_t id);
Poinz* GetPointFromPointID(uint32_t id);
Objex* GetASelectedObject(int n);
bool CenterOfObject(Objex* object, float* x, float* z);
bool IsObjectSymbolEditorObject(Objex* object);
bool IsObjectSectionDetailObject(Objex* object);
inline bool CanObjectTypeBeSelected(...) { return true; }
inline bool StillDown() { return true; }
bool SegmentContainsAttachments(Objex* object, Poinz* a, Poinz* b);
bool DoesPointContainAttachments(Objex* object, Poinz* point);
int32_t GetCurrentView();
void Point2Rect(int32_t x1, int32_t y1, int32_t x2, int32_t y2, RECT* rect);
float GetInchesFromWorld(float value, const DocState* docState);
float GetWorldFromInches(float value, const DocState* docState);

// Maintenance.
void UpdateAttachmentsWithNewPoint(Objex* object, Poinz* point, Poinz* newPoint);
void UpdateAllAttachmentsCustomTextureWH(int32_t textureID);
void AdjustEnhancedTextObjectSize(Objex* object);

// The point after p on its object's ring (wrapping on closed objects), or null.
Poinz* NextRingPoint(const Poinz* p);
