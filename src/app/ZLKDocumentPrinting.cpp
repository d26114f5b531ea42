// Printing the plan of a design: fitted to one page or at its plan scale tiled over pages,
// through the print panel, leaving the zoom and the view as they were.
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <algorithm>
#include <cmath>

#include "app/Win32EventHandler.h"
#include "app/ZLKDocument.h"
#include "app/ZLKWindowController.h"
#include "model/Bounds.h"
#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/Globals.h"
#include "model/Services.h"
#include "model/ViewCommands.h"
#include "plandraw/Base2DView.h"
#include "plandraw/PlanDrawSettings.h"
#include "plandraw/qt/QPainterDrawContext.h"

namespace {

// Margin around the drawing, in view units, when it is scaled for the paper.
constexpr float kPrintMargin = 72.0f;

void GrowByPrintMargin(FloatRect* r) {
  r->floatTop -= kPrintMargin;
  r->floatLeft -= kPrintMargin;
  r->floatBottom += kPrintMargin;
  r->floatRight += kPrintMargin;
}

// The printing flag and the view offsets the print pass disturbs, put back when it ends.
// The print scales and translation keep the values of the last run (read only while
// printing).
struct PrintGlobalsScope {
  uint8_t printing = gPrinting;
  float xOffset = gGlobalXOffset, zOffset = gGlobalZOffset;
  ~PrintGlobalsScope() {
    gPrinting = printing;
    gGlobalXOffset = xOffset;
    gGlobalZOffset = zOffset;
  }
};

bool RunDefaultPrintPanel(QPrinter& printer, QWidget* parent) {
  QPrintDialog dialog(&printer, parent);
  dialog.setWindowModality(parent ? Qt::WindowModal : Qt::ApplicationModal);
  return dialog.exec() == QDialog::Accepted;
}

// Draws the print view (viewWidth by viewHeight, its centre the origin) over pages of
// pageWidth by pageHeight, across then down, within the printer's page range.
bool DrawTiles(QPrinter& printer, double viewWidth, double viewHeight, double pageWidth, double pageHeight) {
  if (!(pageWidth >= 1 && pageHeight >= 1 && viewWidth > 0 && viewHeight > 0)) return false;
  const long columns = std::max(1L, static_cast<long>(std::ceil(viewWidth / pageWidth - 1e-6)));
  const long rows = std::max(1L, static_cast<long>(std::ceil(viewHeight / pageHeight - 1e-6)));
  const long firstPage = printer.fromPage() > 0 ? printer.fromPage() : 1;
  const long lastPage = printer.toPage() > 0 ? printer.toPage() : columns * rows;

  QPainter painter(&printer);
  if (!painter.isActive()) return false;
  QPainterDrawContext context(&painter);
  CurrentDrawContextScope contextScope(&context);
  const double pointsToDevice = printer.resolution() / 72.0;
  const NSRect viewRect = NSMakeRect(-viewWidth / 2, -viewHeight / 2, viewWidth, viewHeight);
  ZLKDocumentPrintView view;
  view.setBoundsOrigin(NSPoint{viewRect.origin.x, viewRect.origin.y});
  bool first = true;
  for (long row = 0; row < rows; ++row) {
    for (long column = 0; column < columns; ++column) {
      const long page = row * columns + column + 1;
      if (page < firstPage || page > lastPage) continue;
      if (!first && !printer.newPage()) return false;
      first = false;
      const double x = viewRect.origin.x + column * pageWidth, y = viewRect.origin.y + row * pageHeight;
      const double w = std::min(pageWidth, NSMaxX(viewRect) - x), h = std::min(pageHeight, NSMaxY(viewRect) - y);
      const NSRect tile = NSMakeRect(x, y, w, h);
      view.setVisibleRect(tile);
      painter.save();
      painter.scale(pointsToDevice, pointsToDevice);
      painter.translate(-x, -y);
      painter.setClipRect(QRectF(x, y, w, h));
      view.drawRect(tile);
      painter.restore();
    }
  }
  return painter.end();
}

}  // namespace

std::function<bool(QPrinter&, QWidget*)>& ZLKDocument::printPanelRunner() {
  static std::function<bool(QPrinter&, QWidget*)> runner = RunDefaultPrintPanel;
  return runner;
}

QPageLayout ZLKDocument::printLayout() const {
  if (printInfo_.isValid()) return printInfo_;
  QPrinter printer(QPrinter::HighResolution);
  return printer.pageLayout();
}

float ZLKDocument::calculatePaperScaleWithDrawingBounds(FloatRect* drawing, const FloatRect* paper) {
  if (!drawing || !paper) return 1.0f;
  GrowByPrintMargin(drawing);
  const float paperWidth = paper->floatRight - paper->floatLeft;
  const float paperHeight = paper->floatBottom - paper->floatTop;
  const float drawingWidth = drawing->floatRight - drawing->floatLeft;
  const float drawingHeight = drawing->floatBottom - drawing->floatTop;
  return std::min(paperWidth / drawingWidth, paperHeight / drawingHeight);
}

float ZLKDocument::calculateTileScaleWithDrawingBounds(FloatRect* drawing) {
  DocState* ds = CurDocState();
  if (!drawing || !ds) return 1.0f;
  GrowByPrintMargin(drawing);
  const bool metric = ds->measureSystem == kMeasureMetric;
  switch (ds->planScaleChoice) {
    case 8: return metric ? 0.36f : 0.375f;
    case 9: return metric ? 0.72f : 0.75f;
    case 10: return metric ? 1.8f : 1.0f;
    case 11: return metric ? 3.6f : 1.5f;
    default: return 1.0f;
  }
}

void ZLKDocument::documentDidRunModalPrintOperation(bool) {
  DocState* ds = CurDocState();
  if (!ds) return;
  PlanZoom(ds) = savedZoom;
  TopViewZoom(ds) = savedTopZoom;
  OtherViewZoom(ds) = saved3DZoom;
}

void ZLKDocument::printShowingPrintPanel(bool) { printPlan(/*toScale=*/false); }

void ZLKDocument::printToScaleShowingPrintPanel() { printPlan(/*toScale=*/true); }

void ZLKDocument::printPlan(bool toScale) {
  ZLKDocumentModel* doc = gCurDocument;
  DocState* ds = doc ? doc->itsDocState : nullptr;
  if (!ds || !doc->itsLayers) return;

  QPrinter printer(QPrinter::HighResolution);
  printer.setPageLayout(printLayout());
  QWidget* parent = windowControllers().value(0);
  auto& runner = printPanelRunner();
  if (!(runner ? runner(printer, parent) : RunDefaultPrintPanel(printer, parent))) return;
  printInfo_ = printer.pageLayout();

  // The view is drawn at zoom 1.0; the zoom values and the view placement that resets
  // are put back afterwards.
  PrintGlobalsScope globals;
  const Float3DPoint viewPoint = GridOrigin(ds);
  savedZoom = PlanZoom(ds);
  savedTopZoom = TopViewZoom(ds);
  saved3DZoom = OtherViewZoom(ds);
  if (PlanZoom(ds) != 1.0f) Win32EventHandler::sharedEventHandler()->actualSize();

  const QRectF printable = printer.pageLayout().paintRect(QPageLayout::Point);
  const double pageWidth = printable.width(), pageHeight = printable.height();

  FloatRect drawing{32000, 32000, -32000, -32000};
  gPrinting = 1;
  GetAllLayersBounds(doc->itsLayers, 0, &drawing, 0, 0);
  if (doc->itsTopoLayer && ShowTopography(ds)) GetLayerBounds(doc->itsTopoLayer, 0, &drawing, 0, 0);
  gPrinting = 0;

  bool printed = false;
  // Nothing on the current plan: no page rather than one of negative size.
  if (drawing.floatLeft <= drawing.floatRight && drawing.floatTop <= drawing.floatBottom) {
    float scale;
    double viewWidth, viewHeight;
    if (toScale) {
      scale = calculateTileScaleWithDrawingBounds(&drawing);
      viewWidth = (static_cast<double>(drawing.floatRight) - drawing.floatLeft) * scale;
      viewHeight = (static_cast<double>(drawing.floatBottom) - drawing.floatTop) * scale;
    } else {
      const FloatRect paper{0, 0, static_cast<float>(pageHeight), static_cast<float>(pageWidth)};
      scale = calculatePaperScaleWithDrawingBounds(&drawing, &paper);
      viewWidth = pageWidth;
      viewHeight = pageHeight;
    }
    gHPrintScale = gVPrintScale = scale;
    gPrinting = 1;
    gAffineTranslateX = static_cast<float>(
        -(drawing.floatLeft + (static_cast<double>(drawing.floatRight) - drawing.floatLeft) * 0.5) * gHPrintScale);
    gAffineTranslateY = static_cast<float>(
        -(drawing.floatTop + (static_cast<double>(drawing.floatBottom) - drawing.floatTop) * 0.5) * gVPrintScale);
    if (std::isfinite(scale) && scale > 0) printed = DrawTiles(printer, viewWidth, viewHeight, pageWidth, pageHeight);
  }
  GridOrigin(ds) = viewPoint;
  documentDidRunModalPrintOperation(printed);
}
