#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>

class QWebEnginePage;
class QWebEngineProfile;

// The program's one browser profile, named "Paperpull": cache and storage in
// the per-user folders, shared by every page the program creates, so a sign-in
// in one browser holds in the other. main() builds it once and passes it on.
//
// Cookies are not kept on disk by the profile: the engine never reports
// cookies it loaded from an earlier run, so the program's own cookie jar is
// the lasting copy and fills the profile at start.
class BrowserProfile final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(BrowserProfile)

public:
    explicit BrowserProfile(QObject* parent = nullptr);
    // Deletes the pages still alive first: the engine must not outlive them.
    ~BrowserProfile() override;

    QWebEngineProfile* profile() const { return m_profile; }

    // The user agent the browser sends. Every transfer sends the same one:
    // sites behind bot protection bind their clearance cookie to it.
    QString httpUserAgent() const;
    QString cachePath() const;
    QString storagePath() const;

    // Pages built on this profile register here, so none outlives it.
    void track(QWebEnginePage* page);

private:
    QWebEngineProfile* m_profile = nullptr;
    QList<QPointer<QWebEnginePage>> m_pages;
};
