#pragma once

#include "domsnapshot.h"

#include <QString>

#include <vector>

// How a sign-in page is filled in: pure logic over a snapshot of the page, so
// the rules are tested on saved pages; the browser then acts by index.

// One field to fill: the element at snapshot index Index gets Value.
struct LoginFieldFill {
    int Index = -1;
    QString Tag;      // the element's tag, checked again before acting
    QString Value;
    bool IsPassword = false;
};

struct LoginFormPlan {
    std::vector<LoginFieldFill> Fills; // in document order
    int SubmitIndex = -1;              // the control to click, -1: nothing is submitted
    QString SubmitTag;
};

// The lower-cased names that take the account and the password. "login" and
// "email" are the account fields of today's sign-in forms, beyond the
// classic names.
const QStringList& UserFieldNames();
const QStringList& PasswordFieldNames();

// Account login. The form's controls (INPUT, and BUTTON, which today's forms
// submit with) are walked in document order, each tested in turn: a user
// name takes the account, a password name takes the password, and a submit
// control is clicked once more than one field has been filled; the walk stops
// there. A submit before that is passed by, and without one nothing is
// submitted (the fields are filled all the same).
LoginFormPlan PlanAccountLogin(const DomSnapshot& page, const QString& account, const QString& password);

// IP login: the element with the id "submitip", or -1.
int IpLoginButton(const DomSnapshot& page);
