// JPEG pictures drawn and encoded by the tests (libjpeg), including ones that lie about their size.
#pragma once

#include <QColor>
#include <QSize>

#include <string>

namespace testsupport {

// A picture of `size` in `colour`, with a white band across its lower quarter, as JPEG bytes.
std::string JpegPicture(QSize size, QColor colour);

// How a four-ink picture is stored: inverted inks with an Adobe marker (as print programs write
// them), the same in YCCK, or plain inks without the marker.
enum class InkForm { kAdobeCmyk, kAdobeYcck, kPlainCmyk };

// A picture of `size` in the inks `cyan`, `magenta`, `yellow`, `black` (0 = none, 255 = full),
// as JPEG bytes in `form`.
std::string JpegInks(QSize size, int cyan, int magenta, int yellow, int black, InkForm form);

// A picture of `size` with a pattern of shapes and noise (so it compresses like a photograph),
// progressive when asked; for timings.
std::string JpegPhoto(QSize size, bool progressive);

// A grey (one component) picture of `size` with a pattern of shapes and noise.
std::string JpegGrey(QSize size);

// JpegPhoto() with a restart marker after every `rows` rows of blocks.
std::string JpegWithRestarts(QSize size, int rows);

// A flat grey progressive picture of `size` whose last scan is sent `repeats` more times: the
// decoder goes over every block of the picture once for each copy.
std::string JpegRepeatingLastScan(QSize size, int repeats);

// A small valid picture whose frame header claims `claimed` as its size.
std::string JpegClaiming(QSize claimed);

}  // namespace testsupport
