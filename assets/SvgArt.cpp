#include "assets/SvgArt.h"

#include <QFile>
#include <QPainter>
#include <QSvgRenderer>
#include <QtDebug>
#include <mutex>

// The resources live in this static library; register them before the first look-up.
static void RegisterArtResources() {
    Q_INIT_RESOURCE(korva_art);
}

namespace korva::assets {
namespace {

QByteArray LoadSource(const QString& name) {
    static std::once_flag registered;
    std::call_once(registered, RegisterArtResources);
    QFile file(QStringLiteral(":/korva/art/%1.svg").arg(name));
    if (!file.open(QIODevice::ReadOnly)) {
        qWarning("korva assets: picture source %s is missing", qPrintable(name));
        return {};
    }
    return file.readAll();
}

} // namespace

bool DrawSvg(QPainter& painter, const QString& name, const QRectF& target,
             std::initializer_list<ColourSwap> swaps, const QRectF& viewBox) {
    QByteArray source = LoadSource(name);
    if (source.isEmpty()) {
        return false;
    }
    for (const ColourSwap& swap : swaps) {
        source.replace(swap.from, swap.to.name(QColor::HexRgb).toUpper().toLatin1());
    }
    QSvgRenderer renderer(source);
    if (!renderer.isValid()) {
        qWarning("korva assets: picture source %s cannot be read", qPrintable(name));
        return false;
    }
    if (viewBox.isValid()) {
        renderer.setViewBox(viewBox);
    }
    renderer.render(&painter, target);
    return true;
}

QSizeF SvgSize(const QString& name) {
    const QByteArray source = LoadSource(name);
    if (source.isEmpty()) {
        return {};
    }
    const QSvgRenderer renderer(source);
    return renderer.isValid() ? QSizeF(renderer.defaultSize()) : QSizeF();
}

} // namespace korva::assets
