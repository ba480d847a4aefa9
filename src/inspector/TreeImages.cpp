// Drawing the tree pictures and the program icon.
#include "inspector/TreeImages.h"

#include <QPainter>
#include <QPainterPath>

namespace vexlor::inspector {

namespace {
QPixmap Canvas(int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    return pixmap;
}
}  // namespace

QPixmap TreeImage(int image) {
    QPixmap pixmap = Canvas(16);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    switch (image) {
        case 1: {  // jump block: a folder-like box with an arrow
            p.setPen(QColor(120, 90, 20));
            p.setBrush(QColor(240, 200, 90));
            p.drawRect(QRectF(1.5, 4.5, 13, 10));
            p.drawRect(QRectF(1.5, 2.5, 5, 2));
            p.setPen(QPen(QColor(60, 40, 0), 1.5));
            p.drawLine(QPointF(5, 10), QPointF(11, 10));
            p.drawLine(QPointF(9, 8), QPointF(11, 10));
            p.drawLine(QPointF(9, 12), QPointF(11, 10));
            break;
        }
        case 2: {  // face block: a filled triangle with a wire edge
            QPainterPath triangle;
            triangle.moveTo(2, 14);
            triangle.lineTo(8, 2);
            triangle.lineTo(14, 14);
            triangle.closeSubpath();
            p.setPen(QPen(QColor(0, 110, 120), 1.2));
            p.setBrush(QColor(90, 220, 220));
            p.drawPath(triangle);
            break;
        }
        case 3: {  // hardpoint: a target mark
            p.setPen(QPen(QColor(170, 20, 90), 1.5));
            p.setBrush(Qt::NoBrush);
            p.drawEllipse(QPointF(8, 8), 5.5, 5.5);
            p.drawLine(QPointF(8, 0.5), QPointF(8, 15.5));
            p.drawLine(QPointF(0.5, 8), QPointF(15.5, 8));
            p.setBrush(QColor(255, 60, 150));
            p.drawEllipse(QPointF(8, 8), 2, 2);
            break;
        }
        default: {  // plain: a sheet of paper
            p.setPen(QColor(90, 90, 110));
            p.setBrush(QColor(250, 250, 255));
            p.drawRect(QRectF(3.5, 1.5, 9, 13));
            p.setPen(QColor(150, 150, 170));
            for (int y = 5; y <= 11; y += 3)
                p.drawLine(5, y, 11, y);
            break;
        }
    }
    return pixmap;
}

QColor WarningColour() {
    return {255, 200, 0};
}

QPixmap WithWarning(const QPixmap& picture) {
    QPixmap marked = picture;
    QPainter p(&marked);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath triangle;
    triangle.moveTo(11.5, 6.5);
    triangle.lineTo(16, 15.5);
    triangle.lineTo(7, 15.5);
    triangle.closeSubpath();
    p.setPen(QPen(QColor(120, 60, 0), 1));
    p.setBrush(WarningColour());
    p.drawPath(triangle);
    p.setPen(QPen(Qt::black, 1.4));
    p.drawLine(QPointF(11.5, 9.5), QPointF(11.5, 12.5));
    p.drawPoint(QPointF(11.5, 14.2));
    return marked;
}

QIcon ProgramIcon() {
    QIcon icon;
    for (int size : {16, 32, 64}) {
        QPixmap pixmap = Canvas(size);
        QPainter p(&pixmap);
        p.setRenderHint(QPainter::Antialiasing);
        const double s = size / 16.0;
        p.setBrush(QColor(10, 20, 40));
        p.setPen(Qt::NoPen);
        p.drawRoundedRect(QRectF(0, 0, size, size), 3 * s, 3 * s);
        // A wireframe cube: cyan, with one red face as the selected mesh.
        const QPointF a(4 * s, 6 * s), b(10 * s, 6 * s), c(10 * s, 12 * s), d(4 * s, 12 * s);
        const QPointF off(2.5 * s, -2.5 * s);
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(QColor(0, 230, 230), std::max(1.0, s)));
        p.drawPolygon(QPolygonF({a + off, b + off, c + off, d + off}));
        p.drawLine(b, b + off);
        p.drawLine(c, c + off);
        p.drawLine(a, a + off);
        p.setPen(QPen(QColor(255, 40, 40), std::max(1.0, s)));
        p.drawPolygon(QPolygonF({a, b, c, d}));
        icon.addPixmap(pixmap);
    }
    return icon;
}

}  // namespace vexlor::inspector
