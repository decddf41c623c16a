// Base-62 text of bytes read as one big-endian unsigned number, over the
// alphabet 0-9, a-z, A-Z. Leading zero bytes add nothing; an empty input
// gives the empty text.
#pragma once

#include <string>
#include <string_view>

// Throws std::runtime_error("Non-zero carry") if the digit buffer (sized
// from the input length) should ever prove too short.
std::string EncodeBase62(std::string_view bytes);
