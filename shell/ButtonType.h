// What a page's button asks the host to do; the host ignores other values.
#pragma once

enum class ButtonType : int {
  Next = 0,
  Accept = 1,
  Close = 2,
  Decline = 3,
  Finish = 4,
  Back = 5,
};
