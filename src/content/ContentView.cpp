#include "content/ContentView.h"

#include <QApplication>
#include <QDrag>
#include <QFileInfo>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>
#include <cmath>

#include "content/ContentCategoryItem.h"
#include "content/SymEntry.h"
#include "model/DocumentModel.h"
#include "model/Services.h"
#include "plandraw/qt/ImageLoader.h"
#include "platform/ContentPaths.h"
#include "platform/IniFile.h"
#include "platform/PathResolver.h"
#include "platform/UserDefaults.h"


namespace {

bool ShowsImages(int16_t libraryType) { return libraryType == 0 || (libraryType >= 10 && libraryType <= 26); }
bool ShowsSwatches(int16_t libraryType) { return libraryType >= 2 && libraryType <= 9; }

std::string Joined(const std::string& base, const std::string& relative) {
  if (relative.empty()) return {};
  if (relative[0] == '/' || base.empty()) return relative;
  return base + "/" + relative;
}

// The file's path whatever the case of its name on disk; a missing file is found missing
// when it is first drawn (its cell stays empty).
std::string Existing(const std::string& path) {
  if (path.empty()) return {};
  return ResolvePathIgnoringCase(path);
}

}  // namespace

QImage LoadPreviewImage(const std::string& path, int side, bool recolour) {
  if (path.empty() || side <= 0) return {};
  // Through the one image loader, which looks at the size and side data before decoding; a
  // picture it refuses gives an empty cell.
  QImage image = LoadImageFile(QString::fromStdString(path), nullptr, recolour ? QSize() : QSize(side, side));
  if (image.isNull()) return {};
  if (recolour) {
    // Through premultiplied pixels, so that every fully transparent pixel counts as black
    // whatever colour the file stores under it, and shows on the blue-grey ground.
    image = image.convertToFormat(QImage::Format_ARGB32_Premultiplied).convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y) {
      auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
      for (int x = 0; x < image.width(); ++x)
        if ((line[x] & 0x00FFFFFF) == 0) line[x] = qRgb(157, 172, 193);
    }
  }
  return image.convertToFormat(QImage::Format_RGB32).scaled(side, side, Qt::IgnoreAspectRatio,
                                                             Qt::FastTransformation);
}

ContentView::ContentView(QWidget* parent) : QAbstractScrollArea(parent) {
  setFocusPolicy(Qt::NoFocus);
  viewport()->setMouseTracking(true);
  viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  side_ = previewSizeFromUserDefaults();
  runDrag = [this](QMimeData* data, const QImage& image, QPoint hotSpot) {
    auto* drag = new QDrag(this);
    drag->setMimeData(data);
    drag->setPixmap(QPixmap::fromImage(image));
    drag->setHotSpot(hotSpot);
    drag->exec(Qt::CopyAction);
  };
}

int ContentView::previewSizeFromUserDefaults() {
  switch (StandardUserDefaults().getInt("PreviewSizeKey")) {
    case 0: return 48;
    case 1: return 64;
    case 2: return 70;
    case 3: return 96;
    case 4: return 128;
    default: return 70;
  }
}

void ContentView::invalidateCacheAndSetNewSource(ContentCategoryItem* source) {
  previewCache_.clear();
  cacheSource_ = source;
}

void ContentView::setFadeVisibleRect(bool fade) {
  fadeVisibleRect_ = fade;
  viewport()->update();
}

QSize ContentView::optimalViewSize() const {
  int w = viewport()->width();
  int h = viewport()->height();
  const size_t n = cacheSource_ ? cacheSource_->numberOfSymEntries() : 0;
  if (!cacheSource_ || cacheSource_->numberOfChildren() > 0 || n == 0) return {w, h};
  const int side = side_;
  w = std::max(w, side);
  h = std::max(h, side);
  int cols = 1;
  if (side < w) cols = w / side + ((w % side) >= side / 2 ? 1 : 0);
  const auto rows = static_cast<int>((n + static_cast<size_t>(cols) - 1) / static_cast<size_t>(cols));
  return {std::max(w, cols * side), std::max(h, rows * side)};
}

int ContentView::columns() const { return std::max(1, optimalViewSize().width() / side_); }

void ContentView::rebuildPreviewCache() {
  side_ = previewSizeFromUserDefaults();
  previewCache_.clear();
  if (cacheSource_ && cacheSource_->numberOfChildren() == 0) {
    const size_t n = cacheSource_->numberOfSymEntries();
    previewCache_.resize(n);
    for (size_t i = 0; i < n; ++i) {
      const SymEntryInfo* e = cacheSource_->symEntryAtIndex(i);
      Preview& p = previewCache_[i];
      switch (e->type) {
        case kEntryTrim: case kEntry3DObject: case kEntryTemplate: case kEntrySymbol:
          p.path = Existing(e->objectPreview);
          break;
        case kEntryCustomWindow: p.path = Existing(Joined(LocalDomainCustomWindowPath(), e->objectPreview)); break;
        case kEntryCustomDoor: p.path = Existing(Joined(LocalDomainCustomDoorPath(), e->objectPreview)); break;
        case kEntryCustomTrim:
          // A crown trim shows its profile the other way up.
          p.path = Existing(Joined(LocalDomainCustomTrimPath(), e->objectPreview));
          p.mirror = !gApplyTrimAsBase;
          break;
        case kEntryMaterial: p.path = Existing(e->objectData); break;
        case kEntryPlant:
        case kEntryUserPlant:
          if (!e->objectPreview.empty()) {
            p.path = Existing(e->objectPreview);
          } else {
            p.path = Existing(e->objectData);
            p.recolour = true;
          }
          break;
        case kEntryCustomTexture: {
          const std::string base = LocalDomainCustomTexturePath();
          const std::string data = Joined(base, e->objectData);
          const std::string info = Existing(Joined(base, e->objectInfo));
          if (data.empty() || info.empty() || !QFileInfo::exists(QString::fromStdString(info))) break;
          if (!e->objectPreview.empty()) {
            p.path = Existing(Joined(base, e->objectPreview));
          } else {
            p.path = Existing(data);
            p.recolour = GetPrivateProfileInt("Opacity", "Alpha", 0, info.c_str()) != 0;
          }
          break;
        }
        default: break;
      }
    }
  }
  updateScrollBars();
  viewport()->update();
  makeSelectedItemVisible();
}

QImage ContentView::previewImage(size_t index) {
  if (index >= previewCache_.size()) return {};
  Preview& p = previewCache_[index];
  if (!p.decoded) {
    p.decoded = true;
    p.image = LoadPreviewImage(p.path, side_, p.recolour);
    if (p.mirror && !p.image.isNull()) p.image = p.image.mirrored(false, true);
  }
  return p.image;
}

QPoint ContentView::gridOffset() const {
  return {horizontalScrollBar()->value(), verticalScrollBar()->value()};
}

void ContentView::updateScrollBars() {
  const QSize size = optimalViewSize();
  horizontalScrollBar()->setRange(0, std::max(0, size.width() - viewport()->width()));
  horizontalScrollBar()->setPageStep(viewport()->width());
  verticalScrollBar()->setRange(0, std::max(0, size.height() - viewport()->height()));
  verticalScrollBar()->setPageStep(viewport()->height());
  verticalScrollBar()->setSingleStep(std::max(1, side_ / 4));
}

void ContentView::makeSelectedItemVisible() {
  if (!cacheSource_) return;
  const size_t n = cacheSource_->numberOfSymEntries();
  const uint32_t index = cacheSource_->selectionIndex();
  if (index >= n) return;
  const int cols = columns();
  const int x = static_cast<int>(index % static_cast<uint32_t>(cols)) * side_;
  const int y = static_cast<int>(index / static_cast<uint32_t>(cols)) * side_;
  QScrollBar* v = verticalScrollBar();
  if (y < v->value()) v->setValue(y);
  else if (y + side_ > v->value() + viewport()->height()) v->setValue(y + side_ - viewport()->height());
  QScrollBar* h = horizontalScrollBar();
  if (x < h->value()) h->setValue(x);
  else if (x + side_ > h->value() + viewport()->width()) h->setValue(x + side_ - viewport()->width());
}

void ContentView::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  updateScrollBars();
}

void ContentView::scrollContentsBy(int, int) { viewport()->update(); }

void ContentView::paintEvent(QPaintEvent* event) {
  QPainter painter(viewport());
  const QRect dirty = event->rect();
  painter.fillRect(dirty, Qt::white);
  if (!gCurDocument || !gCurDocument->itsDocState) return;
  if (!cacheSource_ || cacheSource_->numberOfChildren() > 0) return;
  const size_t n = cacheSource_->numberOfSymEntries();
  const QPoint offset = gridOffset();
  if (n > 0) {
    const int cols = columns();
    const int side = side_;
    // Only the rows and columns the dirty rectangle meets.
    const QRect area = dirty.translated(offset);
    const int firstRow = std::max(0, area.top() / side);
    const int lastRow = area.bottom() / side;
    const int firstCol = std::max(0, area.left() / side);
    const int lastCol = std::min(cols - 1, area.right() / side);
    const int16_t library = cacheSource_->libraryType;
    for (int row = firstRow; row <= lastRow; ++row) {
      for (int col = firstCol; col <= lastCol; ++col) {
        const size_t i = static_cast<size_t>(row) * static_cast<size_t>(cols) + static_cast<size_t>(col);
        if (i >= n) break;
        const QRect cell(col * side - offset.x(), row * side - offset.y(), side, side);
        if (ShowsImages(library)) {
          const QImage image = previewImage(i);
          if (!image.isNull()) painter.drawImage(cell.topLeft(), image);
        } else if (ShowsSwatches(library)) {
          const RGBColor& c = cacheSource_->symEntryAtIndex(i)->textureColor;
          painter.fillRect(cell, QColor(std::min<int>(c.red, 255), std::min<int>(c.green, 255),
                                        std::min<int>(c.blue, 255)));
        }
      }
    }
    const uint32_t selected = cacheSource_->selectionIndex();
    if (selected < n) {
      const int x = static_cast<int>(selected % static_cast<uint32_t>(cols)) * side - offset.x();
      const int y = static_cast<int>(selected / static_cast<uint32_t>(cols)) * side - offset.y();
      QPen pen(palette().color(QPalette::Highlight), 3);
      painter.setPen(pen);
      painter.setBrush(Qt::NoBrush);
      painter.drawRect(QRect(x + 1, y + 1, side - 2, side - 2));
    }
  }
  if (fadeVisibleRect_) painter.fillRect(viewport()->rect(), QColor(255, 255, 255, 153));
}

std::string ContentView::statusTextAt(QPoint p) {
  if (!cacheSource_ || cacheSource_->numberOfChildren() > 0 || p.x() < 0 || p.y() < 0) return {};
  const size_t n = cacheSource_->numberOfSymEntries();
  const int cols = columns();
  if (n == 0 || p.x() >= cols * side_) return {};
  const size_t i = static_cast<size_t>(p.x() / side_) + static_cast<size_t>(cols) * static_cast<size_t>(p.y() / side_);
  if (i >= n) return {};
  const int16_t library = cacheSource_->libraryType;
  if (ShowsImages(library)) {
    if (previewImage(i).isNull()) return {};
    return cacheSource_->symEntryAtIndex(i)->objectDescription;
  }
  if (library == kLibraryPaint) return cacheSource_->symEntryAtIndex(i)->objectDescription;
  return {};
}

void ContentView::setStatus(const std::string& text) {
  if (text == lastStatus_) return;
  lastStatus_ = text;
  SetStatusBar(text.c_str());
}

void ContentView::clickAt(QPoint p) {
  if (!cacheSource_ || cacheSource_->numberOfSymEntries() == 0) return;
  const size_t n = cacheSource_->numberOfSymEntries();
  const int cols = std::max(1, optimalViewSize().width() / side_);
  if (p.x() < 0 || p.y() < 0 || p.x() >= cols * side_) {
    ignoreDragEvents_ = true;
    return;
  }
  const size_t index = static_cast<size_t>(p.x() / side_) + static_cast<size_t>(cols) * static_cast<size_t>(p.y() / side_);
  const bool hit = index < n;
  if (hit) cacheSource_->setSelectionIndex(static_cast<uint32_t>(index));
  ignoreDragEvents_ = !hit;
  if (hit && selectionChanged) selectionChanged();
  const int16_t library = cacheSource_->libraryType;
  if (hit && (library == kLibraryCustomDoors || library == kLibraryCustomWindows) && applyCustomAttachment)
    applyCustomAttachment();
  viewport()->update();
}

QImage ContentView::dragImage() {
  QImage image(17, 17, QImage::Format_ARGB32);
  image.fill(Qt::transparent);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing, false);
  p.fillRect(QRect(7, 0, 3, 17), Qt::white);
  p.fillRect(QRect(0, 7, 17, 3), Qt::white);
  p.setPen(QPen(Qt::black, 1));
  p.drawLine(8, 0, 8, 16);
  p.drawLine(0, 8, 16, 8);
  return image;
}

QMimeData* ContentView::makeDragData() const {
  if (!cacheSource_ || cacheSource_->numberOfSymEntries() == 0) return nullptr;
  const int16_t library = cacheSource_->libraryType;
  if (library < 0 || library > 24) return nullptr;
  const SymEntryInfo* entry = cacheSource_->symEntryAtIndex(cacheSource_->selectionIndex());
  if (!entry) return nullptr;
  const std::vector<uint8_t> record = encodeSymEntry(*entry);
  const QByteArray bytes(reinterpret_cast<const char*>(record.data()), static_cast<qsizetype>(record.size()));
  auto* data = new QMimeData;
  // The record always lies under the 3D name; a 2D drag also declares the 2D kind.
  if (library >= kLibrarySymbols) data->setData(QString::fromLatin1(Content2DDNDPboardType), bytes);
  data->setData(QString::fromLatin1(Content3DDNDPboardType), bytes);
  return data;
}

bool ContentView::dragFrom(QPoint) {
  if (!cacheSource_ || cacheSource_->numberOfSymEntries() == 0 || ignoreDragEvents_) return false;
  const int16_t library = cacheSource_->libraryType;
  if (library == kLibraryCustomDoors || library == kLibraryCustomWindows) return false;
  QMimeData* data = makeDragData();
  if (!data) return false;
  ignoreDragEvents_ = true;  // one drag per press
  if (runDrag) runDrag(data, dragImage(), QPoint(9, 8));
  else delete data;
  return true;
}

void ContentView::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  clickAt(event->position().toPoint() + gridOffset());
}

void ContentView::mouseMoveEvent(QMouseEvent* event) {
  const QPoint p = event->position().toPoint() + gridOffset();
  if (event->buttons() & Qt::LeftButton) {
    dragFrom(p);
    return;
  }
  setStatus(statusTextAt(p));
}

void ContentView::leaveEvent(QEvent* event) {
  setStatus(std::string());
  QAbstractScrollArea::leaveEvent(event);
}
