#pragma once

#include "ui/browser/browserpage.h"
#include "ui/browser/browserprofile.h"
#include "ui/browser/websearchbrowser.h"

#include "search/domsnapshot.h"

#include <QByteArray>
#include <QString>
#include <QUrl>

#include <functional>

// The profile every test of this executable shares: one engine start-up per
// process. main() deletes it before the application object goes.
BrowserProfile& SharedProfile();
void DeleteSharedProfile();

// Runs the event loop until the predicate holds or the time is up. Unlike
// QTest::qWaitFor it never sleeps: the engine's own tasks run on this thread,
// and a sleep between turns slows every page load many times over.
bool WaitUntil(const std::function<bool()>& predicate, int timeoutMs = 20000);

// Loads an address and waits for its document to complete.
bool LoadAndWait(BrowserPage& page, const QUrl& url, int timeoutMs = 20000);
// Waits for WebSearchBrowser::readPage's answer.
DomSnapshot ReadNow(WebSearchBrowser& browser);
// Waits for clickElement's answer.
bool ClickNow(WebSearchBrowser& browser, int index, const QString& tag);
// Runs a script in the page's own world (as the page's scripts would) and waits.
QVariant RunInPage(BrowserPage& page, const QString& script);

QByteArray Fixture(const QString& relativePath);
