#include "app/FieldUndoKeys.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPointer>
#include <QTimer>

namespace {

class FieldUndoKeys : public QObject {
 public:
  using QObject::QObject;
  bool eventFilter(QObject* watched, QEvent* event) override {
    auto* field = qobject_cast<QLineEdit*>(watched);
    if (!field) return false;
    if (event->type() == QEvent::KeyPress) {
      const int key = static_cast<QKeyEvent*>(event)->key();
      // Return commits the field's edit: from then on it has none of its own pending.
      if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        QPointer<QLineEdit> committed(field);
        QTimer::singleShot(0, field, [committed] {
          if (committed) committed->setModified(false);
        });
      }
      return false;
    }
    if (event->type() != QEvent::ShortcutOverride || field->isModified()) return false;
    auto* keys = static_cast<QKeyEvent*>(event);
    if (!keys->matches(QKeySequence::Undo) && !keys->matches(QKeySequence::Redo)) return false;
    // Not taken by the field: the shortcut goes on to the window's Undo or Redo.
    event->ignore();
    return true;
  }
};

}  // namespace

void InstallFieldUndoKeys() {
  static QPointer<FieldUndoKeys> installed;  // goes with the application
  if (installed || !qApp) return;
  installed = new FieldUndoKeys(qApp);
  qApp->installEventFilter(installed);
}
