#include "downloadwindowcontroller.h"

#include "downloadscontroller.h"

#include "core/appsettings.h"
#include "core/programvalues.h"
#include "core/userprompts.h"

DownloadWindowController::DownloadWindowController(DownloadsController& engine, ProgramValues& values,
                                                   AppSettings& settings, UserPrompts& prompts)
    : m_engine(engine)
    , m_values(values)
    , m_settings(settings)
    , m_prompts(prompts)
{
}

DownloadWindowStart DownloadWindowController::load()
{
    DownloadScheduler& scheduler = m_engine.scheduler();
    m_values.loadFrom(m_settings);
    DownloadWindowStart start;
    start.Method = scheduler.DownloadMethod();
    start.ThreadCountEnabled = scheduler.threadCountEnabled();
    start.ThreadPosition = start.ThreadCountEnabled ? m_settings.threadPosition() : -1;
    scheduler.switches().ThreadCount = start.ThreadPosition + 1 > 0 ? start.ThreadPosition + 1 : 1;
    start.Policy = DuplicatePolicyFromCaption(m_settings.duplicatePolicy());
    scheduler.switches().Policy = start.Policy;
    scheduler.setLastFinishTime(m_engine.now());
    scheduler.startHousekeeping();
    return start;
}

bool DownloadWindowController::workGoingOn() const
{
    const DownloadScheduler& scheduler = m_engine.scheduler();
    for (int slot = 1; slot <= DownloadScheduler::kMaxSlots; ++slot) {
        if (scheduler.slotLoaded(slot))
            return true;
    }
    return !m_engine.list().AllTasksSettled() || scheduler.SchedulerEnabled();
}

bool DownloadWindowController::close()
{
    DownloadScheduler& scheduler = m_engine.scheduler();
    m_settings.setDuplicatePolicy(DuplicatePolicyCaption(scheduler.switches().Policy));
    m_settings.setDownloadMethod(scheduler.DownloadMethod());
    if (workGoingOn()
        && !m_prompts.askYesNo(QString::fromUtf16(kCloseWhileDownloading), MessageIcon::Question))
        return false;
    scheduler.stopHousekeeping();
    scheduler.StopDownloads();
    // The single-transfer method shows "1" without choosing an entry: the
    // parallel method's stored count stays for the next time it is used.
    if (scheduler.threadCountEnabled())
        m_settings.setThreadPosition(scheduler.switches().ThreadCount - 1);
    return true;
}

ListMenuStates DownloadWindowController::listMenuStates() const
{
    const DownloadScheduler& scheduler = m_engine.scheduler();
    const bool running = scheduler.TransferBusy() || scheduler.SchedulerEnabled();
    return ListMenuStates{!running, !running, running, !running};
}
