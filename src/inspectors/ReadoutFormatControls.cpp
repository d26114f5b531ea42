// The readout format controls.
#include "inspectors/ReadoutFormatControls.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QRadioButton>

#include <cstring>

#include "model/Globals.h"
#include "platform/Strings.h"
#include "platform/UserDefaults.h"

namespace {
QString Text(const char* key) { return QString::fromStdString(LocalizedString(key)); }
}

int16_t StoredReadoutCode(const UserDefaults& defaults, const char* key) {
  static constexpr struct {
    const char* key;
    int16_t highest, fallback;
  } kCodes[] = {{"AngleReadoutKey", 4, 2}, {"ImperialReadoutKey", 127, 112}, {"MetricReadoutKey", 7, 1}};
  for (const auto& c : kCodes) {
    if (!key || std::strcmp(key, c.key) != 0) continue;
    const int v = defaults.getInt(key);
    return v >= 0 && v <= c.highest ? static_cast<int16_t>(v) : c.fallback;
  }
  return 0;
}

ReadoutFormatControls::ReadoutFormatControls(QWidget* owner, QFormLayout* form) : QObject(owner) {
  unitsPopUpButton = new QComboBox(owner);
  unitsPopUpButton->setObjectName("unitsPopUpButton");
  unitsPopUpButton->addItem(Text("Imperial"), 3);
  unitsPopUpButton->addItem(Text("Metric"), 4);
  field1PopUpButton = new QComboBox(owner);
  field1PopUpButton->setObjectName("field1PopUpButton");
  field2PopUpButton = new QComboBox(owner);
  field2PopUpButton->setObjectName("field2PopUpButton");
  field3PopUpButton = new QComboBox(owner);
  field3PopUpButton->setObjectName("field3PopUpButton");
  field2Label = new QLabel(Text("Precision:"), owner);
  field3Label = new QLabel(Text("Format:"), owner);
  readoutFormatBox = new QWidget(owner);
  auto* row = new QHBoxLayout(readoutFormatBox);
  row->setContentsMargins(0, 0, 0, 0);
  readoutFormatMatrix = new QButtonGroup(owner);
  auto* fractions = new QRadioButton(Text("Fractions"), readoutFormatBox);
  auto* decimals = new QRadioButton(Text("Decimals"), readoutFormatBox);
  readoutFormatMatrix->addButton(fractions, 0);
  readoutFormatMatrix->addButton(decimals, 1);
  fractions->setChecked(true);
  row->addWidget(fractions);
  row->addWidget(decimals);
  form->addRow(Text("Units:"), unitsPopUpButton);
  form->addRow(Text("Angle precision:"), field1PopUpButton);
  form->addRow(field2Label, field2PopUpButton);
  form->addRow(field3Label, field3PopUpButton);
  form->addRow(readoutFormatBox);
}

int ReadoutFormatControls::selectedTag(const QComboBox* popUp) {
  return popUp && popUp->currentIndex() >= 0 ? popUp->currentData().toInt() : -1;
}

void ReadoutFormatControls::selectTag(QComboBox* popUp, int tag) {
  if (popUp) popUp->setCurrentIndex(popUp->findData(tag));
}

int ReadoutFormatControls::unitsTag() const { return selectedTag(unitsPopUpButton); }
void ReadoutFormatControls::selectUnits(int tag) { selectTag(unitsPopUpButton, tag); }

void ReadoutFormatControls::loadField1ItemsAndSelect() {
  static const char* const kPoint[] = {"#", "#.#", "#.##", "#.###", "#.####"};
  static const char* const kComma[] = {"#", "#,#", "#,##", "#,###", "#,####"};
  const bool point = gDecimalSeparator == '.';
  field1PopUpButton->clear();
  for (int tag = 0; tag < 5; ++tag)
    field1PopUpButton->addItem(QString::fromLatin1(point ? kPoint[tag] : kComma[tag]) + QChar(0x00B0), tag);
  selectTag(field1PopUpButton, angleFormat);
}

void ReadoutFormatControls::loadField2ItemsAndSelect() {
  field2PopUpButton->clear();
  int selected;
  if (unitsTag() == 3) {
    static const char* const kItems[] = {"Whole Inches (1\")", "Half Inches (1/2\")", "Quarter Inches (1/4\")",
                                         "Eighth Inches (1/8\")", "Sixteenth Inches (1/16\")"};
    for (int tag = 0; tag < 5; ++tag) field2PopUpButton->addItem(Text(kItems[tag]), tag);
    if (imperialFormat & 1) selected = 0;
    else if (imperialFormat & 2) selected = 1;
    else if (imperialFormat & 4) selected = 2;
    else if (imperialFormat & 8) selected = 3;
    else selected = 4;
  } else {
    static const char* const kItems[] = {"#.#### m", "#.## cm", "#.# mm"};
    for (int tag = 0; tag < 3; ++tag) field2PopUpButton->addItem(Text(kItems[tag]), tag);
    if (metricFormat & 1) selected = 0;
    else if (metricFormat & 2) selected = 1;
    else selected = 2;
  }
  selectTag(field2PopUpButton, selected);
}

void ReadoutFormatControls::loadField3ItemsAndSelect() {
  field3PopUpButton->clear();
  field3PopUpButton->addItem(Text("Feet-Inches"), 0);
  field3PopUpButton->addItem(Text("Inches"), 1);
  selectTag(field3PopUpButton, (imperialFormat & 32) ? 0 : 1);
}

void ReadoutFormatControls::setFieldVisibility() {
  const int units = unitsTag();
  field2Label->setText(Text(units == 3 ? "Precision:" : "Readout Format:"));
  const bool hidden = units == 4;
  field3Label->setHidden(hidden);
  field3PopUpButton->setHidden(hidden);
  readoutFormatBox->setHidden(hidden);
}

void ReadoutFormatControls::saveIntermediateValues() {
  angleFormat = static_cast<int16_t>(selectedTag(field1PopUpButton));
  const int field2 = selectedTag(field2PopUpButton);
  if (unitsTag() != 3) {
    metricFormat = field2 == 0 ? 1 : (field2 == 1 ? 2 : 4);
  } else {
    static const int16_t kPrecision[] = {1, 2, 4, 8};
    int16_t code = field2 >= 0 && field2 <= 3 ? kPrecision[field2] : 16;
    if (selectedTag(field3PopUpButton) == 0) code |= 32;
    if (readoutFormatMatrix->checkedId() == 0) code |= 64;
    imperialFormat = code;
  }
}

void ReadoutFormatControls::selectReadoutFormatCell() {
  readoutFormatMatrix->button((imperialFormat & 64) ? 0 : 1)->setChecked(true);
}
