#include "supervisor/PublisherLogo.h"

#include <QPainter>
#include <QPainterPath>

namespace qlm {

namespace {

// A lighthouse beam over three waves on a navy disc.
void drawFirst(QPainter& p, qreal s) {
    p.setBrush(QColor(20, 40, 90));
    p.setPen(Qt::NoPen);
    p.drawEllipse(QRectF(0, 0, s, s));
    p.setBrush(QColor(250, 210, 80));
    QPainterPath beam;
    beam.moveTo(s * 0.50, s * 0.30);
    beam.lineTo(s * 0.92, s * 0.18);
    beam.lineTo(s * 0.92, s * 0.42);
    beam.closeSubpath();
    p.drawPath(beam);
    p.setBrush(QColor(235, 235, 235));
    p.drawRect(QRectF(s * 0.44, s * 0.28, s * 0.12, s * 0.34));
    p.setBrush(QColor(200, 40, 40));
    p.drawRect(QRectF(s * 0.42, s * 0.22, s * 0.16, s * 0.08));
    p.setPen(QPen(QColor(120, 190, 230), s * 0.035, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    for (int i = 0; i < 3; ++i) {
        const qreal y = s * (0.68 + 0.08 * i);
        QPainterPath wave;
        wave.moveTo(s * 0.18, y);
        wave.cubicTo(s * 0.32, y - s * 0.06, s * 0.40, y + s * 0.06, s * 0.50, y);
        wave.cubicTo(s * 0.60, y - s * 0.06, s * 0.68, y + s * 0.06, s * 0.82, y);
        p.drawPath(wave);
    }
}

// A green shield carrying a white "T" and a quill stroke.
void drawSecond(QPainter& p, qreal s) {
    QPainterPath shield;
    shield.moveTo(s * 0.10, s * 0.06);
    shield.lineTo(s * 0.90, s * 0.06);
    shield.lineTo(s * 0.90, s * 0.50);
    shield.quadTo(s * 0.90, s * 0.82, s * 0.50, s * 0.96);
    shield.quadTo(s * 0.10, s * 0.82, s * 0.10, s * 0.50);
    shield.closeSubpath();
    p.setPen(QPen(QColor(200, 170, 60), s * 0.03));
    p.setBrush(QColor(30, 110, 60));
    p.drawPath(shield);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawRect(QRectF(s * 0.26, s * 0.20, s * 0.48, s * 0.11));
    p.drawRect(QRectF(s * 0.445, s * 0.20, s * 0.11, s * 0.56));
    p.setPen(QPen(QColor(200, 170, 60), s * 0.025, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(s * 0.62, s * 0.78), QPointF(s * 0.80, s * 0.40));
}

}  // namespace

QPixmap PublisherLogo(PublisherCode code, int size) {
    QPixmap logo(size, size);
    logo.fill(Qt::transparent);
    QPainter painter(&logo);
    painter.setRenderHint(QPainter::Antialiasing);
    if (code == PublisherCode::First) {
        drawFirst(painter, size);
    } else {
        drawSecond(painter, size);
    }
    return logo;
}

}  // namespace qlm
