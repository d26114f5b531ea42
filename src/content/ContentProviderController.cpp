#include "content/ContentProviderController.h"

#include <QCloseEvent>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QGuiApplication>
#include <QListWidget>
#include <QScreen>
#include <QUrl>
#include <algorithm>
#include <filesystem>

#include "content/ContentView.h"
#include "platform/ContentPaths.h"
#include "platform/IniFile.h"
#include "platform/PathResolver.h"
#include "platform/Strings.h"

namespace {

ContentProviderController* sShared = nullptr;

template <size_t N>
void ReadKey(const char* key, char (&field)[N], uint32_t size, const std::string& path) {
  static_assert(N >= 2);
  GetPrivateProfileString("Provider", key, "", field, std::min<uint32_t>(size, N), path.c_str());
}

QString Latin1(const char* text) { return QString::fromLatin1(text); }

std::string Format(const std::string& localizedFormat, const char* value) {
  std::string out;
  const size_t at = localizedFormat.find("%s");
  if (at == std::string::npos) return localizedFormat;
  out = localizedFormat.substr(0, at) + value + localizedFormat.substr(at + 2);
  return out;
}

}  // namespace

ContentProviderEntry::ContentProviderEntry(const std::string& path) {
  ReadKey("Name", vendor, 126, path);
  ReadKey("URL", vendorURL, 510, path);
  ReadKey("Addr1", addr1, 126, path);
  ReadKey("Addr2", addr2, 126, path);
  ReadKey("CityStateZIP", cityStateZip, 510, path);
  ReadKey("Country", country, 126, path);
  ReadKey("Phone", phone, 48, path);
  ReadKey("Fax", fax, 48, path);
  ReadKey("Description", description, 221, path);
  char logo[512] = {};
  GetPrivateProfileString("Provider", "Logo", "", logo, 510, path.c_str());
  const std::string name = logo;
  // The logo is a file of the providers folder: a bare file name only.
  if (!name.empty() && name.find('/') == std::string::npos && name.find('\\') == std::string::npos &&
      name != "." && name != "..") {
    const std::string folder = std::filesystem::path(path).parent_path().string();
    const std::string logoPath = ResolvePathIgnoringCase(folder + "/" + name);
    vendorImage = LoadPreviewImage(logoPath, 96, false);
  }
}

std::string ContentProviderEntry::contactInfo() const {
  std::string text;
  for (const char* line : {addr1, addr2, cityStateZip, country})
    if (line[0]) text += std::string(line) + "\n";
  const bool phoned = phone[0] != 0;
  if (phoned) text += Format(LocalizedString(text.empty() ? "Phone: %s\n" : "\nPhone: %s\n"), phone);
  if (fax[0]) {
    if (text.empty()) text += std::string(fax) + "\n";
    else if (phoned) text += Format(LocalizedString("Fax: %s\n"), fax);
    else text += Format(LocalizedString("\nFax: %s\n"), fax);
  }
  return text;
}

std::function<void(const QString&)> ZLKURLTextField::urlOpener = [](const QString& url) {
  QDesktopServices::openUrl(QUrl(url));
};

void ZLKURLTextField::mousePressEvent(QMouseEvent*) {
  if (vendorURL_.isEmpty() || !urlOpener) return;
  urlOpener(QStringLiteral("http://%1").arg(vendorURL_));
}

ContentProviderController* ContentProviderController::sharedContentProviderController() {
  if (!sShared) {
    sShared = new ContentProviderController;
    sShared->windowDidLoad();
  }
  return sShared;
}

ContentProviderController::ContentProviderController(QWidget* parent) : QWidget(parent, Qt::Window) {
  setWindowTitle(QString::fromStdString(LocalizedString("Content Providers")));
  setAttribute(Qt::WA_DeleteOnClose, false);
  auto* grid = new QGridLayout(this);
  table_ = new QListWidget(this);
  table_->setFixedWidth(180);
  imageView_ = new QLabel(this);
  imageView_->setFixedSize(96, 96);
  nameText_ = new QLabel(this);
  contactText_ = new QLabel(this);
  contactText_->setTextFormat(Qt::PlainText);
  descriptionText_ = new QLabel(this);
  descriptionText_->setWordWrap(true);
  descriptionText_->setTextFormat(Qt::PlainText);
  urlText_ = new ZLKURLTextField(this);
  urlText_->setTextFormat(Qt::PlainText);
  urlText_->setCursor(Qt::PointingHandCursor);
  QFont underlined = urlText_->font();
  underlined.setUnderline(true);
  urlText_->setFont(underlined);
  grid->addWidget(table_, 0, 0, 5, 1);
  grid->addWidget(imageView_, 0, 1);
  grid->addWidget(nameText_, 1, 1);
  grid->addWidget(contactText_, 2, 1);
  grid->addWidget(descriptionText_, 3, 1);
  grid->addWidget(urlText_, 4, 1);
  resize(520, 360);
  populateProviderList();
  for (const auto& entry : providerList_) table_->addItem(Latin1(entry->vendor));
  connect(table_, &QListWidget::currentRowChanged, this, &ContentProviderController::setControlsForEntryAtIndex);
  if (!providerList_.empty()) table_->setCurrentRow(0);
  else nameText_->setText(QString::fromStdString(LocalizedString("No Vendors Found")));
}

ContentProviderController::~ContentProviderController() {
  if (sShared == this) sShared = nullptr;
}

void ContentProviderController::populateProviderList() {
  const std::string folder = ResolvePathIgnoringCase(LocalDomainContentProviderPath());
  if (folder.empty()) return;
  // The folder's listing comes in no particular order here: the providers are taken in name
  // order, as the content searches take their folders.
  std::vector<std::string> names;
  std::error_code ec;
  std::filesystem::directory_iterator it(folder, ec), end;
  for (; !ec && it != end; it.increment(ec)) {
    const std::string name = it->path().filename().string();
    const QString suffix = QFileInfo(QString::fromStdString(name)).suffix();
    if (suffix.compare(QLatin1String("QPI"), Qt::CaseInsensitive) != 0) continue;
    names.push_back(name);
  }
  std::sort(names.begin(), names.end());
  for (const std::string& name : names) providerList_.push_back(std::make_unique<ContentProviderEntry>(folder + "/" + name));
}

void ContentProviderController::setControlsForEntryAtIndex(int index) {
  if (index < 0 || static_cast<size_t>(index) >= providerList_.size()) return;
  const ContentProviderEntry& entry = *providerList_[static_cast<size_t>(index)];
  nameText_->setText(Latin1(entry.vendor));
  contactText_->setText(Latin1(entry.contactInfo().c_str()));
  descriptionText_->setText(Latin1(entry.description));
  urlText_->setText(Latin1(entry.vendorURL));
  urlText_->setVendorURL(Latin1(entry.vendorURL));
  if (!entry.vendorImage.isNull()) imageView_->setPixmap(QPixmap::fromImage(entry.vendorImage));
}

void ContentProviderController::windowDidLoad() {
  QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
  if (!screen) return;
  const QRect visible = screen->availableGeometry();
  const int x = visible.left() + static_cast<int>((visible.width() - width()) * 0.5);
  const int y = visible.top() + static_cast<int>((visible.height() - height()) - (visible.height() - height()) / 1.2);
  move(x, y);
}

void ContentProviderController::closeEvent(QCloseEvent* event) {
  QWidget::closeEvent(event);
  if (sShared == this) {
    sShared = nullptr;
    deleteLater();
  }
}
