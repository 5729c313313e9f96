#pragma once

#include <QString>
#include <optional>

class QWidget;

// Asks for a line of text in a modal dialog with "ОК" and "Отмена".
// Returns the typed text when the user confirms, nothing when the user cancels.
std::optional<QString> InputPrompt(QWidget *parent, const QString &prompt, const QString &title);
