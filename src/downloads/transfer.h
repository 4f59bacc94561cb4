#pragma once

#include <QObject>
#include <QString>

#include <memory>

// One download of one address into one file, reporting through three events.
// The scheduler works only with this, so its slot rules can be tested with
// fakes; the program's own is the Downloader.
class Transfer : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;

    // Starts the download. Events come later, never from inside this call.
    virtual void BeginDownload(const QString& url, const QString& saveFile, const QString& referer) = 0;
    // Abandons the download; no event follows. Always 0.
    virtual int CancelAsyncRead() = 0;

signals:
    // Progress with an announced total (bytesMax >= 1).
    void DownloadProgress(qint64 bytesRead, qint64 bytesMax, const QString& saveFile);
    // The body is in saveFile (or, with bytesRead below bytesMax, it was cut short).
    void DownloadComplete(qint64 bytesRead, qint64 bytesMax, const QString& saveFile);
    // "超时" (no data for too long) or "无法下载" (nothing could be fetched).
    void DownloadError(const QString& reason, const QString& saveFile);
};

class TransferFactory {
public:
    virtual ~TransferFactory() = default;
    virtual std::unique_ptr<Transfer> createTransfer() = 0;
};

inline constexpr char16_t kReasonTimeout[] = u"超时";
inline constexpr char16_t kReasonUnreachable[] = u"无法下载";
