#pragma once

#include "core/shell.h"

#include <QStringList>

// Records what the logic asked of the desktop; answers with `accepts`.
class RecordingShell final : public Shell {
public:
    bool openFile(const QString& filePath) override { return record(u"openFile", filePath); }
    bool openAddress(const QString& address) override { return record(u"openAddress", address); }
    bool openFolder(const QString& folderPath) override { return record(u"openFolder", folderPath); }
    bool showInFolder(const QString& filePath) override { return record(u"showInFolder", filePath); }
    bool startTextEditor(const QString& filePath) override { return record(u"startTextEditor", filePath); }
    void setClipboardText(const QString& text) override { clipboard = text; }

    bool accepts = true;
    QStringList calls; // "openFile <path>", ...
    QString clipboard;

private:
    bool record(QStringView what, const QString& argument)
    {
        calls.append(what.toString() + u' ' + argument);
        return accepts;
    }
};
