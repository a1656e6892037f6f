#include "about/ui/AboutForm.h"

#include "app/ProgramInfo.h"
#include "app/helpers/AppValues.h"

#include <QDesktopServices>
#include <QLabel>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>

namespace {
std::function<void(const QUrl &)> &linkOpener()
{
    static std::function<void(const QUrl &)> opener;
    return opener;
}

QLabel *Place(QWidget *parent, const char *name, int x, int y)
{
    auto *label = new QLabel(parent);
    label->setObjectName(QString::fromLatin1(name));
    label->move(x, y);
    label->setAttribute(Qt::WA_TranslucentBackground);
    return label;
}

void MakeLink(QLabel *label, bool underline)
{
    QFont f = label->font();
    f.setUnderline(underline);
    label->setFont(f);
    label->setStyleSheet(QStringLiteral("color: rgb(0, 0, 255);"));
    label->setCursor(Qt::PointingHandCursor);
}
} // namespace

void TAboutForm::SetLinkOpener(std::function<void(const QUrl &)> opener)
{
    linkOpener() = std::move(opener);
}

TAboutForm::TAboutForm(QWidget *mainWindow) : QDialog(mainWindow), m_mainWindow(mainWindow)
{
    setObjectName(QStringLiteral("AboutForm"));
    setWindowTitle(QStringLiteral("About"));
    setFixedSize(476, 330);
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    setModal(false);
    FormCreate();
}

void TAboutForm::FormCreate()
{
    QFont small = font();
    small.setPixelSize(11);
    setFont(small);

    labProgramName = Place(this, "labProgramName", 259, 21);
    labProgramName->resize(201, 20);
    labProgramName->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    QFont nameFont(QStringLiteral("Verdana"));
    nameFont.setPixelSize(17);
    nameFont.setBold(true);
    nameFont.setItalic(true);
    labProgramName->setFont(nameFont);
    labProgramName->setText(AppValues().ProductName);

    labVersion = Place(this, "labVersion", 400, 48);
    labVersion->setText(QStringLiteral("Version ") + AppValues().VersionText);
    labProgramName->setStyleSheet(QStringLiteral("color: white;"));
    labVersion->setStyleSheet(QStringLiteral("color: rgb(224, 232, 246);"));
    labCopyright = Place(this, "labCopyright", 40, 134);
    labCopyright->setText(ProgramInfo::CopyrightLine());
    labRightsReserved = Place(this, "labRightsReserved", 40, 150);
    labRightsReserved->setText(ProgramInfo::RightsReservedLine());
    labVisitWebsite = Place(this, "labVisitWebsite", 40, 166);
    labVisitWebsite->setText(QStringLiteral("Visit our website"));
    labWebsite = Place(this, "labWebsite", 120, 166);
    labWebsite->setText(ProgramInfo::Website());
    MakeLink(labWebsite, true);
    Label7 = Place(this, "Label7", 38, 195);
    Label7->setText(QStringLiteral("More video converting softwares"));
    labMore = Place(this, "labMore", 198, 195);
    labMore->setText(QStringLiteral("(More)"));
    MakeLink(labMore, false);
    const auto products = ProgramInfo::OtherProducts();
    Label8 = Place(this, "Label8", 38, 214);
    Label9 = Place(this, "Label9", 38, 230);
    Label10 = Place(this, "Label10", 38, 246);
    QLabel *productLabels[] = {Label8, Label9, Label10};
    for (size_t i = 0; i < 3; ++i) {
        productLabels[i]->setText(products[i].Name);
        MakeLink(productLabels[i], false);
    }
    for (QLabel *label : {labProgramName, labVersion, labCopyright, labRightsReserved, labVisitWebsite,
                          labWebsite, Label7, labMore, Label8, Label9, Label10}) {
        if (label != labProgramName)
            label->adjustSize();
        label->installEventFilter(this);
    }
    // A link stands right of its caption; with a wider font than the layout's it
    // moves right rather than cover the caption.
    labWebsite->move(qMax(120, labVisitWebsite->geometry().right() + 5), 166);
    labMore->move(qMax(198, Label7->geometry().right() + 5), 195);

    // Right-justified in its box; the full name is wider than the box in most
    // fonts, so the box grows leftwards and keeps its right edge.
    const int nameWidth = qMax(201, labProgramName->sizeHint().width());
    labProgramName->setGeometry(460 - nameWidth, 21, nameWidth, 20);

    btnOK = new QPushButton(QStringLiteral("&OK"), this);
    btnOK->setObjectName(QStringLiteral("btnOK"));
    btnOK->setGeometry(376, 284, 75, 25);
    connect(btnOK, &QPushButton::clicked, this, &QDialog::close);
}

bool TAboutForm::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
        if (watched == labWebsite)
            labWebsiteClick();
        else if (watched == labMore)
            labMoreClick();
        else if (watched == Label8)
            Label8Click();
        else if (watched == Label9)
            Label9Click();
        else if (watched == Label10)
            Label10Click();
    }
    return QDialog::eventFilter(watched, event);
}

void TAboutForm::OpenLink(const QString &address)
{
    const QUrl url(address);
    if (linkOpener())
        linkOpener()(url);
    else
        QDesktopServices::openUrl(url);
}

void TAboutForm::labWebsiteClick()
{
    OpenLink(labWebsite->text());
}
void TAboutForm::labMoreClick()
{
    OpenLink(ProgramInfo::Website());
}
void TAboutForm::Label8Click()
{
    OpenLink(ProgramInfo::OtherProducts()[0].Address);
}
void TAboutForm::Label9Click()
{
    OpenLink(ProgramInfo::OtherProducts()[1].Address);
}
void TAboutForm::Label10Click()
{
    OpenLink(ProgramInfo::OtherProducts()[2].Address);
}

void TAboutForm::showEvent(QShowEvent *event)
{
    if (m_mainWindow) {
        m_mainWindow->setEnabled(false);
        setEnabled(true);
        move(m_mainWindow->geometry().center() - rect().center());
    }
    QDialog::showEvent(event);
}

void TAboutForm::hideEvent(QHideEvent *event)
{
    if (m_mainWindow)
        m_mainWindow->setEnabled(true);
    QDialog::hideEvent(event);
}

// The background picture, drawn by the program: a deep blue band with the
// product's disc emblem above a light body.
void TAboutForm::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient body(0, 0, 0, height());
    body.setColorAt(0, QColor(246, 249, 253));
    body.setColorAt(1, QColor(218, 228, 242));
    p.fillRect(rect(), body);
    QLinearGradient band(0, 0, width(), 0);
    band.setColorAt(0, QColor(22, 54, 102));
    band.setColorAt(1, QColor(74, 118, 178));
    p.fillRect(QRect(0, 0, width(), 112), band);
    p.setPen(Qt::NoPen);
    QRadialGradient disc(QPointF(70, 56), 44);
    disc.setColorAt(0, Qt::white);
    disc.setColorAt(0.6, QColor(196, 214, 238));
    disc.setColorAt(1, QColor(140, 170, 214));
    p.setBrush(disc);
    p.drawEllipse(QPointF(70, 56), 42, 42);
    p.setBrush(QColor(22, 54, 102));
    p.drawEllipse(QPointF(70, 56), 7, 7);
    p.setPen(QPen(QColor(255, 255, 255, 70), 1));
    p.setBrush(Qt::NoBrush);
    for (int r = 14; r < 42; r += 7)
        p.drawEllipse(QPointF(70, 56), r, r);
    p.setPen(QColor(170, 186, 212));
    p.drawLine(30, 270, width() - 30, 270);
}
