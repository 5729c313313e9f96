#pragma once

#include <QApplication>
#include <QContextMenuEvent>
#include <QDir>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QInputDialog>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QProgressDialog>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <optional>

// The tests keep Qt's settings (the file dialog's history) in a scratch folder, never in the
// user's.
inline const QTemporaryDir scratchSettings;
inline const bool settingsMoved = qputenv("XDG_CONFIG_HOME", scratchSettings.path().toLocal8Bit());

// Qt's offscreen platform gets screens side by side: a large one, where the windows open
// and every scale fits; the areas that a 1920 x 1080 and a 1024 x 768 screen leave beside a
// panel; one of double density; a 1280 x 1024 one; and whole 1920 x 1080, 1366 x 768 and
// 1024 x 768 screens for the lesson view.
inline const bool screensGiven = [] {
    QFile file(scratchSettings.filePath(u"screens.json"_qs));
    return qgetenv("QT_QPA_PLATFORM") == "offscreen" && file.open(QIODevice::WriteOnly)
            && file.write(
                       R"({"screens": [{"name": "large", "x": 0, "y": 0, "width": 2560, "height": 1800}, {"name": "hd", "x": 2560, "y": 0, "width": 1920, "height": 1040},
                {"name": "projector", "x": 4480, "y": 0, "width": 1024, "height": 734}, {"name": "dense", "x": 5504, "y": 0, "width": 1600, "height": 1200, "dpr": 2},
                {"name": "sxga", "x": 7104, "y": 0, "width": 1280, "height": 1024}, {"name": "fullhd", "x": 8384, "y": 0, "width": 1920, "height": 1080},
                {"name": "laptop", "x": 10304, "y": 0, "width": 1366, "height": 768}, {"name": "xga", "x": 11670, "y": 0, "width": 1024, "height": 768}]})")
            > 0
            && file.flush()
            && qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + file.fileName().toLocal8Bit());
}();

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
    // The point sizes of their fonts.
    double promptPoints = 0, reportPoints = 0;
    // The title of the last progress dialog cancelled.
    QString progressTitle;

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
            reportPoints = report->font().pointSizeF();
            report->accept();
            return;
        }
        if (auto *progress = qobject_cast<QProgressDialog *>(modal)) {
            progressTitle = progress->windowTitle();
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
            promptPoints = input->font().pointSizeF();
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

// Opens the widget's menu as a right click does, notes its items (a chosen one ends in " ✓";
// none when no menu opens), closes it and then triggers the item with this text, if any.
inline QStringList chooseFromMenu(QWidget *widget, const QString &text = {})
{
    QStringList items;
    bool looked = false;
    QTimer::singleShot(50, widget, [&] {
        looked = true;
        auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        const QList<QAction *> actions = menu ? menu->actions() : QList<QAction *>();
        for (QAction *item : actions)
            items << item->text() + (item->isChecked() ? u" ✓"_qs : QString());
        if (menu)
            menu->close();
        for (QAction *item : actions)
            if (item->text() == text)
                item->trigger();
    });
    const QPoint at(9, 9);
    QContextMenuEvent rightClick(QContextMenuEvent::Mouse, at, widget->mapToGlobal(at));
    QApplication::sendEvent(widget, &rightClick);
    return QTest::qWaitFor([&] { return looked; }) ? items : QStringList();
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

// What the screen shows of the widget (or of an area of it) once the pending paints are done.
inline QImage onScreen(QWidget *widget, QRect area = {})
{
    QTest::qWait(100); // let the server show the last paint
    area = area.isNull() ? widget->rect() : area;
    const QPoint at = widget->mapTo(widget->window(), area.topLeft());
    const QPixmap shot = widget->screen()->grabWindow(widget->window()->winId(), at.x(), at.y(),
                                                      area.width(), area.height());
    return shot.toImage().convertToFormat(QImage::Format_RGB32);
}

// The window as the X server shows it, saved into build/screenshots/.
inline QImage screenshot(QWidget *window, const QString &name)
{
    QImage shot = onScreen(window);
    const QDir folder(QCoreApplication::applicationDirPath() + u"/../screenshots"_qs);
    folder.mkpath(u"."_qs);
    shot.save(folder.filePath(name));
    return shot;
}

// Takes a step of a user scenario that both windows know: a key pressed on the widget,
// "calls" (the calls window opened), "wait", or "tick<" ("tick>"): the first timed step comes
// within 0.4 s of since (not before). Returns false for any other step.
inline bool commonStep(const QString &step, QWidget *widget, const QElapsedTimer &since,
                       const std::function<bool()> &moved)
{
    const std::map<QString, Qt::Key> keys{{u"Space"_qs, Qt::Key_Space},
                                          {u"Right"_qs, Qt::Key_Right},
                                          {u"Left"_qs, Qt::Key_Left},
                                          {u"Esc"_qs, Qt::Key_Escape}};
    const bool shifted = step.startsWith(u"Shift+");
    if (shifted && keys.contains(step.sliced(6)))
        QTest::keyClick(widget, keys.at(step.sliced(6)), Qt::ShiftModifier);
    else if (keys.contains(step))
        QTest::keyClick(widget, keys.at(step));
    else if (step == u"calls")
        menuItem(widget->window(), u"Показать вызовы"_qs)->trigger();
    else if (step == u"wait")
        QTest::qWait(700);
    else if (step.startsWith(u"tick"))
        QTest::qVerify(QTest::qWaitFor(moved) && (since.elapsed() < 400) == (step == u"tick<"),
                       "tick", qPrintable(u"%1 after %2 ms"_qs.arg(step).arg(since.elapsed())),
                       __FILE__, __LINE__);
    return keys.contains(step) || shifted || step == u"calls" || step == u"wait"
            || step.startsWith(u"tick");
}
