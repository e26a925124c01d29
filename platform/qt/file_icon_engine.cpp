#include "platform/qt/file_icon_engine.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QStyle>
#include <QStyleOption>

#include <algorithm>

namespace {

qint64 Area(const QSize& size) {
    return qint64(size.width()) * size.height();
}

}  // namespace

FileIconEngine::FileIconEngine(QList<File> files) : files_(std::move(files)) {
    std::sort(files_.begin(), files_.end(), [](const File& a, const File& b) { return Area(a.size) < Area(b.size); });
}

const FileIconEngine::File* FileIconEngine::BestFor(const QSize& size) const {
    if (files_.isEmpty())
        return nullptr;
    const auto large = std::find_if(files_.begin(), files_.end(), [&](const File& file) {
        return file.size.width() >= size.width() && file.size.height() >= size.height();
    });
    return large != files_.end() ? &*large : &files_.back();
}

QSize FileIconEngine::actualSize(const QSize& size, QIcon::Mode, QIcon::State) {
    const File* best = BestFor(size);
    if (!best)
        return {};
    return best->size.boundedTo(size) == best->size ? best->size : best->size.scaled(size, Qt::KeepAspectRatio);
}

QPixmap FileIconEngine::pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) {
    const File* best = BestFor(size);
    if (!best)
        return {};
    // Not QPixmap's own loading, which keeps what it loaded in the global pixmap cache.
    QPixmap pixmap = QPixmap::fromImage(QImage(best->path));
    const QSize actual = actualSize(size, mode, state);
    if (!pixmap.isNull() && pixmap.size() != actual)
        pixmap = pixmap.scaled(actual, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    // Disabled, active and selected icons look as the style draws them from the normal one.
    if (mode != QIcon::Normal && !pixmap.isNull() && qApp) {
        const QStyleOption option;
        pixmap = QApplication::style()->generatedIconPixmap(mode, pixmap, &option);
    }
    return pixmap;
}

void FileIconEngine::paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) {
    const qreal ratio = painter->device()->devicePixelRatio();
    QPixmap drawn = pixmap((QSizeF(rect.size()) * ratio).toSize(), mode, state);
    drawn.setDevicePixelRatio(ratio);
    QRect place(QPoint(), (QSizeF(drawn.size()) / ratio).toSize());
    place.moveCenter(rect.center());
    painter->drawPixmap(place, drawn);
}

QList<QSize> FileIconEngine::availableSizes(QIcon::Mode, QIcon::State) {
    QList<QSize> sizes;
    for (const File& file : files_)
        sizes.append(file.size);
    return sizes;
}
