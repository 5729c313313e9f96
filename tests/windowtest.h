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

// Answers the program's real modal dialogs while a command runs: types the
// prepared answer into the next prompt or file dialog and confirms it (nullopt
// cancels), and closes every error report after noting what it said.
class DialogDriver
{
public:
    DialogDriver()
    {
        QObject::connect(&timer, &QTimer::timeout, [this] { answer(); });
        timer.start(5);
    }

    void nextAnswer(std::optional<QString> text)
    {
        answerPending = true;
        typed = std::move(text);
        reportText.clear();
    }

    // A prompt's label, title, text at the start and buttons; a file dialog's title and file.
    QStringList asked;
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
                = modal->isActiveWindow() && qobject_cast<QLineEdit *>(QApplication::focusWidget());
        if (auto *report = qobject_cast<QMessageBox *>(modal)) {
            reportHadFocus
                    = modal->isActiveWindow() && modal->isAncestorOf(QApplication::focusWidget());
            reportTitle = report->windowTitle();
            reportText = report->text();
            reportFormat = report->textFormat();
            report->accept();
            return;
        }
        if (!answerPending)
            return;
        answerPending = false;
        auto *dialog = static_cast<QDialog *>(modal);
        if (auto *input = qobject_cast<QInputDialog *>(modal)) {
            ++prompts;
            promptHadFocus = focused;
            asked = {input->labelText(), input->windowTitle(), input->textValue(),
                     input->okButtonText(), input->cancelButtonText()};
            input->setTextValue(typed.value_or(QString()));
        } else if (auto *files = qobject_cast<QFileDialog *>(modal)) {
            asked = {files->windowTitle(), files->selectedFiles().value(0)};
            // Typed into the name field, as a person would.
            files->findChild<QLineEdit *>(u"fileNameEdit"_qs)->setText(typed.value_or(QString()));
        }
        if (typed)
            dialog->accept();
        else
            dialog->reject();
    }

    QTimer timer;
    QWidget *waitingFor = nullptr;
    int ticksWaited = 0;
    bool answerPending = false;
    std::optional<QString> typed;
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
