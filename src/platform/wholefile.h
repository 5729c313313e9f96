#pragma once

#include <QByteArray>
#include <QString>

// Writes the bytes into the file and returns the system's reason when that fails, empty
// when it succeeds. QSaveFile writes beside the file and renames only a complete one into
// place: nothing half-written is ever left under the name.
QString writeWholeFile(const QString &path, const QByteArray &bytes);
