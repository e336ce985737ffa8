// TPMultiImage: the image component behind Insert Link/Image and the image and body dialogs.
//
// Reads whatever the Qt image plug-ins read (GIF, JPEG, PNG, WebP, SVG, BMP ...), reports the
// image's own size in pixels (an SVG's from its width and height or its viewBox) and its file
// size, scales it for a preview keeping its aspect ratio, and saves it as BMP.
#pragma once

#include <QImage>
#include <QSize>
#include <QString>
#include <QStringList>

class TPMultiImage {
public:
    void clear();
    // Whether the preview keeps the picture's aspect ratio (the reported size is always the
    // picture's own).
    void setKeepAspect(bool on) { m_keepAspect = on; }
    bool keepAspect() const { return m_keepAspect; }

    // Loads the file (by the bytes of its name on disk); false, and nothing loaded, when it is
    // no regular file or no picture that can be read.
    bool load(const QString& path);
    bool isLoaded() const { return m_size.isValid(); }
    // The picture's own size, also for a huge picture decoded only at preview size.
    int width() const { return m_size.width(); }
    int height() const { return m_size.height(); }
    const QString& loadedPath() const { return m_path; }
    qint64 fileSize() const { return m_fileSize; }
    // What was decoded: the whole picture, or for a huge one a copy at most 1024 pixels across
    // (null when its reader cannot decode at a smaller size).
    const QImage& image() const { return m_image; }
    // The image as drawn in a panel of the given size: whole, keeping its aspect ratio when that
    // is on, never enlarged.
    QImage scaledFor(const QSize& panel) const;
    // Writes the loaded image as BMP, replacing the file only once it is complete.
    bool saveAsBmp(const QString& path) const;

    static QString openErrorText(); // "Error opening file. File is corrupt or ..."

    // The pictures of today's web pages, by the extension of their name (any case): GIF, JPEG
    // (.jpg, .jpeg), PNG, WebP and SVG.
    static bool isImageName(const QString& fileName);
    // The same as file-list masks: "*.gif", "*.jpg", ...
    static QStringList imageNameFilters();

private:
    QImage m_image;
    QSize m_size;
    QString m_path;
    qint64 m_fileSize = 0;
    bool m_keepAspect = true;
};
