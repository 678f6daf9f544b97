// Words files written by today's editors come in UTF-8 or UTF-16. These
// rules tell which a file is and turn the Unicode kinds into the UTF-16
// units that are laid out and drawn as they are. Nothing here needs the
// platform.
#pragma once
#include <cstdint>

enum WordsEncoding {
    WordsShiftJis = 0,   // everything that is not plainly Unicode: used byte for byte
    WordsUtf8 = 1,       // with or without its byte-order mark
    WordsUtf16Le = 2,    // only with its byte-order mark
    WordsUtf16Be = 3,
};

// What stands for what is no character: half a surrogate pair, a broken
// UTF-8 sequence after a UTF-8 mark, or the odd last byte of a UTF-16
// file. U+30FB, Shift-JIS 81 45 ("・").
constexpr uint16_t kWordsStandIn = 0x30FB;

// The encoding of a file's bytes, and where its text starts (after the
// byte-order mark). A file without a mark is UTF-8 only when it is valid
// UTF-8 throughout and holds a character that old Shift-JIS files cannot
// be mistaken for: two-byte sequences whose bytes are both half-width
// katakana in Shift-JIS prove nothing, since a saying in half-width
// katakana can be valid UTF-8 by chance.
WordsEncoding DetectWordsEncoding(const char* bytes, uint32_t length, uint32_t* textStart);

// The most UTF-16 units that DecodeWordsText can give for count bytes.
uint32_t WordsUnitsBound(uint32_t count);

// Decodes count bytes of a Unicode kind into out (capacity units); gives
// the number of units written, never more than capacity (a character
// beyond the basic plane is written whole or not at all). Such characters
// come out as their surrogate pairs and every surrogate in the result has
// its partner; the few marks that JIS and Windows code differently (the
// wave dash and its kin) come out in Windows' code, so that they measure
// and look as in a Shift-JIS file.
uint32_t DecodeWordsText(const char* bytes, uint32_t count, WordsEncoding encoding, uint16_t* out,
                         uint32_t capacity);
