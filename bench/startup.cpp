// The program as a user starts it, ending itself after its first frame.

#include "app/chromalynx.h"
#include "app/program.h"
#include "firstframe.h"

int main(int argc, char *argv[])
{
    return RunChromalynx(argc, argv, [](Chromalynx &window) { new FirstFrame(window); });
}
