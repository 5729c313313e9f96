#include "calltreepicture.h"

#include "calltreefile.h"
#include "errorreport.h"

#include <QContextMenuEvent>
#include <QMenu>

// The part's menu: opening and folding, the zoom, the counts, saving. Its keys are read by
// keyPressEvent while the part has focus, so they stay the part's own.
void CallTreePicture::makeMenu()
{
    const auto add = [this](const QString &text, const QKeySequence &key, auto slot) {
        QAction *action = actions->addAction(text, this, slot);
        action->setShortcut(key);
        action->setShortcutContext(Qt::WidgetShortcut);
        return action;
    };
    openLevelItem = add(QStringLiteral("Раскрыть на уровень"), Qt::Key_Return,
                        [this] { activate(selectedNode()); });
    openBelowItem = add(QStringLiteral("Раскрыть всё ниже"), Qt::Key_Asterisk, [this] {
        folding.openAll(this->trace, selected);
        userFolded = true;
        refold();
    });
    foldBelowItem = add(QStringLiteral("Свернуть всё ниже"), Qt::Key_Minus, [this] {
        folding.foldAll(this->trace, selected);
        userFolded = true;
        refold();
    });
    actions->addAction(QStringLiteral("Раскрыть все вызовы"), this, &CallTreePicture::openAll);
    actions->addSeparator();
    add(QStringLiteral("Крупнее"), QKeySequence(Qt::CTRL | Qt::Key_Plus),
        [this] { setZoom(scale * zoomStep); });
    add(QStringLiteral("Мельче"), QKeySequence(Qt::CTRL | Qt::Key_Minus),
        [this] { setZoom(scale / zoomStep); });
    add(QStringLiteral("Вписать"), QKeySequence(Qt::CTRL | Qt::Key_0), [this] { fit(); });
    QAction *counts = actions->addAction(QStringLiteral("Числа вызовов под узлами"));
    counts->setCheckable(true);
    connect(counts, &QAction::toggled, this, [this](bool on) {
        painting.setCountsShown(on);
        viewport()->update();
    });
    actions->addSeparator();
    actions->addAction(QStringLiteral("Сохранить дерево…"), this, &CallTreePicture::saveChosen);
}

void CallTreePicture::contextMenuEvent(QContextMenuEvent *event)
{
    const QPoint at = event->reason() == QContextMenuEvent::Mouse
            ? event->pos()
            : nodeRect(std::max(selectedNode(), 0)).center();
    if (const qint32 node = painting.nodeAt(calls, sceneAt(viewport()->mapFrom(this, at)));
        node > 0)
        selected = calls.call[size_t(node)];
    const bool onNode = selectedNode() > 0;
    for (QAction *item : {openLevelItem, openBelowItem, foldBelowItem})
        item->setEnabled(onNode);
    actions->popup(mapToGlobal(at));
}

void CallTreePicture::saveChosen()
{
    const QString path = chooseTreeFile(window());
    if (path.isEmpty())
        return;
    if (const QString reason = saveTo(path); !reason.isEmpty())
        ErrorReport(window(), window()->windowTitle(),
                    QStringLiteral("Не удалось сохранить дерево «%1»: %2.").arg(path, reason));
}

QString CallTreePicture::saveTo(const QString &path)
{
    return writeCallTree(path, painting, calls, moment);
}
