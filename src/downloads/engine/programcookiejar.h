#pragma once

#include <QList>
#include <QNetworkCookie>
#include <QNetworkCookieJar>
#include <QString>
#include <QTimer>

#include <functional>

// The program's one cookie jar, the master copy of its cookies: every
// transfer sends from it and stores into it, the browsers are kept in step
// with it, and with a file attached it keeps the lasting cookies across runs.
// Which cookie goes to which address is the jar's own domain and path rules.
class ProgramCookieJar final : public QNetworkCookieJar {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ProgramCookieJar)

public:
    using Clock = std::function<QDateTime()>;

    explicit ProgramCookieJar(QObject* parent = nullptr);
    // Saves what has not been saved yet.
    ~ProgramCookieJar() override;

    // Loads the file's cookies (the living ones) and, from then on, writes
    // every change back to it shortly after it happens.
    void attachFile(const QString& path);
    // Writes the file now; false when that failed or no file is attached.
    bool saveNow();
    void setClock(Clock clock) { m_clock = std::move(clock); }

    QList<QNetworkCookie> cookies() const { return allCookies(); }

    // A cookie with an expiry date already past deletes the one it names.
    bool insertCookie(const QNetworkCookie& cookie) override;
    bool updateCookie(const QNetworkCookie& cookie) override;
    bool deleteCookie(const QNetworkCookie& cookie) override;

signals:
    // The jar changed: a new or changed cookie, or one gone. A cookie stored
    // again as it already was changes nothing and reports nothing.
    void cookieInserted(const QNetworkCookie& cookie);
    void cookieDeleted(const QNetworkCookie& cookie);

private:
    void changed();

    Clock m_clock;
    QString m_path;
    QTimer m_saveTimer;
};
