#pragma once

#include <QByteArray>
#include <QList>

#include <initializer_list>
#include <utility>

// Sets environment variables (read by the fake tools a test starts) for as
// long as it lives.
class TScopedEnv
{
public:
    TScopedEnv(std::initializer_list<std::pair<const char *, QByteArray>> values)
    {
        for (const auto &v : values) {
            m_names.append(v.first);
            qputenv(v.first, v.second);
        }
    }
    ~TScopedEnv()
    {
        for (const QByteArray &n : m_names)
            qunsetenv(n.constData());
    }
    TScopedEnv(const TScopedEnv &) = delete;
    TScopedEnv &operator=(const TScopedEnv &) = delete;

private:
    QList<QByteArray> m_names;
};
