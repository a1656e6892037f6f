#pragma once

#include <QString>

struct TaskItem;

// How an item's output file is named: [volume prefix + "-"] + OutputName +
// OutputExtension. The tree's "Output File" column and the conversion's output
// path both build the name here, so they always agree.

// The volume name made fit to be part of a file name: every "/" and every NUL
// character becomes "_". Everything else is kept as typed.
QString SanitizeVolumeName(const QString &volumeName);

// The text put before every output name for this volume: the sanitised volume
// name followed by "-", or nothing when the volume name is empty.
QString OutputFilePrefix(const QString &volumeName);
// The same for DVDInfo().VolumeName.
QString OutputFilePrefix();

// The file name (no folder) of an item: OutputFilePrefix() + OutputName + OutputExtension.
QString OutputFileName(const TaskItem &item);
