#include "listsaver.h"

#include "userprompts.h"

#include <QAbstractItemModel>

using namespace Qt::Literals::StringLiterals;

ListSaver::ListSaver(QAbstractItemModel& model, SaveFunction save, UserPrompts& prompts, QString listName,
                     int intervalMs, QObject* parent)
    : QObject(parent)
    , m_save(std::move(save))
    , m_prompts(prompts)
    , m_listName(std::move(listName))
{
    m_timer.setSingleShot(true);
    m_timer.setInterval(intervalMs);
    connect(&m_timer, &QTimer::timeout, this, [this] { this->save(true); });
    connect(&model, &QAbstractItemModel::rowsInserted, this, &ListSaver::changed);
    connect(&model, &QAbstractItemModel::rowsRemoved, this, &ListSaver::changed);
    connect(&model, &QAbstractItemModel::rowsMoved, this, &ListSaver::changed);
    connect(&model, &QAbstractItemModel::dataChanged, this, &ListSaver::changed);
    connect(&model, &QAbstractItemModel::modelReset, this, &ListSaver::changed);
    connect(&model, &QAbstractItemModel::layoutChanged, this, &ListSaver::changed);
}

ListSaver::~ListSaver()
{
    flush();
}

void ListSaver::changed()
{
    m_unsaved = true;
    // Started by the first change only: later ones in the same interval ride along.
    if (!m_timer.isActive())
        m_timer.start();
}

void ListSaver::flush()
{
    m_timer.stop();
    if (m_unsaved)
        save(false);
}

void ListSaver::save(bool fromTimer)
{
    QString error;
    if (m_save(&error)) {
        m_unsaved = false;
        m_failureTold = false;
        return;
    }
    // Still unsaved: the next change or the close tries again.
    if (!m_failureTold) {
        m_failureTold = true;
        report(error, fromTimer);
    }
}

void ListSaver::report(const QString& error, bool deferred)
{
    const QString text = u"无法保存%1：%2\n列表仍在窗口中，之后的改动会再次尝试保存。"_s.arg(m_listName, error);
    if (!deferred) {
        m_prompts.showMessage(text, MessageIcon::Warning);
        return;
    }
    // A message box runs an event loop of its own; shown from inside the
    // timer it would run everything else that is due inside this handler.
    QMetaObject::invokeMethod(this, [this, text] { m_prompts.showMessage(text, MessageIcon::Warning); },
                              Qt::QueuedConnection);
}
