#pragma once
/* The web-service library: one call of a web service over HTTP, its answer
 * left in a file.
 *
 *   CallWebServiceFx(address, method, request, answer_file)
 *
 * All four texts are NUL-terminated UTF-8.
 *
 * Transport: an HTTP POST of `request`, unchanged, as the body to `address`
 * (a URL; "http://" is assumed when no scheme is given), with
 *   Content-Type: text/xml; charset=utf-8
 *   SOAPAction: "<method>"          for example "PORTAL.getAllUser"
 * The method name travels in the SOAPAction header, as services that dispatch
 * on an action name expect it; the request text is not touched.
 * Loopback addresses never go through a proxy; other addresses follow the
 * usual proxy environment variables.
 *
 * Answer: on an HTTP status 2xx the answer body, byte for byte, is written to
 * `answer_file` (created or replaced). On any failure (no connection, time-out,
 * HTTP status other than 2xx, an answer larger than 64 MiB) the file holds an
 * error document instead, in the shape of the portal answers, so that a
 * caller reading "//Status[@code]" and "//Status[@Description]" sees it:
 *
 *   <?xml version="1.0" encoding="UTF-8"?>
 *   <Response><Status code="..." Description="..."/></Response>
 *
 * where code is the HTTP status ("404", "500", ...) for an HTTP error and
 * "-<n>" for a transport failure (n the transfer library's error number, for
 * example "-28" for a time-out, "-7" for a refused connection), and
 * Description says what happened in English.
 *
 * Time-outs: the whole call, connection included, ends after the number of
 * milliseconds in the environment variable VX_WEBSERVICE_TIMEOUT_MS (default
 * 60000); connecting alone after at most 10000 ms. The call never waits
 * longer.
 *
 * Result: 0 the service answered and its answer is in the file; 1 the file
 * holds the error document; -1 the arguments are NULL or the answer file
 * could not be written.
 */

#ifdef __cplusplus
extern "C" {
#endif

#define CALLWEBSERVICE_OK 0
#define CALLWEBSERVICE_ERROR_DOCUMENT 1
#define CALLWEBSERVICE_NO_ANSWER_FILE (-1)

typedef int (*CallWebServiceFunc)(const char* address, const char* method, const char* request,
                                  const char* answer_file);

int CallWebServiceFx(const char* address, const char* method, const char* request,
                     const char* answer_file);

#ifdef __cplusplus
}
#endif
