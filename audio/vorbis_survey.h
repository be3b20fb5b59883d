// A walk over an Ogg Vorbis file's pages before libvorbisfile reads it: the
// links counted, each link's headers read as the library will read them, and
// the codebooks measured, so that a file that would overflow the library's
// stack or its time and memory is refused before it is opened.
#pragma once
#include <cstddef>
#include <cstdint>

// Limits a file must keep to be decoded at all. libvorbis builds each book's
// decode table on the stack, 12 bytes an entry: a book of MAX_BOOK_ENTRIES
// takes 384 KiB, within the 2 MB main thread of the smallest target. Real
// encoders stay far below: the carried track's largest book has 6,561
// entries, its 42 books 9,911 together.
constexpr int64_t MAX_BOOK_ENTRIES = 32768;
// The books of one link, and of every link together: each entry costs the
// decoder work and memory when its link starts.
constexpr int64_t MAX_LINK_BOOK_ENTRIES = int64_t(1) << 18;
constexpr int64_t MAX_FILE_BOOK_ENTRIES = int64_t(1) << 22;
// Links in a chain, each a full set of headers and a decoder set-up.
constexpr int MAX_VORBIS_LINKS = 256;

struct VorbisSurvey {
  int links = 0;
  int channels = 0;  // the first link's
  long rate = 0;
  // The most frames the audio packets can decode to (each at most half its
  // link's long block), and what the pages' granule positions claim.
  uint64_t frameBound = 0;
  uint64_t claimedFrames = 0;
};

// False when the file must not be handed to libvorbisfile: more links than
// the limit, links of different rates or channel counts, a codebook over the
// limits, or a stream that restarts inside its own headers.
bool SurveyVorbis(const uint8_t* bytes, size_t size, VorbisSurvey& survey);
