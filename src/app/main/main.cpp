#include "app/ProgramInfo.h"
#include "app/helpers/AppValues.h"
#include "conversion/RipCommand.h"
#include "dvd/ListJson.h"
#include "profiles/ProfileFormat.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>

#include <cstdio>
#include <dlfcn.h>
#include <unistd.h>

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
        // The Output File texts end in the extension of the remembered profile, as in the window.
        ProgramInfo::InitProgramValues(QCoreApplication::applicationDirPath());
        const QString profile = PreferredProfileName(PreferencesPath(), ProfilesDir());
        if (!profile.isEmpty())
            AppValues().OutputExtension =
                OutputExtension(ReadProfile(ProfilePath(AppValues().ProgramDir, profile)));
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

// The folder of the running executable, before any application object exists.
QString ExecutableDir()
{
    char path[4096];
    const ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
    if (n <= 0)
        return QString();
    return QFileInfo(QString::fromLocal8Bit(path, static_cast<int>(n))).absolutePath();
}

int RunWindows(int argc, char **argv)
{
    const QString module = ExecutableDir() + QStringLiteral("/velmora-windows.so");
    void *handle = dlopen(QFile::encodeName(module).constData(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        std::fprintf(stderr, "velmora-ripper: cannot load the windows (%s)\n", dlerror());
        return 1;
    }
    using TRunWindows = int (*)(int, char **);
    auto run = reinterpret_cast<TRunWindows>(dlsym(handle, "VelmoraRunWindows"));
    if (!run) {
        std::fprintf(stderr, "velmora-ripper: %s holds no windows\n", QFile::encodeName(module).constData());
        return 1;
    }
    // The module stays loaded until the process ends: Qt's objects of it live that long.
    return run(argc, argv);
}

} // namespace

int main(int argc, char **argv)
{
    int status = 0;
    if (RunCommand(argc, argv, status))
        return status;
    return RunWindows(argc, argv);
}
