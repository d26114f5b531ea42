// The object records of every object stream: texture ID records, object info, point lists,
// writing one object entry and reading one object with the repairs older versions need.
#pragma once
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <unordered_set>
#include <vector>

struct Objex;
struct Poinz;
struct Layer;
struct DocState;
class ZLKDocumentModel;

#include "files/StreamState.h"
#include "model/Grouping.h"

// The open cabinet group while a cabinet file is read (its plan mask goes to the parts), or null.
extern Objex* gCabinetObject;

// ---- IDs of objects and points brought in from a stream ----
// The IDs in use while one stream is read: filled once, at construction, from the current
// document, then grown by every object and point the reader makes. A stored ID is kept when
// it is non-zero, not in use and below the counter as it stood at the first record read (so
// no ID handed out since can equal it); otherwise the record keeps the fresh ID its creation
// took. Stored IDs are always dropped while the scrap is pasted or a template inserted. On
// destruction the current document's counters are raised above every ID in use.
// A set of IDs: a bit per ID below a cap (IDs are handed out from counters, so they lie close
// together), a hash set for the few beyond it (an ID a damaged or hostile file made up).
class ReadIDSet {
 public:
  bool count(uint32_t id) const {
    if (id < kBitCap) {
      const size_t w = id / 64;
      return w >= base_ && w - base_ < bits_.size() && (bits_[w - base_] >> (id % 64) & 1);
    }
    return far_.count(id) != 0;
  }
  void insert(uint32_t id) {
    if (id >= kBitCap) {
      far_.insert(id);
      return;
    }
    const size_t w = id / 64;
    if (w < base_ || w - base_ >= bits_.size()) Grow(w);
    bits_[w - base_] |= uint64_t(1) << (id % 64);
  }
  void erase(uint32_t id) {
    if (id >= kBitCap) {
      far_.erase(id);
      return;
    }
    const size_t w = id / 64;
    if (w >= base_ && w - base_ < bits_.size()) bits_[w - base_] &= ~(uint64_t(1) << (id % 64));
  }

 private:
  // 2^24 IDs: at most 2 MB of bits.
  static constexpr uint32_t kBitCap = uint32_t(1) << 24;
  static constexpr size_t kCapWords = kBitCap / 64;
  // The words kept run from word base_ on: a set of IDs near one another (those a read hands
  // out from the counters) keeps words for them only, however high they lie.
  void Grow(size_t w) {
    if (bits_.empty()) {
      base_ = w;
      bits_.assign(std::min<size_t>(kFirstWords, kCapWords - base_), 0);
      return;
    }
    const size_t lo = std::min(w, base_), hi = std::max(w + 1, base_ + bits_.size());
    size_t words = std::max(bits_.size() * 2, hi - lo);
    // Room on the side the set grew to; below the kept words only as far down as word 0.
    size_t newBase = w < base_ ? (hi > words ? hi - words : 0) : base_;
    words = std::min(words, kCapWords - newBase);
    std::vector<uint64_t> grown(words, 0);
    std::copy(bits_.begin(), bits_.end(), grown.begin() + static_cast<std::ptrdiff_t>(base_ - newBase));
    bits_.swap(grown);
    base_ = newBase;
  }
  static constexpr size_t kFirstWords = 1024;
  std::vector<uint64_t> bits_;
  size_t base_ = 0;
  std::unordered_set<uint32_t> far_;
};

//
// When the document's IDs are known to lie below its counters (NoteIDsBelowCounters), the
// design is not walked at construction: the sets then hold only what the read adds, and the
// design's IDs are collected the first time an answer could depend on one of them (a stored
// ID kept, an ID below the counters looked up, a counter found lowered).
class ReadIDScope {
 public:
  // Installs itself as the active scope (scopes nest). With `mayDefer`, the caller reads into
  // another design than the current one (which stays as it is until the scope ends), and the
  // walk of the current design may be left out as described above.
  explicit ReadIDScope(bool mayDefer = false);
  ~ReadIDScope();
  ReadIDScope(const ReadIDScope&) = delete;
  ReadIDScope& operator=(const ReadIDScope&) = delete;

  // Adds the IDs of the document the scope was made for, once; after this the sets and
  // maxima hold every ID in use.
  void CollectDesignIDs();
  // Whether the design's IDs are in the sets (always so without a noted bound).
  bool DesignCollected() const { return collected_; }
  // With the design not collected: every ID of the design lies below these.
  uint32_t ObjectBound() const { return objectBound_; }
  uint32_t PointBound() const { return pointBound_; }

  ReadIDSet objectIDs;
  ReadIDSet pointIDs;
  uint32_t maxObjectID = 0;
  uint32_t maxPointID = 0;
  // Counters of the current DocState as they stood at the first record read.
  bool objectLimitTaken = false;
  bool pointLimitTaken = false;
  uint32_t objectLimit = 0;
  uint32_t pointLimit = 0;

 private:
  ReadIDScope* outer_;
  ZLKDocumentModel* doc_ = nullptr;
  bool collected_ = true;
  uint32_t objectBound_ = 0, pointBound_ = 0;
};
// Notes that every object and point ID of the current document lies below its counters as
// they stand now (a road that has just made it so says it). A later scope on the same
// document trusts this only while both counters still stand exactly there: every record the
// model makes moves them, and every reader leaves them above what it read.
void NoteIDsBelowCounters();
// Forgets the note (any document).
void ForgetIDsBelowCounters();
// The active scope, or null. Without one, read objects and points keep the fresh IDs that
// their creation took (stored IDs are dropped), so IDs stay unique in any case.
ReadIDScope* ActiveReadIDScope();
// An ID for an object or point brought in by the plug-in exchange: `id` itself when it is
// non-zero, not in use and below the counter, else the counter (which then grows). Checked
// against the active scope's sets, or against the current document when there is none.
uint32_t ValidateObjectID(uint32_t id);
uint32_t ValidatePointID(uint32_t id);
// The IDs a plug-in wrote into an exchange file: `id` itself, also at or above the counter
// (the counter passes it when the read ends), unless it is 0, already in use or above
// kLargestKeptReadID; then the counter's next free value. Checked like the two above.
constexpr uint32_t kLargestKeptReadID = 0x7FFFFFFE;
uint32_t KeepReadObjectID(uint32_t id);
uint32_t KeepReadPointID(uint32_t id);

// ---- Texture ID record ----
// id, or -1 followed by the length and bytes of a custom texture's path. The reader lists
// the path in the document's custom texture list and answers the ID the list gives it.
int32_t ReadTextureID();
void WriteTextureID(int32_t id);
// The same record with little-endian Longs (plug-in exchange file).
int32_t ReadStdTextureID();
void WriteStdTextureID(int32_t id);

// ---- Object info and point list ----
// Fills a just-created object from an info record of sInputVersion. Nothing without a
// current document, its DocState or an object.
void ReadObjectInfo(Objex* obj);
// Writes the current info layout; nothing for null.
void WriteObjectInfo(const Objex* obj);
// Reads a point list and appends every point (pointCount grows by one per point). A count
// that the remaining bytes cannot hold ends the read with the stream failed.
void ReadObjectPoints(Objex* obj);
// Writes the points on the object's list (their number, not pointCount); nothing for null.
void WriteObjectPoints(const Objex* obj);
// Deck steps of version 10350 kept as segment flags: adds one steps child for the segment.
void UpdateDeckSteps(Objex* deck, Poinz* point, Poinz* nextPoint);

// ---- Whole objects ----
// One object entry: tag 200, info, points, type data; then, for a top-level group, its
// members inside a group or cabinet bracket, and for other objects with children the
// children without bracket (walls, decks, roofs and roof panels keep theirs in their data).
// In scrap mode only selected objects are written.
void WriteAnObject(Objex* obj);
// One object of a list a record holds (a custom opening's or skylight's definition, a trim
// profile), at the top of that list: a group there is bracketed as a top-level group is, with
// brackets of the list's own whatever brackets stand around the record (see the rule in
// ObjectRecords.cpp). ReadObjectList reads such a list back.
void WriteObjectListEntry(Objex* obj);
// Reads one object record (info, points, type data) into `layer`, appended to its object
// list when `append` is set. Returns the object, or null when there is no layer, the object
// cannot be made, it is dropped (no points and not a group, a roof slope arrow, an old stock
// plant of texture 14050 or more, invalid points) or the stream failed inside it; whatever
// was made for a dropped object is freed.
Objex* ReadAnObject(Layer* layer, uint8_t append);
// A fence read from an older file: the document's fence settings when given (none keeps the
// fence's own), rails and posts of texture 850, gates of 2200, full scale and white.
void GiveFenceDefaults(Objex* fence, const DocState* ds);
// What ReadAnObject left out, by reason, since ResetObjectsLeftOut (the design reader resets
// it before each read and hands the counts to its caller, which tells the user). Slope arrows
// are not counted: each roof panel remakes its own.
struct ObjectsLeftOut {
  int32_t badPoints = 0;       // a coordinate not a number or outside +-1e6
  int32_t tooFewPoints = 0;    // no points (not a group), or an area of fewer than 3
  int32_t oldStockPlants = 0;  // a stock plant of an older library (texture 14050 or more)
  int32_t total() const { return badPoints + tooFewPoints + oldStockPlants; }
  // Kept, not left out: objects whose elevation was not a number or beyond +-1e6 inches and
  // that were read at elevation 0.
  int32_t elevationsReset = 0;
  // Groups (a cabinet's, a symbol's, any other) standing deeper in groups than the readers keep
  // (kMaxGroupNesting): their records are left out and their objects read into the group
  // around them.
  int32_t groupsTooDeep = 0;
};
void ResetObjectsLeftOut();
// Builds the 3D parts of an object just read in the current layout (walls take the layer
// height when their height is unusable); for readers of other streams.
void RebuildReadObject(Objex* obj, Layer* layer);
ObjectsLeftOut ObjectsLeftOutSoFar();
// As ReadAnObject(layer, 0) but also with no layer: the record is then read and dropped.
// For embedded objects, which must be consumed whatever happens to them.
Objex* ReadEmbeddedObject(Layer* layer);
// Reads the objects of a list a record holds up to `endTag` (or the end of the input): each
// object at the list's top is read with ReadEmbeddedObject(layer) and handed to `take`, which
// owns it from then on and answers whether it kept it; a group's bracket (group, inner group
// or cabinet tags) fills the group kept last, with its groups in it, as the object stream's
// brackets do. Any other tag is followed by one object.
void ReadObjectList(int16_t endTag, Layer* layer, const std::function<bool(Objex*)>& take);
// Makes the level and point counts of an object just read agree with the points on its list:
// pointCount their number, levels the stored `levels` when it divides them evenly, else 1.
void SettleReadCounts(Objex* obj, int16_t levels);
// Links an object just read inside a group bracket as the group's last member, on the group's
// layer. A wall, deck, roof or roof panel keeps the attachments its own data built (they are
// written inside its data, never as members); any other child it holds is freed, since a
// member's children follow as members of their own. `lastMember` (may be null) keeps the
// member linked last, so that a long bracket is linked in linear time.
void LinkReadGroupMember(Objex* group, Objex* obj, Objex** lastMember);
// The bracket (group or cabinet begin .. end) an object stream is read inside: the group it
// fills (null outside a bracket), the group inside it whose members are being read (the
// bracket's group itself, or a group in it, in a group in that, and so on) and the member
// linked last there.
//
// A group in the group comes as its record, then an inner begin tag (for a cabinet with its
// state the cabinet begin tag and the state), its members and an inner end tag. A group record
// not followed by either begin tag (older streams wrote a nested group's record with its
// members flat after it, or its members alone) is dropped and its members are the group's.
// Groups nest no deeper than kMaxInnerGroups below the bracket's group, as deep as the group
// command builds them; the members of one deeper (only a design of an older version or a
// damaged one holds such a group) are read into the group around it, and the group is counted
// among what the read left out (ObjectsLeftOut::groupsTooDeep).
struct ReadGroupBracket {
  static constexpr size_t kMaxInnerGroups = kMaxGroupNesting;

  Objex* group = nullptr;
  Objex* inner = nullptr;
  Objex* lastMember = nullptr;

  ReadGroupBracket() = default;
  ReadGroupBracket(const ReadGroupBracket&) = delete;
  ReadGroupBracket& operator=(const ReadGroupBracket&) = delete;
  ~ReadGroupBracket() { DropPending(); }

  bool IsOpen() const { return group != nullptr; }
  // Whether a group in the group (or an inner bracket passed over) is open.
  bool InInner() const { return passedOver_ > 0 || !around_.empty(); }
  void Open(Objex* g);
  // Closes the bracket, and any group in it still open (their bounds brought up to date).
  void Close();
  // At a cabinet begin tag: the cabinet state record that follows is read. Right after a group
  // record inside the bracket, that group becomes a cabinet in the group (as OpenInner).
  // Otherwise `last`, when it is a group, takes it in place of its own type data (a cabinet at
  // the state's elevation when there is a state) and is filled by the bracket; else the state
  // is dropped and nothing opens. The group opened, or null.
  Objex* OpenCabinet(Objex* last);
  // At a cabinet end tag: the cabinet's bounds are brought up to date and the bracket closes.
  void CloseCabinet();
  // At an inner begin tag: the group whose record was read last inside the bracket becomes
  // the next member of the group being filled, and its members follow. The group, or null
  // when there is none or nesting is too deep (the inner bracket is then passed over).
  Objex* OpenInner();
  // At an inner end tag: the group in the group is complete (its bounds brought up to date)
  // and the group around it is filled again. The group completed, or null.
  Objex* CloseInner();
  // Links an object read inside an open bracket as the next member of the group being filled
  // and returns it. A group read there is held until the next tag says whether its members
  // follow in a bracket of their own, and null is returned.
  Objex* Link(Objex* obj);

 private:
  struct Around {
    Objex* group;
    Objex* lastMember;
  };
  std::vector<Around> around_;
  Objex* pending_ = nullptr;
  // Inner brackets passed over (too deep, or with no group record before them) not yet closed.
  size_t passedOver_ = 0;
  void DropPending();
};
