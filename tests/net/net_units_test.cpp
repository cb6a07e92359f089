// The parts of the network units that need no server: listing lines, the serial decoding, the
// request texts; and the UDP listener keeping datagrams from one run to the next.
#include <QThread>
#include <QUdpSocket>

#include "../functions/function_fixture.h"
#include "net/board_protocol.h"
#include "net/ftp_listing.h"

using namespace Qt::Literals::StringLiterals;

namespace {

TEST(FtpListing, NamesOfOneTypeFromTheFacts) {
  const QByteArray listing =
      "type=cdir;modify=20240101000000; .\r\n"
      "type=pdir;modify=20240101000000; ..\r\n"
      "type=file;size=10;modify=20240101120000; report.txt\r\n"
      "size=0;type=dir;modify=20240101120000; docs\r\n"
      "modify=20240101120000;type=file; \xd0\xbe\xd1\x82\xd1\x87\xd1\x91\xd1\x82.txt\r\n"
      "type=file;size=3;a;b;c; last part counts\n"
      "no facts at all\r\n";
  EXPECT_EQ(ListedNames(listing, u"file"), u"report.txt\r\nотчёт.txt\r\nlast part counts\r\n"_s);
  EXPECT_EQ(ListedNames(listing, u"dir"), u"docs\r\n"_s);
  EXPECT_EQ(ListedNames({}, u"file"), QString());
  // A lone byte at the end of a name still gives a character, not a crash.
  EXPECT_EQ(ListedNames("type=file; a\xd0", u"file").size(), 4);
}

TEST(SerialDecoding, TwoByteSequencesStrayBytesAndTheCodePage) {
  EXPECT_EQ(DecodeSerialBytes("<<<A=\xd1\x8f>>>"), u"<<<A=я>>>"_s);
  EXPECT_EQ(DecodeSerialBytes("a\x80\xbf\xfe\xff"
                              "b"),
            u"ab"_s);  // bytes that start nothing
  EXPECT_EQ(DecodeSerialBytes("\xe9"
                              "x"),
            u"éx"_s);  // a lead byte without continuation: code page
}

class NetScriptTest : public FunctionTest {
 protected:
  void SetUp() override {
    qputenv("TRESSALY_LOCAL_IPV4", "127.0.0.1");
    qputenv("TRESSALY_BROADCAST", "127.255.255.255");
    FunctionTest::SetUp();
  }
};

TEST_F(NetScriptTest, DatagramsWaitForTheNextRun) {
  QUdpSocket probe;
  ASSERT_TRUE(probe.bind(QHostAddress(u"127.0.0.1"_s), 0));
  const quint16 port = probe.localPort();
  probe.close();  // the listener takes this port

  ASSERT_EQ(Run({u"ip = UDP_Activate(%1)"_s.arg(port)}).toStdString(), "");
  EXPECT_EQ(Value(u"ip"_s), u"127.0.0.1"_s);
  QUdpSocket sender;
  sender.writeDatagram("ab", QHostAddress(u"127.0.0.1"_s), port);
  sender.writeDatagram("cd", QHostAddress(u"127.0.0.1"_s), port);
  QThread::msleep(100);

  ASSERT_EQ(Run({u"r = UDP_Read()"_s, u"again = UDP_Read()"_s}).toStdString(), "");
  EXPECT_EQ(Value(u"r"_s), u"abcd"_s);
  EXPECT_EQ(Value(u"again"_s), QString());

  // Activating again empties the buffer; deactivating answers false whatever the port.
  sender.writeDatagram("lost", QHostAddress(u"127.0.0.1"_s), port);
  QThread::msleep(100);
  ASSERT_EQ(Run({u"ip = UDP_Activate(%1)"_s.arg(port), u"r = UDP_Read()"_s,
                 u"off = UDP_Deactivate(99)"_s})
                .toStdString(),
            "");
  EXPECT_EQ(Value(u"r"_s), QString());
  EXPECT_EQ(Value(u"off"_s), u"false"_s);
}

TEST_F(NetScriptTest, AnalogReadWithoutAddressAndCommandsWithoutBoard) {
  EXPECT_NE(Run({u"a = ARD_UDP_Analog_Read('', 0)"_s}).indexOf(u"IP address not specified."_s), -1);
  // No board answers: empty results and an empty sender, no error.
  ASSERT_EQ(Run({u"p = ARD_UDP_Set_Port(0)"_s, u"c = ARD_UDP_Command('127.0.0.9', 'x', 0, 1)"_s,
                 u"n = ARD_UDP_Get_Device_Name('127.0.0.9')"_s,
                 u"s = ARD_UDP_Analog_Read('127.0.0.9', 0, 3, 10)"_s, u"sn = Array_Length(s)"_s,
                 u"b = ARD_UDP_Broadcast_Command('ping')"_s})
                .toStdString(),
            "");
  EXPECT_EQ(Value(u"c"_s), QString());
  EXPECT_EQ(Value(u"n"_s), QString());
  EXPECT_EQ(Value(u"sender"_s), QString());
  EXPECT_GT(FindArray(u"b"_s), 0);    // an empty array of pairs
  EXPECT_EQ(Value(u"sn"_s), u"0"_s);  // an empty series
}

}  // namespace
