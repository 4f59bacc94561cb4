#pragma once

#include <QString>
#include <QTemporaryFile>

#include <memory>

// A body on its way to disk: written to a hidden file beside the target and
// renamed over it only when the transfer succeeded, so a failed or cancelled
// transfer never damages a file that was there, and a partial body never
// shows under the final name.
class PartFile final {
public:
    PartFile() = default;
    ~PartFile() { discard(); }
    PartFile(const PartFile&) = delete;
    PartFile& operator=(const PartFile&) = delete;

    bool open(const QString& targetPath);
    bool isOpen() const { return m_file != nullptr; }
    bool write(const char* data, qint64 size);
    qint64 size() const { return m_size; }

    // A body without an announced size is held to this many bytes while it
    // streams; <= 0: no limit. The transfer ends one that grew past it.
    void setSizeLimitBytes(double bytes) { m_sizeLimit = bytes; }
    bool overLimit() const { return m_sizeLimit > 0 && static_cast<double>(m_size) > m_sizeLimit; }

    // Replaces the target with what was written; false when that failed (the
    // part is then removed and the target left as it was).
    bool commit();
    void discard();

private:
    std::unique_ptr<QTemporaryFile> m_file;
    QString m_target;
    qint64 m_size = 0;
    double m_sizeLimit = 0;
};
