// Door leaves appended behind the frame on a door's face chain: panel, garage, glass,
// half-glass, bi-fold and arched leaves, each made of boxes 4.0 deep (2.0 for the second
// hinged panel door) and flat panels on the leaf's centre line.
#pragma once

struct DoorWindowData;
struct Objex;

void BuildHingedDoor(Objex* door, DoorWindowData* record);           // 501, 510
void BuildGarageDoor(Objex* door, DoorWindowData* record);           // 503
void BuildHingedGlassDoor(Objex* door, DoorWindowData* record);      // 508
void BuildHingedHalfGlassDoor(Objex* door, DoorWindowData* record);  // 509
void BuildBiFoldDoor(Objex* door, DoorWindowData* record);           // 511
void BuildHingedArchDoor(Objex* door, DoorWindowData* record);       // 506, 507
