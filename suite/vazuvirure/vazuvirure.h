#pragma once
/* The download package (VAZuviRure.so, loaded by the name "VAZuviRure.dll"):
 * brings a local file up to date from a release store.
 *
 * Release store: a folder, or an http(s) address of such a folder, holding
 * one zip archive per file, "<file name in lower case>.zip", whose single
 * entry is the file with its modification time (see release_store.h).
 *
 * Stamp: the modification time of a release as 14 digits "YYYYMMDDHHNNSS"
 * in local time, as the archive entry keeps it (to two seconds) and as
 * unpacking restores it on the local file.
 *
 * Texts are NUL-terminated UTF-8; error buffers are the caller's 256 bytes
 * and receive at most 255 bytes of text and a NUL (empty on success).
 *
 *   CompareFileToDown(stamp, local_file)
 *     non-zero when local_file is missing or its stamp differs from stamp;
 *     0 when it matches, or when stamp is not a stamp (no release known).
 *
 *   VAZuviRureFileEx(mode, text, user, timeout_seconds, remote, local,
 *                    &status, error, &bytes, flag)
 *     fetches the archive remote (a file name, or an http(s) address) and
 *     writes it to local, atomically: the file appears complete or not at
 *     all. timeout_seconds (text, 1..3600, else 60) bounds the whole
 *     transfer. mode, text, user and flag are accepted and not used. status
 *     receives the HTTP status (0 for a file), bytes the size written; both
 *     may be NULL. Archives above 512 MiB are refused. Non-zero on success.
 *
 *   UnZipFilesOrDir(archive, folder, error, &count)
 *     unpacks every entry of archive below folder, keeping each entry's
 *     modification time; count (may be NULL) receives the number of files.
 *     Entries that would land outside folder ("../x", absolute names, drive
 *     names, links, devices), encrypted entries, more than 10000 entries or
 *     more than 1 GiB unpacked are refused. Every file is written to a
 *     temporary name in its folder and renamed into place only when the
 *     whole archive unpacked, so a broken or hostile archive changes
 *     nothing. Non-zero on success.
 *
 *   CompareFileToDownEx, NeedDownLoad, UnZipFilesList, UnZipFilesXML,
 *   GetFileList (error, size)
 *     not supported: write "not supported" into error (size bytes, when
 *     error is not NULL and size > 0) and return 0.
 */

#ifdef __cplusplus
extern "C" {
#endif

#define VAZUVIRURE_ERROR_SIZE 256

typedef int (*CompareFileToDownFunc)(const char* stamp, const char* local_file);
typedef int (*VAZuviRureFileExFunc)(int mode, const char* text, const char* user,
                                    const char* timeout_seconds, const char* remote,
                                    const char* local, int* status, char* error, int* bytes,
                                    int flag);
typedef int (*UnZipFilesOrDirFunc)(const char* archive, const char* folder, char* error,
                                   int* count);
typedef int (*VAZuviRureUnsupportedFunc)(char* error, int size);

int CompareFileToDown(const char* stamp, const char* local_file);
int VAZuviRureFileEx(int mode, const char* text, const char* user, const char* timeout_seconds,
                     const char* remote, const char* local, int* status, char* error, int* bytes,
                     int flag);
int UnZipFilesOrDir(const char* archive, const char* folder, char* error, int* count);
int CompareFileToDownEx(char* error, int size);
int NeedDownLoad(char* error, int size);
int UnZipFilesList(char* error, int size);
int UnZipFilesXML(char* error, int size);
int GetFileList(char* error, int size);

#ifdef __cplusplus
}
#endif
