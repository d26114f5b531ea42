// The bath tub, spa tub and shower panes: the length along the wall and the width (depth) of
// the wall-hung fixture, for the selected fixtures of the pane's kind or the placement tool's
// defaults.
#pragma once
#include <cstdint>

#include "inspectors/InspectorPane.h"

class BathFixtureInspector : public InspectorPane {
 public:
  void updatePropertiesForObject(Objex* object, bool initialize) override;
  void controlTextDidEndEditing(QLineEdit* field) override;

 protected:
  struct Member {
    const char* interfaceName;
    int32_t subtype;
    const char* lengthOutlet;
    const char* lengthLabel;  // undo step
    float& (*lengthDefault)(DocState*);
    const char* widthOutlet;
    const char* widthLabel;
    float& (*widthDefault)(DocState*);
  };
  explicit BathFixtureInspector(const Member& member);
  QLineEdit* lengthField() const { return length_; }
  QLineEdit* widthField() const { return width_; }

 private:
  void editSize(QLineEdit* field, bool length);
  Member member_;
  QLineEdit* length_;
  QLineEdit* width_;
};

class BathTubInspectorController : public BathFixtureInspector {
 public:
  static BathTubInspectorController* sharedInspectorController();
  QLineEdit *tubLengthText, *tubWidthText;

 private:
  BathTubInspectorController();
};

class SpaTubInspectorController : public BathFixtureInspector {
 public:
  static SpaTubInspectorController* sharedInspectorController();
  QLineEdit *spaLengthText, *spaWidthText;

 private:
  SpaTubInspectorController();
};

class ShowerInspectorController : public BathFixtureInspector {
 public:
  static ShowerInspectorController* sharedInspectorController();
  QLineEdit *showerLengthText, *showerWidthText;

 private:
  ShowerInspectorController();
};
