#include "platform/rm/Frame.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "platform/rm/Light.h"
#include "platform/rm/MeshBuilder.h"
#include "platform/rm/VectorMath.h"
#include "platform/rm/Visual.h"

namespace rm {

namespace {

template <class T>
bool Contains(const std::vector<Ref<T>>& v, const T* p) {
    return std::any_of(v.begin(), v.end(), [p](const Ref<T>& r) { return r.Get() == p; });
}

template <class T>
bool Erase(std::vector<Ref<T>>& v, const T* p) {
    auto it = std::find_if(v.begin(), v.end(), [p](const Ref<T>& r) { return r.Get() == p; });
    if (it == v.end()) return false;
    v.erase(it);
    return true;
}

template <class T>
ObjectArray<T> ToArray(const std::vector<Ref<T>>& v) {
    ObjectArray<T> a;
    for (const auto& r : v) a.Append(r);
    return a;
}

// Orientation axes are worked out in double. In float, the squares of a direction of 1e-22 are
// subnormals with a few bits left, so its "unit" z came out 5e-4 off, and an up of 1e20 overflows.
struct Double3 {
    double x, y, z;
};

Double3 ToDouble(const Vector& v) {
    return {v.x, v.y, v.z};
}

Vector ToFloat(const Double3& v) {
    return {static_cast<float>(v.x), static_cast<float>(v.y), static_cast<float>(v.z)};
}

double Dot(const Double3& a, const Double3& b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

Double3 MinusAlong(const Double3& a, const Double3& unit) {
    const double d = Dot(a, unit);
    return {a.x - d * unit.x, a.y - d * unit.y, a.z - d * unit.z};
}

Double3 Divided(const Double3& a, double s) {
    return {a.x / s, a.y / s, a.z / s};
}

// True when z and y are unit vectors at right angles to float accuracy. Axes rounded from exact
// unit vectors miss by at most one float epsilon in each of these sums; the bound leaves room.
bool IsOrthonormalPair(const Vector& z, const Vector& y) {
    constexpr double kTolerance = 4.0 * std::numeric_limits<float>::epsilon();
    const Double3 a = ToDouble(z), b = ToDouble(y);
    return std::fabs(Dot(a, a) - 1.0) <= kTolerance && std::fabs(Dot(b, b) - 1.0) <= kTolerance &&
           std::fabs(Dot(a, b)) <= kTolerance;
}

// z := dir / |dir|, y := the part of up across z, made unit. False when dir is zero or not finite,
// or up is (nearly) parallel to it.
bool MakeOrthonormalPair(const Vector& dir, const Vector& up, Vector& z, Vector& y) {
    const Double3 d = ToDouble(dir), u = ToDouble(up);
    const double dirLength = std::sqrt(Dot(d, d)), upLength = std::sqrt(Dot(u, u));
    if (!std::isfinite(dirLength) || !std::isfinite(upLength) || dirLength == 0.0 || upLength == 0.0)
        return false;
    const Double3 unitZ = Divided(d, dirLength);
    const Double3 across = MinusAlong(u, unitZ);
    const double acrossLength = std::sqrt(Dot(across, across));
    if (!(acrossLength > 1e-6 * upLength)) return false;
    // Up's part across the direction is a difference of near-equal numbers when up nearly follows
    // the direction; taking the direction out once more makes it perpendicular to double accuracy.
    const Double3 roughY = Divided(across, acrossLength);
    const Double3 perpendicular = MinusAlong(roughY, unitZ);
    z = ToFloat(unitZ);
    y = ToFloat(Divided(perpendicular, std::sqrt(Dot(perpendicular, perpendicular))));
    return true;
}

// y x z in double, rounded once.
Vector CrossInDouble(const Vector& y, const Vector& z) {
    const Double3 a = ToDouble(y), b = ToDouble(z);
    return ToFloat({a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x});
}

}  // namespace

Frame::~Frame() {
    // Children outlive us only through other holders; they no longer have a parent.
    for (auto& c : m_children) c->m_parent = nullptr;
}

bool Frame::IsAncestorOf(const Frame* f) const {
    for (const Frame* p = f; p; p = p->m_parent)
        if (p == this) return true;
    return false;
}

std::uint32_t Frame::AddChild(Frame* child) {
    if (!child || child->IsAncestorOf(this)) return D3DRMERR_BADVALUE;
    if (child->m_parent == this) return D3DRM_OK;
    Ref<Frame> keep(child);  // the old parent may hold the last reference
    if (child->m_parent) Erase(child->m_parent->m_children, child);
    child->m_parent = this;
    m_children.push_back(std::move(keep));
    return D3DRM_OK;
}

std::uint32_t Frame::DeleteChild(Frame* child) {
    if (!child || child->m_parent != this) return D3DRMERR_NOTFOUND;
    child->m_parent = nullptr;
    Erase(m_children, child);
    return D3DRM_OK;
}

ObjectArray<Frame> Frame::GetChildren() const {
    return ToArray(m_children);
}

std::uint32_t Frame::AddVisual(Visual* visual) {
    if (!visual) return D3DRMERR_BADVALUE;
    if (!Contains(m_visuals, visual)) m_visuals.emplace_back(visual);
    return D3DRM_OK;
}

std::uint32_t Frame::DeleteVisual(Visual* visual) {
    return Erase(m_visuals, visual) ? D3DRM_OK : D3DRMERR_NOTFOUND;
}

ObjectArray<Visual> Frame::GetVisuals() const {
    return ToArray(m_visuals);
}

std::uint32_t Frame::AddLight(Light* light) {
    if (!light) return D3DRMERR_BADVALUE;
    if (!Contains(m_lights, light)) m_lights.emplace_back(light);
    return D3DRM_OK;
}

std::uint32_t Frame::DeleteLight(Light* light) {
    return Erase(m_lights, light) ? D3DRM_OK : D3DRMERR_NOTFOUND;
}

ObjectArray<Light> Frame::GetLights() const {
    return ToArray(m_lights);
}

Matrix4 Frame::ParentToWorld() const {
    return m_parent ? m_parent->WorldMatrix() : Matrix4{};
}

Matrix4 Frame::WorldMatrix() const {
    Matrix4 w = m_matrix;
    for (const Frame* p = m_parent; p; p = p->m_parent) w = Multiply(w, p->m_matrix);
    return w;
}

Matrix4 Frame::RefToWorld(const Frame* ref, const Frame* self) {
    return ref ? ref->WorldMatrix() : self->ParentToWorld();
}

std::uint32_t Frame::SetPosition(const Frame* ref, float x, float y, float z) {
    Vector p{x, y, z};
    if (ref && ref != m_parent) {
        p = TransformPoint(p, ref->WorldMatrix());
        p = TransformPoint(p, Inverse(ParentToWorld()));
    }
    // A position that is not a number would spread to every frame below and every box.
    if (!std::isfinite(p.x) || !std::isfinite(p.y) || !std::isfinite(p.z)) return D3DRMERR_BADVALUE;
    m_matrix.m[3][0] = p.x;
    m_matrix.m[3][1] = p.y;
    m_matrix.m[3][2] = p.z;
    return D3DRM_OK;
}

std::uint32_t Frame::GetPosition(const Frame* ref, Vector* out) const {
    if (!out) return D3DRMERR_BADVALUE;
    Vector p{m_matrix.m[3][0], m_matrix.m[3][1], m_matrix.m[3][2]};
    if (ref && ref != m_parent) {
        p = TransformPoint(p, ParentToWorld());
        p = TransformPoint(p, Inverse(ref->WorldMatrix()));
    }
    *out = p;
    return D3DRM_OK;
}

std::uint32_t Frame::SetOrientation(const Frame* ref, float dx, float dy, float dz, float ux, float uy,
                                    float uz) {
    Vector dir{dx, dy, dz};
    Vector up{ux, uy, uz};
    if (ref && ref != m_parent) {
        const Matrix4 m = Multiply(ref->WorldMatrix(), Inverse(ParentToWorld()));
        dir = TransformDirection(dir, m);
        up = TransformDirection(up, m);
    }
    // Axes that are right already stay exactly as given: made right again in float, they would
    // move in their last bits, and a scene saved and opened would move a little every time.
    Vector z = dir, y = up;
    if (!IsOrthonormalPair(dir, up) && !MakeOrthonormalPair(dir, up, z, y)) return D3DRMERR_BADVALUE;
    const Vector rows[3] = {CrossInDouble(y, z), y, z};
    for (int r = 0; r < 3; ++r) {
        m_matrix.m[r][0] = rows[r].x;
        m_matrix.m[r][1] = rows[r].y;
        m_matrix.m[r][2] = rows[r].z;
    }
    return D3DRM_OK;
}

std::uint32_t Frame::GetOrientation(const Frame* ref, Vector* dir, Vector* up) const {
    if (!dir || !up) return D3DRMERR_BADVALUE;
    Vector z{m_matrix.m[2][0], m_matrix.m[2][1], m_matrix.m[2][2]};
    Vector y{m_matrix.m[1][0], m_matrix.m[1][1], m_matrix.m[1][2]};
    if (ref && ref != m_parent) {
        const Matrix4 m = Multiply(ParentToWorld(), Inverse(ref->WorldMatrix()));
        z = TransformDirection(z, m);
        y = TransformDirection(y, m);
    }
    // Axes SetOrientation made are given back bit for bit, so that they set the same matrix again.
    if (IsOrthonormalPair(z, y)) {
        *dir = z;
        *up = y;
        return D3DRM_OK;
    }
    *dir = Normalized(z);
    *up = Normalized(y);
    return D3DRM_OK;
}

std::uint32_t Frame::SetRotation(const Frame* ref, float x, float y, float z, float theta) {
    Vector axis{x, y, z};
    if (ref && ref != m_parent)
        axis = TransformDirection(axis, Multiply(ref->WorldMatrix(), Inverse(ParentToWorld())));
    axis = Normalized(axis);
    if (axis == Vector{} || theta == 0.0f) {
        m_rotationAxis = {};
        m_rotationTheta = 0;
        return D3DRM_OK;
    }
    m_rotationAxis = axis;
    m_rotationTheta = theta;
    return D3DRM_OK;
}

std::uint32_t Frame::Move(float delta) {
    if (m_rotationTheta == 0.0f) return D3DRM_OK;
    const Matrix4 r = RotationMatrix(m_rotationAxis, m_rotationTheta * delta);
    const Vector origin{m_matrix.m[3][0], m_matrix.m[3][1], m_matrix.m[3][2]};
    m_matrix = Multiply(m_matrix, r);
    m_matrix.m[3][0] = origin.x;
    m_matrix.m[3][1] = origin.y;
    m_matrix.m[3][2] = origin.z;
    return D3DRM_OK;
}

std::uint32_t Frame::AddTransform(CombineType type, const Matrix4& m) {
    switch (type) {
        case D3DRMCOMBINE_REPLACE:
            m_matrix = m;
            break;
        case D3DRMCOMBINE_BEFORE:
            m_matrix = Multiply(m, m_matrix);
            break;
        case D3DRMCOMBINE_AFTER:
            m_matrix = Multiply(m_matrix, m);
            break;
        default:
            return D3DRMERR_BADVALUE;
    }
    return D3DRM_OK;
}

std::uint32_t Frame::AddTranslation(CombineType type, float x, float y, float z) {
    return AddTransform(type, TranslationMatrix({x, y, z}));
}

std::uint32_t Frame::AddRotation(CombineType type, float x, float y, float z, float theta) {
    const Vector axis = Normalized({x, y, z});
    if (axis == Vector{}) return D3DRMERR_BADVALUE;
    return AddTransform(type, RotationMatrix(axis, theta));
}

std::uint32_t Frame::AddScale(CombineType type, float sx, float sy, float sz) {
    Matrix4 s;
    s.m[0][0] = sx;
    s.m[1][1] = sy;
    s.m[2][2] = sz;
    return AddTransform(type, s);
}

std::uint32_t Frame::GetTransform(Matrix4* out) const {
    if (!out) return D3DRMERR_BADVALUE;
    *out = m_matrix;
    return D3DRM_OK;
}

std::uint32_t Frame::Transform(Vector* dst, const Vector* src) const {
    if (!dst || !src) return D3DRMERR_BADVALUE;
    *dst = TransformPoint(*src, WorldMatrix());
    return D3DRM_OK;
}

std::uint32_t Frame::InverseTransform(Vector* dst, const Vector* src) const {
    if (!dst || !src) return D3DRMERR_BADVALUE;
    *dst = TransformPoint(*src, Inverse(WorldMatrix()));
    return D3DRM_OK;
}

std::uint32_t Frame::SetBox(const Box* box) {
    if (!box) {
        m_box.reset();
        return D3DRM_OK;
    }
    m_box = *box;
    return D3DRM_OK;
}

std::uint32_t Frame::GetBox(Box* out) const {
    if (!out || !m_box) return D3DRMERR_NOTFOUND;
    *out = *m_box;
    return D3DRM_OK;
}

void Frame::GrowHierarchyBox(const Matrix4& toThis, Box& box, bool& any) const {
    for (const auto& v : m_visuals) {
        const auto* mesh = dynamic_cast<const MeshBuilder*>(v.Get());
        if (!mesh) continue;
        for (const Vector& p : mesh->Vertices()) {
            const Vector q = TransformPoint(p, toThis);
            if (!any) {
                box.min = box.max = q;
                any = true;
                continue;
            }
            box.min = {std::min(box.min.x, q.x), std::min(box.min.y, q.y), std::min(box.min.z, q.z)};
            box.max = {std::max(box.max.x, q.x), std::max(box.max.y, q.y), std::max(box.max.z, q.z)};
        }
    }
    for (const auto& c : m_children) c->GrowHierarchyBox(Multiply(c->m_matrix, toThis), box, any);
}

std::uint32_t Frame::GetHierarchyBox(Box* out) const {
    if (!out) return D3DRMERR_BADVALUE;
    Box box;
    bool any = false;
    GrowHierarchyBox(Matrix4{}, box, any);
    *out = any ? box : Box{};
    return any ? D3DRM_OK : D3DRMERR_NOTFOUND;
}

}  // namespace rm
