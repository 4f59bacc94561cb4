#include "downloadscontroller.h"

#include "downloads/list/downloadlistfile.h"

#include "core/listsaver.h"
#include "core/programvalues.h"

using namespace Qt::Literals::StringLiterals;

DownloadsController::DownloadsController(ProgramValues& values, UserPrompts& prompts, Shell& shell,
                                         SoundPlayer& sounds, DownloadsSetup setup, QObject* parent)
    : QObject(parent)
    , m_values(values)
    , m_clock(setup.Clock)
    , m_queuedPrompts(prompts)
    , m_context{&m_layer, setup.CookieJar != nullptr ? setup.CookieJar : &m_ownJar, setup.UserAgent}
    , m_parallel(m_context, setup.Clock, m_values)
    , m_single(m_context, m_values, setup.Clock, setup.InetTiming)
    , m_model(m_list)
    , m_scheduler(m_model, m_values, m_parallel, sounds, m_queuedPrompts, setup.Clock)
    , m_commands(m_model, m_scheduler, prompts, shell)
    , m_ordering(m_model, m_scheduler, prompts)
{
    m_scheduler.setSingleTransferFactory(&m_single);
}

// The members go in reverse order: the scheduler cancels its transfers
// before the HTTP layer they use is gone.
DownloadsController::~DownloadsController() = default;

void DownloadsController::applyOptions(const ProgramValues& values)
{
    const int previousMethod = m_values.DownloadMethod;
    m_values = values;
    m_scheduler.optionsChanged(previousMethod);
}

bool DownloadsController::keepListIn(const QString& path)
{
    // Queued: the engine may be built inside a handler, and a damaged file
    // is told after it.
    if (!downloadlistfile::Restore(path, m_model, m_queuedPrompts))
        return false;
    m_listSaver = std::make_unique<ListSaver>(
        m_model, [this, path](QString* error) { return downloadlistfile::Save(path, m_list, error); },
        m_queuedPrompts, u"下载列表"_s);
    return true;
}

void DownloadsController::saveListNow()
{
    if (m_listSaver)
        m_listSaver->flush();
}
