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
