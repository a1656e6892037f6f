// The range slider control on the real widget: setters and their events,
// drags, keys, geometry and painting.
#include "preview/ui/MkRangeSlider.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QtTest>

namespace {

// Every event of a slider, in the order it came, with what the slider held then.
struct EventLog
{
    QStringList entries;

    void Attach(TmkRangeSlider &s)
    {
        s.OnBeforeChange = [this](TmkRangeSlider *x) {
            entries << QStringLiteral("before %1 %2 %3 %4")
                           .arg(x->Min())
                           .arg(x->Max())
                           .arg(x->MinPosition())
                           .arg(x->MaxPosition());
        };
        s.OnMinChange = [this](TmkRangeSlider *, int v) { entries << QStringLiteral("min %1").arg(v); };
        s.OnMaxChange = [this](TmkRangeSlider *, int v) { entries << QStringLiteral("max %1").arg(v); };
        s.OnMinPosChange = [this](TmkRangeSlider *, int v) { entries << QStringLiteral("minpos %1").arg(v); };
        s.OnMaxPosChange = [this](TmkRangeSlider *, int v) { entries << QStringLiteral("maxpos %1").arg(v); };
        s.OnChange = [this](TmkRangeSlider *) { entries << QStringLiteral("change"); };
    }
    int Count(const QString &what) const { return entries.filter(what).size(); }
};

void SendMouse(QWidget *w, QEvent::Type type, QPoint at, Qt::KeyboardModifiers modifiers = Qt::NoModifier,
               Qt::MouseButton button = Qt::LeftButton)
{
    const Qt::MouseButtons held =
        type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button);
    QMouseEvent event(type, QPointF(at), QPointF(w->mapToGlobal(at)),
                      type == QEvent::MouseMove ? Qt::NoButton : button, held, modifiers);
    QApplication::sendEvent(w, &event);
}

QPoint Centre(const QRect &r)
{
    return r.center();
}

// Colours that differ from each other, so that a pixel tells which part drew it.
void UseDistinctColours(QWidget &w)
{
    QPalette p = w.palette();
    p.setColor(QPalette::Window, QColor(0xe0, 0xe0, 0xd0));
    p.setColor(QPalette::Button, QColor(0xc0, 0xc8, 0xd0));
    p.setColor(QPalette::Light, QColor(0xff, 0xff, 0xff));
    p.setColor(QPalette::Midlight, QColor(0xe8, 0xf0, 0xe8));
    p.setColor(QPalette::Dark, QColor(0x80, 0x80, 0x80));
    w.setPalette(p);
}

} // namespace

class RangeSliderTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void newControl();
    void minPositionAboveMaxPosition();
    void sameMaxAgainRunsEverything();
    void beforeChangeSeesOldPositionAndNewMax();
    void rejectedRanges();
    void updatingStoresWithoutChecks();
    void geometryOfTheStandardThumbs();
    void dragWithoutShift();
    void shiftDragBeyondTheRange();
    void secondThumbShiftDragStopsAtMin();
    void clickWithoutMoveKeepsNotifying();
    void keys_data();
    void keys();
    void singleTickAtFrequency100000();
    void positionChangeRepaintsOneThumbOnly();
    void thumbsOfEveryStyleEncloseTheRange();
    void thumbWithoutSlider();
};

void RangeSliderTest::newControl()
{
    TmkRangeSlider s;
    QCOMPARE(s.size(), QSize(200, 32));
    QCOMPARE(s.Min(), 0);
    QCOMPARE(s.Max(), 10);
    QCOMPARE(s.MinPosition(), 0);
    QCOMPARE(s.MaxPosition(), 10);
    QCOMPARE(s.Frequency(), 0);
    QCOMPARE(s.Orientation(), rsHorizontal);
    QCOMPARE(s.TickStyle(), rsBottomRight);
    QCOMPARE(s.ThumbStyle(), rsStandard);
    QVERIFY(s.TabStop());
    QVERIFY(s.ChangeNotification());
    QCOMPARE(s.minimumSize(), QSize(50, 10));
}

void RangeSliderTest::minPositionAboveMaxPosition()
{
    TmkRangeSlider s;
    s.SetMax(100);
    s.SetMaxPosition(40);
    EventLog log;
    log.Attach(s);
    s.SetMinPosition(70);
    QCOMPARE(s.MinPosition(), 40);
    QCOMPARE(log.entries, (QStringList{"before 0 100 0 40", "minpos 40", "change"}));
    s.SetMaxPosition(-5);
    QCOMPARE(s.MaxPosition(), 40);
    s.SetMinPosition(-5);
    QCOMPARE(s.MinPosition(), 0);
    log.entries.clear();
    s.SetMinPosition(0); // unchanged: nothing at all
    s.SetFrequency(-3);
    QVERIFY(log.entries.isEmpty());
    QCOMPARE(s.Frequency(), 0);
}

void RangeSliderTest::sameMaxAgainRunsEverything()
{
    TmkRangeSlider s;
    EventLog log;
    log.Attach(s);
    s.SetMax(10);
    QCOMPARE(log.entries, (QStringList{"before 0 10 0 10", "max 10", "change"}));
}

void RangeSliderTest::beforeChangeSeesOldPositionAndNewMax()
{
    TmkRangeSlider s;
    s.SetMax(100);
    s.SetMaxPosition(80);
    s.SetMinPosition(30);
    EventLog log;
    log.Attach(s);
    s.SetMinPosition(50);
    s.SetMax(20); // positions are clamped only after OnBeforeChange
    s.SetMin(5);
    QCOMPARE(log.entries, (QStringList{"before 0 100 30 80", "minpos 50", "change", "before 0 20 50 80",
                                       "max 20", "change", "before 5 20 20 20", "min 5", "change"}));
    QCOMPARE(s.MinPosition(), 20);
    QCOMPARE(s.MaxPosition(), 20);
}

void RangeSliderTest::rejectedRanges()
{
    TmkRangeSlider s;
    s.SetMax(50);
    s.SetMin(10);
    EventLog log;
    log.Attach(s);
    struct Case
    {
        bool setMax;
        int value;
        QString message;
    };
    const Case cases[] = {{true, 10, "Max <= Min"},
                          {true, 3, "Max <= Min"},
                          {false, 50, "Min >= Max"},
                          {false, 70, "Min >= Max"}};
    for (const Case &c : cases) {
        try {
            if (c.setMax)
                s.SetMax(c.value);
            else
                s.SetMin(c.value);
            QFAIL("range accepted");
        } catch (const EmkRangeSlider &e) {
            QCOMPARE(e.Message(), c.message);
            QCOMPARE(QString::fromStdString(e.what()), c.message);
        }
    }
    QCOMPARE(s.Min(), 10);
    QCOMPARE(s.Max(), 50);
    QVERIFY(log.entries.isEmpty());
}

void RangeSliderTest::updatingStoresWithoutChecks()
{
    TmkRangeSlider s;
    EventLog log;
    log.Attach(s);
    s.BeginUpdate();
    s.SetMax(5);
    s.SetMinPosition(50);
    s.SetMaxPosition(-7);
    QVERIFY_THROWS_EXCEPTION(EmkRangeSlider, s.SetMin(5)); // a crossing is still refused
    s.EndUpdate();
    QCOMPARE(s.MinPosition(), 50);
    QCOMPARE(s.MaxPosition(), -7);
    QVERIFY(log.entries.isEmpty());
}

void RangeSliderTest::geometryOfTheStandardThumbs()
{
    TmkRangeSlider s;
    UseDistinctColours(s);
    s.resize(371, 32);
    s.SetMax(630);
    s.SetMin(312);
    QCOMPARE(s.RulerRect(), QRect(QPoint(13, 6), QPoint(371 - 13 - 1, 16)));
    QCOMPARE(s.RulerLength(), 345);
    QCOMPARE(s.PositionToPixel(312), 0);
    QCOMPARE(s.PositionToPixel(630), 345);
    QCOMPARE(s.PixelToPosition(345), 630);
    s.SetMaxPosition(500);
    s.SetMinPosition(400);
    const int a = s.PositionToPixel(400), b = s.PositionToPixel(500);
    QCOMPARE(s.FirstThumbRect(), QRect(QPoint(a + 3, 2), QPoint(a + 12, 23)));
    QCOMPARE(s.SecondThumbRect(), QRect(QPoint(b + 13, 2), QPoint(b + 22, 23)));

    // What the control shows: the ruler's frame, the thumbs' faces.
    const QImage &canvas = s.Canvas();
    const QPalette p = s.palette();
    QCOMPARE(QColor(canvas.pixel(150, 6)), p.color(QPalette::Dark));
    QCOMPARE(QColor(canvas.pixel(150, 16)), p.color(QPalette::Light));
    QCOMPARE(QColor(canvas.pixel(150, 10)), p.color(QPalette::Midlight));
    QCOMPARE(QColor(canvas.pixel(a + 8, 5)), p.color(QPalette::Button));
    QCOMPARE(QColor(canvas.pixel(a + 8, 2)), p.color(QPalette::Light));   // the bevel's lit top
    QCOMPARE(QColor(canvas.pixel(a + 3, 26)), p.color(QPalette::Window)); // below the thumbs
}

void RangeSliderTest::dragWithoutShift()
{
    TmkRangeSlider s;
    s.resize(226, 32); // 200 pixels of ruler, 2 per unit
    s.SetMax(100);
    s.SetMaxPosition(40);
    s.SetMinPosition(20);
    EventLog log;
    log.Attach(s);
    const QPoint grip = Centre(s.SecondThumbRect());
    SendMouse(&s, QEvent::MouseButtonPress, grip);
    QVERIFY(s.IsDragging());
    SendMouse(&s, QEvent::MouseMove, grip + QPoint(21, 0));
    SendMouse(&s, QEvent::MouseMove, grip + QPoint(30, 5));
    QCOMPARE(s.MaxPosition(), 55);
    QCOMPARE(log.Count("change"), 0); // not while dragging
    SendMouse(&s, QEvent::MouseMove, grip + QPoint(-100, 0));
    QCOMPARE(s.MaxPosition(), 20); // clamped to MinPosition
    SendMouse(&s, QEvent::MouseMove, grip + QPoint(10, 0));
    SendMouse(&s, QEvent::MouseButtonRelease, grip + QPoint(10, 0));
    QCOMPARE(s.MaxPosition(), 45);
    QCOMPARE(log.Count("change"), 1);
    QCOMPARE(log.entries.last(), QStringLiteral("change"));
    QVERIFY(!s.IsDragging());
    QVERIFY(s.ChangeNotification());
}

void RangeSliderTest::shiftDragBeyondTheRange()
{
    TmkRangeSlider s;
    s.resize(226, 32);
    s.SetMax(100);
    s.SetMaxPosition(40);
    s.SetMinPosition(20);
    EventLog log;
    log.Attach(s);
    const QPoint grip = Centre(s.FirstThumbRect());
    SendMouse(&s, QEvent::MouseButtonPress, grip);
    // 50 units to the right, more than the 20 of the range: MinPosition is first
    // clamped to MaxPosition, then MaxPosition moves the full distance.
    SendMouse(&s, QEvent::MouseMove, grip + QPoint(100, 0), Qt::ShiftModifier);
    QCOMPARE(s.MinPosition(), 40);
    QCOMPARE(s.MaxPosition(), 90);
    // A step that would push the end past Max moves nothing.
    SendMouse(&s, QEvent::MouseMove, grip + QPoint(140, 0), Qt::ShiftModifier);
    QCOMPARE(s.MinPosition(), 40);
    QCOMPARE(s.MaxPosition(), 90);
    QCOMPARE(log.Count("change"), 0);
    SendMouse(&s, QEvent::MouseButtonRelease, grip + QPoint(140, 0));
    QCOMPARE(log.Count("change"), 1);
    QCOMPARE(log.Count("minpos"), 1);
    QCOMPARE(log.Count("maxpos"), 1);
}

void RangeSliderTest::secondThumbShiftDragStopsAtMin()
{
    TmkRangeSlider s;
    s.resize(226, 32);
    s.SetMax(100);
    s.SetMaxPosition(40);
    s.SetMinPosition(20);
    const QPoint grip = Centre(s.SecondThumbRect());
    SendMouse(&s, QEvent::MouseButtonPress, grip);
    SendMouse(&s, QEvent::MouseMove, grip - QPoint(30, 0), Qt::ShiftModifier);
    QCOMPARE(s.MaxPosition(), 25);
    QCOMPARE(s.MinPosition(), 5);
    SendMouse(&s, QEvent::MouseMove, grip - QPoint(50, 0), Qt::ShiftModifier);
    QCOMPARE(s.MaxPosition(), 25); // MinPosition would fall below Min
    SendMouse(&s, QEvent::MouseButtonRelease, grip);
}

void RangeSliderTest::clickWithoutMoveKeepsNotifying()
{
    TmkRangeSlider s;
    EventLog log;
    log.Attach(s);
    const QPoint grip = Centre(s.FirstThumbRect());
    SendMouse(&s, QEvent::MouseButtonPress, grip, Qt::NoModifier, Qt::RightButton);
    QVERIFY(!s.IsDragging()); // only the left button drags
    SendMouse(&s, QEvent::MouseButtonPress, grip);
    SendMouse(&s, QEvent::MouseButtonRelease, grip);
    QVERIFY(log.entries.isEmpty());
    s.SetMinPosition(3);
    QCOMPARE(log.Count("change"), 1);
    // A press beside the thumbs picks nothing; its release reports nothing.
    SendMouse(&s, QEvent::MouseButtonPress, QPoint(100, 28));
    QVERIFY(!s.IsDragging());
    SendMouse(&s, QEvent::MouseButtonRelease, QPoint(100, 28));
    QCOMPARE(log.Count("change"), 1);
}

void RangeSliderTest::keys_data()
{
    QTest::addColumn<int>("orientation");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<int>("minPosition");
    QTest::addColumn<int>("maxPosition");
    const int none = Qt::NoModifier, shift = Qt::ShiftModifier, ctrl = Qt::ControlModifier;
    // From 4..6 on 0..10.
    QTest::newRow("horizontal right") << int(rsHorizontal) << int(Qt::Key_Right) << none << 5 << 6;
    QTest::newRow("horizontal down") << int(rsHorizontal) << int(Qt::Key_Down) << none << 3 << 6;
    QTest::newRow("horizontal ctrl up") << int(rsHorizontal) << int(Qt::Key_Up) << ctrl << 4 << 7;
    QTest::newRow("horizontal shift left") << int(rsHorizontal) << int(Qt::Key_Left) << shift << 3 << 5;
    QTest::newRow("vertical down") << int(rsVertical) << int(Qt::Key_Down) << none << 5 << 6;
    QTest::newRow("vertical left") << int(rsVertical) << int(Qt::Key_Left) << none << 5 << 6;
    QTest::newRow("vertical up") << int(rsVertical) << int(Qt::Key_Up) << none << 3 << 6;
    QTest::newRow("vertical ctrl down") << int(rsVertical) << int(Qt::Key_Down) << ctrl << 4 << 7;
    QTest::newRow("vertical shift right") << int(rsVertical) << int(Qt::Key_Right) << shift << 3 << 5;
    QTest::newRow("other key") << int(rsHorizontal) << int(Qt::Key_Home) << none << 4 << 6;
}

void RangeSliderTest::keys()
{
    QFETCH(int, orientation);
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(int, minPosition);
    QFETCH(int, maxPosition);
    TmkRangeSlider s;
    s.SetOrientation(TmkOrientation(orientation));
    if (orientation == rsVertical) {
        QCOMPARE(s.size(), QSize(32, 200)); // width and height swapped
        QCOMPARE(s.minimumSize(), QSize(10, 50));
    }
    s.SetMaxPosition(6);
    s.SetMinPosition(4);
    QKeyEvent press(QEvent::KeyPress, key, Qt::KeyboardModifiers(modifiers));
    QApplication::sendEvent(&s, &press);
    QCOMPARE(s.MinPosition(), minPosition);
    QCOMPARE(s.MaxPosition(), maxPosition);
    QCOMPARE(press.isAccepted(), key != Qt::Key_Home);
}

void RangeSliderTest::singleTickAtFrequency100000()
{
    TmkRangeSlider s;
    UseDistinctColours(s);
    s.resize(371, 32);
    s.SetMax(7200);
    s.SetMinPosition(3000);
    s.SetMaxPosition(3000);
    const QColor inside = s.palette().color(QPalette::Midlight);
    auto marksInside = [&s, &inside] {
        const QImage &canvas = s.Canvas();
        int marked = 0;
        for (int x = 15; x < 371 - 15; ++x) {
            if (s.FirstThumbRect().contains(x, 10) || s.SecondThumbRect().contains(x, 10))
                continue;
            if (QColor(canvas.pixel(x, 11)) != inside)
                ++marked;
        }
        return marked;
    };
    QVERIFY(marksInside() > 0); // chosen automatically: a mark every 200
    s.SetFrequency(100000);
    QCOMPARE(marksInside(), 0);
}

void RangeSliderTest::positionChangeRepaintsOneThumbOnly()
{
    TmkRangeSlider s;
    UseDistinctColours(s);
    s.resize(226, 32);
    s.SetMax(100);
    s.SetMinPosition(20);
    s.SetMaxPosition(60);
    const QRect oldFirst = s.FirstThumbRect();
    // Someone draws over the control, on the ruler and where the first thumb goes.
    s.DrawOnCanvas([](QPainter &p) { p.fillRect(QRect(100, 8, 20, 6), Qt::magenta); });
    s.SetMinPosition(30);
    const QImage &canvas = s.Canvas();
    QCOMPARE(QColor(canvas.pixel(118, 10)), QColor(Qt::magenta)); // the ruler was not redrawn
    QCOMPARE(QColor(canvas.pixel(oldFirst.left() + 8, 10)), s.palette().color(QPalette::Midlight));
    QCOMPARE(QColor(canvas.pixel(s.FirstThumbRect().left() + 8, 5)), s.palette().color(QPalette::Button));
    s.SetFrequency(5); // a repaint of the whole control
    QCOMPARE(QColor(s.Canvas().pixel(118, 10)), s.palette().color(QPalette::Midlight));
}

void RangeSliderTest::thumbsOfEveryStyleEncloseTheRange()
{
    const TmkThumbStyle styles[] = {rsStandard, rsTriangle, rsCorner, rsArrow};
    for (TmkOrientation orientation : {rsHorizontal, rsVertical})
        for (TmkTickStyle tick : {rsBottomRight, rsTopLeft})
            for (TmkThumbStyle style : styles) {
                TmkRangeSlider s;
                s.SetOrientation(orientation);
                s.SetTickStyle(tick);
                s.SetThumbStyle(style);
                s.SetMinPosition(5);
                s.SetMaxPosition(5);
                const QRect first = s.FirstThumbRect(), second = s.SecondThumbRect();
                QVERIFY(QRect(QPoint(0, 0), s.size()).contains(first));
                if (style == rsStandard) {
                    if (orientation == rsHorizontal)
                        QVERIFY(first.right() < second.left());
                    else
                        QVERIFY(first.bottom() < second.top());
                }
                // The thumbs sit on the ruler's centre line across it.
                const int centre =
                    orientation == rsHorizontal ? s.RulerRect().top() + 5 : s.RulerRect().left() + 5;
                const QPoint anchor = first.topLeft() + s.ThumbBitmap(false).Anchor();
                QCOMPARE(orientation == rsHorizontal ? anchor.y() : anchor.x(), centre);
                // The image is transparent outside the polygon and opaque inside.
                const QImage &img = s.ThumbBitmap(false).Image();
                int opaque = 0;
                for (int y = 0; y < img.height(); ++y)
                    for (int x = 0; x < img.width(); ++x)
                        opaque += qAlpha(img.pixel(x, y)) == 255;
                QVERIFY(opaque > img.width() * img.height() / 3);
                QVERIFY(opaque < img.width() * img.height());
            }
}

void RangeSliderTest::thumbWithoutSlider()
{
    TmkThumbBitmap bitmap;
    QImage canvas(20, 20, QImage::Format_RGB32);
    try {
        bitmap.Draw(canvas);
        QFAIL("drawn without slider");
    } catch (const EmkRangeSlider &e) {
        QCOMPARE(e.Message(), QStringLiteral("Slider not assigned to bitmap"));
    }
}

QTEST_MAIN(RangeSliderTest)
#include "uitest_rangeslider.moc"
