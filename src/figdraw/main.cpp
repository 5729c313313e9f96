#include "form1.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    RandomColours colours;
    Form1 window(colours);
    window.show();
    return app.exec();
}
