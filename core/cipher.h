// File ciphers: the byte stream cipher (file name + '@' + key) and the
// block cipher (file name + "@@" + key). Each keeps one global state, set up
// anew at the start of every file read or written.
#pragma once

#include <cstddef>
#include <cstdint>

struct EditorState;

// Number of key-stream bytes thrown away after the stream key set-up: the
// start of the stream leaks key bits.
constexpr int kArcfourDrop = 1536;
// Longest stream key used; longer keys are cut to this length.
constexpr int kArcfourKeyMax = 255;

// With a key: sets up the stream cipher (the key is the name suffix from the
// '@' on, '@' included) and returns 0. With a null key: returns the next
// key-stream byte. An empty key acts as the one-byte key 0.
int arcfour(EditorState* V, const char* key);

// Sets up the stream cipher from len raw key bytes (cut to kArcfourKeyMax;
// len 0 acts as the one-byte key 0) and throws away `drop` key-stream bytes.
void arcfourSetup(const uint8_t* key, size_t len, int drop);

// XORs n bytes in place with the next n key-stream bytes.
void arcfourXor(uint8_t* data, size_t n);

// Turns a key string into the block-cipher key in out[0..31]; returns the key
// size used in bytes (16, 24 or 32).
int rijndaelKeyFromString(const char* key, uint8_t out[32]);

// Sets up the block cipher from a key string (the text after "@@").
void keyRijndael(const char* key);

// Sets up the block cipher from a raw key of 16, 24 or 32 bytes; returns 0,
// or 1 (state unchanged) for any other size.
int keyRijndaelRaw(const uint8_t* key, int bytes);

// Encipher / decipher one 16-byte block in place.
void rijndael(uint8_t block[16]);
void unRijndael(uint8_t block[16]);

// Encipher / decipher n bytes in place, each 16-byte block on its own; a
// trailing part shorter than 16 bytes is left untouched.
void rijndaelBlocks(uint8_t* data, size_t n);
void unRijndaelBlocks(uint8_t* data, size_t n);
