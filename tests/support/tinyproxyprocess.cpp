#include "support/tinyproxyprocess.h"

#include <QFile>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>

#include <csignal>

TinyproxyProcess::~TinyproxyProcess()
{
    stop();
}

bool TinyproxyProcess::start()
{
    const QString program = QStandardPaths::findExecutable(QStringLiteral("tinyproxy"));
    if (program.isEmpty() || !m_dir.isValid())
        return false;
    {
        QTcpServer probe; // a free port: bind to 0, note it, let it go
        if (!probe.listen(QHostAddress::LocalHost, 0))
            return false;
        m_port = probe.serverPort();
    }
    const QString config = m_dir.filePath(QStringLiteral("tinyproxy.conf"));
    QFile file(config);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write("Port " + QByteArray::number(m_port) + "\nListen 127.0.0.1\nTimeout 60\nAllow 127.0.0.1\n"
               "MaxClients 50\nLogLevel Info\nViaProxyName \"tinyproxy\"\n");
    file.close();
    m_process.setProcessChannelMode(QProcess::MergedChannels);
    m_process.start(program, {QStringLiteral("-d"), QStringLiteral("-c"), config});
    if (!m_process.waitForStarted(5000))
        return false;
    for (int i = 0; i < 100; ++i) {
        QTcpSocket socket;
        socket.connectToHost(QHostAddress::LocalHost, m_port);
        if (socket.waitForConnected(100))
            return true;
        QThread::msleep(50);
    }
    return false;
}

void TinyproxyProcess::stop()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    ::kill(static_cast<pid_t>(m_process.processId()), SIGTERM);
    if (!m_process.waitForFinished(3000))
        m_process.kill();
    m_process.waitForFinished(3000);
}

QString TinyproxyProcess::output()
{
    m_log += m_process.readAll();
    return QString::fromUtf8(m_log);
}
