// The two looks of a page's progress bar: a marquee while the length of the
// work is unknown, and a bar filling from 0 to 100.
#pragma once

#include "ui/Control.h"

// Range 0 to 100, position 0, the marquee running with a 30 ms step, and
// the marquee style added so that it shows.
void StartMarquee(ui::Control bar);
// The marquee stopped; range 0 to 100, position 0, step 1; the marquee
// style removed.
void StopMarquee(ui::Control bar);
