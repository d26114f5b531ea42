// The 3D model as a VRML 2.0 text file: one viewpoint, then a coloured face set per polygon of
// the scene list (no textures, normals, lights or plants).
#pragma once

struct PlaneObject;

// Writers into the byte stream's output buffer (files/ByteStream).
// "#VRML V2.0 utf8", the opening of the Transform that scales the model's plan units to metres,
// and the viewpoint at the walk eye height, looking from the plan's bottom.
void ExportVRMLHeader();
// Closes the Transform the header opened.
void ExportVRMLFooter();
// The plane objects of a list in order, each with its cut-outs before and its trims after;
// plant billboards (kind 8) and photos (kind 131) of the list itself are left out.
void VRMLExportGLPlaneObjects(PlaneObject* list);
// One Shape per polygon with a vertex array (and at least one vertex), in the surface's colour.
void ExportVRMLPlaneObject(PlaneObject* object);
// Writes the header and the scene list to the path in one piece. False (after the alert
// "Unable to export the VRML file.") when the file cannot be written; false without a design
// or a path.
bool WriteVRMLFile(const char* path);
