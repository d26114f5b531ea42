// The per-document settings record: views, grid, scales, readouts, tool defaults,
// colours, plan masks, ID counters, camera, sun and render settings.
#pragma once
#include <cstdint>
#include "model/Types.h"

struct Objex;
struct Poinz;
struct DragTransformInfo;

// Style summary of the current selection: each flag byte says whether the
// selection shares one value, and the field after it holds that value.
struct SelectionState {
  uint8_t ssStateFresh = 0;
  uint8_t ssFillPattern = 0;
  int16_t ssFillPatID = 0;
  uint8_t ssFillColor = 0;
  RGBColor ssFillRGBColor{};
  uint8_t ssPenWidth = 0;
  int16_t ssPenWidthValue = 0;
  uint8_t ssPenColor = 0;
  RGBColor ssPenRGBColor{};
  uint8_t ssPenStyle = 0;
  int16_t ssPenStyleType = 0;
  uint8_t ssArrowPosition = 0;
  int16_t ssArrowPosID = 0;
  uint8_t ssArrowHead = 0;
  int16_t ssArrowHeadType = 0;
  uint8_t ssTextFrame = 0;
  int16_t ssTextFrameID = 0;
  uint8_t ssTolerance = 0;
  int16_t ssToleranceType = 0;
  uint8_t ssTextAlign = 0;
  int16_t ssTextAlignType = 0;
};

// Base-elevation summary of the selection.
struct SelectionState40 {
  uint8_t ssStateFresh = 0;
  uint8_t ssBaseElevation = 0;
  float ssBaseElevationValue = 0;
};

// Plan kinds index planMasks and planColors; a plan mask holds bit (1 << kind).
enum PlanKind : int16_t {
  kPlanFoundation = 0, kPlanFloor, kPlanElectrical, kPlanPlumbing, kPlanRoofing,
  kPlanHVAC, kPlanDeck, kPlanLandscape, kPlanDetail, kPlanKindCount
};

constexpr int16_t kMeasureImperial = 3;
constexpr int16_t kMeasureMetric = 4;

struct DocState {
  FloatPoint gateToolOffset{};
  int16_t setting1{};
  Float3DPoint viewPoint{};
  int16_t viewPlane{};
  uint8_t wallToolFlag1{};
  uint8_t wallToolFlag2{};
  uint8_t wallToolFlag3{};
  uint8_t angleConstraint{};
  uint8_t constraintFlag2{};
  uint8_t constraintFlag3{};
  uint8_t snapToGrid{};
  FloatPoint gridSpacing{};
  FloatPoint gridSnap{};
  int16_t setting13{};
  float setting14{};
  int16_t newPenStyle{};
  int16_t newLineWeight{};
  int16_t setting17{};
  FloatRect planBounds{};
  int16_t setting19{};
  int16_t setting20{};
  int16_t setting21{};
  int16_t setting22{};
  int16_t setting23{};
  int16_t lotSizeUnits{};
  FloatPoint lotSize{};
  int16_t dimArrowStyle{};
  float setting27{};
  float setting28{};
  int16_t dimToleranceStyle{};
  float setting30{};
  int16_t lotSetting1{};
  RGBColor lotColor{};
  RGBColor newFillColor{};
  RGBColor newPenColor{};
  RGBColor annotationColor{};
  int16_t dimReadoutStyle{};
  int16_t setting37{};
  uint8_t setting38{};
  float planScale{};
  int16_t setting40{};
  int16_t worldUnits{};
  uint8_t wallConnectFlag{};
  float setting43{};
  float setting44{};
  int16_t curveSegments{};
  int16_t multigonSides{};
  int16_t searchTolerance{};
  int16_t pickTolerance{};
  int16_t curveTension{};
  float zoomFactor{};
  int16_t setting51{};
  uint8_t setting52{};
  uint8_t setting53{};
  int32_t dimFlags{};
  int16_t setting55{};
  SelectionState selectionState{};
  int16_t viewSetting12{};
  int16_t setting58{};
  float wallSetting6{};
  float wallThickness{};
  float wallHeight{};
  RGBColor wallColor{};
  int32_t setting63{};
  int32_t setting64{};
  int16_t doorStyle{};
  float doorWidth{};
  float doorHeight{};
  float doorSetting2{};
  RGBColor wallFillColor{};
  int16_t windowStyle{};
  ShortPoint windowDividers{};
  float windowWidth{};
  float windowHeight{};
  float windowSetting1{};
  float windowSetting2{};
  RGBColor windowColor{};
  int16_t roofSetting2{};
  float roofPitch{};
  float roofSetting3{};
  RGBColor roofSetting4{};
  RGBColor dimColor{};
  int16_t dimTextSize{};
  RGBColor dimLineColor{};
  int16_t measureSystem{};
  float printSetting2{};
  float printSetting3{};
  int16_t planScaleChoice{};
  float walkAngle{};
  FloatPoint walkPosition{};
  float setting90{};
  float setting91{};
  int32_t setting92{};
  int32_t setting93{};
  float setting94{};
  float setting95{};
  float setting96{};
  int16_t navigationSpeed{};
  int16_t navigationStep{};
  RGBColor background3DColor{};
  int16_t setting100{};
  uint8_t setting101{};
  int16_t renderSetting4{};
  int16_t navigationMode{};
  float flyPitch{};
  float flyAngle{};
  uint8_t viewSetting1{};
  int32_t colorTable[72] = {};
  int32_t backgroundTextureID{};
  int16_t fillSetting1{};
  int16_t fillMaterial{};
  uint8_t pathSetting1{};
  int16_t pathMaterial{};
  uint8_t setting113{};
  float pathWidth{};
  float setting115{};
  float setting116{};
  float setting117{};
  uint8_t edgingSetting1{};
  RGBColor edgingColor{};
  int16_t fenceStyle{};
  float setting121{};
  float setting122{};
  float setting123{};
  float setting124{};
  RGBColor fenceColor{};
  float gateWidth{};
  float setting127{};
  RGBColor gateColor{};
  int16_t lotTextureID{};
  float plantAge{};
  int16_t gridStyle{};
  float stairParam1{};
  float stairParam2{};
  float stairParam3{};
  float stairParam4{};
  uint8_t stairFlag1{};
  uint8_t stairFlag2{};
  float railHeight{};
  float railSetting1{};
  uint8_t railFlag2{};
  uint8_t railFlag3{};
  char traceImagePath[512] = {};
  uint8_t traceImageVisible{};
  float traceImageScaleX{};
  float traceImageScaleY{};
  uint8_t drawSetting1{};
  uint8_t showCallouts{};
  uint8_t drawSetting2{};
  RGBColor foundationColor1{};
  RGBColor foundationColor2{};
  uint8_t renderSetting1{};
  float plantShadowSetting{};
  float setting153{};
  float setting154{};
  float setting155{};
  int32_t renderSetting3{};
  float viewSetting11{};
  float studSpacing{};
  float setting159{};
  float setting160{};
  float setting161{};
  int32_t renderSetting2{};
  int32_t setting163{};
  int32_t documentChanged{};
  int32_t viewSetting2{};
  float deckHeight{};
  uint8_t deckIncludeRails{};
  float deckRailHeight{};
  float deckSetting1{};
  uint8_t deckSkirting{};
  uint8_t deckStepSetting1{};
  uint8_t deckStepLeftRail{};
  uint8_t deckStepRightRail{};
  float deckStepWidth{};
  float deckStepSetting2{};
  int32_t currentPlanMask{};
  int32_t planMasks[9] = {};
  int32_t newObjectPlanMask{};
  uint16_t viewSetting3{};
  uint8_t shadowsOn{};
  int16_t viewSetting4{};
  float baseElevation{};
  SelectionState40 selectionState40{};
  uint8_t shadowQualityFlag{};
  int16_t shadowQuality{};
  float exteriorWallSetting{};
  float beamSetting1{};
  float beamSetting2{};
  float pierSetting{};
  float floorThickness{};
  int32_t receptacleStyle1{};
  int32_t receptacleStyle2{};
  int32_t switchStyle1{};
  int32_t switchStyle2{};
  int32_t setting203{};
  float bathTubSetting1{};
  float bathTubSetting2{};
  float spaTubSetting1{};
  float spaTubSetting2{};
  float showerSetting1{};
  float showerSetting2{};
  float airDuctSetting1{};
  float airDuctSetting2{};
  float lotSlope{};
  float topographyWidth{};
  int32_t setting214{};
  int32_t setting215{};
  int32_t setting216{};
  int32_t setting217{};
  int32_t setting218{};
  int32_t setting219{};
  uint8_t setting220{};
  int32_t viewSetting5{};
  uint8_t soffitLeft{};
  uint8_t soffitRight{};
  uint8_t soffitBase{};
  uint8_t soffitSetting{};
  uint8_t includeSoffits{};
  uint8_t roofSetting1{};
  float soffitDepth{};
  int32_t viewSetting13{};
  int16_t cutAwayPlane{};
  float excavationDepth{};
  float wallSetting2{};
  ShortPoint lotTextureScale{};
  ShortPoint perimeterTextureScale{};
  RGBColor perimeterColor{};
  uint32_t nextObjectID{};
  uint32_t nextPointID{};
  LOGFONT font{};
  float flyAltitude{};
  float walkElevation{};
  FloatPoint lookOffset{};
  RGBColor planColors[9] = {};
  float snapOffset{};
  float wallSetting3{};
  int16_t wallSetting8{};
  float wallSetting9{};
  float wallSetting10{};
  float wallSetting4{};
  float wallSetting5{};
  int32_t wallDisplayFlags{};
  int16_t wallDimensionFrom{};
  int32_t wallStyle{};
  int32_t wallFoundation{};
  float doorSetting1{};
  float stairHeight{};
  uint8_t stairSetting1{};
  uint8_t lightFlag{};
  int32_t lightType{};
  int32_t lightDimmer{};
  int32_t lightRadius{};
  int32_t lightFalloff{};
  uint8_t lightAmbient{};
  uint8_t lightOn{};
  int16_t roofElevationRef{};
  uint8_t deckOpenSteps{};
  int16_t pathStyle{};
  int32_t detailEditLevel{};
  int32_t detailDisplayDims{};
  int32_t setting277{};
  int16_t shadowSetting1{};
  uint8_t sunShadows{};
  float sunAngle1{};
  float sunAngle2{};
  int16_t sunSetting1{};
  int16_t sunSetting2{};
  float viewSetting14{};
  float viewSetting6{};
  char path1[512] = {};
  char path2[512] = {};
  float fenceParam1{};
  float fenceParam2{};
  float fenceParam4{};
  float fenceParam3{};
  float fenceParam5{};
  float topoGridSpacing{};
  uint8_t topoFlag1{};
  uint8_t topoFlag2{};
  char topoPath[512] = {};
  int32_t generalSetting2{};
  int32_t generalSetting3{};
  int32_t generalSetting4{};
  uint8_t glowFlag{};
  int16_t skylightStyle{};
  float skylightWidth{};
  float skylightLength{};
  float skylightSetting1{};
  int32_t generalSetting1{};
  uint8_t showTopoLines{};
  RGBColor topoLineColor{};
  int16_t imperialReadout{};
  int16_t metricReadout{};
  int16_t angleReadout{};
  float setting311{};
  uint8_t viewSetting7{};
  uint8_t viewSetting8{};
  uint8_t viewSetting9{};
  uint8_t navigationSubMode{};
  uint8_t viewSetting10{};
  char currentLiveViewName[128] = {};
  uint8_t sceneSetting1{};
  RGBColor sceneColor{};
  RGBColor setting320{};
  // The document origin (origin snap) and the origin lines that keep tracked points on the
  // reference's side. Not stored.
  Float3DPoint origin{};
  uint8_t lockOriginX{}, lockOriginY{}, lockOriginZ{};
  // The 3D view shows the framing instead of the finished building. Not stored.
  uint8_t framingView{};
  // Staircase defaults kept for the session only (0 = off): open treads, closed stringers,
  // a long stringer base. Not stored.
  uint8_t stairOpenSteps{};
  int16_t stairClosedStringers{};
  int16_t stairLongStringerBase{};
  // Line and fill colours of ClearView in 3D. Not stored (no stored field holds them: the
  // colour record after the scene colour is the plan grid's).
  RGBColor clearViewLine{};
  RGBColor clearViewFill{};
  // Texture scale of the 3D background in percent (x, y). Not stored (no stored field holds a
  // scale pair for it).
  ShortPoint backgroundTextureScale{100, 100};
  // The style the last roof tool chose (2 gable; set by the tool dispatch before each drag).
  // Not stored.
  int16_t roofStyle{};
  // The 3D builders' names for stored fields: in framing view, untextured grey faces (cleared
  // whenever a design is read); segments per curve of 3D parts other than floors and cut-outs.
  uint8_t& framingPlainColors() { return drawSetting2; }
  int32_t& objectRenderQuality() { return setting163; }
  // Segments per curve of custom door and window parts, of their trims and of base and crown
  // trims in 3D (8 each), as the rendering settings edit them.
  int32_t& windowDoorRenderQuality() { return generalSetting2; }
  int32_t windowDoorRenderQuality() const { return generalSetting2; }
  int32_t& windowDoorTrimRenderQuality() { return generalSetting3; }
  int32_t& trimCrownRenderQuality() { return generalSetting4; }
  // The sun of the lighting settings: direction and height above the horizon in degrees, and
  // the quality of its shadows (-1 optimal).
  float& sunDirectionAngle() { return sunAngle1; }
  float& sunOverheadAngle() { return sunAngle2; }
  int16_t& sunShadowQuality() { return sunSetting1; }

  // The 3D window's names for the camera, render and cut-away settings, each an accessor of
  // the stored field that holds it.
  int16_t& renderMode() { return viewSetting12; }                  // kRender* code
  int32_t& antiAliasPasses() { return renderSetting3; }            // final-render passes
  uint16_t& clearViewOpacity() { return viewSetting3; }
  uint8_t& shadowRender() { return shadowsOn; }
  uint8_t& transparency() { return viewSetting1; }                 // ClearView is on
  int16_t& orthoView() { return viewSetting4; }                    // 0 perspective, 1..4 elevations
  int32_t& cutAwayPosition() { return viewSetting2; }
  int16_t& cutAwayDirection() { return cutAwayPlane; }             // kCutAway* code
  uint8_t& controlledNavigation() { return navigationSubMode; }
  float& walkViewAngle() { return walkAngle; }                     // degrees
  FloatPoint& walkEyePoint() { return walkPosition; }              // h = x, v = z
  float& walkEyeHeight() { return walkElevation; }
  float& walkPitchAngle() { return viewSetting14; }                // degrees
  float& flyAngleX() { return flyPitch; }
  float& flyAngleY() { return flyAngle; }
  float& flyDistance() { return flyAltitude; }
  FloatPoint& flyCenter() { return lookOffset; }
  // The renderer's names: shading, exclusions, scale and the colours of the 3D view. Its
  // navigation speed (6 to 10, the real-time detail) is navigationStep.
  float& lightBrightness() { return viewSetting6; }                // 0.5 + 2v/100
  float& lightIntensity() { return viewSetting11; }
  int32_t& renderExclusions() { return viewSetting5; }             // kLVOff* bits
  float& orthoScale() { return setting159; }
  RGBColor& backgroundColor() { return background3DColor; }
  RGBColor& wireframeBackgroundColor() { return sceneColor; }
  RGBColor& clearViewLineColor() { return clearViewLine; }
  RGBColor& clearViewFillColor() { return clearViewFill; }
  // The background follows the scene's lighting (its value raised to the base brightness or
  // the sun's); the sun's switch and brightness (percent) as the renderer names them.
  uint8_t& backgroundLighting() { return setting101; }
  uint8_t& sunlightOn() { return sunShadows; }
  int16_t& sunBrightness() { return sunSetting2; }
  // The lot's lines in the wireframe view: the stored colour that lot rendering reads.
  RGBColor& wireframeLotColor() { return annotationColor; }
  // The plan window's names for the same settings (the walk camera, ClearView, passes);
  // its navigation speed (6 to 10) is navigationStep.
  float& cameraAngle() { return walkAngle; }
  FloatPoint& cameraPosition() { return walkPosition; }
  int16_t& cameraMode() { return navigationMode; }
  float& eyeHeight() { return walkElevation; }
  uint8_t& clearView() { return viewSetting1; }
  int32_t& renderPasses() { return renderSetting3; }
  // The staircase and railing tools' names for their defaults (world units; 1 = on).
  // The railing's second flag keeps its own name: railFlag2 already names the first.
  float& stairWidth() { return stairParam1; }
  float& stairStepHeight() { return stairParam2; }
  float& stairStepDepth() { return stairParam3; }
  float& stairHandrailHeight() { return stairParam4; }
  uint8_t& stairLeftRail() { return stairFlag1; }
  uint8_t& stairRightRail() { return stairFlag2; }
  uint8_t& stairSkirtWalls() { return stairSetting1; }
  float& railBalusterSpacing() { return railSetting1; }
  uint8_t& railFlag1() { return railFlag2; }
  uint8_t& railSecondFlag() { return railFlag3; }
  // The floor commands' name for the plan bits of new exterior walls: 1 (foundation plan)
  // when the first floor becomes the working floor, 2 (floor plan) above.
  int32_t& wallFoundationMask() { return wallFoundation; }
  // The door and window tools' names for their defaults (inches; colours of new openings).
  float& doorElevation() { return doorSetting1; }
  float& doorFrameSize() { return doorSetting2; }
  RGBColor& doorColor() { return wallFillColor; }
  float& windowElevation() { return windowSetting1; }
  float& windowFrameSize() { return windowSetting2; }
  int16_t& windowDividerStyle() { return windowDividers.x; }
  // The roof and skylight tools' names for their defaults (inches unless said).
  // The pitch of new roofs and roof panels (rise per 12 of run), which the roof tools build
  // with and the roof panes show and edit; the panes keep roofPitch equal to it.
  float& newRoofPitch() { return roofSetting3; }
  // The elevation reference of new roof panels (the corner their slope is anchored at), as the
  // roof panel tool names it; the roof panel inspector sets it.
  int16_t& roofPanelSlopeAnchor() { return roofElevationRef; }
  int16_t& skylightType() { return skylightStyle; }         // 800 rectangular .. 806 custom
  float& skylightHeight() { return skylightLength; }
  float& skylightTrimWidth() { return skylightSetting1; }
  float& soffitWidth() { return soffitDepth; }
  uint8_t& baseSoffit() { return soffitBase; }
  uint8_t& leftSoffit() { return soffitLeft; }
  uint8_t& rightSoffit() { return soffitRight; }
};

DocState* CreateDocState();
void InitializeDocState(DocState* docState);
void SetDocStateMetricDefaults(DocState* docState);

// The ceiling builder's values, kept between uses (world inches). The thicknesses, the
// soffit extension and the join switch keep the last values built with; the elevations and
// the floor and ceiling extensions are proposed afresh each time the builder opens. The
// metric defaults set the four thickness and soffit extension values.
extern float gFlooringThickness, gFlooringElevation, gFlooringExtension;
extern float gCeilingThickness, gCeilingElevation, gCeilingExtension;
extern float gSoffitThickness, gSoffitElevation, gSoffitExtension;
extern int16_t gSoffitConfig;  // 1: join the soffits along runs of selected segments
extern Objex* gTheWallObject;  // the wall the builder works on
void InitializeVisiblePlansFromToolsetOptions();
void SetDocStateDimensionArrowFlags(DocState* docState);
void SetDocStateDimensionReadoutFlags(DocState* docState);
void SetDocStateDimensionToleranceFlags(DocState* docState);
// The arrow and tolerance rules applied to the flag word that opens a dimension object's
// type data (nothing without type data; the tolerance form also needs a current DocState).
void DimensionArrowFlag(Objex* object, int32_t style);
void DimensionToleranceFlag(Objex* object, int32_t style);
// One transform of a dimension point, by the first of these flag bits that is set:
// 16 translate, 32 scale, 64 shear, 128 rotate. Nothing when none is set or on null.
void TransformDimension(Poinz* point, int32_t flags, const DragTransformInfo* matrix);

// The 72 entries of the default colour table, 0xRRGGBB.
extern const int32_t kDefaultColorTable[72];
