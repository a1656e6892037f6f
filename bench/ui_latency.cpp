// How well the main window keeps up while a tool floods it with status: the
// whole window converts two chapters of a test disc with stand-in tools that
// print a status line every millisecond, and a 10 ms timer in the window
// records the gaps between its ticks. Also counted: how often the current
// progress bar was repainted.
//
// The same executable is the stand-in tool: run under the name "mencoder" or
// "ffmpeg" (the program folder's links to it), it prints that tool's status.
//
// Usage: ui_latency [SECONDS_PER_STAGE]   (default 3)

#include "app/ProgramInfo.h"
#include "app/helpers/AppValues.h"
#include "app/helpers/ui/Dialogs.h"
#include "app/ui/MainForm.h"
#include "conversion/BatchDriver.h"
#include "profiles/ui/SettingForm.h"
#include "tasks/TaskModel.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

// ---------------------------------------------------------------- the stand-in tool

void Print(const std::string &text)
{
    const ssize_t written = ::write(STDOUT_FILENO, text.data(), text.size());
    (void)written;
}

void SleepOneMillisecond()
{
    timespec t{0, 1000000};
    nanosleep(&t, nullptr);
}

double Seconds()
{
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return t.tv_sec + t.tv_nsec / 1e9;
}

int RunTool(bool firstStage, int argc, char **argv)
{
    std::string output, input;
    double endpos = 2;
    bool ovc = false;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "-endpos") && i + 1 < argc)
            endpos = std::atof(argv[i + 1]);
        if (!std::strcmp(argv[i], "-o") && i + 1 < argc)
            output = argv[i + 1];
        if (!std::strcmp(argv[i], "-ovc"))
            ovc = true;
        if (!std::strcmp(argv[i], "-i") && i + 1 < argc)
            input = argv[i + 1];
    }
    if (!firstStage)
        output = argv[argc - 1];
    if (firstStage && !ovc) {
        Print("No video encoder (-ovc) selected.\n\nExiting...\n");
        return 1;
    }
    const char *secondsText = std::getenv("UI_LATENCY_SECONDS");
    const double seconds = secondsText ? std::atof(secondsText) : 3.0;
    Print(firstStage ? "MEncoder (stand-in)\n" : "ffmpeg version 5.1 (stand-in)\n");
    for (int i = 0; i < 30; ++i)
        Print("banner line\n");
    const double start = Seconds();
    char line[256];
    for (double now = 0; now < seconds; now = Seconds() - start) {
        const double position = endpos * now / seconds;
        if (firstStage)
            std::snprintf(line, sizeof line,
                          "Pos: %5.1fs %6df (%2d%%)  50.00fps Trem:   0min   0mb  A-V:0.000 [0:0]\r",
                          position, int(position * 25), int(100 * now / seconds));
        else
            std::snprintf(line, sizeof line,
                          "frame=%5d fps=50 q=28.0 size=   100kB time=00:00:%05.2f bitrate= 700.1kbits/s "
                          "speed=1x    \r",
                          int(position * 25), position);
        Print(line);
        SleepOneMillisecond();
    }
    if (FILE *f = std::fopen(output.c_str(), "w")) {
        std::fputs("stand-in output\n", f);
        std::fclose(f);
    }
    if (firstStage)
        Print("\nVideo stream:  266.224 kbit/s  size: 67887 bytes  2.000 secs  50 frames\n"
              "Audio stream:   58.848 kbit/s  size: 14796 bytes  2.000 secs\n");
    return 0;
}

// ---------------------------------------------------------------- the window

bool WriteBytes(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

// Counts the paint events of one widget.
class TPaintCounter : public QObject
{
public:
    int Count = 0;
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            ++Count;
        return false;
    }
};

int RunWindow(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (argc > 1)
        qputenv("UI_LATENCY_SECONDS", argv[1]);
    QApplication app(argc, argv);
    QTemporaryDir program, out, work;
    if (!program.isValid() || !out.isValid() || !work.isValid())
        return 1;
    const QString self = QCoreApplication::applicationFilePath();
    for (const char *tool : {"mencoder", "ffmpeg"})
        QFile::link(self, program.filePath(QLatin1String(tool)));
    QDir(program.path()).mkdir(QStringLiteral("Profiles"));
    QFile::copy(QStringLiteral(VELMORA_SOURCE_DIR "/Profiles/AVI - MPEG-4 MP3.apf"),
                program.filePath(QStringLiteral("Profiles/AVI - MPEG-4 MP3.apf")));
    WriteBytes(program.filePath(QStringLiteral("Preferences.ini")),
               "[Main]\r\nProfile=0\r\nOutput Path=" + QFile::encodeName(out.path()) + "/\r\nWork Dir=" +
                   QFile::encodeName(work.path()) + "/\r\nAuto Open Dir=0\r\nOverwrite=1\r\n");
    ProgramInfo::OverrideProgramDir(program.path());
    SetMessageHandler([](const TMessageRequest &request) {
        std::fprintf(stderr, "message: %s: %s\n", qPrintable(request.caption), qPrintable(request.text));
        return QMessageBox::Ok;
    });

    TMainForm form;
    TSettingForm settings(&form, form.cmbProfile, form.edtOutputDir, [&form] { form.cmbProfileChange(); });
    form.AttachDialogs(nullptr, &settings, nullptr, nullptr, nullptr);
    form.show();
    app.processEvents();
    form.OpenDvdFolder(QStringLiteral(VELMORA_FIXTURE_DIR "/pal_two_sets"));
    TTaskModel *model = form.TaskModel;
    if (!model || model->TitleCount() < 1) {
        std::fprintf(stderr, "ui_latency: the test disc did not open\n");
        return 1;
    }
    model->RunCheckCommand(TTaskModel::CheckCommand::UncheckAll);
    const QModelIndex title = model->index(0, 0);
    model->SetChecked(model->index(0, 0, title), true);
    model->SetChecked(model->index(1, 0, title), true);

    TPaintCounter paints;
    form.pgbCurrent->installEventFilter(&paints);
    std::vector<qint64> gaps;
    QElapsedTimer sinceTick, batch;
    QTimer ticker(&form);
    ticker.setTimerType(Qt::PreciseTimer);
    ticker.setInterval(10);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        if (sinceTick.isValid())
            gaps.push_back(sinceTick.elapsed());
        sinceTick.start();
    });
    TBatchSummary summary;
    QObject::connect(form.BatchDriver(), &TBatchDriver::batchFinished, &app, [&](const TBatchSummary &s) {
        summary = s;
        ticker.stop();
        QTimer::singleShot(0, &app, &QCoreApplication::quit);
    });
    QTimer::singleShot(0, &form, [&] {
        paints.Count = 0;
        batch.start();
        ticker.start();
        form.imgStartClick();
    });
    app.exec();
    const double seconds = batch.elapsed() / 1000.0;

    if (summary.Outcome != TBatchOutcome::Completed || gaps.empty()) {
        std::fprintf(stderr, "ui_latency: the batch did not complete\n");
        return 1;
    }
    std::vector<qint64> sorted = gaps;
    std::sort(sorted.begin(), sorted.end());
    qint64 total = 0;
    for (qint64 g : gaps)
        total += g;
    std::printf("batch:                 2 items, %.1f s, stand-in tools printing a status line every 1 ms\n",
                seconds);
    std::printf("10 ms timer ticks:     %zu\n", gaps.size());
    std::printf("longest gap:           %lld ms (aim: under 50 ms)\n", static_cast<long long>(sorted.back()));
    std::printf("99th percentile gap:   %lld ms\n", static_cast<long long>(sorted[sorted.size() * 99 / 100]));
    std::printf("mean gap:              %.1f ms\n", double(total) / gaps.size());
    std::printf("progress bar repaints: %d (%.1f a second)\n", paints.Count, paints.Count / seconds);
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    const std::string name = QFileInfo(QString::fromLocal8Bit(argv[0])).fileName().toStdString();
    if (name == "mencoder")
        return RunTool(true, argc, argv);
    if (name == "ffmpeg")
        return RunTool(false, argc, argv);
    return RunWindow(argc, argv);
}
