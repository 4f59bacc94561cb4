#include "taskiconsproxy.h"

#include "taskstateicons.h"

QVariant TaskIconsProxy::data(const QModelIndex& index, int role) const
{
    const QVariant value = QIdentityProxyModel::data(index, role);
    if (role != Qt::DecorationRole || !value.isValid())
        return value;
    return TaskStateIcon(value.toInt());
}
