#pragma once

#include <QSize>

class QPainter;

namespace korva::assets {

// Geometry of the progress ring in a 285 x 285 picture; other sizes scale it.
struct RingGeometry {
    static constexpr int kPictureSide = 285;
    static constexpr double kCentre = 142.5;
    static constexpr double kRadius = 131.0; // middle of the ring's band
    static constexpr double kBand = 14.0;    // width of the band
};

// Draws the ring `percent` full: the track, and the accent arc from the top clockwise over
// percent/100 of the circle. The middle stays transparent for the percentage label.
// `percent` is clamped to 0..100.
void DrawProgressRing(QPainter& painter, const QSize& size, int percent);

} // namespace korva::assets
