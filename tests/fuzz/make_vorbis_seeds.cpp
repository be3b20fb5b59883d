// Makes damaged Ogg chains for the Ogg Vorbis fuzz target out of good files:
// chains cut short, links spliced into one another, pages repeated, dropped or
// renumbered; and links made from nothing with huge codebooks, long chains of
// them and far-fetched lengths. Each page keeps a valid checksum, so that the
// damage reaches the decoder instead of being thrown away with the page.
//   make_vorbis_seeds OUTPUT_DIR GOOD.ogg [GOOD.ogg...]
#include <ogg/ogg.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "audio/vorbis_survey.h"
#include "vorbis_shapes.h"

namespace {
struct Page {
  std::vector<unsigned char> header, body;
};
using Pages = std::vector<Page>;

// Header fields, little-endian at fixed offsets.
constexpr size_t FLAGS = 5, GRANULE = 6, SERIAL = 14, SEQUENCE = 18;
constexpr unsigned char FIRST_PAGE = 2;

void Put(Page& page, size_t at, uint64_t value, int bytes) {
  for (int i = 0; i < bytes; i++) page.header[at + size_t(i)] = (unsigned char)(value >> (8 * i));
}
uint32_t Get32(const Page& page, size_t at) {
  uint32_t v = 0;
  for (int i = 3; i >= 0; i--) v = (v << 8) | page.header[at + size_t(i)];
  return v;
}

Pages ReadPages(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::vector<char> bytes((std::istreambuf_iterator<char>(in)), {});
  ogg_sync_state sync;
  ogg_sync_init(&sync);
  char* buffer = ogg_sync_buffer(&sync, long(bytes.size()));
  if (!bytes.empty()) std::memcpy(buffer, bytes.data(), bytes.size());
  ogg_sync_wrote(&sync, long(bytes.size()));
  Pages pages;
  ogg_page og;
  while (ogg_sync_pageout(&sync, &og) == 1)
    pages.push_back({{og.header, og.header + og.header_len}, {og.body, og.body + og.body_len}});
  ogg_sync_clear(&sync);
  return pages;
}

// The links of a chain: each starts at a page flagged as a stream's first.
std::vector<Pages> Links(const Pages& pages) {
  std::vector<Pages> links;
  for (const Page& page : pages) {
    if (links.empty() || (page.header[FLAGS] & FIRST_PAGE)) links.emplace_back();
    links.back().push_back(page);
  }
  return links;
}

Pages Join(std::initializer_list<Pages> parts) {
  Pages all;
  for (const Pages& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

Pages WithSerial(Pages link, uint32_t serial) {
  for (Page& page : link) Put(page, SERIAL, serial, 4);
  return link;
}

// Writes the pages with fresh checksums, the file cut to `keep` bytes if given.
void Write(const std::string& dir, const std::string& name, Pages pages, size_t keep = size_t(-1)) {
  std::vector<unsigned char> out;
  for (Page& page : pages) {
    ogg_page og{page.header.data(), long(page.header.size()), page.body.data(), long(page.body.size())};
    ogg_page_checksum_set(&og);
    out.insert(out.end(), page.header.begin(), page.header.end());
    out.insert(out.end(), page.body.begin(), page.body.end());
  }
  if (keep < out.size()) out.resize(keep);
  std::ofstream(dir + "/" + name, std::ios::binary).write((const char*)out.data(), std::streamsize(out.size()));
}

size_t Bytes(const Pages& pages) {
  size_t n = 0;
  for (const Page& page : pages) n += page.header.size() + page.body.size();
  return n;
}

// The damaged forms of one chain of links a and b (b may be a's own copy).
void Damage(const std::string& dir, const std::string& tag, const Pages& a, const Pages& b) {
  uint32_t serialA = Get32(a[0], SERIAL);
  Pages chain = Join({a, b});
  // Cut: inside the second link's first page, inside its headers, inside its last page.
  Write(dir, tag + "-cut-first-page.ogg", chain, Bytes(a) + 20);
  Write(dir, tag + "-cut-headers.ogg", chain, Bytes(a) + Bytes({b[0]}) + 100);
  Write(dir, tag + "-cut-last-page.ogg", chain, Bytes(chain) - b.back().body.size() / 2);
  // Spliced: the second link inside the first, after the first's headers; the
  // pages of both interleaved; the second link under the first's serial number;
  // the first's headers followed by the second's audio.
  Pages inside(a.begin(), a.begin() + std::min<size_t>(2, a.size()));
  inside = Join({inside, b, Pages(a.begin() + long(inside.size()), a.end())});
  Write(dir, tag + "-splice-inside.ogg", inside);
  Pages mixed;
  for (size_t i = 0; i < std::max(a.size(), b.size()); i++) {
    if (i < a.size()) mixed.push_back(a[i]);
    if (i < b.size()) mixed.push_back(b[i]);
  }
  Write(dir, tag + "-splice-interleaved.ogg", mixed);
  Write(dir, tag + "-splice-same-serial.ogg", Join({a, WithSerial(b, serialA)}));
  if (a.size() > 2 && b.size() > 2) {
    Pages crossed(a.begin(), a.begin() + 2);
    crossed = Join({crossed, WithSerial(Pages(b.begin() + 2, b.end()), serialA), b});
    Write(dir, tag + "-splice-foreign-audio.ogg", crossed);
  }
  // Page order: in each link in turn, a page repeated, dropped, numbered from
  // zero again, numbered far ahead, and its granule position sent back to 0.
  for (int which = 0; which < 2; which++) {
    const Pages& link = which == 0 ? a : b;
    auto chainWith = [&](const Pages& changed) { return which == 0 ? Join({changed, b}) : Join({a, changed}); };
    std::string at = tag + "-link" + std::to_string(which + 1);
    size_t last = link.size() - 1;
    Pages repeated = link, dropped = link, renumbered = link, ahead = link, backwards = link;
    repeated.insert(repeated.begin() + long(last), link[last - (last > 1)]);
    if (link.size() > 1) dropped.erase(dropped.begin() + long(last - (last > 1)));
    Put(renumbered[last], SEQUENCE, 0, 4);
    Put(ahead[last], SEQUENCE, 0x7ffffff0u, 4);
    Put(backwards[last], GRANULE, 0, 8);
    Write(dir, at + "-page-repeated.ogg", chainWith(repeated));
    Write(dir, at + "-page-dropped.ogg", chainWith(dropped));
    Write(dir, at + "-sequence-restarted.ogg", chainWith(renumbered));
    Write(dir, at + "-sequence-ahead.ogg", chainWith(ahead));
    Write(dir, at + "-granule-back.ogg", chainWith(backwards));
  }
}
}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: make_vorbis_seeds OUTPUT_DIR GOOD.ogg [GOOD.ogg...]\n");
    return 2;
  }
  std::vector<Pages> links;
  for (int i = 2; i < argc; i++)
    for (const Pages& link : Links(ReadPages(argv[i]))) links.push_back(link);
  if (links.empty()) {
    std::fprintf(stderr, "make_vorbis_seeds: no Ogg pages in the input\n");
    return 1;
  }
  // Every link with the next one (the last with the first): a chain of two
  // different links, or of one link twice when only one was given.
  for (size_t i = 0; i < links.size(); i++)
    Damage(argv[1], "chain" + std::to_string(i + 1), links[i], links[(i + 1) % links.size()]);
  // Shapes made from nothing: books and chains a step past the decoder's
  // limits (refused at once), smaller ones it decodes quickly, and a length
  // claimed far beyond the packets.
  auto save = [&](const std::string& name, const std::vector<uint8_t>& bytes) {
    std::ofstream(std::string(argv[1]) + "/" + name, std::ios::binary)
        .write((const char*)bytes.data(), std::streamsize(bytes.size()));
  };
  save("book-past-limit.ogg", vorbis_shapes::Link(1, uint32_t(MAX_BOOK_ENTRIES) + 1, 4));
  save("book-4096.ogg", vorbis_shapes::Link(1, 4096, 4));
  save("chain-past-limit.ogg", vorbis_shapes::Chain(MAX_VORBIS_LINKS + 1));
  save("chain-16.ogg", vorbis_shapes::Chain(16, 3, 3));
  save("claim-2p28.ogg", vorbis_shapes::Link(1, 2, 4, int64_t(1) << 28));
  return 0;
}
