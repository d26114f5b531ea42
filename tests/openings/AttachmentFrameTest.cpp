// Dispatch of the attachment builders, the mirror, the accessory plane, wall component
// symbol fitting, rectangular and arched frames and divider bars.
#include "../model/ViewStateGuard.h"
#include "FrameTestSupport.h"
#include "model/Bounds.h"
#include "model/Services.h"
#include "openings/DoorFrames.h"

namespace {

// Component kinds the stand-in symbol library knows (both stretched to their record): 95 a
// 30 x 10 box, 96 a symbol whose points all lie on one spot.
constexpr int32_t kBoxKind = 95;
constexpr int32_t kDotKind = 96;

// The symbol library of the tools, as far as these tests need it: one part per kind,
// built about the origin. This program does not link the tools: it installs this in their
// place.
void StandInAttach3DSymbol(Objex* object, int32_t symbolType, float, float) {
  if (symbolType != kBoxKind && symbolType != kDotKind) return;
  const RGBColor c{};
  Objex* part = CreateObject(kObjAttachedSymbolPart, 1, 1, &c, &c, 1, 6, 0, nullptr, nullptr, nullptr, nullptr,
                             object->layer, nullptr);
  const bool dot = symbolType == kDotKind;
  const float corners[4][2] = {{-15, 0}, {15, 0}, {15, 10}, {-15, 10}};
  for (const auto& xz : corners)
    AppendPointToObject(CreatePoint(1, 0, 0, 0, 0, 0, dot ? 0 : xz[0], -5, dot ? 0 : xz[1], 0, 0, 0, 0, 0, 0, part),
                        part);
  part->next = object->symbol3D;
  if (object->symbol3D) object->symbol3D->prev = part;
  object->symbol3D = part;
}
const bool kStandInInstalled = (gToolsServices.attach3DSymbol = StandInAttach3DSymbol, true);

using AttachmentFrameTest = FrameTest;

TEST_F(AttachmentFrameTest, SubtypesOutsideTheTablesKeepTheOldFaces) {
  struct Case {
    int16_t type, valid, invalid;
    size_t faces;
  };
  for (const Case& c : {Case{kObjDoor, kDoorHinged, 499, 11}, Case{kObjDoor, kDoorHinged, 513, 11},
                        Case{kObjWindow, kWindowRectangular, 599, 1}, Case{kObjWindow, kWindowRectangular, 627, 1}}) {
    Objex* o = Add(c.type, c.valid, 40, 76);
    BuildAttachmentFrame(o);
    Objex* before = Rec(o)->faces;
    ASSERT_EQ(Faces(o).size(), c.faces);
    Rec(o)->subtype = c.invalid;
    BuildAttachmentFrame(o);
    EXPECT_EQ(Rec(o)->faces, before) << c.invalid;
    EXPECT_EQ(Faces(o).size(), c.faces) << c.invalid;
  }
}

TEST_F(AttachmentFrameTest, OnlyTheShapedFamiliesAreMirrored) {
  for (int16_t subtype : {int16_t{kWindowOctagon}, int16_t{kWindowCircle}, int16_t{kWindowRectangular}}) {
    Objex* plain = Add(kObjWindow, subtype, 40, 76, 48);
    Objex* flipped = Add(kObjWindow, subtype, 40, 76, 48);
    Rec(flipped)->flipVertical = 1;
    BuildAttachmentFrame(plain);
    BuildAttachmentFrame(flipped);
    const auto a = AllPoints(plain), b = AllPoints(flipped);
    ASSERT_EQ(a.size(), b.size());
    ASSERT_FALSE(a.empty());
    for (size_t i = 0; i < a.size(); ++i) EXPECT_FLOAT_EQ(a[i].y, b[i].y) << subtype << " point " << i;
  }
  // A pentagon is mirrored about the middle of its straight sides (its first two outline
  // points, the first quarter of its ten frame points).
  Objex* plain = Add(kObjWindow, kWindowPentagon2, 40, 76, 48);
  Objex* flipped = Add(kObjWindow, kWindowPentagon2, 40, 76, 48);
  Rec(flipped)->flipVertical = 1;
  BuildAttachmentFrame(plain);
  BuildAttachmentFrame(flipped);
  const auto a = AllPoints(plain), b = AllPoints(flipped);
  ASSERT_EQ(a.size(), 10u);
  const float c = (a[0].y + a[1].y) / 2;
  EXPECT_FLOAT_EQ(c, -15.0f);  // sides 30 high (48 - 18)
  for (size_t i = 0; i < a.size(); ++i) {
    EXPECT_FLOAT_EQ(b[i].y, c - (a[i].y - c)) << i;
    EXPECT_FLOAT_EQ(b[i].x, a[i].x) << i;
  }
  // The bounds follow the mirrored points: the peak 48 up now lies 18 below the bottom.
  EXPECT_FLOAT_EQ(Faces(flipped)[0]->bounds3D.floatBottom, 18.0f);
}

// A rebuild whose builder gives up (here for want of a parent) keeps the model as it was:
// already mirrored, it is not turned over a second time.
TEST_F(AttachmentFrameTest, ARebuildThatBuildsNothingDoesNotMirrorAgain) {
  Objex* window = Add(kObjWindow, kWindowPentagon2, 40, 76, 48);
  Objex* acc = Add(kObjAccessory, 0, 40, 70, 20, 30);
  for (Objex* o : {window, acc}) {
    Rec(o)->flipVertical = 1;
    BuildAttachmentFrame(o);
    const auto built = AllPoints(o);
    ASSERT_FALSE(built.empty());
    Objex* head = Rec(o)->faces;
    o->parent = nullptr;
    BuildAttachmentFrame(o);
    o->parent = wall;
    EXPECT_EQ(Rec(o)->faces, head);
    const auto after = AllPoints(o);
    ASSERT_EQ(after.size(), built.size());
    for (size_t i = 0; i < built.size(); ++i) EXPECT_FLOAT_EQ(after[i].y, built[i].y) << o->type << " point " << i;
  }
}

TEST_F(AttachmentFrameTest, AccessoryPlaneStandsOffTheWallAndRebuildsInPlace) {
  Objex* acc = Add(kObjAccessory, 0, 40, 70, 20, 30);
  Rec(acc)->openAngle() = 1.5f;  // inches off the wall face
  acc->textureID1 = 77;
  acc->color1 = RGBColor{5, 6, 7};
  acc->textureScale1 = ShortPoint{30, 40};
  BuildAttachmentFrame(acc);
  BuildAttachmentFrame(acc);
  ASSERT_EQ(Faces(acc).size(), 1u);
  Objex* face = Rec(acc)->faces;
  EXPECT_EQ(face->type, kObjAccessoryFace);
  EXPECT_EQ(face->closed, 0);
  EXPECT_EQ(face->levels, 2);
  EXPECT_EQ(face->capped, 0);
  const auto pts = Points(face);
  ASSERT_EQ(pts.size(), 4u);
  // p2 then p1 at the elevation, then both 20 higher; 3 + 1.5 in front of the centre line.
  const FramePoint expected[4] = {{70, -30, 4.5f}, {40, -30, 4.5f}, {70, -50, 4.5f}, {40, -50, 4.5f}};
  for (int i = 0; i < 4; ++i) {
    EXPECT_NEAR(pts[i].x, expected[i].x, 1e-4) << i;
    EXPECT_NEAR(pts[i].y, expected[i].y, 1e-4) << i;
    EXPECT_NEAR(pts[i].z, expected[i].z, 1e-4) << i;
  }
  for (Poinz* p = face->firstPoint; p; p = p->next) {
    EXPECT_EQ(p->textureID[0], 77);
    EXPECT_EQ(p->textureID[1], 77);
    EXPECT_EQ(p->color[1], (RGBColor{5, 6, 7}));
    EXPECT_EQ(p->textureScale[0].y, 40);
  }
  // Flipped top to bottom it hangs down from its elevation instead.
  Rec(acc)->flipVertical = 1;
  BuildAttachmentFrame(acc);
  const auto flipped = Points(Rec(acc)->faces);
  EXPECT_FLOAT_EQ(flipped[0].y, -30.0f);
  EXPECT_FLOAT_EQ(flipped[2].y, -10.0f);
}

TEST_F(AttachmentFrameTest, ComponentSymbolsAreFittedIntoTheirPlace) {
  Objex* dim = Add(kObjComponent, 0, 40, 70, 10);
  dim->subtype = kSubDimensionAttachment;
  BuildAttachmentFrame(dim);
  EXPECT_EQ(dim->symbol3D, nullptr);

  Objex* box = Add(kObjComponent, 0, 40, 100, 20, 12);
  box->subtype = kBoxKind;
  Rec(box)->width = 60;
  BuildAttachmentFrame(box);
  ASSERT_NE(box->symbol3D, nullptr);
  EXPECT_FLOAT_EQ(MaxX(box->symbol3D) - MinX(box->symbol3D), 60.0f);
  EXPECT_FLOAT_EQ(MaxZ(box->symbol3D) - MinZ(box->symbol3D), 20.0f);
  // Centred on the wall point 40 along, in front of the wall face, lowered by the elevation.
  EXPECT_FLOAT_EQ((MaxX(box->symbol3D) + MinX(box->symbol3D)) / 2, 40.0f);
  EXPECT_FLOAT_EQ(MinZ(box->symbol3D), 3.1f);
  EXPECT_FLOAT_EQ(MinY(box->symbol3D), -17.0f);

  // Materials the user gave the parts survive a refit; the old parts are freed.
  box->symbol3D->textureID2 = 555;
  box->symbol3D->firstPoint->textureID[1] = 666;
  BuildAttachmentFrame(box);
  ASSERT_NE(box->symbol3D, nullptr);
  EXPECT_EQ(box->symbol3D->next, nullptr);
  EXPECT_EQ(box->symbol3D->textureID2, 555);
  EXPECT_EQ(box->symbol3D->firstPoint->textureID[1], 666);

  // A symbol without extent keeps its size rather than dividing by zero.
  Objex* dot = Add(kObjComponent, 0, 40, 100, 20, 12);
  dot->subtype = kDotKind;
  BuildAttachmentFrame(dot);
  ASSERT_NE(dot->symbol3D, nullptr);
  for (const FramePoint& p : Points(dot->symbol3D)) {
    EXPECT_TRUE(std::isfinite(p.x) && std::isfinite(p.z));
    EXPECT_FLOAT_EQ(p.x, 40.0f);
  }
}

TEST_F(AttachmentFrameTest, RectangularFrameIsAGreyTubeProudOfBothFaces) {
  Objex* door = Add(kObjDoor, kDoorFrameOnly, 40, 76, 80, 10);
  BuildAttachmentFrame(door);
  ASSERT_EQ(Faces(door).size(), 1u);
  Objex* frame = Rec(door)->faces;
  EXPECT_EQ(frame->type, kObjFrameFace);
  EXPECT_EQ(frame->levels, 2);
  EXPECT_EQ(frame->capped, 1);
  EXPECT_EQ(frame->closed, 1);
  const auto pts = Points(frame);
  ASSERT_EQ(pts.size(), 8u);
  // Wall 6 thick: each ring 3 + 2.1 from the centre line; bottom at the elevation, head 80 up.
  const FramePoint expected[8] = {{76, -10, -5.1f}, {76, -90, -5.1f}, {40, -90, -5.1f}, {40, -10, -5.1f},
                                  {76, -10, 5.1f},  {76, -90, 5.1f},  {40, -90, 5.1f},  {40, -10, 5.1f}};
  for (int i = 0; i < 8; ++i) {
    EXPECT_NEAR(pts[i].x, expected[i].x, 1e-4) << i;
    EXPECT_NEAR(pts[i].y, expected[i].y, 1e-4) << i;
    EXPECT_NEAR(pts[i].z, expected[i].z, 1e-4) << i;
  }
  for (Poinz* p = frame->firstPoint; p; p = p->next) {
    for (int side = 0; side < 2; ++side) {
      EXPECT_EQ(p->textureID[side], 0);
      EXPECT_EQ(p->color[side], (RGBColor{0xD0D0, 0xD0D0, 0xD0D0}));
      // The scales the points were made with stay.
      EXPECT_EQ(p->textureScale[side].x, 100);
      EXPECT_EQ(p->textureScale[side].y, 100);
    }
  }
  EXPECT_FLOAT_EQ(frame->bounds3D.floatLeft, 40.0f);
  EXPECT_FLOAT_EQ(frame->bounds3D.floatTop, -90.0f);
}

TEST_F(AttachmentFrameTest, DividerBarsByCountAndSubtype) {
  Objex* window = Add(kObjWindow, kWindowRectangular, 40, 100, 48);
  BuildAttachmentFrame(window);
  EXPECT_EQ(Faces(window).size(), 1u);

  // One bar alone is 4.0 wide, in the middle of the opening, in the wall's centre plane.
  Rec(window)->verticalDividers() = 1;
  BuildAttachmentFrame(window);
  auto faces = Faces(window);
  ASSERT_EQ(faces.size(), 2u);
  EXPECT_EQ(faces[1]->type, kObjSeparatorFace);
  EXPECT_EQ(faces[1]->levels, 1);
  EXPECT_FLOAT_EQ(MaxX(faces[1]) - MinX(faces[1]), 4.0f);
  EXPECT_FLOAT_EQ((MaxX(faces[1]) + MinX(faces[1])) / 2, 70.0f);
  EXPECT_FLOAT_EQ(MinY(faces[1]), -48.0f);
  for (Poinz* p = faces[1]->firstPoint; p; p = p->next) {
    EXPECT_EQ(p->textureID[0], 4321);
    EXPECT_FLOAT_EQ(p->position[2], -0.5f);  // every corner in the one plane
  }

  // Two are 2.0 wide at a third and two thirds; horizontal bars come first.
  Rec(window)->verticalDividers() = 2;
  Rec(window)->horizontalDividers() = 1;
  BuildAttachmentFrame(window);
  faces = Faces(window);
  ASSERT_EQ(faces.size(), 4u);
  EXPECT_FLOAT_EQ(MaxY(faces[1]) - MinY(faces[1]), 2.0f);
  EXPECT_FLOAT_EQ((MaxY(faces[1]) + MinY(faces[1])) / 2, -24.0f);
  EXPECT_FLOAT_EQ(MaxX(faces[1]) - MinX(faces[1]), 60.0f);
  EXPECT_FLOAT_EQ(MaxX(faces[2]) - MinX(faces[2]), 2.0f);
  EXPECT_FLOAT_EQ((MaxX(faces[2]) + MinX(faces[2])) / 2, 60.0f);
  EXPECT_FLOAT_EQ((MaxX(faces[3]) + MinX(faces[3])) / 2, 80.0f);

  // A divided door's bars are 6.0 wide however many.
  Objex* door = Add(kObjDoor, kDoorFrameWithDividers, 40, 100, 80);
  Rec(door)->verticalDividers() = 3;
  BuildAttachmentFrame(door);
  faces = Faces(door);
  ASSERT_EQ(faces.size(), 4u);
  for (size_t i = 1; i < faces.size(); ++i) EXPECT_FLOAT_EQ(MaxX(faces[i]) - MinX(faces[i]), 6.0f);
}

TEST_F(AttachmentFrameTest, ArchedDoorFramesSpringAtTheirRise) {
  for (auto [subtype, spring] : {std::pair<int16_t, float>{kDoorArchedOpeningLow, 71}, {kDoorArchedOpening, 62}}) {
    Objex* door = Add(kObjDoor, subtype, 40, 76, 80);
    BuildAttachmentFrame(door);
    ASSERT_EQ(Faces(door).size(), 1u);
    Objex* tube = Rec(door)->faces;
    EXPECT_EQ(tube->type, kObjFrameFace);
    EXPECT_EQ(tube->levels, 2);
    const auto pts = Points(tube);
    ASSERT_EQ(pts.size(), 42u);
    EXPECT_NEAR(pts[1].y, -spring, 1e-4);   // the arch's 180-degree point
    EXPECT_NEAR(pts[10].y, -80.0f, 1e-4);   // apex
    EXPECT_NEAR(pts[10].x, 58.0f, 1e-4);
    EXPECT_NEAR(pts[0].z, -5.1f, 1e-4);
    EXPECT_NEAR(pts[21].z, 5.1f, 1e-4);
    EXPECT_EQ(tube->firstPoint->color[0], (RGBColor{0xD0D0, 0xD0D0, 0xD0D0}));
    EXPECT_EQ(tube->parent, door);
  }
}

}  // namespace

namespace {
bool SameRect(const FloatRect& a, const FloatRect& b) {
  return a.floatTop == b.floatTop && a.floatLeft == b.floatLeft && a.floatBottom == b.floatBottom &&
         a.floatRight == b.floatRight;
}
bool SameBox(const Float3DRect& a, const Float3DRect& b) {
  return a.floatTop == b.floatTop && a.floatLeft == b.floatLeft && a.floatBack == b.floatBack &&
         a.floatBottom == b.floatBottom && a.floatRight == b.floatRight && a.floatFront == b.floatFront;
}
}  // namespace

// The bounds a face keeps are those of the full measure of its points, in the plan and in a
// turned view, for built frames and leaves and for faces with curved segments or children.
TEST_F(AttachmentFrameTest, StoredFaceBoundsAreThoseOfTheFullMeasure) {
  ViewStateGuard guard(false);
  for (const auto& view : {std::pair<float, float>{90, 0}, std::pair<float, float>{35, 25}}) {
    gXViewAngle = view.first;
    gYViewAngle = view.second;
    gPerspective = 0;
    gGlobalXOffset = 3, gGlobalYOffset = -96, gGlobalZOffset = 7;
    SetUpForRotationAboutArbitraryAxis(view.first, view.second, &gCosXAngle, &gSinXAngle, &gCosYAngle, &gSinYAngle,
                                       0);
    std::vector<Objex*> faces;
    for (const auto& [type, subtype] : {std::pair<int16_t, int16_t>{kObjDoor, kDoorHinged},
                                        {kObjDoor, kDoorGarage}, {kObjWindow, kWindowRectangular}}) {
      Objex* o = Add(type, subtype, 40, 76, 80, type == kObjWindow ? 30 : 0);
      BuildAttachmentFrame(o);
      for (Objex* f : Faces(o)) faces.push_back(f);
    }
    ASSERT_GT(faces.size(), 10u);
    // As the builders stored them.
    for (Objex* f : faces) {
      FloatRect rect = EmptyFloatRect();
      GetObjectBounds(f, 0, &rect, 1, 0);
      Float3DRect box = EmptyFloat3DRect();
      GetObject3DBounds(f, 0, &box, 1);
      EXPECT_TRUE(SameRect(f->bounds, rect)) << "built face type " << f->type;
      EXPECT_TRUE(SameBox(f->bounds3D, box)) << "built face type " << f->type;
    }
    // A face with a curved segment, and one holding a child face.
    Objex* curved = faces[0];
    curved->firstPoint->outHandle[0] = 12;
    curved->firstPoint->next->inHandle[2] = -9;
    Objex* holder = faces[1];
    Objex* child = faces[2];
    Objex* keep = child->next;
    if (child->prev) child->prev->next = keep;
    if (keep) keep->prev = child->prev;
    child->prev = child->next = nullptr;
    holder->firstChild = child;
    faces.erase(faces.begin() + 2);
    for (Objex* f : faces) {
      StoreFaceBounds(f);
      FloatRect rect = EmptyFloatRect();
      GetObjectBounds(f, 0, &rect, 1, 0);
      Float3DRect box = EmptyFloat3DRect();
      GetObject3DBounds(f, 0, &box, 1);
      EXPECT_TRUE(SameRect(f->bounds, rect)) << "face type " << f->type;
      EXPECT_TRUE(SameBox(f->bounds3D, box)) << "face type " << f->type;
    }
    EXPECT_FALSE(IsEmptyBounds(holder->bounds3D));
  }
}
