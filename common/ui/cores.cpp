#include "common/ui/cores.h"

CoresCompartilhadas& cores()
{
    static CoresCompartilhadas c;
    return c;
}
