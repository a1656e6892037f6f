#include "app/ui/MainForm.h"

#include "about/ui/AboutForm.h"
#include "app/PowerInhibitor.h"
#include "app/ProgramInfo.h"
#include "app/helpers/AppValues.h"
#include "app/helpers/ui/Dialogs.h"
#include "app/ui/Pictures.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QHeaderView>
#include <QMimeData>
#include <QScreen>
#include <QUrl>
#include <QVBoxLayout>

namespace {
constexpr int kClientWidth = 868;
constexpr int kClientHeight = 554;
constexpr int kMargin = 6;
constexpr int kProfileWidth = 230;
constexpr int kTreeHeight = 392;
constexpr int kToolbarHeight = 34;
constexpr int kBottomHeight = kClientHeight - 2 * kMargin - kTreeHeight - kToolbarHeight;
constexpr int kHintWidth = 398;
constexpr int kHintHeight = 109;

QLabel *PictureStrip(QWidget *parent, const QRect &geometry, bool vertical)
{
    auto *strip = new QLabel(parent);
    strip->setGeometry(geometry);
    strip->setPixmap(Pictures::MarginStrip(geometry.size(), vertical));
    return strip;
}

QLabel *Caption(QWidget *parent, const QString &text, int x, int y, int width = 60)
{
    auto *label = new QLabel(text, parent);
    label->setGeometry(x, y, width, 22);
    return label;
}

QToolButton *FlatButton(QWidget *parent, const QString &name, const QString &text, const QString &glyph)
{
    auto *button = new QToolButton(parent);
    button->setObjectName(name);
    button->setText(text);
    button->setIcon(QIcon(Pictures::Glyph(glyph)));
    button->setToolButtonStyle(text.isEmpty() ? Qt::ToolButtonIconOnly : Qt::ToolButtonTextBesideIcon);
    button->setAutoRaise(true);
    return button;
}

template <typename W> W *Named(W *widget, const char *name)
{
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}
} // namespace

TMainForm::TMainForm(const QStringList &arguments, QWidget *parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("MainForm"));
    BuildLayout();
    FormCreate(arguments);
}

TMainForm::~TMainForm() = default;

void TMainForm::AttachDialogs(TOpenDVDForm *openDvd, TSettingForm *settings, TEditDVDVolumeForm *editVolume,
                              TEditTimeForm *editTime, TAboutForm *about)
{
    OpenDVDForm = openDvd;
    SettingForm = settings;
    EditDVDVolumeForm = editVolume;
    EditTimeForm = editTime;
    AboutForm = about;
}

// ---------------------------------------------------------------- layout

void TMainForm::BuildLayout()
{
    // The layout's sizes are those of a small dialog font; a larger desktop
    // font would cut the captions and time labels short.
    QFont small = font();
    small.setPixelSize(11);
    setFont(small);

    panClient = new QWidget(this);
    panClient->setObjectName(QStringLiteral("panClient"));
    setCentralWidget(panClient);
    setFixedSize(kClientWidth, kClientHeight);
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint |
                   Qt::MSWindowsFixedSizeDialogHint);

    panTop = Named(PictureStrip(panClient, QRect(0, 0, kClientWidth, kMargin), false), "panTop");
    panBottom =
        Named(PictureStrip(panClient, QRect(0, kClientHeight - kMargin, kClientWidth, kMargin), false),
              "panBottom");
    panLeft = Named(PictureStrip(panClient, QRect(0, kMargin, kMargin, kClientHeight - 2 * kMargin), true),
                    "panLeft");
    panBottom->setMouseTracking(true);
    panBottom->installEventFilter(this);

    panMain = Named(new QWidget(panClient), "panMain");
    panMain->setGeometry(kMargin, kMargin, kClientWidth - kMargin - kProfileWidth,
                         kClientHeight - 2 * kMargin);
    panProfile = Named(new QWidget(panClient), "panProfile");
    panProfile->setGeometry(kClientWidth - kProfileWidth, kMargin, kProfileWidth,
                            kClientHeight - 2 * kMargin);

    BuildMainPanel();
    BuildRightPanel();
    BuildPopupMenu();

    tmrPreview = Named(new QTimer(this), "tmrPreview");
    tmrPreview->setInterval(1000);
    tmrPreviewDragDelay = Named(new QTimer(this), "tmrPreviewDragDelay");
    tmrPreviewDragDelay->setInterval(200);
}

void TMainForm::BuildMainPanel()
{
    const int width = panMain->width();

    ltvTask = Named(new QTreeView(panMain), "ltvTask");
    ltvTask->setGeometry(0, 0, width, kTreeHeight);
    ltvTask->setContextMenuPolicy(Qt::CustomContextMenu);

    panbg = Named(new QLabel(panMain), "panbg");
    panbg->setGeometry(0, 0, width, kTreeHeight);
    panbg->setPixmap(Pictures::StartBackground(panbg->size()));
    labProgramName = Named(new QLabel(panbg), "labProgramName");
    labProgramName->setGeometry(24, 40, width - 48, 48);
    QFont nameFont(QStringLiteral("DejaVu Sans"));
    nameFont.setPixelSize(34);
    nameFont.setBold(true);
    nameFont.setItalic(true);
    labProgramName->setFont(nameFont);
    labProgramName->setStyleSheet(QStringLiteral("color: rgb(22, 54, 102);"));

    PanHint = Named(new QFrame(panMain), "PanHint");
    PanHint->setFrameShape(QFrame::Box);
    PanHint->setStyleSheet(
        QStringLiteral("#PanHint { background: rgb(255, 252, 232); border: 1px solid rgb(58, 96, 150); }"));
    PanHint->setGeometry((width - kHintWidth) / 2, 130, kHintWidth, 0);
    labHint = Named(new QLabel(PanHint), "labHint");
    labHint->setAlignment(Qt::AlignCenter);
    labHint->setWordWrap(true);
    labHint->setGeometry(8, 14, kHintWidth - 16, 56);
    chkTurnoff = Named(
        new QCheckBox(QStringLiteral("Turn off the computer after the conversion is completed."), PanHint),
        "chkTurnoff");
    chkTurnoff->setGeometry(20, 76, kHintWidth - 40, 22);
    PanHint->hide();

    panToolbar = Named(new QWidget(panMain), "panToolbar");
    panToolbar->setGeometry(0, kTreeHeight, width, kToolbarHeight);
    sbtnOpenDVD = FlatButton(panToolbar, QStringLiteral("sbtnOpenDVD"), QStringLiteral("Open DVD"),
                             QStringLiteral("disc"));
    sbtnOpenDir = FlatButton(panToolbar, QStringLiteral("sbtnOpenDir"), QStringLiteral("Open Dir"),
                             QStringLiteral("folder"));
    sbtnSegment = FlatButton(panToolbar, QStringLiteral("sbtnSegment"), QStringLiteral("Segment"),
                             QStringLiteral("scissors"));
    sbtnOptions = FlatButton(panToolbar, QStringLiteral("sbtnOptions"), QStringLiteral("Settings"),
                             QStringLiteral("gear"));
    int x = 4;
    for (QToolButton *button : {sbtnOpenDVD, sbtnOpenDir, sbtnSegment, sbtnOptions}) {
        button->setGeometry(x, 5, 96, 25);
        x += 100;
    }
    sbtnSegment->setEnabled(false);

    const int bottomTop = kTreeHeight + kToolbarHeight;
    panBottomCenter = Named(new QWidget(panMain), "panBottomCenter");
    panBottomCenter->setGeometry(0, bottomTop, width, kBottomHeight);
    labAudio = Caption(panBottomCenter, QStringLiteral("Audio Track:"), 4, 10, 66);
    cmbAudio = Named(new QComboBox(panBottomCenter), "cmbAudio");
    cmbAudio->setGeometry(72, 10, 200, 22);
    labSub = Caption(panBottomCenter, QStringLiteral("Sub Title:"), 284, 10, 56);
    cmbSub = Named(new QComboBox(panBottomCenter), "cmbSub");
    cmbSub->setGeometry(342, 10, 140, 22);
    labAngle = Caption(panBottomCenter, QStringLiteral("Angle:"), 494, 10, 40);
    cmbAngle = Named(new QComboBox(panBottomCenter), "cmbAngle");
    cmbAngle->setGeometry(534, 10, 60, 22);
    labProfile = Caption(panBottomCenter, QStringLiteral("Profile:"), 4, 44, 66);
    cmbProfile = Named(new QComboBox(panBottomCenter), "cmbProfile");
    cmbProfile->setGeometry(72, 44, 300, 22);
    bbtnSetting = Named(new QPushButton(QStringLiteral("&Settings"), panBottomCenter), "bbtnSetting");
    bbtnSetting->setGeometry(0, 43, 82, 24);
    labOutputDir = Caption(panBottomCenter, QStringLiteral("Output Path:"), 4, 78, 66);
    edtOutputDir = Named(new QLineEdit(panBottomCenter), "edtOutputDir");
    edtOutputDir->setGeometry(72, 78, 300, 22);
    bbtnBrowser = Named(new QPushButton(QStringLiteral("&Browse"), panBottomCenter), "bbtnBrowser");
    bbtnBrowser->setGeometry(0, 77, 76, 24);
    bbtnOpen = Named(new QPushButton(QStringLiteral("&Open"), panBottomCenter), "bbtnOpen");
    bbtnOpen->setGeometry(0, 77, 82, 24);

    panBottomLeft = Named(new QWidget(panMain), "panBottomLeft");
    panBottomLeft->setGeometry(0, bottomTop, width, kBottomHeight);
    QFont percentFont = font();
    percentFont.setPixelSize(10);
    auto progressRow = [&](int y, const QString &caption, QLabel *&captionLabel, QFrame *&frame,
                           QProgressBar *&bar, QLabel *&percent, const char *frameName, const char *barName,
                           const char *percentName) {
        captionLabel = Caption(panBottomLeft, caption, 4, y, 96);
        frame = Named(new QFrame(panBottomLeft), frameName);
        frame->setFrameShape(QFrame::StyledPanel);
        frame->setGeometry(100, y + 2, 300, 18);
        bar = Named(new QProgressBar(frame), barName);
        bar->setRange(0, 100);
        bar->setValue(0);
        bar->setTextVisible(false);
        bar->setGeometry(0, 0, 299, 18);
        percent = Named(new QLabel(QStringLiteral("0%"), panBottomLeft), percentName);
        percent->setFont(percentFont);
        percent->setGeometry(0, y, 25, 22);
    };
    progressRow(8, QStringLiteral("Current Progress:"), labCurrentCaption, panCurrentProgress, pgbCurrent,
                labCurProgress, "panCurrentProgress", "pgbCurrent", "labCurProgress");
    progressRow(36, QStringLiteral("Total Progress:"), labTotalCaption, panTotalProgress, pgbTotal,
                labTotalProgress, "panTotalProgress", "pgbTotal", "labTotalProgress");
    labFrameCaption = Caption(panBottomLeft, QStringLiteral("Frames:"), 4, 66, 50);
    labFrame = Named(new QLabel(panBottomLeft), "labFrame");
    labFrame->setGeometry(56, 66, 140, 22);
    labElapsedCaption = Caption(panBottomLeft, QStringLiteral("Elapsed Time:"), 204, 66, 80);
    labElapsed = Named(new QLabel(panBottomLeft), "labElapsed");
    labElapsed->setGeometry(286, 66, 80, 22);
    labRemainingCaption = Caption(panBottomLeft, QStringLiteral("Remaining Time:"), 384, 66, 96);
    labRemaining = Named(new QLabel(panBottomLeft), "labRemaining");
    labRemaining->setGeometry(482, 66, 80, 22);
}

void TMainForm::BuildRightPanel()
{
    panPreview = Named(new QWidget(panProfile), "panPreview");
    panPreview->setGeometry(0, 0, kProfileWidth, 205);
    VideoWindow = Named(new QWidget(panPreview), "VideoWindow");
    VideoWindow->setGeometry(10, 0, 210, 139);
    VideoWindow->setAutoFillBackground(true);
    QPalette black = VideoWindow->palette();
    black.setColor(QPalette::Window, Qt::black);
    VideoWindow->setPalette(black);
    panPreviewButton = Named(new QLabel(panPreview), "panPreviewButton");
    panPreviewButton->setGeometry(10, 139, 210, 66);
    panPreviewButton->setPixmap(Pictures::PreviewButtonStrip(panPreviewButton->size()));
    TrackBar = Named(new QSlider(Qt::Horizontal, panPreviewButton), "TrackBar");
    TrackBar->setGeometry(2, 5, 205, 17);
    TrackBar->setRange(0, 100);
    TrackBar->setTickPosition(QSlider::NoTicks);
    const QString light = QStringLiteral("color: rgb(224, 230, 240);");
    labStart = Named(new QLabel(QStringLiteral("00:00:00"), panPreviewButton), "labStart");
    labStart->move(7, 20);
    labEnd = Named(new QLabel(QStringLiteral("00:00:00"), panPreviewButton), "labEnd");
    labEnd->move(162, 20);
    labPreviewPlayTime =
        Named(new QLabel(QStringLiteral("00:00:00"), panPreviewButton), "labPreviewPlayTime");
    labPreviewPlayTime->move(164, 43);
    QFont timeFont = font();
    timeFont.setPixelSize(10);
    for (QLabel *label : {labStart, labEnd, labPreviewPlayTime}) {
        label->setFont(timeFont);
        label->setStyleSheet(light);
        label->adjustSize();
    }
    sbtnPlay = FlatButton(panPreviewButton, QStringLiteral("sbtnPlay"), QString(), QStringLiteral("play"));
    sbtnPause = FlatButton(panPreviewButton, QStringLiteral("sbtnPause"), QString(), QStringLiteral("pause"));
    sbtnStop = FlatButton(panPreviewButton, QStringLiteral("sbtnStop"), QString(), QStringLiteral("stop"));
    sbtnPlay->setGeometry(10, 40, 35, 22);
    sbtnPause->setGeometry(47, 40, 35, 22);
    sbtnStop->setGeometry(84, 40, 35, 22);
    for (QToolButton *button : {sbtnPlay, sbtnPause, sbtnStop})
        button->setAutoRaise(false);

    ScrollBox1 = Named(new QScrollArea(panProfile), "ScrollBox1");
    ScrollBox1->setGeometry(0, 209, kProfileWidth, 228);
    ScrollBox1->setWidgetResizable(true);
    ScrollBox1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    auto *grids = new QWidget;
    grids->setObjectName(QStringLiteral("ScrollBox1Contents"));
    auto *stack = new QVBoxLayout(grids);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->setSpacing(0);
    auto heading = [&](const QString &text, const char *name) {
        auto *label = Named(new QLabel(QStringLiteral("  ") + text), name);
        label->setFixedHeight(20);
        QFont bold = label->font();
        bold.setBold(true);
        label->setFont(bold);
        label->setStyleSheet(QStringLiteral("background: rgb(58, 96, 150); color: white;"));
        stack->addWidget(label);
        return label;
    };
    auto grid = [&](const char *name) {
        auto *table = Named(new TValueListEditor, name);
        table->setFixedHeight(18);
        stack->addWidget(table);
        return table;
    };
    panVideo = heading(QStringLiteral("Video"), "panVideo");
    vleVideo = grid("vleVideo");
    panAudio = heading(QStringLiteral("Audio"), "panAudio");
    vleAudio = grid("vleAudio");
    panAdvanced = heading(QStringLiteral("Advanced"), "panAdvanced");
    vleAdvanced = grid("vleAdvanced");
    stack->addStretch(1);
    ScrollBox1->setWidget(grids);

    panStartStop = Named(new QLabel(panProfile), "panStartStop");
    panStartStop->setGeometry(0, 437, kProfileWidth, panProfile->height() - 437);
    panStartStop->setPixmap(Pictures::PanelBackground(panStartStop->size()));
    panStartStop->setMouseTracking(true);
    panStartStop->installEventFilter(this);
    imgStart = Named(new TPictureButton(Pictures::StartButton(), panStartStop), "imgStart");
    imgStart->move((kProfileWidth - 133) / 2, 6);
    imgStop = Named(new TPictureButton(Pictures::StopButton(), panStartStop), "imgStop");
    imgStop->move((kProfileWidth - 133) / 2, 6);
    imgStop->hide();
    SpeedButton1 =
        FlatButton(panStartStop, QStringLiteral("SpeedButton1"), QString(), QStringLiteral("help"));
    SpeedButton2 =
        FlatButton(panStartStop, QStringLiteral("SpeedButton2"), QString(), QStringLiteral("info"));
    SpeedButton3 = FlatButton(panStartStop, QStringLiteral("SpeedButton3"), QString(), QStringLiteral("web"));
    SpeedButton1->setToolTip(QStringLiteral("Help"));
    SpeedButton2->setToolTip(QStringLiteral("About"));
    SpeedButton3->setToolTip(QStringLiteral("Visit our website"));
    int x = 76;
    for (QToolButton *button : {SpeedButton1, SpeedButton2, SpeedButton3}) {
        button->setGeometry(x, 76, 24, 22);
        button->setCursor(Qt::PointingHandCursor);
        x += 28;
    }
    connect(SpeedButton1, &QToolButton::clicked, this, &TMainForm::SpeedButton1Click);
    connect(SpeedButton2, &QToolButton::clicked, this, &TMainForm::SpeedButton2Click);
    connect(SpeedButton3, &QToolButton::clicked, this, &TMainForm::SpeedButton3Click);
    connect(imgStart, &TPictureButton::clicked, this, &TMainForm::imgStartClick);
    connect(imgStop, &TPictureButton::clicked, this, &TMainForm::imgStopClick);
}

void TMainForm::BuildPopupMenu()
{
    PopupMenu1 = Named(new QMenu(this), "PopupMenu1");
    pmiOpenDVD = PopupMenu1->addAction(QStringLiteral("Open DVD"));
    pmiOpenDVD->setObjectName(QStringLiteral("pmiOpenDVD"));
    pmiOpenDir = PopupMenu1->addAction(QStringLiteral("Open Directory"));
    pmiOpenDir->setObjectName(QStringLiteral("pmiOpenDir"));
    PopupMenu1->addSeparator();
    pmiCheck = Named(PopupMenu1->addMenu(QStringLiteral("Check")), "pmiCheck");
    pmiCheckTitleChapter = pmiCheck->addAction(QStringLiteral("All Titles and Chapters"));
    pmiCheckTitleChapter->setObjectName(QStringLiteral("pmiCheckTitleChapter"));
    pmiCheck->addSeparator();
    pmiCheckTitle = pmiCheck->addAction(QStringLiteral("All Titles"));
    pmiCheckTitle->setObjectName(QStringLiteral("pmiCheckTitle"));
    pmiCheckChapter = pmiCheck->addAction(QStringLiteral("All Chapters"));
    pmiCheckChapter->setObjectName(QStringLiteral("pmiCheckChapter"));
    pmiUncheck = PopupMenu1->addAction(QStringLiteral("Uncheck All"));
    pmiUncheck->setObjectName(QStringLiteral("pmiUncheck"));
    PopupMenu1->addSeparator();
    pmiTrimTime = PopupMenu1->addAction(QStringLiteral("Edit Start && End Time"));
    pmiTrimTime->setObjectName(QStringLiteral("pmiTrimTime"));
    pmiDVDVolume = PopupMenu1->addAction(QStringLiteral("Change DVD Volume"));
    pmiDVDVolume->setObjectName(QStringLiteral("pmiDVDVolume"));
}

// ---------------------------------------------------------------- start-up

void TMainForm::FormCreate(const QStringList &arguments)
{
    ProgramInfo::InitProgramValues(QCoreApplication::applicationDirPath());
    QCoreApplication::setApplicationName(AppValues().ProductName);
    setWindowTitle(ProgramInfo::MainCaption());
    labProgramName->setText(ProgramInfo::ProgramLabel());

    SetUpProfiles();
    SetUpTasks();
    SetUpDvd();
    SetUpConversion();
    SetUpPreview();
    try {
        ProcessCommandLine(arguments);
    } catch (const std::exception &error) {
        // Start-up goes on: the other steps (drops among them) still matter.
        HideHintPanel();
        ShowError(this, QString::fromLocal8Bit(error.what()));
    }
    panBottomLeft->hide();
    setAcceptDrops(true);

    m_inhibitor =
        new TPowerInhibitor(AppValues().ProductName, QStringLiteral("A DVD conversion may be running"), this);
    FormResize();
}

void TMainForm::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (!m_shown) {
        m_shown = true;
        if (const QScreen *screen = this->screen())
            move(screen->availableGeometry().center() - rect().center());
        FormShow();
    }
}

void TMainForm::FormShow()
{
    RestoreChoices();
}

void TMainForm::closeEvent(QCloseEvent *event)
{
    // Closing is always allowed, during a conversion too.
    StopConversionForClose();
    FormClose();
    event->accept();
    QCoreApplication::quit();
}

void TMainForm::FormClose()
{
    SaveChoices();
}

// ---------------------------------------------------------------- hint panel

void TMainForm::ShowHintPanel(const QString &text)
{
    chkTurnoff->hide();
    labHint->setText(text);
    PanHint->show();
    PanHint->raise();
    for (int height = 0; height <= kHintHeight; ++height) {
        ProcessPendingMessages();
        PanHint->resize(kHintWidth, height);
    }
}

void TMainForm::HideHintPanel()
{
    for (int height = 105; height >= 0; height -= 5) {
        ProcessPendingMessages();
        PanHint->resize(kHintWidth, height);
    }
    PanHint->hide();
}

// ---------------------------------------------------------------- resize

void TMainForm::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    FormResize();
}

void TMainForm::FormResize()
{
    const int w = panMain->width();
    panBottomCenter->resize(w, panBottomCenter->height());
    panBottomLeft->resize(w, panBottomLeft->height());
    bbtnSetting->move(panBottomCenter->width() - 90, bbtnSetting->y());
    bbtnOpen->move(panBottomCenter->width() - 90, bbtnOpen->y());
    cmbProfile->resize(bbtnSetting->x() - 72, cmbProfile->height());
    bbtnBrowser->move(bbtnOpen->x() - 83, bbtnBrowser->y());
    edtOutputDir->resize(bbtnBrowser->x() - 72, edtOutputDir->height());
    labCurProgress->move(panBottomLeft->width() - 25, labCurProgress->y());
    labTotalProgress->move(panBottomLeft->width() - 25, labTotalProgress->y());
    panCurrentProgress->resize(labCurProgress->x() - 105, panCurrentProgress->height());
    panTotalProgress->resize(labTotalProgress->x() - 105, panTotalProgress->height());
    pgbCurrent->resize(panCurrentProgress->width() - 1, pgbCurrent->height());
    pgbTotal->resize(panTotalProgress->width() - 1, pgbTotal->height());
    TrackBar->resize(VideoWindow->width() - 4, TrackBar->height());
}

// ---------------------------------------------------------------- picture buttons, drops

bool TMainForm::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseMove && (watched == panStartStop || watched == panBottom)) {
        imgStart->ResetToNormal();
        imgStop->ResetToNormal();
    }
    return QMainWindow::eventFilter(watched, event);
}

void TMainForm::dragEnterEvent(QDragEnterEvent *event)
{
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void TMainForm::dropEvent(QDropEvent *event)
{
    const QList<QUrl> urls = event->mimeData()->urls();
    event->acceptProposedAction();
    if (!ltvTask->isEnabled() || urls.isEmpty() || !urls.first().isLocalFile())
        return;
    try {
        OpenDroppedPath(urls.first().toLocalFile());
    } catch (const std::exception &error) {
        ShowError(this, QString::fromLocal8Bit(error.what()));
    }
}

// ---------------------------------------------------------------- help, about, web site

void TMainForm::SpeedButton1Click()
{
    QDesktopServices::openUrl(QUrl::fromLocalFile(AppValues().HelpFile));
}

void TMainForm::SpeedButton3Click()
{
    QDesktopServices::openUrl(QUrl(ProgramInfo::Website()));
}

void TMainForm::SpeedButton2Click()
{
    if (AboutForm)
        AboutForm->show();
}
