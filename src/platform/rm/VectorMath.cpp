#include "platform/rm/VectorMath.h"

#include <algorithm>
#include <cmath>

namespace rm {

std::uint32_t CreateColorRGBA(float r, float g, float b, float a) {
    auto byte = [](float c) {
        const float v = std::clamp(c, 0.0f, 1.0f) * 255.0f + 0.5f;
        return static_cast<std::uint32_t>(v);
    };
    return (byte(a) << 24) | (byte(r) << 16) | (byte(g) << 8) | byte(b);
}

Vector* D3DRMVectorAdd(Vector* d, const Vector* a, const Vector* b) {
    *d = Add(*a, *b);
    return d;
}
Vector* D3DRMVectorSubtract(Vector* d, const Vector* a, const Vector* b) {
    *d = Sub(*a, *b);
    return d;
}
float D3DRMVectorModulus(const Vector* v) {
    return Length(*v);
}
Vector* D3DRMVectorNormalize(Vector* v) {
    const Vector unit = Normalized(*v);
    *v = unit == Vector{} ? Vector{1, 0, 0} : unit;
    return v;
}
Vector* D3DRMVectorCrossProduct(Vector* d, const Vector* a, const Vector* b) {
    *d = Cross(*a, *b);
    return d;
}
float D3DRMVectorDotProduct(const Vector* a, const Vector* b) {
    return Dot(*a, *b);
}
Vector* D3DRMVectorScale(Vector* d, const Vector* v, float factor) {
    *d = Scale(*v, factor);
    return d;
}

namespace {

// |a| in double: the squares of float components neither underflow (a component of 1e-22 squares
// to a subnormal float with a few bits left) nor overflow (one of 2e19 squares past the float range)
// there.
double LengthInDouble(const Vector& a) {
    const double x = a.x, y = a.y, z = a.z;
    return std::sqrt(x * x + y * y + z * z);
}

}  // namespace

float Length(const Vector& a) {
    return static_cast<float>(LengthInDouble(a));
}

Vector Normalized(const Vector& a) {
    const double len = LengthInDouble(a);
    if (len == 0.0) return Vector{};
    return {static_cast<float>(a.x / len), static_cast<float>(a.y / len), static_cast<float>(a.z / len)};
}

Matrix4 Multiply(const Matrix4& a, const Matrix4& b) {
    Matrix4 r;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) {
            double s = 0;
            for (int k = 0; k < 4; ++k) s += double(a.m[i][k]) * double(b.m[k][j]);
            r.m[i][j] = static_cast<float>(s);
        }
    return r;
}

Matrix4 Inverse(const Matrix4& a) {
    // Affine: [A 0; t 1]^-1 = [A^-1 0; -t A^-1 1], with A^-1 from cofactors in double precision.
    const auto& m = a.m;
    double c[3][3];
    c[0][0] = double(m[1][1]) * m[2][2] - double(m[1][2]) * m[2][1];
    c[0][1] = double(m[0][2]) * m[2][1] - double(m[0][1]) * m[2][2];
    c[0][2] = double(m[0][1]) * m[1][2] - double(m[0][2]) * m[1][1];
    c[1][0] = double(m[1][2]) * m[2][0] - double(m[1][0]) * m[2][2];
    c[1][1] = double(m[0][0]) * m[2][2] - double(m[0][2]) * m[2][0];
    c[1][2] = double(m[0][2]) * m[1][0] - double(m[0][0]) * m[1][2];
    c[2][0] = double(m[1][0]) * m[2][1] - double(m[1][1]) * m[2][0];
    c[2][1] = double(m[0][1]) * m[2][0] - double(m[0][0]) * m[2][1];
    c[2][2] = double(m[0][0]) * m[1][1] - double(m[0][1]) * m[1][0];
    const double det = double(m[0][0]) * c[0][0] + double(m[0][1]) * c[1][0] + double(m[0][2]) * c[2][0];
    if (det == 0.0 || !std::isfinite(det)) return Matrix4{};
    Matrix4 r;
    double inv[3][3];
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) {
            inv[i][j] = c[i][j] / det;
            r.m[i][j] = static_cast<float>(inv[i][j]);
        }
    for (int j = 0; j < 3; ++j) {
        double s = 0;
        for (int k = 0; k < 3; ++k) s += double(m[3][k]) * inv[k][j];
        r.m[3][j] = static_cast<float>(-s);
    }
    r.m[0][3] = r.m[1][3] = r.m[2][3] = 0;
    r.m[3][3] = 1;
    return r;
}

Vector TransformPoint(const Vector& p, const Matrix4& m) {
    return {p.x * m.m[0][0] + p.y * m.m[1][0] + p.z * m.m[2][0] + m.m[3][0],
            p.x * m.m[0][1] + p.y * m.m[1][1] + p.z * m.m[2][1] + m.m[3][1],
            p.x * m.m[0][2] + p.y * m.m[1][2] + p.z * m.m[2][2] + m.m[3][2]};
}

Vector TransformDirection(const Vector& d, const Matrix4& m) {
    return {d.x * m.m[0][0] + d.y * m.m[1][0] + d.z * m.m[2][0],
            d.x * m.m[0][1] + d.y * m.m[1][1] + d.z * m.m[2][1],
            d.x * m.m[0][2] + d.y * m.m[1][2] + d.z * m.m[2][2]};
}

Matrix4 RotationMatrix(const Vector& axis, float theta) {
    const double c = std::cos(double(theta));
    const double s = std::sin(double(theta));
    const double t = 1.0 - c;
    const double x = axis.x, y = axis.y, z = axis.z;
    Matrix4 r;
    r.m[0][0] = float(c + t * x * x);
    r.m[0][1] = float(t * x * y + s * z);
    r.m[0][2] = float(t * x * z - s * y);
    r.m[1][0] = float(t * x * y - s * z);
    r.m[1][1] = float(c + t * y * y);
    r.m[1][2] = float(t * y * z + s * x);
    r.m[2][0] = float(t * x * z + s * y);
    r.m[2][1] = float(t * y * z - s * x);
    r.m[2][2] = float(c + t * z * z);
    return r;
}

Matrix4 TranslationMatrix(const Vector& t) {
    Matrix4 r;
    r.m[3][0] = t.x;
    r.m[3][1] = t.y;
    r.m[3][2] = t.z;
    return r;
}

Matrix4 QuaternionMatrix(const Quaternion& q) {
    // (s, v) = (cos(theta/2), sin(theta/2) * axis): the same rotation as RotationMatrix(axis, theta).
    const double vlen = std::sqrt(double(q.v.x) * q.v.x + double(q.v.y) * q.v.y + double(q.v.z) * q.v.z);
    if (vlen == 0.0) return Matrix4{};
    const double theta = 2.0 * std::atan2(vlen, double(q.s));
    return RotationMatrix({float(q.v.x / vlen), float(q.v.y / vlen), float(q.v.z / vlen)}, float(theta));
}

Quaternion Slerp(const Quaternion& a, const Quaternion& b, float t) {
    double bs = b.s, bx = b.v.x, by = b.v.y, bz = b.v.z;
    double cosom = double(a.s) * bs + double(a.v.x) * bx + double(a.v.y) * by + double(a.v.z) * bz;
    if (cosom < 0) {  // the shorter arc
        cosom = -cosom;
        bs = -bs;
        bx = -bx;
        by = -by;
        bz = -bz;
    }
    double k0, k1;
    if (cosom > 0.9999) {
        k0 = 1.0 - t;
        k1 = t;
    } else {
        const double omega = std::acos(std::min(cosom, 1.0));
        const double sinom = std::sin(omega);
        k0 = std::sin((1.0 - t) * omega) / sinom;
        k1 = std::sin(t * omega) / sinom;
    }
    Quaternion r;
    r.s = float(k0 * a.s + k1 * bs);
    r.v = {float(k0 * a.v.x + k1 * bx), float(k0 * a.v.y + k1 * by), float(k0 * a.v.z + k1 * bz)};
    return r;
}

}  // namespace rm
