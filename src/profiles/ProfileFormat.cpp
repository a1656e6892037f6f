#include "profiles/ProfileFormat.h"

#include "app/helpers/IniFile.h"
#include "profiles/NewInifiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

QStringList ListFilesByExtension(const QString &folder, const QString &extension)
{
    QStringList names;
    const QDir dir(folder);
    if (!dir.exists())
        return names;
    const QFileInfoList entries = dir.entryInfoList(QDir::Files | QDir::Readable, QDir::NoSort);
    for (const QFileInfo &entry : entries) {
        const QString name = entry.fileName();
        const int dot = name.lastIndexOf(QLatin1Char('.'));
        if (dot >= 0 && name.mid(dot).toLower() == extension)
            names.append(name);
    }
    std::sort(names.begin(), names.end(), [](const QString &a, const QString &b) {
        const int c = a.compare(b, Qt::CaseInsensitive);
        return c != 0 ? c < 0 : a < b; // names that differ only in case: a fixed order
    });
    return names;
}

QString ProfilePath(const QString &programDir, const QString &displayName)
{
    const QString folder = programDir + QStringLiteral("Profiles/");
    const QString name = displayName + QStringLiteral(".apf");
    // The listing accepts "c.APF" as the profile "c"; on a file system that
    // tells letter case apart, the path must name that file as it is spelt.
    if (!QFileInfo::exists(folder + name)) {
        const QStringList entries = QDir(folder).entryList(QDir::Files);
        for (const QString &entry : entries)
            if (entry.compare(name, Qt::CaseInsensitive) == 0)
                return folder + entry;
    }
    return folder + name;
}

namespace {
template <class Ini> TProfile ReadProfileFrom(const Ini &ini, int lineCount)
{
    TProfile profile;
    profile.Type = ini.ReadString(QStringLiteral("Main"), QStringLiteral("Type"), QStringLiteral("mp4"));
    const int count = std::min(ini.ReadInteger(QStringLiteral("Main"), QStringLiteral("Para"), 0), lineCount);
    for (int i = 0; i < count; ++i) {
        TProfileParameter p;
        p.Name = ini.ReadString(QStringLiteral("Main"), QString::number(i), QString());
        p.Sort = ini.ReadInteger(p.Name, QStringLiteral("Sort"), -1);
        p.ReadOnly = ini.ReadBool(p.Name, QStringLiteral("ReadOnly"), false);
        p.Cmd = ini.ReadString(p.Name, QStringLiteral("cmd"), QString());
        p.List = ini.ReadBool(p.Name, QStringLiteral("List"), true);
        p.Caption = ini.ReadString(p.Name, QStringLiteral("Caption"), QString());
        p.Value = ini.ReadString(p.Name, QStringLiteral("Value"), QString());
        p.Index = ini.ReadInteger(p.Name, QStringLiteral("Index"), 0);
        profile.Parameters.append(p);
    }
    return profile;
}

int CountLines(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    return SplitIniLines(file.readAll()).size();
}
} // namespace

TProfile ReadProfile(const QString &path)
{
    const TIniFile ini(path);
    return ReadProfileFrom(ini, CountLines(path));
}

TProfile ReadProfile(const TNewInifile &ini)
{
    return ReadProfileFrom(ini, ini.Lines().size());
}

QString OutputExtension(const TProfile &profile)
{
    return QLatin1Char('.') + profile.Type;
}

int EffectiveGrid(const TProfile &profile, int index)
{
    for (int i = std::min<int>(index, profile.Parameters.size() - 1); i >= 0; --i) {
        const int sort = profile.Parameters.at(i).Sort;
        if (sort >= pgVideo && sort <= pgAdvanced)
            return sort;
    }
    return 0;
}

int IndexOfChoice(const QStringList &choices, const QString &text)
{
    for (int i = 0; i < choices.size(); ++i)
        if (choices.at(i).compare(text, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}
