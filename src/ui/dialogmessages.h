#pragma once

// Texts the dialogs show, shared by the controllers and their tests.
namespace dialogmessages {

inline constexpr char16_t kProxyFormatWrong[] = u"代理服务器网址或者端口格式不对！";
inline constexpr char16_t kSizeNotPositive[] = u"文件大小必须是大于0的数字！";
inline constexpr char16_t kPaceNotWhole[] = u"同一网站两次开始的间隔必须是0到3600之间的整数（秒）！";
inline constexpr char16_t kHourlyCapNotWhole[] = u"每小时最多下载篇数必须是0到100000之间的整数（0为不限）！";
inline constexpr char16_t kFolderSettingWrong[] = u"文件夹设置错误！";
inline constexpr char16_t kEmptyNamePattern[] = u"请输入自定义文件名的格式，例如 {year} {author} {title}";
inline constexpr char16_t kEnterText[] = u"请输入字符串！";
inline constexpr char16_t kAllReplaced[] = u"全部网址替换完成！";
inline constexpr char16_t kBrowseTitle[] = u"请选择要浏览的文件夹:";
inline constexpr char16_t kCreateFolderFailed[] = u"创建文件夹出错！";
inline constexpr char16_t kCopyDone[] = u"复制文件完成！";
inline constexpr char16_t kCacheCleared[] = u"IE缓存清空完毕！";

} // namespace dialogmessages
