#pragma once
// Small vector and matrix algebra for building content, in the conventions of the scene library:
// left-handed (+x right, +y up, +z into the screen), row vectors (a point maps to its parent as
// [x y z 1] * M), rows 0-2 of a frame matrix are its axes, row 3 its origin.

#include <array>
#include <cmath>

namespace datagen {

struct Vec3 {
    double x = 0, y = 0, z = 0;
    Vec3 operator+(const Vec3& o) const { return {x + o.x, y + o.y, z + o.z}; }
    Vec3 operator-(const Vec3& o) const { return {x - o.x, y - o.y, z - o.z}; }
    Vec3 operator*(double s) const { return {x * s, y * s, z * s}; }
    Vec3 operator-() const { return {-x, -y, -z}; }
};

inline double Dot(const Vec3& a, const Vec3& b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}
inline Vec3 Cross(const Vec3& a, const Vec3& b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
inline double Length(const Vec3& a) {
    return std::sqrt(Dot(a, a));
}
inline Vec3 Normalised(const Vec3& a) {
    const double l = Length(a);
    return l > 1e-12 ? a * (1.0 / l) : Vec3{0, 1, 0};
}

constexpr double kPi = 3.14159265358979323846;
inline double Radians(double degrees) {
    return degrees * kPi / 180.0;
}

// Rotation quaternion (s, v) = (cos(theta/2), sin(theta/2) * axis).
struct Quat {
    double s = 1, x = 0, y = 0, z = 0;
};

struct Mat4 {
    std::array<std::array<double, 4>, 4> m{{{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}}};

    static Mat4 Translation(const Vec3& t) {
        Mat4 r;
        r.m[3] = {t.x, t.y, t.z, 1};
        return r;
    }
    // Turning by `degrees` about the unit axis: a quarter turn about +x takes +y to +z, about +z
    // takes +x to +y.
    static Mat4 Rotation(const Vec3& axisIn, double degrees) {
        const Vec3 a = Normalised(axisIn);
        const double t = Radians(degrees), c = std::cos(t), s = std::sin(t), k = 1 - c;
        Mat4 r;
        r.m[0] = {c + k * a.x * a.x, k * a.x * a.y + s * a.z, k * a.x * a.z - s * a.y, 0};
        r.m[1] = {k * a.x * a.y - s * a.z, c + k * a.y * a.y, k * a.y * a.z + s * a.x, 0};
        r.m[2] = {k * a.x * a.z + s * a.y, k * a.y * a.z - s * a.x, c + k * a.z * a.z, 0};
        return r;
    }
    // Applied first this, then `o` (row vectors).
    Mat4 operator*(const Mat4& o) const {
        Mat4 r;
        for (int i = 0; i < 4; ++i)
            for (int j = 0; j < 4; ++j) {
                double v = 0;
                for (int k = 0; k < 4; ++k) v += m[i][k] * o.m[k][j];
                r.m[i][j] = v;
            }
        return r;
    }
    Vec3 Point(const Vec3& p) const {
        return {p.x * m[0][0] + p.y * m[1][0] + p.z * m[2][0] + m[3][0],
                p.x * m[0][1] + p.y * m[1][1] + p.z * m[2][1] + m[3][1],
                p.x * m[0][2] + p.y * m[1][2] + p.z * m[2][2] + m[3][2]};
    }
    Vec3 Direction(const Vec3& d) const {
        return {d.x * m[0][0] + d.y * m[1][0] + d.z * m[2][0], d.x * m[0][1] + d.y * m[1][1] + d.z * m[2][1],
                d.x * m[0][2] + d.y * m[1][2] + d.z * m[2][2]};
    }
    Vec3 Origin() const { return {m[3][0], m[3][1], m[3][2]}; }
    Mat4 WithOrigin(const Vec3& t) const {
        Mat4 r = *this;
        r.m[3] = {t.x, t.y, t.z, 1};
        return r;
    }
};

// The rotation part of a rigid matrix as a quaternion of the same turn (see Mat4::Rotation).
Quat QuatFromMatrix(const Mat4& m);
// The rotation matrix of a quaternion, origin zero.
Mat4 MatrixFromQuat(const Quat& q);

}  // namespace datagen
