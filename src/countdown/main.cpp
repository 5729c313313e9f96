#include "qttexts.h"
#include "rhymewindow.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    loadQtRussianTexts(app);
    countdown::Form1 window;
    window.show();
    return app.exec();
}
