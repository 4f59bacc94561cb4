#pragma once

// Services the scheduler calls out to that live in other parts of the window.

// The site login of the download window's browser.
class AutoLogin {
public:
    virtual ~AutoLogin() = default;
    // Signs in to the site; silent: without messages.
    virtual void LoginToSite(bool silent) = 0;
};
