#include "cleanup/ProgramMain.h"

int main(int argc, char* argv[]) { return Kestrova_Orvane::ProgramMain(argc, argv); }
