// The key entry sheets: the exact length of the wall segment a key-entry wall tool has just
// drawn, and the exact length of one segment of any object clicked with the key-entry tool.
#pragma once
#include <cstdint>

#include "inspectors/SheetController.h"

class QButtonGroup;
class QCheckBox;
class QLineEdit;
class QRadioButton;
struct Objex;
struct Poinz;

class WallKeyEntryController : public SheetController {
  Q_OBJECT
 public:
  // Needs a parent, both points and the wall (else nothing); the segment's direction and
  // length are taken from the points' plan positions (x, z). True when the sheet opened.
  static bool newWallKeyEntrySheetForParent(QWidget* parent, Poinz* startPoint, Poinz* endPoint, Objex* wallObject);
  void setWallLength(float length, float angle, Poinz* startPoint, Poinz* endPoint, Objex* wallObject);

  QLineEdit* lengthText = nullptr;

 private:
  explicit WallKeyEntryController(QWidget* parent);
  void initializeControlStates() override;
  void applySheet(ZLKDocumentModel* doc, DocState* ds) override;
  void afterClosing() override;

  float wallAngle = 0;   // radians, start to end
  float wallLength = 0;  // plan units, as drawn
  Objex* wallObject = nullptr;
  Poinz* startPoint = nullptr;
  Poinz* endPoint = nullptr;
};

class KeyEntryController : public SheetController {
  Q_OBJECT
 public:
  // The length to show, and after OK the point-to-point length applied (plan units).
  static float sLength;
  // The chosen location: 1 both ends move about the centre, 2 and 3 the end whose handle is
  // red (2) or green (3) moves.
  static int16_t sDirection;
  // The neighbouring points move along.
  static uint8_t sKeyEntryLinked;

  // Needs a parent, the object and both points (else nothing).
  static void newKeyEntrySheetForParent(QWidget* parent, Objex* targetObject, Poinz* startPoint, Poinz* endPoint,
                                        float lengthOffset, float initialLength, float tmpAngle);
  void setTargetObject(Objex* targetObject, Poinz* startPoint, Poinz* endPoint, float lengthOffset,
                       float initialLength, float tmpAngle);

  QCheckBox* linkButton = nullptr;
  QButtonGroup* locationButtons = nullptr;  // ids are the location tags
  QLineEdit* lengthText = nullptr;

 private:
  explicit KeyEntryController(QWidget* parent);
  void initializeControlStates() override;
  void applySheet(ZLKDocumentModel* doc, DocState* ds) override;
  void afterClosing() override;

  float lengthOffset = 0;   // plan units the shown length exceeds the point-to-point one by
  float initialLength = 0;  // plan units shown on opening
  float tmpAngle = 0;       // radians of the measured segment
  Objex* targetObject = nullptr;
  Poinz* startPoint = nullptr;
  Poinz* endPoint = nullptr;
};

enum class SegmentResize : uint8_t {
  kMoved,
  kUnchanged,  // no point moved (n equals initial, or the change is too small to move one)
  kRefused,    // a point of the object (a linked neighbour too) would leave the plan
};
// Moves a segment of the object to the point-to-point length n (plan units): the ends move
// along the angle as the location tag and the start point's handle colour say. Linked, every
// point joined to a moved end moves as far: the point beyond it on the outline (round a closed
// one), and the free ends of walls meeting it (its own wall's other end too) with the points
// beside them, so that walls joined end to end keep their corners as one closed wall does; then
// the free ends meeting those. The objects moved are rebuilt and the walls T-joined to a moved
// wall segment follow it. initial is the length the change is measured from. Unless kMoved,
// nothing is changed.
SegmentResize ResizeKeyEntrySegment(Objex* object, Poinz* start, Poinz* end, float initial, float n, float angle,
                                    int16_t location, bool linked);
// Rebuilds the object's 3D parts by its type after its points moved, then re-renders it.
void RebuildResizedObject(Objex* object);
