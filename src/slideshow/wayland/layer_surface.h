// A surface covering one output on the desktop's overlay layer (the wlr layer-shell
// protocol, offered by sway, KWin and other wlroots desktops): the compositor blends it over
// the desktop like any window, yet stacks it above every panel and gives it the keyboard.
// Qt gives a window one shell role and no way to this one, so the show draws its frames
// into a surface of its own, on a connection of its own.
#pragma once

#include <QImage>
#include <QObject>
#include <QSize>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class QSocketNotifier;

namespace lumen::slideshow {

class LayerSurface : public QObject {
 public:
  // The keys' symbols (X keysyms), as the keyboard's own keymap gives them.
  static constexpr int kEscape = 0xff1b, kLeft = 0xff51, kRight = 0xff53;

  // Both are called from the event loop only, never inside Present().
  struct Callbacks {
    std::function<void(int key)> keyReleased;
    std::function<void()> closed;  // the compositor took the surface away
  };

  // Null where the compositor offers no layer shell (GNOME, Weston) or the surface could
  // not be set up; the caller then shows a full-screen window instead. Blocks until the
  // compositor has said which output it chose (a few round trips).
  static std::unique_ptr<LayerSurface> Open(Callbacks callbacks);
  ~LayerSurface() override;

  QSize LogicalSize() const { return size_; }  // of the output the compositor chose
  int Scale() const { return scale_; }         // that output's scale (whole numbers only)
  const std::string& OutputName() const { return outputName_; }

  // Puts a frame of LogicalSize() x Scale() pixels (ARGB32, premultiplied) on the screen.
  void Present(const QImage& frame);

  struct Globals;
  struct Buffer;

 private:
  LayerSurface() = default;
  bool SetUp();
  void ReadEvents();   // the connection is readable: dispatch, then deliver what came
  void DeliverLater();
  void Deliver();
  Buffer* FreeBuffer(int width, int height);

  std::unique_ptr<Globals> g_;
  QSocketNotifier* notifier_ = nullptr;
  QSize size_;
  int scale_ = 1;
  std::string outputName_;
  std::vector<std::unique_ptr<Buffer>> buffers_;
  Callbacks callbacks_;
  bool deliveryQueued_ = false;

  friend struct LayerListeners;
};

}  // namespace lumen::slideshow
