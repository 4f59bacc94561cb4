#pragma once

#include <functional>

class QAbstractItemModel;
class QObject;

// Calls show with the model's row count at once and after every change of its
// rows (inserted, removed, reset, laid out anew), for as long as context
// lives: a count shown beside a list follows the list, whoever changes it.
void FollowRowCount(const QAbstractItemModel& model, const QObject* context, std::function<void(int)> show);
