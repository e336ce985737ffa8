// The window's rooms reach the shell through its typed members: no widget is looked up by its
// object name and no interface of the shell is cast to the widget behind it. A renamed widget
// would otherwise switch a feature off without a word.
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>
#include <gtest/gtest.h>

namespace {

// Every line of src/ui that matches, as "path:line: text".
QStringList linesMatching(const QRegularExpression& pattern) {
    const QString root = QDir::cleanPath(QStringLiteral(QUILLON_TEST_DIR "/../src/ui"));
    QStringList found;
    QDirIterator it(root, {QStringLiteral("*.cpp"), QStringLiteral("*.h")}, QDir::Files,
                    QDirIterator::Subdirectories);
    int files = 0;
    while (it.hasNext()) {
        QFile file(it.next());
        if (!file.open(QIODevice::ReadOnly))
            continue;
        ++files;
        int number = 0;
        while (!file.atEnd()) {
            const QString line = QString::fromUtf8(file.readLine()).trimmed();
            ++number;
            if (pattern.match(line).hasMatch())
                found << QDir(root).relativeFilePath(file.fileName()) + QLatin1Char(':') +
                             QString::number(number) + QStringLiteral(": ") + line;
        }
    }
    // A wrong folder would find nothing and pass.
    EXPECT_GT(files, 50);
    return found;
}

} // namespace

TEST(ShellLookups, NoWidgetIsFoundByItsName) {
    // A name given as a literal or a place constant; a dialog looking up its own button by the
    // name a caller passes in is no look-up of the shell.
    const QStringList found = linesMatching(QRegularExpression(QStringLiteral(
        R"(findChild(ren)?<[^>]*>\(\s*(QStringLiteral|QLatin1String|u?"|\w+Id::))")));
    EXPECT_TRUE(found.isEmpty()) << found.join(QLatin1Char('\n')).toStdString();
}

TEST(ShellLookups, NoInterfaceOfTheShellIsCast) {
    const QStringList found =
        linesMatching(QRegularExpression(QStringLiteral(R"(\bdynamic_cast\s*<)")));
    EXPECT_TRUE(found.isEmpty()) << found.join(QLatin1Char('\n')).toStdString();
}

namespace {

// The rooms of the window: the folders of src/ui but the shell and the widget helpers.
QStringList roomFolders(const QDir& ui) {
    QStringList rooms = ui.entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    rooms.removeAll(QStringLiteral("shell"));
    rooms.removeAll(QStringLiteral("widgets"));
    return rooms;
}

// The rooms whose files a file includes, as the folders named in its "ui/<room>/..." includes.
QStringList roomsIncluded(const QString& path, const QStringList& rooms) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    static const QRegularExpression include(QStringLiteral(R"(^#include "ui/(\w+)/)"));
    QStringList named;
    while (!file.atEnd()) {
        const QRegularExpressionMatch m = include.match(QString::fromUtf8(file.readLine()));
        if (m.hasMatch() && rooms.contains(m.captured(1)) && !named.contains(m.captured(1)))
            named << m.captured(1);
    }
    named.sort();
    return named;
}

} // namespace

TEST(ShellLookups, OnlyTheCompositionRootNamesTheRooms) {
    const QDir ui(QDir::cleanPath(QStringLiteral(QUILLON_TEST_DIR "/../src/ui")));
    const QStringList rooms = roomFolders(ui);
    ASSERT_GE(rooms.size(), 8);
    QStringList found;
    // A room reaches another only through the shell: it includes its own files, the shell's and
    // the widget helpers.
    for (const QString& room : rooms) {
        QDirIterator it(ui.filePath(room), {QStringLiteral("*.cpp"), QStringLiteral("*.h")},
                        QDir::Files);
        while (it.hasNext()) {
            const QString path = it.next();
            QStringList others = roomsIncluded(path, rooms);
            others.removeAll(room);
            if (!others.isEmpty())
                found << ui.relativeFilePath(path) + QStringLiteral(" includes ") +
                             others.join(QLatin1Char(','));
        }
    }
    // The window's own files name no room; the composition root names every one.
    for (const QString& name :
         ui.entryList({QStringLiteral("*.cpp"), QStringLiteral("*.h")}, QDir::Files)) {
        const QStringList named = roomsIncluded(ui.filePath(name), rooms);
        if (name == QLatin1String("Rooms.cpp"))
            EXPECT_EQ(named, rooms);
        else if (!named.isEmpty())
            found << name + QStringLiteral(" includes ") + named.join(QLatin1Char(','));
    }
    EXPECT_TRUE(found.isEmpty()) << found.join(QLatin1Char('\n')).toStdString();
}
