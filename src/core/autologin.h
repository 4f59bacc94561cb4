#pragma once

// The site login the scheduler calls out to: a web page that arrives instead
// of a paper may start it. Implemented by the search layer's login
// controller, which the engine does not know.
class AutoLogin {
public:
    virtual ~AutoLogin() = default;
    // Signs in to the site; silent: without messages.
    virtual void LoginToSite(bool silent) = 0;
};
