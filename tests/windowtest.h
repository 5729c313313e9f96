#pragma once

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressDialog>
#include <QScreen>
#include <QTest>
#include <QTimer>

#include <optional>

// Answers the real modal dialogs while a command runs: types the answer into the next
// prompt or file dialog (nullopt cancels), notes and closes every error report, and
// cancels every progress dialog.
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
        asked.clear();
        reportText.clear();
    }

    // A prompt's label, title, text at the start and buttons; a file dialog's title and file.
    QStringList asked;
    QString reportTitle, reportText;
    Qt::TextFormat reportFormat = Qt::AutoText;
    // Whether the last prompt and report came up active, with the keyboard focus in them.
    bool promptHadFocus = false, reportHadFocus = false;

private:
    void answer()
    {
        QWidget *modal = QApplication::activeModalWidget();
        // A dialog is answered once it is the active window, or after a second without that.
        ticksWaited = modal == waitingFor ? ticksWaited + 1 : 0;
        waitingFor = modal;
        if (!modal || !(modal->isActiveWindow() || ticksWaited > 200))
            return;
        if (auto *report = qobject_cast<QMessageBox *>(modal)) {
            reportHadFocus
                    = modal->isActiveWindow() && modal->isAncestorOf(QApplication::focusWidget());
            reportTitle = report->windowTitle();
            reportText = report->text();
            reportFormat = report->textFormat();
            report->accept();
            return;
        }
        if (auto *progress = qobject_cast<QProgressDialog *>(modal)) {
            progress->cancel();
            return;
        }
        if (!answerPending)
            return;
        answerPending = false;
        auto *dialog = static_cast<QDialog *>(modal);
        if (auto *input = qobject_cast<QInputDialog *>(modal)) {
            promptHadFocus = modal->isActiveWindow()
                    && qobject_cast<QLineEdit *>(QApplication::focusWidget());
            asked = {input->labelText(), input->windowTitle(), input->textValue(),
                     input->okButtonText(), input->cancelButtonText()};
            input->setTextValue(typed.value_or(QString()));
        } else if (auto *files = qobject_cast<QFileDialog *>(modal)) {
            asked = {files->windowTitle(), files->selectedFiles().value(0)};
            // Typed into the name field, as a person would; "name|type" also picks the type.
            const QStringList parts = typed.value_or(QString()).split(u'|');
            if (parts.size() > 1) {
                files->selectNameFilter(parts[1]);
                emit files->filterSelected(parts[1]);
            }
            files->findChild<QLineEdit *>(u"fileNameEdit"_qs)->setText(parts[0]);
        } else {
            asked = {modal->windowTitle()};
        }
        typed ? dialog->accept() : dialog->reject();
    }

    QTimer timer;
    QWidget *waitingFor = nullptr;
    int ticksWaited = 0;
    bool answerPending = false;
    std::optional<QString> typed;
};

const QRgb white = qRgb(255, 255, 255);

// Whether Tab moves the focus through the widgets in this order.
inline bool inTabOrder(const QList<QWidget *> &widgets)
{
    for (qsizetype i = 0; i + 1 < widgets.size(); ++i) {
        QWidget *next = widgets[i]->nextInFocusChain();
        while (next->focusPolicy() == Qt::NoFocus)
            next = next->nextInFocusChain();
        if (next != widgets[i + 1])
            return false;
    }
    return true;
}

// The item of the window's menus with this text.
inline QAction *menuItem(QWidget *window, const QString &text)
{
    for (QAction *action : window->findChildren<QAction *>())
        if (action->text() == text)
            return action;
    return nullptr;
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
    QImage shot = window->screen()
                          ->grabWindow(window->winId())
                          .toImage()
                          .convertToFormat(QImage::Format_RGB32);
    const QDir folder(QCoreApplication::applicationDirPath() + u"/../screenshots"_qs);
    folder.mkpath(u"."_qs);
    shot.save(folder.filePath(name));
    return shot;
}
