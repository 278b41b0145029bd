#pragma once
// The vector functions of the library and the matrix helpers the frames and viewports share.

#include "platform/rm/Types.h"

namespace rm {

// d = a + b, d = a - b, |v|, d = v / |v| (the functions return d; Normalize of a zero vector
// gives (1, 0, 0), as the platform always did).
Vector* D3DRMVectorAdd(Vector* d, const Vector* a, const Vector* b);
Vector* D3DRMVectorSubtract(Vector* d, const Vector* a, const Vector* b);
float D3DRMVectorModulus(const Vector* v);
Vector* D3DRMVectorNormalize(Vector* v);
Vector* D3DRMVectorCrossProduct(Vector* d, const Vector* a, const Vector* b);
float D3DRMVectorDotProduct(const Vector* a, const Vector* b);
Vector* D3DRMVectorScale(Vector* d, const Vector* v, float factor);

// Value forms used inside the library.
inline Vector Add(const Vector& a, const Vector& b) {
    return {a.x + b.x, a.y + b.y, a.z + b.z};
}
inline Vector Sub(const Vector& a, const Vector& b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
inline Vector Scale(const Vector& a, float s) {
    return {a.x * s, a.y * s, a.z * s};
}
inline float Dot(const Vector& a, const Vector& b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}
inline Vector Cross(const Vector& a, const Vector& b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
// |a| and a / |a| (the zero vector when |a| is 0), worked out in double, so that the length of a
// tiny or a huge vector is right to float accuracy.
float Length(const Vector& a);
Vector Normalized(const Vector& a);

// a * b (row vectors: a applied first).
Matrix4 Multiply(const Matrix4& a, const Matrix4& b);
// The inverse of an affine matrix (last column 0, 0, 0, 1); identity when singular.
Matrix4 Inverse(const Matrix4& a);
// [p 1] * m, and the 3x3 part only (directions).
Vector TransformPoint(const Vector& p, const Matrix4& m);
Vector TransformDirection(const Vector& d, const Matrix4& m);
// Rotation about a unit axis by theta radians (the row-vector matrix of the frame notes).
Matrix4 RotationMatrix(const Vector& axis, float theta);
Matrix4 TranslationMatrix(const Vector& t);
Matrix4 QuaternionMatrix(const Quaternion& q);
// Spherical linear interpolation along the shorter arc.
Quaternion Slerp(const Quaternion& a, const Quaternion& b, float t);

}  // namespace rm
