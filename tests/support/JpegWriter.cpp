#include "fuzz/JpegEncoder.h"

#include <cstdio>
#include <cstdlib>
#include <vector>

extern "C" {
#include <jpeglib.h>
}

namespace fuzz {

QByteArray EncodeJpeg(const QImage& picture, JpegLayout layout) {
  jpeg_compress_struct info;
  jpeg_error_mgr errors;
  info.err = jpeg_std_error(&errors);  // a failure here is a broken test, and exits
  jpeg_create_compress(&info);
  unsigned char* bytes = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&info, &bytes, &size);
  info.image_width = JDIMENSION(picture.width());
  info.image_height = JDIMENSION(picture.height());
  info.input_components = 4;
  info.in_color_space = JCS_EXT_BGRX;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, 90, TRUE);
  std::vector<jpeg_scan_info> scans;
  if (layout == JpegLayout::Restarts) {
    info.restart_in_rows = 1;
  } else {
    for (int c = 0; c < info.num_components; ++c) scans.push_back({1, {c}, 0, 63, 0, 0});
    info.scan_info = scans.data();
    info.num_scans = int(scans.size());
  }
  jpeg_start_compress(&info, TRUE);
  const QImage rgb = picture.convertToFormat(QImage::Format_RGB32);
  while (info.next_scanline < info.image_height) {
    JSAMPROW row = const_cast<uchar*>(rgb.constScanLine(int(info.next_scanline)));
    jpeg_write_scanlines(&info, &row, 1);
  }
  jpeg_finish_compress(&info);
  jpeg_destroy_compress(&info);
  const QByteArray file(reinterpret_cast<const char*>(bytes), qsizetype(size));
  std::free(bytes);
  return file;
}

}  // namespace fuzz
