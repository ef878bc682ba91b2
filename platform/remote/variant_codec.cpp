#include "platform/remote/variant_codec.h"

#include <bit>
#include <climits>
#include <cstring>
#include <new>

#include "platform/remote/msgpack_variant.h"
#include "platform/rtl/text.h"

namespace vx {

namespace {

enum ExtType : std::int8_t {
  extEmpty = 1,
  extSmallint = 2,
  extByte = 3,
  extInt64 = 4,
  extDate = 5,
  extOleStr = 6,
};

[[noreturn]] void Malformed(const std::string& what) {
  throw ERemoteFrameError("Malformed message: " + what);
}

// The unsigned integer of a value's size (doubles travel as their bits).
template <class T>
using Bits = std::conditional_t<
    sizeof(T) == 8, std::uint64_t,
    std::conditional_t<sizeof(T) == 4, std::uint32_t,
                       std::conditional_t<sizeof(T) == 2, std::uint16_t, std::uint8_t>>>;

template <class T>
void PutBigEndian(char* out, T value) {
  auto bits = std::bit_cast<Bits<T>>(value);
  for (int i = static_cast<int>(sizeof(T)) - 1; i >= 0; --i) {
    out[i] = static_cast<char>(bits & 0xFF);
    bits = static_cast<decltype(bits)>(bits >> 8);
  }
}

template <class T>
T GetBigEndian(const char* in) {
  Bits<T> bits = 0;
  for (std::size_t i = 0; i < sizeof(T); ++i)
    bits = static_cast<decltype(bits)>((bits << 8) | static_cast<unsigned char>(in[i]));
  return std::bit_cast<T>(bits);
}

template <class T>
void PackFixed(wire::Packer& pk, ExtType type, T value) {
  char bytes[sizeof(T)];
  PutBigEndian(bytes, value);
  pk.pack_ext(sizeof(T), type);
  pk.pack_ext_body(bytes, sizeof(T));
}

// Visits the indexes of an array in storage order (first index fastest).
class IndexWalk {
 public:
  explicit IndexWalk(const std::vector<ArrayBound>& bounds) : bounds_(bounds) {
    index_.reserve(bounds.size());
    for (const ArrayBound& b : bounds)
      index_.push_back(b.Low);
  }
  const std::vector<int>& Index() const { return index_; }
  void Advance() {
    for (std::size_t d = 0; d < index_.size(); ++d) {
      if (index_[d] < bounds_[d].High) {
        ++index_[d];
        return;
      }
      index_[d] = bounds_[d].Low;
    }
  }

 private:
  std::vector<ArrayBound> bounds_;
  std::vector<int> index_;
};

std::size_t ElementCount(const std::vector<ArrayBound>& bounds) {
  std::size_t n = 1;
  for (const ArrayBound& b : bounds)
    n *= static_cast<std::size_t>(b.Count());
  return n;
}

void Pack(wire::Packer& pk, const Variant& v, int depth_left) {
  if (v.IsArray()) {
    if (depth_left <= 0) throw ERemoteMarshalError("Variant array nested too deep to be sent");
    const std::vector<ArrayBound>& bounds = v.Bounds();
    std::size_t count = ElementCount(bounds);
    pk.pack_array(static_cast<std::uint32_t>(count + 1));
    pk.pack_array(static_cast<std::uint32_t>(bounds.size()));
    for (const ArrayBound& b : bounds) {
      pk.pack_array(2);
      pk.pack_int32(b.Low);
      pk.pack_int32(b.High);
    }
    IndexWalk walk(bounds);
    for (std::size_t i = 0; i < count; ++i, walk.Advance())
      Pack(pk, v.At(walk.Index()), depth_left - 1);
    return;
  }
  switch (v.VarType()) {
    case varEmpty:
      pk.pack_ext(0, extEmpty);
      return;
    case varNull:
      pk.pack_nil();
      return;
    case varSmallint:
      PackFixed(pk, extSmallint, static_cast<std::int16_t>(v.ToInt()));
      return;
    case varByte:
      PackFixed(pk, extByte, static_cast<std::uint8_t>(v.ToInt()));
      return;
    case varInteger:
      pk.pack_int32(v.ToInt());
      return;
    case varInt64:
      PackFixed(pk, extInt64, v.ToInt64());
      return;
    case varBoolean:
      if (v.ToBool())
        pk.pack_true();
      else
        pk.pack_false();
      return;
    case varDouble:
      pk.pack_double(v.ToDouble());
      return;
    case varDate:
      PackFixed(pk, extDate, v.ToDate().Value);
      return;
    case varString: {
      const std::string& s = *v.AnsiPtr();
      pk.pack_str(static_cast<std::uint32_t>(s.size()));
      pk.pack_str_body(s.data(), static_cast<std::uint32_t>(s.size()));
      return;
    }
    case varOleStr: {
      const std::u16string& w = *v.WidePtr();
      std::string bytes(w.size() * 2, '\0');
      for (std::size_t i = 0; i < w.size(); ++i) {
        bytes[2 * i] = static_cast<char>(w[i] & 0xFF);
        bytes[2 * i + 1] = static_cast<char>(w[i] >> 8);
      }
      pk.pack_ext(static_cast<std::uint32_t>(bytes.size()), extOleStr);
      pk.pack_ext_body(bytes.data(), static_cast<std::uint32_t>(bytes.size()));
      return;
    }
    case varDispatch:
      throw ERemoteMarshalError("An automation object cannot be sent to another process");
    default:
      throw ERemoteMarshalError(Format("Variant type %d cannot be sent", int(v.VarType())));
  }
}

Variant Scalar(const msgpack::object& o) {
  switch (o.type) {
    case msgpack::type::NIL:
      return Variant::Null();
    case msgpack::type::BOOLEAN:
      return Variant(o.via.boolean);
    case msgpack::type::POSITIVE_INTEGER:
      if (o.via.u64 > static_cast<std::uint64_t>(INT32_MAX)) Malformed("integer out of range");
      return Variant(static_cast<std::int32_t>(o.via.u64));
    case msgpack::type::NEGATIVE_INTEGER:
      if (o.via.i64 < INT32_MIN) Malformed("integer out of range");
      return Variant(static_cast<std::int32_t>(o.via.i64));
    case msgpack::type::FLOAT64:
      return Variant(o.via.f64);
    case msgpack::type::STR:
      return Variant(std::string(o.via.str.ptr, o.via.str.size));
    case msgpack::type::EXT:
      break;
    default:
      Malformed("value of an unexpected type");
  }
  const char* data = o.via.ext.data();
  std::uint32_t size = o.via.ext.size;
  auto need = [&](std::uint32_t n) {
    if (size != n) Malformed("value of a wrong size");
  };
  switch (o.via.ext.type()) {
    case extEmpty:
      need(0);
      return Variant();
    case extSmallint:
      need(2);
      return Variant(GetBigEndian<std::int16_t>(data));
    case extByte:
      need(1);
      return Variant(static_cast<std::uint8_t>(data[0]));
    case extInt64:
      need(8);
      return Variant(GetBigEndian<std::int64_t>(data));
    case extDate:
      need(8);
      return Variant(TDateTime(GetBigEndian<double>(data)));
    case extOleStr: {
      if (size % 2 != 0) Malformed("wide text of an odd length");
      std::u16string w(size / 2, u'\0');
      for (std::size_t i = 0; i < w.size(); ++i)
        w[i] = static_cast<char16_t>(static_cast<unsigned char>(data[2 * i]) |
                                     (static_cast<unsigned char>(data[2 * i + 1]) << 8));
      return Variant(std::move(w));
    }
    default:
      Malformed("value of an unknown kind");
  }
}

// The bounds that open an encoded array, checked against the elements that
// follow them.
std::vector<ArrayBound> ArrayBounds(const msgpack::object& o, wire::TDecodeBudget& budget) {
  if (o.via.array.size < 1) Malformed("array without bounds");
  const msgpack::object& dims = o.via.array.ptr[0];
  std::size_t dim_count = wire::ArraySize(dims, "array bounds");
  if (dim_count < 1 || dim_count > 64) Malformed("array with a wrong number of dimensions");
  std::uint64_t elements = o.via.array.size - 1;
  std::uint64_t product = 1;
  std::vector<ArrayBound> bounds;
  bounds.reserve(dim_count);
  for (std::size_t d = 0; d < dim_count; ++d) {
    const msgpack::object& pair = dims.via.array.ptr[d];
    if (wire::ArraySize(pair, "array bound") != 2) Malformed("array bound");
    std::int64_t low = wire::Integer(pair.via.array.ptr[0], "array bound");
    std::int64_t high = wire::Integer(pair.via.array.ptr[1], "array bound");
    if (low <= INT32_MIN || low > INT32_MAX || high < INT32_MIN || high > INT32_MAX ||
        high < low - 1)
      Malformed("array bounds out of range");
    auto count = static_cast<std::uint64_t>(high - low + 1);
    // Every element takes at least one byte, so a count beyond the elements
    // present is a lie; checking before multiplying keeps the product small.
    if (count > elements) Malformed("array bounds do not match its elements");
    product *= count;
    if (product > elements) Malformed("array bounds do not match its elements");
    bounds.push_back({static_cast<int>(low), static_cast<int>(high)});
  }
  if (product != elements) Malformed("array bounds do not match its elements");
  budget.Take(elements);
  return bounds;
}

}  // namespace

namespace wire {

void PackVariant(Packer& packer, const Variant& value, int max_depth) {
  Pack(packer, value, max_depth);
}

void TDecodeBudget::Take(std::size_t count) {
  if (count > Remaining()) Malformed("too many values");
  used_ += count;
}

msgpack::object_handle Unpack(std::string_view bytes, const TDecodeLimits& limits,
                              int container_levels) {
  if (bytes.size() > limits.MaxBytes) Malformed("message too large");
  if (bytes.empty()) Malformed("empty message");
  // Counts cannot exceed the bytes present (each value takes at least one),
  // so no count makes the decoder allocate more than the message justifies.
  std::size_t n = bytes.size();
  std::size_t depth = static_cast<std::size_t>(container_levels) +
                      static_cast<std::size_t>(std::max(limits.MaxDepth, 0)) + 3;
  msgpack::unpack_limit limit(std::min(n, limits.MaxElements + 1), 0, n, 0, n, depth);
  std::size_t offset = 0;
  msgpack::object_handle handle;
  try {
    handle = msgpack::unpack(bytes.data(), n, offset, nullptr, nullptr, limit);
  } catch (const msgpack::insufficient_bytes&) {
    Malformed("truncated");
  } catch (const msgpack::depth_size_overflow&) {
    Malformed("nested too deep");
  } catch (const msgpack::size_overflow&) {
    Malformed("a count exceeds the limits");
  } catch (const std::bad_alloc&) {
    Malformed("too large to decode");
  } catch (const std::exception& e) {
    Malformed(e.what());
  }
  if (offset != n) Malformed("trailing bytes");
  return handle;
}

Variant ToVariant(const msgpack::object& object, TDecodeBudget& budget) {
  struct Level {
    const msgpack::object* items;  // the encoded elements
    std::size_t next, end;
    Variant* target;
    IndexWalk walk;
    int depth;
  };
  std::vector<Level> stack;
  Variant root;
  budget.Take(1);
  // Fills slot from o; an array becomes a new level to walk.
  auto convert = [&](const msgpack::object& o, Variant& slot, int depth) {
    if (o.type != msgpack::type::ARRAY) {
      slot = Scalar(o);
      return;
    }
    if (depth >= budget.Limits().MaxDepth) Malformed("arrays nested too deep");
    std::vector<ArrayBound> bounds = ArrayBounds(o, budget);
    slot = VarArrayCreate(bounds);
    stack.push_back(
        {o.via.array.ptr + 1, 0, o.via.array.size - 1u, &slot, IndexWalk(bounds), depth + 1});
  };
  convert(object, root, 0);
  while (!stack.empty()) {
    Level& top = stack.back();
    if (top.next == top.end) {
      stack.pop_back();
      continue;
    }
    const msgpack::object& item = top.items[top.next++];
    Variant& slot = top.target->At(top.walk.Index());
    top.walk.Advance();
    convert(item, slot, top.depth);  // may grow the stack: top is not used after this
  }
  return root;
}

const msgpack::object& ArrayItem(const msgpack::object& array, std::size_t index) {
  if (array.type != msgpack::type::ARRAY || index >= array.via.array.size)
    Malformed("missing part");
  return array.via.array.ptr[index];
}

std::size_t ArraySize(const msgpack::object& object, const char* what) {
  if (object.type != msgpack::type::ARRAY) Malformed(std::string(what) + " is no list");
  return object.via.array.size;
}

std::string Text(const msgpack::object& object, const char* what) {
  if (object.type != msgpack::type::STR) Malformed(std::string(what) + " is no text");
  return std::string(object.via.str.ptr, object.via.str.size);
}

std::int64_t Integer(const msgpack::object& object, const char* what) {
  if (object.type == msgpack::type::NEGATIVE_INTEGER) return object.via.i64;
  if (object.type == msgpack::type::POSITIVE_INTEGER && object.via.u64 <= INT64_MAX)
    return static_cast<std::int64_t>(object.via.u64);
  Malformed(std::string(what) + " is no integer");
}

bool Boolean(const msgpack::object& object, const char* what) {
  if (object.type != msgpack::type::BOOLEAN) Malformed(std::string(what) + " is no boolean");
  return object.via.boolean;
}

}  // namespace wire

std::string EncodeVariant(const Variant& value, int max_depth) {
  msgpack::sbuffer buffer;
  wire::Packer packer(buffer);
  wire::PackVariant(packer, value, max_depth);
  return std::string(buffer.data(), buffer.size());
}

Variant DecodeVariant(std::string_view bytes, const TDecodeLimits& limits) {
  msgpack::object_handle handle = wire::Unpack(bytes, limits, 0);
  wire::TDecodeBudget budget(limits);
  return wire::ToVariant(handle.get(), budget);
}

std::string FrameHeader(std::size_t body_size, std::size_t max_frame_size) {
  if (body_size > max_frame_size || body_size > UINT32_MAX)
    throw ERemoteMarshalError(Format("Message of %zu bytes exceeds the frame limit of %zu bytes",
                                     body_size, std::min<std::size_t>(max_frame_size, UINT32_MAX)));
  char header[kFrameHeaderSize];
  PutBigEndian(header, static_cast<std::uint32_t>(body_size));
  return std::string(header, kFrameHeaderSize);
}

std::size_t FrameBodySize(const unsigned char (&header)[kFrameHeaderSize],
                          std::size_t max_frame_size) {
  auto size = GetBigEndian<std::uint32_t>(reinterpret_cast<const char*>(header));
  if (size == 0) Malformed("empty frame");
  if (size > max_frame_size)
    throw ERemoteFrameError(Format("Frame of %u bytes exceeds the limit of %zu bytes",
                                   static_cast<unsigned>(size), max_frame_size));
  return size;
}

std::string MakeFrame(std::string_view body, std::size_t max_frame_size) {
  std::string frame = FrameHeader(body.size(), max_frame_size);
  frame.append(body);
  return frame;
}

}  // namespace vx
