#pragma once

#include <QString>
#include <QStringList>

class AppSettings;
class UserPrompts;
struct ProgramValues;

// What the save folder dialog shows when it opens.
struct SaveFolderForm {
    QStringList History;     // the drop-down list
    QString Folder;          // the box's text
    bool NameByOriginalFile; // "原文件名" selected
    bool NameByPattern;      // "自定义：" selected
    QString NamePattern;     // its box's text
};

// The save folder dialog's logic. Its results are the program-wide
// SaveFolder, SaveFolderCancelled and the naming choice (NameByOriginalFile,
// NameByPattern and NamePattern).
class SaveFolderController final {
public:
    SaveFolderController(ProgramValues& values, AppSettings& settings, UserPrompts& prompts, QString historyFile);

    SaveFolderForm Load();

    // "..." (Command1): the folder picked, or the box's text when the picker is cancelled.
    QString PickFolder(const QString& folderText);

    // "确定" (Command2): true when the folder exists (created if need be) and the results
    // are set; false after "文件夹设置错误！" (or, with "自定义：", after a
    // message about an empty pattern), with nothing changed. A chosen pattern
    // is stored for the next run.
    bool Confirm(const QString& folderText, bool nameByOriginalFile, bool nameByPattern = false,
                        const QString& pattern = {});

    // "取消" (Command3).
    void Cancel();

private:
    ProgramValues& m_values;
    AppSettings& m_settings;
    UserPrompts& m_prompts;
    QString m_historyFile;
    QStringList m_history;
};
