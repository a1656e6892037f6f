#pragma once

#include <QString>

// The opened disc, one record for the whole run.
struct TDVDInformation
{
    QString Standard;     // "PAL" or "NTSC": the video standard of the title added last
    double FrameRate = 0; // 25 for PAL, 29.97 for NTSC
    QString VolumeName;   // prefix of every output file name; empty at start
    QString VideoTsPath;  // the folder holding VIDEO_TS.IFO, ending in a separator
};

enum ConversionState { csIdle = 0, csConverting = 1, csCancelled = 2 };

// Values that the whole program shares. They are set at start-up (program
// folder, identity, tool paths), by the main window (output extension), by the
// Settings dialog (work folder) and by an open (the disc record).
struct TAppValues
{
    QString ProgramDir;          // folder of the executable, ending in a separator
    QString FirstStageToolPath;  // mencoder
    QString SecondStageToolPath; // ffmpeg
    QString ProductName = QStringLiteral("Velmora DVD to MPEG Ripper");
    QString VersionText = QStringLiteral("2.0");
    QString HelpFile;        // ProgramDir + "ripdeck.html"
    QString OutputExtension; // "." + Type of the profile loaded last in the main window
    QString WorkDir;         // the work (temp) folder
    TDVDInformation DVDInfo;
};

// The one set of application-wide values.
TAppValues &AppValues();

// Shorthands for the most used values.
inline TDVDInformation &DVDInfo()
{
    return AppValues().DVDInfo;
}
inline QString PreferencesPath()
{
    return AppValues().ProgramDir + QStringLiteral("Preferences.ini");
}
inline QString ProfilesDir()
{
    return AppValues().ProgramDir + QStringLiteral("Profiles/");
}
