#include "browsertransfer.h"

#include "browserpage.h"
#include "browserprofile.h"
#include "browsertransferfactory.h"
#include "pagescripts.h"

#include "core/leftoverfiles.h"
#include "core/pathfunctions.h"
#include "core/programvalues.h"
#include "transfers/botcheck.h"
#include "transfers/hostrefusal.h"
#include "transfers/partfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QWebEngineDownloadRequest>
#include <QWebEngineLoadingInfo>
#include <QWebEngineScript>
#include <QWebEngineSettings>


using namespace Qt::Literals::StringLiterals;

namespace {

constexpr qint64 kSampleHeadBytes = BodySample::kHeadBytes;
constexpr qint64 kSampleTailBytes = BodySample::kTailBytes;

// The first and last bytes of a file just written, as the other methods keep
// them while the body passes.
BodySample readSample(const QString& path)
{
    BodySample sample;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return sample;
    sample.Length = file.size();
    sample.Head = file.read(kSampleHeadBytes);
    if (sample.Length > kSampleTailBytes && file.seek(sample.Length - kSampleTailBytes))
        sample.Tail = file.read(kSampleTailBytes);
    else
        sample.Tail = sample.Head.right(kSampleTailBytes);
    return sample;
}

} // namespace

BrowserTransfer::BrowserTransfer(BrowserProfile& profile, BrowserTransferFactory& owner, const ProgramValues& values,
                                 SecondsClock clock, Timing timing, bool visitRefererFirst)
    : m_profile(profile)
    , m_owner(&owner)
    , m_values(values)
    , m_timing(timing)
    , m_visitRefererFirst(visitRefererFirst)
    , m_stall(std::move(clock), timing.StallTimeoutSeconds, StallWatch::Rule::AtLeast)
{
    m_watchdog.setInterval(1000);
    connect(&m_watchdog, &QTimer::timeout, this, &BrowserTransfer::watchdogTick);
    m_userTimer.setSingleShot(true);
    connect(&m_userTimer, &QTimer::timeout, this, &BrowserTransfer::checkForUser);
    m_failTimer.setSingleShot(true);
    connect(&m_failTimer, &QTimer::timeout, this, [this] { fail(QString::fromUtf16(kReasonUnreachable)); });
}

BrowserTransfer::~BrowserTransfer()
{
    Cancel();
}

QWebEnginePage* BrowserTransfer::page() const
{
    return m_page;
}

void BrowserTransfer::BeginDownload(const QString& url, const QString& saveFile, const QString& referer)
{
    m_target = saveFile;
    m_url = QUrl(QString(url).replace(u"&amp;"_s, u"&"_s).trimmed());
    m_referer = referer.trimmed();
    // Only a file that is there now is replaced; a new name is taken only
    // while it is still free once the body is whole.
    m_replaces = FileExists(saveFile);
    m_stall.restart();
    m_watchdog.start();
    m_page = new BrowserPage(m_profile);
    m_page->setSilent(true);
    // A PDF must come as a download, not open in the viewer.
    m_page->settings()->setAttribute(QWebEngineSettings::PluginsEnabled, false);
    m_page->settings()->setAttribute(QWebEngineSettings::PdfViewerEnabled, false);
    connect(m_page, &QWebEnginePage::loadingChanged, this, &BrowserTransfer::onLoading);
    if (m_visitRefererFirst && QUrl(m_referer).isValid() && !m_referer.isEmpty()) {
        m_phase = Phase::VisitingReferer;
        m_page->load(QUrl(m_referer));
        return;
    }
    fetch();
}

void BrowserTransfer::fetch()
{
    const bool onResultPage = m_phase == Phase::VisitingReferer && m_page->url() == QUrl(m_referer);
    m_phase = Phase::Fetching;
    m_checkSeen = false;
    if (onResultPage) {
        // From the result page, as a reader goes: the engine drops a Referer
        // that a load from the program sets, and a check may look for one.
        m_page->runJavaScript(FollowAddressScript(m_url), QWebEngineScript::ApplicationWorld);
        return;
    }
    m_page->load(m_url);
}

void BrowserTransfer::onLoading(const QWebEngineLoadingInfo& info)
{
    if (m_phase != Phase::VisitingReferer && m_phase != Phase::Fetching)
        return;
    switch (info.status()) {
    case QWebEngineLoadingInfo::LoadStartedStatus:
        m_failTimer.stop();
        m_status = 0;
        return;
    case QWebEngineLoadingInfo::LoadSucceededStatus:
        m_status = 200;
        documentArrived();
        return;
    case QWebEngineLoadingInfo::LoadFailedStatus:
        // An answer with an error status still shows its document.
        if (info.errorDomain() == QWebEngineLoadingInfo::HttpStatusCodeDomain) {
            m_status = info.errorCode();
            documentArrived();
            return;
        }
        loadFailed();
        return;
    case QWebEngineLoadingInfo::LoadStoppedStatus:
        loadFailed();
        return;
    }
}

void BrowserTransfer::documentArrived()
{
    m_failTimer.stop();
    if (IsBotCheckTitle(m_page->title())) {
        // Its script passes it and loads the address again; unless it stays.
        if (!m_checkSeen) {
            m_checkSeen = true;
            m_userTimer.start(m_timing.UserCheckAfterMs);
        }
        return;
    }
    userCheckOver();
    // A "slow down" is never the task's file, and after one, even on the
    // way through the result page, nothing more is asked of the host.
    if (m_status == 429 || m_status == 503) {
        fail(RefusalReason(HostRefusal::SlowDown));
        return;
    }
    if (m_phase == Phase::VisitingReferer) {
        fetch();
        return;
    }
    // A document instead of the file: saved as the task's file, as the other
    // methods save one (a sign-in page then calls the sign-in).
    m_phase = Phase::SavingPage;
    QPointer<BrowserTransfer> self(this);
    m_page->toHtml([self](const QString& html) {
        if (self)
            self->savePage(html);
    });
}

void BrowserTransfer::loadFailed()
{
    if (m_phase == Phase::VisitingReferer) {
        // The result page did not come; the address may still.
        fetch();
        return;
    }
    // The load that turns into a download fails first; its request follows.
    if (!m_waitingForUser)
        m_failTimer.start(m_timing.DownloadWaitMs);
}

bool BrowserTransfer::takeDownload(QWebEngineDownloadRequest* request)
{
    if (request->page() != m_page || request->isSavePageDownload())
        return false;
    if (m_phase == Phase::Downloading) {
        // The engine announces a download of ours again when it restarts an
        // interrupted body from the start; for this transfer it has ended.
        // Left unanswered, the engine cancels the new round.
        fail(QString::fromUtf16(kReasonUnreachable));
        return true;
    }
    if (m_phase != Phase::Fetching && m_phase != Phase::VisitingReferer)
        return false;
    m_failTimer.stop();
    m_userTimer.stop();
    userCheckOver();
    m_phase = Phase::Downloading;
    m_download = request;
    const QFileInfo target(m_target);
    const QString folder = target.absolutePath();
    m_part = FreePartFilePath(folder);
    request->setDownloadDirectory(folder);
    request->setDownloadFileName(QFileInfo(m_part).fileName());
    connect(request, &QWebEngineDownloadRequest::receivedBytesChanged, this, &BrowserTransfer::onDownloadProgress);
    connect(request, &QWebEngineDownloadRequest::totalBytesChanged, this, &BrowserTransfer::onDownloadProgress);
    connect(request, &QWebEngineDownloadRequest::isFinishedChanged, this, &BrowserTransfer::onDownloadFinished);
    // An interrupted download may be resumed later by the engine, and then
    // counts as unfinished: for a transfer it has ended all the same.
    connect(request, &QWebEngineDownloadRequest::stateChanged, this, &BrowserTransfer::onDownloadFinished);
    request->accept();
    return true;
}

void BrowserTransfer::onDownloadProgress()
{
    if (m_phase != Phase::Downloading || !m_download)
        return;
    m_bytesRead = m_download->receivedBytes();
    const qint64 total = m_download->totalBytes();
    const double limit = m_values.maxFileSizeBytes();
    QPointer<BrowserTransfer> self(this);
    if (total >= 1) {
        m_bytesMax = total;
        // Past the limit goes at once: the owner's size rule ends it.
        const bool overLimit = limit > 0 && static_cast<double>(total) > limit;
        if (overLimit || m_progress.open())
            emit DownloadProgress(std::min(m_bytesRead, total), total, m_target);
        if (self && overLimit && m_phase == Phase::Downloading)
            fail(QString::fromUtf16(kReasonUnreachable));
        return;
    }
    if (limit > 0 && static_cast<double>(m_bytesRead) > limit) {
        // No announced size: reported at the size it reached, so the size
        // rule skips it like an announced one.
        emit DownloadProgress(m_bytesRead, m_bytesRead, m_target);
        if (self && m_phase == Phase::Downloading)
            fail(QString::fromUtf16(kReasonUnreachable));
    }
}

void BrowserTransfer::onDownloadFinished()
{
    if (m_phase != Phase::Downloading || !m_download)
        return;
    const QWebEngineDownloadRequest::DownloadState state = m_download->state();
    if (!m_download->isFinished() && state != QWebEngineDownloadRequest::DownloadInterrupted
        && state != QWebEngineDownloadRequest::DownloadCancelled)
        return;
    if (state != QWebEngineDownloadRequest::DownloadCompleted) {
        fail(QString::fromUtf16(kReasonUnreachable));
        return;
    }
    const qint64 received = m_download->receivedBytes();
    const qint64 total = m_download->totalBytes() >= 1 ? m_download->totalBytes() : received;
    if (received < total || received < 1) {
        fail(QString::fromUtf16(kReasonUnreachable));
        return;
    }
    // Only a whole body takes the target's name.
    const bool placed = MovePartIntoPlace(m_part, m_target, m_replaces);
    m_part.clear();
    if (!placed) {
        fail(QString::fromUtf16(kReasonUnreachable));
        return;
    }
    m_sample = readSample(m_target);
    complete(received, total);
}

void BrowserTransfer::savePage(const QString& html)
{
    if (m_phase != Phase::SavingPage)
        return;
    const QByteArray body = html.toUtf8();
    // Nor is a refusal without a way in (a 403 that is no sign-in page).
    if (const HostRefusal refusal = ClassifyAnswer(m_status, body); refusal != HostRefusal::None) {
        fail(RefusalReason(refusal));
        return;
    }
    m_part = FreePartFilePath(QFileInfo(m_target).absolutePath());
    QFile part(m_part);
    const bool written = part.open(QIODevice::NewOnly) && part.write(body) == body.size() && part.flush();
    part.close();
    const bool placed = written && !body.isEmpty() && MovePartIntoPlace(m_part, m_target, m_replaces);
    if (!placed) {
        fail(QString::fromUtf16(kReasonUnreachable)); // the part file goes with the failure
        return;
    }
    m_part.clear();
    m_sample = readSample(m_target);
    complete(body.size(), body.size());
}

void BrowserTransfer::checkForUser()
{
    if ((m_phase != Phase::Fetching && m_phase != Phase::VisitingReferer) || !m_page
        || !IsBotCheckTitle(m_page->title()))
        return;
    m_waitingForUser = true;
    m_failTimer.stop();
    if (m_owner)
        emit m_owner->userCheckNeeded(m_page);
}

void BrowserTransfer::userCheckOver()
{
    if (!m_waitingForUser)
        return;
    m_waitingForUser = false;
    if (m_owner && m_page)
        emit m_owner->userCheckOver(m_page);
}

void BrowserTransfer::watchdogTick()
{
    if (m_phase == Phase::Ended || m_phase == Phase::Idle)
        return;
    // A task waiting for the user is not stalled: it waits.
    if (m_waitingForUser) {
        m_stall.restart();
        return;
    }
    if (m_stall.stalled(m_bytesRead))
        fail(QString::fromUtf16(kReasonTimeout));
}

void BrowserTransfer::complete(qint64 received, qint64 total)
{
    end();
    emit DownloadComplete(received, total, m_target);
}

void BrowserTransfer::fail(const QString& reason)
{
    if (m_phase == Phase::Ended)
        return;
    Cancel();
    emit DownloadError(reason, m_target);
}

void BrowserTransfer::Cancel()
{
    if (m_download && !m_download->isFinished()) {
        // The engine cancels on its own thread and may still write the part
        // file after this: it goes again once the request has ended, whether
        // or not this transfer is still there.
        const QString part = m_part;
        QWebEngineDownloadRequest* request = m_download;
        const auto removePart = [part] {
            if (!part.isEmpty())
                QFile::remove(part);
        };
        connect(request, &QWebEngineDownloadRequest::isFinishedChanged, request, removePart);
        connect(request, &QWebEngineDownloadRequest::stateChanged, request, removePart);
        request->cancel();
    }
    dropPartFile();
    end();
}

void BrowserTransfer::end()
{
    m_phase = Phase::Ended;
    m_watchdog.stop();
    m_userTimer.stop();
    m_failTimer.stop();
    userCheckOver();
    if (m_download)
        m_download->disconnect(this);
    m_download = nullptr;
    if (m_page) {
        m_page->disconnect(this);
        // Not deleted here: this may run inside one of the page's signals.
        m_page->deleteLater();
        m_page = nullptr;
    }
}

void BrowserTransfer::dropPartFile()
{
    // The target itself is never touched: an overwritten file stays whole,
    // and a new name was never taken.
    if (!m_part.isEmpty())
        QFile::remove(m_part);
    m_part.clear();
}
