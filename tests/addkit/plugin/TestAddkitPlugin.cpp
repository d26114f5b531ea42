// A plug-in for the tests of the plug-in exchange, started by the program as its own process in
// its plug-in folder. That folder's file "mode" says what to do and who it is:
//   <mode> <plug-in id> <application id>
// update    reads the exchange file, writes a plug-out file (a replaced wall moved 100 units,
//           a removed detail, a new text on the second floor, a new group of two lines, its
//           data block) and posts AddkitClosingUpdate
// noupdate  posts AddkitClosingNoUpdate
// hang      waits until the program asks it to quit (AddkitHubReqClose for its id and design)
// crash     ends abnormally without a word
// nofile    deletes the exchange file and posts AddkitClosingUpdate
// It leaves "ran" in its folder once it has read its mode, "listening" once a hanging plug-in
// hears the bus, and "asked-to-close" when the program asked it to quit.
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QFile>
#include <QTimer>
#include <QVariantMap>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

#include "TestDocument.h"
#include "files/ByteStream.h"
#include "files/PlugInFile.h"
#include "files/StreamState.h"
#include "model/Records.h"
#include "platform/Session.h"
#include "platform/TemporaryFolder.h"

namespace {

struct Settings {
  std::string mode;
  int32_t id = 0;
  std::string appID;
  std::string extra;  // the topography path of plug-in 118, "-" for none
};

void Note(const char* name, const std::string& text = {}) {
  std::ofstream(name) << text;
}

// The document id the exchange file was written for; -1 when it cannot be read.
int64_t ExchangeDocumentID(const std::string& path) {
  FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return -1;
  unsigned char b[10];
  const size_t n = std::fread(b, 1, sizeof b, f);
  std::fclose(f);
  if (n != sizeof b) return -1;
  const uint32_t version = uint32_t(b[4]) | uint32_t(b[5]) << 8 | uint32_t(b[6]) << 16 | uint32_t(b[7]) << 24;
  if (!IsExchangeVersion(static_cast<int32_t>(version))) return -1;
  return static_cast<int32_t>(uint32_t(b[0]) | uint32_t(b[1]) << 8 | uint32_t(b[2]) << 16 | uint32_t(b[3]) << 24);
}

void Post(const char* member, const QVariantMap& info) {
  QDBusConnection bus = QDBusConnection::sessionBus();
  QDBusMessage message = QDBusMessage::createSignal("/com/zelkoworks/testaddkit", "com.zelkoworks", member);
  message << info;
  bus.send(message);
  // A round trip to the bus: the signal has left before the process ends.
  bus.interface()->isServiceRegistered(QStringLiteral("org.freedesktop.DBus"));
}

QVariantMap Ids(const Settings& s, int64_t docID) {
  QVariantMap info;
  // Mixed number types on purpose: the program takes any integer or double.
  info.insert("AuxDictAddkitIDKey", static_cast<qlonglong>(s.id));
  info.insert("AuxDictUserIDKey", static_cast<double>(SessionID()));
  info.insert("AuxDictDocumentIDKey", static_cast<int>(docID));
  return info;
}

Objex* NewText(Layer* layer, float x, const char* text) {
  RGBColor black{};
  Objex* o = CreateObject(kObjText, 1, 1, &black, &black, 1, 6, 0, nullptr, nullptr, nullptr, nullptr, layer, nullptr);
  const float xs[4] = {0, 40, 40, 0}, zs[4] = {0, 0, 30, 30};
  for (int k = 0; k < 4; ++k)
    AppendPointToObject(CreatePoint(1, 0, 0, 0, 0, 0, x + xs[k], 0, zs[k], 0, 0, 0, 0, 0, 0, o), o);
  o->typeData = strdup(text);
  auto* font = static_cast<LOGFONT*>(calloc(1, sizeof(LOGFONT)));
  font->lfHeight = 12;
  std::strcpy(font->lfFaceName, "Serif");
  o->extraData = font;
  AppendObjectToLayer(o, layer);
  return o;
}

Objex* NewLine(Objex* parent, Layer* layer, float x) {
  RGBColor black{};
  Objex* o = CreateObject(kObjLine, 0, 1, &black, &black, 1, 6, 0, nullptr, nullptr, nullptr, parent, layer, nullptr);
  AppendPointToObject(CreatePoint(1, 0, 0, 0, 0, 0, x, 0, 0, 0, 0, 0, 0, 0, 0, o), o);
  AppendPointToObject(CreatePoint(1, 0, 0, 0, 0, 0, x + 50, 0, 0, 0, 0, 0, 0, 0, 0, o), o);
  if (parent) {
    Objex** link = &parent->firstChild;
    Objex* last = nullptr;
    while (*link) last = *link, link = &last->next;
    *link = o;
    o->prev = last;
  } else {
    AppendObjectToLayer(o, layer);
  }
  return o;
}

void WriteName(const char* name) {
  WriteStdULong(static_cast<uint32_t>(std::strlen(name)));
  WriteSome(name, static_cast<uint32_t>(std::strlen(name)));
}

// The plug-out file: what the plug-in changed in the design it read.
bool WritePlugOut(const Settings& s, const std::string& path) {
  TestDocument doc;
  if (!PlugInFileRead(path.c_str(), s.id)) return false;
  Objex *wall = nullptr, *detail = nullptr;
  for (Layer* l = doc.model.itsLayers; l; l = l->next)
    for (Objex* o = l->firstObject; o; o = o->next) {
      if (o->type == kObjWall && !wall) wall = o;
      if (o->type == kObjDetail && !detail) detail = o;
    }
  Layer* second = GetLayerFromName("Second Floor");
  Layer* first = GetLayerFromName("First Floor");
  BeginOutputBuffer();
  sWriteVersion = kVersionExchange11000;
  WriteStdULong(static_cast<uint32_t>(s.id));
  WriteStdULong(static_cast<uint32_t>(kVersionExchange11000));
  WriteStdUShort(2);
  if (wall) {
    for (Poinz* p = wall->firstPoint; p; p = p->next) p->position[0] += 100;
    WriteStdUShort(kTagExchangeReplaceObject);
    WriteStdULong(wall->objectID);
    WriteAPlugInObject(wall);
  }
  if (detail) {
    WriteStdUShort(kTagExchangeDeleteObject);
    WriteStdULong(detail->objectID);
  }
  if (second) {
    WriteStdUShort(kTagExchangeTargetLayer);
    WriteName("Second Floor");
    WriteAPlugInObject(NewText(second, 500, "From the plug-in"));
  }
  if (first) {
    WriteStdUShort(kTagExchangeTargetLayer);
    WriteName("First Floor");
    RGBColor black{};
    Objex* group = CreateObject(kObjGroup, 0, 1, &black, &black, 0, 6, 0, nullptr, nullptr, nullptr, nullptr, first,
                                nullptr);
    AppendObjectToLayer(group, first);
    group->groupMarker = 0;  // the program marks it as this plug-in's
    NewLine(group, first, 700);
    NewLine(group, first, 800);
    WriteAPlugInObject(group);
  }
  WriteStdUShort(kTagExchangeObjectsEnd);
  WriteStdUShort(kTagExchangeBlackBox);
  WriteStdULong(4);
  WriteSome("data", 4);
  WriteStdUShort(kTagExchangeBlackBoxEnd);
  const bool ok = WriteOutputFile(path.c_str(), false);
  ReleaseOutputBuffer();
  return ok;
}

}  // namespace

// Quits when the program asks this plug-in, for its design, to close.
class HangListener : public QObject {
  Q_OBJECT
 public:
  HangListener(const Settings& s, int64_t docID) : s_(s), docID_(docID) {}
 public Q_SLOTS:
  void closeRequest(const QVariantMap& info) {
    if (info.value("AuxDictAddkitIDKey").toLongLong() != s_.id ||
        info.value("AuxDictDocumentIDKey").toLongLong() != docID_ ||
        info.value("AuxDictUserIDKey").toLongLong() != SessionID())
      return;
    Note("asked-to-close");
    QCoreApplication::quit();
  }

 private:
  Settings s_;
  int64_t docID_;
};

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  Settings s;
  {
    std::ifstream in("mode");
    in >> s.mode >> s.id >> s.appID >> s.extra;
  }
  Note("ran", s.mode);
  const std::string path = ApplicationTemporaryPath() + "/" + s.appID + "/data.qxf";
  const int64_t docID = ExchangeDocumentID(path);
  if (s.mode == "crash") std::abort();
  if (docID < 0) return 2;
  if (s.mode == "noupdate") {
    Post("AddkitClosingNoUpdate", Ids(s, docID));
    return 0;
  }
  if (s.mode == "nofile") {
    QFile::remove(QString::fromStdString(path));
    Post("AddkitClosingUpdate", Ids(s, docID));
    return 0;
  }
  if (s.mode == "update") {
    if (!WritePlugOut(s, path)) return 3;
    QVariantMap info = Ids(s, docID);
    if (s.id == 118) info.insert("AuxDictTopographyKey", QString::fromStdString(s.extra == "-" ? "" : s.extra));
    if (s.id == 128) {
      info.insert("AuxDictGSPSunLotAngleKey", 33.5);
      info.insert("AuxDictGSPSunOverheadAngleKey", 61.0);
      info.insert("AuxDictGSPSceneBrightnessKey", 1.75);
      info.insert("AuxDictGSPSunBrightnessKey", 80);
      info.insert("AuxDictGSPShadingIntensityKey", 0.25);
    }
    Post("AddkitClosingUpdate", info);
    return 0;
  }
  if (s.mode == "hang") {
    HangListener listener(s, docID);
    QDBusConnection::sessionBus().connect(QString(), QString(), "com.zelkoworks", "AddkitHubReqClose", &listener,
                                          SLOT(closeRequest(QVariantMap)));
    Note("listening");
    QTimer::singleShot(60000, &app, &QCoreApplication::quit);  // never outlives the tests for long
    return app.exec();
  }
  return 1;
}

#include "TestAddkitPlugin.moc"
