#pragma once

#include "support/testhttpserver.h"

#include <QHash>
#include <QString>

// The demo site: the pages in tests/fixtures/site served on 127.0.0.1 with
// the few rules a real journal site has. A paper's PDF is served only to a
// signed-in reader (cookie "demo_member"); before that its address answers
// with a sign-in page. "/action/doLogin" signs in the account demo/demo,
// "/action/ipLogin" signs in by the network address. One paper sits behind a
// bot check that only a browser passes; one is larger than the program's
// default size limit. The papers are made from the catalogue articles.tsv.
class DemoSite final {
public:
    struct Paper {
        QString Title;
        bool Large = false;    // above the default size limit of 10 MB
        bool BotCheck = false; // behind the bot check
    };

    explicit DemoSite(QString siteFolder);

    bool listen() { return m_server.listen(); }
    QString url(const QString& target) const { return m_server.url(target); }
    TestHttpServer& server() { return m_server; }
    const QHash<QString, Paper>& papers() const { return m_papers; } // by DOI

    // PDFs sent this many bytes at a time, every this many milliseconds, so
    // that a download is still running when a test acts on it.
    void setPace(int bytes, int milliseconds);

    static constexpr char kAccount[] = "demo";
    static constexpr char kPassword[] = "demo";
    static constexpr qint64 kLargeSize = 11 * 1024 * 1024;

private:
    std::optional<TestHttpServer::Route> answer(const TestHttpServer::Request& request);
    TestHttpServer::Route file(const QString& relative, int status = 200) const;
    TestHttpServer::Route paper(const QString& doi, const TestHttpServer::Request& request);

    QString m_folder;
    QHash<QString, Paper> m_papers;
    QHash<QString, QByteArray> m_pdfs; // made once per paper
    int m_paceBytes = 0;
    int m_paceMs = 0;
    TestHttpServer m_server;
};
