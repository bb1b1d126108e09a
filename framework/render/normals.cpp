// Face normals. FINDNORMAL makes no OpenGL call, so callers may compute a
// face's normal between glBegin and glEnd, right before they send it.
#include <quorvel.h>

#include <cmath>
#include <span>

namespace quorvel {

Array<double, 1, 3> FNORMAL = {{0.0, 0.0, 0.0}};

namespace {

// Normalises the first three elements of VECTOR in place. The length is
// taken at single precision: a second pass that pulls a vector already close
// to unit length back onto it. A zero length is left as a zero vector.
void REDUCETOUNIT(std::span<double> VECTOR) {
    if (VECTOR.size() < 3) RaiseRunTimeError(RunTimeError::RangeCheck);
    float LEN = static_cast<float>(
        std::sqrt(VECTOR[0] * VECTOR[0] + VECTOR[1] * VECTOR[1] + VECTOR[2] * VECTOR[2]));
    if (LEN == 0.0f) LEN = 1.0f;
    VECTOR[0] /= LEN;
    VECTOR[1] /= LEN;
    VECTOR[2] /= LEN;
}

} // namespace

void FINDNORMAL(double V1X, double V1Y, double V1Z, double V2X, double V2Y, double V2Z, double V3X,
                double V3Y, double V3Z) {
    const double AX = V1X - V2X, AY = V1Y - V2Y, AZ = V1Z - V2Z;
    const double BX = V2X - V3X, BY = V2Y - V3Y, BZ = V2Z - V3Z;
    FNORMAL[1] = AY * BZ - AZ * BY;
    FNORMAL[2] = AZ * BX - AX * BZ;
    FNORMAL[3] = AX * BY - AY * BX;
    // hypot rather than the square root of the summed squares: for nearly
    // collinear points the squares of a tiny cross product underflow to 0,
    // which would leave the normal unscaled instead of unit length.
    double LEN = std::hypot(FNORMAL[1], FNORMAL[2], FNORMAL[3]);
    // Collinear or repeated points: a zero vector, never a division by 0.
    if (LEN == 0.0) LEN = 1.0;
    FNORMAL[1] /= LEN;
    FNORMAL[2] /= LEN;
    FNORMAL[3] /= LEN;
    REDUCETOUNIT(std::span<double>(FNORMAL.data(), FNORMAL.size()));
}

} // namespace quorvel
