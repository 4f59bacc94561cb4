#pragma once

#include <QObject>
#include <QString>

#include <optional>

class AppSettings;
class UserPrompts;
struct ProgramValues;

// What the options dialog's controls hold.
struct OptionsForm {
    int Method = 1; // 1: Option1 selected, 2: Option2, 3: Option3
    bool BrowserFallback = true; // Check3
    bool CitationBesideFile = false; // Check4
    bool UseProxy = false;
    QString ProxyAddress;
    QString ProxyPort;
    bool PromptSaveFolder = false;
    QString SizeText;
    QString PaceText;      // Text2: seconds between two starts to the same host
    QString HourlyCapText; // Text3: starts to one host in an hour, 0 for no cap
};

// The size box as a number of megabytes: nullopt unless it is a positive number.
std::optional<double> ParseSizeLimit(const QString& text);
// A box that takes a whole number from 0 to most: nullopt for anything else
// (fractions, signs other than none, letters, an empty box).
std::optional<int> ParseWholeNumber(const QString& text, int most);
// 10 as "10", 2.5 as "2.5", never in exponent form.
QString SizeLimitText(double megabytes);

// The options dialog's logic: shows the program-wide values and stores them
// at once when confirmed.
class OptionsController final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(OptionsController)

public:
    OptionsController(ProgramValues& values, AppSettings& settings, UserPrompts& prompts, QObject* parent = nullptr);

    // The controls' contents. Until a download window has loaded the values
    // they are the built-in defaults, so then they are read from the store.
    OptionsForm Load(bool downloadWindowLoaded);

    // "确定" (Command1): stores everything and answers true (close). A size that is not a
    // positive number, or a pace or hourly cap that is not a whole number in
    // its range, is refused with a message before anything is stored; the
    // dialog stays open. Proxy values that look wrong only draw a warning.
    bool Confirm(const OptionsForm& form);

signals:
    // The method was confirmed; an open download window shows it.
    void downloadMethodChosen(int method);
    // A box was refused: the dialog puts the cursor there (1 size, 2 pace, 3 cap).
    void boxRefused(int box);

private:
    ProgramValues& m_values;
    AppSettings& m_settings;
    UserPrompts& m_prompts;
};
