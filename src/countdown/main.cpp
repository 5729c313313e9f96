#include "rhymewindow.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    countdown::Form1 window;
    window.show();
    return app.exec();
}
