#pragma once

namespace korvex::shell {

// Runs the desktop program: login, working connection, main window.
int runDesktop(int argc, char **argv);

} // namespace korvex::shell
