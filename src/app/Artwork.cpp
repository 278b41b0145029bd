#include "app/Artwork.h"

#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <cmath>

#include "core/Commands.h"

namespace artwork {

namespace {

QPixmap Canvas(int w, int h) {
    QPixmap p(w, h);
    p.fill(Qt::transparent);
    return p;
}

void Figure(QPainter& g, QColor c) {
    g.setPen(QPen(c.darker(160), 1));
    g.setBrush(c);
    g.drawEllipse(QRectF(5.5, 0.5, 5, 5));               // head
    g.drawRoundedRect(QRectF(4.5, 6, 7, 5.5), 2, 2);      // body
    g.drawRect(QRectF(5, 11.5, 2, 4));                    // legs
    g.drawRect(QRectF(9, 11.5, 2, 4));
}

void Folder(QPainter& g, bool open) {
    g.setPen(QPen(QColor(150, 110, 20), 1));
    g.setBrush(QColor(240, 200, 80));
    g.drawRect(QRectF(1.5, 4.5, 13, 9));
    g.drawRect(QRectF(1.5, 2.5, 5, 2));
    if (open) {
        g.setBrush(QColor(255, 225, 130));
        QPolygonF lid({{3.5, 7.5}, {15.5, 7.5}, {13.5, 13.5}, {1.5, 13.5}});
        g.drawPolygon(lid);
    }
}

void Sun(QPainter& g, QColor c) {
    g.setPen(QPen(QColor(200, 120, 0), 1.2));
    for (int i = 0; i < 8; ++i) {
        const double a = i * M_PI / 4;
        g.drawLine(QPointF(8 + 4.5 * std::cos(a), 8 + 4.5 * std::sin(a)),
                   QPointF(8 + 7.2 * std::cos(a), 8 + 7.2 * std::sin(a)));
    }
    g.setBrush(c);
    g.drawEllipse(QPointF(8, 8), 3.6, 3.6);
}

void Bulb(QPainter& g, QColor c) {
    g.setPen(QPen(QColor(120, 100, 0), 1));
    g.setBrush(c);
    g.drawEllipse(QRectF(3.5, 1.5, 9, 9));
    g.setBrush(QColor(160, 160, 160));
    g.drawRect(QRectF(5.5, 10.5, 5, 4));
    g.drawLine(QPointF(5.5, 12.5), QPointF(10.5, 12.5));
}

void Cube(QPainter& g, QColor c) {
    g.setPen(QPen(c.darker(200), 1));
    g.setBrush(c);
    g.drawPolygon(QPolygonF({{2.5, 5.5}, {8.5, 2.5}, {14.5, 5.5}, {8.5, 8.5}}));
    g.setBrush(c.darker(120));
    g.drawPolygon(QPolygonF({{2.5, 5.5}, {8.5, 8.5}, {8.5, 14.5}, {2.5, 11.5}}));
    g.setBrush(c.darker(150));
    g.drawPolygon(QPolygonF({{14.5, 5.5}, {8.5, 8.5}, {8.5, 14.5}, {14.5, 11.5}}));
}

void Palette(QPainter& g) {
    g.setPen(QPen(QColor(120, 80, 40), 1));
    g.setBrush(QColor(230, 200, 150));
    g.drawEllipse(QRectF(1.5, 2.5, 13, 11));
    const QColor dots[] = {Qt::red, QColor(0, 160, 0), Qt::blue, QColor(240, 200, 0)};
    const QPointF at[] = {{5, 6}, {8.5, 5}, {11.5, 7}, {10, 10.5}};
    g.setPen(Qt::NoPen);
    for (int i = 0; i < 4; ++i) {
        g.setBrush(dots[i]);
        g.drawEllipse(at[i], 1.6, 1.6);
    }
}

void Grid(QPainter& g) {
    g.setPen(QPen(QColor(60, 60, 120), 1));
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 2; ++x) {
            g.setBrush(QColor(120 + 60 * x, 150, 200 - 50 * y));
            g.drawRect(QRectF(1.5 + 7 * x, 1.5 + 7 * y, 6, 6));
        }
}

void Gear(QPainter& g) {
    g.setPen(QPen(QColor(70, 70, 70), 1));
    g.setBrush(QColor(170, 170, 180));
    QPainterPath path;
    for (int i = 0; i < 16; ++i) {
        const double a = i * M_PI / 8;
        const double r = (i % 2) ? 5.0 : 7.2;
        const QPointF p(8 + r * std::cos(a), 8 + r * std::sin(a));
        i == 0 ? path.moveTo(p) : path.lineTo(p);
    }
    path.closeSubpath();
    path.addEllipse(QPointF(8, 8), 2.2, 2.2);
    g.drawPath(path);
}

QPixmap DrawIcon(int index) {
    QPixmap p = Canvas(16, 16);
    QPainter g(&p);
    g.setRenderHint(QPainter::Antialiasing);
    switch (index) {
        case ICON_COLLECTION: Grid(g); break;
        case ICON_COLOR: Palette(g); break;
        case ICON_LIGHT: Bulb(g, QColor(255, 240, 120)); break;
        case ICON_OPTION: Gear(g); break;
        case ICON_PART: Cube(g, QColor(120, 170, 230)); break;
        case ICON_PART_HIDDEN: Cube(g, QColor(190, 190, 190)); break;
        case ICON_FIGURE: Figure(g, QColor(240, 190, 150)); break;
        case ICON_FIGURE_ALT: Figure(g, QColor(255, 150, 110)); break;
        case ICON_CATEGORY: Folder(g, false); break;
        case ICON_CATEGORY_OPEN: Folder(g, true); break;
        case ICON_SUN: Sun(g, QColor(255, 210, 40)); break;
        case ICON_SUN_ALT: Sun(g, QColor(255, 150, 40)); break;
        case ICON_POINT_LIGHT: Bulb(g, QColor(255, 250, 170)); break;
        case ICON_POINT_LIGHT_ALT: Bulb(g, QColor(255, 200, 90)); break;
        default: break;
    }
    return p;
}

// Toolbar pictures -------------------------------------------------------------------------

void Page(QPainter& g) {
    g.setPen(QPen(QColor(80, 80, 80), 1));
    g.setBrush(Qt::white);
    g.drawPolygon(QPolygonF({{5.5, 2.5}, {14.5, 2.5}, {18.5, 6.5}, {18.5, 19.5}, {5.5, 19.5}}));
    g.drawPolyline(QPolygonF({{14.5, 2.5}, {14.5, 6.5}, {18.5, 6.5}}));
}

void Disk(QPainter& g) {
    g.setPen(QPen(QColor(30, 40, 90), 1));
    g.setBrush(QColor(60, 90, 170));
    g.drawRect(QRectF(4.5, 2.5, 15, 17));
    g.setBrush(Qt::white);
    g.drawRect(QRectF(7.5, 2.5, 9, 6));
    g.setBrush(QColor(200, 200, 210));
    g.drawRect(QRectF(7.5, 12.5, 9, 7));
}

void Letter(QPainter& g, const QString& text, QColor c) {
    QFont f = g.font();
    f.setPixelSize(13);
    f.setBold(true);
    g.setFont(f);
    g.setPen(c);
    g.drawText(QRectF(0, 0, 24, 22), Qt::AlignCenter, text);
}

void Arrows(QPainter& g, bool h, bool v) {
    g.setPen(QPen(QColor(40, 40, 40), 1.3));
    if (h) {
        g.drawLine(QPointF(2, 11), QPointF(22, 11));
        g.drawPolyline(QPolygonF({{5, 8}, {2, 11}, {5, 14}}));
        g.drawPolyline(QPolygonF({{19, 8}, {22, 11}, {19, 14}}));
    }
    if (v) {
        g.drawLine(QPointF(12, 1), QPointF(12, 21));
        g.drawPolyline(QPolygonF({{9, 4}, {12, 1}, {15, 4}}));
        g.drawPolyline(QPolygonF({{9, 18}, {12, 21}, {15, 18}}));
    }
}

void Sphere(QPainter& g, int quality) {
    const QRectF r(4, 2, 17, 17);
    if (quality == 0) {  // points
        g.setPen(QPen(QColor(30, 30, 30), 1.6));
        for (int i = 0; i < 12; ++i) {
            const double a = i * M_PI / 6;
            g.drawPoint(QPointF(12.5 + 7 * std::cos(a), 10.5 + 7 * std::sin(a)));
            if (i % 2 == 0) g.drawPoint(QPointF(12.5 + 3.5 * std::cos(a), 10.5 + 3.5 * std::sin(a)));
        }
        return;
    }
    if (quality == 1) {  // wireframe
        g.setPen(QPen(QColor(30, 30, 30), 1));
        g.setBrush(Qt::NoBrush);
        g.drawEllipse(r);
        g.drawEllipse(r.adjusted(4, 0, -4, 0));
        g.drawLine(QPointF(4, 10.5), QPointF(21, 10.5));
        g.drawEllipse(r.adjusted(0, 5, 0, -5));
        return;
    }
    if (quality == 2) {  // flat
        g.setPen(QPen(QColor(40, 40, 40), 0.8));
        const QColor shades[] = {QColor(230, 120, 120), QColor(200, 90, 90), QColor(160, 60, 60),
                                 QColor(120, 40, 40)};
        for (int i = 0; i < 4; ++i) {
            g.setBrush(shades[i]);
            g.drawPie(r, (90 + 90 * i) * 16, 90 * 16);
        }
        return;
    }
    QRadialGradient shade(QPointF(9, 7), 14);  // Gouraud
    shade.setColorAt(0, QColor(255, 220, 220));
    shade.setColorAt(1, QColor(120, 20, 20));
    g.setPen(Qt::NoPen);
    g.setBrush(shade);
    g.drawEllipse(r);
}

// A bent arm whose hand is being drawn to a point: the IK drag.
void Limb(QPainter& g) {
    const QPointF shoulder(4, 5), elbow(8, 16), hand(17, 12);
    g.setPen(QPen(QColor(60, 60, 60), 2.6, Qt::SolidLine, Qt::RoundCap));
    g.drawPolyline(QPolygonF({shoulder, elbow, hand}));
    g.setPen(QPen(QColor(60, 60, 60), 1));
    g.setBrush(QColor(250, 210, 170));
    for (const QPointF& joint : {shoulder, elbow}) g.drawEllipse(joint, 2, 2);
    g.setBrush(QColor(220, 60, 40));
    g.drawEllipse(hand, 2.6, 2.6);
    g.setPen(QPen(QColor(220, 60, 40), 1.2));
    g.drawLine(QPointF(19, 10), QPointF(22.5, 3.5));
    g.drawPolyline(QPolygonF({{19.5, 4}, {22.5, 3.5}, {23, 6.5}}));
}

// A circular arrow round a pivot: the rotate drag.
void TurnArrow(QPainter& g) {
    const QPointF centre(12, 11);
    const double radius = 7.5;
    g.setPen(QPen(QColor(40, 40, 40), 1.6, Qt::SolidLine, Qt::FlatCap));
    g.setBrush(Qt::NoBrush);
    // Counter-clockwise from 110 degrees round to 30 degrees (Qt counts sixteenths, y down).
    const double start = 110, end = 390;
    g.drawArc(QRectF(centre.x() - radius, centre.y() - radius, 2 * radius, 2 * radius), int(start * 16),
              int((end - start) * 16));
    // The head at the arc's end, pointing along it.
    const double a = end * M_PI / 180;
    const QPointF tip = centre + QPointF(radius * std::cos(a), -radius * std::sin(a));
    const QPointF along(-std::sin(a), -std::cos(a)), out(std::cos(a), -std::sin(a));
    g.setPen(Qt::NoPen);
    g.setBrush(QColor(40, 40, 40));
    g.drawPolygon(QPolygonF({tip + along * 4.0, tip + out * 3.0, tip - out * 3.0}));
    g.setBrush(QColor(200, 0, 0));
    g.drawEllipse(centre, 2.2, 2.2);
}

// The figure's middle line with one side drawn onto the other (`both`: each onto the other).
void MirrorSides(QPainter& g, bool both) {
    g.setPen(QPen(QColor(90, 90, 90), 1, Qt::DashLine));
    g.drawLine(QPointF(12, 1), QPointF(12, 21));
    g.setPen(QPen(QColor(60, 60, 60), 1));
    g.setBrush(QColor(140, 190, 240));
    g.drawPolygon(QPolygonF({{3, 16}, {9, 16}, {9, 5}}));
    g.setBrush(both ? QColor(240, 170, 120) : QColor(200, 225, 250));
    g.drawPolygon(QPolygonF({{21, 16}, {15, 16}, {15, 5}}));
    g.setPen(QPen(QColor(0, 110, 0), 1.3));
    g.drawLine(QPointF(6, 19.5), QPointF(18, 19.5));
    g.drawPolyline(QPolygonF({{15.5, 17.5}, {18, 19.5}, {15.5, 21.5}}));
    if (both) g.drawPolyline(QPolygonF({{8.5, 17.5}, {6, 19.5}, {8.5, 21.5}}));
}

// A small standing figure with a plus beside it: another figure for the scene.
void FigureWithPlus(QPainter& g) {
    g.setPen(QPen(QColor(60, 60, 60), 1));
    g.setBrush(QColor(250, 210, 170));
    g.drawEllipse(QPointF(9, 4.5), 3, 3);
    g.setPen(QPen(QColor(60, 60, 60), 2.6, Qt::SolidLine, Qt::RoundCap));
    g.drawLine(QPointF(9, 9), QPointF(9, 15));                                  // body
    g.drawPolyline(QPolygonF({{4, 13}, {9, 9.5}, {14, 13}}));                  // arms
    g.drawPolyline(QPolygonF({{5.5, 21}, {9, 15}, {12.5, 21}}));               // legs
    g.setPen(QPen(QColor(0, 140, 0), 2.2, Qt::SolidLine, Qt::FlatCap));
    g.drawLine(QPointF(18.5, 3), QPointF(18.5, 12));
    g.drawLine(QPointF(14, 7.5), QPointF(23, 7.5));
}

QPixmap DrawToolbar(int id) {
    QPixmap p = Canvas(24, 22);
    QPainter g(&p);
    g.setRenderHint(QPainter::Antialiasing);
    switch (id) {
        case ID_FILE_NEW: Page(g); break;
        case ID_FILE_OPEN:
            g.translate(3, 3);
            Folder(g, true);
            break;
        case ID_FILE_SAVE: Disk(g); break;
        case ID_EDIT_FREE: Arrows(g, true, true); break;
        case ID_EDIT_X:
            Arrows(g, true, false);
            Letter(g, "X", QColor(200, 0, 0));
            break;
        case ID_EDIT_Y:
            Arrows(g, false, true);
            Letter(g, "Y", QColor(0, 140, 0));
            break;
        case ID_EDIT_Z:
            g.setPen(QPen(QColor(40, 40, 40), 1.3));
            g.drawLine(QPointF(3, 19), QPointF(21, 3));
            Letter(g, "Z", QColor(0, 0, 200));
            break;
        case ID_EDIT_IK: Limb(g); break;
        case ID_EDIT_ROTATE_MODE: TurnArrow(g); break;
        case ID_EDIT_MIRROR: MirrorSides(g, false); break;
        case ID_EDIT_SWAP_SIDES: MirrorSides(g, true); break;
        case ID_VIEW_ADD_FIGURE: FigureWithPlus(g); break;
        case ID_VIEW_POINTS: Sphere(g, 0); break;
        case ID_VIEW_WIREFRAME: Sphere(g, 1); break;
        case ID_VIEW_FLAT: Sphere(g, 2); break;
        case ID_VIEW_GOURAUD: Sphere(g, 3); break;
        case ID_VIEW_SIMPLE:
            g.setPen(QPen(QColor(40, 80, 160), 1, Qt::DashLine));
            g.drawRect(QRectF(4.5, 3.5, 15, 15));
            g.drawLine(QPointF(4.5, 3.5), QPointF(9.5, 0.5));
            break;
        case ID_VIEW_RENDER_SIZE:
            g.setPen(QPen(QColor(40, 40, 40), 1));
            g.setBrush(QColor(200, 200, 200));
            g.drawRect(QRectF(1.5, 3.5, 21, 15));
            g.setBrush(QColor(140, 190, 240));
            g.drawRect(QRectF(5.5, 5.5, 13, 11));
            break;
        case ID_RENDER:
            g.setPen(QPen(QColor(30, 30, 30), 1));
            g.setBrush(QColor(70, 70, 80));
            g.drawRoundedRect(QRectF(2.5, 6.5, 19, 13), 2, 2);
            g.drawRect(QRectF(7.5, 3.5, 8, 3));
            g.setBrush(QColor(150, 200, 250));
            g.drawEllipse(QPointF(12, 13), 4, 4);
            break;
        case ID_SMOOTH:
            g.setPen(QPen(QColor(40, 40, 40), 1.2));
            g.drawPolyline(QPolygonF({{2, 18}, {8, 8}, {12, 18}}));
            g.setPen(QPen(QColor(0, 120, 200), 1.8));
            {
                QPainterPath curve(QPointF(12, 18));
                curve.cubicTo(QPointF(15, 2), QPointF(18, 2), QPointF(22, 18));
                g.drawPath(curve);
            }
            break;
        case ID_APPLY_COLLECTION:
            g.translate(0, 2);
            Grid(g);
            g.resetTransform();
            g.setPen(QPen(QColor(0, 140, 0), 2));
            g.drawPolyline(QPolygonF({{13, 13}, {16, 17}, {22, 8}}));
            break;
        case ID_HELP:
            g.setPen(QPen(QColor(0, 70, 160), 1));
            g.setBrush(QColor(220, 235, 255));
            g.drawEllipse(QRectF(2.5, 1.5, 19, 19));
            Letter(g, "?", QColor(0, 70, 160));
            break;
        default: break;
    }
    return p;
}

}  // namespace

QList<QIcon> CreateIconList() {
    QList<QIcon> icons;
    for (int i = 0; i < ICON_COUNT; ++i) icons.push_back(QIcon(DrawIcon(i)));
    return icons;
}

QPixmap IconPixmap(int index) { return DrawIcon(index); }

QIcon ToolbarIcon(int commandId) { return QIcon(DrawToolbar(commandId)); }

QPixmap SplashPicture() {
    QPixmap p(400, 260);
    QPainter g(&p);
    g.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, 260);
    sky.setColorAt(0, QColor(40, 60, 120));
    sky.setColorAt(1, QColor(200, 160, 200));
    g.fillRect(p.rect(), sky);
    // A small mannequin on a floor.
    g.setBrush(QColor(90, 70, 110));
    g.setPen(Qt::NoPen);
    g.drawEllipse(QPointF(300, 225), 70, 14);
    QRadialGradient skin(QPointF(290, 90), 90);
    skin.setColorAt(0, QColor(255, 230, 205));
    skin.setColorAt(1, QColor(190, 140, 110));
    g.setBrush(skin);
    g.drawEllipse(QPointF(300, 62), 16, 18);               // head
    g.drawRoundedRect(QRectF(284, 84, 32, 62), 12, 12);     // body
    g.save();
    g.translate(286, 92);
    g.rotate(35);
    g.drawRoundedRect(QRectF(-6, 0, 12, 50), 6, 6);         // left arm
    g.restore();
    g.save();
    g.translate(314, 92);
    g.rotate(-120);
    g.drawRoundedRect(QRectF(-6, 0, 12, 50), 6, 6);         // waving arm
    g.restore();
    g.drawRoundedRect(QRectF(286, 142, 12, 80), 6, 6);      // legs
    g.drawRoundedRect(QRectF(302, 142, 12, 80), 6, 6);
    QFont title = g.font();
    title.setPixelSize(42);
    title.setBold(true);
    g.setFont(title);
    g.setPen(QColor(255, 255, 255));
    g.drawText(QRectF(24, 70, 240, 60), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Marisole"));
    QFont small = g.font();
    small.setPixelSize(14);
    small.setBold(false);
    g.setFont(small);
    g.setPen(QColor(235, 235, 255));
    g.drawText(QRectF(26, 128, 260, 24), Qt::AlignLeft, QStringLiteral("3D シーン作成ツール"));
    g.drawText(QRectF(26, 220, 260, 24), Qt::AlignLeft, QStringLiteral("Version 1.00"));
    return p;
}

QPixmap ProgressAnimationFrame(int frame, int width, int height) {
    QPixmap p(width, height);
    p.fill(QColor(240, 240, 240));
    QPainter g(&p);
    g.setRenderHint(QPainter::Antialiasing);
    // A cube turning on its vertical axis, one eighth of a quarter turn per frame.
    const double angle = (frame % 8) * (M_PI / 2) / 8;
    const double cx = width / 2.0, cy = height / 2.0, s = height * 0.3;
    auto project = [&](double x, double y, double z) {
        const double rx = x * std::cos(angle) + z * std::sin(angle);
        const double rz = -x * std::sin(angle) + z * std::cos(angle);
        return QPointF(cx + rx * s + rz * s * 0.3, cy + y * s - rz * s * 0.25);
    };
    g.setPen(QPen(QColor(40, 80, 160), 1.2));
    const int edges[12][2] = {{0, 1}, {1, 3}, {3, 2}, {2, 0}, {4, 5}, {5, 7}, {7, 6}, {6, 4}, {0, 4}, {1, 5}, {2, 6}, {3, 7}};
    QPointF corners[8];
    for (int i = 0; i < 8; ++i) corners[i] = project(i & 1 ? 1 : -1, i & 2 ? 1 : -1, i & 4 ? 1 : -1);
    for (const auto& e : edges) g.drawLine(corners[e[0]], corners[e[1]]);
    return p;
}

}  // namespace artwork
