#include "startup.h"

int main(int argc, char **argv)
{
    return runTandrel(argc, argv);
}
