// The cabinet state record on disk and cabinet files (one cabinet group on its own).
#pragma once
#include "model/CabinetState.h"

struct Objex;

constexpr int32_t kCabinetStateFraming = 164;
constexpr uint32_t kCabinetStateLength = 158;

void DoWriteCabinetState(const CabinetState* state);
CabinetState* DoReadCabinetState();
void ApplePortWritePaddedCabinetState(const CabinetState* state);
void ApplePortReadPaddedCabinetState(CabinetState* state);

int CabinetFileWrite(const char* path);
int CabinetFileRead(const char* path, CabinetState** outState);
void AdjustCabinetObjectElevation();
void AdjustTheCabinetObjectElevation(Objex* obj);
void DoWriteCabinetObjects(Objex* firstChild);
