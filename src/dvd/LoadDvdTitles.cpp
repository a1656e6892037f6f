#include "dvd/LoadDvdTitles.h"

#include "app/helpers/AppValues.h"
#include "app/helpers/Helpers.h"

#include <QDir>

namespace {

QString TwoDigits(int number)
{
    return QStringLiteral("%1").arg(number, 2, 10, QLatin1Char('0'));
}

void Pump(const TProgressCallback &progress)
{
    if (progress)
        progress();
}

QString WithoutTrailingSeparator(QString path)
{
    while (path.size() > 1 && (path.endsWith(QLatin1Char('/')) || path.endsWith(QLatin1Char('\\'))))
        path.chop(1);
    return path;
}

bool HoldsVideoTsIfo(const QString &folder)
{
    return !QDir(folder)
                .entryList({QStringLiteral("VIDEO_TS.IFO")}, QDir::Files | QDir::Hidden | QDir::System)
                .isEmpty();
}

} // namespace

QList<TIFO> &IfoList()
{
    static QList<TIFO> list;
    return list;
}

TaskItem AddTitleNode(const TIFO &ifo, const TProgramChain &chain, int number, int angleCount,
                      const TProgressCallback &progress)
{
    const TVideoStream &video = ifo.VOBS.Video;
    const QString name = QStringLiteral("Title") + TwoDigits(number);
    const QString startText = QStringLiteral("00:00:00");
    const QString endText = FormatSeconds(ParseTimeText(chain.PlaybackTime));

    TaskItem item;
    item.IsTitle = true;
    item.Number = number;
    item.DisplayName = name + QLatin1Char(' ') + QLatin1Char('[') + video.CodingMode + QLatin1Char(' ') +
                       video.PictureSize + QLatin1Char(' ') + video.VideoStandard + QLatin1Char(' ') +
                       video.DisplayAspect + QLatin1Char(']');
    item.AspectRatio = video.DisplayAspect;
    item.DiscStartText = item.TrimStartText = startText;
    item.DiscEndText = item.TrimEndText = endText;
    item.DiscStart = item.TrimStart = ParseTimeText(startText);
    item.DiscEnd = item.TrimEnd = ParseTimeText(endText);
    item.Duration = item.DiscEnd - item.DiscStart;
    item.OutputName = name;
    item.ImageIndex = 0;

    for (int k = 0; k < ifo.VOBS.Audio.size(); ++k) {
        Pump(progress);
        if (k < chain.AudioAvailable.size() && chain.AudioAvailable.at(k) == QLatin1Char('1')) {
            const TAudioStream &audio = ifo.VOBS.Audio[k];
            item.AudioTracks.append(audio.LanguageName + QLatin1Char(' ') + audio.AudioFormat +
                                    QLatin1Char(' ') + QString::number(audio.Channels) +
                                    QStringLiteral("ch"));
            item.AudioLanguages.append(audio.LanguageCode);
        }
    }
    item.Subtitles.append(QStringLiteral("None"));
    for (int k = 0; k < ifo.VOBS.SubtitleLanguages.size(); ++k) {
        Pump(progress);
        if (k < chain.SubtitleAvailable.size() && chain.SubtitleAvailable.at(k) == QLatin1Char('1'))
            item.Subtitles.append(ifo.VOBS.SubtitleLanguages[k]);
    }
    item.AngleCount = angleCount;
    return item;
}

QList<TaskItem> AddChapterNodes(const TProgramChain &chain, int titleNumber)
{
    QList<TaskItem> chapters;
    const int count = qMin(chain.ChapterStarts.size(), chain.ChapterLengths.size());
    for (int j = 0; j < count; ++j) {
        const int c = j + 1;
        const QString name = QStringLiteral("Chapter") + TwoDigits(c);
        const QString startText = FormatSeconds(ParseTimeText(chain.ChapterStarts[j]));
        // The end counts from the start as already rounded to a whole second.
        const QString endText =
            FormatSeconds(ParseTimeText(startText) + ParseTimeText(chain.ChapterLengths[j]));

        TaskItem item;
        item.IsTitle = false;
        item.Number = c;
        item.DisplayName = name;
        item.DiscStartText = item.TrimStartText = startText;
        item.DiscEndText = item.TrimEndText = endText;
        item.DiscStart = item.TrimStart = ParseTimeText(startText);
        item.DiscEnd = item.TrimEnd = ParseTimeText(endText);
        item.OutputName = QStringLiteral("Title") + TwoDigits(titleNumber) + QLatin1Char('-') + name;
        item.ImageIndex = 1;
        chapters.append(item);
    }
    return chapters;
}

QList<TTitleNode> LoadDvdTitles(const QString &folderIn, const TProgressCallback &progress,
                                const TDiscOpener &openDisc, bool *discOpened)
{
    IfoList().clear();
    if (discOpened)
        *discOpened = false;
    TDVDInformation &info = DVDInfo();
    info.Standard.clear();
    info.FrameRate = 0;

    QString folder = AddTrailingBackslash(folderIn);
    if (!HoldsVideoTsIfo(folder)) {
        const QString sub = FindVideoTsFolder(folder);
        folder = AddTrailingBackslash(sub == folder ? folder + QStringLiteral("VIDEO_TS") : sub);
    }
    info.VideoTsPath = folder;

    // Every file is read before the first title is built, so a file that
    // cannot be read ends the open with no title at all.
    QList<TIFO> ifos;
    for (const QString &name : ListIfoFiles(folder)) {
        Pump(progress);
        ifos.append(ReadIfoFile(folder + name));
    }
    IfoList() = ifos;

    const std::unique_ptr<TDiscInfoSource> disc =
        openDisc ? openDisc(WithoutTrailingSeparator(folder)) : DVD_OpenDVD(WithoutTrailingSeparator(folder));
    QList<TTitleNode> titles;
    if (!disc)
        return titles;
    if (discOpened)
        *discOpened = disc->IsOpen();
    const int count = DVD_GetTitleNum(*disc);
    for (int i = 0; i < count; ++i) {
        Pump(progress);
        int v = -1, p = -1;
        DVD_GetIndexInfo(*disc, i, v, p);
        // A title placed outside the IFO list or its set's chains has nothing
        // to show; it is left out and the others keep their disc numbers.
        if (v < 0 || v >= ifos.size() || p < 0 || p >= ifos[v].PGCI.Chains.size())
            continue;
        const TIFO &ifo = ifos[v];
        const TProgramChain &chain = ifo.PGCI.Chains[p];
        const bool pal = ifo.VOBS.Video.VideoStandard == QLatin1String("PAL");
        info.Standard = pal ? QStringLiteral("PAL") : QStringLiteral("NTSC");
        info.FrameRate = pal ? 25 : 29.97;

        TTitleNode node;
        node.title = AddTitleNode(ifo, chain, i + 1, DVD_GetTitleAngle(*disc, i), progress);
        node.chapters = AddChapterNodes(chain, i + 1);
        titles.append(node);
    }
    return titles;
}

int CheckLongestTitle(const QList<TTitleNode> &titles)
{
    // Chapters have no Duration of their own (0), so only a title can be kept.
    int kept = -1;
    double longest = 0;
    for (int t = 0; t < titles.size(); ++t) {
        if (kept < 0 || titles[t].title.Duration > longest) {
            kept = t;
            longest = titles[t].title.Duration;
        }
    }
    return kept;
}
