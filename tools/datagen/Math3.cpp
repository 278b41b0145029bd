#include "Math3.h"

namespace datagen {

// With the matrix of Mat4::Rotation, m[1][2] - m[2][1] = 2 s sin(t) a.x and so on, which fixes the
// signs below (the transpose of the column-vector textbook formulas).
Quat QuatFromMatrix(const Mat4& mat) {
    const auto& m = mat.m;
    const double trace = m[0][0] + m[1][1] + m[2][2];
    Quat q;
    if (trace > 0) {
        const double r = std::sqrt(1 + trace) * 2;  // 4 s
        q.s = r / 4;
        q.x = (m[1][2] - m[2][1]) / r;
        q.y = (m[2][0] - m[0][2]) / r;
        q.z = (m[0][1] - m[1][0]) / r;
    } else if (m[0][0] > m[1][1] && m[0][0] > m[2][2]) {
        const double r = std::sqrt(1 + m[0][0] - m[1][1] - m[2][2]) * 2;  // 4 x
        q.s = (m[1][2] - m[2][1]) / r;
        q.x = r / 4;
        q.y = (m[0][1] + m[1][0]) / r;
        q.z = (m[2][0] + m[0][2]) / r;
    } else if (m[1][1] > m[2][2]) {
        const double r = std::sqrt(1 + m[1][1] - m[0][0] - m[2][2]) * 2;  // 4 y
        q.s = (m[2][0] - m[0][2]) / r;
        q.x = (m[0][1] + m[1][0]) / r;
        q.y = r / 4;
        q.z = (m[1][2] + m[2][1]) / r;
    } else {
        const double r = std::sqrt(1 + m[2][2] - m[0][0] - m[1][1]) * 2;  // 4 z
        q.s = (m[0][1] - m[1][0]) / r;
        q.x = (m[2][0] + m[0][2]) / r;
        q.y = (m[1][2] + m[2][1]) / r;
        q.z = r / 4;
    }
    if (q.s < 0) q = {-q.s, -q.x, -q.y, -q.z};
    return q;
}

Mat4 MatrixFromQuat(const Quat& q) {
    const double s = q.s, x = q.x, y = q.y, z = q.z;
    Mat4 r;
    r.m[0] = {1 - 2 * (y * y + z * z), 2 * (x * y + s * z), 2 * (x * z - s * y), 0};
    r.m[1] = {2 * (x * y - s * z), 1 - 2 * (x * x + z * z), 2 * (y * z + s * x), 0};
    r.m[2] = {2 * (x * z + s * y), 2 * (y * z - s * x), 1 - 2 * (x * x + y * y), 0};
    return r;
}

}  // namespace datagen
