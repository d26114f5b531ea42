// The plug-in launcher: a modal panel listing the installed plug-ins, one row per plug-in
// (preview, name, status, description), with Launch, Cancel and Close Addkit; and the small
// table controller and cell that host whole row widgets in an item view.
#pragma once
#include <QAbstractTableModel>
#include <QDialog>
#include <QPointer>
#include <memory>
#include <vector>

class AddkitEntry;
class QLabel;
class QPushButton;
class QTableView;

// One row of the launcher: the widgets that show one plug-in.
class AddkitEntryController {
 public:
  // A row linked both ways with the entry and filled; null without an entry.
  static std::unique_ptr<AddkitEntryController> newAddkitEntryControllerUsingEntry(AddkitEntry* entry);
  ~AddkitEntryController();

  QWidget* view() const { return entryView_; }
  // Status "Running" or "Available", the name (or "Unknown"), the description, the preview.
  void updateControls();
  // White texts for the selected row; black name and status and a grey description otherwise.
  void highlightEntryText(bool flag);
  void setAKOwner(AddkitEntry* entry) { owner_ = entry; }
  AddkitEntry* AKOwner() const { return owner_; }

  QLabel* akImageView() const { return image_; }
  QLabel* akNameText() const { return name_; }
  QLabel* akStatusText() const { return status_; }
  QLabel* akDescriptionText() const { return description_; }

 private:
  AddkitEntryController() = default;
  AddkitEntry* owner_ = nullptr;
  QPointer<QWidget> entryView_;
  QLabel* image_ = nullptr;
  QLabel* name_ = nullptr;
  QLabel* status_ = nullptr;
  QLabel* description_ = nullptr;
};

class QAbstractItemView;

// A cell that shows a whole widget: the widget is kept, then placed over the cell's area.
class AddkitTableViewCell {
 public:
  void addSubview(QWidget* view) { subview_ = view; }
  QWidget* view() const { return subview_; }
  // Puts the kept widget over the item at index (in a holder the view owns), once.
  void drawWithFrame(QAbstractItemView* table, const QModelIndex& index);

 private:
  QPointer<QWidget> subview_;
};

// What the table controller asks of its delegate; the defaults are the answers given when the
// delegate does not answer itself.
class AddkitTableViewControllerDataSourceProtocol {
 public:
  virtual ~AddkitTableViewControllerDataSourceProtocol() = default;
  virtual int numberOfRowsInTableView(QTableView*) { return 0; }
  virtual QWidget* tableViewViewForRow(QTableView*, int) { return nullptr; }
  virtual bool tableViewShouldSelectRow(QTableView*, int) { return true; }
  virtual bool selectionShouldChangeInTableView(QTableView*) { return true; }
  virtual void tableViewSelectionDidChange(QTableView*) {}
};

// Feeds a one-column item view from its delegate and hosts the delegate's row widgets.
class AddkitTableViewController : public QAbstractTableModel {
  Q_OBJECT
 public:
  explicit AddkitTableViewController(QTableView* table, int column = 0);
  void setDelegate(AddkitTableViewControllerDataSourceProtocol* delegate) { delegate_ = delegate; }
  AddkitTableViewControllerDataSourceProtocol* delegate() const { return delegate_; }
  // Takes the row widgets out of the view (they are kept), then reloads the rows.
  void reloadTableView();
  QTableView* subviewTableView() const { return table_; }

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex&, int) const override { return {}; }
  Qt::ItemFlags flags(const QModelIndex& index) const override;

 private:
  // Places the delegate's widget of every row.
  void placeRowViews();
  QTableView* table_;
  int column_;
  AddkitTableViewControllerDataSourceProtocol* delegate_ = nullptr;
  std::vector<AddkitTableViewCell> cells_;
  bool guarding_ = false;
};

// Asks, in a window of its own, whether to close the plug-in and lose its unsaved settings:
// true when Close Addkit is chosen.
bool ConfirmCloseAddkit(const AddkitEntry& entry);

class AddkitLauncherController : public QDialog, public AddkitTableViewControllerDataSourceProtocol {
  Q_OBJECT
 public:
  static AddkitLauncherController& sharedAddkitLauncherController();
  // Whether the panel was made (callers that only tidy up do not make it).
  static bool exists();
  // Forgets the panel (tests; the plug-in list was rebuilt).
  static void destroyShared();

  const std::vector<std::unique_ptr<AddkitEntryController>>& akEntryControllers() const { return rows_; }
  QTableView* akEntryTableView() const { return table_; }
  QPushButton* launchButton() const { return launch_; }
  QPushButton* cancelButton() const { return cancel_; }
  QPushButton* closeAddkitButton() const { return closeAddkit_; }

  // Launch enabled and Close Addkit disabled for an available plug-in, the other way round for a
  // running one (the photo view's Close Addkit stays disabled); no change without a selection.
  void updateButtonStates();
  void launchButtonChanged();
  void cancelButtonChanged();
  void closeAddkitButtonChanged();
  // A double click launches an available plug-in; a running one is left alone.
  void doubleClickLaunchAddkit();

  int numberOfRowsInTableView(QTableView*) override;
  QWidget* tableViewViewForRow(QTableView*, int row) override;
  bool tableViewShouldSelectRow(QTableView*, int row) override;
  bool selectionShouldChangeInTableView(QTableView*) override;
  void tableViewSelectionDidChange(QTableView* table) override;

 private:
  AddkitLauncherController();
  void awakeFromNib();
  int selectedRow() const;
  AddkitEntry* selectedEntry() const;

  QTableView* table_ = nullptr;
  QPushButton* launch_ = nullptr;
  QPushButton* cancel_ = nullptr;
  QPushButton* closeAddkit_ = nullptr;
  std::vector<std::unique_ptr<AddkitEntryController>> rows_;
  AddkitTableViewController* tableViewController_ = nullptr;
  int highlighted_ = -1;
};
