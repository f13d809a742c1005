#include "sections.h"

void demo_ring() {}
