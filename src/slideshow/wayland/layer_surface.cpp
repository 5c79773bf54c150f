#include "slideshow/wayland/layer_surface.h"

#include <QSocketNotifier>
#include <QTimer>
#include <algorithm>
#include <cstring>
#include <sys/mman.h>
#include <unistd.h>
#include <wayland-client.h>
#include <xkbcommon/xkbcommon.h>

#include "wlr-layer-shell-unstable-v1-client-protocol.h"

namespace lumen::slideshow {

struct Output {
  wl_output* output = nullptr;
  int scale = 1;
  std::string name;
};

struct LayerSurface::Globals {
  wl_display* display = nullptr;
  wl_registry* registry = nullptr;
  wl_compositor* compositor = nullptr;
  wl_shm* shm = nullptr;
  wl_seat* seat = nullptr;
  wl_keyboard* keyboard = nullptr;
  zwlr_layer_shell_v1* shell = nullptr;
  std::vector<std::unique_ptr<Output>> outputs;
  wl_surface* surface = nullptr;
  zwlr_layer_surface_v1* layer = nullptr;

  bool configured = false;
  uint32_t width = 0, height = 0;  // as configured, in the output's logical pixels
  Output* entered = nullptr;
  // The keyboard's keymap: what a key code means depends on it (a virtual keyboard, or a
  // remapped one, sends codes of its own).
  xkb_context* xkb = xkb_context_new(XKB_CONTEXT_NO_FLAGS);
  xkb_keymap* keymap = nullptr;
  xkb_state* keys = nullptr;
  std::vector<int> releasedKeys;  // keysyms, waiting to be delivered from the event loop
  bool closed = false;

  void SetKeymap(xkb_keymap* map) {
    if (keys != nullptr) xkb_state_unref(keys);
    if (keymap != nullptr) xkb_keymap_unref(keymap);
    keymap = map;
    keys = map != nullptr ? xkb_state_new(map) : nullptr;
  }

  ~Globals() {
    SetKeymap(nullptr);
    if (xkb != nullptr) xkb_context_unref(xkb);
    if (layer != nullptr) zwlr_layer_surface_v1_destroy(layer);
    if (surface != nullptr) wl_surface_destroy(surface);
    if (keyboard != nullptr) wl_keyboard_destroy(keyboard);
    if (seat != nullptr) wl_seat_destroy(seat);
    for (auto& o : outputs) wl_output_destroy(o->output);
    if (shell != nullptr) zwlr_layer_shell_v1_destroy(shell);
    if (shm != nullptr) wl_shm_destroy(shm);
    if (compositor != nullptr) wl_compositor_destroy(compositor);
    if (registry != nullptr) wl_registry_destroy(registry);
    if (display != nullptr) wl_display_disconnect(display);
  }
};

// One shared-memory buffer; busy from its attach until the compositor releases it.
struct LayerSurface::Buffer {
  wl_buffer* buffer = nullptr;
  void* data = MAP_FAILED;
  size_t bytes = 0;
  int width = 0, height = 0;
  bool busy = false;
  ~Buffer() {
    if (buffer != nullptr) wl_buffer_destroy(buffer);
    if (data != MAP_FAILED) munmap(data, bytes);
  }
};

namespace {

using Globals = LayerSurface::Globals;

// Each listener's entries in the protocol's event order; unused events do nothing.
template <typename... A>
void Nothing(void*, A...) {}

const wl_output_listener kOutputListener = {
    .geometry = Nothing<wl_output*, int32_t, int32_t, int32_t, int32_t, int32_t, const char*, const char*, int32_t>,
    .mode = Nothing<wl_output*, uint32_t, int32_t, int32_t, int32_t>,
    .done = Nothing<wl_output*>,
    .scale = [](void* data, wl_output*, int32_t factor) { static_cast<Output*>(data)->scale = std::max(1, factor); },
    .name = [](void* data, wl_output*, const char* name) { static_cast<Output*>(data)->name = name; },
    .description = Nothing<wl_output*, const char*>,
};

void ReadKeymap(void* data, wl_keyboard*, uint32_t format, int32_t fd, uint32_t size) {
  auto* g = static_cast<Globals*>(data);
  void* text = format == WL_KEYBOARD_KEYMAP_FORMAT_XKB_V1 && g->xkb != nullptr
                   ? mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0)
                   : MAP_FAILED;
  ::close(fd);
  if (text == MAP_FAILED) return;
  // The text ends in a NUL within `size`.
  g->SetKeymap(xkb_keymap_new_from_string(g->xkb, static_cast<const char*>(text), XKB_KEYMAP_FORMAT_TEXT_V1,
                                          XKB_KEYMAP_COMPILE_NO_FLAGS));
  munmap(text, size);
}

const wl_keyboard_listener kKeyboardListener = {
    .keymap = ReadKeymap,
    .enter = Nothing<wl_keyboard*, uint32_t, wl_surface*, wl_array*>,
    .leave = Nothing<wl_keyboard*, uint32_t, wl_surface*>,
    .key =
        [](void* data, wl_keyboard*, uint32_t, uint32_t, uint32_t key, uint32_t state) {
          auto* g = static_cast<Globals*>(data);
          // A key acts on release, as on every other desktop; Wayland sends no repeats.
          // Key codes are Linux input codes; the keymap counts from 8.
          if (state == WL_KEYBOARD_KEY_STATE_RELEASED && g->keys != nullptr) {
            g->releasedKeys.push_back(int(xkb_state_key_get_one_sym(g->keys, key + 8)));
          }
        },
    .modifiers =
        [](void* data, wl_keyboard*, uint32_t, uint32_t depressed, uint32_t latched, uint32_t locked,
           uint32_t group) {
          auto* g = static_cast<Globals*>(data);
          if (g->keys != nullptr) xkb_state_update_mask(g->keys, depressed, latched, locked, 0, 0, group);
        },
    .repeat_info = Nothing<wl_keyboard*, int32_t, int32_t>,
};

const wl_seat_listener kSeatListener = {
    .capabilities =
        [](void* data, wl_seat* seat, uint32_t capabilities) {
          auto* g = static_cast<Globals*>(data);
          if ((capabilities & WL_SEAT_CAPABILITY_KEYBOARD) != 0 && g->keyboard == nullptr) {
            g->keyboard = wl_seat_get_keyboard(seat);
            wl_keyboard_add_listener(g->keyboard, &kKeyboardListener, g);
          }
        },
    .name = Nothing<wl_seat*, const char*>,
};

const wl_registry_listener kRegistryListener = {
    .global =
        [](void* data, wl_registry* registry, uint32_t name, const char* interface, uint32_t version) {
          auto* g = static_cast<Globals*>(data);
          auto bind = [&](const wl_interface* what, uint32_t most) {
            return wl_registry_bind(registry, name, what, std::min(version, most));
          };
          const std::string_view is(interface);
          if (is == wl_compositor_interface.name) {
            g->compositor = static_cast<wl_compositor*>(bind(&wl_compositor_interface, 4));
          } else if (is == wl_shm_interface.name) {
            g->shm = static_cast<wl_shm*>(bind(&wl_shm_interface, 1));
          } else if (is == wl_seat_interface.name && g->seat == nullptr) {
            g->seat = static_cast<wl_seat*>(bind(&wl_seat_interface, 4));
            wl_seat_add_listener(g->seat, &kSeatListener, g);
          } else if (is == zwlr_layer_shell_v1_interface.name) {
            g->shell = static_cast<zwlr_layer_shell_v1*>(bind(&zwlr_layer_shell_v1_interface, 4));
          } else if (is == wl_output_interface.name) {
            auto output = std::make_unique<Output>();
            output->output = static_cast<wl_output*>(bind(&wl_output_interface, 4));
            wl_output_add_listener(output->output, &kOutputListener, output.get());
            g->outputs.push_back(std::move(output));
          }
        },
    .global_remove = Nothing<wl_registry*, uint32_t>,
};

const zwlr_layer_surface_v1_listener kLayerListener = {
    .configure =
        [](void* data, zwlr_layer_surface_v1* layer, uint32_t serial, uint32_t width, uint32_t height) {
          auto* g = static_cast<Globals*>(data);
          zwlr_layer_surface_v1_ack_configure(layer, serial);
          g->width = width;
          g->height = height;
          g->configured = true;
        },
    .closed = [](void* data, zwlr_layer_surface_v1*) { static_cast<Globals*>(data)->closed = true; },
};

const wl_surface_listener kSurfaceListener = {
    .enter =
        [](void* data, wl_surface*, wl_output* output) {
          auto* g = static_cast<Globals*>(data);
          for (auto& o : g->outputs) {
            if (o->output == output) g->entered = o.get();
          }
        },
    .leave = Nothing<wl_surface*, wl_output*>,
};

const wl_buffer_listener kBufferListener = {
    .release = [](void* data, wl_buffer*) { static_cast<LayerSurface::Buffer*>(data)->busy = false; },
};

}  // namespace

std::unique_ptr<LayerSurface> LayerSurface::Open(Callbacks callbacks) {
  std::unique_ptr<LayerSurface> surface(new LayerSurface());
  surface->callbacks_ = std::move(callbacks);
  if (!surface->SetUp()) return nullptr;
  return surface;
}

bool LayerSurface::SetUp() {
  g_ = std::make_unique<Globals>();
  g_->display = wl_display_connect(nullptr);
  if (g_->display == nullptr) return false;
  g_->registry = wl_display_get_registry(g_->display);
  wl_registry_add_listener(g_->registry, &kRegistryListener, g_.get());
  // The globals, then what they send when bound (outputs' scales and names, the seat).
  if (wl_display_roundtrip(g_->display) < 0 || wl_display_roundtrip(g_->display) < 0) return false;
  if (g_->compositor == nullptr || g_->shm == nullptr || g_->shell == nullptr) return false;

  g_->surface = wl_compositor_create_surface(g_->compositor);
  wl_surface_add_listener(g_->surface, &kSurfaceListener, g_.get());
  // No output named: the compositor puts it where the user is (the focused output).
  g_->layer = zwlr_layer_shell_v1_get_layer_surface(g_->shell, g_->surface, nullptr, ZWLR_LAYER_SHELL_V1_LAYER_OVERLAY,
                                                   "lumenshow");
  zwlr_layer_surface_v1_add_listener(g_->layer, &kLayerListener, g_.get());
  zwlr_layer_surface_v1_set_anchor(g_->layer, ZWLR_LAYER_SURFACE_V1_ANCHOR_TOP | ZWLR_LAYER_SURFACE_V1_ANCHOR_BOTTOM |
                                                  ZWLR_LAYER_SURFACE_V1_ANCHOR_LEFT | ZWLR_LAYER_SURFACE_V1_ANCHOR_RIGHT);
  zwlr_layer_surface_v1_set_size(g_->layer, 0, 0);  // the whole output
  zwlr_layer_surface_v1_set_exclusive_zone(g_->layer, -1);  // over the panels' space too
  zwlr_layer_surface_v1_set_keyboard_interactivity(g_->layer, ZWLR_LAYER_SURFACE_V1_KEYBOARD_INTERACTIVITY_EXCLUSIVE);
  wl_surface_commit(g_->surface);
  for (int i = 0; i < 50 && !g_->configured && !g_->closed; ++i) {
    if (wl_display_roundtrip(g_->display) < 0) return false;
  }
  if (!g_->configured || g_->closed || g_->width == 0 || g_->height == 0) return false;

  // An empty first frame maps the surface: the compositor then says which output it is on,
  // whose scale the show's frames take.
  size_ = QSize(int(g_->width), int(g_->height));
  QImage clear(size_, QImage::Format_ARGB32_Premultiplied);
  clear.fill(Qt::transparent);
  Present(clear);
  for (int i = 0; i < 50 && g_->entered == nullptr && !g_->closed; ++i) {
    if (wl_display_roundtrip(g_->display) < 0) return false;
  }
  if (g_->entered != nullptr) {
    scale_ = g_->entered->scale;
    outputName_ = g_->entered->name;
  }

  notifier_ = new QSocketNotifier(wl_display_get_fd(g_->display), QSocketNotifier::Read, this);
  connect(notifier_, &QSocketNotifier::activated, this, [this] { ReadEvents(); });
  DeliverLater();  // keys that came during the set-up
  return true;
}

LayerSurface::~LayerSurface() {
  delete notifier_;  // before its descriptor closes with the connection
  buffers_.clear();
  g_.reset();
}

void LayerSurface::ReadEvents() {
  wl_display* d = g_->display;
  while (wl_display_prepare_read(d) != 0) wl_display_dispatch_pending(d);
  wl_display_flush(d);
  if (wl_display_read_events(d) < 0 || wl_display_dispatch_pending(d) < 0) {
    g_->closed = true;  // the compositor is gone
    notifier_->setEnabled(false);
  }
  Deliver();
}

void LayerSurface::DeliverLater() {
  if (deliveryQueued_ || (g_->releasedKeys.empty() && !g_->closed)) return;
  deliveryQueued_ = true;
  QTimer::singleShot(0, this, [this] { Deliver(); });
}

void LayerSurface::Deliver() {
  deliveryQueued_ = false;
  std::vector<int> keys;
  keys.swap(g_->releasedKeys);
  // A callback may end the show and with it this surface: nothing of `this` after it.
  const bool closed = g_->closed;
  auto callbacks = callbacks_;
  for (int key : keys) {
    if (callbacks.keyReleased) callbacks.keyReleased(key);
  }
  if (closed && callbacks.closed) callbacks.closed();
}

LayerSurface::Buffer* LayerSurface::FreeBuffer(int width, int height) {
  // Buffers of another size go once the compositor has let go of them.
  std::erase_if(buffers_, [&](const auto& b) { return !b->busy && (b->width != width || b->height != height); });
  for (int attempt = 0; attempt < 100; ++attempt) {
    for (auto& b : buffers_) {
      if (!b->busy && b->width == width && b->height == height) return b.get();
    }
    if (buffers_.size() < 3) break;
    // All three on the screen or queued: wait for one to be released.
    if (wl_display_dispatch(g_->display) < 0) return nullptr;
  }
  auto b = std::make_unique<Buffer>();
  b->width = width;
  b->height = height;
  b->bytes = size_t(width) * size_t(height) * 4;
  const int fd = memfd_create("lumenshow-frame", MFD_CLOEXEC);
  if (fd < 0) return nullptr;
  if (ftruncate(fd, off_t(b->bytes)) == 0) {
    b->data = mmap(nullptr, b->bytes, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
  }
  if (b->data == MAP_FAILED) {
    ::close(fd);
    return nullptr;
  }
  wl_shm_pool* pool = wl_shm_create_pool(g_->shm, fd, int32_t(b->bytes));
  // ARGB8888 is premultiplied, B G R A in memory: Qt's ARGB32_Premultiplied on little endian.
  b->buffer = wl_shm_pool_create_buffer(pool, 0, width, height, width * 4, WL_SHM_FORMAT_ARGB8888);
  wl_shm_pool_destroy(pool);
  ::close(fd);
  wl_buffer_add_listener(b->buffer, &kBufferListener, b.get());
  buffers_.push_back(std::move(b));
  return buffers_.back().get();
}

void LayerSurface::Present(const QImage& frame) {
  if (g_->closed) return;
  const QImage image = frame.format() == QImage::Format_ARGB32_Premultiplied
                           ? frame
                           : frame.convertToFormat(QImage::Format_ARGB32_Premultiplied);
  Buffer* b = FreeBuffer(image.width(), image.height());
  if (b == nullptr) return;
  for (int y = 0; y < image.height(); ++y) {
    std::memcpy(static_cast<char*>(b->data) + size_t(y) * size_t(b->width) * 4, image.constScanLine(y),
                size_t(b->width) * 4);
  }
  wl_surface_set_buffer_scale(g_->surface, image.width() == size_.width() ? 1 : scale_);
  wl_surface_attach(g_->surface, b->buffer, 0, 0);
  wl_surface_damage_buffer(g_->surface, 0, 0, b->width, b->height);
  wl_surface_commit(g_->surface);
  b->busy = true;
  wl_display_flush(g_->display);
  DeliverLater();  // keys read while waiting for a buffer reach the show from the event loop
}

}  // namespace lumen::slideshow
