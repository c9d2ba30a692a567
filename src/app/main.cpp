// The program brivane: the LED sign play list editor with its main window.
#include "app/Application.h"

#include <QApplication>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    Application application;
    return application.run(QApplication::arguments());
}
