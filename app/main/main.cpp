// KORVA Rivo: desktop companion for the KORVA CNC motion controller.

#include "app/ui/AppShell.h"
#include "app/ui/ErrorHandler.h"

int main(int argc, char** argv) {
    korva::KorvaApplication app(argc, argv);
    korva::AppShell shell;
    return shell.Run();
}
