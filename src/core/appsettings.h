#pragma once

#include <QString>

class SettingsStorage;

// The one place that spells every section, key and default of the program's
// settings. Values are stored as text; a stored number that does not parse (or
// is out of its range) reads as the default.
class AppSettings final {
public:
    // programFolder stands in for the folder defaults that name "the program folder".
    AppSettings(SettingsStorage& storage, QString programFolder);

    static inline const QString kDownloadWindow = QStringLiteral("fFileDownload");
    static inline const QString kCopyWindow = QStringLiteral("Form_Copy_Move");

    // The plain text access every typed value below goes through.
    QString GetSetting(const QString& section, const QString& key, const QString& defaultValue) const;
    void SaveSetting(const QString& section, const QString& key, const QString& value);

    int downloadMethod() const; // 1 single transfer (proxy), 2 parallel transfers, 3 the browser's
    void setDownloadMethod(int method);
    // Methods 1 and 2: a task the site's bot check refused is tried once more
    // by the browser (on unless switched off).
    bool browserFallback() const;
    void setBrowserFallback(bool on);
    bool citationBesideFile() const; // a .ris file beside every completed paper; off unless chosen
    void setCitationBesideFile(bool on);
    int threadPosition() const; // zero-based position in the list "1".."6"
    void setThreadPosition(int position);
    QString duplicatePolicy() const; // "跳过", "覆盖" or "重命名"
    void setDuplicatePolicy(const QString& caption);
    QString proxyAddress() const;
    void setProxyAddress(const QString& address);
    QString proxyPort() const;
    void setProxyPort(const QString& port);
    bool useProxy() const;
    void setUseProxy(bool on);
    // Pacing per host: the least seconds between two starts to the same host
    // (default 1, 0 for none) and the most starts to one host in an hour
    // (default 0: no cap). Whole numbers up to the maximum.
    static constexpr int kMaxSecondsBetweenHostStarts = 3600;
    static constexpr int kMaxHostStartsPerHour = 100000;
    int secondsBetweenHostStarts() const;
    void setSecondsBetweenHostStarts(int seconds);
    int hostStartsPerHour() const;
    void setHostStartsPerHour(int starts);
    double maxFileSizeMB() const;
    void setMaxFileSizeMB(double megabytes);
    bool promptSaveFolder() const;
    void setPromptSaveFolder(bool on);
    QString saveFolder() const;
    void setSaveFolder(const QString& folder);
    // The save folder dialog's "自定义：" file name pattern (see NameFromPattern).
    QString namePattern() const;
    void setNamePattern(const QString& pattern);
    QString lastOpenedFolder() const;
    void setLastOpenedFolder(const QString& folder);

    // Window placement, in the section named after the window (twips).
    QString windowResolution(const QString& window) const;
    void setWindowResolution(const QString& window, const QString& text);
    int windowTop(const QString& window) const;
    void setWindowTop(const QString& window, int twips);
    int windowLeft(const QString& window) const;
    void setWindowLeft(const QString& window, int twips);
    int windowWidth(const QString& window) const;
    void setWindowWidth(const QString& window, int twips);
    int windowHeight(const QString& window) const;
    void setWindowHeight(const QString& window, int twips);

    // The copy files dialog. The destination last used; empty before any.
    QString copyDestinationFolder() const;
    void setCopyDestinationFolder(const QString& folder);
    int copyOptionIndex() const; // 1..5
    void setCopyOptionIndex(int index);

private:
    int readInt(const QString& section, const QString& key, int defaultValue) const;

    SettingsStorage& m_storage;
    QString m_programFolder;
};
