// Puts the renderer's upkeep into the model's table (model/Services.h).
#pragma once

void InstallRender3DServices();
