#pragma once

#include <QImage>

// An off-screen picture of the gauge that pixels are combined into by exclusive-or.
class TBltBitmap : public QImage
{
  public:
    /// Takes Other's width and height and fills every pixel with the window-frame colour.
    void MakeLike(const QImage &Other);
};
