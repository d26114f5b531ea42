// The search sheets of the content palette and the hardiness zone maps. Each is a dialog
// opened window-modal on a design window; the search sheets hand their criteria to the shared
// content palette, which shows the hits as its search results category. OK has tag 1.
#pragma once
#include <QDialog>
#include <QString>
#include <cstdint>
#include <vector>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QVBoxLayout;

// Check boxes in rows of a fixed number of columns; each cell carries a tag (its bits).
class CheckBoxMatrix : public QWidget {
 public:
  CheckBoxMatrix(QWidget* parent, const char* name, int columns);
  QCheckBox* addCell(const QString& title, uint32_t tag);
  // Every cell, row by row.
  const std::vector<QCheckBox*>& cells() const { return cells_; }
  // The cells of one row (none for a row that does not exist).
  std::vector<QCheckBox*> cellsOfRow(int row) const;
  static uint32_t tagOf(const QCheckBox* cell);
  void setCellsEnabled(bool enabled);

 private:
  int columns_;
  std::vector<QCheckBox*> cells_;
};

class ContentSheet : public QDialog {
  Q_OBJECT
 public:
  // Tag 1 runs the sheet's OK step first; then the sheet is ordered out and released (unless
  // it is kept for the next use).
  void dismissSheet(int tag);
  QPushButton* okButton() const { return okButton_; }
  QPushButton* cancelButton() const { return cancelButton_; }

 protected:
  // Without a cancel title the sheet has one button.
  ContentSheet(QWidget* parent, const char* layoutName, const char* okTitle, const char* cancelTitle);
  // Opens the sheet on the window; false (and the sheet deleted) for a null window.
  static bool beginSheet(QWidget* parent, ContentSheet* sheet);
  virtual void acceptSheet() {}
  virtual bool keptAfterClosing() const { return false; }
  void reject() override { dismissSheet(0); }
  QVBoxLayout* body() const { return body_; }
  // The spinning indicator and its text, hidden until a search runs.
  void addProgressRow();
  void startProgress();
  void stopProgress();

 public:
  QProgressBar* progressIndicator = nullptr;
  QLabel* progressText = nullptr;

 private:
  QVBoxLayout* body_ = nullptr;
  QPushButton* okButton_ = nullptr;
  QPushButton* cancelButton_ = nullptr;
  bool dismissing_ = false;
};

class FindPlantByNameController : public ContentSheet {
  Q_OBJECT
 public:
  // The new sheet, or null for a null window.
  static FindPlantByNameController* newFindPlantByNameSheetForParent(QWidget* parent);
  int checkedCellCount() const;
  void searchOEMLibButtonChanged();
  void OEMCategoryButtonsChanged();
  void searchUserLibButtonChanged();

  QCheckBox* searchOEMLibButton = nullptr;
  QCheckBox* searchUserLibButton = nullptr;
  QPushButton* searchButton = nullptr;
  CheckBoxMatrix* OEMCategoryButtons = nullptr;
  QLineEdit* nameText = nullptr;

 private:
  explicit FindPlantByNameController(QWidget* parent);
  void acceptSheet() override;
};

class FindObjectByNameController : public ContentSheet {
  Q_OBJECT
 public:
  static FindObjectByNameController* newFindObjectByNameSheetForParent(QWidget* parent);
  void search2DLibButtonChanged();
  void search3DLibButtonChanged();

  QCheckBox* search2DLibButton = nullptr;
  QCheckBox* search3DLibButton = nullptr;
  QPushButton* searchButton = nullptr;
  QLineEdit* nameText = nullptr;

 private:
  explicit FindObjectByNameController(QWidget* parent);
  void acceptSheet() override;
};

// One finder for the whole run: its filters stay from one use to the next.
class PlantFinderController : public ContentSheet {
  Q_OBJECT
 public:
  // Made on the first call with a window, then shown again on each window asked.
  static PlantFinderController* sharedPlantFinderSheetForParent(QWidget* parent);
  // The finder once made, or null.
  static PlantFinderController* sharedPlantFinder();
  // The filters take the bits of the cells shown (set when on, cleared when off); bits no
  // cell carries keep their value.
  void updateSearchCriteria();

  bool searchOEMLib = true;
  bool searchUserLib = true;
  long waterView = 15;
  long propagationView = 15;
  long sunlightView = 15;
  long soilView = 255;
  long zoneView = 1023;
  QCheckBox* searchOEMLibButton = nullptr;
  QCheckBox* searchUserLibButton = nullptr;
  CheckBoxMatrix* zoneButtons = nullptr;
  CheckBoxMatrix* sunlightButtons = nullptr;
  CheckBoxMatrix* soilButtons = nullptr;
  CheckBoxMatrix* waterButtons = nullptr;
  CheckBoxMatrix* propagationButtons = nullptr;

 private:
  PlantFinderController();
  void acceptSheet() override;
  bool keptAfterClosing() const override { return true; }
};

class PlantZoneController : public ContentSheet {
  Q_OBJECT
 public:
  static PlantZoneController* newPlantZoneSheetForParent(QWidget* parent);
  // Shows the map of row 0..4; any other index changes nothing.
  void setImageForIndex(int index);
  void zonePopUpButtonChanged();
  // The name of the map shown ("" before any).
  QString shownImageName() const { return shownImage_; }

  QComboBox* zonePopUpButton = nullptr;
  QLabel* imageView = nullptr;

 private:
  explicit PlantZoneController(QWidget* parent);
  void initializeControlStates();
  QString shownImage_;
};

// The hardiness zone map images ("PlantZoneUSA", "PlantZoneAKHI", "PlantZoneCanada",
// "PlantZoneEurope", "PlantZoneAustralia"): schematic pictures drawn here, the zones as bands
// of colour with their numbers and a key. Null for any other name.
QImage PlantZoneImage(const QString& name);
