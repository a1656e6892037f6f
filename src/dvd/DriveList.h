#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// The optical drives of the machine and the entries of the disc chooser.

struct TOpticalDrive
{
    QString Device;     // e.g. "/dev/sr0"
    QString MountPoint; // where its disc is mounted; empty when no disc is mounted
    QString Label;      // the disc's volume label; may be empty
};

// Where the drives come from; tests feed their own.
class TDriveSource
{
public:
    virtual ~TDriveSource() = default;
    virtual QList<TOpticalDrive> OpticalDrives() const = 0;
};

// The Linux optical drives: the names in /proc/sys/dev/cdrom/info (else the
// /dev/srN devices), with the mount point and label of a mounted disc.
class TLinuxDriveSource : public TDriveSource
{
public:
    QList<TOpticalDrive> OpticalDrives() const override;
};

// One entry of the drive list: 'MOUNT [LABEL]', 'No Disc' standing for an empty label.
struct TDriveEntry
{
    QString Text;
    QString MountPoint;
    QString Label; // as shown between the brackets
};

struct TDriveList
{
    QList<TDriveEntry> Entries;
    int Selected = -1; // the entry to preselect; -1 when there is none
};

// The disc chooser's entries: one per drive with a mounted disc, in drive
// order. The last drive whose disc has a label is preselected, else the first.
TDriveList BuildDriveList(const QList<TOpticalDrive> &drives);

// The device names listed on the "drive name:" line of /proc/sys/dev/cdrom/info, sorted.
QStringList CdromDriveNames(const QString &procInfoText);

// The VIDEO_TS folder of a mounted disc, ending in "/". The folder's name is
// matched without regard to letter case; "VIDEO_TS" when the disc has none.
QString DiscVideoTsFolder(const QString &mountPoint);
