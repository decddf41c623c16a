#include "platform/posix/EmbeddedResources.h"

#include <gtest/gtest.h>

using platform::ResourceStatus;

namespace {

const std::uint8_t document[] = {'<', 'a', '/', '>'};
const platform::posix::EmbeddedResource table[] = {
    {105, L"LOCALE", document},
    {106, L"LOCALE", {}},
    {101, L"IMAGE_BLOB", document},
};

}  // namespace

// Lookups report what FindResourceW would: the type decides between a
// missing type and a missing id, type names ignore case, and an empty
// resource is found with no bytes.
TEST(EmbeddedResources, FindsByIdAndTypeLikeFindResource) {
  platform::posix::EmbeddedResources resources(table);

  const auto found = resources.Read(105, L"locale");
  EXPECT_EQ(found.status, ResourceStatus::Found);
  EXPECT_EQ(found.error, platform::kErrorSuccess);
  EXPECT_EQ(std::string(found.bytes.begin(), found.bytes.end()), "<a/>");

  const auto empty = resources.Read(106, L"LOCALE");
  EXPECT_EQ(empty.status, ResourceStatus::Found);
  EXPECT_TRUE(empty.bytes.empty());

  const auto otherType = resources.Read(101, L"LOCALE");
  EXPECT_EQ(otherType.status, ResourceStatus::NotFound);
  EXPECT_EQ(otherType.error, platform::kErrorResourceNameNotFound);

  const auto unknownType = resources.Read(101, L"IMAGE_BLOB2");
  EXPECT_EQ(unknownType.status, ResourceStatus::NotFound);
  EXPECT_EQ(unknownType.error, platform::kErrorResourceTypeNotFound);
  EXPECT_TRUE(unknownType.bytes.empty());
}
