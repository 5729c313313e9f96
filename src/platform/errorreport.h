#pragma once

#include <QString>

class QWidget;

// Shows a modal error report with a single "ОК" button. The message is
// always shown as plain text, so markup a user typed appears literally.
void ErrorReport(QWidget *parent, const QString &title, const QString &message);

// The reports of the two programs for text that does not read as a number.
QString typeMismatchMessage(const QString &typed);
