// The engine's angle-to-vector math, computed the same way on every architecture.
#pragma once

#include "basic_types.h"

namespace hostsim {

struct SinCos {
    double sin;
    double cos;
};

// Sine and cosine of an angle in degrees, from a fixed polynomial (no libm), exact at
// multiples of 90 degrees.
SinCos SinCosDegrees(double degrees);

// angles: pitch, yaw, roll in degrees. Any output may be null.
void AngleVectors(const float* angles, vec3_t* forward, vec3_t* right, vec3_t* up);

}  // namespace hostsim
