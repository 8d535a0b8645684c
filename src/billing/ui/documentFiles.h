#pragma once

#include <QString>

class QLineEdit;
class QWidget;

namespace korvex::billing {

// The document files of contracts and supplements (RTF).

// Opens the file with the desktop's program for RTF. No file named, a file
// that is not there, or no program that takes it is said in a message;
// false then.
bool openDocumentFile(QWidget *parent, const QString &fileName);

// The file button of a file field: a chooser of RTF files that starts from
// the field's file and writes the chosen one into the field.
void chooseDocumentFile(QWidget *parent, QLineEdit *field);

} // namespace korvex::billing
