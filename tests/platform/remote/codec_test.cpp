#include "platform/remote/variant_codec.h"

#include <gtest/gtest.h>

#include <bit>
#include <climits>
#include <random>

#include "platform/automation/scripted_object.h"
#include "platform/remote/call_message.h"

namespace vx {
namespace {

Variant Nested(int depth) {
  Variant v = Variant(std::int32_t{7});
  for (int i = 0; i < depth; ++i)
    v = VarArrayOf({v});
  return v;
}

Variant Grid() {
  Variant g = VarArrayCreate({{-1, 0}, {5, 7}});
  for (int i = -1; i <= 0; ++i)
    for (int j = 5; j <= 7; ++j)
      g.At({i, j}) = Variant(std::int32_t{i * 10 + j});
  return g;
}

TEST(VariantCodec, EveryKindAndShapeComesBackExactly) {
  struct Case {
    const char* name;
    Variant value;
  };
  Variant mixed = VarArrayCreate(1, 4);
  mixed[1] = "text";
  mixed[2] = Variant::Null();
  mixed[3] = VarArrayOf({Variant(std::int16_t{3}), Grid()});  // arrays inside arrays
  const Case cases[] = {
      {"empty", Variant()},
      {"null", Variant::Null()},
      {"int16", Variant(std::int16_t{-32768})},
      {"int32", Variant(std::int32_t{INT32_MIN})},
      {"int64", Variant(std::int64_t{INT64_MAX})},
      {"byte", Variant(std::uint8_t{255})},
      {"true", Variant(true)},
      {"false", Variant(false)},
      {"double", Variant(-0.1)},
      {"date", Variant(TDateTime(45657.123456789012))},
      {"ansi", Variant("盘点帐面量重计 \r\n\x03")},
      {"empty ansi", Variant("")},
      {"wide", Variant(u"方案 \U0001F600 wide")},
      {"array 1..4", mixed},
      {"two dimensions", Grid()},
      {"empty array", VarArrayCreate(0, -1)},
      {"64 levels", Nested(64)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Variant back = DecodeVariant(EncodeVariant(c.value));
    EXPECT_EQ(back.VarType(), c.value.VarType());
    EXPECT_TRUE(back == c.value);
    if (c.value.IsArray()) {
      EXPECT_EQ(back.Bounds(), c.value.Bounds());
    }
  }
  // A date keeps its exact double, not a rounded time.
  double when = 45657.123456789012;
  EXPECT_EQ(std::bit_cast<std::uint64_t>(
                DecodeVariant(EncodeVariant(Variant(TDateTime(when)))).ToDate().Value),
            std::bit_cast<std::uint64_t>(when));
}

TEST(VariantCodec, ObjectsAndOverDeepArraysAreNotSent) {
  auto object = std::make_shared<ScriptedObject>();
  EXPECT_THROW(EncodeVariant(Variant(DispatchPtr(object))), ERemoteMarshalError);
  EXPECT_THROW(EncodeVariant(VarArrayOf({1, Variant(DispatchPtr(object))})), ERemoteMarshalError);
  EXPECT_THROW(EncodeVariant(Nested(65)), ERemoteMarshalError);
}

std::string Bytes(std::initializer_list<int> bytes) {
  std::string s;
  for (int b : bytes)
    s.push_back(static_cast<char>(b));
  return s;
}

TEST(VariantCodec, HostileInputIsRejectedWithATypedError) {
  std::string valid = EncodeVariant(VarArrayOf({"abc", 1, 2.5}));
  std::string deep(200, '\x91');  // 200 nested one-element lists
  deep.push_back('\xc0');
  struct Case {
    const char* name;
    std::string bytes;
  };
  const Case cases[] = {
      {"nothing", ""},
      {"truncated", valid.substr(0, valid.size() - 1)},
      {"trailing bytes", valid + "\xc0"},
      {"map", Bytes({0x81, 0x01, 0x02})},
      {"binary", Bytes({0xc4, 0x01, 0x00})},
      {"float 32", Bytes({0xca, 0, 0, 0, 0})},
      {"reserved byte", Bytes({0xc1})},
      {"integer beyond 32 bits", Bytes({0xcf, 0, 0, 0, 1, 0, 0, 0, 0})},
      {"unknown ext", Bytes({0xd4, 0x7f, 0x00})},
      {"smallint of 3 bytes", Bytes({0xc7, 0x03, 0x02, 0, 0, 0})},
      {"wide text of odd length", Bytes({0xc7, 0x03, 0x06, 0x41, 0x00, 0x42})},
      {"nested too deep", deep},
      {"array without bounds", Bytes({0x90})},
      {"bounds claim a million",
       Bytes({0x92, 0x91, 0x92, 0x00, 0xce, 0x00, 0x0f, 0x42, 0x40, 0x01})},
      {"bounds are no list", Bytes({0x92, 0x01, 0x01})},
      {"low bound at the integer minimum",
       Bytes({0x92, 0x91, 0x92, 0xd2, 0x80, 0, 0, 0, 0xd2, 0x80, 0, 0, 0, 0x01})},
      {"high below low", Bytes({0x91, 0x91, 0x92, 0x05, 0x01})},
      {"four billion elements announced", Bytes({0xdd, 0xff, 0xff, 0xff, 0xff, 0xc0})},
      {"string longer than the input", Bytes({0xdb, 0x7f, 0xff, 0xff, 0xff, 0x41})},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_THROW(DecodeVariant(c.bytes), ERemoteFrameError);
  }
  // Arrays nested one level deeper than the limit, well-formed otherwise.
  EXPECT_THROW(DecodeVariant(EncodeVariant(Nested(65), 100)), ERemoteFrameError);
  TDecodeLimits few;
  few.MaxElements = 10;
  EXPECT_THROW(DecodeVariant(EncodeVariant(VarArrayCreate(0, 20)), few), ERemoteFrameError);
  few.MaxBytes = 4;
  EXPECT_THROW(DecodeVariant(valid, few), ERemoteFrameError);
}

TEST(VariantCodec, RandomBytesNeverEscapeAsAnythingButAFrameError) {
  std::mt19937 random(20261211);
  std::string valid =
      EncodeVariant(VarArrayOf({Grid(), u"wide", Variant(TDateTime(1.5)), Nested(5)}));
  for (int round = 0; round < 3000; ++round) {
    std::string bytes = valid;
    // Flip a few bytes of a valid message, or make one up entirely.
    if (round % 3 == 0) {
      bytes.assign(random() % 40, '\0');
      for (char& b : bytes)
        b = static_cast<char>(random());
    } else {
      for (int k = 0; k < 1 + round % 4; ++k)
        bytes[random() % bytes.size()] = static_cast<char>(random());
    }
    try {
      DecodeVariant(bytes);
    } catch (const ERemoteFrameError&) {
    } catch (const std::exception& e) {
      ADD_FAILURE() << "round " << round << ": " << e.what();
    }
  }
}

TEST(Frames, TheLengthIsCheckedBeforeAnythingIsAllocated) {
  std::string frame = MakeFrame("abc");
  ASSERT_EQ(frame.size(), 7u);
  unsigned char header[kFrameHeaderSize];
  std::copy_n(frame.begin(), 4, header);
  EXPECT_EQ(FrameBodySize(header), 3u);
  EXPECT_THROW(FrameBodySize(header, 2), ERemoteFrameError);
  const unsigned char empty[kFrameHeaderSize] = {0, 0, 0, 0};
  EXPECT_THROW(FrameBodySize(empty), ERemoteFrameError);
  const unsigned char huge[kFrameHeaderSize] = {0xff, 0xff, 0xff, 0xff};
  EXPECT_THROW(FrameBodySize(huge), ERemoteFrameError);
  EXPECT_THROW(MakeFrame(std::string(100, 'x'), 99), ERemoteMarshalError);
}

TEST(CallMessages, RequestsAndRepliesRoundTrip) {
  TCallRequest call;
  call.ObjectId = 7;
  call.Name = "Request1";
  call.Kind = DispatchKind::PropertyPut;
  call.Args = {VarArrayOf({1, "x"}), Variant("host")};
  call.ByRef = {true, false};
  TCallRequest back = DecodeRequest(EncodeRequest(call));
  EXPECT_EQ(back.ObjectId, 7);
  EXPECT_EQ(back.Name, "Request1");
  EXPECT_EQ(back.Kind, DispatchKind::PropertyPut);
  ASSERT_EQ(back.Args.size(), 2u);
  EXPECT_TRUE(back.Args[0] == call.Args[0]);
  EXPECT_EQ(back.ByRef, call.ByRef);

  TCallReply error = DecodeReply(EncodeReply(TCallReply::Error("EOleException", "kaputt", true)));
  EXPECT_FALSE(error.Ok);
  EXPECT_EQ(error.ErrorClass, "EOleException");
  EXPECT_EQ(error.ErrorMessage, "kaputt");
  EXPECT_TRUE(error.Closing);

  // Well-formed MessagePack that is no message.
  for (const std::string& body :
       {EncodeVariant(1), EncodeVariant(VarArrayOf({9, "x"})), Bytes({0x92, 0x01, 0x02}),
        Bytes({0x96, 0x02, 0x01, 0xa1, 0x41, 0x07, 0x90, 0x90})})
    EXPECT_THROW(DecodeRequest(body), ERemoteFrameError);
  EXPECT_THROW(DecodeReply(Bytes({0x93, 0x02, 0xc0, 0x90})), ERemoteFrameError);
}

}  // namespace
}  // namespace vx
