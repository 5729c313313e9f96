#pragma once

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QScreen>
#include <QTest>
#include <QTimer>

#include <optional>

// Answers the program's real modal dialogs while a command runs: types a
// prepared answer into the next prompt (or cancels it), and closes every
// error report after noting what it said.
class DialogDriver
{
public:
    DialogDriver()
    {
        QObject::connect(&timer, &QTimer::timeout, [this] { answer(); });
        timer.start(5);
    }

    // The next prompt gets this text typed and confirmed; nullopt cancels it.
    void nextAnswer(std::optional<QString> text)
    {
        answerPending = true;
        typed = std::move(text);
        reportText.clear();
    }

    // The next file dialog chooses this file; nullopt cancels it.
    void nextFile(std::optional<QString> path)
    {
        filePending = true;
        file = std::move(path);
        reportText.clear();
    }

    QStringList prompt;     // label, title, text at the start, the two buttons
    QStringList fileDialog; // title, the file it proposed
    QString reportTitle, reportText;
    Qt::TextFormat reportFormat = Qt::AutoText;
    // Whether the last prompt and report came up active, with the keyboard focus in them.
    bool promptHadFocus = false, reportHadFocus = false;
    int prompts = 0;

private:
    void answer()
    {
        QWidget *modal = QApplication::activeModalWidget();
        // A dialog is answered once it is the active window, or after a second without that.
        ticksWaited = modal == waitingFor ? ticksWaited + 1 : 0;
        waitingFor = modal;
        if (!modal || !(modal->isActiveWindow() || ticksWaited > 200))
            return;
        const bool focused
                = modal->isActiveWindow() && modal->isAncestorOf(QApplication::focusWidget());
        if (auto *input = qobject_cast<QInputDialog *>(modal); input && answerPending) {
            answerPending = false;
            ++prompts;
            promptHadFocus = focused && qobject_cast<QLineEdit *>(QApplication::focusWidget());
            prompt = {input->labelText(), input->windowTitle(), input->textValue(),
                      input->okButtonText(), input->cancelButtonText()};
            if (typed)
                input->setTextValue(*typed);
            input->done(typed ? QDialog::Accepted : QDialog::Rejected);
        } else if (auto *files = qobject_cast<QFileDialog *>(modal); files && filePending) {
            filePending = false;
            fileDialog = {files->windowTitle(), files->selectedFiles().value(0)};
            if (file) {
                // Typed into the name field, as a person would, then Save.
                files->findChild<QLineEdit *>(u"fileNameEdit"_qs)->setText(*file);
                static_cast<QDialog *>(files)->accept();
            } else {
                files->reject();
            }
        } else if (auto *report = qobject_cast<QMessageBox *>(modal)) {
            reportHadFocus = focused;
            reportTitle = report->windowTitle();
            reportText = report->text();
            reportFormat = report->textFormat();
            report->accept();
        }
    }

    QTimer timer;
    QWidget *waitingFor = nullptr;
    int ticksWaited = 0;
    bool answerPending = false, filePending = false;
    std::optional<QString> typed, file;
};

const QRgb white = qRgb(255, 255, 255);

// The widget that takes the focus after this one when Tab is pressed.
inline QWidget *nextInTabOrder(QWidget *widget)
{
    do
        widget = widget->nextInFocusChain();
    while (widget->focusPolicy() == Qt::NoFocus);
    return widget;
}

// The bounding box of everything in the area that is not white.
inline QRect inkBounds(const QImage &image, QRect area = {})
{
    QRect bounds;
    area = area.isNull() ? image.rect() : area;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (image.pixel(x, y) != white)
                bounds |= QRect(x, y, 1, 1);
    return bounds;
}

// The window as the X server shows it, saved into build/screenshots/.
inline QImage screenshot(QWidget *window, const QString &name)
{
    QTest::qWait(100); // let the server show the last paint
    const QRect frame = window->geometry();
    const QImage shot = window->screen()
                                ->grabWindow(0, frame.x(), frame.y(), frame.width(), frame.height())
                                .toImage()
                                .convertToFormat(QImage::Format_RGB32);
    const QDir folder(QCoreApplication::applicationDirPath() + u"/../screenshots"_qs);
    folder.mkpath(u"."_qs);
    shot.save(folder.filePath(name));
    return shot;
}
