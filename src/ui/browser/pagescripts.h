#pragma once

#include <QString>
#include <QUrl>

// The scripts the program runs in its pages (resources ":/browser/*.js"), all
// meant for QWebEngineScript::ApplicationWorld.

// Returns the loaded document as snapshot JSON text (domsnapshot.schema.json).
QString SnapshotScript();

enum class ElementAction { Click, SetValue };

// Clicks, or sets the value of, the element at snapshot index `index` if its
// tag is still `expectedTag`; the script's result is true when it acted.
QString ElementActionScript(int index, const QString& expectedTag, ElementAction action, const QString& value = {});

// Goes from the page on view to the address, the page's address sent as Referer.
QString FollowAddressScript(const QUrl& address);
