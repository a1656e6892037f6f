#pragma once

#include <QList>
#include <QString>

// One parameter of an output profile, as its section in the .apf file says.
struct TProfileParameter
{
    QString Name;
    int Sort = -1; // 1 Video grid, 2 Audio grid, 3 Advanced grid; other values: the grid of the one before
    bool ReadOnly = false;
    QString Cmd;      // the converter switch, e.g. "-b"; empty adds nothing
    bool List = true; // a pick-list row (a section without List is one)
    QString Caption;  // list: the choices, comma-terminated; other: the row's initial text
    QString Value;    // list: the argument of each choice; other: the argument of a read-only row
    int Index = 0;    // list: the chosen position in Caption
};

// A profile as the main window and the conversion read it (through TIniFile).
struct TProfile
{
    QString Type = QStringLiteral("mp4"); // output file type; the extension is "." + Type
    QList<TProfileParameter> Parameters;  // in the order of the numbered keys of Main
};

// The grids of a window, numbered as Sort numbers them.
enum TProfileGrid { pgVideo = 1, pgAudio = 2, pgAdvanced = 3 };
