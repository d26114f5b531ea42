// Exports of the 3D window's model and image.
#pragma once

// Writes the 3D model to the path as VRML 2.0. The model is built by the 3D window, so a
// hidden 3D window is shown for the time of the export (and rebuilt when stale) and closed
// again after it. Nothing without a current design or a path.
void ExportVRMLFile(const char* path);
