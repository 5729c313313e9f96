#include "figurewindow.h"
#include "qttexts.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    loadQtRussianTexts(app);
    RandomColours colours;
    figdraw::Form1 window(colours);
    window.show();
    return app.exec();
}
