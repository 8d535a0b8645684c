#pragma once

#include <QString>

class QApplication;

namespace korvex::db {
class EDatabaseError;
}

namespace korvex::shell {

// Runs the desktop program: login, working connection, main window.
int runDesktop(int argc, char **argv);

// What the user reads when the program cannot start on its database: what
// happened and where (the path), in Russian. A start-up account the server
// refuses keeps its own text.
QString startupFailureText(const korvex::db::EDatabaseError &error);
// Shows a start-up failure in a message box and writes the same to stderr.
void reportStartupFailure(const QString &text);

} // namespace korvex::shell
