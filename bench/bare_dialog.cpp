// The yardstick for the program's start-up: the least a Qt Widgets program does to show a window, an
// empty dialog; or, given a text, a dialog with that text, which costs Qt's font database and its
// accessibility bridge as every window with a text does.
#include <QApplication>
#include <QDialog>
#include <QLabel>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QDialog dialog;
    if (argc > 1)
        new QLabel(QString::fromLocal8Bit(argv[1]), &dialog);
    dialog.show();
    return app.exec();
}
