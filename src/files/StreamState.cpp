// The shared stream versions and modes.
#include "files/StreamState.h"

int32_t sWriteVersion = kVersionDesign11100;
int32_t sInputVersion = kVersionDesign11100;
int16_t sInputPlatform = 0;
uint8_t gOpenSymbol = 0;
uint8_t gReadingTopoLayer = 0;
uint8_t gCabinetOpen = 0;
uint8_t gUpdateID = 0;
uint8_t gScrapMode = 0;

uint8_t gFileWriteFailed = 0;
