#pragma once

#include "transfers/networkcontext.h"
#include "transfers/xmlhttp.h"

#include <QObject>

// The one request at start-up that asks the server for the newest version.
class NewVersionCheck final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(NewVersionCheck)

public:
    // server: the address the version file lies under, ending with "/"; an
    // empty one asks nothing.
    NewVersionCheck(NetworkContext network, QString server, QObject* parent = nullptr);

    void start();
    QString programPage() const;

signals:
    void newerVersion(const QString& notice); // "有最新版本：V1.5.0"
    void requestFailed();                     // any answer but 200

private:
    void onArrived();

    uXMLHTTP uXMLHTTP2;
    QString m_server;
};
