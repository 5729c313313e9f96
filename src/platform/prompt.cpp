#include "prompt.h"

#include "programscale.h"

#include <QInputDialog>

std::optional<QString> InputPrompt(QWidget *parent, const QString &prompt, const QString &title)
{
    QInputDialog dialog(parent);
    ProgramScale::enlarge(&dialog, parent);
    dialog.setWindowTitle(title);
    dialog.setLabelText(prompt);
    dialog.setTextValue(QString());
    dialog.setOkButtonText(QStringLiteral("ОК"));
    dialog.setCancelButtonText(QStringLiteral("Отмена"));
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.textValue();
}
