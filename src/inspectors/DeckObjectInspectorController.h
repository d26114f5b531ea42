// The deck panes: the selected decks, whose handrails, skirting and handrail heights belong
// to their selected segments and posts to their selected points, and the deck tools'
// defaults.
#pragma once
#include "inspectors/InspectorPane.h"

struct Poinz;

class DeckObjectInspectorController : public InspectorPane {
 public:
  static DeckObjectInspectorController* sharedInspectorController();
  void updatePropertiesForObject(Objex* object, bool initialize) override;
  void controlTextDidEndEditing(QLineEdit* field) override;
  void skirtingButtonChanged();
  void displayDimsButtonChanged();
  void includeRailsButtonChanged();
  void includePostButtonChanged();
  void insertStepsButtonChanged();
  void openStepsButtonChanged();
  void adjustCurveButtonChanged();
  void straightenCurveButtonChanged();

  QCheckBox *skirtingButton, *displayDimsButton, *includeRailsButton, *includePostButton, *openStepsButton;
  QLineEdit *deckHeightText, *railHeightText, *balusterSpacingText;

 private:
  DeckObjectInspectorController();
  // Sets or clears the bit on every selected segment of the selected decks.
  void segmentBitChanged(QCheckBox* button, int32_t bit, const char* label, uint8_t& defaultValue);
};

class DeckToolInspectorController : public InspectorPane {
 public:
  static DeckToolInspectorController* sharedInspectorController();
  void updateToolProperties() override;
  void controlTextDidEndEditing(QLineEdit* field) override;
  void skirtingButtonChanged();

  QCheckBox* skirtingButton;
  QLineEdit *deckHeightText, *railHeightText, *balusterSpacingText;

 private:
  DeckToolInspectorController();
};

// Calls f with the first point of each selected segment of the deck (both ends selected), in
// point order, the closing segment of a closed deck last.
void ForEachSelectedDeckSegment(Objex* deck, const std::function<void(Poinz*, Poinz*)>& f);
