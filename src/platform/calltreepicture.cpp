#include "calltreepicture.h"

#include <QContextMenuEvent>
#include <QMenu>
#include <QPainter>
#include <QScrollBar>
#include <QToolTip>

#include <algorithm>
#include <cmath>

namespace {
// So small that a tree of millions of calls fits a part as dots.
constexpr double smallestZoom = 1e-6, largestZoom = 4;
} // namespace

CallTreePicture::CallTreePicture(const CallTrace &trace, QWidget *parent)
    : QAbstractScrollArea(parent), trace(trace), painting(trace, repeated), actions(new QMenu(this))
{
    setAccessibleName(QStringLiteral("Дерево вызовов рисунком"));
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setMouseTracking(false);
    makeMenu();
    painting.setFont(font());
}

void CallTreePicture::reset()
{
    folding.reset(trace.calls());
    repeated.clear();
    repeatsFound = foldsFitted = userFolded = false;
    moment = {};
    selected = -1;
    relayOut();
}

void CallTreePicture::showMoment(qint32 newest, qint32 current, bool finished)
{
    if (folding.calls() != trace.calls()) // the calls recorded since the last reset
        reset();
    if (!repeatsFound) {
        repeated.find(trace);
        repeatsFound = true;
    }
    fitFolds();
    moment = {newest, current, {}, finished};
    if (!finished && current >= 0) {
        moment.waiting = trace.path(current);
        moment.waiting.removeLast();
    }
    selected = finished ? selected : current;
    relayOut();
    emit repeatsCounted(repeatsFound ? repeated.countUpTo(newest) : 0);
    keepInView(calls.nodeOf(current));
}

void CallTreePicture::openAll()
{
    for (qint32 first = trace.calls() > 0 ? 0 : -1; first >= 0; first = trace.nextSibling(first))
        folding.openAll(trace, first);
    userFolded = true;
    refold();
}

// As many levels open as fit the part at zoom 1, once it has its size.
void CallTreePicture::fitFolds()
{
    if (foldsFitted || !isVisible() || trace.calls() == 0)
        return;
    const QSizeF slot = painting.slotSize();
    folding.fitDefault(trace, trace.calls() - 1,
                       std::max(1, int(viewport()->width() / slot.width())),
                       std::max(1, int(viewport()->height() / slot.height())));
    foldsFitted = true;
}

void CallTreePicture::refold()
{
    relayOut();
    keepInView(selectedNode());
}

void CallTreePicture::relayOut()
{
    calls = folding.shown(trace, moment.newest, moment.finished ? -1 : moment.current);
    updateScrollBars();
    viewport()->update();
    describeSelected();
}

// A screen reader reads the chosen call whole, as its tooltip shows it.
void CallTreePicture::describeSelected()
{
    setAccessibleDescription(selectedNode() > 0 ? painting.description(selected, moment)
                                                : QString());
}

void CallTreePicture::updateScrollBars()
{
    // Within what a scroll bar counts, however large the tree and the zoom.
    const QSizeF whole = (painting.size(calls) * scale).boundedTo(QSizeF(1e9, 1e9));
    horizontalScrollBar()->setRange(
            0, std::max(0, int(std::ceil(whole.width())) - viewport()->width()));
    verticalScrollBar()->setRange(
            0, std::max(0, int(std::ceil(whole.height())) - viewport()->height()));
    horizontalScrollBar()->setPageStep(viewport()->width());
    verticalScrollBar()->setPageStep(viewport()->height());
    horizontalScrollBar()->setSingleStep(20);
    verticalScrollBar()->setSingleStep(20);
}

void CallTreePicture::fit()
{
    const QSizeF whole = painting.size(calls);
    setZoom(std::min(
            {viewport()->width() / whole.width(), viewport()->height() / whole.height(), 1.0}));
}

void CallTreePicture::setZoom(double zoom)
{
    const QPointF centre = sceneAt(viewport()->rect().center());
    scale = std::clamp(zoom, smallestZoom, largestZoom);
    updateScrollBars();
    horizontalScrollBar()->setValue(int(centre.x() * scale - viewport()->width() / 2.0));
    verticalScrollBar()->setValue(int(centre.y() * scale - viewport()->height() / 2.0));
    viewport()->update();
}

// The point of the zoomed tree at the viewport's corner: a tree narrower than the part
// stands in its middle.
QPoint CallTreePicture::scrolled() const
{
    const int narrower = viewport()->width() - int(painting.size(calls).width() * scale);
    return {horizontalScrollBar()->value() - std::max(0, narrower / 2),
            verticalScrollBar()->value()};
}

QPointF CallTreePicture::sceneAt(QPoint point) const
{
    return QPointF(point + scrolled()) / scale;
}

QRect CallTreePicture::nodeRect(qint32 node) const
{
    const QRectF at = painting.box(calls, node);
    return QRectF(at.topLeft() * scale, at.size() * scale).toAlignedRect().translated(-scrolled());
}

// Centred where it is out of sight, else left where it stands.
void CallTreePicture::keepInView(qint32 node)
{
    if (node > 0 && !viewport()->rect().contains(nodeRect(node)))
        centreOn(calls.call[size_t(node)]);
}

void CallTreePicture::centreOn(qint32 call)
{
    const qint32 node = calls.nodeOf(call);
    if (node <= 0)
        return;
    const QPointF centre = painting.box(calls, node).center() * scale;
    horizontalScrollBar()->setValue(int(centre.x() - viewport()->width() / 2.0));
    verticalScrollBar()->setValue(int(centre.y() - viewport()->height() / 2.0));
}

qint32 CallTreePicture::selectedNode() const
{
    return selected >= 0 ? calls.nodeOf(selected) : -1;
}

// A folded call opens a level; any other goes to its call.
void CallTreePicture::activate(qint32 node)
{
    if (node <= 0)
        return;
    const qint32 call = calls.call[size_t(node)];
    selected = call;
    if (calls.folded[size_t(node)]) {
        folding.open(call);
        userFolded = true;
        for (qint32 child = trace.firstChild(call); child >= 0; child = trace.nextSibling(child))
            folding.fold(child);
        refold();
    }
    emit callChosen(call);
}

void CallTreePicture::moveTo(qint32 node)
{
    if (node <= 0)
        return;
    selected = calls.call[size_t(node)];
    keepInView(node);
    viewport()->update();
    describeSelected();
    emit callChosen(selected);
}

void CallTreePicture::paintEvent(QPaintEvent *)
{
    QPainter painter(viewport());
    painter.fillRect(viewport()->rect(), palette().color(QPalette::Base));
    painter.translate(-scrolled());
    const QRectF area(sceneAt(QPoint()), QSizeF(viewport()->size()) / scale);
    painting.paint(painter, calls, moment, area, scale);
    if (const qint32 node = selectedNode(); node > 0 && hasFocus()) {
        painter.setPen(QPen(palette().color(QPalette::Text), 1, Qt::DotLine));
        painter.setBrush(Qt::NoBrush);
        const QRectF at = painting.box(calls, node);
        painter.drawRect(QRectF(at.topLeft() * scale, at.size() * scale).adjusted(-3, -3, 3, 3));
    }
}

void CallTreePicture::resizeEvent(QResizeEvent *event)
{
    QAbstractScrollArea::resizeEvent(event);
    if (!userFolded) // the default again, for the new size
        foldsFitted = false;
    if (!foldsFitted && moment.newest >= 0) {
        fitFolds();
        relayOut();
        keepInView(calls.nodeOf(moment.current));
    }
    updateScrollBars();
}

void CallTreePicture::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return QAbstractScrollArea::mousePressEvent(event);
    if (const qint32 node = painting.nodeAt(calls, sceneAt(event->position().toPoint())); node > 0)
        return activate(node);
    dragging = true;
    dragFrom = event->position().toPoint();
    viewport()->setCursor(Qt::ClosedHandCursor);
}

void CallTreePicture::mouseMoveEvent(QMouseEvent *event)
{
    if (!dragging)
        return QAbstractScrollArea::mouseMoveEvent(event);
    const QPoint by = event->position().toPoint() - dragFrom;
    dragFrom = event->position().toPoint();
    horizontalScrollBar()->setValue(horizontalScrollBar()->value() - by.x());
    verticalScrollBar()->setValue(verticalScrollBar()->value() - by.y());
}

void CallTreePicture::mouseReleaseEvent(QMouseEvent *event)
{
    dragging = false;
    viewport()->unsetCursor();
    QAbstractScrollArea::mouseReleaseEvent(event);
}

void CallTreePicture::wheelEvent(QWheelEvent *event)
{
    if (!(event->modifiers() & Qt::ControlModifier))
        return QAbstractScrollArea::wheelEvent(event);
    const QPointF at = sceneAt(event->position().toPoint());
    scale = std::clamp(scale * std::pow(zoomStep, event->angleDelta().y() / 120.0), smallestZoom,
                       largestZoom);
    updateScrollBars(); // the point under the pointer stays where it is
    horizontalScrollBar()->setValue(int(at.x() * scale - event->position().x()));
    verticalScrollBar()->setValue(int(at.y() * scale - event->position().y()));
    viewport()->update();
}

// Among the shown calls: the arrows go to the caller, the first call made, or the
// neighbours on the same level.
void CallTreePicture::keyPressEvent(QKeyEvent *event)
{
    const qint32 node = selectedNode();
    const bool ctrl = event->modifiers() & Qt::ControlModifier;
    const auto sameLevel = [this, node](int by) {
        for (qint32 other = node + by; other > 0 && other < calls.size(); other += by)
            if (calls.depth[size_t(other)] == calls.depth[size_t(node)])
                return other;
        return qint32(-1);
    };
    switch (event->key()) {
    case Qt::Key_Plus:
    case Qt::Key_Equal:
        return ctrl ? setZoom(scale * zoomStep) : QAbstractScrollArea::keyPressEvent(event);
    case Qt::Key_Minus:
        if (ctrl)
            return setZoom(scale / zoomStep);
        return foldBelowItem->trigger();
    case Qt::Key_0:
        return ctrl ? fit() : QAbstractScrollArea::keyPressEvent(event);
    case Qt::Key_Asterisk:
        return openBelowItem->trigger();
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return activate(node);
    case Qt::Key_Up:
        return moveTo(node > 0 ? calls.parent[size_t(node)] : -1);
    case Qt::Key_Down:
        return moveTo(node > 0 && node + 1 < calls.size() && calls.parent[size_t(node) + 1] == node
                              ? node + 1
                              : -1);
    case Qt::Key_Left:
        return moveTo(node > 0 ? sameLevel(-1) : -1);
    case Qt::Key_Right:
        return moveTo(node > 0 ? sameLevel(1) : -1);
    default:
        QAbstractScrollArea::keyPressEvent(event);
    }
}

// The zoom keys are the part's while it has focus, not the program's scale.
bool CallTreePicture::event(QEvent *event)
{
    if (event->type() == QEvent::ShortcutOverride) {
        auto *key = static_cast<QKeyEvent *>(event);
        const bool zoomKey = key->key() == Qt::Key_Plus || key->key() == Qt::Key_Equal
                || key->key() == Qt::Key_Minus || key->key() == Qt::Key_0;
        if (zoomKey && (key->modifiers() & Qt::ControlModifier)) {
            event->accept();
            return true;
        }
    }
    return QAbstractScrollArea::event(event);
}

bool CallTreePicture::viewportEvent(QEvent *event)
{
    if (event->type() == QEvent::ToolTip) {
        auto *help = static_cast<QHelpEvent *>(event);
        const qint32 node = painting.nodeAt(calls, sceneAt(help->pos()));
        if (node > 0)
            QToolTip::showText(help->globalPos(),
                               painting.description(calls.call[size_t(node)], moment), viewport(),
                               nodeRect(node));
        else
            QToolTip::hideText();
        return true;
    }
    return QAbstractScrollArea::viewportEvent(event);
}

void CallTreePicture::changeEvent(QEvent *event)
{
    QAbstractScrollArea::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        painting.setFont(font());
        relayOut();
    }
}
