#pragma once

// What the benchmark's parts share: the runs, timing a piece of work, timing it until the
// windows are painted, peak memory, and the largest figure each figure button draws.
#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QString>
#include <QWidget>

#include <sys/resource.h>

#include <algorithm>
#include <functional>

constexpr int runs = 5;

// Milliseconds for one go of the work, the best of several runs. Small work
// is repeated within a run until the run takes about 20 ms.
inline double bestOf(const std::function<void()> &work)
{
    QElapsedTimer trial;
    trial.start();
    work();
    const qint64 once = std::max<qint64>(trial.nsecsElapsed(), 1);
    const qint64 repeats = std::clamp<qint64>(20'000'000 / once, 1, 100'000);
    double best = 1e300;
    for (int run = 0; run < runs; ++run) {
        QElapsedTimer timer;
        timer.start();
        for (qint64 i = 0; i < repeats; ++i)
            work();
        best = std::min(best, double(timer.nsecsElapsed()) / 1e6 / double(repeats));
    }
    return best;
}

inline long peakKilobytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// Milliseconds from the work to the windows painted as they then stand.
inline double untilShown(const std::function<void()> &work, const QList<QWidget *> &windows)
{
    QElapsedTimer timer;
    timer.start();
    work();
    QApplication::processEvents(); // a chosen call is gone to once the view is done with the click
    for (QWidget *window : windows)
        window->grab();
    return double(timer.nsecsElapsed()) / 1e6;
}

// The largest figure each figure button draws, with the size typed for it.
inline const struct
{
    const char *name;
    int button;
    QString size;
} largestOnButtons[] = {{"horizontal chain R=33252.5", 1, u"33252.5"_qs},
                        {"diagonal chain R=33252.5", 8, u"33252.5"_qs},
                        {"snowflake d=5119.99", 2, u"5119.99"_qs},
                        {"six-armed d=32804.99", 5, u"32804.99"_qs}};

inline QAction *item(QWidget *window, const QString &text)
{
    for (QAction *action : window->findChildren<QAction *>())
        if (action->text() == text)
            return action;
    return nullptr;
}

// The window measurements, in windowbench.cpp.
void measureCalls();
void measureLines();
void measureScale();
void measureLessonView();
// In ownbench.cpp.
void measureOwnProcedure();
void measureDrawnTree();
