#include "optionscontroller.h"

#include "dialogmessages.h"

#include "core/appsettings.h"
#include "core/programvalues.h"
#include "core/textfunctions.h"
#include "core/userprompts.h"

#include <cmath>

using namespace dialogmessages;

std::optional<double> ParseSizeLimit(const QString& text)
{
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(value) || value <= 0)
        return std::nullopt;
    return value;
}

std::optional<int> ParseWholeNumber(const QString& text, int most)
{
    const QString trimmed = text.trimmed();
    bool ok = textrules::isDigits(trimmed);
    const int value = ok ? trimmed.toInt(&ok) : 0;
    if (!ok || value < 0 || value > most)
        return std::nullopt;
    return value;
}

QString SizeLimitText(double megabytes)
{
    return QString::number(megabytes, 'g', 15);
}

OptionsController::OptionsController(ProgramValues& values, AppSettings& settings, UserPrompts& prompts,
                                     QObject* parent)
    : QObject(parent)
    , m_values(values)
    , m_settings(settings)
    , m_prompts(prompts)
{
}

OptionsForm OptionsController::Load(bool downloadWindowLoaded)
{
    if (!downloadWindowLoaded)
        m_values.loadFrom(m_settings);

    OptionsForm form;
    form.UseProxy = m_values.UseProxy;
    form.ProxyAddress = m_values.ProxyAddress;
    form.ProxyPort = m_values.ProxyPort;
    const int method = m_values.DownloadMethod;
    form.Method = (method == 2 || method == 3) ? method : 1; // anything else keeps Option1
    form.BrowserFallback = m_values.BrowserFallback;
    form.CitationBesideFile = m_values.CitationBesideFile;
    form.PromptSaveFolder = m_values.PromptSaveFolder;
    form.SizeText = SizeLimitText(m_values.MaxFileSizeMB);
    form.PaceText = QString::number(m_values.SecondsBetweenHostStarts);
    form.HourlyCapText = QString::number(m_values.HostStartsPerHour);
    return form;
}

bool OptionsController::Confirm(const OptionsForm& form)
{
    const std::optional<double> size = ParseSizeLimit(form.SizeText);
    if (!size) {
        m_prompts.showMessage(QString::fromUtf16(kSizeNotPositive), MessageIcon::Error);
        emit boxRefused(1);
        return false;
    }
    const std::optional<int> pace = ParseWholeNumber(form.PaceText, AppSettings::kMaxSecondsBetweenHostStarts);
    if (!pace) {
        m_prompts.showMessage(QString::fromUtf16(kPaceNotWhole), MessageIcon::Error);
        emit boxRefused(2);
        return false;
    }
    const std::optional<int> cap = ParseWholeNumber(form.HourlyCapText, AppSettings::kMaxHostStartsPerHour);
    if (!cap) {
        m_prompts.showMessage(QString::fromUtf16(kHourlyCapNotWhole), MessageIcon::Error);
        emit boxRefused(3);
        return false;
    }

    m_values.DownloadMethod = (form.Method == 2 || form.Method == 3) ? form.Method : 1;
    emit downloadMethodChosen(m_values.DownloadMethod);
    m_settings.setDownloadMethod(m_values.DownloadMethod);
    m_values.BrowserFallback = form.BrowserFallback;
    m_settings.setBrowserFallback(m_values.BrowserFallback);
    m_values.CitationBesideFile = form.CitationBesideFile;
    m_settings.setCitationBesideFile(m_values.CitationBesideFile);

    m_values.UseProxy = form.UseProxy;
    m_settings.setUseProxy(m_values.UseProxy);
    m_values.ProxyAddress = form.ProxyAddress.trimmed();
    m_settings.setProxyAddress(m_values.ProxyAddress);
    m_values.ProxyPort = form.ProxyPort.trimmed();
    m_settings.setProxyPort(m_values.ProxyPort);
    bool portIsNumber = false;
    m_values.ProxyPort.toDouble(&portIsNumber);
    if (m_values.UseProxy && (m_values.ProxyAddress.isEmpty() || !portIsNumber))
        m_prompts.showMessage(QString::fromUtf16(kProxyFormatWrong), MessageIcon::Error);

    m_values.PromptSaveFolder = form.PromptSaveFolder;
    m_settings.setPromptSaveFolder(m_values.PromptSaveFolder);

    m_values.MaxFileSizeMB = *size;
    m_settings.setMaxFileSizeMB(*size);
    m_values.SecondsBetweenHostStarts = *pace;
    m_settings.setSecondsBetweenHostStarts(*pace);
    m_values.HostStartsPerHour = *cap;
    m_settings.setHostStartsPerHour(*cap);
    return true;
}
