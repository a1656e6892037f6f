#pragma once

#include "profiles/Profile.h"

#include <QString>
#include <QStringList>

#include <stdexcept>

class TNewInifile;

// An error in a profile that ends the current operation, e.g.
// "List index out of bounds (5)"; shown by the window's error display.
class TProfileError : public std::runtime_error
{
public:
    explicit TProfileError(const QString &text) : std::runtime_error(text.toStdString()), m_text(text) {}
    QString Text() const { return m_text; }

private:
    QString m_text;
};

// The names (without folder) of the plain files in folder whose extension,
// from the last "." on and in lower case, equals extension (e.g. ".apf").
// Folders and hidden files are left out; the names are sorted without regard
// to letter case. The position in this list is what the preference Profile
// stores, so the order is part of the stored data. A missing or unreadable
// folder gives an empty list.
QStringList ListFilesByExtension(const QString &folder, const QString &extension);

// ProgramDir + "Profiles/" + name + ".apf": a profile's path, always rebuilt
// from its display name.
QString ProfilePath(const QString &programDir, const QString &displayName);

// Reads a profile as the main window and the conversion do, through TIniFile.
// A missing file reads as an empty profile (Type "mp4", no parameters); callers
// that must tell the two apart check the file first. Missing keys take their
// defaults: Type "mp4", Para 0, Sort -1, ReadOnly false, List true, Index 0,
// texts empty. Para is capped at the file's line count, so a damaged count
// cannot make a reader loop for ages over keys that are not there.
TProfile ReadProfile(const QString &path);

// The same through the Settings dialog's TNewInifile (which it then writes back).
TProfile ReadProfile(const TNewInifile &ini);

// "." + Type: the output extension of a profile loaded in the main window.
QString OutputExtension(const TProfile &profile);

// The grid (pgVideo, pgAudio or pgAdvanced) that shows parameter index: its own
// Sort when that is 1, 2 or 3, else the grid of the parameter before it; 0 when
// no parameter up to it names a grid (a broken profile: no grid can be chosen).
int EffectiveGrid(const TProfile &profile, int index);

// The position of text among choices (letter case ignored, first match), -1 if absent.
int IndexOfChoice(const QStringList &choices, const QString &text);
