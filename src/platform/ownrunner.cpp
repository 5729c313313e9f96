#include "ownrunner.h"
#include "runner/recordformat.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QProgressDialog>

#include <cstring>
#include <memory>

namespace {

static_assert(int(record::ShapeKind::Circle) == OwnRun::Shape::Circle
              && int(record::ShapeKind::Scale) == OwnRun::Shape::Scale);

// Reads the runner's record (runner/recordformat.h) into a run as the bytes come.
class RecordReader
{
public:
    explicit RecordReader(OwnRun &run) : run(run) { }

    // Reads the whole events among the bytes that came, keeping the rest for later.
    void take(const QByteArray &bytes)
    {
        if (bytes.isEmpty() || ended())
            return;
        pending += bytes;
        const char *at = pending.constData(), *end = at + pending.size();
        while (at < end && !ended() && readEvent(at, end)) { }
        pending.remove(0, at - pending.constData());
    }
    // The record's last event was read: the code's end, or its failure.
    bool ended() const { return state != Reading; }
    bool damaged() const { return state == Damaged; }

private:
    enum State { Reading, Ended, Damaged };

    bool getText(const char *&at, const char *end, QString &text)
    {
        quint32 length = 0;
        if (!record::getNumber(at, end, length) || end - at < qint64(length))
            return false;
        text = QString::fromUtf8(at, length);
        at += length;
        return true;
    }

    // Reads one event, moving at past it; false when it has not all come yet.
    bool readEvent(const char *&from, const char *end)
    {
        const char *at = from + 1;
        quint32 number = 0, length = 0;
        switch (*from) {
        case record::Function: {
            QString name, parameter;
            QStringList parameters;
            if (!getText(at, end, name) || !record::getNumber(at, end, number))
                return false;
            for (quint32 i = 0; i < number; ++i) {
                if (!getText(at, end, parameter))
                    return false;
                parameters << parameter;
            }
            functions.push_back(run.addFunction(name, parameters));
            break;
        }
        case record::Call:
            if (!record::getNumber(at, end, number) || !record::getNumber(at, end, length)
                || end - at < qint64(length))
                return false;
            if (number >= functions.size())
                return damage();
            run.enter(functions[number], QByteArrayView(at, length));
            at += length;
            break;
        case record::Line:
            if (!record::getNumber(at, end, number))
                return false;
            run.line(int(number));
            break;
        case record::Return:
            if (at == end || end - at - 1 < quint8(*at))
                return false;
            run.leave(QByteArrayView(at + 1, quint8(*at)));
            at += 1 + quint8(*at);
            break;
        case record::Shape: {
            if (end - from < qint64(record::shapeBytes))
                return false;
            OwnRun::Shape shape;
            std::memcpy(&shape.a, at, 4);
            std::memcpy(&shape.b, at + 4, 4);
            std::memcpy(&shape.c, at + 8, 4);
            std::memcpy(&shape.d, at + 12, 4);
            shape.colour = quint8(at[16]);
            if (shape.colour > 15 || quint8(at[17]) > OwnRun::Shape::Scale)
                return damage();
            shape.kind = OwnRun::Shape::Kind(at[17]);
            run.shape(shape);
            at += 18;
            break;
        }
        case record::Print: {
            QString text;
            if (!getText(at, end, text))
                return false;
            run.print(text);
            break;
        }
        case record::Failure: {
            OwnRun::Failure failure;
            if (!record::getNumber(at, end, number) || !getText(at, end, failure.function)
                || !getText(at, end, failure.message))
                return false;
            failure.line = int(number);
            run.fail(failure);
            state = Ended;
            break;
        }
        case record::End:
            state = Ended;
            break;
        default:
            return damage();
        }
        from = at;
        return true;
    }
    bool damage()
    {
        state = Damaged;
        return false;
    }

    OwnRun &run;
    QByteArray pending;
    QList<int> functions; // the run's number of each function the record announced
    State state = Reading;
};

} // namespace

QString ownRunnerPath()
{
    if (qEnvironmentVariableIsSet("RECURSION_RUNNER"))
        return qEnvironmentVariable("RECURSION_RUNNER");
    const QString folder = QCoreApplication::applicationDirPath();
    const QString installed = folder + u"/../libexec/recursion-lessons/recursion-runner"_qs;
    return QFileInfo::exists(installed) ? QDir::cleanPath(installed)
                                        : folder + u"/recursion-runner"_qs;
}

void runOwnCode(OwnProgram program, OwnRun &run, QWidget *parent)
{
    QProcess runner;
    runner.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    runner.start(ownRunnerPath(),
                 {program == OwnProgram::Figures ? u"--figures"_qs : u"--verses"_qs});
    if (!runner.waitForStarted()) {
        run.fail({u"Не удалось запустить Python: "_qs + runner.errorString(), 0, {}});
        run.finish();
        return;
    }
    runner.write(run.code().toUtf8());
    runner.closeWriteChannel();

    RecordReader reader(run);
    QElapsedTimer clock;
    clock.start();
    std::unique_ptr<QProgressDialog> progress;
    bool cancelled = false;
    while (!reader.ended()) {
        if (runner.bytesAvailable() == 0 && runner.state() == QProcess::Running)
            runner.waitForReadyRead(50);
        if (runner.bytesAvailable() == 0 && runner.state() != QProcess::Running)
            break;
        reader.take(runner.readAllStandardOutput());
        if (!progress && clock.elapsed() > 500) {
            progress = std::make_unique<QProgressDialog>(u"Выполняется процедура…"_qs, u"Отмена"_qs,
                                                         0, 0, parent);
            progress->setWindowModality(Qt::WindowModal);
            progress->setMinimumDuration(0);
            progress->show();
        }
        if (progress) {
            QCoreApplication::processEvents();
            if ((cancelled = progress->wasCanceled()))
                break;
        }
    }
    if (reader.ended() && !reader.damaged() && !runner.waitForFinished(1000))
        runner.kill(); // it ends at once after the record's last event
    if (!reader.ended() || reader.damaged()) {
        if (!cancelled && !reader.damaged())
            runner.waitForFinished();
        runner.kill();
        runner.waitForFinished();
        const QString failure = cancelled ? u"Выполнение прервано."_qs
                : reader.damaged() ? u"Запись выполнения повреждена."_qs
                : runner.exitStatus() == QProcess::CrashExit
                ? u"Программа завершилась аварийно (сигнал %1)."_qs.arg(runner.exitCode())
                : u"Программа завершилась аварийно (код %1)."_qs.arg(runner.exitCode());
        run.fail({failure, 0, {}});
    }
    run.finish();
}
