#include "copyfilescontroller.h"

#include "dialogmessages.h"

#include "core/appsettings.h"
#include "core/filecopy.h"
#include "core/pathfunctions.h"
#include "core/userprompts.h"
#include "downloads/list/folderhistory.h"
#include "ui/platform/browseforfolder.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

using namespace dialogmessages;

namespace {

// History entries are compared as folders: letter case and a closing separator aside.
QString folderKey(QString folder)
{
    folder = folder.trimmed();
    while (folder.size() > 1 && (folder.endsWith(u'/') || folder.endsWith(u'\\')))
        folder.chop(1);
    return folder.toLower();
}

} // namespace

QString ProposedCopyDestination(const QString& saveFolder, const QString& homeFolder)
{
    const QString folder = !saveFolder.trimmed().isEmpty() && QFileInfo(saveFolder.trimmed()).isDir()
                             ? saveFolder.trimmed()
                             : homeFolder;
    return WithTrailingSeparator(folder);
}

CopyFilesController::CopyFilesController(AppSettings& settings, UserPrompts& prompts, QString historyFile,
                                         QObject* parent)
    : QObject(parent)
    , m_settings(settings)
    , m_prompts(prompts)
    , m_queued(prompts)
    , m_historyFile(std::move(historyFile))
{
    connect(&m_run, &CopyRun::finished, this, &CopyFilesController::runFinished);
}

CopyFilesForm CopyFilesController::Load()
{
    m_history.clear();
    LoadFolderHistory(m_history, m_historyFile);
    m_policy = m_settings.copyOptionIndex();
    QString destination = m_settings.copyDestinationFolder();
    if (destination.trimmed().isEmpty())
        destination = ProposedCopyDestination(m_settings.saveFolder(), QDir::homePath());
    return {m_history, destination, m_policy};
}

void CopyFilesController::ChoosePolicy(int index)
{
    if (index >= 1 && index <= 5)
        m_policy = index;
}

QString CopyFilesController::PickDestination(const QString& folderText)
{
    return BrowseForFolder(m_prompts, folderText, QString::fromUtf16(kBrowseTitle));
}

QString CopyFilesController::执行(const QString& boxText, bool report)
{
    // "停止" acts at once, whatever the box says by now.
    if (m_run.running()) {
        m_run.stop();
        emit runningChanged(false);
        return boxText;
    }

    const QString typed = boxText.trimmed();
    // A relative folder would land wherever the program happened to start.
    const QString folder = QDir::isAbsolutePath(typed) ? EnsureFolder(typed, m_prompts) : QString();
    if (folder.isEmpty()) {
        m_prompts.showMessage(QString::fromUtf16(kCreateFolderFailed), MessageIcon::Error);
        return boxText;
    }
    const QString destination = WithTrailingSeparator(folder);
    m_settings.setCopyDestinationFolder(destination);
    m_settings.setCopyOptionIndex(m_policy);

    const QString key = folderKey(destination);
    if (std::none_of(m_history.cbegin(), m_history.cend(), [&key](const QString& e) { return folderKey(e) == key; })) {
        m_history.append(destination.trimmed());
        emit historyChanged(m_history);
    }
    SaveFolderHistory(m_history, m_historyFile);

    SourceFiles.removeIf([](const CopySource& source) { return CopySourceLength(source) < 0; });
    if (SourceFiles.isEmpty())
        return destination;

    m_report = report;
    m_run.start(SourceFiles, destination, static_cast<ExistingFilePolicy>(m_policy));
    emit runningChanged(true);
    return destination;
}

void CopyFilesController::stopBeforeClose()
{
    m_report = false;
    m_run.stop();
    SourceFiles.clear();
}

void CopyFilesController::runFinished()
{
    emit runningChanged(false);
    if (m_report)
        m_queued.showMessage(QString::fromUtf16(kCopyDone), MessageIcon::Information);
    m_report = false;
}
