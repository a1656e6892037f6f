#pragma once

#include "preview/DvdNavigator.h"

#include <QStringList>

// A navigator that plays nothing: it keeps the graph state as the calls
// leave it and writes every call into Calls, for tests of the preview.
// Navigator calls are accepted only while the rendered graph runs or is
// paused, like a real navigator outside the title domain.
class TFakeDvdNavigator : public TDvdNavigator
{
public:
    void Activate() override;
    void Deactivate() override;
    void Clear() override;
    TGraphState State() const override { return m_state; }
    void RenderDvdVideoVolume(const QString &videoTsIfoPath, unsigned flags) override;
    void Run() override;
    void Pause() override;
    void Stop() override;
    bool PlayTitle(int title, unsigned flags) override;
    bool PlayChapterInTitle(int title, int chapter, unsigned flags) override;
    bool PlayAtTime(const TDvdTimeCode &time, unsigned flags) override;
    bool SetSubpictureState(bool on, unsigned flags) override;
    bool SelectSubpictureStream(int stream, unsigned flags) override;

    // Every call in order, e.g. "Activate", "Render /d/VIDEO_TS/VIDEO_TS.IFO 1",
    // "PlayTitle 2 1", "PlayAtTime 0:01:05.0 0", "Subpicture on 0", "SelectSubpicture 0 0".
    QStringList Calls;
    // Only the navigator calls (PlayTitle, PlayChapterInTitle, PlayAtTime, Subpicture, SelectSubpicture).
    QStringList NavigatorCalls() const;
    // When set, every navigator call throws TNavigatorUnavailable.
    bool FailNavigatorCalls = false;
    QString RenderedPath;

private:
    void CheckNavigator(const QString &call);
    TGraphState m_state = TGraphState::Uninitialized;
    bool m_rendered = false;
};
