#include "dvd/DiscInfo.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <map>

#include <dvdread/dvd_reader.h>
#include <dvdread/ifo_read.h>
#include <dvdread/ifo_types.h>

#include <cstdarg>
#include <vector>

namespace {

// libdvdread reports every missing file on stderr; the layer reports through
// its own results instead.
void QuietLog(void *, dvd_logger_level_t, const char *, va_list) {}
const dvd_logger_cb QuietLogger = {QuietLog};

struct TDvdCloser
{
    void operator()(dvd_reader_t *dvd) const { DVDClose(dvd); }
};
struct TIfoCloser
{
    void operator()(ifo_handle_t *ifo) const { ifoClose(ifo); }
};
using TDvdHandle = std::unique_ptr<dvd_reader_t, TDvdCloser>;
using TIfoHandle = std::unique_ptr<ifo_handle_t, TIfoCloser>;

struct TTitleEntry
{
    TTitleIndex Index;
    int Angles = 0;
};

// The title table is read in full while the disc is open; every handle is
// closed before the source is handed out.
class TDvdReadSource : public TDiscInfoSource
{
public:
    explicit TDvdReadSource(const QString &folder)
    {
        const QString videoTs = FindVideoTsFolder(folder);
        const QStringList ifoFiles = ListIfoFiles(videoTs);
        const QString path = QDir::cleanPath(videoTs);
        if (!QFileInfo::exists(path))
            return; // libdvdread would only complain about it on stderr
        TDvdHandle dvd(DVDOpen2(nullptr, &QuietLogger, QFile::encodeName(path).constData()));
        if (!dvd)
            return;
        TIfoHandle vmg(ifoOpen(dvd.get(), 0));
        if (!vmg || !vmg->tt_srpt)
            return;
        Opened = true;

        std::map<int, TIfoHandle> sets;
        const tt_srpt_t *table = vmg->tt_srpt;
        for (int i = 0; i < table->nr_of_srpts; ++i) {
            const title_info_t &info = table->title[i];
            TTitleEntry entry;
            entry.Angles = info.nr_of_angles;
            const int set = info.title_set_nr;
            entry.Index.IfoPosition = IfoPositionOfTitleSet(ifoFiles, set);
            auto found = sets.find(set);
            if (found == sets.end())
                found = sets.emplace(set, TIfoHandle(set > 0 ? ifoOpen(dvd.get(), set) : nullptr)).first;
            entry.Index.ChainIndex = ChainOfTitle(found->second.get(), info.vts_ttn);
            if (entry.Index.ChainIndex < 0)
                entry.Index.IfoPosition = -1;
            Titles.push_back(entry);
        }
        // The title-set handles close here, then the VMG and the disc.
        sets.clear();
    }

    bool IsOpen() const override { return Opened; }
    int TitleCount() const override { return int(Titles.size()); }
    TTitleIndex IndexInfo(int title) const override
    {
        return title >= 0 && title < TitleCount() ? Titles[size_t(title)].Index : TTitleIndex{};
    }
    int TitleAngle(int title) const override
    {
        return title >= 0 && title < TitleCount() ? Titles[size_t(title)].Angles : 0;
    }

private:
    // The program chain that plays the first part of title `ttn` of a set, 0-based; -1 when there is none.
    static int ChainOfTitle(const ifo_handle_t *vts, int ttn)
    {
        if (!vts || !vts->vts_ptt_srpt || ttn < 1 || ttn > vts->vts_ptt_srpt->nr_of_srpts)
            return -1;
        const ttu_t &unit = vts->vts_ptt_srpt->title[ttn - 1];
        if (unit.nr_of_ptts < 1 || !unit.ptt || unit.ptt[0].pgcn < 1)
            return -1;
        return unit.ptt[0].pgcn - 1;
    }

    bool Opened = false;
    std::vector<TTitleEntry> Titles;
};

} // namespace

std::unique_ptr<TDiscInfoSource> DVD_OpenDVD(const QString &folder)
{
    return std::make_unique<TDvdReadSource>(folder);
}

QString FindVideoTsFolder(const QString &folder)
{
    const QDir dir(folder);
    if (!dir.entryList({QStringLiteral("VIDEO_TS.IFO")}, QDir::Files | QDir::Hidden | QDir::System).isEmpty())
        return folder;
    const QStringList subfolders = dir.entryList(
        {QStringLiteral("VIDEO_TS")}, QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
    if (!subfolders.isEmpty())
        return dir.filePath(subfolders.first());
    return folder;
}

QStringList ListIfoFiles(const QString &folder)
{
    // QDir's name filters ignore letter case, so vts_01_0.ifo is listed too.
    return QDir(folder).entryList({QStringLiteral("VTS_*_0.IFO")}, QDir::Files | QDir::Hidden | QDir::System,
                                  QDir::Name | QDir::IgnoreCase);
}

int IfoPositionOfTitleSet(const QStringList &ifoFiles, int titleSet)
{
    const QString name = QStringLiteral("VTS_%1_0.IFO").arg(titleSet, 2, 10, QLatin1Char('0'));
    for (int k = 0; k < ifoFiles.size(); ++k)
        if (ifoFiles[k].compare(name, Qt::CaseInsensitive) == 0)
            return k;
    return -1;
}
