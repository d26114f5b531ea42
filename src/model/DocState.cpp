// DocState: creation, defaults, metric defaults, plan masks and dimension flag words.
#include "model/DocState.h"

#include <cstdlib>
#include <cstring>

#include "model/DimensionRecords.h"
#include "model/DocumentModel.h"
#include "model/Globals.h"
#include "model/ObjectTransforms.h"
#include "model/Records.h"
#include "model/SelectionState.h"

const int32_t kDefaultColorTable[72] = {
    0x4C9B59, 0xFFFFFF, 0x696CDF, 0xD36E5D, 0x576F6A, 0x26D457, 0xB03C4C, 0x4C3DC1, 0x72A07F,
    0x5C7092, 0x8A4E3E, 0x8C847B, 0xC6D3EB, 0x85ABBB, 0x3D5DC2, 0x4537A4, 0x2EA9FF, 0x52D5E6,
    0xB5BE84, 0xB1BECD, 0x7FA85B, 0x3BD8C0, 0xFE4B28, 0xD29200, 0x0456B2, 0x9494C2, 0x26B6C0,
    0x12A01F, 0x7D68C2, 0x8CDCFA, 0xE2D3E4, 0x3EB9FA, 0x14611A, 0xC8B682, 0x00E8FF, 0x76376A,
    0xBAE4EC, 0xAED7EF, 0x9FCFF0, 0x7A94BE, 0x386382, 0x57657B, 0x6B7789, 0x718FBF, 0xB9D2E1,
    0x5B82C2, 0x9CAED5, 0x3B59A2, 0x7F0000, 0x7F00FF, 0xFF7F7F, 0xFF0000, 0xFFFF00, 0x0000FF,
    0x007FFF, 0x1DE2BB, 0x00FFFF, 0xFF00FF, 0xFF7FFF, 0x3F003F, 0xFFFFFF, 0xF4F4F4, 0xE0E0E0,
    0xD0D0D0, 0xC0C0C0, 0xA0A0A0, 0x8E8E8E, 0x888888, 0x808080, 0x707070, 0x5C5C5C, 0x000000};

static const int32_t kDefaultPlanMasks[9] = {257, 511, 262, 266, 274, 290, 322, 386, 386};

DocState* CreateDocState() {
  auto* ds = static_cast<DocState*>(calloc(1, sizeof(DocState)));
  if (ds) InitializeDocState(ds);
  return ds;
}

void InitializeDocState(DocState* ds) {
  if (!ds) return;
  ds->gateToolOffset.floatH = 0.5f;
  ds->gateToolOffset.floatV = -0.5f;
  ds->setting1 = 1;
  ds->viewPoint.floatH = 2400.0f;
  ds->viewPoint.floatV = 0.0f;
  ds->viewPoint.floatD = -2400.0f;
  ds->viewPlane = 2;
  ds->wallToolFlag1 = 1;
  ds->wallToolFlag2 = 0;
  ds->wallToolFlag3 = 0;
  ds->angleConstraint = 1;
  ds->constraintFlag2 = 0;
  ds->constraintFlag3 = 0;
  ds->snapToGrid = 1;
  ds->gridSpacing.floatH = 12.0f;
  ds->gridSpacing.floatV = 12.0f;
  ds->gridSnap.floatH = 1.0f;
  ds->gridSnap.floatV = 1.0f;
  ds->setting13 = 50;
  ds->setting14 = 12.0f;
  ds->newPenStyle = 6;
  ds->newLineWeight = 1;
  ds->setting17 = 10;
  ds->planBounds.floatTop = -2400.0f;
  ds->planBounds.floatLeft = -2400.0f;
  ds->planBounds.floatBottom = 2400.0f;
  ds->planBounds.floatRight = 2400.0f;
  ds->setting19 = 19;
  ds->setting20 = 1;
  ds->setting21 = 1;
  ds->setting22 = 1;
  ds->setting23 = 1;
  ds->lotSizeUnits = 1;
  ds->lotSize.floatH = 200.0f;
  ds->lotSize.floatV = 200.0f;
  ds->dimArrowStyle = 5089;
  ds->setting27 = 0.0f;
  ds->setting28 = 0.0f;
  ds->dimToleranceStyle = 5053;
  ds->setting30 = 4.0f;
  ds->lotSetting1 = 9;
  ds->lotColor.red = 65535;
  ds->lotColor.green = 65535;
  ds->lotColor.blue = 65535;
  ds->newFillColor.red = 0;
  ds->newFillColor.green = 0;
  ds->newFillColor.blue = 0;
  ds->newPenColor.red = 0;
  ds->newPenColor.green = 0;
  ds->newPenColor.blue = 0;
  ds->annotationColor.red = 65535;
  ds->annotationColor.green = 65535;
  ds->annotationColor.blue = 65535;
  ds->dimReadoutStyle = 5064;
  ds->setting37 = 24;
  ds->setting38 = 1;
  ds->planScale = 36.0f;
  ds->setting40 = 1;
  ds->worldUnits = 1;
  ds->wallConnectFlag = 0;
  ds->setting43 = 1.0f;
  ds->setting44 = 0.02777778f;
  ds->curveSegments = 10;
  ds->multigonSides = 6;
  ds->searchTolerance = 50;
  ds->pickTolerance = 5;
  ds->curveTension = 8;
  ds->zoomFactor = 0.6f;
  ds->setting51 = 100;
  ds->setting52 = 0;
  ds->setting53 = 0;
  ds->setting55 = 5100;
  ds->viewSetting12 = 5;
  ds->setting58 = 9;
  ds->wallSetting6 = 5.0f;
  ds->wallThickness = 4.0f;
  ds->wallHeight = 96.0f;
  ds->wallColor.red = 57568;
  ds->wallColor.green = 57568;
  ds->wallColor.blue = 57568;
  ds->setting63 = 0;
  ds->setting64 = 0;
  ds->doorStyle = 501;
  ds->doorWidth = 30.0f;
  ds->doorHeight = 80.0f;
  ds->doorSetting2 = 3.0f;
  ds->wallFillColor.red = 45232;
  ds->wallFillColor.green = 31868;
  ds->wallFillColor.blue = 7710;
  ds->windowStyle = 600;
  ds->windowDividers.x = 0;
  ds->windowDividers.y = 1;
  ds->windowWidth = 36.0f;
  ds->windowHeight = 56.0f;
  ds->windowSetting1 = 24.0f;
  ds->windowSetting2 = 3.0f;
  ds->windowColor.red = 45232;
  ds->windowColor.green = 31868;
  ds->windowColor.blue = 7710;
  ds->roofSetting2 = 12;
  ds->roofPitch = 7.0f;
  ds->roofSetting3 = 10.0f;
  ds->roofSetting4.red = 1;
  ds->roofSetting4.green = 0;
  ds->roofSetting4.blue = 0;
  ds->dimColor.red = 61166;
  ds->dimColor.green = 54998;
  ds->dimColor.blue = 43176;
  ds->dimTextSize = 11;
  ds->dimLineColor.red = 65535;
  ds->dimLineColor.green = 65535;
  ds->dimLineColor.blue = 65535;
  ds->printSetting2 = 0.6f;
  ds->printSetting3 = 0.5f;
  ds->planScaleChoice = 9;
  ds->walkAngle = 0.0f;
  ds->setting90 = 100000.0f;
  ds->setting91 = 9.0f;
  ds->setting92 = 30;
  ds->setting93 = 12;
  ds->setting94 = 2000.0f;
  ds->setting95 = 45.0f;
  ds->setting96 = 50000.0f;
  ds->navigationSpeed = 4;
  ds->navigationStep = 8;
  ds->background3DColor.red = 65535;
  ds->background3DColor.green = 65535;
  ds->background3DColor.blue = 65535;
  ds->setting100 = 1;
  ds->setting101 = 1;
  ds->renderSetting4 = 0;
  ds->navigationMode = 1;
  ds->flyPitch = 20.0f;
  ds->flyAngle = 330.0f;
  ds->viewSetting1 = 0;
  ds->backgroundTextureID = 1550;
  ds->fillSetting1 = 0;
  ds->fillMaterial = 0;
  ds->pathSetting1 = 0;
  ds->pathMaterial = 0;
  ds->setting113 = 0;
  ds->pathWidth = 36.0f;
  ds->setting115 = 2.0f;
  ds->setting116 = 2.0f;
  ds->setting117 = 5.5f;
  ds->edgingSetting1 = 1;
  ds->edgingColor.red = 51143;
  ds->edgingColor.green = 39835;
  ds->edgingColor.blue = 28784;
  ds->fenceStyle = 703;
  ds->setting121 = 6.0f;
  ds->setting122 = 36.0f;
  ds->setting123 = 3.0f;
  ds->setting124 = 4.0f;
  ds->fenceColor.red = 65535;
  ds->fenceColor.green = 65535;
  ds->fenceColor.blue = 65535;
  ds->gateWidth = 36.0f;
  ds->setting127 = 36.0f;
  ds->gateColor.red = 65535;
  ds->gateColor.green = 65535;
  ds->gateColor.blue = 65535;
  ds->lotTextureID = 1158;
  ds->plantAge = 18.0f;
  ds->gridStyle = 1;
  ds->stairParam1 = 48.0f;
  ds->stairParam2 = 7.0f;
  ds->stairParam3 = 10.0f;
  ds->stairParam4 = 36.0f;
  ds->stairFlag1 = 1;
  ds->stairFlag2 = 1;
  ds->railHeight = 36.0f;
  ds->railSetting1 = 6.0f;
  ds->railFlag2 = 1;
  ds->railFlag3 = 1;
  ds->traceImageVisible = 0;
  ds->traceImageScaleX = 1.0f;
  ds->traceImageScaleY = 1.0f;
  ds->drawSetting1 = 1;
  ds->showCallouts = 0;
  ds->drawSetting2 = 0;
  ds->foundationColor1.red = 65535;
  ds->foundationColor1.green = 65535;
  ds->foundationColor1.blue = 65535;
  ds->foundationColor2.red = 55255;
  ds->foundationColor2.green = 55255;
  ds->foundationColor2.blue = 55255;
  ds->renderSetting1 = 0;
  ds->plantShadowSetting = 0.25f;
  ds->setting153 = 200.0f;
  ds->setting154 = 100.0f;
  ds->setting155 = -200.0f;
  ds->renderSetting3 = 8;
  ds->viewSetting11 = 40000.0f;
  ds->studSpacing = 16.0f;
  ds->setting159 = 1.0f;
  ds->setting160 = 0.0f;
  ds->setting161 = 0.0f;
  ds->renderSetting2 = 0;
  ds->setting163 = 5;
  ds->documentChanged = 0;
  ds->viewSetting2 = 0;
  ds->deckHeight = 24.0f;
  ds->deckIncludeRails = 1;
  ds->deckRailHeight = 36.0f;
  ds->deckSetting1 = 6.0f;
  ds->deckSkirting = 1;
  ds->deckStepSetting1 = 0;
  ds->deckStepLeftRail = 1;
  ds->deckStepRightRail = 1;
  ds->deckStepWidth = 60.0f;
  ds->deckStepSetting2 = 24.0f;
  ds->currentPlanMask = 511;
  ds->newObjectPlanMask = 2;
  ds->viewSetting3 = 235;
  ds->shadowsOn = 0;
  ds->viewSetting4 = 0;
  ds->baseElevation = 0.0f;
  ds->shadowQualityFlag = 0;
  ds->shadowQuality = 5;
  ds->exteriorWallSetting = 12.0f;
  ds->beamSetting1 = 12.0f;
  ds->beamSetting2 = 12.0f;
  ds->pierSetting = 12.0f;
  ds->floorThickness = 12.0f;
  ds->receptacleStyle1 = 8;
  ds->receptacleStyle2 = 8;
  ds->switchStyle1 = 8;
  ds->switchStyle2 = 8;
  ds->setting203 = 8;
  ds->bathTubSetting1 = 60.0f;
  ds->bathTubSetting2 = 30.0f;
  ds->spaTubSetting1 = 72.0f;
  ds->spaTubSetting2 = 72.0f;
  ds->showerSetting1 = 48.0f;
  ds->showerSetting2 = 36.0f;
  ds->airDuctSetting1 = 12.0f;
  ds->airDuctSetting2 = 20.0f;
  ds->lotSlope = 5.0f;
  ds->topographyWidth = 24.0f;
  ds->setting214 = 0;
  ds->setting215 = 65535;
  ds->setting216 = 65535;
  ds->setting217 = 65535;
  ds->setting218 = 65535;
  ds->setting219 = 65535;
  ds->setting220 = 0;
  ds->viewSetting5 = 0;
  ds->soffitLeft = 0;
  ds->soffitRight = 0;
  ds->soffitBase = 1;
  ds->soffitSetting = 1;
  ds->includeSoffits = 1;
  ds->roofSetting1 = 1;
  ds->soffitDepth = 18.0f;
  ds->viewSetting13 = 0;
  ds->cutAwayPlane = 0;
  ds->excavationDepth = 36.0f;
  ds->wallSetting2 = 42.0f;
  ds->lotTextureScale.x = 100;
  ds->lotTextureScale.y = 100;
  ds->perimeterTextureScale.x = 100;
  ds->perimeterTextureScale.y = 100;
  ds->perimeterColor.red = 62194;
  ds->perimeterColor.green = 62194;
  ds->perimeterColor.blue = 65535;
  ds->nextObjectID = 1;
  ds->nextPointID = 1;
  ds->flyAltitude = 2000.0f;
  ds->walkElevation = 96.0f;
  ds->lookOffset.floatH = 0.0f;
  ds->lookOffset.floatV = 0.0f;
  ds->snapOffset = 12.0f;
  ds->wallSetting3 = 0.5f;
  ds->wallSetting8 = 0;
  ds->wallSetting4 = 10.0f;
  ds->wallSetting5 = 10.0f;
  ds->wallDisplayFlags = 0;
  ds->wallDimensionFrom = 0;
  ds->wallStyle = 0;
  ds->wallFoundation = 1;
  ds->doorSetting1 = 0.0f;
  ds->stairHeight = 96.0f;
  ds->stairSetting1 = 1;
  ds->lightFlag = 0;
  ds->lightType = 80;
  ds->lightDimmer = 63;
  ds->lightRadius = 80;
  ds->lightFalloff = 2;
  ds->lightAmbient = 0;
  ds->lightOn = 1;
  ds->roofElevationRef = 0;
  ds->deckOpenSteps = 0;
  ds->pathStyle = 0;
  ds->detailEditLevel = 0;
  ds->detailDisplayDims = 1;
  ds->setting277 = 0;
  ds->shadowSetting1 = 0;
  ds->sunShadows = 1;
  ds->sunAngle1 = 45.0f;
  ds->sunAngle2 = 20.0f;
  ds->sunSetting1 = -1;
  ds->sunSetting2 = 100;
  ds->viewSetting14 = 0.0f;
  ds->viewSetting6 = 1.2f;
  ds->fenceParam1 = 72.0f;
  ds->fenceParam2 = 72.0f;
  ds->fenceParam4 = 24.0f;
  ds->fenceParam3 = 72.0f;
  ds->fenceParam5 = 72.0f;
  ds->topoGridSpacing = 72.0f;
  ds->topoFlag1 = 0;
  ds->topoFlag2 = 1;
  ds->generalSetting2 = 8;
  ds->generalSetting3 = 8;
  ds->generalSetting4 = 8;
  ds->glowFlag = 1;
  ds->skylightStyle = 800;
  ds->skylightWidth = 36.0f;
  ds->skylightLength = 56.0f;
  ds->skylightSetting1 = 3.0f;
  ds->generalSetting1 = 5;
  ds->showTopoLines = 1;
  ds->topoLineColor.red = 49601;
  ds->topoLineColor.green = 56797;
  ds->topoLineColor.blue = 49601;
  ds->setting311 = 0.0f;
  ds->viewSetting7 = 1;
  ds->viewSetting8 = 0;
  ds->viewSetting9 = 0;
  ds->navigationSubMode = 0;
  ds->viewSetting10 = 0;
  ds->sceneSetting1 = 0;
  ds->sceneColor.red = 0;
  ds->sceneColor.green = 0;
  ds->sceneColor.blue = 0;
  ds->setting320.red = 43176;
  ds->setting320.green = 45232;
  ds->setting320.blue = 51400;

  ds->dimFlags = 0x80000;
  SetDocStateDimensionArrowFlags(ds);
  SetDocStateDimensionReadoutFlags(ds);
  SetDocStateDimensionToleranceFlags(ds);

  SelectionState ss;
  ClearSelectionState(ds, &ss);
  ds->selectionState = ss;
  SelectionState40 ss40;
  ClearSelectionState40(ds, &ss40);
  ds->selectionState40 = ss40;

  ds->measureSystem = gDefaultToImperial ? kMeasureImperial : kMeasureMetric;
  ds->walkPosition.floatH = 0;
  ds->walkPosition.floatV = ds->planBounds.floatBottom - 125.0f;
  ds->clearViewLine = {43176, 45232, 51400};
  ds->clearViewFill = {65535, 65535, 65535};
  ds->backgroundTextureScale = {100, 100};
  ds->roofStyle = 2;
  memcpy(ds->colorTable, kDefaultColorTable, sizeof(ds->colorTable));
  memcpy(ds->planMasks, kDefaultPlanMasks, sizeof(ds->planMasks));
  ds->wallSetting9 = ds->wallHeight * 1.25f;
  ds->wallSetting10 = ds->wallHeight * 1.75f;
  ds->imperialReadout = gImperialReadoutFormat;
  ds->metricReadout = gMetricReadoutFormat;
  ds->angleReadout = gAngleReadoutFormat;

  ds->font = LOGFONT{};
  ds->font.lfHeight = -16;
  ds->font.lfItalic = 1;
  ds->font.lfPitchAndFamily = 52;
  strcpy(ds->font.lfFaceName, "Arial");
}

namespace {
// Whole centimetre values, converted as the metric readouts convert them.
constexpr float kInchesPerCm = 0.3937f;
float Cm(float cm) { return cm * kInchesPerCm; }
}  // namespace

// Construction sizes that are process-wide rather than per document. The accessory's first
// three start at 0: the accessory tool takes them from the window defaults at its first use.
float gdsAccessoryWidth = 0, gdsAccessoryHeight = 0, gdsAccessoryElevation = 0, gdsAccessoryWallOffset = 2;
int16_t gdsAccessoryTranslucency = 0;
float gCeilingThickness = 12, gFlooringThickness = 12, gSoffitThickness = 3, gSoffitExtension = 18;
float gFlooringElevation = 0, gFlooringExtension = 0, gCeilingElevation = 96, gCeilingExtension = 0;
float gSoffitElevation = 0;
int16_t gSoffitConfig = 0;
Objex* gTheWallObject = nullptr;

void SetDocStateMetricDefaults(DocState* ds) {
  if (!ds || !gCurDocument) return;
  ds->gridSpacing = {Cm(50), Cm(50)};
  ds->gridSnap = {Cm(5), Cm(5)};
  ds->setting58 = 9;
  ds->wallSetting6 = Cm(12);
  ds->wallThickness = Cm(10);
  ds->wallHeight = Cm(240);
  ds->doorWidth = Cm(83);
  ds->doorHeight = Cm(201.5f);
  ds->doorSetting2 = Cm(7);
  ds->windowWidth = Cm(90);
  ds->windowHeight = Cm(135);
  ds->windowSetting1 = Cm(85);
  ds->windowSetting2 = Cm(7);
  ds->roofSetting2 = 11;
  ds->roofSetting3 = ds->wallSetting4 = ds->wallSetting5 = 9.6f;
  ds->pathWidth = ds->gateWidth = ds->stairParam4 = ds->railHeight = ds->deckRailHeight =
      ds->showerSetting2 = ds->skylightWidth = Cm(90);
  ds->stairParam1 = Cm(80);
  ds->stairParam2 = Cm(19);
  ds->stairParam3 = Cm(25);
  ds->railSetting1 = ds->deckSetting1 = Cm(15);
  ds->studSpacing = Cm(40);
  ds->deckHeight = ds->deckStepSetting2 = ds->fenceParam4 = Cm(60);
  ds->deckStepWidth = ds->skylightLength = Cm(150);
  ds->exteriorWallSetting = ds->beamSetting1 = ds->beamSetting2 = ds->pierSetting =
      ds->floorThickness = ds->airDuctSetting1 = ds->snapOffset = Cm(30);
  ds->bathTubSetting1 = ds->spaTubSetting1 = ds->spaTubSetting2 = ds->fenceParam1 =
      ds->fenceParam2 = ds->fenceParam3 = ds->fenceParam5 = Cm(180);
  ds->bathTubSetting2 = Cm(75);
  ds->showerSetting1 = Cm(120);
  ds->airDuctSetting2 = ds->soffitDepth = Cm(50);
  ds->wallSetting2 = Cm(100);
  ds->flyAltitude = 1999.999f;
  ds->walkElevation = ds->stairHeight = Cm(240);
  ds->wallSetting3 = Cm(2);
  ds->wallSetting9 = Cm(300);
  ds->wallSetting10 = Cm(430);
  ds->skylightSetting1 = Cm(7);
  gdsAccessoryWidth = Cm(120);
  gdsAccessoryHeight = Cm(165);
  gdsAccessoryElevation = Cm(210);
  gdsAccessoryWallOffset = Cm(5);
  gCeilingThickness = gFlooringThickness = Cm(30);
  gSoffitThickness = Cm(8);
  gSoffitExtension = Cm(45);
  for (Layer* l = gCurDocument->itsLayers; l; l = l->next) l->height = Cm(240);
}

void InitializeVisiblePlansFromToolsetOptions() {
  DocState* ds = CurDocState();
  if (!ds) return;
  int32_t extra = 0;
  if (!(gToolsetOptions & 0x8)) extra |= 1 << kPlanHVAC;
  if (!(gToolsetOptions & 0x200)) extra |= 1 << kPlanLandscape;
  if (!(gToolsetOptions & 0x800)) extra |= 1 << kPlanDeck;
  for (int32_t& m : ds->planMasks) m |= extra;
}

namespace {
void SetArrowBits(int32_t& flags, int32_t style) {
  flags &= ~0x7F;
  if (style >= 5086 && style <= 5092) flags |= 1 << (style - 5086);
}
void SetToleranceBits(int32_t& flags, int32_t style) {
  flags &= ~(0x7 << 9);
  if (style >= 5054 && style <= 5056) flags |= 1 << (9 + style - 5054);
}
}  // namespace

void SetDocStateDimensionArrowFlags(DocState* ds) {
  if (ds) SetArrowBits(ds->dimFlags, ds->dimArrowStyle);
}

void SetDocStateDimensionReadoutFlags(DocState* ds) {
  if (!ds) return;
  ds->dimFlags &= ~(0x7F << 12);
  if (ds->dimReadoutStyle >= 5058 && ds->dimReadoutStyle <= 5064)
    ds->dimFlags |= 1 << (12 + ds->dimReadoutStyle - 5058);
}

void SetDocStateDimensionToleranceFlags(DocState* ds) {
  if (ds) SetToleranceBits(ds->dimFlags, ds->dimToleranceStyle);
}

void DimensionArrowFlag(Objex* object, int32_t style) {
  if (!object || !object->typeData) return;
  SetArrowBits(static_cast<DimensionInfoData*>(object->typeData)->flags, style);
}

void DimensionToleranceFlag(Objex* object, int32_t style) {
  if (!object || !object->typeData || !CurDocState()) return;
  SetToleranceBits(static_cast<DimensionInfoData*>(object->typeData)->flags, style);
}

void TransformDimension(Poinz* point, int32_t flags, const DragTransformInfo* matrix) {
  if (!point || !matrix) return;
  if (flags & 16) TranslatePoint(point, flags, matrix);
  else if (flags & 32) ScalePoint(point, flags, matrix);
  else if (flags & 64) ShearPoint(point, flags, matrix);
  else if (flags & 128) RotatePoint(point, flags, matrix);
}
