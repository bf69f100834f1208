#include "app/ui/Placement.h"

#include <cmath>
#include <cstdint>
#include <limits>

namespace korva::placement {

namespace {

int RoundHalfEven(double value) {
    return static_cast<int>(std::nearbyint(value));
}

// Squared distance from the point to the nearest point of the rectangle (0 inside it).
std::int64_t DistanceSquared(QPoint p, const QRect& r) {
    std::int64_t dx = 0;
    std::int64_t dy = 0;
    if (p.x() < r.left())
        dx = std::int64_t(r.left()) - p.x();
    else if (p.x() > r.right())
        dx = std::int64_t(p.x()) - r.right();
    if (p.y() < r.top())
        dy = std::int64_t(r.top()) - p.y();
    else if (p.y() > r.bottom())
        dy = std::int64_t(p.y()) - r.bottom();
    return dx * dx + dy * dy;
}

} // namespace

int TitleIconLeft(int windowWidth, int titleWidth, int iconWidth) {
    return RoundHalfEven(windowWidth * 0.5 - (titleWidth + iconWidth + 3) * 0.5);
}

int TitleTextLeft(int iconLeft, int iconWidth) {
    return iconLeft + iconWidth + 3;
}

int MonitorForPoint(QPoint point, const QList<QRect>& monitors) {
    int best = -1;
    std::int64_t bestDistance = std::numeric_limits<std::int64_t>::max();
    for (int i = 0; i < monitors.size(); ++i) {
        if (monitors[i].contains(point))
            return i;
        const std::int64_t d = DistanceSquared(point, monitors[i]);
        if (d < bestDistance) {
            bestDistance = d;
            best = i;
        }
    }
    return best;
}

QPoint SplashPlacement(QPoint stored, QSize size, const QList<QRect>& monitors) {
    const QPoint centre(stored.x() + size.width() / 2, stored.y() + size.height() / 2);
    const int index = MonitorForPoint(centre, monitors);
    if (index < 0)
        return stored;
    const QRect& m = monitors[index];
    return QPoint(m.left() + (m.width() - size.width()) / 2, m.top() + (m.height() - size.height()) / 2);
}

QPoint ConnectPlacement(QPoint stored, QSize size, QRect desktop, QRect monitor0) {
    // Compared with the desktop's right and bottom coordinates: on a desktop that does not start at
    // 0,0 its width alone would keep windows that lie beyond its right or bottom edge.
    const bool onDesktop =
        stored.x() >= desktop.left() && stored.x() + size.width() <= desktop.left() + desktop.width() &&
        stored.y() >= desktop.top() && stored.y() + size.height() <= desktop.top() + desktop.height();
    if (onDesktop)
        return stored;
    return QPoint((monitor0.width() - size.width()) / 2, (monitor0.height() - size.height()) / 2);
}

QPoint MessagePlacement(QRect mainBounds, QSize size) {
    return QPoint(mainBounds.left() + RoundHalfEven(mainBounds.width() * 0.5 - size.width() * 0.5),
                  mainBounds.top() + RoundHalfEven(mainBounds.height() * 0.5 - size.height() * 0.5));
}

QPoint DragPosition(QPoint windowPos, QPoint pointer, QPoint grab) {
    return QPoint(windowPos.x() + pointer.x() - grab.x(), windowPos.y() + pointer.y() - grab.y());
}

} // namespace korva::placement
