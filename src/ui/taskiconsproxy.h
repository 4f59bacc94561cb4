#pragma once

#include <QIdentityProxyModel>

// The download list as the view shows it: the same rows and columns, with
// the task state's picture in place of its number. The table model below it
// knows nothing of pictures, so it needs no Gui.
class TaskIconsProxy final : public QIdentityProxyModel {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TaskIconsProxy)

public:
    using QIdentityProxyModel::QIdentityProxyModel;

    QVariant data(const QModelIndex& index, int role) const override;
};
