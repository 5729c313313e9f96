#include "canvasmenu.h"

#include "figurehistory.h"
#include "picturefile.h"
#include "unfolding.h"

#include <QAction>
#include <QMenu>
#include <QWidget>

CanvasMenu::CanvasMenu(QWidget *window, FigureHistory &history, Unfolding *unfolding,
                       const PictureBox *canvas, std::function<QImage()> picture)
    : QObject(window),
      pictureFile(new PictureFile(window, history, unfolding, canvas, std::move(picture))),
      undoItem(new QAction(QStringLiteral("Отменить рисунок"), window)),
      redoItem(new QAction(QStringLiteral("Вернуть рисунок"), window)), history(history)
{
    undoItem->setShortcut(QKeySequence::Undo);
    redoItem->setShortcuts(
            {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
    window->addActions({undoItem, redoItem}); // so that the shortcuts work wherever the focus is
    updateItems();
    connect(undoItem, &QAction::triggered, unfolding, &Unfolding::finish);
    connect(undoItem, &QAction::triggered, this, [this] {
        this->history.undo();
        emit historyMoved();
    });
    connect(redoItem, &QAction::triggered, this, [this] {
        this->history.redo();
        emit historyMoved();
    });
}

void CanvasMenu::fill(QMenu *menu, const QList<QList<QAction *>> &groups) const
{
    menu->addActions(
            {pictureFile->copy, pictureFile->save, pictureFile->print, pictureFile->animation});
    menu->addSeparator();
    menu->addActions({undoItem, redoItem});
    for (const QList<QAction *> &group : groups) {
        menu->addSeparator();
        menu->addActions(group);
    }
}

void CanvasMenu::updateItems()
{
    undoItem->setEnabled(history.canUndo());
    redoItem->setEnabled(history.canRedo());
    pictureFile->animation->setEnabled(!history.onCanvas().empty());
}
