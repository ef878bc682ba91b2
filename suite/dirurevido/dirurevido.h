#pragma once
/* The text-conversion library: GB (Simplified Chinese, code page 936) to Big5
 * (Traditional Chinese, code page 950) and back, as a reader of the other
 * script expects it.
 *
 *   GBtoBIG5  Simplified to Traditional character forms, Taiwan standard; the
 *             result holds only characters code page 950 can encode.
 *   BIG5toGB  Traditional (Taiwan standard) to Simplified forms; the result
 *             holds only characters code page 936 can encode.
 *
 * Texts in and out are UTF-8. A character the target code page cannot encode
 * becomes one "?" (the platform's default character), as do malformed UTF-8
 * bytes of the input. ASCII passes unchanged.
 *
 * Memory: the library never allocates memory for the caller and never
 * writes past the size the caller states, so nothing can leak across the
 * boundary and no buffer size is assumed.
 *
 *   in, in_len     the text; need not be NUL-terminated (in may be NULL when
 *                  in_len is 0).
 *   out, out_size  the caller's buffer and its size in bytes (out may be NULL
 *                  when out_size is 0).
 *
 * Result, >= 0: the length in bytes of the complete converted text, without
 * the terminating NUL. When it is less than out_size, out holds the text and
 * a NUL. Otherwise nothing but an empty string (out_size > 0) was written:
 * call again with a buffer of at least result + 1 bytes. The repeated call
 * for the same text on the same thread does not convert again.
 *
 * Result, < 0: an error; out holds an empty string when out_size > 0.
 *   DIRUREVIDO_E_ARGUMENT   in is NULL with in_len > 0, or out is NULL with out_size > 0
 *   DIRUREVIDO_E_CONVERTER  the conversion tables could not be loaded
 *   DIRUREVIDO_E_FAILED     any other failure of the conversion
 *
 * The functions are safe to call from several threads. The conversion
 * tables are loaded once per process, on first use.
 */
#include <stddef.h>

#ifdef __cplusplus
extern "C" {
#endif

#define DIRUREVIDO_E_ARGUMENT (-1)
#define DIRUREVIDO_E_CONVERTER (-2)
#define DIRUREVIDO_E_FAILED (-3)

typedef ptrdiff_t (*DirurevidoConvertFunc)(const char* in, size_t in_len, char* out,
                                           size_t out_size);

ptrdiff_t GBtoBIG5(const char* in, size_t in_len, char* out, size_t out_size);
ptrdiff_t BIG5toGB(const char* in, size_t in_len, char* out, size_t out_size);

#ifdef __cplusplus
}
#endif
