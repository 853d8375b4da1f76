/* The last-error codes of qelv_dorevivi.dll's own (bit 29 marks
 * application codes); qelv_dorevivi.h says which system codes it sets too. */
#ifndef QELV_ERRORS_H
#define QELV_ERRORS_H

#define QELV_ERROR_NOT_DIGITS       0x20000001L /* pBarcode holds a non-digit */
#define QELV_ERROR_OVER_CAPACITY    0x20000002L /* too many digits for the symbol */
#define QELV_ERROR_ADDRESS_TOO_LONG 0x20000003L /* page address over 1023 characters */
#define QELV_ERROR_FONT_MISSING     0x20000004L /* no "code 128" font installed */
#define QELV_ERROR_FONT_MISMATCH    0x20000005L /* the "code 128" font draws no
                                                   symbol that reads back as the digits */
#define QELV_ERROR_SYMBOL_TOO_WIDE  0x20000006L /* the font draws the symbol wider
                                                   than 101 pixels */
#define QELV_ERROR_NOT_A_FILE       0x20000007L /* fileName names a folder or a device */
#define QELV_ERROR_DRAWING          0x20000008L /* a drawing step of Windows failed */
#define QELV_ERROR_OLD_LABEL_KEPT   0x20000009L /* the older label at fileName could be
                                                   neither removed nor emptied: it may
                                                   still be there */
#define QELV_ERROR_READBACK         0x2000000AL /* the painted picture did not read
                                                   back as exactly the digits */

#endif
