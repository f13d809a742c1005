#include "sections.h"

void demo_axis_io() {}
