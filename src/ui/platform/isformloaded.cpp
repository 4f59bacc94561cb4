#include "isformloaded.h"

#include <QApplication>
#include <QWidget>

QWidget* FindLoadedForm(const QString& name)
{
    if (name.isEmpty())
        return nullptr;
    const QList<QWidget*> windows = QApplication::topLevelWidgets();
    for (QWidget* window : windows) {
        if (window->objectName().compare(name, Qt::CaseInsensitive) == 0)
            return window;
    }
    return nullptr;
}

bool IsFormLoaded(const QString& name)
{
    return FindLoadedForm(name) != nullptr;
}
