#include "platform/rm/Animation.h"

#include <algorithm>
#include <cmath>

#include "platform/rm/VectorMath.h"

namespace rm {

namespace {

Vector Lerp(const Vector& a, const Vector& b, float t) {
    return {a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t, a.z + (b.z - a.z) * t};
}
Quaternion Interpolate(const Quaternion& a, const Quaternion& b, float t) {
    return Slerp(a, b, t);
}
Vector Interpolate(const Vector& a, const Vector& b, float t) {
    return Lerp(a, b, t);
}

template <class K, class V>
bool ValueAt(const std::vector<K>& keys, float t, V* out) {
    if (keys.empty() || !out) return false;
    auto next = std::upper_bound(keys.begin(), keys.end(), t, [](float x, const K& k) { return x < k.time; });
    if (next == keys.begin()) {
        *out = keys.front().value;
    } else if (next == keys.end()) {
        *out = keys.back().value;
    } else {
        const K& prev = *(next - 1);
        const float span = next->time - prev.time;
        *out = Interpolate(prev.value, next->value, span > 0 ? (t - prev.time) / span : 0.0f);
    }
    return true;
}

}  // namespace

template <class V>
void Animation::Insert(std::vector<Key<V>>& keys, float time, const V& value) {
    auto it =
        std::upper_bound(keys.begin(), keys.end(), time, [](float x, const Key<V>& k) { return x < k.time; });
    keys.insert(it, Key<V>{time, value});
}

std::uint32_t Animation::AddPositionKey(float time, float x, float y, float z) {
    Insert(m_position, time, Vector{x, y, z});
    return D3DRM_OK;
}

std::uint32_t Animation::AddScaleKey(float time, float x, float y, float z) {
    Insert(m_scale, time, Vector{x, y, z});
    return D3DRM_OK;
}

std::uint32_t Animation::AddRotateKey(float time, const Quaternion& q) {
    Insert(m_rotation, time, q);
    return D3DRM_OK;
}

std::uint32_t Animation::DeleteKey(float time) {
    auto drop = [time](auto& keys) { std::erase_if(keys, [time](const auto& k) { return k.time == time; }); };
    drop(m_position);
    drop(m_scale);
    drop(m_rotation);
    return D3DRM_OK;
}

float Animation::MapTime(float t) const {
    float first = 0, last = 0;
    bool any = false;
    auto range = [&](const auto& keys) {
        if (keys.empty()) return;
        first = any ? std::min(first, keys.front().time) : keys.front().time;
        last = any ? std::max(last, keys.back().time) : keys.back().time;
        any = true;
    };
    range(m_position);
    range(m_scale);
    range(m_rotation);
    if (!any) return t;
    if ((m_options & D3DRMANIMATION_CLOSED) && last > first) {
        float r = std::fmod(t - first, last - first);
        if (r < 0) r += last - first;
        return first + r;
    }
    return std::clamp(t, first, last);
}

bool Animation::PositionAt(float t, Vector* out) const {
    return ValueAt(m_position, MapTime(t), out);
}
bool Animation::ScaleAt(float t, Vector* out) const {
    return ValueAt(m_scale, MapTime(t), out);
}
bool Animation::RotationAt(float t, Quaternion* out) const {
    return ValueAt(m_rotation, MapTime(t), out);
}

std::uint32_t Animation::SetTime(float t) {
    if (!m_frame) return D3DRMERR_BADOBJECT;
    Matrix4 m = m_frame->LocalMatrix();
    if (m_options & D3DRMANIMATION_SCALEANDROTATION) {
        Vector s;
        Quaternion q;
        const bool hasScale = ScaleAt(t, &s);
        const bool hasRotation = RotationAt(t, &q);
        if (hasScale || hasRotation) {
            Matrix4 sr;
            if (hasScale) {
                sr.m[0][0] = s.x;
                sr.m[1][1] = s.y;
                sr.m[2][2] = s.z;
            }
            if (hasRotation) sr = Multiply(sr, QuaternionMatrix(q));
            for (int r = 0; r < 3; ++r)
                for (int c = 0; c < 3; ++c) m.m[r][c] = sr.m[r][c];
        }
    }
    Vector p;
    if ((m_options & D3DRMANIMATION_POSITION) && PositionAt(t, &p)) {
        m.m[3][0] = p.x;
        m.m[3][1] = p.y;
        m.m[3][2] = p.z;
    }
    return m_frame->AddTransform(D3DRMCOMBINE_REPLACE, m);
}

std::uint32_t AnimationSet::AddAnimation(Animation* a) {
    if (!a) return D3DRMERR_BADVALUE;
    if (std::none_of(m_animations.begin(), m_animations.end(), [a](const auto& r) { return r.Get() == a; }))
        m_animations.emplace_back(a);
    return D3DRM_OK;
}

std::uint32_t AnimationSet::DeleteAnimation(Animation* a) {
    const auto n = std::erase_if(m_animations, [a](const auto& r) { return r.Get() == a; });
    return n ? D3DRM_OK : D3DRMERR_NOTFOUND;
}

std::uint32_t AnimationSet::SetTime(float t) {
    for (auto& a : m_animations) a->SetTime(t);
    return D3DRM_OK;
}

}  // namespace rm
