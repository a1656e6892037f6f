#include "tasks/OutputFileName.h"

#include "app/helpers/AppValues.h"
#include "tasks/TaskItem.h"

QString SanitizeVolumeName(const QString &volumeName)
{
    QString name = volumeName;
    for (QChar &c : name)
        if (c == QLatin1Char('/') || c == QChar(0))
            c = QLatin1Char('_');
    return name;
}

QString OutputFilePrefix(const QString &volumeName)
{
    if (volumeName.isEmpty())
        return QString();
    return SanitizeVolumeName(volumeName) + QLatin1Char('-');
}

QString OutputFilePrefix()
{
    return OutputFilePrefix(DVDInfo().VolumeName);
}

QString OutputFileName(const TaskItem &item)
{
    return OutputFilePrefix() + item.OutputName + AppValues().OutputExtension;
}
