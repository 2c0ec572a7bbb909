#include "shell/ToolIcons.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace {

QColor baseColor(ToolGlyph g)
{
    switch (g) {
    case ToolGlyph::Lock:
    case ToolGlyph::Schedule:
        return QColor(0x2d, 0x5d, 0x8a);
    case ToolGlyph::Users:
    case ToolGlyph::Operator:
        return QColor(0x3c, 0x8d, 0x5a);
    case ToolGlyph::Program:
    case ToolGlyph::MultiProgram:
        return QColor(0xb0, 0x6a, 0x1c);
    case ToolGlyph::Audit:
    case ToolGlyph::ReadKey:
        return QColor(0x6a, 0x4c, 0x9c);
    case ToolGlyph::RemoteCode:
    case ToolGlyph::Clock:
        return QColor(0x1f, 0x80, 0x8c);
    case ToolGlyph::Quit:
        return QColor(0xa8, 0x32, 0x32);
    }
    return Qt::darkGray;
}

void drawPadlock(QPainter &p, const QRectF &r)
{
    QPen pen(Qt::white, r.width() * 0.09);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    const QRectF shackle(r.center().x() - r.width() * 0.18, r.top() + r.height() * 0.18, r.width() * 0.36,
                         r.height() * 0.4);
    p.drawArc(shackle, 0, 180 * 16);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawRoundedRect(QRectF(r.left() + r.width() * 0.25, r.top() + r.height() * 0.4, r.width() * 0.5,
                             r.height() * 0.38),
                      3, 3);
}

void drawKey(QPainter &p, const QRectF &r)
{
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    const qreal d = r.width() * 0.3;
    p.drawEllipse(QRectF(r.left() + r.width() * 0.18, r.center().y() - d / 2, d, d));
    p.drawRect(QRectF(r.left() + r.width() * 0.42, r.center().y() - r.height() * 0.05, r.width() * 0.4,
                      r.height() * 0.1));
    p.drawRect(QRectF(r.left() + r.width() * 0.7, r.center().y(), r.width() * 0.07, r.height() * 0.14));
}

void drawPerson(QPainter &p, const QRectF &r, qreal dx)
{
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    const qreal cx = r.center().x() + dx;
    p.drawEllipse(QPointF(cx, r.top() + r.height() * 0.36), r.width() * 0.12, r.width() * 0.12);
    QPainterPath body;
    body.addRoundedRect(QRectF(cx - r.width() * 0.2, r.top() + r.height() * 0.52, r.width() * 0.4, r.height() * 0.28),
                        8, 8);
    p.drawPath(body);
}

void drawDocument(QPainter &p, const QRectF &r)
{
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    const QRectF page(r.left() + r.width() * 0.28, r.top() + r.height() * 0.2, r.width() * 0.44, r.height() * 0.6);
    p.drawRect(page);
    p.setPen(QPen(QColor(0x6a, 0x4c, 0x9c), 2));
    for (int i = 1; i <= 4; ++i) {
        const qreal y = page.top() + page.height() * i / 5.0;
        p.drawLine(QPointF(page.left() + 4, y), QPointF(page.right() - 4, y));
    }
}

void drawClock(QPainter &p, const QRectF &r)
{
    p.setPen(QPen(Qt::white, r.width() * 0.07));
    p.setBrush(Qt::NoBrush);
    const QRectF face = r.adjusted(r.width() * 0.22, r.height() * 0.22, -r.width() * 0.22, -r.height() * 0.22);
    p.drawEllipse(face);
    p.drawLine(face.center(), QPointF(face.center().x(), face.top() + face.height() * 0.2));
    p.drawLine(face.center(), QPointF(face.right() - face.width() * 0.25, face.center().y()));
}

void drawKeypad(QPainter &p, const QRectF &r)
{
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    const qreal s = r.width() * 0.12;
    for (int row = 0; row < 4; ++row)
        for (int col = 0; col < 3; ++col)
            p.drawRoundedRect(QRectF(r.left() + r.width() * 0.27 + col * s * 1.4,
                                     r.top() + r.height() * 0.18 + row * s * 1.4, s, s),
                              2, 2);
}

} // namespace

QIcon toolIcon(ToolGlyph glyph)
{
    QPixmap pm(48, 48);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r(2, 2, 44, 44);
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    const QColor c = baseColor(glyph);
    g.setColorAt(0, c.lighter(130));
    g.setColorAt(1, c.darker(115));
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawRoundedRect(r, 9, 9);
    switch (glyph) {
    case ToolGlyph::Lock:
    case ToolGlyph::Schedule:
        drawPadlock(p, r);
        break;
    case ToolGlyph::Users:
        drawPerson(p, r, -6);
        drawPerson(p, r, 7);
        break;
    case ToolGlyph::Operator:
        drawPerson(p, r, 0);
        break;
    case ToolGlyph::Program:
    case ToolGlyph::MultiProgram:
    case ToolGlyph::ReadKey:
        drawKey(p, r);
        break;
    case ToolGlyph::Audit:
        drawDocument(p, r);
        break;
    case ToolGlyph::Clock:
        drawClock(p, r);
        break;
    case ToolGlyph::RemoteCode:
        drawKeypad(p, r);
        break;
    case ToolGlyph::Quit:
        p.setPen(QPen(Qt::white, 5, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(16, 16), QPointF(32, 32));
        p.drawLine(QPointF(32, 16), QPointF(16, 32));
        break;
    }
    return QIcon(pm);
}
