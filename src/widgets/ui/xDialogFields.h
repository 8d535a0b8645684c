#pragma once

#include <QList>

class QWidget;

namespace korvex::widgets {

// Where the keyboard is when a dialog opens: in the first field that takes
// typing - a line, a box, a list - unless a field already has it; never on
// a tab bar or a button (bases make their buttons before the fields, so Qt
// would start there). From the last field Tab goes on to the buttons.
void focusFirstField(QWidget *window, const QList<QWidget *> &buttons);
// Does so once, when the window is first shown (with fitFieldsToContent).
void focusFirstFieldOnShow(QWidget *window, const QList<QWidget *> &buttons);

// Sizes the window's single-line fields for what they hold - their longest
// allowed text or their text, within limits - and shows the start of every
// text, not its tail. Pick lists are as wide as their longest entry.
void fitFieldsToContent(QWidget *window);

// Makes the pages (of a stack or tab widget) that hold the field current,
// so that a field named in a message can be seen and typed into.
void bringIntoView(QWidget *field);

} // namespace korvex::widgets
