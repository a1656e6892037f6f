#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>
#include <QVector>

#include <stdexcept>

// The arithmetic of the two-thumb range slider: thumb shapes, ruler geometry,
// position/pixel conversion, tick marks and the moves of drags and arrow keys.
// The widget (preview/ui/MkRangeSlider.h) paints and handles input with it.

enum TmkOrientation { rsHorizontal, rsVertical };
enum TmkTickStyle { rsBottomRight, rsTopLeft };
enum TmkThumbStyle { rsStandard, rsTriangle, rsCorner, rsArrow };

// Raised by the slider for a range that would cross ("Max <= Min", "Min >= Max").
class EmkRangeSlider : public std::runtime_error
{
public:
    explicit EmkRangeSlider(const QString &message)
        : std::runtime_error(message.toStdString()), FMessage(message)
    {
    }
    const QString &Message() const { return FMessage; }

private:
    QString FMessage;
};

inline const QString RangeSliderMaxError = QStringLiteral("Max <= Min");
inline const QString RangeSliderMinError = QStringLiteral("Min >= Max");
inline const QString RangeSliderNoSliderError = QStringLiteral("Slider not assigned to bitmap");

constexpr int RangeSliderRulerThickness = 11;
constexpr int RangeSliderThumbScale = 3;
constexpr int RangeSliderMinRulerLength = 30;

// A thumb shape: the point that sits on the ruler's centre line, and the polygon.
struct TmkPointsArray
{
    QPoint Anchor;
    QVector<QPoint> Points;
};

// The half-shape of a style in unscaled units.
TmkPointsArray ThumbHalfShape(TmkThumbStyle style);

// Mirrors (x -> -x, order reversed), turns by quarterTurns, shifts negative
// minima to 0 and scales by the thumb scale.
TmkPointsArray BuildThumbShape(const TmkPointsArray &half, bool mirrored, int quarterTurns);

// The bitmap size of a built shape: largest x + 1 by largest y + 1.
QSize ThumbBitmapSize(const TmkPointsArray &shape);

struct TThumbTurn
{
    int QuarterTurns = 0;
    bool FirstMirrored = false; // the second thumb always has the opposite mirroring
};
TThumbTurn ThumbTurnFor(TmkOrientation orientation, TmkTickStyle tickStyle);

struct TRulerGeometry
{
    int RulerLength = 0;
    QRect RulerRect;
    double PixelsPerUnit = 0;
    QSize ControlSize; // the control's size, changed when a ruler length was asked for
};

// requestedRulerLength: what OnGetRullerLength answered, or 0 when nobody answers.
TRulerGeometry ComputeRulerGeometry(TmkOrientation orientation, QSize controlSize, QSize thumbSize,
                                    QPoint firstAnchor, int requestedRulerLength, int min, int max);

// round((v - min) * pixelsPerUnit), halves to even.
int PositionToPixel(int v, int min, double pixelsPerUnit);
// round(p / pixelsPerUnit) + min, halves to even; min when the ruler has no length.
int PixelToPosition(int p, int min, double pixelsPerUnit);

// Where a thumb's bitmap goes on the control: its anchor on the ruler's centre
// line at pixel offset along the ruler.
QRect ThumbRectOnControl(TmkOrientation orientation, const QRect &rulerRect, int offset, QPoint anchor,
                         QSize bitmapSize);

// The step between tick marks: frequency when it is at least 1, else the first
// of 1, 2, 5, 10, 20, 50, ... that puts marks at least 5 pixels apart.
int TickStep(int frequency, int rulerLength, int min, int max);

struct TTickMark
{
    int Value = 0;
    bool Major = false;
};
// The marks from min - (min mod step) while below max.
QVector<TTickMark> TickMarks(int frequency, int rulerLength, int min, int max);

// One assignment of a drag or key move, in the order it must be made.
struct TPositionMove
{
    bool First = true; // MinPosition, else MaxPosition
    int Value = 0;
};

enum TmkDragThumb { dtNone, dtFirst, dtSecond };

// The assignments for a drag step to position v.
QVector<TPositionMove> DragMoves(TmkDragThumb thumb, bool shift, int v, int min, int max, int minPosition,
                                 int maxPosition);

enum TmkKeyMode { kmFirst, kmSecond, kmBoth };
// +1/-1 for an arrow key (Qt key code), 0 for any other key. Vertical sliders grow downwards.
int ArrowKeyStep(int key, TmkOrientation orientation);
QVector<TPositionMove> KeyMoves(TmkKeyMode mode, int step, int min, int max, int minPosition,
                                int maxPosition);

// Rounds seconds (or any unit) to a slider value, halves to even, kept inside the int range.
int RoundToSliderValue(double value);
