#pragma once
// The wire form of automation variants and of the frames that carry them
// between client and application server.
//
// A frame is a 4-byte big-endian length followed by that many bytes of one
// MessagePack value. Variants map onto MessagePack as follows, so that every
// kind and every array shape comes back exactly as it went:
//   Null -> nil             Boolean -> bool        Integer (32 bit) -> int
//   Double -> float 64      ANSI string -> str (UTF-8)
//   Empty, Smallint, Byte, Int64, Date, OleStr -> ext types 1..6 (big-endian
//     payloads; a date keeps its exact double; OleStr is UTF-16LE)
//   array -> MessagePack array: first the bounds [[low, high], ...] per
//     dimension, then the elements with the first index varying fastest.
// Automation objects cannot cross: encoding one raises ERemoteMarshalError.
//
// Decoding treats its input as hostile: size, element count and nesting
// depth are bounded, the value is converted without recursion, and every
// malformed input raises ERemoteFrameError.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/automation/dispatch.h"

namespace vx {

// Transport failures: cannot connect, time-out, lost connection, bad frame.
VX_DECLARE_EXCEPTION(ERemoteError, EOleError);
// Bytes that are no well-formed frame or message, or exceed a limit.
VX_DECLARE_EXCEPTION(ERemoteFrameError, ERemoteError);
// A value that cannot be sent to another process (an automation object, an
// array nested deeper than the peer accepts). Nothing was sent.
VX_DECLARE_EXCEPTION(ERemoteMarshalError, EOleError);

inline constexpr std::size_t kDefaultMaxFrameSize = 64u << 20;  // 64 MiB
inline constexpr std::size_t kFrameHeaderSize = 4;

struct TDecodeLimits {
  std::size_t MaxBytes = kDefaultMaxFrameSize;
  // Values in one message, array elements included.
  std::size_t MaxElements = 16u << 20;
  // Arrays inside arrays; also the deepest array the encoder produces.
  int MaxDepth = 64;
};

std::string EncodeVariant(const Variant& value, int max_depth = TDecodeLimits{}.MaxDepth);
Variant DecodeVariant(std::string_view bytes, const TDecodeLimits& limits = {});

// The 4-byte header for a body of that size; raises ERemoteMarshalError when
// the body exceeds max_frame_size.
std::string FrameHeader(std::size_t body_size, std::size_t max_frame_size = kDefaultMaxFrameSize);
// The body length a header announces; raises ERemoteFrameError when it is 0
// or above max_frame_size, before anything is allocated for the body.
std::size_t FrameBodySize(const unsigned char (&header)[kFrameHeaderSize],
                          std::size_t max_frame_size = kDefaultMaxFrameSize);
// Header and body in one buffer.
std::string MakeFrame(std::string_view body, std::size_t max_frame_size = kDefaultMaxFrameSize);

}  // namespace vx
