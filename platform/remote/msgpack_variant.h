#pragma once
// MessagePack level of the variant codec, shared by the codec and the call
// messages of the socket connection. Internal to platform/remote.
#include <msgpack.hpp>

#include "platform/remote/variant_codec.h"

namespace vx::wire {

using Packer = msgpack::packer<msgpack::sbuffer>;

void PackVariant(Packer& packer, const Variant& value, int max_depth);

// The one MessagePack value that fills bytes. container_levels is how many
// array levels of a message surround its variants.
msgpack::object_handle Unpack(std::string_view bytes, const TDecodeLimits& limits,
                              int container_levels);

// Counts the values of one message against TDecodeLimits::MaxElements.
class TDecodeBudget {
 public:
  explicit TDecodeBudget(const TDecodeLimits& limits) : limits_(limits) {}
  void Take(std::size_t count);
  std::size_t Remaining() const { return limits_.MaxElements - used_; }
  const TDecodeLimits& Limits() const { return limits_; }

 private:
  const TDecodeLimits& limits_;
  std::size_t used_ = 0;
};

Variant ToVariant(const msgpack::object& object, TDecodeBudget& budget);

// Checked access to the parts of a message.
const msgpack::object& ArrayItem(const msgpack::object& array, std::size_t index);
std::size_t ArraySize(const msgpack::object& object, const char* what);
std::string Text(const msgpack::object& object, const char* what);
std::int64_t Integer(const msgpack::object& object, const char* what);
bool Boolean(const msgpack::object& object, const char* what);

}  // namespace vx::wire
