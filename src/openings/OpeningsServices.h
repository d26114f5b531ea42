// Puts the openings library's routines into the model's table (model/Services.h).
#pragma once

void InstallOpeningsServices();
