#pragma once

#include <QObject>
#include <QtDBus/QDBusUnixFileDescriptor>

// Refuses system suspend for as long as the object lives, through a logind
// inhibitor lock ("sleep", mode "block"). Without a system bus, or when logind
// refuses, there is no lock and nothing is said.
class TPowerInhibitor : public QObject
{
    Q_OBJECT

public:
    explicit TPowerInhibitor(const QString &who, const QString &why, QObject *parent = nullptr);

    bool IsHeld() const { return m_lock.isValid(); }

private:
    QDBusUnixFileDescriptor m_lock;
};
