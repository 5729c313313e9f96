#include "errorreport.h"

#include "numberreader.h"
#include "programscale.h"

#include <QMessageBox>
#include <QPushButton>

void ErrorReport(QWidget *parent, const QString &title, const QString &message)
{
    QMessageBox box(QMessageBox::Critical, title, message, QMessageBox::Ok, parent);
    ProgramScale::enlarge(&box, parent);
    box.setTextFormat(Qt::PlainText);
    box.button(QMessageBox::Ok)->setText(QStringLiteral("ОК"));
    box.exec();
}

QString typeMismatchMessage(const QString &typed)
{
    return QStringLiteral("Несоответствие типа: «%1» — не число.").arg(quotedInput(typed));
}
