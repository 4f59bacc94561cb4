#pragma once

#include "domsnapshot.h"

#include <QObject>

#include <functional>

// The search window's browser, as the extraction workflow uses it. Reading the
// page and clicking are asynchronous in a real browser, so both answer through
// a callback (which may run before the call returns).
class SearchBrowser : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;

    // The loaded page; an empty snapshot when there is none or it cannot be read.
    virtual void readPage(std::function<void(const DomSnapshot&)> onRead) = 0;
    // Clicks the element at snapshot index k if its tag is still the expected
    // one; the callback says whether the click happened.
    virtual void clickElement(int index, const QString& expectedTag, std::function<void(bool)> onDone) = 0;
    // A load is in progress.
    virtual bool isBusy() const = 0;

signals:
    // The top-level document finished loading.
    void documentComplete();
};

// The save folder dialog, shown modally. Afterwards ProgramValues holds its
// results (SaveFolder, SaveFolderCancelled, NameByOriginalFile).
class SaveFolderPrompt {
public:
    virtual ~SaveFolderPrompt() = default;
    virtual void showSaveFolderDialog() = 0;
};
