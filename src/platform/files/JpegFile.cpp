#include "platform/files/JpegFile.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <memory>

extern "C" {
#include <jerror.h>
#include <jpeglib.h>
}

#include "platform/PictureLimits.h"
#include "platform/files/ChunkedInput.h"

namespace platform {

namespace {
using Outcome = Decoded::Outcome;

// Everything libjpeg works on, in one block that stays put: libjpeg keeps pointers into it, and
// a failure leaves through longjmp, which runs no destructor.
struct Decoder {
  explicit Decoder(QIODevice& file) : input(file) {}
  jpeg_decompress_struct info;
  jpeg_error_mgr errors;
  jpeg_source_mgr source;
  jpeg_progress_mgr progress;
  std::jmp_buf failed;
  ChunkedInput input;
  bool endOfFile = false;  // the file ended before libjpeg had read its end marker
  bool warned = false;     // libjpeg warned, if only about metadata
  bool severalScans = false;
  bool unreadableKind = false;  // components that make no picture Qt's reader makes either
  int refusal = 0;         // the warning that refused the picture
  int error = 0;           // the error libjpeg stopped with
  Damage damage = Damage::None;  // found by looking at what libjpeg read
  bool scanned[MAX_COMPONENTS] = {};
};

Decoder& Of(j_common_ptr info) { return *static_cast<Decoder*>(info->client_data); }
Decoder& Of(j_decompress_ptr info) { return *static_cast<Decoder*>(info->client_data); }

// Warnings about odd metadata, or scan parameters a sequential decoder ignores (it raises that
// one before it reads any data): the pixels decode whole all the same.
bool Tolerated(int code) {
  return code == JWRN_EXTRANEOUS_DATA || code == JWRN_JFIF_MAJOR || code == JWRN_BOGUS_ICC ||
         code == JWRN_ADOBE_XFORM || code == JWRN_NOT_SEQUENTIAL;
}

Damage FromWarning(int code) {
  switch (code) {
    case JWRN_HIT_MARKER:
    case JWRN_JPEG_EOF: return Damage::DataEndsEarly;
    case JWRN_BOGUS_PROGRESSION: return Damage::BadScanHeader;
    default: return Damage::BadCode;  // a bad Huffman or arithmetic code, a restart marker out of turn
  }
}
}  // namespace

extern "C" {
static void Fail(j_common_ptr info) {
  Of(info).error = info->err->msg_code;
  std::longjmp(Of(info).failed, 1);
}

static void Silent(j_common_ptr) {}

// Every warning comes here (libjpeg's own shows only the first); one that refuses the picture
// stops decoding at once, since no later row could be kept.
static void Emit(j_common_ptr info, int level) {
  if (level >= 0) return;  // a trace
  Decoder& d = Of(info);
  d.warned = true;
  if (Tolerated(info->err->msg_code)) return;
  d.refusal = info->err->msg_code;
  std::longjmp(d.failed, 1);
}

static void StartSource(j_decompress_ptr) {}
static void EndSource(j_decompress_ptr) {}

// At the end of the file, libjpeg's own answer: an end marker, which it reads as the end of
// whatever it was reading. Unlike libjpeg's own sources this one remembers that it had to.
static boolean Fill(j_decompress_ptr info) {
  static const JOCTET kEndMarker[] = {0xFF, JPEG_EOI};
  Decoder& d = Of(info);
  d.input.Skip(d.input.Available());  // libjpeg has taken all it was given
  d.endOfFile = d.endOfFile || !d.input.Has(1);
  d.source.next_input_byte = d.endOfFile ? kEndMarker : d.input.Data();
  d.source.bytes_in_buffer = d.endOfFile ? sizeof kEndMarker : size_t(d.input.Available());
  return TRUE;
}

static void Skip(j_decompress_ptr info, long count) {
  jpeg_source_mgr& source = *info->src;
  if (count <= 0) return;
  while (count > long(source.bytes_in_buffer)) {
    count -= long(source.bytes_in_buffer);
    Fill(info);
    if (Of(info).endOfFile) return;  // the marker standing for the end stays to be read
  }
  source.next_input_byte += count;
  source.bytes_in_buffer -= size_t(count);
}

// Called as libjpeg takes in the scans of a file in several scans: notes whose data came.
static void NoteScan(j_common_ptr common) {
  auto* info = reinterpret_cast<j_decompress_ptr>(common);
  for (int i = 0; i < info->comps_in_scan; ++i)
    Of(common).scanned[info->cur_comp_info[i]->component_index] = true;
}
}

namespace {
// The header, then Qt's settings: libjpeg's defaults (JDCT_ISLOW, fancy upsampling, block
// smoothing), grey and colour written by libjpeg straight as RGB32, CMYK and YCCK as CMYK.
bool ReadHeader(Decoder& d) {
  if (setjmp(d.failed)) return false;
  jpeg_create_decompress(&d.info);
  d.source = {};
  d.source.init_source = StartSource;
  d.source.fill_input_buffer = Fill;
  d.source.skip_input_data = Skip;
  d.source.resync_to_restart = jpeg_resync_to_restart;
  d.source.term_source = EndSource;
  d.info.src = &d.source;
  d.progress = {};
  d.progress.progress_monitor = NoteScan;
  d.info.progress = &d.progress;
  jpeg_read_header(&d.info, TRUE);
  d.severalScans = jpeg_has_multiple_scans(&d.info);
  NoteScan(reinterpret_cast<j_common_ptr>(&d.info));
  switch (d.info.jpeg_color_space) {
    case JCS_GRAYSCALE:
    case JCS_YCbCr:
    case JCS_RGB: d.info.out_color_space = JCS_EXT_BGRX; break;
    case JCS_CMYK:
    case JCS_YCCK: d.info.out_color_space = JCS_CMYK; break;
    default:  // two components, or five and more
      d.unreadableKind = true;
      return false;
  }
  jpeg_calc_output_dimensions(&d.info);
  return true;
}

// Every component of a sequential file in several scans had a scan; every coefficient of a
// progressive one has all its bits (a progressive file cut at a scan boundary draws with no
// warning at all).
bool AllScansCame(const Decoder& d) {
  const jpeg_decompress_struct& info = d.info;
  for (int c = 0; c < info.num_components; ++c) {
    if (!d.scanned[c]) return false;
    const int* bits = info.progressive_mode ? info.coef_bits[c] : nullptr;
    if (bits && std::any_of(bits, bits + DCTSIZE2, [](int b) { return b != 0; })) return false;
  }
  return true;
}

// Qt's conversion, on the values as stored (Adobe's inverted ones).
void CmykToRgb(const JSAMPLE* in, QRgb* out, JDIMENSION width) {
  for (JDIMENSION x = 0; x < width; ++x, in += 4) {
    const int k = in[3];
    out[x] = qRgb(k * in[0] / 255, k * in[1] / 255, k * in[2] / 255);
  }
}

// Decodes every row into the picture's own memory, then reads on to the end marker.
bool DecodeRows(Decoder& d, uchar* bits, qsizetype stride) {
  if (setjmp(d.failed)) return false;
  jpeg_start_decompress(&d.info);  // takes in every scan of a file in several
  if (!AllScansCame(d)) {
    d.damage = Damage::MissingScans;
    return false;
  }
  jpeg_decompress_struct& info = d.info;
  if (info.out_color_space == JCS_CMYK) {
    JSAMPARRAY row =
        info.mem->alloc_sarray(reinterpret_cast<j_common_ptr>(&info), JPOOL_IMAGE, info.output_width * 4, 1);
    while (info.output_scanline < info.output_height) {
      auto* out = reinterpret_cast<QRgb*>(bits + qsizetype(info.output_scanline) * stride);
      jpeg_read_scanlines(&info, row, 1);
      CmykToRgb(row[0], out, info.output_width);
    }
  } else {
    while (info.output_scanline < info.output_height) {
      JSAMPROW rows[4];
      const JDIMENSION count = std::min<JDIMENSION>(4, info.output_height - info.output_scanline);
      for (JDIMENSION i = 0; i < count; ++i) rows[i] = bits + qsizetype(info.output_scanline + i) * stride;
      jpeg_read_scanlines(&info, rows, count);
    }
  }
  jpeg_finish_decompress(&info);
  return true;
}

// Kinds of file libjpeg-turbo stops at as soon as it meets their frame header.
bool IsUnreadableKind(const Decoder& d) {
  return d.unreadableKind || d.error == JERR_SOF_UNSUPPORTED || d.error == JERR_BAD_PRECISION ||
         d.error == JERR_IMAGE_TOO_BIG || (d.error == JERR_COMPONENT_COUNT && d.info.num_components > MAX_COMPONENTS);
}

Damage Judge(const Decoder& d) {
  if (d.endOfFile) return Damage::DataEndsEarly;
  if (d.refusal != 0) return FromWarning(d.refusal);
  if (d.damage != Damage::None) return d.damage;
  return Damage::BadStructure;
}

struct Destroy {
  void operator()(Decoder* d) const {
    jpeg_destroy_decompress(&d->info);
    delete d;
  }
};
}  // namespace

Decoded ReadJpeg(QIODevice& file, const PictureMemory& memory) {
  std::unique_ptr<Decoder, Destroy> d(new Decoder(file));
  d->info.err = jpeg_std_error(&d->errors);
  d->errors.error_exit = Fail;
  d->errors.emit_message = Emit;
  d->errors.output_message = Silent;
  d->info.client_data = d.get();
  // A frame header over the picture limit refuses the file for its size, whatever else is amiss
  // (libjpeg itself stops at a side over 65,500), unless the file ended in it: then the size is
  // made of the end markers that stand in for the missing bytes.
  const auto refuse = [&](Outcome outcome) {
    const Extent size{d->info.image_width, d->info.image_height};
    if (!d->endOfFile && !FitsPictureLimit(size.width, size.height)) outcome = Outcome::OverLimit;
    else if (d->error == JERR_OUT_OF_MEMORY) outcome = Outcome::NoMemory;
    else if (IsUnreadableKind(*d)) outcome = Outcome::UnreadableJpegKind;
    return Decoded::Refused(outcome, size, outcome == Outcome::Damaged ? Judge(*d) : Damage::None);
  };
  if (!ReadHeader(*d) || !FitsPictureLimit(d->info.image_width, d->info.image_height)) return refuse(Outcome::Damaged);
  Decoded result =
      Decoded::Picture(memory(int(d->info.output_width), int(d->info.output_height), QImage::Format_RGB32));
  if (result.image.isNull()) return refuse(Outcome::NoMemory);
  if (!DecodeRows(*d, result.image.bits(), result.image.bytesPerLine())) return refuse(Outcome::Damaged);
  // The end marker may be missing only where one Huffman-coded scan held everything and nothing
  // was odd: the arithmetic decoder makes up data past the end without a word.
  if (d->endOfFile && (d->severalScans || d->warned || d->info.arith_code)) return refuse(Outcome::Damaged);
  return result;
}

}  // namespace platform
