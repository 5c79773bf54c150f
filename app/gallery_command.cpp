// lumenshow gallery: the custom controls as they draw themselves, as PNG files.
#include <QApplication>
#include <QImage>
#include <iostream>

#include "app/output_files.h"
#include "app/command_line.h"
#include "app/subcommands.h"
#include "controls/widgets/lumen_button_widget.h"
#include "controls/widgets/lumen_scrollbar_widget.h"
#include "platform/desktop/japanese_ui.h"

namespace lumen::app {
namespace {

using controls::LumenButtonWidget;
using controls::LumenScrollBarWidget;

bool Save(const QImage& image, const std::string& folder, const std::string& name) {
  return WritePngFile(image, folder + "/" + name);
}

// A 109 x 33 button in one state, as the main window's folder button.
QImage ButtonImage(int state) {
  LumenButtonWidget widget;
  widget.resize(109, 33);
  auto& button = widget.Button();
  button.SetFont(controls::FontSpec{.name = "ＭＳ Ｐゴシック", .points = 9.75});
  button.SetCaption("ﾌｫﾙﾀﾞの選択");
  if (state == controls::StateDisabled) {
    button.SetEnabled(false);
  } else if (state == controls::StateFocused) {
    button.OnGotFocus();  // focused: with its focus rectangle
  }
  button.DrawButton(state);
  return widget.Snapshot();
}

// The horizontal 81 x 17 bar of the main window: 50 to 100, at 100.
QImage ScrollBarImage(int style, const std::string& state) {
  LumenScrollBarWidget widget;
  widget.resize(81, 17);
  auto& bar = widget.Bar();
  bar.SetOrientation(1);
  bar.SetMin(50);
  bar.SetValue(100);
  bar.SetLargeChange(10);
  bar.SetStyle(style);
  auto send = [&](platform::UINT message, platform::WPARAM w, int x, int y) {
    bar.hWnd()->SendMessage(message, w, platform::MakeLParam(x, y));
  };
  if (state == "hovered") send(platform::WM_MOUSEMOVE, 0, 8, 8);
  if (state == "pressed") send(platform::WM_LBUTTONDOWN, platform::MK_LBUTTON, 8, 8);
  if (state == "disabled") bar.SetEnabled(false);
  QImage image = widget.Snapshot();
  if (state == "pressed") send(platform::WM_LBUTTONUP, 0, 8, 8);
  return image;
}

}  // namespace

int RunGallery(int argc, char** argv, const std::vector<std::string>& args) {
  auto options = ParseCommandOptions(args, "gallery");
  if (!options) return BadArguments("gallery", options.reason());
  if (!options->positional.empty() || options->Value("--out") == nullptr) {
    return BadArguments("gallery", UsageLine("gallery"));
  }
  const std::string folder = *options->Value("--out");
  if (!MakeOutputFolder(folder)) return BadArguments("gallery", "cannot create '" + folder + "'");

  qputenv("QT_QPA_PLATFORM", "offscreen");  // drawn off screen: no display needed
  QApplication application(argc, argv);
  platform::InstallJapaneseFontSubstitutes();
  bool ok = true;
  for (int state = 0; state <= 4; ++state) {
    ok = Save(ButtonImage(state), folder, "button-" + std::to_string(state) + ".png") && ok;
  }
  for (auto [style, name] : {std::pair{controls::StyleClassic, "classic"}, std::pair{controls::StyleFlat, "flat"}}) {
    for (const char* state : {"normal", "hovered", "pressed", "disabled"}) {
      ok = Save(ScrollBarImage(style, state), folder, std::string("scrollbar-") + name + "-" + state + ".png") && ok;
    }
  }
  if (!ok) {
    std::cerr << "lumenshow: gallery: cannot write the images to '" << folder << "'\n";
    return 1;
  }
  std::cout << "13 images written to " << folder << "\n";
  return 0;
}

}  // namespace lumen::app
