#pragma once

#include "transfer.h"

#include <QByteArray>
#include <QString>

// A body on its way to disk, in one file per task that is renamed at most
// once:
// - a target that already exists (an overwrite) is replaced only when the
//   body is whole: the body goes to a hidden file beside it that is renamed
//   over it, so a failed or cancelled transfer never damages it;
// - a new target is itself the file the body goes into. With a placeholder
//   the name was claimed before any byte came; a body that fails or is
//   abandoned leaves the placeholder again, and without one it leaves
//   nothing.
// Writes go straight to the file descriptor: the caller's buffer is the only
// copy in user space.
class PartFile final {
public:
    PartFile() = default;
    ~PartFile() { discard(); }
    PartFile(const PartFile&) = delete;
    PartFile& operator=(const PartFile&) = delete;

    // Opens the file for targetPath; false when it cannot be made. A new
    // target is created at once holding the placeholder bytes (when given).
    bool open(const QString& targetPath, QByteArrayView placeholder = {});
    bool isOpen() const { return m_fd >= 0; }
    bool write(const char* data, qint64 size);
    qint64 size() const { return m_size; }
    // The first bytes written so far (up to 10240): enough to tell a page.
    QByteArrayView head() const { return m_sample.Head; }
    // Drops what was written and starts the body again in the same file.
    bool rewind();

    // A body without an announced size is held to this many bytes while it
    // streams; <= 0: no limit. The transfer ends one that grew past it.
    void setSizeLimitBytes(double bytes) { m_sizeLimit = bytes; }
    bool overLimit() const { return m_sizeLimit > 0 && static_cast<double>(m_size) > m_sizeLimit; }

    // Puts the body in place under the target's name; false when that failed
    // (the target is then as discard() leaves it).
    bool commit();
    void discard();
    // The sample of the body committed last; Length -1 until a commit.
    const BodySample& committedSample() const { return m_sample; }

private:
    int m_fd = -1;
    bool m_inPlace = false; // the target itself, not a file beside it
    QString m_target;
    QString m_part;         // the hidden file beside an existing target
    QByteArray m_placeholder;
    BodySample m_sample; // what passed, valid (Length >= 0) once committed
    qint64 m_size = 0;
    double m_sizeLimit = 0;
};
