// Every library serves the model's calls, as the program installs them at start-up.
#include "app/ProgramServices.h"

namespace {
const bool kServicesInstalled = [] {
  InstallProgramServices();
  return true;
}();
}  // namespace
