#pragma once

#include <QString>

// How a task's last attempt ended, beside the texts the list shows for it.
enum class TaskOutcome {
    None,          // not started since it was queued, or still running
    Completed,     // the whole file arrived
    TooLarge,      // over the size limit: skipped, counts as completed
    AlreadyThere,  // its file exists under the policy "跳过"
    CannotReplace, // an existing file at the target could not be removed
    Cancelled,     // stopped by the user while its body arrived
    Failed,        // nothing usable arrived, or the body was cut short
    BotCheck,      // the site's bot check answered and no browser got past it
    // The host asked to slow down (429, 503) a third time for the task, or
    // for a wait over an hour. Not a bad result: the site is busy, not the task.
    SlowDownRepeated,
    SlowDownTooLong,
    Refused,       // a 403 that is neither the bot check nor a sign-in page
    // Back in the queue until its host's wait is over; Progress counts down,
    // or says that the run waits for the user's answer to the question about
    // many files from its host. The wait lasts the run: a stored list reads
    // such a task as untouched.
    WaitingForHost,
};

// The last outcome, for readers of stored lists: new outcomes go after it.
inline constexpr TaskOutcome kLastTaskOutcome = TaskOutcome::WaitingForHost;

// The texts the list shows in place of numbers. Every outcome text the
// program writes into a task is spelt here and nowhere else.
namespace outcometexts {

inline constexpr char16_t kTooLarge[] = u"大文件，跳过";
inline constexpr char16_t kAlreadyThere[] = u"已存在，跳过";
inline constexpr char16_t kCannotReplace[] = u"无法替换";
inline constexpr char16_t kCancelled[] = u"下载取消";
inline constexpr char16_t kBotCheck[] = u"网页验证未通过";
inline constexpr char16_t kSlowDownRepeated[] = u"网站多次要求放慢";
inline constexpr char16_t kSlowDownTooLong[] = u"网站要求等待超过1小时";
inline constexpr char16_t kRefused[] = u"网站拒绝访问";
inline constexpr char16_t kSizeUnknown[] = u"未知";         // Size while a body without length arrives
inline constexpr char16_t kWaitingAgain[] = u"等待重新下载"; // Size of a task sent back to the queue
inline constexpr char16_t kMarkedMissing[] = u"不存在";     // Progress of a task whose file is gone
// Progress of a task whose host is held until the user answers whether to go
// on with many files from it.
inline constexpr char16_t kWaitingForAnswer[] = u"等待您的回答";

} // namespace outcometexts

// Progress of a task whose host asked it to wait: "等待 12 秒" (whole
// seconds, rounded up).
QString HostWaitText(double seconds);

// The Progress text an outcome shows instead of a percentage; empty for the
// outcomes that keep their numbers.
QString OutcomeProgressText(TaskOutcome outcome);
