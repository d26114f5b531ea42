// Keeping edited walls tidy: stopping a wall end at the wall it runs into, joining free wall
// ends (closing one wall or merging two), removing points between collinear segments, and
// keeping the doors and windows anchored to the points that remain.
#pragma once
#include <cstdint>

struct Objex;
struct Poinz;
struct Layer;

// Shortens (or lengthens) segment p1 -> p2 so that p2 stops at the near face of the first
// wall of the layer that the segment line runs into (when that lies 24 plan units or more
// from p1). Changes only p2's position.
void LimitWall(Objex* wall, Poinz* p1, Poinz* p2, Layer* layer);
// Joins a free end of a wall to a free end under it: the other end of the same wall closes
// it, the end of another wall of the current layer merges the two. Returns the wall that
// survives (the wall itself when nothing was joined).
namespace building3d { Objex* ConnectWallPoint(Objex* wall, Poinz* endPoint); }
// Frees the side records the wall point holds; the point keeps none.
void FreeWallPointSides(Objex* wall, Poinz* p);
// Removes the points between collinear (or folded-back) segments, except points of type 10.
void OptimizeWall(Objex* wall);
// Merges two different open walls at their free ends pointA and pointB; the surviving wall,
// or null when nothing was merged.
Objex* JoinWallObjects(Objex* wallA, Poinz* pointA, Objex* wallB, Poinz* pointB);
// Moves every child of `from` to the end of `to`'s children.
void TransferAttachments(Objex* from, Objex* to);
// Re-anchors the children anchored at oldPoint: their start to newStart, their end to newEnd.
void ReplaceVoidAttachments(Objex* wall, Poinz* oldPoint, Poinz* newStart, Poinz* newEnd);
// Deletes the children anchored (start or end) at the point.
void DeleteVoidAttachments(Objex* wall, Poinz* point);

// Attachment anchors while wall points are replaced or the point order is reversed.
// Every child of the wall gets newWall as its parent; anchors at oldPoint move to newPoint.
// Acts only when all four are given and both walls are walls.
void ReplaceAttachmentBasePoint(Objex* wall, Poinz* oldPoint, Poinz* newPoint, Objex* newWall);
// For every child with an attachment record: anchors swapped, start distance and remaining
// length swapped, horizontal flip inverted (so the attachment stays where it is).
void ReverseAttachmentDirection(Objex* wall);
