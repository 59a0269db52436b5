#include "app/entry.h"

int main(int argc, char** argv)
{
    return kalvo_main(argc, argv);
}
