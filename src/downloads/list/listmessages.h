#pragma once

// Texts the list commands show, shared by the commands that show them.
namespace listmessages {

inline constexpr char16_t kStopDownloadsFirst[] = u"停止下载以后，才能执行此操作！";
inline constexpr char16_t kStopBeforeSetting[] = u"停止下载后方可设置！";
inline constexpr char16_t kStopBeforeSorting[] = u"停止下载后方可排序！";
inline constexpr char16_t kTaskFileMissing[] = u"该文件不存在！";
inline constexpr char16_t kFileMissing[] = u"文件不存在！";
inline constexpr char16_t kFolderMissing[] = u"文件夹不存在！";
inline constexpr char16_t kOpenFailed[] = u"打开失败！";
inline constexpr char16_t kTooLargeForEditor[] = u"该文件太大，超过了2M，不便于用记事本打开！";
inline constexpr char16_t kConfirmClearAll[] = u"您确定要清空列表的所有信息吗？";
inline constexpr char16_t kAskNumber[] = u"请输入数字：";
inline constexpr char16_t kShuffled[] = u"随机排序完成！";
inline constexpr char16_t kNothingToCite[] = u"列表中没有来自检索结果的任务，没有可导出的引文。";

} // namespace listmessages
