#include "about/ui/AboutForm.h"
#include "app/ProgramInfo.h"
#include "app/helpers/AppValues.h"
#include "app/ui/MainForm.h"

#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

class AboutFormTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void showsTheIdentityAndOpensItsLinks()
    {
        QTemporaryDir dir;
        ProgramInfo::OverrideProgramDir(dir.path());
        TMainForm mainForm;
        TAboutForm about(&mainForm);
        mainForm.AttachDialogs(nullptr, nullptr, nullptr, nullptr, &about);
        QList<QUrl> opened;
        TAboutForm::SetLinkOpener([&](const QUrl &url) { opened << url; });

        QCOMPARE(about.windowTitle(), QStringLiteral("About"));
        QCOMPARE(about.size(), QSize(476, 330));
        QCOMPARE(about.labProgramName->text(), QStringLiteral("Velmora DVD to MPEG Ripper"));
        QCOMPARE(about.labVersion->text(), QStringLiteral("Version 2.0"));
        QCOMPARE(about.labCopyright->text(), ProgramInfo::CopyrightLine());
        QCOMPARE(about.labVisitWebsite->text(), QStringLiteral("Visit our website"));
        QCOMPARE(about.Label7->text(), QStringLiteral("More video converting softwares"));
        QCOMPARE(about.labMore->text(), QStringLiteral("(More)"));
        QCOMPARE(about.btnOK->geometry(), QRect(376, 284, 75, 25));

        mainForm.show();
        mainForm.SpeedButton2->click();
        QVERIFY(about.isVisible());
        QVERIFY(!mainForm.isEnabled());

        for (QLabel *link : {about.labWebsite, about.labMore, about.Label8, about.Label9, about.Label10})
            QTest::mouseClick(link, Qt::LeftButton, {}, QPoint(2, 2));
        const auto products = ProgramInfo::OtherProducts();
        QCOMPARE(opened, (QList<QUrl>{QUrl(ProgramInfo::Website()), QUrl(ProgramInfo::Website()),
                                      QUrl(products[0].Address), QUrl(products[1].Address),
                                      QUrl(products[2].Address)}));
        for (const QUrl &url : opened)
            QVERIFY(url.host().endsWith(QStringLiteral("example.com")));

        about.btnOK->click();
        QVERIFY(!about.isVisible());
        QVERIFY(mainForm.isEnabled());
        TAboutForm::SetLinkOpener({});
    }
};

QTEST_MAIN(AboutFormTest)
#include "apptest_about.moc"
