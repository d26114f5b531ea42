// The settings record of a cabinet group (a kObjGroup of subtype 136), owned as its type data.
#pragma once
#include <cstdint>

struct CabinetState {
  float angle;  // degrees
  int32_t value2;
  float values3[15];
  uint8_t flag18;
  float values19[3];
  int32_t value22;
  float values23[4];
  uint8_t flag27;
  float values28[2];
  int32_t value30;
  float values31[6];
  int32_t value37;
  float value38;
  int16_t value39;
  float value40;
  float elevation;
};
