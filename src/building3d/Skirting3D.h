// The small generated bands of the site and the floors: the skirting band under every edge of
// floors, cut-outs and cabinets, the rim of a topography excavation and the standing picture
// plane of a photo view, with their layer walkers.
#pragma once

struct Objex;
struct Layer;

// Floors, floor and deck cut-outs and cabinets (types 13, 48, 136): one band per edge, the
// closing edge included, as high as the object's skirting height.
namespace building3d { void Update3DFloorSkirting(Objex* object); }
void Update3DFloorSkirtingLayer(Layer* layer);
void Update3DFloorSkirtingAllLayers(Layer* firstLayer);
// Excavations (type 134): one closed band 1 plan unit high around the outline while the depth
// is above 0.
namespace building3d { void Update3DTopoCutoutDepthObject(Objex* excavation); }
void Update3DTopoCutoutDepthLayer(Layer* layer);
void Update3DTopoCutoutDepthAllLayers(Layer* firstLayer);
// Photo views (type 130): one plane standing on the first two points, as high as the photo.
namespace building3d { void Update3DPhoto(Objex* photo); }
void Update3DPhotoLayer(Layer* layer);
void Update3DPhotoAllLayers(Layer* firstLayer);
