#include "ownwindow.h"

#include "callsplace.h"
#include "callswindow.h"
#include "codeeditor.h"
#include "errorreport.h"
#include "programscale.h"
#include "pythonhighlighter.h"
#include "wholefile.h"

#include <QAction>
#include <QEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QStandardPaths>
#include <QStringDecoder>
#include <QTimer>
#include <QVBoxLayout>

namespace {

const QString title = QStringLiteral("Своя процедура");
// The window's frame at 100 %, where there is room: fifteen lines of code and the messages.
constexpr QSize wantedSize(480, 560);
const QString pythonType = QStringLiteral("Python (*.py)");
// A procedure for a lesson is a few kilobytes; a larger file is surely not one.
constexpr qint64 largestFile = qint64(1) << 20; // 1 MiB

// The file's text, read as UTF-8, and an empty reason; or the reason it cannot be read.
std::pair<QString, QString> readText(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {{}, file.errorString()};
    if (file.size() > largestFile)
        return {{}, QStringLiteral("файл больше мегабайта")};
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return {{}, file.errorString()};
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8.decode(bytes);
    if (utf8.hasError())
        return {{}, QStringLiteral("в нём не текст в кодировке UTF-8")};
    return {text, {}};
}

// The user's documents folder, else the home folder.
QString documents()
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return !folder.isEmpty() && QDir(folder).exists() ? folder : QDir::homePath();
}

} // namespace

QList<OwnExample> figureExamples()
{
    return {{QStringLiteral("Окружности по горизонтали"), QStringLiteral(":/examples/ris1.py")},
            {QStringLiteral("Окружности по вертикали"), QStringLiteral(":/examples/ris2.py")},
            {QStringLiteral("Окружности по диагонали"), QStringLiteral(":/examples/diag.py")},
            {QStringLiteral("Снежинка"), QStringLiteral(":/examples/ris.py")},
            {QStringLiteral("Снежинка 6-конечная"), QStringLiteral(":/examples/ris3.py")},
            {QStringLiteral("Салфетка Серпинского"), QStringLiteral(":/examples/treug.py")}};
}

QList<OwnExample> verseExamples()
{
    return {{QStringLiteral("Негритята"), QStringLiteral(":/examples/negr.py")}};
}

OwnProcedureWindow::OwnProcedureWindow(const QString &runText, QList<OwnExample> examples,
                                       QWidget *mainWindow)
    : QWidget(mainWindow, Qt::Tool), editor(new CodeEditor(this)),
      messages(new QPlainTextEdit(this)), runButton(new QPushButton(runText, this)),
      mainWindow(mainWindow), showItem(new QAction(title + u'…', mainWindow)),
      runItem(new QAction(runText, this))
{
    new PythonHighlighter(editor->document());
    editor->setAccessibleName(QStringLiteral("Текст процедуры на Python"));
    messages->setAccessibleName(QStringLiteral("Сообщения"));
    messages->setReadOnly(true);
    runButton->setAccessibleName(runText);

    auto *menus = new QMenuBar(this);
    QMenu *fileMenu = menus->addMenu(QStringLiteral("Файл"));
    fileMenu->addAction(QStringLiteral("Открыть…"), QKeySequence::Open, this,
                        &OwnProcedureWindow::open);
    fileMenu->addAction(QStringLiteral("Сохранить…"), QKeySequence::Save, this, [this] { save(); });
    QMenu *exampleMenu = menus->addMenu(QStringLiteral("Примеры"));
    for (const OwnExample &example : examples)
        exampleMenu->addAction(example.title, this, [this, example] {
            if (askToSave())
                loadExample(example);
        });

    // F5 runs the code in this window, and in any other the action is added to.
    runItem->setShortcut(Qt::Key_F5);
    runItem->setShortcutContext(Qt::WindowShortcut);
    addAction(runItem);
    connect(runItem, &QAction::triggered, this, [this] { emit runRequested(code()); });
    connect(runButton, &QPushButton::clicked, runItem, &QAction::trigger);

    auto *layout = new QVBoxLayout(this);
    layout->setMenuBar(menus);
    layout->addWidget(editor, 3);
    auto *row = new QHBoxLayout;
    row->addWidget(runButton);
    row->addStretch();
    layout->addLayout(row);
    auto *caption = new QLabel(QStringLiteral("Сообщения"), this);
    caption->setBuddy(messages);
    layout->addWidget(caption);
    layout->addWidget(messages, 1);

    connect(editor->document(), &QTextDocument::modificationChanged, this,
            &QWidget::setWindowModified);
    if (!examples.isEmpty())
        loadExample(examples.first());
    else
        setText({}, {});

    showItem->setShortcut(Qt::CTRL | Qt::Key_E);
    mainWindow->addAction(showItem); // its key works in the program's window
    connect(showItem, &QAction::triggered, this, [this] {
        if (!isVisible() && isWindow() && !placeBeside()) {
            emit noRoomBeside(); // it joins the program's window in the lesson view
            if (isWindow())      // else it stays closed
                return;
        }
        show();
        raise();
        activateWindow();
    });
    // The program's window closing takes this one with it.
    mainWindow->installEventFilter(this);
    const ProgramScale *scale = ProgramScale::of(mainWindow);
    setOwnScale(scale ? scale->percent() : 100);
    if (scale)
        connect(scale, &ProgramScale::changed, this, &OwnProcedureWindow::rescale);
}

QString OwnProcedureWindow::code() const
{
    return editor->toPlainText();
}

void OwnProcedureWindow::showMessages(const QString &text)
{
    messages->setPlainText(text);
}

void OwnProcedureWindow::appendMessage(const QString &line)
{
    messages->appendPlainText(line);
}

void OwnProcedureWindow::markLine(int line)
{
    editor->markLine(line);
}

bool OwnProcedureWindow::askToSave()
{
    if (!editor->document()->isModified())
        return true;
    QMessageBox box(QMessageBox::Question, title,
                    QStringLiteral("Сохранить изменения в процедуре?"),
                    QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel,
                    isVisible() ? this : mainWindow);
    ProgramScale::enlarge(&box, mainWindow);
    box.button(QMessageBox::Save)->setText(QStringLiteral("Сохранить"));
    box.button(QMessageBox::Discard)->setText(QStringLiteral("Не сохранять"));
    box.button(QMessageBox::Cancel)->setText(QStringLiteral("Отмена"));
    box.setDefaultButton(QMessageBox::Save);
    switch (box.exec()) {
    case QMessageBox::Save:
        return save();
    case QMessageBox::Discard:
        return true;
    default:
        return false;
    }
}

void OwnProcedureWindow::open()
{
    if (!askToSave())
        return;
    QFileDialog dialog(this, QStringLiteral("Открыть процедуру"),
                       file.isEmpty() ? documents() : QFileInfo(file).path(), pythonType);
    dialog.setFileMode(QFileDialog::ExistingFile);
    if (dialog.exec() == QDialog::Accepted)
        openFile(dialog.selectedFiles().value(0));
}

bool OwnProcedureWindow::openFile(const QString &path)
{
    const auto [text, reason] = readText(path);
    if (!reason.isEmpty()) {
        ErrorReport(this, title,
                    QStringLiteral("Не удалось открыть файл «%1»: %2.")
                            .arg(QDir::toNativeSeparators(path), reason));
        return false;
    }
    setText(text, path);
    return true;
}

// Asks where to save, offering an example unchanged under its own name; false when cancelled
// or the save failed.
bool OwnProcedureWindow::save()
{
    const bool example = !exampleFile.isEmpty() && !editor->document()->isModified();
    const QString name = example ? exampleFile : QStringLiteral("процедура.py");
    QFileDialog dialog(this, QStringLiteral("Сохранить процедуру"),
                       file.isEmpty() ? QDir(documents()).filePath(name) : file, pythonType);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("py"));
    return dialog.exec() == QDialog::Accepted && saveFile(dialog.selectedFiles().value(0));
}

bool OwnProcedureWindow::saveFile(const QString &path)
{
    const QString reason = writeWholeFile(path, code().toUtf8());
    if (!reason.isEmpty()) {
        ErrorReport(this, title,
                    QStringLiteral("Не удалось сохранить файл «%1»: %2.")
                            .arg(QDir::toNativeSeparators(path), reason));
        return false;
    }
    setText(code(), path); // the undo history stays
    return true;
}

void OwnProcedureWindow::loadExample(const OwnExample &example)
{
    QFile resource(example.resource);
    const QString text = resource.open(QIODevice::ReadOnly) ? QString::fromUtf8(resource.readAll())
                                                            : QString();
    setText(text, {});
    exampleFile = QFileInfo(example.resource).fileName();
}

// The title names the file; the text as it is now counts as saved.
void OwnProcedureWindow::setText(const QString &text, const QString &fromFile)
{
    if (text != code())
        editor->setPlainText(text);
    editor->document()->setModified(false);
    editor->markLine(0);
    file = fromFile;
    exampleFile.clear();
    setWindowTitle(file.isEmpty() ? title + QStringLiteral("[*]")
                                  : title + QStringLiteral(" — ") + QFileInfo(file).fileName()
                                   + QStringLiteral("[*]"));
}

void OwnProcedureWindow::setOwnScale(int percent)
{
    own = percent;
    ProgramScale::setScaledFont(this, percent);
    for (QMenu *menu : findChildren<QMenu *>())
        ProgramScale::setScaledFont(menu, percent);
    editor->setPercent(percent);
    setMinimumSize(QSize(320, 280) * percent / 100);
    layout()->activate();
}

// Beside the program's window and the calls window, never over them; at the program's scale
// where it fits, else smaller (see findCallsPlace). In the lesson view the view places it.
bool OwnProcedureWindow::placeBeside()
{
    if (!isWindow())
        return true;
    // Before it is first shown the window's frame is taken to be as the program's window's.
    const QWidget *framed = isVisible() ? static_cast<const QWidget *>(this) : mainWindow;
    const QSize frame = framed->frameGeometry().size() - framed->size();
    const QRect main = mainWindow->frameGeometry();
    QRect taken = main;
    QList<QWidget *> beside;
    for (CallsWindow *calls : mainWindow->findChildren<CallsWindow *>(Qt::FindDirectChildrenOnly))
        if (calls->isWindow() && calls->isVisible()) {
            taken |= calls->frameGeometry();
            beside << calls;
        }
    const ProgramScale *scale = ProgramScale::of(mainWindow);
    const CallsPlace place = findCallsPlace(
            mainWindow->screen()->availableGeometry(), main, taken, scale ? scale->percent() : 100,
            wantedSize, [this, frame](int percent, auto) {
                setOwnScale(percent);
                return minimumSizeHint().expandedTo(minimumSize()) + frame;
            });
    if (!place.found())
        return false;
    beside << mainWindow;
    for (QWidget *window : beside)
        window->move(window->pos() + place.shift);
    setOwnScale(place.percent);
    move(place.frame.topLeft());
    resize(place.frame.size() - frame);
    return true;
}

// At the program's scale, and beside its window again, once the program's window has its
// new size.
void OwnProcedureWindow::rescale()
{
    QMetaObject::invokeMethod(
            this,
            [this] {
                if (isVisible() && !placeBeside())
                    emit noRoomBeside();
                else if (const ProgramScale *scale = ProgramScale::of(mainWindow))
                    setOwnScale(scale->percent());
            },
            Qt::QueuedConnection);
}

// Once the program's window has handled its closing: a close it refused keeps this one open.
bool OwnProcedureWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == mainWindow && event->type() == QEvent::Close)
        QTimer::singleShot(0, this, [this] {
            if (!mainWindow->isVisible())
                close();
        });
    return QWidget::eventFilter(watched, event);
}
