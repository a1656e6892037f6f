#include "app/ProgramInfo.h"

#include "app/helpers/AppValues.h"
#include "app/helpers/Helpers.h"
#include "app/helpers/IniFile.h"

#include <QDir>
#include <QFileInfo>

namespace ProgramInfo {

QString CompanyName()
{
    return QStringLiteral("Velmora Media Works");
}
QString YearsText()
{
    return QStringLiteral("2024-2026");
}
QString CopyrightLine()
{
    return QStringLiteral("Copyright (C) %1 %2").arg(YearsText(), CompanyName());
}
QString RightsReservedLine()
{
    return QStringLiteral("All rights reserved. Free to use for your own discs.");
}
QString Website()
{
    return QStringLiteral("https://www.velmora.example.com/");
}

std::array<TOtherProduct, 3> OtherProducts()
{
    return {TOtherProduct{QStringLiteral("Velmora Video Converter"),
                          QStringLiteral("https://www.velmora.example.com/video-converter/")},
            TOtherProduct{QStringLiteral("Velmora DVD Creator"),
                          QStringLiteral("https://www.velmora.example.com/dvd-creator/")},
            TOtherProduct{QStringLiteral("Velmora Audio Extractor"),
                          QStringLiteral("https://www.velmora.example.com/audio-extractor/")}};
}

QString ToolPath(const QString &programDir, const QString &name)
{
    const QFileInfo local(programDir + name);
    if (local.isFile() && local.isExecutable())
        return local.absoluteFilePath();
    return name;
}

namespace {
QString &programDirOverride()
{
    static QString folder;
    return folder;
}
} // namespace

void OverrideProgramDir(const QString &folder)
{
    programDirOverride() = folder;
}

void InitProgramValues(const QString &executableDir)
{
    TAppValues &app = AppValues();
    const QString folder = programDirOverride().isEmpty() ? executableDir : programDirOverride();
    app.ProgramDir = AddTrailingBackslash(QDir::cleanPath(folder));
    app.DVDInfo.VideoTsPath.clear();
    app.FirstStageToolPath = ToolPath(app.ProgramDir, QStringLiteral("mencoder"));
    app.SecondStageToolPath = ToolPath(app.ProgramDir, QStringLiteral("ffmpeg"));
    const TIniFile preferences(PreferencesPath());
    app.VersionText =
        preferences.ReadString(QStringLiteral("Main"), QStringLiteral("Version"), QStringLiteral("2.0"));
    app.HelpFile = app.ProgramDir + QStringLiteral("ripdeck.html");
}

QString MainCaption()
{
    return AppValues().ProductName + QStringLiteral(" V") + AppValues().VersionText;
}

QString ProgramLabel()
{
    const QString &name = AppValues().ProductName;
    const int blank = name.indexOf(QLatin1Char(' '));
    return blank < 0 ? QString() : name.mid(blank + 1);
}

} // namespace ProgramInfo
