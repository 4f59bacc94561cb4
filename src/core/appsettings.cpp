#include "appsettings.h"

#include "settingsstorage.h"

#include <QDir>

using namespace Qt::Literals::StringLiterals;

namespace {

const QString kGeneral = u"设置"_s;
const QString kDownload = u"下载"_s;
const QString kNaming = u"专利下载"_s;

} // namespace

AppSettings::AppSettings(SettingsStorage& storage, QString programFolder)
    : m_storage(storage)
    , m_programFolder(std::move(programFolder))
{
}

QString AppSettings::GetSetting(const QString& section, const QString& key, const QString& defaultValue) const
{
    return m_storage.read(section, key).value_or(defaultValue);
}

void AppSettings::SaveSetting(const QString& section, const QString& key, const QString& value)
{
    m_storage.write(section, key, value);
}

int AppSettings::readInt(const QString& section, const QString& key, int defaultValue) const
{
    bool ok = false;
    const int value = GetSetting(section, key, QString::number(defaultValue)).trimmed().toInt(&ok);
    return ok ? value : defaultValue;
}

int AppSettings::downloadMethod() const
{
    const int method = readInt(kGeneral, u"下载方式"_s, 2);
    return (method >= 1 && method <= 3) ? method : 2;
}

void AppSettings::setDownloadMethod(int method)
{
    SaveSetting(kGeneral, u"下载方式"_s, QString::number(method));
}

bool AppSettings::browserFallback() const
{
    return readInt(kGeneral, u"网页验证时浏览器重试"_s, 1) != 0;
}

void AppSettings::setBrowserFallback(bool on)
{
    SaveSetting(kGeneral, u"网页验证时浏览器重试"_s, on ? u"1"_s : u"0"_s);
}

bool AppSettings::citationBesideFile() const
{
    return readInt(kGeneral, u"保存文献引用文件"_s, 0) != 0;
}

void AppSettings::setCitationBesideFile(bool on)
{
    SaveSetting(kGeneral, u"保存文献引用文件"_s, on ? u"1"_s : u"0"_s);
}

int AppSettings::threadPosition() const
{
    const int position = readInt(kDownload, u"线程"_s, 2);
    return (position >= 0 && position <= 5) ? position : 2;
}

void AppSettings::setThreadPosition(int position)
{
    SaveSetting(kDownload, u"线程"_s, QString::number(position));
}

QString AppSettings::duplicatePolicy() const
{
    return GetSetting(kNaming, u"重复文件名设置"_s, u"重命名"_s);
}

void AppSettings::setDuplicatePolicy(const QString& caption)
{
    SaveSetting(kNaming, u"重复文件名设置"_s, caption.trimmed());
}

QString AppSettings::proxyAddress() const
{
    return GetSetting(kGeneral, u"代理服务器网址"_s, QString());
}

void AppSettings::setProxyAddress(const QString& address)
{
    SaveSetting(kGeneral, u"代理服务器网址"_s, address);
}

QString AppSettings::proxyPort() const
{
    return GetSetting(kGeneral, u"代理服务器端口"_s, QString());
}

void AppSettings::setProxyPort(const QString& port)
{
    SaveSetting(kGeneral, u"代理服务器端口"_s, port);
}

bool AppSettings::useProxy() const
{
    return readInt(kGeneral, u"代理服务器有效"_s, 0) != 0;
}

void AppSettings::setUseProxy(bool on)
{
    SaveSetting(kGeneral, u"代理服务器有效"_s, on ? u"1"_s : u"0"_s);
}

int AppSettings::secondsBetweenHostStarts() const
{
    const int seconds = readInt(kGeneral, u"同一网站两次开始的间隔"_s, 1);
    return (seconds >= 0 && seconds <= kMaxSecondsBetweenHostStarts) ? seconds : 1;
}

void AppSettings::setSecondsBetweenHostStarts(int seconds)
{
    SaveSetting(kGeneral, u"同一网站两次开始的间隔"_s, QString::number(seconds));
}

int AppSettings::hostStartsPerHour() const
{
    const int starts = readInt(kGeneral, u"每小时最多下载篇数"_s, 0);
    return (starts >= 0 && starts <= kMaxHostStartsPerHour) ? starts : 0;
}

void AppSettings::setHostStartsPerHour(int starts)
{
    SaveSetting(kGeneral, u"每小时最多下载篇数"_s, QString::number(starts));
}

double AppSettings::maxFileSizeMB() const
{
    bool ok = false;
    const double value = GetSetting(kGeneral, u"文件最大值"_s, u"10"_s).trimmed().toDouble(&ok);
    return ok ? value : 10.0;
}

void AppSettings::setMaxFileSizeMB(double megabytes)
{
    SaveSetting(kGeneral, u"文件最大值"_s, QString::number(megabytes));
}

bool AppSettings::promptSaveFolder() const
{
    return readInt(kGeneral, u"提取网页信息时提示下载保存路径"_s, 1) != 0;
}

void AppSettings::setPromptSaveFolder(bool on)
{
    SaveSetting(kGeneral, u"提取网页信息时提示下载保存路径"_s, on ? u"1"_s : u"0"_s);
}

QString AppSettings::saveFolder() const
{
    // A fixed drive letter means nothing here; the same folder name below home does.
    return GetSetting(kGeneral, u"下载文件保存路径"_s, QDir::homePath() + u"/12345"_s);
}

void AppSettings::setSaveFolder(const QString& folder)
{
    SaveSetting(kGeneral, u"下载文件保存路径"_s, folder);
}

QString AppSettings::namePattern() const
{
    return GetSetting(kNaming, u"自定义文件名"_s, u"{year} {author} {title}"_s);
}

void AppSettings::setNamePattern(const QString& pattern)
{
    SaveSetting(kNaming, u"自定义文件名"_s, pattern);
}

QString AppSettings::lastOpenedFolder() const
{
    return GetSetting(kGeneral, u"最后一次打开的目录"_s, m_programFolder);
}

void AppSettings::setLastOpenedFolder(const QString& folder)
{
    SaveSetting(kGeneral, u"最后一次打开的目录"_s, folder);
}

QString AppSettings::windowResolution(const QString& window) const
{
    return GetSetting(window, u"分辨率"_s, u"000"_s);
}

void AppSettings::setWindowResolution(const QString& window, const QString& text)
{
    SaveSetting(window, u"分辨率"_s, text);
}

int AppSettings::windowTop(const QString& window) const
{
    return readInt(window, u"上"_s, 100);
}

void AppSettings::setWindowTop(const QString& window, int twips)
{
    SaveSetting(window, u"上"_s, QString::number(twips));
}

int AppSettings::windowLeft(const QString& window) const
{
    return readInt(window, u"左"_s, 100);
}

void AppSettings::setWindowLeft(const QString& window, int twips)
{
    SaveSetting(window, u"左"_s, QString::number(twips));
}

int AppSettings::windowWidth(const QString& window) const
{
    return readInt(window, u"宽"_s, 15000);
}

void AppSettings::setWindowWidth(const QString& window, int twips)
{
    SaveSetting(window, u"宽"_s, QString::number(twips));
}

int AppSettings::windowHeight(const QString& window) const
{
    return readInt(window, u"高"_s, 10000);
}

void AppSettings::setWindowHeight(const QString& window, int twips)
{
    SaveSetting(window, u"高"_s, QString::number(twips));
}

QString AppSettings::copyDestinationFolder() const
{
    // Empty when none is stored: the program's own folder is no place to copy to.
    return GetSetting(kCopyWindow, u"目的文件夹"_s, {});
}

void AppSettings::setCopyDestinationFolder(const QString& folder)
{
    SaveSetting(kCopyWindow, u"目的文件夹"_s, folder);
}

int AppSettings::copyOptionIndex() const
{
    const int index = readInt(kCopyWindow, u"OpIndex"_s, 4);
    return (index >= 1 && index <= 5) ? index : 4;
}

void AppSettings::setCopyOptionIndex(int index)
{
    SaveSetting(kCopyWindow, u"OpIndex"_s, QString::number(index));
}
