// JPEG pictures drawn and encoded by the tests (libjpeg), including ones that lie about their size.
#pragma once

#include <QColor>
#include <QSize>

#include <string>

namespace testsupport {

// A picture of `size` in `colour`, with a white band across its lower quarter, as JPEG bytes.
std::string JpegPicture(QSize size, QColor colour);

// A small valid picture whose frame header claims `claimed` as its size.
std::string JpegClaiming(QSize claimed);

}  // namespace testsupport
