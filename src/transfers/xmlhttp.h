#pragma once

#include "httpexchange.h"
#include "networkcontext.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>

#include <memory>

// A small asynchronous HTTP request with events, for one-off fetches (such as
// the new-version check): open, add headers, send, then one of DataArrived
// (status 200, body saved when a file was named) or OnDateErr (a description
// of the status). Completion is told by the reply's signal, no polling.
class uXMLHTTP final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(uXMLHTTP)

public:
    explicit uXMLHTTP(NetworkContext context, QObject* parent = nullptr);
    ~uXMLHTTP() override;

    void Open_(const QString& method, const QString& url, const QString& saveFile);
    void SetRequestHeader(const QString& name, const QString& value);
    void Send_(const QByteArray& body = {});
    void Abort_();

    bool DownOK() const { return m_done; }
    int ReadyState() const { return m_readyState; }
    int Status() const { return m_status; }
    QString StatusText() const { return m_statusText; }
    QString GetResponseHeader(const QString& name) const;
    QString GetAllResponseHeaders() const;
    QByteArray ResponseBody() const { return m_body; }
    QString ResponseText() const;

    // The description of a status code, "" for one the table lacks.
    static QString StatusDescription(int status);

signals:
    void DataArrived();
    void OnReadyStateChange();
    void OnDateErr(const QString& description);

private:
    void setReadyState(int state);
    void onFinished();
    void dropExchange();

    NetworkContext m_context;
    QString m_method;
    QUrl m_url;
    QString m_saveFile;
    QList<std::pair<QByteArray, QByteArray>> m_requestHeaders;
    std::unique_ptr<HttpExchange> m_exchange;

    bool m_done = false;
    int m_readyState = 0;
    int m_status = 0;
    QString m_statusText;
    QList<std::pair<QByteArray, QByteArray>> m_responseHeaders;
    QByteArray m_body;
    QByteArray m_contentType;
};
