#pragma once

#include <QString>
#include <QStringList>

// The record of one title or chapter in the task tree. A title owns its
// audio, language and subtitle lists; a chapter has none and uses its title's
// lists, aspect and angle count. The choices and Checked belong to every item.
struct TaskItem
{
    bool IsTitle = false;
    int Number = 0;       // title number in disc order, or chapter number within its title (1-based)
    QString DisplayName;  // 'Title01 [MPEG2 720x576 PAL 16:9]' or 'Chapter01'
    QString AspectRatio;  // titles only: "4:3", "16:9" or "???"
    double DiscStart = 0; // seconds; chapters count from the start of their title
    double DiscEnd = 0;
    double Duration = 0; // titles only: DiscEnd - DiscStart
    QString DiscStartText;
    QString DiscEndText;
    double TrimStart = 0; // the part to convert; TrimStart/TrimStartText always agree
    double TrimEnd = 0;
    QString TrimStartText;
    QString TrimEndText;
    QString OutputName;         // 'Title01' or 'Title01-Chapter03'
    int ImageIndex = 0;         // 0 title, 1 chapter
    QStringList AudioTracks;    // titles only, e.g. 'English AC3 6ch'
    QStringList AudioLanguages; // titles only, two-letter codes parallel to AudioTracks
    QStringList Subtitles;      // titles only: "None", then the subtitle languages
    int AudioIndex = 0;
    int AudioLanguageIndex = 0; // always equal to AudioIndex
    int SubtitleIndex = 0;      // 0 is "None"
    int AngleCount = 0;         // titles only
    int AngleIndex = 0;
    bool Checked = false;
};
