#include "sections.h"

void demo_lines() {}
