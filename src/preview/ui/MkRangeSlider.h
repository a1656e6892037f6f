#pragma once

#include "preview/RangeSliderModel.h"

#include <QImage>
#include <QWidget>

#include <functional>

class TmkRangeSlider;

using TmkPositionChangeEvent = std::function<void(TmkRangeSlider *sender, int value)>;
using TmkNotifyEvent = std::function<void(TmkRangeSlider *sender)>;
using TmkGetRullerLength = std::function<void(TmkRangeSlider *sender, int &value)>;

// One thumb's picture with what it needs to move itself: the slider it
// belongs to, its anchor, the background saved from under it and where it lies.
class TmkThumbBitmap
{
public:
    explicit TmkThumbBitmap(TmkRangeSlider *slider = nullptr, bool second = false)
        : FSlider(slider), FSecond(second)
    {
    }

    void Build(const TmkPointsArray &shape, const QPalette &palette);
    // Draws the thumb at its current place on canvas; with FullRedraw it only
    // saves the background, else it first puts back the background of the old place.
    // Returns the area of canvas that changed.
    QRect Draw(QImage &canvas);

    const QImage &Image() const { return FImage; }
    QPoint Anchor() const { return FAnchor; }
    QRect Rect() const { return FRect; }
    bool FullRedraw = true;

private:
    TmkRangeSlider *FSlider;
    bool FSecond;
    QImage FImage;
    QPoint FAnchor;
    QImage FBackground;
    QRect FRect;
};

// A control that selects a sub-range [MinPosition, MaxPosition] of [Min, Max]
// with two thumbs. It keeps Min < Max and Min <= MinPosition <= MaxPosition <= Max,
// clamping positions and refusing a crossing range with EmkRangeSlider.
class TmkRangeSlider : public QWidget
{
    Q_OBJECT

public:
    explicit TmkRangeSlider(QWidget *parent = nullptr);
    ~TmkRangeSlider() override;

    int Min() const { return FMin; }
    int Max() const { return FMax; }
    int MinPosition() const { return FMinPosition; }
    int MaxPosition() const { return FMaxPosition; }
    int Frequency() const { return FFrequency; }
    TmkOrientation Orientation() const { return FOrientation; }
    TmkTickStyle TickStyle() const { return FTickStyle; }
    TmkThumbStyle ThumbStyle() const { return FThumbStyle; }

    void SetMin(int value);
    void SetMax(int value);
    void SetMinPosition(int value);
    void SetMaxPosition(int value);
    void SetFrequency(int value);
    void SetOrientation(TmkOrientation value);
    void SetTickStyle(TmkTickStyle value);
    void SetThumbStyle(TmkThumbStyle value);

    bool TabStop() const { return focusPolicy() != Qt::NoFocus; }
    void SetTabStop(bool value) { setFocusPolicy(value ? Qt::StrongFocus : Qt::NoFocus); }

    // While updating, the four range setters store their values without
    // clamping the positions, painting or events (a crossing range is still refused).
    void BeginUpdate() { ++FUpdating; }
    void EndUpdate();
    bool IsUpdating() const { return FUpdating > 0; }

    int PositionToPixel(int v) const;
    int PixelToPosition(int p) const;

    // The geometry as of the last computation.
    int RulerLength() const { return FGeometry.RulerLength; }
    QRect RulerRect() const { return FGeometry.RulerRect; }
    double PixelsPerUnit() const { return FGeometry.PixelsPerUnit; }
    QRect FirstThumbRect() const { return ThumbRect(false); }
    QRect SecondThumbRect() const { return ThumbRect(true); }
    QRect ThumbRect(bool second) const;
    const TmkThumbBitmap &ThumbBitmap(bool second) const { return second ? FThumb2 : FThumb1; }

    // The off-screen picture the control shows, brought up to date first.
    const QImage &Canvas();
    // Draws on the control's own surface, as a window that lays its own
    // pictures over the slider does; the drawing stays until the slider next
    // paints that place itself.
    void DrawOnCanvas(const std::function<void(QPainter &)> &draw);

    // A free number for the user of the control.
    int Tag = 0;

    TmkPositionChangeEvent OnMinChange;
    TmkPositionChangeEvent OnMaxChange;
    TmkPositionChangeEvent OnMaxPosChange;
    TmkPositionChangeEvent OnMinPosChange;
    TmkNotifyEvent OnChange;
    TmkGetRullerLength OnGetRullerLength;
    TmkNotifyEvent OnBeforeChange;

    // Whether setter changes fire OnChange; off while a thumb is dragged.
    bool ChangeNotification() const { return FChangeNotification; }
    bool IsDragging() const { return FDragging; }

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

    // Renders ruler and both thumbs into the off-screen picture.
    virtual void Paint();

private:
    void BuildThumbs();
    void UpdateGeometry();
    void RepaintAll();
    void RedrawThumb(bool second);
    void ApplyRangeChange(const TmkPositionChangeEvent &event, int value);
    void ApplyMoves(const QVector<TPositionMove> &moves);
    QImage PaintRuler() const;
    void FireBeforeChange();
    void FireChange();

    int FMin = 0;
    int FMax = 10;
    int FMinPosition = 0;
    int FMaxPosition = 10;
    int FFrequency = 0;
    TmkOrientation FOrientation = rsHorizontal;
    TmkTickStyle FTickStyle = rsBottomRight;
    TmkThumbStyle FThumbStyle = rsStandard;
    int FUpdating = 0;

    TmkPointsArray FThumbShape;
    TmkThumbBitmap FThumb1;
    TmkThumbBitmap FThumb2;
    TRulerGeometry FGeometry;

    QImage FCanvas;
    bool FFullPaintPending = true;

    bool FDragging = false;
    TmkDragThumb FDragThumb = dtNone;
    int FDragOffset = 0;
    int FPressMinPosition = 0;
    int FPressMaxPosition = 0;
    bool FChangeNotification = true;
};
