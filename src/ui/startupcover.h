#pragma once

// The start-up cover, which comes back when the last main window closes.
class StartupCover {
public:
    virtual ~StartupCover() = default;
    virtual void showCover() = 0;
};
