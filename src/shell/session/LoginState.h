#pragma once

#include "records/AccountRecords.h"

// Writes to the current login (LoginRsp::shareRsp()). The login flows go through these so that
// every sign-in copies the same fields.
namespace LoginState {

// A login answered with result 1: copies collectionNum, photo, uid and user, then marks the
// current login as signed in. classList, msg and result are never copied. The answer cache is
// opened for this teacher (any other teacher's kept answers are removed).
void applySignedIn(const LoginRsp &answer);

// A login answered with result 2 (the account must bind a phone first): copies uid only.
void applyBindingRequired(const LoginRsp &answer);

// A phone change succeeded: user.Mobile becomes the number as an integer (its decimal digits in
// whatever script the mobile rule let through; 0 when it is no number) and user.UserName the text
// as typed. A current login without a user gets one, so the change is never lost.
void applyMobileChanged(const QString &mobile);

// Back to the state at first use. For tests: nothing in the client empties the current login.
void reset();

} // namespace LoginState
