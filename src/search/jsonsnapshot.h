#pragma once

#include "domsnapshot.h"

#include <QByteArray>

#include <optional>

// Builds a snapshot from the JSON the browser returns for the loaded page
// (the format is in domsnapshot.schema.json, resource
// ":/search/domsnapshot.schema.json"). nullopt when the text is not such a
// snapshot: no partial page is ever taken for a whole one.
std::optional<DomSnapshot> SnapshotFromJson(const QByteArray& json);

// The schema text, for the browser side and for tests.
QByteArray SnapshotJsonSchema();
