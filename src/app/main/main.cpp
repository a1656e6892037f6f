#include "about/ui/AboutForm.h"
#include "app/ProgramInfo.h"
#include "app/ui/MainForm.h"
#include "conversion/RipCommand.h"
#include "dvd/ListJson.h"
#include "dvd/ui/OpenDVDForm.h"
#include "preview/ui/EditTimeForm.h"
#include "profiles/ui/SettingForm.h"
#include "tasks/ui/EditDVDVolumeForm.h"

#include <QApplication>
#include <QCoreApplication>
#include <QTextStream>

#include <cstdio>

namespace {

// The commands that run without a window or a display.
bool RunCommand(int argc, char **argv, int &status)
{
    if (argc < 2)
        return false;
    const QString command = QString::fromLocal8Bit(argv[1]);
    if (command == QLatin1String("--list")) {
        QCoreApplication app(argc, argv);
        QTextStream out(stdout);
        QTextStream err(stderr);
        if (argc != 3) {
            err << "usage: velmora-ripper --list FOLDER\n";
            status = 2;
            return true;
        }
        status = RunListCommand(QString::fromLocal8Bit(argv[2]), out, err);
        return true;
    }
    if (command == QLatin1String("--rip")) {
        // A conversion on the terminal: no window, no display needed.
        QCoreApplication app(argc, argv);
        ProgramInfo::InitProgramValues(QCoreApplication::applicationDirPath());
        QTextStream out(stdout);
        QTextStream err(stderr);
        QStringList arguments = QCoreApplication::arguments();
        arguments.removeFirst();
        status = RunRipCommand(arguments, out, err);
        return true;
    }
    return false;
}

} // namespace

int main(int argc, char **argv)
{
    int status = 0;
    if (RunCommand(argc, argv, status))
        return status;

    QApplication app(argc, argv);
    QStringList arguments = QCoreApplication::arguments();
    arguments.removeFirst();

    // The windows, in this order; all but the main window start hidden.
    TMainForm mainForm(arguments);
    TOpenDVDForm openDvdForm(&mainForm);
    TSettingForm settingForm(&mainForm, mainForm.cmbProfile, mainForm.edtOutputDir,
                             [&mainForm] { mainForm.cmbProfileChange(); });
    TEditDVDVolumeForm editVolumeForm(&mainForm);
    TEditTimeForm editTimeForm(&mainForm);
    TAboutForm aboutForm(&mainForm);
    mainForm.AttachDialogs(&openDvdForm, &settingForm, &editVolumeForm, &editTimeForm, &aboutForm);

    mainForm.show();
    return app.exec();
}
