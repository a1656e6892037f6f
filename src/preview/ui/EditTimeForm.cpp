#include "preview/ui/EditTimeForm.h"

#include "app/helpers/Helpers.h"
#include "app/helpers/ui/Dialogs.h"
#include "preview/ui/MkRangeSlider.h"
#include "tasks/TaskItem.h"

#include <QEvent>
#include <QFont>
#include <QLabel>
#include <QLineEdit>
#include <QLinearGradient>
#include <QPainter>
#include <QPolygon>
#include <QPushButton>
#include <QShowEvent>
#include <QTimer>
#include <QToolButton>
#include <QWindow>

#include <algorithm>

namespace {

const QString InvalidStartText = QStringLiteral("Invalid Start Time.");
const QString InvalidEndText = QStringLiteral("Invalid End Time");

// The chosen range: light cyan running into blue.
QImage MakeBandImage()
{
    QImage image(30, 8, QImage::Format_RGB32);
    QPainter painter(&image);
    QLinearGradient gradient(0, 0, image.width(), 0);
    gradient.setColorAt(0, QColor(0xc8, 0xf4, 0xff));
    gradient.setColorAt(1, QColor(0x10, 0x48, 0xe0));
    painter.fillRect(image.rect(), gradient);
    return image;
}

// A marker shaped like the slider's standard thumb: full height along one
// edge, narrowing to a point at the bottom of that edge.
QImage MakeMarkerImage(bool pointRight, const QColor &light, const QColor &dark, const QColor &outline)
{
    QImage image(10, 22, QImage::Format_RGB32);
    image.fill(QColor(0xd4, 0xe8, 0xff)); // the corner outside the tab
    QPolygon tab = pointRight ? QPolygon({QPoint(0, 0), QPoint(9, 0), QPoint(9, 21), QPoint(0, 12)})
                              : QPolygon({QPoint(0, 0), QPoint(9, 0), QPoint(9, 12), QPoint(0, 21)});
    QPainter painter(&image);
    QLinearGradient gradient(0, 0, 0, image.height());
    gradient.setColorAt(0, light);
    gradient.setColorAt(1, dark);
    painter.setBrush(gradient);
    painter.setPen(outline);
    painter.drawPolygon(tab);
    return image;
}

QPixmap MakeStepGlyph(bool pointLeft)
{
    QImage image(9, 9, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0x20, 0x20, 0x20));
    if (pointLeft) {
        painter.drawPolygon(QPolygon({QPoint(7, 0), QPoint(7, 8), QPoint(3, 4)}));
        painter.fillRect(1, 0, 2, 9, QColor(0x20, 0x20, 0x20));
    } else {
        painter.drawPolygon(QPolygon({QPoint(1, 0), QPoint(1, 8), QPoint(5, 4)}));
        painter.fillRect(6, 0, 2, 9, QColor(0x20, 0x20, 0x20));
    }
    return QPixmap::fromImage(image);
}

QLabel *MakeLabel(QWidget *parent, const QString &name, const QString &text, int x, int y)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(name);
    label->move(x, y);
    label->adjustSize();
    return label;
}

QWidget *MakePanel(QWidget *parent, const QString &name, const QRect &geometry)
{
    auto *panel = new QWidget(parent);
    panel->setObjectName(name);
    panel->setGeometry(geometry);
    panel->setAutoFillBackground(true);
    return panel;
}

} // namespace

TEditTimeForm::TEditTimeForm(QWidget *parent) : QDialog(parent)
{
    qRegisterMetaType<TaskItem *>();
    setObjectName(QStringLiteral("EditTimeForm"));
    setWindowTitle(QStringLiteral("Edit the Start & End Time"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    setFixedSize(456, 181);
    setModal(false);
    // The layout's fixed places are made for a small dialog font.
    QFont small = font();
    small.setPointSize(8);
    setFont(small);

    Label2 = MakeLabel(this, QStringLiteral("Label2"),
                       QStringLiteral("Use the Slide Bar or Edit Boxes to change the Start and End Time."),
                       24, 14);

    sbtnStartTime = new QToolButton(this);
    sbtnStartTime->setObjectName(QStringLiteral("sbtnStartTime"));
    sbtnStartTime->setGeometry(12, 57, 28, 22);
    sbtnStartTime->setIcon(MakeStepGlyph(true));
    sbtnStartTime->setAutoRaise(true);
    sbtnStartTime->setFocusPolicy(Qt::NoFocus);
    sbtnStartTime->setToolTip(QStringLiteral("Start one second earlier"));

    tkbTime = new TmkRangeSlider(this);
    tkbTime->setObjectName(QStringLiteral("tkbTime"));
    tkbTime->setGeometry(43, 58, 371, 32);
    tkbTime->SetFrequency(100000);

    sbtnEndTime = new QToolButton(this);
    sbtnEndTime->setObjectName(QStringLiteral("sbtnEndTime"));
    sbtnEndTime->setGeometry(417, 57, 28, 22);
    sbtnEndTime->setIcon(MakeStepGlyph(false));
    sbtnEndTime->setAutoRaise(true);
    sbtnEndTime->setFocusPolicy(Qt::NoFocus);
    sbtnEndTime->setToolTip(QStringLiteral("End one second later"));

    // The panels lie over the slider's margins so only its ruler and thumbs show.
    panTop = MakePanel(this, QStringLiteral("panTop"), QRect(40, 45, 377, 15));
    labStartTime = MakeLabel(panTop, QStringLiteral("labStartTime"), QStringLiteral("Start Time"), 5, 0);
    labEndTime = MakeLabel(panTop, QStringLiteral("labEndTime"), QStringLiteral("End Time"), 325, 0);
    labEndTime->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    labEndTime->setGeometry(325, 0, 45, 15);
    labStartTime->setFixedHeight(15);
    panLeft = MakePanel(this, QStringLiteral("panLeft"), QRect(40, 50, 6, 49));
    panRight = MakePanel(this, QStringLiteral("panRight"), QRect(411, 50, 6, 47));
    panBottom = MakePanel(this, QStringLiteral("panBottom"), QRect(42, 82, 374, 15));

    labStart = MakeLabel(this, QStringLiteral("labStart"), QStringLiteral("Start:"), 16, 106);
    edtStartTime = new QLineEdit(this);
    edtStartTime->setObjectName(QStringLiteral("edtStartTime"));
    edtStartTime->setGeometry(46, 103, 97, 21);
    Label1 = MakeLabel(this, QStringLiteral("Label1"), QStringLiteral("End:"), 171, 106);
    edtEndTime = new QLineEdit(this);
    edtEndTime->setObjectName(QStringLiteral("edtEndTime"));
    edtEndTime->setGeometry(197, 103, 97, 21);
    labLength = MakeLabel(this, QStringLiteral("labLength"), QStringLiteral("Length:"), 328, 106);
    labLength->setMinimumWidth(120);

    btnOK = new QPushButton(QStringLiteral("&OK"), this);
    btnOK->setObjectName(QStringLiteral("btnOK"));
    btnOK->setGeometry(264, 143, 75, 25);
    btnCancel = new QPushButton(QStringLiteral("&Cancel"), this);
    btnCancel->setObjectName(QStringLiteral("btnCancel"));
    btnCancel->setGeometry(352, 143, 75, 25);

    setTabOrder(tkbTime, edtStartTime);
    setTabOrder(edtStartTime, edtEndTime);
    setTabOrder(edtEndTime, btnOK);
    setTabOrder(btnOK, btnCancel);

    Image1 = MakeBandImage();
    Image2 =
        MakeMarkerImage(true, QColor(0x70, 0xe0, 0xf0), QColor(0x18, 0x90, 0xc8), QColor(0x00, 0x70, 0x78));
    Image3 =
        MakeMarkerImage(false, QColor(0x50, 0x78, 0xf0), QColor(0x10, 0x30, 0xc0), QColor(0x00, 0x10, 0x60));

    tmrRefresh = new QTimer(this);
    tmrRefresh->setObjectName(QStringLiteral("tmrRefresh"));
    tmrRefresh->setInterval(1);

    tkbTime->OnMinChange = [this](TmkRangeSlider *, int) { UpdateDisplay(); };
    tkbTime->OnMaxChange = [this](TmkRangeSlider *, int) { UpdateDisplay(); };
    tkbTime->OnMinPosChange = [this](TmkRangeSlider *, int) { tkbTimeMinPosChange(); };
    tkbTime->OnMaxPosChange = [this](TmkRangeSlider *, int) { tkbTimeMaxPosChange(); };
    connect(sbtnStartTime, &QToolButton::clicked, this, &TEditTimeForm::sbtnStartTimeClick);
    connect(sbtnEndTime, &QToolButton::clicked, this, &TEditTimeForm::sbtnEndTimeClick);
    connect(btnOK, &QPushButton::clicked, this, &TEditTimeForm::btnOKClick);
    connect(btnCancel, &QPushButton::clicked, this, &TEditTimeForm::btnCancelClick);
    connect(tmrRefresh, &QTimer::timeout, this, &TEditTimeForm::tmrRefreshTimer);
    edtStartTime->installEventFilter(this);
    edtEndTime->installEventFilter(this);
}

bool TEditTimeForm::Open(TaskItem *item, const TaskItem *, QWidget *mainWindow)
{
    return Open(item, mainWindow);
}

bool TEditTimeForm::Open(TaskItem *item, QWidget *mainWindow)
{
    if (!item) {
        ShowNotice(mainWindow, QStringLiteral("No Title/Chapter selected"),
                   QStringLiteral("Please select a Title/Chapter firstly."));
        return false;
    }
    if (item->DiscEnd == item->DiscStart) {
        ShowNotice(this, QStringLiteral("Time can not be edited"),
                   QStringLiteral("The Start Time is equal to the End Time."));
        return false;
    }
    FItem = item;
    FMainWindow = mainWindow;
    tkbTime->Tag = 0;
    try {
        // Min goes to 0 first so that the new Max is not refused against the previous item's Min.
        tkbTime->SetMin(0);
        SetUpSlider();
    } catch (const EmkRangeSlider &error) {
        FItem = nullptr;
        ShowError(mainWindow, error.Message());
        return false;
    }
    if (mainWindow) {
        const QRect owner = mainWindow->window()->frameGeometry();
        move(owner.center() - QPoint(width() / 2, height() / 2));
        if (!parentWidget()) {
            createWinId();
            if (windowHandle() && mainWindow->window()->windowHandle())
                windowHandle()->setTransientParent(mainWindow->window()->windowHandle());
        }
    }
    if (isVisible())
        FormShow(); // already open: set up again for this item
    else
        show();
    raise();
    activateWindow();
    return true;
}

void TEditTimeForm::SetUpSlider()
{
    tkbTime->SetMax(RoundToSliderValue(FItem->DiscEnd));
    tkbTime->SetMin(RoundToSliderValue(FItem->DiscStart));
    tkbTime->SetMinPosition(RoundToSliderValue(FItem->TrimStart));
    tkbTime->SetMaxPosition(RoundToSliderValue(FItem->TrimEnd));
}

void TEditTimeForm::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TEditTimeForm::hideEvent(QHideEvent *event)
{
    QDialog::hideEvent(event);
    if (!event->spontaneous())
        FormClose();
}

void TEditTimeForm::FormShow()
{
    if (FMainWindow) {
        FMainWindow->setEnabled(false);
        // A dialog owned by the main window is disabled with it; it stays usable.
        if (!isEnabled())
            setEnabled(true);
    }
    if (FItem) {
        // The first pass may have clamped MinPosition against the previous
        // item's MaxPosition; now MaxPosition already holds this item's value.
        try {
            SetUpSlider();
        } catch (const EmkRangeSlider &error) {
            ShowError(this, error.Message());
        }
        labStartTime->setText(FItem->DiscStartText);
        labStartTime->adjustSize();
        labStartTime->setFixedHeight(15);
        labEndTime->setText(FItem->DiscEndText);
        // Right-justified against its right edge, growing leftwards for a long text.
        const int width = std::max(45, labEndTime->sizeHint().width());
        labEndTime->setGeometry(325 + 45 - width, 0, width, 15);
    }
    tmrRefresh->start();
}

void TEditTimeForm::FormClose()
{
    tmrRefresh->stop();
    if (FMainWindow)
        FMainWindow->setEnabled(true);
}

void TEditTimeForm::tmrRefreshTimer()
{
    tmrRefresh->stop();
    repaint();
}

QString TEditTimeForm::LengthText() const
{
    return QStringLiteral("Length:") + FormatSeconds(static_cast<double>(tkbTime->MaxPosition()) -
                                                     static_cast<double>(tkbTime->MinPosition()));
}

void TEditTimeForm::UpdateDisplay()
{
    if (tkbTime->Tag == 1) {
        // The change came from an edit box: the text being typed stays as it is.
        tkbTime->Tag = 0;
    } else {
        edtStartTime->setText(FormatSeconds(tkbTime->MinPosition()));
        edtEndTime->setText(FormatSeconds(tkbTime->MaxPosition()));
    }
    labLength->setText(LengthText());
}

void TEditTimeForm::tkbTimeMinPosChange()
{
    UpdateDisplay();
    if (tkbTime->MinPosition() == tkbTime->Min() ||
        static_cast<long long>(tkbTime->MaxPosition()) - tkbTime->MinPosition() <= 1)
        DrawStartMarker();
}

void TEditTimeForm::tkbTimeMaxPosChange()
{
    UpdateDisplay();
    if (tkbTime->MaxPosition() == tkbTime->Max() ||
        static_cast<long long>(tkbTime->MaxPosition()) - tkbTime->MinPosition() <= 1)
        DrawEndMarker();
}

void TEditTimeForm::DrawStartMarker()
{
    if (!isVisible())
        return;
    const int a = tkbTime->PositionToPixel(tkbTime->MinPosition());
    tkbTime->DrawOnCanvas([&](QPainter &painter) { painter.drawImage(QRect(a + 3, 2, 10, 21), Image2); });
}

void TEditTimeForm::DrawEndMarker()
{
    if (!isVisible())
        return;
    const int b = tkbTime->PositionToPixel(tkbTime->MaxPosition());
    tkbTime->DrawOnCanvas([&](QPainter &painter) { painter.drawImage(QRect(b + 13, 2, 10, 21), Image3); });
}

void TEditTimeForm::FormPaint()
{
    if (!isVisible())
        return;
    const int a = tkbTime->PositionToPixel(tkbTime->MinPosition());
    const int b = tkbTime->PositionToPixel(tkbTime->MaxPosition());
    const int w = tkbTime->width();
    tkbTime->DrawOnCanvas([&](QPainter &painter) {
        painter.fillRect(QRect(13, 7, w - 26, 8), Qt::white); // the ruler's inside
        if (b > a)
            painter.drawImage(QRect(a + 13, 7, b - a, 8), Image1);
        painter.drawImage(QRect(a + 3, 2, 10, 21), Image2);
        painter.drawImage(QRect(b + 13, 2, 10, 21), Image3);
    });
}

void TEditTimeForm::paintEvent(QPaintEvent *event)
{
    QDialog::paintEvent(event);
    FormPaint();
}

bool TEditTimeForm::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyRelease) {
        if (watched == edtStartTime)
            edtStartTimeKeyUp();
        else if (watched == edtEndTime)
            edtEndTimeKeyUp();
    }
    return QDialog::eventFilter(watched, event);
}

int TEditTimeForm::ValidStart(const QString &text) const
{
    const double parsed = ParseTimeText(text);
    if (parsed == -1.0)
        return -1;
    const int t = RoundToSliderValue(parsed);
    return t >= tkbTime->Min() && t < tkbTime->MaxPosition() ? t : -1;
}

int TEditTimeForm::ValidEnd(const QString &text) const
{
    const double parsed = ParseTimeText(text);
    if (parsed == -1.0)
        return -1;
    const int t = RoundToSliderValue(parsed);
    return t > tkbTime->MinPosition() && t <= tkbTime->Max() ? t : -1;
}

void TEditTimeForm::edtStartTimeKeyUp()
{
    const int t = ValidStart(edtStartTime->text());
    if (t == -1) {
        labLength->setText(InvalidStartText);
        return;
    }
    if (t != tkbTime->MinPosition())
        tkbTime->Tag = 1; // the display update leaves the boxes alone once
    tkbTime->SetMinPosition(t);
    FormPaint();
    if (tkbTime->MinPosition() == tkbTime->Min() ||
        static_cast<long long>(tkbTime->MaxPosition()) - tkbTime->MinPosition() <= 1)
        DrawStartMarker();
    labLength->setText(LengthText());
}

void TEditTimeForm::edtEndTimeKeyUp()
{
    const int t = ValidEnd(edtEndTime->text());
    if (t == -1) {
        labLength->setText(InvalidEndText);
        return;
    }
    if (t != tkbTime->MaxPosition())
        tkbTime->Tag = 1;
    tkbTime->SetMaxPosition(t);
    FormPaint();
    if (tkbTime->MaxPosition() == tkbTime->Max() ||
        static_cast<long long>(tkbTime->MaxPosition()) - tkbTime->MinPosition() <= 1)
        DrawEndMarker();
    labLength->setText(LengthText());
}

void TEditTimeForm::sbtnStartTimeClick()
{
    if (tkbTime->MinPosition() > tkbTime->Min())
        tkbTime->SetMinPosition(tkbTime->MinPosition() - 1);
}

void TEditTimeForm::sbtnEndTimeClick()
{
    if (tkbTime->MaxPosition() < tkbTime->Max())
        tkbTime->SetMaxPosition(tkbTime->MaxPosition() + 1);
}

void TEditTimeForm::btnOKClick()
{
    if (!FItem) {
        reject();
        return;
    }
    // Text that its box's check refuses is never stored: the dialog stays
    // open with the box's message, so no item gets a time of -1.
    const int start = ValidStart(edtStartTime->text());
    const int end = ValidEnd(edtEndTime->text());
    if (start == -1 || (end != -1 && start >= end)) {
        labLength->setText(InvalidStartText);
        edtStartTime->setFocus();
        return;
    }
    if (end == -1) {
        labLength->setText(InvalidEndText);
        edtEndTime->setFocus();
        return;
    }
    FItem->TrimStartText = edtStartTime->text();
    FItem->TrimEndText = edtEndTime->text();
    FItem->TrimStart = ParseTimeText(FItem->TrimStartText);
    FItem->TrimEnd = ParseTimeText(FItem->TrimEndText);
    Q_EMIT ItemChanged(FItem);
    accept();
}

void TEditTimeForm::btnCancelClick()
{
    reject();
}
