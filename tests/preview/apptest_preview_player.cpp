// The preview in the main window: a test disc opened, its items played with
// the libmpv navigator (no picture or sound output on the offscreen platform).
#include "app/ProgramInfo.h"
#include "app/helpers/AppValues.h"
#include "app/helpers/IniFile.h"
#include "app/helpers/ui/Dialogs.h"
#include "app/ui/MainForm.h"
#include "preview/ui/MpvDvdNavigator.h"
#include "preview/ui/PreviewPlayer.h"
#include "tasks/TaskModel.h"

#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

const QString kFixtures = QStringLiteral(VELMORA_FIXTURE_DIR);
const int kWait = 30000;

} // namespace

class PreviewInMainWindowTest : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    std::unique_ptr<TMainForm> form;
    QList<TMessageRequest> messages;

    void Focus(const QModelIndex &index)
    {
        form->ltvTask->setCurrentIndex(index);
        QVERIFY(form->FocusedItem());
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        ProgramInfo::OverrideProgramDir(m_dir.path());
    }

    void init()
    {
        messages.clear();
        SetMessageHandler([this](const TMessageRequest &request) {
            messages << request;
            return QMessageBox::Ok;
        });
        form = std::make_unique<TMainForm>();
        form->show();
        form->OpenDvdFolder(kFixtures + QStringLiteral("/pal_two_sets"));
        QVERIFY(messages.isEmpty());
        QVERIFY(form->PreviewPlayer());
        QVERIFY(form->PreviewNavigator());
    }

    void cleanup()
    {
        form.reset();
        SetMessageHandler({});
    }

    void aTitlePlaysFromTheFocusedNode()
    {
        Focus(form->TaskModel->index(1, 0)); // Title02, in the second title set
        form->sbtnPlay->click();
        TMpvDvdNavigator *navigator = form->PreviewNavigator();
        QCOMPARE(navigator->State(), TGraphState::Playing);
        QCOMPARE(form->labEnd->text(), QStringLiteral("00:00:05"));
        QVERIFY(form->tmrPreview->isActive());
        QVERIFY(form->PanHint->isHidden());
        QTRY_VERIFY_WITH_TIMEOUT(navigator->FileLoaded(), kWait);
        QTRY_COMPARE_WITH_TIMEOUT(navigator->StartPosition().Title, 2, kWait);
        QTRY_COMPARE_WITH_TIMEOUT(form->labPreviewPlayTime->text(), QStringLiteral("00:00:01"), kWait);
        // The first use showed the notice once and remembered it.
        QCOMPARE(messages.size(), 1);
        QCOMPARE(messages[0].text, TPreviewPlayer::FirstUseText());
        QVERIFY(
            !TIniFile(PreferencesPath()).ReadBool(QStringLiteral("Main"), QStringLiteral("FirstUse"), true));
    }

    void aDoubleClickPlaysAChapterInItsTitle()
    {
        const QModelIndex title = form->TaskModel->index(0, 0);
        form->ltvTask->expand(title);
        const QModelIndex chapter = form->TaskModel->index(1, 0, title); // Title01, Chapter02
        Focus(chapter);
        // On the start-time column, away from the check box.
        const QRect rect = form->ltvTask->visualRect(chapter.siblingAtColumn(1));
        QVERIFY(rect.isValid());
        QTest::mouseClick(form->ltvTask->viewport(), Qt::LeftButton, Qt::NoModifier, rect.center());
        QTest::mouseDClick(form->ltvTask->viewport(), Qt::LeftButton, Qt::NoModifier, rect.center());
        TMpvDvdNavigator *navigator = form->PreviewNavigator();
        QCOMPARE(navigator->State(), TGraphState::Playing);
        QCOMPARE(form->labStart->text(), QStringLiteral("00:00:02"));
        QCOMPARE(form->PreviewPlayer()->PreviewStart(), 2);
        QTRY_COMPARE_WITH_TIMEOUT(navigator->StartPosition().Chapter, 2, kWait);
        QCOMPARE(navigator->StartPosition().Title, 1);
    }

    void openingADiscStopsThePreview()
    {
        Focus(form->TaskModel->index(0, 0));
        form->sbtnPlay->click();
        QCOMPARE(form->PreviewNavigator()->State(), TGraphState::Playing);
        form->TrackBar->setValue(0);
        form->OpenDvdFolder(kFixtures + QStringLiteral("/ntsc_4x3"));
        QCOMPARE(form->PreviewNavigator()->State(), TGraphState::Stopped);
        QVERIFY(!form->tmrPreview->isActive());
        QCOMPARE(form->TrackBar->value(), 0);
        QTRY_VERIFY_WITH_TIMEOUT(form->PreviewNavigator()->Idle(), kWait);
    }
};

QTEST_MAIN(PreviewInMainWindowTest)
#include "apptest_preview_player.moc"
