#pragma once

#include "preview/DvdNavigator.h"
#include "tasks/TaskItem.h"

#include <QObject>
#include <QString>

#include <functional>

class QAbstractButton;
class QComboBox;
class QLabel;
class QSlider;
class QTimer;
class QWidget;

// The main window's controls that belong to the preview.
struct TPreviewWidgets
{
    QWidget *owner = nullptr; // owns the message boxes: the main window
    QWidget *panPreview = nullptr;
    QWidget *VideoWindow = nullptr;
    QSlider *TrackBar = nullptr;
    QLabel *labStart = nullptr;
    QLabel *labEnd = nullptr;
    QLabel *labPreviewPlayTime = nullptr;
    QAbstractButton *sbtnPlay = nullptr;
    QAbstractButton *sbtnPause = nullptr;
    QAbstractButton *sbtnStop = nullptr;
    QTimer *tmrPreview = nullptr;          // the preview clock, 1000 ms
    QTimer *tmrPreviewDragDelay = nullptr; // the delayed seek, 200 ms
    QComboBox *cmbSub = nullptr;           // "None", then the title's subpicture streams
};

// What the preview asks of the rest of the main window. Empty functions
// fall back to the application-wide values (DVDInfo's VideoTsPath, the
// program folder's Preferences.ini, the product name) or to doing nothing.
struct TPreviewHooks
{
    std::function<const TaskItem *()> FocusedItem;  // the focused node's record, or null
    std::function<const TaskItem *()> FocusedTitle; // the record of the focused node's title
    std::function<void(const QString &)> ShowHint;  // the hint panel, shown with a text
    std::function<void()> HideHint;
    std::function<QString()> VideoTsPath;     // the opened folder holding VIDEO_TS.IFO, ending in "/"
    std::function<QString()> PreferencesFile; // Preferences.ini
    std::function<QString()> ProductName;     // caption of the first-use notice
};

// The preview panel: plays the focused title or chapter with the navigator,
// counts a one-second clock from the item's start (the navigator is never
// asked where it is), moves the slider with the clock and seeks once the
// thumb has rested for two ticks of the drag-delay timer.
class TPreviewPlayer : public QObject
{
    Q_OBJECT

public:
    TPreviewPlayer(const TPreviewWidgets &widgets, TDvdNavigator &navigator, TPreviewHooks hooks,
                   QObject *parent = nullptr);

    // Handlers; the constructor connects them to the controls and timers.
    void sbtnPlayClick();
    void sbtnPauseClick();
    void sbtnStopClick() { StopAction(); }
    void TrackBarChange();
    void tmrPreviewTimer();
    void tmrPreviewDragDelayTimer();

    // The Stop action: stops and clears a playing or paused graph, stops the
    // clock and returns the thumb to 0. Opening a disc and starting a
    // conversion perform it too.
    void StopAction();

    TDvdNavigator &Navigator() { return m_navigator; }
    TGraphState GraphState() const { return m_navigator.State(); }

    int PreviewElapsed() const { return m_previewElapsed; }
    int PreviewLength() const { return m_previewLength; }
    int PreviewStart() const { return m_previewStart; }

    // The two small states kept in the components' Tag properties.
    enum TrackBarModes { tbIdle = 0, tbTimerMoving = 1, tbSeekPending = 3 };
    int TrackBarMode() const;
    int SeekDelayFlag() const;

    static QString FirstUseText();
    static QString LoadingText() { return QStringLiteral("Loading.   Please wait...."); }

private:
    void SetTrackBarMode(int mode);
    void SetSeekDelayFlag(int flag);
    void Play();
    void ShowFirstUseNotice();
    int SliderSeconds() const; // the slider's position as whole seconds of the item
    QString ExistingIfoPath(const QString &path) const;

    TPreviewWidgets m_w;
    TDvdNavigator &m_navigator;
    TPreviewHooks m_hooks;
    int m_previewElapsed = 0;
    int m_previewLength = 0;
    int m_previewStart = 0;
    bool m_inPlay = false;
};
