// The preferences window: undo, panels shown, the readout formats of new plans, the plan and
// view colours, the preview size and the number of search results, kept in the user
// defaults. Made on first use and kept; not a sheet.
#pragma once
#include <QColor>
#include <QDialog>
#include <string>

#include "inspectors/ReadoutFormatControls.h"

class QCheckBox;
class QLineEdit;
class QPushButton;
class QSlider;
class QTabWidget;

class PreferencesController : public QDialog, public ReadoutFormatHost {
  Q_OBJECT
 public:
  static PreferencesController& sharedPreferencesController();
  // Fills the controls when the window is hidden, then shows it.
  void showPreferenceWindow();

  QPushButton* resetColorsButton = nullptr;
  QTabWidget* prefTabView = nullptr;
  QCheckBox* enableUndoButton = nullptr;
  QCheckBox* showGeneralToolsButton = nullptr;
  QCheckBox* showSnapToolsButton = nullptr;
  QCheckBox* showPlanToolsButton = nullptr;
  QCheckBox* showInspectorPanelButton = nullptr;
  QCheckBox* showContentPanelButton = nullptr;
  QLineEdit* undoLevelsText = nullptr;
  QCheckBox* forcePlanDefaultsButton = nullptr;
  QLineEdit* searchResultsText = nullptr;
  QSlider* previewSizeSlider = nullptr;
  int16_t measurementSystem = 3;

  // The sixteen wells in the order of their keys.
  static constexpr int kWellCount = 16;
  QPushButton* colorWells[kWellCount] = {};
  QColor wellColor(int index) const;
  void setWellColor(int index, const QColor& color);
  static const char* wellKey(int index);
  // The colour kept under a user-defaults key (invalid for no key or nothing stored).
  static QColor colorForKey(const char* key);
  // The stored form of a well's colour ("" for no well).
  static std::string archivedColorForSender(const QPushButton* well);

  void initializeControls();
  void enableUndoButtonChanged();
  void tabViewDidSelectTabViewItem(int index);
  void resetColorsButtonChanged();
  // OK for tag 1; any other tag cancels.
  void dismissWindow(int tag);

 private:
  PreferencesController();
  void reject() override { dismissWindow(0); }
};
