// The About window.
#include "inspectors/AboutWindowController.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QVBoxLayout>

#include "platform/Strings.h"

AboutWindowController* aboutWindowController = nullptr;

AboutWindowController* AboutWindowController::sharedAboutWindowController() {
  if (!aboutWindowController) aboutWindowController = new AboutWindowController;
  return aboutWindowController;
}

AboutWindowController* AboutWindowController::existing() { return aboutWindowController; }

AboutWindowController::AboutWindowController() : QWidget(nullptr, Qt::Dialog) {
  setObjectName("AboutWindow");
  setAttribute(Qt::WA_DeleteOnClose);
  setWindowTitle(QString::fromStdString(LocalizedString("About casavelt")));
  auto* layout = new QVBoxLayout(this);
  auto* name = new QLabel(QStringLiteral("casavelt"), this);
  QFont big = name->font();
  big.setPointSizeF(big.pointSizeF() * 2);
  big.setBold(true);
  name->setFont(big);
  name->setAlignment(Qt::AlignCenter);
  layout->addWidget(name);
  auto* line = new QLabel(QString::fromStdString(LocalizedString("Design houses and their grounds.")), this);
  line->setAlignment(Qt::AlignCenter);
  layout->addWidget(line);
  setFixedSize(360, 200);
  windowDidLoad();
}

QPoint AboutWindowController::placement(const QRect& visible, const QSize& size) {
  const double x = visible.x() + (visible.width() - size.width()) * 0.5;
  const double below = (visible.height() - size.height()) / 1.2;  // free height under the window
  const double y = visible.y() + visible.height() - below - size.height();
  return QPoint(static_cast<int>(x), static_cast<int>(y));
}

void AboutWindowController::windowDidLoad() {
  QScreen* screen = QGuiApplication::primaryScreen();
  if (!screen) return;
  move(placement(screen->availableGeometry(), size()));
}

void AboutWindowController::showWindow() {
  show();
  raise();
}

void AboutWindowController::windowWillClose() {
  if (aboutWindowController == this) aboutWindowController = nullptr;
  deleteLater();
}

void AboutWindowController::closeEvent(QCloseEvent* event) {
  windowWillClose();
  event->accept();
}
