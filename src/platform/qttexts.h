#pragma once

class QCoreApplication;

// Loads Qt's own Russian texts (the standard text menus, dialogs and their
// buttons), whatever the system locale, since the whole interface is Russian.
// Returns false when they are not installed: Qt's texts then stay in English.
bool loadQtRussianTexts(QCoreApplication &app);
