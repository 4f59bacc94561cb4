#pragma once

#include <QByteArrayView>
#include <QString>

struct HostAnswer;
struct HttpResponseHead;

// Answers in which the host refuses the file rather than sends it: the site's
// bot check, a "slow down" (429, 503) and a plain refusal (a 403 that is
// neither the check nor a sign-in page). None of them is ever kept as the
// task's file; every transfer method tells them apart here, so that the
// scheduler's pacing means the same thing by them whatever the method.
enum class HostRefusal {
    None,     // not a refusal: the body is the answer (a file, or a web page such as a sign-in page)
    BotCheck, // the check's page: a browser may get past it
    SlowDown, // 429 or 503: the host asks for fewer requests
    Refused,  // 403 without a way in: the host will not serve this client
};

// How an answer (its status and the first bytes of its body) refuses the file.
HostRefusal ClassifyAnswer(int status, QByteArrayView bodyHead);

// What a response's head says about its host: its status and "Retry-After".
HostAnswer HostAnswerOf(const HttpResponseHead& head);

// A page that asks the reader to sign in: a password field, or a title that
// says "sign in", "log in" or "登录".
bool IsSignInPage(QByteArrayView bodyHead);

// The reason a transfer reports for a refusal (kReasonBotCheck, ...); empty for None.
QString RefusalReason(HostRefusal refusal);
// The refusal a reported reason stands for; None for every other reason.
HostRefusal RefusalOfReason(const QString& reason);
