// The one bound on repeated parts and curve samples: a run just under it is built whole, a run
// over it is built at the bound and the user is told once per build; walks along lengths no
// spacing can shorten still end; and the fuzzed designs that made millions of spindles or
// took seconds to open are built at the bound.
#include <gtest/gtest.h>

#include <filesystem>
#include <tuple>
#include <vector>

#include "ModelInvariants.h"
#include "SceneTestSupport.h"
#include "TestDocument.h"
#include "building3d/Decks3D.h"
#include "building3d/Edging3D.h"
#include "building3d/Railings3D.h"
#include "building3d/RenderRoad.h"
#include "building3d/RepeatLimit.h"
#include "building3d/SiteFences3D.h"
#include "building3d/Triangulation.h"
#include "files/ByteStream.h"
#include "files/DesignFile.h"
#include "model/DeckFields.h"
#include "model/Globals.h"
#include "model/PlanarTransforms.h"
#include "model/Services.h"
#include "model/StairFields.h"
#include "platform/Alerts.h"

namespace {

namespace fs = std::filesystem;

struct RepeatLimit : ::testing::Test {
  TestDocument doc;
  ScopedAlertRecorder alerts;
  ~RepeatLimit() override { EXPECT_MODEL_SOUND(); }

  float WorldOf(float screen) { return ConvertScreenToWorld(screen, doc.ds(), 0); }

  // A closed deck 24 high whose first edge, (0, 0) to (length, 0), is a curve that runs
  // straight (tangents along the chord), so that its walk is `length` long.
  Objex* CurvedDeck(float length, int32_t firstFlags) {
    Objex* d = doc.addObject(kObjDeck, true, {{0, 0}, {length, 0}, {length, 200}, {0, 200}});
    DeckHeightOf(d) = 24;
    for (Poinz* p = d->firstPoint; p; p = p->next) {
      p->position[1] = -48;
      RailingHeightOf(p) = 36;
    }
    d->firstPoint->segmentFlags = firstFlags;
    d->firstPoint->outHandle[0] = length;
    d->firstPoint->next->inHandle[0] = length;
    return d;
  }

  Objex* StraightRailing(std::initializer_list<std::pair<float, float>> pts, float screenSpacing) {
    Objex* r = doc.addObject(kObjRailing, false, pts);
    r->levels = 1;
    RailHeightOf(r) = 36;
    RailBalusterSpacingOf(r) = WorldOf(screenSpacing);
    return r;
  }
};

constexpr float kRun = 4000;  // plan units of the runs below

TEST_F(RepeatLimit, CurvedDeckRailingSpindlesJustUnderAreAllBuiltOverAreBuiltAtTheLimit) {
  struct Case {
    float screenSpacing;
    int32_t least, most;
    bool told;
  } cases[] = {
      {kRun / (kMaxRepeats - 8), kMaxRepeats - 9, kMaxRepeats - 7, false},
      {kRun / (kMaxRepeats + 8), kMaxRepeats - 1, kMaxRepeats + 1, true},
      {1e-6f, kMaxRepeats - 1, kMaxRepeats + 1, true},
  };
  for (const Case& c : cases) {
    ScopedAlertRecorder told;
    Objex* d = CurvedDeck(kRun, kDeckSegmentRailing);
    DeckSpindleSpacingOf(d) = WorldOf(c.screenSpacing);
    Update3DDeck(d);
    const int32_t balusters = CountGeneratedParts(d, kObjRailPart);
    EXPECT_GE(balusters, c.least) << c.screenSpacing;
    EXPECT_LE(balusters, c.most) << c.screenSpacing;
    EXPECT_EQ(told.shown.size(), c.told ? 1u : 0u) << c.screenSpacing;
  }
}

TEST_F(RepeatLimit, StraightRailingSpansJustUnderAreAllBuiltOverAreBuiltAtTheLimit) {
  // n intervals: n + 1 balusters and the two rails.
  struct Case {
    float intervals;
    int32_t built;
    bool told;
  } cases[] = {{kMaxRepeats - 0.2f, kMaxRepeats, false}, {kMaxRepeats + 1.0f, kMaxRepeats, true},
               {1e9f, kMaxRepeats, true}};
  for (const Case& c : cases) {
    ScopedAlertRecorder told;
    Objex* r = StraightRailing({{0, 0}, {kRun, 0}}, kRun / c.intervals);
    UpdateRailObject(r);
    EXPECT_EQ(CountGeneratedParts(r, kObjRailPart), c.built + 3) << c.intervals;
    EXPECT_EQ(told.shown.size(), c.told ? 1u : 0u) << c.intervals;
  }
}

TEST_F(RepeatLimit, ABuildWithManyRunsOverTheLimitTellsOnce) {
  Objex* r = StraightRailing({{0, 0}, {kRun, 0}, {kRun, kRun}, {0, kRun}}, 1e-3f);
  UpdateRailObject(r);
  EXPECT_EQ(CountGeneratedParts(r, kObjRailPart), 3 * (kMaxRepeats + 3));
  EXPECT_EQ(alerts.shown.size(), 1u);
  // Each build tells again.
  UpdateRailObject(r);
  EXPECT_EQ(alerts.shown.size(), 2u);
}

TEST_F(RepeatLimit, AnOpenOrRebuildTellsOnceNamingTheObjectsCut) {
  Objex* a = StraightRailing({{0, 0}, {kRun, 0}}, 1e-3f);
  Objex* b = StraightRailing({{0, 500}, {kRun, 500}}, 1e-3f);
  Objex* fine = StraightRailing({{0, 900}, {kRun, 900}}, 100);
  struct Case {
    std::vector<Objex*> built;
    const char* told;  // nullptr: nothing said
  } cases[] = {{{fine}, nullptr},
               {{a, fine, a}, "One object of this design asks"},
               {{a, b, fine, b}, "2 objects of this design ask"}};
  for (const Case& c : cases) {
    ScopedAlertRecorder told;
    {
      RepeatLimitReport wholeOpen;
      for (Objex* r : c.built) UpdateRailObject(r);
      EXPECT_TRUE(told.shown.empty());  // nothing before the end
    }
    ASSERT_EQ(told.shown.size(), c.told ? 1u : 0u);
    if (c.told) EXPECT_EQ(told.shown[0].informative.rfind(c.told, 0), 0u) << told.shown[0].informative;
  }
}

TEST_F(RepeatLimit, CurveSamplesFromTheDesignAreBoundedOnBothSides) {
  // The straightened copy that makes the skirting: one band per piece of the curve.
  for (auto [segments, bands, told] : {std::tuple{kMaxRepeats, kMaxRepeats, false},
                                       std::tuple{kMaxRepeats + 1, kMaxRepeats, true},
                                       std::tuple{32767, kMaxRepeats, true}}) {
    ScopedAlertRecorder alert;
    doc.ds()->curveSegments = static_cast<int16_t>(segments);
    Objex* d = CurvedDeck(kRun, 0);
    Update3DDeck(d);
    EXPECT_EQ(CountGeneratedParts(d, kObjSkirting), 3 + bands) << segments;
    EXPECT_EQ(alert.shown.size(), told ? 1u : 0u) << segments;
  }
}

TEST_F(RepeatLimit, WalksAlongLengthsNoSpacingCanShortenEnd) {
  // Ends 1e30 apart: subtracting a spacing leaves the length as it was.
  Objex* edging = doc.addObject(kObjEdging, false, {{0, 0}, {1e30f, 0}});
  edging->levels = 1;
  UpdateEdgingObject(edging);
  EXPECT_LE(CountGeneratedParts(edging), kMaxRepeats + 1);

  Objex* fence = doc.addObject(kObjFence, false, {{0, 0}, {1e30f, 0}});
  fence->levels = 1;
  fence->textureID = 701;  // a built-in style
  UpdateFenceObject(fence);
  EXPECT_LE(CountGeneratedParts(fence), 3 * (kMaxRepeats + 1));  // a picket and two spacers a step

  Objex* rail = StraightRailing({{0, 0}, {1e30f, 0}}, 6);
  rail->firstPoint->outHandle[0] = 1;  // curved: the walked run
  UpdateRailObject(rail);
  EXPECT_LE(CountGeneratedParts(rail, kObjRailPart), kMaxRepeats + 2);
  EXPECT_EQ(alerts.shown.size(), 3u);
}

// ---- The fuzzed designs ----

fs::path Corpus(const char* name) {
  return fs::path(CASA_SOURCE_DIR) / "tests" / "fuzz" / "corpus" / "design_file" / name;
}

Objex* FirstOfType(int16_t type) {
  for (Layer* l = gCurDocument->itsLayers; l; l = l->next)
    for (Objex* o = l->firstObject; o; o = o->next)
      if (o->type == type) return o;
  return nullptr;
}

bool sShown = false;
void ShownBounds(int32_t* w, int32_t* h) { *w = *h = 64; }
bool Shown() { return sShown; }

struct FuzzedDesigns : ::testing::Test {
  TestDocument doc;
  ScopedAlertRecorder alerts;
  FuzzedDesigns() { ResetByteStream(); }
  ~FuzzedDesigns() override {
    ResetByteStream();
    EXPECT_MODEL_SOUND();
  }
};

TEST_F(FuzzedDesigns, ACurvedDeckRailingOfSpacingAlmostNothingIsBuiltAtTheLimit) {
  ASSERT_EQ(KeyFileRead(Corpus("curved-deck-railing-spacing-1e-6.pro").c_str()), 1);
  Objex* deck = FirstOfType(kObjDeck);
  ASSERT_NE(deck, nullptr);
  // Every run, the curved one (two rails a spindle) and the three straight ones, at the limit
  // (a baluster a spindle, two rails a run, four corner posts).
  EXPECT_GE(CountGeneratedParts(deck, kObjSpindle), 2 * (kMaxRepeats - 1));
  EXPECT_LE(CountGeneratedParts(deck, kObjSpindle), 2 * (kMaxRepeats + 1));
  EXPECT_GE(CountGeneratedParts(deck, kObjRailPart), 4 * kMaxRepeats);
  EXPECT_LE(CountGeneratedParts(deck, kObjRailPart), 4 * (kMaxRepeats + 4));
  EXPECT_EQ(alerts.shown.size(), 1u);
}

TEST_F(FuzzedDesigns, ARoofPanelOfTwentyThousandPointsKeepsThemInOrder) {
  ASSERT_EQ(KeyFileRead(Corpus("roof-panel-20000-points.pro").c_str()), 1);
  Objex* panel = FirstOfType(kObjRoofPanel);
  ASSERT_NE(panel, nullptr);
  int32_t n = 0;
  const Poinz* prev = nullptr;
  for (const Poinz* p = panel->firstPoint; p; prev = p, p = p->next, ++n) {
    ASSERT_EQ(p->prev, prev);
    ASSERT_EQ(p->owner, panel);
  }
  EXPECT_EQ(n, panel->pointCount);
  EXPECT_GE(n, 20000);
}

TEST_F(FuzzedDesigns, ADeckCurveOfSeventeenThousandSamplesCrossingItselfIsTriangulatedBounded) {
  const LiveViewHost saved = gLiveViewHost;
  gLiveViewHost.viewBounds = ShownBounds;
  gLiveViewHost.isVisible = Shown;
  sShown = true;
  gRenderOnShow = gForceRenderObjectNow = gEnableBackgroundRendering = 0;
  FreeScene();
  ASSERT_EQ(KeyFileRead(Corpus("deck-curve-17000-samples.pro").c_str()), 1);
  EXPECT_EQ(alerts.shown.size(), 1u);  // the curve's samples were bounded
  Objex* deck = FirstOfType(kObjDeck);
  ASSERT_NE(deck, nullptr);
  RenderAllLayers();
  int32_t deckTriangles = 0;
  for (PlaneObject* po = gGLPlaneObjects; po; po = po->next)
    if (po->sourceObject == deck)
      for (Plane* p = po->planes; p; p = p->next) ++deckTriangles;
  EXPECT_GT(deckTriangles, 0);
  EXPECT_LE(deckTriangles, kMaxEarClipVertices);
  FreeScene();
  gLiveViewHost = saved;
}

}  // namespace
