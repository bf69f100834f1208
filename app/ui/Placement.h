#pragma once

#include <QList>
#include <QPoint>
#include <QRect>
#include <QSize>

// Window placement arithmetic, free of any window class (Qt Core types only).
namespace korva::placement {

// Left of the title icon: rint(windowWidth * 0.5 - (titleWidth + iconWidth + 3) * 0.5), halves to
// even. The title text follows at icon left + icon width + 3.
int TitleIconLeft(int windowWidth, int titleWidth, int iconWidth);
int TitleTextLeft(int iconLeft, int iconWidth);

// The monitor that contains the point, else the one nearest to it (ties: the first listed).
// -1 for an empty list.
int MonitorForPoint(QPoint point, const QList<QRect>& monitors);

// The splash window: centred on the monitor that holds the centre of a window of `size` stored at
// `stored` (integer division, remainder dropped), or on the nearest monitor.
QPoint SplashPlacement(QPoint stored, QSize size, const QList<QRect>& monitors);

// The connect window: the stored position when the window lies wholly on the virtual desktop's
// bounds, else centred on monitor 0 without adding that monitor's own left and top.
QPoint ConnectPlacement(QPoint stored, QSize size, QRect desktop, QRect monitor0);

// The message window: centred over the main window's bounds, each offset rounded half to even.
QPoint MessagePlacement(QRect mainBounds, QSize size);

// The title-strip drag: the window position after the pointer moved to `pointer` (strip-local)
// while the grab point is `grab`.
QPoint DragPosition(QPoint windowPos, QPoint pointer, QPoint grab);

} // namespace korva::placement
