#include "conversion/PowerControl.h"

#include <QDBusConnection>
#include <QDBusInterface>
#include <QDBusReply>

bool TLogindPowerControl::PowerOff()
{
    QDBusConnection bus = QDBusConnection::systemBus();
    if (!bus.isConnected())
        return false;
    QDBusInterface manager(QStringLiteral("org.freedesktop.login1"),
                           QStringLiteral("/org/freedesktop/login1"),
                           QStringLiteral("org.freedesktop.login1.Manager"), bus);
    if (!manager.isValid())
        return false;
    // interactive = true lets polkit ask for a password where the policy wants one.
    const QDBusReply<void> reply = manager.call(QStringLiteral("PowerOff"), true);
    return reply.isValid();
}
