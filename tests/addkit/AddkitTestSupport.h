// The plug-in tests' fixture: a design window, a plug-in folder of our own with descriptors
// that start the test plug-in program, the session bus and a recorder of the program's alerts.
#pragma once
#include <gtest/gtest.h>

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QImage>
#include <QTest>
#include <QVariantMap>

#include <unistd.h>

#include <chrono>
#include <memory>
#include <random>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "app/AddkitDispatcher.h"
#include "app/AddkitLauncherController.h"
#include "app/AppTestSupport.h"
#include "model/Globals.h"
#include "platform/Alerts.h"
#include "platform/Session.h"

// Receives the program's requests to plug-ins to quit, as a plug-in would.
class CloseRequestListener : public QObject {
  Q_OBJECT
 public:
  std::vector<QVariantMap> requests;
  bool listen() {
    return QDBusConnection::sessionBus().connect(QString(), QString(), kAddkitBusInterface, kAddkitHubReqClose, this,
                                                 SLOT(closeRequest(QVariantMap)));
  }
 public Q_SLOTS:
  void closeRequest(const QVariantMap& info) { requests.push_back(info); }
};

class AddkitTest : public DesignWindowTest {
 protected:
  // Test programs running side by side share the session bus but not their temporary folders,
  // where a running program's documents keep their ids from the others': each program draws
  // its design ids from a sequence of its own. The sequence goes on from test to test, so a
  // plug-in a finished test left running cannot signal for the next test's design.
  void beforeDocument() override {
    static const auto generator =
        std::make_shared<std::minstd_rand>(static_cast<uint32_t>(getpid()) * 2654435761u + 1);
    SetDocumentIDSource([] { return static_cast<uint32_t>((*generator)()); });
  }
  void afterClosing() override { SetDocumentIDSource(nullptr); }
  void afterDocument() override {
    plugins = folder + "/Plugins";
    std::filesystem::create_directories(plugins);
    savedUndo = gUndoActive;
    gUndoActive = 1;
    ASSERT_TRUE(AddkitDispatcher::sharedAddkitDispatcher().registerAllServerObservers())
        << "the tests need a session bus (dbus-run-session)";
  }
  void beforeClosing() override {
    AddkitDispatcher& dispatcher = AddkitDispatcher::sharedAddkitDispatcher();
    // Plug-ins still running are asked to quit with their designs; the list is emptied after.
    AddkitLauncherController::destroyShared();
    ZLKDocumentView::choosePhotoViewImagePaths = nullptr;
    // A waiting test plug-in whose lock a test released by hand is asked to quit too: it would
    // otherwise keep the test's output open until it gives up.
    QDBusConnection bus = QDBusConnection::sessionBus();
    for (ZLKDocument* d : ZLKDocumentController::sharedDocumentController().documents()) {
      for (const auto& e : dispatcher.pluginList()) {
        QDBusMessage message = QDBusMessage::createSignal("/test", kAddkitBusInterface, kAddkitHubReqClose);
        message << ids(e->plugInID(), SessionID(), d->documentModel()->itsDocID);
        bus.send(message);
      }
      dispatcher.forceQuitAddkitOwnedByDocument(d->documentModel());
    }
    if (bus.interface()) bus.interface()->isServiceRegistered(QStringLiteral("org.freedesktop.DBus"));
    dispatcher.buildPluginList(folder + "/none");
    gUndoActive = savedUndo;
  }

  // A descriptor "<name>.qeg" whose application is the test plug-in, told by its "mode" file
  // what to do. `program` false leaves the application out of the folder (a launch fails).
  void install(int32_t id, const std::string& mode, const std::string& name, const std::string& extra = "-",
               bool program = true) {
    const std::string dir = plugins + "/" + name;
    std::filesystem::create_directories(dir);
    if (program) std::filesystem::create_symlink(CASA_TEST_ADDKIT_PLUGIN, dir + "/plugin");
    QImage preview(16, 16, QImage::Format_RGB32);
    preview.fill(Qt::darkGreen);
    ASSERT_TRUE(preview.save(QString::fromStdString(dir + "/preview.png")));
    const std::string appID = "test.addkit." + std::to_string(id) + "." + name;
    std::ofstream(dir + "/mode") << mode << " " << id << " " << appID << " " << extra << "\n";
    std::ofstream(plugins + "/" + name + ".qeg")
        << "[Description]\nFileVersion=11000\nDirectory=" << name << "\nPlugIn=plugin\nImage=preview.png\n"
        << "DisplayName=" << name << "\nDisplayDescription=The " << name << " test plug-in\nAppleAppID=" << appID
        << "\nID=" << id << "\nType=1\n";
  }
  void buildList() { AddkitDispatcher::sharedAddkitDispatcher().buildPluginList(plugins); }
  AddkitEntry* entry(int32_t id) { return AddkitDispatcher::sharedAddkitDispatcher().addkitEntryForID(id); }
  std::string exchange(int32_t id) { return AddkitDispatcher::exchangeFilePath(*entry(id)); }
  std::string pluginFile(const std::string& name, const char* file) { return plugins + "/" + name + "/" + file; }

  // Runs the event loop until the entry is free again (the plug-in said it closed).
  bool waitUntilReleased(int32_t id, int ms = 30000) {
    return QTest::qWaitFor([&] { return entry(id)->plugInAvailable(); }, ms);
  }
  static bool waitForFile(const std::string& path, int ms = 30000) {
    return QTest::qWaitFor([&] { return std::filesystem::exists(path); }, ms);
  }

  QVariantMap ids(int32_t id, int64_t user, int64_t docID) {
    QVariantMap info;
    info.insert(kAuxDictAddkitIDKey, id);
    info.insert(kAuxDictUserIDKey, static_cast<qlonglong>(user));
    info.insert(kAuxDictDocumentIDKey, static_cast<qlonglong>(docID));
    return info;
  }

  std::string plugins;
  uint8_t savedUndo = 0;
  ScopedAlertRecorder alerts;
};
