#include "Painter.h"

#include <algorithm>

namespace datagen {

namespace {

double Clamp01(double v) {
    return v < 0 ? 0 : (v > 1 ? 1 : v);
}

}  // namespace

QImage PaintMeshes(const std::vector<Drawable>& items, int width, int height, const ViewSpec& view,
                   QRgb backgroundTop, QRgb backgroundBottom) {
    // Bounds of everything in world space.
    Vec3 lo{1e30, 1e30, 1e30}, hi{-1e30, -1e30, -1e30};
    for (const auto& d : items)
        for (const auto& p : d.mesh->positions) {
            const Vec3 w = d.world.Point(p);
            lo = {std::min(lo.x, w.x), std::min(lo.y, w.y), std::min(lo.z, w.z)};
            hi = {std::max(hi.x, w.x), std::max(hi.y, w.y), std::max(hi.z, w.z)};
        }
    const Vec3 centre = (lo + hi) * 0.5;
    const double radius = std::max(Length(hi - lo) * 0.5, 1e-3);

    // Camera axes (left-handed: z forward, y up, x = y cross z to the right).
    const Vec3 forward = Normalised(view.direction);
    const Vec3 right = Normalised(Cross({0, 1, 0}, forward));
    const Vec3 up = Cross(forward, right);
    const double distance = radius / (view.field * view.fill) + radius;
    const Vec3 eye = centre - forward * distance;
    const double scale = std::min(width, height) / 2.0 / view.field;

    auto toCamera = [&](const Vec3& w) {
        const Vec3 d = w - eye;
        return Vec3{Dot(d, right), Dot(d, up), Dot(d, forward)};
    };
    // Fit: project the bounding box corners and centre the picture on them.
    double minX = 1e30, maxX = -1e30, minY = 1e30, maxY = -1e30;
    for (int c = 0; c < 8; ++c) {
        const Vec3 corner{c & 1 ? hi.x : lo.x, c & 2 ? hi.y : lo.y, c & 4 ? hi.z : lo.z};
        const Vec3 v = toCamera(corner);
        minX = std::min(minX, v.x / v.z);
        maxX = std::max(maxX, v.x / v.z);
        minY = std::min(minY, v.y / v.z);
        maxY = std::max(maxY, v.y / v.z);
    }
    const double extent = std::max(maxX - minX, maxY - minY);
    const double zoom = 2 * view.field * view.fill / std::max(extent, 1e-6);
    const double midX = (minX + maxX) / 2, midY = (minY + maxY) / 2;
    auto project = [&](const Vec3& c) {
        return QPointF(width / 2.0 + (c.x / c.z - midX) * zoom * scale,
                       height / 2.0 - (c.y / c.z - midY) * zoom * scale);
    };

    const Vec3 light = Normalised({-0.45, 0.65, -0.6});  // towards the light: upper left, in front
    const Vec3 half = Normalised(light - forward);

    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        const double t = static_cast<double>(y) / std::max(1, height - 1);
        auto mix = [&](int a, int b) { return static_cast<int>(a + (b - a) * t + 0.5); };
        const QRgb c = qRgb(mix(qRed(backgroundTop), qRed(backgroundBottom)),
                            mix(qGreen(backgroundTop), qGreen(backgroundBottom)),
                            mix(qBlue(backgroundTop), qBlue(backgroundBottom)));
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x) row[x] = c;
    }
    std::vector<double> depth(static_cast<std::size_t>(width) * height, 1e30);

    struct Corner {
        double sx, sy, z;
        Vec3 colour;
        double u, v;
    };
    auto shade = [&](const Drawable& d, const Vec3& normal) {
        const Vec3 n = Normalised(d.world.Direction(normal));
        const double diffuse = std::max(0.0, Dot(n, light));
        const double spec = std::pow(std::max(0.0, Dot(n, half)), std::max(d.surface.power, 1.0));
        const double lit = 0.36 + 0.74 * diffuse;
        const Colour& c = d.surface.colour;
        const Colour& s = d.surface.specular;
        return Vec3{c.r * lit + s.r * spec, c.g * lit + s.g * spec, c.b * lit + s.b * spec};
    };
    auto fill = [&](const Corner& a, const Corner& b, const Corner& c, const QImage* texture) {
        const double area = (b.sx - a.sx) * (c.sy - a.sy) - (c.sx - a.sx) * (b.sy - a.sy);
        // Clockwise on screen is a positive area with the picture's y growing downwards.
        if (area <= 1e-12) return;
        const int x0 = std::max(0, static_cast<int>(std::floor(std::min({a.sx, b.sx, c.sx}))));
        const int x1 = std::min(width - 1, static_cast<int>(std::ceil(std::max({a.sx, b.sx, c.sx}))));
        const int y0 = std::max(0, static_cast<int>(std::floor(std::min({a.sy, b.sy, c.sy}))));
        const int y1 = std::min(height - 1, static_cast<int>(std::ceil(std::max({a.sy, b.sy, c.sy}))));
        for (int y = y0; y <= y1; ++y) {
            auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
            for (int x = x0; x <= x1; ++x) {
                const double px = x + 0.5, py = y + 0.5;
                const double wa = ((b.sx - px) * (c.sy - py) - (c.sx - px) * (b.sy - py)) / area;
                const double wb = ((c.sx - px) * (a.sy - py) - (a.sx - px) * (c.sy - py)) / area;
                const double wc = 1 - wa - wb;
                if (wa < 0 || wb < 0 || wc < 0) continue;
                const double z = wa * a.z + wb * b.z + wc * c.z;
                double& stored = depth[static_cast<std::size_t>(y) * width + x];
                if (z >= stored) continue;
                stored = z;
                Vec3 col = a.colour * wa + b.colour * wb + c.colour * wc;
                if (texture) {
                    const double u = wa * a.u + wb * b.u + wc * c.u, v = wa * a.v + wb * b.v + wc * c.v;
                    const int tx =
                        std::clamp(static_cast<int>(u * texture->width()), 0, texture->width() - 1);
                    const int ty =
                        std::clamp(static_cast<int>(v * texture->height()), 0, texture->height() - 1);
                    const QRgb t = texture->pixel(tx, ty);
                    col = {col.x * qRed(t) / 255.0, col.y * qGreen(t) / 255.0, col.z * qBlue(t) / 255.0};
                }
                row[x] = qRgb(static_cast<int>(Clamp01(col.x) * 255 + 0.5),
                              static_cast<int>(Clamp01(col.y) * 255 + 0.5),
                              static_cast<int>(Clamp01(col.z) * 255 + 0.5));
            }
        }
    };
    for (const auto& d : items) {
        const Mesh& m = *d.mesh;
        std::vector<Corner> corners(m.positions.size());
        std::vector<bool> usable(m.positions.size());
        for (std::size_t i = 0; i < m.positions.size(); ++i) {
            const Vec3 c = toCamera(d.world.Point(m.positions[i]));
            usable[i] = c.z > 0.1;
            const QPointF p = project(c);
            corners[i] = {p.x(),
                          p.y(),
                          c.z,
                          shade(d, m.normals[i]),
                          m.uvs.empty() ? 0 : m.uvs[i][0],
                          m.uvs.empty() ? 0 : m.uvs[i][1]};
        }
        const QImage* texture = m.uvs.empty() ? nullptr : d.texture;
        for (const auto& f : m.faces) {
            bool ok = true;
            for (int i : f) ok = ok && usable[i];
            if (!ok) continue;
            for (std::size_t k = 1; k + 1 < f.size(); ++k)
                fill(corners[f[0]], corners[f[k]], corners[f[k + 1]], texture);
        }
    }
    return image;
}

}  // namespace datagen
