// The plant details window: what the information file of one plant of the plan says about
// it, its age when planted and its current and mature heights. Not modal; several may be open.
#pragma once
#include <QWidget>

class QLineEdit;
struct Objex;

class PlantDetailsController : public QWidget {
  Q_OBJECT
 public:
  // A new window describing the plant, shown at once; it closes and releases itself with its
  // button. The owner (may be null) takes it down with it.
  static PlantDetailsController* newPlantDetailsWindow(Objex* plant, QWidget* owner = nullptr);
  // Fills the fields for the plant: nothing unless it is a plant with a record and there is a
  // current design. The record is read again from the information file first.
  void initializeControlStates(Objex* plant);
  void dismissWindow();

  QLineEdit* commonNameText = nullptr;
  QLineEdit* botanicalNameText = nullptr;
  QLineEdit* flowerColorText = nullptr;
  QLineEdit* textureText = nullptr;
  QLineEdit* fruitTypeText = nullptr;
  QLineEdit* foliageTypeText = nullptr;
  QLineEdit* foliageChangeText = nullptr;
  QLineEdit* usageText = nullptr;
  QLineEdit* plantShapeText = nullptr;
  QLineEdit* propagationText = nullptr;
  QLineEdit* sunlightText = nullptr;
  QLineEdit* waterText = nullptr;
  QLineEdit* soilText = nullptr;
  QLineEdit* temperatureText = nullptr;
  QLineEdit* zoneText = nullptr;
  QLineEdit* agePlantedText = nullptr;
  QLineEdit* currentHeightText = nullptr;
  QLineEdit* matureHeightText = nullptr;

 private:
  explicit PlantDetailsController(QWidget* owner);
};

// The hardiness zones a record grows in as text ("3, 4, 5"); "" when none is set.
QString PlantZoneListText(const unsigned char (&zones)[10]);
// "Seedling", "1 Year Old", "n Years Old"; "" for a negative age.
QString PlantingAgeText(int age);
