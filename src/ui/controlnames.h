#pragma once

#include <QString>
#include <QWidget>

// A control under its given name, as member and objectName, so that tests and
// other windows find it with findChild.
template <typename Control, typename... Args>
Control* NamedControl(const QString& name, Args&&... args)
{
    auto* control = new Control(std::forward<Args>(args)...);
    control->setObjectName(name);
    return control;
}

// A hint shown in grey.
inline void MakeGrey(QWidget* widget)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, Qt::gray);
    widget->setPalette(palette);
}
