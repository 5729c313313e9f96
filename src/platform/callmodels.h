#pragma once

#include "calltrace.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QList>
#include <QPalette>

// The models of the calls window's stack and tree, over the trace of calls.

// The calls waiting at the current call, the first at the top, each but the
// last with the call it waits on.
class CallStackModel : public QAbstractListModel
{
public:
    explicit CallStackModel(const CallTrace &trace, QObject *parent)
        : QAbstractListModel(parent), trace(trace)
    { }

    void setPath(QList<qint32> calls)
    {
        beginResetModel();
        path = std::move(calls);
        endResetModel();
    }
    qint32 call(int row) const { return path.value(row, -1); }

    int rowCount(const QModelIndex &parent) const override
    {
        return parent.isValid() ? 0 : int(path.size());
    }
    QVariant data(const QModelIndex &index, int role) const override
    {
        if (role != Qt::DisplayRole && role != Qt::AccessibleTextRole)
            return {};
        const qint32 call = path[index.row()];
        if (index.row() + 1 == path.size())
            return trace.text(call);
        return trace.text(call)
                + QStringLiteral(" — ждёт вызов %1 из %2")
                          .arg(trace.childRow(path[index.row() + 1]) + 1)
                          .arg(trace.childCount(call));
    }

private:
    const CallTrace &trace;
    QList<qint32> path;
};

// Every call made up to the furthest moment the figure has reached, under the call
// that made it; the calls after the current moment in grey. The internal id of an
// index is its call.
class CallTreeModel : public QAbstractItemModel
{
public:
    explicit CallTreeModel(const CallTrace &trace, QObject *parent)
        : QAbstractItemModel(parent), trace(trace)
    { }

    // Forgets the calls reached.
    void clear()
    {
        beginResetModel();
        reached = current = -1;
        endResetModel();
    }
    // A larger advance of the calls reached rebuilds the tree rather than adding its rows.
    static constexpr qint32 largestStepInPlace = 64;

    // Adds the calls up to this one, a few row by row, more in one reset.
    void reach(qint32 call)
    {
        if (call > reached + largestStepInPlace || reached < 0) {
            beginResetModel();
            reached = call;
            endResetModel();
            return;
        }
        for (; reached < call;) { // each new call is the last child of its parent so far
            const qint32 added = reached + 1;
            const int row = trace.childRow(added);
            beginInsertRows(indexOf(trace.parent(added)), row, row);
            reached = added;
            endInsertRows();
        }
    }
    // The calls after this one are grey; the views repaint.
    void setCurrent(qint32 call) { current = call; }

    QModelIndex indexOf(qint32 call) const
    {
        return call < 0 ? QModelIndex() : createIndex(trace.childRow(call), 0, quintptr(call));
    }
    static qint32 call(const QModelIndex &index) { return qint32(index.internalId()); }

    QModelIndex index(int row, int column, const QModelIndex &parent) const override
    {
        qint32 child = parent.isValid() ? trace.firstChild(call(parent)) : 0;
        for (int r = 0; r < row && child >= 0; ++r)
            child = trace.nextSibling(child);
        return column == 0 && child >= 0 && child <= reached ? createIndex(row, 0, quintptr(child))
                                                             : QModelIndex();
    }
    QModelIndex parent(const QModelIndex &index) const override
    {
        return index.isValid() ? indexOf(trace.parent(call(index))) : QModelIndex();
    }
    int rowCount(const QModelIndex &parent) const override
    {
        if (reached < 0)
            return 0;
        int rows = 0; // the calls made from the top level are the roots
        for (qint32 child = parent.isValid() ? trace.firstChild(call(parent)) : 0;
             child >= 0 && child <= reached; child = trace.nextSibling(child))
            ++rows;
        return rows;
    }
    int columnCount(const QModelIndex &) const override { return 1; }
    QVariant data(const QModelIndex &index, int role) const override
    {
        const qint32 c = call(index);
        if (role == Qt::ForegroundRole && c > current)
            return QApplication::palette().brush(QPalette::Disabled, QPalette::Text);
        if (role != Qt::DisplayRole && role != Qt::AccessibleTextRole)
            return {};
        return trace.treeText(c);
    }

private:
    const CallTrace &trace;
    qint32 reached = -1;
    qint32 current = -1;
};
