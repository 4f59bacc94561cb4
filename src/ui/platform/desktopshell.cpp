#include "desktopshell.h"

#include "editorcommand.h"

#include <QClipboard>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDesktopServices>
#include <QFileInfo>
#include <QGuiApplication>
#include <QProcess>
#include <QUrl>

using namespace Qt::Literals::StringLiterals;

DesktopShell::DesktopShell(QProcessEnvironment environment)
    : m_environment(std::move(environment))
{
}

bool DesktopShell::openFile(const QString& filePath)
{
    if (QDesktopServices::openUrl(QUrl::fromLocalFile(filePath)))
        return true;
    // Without a desktop portal Qt may find no handler where xdg-open still does.
    return QProcess::startDetached(u"xdg-open"_s, {filePath});
}

bool DesktopShell::openAddress(const QString& address)
{
    return QDesktopServices::openUrl(QUrl(address));
}

bool DesktopShell::openFolder(const QString& folderPath)
{
    return QDesktopServices::openUrl(QUrl::fromLocalFile(folderPath));
}

bool DesktopShell::showInFolder(const QString& filePath)
{
    const QString folder = QFileInfo(filePath).absolutePath();
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return openFolder(folder);

    QDBusMessage call
        = QDBusMessage::createMethodCall(u"org.freedesktop.FileManager1"_s, u"/org/freedesktop/FileManager1"_s,
                                         u"org.freedesktop.FileManager1"_s, u"ShowItems"_s);
    call << QStringList{QUrl::fromLocalFile(QFileInfo(filePath).absoluteFilePath()).toString()} << QString();
    // Asynchronous, so that a file manager that is slow to start never blocks
    // the window; when none answers, the folder itself is opened instead.
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call, 5000));
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, watcher, [folder](QDBusPendingCallWatcher* w) {
        // The shell object may be gone by the time the answer arrives.
        if (w->isError())
            QDesktopServices::openUrl(QUrl::fromLocalFile(folder));
        w->deleteLater();
    });
    return true;
}

bool DesktopShell::startTextEditor(const QString& filePath)
{
    const QStringList command
        = EditorCommandLine(m_environment.value(u"VISUAL"_s), m_environment.value(u"EDITOR"_s), filePath);
    if (!command.isEmpty() && QProcess::startDetached(command.front(), command.mid(1)))
        return true;
    return openFile(filePath);
}

void DesktopShell::setClipboardText(const QString& text)
{
    if (QClipboard* clipboard = QGuiApplication::clipboard())
        clipboard->setText(text);
}
