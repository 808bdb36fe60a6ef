// Writing and reading key names.
#include "shell/key_names.h"

#include <cstring>

namespace {

// Appends src to dst (length *len, capacity size), cutting to fit.
void append(char* dst, size_t size, size_t* len, const char* src) {
  size_t n = std::strlen(src);
  if (*len + n >= size) n = size - 1 - *len;
  std::memcpy(dst + *len, src, n);
  *len += n;
  dst[*len] = 0;
}

}  // namespace

int KeyText(char* dst, size_t size, uint16_t key) {
  if (size == 0) return 0;
  size_t len = 0;
  dst[0] = 0;
  if (!(key & KEY_SECOND))
    for (int i = 0; i < kModifierCount; i++)
      if (key & kModifierBits[i]) append(dst, size, &len, ShiftNamesShort[i]);
  append(dst, size, &len, KeyNames[key & KEY_CODEMASK]);
  return int(len);
}

bool ParseKeyName(const char* name, int* keycode, unsigned* state) {
  if (!name) return false;
  int key = ParseKeyValue(name);
  if (key < 0) return false;
  *keycode = key & KEY_CODEMASK;
  *state = 0;
  for (int i = 0; i < kModifierCount; i++)
    if (key & kModifierBits[i]) *state |= kModifierStates[i];
  return true;
}
