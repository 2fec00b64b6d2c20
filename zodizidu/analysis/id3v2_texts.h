// The texts of an ID3v2 tag (versions 2.2, 2.3 and 2.4) that the analysis shows for a file
// without an ID3v1 tag.
#pragma once

#include <cstdint>
#include <string>

namespace zodizidu {

// Every text is UTF-8 and in full (an ID3v2 text has no length limit); empty when the tag does
// not hold it.
struct Id3v2Texts {
  std::string title;           // TIT2 (TT2)
  std::string artist;          // TPE1 (TP1)
  std::string album;           // TALB (TAL)
  std::string year;            // the year of TDRC or TYER (TYE): four digits, or the text as it stands
  std::string genre;           // TCON (TCO): names; "(17)" references and plain numbers by the genre table
  std::string comment;         // the COMM (COM) frame with an empty description, else the first
  std::uint8_t genreNr = 255;  // the code of the first genre the genre table knows; 255 = none
};

}  // namespace zodizidu
