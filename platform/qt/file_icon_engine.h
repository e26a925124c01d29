#pragma once
// An icon in several sizes, each in an image file of its own, read when a pixmap is asked for
// and not kept. Qt's own engine holds every size's pixels for the icon's life: an application
// icon up to 512 x 512 held 1.4 MB that way, twice over as the application's and the window's,
// where the window system takes its copy of the sizes once, when the window is made.

#include <QIconEngine>
#include <QList>
#include <QSize>
#include <QString>

class FileIconEngine : public QIconEngine {
public:
    struct File {
        QSize size;
        QString path;
    };
    explicit FileIconEngine(QList<File> files);

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override;
    // Never larger than `size`: the best file's size, scaled down to fit when it is larger.
    QSize actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) override;
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override;
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override;
    bool isNull() override { return files_.isEmpty(); }
    QIconEngine* clone() const override { return new FileIconEngine(files_); }
    QString key() const override { return QStringLiteral("FileIconEngine"); }

private:
    // The smallest file at least as large as `size` either way, else the largest.
    const File* BestFor(const QSize& size) const;

    QList<File> files_;
};
