#pragma once

#include "proceduretext.h"

class CallTrace;
class FigureRecord;

// What the record of a figure knows of one of its calls, for the calls window: the
// shapes it drew, each line with both its ends, and the values its procedure
// computed on the way, read back from those shapes.
CallFacts figureFacts(const FigureRecord &record, const CallTrace &trace, qint32 call);
