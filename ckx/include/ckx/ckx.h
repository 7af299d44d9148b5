// SPDX-License-Identifier: MIT
// ckx: a small conventional-cipher library with a context-based C interface.
//
// Conventions of this interface:
//  1. Every function returns a status: 0 (CRYPT_OK) on success, a negative
//     CRYPT_xxx code otherwise.
//  2. A context is a non-zero 32-bit handle made by cryptCreateContextEx and
//     ended by cryptDestroyContext; 0 names no context.
//  3. Key and IV bytes are copied into the context; data buffers are
//     transformed in place and stay the caller's.
//  4. One context carries one state for both directions: encrypting and
//     decrypting through it continue from the same chaining value.
//  5. Nothing throws across this interface. Contexts may be made and ended
//     from any thread; one context is used by one thread at a time.
//  6. On Windows every function uses the Windows API calling convention
//     (__stdcall) and is exported under its plain name, undecorated, with
//     the ordinal of ckx.def. CKX_CALL expands to nothing elsewhere.
#pragma once

#include <stdint.h>

#if defined(_WIN32)
#define CKX_CALL __stdcall
#if defined(CKX_BUILDING)
// The module-definition file names the exports and their ordinals.
#define CKX_API
#else
#define CKX_API __declspec(dllimport)
#endif
#else
#define CKX_CALL
#define CKX_API __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

typedef int CRYPT_ALGO;
typedef int CRYPT_MODE;
typedef int CRYPT_CONTEXT;

// Algorithm numbers. Only those marked "offered" can be used; the others are
// known numbers that cryptAlgoAvailable answers with CRYPT_NOALGO.
enum {
    CRYPT_ALGO_NONE = 0,
    CRYPT_ALGO_DES = 1,  // offered: keys 5..8 bytes
    CRYPT_ALGO_3DES = 2, // offered: two-key EDE, keys 9..16 bytes
    CRYPT_ALGO_IDEA = 3,
    CRYPT_ALGO_MDCSHS = 4,
    CRYPT_ALGO_RC2 = 5, // offered: keys 5..128 bytes, effective key bits 1024
    CRYPT_ALGO_RC4 = 6, // offered in CRYPT_MODE_STREAM only: keys 5..256 bytes
    CRYPT_ALGO_RC5 = 7,
    CRYPT_ALGO_SAFER = 8,    // offered: K-64 (6 rounds) for keys 5..8, K-128 (10 rounds) for 9..16
    CRYPT_ALGO_BLOWFISH = 9, // offered: keys 5..56 bytes
    CRYPT_ALGO_GOST = 10,
    CRYPT_ALGO_SKIPJACK = 11,
    CRYPT_ALGO_DH = 100,
    CRYPT_ALGO_RSA = 101,
    CRYPT_ALGO_DSA = 102,
    CRYPT_ALGO_MD2 = 200,
    CRYPT_ALGO_MD4 = 201,
    CRYPT_ALGO_MD5 = 202,
    CRYPT_ALGO_SHA = 203,
    CRYPT_ALGO_RIPEMD160 = 204
};

// Mode numbers. The block ciphers offer ECB, CBC, CFB, OFB and PCBC; CFB and
// OFB use 64-bit feedback and take any length, keeping their state between
// calls; ECB, CBC and PCBC take whole 8-byte blocks only.
enum {
    CRYPT_MODE_NONE = 0,
    CRYPT_MODE_STREAM = 1,
    CRYPT_MODE_ECB = 2,
    CRYPT_MODE_CBC = 3,
    CRYPT_MODE_CFB = 4,
    CRYPT_MODE_OFB = 5,
    CRYPT_MODE_PCBC = 6, // C[i] = E(P[i] ^ P[i-1] ^ C[i-1]), P[0] ^ C[0] = IV
    CRYPT_MODE_COUNTER = 7,
    CRYPT_MODE_PKC = 100
};

enum {
    CRYPT_MAX_KEYSIZE = 256,
    CRYPT_MAX_IVSIZE = 8,
    CRYPT_USE_DEFAULT = -1,
    CRYPT_UNUSED = -2 // as the 4th argument of cryptCreateContextEx: default set-up
};

// Status codes.
enum {
    CRYPT_OK = 0,
    CRYPT_ERROR = -1,
    CRYPT_BADPARM = -10,  // generic bad argument; also: a weak DES key
    CRYPT_BADPARM1 = -11, // bad argument 1 (e.g. a context that does not exist)
    CRYPT_BADPARM2 = -12,
    CRYPT_BADPARM3 = -13, // e.g. a key or IV length out of range, a partial block
    CRYPT_BADPARM4 = -14,
    CRYPT_BADPARM5 = -15,
    CRYPT_NOMEM = -50,
    CRYPT_NOTINITED = -51,
    CRYPT_NOALGO = -53,   // algorithm not offered
    CRYPT_NOMODE = -54,   // mode not offered for the algorithm
    CRYPT_NOKEY = -55,    // no key loaded
    CRYPT_NOIV = -56,     // no IV loaded in a mode that needs one
    CRYPT_NOTAVAIL = -100 // operation not available for this context
};

// What cryptQueryAlgoMode reports. Sizes are in bytes.
typedef struct {
    CRYPT_ALGO cryptAlgo;
    CRYPT_MODE cryptMode;
    const char* algoName; // static text
    const char* modeName; // static text
    int blockSize;        // bytes that one call must be a multiple of (1: any length)
    int minKeySize, keySize, maxKeySize; // keySize: the recommended size
    int minIVsize, ivSize, maxIVsize;    // all 0: the mode takes no IV
    int speed;                           // CRYPT_ERROR: not measured
    unsigned char hashValue[64];         // unused by conventional ciphers, zero
    unsigned char keyID[80];             // unused, zero
    int keyIDsize;
    long controlVector;
} CRYPT_QUERY_INFO;

// 0 when the algorithm can be used, else CRYPT_NOALGO.
CKX_API int CKX_CALL cryptAlgoAvailable(CRYPT_ALGO cryptAlgo);
// 0 when the mode can be used with the algorithm, else CRYPT_NOALGO or CRYPT_NOMODE.
CKX_API int CKX_CALL cryptModeAvailable(CRYPT_ALGO cryptAlgo, CRYPT_MODE cryptMode);
// Fills *info (every field) for an available algorithm and mode.
CKX_API int CKX_CALL cryptQueryAlgoMode(CRYPT_ALGO cryptAlgo, CRYPT_MODE cryptMode,
                                        CRYPT_QUERY_INFO* info);

// Makes a context; cryptContextEx must be (const void*)CRYPT_UNUSED (the
// default set-up of the algorithm), anything else gives CRYPT_BADPARM4.
// *cryptContext is set to the new handle, or to 0 on failure.
CKX_API int CKX_CALL cryptCreateContextEx(CRYPT_CONTEXT* cryptContext, CRYPT_ALGO cryptAlgo,
                                          CRYPT_MODE cryptMode, const void* cryptContextEx);
#define cryptCreateContext(context, algo, mode)                                                    \
    cryptCreateContextEx((context), (algo), (mode), (const void*)(intptr_t)CRYPT_UNUSED)

// Loads a key (keyLength bytes). Short keys are completed as each algorithm
// defines: DES zero-padded to 8, 3DES to 16 with K3 = K1, SAFER to 8 or 16,
// Blowfish repeated. A weak or semi-weak DES key (in any DES part) gives
// CRYPT_BADPARM; a length the algorithm does not take gives CRYPT_BADPARM3.
// Loading a key restarts the chaining from the loaded IV.
CKX_API int CKX_CALL cryptLoadContext(CRYPT_CONTEXT cryptContext, const void* key, int keyLength);
// Loads an IV of 4..8 bytes, zero-padded on the right to 8. A mode without IV
// answers CRYPT_NOTAVAIL for length 0 and CRYPT_BADPARM3 otherwise.
CKX_API int CKX_CALL cryptLoadIV(CRYPT_CONTEXT cryptContext, const void* iv, int length);
// Transform length bytes of buffer in place. A mode that needs an IV refuses
// to run without one (CRYPT_NOIV).
CKX_API int CKX_CALL cryptEncrypt(CRYPT_CONTEXT cryptContext, void* buffer, int length);
CKX_API int CKX_CALL cryptDecrypt(CRYPT_CONTEXT cryptContext, void* buffer, int length);
// Ends a context and wipes its key material.
CKX_API int CKX_CALL cryptDestroyContext(CRYPT_CONTEXT cryptContext);

#ifdef __cplusplus
}
#endif
