#include "sections.h"

void demo_motion() {}
