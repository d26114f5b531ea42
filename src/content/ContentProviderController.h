// The content-provider window: the suppliers of library content, each described by a
// descriptor file (".QPI") in the providers folder, listed by name; the chosen one's logo,
// contact text, description and web address.
#pragma once
#include <QImage>
#include <QLabel>
#include <QWidget>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class QListWidget;

struct ContentProviderEntry {
  // Reads the descriptor (section "Provider"); the logo from the descriptor's folder.
  explicit ContentProviderEntry(const std::string& path);
  char vendor[128] = {};
  char vendorURL[512] = {};
  char addr1[128] = {};
  char addr2[128] = {};
  char cityStateZip[512] = {};
  char country[128] = {};
  char phone[50] = {};
  char fax[50] = {};
  char description[225] = {};
  QImage vendorImage;  // null without a logo
  // Address lines, then the phone and fax lines (see the .cpp).
  std::string contactInfo() const;
};

// A web address shown as underlined text; a click opens it with "http://" in front.
class ZLKURLTextField : public QLabel {
  Q_OBJECT
 public:
  explicit ZLKURLTextField(QWidget* parent = nullptr) : QLabel(parent) {}
  void setVendorURL(const QString& url) { vendorURL_ = url; }
  const QString& vendorURL() const { return vendorURL_; }
  // Opens a web address (tests replace it).
  static std::function<void(const QString&)> urlOpener;

 protected:
  void mousePressEvent(QMouseEvent* event) override;

 private:
  QString vendorURL_;
};

class ContentProviderController : public QWidget {
  Q_OBJECT
 public:
  // Made on the first call; the same one until its window closes.
  static ContentProviderController* sharedContentProviderController();
  explicit ContentProviderController(QWidget* parent = nullptr);
  ~ContentProviderController() override;

  void populateProviderList();
  void setControlsForEntryAtIndex(int index);
  // Centred across, with five sixths of the free height below it.
  void windowDidLoad();

  const std::vector<std::unique_ptr<ContentProviderEntry>>& providerList() const { return providerList_; }
  QListWidget* providerTableView() const { return table_; }
  QLabel* vendorImageView() const { return imageView_; }
  QLabel* vendorNameText() const { return nameText_; }
  QLabel* contactInfoText() const { return contactText_; }
  QLabel* descriptionText() const { return descriptionText_; }
  ZLKURLTextField* vendorURLText() const { return urlText_; }

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  std::vector<std::unique_ptr<ContentProviderEntry>> providerList_;
  QListWidget* table_ = nullptr;
  QLabel* imageView_ = nullptr;
  QLabel* nameText_ = nullptr;
  QLabel* contactText_ = nullptr;
  QLabel* descriptionText_ = nullptr;
  ZLKURLTextField* urlText_ = nullptr;
};
