// Quillon Pro: the program's entry point.
#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Ostra Quillon Pro"));
    return 0;
}
