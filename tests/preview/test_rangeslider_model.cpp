// The range slider's arithmetic: thumb shapes, geometry, conversions, ticks, moves.
#include "preview/RangeSliderModel.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

TmkPointsArray Built(TmkThumbStyle style, TmkOrientation orientation, TmkTickStyle tick, bool second)
{
    const TThumbTurn turn = ThumbTurnFor(orientation, tick);
    return BuildThumbShape(ThumbHalfShape(style), second ? !turn.FirstMirrored : turn.FirstMirrored,
                           turn.QuarterTurns);
}

} // namespace

TEST(RangeSliderShapes, StandardThumbsHorizontalPointingDown)
{
    const TmkPointsArray first = Built(rsStandard, rsHorizontal, rsBottomRight, false);
    EXPECT_EQ(first.Anchor, QPoint(9, 9));
    EXPECT_EQ(first.Points, (QVector<QPoint>{{0, 0}, {9, 0}, {9, 21}, {0, 12}}));
    EXPECT_EQ(ThumbBitmapSize(first), QSize(10, 22));

    // The second thumb is the mirror image, its anchor on its left edge.
    const TmkPointsArray second = Built(rsStandard, rsHorizontal, rsBottomRight, true);
    EXPECT_EQ(second.Anchor, QPoint(0, 9));
    EXPECT_EQ(second.Points, (QVector<QPoint>{{9, 12}, {0, 21}, {0, 0}, {9, 0}}));
    EXPECT_EQ(ThumbBitmapSize(second), QSize(10, 22));
}

TEST(RangeSliderShapes, StandardThumbsPointingUpAndSideways)
{
    // Ticks at the top: the first thumb is turned half round and mirrored, so it
    // is the first thumb upside down.
    const TmkPointsArray up = Built(rsStandard, rsHorizontal, rsTopLeft, false);
    EXPECT_EQ(up.Anchor, QPoint(9, 12));
    EXPECT_EQ(up.Points, (QVector<QPoint>{{0, 9}, {9, 0}, {9, 21}, {0, 21}}));

    const TmkPointsArray right = Built(rsStandard, rsVertical, rsBottomRight, false);
    EXPECT_EQ(right.Anchor, QPoint(9, 9));
    EXPECT_EQ(right.Points, (QVector<QPoint>{{12, 0}, {21, 9}, {0, 9}, {0, 0}}));
    EXPECT_EQ(ThumbBitmapSize(right), QSize(22, 10));

    const TmkPointsArray left = Built(rsStandard, rsVertical, rsTopLeft, false);
    EXPECT_EQ(left.Anchor, QPoint(12, 9));
    EXPECT_EQ(ThumbBitmapSize(left), QSize(22, 10));
}

TEST(RangeSliderShapes, EveryStyleKeepsItsSizeUnderMirrorAndTurn)
{
    struct Case
    {
        TmkThumbStyle style;
        QSize horizontal;
    };
    const Case cases[] = {
        {rsStandard, {10, 22}}, {rsTriangle, {10, 19}}, {rsCorner, {19, 19}}, {rsArrow, {22, 25}}};
    for (const Case &c : cases) {
        for (bool second : {false, true}) {
            EXPECT_EQ(ThumbBitmapSize(Built(c.style, rsHorizontal, rsBottomRight, second)), c.horizontal);
            EXPECT_EQ(ThumbBitmapSize(Built(c.style, rsHorizontal, rsTopLeft, second)), c.horizontal);
            EXPECT_EQ(ThumbBitmapSize(Built(c.style, rsVertical, rsBottomRight, second)),
                      c.horizontal.transposed());
            EXPECT_EQ(ThumbBitmapSize(Built(c.style, rsVertical, rsTopLeft, second)),
                      c.horizontal.transposed());
        }
    }
    EXPECT_EQ(Built(rsArrow, rsHorizontal, rsBottomRight, false).Anchor, QPoint(21, 12));
    EXPECT_EQ(Built(rsCorner, rsHorizontal, rsBottomRight, true).Anchor, QPoint(0, 9));
}

TEST(RangeSliderGeometry, StandardHorizontalRulerRunsFrom13ToWidthMinus13)
{
    for (int width : {200, 371}) {
        const TRulerGeometry g =
            ComputeRulerGeometry(rsHorizontal, QSize(width, 32), QSize(10, 22), QPoint(9, 9), 0, 312, 630);
        EXPECT_EQ(g.RulerLength, width - 26);
        EXPECT_EQ(g.RulerRect, QRect(QPoint(13, 6), QPoint(width - 13 - 1, 16)));
        EXPECT_DOUBLE_EQ(g.PixelsPerUnit, (width - 26) / 318.0);
        EXPECT_EQ(g.ControlSize, QSize(width, 32));

        // The thumbs span rows 2 to 24 and enclose the chosen range.
        const int a = PositionToPixel(400, 312, g.PixelsPerUnit);
        EXPECT_EQ(ThumbRectOnControl(rsHorizontal, g.RulerRect, a - 1, QPoint(9, 9), QSize(10, 22)),
                  QRect(a + 3, 2, 10, 22));
        EXPECT_EQ(ThumbRectOnControl(rsHorizontal, g.RulerRect, a, QPoint(0, 9), QSize(10, 22)),
                  QRect(a + 13, 2, 10, 22));
    }
}

TEST(RangeSliderGeometry, AskedRulerLengthSetsTheSizeAndSmallAnchorsSitAtTwo)
{
    const TRulerGeometry h =
        ComputeRulerGeometry(rsHorizontal, QSize(200, 32), QSize(10, 22), QPoint(9, 9), 100, 0, 10);
    EXPECT_EQ(h.ControlSize, QSize(126, 32));
    EXPECT_EQ(h.RulerLength, 100);

    const TRulerGeometry v =
        ComputeRulerGeometry(rsVertical, QSize(32, 200), QSize(22, 10), QPoint(3, 9), 0, 0, 10);
    EXPECT_EQ(v.RulerRect, QRect(2, 13, 11, 174));
}

TEST(RangeSliderGeometry, ConversionsRoundHalvesToEven)
{
    // 10 pixels over 4 units: 2.5 pixels per unit.
    EXPECT_EQ(PositionToPixel(1, 0, 2.5), 2);
    EXPECT_EQ(PositionToPixel(3, 0, 2.5), 8);
    EXPECT_EQ(PositionToPixel(4, 0, 2.5), 10);
    EXPECT_EQ(PixelToPosition(1, 0, 2.0), 0);
    EXPECT_EQ(PixelToPosition(3, 0, 2.0), 2);
    EXPECT_EQ(PixelToPosition(-3, 100, 2.0), 98);
    EXPECT_EQ(PixelToPosition(5, 7, 0.0), 7); // a ruler without length
    EXPECT_EQ(PixelToPosition(INT_MAX, INT_MAX - 5, 1e-9), INT_MAX);
    EXPECT_EQ(RoundToSliderValue(312.5), 312);
    EXPECT_EQ(RoundToSliderValue(313.5), 314);
    EXPECT_EQ(RoundToSliderValue(1e300), INT_MAX);
}

TEST(RangeSliderTicks, StepAndMarks)
{
    // The time editor: Frequency 100000 over two hours leaves a single major mark at 0.
    const QVector<TTickMark> single = TickMarks(100000, 345, 0, 7200);
    ASSERT_EQ(single.size(), 1);
    EXPECT_EQ(single[0].Value, 0);
    EXPECT_TRUE(single[0].Major);
    // From 312 the marks start at 312 - (312 mod 100000) = 0, before the ruler.
    const QVector<TTickMark> chapter = TickMarks(100000, 345, 312, 630);
    ASSERT_EQ(chapter.size(), 1);
    EXPECT_EQ(chapter[0].Value, 0);
    EXPECT_LT(PositionToPixel(0, 312, 345 / 318.0), 0);

    EXPECT_EQ(TickStep(0, 174, 0, 10), 1);
    EXPECT_EQ(TickStep(0, 345, 312, 630), 5);
    EXPECT_EQ(TickStep(0, 345, 0, 7200), 200);
    EXPECT_EQ(TickStep(7, 345, 0, 7200), 7);
    EXPECT_EQ(TickStep(0, 0, 0, 10), 0); // no ruler, no marks, no endless search

    const QVector<TTickMark> ten = TickMarks(0, 174, 0, 10);
    ASSERT_EQ(ten.size(), 10); // 0 to 9: the mark at Max is not drawn
    EXPECT_TRUE(ten[0].Major);
    EXPECT_FALSE(ten[5].Major);

    const QVector<TTickMark> negative = TickMarks(5, 100, -7, 12);
    ASSERT_EQ(negative.size(), 4);
    EXPECT_EQ(negative[0].Value, -5);
    EXPECT_TRUE(negative[1].Major); // 0
    EXPECT_TRUE(negative[3].Major); // 10

    const QVector<TTickMark> hundreds = TickMarks(50, 100, 0, 1000);
    EXPECT_TRUE(hundreds[2].Major);  // 100
    EXPECT_FALSE(hundreds[1].Major); // 50
}

TEST(RangeSliderMoves, DragWithAndWithoutShift)
{
    // Min 0, Max 100, range 20..40.
    EXPECT_EQ(DragMoves(dtFirst, false, 70, 0, 100, 20, 40).size(), 1);
    const QVector<TPositionMove> both = DragMoves(dtFirst, true, 70, 0, 100, 20, 40);
    ASSERT_EQ(both.size(), 2);
    EXPECT_TRUE(both[0].First);
    EXPECT_EQ(both[0].Value, 70);
    EXPECT_FALSE(both[1].First);
    EXPECT_EQ(both[1].Value, 90);
    EXPECT_TRUE(DragMoves(dtFirst, true, 90, 0, 100, 20, 40).isEmpty()); // the end would pass Max

    const QVector<TPositionMove> back = DragMoves(dtSecond, true, 25, 0, 100, 20, 40);
    ASSERT_EQ(back.size(), 2);
    EXPECT_FALSE(back[0].First);
    EXPECT_EQ(back[0].Value, 25);
    EXPECT_EQ(back[1].Value, 5);
    EXPECT_TRUE(DragMoves(dtSecond, true, 15, 0, 100, 20, 40).isEmpty());
    EXPECT_TRUE(DragMoves(dtNone, false, 15, 0, 100, 20, 40).isEmpty());
    // No overflow far outside the int range.
    EXPECT_TRUE(DragMoves(dtFirst, true, INT_MAX, INT_MIN, INT_MAX, INT_MIN, INT_MAX).isEmpty());
}

TEST(RangeSliderMoves, ArrowKeys)
{
    EXPECT_EQ(ArrowKeyStep(Qt::Key_Right, rsHorizontal), 1);
    EXPECT_EQ(ArrowKeyStep(Qt::Key_Up, rsHorizontal), 1);
    EXPECT_EQ(ArrowKeyStep(Qt::Key_Left, rsHorizontal), -1);
    EXPECT_EQ(ArrowKeyStep(Qt::Key_Down, rsHorizontal), -1);
    // Vertical values grow downwards.
    EXPECT_EQ(ArrowKeyStep(Qt::Key_Down, rsVertical), 1);
    EXPECT_EQ(ArrowKeyStep(Qt::Key_Left, rsVertical), 1);
    EXPECT_EQ(ArrowKeyStep(Qt::Key_Up, rsVertical), -1);
    EXPECT_EQ(ArrowKeyStep(Qt::Key_Right, rsVertical), -1);
    EXPECT_EQ(ArrowKeyStep(Qt::Key_Home, rsHorizontal), 0);

    EXPECT_EQ(KeyMoves(kmBoth, 1, 0, 10, 2, 10).size(), 0); // the end is at Max
    EXPECT_EQ(KeyMoves(kmBoth, -1, 0, 10, 2, 10).size(), 2);
    const QVector<TPositionMove> first = KeyMoves(kmFirst, 1, 0, 10, 10, 10);
    ASSERT_EQ(first.size(), 1); // clamping is the setter's business
    EXPECT_EQ(first[0].Value, 11);
}
