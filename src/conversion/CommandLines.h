#pragma once

// The command lines of a conversion. Each checked item passes through two
// tools: the first-stage transcoder (mencoder syntax) reads the item from the
// disc folder and writes "temp.avi" into the work folder; the second-stage
// converter (ffmpeg syntax) turns "temp.avi" into the output file with the
// switches of the output profile.
//
// Every argument text built here begins with a blank, holds no program name,
// and is handed to the tool after SplitArguments: blanks separate arguments,
// a double-quoted stretch is one argument. Every path piece is quoted so that
// blanks in a path survive the split.
//
// Nothing here runs a process or touches a window: the profile comes in as a
// TProfile (or a path that is read with ReadProfile), the rows of the main
// window's grids through a TGridLookup.

#include "profiles/Profile.h"
#include "tasks/TaskItem.h"

#include <QString>
#include <QStringList>

#include <functional>

// The first stage's picture size, aspect, bit rate and sample rate, taken from
// the profile by BuildEncoderOptions at the start of each batch.
struct TMencOutputSettings
{
    QString VideoSize;    // width ":" height, e.g. '352:288' (the "-s" value with "x" replaced)
    QString Width;        // text before the first ":" of VideoSize; set only when VideoSize is not empty
    QString Height;       // text after the first ":" of VideoSize
    QString Aspect;       // the "-aspect" value, e.g. "4:3"
    QString VideoBitrate; // the "-b" value
    QString AudioRate;    // the "-ar" value

    bool operator==(const TMencOutputSettings &o) const
    {
        return VideoSize == o.VideoSize && Width == o.Width && Height == o.Height && Aspect == o.Aspect &&
               VideoBitrate == o.VideoBitrate && AudioRate == o.AudioRate;
    }
};

// The program's one record (the builders take it as an argument, the batch
// driver passes this one).
TMencOutputSettings &MencOutputSettings();

// The text a main-window grid shows in the row called `name`; `sort` is the
// grid's number (1 Video, 2 Audio, 3 Advanced). A grid without such a row
// answers the empty text.
using TGridLookup = std::function<QString(int sort, const QString &name)>;

// A text built from the profile, or the reason it cannot be built. Error is a
// sentence fit for a message box; Text is empty when Error is set.
struct TBuildResult
{
    QString Text;
    QString Error;
    bool Ok() const { return Error.isEmpty(); }
};

// One parameter's switch and effective value.
struct TResolvedParameter
{
    QString Switch; // the parameter's cmd
    QString Value;  // its effective value
    QString Error;  // set when no value can be resolved (then Value is empty)
    bool Ok() const { return Error.isEmpty(); }
};

// The switch and effective value of the parameter `name` (letter case
// ignored) of the profile: a list parameter passes the item of Value at the
// position of the row's text among the Caption items; a read-only parameter
// passes Value; any other passes the row's text. The row is looked up in the
// grid that Sort names, or in the grid of the parameter before it. Error when
// the parameter does not exist, when the grid is needed but no parameter up to
// this one names one, when a list row's text is not among the choices, or when
// Value has no item at the chosen position.
TResolvedParameter ResolveParameterValue(const TProfile &profile, const QString &name,
                                         const TGridLookup &lookup);

// The same by position in profile.Parameters (names need not be distinct).
TResolvedParameter ResolveParameterAt(const TProfile &profile, int index, const TGridLookup &lookup);

// The first stage's encoding tail with the profile's video bit rate ("-b",
// default 800) and sample rate ("-ar"); empties `settings` and fills it from
// the "-s", "-aspect", "-b" and "-ar" parameters (the later of two wins).
// Error when a parameter with a switch cannot be resolved, or when the "-s"
// value gives a Width that is not a positive whole number; `settings` is then
// left empty.
TBuildResult BuildEncoderOptions(const TProfile &profile, const TGridLookup &lookup,
                                 TMencOutputSettings &settings);

// The same on a profile file. A file that does not exist gives an empty text
// (no error) and leaves `settings` empty.
TBuildResult BuildEncoderOptions(const QString &profilePath, const TGridLookup &lookup,
                                 TMencOutputSettings &settings);

// " " + switch + " " + value for every parameter whose switch and value are
// both non-empty, in profile order; a value of exactly "\" stands for the
// switch without an argument (" -switch "). Error as for BuildEncoderOptions.
TBuildResult BuildConverterOptions(const TProfile &profile, const TGridLookup &lookup);
TBuildResult BuildConverterOptions(const QString &profilePath, const TGridLookup &lookup);

// The arguments of the first-stage run of `item`: title, device, start,
// length, the encoder options, audio language (only when `title` has one at
// the item's AudioLanguageIndex), scaling (only when settings.VideoSize is
// set), subtitle (only when SubtitleIndex is not 0) and the quoted
// intermediate file workDir + "temp.avi". `title` is the item itself for a
// title, else the chapter's parent. Error when the trimmed times are not clock
// texts or end before they start, or when a path holds a double quote (which
// the argument split cannot carry).
TBuildResult BuildFirstStageArguments(const TaskItem &item, const TaskItem &title,
                                      const QString &encoderOptions, const QString &workDir,
                                      const QString &videoTsPath, const TMencOutputSettings &settings);

// The short first-stage run before each item: the title and the drive part of
// the disc folder (the mount point of the file system that holds it), quoted,
// and the relative output "temp.avi".
QString BuildPreliminaryArguments(const TaskItem &title, const QString &videoTsPath);

// The mount point of the file system holding `path`, without a trailing
// separator (except for "/" itself); the path itself when it does not exist.
QString PreliminaryDrivePart(const QString &path);

// The second stage's arguments: " -y -i " + quoted workDir + "temp.avi", the
// converter options, " " + the quoted output path. Error when a path holds a
// double quote.
TBuildResult BuildSecondStageArguments(const QString &converterOptions, const QString &workDir,
                                       const QString &outputPath);

// The intermediate file of the first stage in `workDir`.
QString IntermediateFilePath(const QString &workDir);

// Splits an argument text the way the tools receive it: blanks (spaces and
// tabs) separate arguments; a double-quoted stretch is part of one argument,
// blanks included, without its quotes ('a"b c"d' is one argument 'ab cd';
// '""' is an empty argument); an unclosed quote runs to the end of the text.
QStringList SplitArguments(const QString &text);

// A path as one argument piece: the path between double quotes.
QString QuotePath(const QString &path);
