#include "programcookiejar.h"

#include "cookiefile.h"

namespace {

// Changes come in bursts (a sign-in sets several cookies): one write for them.
constexpr int kSaveDelayMs = 200;

} // namespace

ProgramCookieJar::ProgramCookieJar(QObject* parent)
    : QNetworkCookieJar(parent)
    , m_clock([] { return QDateTime::currentDateTimeUtc(); })
{
    m_saveTimer.setSingleShot(true);
    m_saveTimer.setInterval(kSaveDelayMs);
    connect(&m_saveTimer, &QTimer::timeout, this, &ProgramCookieJar::saveNow);
}

ProgramCookieJar::~ProgramCookieJar()
{
    if (m_saveTimer.isActive())
        saveNow();
}

void ProgramCookieJar::attachFile(const QString& path)
{
    m_path = path;
    setAllCookies(LoadCookieFile(path, m_clock()));
}

bool ProgramCookieJar::saveNow()
{
    m_saveTimer.stop();
    return !m_path.isEmpty() && SaveCookieFile(m_path, allCookies(), m_clock());
}

bool ProgramCookieJar::insertCookie(const QNetworkCookie& cookie)
{
    QList<QNetworkCookie> all = allCookies();
    const auto found = std::find_if(all.begin(), all.end(),
                                    [&cookie](const QNetworkCookie& c) { return c.hasSameIdentifier(cookie); });
    const bool deletion = !cookie.isSessionCookie() && cookie.expirationDate() < m_clock();
    if (deletion) {
        if (found != all.end()) {
            const QNetworkCookie gone = *found;
            all.erase(found);
            setAllCookies(all);
            emit cookieDeleted(gone);
            changed();
        }
        return false;
    }
    if (found != all.end()) {
        if (SameCookie(*found, cookie))
            return true;
        *found = cookie;
    } else {
        all.append(cookie);
    }
    setAllCookies(all);
    emit cookieInserted(cookie);
    changed();
    return true;
}

bool ProgramCookieJar::updateCookie(const QNetworkCookie& cookie)
{
    return insertCookie(cookie);
}

bool ProgramCookieJar::deleteCookie(const QNetworkCookie& cookie)
{
    QList<QNetworkCookie> all = allCookies();
    const auto found = std::find_if(all.begin(), all.end(),
                                    [&cookie](const QNetworkCookie& c) { return c.hasSameIdentifier(cookie); });
    if (found == all.end())
        return false;
    const QNetworkCookie gone = *found;
    all.erase(found);
    setAllCookies(all);
    emit cookieDeleted(gone);
    changed();
    return true;
}

void ProgramCookieJar::changed()
{
    if (!m_path.isEmpty())
        m_saveTimer.start();
}
