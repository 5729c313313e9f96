#include "wholefile.h"

#include <QSaveFile>

// Writing unbuffered, in a loop, lets a write that a full disk cut short show as a failure,
// which a buffered write would not report.
QString writeWholeFile(const QString &path, const QByteArray &bytes)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return file.errorString();
    for (qsizetype done = 0; done < bytes.size();) {
        const qint64 written = file.write(bytes.constData() + done, bytes.size() - done);
        if (written <= 0) {
            QString reason = file.errorString();
            file.cancelWriting();
            return reason;
        }
        done += written;
    }
    return file.commit() ? QString() : file.errorString();
}
