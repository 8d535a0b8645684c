#include "app/desktop/AppStart.h"

int main(int argc, char **argv)
{
    return korvex::shell::runDesktop(argc, argv);
}
