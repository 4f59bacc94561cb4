#pragma once

#include <QRect>
#include <QString>

class AppSettings;

// A window's position and size in twips (15 twips = 1 pixel), as stored.
struct WindowPlacement {
    bool Maximised = false;
    int Top = 0;
    int Left = 0;
    int Width = 0;
    int Height = 0;
};

// "1920*1080" for a screen of 28800 by 16200 twips.
QString ScreenResolutionText(int screenWidthTwips, int screenHeightTwips);

// A maximised window stores only "0*0" as its resolution and keeps the last
// normal position; any other stores the screen it was on and its rectangle.
void SaveWindowPlacement(AppSettings& settings, const QString& window, const WindowPlacement& placement,
                         const QString& screenResolution);

// Maximised when the stored resolution is not the current one (first run,
// closed maximised, or another screen); otherwise the stored rectangle, kept
// on screen and above a minimum size.
WindowPlacement RestoreWindowPlacement(const AppSettings& settings, const QString& window,
                                       const QString& screenResolution);

// Where a window without a stored placement opens as a normal window: most
// of the screen's available area, centred, so that a desktop that cannot
// maximise it (no window manager, a tiling one) still shows the lists at a
// useful size. Never below what the controls need, even where that is more
// than the area.
QRect FirstWindowGeometry(const QRect& available, const QSize& needed);

// A stored rectangle on the screen it is shown on: no wider or taller than
// the available area, and moved inside it (a window that once grew past the
// screen comes back within it).
QRect KeptWithinArea(const QRect& window, const QRect& available);
