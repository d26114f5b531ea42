// Puts the inspector's refresh into the model's table (model/Services.h).
#pragma once

void InstallInspectorsServices();
