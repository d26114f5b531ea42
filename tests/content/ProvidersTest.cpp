// Content providers: descriptors, the contact text and the window.
#include <gtest/gtest.h>

#include <QListWidget>
#include <QMouseEvent>

#include "ContentTestSupport.h"
#include "app/AppTestSupport.h"
#include "content/ContentProviderController.h"

namespace {

std::string Contact(const std::string& keys) {
  ContentFolders folders;
  return ContentProviderEntry(folders.write("p.QPI", "[Provider]\n" + keys)).contactInfo();
}

TEST(ProviderContact, PhoneAndFaxLinesFollowTheAddress) {
  EXPECT_EQ(Contact("Phone=555-1\n"), "Phone: 555-1\n");
  EXPECT_EQ(Contact("Addr1=1 Road\nPhone=555-1\n"), "1 Road\n\nPhone: 555-1\n");
  EXPECT_EQ(Contact("Addr1=1 Road\nPhone=555-1\nFax=555-2\n"), "1 Road\n\nPhone: 555-1\nFax: 555-2\n");
  EXPECT_EQ(Contact("Fax=555-2\n"), "555-2\n");
  EXPECT_EQ(Contact("Country=Nowhere\nFax=555-2\n"), "Nowhere\n\nFax: 555-2\n");
  EXPECT_EQ(Contact(""), "");
}

TEST(ProviderEntry, FieldsAreCutToTheirReadSizes) {
  ContentFolders folders;
  const std::string longName(300, 'n');
  ContentProviderEntry entry(folders.write("p.qpi", "[Provider]\nName=" + longName + "\nPhone=" + std::string(80, '5') +
                                                        "\nLogo=../../etc/passwd\n"));
  EXPECT_EQ(std::string(entry.vendor).size(), 125u);
  EXPECT_EQ(std::string(entry.phone).size(), 47u);
  EXPECT_TRUE(entry.vendorImage.isNull());
}

TEST(ProviderWindow, ListsDescriptorsOfAnyCaseOrSaysNoVendors) {
  TestApplication();
  ContentFolders folders;
  {
    ContentProviderController empty;
    EXPECT_EQ(empty.providerList().size(), 0u);
    EXPECT_EQ(empty.vendorNameText()->text().toStdString(), "No Vendors Found");
  }
  folders.write("support/QVRA/Providers/a.qpi", "[Provider]\nName=Alpha\nURL=www.alpha.test\nLogo=a.png\n");
  folders.image("support/QVRA/Providers/a.png", 16, 0x123456);
  folders.write("support/QVRA/Providers/b.txt", "[Provider]\nName=Not listed\n");
  ContentProviderController window;
  ASSERT_EQ(window.providerList().size(), 1u);
  EXPECT_EQ(window.providerTableView()->count(), 1);
  EXPECT_EQ(window.vendorNameText()->text().toStdString(), "Alpha");
  EXPECT_EQ(window.vendorURLText()->vendorURL().toStdString(), "www.alpha.test");
  EXPECT_FALSE(window.vendorImageView()->pixmap().isNull());
  QString opened;
  ZLKURLTextField::urlOpener = [&](const QString& url) { opened = url; };
  QMouseEvent press(QEvent::MouseButtonPress, QPointF(1, 1), QPointF(1, 1), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(window.vendorURLText(), &press);
  EXPECT_EQ(opened.toStdString(), "http://www.alpha.test");
  opened.clear();
  window.vendorURLText()->setVendorURL(QString());
  QApplication::sendEvent(window.vendorURLText(), &press);
  EXPECT_TRUE(opened.isEmpty());
  // An index outside the list changes nothing.
  window.setControlsForEntryAtIndex(-1);
  window.setControlsForEntryAtIndex(1);
  EXPECT_EQ(window.vendorNameText()->text().toStdString(), "Alpha");
}

TEST(ProviderWindow, ProvidersAreListedInNameOrderAndKeepTheLastLogo) {
  TestApplication();
  ContentFolders folders;
  folders.write("support/QVRA/Providers/c.Qpi", "[Provider]\nName=Gamma\nLogo=g.png\nDescription=Plants\n");
  folders.image("support/QVRA/Providers/g.png", 16, 0x123456);
  folders.write("support/QVRA/Providers/a.QPI", "[Provider]\nName=Alpha\n");
  folders.write("support/QVRA/Providers/b.qpi", "[Provider]\nName=Beta\n");
  folders.write("support/QVRA/Providers/d.QPIX", "[Provider]\nName=Not listed\n");
  ContentProviderController window;
  ASSERT_EQ(window.providerList().size(), 3u);
  const char* names[] = {"Alpha", "Beta", "Gamma"};
  for (int i = 0; i < 3; ++i) {
    EXPECT_STREQ(window.providerList()[static_cast<size_t>(i)]->vendor, names[i]);
    EXPECT_EQ(window.providerTableView()->item(i)->text().toStdString(), names[i]);
  }
  EXPECT_EQ(window.vendorNameText()->text().toStdString(), "Alpha");
  window.setControlsForEntryAtIndex(2);
  EXPECT_EQ(window.descriptionText()->text().toStdString(), "Plants");
  const qint64 logo = window.vendorImageView()->pixmap().cacheKey();
  window.setControlsForEntryAtIndex(1);
  EXPECT_EQ(window.vendorNameText()->text().toStdString(), "Beta");
  EXPECT_EQ(window.vendorImageView()->pixmap().cacheKey(), logo);
}

TEST(ProviderWindow, HelpMenuOpensTheSharedWindow) {
  TestApplication();
  ContentProviderController* first = ContentProviderController::sharedContentProviderController();
  EXPECT_EQ(ContentProviderController::sharedContentProviderController(), first);
  first->close();
  QApplication::processEvents();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  ContentProviderController* second = ContentProviderController::sharedContentProviderController();
  ASSERT_NE(second, nullptr);
  delete second;
}

}  // namespace
