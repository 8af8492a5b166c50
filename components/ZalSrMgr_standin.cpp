// Temporary stand-in for the message-table reader, so that the command tables can be
// built and tested before the real tables arrive. Dropped when they do.
#include "components/ZalSrMgr.h"

std::string LibraryMessage(int number) {
    switch (number) {
    case 30169: return "Duplicate command found while adding a new command to the table";
    case 30170: return "Command table not found or command table index out of range";
    case 30266: return "Grid";
    case 30275: return "Default";
    case 30276: return "WordStar";
    case 30277: return "(Unknown)";
    default: return "Unknown";
    }
}
