#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

// A scratch folder for one test, removed afterwards.
class TempFolder final {
public:
    TempFolder();

    QString path() const { return m_dir.path(); }
    // path() + "/" + relative
    QString filePath(const QString& relative) const;
    // Creates the file (and its folders) with the given content; returns its path.
    QString writeFile(const QString& relative, const QByteArray& content = {}) const;
    QString makeFolder(const QString& relative) const;

private:
    QTemporaryDir m_dir;
};
