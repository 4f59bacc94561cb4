#pragma once

#include "domsnapshot.h"

#include <QObject>
#include <QUrl>

#include <functional>

// The download window's sign-in browser, as the login sequence drives it.
// Reading and acting on the page are asynchronous in a real browser, so they
// answer through a callback (which may run before the call returns, and runs
// exactly once).
class LoginBrowser : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;

    virtual void navigate(const QUrl& url) = 0;
    // Loads the shown page again.
    virtual void refresh() = 0;
    // A top-level load is in progress.
    virtual bool isBusy() const = 0;
    // The loaded page; an empty snapshot when there is none or it cannot be read.
    virtual void readPage(std::function<void(const DomSnapshot&)> onRead) = 0;
    // Act on the element at a snapshot index if its tag is still the expected one.
    virtual void clickElement(int index, const QString& expectedTag, std::function<void(bool)> onDone) = 0;
    virtual void setElementValue(int index, const QString& expectedTag, const QString& value,
                                 std::function<void(bool)> onDone) = 0;

signals:
    // The top-level document finished loading.
    void documentComplete();
    void busyChanged(bool busy);
};
