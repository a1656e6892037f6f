#include "preview/RangeSliderModel.h"

#include <QtGlobal>

#include <algorithm>
#include <climits>
#include <cmath>

namespace {

int ClampToInt(long long v)
{
    return static_cast<int>(std::clamp<long long>(v, INT_MIN, INT_MAX));
}

int RoundHalfEvenToInt(double v)
{
    if (std::isnan(v))
        return 0;
    if (v >= static_cast<double>(INT_MAX))
        return INT_MAX;
    if (v <= static_cast<double>(INT_MIN))
        return INT_MIN;
    return static_cast<int>(std::nearbyint(v)); // the default rounding mode: halves to even
}

bool InRange(long long v, int min, int max)
{
    return v >= min && v <= max;
}

} // namespace

int RoundToSliderValue(double value)
{
    return RoundHalfEvenToInt(value);
}

TmkPointsArray ThumbHalfShape(TmkThumbStyle style)
{
    switch (style) {
    case rsTriangle:
        return {QPoint(3, 3), {QPoint(3, 0), QPoint(3, 6), QPoint(0, 3)}};
    case rsCorner:
        return {QPoint(6, 3), {QPoint(0, 0), QPoint(6, 0), QPoint(6, 6)}};
    case rsArrow:
        return {QPoint(7, 4),
                {QPoint(0, 3), QPoint(3, 3), QPoint(3, 0), QPoint(7, 4), QPoint(3, 8), QPoint(3, 5),
                 QPoint(0, 5)}};
    case rsStandard:
    default:
        return {QPoint(3, 3), {QPoint(0, 0), QPoint(3, 0), QPoint(3, 7), QPoint(0, 4)}};
    }
}

TmkPointsArray BuildThumbShape(const TmkPointsArray &half, bool mirrored, int quarterTurns)
{
    TmkPointsArray shape = half;
    if (mirrored) {
        for (QPoint &p : shape.Points)
            p.setX(-p.x());
        std::reverse(shape.Points.begin(), shape.Points.end());
        shape.Anchor.setX(-shape.Anchor.x());
    }
    auto turn = [q = ((quarterTurns % 4) + 4) % 4](const QPoint &p) {
        switch (q) {
        case 1:
            return QPoint(-p.y(), p.x());
        case 2:
            return QPoint(-p.x(), -p.y());
        case 3:
            return QPoint(p.y(), -p.x());
        default:
            return p;
        }
    };
    for (QPoint &p : shape.Points)
        p = turn(p);
    shape.Anchor = turn(shape.Anchor);

    int minX = 0, minY = 0;
    for (const QPoint &p : shape.Points) {
        minX = std::min(minX, p.x());
        minY = std::min(minY, p.y());
    }
    const QPoint shift(-minX, -minY);
    for (QPoint &p : shape.Points)
        p = (p + shift) * RangeSliderThumbScale;
    shape.Anchor = (shape.Anchor + shift) * RangeSliderThumbScale;
    return shape;
}

QSize ThumbBitmapSize(const TmkPointsArray &shape)
{
    int maxX = 0, maxY = 0;
    for (const QPoint &p : shape.Points) {
        maxX = std::max(maxX, p.x());
        maxY = std::max(maxY, p.y());
    }
    return QSize(maxX + 1, maxY + 1);
}

TThumbTurn ThumbTurnFor(TmkOrientation orientation, TmkTickStyle tickStyle)
{
    if (orientation == rsHorizontal)
        return tickStyle == rsBottomRight ? TThumbTurn{0, false} : TThumbTurn{2, true};
    return tickStyle == rsBottomRight ? TThumbTurn{3, true} : TThumbTurn{1, false};
}

TRulerGeometry ComputeRulerGeometry(TmkOrientation orientation, QSize controlSize, QSize thumbSize,
                                    QPoint firstAnchor, int requestedRulerLength, int min, int max)
{
    constexpr int halfThickness = RangeSliderRulerThickness / 2;
    TRulerGeometry g;
    g.ControlSize = controlSize;
    int rulerLength = requestedRulerLength;
    if (orientation == rsHorizontal) {
        if (rulerLength > 0)
            g.ControlSize.setWidth(2 * thumbSize.width() + rulerLength + 6);
        else
            rulerLength = controlSize.width() - 2 * thumbSize.width() - 6;
        const int top = firstAnchor.y() > halfThickness ? firstAnchor.y() - halfThickness + 2 : 2;
        g.RulerRect = QRect(thumbSize.width() + 3, top, std::max(rulerLength, 0), RangeSliderRulerThickness);
    } else {
        if (rulerLength > 0)
            g.ControlSize.setHeight(2 * thumbSize.height() + rulerLength + 6);
        else
            rulerLength = controlSize.height() - 2 * thumbSize.height() - 6;
        const int left = firstAnchor.x() > halfThickness ? firstAnchor.x() - halfThickness + 2 : 2;
        g.RulerRect =
            QRect(left, thumbSize.height() + 3, RangeSliderRulerThickness, std::max(rulerLength, 0));
    }
    g.RulerLength = rulerLength;
    g.PixelsPerUnit =
        static_cast<double>(rulerLength) / (static_cast<double>(max) - static_cast<double>(min));
    return g;
}

int PositionToPixel(int v, int min, double pixelsPerUnit)
{
    return RoundHalfEvenToInt((static_cast<double>(v) - static_cast<double>(min)) * pixelsPerUnit);
}

int PixelToPosition(int p, int min, double pixelsPerUnit)
{
    if (!(pixelsPerUnit > 0))
        return min; // a ruler without length has every pixel at its start
    return ClampToInt(static_cast<long long>(RoundHalfEvenToInt(p / pixelsPerUnit)) + min);
}

QRect ThumbRectOnControl(TmkOrientation orientation, const QRect &rulerRect, int offset, QPoint anchor,
                         QSize bitmapSize)
{
    constexpr int halfThickness = RangeSliderRulerThickness / 2;
    QPoint at;
    if (orientation == rsHorizontal)
        at = QPoint(rulerRect.left() + offset, rulerRect.top() + halfThickness);
    else
        at = QPoint(rulerRect.left() + halfThickness, rulerRect.top() + offset);
    return QRect(at - anchor, bitmapSize);
}

int TickStep(int frequency, int rulerLength, int min, int max)
{
    if (frequency >= 1)
        return frequency;
    const long long range = static_cast<long long>(max) - min;
    if (rulerLength <= 0 || range <= 0)
        return 0; // no room for marks
    static const int factors[] = {1, 2, 5};
    for (long long decade = 1; decade <= INT_MAX; decade *= 10)
        for (int factor : factors) {
            const long long f = decade * factor;
            if (f > INT_MAX)
                return 0;
            if (static_cast<long long>(rulerLength) * f / range >= 5)
                return static_cast<int>(f);
        }
    return 0;
}

QVector<TTickMark> TickMarks(int frequency, int rulerLength, int min, int max)
{
    QVector<TTickMark> marks;
    const int f = TickStep(frequency, rulerLength, min, max);
    if (f <= 0)
        return marks;
    const int majorEvery = f < 10 ? 10 : f < 100 ? 100 : 1000;
    // A step of 1 over a huge range would mean billions of marks merged into one
    // grey strip; past this many the strip is drawn from the first marks only.
    constexpr int maxMarks = 1000000;
    for (long long v = static_cast<long long>(min) - (min % f); v < max && marks.size() < maxMarks; v += f)
        marks.append({static_cast<int>(v), v % majorEvery == 0});
    return marks;
}

QVector<TPositionMove> DragMoves(TmkDragThumb thumb, bool shift, int v, int min, int max, int minPosition,
                                 int maxPosition)
{
    if (thumb == dtFirst) {
        if (!shift)
            return {{true, v}};
        const long long n = static_cast<long long>(maxPosition) + (static_cast<long long>(v) - minPosition);
        if (InRange(v, min, max) && InRange(n, min, max))
            return {{true, v}, {false, static_cast<int>(n)}};
    } else if (thumb == dtSecond) {
        if (!shift)
            return {{false, v}};
        const long long n = static_cast<long long>(minPosition) + (static_cast<long long>(v) - maxPosition);
        if (InRange(v, min, max) && InRange(n, min, max))
            return {{false, v}, {true, static_cast<int>(n)}};
    }
    return {};
}

int ArrowKeyStep(int key, TmkOrientation orientation)
{
    int d = 0;
    switch (key) {
    case Qt::Key_Up:
    case Qt::Key_Right:
        d = 1;
        break;
    case Qt::Key_Left:
    case Qt::Key_Down:
        d = -1;
        break;
    default:
        return 0;
    }
    return orientation == rsVertical ? -d : d;
}

QVector<TPositionMove> KeyMoves(TmkKeyMode mode, int step, int min, int max, int minPosition, int maxPosition)
{
    const long long newMin = static_cast<long long>(minPosition) + step;
    const long long newMax = static_cast<long long>(maxPosition) + step;
    switch (mode) {
    case kmFirst:
        return {{true, ClampToInt(newMin)}};
    case kmSecond:
        return {{false, ClampToInt(newMax)}};
    case kmBoth:
        if (InRange(newMin, min, max) && InRange(newMax, min, max))
            return {{true, static_cast<int>(newMin)}, {false, static_cast<int>(newMax)}};
        break;
    }
    return {};
}
