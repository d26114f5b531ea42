#include "tools/ToolsServices.h"

#include "model/Services.h"
#include "tools/AttachedWallDims.h"
#include "tools/Components.h"
#include "tools/DeckStepTools.h"
#include "tools/KeyEntryTools.h"
#include "tools/PointEvaluation.h"
#include "tools/WallAttachmentPlacement.h"
#include "tools/WallAttachments.h"

void InstallToolsServices() {
  ToolsServices& s = gToolsServices;
  s.updateAllWallAttachments = tools::UpdateAllWallAttachments;
  s.updateFixedComponent = tools::UpdateFixedComponent;
  s.attach3DSymbol = tools::Attach3DSymbol;
  s.evaluatePoint = tools::EvaluatePoint;
  s.translateDeckAttachment = tools::TranslateDeckAttachment;
  s.translateWallComponent = tools::TranslateWallComponent;
  s.limitWallDimension = tools::LimitWallDimension;
  s.trackKeyEntry = tools::TrackKeyEntry;
  s.updateAttachedDimLayer = UpdateAttachedDimLayer;
  s.beginMovedWallDimensions = BeginMovedWallDimensions;
  s.measureMovedWallDimensions = MeasureMovedWallDimensions;
  s.endMovedWallDimensions = EndMovedWallDimensions;
  s.carryOnMovedWallDimensions = CarryOnMovedWallDimensions;
  s.beginAppendedWallDimensions = BeginAppendedWallDimensions;
  s.beginLeavingWallDimensions = BeginLeavingWallDimensions;
  s.noteLeavingWallRefit = NoteLeavingWallRefit;
  s.measureBeforeLeaving = MeasureBeforeLeaving;
  s.finishLeavingWallDimensions = FinishLeavingWallDimensions;
  s.endLeavingWallDimensions = EndLeavingWallDimensions;
}
