// Name texts: trimming and the CRC that picks an index chain.
#include <cstring>

#include "ini_model.h"

bool IsIniWhiteSpace(unsigned char c) { return c == ' ' || (c >= 9 && c <= 13); }

// Trims the end, then the start. A text of white space only keeps its first character.
char* TrimText(char* text) {
  size_t length = std::strlen(text);
  if (length == 0) return text;
  size_t end = length;
  while (end > 0 && IsIniWhiteSpace(static_cast<unsigned char>(text[end - 1]))) --end;
  if (end == 0) {
    text[1] = '\0';
    return text;
  }
  text[end] = '\0';
  size_t start = 0;
  while (IsIniWhiteSpace(static_cast<unsigned char>(text[start]))) ++start;
  if (start > 0) std::memmove(text, text + start, end - start + 1);
  return text;
}

// CRC-32, polynomial 0x04C11DB7, most significant bit first, initial value 0, no final
// inversion.
uint32_t NameCrc(const char* bytes, size_t count) {
  constexpr uint32_t kPolynomial = 0x04C11DB7u;
  uint32_t crc = 0;
  for (size_t i = 0; i < count; ++i) {
    const unsigned char byte = static_cast<unsigned char>(bytes[i]);
    for (int bit = 7; bit >= 0; --bit) {
      const uint32_t dataBit = (byte >> bit) & 1u;
      const uint32_t outBit = crc >> 31;
      crc <<= 1;
      if (outBit != dataBit) crc ^= kPolynomial;
    }
  }
  return crc;
}
