// The records of one object transform and of one dragged point transform.
#pragma once

struct TransformInfo {
  float delta[3];
  float scale[3];
  float angle;  // radians
  float centre[3];
  float shearFrom[3];
  float shearTo[3];
};

struct DragTransformInfo {
  float start[3];
  float current[3];
  float anchor[3];
  float startAngle;
  float currentAngle;
  float sweepAngle;
};
