#include "dvd/DriveList.h"

#include "app/helpers/Helpers.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStorageInfo>

#include <algorithm>

namespace {
const QString kNoDisc = QStringLiteral("No Disc");

// sr2 before sr10.
bool DriveNameLess(const QString &a, const QString &b)
{
    static const QRegularExpression trailingNumber(QStringLiteral("^(.*?)(\\d+)$"));
    const auto ma = trailingNumber.match(a);
    const auto mb = trailingNumber.match(b);
    if (ma.hasMatch() && mb.hasMatch() && ma.captured(1) == mb.captured(1))
        return ma.captured(2).toLongLong() < mb.captured(2).toLongLong();
    return a < b;
}

QString CanonicalDevice(const QString &path)
{
    const QString canonical = QFileInfo(path).canonicalFilePath();
    return canonical.isEmpty() ? path : canonical;
}
} // namespace

QStringList CdromDriveNames(const QString &procInfoText)
{
    QStringList names;
    for (const QString &line : procInfoText.split(QLatin1Char('\n'))) {
        if (!line.startsWith(QLatin1String("drive name:")))
            continue;
        const QString rest = line.mid(int(qstrlen("drive name:")));
        for (const QString &name : rest.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts))
            if (!names.contains(name))
                names.append(name);
    }
    std::sort(names.begin(), names.end(), DriveNameLess);
    return names;
}

QList<TOpticalDrive> TLinuxDriveSource::OpticalDrives() const
{
    QStringList names;
    QFile info(QStringLiteral("/proc/sys/dev/cdrom/info"));
    if (info.open(QIODevice::ReadOnly))
        names = CdromDriveNames(QString::fromLatin1(info.readAll()));
    if (names.isEmpty()) {
        names = QDir(QStringLiteral("/dev")).entryList({QStringLiteral("sr*")}, QDir::System | QDir::Files);
        std::sort(names.begin(), names.end(), DriveNameLess);
    }

    const QList<QStorageInfo> volumes = QStorageInfo::mountedVolumes();
    QList<TOpticalDrive> drives;
    for (const QString &name : names) {
        TOpticalDrive drive;
        drive.Device = QStringLiteral("/dev/") + name;
        const QString device = CanonicalDevice(drive.Device);
        for (const QStorageInfo &volume : volumes) {
            if (!volume.isValid() || !volume.isReady())
                continue;
            if (CanonicalDevice(QString::fromLocal8Bit(volume.device())) != device)
                continue;
            drive.MountPoint = volume.rootPath();
            drive.Label = volume.name();
            break;
        }
        drives.append(drive);
    }
    return drives;
}

TDriveList BuildDriveList(const QList<TOpticalDrive> &drives)
{
    TDriveList list;
    int selected = 0;
    for (const TOpticalDrive &drive : drives) {
        if (drive.MountPoint.isEmpty())
            continue; // no disc in the drive
        TDriveEntry entry;
        entry.MountPoint = drive.MountPoint;
        entry.Label = drive.Label.isEmpty() ? kNoDisc : drive.Label;
        entry.Text = drive.MountPoint + QStringLiteral(" [") + entry.Label + QLatin1Char(']');
        list.Entries.append(entry);
        if (entry.Label != kNoDisc)
            selected = int(list.Entries.size()) - 1;
    }
    list.Selected = list.Entries.isEmpty() ? -1 : selected;
    return list;
}

QString DiscVideoTsFolder(const QString &mountPoint)
{
    const QString root = AddTrailingBackslash(mountPoint);
    QString name = QStringLiteral("VIDEO_TS");
    const QStringList folders = QDir(root).entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden);
    for (const QString &folder : folders)
        if (folder.compare(name, Qt::CaseInsensitive) == 0) {
            name = folder;
            break;
        }
    return root + name + QLatin1Char('/');
}
