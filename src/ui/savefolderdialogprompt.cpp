#include "savefolderdialogprompt.h"

#include "fselefilesavepath.h"

SaveFolderDialogPrompt::SaveFolderDialogPrompt(ProgramValues& values, AppSettings& settings, UserPrompts& prompts,
                                               QString historyFile, QWidget* owner)
    : m_values(values)
    , m_settings(settings)
    , m_prompts(prompts)
    , m_historyFile(std::move(historyFile))
    , m_owner(owner)
{
}

void SaveFolderDialogPrompt::showSaveFolderDialog()
{
    fSeleFileSavePath dialog(m_values, m_settings, m_prompts, m_historyFile, m_owner);
    dialog.exec();
}
