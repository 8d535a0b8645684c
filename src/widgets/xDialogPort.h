#pragma once

#include <optional>
#include <stdexcept>
#include <string>

namespace korvex::widgets {

// A business object opens its windows through its subsystem's port
// (TReferenceDialogs, TCalcDialogs): an abstract class whose window-layer
// implementation shows the dialogs and whose defaults answer "cancelled".
// These helpers are the one way an operation uses the port.

// The port of an operation that shows a window; an object made without one
// (the command-line tool, a report) refuses such an operation.
template<class Port>
Port &requirePort(Port *port, const char *who)
{
    if (!port)
        throw std::logic_error(std::string(who) + ": this operation needs the dialogs of the window layer");
    return *port;
}

// "New" through the port's edit dialog, which stores the record itself:
// dialog(record, isNew, savedKey) answers whether at least one record was
// stored; newKey receives the key of the last one.
template<class Record, class Dialog>
bool newThroughDialog(Record record, const Dialog &dialog, int *newKey)
{
    int saved = 0;
    const bool stored = dialog(record, true, saved);
    if (stored && newKey)
        *newKey = saved;
    return stored;
}

// "Edit" of a stored record (none: the record is gone, nothing is shown).
template<class Record, class Dialog>
bool editThroughDialog(std::optional<Record> record, const Dialog &dialog)
{
    if (!record)
        return false;
    int saved = 0;
    return dialog(*record, false, saved);
}

} // namespace korvex::widgets
