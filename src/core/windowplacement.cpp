#include "windowplacement.h"

#include "appsettings.h"

#include <algorithm>
#include <cmath>

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr int kTwipsPerPixel = 15;
constexpr int kMinimumWidth = 4000;
constexpr int kMinimumHeight = 3000;
// The share of the available area a first window takes, in tenths.
constexpr int kFirstSizeTenths = 9;

// Most of the room, and never less than the controls need.
int firstLength(int room, int needed)
{
    return std::max(room * kFirstSizeTenths / 10, needed);
}

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

QRect FirstWindowGeometry(const QRect& available, const QSize& needed)
{
    const QSize size(firstLength(available.width(), needed.width()), firstLength(available.height(), needed.height()));
    const QPoint corner(available.left() + std::max(0, (available.width() - size.width()) / 2),
                        available.top() + std::max(0, (available.height() - size.height()) / 2));
    return {corner, size};
}

QRect KeptWithinArea(const QRect& window, const QRect& available)
{
    if (available.isEmpty())
        return window;
    const QSize size = window.size().boundedTo(available.size());
    const int left = std::clamp(window.left(), available.left(), available.left() + available.width() - size.width());
    const int top = std::clamp(window.top(), available.top(), available.top() + available.height() - size.height());
    return {QPoint(left, top), size};
}
