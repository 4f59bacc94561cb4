#include "windowplacement.h"

#include "appsettings.h"

#include <cmath>

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr int kTwipsPerPixel = 15;
constexpr int kMinimumWidth = 4000;
constexpr int kMinimumHeight = 3000;

} // namespace

QString ScreenResolutionText(int screenWidthTwips, int screenHeightTwips)
{
    const auto pixels = [](int twips) {
        return QString::number(std::lround(static_cast<double>(twips) / kTwipsPerPixel));
    };
    return pixels(screenWidthTwips) + u'*' + pixels(screenHeightTwips);
}

void SaveWindowPlacement(AppSettings& settings, const QString& window, const WindowPlacement& placement,
                         const QString& screenResolution)
{
    if (placement.Maximised) {
        settings.setWindowResolution(window, u"0*0"_s);
        return;
    }
    settings.setWindowResolution(window, screenResolution);
    settings.setWindowTop(window, placement.Top);
    settings.setWindowLeft(window, placement.Left);
    settings.setWindowWidth(window, placement.Width);
    settings.setWindowHeight(window, placement.Height);
}

WindowPlacement RestoreWindowPlacement(const AppSettings& settings, const QString& window,
                                       const QString& screenResolution)
{
    WindowPlacement placement;
    if (settings.windowResolution(window) != screenResolution) {
        placement.Maximised = true;
        return placement;
    }
    placement.Top = std::max(0, settings.windowTop(window));
    placement.Left = std::max(0, settings.windowLeft(window));
    placement.Width = std::max(kMinimumWidth, settings.windowWidth(window));
    placement.Height = std::max(kMinimumHeight, settings.windowHeight(window));
    return placement;
}
