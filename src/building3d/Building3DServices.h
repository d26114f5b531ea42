// Puts the building library's routines into the model's table (model/Services.h).
#pragma once

void InstallBuilding3DServices();
