#include "preview/ui/MkRangeSlider.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QRegion>
#include <QTimer>

#include <utility>

namespace {

const QRgb TransparentRed = qRgb(255, 0, 0);

// The pixels of image that are not the transparent colour, as a region.
QRegion OpaqueRegion(const QImage &image)
{
    QRegion region;
    for (int y = 0; y < image.height(); ++y) {
        int x = 0;
        while (x < image.width()) {
            while (x < image.width() && image.pixel(x, y) == TransparentRed)
                ++x;
            const int start = x;
            while (x < image.width() && image.pixel(x, y) != TransparentRed)
                ++x;
            if (x > start)
                region += QRect(start, y, x - start, 1);
        }
    }
    return region;
}

void FillRegion(QPainter &painter, const QRegion &region, const QColor &color)
{
    for (const QRect &r : region)
        painter.fillRect(r, color);
}

} // namespace

// ---- TmkThumbBitmap ----

void TmkThumbBitmap::Build(const TmkPointsArray &shape, const QPalette &palette)
{
    FAnchor = shape.Anchor;
    QImage image(ThumbBitmapSize(shape), QImage::Format_ARGB32);
    image.fill(TransparentRed);
    {
        QPainter painter(&image);
        const QColor face = palette.color(QPalette::Button);
        painter.setPen(face);
        painter.setBrush(face);
        painter.drawPolygon(QPolygon(shape.Points));
    }
    // The bevel: lit where the shape has no pixel above or to the left,
    // shaded where it has none below or to the right.
    const QRegion body = OpaqueRegion(image);
    {
        QPainter painter(&image);
        const QColor highlight = palette.color(QPalette::Light);
        const QColor shadow = palette.color(QPalette::Dark);
        FillRegion(painter, body - body.translated(0, 1), highlight);
        FillRegion(painter, body - body.translated(1, 0), highlight);
        FillRegion(painter, body - body.translated(0, -1), shadow);
        FillRegion(painter, body - body.translated(-1, 0), shadow);
    }
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) == TransparentRed)
                image.setPixel(x, y, qRgba(0, 0, 0, 0));
    FImage = image;
    FullRedraw = true;
}

QRect TmkThumbBitmap::Draw(QImage &canvas)
{
    if (!FSlider)
        throw EmkRangeSlider(RangeSliderNoSliderError);
    QRect changed;
    if (FullRedraw) {
        FRect = FSlider->ThumbRect(FSecond);
        FBackground = canvas.copy(FRect);
        FullRedraw = false;
    } else {
        {
            QPainter painter(&canvas);
            painter.drawImage(FRect.topLeft(), FBackground);
        }
        changed = FRect;
        FRect = FSlider->ThumbRect(FSecond);
        FBackground = canvas.copy(FRect);
    }
    QPainter painter(&canvas);
    painter.drawImage(FRect.topLeft(), FImage);
    return changed | FRect;
}

// ---- TmkRangeSlider ----

TmkRangeSlider::TmkRangeSlider(QWidget *parent) : QWidget(parent), FThumb1(this, false), FThumb2(this, true)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
    resize(200, 32);
    BuildThumbs();
    UpdateGeometry();
}

TmkRangeSlider::~TmkRangeSlider() = default;

void TmkRangeSlider::BuildThumbs()
{
    const TThumbTurn turn = ThumbTurnFor(FOrientation, FTickStyle);
    FThumbShape = ThumbHalfShape(FThumbStyle);
    FThumb1.Build(BuildThumbShape(FThumbShape, turn.FirstMirrored, turn.QuarterTurns), palette());
    FThumb2.Build(BuildThumbShape(FThumbShape, !turn.FirstMirrored, turn.QuarterTurns), palette());
    if (FOrientation == rsHorizontal)
        setMinimumSize(50, 10);
    else
        setMinimumSize(10, 50);
}

void TmkRangeSlider::UpdateGeometry()
{
    int requested = 0;
    if (OnGetRullerLength) {
        requested = FGeometry.RulerLength;
        OnGetRullerLength(this, requested);
        requested = std::max(requested, RangeSliderMinRulerLength);
    }
    FGeometry = ComputeRulerGeometry(FOrientation, size(), FThumb1.Image().size(), FThumb1.Anchor(),
                                     requested, FMin, FMax);
    if (FGeometry.ControlSize != size()) {
        // The asked-for ruler length sets the control's size; not from inside a paint.
        const QSize wanted = FGeometry.ControlSize;
        QTimer::singleShot(0, this, [this, wanted] { resize(wanted); });
    }
}

int TmkRangeSlider::PositionToPixel(int v) const
{
    return ::PositionToPixel(v, FMin, FGeometry.PixelsPerUnit);
}

int TmkRangeSlider::PixelToPosition(int p) const
{
    return ::PixelToPosition(p, FMin, FGeometry.PixelsPerUnit);
}

QRect TmkRangeSlider::ThumbRect(bool second) const
{
    const TmkThumbBitmap &thumb = second ? FThumb2 : FThumb1;
    const int offset = second ? PositionToPixel(FMaxPosition) : PositionToPixel(FMinPosition) - 1;
    return ThumbRectOnControl(FOrientation, FGeometry.RulerRect, offset, thumb.Anchor(),
                              thumb.Image().size());
}

// ---- setters ----

void TmkRangeSlider::FireBeforeChange()
{
    if (OnBeforeChange)
        OnBeforeChange(this);
}

void TmkRangeSlider::FireChange()
{
    if (FChangeNotification && OnChange)
        OnChange(this);
}

void TmkRangeSlider::SetMinPosition(int value)
{
    if (value == FMinPosition)
        return;
    if (IsUpdating()) {
        FMinPosition = value;
        return;
    }
    FireBeforeChange();
    FMinPosition = value < FMin ? FMin : value > FMaxPosition ? FMaxPosition : value;
    RedrawThumb(false);
    if (OnMinPosChange)
        OnMinPosChange(this, FMinPosition);
    FireChange();
}

void TmkRangeSlider::SetMaxPosition(int value)
{
    if (value == FMaxPosition)
        return;
    if (IsUpdating()) {
        FMaxPosition = value;
        return;
    }
    FireBeforeChange();
    FMaxPosition = value < FMinPosition ? FMinPosition : value > FMax ? FMax : value;
    RedrawThumb(true);
    if (OnMaxPosChange)
        OnMaxPosChange(this, FMaxPosition);
    FireChange();
}

void TmkRangeSlider::ApplyRangeChange(const TmkPositionChangeEvent &event, int value)
{
    // OnBeforeChange already sees the new bound but not yet the clamped positions.
    FireBeforeChange();
    if (FMinPosition < FMin)
        FMinPosition = FMin;
    if (FMaxPosition < FMin)
        FMaxPosition = FMin;
    if (FMinPosition > FMax)
        FMinPosition = FMax;
    if (FMaxPosition > FMax)
        FMaxPosition = FMax;
    UpdateGeometry();
    RepaintAll();
    if (event)
        event(this, value);
    FireChange();
}

void TmkRangeSlider::SetMax(int value)
{
    if (value <= FMin)
        throw EmkRangeSlider(RangeSliderMaxError);
    FMax = value;
    if (IsUpdating())
        return;
    ApplyRangeChange(OnMaxChange, FMax);
}

void TmkRangeSlider::SetMin(int value)
{
    if (value >= FMax)
        throw EmkRangeSlider(RangeSliderMinError);
    FMin = value;
    if (IsUpdating())
        return;
    ApplyRangeChange(OnMinChange, FMin);
}

void TmkRangeSlider::SetFrequency(int value)
{
    if (value == FFrequency || value < 0)
        return;
    FireBeforeChange();
    FFrequency = value;
    RepaintAll();
}

void TmkRangeSlider::SetOrientation(TmkOrientation value)
{
    if (value == FOrientation)
        return;
    FireBeforeChange();
    FOrientation = value;
    if (!IsUpdating()) {
        const QSize turned = size().transposed();
        setMinimumSize(0, 0);
        resize(turned);
    }
    BuildThumbs();
    UpdateGeometry();
    RepaintAll();
}

void TmkRangeSlider::SetTickStyle(TmkTickStyle value)
{
    if (value == FTickStyle)
        return;
    FireBeforeChange();
    FTickStyle = value;
    BuildThumbs();
    UpdateGeometry();
    RepaintAll();
}

void TmkRangeSlider::SetThumbStyle(TmkThumbStyle value)
{
    if (value == FThumbStyle)
        return;
    FireBeforeChange();
    FThumbStyle = value;
    BuildThumbs();
    UpdateGeometry();
    RepaintAll();
}

void TmkRangeSlider::EndUpdate()
{
    if (FUpdating > 0 && --FUpdating == 0) {
        UpdateGeometry();
        RepaintAll();
    }
}

// ---- painting ----

void TmkRangeSlider::RepaintAll()
{
    FFullPaintPending = true;
    update();
}

void TmkRangeSlider::RedrawThumb(bool second)
{
    if (FFullPaintPending || FCanvas.size() != size()) {
        update(); // the whole picture is redrawn anyway
        return;
    }
    update((second ? FThumb2 : FThumb1).Draw(FCanvas));
}

QImage TmkRangeSlider::PaintRuler() const
{
    const int length = FGeometry.RulerLength;
    if (length <= 0)
        return QImage();
    const bool horizontal = FOrientation == rsHorizontal;
    const int thickness = RangeSliderRulerThickness;
    QImage ruler(horizontal ? QSize(length, thickness) : QSize(thickness, length), QImage::Format_RGB32);
    ruler.fill(palette().color(QPalette::Midlight));
    QPainter painter(&ruler);
    const QColor shadow = palette().color(QPalette::Dark);
    const QColor highlight = palette().color(QPalette::Light);
    const int w = ruler.width(), h = ruler.height();
    painter.fillRect(0, 0, w, 1, shadow);
    painter.fillRect(0, 0, 1, h, shadow);
    painter.fillRect(0, h - 1, w, 1, highlight);
    painter.fillRect(w - 1, 0, 1, h, highlight);

    // The marks are ellipses two pixels wide outlined with the shadow pen, so
    // the outline is all that shows of them.
    const int centre = thickness / 2;
    const int majorLength = thickness - 4;
    for (const TTickMark &mark : TickMarks(FFrequency, length, FMin, FMax)) {
        const int p = PositionToPixel(mark.Value);
        const int across = mark.Major ? majorLength : 2;
        const int from = mark.Major ? 2 : centre - 1;
        if (horizontal)
            painter.fillRect(p - 1, from, 2, across, shadow);
        else
            painter.fillRect(from, p - 1, across, 2, shadow);
    }
    return ruler;
}

void TmkRangeSlider::Paint()
{
    UpdateGeometry();
    FCanvas = QImage(size(), QImage::Format_RGB32);
    FCanvas.fill(palette().color(QPalette::Window));
    {
        QPainter painter(&FCanvas);
        const QImage ruler = PaintRuler();
        if (!ruler.isNull())
            painter.drawImage(FGeometry.RulerRect.topLeft(), ruler);
    }
    FThumb1.FullRedraw = true;
    FThumb1.Draw(FCanvas);
    FThumb2.FullRedraw = true;
    FThumb2.Draw(FCanvas);
    FFullPaintPending = false;
}

const QImage &TmkRangeSlider::Canvas()
{
    if (FFullPaintPending || FCanvas.size() != size())
        Paint();
    return FCanvas;
}

void TmkRangeSlider::DrawOnCanvas(const std::function<void(QPainter &)> &draw)
{
    Canvas();
    {
        QPainter painter(&FCanvas);
        draw(painter);
    }
    update();
}

void TmkRangeSlider::paintEvent(QPaintEvent *event)
{
    Canvas();
    QPainter painter(this);
    painter.drawImage(event->rect(), FCanvas, event->rect());
}

void TmkRangeSlider::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    UpdateGeometry();
    RepaintAll();
}

void TmkRangeSlider::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::PaletteChange) {
        BuildThumbs();
        RepaintAll();
    }
}

// ---- input ----

void TmkRangeSlider::ApplyMoves(const QVector<TPositionMove> &moves)
{
    for (const TPositionMove &move : moves) {
        if (move.First)
            SetMinPosition(move.Value);
        else
            SetMaxPosition(move.Value);
    }
}

void TmkRangeSlider::keyPressEvent(QKeyEvent *event)
{
    FChangeNotification = true;
    const int step = ArrowKeyStep(event->key(), FOrientation);
    if (step == 0) {
        QWidget::keyPressEvent(event);
        return;
    }
    const Qt::KeyboardModifiers modifiers = event->modifiers();
    const TmkKeyMode mode = modifiers.testFlag(Qt::ShiftModifier)     ? kmBoth
                            : modifiers.testFlag(Qt::ControlModifier) ? kmSecond
                                                                      : kmFirst;
    ApplyMoves(KeyMoves(mode, step, FMin, FMax, FMinPosition, FMaxPosition));
    event->accept();
}

void TmkRangeSlider::mousePressEvent(QMouseEvent *event)
{
    if (!hasFocus())
        setFocus(Qt::MouseFocusReason);
    if (event->button() != Qt::LeftButton)
        return;
    const QPoint at = event->position().toPoint();
    if (ThumbRect(false).contains(at))
        FDragThumb = dtFirst;
    else if (ThumbRect(true).contains(at))
        FDragThumb = dtSecond;
    else
        return;
    const int along = FOrientation == rsHorizontal ? at.x() : at.y();
    FDragOffset = PositionToPixel(FDragThumb == dtFirst ? FMinPosition : FMaxPosition) - along;
    FDragging = true;
    FChangeNotification = false;
    FPressMinPosition = FMinPosition;
    FPressMaxPosition = FMaxPosition;
}

void TmkRangeSlider::mouseMoveEvent(QMouseEvent *event)
{
    if (!FDragging)
        return;
    const QPoint at = event->position().toPoint();
    const int along = FOrientation == rsHorizontal ? at.x() : at.y();
    const int v = PixelToPosition(along + FDragOffset);
    ApplyMoves(DragMoves(FDragThumb, event->modifiers().testFlag(Qt::ShiftModifier), v, FMin, FMax,
                         FMinPosition, FMaxPosition));
}

void TmkRangeSlider::mouseReleaseEvent(QMouseEvent *)
{
    // Only the release that ends a drag reports, and change notification is
    // always back on afterwards, also when the thumb did not move.
    if (!FDragging)
        return;
    FDragging = false;
    FDragThumb = dtNone;
    FChangeNotification = true;
    if (FMinPosition != FPressMinPosition || FMaxPosition != FPressMaxPosition)
        FireChange();
}

void TmkRangeSlider::focusInEvent(QFocusEvent *event)
{
    QWidget::focusInEvent(event);
}

void TmkRangeSlider::focusOutEvent(QFocusEvent *event)
{
    QWidget::focusOutEvent(event);
}
