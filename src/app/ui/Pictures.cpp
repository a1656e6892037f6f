#include "app/ui/Pictures.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

namespace {

const QColor kDeepBlue(22, 54, 102);
const QColor kSteel(58, 96, 150);
const QColor kSky(122, 168, 222);

// A picture filled with a gradient from top to bottom, or from left to right.
QPixmap Gradient(const QSize &size, const QColor &from, const QColor &to, bool horizontal)
{
    QPixmap pixmap(size.expandedTo(QSize(1, 1)));
    QPainter p(&pixmap);
    QLinearGradient g(0, 0, horizontal ? size.width() : 0, horizontal ? 0 : size.height());
    g.setColorAt(0, from);
    g.setColorAt(1, to);
    p.fillRect(pixmap.rect(), g);
    return pixmap;
}

QPixmap RoundButton(const QColor &base, const QString &text, bool play, int state)
{
    QPixmap pixmap(133, 65);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);

    const QColor top = state == 1 ? base.lighter(135) : state == 2 ? base.darker(125) : base.lighter(110);
    const QColor bottom = state == 2 ? base.darker(160) : base.darker(130);
    const QRectF body = QRectF(3, 3, 127, 59).translated(state == 2 ? 1 : 0, state == 2 ? 1 : 0);

    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 60));
    p.drawRoundedRect(body.translated(2, 2), 14, 14);

    QLinearGradient fill(body.topLeft(), body.bottomLeft());
    fill.setColorAt(0, top);
    fill.setColorAt(1, bottom);
    p.setBrush(fill);
    p.setPen(QPen(base.darker(170), 1.5));
    p.drawRoundedRect(body, 14, 14);

    // Gloss on the upper half.
    QLinearGradient gloss(body.topLeft(), QPointF(body.left(), body.center().y()));
    gloss.setColorAt(0, QColor(255, 255, 255, state == 2 ? 40 : 110));
    gloss.setColorAt(1, QColor(255, 255, 255, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(gloss);
    p.drawRoundedRect(body.adjusted(3, 2, -3, -body.height() / 2), 11, 11);

    // Round symbol on the left: a play triangle or a stop square.
    const QPointF c(body.left() + 30, body.center().y());
    QRadialGradient disc(c, 20);
    disc.setColorAt(0, QColor(255, 255, 255, 235));
    disc.setColorAt(1, QColor(225, 232, 242));
    p.setBrush(disc);
    p.setPen(QPen(base.darker(150), 1));
    p.drawEllipse(c, 19, 19);
    p.setBrush(base.darker(115));
    p.setPen(Qt::NoPen);
    if (play) {
        QPainterPath tri;
        tri.moveTo(c.x() - 6, c.y() - 10);
        tri.lineTo(c.x() + 11, c.y());
        tri.lineTo(c.x() - 6, c.y() + 10);
        tri.closeSubpath();
        p.drawPath(tri);
    } else {
        p.drawRoundedRect(QRectF(c.x() - 8, c.y() - 8, 16, 16), 2, 2);
    }

    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(22);
    font.setBold(true);
    p.setFont(font);
    const QRectF textRect(body.left() + 54, body.top(), body.width() - 60, body.height());
    p.setPen(QColor(0, 0, 0, 90));
    p.drawText(textRect.translated(1, 1), Qt::AlignVCenter | Qt::AlignLeft, text);
    p.setPen(Qt::white);
    p.drawText(textRect, Qt::AlignVCenter | Qt::AlignLeft, text);
    return pixmap;
}

} // namespace

namespace Pictures {

std::array<QPixmap, 3> StartButton()
{
    const QColor green(46, 150, 74);
    return {RoundButton(green, QStringLiteral("Start"), true, 0),
            RoundButton(green, QStringLiteral("Start"), true, 1),
            RoundButton(green, QStringLiteral("Start"), true, 2)};
}

std::array<QPixmap, 3> StopButton()
{
    const QColor red(184, 52, 46);
    return {RoundButton(red, QStringLiteral("Stop"), false, 0),
            RoundButton(red, QStringLiteral("Stop"), false, 1),
            RoundButton(red, QStringLiteral("Stop"), false, 2)};
}

QPixmap StartBackground(const QSize &size)
{
    QPixmap pixmap(size);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, size.height());
    sky.setColorAt(0, QColor(236, 242, 250));
    sky.setColorAt(1, QColor(196, 214, 238));
    p.fillRect(pixmap.rect(), sky);

    // A disc, drawn as rings, in the lower right.
    const QPointF c(size.width() * 0.72, size.height() * 0.58);
    const qreal r = qMin(size.width(), size.height()) * 0.36;
    QRadialGradient disc(c, r);
    disc.setColorAt(0.0, QColor(255, 255, 255));
    disc.setColorAt(0.35, QColor(214, 226, 245));
    disc.setColorAt(0.7, QColor(176, 200, 236));
    disc.setColorAt(1.0, QColor(150, 178, 222));
    p.setPen(QPen(QColor(120, 150, 200), 1.5));
    p.setBrush(disc);
    p.drawEllipse(c, r, r);
    p.setBrush(QColor(236, 242, 250));
    p.drawEllipse(c, r * 0.16, r * 0.16);
    p.setBrush(Qt::NoBrush);
    for (qreal k = 0.3; k < 0.95; k += 0.12) {
        p.setPen(QPen(QColor(255, 255, 255, 90), 1));
        p.drawEllipse(c, r * k, r * k);
    }
    // A light sweep across the disc.
    QPainterPath sweep;
    sweep.moveTo(c);
    sweep.arcTo(QRectF(c.x() - r, c.y() - r, 2 * r, 2 * r), 20, 35);
    sweep.closeSubpath();
    p.fillPath(sweep, QColor(255, 255, 255, 80));
    return pixmap;
}

QPixmap MarginStrip(const QSize &size, bool vertical)
{
    return Gradient(size, kDeepBlue, kSteel, vertical);
}

QPixmap PanelBackground(const QSize &size)
{
    return Gradient(size, QColor(214, 226, 242), QColor(180, 200, 228), false);
}

QPixmap PreviewButtonStrip(const QSize &size)
{
    QPixmap pixmap = Gradient(size, QColor(70, 78, 92), QColor(32, 36, 44), false);
    QPainter p(&pixmap);
    p.setPen(QColor(110, 120, 138));
    p.drawLine(0, 0, size.width(), 0);
    return pixmap;
}

QPixmap HeaderTile()
{
    QPixmap pixmap(16, 17);
    QPainter p(&pixmap);
    QLinearGradient g(0, 0, 0, 17);
    g.setColorAt(0, QColor(250, 252, 255));
    g.setColorAt(0.5, QColor(226, 234, 246));
    g.setColorAt(1, QColor(196, 210, 232));
    p.fillRect(pixmap.rect(), g);
    p.setPen(QColor(170, 186, 212));
    p.drawLine(0, 16, 15, 16);
    return pixmap;
}

QPixmap TitleIcon()
{
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    QRadialGradient g(QPointF(8, 8), 8);
    g.setColorAt(0, Qt::white);
    g.setColorAt(1, kSky);
    p.setBrush(g);
    p.setPen(QPen(kSteel, 1));
    p.drawEllipse(QRectF(1, 1, 14, 14));
    p.setBrush(Qt::white);
    p.drawEllipse(QRectF(6, 6, 4, 4));
    return pixmap;
}

QPixmap ChapterIcon()
{
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(QColor(250, 250, 250));
    p.setPen(QPen(kSteel, 1));
    p.drawRect(QRectF(2.5, 3.5, 11, 9));
    p.setPen(Qt::NoPen);
    p.setBrush(kSteel);
    for (int y = 4; y < 13; y += 3) {
        p.drawRect(QRectF(3, y, 1.5, 1.5));
        p.drawRect(QRectF(11.5, y, 1.5, 1.5));
    }
    return pixmap;
}

QPixmap Glyph(const QString &name)
{
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(kDeepBlue, 1.4));
    p.setBrush(kSky);
    if (name == QLatin1String("play")) {
        QPainterPath t;
        t.moveTo(4, 2);
        t.lineTo(13, 8);
        t.lineTo(4, 14);
        t.closeSubpath();
        p.drawPath(t);
    } else if (name == QLatin1String("pause")) {
        p.drawRect(QRectF(3.5, 2.5, 3, 11));
        p.drawRect(QRectF(9.5, 2.5, 3, 11));
    } else if (name == QLatin1String("stop")) {
        p.drawRect(QRectF(3.5, 3.5, 9, 9));
    } else if (name == QLatin1String("disc")) {
        p.drawEllipse(QRectF(1.5, 1.5, 13, 13));
        p.setBrush(Qt::white);
        p.drawEllipse(QRectF(6, 6, 4, 4));
    } else if (name == QLatin1String("folder")) {
        QPainterPath f;
        f.moveTo(1.5, 4.5);
        f.lineTo(6, 4.5);
        f.lineTo(7.5, 6);
        f.lineTo(14.5, 6);
        f.lineTo(14.5, 13.5);
        f.lineTo(1.5, 13.5);
        f.closeSubpath();
        p.setBrush(QColor(240, 200, 90));
        p.setPen(QPen(QColor(150, 110, 30), 1.2));
        p.drawPath(f);
    } else if (name == QLatin1String("scissors")) {
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QRectF(1.5, 9.5, 4.5, 4.5));
        p.drawEllipse(QRectF(10, 9.5, 4.5, 4.5));
        p.drawLine(QPointF(5, 10), QPointF(12, 2));
        p.drawLine(QPointF(11, 10), QPointF(4, 2));
    } else if (name == QLatin1String("gear")) {
        p.setBrush(kSky);
        for (int i = 0; i < 8; ++i) {
            p.save();
            p.translate(8, 8);
            p.rotate(45 * i);
            p.drawRect(QRectF(-1.5, -7.5, 3, 3));
            p.restore();
        }
        p.drawEllipse(QRectF(3, 3, 10, 10));
        p.setBrush(Qt::white);
        p.drawEllipse(QRectF(6, 6, 4, 4));
    } else if (name == QLatin1String("help")) {
        p.drawEllipse(QRectF(1.5, 1.5, 13, 13));
        QFont f(QStringLiteral("DejaVu Sans"));
        f.setPixelSize(11);
        f.setBold(true);
        p.setFont(f);
        p.setPen(kDeepBlue);
        p.drawText(QRectF(0, 0, 16, 16), Qt::AlignCenter, QStringLiteral("?"));
    } else if (name == QLatin1String("info")) {
        p.drawEllipse(QRectF(1.5, 1.5, 13, 13));
        QFont f(QStringLiteral("DejaVu Serif"));
        f.setPixelSize(11);
        f.setBold(true);
        p.setFont(f);
        p.setPen(kDeepBlue);
        p.drawText(QRectF(0, 0, 16, 16), Qt::AlignCenter, QStringLiteral("i"));
    } else if (name == QLatin1String("web")) {
        p.setBrush(kSky);
        p.drawEllipse(QRectF(1.5, 1.5, 13, 13));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QRectF(5, 1.5, 6, 13));
        p.drawLine(QPointF(1.5, 8), QPointF(14.5, 8));
    }
    return pixmap;
}

} // namespace Pictures
