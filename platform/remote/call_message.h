#pragma once
// The messages of the socket connection, one per frame.
//   request  [1, class id]                                  create the object
//            [2, object id, name, kind, [args], [by-ref]]   call it
//   reply    [0, result, [by-ref argument values]]          done
//            [1, error class name, message, closing]        failed; closing:
//                                                            the server drops
//                                                            the connection
// One object per connection: the create answers with the object's id, which
// every call names. Variants are encoded as in variant_codec.h.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/remote/variant_codec.h"

namespace vx {

struct TCallRequest {
  enum class TOp { Create = 1, Invoke = 2 };
  TOp Op = TOp::Invoke;
  std::string ClassId;  // Create
  std::int64_t ObjectId = 0;
  std::string Name;
  DispatchKind Kind = DispatchKind::Method;
  std::vector<Variant> Args;
  std::vector<bool> ByRef;  // one flag per argument
};

struct TCallReply {
  bool Ok = true;
  Variant Result;
  std::vector<Variant> ByRefValues;  // the by-reference arguments, in order
  std::string ErrorClass;
  std::string ErrorMessage;
  bool Closing = false;  // a transport failure: the server closes the connection

  static TCallReply Error(std::string error_class, std::string message, bool closing = false) {
    TCallReply r;
    r.Ok = false;
    r.ErrorClass = std::move(error_class);
    r.ErrorMessage = std::move(message);
    r.Closing = closing;
    return r;
  }
};

// Bodies (without the frame header). Encoding raises ERemoteMarshalError,
// decoding ERemoteFrameError.
std::string EncodeRequest(const TCallRequest& request, const TDecodeLimits& limits = {});
TCallRequest DecodeRequest(std::string_view body, const TDecodeLimits& limits = {});
std::string EncodeReply(const TCallReply& reply, const TDecodeLimits& limits = {});
TCallReply DecodeReply(std::string_view body, const TDecodeLimits& limits = {});

}  // namespace vx
