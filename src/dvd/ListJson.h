#pragma once

#include <QString>
#include <QTextStream>

// velmora-ripper --list FOLDER: opens the folder as the window does and writes
// its titles and chapters as one JSON document to `out`. Returns the exit
// status: 0, or 1 with the error's text on `err` when the folder cannot be opened.
int RunListCommand(const QString &folder, QTextStream &out, QTextStream &err);
