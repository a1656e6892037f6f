#include "preview/FakeDvdNavigator.h"

void TFakeDvdNavigator::Activate()
{
    Calls << QStringLiteral("Activate");
    if (m_state == TGraphState::Uninitialized)
        m_state = TGraphState::Stopped;
}

void TFakeDvdNavigator::Deactivate()
{
    Calls << QStringLiteral("Deactivate");
    m_state = TGraphState::Uninitialized;
    m_rendered = false;
    RenderedPath.clear();
}

void TFakeDvdNavigator::Clear()
{
    Calls << QStringLiteral("Clear");
    if (m_state == TGraphState::Uninitialized)
        return;
    m_state = TGraphState::Stopped;
    m_rendered = false;
    RenderedPath.clear();
}

void TFakeDvdNavigator::RenderDvdVideoVolume(const QString &videoTsIfoPath, unsigned flags)
{
    Calls << QStringLiteral("Render %1 %2").arg(videoTsIfoPath).arg(flags);
    if (m_state == TGraphState::Uninitialized)
        return;
    m_rendered = true;
    RenderedPath = videoTsIfoPath;
}

void TFakeDvdNavigator::Run()
{
    Calls << QStringLiteral("Run");
    if (m_state != TGraphState::Uninitialized && m_rendered)
        m_state = TGraphState::Playing;
}

void TFakeDvdNavigator::Pause()
{
    Calls << QStringLiteral("Pause");
    if (m_state != TGraphState::Uninitialized && m_rendered)
        m_state = TGraphState::Paused;
}

void TFakeDvdNavigator::Stop()
{
    Calls << QStringLiteral("Stop");
    if (m_state != TGraphState::Uninitialized)
        m_state = TGraphState::Stopped;
}

void TFakeDvdNavigator::CheckNavigator(const QString &call)
{
    Calls << call;
    if (FailNavigatorCalls || m_state == TGraphState::Uninitialized || !m_rendered)
        throw TNavigatorUnavailable(QStringLiteral("No DVD navigator in the graph"));
}

bool TFakeDvdNavigator::PlayTitle(int title, unsigned flags)
{
    CheckNavigator(QStringLiteral("PlayTitle %1 %2").arg(title).arg(flags));
    return m_state != TGraphState::Stopped;
}

bool TFakeDvdNavigator::PlayChapterInTitle(int title, int chapter, unsigned flags)
{
    CheckNavigator(QStringLiteral("PlayChapterInTitle %1 %2 %3").arg(title).arg(chapter).arg(flags));
    return m_state != TGraphState::Stopped;
}

bool TFakeDvdNavigator::PlayAtTime(const TDvdTimeCode &time, unsigned flags)
{
    CheckNavigator(QStringLiteral("PlayAtTime %1:%2:%3.%4 %5")
                       .arg(time.Hours)
                       .arg(time.Minutes, 2, 10, QLatin1Char('0'))
                       .arg(time.Seconds, 2, 10, QLatin1Char('0'))
                       .arg(time.Frames)
                       .arg(flags));
    return m_state != TGraphState::Stopped;
}

bool TFakeDvdNavigator::SetSubpictureState(bool on, unsigned flags)
{
    CheckNavigator(
        QStringLiteral("Subpicture %1 %2").arg(on ? QStringLiteral("on") : QStringLiteral("off")).arg(flags));
    return true;
}

bool TFakeDvdNavigator::SelectSubpictureStream(int stream, unsigned flags)
{
    CheckNavigator(QStringLiteral("SelectSubpicture %1 %2").arg(stream).arg(flags));
    return true;
}

QStringList TFakeDvdNavigator::NavigatorCalls() const
{
    QStringList result;
    for (const QString &call : Calls)
        if (call.startsWith(QLatin1String("Play")) || call.startsWith(QLatin1String("Subpicture")) ||
            call.startsWith(QLatin1String("SelectSubpicture")))
            result << call;
    return result;
}
