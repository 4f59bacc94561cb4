#pragma once

#include "transfer.h"

#include "core/leftoverfiles.h"

#include <QByteArray>
#include <QString>

// A body on its way to disk. It goes into a hidden file of its own beside the
// target and takes the target's name only when it is whole, by one rename:
// nothing under a paper's name is ever less than the paper, not while it
// streams, not after a failure, not after the program was killed.
// - An existing target (an overwrite) is replaced by the whole body only, so
//   a failed or cancelled transfer never damages it.
// - A new target is made only if the name is still free when the body is
//   whole: a file some other program put there meanwhile is never written
//   over.
// While open, the hidden file is locked, so a sweep of what a killed run left
// (core/leftoverfiles.h) never takes a body that is still on its way.
// Writes go straight to the file descriptor: the caller's buffer is the only
// copy in user space.
class PartFile final {
public:
    PartFile() = default;
    ~PartFile() { discard(); }
    PartFile(const PartFile&) = delete;
    PartFile& operator=(const PartFile&) = delete;

    // Makes the hidden file for targetPath; false when it cannot be made.
    bool open(const QString& targetPath);
    bool isOpen() const { return m_fd >= 0; }
    bool write(const char* data, qint64 size);
    qint64 size() const { return m_size; }
    // The first bytes written so far (up to 10240): enough to tell a page.
    QByteArrayView head() const { return m_sample.Head; }
    // Drops what was written and starts the body again.
    bool rewind();

    // A body without an announced size is held to this many bytes while it
    // streams; <= 0: no limit. The transfer ends one that grew past it.
    void setSizeLimitBytes(double bytes) { m_sizeLimit = bytes; }
    bool overLimit() const { return m_sizeLimit > 0 && static_cast<double>(m_size) > m_sizeLimit; }

    // Puts the body in place under the target's name; false when that failed
    // (the target is then as it was before open()).
    bool commit();
    void discard();
    // The sample of the body committed last; Length -1 until a commit.
    const BodySample& committedSample() const { return m_sample; }

private:
    int m_fd = -1;
    bool m_replaces = false; // the target existed at open(): the body replaces it
    QString m_target;
    QString m_part;
    BodySample m_sample; // what passed, valid (Length >= 0) once committed
    qint64 m_size = 0;
    double m_sizeLimit = 0;
};

// Puts a finished file in place under target's name by one rename. With
// replace, whatever is there goes; without, a name taken meanwhile is left
// alone and false returned. The source is gone either way.
bool MovePartIntoPlace(const QString& part, const QString& target, bool replace);
