#include "ownrunner.h"
#include "recordreader.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QProgressDialog>
#include <QTemporaryDir>

#include <memory>
#include <signal.h>
#include <unistd.h>

namespace {

// Long past the runner's own time limit (5 s of its processor time, 15 s on the clock):
// a runner still going then is stopped from here.
constexpr int deadlineMs = 17'000;

// Only what Python needs: text in UTF-8.
QProcessEnvironment runnerEnvironment()
{
    QProcessEnvironment environment;
    environment.insert(u"LC_ALL"_qs, u"C.UTF-8"_qs);
    return environment;
}

// The runner and anything it might start end together: it leads a process group of its own.
void endRunner(QProcess &runner)
{
    if (const qint64 pid = runner.processId(); pid > 1)
        ::kill(pid_t(-pid), SIGKILL);
    runner.kill();
    runner.waitForFinished();
}

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
    const QTemporaryDir folder; // its working folder: empty, its own, gone after the run
    QProcess runner;
    runner.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    runner.setProcessEnvironment(runnerEnvironment());
    runner.setWorkingDirectory(folder.path());
    runner.setChildProcessModifier([] {
        setpgid(0, 0);
        close_range(3, ~0U, CLOSE_RANGE_CLOEXEC); // nothing of the program's reaches it
    });
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
    bool late = false;
    while (!reader.ended()) {
        if (runner.bytesAvailable() == 0 && runner.state() == QProcess::Running)
            runner.waitForReadyRead(50);
        if (runner.bytesAvailable() == 0 && runner.state() != QProcess::Running)
            break;
        reader.take(runner.readAllStandardOutput());
        if (!progress && clock.elapsed() > 500) {
            progress = std::make_unique<QProgressDialog>(u"Выполняется процедура…"_qs, u"Отмена"_qs,
                                                         0, 0, parent);
            progress->setWindowTitle(u"Своя процедура"_qs);
            progress->setWindowModality(Qt::WindowModal);
            progress->setMinimumDuration(0);
            progress->show();
        }
        if (progress) {
            QCoreApplication::processEvents();
            if ((cancelled = progress->wasCanceled()))
                break;
        }
        if ((late = clock.elapsed() > deadlineMs))
            break;
    }
    if (reader.ended() && !reader.damaged() && !runner.waitForFinished(1000))
        endRunner(runner); // it ends at once after the record's last event
    if (!reader.ended() || reader.damaged()) {
        if (!cancelled && !late && !reader.damaged())
            runner.waitForFinished();
        endRunner(runner);
        const bool crashed = runner.exitStatus() == QProcess::CrashExit;
        const QString failure = cancelled ? u"Выполнение прервано."_qs
                : late ? u"Программа работает слишком долго и остановлена."_qs
                : reader.damaged() ? u"Запись прогона повреждена: %1."_qs.arg(reader.damage())
                : crashed ? u"Программа завершилась аварийно (сигнал %1)."_qs.arg(runner.exitCode())
                          : u"Запись прогона повреждена: запись оборвалась (код %1)."_qs.arg(
                                  runner.exitCode());
        // A record cut short anywhere but between events cannot be trusted.
        if (!cancelled && !late)
            run.setDamaged();
        run.fail({failure, 0, {}});
    }
    run.finish();
}
