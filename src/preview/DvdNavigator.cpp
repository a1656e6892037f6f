#include "preview/DvdNavigator.h"

QString GraphStateName(TGraphState state)
{
    switch (state) {
    case TGraphState::Uninitialized:
        return QStringLiteral("uninitialized");
    case TGraphState::Stopped:
        return QStringLiteral("stopped");
    case TGraphState::Paused:
        return QStringLiteral("paused");
    case TGraphState::Playing:
        return QStringLiteral("playing");
    }
    return QString();
}
