// The scrolling grid of square previews of one leaf category: a preview image or a colour
// swatch per entry, the selected entry framed, the entry's description in the status line
// while the pointer is over it, selection on a click and the drag of the entry's record.
#pragma once
#include <QAbstractScrollArea>
#include <QImage>
#include <QSize>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class ContentCategoryItem;
struct SymEntryInfo;

class ContentView : public QAbstractScrollArea {
  Q_OBJECT
 public:
  explicit ContentView(QWidget* parent = nullptr);

  ContentCategoryItem* cacheSource() const { return cacheSource_; }
  // Empties the cache and shows the node (not owned).
  void invalidateCacheAndSetNewSource(ContentCategoryItem* source);
  void setFadeVisibleRect(bool fade);
  bool fadeVisibleRect() const { return fadeVisibleRect_; }
  bool ignoreDragEvents() const { return ignoreDragEvents_; }

  // Cell side from "PreviewSizeKey": 0..4 give 48, 64, 70, 96, 128; any other 70.
  static int previewSizeFromUserDefaults();
  // The grid's size for the source and the visible size (see the .cpp).
  QSize optimalViewSize() const;
  // Columns of the grid at its optimal size.
  int columns() const;
  // Rebuilds the preview cache (images decode when first drawn), sizes the grid, redraws it
  // and scrolls the selected entry into view.
  void rebuildPreviewCache();
  void makeSelectedItemVisible();
  // The preview of entry i at cell size (decoded now when it was not yet); null when the
  // entry has no image.
  QImage previewImage(size_t index);
  // The status text of the cell under a point of the grid: its description, or "" where
  // the cell shows nothing or shows a family or ramp colour.
  std::string statusTextAt(QPoint gridPoint);

  // Grid points are in the grid's own coordinates (the scroll offset added).
  void clickAt(QPoint gridPoint);
  // Starts the drag of the selected entry from a grid point; false when nothing may be dragged.
  bool dragFrom(QPoint gridPoint);
  // The 17 x 17 drag image: a black cross on a white one.
  static QImage dragImage();
  // The drag's data for the selected entry (null when there is none or the category starts
  // no drag).
  class QMimeData* makeDragData() const;

  // Called after a click changed the selection.
  std::function<void()> selectionChanged;
  // Applies the clicked custom door or window definition to the selected openings.
  std::function<void()> applyCustomAttachment;
  // Runs a drag (tests replace it); the default runs QDrag.
  std::function<void(class QMimeData*, const QImage&, QPoint hotSpot)> runDrag;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void scrollContentsBy(int dx, int dy) override;

 private:
  struct Preview {
    std::string path;  // "" : no image
    bool recolour = false;
    bool mirror = false;
    bool decoded = false;
    QImage image;
  };
  void updateScrollBars();
  QPoint gridOffset() const;
  void setStatus(const std::string& text);

  bool ignoreDragEvents_ = false;
  bool fadeVisibleRect_ = false;
  ContentCategoryItem* cacheSource_ = nullptr;
  std::vector<Preview> previewCache_;
  std::string lastStatus_;
  int side_ = 70;
};

// Reads an image at the cell size; null when it cannot be read or would be too large to
// decode. With recolour, pure black pixels become (157, 172, 193) first.
QImage LoadPreviewImage(const std::string& path, int side, bool recolour);
