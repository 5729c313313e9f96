#pragma once

#include <QApplication>
#include <QDialogButtonBox>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <optional>

// Answers the program's real modal dialogs while a command runs: types a
// prepared answer into the next prompt (or cancels it), and closes every
// error report after noting its title and text.
class DialogDriver
{
public:
    DialogDriver()
    {
        timer.setInterval(5);
        QObject::connect(&timer, &QTimer::timeout, [this] { answer(); });
        timer.start();
    }

    // The next prompt gets this text typed and confirmed; nullopt cancels it.
    void nextAnswer(std::optional<QString> text)
    {
        answerPending = true;
        typed = std::move(text);
    }

    QString promptLabel, promptTitle, promptDefault, okText, cancelText;
    QString reportTitle, reportText;
    Qt::TextFormat reportFormat = Qt::AutoText;
    // Whether the last prompt and report came up as the active window with the keyboard focus.
    bool promptHadFocus = false, reportHadFocus = false;
    // Types the answer key by key and clicks "ОК", as a person would.
    bool likeAPerson = false;
    int prompts = 0;
    int reports = 0;

private:
    // A dialog is answered once it is the active window, or after a second without that.
    bool readyToAnswer(QWidget *dialog)
    {
        if (dialog != waitingFor) {
            waitingFor = dialog;
            ticksWaited = 0;
        }
        return dialog->isActiveWindow() || ++ticksWaited > 200;
    }

    static bool hasFocus(QWidget *dialog)
    {
        return dialog->isActiveWindow() && dialog->isAncestorOf(QApplication::focusWidget());
    }

    void answer()
    {
        QWidget *modal = QApplication::activeModalWidget();
        if (auto *prompt = qobject_cast<QInputDialog *>(modal); prompt && answerPending) {
            if (!readyToAnswer(prompt))
                return;
            promptHadFocus = hasFocus(prompt)
                    && QApplication::focusWidget() == prompt->findChild<QLineEdit *>();
            answerPending = false;
            ++prompts;
            promptLabel = prompt->labelText();
            promptTitle = prompt->windowTitle();
            promptDefault = prompt->textValue();
            okText = prompt->okButtonText();
            cancelText = prompt->cancelButtonText();
            if (likeAPerson && typed) {
                QTest::keyClicks(prompt->findChild<QLineEdit *>(), *typed);
                QTest::mouseClick(buttonCalled(prompt, okText), Qt::LeftButton);
            } else if (typed) {
                prompt->setTextValue(*typed);
                prompt->accept();
            } else {
                prompt->reject();
            }
        } else if (auto *report = qobject_cast<QMessageBox *>(modal)) {
            if (!readyToAnswer(report))
                return;
            reportHadFocus = hasFocus(report);
            ++reports;
            reportTitle = report->windowTitle();
            reportText = report->text();
            reportFormat = report->textFormat();
            report->accept();
        }
    }

    static QPushButton *buttonCalled(QWidget *dialog, const QString &text)
    {
        for (QPushButton *button : dialog->findChildren<QPushButton *>())
            if (button->text() == text)
                return button;
        return nullptr;
    }

    QTimer timer;
    QWidget *waitingFor = nullptr;
    int ticksWaited = 0;
    bool answerPending = false;
    std::optional<QString> typed;
};
