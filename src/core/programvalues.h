#pragma once

#include <QString>

class AppSettings;

// The method a stored number means: 1 and 3 as they are, anything else the
// parallel method (2), the default.
constexpr int EffectiveMethod(int stored)
{
    return (stored == 1 || stored == 3) ? stored : 2;
}

// Values that live for the whole run and are shared by every window: loaded
// from the settings when the program starts, changed by the options and save
// folder dialogs. One object, handed to whoever needs it.
struct ProgramValues {
    int DownloadMethod = 2; // 1 single transfer, 2 parallel, 3 by the browser
    bool BrowserFallback = true; // methods 1 and 2 retry a bot-checked task in the browser
    bool CitationBesideFile = false; // a .ris file beside every completed paper that came from a record
    double MaxFileSizeMB = 10;
    // Pacing per host: the least seconds between the starts of two transfers
    // to the same host (0: none), and the most starts to one host in any
    // hour (0: no cap).
    int SecondsBetweenHostStarts = 1;
    int HostStartsPerHour = 0;
    bool UseProxy = false;
    QString ProxyAddress;
    QString ProxyPort;
    bool PromptSaveFolder = true;
    QString SaveFolder;
    // Results of the save folder dialog.
    bool NameByOriginalFile = false;
    bool NameByPattern = false; // "自定义：": names from NamePattern (wins over NameByOriginalFile)
    QString NamePattern;
    bool SaveFolderCancelled = false;

    // Reads the stored values; the dialog results keep their current values.
    void loadFrom(const AppSettings& settings);

    // The size limit in bytes (megabytes of 1024 * 1024 bytes).
    double maxFileSizeBytes() const { return MaxFileSizeMB * 1024.0 * 1024.0; }
};
