#pragma once

#include <QApplication>
#include <QDialogButtonBox>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QLineEdit>
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
    // Types the answer key by key and clicks "ОК", as a person would.
    bool likeAPerson = false;
    int prompts = 0;
    int reports = 0;

private:
    void answer()
    {
        QWidget *modal = QApplication::activeModalWidget();
        if (auto *prompt = qobject_cast<QInputDialog *>(modal); prompt && answerPending) {
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
            ++reports;
            reportTitle = report->windowTitle();
            reportText = report->text();
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
    bool answerPending = false;
    std::optional<QString> typed;
};
