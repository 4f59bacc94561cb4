#pragma once

#include <QDate>
#include <QUrl>

class Shell;

// Where suggestions go. A reserved domain until the program has a mailbox of
// its own, so that no mail reaches a stranger.
inline constexpr char16_t kSuggestionMailbox[] = u"suggestions@paperpull.invalid";

// The mailto: link of the suggestion mail: subject "我要对[Paperpull]提建议" and a
// body with the fields the user fills in and the date.
QUrl SuggestionMailLink(const QDate& today);

// Opens the suggestion mail in the default mail program.
bool SendSuggestionMail(Shell& shell);
