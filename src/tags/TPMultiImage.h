// TPMultiImage: the image component behind Insert Link/Image and the image and body dialogs.
//
// Reads whatever the Qt image plug-ins read (GIF, JPEG, PNG, BMP, WebP, SVG where installed),
// reports the image's own size in pixels and its file size, scales it for a preview keeping its
// aspect ratio, and saves it as BMP.
#pragma once

#include <QImage>
#include <QSize>
#include <QString>

class TPMultiImage {
public:
    void clear();
    // Kept for the call sites' habits: the reported size is always the image's own.
    void setKeepAspect(bool on) { m_keepAspect = on; }
    void setSizeToImage(bool on) { m_sizeToImage = on; }
    bool keepAspect() const { return m_keepAspect; }
    bool sizeToImage() const { return m_sizeToImage; }

    // Loads the file; false (and nothing loaded) when it is no regular file or no image Qt reads.
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

private:
    QImage m_image;
    QSize m_size;
    QString m_path;
    qint64 m_fileSize = 0;
    bool m_keepAspect = true;
    bool m_sizeToImage = true;
};
