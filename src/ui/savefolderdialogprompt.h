#pragma once

#include "search/searchbrowser.h"

#include <QPointer>
#include <QString>
#include <QWidget>

class AppSettings;
class UserPrompts;
struct ProgramValues;

// The search workflow's save folder question, answered by the save folder dialog.
class SaveFolderDialogPrompt final : public SaveFolderPrompt {
public:
    SaveFolderDialogPrompt(ProgramValues& values, AppSettings& settings, UserPrompts& prompts, QString historyFile,
                           QWidget* owner = nullptr);

    void showSaveFolderDialog() override;

private:
    ProgramValues& m_values;
    AppSettings& m_settings;
    UserPrompts& m_prompts;
    QString m_historyFile;
    QPointer<QWidget> m_owner;
};
