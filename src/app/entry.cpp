#include "app/entry.h"

int kalvo_main(int, char**)
{
    return 0;
}
