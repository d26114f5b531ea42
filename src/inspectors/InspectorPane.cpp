// The common ground of every inspector pane.
#include "inspectors/InspectorPane.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <cmath>

#include "files/Undo.h"
#include "inspectors/ValueFields.h"
#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/Services.h"
#include "model/Records.h"
#include "model/Selection.h"
#include "platform/Strings.h"

namespace {
QString Text(const char* key) { return QString::fromStdString(LocalizedString(key)); }

// A stepper of a pane: the up and down arrows only. Its value is the one the field beside it
// shows in the design's units (inches or rise per 12 inside), so it shows no text of its own
// and takes no typing; the field is where a value is read and typed.
class ArrowStepper : public QDoubleSpinBox {
 public:
  explicit ArrowStepper(QWidget* parent) : QDoubleSpinBox(parent) {
    lineEdit()->setReadOnly(true);
    lineEdit()->setFocusPolicy(Qt::NoFocus);
  }
  QString textFromValue(double) const override { return QString(); }
  double valueFromText(const QString&) const override { return value(); }
  QValidator::State validate(QString& text, int&) const override {
    return text.isEmpty() ? QValidator::Acceptable : QValidator::Invalid;
  }
};
}  // namespace

InspectorMatrix::InspectorMatrix(QWidget* parent, const std::vector<std::pair<int, QString>>& cells, bool vertical)
    : QWidget(parent), group_(new QButtonGroup(this)) {
  QBoxLayout* layout = vertical ? static_cast<QBoxLayout*>(new QVBoxLayout(this)) : new QHBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  for (const auto& [tag, title] : cells) {
    auto* cell = new QRadioButton(title, this);
    group_->addButton(cell, tag);
    layout->addWidget(cell);
  }
  connect(group_, &QButtonGroup::idClicked, this, &InspectorMatrix::cellChosen);
}

int InspectorMatrix::selectedTag() const { return group_->checkedButton() ? group_->checkedId() : -1; }

void InspectorMatrix::selectCellWithTag(int tag) {
  if (QAbstractButton* cell = group_->button(tag)) cell->setChecked(true);
  else deselectAllCells();
}

void InspectorMatrix::deselectAllCells() {
  // An exclusive group keeps one cell checked: let go of it for the moment.
  group_->setExclusive(false);
  for (QAbstractButton* cell : group_->buttons()) cell->setChecked(false);
  group_->setExclusive(true);
}

QAbstractButton* InspectorMatrix::cellWithTag(int tag) const { return group_->button(tag); }

void ZLKContentView::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing, false);
  painter.fillRect(rect(), Qt::white);
  painter.setPen(Qt::gray);
  painter.drawRect(QRect(0, 0, width() - 2, height() - 1));
}

InspectorPane::InspectorPane(const char* interfaceName) : view_(new QWidget), form_(new QFormLayout(view_)) {
  view_->setObjectName(QString::fromLatin1(interfaceName));
  view_->setProperty("inspectorPane", true);
  form_->setContentsMargins(8, 8, 8, 8);
}

InspectorPane::~InspectorPane() { delete view_; }

void InspectorPane::updatePropertiesForObject(Objex*, bool) {}
void InspectorPane::updateToolProperties() {}
void InspectorPane::controlTextDidEndEditing(QLineEdit*) {}

QLineEdit* InspectorPane::addField(const char* label, const char* name) {
  auto* field = new QLineEdit(view_);
  field->setObjectName(QString::fromLatin1(name));
  form_->addRow(Text(label), field);
  connect(field, &QLineEdit::editingFinished, this, [this, field] {
    if (!filling_) controlTextDidEndEditing(field);
  });
  return field;
}

QCheckBox* InspectorPane::addCheck(const char* title, const char* name, std::function<void()> action) {
  auto* box = new QCheckBox(Text(title), view_);
  box->setObjectName(QString::fromLatin1(name));
  form_->addRow(box);
  connect(box, &QCheckBox::clicked, this, [this, action] {
    if (!filling_ && action) action();
  });
  return box;
}

QPushButton* InspectorPane::addButton(const char* title, const char* name, std::function<void()> action) {
  auto* button = new QPushButton(Text(title), view_);
  button->setObjectName(QString::fromLatin1(name));
  form_->addRow(button);
  connect(button, &QPushButton::clicked, this, [this, action] {
    if (!filling_ && action) action();
  });
  return button;
}

QComboBox* InspectorPane::addPopUp(const char* label, const char* name, std::function<void()> action) {
  auto* popUp = new QComboBox(view_);
  popUp->setObjectName(QString::fromLatin1(name));
  if (label) form_->addRow(Text(label), popUp);
  else form_->addRow(popUp);
  connect(popUp, &QComboBox::activated, this, [this, action] {
    if (!filling_ && action) action();
  });
  return popUp;
}

InspectorMatrix* InspectorPane::addMatrix(const char* label, const char* name,
                                          const std::vector<std::pair<int, QString>>& cells,
                                          std::function<void()> action) {
  auto* matrix = new InspectorMatrix(view_, cells, true);
  matrix->setObjectName(QString::fromLatin1(name));
  if (label) form_->addRow(Text(label), matrix);
  else form_->addRow(matrix);
  connect(matrix, &InspectorMatrix::cellChosen, this, [this, action] {
    if (!filling_ && action) action();
  });
  return matrix;
}

QDoubleSpinBox* InspectorPane::addStepper(const char* label, const char* name, double step,
                                          std::function<void()> action, double minimum, double maximum,
                                          int decimals) {
  auto* stepper = new ArrowStepper(view_);
  stepper->setObjectName(QString::fromLatin1(name));
  stepper->setDecimals(decimals);
  stepper->setRange(minimum, maximum);
  stepper->setSingleStep(step);
  stepper->setKeyboardTracking(false);
  // Only the arrows show; they sit beside the field they step.
  stepper->setFrame(false);
  stepper->setFixedWidth(kStepperWidth);
  if (label) form_->addRow(Text(label), stepper);
  else if (!besideLastField(stepper)) form_->addRow(stepper);
  connect(stepper, &QDoubleSpinBox::valueChanged, this, [this, action] {
    if (!filling_ && action) action();
  });
  return stepper;
}

bool InspectorPane::besideLastField(QWidget* widget) {
  // The field is on the last row, or on the row above a note that follows it (": 12").
  for (int row = form_->rowCount() - 1; row >= 0 && row >= form_->rowCount() - 2; --row) {
    QLayoutItem* item = form_->itemAt(row, QFormLayout::FieldRole);
    auto* field = item ? qobject_cast<QLineEdit*>(item->widget()) : nullptr;
    if (!field) continue;
    auto* pair = new QWidget(view_);
    auto* layout = new QHBoxLayout(pair);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    form_->removeItem(item);
    delete item;
    layout->addWidget(field, 1);
    layout->addWidget(widget);
    form_->setWidget(row, QFormLayout::FieldRole, pair);
    return true;
  }
  return false;
}

QLabel* InspectorPane::addLabel(const char* text, const char* name) {
  auto* label = new QLabel(Text(text), view_);
  label->setObjectName(QString::fromLatin1(name));
  form_->addRow(label);
  return label;
}

void InspectorPane::addRow(const char* label, QWidget* widget) {
  if (label) form_->addRow(Text(label), widget);
  else form_->addRow(widget);
}

InspectorPane::Fill::Fill(InspectorPane* pane) : pane_(pane) {
  pane_->filling_ = true;
  // The controls are all made with the pane: they are gathered once.
  if (pane_->fillTargets_.empty()) {
    for (QWidget* child : pane_->view_->findChildren<QWidget*>()) pane_->fillTargets_.push_back(child);
    for (QButtonGroup* group : pane_->view_->findChildren<QButtonGroup*>()) pane_->fillTargets_.push_back(group);
    for (QLineEdit* field : pane_->view_->findChildren<QLineEdit*>())
      if (!qobject_cast<QAbstractSpinBox*>(field->parentWidget())) pane_->fields_.push_back(field);
  }
  blocked_.reserve(pane_->fillTargets_.size());
  for (QObject* target : pane_->fillTargets_) blocked_.emplace_back(target, target->blockSignals(true));
}

InspectorPane::Fill::~Fill() {
  for (auto& [object, was] : blocked_) object->blockSignals(was);
  pane_->rememberAllShown();
  pane_->filling_ = false;
}

void InspectorPane::rememberShown(QLineEdit* field) {
  if (field) shownText_[field] = field->text();
}

void InspectorPane::rememberAllShown() {
  if (fields_.empty())
    for (QLineEdit* field : view_->findChildren<QLineEdit*>())
      if (!qobject_cast<QAbstractSpinBox*>(field->parentWidget())) fields_.push_back(field);
  for (QLineEdit* field : fields_) rememberShown(field);
}

void InspectorPane::restoreShown(QLineEdit* field) {
  if (!field) return;
  const bool was = field->blockSignals(true);
  field->setText(shownText_.value(field));
  field->blockSignals(was);
}

void InspectorPane::mergeValue(QLineEdit* field, float value, bool initialize, bool pitch) {
  Shown& shown = shownValue_[field];
  if (initialize) {
    if (pitch) SetFloatPitchItem(field, value);
    else SetFloatItem(field, value);
    shown.value = pitch ? GetFloatPitchItem(field) : GetFloatItem(field);
    shown.blank = false;
    return;
  }
  // An emptied field reads 0, as the field itself would.
  const float current = shown.blank ? 0.0f : shown.value;
  if (std::fabs(current - value) > (pitch ? 0.005f : 0.0005f)) blankField(field);
}

void InspectorPane::mergeFloat(QLineEdit* field, float inches, bool initialize) {
  mergeValue(field, inches, initialize, false);
}

void InspectorPane::mergePitch(QLineEdit* field, float pitch, bool initialize) {
  mergeValue(field, pitch, initialize, true);
}

void InspectorPane::blankField(QLineEdit* field) {
  Shown& shown = shownValue_[field];
  if (!shown.blank || !field->text().isEmpty()) field->clear();
  shown.blank = true;
  shown.value = 0;
}

bool InspectorPane::readNumber(QLineEdit* field, NumberKind kind, float* value) {
  const TypedNumber n = ReadTypedNumber(field, kind);
  if (n.accepted) {
    *value = n.value;
    return true;
  }
  restoreShown(field);
  AlertRefusedNumber(n);
  return false;
}

bool InspectorPane::readWholeNumber(QLineEdit* field, int32_t* value) {
  const TypedNumber n = ReadTypedNumber(field, NumberKind::kWhole);
  if (n.accepted) {
    *value = n.whole;
    return true;
  }
  restoreShown(field);
  AlertRefusedNumber(n);
  return false;
}

void InspectorPane::echoWith(QLineEdit* field, const std::function<void()>& show) {
  const bool was = field->blockSignals(true);
  show();
  field->blockSignals(was);
  rememberShown(field);
}

void InspectorPane::echoFloat(QLineEdit* field, float inches) {
  echoWith(field, [&] { SetFloatItem(field, inches); });
  shownValue_[field] = Shown{GetFloatItem(field), false};
}

void InspectorPane::echoPitch(QLineEdit* field, float pitch) {
  echoWith(field, [&] { SetFloatPitchItem(field, pitch); });
  shownValue_[field] = Shown{GetFloatPitchItem(field), false};
}

void InspectorPane::editObjectFloat(QLineEdit* field, int16_t type, float low, float high,
                                    const std::function<float&(Objex*)>& value, float& defaultValue,
                                    const char* label, bool undoWhenDefaultDiffers,
                                    const std::function<void(Objex*)>& rebuild) {
  float v = 0;
  // A refused entry (an emptied mixed field too) shows the tool default again.
  if (!readNumber(field, NumberKind::kLength, &v) || !(v > low && v < high)) {
    echoFloat(field, defaultValue);
    return;
  }
  bool changed = false;
  ForEachSelectedOfType(type, [&](Objex* o) {
    float& current = value(o);
    if (current == v) return;
    current = v;
    if (rebuild) rebuild(o);
    changed = true;
  });
  if (changed || (undoWhenDefaultDiffers && defaultValue != v)) StoreInspectorUndo(label);
  defaultValue = v;
  Refresh();
  echoFloat(field, v);
}

DocState* InspectorDocState() { return gCurDocument && gCurDocument->itsLayers ? gCurDocument->itsDocState : nullptr; }

Layer* InspectorCurLayer() {
  return gCurDocument && gCurDocument->itsDocState && gCurDocument->itsLayers ? gCurDocument->itsCurLayer : nullptr;
}

void StoreInspectorUndo(const char* label) { StoreUndo(LocalizedString(label)); }

QString PitchSuffixText(const DocState* ds) {
  return QString::fromLatin1(ds && ds->measureSystem == 3 ? ": 12" : ": 10");
}

void ForEachSelectedOfType(int16_t type, const std::function<void(Objex*)>& f) {
  Layer* layer = InspectorCurLayer();
  if (!layer) return;
  // A wall rebuilt here refits its attachments: the floor's attached dimensions are measured
  // once, after the last object, rather than against the whole floor for each wall.
  WallDimensionRefreshBatch dimensions;
  for (Objex* o = layer->firstObject; o;) {
    Objex* next = o->next;
    if (o->type == type && IsObjectSelected(o)) f(o);
    o = next;
  }
}
