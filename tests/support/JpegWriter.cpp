#include "support/JpegWriter.h"

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>

extern "C" {
#include <jpeglib.h>
}

namespace jpegwriter {

namespace {
// Sets up a compressor writing to memory, lets `configure` and `write` do their part, and hands
// back the file. A failure here is a broken test, and exits.
QByteArray Compress(const std::function<void(jpeg_compress_struct&)>& configure,
                    const std::function<void(jpeg_compress_struct&)>& write) {
  jpeg_compress_struct info;
  jpeg_error_mgr errors;
  info.err = jpeg_std_error(&errors);
  jpeg_create_compress(&info);
  unsigned char* bytes = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&info, &bytes, &size);
  configure(info);
  jpeg_start_compress(&info, TRUE);
  write(info);
  jpeg_finish_compress(&info);
  jpeg_destroy_compress(&info);
  const QByteArray file(reinterpret_cast<const char*>(bytes), qsizetype(size));
  std::free(bytes);
  return file;
}

// A scan of its own for each component, as more than four cannot share one.
void ScanPerComponent(jpeg_compress_struct& info, std::vector<jpeg_scan_info>& scans) {
  for (int c = 0; c < info.num_components; ++c) scans.push_back({1, {c}, 0, 63, 0, 0});
  info.scan_info = scans.data();
  info.num_scans = int(scans.size());
}
}  // namespace

QByteArray Encode(const QImage& picture, Layout layout) {
  std::vector<jpeg_scan_info> scans;
  const QImage rgb = picture.convertToFormat(QImage::Format_RGB32);
  return Compress(
      [&](jpeg_compress_struct& info) {
        info.image_width = JDIMENSION(picture.width());
        info.image_height = JDIMENSION(picture.height());
        info.input_components = 4;
        info.in_color_space = JCS_EXT_BGRX;
        jpeg_set_defaults(&info);
        jpeg_set_quality(&info, 90, TRUE);
        if (layout == Layout::Restarts) info.restart_in_rows = 1;
        if (layout == Layout::Arithmetic) info.arith_code = TRUE;
        if (layout == Layout::ScanPerComponent) ScanPerComponent(info, scans);
      },
      [&](jpeg_compress_struct& info) {
        while (info.next_scanline < info.image_height) {
          JSAMPROW row = const_cast<uchar*>(rgb.constScanLine(int(info.next_scanline)));
          jpeg_write_scanlines(&info, &row, 1);
        }
      });
}

QByteArray OfComponents(int components) {
  std::vector<jpeg_scan_info> scans;
  return Compress(
      [&](jpeg_compress_struct& info) {
        info.image_width = info.image_height = 8;
        info.input_components = components;
        info.in_color_space = JCS_UNKNOWN;
        jpeg_set_defaults(&info);
        ScanPerComponent(info, scans);
      },
      [&](jpeg_compress_struct& info) {
        std::vector<JSAMPLE> samples(size_t(8 * components));
        for (size_t i = 0; i < samples.size(); ++i) samples[i] = JSAMPLE(i * 29);
        JSAMPROW row = samples.data();
        while (info.next_scanline < info.image_height) jpeg_write_scanlines(&info, &row, 1);
      });
}

}  // namespace jpegwriter
