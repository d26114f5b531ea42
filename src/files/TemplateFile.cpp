// Template files: the header and skipped DocState block of a design file, then its object
// stream inserted into the current layer (selected) or into the attachment definition layer.
#include "files/TemplateFile.h"

#include <cstdlib>
#include <optional>
#include <string>

#include "files/ByteStream.h"
#include "files/DesignFile.h"
#include "files/DocStateBlock.h"
#include "files/FileTags.h"
#include "files/ObjectRecords.h"
#include "files/StreamState.h"
#include "model/Delete.h"
#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/Grouping.h"
#include "model/HitTest.h"
#include "model/ParallelObjects.h"
#include "model/Services.h"
#include "model/Records.h"
#include "model/TrimDefinitions.h"
#include "platform/Alerts.h"
#include "platform/Strings.h"

uint8_t gReadingAttachmentDefinition = 0;
Layer* gAttachmentTempLayer = nullptr;

namespace {

constexpr uint32_t kLayerRecordBytes = 256 + 2 + 4;
constexpr int32_t kDisplayDimensionsFlag = 1;

void ShowTemplateAlert(const char* path) {
  std::string info =
      LocalizedString("The file '%s' might be damaged or created with a more recent version of Zelko! Casavelt");
  size_t at = info.find("%s");
  if (at != std::string::npos) info.replace(at, 2, path);
  ShowAlert("Unable to read template file.", info, false);
}

Objex* LastObjectOf(Layer* layer) { return LastObjectOfLayer(layer); }

// Removes every object that follows `keep` on the layer (all of them when keep is null).
void DeleteObjectsAfter(Layer* layer, Objex* keep) {
  if (!layer) return;
  Objex* o = keep ? keep->next : layer->firstObject;
  while (o) {
    Objex* next = o->next;
    DeleteObj(o);
    o = next;
  }
}

}  // namespace

Layer* ReadATemplateLayer() {
  SkipSome(kLayerRecordBytes);
  return nullptr;
}

bool DoReadTemplateObjects() {
  if (!gCurDocument || !gCurDocument->itsDocState) return false;
  Layer* target = gReadingAttachmentDefinition ? gAttachmentTempLayer : gCurDocument->itsCurLayer;
  Objex* before = LastObjectOf(target);
  ReadIDScope ids;
  Objex* last = nullptr;
  ReadGroupBracket bracket;
  bool ended = false;
  // Each wall read refits its attachments; the floor's attached dimensions are measured once,
  // when the stream has been read (before a damaged one's objects are removed again).
  std::optional<WallDimensionRefreshBatch> dimensions(std::in_place);
  int16_t tag = 0;
  ReadShort(&tag);
  while (!StreamFailed()) {
    if (tag == kTagObjectsEnd || (tag == kTagDefinitionEnd && gReadingAttachmentDefinition)) {
      ended = true;
      break;
    }
    switch (tag) {
      case kTagLayer:
        ReadATemplateLayer();
        break;
      case kTagObject: {
        // No target layer: the record is consumed and dropped.
        Objex* obj = target ? ReadAnObject(target, bracket.IsOpen() ? 0 : 1) : ReadEmbeddedObject(nullptr);
        obj = bracket.Link(obj);
        if (obj) {
          if (gSelectedContentEntryType == kEntrySymbol && obj->type == kObjDetail)
            obj->extraLong |= kDisplayDimensionsFlag;
          obj->planMask = gCurDocument->itsDocState->newObjectPlanMask;
          SelectObj(obj, 1, 0);
        }
        last = obj;
        break;
      }
      case kTagGroupBegin:
        // Only a group takes members; records in any other bracket stay top-level objects.
        if (last && last->type == kObjGroup) bracket.Open(last);
        break;
      case kTagGroupEnd:
        if (Objex* group = bracket.group) {
          if (gSelectedContentEntryType != 0 && group->groupMarker &&
              gSelectedContentEntryType != kEntrySymbol) {
            last = nullptr;  // the group or one of its members
            DeleteObjItem(group);
          } else {
            UpdateObjectRootBounds(group, 0, 1);
          }
        }
        bracket.Close();
        break;
      case kTagInnerGroupBegin:
      case kTagCabinetBegin: {
        const bool inner = bracket.IsOpen();
        Objex* g = tag == kTagCabinetBegin ? bracket.OpenCabinet(last) : bracket.OpenInner();
        // A group in the group is taken as the records read inside the bracket are.
        if (g && inner) {
          g->planMask = gCurDocument->itsDocState->newObjectPlanMask;
          SelectObj(g, 1, 0);
        }
        break;
      }
      case kTagInnerGroupEnd:
        bracket.CloseInner();
        break;
      case kTagCabinetEnd:
        bracket.CloseCabinet();
        break;
      default:
        break;
    }
    if (GetMark() >= GetLength()) break;
    ReadShort(&tag);
  }
  dimensions.reset();
  if (ended && !StreamFailed()) return true;
  DeleteObjectsAfter(target, before);
  return false;
}

int TemplateFileRead(const char* path) {
  if (!gCurDocument || !path) return 0;
  if (!LoadInputFile(path, CheckDesignFileHead, CheckDesignStreamClaims)) {
    // Refused for what its first records claim: as damaged as one that breaks off later.
    if (LastFileProblem().problem == FileProblem::kDamaged) ShowTemplateAlert(path);
    return 0;
  }
  DoReadHeader();
  bool ok = !StreamFailed() && DoReadTemplateDocStateForVersion(sInputVersion) && !StreamFailed() &&
            DoReadTemplateObjects();
  ReleaseInputBuffer();
  if (ok) return 1;
  ShowTemplateAlert(path);
  return 0;
}

DefinitionLayer::DefinitionLayer() {
  if (gAttachmentTempLayer) return;  // a read is under way
  layer_ = CreateLayer("AttachDefLayer", 0, 0, nullptr);
  gAttachmentTempLayer = layer_;
}

DefinitionLayer::~DefinitionLayer() {
  if (!layer_) return;
  gReadingAttachmentDefinition = 0;
  gAttachmentTempLayer = nullptr;
  DeleteLayerObjects(layer_);
  FreeLayer(layer_);
}

Objex* DefinitionLayer::first() const { return layer_ ? layer_->firstObject : nullptr; }

DefinitionLayer::Result DefinitionLayer::read(const std::string& path) {
  gReadingAttachmentDefinition = 1;
  const int ok = TemplateFileRead(path.c_str());
  gReadingAttachmentDefinition = 0;
  if (ok) return Result::kRead;
  switch (LastFileProblem().problem) {
    case FileProblem::kDamaged:
    case FileProblem::kNone: return Result::kRefused;
    default: return Result::kMissing;
  }
}

bool ReadSelectedTrimDefinition(bool crown, const std::function<void(Objex* profile, const std::string& path)>& use) {
  DefinitionLayer layer;
  if (!layer.ready()) return false;
  std::string path;
  if (!GetCurrentTrimDefinitionFilePath(&path) || layer.read(path) != DefinitionLayer::Result::kRead) return false;
  Objex* profile = layer.first();
  if (!profile) return false;
  UnLockDetectAndSelectObject(profile, true, true, true);
  if (crown) MirrorTrimProfileForCrown(profile);
  use(profile, path);
  return true;
}
