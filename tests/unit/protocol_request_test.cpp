// The bytes that each exchange puts on the line, purges included, when the scanner answers.

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "link/protocol.h"
#include "unit/protocol_scripted_link.h"

namespace qd718::test {
namespace {

constexpr int P = PurgeMark;

struct RequestCase {
  std::string name;
  std::function<void(Link&)> exchange;
  LineLog expected;
};

void PrintTo(const RequestCase& c, std::ostream* os) {
  *os << c.name;
}

class RequestBytes : public ::testing::TestWithParam<RequestCase> {};

TEST_P(RequestBytes, AreSentOneByOneAfterAPurge) {
  ScriptedLink link;
  // A scanner that answers every read in full, so multi-byte exchanges run to the end.
  link.responder = [](const Bytes&) { return Bytes(IdentifyReplyBytes, 0); };
  GetParam().exchange(link);
  EXPECT_EQ(link.log, GetParam().expected);
}

IdentifyReply identity;
int status = 0;

INSTANTIATE_TEST_SUITE_P(
    EveryExchange, RequestBytes,
    ::testing::Values(
        RequestCase{"Identify1", [](Link& l) { Identify(l, 1, identity); }, {P, 0x01, 0x81}},
        RequestCase{"Identify2", [](Link& l) { Identify(l, 2, identity); }, {P, 0x02, 0x81}},
        // BeginPos: registers 56 and 57, each with its own purge and request.
        RequestCase{"ReadRegister56x2",
                    [](Link& l) { ReadRegister(l, 1, 56, 2); },
                    {P, 0x01, 0x82, 0x88, 0x83, P, 0x01, 0x82, 0x89, 0x83}},
        RequestCase{"ReadRegister54x1",
                    [](Link& l) { ReadRegister(l, 2, 54, 1); },
                    {P, 0x02, 0x82, 0x86, 0x83}},
        // A register number is one byte: 255 is followed by 0.
        RequestCase{"ReadRegisterWraps",
                    [](Link& l) { ReadRegister(l, 1, 255, 2); },
                    {P, 0x01, 0x82, 0x8F, 0x8F, P, 0x01, 0x82, 0x80, 0x80}},
        RequestCase{"ReadRegisterCount0", [](Link& l) { ReadRegister(l, 1, 56, 0); }, {}},
        // -1 over two registers: the bytes 0xFF and 0xFF.
        RequestCase{"WriteRegisterMinus1",
                    [](Link& l) { WriteRegister(l, 1, 66, 2, -1); },
                    {P, 0x01, 0x83, 0x82, 0x84, 0x8F, 0x8F, P, 0x01, 0x83, 0x83, 0x84, 0x8F, 0x8F}},
        RequestCase{"WriteRegisterLowByteFirst",
                    [](Link& l) { WriteRegister(l, 2, 58, 2, 0x1234); },
                    {P, 0x02, 0x83, 0x8A, 0x83, 0x84, 0x83, P, 0x02, 0x83, 0x8B, 0x83, 0x82, 0x81}},
        // Only the low bytes of the value go out.
        RequestCase{"WriteRegisterOneByteOfLarge",
                    [](Link& l) { WriteRegister(l, 1, 54, 1, 0x12345678); },
                    {P, 0x01, 0x83, 0x86, 0x83, 0x88, 0x87}},
        RequestCase{"SaveToFlash",
                    [](Link& l) { ParamStore(l, 1, StoreAction::SaveToFlash); },
                    {P, 0x01, 0x84, 0x8A, 0x8A}},
        RequestCase{"RestoreDefaults",
                    [](Link& l) { ParamStore(l, 2, StoreAction::RestoreDefaults); },
                    {P, 0x02, 0x84, 0x89, 0x86}},
        RequestCase{"SaveAsFactory",
                    [](Link& l) { ParamStore(l, 1, StoreAction::SaveAsFactory); },
                    {P, 0x01, 0x84, 0x86, 0x89}},
        RequestCase{"ReadStatus", [](Link& l) { ReadStatus(l, 2, status); }, {P, 0x02, 0x8B}},
        RequestCase{"StartScan", [](Link& l) { StartScan(l, 1, 1); }, {P, 0x01, 0x8C, 0x81, 0x80}},
        RequestCase{"StartScanArgumentNibbles",
                    [](Link& l) { StartScan(l, 2, 0xC5); },
                    {P, 0x02, 0x8C, 0x85, 0x8C}}),
    [](const auto& info) { return info.param.name; });

// Replies are masked to their low nibble and assembled least significant first.

TEST(ReadRegister, AssemblesTwoRegistersLowByteFirstIgnoringHighNibbles) {
  ScriptedLink link;
  link.replies = {{0xF4, 0x73}, {0x52, 0xA1}};  // 0x34, then 0x12
  EXPECT_EQ(ReadRegister(link, 1, 56, 2), 0x1234);
}

TEST(ReadRegister, AnswersNoReplyForAnyMissingOrShortReply) {
  const std::vector<std::deque<Bytes>> scripts = {
      {},                  // silent
      {{0x04}},            // first reply short
      {{0x04, 0x03}, {}},  // second reply missing
      // The first register's byte is not passed off as the value.
      {{0x04, 0x03}, {0x02}},
  };
  for (const auto& script : scripts) {
    ScriptedLink link;
    link.replies = script;
    EXPECT_EQ(ReadRegister(link, 1, 56, 2), NoReply) << "replies: " << script.size();
  }
}

TEST(ReadRegister, StopsAtTheFirstShortReply) {
  ScriptedLink link;
  link.replies = {{0x04}};
  ReadRegister(link, 1, 56, 2);
  EXPECT_EQ(link.log, Exchange({0x01, 0x82, 0x88, 0x83}));
}

TEST(ReadRegister, SilentChannelCostsOneReadTimeOutPerRegister) {
  ScriptedLink link;
  ReadRegister(link, 1, 56, 2);
  // 500 + 100 * 2 ms for the one register byte asked for, plus the request bytes.
  EXPECT_GE(link.Now(), Millis{700});
  EXPECT_LT(link.Now(), Millis{710});
}

TEST(Identify, FillsTheMaskedReplyOnlyWhenAllSixteenBytesArrive) {
  ScriptedLink link;
  Bytes reply;
  for (int i = 0; i < IdentifyReplyBytes; ++i) reply.push_back(static_cast<std::uint8_t>(0xA0 + i));
  link.replies = {reply, Bytes(reply.begin(), reply.end() - 1)};
  IdentifyReply got{};
  ASSERT_TRUE(Identify(link, 1, got));
  for (int i = 0; i < IdentifyReplyBytes; ++i) EXPECT_EQ(got[i], i) << "byte " << i;

  IdentifyReply untouched;
  untouched.fill(0x77);
  EXPECT_FALSE(Identify(link, 1, untouched));
  for (const auto b : untouched) EXPECT_EQ(b, 0x77);
}

TEST(ReadStatus, SetsTheStatusFromAFullReplyOnly) {
  ScriptedLink link;
  link.replies = {{0x13, 0x22, 9, 9, 9, 9}, {0x01, 0, 0, 0, 0}};
  int status = -1;
  ASSERT_TRUE(ReadStatus(link, 1, status));
  EXPECT_EQ(status, 0x23);
  EXPECT_FALSE(ReadStatus(link, 1, status));
  EXPECT_EQ(status, 0x23);
}

// The parameter-store echo is the action byte, low nibble first.
struct EchoCase {
  StoreAction action;
  Bytes reply;
  bool accepted;
};

TEST(ParamStore, AcceptsOnlyTheExactEcho) {
  const EchoCase cases[] = {
      {StoreAction::RestoreDefaults, {0x09, 0x06}, true},
      {StoreAction::RestoreDefaults, {0xF9, 0x36}, true},  // high nibbles ignored
      {StoreAction::RestoreDefaults, {0x06, 0x09}, false},
      {StoreAction::RestoreDefaults, {0x09}, false},
      {StoreAction::RestoreDefaults, {}, false},
      {StoreAction::SaveToFlash, {0x0A, 0x0A}, true},
      {StoreAction::SaveAsFactory, {0x06, 0x09}, true},
      {StoreAction::SaveAsFactory, {0x09, 0x06}, false},
  };
  for (const auto& c : cases) {
    ScriptedLink link;
    link.replies = {c.reply};
    EXPECT_EQ(ParamStore(link, 1, c.action), c.accepted)
        << "action 0x" << std::hex << int(c.action) << ", reply of " << c.reply.size();
  }
}

TEST(ParamStore, WaitsASecondBeforeReadingTheEcho) {
  ScriptedLink link;
  link.replies = {{0x0A, 0x0A}};
  ParamStore(link, 1, StoreAction::SaveToFlash);
  ASSERT_EQ(link.readTimes.size(), 1u);
  EXPECT_GE(link.readTimes[0] - link.writeTimes.back(), StoreReplyPause);
}

// Register writes: no acknowledgement, the scanner's own time for each value nibble.

TEST(WriteRegister, PausesAfterEachValueNibbleAndAtTheEnd) {
  ScriptedLink link;
  ASSERT_TRUE(WriteRegister(link, 1, 56, 2, 0x0102));
  EXPECT_TRUE(link.readTimes.empty());
  ASSERT_EQ(link.writeTimes.size(), 12u);
  const auto& t = link.writeTimes;
  // Within one register: the high nibble 100 ms after the low one, the next register's
  // address byte 100 ms after the high nibble.
  EXPECT_GE(t[5] - t[4], RegisterValuePause);
  EXPECT_GE(t[6] - t[5], RegisterValuePause);
  EXPECT_GE(t[11] - t[10], RegisterValuePause);
  EXPECT_GE(link.Now() - t[11], RegisterValuePause + RegisterWriteTail);
  // 200 ms per register byte plus 100 ms, and not much more.
  EXPECT_GE(link.Now(), Millis{500});
  EXPECT_LT(link.Now(), Millis{510});
}

TEST(WriteRegister, CountZeroStillPausesAndSucceeds) {
  ScriptedLink link;
  EXPECT_TRUE(WriteRegister(link, 1, 56, 0, 7));
  EXPECT_TRUE(link.log.empty());
  EXPECT_EQ(link.Now(), RegisterWriteTail);
}

TEST(WriteRegister, FailsAtOnceWhenAnAddressCommandOrRegisterByteIsNotSent) {
  // Each of the first four bytes of a register byte's request, in either register.
  for (const int goodWrites : {0, 1, 2, 3, 6, 7, 8, 9}) {
    ScriptedLink link;
    link.failWritesAfter = goodWrites;
    EXPECT_FALSE(WriteRegister(link, 1, 56, 2, 0x0102)) << goodWrites << " bytes went out";
    EXPECT_EQ(link.writeTimes.size(), static_cast<std::size_t>(goodWrites));
  }
}

TEST(WriteRegister, IgnoresTheCountsOfTheValueNibbles) {
  for (const int goodWrites : {4, 5}) {
    ScriptedLink link;
    link.failWritesAfter = goodWrites;
    EXPECT_TRUE(WriteRegister(link, 1, 54, 1, 0x42)) << goodWrites << " bytes went out";
  }
}

}  // namespace
}  // namespace qd718::test
