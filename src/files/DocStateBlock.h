// The DocState block of design files, undo snapshots, templates and symbol files: the
// little-endian, two-byte-aligned layouts 10000 to 11100, their writers, readers and repairs.
#pragma once
#include <cstdint>
#include <vector>

struct DocState;

// Every writer puts this Long before the block; readers read it and ignore its value.
constexpr int32_t kDocStateBlockFraming = 3732;

// Copies into ds, from was, every setting the user changes with no undo step of its own (the
// view, the tools' defaults, Snap To Grid, the 3D window's render settings and the like): the
// fields the undo ring's compare leaves out, which Undo and Redo leave as they stand.
void KeepUnsteppedSettings(const DocState& was, DocState* ds);
// The settings fields that no design file holds but an edit with its own undo step changes (the
// 3D background's texture scale): their bytes, kept beside the step's snapshot, and put back
// into ds from such bytes. The undo ring compares and restores them with the snapshot.
std::vector<uint8_t> StepFieldsBesideSnapshot(const DocState& ds);
void PutBackStepFieldsBesideSnapshot(const std::vector<uint8_t>& bytes, DocState* ds);

// Block lengths (after the framing Long) of each layout.
constexpr uint32_t kDocStateBlockLength2 = 794;    // 10000
constexpr uint32_t kDocStateBlockLength3 = 1418;   // 10300
constexpr uint32_t kDocStateBlockLength35 = 1444;  // 10350, 10351
constexpr uint32_t kDocStateBlockLength40 = 1592;  // 10400
constexpr uint32_t kDocStateBlockLength41 = 1614;  // 10410
constexpr uint32_t kDocStateBlockLength45 = 1650;  // 10450
constexpr uint32_t kDocStateBlockLength50 = 1798;  // 10500
constexpr uint32_t kDocStateBlockLength70 = 1904;  // 10700, 10701, 10750
constexpr uint32_t kDocStateBlockLength80 = 3478;  // 10800
constexpr uint32_t kDocStateBlockLength90 = 3650;  // 10900, 11000
constexpr uint32_t kDocStateBlockLength = 3662;    // 11100

// Block length of the layout a design-file version is read with; 0 for an unknown version.
uint32_t DocStateBlockLengthForVersion(int32_t version);

// Writes the framing Long and the current layout of the current document's DocState, custom
// background and lot textures as -1 with their paths in path1 and path2. Nothing without one.
void DoWriteDocState();

// Layout writers: each writes the previous layout, then its own segment. Nothing for null.
void ApplePortWritePaddedDocState2(const DocState* docState);
void ApplePortWritePaddedDocState3(const DocState* docState);
void ApplePortWritePaddedDocState35(const DocState* docState);
void ApplePortWritePaddedDocState40(const DocState* docState);
void ApplePortWritePaddedDocState41(const DocState* docState);
void ApplePortWritePaddedDocState45(const DocState* docState);
void ApplePortWritePaddedDocState50(const DocState* docState);
void ApplePortWritePaddedDocState70(const DocState* docState);
void ApplePortWritePaddedDocState80(const DocState* docState);
void ApplePortWritePaddedDocState90(const DocState* docState);
void ApplePortWritePaddedDocState(const DocState* docState);

// Layout readers: each reads the previous layout, then its own segment. Fields past the end
// of a cut stream keep the values they held; char fields are always NUL-terminated.
void ApplePortReadPaddedDocState2(DocState* docState);
void ApplePortReadPaddedDocState3(DocState* docState);
void ApplePortReadPaddedDocState35(DocState* docState);
void ApplePortReadPaddedDocState40(DocState* docState);
void ApplePortReadPaddedDocState41(DocState* docState);
void ApplePortReadPaddedDocState45(DocState* docState);
void ApplePortReadPaddedDocState50(DocState* docState);
void ApplePortReadPaddedDocState70(DocState* docState);
void ApplePortReadPaddedDocState80(DocState* docState);
void ApplePortReadPaddedDocState90(DocState* docState);
void ApplePortReadPaddedDocState(DocState* docState);

// Document readers: read the framing Long and the layout into a new record, repair it and
// install it as the current document's DocState (freeing the old one). False, with the
// document untouched, when there is no document or no memory.
bool DoReadDocState2();
bool DoReadDocState3();
bool DoReadDocState35();
bool DoReadDocState40();
bool DoReadDocState41();
bool DoReadDocState45();
bool DoReadDocState50();
bool DoReadDocState70();
bool DoReadDocState80();
bool DoReadDocState90();
bool DoReadDocState();

// Skipping readers: read the framing Long and the layout into a scratch record and drop it.
void DoReadTemplateDocState2();
void DoReadTemplateDocState3();
void DoReadTemplateDocState35();
void DoReadTemplateDocState40();
void DoReadTemplateDocState41();
void DoReadTemplateDocState45();
void DoReadTemplateDocState50();
void DoReadTemplateDocState70();
void DoReadTemplateDocState80();
void DoReadTemplateDocState90();
void DoReadTemplateDocState();

// The document reader and skipping reader for a design-file version; false for an unknown
// version (nothing read) or, for the document reader, a failure as above.
bool DoReadDocStateForVersion(int32_t version);
bool DoReadTemplateDocStateForVersion(int32_t version);
