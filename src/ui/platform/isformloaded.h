#pragma once

#include <QString>

class QWidget;

// The loaded window (a top-level widget, shown or hidden) whose objectName is
// the name, letter case ignored; nullptr when none is.
QWidget* FindLoadedForm(const QString& name);

bool IsFormLoaded(const QString& name);
