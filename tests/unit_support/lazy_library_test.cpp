// Libraries opened when first needed: a missing library or function is a clear error, not a
// crash, and a present one gives working functions.
#include <gtest/gtest.h>

#include "unit_support/lazy_library.h"

// zlib's functions as its header declares them (only their types are used; the test does not
// link zlib).
extern "C" const char* zlibVersion();
extern "C" unsigned long crc32(unsigned long crc, const unsigned char* buf, unsigned int len);

namespace {

#define ZLIB_TEST_FUNCTIONS(X) X(zlibVersion) X(crc32)
struct ZlibApi {
  ZLIB_TEST_FUNCTIONS(TRESSALY_LAZY_POINTER)
};

}  // namespace

TEST(LazyLibrary, BindsTheFunctionsOfAPresentLibrary) {
  LazyLibrary library("libz.so.1");
  ZlibApi api;
  QString problem;
  ASSERT_TRUE(library.Bind({ZLIB_TEST_FUNCTIONS(TRESSALY_LAZY_BINDING)}, problem)) << problem.toStdString();
  EXPECT_EQ(api.zlibVersion()[0], '1');
  const unsigned char text[] = "123456789";
  EXPECT_EQ(api.crc32(0, text, 9), 0xCBF43926u);
}

TEST(LazyLibrary, MissingLibraryOrFunctionIsReportedEveryTime) {
  LazyLibrary missing("libtressaly-no-such-library.so.7");
  QString problem;
  EXPECT_FALSE(missing.Open(problem));
  EXPECT_TRUE(problem.contains(QStringLiteral("libtressaly-no-such-library.so.7"))) << problem.toStdString();
  problem.clear();
  EXPECT_FALSE(missing.Open(problem));  // tried once, still reported
  EXPECT_FALSE(problem.isEmpty());

  LazyLibrary zlib("libz.so.1");
  void* absent = nullptr;
  EXPECT_FALSE(zlib.Bind({{"tressaly_no_such_function", &absent}}, problem));
  EXPECT_TRUE(problem.contains(QStringLiteral("tressaly_no_such_function"))) << problem.toStdString();
  EXPECT_EQ(absent, nullptr);
}
