#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QUrl>

#include <memory>

// What a transfer learnt from the response headers before any of the body is
// kept: enough for its owner to choose the file the body goes into.
struct TransferHeaders {
    qint64 AnnouncedSize = 0; // 0 when the server announced none or no number
    QString ContentType;      // the header as sent, parameters included
    QUrl FinalUrl;            // after redirects
};

// The first and last bytes of a body as they passed on their way to disk, so
// the file's type can be told without reading the file again.
struct BodySample {
    static constexpr qint64 kHeadBytes = 10240;
    static constexpr qint64 kTailBytes = 128;

    QByteArray Head;      // up to the first kHeadBytes
    QByteArray Tail;      // up to the last kTailBytes
    qint64 Length = -1;   // the whole body's; -1: no sample (read the file instead)
};

// What the host's answer said about the host, for the scheduler's pacing.
struct HostAnswer {
    int Status = 0;     // the answer's HTTP status; 0 when none came (or none could be read)
    QString RetryAfter; // its "Retry-After" header as sent; empty when none (or none could be read)
};

// One download of one address into one file. The scheduler works only with
// this, so its slot rules can be tested with fakes; the program has one kind
// per download method. Every report is a value; a transfer never touches a
// task or a list.
class Transfer : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;

    // Starts the download. With a save file the body goes to a hidden file
    // beside it as it comes and takes its name only when whole;
    // without one the transfer first reports HeadersReceived and waits until
    // SaveInto() names the file (or Cancel() ends it). Events come later,
    // never from inside this call.
    virtual void BeginDownload(const QString& url, const QString& saveFile, const QString& referer) = 0;
    // The answer to HeadersReceived: the body goes into this file. Transfers
    // that are always given their file at the start ignore it.
    virtual void SaveInto(const QString& saveFile) { static_cast<void>(saveFile); }
    // Abandons the download and whatever it had written; no event follows.
    virtual void Cancel() = 0;
    // After DownloadComplete: the sample of the body now in the file, when
    // the transfer kept one.
    virtual BodySample bodySample() const { return {}; }
    // Once the transfer has ended (either way): the host's last answer.
    virtual HostAnswer hostAnswer() const { return {}; }

signals:
    // The response headers, for a transfer started without a save file.
    void HeadersReceived(const TransferHeaders& headers);
    // Progress with a known total (bytesMax >= 1).
    void DownloadProgress(qint64 bytesRead, qint64 bytesMax, const QString& saveFile);
    // The body is in saveFile (or, with bytesRead below bytesMax, it was cut short).
    void DownloadComplete(qint64 bytesRead, qint64 bytesMax, const QString& saveFile);
    // "超时" (no data for too long), "无法下载" (nothing could be fetched),
    // "网页验证" (the site's bot check answered instead of the file),
    // "网站要求放慢" (429 or 503: the host asks for fewer requests) or
    // "拒绝访问" (a 403 that is neither the check nor a sign-in page). Nothing
    // of a refusal's body is kept.
    void DownloadError(const QString& reason, const QString& saveFile);
    // The connection's state as a number of the client's state table (0 to 12)
    // and its text; only the single-transfer method reports states.
    void StateChanged(int state, const QString& text);
};

class TransferFactory {
public:
    virtual ~TransferFactory() = default;
    virtual std::unique_ptr<Transfer> createTransfer() = 0;
};

inline constexpr char16_t kReasonTimeout[] = u"超时";
inline constexpr char16_t kReasonUnreachable[] = u"无法下载";
inline constexpr char16_t kReasonBotCheck[] = u"网页验证";
inline constexpr char16_t kReasonSlowDown[] = u"网站要求放慢";
inline constexpr char16_t kReasonRefused[] = u"拒绝访问";
