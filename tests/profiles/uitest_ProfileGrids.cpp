#include "profiles/ui/ProfileGrids.h"

#include "app/helpers/AppValues.h"
#include "profiles/ProfileFormat.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

namespace {
QByteArray ReadBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

QString Rows(const TValueListEditor *grid)
{
    QStringList rows;
    for (int i = 0; i < grid->ItemCount(); ++i)
        rows << grid->Key(i) + QLatin1Char('=') + grid->Value(i);
    return rows.join(QLatin1Char('|'));
}

// A profile with a video pick list, a video read-only text row passing "\",
// an audio row without Sort (falls back to the audio grid of the row before),
// an editable text row, a pick list without List and with a caption missing
// its last comma.
const QByteArray Sample =
    "[Main]\r\nType=avi\r\nPara=6\r\n0=Size\r\n1=NoVideo\r\n2=Codec\r\n3=Rate\r\n"
    "4=Name\r\n5=Mode\r\n"
    "[Size]\r\nSort=1\r\ncmd=-s\r\nList=1\r\nCaption=720x576,352x288,\r\n"
    "Value=720x576,352x288,\r\nIndex=1\r\n"
    "[NoVideo]\r\nSort=1\r\nReadOnly=1\r\ncmd=-vn\r\nList=0\r\nCaption=Yes\r\nValue=\\\r\n"
    "[Codec]\r\nSort=2\r\nList=0\r\nCaption=aac\r\n"
    "[Rate]\r\nCaption=A,B,C\r\nValue=1,2,3,\r\nIndex=1\r\n"
    "[Name]\r\nSort=3\r\nList=0\r\nCaption=hello\r\nValue=hello\r\n"
    "[Mode]\r\nSort=3\r\nCaption=x,\r\nValue=1,\r\n";
} // namespace

class TestProfileGrids : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

    QString Write(const QString &name, const QByteArray &text)
    {
        const QString path = m_dir.filePath(name);
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write(text);
        return path;
    }

private Q_SLOTS:
    void initialRowsBeforeAProfile()
    {
        TProfileGrids grids(TProfileGrids::MainWindow);
        QCOMPARE(Rows(grids.vleVideo),
                 QStringLiteral("Video Codec=|Video Size=|Bit Rate=|Frame Rate=|Aspect=|Disable Video="));
        QCOMPARE(Rows(grids.vleAudio),
                 QStringLiteral("Audio Codec=|Audio Bitrate=|Sample Rate=|Channels=|Volumn=|Disable Audio="));
        QCOMPARE(Rows(grids.vleAdvanced), QStringLiteral("Bit Exact Algorithms=|Deinterlace="));
        QCOMPARE(grids.vleVideo->height(), 6 * 18);
        QCOMPARE(grids.panVideo->text(), QStringLiteral("      Video"));
        QCOMPARE(grids.btnAdvanced->text(), QStringLiteral("-"));
    }

    void loadsRowsIntoBothKindsOfWindow_data()
    {
        QTest::addColumn<int>("kind");
        QTest::newRow("main window") << int(TProfileGrids::MainWindow);
        QTest::newRow("settings") << int(TProfileGrids::Settings);
    }
    void loadsRowsIntoBothKindsOfWindow()
    {
        QFETCH(int, kind);
        const QString path = Write(QStringLiteral("sample.apf"), Sample);
        AppValues().OutputExtension.clear();
        TProfileGrids grids{TProfileGrids::TKind(kind)};
        QVERIFY(grids.LoadProfile(path));
        QCOMPARE(Rows(grids.vleVideo), QStringLiteral("Size=352x288|NoVideo=Yes"));
        QCOMPARE(Rows(grids.vleAudio), QStringLiteral("Codec=aac|Rate=B"));
        QCOMPARE(Rows(grids.vleAdvanced), QStringLiteral("Name=hello|Mode=x"));
        QVERIFY(grids.vleVideo->IsPickList(0));
        QVERIFY(grids.vleVideo->IsReadOnly(0)); // chosen, never typed
        QVERIFY(grids.vleVideo->IsReadOnly(1) && !grids.vleVideo->IsPickList(1));
        QCOMPARE(grids.vleAudio->PickList(1), QStringList({"A", "B"})); // 'A,B,C' holds two
        QVERIFY(!grids.vleAdvanced->IsReadOnly(0) && !grids.vleAdvanced->IsPickList(0));
        QCOMPARE(grids.vleAdvanced->PickList(1), QStringList({"x"})); // no List: a pick list
        QCOMPARE(grids.vleVideo->height(), 2 * 18);
        QCOMPARE(grids.RowText(pgAudio, QStringLiteral("rate")), QStringLiteral("B"));
        QCOMPARE(grids.RowText(pgVideo, QStringLiteral("Rate")), QString());
        QCOMPARE(grids.RowText(7, QStringLiteral("Size")), QString());
        if (kind == TProfileGrids::MainWindow) {
            QCOMPARE(AppValues().OutputExtension, QStringLiteral(".avi"));
            QCOMPARE(grids.OutputExtension(), QStringLiteral(".avi"));
        } else {
            QVERIFY(AppValues().OutputExtension.isEmpty());
        }
    }

    void missingFileChangesNothing()
    {
        AppValues().OutputExtension = QStringLiteral(".keep");
        TProfileGrids grids(TProfileGrids::MainWindow);
        QVERIFY(!grids.LoadProfile(m_dir.filePath(QStringLiteral("none.apf"))));
        QCOMPARE(grids.vleVideo->ItemCount(), 6);
        QCOMPARE(AppValues().OutputExtension, QStringLiteral(".keep"));
    }

    void emptyProfileAndMissingTypeAndNoGridFirst()
    {
        TProfileGrids grids(TProfileGrids::MainWindow);
        QVERIFY(grids.LoadProfile(Write(QStringLiteral("empty.apf"), "[Main]\r\nPara=0\r\n")));
        for (TValueListEditor *grid : {grids.vleVideo, grids.vleAudio, grids.vleAdvanced}) {
            QCOMPARE(grid->ItemCount(), 0);
            QCOMPARE(grid->RowCount(), 1);
            QCOMPARE(grid->height(), 18);
        }
        QCOMPARE(grids.OutputExtension(), QStringLiteral(".mp4"));

        // A first parameter that names no grid: nothing to fall back on, the rest is skipped.
        QVERIFY(
            grids.LoadProfile(Write(QStringLiteral("nogrid.apf"),
                                    "[Main]\r\nPara=2\r\n0=A\r\n1=B\r\n[A]\r\nList=0\r\n[B]\r\nSort=1\r\n")));
        QCOMPARE(grids.vleVideo->ItemCount(), 0);
    }

    void indexOutOfBoundsStopsWithTheRowsSoFar_data()
    {
        QTest::addColumn<QByteArray>("rate");
        QTest::addColumn<int>("index");
        QTest::newRow("beyond") << QByteArray("Caption=a,b,\r\nIndex=3") << 3;
        QTest::newRow("negative") << QByteArray("Caption=a,b,\r\nIndex=-1") << -1;
        QTest::newRow("no choices") << QByteArray("Caption=a") << 0;
    }
    void indexOutOfBoundsStopsWithTheRowsSoFar()
    {
        QFETCH(QByteArray, rate);
        QFETCH(int, index);
        const QString path = Write(QStringLiteral("bad.apf"),
                                   "[Main]\r\nPara=3\r\n0=Codec\r\n1=Rate\r\n2=After\r\n[Codec]\r\nSort=2\r\n"
                                   "List=0\r\nCaption=aac\r\n[Rate]\r\nSort=2\r\n" +
                                       rate + "\r\n[After]\r\nSort=2\r\nList=0\r\n");
        for (auto kind : {TProfileGrids::MainWindow, TProfileGrids::Settings}) {
            TProfileGrids grids(kind);
            try {
                grids.LoadProfile(path);
                QFAIL("no error");
            } catch (const TProfileError &e) {
                QCOMPARE(e.Text(), QStringLiteral("List index out of bounds (%1)").arg(index));
            }
            QCOMPARE(Rows(grids.vleAudio), QStringLiteral("Codec=aac|Rate="));
            QCOMPARE(grids.vleVideo->ItemCount(), 0);
        }
    }

    void settingsLoaderWritesTheFileBackWithCrLf()
    {
        const QString path =
            Write(QStringLiteral("lf.apf"), "[Main]\nPara=1\n0=C\n[C]\nSort=1\nList=0\nCaption=caf\xE9");
        TProfileGrids grids(TProfileGrids::Settings);
        QVERIFY(grids.LoadProfile(path));
        QCOMPARE(grids.vleVideo->Value(0), QString::fromLatin1("caf\xE9"));
        QCOMPARE(ReadBytes(path),
                 QByteArray("[Main]\r\nPara=1\r\n0=C\r\n[C]\r\nSort=1\r\nList=0\r\nCaption=caf\xE9\r\n"));
    }

    void saveProfileWritesTheEditableValues()
    {
        const QString path = Write(QStringLiteral("save.apf"), Sample);
        TProfileGrids grids(TProfileGrids::Settings);
        QVERIFY(grids.LoadProfile(path));
        grids.vleVideo->SetValue(0, QStringLiteral("720X576")); // first match without case
        grids.vleVideo->SetValue(1, QStringLiteral("ignored")); // read-only: skipped
        grids.vleAudio->SetValue(1, QStringLiteral("C"));       // not among its choices
        grids.vleAdvanced->SetValue(0, QStringLiteral("typed"));
        QString error;
        QVERIFY2(grids.SaveProfile(path, &error), qPrintable(error));
        QByteArray expected = Sample;
        expected.replace("Index=1\r\n[NoVideo]", "Index=0\r\n[NoVideo]");
        expected.replace("Value=1,2,3,\r\nIndex=1", "Value=1,2,3,\r\nIndex=-1");
        expected.replace("Caption=aac\r\n",
                         "Caption=aac\r\nValue=aac\r\n"); // missing key below its header...
        expected.replace("[Codec]\r\nSort=2\r\nList=0\r\nCaption=aac\r\nValue=aac\r\n",
                         "[Codec]\r\nValue=aac\r\nSort=2\r\nList=0\r\nCaption=aac\r\n");
        expected.replace("Caption=hello\r\nValue=hello", "Caption=typed\r\nValue=typed");
        expected.replace("[Mode]\r\nSort=3", "[Mode]\r\nIndex=0\r\nSort=3");
        QCOMPARE(ReadBytes(path), expected);
    }

    void saveProfileKeepsParametersTheGridsDoNotShow()
    {
        const QString path =
            Write(QStringLiteral("partial.apf"),
                  "[Main]\r\nPara=2\r\n0=Bad\r\n1=Text\r\n[Bad]\r\nSort=1\r\nCaption=a,\r\nIndex=5\r\n"
                  "[Text]\r\nSort=1\r\nList=0\r\nCaption=keep\r\nValue=keep\r\n");
        TProfileGrids grids(TProfileGrids::Settings);
        QVERIFY_THROWS_EXCEPTION(TProfileError, grids.LoadProfile(path));
        const QByteArray before = ReadBytes(path);
        QVERIFY(grids.SaveProfile(path));
        QCOMPARE(ReadBytes(path), QByteArray(before).replace("Index=5", "Index=-1"));
    }

    void saveProfileOnAnUnwritablePathReportsTheError()
    {
        const QString path = m_dir.filePath(QStringLiteral("folder.apf"));
        QDir().mkpath(path);
        TProfileGrids grids(TProfileGrids::Settings);
        QString error;
        QVERIFY(!grids.SaveProfile(path, &error));
        QVERIFY2(error.startsWith(QStringLiteral("Cannot create file \"%1\". ").arg(path)),
                 qPrintable(error));
        QVERIFY(QFileInfo(path).isDir());
    }

    void saveProfileAsCopiesThenSaves()
    {
        const QString source = Write(QStringLiteral("source.apf"), Sample);
        const QString target = Write(QStringLiteral("target.apf"), "old content\r\n");
        TProfileGrids grids(TProfileGrids::Settings);
        QVERIFY(grids.LoadProfile(source));
        grids.vleAdvanced->SetValue(0, QStringLiteral("edited"));
        QVERIFY(grids.SaveProfileAs(source, target));
        QCOMPARE(ReadBytes(source), Sample);
        QVERIFY(ReadBytes(target).contains("Caption=edited\r\nValue=edited\r\n"));
        QVERIFY(ReadBytes(target).startsWith("[Main]\r\nType=avi"));

        // Onto the source itself: the edits go into it.
        QVERIFY(grids.SaveProfileAs(source, source));
        QVERIFY(ReadBytes(source).contains("Caption=edited\r\nValue=edited\r\n"));

        // A missing source writes nothing.
        const QString none = m_dir.filePath(QStringLiteral("none.apf"));
        const QString other = m_dir.filePath(QStringLiteral("other.apf"));
        QVERIFY(grids.SaveProfileAs(none, other));
        QVERIFY(!QFileInfo::exists(other));
    }

    void collapseAndExpand()
    {
        const QString path = Write(QStringLiteral("c.apf"), Sample);
        TProfileGrids grids(TProfileGrids::Settings);
        QVERIFY(grids.LoadProfile(path));
        QTest::mouseClick(grids.btnVideo, Qt::LeftButton);
        QCOMPARE(grids.btnVideo->text(), QStringLiteral("+"));
        QCOMPARE(grids.vleVideo->height(), 1);
        QVERIFY(grids.LoadProfile(path)); // full height again, caption kept
        QCOMPARE(grids.vleVideo->height(), 2 * 18);
        QCOMPARE(grids.btnVideo->text(), QStringLiteral("+"));
        QTest::mouseClick(grids.btnVideo, Qt::LeftButton);
        QCOMPARE(grids.vleVideo->height(), 2 * 18 + 1);
        QCOMPARE(grids.btnVideo->text(), QStringLiteral("-"));

        TProfileGrids mainGrids(TProfileGrids::MainWindow); // the main window's buttons do nothing
        QTest::mouseClick(mainGrids.btnVideo, Qt::LeftButton);
        QCOMPARE(mainGrids.btnVideo->text(), QStringLiteral("-"));
        QCOMPARE(mainGrids.vleVideo->height(), 6 * 18);
    }

    void everyShippedProfileLoadsAlikeInBothWindows()
    {
        const QString dir = QStringLiteral(VELMORA_SOURCE_DIR "/Profiles/");
        const QStringList names = ListFilesByExtension(dir, QStringLiteral(".apf"));
        QVERIFY(names.size() >= 8);
        QTemporaryDir copies;
        for (const QString &name : names) {
            // The Settings loader writes the file back: give it a copy.
            const QString copy = copies.filePath(name);
            QVERIFY(QFile::copy(dir + name, copy));
            TProfileGrids mainGrids(TProfileGrids::MainWindow);
            TProfileGrids settingsGrids(TProfileGrids::Settings);
            QVERIFY(mainGrids.LoadProfile(dir + name));
            QVERIFY(settingsGrids.LoadProfile(copy));
            QCOMPARE(ReadBytes(copy), ReadBytes(dir + name)); // written back byte for byte
            QCOMPARE(mainGrids.OutputExtension(), OutputExtension(ReadProfile(dir + name)));
            int rows = 0;
            for (int sort : {pgVideo, pgAudio, pgAdvanced}) {
                const TValueListEditor *a = mainGrids.Grid(sort);
                const TValueListEditor *b = settingsGrids.Grid(sort);
                QCOMPARE(Rows(a), Rows(b));
                QCOMPARE(a->height(), a->RowCount() * 18);
                for (int i = 0; i < a->ItemCount(); ++i) {
                    QCOMPARE(a->IsReadOnly(i), b->IsReadOnly(i));
                    QCOMPARE(a->IsPickList(i), b->IsPickList(i));
                    QCOMPARE(a->PickList(i), b->PickList(i));
                    QVERIFY2(!a->Value(i).isEmpty(), qPrintable(name + QLatin1Char(':') + a->Key(i)));
                }
                rows += a->ItemCount();
            }
            QCOMPARE(rows, ReadProfile(dir + name).Parameters.size());
            // Saving unchanged grids leaves the file as it was.
            QVERIFY(settingsGrids.SaveProfile(copy));
            QCOMPARE(ReadBytes(copy), ReadBytes(dir + name));
        }
    }
};

QTEST_MAIN(TestProfileGrids)
#include "uitest_ProfileGrids.moc"
