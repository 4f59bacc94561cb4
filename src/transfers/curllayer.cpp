#include "curllayer.h"

#include "httpexchange.h"

#include <QSocketNotifier>

#include <curl/curl.h>

#include <mutex>

struct CurlLayer::Watch {
    QSocketNotifier* Read = nullptr;
    QSocketNotifier* Write = nullptr;
};

namespace {

void initialiseCurlOnce()
{
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

// A notifier may be the one whose signal is running: it goes from the event loop.
void dropNotifier(QSocketNotifier*& notifier)
{
    if (notifier == nullptr)
        return;
    notifier->setEnabled(false);
    notifier->deleteLater();
    notifier = nullptr;
}

} // namespace

CurlLayer::CurlLayer(QObject* parent)
    : QObject(parent)
{
    initialiseCurlOnce();
    m_multi = curl_multi_init();
    curl_multi_setopt(m_multi, CURLMOPT_SOCKETFUNCTION, &CurlLayer::socketCallback);
    curl_multi_setopt(m_multi, CURLMOPT_SOCKETDATA, this);
    curl_multi_setopt(m_multi, CURLMOPT_TIMERFUNCTION, &CurlLayer::timerCallback);
    curl_multi_setopt(m_multi, CURLMOPT_TIMERDATA, this);
    // Connections stay open for the next file of the same server, also while
    // fewer transfers than slots are running (curl's default shrinks with them).
    curl_multi_setopt(m_multi, CURLMOPT_MAXCONNECTS, 16L);
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, [this] { act(CURL_SOCKET_TIMEOUT, 0); });
    m_deliverTimer.setSingleShot(true);
    m_deliverTimer.setInterval(0);
    connect(&m_deliverTimer, &QTimer::timeout, this, &CurlLayer::deliver);
}

CurlLayer::~CurlLayer()
{
    m_closing = true;
    // Exchanges normally end before the layer; one that outlives it is told
    // so and stays silent.
    for (HttpExchange* exchange : QSet<HttpExchange*>(m_carried)) {
        curl_multi_remove_handle(m_multi, exchange->m_easy);
        exchange->layerGone();
    }
    m_carried.clear();
    curl_multi_cleanup(m_multi);
    for (Watch* watch : std::as_const(m_watches)) {
        delete watch->Read;
        delete watch->Write;
        delete watch;
    }
}

bool CurlLayer::add(HttpExchange* exchange, CURL* easy)
{
    if (curl_multi_add_handle(m_multi, easy) != CURLM_OK)
        return false;
    m_carried.insert(exchange);
    return true;
}

void CurlLayer::remove(HttpExchange* exchange, CURL* easy)
{
    if (!m_carried.remove(exchange))
        return;
    curl_multi_remove_handle(m_multi, easy);
}

void CurlLayer::markDirty(HttpExchange* exchange)
{
    m_dirty.emplace_back(exchange);
    if (!m_acting && !m_deliverTimer.isActive())
        m_deliverTimer.start();
}

int CurlLayer::socketCallback(CURL*, curl_socket_t socket, int what, void* layer, void* watch)
{
    static_cast<CurlLayer*>(layer)->watchSocket(socket, what, static_cast<Watch*>(watch));
    return 0;
}

int CurlLayer::timerCallback(CURLM*, long timeoutMs, void* layer)
{
    auto* self = static_cast<CurlLayer*>(layer);
    if (self->m_closing)
        return 0;
    if (timeoutMs < 0)
        self->m_timer.stop();
    else
        self->m_timer.start(static_cast<int>(std::min<long>(timeoutMs, 24L * 3600 * 1000)));
    return 0;
}

void CurlLayer::watchSocket(curl_socket_t socket, int what, Watch* watch)
{
    if (m_closing)
        return;
    if (what == CURL_POLL_REMOVE) {
        if (watch != nullptr) {
            dropNotifier(watch->Read);
            dropNotifier(watch->Write);
            m_watches.remove(socket);
            delete watch;
        }
        return;
    }
    if (watch == nullptr) {
        watch = new Watch;
        m_watches.insert(socket, watch);
        curl_multi_assign(m_multi, socket, watch);
    }
    const bool wantRead = (what & CURL_POLL_IN) != 0;
    const bool wantWrite = (what & CURL_POLL_OUT) != 0;
    if (wantRead && watch->Read == nullptr) {
        watch->Read = new QSocketNotifier(socket, QSocketNotifier::Read, this);
        connect(watch->Read, &QSocketNotifier::activated, this, [this, socket] { act(socket, CURL_CSELECT_IN); });
    }
    if (wantWrite && watch->Write == nullptr) {
        watch->Write = new QSocketNotifier(socket, QSocketNotifier::Write, this);
        connect(watch->Write, &QSocketNotifier::activated, this, [this, socket] { act(socket, CURL_CSELECT_OUT); });
    }
    if (watch->Read != nullptr)
        watch->Read->setEnabled(wantRead);
    if (watch->Write != nullptr)
        watch->Write->setEnabled(wantWrite);
}

void CurlLayer::act(curl_socket_t socket, int events)
{
    if (m_acting)
        return; // never inside curl's own call (a notifier fired from a nested loop)
    m_acting = true;
    int running = 0;
    curl_multi_socket_action(m_multi, socket, events, &running);
    collectDone();
    m_acting = false;
    deliver();
}

void CurlLayer::collectDone()
{
    int left = 0;
    while (CURLMsg* message = curl_multi_info_read(m_multi, &left)) {
        if (message->msg != CURLMSG_DONE)
            continue;
        // The message does not survive the handle's removal: copy it first.
        CURL* easy = message->easy_handle;
        const CURLcode result = message->data.result;
        HttpExchange* exchange = nullptr;
        curl_easy_getinfo(easy, CURLINFO_PRIVATE, &exchange);
        if (exchange == nullptr || !m_carried.contains(exchange)) {
            curl_multi_remove_handle(m_multi, easy);
            continue;
        }
        remove(exchange, easy);
        // May add the handle again, for the next hop of a redirect.
        exchange->transferDone(result);
    }
}

void CurlLayer::deliver()
{
    // An owner's reaction may bring news of its own (a new exchange that
    // failed to start, a paused body let go): handled in the same turn.
    for (int round = 0; round < 100 && !m_dirty.empty(); ++round) {
        std::vector<QPointer<HttpExchange>> batch;
        batch.swap(m_dirty);
        for (const QPointer<HttpExchange>& exchange : batch) {
            if (exchange)
                exchange->deliver();
        }
    }
    if (!m_dirty.empty())
        m_deliverTimer.start();
}
