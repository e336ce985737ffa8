// The print command in the main window: the "Print Options" window and the system's printers.
#pragma once

#include "app/Commands.h"

class ActionRegistry;
class Printer;
struct Shell;

// The composition root's line for the print command; after the project room's (it prints its
// outline). printer: where the jobs go instead of the system's printers (tests); null: those.
CommandTable installPrinting(ActionRegistry& registry, Shell& context);
// Tests print to their own printer from here.
void setPrintingPrinter(ActionRegistry& registry, Printer* printer);
