#include "followrowcount.h"

#include <QAbstractItemModel>

void FollowRowCount(const QAbstractItemModel& model, const QObject* context, std::function<void(int)> show)
{
    const auto update = [&model, show = std::move(show)] { show(model.rowCount()); };
    QObject::connect(&model, &QAbstractItemModel::rowsInserted, context, update);
    QObject::connect(&model, &QAbstractItemModel::rowsRemoved, context, update);
    QObject::connect(&model, &QAbstractItemModel::modelReset, context, update);
    QObject::connect(&model, &QAbstractItemModel::layoutChanged, context, update);
    update();
}
