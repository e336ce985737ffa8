// TPMultiImage over QImageReader.
#include "tags/TPMultiImage.h"

#include "platform/TextFile.h"

#include <QBuffer>
#include <QImageReader>
#include <QSaveFile>

QString TPMultiImage::openErrorText() {
    return QStringLiteral("Error opening file. File is corrupt or cannot handle this file type.");
}

namespace {

// Beyond this many pixels a picture is measured from its header and decoded only at the size it
// is shown in: a 20,000 by 20,000 picture would take 1.6 GB whole.
constexpr qint64 maxWholePixels = 4096LL * 4096LL;
const QSize previewBound(1024, 1024);

const char* const imageExtensions[] = {"gif", "jpg", "jpeg", "png", "webp", "svg"};

} // namespace

bool TPMultiImage::isImageName(const QString& fileName) {
    const qsizetype dot = fileName.lastIndexOf(QLatin1Char('.'));
    if (dot < 0)
        return false;
    const QString ext = fileName.mid(dot + 1).toLower();
    for (const char* known : imageExtensions)
        if (ext == QLatin1String(known))
            return true;
    return false;
}

QStringList TPMultiImage::imageNameFilters() {
    QStringList filters;
    for (const char* known : imageExtensions)
        filters << QStringLiteral("*.") + QLatin1String(known);
    return filters;
}

void TPMultiImage::clear() {
    m_image = QImage();
    m_size = QSize();
    m_path.clear();
    m_fileSize = 0;
}

bool TPMultiImage::load(const QString& path) {
    clear();
    // Only a regular file is read (a pipe or a device would block the reader), and by the bytes
    // of its name, so that a picture with a Latin-1 name is found too.
    const FileBytesResult file = readFileBytes(path);
    if (!file.ok)
        return false;
    QBuffer buffer;
    buffer.setData(file.bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    reader.setDecideFormatFromContent(true);
    const QSize size = reader.size();
    const bool huge = size.isValid() && qint64(size.width()) * size.height() > maxWholePixels;
    if (huge) {
        // Readers that cannot decode at a smaller size would decode the whole picture first:
        // such a picture is measured only, and shows no preview.
        if (!reader.supportsOption(QImageIOHandler::ScaledSize)) {
            if (!reader.canRead())
                return false;
            m_size = size;
            m_path = path;
            m_fileSize = file.bytes.size();
            return true;
        }
        reader.setScaledSize(size.scaled(previewBound, Qt::KeepAspectRatio));
    }
    QImage image = reader.read();
    if (image.isNull())
        return false;
    m_size = huge ? size : image.size();
    m_image = std::move(image);
    m_path = path;
    m_fileSize = file.bytes.size();
    return true;
}

QImage TPMultiImage::scaledFor(const QSize& panel) const {
    if (m_image.isNull() || panel.isEmpty())
        return {};
    if (m_image.width() <= panel.width() && m_image.height() <= panel.height())
        return m_image;
    return m_image.scaled(panel, m_keepAspect ? Qt::KeepAspectRatio : Qt::IgnoreAspectRatio,
                          Qt::SmoothTransformation);
}

bool TPMultiImage::saveAsBmp(const QString& path) const {
    if (m_image.isNull())
        return false;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (!m_image.save(&file, "BMP")) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}
