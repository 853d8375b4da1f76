/* qelv_dorevivi.dll: open pages of the web LIS and write barcode BMP files.
 *
 * Every function is __stdcall (x86; x64 has one calling convention) and
 * takes NUL-terminated 8-bit texts in the process's ANSI code page, but the
 * W functions, which take UTF-16; the DLL only reads them during the call.
 * The x86 and x64 DLLs have the same file name, names and ordinals: a host
 * loads the one of its own process's bitness.
 *
 * Page functions return the Windows shell's result: greater than 32 when the
 * shell accepted the address, 32 or less for the shell's own error values,
 * and 0 when nothing was opened (a NULL tested argument, an address over
 * 1023 characters).
 *
 * Barcode functions return nonzero only when the whole BMP file of these
 * digits is at fileName. On 0 there is no file at fileName at all: no part
 * of one and not the label that was there before, so a host that prints the
 * file anyway prints nothing. Only a NULL text leaves the path untouched,
 * and a folder or device at the path is never removed. pBarcode must hold
 * only the ASCII digits 0-9 (the empty text is allowed; odd lengths get a
 * leading 0), at most 334 digits for Code 128, 202 for Interleaved 2 of 5
 * and 12 for the font-drawn Code 128 (101 pixels hold no more).
 *
 * Why a call returned 0: GetLastError() right after it, or at any later
 * time on the same thread qelv_last_error(). Every export sets
 * it before returning 0 (a page export also when it did not call the
 * shell); a barcode export that wrote its file sets ERROR_SUCCESS (0), a
 * page export that called the shell leaves what the shell left. Codes:
 *   87  ERROR_INVALID_PARAMETER  a tested text is NULL
 *   8   ERROR_NOT_ENOUGH_MEMORY  the picture's memory could not be had
 *   32  ERROR_SHARING_VIOLATION  path busy: another program holds the old
 *       file open, so it could be neither replaced nor removed (it may
 *       still be there: do not print it), or other writers of the same
 *       path kept it for more than about a second
 *   112 ERROR_DISK_FULL, 5 ERROR_ACCESS_DENIED, 3 ERROR_PATH_NOT_FOUND and
 *       other system codes: the file could not be written there
 *   and the QELV_ERROR_ codes of qelv_errors.h (bit 29 set: the DLL's own).
 */
#ifndef QELV_DOREVIVI_H
#define QELV_DOREVIVI_H

#include <stddef.h> /* wchar_t in C */

#include "qelv_errors.h"
#include "qelv_version.h"

#ifdef __cplusplus
extern "C" {
#endif

#ifndef QELV_API
#define QELV_API __declspec(dllimport)
#endif
#define QELV_CALL __stdcall

/* Ordinal 1. Main page for a user. */
QELV_API int QELV_CALL OpenVarEda(const char* pUrl, const char* pUserno);
/* Ordinal 2. Main page, mode 1, for a patient; patname is required, never sent. */
QELV_API int QELV_CALL lis_req(const char* pUrl, const char* pUserno,
                               const char* patno, const char* patname);
/* Ordinal 3. Main page, mode 2, for a department and ward. */
QELV_API int QELV_CALL lis_exec(const char* pUrl, const char* pUserno,
                                const char* depno, const char* wardno);
/* Ordinal 4. Report page (mode 3), maximized; depno and wardno may be NULL. */
QELV_API int QELV_CALL lis_report(const char* pUrl, const char* pUserno,
                                  const char* patno, const char* patname,
                                  const char* depno, const char* wardno);
/* Ordinal 5. Main page, mode 4, for a patient. */
QELV_API int QELV_CALL lis_bloodapply(const char* pUrl, const char* pUserno,
                                      const char* patno);
/* Ordinal 6. Main page, mode 5, for a department and ward. */
QELV_API int QELV_CALL lis_bloodexec(const char* pUrl, const char* pUserno,
                                     const char* depno, const char* wardno);
/* Ordinal 7. Request entry page, mode 11, for a patient. */
QELV_API int QELV_CALL lis_apply(const char* pUrl, const char* pUserno,
                                 const char* patno);
/* Ordinal 8. Code 128 (set C) BMP, painted, 35 pixels high. */
QELV_API int QELV_CALL barcodeimage_create(const char* pBarcode,
                                           const char* fileName);
/* Ordinal 9. Code 128 (set C) BMP, drawn with the "code 128" font, 101 x 35. */
QELV_API int QELV_CALL barcodeimage_create_font(const char* pBarcode,
                                                const char* fileName);
/* Ordinal 10. Interleaved 2 of 5 BMP; nRatio 2 or 3, nHeight 20 to 35. */
QELV_API int QELV_CALL itf125barimage_create(int nRatio, int nHeight,
                                             const char* pBarcode,
                                             const char* fileName);
/* Ordinal 11. Report page with two dates; the last four may be NULL. */
QELV_API int QELV_CALL lis_reportdate(const char* pUrl, const char* pUserno,
                                      const char* patno, const char* patname,
                                      const char* depno, const char* wardno,
                                      const char* inpdate, const char* outdate);
/* Ordinal 12. Report page with dates and patient type; the last five may be NULL. */
QELV_API int QELV_CALL lis_reportdateAndType(
    const char* pUrl, const char* pUserno, const char* patno,
    const char* patname, const char* depno, const char* wardno,
    const char* inpdate, const char* outdate, const char* pattype);
/* Ordinal 13. Main page, mode 6, for a patient of a clinic department. */
QELV_API int QELV_CALL lis_req_clinic(const char* pUrl, const char* pUserno,
                                      const char* patno, const char* deptno);
/* Ordinal 18. The code this thread's last barcode or page call set with
   SetLastError, kept where no other Windows call changes it: for hosts that
   cannot call GetLastError right after the call (PowerBuilder). 0 before
   the thread's first call. */
QELV_API int QELV_CALL qelv_last_error(void);

/* Ordinals 19 to 21. The three barcode functions for hosts that keep text
   in UTF-16 (PowerBuilder without ";Ansi", C# with CharSet.Unicode, Delphi
   PWideChar): fileName is used as given, never through a code page, so any
   Unicode name works, characters outside the BMP and \\?\ paths past 259
   characters too; a name with an unpaired surrogate is refused with 123.
   pBarcode holds only U+0030-U+0039: a look-alike digit (fullwidth,
   superscript, Arabic-Indic) is refused as a non-digit, never folded.
   Otherwise each writes byte for byte the file of its ANSI twin, with the
   same result, reasons and log entries. */
/* Ordinal 19. barcodeimage_create for UTF-16 texts. */
QELV_API int QELV_CALL barcodeimage_createW(const wchar_t* pBarcode,
                                            const wchar_t* fileName);
/* Ordinal 20. barcodeimage_create_font for UTF-16 texts. */
QELV_API int QELV_CALL barcodeimage_create_fontW(const wchar_t* pBarcode,
                                                 const wchar_t* fileName);
/* Ordinal 21. itf125barimage_create for UTF-16 texts. */
QELV_API int QELV_CALL itf125barimage_createW(int nRatio, int nHeight,
                                              const wchar_t* pBarcode,
                                              const wchar_t* fileName);

#ifdef __cplusplus
}
#endif

#endif
