// HEIC and AVIF files for the tests: made by heif-enc (libheif-examples) from a PNG, and
// changed box by box where heif-enc has no option for it (a turned picture, a huge one).
#pragma once

#include <cstdint>
#include <cstdlib>
#include <string>

#include "support/temp_folder.h"

namespace lumen::test {

// The HEIC (or AVIF) heif-enc makes of the PNG, with a thumbnail of that many pixels on its
// long side (0: none) and heif-enc's options; empty when heif-enc fails. Debian 12's libheif asserts inside libaom
// unless AVIF is 4:2:2, so AVIF is made 4:2:2.
inline std::string EncodeHeif(const std::string& png, bool avif, int thumbnail = 0, const std::string& options = "") {
  const std::string out = png + (avif ? ".avif" : ".heic");
  const std::string command = "heif-enc -q 95 " + options + " " + std::string(avif ? "-A -p chroma=422 " : "") +
                              (thumbnail > 0 ? "-t " + std::to_string(thumbnail) + " " : "") + "'" + png + "' -o '" +
                              out + "' >/dev/null 2>&1";
  return std::system(command.c_str()) == 0 ? ReadBytes(out) : std::string();
}

namespace heif_boxes {
inline uint32_t Get(const std::string& f, size_t at, int bytes) {
  uint32_t v = 0;
  for (int i = 0; i < bytes; ++i) v = v << 8 | static_cast<unsigned char>(f[at + size_t(i)]);
  return v;
}
inline void Put(std::string& f, size_t at, int bytes, uint64_t v) {
  for (int i = bytes - 1; i >= 0; --i, v >>= 8) f[at + size_t(i)] = char(v & 0xFF);
}
// The first box of that type among the boxes in [from, to); npos when there is none.
inline size_t Find(const std::string& f, size_t from, size_t to, const char* type) {
  for (size_t at = from; at + 8 <= to && Get(f, at, 4) >= 8; at += Get(f, at, 4)) {
    if (f.compare(at + 4, 4, type) == 0) return at;
  }
  return std::string::npos;
}
}  // namespace heif_boxes

// The file with an 'irot' property added to its primary image: turned by quarter turns
// anticlockwise as it is shown. The property joins the property container, the primary
// item's associations name it, and every offset into the file after them moves with them.
inline std::string WithRotation(std::string f, int quarterTurns) {
  using namespace heif_boxes;
  const size_t meta = Find(f, 0, f.size(), "meta");
  const size_t metaEnd = meta + Get(f, meta, 4);
  const size_t pitm = Find(f, meta + 12, metaEnd, "pitm"), iloc = Find(f, meta + 12, metaEnd, "iloc");
  const size_t iprp = Find(f, meta + 12, metaEnd, "iprp");
  const size_t ipco = Find(f, iprp + 8, iprp + Get(f, iprp, 4), "ipco");
  const size_t ipma = Find(f, iprp + 8, iprp + Get(f, iprp, 4), "ipma");
  const uint32_t primary = f[pitm + 8] == 0 ? Get(f, pitm + 12, 2) : Get(f, pitm + 12, 4);
  uint32_t properties = 0;
  for (size_t at = ipco + 8; at < ipco + Get(f, ipco, 4); at += Get(f, at, 4)) ++properties;
  // The primary's associations in 'ipma', and the one that names the new property.
  const int version = f[ipma + 8], wide = Get(f, ipma + 9, 3) & 1;
  std::string association = wide ? std::string{char(0x80 | (properties + 1) >> 8), char((properties + 1) & 0xFF)}
                                  : std::string{char(0x80 | (properties + 1))};
  size_t at = ipma + 16, insertAssociation = 0;
  for (uint32_t entry = 0; entry < Get(f, ipma + 12, 4); ++entry) {
    const uint32_t item = version < 1 ? Get(f, at, 2) : Get(f, at, 4);
    at += version < 1 ? 2 : 4;
    const uint32_t count = Get(f, at, 1);
    if (item == primary) {
      Put(f, at, 1, count + 1);
      insertAssociation = at + 1 + count * (wide ? 2 : 1);
    }
    at += 1 + count * (wide ? 2 : 1);
  }
  const std::string irot = std::string("\0\0\0\x09irot", 8) + char(quarterTurns & 3);
  const uint32_t grown = uint32_t(irot.size() + association.size());
  // Offsets into the file (construction method 0) that point past the meta box move on.
  const int ilocVersion = f[iloc + 8];
  const int offsetSize = Get(f, iloc + 12, 1) >> 4, lengthSize = Get(f, iloc + 12, 1) & 15;
  const int baseSize = Get(f, iloc + 13, 1) >> 4, indexSize = ilocVersion >= 1 ? Get(f, iloc + 13, 1) & 15 : 0;
  at = iloc + 14;
  const uint32_t items = ilocVersion < 2 ? Get(f, at, 2) : Get(f, at, 4);
  at += ilocVersion < 2 ? 2 : 4;
  for (uint32_t i = 0; i < items; ++i) {
    at += ilocVersion < 2 ? 2 : 4;
    const int method = ilocVersion >= 1 ? Get(f, at, 2) & 15 : 0;
    at += (ilocVersion >= 1 ? 2 : 0) + 2;
    const size_t base = at;
    at += size_t(baseSize);
    const uint32_t extents = Get(f, at, 2);
    at += 2;
    if (method == 0 && baseSize > 0 && Get(f, base, baseSize) >= metaEnd) Put(f, base, baseSize, Get(f, base, baseSize) + grown);
    for (uint32_t e = 0; e < extents; ++e) {
      at += size_t(indexSize);
      if (method == 0 && baseSize == 0 && Get(f, at, offsetSize) >= metaEnd) {
        Put(f, at, offsetSize, Get(f, at, offsetSize) + grown);
      }
      at += size_t(offsetSize + lengthSize);
    }
  }
  const size_t ipcoEnd = ipco + Get(f, ipco, 4);
  Put(f, ipma, 4, Get(f, ipma, 4) + association.size());
  Put(f, ipco, 4, Get(f, ipco, 4) + irot.size());
  Put(f, iprp, 4, Get(f, iprp, 4) + grown);
  Put(f, meta, 4, Get(f, meta, 4) + grown);
  f.insert(insertAssociation, association);  // after the property container: the later place first
  f.insert(ipcoEnd, irot);
  return f;
}

// The file with every image's size in its 'ispe' properties set to width x height.
inline std::string WithSize(std::string f, uint32_t width, uint32_t height) {
  for (size_t at = f.find("ispe"); at != std::string::npos; at = f.find("ispe", at + 4)) {
    heif_boxes::Put(f, at + 8, 4, width);
    heif_boxes::Put(f, at + 12, 4, height);
  }
  return f;
}

}  // namespace lumen::test
