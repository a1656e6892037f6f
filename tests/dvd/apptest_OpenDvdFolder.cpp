#include "app/helpers/AppValues.h"
#include "app/helpers/ui/Dialogs.h"
#include "app/ui/MainForm.h"
#include "dvd/ui/OpenDVDForm.h"
#include "tasks/TaskModel.h"
#include "tasks/ui/EditDVDVolumeForm.h"
#include "tasks/ui/TaskTree.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <memory>

namespace {

const QString kFixtures = QStringLiteral(VELMORA_FIXTURE_DIR);

class TFakeDrives : public TDriveSource
{
public:
    explicit TFakeDrives(QList<TOpticalDrive> list) : drives(std::move(list)) {}
    QList<TOpticalDrive> OpticalDrives() const override { return drives; }
    QList<TOpticalDrive> drives;
};

QStringList TitleNames(const TTaskModel &model)
{
    QStringList names;
    for (int row = 0; row < model.rowCount(); ++row)
        names << model.Item(model.index(row, 0))->OutputName;
    return names;
}

QStringList CheckedNames(const TTaskModel &model)
{
    QStringList names;
    for (const auto &entry : model.CheckedItems())
        names << entry.Item->OutputName;
    return names;
}

// Copies a fixture disc so a test may damage it.
bool CopyDisc(const QString &from, const QString &to)
{
    QDir().mkpath(to + QStringLiteral("/VIDEO_TS"));
    const QDir source(from + QStringLiteral("/VIDEO_TS"));
    for (const QString &name : source.entryList(QDir::Files))
        if (!QFile::copy(source.filePath(name), to + QStringLiteral("/VIDEO_TS/") + name))
            return false;
    return true;
}

} // namespace

class OpenDvdFolderTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        messages.clear();
        SetMessageHandler([this](const TMessageRequest &request) {
            messages << request;
            return QMessageBox::Ok;
        });
        form = std::make_unique<TMainForm>();
        AppValues().OutputExtension = QStringLiteral(".mp4");
        DVDInfo().VolumeName.clear();
        form->show();
    }
    void cleanup()
    {
        form.reset();
        SetMessageHandler({});
        SetFolderHandler({});
    }

    void emptyTreeAtStart()
    {
        QVERIFY(form->TaskModel->IsEmpty());
        QVERIFY(!form->FocusedItem());
        QVERIFY(!form->sbtnSegment->isEnabled());
        Q_EMIT form->PopupMenu1->aboutToShow();
        QVERIFY(!form->pmiCheck->menuAction()->isEnabled());
        QVERIFY(!form->pmiUncheck->isEnabled());
        QVERIFY(!form->pmiDVDVolume->isEnabled());
        QVERIFY(form->pmiOpenDVD->isEnabled());
        QVERIFY(form->pmiOpenDir->isEnabled());
        QVERIFY(form->pmiTrimTime->isEnabled());
    }

    // The disc folder, its VIDEO_TS folder, with and without a trailing separator.
    void folderFormsOpenTheSameTitles()
    {
        const QString disc = kFixtures + QStringLiteral("/pal_two_sets");
        const QStringList forms = {disc, disc + "/", disc + "/VIDEO_TS", disc + "/VIDEO_TS/"};
        for (const QString &folder : forms) {
            form->OpenDvdFolder(folder);
            QVERIFY2(messages.isEmpty(), qPrintable(folder));
            QCOMPARE(TitleNames(*form->TaskModel), QStringList({"Title01", "Title02"}));
            QCOMPARE(form->TaskModel->rowCount(form->TaskModel->index(0, 0)), 3);
            QCOMPARE(CheckedNames(*form->TaskModel), QStringList({"Title01"}));
            QCOMPARE(DVDInfo().VideoTsPath, disc + "/VIDEO_TS/");
            QVERIFY(form->panbg->isHidden());
            QVERIFY(form->PanHint->isHidden());
            QVERIFY(form->sbtnSegment->isEnabled());
        }
        Q_EMIT form->PopupMenu1->aboutToShow();
        QVERIFY(form->pmiCheck->menuAction()->isEnabled());
        QVERIFY(form->pmiDVDVolume->isEnabled());
    }

    void namesAndTheLongestTitle()
    {
        form->OpenDvdFolder(kFixtures + QStringLiteral("/many_titles"));
        TTaskModel &model = *form->TaskModel;
        QStringList expected;
        for (int n = 1; n <= 12; ++n)
            expected << QStringLiteral("Title%1").arg(n, 2, 10, QLatin1Char('0'));
        QCOMPARE(TitleNames(model), expected);
        const QModelIndex title3 = model.index(2, 0);
        QCOMPARE(model.rowCount(title3), 10);
        const QModelIndex chapter10 = model.index(9, 0, title3);
        QCOMPARE(model.Item(chapter10)->OutputName, QStringLiteral("Title03-Chapter10"));
        QCOMPARE(model.data(chapter10.siblingAtColumn(TTaskModel::colOutputFile)).toString(),
                 QStringLiteral("Title03-Chapter10.mp4"));
        QCOMPARE(CheckedNames(model), QStringList({"Title03"}));

        // The focused item and its title, as the preview and the time editor get them.
        form->TaskTree->SetFocusedIndex(chapter10);
        QCOMPARE(form->FocusedItem(), model.Item(chapter10));
        QCOMPARE(form->FocusedTitle(), model.Item(title3));
        QCOMPARE(form->FocusedIndex(), chapter10);

        // Equal lengths: the first of them is checked.
        form->OpenDvdFolder(kFixtures + QStringLiteral("/ntsc_4x3"));
        QCOMPARE(CheckedNames(*form->TaskModel), QStringList({"Title01"}));
        QVERIFY(!form->FocusedItem()); // the old nodes are gone with their records
    }

    void brokenIfoEndsTheOpenWithAnEmptyTree()
    {
        QTemporaryDir temp;
        const QString broken = temp.path() + QStringLiteral("/broken");
        QVERIFY(CopyDisc(kFixtures + QStringLiteral("/pal_two_sets"), broken));
        QFile ifo(broken + QStringLiteral("/VIDEO_TS/VTS_02_0.IFO"));
        QVERIFY(ifo.open(QIODevice::ReadWrite));
        QVERIFY(ifo.resize(300));
        ifo.close();

        form->OpenDvdFolder(kFixtures + QStringLiteral("/pal_two_sets"));
        QCOMPARE(form->TaskModel->TitleCount(), 2);
        form->OpenDvdFolder(broken);
        QVERIFY(form->TaskModel->IsEmpty());
        QVERIFY(form->PanHint->isHidden());
        QCOMPARE(messages.size(), 1);
        QCOMPARE(messages[0].icon, QMessageBox::Critical);
        QVERIFY2(messages[0].text.contains(QStringLiteral("VTS_02_0.IFO")), qPrintable(messages[0].text));
        QCOMPARE(messages[0].owner, form.get());
        // The window goes on: the next open works.
        form->OpenDvdFolder(kFixtures + QStringLiteral("/ntsc_4x3"));
        QCOMPARE(form->TaskModel->TitleCount(), 2);
    }

    // Opening lets other handlers run; an open asked for meanwhile (a drop,
    // a click) is not started inside the running one.
    void noOpenInsideARunningOpen()
    {
        bool fired = false;
        QTimer::singleShot(0, form.get(), [&] {
            fired = true;
            form->OpenDvdFolder(kFixtures + QStringLiteral("/many_titles"));
        });
        form->OpenDvdFolder(kFixtures + QStringLiteral("/pal_two_sets"));
        QVERIFY(fired);
        QCOMPARE(TitleNames(*form->TaskModel), QStringList({"Title01", "Title02"}));
        QVERIFY(form->PanHint->isHidden());
        form->OpenDvdFolder(kFixtures + QStringLiteral("/many_titles"));
        QCOMPARE(form->TaskModel->TitleCount(), 12);
    }

    void startAndEndMarks()
    {
        form->OpenDvdFolder(kFixtures + QStringLiteral("/pal_two_sets"));
        TTaskModel &model = *form->TaskModel;
        const QModelIndex title = model.index(0, 0);
        auto text = [&](int column) { return model.data(title.siblingAtColumn(column)).toString(); };
        QCOMPARE(text(TTaskModel::colStart), QStringLiteral("00:00:00"));
        QCOMPARE(text(TTaskModel::colEnd), QStringLiteral("00:00:06"));
        TaskItem *item = model.Item(title);
        item->TrimStart = 60;
        item->TrimStartText = QStringLiteral("00:01:00");
        model.ItemChanged(item);
        QCOMPARE(text(TTaskModel::colStart), QStringLiteral("[ 00:01:00"));
        QCOMPARE(text(TTaskModel::colEnd), QStringLiteral("00:00:06"));
        item->TrimEnd = 4;
        item->TrimEndText = QStringLiteral("00:00:04");
        QCOMPARE(text(TTaskModel::colEnd), QStringLiteral("00:00:04 ]"));
    }

    void volumeDialogSetsThePrefix()
    {
        TEditDVDVolumeForm edit(form.get());
        form->AttachDialogs(nullptr, nullptr, &edit, nullptr, nullptr);
        form->OpenDvdFolder(kFixtures + QStringLiteral("/pal_two_sets"));
        const QModelIndex chapter2 = form->TaskModel->index(1, 0, form->TaskModel->index(0, 0));
        auto shown = [&] {
            return form->TaskModel->data(chapter2.siblingAtColumn(TTaskModel::colOutputFile)).toString();
        };
        QCOMPARE(shown(), QStringLiteral("Title01-Chapter02.mp4"));

        struct Case
        {
            QString typed;
            bool ok;
            QString column;
        };
        const QList<Case> cases = {
            {"HOLIDAY", true, "HOLIDAY-Title01-Chapter02.mp4"},
            {"OTHER", false, "HOLIDAY-Title01-Chapter02.mp4"},
            {"A/B", true, "A_B-Title01-Chapter02.mp4"},
            {"", true, "Title01-Chapter02.mp4"},
        };
        for (const Case &c : cases) {
            form->pmiDVDVolume->trigger();
            QVERIFY(edit.isVisible());
            QVERIFY(!form->isEnabled());
            edit.edtDVDVolume->setText(c.typed);
            QTest::mouseClick(c.ok ? edit.btnOK : edit.btnCancel, Qt::LeftButton);
            QVERIFY(form->isEnabled());
            QCOMPARE(shown(), c.column);
        }
        form->pmiDVDVolume->trigger();
        edit.edtDVDVolume->setText(QStringLiteral("A/B"));
        QTest::mouseClick(edit.btnOK, Qt::LeftButton);
        QCOMPARE(DVDInfo().VolumeName, QStringLiteral("A/B")); // kept as typed
    }

    void openDvdThroughTheDiscChooser()
    {
        TOpenDVDForm chooser(form.get(),
                             std::make_shared<TFakeDrives>(QList<TOpticalDrive>{
                                 {"/dev/sr0", QString(), QString()},
                                 {"/dev/sr1", kFixtures + QStringLiteral("/pal_two_sets"), "MY_MOVIE"}}));
        form->AttachDialogs(&chooser, nullptr, nullptr, nullptr, nullptr);
        QTest::mouseClick(form->sbtnOpenDVD, Qt::LeftButton);
        QVERIFY(chooser.isVisible());
        QVERIFY(!form->isEnabled());
        QTest::mouseClick(chooser.btnOpen, Qt::LeftButton);
        QVERIFY(!chooser.isVisible());
        QVERIFY(form->isEnabled());
        QCOMPARE(DVDInfo().VolumeName, QStringLiteral("MY_MOVIE"));
        QCOMPARE(TitleNames(*form->TaskModel), QStringList({"Title01", "Title02"}));
        QCOMPARE(form->TaskModel->data(form->TaskModel->index(0, TTaskModel::colOutputFile)).toString(),
                 QStringLiteral("MY_MOVIE-Title01.mp4"));
        // The popup entry performs the button's click.
        form->pmiOpenDVD->trigger();
        QVERIFY(chooser.isVisible());
        chooser.close();
        QVERIFY(form->isEnabled());
    }

    void openDirThroughTheFolderChooser()
    {
        QStringList captions;
        QString answer;
        SetFolderHandler([&](QWidget *, const QString &caption, QString &folder) {
            captions << caption;
            if (answer.isEmpty())
                return false;
            folder = answer;
            return true;
        });
        QTest::mouseClick(form->sbtnOpenDir, Qt::LeftButton);
        QCOMPARE(captions, QStringList({"Please specify a DVD-ROM"}));
        QVERIFY(form->TaskModel->IsEmpty());
        QVERIFY(!form->panbg->isHidden());

        answer = kFixtures + QStringLiteral("/two_pgcs");
        form->pmiOpenDir->trigger();
        QCOMPARE(captions.size(), 2);
        QCOMPARE(TitleNames(*form->TaskModel), QStringList({"Title01", "Title02"}));
        QCOMPARE(DVDInfo().VideoTsPath, answer + QStringLiteral("/VIDEO_TS/"));
        QVERIFY(messages.isEmpty());
    }

private:
    std::unique_ptr<TMainForm> form;
    QList<TMessageRequest> messages;
};

QTEST_MAIN(OpenDvdFolderTest)
#include "apptest_OpenDvdFolder.moc"
