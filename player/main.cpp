#include "core/Ft_lumoradvdmain.h"

int main(int argc, char** argv) { return RunPlayer(argc, argv); }
