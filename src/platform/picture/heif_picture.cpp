#include "platform/picture/heif_picture.h"

#include <libheif/heif.h>

#include <QPointF>

#include <algorithm>
#include <cstdint>

#include "platform/gdi/gdi.h"
#include "platform/picture/bmp_picture.h"
#include "platform/picture/colour_profile.h"
#include "platform/picture/decode_budget.h"

namespace lumen::platform::picture {
namespace {

// libheif's own bound on each side; LumenShow's pixel limit is checked on the size as well.
constexpr int kMaxSide = 16384;

struct ContextFree {
  void operator()(heif_context* c) const { heif_context_free(c); }
};
struct HandleRelease {
  void operator()(const heif_image_handle* h) const { heif_image_handle_release(h); }
};
struct ImageRelease {
  void operator()(const heif_image* i) const { heif_image_release(i); }
};
using Handle = std::unique_ptr<const heif_image_handle, HandleRelease>;

std::string Reason(const heif_error& error) { return error.message != nullptr ? error.message : "unknown"; }

// The file's structure, read from bytes that must outlive it, and one of its images: the
// primary, or (thumbnail not 0) that thumbnail of it.
struct Opened {
  std::unique_ptr<heif_context, ContextFree> context;
  Handle image;
};

Result<Opened> OpenImage(const std::string& bytes, heif_item_id thumbnail) {
  // Once for the process: libheif finds its decoders.
  [[maybe_unused]] static const heif_error started = heif_init(nullptr);
  Opened opened{std::unique_ptr<heif_context, ContextFree>(heif_context_alloc()), nullptr};
  if (!opened.context) return Fail("out of memory");
  heif_context_set_maximum_image_size_limit(opened.context.get(), kMaxSide);
  heif_error error =
      heif_context_read_from_memory_without_copy(opened.context.get(), bytes.data(), bytes.size(), nullptr);
  if (error.code != heif_error_Ok) return Fail("not a readable HEIF: " + Reason(error));
  heif_image_handle* primary = nullptr;
  error = heif_context_get_primary_image_handle(opened.context.get(), &primary);
  if (error.code != heif_error_Ok) return Fail("a HEIF without a picture: " + Reason(error));
  opened.image.reset(primary);
  if (thumbnail != 0) {
    heif_image_handle* small = nullptr;
    error = heif_image_handle_get_thumbnail(primary, thumbnail, &small);
    if (error.code != heif_error_Ok) return Fail("cannot read the HEIF's thumbnail: " + Reason(error));
    opened.image.reset(small);
  }
  return opened;
}

class HeifPicture : public Picture {
 public:
  HeifPicture(std::shared_ptr<const std::string> bytes, heif_item_id thumbnail, int width, int height,
              heif_item_id ownThumbnail, int thumbnailWidth, int thumbnailHeight)
      : Picture(width, height),
        bytes_(std::move(bytes)),
        thumbnail_(thumbnail),
        ownThumbnail_(ownThumbnail),
        thumbnailWidth_(thumbnailWidth),
        thumbnailHeight_(thumbnailHeight) {}

  bool StretchTo(gdi::Surface& destination, int x, int y, int width, int height, int) const override {
    auto whole = DecodeWhole();
    return whole && gdi::StretchBlt(destination, x, y, width, height, *whole, 0, 0, whole->Width(), whole->Height());
  }

  // For a preview, the whole picture reduced by the largest whole factor that keeps the long
  // side at least minLongSide, each pixel its block's average.
  Result<gdi::Surface> Decode(int minLongSide) const override {
    auto whole = DecodeWhole();
    if (!whole) return whole.failure();
    const int factor = minLongSide > 0 ? std::max(1, std::max(Width(), Height()) / minLongSide) : 1;
    if (factor == 1) return whole;
    BlockReducer reducer(whole->Width(), whole->Height(), factor);
    for (int y = 0; y < whole->Height(); ++y) reducer.AddRow(y, whole->Row(y));
    return reducer.Take();
  }

  std::unique_ptr<Picture> CameraThumbnail() const override {
    if (ownThumbnail_ == 0) return nullptr;
    return std::make_unique<HeifPicture>(bytes_, ownThumbnail_, thumbnailWidth_, thumbnailHeight_, 0, 0, 0);
  }

 private:
  Result<gdi::Surface> DecodeWhole() const {
    auto opened = OpenImage(*bytes_, thumbnail_);
    if (!opened) return opened.failure();
    // libheif's planes (the coded YCbCr and the RGB it makes of them) beside our copy.
    const uint64_t pixels = uint64_t(Width()) * uint64_t(Height());
    auto share = DecodeShare::Take(pixels * (3 + 3 + 4));
    if (!share) return Fail("no room in the decode budget for it now");
    heif_decoding_options* options = heif_decoding_options_alloc();
    options->convert_hdr_to_8bit = 1;  // a 10-bit picture is shown in 8 bits, as every other
    heif_image* decoded = nullptr;
    const heif_error error =
        heif_decode_image(opened->image.get(), &decoded, heif_colorspace_RGB, heif_chroma_interleaved_RGB, options);
    heif_decoding_options_free(options);
    std::unique_ptr<const heif_image, ImageRelease> image(decoded);
    if (error.code != heif_error_Ok) return Fail("cannot decode the HEIF: " + Reason(error));
    int stride = 0;
    const uint8_t* plane = heif_image_get_plane_readonly(decoded, heif_channel_interleaved, &stride);
    const int width = heif_image_get_width(decoded, heif_channel_interleaved);
    const int height = heif_image_get_height(decoded, heif_channel_interleaved);
    // Turned as the file says, the picture has the size its header gave.
    if (plane == nullptr || uint64_t(width) * uint64_t(height) > pixels || width <= 0 || height <= 0) {
      return Fail("cannot decode the HEIF: its picture is not the size its header says");
    }
    gdi::Surface out(width, height);
    for (int y = 0; y < height; ++y) {
      const uint8_t* in = plane + size_t(y) * size_t(stride);
      uint32_t* row = out.Row(y);
      for (int x = 0; x < width; ++x, in += 3) row[x] = 0xFF000000u | uint32_t(in[0]) << 16 | uint32_t(in[1]) << 8 | in[2];
    }
    return out;
  }

  std::shared_ptr<const std::string> bytes_;
  heif_item_id thumbnail_;     // 0: the primary image
  heif_item_id ownThumbnail_;  // the primary's largest thumbnail, 0 when it has none
  int thumbnailWidth_, thumbnailHeight_;
};

// The image's colours as its 'colr' property gives them: an ICC profile, or the primaries
// and curve of a video signal (nclx; only standard-range curves, BT.709's primaries being
// sRGB's).
std::shared_ptr<const ToSrgb> ColoursOf(const heif_image_handle* image) {
  switch (heif_image_handle_get_color_profile_type(image)) {
    case heif_color_profile_type_prof:
    case heif_color_profile_type_rICC: {
      std::string icc(heif_image_handle_get_raw_color_profile_size(image), '\0');
      if (heif_image_handle_get_raw_color_profile(image, icc.data()).code != heif_error_Ok) return nullptr;
      return ToSrgb::FromIcc(icc);
    }
    case heif_color_profile_type_nclx: {
      heif_color_profile_nclx* nclx = nullptr;
      if (heif_image_handle_get_nclx_color_profile(image, &nclx).code != heif_error_Ok) return nullptr;
      std::unique_ptr<heif_color_profile_nclx, void (*)(heif_color_profile_nclx*)> owned(nclx,
                                                                                        heif_nclx_color_profile_free);
      const int primaries = nclx->color_primaries, curve = nclx->transfer_characteristics;
      const bool standardRange = curve == 1 || curve == 6 || curve == 13 || curve == 14 || curve == 15;
      if (primaries == 1 || primaries == 2 || !standardRange) return nullptr;
      return ToSrgb::From(QColorSpace(QPointF(nclx->color_primary_white_x, nclx->color_primary_white_y),
                                      QPointF(nclx->color_primary_red_x, nclx->color_primary_red_y),
                                      QPointF(nclx->color_primary_green_x, nclx->color_primary_green_y),
                                      QPointF(nclx->color_primary_blue_x, nclx->color_primary_blue_y),
                                      QColorSpace::TransferFunction::SRgb));
    }
    default:
      return nullptr;
  }
}

}  // namespace

bool LooksLikeHeif(const std::string& bytes) {
  if (bytes.size() < 12 || bytes.compare(4, 4, "ftyp") != 0) return false;
  const int length = static_cast<int>(std::min<size_t>(bytes.size(), 4096));
  return heif_check_filetype(reinterpret_cast<const uint8_t*>(bytes.data()), length) != heif_filetype_no;
}

Result<std::unique_ptr<Picture>> OpenHeif(std::string bytes) {
  auto shared = std::make_shared<const std::string>(std::move(bytes));
  auto opened = OpenImage(*shared, 0);
  if (!opened) return opened.failure();
  const heif_image_handle* primary = opened->image.get();
  const int width = heif_image_handle_get_width(primary), height = heif_image_handle_get_height(primary);
  if (width <= 0 || height <= 0 || uint64_t(width) * uint64_t(height) * 4 > kMaxDecodedBytes) {
    return Fail("a picture of " + std::to_string(width) + " x " + std::to_string(height) +
                " pixels is larger than LumenShow decodes");
  }
  // The largest of its thumbnails stands for it in the list when it is large enough.
  heif_item_id best = 0;
  int bestWidth = 0, bestHeight = 0;
  const int count = heif_image_handle_get_number_of_thumbnails(primary);
  std::vector<heif_item_id> ids(static_cast<size_t>(std::max(0, count)));
  heif_image_handle_get_list_of_thumbnail_IDs(primary, ids.data(), count);
  for (heif_item_id id : ids) {
    heif_image_handle* small = nullptr;
    if (heif_image_handle_get_thumbnail(primary, id, &small).code != heif_error_Ok) continue;
    Handle thumbnail(small);
    const int w = heif_image_handle_get_width(small), h = heif_image_handle_get_height(small);
    if (w > 0 && h > 0 && w <= width && h <= height && int64_t(w) * h > int64_t(bestWidth) * bestHeight) {
      best = id, bestWidth = w, bestHeight = h;
    }
  }
  return InSrgb(std::make_unique<HeifPicture>(std::move(shared), 0, width, height, best, bestWidth, bestHeight),
                ColoursOf(primary));
}

}  // namespace lumen::platform::picture
