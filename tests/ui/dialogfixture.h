#pragma once

#include "support/recordingprompts.h"
#include "support/tempfolder.h"

#include "core/appsettings.h"
#include "core/memorysettingsstorage.h"
#include "core/programvalues.h"

#include <QAbstractButton>
#include <QWidget>

#include <gtest/gtest.h>

// The program-wide values, an in-memory store and the recording prompts a
// dialog works with, in a scratch folder.
struct DialogFixture {
    DialogFixture() : settings(storage, temp.path()) {}

    QString stored(const QString& key) const { return storage.read(QStringLiteral("设置"), key).value_or(QStringLiteral("<unset>")); }

    TempFolder temp;
    MemorySettingsStorage storage;
    AppSettings settings;
    ProgramValues values;
    RecordingPrompts prompts;
};

template <typename Control>
Control* control(QWidget& dialog, const QString& name)
{
    auto* found = dialog.findChild<Control*>(name);
    if (found == nullptr)
        ADD_FAILURE() << "no control " << name.toStdString();
    return found;
}

inline void click(QWidget& dialog, const QString& name)
{
    if (auto* button = control<QAbstractButton>(dialog, name))
        button->click();
}
