#include "platform/remote/call_message.h"

#include "platform/remote/msgpack_variant.h"

namespace vx {

namespace {

void PackText(wire::Packer& pk, std::string_view s) {
  pk.pack_str(static_cast<std::uint32_t>(s.size()));
  pk.pack_str_body(s.data(), static_cast<std::uint32_t>(s.size()));
}

std::string Bytes(const msgpack::sbuffer& buffer) {
  return std::string(buffer.data(), buffer.size());
}

[[noreturn]] void Malformed(const char* what) {
  throw ERemoteFrameError(std::string("Malformed message: ") + what);
}

std::vector<Variant> Variants(const msgpack::object& list, wire::TDecodeBudget& budget,
                              const char* what) {
  std::size_t n = wire::ArraySize(list, what);
  std::vector<Variant> values;
  values.reserve(n);
  for (std::size_t i = 0; i < n; ++i)
    values.push_back(wire::ToVariant(list.via.array.ptr[i], budget));
  return values;
}

// Messages have two levels of lists around their variants.
constexpr int kMessageLevels = 2;

}  // namespace

std::string EncodeRequest(const TCallRequest& request, const TDecodeLimits& limits) {
  msgpack::sbuffer buffer;
  wire::Packer pk(buffer);
  if (request.Op == TCallRequest::TOp::Create) {
    pk.pack_array(2);
    pk.pack_int(1);
    PackText(pk, request.ClassId);
    return Bytes(buffer);
  }
  if (request.ByRef.size() != request.Args.size())
    throw ERemoteMarshalError("One by-reference flag per argument expected");
  pk.pack_array(6);
  pk.pack_int(2);
  pk.pack_int64(request.ObjectId);
  PackText(pk, request.Name);
  pk.pack_int(static_cast<int>(request.Kind));
  pk.pack_array(static_cast<std::uint32_t>(request.Args.size()));
  for (const Variant& a : request.Args)
    wire::PackVariant(pk, a, limits.MaxDepth);
  pk.pack_array(static_cast<std::uint32_t>(request.ByRef.size()));
  for (bool b : request.ByRef)
    b ? pk.pack_true() : pk.pack_false();
  return Bytes(buffer);
}

TCallRequest DecodeRequest(std::string_view body, const TDecodeLimits& limits) {
  msgpack::object_handle handle = wire::Unpack(body, limits, kMessageLevels);
  const msgpack::object& m = handle.get();
  wire::ArraySize(m, "request");
  TCallRequest r;
  std::int64_t op = wire::Integer(wire::ArrayItem(m, 0), "request kind");
  if (op == 1) {
    if (m.via.array.size != 2) Malformed("create request");
    r.Op = TCallRequest::TOp::Create;
    r.ClassId = wire::Text(wire::ArrayItem(m, 1), "class identifier");
    return r;
  }
  if (op != 2 || m.via.array.size != 6) Malformed("unknown request");
  r.Op = TCallRequest::TOp::Invoke;
  r.ObjectId = wire::Integer(wire::ArrayItem(m, 1), "object id");
  r.Name = wire::Text(wire::ArrayItem(m, 2), "name");
  std::int64_t kind = wire::Integer(wire::ArrayItem(m, 3), "call kind");
  if (kind < 0 || kind > 2) Malformed("call kind");
  r.Kind = static_cast<DispatchKind>(kind);
  wire::TDecodeBudget budget(limits);
  r.Args = Variants(wire::ArrayItem(m, 4), budget, "arguments");
  const msgpack::object& flags = wire::ArrayItem(m, 5);
  std::size_t n = wire::ArraySize(flags, "by-reference flags");
  if (n != r.Args.size()) Malformed("by-reference flags do not match the arguments");
  for (std::size_t i = 0; i < n; ++i)
    r.ByRef.push_back(wire::Boolean(flags.via.array.ptr[i], "by-reference flag"));
  return r;
}

std::string EncodeReply(const TCallReply& reply, const TDecodeLimits& limits) {
  msgpack::sbuffer buffer;
  wire::Packer pk(buffer);
  if (!reply.Ok) {
    pk.pack_array(4);
    pk.pack_int(1);
    PackText(pk, reply.ErrorClass);
    PackText(pk, reply.ErrorMessage);
    reply.Closing ? pk.pack_true() : pk.pack_false();
    return Bytes(buffer);
  }
  pk.pack_array(3);
  pk.pack_int(0);
  wire::PackVariant(pk, reply.Result, limits.MaxDepth);
  pk.pack_array(static_cast<std::uint32_t>(reply.ByRefValues.size()));
  for (const Variant& v : reply.ByRefValues)
    wire::PackVariant(pk, v, limits.MaxDepth);
  return Bytes(buffer);
}

TCallReply DecodeReply(std::string_view body, const TDecodeLimits& limits) {
  msgpack::object_handle handle = wire::Unpack(body, limits, kMessageLevels);
  const msgpack::object& m = handle.get();
  std::size_t size = wire::ArraySize(m, "reply");
  std::int64_t status = wire::Integer(wire::ArrayItem(m, 0), "reply status");
  if (status == 1 && size == 4)
    return TCallReply::Error(wire::Text(wire::ArrayItem(m, 1), "error class"),
                             wire::Text(wire::ArrayItem(m, 2), "error message"),
                             wire::Boolean(wire::ArrayItem(m, 3), "closing flag"));
  if (status != 0 || size != 3) Malformed("reply");
  TCallReply r;
  wire::TDecodeBudget budget(limits);
  r.Result = wire::ToVariant(wire::ArrayItem(m, 1), budget);
  r.ByRefValues = Variants(wire::ArrayItem(m, 2), budget, "by-reference values");
  return r;
}

}  // namespace vx
