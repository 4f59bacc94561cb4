#include "inetengine.h"

#include "downloadscheduler.h"
#include "downloadtablemodel.h"
#include "filetypedetection.h"
#include "inetconnection.h"
#include "savenaming.h"

#include "core/contenttype.h"
#include "core/pathfunctions.h"
#include "core/programvalues.h"
#include "core/urlfunctions.h"

#include <QFile>
#include <QFileInfo>
#include <QNetworkAccessManager>
#include <QNetworkCookieJar>
#include <QNetworkProxy>
#include <QNetworkReply>

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr qint64 kPieceBytes = 2048;


} // namespace

InetEngine::InetEngine(DownloadTableModel& model, ProgramValues& values, DownloadScheduler& scheduler,
                       NetworkContext network, UserPrompts& prompts, SecondsClock clock, QObject* parent)
    : InetEngine(model, values, scheduler, std::move(network), prompts, std::move(clock), Timing(), parent)
{
}

InetEngine::InetEngine(DownloadTableModel& model, ProgramValues& values, DownloadScheduler& scheduler,
                       NetworkContext network, UserPrompts& prompts, SecondsClock clock, Timing timing,
                       QObject* parent)
    : QObject(parent)
    , m_model(model)
    , m_values(values)
    , m_scheduler(scheduler)
    , m_network(std::move(network))
    , m_prompts(prompts)
    , m_clock(std::move(clock))
    , m_timing(timing)
    , m_manager(std::make_unique<QNetworkAccessManager>())
{
    // The same cookies as the browsers and the parallel method: one jar, shared.
    if (m_network.Manager != nullptr && m_network.Manager->cookieJar() != nullptr) {
        QNetworkCookieJar* jar = m_network.Manager->cookieJar();
        QObject* owner = jar->parent();
        m_manager->setCookieJar(jar);
        jar->setParent(owner);
    }
    m_headerTimer.setSingleShot(true);
    connect(&m_headerTimer, &QTimer::timeout, this, &InetEngine::onHeadersDone);
    m_stallTimer.setInterval(1000);
    connect(&m_stallTimer, &QTimer::timeout, this, &InetEngine::stallTick);
}

InetEngine::~InetEngine()
{
    abortReply();
}

DownloadTask* InetEngine::task()
{
    return m_model.list().TaskAt(m_position);
}

bool InetEngine::StillExecuting() const
{
    return m_phase != Phase::Idle;
}

void InetEngine::StartInetTask(int position)
{
    DownloadTask* t = m_model.list().TaskAt(position);
    if (t == nullptr)
        return;
    if (StillExecuting() || m_scheduler.TransferBusy()) {
        // The one client is still busy: the task goes back in the queue.
        t->State = TaskState::Waiting;
        t->Size = u"等待重新下载"_s;
        m_model.taskChanged(position);
        return;
    }
    m_position = position;
    m_scheduler.setTransferBusy(true);
    InetTransfer();
}

void InetEngine::applyProxy(bool useProxy, const QString& host, int port)
{
    if (useProxy)
        m_manager->setProxy(QNetworkProxy(QNetworkProxy::HttpProxy, host, static_cast<quint16>(port)));
    else
        m_manager->setProxy(QNetworkProxy(QNetworkProxy::DefaultProxy));
}

void InetEngine::InetTransfer()
{
    DownloadTask& t = *task();
    const InetConnection connection = InetConnectionFor(t.Url, m_values);
    applyProxy(connection.UseProxy, connection.ProxyHost, connection.ProxyPort);
    emit statusTextChanged(u"正在下载:"_s + t.Name);

    QUrl url(t.Url.trimmed());
    if (connection.Https)
        url.setScheme(u"https"_s);
    QNetworkRequest request = MakeTransferRequest(m_network, url);
    request.setRawHeader("Referer", (t.Referer.isEmpty() ? UrlSiteRoot(t.Url) : t.Referer).toUtf8());

    m_size = 0;
    m_written = 0;
    m_phase = Phase::Headers;
    emit stateTextChanged(InetStateText(3));
    QNetworkReply* reply = m_manager->get(request);
    reply->setReadBufferSize(64 * 1024);
    GuardRedirects(reply);
    m_reply = reply;
    emit stateTextChanged(InetStateText(5));
    connect(reply, &QNetworkReply::metaDataChanged, this, [this] {
        // A redirect's own headers come first; the answer is the final response's.
        const int status = m_reply ? m_reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt() : 0;
        if (status >= 300 && status < 400 && m_reply->hasRawHeader("Location"))
            return;
        emit stateTextChanged(InetStateText(7));
        emit stateTextChanged(InetStateText(8));
        if (m_phase == Phase::Headers)
            onHeadersDone();
    });
    connect(reply, &QNetworkReply::finished, this, &InetEngine::onFinished);
    connect(reply, &QNetworkReply::readyRead, this, &InetEngine::onReadyRead);
    m_headerTimer.start(m_timing.HeaderWaitMs);
}

void InetEngine::onHeadersDone()
{
    if (m_phase != Phase::Headers)
        return;
    m_headerTimer.stop();
    DownloadTask* t = task();
    if (t == nullptr || m_reply == nullptr) {
        finish(false);
        return;
    }
    QNetworkReply& reply = *m_reply;
    // A redirect that was not followed (to another scheme) is no answer.
    const int status = reply.attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (status >= 300 && status < 400) {
        abortReply();
        t->State = TaskState::Failed;
        finish(false);
        return;
    }

    // The announced size.
    bool numeric = false;
    const qint64 announced = reply.rawHeader("content-length").trimmed().toLongLong(&numeric);
    m_size = numeric && announced > 0 ? announced : 0;
    if (m_size > 0)
        t->Size = QString::number(m_size);
    if (static_cast<double>(m_size) / 1024.0 / 1024.0 > m_values.MaxFileSizeMB) {
        abortReply();
        t->State = TaskState::Completed;
        t->Progress = u"大文件，跳过"_s;
        finish(true);
        return;
    }

    const QString ext = ContentTypeToExt(ParseContentType(QString::fromLatin1(reply.rawHeader("Content-Type"))));
    if (reply.rawHeaderPairs().isEmpty()) {
        // No response at all within the wait.
        abortReply();
        t->State = TaskState::Failed;
        finish(false);
        return;
    }
    t->Folder = WithTrailingSeparator(EnsureFolder(t->Folder, m_prompts));
    if (!ext.isEmpty() && !ext.contains(u'/'))
        t->Type = ext;
    if (m_scheduler.switches().Policy == DuplicatePolicy::Rename) {
        const SavePath target = MakeSavePath(t->Folder, t->Name, t->Type, DuplicatePolicy::Rename);
        m_path = target.Path;
        t->Name = target.Name;
    } else {
        m_path = TargetFilePath(t->Folder, t->Name, t->Type);
    }
    if (FileExists(m_path))
        QFile::remove(m_path);
    if (FileExists(m_path)) {
        const QString length = QString::number(QFileInfo(m_path).size());
        t->State = TaskState::Failed;
        t->Size = length;
        t->Received = length;
        t->Progress = u"无法替换"_s;
        abortReply();
        finish(false);
        return;
    }
    m_model.taskChanged(m_position);

    if (m_size <= 0) {
        InetFetchWhole();
        return;
    }
    // The piece loop.
    t->Size = QString::number(m_size);
    t->Received = u"0"_s;
    m_phase = Phase::Body;
    m_lastGrowth = m_clock();
    m_sinceRepaint.start();
    if (!m_part.open(m_path)) {
        abortReply();
        t->State = TaskState::Failed;
        finish(false);
        return;
    }
    m_stallTimer.start();
    onReadyRead();
}

void InetEngine::onReadyRead()
{
    if (m_phase != Phase::Body || m_reply == nullptr)
        return;
    DownloadTask* t = task();
    char piece[kPieceBytes];
    while (m_phase == Phase::Body && m_reply != nullptr && m_reply->bytesAvailable() > 0) {
        // A stop between two pieces: the busy flag was cleared.
        if (!m_scheduler.TransferBusy()) {
            stopped();
            return;
        }
        const qint64 read = m_reply->read(piece, kPieceBytes);
        if (read <= 0)
            break;
        if (!m_part.write(piece, read)) {
            stalled(); // the disk refused: end as a stall does, with what arrived
            return;
        }
        if (m_part.size() > m_written) {
            m_written = m_part.size();
            m_lastGrowth = m_clock();
            if (t != nullptr) {
                t->Received = QString::number(m_written);
                t->Progress = QString::number(static_cast<qint64>(static_cast<float>(m_written) / static_cast<float>(m_size) * 100.0f)) + u'%';
            }
            showProgress(false);
        }
        if (m_written >= m_size) {
            bodyComplete();
            return;
        }
    }
}

void InetEngine::showProgress(bool now)
{
    if (now || m_sinceRepaint.elapsed() >= m_timing.ProgressIntervalMs) {
        m_model.taskChanged(m_position);
        m_sinceRepaint.restart();
    }
}

void InetEngine::onFinished()
{
    if (m_reply == nullptr)
        return;
    const int status = m_reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    const bool failed =
        m_reply->error() != QNetworkReply::NoError && m_reply->error() != QNetworkReply::OperationCanceledError;
    if (failed)
        emit stateTextChanged(InetStateText(11, status, m_reply->errorString()));
    switch (m_phase) {
    case Phase::Headers:
        if (!failed)
            emit stateTextChanged(InetStateText(12));
        onHeadersDone(); // a response without a body, or none at all
        return;
    case Phase::Body:
        onReadyRead();
        // The connection ended short of the announced size: nothing more will
        // come, so there is no point waiting for the stall time-out.
        if (m_phase == Phase::Body)
            stalled();
        return;
    case Phase::Whole:
    case Phase::Idle:
        return;
    }
}

void InetEngine::bodyComplete()
{
    emit stateTextChanged(InetStateText(12));
    m_stallTimer.stop();
    abortReply();
    DownloadTask* t = task();
    if (!m_part.commit()) {
        if (t != nullptr)
            t->State = TaskState::Failed;
        finish(false);
        return;
    }
    if (t != nullptr) {
        t->State = TaskState::Completed;
        CorrectTaskFileType(*t);
    }
    finish(true);
}

void InetEngine::stallTick()
{
    if (m_phase != Phase::Body && m_phase != Phase::Whole)
        return;
    if (!m_scheduler.TransferBusy()) {
        stopped();
        return;
    }
    if (SecondsElapsed(m_lastGrowth, m_clock()) > m_timing.StallTimeoutSeconds)
        stalled();
}

void InetEngine::stalled()
{
    m_stallTimer.stop();
    abortReply();
    // What arrived stays on disk; the task fails.
    if (m_phase == Phase::Body)
        m_part.commit();
    else
        m_part.discard();
    if (DownloadTask* t = task())
        t->State = TaskState::Failed;
    finish(false);
}

void InetEngine::stopped()
{
    m_stallTimer.stop();
    abortReply();
    m_part.discard();
    if (DownloadTask* t = task()) {
        t->Progress = u"下载取消"_s;
        t->State = TaskState::Failed;
    }
    finish(false);
}

void InetEngine::Cancel()
{
    if (m_phase == Phase::Idle)
        return;
    if (m_phase == Phase::Headers) {
        abortReply();
        m_headerTimer.stop();
        if (DownloadTask* t = task())
            t->State = TaskState::Failed;
        finish(false);
        return;
    }
    stopped();
}

void InetEngine::InetFetchWhole()
{
    DownloadTask* t = task();
    t->Size = u"未知"_s;
    m_model.taskChanged(m_position);
    abortReply();
    // A new request without the referring page, as a plain fetch of the address.
    QUrl url(t->Url.trimmed());
    if (InetConnectionFor(t->Url, m_values).Https)
        url.setScheme(u"https"_s);
    m_phase = Phase::Whole;
    m_lastGrowth = m_clock();
    if (!m_part.open(m_path)) {
        t->Size.clear();
        t->State = TaskState::Failed;
        finish(false);
        return;
    }
    QNetworkReply* reply = m_manager->get(MakeTransferRequest(m_network, url));
    reply->setReadBufferSize(64 * 1024);
    GuardRedirects(reply);
    m_reply = reply;
    connect(reply, &QNetworkReply::readyRead, this, &InetEngine::onWholeReadyRead);
    connect(reply, &QNetworkReply::finished, this, &InetEngine::onWholeFinished);
    m_stallTimer.start();
}

void InetEngine::onWholeReadyRead()
{
    if (m_phase != Phase::Whole || m_reply == nullptr)
        return;
    const QByteArray data = m_reply->readAll();
    if (!data.isEmpty() && m_part.write(data.constData(), data.size()))
        m_lastGrowth = m_clock();
    // Held to the size limit like every transfer: an endless body is not fetched.
    if (static_cast<double>(m_part.size()) > m_values.maxFileSizeBytes()) {
        const qint64 reached = m_part.size();
        m_stallTimer.stop();
        abortReply();
        m_part.discard();
        if (DownloadTask* t = task()) {
            t->State = TaskState::Completed;
            t->Size = QString::number(reached);
            t->Progress = u"大文件，跳过"_s;
        }
        finish(true);
    }
}

void InetEngine::onWholeFinished()
{
    if (m_phase != Phase::Whole || m_reply == nullptr)
        return;
    onWholeReadyRead();
    if (m_phase != Phase::Whole)
        return;
    m_stallTimer.stop();
    emit stateTextChanged(InetStateText(12));
    abortReply();
    DownloadTask* t = task();
    const qint64 received = m_part.size();
    const bool whole = received >= 2 && m_part.commit();
    if (!whole)
        m_part.discard();
    if (t != nullptr) {
        if (whole) {
            t->Size = QString::number(QFileInfo(m_path).size());
            t->Received = QString::number(received);
            t->Progress = u"100%"_s;
            t->State = TaskState::Completed;
        } else {
            t->Size.clear();
            t->Received.clear();
            t->Progress.clear();
            t->State = TaskState::Failed;
        }
        CorrectTaskFileType(*t);
    }
    finish(whole);
}

void InetEngine::abortReply()
{
    AbandonReply(m_reply, this);
}

void InetEngine::finish(bool result)
{
    abortReply();
    m_headerTimer.stop();
    m_stallTimer.stop();
    m_phase = Phase::Idle;
    const int position = m_position;
    m_model.taskChanged(position);
    m_scheduler.finishTransferSteps(position);
    m_scheduler.setTransferBusy(false);
    emit transferFinished(position, result);
}
