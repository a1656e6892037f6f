#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

// The disc-information layer: the title table of a DVD-Video folder. For each
// title (0-based index i, disc title i + 1) it tells which file of the IFO list
// holds the title's set, which program chain of that file plays it, and how
// many camera angles it has.

// Where a title is described: IfoPosition in the IFO list (the sorted
// VTS_nn_0.IFO listing) and ChainIndex in that file's chain table; -1 in
// either when the title has no usable chain.
struct TTitleIndex
{
    int IfoPosition = -1;
    int ChainIndex = -1;
};

class TDiscInfoSource
{
public:
    virtual ~TDiscInfoSource() = default;
    // False when the folder could not be opened as a DVD-Video folder; such a
    // source reports no titles.
    virtual bool IsOpen() const = 0;
    virtual int TitleCount() const = 0;
    virtual TTitleIndex IndexInfo(int title) const = 0;
    virtual int TitleAngle(int title) const = 0;
};

// Opens a disc folder (the folder holding VIDEO_TS.IFO, or its parent) with
// libdvdread. Never null: a folder that cannot be opened gives a source with
// IsOpen() false and no titles. All library handles are released with the
// source.
std::unique_ptr<TDiscInfoSource> DVD_OpenDVD(const QString &folder);

inline int DVD_GetTitleNum(const TDiscInfoSource &disc)
{
    return disc.TitleCount();
}
inline void DVD_GetIndexInfo(const TDiscInfoSource &disc, int title, int &ifoPosition, int &chainIndex)
{
    const TTitleIndex index = disc.IndexInfo(title);
    ifoPosition = index.IfoPosition;
    chainIndex = index.ChainIndex;
}
inline int DVD_GetTitleAngle(const TDiscInfoSource &disc, int title)
{
    return disc.TitleAngle(title);
}

// Opens a disc folder; LoadDvdTitles takes one so tests can feed fake title tables.
using TDiscOpener = std::function<std::unique_ptr<TDiscInfoSource>(const QString &folder)>;

// The VTS_*_0.IFO files of a folder (names matched without regard to letter
// case), sorted by name: the IFO list's order. Names only, no folder.
QStringList ListIfoFiles(const QString &folder);

// The folder that holds VIDEO_TS.IFO: `folder` itself when it holds the file,
// else its VIDEO_TS subfolder (either matched without regard to letter case),
// else `folder` unchanged. No trailing separator is added.
QString FindVideoTsFolder(const QString &folder);

// Position of title set `titleSet` (VTS_nn_0.IFO) in such a listing, -1 when absent.
int IfoPositionOfTitleSet(const QStringList &ifoFiles, int titleSet);
