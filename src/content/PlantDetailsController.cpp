// The plant details window.
#include "content/PlantDetailsController.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/PlanarTransforms.h"
#include "model/Plants.h"
#include "model/Readouts.h"
#include "model/Records.h"
#include "platform/IniFile.h"
#include "platform/PathResolver.h"
#include "platform/Strings.h"

namespace {

QString Text(const char* english) { return QString::fromStdString(LocalizedString(english)); }

// Display-only keys are read into a buffer of this size (59 characters kept).
constexpr uint32_t kDetailReadSize = 60;

const char* const kSeasonWords[] = {"Winter", "Spring", "Summer", "Autumn"};
const char* const kLevelWords[] = {"Minimal", "Average", "Moderate", "Excessive"};
const char* const kSoilWords[] = {"Sandy", "Sandy Loam", "Loam",   "Silty Loam", "Clay Loam",
                                  "Clay",  "Alkaline",   "Acidic", "Potting"};

template <size_t N>
void ShowCode(QLineEdit* field, int code, const char* const (&words)[N]) {
  if (code >= 1 && code <= static_cast<int>(N)) field->setText(Text(words[code - 1]));
}

QLineEdit* Field(QWidget* parent, QFormLayout* form, const char* name, const char* label) {
  auto* field = new QLineEdit(parent);
  field->setObjectName(QString::fromLatin1(name));
  field->setReadOnly(true);
  field->setMinimumWidth(220);
  form->addRow(Text(label), field);
  return field;
}

}  // namespace

QString PlantZoneListText(const unsigned char (&zones)[10]) {
  QStringList numbers;
  for (int i = 0; i < 10; ++i)
    if (zones[i] != 0) numbers << QString::number(i + 1);
  return numbers.join(QStringLiteral(", "));
}

QString PlantingAgeText(int age) {
  if (age < 0) return {};
  if (age == 0) return Text("Seedling");
  return Text(age == 1 ? "%d Year Old" : "%d Years Old").replace(QStringLiteral("%d"), QString::number(age));
}

PlantDetailsController::PlantDetailsController(QWidget* owner) : QWidget(owner, Qt::Window) {
  setObjectName(QStringLiteral("PlantDetailsSheet"));
  setAttribute(Qt::WA_DeleteOnClose, true);
  setWindowTitle(Text("Plant Details"));
  auto* column = new QVBoxLayout(this);
  auto* form = new QFormLayout;
  column->addLayout(form);
  commonNameText = Field(this, form, "commonNameText", "Common name:");
  botanicalNameText = Field(this, form, "botanicalNameText", "Botanical name:");
  flowerColorText = Field(this, form, "flowerColorText", "Flower color:");
  textureText = Field(this, form, "textureText", "Texture:");
  fruitTypeText = Field(this, form, "fruitTypeText", "Fruit type:");
  foliageTypeText = Field(this, form, "foliageTypeText", "Foliage type:");
  foliageChangeText = Field(this, form, "foliageChangeText", "Foliage change:");
  usageText = Field(this, form, "usageText", "Usage:");
  plantShapeText = Field(this, form, "plantShapeText", "Plant shape:");
  propagationText = Field(this, form, "propagationText", "Propagation:");
  sunlightText = Field(this, form, "sunlightText", "Sunlight:");
  waterText = Field(this, form, "waterText", "Water:");
  soilText = Field(this, form, "soilText", "Soil:");
  temperatureText = Field(this, form, "temperatureText", "Temperature:");
  zoneText = Field(this, form, "zoneText", "Hardiness zones:");
  agePlantedText = Field(this, form, "agePlantedText", "Age when planted:");
  currentHeightText = Field(this, form, "currentHeightText", "Current height:");
  matureHeightText = Field(this, form, "matureHeightText", "Mature height:");
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  auto* done = new QPushButton(Text("OK"), this);
  done->setDefault(true);
  buttons->addWidget(done);
  column->addLayout(buttons);
  connect(done, &QPushButton::clicked, this, &PlantDetailsController::dismissWindow);
}

PlantDetailsController* PlantDetailsController::newPlantDetailsWindow(Objex* plant, QWidget* owner) {
  auto* window = new PlantDetailsController(owner);
  window->initializeControlStates(plant);
  window->show();
  window->raise();
  return window;
}

void PlantDetailsController::dismissWindow() { close(); }

void PlantDetailsController::initializeControlStates(Objex* plant) {
  ZLKDocumentModel* doc = gCurDocument;
  const DocState* ds = doc ? doc->itsDocState : nullptr;
  if (!plant || plant->type != kObjPlant || !plant->plantInfo || !ds) return;
  PlantInfo* info = plant->plantInfo;

  // The window shows what the file says now.
  const std::string path = PlantInfoFilePath(plant);
  RefillPlantInfo(plant);
  commonNameText->setText(QString::fromLatin1(info->commonName));
  botanicalNameText->setText(QString::fromLatin1(info->botanicalName));

  IniSectionText file;
  if (!path.empty()) file.Load(ResolvePathIgnoringCase(path).c_str(), "Description", kMaxPlantInfoFileBytes);
  struct Described {
    const char* key;
    const char* fallback;
    QLineEdit* field;
  };
  const Described described[] = {
      {"FlowerColor", "", flowerColorText},   {"PlantTexture", "", textureText},
      {"FruitType", "n/a", fruitTypeText},    {"FoliageChange", "n/a", foliageChangeText},
      {"Usage", "n/a", usageText},            {"FoliageType", "n/a", foliageTypeText},
      {"PlantShape", "n/a", plantShapeText},  {"Temperature", "", temperatureText},
  };
  for (const Described& d : described) {
    char value[kDetailReadSize] = {};
    file.GetString(d.key, d.fallback, value, sizeof value);
    if (value[0]) d.field->setText(QString::fromLatin1(value));
  }

  ShowCode(propagationText, info->propagation, kSeasonWords);
  ShowCode(waterText, info->water, kLevelWords);
  ShowCode(sunlightText, info->sunLight, kLevelWords);
  ShowCode(soilText, info->soilType, kSoilWords);

  const QString zones = PlantZoneListText(info->zone);
  if (!zones.isEmpty()) zoneText->setText(zones);
  const QString age = PlantingAgeText(plant->fillPattern);
  if (!age.isEmpty()) agePlantedText->setText(age);

  float width = 0, height = 0;
  GetPlantBounds(plant, &width, &height, 0);
  // The height in whole world units (a plant too tall for a 16-bit number shows the largest).
  const double world = std::trunc(static_cast<double>(ConvertScreenToWorld(height, ds, 0)) + 0.5);
  const float rounded = std::isfinite(world) ? static_cast<float>(std::clamp(world, -32768.0, 32767.0)) : 0.0f;
  char text[kReadoutTextSize] = {};
  ConvertInchesToStr(rounded, text);
  currentHeightText->setText(QString::fromLatin1(text));
  char mature[kReadoutTextSize] = {};
  ConvertInchesToStr(static_cast<float>(info->maximumGrowthHeight), mature);
  matureHeightText->setText(QString::fromLatin1(mature));
}
