#pragma once

#include <QByteArray>
#include <QString>

#include <functional>

class UserPrompts;

// Which kept list a file holds.
struct ListFileKind {
    QByteArray Tag;       // four letters in the file's envelope
    quint32 NewestFormat; // the newest layout of the contents this program reads
    QString Name;         // how messages name the list: "下载列表"
};

// Reads the file at path and hands its contents to decode, which fills the
// list or returns false for contents it cannot use. A missing file is a first
// start. A file that cannot be used (unreadable, damaged, cut short, from a
// newer program, or refused by decode) is set aside under a new name and the
// user is told once; the list then starts empty. Returns whether the list may
// be saved to path from now on: false only when such a file could not be
// moved out of the way, so that saving would destroy it.
bool RestoreListFile(const QString& path, const ListFileKind& kind,
                     const std::function<bool(const QByteArray& contents, quint32 format)>& decode,
                     UserPrompts& prompts);
