#pragma once

#include <QHBoxLayout>
#include <QString>
#include <QWidget>

#include <initializer_list>

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

// A dialog's buttons, together at the right of a row below its controls.
inline QHBoxLayout* ButtonRow(std::initializer_list<QWidget*> buttons)
{
    auto* row = new QHBoxLayout;
    row->addStretch();
    for (QWidget* button : buttons)
        row->addWidget(button);
    return row;
}
