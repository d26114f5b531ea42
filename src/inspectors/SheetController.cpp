// The sheet pattern shared by every value sheet.
#include "inspectors/SheetController.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <utility>

#include "inspectors/SheetHooks.h"
#include "model/DocumentModel.h"
#include "platform/Alerts.h"
#include "platform/Strings.h"

namespace {
constexpr const char* kAttachedSheet = "casaAttachedSheet";
}

SheetHooks& TheSheetHooks() {
  static SheetHooks hooks;
  return hooks;
}

QLineEdit* MakeSheetField(QWidget* parent, const char* name) {
  auto* field = new QLineEdit(parent);
  field->setObjectName(QString::fromLatin1(name));
  field->setMinimumWidth(120);
  return field;
}

SheetController::SheetController(QWidget* parent, const char* layoutName) : QDialog(parent) {
  setObjectName(QString::fromLatin1(layoutName));
  setWindowModality(Qt::WindowModal);
  setAttribute(Qt::WA_DeleteOnClose, false);
  body_ = new QVBoxLayout(this);
  form_ = new QFormLayout;
  body_->addLayout(form_);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  cancelButton_ = new QPushButton(QString::fromStdString(LocalizedString("Cancel")), this);
  okButton_ = new QPushButton(QString::fromStdString(LocalizedString("OK")), this);
  okButton_->setDefault(true);
  // Return is OK wherever the focus is; Cancel is a click or Escape.
  okButton_->setAutoDefault(false);
  cancelButton_->setAutoDefault(false);
  okButton_->setProperty("tag", 1);
  cancelButton_->setProperty("tag", 0);
  buttons->addWidget(cancelButton_);
  buttons->addWidget(okButton_);
  body_->addLayout(buttons);
  connect(okButton_, &QPushButton::clicked, this, [this] { dismissSheet(1); });
  connect(cancelButton_, &QPushButton::clicked, this, [this] { dismissSheet(0); });
}

SheetController* SheetController::attachedSheet(QWidget* parent) {
  if (!parent) return nullptr;
  QObject* sheet = parent->property(kAttachedSheet).value<QObject*>();
  return qobject_cast<SheetController*>(sheet);
}

SheetController::~SheetController() {
  if (parentWindow_ && parentWindow_->property(kAttachedSheet).value<QObject*>() == this)
    parentWindow_->setProperty(kAttachedSheet, QVariant::fromValue<QObject*>(nullptr));
}

bool SheetController::beginSheet(QWidget* parent, SheetController* sheet) {
  if (!sheet) return false;
  if (!parent || attachedSheet(parent)) {
    delete sheet;
    return false;
  }
  sheet->parentWindow_ = parent;
  parent->setProperty(kAttachedSheet, QVariant::fromValue<QObject*>(sheet));
  sheet->initializeControlStates();
  sheet->open();
  // Typing starts in the first field, its value selected (the buttons come first in the
  // focus chain: they are made before any sheet's own controls).
  for (QLineEdit* field : sheet->findChildren<QLineEdit*>()) {
    if (!field->isEnabled() || !field->isVisibleTo(sheet) || field->isReadOnly()) continue;
    field->setFocus(Qt::OtherFocusReason);
    field->selectAll();
    break;
  }
  return true;
}

void SheetController::dismissSheet(int tag) {
  if (dismissed_) return;
  dismissed_ = true;
  hide();
  if (parentWindow_ && attachedSheet(parentWindow_) == this)
    parentWindow_->setProperty(kAttachedSheet, QVariant::fromValue<QObject*>(nullptr));
  ZLKDocumentModel* doc = gCurDocument;
  if (tag == 1 && doc && doc->itsDocState) applySheet(doc, doc->itsDocState);
  if ((numberRefused() || refusalAlert_) && reopenForRetyping()) return;
  afterClosing();
  if (numberRefused()) ShowAlert("Invalid number entered.", refused_.reason);
  else if (refusalAlert_) refusalAlert_();
  deleteLater();
}

void SheetController::refuseEntry(QLineEdit* field, std::function<void()> alert) {
  if (numberRefused() || refusalAlert_) return;
  refusalAlert_ = alert ? std::move(alert) : [] {};
  refusedField_ = field;
}

bool SheetController::reopenForRetyping() {
  // A refused entry changed nothing (every OK step reads its numbers before it changes
  // anything): the sheet comes back as it was, so that the user retypes the entry rather than
  // starting over.
  if (!parentWindow_ || attachedSheet(parentWindow_)) return false;
  QPointer<QLineEdit> field = qobject_cast<QLineEdit*>(refusedField_.data());
  const TypedNumber refused = std::move(refused_);
  const std::function<void()> alert = std::move(refusalAlert_);
  refused_ = TypedNumber{};
  refusalAlert_ = nullptr;
  refusedField_ = nullptr;
  dismissed_ = false;
  parentWindow_->setProperty(kAttachedSheet, QVariant::fromValue<QObject*>(this));
  open();
  // The alert comes over the sheet and is answered before the sheet takes typing again.
  if (!refused.reason.empty()) ShowAlert("Invalid number entered.", refused.reason, /*sheet=*/false);
  else alert();
  // The sheet may have been closed while the alert was up.
  if (dismissed_) return true;
  if (field && field->isVisibleTo(this) && field->isEnabled()) {
    field->setFocus(Qt::OtherFocusReason);
    field->selectAll();
  }
  return true;
}

bool SheetController::readNumber(QLineEdit* field, NumberKind kind, float* value) {
  TypedNumber n = ReadTypedNumber(field, kind);
  if (n.accepted) {
    *value = n.value;
    return true;
  }
  if (!numberRefused()) {
    refused_ = std::move(n);
    refusedField_ = field;
  }
  return false;
}

bool SheetController::readWholeNumber(QLineEdit* field, int32_t* value) {
  return takeWhole(field, ReadTypedNumber(field, NumberKind::kWhole), value);
}

bool SheetController::readWholeUnits(QLineEdit* field, float unitInches, int32_t* value) {
  return takeWhole(field, ReadTypedWholeUnits(field, unitInches), value);
}

bool SheetController::takeWhole(QLineEdit* field, TypedNumber n, int32_t* value) {
  if (n.accepted) {
    *value = n.whole;
    return true;
  }
  if (!numberRefused()) {
    refused_ = std::move(n);
    refusedField_ = field;
  }
  return false;
}

void SheetController::noteShown(QLineEdit* field) {
  if (field) shownText_.insert(field, field->text());
}

bool SheetController::readsAsShown(QLineEdit* field, NumberKind kind, float value) const {
  const auto it = shownText_.constFind(field);
  if (!field || it == shownText_.constEnd()) return false;
  const TypedNumber shown = ReadTypedText(*it, kind);
  return shown.accepted && shown.value == value;
}

bool SheetController::untouched(QLineEdit* field) const {
  const auto it = shownText_.constFind(field);
  return field && it != shownText_.constEnd() && *it == field->text();
}
