// The program's start-up installation of every library's routines into the model's tables
// (model/Services.h).
#pragma once

void InstallProgramServices();
