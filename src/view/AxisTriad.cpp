// Painting the axis triad.
#include "view/AxisTriad.h"

#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <array>
#include <cmath>

namespace vexlor::view {

QColor TriadColour(int axis) {
    switch (axis) {
        case 0:
            return {240, 96, 64};
        case 1:
            return {96, 208, 96};
        default:
            return {96, 144, 255};
    }
}

QRectF TriadArea(QSize frame) {
    const double side = std::min({double(kTriadSide), double(frame.width()) - 2 * kTriadInset,
                                  double(frame.height()) - 2 * kTriadInset});
    if (side <= 0) return {};
    return {double(kTriadInset), frame.height() - kTriadInset - side, side, side};
}

void PaintAxisTriad(QPainter& painter, const QRectF& area, const Mat3& rotation) {
    if (area.isEmpty()) return;
    const QPointF centre = area.center();
    const double reach = area.width() * 0.34;
    std::array<int, 3> order{0, 1, 2};
    // Column a of the rotation is where model axis a points in eye coordinates.
    std::sort(order.begin(), order.end(),
              [&](int a, int b) { return rotation[2][a] < rotation[2][b]; });
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    QFont font = painter.font();
    font.setPixelSize(std::max(8, int(area.width() * 0.18)));
    font.setBold(true);
    painter.setFont(font);
    static const char* const kLetters[3] = {"x", "y", "z"};
    for (const int axis : order) {
        const double x = rotation[0][axis], y = rotation[1][axis];
        const QPointF tip(centre.x() + x * reach, centre.y() - y * reach);
        const QColor colour = TriadColour(axis);
        painter.setPen(QPen(colour, std::max(1.5, area.width() / 32)));
        painter.drawLine(centre, tip);
        const QPointF label(centre.x() + x * reach * 1.32, centre.y() - y * reach * 1.32);
        const double half = font.pixelSize() * 0.6;
        painter.drawText(QRectF(label.x() - half, label.y() - half, 2 * half, 2 * half),
                         Qt::AlignCenter, QString::fromLatin1(kLetters[axis]));
    }
    painter.restore();
}

}  // namespace vexlor::view
