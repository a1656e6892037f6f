#pragma once

#include <QString>
#include <QStringList>

// Small text, time and path helpers shared by the whole program.

// Seconds to "hh:mm:ss" (each field at least two digits), rounded to the
// nearest whole second with halves going to the even neighbour.
QString FormatSeconds(double seconds);

// "h:m:s[.fff]" to seconds; exactly -1.0 when the text is not a clock text.
// "." is the decimal separator whatever the locale.
double ParseTimeText(const QString &text);

// The name without its last "." and what follows it.
QString StripExtension(const QString &name);

// The path with a separator appended unless it already ends in "/" or "\".
QString AddTrailingBackslash(const QString &path);

// Items of a comma-terminated list: 'A,B,C,' gives A, B, C; the text after
// the last comma is not an item.
QStringList SplitCommaList(const QString &text);

// Rounds to the nearest whole number, halves to even, as everywhere in the program.
long long RoundHalfEven(double value);
