#include "angle_vectors.h"

#include <cmath>

namespace hostsim {
namespace {

constexpr double kDegToRad = 0.017453292519943295;  // pi / 180

// Taylor series about 0 for |x| <= pi/4; the first omitted term is below 1e-19.
double SinPoly(double x) {
    const double x2 = x * x;
    double p = -1.0 / 121645100408832000.0;  // -1/19!
    p = p * x2 + 1.0 / 355687428096000.0;     // 1/17!
    p = p * x2 - 1.0 / 1307674368000.0;       // -1/15!
    p = p * x2 + 1.0 / 6227020800.0;          // 1/13!
    p = p * x2 - 1.0 / 39916800.0;            // -1/11!
    p = p * x2 + 1.0 / 362880.0;              // 1/9!
    p = p * x2 - 1.0 / 5040.0;                // -1/7!
    p = p * x2 + 1.0 / 120.0;                 // 1/5!
    p = p * x2 - 1.0 / 6.0;                   // -1/3!
    return x + x * x2 * p;
}

double CosPoly(double x) {
    const double x2 = x * x;
    double p = 1.0 / 6402373705728000.0;  // 1/18!
    p = p * x2 - 1.0 / 20922789888000.0;  // -1/16!
    p = p * x2 + 1.0 / 87178291200.0;     // 1/14!
    p = p * x2 - 1.0 / 479001600.0;       // -1/12!
    p = p * x2 + 1.0 / 3628800.0;         // 1/10!
    p = p * x2 - 1.0 / 40320.0;           // -1/8!
    p = p * x2 + 1.0 / 720.0;             // 1/6!
    p = p * x2 - 1.0 / 24.0;              // -1/4!
    p = p * x2 + 0.5;                     // 1/2!
    return 1.0 - x2 * p;
}

}  // namespace

SinCos SinCosDegrees(double degrees) {
    if (!std::isfinite(degrees)) return {degrees - degrees, degrees - degrees};  // NaN
    // fmod is exact, so the reduction gives the same value everywhere.
    double a = std::fmod(degrees, 360.0);
    if (a < 0.0) a += 360.0;
    if (a >= 360.0) a = 0.0;
    int quadrant = static_cast<int>(a / 90.0);
    if (quadrant > 3) quadrant = 3;
    double r = a - 90.0 * quadrant;  // exact (the operands are within a factor of two)
    if (r < 0.0) {
        --quadrant;
        r += 90.0;
    }
    double s;
    double c;
    if (r == 0.0) {
        s = 0.0;
        c = 1.0;
    } else if (r == 90.0) {
        s = 1.0;
        c = 0.0;
    } else if (r <= 45.0) {
        const double x = r * kDegToRad;
        s = SinPoly(x);
        c = CosPoly(x);
    } else {
        const double x = (90.0 - r) * kDegToRad;
        s = CosPoly(x);
        c = SinPoly(x);
    }
    switch (quadrant) {
        case 0: return {s, c};
        case 1: return {c, -s};
        case 2: return {-s, -c};
        default: return {-c, s};
    }
}

void AngleVectors(const float* angles, vec3_t* forward, vec3_t* right, vec3_t* up) {
    const SinCos pitch = SinCosDegrees(angles[0]);
    const SinCos yaw = SinCosDegrees(angles[1]);
    const SinCos roll = SinCosDegrees(angles[2]);
    const float sp = static_cast<float>(pitch.sin);
    const float cp = static_cast<float>(pitch.cos);
    const float sy = static_cast<float>(yaw.sin);
    const float cy = static_cast<float>(yaw.cos);
    const float sr = static_cast<float>(roll.sin);
    const float cr = static_cast<float>(roll.cos);
    // Single-precision products in the engine's order of evaluation.
    if (forward != nullptr) {
        forward->x = cp * cy;
        forward->y = cp * sy;
        forward->z = -sp;
    }
    if (right != nullptr) {
        right->x = (-1.0f * sr * sp * cy + -1.0f * cr * -sy);
        right->y = (-1.0f * sr * sp * sy + -1.0f * cr * cy);
        right->z = -1.0f * sr * cp;
    }
    if (up != nullptr) {
        up->x = (cr * sp * cy + -sr * -sy);
        up->y = (cr * sp * sy + -sr * cy);
        up->z = cr * cp;
    }
}

}  // namespace hostsim
