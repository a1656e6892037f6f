#include "dvd/ListJson.h"

#include "app/helpers/AppValues.h"
#include "dvd/LoadDvdTitles.h"
#include "tasks/OutputFileName.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

// The texts of the tree's Start, End and Output File columns.
QString StartColumnText(const TaskItem &item)
{
    return item.TrimStart != item.DiscStart ? QStringLiteral("[ ") + item.TrimStartText : item.TrimStartText;
}

QString EndColumnText(const TaskItem &item)
{
    return item.TrimEnd != item.DiscEnd ? item.TrimEndText + QStringLiteral(" ]") : item.TrimEndText;
}

QJsonArray ToArray(const QStringList &list)
{
    return QJsonArray::fromStringList(list);
}

} // namespace

int RunListCommand(const QString &folder, QTextStream &out, QTextStream &err)
{
    if (folder.isEmpty() || !QFileInfo(folder).isDir()) {
        err << QStringLiteral("Cannot open \"%1\": no such folder.").arg(folder) << Qt::endl;
        return 1;
    }
    QList<TTitleNode> titles;
    bool opened = false;
    try {
        titles = LoadDvdTitles(folder, {}, {}, &opened);
    } catch (const std::exception &error) {
        err << QString::fromStdString(error.what()) << Qt::endl;
        return 1;
    }
    if (!opened && IfoList().isEmpty()) {
        err << QStringLiteral("Cannot open \"%1\": it holds no DVD-Video folder (VIDEO_TS).").arg(folder)
            << Qt::endl;
        return 1;
    }

    const int checked = CheckLongestTitle(titles);
    QJsonArray titleArray;
    for (int t = 0; t < titles.size(); ++t) {
        const TaskItem &title = titles[t].title;
        QJsonArray chapterArray;
        for (const TaskItem &chapter : titles[t].chapters) {
            chapterArray.append(QJsonObject{
                {QStringLiteral("number"), chapter.Number},
                {QStringLiteral("displayName"), chapter.DisplayName},
                {QStringLiteral("start"), StartColumnText(chapter)},
                {QStringLiteral("end"), EndColumnText(chapter)},
                {QStringLiteral("outputName"), OutputFileName(chapter)},
            });
        }
        titleArray.append(QJsonObject{
            {QStringLiteral("number"), title.Number},
            {QStringLiteral("displayName"), title.DisplayName},
            {QStringLiteral("aspect"), title.AspectRatio},
            {QStringLiteral("start"), StartColumnText(title)},
            {QStringLiteral("end"), EndColumnText(title)},
            {QStringLiteral("outputName"), OutputFileName(title)},
            {QStringLiteral("audioTracks"), ToArray(title.AudioTracks)},
            {QStringLiteral("audioLanguages"), ToArray(title.AudioLanguages)},
            {QStringLiteral("subtitles"), ToArray(title.Subtitles)},
            {QStringLiteral("angleCount"), title.AngleCount},
            {QStringLiteral("checked"), t == checked},
            {QStringLiteral("chapters"), chapterArray},
        });
    }
    const TDVDInformation &info = DVDInfo();
    const QJsonObject disc{
        {QStringLiteral("standard"), info.Standard},
        {QStringLiteral("frameRate"), info.FrameRate},
        {QStringLiteral("videoTsPath"), info.VideoTsPath},
        {QStringLiteral("titles"), titleArray},
    };
    out << QString::fromUtf8(QJsonDocument(disc).toJson(QJsonDocument::Indented));
    out.flush();
    return 0;
}
