// The start/end time editor on the real dialog: opening, the slider set-up,
// typing, the step buttons, dragging, OK and Cancel.
#include "app/helpers/Helpers.h"
#include "app/helpers/ui/Dialogs.h"
#include "preview/ui/EditTimeForm.h"
#include "preview/ui/MkRangeSlider.h"
#include "tasks/TaskItem.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QSignalSpy>
#include <QToolButton>
#include <QtTest>

namespace {

TaskItem Chapter(double start, double end, double trimStart, double trimEnd)
{
    auto clock = [](double s) {
        const int n = static_cast<int>(s);
        return QStringLiteral("%1:%2:%3")
            .arg(n / 3600, 2, 10, QLatin1Char('0'))
            .arg(n / 60 % 60, 2, 10, QLatin1Char('0'))
            .arg(n % 60, 2, 10, QLatin1Char('0'));
    };
    TaskItem item;
    item.Number = 2;
    item.DisplayName = QStringLiteral("Chapter02");
    item.DiscStart = start;
    item.DiscEnd = end;
    item.DiscStartText = clock(start);
    item.DiscEndText = clock(end);
    item.TrimStart = trimStart;
    item.TrimEnd = trimEnd;
    item.TrimStartText = clock(trimStart);
    item.TrimEndText = clock(trimEnd);
    return item;
}

void Type(QLineEdit *box, const QString &text)
{
    box->selectAll();
    QTest::keyClick(box, Qt::Key_Backspace);
    QTest::keyClicks(box, text);
}

// The whole text at once (pasted), then one key release: no prefix of it is checked on the way.
void Paste(QLineEdit *box, const QString &text)
{
    box->setText(text);
    QTest::keyRelease(box, Qt::Key_End);
}

void SendMouse(QWidget *w, QEvent::Type type, QPoint at)
{
    QMouseEvent event(type, QPointF(at), QPointF(w->mapToGlobal(at)),
                      type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton,
                      type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w, &event);
}

} // namespace

class EditTimeTest : public QObject
{
    Q_OBJECT

    QWidget *mainWindow = nullptr;
    TEditTimeForm *form = nullptr;
    QList<TMessageRequest> messages;

private Q_SLOTS:
    void init();
    void cleanup();
    void openUntrimmedChapter();
    void typedStartMovesTheFirstThumbAndOkStoresTheText();
    void invalidTypedTimes_data();
    void invalidTypedTimes();
    void okRefusesRejectedText_data();
    void okRefusesRejectedText();
    void stepButtonsAtTheEnds();
    void dragThenOk();
    void cancelChangesNothing();
    void openAfterItemTrimmedBeforeTheNewStart();
    void openingRefused();
    void paintsBandAndMarkersOverTheSlider();
};

void EditTimeTest::init()
{
    messages.clear();
    SetMessageHandler([this](const TMessageRequest &r) {
        messages << r;
        return QMessageBox::Ok;
    });
    mainWindow = new QWidget;
    mainWindow->resize(800, 600);
    mainWindow->show();
    form = new TEditTimeForm(mainWindow); // owned by the main window, as at start-up
}

void EditTimeTest::cleanup()
{
    delete mainWindow;
    SetMessageHandler({});
}

void EditTimeTest::openUntrimmedChapter()
{
    TaskItem item = Chapter(312, 630, 312, 630);
    QVERIFY(form->Open(&item, mainWindow));
    QVERIFY(form->isVisible());
    QCOMPARE(form->windowTitle(), QStringLiteral("Edit the Start & End Time"));
    QCOMPARE(form->size(), QSize(456, 181));
    QCOMPARE(form->tkbTime->Min(), 312);
    QCOMPARE(form->tkbTime->Max(), 630);
    QCOMPARE(form->tkbTime->MinPosition(), 312);
    QCOMPARE(form->tkbTime->MaxPosition(), 630);
    QCOMPARE(form->tkbTime->Frequency(), 100000);
    QCOMPARE(form->edtStartTime->text(), QStringLiteral("00:05:12"));
    QCOMPARE(form->edtEndTime->text(), QStringLiteral("00:10:30"));
    QCOMPARE(form->labLength->text(), QStringLiteral("Length:00:05:18"));
    QCOMPARE(form->labStartTime->text(), QStringLiteral("00:05:12"));
    QCOMPARE(form->labEndTime->text(), QStringLiteral("00:10:30"));
    // The main window takes no input while the dialog is open; the dialog does.
    QVERIFY(!mainWindow->isEnabled());
    QVERIFY(form->isEnabled());
    QVERIFY(form->edtStartTime->isEnabled());
    QVERIFY(messages.isEmpty());
}

void EditTimeTest::typedStartMovesTheFirstThumbAndOkStoresTheText()
{
    TaskItem item = Chapter(312, 630, 312, 630);
    QSignalSpy changed(form, &TEditTimeForm::ItemChanged);
    QVERIFY(form->Open(&item, mainWindow));
    Type(form->edtStartTime, QStringLiteral("0:5:20"));
    QCOMPARE(form->tkbTime->MinPosition(), 320);
    QCOMPARE(form->edtStartTime->text(), QStringLiteral("0:5:20")); // not rewritten while typing
    QCOMPARE(form->edtEndTime->text(), QStringLiteral("00:10:30"));
    QCOMPARE(form->labLength->text(), QStringLiteral("Length:00:05:10"));
    QCOMPARE(form->tkbTime->Tag, 0); // the edit mark is used up

    // A fraction is stored as typed, unrounded, though the slider stands on a whole second.
    Type(form->edtEndTime, QStringLiteral("0:10:03.5"));
    QCOMPARE(form->tkbTime->MaxPosition(), 604);
    QCOMPARE(form->edtStartTime->text(), QStringLiteral("0:5:20"));

    QTest::mouseClick(form->btnOK, Qt::LeftButton);
    QVERIFY(!form->isVisible());
    QVERIFY(mainWindow->isEnabled());
    QCOMPARE(item.TrimStartText, QStringLiteral("0:5:20"));
    QCOMPARE(item.TrimStart, 320.0);
    QCOMPARE(item.TrimEndText, QStringLiteral("0:10:03.5"));
    QCOMPARE(item.TrimEnd, 603.5);
    QCOMPARE(item.DiscStart, 312.0); // only the trimmed times change
    QCOMPARE(item.DiscEndText, QStringLiteral("00:10:30"));
    QCOMPARE(changed.count(), 1);
    QCOMPARE(changed.at(0).at(0).value<TaskItem *>(), &item);
}

void EditTimeTest::invalidTypedTimes_data()
{
    QTest::addColumn<bool>("start");
    QTest::addColumn<QString>("text");
    QTest::newRow("start equal to the end") << true << "0:10:30";
    QTest::newRow("start after the end") << true << "0:11:00";
    QTest::newRow("start before the chapter") << true << "0:05:11";
    QTest::newRow("start not a time") << true << "5:20";
    QTest::newRow("start empty") << true << "";
    QTest::newRow("start huge") << true << "0:0:1e300";
    QTest::newRow("end equal to the start") << false << "00:05:12";
    QTest::newRow("end after the chapter") << false << "0:10:31";
    QTest::newRow("end not a time") << false << "ten";
}

void EditTimeTest::invalidTypedTimes()
{
    QFETCH(bool, start);
    QFETCH(QString, text);
    TaskItem item = Chapter(312, 630, 312, 630);
    QVERIFY(form->Open(&item, mainWindow));
    Paste(start ? form->edtStartTime : form->edtEndTime, text);
    QCOMPARE(form->labLength->text(),
             start ? QStringLiteral("Invalid Start Time.") : QStringLiteral("Invalid End Time"));
    QCOMPARE(form->tkbTime->MinPosition(), 312);
    QCOMPARE(form->tkbTime->MaxPosition(), 630);
    QCOMPARE((start ? form->edtStartTime : form->edtEndTime)->text(), text);
}

void EditTimeTest::okRefusesRejectedText_data()
{
    QTest::addColumn<QString>("startText");
    QTest::addColumn<QString>("endText");
    QTest::addColumn<QString>("message");
    QTest::newRow("start not a time") << "abc"
                                      << ""
                                      << "Invalid Start Time.";
    QTest::newRow("start after the end") << "0:10:40"
                                         << ""
                                         << "Invalid Start Time.";
    QTest::newRow("end not a time") << ""
                                    << "0:10"
                                    << "Invalid End Time";
    // The end box was fixed later, so the label shows a length; the start box still holds bad text.
    QTest::newRow("bad start, good end") << "x"
                                         << "0:10:00"
                                         << "Invalid Start Time.";
}

void EditTimeTest::okRefusesRejectedText()
{
    QFETCH(QString, startText);
    QFETCH(QString, endText);
    QFETCH(QString, message);
    TaskItem item = Chapter(312, 630, 400, 500);
    const TaskItem before = item;
    QSignalSpy changed(form, &TEditTimeForm::ItemChanged);
    QVERIFY(form->Open(&item, mainWindow));
    if (!startText.isEmpty())
        Type(form->edtStartTime, startText);
    if (!endText.isEmpty())
        Type(form->edtEndTime, endText);
    QTest::mouseClick(form->btnOK, Qt::LeftButton);
    QVERIFY(form->isVisible());
    QVERIFY(!mainWindow->isEnabled());
    QCOMPARE(form->labLength->text(), message);
    QCOMPARE(item.TrimStart, before.TrimStart);
    QCOMPARE(item.TrimEnd, before.TrimEnd);
    QCOMPARE(item.TrimStartText, before.TrimStartText);
    QCOMPARE(item.TrimEndText, before.TrimEndText);
    QCOMPARE(changed.count(), 0);

    // Mended, OK goes through.
    Type(form->edtStartTime, QStringLiteral("0:07:00"));
    Type(form->edtEndTime, QStringLiteral("0:08:00"));
    QTest::mouseClick(form->btnOK, Qt::LeftButton);
    QVERIFY(!form->isVisible());
    QCOMPARE(item.TrimStart, 420.0);
    QCOMPARE(item.TrimEnd, 480.0);
}

void EditTimeTest::stepButtonsAtTheEnds()
{
    TaskItem item = Chapter(312, 630, 312, 630);
    QVERIFY(form->Open(&item, mainWindow));
    QTest::mouseClick(form->sbtnStartTime, Qt::LeftButton);
    QTest::mouseClick(form->sbtnEndTime, Qt::LeftButton);
    QCOMPARE(form->tkbTime->MinPosition(), 312);
    QCOMPARE(form->tkbTime->MaxPosition(), 630);
    QCOMPARE(form->edtStartTime->text(), QStringLiteral("00:05:12"));

    Type(form->edtStartTime, QStringLiteral("0:5:20"));
    Type(form->edtEndTime, QStringLiteral("0:6:00"));
    QTest::mouseClick(form->sbtnStartTime, Qt::LeftButton);
    QTest::mouseClick(form->sbtnEndTime, Qt::LeftButton);
    QCOMPARE(form->tkbTime->MinPosition(), 319);
    QCOMPARE(form->tkbTime->MaxPosition(), 361);
    // A step is a slider change of its own: both boxes show the positions again.
    QCOMPARE(form->edtStartTime->text(), QStringLiteral("00:05:19"));
    QCOMPARE(form->edtEndTime->text(), QStringLiteral("00:06:01"));
    QCOMPARE(form->labLength->text(), QStringLiteral("Length:00:00:42"));
}

void EditTimeTest::dragThenOk()
{
    TaskItem item = Chapter(312, 630, 312, 630);
    QVERIFY(form->Open(&item, mainWindow));
    TmkRangeSlider *slider = form->tkbTime;
    const QPoint grip = slider->SecondThumbRect().center();
    SendMouse(slider, QEvent::MouseButtonPress, grip);
    SendMouse(slider, QEvent::MouseMove, grip - QPoint(60, 0));
    SendMouse(slider, QEvent::MouseMove, grip - QPoint(100, 0));
    SendMouse(slider, QEvent::MouseButtonRelease, grip - QPoint(100, 0));
    const int end = slider->MaxPosition();
    QCOMPARE(end, slider->PixelToPosition(345 - 100));
    QCOMPARE(form->edtEndTime->text(), FormatSeconds(end));
    QCOMPARE(form->edtStartTime->text(), QStringLiteral("00:05:12"));
    QTest::mouseClick(form->btnOK, Qt::LeftButton);
    QCOMPARE(item.TrimEnd, double(end));
    QCOMPARE(item.TrimStart, 312.0);
    QCOMPARE(item.TrimEndText, FormatSeconds(end));
}

void EditTimeTest::cancelChangesNothing()
{
    TaskItem item = Chapter(312, 630, 312, 630);
    QSignalSpy changed(form, &TEditTimeForm::ItemChanged);
    QVERIFY(form->Open(&item, mainWindow));
    Type(form->edtStartTime, QStringLiteral("0:6:00"));
    QTest::mouseClick(form->btnCancel, Qt::LeftButton);
    QVERIFY(!form->isVisible());
    QVERIFY(mainWindow->isEnabled());
    QCOMPARE(item.TrimStart, 312.0);
    QCOMPARE(item.TrimStartText, QStringLiteral("00:05:12"));
    QCOMPARE(changed.count(), 0);

    // Closing by the title bar enables the main window too.
    QVERIFY(form->Open(&item, mainWindow));
    QVERIFY(!mainWindow->isEnabled());
    form->close();
    QVERIFY(mainWindow->isEnabled());
}

void EditTimeTest::openAfterItemTrimmedBeforeTheNewStart()
{
    TaskItem first = Chapter(0, 100, 10, 50);
    QVERIFY(form->Open(&first, mainWindow));
    QCOMPARE(form->tkbTime->MinPosition(), 10);
    QCOMPARE(form->tkbTime->MaxPosition(), 50);
    QTest::mouseClick(form->btnCancel, Qt::LeftButton);

    // The first pass clamps the new start against the old end (50); the second settles it.
    TaskItem second = Chapter(312, 630, 400, 500);
    QVERIFY(form->Open(&second, mainWindow));
    QCOMPARE(form->tkbTime->Min(), 312);
    QCOMPARE(form->tkbTime->Max(), 630);
    QCOMPARE(form->tkbTime->MinPosition(), 400);
    QCOMPARE(form->tkbTime->MaxPosition(), 500);
    QCOMPARE(form->edtStartTime->text(), QStringLiteral("00:06:40"));
    QCOMPARE(form->edtEndTime->text(), QStringLiteral("00:08:20"));
    QCOMPARE(form->labLength->text(), QStringLiteral("Length:00:01:40"));
    QTest::mouseClick(form->btnOK, Qt::LeftButton);
    QCOMPARE(second.TrimStart, 400.0);
    QCOMPARE(second.TrimEnd, 500.0);

    // A lower range after a higher one.
    QVERIFY(form->Open(&first, mainWindow));
    QCOMPARE(form->tkbTime->Min(), 0);
    QCOMPARE(form->tkbTime->Max(), 100);
    QCOMPARE(form->tkbTime->MinPosition(), 10);
    QCOMPARE(form->tkbTime->MaxPosition(), 50);
}

void EditTimeTest::openingRefused()
{
    struct Case
    {
        const char *name;
        bool noItem;
        double start, end;
        QString caption, text;
        QMessageBox::Icon icon;
        bool ownedByMain;
    };
    const Case cases[] = {
        {"no focused item", true, 0, 0, "No Title/Chapter selected", "Please select a Title/Chapter firstly.",
         QMessageBox::Information, true},
        {"start equal to end", false, 12.5, 12.5, "Time can not be edited",
         "The Start Time is equal to the End Time.", QMessageBox::Information, false},
        {"same whole second", false, 10.2, 10.4, "", "Min >= Max", QMessageBox::Critical, true},
        {"end rounds to 0", false, 0.1, 0.3, "", "Max <= Min", QMessageBox::Critical, true},
    };
    for (const Case &c : cases) {
        messages.clear();
        TaskItem item = Chapter(c.start, c.end, c.start, c.end);
        QVERIFY2(!form->Open(c.noItem ? nullptr : &item, mainWindow), c.name);
        QVERIFY2(!form->isVisible(), c.name);
        QVERIFY2(mainWindow->isEnabled(), c.name);
        QCOMPARE(messages.size(), 1);
        if (!c.caption.isEmpty())
            QCOMPARE(messages[0].caption, c.caption);
        QCOMPARE(messages[0].text, c.text);
        QCOMPARE(messages[0].icon, c.icon);
        QCOMPARE(messages[0].owner, c.ownedByMain ? mainWindow : static_cast<QWidget *>(form));
    }
    // After a refused range the dialog still opens the next item.
    TaskItem item = Chapter(312, 630, 312, 630);
    QVERIFY(form->Open(&item, mainWindow));
    QCOMPARE(form->tkbTime->Min(), 312);
}

void EditTimeTest::paintsBandAndMarkersOverTheSlider()
{
    TaskItem item = Chapter(312, 630, 400, 500);
    QVERIFY(form->Open(&item, mainWindow));
    QVERIFY(QTest::qWaitForWindowExposed(form));
    QTest::qWait(50); // tmrRefresh's tick repaints the dialog
    TmkRangeSlider *slider = form->tkbTime;
    const int a = slider->PositionToPixel(400), b = slider->PositionToPixel(500);
    const QImage &canvas = slider->Canvas();
    QCOMPARE(QColor(canvas.pixel(20, 10)), QColor(Qt::white)); // ruler inside, outside the range
    QCOMPARE(QColor(canvas.pixel(b + 13 + 40, 10)), QColor(Qt::white));
    const QColor band = canvas.pixel((a + b) / 2 + 13, 10);
    QVERIFY(band.blue() > band.red() + 40); // the band runs from light cyan into blue
    QCOMPARE(QColor(canvas.pixel(a + 10, 5)), QColor(form->Image2.pixel(7, 3)));
    QCOMPARE(QColor(canvas.pixel(b + 16, 5)), QColor(form->Image3.pixel(3, 3)));

    // Typing repaints band and markers at once.
    Type(form->edtStartTime, QStringLiteral("0:7:00"));
    const int a2 = slider->PositionToPixel(420);
    QCOMPARE(QColor(slider->Canvas().pixel(a2 + 10, 5)), QColor(form->Image2.pixel(7, 3)));
    QCOMPARE(QColor(slider->Canvas().pixel(a2 + 13 - 3, 10)), QColor(form->Image2.pixel(7, 8)));

    // The dialog settles: no endless repainting between dialog and slider.
    int paints = 0;
    struct Counter : QObject
    {
        int *n;
        explicit Counter(int *count) : n(count) {}
        bool eventFilter(QObject *, QEvent *e) override
        {
            if (e->type() == QEvent::Paint)
                ++*n;
            return false;
        }
    } counter(&paints);
    slider->installEventFilter(&counter);
    QTest::qWait(300);
    QVERIFY2(paints < 5, qPrintable(QString::number(paints)));
}

QTEST_MAIN(EditTimeTest)
#include "uitest_edittime.moc"
