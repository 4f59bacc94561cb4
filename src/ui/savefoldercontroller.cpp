#include "savefoldercontroller.h"

#include "dialogmessages.h"

#include "core/appsettings.h"
#include "core/pathfunctions.h"
#include "core/programvalues.h"
#include "core/userprompts.h"
#include "downloads/list/folderhistory.h"
#include "ui/platform/browseforfolder.h"

#include <QDir>

using namespace dialogmessages;

SaveFolderController::SaveFolderController(ProgramValues& values, AppSettings& settings, UserPrompts& prompts,
                                           QString historyFile)
    : m_values(values)
    , m_settings(settings)
    , m_prompts(prompts)
    , m_historyFile(std::move(historyFile))
{
}

SaveFolderForm SaveFolderController::Load()
{
    m_history.clear();
    LoadFolderHistory(m_history, m_historyFile);
    m_values.SaveFolder = m_settings.saveFolder();
    m_values.NamePattern = m_settings.namePattern();
    return {m_history, m_values.SaveFolder, m_values.NameByOriginalFile, m_values.NameByPattern,
            m_values.NamePattern};
}

QString SaveFolderController::PickFolder(const QString& folderText)
{
    return BrowseForFolder(m_prompts, folderText, QString::fromUtf16(kBrowseTitle));
}

bool SaveFolderController::Confirm(const QString& folderText, bool nameByOriginalFile, bool nameByPattern,
                                          const QString& pattern)
{
    // An empty pattern would name every file after its address without saying so.
    if (nameByPattern && pattern.trimmed().isEmpty()) {
        m_prompts.showMessage(QString::fromUtf16(kEmptyNamePattern), MessageIcon::Error);
        return false;
    }
    const QString typed = folderText.trimmed();
    // A relative folder would land wherever the program happened to start.
    const QString folder
        = QDir::isAbsolutePath(typed) ? EnsureFolder(WithTrailingSeparator(typed), m_prompts) : QString();
    if (folder.isEmpty()) {
        m_prompts.showMessage(QString::fromUtf16(kFolderSettingWrong), MessageIcon::Error);
        return false;
    }

    // Set only now, so that a refused folder followed by the close box leaves
    // the naming choice as it was before the dialog opened.
    m_values.NameByOriginalFile = nameByOriginalFile && !nameByPattern;
    m_values.NameByPattern = nameByPattern;
    if (nameByPattern) {
        m_values.NamePattern = pattern.trimmed();
        m_settings.setNamePattern(m_values.NamePattern);
    }
    m_values.SaveFolder = WithTrailingSeparator(folder);
    m_settings.setSaveFolder(m_values.SaveFolder);
    m_values.SaveFolderCancelled = false;
    // Appended even when listed: loading keeps each folder once.
    m_history.append(folder.trimmed());
    SaveFolderHistory(m_history, m_historyFile);
    return true;
}

void SaveFolderController::Cancel()
{
    m_values.SaveFolderCancelled = true;
}
