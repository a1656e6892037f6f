// The open behind --list without the process around it: RunListCommand on a
// folder, repeated, so the cost of the program's own work shows apart from
// the start of the executable and the loading of its libraries.
#include "dvd/ListJson.h"

#include <QElapsedTimer>
#include <QString>
#include <QTextStream>

#include <cstdio>
#include <cstdlib>

int main(int argc, char **argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: open_disc_inprocess FOLDER [ROUNDS]\n");
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    const int rounds = argc > 2 ? std::atoi(argv[2]) : 20;
    QString out, err;
    QTextStream outStream(&out), errStream(&err);
    if (RunListCommand(folder, outStream, errStream) != 0) {
        std::fprintf(stderr, "%s", err.toLocal8Bit().constData());
        return 1;
    }
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < rounds; ++i) {
        out.clear();
        RunListCommand(folder, outStream, errStream);
    }
    std::printf("%lld\n", static_cast<long long>(timer.nsecsElapsed() / 1000 / (rounds > 0 ? rounds : 1)));
    return 0;
}
