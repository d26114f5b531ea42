// The text entry sheet.
// The record field names come before the Qt headers, whose keyword macros share them.
#include "plandraw/PlanRecordFields.h"

#include "inspectors/TextEntryController.h"

#include <QButtonGroup>
#include <QFontDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <cfloat>
#include <cstdlib>
#include <cstring>

#include "files/SideBlocks.h"
#include "files/Undo.h"
#include "inspectors/FontSelection.h"
#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/HitTest.h"
#include "model/Services.h"
#include "model/Records.h"
#include "model/ShapeBuilders.h"
#include "plandraw/Base2DView.h"
#include "plandraw/qt/TextMeasurer.h"
#include "inspectors/ValueFields.h"
#include "platform/Alerts.h"
#include "platform/Strings.h"
#include "tools/TrackingState.h"

namespace {
QString Text(const char* key) { return QString::fromStdString(LocalizedString(key)); }

// A string's interface form and its stored bytes.
QString StoredToShown(const char* bytes) { return bytes ? QString::fromLatin1(bytes) : QString(); }
std::string ShownToStored(const QString& text) {
  std::string bytes;
  for (QChar c : text) bytes += c.unicode() < 0x100 && c.unicode() != 0 ? static_cast<char>(c.unicode()) : '?';
  return bytes;
}

// A zero-filled copy of the string with 5 spare bytes.
char* CopyText(const std::string& text) {
  auto* copy = static_cast<char*>(std::calloc(text.size() + 5, 1));
  if (copy) std::memcpy(copy, text.data(), text.size());
  return copy;
}

// Width and height of the string in the font, grown by 3 % and kept within a 16-bit size.
void MeasureText(const std::string& text, const LOGFONT& font, int16_t* w, int16_t* h) {
  InstallQtTextMeasurer();
  static Base2DView measurer;
  const NSSize size = measurer.textMetricsForString(text.c_str(), &font);
  auto fit = [](double v) {
    v = v * 1.03 + 0.5;
    if (!(v > 0)) return int16_t{0};
    return static_cast<int16_t>(v > 32767 ? 32767 : v);
  };
  *w = fit(size.width);
  *h = fit(size.height);
}
}  // namespace

TextEntryController::TextEntryController(QWidget* parent) : SheetController(parent, "TextEntrySheet") {
  setWindowTitle(Text("Text"));
  textView = new QPlainTextEdit(this);
  textView->setObjectName("textView");
  textView->setLineWrapMode(QPlainTextEdit::NoWrap);
  textView->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  body()->insertWidget(0, textView);
  alignmentButtons = new QButtonGroup(this);
  auto* row = new QHBoxLayout;
  static const char* const kAlign[] = {"Left", "Center", "Right"};
  for (int tag = 0; tag < 3; ++tag) {
    auto* b = new QRadioButton(Text(kAlign[tag]), this);
    alignmentButtons->addButton(b, tag);
    row->addWidget(b);
  }
  alignmentButtons->button(0)->setChecked(true);
  form()->addRow(Text("Alignment:"), row);
  angleSlider = new QSlider(Qt::Horizontal, this);
  angleSlider->setObjectName("angleSlider");
  angleSlider->setRange(0, 360);
  angleText = MakeSheetField(this, "angleText");
  form()->addRow(Text("Angle:"), angleText);
  form()->addRow(angleSlider);
  auto* font = new QPushButton(Text("Font..."), this);
  font->setObjectName("fontButton");
  form()->addRow(font);
  connect(alignmentButtons, &QButtonGroup::idClicked, this, [this] { alignmentButtonsChanged(); });
  connect(angleSlider, &QSlider::valueChanged, this, [this] { angleSliderChanged(); });
  connect(angleText, &QLineEdit::editingFinished, this, [this] { controlTextDidEndEditing(); });
  connect(font, &QPushButton::clicked, this, [this] { fontButtonChanged(); });
}

void TextEntryController::newTextEntrySheetForParent(QWidget* parent) {
  if (parent) beginSheet(parent, new TextEntryController(parent));
}

void TextEntryController::newTextEntrySheetForParent(QWidget* parent, Objex* object) {
  if (!parent || !object) return;
  auto* sheet = new TextEntryController(parent);
  sheet->setTargetObject(object);
  beginSheet(parent, sheet);
}

int TextEntryController::mapControlAngleToTextAngle() const { return mapAngle(angleSlider->value()); }

void TextEntryController::setAngleSliderUsingTextAngle(int angle) {
  const QSignalBlocker block(angleSlider);
  angleSlider->setValue(mapAngle(angle));
}

void TextEntryController::selectCurrentFont() {
  const LOGFONT* record = targetObject ? TextFontOf(targetObject) : nullptr;
  selectedFont = SelectedFontForRecord(record ? *record : gTextFontInfo);
}

QString TextEntryController::createAttributedStringForObject(const Objex* object) const {
  return object ? StoredToShown(TextStringOf(object)) : QString();
}

void TextEntryController::fillFromTarget(bool enableControls) {
  SelectObj(targetObject, kSelectOn, 1);
  selectCurrentFont();
  textView->setFont(selectedFont);
  textView->setPlainText(createAttributedStringForObject(targetObject));
  if (targetObject->type == kObjText) {
    if (enableControls) {
      for (QAbstractButton* b : alignmentButtons->buttons()) b->setEnabled(true);
      angleSlider->setEnabled(false);
      angleText->setEnabled(false);
    }
    if (QAbstractButton* b = alignmentButtons->button(TextAlignmentOf(targetObject))) b->setChecked(true);
  } else if (targetObject->type == kObjDynamicText) {
    if (enableControls) {
      angleSlider->setEnabled(true);
      angleText->setEnabled(true);
      for (QAbstractButton* b : alignmentButtons->buttons()) b->setEnabled(false);
    }
    const int angle = static_cast<int>(TextAngleOf(targetObject));
    angleText->setText(QString::number(angle));
    setAngleSliderUsingTextAngle(angle);
  }
}

void TextEntryController::initializeControlStates() {
  ZLKDocumentModel* doc = gCurDocument;
  if (!doc || !doc->itsDocState || !doc->itsLayers) return;
  bool standardOrNone = false;
  if (targetObject) {
    fillFromTarget(true);
    standardOrNone = targetObject->type == kObjText;
  } else {
    ClickInfo click{};
    click.where = gEndMouse;
    const int16_t types[] = {kObjDynamicText, kObjText};
    Objex* found = nullptr;
    if (SelectFromAllLayers(doc->itsLayers, &click, 0, types, 2)) found = click.hitObject;
    if (found && TextStringOf(found)) {
      targetObject = found;
      fillFromTarget(false);
      standardOrNone = found->type == kObjText;
    } else {
      selectCurrentFont();
      textView->setFont(selectedFont);
      standardOrNone = true;
    }
  }
  if (standardOrNone) {
    angleText->setText(QStringLiteral("0"));
    setAngleSliderUsingTextAngle(0);
  }
}

void TextEntryController::alignmentButtonsChanged() {
  if (targetObject) return;
  const bool angled = alignmentButtons->checkedId() == 0;
  angleSlider->setEnabled(angled);
  angleText->setEnabled(angled);
}

void TextEntryController::angleSliderChanged() { angleText->setText(QString::number(mapControlAngleToTextAngle())); }

void TextEntryController::controlTextDidEndEditing() {
  const TypedNumber typed = ReadTypedNumber(angleText, NumberKind::kWhole);
  if (!typed.accepted) {
    // The field shows the slider's angle again; the sheet is open, so the alert stands alone.
    angleText->setText(QString::number(mapControlAngleToTextAngle()));
    if (!typed.blank) ShowAlert("Invalid number entered.", typed.reason, /*sheet=*/false);
    return;
  }
  int value = typed.whole;
  if (value < 0 || value > 359) {
    value = 0;
    angleText->setText(QStringLiteral("0"));
  }
  setAngleSliderUsingTextAngle(value);
}

void TextEntryController::fontButtonChanged() {
  auto* dialog = new QFontDialog(selectedFont, this);
  dialog->setAttribute(Qt::WA_DeleteOnClose);
  connect(dialog, &QFontDialog::fontSelected, this, [this](const QFont& font) {
    selectedFont = font;
    textView->setFont(font);
  });
  dialog->open();
}

void TextEntryController::applySheet(ZLKDocumentModel* doc, DocState* ds) {
  int32_t angle = 0;
  if (!readWholeNumber(angleText, &angle)) return;
  const int alignment = alignmentButtons->checkedId();
  Layer* layer = doc->itsCurLayer;
  if (!layer) return;
  const std::string text = ShownToStored(textView->toPlainText());
  if (targetObject) {
    Objex* o = targetObject;
    targetObject = nullptr;
    Poinz* p[4] = {o->firstPoint, nullptr, nullptr, nullptr};
    for (int i = 1; i < 4 && p[i - 1]; ++i) p[i] = p[i - 1]->next;
    if (!p[3]) return;
    if (text.empty()) {
      Refresh();
      return;
    }
    const float xmin = std::min(p[0]->position[0], p[2]->position[0]);
    const float xmax = std::max(p[0]->position[0], p[2]->position[0]);
    const float zmin = std::min(p[0]->position[2], p[2]->position[2]);
    const float zmax = std::max(p[0]->position[2], p[2]->position[2]);
    char* copy = CopyText(text);
    auto* font = static_cast<LOGFONT*>(std::calloc(1, sizeof(LOGFONT)));
    if (!copy || !font) {
      std::free(copy);
      std::free(font);
      return;
    }
    std::free(o->typeData);
    o->typeData = copy;
    std::free(o->extraData);
    StoreFontInRecord(selectedFont, font);
    o->extraData = font;
    int16_t w = 0, h = 0;
    MeasureText(text, *font, &w, &h);
    bool growX = false, growZ = false;
    if (o->type == kObjText) {
      TextAngleOf(o) = 0;
      TextAlignmentOf(o) = alignment;
      if (w > xmax - xmin) {
        o->params[1] = w;
        growX = true;
      }
      if (h > zmax - zmin) {
        o->params[2] = h;
        growZ = true;
      }
    } else if (o->type == kObjDynamicText) {
      TextAngleOf(o) = static_cast<float>(angle);
      TextAlignmentOf(o) = w;
      o->params[1] = w;
      o->params[2] = h;
      growX = growZ = true;
    }
    if (growX) {
      p[0]->position[0] = p[3]->position[0] = xmin;
      p[1]->position[0] = p[2]->position[0] = xmin + 20;
    }
    if (growZ) {
      p[0]->position[2] = p[1]->position[2] = zmin;
      p[2]->position[2] = p[3]->position[2] = zmin + 20;
    }
    if (growX || growZ) AdjustEnhancedTextObjectSize(o);
    SelectObj(o, kSelectOff, 1);
    StoreUndo(LocalizedString("Edit Text"));
    Refresh();
    return;
  }
  auto* font = static_cast<LOGFONT*>(std::calloc(1, sizeof(LOGFONT)));
  char* copy = CopyText(text);
  if (!font || !copy) {
    std::free(font);
    std::free(copy);
    Refresh();
    return;
  }
  StoreFontInRecord(selectedFont, font);
  int16_t w = 0, h = 0;
  MeasureText(text, *font, &w, &h);
  const float x = gUpX, y = gUpY, z = gUpZ;
  const float corners[12] = {x, y, z, x + w, y, z, x + w, y, z + h, x, y, z + h};
  const float zero[12] = {};
  Objex* o = BuildClosedPoly(corners, nullptr, zero, zero, nullptr, nullptr, 4, layer, 1);
  if (!o) {
    std::free(font);
    std::free(copy);
    Refresh();
    return;
  }
  if (angle != 0 && alignment == 0) {
    o->type = kObjDynamicText;
    TextAngleOf(o) = static_cast<float>(angle);
    TextAlignmentOf(o) = w;
  } else {
    o->type = kObjText;
    TextAngleOf(o) = 0;
    TextAlignmentOf(o) = alignment;
  }
  o->planMask = ds->newObjectPlanMask;
  o->params[1] = w;
  o->params[2] = h;
  o->extraData = font;
  o->typeData = copy;
  StoreUndo(LocalizedString("Insert Text"));
  Refresh();
}
