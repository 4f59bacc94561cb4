#pragma once

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

// A real HTTP proxy (tinyproxy) on a free port of 127.0.0.1 for one test,
// started with a generated configuration and stopped by its process id.
class TinyproxyProcess final {
public:
    TinyproxyProcess() = default;
    ~TinyproxyProcess();
    TinyproxyProcess(const TinyproxyProcess&) = delete;
    TinyproxyProcess& operator=(const TinyproxyProcess&) = delete;

    // False when tinyproxy is missing or did not come up.
    bool start();
    void stop();
    quint16 port() const { return m_port; }
    QString output(); // what it logged so far

private:
    QTemporaryDir m_dir;
    QProcess m_process;
    quint16 m_port = 0;
    QByteArray m_log;
};
