#include "install/DownloadCheck.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace {

constexpr std::array<std::string_view, 2> kWebPageStarts = {"<!doctype html", "<html"};
constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

bool IsWhiteSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v'; }

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  c = Lower(c);
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

}  // namespace

DownloadCheck::DownloadCheck(std::string expectedSha256) : expected(std::move(expectedSha256)) {
  if (!expected.empty()) hasher = std::make_unique<platform::Sha256Hasher>();
}

void DownloadCheck::Add(const char* data, std::size_t size) {
  if (hasher) hasher->Update(data, size);
  for (std::size_t i = 0; i < size && (state == Start::WhiteSpace || state == Start::Marker); ++i) {
    const char c = data[i];
    if (state == Start::WhiteSpace) {
      // A byte order mark may lead, as editors write it before a page.
      if (bomMatched < kUtf8Bom.size() && c == kUtf8Bom[bomMatched] && marker.empty()) {
        ++bomMatched;
        continue;
      }
      if (bomMatched != 0 && bomMatched != kUtf8Bom.size()) {
        state = Start::Other;
        break;
      }
      if (IsWhiteSpace(c)) continue;
      state = Start::Marker;
    }
    marker += Lower(c);
    bool couldBe = false;
    for (std::string_view start : kWebPageStarts) {
      if (marker == start) {
        state = Start::WebPage;
        return;
      }
      couldBe = couldBe || start.starts_with(marker);
    }
    if (!couldBe) state = Start::Other;
  }
}

bool DownloadCheck::DigestMatches() {
  if (!hasher) return true;
  const platform::Sha256Digest digest = hasher->Finish();
  if (expected.size() != digest.size() * 2) return false;
  for (std::size_t i = 0; i < digest.size(); ++i) {
    const int high = HexValue(expected[2 * i]), low = HexValue(expected[2 * i + 1]);
    if (high < 0 || low < 0 || digest[i] != ((high << 4) | low)) return false;
  }
  return true;
}
