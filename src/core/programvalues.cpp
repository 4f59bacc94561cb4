#include "programvalues.h"

#include "appsettings.h"

void ProgramValues::loadFrom(const AppSettings& settings)
{
    DownloadMethod = settings.downloadMethod();
    BrowserFallback = settings.browserFallback();
    CitationBesideFile = settings.citationBesideFile();
    MaxFileSizeMB = settings.maxFileSizeMB();
    SecondsBetweenHostStarts = settings.secondsBetweenHostStarts();
    HostStartsPerHour = settings.hostStartsPerHour();
    UseProxy = settings.useProxy();
    ProxyAddress = settings.proxyAddress();
    ProxyPort = settings.proxyPort();
    PromptSaveFolder = settings.promptSaveFolder();
    SaveFolder = settings.saveFolder();
    NamePattern = settings.namePattern();
}
