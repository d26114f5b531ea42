// The readout format controls shared by the measurement units sheet and the preferences
// window: the unit system, the angle precision (field 1), the precision or metric unit
// (field 2), feet-inches or inches (field 3) and fractions or decimals, kept in three working
// codes.
#pragma once
#include <QObject>
#include <cstdint>

class QButtonGroup;
class QComboBox;
class UserDefaults;
class QFormLayout;
class QLabel;
class QWidget;

class ReadoutFormatControls : public QObject {
  Q_OBJECT
 public:
  ReadoutFormatControls(QWidget* owner, QFormLayout* form);

  int16_t angleFormat = 2;
  int16_t imperialFormat = 112;
  int16_t metricFormat = 1;

  QComboBox* unitsPopUpButton = nullptr;   // item data 3 imperial, 4 metric
  QComboBox* field1PopUpButton = nullptr;  // tags 0..4
  QComboBox* field2PopUpButton = nullptr;
  QComboBox* field3PopUpButton = nullptr;  // 0 feet-inches, 1 inches
  QLabel* field2Label = nullptr;
  QLabel* field3Label = nullptr;
  QButtonGroup* readoutFormatMatrix = nullptr;  // 0 fractions, 1 decimals
  QWidget* readoutFormatBox = nullptr;

  int unitsTag() const;
  void selectUnits(int tag);
  void loadField1ItemsAndSelect();
  void loadField2ItemsAndSelect();
  void loadField3ItemsAndSelect();
  void setFieldVisibility();
  void saveIntermediateValues();
  // Selects the readout cell by the imperial code's fractions bit.
  void selectReadoutFormatCell();

  // The tag of a pop-up's selected item (-1 when none).
  static int selectedTag(const QComboBox* popUp);
  static void selectTag(QComboBox* popUp, int tag);
};

// A readout code of the preferences ("AngleReadoutKey" 0..4, "ImperialReadoutKey" 0..127 of
// its precision, feet-inches and fractions bits, "MetricReadoutKey" 0..7 of its unit bits) as
// the controls can show it, for the window and for new designs alike: a damaged file's code
// outside that range is the default (2, 112, 1); 0 for any other key.
int16_t StoredReadoutCode(const UserDefaults& defaults, const char* key);

// What the measurement units sheet and the preferences window share: their readout controls,
// the controls' steps, and the handlers of the units and field 2 pop-ups.
class ReadoutFormatHost {
 public:
  ReadoutFormatControls* controls = nullptr;
  // The pop-ups rebuilt from the working codes, the controls shown for the units, and the
  // controls folded back into the working codes (all on `controls`).
  void loadField1ItemsAndSelect() { controls->loadField1ItemsAndSelect(); }
  void loadField2ItemsAndSelect() { controls->loadField2ItemsAndSelect(); }
  void loadField3ItemsAndSelect() { controls->loadField3ItemsAndSelect(); }
  void setFieldVisibility() { controls->setFieldVisibility(); }
  void saveIntermediateValues() { controls->saveIntermediateValues(); }
  void unitsPopUpButtonChanged() {
    controls->loadField2ItemsAndSelect();
    controls->setFieldVisibility();
  }
  void field2PopUpButtonChanged() { controls->saveIntermediateValues(); }
};
