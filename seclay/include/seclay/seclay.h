// SPDX-License-Identifier: MIT
// seclay: numbered cipher sessions over the ckx crypto library.
//
// Conventions of this interface:
//  1. Every function returns a signed 32-bit result code; 1 means success.
//     The codes are listed in SeclayResult below.
//  2. A session handle is a non-zero 32-bit value; 0 means "no session".
//     A "handle variable" is the address of the caller's handle: when it
//     holds 0 the call creates a session and writes the new handle there.
//  3. Key and IV are zero-terminated byte strings; the session copies them.
//  4. Buffers are transformed in place; the caller keeps ownership and
//     guarantees the room the operation needs (see each function).
//  5. Nothing throws across this interface. One thread at a time.
//  6. Every function that takes a handle answers 97 for handle 0 and 4 for a
//     handle that names no live session (also one already destroyed) before
//     doing anything else. Handles are not reused until a 32-bit counter
//     wraps.
//  7. A null buffer gets the operation's failure code (51 encrypting, 54
//     decrypting, 95 for the Hex reader, 0 for the EBCD pair); a null handle
//     variable gets 97 (0 from SeclayY/SeclayX); a null key or IV text counts
//     as an empty one. Lengths stay the caller's contract.
//  8. The E operations refuse with 62, leaving the buffer as it is, while no
//     key is stored under a cipher.
//  9. On Windows every function uses the Windows API calling convention
//     (__stdcall) and is exported under its plain name, undecorated, with
//     the ordinal of seclay.def (ordinals 1 and 15 are free); callers may
//     bind by name or by ordinal. SECLAY_CALL expands to nothing elsewhere.
#pragma once

#include <stdint.h>

#if defined(_WIN32)
#define SECLAY_CALL __stdcall
#if defined(SECLAY_BUILDING)
// The module-definition file names the exports and their ordinals.
#define SECLAY_API
#else
#define SECLAY_API __declspec(dllimport)
#endif
#else
#define SECLAY_CALL
#define SECLAY_API __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

typedef uint32_t SeclayHandle;

enum SeclayResult {
    SECLAY_FAIL = 0, // SeclayY/SeclayX/EBCD failure; SeclayZ's constant result
    SECLAY_OK = 1,
    SECLAY_BAD_HANDLE = 4,      // the handle names no session
    SECLAY_NO_MEMORY = 20,      // a new session could not be created
    SECLAY_ENCRYPT_FAILED = 51, // also: a crypto context could not be released
    SECLAY_DECRYPT_FAILED = 54,
    SECLAY_QUERY_FAILED = 55,
    SECLAY_KEY_TOO_SHORT = 56,
    SECLAY_KEY_TOO_LONG = 57,
    SECLAY_IV_TOO_SHORT = 58,
    SECLAY_IV_TOO_LONG = 59,
    SECLAY_BAD_ALGO = 60,
    SECLAY_BAD_MODE = 61,
    SECLAY_KEY_LOAD_FAILED = 62,
    SECLAY_IV_LOAD_FAILED = 63,
    SECLAY_BAD_SIZE = 65,
    SECLAY_WEAK_KEY = 66, // the crypto library refused the key with status -10
    SECLAY_CONTEXT_FAILED = 81,
    SECLAY_NO_CONTEXT = 94, // context family used without a main context
    SECLAY_ODD_HEX = 95,
    SECLAY_NULL_HANDLE = 97, // the handle is 0
};

// Algorithm codes: 0 none, 2 DES, 3 and 4 two-key 3DES, 5 RC2, 6 RC4,
// 7 SAFER, 8 Blowfish. Mode codes: 1 ECB, 2 CBC, 3 CFB, 4 OFB, 5 PCBC, 6 PKC.

// Context family: one crypto context per session, loaded once.
SECLAY_API int32_t SECLAY_CALL SeclayAlgoMode(SeclayHandle* handleVar, int32_t algo, int32_t mode);
SECLAY_API int32_t SECLAY_CALL SeclayKeyIv(SeclayHandle handle, const char* key, const char* iv);
SECLAY_API int32_t SECLAY_CALL SeclayEncrypt(SeclayHandle handle, void* buffer, uint32_t length);
SECLAY_API int32_t SECLAY_CALL SeclayDecrypt(SeclayHandle handle, void* buffer, uint32_t length);

// E family: settings only; a fresh crypto context for every buffer.
SECLAY_API int32_t SECLAY_CALL SeclayAlgoModeE(SeclayHandle* handleVar, int32_t algo, int32_t mode);
SECLAY_API int32_t SECLAY_CALL SeclayKeyIvE(SeclayHandle handle, const char* key, const char* iv);
// Pads to a whole number of key-length units (0x80 then zeros); the buffer
// needs room for length + keyLen - 1 bytes. A length of 0 means strlen(buffer).
// Under ECB, CBC and PCBC the key length must be a multiple of 8 for padded
// data to be whole cipher blocks.
SECLAY_API int32_t SECLAY_CALL SeclayEncryptE(SeclayHandle handle, void* buffer, uint32_t length);
// Deciphers length bytes (0: strlen). Whole units come back as they are, the
// padding included; only for a length that is not a whole number of units is
// a 0x80 marker just before the first zero byte cleared.
SECLAY_API int32_t SECLAY_CALL SeclayDecryptE(SeclayHandle handle, void* buffer, uint32_t length);
// Hexadecimal text forms: 2 * padded length upper-case digits and a zero; the
// buffer needs room for them. The readers ignore their length argument and
// read the buffer's text.
// Hex: no length limit; its reader takes only "0123456789ABCDEF" and answers
// 95 for an odd length or any other character, leaving the text as it is.
SECLAY_API int32_t SECLAY_CALL SeclayEncryptEHex(SeclayHandle handle, void* buffer,
                                                 uint32_t length);
SECLAY_API int32_t SECLAY_CALL SeclayDecryptEHex(SeclayHandle handle, void* buffer,
                                                 uint32_t length);
// EBCD: at most 4016 digits (2008 bytes). Over the limit the writer answers 0
// before enciphering, so the buffer keeps its data. The reader also takes
// lower-case digits and answers 0 for a text that is too long, odd, or holds
// anything else, leaving it as it is.
SECLAY_API int32_t SECLAY_CALL SeclayEncryptEBCD(SeclayHandle handle, void* buffer,
                                                 uint32_t length);
SECLAY_API int32_t SECLAY_CALL SeclayDecryptEBCD(SeclayHandle handle, void* buffer,
                                                 uint32_t length);
SECLAY_API int32_t SECLAY_CALL SeclayQ(SeclayHandle handle, void* buffer,
                                       uint32_t length); // = EncryptEBCD
SECLAY_API int32_t SECLAY_CALL SeclayV(SeclayHandle handle, void* buffer,
                                       uint32_t length); // = DecryptEBCD

// Size rules in units of the key length. A size of 0 answers 65; without a
// cipher or a key every other size is fine. SeclaySetUpSize rounds *sizeVar
// up to the next whole unit, or answers 65 when that would not fit 32 bits.
SECLAY_API int32_t SECLAY_CALL SeclayTestSize(SeclayHandle handle, uint32_t size);
SECLAY_API int32_t SECLAY_CALL SeclaySetUpSize(SeclayHandle handle, uint32_t* sizeVar);

// Session end.
SECLAY_API int32_t SECLAY_CALL SeclayClear(SeclayHandle handle);
SECLAY_API int32_t SECLAY_CALL SeclayDestroy(SeclayHandle handle);

// Key hand-over through a pipe: SeclayY opens the session and the pipe and
// writes the write end's descriptor number as decimal text into text (>= 12
// bytes); a second party writes 16 key bytes and 8 IV bytes; SeclayX reads them
// once (waiting up to 5 seconds for them), cuts each part at its first zero,
// runs SeclayKeyIv and closes the pipe. Fewer than 24 bytes, or a handle that
// names no session, answer 0 and leave the pipe open (SeclayClear closes it).
SECLAY_API int32_t SECLAY_CALL SeclayY(SeclayHandle* handleVar, int32_t algo, int32_t mode,
                                       char* text);
SECLAY_API int32_t SECLAY_CALL SeclayX(SeclayHandle* handleVar);
// Copies a fixed 8-byte constant ("SECLAY20", no terminator) into out;
// always returns 0.
SECLAY_API int32_t SECLAY_CALL SeclayZ(int32_t unused1, int32_t unused2, int32_t unused3,
                                       unsigned char* out);

#ifdef __cplusplus
}
#endif
