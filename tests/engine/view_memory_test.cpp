// The views' value texts when memory runs out: the out-of-memory text in place of the text
// that cannot be made (not an exception that ends the program), and every other row made.
#include <sys/resource.h>
#include <unistd.h>

#include <QFile>

#include "engine/arrays.h"
#include "engine/value_window_text.h"
#include "script_runner.h"

using namespace Qt::Literals::StringLiterals;

namespace {

qint64 AddressSpaceInUse() {
  QFile statm(u"/proc/self/statm"_s);
  if (!statm.open(QIODevice::ReadOnly)) return -1;
  return statm.readAll().split(' ').value(0).toLongLong() * sysconf(_SC_PAGESIZE);
}

// Runs `make` with at most `headroom` bytes of address space beyond what is in use now.
template <typename Make>
void WithLittleMemory(qint64 headroom, Make make) {
  rlimit saved{};
  ASSERT_EQ(getrlimit(RLIMIT_AS, &saved), 0);
  const qint64 inUse = AddressSpaceInUse();
  ASSERT_GT(inUse, 0);
  rlimit tight = saved;
  tight.rlim_cur = rlim_t(inUse + headroom);
  ASSERT_EQ(setrlimit(RLIMIT_AS, &tight), 0);
  make();
  setrlimit(RLIMIT_AS, &saved);
}

using ViewMemoryTest = ScriptTest;

TEST_F(ViewMemoryTest, ATextTooLargeForMemoryShowsTheOutOfMemoryText) {
  // s: 2^24 characters (32 MB), also the second element of T.
  ASSERT_EQ(Run({u"a = 1"_s, u"s = 'x'"_s, u"FOR i = 1,24"_s, u"  s = s + s"_s,
                 u"array T[2] string"_s, u"T[2] = s"_s}),
            QString());
  QList<ViewRow> rows;
  QString window, listing;
  WithLittleMemory(8 << 20, [&] {
    rows = GlobalViewRows();
    window = VariableWindowText(u"s"_s);
    listing = ArrayListing(FindArray(u"T"_s));
  });
  const QString note = OutOfMemoryCellText();
  EXPECT_EQ(note, u"! "_s + MessageText(202));

  QStringList shown;
  for (const ViewRow& row : rows)
    shown << row.name + u'=' + row.value.left(8) + (row.outOfMemory ? u" (no memory)"_s : QString());
  EXPECT_EQ(shown, QStringList({u"a=     1"_s, u"i=    24"_s, u"s=! There  (no memory)"_s,
                               u"T[]=('','xxx"_s}));  // the compact text takes what it shows
  EXPECT_EQ(window, note);
  EXPECT_TRUE(listing.startsWith(u"Array\rT\r"_s)) << listing.left(80).toStdString();
  EXPECT_TRUE(listing.endsWith(u"[1]: ''\r\n\r"_s + note)) << listing.right(120).toStdString();
}

}  // namespace
