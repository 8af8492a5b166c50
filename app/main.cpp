// The program: Marvolt, a plain-text editor with a multiple-document interface.
#include "app/Startup.h"

int main(int argc, char** argv) { return RunMarvolt(argc, argv); }
