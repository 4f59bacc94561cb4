#include "browserprofile.h"

#include "core/programnames.h"

#include <QDir>
#include <QStandardPaths>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineSettings>

using namespace Qt::Literals::StringLiterals;

namespace {

QString browserFolder(QStandardPaths::StandardLocation location)
{
    const QString folder = QStandardPaths::writableLocation(location) + u'/' + programnames::kApplication + u"/browser"_s;
    QDir().mkpath(folder);
    return folder;
}

} // namespace

BrowserProfile::BrowserProfile(QObject* parent)
    : QObject(parent)
{
    // A named profile is on disk; the default profile would be off the record.
    m_profile = new QWebEngineProfile(programnames::kApplication, this);
    m_profile->setPersistentStoragePath(browserFolder(QStandardPaths::GenericDataLocation));
    m_profile->setCachePath(browserFolder(QStandardPaths::GenericCacheLocation));
    m_profile->setHttpCacheType(QWebEngineProfile::DiskHttpCache);
    m_profile->setPersistentCookiesPolicy(QWebEngineProfile::NoPersistentCookies);
    // No guessing of hosts the user never asked for.
    m_profile->settings()->setAttribute(QWebEngineSettings::DnsPrefetchEnabled, false);
}

BrowserProfile::~BrowserProfile()
{
    for (const QPointer<QWebEnginePage>& page : std::as_const(m_pages))
        delete page.data();
    m_pages.clear();
    delete m_profile;
}

QString BrowserProfile::httpUserAgent() const
{
    return m_profile->httpUserAgent();
}

QString BrowserProfile::cachePath() const
{
    return m_profile->cachePath();
}

QString BrowserProfile::storagePath() const
{
    return m_profile->persistentStoragePath();
}

void BrowserProfile::track(QWebEnginePage* page)
{
    m_pages.removeAll(nullptr);
    m_pages.append(page);
}
