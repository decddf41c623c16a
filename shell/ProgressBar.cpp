#include "shell/ProgressBar.h"

#include "ui/WindowStyles.h"

namespace {
constexpr unsigned kMarqueeStepMilliseconds = 30;
}

void StartMarquee(ui::Control bar) {
  bar.SetRange(0, 100);
  bar.SetPosition(0);
  bar.SetMarquee(true, kMarqueeStepMilliseconds);
  bar.ModifyStyle(0, ui::kPbsMarquee);
}

void StopMarquee(ui::Control bar) {
  bar.SetMarquee(false, 0);
  bar.SetRange(0, 100);
  bar.SetPosition(0);
  bar.SetStep(1);
  bar.ModifyStyle(ui::kPbsMarquee, 0);
}
