#include "render/smooth/JointSmoothing.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>

#include "platform/rm/VectorMath.h"
#include "platform/win/UserPrompts.h"

namespace {

bool BoxesOverlap(const SmoothMesh& a, const SmoothMesh& b) {
    return a.boxMin.x <= b.boxMax.x && a.boxMax.x >= b.boxMin.x && a.boxMin.y <= b.boxMax.y &&
           a.boxMax.y >= b.boxMin.y && a.boxMin.z <= b.boxMax.z && a.boxMax.z >= b.boxMin.z;
}

float Distance(const rm::Vector& a, const rm::Vector& b) {
    rm::Vector d;
    rm::D3DRMVectorSubtract(&d, &a, &b);
    return rm::D3DRMVectorModulus(&d);
}

std::int64_t CellOf(float coordinate, float cell) { return static_cast<std::int64_t>(std::floor(coordinate / cell)); }

std::uint64_t CellKey(std::int64_t x, std::int64_t y, std::int64_t z) {
    // 21 bits per axis are plenty for a scene: cells wrap beyond that, which only adds candidates.
    const auto part = [](std::int64_t v) { return static_cast<std::uint64_t>(v) & 0x1FFFFF; };
    return part(x) | (part(y) << 21) | (part(z) << 42);
}

// Cells of twice the joining distance: two points closer than the distance lie in the same or
// neighbouring cells even after rounding of the division.
void BuildGrid(SmoothMesh& m, float threshold) {
    if (m.gridCell == threshold * 2 && !m.grid.empty()) return;
    m.grid.clear();
    m.gridCell = threshold * 2;
    if (!m.vertices.empty()) m.vertexMin = m.vertexMax = m.vertices.front();
    for (std::uint32_t i = 0; i < m.vertices.size(); ++i) {
        const auto& v = m.vertices[i];
        m.vertexMin = {std::min(m.vertexMin.x, v.x), std::min(m.vertexMin.y, v.y), std::min(m.vertexMin.z, v.z)};
        m.vertexMax = {std::max(m.vertexMax.x, v.x), std::max(m.vertexMax.y, v.y), std::max(m.vertexMax.z, v.z)};
        m.grid.emplace_back(CellKey(CellOf(v.x, m.gridCell), CellOf(v.y, m.gridCell), CellOf(v.z, m.gridCell)), i);
    }
    std::sort(m.grid.begin(), m.grid.end());
    m.cells.clear();
    for (std::uint32_t at = 0; at < m.grid.size();) {
        std::uint32_t end = at;
        while (end < m.grid.size() && m.grid[end].first == m.grid[at].first) ++end;
        m.cells.emplace(m.grid[at].first, std::make_pair(at, end));
        at = end;
    }
}

// Whether `p` can be closer than `reach` to any vertex of `b` (outside the widened vertex box it
// cannot: every coordinate difference would already be at least `reach`).
bool NearVertexBox(const SmoothMesh& b, const rm::Vector& p, float reach) {
    return p.x > b.vertexMin.x - reach && p.x < b.vertexMax.x + reach && p.y > b.vertexMin.y - reach &&
           p.y < b.vertexMax.y + reach && p.z > b.vertexMin.z - reach && p.z < b.vertexMax.z + reach;
}

// B's vertices that can lie closer than `threshold` to `p`, in B's own order. With cells of twice
// the distance, the reach around p touches one or two cells per axis; the reach is widened a little
// so that rounding of the coordinates can never leave a close vertex out.
void Candidates(const SmoothMesh& b, const rm::Vector& p, float threshold, std::vector<std::uint32_t>* out) {
    out->clear();
    const float reach = threshold * 1.01f + (std::fabs(p.x) + std::fabs(p.y) + std::fabs(p.z)) * 1e-6f;
    const std::int64_t x0 = CellOf(p.x - reach, b.gridCell), x1 = CellOf(p.x + reach, b.gridCell);
    const std::int64_t y0 = CellOf(p.y - reach, b.gridCell), y1 = CellOf(p.y + reach, b.gridCell);
    const std::int64_t z0 = CellOf(p.z - reach, b.gridCell), z1 = CellOf(p.z + reach, b.gridCell);
    int cells = 0;
    for (std::int64_t cx = x0; cx <= x1; ++cx)
        for (std::int64_t cy = y0; cy <= y1; ++cy)
            for (std::int64_t cz = z0; cz <= z1; ++cz) {
                const auto found = b.cells.find(CellKey(cx, cy, cz));
                if (found == b.cells.end()) continue;
                ++cells;
                for (std::uint32_t k = found->second.first; k < found->second.second; ++k)
                    out->push_back(b.grid[k].second);
            }
    // One cell is already in B's order; several are merged into it (a wrapped cell may repeat one).
    if (cells > 1) {
        std::sort(out->begin(), out->end());
        out->erase(std::unique(out->begin(), out->end()), out->end());
    }
}

void ReportBrokenFaces() { win::MessageBox(nullptr, "内部エラー：フェース構造に矛盾", "ERROR"); }

std::int64_t NowMilliseconds() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

}  // namespace

bool SmoothPair(SmoothMesh& a, SmoothMesh& b, float threshold, const PairProgress& progress) {
    if (!BoxesOverlap(a, b)) return true;
    if (progress) progress(0);
    BuildGrid(b, threshold);
    std::int64_t lastTick = NowMilliseconds();
    int lastShown = 0;
    std::vector<std::uint32_t> near;
    const auto vertexCount = static_cast<std::int64_t>(a.vertices.size());
    for (std::int64_t i = 0; i < vertexCount; ++i) {
        if (progress && NowMilliseconds() - lastTick > 10) {
            const int p = static_cast<int>(50 * i / vertexCount);
            if (p != lastShown) {
                lastTick = NowMilliseconds();
                lastShown = p;
                progress(2 * p);
            }
        }
        // A margin of twice the distance keeps the skip safe against rounding.
        if (!NearVertexBox(b, a.vertices[i], 2 * threshold)) continue;
        Candidates(b, a.vertices[i], threshold, &near);
        for (std::uint32_t j : near) {
            if (!(Distance(a.vertices[i], b.vertices[j]) < threshold)) continue;
            const std::uint32_t na = a.firstNormal[i];
            const std::uint32_t nb = b.firstNormal[j];
            if (na == SmoothMesh::kNoNormal || nb == SmoothMesh::kNoNormal) {
                ReportBrokenFaces();
                return false;
            }
            rm::Vector sum;
            rm::D3DRMVectorAdd(&sum, &a.normals[na], &b.normals[nb]);
            if (rm::D3DRMVectorModulus(&sum) == 0.0f) continue;  // opposite normals: no direction to give
            rm::D3DRMVectorNormalize(&sum);
            a.normals[na] = sum;
            b.normals[nb] = sum;
        }
    }
    return true;
}

std::vector<SmoothMesh> CollectSmoothMeshes(const std::vector<rm::Ref<rm::Frame>>& frames) {
    std::vector<SmoothMesh> meshes;
    const std::size_t used = std::min(frames.size(), kMaxSkinFrames);
    for (std::size_t f = 0; f < used; ++f) {
        const rm::Frame* frame = frames[f].Get();
        if (!frame) continue;
        for (const auto& visual : frame->Visuals())
            if (auto* mesh = dynamic_cast<rm::MeshBuilder*>(visual.Get())) meshes.push_back(MakeSmoothMesh(*mesh, *frame));
    }
    return meshes;
}

void WriteBackNormals(std::vector<SmoothMesh>& meshes) {
    for (auto& m : meshes)
        for (std::uint32_t k = 0; k < m.normals.size(); ++k)
            m.mesh->SetNormal(k, m.normals[k].x, m.normals[k].y, m.normals[k].z);
}

int SmoothJoints(const std::vector<rm::Ref<rm::Frame>>& skinFrames, double threshold, ProgressSink& progress,
                 const std::function<bool()>& abort) {
    progress.SetTitle("断面ｽﾑｰｼﾞﾝｸﾞ");
    progress.SetText("メッシュを読み込んでいます");
    progress.SetRange(0, 100);
    progress.SetPos(0);
    std::vector<SmoothMesh> meshes = CollectSmoothMeshes(skinFrames);
    const auto n = static_cast<std::int64_t>(meshes.size());
    progress.SetText("");
    progress.SetRange(0, static_cast<int>(n));
    progress.SetTitle("断面ｽﾑｰｼﾞﾝｸﾞ (SHIFT:中止)");
    const float t = static_cast<float>(threshold);
    const PairProgress pairProgress = [&progress](int position) {
        progress.SetRange(0, 100);
        progress.SetPos(position);
    };
    bool stopped = false;
    for (std::int64_t i = 0; i < n && !stopped; ++i) {
        for (std::int64_t j = 0; j < n; ++j) {
            char text[64];
            std::snprintf(text, sizeof text, "処理中... %d%%", static_cast<int>((i * n + j) * 100 / (n * n)));
            progress.SetText(text);
            if (abort && abort()) {
                stopped = true;
                break;
            }
            if (i != j) SmoothPair(meshes[i], meshes[j], t, pairProgress);
        }
    }
    WriteBackNormals(meshes);
    return static_cast<int>(n);
}
