#pragma once

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QSet>
#include <QTimer>

#include <vector>

class HttpExchange;
class QSocketNotifier;
typedef void CURL;
typedef void CURLM;

// The program's one HTTP layer: a libcurl multi handle driven by the Qt event
// loop. curl says which sockets it waits on and when it next wants to run;
// the layer answers with socket notifiers and one timer, so nothing polls
// and everything stays on the one UI thread. Connections are kept and reused
// across the exchanges it carries.
//
// curl's callbacks run inside curl_multi_socket_action, where a handle must
// not be removed or added. So an exchange only records what happened there;
// the layer hands each exchange its news once curl has returned, and only
// then may an owner react (start, abort, delete).
class CurlLayer final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CurlLayer)

public:
    explicit CurlLayer(QObject* parent = nullptr);
    ~CurlLayer() override;

    // For HttpExchange: carry this easy handle until it is done or removed.
    bool add(HttpExchange* exchange, CURL* easy);
    void remove(HttpExchange* exchange, CURL* easy);
    // For HttpExchange: it has news for its owner; told once curl returned.
    void markDirty(HttpExchange* exchange);

    // Exchanges in flight; for tests and the benchmark's figures.
    int activeCount() const { return static_cast<int>(m_carried.size()); }

private:
    struct Watch;
    static int socketCallback(CURL* easy, int socket, int what, void* layer, void* watch);
    static int timerCallback(CURLM* multi, long timeoutMs, void* layer);
    void watchSocket(int socket, int what, Watch* watch);
    void act(int socket, int events);
    void collectDone();
    void deliver();

    CURLM* m_multi = nullptr;
    QTimer m_timer;        // curl's own time-outs
    QTimer m_deliverTimer; // news that arose outside of curl's calls
    QSet<HttpExchange*> m_carried;
    QHash<int, Watch*> m_watches;
    std::vector<QPointer<HttpExchange>> m_dirty;
    bool m_acting = false;
    bool m_closing = false;
};
