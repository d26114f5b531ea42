// The plug-in launcher panel, its rows and the table controller that hosts them.
#include "app/AddkitLauncherController.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

#include "app/AddkitDispatcher.h"
#include "app/AppController.h"
#include "app/ZLKDocumentView.h"
#include "app/ZLKWindowController.h"
#include "platform/Alerts.h"
#include "platform/Strings.h"

namespace {

QString Localized(const char* text) { return QString::fromStdString(LocalizedString(text)); }

// The format with %@ replaced by the name.
std::string WithName(const char* format, const QString& name) {
  std::string text = LocalizedString(format);
  const size_t at = text.find("%@");
  if (at != std::string::npos) text.replace(at, 2, name.toStdString());
  return text;
}

constexpr int kRowHeight = 76;
constexpr int kPreviewSize = 64;

void SetTextColor(QLabel* label, const QColor& color) {
  QPalette p = label->palette();
  p.setColor(QPalette::WindowText, color);
  label->setPalette(p);
}

AddkitLauncherController* sShared = nullptr;

}  // namespace

bool ConfirmCloseAddkit(const AddkitEntry& entry) {
  AlertRequest request;
  request.message = WithName("Are you sure you want to close '%@'?", entry.plugInName());
  request.informative = "You will lose all unsaved settings in this Addkit if you choose to close it.";
  request.buttons = {"Close Addkit", "Cancel"};
  request.sheet = false;
  int answer = -1;
  ShowAlertWithButtons(request, [&answer](int chosen) { answer = chosen; });
  return answer == 0;
}

// ---- Rows ----

std::unique_ptr<AddkitEntryController> AddkitEntryController::newAddkitEntryControllerUsingEntry(AddkitEntry* entry) {
  if (!entry) return nullptr;
  std::unique_ptr<AddkitEntryController> row(new AddkitEntryController);
  auto* view = new QWidget;
  // Clicks go through to the table under the row: it selects and sees double clicks.
  view->setAttribute(Qt::WA_TransparentForMouseEvents);
  view->setAutoFillBackground(false);
  auto* layout = new QHBoxLayout(view);
  layout->setContentsMargins(6, 4, 6, 4);
  row->image_ = new QLabel(view);
  row->image_->setFixedSize(kPreviewSize, kPreviewSize);
  row->image_->setAlignment(Qt::AlignCenter);
  layout->addWidget(row->image_);
  auto* texts = new QVBoxLayout;
  auto* top = new QHBoxLayout;
  row->name_ = new QLabel(view);
  QFont bold = row->name_->font();
  bold.setBold(true);
  row->name_->setFont(bold);
  row->status_ = new QLabel(view);
  top->addWidget(row->name_, 1);
  top->addWidget(row->status_);
  texts->addLayout(top);
  row->description_ = new QLabel(view);
  row->description_->setWordWrap(true);
  texts->addWidget(row->description_, 1);
  layout->addLayout(texts, 1);
  row->entryView_ = view;
  entry->setPlugInViewController(row.get());
  row->setAKOwner(entry);
  row->updateControls();
  row->highlightEntryText(false);
  return row;
}

AddkitEntryController::~AddkitEntryController() {
  if (owner_ && owner_->plugInViewController() == this) owner_->setPlugInViewController(nullptr);
  delete entryView_.data();
}

void AddkitEntryController::updateControls() {
  if (!owner_ || !entryView_) return;
  status_->setText(Localized(owner_->plugInAvailable() ? "Available" : "Running"));
  name_->setText(owner_->plugInName().isEmpty() ? Localized("Unknown") : owner_->plugInName());
  description_->setText(owner_->plugInDescription());
  const QImage& preview = owner_->plugInPreview();
  image_->setPixmap(preview.isNull() ? QPixmap()
                                     : QPixmap::fromImage(preview.scaled(kPreviewSize, kPreviewSize, Qt::KeepAspectRatio,
                                                                         Qt::SmoothTransformation)));
}

void AddkitEntryController::highlightEntryText(bool flag) {
  if (!entryView_) return;
  if (flag) {
    SetTextColor(name_, Qt::white);
    SetTextColor(status_, Qt::white);
    SetTextColor(description_, Qt::white);
  } else {
    SetTextColor(name_, Qt::black);
    SetTextColor(status_, Qt::black);
    SetTextColor(description_, QColor::fromRgbF(1.0f / 3, 1.0f / 3, 1.0f / 3, 1));
  }
}

// ---- Cells and the table controller ----

void AddkitTableViewCell::drawWithFrame(QAbstractItemView* table, const QModelIndex& index) {
  if (!table || !subview_ || !index.isValid()) return;
  QWidget* holder = table->indexWidget(index);
  if (holder && subview_->parentWidget() == holder) return;
  // The view owns (and deletes) its item widgets: the row is put in a holder of its own, so
  // that it can be taken out again.
  holder = new QWidget;
  holder->setAttribute(Qt::WA_TransparentForMouseEvents);
  auto* layout = new QVBoxLayout(holder);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(subview_);
  subview_->show();
  table->setIndexWidget(index, holder);
}

AddkitTableViewController::AddkitTableViewController(QTableView* table, int column)
    : QAbstractTableModel(table), table_(table), column_(column) {
  table_->setModel(this);
  table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
}

int AddkitTableViewController::rowCount(const QModelIndex& parent) const {
  if (parent.isValid() || !delegate_) return 0;
  return std::max(0, delegate_->numberOfRowsInTableView(table_));
}

int AddkitTableViewController::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : column_ + 1;
}

Qt::ItemFlags AddkitTableViewController::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::NoItemFlags;
  return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
}

void AddkitTableViewController::reloadTableView() {
  // Out of their holders before the view drops them.
  for (AddkitTableViewCell& cell : cells_)
    if (QWidget* v = cell.view()) {
      v->hide();
      v->setParent(nullptr);
    }
  beginResetModel();
  cells_.clear();
  endResetModel();
  placeRowViews();
}

void AddkitTableViewController::placeRowViews() {
  const int rows = rowCount();
  cells_.resize(static_cast<size_t>(rows));
  for (int row = 0; row < rows; ++row) {
    cells_[static_cast<size_t>(row)].addSubview(delegate_->tableViewViewForRow(table_, row));
    cells_[static_cast<size_t>(row)].drawWithFrame(table_, index(row, column_));
  }
}

// ---- The panel ----

AddkitLauncherController& AddkitLauncherController::sharedAddkitLauncherController() {
  if (!sShared) {
    sShared = new AddkitLauncherController;
    sShared->awakeFromNib();
  }
  return *sShared;
}

bool AddkitLauncherController::exists() { return sShared != nullptr; }

void AddkitLauncherController::destroyShared() {
  delete sShared;
  sShared = nullptr;
}

AddkitLauncherController::AddkitLauncherController() {
  setWindowTitle(Localized("Addkits"));
  setModal(true);
  auto* layout = new QVBoxLayout(this);
  table_ = new QTableView(this);
  table_->horizontalHeader()->hide();
  table_->verticalHeader()->hide();
  table_->horizontalHeader()->setStretchLastSection(true);
  table_->verticalHeader()->setDefaultSectionSize(kRowHeight);
  table_->setSelectionMode(QAbstractItemView::SingleSelection);
  table_->setSelectionBehavior(QAbstractItemView::SelectRows);
  table_->setShowGrid(false);
  table_->setMinimumSize(460, 3 * kRowHeight);
  layout->addWidget(table_, 1);
  auto* buttons = new QHBoxLayout;
  closeAddkit_ = new QPushButton(Localized("Close Addkit"), this);
  cancel_ = new QPushButton(Localized("Cancel"), this);
  launch_ = new QPushButton(Localized("Launch"), this);
  launch_->setDefault(true);
  buttons->addWidget(closeAddkit_);
  buttons->addStretch(1);
  buttons->addWidget(cancel_);
  buttons->addWidget(launch_);
  layout->addLayout(buttons);
  connect(launch_, &QPushButton::clicked, this, [this] { launchButtonChanged(); });
  connect(cancel_, &QPushButton::clicked, this, [this] { cancelButtonChanged(); });
  connect(closeAddkit_, &QPushButton::clicked, this, [this] { closeAddkitButtonChanged(); });
  connect(table_, &QTableView::doubleClicked, this, [this] { doubleClickLaunchAddkit(); });
}

void AddkitLauncherController::awakeFromNib() {
  tableViewController_ = new AddkitTableViewController(table_, 0);
  tableViewController_->setDelegate(this);
  rows_.clear();
  for (const auto& entry : AddkitDispatcher::sharedAddkitDispatcher().pluginList())
    if (auto row = AddkitEntryController::newAddkitEntryControllerUsingEntry(entry.get())) rows_.push_back(std::move(row));
  if (!rows_.empty()) rows_.front()->highlightEntryText(true);
  tableViewController_->reloadTableView();
  connect(table_->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
    selectionShouldChangeInTableView(table_);
    const int row = selectedRow();
    if (row >= 0) tableViewShouldSelectRow(table_, row);
    tableViewSelectionDidChange(table_);
  });
  // The first row starts selected, as its highlight shows: Launch acts on it at once.
  if (!rows_.empty()) table_->selectRow(0);
}

int AddkitLauncherController::numberOfRowsInTableView(QTableView*) { return static_cast<int>(rows_.size()); }

QWidget* AddkitLauncherController::tableViewViewForRow(QTableView*, int row) {
  if (row < 0 || row >= static_cast<int>(rows_.size())) return nullptr;
  return rows_[static_cast<size_t>(row)]->view();
}

bool AddkitLauncherController::tableViewShouldSelectRow(QTableView*, int row) {
  if (row >= 0 && row < static_cast<int>(rows_.size())) {
    rows_[static_cast<size_t>(row)]->highlightEntryText(true);
    highlighted_ = row;
  }
  return true;
}

bool AddkitLauncherController::selectionShouldChangeInTableView(QTableView*) {
  if (highlighted_ >= 0 && highlighted_ < static_cast<int>(rows_.size()))
    rows_[static_cast<size_t>(highlighted_)]->highlightEntryText(false);
  // The first row starts highlighted before anything is selected.
  if (!rows_.empty() && highlighted_ < 0) rows_.front()->highlightEntryText(false);
  highlighted_ = -1;
  return true;
}

void AddkitLauncherController::tableViewSelectionDidChange(QTableView* table) {
  if (table == table_) updateButtonStates();
}

int AddkitLauncherController::selectedRow() const {
  const QModelIndexList rows = table_->selectionModel() ? table_->selectionModel()->selectedRows() : QModelIndexList();
  return rows.isEmpty() ? -1 : rows.first().row();
}

AddkitEntry* AddkitLauncherController::selectedEntry() const {
  const int row = selectedRow();
  const auto& entries = AddkitDispatcher::sharedAddkitDispatcher().pluginList();
  if (row < 0 || row >= static_cast<int>(rows_.size()) || row >= static_cast<int>(entries.size())) return nullptr;
  return rows_[static_cast<size_t>(row)]->AKOwner();
}

void AddkitLauncherController::updateButtonStates() {
  AddkitEntry* entry = selectedEntry();
  if (!entry) return;
  const bool available = entry->plugInAvailable();
  launch_->setEnabled(available);
  closeAddkit_->setEnabled(!available && entry->plugInID() != kAddkitPhotoView);
}

void AddkitLauncherController::launchButtonChanged() {
  AddkitEntry* entry = selectedEntry();
  if (!entry) return;
  AddkitDispatcher& dispatcher = AddkitDispatcher::sharedAddkitDispatcher();
  if (!dispatcher.launchAddkit(entry)) {
    ShowAlert(WithName("Unable to launch %@", entry->plugInName()), "Please make sure the Addkit is installed correctly.");
    return;
  }
  done(1);
  hide();
  updateButtonStates();
  if (AddkitEntryController* row = entry->plugInViewController()) row->updateControls();
  if (entry->plugInID() == kAddkitPhotoView) {
    if (ZLKDocumentView* view = AppController::mainWindowDocumentView()) view->launchPhotoView();
  } else if (ZLKWindowController* window = AppController::mainWindowController()) {
    window->beginAddkitProgressSheetForEntry(entry);
  }
}

void AddkitLauncherController::doubleClickLaunchAddkit() {
  AddkitEntry* entry = selectedEntry();
  if (entry && entry->plugInAvailable()) launchButtonChanged();
}

void AddkitLauncherController::cancelButtonChanged() { done(-1); }

void AddkitLauncherController::closeAddkitButtonChanged() {
  AddkitEntry* entry = selectedEntry();
  if (!entry || !ConfirmCloseAddkit(*entry)) return;
  ZLKDocumentModel* owner = entry->plugInOwnerDocument();
  AddkitDispatcher& dispatcher = AddkitDispatcher::sharedAddkitDispatcher();
  // The question named this plug-in only: another one on the same design keeps running, with
  // the design still covered in its name.
  dispatcher.forceQuitAddkit(entry);
  const AddkitEntry* remaining = owner ? dispatcher.addkitEntryForDocument(owner) : nullptr;
  if (ZLKDocument* document = AppController::documentOfModel(owner)) {
    if (!document->windowControllers().isEmpty()) {
      ZLKWindowController* window = document->windowControllers().first();
      if (remaining) window->beginAddkitProgressSheetForEntry(remaining);
      else window->endAddkitProgressSheet();
    }
  }
  if (!remaining) AppController::restorePanelsAfterAddkit();
}
