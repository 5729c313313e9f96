// The box around the class's own code: each layer on its own against the actions it
// forbids (boxprobe), and a hostile student's programs run by the real runner, each
// ending in a message or as a normal run, with the test's canary file, a sibling
// process, the test itself and two listeners untouched. No test here signals anything
// but single processes it started itself.
#include "callswindow.h"
#include "codeeditor.h"
#include "figurewindow.h"
#include "ownrunner.h"
#include "ownwindow.h"
#include "picturebox.h"
#include "rhymewindow.h"
#include "windowtest.h"

#include <QDir>
#include <QLabel>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <cstddef>
#include <cstring>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/syscall.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

volatile std::sig_atomic_t signalled = 0;
void noteSignal(int)
{
    signalled = signalled + 1;
}

// A listening socket that nobody should reach; accepting never waits.
int listenOn(sockaddr *address, socklen_t length)
{
    const int s = socket(address->sa_family, SOCK_STREAM | SOCK_NONBLOCK, 0);
    if (s < 0 || bind(s, address, length) != 0 || listen(s, 8) != 0)
        return -1;
    return s;
}

int reached(int listener)
{
    int count = 0;
    for (int s; (s = accept(listener, nullptr, nullptr)) >= 0; ++count)
        close(s);
    return count;
}

const char denied[] = "программе нельзя работать с файлами, процессами и сетью";

} // namespace

class TestOwnBox : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase() { sibling.kill(), sibling.waitForFinished(); }
    void layers_data();
    void layers();
    void hostilePrograms_data();
    void hostilePrograms();
    void inThePrograms_data();
    void inThePrograms();

private:
    QString fill(QString text) const;
    void checkUntouched(int expectedReached = 0);

    QTemporaryDir folder;
    QString canary;
    QProcess sibling;
    int tcp = -1, abstract = -1;
    quint16 port = 0;
    QByteArray abstractName = "recursion-lessons-" + QByteArray::number(getpid());
    int kernelLandlock = 0;
};

void TestOwnBox::initTestCase()
{
    qputenv("RECURSION_RUNNER", RUNNER_PATH);
    std::signal(SIGUSR1, noteSignal);
    canary = folder.filePath(u"canary.txt"_qs);
    QFile file(canary);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write("canary") == 6);
    file.close();
    sibling.start(u"sleep"_qs, {u"600"_qs});
    QVERIFY(sibling.waitForStarted());

    sockaddr_in inet{};
    inet.sin_family = AF_INET;
    inet.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    tcp = listenOn(reinterpret_cast<sockaddr *>(&inet), sizeof inet);
    socklen_t length = sizeof inet;
    QVERIFY(tcp >= 0 && getsockname(tcp, reinterpret_cast<sockaddr *>(&inet), &length) == 0);
    port = ntohs(inet.sin_port);
    sockaddr_un local{};
    local.sun_family = AF_UNIX;
    std::memcpy(local.sun_path + 1, abstractName.constData(), size_t(abstractName.size()));
    abstract = listenOn(reinterpret_cast<sockaddr *>(&local),
                        socklen_t(offsetof(sockaddr_un, sun_path) + 1 + abstractName.size()));
    QVERIFY(abstract >= 0);

    kernelLandlock = std::max(0, int(syscall(SYS_landlock_create_ruleset, nullptr, 0, 1)));
    qInfo("The kernel's Landlock ABI: %d", kernelLandlock);
}

QString TestOwnBox::fill(QString text) const
{
    return text.replace(u"{canary}"_qs, canary)
            .replace(u"{folder}"_qs, folder.path())
            .replace(u"{parent}"_qs, QString::number(getpid()))
            .replace(u"{sibling}"_qs, QString::number(sibling.processId()))
            .replace(u"{port}"_qs, QString::number(port))
            .replace(u"{abstract}"_qs, QString::fromLatin1(abstractName));
}

// The canary as made, nothing new in its folder, the sibling and the test unsignalled,
// the listeners reached only as often as a layer allows.
void TestOwnBox::checkUntouched(int expectedReached)
{
    QFile file(canary);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("canary"));
    QCOMPARE(QDir(folder.path()).entryList(QDir::Files), QStringList{u"canary.txt"_qs});
    QCOMPARE(sibling.state(), QProcess::Running);
    QCOMPARE(int(signalled), 0);
    QCOMPARE(reached(tcp) + reached(abstract), expectedReached);
}

void TestOwnBox::layers_data()
{
    QTest::addColumn<QString>("layers");
    for (const char *layers : {"seccomp", "landlock", "both"})
        QTest::newRow(layers) << QString::fromLatin1(layers);
}

// Each layer refuses what it forbids on its own; seccomp whatever the kernel's Landlock.
void TestOwnBox::layers()
{
    QFETCH(QString, layers);
    const bool landlockOnly = layers == u"landlock";
    const int abi = landlockOnly ? kernelLandlock : 0;
    if (landlockOnly && abi == 0)
        QSKIP("the kernel has no Landlock");
    QStringList targets{u"read=/etc/passwd"_qs, fill(u"create={folder}"_qs),
                        fill(u"remove={canary}"_qs), fill(u"rename={canary}"_qs),
                        fill(u"tcp={port}"_qs)};
    if (!landlockOnly || abi >= 6) // the signals would land: scoped from ABI 6
        targets << fill(u"abstract={abstract}"_qs) << fill(u"signal={parent}"_qs)
                << fill(u"signal={sibling}"_qs);
    targets << u"fork=1"_qs << u"exec=/bin/true"_qs;
    QProcess probe;
    probe.start(QStringLiteral(BOXPROBE_PATH), QStringList{layers} + targets);
    QVERIFY(probe.waitForFinished());
    const QStringList lines = QString::fromUtf8(probe.readAllStandardOutput()).split(u'\n');
    qInfo() << layers << lines.first();
    QCOMPARE(lines.size(), targets.size() + 2);
    for (qsizetype i = 0; i < targets.size(); ++i) {
        const QString name = targets[i].section(u'=', 0, 0);
        // Landlock alone lets the process fork, and reach TCP below ABI 4.
        const bool allowed = landlockOnly && (name == u"fork" || (name == u"tcp" && abi < 4));
        QCOMPARE(lines[i + 1], name + (allowed ? u": allowed"_qs : u": refused"_qs));
    }
    checkUntouched(landlockOnly && abi < 4 ? 1 : 0);
}

void TestOwnBox::hostilePrograms_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("failure"); // how the message starts; empty for a normal run
    QTest::addColumn<QString>("printed");
    const QString line3 = u"Строка 3: "_qs + QString::fromUtf8(denied);
    QTest::newRow("os.system writes a file")
            << "import random\nprint(random._os.system('echo x > {folder}/escaped.txt') != 0)\n"
            << QString() << "True\n";
    QTest::newRow("the canary removed through __globals__")
            << "import random\nos = random.randint.__func__.__globals__['_os']\n"
               "os.remove('{canary}')\n"
            << line3 << "";
    QTest::newRow("/etc/passwd through __subclasses__")
            << "classes = [object]\nfor c in classes:\n"
               "    classes += [s for s in type.__subclasses__(c) if s not in classes]\n"
               "FileIO = [c for c in classes if c.__name__ == 'FileIO'][0]\n"
               "print(FileIO('/etc/passwd').read(10))\n"
            << u"Строка 5: "_qs + QString::fromUtf8(denied) << "";
    QTest::newRow("os.kill of the parent and a sibling")
            << "import random\nfor pid in ({sibling}, {parent}):\n    try:\n"
               "        random._os.kill(pid, 9)\n    except OSError as e:\n"
               "        print(e.errno)\n"
            << QString() << "1\n1\n";
    QTest::newRow("TCP and an abstract socket through the importer")
            << "import random\nimporter = random._os.sys.modules['_frozen_importlib']\n"
               "socket = importer._gcd_import('socket')\n"
            << u"Строка 3: "_qs << "";
    QTest::newRow("TCP and an abstract socket through a shell")
            << "import random\nsystem = random._os.system\n"
               "print(system('exec 3<>/dev/tcp/127.0.0.1/{port}') != 0)\n"
               "print(system('python3 -c \"import socket; socket.socket(socket.AF_UNIX)"
               ".connect(chr(0) + \\'{abstract}\\')\"') != 0)\n"
            << QString() << "True\nTrue\n";
    QTest::newRow("twenty forks") << "import random\nfor i in range(20):\n"
                                     "    if random._os.fork() == 0:\n        random._os._exit(0)\n"
                                  << line3 << "";
    QTest::newRow("execv") << "import random\n\n"
                              "random._os.execv('/bin/sh', ['sh', '-c', 'echo > {folder}/x'])\n"
                           << line3 << "";
    QTest::newRow("random bytes into the record")
            << "import random\nrandom.seed(7)\nrandom._os.write(3, random.randbytes(10 ** 7))\n"
            << u"Запись прогона повреждена: "_qs << "";
    QTest::newRow("a string of 2 GB") << "x = 'a' * 2 ** 31\n"
                                      << u"Строка 1: не хватило памяти"_qs << "";
    QTest::newRow("reading standard input") << "import random\nx = 1\nrandom._os.read(0, 100)\n"
                                            << line3 << "";
    QTest::newRow("random numbers, freshly seeded")
            << "import random\nrandom.seed()\nprint(random.randint(1, 1), "
               "len(random.randbytes(3)), random.SystemRandom().randint(2, 2))\n"
            << QString() << "1 3 2\n";
    QTest::newRow("its environment and descriptors")
            << "import random\nos = random._os\nprint(sorted(os.environ))\nfds = []\n"
               "for fd in range(4, 64):\n    try:\n        os.fstat(fd)\n        fds.append(fd)\n"
               "    except OSError:\n        pass\nprint(fds)\n"
            << QString() << "['LC_ALL']\n[]\n";
    QTest::newRow("a record past 150 MB by hand")
            << "import random\nevent = b'P\\x80\\x80\\x80\\x30' + b'x' * 100663296\n"
               "random._os.write(3, event)\nrandom._os.write(3, event)\n"
            << u"Запись прогона повреждена: запись длиннее 150 МБ"_qs << "";
}

void TestOwnBox::hostilePrograms()
{
    QFETCH(QString, code);
    QFETCH(QString, failure);
    QFETCH(QString, printed);
    OwnRun run(fill(code));
    runOwnCode(OwnProgram::Figures, run, nullptr);
    QCOMPARE(run.guard(),
             kernelLandlock > 0 ? u"Защита: seccomp, Landlock %1"_qs.arg(kernelLandlock)
                                : u"Защита: seccomp"_qs);
    QCOMPARE(run.failure() ? run.failure()->message.left(failure.size()) : QString(), failure);
    QCOMPARE(run.damaged(), failure.startsWith(u"Запись"_qs));
    if (!run.damaged()) // a damaged record is shown nowhere
        QCOMPARE(run.printed().join(QString()), printed);
    checkUntouched();
}

void TestOwnBox::inThePrograms_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("failure");
    QTest::addColumn<bool>("versePrinted"); // countdown shows the verse printed before the limit
    QTest::newRow("a damaged record")
            << "import random\nrandom.seed(7)\nrandom._os.write(3, random.randbytes(10 ** 6))\n"
            << u"Запись прогона повреждена: "_qs << false;
    QTest::newRow("a string of 2 GB") << "x = 'a' * 2 ** 31\n"
                                      << u"Строка 1: не хватило памяти"_qs << false;
    QTest::newRow("reading standard input")
            << "import random\nrandom._os.read(0, 100)\n"
            << u"Строка 2: "_qs + QString::fromUtf8(denied) << false;
    QTest::newRow("a flood of print") << "while True:\n    print('негритят ' * 100)\n"
                                      << u"Строка 2: запись выполнения превысила 150 МБ"_qs << true;
}

// After a hostile run each program is alive, with its message; the picture or the verse
// as before, and after a damaged record the calls as well.
void TestOwnBox::inThePrograms()
{
    QFETCH(QString, code);
    QFETCH(QString, failure);
    QFETCH(bool, versePrinted);
    RandomColours colours;
    figdraw::Form1 figures(colours);
    countdown::Form1 verses;
    for (QWidget *form : std::initializer_list<QWidget *>{&figures, &verses}) {
        auto *own = form->findChild<OwnProcedureWindow *>();
        const auto shown = [&] {
            return form == &figures ? QVariant(figures.Picture1->picture())
                                    : QVariant(verses.Text1->toPlainText());
        };
        own->runAction()->trigger(); // the example the window opens with
        QVERIFY2(own->messages->toPlainText().startsWith(u"Защита: seccomp"_qs),
                 qPrintable(own->messages->toPlainText()));
        menuItem(form, u"Показать вызовы"_qs)->trigger();
        auto *calls = form->findChild<CallsWindow *>();
        const QVariant before = shown();
        const QString heading = calls->heading->text();
        own->editor->setPlainText(code);
        own->runAction()->trigger();
        QVERIFY2(own->messages->toPlainText().contains(u'\n' + failure)
                         || own->messages->toPlainText().startsWith(failure),
                 qPrintable(own->messages->toPlainText().left(300)));
        QCOMPARE(shown() == before, form == &figures || !versePrinted);
        if (failure.startsWith(u"Запись"_qs)) // the calls too, where nothing of the run is shown
            QCOMPARE(calls->heading->text(), heading);
        QCOMPARE(own->editor->toPlainText(), code);
        QVERIFY2(!own->messages->toPlainText().contains(u"Защита"_qs), "told once");
    }
}

QTEST_MAIN(TestOwnBox)
#include "tst_ownbox.moc"
