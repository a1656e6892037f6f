#pragma once

#include "dvd/DiscInfo.h"
#include "dvd/Ifo.h"
#include "tasks/TaskItem.h"

#include <QList>
#include <QString>

#include <functional>

// Building the titles and chapters of a DVD-Video folder, without any window.

// One title of the disc with its chapters, in disc order.
struct TTitleNode
{
    TaskItem title;
    QList<TaskItem> chapters;
};

// Called where an open lets the window process pending messages (before each
// IFO file, before each title). The window passes ProcessPendingMessages.
using TProgressCallback = std::function<void()>;

// The IFO list of the opened folder: one record per VTS_nn_0.IFO, sorted by name.
QList<TIFO> &IfoList();

// Reads every VTS_nn_0.IFO of the folder into IfoList(), sets DVDInfo()'s
// VideoTsPath, Standard and FrameRate, and returns the titles with their
// chapters. `folder` may be the VIDEO_TS folder or its parent, with or without
// a trailing separator. A title that the disc places outside the IFO list or
// outside its set's chains is left out; the others keep their numbers.
// Throws TIfoError when an IFO file cannot be read (no title is returned then).
// `discOpened`, when given, tells whether the disc-information layer could open the folder.
QList<TTitleNode> LoadDvdTitles(const QString &folder, const TProgressCallback &progress = {},
                                const TDiscOpener &openDisc = {}, bool *discOpened = nullptr);

// The title item of disc title `number` (1-based) played by `chain` of `ifo`.
TaskItem AddTitleNode(const TIFO &ifo, const TProgramChain &chain, int number, int angleCount,
                      const TProgressCallback &progress = {});

// The chapter items of a chain, for title `titleNumber`.
QList<TaskItem> AddChapterNodes(const TProgramChain &chain, int titleNumber);

// Which title the open checks: the longest, the first of equals; -1 when empty.
int CheckLongestTitle(const QList<TTitleNode> &titles);
