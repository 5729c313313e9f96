#pragma once

#include "ownrun.h"

class QWidget;

enum class OwnProgram { Figures, Verses };

// Runs the class's own code, run.code(), in a process of its own (recursion-runner),
// feeding what it records into run as it comes, up to the code's end or its failure,
// then finishes the run. A run longer than half a second shows a progress window
// whose "Отмена" stops it, keeping what came so far.
void runOwnCode(OwnProgram program, OwnRun &run, QWidget *parent);

// recursion-runner: $RECURSION_RUNNER when set, else installed beside the program
// (../libexec/recursion-lessons), else next to it (the build tree).
QString ownRunnerPath();
